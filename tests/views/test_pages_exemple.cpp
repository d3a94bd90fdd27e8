// The printed pages of the sample massif, read back from a recording canvas, on the fake
// printer upright and on the program's default landscape page: no page draws outside its
// frame, every shot end lies on a page, and with a locked page origin every page holds part
// of the drawing and a page border runs through the origin; for the section and the plan,
// and for the perspective and the table with their free grids.

#include <gtest/gtest.h>

#include <QLineEdit>

#include <cmath>
#include <functional>
#include <memory>

#include "coupe_factice.h"
#include "formulaires/expert.h"
#include "platform/interlocuteur.h"
#include "views/coupe_vue.h"
#include "views/plan.h"
#include "views/tableau.h"
#include "views/vue_relief.h"

using namespace karst;
using namespace karst::test;

namespace {

// Margins of 10 mm all round.
constexpr int kMarge = 10;

struct Point2 {
    double x, y;  // view coordinates, metres
};

struct Impression {
    int colonnes = 0, lignes = 0;
    std::vector<std::unique_ptr<CanvasEnregistreur>> pages;
    double origineX = 0, origineY = 0;  // of the first page, as drawn
    // The printer page: pixels per mm, the printable size inside the margins (mm), and the
    // frame that the corner marks show.
    double k = 0, largeurUtile = 0, hauteurUtile = 0;
    int largeur = 0, hauteur = 0;  // pixels
    QRect cadre;
};

// Every page of the grid, drawn as the print loop draws it.
Impression Imprime(TGraphique& vue, TImprimante& imprimante)
{
    Impression r;
    // The paper's own millimetres, from the page's pixels at the device's resolution.
    r.k = imprimante.Canvas().PixelsParPouce() / 25.4;
    r.largeurUtile = imprimante.LargeurPage() / r.k - 2 * kMarge;
    r.hauteurUtile = imprimante.HauteurPage() / r.k - 2 * kMarge;
    r.largeur = imprimante.LargeurPage();
    r.hauteur = imprimante.HauteurPage();
    r.cadre = CadrePage(imprimante, kMarge, kMarge, kMarge, kMarge);
    vue.NombrePages(r.colonnes, r.lignes, 2 * kMarge, 2 * kMarge);
    for (int p = 0; p < r.colonnes * r.lignes; ++p) {
        auto page = std::make_unique<CanvasEnregistreur>(imprimante.LargeurPage(), imprimante.HauteurPage(), 600);
        vue.DessinePage(p % r.colonnes, p / r.colonnes, kMarge, kMarge, ModeNormal, *page, 1.0);
        EXPECT_FALSE(page->Decoupe().has_value()) << "the caller's marks and labels are not held in the frame";
        if (p == 0)
            r.origineX = vue.OrigineX, r.origineY = vue.OrigineY;
        r.pages.push_back(std::move(page));
    }
    return r;
}

// The segments recorded on a page, in page pixels.
std::vector<std::array<double, 4>> Segments(const CanvasEnregistreur& c)
{
    std::vector<std::array<double, 4>> r;
    for (const Trace& t : c.Traces) {
        if (t.genre == Trace::Ligne)
            r.push_back({double(t.x0), double(t.y0), double(t.x1), double(t.y1)});
    }
    return r;
}

bool DansLeCadre(const Impression& imp, double x, double y, double tolerance = 0)
{
    return x >= imp.cadre.left() - tolerance && x <= imp.cadre.right() + tolerance &&
           y >= imp.cadre.top() - tolerance && y <= imp.cadre.bottom() + tolerance;
}

// Nothing of any page lies outside its frame: every line within it, and everything else
// drawn under the frame's limit.
void VerifieCadres(const Impression& imp)
{
    ASSERT_FALSE(imp.pages.empty());
    for (std::size_t i = 0; i < imp.pages.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "page " << i + 1);
        for (const Trace& t : imp.pages[i]->Traces) {
            ASSERT_TRUE(t.decoupe.has_value());
            EXPECT_EQ(*t.decoupe, imp.cadre);
        }
        for (const auto& s : Segments(*imp.pages[i])) {
            EXPECT_TRUE(DansLeCadre(imp, s[0], s[1])) << s[0] << ", " << s[1];
            EXPECT_TRUE(DansLeCadre(imp, s[2], s[3])) << s[2] << ", " << s[3];
        }
    }
}

// Every shot end (view coordinates) is the end of a line of the page whose frame holds it.
void VerifieExtremites(const TGraphique& vue, const Impression& imp, const std::vector<Point2>& extremites)
{
    const double e = vue.Echelle;
    // A page starts every printable width; page (0, 0) starts -OrigineX of one into the drawing.
    const double pasX = imp.largeur - 2 * kMarge * imp.k, pasY = imp.hauteur - 2 * kMarge * imp.k;
    for (const Point2& p : extremites) {
        bool dessine = false;
        for (int c = 0; c < imp.colonnes && !dessine; ++c)
            for (int l = 0; l < imp.lignes && !dessine; ++l) {
                const double x = ((p.x - vue.Xmin) * 1000 / e + kMarge) * imp.k - pasX * (c - imp.origineX);
                const double y = ((vue.Ymax - p.y) * 1000 / e + kMarge) * imp.k - pasY * (l - imp.origineY);
                if (!DansLeCadre(imp, x, y))
                    continue;
                for (const auto& s : Segments(*imp.pages[static_cast<std::size_t>(l * imp.colonnes + c)]))
                    dessine = dessine || (std::abs(s[0] - x) <= 1 && std::abs(s[1] - y) <= 1) ||
                              (std::abs(s[2] - x) <= 1 && std::abs(s[3] - y) <= 1);
            }
        EXPECT_TRUE(dessine) << p.x << ", " << p.y;
    }
}

// Checks the printed grid against the drawing's shot ends and the locked origin (ox, oy):
// the first and last columns and rows hold part of the drawing, and with `chaquePage` every
// page does.
void VerifieGrille(const TGraphique& vue, const Impression& imp, const std::vector<Point2>& extremites, double ox,
                   double oy, bool chaquePage)
{
    ASSERT_GT(imp.colonnes, 0);
    ASSERT_GT(imp.lignes, 0);
    VerifieCadres(imp);
    VerifieExtremites(vue, imp, extremites);
    // Which pages have part of the drawing.
    std::vector<bool> encre(imp.pages.size(), false);
    for (std::size_t i = 0; i < imp.pages.size(); ++i)
        encre[i] = !Segments(*imp.pages[i]).empty();
    auto page = [&](int c, int l) { return static_cast<bool>(encre[static_cast<std::size_t>(l * imp.colonnes + c)]); };
    for (int c : {0, imp.colonnes - 1}) {
        bool colonne = false;
        for (int l = 0; l < imp.lignes; ++l)
            colonne = colonne || page(c, l);
        EXPECT_TRUE(colonne) << "column " << c + 1 << " of " << imp.colonnes;
    }
    for (int l : {0, imp.lignes - 1}) {
        bool ligne = false;
        for (int c = 0; c < imp.colonnes; ++c)
            ligne = ligne || page(c, l);
        EXPECT_TRUE(ligne) << "row " << l + 1 << " of " << imp.lignes;
    }
    for (std::size_t i = 0; chaquePage && i < imp.pages.size(); ++i)
        EXPECT_TRUE(encre[i]) << "page " << i + 1 << " of " << imp.colonnes << " x " << imp.lignes;
    // A page border through the origin, across and down.
    const double e = vue.Echelle;
    const double bx = (ox - vue.Xmin) * 1000 / e / imp.largeurUtile + imp.origineX;
    const double by = (vue.Ymax - oy) * 1000 / e / imp.hauteurUtile + imp.origineY;
    EXPECT_NEAR(bx, std::nearbyint(bx), 1e-6);
    EXPECT_NEAR(by, std::nearbyint(by), 1e-6);
}

// Run on the fake printer upright (false) and across (true), the program's default.
class PagesExemple : public ::testing::TestWithParam<bool> {
protected:
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    ContexteCoupe ctx;

    void SetUp() override
    {
        AssureApplication();
        ASSERT_TRUE(ChargeExemple(ctx.massif));
        CoupeNue(ctx.coupe);
        // A printable area of no whole number of millimetres, as a real device gives.
        ctx.imprimante = ImprimanteFactice(4724, 6780, 4724 * 25.4 / 600, 6780 * 25.4 / 600, 600);
        ctx.imprimante.FixePaysage(GetParam());
    }
    // The sheets of the first cave only: the two caves lie kilometres apart.
    void PremiereCavite()
    {
        ctx.massif.ActiveSelection(true);
        for (TFiche* f : ctx.massif.Fiches)
            if (f->Cavite.Chaine() == ctx.massif.Fiches[0]->Cavite.Chaine())
                ctx.massif.Selection->push_back(f);
    }
    // The shot ends of the current sheets, as `projette` places a station in the view.
    std::vector<Point2> Extremites(const std::function<Point2(const TStation&)>& projette)
    {
        std::vector<Point2> r;
        for (const TFiche* f : *ctx.massif.FichesCourantes)
            for (const TGalerie* g : f->Galeries)
                for (int k = 1; k <= g->NbStations(); ++k)
                    r.push_back(projette(g->Station(k)));
        return r;
    }
    // A station where the plan draws it.
    static std::function<Point2(const TStation&)> SurLePlan(const TPlan& plan)
    {
        return [&plan](const TStation& s) {
            Point2 p;
            plan.Projette(static_cast<double>(s.X.d()), static_cast<double>(s.Y.d()), p.x, p.y);
            return p;
        };
    }
    // The view's extents at a scale, as the window's redraw gives them; false when it has
    // nothing to draw.
    static bool Mesure(TGraphique& vue, int echelle)
    {
        vue.Echelle = echelle;
        CanvasEnregistreur image(800, 600);
        int l, h;
        vue.Dimensions(l, h, 96 / 25.4, 1, image);
        return vue.Donnees;
    }
    // The section branch the expert builds from E/1 to S/3.
    void BrancheE1S3()
    {
        TExpert expert(ctx);
        expert.FormShow();
        expert.Nom_Depart->setText("E");
        expert.Indice_depart->setText("1");
        expert.Nom_Arrivee->setText("S");
        expert.Indice_Arrivee->setText("3");
        ASSERT_TRUE(expert.Construit());
        ctx.massif.CalculeCoupe();
    }
    std::vector<Point2> ExtremitesCoupe()
    {
        std::vector<Point2> r;
        for (const TFiche* f : ctx.massif.Fiches)
            for (const TGalerie* g : f->Galeries) {
                if (!g->DansCoupe)
                    continue;
                const double z0 = g->CoupeZ0.d();
                r.push_back({(g->Sens ? g->CoupeX0 : g->CoupeX1).d(), static_cast<double>(g->Depart.Z.d()) + z0});
                for (int k = 1; k <= g->NbStations(); ++k)
                    r.push_back({g->Station(k).Abscisse.d(), static_cast<double>(g->Station(k).Z.d()) + z0});
            }
        return r;
    }
};

TEST_P(PagesExemple, LockedSectionOriginsInsideAndOutsideTheDrawing)
{
    BrancheE1S3();
    const std::vector<Point2> extremites = ExtremitesCoupe();
    ASSERT_GT(extremites.size(), 11u);
    TCoupe vue(ctx);
    ASSERT_TRUE(Mesure(vue, 2000));
    ctx.coupe.Origine = true;
    // Above the section, far below it (the default origin), right of and below it: three
    // pages across, one down, each with part of the section; two by two across, where the
    // descending section leaves a corner page blank. Then an origin inside the drawing,
    // whose grid has corners that the section does not reach.
    for (Point2 o : {Point2{0, 2000}, Point2{0, 0}, Point2{300, 500}, Point2{40, 1400}}) {
        SCOPED_TRACE(testing::Message() << "origin " << o.x << ", " << o.y);
        ctx.coupe.X_Origine = o.x;
        ctx.coupe.Z_Origine = o.y;
        const Impression imp = Imprime(vue, ctx.imprimante);
        const bool dedans = o.y == 1400;
        EXPECT_EQ(std::make_pair(imp.colonnes, imp.lignes),
                  GetParam() ? std::make_pair(dedans ? 3 : 2, 2) : std::make_pair(3, dedans ? 2 : 1));
        VerifieGrille(vue, imp, extremites, o.x, o.y, !dedans && !GetParam());
    }
}

TEST_P(PagesExemple, LockedPlanOriginFarOutsideTheDrawing)
{
    PremiereCavite();
    ctx.options.Origine = true;
    TPlan plan(ctx);
    // Unturned: a turned plan's extents are the turned corners of its box, wider than what
    // it draws.
    ASSERT_TRUE(Mesure(plan, 5000));
    const std::vector<Point2> extremites = Extremites(SurLePlan(plan));
    // The map origin, hundreds of kilometres away (two pages), then a point just south-west
    // of the cave (one page).
    for (Point2 o : {Point2{0, 0}, Point2{812000, 3209800}}) {
        SCOPED_TRACE(testing::Message() << "origin " << o.x << ", " << o.y);
        ctx.options.X_Origine = o.x;
        ctx.options.Y_Origine = o.y;
        double ox, oy;
        plan.Projette(o.x, o.y, ox, oy);
        const Impression imp = Imprime(plan, ctx.imprimante);
        VerifieGrille(plan, imp, extremites, ox, oy, true);
    }
}

TEST_P(PagesExemple, EveryViewDrawsInsideItsPageFrames)
{
    PremiereCavite();
    // The view's pages at a scale: several, nothing outside their frames, every shot end
    // drawn on one.
    auto verifie = [&](TGraphique& vue, int echelle, const std::function<Point2(const TStation&)>& projette) {
        ASSERT_TRUE(Mesure(vue, echelle));
        const Impression imp = Imprime(vue, ctx.imprimante);
        EXPECT_GT(imp.colonnes * imp.lignes, 1);
        VerifieCadres(imp);
        VerifieExtremites(vue, imp, projette ? Extremites(projette) : ExtremitesCoupe());
    };
    // The plan with its north arrow, scale bar and grid, on pages cut through the cave.
    TPlan plan(ctx);
    verifie(plan, 1000, SurLePlan(plan));
    TPerspective perspective(ctx);
    perspective.Tourne(30, 20);
    verifie(perspective, 1000, [&](const TStation& s) {
        double h, d, v;
        perspective.Projette(static_cast<double>(s.X.d()), static_cast<double>(s.Y.d()), static_cast<double>(s.Z.d()),
                             h, d, v);
        return Point2{h, v};
    });
    // The section on a free grid.
    BrancheE1S3();
    TCoupe coupe(ctx);
    verifie(coupe, 500, nullptr);
    // The default table is wider than a page: its columns are cut at the frame.
    TTableau tableau(ctx);
    const Impression imp = Imprime(tableau, ctx.imprimante);
    EXPECT_EQ(imp.colonnes, 2);
    VerifieCadres(imp);
    int textes = 0;
    for (const auto& page : imp.pages)
        textes += static_cast<int>(DuGenre(*page, Trace::Texte).size());
    EXPECT_GT(textes, 0);
}

INSTANTIATE_TEST_SUITE_P(Imprimante, PagesExemple, ::testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& i) { return i.param ? "Paysage" : "Portrait"; });

}  // namespace
