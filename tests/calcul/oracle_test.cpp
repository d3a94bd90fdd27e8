// Random connected networks compared with a plain weighted least-squares solution of the
// same problem, built independently: one observation per gallery (variance coefficient x
// sum of squared shot lengths), every station not a reference an unknown, normal equations
// solved by Gaussian elimination with partial pivoting.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>

#include "aide.h"
#include "calcul/calculateur.h"

using namespace karst;
using namespace karst::essai;

namespace {

constexpr double kPi = 3.141592653589793238462643383279502884;

struct Arete {
    int a, b;  // station numbers; -1 for a terminus
};

struct Reseau {
    TMassif m;
    std::vector<std::array<double, 3>> vrai;
    int nbStations = 0, nbReferences = 0;
    std::vector<std::pair<TGalerie*, Arete>> galeries;
    std::vector<TGalerie*> isolees;
};

TPointTopo Nom(int i, std::mt19937& r)
{
    // Two stations share each name with indices 0 and 1; the case of the name varies.
    std::string n = (r() % 3 == 0 ? "p" : "P") + std::to_string(i / 2);
    return Station(n, i % 2);
}

void Genere(Reseau& R, unsigned graine)
{
    std::mt19937 r(graine);
    auto unif = [&](double a, double b) { return a + (b - a) * (r() / 4294967296.0); };
    const int n = 30 + static_cast<int>(r() % 90);
    const int nr = 1 + static_cast<int>(r() % 4);
    R.nbStations = n;
    R.nbReferences = nr;
    for (int i = 0; i < n; ++i)
        R.vrai.push_back({unif(0, 400), unif(0, 400), unif(-60, 60)});
    for (int i = 0; i < nr; ++i) {
        auto p = std::make_unique<TPointTopo>(Nom(i, r));
        p->X = R.vrai[i][0] / 1000;
        p->Y = R.vrai[i][1] / 1000;
        p->Z = R.vrai[i][2];
        R.vrai[i] = {static_cast<double>(p->X * 1000.0L), static_cast<double>(p->Y * 1000.0L), p->Z.d()};
        R.m.AjouteReference(std::move(p));
    }
    std::vector<Arete> aretes;
    for (int i = 1; i < n; ++i)
        aretes.push_back({static_cast<int>(r() % i), i});  // spanning tree
    for (int k = 0; k < n / 4; ++k)
        aretes.push_back({static_cast<int>(r() % n), static_cast<int>(r() % n)});
    for (int k = 0; k < 3; ++k)
        aretes.push_back(aretes[r() % aretes.size()]);  // parallel galleries
    for (int k = 0; k < n / 8; ++k)
        aretes.push_back({static_cast<int>(r() % n), -1});
    if (nr >= 2)
        aretes.push_back({0, 1});
    std::shuffle(aretes.begin(), aretes.end(), r);

    const int nbFiches = 4;
    std::vector<TFiche*> fiches;
    for (int k = 0; k < nbFiches; ++k)
        fiches.push_back(AjouteFiche(R.m));
    auto tirs = [&](std::array<double, 3> v) {
        std::vector<Tir> t;
        const int nb = 1 + static_cast<int>(r() % 3);
        for (int k = 0; k < nb; ++k) {
            const double f = k + 1 == nb ? 1.0 : unif(0.2, 0.6);
            const std::array<double, 3> p = {v[0] * f, v[1] * f, v[2] * f};
            v = {v[0] - p[0], v[1] - p[1], v[2] - p[2]};
            const double L = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            t.push_back({L, std::atan2(p[0], p[1]) * 180 / kPi, std::asin(p[2] / L) * 180 / kPi});
        }
        return t;
    };
    for (Arete e : aretes) {
        std::array<double, 3> v;
        if (e.b < 0)
            v = {unif(-20, 20), unif(-20, 20), unif(-5, 5)};
        else if (e.a == e.b)
            v = {unif(-0.5, 0.5), unif(-0.5, 0.5), unif(-0.5, 0.5)};
        else
            for (int k = 0; k < 3; ++k)
                v[k] = R.vrai[e.b][k] - R.vrai[e.a][k] + unif(-0.4, 0.4);
        // Keep every gallery at least a metre long so that no variance is floored.
        if (std::hypot(v[0], v[1], v[2]) < 1)
            v[0] += 2;
        std::vector<Tir> t;
        TFiche* f = fiches[r() % nbFiches];
        const double coef = unif(0.5, 2);
        TGalerie* g;
        if (e.b >= 0 && r() % 2) {  // stored the other way round
            for (double& x : v)
                x = -x;
            t = tirs(v);
            if (e.a == e.b)
                t.insert(t.end(), {{3, 10}, {3, 190}});
            g = AjouteGalerie(*f, Nom(e.b, r), Nom(e.a, r), t, coef);
            R.galeries.push_back({g, {e.b, e.a}});
        } else {
            t = tirs(v);
            if (e.a == e.b)
                t.insert(t.end(), {{3, 10}, {3, 190}});
            g = AjouteGalerie(*f, Nom(e.a, r), e.b < 0 ? Terminus() : Nom(e.b, r), t, coef);
            R.galeries.push_back({g, e});
        }
    }
    // A piece that no reference reaches: it keeps its previous state.
    TFiche* f = fiches[0];
    R.isolees.push_back(AjouteGalerie(*f, Station("Q", 1), Station("Q", 2), {{5, 10}}));
    R.isolees.push_back(AjouteGalerie(*f, Station("Q", 2), Station("Q", 3), {{5, 100}}));
    R.isolees.push_back(AjouteGalerie(*f, Terminus(), Station("Q", 3), {{5, 200}}));
    for (TGalerie* g : R.isolees)
        g->Arrivee.X = 123.25;
}

// Plain least squares over every gallery between stations.
std::vector<std::array<long double, 3>> MoindresCarres(const Reseau& R)
{
    const int n = R.nbStations;
    std::vector<int> inconnue(n, -1);
    int nu = 0;
    for (int i = R.nbReferences; i < n; ++i)
        inconnue[i] = nu++;
    std::vector<std::vector<long double>> N(nu, std::vector<long double>(nu + 3, 0));
    for (const auto& [g, e] : R.galeries) {
        if (e.b < 0 || e.a == e.b)
            continue;
        const long double w =
            1 / static_cast<long double>(static_cast<double>(static_cast<long double>(g->SommeL2) * g->Coefficient));
        const long double d[3] = {g->SommeDX, g->SommeDY, g->SommeDZ};
        const int i = inconnue[e.a], j = inconnue[e.b];
        // x_b - x_a = d
        for (int k = 0; k < 3; ++k) {
            long double rhs = d[k];
            if (i < 0)
                rhs += R.vrai[e.a][k];
            if (j < 0)
                rhs -= R.vrai[e.b][k];
            if (j >= 0)
                N[j][nu + k] += w * rhs;
            if (i >= 0)
                N[i][nu + k] -= w * rhs;
        }
        if (i >= 0)
            N[i][i] += w;
        if (j >= 0)
            N[j][j] += w;
        if (i >= 0 && j >= 0) {
            N[i][j] -= w;
            N[j][i] -= w;
        }
    }
    for (int p = 0; p < nu; ++p) {
        int best = p;
        for (int q = p + 1; q < nu; ++q)
            if (std::fabs(N[q][p]) > std::fabs(N[best][p]))
                best = q;
        std::swap(N[p], N[best]);
        for (int q = 0; q < nu; ++q) {
            if (q == p || N[q][p] == 0)
                continue;
            const long double f = N[q][p] / N[p][p];
            for (int c = p; c < nu + 3; ++c)
                N[q][c] -= f * N[p][c];
        }
    }
    std::vector<std::array<long double, 3>> x(n);
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            x[i][k] = inconnue[i] < 0 ? R.vrai[i][k] : N[inconnue[i]][nu + k] / N[inconnue[i]][inconnue[i]];
    return x;
}

// Stations left as junctions once dead ends, loops and stations of degree 2 are reduced away.
std::set<int> Carrefours(const Reseau& R)
{
    std::multiset<std::pair<int, int>> aretes;
    for (const auto& [g, e] : R.galeries)
        if (e.b >= 0)
            aretes.insert({std::min(e.a, e.b), std::max(e.a, e.b)});
    auto reference = [&](int s) { return s < R.nbReferences; };
    for (bool change = true; change;) {
        change = false;
        std::map<int, std::vector<std::pair<int, int>>> incid;
        for (auto it = aretes.begin(); it != aretes.end();) {
            if (it->first == it->second || (reference(it->first) && reference(it->second))) {
                it = aretes.erase(it);
                change = true;
                continue;
            }
            incid[it->first].push_back(*it);
            incid[it->second].push_back(*it);
            ++it;
        }
        for (auto& [s, l] : incid) {
            if (reference(s))
                continue;
            if (l.size() == 1) {
                aretes.erase(aretes.find(l[0]));
                change = true;
                break;
            }
            if (l.size() == 2) {
                const int a = l[0].first == s ? l[0].second : l[0].first;
                const int b = l[1].first == s ? l[1].second : l[1].first;
                aretes.erase(aretes.find(l[0]));
                aretes.erase(aretes.find(l[1]));
                aretes.insert({std::min(a, b), std::max(a, b)});
                change = true;
                break;
            }
        }
    }
    std::set<int> r;
    for (auto [a, b] : aretes) {
        if (!reference(a))
            r.insert(a);
        if (!reference(b))
            r.insert(b);
    }
    return r;
}

}  // namespace

TEST(Oracle, ReseauxAleatoiresContreMoindresCarres)
{
    int compares = 0;
    for (unsigned graine = 1; graine <= 25; ++graine) {
        SCOPED_TRACE(graine);
        Reseau R;
        Genere(R, graine);
        Reduit(R.m);
        R.m.TrieFiches();
        TCalculateur c;
        c.Charge(R.m.Fiches, R.m.References, 1);
        c.CalculeTout(false);
        EXPECT_TRUE(c.Lacunes);
        EXPECT_TRUE(c.MessagesEnAttente.empty());

        const auto attendu = MoindresCarres(R);
        // Every station has one position, whichever gallery holds it.
        std::map<int, std::array<double, 3>> vu;
        for (const auto& [g, e] : R.galeries) {
            ASSERT_TRUE(g->Placee);
            for (int bout = 0; bout < 2; ++bout) {
                const int s = bout ? e.b : e.a;
                const TPointTopo& p = bout ? g->Arrivee : g->Depart;
                if (s < 0)
                    continue;
                const std::array<double, 3> xyz = {p.X.d(), p.Y.d(), p.Z.d()};
                auto [it, neuf] = vu.emplace(s, xyz);
                for (int k = 0; k < 3 && !neuf; ++k)
                    EXPECT_NEAR(it->second[k], xyz[k], 1e-9);
            }
        }
        for (int s : Carrefours(R)) {
            ASSERT_TRUE(vu.count(s));
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(vu[s][k], static_cast<double>(attendu[s][k]), 1e-6) << s;
            ++compares;
        }
        for (TGalerie* g : R.isolees) {
            EXPECT_FALSE(g->Placee);
            EXPECT_EQ(g->Arrivee.X.d(), 123.25);
        }
    }
    EXPECT_GT(compares, 100);
}
