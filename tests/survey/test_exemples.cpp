#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "survey/aide_fichiers.h"
#include "survey/modele.h"

using namespace karst;

namespace {

std::unique_ptr<TMassif> Charge(const std::string& nom)
{
    auto m = std::make_unique<TMassif>();
    m->NomFichier = (std::filesystem::path(KARST_EXAMPLES) / nom).string();
    const ResultatChargement r = m->Charge();
    EXPECT_EQ(r.etat, EtatChargement::Charge) << r.message;
    return m;
}

}  // namespace

// The sample massif, saved in both formats, holds the same survey.
TEST(Exemples, LesDeuxFormatsConcordent)
{
    auto fic = Charge("pierrefeu.fic");
    auto mas = Charge("pierrefeu.mas");
    ASSERT_EQ(fic->Fiches.size(), 8u);
    ASSERT_EQ(mas->Fiches.size(), fic->Fiches.size());
    ASSERT_EQ(fic->References.size(), 2u);
    ASSERT_EQ(mas->References.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(fic->References[i]->Egal(*mas->References[i]));
        EXPECT_NEAR(fic->References[i]->X.d(), mas->References[i]->X.d(), 1e-6);
        EXPECT_NEAR(fic->References[i]->Z.d(), mas->References[i]->Z.d(), 1e-6);
    }
    int visees = 0, topofil = 0;
    std::set<int> unitesPente, unitesAzimut;
    for (std::size_t i = 0; i < fic->Fiches.size(); ++i) {
        const TFiche* a = fic->Fiches[i];
        const TFiche* b = mas->Fiches[i];
        EXPECT_TRUE(a->MemeSortie(*b));
        EXPECT_TRUE(a->MemeEndroit(*b));
        EXPECT_EQ(a->Ordre, b->Ordre);
        EXPECT_EQ(a->Declinaison.d(), b->Declinaison.d());
        ASSERT_EQ(a->Galeries.size(), b->Galeries.size());
        // The stored reduction is the reduction of the stored readings.
        TFiche reduite;
        reduite.Copie(*a);
        reduite.Declinaison = a->Declinaison;
        reduite.Calcule(fic->Angle_Geodesique);
        for (std::size_t j = 0; j < a->Galeries.size(); ++j) {
            EXPECT_NEAR(reduite.Galeries[j]->SommeDX.d(), a->Galeries[j]->SommeDX.d(), 1e-9);
            EXPECT_NEAR(reduite.Galeries[j]->SommeDY.d(), a->Galeries[j]->SommeDY.d(), 1e-9);
            EXPECT_NEAR(reduite.Galeries[j]->SommeDZ.d(), a->Galeries[j]->SommeDZ.d(), 1e-9);
        }
        for (std::size_t j = 0; j < a->Galeries.size(); ++j) {
            const TGalerie* ga = a->Galeries[j];
            const TGalerie* gb = b->Galeries[j];
            EXPECT_TRUE(ga->Depart.Egal(gb->Depart));
            EXPECT_TRUE(ga->Arrivee.Egal(gb->Arrivee));
            ASSERT_EQ(ga->NbVisees, gb->NbVisees);
            for (int k = 1; k <= ga->NbVisees; ++k) {
                const TVisee* va = ga->Visee(k);
                const TVisee* vb = gb->Visee(k);
                // The sample's readings fit the text format's digits exactly.
                EXPECT_EQ(va->Longueur.d(), vb->Longueur.d());
                EXPECT_EQ(va->Azimut.d(), vb->Azimut.d());
                EXPECT_EQ(va->Pente.d(), vb->Pente.d());
                EXPECT_EQ(va->Gauche, vb->Gauche);
                EXPECT_EQ(va->Haut, vb->Haut);
                EXPECT_EQ(va->UnitePente, vb->UnitePente);
                EXPECT_EQ(va->UniteAzimut, vb->UniteAzimut);
                EXPECT_EQ(va->UniteLongueur, vb->UniteLongueur);
                EXPECT_EQ(va->AvecTopofil, vb->AvecTopofil);
                EXPECT_NEAR(va->X.d(), vb->X.d(), 1e-4);
                EXPECT_NEAR(va->Z.d(), vb->Z.d(), 1e-4);
                ++visees;
                topofil += va->AvecTopofil;
                unitesPente.insert(va->UnitePente);
                unitesAzimut.insert(va->UniteAzimut);
            }
        }
    }
    EXPECT_GE(visees, 200);
    EXPECT_GT(topofil, 0);
    EXPECT_EQ(unitesAzimut, (std::set<int>{0, 1, 5, 6}));
    EXPECT_TRUE(unitesPente.count(2) && unitesPente.count(3) && unitesPente.count(4));
}

// A text massif whose readings fit the format's digits is written back byte for byte, so
// that files of other versions still compare.
TEST(Exemples, LeMassifTexteRevientOctetPourOctet)
{
    auto mas = Charge("pierrefeu.mas");
    const std::filesystem::path p = essai::Temporaire("pierrefeu_copie.mas");
    mas->Sauve(p.string());
    EXPECT_EQ(essai::Contenu(p), essai::Contenu(std::filesystem::path(KARST_EXAMPLES) / "pierrefeu.mas"));
}
