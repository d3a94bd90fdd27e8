// Import and export times of the exchange formats on generated files: Toporobot files of
// 2,000 and 10,000 series and VisualTopo files of 20,000 and 100,000 shots, read into an
// empty massif and into a massif that already holds the same survey (every free-index
// look-up then meets taken names).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/echange.h"
#include "rapport_muet.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "survey/textes.h"

namespace {

using namespace karst;

using banc::RapportMuet;

struct Hasard {
    uint64_t x = 88172645463325252ULL;
    uint32_t operator()(uint32_t n)
    {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return static_cast<uint32_t>(x % n);
    }
};

std::string Dossier()
{
    const auto d = std::filesystem::temp_directory_path() / "karst_bench_echange";
    std::filesystem::create_directories(d);
    return d.string();
}

void Ecrit(const std::string& fichier, const std::string& texte)
{
    std::ofstream f(fichier, std::ios::binary);
    f << texte;
}

std::string E(long long v) { return FormatEntier(v); }

std::string CaractereUtf8(char32_t u)
{
    std::string r;
    if (u < 0x10000) {
        r += static_cast<char>(0xE0 | (u >> 12));
    } else {
        r += static_cast<char>(0xF0 | (u >> 18));
        r += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    }
    r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (u & 0x3F));
    return r;
}

// Series of 10 shots, each starting from a point of an earlier series; one in seven closes a
// loop on an earlier series, one in thirteen changes trip half-way.
template <int Series>
const std::string& FichierToporobot()
{
    static const std::string nom = [] {
        Hasard h;
        std::string t = "-6\t1\tReseau\r-5\t1\t1000.00\t2000.00\t500.00\t1\t0\r";
        for (int s = 1; s <= 20; ++s)
            t += "-2\t" + E(s) + "\t01\t07\t95\tA\tB\t0\t1.50\t0\t1\r";
        t += "-1\t1\t360.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r\r";
        const int n = 10;
        for (int s = 1; s <= Series; ++s) {
            int sd = s, pd = 0, sa = s, pa = n;
            if (s > 1)
                sd = 1 + static_cast<int>(h(static_cast<uint32_t>(s - 1))), pd = static_cast<int>(h(n + 1));
            if (s > 1 && s % 7 == 0)
                sa = 1 + static_cast<int>(h(static_cast<uint32_t>(s - 1))), pa = static_cast<int>(h(n + 1));
            t += E(s) + "\t-1\t" + E(sd) + "\t" + E(pd) + "\t" + E(sa) + "\t" + E(pa) + "\t" + E(n) + "\t0\t0\tSerie " +
                 E(s) + "\r";
            const int seance = 1 + (s / 100) % 20;
            for (int j = 0; j <= n; ++j) {
                const int tr = (s % 13 == 0 && j > 5) ? 1 + seance % 20 : seance;
                t += E(s) + "\t" + E(j) + "\t1\t" + E(tr) + "\t" + (j ? E(1 + h(20)) + ".25" : "0.00") + "\t" +
                     E(h(360)) + ".50\t" + E(static_cast<int>(h(60)) - 30) + ".00\t1.00\t2.00\t0.50\t1.00\t\r";
            }
            if (s < Series)
                t += "\r";
        }
        const std::string f = Dossier() + "/reseau" + E(Series) + ".Tab";
        Ecrit(f, t);
        return f;
    }();
    return nom;
}

std::string LigneVT(const std::string& de, const std::string& vers, const std::string& l, const std::string& az,
                    const std::string& p)
{
    std::string r(83, ' ');
    auto place = [&](std::size_t fin, const std::string& s) { r.replace(fin - s.size(), s.size(), s); };
    r.replace(0, de.size(), de);
    r.replace(11, vers.size(), vers);
    place(41, l);
    place(49, az);
    place(55, p);
    place(62, "1.00");
    place(69, "2.00");
    place(76, "*");
    place(83, "0.50");
    return r;
}

// Blocks of 100 shots, each a chain starting at a station of an earlier block, with a
// zero-length shot joining two junctions now and then.
template <int Blocs>
const std::string& FichierVisualTopo()
{
    static const std::string nom = [] {
        Hasard h;
        std::string t = "Trou Reseau,1000.000,2000.000,500,LT3\r\nEntree B0_0\r\n\r\n";
        for (int b = 0; b < Blocs; ++b) {
            t += "Param Deca Degd Clino Degd 1.30 Dir,Dir,Dir Std\r\n";
            std::string de = b == 0 ? "B0_0" : "B" + E(h(static_cast<uint32_t>(b))) + "_" + E(h(100));
            t += LigneVT(de, de, "0.00", "0.00", "0.0") + "\r\n";
            for (int i = 1; i <= 100; ++i) {
                const std::string vers = "B" + E(b) + "_" + E(i);
                const bool nul = b > 0 && i == 50 && b % 10 == 0;
                t += LigneVT(de, vers, nul ? "0.00" : E(1 + h(20)) + ".00", E(h(360)) + ".00",
                             E(static_cast<int>(h(60)) - 30) + ".0") +
                     "\r\n";
                de = vers;
            }
            t += "\r\n";
        }
        t += "[Configuration]\r\n";
        const std::string f = Dossier() + "/reseau" + E(Blocs) + ".tro";
        Ecrit(f, t);
        return f;
    }();
    return nom;
}

// Imports the file into an empty massif, or (argument 1) into one that already holds it.
template <auto Importe, const std::string& (*Fichier)()>
void BM_Importe(benchmark::State& state)
{
    const std::string& f = Fichier();
    RapportMuet r;
    for (auto _ : state) {
        TMassif m;
        if (state.range(0)) {
            state.PauseTiming();
            Importe(m, f, r);
            state.ResumeTiming();
        }
        Importe(m, f, r);
        benchmark::DoNotOptimize(m.Fiches.size());
    }
}
BENCHMARK(BM_Importe<ImporteToporobot, FichierToporobot<2000>>)
    ->Name("ImporteToporobot_2000_series")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("massif_plein")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Importe<ImporteVisualTopo, FichierVisualTopo<200>>)
    ->Name("ImporteVisualTopo_20000_visees")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("massif_plein")
    ->Unit(benchmark::kMillisecond);
// 100,000 shots.
BENCHMARK(BM_Importe<ImporteToporobot, FichierToporobot<10000>>)
    ->Name("ImporteToporobot_10000_series")
    ->Arg(0)
    ->ArgName("massif_plein")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Importe<ImporteVisualTopo, FichierVisualTopo<1000>>)
    ->Name("ImporteVisualTopo_100000_visees")
    ->Arg(0)
    ->ArgName("massif_plein")
    ->Unit(benchmark::kMillisecond);

void BM_ExporteToporobot(benchmark::State& state)
{
    TMassif m;
    RapportMuet r;
    ImporteToporobot(m, FichierToporobot<2000>(), r);
    const std::string sortie = Dossier() + "/export.Tab";
    for (auto _ : state)
        ExporteToporobot(m, sortie);
}
BENCHMARK(BM_ExporteToporobot)->Unit(benchmark::kMillisecond);

void BM_ExportePLT(benchmark::State& state)
{
    TMassif m;
    RapportMuet r;
    ImporteVisualTopo(m, FichierVisualTopo<200>(), r);
    for (TFiche* f : m.Fiches)
        for (TGalerie* g : f->Galeries)
            g->Placee = true;
    const std::string sortie = Dossier() + "/export.plt";
    for (auto _ : state) {
        m.PointsCalcules = false;
        ExportePLT(m, sortie);
    }
}
BENCHMARK(BM_ExportePLT)->Unit(benchmark::kMillisecond);

// The characters a text of 66,000 distinct ideographs loses, as the import's question names
// them: linear in the text.
void BM_CaracteresHorsCp1252(benchmark::State& state)
{
    std::string texte;
    for (char32_t u = 0x4E00; u < 0x4E00 + 20'992; ++u)  // CJK Unified Ideographs
        texte += CaractereUtf8(u);
    for (char32_t u = 0x20000; u < 0x20000 + 45'008; ++u)  // Extension B
        texte += CaractereUtf8(u);
    for (auto _ : state)
        benchmark::DoNotOptimize(CaracteresHorsCp1252(texte).size());
}
BENCHMARK(BM_CaracteresHorsCp1252)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
