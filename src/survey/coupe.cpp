// Developed-section layout: placing the branches, the station abscissae, checking and
// removing branches.
#include "survey/coupe.h"

#include <algorithm>
#include <cmath>
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

// The gallery a root starts with, its numbers taken on 16 bits as the layout takes them.
TGalerie* GalerieRacine(const IndexFiches& index, const TPointCoupe& r)
{
    return index.Cherche(static_cast<int16_t>(r.Fiche), static_cast<int16_t>(r.Galerie));
}

// The roots hung at each gallery's far station, in list order.
using Accroches = std::unordered_map<const TGalerie*, std::vector<TPointCoupe*>>;

Accroches RacinesAccrochees(const ListePossedee<TPointCoupe>& coupe, const IndexFiches& index)
{
    Accroches r;
    for (TPointCoupe* p : coupe)
        if (p->Accrochee)
            if (const TGalerie* j = index.Cherche(p->JonctionFiche, p->JonctionGalerie))
                r[j].push_back(p);
    return r;
}

template <class G>
std::vector<G*> Aval(const IndexFiches& index, const Accroches& accroches, G& depart, bool exige)
{
    std::vector<G*> r{&depart};
    std::unordered_set<const TGalerie*> vues{&depart};
    auto suit = [&](int32_t fiche, int32_t galerie) {
        TGalerie* s = exige ? index.Exige(fiche, galerie) : index.Cherche(fiche, galerie);
        if (s && vues.insert(s).second)
            r.push_back(s);
    };
    for (std::size_t i = 0; i < r.size(); ++i) {
        const TGalerie& g = *r[i];
        for (int k = 1; k <= NbSuites(g); ++k)
            suit(g.SuiteFiche[static_cast<std::size_t>(k)], g.SuiteGalerie[static_cast<std::size_t>(k)]);
        if (const auto h = accroches.find(&g); h != accroches.end())
            for (const TPointCoupe* p : h->second)
                suit(p->Fiche, p->Galerie);
    }
    return r;
}

// One layout of the section: what it reached, and where.
struct MiseEnPage {
    MiseEnPage(const IndexFiches& i, const ListePossedee<TPointCoupe>& coupe)
        : index(&i), accroches(RacinesAccrochees(coupe, i))
    {}
    const IndexFiches* index;
    Accroches accroches;
    bool probleme = false;
    std::unordered_set<const TGalerie*> atteintes;
    // Where the continuations of each gallery laid out start.
    std::unordered_map<const TGalerie*, std::pair<Reel6, Reel6>> suites;
    std::unordered_set<const TPointCoupe*> accrochesPosees;
    // False: links to missing galleries, or that loop, are passed over and kept.
    bool repare = true;

    void Depuis(TGalerie* racine, Reel6 x, Reel6 z);
};

// Lays out a gallery and everything downstream of it, depth first: its continuations as
// the links list them, then the dead ends hung at its far station. A link to a missing
// gallery, or one that would lead back into the path being laid out (a cycle), is
// dropped; `probleme` tells that one was.
void MiseEnPage::Depuis(TGalerie* racine, Reel6 x, Reel6 z)
{
    struct Cadre {
        TGalerie* g;
        Reel6 xSuites;
        Reel6 z;
        int k;
        std::size_t accroche;
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
        const Reel6 xs = static_cast<long double>(x0) + d;
        pile.push_back({g, xs, z0, 1, 0});
        suites[g] = {xs, z0};
        chemin.insert(g);
        atteintes.insert(g);
    };
    entre(racine, x, z);
    while (!pile.empty()) {
        Cadre& c = pile.back();
        const Reel6 xs = c.xSuites, zs = c.z;
        if (c.k <= NbSuites(*c.g)) {
            const auto k = static_cast<std::size_t>(c.k);
            TGalerie* suite =
                index->Cherche(static_cast<int16_t>(c.g->SuiteFiche[k]), static_cast<int16_t>(c.g->SuiteGalerie[k]));
            if (!suite || chemin.count(suite)) {
                if (!repare) {
                    ++c.k;
                    continue;
                }
                RetireSuite(*c.g, c.k);
                probleme = true;
                continue;
            }
            ++c.k;
            entre(suite, xs, zs);
            continue;
        }
        const auto h = accroches.find(c.g);
        if (h == accroches.end() || c.accroche >= h->second.size()) {
            chemin.erase(c.g);
            pile.pop_back();
            continue;
        }
        TPointCoupe* p = h->second[c.accroche++];
        TGalerie* g = GalerieRacine(*index, *p);
        // Left unlaid, it leaves the section with its root.
        if (!g || chemin.count(g))
            continue;
        p->X = xs;
        p->Z = zs;
        accrochesPosees.insert(p);
        entre(g, xs, zs);
    }
}

MiseEnPage PasseMiseEnPage(const ListePossedee<TPointCoupe>& coupe, const IndexFiches& index, bool repare)
{
    MiseEnPage m(index, coupe);
    m.repare = repare;
    for (const TPointCoupe* r : coupe)
        if (!r->Accrochee)
            if (TGalerie* g = GalerieRacine(index, *r))
                m.Depuis(g, r->X, r->Z);
    return m;
}

bool MemeStation(const TPointTopo& p, const TPointCoupe& r)
{
    return !p.Terminus && p.Nom.Egal(r.Nom) && p.Indice == r.Indice;
}

// A root on a dead end, left where a gallery reaching its station starts its
// continuations, hangs at that gallery. A text file keeps that place to seven digits.
void ReconnaitAccroches(const ListeFiches& fiches, const ListePossedee<TPointCoupe>& coupe, const IndexFiches& index,
                        const MiseEnPage& mise)
{
    auto proche = [](Reel6 a, Reel6 b) {
        const long double u = a, v = b;
        return std::fabs(u - v) <= 1e-6L * std::max(1.0L, std::fabs(v));
    };
    for (TPointCoupe* p : coupe) {
        const TGalerie* g = GalerieRacine(index, *p);
        if (p->Accrochee || !g || !(g->Sens ? g->Arrivee : g->Depart).Terminus ||
            !MemeStation(g->Sens ? g->Depart : g->Arrivee, *p))
            continue;
        for (std::size_t i = 0; i < fiches.size() && !p->Accrochee; ++i) {
            const TFiche* f = fiches[i];
            for (std::size_t j = 0; f && j < f->Galeries.size() && !p->Accrochee; ++j) {
                const TGalerie* h = f->Galeries[j];
                const auto s = mise.suites.find(h);
                if (h == g || s == mise.suites.end() || index.Cherche(f->Ordre, static_cast<int32_t>(j)) != h ||
                    !MemeStation(h->Sens ? h->Arrivee : h->Depart, *p) || !proche(p->X, s->second.first) ||
                    !proche(p->Z, s->second.second))
                    continue;
                p->Accrochee = true;
                p->JonctionFiche = f->Ordre;
                p->JonctionGalerie = static_cast<int32_t>(j);
            }
        }
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
        for (std::size_t r = 0; r < Coupe.size();) {
            if (GalerieRacine(index, *Coupe[r])) {
                ++r;
                continue;
            }
            // A root whose gallery is gone: only that root goes.
            Coupe.retireA(r);
            probleme = true;
        }
        const MiseEnPage mise = PasseMiseEnPage(Coupe, index, true);
        probleme = probleme || mise.probleme;
        // A dead end hung at a gallery that no root leads to any more goes with it.
        for (std::size_t r = 0; r < Coupe.size();) {
            if (Coupe[r]->Accrochee && !mise.accrochesPosees.count(Coupe[r]))
                Coupe.retireA(r);
            else
                ++r;
        }
        // A gallery that no root leads to any more (below a root just dropped, say) would
        // stay drawn where an old layout put it: it leaves the section too.
        PourGaleriesEnCoupe(Fiches, [&](TGalerie& g) {
            if (mise.atteintes.count(&g))
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
    MiseEnPage mise(index, Coupe);
    mise.Depuis(g, x, z);
    CoupeCalculee = false;
    if (mise.probleme)
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
    // A branch start whose gallery is not in the section was left by a sheet that went: the
    // gallery is laid out nowhere, and a new start on it would be a second one.
    for (std::size_t r = 0; r < Coupe.size();) {
        if (const TGalerie* g = GalerieRacine(index, *Coupe[r]); g && !g->DansCoupe) {
            Coupe.retireA(r);
            probleme = true;
        } else {
            ++r;
        }
    }
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
    const Accroches accroches = RacinesAccrochees(Coupe, index);
    const std::vector<TGalerie*> aval = Aval(index, accroches, *index.Exige(fiche, galerie), true);
    for (TGalerie* g : aval)
        g->DansCoupe = false;
    // The dead ends hung at a gallery taken out go with it, roots and all.
    const std::unordered_set<const TGalerie*> otees(aval.begin(), aval.end());
    for (std::size_t r = 0; r < Coupe.size();) {
        const TPointCoupe& p = *Coupe[r];
        if (p.Accrochee && otees.count(index.Cherche(p.JonctionFiche, p.JonctionGalerie)))
            Coupe.retireA(r);
        else
            ++r;
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

std::vector<TGalerie*> AvalCoupe(const TMassif& massif, TGalerie& g, bool exige)
{
    const IndexFiches index(massif.Fiches);
    return Aval(index, RacinesAccrochees(massif.Coupe, index), g, exige);
}

std::vector<const TGalerie*> AvalCoupe(const TMassif& massif, const TGalerie& g)
{
    const IndexFiches index(massif.Fiches);
    return Aval(index, RacinesAccrochees(massif.Coupe, index), g, false);
}

void TMassif::ReconnaitAccrochesCoupe()
{
    const IndexFiches index(Fiches);
    ReconnaitAccroches(Fiches, Coupe, index, PasseMiseEnPage(Coupe, index, false));
}

void TFiche::RetireDeLaCoupe(TMassif& massif)
{
    for (std::size_t i = 0; i < Galeries.size(); ++i)
        if (Galeries[i]->DansCoupe)
            massif.RetireBranche(Ordre, static_cast<int32_t>(i), true);
}

}  // namespace karst
