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
std::map<std::string, std::map<std::string, Position>> Attendus() {
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
        for (std::string c; std::getline(l, c, '|');) cellules.push_back(echange::SansBlancs(c));
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
std::map<std::string, Position> Calcule(TMassif& m, const std::string& fichier) {
    RapportFaux rapport;
    ImporteVisualTopo(m, fichier, rapport);
    m.TrieFiches();
    TCalculateur c;
    c.Charge(m.Fiches, m.References, 1);
    c.CalculeTout(false);
    m.PlaceTousPoints();
    std::map<std::string, Position> r;
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries) {
            EXPECT_TRUE(g->Placee) << Point(g->Depart) << " -> " << Point(g->Arrivee);
            for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k) {
                const std::string& t = g->Visee(k)->Commentaire.Chaine();
                const std::size_t fleche = t.find("->");
                if (k == 1) r[t.substr(1, fleche - 1)] = Position{g->Depart.X, g->Depart.Y, g->Depart.Z};
                const TStation& s = g->Station(k);
                r[t.substr(fleche + 2, t.find(']') - fleche - 2)] = Position{s.X, s.Y, s.Z};
            }
        }
    return r;
}

TEST(VisualTopoVersions, ChaqueStationALaPlaceDeLaLectureIndependante) {
    const auto attendus = Attendus();
    ASSERT_EQ(attendus.size(), 7u);
    for (const auto& [fichier, stations] : attendus) {
        SCOPED_TRACE(fichier);
        TMassif m;
        const auto places = Calcule(m, kDossier + "/" + fichier);
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
}

TEST(VisualTopoVersions, LesExtremitesPortentLeNomDesStations) {
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
    EXPECT_EQ(couleur.Fiches[0]->Galeries[0]->Commentaire.Chaine(), "Topo effectu\xE9" "e le 29/12/00 par deux \xE9quipes");
    EXPECT_EQ(couleur.Fiches[0]->Galeries[0]->Visee(1)->Commentaire.Chaine(), "[1a.0->1a.0] De 1 \xE0 8");
    TMassif blocs;
    Calcule(blocs, kDossier + "/v49_block_comments.tro");
    ASSERT_EQ(blocs.Fiches.size(), 2u);
    EXPECT_EQ(blocs.Fiches[1]->Galeries[0]->Commentaire.Chaine(),
              "Topo effectu\xE9" "e le 08/75 par Le \"m\xE9" "andre aval\" ");
    EXPECT_NEAR(blocs.Fiches[1]->Declinaison, 3 + 0.0656L / 0.6L, 1e-9);
}

TEST(VisualTopoVersions, FichierDeFusionRefuseSansToucherAuMassif) {
    TMassif m;
    RapportFaux rapport;
    auto ref = std::make_unique<TPointTopo>();
    ref->Nom.Affecte("R");
    m.AjouteReference(std::move(ref));
    try {
        ImporteVisualTopo(m, kDossier + "/v502_fusion.tro", rapport);
        ADD_FAILURE() << "fichier de fusion importé";
    } catch (const ErreurEchange& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Ce fichier réunit d'autres fichiers VisualTopo : importez-les un par un "
                  "(C:\\Documents\\Speleo\\reseau.tro, C:\\Documents\\Speleo\\CP1.tro)");
    }
    EXPECT_TRUE(m.Fiches.empty());
    ASSERT_EQ(m.References.size(), 1u);
    EXPECT_EQ(Point(*m.References[0]), "R#0");
}

}  // namespace
}  // namespace karst::test
