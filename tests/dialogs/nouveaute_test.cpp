// The new-element wizard: its roads through the pages, the massifs it takes, the names it
// proposes and the sheet it has the editor open on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include "dialogs/nouveaute.h"
#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

using namespace karst;
using namespace karst::test;

namespace {

QStringList Elements(const QListWidget* l)
{
    QStringList r;
    for (int i = 0; i < l->count(); ++i)
        r << l->item(i)->text();
    return r;
}

class Nouveaute : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    std::unique_ptr<TNouveaute> Cree()
    {
        auto n = std::make_unique<TNouveaute>(hote);
        n->FormShow();
        return n;
    }
    void Choisit(TNouveaute& n, int niveau)
    {
        n.Niveau->button(niveau)->click();
        n.Avant->click();
    }
    TMassif& m() { return *hote.massif; }

    HoteFactice hote;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace

TEST_F(Nouveaute, NouveauMassifApresLaQuestionDeSauvegarde)
{
    auto n = Cree();
    n->show();
    n->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(n.get()));
    EXPECT_EQ(n->windowTitle(), QStringLiteral("Nouvel élément"));
    EXPECT_FALSE(n->Avant->isEnabled());
    EXPECT_TRUE(n->Arriere->isHidden());
    hote.enregistrement = false;  // Cancel at the save prompt
    Choisit(*n, 0);
    EXPECT_EQ(n->Etape, 0);
    EXPECT_EQ(hote.journal, (std::vector<std::string>{"enregistrement"}));
    hote.enregistrement = true;
    n->Avant->click();
    EXPECT_EQ(n->windowTitle(), QStringLiteral("Nouveau massif"));
    EXPECT_EQ(hote.journal, (std::vector<std::string>{"enregistrement", "enregistrement", "ferme", "ouvre "}));
    EXPECT_EQ(n->Etape, 2);
    EXPECT_EQ(n->Panneau->currentIndex(), 2);
    EXPECT_EQ(n->Avant->text(), QStringLiteral("&Terminer"));
    EXPECT_TRUE(n->Arriere->isHidden());
    n->Declinaisons->click();
    n->References->click();
    EXPECT_EQ(hote.declinaisons + hote.references, 2);
    // Return goes to "Terminer", whichever button of the page has the keyboard.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(n->result(), QDialog::Accepted);
    EXPECT_FALSE(n->FicheDemandee);
}

TEST_F(Nouveaute, CaviteIsoleeDuMassifCourant)
{
    Fiche(m(), {"Isol\xE9", "Trou", "", ""});
    Fiche(m(), {"Surface", "", "", ""});
    Fiche(m(), {"Vercors", "Gouffre", "", ""});
    Fiche(m(), {"VERCORS", "GOUFFRE", "", ""});
    auto n = Cree();
    EXPECT_EQ(n->AjouteNoms(0), QStringList{"Vercors"});
    EXPECT_EQ(n->AjouteNoms(1), (QStringList{"Trou", "Gouffre"}));

    Choisit(*n, 2);
    EXPECT_EQ(n->windowTitle(), QStringLiteral("Nouvelle cavité"));
    EXPECT_TRUE(n->Courant->isChecked());
    EXPECT_TRUE(n->Avant->isEnabled());
    n->Avant->click();
    EXPECT_EQ(n->Etape, 3);
    EXPECT_FALSE(n->Avant->isEnabled());
    n->Nom_Cavite->setText(QStringLiteral("Gouffre"));
    EXPECT_FALSE(n->Avant->isEnabled());
    n->Isole->click();
    EXPECT_TRUE(n->Avant->isEnabled());
    n->Nom_Cavite->clear();
    EXPECT_FALSE(n->Avant->isEnabled());
    // A letter the file lacks is asked about when the page is left: Return answers Non, the
    // default, and the caver stays in the name to correct it.
    n->show();
    n->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(n.get()));
    n->Nom_Cavite->setFocus();
    QTest::sendKeyEvent(QTest::Click, n->Nom_Cavite, Qt::Key_unknown, QStringLiteral("Ω🙂"), {});
    invite.reponses = {Bouton::Non};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas "
                                                          "garder :\rLe nom de la cavité : « Ω 🙂 »\rIls seront "
                                                          "enregistrés comme « ? ». Continuer ainsi ?")});
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].defaut, Bouton::Non);
    EXPECT_EQ(n->Etape, 3);
    ASSERT_EQ(QApplication::focusWidget(), n->Nom_Cavite);
    QTest::keyClick(n->Nom_Cavite, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(n->Nom_Cavite, QStringLiteral("Gouffre"));
    QTest::keyClick(n->Nom_Cavite, Qt::Key_Return);
    EXPECT_EQ(invite.messages.size(), 1u);
    ASSERT_TRUE(n->FicheDemandee);
    EXPECT_EQ(*n->FicheDemandee, (Adresse{"Isol\xE9", "Gouffre", "", ""}));
    EXPECT_EQ(n->result(), QDialog::Accepted);
}

TEST_F(Nouveaute, CaviteJonctionneeAvecUnSystemeConnu)
{
    Fiche(m(), {"Vercors", "A", "", ""});
    auto n = Cree();
    Choisit(*n, 2);
    n->Avant->click();
    n->Nom_Cavite->setText(QStringLiteral("Scialet"));
    n->jonctionne->click();
    n->Avant->click();
    EXPECT_EQ(n->Etape, 4);
    EXPECT_FALSE(n->Avant->isEnabled());
    n->systeme_connu->click();
    n->Avant->click();
    EXPECT_EQ(n->Etape, 5);
    EXPECT_EQ(n->Nom_systeme->count(), 1);
    n->Nom_systeme->setCurrentIndex(0);
    n->ConnuClick();
    n->Avant->click();
    EXPECT_EQ(*n->FicheDemandee, (Adresse{"Vercors", "Scialet", "", ""}));

    // Back from 5 goes to 4, from 4 to 3.
    auto o = Cree();
    Choisit(*o, 2);
    o->Avant->click();
    o->Nom_Cavite->setText(QStringLiteral("Scialet"));
    o->jonctionne->click();
    o->Avant->click();
    o->systeme_connu->click();
    o->Avant->click();
    o->Arriere->click();
    EXPECT_EQ(o->Etape, 4);
    o->Arriere->click();
    EXPECT_EQ(o->Etape, 3);
}

TEST_F(Nouveaute, SystemeRattachantAnciensSystemesEtCavites)
{
    Fiche(m(), {"A", "a1", "", ""});
    Fiche(m(), {"B", "b1", "", ""});
    Fiche(m(), {"C", "c1", "", ""});
    Fiche(m(), {"Isol\xE9", "Trou", "", ""});
    auto n = Cree();
    Choisit(*n, 1);
    n->Avant->click();
    EXPECT_EQ(n->Etape, 6);
    EXPECT_EQ(Elements(n->Check_Systeme), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(Elements(n->Check_cavite), (QStringList{"a1", "b1", "c1", "Trou"}));
    EXPECT_FALSE(n->Avant->isEnabled());
    n->Saisie_systeme->setText(QStringLiteral("Massif du Nord"));
    EXPECT_TRUE(n->Avant->isEnabled());
    n->Check_Systeme->item(0)->setCheckState(Qt::Checked);
    n->Check_Systeme->item(1)->setCheckState(Qt::Checked);
    n->Check_cavite->item(3)->setCheckState(Qt::Checked);
    invite.reponses = {Bouton::Annuler};
    n->Avant->click();
    EXPECT_EQ(m().Fiches[0]->Systeme.Chaine(), "A");
    EXPECT_EQ(n->Etape, 6);
    n->Avant->click();
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("Appliquer le nouveau nom aux éléments choisis ?"));
    std::vector<std::string> systemes;
    for (TFiche* f : m().Fiches)
        systemes.push_back(f->Systeme.Chaine());
    EXPECT_EQ(systemes, (std::vector<std::string>{"Massif du Nord", "Massif du Nord", "C", "Massif du Nord"}));
    EXPECT_FALSE(m().Enregistre);
    EXPECT_EQ(hote.miseAJourExploreur, 1);
    // A system alone: the wizard closes, no editor.
    EXPECT_EQ(n->result(), QDialog::Rejected);
    EXPECT_FALSE(n->FicheDemandee);

    // A new system's name with a letter the file lacks, kept: one '?' in every sheet it takes.
    auto o = Cree();
    Choisit(*o, 1);
    o->Avant->click();
    o->show();
    QTest::sendKeyEvent(QTest::Click, o->Saisie_systeme, Qt::Key_unknown, QStringLiteral("Réseau Ω"), {});
    o->Check_Systeme->item(0)->setCheckState(Qt::Checked);
    invite.reponses = {Bouton::Oui, Bouton::OK};
    QTest::keyClick(o->Saisie_systeme, Qt::Key_Return);
    EXPECT_EQ(invite.messages[invite.messages.size() - 2].texte,
              QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas garder :\rLe nom du "
                             "système : « Ω »\rIls seront enregistrés comme « ? ». Continuer ainsi ?"));
    EXPECT_EQ(m().Fiches[2]->Systeme.Chaine(), "C");
    EXPECT_EQ(m().Fiches[0]->Systeme.Chaine(), "R\xE9seau ?");
}

TEST_F(Nouveaute, SurfaceEtExploration)
{
    Fiche(m(), {"S", "C", "R", "L"});
    int r = 0;
    {
        PiloteModalInstalle p([&](QDialog& d) {
            auto& n = static_cast<TNouveaute&>(d);
            Choisit(n, 4);
            n.Avant->click();
            return n.result();
        });
        r = TNouveaute::Execute(hote);
    }
    EXPECT_EQ(r, QDialog::Accepted);
    ASSERT_EQ(hote.editions.size(), 1u);
    EXPECT_EQ(hote.editions[0].fiche, nullptr);
    EXPECT_EQ(hote.editions[0].galerie, 0);
    EXPECT_EQ(hote.editions[0].adresse, (Adresse{"Surface", "", "", ""}));

    auto n = Cree();
    Choisit(*n, 3);
    n->Avant->click();
    EXPECT_EQ(n->Etape, 7);
    EXPECT_EQ(n->Combo_reseau->count(), 1);
    EXPECT_TRUE(n->Combo_reseau->currentText().isEmpty());
    n->Combo_systeme->setCurrentIndex(0);
    n->Combo_cavite->setEditText(QStringLiteral("Nouvelle"));
    // Letters the file lacks in each of the four fields: Non goes back to the first, caret last.
    n->show();
    n->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(n.get()));
    for (QComboBox* c : {n->Combo_systeme, n->Combo_cavite, n->Combo_reseau, n->Combo_lieu}) {
        QTest::mouseClick(c->lineEdit(), Qt::LeftButton);
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("Ω"), {});
    }
    invite.reponses = {Bouton::Non};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Ces textes contiennent des caractères que le fichier ne peut pas "
                                                     "garder :\rLe champ « Système » : « Ω »\rLe champ « Cavité » : "
                                                     "« Ω »\rLe champ « Réseau » : « Ω »\rLe champ « Lieu » : « Ω »"
                                                     "\rIls seront enregistrés comme « ? ». Continuer ainsi ?"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("R"));
    invite.reponses = {Bouton::Oui};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(*n->FicheDemandee, (Adresse{"S?R", "Nouvelle?", "?", "?"}));
}

TEST_F(Nouveaute, RetourApresUnNouveauMassifLeFerme)
{
    auto n = Cree();
    Choisit(*n, 3);
    n->Nouveau->click();
    n->Avant->click();
    EXPECT_EQ(n->Etape, 8);
    EXPECT_EQ(n->Panneau->currentIndex(), 2);
    ASSERT_FALSE(hote.journal.empty());
    EXPECT_EQ(hote.journal.back(), "ouvre ");
    n->Arriere->click();
    EXPECT_EQ(n->Etape, 1);
    EXPECT_EQ(hote.journal.back(), "ferme");
    EXPECT_EQ(hote.massif, nullptr);

    // Without a massif, "Courant" is not offered.
    auto o = Cree();
    Choisit(*o, 1);
    EXPECT_TRUE(o->Courant->isHidden());
    EXPECT_FALSE(o->Avant->isEnabled());

    // A known massif: the open dialog cancelled leaves the page as it is.
    o->Connu->click();
    o->Avant->click();
    EXPECT_EQ(o->Etape, 1);
    hote.fichiers = {"/tmp/connu.fic"};
    o->Avant->click();
    EXPECT_EQ(o->Etape, 6);
    EXPECT_EQ(hote.journal.back(), "ouvre /tmp/connu.fic");
}

// Each page's controls stand one under the other from the top of the page, as drawn, however
// tall the tallest page makes the wizard.
TEST_F(Nouveaute, PagesDisposeesDeHautEnBas)
{
    Fiche(*hote.massif, {"S", "C", "R", "L"});
    auto n = Cree();
    n->show();
    n->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(n.get()));
    auto bas = [&](QWidget* w) { return w->mapTo(n->Panneau, QPoint(0, w->height())).y(); };
    auto haut = [&](QWidget* w) { return w->mapTo(n->Panneau, QPoint(0, 0)).y(); };
    // Page 0: the title at the top, the five choices right under it, in order.
    QWidget* page = n->Panneau->currentWidget();
    auto* titre = page->findChild<QLabel*>();
    ASSERT_NE(titre, nullptr);
    EXPECT_LT(haut(titre), 20);
    int precedent = bas(titre);
    for (int i = 0; i < 5; ++i) {
        QAbstractButton* b = n->Niveau->button(i);
        EXPECT_GE(haut(b), precedent) << i;
        EXPECT_LT(haut(b) - precedent, 16) << i;
        precedent = bas(b);
    }
    EXPECT_LT(precedent, n->Panneau->height() / 2);
    // The cave's page, reached by keys alone, each page's first field having them, the arrows
    // choosing the kind: its name right under the title, the two kinds under the label.
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return, Qt::Key_Return})
        QTest::keyClick(QApplication::focusWidget(), k);
    ASSERT_EQ(n->Panneau->currentIndex(), 3);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Grotte X"));
    EXPECT_EQ(n->Nom_Cavite->text(), QStringLiteral("Grotte X"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_TRUE(n->jonctionne->isChecked());
    EXPECT_TRUE(n->Avant->isEnabled());
    QApplication::processEvents();
    EXPECT_LT(haut(n->Nom_Cavite), 60);
    EXPECT_LT(haut(n->jonctionne) - bas(n->Nom_Cavite), 80);
    EXPECT_LT(bas(n->jonctionne), n->Panneau->height() / 2);
    n->hide();
}
