// The sheet editor in the main window: a new sheet from the menu, the unfinished sheet
// shown again after its massif is opened, the input preferences command.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "aide_saisie.h"
#include "dialogs/hote_dialogues.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/form1.h"
#include "shell/hote_saisie.h"

using namespace karst;

namespace {

class FenetreSaisie : public ::testing::Test {
protected:
    FenetreSaisie()
    {
        aide::App();
        f = std::make_unique<TForm1>(dirU.path().toStdString() + "/", dirP.path().toStdString() + "/");
        f->Timer2->stop();
        f->Automatique1->setChecked(false);
        ed = MultPageDlg;
    }
    QTemporaryDir dirU, dirP, dirM;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::unique_ptr<TForm1> f;
    TMultPageDlg* ed = nullptr;
};

}  // namespace

TEST_F(FenetreSaisie, NouvelleFicheEtReouverture)
{
    EXPECT_EQ(f->EditeurSaisie, ed);
    EXPECT_EQ(MultPageDlg, ed);
    const std::string nom = dirM.path().toStdString() + "/cavite.fic";
    ASSERT_TRUE(f->OuvreMassif(""));
    EXPECT_TRUE(f->Nouvellefiche1->isEnabled());

    // "Nouvelle fiche": the editor on a new sheet; the massif is saved while it is on screen.
    int montres = 0;
    {
        PiloteModalInstalle pilote([&](QDialog& d) {
            ++montres;
            EXPECT_EQ(&d, ed);
            EXPECT_EQ(ed->Fiche, nullptr);
            EXPECT_EQ(ed->Massif, f->Massif.get());
            ed->Systeme->setText("Plateau");
            ed->FixeCellule(2, 2, "12.5");
            ed->show();
            f->Massif->Sauve(nom, f.get(), f->EditeurSaisie);
            ed->hide();
            return static_cast<int>(QDialog::Rejected);
        });
        f->Nouvellefiche1->trigger();
    }
    EXPECT_EQ(montres, 1);

    // Opening that file restores the sheet into the editor, shown by the one-shot timer.
    f->Massif->Enregistre = true;
    ASSERT_TRUE(f->OuvreMassif(nom));
    EXPECT_TRUE(f->Timer2->isActive());
    EXPECT_EQ(ed->Systeme->text(), "Plateau");
    {
        PiloteModalInstalle pilote([&](QDialog& d) {
            ++montres;
            EXPECT_EQ(&d, ed);
            EXPECT_EQ(ed->Cellule(2, 2), "12.5");
            EXPECT_TRUE(ed->Enregistrer1->isEnabled());
            return static_cast<int>(QDialog::Rejected);
        });
        invite.reponses = {Bouton::OK};  // the changes may be lost
        f->Timer2Timer();
    }
    EXPECT_EQ(montres, 2);

    // Another massif opened before the timer fires, or one opened in the program's first
    // second, asked for nothing: the timer shows no editor.
    PiloteModalInstalle pilote([&](QDialog&) { return ++montres, static_cast<int>(QDialog::Rejected); });
    for (const std::string& avant : {nom, std::string()}) {
        f->Timer2->start();
        ASSERT_TRUE(f->OuvreMassif(avant));
        ASSERT_TRUE(f->OuvreMassif(""));
        QTRY_VERIFY_WITH_TIMEOUT(!f->Timer2->isActive(), 3000);
        EXPECT_EQ(montres, 2);
    }
}

TEST_F(FenetreSaisie, PreferencesDepuisLeMenu)
{
    EXPECT_TRUE(f->Fiche1->isEnabled());
    PiloteModalInstalle pilote([&](QDialog& d) {
        auto& p = dynamic_cast<TForm3&>(d);
        p.ListBox1->setCurrentRow(6);
        p.HautClick();
        p.Applique();
        return static_cast<int>(QDialog::Accepted);
    });
    f->Fiche1->trigger();
    EXPECT_EQ(f->PreferenceSaisie.GCroquis.Position, 5);
    EXPECT_EQ(f->PreferenceSaisie.Colonnes[11].Type, TPreference_Ecran::Croquis);
}

TEST_F(FenetreSaisie, LExplorateurOuvreUneFicheAvecSonAdresse)
{
    ASSERT_TRUE(f->OuvreMassif(""));
    ASSERT_TRUE(Saisie().EditeFiche);
    const Adresse adresse = {"Syst\xE8me", "Grotte", "", ""};
    int montres = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        ++montres;
        EXPECT_EQ(&d, ed);
        EXPECT_EQ(ed->Systeme->text(), "Système");
        EXPECT_EQ(ed->Cavite->text(), "Grotte");
        EXPECT_EQ(ed->Reseau->text(), "");
        return static_cast<int>(QDialog::Rejected);
    });
    invite.reponses = {Bouton::OK};
    Saisie().EditeFiche(nullptr, 0, &adresse, 0xF);
    EXPECT_EQ(montres, 1);
}
