// Karstomat: the program.

#include <QApplication>
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
            karst::Invite().Erreur(QString::fromUtf8(e.what()));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    karst::PrepareProcessus();
    QApplication::setApplicationName(QStringLiteral("Karstomat"));
    karst::TForm1 fenetre;
    fenetre.showMaximized();
    return QApplication::exec();
}
