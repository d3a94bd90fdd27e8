// Statistics of a list of sheets and the direction rose of their shots.

#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>

#include "dialogs/statistique.h"
#include "hote_factice.h"
#include "platform/canvas.h"

using namespace karst;
using namespace karst::test;

namespace {

// One gallery of shots (length, unit, azimuth unit, azimuth, slope, horizontal length).
struct Tir {
    double longueur;
    int unite = 0;
    int uniteAzimut = 0;
    double azimut = 0;
    double pente = 0;
    double horizontale = 1;
};

TFiche& FicheDeTirs(TMassif& m, const std::vector<Tir>& tirs)
{
    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    for (const Tir& t : tirs) {
        auto v = std::make_unique<TVisee>();
        v->Longueur = t.longueur;
        v->UniteLongueur = static_cast<uint8_t>(t.unite);
        v->UniteAzimut = static_cast<uint8_t>(t.uniteAzimut);
        v->Azimut = t.azimut;
        v->Pente = t.pente;
        v->Horizontale = t.horizontale;
        g->AjouteVisee(std::move(v));
    }
    f->Galeries.ajoute(std::move(g));
    return *m.AjouteFiche(std::move(f), false);
}

class Statistiques : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    TMassif m;
};

}  // namespace

TEST_F(Statistiques, TotauxEtAltitudes)
{
    TFiche& a = FicheDeTirs(m, {{10}, {250, 1}, {7}});
    a.Galeries[0]->Visee(3)->AvecCorrDeveloppement = true;
    a.Galeries[0]->Visee(3)->CorrDeveloppement = 4.5;
    a.Premiere = 12.25;
    TStatistique s(m);
    s.Fiches = {&a};
    s.FormShow();
    EXPECT_EQ(s.Fiche->text(), QStringLiteral("Nombre de fiches : 1"));
    EXPECT_EQ(s.Galerie->text(), QStringLiteral("Nombre de galerie : 1"));
    EXPECT_EQ(s.Visee->text(), QStringLiteral("Nombre de visée : 3"));
    // 10 m, 250 cm, and the correction in place of 7 m.
    EXPECT_EQ(s.Dev->text(), QStringLiteral("Développement (m) : 17"));
    EXPECT_EQ(s.Prem->text(), QStringLiteral("Première (m) : 12.25"));
    // Nothing positioned: the starting values.
    EXPECT_EQ(s.Inf->text(), QStringLiteral("Altitude inférieure (m) : 1E6"));
    EXPECT_EQ(s.Sup->text(), QStringLiteral("Altitude supérieure (m) : -1E6"));
    EXPECT_TRUE(m.PointsCalcules);

    // A placed gallery: its start and its stations.
    TFiche& b = Fiche(m, {"S", "C", "R", "L"});
    TGalerie& g = AjouteGalerie(b, "X", "Y", {0, 0, 3.5}, {{1, 0, -12.25}, {2, 0, 1}});
    m.PointsCalcules = false;
    s.Fiches = {&a, &b};
    s.FormShow();
    EXPECT_EQ(s.Galerie->text(), QStringLiteral("Nombre de galerie : 3"));
    EXPECT_EQ(s.Inf->text(), QStringLiteral("Altitude inférieure (m) : -12.25"));
    EXPECT_EQ(s.Sup->text(), QStringLiteral("Altitude supérieure (m) : 3.5"));
    EXPECT_TRUE(g.Placee);
}

TEST_F(Statistiques, SecteursDeLaRose)
{
    EXPECT_EQ(TfrmRose::SecteurAzimut(95, 0), 9);
    EXPECT_EQ(TfrmRose::SecteurAzimut(105, 1), 9);   // 94.5 degrees
    EXPECT_EQ(TfrmRose::SecteurAzimut(105, 5), 28);  // 285 degrees
    EXPECT_EQ(TfrmRose::SecteurAzimut(380, 6), 16);  // 342 + 180 = 522: 162 degrees
    EXPECT_EQ(TfrmRose::SecteurAzimut(-5, 0), 35);   // below zero: the same direction

    TFiche& f = FicheDeTirs(m, {{5, 0, 0, 95, -5},
                                {5, 0, 0, 95, 5},
                                {5, 0, 0, 95, 0},
                                {5, 0, 0, 95, 90, 0},  // vertical
                                {0, 0, 0, 95, -5},     // no length
                                {5, 0, 1, 105, -5}});
    TStatistique s(m);
    s.Fiches = {&f};
    Statistique = &s;
    TfrmRose r;
    r.resize(400, 430);
    r.ComputeRose();
    Statistique = nullptr;
    EXPECT_EQ(r.TotalVisees, 4);
    std::array<int, 36> attendu{};
    attendu[9] = 2 + 1 + 2;
    attendu[27] = 2 + 1;
    EXPECT_EQ(r.Secteurs, attendu);

    // Hovering: straight above the centre is north, straight below is south.
    EXPECT_EQ(r.TextePointe(200, 100, 200, 200), QStringLiteral("000° -> 0 visées sur 4 (0%)"));
    EXPECT_EQ(r.TextePointe(200, 300, 200, 200), QStringLiteral("180° -> 0 visées sur 4 (0%)"));
    EXPECT_EQ(r.TextePointe(300, 201, 200, 200), QStringLiteral("090° -> 2 visées sur 4 (62%)"));
    EXPECT_EQ(r.TextePointe(100, 200, 200, 200), QStringLiteral("270° -> 1 visées sur 4 (37%)"));
    TfrmRose vide;
    EXPECT_EQ(vide.TextePointe(0, 0, 10, 10), QStringLiteral("315° -> 0 visées sur 0 (0%)"));
}

TEST_F(Statistiques, DessinDeLaRose)
{
    TfrmRose r;
    r.imgRose->resize(300, 300);
    r.Secteurs[9] = 4;   // 90 to 100 degrees: the longest wedge
    r.Secteurs[27] = 2;  // 270 to 280: half as long
    r.TotalVisees = 3;
    r.DrawRose();
    CanvasImage& c = *r.Bitmap;
    const Couleur cyan = 0xFFFF00;
    // The wedges lie clockwise from their bearing, north up.
    EXPECT_EQ(c.Pixel(150 + 80, 150 + 7), cyan);  // bearing about 95
    EXPECT_NE(c.Pixel(150 + 80, 150 - 7), cyan);  // bearing about 85
    EXPECT_EQ(c.Pixel(150 - 40, 150 - 3), cyan);  // bearing about 275, half the radius
    EXPECT_NE(c.Pixel(150 - 80, 150 - 7), cyan);  // beyond it
    EXPECT_EQ(c.Pixel(150, 150), kBlanc);         // the central disc
    EXPECT_EQ(c.Pixel(2, 2), 0xF0F0F0u);          // the face around
}

// Every whole bearing, whatever its unit, counts in the sector that holds it: the round trip
// through radians must not push it into the sector below.
TEST_F(Statistiques, RoseDesAzimutsEntiers)
{
    TFiche& f = FicheDeTirs(m, {{5, 0, 0, 0, -5}});
    TVisee& v = *f.Galeries[0]->Visee(1);
    TStatistique s(m);
    s.Fiches = {&f};
    Statistique = &s;
    TfrmRose r;
    r.resize(200, 230);
    auto secteur = [&](int unite, int valeur) {
        v.UniteAzimut = static_cast<uint8_t>(unite);
        v.Azimut = valeur;
        r.ComputeRose();
        for (int k = 0; k < 36; ++k)
            if (r.Secteurs[static_cast<std::size_t>(k)] == 2)
                return k;
        return -1;
    };
    for (int a = 0; a < 360; ++a) {
        EXPECT_EQ(secteur(0, a), a / 10) << a << " degrees";
        EXPECT_EQ(secteur(5, a), (a + 180) % 360 / 10) << a << " reversed degrees";
    }
    for (int g = 0; g < 400; ++g) {
        const int dixiemes = g * 9;  // the bearing in tenths of a degree, a whole number
        EXPECT_EQ(secteur(1, g), dixiemes / 100) << g << " grads";
        EXPECT_EQ(secteur(6, g), (dixiemes + 1800) % 3600 / 100) << g << " reversed grads";
    }
    Statistique = nullptr;
}

// The window as it opens: every bearing label, "Ouest" and "Est" the widest, lies whole
// within the picture.
TEST_F(Statistiques, EtiquettesDeLaRoseEntieres)
{
    TfrmRose r;
    r.show();
    QApplication::processEvents();
    ASSERT_EQ(r.Etiquettes.size(), 12u);
    const QRect image(0, 0, r.Bitmap->Largeur(), r.Bitmap->Hauteur());
    for (const QRect& e : r.Etiquettes)
        EXPECT_TRUE(image.contains(e)) << e.left() << "," << e.top() << " " << e.width() << "x" << e.height();
    r.hide();
}
