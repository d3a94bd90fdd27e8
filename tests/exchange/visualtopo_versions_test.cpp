// VisualTopo files in the layouts of the program's successive versions (4.2 to 5.02), with
// the station coordinates an independent reading gives for them.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "calcul/calculateur.h"
#include "commun.h"
#include "exchange/outils.h"

namespace karst::test {
namespace {

const std::string kDossier = std::string(KARST_TEST_DATA) + "/visualtopo";

struct Position {
    long double x, y, z;
};

// The tables of EXPECTED.md: for each file, its stations and their coordinates in metres.
std::map<std::string, std::map<std::string, Position>> Attendus()
{
    std::map<std::string, std::map<std::string, Position>> r;
    std::istringstream texte(LitTout(kDossier + "/EXPECTED.md"));
    std::string ligne, fichier;
    while (std::getline(texte, ligne)) {
        if (ligne.rfind("## ", 0) == 0) {
            fichier = ligne.substr(3);
            continue;
        }
        std::vector<std::string> cellules;
        std::istringstream l(ligne);
        for (std::string c; std::getline(l, c, '|');)
            cellules.push_back(echange::SansBlancs(c));
        long double x, y, z;
        if (fichier.empty() || cellules.size() < 5 || !LitReel(cellules[2], x) || !LitReel(cellules[3], y) ||
            !LitReel(cellules[4], z))
            continue;
        r[fichier][cellules[1]] = Position{x, y, z};
    }
    return r;
}

// Imports the file, runs the detailed computation and places the stations; every station is
// then found by the TO named in the comment "[FROM->TO]" of the shot that reaches it, and
// the start of a gallery by the FROM of its first shot (a dead end has no name of its own).
// The ends of the shots to the wall ("*") are "*1", "*2", ... in file order.
std::map<std::string, Position> Calcule(TMassif& m, const std::string& fichier, const Position* entree = nullptr)
{
    RapportFaux rapport;
    ImporteVisualTopo(m, fichier, rapport);
    if (entree) {  // the entrance's coordinates, as typed in the reference points' dialog
        if (m.References.empty())
            m.AjouteReference(std::make_unique<TPointTopo>(m.Fiches[0]->Galeries[0]->Depart));
        m.References[0]->X = entree->x / 1000;
        m.References[0]->Y = entree->y / 1000;
        m.References[0]->Z = entree->z;
    }
    m.TrieFiches();
    TCalculateur c;
    c.Charge(m.Fiches, m.References, 1);
    c.CalculeTout(false);
    EXPECT_TRUE(c.Boucles.empty());
    m.PlaceTousPoints();
    std::map<std::string, Position> r;
    int rayonnantes = 0;
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries) {
            EXPECT_TRUE(g->Placee) << Point(g->Depart) << " -> " << Point(g->Arrivee);
            for (const TPointTopo* p : {&g->Depart, &g->Arrivee})
                EXPECT_NE(p->Nom.Chaine(), "*");
            for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k) {
                const std::string& t = g->Visee(k)->Commentaire.Chaine();
                const std::size_t fleche = t.find("->");
                if (k == 1)
                    r[t.substr(1, fleche - 1)] = Position{g->Depart.X, g->Depart.Y, g->Depart.Z};
                const TStation& s = g->Station(k);
                const std::string vers = t.substr(fleche + 2, t.find(']') - fleche - 2);
                r[vers == "*" ? "*" + FormatEntier(++rayonnantes) : vers] = Position{s.X, s.Y, s.Z};
            }
        }
    return r;
}

void Compare(const std::map<std::string, Position>& places, const std::map<std::string, Position>& stations)
{
    for (const auto& [nom, p] : stations) {
        const auto it = places.find(nom);
        ASSERT_NE(it, places.end()) << nom;
        EXPECT_NEAR(it->second.x, p.x, 0.005) << nom;
        EXPECT_NEAR(it->second.y, p.y, 0.005) << nom;
        EXPECT_NEAR(it->second.z, p.z, 0.005) << nom;
    }
    // Nothing more than the survey: every station placed is one of the reading's.
    EXPECT_EQ(places.size(), stations.size());
}

TEST(VisualTopoVersions, ChaqueStationALaPlaceDeLaLectureIndependante)
{
    const auto attendus = Attendus();
    ASSERT_EQ(attendus.size(), 7u);
    for (const auto& [fichier, stations] : attendus) {
        SCOPED_TRACE(fichier);
        TMassif m;
        Compare(Calcule(m, kDossier + "/" + fichier), stations);
    }
}

TEST(VisualTopoVersions, ViseesRayonnantesDesApplicationsDeTerrain)
{
    // Phone survey apps: shots to the wall ("*") after each station, the cave named in a
    // comment only, no "Trou" line. An independent reading, with the entrance placed.
    const std::map<std::string, std::map<std::string, Position>> attendus = {
        {"cd11",
         {{"00", {945619.000, 2134372.000, 2317.000}},
          {"1", {945618.889, 2134372.127, 2315.994}},
          {"2", {945621.185, 2134373.050, 2314.177}},
          {"3", {945625.599, 2134373.615, 2313.231}},
          {"4", {945631.843, 2134372.826, 2313.693}},
          {"*1", {945619.561, 2134372.612, 2317.184}},
          {"*2", {945618.068, 2134370.958, 2316.927}},
          {"*3", {945618.938, 2134371.635, 2315.921}},
          {"*4", {945618.705, 2134372.750, 2316.022}},
          {"*5", {945621.717, 2134372.069, 2314.274}},
          {"*6", {945620.756, 2134373.840, 2314.145}},
          {"*7", {945622.490, 2134373.758, 2315.661}},
          {"*8", {945625.703, 2134372.923, 2313.231}},
          {"*9", {945625.560, 2134374.364, 2313.250}},
          {"*10", {945631.726, 2134371.799, 2313.510}},
          {"*11", {945632.029, 2134373.743, 2313.858}},
          {"*12", {945632.257, 2134372.779, 2316.056}}}},
        {"gouffre_b2",
         {{"0", {941260.000, 2131600.000, 860.000}},
          {"1", {941262.618, 2131596.081, 857.802}},
          {"2", {941264.230, 2131591.415, 852.223}},
          {"3", {941267.480, 2131589.481, 851.858}},
          {"4", {941267.638, 2131587.362, 848.178}},
          {"2a", {941263.217, 2131594.313, 852.654}},
          {"*1", {941260.286, 2131601.263, 859.887}},
          {"*2", {941259.795, 2131598.921, 860.058}},
          {"*3", {941263.316, 2131596.472, 857.802}},
          {"*4", {941261.791, 2131595.618, 857.736}},
          {"*5", {941262.835, 2131590.928, 852.483}},
          {"*6", {941265.324, 2131591.797, 851.912}},
          {"*7", {941267.787, 2131589.997, 851.858}},
          {"*8", {941267.091, 2131587.322, 848.226}},
          {"*9", {941268.333, 2131587.414, 848.117}},
          {"*10", {941262.491, 2131594.746, 852.962}},
          {"*11", {941263.552, 2131594.114, 852.429}}}}};
    for (const auto& [nom, stations] : attendus) {
        SCOPED_TRACE(nom);
        TMassif m;
        const Position& entree = stations.at(nom == "cd11" ? "00" : "0");
        Compare(Calcule(m, std::string(KARST_TEST_DATA) + "/" + nom + ".tro", &entree), stations);
        for (const TFiche* f : m.Fiches) {
            for (const TEco* t : {&f->Systeme, &f->Cavite, &f->Reseau, &f->Lieu})
                EXPECT_EQ(t->Chaine(), nom);
            // The shots to the wall are marked "E": not counted in the survey's length.
            ASSERT_FALSE(f->Galeries.empty());
            EXPECT_EQ(f->Galeries.back()->Developpement, 0);
        }
        // The shots to the wall come back from both massif files as they were saved.
        Dossier dossier;
        for (const char* ext : {".fic", ".mas"}) {
            m.Sauve(dossier.Fichier(nom + ext));
            TMassif relu;
            relu.NomFichier = dossier.Fichier(nom + ext);
            ASSERT_EQ(relu.Charge().etat, EtatChargement::Charge) << ext;
            EXPECT_EQ(Decrit(relu), Decrit(m)) << ext;
        }
    }
}

TEST(VisualTopoVersions, LesExtremitesPortentLeNomDesStations)
{
    // A survey that starts at "0" and reaches the entrance "2.6" only at its end: "0" is a
    // dead end of its own, never merged with the entrance.
    TMassif m;
    Calcule(m, kDossier + "/v500_start_elsewhere.tro");
    ASSERT_EQ(m.Fiches.size(), 1u);
    ASSERT_EQ(m.Fiches[0]->Galeries.size(), 1u);
    const TGalerie& g = *m.Fiches[0]->Galeries[0];
    EXPECT_TRUE(g.Depart.Terminus);
    EXPECT_EQ(Point(g.Arrivee), "2.6#1");
    EXPECT_EQ(g.NbVisees, 5);

    // "*" at the start of a block goes on from the last station of the previous block, with
    // the new block's units; the flag letters are neither numbers nor comments.
    TMassif deux;
    Calcule(deux, kDossier + "/v502_two_flags.tro");
    ASSERT_EQ(deux.Fiches.size(), 2u);
    const TGalerie& suite = *deux.Fiches[1]->Galeries[0];
    EXPECT_EQ(Point(suite.Depart), "P7#1");
    EXPECT_EQ(suite.Visee(1)->UniteAzimut, 5);
    EXPECT_EQ(suite.Visee(1)->UnitePente, 9);
    EXPECT_EQ(suite.Visee(1)->Commentaire.Chaine(), "[P7->P9]");
    EXPECT_EQ(suite.Visee(2)->Commentaire.Chaine(), "[P9->P10]");

    // The colour after the extra word, the comment of a Param line holding a lone CR.
    TMassif couleur;
    Calcule(couleur, kDossier + "/v410_topofil_colour.tro");
    EXPECT_EQ(couleur.Fiches[0]->Galeries[0]->Couleur, 0 + 256 * 128 + 65536 * 255);
    EXPECT_EQ(couleur.Fiches[0]->Galeries[0]->Commentaire.Chaine(), "Topo effectu\xE9"
                                                                    "e le 29/12/00 par deux \xE9quipes");
    EXPECT_EQ(couleur.Fiches[0]->Galeries[0]->Visee(1)->Commentaire.Chaine(), "[1a.0->1a.0] De 1 \xE0 8");
    TMassif blocs;
    Calcule(blocs, kDossier + "/v49_block_comments.tro");
    ASSERT_EQ(blocs.Fiches.size(), 2u);
    EXPECT_EQ(blocs.Fiches[1]->Galeries[0]->Commentaire.Chaine(), "Topo effectu\xE9"
                                                                  "e le 08/75 par Le \"m\xE9"
                                                                  "andre aval\" ");
    EXPECT_NEAR(blocs.Fiches[1]->Declinaison, 3 + 0.0656L / 0.6L, 1e-9);
}

TEST(VisualTopoVersions, FichierDeFusionRefuseSansToucherAuMassif)
{
    TMassif m;
    RapportFaux rapport;
    auto ref = std::make_unique<TPointTopo>();
    ref->Nom.Affecte("R");
    m.AjouteReference(std::move(ref));
    EXPECT_EQ(Refus([&] { ImporteVisualTopo(m, kDossier + "/v502_fusion.tro", rapport); }),
              "Le fichier " + kDossier +
                  "/v502_fusion.tro réunit d'autres fichiers VisualTopo : importez-les un par un "
                  "(C:\\Documents\\Speleo\\reseau.tro et C:\\Documents\\Speleo\\CP1.tro)");
    // Sixteen paths: ten named, the box keeps its size.
    std::string seize;
    for (int i = 1; i <= 16; ++i)
        seize += "Fusion F" + FormatEntier(i) + ".tro\n";
    Dossier d;
    EXPECT_EQ(Refus([&] { ImporteVisualTopo(m, d.Ecrit("seize.tro", seize), rapport); }),
              "Le fichier " + d.Fichier("seize.tro") +
                  " réunit d'autres fichiers VisualTopo : importez-les un par un (F1.tro, F2.tro, F3.tro, "
                  "F4.tro, F5.tro, F6.tro, F7.tro, F8.tro, F9.tro, F10.tro et 6 autres)");
    EXPECT_TRUE(m.Fiches.empty());
    ASSERT_EQ(m.References.size(), 1u);
    EXPECT_EQ(Point(*m.References[0]), "R#0");
}

}  // namespace
}  // namespace karst::test
