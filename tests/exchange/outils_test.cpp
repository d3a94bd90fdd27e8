#include <gtest/gtest.h>

#include "commun.h"
#include "exchange/outils.h"

namespace karst::test {
namespace {

using Lignes = std::vector<std::string>;

TEST(OutilsEchange, LignesCoupeesSurCrLfEtCrLf)
{
    Dossier d;
    auto lignes = [&](const std::string& octets) {
        echange::LignesImportees lu(d.Ecrit("f.txt", octets), FinsDeLigne::Toutes, nullptr);
        Lignes r;
        for (std::string l; lu.Lit(l);)
            r.push_back(l);
        return r;
    };
    EXPECT_EQ(lignes("a\rb\nc\r\nd"), (Lignes{"a", "b", "c", "d"}));
    EXPECT_EQ(lignes("a\r\n\r\nb\r\n"), (Lignes{"a", "", "b"}));
    EXPECT_EQ(lignes("a\n\rb"), (Lignes{"a", "", "b"}));  // LF CR is two line ends
    EXPECT_EQ(lignes("\r"), (Lignes{""}));
    EXPECT_EQ(lignes(""), Lignes{});
    // A DOS editor's end of text after the last line that holds anything, and nowhere else.
    EXPECT_EQ(lignes("a\r\nb\x1A\r\n\r\n"), (Lignes{"a", "b", ""}));
    EXPECT_THROW(lignes("a\x1A\r\nb"), ErreurEchange);
    // At the edges of the 32 KB blocks the file is read by: a CR LF across two blocks, and a
    // block that ends the file on a line end.
    const std::string x(32767, 'x');
    EXPECT_EQ(lignes(x + "\r\ny"), (Lignes{x, "y"}));
    EXPECT_EQ(lignes(x + "\n"), Lignes{x});
    EXPECT_EQ(lignes("\xEF\xBB\xBF" "a\r\nb\xE2\x80\x8B"), (Lignes{"a", "b"}));  // marks that draw nothing
    // Every line that loses characters is counted, ten are named with what they lose.
    std::string perdues = "a\n";
    for (int i = 0; i < 12; ++i)
        perdues += "x\xE4\xB8\x80\n";
    echange::LignesImportees lu(d.Ecrit("f.txt", perdues), FinsDeLigne::Toutes, nullptr);
    for (std::string l; lu.Lit(l);)
        EXPECT_TRUE(l == "a" || l == "x?");
    const std::string liste = lu.Perdus.Liste(true);
    EXPECT_EQ(liste.rfind("Ligne 2 : « x一 » (« 一 »)\rLigne 3 : ", 0), 0u);
    EXPECT_EQ(liste.substr(liste.rfind('\r')), "\r... et 2 autres.");
    EXPECT_THROW(echange::LignesImportees(d.Fichier("absent.txt"), FinsDeLigne::Toutes, nullptr), std::runtime_error);
}

TEST(OutilsEchange, ChampsManquantsVides)
{
    const echange::Champs c("-2\t1\t\tfin");
    EXPECT_EQ(c.Nombre(), 4u);
    EXPECT_EQ(c[1], "-2");
    EXPECT_EQ(c[3], "");
    EXPECT_EQ(c[4], "fin");
    EXPECT_EQ(c[9], "");
}

// The index gives exactly what TMassif::IndiceLibre gives, whatever the names and indices.
TEST(OutilsEchange, IndexDesIndicesCommeIndiceLibre)
{
    TMassif m;
    EXPECT_EQ(echange::IndexIndices(m).IndiceLibre("A", 0), m.IndiceLibre("A", 0));
    uint32_t x = 12345;
    auto hasard = [&](uint32_t n) {
        x = x * 1103515245u + 12345u;
        return (x >> 8) % n;
    };
    const char* noms[] = {"A", "a", "B1", "b1", "C", "\xE9t\xE9", "\xC9T\xC9"};
    for (int f = 0; f < 5; ++f) {
        auto fiche = std::make_unique<TFiche>();
        for (int g = 0; g < 60; ++g) {
            auto gal = std::make_unique<TGalerie>();
            for (TPointTopo* p : {&gal->Depart, &gal->Arrivee}) {
                p->Nom.Affecte(noms[hasard(7)]);
                p->Indice = static_cast<uint8_t>(hasard(5) == 0 ? 250 + hasard(6) : hasard(8));
                p->Terminus = hasard(6) == 0;
            }
            fiche->Galeries.ajoute(std::move(gal));
        }
        m.AjouteFiche(std::move(fiche), false);
    }
    // Every index of "C" from 1 to 255 is taken.
    auto plein = std::make_unique<TFiche>();
    for (int i = 1; i <= 255; ++i) {
        auto gal = std::make_unique<TGalerie>();
        gal->Depart.Nom.Affecte("c");
        gal->Depart.Indice = static_cast<uint8_t>(i);
        gal->Arrivee.Terminus = true;
        plein->Galeries.ajoute(std::move(gal));
    }
    m.AjouteFiche(std::move(plein), false);
    const echange::IndexIndices index(m);
    for (const char* nom : {"A", "B1", "C", "\xE9T\xE9", "\xC9T\xC9", "D"})
        for (int depart : {-3, 0, 1, 2, 5, 249, 252, 255, 256}) {
            SCOPED_TRACE(std::string(nom) + " " + FormatEntier(depart));
            EXPECT_EQ(index.IndiceLibre(nom, depart), m.IndiceLibre(nom, depart));
        }
    EXPECT_EQ(index.IndiceLibre("C", 0), 256);
    EXPECT_EQ(index.IndiceLibre("b1", 0), m.IndiceLibre("B1", 0));  // the index folds case itself
}

TEST(OutilsEchange, TexteDuFichierDansUnMessage) { EXPECT_EQ(echange::EnUtf8("gal\xE9rie \x80 1,5"), "galérie ? 1,5"); }

TEST(OutilsEchange, EcritureRateeNeLaissePasDeFichier)
{
    Dossier d;
    EXPECT_THROW(echange::EcritFichier(d.Fichier("absent/f.txt"), "x"), ErreurEchange);
    const std::string cible = d.Ecrit("f.txt", "ancien");
    echange::EcritFichier(cible, std::string("nouveau\r\n\0", 10));
    EXPECT_EQ(LitTout(cible), std::string("nouveau\r\n\0", 10));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.Fichier("")), {}), 1);
}

}  // namespace
}  // namespace karst::test
