// Karstomat: the program.

#include <QApplication>
#include <clocale>
#include <exception>

#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "shell/form1.h"

namespace {

// An error that reaches the event loop is shown in a message box and the program goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* destinataire, QEvent* evenement) override
    {
        try {
            return QApplication::notify(destinataire, evenement);
        } catch (const std::exception& e) {
            karst::Invite().Erreur(e);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    // Numbers are read and written with '.' whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Karstomat"));
    karst::ChargeTraductionsQt();
    karst::TForm1 fenetre;
    fenetre.showMaximized();
    return QApplication::exec();
}
