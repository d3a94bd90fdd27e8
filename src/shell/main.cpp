// Karstomat: the program.

#include <QApplication>
#include <clocale>

#include "shell/form1.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Numbers are read and written with '.' whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Karstomat"));
    karst::TForm1 fenetre;
    fenetre.showMaximized();
    return QApplication::exec();
}
