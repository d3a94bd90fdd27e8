#include "calcul/calculateur.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

#include "calcul/drapeaux.h"
#include "calcul/matrice.h"
#include "survey/nombres.h"
#include "survey/textes.h"

namespace karst {

const char* const kMessageMassifTropGros = "Massif trop gros,\rDemandez une version spéciale de Karstomat";
const char* const kMessageTropDeCarrefours = "Trop de carrefours\r\nDemandez une version spéciale de Karstomat";

namespace {

// Key of a station for the look-ups that stand for TPointTopo::Egal scans: the name with
// its ASCII letters upper-cased, then the index. Empty for a terminus, which equals nothing.
std::string Cle(const TPointTopo& p)
{
    if (p.Terminus)
        return {};
    std::string k = MajAscii(p.Nom.Chaine());
    k.push_back('\0');
    k.push_back(static_cast<char>(p.Indice));
    return k;
}

double Variance(const TConcentre& c) { return c.Poids2 < kVarianceMin ? kVarianceMin : c.Poids2; }

void Retranche(std::vector<TConcentre*>& v, const TConcentre* c)
{
    auto it = std::find(v.begin(), v.end(), c);
    if (it != v.end())
        v.erase(it);
}

}  // namespace

// ---- TConcentre -------------------------------------------------------------------------

void TConcentre::InitFiche(const TGalerie& g, int fiche, int galerie)
{
    NbMembres = 1;
    MembreFiche.assign(1, fiche);
    MembreGalerie.assign(1, galerie);
    MembreInverse.assign(1, 0);
    Debut.Copie(g.Depart);
    Fin.Copie(g.Arrivee);
    DX = g.SommeDX.d();
    DY = g.SommeDY.d();
    DZ = g.SommeDZ.d();
    Longueur = g.SommeL.d();
    Poids1 = static_cast<double>(static_cast<long double>(g.SommeL) * g.Coefficient);
    Poids2 = static_cast<double>(static_cast<long double>(g.SommeL2) * g.Coefficient);
    Placee = g.Placee;
}

// ---- TCalculateur: loading and look-ups --------------------------------------------------

TCalculateur::TCalculateur() : Fixes(kMaxCarrefours + 1, 0) {}

TCalculateur::~TCalculateur() = default;

std::unique_ptr<TConcentre> TCalculateur::NouveauConcentre()
{
    auto c = std::make_unique<TConcentre>();
    c->rang_ = prochainRang_++;
    return c;
}

void TCalculateur::Charge(const ListeFiches& fiches, const std::vector<TPointTopo*>& references, int mode)
{
    Fiches = &fiches;
    for (std::size_t i = 0; i < fiches.size(); ++i) {
        const TFiche* f = fiches[i];
        if (!f)
            continue;
        for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
            const TGalerie* g = f->Galeries[j];
            if (mode != 1 && (g->DansCoupe || g->Depart.Terminus || g->Arrivee.Terminus))
                continue;
            auto c = NouveauConcentre();
            c->InitFiche(*g, static_cast<int>(i), static_cast<int>(j));
            Concentres.ajoute(std::move(c));
        }
    }
    for (const TPointTopo* r : references) {
        if (!r)
            continue;
        auto p = std::make_unique<TPointTopo>();
        p->Copie(*r);
        const std::string k = Cle(*p);
        if (!k.empty())
            indexReferences_[k] = static_cast<int>(References.size());
        References.ajoute(std::move(p));
    }
}

int TCalculateur::DerniereReference(const TPointTopo& station) const
{
    if (station.Terminus)
        return -1;
    auto it = indexReferences_.find(Cle(station));
    return it == indexReferences_.end() ? -1 : it->second;
}

int32_t TCalculateur::NumeroCarrefour(const TPointTopo& station) const
{
    if (station.Terminus)
        return 0;
    auto it = indexCarrefours_.find(Cle(station));
    return it == indexCarrefours_.end() ? 0 : it->second;
}

void TCalculateur::Signale(const std::string& texte, GenreMessage genre)
{
    if (Messages)
        Messages->Message(texte, genre);
    else
        MessagesEnAttente.push_back(texte);
}

void TCalculateur::Limite(const std::string& texte)
{
    Signale(texte, GenreMessage::Simple);
    limiteAtteinte_ = true;
}

int32_t TCalculateur::TrouveCarrefour(const TPointTopo& station)
{
    if (station.Terminus)
        return -1;
    const std::string k = Cle(station);
    if (indexReferences_.count(k))
        return 0;
    auto it = indexCarrefours_.find(k);
    if (it != indexCarrefours_.end())
        return it->second;
    auto p = std::make_unique<TPointTopo>();
    p->Copie(station);
    Carrefours.ajoute(std::move(p));
    const auto n = static_cast<int32_t>(Carrefours.size());
    indexCarrefours_.emplace(k, n);
    if (n > kMaxCarrefours) {
        if (!Arrete())
            Limite(kMessageMassifTropGros);
    }
    return n;
}

TGalerie* TCalculateur::Membre(const TConcentre& c, std::size_t k) const
{
    if (!Fiches || k >= c.MembreFiche.size())
        return nullptr;
    const auto f = static_cast<std::size_t>(c.MembreFiche[k]);
    const auto g = static_cast<std::size_t>(c.MembreGalerie[k]);
    if (f >= Fiches->size() || !(*Fiches)[f] || g >= (*Fiches)[f]->Galeries.size())
        return nullptr;
    return (*Fiches)[f]->Galeries[g];
}

// ---- Phase 1 ----------------------------------------------------------------------------

bool TCalculateur::Connecte(bool verbeux)
{
    bool resultat = false;
    if (References.empty()) {
        if (verbeux)
            Signale("Il n'y a pas de point de référence.", GenreMessage::Confirmation);
        // Galleries and no reference: nothing can be reached, and the quick computation
        // says so as it does when the references name no station.
        AucuneAtteinte = !Concentres.empty();
        Reussi = false;
        return false;
    }
    // A reference point beyond what the massif files admit has no place in metres: the run
    // names it and places nothing, rather than end on a bare overflow.
    for (const TPointTopo* r : References) {
        for (const auto& [axe, v] : {std::pair{"X", r->X}, std::pair{"Y", r->Y}, std::pair{"Z", r->Z}}) {
            if (MesureAdmise(v))
                continue;
            ReferenceInutilisable = true;
            if (verbeux)
                Sablier(false);
            Signale("Le point de référence « " + EnUtf8(r->Nom.Chaine()) + " » ne peut pas servir au calcul : " +
                        HorsBornes(std::string("sa coordonnée ") + axe, v) + ".\rAucun point n'a été placé.",
                    GenreMessage::Avertissement);
            if (verbeux)
                Sablier(true);
            Reussi = false;
            return false;
        }
    }
    for (TPointTopo* r : References) {
        r->X = static_cast<long double>(r->X) * 1000;
        r->Y = static_cast<long double>(r->Y) * 1000;
    }
    const std::size_t n = Concentres.size();
    std::vector<uint8_t> atteint(n, 0);
    auto fixe = [&](const TConcentre& c, int32_t k) {
        if (c.Placee && k >= 1 && k <= kMaxCarrefours)
            Fixes[static_cast<std::size_t>(k)] = 1;
    };
    auto copie = [](TPointTopo& p, const TPointTopo& r) {
        p.X = r.X;
        p.Y = r.Y;
        p.Z = r.Z;
    };

    // Reference pass, the first forward sweep. The last reference that matches an end gives
    // its coordinates, as copying every match in list order would.
    bool reussiPasse = false;
    for (std::size_t i = 0; i < n && !Arrete(); ++i) {
        TConcentre& c = *Concentres[i];
        const int rf = DerniereReference(c.Fin);
        const int rd = DerniereReference(c.Debut);
        if (rf >= 0 && !c.Fin.Egal(c.Debut)) {
            copie(c.Fin, *References[static_cast<std::size_t>(rf)]);
            c.NoeudDebut = TrouveCarrefour(c.Debut);
            fixe(c, c.NoeudDebut);
            atteint[i] = 1;
        }
        if (rd >= 0) {
            copie(c.Debut, *References[static_cast<std::size_t>(rd)]);
            c.NoeudFin = TrouveCarrefour(c.Fin);
            fixe(c, c.NoeudFin);
            atteint[i] = 1;
        }
        if (atteint[i])
            reussiPasse = true;
    }

    // Junction sweeps, alternately backward and forward. A chain is compared with the
    // junctions from the last one down to the last one of the previous sweep of the same
    // direction; the highest-numbered junction equal to either end wins, its start first.
    // The sweeps compare integers: each chain end gets a station number, and `numero`
    // holds the junction that station has become (0 while none).
    std::unordered_map<std::string, int> stations;
    std::vector<int> idDebut(n), idFin(n);
    auto id = [&](const TPointTopo& p) {
        return p.Terminus ? -1 : stations.emplace(Cle(p), static_cast<int>(stations.size())).first->second;
    };
    for (std::size_t i = 0; i < n; ++i) {
        idDebut[i] = id(Concentres[i]->Debut);
        idFin[i] = id(Concentres[i]->Fin);
    }
    std::vector<int32_t> numero(stations.size(), 0);
    for (const auto& [cle, s] : stations) {
        auto it = indexCarrefours_.find(cle);
        if (it != indexCarrefours_.end())
            numero[static_cast<std::size_t>(s)] = it->second;
    }
    auto numeroDe = [&](int s) { return s < 0 ? 0 : numero[static_cast<std::size_t>(s)]; };
    auto repere = [&](const TPointTopo& p, int s) {
        const int32_t k = TrouveCarrefour(p);
        if (s >= 0 && k >= 1)
            numero[static_cast<std::size_t>(s)] = k;
        return k;
    };
    auto cherche = [&](std::size_t i, std::size_t limite) {
        TConcentre& c = *Concentres[i];
        const int32_t bas = static_cast<int32_t>(std::max<std::size_t>(limite, 1));
        const int32_t jd = numeroDe(idDebut[i]);
        const int32_t jf = numeroDe(idFin[i]);
        const bool d = jd >= bas, f = jf >= bas;
        if (d && (!f || jd >= jf)) {
            c.NoeudDebut = jd;
            c.NoeudFin = repere(c.Fin, idFin[i]);
        } else if (f) {
            c.NoeudFin = jf;
            c.NoeudDebut = repere(c.Debut, idDebut[i]);
        } else {
            return false;
        }
        fixe(c, c.NoeudDebut);
        fixe(c, c.NoeudFin);
        atteint[i] = 1;
        return true;
    };
    if (reussiPasse && n > 0) {
        std::size_t limiteAvant = Carrefours.size();
        std::size_t limiteArriere = 0;
        long long debutArriere = static_cast<long long>(n) - 1;
        std::size_t debutAvant = 0;
        bool arriere = true;
        for (;;) {
            if (Arrete())
                break;
            bool trouve = false;
            if (arriere) {
                long long plusBas = -1;
                for (long long i = debutArriere; i >= 0 && !Arrete(); --i) {
                    const auto u = static_cast<std::size_t>(i);
                    if (!atteint[u] && cherche(u, limiteArriere)) {
                        trouve = true;
                        plusBas = i;
                    }
                }
                limiteArriere = Carrefours.size();
                if (!trouve)
                    break;
                debutAvant = static_cast<std::size_t>(plusBas + 1);
            } else {
                long long plusHaut = -1;
                for (std::size_t i = debutAvant; i < n && !Arrete(); ++i) {
                    if (!atteint[i] && cherche(i, limiteAvant)) {
                        trouve = true;
                        plusHaut = static_cast<long long>(i);
                    }
                }
                limiteAvant = Carrefours.size();
                if (!trouve)
                    break;
                debutArriere = plusHaut - 1;
            }
            arriere = !arriere;
        }
    }

    if (Arrete()) {
        Reussi = false;
        return false;
    }
    std::size_t nbAtteints = 0;
    for (uint8_t a : atteint)
        nbAtteints += a;
    if (nbAtteints == n) {
        resultat = true;
    } else if (nbAtteints > 0) {
        Lacunes = true;
        bool continuer = true;
        if (verbeux && Messages) {
            std::vector<std::string> lignes;
            for (std::size_t i = 0; i < n; ++i) {
                if (atteint[i])
                    continue;
                const TConcentre& c = *Concentres[i];
                for (std::size_t k = 0; k < c.MembreFiche.size(); ++k) {
                    const TGalerie* g = Membre(c, k);
                    if (!g)
                        continue;
                    const TFiche* f = (*Fiches)[static_cast<std::size_t>(c.MembreFiche[k])];
                    lignes.push_back(f->LibelleGalerie(g->Depart, g->Arrivee));
                }
            }
            Sablier(false);
            continuer = Messages->ContinuerSansLacunes(lignes);
            Sablier(true);
        }
        if (continuer) {
            resultat = true;
            for (std::size_t i = 0; i < n; ++i)
                if (!atteint[i])
                    Concentres.videPlace(i);
            Concentres.compacte();
        }
    } else {
        AucuneAtteinte = true;
        if (verbeux) {
            Sablier(false);
            Signale("Aucune fiche n'est atteinte, vérifiez les noms des points de référence.", GenreMessage::Simple);
            Sablier(true);
        }
    }
    Reussi = resultat;
    return resultat;
}

// ---- Phase 2 ----------------------------------------------------------------------------

void TCalculateur::NoteExtremites(const TConcentre& c)
{
    for (int32_t k : {c.NoeudDebut, c.NoeudFin}) {
        if (k < 1)
            continue;
        const auto u = static_cast<std::size_t>(k);
        if (u >= incidences_.size())
            incidences_.resize(u + 1);
        incidences_[u].push_back(const_cast<TConcentre*>(&c));
    }
}

void TCalculateur::OteExtremites(const TConcentre& c)
{
    for (int32_t k : {c.NoeudDebut, c.NoeudFin}) {
        const auto u = static_cast<std::size_t>(k);
        if (k >= 1 && u < incidences_.size())
            Retranche(incidences_[u], &c);
    }
}

// Takes a chain out of Concentres, which stays in creation order. During phase 2 its place
// is left empty (and noted), so that a removal costs no shifting of the list.
std::unique_ptr<TConcentre> TCalculateur::Retire(TConcentre* c)
{
    std::unique_ptr<TConcentre> retire;
    if (enSimplification_) {
        auto it = std::lower_bound(rangs_.begin(), rangs_.end(), c->rang_);
        const auto u = static_cast<std::size_t>(it - rangs_.begin());
        if (it == rangs_.end() || Concentres[u] != c)
            return nullptr;
        retire = Concentres.videPlace(u);
        --vivants_;
        placesRetirees_.push_back(u);
    } else {
        auto it = std::lower_bound(Concentres.begin(), Concentres.end(), c,
                                   [](const TConcentre* a, const TConcentre* b) { return a->rang_ < b->rang_; });
        if (it == Concentres.end() || *it != c)
            return nullptr;
        retire = Concentres.retireA(static_cast<std::size_t>(it - Concentres.begin()));
    }
    OteExtremites(*c);
    return retire;
}

void TCalculateur::FusionneConcentres(int32_t j)
{
    // P is the first chain of the list with an end at j, Q the next one.
    std::vector<TConcentre*> candidats;
    const auto u = static_cast<std::size_t>(j);
    if (enSimplification_) {
        if (j >= 1 && u < incidences_.size())
            candidats = incidences_[u];
    } else {
        for (TConcentre* c : Concentres)
            if (c->NoeudDebut == j || c->NoeudFin == j)
                candidats.push_back(c);
    }
    TConcentre* P = nullptr;
    TConcentre* Q = nullptr;
    for (TConcentre* c : candidats)
        if (!P || c->rang_ < P->rang_)
            P = c;
    for (TConcentre* c : candidats)
        if (c != P && (!Q || c->rang_ < Q->rang_))
            Q = c;
    if (!P || !Q)
        return;

    // R runs `premier` then `second`, each forwards or backwards, so that they meet at j.
    auto R = NouveauConcentre();
    auto compose = [&](const TConcentre& premier, bool inversePremier, const TConcentre& second, bool inverseSecond) {
        R->Debut.Copie(inversePremier ? premier.Fin : premier.Debut);
        R->NoeudDebut = inversePremier ? premier.NoeudFin : premier.NoeudDebut;
        R->Fin.Copie(inverseSecond ? second.Debut : second.Fin);
        R->NoeudFin = inverseSecond ? second.NoeudDebut : second.NoeudFin;
        const double s1 = inversePremier ? -1 : 1, s2 = inverseSecond ? -1 : 1;
        R->DX = s1 * premier.DX + s2 * second.DX;
        R->DY = s1 * premier.DY + s2 * second.DY;
        R->DZ = s1 * premier.DZ + s2 * second.DZ;
        for (auto [c, renverse] : {std::pair{&premier, inversePremier}, std::pair{&second, inverseSecond}}) {
            const std::size_t m = c->MembreFiche.size();
            for (std::size_t t = 0; t < m; ++t) {
                const std::size_t k = renverse ? m - 1 - t : t;
                R->MembreFiche.push_back(c->MembreFiche[k]);
                R->MembreGalerie.push_back(c->MembreGalerie[k]);
                R->MembreInverse.push_back(renverse ? !c->MembreInverse[k] : c->MembreInverse[k]);
            }
        }
    };
    const bool pDebut = P->NoeudDebut == j;
    const bool qDebut = Q->NoeudDebut == j;
    if (pDebut && !qDebut)
        compose(*Q, false, *P, false);
    else if (pDebut)
        compose(*P, true, *Q, false);
    else if (!qDebut)
        compose(*P, false, *Q, true);
    else
        compose(*P, false, *Q, false);
    R->NbMembres = P->NbMembres + Q->NbMembres;
    R->Longueur = P->Longueur + Q->Longueur;
    R->Poids1 = P->Poids1 + Q->Poids1;
    R->Poids2 = P->Poids2 + Q->Poids2;
    R->Placee = P->Placee && Q->Placee;
    Retire(P);
    Retire(Q);
    TConcentre* r = Concentres.ajoute(std::move(R));
    if (enSimplification_) {
        rangs_.push_back(r->rang_);
        ++vivants_;
    }
    NoteExtremites(*r);
}

void TCalculateur::Fusion(int32_t j, std::vector<int>& degres)
{
    FusionneConcentres(j);
    degres[static_cast<std::size_t>(j)] = 0;
}

void TCalculateur::Simplifie(bool verbeux)
{
    std::string texte = FormatEntier(static_cast<long long>(Concentres.size())) + " galeries,";
    const std::size_t nc = Carrefours.size();
    // Ends per junction; a plain int, as a junction may be met by more than 255 chain ends.
    std::vector<int> degres(nc + 1, 0);
    incidences_.assign(nc + 1, {});
    for (TConcentre* c : Concentres) {
        NoteExtremites(*c);
        for (int32_t k : {c->NoeudDebut, c->NoeudFin})
            if (k >= 1 && static_cast<std::size_t>(k) <= nc)
                ++degres[static_cast<std::size_t>(k)];
    }
    // While the list is reduced, removed chains leave empty places (see Retire); positions
    // below are places of that list, and every scan skips the empty ones.
    enSimplification_ = true;
    rangs_.clear();
    for (const TConcentre* c : Concentres)
        rangs_.push_back(c->rang_);
    vivants_ = Concentres.size();
    auto degre = [&](int32_t k) -> int& { return degres[static_cast<std::size_t>(k)]; };
    auto valide = [&](int32_t k) { return k >= 1 && static_cast<std::size_t>(k) <= nc; };

    for (std::size_t k = 1; k <= nc && !Arrete(); ++k)
        if (degres[k] == 2)
            Fusion(static_cast<int32_t>(k), degres);

    while (!Arrete()) {
        std::size_t retraits = 0;
        // Loops: the first loop of the list each time. Chains before the one taken out
        // were not loops and stay so (a merge only removes chains and appends one), so the
        // scan goes on from its place.
        for (std::size_t p = 0; p < Concentres.size(); ++p) {
            TConcentre* c = Concentres[p];
            if (!c || c->NoeudDebut == -1 || c->NoeudDebut != c->NoeudFin)
                continue;
            Boucles.ajoute(Retire(c));
            ++retraits;
            placesRetirees_.clear();
            const int32_t k = c->NoeudDebut;
            if (valide(k)) {
                degre(k) -= 2;
                if (degre(k) == 2)
                    Fusion(k, degres);
            }
        }
        // Dead ends. The list is walked by position: after a removal the scan goes on at
        // the next position of the shortened list, so the chain that moved into the removed
        // one's place is not examined in this pass, nor one more for each chain a merge
        // took out before it.
        if (vivants_ > 0) {
            auto bout = [&](int32_t k) { return k == -1 || (valide(k) && degre(k) == 1); };
            std::size_t p = 0;
            for (;;) {
                while (p < Concentres.size() && !Concentres[p])
                    ++p;
                if (p >= Concentres.size())
                    break;
                TConcentre* c = Concentres[p];
                const bool debutLibre = bout(c->NoeudDebut);
                if (!debutLibre && !bout(c->NoeudFin)) {
                    ++p;
                    continue;
                }
                const int32_t attache = debutLibre ? c->NoeudFin : c->NoeudDebut;
                placesRetirees_.clear();
                CulsDeSac.ajoute(Retire(c));
                ++retraits;
                if (valide(attache)) {
                    degre(attache) -= 1;
                    if (degre(attache) == 2)
                        Fusion(attache, degres);
                }
                std::size_t saut = 0;
                for (std::size_t q : placesRetirees_)
                    saut += q <= p ? 1 : 0;
                ++p;
                while (saut > 0 && p < Concentres.size()) {
                    if (Concentres[p])
                        --saut;
                    ++p;
                }
            }
        }
        if (retraits == 0 || vivants_ == 0)
            break;
    }
    Concentres.compacte();
    enSimplification_ = false;
    rangs_.clear();
    placesRetirees_.clear();
    incidences_.clear();
    incidences_.shrink_to_fit();

    if (verbeux) {
        texte += " " + FormatEntier(static_cast<long long>(Concentres.size())) + " branches,";
        texte += " " + FormatEntier(static_cast<long long>(Boucles.size())) + " boucles,";
        texte += " " + FormatEntier(static_cast<long long>(CulsDeSac.size())) + " cul de sac,";
        Sablier(false);
        Signale(texte, GenreMessage::Information);
        Sablier(true);
    }
}

// ---- Phase 3 ----------------------------------------------------------------------------

void TCalculateur::AlloueTableaux()
{
    const std::size_t n = Carrefours.size() + 1;
    Connus.assign(n, 0);
    Distances.assign(n, 0.0);
    Inconnues.assign(n, 0);
}

void TCalculateur::MarqueConnu(int32_t k, long double x, long double y, long double z)
{
    if (k < 1 || static_cast<std::size_t>(k) > Carrefours.size())
        return;
    const auto u = static_cast<std::size_t>(k);
    if (u >= Connus.size()) {
        Connus.resize(u + 1, 0);
        if (!Distances.empty())
            Distances.resize(u + 1, 0.0);
    }
    Connus[u] = 1;
    TPointTopo& p = *Carrefours[u - 1];
    p.X = x;
    p.Y = y;
    p.Z = z;
}

void TCalculateur::CoordonneesProvisoires()
{
    if (Connus.size() < Carrefours.size() + 1 || Distances.size() < Carrefours.size() + 1)
        AlloueTableaux();
    std::fill(Connus.begin(), Connus.end(), 0);
    auto point = [&](int32_t k) -> const TPointTopo& { return *Carrefours[static_cast<std::size_t>(k) - 1]; };
    auto valide = [&](int32_t k) { return k >= 1 && static_cast<std::size_t>(k) <= Carrefours.size(); };
    auto pose = [&](int32_t k, double distance, long double x, long double y, long double z) {
        MarqueConnu(k, x, y, z);
        Distances[static_cast<std::size_t>(k)] = distance;
    };
    for (TConcentre* c : Concentres) {
        if (c->NoeudDebut == 0 && valide(c->NoeudFin)) {
            const int32_t e = c->NoeudFin;
            if (!Connu(e) || Distances[static_cast<std::size_t>(e)] > c->Poids1)
                pose(e, c->Poids1, static_cast<long double>(c->Debut.X) + c->DX,
                     static_cast<long double>(c->Debut.Y) + c->DY, static_cast<long double>(c->Debut.Z) + c->DZ);
        }
        if (c->NoeudFin == 0 && valide(c->NoeudDebut)) {
            const int32_t s = c->NoeudDebut;
            if (!Connu(s) || Distances[static_cast<std::size_t>(s)] > c->Poids1)
                pose(s, c->Poids1, static_cast<long double>(c->Fin.X) - c->DX,
                     static_cast<long double>(c->Fin.Y) - c->DY, static_cast<long double>(c->Fin.Z) - c->DZ);
        }
    }
    // Relaxation. Without negative weights it settles within one pass per junction; the
    // bound also ends it when a negative coefficient would make it run for ever.
    const std::size_t maxPasses = Carrefours.size() + 2;
    for (std::size_t passe = 0; passe < maxPasses && !Arrete(); ++passe) {
        bool change = false;
        for (TConcentre* c : Concentres) {
            const int32_t s = c->NoeudDebut, e = c->NoeudFin;
            if (!valide(s) || !valide(e))
                continue;
            const double p1 = c->Poids1;
            if (Connu(s) && (!Connu(e) || Distances[s] + p1 + 1e-5 < Distances[e])) {
                const TPointTopo& ps = point(s);
                pose(e, Distances[s] + p1, static_cast<long double>(ps.X) + c->DX,
                     static_cast<long double>(ps.Y) + c->DY, static_cast<long double>(ps.Z) + c->DZ);
                change = true;
            }
            if (Connu(e) && (!Connu(s) || Distances[e] + p1 + 1e-5 < Distances[s])) {
                const TPointTopo& pe = point(e);
                pose(s, Distances[e] + p1, static_cast<long double>(pe.X) - c->DX,
                     static_cast<long double>(pe.Y) - c->DY, static_cast<long double>(pe.Z) - c->DZ);
                change = true;
            }
        }
        if (!change)
            break;
    }
}

std::vector<const TConcentre*> TCalculateur::CheminLePlusLeger(int32_t depart) const
{
    const std::size_t n = Carrefours.size() + 1;
    if (depart < 1 || static_cast<std::size_t>(depart) >= n)
        return {};
    auto noeud = [n](int32_t k) { return k >= 0 && static_cast<std::size_t>(k) < n; };
    // Chains by the nodes they join; a chain from a node to itself shortens nothing.
    std::vector<std::vector<const TConcentre*>> voisins(n);
    for (const TConcentre* c : Concentres) {
        if (!c || !noeud(c->NoeudDebut) || !noeud(c->NoeudFin) || c->NoeudDebut == c->NoeudFin)
            continue;
        voisins[static_cast<std::size_t>(c->NoeudDebut)].push_back(c);
        voisins[static_cast<std::size_t>(c->NoeudFin)].push_back(c);
    }
    // Dijkstra from the reference points. A negative coefficient would make "lightest"
    // meaningless (and the search endless): such a chain weighs nothing.
    constexpr double kInfini = std::numeric_limits<double>::infinity();
    std::vector<double> distance(n, kInfini);
    std::vector<const TConcentre*> vers(n, nullptr);  // the chain towards node 0
    std::vector<uint8_t> fait(n, 0);
    using Entree = std::pair<double, int32_t>;
    std::priority_queue<Entree, std::vector<Entree>, std::greater<>> file;
    distance[0] = 0;
    file.emplace(0.0, 0);
    while (!file.empty()) {
        const auto [d, k] = file.top();
        file.pop();
        const auto u = static_cast<std::size_t>(k);
        if (fait[u])
            continue;
        fait[u] = 1;
        if (k == depart)
            break;
        for (const TConcentre* c : voisins[u]) {
            const int32_t autre = c->NoeudDebut == k ? c->NoeudFin : c->NoeudDebut;
            const auto v = static_cast<std::size_t>(autre);
            const double dv = d + std::max(0.0, c->Poids1);
            if (!fait[v] && dv < distance[v]) {
                distance[v] = dv;
                vers[v] = c;
                file.emplace(dv, autre);
            }
        }
    }
    std::vector<const TConcentre*> chemin;
    for (int32_t k = depart; k != 0;) {
        const TConcentre* c = vers[static_cast<std::size_t>(k)];
        if (!c)
            return {};
        chemin.push_back(c);
        k = c->NoeudDebut == k ? c->NoeudFin : c->NoeudDebut;
    }
    return chemin;
}

void TCalculateur::Compense(bool verbeux)
{
    AlloueTableaux();
    CoordonneesProvisoires();
    int n = 0;
    for (std::size_t k = 1; k < Connus.size(); ++k)
        if (Connus[k])
            Inconnues[k] = ++n;
    if (verbeux) {
        Sablier(false);
        Signale(FormatEntier(n) + " carrefours.", GenreMessage::Information);
        Sablier(true);
        DemarreChrono();
    }
    auto libere = [&] {
        Distances.clear();
        Distances.shrink_to_fit();
        Inconnues.clear();
        Inconnues.shrink_to_fit();
    };
    if (n > kMaxInconnues) {
        // The system is never built beyond its size; the run stops here, junctions at their
        // provisional coordinates.
        Limite(kMessageTropDeCarrefours);
        libere();
        return;
    }
    // X, Y and Z share the matrix (same structure, same weights): one elimination with three
    // right-hand sides does exactly what three separate ones would.
    TMatrice m(n, 3);
    auto inconnue = [&](int32_t k) { return k >= 1 ? Inconnues[static_cast<std::size_t>(k)] : 0; };
    for (const TConcentre* c : Concentres) {
        const int32_t s = c->NoeudDebut, e = c->NoeudFin;
        // Only chains between known junctions and reference points observe anything.
        if (s < 0 || e < 0 || (s > 0 && !Connu(s)) || (e > 0 && !Connu(e)))
            continue;
        const TPointTopo& pd = s == 0 ? c->Debut : *Carrefours[static_cast<std::size_t>(s) - 1];
        const TPointTopo& pf = e == 0 ? c->Fin : *Carrefours[static_cast<std::size_t>(e) - 1];
        const double d[3] = {
            static_cast<double>(c->DX - (static_cast<long double>(pf.X) - pd.X)),
            static_cast<double>(c->DY - (static_cast<long double>(pf.Y) - pd.Y)),
            static_cast<double>(c->DZ - (static_cast<long double>(pf.Z) - pd.Z)),
        };
        if (!m.AjouteObservation(inconnue(s), inconnue(e), d, Variance(*c)))
            Signale("Points de ref à chaque bout !", GenreMessage::Avertissement);
    }
    if (!Arrete())
        m.Resout();
    if (!Arrete()) {
        for (std::size_t k = 1; k < Connus.size(); ++k) {
            if (!Connus[k])
                continue;
            TPointTopo& p = *Carrefours[k - 1];
            const int i = Inconnues[k];
            p.X = static_cast<long double>(p.X) + m.SecondMembre(i, 0);
            p.Y = static_cast<long double>(p.Y) + m.SecondMembre(i, 1);
            p.Z = static_cast<long double>(p.Z) + m.SecondMembre(i, 2);
        }
    }
    libere();
    if (verbeux) {
        Sablier(false);
        Signale(DureeChrono() + " s", GenreMessage::Information);
        Sablier(true);
    }
}

// ---- Phase 4 ----------------------------------------------------------------------------

void TCalculateur::PlaceConcentre(TConcentre& c, int mode)
{
    auto extremite = [&](int32_t noeud, const TPointTopo& p) -> const TPointTopo* {
        if (noeud == 0) {
            const int r = DerniereReference(p);
            return r >= 0 ? References[static_cast<std::size_t>(r)] : nullptr;
        }
        if (noeud >= 1 && Connu(noeud))
            return Carrefours[static_cast<std::size_t>(noeud) - 1];
        return nullptr;
    };
    const TPointTopo* A = extremite(c.NoeudDebut, c.Debut);
    const TPointTopo* B = extremite(c.NoeudFin, c.Fin);
    if (!A && !B)
        return;

    long double cx = 0, cy = 0, cz = 0;
    long double eh = 0, ev = 0;
    const long double var = Variance(c);
    auto repartit = [&](long double ex, long double ey, long double ez) {
        // A chain of no weight has nothing to spread a misclosure over.
        if (c.Poids1 != 0) {
            cx = ex / c.Poids1;
            cy = ey / c.Poids1;
            cz = ez / c.Poids1;
        }
        eh = std::sqrt((ex / var) * (ex / var) + (ey / var) * (ey / var));
        ev = std::fabs(ez / var);
    };
    if (mode == 2 && A && B && A->Egal(*B)) {
        repartit(-c.DX, -c.DY, -c.DZ);
    } else if ((mode == 1 || mode == 2) && A && B) {
        repartit((static_cast<long double>(B->X) - A->X) - c.DX, (static_cast<long double>(B->Y) - A->Y) - c.DY,
                 (static_cast<long double>(B->Z) - A->Z) - c.DZ);
    }
    c.EcartHorizontal = static_cast<double>(eh);
    c.EcartVertical = static_cast<double>(ev);

    const std::size_t nb = c.MembreFiche.size();
    if (A) {
        long double x = A->X, y = A->Y, z = A->Z;
        for (std::size_t k = 0; k < nb; ++k) {
            TGalerie* g = Membre(c, k);
            if (!g)
                continue;
            g->EcartHorizontal = c.EcartHorizontal;
            g->EcartVertical = c.EcartVertical;
            if (k + 1 < nb || mode == 3) {
                const long double w = static_cast<long double>(g->Coefficient) * g->SommeL;
                const long double sgn = c.MembreInverse[k] ? -1 : 1;
                x += sgn * g->SommeDX + w * cx;
                y += sgn * g->SommeDY + w * cy;
                z += sgn * g->SommeDZ + w * cz;
                const int32_t noeud = TrouveCarrefour(c.MembreInverse[k] ? g->Depart : g->Arrivee);
                if (noeud >= 1)
                    MarqueConnu(noeud, x, y, z);
            }
        }
    } else {
        long double x = B->X, y = B->Y, z = B->Z;
        for (std::size_t t = nb; t-- > 0;) {
            TGalerie* g = Membre(c, t);
            if (!g)
                continue;
            g->EcartHorizontal = c.EcartHorizontal;
            g->EcartVertical = c.EcartVertical;
            const long double sgn = c.MembreInverse[t] ? 1 : -1;
            x += sgn * g->SommeDX;
            y += sgn * g->SommeDY;
            z += sgn * g->SommeDZ;
            const int32_t noeud = TrouveCarrefour(c.MembreInverse[t] ? g->Arrivee : g->Depart);
            if (noeud >= 1)
                MarqueConnu(noeud, x, y, z);
        }
    }
}

void TCalculateur::Repartit()
{
    for (TConcentre* c : Concentres) {
        if (Arrete())
            return;
        PlaceConcentre(*c, 1);
        c->reparti_ = true;
    }
    auto ouvert = [&](int32_t k) { return k == 0 || Connu(k); };
    bool place = true;
    while (place && !Arrete()) {
        place = false;
        for (std::size_t i = Boucles.size(); i-- > 0;) {
            TConcentre* c = Boucles[i];
            if (c->reparti_ || !ouvert(c->NoeudDebut))
                continue;
            PlaceConcentre(*c, 2);
            c->reparti_ = true;
            place = true;
        }
        for (std::size_t i = CulsDeSac.size(); i-- > 0;) {
            TConcentre* c = CulsDeSac[i];
            if (c->reparti_ || (!ouvert(c->NoeudDebut) && !ouvert(c->NoeudFin)))
                continue;
            PlaceConcentre(*c, 3);
            c->reparti_ = true;
            place = true;
        }
    }
}

// ---- Phase 5 ----------------------------------------------------------------------------

void TCalculateur::PlaceExtremites()
{
    if (!Fiches || ReferenceInutilisable)
        return;
    // Looks an end up: a reference gives its coordinates at once; a junction is reported
    // through `carrefour`.
    auto examine = [&](TPointTopo& p, int32_t& carrefour) {
        carrefour = 0;
        if (p.Terminus)
            return false;
        const int r = DerniereReference(p);
        if (r >= 0) {
            const TPointTopo& ref = *References[static_cast<std::size_t>(r)];
            p.X = ref.X;
            p.Y = ref.Y;
            p.Z = ref.Z;
            return true;
        }
        const int32_t j = NumeroCarrefour(p);
        if (j < 1 || (!Connus.empty() && !Connu(j)))
            return false;
        carrefour = j;
        return true;
    };
    auto prend = [&](TPointTopo& p, int32_t j) {
        const TPointTopo& q = *Carrefours[static_cast<std::size_t>(j) - 1];
        p.X = q.X;
        p.Y = q.Y;
        p.Z = q.Z;
    };
    for (TFiche* f : *Fiches) {
        if (!f)
            continue;
        for (TGalerie* g : f->Galeries) {
            int32_t jd = 0, ja = 0;
            const bool d = examine(g->Depart, jd);
            const bool a = examine(g->Arrivee, ja);
            if (!d && !a)
                continue;
            g->Placee = true;
            if (jd >= 1)
                prend(g->Depart, jd);
            if (ja >= 1)
                prend(g->Arrivee, ja);
        }
    }
}

// ---- The detailed computation -----------------------------------------------------------

void TCalculateur::CalculeTout(bool verbeux)
{
    struct FinDeCalcul {
        ~FinDeCalcul() { CalculEnCours = false; }
    } fin;
    if (verbeux)
        Sablier(true);
    UtiliseArret(&ArretCalcul);
    CalculEnCours = true;
    ArretCalcul = false;
    if (Connecte(verbeux)) {
        if (!Arrete())
            Simplifie(verbeux);
        if (!Arrete())
            Compense(verbeux);
        else
            Reussi = false;
        if (!Arrete())
            Repartit();
        if (!Arrete())
            PlaceExtremites();
    }
    if (verbeux)
        Sablier(false);
}

}  // namespace karst
