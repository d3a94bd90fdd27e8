// Input-grid layout: its 122-byte model file and the column table built from the groups.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "dialogs/preference_ecran.h"
#include "survey/aide_fichiers.h"
#include "survey/flux.h"

using namespace karst;
using essai::Contenu;

namespace {

std::vector<std::pair<int, int>> TypesEtLargeurs(const TPreference_Ecran& p)
{
    std::vector<std::pair<int, int>> r;
    for (int k = 1; k <= p.NbColonnes; ++k)
        r.emplace_back(p.Colonnes[static_cast<std::size_t>(k)].Type, p.Colonnes[static_cast<std::size_t>(k)].Largeur);
    return r;
}

}  // namespace

TEST(PreferenceEcran, FichierDesDefautsEtRelecture)
{
    QTemporaryDir dir;
    TPreference_Ecran p;
    p.NomFichier = dir.filePath("OPTIONS.SAI").toStdString();
    Enregistre(p);
    const std::string o = Contenu(p.NomFichier);
    EXPECT_EQ(o, Contenu(std::string(KARST_TEST_DATA) + "/modeles/defaut.sai"));
    ASSERT_EQ(o.size(), 122u);
    EXPECT_EQ(o.substr(0, 8), std::string("\x32\0\x14\0\x01\0\x01m", 8));

    TPreference_Ecran q;
    q.GLargeur.DeuxColonnes = false;
    q.GAzimut.Unite = "gr";
    q.GPoint.Largeur = 1;
    q.NomFichier = p.NomFichier;
    Charge(q);
    EXPECT_TRUE(q.GLargeur.DeuxColonnes);
    EXPECT_EQ(q.GAzimut.Unite.str(), "\xB0");
    EXPECT_EQ(q.GPoint.Largeur, 60);

    // A unit in capitals reads as the dialog gives it; the bytes past it come back as read.
    std::string sai = o;
    sai.replace(6, 11,
                "\x02"
                "CM"
                "abcdefgh");
    std::ofstream(q.NomFichier, std::ios::binary) << sai;
    Charge(q);
    EXPECT_EQ(q.GLongueur.Unite.str(), "cm");
    Enregistre(q);
    EXPECT_EQ(Contenu(q.NomFichier), sai.replace(7, 2, "cm"));
}

TEST(PreferenceEcran, PositionsDecaleesDUnCran)
{
    QTemporaryDir dir;
    TPreference_Ecran p;
    p.NomFichier = dir.filePath("a.sai").toStdString();
    for (auto* g :
         {&p.GLongueur.Position, &p.GAzimut.Position, &p.GPente.Position, &p.GLargeur.Position, &p.GHauteur.Position,
          &p.GCroquis.Position, &p.GCommentaires.Position, &p.GHorizontal.Position, &p.GDeveloppement.Position})
        ++*g;
    Enregistre(p);
    TPreference_Ecran q;
    q.NomFichier = p.NomFichier;
    Charge(q);
    EXPECT_EQ(q.GLongueur.Position, 1);
    EXPECT_EQ(q.GDeveloppement.Position, 9);

    // One position at 1: taken as is.
    p.GLongueur.Position = 1;
    p.GDeveloppement.Position = 2;
    Enregistre(p);
    Charge(q);
    EXPECT_EQ(q.GLongueur.Position, 1);
    EXPECT_EQ(q.GAzimut.Position, 3);

    // No dialog gives a place beyond the nine, two groups in one place, a unit off its list
    // or a file of zeros: each is refused and the layout stays.
    using Change = void (*)(TPreference_Ecran&);
    for (Change change : {Change{[](TPreference_Ecran& r) { r.GDeveloppement.Position = 10; }},
                          Change{[](TPreference_Ecran& r) { r.GDeveloppement.Position = 3; }},
                          Change{[](TPreference_Ecran& r) { r.GAzimut.Unite = "cm"; }}, Change{}}) {
        TPreference_Ecran r = p;
        if (change) {
            change(r);
            Enregistre(r);
        } else {
            std::ofstream(r.NomFichier, std::ios::binary) << std::string(122, '\0');
        }
        EXPECT_THROW(Charge(q), ErreurFichierEndommage);
        EXPECT_EQ(q.GDeveloppement.Position, 2);
        EXPECT_EQ(q.GAzimut.Unite.str(), "\xB0");
    }
}

TEST(PreferenceEcran, ColonnesConstruites)
{
    TPreference_Ecran p;
    p.ConstruitColonnes();
    using V = std::vector<std::pair<int, int>>;
    EXPECT_EQ(TypesEtLargeurs(p), (V{{1, 60},
                                     {2, 50},
                                     {131, 20},
                                     {4, 50},
                                     {133, 20},
                                     {6, 50},
                                     {135, 20},
                                     {9, 50},
                                     {10, 50},
                                     {139, 20},
                                     {12, 50},
                                     {143, 20},
                                     {16, 15},
                                     {17, 100}}));
    EXPECT_EQ(p.Colonnes[3].Unite.str(), "m");
    EXPECT_EQ(p.Colonnes[5].Unite.str(), "\xB0");
    EXPECT_EQ(p.Colonnes[8].Titre.str(), "Largeur G");
    EXPECT_EQ(p.Colonnes[14].Titre.str(), "Observations");

    p.GLargeur.DeuxColonnes = false;
    p.GHorizontal.Affiche = true;
    p.GCroquis.Position = 1;
    p.GLongueur.Position = 6;
    p.ConstruitColonnes();
    EXPECT_EQ(TypesEtLargeurs(p), (V{{1, 60},
                                     {16, 15},
                                     {4, 50},
                                     {133, 20},
                                     {6, 50},
                                     {135, 20},
                                     {8, 50},
                                     {139, 20},
                                     {12, 50},
                                     {143, 20},
                                     {2, 50},
                                     {131, 20},
                                     {17, 100},
                                     {82, 20},
                                     {19, 50}}));
    EXPECT_EQ(p.Colonnes[14].Unite.str(), "N");
    EXPECT_EQ(p.Colonnes[15].Titre.str(), "Corr. Horizontale");

    // A position outside 1..9 gives no column.
    p.GCommentaires.Position = 12;
    p.ConstruitColonnes();
    EXPECT_EQ(p.NbColonnes, 14);
}
