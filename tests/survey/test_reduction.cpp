#include <gtest/gtest.h>

#include <cmath>

#include "survey/modele.h"

using namespace karst;

namespace {

constexpr double kTol = 1e-9;

TVisee* Ajoute(TGalerie& g, long double l, long double a, long double p, uint8_t ua = 0, uint8_t up = 0, uint8_t ul = 0)
{
    auto v = std::make_unique<TVisee>();
    v->Longueur = l;
    v->Azimut = a;
    v->Pente = p;
    v->UniteAzimut = ua;
    v->UnitePente = up;
    v->UniteLongueur = ul;
    return g.AjouteVisee(std::move(v));
}

// A gallery of one shot, reduced without rotation.
struct UnTir {
    TGalerie g;
    UnTir(long double l, long double a, long double p, uint8_t ua = 0, uint8_t up = 0, uint8_t ul = 0)
    {
        Ajoute(g, l, a, p, ua, up, ul);
        g.CalculeVisees(0);
    }
    double H() const { return g.Visee(1)->Horizontale.d(); }
};

}  // namespace

TEST(Reduction, PenteEnDegresEtVulcain)
{
    for (auto [code, lecture, dz] : {std::tuple{0, 30.0L, 5.0}, {4, 60.0L, 5.0}, {9, 60.0L, -5.0}, {5, -30.0L, 5.0}}) {
        UnTir t(10, 0, lecture, 0, static_cast<uint8_t>(code));
        EXPECT_NEAR(t.H(), 8.66025403784, kTol) << code;
        EXPECT_NEAR(t.g.SommeDY.d(), 8.66025403784, kTol) << code;
        EXPECT_NEAR(t.g.SommeDX.d(), 0, kTol) << code;
        EXPECT_NEAR(t.g.SommeDZ.d(), dz, kTol) << code;
        EXPECT_EQ(t.g.SommeL.d(), 10);
        EXPECT_EQ(t.g.SommeL2.d(), 100);
        EXPECT_EQ(t.g.Visee(1)->Z.d(), t.g.SommeDZ.d());
    }
    UnTir horizontal(10, 0, 90, 0, 4);
    EXPECT_NEAR(horizontal.g.SommeDZ.d(), 0, kTol);
    UnTir grades(10, 0, 50, 0, 1);  // 45 degrees
    EXPECT_NEAR(grades.g.SommeDZ.d(), 10 / std::sqrt(2.0), kTol);
    UnTir gradesInverses(10, 0, 50, 0, 6);
    EXPECT_NEAR(gradesInverses.g.SommeDZ.d(), -10 / std::sqrt(2.0), kTol);
}

TEST(Reduction, DenivelesEnMetresEtCentimetres)
{
    UnTir m(10, 0, 6, 0, 2);
    EXPECT_NEAR(m.H(), 8, kTol);
    EXPECT_NEAR(m.g.SommeDZ.d(), 6, kTol);
    UnTir cm(1000, 0, 600, 0, 3, 1);
    EXPECT_NEAR(cm.H(), 8, kTol);
    EXPECT_NEAR(cm.g.SommeDZ.d(), 6, kTol);
    EXPECT_EQ(cm.g.SommeL.d(), 10);
    EXPECT_EQ(cm.g.SommeL2.d(), 100);
    EXPECT_EQ(cm.g.Developpement.d(), 10);
    UnTir inverse(10, 0, 600, 0, 8);
    EXPECT_NEAR(inverse.g.SommeDZ.d(), -6, kTol);
    // A height difference above the length leaves no horizontal length.
    UnTir vertical(10, 0, 12, 0, 2);
    EXPECT_EQ(vertical.H(), 0);
    EXPECT_EQ(vertical.g.SommeDZ.d(), 12);
    UnTir verticalInverse(10, 0, 12, 0, 7);
    EXPECT_EQ(verticalInverse.g.SommeDZ.d(), -12);
}

TEST(Reduction, UnitesDAzimut)
{
    UnTir grades(10, 100, 0, 1);
    EXPECT_NEAR(grades.g.SommeDX.d(), 10, kTol);
    EXPECT_NEAR(grades.g.SommeDY.d(), 0, kTol);
    UnTir gradesInverses(10, 0, 0, 6);
    EXPECT_NEAR(gradesInverses.g.SommeDY.d(), -10, kTol);
    UnTir degresInverses(10, 10, 0, 5);
    UnTir degres(10, 190, 0, 0);
    EXPECT_NEAR(degresInverses.g.SommeDX.d(), degres.g.SommeDX.d(), kTol);
    EXPECT_NEAR(degresInverses.g.SommeDY.d(), degres.g.SommeDY.d(), kTol);
}

TEST(Reduction, DeclinaisonEtAngleGeodesique)
{
    TFiche f;
    f.Declinaison = 2;
    auto g = std::make_unique<TGalerie>();
    Ajoute(*g, 10, 92, 0);
    TGalerie* gal = f.Galeries.ajoute(std::move(g));
    gal->Placee = true;
    f.Calcule(0);
    EXPECT_NEAR(gal->SommeDX.d(), 10, kTol);
    EXPECT_NEAR(std::fabs(gal->SommeDY.d()), 0, kTol);
    EXPECT_FALSE(gal->Placee);

    // The geodesic angle adds to the declination; grads for the sheet's unit 1.
    f.Declinaison = 0;
    f.Calcule(2);
    EXPECT_NEAR(gal->SommeDX.d(), 10, kTol);
    f.Declinaison = 100;
    f.Unite_Decli = 1;
    gal->Visee(1)->Azimut = 90;
    f.Calcule(0);
    EXPECT_NEAR(gal->SommeDY.d(), 10, kTol);
    EXPECT_NEAR(gal->SommeDX.d(), 0, kTol);
}

TEST(Reduction, SommesCumuleesEtDeveloppement)
{
    TGalerie g;
    Ajoute(g, 3, 0, 0);
    TVisee* v = Ajoute(g, 4, 90, 0);
    v->AvecCorrDeveloppement = true;
    v->CorrDeveloppement = 4.5L;
    Ajoute(g, 200, 180, 0, 0, 0, 1);
    g.Placee = true;
    g.CalculeVisees(0);
    EXPECT_NEAR(g.Visee(1)->Y.d(), 3, kTol);
    EXPECT_NEAR(g.Visee(2)->X.d(), 4, kTol);
    EXPECT_NEAR(g.Visee(2)->Y.d(), 3, kTol);
    EXPECT_NEAR(g.Visee(3)->Y.d(), 1, kTol);
    EXPECT_EQ(g.SommeL.d(), 9);
    EXPECT_EQ(g.SommeL2.d(), 9 + 16 + 4);
    EXPECT_EQ(g.Developpement.d(), 3 + 4.5 + 2);
    EXPECT_FALSE(g.Placee);

    TGalerie vide;
    vide.SommeDX = 5;
    vide.Developpement = 3;
    vide.Placee = true;
    vide.CalculeVisees(0);
    EXPECT_EQ(vide.SommeDX.d(), 0);
    EXPECT_EQ(vide.Developpement.d(), 0);
    EXPECT_FALSE(vide.Placee);
    vide.PlacePoints();
    EXPECT_EQ(vide.NbStations(), 0);
}

namespace {

// Start (0,0,0), end (0,12,0), shots of 4 m and 6 m due north.
std::unique_ptr<TGalerie> GalerieNord(long double coefficient = 1)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte("A");
    g->Arrivee.Nom.Affecte("B");
    g->Arrivee.Y = 12;
    Ajoute(*g, 4, 0, 0);
    Ajoute(*g, 6, 0, 0);
    g->CalculeVisees(0);
    g->Placee = true;
    g->Coefficient = coefficient;
    return g;
}

}  // namespace

TEST(Placement, EcartReparti)
{
    auto g = GalerieNord();
    g->PlacePoints();
    ASSERT_EQ(g->NbStations(), 2);
    EXPECT_NEAR(g->Station(1).X.d(), 0, kTol);
    EXPECT_NEAR(g->Station(1).Y.d(), 4.8, kTol);
    EXPECT_NEAR(g->Station(2).Y.d(), 12, kTol);
    EXPECT_NEAR(g->Station(2).Z.d(), 0, kTol);
}

TEST(Placement, DepartTerminusPlaceDepuisLArrivee)
{
    TGalerie g;
    g.Depart.Terminus = true;
    g.Arrivee.X = 5;
    g.Arrivee.Y = 5;
    g.Arrivee.Z = 5;
    Ajoute(g, 10, 90, 0);
    g.CalculeVisees(0);
    g.Placee = true;
    g.PlacePoints();
    EXPECT_NEAR(g.Depart.X.d(), -5, kTol);
    EXPECT_NEAR(g.Depart.Y.d(), 5, kTol);
    EXPECT_NEAR(g.Depart.Z.d(), 5, kTol);
    EXPECT_NEAR(g.Station(1).X.d(), 5, kTol);

    // An end terminus: laid out from the start, no correction, the end untouched.
    TGalerie h;
    h.Depart.X = 1;
    h.Arrivee.Terminus = true;
    h.Arrivee.X = 100;
    Ajoute(h, 10, 90, 0);
    Ajoute(h, 100, 0, 0, 0, 0, 1);
    h.CalculeVisees(0);
    h.Placee = true;
    h.PlacePoints();
    EXPECT_NEAR(h.Station(2).X.d(), 11, kTol);
    EXPECT_NEAR(h.Station(2).Y.d(), 1, kTol);
    EXPECT_EQ(h.Arrivee.X.d(), 100);
}

TEST(Placement, LongueurNulleEntreDeuxPointsConnus)
{
    TGalerie g;
    g.Arrivee.Nom.Affecte("B");
    g.Arrivee.X = 3;
    Ajoute(g, 0, 0, 0);
    g.CalculeVisees(0);
    g.Placee = true;
    g.PlacePoints();
    EXPECT_TRUE(std::isfinite(g.Station(1).X.d()));
    EXPECT_EQ(g.Station(1).X.d(), 0);
}

TEST(Placement, GalerieNonPositionneeSansCoordonnees)
{
    auto g = GalerieNord();
    g->Placee = false;
    g->PlacePoints();
    EXPECT_EQ(g->NbStations(), 2);  // records exist, unfilled
}

TEST(Placement, PireGalerie)
{
    TMassif m;
    auto f = std::make_unique<TFiche>();
    f->Galeries.ajoute(GalerieNord(2));
    f->Galeries.ajoute(GalerieNord(1));
    f->Galeries.ajoute(GalerieNord(1));  // same ratio: the earlier one is reported
    m.AjouteFiche(std::move(f), false);
    int fiche = -7, galerie = -7;
    EXPECT_NEAR(m.PireGalerie(fiche, galerie), 0.2, 1e-9);
    EXPECT_TRUE(m.PointsCalcules);
    EXPECT_EQ(fiche, 0);
    EXPECT_EQ(galerie, 1);

    TMassif seul;
    auto f2 = std::make_unique<TFiche>();
    f2->Galeries.ajoute(GalerieNord(2));
    seul.AjouteFiche(std::move(f2), false);
    EXPECT_NEAR(seul.PireGalerie(fiche, galerie), 0.1, 1e-9);
}

TEST(Placement, PireGalerieSansDiviseurNul)
{
    TMassif m;
    auto f = std::make_unique<TFiche>();
    f->Galeries.ajoute(GalerieNord(0));  // coefficient 0
    auto g = GalerieNord(1);
    g->Visee(2)->Longueur = 0;  // zero second shot
    g->CalculeVisees(0);
    g->Placee = true;
    f->Galeries.ajoute(std::move(g));
    auto h = GalerieNord(1);
    h->Placee = false;  // not positioned
    f->Galeries.ajoute(std::move(h));
    m.AjouteFiche(std::move(f), false);
    int fiche = -7, galerie = -7;
    EXPECT_EQ(m.PireGalerie(fiche, galerie), 0);
    EXPECT_EQ(fiche, -7);
    EXPECT_EQ(galerie, -7);
}

TEST(Placement, PireGalerieUnSeulTir)
{
    TMassif m;
    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    g->Arrivee.Nom.Affecte("B");
    g->Arrivee.Y = 550;
    Ajoute(*g, 500, 0, 0, 0, 0, 1);  // 5 m in centimetres, 0.5 m short
    g->CalculeVisees(0);
    g->Placee = true;
    g->Coefficient = 1;
    f->Galeries.ajoute(std::move(g));
    m.AjouteFiche(std::move(f), false);
    int fiche = -1, galerie = -1;
    // 545 m of misclosure over a raw length of 500 cm: the ratio per metre of shot.
    EXPECT_NEAR(m.PireGalerie(fiche, galerie), 545.0 / 500 * 100, 1e-6);
    EXPECT_EQ(galerie, 0);
}

TEST(Reduction, ValeursExtremesSansEchec)
{
    // A length the format holds but whose square it does not: the reduction stores the
    // largest value it can and goes on; it never stops half-way.
    TGalerie g;
    Ajoute(g, 1e20L, 90, 0);
    Ajoute(g, 10, 0, 0);
    ASSERT_NO_THROW(g.CalculeVisees(0));
    EXPECT_EQ(g.SommeL.d(), Reel6(1e20L).d());  // 10 m is below the precision kept
    EXPECT_EQ(static_cast<long double>(g.SommeL2), Reel6::maximum());
    EXPECT_EQ(g.Developpement.d(), Reel6(1e20L).d());
    EXPECT_NEAR(g.SommeDX.d() / 1e20, 1, 1e-9);
    EXPECT_EQ(g.Visee(2)->X.d(), g.SommeDX.d());
    EXPECT_FALSE(g.Placee);

    // Sums beyond the format are held at its largest value, with their sign.
    TGalerie h;
    Ajoute(h, 1.5e38L, 0, -90);
    Ajoute(h, 1.5e38L, 0, -90);
    ASSERT_NO_THROW(h.CalculeVisees(0));
    EXPECT_EQ(static_cast<long double>(h.SommeDZ), -Reel6::maximum());
    EXPECT_EQ(static_cast<long double>(h.SommeL), Reel6::maximum());

    // A declination and a geodesic angle whose sum leaves the format.
    TFiche f;
    f.Declinaison = 1.5e38L;
    f.Galeries.ajoute(std::make_unique<TGalerie>());
    Ajoute(*f.Galeries[0], 10, 0, 0);
    EXPECT_NO_THROW(f.Calcule(1.5e38L));
    EXPECT_TRUE(std::isfinite(f.Galeries[0]->SommeDX.d()));
}

TEST(Placement, CoordonneesExtremesToujoursPlacees)
{
    // Ends near the largest value of the format: every placed gallery gets its stations,
    // the massif's later galleries included, and they hold finite coordinates.
    TMassif m;
    for (int i = 0; i < 2; ++i) {
        auto f = std::make_unique<TFiche>();
        for (int j = 0; j < 2; ++j) {
            auto g = std::make_unique<TGalerie>();
            Ajoute(*g, 10, 0, 0);
            Ajoute(*g, 10, 90, 0);
            g->CalculeVisees(0);
            g->Depart.X = i == 0 && j == 0 ? 1.5e38L : 0.0L;
            g->Arrivee.X = i == 0 && j == 0 ? -1.5e38L : 20.0L;
            g->Arrivee.Y = 10;
            g->Placee = true;
            f->Galeries.ajoute(std::move(g));
        }
        m.AjouteFiche(std::move(f), false);
    }
    ASSERT_NO_THROW(m.PlaceTousPoints());
    EXPECT_TRUE(m.PointsCalcules);
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries) {
            ASSERT_EQ(g->NbStations(), 2);
            for (int k = 1; k <= 2; ++k)
                EXPECT_TRUE(std::isfinite(g->Station(k).X.d()));
        }
    EXPECT_EQ(m.Fiches[1]->Galeries[1]->Station(2).X.d(), 20);

    // A start terminus placed back from an end near the limit.
    TGalerie t;
    t.Depart.Terminus = true;
    t.Arrivee.X = -1.7e38L;
    Ajoute(t, 1e37L, 90, 0);
    t.CalculeVisees(0);
    t.Placee = true;
    ASSERT_NO_THROW(t.PlacePoints());
    EXPECT_EQ(static_cast<long double>(t.Depart.X), -Reel6::maximum());

    // The worst-gallery search over such stations reports without failing.
    int fi = -1, ga = -1;
    EXPECT_NO_THROW(m.PireGalerie(fi, ga));
}
