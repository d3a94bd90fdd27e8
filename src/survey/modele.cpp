#include "survey/modele.h"

#include <climits>
#include <set>
#include <stdexcept>

#include "survey/messages_communs.h"
#include "survey/nombres.h"

namespace karst {

// ---- TEco -------------------------------------------------------------------------------

void TEco::Affecte(const std::string& s)
{
    s_ = s.size() > kEcoMax ? s.substr(0, kEcoMax) : s;
    possede_ = true;
}

std::string TEco::ChaineMaj() const { return MajAscii(s_); }

std::string TEco::ChaineSansBlanc() const
{
    std::string r = s_;
    for (auto& c : r)
        if (c == ' ')
            c = '_';
    return r;
}

// ---- TPointTopo -------------------------------------------------------------------------

bool TPointTopo::Egal(const TPointTopo& o) const
{
    if (Terminus || o.Terminus)
        return false;
    if (Indice != o.Indice)
        return false;
    const std::string& a = Nom.Chaine();
    const std::string& b = o.Nom.Chaine();
    if (a.size() != b.size())
        return false;
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i] && MajAscii(a[i]) != MajAscii(b[i]))
            return false;
    return true;
}

void TPointTopo::Copie(const TPointTopo& source)
{
    Terminus = source.Terminus;
    if (source.Terminus)
        return;
    Indice = source.Indice;
    Nom.Affecte(source.Nom.Chaine());
    X = source.X;
    Y = source.Y;
    Z = source.Z;
}

// ---- TVisee -----------------------------------------------------------------------------

long double TVisee::LongueurMetres() const
{
    return UniteLongueur == kUniteCentimetres ? static_cast<long double>(Longueur) / 100
                                              : static_cast<long double>(Longueur);
}

// ---- TGalerie ---------------------------------------------------------------------------

TGalerie::TGalerie() : CoefTopofil(1.0L) {}

TVisee* TGalerie::PlaceVisee(int k, std::unique_ptr<TVisee> v)
{
    if (k < 1 || k > kMaxVisees)
        throw std::length_error(kTexteTropDeVisees);
    Visees[static_cast<std::size_t>(k)] = std::move(v);
    return Visees[static_cast<std::size_t>(k)].get();
}

TVisee* TGalerie::AjouteVisee(std::unique_ptr<TVisee> v)
{
    if (NbVisees >= kMaxVisees)
        throw std::length_error(kTexteTropDeVisees);
    TVisee* r = PlaceVisee(NbVisees + 1, std::move(v));
    ++NbVisees;
    return r;
}

void TGalerie::CopieReduction(const TGalerie& g)
{
    Depart.Copie(g.Depart);
    Arrivee.Copie(g.Arrivee);
    SommeDX = g.SommeDX;
    SommeDY = g.SommeDY;
    SommeDZ = g.SommeDZ;
    SommeL = g.SommeL;
    SommeL2 = g.SommeL2;
    EcartHorizontal = g.EcartHorizontal;
    EcartVertical = g.EcartVertical;
    Placee = g.Placee;
    Coefficient = g.Coefficient;
}

// ---- TFiche -----------------------------------------------------------------------------

TFiche::TFiche() = default;

bool TFiche::MemeSortie(const TFiche& o) const
{
    if (!(Date == o.Date))
        return false;
    if (Topographes.size() != o.Topographes.size())
        return false;
    for (std::size_t i = 0; i < Topographes.size(); ++i)
        if (Topographes[i].ChaineMaj() != o.Topographes[i].ChaineMaj())
            return false;
    return true;
}

bool TFiche::MemeEndroit(const TFiche& o) const
{
    return Systeme.Egal(o.Systeme) && Cavite.Egal(o.Cavite) && Reseau.Egal(o.Reseau) && Lieu.Egal(o.Lieu);
}

std::vector<std::string> TFiche::PartiesAdresse() const
{
    std::vector<std::string> parties;
    const TEco* avant = nullptr;
    for (const TEco* partie : {&Systeme, &Cavite, &Reseau, &Lieu}) {
        if (!avant || partie->Chaine().empty() || !partie->Egal(*avant))
            parties.push_back(partie->Chaine());
        avant = partie;
    }
    return parties;
}

std::string TFiche::Adresse() const
{
    const std::vector<std::string> parties = PartiesAdresse();
    std::string a = parties.front();
    for (std::size_t i = 1; i < parties.size(); ++i)
        a += "/" + parties[i];
    return a;
}

std::string TFiche::LibelleGalerie(const TPointTopo& premier, const TPointTopo& second, const char* avant,
                                   const char* entre) const
{
    return Adresse() + avant + premier.NomOuTerminus() + entre + second.NomOuTerminus();
}

void TFiche::Copie(const TFiche& source)
{
    for (const TGalerie* g : source.Galeries) {
        auto n = std::make_unique<TGalerie>();
        for (int k = 1; k <= g->NbVisees; ++k) {
            const TVisee* v = g->Visee(k);
            if (v)
                n->PlaceVisee(k, std::make_unique<TVisee>(*v));
        }
        n->CopieReduction(*g);
        n->NbVisees = g->NbVisees;
        n->Drapeau1 = g->Drapeau1;
        n->Drapeau2 = g->Drapeau2;
        n->PremiereViseeNulle = g->PremiereViseeNulle;
        n->Developpement = g->Developpement;
        n->CoefTopofil = g->CoefTopofil;
        n->Commentaire.Copie(g->Commentaire);
        n->Couleur = g->Couleur;
        // The copy stands outside the developed section and has no station records.
        n->DansCoupe = false;
        n->NbSuites = 0;
        Galeries.ajoute(std::move(n));
    }
    Date = source.Date;
    Unite_Decli = source.Unite_Decli;
    for (const TEco& t : source.Topographes)
        Topographes.emplace_back(t.Chaine());
    Systeme.Copie(source.Systeme);
    Cavite.Copie(source.Cavite);
    Reseau.Copie(source.Reseau);
    Lieu.Copie(source.Lieu);
    TPST.Copie(source.TPST);
    Declinaison = source.Declinaison;
    Premiere = source.Premiere;
    DebutTableau = 0;
    FinTableau = 0;
}

bool NombreMesure(const std::string& t, bool centimetres, double& v)
{
    long double r = 0;
    if (!LitReel(t, r)) {
        if (t.empty() || !LitReel(t.substr(0, t.size() - 1), r))
            return false;
    }
    if (centimetres)
        r /= 100;
    v = static_cast<double>(r);
    return true;
}

namespace {

enum class Mesure { Droite, Gauche, Haut, Bas };

const TexteMesure& Champ(const TVisee& v, Mesure m)
{
    switch (m) {
    case Mesure::Droite: return v.Droite;
    case Mesure::Gauche: return v.Gauche;
    case Mesure::Haut: return v.Haut;
    default: return v.Bas;
    }
}

bool EstLargeur(Mesure m) { return m == Mesure::Droite || m == Mesure::Gauche; }

// The shot that describes station s of gallery g for measure m, or null. At station 0 the
// earlier galleries ending at g's start are searched for a last shot whose text is a number.
const TVisee* ViseeStation(const TFiche& f, int g, int s, Mesure m)
{
    if (g < 0 || g >= static_cast<int>(f.Galeries.size()))
        return nullptr;
    const TGalerie* gal = f.Galeries[static_cast<std::size_t>(g)];
    if (s >= 1)
        return s <= gal->NbVisees ? gal->Visee(s) : nullptr;
    for (int i = g - 1; i >= 0; --i) {
        const TGalerie* p = f.Galeries[static_cast<std::size_t>(i)];
        if (!p->Arrivee.Egal(gal->Depart) || p->NbVisees == 0)
            continue;
        const TVisee* v = p->Visee(p->NbVisees);
        if (!v)
            continue;
        double x;
        if (NombreMesure(Champ(*v, m), (EstLargeur(m) ? v->UniteLargeur : v->UniteHauteur) == kUniteCentimetres, x))
            return v;
    }
    return nullptr;
}

}  // namespace

void TFiche::HauteursStation(int g, int s, double& haut, double& bas) const
{
    haut = -1;
    bas = -1;
    if (const TVisee* v = ViseeStation(*this, g, s, Mesure::Haut)) {
        double x;
        if (NombreMesure(v->Haut, v->UniteHauteur == kUniteCentimetres, x))
            haut = x;
    }
    if (const TVisee* v = ViseeStation(*this, g, s, Mesure::Bas)) {
        double x;
        if (v->Bas.empty() && !v->Haut.empty())
            bas = 0;
        else if (NombreMesure(v->Bas, v->UniteHauteur == kUniteCentimetres, x))
            bas = x < 0 ? -x : x;
    }
}

void TFiche::LargeursStation(int g, int s, double& gauche, double& droite) const
{
    gauche = -1;
    droite = -1;
    const TVisee* vg = ViseeStation(*this, g, s, Mesure::Gauche);
    if (vg) {
        double x;
        if (NombreMesure(vg->Gauche, vg->UniteLargeur == kUniteCentimetres, x))
            gauche = x;
    }
    if (vg && gauche != -1 && vg->Droite.empty()) {
        gauche /= 2;
        droite = gauche;
        return;
    }
    if (const TVisee* vd = ViseeStation(*this, g, s, Mesure::Droite)) {
        double x;
        if (NombreMesure(vd->Droite, vd->UniteLargeur == kUniteCentimetres, x))
            droite = x;
    }
}

// ---- Shared tables and helpers ----------------------------------------------------------

namespace {

// Kinds that share a unit share its label, spelled here once.
constexpr const char *kMetres = "m", *kCentimetres = "cm", *kDegres = "\xB0", *kGrades = "gr",
                     *kDegresInverse = "-\xB0", *kGradesInverse = "-gr";

// The labels of a table, placed at their codes.
template <std::size_t N, std::size_t M>
constexpr std::array<const char*, N> ParCode(const std::array<UniteMesure, M>& unites)
{
    std::array<const char*, N> libelles{};
    for (const UniteMesure& u : unites)
        libelles[u.Code] = u.Libelle;
    return libelles;
}

}  // namespace

// Lengths are written in the text file as they are labelled.
constexpr std::array<UniteMesure, 2> kUnitesLongueur = {{
    {kUniteMetres, kMetres, kMetres},
    {kUniteCentimetres, kCentimetres, kCentimetres},
}};
constexpr std::array<UniteMesure, 4> kUnitesAzimut = {{
    {kAzimutDegres, kDegres, "deg"},
    {kAzimutGrades, kGrades, "grade"},
    {kAzimutDegresInverse, kDegresInverse, "-deg"},
    {kAzimutGradesInverse, kGradesInverse, "-grade"},
}};
// Listed angles first, then height differences, then Vulcain (whose tokens are its own),
// each forwards then backwards.
constexpr std::array<UniteMesure, 10> kUnitesPente = {{
    {kPenteDegres, kDegres, "deg"},
    {kPenteGrades, kGrades, "grade"},
    {kPenteDegresInverse, kDegresInverse, "-deg"},
    {kPenteGradesInverse, kGradesInverse, "-grade"},
    {kPenteDenivMetres, kMetres, "mp"},
    {kPenteDenivCm, kCentimetres, "cmp"},
    {kPenteDenivMetresInverse, "-m", "-mp"},
    {kPenteDenivCmInverse, "-cm", "-cmp"},
    {kPenteVulcain, "\xB0vul", "vul"},
    {kPenteVulcainInverse, "-\xB0vul", "-vul"},
}};
// The declination's unit is a whole line of the text file.
constexpr std::array<UniteMesure, 2> kUnitesDeclinaison = {{
    {kAzimutDegres, kDegres, "Unite_Decli deg"},
    {kAzimutGrades, kGrades, "Unite_Decli grade"},
}};

const UniteMesure* UniteDeLibelle(std::span<const UniteMesure> unites, const std::string& texte)
{
    for (const UniteMesure& u : unites)
        if (EgalSansCasse(texte, u.Libelle))
            return &u;
    return nullptr;
}

const UniteMesure* UniteDeCode(std::span<const UniteMesure> unites, int code)
{
    for (const UniteMesure& u : unites)
        if (u.Code == code)
            return &u;
    return nullptr;
}

const char* LibelleUnite(std::span<const UniteMesure> unites, int code)
{
    const UniteMesure* u = UniteDeCode(unites, code);
    return u ? u->Libelle : "?";
}

constexpr std::array<const char*, 2> LibellesUniteLongueur = ParCode<2>(kUnitesLongueur);
constexpr std::array<const char*, 10> LibellesUnitePente = ParCode<10>(kUnitesPente);

const char* LibelleUniteLongueur(int code) { return LibelleUnite(kUnitesLongueur, code); }
const char* LibelleUnitePente(int code) { return LibelleUnite(kUnitesPente, code); }

int DateEnNombre(const std::string& date)
{
    auto partie = [&](std::size_t debut, int& v) {
        if (date.size() < debut + 2)
            return false;
        char a = date[debut], b = date[debut + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9')
            return false;
        v = (a - '0') * 10 + (b - '0');
        return true;
    };
    int cle = 0, v = 0;
    if (partie(0, v))
        cle += v;
    if (partie(3, v))
        cle += 32 * v;
    if (partie(6, v)) {
        if (v < 50)
            v += 100;
        cle += 400 * v;
    }
    return cle;
}

bool CalculeLimites(const ListeFiches& fiches, TStation& min, TStation& max)
{
    bool premier = true;
    auto prend = [&](Reel6 x, Reel6 y, Reel6 z) {
        if (premier) {
            min.X = max.X = x;
            min.Y = max.Y = y;
            min.Z = max.Z = z;
            premier = false;
            return;
        }
        if (x > max.X)
            max.X = x;
        if (y > max.Y)
            max.Y = y;
        if (z > max.Z)
            max.Z = z;
        if (x < min.X)
            min.X = x;
        if (y < min.Y)
            min.Y = y;
        if (z < min.Z)
            min.Z = z;
    };
    for (const TFiche* f : fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            if (!g->Placee)
                continue;
            prend(g->Depart.X, g->Depart.Y, g->Depart.Z);
            for (int k = 1; k <= g->NbVisees && k <= g->NbStations(); ++k)
                prend(g->Station(k).X, g->Station(k).Y, g->Station(k).Z);
        }
    }
    return !premier;
}

// ---- TMassif ----------------------------------------------------------------------------

TMassif::TMassif() : FichesCourantes(&Fiches) {}

TMassif::~TMassif() = default;

namespace {
void RetirePremier(ListeFiches& l, TFiche* f)
{
    auto it = std::find(l.begin(), l.end(), f);
    if (it != l.end())
        l.erase(it);
}
}  // namespace

TFiche* TMassif::AjouteFiche(std::unique_ptr<TFiche> fiche, bool aussiSelection)
{
    Fiches.compacte();
    int32_t max = 0;
    for (const TFiche* f : Fiches)
        if (f->Ordre > max)
            max = f->Ordre;
    for (const TFiche* f : Corbeille)
        if (f && f->Ordre > max)
            max = f->Ordre;
    if (max < INT32_MAX) {
        fiche->Ordre = max + 1;
    } else {
        // A hand-edited file may hold the largest number: the new sheet takes the largest
        // one still free (there are fewer sheets than numbers below it).
        std::set<int32_t> pris;
        for (const TFiche* f : Fiches)
            pris.insert(f->Ordre);
        for (const TFiche* f : Corbeille)
            if (f)
                pris.insert(f->Ordre);
        int32_t n = INT32_MAX;
        while (pris.count(n))
            --n;
        fiche->Ordre = n;
    }
    TFiche* r = Fiches.ajoute(std::move(fiche));
    if (aussiSelection && Selection)
        Selection->push_back(r);
    PointsCalcules = false;
    return r;
}

std::unique_ptr<TFiche> TMassif::RemplaceFiche(TFiche* ancienne, std::unique_ptr<TFiche> nouvelle)
{
    nouvelle->Ordre = ancienne->Ordre;
    std::unique_ptr<TFiche> vieille = Fiches.retire(ancienne);
    TFiche* n = Fiches.ajoute(std::move(nouvelle));
    if (SelectionActive && Selection && std::find(Selection->begin(), Selection->end(), ancienne) != Selection->end()) {
        RetirePremier(*Selection, ancienne);
        Selection->push_back(n);
    }
    PointsCalcules = false;
    return vieille;
}

void TMassif::JetteFiche(TFiche* fiche)
{
    std::unique_ptr<TFiche> f = Fiches.retire(fiche);
    if (!f)
        return;
    if (SelectionActive && Selection)
        RetirePremier(*Selection, fiche);
    Corbeille.ajoute(std::move(f));
    PointsCalcules = false;
}

namespace {
bool AvantParOrdre(const TFiche* a, const TFiche* b) { return a->Ordre < b->Ordre; }
}  // namespace

bool TMassif::DeclinaisonReglee() const
{
    const TMassif neuf;
    return static_cast<long double>(Origine_Declinaison) != static_cast<long double>(neuf.Origine_Declinaison) ||
           static_cast<long double>(Variation_Declinaison) != static_cast<long double>(neuf.Variation_Declinaison) ||
           Date_Declinaison.str() != neuf.Date_Declinaison.str();
}

void TMassif::TrieFiches()
{
    Fiches.compacte();
    Fiches.trie(AvantParOrdre);
    TrieSelection();
}

void TMassif::TrieSelection()
{
    if (SelectionActive && Selection)
        std::stable_sort(Selection->begin(), Selection->end(), AvantParOrdre);
}

void TMassif::AjouteReference(std::unique_ptr<TPointTopo> point)
{
    References.ajoute(std::move(point));
    PointsCalcules = false;
}

void TMassif::VideReferences()
{
    References.vide();
    PointsCalcules = false;
}

int TMassif::IndiceLibre(const std::string& nomMaj, int depart)
{
    Fiches.compacte();
    if (Fiches.empty())
        return depart + 1;
    auto prend = [&](const TPointTopo& p, int candidat) {
        return !p.Terminus && p.Indice == candidat && p.Nom.ChaineMaj() == nomMaj;
    };
    for (int candidat = depart + 1;; ++candidat) {
        bool pris = false;
        // An index holds 0..255: every candidate beyond is free by construction.
        if (candidat > kIndiceMax)
            return candidat;
        for (std::size_t i = Fiches.size(); i-- > 0 && !pris;)
            for (const TGalerie* g : Fiches[i]->Galeries)
                if (prend(g->Depart, candidat) || prend(g->Arrivee, candidat)) {
                    pris = true;
                    break;
                }
        if (!pris)
            return candidat;
    }
}

void TMassif::ActiveSelection(bool active)
{
    if (!Selection)
        Selection = std::make_unique<ListeFiches>();
    SelectionActive = active;
    FichesCourantes = active ? VueListe<TFiche>(Selection.get()) : &Fiches;
}

TFiche* TMassif::FicheParOrdre(int32_t ordre) const
{
    for (TFiche* f : Fiches)
        if (f && f->Ordre == ordre)
            return f;
    return nullptr;
}

}  // namespace karst
