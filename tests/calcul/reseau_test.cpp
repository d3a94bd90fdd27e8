// Building the network, adjustment and placement on small hand-made massifs.
#include <gtest/gtest.h>

#include "aide.h"
#include "calcul/calculateur.h"
#include "calcul/drapeaux.h"

using namespace karst;
using namespace karst::essai;

namespace {

// Runs the detailed computation with the fake; the flags are left as a run leaves them.
void Calcule(TMassif& m, FauxMessages* messages = nullptr, bool verbeux = false)
{
    Reduit(m);
    m.TrieFiches();
    TCalculateur c;
    c.Messages = messages;
    c.Charge(m.Fiches, m.References, 1);
    c.CalculeTout(verbeux);
}

TGalerie& G(TMassif& m, int fiche, int galerie) { return *m.Fiches[fiche]->Galeries[galerie]; }

}  // namespace

TEST(Reseau, TroisReferencesAutourDUnCarrefour)
{
    TMassif m;
    TroisReferences(m);
    Calcule(m);
    for (int i = 0; i < 3; ++i) {
        const TGalerie& g = G(m, 0, i);
        EXPECT_TRUE(g.Placee);
        EXPECT_NEAR(g.Arrivee.X, 10.066673, 1e-6);
        EXPECT_NEAR(g.Arrivee.Y, 0, 1e-6);
        EXPECT_NEAR(g.Arrivee.Z, 0, 1e-6);
        EXPECT_EQ(static_cast<double>(g.EcartVertical), 0);
    }
    // The references end up in metres in the galleries.
    EXPECT_NEAR(G(m, 0, 1).Depart.X, 20, 1e-9);
    EXPECT_NEAR(G(m, 0, 2).Depart.Y, 10, 1e-9);
    EXPECT_NEAR(G(m, 0, 0).EcartHorizontal, 3.2670e-4, 5e-9);
    EXPECT_NEAR(G(m, 0, 1).EcartHorizontal, 3.4003e-4, 5e-9);
    EXPECT_NEAR(G(m, 0, 2).EcartHorizontal, 6.6673e-4, 5e-9);
    EXPECT_FALSE(CalculEnCours);
}

TEST(Reseau, BoucleSurUneReference)
{
    TMassif m;
    AjouteReference(m, "R", 0, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R"), Station("A"), {{10, 90}});
    AjouteGalerie(*f, Station("A"), Station("B"), {{10, 0}});
    AjouteGalerie(*f, Station("B"), Station("R"), {{14, 225}});
    Calcule(m);
    const TGalerie& ra = G(m, 0, 0);
    const TGalerie& ab = G(m, 0, 1);
    const TGalerie& br = G(m, 0, 2);
    EXPECT_NEAR(ra.Arrivee.X, 9.970440, 1e-6);
    EXPECT_NEAR(ra.Arrivee.Y, -0.029560, 1e-6);
    EXPECT_NEAR(ab.Depart.X, 9.970440, 1e-6);
    EXPECT_NEAR(ab.Arrivee.X, 9.940879, 1e-6);
    EXPECT_NEAR(ab.Arrivee.Y, 9.940879, 1e-6);
    EXPECT_NEAR(br.Depart.Y, 9.940879, 1e-6);
    EXPECT_DOUBLE_EQ(br.Arrivee.X, 0);
    for (const TGalerie* g : {&ra, &ab, &br}) {
        EXPECT_TRUE(g->Placee);
        EXPECT_NEAR(g->EcartHorizontal, 3.5893e-4, 5e-9);
        EXPECT_EQ(static_cast<double>(g->EcartVertical), 0);
    }
}

TEST(Reseau, ReferenceAuDepartEnMetres)
{
    TMassif m;
    AjouteReference(m, "Ent", 1.5, -2.25, 100);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("ENT"), Station("A"), {{10, 0, 90}});
    Reduit(m);
    TCalculateur c;
    c.Charge(m.Fiches, m.References, 1);
    ASSERT_TRUE(c.Connecte(false));
    const TConcentre& k = *c.Concentres[0];
    EXPECT_EQ(k.NoeudDebut, 0);
    EXPECT_EQ(k.NoeudFin, 1);
    EXPECT_DOUBLE_EQ(k.Debut.X, 1500);
    EXPECT_DOUBLE_EQ(k.Debut.Y, -2250);
    EXPECT_DOUBLE_EQ(k.Debut.Z, 100);
    c.Simplifie(false);
    c.Compense(false);
    c.Repartit();
    c.PlaceExtremites();
    EXPECT_NEAR(G(m, 0, 0).Arrivee.Z, 110, 1e-9);
    EXPECT_NEAR(G(m, 0, 0).Arrivee.X, 1500, 1e-9);
}

TEST(Reseau, FusionDesChainesDeDegreDeux)
{
    // B -> A and B -> C with B met by no other gallery: the first is run backwards.
    TMassif m;
    AjouteReference(m, "A", 0, 0, 0);
    AjouteReference(m, "C", 0.03, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("B"), Station("A"), {{10, 270}});
    AjouteGalerie(*f, Station("B"), Station("C"), {{20, 90}});
    Reduit(m);
    TCalculateur c;
    c.Charge(m.Fiches, m.References, 1);
    ASSERT_TRUE(c.Connecte(false));
    c.Simplifie(false);
    // A chain between two references is set aside like a loop.
    ASSERT_EQ(c.Concentres.size(), 0u);
    ASSERT_EQ(c.Boucles.size(), 1u);
    const TConcentre& r = *c.Boucles[0];
    EXPECT_EQ(r.NbMembres, 2);
    EXPECT_EQ(r.MembreGalerie, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(r.MembreInverse, (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(r.Debut.Nom.Chaine(), "A");
    EXPECT_EQ(r.Fin.Nom.Chaine(), "C");
    EXPECT_NEAR(r.DX, 30, 1e-9);
    EXPECT_DOUBLE_EQ(r.Poids2, 500);
    // Placed as a branch between its two references: B takes its share of the misclosure.
    c.Compense(false);
    c.Repartit();
    c.PlaceExtremites();
    EXPECT_NEAR(G(m, 0, 0).Depart.X, 10, 1e-9);
    EXPECT_TRUE(G(m, 0, 1).Placee);
}

TEST(Reseau, OrientationDesFusions)
{
    // Four ways two chains meet at a junction of degree 2, each closing on references.
    struct Cas {
        bool pDebut, qDebut;  // P and Q start at the junction J
        std::vector<uint8_t> inverses;
        std::vector<int32_t> ordre;
    };
    const Cas cas[] = {
        {true, false, {0, 0}, {1, 0}},
        {true, true, {1, 0}, {0, 1}},
        {false, false, {0, 1}, {0, 1}},
        {false, true, {0, 0}, {0, 1}},
    };
    for (const Cas& k : cas) {
        TMassif m;
        AjouteReference(m, "X", 0, 0, 0);
        AjouteReference(m, "Y", 0, 0.01, 0);
        AjouteReference(m, "W", 0.01, 0, 0);
        TFiche* f = AjouteFiche(m);
        // X - K - Y makes K a junction of degree 3 so that the chains end there.
        AjouteGalerie(*f, Station("X"), Station("K"), {{5, 0}});
        AjouteGalerie(*f, Station("Y"), Station("K"), {{5, 180}});
        TFiche* g = AjouteFiche(m);
        if (k.pDebut)
            AjouteGalerie(*g, Station("J"), Station("K"), {{3, 0}});
        else
            AjouteGalerie(*g, Station("K"), Station("J"), {{3, 180}});
        if (k.qDebut)
            AjouteGalerie(*g, Station("J"), Station("W"), {{4, 90}});
        else
            AjouteGalerie(*g, Station("W"), Station("J"), {{4, 270}});
        Reduit(m);
        TCalculateur c;
        c.Charge(m.Fiches, m.References, 1);
        ASSERT_TRUE(c.Connecte(false));
        c.Simplifie(false);
        const TConcentre* r = nullptr;
        for (const TConcentre* x : c.Concentres)
            if (x->NbMembres == 2)
                r = x;
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->MembreInverse, k.inverses);
        EXPECT_EQ(r->MembreGalerie, k.ordre);
        // Whichever way it runs, D goes from its Debut to its Fin.
        const double sens = r->Debut.Nom.Chaine() == "K" ? 1 : -1;
        EXPECT_NEAR(r->DY * sens, -3, 1e-9);
        EXPECT_NEAR(r->DX * sens, 4, 1e-9);
    }
}

TEST(Reseau, BouclesEtCulsDeSac)
{
    TMassif m;
    AjouteReference(m, "R", 0, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R"), Station("J"), {{10, 0}});
    AjouteGalerie(*f, Station("J"), Station("J"), {{4, 90}, {4, 180}, {4, 270}, {3.9, 0}});  // closed loop
    AjouteGalerie(*f, Station("J"), Terminus(), {{6, 45}});
    AjouteGalerie(*f, Station("J"), Station("K"), {{5, 90}});
    AjouteGalerie(*f, Station("K"), Terminus(), {{2, 0}});
    Reduit(m);
    TCalculateur c;
    c.Charge(m.Fiches, m.References, 1);
    ASSERT_TRUE(c.Connecte(false));
    c.Simplifie(false);
    EXPECT_EQ(c.Boucles.size(), 1u);
    // J-terminus first; J then has degree 2 and R-J merges with J-K-terminus.
    EXPECT_EQ(c.CulsDeSac.size(), 2u);
    c.Compense(false);
    c.Repartit();
    c.PlaceExtremites();
    // The dead ends get no correction and no misclosure; the loop's misclosure stays in it.
    EXPECT_NEAR(G(m, 0, 3).Arrivee.X, 5, 1e-9);
    EXPECT_NEAR(G(m, 0, 3).Arrivee.Y, 10, 1e-9);
    EXPECT_EQ(static_cast<double>(G(m, 0, 3).EcartHorizontal), 0);
    EXPECT_NEAR(G(m, 0, 1).EcartHorizontal, 0.1 / 63.21, 1e-9);
    EXPECT_TRUE(G(m, 0, 2).Placee);
    EXPECT_NEAR(G(m, 0, 2).Depart.Y, 10, 1e-9);
    EXPECT_TRUE(G(m, 0, 2).Arrivee.Terminus);
}

TEST(Reseau, NumerotationDesCarrefoursStable)
{
    auto numeros = [] {
        TMassif m;
        AjouteReference(m, "R", 0, 0, 0);
        TFiche* f = AjouteFiche(m);
        AjouteGalerie(*f, Station("C"), Station("D"), {{1, 0}});
        AjouteGalerie(*f, Station("B"), Station("C"), {{1, 0}});
        AjouteGalerie(*f, Station("R"), Station("A"), {{1, 0}});
        AjouteGalerie(*f, Station("A"), Station("B"), {{1, 0}});
        AjouteGalerie(*f, Station("D"), Station("E"), {{1, 0}});
        Reduit(m);
        TCalculateur c;
        c.Charge(m.Fiches, m.References, 1);
        EXPECT_TRUE(c.Connecte(false));
        std::string s;
        for (const TPointTopo* p : c.Carrefours)
            s += p->Nom.Chaine();
        return s;
    };
    // Reference pass: A; backward sweep from the last chain: B (via A-B), C (via B-C),
    // D (via C-D); forward sweep: E (via D-E).
    EXPECT_EQ(numeros(), "ABCDE");
    EXPECT_EQ(numeros(), numeros());
}

TEST(Reseau, PasDeReference)
{
    TMassif m;
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("A"), Station("B"), {{1, 0}});
    FauxMessages fm;
    {
        Reduit(m);
        TCalculateur c;
        c.Messages = &fm;
        c.Charge(m.Fiches, m.References, 1);
        EXPECT_FALSE(c.Connecte(false));
        EXPECT_TRUE(fm.vus.empty());
        EXPECT_FALSE(c.Connecte(true));
    }
    ASSERT_EQ(fm.vus.size(), 1u);
    EXPECT_EQ(fm.vus[0].texte, "Il n'y a pas de point de référence.");
    EXPECT_EQ(fm.vus[0].genre, GenreMessage::Confirmation);
}

TEST(Reseau, AucuneFicheAtteinte)
{
    TMassif m;
    AjouteReference(m, "Z", 0, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("A"), Station("B"), {{1, 0}});
    FauxMessages fm;
    Calcule(m, &fm, true);
    EXPECT_FALSE(G(m, 0, 0).Placee);
    ASSERT_EQ(fm.vus.size(), 1u);
    EXPECT_EQ(fm.vus[0].texte, "Aucune fiche n'est atteinte, vérifiez les noms des points de référence.");
    EXPECT_EQ(fm.sablier, 0);
}

TEST(Reseau, GaleriesNonAtteintes)
{
    auto prepare = [](TMassif& m) {
        AjouteReference(m, "R", 0, 0, 0);
        TFiche* f = AjouteFiche(m, "Puits");
        AjouteGalerie(*f, Station("R"), Station("A"), {{10, 0}});
        AjouteGalerie(*f, Terminus(), Station("X"), {{3, 0}});
        AjouteGalerie(*f, Station("X"), Station("Y"), {{3, 0}});
        G(m, 0, 2).Arrivee.X = 77;  // a previous result, kept
    };
    {
        TMassif m;
        prepare(m);
        FauxMessages fm;
        Calcule(m, &fm, true);
        EXPECT_EQ(fm.questions, 1);
        EXPECT_EQ(fm.lacunes, (std::vector<std::string>{"S/C/R/Puits Terminus - X", "S/C/R/Puits X - Y"}));
        EXPECT_TRUE(G(m, 0, 0).Placee);
        EXPECT_FALSE(G(m, 0, 2).Placee);
        EXPECT_DOUBLE_EQ(G(m, 0, 2).Arrivee.X, 77);
    }
    {
        TMassif m;
        prepare(m);
        FauxMessages fm;
        fm.continuer = false;  // "Arrêter"
        Calcule(m, &fm, true);
        EXPECT_FALSE(G(m, 0, 0).Placee);
    }
    {
        TMassif m;
        prepare(m);
        Reduit(m);
        TCalculateur c;
        c.Charge(m.Fiches, m.References, 1);
        EXPECT_TRUE(c.Connecte(false));
        EXPECT_TRUE(c.Lacunes);
        EXPECT_FALSE(c.AucuneAtteinte);
        EXPECT_EQ(c.Concentres.size(), 1u);
    }
}

TEST(Reseau, MessagesDuCalculDetaille)
{
    TMassif m;
    TroisReferences(m);
    AjouteGalerie(*m.Fiches[0], Station("J"), Terminus(), {{2, 0}});
    FauxMessages fm;
    Calcule(m, &fm, true);
    ASSERT_EQ(fm.vus.size(), 3u);
    EXPECT_EQ(fm.vus[0].texte, "4 galeries, 3 branches, 0 boucles, 1 cul de sac,");
    EXPECT_EQ(fm.vus[0].genre, GenreMessage::Information);
    EXPECT_EQ(fm.vus[1].texte, "1 carrefours.");
    EXPECT_EQ(fm.vus[2].texte.substr(fm.vus[2].texte.size() - 2), " s");
    EXPECT_EQ(fm.sablier, 0);
}

TEST(Reseau, LiaisonDeLongueurNulle)
{
    // A "same station" link of zero length between two junctions must not divide by zero.
    TMassif m;
    AjouteReference(m, "R1", 0, 0, 0);
    AjouteReference(m, "R2", 0.02, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R1"), Station("A"), {{10.1, 90}});
    AjouteGalerie(*f, Station("R1"), Station("A"), {{10.3, 90}});
    AjouteGalerie(*f, Station("A"), Station("A", 1), {});
    AjouteGalerie(*f, Station("A", 1), Station("R2"), {{9.8, 90}});
    AjouteGalerie(*f, Station("A", 1), Station("R2"), {{9.9, 90}});
    AjouteGalerie(*f, Station("A", 1), Station("B"), {{5, 0}}, 0);  // coefficient 0
    AjouteGalerie(*f, Station("B"), Station("R2"), {{5, 180}}, 0);
    Calcule(m);
    for (const TGalerie* g : m.Fiches[0]->Galeries) {
        EXPECT_TRUE(g->Placee);
        EXPECT_TRUE(std::isfinite(g->Arrivee.X) && std::isfinite(g->EcartHorizontal));
    }
    EXPECT_NEAR(G(m, 0, 2).Depart.X, G(m, 0, 2).Arrivee.X, 1e-6);
}

TEST(Reseau, ReferenceEtTerminus)
{
    // A lone gallery from a reference to a terminus: its start takes the reference's
    // coordinates and it counts as positioned.
    TMassif m;
    AjouteReference(m, "R", 0.5, 0.25, 12);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R"), Terminus(), {{7, 30}});
    Calcule(m);
    const TGalerie& g = G(m, 0, 0);
    EXPECT_TRUE(g.Placee);
    EXPECT_NEAR(g.Depart.X, 500, 1e-9);
    EXPECT_NEAR(g.Depart.Y, 250, 1e-9);
    EXPECT_NEAR(g.Depart.Z, 12, 1e-9);
}

TEST(Reseau, ReferenceInutilisableNommeeEtRienPlace)
{
    // A reference point of 1e37 km has no value in metres: the run names it, places nothing
    // and leaves what an earlier run placed.
    TMassif m;
    AjouteReference(m, "R", 0, 0, 0);
    AjouteReference(m, "Loin", 1e37, 0, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R"), Station("A"), {{10, 0}});
    AjouteGalerie(*f, Station("Loin"), Station("A"), {{10, 90}});
    Reduit(m);
    G(m, 0, 0).Placee = true;
    G(m, 0, 0).Arrivee.Y = 10;
    FauxMessages fm;
    TCalculateur c;
    c.Messages = &fm;
    c.Charge(m.Fiches, m.References, 1);
    c.CalculeTout(true);
    ASSERT_EQ(fm.vus.size(), 1u);
    EXPECT_EQ(fm.vus[0].texte, "Le point de référence « Loin » ne peut pas servir au calcul : sa coordonnée X 1E37 "
                               "dépasse les valeurs admises.\rAucun point n'a été placé.");
    EXPECT_EQ(fm.vus[0].genre, GenreMessage::Avertissement);
    EXPECT_EQ(fm.sablier, 0);
    EXPECT_TRUE(G(m, 0, 0).Placee);
    EXPECT_FALSE(G(m, 0, 1).Placee);
    EXPECT_EQ(G(m, 0, 0).Arrivee.Y, 10);
    for (int k : {0, 1})
        for (const TPointTopo* p : {&G(m, 0, k).Depart, &G(m, 0, k).Arrivee})
            EXPECT_EQ(p->X, 0) << k;
}

TEST(Reseau, ChargementPourLaCoupe)
{
    // Any mode but 1 leaves out the galleries in the section and those with a terminus end.
    TMassif m;
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("A"), Station("B"), {{1, 0}});
    AjouteGalerie(*f, Station("B"), Station("C"), {{1, 0}})->DansCoupe = true;
    AjouteGalerie(*f, Terminus(), Station("C"), {{1, 0}});
    AjouteGalerie(*f, Station("C"), Terminus(), {{1, 0}});
    AjouteGalerie(*f, Station("C"), Station("D"), {{1, 0}});
    Reduit(m);
    TCalculateur deux, un;
    deux.Charge(m.Fiches, m.References, 2);
    un.Charge(m.Fiches, m.References, 1);
    ASSERT_EQ(deux.Concentres.size(), 2u);
    EXPECT_EQ(deux.Concentres[1]->MembreGalerie[0], 4);
    EXPECT_EQ(un.Concentres.size(), 5u);
}
