#pragma once
// A generated massif of 100 sheets of 10 galleries of 100 shots, and the main window the
// views read it from.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "platform/imprimante.h"
#include "survey/modele.h"
#include "views/contexte.h"
#include "views/options.h"

namespace karst {

class Contexte : public ContexteVues {
public:
    TMassif massif;
    TOptions_Plan options;
    ImprimanteFactice imprimante;
    TMassif* Massif() override { return &massif; }
    TOptions_Relief relief;
    TOptions_Coupe coupe;
    const TOptions_Plan* OptionsPlan() override { return &options; }
    const TOptions_Coupe* OptionsCoupe() override { return &coupe; }
    const TOptions_Relief* OptionsRelief() override { return &relief; }
    ChoixBulle Bulles() override { return {}; }
    TImprimante& Imprimante() override { return imprimante; }
    int PixelsParPouceVuePlan() override { return 96; }
};

// 100 sheets of 10 galleries of 100 shots each, random walks of 2 to 8 m with widths.
inline void Genere(TMassif& m)
{
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
                v->Horizontale = l;
                v->Azimut = std::fmod(a * 180 / 3.14159265358979 + 3600, 360);
                v->Gauche = std::to_string(static_cast<int>(largeur(alea)));
                v->Droite = std::to_string(static_cast<int>(largeur(alea)));
                g->AjouteVisee(std::move(v));
                TStation st;
                st.X = x;
                st.Y = y;
                st.Z = (k % 7) * 0.5;
                g->Stations.push_back(st);
            }
            g->Placee = true;
            f->Galeries.ajoute(std::move(g));
        }
        m.AjouteFiche(std::move(f), false);
    }
}

// The benchmarks' main: the runner inside an offscreen Qt application.
inline int LanceBancs(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace karst
