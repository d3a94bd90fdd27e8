// The explorer's moves: delete into the bin, restore, empty, rename, cut, copy, paste,
// drag and drop, and their undo.

#include <gtest/gtest.h>

#include <algorithm>

#include "calcul/drapeaux.h"
#include "dialogs/exploreur.h"
#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"

using namespace karst;
using namespace karst::test;

namespace {

QTreeWidgetItem* Enfant(QTreeWidgetItem* n, const std::string& texte)
{
    for (int i = 0; n && i < n->childCount(); ++i)
        if (VersCp1252(n->child(i)->text(0)) == texte)
            return n->child(i);
    return nullptr;
}

class Deplacements : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CalculEnCours = false;
        ArretCalcul = false;
    }
    std::unique_ptr<TExploreur> Cree()
    {
        auto e = std::make_unique<TExploreur>(hote);
        e->ConstruitArbre();
        return e;
    }
    QTreeWidgetItem* Ouvre(TExploreur& e, std::initializer_list<std::string> chemin, bool reconstruit = true)
    {
        if (reconstruit)
            e.MiseAJour();
        QTreeWidgetItem* n = e.Racine();
        for (const std::string& p : chemin) {
            e.SelectionneNoeud(n);
            n = Enfant(n, p);
        }
        e.SelectionneNoeud(n);
        return n;
    }
    TMassif& m() { return *hote.massif; }
    std::vector<Adresse> Adresses()
    {
        std::vector<Adresse> r;
        for (TFiche* f : m().Fiches)
            r.push_back(AdresseFiche(*f));
        return r;
    }

    HoteFactice hote;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace

TEST_F(Deplacements, SupprimerUnLieuPuisAnnuler)
{
    Fiche(m(), {"S", "C", "R", "Autre"});
    for (int i = 0; i < 3; ++i)
        Fiche(m(), {"S", "C", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S", "C", "R", "L"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    invite.reponses = {Bouton::Annuler};
    e->Supprime();
    EXPECT_EQ(m().Fiches.size(), 4u);
    EXPECT_TRUE(e->Annulations.empty());

    CalculEnCours = true;
    e->Supprime();
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("Mettre le dossier L dans la corbeille ?"));
    EXPECT_EQ(invite.messages.back().boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::Annuler}));
    EXPECT_EQ(m().Fiches.size(), 1u);
    EXPECT_EQ(m().Corbeille.size(), 3u);
    EXPECT_FALSE(m().Enregistre);
    EXPECT_TRUE(ArretCalcul);
    EXPECT_EQ(hote.demandesCalcul, std::vector<bool>{true});
    ASSERT_EQ(e->Annulations.size(), 1u);
    EXPECT_EQ(e->Annulations[0]->Origines.size(), 3u);

    // Back at the end of the order, with new numbers, unplaced until the next computation.
    CalculEnCours = false;
    e->AnnuleDeplacement();
    EXPECT_TRUE(e->Annulations.empty());
    // Sheets back from the bin follow "Automatique", as a restore does.
    EXPECT_EQ(hote.demandesCalcul, (std::vector<bool>{true, true}));
    EXPECT_TRUE(m().Corbeille.empty());
    ASSERT_EQ(m().Fiches.size(), 4u);
    std::vector<int32_t> ordres;
    for (TFiche* f : m().Fiches) {
        ordres.push_back(f->Ordre);
        if (f->Lieu.Chaine() == "L") {
            EXPECT_FALSE(f->Galeries[0]->Placee);
        }
    }
    EXPECT_EQ(ordres, (std::vector<int32_t>{1, 4, 5, 6}));
    EXPECT_EQ(AdresseFiche(*m().Fiches[3]), (Adresse{"S", "C", "R", "L"}));
}

TEST_F(Deplacements, RestaurerPuisAnnulerDeuxFois)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"S", "C", "R", "L"}, "02/02/90");
    auto e = Cree();
    Ouvre(*e, {"S", "C", "R", "L"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->Supprime();
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("Mettre la fiche dans la corbeille ?"));
    ASSERT_EQ(m().Corbeille.size(), 1u);
    EXPECT_EQ(m().Corbeille[0]->Ordre, 1);

    Ouvre(*e, {"Corbeille"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->Restaurer1Click();
    EXPECT_TRUE(m().Corbeille.empty());
    ASSERT_EQ(m().Fiches.size(), 2u);
    EXPECT_EQ(m().Fiches[1]->Ordre, 3);
    // The first undo puts it back in the bin, the second takes it out again.
    e->AnnuleDeplacement();
    EXPECT_EQ(m().Corbeille.size(), 1u);
    e->AnnuleDeplacement();
    EXPECT_EQ(m().Corbeille.size(), 0u);
    EXPECT_EQ(m().Fiches.size(), 2u);
    EXPECT_TRUE(e->Annulations.empty());
}

TEST_F(Deplacements, RefusDeSupprimerOuDeplacer)
{
    Fiche(m(), {"S", "C", "R", "L"});
    auto e = Cree();
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->SelectionneNoeud(e->Racine());
    e->Supprime();
    e->Couper();
    e->SelectionneNoeud(e->NoeudCorbeille());
    e->Supprime();
    e->Copier();
    Ouvre(*e, {});
    e->DonneFocus(TExploreur::Controle::Liste);
    for (int i = 0; i < e->ListView1->Nombre(); ++i)
        if (e->ListView1->Image(i) == 2)
            e->ListView1->Selectionne(i);
    e->Supprime();
    e->Couper();
    EXPECT_EQ(invite.Textes(),
              (QStringList{"Impossible de supprimer tout le massif", "Impossible de déplacer tout le massif",
                           "Impossible de supprimer la corbeille", "Impossible de déplacer la corbeille",
                           "Impossible de supprimer dans la corbeille", "Impossible de déplacer depuis la corbeille"}));
    EXPECT_FALSE(e->PressePapier.Rempli);
    EXPECT_TRUE(e->Annulations.empty());
    EXPECT_EQ(m().Fiches.size(), 1u);
}

TEST_F(Deplacements, CopierUnSystemeDansSaPropreCavite)
{
    Fiche(m(), {"S", "C", "R1", "L1"});
    Fiche(m(), {"S", "D", "R2", "L2"});
    Fiche(m(), {"T", "E", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Copier();
    EXPECT_TRUE(e->PressePapier.Rempli);
    EXPECT_FALSE(e->PressePapier.Couper);
    Ouvre(*e, {"S", "C"});
    e->Coller();
    ASSERT_EQ(m().Fiches.size(), 5u);
    EXPECT_EQ(AdresseFiche(*m().Fiches[3]), (Adresse{"S", "C", "R1", "L1"}));
    EXPECT_EQ(AdresseFiche(*m().Fiches[4]), (Adresse{"S", "C", "R2", "L2"}));
    EXPECT_EQ(m().Fiches[4]->Ordre, 5);
    // A copy stays on the clipboard; the undo frees the copies, and takes them off it.
    EXPECT_TRUE(e->PressePapier.Rempli);
    Ouvre(*e, {"S", "C", "R2", "L2"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->Copier();
    e->AnnuleDeplacement();
    EXPECT_FALSE(e->PressePapier.Rempli);
    EXPECT_EQ(m().Fiches.size(), 3u);
    EXPECT_TRUE(m().Corbeille.empty());
}

TEST_F(Deplacements, CouperUnLieuVersUnSystemeUneSeuleFois)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"T", "D", "Q", "M"});
    auto e = Cree();
    Ouvre(*e, {"S", "C", "R", "L"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Couper();
    Ouvre(*e, {"T"});
    e->Coller();
    EXPECT_EQ(AdresseFiche(*m().Fiches[0]), (Adresse{"T", "C", "R", "L"}));
    EXPECT_FALSE(e->PressePapier.Rempli);
    EXPECT_FALSE(m().Enregistre);
    const auto avant = Adresses();
    e->Coller();
    EXPECT_EQ(Adresses(), avant);
    EXPECT_EQ(e->Annulations.size(), 1u);

    // A sheet cut from its place and pasted on a network from the list.
    Ouvre(*e, {"T", "D", "Q", "M"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->Couper();
    EXPECT_EQ(e->PressePapier.Profondeur, 4);
    Ouvre(*e, {"T", "C"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);  // the network R
    e->Coller();
    EXPECT_EQ(AdresseFiche(*m().Fiches[1]), (Adresse{"T", "C", "R", "M"}));
}

TEST_F(Deplacements, RenommerEnSoeurFusionneEtAnnulerSepare)
{
    Fiche(m(), {"S", "C1", "R", "L"});
    Fiche(m(), {"S", "C2", "R", "L"});
    auto e = Cree();
    QTreeWidgetItem* c1 = Ouvre(*e, {"S", "C1"});
    e->TreeView1Edited(c1, "Corbeille");
    EXPECT_EQ(m().Fiches[0]->Cavite.Chaine(), "C1");
    EXPECT_TRUE(e->Annulations.empty());
    e->TreeView1Edited(c1, "C2");
    EXPECT_EQ(m().Fiches[0]->Cavite.Chaine(), "C2");
    e->MiseAJour();
    EXPECT_EQ(Enfant(e->Racine(), "S")->childCount(), 1);
    e->AnnuleDeplacement();
    EXPECT_EQ(m().Fiches[0]->Cavite.Chaine(), "C1");

    // In the list: a place's sheets cannot be renamed; a folder item can.
    Ouvre(*e, {"S", "C1", "R", "L"});
    e->ListView1Edited(0, "x");
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Changement de nom interdit"));
    Ouvre(*e, {"S"});
    e->ListView1->Selectionne(0);
    EXPECT_TRUE(e->ListView1Editing(0));
    e->ListView1Edited(0, "Grotte");
    EXPECT_EQ(m().Fiches[0]->Cavite.Chaine(), "Grotte");
}

TEST_F(Deplacements, CollerDansLaCorbeilleRefuse)
{
    Fiche(m(), {"S", "C", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Copier();
    Ouvre(*e, {"Corbeille"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->Coller();
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Impossible de dupliquer vers la corbeille"));
    EXPECT_EQ(m().Fiches.size(), 1u);
    // Cut: no paste and nothing said.
    e->PressePapier.Couper = true;
    const auto n = invite.messages.size();
    e->Coller();
    EXPECT_EQ(invite.messages.size(), n);
}

TEST_F(Deplacements, ViderLaCorbeilleSansRetourNiConfusion)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"S", "C", "R", "M"});
    auto e = Cree();
    Ouvre(*e, {"S", "C", "R", "M"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Supprime();
    ASSERT_EQ(m().Corbeille.size(), 1u);
    Ouvre(*e, {"Corbeille"});
    invite.reponses = {Bouton::Non};
    e->Vider1Click();
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("Êtes-vous sûr de vouloir effacer cette fiche ?"));
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Non);
    EXPECT_EQ(m().Corbeille.size(), 1u);
    e->Vider1Click();
    EXPECT_TRUE(m().Corbeille.empty());
    EXPECT_EQ(e->ListView1->Nombre(), 0);
    EXPECT_TRUE(e->Annulations.empty());

    // The next sheet takes number 2 again: the old deletion's undo must not touch it.
    TFiche& nouvelle = Fiche(m(), {"X", "Y", "Z", "W"});
    ASSERT_EQ(nouvelle.Ordre, 2);
    e->AnnuleDeplacement();
    EXPECT_EQ(AdresseFiche(nouvelle), (Adresse{"X", "Y", "Z", "W"}));
    EXPECT_EQ(m().Fiches.size(), 2u);
}

TEST_F(Deplacements, GlisserDansLArbre)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"T", "D", "Q", "M"});
    auto e = Cree();
    QTreeWidgetItem* r = Ouvre(*e, {"S", "C", "R"});
    QTreeWidgetItem* t = Enfant(e->Racine(), "T");
    using C = TExploreur::Controle;
    // Not on itself, not inside it, not on an ancestor.
    EXPECT_FALSE(e->TreeView1DragOver(C::Arbre, r));
    EXPECT_FALSE(e->TreeView1DragOver(C::Arbre, r->parent()));
    EXPECT_FALSE(e->TreeView1DragOver(C::Arbre, e->Racine()));
    EXPECT_FALSE(e->TreeView1DragOver(C::Aucun, t));
    ASSERT_TRUE(e->TreeView1DragOver(C::Arbre, t));
    // Dropped higher than one level above, the network keeps the cave's name.
    e->TreeView1DragDrop(C::Arbre, t);
    EXPECT_EQ(AdresseFiche(*m().Fiches[0]), (Adresse{"T", "C", "R", "L"}));

    // A network dropped on a network of its own level joins it.
    QTreeWidgetItem* q = Ouvre(*e, {"T", "D", "Q"});
    Ouvre(*e, {"T", "C", "R"}, false);
    e->TreeView1DragDrop(C::Arbre, q);
    EXPECT_EQ(AdresseFiche(*m().Fiches[0]), (Adresse{"T", "D", "Q", "L"}));

    // Dropped on the bin: deleted, after the question.
    e->SelectionneNoeud(Enfant(e->Racine(), "T"));
    invite.reponses = {Bouton::Oui};
    e->TreeView1DragDrop(C::Arbre, e->NoeudCorbeille());
    EXPECT_TRUE(m().Fiches.empty());
    EXPECT_EQ(e->Annulations.size(), 3u);

    // Two folders of the list merge.
    e->AnnuleDeplacement();
    Ouvre(*e, {"T"});
    e->DonneFocus(C::Liste);
    e->ListView1->Selectionne(0);
    EXPECT_FALSE(e->ListView1DragOver(C::Liste, 0));
    EXPECT_FALSE(e->ListView1DragOver(C::Arbre, 1));
    EXPECT_TRUE(e->ListView1DragOver(C::Liste, 1));
}
