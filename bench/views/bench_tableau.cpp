// The survey table of a generated massif of 100,000 shots (one in ten with a comment that
// wraps): the full layout, a screen redraw scrolled half-way down, the page count and the
// drawing of one printed page.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

#include "massif_genere.h"

#include "views/options.h"
#include "views/tableau.h"

using namespace karst;

namespace {

class ContexteTableau : public Contexte {
public:
    TOptions_Tableau tableau;
    TOptions_Tableau* OptionsTableau() override { return &tableau; }

    ContexteTableau()
    {
        Genere(massif);
        int n = 0;
        for (TFiche* f : massif.Fiches)
            for (TGalerie* g : f->Galeries)
                for (int k = 1; k <= g->NbVisees; ++k)
                    if (++n % 10 == 0)
                        g->Visee(k)->Commentaire.Affecte(
                            "passage bas dans l'argile, suite au nord par une \xE9troiture");
    }
};

constexpr double kPxParMm = 96 / 25.4;

void MiseEnPage(benchmark::State& etat)
{
    ContexteTableau ctx;
    TTableau vue(ctx);
    CanvasImage image(1920, 1080);
    int l, h;
    for (auto _ : etat) {
        ctx.massif.DimensionsAJour = false;
        vue.Dimensions(l, h, kPxParMm, 1, image);
        benchmark::DoNotOptimize(h);
    }
    etat.counters["visees"] = 100000;
}
BENCHMARK(MiseEnPage)->Unit(benchmark::kMillisecond);

void DessineTableau(benchmark::State& etat)
{
    ContexteTableau ctx;
    TTableau vue(ctx);
    CanvasImage image(1920, 1080);
    int l, h;
    vue.Dimensions(l, h, kPxParMm, 1, image);
    for (auto _ : etat) {
        vue.Dimensions(l, h, kPxParMm, 1, image);
        vue.Dessine(0, h / 2, kPxParMm, 1, image, 0);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    etat.counters["visees"] = 100000;
}
BENCHMARK(DessineTableau)->Unit(benchmark::kMillisecond);

void PagesTableau(benchmark::State& etat)
{
    ContexteTableau ctx;
    TTableau vue(ctx);
    int colonnes = 0, lignes = 0;
    for (auto _ : etat) {
        vue.NombrePages(colonnes, lignes, 20, 20);
        if (etat.range(0) == 1)
            vue.DessinePage(0, lignes / 2, 10, 10, 0, ctx.imprimante.Canvas(), 1.0);
        benchmark::DoNotOptimize(lignes);
    }
    etat.counters["pages"] = lignes;
}
// 0: the page count; 1: and one page drawn.
BENCHMARK(PagesTableau)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return LanceBancs(argc, argv); }
