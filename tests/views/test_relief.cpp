// The perspective view: turning, projection, screen and stereo drawing, printed pages, hit
// test, isolation, highlight and the SVG file.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "survey/nombres.h"
#include "views/vue_relief.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

void ReliefNu(TOptions_Relief& o)
{
    o.Affiche_Nord = o.Affiche_Echelle = o.Affiche_Quadri = false;
    o.diametre = 0;
    o.Texte_Station = 0;
}

// One gallery A (0, 0, 0) -> (10, 0, 0) -> C (10, 5, 4). Seen from the south at 1:100 and
// 4 pixels per mm, (h, v) = (X, Z) is the pixel ((h + 1) * 40, (5 - v) * 40).
class Perspective : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TPerspective vue{ctx};
    TGalerie* g = nullptr;
    int largeur = 0, hauteur = 0;

    void SetUp() override
    {
        AssureApplication();
        ReliefNu(ctx.relief);
        TFiche& f = AjouteFiche(ctx.massif);
        g = &AjouteGalerie(f, "A", "C", {0, 0, 0}, {{10, 0, 0}, {10, 5, 4}});
    }
    std::vector<Trace> Dessine(uint16_t mode = 0)
    {
        CanvasEnregistreur image(600, 400);
        vue.Dimensions(largeur, hauteur, 4, 1, image);
        vue.Dessine(0, 0, 4, 1, image, mode);
        return std::move(image.Traces);
    }
};

}  // namespace

TEST(PerspectiveRotation, AzimuthWrapsOnceElevationStopsShortOfTheVertical)
{
    ContexteFactice ctx;
    TPerspective vue{ctx};
    EXPECT_EQ(vue.Echelle, 100);
    EXPECT_TRUE(vue.Premier3D);
    auto azimut = [&](double depart, double delta) {
        vue.Azimut = depart;
        vue.Tourne(delta, 0);
        return vue.Azimut;
    };
    EXPECT_DOUBLE_EQ(azimut(20, 350), 10);
    EXPECT_DOUBLE_EQ(azimut(10, -20), 350);
    EXPECT_DOUBLE_EQ(azimut(0, 360), 360);
    EXPECT_DOUBLE_EQ(azimut(0, 720), 360);
    auto elevation = [&](double depart, double delta) {
        vue.Elevation = depart;
        vue.Tourne(0, delta);
        return vue.Elevation;
    };
    EXPECT_DOUBLE_EQ(elevation(80, 15), 89);
    EXPECT_DOUBLE_EQ(elevation(80, 10), 90);
    EXPECT_DOUBLE_EQ(elevation(-80, -20), -89);
    EXPECT_DOUBLE_EQ(vue.SinElevation, std::sin(-89 / 180.0 * 3.14159265358979323846));
    // Steps of a repeated turn: the shown elevation (-Elevation) swings back past its bounds.
    vue.Elevation = 0;
    PasTour pas{5, -30, -50, 50};
    std::vector<double> montrees;
    for (int i = 0; i < 4; ++i, montrees.push_back(-vue.Elevation))
        vue.TournePas(pas, false);
    vue.TournePas(pas, true);
    EXPECT_EQ(montrees, (std::vector<double>{30, 60, 30, 0}));
    EXPECT_DOUBLE_EQ(-vue.Elevation, 30);
}

TEST(PerspectiveRotation, PendingTurnShowsTheAnglesWithoutKeepingThem)
{
    ContexteFactice ctx;
    TPerspective vue{ctx};
    vue.Tourne(350, 80);
    EXPECT_EQ(vue.TexteAngles(30, 20), "380 \xB0  -89 \xB0");
    EXPECT_DOUBLE_EQ(vue.Azimut, 350);
    EXPECT_DOUBLE_EQ(vue.Elevation, 80);
    EXPECT_NEAR(vue.SinElevation, std::sin(89 / 180.0 * 3.14159265358979323846), 1e-15);
    EXPECT_NEAR(vue.SinAzimut, std::sin(380 / 180.0 * 3.14159265358979323846), 1e-15);
    EXPECT_EQ(vue.TexteAngles(0.25, -175), "350 \xB0  89 \xB0");
    EXPECT_EQ(vue.TexteAngles(-12.5, -92.5), "338 \xB0  13 \xB0");
}

TEST_F(Perspective, ExtentsAndProjection)
{
    Dessine();
    // From the north-looking start the depth (Y) has no effect: h = X, v = Z.
    EXPECT_DOUBLE_EQ(vue.Xmin, -1);
    EXPECT_DOUBLE_EQ(vue.Xmax, 11);
    EXPECT_DOUBLE_EQ(vue.Ymin, -1);
    EXPECT_DOUBLE_EQ(vue.Ymax, 5);
    EXPECT_DOUBLE_EQ(vue.ProfondeurCentre, 2.5);
    EXPECT_EQ(largeur, 480);
    EXPECT_EQ(hauteur, 240);
    EXPECT_EQ(static_cast<double>(vue.BoiteMax.Y), 5);

    // Seen from straight above the depth falls fully onto the vertical.
    vue.Tourne(0, 90);
    double h, d, v;
    vue.Projette(10, 5, 4, h, d, v);
    EXPECT_DOUBLE_EQ(h, 10);
    EXPECT_DOUBLE_EQ(d, 5);
    EXPECT_DOUBLE_EQ(v, -1);

    // Stations all at one point still give 20 mm of paper each way.
    ContexteFactice ctx2;
    TPerspective point{ctx2};
    AjouteGalerie(AjouteFiche(ctx2.massif), "A", "B", {3, 3, 3}, {{3, 3, 3}});
    CanvasEnregistreur image(10, 10);
    point.Dimensions(largeur, hauteur, 4, 1.5, image);
    EXPECT_EQ(largeur, 120);
    EXPECT_EQ(hauteur, 120);
    // Nothing placed: a drawing of one pixel, the hit test finds nothing.
    ctx2.massif.Fiches[0]->Galeries[0]->Placee = false;
    point.Dimensions(largeur, hauteur, 4, 1, image);
    EXPECT_FALSE(point.Donnees);
    EXPECT_EQ(largeur, 1);
    int fi = -7, ga = -7, pt = -7;
    EXPECT_EQ(point.Localise(0, 0, fi, ga, pt), TGraphique::kRienTrouve);
    EXPECT_EQ(fi, -7);
}

TEST_F(Perspective, PartialShotsCirclesAndJunctionLabels)
{
    ctx.relief.pourcentage = 50;
    ctx.relief.diametre = 10;
    ctx.relief.Texte_Station = 2;
    ctx.relief.Epaisseur_Visee = 5;
    const auto traces = Dessine();
    const auto lignes = DuGenre(traces, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 2u);
    EXPECT_EQ(Coins(lignes[0]), std::make_tuple(140, 200, 340, 200));
    EXPECT_EQ(Coins(lignes[1]), std::make_tuple(440, 160, 440, 80));
    EXPECT_EQ(lignes[0].stylo.largeur, 2);  // 0.5 mm at 4 px/mm
    EXPECT_EQ(lignes[0].stylo.couleur, kNoir);
    // A circle of 1 mm at every station, filled black.
    const auto cercles = DuGenre(traces, Trace::Ellipse);
    ASSERT_EQ(cercles.size(), 3u);
    EXPECT_EQ(Coins(cercles[1]), std::make_tuple(438, 198, 442, 202));
    EXPECT_TRUE(cercles[2].pinceau.plein);
    // Labels only at the ends of the gallery, half a label height right of and above it.
    const auto textes = DuGenre(traces, Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "A(1)");
    EXPECT_EQ(textes[0].x0, 46);
    EXPECT_EQ(textes[0].y0, 194);
    EXPECT_EQ(textes[1].texte, "C(2)");
    EXPECT_FALSE(textes[1].pinceau.plein);
    // A terminus end has no label.
    g->Arrivee.Terminus = true;
    EXPECT_EQ(DuGenre(Dessine(), Trace::Texte).size(), 1u);
    ctx.relief.pourcentage = 0;
    for (const Trace& t : DuGenre(Dessine(), Trace::Ligne))
        EXPECT_EQ(t.x0 == t.x1 && t.y0 == t.y1, true);
}

TEST_F(Perspective, AShotlessGalleryIsLabelledAtBothEnds)
{
    ctx.relief.Texte_Station = 1;
    g->Placee = false;
    AjouteGalerie(*ctx.massif.Fiches[0], "D", "E", {0, 0, 0}, {});
    const auto textes = DuGenre(Dessine(), Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "D");
    EXPECT_EQ(textes[1].texte, "E");
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::tie(textes[1].x0, textes[1].y0));
}

TEST_F(Perspective, AxesNorthArrowAndBox)
{
    ctx.relief.Affiche_Echelle = true;
    ctx.relief.Long_Echelle = 2;
    ctx.relief.Z_Inverse = true;
    ctx.relief.Affiche_Nord = true;
    ctx.relief.Representation = false;
    ctx.relief.X_Nord = 0.002;  // km
    ctx.relief.Z_Nord = 2;
    ctx.relief.Affiche_Quadri = true;
    ctx.relief.Couleur_Cadre = 0x00FF00;
    ctx.relief.Epaisseur_Quadri = 5;
    CanvasEnregistreur image(600, 400);
    vue.Dimensions(largeur, hauteur, 4, 2, image);
    vue.Dessine(0, 0, 4, 2, image, 0);
    const auto lignes = DuGenre(image.Traces, Trace::Ligne);
    // Two shots, three axes, two strokes of the arrow, twelve edges.
    ASSERT_EQ(lignes.size(), 2u + 3 + 2 + 12);
    // At 200 % the origin (0, 0, 0) is the pixel (80, 400); the Z axis points down.
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(80, 400, 240, 400));
    EXPECT_EQ(Coins(lignes[4]), std::make_tuple(80, 400, 80, 560));
    // Axes and arrow keep their width at any display ratio; the box does not.
    EXPECT_EQ(lignes[2].stylo.largeur, 1);
    EXPECT_EQ(lignes[6].stylo.largeur, 1);
    EXPECT_EQ(lignes[7].stylo.largeur, 4);
    EXPECT_EQ(lignes[7].stylo.couleur, 0x00FF00u);
    // The arrow, seen from the south, points away: its tip lies on its base.
    EXPECT_EQ(Coins(lignes[5]), std::make_tuple(240, 240, 240, 240));
    const auto textes = DuGenre(image.Traces, Trace::Texte);
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_EQ(textes[0].texte, "N.G.");
    EXPECT_EQ(textes[0].x0, 248);
}

TEST_F(Perspective, ModesColourTheShots)
{
    g->Couleur = 0x123456;
    g->EcartHorizontal = 3;
    g->EcartVertical = 4;
    auto& g2 = AjouteGalerie(*ctx.massif.Fiches[0], "C", "D", {10, 5, 4}, {{12, 5, 4}});
    g2.EcartHorizontal = 0.5;
    EXPECT_EQ(DuGenre(Dessine(2), Trace::Ligne)[0].stylo.couleur, 0x123456u);
    const auto contrainte = DuGenre(Dessine(3), Trace::Ligne);
    EXPECT_EQ(contrainte[0].stylo.couleur, 0x0000FFu);
    // 0.5 / 5 * 60 = 6.
    EXPECT_EQ(contrainte[2].stylo.couleur, 0xBF7020u);
    EXPECT_EQ(DuGenre(Dessine(1), Trace::Ligne)[0].stylo.couleur, kNoir);
}

TEST_F(Perspective, StereoPairOnBlack)
{
    // Stations at the depth of the centre show in both colours at their plain place; one
    // 25 m farther (q = 0.75) shows a third of the eye offset to either side.
    ContexteFactice c;
    ReliefNu(c.relief);
    AjouteGalerie(AjouteFiche(c.massif), "A", "B", {0, 25, 0}, {{0, 50, 0}, {0, 0, 0}});
    TPerspective stereo{c};
    stereo.Stereo = true;
    CanvasEnregistreur image(200, 100);
    stereo.Dimensions(largeur, hauteur, 4, 1, image);
    EXPECT_DOUBLE_EQ(stereo.ProfondeurCentre, 25);
    stereo.Dessine(0, 0, 4, 1, image, 2);
    const auto fonds = DuGenre(image.Traces, Trace::Remplissage);
    ASSERT_FALSE(fonds.empty());
    EXPECT_EQ(fonds.back().pinceau.couleur, kNoir);
    const auto lignes = DuGenre(image.Traces, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 4u);
    EXPECT_EQ(lignes[0].stylo.couleur, 0xFF0000u);
    EXPECT_EQ(lignes[0].stylo.mode, ModeStylo::Fusion);
    EXPECT_EQ(Coins(lignes[0]), std::make_tuple(40, 40, 87, 40));
    EXPECT_EQ(lignes[2].stylo.couleur, 0x0000C0u);
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(40, 40, -7, 40));
    EXPECT_TRUE(DuGenre(image.Traces, Trace::Ellipse).empty());

    // On an image the two colours add up where they cross.
    CanvasImage ecran(200, 100);
    stereo.Dessine(0, 0, 4, 1, ecran, 0);
    EXPECT_EQ(ecran.Pixel(150, 90), kNoir);
    EXPECT_EQ(ecran.Pixel(40, 40), 0xFF00C0u);
}

TEST_F(Perspective, HitTestIsolationAndHighlight)
{
    TFiche& f2 = AjouteFiche(ctx.massif, "Autre");
    AjouteGalerie(f2, "P", "Q", {0, 0, 2}, {{10, 0, 2}});
    Dessine();
    int fi = -1, ga = -1, pt = -1;
    // Halfway between the two sheets' shots the earlier sheet wins.
    EXPECT_DOUBLE_EQ(vue.Localise(200, 160, fi, ga, pt), 40);
    EXPECT_EQ(std::make_tuple(fi, ga, pt), std::make_tuple(0, 0, 1));
    EXPECT_NEAR(vue.Localise(445, 100, fi, ga, pt), 5, 1e-9);
    EXPECT_EQ(std::make_tuple(fi, ga, pt), std::make_tuple(0, 0, 2));
    EXPECT_NEAR(vue.Localise(200, 125, fi, ga, pt), 5, 1e-9);
    EXPECT_EQ(std::make_tuple(fi, ga, pt), std::make_tuple(1, 0, 1));

    // Only the first sheet's middle station lies within 10 pixels of (440, 195).
    vue.IsoleEcran(440, 195, 100);
    ASSERT_TRUE(ctx.massif.SelectionActive);
    ASSERT_EQ(ctx.massif.FichesCourantes->size(), 1u);
    EXPECT_EQ((*ctx.massif.FichesCourantes)[0], ctx.massif.Fiches[0]);
    // The second sheet's shot crosses the circle between its stations: not kept.
    vue.IsoleEcran(200, 120, 100);
    EXPECT_TRUE(ctx.massif.FichesCourantes->empty());

    ctx.massif.ActiveSelection(false);
    CanvasImage image(600, 400);
    vue.Dimensions(largeur, hauteur, 4, 1, image);
    vue.Dessine(0, 0, 4, 1, image, 0);
    TexteCp1252 texte;
    vue.Designation(true, 0, 0, 1, 0, texte);
    EXPECT_EQ(texte.str(), "Sys/Grotte/Amont/Salle A - C");
    EXPECT_EQ(image.Pixel(240, 200), kRouge);
    EXPECT_EQ(image.Pixel(40 - 4, 200 - 4), kNoir);
    vue.Designation(false, 0, 0, 1, 0, texte);
    EXPECT_TRUE(texte.empty());
    EXPECT_EQ(image.Pixel(240, 200), kNoir);
    EXPECT_EQ(image.Pixel(40 - 4, 200 - 4), kBlanc);
}

TEST_F(Perspective, PrintedPagesCentreTheDrawing)
{
    Dessine();
    int colonnes = 0, lignes = 0;
    vue.NombrePages(colonnes, lignes, 20, 20);
    EXPECT_EQ(colonnes, 1);
    EXPECT_EQ(lignes, 1);
    ctx.relief.Affiche_Echelle = true;
    CanvasEnregistreur& page = static_cast<CanvasEnregistreur&>(ctx.imprimante.Canvas());
    vue.DessinePage(0, 0, 10, 10, 0, page, 1.0);
    const double px = 4724.0 / 200;
    EXPECT_DOUBLE_EQ(vue.PxParMmImpr, px);
    EXPECT_DOUBLE_EQ(vue.OrigineX, (1 - 120.0 / 180) / 2);
    const auto traits = DuGenre(page.Traces, Trace::Ligne);
    ASSERT_EQ(traits.size(), 5u);
    // The start station: 10 mm into the drawing, 10 mm of margin, the grid's offset.
    const int x = RoundEntier((10 + 10) * px - (4724 - 20 * px) * (0 - vue.OrigineX));
    EXPECT_EQ(traits[0].x0, x);
    EXPECT_EQ(traits[0].stylo.largeur, 5);
    EXPECT_EQ(traits[2].stylo.largeur, 5);
    EXPECT_FALSE(page.Brush().plein);
}

TEST(PerspectiveSvg, SmallDrawingByteForByte)
{
    AssureApplication();
    QTemporaryDir dossier;
    ContexteFactice ctx;
    ctx.massif.NomFichier = "C:\\Topo\\Grotte.mas";
    AjouteGalerie(AjouteFiche(ctx.massif), "A", "C&D", {0, 0, 0}, {{0, 10, 0}, {5, 10, 4}});
    TFiche& vide = AjouteFiche(ctx.massif);
    AjouteGalerie(vide, "X", "Y", {0, 0, 0}, {{1, 0, 0}}).Placee = false;
    TOptions_Relief& o = ctx.relief;
    o.Texte_Station = 2;
    o.Representation = false;
    o.Y_Nord = 0.002;
    o.Z_Nord = 2;
    o.Affiche_Echelle = true;
    o.Long_Echelle = 2;
    TPerspective vue{ctx};
    vue.Tourne(90, 0);
    int l, h;
    CanvasEnregistreur image(10, 10);
    vue.Dimensions(l, h, 4, 1, image);
    const std::string chemin = dossier.filePath("p.svg").toStdString();
    vue.ExporteSVG(chemin, false, true);
    EXPECT_EQ(Lit(chemin), Lit(KARST_TEST_DATA "/relief_simple.svg"));

    // Visible layers only: the three drawn always, the options' others when shown.
    o.Affiche_Nord = false;
    o.Affiche_Quadri = false;
    vue.ExporteSVG(chemin, true, false);
    const std::string s = Lit(chemin);
    EXPECT_NE(s.find("<g id=\"visees\" i:layer=\"yes\" style="), std::string::npos);
    EXPECT_NE(s.find("<g id=\"carrefours\" i:layer=\"yes\""), std::string::npos);
    EXPECT_NE(s.find("<g id=\"repere\""), std::string::npos);
    EXPECT_EQ(s.find("<g id=\"nord\""), std::string::npos);
    EXPECT_EQ(s.find("<g id=\"quadrillatere\""), std::string::npos);

    // Nothing placed: the header, the title, the description and the end.
    ctx.massif.Fiches[0]->Galeries[0]->Placee = false;
    vue.Dimensions(l, h, 4, 1, image);
    vue.ExporteSVG(chemin, false, true);
    const std::string rien = Lit(chemin);
    EXPECT_NE(rien.find("<desc>Perspective</desc>\r\n</svg>\r\n"), std::string::npos);
    EXPECT_EQ(rien.find("<g"), std::string::npos);
}
