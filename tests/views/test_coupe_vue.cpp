// The developed-section view on the recording canvas and on printed pages.

#include <gtest/gtest.h>

#include <algorithm>

#include "coupe_factice.h"
#include "survey/nombres.h"
#include "views/couleurs.h"
#include "views/coupe_branches.h"
#include "views/coupe_vue.h"

using namespace karst;
using namespace karst::test;

namespace {

using Seg = std::tuple<int, int, int, int>;

std::vector<Seg> Segments(const std::vector<Trace>& traces)
{
    std::vector<Seg> r;
    for (const Trace& t : DuGenre(traces, Trace::Ligne))
        r.push_back(Coins(t));
    return r;
}

std::vector<std::string> Textes(const std::vector<Trace>& traces)
{
    std::vector<std::string> r;
    for (const Trace& t : DuGenre(traces, Trace::Texte))
        r.push_back(t.texte);
    return r;
}

// One gallery A1(3) -> B(2) starting at altitude 100, shots of horizontal lengths 2, 3, 4
// rising 1, -2, 1, as a branch at x 10, z -5: its stations lie at (10, 95), (12, 96),
// (15, 94), (19, 95). At 1/100 and 4 pixels per mm, with the 1 m margins, the world point
// (x, z) is the pixel ((x - 9) * 40, (97 - z) * 40).
class Coupe : public ::testing::Test {
protected:
    ContexteCoupe ctx;
    TCoupe vue{ctx};
    TFiche* f = nullptr;
    TGalerie* g = nullptr;
    int largeur = 0, hauteur = 0;

    void SetUp() override
    {
        AssureApplication();
        CoupeNue(ctx.coupe);
        f = &AjouteFiche(ctx.massif);
        g = &GalerieSection(*f, "A1", 3, "B", 2, 100, {{2, 1}, {3, -2}, {4, 1}});
        g->DansCoupe = g->Sens = g->GaucheDroite = true;
        AjouteRacine(ctx.massif, *f, 0, 10, -5);
        Calcule(ctx.massif);
    }
    std::vector<Trace> Dessine(uint16_t mode = 0, double rapport = 1)
    {
        CanvasEnregistreur image(600, 400);
        vue.Dimensions(largeur, hauteur, 4, rapport, image);
        vue.Dessine(0, 0, 4, rapport, image, mode);
        return std::move(image.Traces);
    }
};

TEST_F(Coupe, UnrollsTheGalleryAlongItsBranch)
{
    EXPECT_EQ(vue.Echelle, 100);
    auto traces = Dessine();
    EXPECT_TRUE(vue.Donnees);
    EXPECT_EQ(largeur, 440);
    EXPECT_EQ(hauteur, 160);
    EXPECT_EQ(Segments(traces), (std::vector<Seg>{{40, 80, 120, 40}, {120, 40, 240, 120}, {240, 120, 400, 80}}));
    EXPECT_EQ(DuGenre(traces, Trace::Ligne)[0].stylo.couleur, kNoir);

    // Unrolled from its end: the end station at the branch start, the start at the far end.
    g->Sens = false;
    Calcule(ctx.massif);
    traces = Dessine();
    EXPECT_EQ(Segments(traces), (std::vector<Seg>{{400, 80, 320, 40}, {320, 40, 200, 120}, {200, 120, 40, 80}}));

    // "% dessiné" 50: from a quarter to three quarters of each shot.
    ctx.coupe.pourcentage = 50;
    traces = Dessine();
    EXPECT_EQ(Segments(traces)[0], Seg(380, 70, 340, 50));
}

TEST_F(Coupe, NothingInTheSection)
{
    ctx.massif.VideCoupe();
    const auto traces = Dessine();
    EXPECT_FALSE(vue.Donnees);
    EXPECT_EQ(largeur, 1);
    EXPECT_EQ(hauteur, 1);
    EXPECT_TRUE(Segments(traces).empty());
    int fi = 7, ga = 8, pt = 9;
    vue.Localise(10, 10, fi, ga, pt);
    EXPECT_EQ(pt, 0);
    EXPECT_EQ(fi, 7);
    vue.IsoleEcran(10, 10, 100);
    EXPECT_TRUE(ctx.massif.SelectionActive);
    EXPECT_TRUE(ctx.massif.FichesCourantes->empty());
}

TEST_F(Coupe, JunctionLabelsAndStationCircles)
{
    ctx.coupe.Texte_Station = 2;
    ctx.coupe.Police_Station.Hauteur = -12;
    ctx.coupe.diametre = 10;
    g->Arrivee.Terminus = true;
    auto traces = Dessine();
    // Half the height of "O" (12 px / 4 px per mm / 2 = 1.5 mm, 0.15 m) up and right.
    const auto textes = DuGenre(traces, Trace::Texte);
    ASSERT_EQ(textes.size(), 1u);
    EXPECT_EQ(textes[0].texte, "A1(3)");
    EXPECT_EQ(textes[0].x0, 46);
    EXPECT_EQ(textes[0].y0, 74);
    EXPECT_FALSE(textes[0].pinceau.plein);
    // A 1 mm circle at each of the four stations.
    const auto cercles = DuGenre(traces, Trace::Ellipse);
    ASSERT_EQ(cercles.size(), 4u);
    EXPECT_EQ(Coins(cercles[0]), Seg(38, 78, 42, 82));
    EXPECT_EQ(Coins(cercles[3]), Seg(398, 78, 402, 82));

    g->Arrivee.Terminus = false;
    ctx.coupe.Texte_Station = 1;
    traces = Dessine();
    EXPECT_EQ(Textes(traces), (std::vector<std::string>{"A1", "B"}));
    EXPECT_EQ(DuGenre(traces, Trace::Texte)[1].x0, 406);
}

// Heights: the start station's from the gallery before it; unknown heights break the walls.
TEST(CoupeHauteurs, MarksAndWalls)
{
    AssureApplication();
    ContexteCoupe ctx;
    CoupeNue(ctx.coupe);
    TCoupe vue{ctx};
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& avant = GalerieSection(f, "X", 1, "A", 1, 10, {{1, 0}});
    avant.Visee(1)->Haut = "2";
    avant.Visee(1)->Bas = "1";
    TGalerie& g = GalerieSection(f, "A", 1, "B", 2, 10, {{2, 0}, {3, 0}, {4, 0}});
    g.Visee(1)->Haut = "1";
    g.Visee(1)->Bas = "0.5";
    g.Visee(3)->Haut = "1";  // no depth given: 0
    g.DansCoupe = g.Sens = g.GaucheDroite = true;
    AjouteRacine(ctx.massif, f, 1, 0, 0);
    Calcule(ctx.massif);
    TOptions_Coupe& o = ctx.coupe;
    o.Afficher_Habillage = true;
    o.Representation_Hauteur = 1;
    o.Epaisseur_hauteur = 2;
    o.Epaisseur_Habit = 5;
    o.Epaisseur_Visee = 1;
    auto dessine = [&] {
        CanvasEnregistreur image(600, 400);
        int l, h;
        vue.Dimensions(l, h, 4, 1, image);
        vue.Dessine(0, 0, 4, 1, image, 0);
        return std::move(image.Traces);
    };
    // The world point (x, z) is the pixel ((x + 1) * 40, (11 - z) * 40).
    auto traces = dessine();
    const std::vector<Seg> attendu = {{40, 40, 40, -40},  {40, 40, 40, 80},  {40, 40, 120, 40},  {40, -40, 120, 0},
                                      {120, 40, 120, 0},  {40, 80, 120, 60}, {120, 40, 120, 60}, {120, 40, 240, 40},
                                      {240, 40, 400, 40}, {400, 40, 400, 0}, {400, 40, 400, 40}};
    EXPECT_EQ(Segments(traces), attendu);
    std::vector<int> largeurs;
    for (const Trace& t : DuGenre(traces, Trace::Ligne))
        largeurs.push_back(t.stylo.largeur);
    EXPECT_EQ(largeurs, (std::vector<int>{1, 1, 0, 2, 1, 2, 1, 0, 0, 1, 1}));

    // Dots: a circle of half the thickness at each known height, the walls unchanged.
    o.Representation_Hauteur = 2;
    traces = dessine();
    const auto points = DuGenre(traces, Trace::Ellipse);
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(Coins(points[0]), Seg(40, -40, 40, -40));
    EXPECT_EQ(Coins(points[1]), Seg(40, 80, 40, 80));
    EXPECT_EQ(Segments(traces).size(), 3u + 2u);
}

TEST_F(Coupe, HorizontalScale)
{
    ctx.coupe.Affiche_Horizontale = true;
    ctx.coupe.X_Horizontale = 10;
    ctx.coupe.Z_Horizontale = 93.5;
    ctx.coupe.Long_Horizontale = 8;
    ctx.coupe.Largeur_Horizontale = 2;
    ctx.coupe.Pas_Horizontale = 4;
    ctx.coupe.Epaisseur_Horizontale = 5;
    ctx.coupe.Police_Horizontale.Hauteur = -12;
    auto traces = Dessine();
    auto lignes = DuGenre(traces, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 3u + 6u);
    const std::vector<Seg> echelle = {{40, 140, 360, 140},  {360, 140, 360, 132}, {40, 140, 40, 132},
                                      {120, 140, 120, 132}, {200, 140, 200, 132}, {280, 140, 280, 132}};
    const auto segs = Segments(traces);
    EXPECT_EQ(std::vector<Seg>(segs.begin() + 3, segs.end()), echelle);
    EXPECT_EQ(lignes[3].stylo.largeur, 2);
    const auto textes = DuGenre(traces, Trace::Texte);
    ASSERT_EQ(textes.size(), 2u);
    EXPECT_EQ(textes[0].texte, "0");
    EXPECT_EQ(std::make_pair(textes[0].x0, textes[0].y0), std::make_pair(37, 120));
    EXPECT_EQ(textes[1].texte, "8m");
    EXPECT_EQ(std::make_pair(textes[1].x0, textes[1].y0), std::make_pair(354, 120));

    // No subdivision: the baseline and the end ticks only. The scale keeps its thickness
    // at a display ratio of 2, the shots do not.
    ctx.coupe.Pas_Horizontale = 1;
    traces = Dessine(0, 2);
    lignes = DuGenre(traces, Trace::Ligne);
    EXPECT_EQ(lignes.size(), 3u + 3u);
    EXPECT_EQ(lignes.back().stylo.largeur, 2);
    ctx.coupe.Epaisseur_Visee = 5;
    lignes = DuGenre(Dessine(0, 2), Trace::Ligne);
    EXPECT_EQ(lignes[0].stylo.largeur, 4);
}

TEST_F(Coupe, VerticalScalesReadAltitudesFromTheirReferenceStation)
{
    ctx.coupe.Pas_Verticale = 10;
    ctx.coupe.Largeur_Verticale = 2;
    ctx.coupe.Police_Verticale.Hauteur = -12;
    ctx.coupe.NbEchelles = 2;
    TEchelleVerticale& e1 = ctx.coupe.Echelles[1];
    e1.Xdev = 12;
    e1.ZMin = -25;
    e1.ZMax = 40;
    e1.Nom = "a1";  // matches A1 whatever the case
    e1.Indice = 3;
    TEchelleVerticale& e2 = ctx.coupe.Echelles[2];
    e2.Xdev = 12;
    e2.Decalage = 1;
    e2.ZMin = 21;
    e2.ZMax = 40;
    e2.Gauche = true;
    e2.Nom = "A1";
    e2.Indice = 4;  // no such station: altitudes from 0
    EXPECT_DOUBLE_EQ(vue.AltitudeReference(e1), 100);
    EXPECT_DOUBLE_EQ(vue.AltitudeReference(e2), 0);
    const auto traces = Dessine();
    EXPECT_EQ(Textes(traces), (std::vector<std::string>{"-20", "-10", "0", "10", "20", "30", "40", "30", "40"}));
    const auto segs = Segments(traces);
    // The first scale from 75 to 140 m; graduation 0 at 100 m, its text right of the tick.
    EXPECT_EQ(segs[3], Seg(120, 880, 120, -1720));
    EXPECT_EQ(segs[6], Seg(120, -120, 128, -120));
    const auto textes = DuGenre(traces, Trace::Texte);
    EXPECT_EQ(std::make_pair(textes[2].x0, textes[2].y0), std::make_pair(131, -126));
    // The second from 22 to 41 m; graduation 30 at 31 m, ticked and written to the left.
    EXPECT_EQ(segs[11], Seg(120, 3000, 120, 2240));
    EXPECT_EQ(segs[12], Seg(120, 2640, 112, 2640));
    EXPECT_EQ(std::make_pair(textes[7].x0, textes[7].y0), std::make_pair(100, 2634));

    // A step of 0 has no graduation.
    ctx.coupe.Pas_Verticale = 0;
    EXPECT_TRUE(Textes(Dessine()).empty());
}

TEST_F(Coupe, DeformationColours)
{
    TFiche& f2 = AjouteFiche(ctx.massif);
    TGalerie& h = GalerieSection(f2, "B", 2, "C", 1, 101, {{1, 0}});
    h.DansCoupe = h.Sens = h.GaucheDroite = true;
    AjouteSuite(*g, f2.Ordre, 0);
    Calcule(ctx.massif);
    auto couleurs = [&] {
        std::vector<Couleur> c;
        for (const Trace& t : DuGenre(Dessine(ModeContrainte), Trace::Ligne))
            c.push_back(t.stylo.couleur);
        return c;
    };
    EXPECT_EQ(couleurs(), std::vector<Couleur>(4, TableCouleurs()[0]));
    g->EcartVertical = 0.2;
    h.EcartVertical = 0.1;
    const std::vector<Couleur> attendu = {TableCouleurs()[60], TableCouleurs()[60], TableCouleurs()[60],
                                          TableCouleurs()[30]};
    EXPECT_EQ(couleurs(), attendu);
    // Gallery colours in mode 2.
    g->Couleur = 0x123456;
    EXPECT_EQ(DuGenre(Dessine(ModeCouleur), Trace::Ligne)[0].stylo.couleur, 0x123456u);
}

TEST_F(Coupe, HitTestOnWholeShots)
{
    Dessine();
    int fi = -1, ga = -1, pt = -1;
    // On the first shot, halfway.
    EXPECT_NEAR(vue.Localise(80, 60, fi, ga, pt), 0, 1e-9);
    EXPECT_EQ(std::make_tuple(fi, ga, pt), std::make_tuple(0, 0, 1));
    // 1 m below the second shot's middle: 40 pixels.
    EXPECT_NEAR(vue.Localise(180, 120, fi, ga, pt), 40, 1e-9);
    EXPECT_EQ(pt, 2);
    // Exactly above a station: no shot has the abscissa strictly inside.
    pt = 5;
    EXPECT_EQ(vue.Localise(120, 10, fi, ga, pt), TGraphique::kRienTrouve);
    EXPECT_EQ(pt, 0);
}

TEST(CoupeVerticale, HitOnlyBetweenTheEnds)
{
    AssureApplication();
    ContexteCoupe ctx;
    CoupeNue(ctx.coupe);
    TCoupe vue{ctx};
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& g = GalerieSection(f, "C", 1, "D", 1, 0, {{0.3, 5}});
    g.DansCoupe = g.Sens = g.GaucheDroite = true;
    AjouteRacine(ctx.massif, f, 0, 0, 0);
    Calcule(ctx.massif);
    CanvasEnregistreur image(200, 300);
    int l, h;
    vue.Dimensions(l, h, 4, 1, image);
    vue.Dessine(0, 0, 4, 1, image, 0);
    int fi = -1, ga = -1, pt = -1;
    // (1, 2.5): 0.85 m from the shot's mean abscissa.
    EXPECT_NEAR(vue.Localise(80, 140, fi, ga, pt), 34, 1e-6);
    EXPECT_EQ(pt, 1);
    // At the altitude of its end: outside.
    vue.Localise(80, 40, fi, ga, pt);
    EXPECT_EQ(pt, 0);
}

TEST_F(Coupe, IsolatesTheSheetsOfTheStationsOnScreen)
{
    TFiche& f2 = AjouteFiche(ctx.massif);
    TGalerie& h = GalerieSection(f2, "E", 1, "F", 1, 100, {{1, 0}});
    h.DansCoupe = h.Sens = h.GaucheDroite = true;
    AjouteRacine(ctx.massif, f2, 0, 30, -5);
    AjouteFiche(ctx.massif);  // nothing in the section
    Calcule(ctx.massif);
    Dessine();
    // Within 10 pixels of the station (12, 96).
    vue.IsoleEcran(125, 40, 100);
    ASSERT_TRUE(ctx.massif.SelectionActive);
    EXPECT_EQ(*ctx.massif.FichesCourantes, (ListeFiches{f}));
    // Just beyond the radius: an active, empty selection.
    vue.IsoleEcran(131, 40, 100);
    EXPECT_TRUE(ctx.massif.FichesCourantes->empty());
}

TEST_F(Coupe, HighlightsTheGalleryAndItsContinuations)
{
    TFiche& f2 = AjouteFiche(ctx.massif);
    TGalerie& h = GalerieSection(f2, "B", 2, "C", 1, 101, {{1, 0}});
    h.DansCoupe = h.Sens = h.GaucheDroite = true;
    AjouteSuite(*g, f2.Ordre, 0);
    Calcule(ctx.massif);
    g->Couleur = 0x123456;
    CanvasEnregistreur image(600, 400);
    vue.Dimensions(largeur, hauteur, 4, 1, image);
    vue.Dessine(0, 0, 4, 1, image, ModeCouleur);
    image.Traces.clear();
    TexteCp1252 texte;
    vue.Designation(true, 0, 0, 2, ModeCouleur, texte);
    EXPECT_EQ(texte.str(), "Sys/Grotte/Amont/Salle A1 - B");
    auto lignes = DuGenre(image.Traces, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 4u);
    // The continuation first, then the gallery: the chosen shot red, the others green.
    EXPECT_EQ(Coins(lignes[0]), Seg(400, 40, 440, 40));
    const std::vector<Couleur> vert = {0x00FF00, 0x00FF00, 0x0000FF, 0x00FF00};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(lignes[i].stylo.couleur, vert[i]) << i;
    auto carres = DuGenre(image.Traces, Trace::Rectangle);
    ASSERT_EQ(carres.size(), 2u);
    EXPECT_EQ(Coins(carres[0]), Seg(116, 36, 124, 44));
    EXPECT_EQ(carres[0].stylo.mode, ModeStylo::Inverse);

    // Erasing in mode 2: the gallery in its own colour, the continuation in black.
    image.Traces.clear();
    vue.Designation(false, 0, 0, 2, ModeCouleur, texte);
    EXPECT_EQ(texte.str(), "");
    lignes = DuGenre(image.Traces, Trace::Ligne);
    ASSERT_EQ(lignes.size(), 4u);
    EXPECT_EQ(lignes[0].stylo.couleur, kNoir);
    EXPECT_EQ(lignes[1].stylo.couleur, 0x123456u);
    EXPECT_EQ(DuGenre(image.Traces, Trace::Rectangle).size(), 2u);

    // Unrolled from its end towards the left: the names in drawing order.
    g->Sens = false;
    vue.Designation(true, 0, 0, 0, ModeContrainte, texte);
    EXPECT_EQ(texte.str(), "Sys/Grotte/Amont/Salle B - A1");
}

TEST_F(Coupe, PrintedPages)
{
    CanvasEnregistreur image(600, 400);
    vue.Dimensions(largeur, hauteur, 4, 1, image);
    int colonnes, lignes;
    vue.NombrePages(colonnes, lignes, 20, 20);
    EXPECT_EQ(std::make_pair(colonnes, lignes), std::make_pair(1, 1));
    // A page corner on a point inside the drawing: pages on each side of it.
    ctx.coupe.Origine = true;
    ctx.coupe.X_Origine = 15;
    ctx.coupe.Z_Origine = 95;
    vue.NombrePages(colonnes, lignes, 20, 20);
    EXPECT_EQ(std::make_pair(colonnes, lignes), std::make_pair(2, 2));

    // The preview at half size: the label font shrunk from the printer's resolution.
    ctx.coupe.Texte_Station = 1;
    ctx.coupe.Police_Station.Hauteur = -12;
    CanvasEnregistreur apercu(1000, 1000);
    vue.DessinePage(1, 1, 10, 10, 0, apercu, 0.5);
    const auto textes = DuGenre(apercu.Traces, Trace::Texte);
    ASSERT_FALSE(textes.empty());
    EXPECT_EQ(textes[0].police.Hauteur, RoundEntier(-12 * 0.5 * (4724.0 / 200) * 25.4 / 96));
    EXPECT_DOUBLE_EQ(vue.PxParMmImpr, 4724.0 / 200);
    EXPECT_FALSE(DuGenre(apercu.Traces, Trace::Ligne).empty());
}

}  // namespace

TEST_F(Coupe, IsolateKeepsTheSheetsOfTheStationsNearTheClick)
{
    Dessine();
    // Station (15, 94) is the pixel (240, 120); 10 pixels are 0.25 m at this scale.
    vue.IsoleEcran(240, 125, 100);
    ASSERT_TRUE(ctx.massif.SelectionActive);
    ASSERT_EQ(ctx.massif.FichesCourantes, ctx.massif.Selection.get());
    ASSERT_EQ(ctx.massif.Selection->size(), 1u);
    EXPECT_EQ((*ctx.massif.Selection)[0], f);
    // Eleven pixels below it: no station near, an empty selection.
    vue.IsoleEcran(240, 131, 100);
    EXPECT_TRUE(ctx.massif.Selection->empty());
}
