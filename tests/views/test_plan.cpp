// The plan view on the recording canvas, on images and on printed pages.

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>

#include "survey/nombres.h"
#include "views/couleurs.h"
#include "views/plan.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

// One gallery A -> (10, 0) -> C (10, 5): on a 1:100 view at 4 pixels per mm the world point
// (X, Y) is the pixel ((X + 1) * 40, (6 - Y) * 40).
class Plan : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TPlan plan{ctx};
    TGalerie* g = nullptr;
    int largeur = 0, hauteur = 0;

    void SetUp() override
    {
        AssureApplication();
        OptionsNues(ctx.options);
        TFiche& f = AjouteFiche(ctx.massif);
        g = &AjouteGalerie(f, "A", "C", {0, 0}, {{10, 0}, {10, 5}});
    }
    std::vector<Trace> Dessine(uint16_t mode = 0)
    {
        CanvasEnregistreur image(600, 400);
        plan.Dimensions(largeur, hauteur, 4, 1, image);
        plan.Dessine(0, 0, 4, 1, image, mode);
        return std::move(image.Traces);
    }
};

TEST(PlanRotation, TurnsWithinOneTurn)
{
    ContexteFactice ctx;
    TPlan plan{ctx};
    EXPECT_EQ(plan.Echelle, 100);
    plan.Angle = 350;
    plan.Tourne(30);
    EXPECT_DOUBLE_EQ(plan.Angle, 20);
    plan.Angle = 350;
    plan.Tourne(10);
    EXPECT_DOUBLE_EQ(plan.Angle, 360);
    plan.Angle = 10;
    plan.Tourne(-30);
    EXPECT_DOUBLE_EQ(plan.Angle, 340);
    plan.Angle = 90;
    plan.Tourne(0);
    EXPECT_NEAR(plan.SinAngle, 1, 1e-15);
    // A positive angle turns the drawing clockwise: north goes east.
    double x, y;
    plan.Projette(0, 1, x, y);
    EXPECT_NEAR(x, 1, 1e-15);
    EXPECT_NEAR(y, 0, 1e-15);
    std::string texte;
    plan.Angle = 350;
    plan.ApercuRotation(20, texte);
    EXPECT_EQ(texte, "370 \xB0");
    EXPECT_DOUBLE_EQ(plan.Angle, 350);
    EXPECT_NEAR(plan.SinAngle, std::sin(370 / 180.0 * 3.14159265358979323846), 1e-15);
}

TEST(PlanVide, NothingToDraw)
{
    AssureApplication();
    ContexteFactice ctx;
    TPlan plan{ctx};
    CanvasImage image(50, 40);
    int l = 0, h = 0;
    plan.Dimensions(l, h, 4, 1, image);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(h, 1);
    EXPECT_FALSE(plan.Donnees);
    plan.Dessine(0, 0, 4, 1, image, 0);
    const QImage& im = image.Image();
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            ASSERT_EQ(im.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
    int fi = 7, gi = 8, pi = 9;
    EXPECT_EQ(plan.Localise(3, 3, fi, gi, pi), TGraphique::kRienTrouve);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(7, 8, 9));
    // No massif at all.
    ctx.sansMassif = true;
    plan.Dimensions(l, h, 4, 1, image);
    EXPECT_FALSE(plan.Donnees);
    // A scale of 0 divides nothing: nothing to draw, no hit.
    ctx.sansMassif = false;
    TFiche& f = AjouteFiche(ctx.massif);
    AjouteGalerie(f, "A", "B", {0, 0}, {{1, 0}});
    plan.Echelle = 0;
    plan.Dimensions(l, h, 4, 1, image);
    EXPECT_FALSE(plan.Donnees);
    EXPECT_EQ(l, 1);
    plan.Dessine(0, 0, 4, 1, image, 0);
    EXPECT_EQ(plan.Localise(3, 3, fi, gi, pi), TGraphique::kRienTrouve);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(7, 8, 9));
}

TEST_F(Plan, SizeAndCentrelines)
{
    ctx.options.pourcentage = 50;
    std::vector<Trace> image = Dessine();
    EXPECT_EQ(largeur, 480);
    EXPECT_EQ(hauteur, 280);
    EXPECT_DOUBLE_EQ(plan.Xmin, -1);
    EXPECT_DOUBLE_EQ(plan.Ymax, 6);
    auto lignes = DuGenre(image, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 2u);
    // The middle half of each shot.
    EXPECT_EQ(Coins(lignes[0]), std::make_tuple(140, 240, 340, 240));
    EXPECT_EQ(Coins(lignes[1]), std::make_tuple(440, 190, 440, 90));
    EXPECT_EQ(lignes[0].stylo.largeur, 1);
    EXPECT_EQ(lignes[0].stylo.couleur, kNoir);
    // The bitmap was filled white before and copied onto the image after.
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.front().genre, Trace::Dessin);
    EXPECT_EQ(image[1].genre, Trace::Remplissage);
    EXPECT_EQ(image[1].pinceau.couleur, kBlanc);
}

TEST_F(Plan, StationCirclesAndLabels)
{
    ctx.options.diametre = 10;
    ctx.options.Texte_Station = 2;
    ctx.options.Police_Station.Hauteur = -12;
    ctx.options.pourcentage = 0;
    std::vector<Trace> image = Dessine(ModeCouleur);
    auto cercles = DuGenre(image, Trace::Ellipse);
    ASSERT_EQ(cercles.size(), 3u);
    EXPECT_EQ(Coins(cercles[0]), std::make_tuple(38, 238, 42, 242));
    EXPECT_EQ(Coins(cercles[2]), std::make_tuple(438, 38, 442, 42));
    EXPECT_TRUE(cercles[0].pinceau.plein);
    EXPECT_EQ(cercles[0].pinceau.couleur, kNoir);
    // Labels: 12-pixel text, offset by half its height (1.5 mm) right and up.
    auto textes = DuGenre(image, Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "A(1)");
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::make_tuple(46, 234));
    EXPECT_FALSE(textes[0].pinceau.plein);
    EXPECT_EQ(textes[1].texte, "C(2)");
    EXPECT_EQ(std::tie(textes[1].x0, textes[1].y0), std::make_tuple(446, 34));
    // pourcentage 0: both ends of each centreline at the middle of the shot.
    for (const Trace& t : DuGenre(image, Trace::Ligne))
        EXPECT_EQ(std::tie(t.x0, t.y0), std::tie(t.x1, t.y1));

    // A terminus carries no label; a display ratio of 2 doubles the label font.
    g->Depart.Terminus = true;
    ctx.options.Texte_Station = 1;
    CanvasEnregistreur image2(600, 400);
    plan.Dimensions(largeur, hauteur, 4, 2, image2);
    plan.Dessine(0, 0, 4, 2, image2, 0);
    textes = DuGenre(image2, Trace::Texte);
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_EQ(textes[0].texte, "C");
    EXPECT_EQ(textes[0].police.Hauteur, -24);
    // C at (880, 80), offset by 12 pixels: half of the 24-pixel text.
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::make_tuple(892, 68));
}

TEST_F(Plan, ZeroPercentLeavesOnlyCirclesAndAShotlessGalleryIsLabelledAtBothEnds)
{
    // "% dessiné" 0 with thick and thin pens: no dot at the middle of the shots.
    ctx.options.pourcentage = 0;
    for (int epaisseur : {0, 7}) {
        ctx.options.Epaisseur_Visee = epaisseur;
        CanvasImage image(600, 400);
        plan.Dimensions(largeur, hauteur, 4, 1, image);
        plan.Dessine(0, 0, 4, 1, image, 0);
        image.Termine();
        const QImage& q = image.Image();
        int encre = 0;
        for (int y = 0; y < q.height(); ++y)
            for (int x = 0; x < q.width(); ++x)
                encre += (q.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_EQ(encre, 0) << "pen " << epaisseur;
    }
    // The circles alone are what shows.
    ctx.options.diametre = 10;
    CanvasImage image(600, 400);
    plan.Dimensions(largeur, hauteur, 4, 1, image);
    plan.Dessine(0, 0, 4, 1, image, 0);
    image.Termine();
    EXPECT_EQ(image.Image().pixel(40, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.Image().pixel(240, 240) & 0xFFFFFF, 0xFFFFFFu);

    // A gallery placed without shots: its end's label stands at its start, on the screen
    // and in the file.
    ctx.options.diametre = 0;
    ctx.options.Texte_Station = 1;
    ctx.options.Police_Station.Hauteur = -12;
    g->Placee = false;
    AjouteGalerie(*ctx.massif.Fiches[0], "D", "E", {0, 0}, {});
    auto textes = DuGenre(Dessine(), Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "D");
    EXPECT_EQ(textes[1].texte, "E");
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::tie(textes[1].x0, textes[1].y0));
}

TEST_F(Plan, WallsAndWidthMarks)
{
    ctx.options.Afficher_Habillage = true;
    ctx.options.Representation_Largeur = 1;
    ctx.options.AlaFin = true;
    ctx.options.AuDebut = false;
    // Total widths: 2 m at the first station, 4 m at the second, shared out on both sides.
    g->Visee(1)->Gauche = "2";
    g->Visee(2)->Gauche = "4";
    std::vector<Trace> image = Dessine();
    auto lignes = DuGenre(image, Trace::Ligne);
    std::vector<std::tuple<int, int, int, int>> vu;
    for (const Trace& t : lignes)
        vu.push_back(Coins(t));
    const std::vector<std::tuple<int, int, int, int>> attendu = {
        {40, 240, 440, 240},                        // shot 1
        {440, 240, 440, 200},                       // its end marks: left (north) then right
        {440, 240, 440, 280}, {440, 240, 440, 40},  // shot 2 (the first shot has no start width, so no wall)
        {400, 240, 360, 40},                        // left wall, west of a shot going north
        {480, 240, 520, 40},                        // right wall
        {440, 40, 360, 40},                         // end marks
        {440, 40, 520, 40},
    };
    EXPECT_EQ(vu, attendu);
    EXPECT_EQ(lignes[4].stylo.largeur, 2);
    EXPECT_EQ(lignes[1].stylo.largeur, 0);

    // The right width alone draws the right wall alone; a shot of no length draws no wall.
    g->Visee(1)->Gauche = "";
    g->Visee(2)->Gauche = "";
    g->Visee(1)->Droite = "2";
    g->Visee(2)->Droite = "4";
    ctx.options.Representation_Largeur = 0;
    image = Dessine();
    lignes = DuGenre(image, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(520, 240, 600, 40));
    g->Visee(2)->Longueur = 0;
    image = Dessine();
    EXPECT_EQ(DuGenre(image, Trace::Ligne).size(), 2u);
}

TEST_F(Plan, NorthArrowScaleBarAndGrid)
{
    ctx.options.Affiche_Nord = true;
    ctx.options.Representation = false;
    ctx.options.X_Nord = 0.002;
    ctx.options.Y_Nord = 0.001;
    ctx.options.Long_Nord = 10;
    ctx.options.Police_Nord.Hauteur = -10;
    std::vector<Trace> image = Dessine();
    auto lignes = DuGenre(image, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 4u);
    // Base (2, 1), tip (2, 2), head end (2.1, 1.5).
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(120, 200, 120, 160));
    EXPECT_EQ(Coins(lignes[3]), std::make_tuple(120, 160, 124, 180));
    auto textes = DuGenre(image, Trace::Texte);
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_EQ(textes[0].texte, "N.G.");
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::make_tuple(124, 180));

    // Geographic arrow turned by a geodesic angle of 90 degrees: it points west.
    ctx.options.Representation = true;
    ctx.massif.Angle_Geodesique = 90;
    lignes = DuGenre(Dessine(), Trace::Ligne);
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(120, 200, 80, 200));

    // Scale bar of 5 m in two parts at (4, 3), 2 mm high (0.2 m, 8 pixels).
    ctx.options.Affiche_Nord = false;
    ctx.options.Affiche_Echelle = true;
    ctx.options.X_Echelle = 0.004;
    ctx.options.Y_Echelle = 0.003;
    ctx.options.Long_Echelle = 5;
    ctx.options.Largeur_Echelle = 2;
    ctx.options.Subdivision = 2;
    ctx.options.Police_Echelle.Hauteur = -8;
    image = Dessine();
    lignes = DuGenre(image, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 2u + 4u);
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(200, 120, 400, 120));
    EXPECT_EQ(Coins(lignes[3]), std::make_tuple(400, 120, 400, 112));
    EXPECT_EQ(Coins(lignes[4]), std::make_tuple(200, 120, 200, 112));
    EXPECT_EQ(Coins(lignes[5]), std::make_tuple(300, 120, 300, 112));
    // Texts: 8 pixels high, 4 per character, bottom on the top of the bar, centred.
    textes = DuGenre(image, Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "0");
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::make_tuple(198, 104));
    EXPECT_EQ(textes[1].texte, "5m");
    EXPECT_EQ(std::tie(textes[1].x0, textes[1].y0), std::make_tuple(396, 104));
    // With a display ratio the texts keep their place relative to the bar.
    CanvasEnregistreur image2(1200, 800);
    plan.Dimensions(largeur, hauteur, 4, 2, image2);
    plan.Dessine(0, 0, 4, 2, image2, 0);
    textes = DuGenre(image2, Trace::Texte);
    EXPECT_EQ(std::tie(textes[0].x0, textes[0].y0), std::make_tuple(396, 208));

    // Grid of 5 m crosses, 2 mm long, over the box (0, 0)-(10, 5): columns 0..3, rows 0..2.
    ctx.options.Affiche_Echelle = false;
    ctx.options.Affiche_Quadri = true;
    ctx.options.Pas = 5;
    ctx.options.Longueur_Quadri = 2;
    lignes = DuGenre(Dessine(), Trace::Ligne);
    ASSERT_EQ(lignes.size(), 2u + 4 * 3 * 2);
    EXPECT_EQ(Coins(lignes[2]), std::make_tuple(32, 240, 48, 240));
    EXPECT_EQ(Coins(lignes[3]), std::make_tuple(40, 248, 40, 232));
    // A step of 0 draws no grid.
    ctx.options.Pas = 0;
    EXPECT_EQ(DuGenre(Dessine(), Trace::Ligne).size(), 2u);
    EXPECT_TRUE(plan.Omission().empty());
    // Nor does a step that would cross a 1.5 km cave two million times, which is said.
    AjouteGalerie(AjouteFiche(ctx.massif), "F", "G", {0, 0}, {{1500, 1500}});
    ctx.options.Pas = 1;
    plan.Echelle = 1000000;
    EXPECT_EQ(DuGenre(Dessine(), Trace::Ligne).size(), 3u);
    EXPECT_EQ(plan.Omission().str(), "Quadrillage non dessiné : à ce pas, il compterait plus d'un million de croix.");
}

TEST_F(Plan, HitTestSetsSheetGalleryAndPointTogether)
{
    TFiche& f2 = AjouteFiche(ctx.massif);
    AjouteGalerie(f2, "D", "E", {0, 5}, {{4, 5}});
    Dessine();
    int fi = -1, gi = -1, pi = -1;
    // 4 pixels east of the middle of shot 2.
    EXPECT_NEAR(plan.Localise(444, 140, fi, gi, pi), 4, 1e-9);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(0, 0, 2));
    // Near the start of the second sheet's gallery: that sheet, its gallery 0, point 1.
    EXPECT_NEAR(plan.Localise(40, 36, fi, gi, pi), 4, 1e-9);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(1, 0, 1));
    // Beside the segment of the second sheet's only shot.
    EXPECT_NEAR(plan.Localise(120, 44, fi, gi, pi), 4, 1e-9);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(1, 0, 1));
    // Nearest to the shot of a gallery whose start is farther than the best so far: the
    // sheet and gallery are that shot's, not those of the last start found.
    TFiche& f3 = AjouteFiche(ctx.massif);
    AjouteGalerie(f3, "H", "I", {10, 2.5}, {{0, 2.5}});
    Dessine();
    EXPECT_NEAR(plan.Localise(80, 144, fi, gi, pi), 4, 1e-9);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(2, 0, 1));
    // At equal distance from two stations, the first in drawing order wins. A second
    // gallery of the first sheet starts at (0, 2) and widens the box to Xmin = -1.5: A is
    // at (60, 240) and that start at (60, 160).
    AjouteGalerie(*ctx.massif.Fiches[0], "F", "G", {0, 2}, {{-0.5, 2}});
    Dessine();
    plan.Localise(60, 200, fi, gi, pi);
    EXPECT_EQ(std::tie(fi, gi, pi), std::make_tuple(0, 0, 1));
}

TEST_F(Plan, IsolateKeepsTheSheetsSeen)
{
    TFiche& f2 = AjouteFiche(ctx.massif, "Autre");
    AjouteGalerie(f2, "D", "E", {100, 100}, {{101, 100}});
    Dessine();
    // The box now runs up to Ymax = 101: C is at (440, 3840). Within 10 pixels of it:
    // only the first sheet.
    plan.IsoleEcran(440, 3845, 100);
    ASSERT_TRUE(ctx.massif.SelectionActive);
    ASSERT_EQ(ctx.massif.FichesCourantes, ctx.massif.Selection.get());
    ASSERT_EQ(ctx.massif.Selection->size(), 1u);
    EXPECT_EQ((*ctx.massif.Selection)[0], ctx.massif.Fiches[0]);
    // Over an empty area the selection is empty and the plan draws nothing.
    plan.IsoleEcran(440, 3852, 100);
    EXPECT_TRUE(ctx.massif.Selection->empty());
    int l, h;
    CanvasEnregistreur image(10, 10);
    plan.Dimensions(l, h, 4, 1, image);
    EXPECT_FALSE(plan.Donnees);
}

TEST_F(Plan, HighlightDrawnThenErasedLeavesTheImage)
{
    ctx.options.diametre = 10;
    ctx.options.Afficher_Habillage = true;
    ctx.options.Affiche_Quadri = true;
    ctx.options.Pas = 5;
    ctx.options.Longueur_Quadri = 3;
    g->Visee(1)->Gauche = "2";
    g->Visee(2)->Gauche = "4";
    CanvasImage image(600, 400);
    plan.Dimensions(largeur, hauteur, 4, 1, image);
    plan.Dessine(0, 0, 4, 1, image, 0);
    const QImage avant = image.Image().copy();
    TexteCp1252 texte;
    plan.Designation(true, 0, 0, 1, 0, texte);
    EXPECT_EQ(texte.str(), "Sys/Grotte/Amont/Salle A - C");
    // The shot is red and the squares inverted: a white pixel inside the square is black.
    EXPECT_EQ(image.Pixel(240, 240), kRouge);
    EXPECT_EQ(image.Pixel(37, 237), kNoir);
    EXPECT_NE(image.Image(), avant);
    plan.Designation(false, 0, 0, 1, 0, texte);
    EXPECT_EQ(texte.str(), "");
    EXPECT_EQ(image.Image(), avant);
    // Outside mode 0 only the squares are drawn.
    plan.Designation(true, 0, 0, 2, ModeContrainte, texte);
    EXPECT_EQ(image.Pixel(440, 140), kNoir);
    plan.Designation(false, 0, 0, 2, ModeContrainte, texte);
    EXPECT_EQ(image.Image(), avant);
    // A terminus names itself.
    g->Depart.Terminus = true;
    plan.Designation(true, 0, 0, 2, ModeContrainte, texte);
    EXPECT_EQ(texte.str(), "Sys/Grotte/Amont/Salle Terminus - C");
}

TEST_F(Plan, DeformationColoursFromTheRamp)
{
    g->EcartHorizontal = 0.5L;
    TFiche& f = *ctx.massif.Fiches[0];
    TGalerie& autre = AjouteGalerie(f, "C", "D", {10, 5}, {{0, 5}});
    autre.EcartHorizontal = 0.25L;
    CanvasImage image(600, 400);
    plan.Dimensions(largeur, hauteur, 4, 1, image);
    plan.Dessine(0, 0, 4, 1, image, ModeContrainte);
    EXPECT_EQ(image.Pixel(240, 240), TableCouleurs()[60]);
    EXPECT_EQ(image.Pixel(240, 40), TableCouleurs()[30]);
    plan.Dessine(0, 0, 4, 1, image, ModeNormal);
    EXPECT_EQ(image.Pixel(240, 40), kNoir);
}

TEST_F(Plan, PrintedPageAtPrinterResolution)
{
    ctx.options.Texte_Station = 1;
    ctx.options.diametre = 10;
    int colonnes, lignes;
    Dessine();
    plan.NombrePages(colonnes, lignes, 10, 97);
    EXPECT_EQ(std::tie(colonnes, lignes), std::make_tuple(1, 1));
    CanvasEnregistreur page(4724, 6780, 600);
    plan.DessinePage(0, 0, 10, 50, 0, page, 1.0);
    const double k = 4724.0 / 200;
    auto traits = DuGenre(page, Trace::Ligne);
    ASSERT_EQ(traits.size(), 2u);
    EXPECT_EQ(traits[0].stylo.largeur, RoundEntier(0.2 * k));
    // The page's start: 120 mm of drawing centred on 190, plus the 10 mm margin.
    const double ox = (1 - 120.0 / 190) / 2;
    EXPECT_EQ(traits[0].x0, RoundEntier((10 + 10) * k + 190 * k * ox));
    // The label font keeps its 8 points at 600 pixels per inch; its offset is measured there.
    auto textes = DuGenre(page, Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].police.Hauteur, -67);
    EXPECT_EQ(textes[0].x0, RoundEntier((10 + 10 + 67 / k / 2) * k + 190 * k * ox));
    EXPECT_FALSE(page.Brush().plein);

    // The preview at zoom 0.5 on a 96 dpi canvas: half the pixels, the font converted.
    CanvasEnregistreur apercu(2362, 3390);
    plan.DessinePage(0, 0, 10, 50, 0, apercu, 0.5);
    auto traitsApercu = DuGenre(apercu, Trace::Ligne);
    EXPECT_EQ(traitsApercu[0].stylo.largeur, RoundEntier(0.2 * k * 0.5));
    EXPECT_EQ(traitsApercu[0].x0, RoundEntier(((10 + 10) * k + 190 * k * ox) * 0.5));
    auto textesApercu = DuGenre(apercu, Trace::Texte);
    EXPECT_EQ(textesApercu[0].police.Hauteur, RoundEntier(-11 * 0.5 * k * 25.4 / 96));
    EXPECT_EQ(textesApercu[0].x0, RoundEntier((10 + 10 + 67 / k / 2) * k + 190 * k * ox) / 2);
}

}  // namespace
