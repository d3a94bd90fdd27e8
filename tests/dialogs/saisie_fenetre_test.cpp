// The sheet editor in the main window: a new sheet from the menu, the unfinished sheet
// shown again after its massif is opened, the input preferences command.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTimer>

#include "aide_saisie.h"
#include "dialogs/hote_dialogues.h"
#include "dialogs/point_topo.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/dialogues_calcul.h"
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

// Does `geste` from whatever event loop runs, once `pret` holds.
void Quand(std::function<bool()> pret, std::function<void()> geste, int essais = 4000)
{
    QTimer::singleShot(5, [=] { pret() ? geste() : essais > 0 ? Quand(pret, geste, essais - 1) : void(); });
}

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
        // Not over a dialog the caver has open: the timer tries again.
        QWidget ouverte;
        ouverte.setWindowModality(Qt::ApplicationModal);
        ouverte.show();
        f->Timer2Timer();
        EXPECT_EQ(montres, 1);
        ouverte.hide();
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

    // The massif named on the command line waits while « Ouvrir » is up.
    f->Fermer1->trigger();
    test::argvEssai[1] = const_cast<char*>(nom.c_str());
    test::argcEssai = 2;
    QWidget ouvrir;
    ouvrir.setWindowModality(Qt::ApplicationModal);
    ouvrir.show();
    f->Timer2->start();
    QTest::qWait(1500);  // a tick while it is up
    EXPECT_FALSE(f->Massif);
    ouvrir.hide();
    QTRY_VERIFY_WITH_TIMEOUT(!f->Timer2->isActive(), 3000);
    test::argcEssai = 1;
    EXPECT_TRUE(f->Massif && f->Massif->NomFichier == nom);
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

// The computation "Suivante" asks for ends while the caver types the next sheet's start:
// every key goes to the station dialog, and the problem shows once the editor is closed.
TEST_F(FenetreSaisie, LeRapportDuCalculAttendLaFinDesDialogues)
{
    ASSERT_TRUE(f->OuvreMassif(""));
    TFiche* fiche = aide::FicheChainee(*f->Massif, {2});  // no reference point reaches it
    f->Automatique1->setChecked(true);
    QStringList vus;
    QString nom;
    const auto tape = [](const std::string& t) {
        for (const char c : t)
            QTest::keyClick(QApplication::focusWidget(), c);
    };
    PiloteModalInstalle pilote([&](QDialog& d) {
        vus << d.windowTitle();
        if (&d == ed) {
            ed->show();
            QApplication::setActiveWindow(ed);
            QTest::mouseClick(ed->Menus, Qt::LeftButton, {},
                              ed->Menus->actionGeometry(ed->Fiche1->menuAction()).center());
            QTest::mouseClick(ed->Fiche1, Qt::LeftButton, {}, ed->Fiche1->actionGeometry(ed->Suivante1).center());
            invite.reponses = {Bouton::OK};
            ed->Annuler1->trigger();
        } else if (auto* p = qobject_cast<TPoint_Topo*>(&d)) {
            p->show();
            QApplication::setActiveWindow(p);
            QTest::mouseClick(p->PointTopo, Qt::LeftButton);
            QTest::mouseClick(p->Nom->lineEdit(), Qt::LeftButton);
            tape("Abc");
            // The rest as the run ends, into whatever has the keyboard then.
            Quand([&] { return f->NumeroCalcul() == 1 && !f->ThreadCalcul; },
                  [&, p] {
                      tape("def\t1\r");
                      nom = p->Nom->currentText();
                      if (p->isVisible())
                          p->reject();
                  });
            return d.exec();
        } else if (auto* c = qobject_cast<TComplement_Calcul*>(&d)) {
            vus.last() += " : " + c->Information->text();
            Quand([boite = QPointer<QDialog>(&d)] { return boite && boite->isActiveWindow(); }, [&] { tape("\r"); });
            return d.exec();
        }
        return static_cast<int>(QDialog::Rejected);  // the editor, the gallery's information
    });
    Saisie().EditeFiche(fiche, 0, nullptr, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return vus.size() >= 4; }));
    EXPECT_EQ(nom, "Abcdef");
    EXPECT_EQ(vus.mid(1),
              (QStringList{"Point de départ", "Informations",
                           "Problème de calcul : Aucune fiche atteinte,\nvérifiez les points de références"}));

    // Runs ending while a window is modal: the report's own timer ticks past it, and only the
    // newest run's report comes once it is closed; none when the massif was closed meanwhile.
    // Each run is asked with the toolbar's button; the modal window hides only across that
    // click, which runs no timer.
    QWidget ouverte;
    ouverte.setWindowModality(Qt::ApplicationModal);
    for (const bool ferme : {false, true}) {
        for (int fois = 0; fois < 2; ++fois) {
            // The first pair's second run reaches the sheet: its report tells of no problem.
            if (fois == 1)
                f->Massif->AjouteReference(std::make_unique<TPointTopo>(aide::Point("A", 1)));
            if (ferme)
                f->Massif->VideReferences();
            ouverte.hide();
            QTest::mouseClick(f->ToolBar1->widgetForAction(f->BoutonCalculer), Qt::LeftButton);
            ouverte.show();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f->ThreadCalcul && !f->Depart_Calcul_Rapide->isActive(); }));
            QTest::qWait(250);
        }
        EXPECT_EQ(vus.size(), 4);
        if (ferme) {
            f->Automatique1->setChecked(false);
            ASSERT_TRUE(f->OuvreMassif(""));
        }
        ouverte.hide();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f->Rapport_Differe->isActive(); }));
        EXPECT_EQ(vus.size(), 4);
    }
}
