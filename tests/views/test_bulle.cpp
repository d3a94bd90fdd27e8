// Shot tooltip text of the projection views.

#include <gtest/gtest.h>

#include "views/plan.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

// A projection of another kind, to see which components its deformation counts.
class VueEssai : public TProjection {
public:
    VueEssai(ContexteVues& c, GenreVue g) : TProjection(c), genre_(g) {}
    GenreVue Genre() const override { return genre_; }
    void Dessine(int, int, double, double, TCanvas&, uint16_t) override {}
    void DessinePage(int, int, int, int, uint16_t, TCanvas&, double) override {}
    void Dimensions(int&, int&, double, double, TCanvas&) override {}
    void NombrePages(int&, int&, int, int) override {}
    double Localise(int, int, int&, int&, int&) override { return 0; }
    void IsoleEcran(int, int, int) override {}
    void Designation(bool, int, int, int, uint16_t, TexteCp1252&) override {}
    void ExporteSVG(const std::string&, bool, bool) override {}

private:
    GenreVue genre_;
};

class Bulle : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TPlan plan{ctx};
    TexteCp1252 texte{"ancien"};

    void ToutesLesParties() { ctx.bulles = ChoixBulle{true, true, true, true, true, true}; }
};

TEST_F(Bulle, FullText)
{
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& g = AjouteGalerie(f, "A", "C", {123456.789, 10, 5}, {{123466.789, 10, 5}, {123466.789, 22.34, 5}});
    TVisee& v = *g.Visee(2);
    v.Longueur = 12.34;
    v.Azimut = 45.5;
    v.Pente = -3.2;
    v.Gauche = "1.5";
    v.Haut = "2";
    v.Bas = "0.5";
    v.Commentaire.Affecte("\xE9troit");
    // The reduced shot ends 0.1234 m east of where the placement put it: 1 % of 12.34 m.
    v.X = 10.1234;
    ToutesLesParties();
    plan.Bulle(0, 0, 2, texte);
    EXPECT_EQ(texte.str(),
              "(123 466.79, 10.00, 5.00)-(123 466.79, 22.34, 5.00)\xE9troit(12.3m,45.5\xB0,-3.2\xB0)(l=1.5)(h=2/0.5)"
              " 1.0%");
    ctx.bulles = ChoixBulle{};
    plan.Bulle(0, 0, 2, texte);
    EXPECT_EQ(texte.str(), "");
}

TEST_F(Bulle, ShotValuesInTheirOwnUnits)
{
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& g = AjouteGalerie(f, "A", "B", {0, 0}, {{12.34, 0}});
    TVisee& v = *g.Visee(1);
    v.Longueur = 1234;
    v.UniteLongueur = 1;
    v.Azimut = 399.5;
    v.UniteAzimut = 1;
    v.Pente = 12;
    v.UnitePente = 8;
    v.Droite = "3";
    ctx.bulles.Visees = true;
    ctx.bulles.Largeur = true;
    plan.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), "(1.23E3cm,400gr,12-cm)(l=/3)");
}

TEST_F(Bulle, DeformationInPercentOfTheShot)
{
    ctx.bulles.Deformation = true;
    TFiche& f = AjouteFiche(ctx.massif);
    // 400 cm shot whose placed end moved 2 cm sideways.
    TGalerie& cm = AjouteGalerie(f, "A", "B", {0, 0}, {{4, 0.02}});
    cm.Visee(1)->Longueur = 400;
    cm.Visee(1)->UniteLongueur = 1;
    cm.Visee(1)->Y = 0;
    plan.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), " 0.5%");

    // A first shot shorter than 1 cm shows the second shot's deformation.
    TGalerie& court = AjouteGalerie(f, "B", "C", {0, 0}, {{0.005, 0}, {10.005, 0}});
    court.Visee(2)->X = 10.105;  // 1 % of 10 m
    plan.Bulle(0, 1, 1, texte);
    EXPECT_EQ(texte.str(), " 1.0%");
    // Alone in its gallery it has none.
    AjouteGalerie(f, "C", "D", {0, 0}, {{0.005, 0}});
    plan.Bulle(0, 2, 1, texte);
    EXPECT_EQ(texte.str(), " 0.0%");
}

TEST_F(Bulle, DeformationPlaneOfEachView)
{
    ctx.bulles.Deformation = true;
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& g = AjouteGalerie(f, "A", "B", {0, 0, 0}, {{10, 0, 0}});
    // Reduced end 0.3 m north and 0.4 m down of the placed one.
    g.Visee(1)->Y = -0.3;
    g.Visee(1)->Z = 0.4;
    plan.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), " 3.0%");
    VueEssai coupe(ctx, GenreVue::Coupe), perspective(ctx, GenreVue::Perspective);
    coupe.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), " 4.0%");
    perspective.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), " 5.0%");
}

TEST_F(Bulle, NoShotNoText)
{
    ToutesLesParties();
    plan.Bulle(0, 0, 1, texte);
    EXPECT_EQ(texte.str(), "");
    TFiche& f = AjouteFiche(ctx.massif);
    AjouteGalerie(f, "A", "B", {0, 0}, {{1, 0}});
    plan.Bulle(0, 0, 2, texte);
    EXPECT_EQ(texte.str(), "");
    plan.Bulle(0, 1, 1, texte);
    EXPECT_EQ(texte.str(), "");
}

}  // namespace
