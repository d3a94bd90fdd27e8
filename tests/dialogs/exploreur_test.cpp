// The explorer: folders derived from the sheets' addresses, the list and its sort, the
// history, the rebuild, and the commands that open, isolate, exclude and count.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTimer>

#include "dialogs/exploreur.h"
#include "dialogs/statistique.h"
#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

using namespace karst;
using namespace karst::test;

namespace {

std::string Texte(QTreeWidgetItem* n) { return VersCp1252(n->text(0)); }

std::vector<std::string> Enfants(QTreeWidgetItem* n)
{
    std::vector<std::string> r;
    for (int i = 0; i < n->childCount(); ++i)
        r.push_back(Texte(n->child(i)));
    return r;
}

std::vector<std::string> Liste(TExploreur& e, int colonne = 0)
{
    std::vector<std::string> r;
    for (int i = 0; i < e.ListView1->Nombre(); ++i)
        r.push_back(e.ListView1->Texte(i, colonne));
    return r;
}

QTreeWidgetItem* Enfant(QTreeWidgetItem* n, const std::string& texte)
{
    for (int i = 0; i < n->childCount(); ++i)
        if (Texte(n->child(i)) == texte)
            return n->child(i);
    return nullptr;
}

int Ligne(TExploreur& e, const std::string& texte)
{
    for (int i = 0; i < e.ListView1->Nombre(); ++i)
        if (e.ListView1->Texte(i) == texte)
            return i;
    return -1;
}

class Exploreur : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    // The explorer on the fake main window's massif, its tree built.
    std::unique_ptr<TExploreur> Cree()
    {
        auto e = std::make_unique<TExploreur>(hote);
        e->resize(900, 600);
        e->ConstruitArbre();
        return e;
    }
    // Opens the folder of that path from the root.
    QTreeWidgetItem* Ouvre(TExploreur& e, std::initializer_list<std::string> chemin)
    {
        QTreeWidgetItem* n = e.Racine();
        for (const std::string& p : chemin) {
            e.SelectionneNoeud(n);
            n = Enfant(n, p);
            if (!n)
                return nullptr;
        }
        e.SelectionneNoeud(n);
        return n;
    }
    TMassif& m() { return *hote.massif; }

    HoteFactice hote;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace

TEST_F(Exploreur, SystemesPlieesEnAsciiSeulement)
{
    m().NomFichier = "/tmp/dossier.x/b.c.fic";
    Fiche(m(), {"Gouffre", "A", "R", "L"});
    Fiche(m(), {"GOUFFRE", "B", "R", "L"});
    Fiche(m(), {"\xE9glise", "", "R", "L"});
    Fiche(m(), {"\xC9glise", "C", "R", "L"});
    auto e = Cree();
    EXPECT_EQ(Texte(e->Racine()), "b");
    auto racine = Enfants(e->Racine());
    std::sort(racine.begin(), racine.end());
    EXPECT_EQ(racine, (std::vector<std::string>{"Corbeille", "Gouffre", "\xC9glise", "\xE9glise"}));
    // The list of the root: the systems and the bin, with their kinds.
    EXPECT_EQ(e->ListView1->Nombre(), 4);
    EXPECT_EQ(e->ListView1->Texte(Ligne(*e, "Gouffre"), 1), "Syst\xE8me");
    EXPECT_EQ(e->ListView1->Image(Ligne(*e, "Corbeille")), 2);
    EXPECT_EQ(e->ListView1->TitreColonne(2), QStringLiteral("Topographes"));

    // Both spellings open the same folder; a cave with an empty name is a node too.
    QTreeWidgetItem* g = Ouvre(*e, {"Gouffre"});
    auto caves = Enfants(g);
    std::sort(caves.begin(), caves.end());
    EXPECT_EQ(caves, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Enfants(Ouvre(*e, {"\xE9glise"})), (std::vector<std::string>{""}));
    EXPECT_EQ(e->ListView1->Texte(0, 1), "Cavit\xE9");
}

TEST_F(Exploreur, MassifVideEtSelectionActive)
{
    auto vide = Cree();
    EXPECT_EQ(Texte(vide->Racine()), "Massif");
    EXPECT_EQ(Enfants(vide->Racine()), (std::vector<std::string>{"Corbeille"}));

    TFiche& a = Fiche(m(), {"S1", "C", "R", "L"});
    Fiche(m(), {"S2", "C", "R", "L"});
    TFiche& jetee = Fiche(m(), {"S3", "C", "R", "L"});
    m().JetteFiche(&jetee);
    m().ActiveSelection(true);
    m().Selection->push_back(&a);
    auto e = Cree();
    EXPECT_EQ(Enfants(e->Racine()), (std::vector<std::string>{"Corbeille", "S1"}));
    // The bin shows every thrown sheet, with where it came from.
    e->SelectionneNoeud(e->NoeudCorbeille());
    ASSERT_EQ(e->ListView1->Nombre(), 1);
    EXPECT_EQ(e->ListView1->Texte(0, 2), "S3/C/R/L");
    EXPECT_EQ(e->ListView1->TitreColonne(2), QStringLiteral("Emplacement d'origine"));
}

TEST_F(Exploreur, TriDesDatesDansUnLieuEtTexteDansLaCorbeille)
{
    const Adresse lieu{"S", "C", "R", "L"};
    TFiche& f1 = Fiche(m(), lieu, "01/01/49");
    Fiche(m(), lieu, "31/12/50");
    f1.Topographes.emplace_back("Zo\xE9");
    f1.Topographes.emplace_back("Alain");
    auto e = Cree();
    Ouvre(*e, {"S", "C", "R", "L"});
    // 49 is 2049, after 1950.
    EXPECT_EQ(Liste(*e), (std::vector<std::string>{"31/12/50", "01/01/49"}));
    EXPECT_EQ(Liste(*e, 2), (std::vector<std::string>{"", "Zo\xE9/Alain"}));
    e->ListView1ColumnClick(0);
    EXPECT_FALSE(e->TriCroissant);
    EXPECT_EQ(Liste(*e), (std::vector<std::string>{"01/01/49", "31/12/50"}));
    e->ListView1ColumnClick(2);
    EXPECT_TRUE(e->TriCroissant);
    EXPECT_EQ(Liste(*e, 2), (std::vector<std::string>{"", "Zo\xE9/Alain"}));

    // In the bin the dates are plain texts.
    for (TFiche* f : ListeFiches(m().Fiches.begin(), m().Fiches.end()))
        m().JetteFiche(f);
    e->ColonneTri = 0;
    e->TriCroissant = true;
    e->SelectionneNoeud(e->NoeudCorbeille());
    EXPECT_EQ(Liste(*e), (std::vector<std::string>{"01/01/49", "31/12/50"}));
}

TEST_F(Exploreur, HistoriqueEtDossierParent)
{
    Fiche(m(), {"S", "C1", "R", "L"});
    Fiche(m(), {"S", "C2", "R", "L"});
    Fiche(m(), {"T", "D", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S", "C1"});
    Ouvre(*e, {"T"});
    // Root, S, C1, root, T.
    ASSERT_EQ(e->HistoriqueArriere.size(), 5u);
    e->Precedent();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "Massif");
    e->Precedent();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "C1");
    e->Suivant();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "Massif");
    e->Suivant();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "T");
    EXPECT_TRUE(e->HistoriqueAvant.empty());

    // A folder renamed since: its entries are passed over.
    Ouvre(*e, {"S", "C2"});
    e->SelectionneNoeud(e->Racine());
    for (TFiche* f : m().Fiches)
        if (f->Cavite.Chaine() == "C2")
            f->Cavite.Affecte("C3");
    e->MiseAJour();
    e->Precedent();  // the path the rebuild reopened: the root
    e->Precedent();  // C2 is gone: S
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "S");

    // Parent, up to the root, then no folder at all.
    Ouvre(*e, {"S", "C1", "R"});
    e->DossierParent();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "C1");
    e->SelectionneNoeud(e->Racine());
    const int n = e->ListView1->Nombre();
    e->DossierParent();
    EXPECT_EQ(e->NoeudSelectionne(), nullptr);
    EXPECT_EQ(e->ListView1->Nombre(), n);
}

TEST_F(Exploreur, HistoriqueVersUnDossierNonDeplieApresReconstruction)
{
    Fiche(m(), {"S", "C1", "R", "L"});
    Fiche(m(), {"T", "D", "R", "L"});
    auto e = Cree();
    QTreeWidgetItem* c1 = Ouvre(*e, {"S", "C1"});
    e->TreeView1->collapseItem(c1->parent());
    Ouvre(*e, {"T"});
    e->MiseAJour();
    // The rebuild reopened the root and T, S folded, its caves not built: going back past
    // T, the root, T and the root still reaches C1.
    for (int i = 0; i < 4; ++i)
        e->Precedent();
    ASSERT_NE(e->NoeudSelectionne(), nullptr);
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "C1");
}

TEST_F(Exploreur, ReconstructionGardeDossiersOuvertsEtDeplies)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"T", "D", "R", "L"});
    auto e = Cree();
    QTreeWidgetItem* t = Ouvre(*e, {"T"});
    e->TreeView1->expandItem(t);
    Ouvre(*e, {"S", "C", "R"});
    Fiche(m(), {"S", "C", "R", "L2"});
    e->DemandeMiseAJour();
    EXPECT_TRUE(e->Timer1->isActive());
    e->Timer1Timer();
    EXPECT_FALSE(e->Timer1->isActive());
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "R");
    EXPECT_EQ(Liste(*e), (std::vector<std::string>{"L", "L2"}));
    EXPECT_TRUE(Enfant(e->Racine(), "T")->isExpanded());
    EXPECT_EQ(Texte(Enfant(e->Racine(), "T")->child(0)), "D");
}

TEST_F(Exploreur, OuvrirNouvelleFicheEtRechercher)
{
    TFiche& f = Fiche(m(), {"S", "C", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->ListView1DblClick();
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "C");
    Ouvre(*e, {"S", "C", "R", "L"});
    e->ListView1->Selectionne(0);
    e->ListView1DblClick();
    ASSERT_EQ(hote.editions.size(), 1u);
    EXPECT_EQ(hote.editions[0].fiche, &f);
    EXPECT_EQ(hote.editions[0].galerie, -1);
    EXPECT_EQ(e->ListView1->Selection(), -1);

    // A new sheet in a cave: system and cave preset.
    Ouvre(*e, {"S", "C"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Nouvellefiche1Click();
    ASSERT_EQ(hote.editions.size(), 2u);
    EXPECT_EQ(hote.editions[1].fiche, nullptr);
    EXPECT_EQ(hote.editions[1].galerie, 0);
    EXPECT_EQ(hote.editions[1].adresse, (Adresse{"S", "C", "", ""}));
    EXPECT_EQ(hote.editions[1].champs, 1u | 2u | 8u);

    // The search gets the folder's address, and opens the sheet chosen.
    hote.rechercheFiche = &f;
    hote.rechercheGalerie = 0;
    e->Rechercher1Click();
    ASSERT_EQ(hote.recherches.size(), 1u);
    EXPECT_EQ(hote.recherches[0], (Adresse{"S", "C", "", ""}));
    EXPECT_EQ(hote.editions.back().fiche, &f);
    EXPECT_EQ(hote.editions.back().galerie, 0);

    m().ActiveSelection(true);
    e->Rechercher1Click();
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Il n'y a pas de fiches."));
}

TEST_F(Exploreur, IsolerExclureEtProprietes)
{
    TFiche& a = Fiche(m(), {"S", "C", "R", "L"});
    TFiche& b = Fiche(m(), {"S", "C", "R", "L"}, "02/02/90");
    TFiche& c = Fiche(m(), {"T", "D", "R", "L"});
    auto e = Cree();
    Ouvre(*e, {"S"});
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Exclure1Click();
    ASSERT_TRUE(m().SelectionActive);
    EXPECT_EQ(*m().Selection, (ListeFiches{&c}));
    EXPECT_EQ(m().FichesCourantes, m().Selection.get());
    EXPECT_EQ(hote.etat[0], QStringLiteral("Sélection"));
    EXPECT_EQ(hote.recuperer, 1);
    EXPECT_EQ(hote.vuesRafraichies, 1);
    EXPECT_TRUE(e->Timer1->isActive());

    m().ActiveSelection(false);
    e->MiseAJour();
    Ouvre(*e, {"S", "C", "R", "L"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(Ligne(*e, "02/02/90"));
    e->Isoler1Click();
    EXPECT_EQ(*m().Selection, (ListeFiches{&b}));

    // Properties of the bin, then of a folder: the statistics over its sheets.
    m().ActiveSelection(false);
    m().JetteFiche(&a);
    e->MiseAJour();
    e->SelectionneNoeud(e->NoeudCorbeille());
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->Proprits1Click();
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("La corbeille comporte 1 fiches."));
    EXPECT_EQ(invite.messages.back().icone, Icone::Information);

    QString fiches;
    PiloteModalInstalle p([&](QDialog& d) {
        fiches = d.findChild<QLabel*>(QStringLiteral("Fiche"))->text();
        return int(QDialog::Accepted);
    });
    e->SelectionneNoeud(e->Racine());
    e->Proprits1Click();
    EXPECT_EQ(fiches, QStringLiteral("Nombre de fiches : 2"));
}

TEST_F(Exploreur, MenuSurgissant)
{
    Fiche(m(), {"S", "C", "R", "L"});
    auto e = Cree();
    auto visibles = [&] {
        std::vector<std::string> r;
        for (QAction* a : e->PopupMenu1->actions())
            if (a->isVisible())
                r.push_back(a->objectName().toStdString());
        return r;
    };
    e->DonneFocus(TExploreur::Controle::Arbre);
    e->SelectionneNoeud(e->NoeudCorbeille());
    e->PopupMenu1Popup();
    EXPECT_EQ(visibles(),
              (std::vector<std::string>{"Ouvrir1", "Vider1", "N1", "Couper1", "Copier1", "N2", "Proprits1"}));
    EXPECT_EQ(e->NoeudMenu, e->NoeudCorbeille());
    Ouvre(*e, {"S", "C", "R", "L"});
    e->DonneFocus(TExploreur::Controle::Liste);
    e->ListView1->Selectionne(0);
    e->Copier();
    e->PopupMenu1Popup();
    EXPECT_EQ(visibles(), (std::vector<std::string>{"Ouvrir1", "N1", "Couper1", "Copier1", "Coller1", "N2",
                                                    "Supprimer1", "N3", "Proprits1", "Isoler1", "Exclure1"}));
}

TEST_F(Exploreur, UnClicDansLaListeLaSelectionne)
{
    Fiche(m(), {"S", "C", "R", "L"});
    Fiche(m(), {"T", "C", "R", "L"});
    hote.style = 0;
    auto e = Cree();
    e->show();
    QListView* v = e->ListView1->VueIcones();
    v->doItemsLayout();
    const QRect r = v->visualRect(e->ListView1->Modele()->index(Ligne(*e, "T"), 0));
    ASSERT_TRUE(r.isValid());
    auto souris = [&](QEvent::Type t) {
        QMouseEvent ev(t, QPointF(r.center()), QPointF(v->viewport()->mapToGlobal(r.center())), Qt::LeftButton,
                       t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v->viewport(), &ev);
    };
    souris(QEvent::MouseButtonPress);
    souris(QEvent::MouseButtonRelease);
    ASSERT_GE(e->ListView1->Selection(), 0);
    EXPECT_EQ(e->ListView1->Texte(e->ListView1->Selection()), "T");
    souris(QEvent::MouseButtonDblClick);
    EXPECT_EQ(Texte(e->NoeudSelectionne()), "T");
}
