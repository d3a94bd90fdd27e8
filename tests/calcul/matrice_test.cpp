// The normal-equation system: solution, zero marks and fill-in.
#include <gtest/gtest.h>

#include "calcul/matrice.h"

using namespace karst;

TEST(Matrice, ChaineEntreDeuxPointsFixes)
{
    // fixed 0 -> 1 -> 2 -> 3 -> fixed at 10: four observations of 2.6 with equal variance.
    TMatrice m(3);
    m.AjouteObservation(0, 1, 2.6, 1);
    m.AjouteObservation(1, 2, 2.6, 1);
    m.AjouteObservation(2, 3, 2.6, 1);
    m.AjouteObservation(3, 0, 2.6 - 10, 1);
    EXPECT_TRUE(m.Vide(1, 3));
    EXPECT_FALSE(m.Vide(1, 2));
    m.Resout();
    EXPECT_NEAR(m.SecondMembre(1), 2.5, 1e-12);
    EXPECT_NEAR(m.SecondMembre(2), 5.0, 1e-12);
    EXPECT_NEAR(m.SecondMembre(3), 7.5, 1e-12);
    // Eliminating unknown 2 fills cell (1, 3) in.
    EXPECT_FALSE(m.Vide(1, 3));
}

TEST(Matrice, DeuxPointsFixesRefuses)
{
    TMatrice m(1);
    EXPECT_FALSE(m.AjouteObservation(0, 0, 1, 1));
    EXPECT_EQ(m.Coefficient(1, 1), 0);
}

TEST(Matrice, PlusieursSecondsMembresEtPoids)
{
    TMatrice m(2, 3);
    const double a[3] = {1, 2, 3}, b[3] = {1.5, 2.5, 3.5};
    m.AjouteObservation(0, 1, a, 1);
    m.AjouteObservation(0, 1, b, 3);  // weight 1/3
    m.AjouteObservation(1, 2, a, 2);
    m.Resout();
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(m.SecondMembre(1, k), (a[k] + b[k] / 3) / (1 + 1.0 / 3), 1e-12);
        EXPECT_NEAR(m.SecondMembre(2, k), m.SecondMembre(1, k) + a[k], 1e-12);
    }
}

TEST(Matrice, PivotNulLaisseLInconnueAZero)
{
    TMatrice m(2);
    m.AjouteObservation(0, 1, 4, 2);
    m.Resout();
    EXPECT_NEAR(m.SecondMembre(1), 4, 1e-12);
    EXPECT_EQ(m.SecondMembre(2), 0);
}
