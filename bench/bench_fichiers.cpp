// Saving and loading a large massif (10,000 galleries of 10 shots) in both formats, and
// refusing files far too big for their format: the time, the bytes read and the peak of
// resident memory a refusal takes, which must not grow with the file.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "exchange/echange.h"
#include "exchange/outils.h"
#include "rapport_muet.h"
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

// A line of /proc/self/<fichier> ("VmHWM:", "rchar:") as a number.
double Compteur(const char* fichier, const std::string& cle)
{
    std::ifstream f(std::string("/proc/self/") + fichier);
    for (std::string l; std::getline(f, l);)
        if (l.rfind(cle, 0) == 0)
            return std::stod(l.substr(cle.size()));
    return 0;
}

// A file of `taille` bytes beginning with `debut`, the rest a hole that reads as zeros, as
// a copy cut short and zero-filled leaves it; or `debut` repeated up to `taille`.
std::string Fichier(const char* extension, const std::string& debut, int64_t taille, bool repete = false)
{
    const std::string nom = Nom(extension);
    const int d = ::open(nom.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (repete) {
        const std::string bloc = [&] {
            std::string b;
            while (b.size() < (1u << 20))
                b += debut;
            return b;
        }();
        for (int64_t n = 0; n < taille; n += static_cast<int64_t>(bloc.size()))
            if (::write(d, bloc.data(), bloc.size()) < 0)
                break;
    } else if (::write(d, debut.data(), debut.size()) < 0 || ::ftruncate(d, taille) != 0) {
        std::perror(nom.c_str());
    }
    ::close(d);
    return nom;
}

// Refuses the file by `lecture` and reports what the refusal cost.
template <class Lecture>
void Refus(benchmark::State& etat, const std::string& nom, Lecture lecture)
{
    for (auto _ : etat) {
        etat.PauseTiming();
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak of resident memory starts again
        const double lu = Compteur("io", "rchar:");
        etat.ResumeTiming();
        if (lecture(nom))
            etat.SkipWithError("fichier accepté");
        etat.counters["lu_Mo"] = (Compteur("io", "rchar:") - lu) / 1e6;
        etat.counters["pic_Mo"] = Compteur("status", "VmHWM:") / 1e3;
    }
    etat.counters["fichier_Mo"] = static_cast<double>(std::filesystem::file_size(nom)) / 1e6;
    std::filesystem::remove(nom);
}

bool Ouvert(const std::string& nom)
{
    TMassif m;
    m.NomFichier = nom;
    return m.Charge().etat == EtatChargement::Charge;
}

using banc::RapportMuet;

using Import = bool (*)(TMassif&, const std::string&, TRapportEchange&);

// Whether the import takes the file.
auto Importe(Import importe)
{
    return [importe](const std::string& nom) {
        TMassif m;
        RapportMuet r;
        try {
            return importe(m, nom, r);
        } catch (const std::exception&) {
            return false;
        }
    };
}

constexpr int64_t kGo = int64_t{1} << 30;

void MassifTexteTronque(benchmark::State& etat)
{
    Refus(etat, Fichier(".mas", "Version 1005\r\nNb_Fiche ", 2 * kGo), Ouvert);
}

void MassifBinaireTronque(benchmark::State& etat)
{
    // The records of an empty massif, then zeros where the copy stopped.
    const std::string debut("\xED\x03\0\0\0\0", 6);
    Refus(etat, Fichier(".fic", debut, 2 * kGo), Ouvert);
}

void ToporobotCreux(benchmark::State& etat)
{
    Refus(etat, Fichier(".Tab", "-6\t1\tGouffre\r\n", 1024 * kGo), Importe(ImporteToporobot));
}

void VisualTopoNul(benchmark::State& etat)
{
    Refus(etat, Fichier(".tro", "Version 5.0\r\n", kGo), Importe(ImporteVisualTopo));
}

// A gigabyte of empty lines: refused at the most lines an import reads.
void ImportLignesVides(benchmark::State& etat)
{
    Refus(etat, Fichier(".tro", "\n", kGo, true), Importe(ImporteVisualTopo));
}

// 600 MB of 100,000-byte lines, which no survey file holds: refused as soon as the file
// shows it is not of the format, with memory that does not grow with the file.
void ImportLignesLongues(benchmark::State& etat, const char* extension, Import importe)
{
    Refus(etat, Fichier(extension, std::string(99'999, 'x') + "\n", 600'000'000, true), Importe(importe));
}

void ToporobotLignesLongues(benchmark::State& etat) { ImportLignesLongues(etat, ".Tab", ImporteToporobot); }
void VisualTopoLignesLongues(benchmark::State& etat) { ImportLignesLongues(etat, ".tro", ImporteVisualTopo); }

}  // namespace

BENCHMARK(ToporobotLignesLongues)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(VisualTopoLignesLongues)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(MassifTexteTronque)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(MassifBinaireTronque)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ToporobotCreux)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(VisualTopoNul)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ImportLignesVides)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(Sauve, binaire, ".fic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Charge, binaire, ".fic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauve, texte, ".mas")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Charge, texte, ".mas")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
