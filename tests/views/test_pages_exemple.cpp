// The printed pages of the sample massif with a locked page origin, read back from a
// recording canvas: every page holds part of the drawing, every shot end lies on a page,
// and a page border runs through the origin; for the section and for the plan.

#include <gtest/gtest.h>

#include <QLineEdit>

#include <cmath>
#include <memory>

#include "platform/interlocuteur.h"
#include "views/coupe_vue.h"
#include "views/expert.h"
#include "views/plan.h"
#include "coupe_factice.h"

using namespace karst;
using namespace karst::test;

namespace {

// The fake printer: 4724 x 6780 pixels for 200 x 287 mm; margins of 10 mm all round.
constexpr int kMarge = 10;
constexpr double kPx = 4724.0 / 200;
constexpr double kLargeurUtile = 200 - 2 * kMarge, kHauteurUtile = 287 - 2 * kMarge;

struct Point2 {
    double x, y;  // view coordinates, metres
};

struct Impression {
    int colonnes = 0, lignes = 0;
    std::vector<std::unique_ptr<CanvasEnregistreur>> pages;
    double origineX = 0, origineY = 0;  // of the first page, as drawn
};

// Every page of the grid, drawn as the print loop draws it.
Impression Imprime(TGraphique& vue) {
    Impression r;
    vue.NombrePages(r.colonnes, r.lignes, 2 * kMarge, 2 * kMarge);
    for (int p = 0; p < r.colonnes * r.lignes; ++p) {
        auto page = std::make_unique<CanvasEnregistreur>(4724, 6780, 600);
        vue.DessinePage(p % r.colonnes, p / r.colonnes, kMarge, kMarge, ModeNormal, *page, 1.0);
        if (p == 0) r.origineX = vue.OrigineX, r.origineY = vue.OrigineY;
        r.pages.push_back(std::move(page));
    }
    return r;
}

// The segments recorded on a page, in page pixels.
std::vector<std::array<double, 4>> Segments(const CanvasEnregistreur& c) {
    std::vector<std::array<double, 4>> r;
    for (const Trace& t : c.Traces) {
        if (t.genre == Trace::Ligne) r.push_back({double(t.x0), double(t.y0), double(t.x1), double(t.y1)});
        if (t.genre == Trace::Polyligne)
            for (std::size_t i = 1; i < t.points.size(); ++i)
                r.push_back({double(t.points[i - 1].first), double(t.points[i - 1].second), double(t.points[i].first),
                             double(t.points[i].second)});
    }
    return r;
}

bool DansLaZone(double x, double y, double tolerance = 0) {
    return x >= kMarge * kPx - tolerance && x <= (kMarge + kLargeurUtile) * kPx + tolerance &&
           y >= kMarge * kPx - tolerance && y <= (kMarge + kHauteurUtile) * kPx + tolerance;
}

// Checks the printed grid against the drawing's shot ends and the locked origin (ox, oy):
// the first and last columns and rows hold part of the drawing, and with `chaquePage` every
// page does.
void VerifieGrille(const TGraphique& vue, const Impression& imp, const std::vector<Point2>& extremites, double ox,
                   double oy, bool chaquePage) {
    ASSERT_GT(imp.colonnes, 0);
    ASSERT_GT(imp.lignes, 0);
    const double e = vue.Echelle;
    // A page starts every printable width; page (0, 0) starts -OrigineX of one into the drawing.
    const double pasX = 4724 - 2 * kMarge * kPx, pasY = 6780 - 2 * kMarge * kPx;
    auto pagePx = [&](Point2 p, int c, int l) {
        return Point2{((p.x - vue.Xmin) * 1000 / e + kMarge) * kPx - pasX * (c - imp.origineX),
                      ((vue.Ymax - p.y) * 1000 / e + kMarge) * kPx - pasY * (l - imp.origineY)};
    };
    // The shot ends are where page 0 drew its lines: the mapping above is the page's.
    const auto segments0 = Segments(*imp.pages[0]);
    for (const Point2& p : extremites) {
        const Point2 q = pagePx(p, 0, 0);
        bool trouve = false;
        for (const auto& s : segments0)
            trouve = trouve || (std::abs(s[0] - q.x) <= 1 && std::abs(s[1] - q.y) <= 1) ||
                     (std::abs(s[2] - q.x) <= 1 && std::abs(s[3] - q.y) <= 1);
        ASSERT_TRUE(trouve) << p.x << ", " << p.y;
    }
    // Every shot end on some page.
    for (const Point2& p : extremites) {
        bool imprime = false;
        for (int c = 0; c < imp.colonnes && !imprime; ++c)
            for (int l = 0; l < imp.lignes && !imprime; ++l) {
                const Point2 q = pagePx(p, c, l);
                imprime = DansLaZone(q.x, q.y, 1);
            }
        EXPECT_TRUE(imprime) << p.x << ", " << p.y;
    }
    // Which pages have part of the drawing inside their printable area.
    std::vector<bool> encre(imp.pages.size(), false);
    for (std::size_t i = 0; i < imp.pages.size(); ++i)
        for (const auto& s : Segments(*imp.pages[i]))
            for (int k = 0; k <= 64 && !encre[i]; ++k)
                encre[i] = DansLaZone(s[0] + (s[2] - s[0]) * k / 64, s[1] + (s[3] - s[1]) * k / 64);
    auto page = [&](int c, int l) { return static_cast<bool>(encre[static_cast<std::size_t>(l * imp.colonnes + c)]); };
    for (int c : {0, imp.colonnes - 1}) {
        bool colonne = false;
        for (int l = 0; l < imp.lignes; ++l) colonne = colonne || page(c, l);
        EXPECT_TRUE(colonne) << "column " << c + 1 << " of " << imp.colonnes;
    }
    for (int l : {0, imp.lignes - 1}) {
        bool ligne = false;
        for (int c = 0; c < imp.colonnes; ++c) ligne = ligne || page(c, l);
        EXPECT_TRUE(ligne) << "row " << l + 1 << " of " << imp.lignes;
    }
    for (std::size_t i = 0; chaquePage && i < imp.pages.size(); ++i)
        EXPECT_TRUE(encre[i]) << "page " << i + 1 << " of " << imp.colonnes << " x " << imp.lignes;
    // A page border through the origin, across and down.
    const double bx = (ox - vue.Xmin) * 1000 / e / kLargeurUtile + imp.origineX;
    const double by = (vue.Ymax - oy) * 1000 / e / kHauteurUtile + imp.origineY;
    EXPECT_NEAR(bx, std::nearbyint(bx), 1e-6);
    EXPECT_NEAR(by, std::nearbyint(by), 1e-6);
}

class PagesExemple : public ::testing::Test {
protected:
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    ContexteCoupe ctx;

    void SetUp() override {
        AssureApplication();
        ASSERT_TRUE(ChargeExemple(ctx.massif));
        CoupeNue(ctx.coupe);
    }
    // The view's extents at a scale, as the window's redraw gives them; false when it has
    // nothing to draw.
    static bool Mesure(TGraphique& vue, int echelle) {
        vue.Echelle = echelle;
        CanvasEnregistreur image(800, 600);
        int l, h;
        vue.Dimensions(l, h, 96 / 25.4, 1, image);
        return vue.Donnees;
    }
    // The section branch the expert builds from E/1 to S/3.
    void BrancheE1S3() {
        TExpert expert(ctx);
        expert.FormShow();
        expert.Nom_Depart->setText("E");
        expert.Indice_depart->setText("1");
        expert.Nom_Arrivee->setText("S");
        expert.Indice_Arrivee->setText("3");
        ASSERT_TRUE(expert.Construit());
        ctx.massif.CalculeCoupe();
    }
    std::vector<Point2> ExtremitesCoupe() {
        std::vector<Point2> r;
        for (const TFiche* f : ctx.massif.Fiches)
            for (const TGalerie* g : f->Galeries) {
                if (!g->DansCoupe) continue;
                const double z0 = g->CoupeZ0.d();
                r.push_back({(g->Sens ? g->CoupeX0 : g->CoupeX1).d(), static_cast<double>(g->Depart.Z.d()) + z0});
                for (int k = 1; k <= g->NbStations(); ++k)
                    r.push_back({g->Station(k).Abscisse.d(), static_cast<double>(g->Station(k).Z.d()) + z0});
            }
        return r;
    }
};

TEST_F(PagesExemple, LockedSectionOriginsInsideAndOutsideTheDrawing) {
    BrancheE1S3();
    const std::vector<Point2> extremites = ExtremitesCoupe();
    ASSERT_GT(extremites.size(), 11u);
    TCoupe vue(ctx);
    ASSERT_TRUE(Mesure(vue, 2000));
    ctx.coupe.Origine = true;
    // Above the section, far below it (the default origin), right of and below it: three
    // pages across, one down, each with part of the section. Then an origin inside the
    // drawing, whose grid has corners that the descending section does not reach.
    for (Point2 o : {Point2{0, 2000}, Point2{0, 0}, Point2{300, 500}, Point2{40, 1400}}) {
        SCOPED_TRACE(testing::Message() << "origin " << o.x << ", " << o.y);
        ctx.coupe.X_Origine = o.x;
        ctx.coupe.Z_Origine = o.y;
        const Impression imp = Imprime(vue);
        EXPECT_EQ(imp.colonnes * imp.lignes, o.y == 1400 ? 6 : 3);
        VerifieGrille(vue, imp, extremites, o.x, o.y, o.y != 1400);
    }
}

TEST_F(PagesExemple, LockedPlanOriginFarOutsideTheDrawing) {
    // The sheets of the first cave only: the two caves lie kilometres apart.
    ctx.massif.ActiveSelection(true);
    for (TFiche* f : ctx.massif.Fiches)
        if (f->Cavite.Chaine() == ctx.massif.Fiches[0]->Cavite.Chaine()) ctx.massif.Selection->push_back(f);
    ctx.options.Origine = true;
    TPlan plan(ctx);
    // Unturned: a turned plan's extents are the turned corners of its box, wider than what
    // it draws.
    ASSERT_TRUE(Mesure(plan, 5000));
    std::vector<Point2> extremites;
    for (const TFiche* f : *ctx.massif.FichesCourantes)
        for (const TGalerie* g : f->Galeries)
            for (int k = 1; k <= g->NbStations(); ++k) {
                Point2 p;
                plan.Projette(static_cast<double>(g->Station(k).X.d()), static_cast<double>(g->Station(k).Y.d()), p.x,
                              p.y);
                extremites.push_back(p);
            }
    // The map origin, hundreds of kilometres away (two pages), then a point just south-west
    // of the cave (one page).
    for (Point2 o : {Point2{0, 0}, Point2{812000, 3209800}}) {
        SCOPED_TRACE(testing::Message() << "origin " << o.x << ", " << o.y);
        ctx.options.X_Origine = o.x;
        ctx.options.Y_Origine = o.y;
        double ox, oy;
        plan.Projette(o.x, o.y, ox, oy);
        const Impression imp = Imprime(plan);
        VerifieGrille(plan, imp, extremites, ox, oy, true);
    }
}

}  // namespace
