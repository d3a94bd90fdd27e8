#pragma once
// The one QApplication of the shell tests, made by whichever test needs it first.

#include <QApplication>

inline QApplication& App()
{
    static int argc = 1;
    static char nom[] = "shell_tests";
    static char* argv[] = {nom, nullptr};
    static QApplication* app =
        QApplication::instance() ? qobject_cast<QApplication*>(QApplication::instance()) : new QApplication(argc, argv);
    return *app;
}

#include <gtest/gtest.h>
#include <QAction>
#include <QTest>
#include <QToolBar>

// The user's click on the toolbar button of a command.
inline void ClicOutil(QToolBar* barre, QAction* commande)
{
    QWidget* bouton = barre->widgetForAction(commande);
    ASSERT_NE(bouton, nullptr);
    ASSERT_TRUE(bouton->isEnabled());
    QTest::mouseClick(bouton, Qt::LeftButton);
}
