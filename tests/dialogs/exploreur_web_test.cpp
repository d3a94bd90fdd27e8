// The explorer's page style: layout, title band, plan thumbnail fitted to the band, and
// picking the nearest sheets with a click.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLayout>
#include <QSplitter>
#include <QTimer>

#include "dialogs/exploreur.h"
#include "hote_factice.h"
#include "platform/canvas.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"

using namespace karst;
using namespace karst::test;

namespace {

class PageWeb : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        hote.pageWeb = true;
    }
    std::unique_ptr<TExploreur> Cree()
    {
        auto e = std::make_unique<TExploreur>(hote);
        e->resize(977, 600);
        e->show();
        e->layout()->activate();
        QCoreApplication::sendPostedEvents();
        e->ConstruitArbre();
        return e;
    }
    // True when every pixel of the band below the title is white.
    static bool BandeBlanche(TExploreur& e)
    {
        CanvasImage& c = e.Zone_web->Bitmap();
        for (int y = 101; y < c.Hauteur(); ++y)
            for (int x = 0; x < c.Largeur(); ++x)
                if (c.Pixel(x, y) != kBlanc)
                    return false;
        return true;
    }
    TMassif& m() { return *hote.massif; }

    HoteFactice hote;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

}  // namespace

TEST_F(PageWeb, DispositionAvecEtSansPage)
{
    auto e = Cree();
    const int W = e->LargeurWeb();
    EXPECT_EQ(W, (e->width() - e->TreeView1->width() - 11) / 3);
    EXPECT_EQ(e->ListView1->geometry(), QRect(W, 70, e->Zone_web->width() - W, e->Zone_web->height() - 70));
    hote.pageWeb = false;
    e->FormResize();
    EXPECT_EQ(e->ListView1->geometry(), QRect(1, 0, e->Zone_web->width() - 1, e->Zone_web->height()));
    EXPECT_EQ(e->Zone_web->Bitmap().Largeur(), e->Zone_web->width());
}

TEST_F(PageWeb, GrotteLargeCentreeVerticalement)
{
    Fiche(m(), {"S", "C", "R", "L"}, "01/01/90", 0, 0, 100);
    AjouteGalerie(*m().Fiches[0], "B", "D", {50, 0}, {{50, 10}});
    auto e = Cree();
    e->DessineWeb();
    const double W = e->LargeurWeb(), H = e->Zone_web->height() - 100;
    const double* l = e->LimitesWeb;
    // Full width with 5 % on each side, the band's proportions, centred on the cave.
    EXPECT_NEAR(l[0], -5, 1e-9);
    EXPECT_NEAR(l[1], 105, 1e-9);
    EXPECT_NEAR((l[1] - l[0]) / (l[3] - l[2]), W / H, 1e-9);
    EXPECT_NEAR((l[2] + l[3]) / 2, 5, 1e-9);
    EXPECT_FALSE(BandeBlanche(*e));
    // The title band: the disc and the folder name.
    EXPECT_EQ(e->Zone_web->Bitmap().Pixel(50, 90), 0xFF9900u);

    // A straight east-west survey still maps, its line across the middle of the band.
    TMassif& mm = m();
    mm.Fiches.vide();
    Fiche(mm, {"S", "C", "R", "L"}, "01/01/90", 0, 0, 100);
    mm.PointsCalcules = false;
    e->DessineWeb();
    EXPECT_NEAR((l[1] - l[0]) / (l[3] - l[2]), W / H, 1e-9);
    EXPECT_NEAR((l[2] + l[3]) / 2, 0, 1e-9);
    const int milieu = 100 + static_cast<int>(H / 2);
    EXPECT_EQ(e->Zone_web->Bitmap().Pixel(static_cast<int>(W / 2), milieu), kNoir);
}

TEST_F(PageWeb, GrotteHauteCentreeHorizontalement)
{
    Fiche(m(), {"S", "C", "R", "L"}, "01/01/90", 0, 0, 1);
    AjouteGalerie(*m().Fiches[0], "B", "D", {0, 0}, {{0, 200}});
    auto e = Cree();
    e->DessineWeb();
    const double* l = e->LimitesWeb;
    EXPECT_NEAR(l[2], -10, 1e-9);
    EXPECT_NEAR(l[3], 210, 1e-9);
    EXPECT_NEAR((l[0] + l[1]) / 2, 0.5, 1e-9);
}

TEST_F(PageWeb, SansPlanPourLaCorbeilleEtLesFichesNonPlacees)
{
    TFiche& f = Fiche(m(), {"S", "C", "R", "L"});
    f.Galeries[0]->Placee = false;
    auto e = Cree();
    e->DessineWeb();
    EXPECT_TRUE(BandeBlanche(*e));
    e->SelectionneNoeud(e->NoeudCorbeille());
    e->DessineWeb();
    EXPECT_TRUE(BandeBlanche(*e));
}

TEST_F(PageWeb, LeClicChoisitLaFicheLaPlusProche)
{
    Fiche(m(), {"Ouest", "C", "R", "L"}, "01/01/90", 0, 0, 100);
    Fiche(m(), {"Est", "C", "R", "L"}, "01/01/90", 0, 50, 100);
    auto e = Cree();
    e->DessineWeb();
    const double W = e->LargeurWeb(), H = e->Zone_web->height() - 100;
    const double* l = e->LimitesWeb;
    auto pixel = [&](double x, double y) {
        return std::pair{static_cast<int>((x - l[0]) / (l[1] - l[0]) * W),
                         100 + static_cast<int>((l[3] - y) / (l[3] - l[2]) * H)};
    };
    auto [x, y] = pixel(60, 45);
    e->Zone_webMouseDown(x, y);
    ASSERT_GE(e->ListView1->Selection(), 0);
    EXPECT_EQ(e->ListView1->Texte(e->ListView1->Selection()), "Est");
    EXPECT_TRUE(e->Timer2->isActive());
    e->Timer2Timer();
    // The sheets of the picked folder in red.
    const auto [rx, ry] = pixel(50, 50);
    EXPECT_EQ(e->Zone_web->Bitmap().Pixel(rx, ry), kRouge);

    std::tie(x, y) = pixel(60, 4);
    e->Zone_webMouseDown(x, y);
    EXPECT_EQ(e->ListView1->Texte(e->ListView1->Selection()), "Ouest");
    // A click in the title band changes nothing.
    e->Zone_webMouseDown(x, 100);
    EXPECT_EQ(e->ListView1->Texte(e->ListView1->Selection()), "Ouest");
}
