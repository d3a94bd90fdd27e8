// Drawing the plan of a generated massif of 100,000 shots on a 1920 x 1080 image, as a
// redraw after a scroll or a rotation does.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

#include "massif_genere.h"

#include "views/options.h"
#include "views/plan.h"

using namespace karst;

namespace {

void DessinePlan(benchmark::State& etat)
{
    Contexte ctx;
    Genere(ctx.massif);
    const auto variante = etat.range(0);
    if (variante == 0) {
        ctx.options.Afficher_Habillage = ctx.options.Affiche_Nord = ctx.options.Affiche_Echelle = false;
        ctx.options.diametre = 0;
    }
    if (variante >= 2)
        ctx.options.diametre = 10;
    if (variante >= 3)
        ctx.options.Representation_Largeur = 1;
    TPlan plan(ctx);
    CanvasImage image(1920, 1080);
    int l, h;
    // A scale that makes the whole survey about the size of the image.
    plan.Echelle = 10000;
    plan.Dimensions(l, h, 96 / 25.4, 1, image);
    for (auto _ : etat) {
        plan.Tourne(1);
        plan.Dimensions(l, h, 96 / 25.4, 1, image);
        plan.Dessine(0, 0, 96 / 25.4, 1, image, 0);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    etat.counters["visees"] = 100000;
    etat.counters["pixels"] = l * static_cast<double>(h);
}
// 0: centrelines alone; 1: the default plan options (walls, north arrow, scale bar);
// 2: and station circles of 1 mm; 3: and width lines at the end of every shot.
BENCHMARK(DessinePlan)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return LanceBancs(argc, argv); }
