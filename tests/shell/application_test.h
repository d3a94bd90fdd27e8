#pragma once
// The one QApplication of the shell tests, made by whichever test needs it first.

#include <QApplication>

inline QApplication& App()
{
    static int argc = 1;
    static char nom[] = "shell_tests";
    static char* argv[] = {nom, nullptr};
    static QApplication* app = QApplication::instance() ? qobject_cast<QApplication*>(QApplication::instance())
                                                         : new QApplication(argc, argv);
    return *app;
}
