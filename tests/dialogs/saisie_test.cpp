// The sheet editor: loading a sheet into the grid, validation, the commands that shape the
// sheet, and its block at the end of the binary massif files.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <iterator>

#include "aide_saisie.h"
#include "exchange/echange.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "survey/aide_fichiers.h"
#include "survey/flux.h"

using namespace karst;
using essai::Contenu;

namespace {

class Saisie : public ::testing::Test {
protected:
    Saisie()
    {
        aide::App();
        prefs.ConstruitColonnes();
        ed = std::make_unique<TMultPageDlg>(&prefs);
        ed->InstalleDialoguePoint(&points);
    }

    TFiche* Fiche(std::initializer_list<int> visees) { return aide::FicheChainee(massif, visees); }

    QStringList Colonne(int c) const
    {
        QStringList l;
        for (int r = 1; r < ed->NbLignes(); ++r)
            l << ed->Cellule(r, c);
        return l;
    }

    // The editor's block alone in a file.
    static void EcritBloc(const std::string& nom, TMultPageDlg& editeur)
    {
        TFileBufferStream s(nom, TFileBufferStream::kCreation);
        editeur.SauveSaisie(s);
        s.Ferme();
    }
    static void LitBloc(const std::string& nom, TMultPageDlg& editeur, TMassif& m)
    {
        TFileBufferStream s(nom, TFileBufferStream::kLecture);
        editeur.ChargeSaisie(s, m);
        EXPECT_TRUE(s.Fin());
    }

    QString DernierMessage() const { return invite.messages.empty() ? QString() : invite.messages.back().texte; }

    // Validation of a one-gallery sheet A(1) -> B(1) whose shot row 2 gets `texte` in column `c`.
    bool ValideAvec(int c, const QString& texte, TFiche* fiche = nullptr)
    {
        ed->OuvreFiche(fiche ? fiche : Fiche({1}), &massif, 0, &prefs);
        ed->FixeCellule(2, c, texte);
        invite.messages.clear();
        return ed->ValideFiche();
    }

    TPreference_Ecran prefs;
    TMassif massif;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    aide::PointScripte points;
    std::unique_ptr<TMultPageDlg> ed;
};

using namespace aide::colonnes;

}  // namespace

// ---- the grid ----

TEST_F(Saisie, NouvelleFicheSurLaPageInformations)
{
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    EXPECT_EQ(ed->NbColonnesGrille(), 15);
    EXPECT_EQ(ed->NbLignes(), 12);
    EXPECT_EQ(ed->Cellule(1, 0), "|->");
    EXPECT_EQ(ed->Cellule(1, 1), "Terminus");
    EXPECT_EQ(ed->Cellule(2, 0), "1");
    EXPECT_EQ(ed->Cellule(11, 0), "10");
    EXPECT_EQ(ed->Cellule(11, cUniteL), "m");
    EXPECT_EQ(ed->Cellule(11, 5), "°");
    EXPECT_EQ(ed->Cellule(0, cLongueur), "Longueur");
    EXPECT_EQ(ed->Cellule(0, cGauche), "Largeur G");
    // The layout's widths, widened where the title would not show whole.
    EXPECT_EQ(ed->LargeurColonne(14), 100);  // Observations
    EXPECT_GT(ed->LargeurColonne(13), 15);   // Croquis
    EXPECT_EQ(ed->LargeurColonne(0), 30);
    EXPECT_EQ(ed->TabSet->currentIndex(), 1);
    EXPECT_TRUE(ed->PremierDepart->Terminus);
    EXPECT_FALSE(ed->FinSurPoint);
    EXPECT_FALSE(ed->Modifie);
}

TEST_F(Saisie, TopofilEtCorrections)
{
    prefs.GHorizontal.Affiche = true;
    prefs.ConstruitColonnes();
    TFiche* f = Fiche({2});
    TVisee& v = *f->Galeries[0]->Visee(1);
    v.AvecTopofil = true;
    v.Topofil = 120.4L;
    v.Longueur = 15.0L;
    f->Galeries[0]->Visee(2)->AvecCorrHorizontale = true;
    f->Galeries[0]->Visee(2)->CorrHorizontale = 0.25L;
    ed->OuvreFiche(f, &massif, -1, &prefs);
    EXPECT_EQ(ed->Cellule(2, cLongueur), "120.4/135.4");
    const int drapeau = 15, valeur = 16;
    EXPECT_EQ(ed->Feuille.TexteDefaut(drapeau), "N");
    EXPECT_EQ(ed->Cellule(2, drapeau), "N");
    EXPECT_EQ(ed->Cellule(2, valeur), "");
    EXPECT_EQ(ed->Cellule(3, drapeau), "O");
    EXPECT_EQ(ed->Cellule(3, valeur), "0.25");

    // A double click on a flag cell turns N (or n) to O and anything else to N.
    for (auto [avant, apres] : {std::pair{"N", "O"}, {"n", "O"}, {"O", "N"}}) {
        ed->FixeCellule(2, drapeau, avant);
        ed->FixeCelluleCourante(2, drapeau);
        ed->TableauViseeDblClick();
        EXPECT_EQ(ed->Cellule(2, drapeau), apres);
    }
    // An imported topofil sheet shows the file's own pairs, and validates to the same shots.
    struct : TRapportEchange {
        void Statut(const std::string&) override {}
        void Message(const std::string&) override {}
        void Avertissement(const std::string&) override {}
        ChoixDeclinaison DeclinaisonNonReglee(const std::string&) override { return ChoixDeclinaison::Annule; }
        bool CaracteresPerdus(const std::string&) override { return false; }
    } rapport;
    ImporteVisualTopo(massif, std::string(KARST_TEST_DATA) + "/visualtopo/v410_topofil_colour.tro", rapport);
    ed->OuvreFiche(massif.Fiches[1], &massif, 0, &prefs);
    EXPECT_EQ(Colonne(cLongueur).mid(1, 4), (QStringList{"0/0", "90/931.5", "931.5/1768.9", "1768.9/2487.1"}));
    auto visees = [](const TFiche& fiche) {
        std::vector<std::pair<double, double>> r;
        for (int k = 1; k <= fiche.Galeries[0]->NbVisees; ++k)
            r.emplace_back(fiche.Galeries[0]->Visee(k)->Longueur.d(), fiche.Galeries[0]->Visee(k)->Topofil.d());
        return r;
    };
    const auto avant = visees(*massif.Fiches[1]);
    ASSERT_TRUE(ed->ValideFiche()) << DernierMessage().toStdString();
    EXPECT_EQ(visees(*massif.Fiches[1]), avant);
}

TEST_F(Saisie, EntreeSauteLesUnites)
{
    ed->OuvreFiche(Fiche({2}), &massif, 0, &prefs);
    ed->FixeCelluleCourante(2, cLongueur);
    ed->TableauViseeEntree();
    EXPECT_EQ(ed->Colonne(), cAzimut);
    // Croquis is passed over, Observations is the last column; after it, column 2 below.
    ed->FixeCelluleCourante(2, cHauteur);
    ed->TableauViseeEntree();
    EXPECT_EQ(ed->Colonne(), cObservations);
    ed->TableauViseeEntree();
    EXPECT_EQ(ed->Ligne(), 3);
    EXPECT_EQ(ed->Colonne(), cLongueur);
}

TEST_F(Saisie, ListeDesUnitesSurUneColonneEtroite)
{
    ed->OuvreFiche(Fiche({2}), &massif, 0, &prefs);
    ed->show();
    ed->FixeLargeurColonne(cUniteP, 30);
    ed->FixeCelluleCourante(2, cUniteP);
    ed->TableauViseeClick();
    EXPECT_TRUE(ed->Unite->isVisible());
    EXPECT_EQ(ed->Unite->width(), 47);
    EXPECT_EQ(ed->Unite->count(), 10);
    EXPECT_FALSE(ed->Modifie);
    ed->Unite->setEditText("gr");
    ed->UniteExit();
    EXPECT_EQ(ed->Cellule(2, cUniteP), "gr");
    EXPECT_TRUE(ed->Modifie);
    EXPECT_FALSE(ed->Unite->isVisible());
    ed->hide();
}

TEST_F(Saisie, CliquerSurLaDerniereLigneAjouteUneVisee)
{
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->FixeCelluleCourante(11, cAzimut);
    EXPECT_EQ(ed->NbLignes(), 12);
    ed->TableauViseeClick();
    EXPECT_EQ(ed->NbLignes(), 13);
    EXPECT_EQ(ed->Cellule(12, 0), "11");
    EXPECT_EQ(ed->Cellule(12, cUniteL), "m");
}

TEST_F(Saisie, ChargeUneFicheSurLaGalerieDemandee)
{
    ed->OuvreFiche(Fiche({2, 2}), &massif, 1, &prefs);
    EXPECT_EQ(ed->Systeme->text(), "Système");
    EXPECT_TRUE(ed->FinSurPoint);
    // The requested gallery's first shot is selected.
    EXPECT_EQ(ed->Ligne(), 6);
}

// ---- validation ----

TEST_F(Saisie, ValidationRemplaceLaFicheSansRienPerdre)
{
    TFiche* f = Fiche({3, 2});
    f->Galeries[1]->Commentaire.Affecte("deux");
    f->Galeries[1]->CoefTopofil = 1.5L;
    const int32_t ordre = f->Ordre;
    ed->OuvreFiche(f, &massif, 0, &prefs);
    ed->Topographe->setPlainText("Jean\n\nPaul");
    ASSERT_TRUE(ed->ValideFiche()) << DernierMessage().toStdString();
    ASSERT_EQ(massif.Fiches.size(), 1u);
    const TFiche& n = *massif.Fiches[0];
    EXPECT_EQ(ed->Fiche, &n);
    EXPECT_EQ(n.Ordre, ordre);
    EXPECT_EQ(n.Systeme.Chaine(), "Syst\xE8me");
    EXPECT_EQ(n.Date.str(), "15/06/99");
    EXPECT_EQ(static_cast<double>(n.Declinaison), 1.5);
    ASSERT_EQ(n.Topographes.size(), 3u);
    EXPECT_EQ(n.Topographes[1].Chaine(), "");
    ASSERT_EQ(n.Galeries.size(), 2u);
    EXPECT_EQ(n.Galeries[0]->NbVisees, 3);
    EXPECT_EQ(n.Galeries[1]->NbVisees, 2);
    EXPECT_EQ(n.Galeries[1]->Commentaire.Chaine(), "deux");
    EXPECT_EQ(static_cast<double>(n.Galeries[1]->CoefTopofil), 1.5);
    EXPECT_EQ(n.Galeries[0]->Arrivee.Nom.Chaine(), "B");
    EXPECT_EQ(n.Galeries[1]->Depart.Nom.Chaine(), "B");
    EXPECT_EQ(n.Galeries[1]->Arrivee.Nom.Chaine(), "C");
    const TVisee& v = *n.Galeries[1]->Visee(2);
    EXPECT_EQ(static_cast<double>(v.Longueur), 11.0);
    EXPECT_EQ(v.Gauche.str(), "1");
    EXPECT_EQ(v.Droite.str(), "2");
    EXPECT_EQ(v.Haut.str(), "3");
    EXPECT_EQ(v.Bas.str(), "");
    // The shots are reduced before the sheet is stored.
    EXPECT_NE(static_cast<double>(n.Galeries[0]->SommeDX), 0.0);
    EXPECT_FALSE(massif.PointsCalcules);
}

// The declination and the first-exploration length show every digit they hold: a sheet
// changed elsewhere and confirmed keeps them exactly.
TEST_F(Saisie, ValeursMontreesArrondiesGardeesALaValidation)
{
    TFiche* f = Fiche({2});
    f->Declinaison = 1.23456789L;
    f->Premiere = 12.3456789L;
    const Reel6 declinaison = f->Declinaison, premiere = f->Premiere;
    ed->OuvreFiche(f, &massif, 0, &prefs);
    EXPECT_EQ(ed->Declinaison->text(), QStringLiteral("1.23456789"));
    ed->Topographe->setPlainText("Jean");
    ed->Modifie = true;
    PiloteModalInstalle pilote([](QDialog& d) { return d.result(); });
    ed->Terminer1->trigger();
    ASSERT_EQ(massif.Fiches.size(), 1u);
    EXPECT_EQ(massif.Fiches[0]->Declinaison.d(), declinaison.d());
    EXPECT_EQ(massif.Fiches[0]->Premiere.d(), premiere.d());
    EXPECT_EQ(massif.Fiches[0]->Topographes.size(), 1u);
}

TEST_F(Saisie, NouvelleFicheAjouteeAuMassif)
{
    Fiche({1});
    massif.ActiveSelection(true);
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->Declinaison->setText("0");
    ed->UniteDecli->setEditText("GR");
    EXPECT_FALSE(ed->ValideFiche());
    EXPECT_EQ(DernierMessage(), "La fiche ne se termine pas sur un point topo");
    ed->FixeNbLignes(4);
    ed->FixeCellule(2, cLongueur, "5");
    ed->FixeCellule(2, cAzimut, "10");
    ed->FixeCellule(2, cPente, "0");
    ed->FixeCellule(2, cUniteL, "m");
    ed->FixeCellule(2, 5, "°");
    ed->FixeCellule(2, cUniteP, "°");
    ed->FixeCellule(2, 10, "m");
    ed->FixeCellule(2, 12, "m");
    ed->PointFinal = std::make_unique<TPointTopo>(aide::Point("Z", 3));
    ed->FinSurPoint = true;
    ed->FixeCellule(3, 0, "->|");
    ed->Date->setText("  /03/99");
    ASSERT_TRUE(ed->ValideFiche()) << DernierMessage().toStdString();
    ASSERT_EQ(massif.Fiches.size(), 2u);
    const TFiche& n = *massif.Fiches[1];
    EXPECT_EQ(n.Ordre, 2);
    EXPECT_EQ(n.Unite_Decli, 1);
    EXPECT_EQ(n.Date.str(), "0 /03/99");
    EXPECT_TRUE(n.Galeries[0]->Depart.Terminus);
    EXPECT_EQ(n.Galeries[0]->Arrivee.Indice, 3);
    ASSERT_EQ(massif.Selection->size(), 1u);
    EXPECT_EQ((*massif.Selection)[0], &n);
}

TEST_F(Saisie, ChampsDeLaPageInformations)
{
    ed->OuvreFiche(Fiche({1}), &massif, 0, &prefs);
    ed->Declinaison->setText("est");
    EXPECT_FALSE(ed->ValideFiche());
    EXPECT_EQ(DernierMessage(), "La déclinaison doit être numérique\rexemple 2.53");
    EXPECT_EQ(ed->TabSet->currentIndex(), 1);
    ed->Declinaison->setText("2");
    ed->UniteDecli->setEditText("rad");
    EXPECT_FALSE(ed->ValideFiche());
    EXPECT_EQ(DernierMessage(), "La déclinaison doit être en ° ou en gr.");
    ed->UniteDecli->setEditText("°");
    ed->Premiere->setText("");
    EXPECT_FALSE(ed->ValideFiche());
    EXPECT_EQ(DernierMessage(), "La première doit être numérique\rexemple 103.5");
    EXPECT_EQ(massif.Fiches.size(), 1u);
}

TEST_F(Saisie, LaCoupeSuitLesStationsInchangees)
{
    TFiche* f = Fiche({2});
    f->Galeries[0]->DansCoupe = true;
    f->Galeries[0]->GaucheDroite = true;
    ASSERT_TRUE(ValideAvec(cLongueur, "20", f));
    ASSERT_FALSE(massif.Fiches.empty());
    TFiche* n = massif.Fiches.back();
    EXPECT_TRUE(n->Galeries[0]->DansCoupe);
    EXPECT_TRUE(n->Galeries[0]->GaucheDroite);
    // A new end station takes the sheet out of the section.
    ed->OuvreFiche(n, &massif, 0, &prefs);
    ed->PointFinal->Indice = 9;
    ASSERT_TRUE(ed->ValideFiche());
    EXPECT_FALSE(massif.Fiches.back()->Galeries[0]->DansCoupe);
}

// ---- commands ----

TEST_F(Saisie, InsererEtSupprimerDesVisees)
{
    ed->OuvreFiche(Fiche({7, 2}), &massif, 0, &prefs);
    ASSERT_EQ(Colonne(0).join(' '), "|-> 1 2 3 4 5 6 7 ->| |-> 8 9 ->|");
    ed->InsereVisee(9);
    EXPECT_EQ(Colonne(0).join(' '), "|-> 1 2 3 4 5 6 7 8 ->| |-> 9 10 ->|");
    EXPECT_EQ(ed->Cellule(9, cUniteL), "m");
    EXPECT_EQ(ed->Ligne(), 9);
    EXPECT_TRUE(ed->Modifie);
    invite.messages.clear();
    ed->InsereVisee(11);
    EXPECT_EQ(DernierMessage(), "Impossible d'ajouter une visée ici.");

    // A block of rows 5 to 7 over every column.
    invite.reponses = {Bouton::OK};
    ed->SelectionneLignes(5, 7);
    ed->SupprimeVisees(5);
    EXPECT_EQ(Colonne(0).join(' '), "|-> 1 2 3 4 5 ->| |-> 6 7 ->|");
    // A block that holds a station row deletes nothing.
    invite.reponses = {Bouton::OK};
    ed->SelectionneLignes(6, 8);
    ed->SupprimeVisees(6);
    EXPECT_EQ(DernierMessage(), "Vous ne pouvez pas supprimer en même temps des visées et des carrefours.");
    EXPECT_EQ(ed->NbLignes(), 12);
    // Cancelling the confirmation deletes nothing either.
    invite.reponses = {Bouton::Annuler};
    ed->FixeCelluleCourante(2, cLongueur);
    ed->SupprimeVisees(2);
    EXPECT_EQ(ed->NbLignes(), 12);
}

TEST_F(Saisie, InsererUnCarrefourPuisLeSupprimer)
{
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->PremierCoefTopofil = 1.002L;
    points.reponses = {{IDialoguePoint::Valider, aide::Point("X", 1)}, {IDialoguePoint::Valider, aide::Point("X", 2)}};
    // The comment holds a character the file lacks: "Non" stays in it, the caret at its end.
    PiloteModalInstalle pilote([&](QDialog& d) {
        EXPECT_EQ(&d, ed->Informations);
        EXPECT_EQ(ed->Informations->Topofil->text(), "1.002");  // the split gallery's own
        ed->Informations->Info->setText("galerie ł");
        ed->Informations->Topofil->setText("1.01");
        QTest::mouseClick(ed->Informations->Button1, Qt::LeftButton);
        QTest::keyClick(ed->Informations->Info, Qt::Key_Backspace);
        QTest::keyClicks(ed->Informations->Info, "deux");
        QTest::mouseClick(ed->Informations->Button1, Qt::LeftButton);
        return d.result();
    });
    invite.reponses = {Bouton::Non};
    ed->InserePoint(4);
    EXPECT_EQ(DernierMessage(),
              "Ce texte contient des caractères que le fichier ne peut pas garder :\rLe "
              "commentaire de la galerie : « ł »\rIls seront enregistrés comme « ? ». Le garder ainsi ?");
    EXPECT_EQ(points.modes, std::vector<int>({3, 0}));
    EXPECT_EQ(Colonne(0).mid(0, 6).join(' '), "|-> 1 2 ->| |-> 3");
    EXPECT_EQ(ed->Cellule(4, 1), "X(1)");
    EXPECT_EQ(ed->Cellule(5, 1), "X(2)");
    EXPECT_EQ(ed->Cellule(5, cObservations), "galerie deux");
    ASSERT_EQ(ed->Noeuds.size(), 1u);
    EXPECT_EQ(ed->Noeuds[0]->Arrivee.Indice, 1);
    EXPECT_EQ(ed->Noeuds[0]->Depart.Indice, 2);
    EXPECT_NEAR(static_cast<double>(ed->Noeuds[0]->CoefTopofil), 1.01, 1e-9);
    EXPECT_EQ(ed->Ligne(), 6);

    // A cancelled second station inserts nothing.
    points.reponses = {{IDialoguePoint::Valider, aide::Point("Y", 1)}};
    const int lignes = ed->NbLignes();
    ed->InserePoint(8);
    EXPECT_EQ(ed->NbLignes(), lignes);
    EXPECT_EQ(ed->Noeuds.size(), 1u);

    invite.reponses = {Bouton::OK};
    ed->SupprimePoint(5);
    EXPECT_TRUE(ed->Noeuds.empty());
    EXPECT_EQ(Colonne(0).mid(0, 4).join(' '), "|-> 1 2 3");
}

TEST_F(Saisie, PointFinalPuisContinuerEnBas)
{
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    points.reponses = {{IDialoguePoint::PointFinal, aide::Point("F", 1)}};
    // On an empty row, a value further down is asked about, and OK drops it.
    ed->FixeCellule(7, cLongueur, "12");
    invite.reponses = {Bouton::OK};
    ed->InserePoint(5);
    EXPECT_EQ(DernierMessage(), "Toutes les valeurs en dessous de cette ligne vont être perdues.");
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Annuler);
    EXPECT_EQ(Colonne(0).join(' '), "|-> 1 2 3 ->|");
    EXPECT_TRUE(ed->FinSurPoint);
    EXPECT_EQ(ed->Cellule(5, 1), "F(1)");

    points.reponses = {{IDialoguePoint::Valider, aide::Point("G", 1)}};
    PiloteModalInstalle pilote([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    ed->Continuerenbas1Click();
    EXPECT_EQ(Colonne(0).join(' '), "|-> 1 2 3 ->| |-> 4");
    EXPECT_EQ(ed->Cellule(6, 1), "G(1)");
    EXPECT_FALSE(ed->FinSurPoint);
    EXPECT_EQ(ed->PointFinal, nullptr);
    ASSERT_EQ(ed->Noeuds.size(), 1u);
    EXPECT_EQ(ed->Noeuds[0]->Arrivee.Nom.Chaine(), "F");
    EXPECT_EQ(static_cast<double>(ed->Noeuds[0]->Coefficient), 1.0);
    EXPECT_EQ(ed->Ligne(), 7);
}

TEST_F(Saisie, SupprimerLePointFinal)
{
    ed->OuvreFiche(Fiche({2}), &massif, 0, &prefs);
    invite.reponses = {Bouton::OK};
    ed->SupprimePoint(4);
    EXPECT_EQ(DernierMessage(), "Supprimer le dernier point « B(1) » et continuer ?");
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Annuler);
    EXPECT_FALSE(ed->FinSurPoint);
    EXPECT_EQ(ed->PointFinal, nullptr);
    EXPECT_EQ(Colonne(0).mid(0, 3).join(' '), "|-> 1 2");
}

TEST_F(Saisie, TerminerEtSuivante)
{
    TFiche* f = Fiche({2});
    ed->OuvreFiche(f, &massif, 0, &prefs);
    massif.Enregistre = true;
    ed->FixeCellule(2, cLongueur, "30");
    ed->Modifie = true;
    ed->Terminer1Click();
    EXPECT_FALSE(massif.Enregistre);
    ASSERT_FALSE(massif.Fiches.empty());
    EXPECT_EQ(static_cast<double>(massif.Fiches.back()->Galeries[0]->Visee(1)->Longueur), 30.0);
    EXPECT_TRUE(ed->Noeuds.empty());
    EXPECT_EQ(ed->PremierDepart, nullptr);
    EXPECT_EQ(ed->Systeme->text(), "");

    // "Suivante" keeps the place for the next sheet and asks for its start at once.
    ed->OuvreFiche(massif.Fiches.back(), &massif, 0, &prefs);
    ed->Modifie = true;
    points.reponses = {{IDialoguePoint::Valider, aide::Point("S", 4)}};
    PiloteModalInstalle pilote([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    ed->Suivante1Click();
    EXPECT_EQ(ed->Systeme->text(), "Système");
    EXPECT_EQ(ed->Fiche, nullptr);
    EXPECT_FALSE(ed->EditionFiche);
    EXPECT_EQ(ed->TabSet->currentIndex(), 0);
    EXPECT_EQ(ed->Cellule(1, 1), "S(4)");
    EXPECT_EQ(ed->Premiere->text(), "0");
}

TEST_F(Saisie, AnnulerAvecDesModifications)
{
    ed->OuvreFiche(Fiche({2}), &massif, 0, &prefs);
    ed->show();
    ed->FixeCellule(2, cLongueur, "30");
    ed->Modifie = true;
    invite.reponses = {Bouton::Annuler};
    ed->Annuler1Click();
    EXPECT_EQ(DernierMessage(), "Les modifications vont être perdues.");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_NE(ed->PremierDepart, nullptr);
    invite.reponses = {Bouton::OK};
    ed->Annuler1Click();
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(ed->PremierDepart, nullptr);
    ASSERT_FALSE(massif.Fiches.empty());
    EXPECT_EQ(static_cast<double>(massif.Fiches.back()->Galeries[0]->Visee(1)->Longueur), 10.0);
}

// ---- the block of the binary massif files ----

TEST_F(Saisie, BlocDUneNouvelleFiche)
{
    QTemporaryDir dir;
    const std::string nom = dir.filePath("bloc").toStdString();
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    EcritBloc(nom, *ed);
    const std::string o = Contenu(nom);
    const std::string fin = std::string("\xFF\xFF", 2) + std::string("\x01\x00\x00\x00", 4) + std::string(18, '\0') +
                            std::string(2, '\0') + std::string("\x81\0\0\0\0\0", 6) + std::string("\x81\0\0\0\0\0", 6) +
                            std::string(3, '\0');
    ASSERT_GT(o.size(), fin.size());
    EXPECT_EQ(o.substr(o.size() - fin.size()), fin);
    // The start: four empty place texts, the date as shown, the declination, no unit.
    EXPECT_EQ(o.substr(0, 20), std::string(8, '\0') + std::string("\x08\x00  /  /  ", 10) + std::string(2, '\0'));
}

TEST_F(Saisie, BlocRelu)
{
    QTemporaryDir dir;
    const std::string nom = dir.filePath("bloc").toStdString();
    TFiche* f = Fiche({2, 3});
    ed->OuvreFiche(f, &massif, 0, &prefs);
    ed->FixeCellule(3, cLongueur, "99");
    ed->FixeCellule(2, 13, "5");  // Croquis
    ed->Topographe->setPlainText("Ana\nBruno");
    ed->Noeuds[0]->Coefficient = 2.5L;
    EcritBloc(nom, *ed);
    // A junction record: two stations, one text and two reals.
    TMultPageDlg autre(&prefs);
    LitBloc(nom, autre, massif);
    EXPECT_EQ(autre.Fiche, f);
    EXPECT_TRUE(autre.EditionFiche);
    EXPECT_TRUE(autre.Modifie);
    EXPECT_TRUE(autre.FinSurPoint);
    EXPECT_EQ(autre.NbLignes(), ed->NbLignes());
    for (int r = 0; r < ed->NbLignes(); ++r)
        for (int c = 0; c < ed->NbColonnesGrille(); ++c)
            EXPECT_EQ(autre.Cellule(r, c), ed->Cellule(r, c)) << r << "," << c;
    EXPECT_EQ(autre.Topographe->toPlainText(), "Ana\nBruno");
    EXPECT_EQ(autre.Systeme->text(), "Système");
    ASSERT_EQ(autre.Noeuds.size(), 1u);
    EXPECT_EQ(static_cast<double>(autre.Noeuds[0]->Coefficient), 2.5);
    EXPECT_EQ(autre.PointFinal->Nom.Chaine(), "C");
    // A sheet sharing the block's 16 bits is told apart by its address, or the sheet is new.
    TFiche* jumelle = Fiche({1});
    jumelle->Ordre = f->Ordre + 0x10000;
    LitBloc(nom, autre, massif);
    EXPECT_TRUE(!autre.Fiche && DernierMessage().contains("reprise comme une nouvelle fiche"));
    jumelle->Lieu.Affecte("Ailleurs");
    LitBloc(nom, autre, massif);
    EXPECT_EQ(autre.Fiche, f);
    massif.JetteFiche(jumelle);
    ASSERT_TRUE(autre.ValideFiche());
    ASSERT_FALSE(massif.Fiches.empty());
    EXPECT_EQ(static_cast<double>(massif.Fiches.back()->Galeries[0]->Visee(2)->Longueur), 99.0);

    // Under a narrower layout in another order the grid keeps the layout's columns, each
    // value goes to the column of its kind and what has none is said; cut short, the block
    // fails and leaves nothing half restored.
    TPreference_Ecran etroit;
    etroit.GLargeur.DeuxColonnes = false;
    etroit.GCroquis.Position = 0;
    etroit.GAzimut.Position = 3;
    etroit.GPente.Position = 2;
    etroit.ConstruitColonnes();
    TMultPageDlg troisieme(&etroit);
    LitBloc(nom, troisieme, massif);
    EXPECT_EQ(troisieme.NbColonnesGrille(), 13);
    EXPECT_EQ(troisieme.Cellule(3, cLongueur), "99");
    EXPECT_EQ(QStringList(
                  {troisieme.Cellule(0, 4), troisieme.Cellule(2, 4), troisieme.Cellule(2, 6), troisieme.Cellule(2, 8)}),
              QStringList({"Pente", "-5", "45", "1/2"}));
    EXPECT_TRUE(DernierMessage().endsWith(":\rvisée 1, Croquis : « 5 »")) << DernierMessage().toStdString();
    // Widths holding the separator: one column would mix them with the other ones, so the
    // sheet keeps its two columns and names each.
    ed->OuvreFiche(massif.Fiches.back(), &massif, 0, &prefs);  // the sheet `autre` stored
    ed->FixeCellule(2, cGauche, "2/1");
    ed->FixeCellule(3, cDroite, "1/3");
    EcritBloc(nom, *ed);
    TMultPageDlg cinquieme(&etroit);
    LitBloc(nom, cinquieme, massif);
    EXPECT_EQ(cinquieme.Cellule(2, 8) + " " + cinquieme.Cellule(2, 9), "2/1 2");
    EXPECT_TRUE(DernierMessage().contains("\rvisée 1, Largeur G : « 2/1 »\rvisée 2, Largeur D : « 1/3 »\r"))
        << DernierMessage().toStdString();
    ASSERT_TRUE(cinquieme.ValideFiche());
    EXPECT_EQ(massif.Fiches.back()->Galeries[0]->Visee(1)->Gauche.str() + "|" +
                  massif.Fiches.back()->Galeries[0]->Visee(1)->Droite.str(),
              "2/1|2");
    // So does the stored sheet, opened again under one width column.
    invite.messages.clear();
    cinquieme.OuvreFiche(massif.Fiches.back(), &massif, 0, &etroit);
    EXPECT_EQ(cinquieme.Cellule(2, 8) + " " + cinquieme.Cellule(2, 9), "2/1 2");
    EXPECT_EQ(DernierMessage(),
              "Des valeurs contiennent le séparateur qui réunit deux valeurs en une colonne :\rvisée 1, "
              "Largeur G : « 2/1 »\rvisée 2, Largeur D : « 1/3 »\rPour ne pas les mélanger, cette "
              "fiche garde deux colonnes pour les largeurs jusqu'à ce qu'elle soit terminée.");
    const std::string o = Contenu(nom);
    {
        std::ofstream court(nom, std::ios::binary | std::ios::trunc);
        court << o.substr(0, o.size() - 10);
    }
    TMultPageDlg quatrieme(&prefs);
    TFileBufferStream s(nom, TFileBufferStream::kLecture);
    EXPECT_ANY_THROW(quatrieme.ChargeSaisie(s, massif));
    EXPECT_TRUE(quatrieme.Noeuds.empty());
    EXPECT_EQ(quatrieme.PremierDepart, nullptr);
    EXPECT_EQ(quatrieme.Fiche, nullptr);
    // Alone with its low 16 bits a sheet is found at any address; with 0xFFFF, by it only.
    TFiche* g = massif.Fiches.back();
    for (int32_t ordre : {7, 0x1FFFF}) {
        g->Ordre = ordre;
        ed->OuvreFiche(g, &massif, 0, &prefs);
        EcritBloc(nom, *ed);
        LitBloc(nom, quatrieme, massif);
        EXPECT_EQ(quatrieme.Fiche, g);
        g->Lieu.Affecte(ordre == 7 ? "X" : "Y");
        LitBloc(nom, quatrieme, massif);
        EXPECT_EQ(quatrieme.Fiche, ordre == 7 ? g : nullptr);
    }
    EXPECT_TRUE(DernierMessage().endsWith("(n° d'ordre 131071).")) << DernierMessage().toStdString();
}

TEST_F(Saisie, GrilleSansPointFinalReluesurOnzeLignes)
{
    QTemporaryDir dir;
    const std::string nom = dir.filePath("bloc").toStdString();
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->FixeNbLignes(8);
    ed->FixeCellule(7, 0, "7");  // a row numbered as a row, not as the shot it holds
    EcritBloc(nom, *ed);
    TMultPageDlg autre(&prefs);
    LitBloc(nom, autre, massif);
    EXPECT_EQ(autre.NbLignes(), 11);
    EXPECT_EQ(autre.Cellule(7, 0), "6");
    EXPECT_EQ(autre.Cellule(10, cUniteL), "m");
    EXPECT_EQ(autre.Fiche, nullptr);
    EXPECT_FALSE(autre.EditionFiche);
}

TEST_F(Saisie, LeMassifPorteLEditeurOuvert)
{
    QTemporaryDir dir;
    TFiche* f = Fiche({2});
    massif.NomFichier = dir.filePath("m.fic").toStdString();
    massif.Sauve({}, nullptr, ed.get());
    EXPECT_EQ(Contenu(massif.NomFichier).back(), '\0');

    ed->OuvreFiche(f, &massif, 0, &prefs);
    ed->FixeCellule(2, cObservations, "à revoir");
    ed->show();
    massif.Sauve({}, nullptr, ed.get());
    ed->hide();

    struct Fenetre : IFenetreMassif {
        bool arme = false;
        void ArmeReouvertureEditeur() override { arme = true; }
    } fenetre;
    TMassif relu;
    relu.NomFichier = massif.NomFichier;
    TMultPageDlg autre(&prefs);
    ASSERT_EQ(relu.Charge(&fenetre, &autre).etat, EtatChargement::Charge);
    EXPECT_TRUE(fenetre.arme);
    EXPECT_EQ(autre.Massif, &relu);
    EXPECT_EQ(autre.Fiche, relu.Fiches[0]);
    EXPECT_EQ(autre.Cellule(2, cObservations), "à revoir");
}

TEST_F(Saisie, ModifierLesStationsEtLesInformations)
{
    ed->OuvreFiche(Fiche({2, 2}), &massif, 0, &prefs);
    // Rows: 1 |-> A(1), 2, 3, 4 ->| B(1), 5 |-> B(1), 6, 7, 8 ->| C(1).
    points.reponses = {{IDialoguePoint::Valider, aide::Point("Q", 5)},
                       {IDialoguePoint::Valider, aide::Point("R", 6)},
                       {IDialoguePoint::Valider, aide::Point("", 0)},
                       {IDialoguePoint::Valider, aide::Point("Z", 9)}};
    ed->Modifier(4);
    ed->Modifier(5);
    ed->Modifier(1);
    ed->Modifier(8);
    EXPECT_EQ(points.modes, std::vector<int>({1, 0, 0, 1}));
    EXPECT_EQ(ed->Noeuds[0]->Arrivee.Nom.Chaine(), "Q");
    EXPECT_EQ(ed->Noeuds[0]->Depart.Indice, 6);
    EXPECT_TRUE(ed->PremierDepart->Terminus);
    EXPECT_EQ(ed->PointFinal->Indice, 9);
    EXPECT_EQ(Colonne(1).join(' '), "Terminus   Q(5) R(6)   Z(9)");
    EXPECT_TRUE(ed->Modifie);

    PiloteModalInstalle pilote([this](QDialog&) {
        ed->Informations->Info->setText("boucle");
        ed->Informations->Deformation->setText("3");
        ed->Informations->OKBtnClick();
        return ed->Informations->result();
    });
    ed->InformationsGalerie(5);
    EXPECT_EQ(ed->Noeuds[0]->Commentaire.Chaine(), "boucle");
    EXPECT_EQ(static_cast<double>(ed->Noeuds[0]->Coefficient), 3.0);
    EXPECT_EQ(ed->Cellule(5, cObservations), "boucle");
    ASSERT_TRUE(ed->ValideFiche());
    ASSERT_FALSE(massif.Fiches.empty());
    const TFiche& n = *massif.Fiches.back();
    EXPECT_TRUE(n.Galeries[0]->Depart.Terminus);
    EXPECT_EQ(n.Galeries[0]->Arrivee.Nom.Chaine(), "Q");
    EXPECT_EQ(n.Galeries[1]->Commentaire.Chaine(), "boucle");
    EXPECT_EQ(static_cast<double>(n.Galeries[1]->Coefficient), 3.0);
}

TEST_F(Saisie, MenusSelonLaLigne)
{
    ed->OuvreFiche(Fiche({2, 2}), &massif, 0, &prefs);
    auto etat = [](std::initializer_list<QAction*> actions) {
        std::string s;
        for (QAction* a : actions)
            s += a->isEnabled() ? '1' : '0';
        return s;
    };
    const std::initializer_list<QAction*> point = {ed->Nouveau1, ed->Modifier1, ed->Commentaire1, ed->Supprimer3};
    ed->FixeCelluleCourante(2, cLongueur);
    ed->Point1Click();
    EXPECT_EQ(etat(point), "1000");
    ed->FixeCelluleCourante(4, cLongueur);
    ed->Point1Click();
    EXPECT_EQ(etat(point), "0101");
    ed->FixeCelluleCourante(5, cLongueur);
    ed->Point1Click();
    EXPECT_EQ(etat(point), "0111");
    ed->Tableau1Click();
    EXPECT_EQ(etat({ed->Continuerenbas1, ed->Insreruneligne1, ed->Supprimeruneligne1}), "100");

    const std::initializer_list<QAction*> popup = {ed->Insrerunevise1, ed->Insrerunpoint1, ed->Supprimerunevise1,
                                                   ed->Supprimerunpoint1};
    ed->FixeCelluleCourante(1, cLongueur);
    ed->PopupMenu1Popup();
    EXPECT_EQ(etat(popup), "0000");
    ed->FixeCelluleCourante(4, cLongueur);
    ed->PopupMenu1Popup();
    EXPECT_EQ(etat(popup), "1101");
    ed->FixeCelluleCourante(6, cLongueur);
    ed->PopupMenu1Popup();
    EXPECT_EQ(etat(popup), "1110");
}
