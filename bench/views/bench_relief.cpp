// The perspective of a generated massif of 100,000 shots: a screen redraw after a turn,
// plain and as the stereo pair, and the 3D passage model written as a VRML world.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

#include "massif_genere.h"
#include "views/svg.h"
#include "views/vue_relief.h"

using namespace karst;

namespace {

void DessinePerspective(benchmark::State& etat)
{
    Contexte ctx;
    Genere(ctx.massif);
    TPerspective vue(ctx);
    vue.Stereo = etat.range(0) == 1;
    vue.Tourne(30, 20);
    CanvasImage image(1920, 1080);
    int l, h;
    vue.Echelle = 10000;
    for (auto _ : etat) {
        vue.Tourne(1, 0);
        vue.Dimensions(l, h, 96 / 25.4, 1, image);
        vue.Dessine(0, 0, 96 / 25.4, 1, image, 0);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    etat.counters["visees"] = 100000;
}
// 0: the default perspective options; 1: the stereo pair.
BENCHMARK(DessinePerspective)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void ExporteVRML(benchmark::State& etat)
{
    Contexte ctx;
    Genere(ctx.massif);
    ctx.relief.Cylindre = true;
    TPerspective vue(ctx);
    CanvasImage image(10, 10);
    int l, h;
    vue.Dimensions(l, h, 96 / 25.4, 1, image);
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath("monde.wrl").toStdString();
    for (auto _ : etat) {
        FichierSVG f(chemin);
        vue.EcritVRML(f, 0, OptionsVRML{});
        f.Ferme();
    }
    etat.counters["visees"] = 100000;
}
BENCHMARK(ExporteVRML)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return LanceBancs(argc, argv); }
