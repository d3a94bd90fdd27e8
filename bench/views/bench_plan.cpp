// Drawing the plan of a generated massif of 100,000 shots on a 1920 x 1080 image, as a
// redraw after a scroll or a rotation does.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <random>

#include "platform/imprimante.h"
#include "views/contexte.h"
#include "views/options.h"
#include "views/plan.h"

using namespace karst;

namespace {

class Contexte : public ContexteVues {
public:
    TMassif massif;
    TOptions_Plan options;
    ImprimanteFactice imprimante;
    TMassif* Massif() override { return &massif; }
    const TOptions_Plan* OptionsPlan() override { return &options; }
    const TOptions_Relief* OptionsRelief() override { return nullptr; }
    ChoixBulle Bulles() override { return {}; }
    TImprimante& Imprimante() override { return imprimante; }
    int PixelsParPouceVuePlan() override { return 96; }
};

// 100 sheets of 10 galleries of 100 shots each, random walks of 2 to 8 m with widths.
void Genere(TMassif& m) {
    std::mt19937 alea(42);
    std::uniform_real_distribution<double> longueur(2, 8), angle(0, 2 * 3.14159265358979), largeur(0.5, 4);
    for (int s = 0; s < 100; ++s) {
        auto f = std::make_unique<TFiche>();
        double x = (s % 10) * 400.0, y = (s / 10) * 400.0;
        for (int gi = 0; gi < 10; ++gi) {
            auto g = std::make_unique<TGalerie>();
            g->Depart.Nom.Affecte("S" + std::to_string(s));
            g->Arrivee.Nom.Affecte("E" + std::to_string(gi));
            g->Depart.X = x;
            g->Depart.Y = y;
            double a = angle(alea);
            for (int k = 1; k <= 100; ++k) {
                a += angle(alea) / 8 - 0.39;
                const double l = longueur(alea);
                x += l * std::sin(a);
                y += l * std::cos(a);
                auto v = std::make_unique<TVisee>();
                v->Longueur = l;
                v->Gauche = std::to_string(static_cast<int>(largeur(alea)));
                v->Droite = std::to_string(static_cast<int>(largeur(alea)));
                g->AjouteVisee(std::move(v));
                TStation st;
                st.X = x;
                st.Y = y;
                g->Stations.push_back(st);
            }
            g->Placee = true;
            f->Galeries.ajoute(std::move(g));
        }
        m.AjouteFiche(std::move(f), false);
    }
}

void DessinePlan(benchmark::State& etat) {
    Contexte ctx;
    Genere(ctx.massif);
    const auto variante = etat.range(0);
    if (variante == 0) {
        ctx.options.Afficher_Habillage = ctx.options.Affiche_Nord = ctx.options.Affiche_Echelle = false;
        ctx.options.diametre = 0;
    }
    if (variante >= 2) ctx.options.diametre = 10;
    if (variante >= 3) ctx.options.Representation_Largeur = 1;
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

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
