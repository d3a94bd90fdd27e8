// The survey table: sheet order, comment wrapping, row layout, screen drawing, printed
// pages, hit test and column fitting, on recording canvases (a text is |height| pixels
// high and |height| / 2 pixels wide per byte).

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <tuple>

#include "views/couleurs.h"
#include "views/options.h"
#include "views/tableau.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

std::vector<Trace> Textes(const std::vector<Trace>& traces)
{
    std::vector<Trace> r;
    std::copy_if(traces.begin(), traces.end(), std::back_inserter(r),
                 [](const Trace& t) { return t.genre == Trace::Texte; });
    return r;
}

const Trace* Texte(const std::vector<Trace>& traces, const std::string& texte)
{
    for (const Trace& t : traces)
        if (t.genre == Trace::Texte && t.texte == texte)
            return &t;
    return nullptr;
}

std::vector<Trace> Lignes(const std::vector<Trace>& traces)
{
    std::vector<Trace> r;
    std::copy_if(traces.begin(), traces.end(), std::back_inserter(r),
                 [](const Trace& t) { return t.genre == Trace::Ligne; });
    return r;
}

constexpr int kDecli = 6, kDevBrut = 7;

int Largeur5(const std::string& s) { return static_cast<int>(s.size()) * 5; }

// Every line of a text for a column `limite` pixels wide (at most 10).
std::vector<std::string> Lignes(std::string texte, double limite)
{
    std::vector<std::string> lignes;
    std::string reste;
    for (int garde = 0; garde < 10; ++garde) {
        TTableau::CoupeTexte(texte, reste, limite, Largeur5);
        lignes.push_back(texte);
        if (reste.empty())
            break;
        texte = reste;
    }
    return lignes;
}

using Textes_ = std::vector<std::string>;

TEST(TableauCoupe, WrapsOnSpacesAndAlwaysMakesProgress)
{
    EXPECT_EQ(Lignes("abc def", 100), Textes_{" abc def"});
    // " aaaa bbbb" is 50 pixels wide, " aaaa bbbb cccc" 75.
    EXPECT_EQ(Lignes("aaaa bbbb cccc", 60), (Textes_{" aaaa bbbb", " cccc"}));
    // A first word wider than the column stays whole, with what follows, on one line.
    EXPECT_EQ(Lignes("abcdefghij klm", 30), Textes_{"abcdefghij klm"});
    // A column narrower than a space: one character a line, never an endless loop.
    EXPECT_EQ(Lignes("abc", 3), (Textes_{" a", " b", " c"}));
    EXPECT_EQ(Lignes("", 0), Textes_{" "});
}

TEST(TableauOrdre, DateAndPlaceOrdersKeepEqualKeysReversed)
{
    TFiche a, b, c;
    a.Date = "05/01/02";
    b.Date = "01/01/02";
    c.Date = "05/01/02";
    const ListeFiches liste{&a, &b, &c};
    EXPECT_EQ(TTableau::OrdonneFiches(liste, TriTableau::OrdreDeSaisie), liste);
    EXPECT_EQ(TTableau::OrdonneFiches(liste, TriTableau::Date), (ListeFiches{&b, &c, &a}));

    // Upper-cased ASCII, then byte codes: "é" (0xE9) comes after "Z"; system first.
    a.Systeme.Affecte("b");
    b.Systeme.Affecte("B");
    c.Systeme.Affecte("A");
    a.Cavite.Affecte("\xE9");
    b.Cavite.Affecte("z");
    c.Cavite.Affecte("zz");
    EXPECT_TRUE(TTableau::CompareFiches(a, b, TriTableau::Localisation));
    EXPECT_FALSE(TTableau::CompareFiches(b, a, TriTableau::Localisation));
    EXPECT_FALSE(TTableau::CompareFiches(a, a, TriTableau::Localisation));
    EXPECT_EQ(TTableau::OrdonneFiches(liste, TriTableau::Localisation), (ListeFiches{&c, &b, &a}));
}

// Four sheets laid out with the default layout (every column shown, W = 300 mm, headers of
// 50 mm plus a column headings row of 8 mm, rows of 8 mm), at 4 pixels per mm:
//   sheet 1   0.. 82  general header 0..58; A(1)->C(2): start row 58, shots 66 and 74
//   sheet 2  82..110  same outing and place, no header; C(2)->D(2) goes on from C: one
//                      shot at 82 with 20 mm of sketch room
//   sheet 3 110..164  another place: restricted header of 30 mm without headings row;
//                      E(1)->F(2): start row 140, one shot at 148 whose comment takes two lines
//   sheet 4 164..238  another outing: general header 164..222; G(1)->H(2) whose first shot
//                      has no length: no start row, shots at 222 and 230
class Tableau : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TTableau t{ctx};
    TOptions_Tableau& o = ctx.tableau;
    std::vector<TFiche*> fiches;
    int largeur = 0, hauteur = 0;
    std::unique_ptr<CanvasEnregistreur> image;

    void SetUp() override
    {
        AssureApplication();
        o.Hauteur[1] = 30;
        o.Rappel[1] = false;
        o.PoliceStandard.couleur = 0x00FF00;
        o.PoliceCarrefour.Nom = "Arial";
        o.PoliceCarrefour.couleur = 0x0000FF;
    }

    TFiche& Feuille(const std::string& date, const std::string& lieu = "Salle")
    {
        TFiche& f = AjouteFiche(ctx.massif);
        f.Date = date;
        f.Lieu.Affecte(lieu);
        f.Topographes.emplace_back("Jean");
        fiches.push_back(&f);
        return f;
    }

    void Construit()
    {
        AjouteGalerie(Feuille("01/02/03"), "A", "C", {0, 0, 0}, {{10, 0, 0}, {10, 5, -2}});
        TGalerie& g2 = AjouteGalerie(Feuille("01/02/03"), "C", "D", {10, 5, -2}, {{10, 8, -2}});
        g2.Depart.Indice = 2;
        g2.Commentaire.Affecte("suite");
        g2.Visee(1)->TailleSchema = 2;
        TGalerie& g3 = AjouteGalerie(Feuille("01/02/03", "Puits"), "E", "F", {0, 0, 0}, {{0, 0, -10}});
        std::string long_;
        for (int i = 0; i < 6; ++i)
            long_ += "aaaaaaaaa ";
        g3.Visee(1)->Commentaire.Affecte(long_);
        AjouteGalerie(Feuille("02/02/03"), "G", "H", {20, 0, 0}, {{20, 0, 0}, {25, 0, 0}});
    }

    std::vector<Trace> Dessine(int scrollY = 0, int hauteurImage = 2000, uint16_t mode = ModeNormal, double rapport = 1)
    {
        // The window's image outlives the drawing: the hit test measures on it.
        image = std::make_unique<CanvasEnregistreur>(1400, hauteurImage);
        t.Dimensions(largeur, hauteur, 4, rapport, *image);
        t.Dessine(0, scrollY, 4, rapport, *image, mode);
        return std::move(image->Traces);
    }

    // One printed page, drawn on the printer's own canvas (zoom 1) or on a preview canvas.
    std::vector<Trace> Page(int colonne, int ligne, double zoom = 1.0, uint16_t mode = ModeNormal)
    {
        if (ctx.imprimante.pages_.empty())
            return ADD_FAILURE() << "no printer page", std::vector<Trace>();
        CanvasEnregistreur& imprimante = *ctx.imprimante.pages_.back();
        imprimante.Traces.clear();
        if (zoom == 1.0) {
            t.DessinePage(colonne, ligne, 10, 5, mode, imprimante, zoom);
            return std::move(imprimante.Traces);
        }
        CanvasEnregistreur apercu(2000, 2000, 96);
        t.DessinePage(colonne, ligne, 10, 5, mode, apercu, zoom);
        return std::move(apercu.Traces);
    }
};

TEST_F(Tableau, SizesAndSheetPositionsFollowTheRowLayout)
{
    Construit();
    CanvasEnregistreur mesure(100, 100);
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    EXPECT_TRUE(t.Donnees);
    EXPECT_TRUE(ctx.massif.DimensionsAJour);
    EXPECT_EQ(largeur, 1200);
    EXPECT_EQ(hauteur, 238 * 4);
    const std::vector<std::pair<int, int>> attendu{{0, 82}, {82, 110}, {110, 164}, {164, 238}};
    for (std::size_t i = 0; i < fiches.size(); ++i)
        EXPECT_EQ(std::make_pair(fiches[i]->DebutTableau, fiches[i]->FinTableau), attendu[i]) << i;

    // Shown columns 1, 2, 3 at 20 mm and the comments at 60 mm: 120 mm; column 4 doubled
    // as well: 160 mm.
    for (int k = 4; k <= kNbColonnes; ++k)
        o.Afficher[k] = k == 10;
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    EXPECT_EQ(largeur, 480);
    o.Afficher[4] = o.Dedoubler[4] = true;
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    EXPECT_EQ(largeur, 640);

    // No sheet: nothing to draw and no height.
    TMassif vide;
    ctx.massif.FichesCourantes = vide.FichesCourantes;
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    EXPECT_FALSE(t.Donnees);
    EXPECT_EQ(hauteur, 0);
    ctx.massif.FichesCourantes = &ctx.massif.Fiches;
}

TEST_F(Tableau, LayoutIsRedoneWhenTheResolutionOrTheOrderChanges)
{
    Construit();
    CanvasEnregistreur mesure(100, 100);
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    // Sorted by date the second outing comes first, although the flag says up to date.
    ctx.tri = TriTableau::Date;
    fiches[3]->Date = "01/01/01";
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    // Order 4, 3, 2, 1 (equal dates reversed): sheet 2 now gets a restricted header and
    // sheet 1 none, and each gallery opens its own chain.
    EXPECT_EQ(std::make_pair(fiches[3]->DebutTableau, fiches[3]->FinTableau), std::make_pair(0, 74));
    EXPECT_EQ(std::make_pair(fiches[2]->DebutTableau, fiches[2]->FinTableau), std::make_pair(74, 156));
    EXPECT_EQ(std::make_pair(fiches[1]->DebutTableau, fiches[1]->FinTableau), std::make_pair(156, 222));
    EXPECT_EQ(std::make_pair(fiches[0]->DebutTableau, fiches[0]->FinTableau), std::make_pair(222, 246));
    EXPECT_EQ(hauteur, 246 * 4);
    // A new resolution lays it out again too.
    // (at 8 pixels per mm the long comment holds on one line).
    t.Dimensions(largeur, hauteur, 8, 1, mesure);
    EXPECT_EQ(hauteur, 238 * 8);
}

TEST_F(Tableau, ScreenCellsCommentsAndRules)
{
    Construit();
    const auto traces = Dessine();
    // Column headings: "L" centred in the first 80 pixels of the row at 50 mm, whose texts
    // sit (32 - 11) / 2 pixels below its top.
    const Trace* l = Texte(traces, "L");
    ASSERT_TRUE(l);
    EXPECT_EQ(std::make_pair(l->x0, l->y0), std::make_pair(38, 210));
    // Start row of A: its coordinates and the station named in the comment column.
    const Trace* depart = Texte(traces, " du point A(1). ");
    ASSERT_TRUE(depart);
    EXPECT_EQ(std::make_pair(depart->x0, depart->y0), std::make_pair(720, 242));
    EXPECT_EQ(depart->police.Nom, "Arial");
    // The gallery outside the developed section shows "X" in Dev H on every row.
    int croix = 0;
    for (const Trace& tr : Textes(traces))
        croix += tr.texte == "X" && tr.x0 == 678;
    EXPECT_EQ(croix, 3 + 1 + 2 + 2);
    // Shot 2 of A: 5.39 m, ending at (10, 5, -2): Long H 5.00, Delta Z -2.00, comment
    // naming the end station.
    for (const char* s : {"5.39", " 10.00", "  5.00", " -2.00", "5.00", "-2.00", "  Point C(2)"})
        EXPECT_TRUE(Texte(traces, s)) << s;
    // The gallery that goes on from C has no start row: its comment leads its first shot.
    EXPECT_TRUE(Texte(traces, " suite.  Point D(2)"));
    EXPECT_FALSE(Texte(traces, " du point C(2). suite "));
    // A first shot of no length: empty L, Az and P, but Dev 0.00; the station goes in
    // front of its comment, in the junction font.
    const Trace* g = Texte(traces, " du point G(1). ");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->y0, 898);
    EXPECT_EQ(g->police.Nom, "Arial");
    int zeros = 0;
    for (const Trace& tr : Textes(traces))
        zeros += tr.texte == "0.00" && tr.y0 == 898;
    EXPECT_EQ(zeros, 3);  // Dev, Long H and Delta Z
    // The long comment on two lines, the second 8 mm lower at the comment column's edge.
    const Trace* a1 = Texte(traces, " aaaaaaaaa aaaaaaaaa aaaaaaaaa aaaaaaaaa");
    const Trace* a2 = Texte(traces, " aaaaaaaaa aaaaaaaaa  Point F(2)");
    ASSERT_TRUE(a1 && a2);
    EXPECT_EQ(a2->y0 - a1->y0, 32);
    EXPECT_EQ(a2->x0, 720);
    // A shot that goes on with no thick rule: over C->D only thin rules, and the rule under
    // its row leaves 20 mm for the sketch.
    bool thinUnderSketch = false, thickAtChain = false;
    for (const Trace& tr : Lignes(traces)) {
        if (tr.y0 == 110 * 4 && tr.y1 == 110 * 4 && tr.x1 == 1200)
            thinUnderSketch = tr.stylo.largeur == 2;
        if (tr.y0 == 82 * 4 && tr.y1 == 82 * 4 && tr.stylo.largeur == 4)
            thickAtChain = true;
    }
    EXPECT_TRUE(thinUnderSketch);
    EXPECT_FALSE(thickAtChain);
}

TEST_F(Tableau, DoubledWidthColumnSplitsItsTexts)
{
    TGalerie& g = AjouteGalerie(Feuille("01/02/03"), "A", "C", {0, 0, 0}, {{10, 0, 0}});
    g.Visee(1)->Gauche = "1";
    g.Visee(1)->Droite = "2";
    g.Visee(1)->Haut = "3";
    // Not doubled: joined with "/"; the widths column doubled: one text in each half,
    // and its second heading over the second half (20 mm = 80 pixels from x = 240).
    auto traces = Dessine();
    EXPECT_TRUE(Texte(traces, "1/2"));
    EXPECT_TRUE(Texte(traces, "3"));
    o.Dedoubler[4] = true;
    o.Titre2[4] = "d";
    traces = Dessine();
    EXPECT_FALSE(Texte(traces, "1/2"));
    const Trace* gauche = Texte(traces, "1");
    const Trace* droite = Texte(traces, "2");
    const Trace* titre = Texte(traces, "d");
    ASSERT_TRUE(gauche && droite && titre);
    EXPECT_EQ(gauche->x0, 240 + 38);
    EXPECT_EQ(droite->x0, 320 + 38);
    EXPECT_EQ(titre->x0, 320 + 38);
    EXPECT_EQ(largeur, 320 * 4);
}

TEST_F(Tableau, TextColoursFollowTheMode)
{
    Construit();
    fiches[0]->Galeries[0]->Couleur = 0x123456;
    auto couleur = [&](uint16_t mode, const std::string& s) {
        const auto traces = Dessine(0, 2000, mode);
        const Trace* tr = Texte(traces, s);
        return tr ? tr->police.couleur : 0xFFFFFFFFu;
    };
    EXPECT_EQ(couleur(ModeNormal, " du point A(1). "), kNoir);
    EXPECT_EQ(couleur(ModeNormal, " 10.00"), kNoir);
    EXPECT_EQ(couleur(ModeRotation, " du point A(1). "), 0x0000FFu);
    EXPECT_EQ(couleur(ModeRotation, " 10.00"), 0x00FF00u);
    EXPECT_EQ(couleur(ModeCouleur, " 10.00"), 0x123456u);
    // Deformation: A at sqrt(3² + 4²) = 5, the largest of the table, takes the end of the
    // ramp; E->F, not deformed, its start.
    fiches[0]->Galeries[0]->EcartHorizontal = 3.0L;
    fiches[0]->Galeries[0]->EcartVertical = 4.0L;
    EXPECT_EQ(couleur(ModeContrainte, " 10.00"), TableCouleurs()[60]);
    EXPECT_EQ(couleur(ModeContrainte, " du point E(1). "), TableCouleurs()[0]);
    // Rules stay black.
    for (const Trace& tr : Lignes(Dessine(0, 2000, ModeCouleur)))
        EXPECT_EQ(tr.stylo.couleur, kNoir);
}

TEST_F(Tableau, ReferenceStationMovesTheOrigin)
{
    Construit();
    o.PointZero.Nom.Affecte("c");  // names compare without case
    o.PointZero.Indice = 2;
    o.EnPlan = true;
    const auto traces = Dessine();
    EXPECT_DOUBLE_EQ(t.RefX, 10);
    EXPECT_DOUBLE_EQ(t.RefY, 5);
    EXPECT_DOUBLE_EQ(t.RefZ, 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(o.PointZero.Z), -2);
    // Start of A relative to C in plan, absolute in altitude.
    const Trace* depart = Texte(traces, " du point A(1). ");
    ASSERT_TRUE(depart);
    std::vector<std::string> rangee;
    for (const Trace& tr : Textes(traces))
        if (tr.y0 == depart->y0 && tr.x0 < 720)
            rangee.push_back(tr.texte);
    EXPECT_EQ(rangee, (std::vector<std::string>{"-10.00", " -5.00", "  0.00", "X"}));
}

TEST_F(Tableau, ScrolledDrawingShowsTheSameRowsShifted)
{
    Construit();
    // A header item so that the blocks carry totals.
    o.EnTeteAffiche[kDevBrut][0] = true;
    o.EnTeteIntitule[kDevBrut][0] = "Dev";
    o.Y_Pos[kDevBrut][0] = 10;
    const auto tout = Textes(Dessine(0, 2000));
    // The window shows 200 pixels from 500: sheet 3 and the top of sheet 4.
    const auto fenetre = Textes(Dessine(500, 200));
    ASSERT_FALSE(fenetre.empty());
    for (const Trace& tr : fenetre) {
        if (tr.y0 < 0 || tr.y0 >= 200)
            continue;
        const bool trouve = std::any_of(tout.begin(), tout.end(), [&](const Trace& u) {
            return u.texte == tr.texte && u.x0 == tr.x0 && u.y0 == tr.y0 + 500;
        });
        EXPECT_TRUE(trouve) << tr.texte << " at " << tr.y0;
    }
    // The first block ends at the restricted header of sheet 3 (A and C->D: 10 + 5.39 +
    // 3 m); its total is complete even when its header is the only part shown.
    EXPECT_TRUE(Texte(tout, "Dev 18.385"));
    EXPECT_TRUE(Texte(Textes(Dessine(0, 100)), "Dev 18.385"));
}

TEST_F(Tableau, HitTestFindsHeadersStationRowsAndShotLines)
{
    Construit();
    Dessine();
    int f = -1, g = -1, p = -1;
    auto localise = [&](int y) {
        f = g = p = -1;
        // A row under the pixel is at distance 0; no row, nothing found.
        const double d = t.Localise(12345, y, f, g, p);
        EXPECT_EQ(d, p == -1 ? TGraphique::kRienTrouve : 0.0);
        return std::make_tuple(f, g, p);
    };
    EXPECT_EQ(localise(100), std::make_tuple(0, 0, 1));  // general header
    EXPECT_EQ(localise(230), std::make_tuple(0, 0, 1));  // headings row: the start row below
    EXPECT_EQ(localise(300), std::make_tuple(0, 0, 2));  // shot 2 of A
    EXPECT_EQ(localise(500), std::make_tuple(2, 0, 1));  // restricted header of sheet 3
    EXPECT_EQ(localise(630), std::make_tuple(2, 0, 1));  // second line of its shot's comment
    EXPECT_EQ(localise(5000), std::make_tuple(-1, -1, -1));
    // Sorted by date the table starts with the last sheet; the result is its position in
    // the current sheets, which the view window's selection uses.
    ctx.tri = TriTableau::Date;
    fiches[3]->Date = "01/01/01";
    Dessine();
    EXPECT_EQ(localise(100), std::make_tuple(3, 0, 1));
    // At a display ratio of 2 the pixel rows are those of the drawing.
    ctx.tri = TriTableau::OrdreDeSaisie;
    fiches[3]->Date = "02/02/03";
    Dessine(0, 4000, ModeNormal, 2);
    EXPECT_EQ(localise(600), std::make_tuple(0, 0, 2));
}

TEST_F(Tableau, HiddenCommentColumnTakesNoExtraLines)
{
    Construit();
    o.Afficher[10] = false;
    CanvasEnregistreur mesure(100, 100);
    t.Dimensions(largeur, hauteur, 4, 1, mesure);
    EXPECT_EQ(fiches[2]->FinTableau, 156);
    EXPECT_EQ(largeur, 240 * 4);
}

TEST_F(Tableau, HeaderValuesOnScreenAndOnPaper)
{
    o.EnTeteAffiche[kDecli][0] = true;
    o.EnTeteIntitule[kDecli][0] = "D\xE9"
                                  "cli";
    o.X_Pos[kDecli][0] = 5;
    o.EnTeteAffiche[kDevBrut][0] = true;
    o.EnTeteIntitule[kDevBrut][0] = "Dev";
    o.Y_Pos[kDevBrut][0] = 10;
    o.EnTeteAffiche[9][0] = true;  // surveyors
    o.EnTeteIntitule[9][0] = "Par";
    o.X_Pos[9][0] = 100;
    o.Y_Pos[9][0] = 20;
    TFiche& f = Feuille("01/02/03");
    f.Topographes.emplace_back("Paul");
    f.Declinaison = 2.5L;
    TGalerie& g = AjouteGalerie(f, "A", "C", {0, 0, 0}, {{10, 0, 0}, {10, 5, -2}});
    g.Visee(1)->Longueur = 1000;
    g.Visee(2)->Longueur = 234.5L;
    auto ecran = Dessine();
    const Trace* decli = Texte(ecran, "D\xE9"
                                      "cli 2.5\xB0");
    ASSERT_TRUE(decli);
    EXPECT_EQ(std::make_pair(decli->x0, decli->y0), std::make_pair(20, 0));
    // One surveyor a line after the title and a space ("Par " is 20 pixels wide).
    const Trace* jean = Texte(ecran, "Jean");
    const Trace* paul = Texte(ecran, "Paul");
    ASSERT_TRUE(jean && paul && Texte(ecran, "Par "));
    EXPECT_EQ(std::make_tuple(jean->x0, jean->y0, paul->x0, paul->y0), std::make_tuple(420, 80, 420, 112));
    const Trace* dev = Texte(ecran, "Dev 1234.5");
    ASSERT_TRUE(dev);
    EXPECT_EQ(dev->y0, 40);
    int colonnes, lignes;
    t.NombrePages(colonnes, lignes, 20, 10);
    auto page = Page(0, 0);
    EXPECT_TRUE(Texte(page, "D\xE9"
                            "cli 2.50\xB0"));
    EXPECT_TRUE(Texte(page, "Dev 1234.50"));
    // Grads; a total too long for five digits.
    f.Unite_Decli = 1;
    g.Visee(1)->Longueur = 123222.2L;
    ecran = Dessine();
    EXPECT_TRUE(Texte(ecran, "D\xE9"
                             "cli 2.5gr"));
    EXPECT_TRUE(Texte(ecran, "Dev 1.2346E05"));
    EXPECT_TRUE(Texte(Page(0, 0), "Dev 123456.70"));
}

// One gallery A(1)->C(2) under a general header of `entete` mm with no headings row, on
// pages of 287 - 10 = 277 mm.
class TableauPages : public Tableau {
protected:
    int colonnes = 0, lignes = 0;
    void Prepare(int entete)
    {
        o.Hauteur[0] = static_cast<int16_t>(entete);
        o.Rappel[0] = false;
        AjouteGalerie(Feuille("01/02/03"), "A", "C", {0, 0, 0}, {{10, 0, 0}, {10, 5, -2}});
        t.NombrePages(colonnes, lignes, 20, 10);
    }
    // The rule at the left edge of the table on a page: its top and bottom pixel rows.
    static std::pair<int, int> RegleGauche(const std::vector<Trace>& traces)
    {
        for (const Trace& tr : Lignes(traces))
            if (tr.x0 == 236 && tr.x1 == 236)
                return {tr.y0, tr.y1};
        return {-1, -1};
    }
};

TEST_F(TableauPages, ARowThatWouldReachThePageEndMovesToTheNextPage)
{
    // Start row 261..269; shot 1 would end at 277 exactly, so it goes to 277..285, and
    // shot 2 follows at 285..293.
    o.EnTeteAffiche[kDevBrut][0] = true;
    o.EnTeteIntitule[kDevBrut][0] = "Dev";
    Prepare(261);
    EXPECT_EQ(colonnes, 2);  // 300 mm of table on 180 mm of printable width
    EXPECT_EQ(lignes, 2);
    const auto p0 = Page(0, 0), p1 = Page(0, 1);
    EXPECT_TRUE(Texte(p0, " du point A(1). "));
    EXPECT_FALSE(Texte(p0, "10.00"));
    EXPECT_TRUE(Texte(p1, "10.00"));
    EXPECT_TRUE(Texte(p1, "  Point C(2)"));
    EXPECT_FALSE(Texte(p1, " du point A(1). "));
    // The block's total, on the first page, counts the shots of the next.
    EXPECT_TRUE(Texte(p0, "Dev 15.39"));
    EXPECT_FALSE(Texte(p1, "Dev 15.39"));
    // The block's rules stop at the last row of the first page (23.62 pixels per mm, top
    // margin 5 mm) and start again at the top of the next.
    EXPECT_EQ(RegleGauche(p0), std::make_pair(6283, 6472));
    EXPECT_EQ(RegleGauche(p1), std::make_pair(118, 496));
    // Across, the second page goes on with the comment column at its left margin.
    const auto p2 = Page(1, 0);
    const Trace* suite = Texte(p2, " du point A(1). ");
    ASSERT_TRUE(suite);
    EXPECT_EQ(suite->x0, 236);
}

TEST_F(TableauPages, ARowThatEndsBeforeThePageEndStays)
{
    Prepare(260);
    EXPECT_EQ(lignes, 2);
    const auto p0 = Page(0, 0);
    EXPECT_TRUE(Texte(p0, "10.00"));
    EXPECT_FALSE(Texte(p0, "  Point C(2)"));
    EXPECT_EQ(RegleGauche(p0), std::make_pair(6259, 6637));
}

TEST_F(TableauPages, PreviewShowsTheSameRowsAtItsZoom)
{
    Prepare(261);
    const auto imprime = Textes(Page(0, 1)), apercu = Textes(Page(0, 1, 0.5));
    ASSERT_EQ(imprime.size(), apercu.size());
    for (std::size_t i = 0; i < imprime.size(); ++i) {
        EXPECT_EQ(imprime[i].texte, apercu[i].texte);
        EXPECT_NEAR(apercu[i].y0, imprime[i].y0 / 2.0, 1);
        EXPECT_NEAR(std::abs(apercu[i].police.Hauteur), std::abs(imprime[i].police.Hauteur) / 2.0, 1);
    }
}

TEST_F(TableauPages, NoPageWhenTheMarginsLeaveNoRoom)
{
    Prepare(50);
    t.NombrePages(colonnes, lignes, 20, 287);
    EXPECT_EQ(lignes, 0);
    EXPECT_TRUE(Textes(Page(0, 0)).empty());
}

TEST_F(Tableau, PagesCountedAreThePagesDrawnAndEachRowIsPrintedOnce)
{
    for (int i = 0; i < 12; ++i) {
        TFiche& f = Feuille("0" + std::to_string(1 + i % 9) + "/02/03", i % 2 ? "Salle" : "Puits");
        const std::string nom = "S" + std::to_string(i);
        TGalerie& g = AjouteGalerie(f, nom, nom + "x", {0, 0, 0}, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
        g.Visee(2)->TailleSchema = static_cast<uint8_t>(i % 3);
        std::string long_;
        for (int j = 0; j <= i; ++j)
            long_ += "mot" + std::to_string(j) + " aaaaaaaaaaaaaaaa ";
        g.Visee(3)->Commentaire.Affecte(long_);
    }
    int colonnes, lignes;
    t.NombrePages(colonnes, lignes, 20, 187);  // 100 mm of page
    ASSERT_GT(lignes, 5);
    std::map<std::string, int> fois;
    for (int p = 0; p <= lignes; ++p) {
        const auto textes = Textes(Page(0, p));
        EXPECT_EQ(textes.empty(), p == lignes) << "page " << p;
        for (const Trace& tr : textes)
            if (tr.texte.find(" Point S") != std::string::npos)
                ++fois[tr.texte];
    }
    EXPECT_EQ(fois.size(), 12u);
    for (const auto& [texte, n] : fois)
        EXPECT_EQ(n, 1) << texte;
}

TEST_F(Tableau, PrintingLetsMessagesThroughAtEachCommentWrap)
{
    Construit();
    int colonnes, lignes;
    t.NombrePages(colonnes, lignes, 20, 10);
    ASSERT_FALSE(ctx.imprimante.pages_.empty());
    CanvasEnregistreur& imprimante = *ctx.imprimante.pages_.back();
    // What the printer's page held each time the messages went through.
    std::vector<std::size_t> traces;
    ctx.messages = [&] { traces.push_back(imprimante.Traces.size()); };
    t.NombrePages(colonnes, lignes, 20, 10);
    EXPECT_TRUE(traces.empty());
    const auto page = Page(0, 0);
    int lignesCommentaire = 0;
    for (const Trace& tr : Textes(page))
        lignesCommentaire += tr.texte.rfind(" aaaaaaaaa", 0) == 0;
    ASSERT_GE(lignesCommentaire, 2);
    // Each line of a comment is wrapped, while the page is being drawn.
    EXPECT_GE(traces.size(), static_cast<std::size_t>(lignesCommentaire));
    ASSERT_FALSE(traces.empty());
    EXPECT_GT(traces.front(), 0u);
    EXPECT_LT(traces.back(), page.size());
    // Not in the preview.
    traces.clear();
    Page(0, 0, 0.5);
    EXPECT_TRUE(traces.empty());
}

TEST_F(Tableau, DoubleClickFitsTheColumn)
{
    for (int k = 1; k <= kNbColonnes; ++k)
        o.Afficher[k] = k == 1 || k == 10;
    o.Largeur[1] = 150;
    ctx.marges.Gauche = ctx.marges.Droite = 5;
    Construit();
    Dessine();
    // The comment column fills the rest of the 190 mm of printable width, less 1 mm.
    t.AjusteColonnes(160 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[10], 39);
    EXPECT_FALSE(ctx.massif.DimensionsAJour);
    EXPECT_EQ(t.MargesH, 10);
    o.Largeur[1] = 250;
    t.AjusteColonnes(260 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[10], 129);  // two pages
    // Outside every column: nothing changes.
    t.AjusteColonnes(2000 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[10], 129);
    // The length column: its widest text "10.00" in the junction font (10 pixels a
    // character) is 50 pixels, 12.5 mm, rounded to even, plus 3 mm.
    o.Largeur[1] = 20;
    o.PoliceCarrefour.Hauteur = -20;
    t.AjusteColonnes(10 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[1], 15);
    // Both fits stay within the 255 mm the model file takes back: on a landscape page the
    // comment column would fill 287 - 10 - 12 - 1 = 264 mm, and a huge font widens the length.
    ctx.imprimante.FixePaysage(true);
    o.Largeur[1] = 12;
    t.AjusteColonnes(20 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[10], 255);
    o.PoliceCarrefour.Hauteur = -2000;
    t.AjusteColonnes(10 * 4, 4, 1);
    EXPECT_EQ(o.Largeur[1], 255);
    o.PoliceCarrefour.Hauteur = -20;
    QTemporaryDir dossier;
    const std::string modele = dossier.filePath(QStringLiteral("OPTIONS.TABL")).toStdString();
    o.Sauve(modele);
    TOptions_Tableau relu;
    EXPECT_NO_THROW(relu.Charge(modele));
    EXPECT_EQ(relu.Largeur, o.Largeur);
}

}  // namespace
