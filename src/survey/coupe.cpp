// Developed-section layout: placing the branches, the station abscissae, checking and
// removing branches.
#include "survey/coupe.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "survey/nombres.h"

namespace karst {

namespace {

IAvisCoupe* avisCoupe = nullptr;

void Signale(const char* texte)
{
    if (avisCoupe)
        avisCoupe->ProblemeCoupe(texte);
}

// Sheets by order number, the first sheet of the list for each number.
class IndexFiches {
public:
    explicit IndexFiches(const ListeFiches& fiches)
    {
        for (TFiche* f : fiches)
            if (f)
                index_.emplace(f->Ordre, f);
    }
    TGalerie* Cherche(int32_t fiche, int32_t galerie) const
    {
        auto it = index_.find(fiche);
        if (it == index_.end() || galerie < 0 || static_cast<std::size_t>(galerie) >= it->second->Galeries.size())
            return nullptr;
        return it->second->Galeries[static_cast<std::size_t>(galerie)];
    }
    TGalerie* Exige(int32_t fiche, int32_t galerie) const
    {
        TGalerie* g = Cherche(fiche, galerie);
        if (!g)
            throw ErreurIndexListe(index_.count(fiche) ? galerie : fiche);
        return g;
    }

private:
    std::unordered_map<int32_t, TFiche*> index_;
};

void RetireSuite(TGalerie& g, int k)
{
    const int n = std::min<int>(g.NbSuites, kMaxSuites);
    for (int i = k; i < n; ++i) {
        g.SuiteFiche[static_cast<std::size_t>(i)] = g.SuiteFiche[static_cast<std::size_t>(i) + 1];
        g.SuiteGalerie[static_cast<std::size_t>(i)] = g.SuiteGalerie[static_cast<std::size_t>(i) + 1];
    }
    --g.NbSuites;
}

int NbSuites(const TGalerie& g) { return std::clamp<int>(g.NbSuites, 0, kMaxSuites); }

// Calls f on every gallery of the sheets that is in the section.
template <class F>
void PourGaleriesEnCoupe(const ListeFiches& fiches, F f)
{
    for (TFiche* fiche : fiches)
        if (fiche)
            for (TGalerie* g : fiche->Galeries)
                if (g->DansCoupe)
                    f(*g);
}

// Continuation k (1..) of g; a failed look-up raises the list-index error.
const TGalerie& SuiteDe(const TGalerie& g, int k, const IndexFiches& index)
{
    const auto u = static_cast<std::size_t>(k);
    return *index.Exige(g.SuiteFiche[u], g.SuiteGalerie[u]);
}

// Position (1..) of the first continuation of g no longer in the section, or 0.
int PremiereSuitePendante(const TGalerie& g, const IndexFiches& index)
{
    for (int k = 1; k <= NbSuites(g); ++k)
        if (!SuiteDe(g, k, index).DansCoupe)
            return k;
    return 0;
}

// Lays out a gallery and everything downstream of it, depth first in link order as the
// links are listed. A link to a missing gallery, or one that would lead back into the
// path being laid out (a cycle), is dropped; `probleme` tells that one was. Every gallery
// laid out joins `atteintes`.
void PlaceDepuis(TGalerie* racine, Reel6 x, Reel6 z, const IndexFiches& index, bool& probleme,
                 std::unordered_set<const TGalerie*>& atteintes)
{
    struct Cadre {
        TGalerie* g;
        Reel6 xSuites;
        Reel6 z;
        int k;
    };
    std::vector<Cadre> pile;
    std::unordered_set<const TGalerie*> chemin;
    auto entre = [&](TGalerie* g, Reel6 x0, Reel6 z0) {
        g->CoupeZ0 = z0;
        g->CoupeX0 = x0;
        Reel6 d = 0;
        for (int k = 1; k <= g->NbVisees; ++k) {
            const TVisee* v = g->Visee(k);
            if (!v)
                continue;
            d += v->AvecCorrHorizontale ? static_cast<long double>(v->CorrHorizontale)
                                        : static_cast<long double>(v->Horizontale);
        }
        if (!g->GaucheDroite)
            d = -static_cast<long double>(d);
        pile.push_back({g, static_cast<long double>(x0) + d, z0, 1});
        chemin.insert(g);
        atteintes.insert(g);
    };
    entre(racine, x, z);
    while (!pile.empty()) {
        Cadre& c = pile.back();
        if (c.k > NbSuites(*c.g)) {
            chemin.erase(c.g);
            pile.pop_back();
            continue;
        }
        const auto k = static_cast<std::size_t>(c.k);
        TGalerie* suite =
            index.Cherche(static_cast<int16_t>(c.g->SuiteFiche[k]), static_cast<int16_t>(c.g->SuiteGalerie[k]));
        if (!suite || chemin.count(suite)) {
            RetireSuite(*c.g, c.k);
            probleme = true;
            continue;
        }
        ++c.k;
        const Reel6 xs = c.xSuites, zs = c.z;
        entre(suite, xs, zs);
    }
}

void Repare(TMassif& m)
{
    m.Enregistre = false;
    Signale(kProblemeCoupe);
    if (avisCoupe)
        avisCoupe->RedessineCoupe();
}

}  // namespace

void DefinitAvisCoupe(IAvisCoupe* avis) { avisCoupe = avis; }
IAvisCoupe* AvisCoupe() { return avisCoupe; }

ErreurIndexListe::ErreurIndexListe(long long index)
    : std::out_of_range("Index de liste hors limites (" + FormatEntier(index) + ")")
{}

void TMassif::PlaceCoupe()
{
    try {
        const IndexFiches index(Fiches);
        bool probleme = false;
        std::unordered_set<const TGalerie*> atteintes;
        for (std::size_t r = 0; r < Coupe.size();) {
            const TPointCoupe* racine = Coupe[r];
            TGalerie* g = index.Cherche(static_cast<int16_t>(racine->Fiche), static_cast<int16_t>(racine->Galerie));
            if (!g) {
                // A root whose gallery is gone: only that root goes.
                Coupe.retireA(r);
                probleme = true;
                continue;
            }
            PlaceDepuis(g, racine->X, racine->Z, index, probleme, atteintes);
            ++r;
        }
        // A gallery that no root leads to any more (below a root just dropped, say) would
        // stay drawn where an old layout put it: it leaves the section too.
        PourGaleriesEnCoupe(Fiches, [&](TGalerie& g) {
            if (atteintes.count(&g))
                return;
            g.DansCoupe = false;
            probleme = true;
        });
        CoupeCalculee = false;
        if (probleme)
            Repare(*this);
    } catch (...) {
        VideCoupe();
        if (avisCoupe)
            avisCoupe->RedessineCoupe();
    }
}

void TMassif::PlaceBranche(int16_t fiche, int16_t galerie, Reel6 x, Reel6 z)
{
    const IndexFiches index(Fiches);
    TGalerie* g = index.Exige(fiche, galerie);
    bool probleme = false;
    std::unordered_set<const TGalerie*> atteintes;
    PlaceDepuis(g, x, z, index, probleme, atteintes);
    CoupeCalculee = false;
    if (probleme)
        Repare(*this);
}

void TMassif::CalculeCoupe()
{
    if (!PointsCalcules)
        PlaceTousPoints();
    PourGaleriesEnCoupe(Fiches, [](TGalerie& g) {
        const int n = g.NbVisees;
        if (g.NbStations() < n)
            g.Stations.resize(static_cast<std::size_t>(n));
        const long double x0 = g.CoupeX0;
        auto s = [&](Reel6 v) -> long double {
            return g.GaucheDroite ? x0 + static_cast<long double>(v) : x0 - static_cast<long double>(v);
        };
        auto horizontale = [&](int k) -> long double {
            const TVisee* v = g.Visee(k);
            return v ? static_cast<long double>(v->Horizontale) : 0.0L;
        };
        Reel6 d = 0;
        if (g.Sens) {
            for (int k = 1; k <= n; ++k) {
                d += horizontale(k);
                g.Station(k).Abscisse = s(d);
            }
        } else {
            for (int k = n; k >= 1; --k) {
                g.Station(k).Abscisse = s(d);
                d += horizontale(k);
            }
        }
        g.CoupeX1 = s(d);
    });
    CoupeCalculee = true;
}

void TMassif::VerifieCoupe()
{
    const IndexFiches index(Fiches);
    bool probleme = false;
    PourGaleriesEnCoupe(Fiches, [&](TGalerie& g) {
        for (int k = 1; k <= NbSuites(g); ++k)
            if (!SuiteDe(g, k, index).DansCoupe)
                probleme = true;
    });
    if (probleme)
        Signale(kProblemeCoupe);
    // Each call drops the first dangling continuation of each gallery.
    PourGaleriesEnCoupe(Fiches, [&](TGalerie& g) {
        if (const int k = PremiereSuitePendante(g, index))
            RetireSuite(g, k);
    });
}

void TMassif::RetireBranche(int32_t fiche, int32_t galerie, bool racine)
{
    const IndexFiches index(Fiches);
    // Depth first in link order; a gallery met again (links that loop) is not walked twice.
    std::vector<std::pair<int32_t, int32_t>> pile{{fiche, galerie}};
    std::unordered_set<const TGalerie*> vues;
    while (!pile.empty()) {
        const auto [f, gpos] = pile.back();
        pile.pop_back();
        TGalerie* g = index.Exige(f, gpos);
        if (!vues.insert(g).second)
            continue;
        g->DansCoupe = false;
        for (int k = NbSuites(*g); k >= 1; --k)
            pile.emplace_back(g->SuiteFiche[static_cast<std::size_t>(k)], g->SuiteGalerie[static_cast<std::size_t>(k)]);
    }
    if (!racine)
        return;
    for (std::size_t r = 0; r < Coupe.size();) {
        if (Coupe[r]->Fiche == fiche && Coupe[r]->Galerie == galerie)
            Coupe.retireA(r);
        else
            ++r;
    }
    PourGaleriesEnCoupe(Fiches, [&](TGalerie& g) {
        for (int k = 1; k <= NbSuites(g); ++k) {
            const auto u = static_cast<std::size_t>(k);
            if (g.SuiteFiche[u] == fiche && g.SuiteGalerie[u] == galerie) {
                RetireSuite(g, k);
                break;
            }
        }
    });
}

void TMassif::VideCoupe()
{
    for (TFiche* f : Fiches) {
        if (!f)
            continue;
        for (TGalerie* g : f->Galeries) {
            g->DansCoupe = false;
            g->NbSuites = 0;
        }
    }
    Coupe = ListePossedee<TPointCoupe>(16);
    Enregistre = false;
    VerifieCoupe();
}

bool CalculeLimitesCoupe(TStation& min, TStation& max, const ListeFiches& fiches)
{
    min.Abscisse = 1.0E38L;
    max.Abscisse = -1.0E38L;
    bool premier = true;
    auto prendZ = [&](long double z) {
        if (premier) {
            min.Z = max.Z = z;
            premier = false;
            return;
        }
        if (z < min.Z)
            min.Z = z;
        if (z > max.Z)
            max.Z = z;
    };
    auto prendX = [&](Reel6 x) {
        if (x < min.Abscisse)
            min.Abscisse = x;
        if (x > max.Abscisse)
            max.Abscisse = x;
    };
    for (const TFiche* f : fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            if (!g->DansCoupe || !g->Placee)
                continue;
            prendX(g->CoupeX0);
            prendX(g->CoupeX1);
            const long double z0 = g->CoupeZ0;
            prendZ(static_cast<long double>(g->Depart.Z) + z0);
            for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k)
                prendZ(static_cast<long double>(g->Station(k).Z) + z0);
        }
    }
    return !premier && min.Abscisse < max.Abscisse;
}

void TFiche::RetireDeLaCoupe(TMassif& massif)
{
    for (std::size_t i = 0; i < Galeries.size(); ++i)
        if (Galeries[i]->DansCoupe)
            massif.RetireBranche(Ordre, static_cast<int32_t>(i), true);
}

}  // namespace karst
