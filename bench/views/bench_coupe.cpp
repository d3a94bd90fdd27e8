// The developed section of a generated massif of 100,000 shots, every gallery a branch of
// its own: laying the section out, a screen redraw with walls and heights, and the SVG file.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QTemporaryDir>

#include "massif_genere.h"
#include "views/coupe_vue.h"

using namespace karst;

namespace {

// Every gallery a branch, 1 km apart, with heights at every station.
void EnCoupe(Contexte& ctx)
{
    Genere(ctx.massif);
    double x = 0;
    for (TFiche* f : ctx.massif.Fiches)
        for (std::size_t i = 0; i < f->Galeries.size(); ++i) {
            TGalerie& g = *f->Galeries[i];
            g.DansCoupe = g.Sens = g.GaucheDroite = true;
            for (int k = 1; k <= g.NbVisees; ++k) {
                g.Visee(k)->Haut = "2";
                g.Visee(k)->Bas = "1";
            }
            auto r = std::make_unique<TPointCoupe>();
            r->Fiche = f->Ordre;
            r->Galerie = static_cast<int32_t>(i);
            r->X = x;
            x += 1000;
            ctx.massif.Coupe.ajoute(std::move(r));
        }
    ctx.massif.PointsCalcules = true;
    ctx.coupe.Afficher_Habillage = true;
    ctx.coupe.Representation_Hauteur = 1;
}

void PlaceCoupe(benchmark::State& etat)
{
    Contexte ctx;
    EnCoupe(ctx);
    for (auto _ : etat) {
        ctx.massif.PlaceCoupe();
        ctx.massif.CalculeCoupe();
    }
    etat.counters["visees"] = 100000;
}
BENCHMARK(PlaceCoupe)->Unit(benchmark::kMillisecond);

void DessineCoupe(benchmark::State& etat)
{
    Contexte ctx;
    EnCoupe(ctx);
    ctx.massif.PlaceCoupe();
    ctx.massif.CalculeCoupe();
    TCoupe vue(ctx);
    vue.Echelle = 200000;
    CanvasImage image(1920, 1080);
    int l, h;
    for (auto _ : etat) {
        vue.Dimensions(l, h, 96 / 25.4, 1, image);
        vue.Dessine(0, 0, 96 / 25.4, 1, image, 0);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    etat.counters["visees"] = 100000;
}
BENCHMARK(DessineCoupe)->Unit(benchmark::kMillisecond);

void ExporteCoupe(benchmark::State& etat)
{
    Contexte ctx;
    EnCoupe(ctx);
    ctx.massif.PlaceCoupe();
    ctx.massif.CalculeCoupe();
    TCoupe vue(ctx);
    CanvasImage image(10, 10);
    int l, h;
    vue.Dimensions(l, h, 96 / 25.4, 1, image);
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath("coupe.svg").toStdString();
    for (auto _ : etat)
        vue.ExporteSVG(chemin, false, true);
    etat.counters["visees"] = 100000;
}
BENCHMARK(ExporteCoupe)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return LanceBancs(argc, argv); }
