#pragma once
// Tests of the dialogs inside the real main window: its folders, the scripted prompter, and
// the main window made with its start-up timer stopped and "Automatique" off.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "shell/form1.h"

namespace karst::test {

class AvecForm1 : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    std::unique_ptr<TForm1> Cree()
    {
        auto f = std::make_unique<TForm1>(dirU.path().toStdString(), dirP.path().toStdString());
        f->Timer2->stop();
        f->Automatique1->setChecked(false);
        return f;
    }

    // The user's settings, the program's folder, and the massifs.
    QTemporaryDir dirU, dirP, dirM;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace karst::test
