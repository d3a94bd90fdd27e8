// The searches and the georeferencing dialogs as the main window runs them: its commands,
// the views' searches, the explorer's entry and the sheet editor's station dialog.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "calcul/drapeaux.h"
#include "dialogs/choix_recherche.h"
#include "dialogs/hote_dialogues.h"
#include "dialogs/point_topo.h"
#include "dialogs/recherche.h"
#include "dialogs/references.h"
#include "recherche_aide.h"
#include "shell/form1.h"
#include "shell/hote_saisie.h"
#include "views/contexte.h"

using namespace karst;
using namespace karst::test;

namespace {

class FenetreRecherches : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application();
        f = std::make_unique<TForm1>(dirU.path().toStdString(), dirP.path().toStdString());
        f->Timer2->stop();
        f->Automatique1->setChecked(false);
        ASSERT_TRUE(f->OuvreMassif(""));
    }
    void TearDown() override
    {
        if (f && f->Massif)
            f->Massif->Enregistre = true;
        f.reset();
    }

    QTemporaryDir dirU, dirP;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::unique_ptr<TForm1> f;
};

}  // namespace

TEST_F(FenetreRecherches, ReferencesEtDeclinaisonsDuMassifOuvert)
{
    EXPECT_TRUE(f->Pointsderfrence1->isEnabled());
    EXPECT_TRUE(f->BoutonDeclinaison->isEnabled());
    ScenarioModal s;
    s.Ajoute("Reference", [](QDialog& q) {
        auto& d = dynamic_cast<TReference&>(q);
        const QStringList cellules{"Entree", "1", "600", "2000", "150"};
        for (int c = 0; c < 5; ++c)
            d.StringGrid1->setItem(0, c, new QTableWidgetItem(cellules[c]));
        return Clique(q, "Button1");
    });
    f->BoutonReferences->trigger();
    ASSERT_EQ(f->Massif->References.size(), 1u);
    EXPECT_EQ(f->Massif->References[0]->Nom.Chaine(), "Entree");
    EXPECT_FALSE(f->Massif->Enregistre);

    s.Ajoute("DeclinaisonDefaut", [](QDialog& q) {
        dynamic_cast<TDeclinaisonDefaut&>(q).Edit1->setText(QStringLiteral("2.5"));
        return Clique(q, "Button1");
    });
    f->Dclinaison1->trigger();
    EXPECT_EQ(static_cast<long double>(f->Massif->Origine_Declinaison), 2.5L);
    EXPECT_TRUE(s.etapes.empty());
}

TEST_F(FenetreRecherches, IsolerEtRechercherUneFiche)
{
    f->Ficheconnue1->trigger();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Il n'y a pas de fiches.")});

    FicheA(*f->Massif, "Aven");
    FicheA(*f->Massif, "Baume");
    ScenarioModal s;
    s.Ajoute("BaseRecherche", [](QDialog& q) {
        dynamic_cast<TBaseRecherche&>(q).Systeme->setText(QStringLiteral("b"));
        return Clique(q, "Button1");
    });
    s.Ajoute("RechMulti", [](QDialog& q) {
        dynamic_cast<TRechMulti&>(q).IncAllBtnClick();
        return Clique(q, "OkBtn");
    });
    f->Slection1->trigger();
    ASSERT_TRUE(f->Massif->SelectionActive);
    ASSERT_EQ(f->Massif->FichesCourantes->size(), 1u);
    EXPECT_EQ(f->Massif->FichesCourantes->front()->Systeme.Chaine(), "Baume");

    // The search of a sheet walks the working list and opens the chosen sheet in the editor.
    TFiche* ouverte = nullptr;
    s.Ajoute("BaseRecherche", [](QDialog& q) { return Clique(q, "Button1"); });
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        EXPECT_EQ(d.StringGrid1->rowCount(), 1);
        return Clique(q, "Button2");
    });
    s.Ajoute("MultPageDlg", [&ouverte](QDialog& q) {
        ouverte = dynamic_cast<TMultPageDlg&>(q).Fiche;
        return int(QDialog::Rejected);
    });
    f->BoutonRechercher->trigger();
    EXPECT_EQ(ouverte, f->Massif->FichesCourantes->front());
    EXPECT_TRUE(s.etapes.empty());
}

TEST_F(FenetreRecherches, RecherchesDesVuesEtDeLExplorateur)
{
    TFiche& a = FicheA(*f->Massif, "Aven");
    TPointTopo p;
    p.Terminus = true;
    ScenarioModal s;
    s.Ajoute("RechSimp", [](QDialog& q) { return Clique(q, "Button2"); });
    EXPECT_EQ(f->Contexte().ChoixStation({&p}), 0);

    s.Ajoute("BaseRecherche", [](QDialog& q) {
        EXPECT_EQ(dynamic_cast<TBaseRecherche&>(q).Point_Topo->text(), QStringLiteral("A1"));
        EXPECT_EQ(dynamic_cast<TBaseRecherche&>(q).Cavite->text(), QStringLiteral("Grotte"));
        dynamic_cast<TBaseRecherche&>(q).Point_Topo->clear();
        return Clique(q, "Button1");
    });
    s.Ajoute("RechSimp", [](QDialog& q) { return Clique(q, "Button2"); });
    TFiche* choisie = nullptr;
    int galerie = -1;
    ListeFiches fiches{&a};
    ASSERT_TRUE(Saisie().RechercheSimple);
    ASSERT_TRUE(Saisie().RechercheSimple(fiches, {"", "Grotte", "", ""}, "A1", -1, choisie, galerie));
    EXPECT_EQ(choisie, &a);
    EXPECT_EQ(galerie, -1);
    f.reset();
    EXPECT_FALSE(Saisie().RechercheSimple);
}

TEST_F(FenetreRecherches, DialogueDePointDeLEditeur)
{
    ASSERT_NE(MultPageDlg, nullptr);
    auto* point = MultPageDlg->findChild<TPoint_Topo*>();
    ASSERT_NE(point, nullptr);
    MultPageDlg->PremierDepart = std::make_unique<TPointTopo>();
    MultPageDlg->PremierDepart->Nom.Affecte("P");
    MultPageDlg->PremierDepart->Indice = 2;
    IDialoguePoint& d = *MultPageDlg->DialoguePoint();
    d.Initialise(0, f->Massif.get(), true);
    ASSERT_EQ(point->Nom->count(), 1);
    EXPECT_EQ(point->Nom->itemText(0), QStringLiteral("P(2)"));
    ScenarioModal s;
    s.Ajoute("Point_Topo", [](QDialog& q) {
        auto& p = dynamic_cast<TPoint_Topo&>(q);
        p.Nom->setEditText(QStringLiteral("Q"));
        p.Ind->setText(QStringLiteral("7"));
        return Clique(q, "Button3");
    });
    ASSERT_EQ(d.Montre(), IDialoguePoint::Valider);
    EXPECT_TRUE(d.Modifie());
    TPointTopo lu;
    d.LitPoint(lu);
    EXPECT_EQ(lu.Nom.Chaine(), "Q");
    EXPECT_EQ(lu.Indice, 7);
}
