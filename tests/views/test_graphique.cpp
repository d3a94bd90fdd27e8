// Screen and page mapping, the page grid, the deformation search and the colour ramp.

#include <gtest/gtest.h>

#include "survey/nombres.h"
#include "views/couleurs.h"
#include "views/plan.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

class Mapping : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TPlan plan{ctx};
    CanvasEnregistreur canvas{2000, 2000};

    void SetUp() override
    {
        // A 1:100 view at 4 pixels per mm; the world box starts at (0, 0) and ends at (50, 50).
        plan.Echelle = 100;
        plan.PxParMm = 4;
        plan.Xmin = 0;
        plan.Ymin = 0;
        plan.Xmax = 50;
        plan.Ymax = 50;
        plan.CanvasEcran = &canvas;
    }
};

TEST_F(Mapping, ScreenPointsAndFigures)
{
    plan.EcranMoveTo(1, 49);
    plan.EcranLineTo(2, 48);
    plan.EcranCercle(10, 1, 49);
    plan.EcranCarre(1, 49);
    plan.EcranTexte("A1", 1, 49);
    ASSERT_EQ(canvas.Traces.size(), 4u);
    EXPECT_EQ(canvas.Traces[0].genre, Trace::Ligne);
    EXPECT_EQ(std::tie(canvas.Traces[0].x0, canvas.Traces[0].y0, canvas.Traces[0].x1, canvas.Traces[0].y1),
              std::make_tuple(40, 40, 80, 80));
    const Trace& e = canvas.Traces[1];
    EXPECT_EQ(std::tie(e.x0, e.y0, e.x1, e.y1), std::make_tuple(38, 38, 42, 42));
    const Trace& r = canvas.Traces[2];
    EXPECT_EQ(std::tie(r.x0, r.y0, r.x1, r.y1), std::make_tuple(36, 36, 44, 44));
    EXPECT_EQ(canvas.Traces[3].texte, "A1");
    EXPECT_EQ(std::tie(canvas.Traces[3].x0, canvas.Traces[3].y0), std::make_tuple(40, 40));
}

TEST_F(Mapping, ScrollAndHalvesToEven)
{
    plan.DefilementX = 10;
    plan.DefilementY = -1;
    plan.PxParMm = 1;
    // x = 12.5 mm - 10 = 2.5 -> 2; y = 2.5 mm + 1 = 3.5 -> 4.
    plan.EcranMoveTo(1.25, 49.75);
    plan.EcranLineTo(1.375, 49.75);
    ASSERT_EQ(canvas.Traces.size(), 1u);
    EXPECT_EQ(canvas.Traces[0].x0, 2);
    EXPECT_EQ(canvas.Traces[0].y0, 4);
    EXPECT_EQ(canvas.Traces[0].x1, 4);
}

TEST_F(Mapping, PointsBeyondTheDrawableRangeAreSkipped)
{
    // x = 10000 exactly: not drawn, the pen stays.
    plan.EcranMoveTo(1, 49);
    plan.EcranMoveTo(250, 49);
    EXPECT_EQ(canvas.PositionX(), 40);
    plan.EcranCercle(10, 250, 49);
    plan.EcranCarre(-250, 49);
    plan.EcranTexte("x", 1, 49 - 250);
    EXPECT_TRUE(canvas.Traces.empty());
    // 9999.4 is drawn at 9999.
    plan.EcranMoveTo(249.985, 49);
    EXPECT_EQ(canvas.PositionX(), 9999);
}

TEST_F(Mapping, SegmentsWithAFarEndAreClippedNotChorded)
{
    // From (40, 40) to x = 20000: the line runs to the edge of the range, on its own line.
    plan.EcranMoveTo(1, 49);
    plan.EcranLineTo(500, 49);
    ASSERT_EQ(canvas.Traces.size(), 1u);
    EXPECT_EQ(canvas.Traces[0].x0, 40);
    EXPECT_EQ(canvas.Traces[0].y0, 40);
    EXPECT_EQ(canvas.Traces[0].x1, 9999);
    EXPECT_EQ(canvas.Traces[0].y1, 40);
    // Back from far away to (80, 80): it starts where the segment enters the range, not at
    // the last point drawn.
    plan.EcranMoveTo(-500, -454);
    plan.EcranLineTo(2, 48);
    ASSERT_EQ(canvas.Traces.size(), 2u);
    const Trace& t = canvas.Traces[1];
    EXPECT_EQ(t.x1, 80);
    EXPECT_EQ(t.y1, 80);
    // The segment from (-20000, 20160) to (80, 80) is the line x + y = 160.
    EXPECT_EQ(t.x0 + t.y0, 160);
    EXPECT_LE(std::abs(t.x0), 9999);
    EXPECT_LE(std::abs(t.y0), 9999);
    // Both ends beyond the range on the same side: nothing.
    plan.EcranMoveTo(300, 0);
    plan.EcranLineTo(400, 10);
    EXPECT_EQ(canvas.Traces.size(), 2u);
}

TEST(Graphique, PartieEntiere)
{
    EXPECT_EQ(TGraphique::PartieEntiere(2.7), 2);
    EXPECT_EQ(TGraphique::PartieEntiere(0), 0);
    EXPECT_EQ(TGraphique::PartieEntiere(-0.3), -1);
    EXPECT_EQ(TGraphique::PartieEntiere(-2), -3);
    EXPECT_EQ(TGraphique::PartieEntiere(-2.5), -3);
}

class Pages : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TPlan plan{ctx};

    void SetUp() override
    {
        // Printable page 200 x 287 mm; margins 10 + 0 across, 50 + 47 down: 190 x 190 mm.
        plan.Echelle = 100;
        plan.MargesH = 10;
        plan.MargesV = 97;
    }
};

TEST_F(Pages, FreeOriginCentresTheDrawing)
{
    // 9.5 m of survey, 11.5 m with the two 1 m margins: 115 mm of paper on 190.
    plan.Xmin = 0;
    plan.Xmax = 11.5;
    plan.Ymin = 0;
    plan.Ymax = 11.5;
    int colonnes, lignes;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(colonnes, 1);
    EXPECT_EQ(lignes, 1);
    CanvasEnregistreur page(4724, 6780, 600);
    plan.DessinePage(0, 0, 10, 50, 0, page, 1.0);
    EXPECT_NEAR(plan.OrigineX, (1 - 115.0 / 190) / 2, 1e-12);
    EXPECT_NEAR(plan.OrigineY, (1 - 115.0 / 190) / 2, 1e-12);
    EXPECT_DOUBLE_EQ(plan.PxParMmImpr, 4724.0 / 200);
    // Content of exactly one printable width: two columns.
    plan.Xmax = 21;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(colonnes, 2);

    // Across, as the program prints by default: 277 x 103 mm, one page on which the drawing
    // is narrower than the page and taller, centred both ways.
    ctx.imprimante.FixePaysage(true);
    plan.Xmax = 11.5;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(std::make_pair(colonnes, lignes), std::make_pair(1, 1));
    CanvasEnregistreur travers(6780, 4724, 600);
    plan.DessinePage(0, 0, 10, 50, 0, travers, 1.0);
    EXPECT_NEAR(plan.OrigineX, (1 - 115.0 / 277) / 2, 1e-12);
    EXPECT_NEAR(plan.OrigineY, (1 - 115.0 / 103) / 2, 1e-12);
    EXPECT_DOUBLE_EQ(plan.PxParMmImpr, 6780.0 / 287);
}

TEST_F(Pages, LockedOriginPutsAPageBorderOnIt)
{
    ctx.options.Origine = true;
    ctx.options.X_Origine = 0;
    ctx.options.Y_Origine = 0;
    plan.Xmin = -30;
    plan.Xmax = 5;
    plan.Ymin = -1;
    plan.Ymax = 40;
    int colonnes, lignes;
    plan.NombrePages(colonnes, lignes, 10, 97);
    // 5 m right of the origin (one page), 30 m left of it (two pages of 19 m); 39 m above
    // it (three pages) and nothing below: the survey ends on the origin's border.
    EXPECT_EQ(colonnes, 1 + 2);
    EXPECT_EQ(lignes, 3);
    CanvasEnregistreur page(4724, 6780, 600);
    plan.DessinePage(0, 0, 0, 0, 0, page, 1.0);
    EXPECT_NEAR(plan.OrigineX, 1 - (300.0 / 190 - 1), 1e-12);
    // The origin lands on a page border: column 2 starts there.
    plan.PageColonne = 2;
    plan.ImprMoveTo(0, 0);
    EXPECT_EQ(page.PositionX(), 0);
}

TEST_F(Pages, LockedOriginOutsideTheDrawingPrintsOnlyTheBandsItTouches)
{
    // 9.5 m of survey, from 1 to 10.5 m (10 to 105 mm of paper); the origin 100 m to the
    // north-east puts borders at 50 mm across and at 65 mm down.
    plan.Xmin = plan.Ymin = 0;
    plan.Xmax = plan.Ymax = 11.5;
    ctx.options.Origine = true;
    ctx.options.X_Origine = 100;
    ctx.options.Y_Origine = 100;
    int colonnes, lignes;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(colonnes, 2);
    EXPECT_EQ(lignes, 2);
    CanvasEnregistreur page(4724, 6780, 600);
    plan.DessinePage(0, 0, 0, 0, 0, page, 1.0);
    EXPECT_NEAR(plan.OrigineX, 140.0 / 190, 1e-12);
    EXPECT_NEAR(plan.OrigineY, 125.0 / 190, 1e-12);
    plan.PageColonne = plan.PageLigne = 1;
    plan.ImprMoveTo(5, 11.5 - 6.5);
    EXPECT_EQ(page.PositionX(), 0);
    EXPECT_EQ(page.PositionY(), 0);

    // Left of and above the drawing, less than a page away: one page each way.
    ctx.options.X_Origine = -3;
    ctx.options.Y_Origine = 12;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(std::make_pair(colonnes, lignes), std::make_pair(1, 1));
    // Typed on the west edge station, kept in six bytes 0.2 µm east of it: no blank band west.
    plan.Xmin = 815120.3 - 1;
    plan.Xmax = plan.Xmin + 11.5;
    ctx.options.X_Origine = 815120.3L;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(colonnes, 1);

    // An origin whose distance to the drawing is a number of pages that no integer holds:
    // still the one or two bands of the content.
    ctx.options.X_Origine = 1e30L;
    ctx.options.Y_Origine = -1e30L;
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_GE(colonnes, 1);
    EXPECT_LE(colonnes, 2);
    EXPECT_GE(lignes, 1);
    EXPECT_LE(lignes, 2);
    plan.DessinePage(0, 0, 0, 0, 0, page, 1.0);
    EXPECT_GE(plan.OrigineX, -10.0 / 190);
    EXPECT_LT(plan.OrigineX, 1);
}

TEST_F(Pages, ZoomHalvesEveryPageCoordinate)
{
    plan.Xmin = 0;
    plan.Xmax = 11.5;
    plan.Ymin = 0;
    plan.Ymax = 11.5;
    int colonnes, lignes;
    plan.NombrePages(colonnes, lignes, 10, 97);
    CanvasEnregistreur page(4724, 6780, 600);
    plan.DessinePage(0, 0, 10, 50, 0, page, 1.0);
    plan.ImprMoveTo(3, 7);
    plan.ImprLineTo(3, 7);
    plan.ImprCercle(20, 3, 7);
    plan.DessinePage(0, 0, 10, 50, 0, page, 0.5);
    plan.ImprMoveTo(3, 7);
    plan.ImprLineTo(3, 7);
    plan.ImprCercle(20, 3, 7);
    ASSERT_EQ(page.Traces.size(), 4u);
    const Trace &l1 = page.Traces[0], &e1 = page.Traces[1], &l2 = page.Traces[2], &e2 = page.Traces[3];
    EXPECT_NEAR(l2.x0, l1.x0 / 2.0, 1);
    EXPECT_NEAR(l2.y0, l1.y0 / 2.0, 1);
    EXPECT_NEAR(e2.x1 - e2.x0, (e1.x1 - e1.x0) / 2.0, 1);
    // x: ((30 mm + 10) * k - (4724 - 10 k) * (0 - OrigineX)), k = 23.62 pixels per mm.
    const double k = 4724.0 / 200, ox = (1 - 115.0 / 190) / 2;
    EXPECT_EQ(l1.x0, RoundEntier((40 * k + (4724 - 10 * k) * ox)));
}

TEST_F(Pages, NoPrintableAreaMeansNoPage)
{
    plan.Xmin = 0;
    plan.Xmax = 11.5;
    int colonnes = -1, lignes = -1;
    plan.NombrePages(colonnes, lignes, 200, 10);
    EXPECT_EQ(colonnes, 0);
    EXPECT_EQ(lignes, 0);
}

TEST(Deformation, MaxAndSearchFollowTheViewKind)
{
    ContexteFactice ctx;
    TPlan plan{ctx};
    // Nothing placed: 1.0 and no find.
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& a = AjouteGalerie(f, "A", "B", {0, 0}, {{10, 0}});
    TGalerie& b = AjouteGalerie(f, "B", "C", {10, 0}, {{20, 0}});
    TGalerie& c = AjouteGalerie(f, "C", "D", {20, 0}, {{30, 0}});
    a.Placee = b.Placee = c.Placee = false;
    a.EcartHorizontal = 0.5L;
    EXPECT_EQ(plan.DeformationMax(ctx.massif.Fiches), 1.0f);
    int fi = -7, gi = -7, pi = -7;
    EXPECT_FALSE(plan.ChercheDeformationMax(fi, gi, pi));
    EXPECT_EQ(fi, -7);
    a.Placee = b.Placee = c.Placee = true;
    a.EcartHorizontal = 0.25L;
    b.EcartHorizontal = 0.5L;
    c.EcartHorizontal = 0.5L;
    c.EcartVertical = 3;  // the plan counts the horizontal value only
    EXPECT_EQ(plan.DeformationMax(ctx.massif.Fiches), 0.5f);
    ASSERT_TRUE(plan.ChercheDeformationMax(fi, gi, pi));
    EXPECT_EQ(fi, 0);
    EXPECT_EQ(gi, 1);  // the first of two equal values
    EXPECT_EQ(pi, 1);
    // Mode colours: black, the gallery's own, the ramp by d / max.
    b.Couleur = 0x123456;
    EXPECT_EQ(plan.CouleurGalerie(b, ModeNormal, 0.5f), kNoir);
    EXPECT_EQ(plan.CouleurGalerie(b, ModeCouleur, 0.5f), 0x123456u);
    EXPECT_EQ(plan.CouleurGalerie(b, ModeContrainte, 0.5f), 0x0000FFu);
    EXPECT_EQ(plan.CouleurGalerie(a, ModeContrainte, 0.5f), TableCouleurs()[30]);
}

TEST(Couleurs, Ramp)
{
    const auto& t = TableCouleurs();
    EXPECT_EQ(t[0], 0x000000u);
    EXPECT_EQ(t[1], 0x8ACE3Bu);
    EXPECT_EQ(t[2], 0x94BC35u);
    EXPECT_EQ(t[6], 0xBF7020u);
    EXPECT_EQ(t[11], 0xF41305u);
    EXPECT_EQ(t[12], 0xFF0000u);
    EXPECT_EQ(t[13], 0xEA0B00u);
    EXPECT_EQ(t[14], 0xD41500u);
    EXPECT_EQ(t[18], 0x804000u);
    EXPECT_EQ(t[22], 0x2A6B00u);
    EXPECT_EQ(t[23], 0x157500u);
    EXPECT_EQ(t[24], 0x008000u);
    EXPECT_EQ(t[25], 0x008B15u);
    EXPECT_EQ(t[26], 0x00952Au);
    EXPECT_EQ(t[30], 0x00C080u);
    EXPECT_EQ(t[34], 0x00EAD4u);
    EXPECT_EQ(t[35], 0x00F4EAu);
    EXPECT_EQ(t[36], 0x00FFFFu);
    EXPECT_EQ(t[37], 0x00F4FFu);
    EXPECT_EQ(t[42], 0x00C0FFu);
    EXPECT_EQ(t[47], 0x008BFFu);
    EXPECT_EQ(t[48], 0x0080FFu);
    EXPECT_EQ(t[49], 0x0075FFu);
    EXPECT_EQ(t[54], 0x0040FFu);
    EXPECT_EQ(t[59], 0x000BFFu);
    EXPECT_EQ(t[60], 0x0000FFu);
    // Index by Round(d / max * 60), halves to even, held inside the ramp.
    EXPECT_EQ(CouleurDeformation(0.5, 60), t[0]);
    EXPECT_EQ(CouleurDeformation(1.5, 60), t[2]);
    EXPECT_EQ(CouleurDeformation(2.5, 60), t[2]);
    EXPECT_EQ(CouleurDeformation(2, 1), t[60]);
    EXPECT_EQ(CouleurDeformation(-1, 1), t[0]);
}

}  // namespace
