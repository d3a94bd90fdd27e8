#pragma once
// A main window on empty folders, with scripted answers, for the tests of the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "application_test.h"
#include "platform/interlocuteur.h"
#include "shell/form1.h"

class FenetreEssai : public ::testing::Test {
protected:
    void SetUp() override { App(); }

    // A main window on empty folders, the command-line timer stopped.
    std::unique_ptr<karst::TForm1> Cree()
    {
        auto f = std::make_unique<karst::TForm1>(utilisateur(), programme());
        f->Timer2->stop();
        return f;
    }
    std::string utilisateur() { return dirU.path().toStdString() + "/"; }
    std::string programme() { return dirP.path().toStdString() + "/"; }
    // A path in the massif folder.
    std::string Chemin(const std::string& nom) const { return dirM.path().toStdString() + "/" + nom; }
    // An empty massif file saved under that name.
    std::string Massif(const std::string& nom)
    {
        const std::string chemin = Chemin(nom);
        karst::TMassif m;
        m.Sauve(chemin);
        return chemin;
    }
    QAction* Action(karst::TForm1& f, const char* nom) { return f.findChild<QAction*>(QString::fromLatin1(nom)); }

    QTemporaryDir dirU, dirP, dirM;
    karst::InterlocuteurScripte invite;
    karst::InterlocuteurInstalle installe{invite};
};
