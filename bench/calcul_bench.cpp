// Network computation on generated cave-like massifs: a grid of passages (loops) whose sides
// are chains of galleries, trees of side passages with dead ends and a few loops, three
// reference points. Each phase is timed on its own, after the earlier ones have run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "calcul/calculateur.h"
#include "survey/modele.h"

using namespace karst;

namespace {

struct Forme {
    int cote;     // junctions per side of the grid
    int parCote;  // galleries along each side between two junctions
    int arbre;    // galleries of the side passages
    int boucles;  // one side passage in `boucles` closes a loop (0: none)
};

// Grid sides and side passages for about 100, 1,000 and 9,000 galleries; 9001 stands for
// 9,000 galleries at the limit: a 31 x 31 grid, 961 junctions left after reduction.
Forme FormePour(int galeries)
{
    switch (galeries) {
    case 100: return {4, 2, 52, 50};
    case 1000: return {12, 2, 472, 50};
    case 9000: return {28, 2, 9000 - 28 * 27 * 2 * 2, 50};
    default: return {31, 2, 9000 - 31 * 30 * 2 * 2, 0};
    }
}

std::unique_ptr<TMassif> Genere(int galeries)
{
    const Forme f = FormePour(galeries);
    std::mt19937 r(1234);
    auto unif = [&](double a, double b) { return a + (b - a) * (r() / 4294967296.0); };
    auto m = std::make_unique<TMassif>();
    struct G {
        std::string de, a;
        double dx, dy, dz;
    };
    std::vector<G> liste;
    std::vector<std::string> noeuds;
    std::vector<std::array<double, 3>> pos;
    auto nouveau = [&](const std::string& n, std::array<double, 3> p) {
        noeuds.push_back(n);
        pos.push_back(p);
        return static_cast<int>(noeuds.size()) - 1;
    };
    auto relie = [&](int a, int b) {
        const double dx = pos[b][0] - pos[a][0] + unif(-0.3, 0.3);
        const double dy = pos[b][1] - pos[a][1] + unif(-0.3, 0.3);
        const double dz = pos[b][2] - pos[a][2] + unif(-0.2, 0.2);
        liste.push_back({noeuds[a], noeuds[b], dx, dy, dz});
    };
    std::vector<int> grille(f.cote * f.cote);
    for (int i = 0; i < f.cote; ++i)
        for (int j = 0; j < f.cote; ++j)
            grille[i * f.cote + j] = nouveau("G" + std::to_string(i) + "_" + std::to_string(j),
                                             {i * 40.0 + unif(-5, 5), j * 40.0 + unif(-5, 5), unif(-20, 20)});
    auto cote = [&](int a, int b) {
        int p = a;
        for (int k = 1; k < f.parCote; ++k) {
            const double t = double(k) / f.parCote;
            const int q = nouveau("S" + std::to_string(noeuds.size()),
                                  {pos[a][0] + t * (pos[b][0] - pos[a][0]) + unif(-3, 3),
                                   pos[a][1] + t * (pos[b][1] - pos[a][1]) + unif(-3, 3), pos[a][2] + unif(-2, 2)});
            relie(p, q);
            p = q;
        }
        relie(p, b);
    };
    for (int i = 0; i < f.cote; ++i)
        for (int j = 0; j < f.cote; ++j) {
            if (i + 1 < f.cote)
                cote(grille[i * f.cote + j], grille[(i + 1) * f.cote + j]);
            if (j + 1 < f.cote)
                cote(grille[i * f.cote + j], grille[i * f.cote + j + 1]);
        }
    const int base = static_cast<int>(noeuds.size());
    for (int k = 0; k < f.arbre; ++k) {
        const int a = static_cast<int>(r() % noeuds.size());
        if (r() % 10 == 0) {  // a passage ending nowhere
            liste.push_back({noeuds[a], "", unif(-10, 10), unif(-10, 10), unif(-5, 5)});
            continue;
        }
        if (f.boucles && r() % f.boucles == 0 && static_cast<int>(noeuds.size()) > base + 2) {  // a loop
            relie(a, base + static_cast<int>(r() % (noeuds.size() - base)));
            continue;
        }
        const int b = nouveau("T" + std::to_string(noeuds.size()),
                              {pos[a][0] + unif(-15, 15), pos[a][1] + unif(-15, 15), pos[a][2] + unif(-5, 5)});
        relie(a, b);
    }
    std::shuffle(liste.begin(), liste.end(), r);
    for (int k : {0, f.cote - 1, f.cote * f.cote - 1}) {
        auto p = std::make_unique<TPointTopo>();
        p->Nom.Affecte(noeuds[grille[k]]);
        p->X = pos[grille[k]][0] / 1000;
        p->Y = pos[grille[k]][1] / 1000;
        p->Z = pos[grille[k]][2];
        m->AjouteReference(std::move(p));
    }
    TFiche* fiche = nullptr;
    for (std::size_t k = 0; k < liste.size(); ++k) {
        if (k % 25 == 0)
            fiche = m->AjouteFiche(std::make_unique<TFiche>(), false);
        const G& g = liste[k];
        auto gal = std::make_unique<TGalerie>();
        gal->Depart.Nom.Affecte(g.de);
        if (g.a.empty())
            gal->Arrivee.Terminus = true;
        else
            gal->Arrivee.Nom.Affecte(g.a);
        gal->Coefficient = 1;
        // Three shots: the computation reads only the reduced sums.
        for (int s = 0; s < 3; ++s) {
            auto v = std::make_unique<TVisee>();
            const double h = std::hypot(g.dx, g.dy) / 3;
            v->Longueur = std::hypot(h, g.dz / 3);
            v->Azimut = std::atan2(g.dx, g.dy) * 180 / 3.14159265358979323846;
            v->Pente = std::atan2(g.dz / 3, h) * 180 / 3.14159265358979323846;
            gal->AjouteVisee(std::move(v));
        }
        fiche->Galeries.ajoute(std::move(gal));
    }
    for (TFiche* fi : m->Fiches)
        fi->Calcule(0);
    return m;
}

TMassif& Massif(int galeries)
{
    static std::map<int, std::unique_ptr<TMassif>> cache;
    auto& m = cache[galeries];
    if (!m)
        m = Genere(galeries);
    return *m;
}

// Runs phases 1 .. `avant` untimed, then times phase `phase`.
void Phase(benchmark::State& etat, int phase)
{
    const int galeries = static_cast<int>(etat.range(0));
    TMassif& m = Massif(galeries);
    std::size_t carrefours = 0, branches = 0;
    int inconnues = 0;
    for (auto _ : etat) {
        etat.PauseTiming();
        auto c = std::make_unique<TCalculateur>();
        if (phase > 0)
            c->Charge(m.Fiches, m.References, 1);
        if (phase > 1)
            c->Connecte(false);
        if (phase > 2)
            c->Simplifie(false);
        if (phase > 3)
            c->Compense(false);
        if (phase > 4)
            c->Repartit();
        if (c->Arrete()) {
            etat.SkipWithError("limite atteinte");
            break;
        }
        etat.ResumeTiming();
        switch (phase) {
        case 0: c->Charge(m.Fiches, m.References, 1); break;
        case 1: c->Connecte(false); break;
        case 2: c->Simplifie(false); break;
        case 3: c->Compense(false); break;
        case 4: c->Repartit(); break;
        case 5: c->PlaceExtremites(); break;
        }
        etat.PauseTiming();
        if (phase == 3)
            inconnues = static_cast<int>(std::count(c->Connus.begin(), c->Connus.end(), 1));
        carrefours = c->Carrefours.size();
        branches = c->Concentres.size();
        c.reset();
        etat.ResumeTiming();
    }
    etat.counters["carrefours"] = static_cast<double>(carrefours);
    etat.counters["branches"] = static_cast<double>(branches);
    if (phase == 3)
        etat.counters["inconnues"] = inconnues;
}

void Tout(benchmark::State& etat)
{
    TMassif& m = Massif(static_cast<int>(etat.range(0)));
    int inconnues = 0;
    for (auto _ : etat) {
        TCalculateur c;
        c.Charge(m.Fiches, m.References, 1);
        c.CalculeTout(false);
        inconnues = 0;
        for (uint8_t k : c.Connus)
            inconnues += k;
        if (!c.MessagesEnAttente.empty())
            etat.SkipWithError("limite atteinte");
    }
    etat.counters["carrefours_connus"] = inconnues;
}

void Chargement(benchmark::State& e) { Phase(e, 0); }
void Phase1_Connecte(benchmark::State& e) { Phase(e, 1); }
void Phase2_Simplifie(benchmark::State& e) { Phase(e, 2); }
void Phase3_Compense(benchmark::State& e) { Phase(e, 3); }
void Phase4_Repartit(benchmark::State& e) { Phase(e, 4); }
void Phase5_PlaceExtremites(benchmark::State& e) { Phase(e, 5); }

}  // namespace

#define TAILLES ->Arg(100)->Arg(1000)->Arg(9000)->Arg(9001)->Unit(benchmark::kMillisecond)
BENCHMARK(Chargement) TAILLES;
BENCHMARK(Phase1_Connecte) TAILLES;
BENCHMARK(Phase2_Simplifie) TAILLES;
BENCHMARK(Phase3_Compense) TAILLES;
BENCHMARK(Phase4_Repartit) TAILLES;
BENCHMARK(Phase5_PlaceExtremites) TAILLES;
BENCHMARK(Tout) TAILLES;

BENCHMARK_MAIN();
