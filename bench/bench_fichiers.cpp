// Saving and loading a large massif (10,000 galleries of 10 shots) in both formats.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "survey/modele.h"

using namespace karst;

namespace {

std::unique_ptr<TMassif> GrandMassif()
{
    auto m = std::make_unique<TMassif>();
    for (int f = 0; f < 100; ++f) {
        auto fiche = std::make_unique<TFiche>();
        fiche->Date = "12/08/97";
        fiche->Topographes.emplace_back("Topographe");
        fiche->Cavite.Affecte("Gouffre " + std::to_string(f));
        for (int g = 0; g < 100; ++g) {
            auto gal = std::make_unique<TGalerie>();
            gal->Depart.Nom.Affecte("P" + std::to_string(g));
            gal->Arrivee.Nom.Affecte("P" + std::to_string(g + 1));
            gal->Coefficient = 1;
            gal->Commentaire.Affecte("galerie");
            for (int k = 0; k < 10; ++k) {
                auto v = std::make_unique<TVisee>();
                v->Longueur = 2.5L + k * 0.37L;
                v->Azimut = (g * 37 + k * 11) % 360;
                v->Pente = k - 5;
                v->Droite = "1.5";
                v->Gauche = "2";
                v->Haut = "3";
                v->Bas = "0.5";
                v->AvecTopofil = k % 2 == 0;
                v->Topofil = 10.0L * k;
                gal->AjouteVisee(std::move(v));
            }
            fiche->Galeries.ajoute(std::move(gal));
        }
        m->AjouteFiche(std::move(fiche), false)->Calcule(0);
    }
    return m;
}

std::string Nom(const char* extension)
{
    return (std::filesystem::temp_directory_path() / ("karst_bench_" + std::to_string(::getpid()) + extension))
        .string();
}

void Sauve(benchmark::State& etat, const char* extension)
{
    auto m = GrandMassif();
    const std::string nom = Nom(extension);
    for (auto _ : etat)
        m->Sauve(nom);
    etat.counters["octets"] = static_cast<double>(std::filesystem::file_size(nom));
    std::filesystem::remove(nom);
}

void Charge(benchmark::State& etat, const char* extension)
{
    const std::string nom = Nom(extension);
    GrandMassif()->Sauve(nom);
    for (auto _ : etat) {
        TMassif m;
        m.NomFichier = nom;
        if (m.Charge().etat != EtatChargement::Charge)
            etat.SkipWithError("chargement refusé");
        benchmark::DoNotOptimize(m.Fiches.size());
    }
    std::filesystem::remove(nom);
}

}  // namespace

BENCHMARK_CAPTURE(Sauve, binaire, ".fic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Charge, binaire, ".fic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauve, texte, ".mas")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Charge, texte, ".mas")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
