// Toporobot text file (*.Tab) import.
//
// The file numbers its stations by series and point. A correspondence table links the
// point where a series starts or ends to the station of the series it joins; every series
// is then cut into galleries at the points of that table and wherever the trip changes,
// and every run of shots of one trip becomes a sheet.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "exchange/echange.h"
#include "exchange/messages_communs.h"
#include "exchange/outils.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

using echange::Champs;
using echange::CleStation;
using echange::Ligne;

constexpr int kSeanceFixe = 999;  // trip and code of the fixed points
constexpr int kMaxSeance = 998;
constexpr int kMaxLignesSerie = 999;  // points 0 to 998
// Series numbers beyond this are taken for a damaged file (each number costs memory even
// when the series is absent).
constexpr int kMaxSerie = 99999;
const std::string kEntree = "Entr\xE9"
                            "e ";

// Macintosh letters of the file and their Windows-1252 forms.
char DepuisMacRoman(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0x88: return '\xE0';
    case 0x89: return '\xE2';
    case 0x8D: return '\xE7';
    case 0x8E: return '\xE9';
    case 0x8F: return '\xE8';
    case 0x90: return '\xEA';
    case 0x91: return '\xEB';
    case 0x94: return '\xEE';
    case 0x95: return '\xEF';
    case 0x9D: return '\xF9';
    case 0x9F: return '\xFC';
    default: return c;
    }
}

struct Seance {
    std::string date;
    std::string topographe, aide;
    bool automatique = false;  // the declination comes from the massif's model
    long double champ = 0;     // the file's own declination, grads
    std::size_t ligne = 0;     // the line that defines the trip; 0 for none
};

struct Code {
    int azimut = 0, pente = 0;
};

struct LigneSerie {
    std::unique_ptr<TVisee> visee;
    int seance = 0;
};

struct Serie {
    std::vector<LigneSerie> lignes;
    std::string nom;
    int serieDepart = 0, pointDepart = 0, serieArrivee = 0, pointArrivee = 0;
};

struct Correspondance {
    int serie, point, lien, indice;
};

// Years of a dd/mm/yy date: the year as read, plus the month and the day as fractions.
double DateEnAnnees(const std::string& date)
{
    auto nombre = [&](std::size_t debut, long long& v) {
        return date.size() >= debut + 2 && LitEntier(date.substr(debut, 2), v);
    };
    long long an = 0, mois = 0, jour = 0;
    double r = 0;
    if (date.size() > 6)
        LitEntier(date.substr(6, 2), an);
    r = static_cast<double>(an);
    if (nombre(3, mois))
        r += static_cast<double>(mois - 1) / 12;
    if (nombre(0, jour))
        r += static_cast<double>(jour - 1) / 365;
    return r;
}

// Two-digit years below 50 belong to the 2000s.
double AnneesSiecle(const std::string& date)
{
    const double a = DateEnAnnees(date);
    return a < 50 ? a + 100 : a;
}

class ImportToporobot {
public:
    ImportToporobot(TMassif& massif, TRapportEchange& rapport) : massif_(massif), rapport_(rapport), index_(massif)
    {
        for (const TPointTopo* r : massif_.References)
            if (r)
                clesReferences_.insert(CleStation(*r));
    }

    bool Execute(const std::string& fichier);

private:
    // Reading.
    int Entier(const std::string& champ, std::size_t ligne, const std::string& quoi) const;
    int Numero(const std::string& champ, std::size_t ligne, const std::string& quoi) const;
    long double Reel(const std::string& champ, std::size_t ligne) const;
    bool LitSections(echange::LignesImportees& lignes, std::string& l);
    void LitEntree(const Champs& c, std::size_t n);
    void NommeEntrees();
    void LitSeance(const Champs& c, std::size_t n);
    void LitCode(const Champs& c, std::size_t n);
    bool LitSerie(echange::LignesImportees& lignes, std::string& l, int& serieMax);
    void LitPoint(Serie& serie, int s, int j, const Champs& c, std::size_t ligne);
    void RempliVisee(TVisee& v, int code, const Champs& c, std::size_t ligne);
    void AjouteEntree(std::unique_ptr<TPointTopo> point, std::size_t ligne);

    // Correspondences.
    int Trouve(int serie, int point) const;
    int AjouteCorrespondance(int serie, int point);
    int NouvelleCorrespondance(int serie, int point, int indice);
    int IndiceLibre(const std::string& nom, const std::string& ou, int depart = 0) const;
    void EtablitCorrespondances();
    void ResoutLiens();
    TPointTopo Station(int serie, int point);

    // Sheets.
    std::unique_ptr<TFiche> NouvelleFiche(int seance);
    void CreeFiches();
    void Nettoie();
    bool FixeDeclinaisons();
    float Declinaison(const Seance& s, bool modele) const;
    // A trip no line defines (the fixed points' 999 among them) is the empty one.
    const Seance& SeanceDe(int seance) const
    {
        return seances_[seance >= 1 && seance <= kMaxSeance ? static_cast<std::size_t>(seance) : 0];
    }

    TMassif& massif_;
    TRapportEchange& rapport_;
    echange::IndexIndices index_;

    std::string fichier_;
    echange::TextesPerdus perdus_;  // texts that lose letters, for the question
    std::vector<std::string> noms_;
    std::string cavite_;                    // the first name as the file writes it
    std::vector<std::string> nomsEntrees_;  // per entrance line, its name
    // Per entrance line, its name's number and its line: a name line may follow it.
    std::vector<std::pair<int, std::size_t>> numerosEntrees_;
    std::vector<Seance> seances_ = std::vector<Seance>(kMaxSeance + 1);
    std::vector<Code> codes_ = std::vector<Code>(kMaxSeance + 1);
    std::vector<Serie> series_;  // series s at position s - 1
    std::set<int> azimutsInconnus_, pentesInconnues_;

    std::vector<Correspondance> table_{Correspondance{0, 0, 0, 0}};  // entries from 1
    std::unordered_map<uint64_t, int> premiere_;                     // (series, point) -> first entry
    std::vector<int> canonique_;                                     // entry -> canonical entry
    std::vector<int> fixes_;                                         // entries of the fixed points

    std::vector<std::unique_ptr<TPointTopo>> references_;  // staged reference points
    std::unordered_set<std::string> clesReferences_;       // massif's and staged ones
    std::vector<std::unique_ptr<TFiche>> fiches_;          // staged sheets
    std::vector<int> seancesFiches_;                       // the trip of each staged sheet
};

bool MemePlace(const TPointTopo& a, const TPointTopo& b)
{
    return a.X.d() == b.X.d() && a.Y.d() == b.Y.d() && a.Z.d() == b.Z.d();
}

uint64_t Paire(int serie, int point)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(serie)) << 32) | static_cast<uint32_t>(point);
}

int ImportToporobot::Entier(const std::string& champ, std::size_t ligne, const std::string& quoi) const
{
    long long v = 0;
    if (!LitEntier(champ, v) || v < INT32_MIN || v > INT32_MAX)
        throw ErreurEchange(Ligne(ligne, quoi + " n'est pas un nombre entier (" + Citation(champ) + ")"));
    return static_cast<int>(v);
}

// A trip or code number, 999 included (the fixed points').
int ImportToporobot::Numero(const std::string& champ, std::size_t ligne, const std::string& quoi) const
{
    const int v = Entier(champ, ligne, "Le numéro de " + quoi);
    if (v < 1 || v > kSeanceFixe)
        throw ErreurEchange(
            Ligne(ligne, "le numéro de " + quoi + " " + FormatEntier(v) + " n'est pas compris entre 1 et 999"));
    return v;
}

long double ImportToporobot::Reel(const std::string& champ, std::size_t ligne) const
{
    if (echange::Blanc(champ))
        return 0;
    long double v = 0;
    if (!LitReel(champ, v))
        throw ErreurEchange(Ligne(ligne, TexteNombreIllisible(Citation(champ))));
    return v;
}

// The sections before the series, from line `l` on; other sections (-4, -3, ...) and "("
// lines are skipped. `l` is left on the first line after them; false at the end of the file.
bool ImportToporobot::LitSections(echange::LignesImportees& lignes, std::string& l)
{
    bool encore = lignes.Lit(l);
    for (; encore; encore = lignes.Lit(l)) {
        if (!l.empty() && l[0] == '(')
            continue;
        const Champs c(l);
        long long v = 0;
        if (!LitEntier(echange::SansBlancs(c[1]), v) || v >= 0)
            break;
        if (v == -6) {
            if (noms_.empty())
                cavite_ = c[3];
            noms_.push_back(c[3].empty() ? FormatEntier(static_cast<long long>(noms_.size() + 1)) : c[3]);
        } else if (v == -5) {
            LitEntree(c, lignes.Numero());
        } else if (v == -2) {
            LitSeance(c, lignes.Numero());
        } else if (v == -1) {
            LitCode(c, lignes.Numero());
        }
    }
    // The first line that is no section shows a file that names no cave to be of another kind.
    if (noms_.empty())
        throw ErreurEchange("Le fichier " + fichier_ +
                            " n'est pas un fichier Toporobot : il ne nomme aucune cavité (lignes -6).");
    NommeEntrees();
    return encore;
}

void ImportToporobot::LitEntree(const Champs& c, std::size_t n)
{
    const int k = Entier(c[2], n, "Le numéro d'entrée");
    auto p = std::make_unique<TPointTopo>();
    p->X = echange::Admise(Reel(c[3], n), n, "la coordonnée X", 1000);
    p->Y = echange::Admise(Reel(c[4], n), n, "la coordonnée Y", 1000);
    p->Z = echange::Admise(Reel(c[5], n), n, "la coordonnée Z");
    p->Indice = 1;
    const int serie = Entier(c[6], n, "La série de l'entrée");
    const int point = Entier(c[7], n, "Le point de l'entrée");
    references_.push_back(std::move(p));
    numerosEntrees_.emplace_back(k, n);
    NouvelleCorrespondance(serie, point, 0);
}

// Once every name is read, the entrances take theirs.
void ImportToporobot::NommeEntrees()
{
    for (std::size_t e = 0; e < numerosEntrees_.size(); ++e) {
        const auto [k, n] = numerosEntrees_[e];
        if (k < 1 || k > static_cast<int>(noms_.size()))
            throw ErreurEchange(Ligne(n, "l'entrée " + FormatEntier(k) + " ne correspond à aucun nom (lignes -6)"));
        const std::string& nom = noms_[static_cast<std::size_t>(k - 1)];
        references_[e]->Nom.Affecte(kEntree + nom);
        clesReferences_.insert(CleStation(*references_[e]));
        nomsEntrees_.push_back(nom);
    }
}

void ImportToporobot::LitSeance(const Champs& c, std::size_t n)
{
    const int numero = Numero(c[2], n, "séance");
    if (numero == kSeanceFixe)
        return;
    // A blank part stays blank, as the dates of VisualTopo imports ("  /  /  ").
    auto deuxChiffres = [](const std::string& champ) {
        const std::string t = echange::SansBlancs(champ);
        if (t.empty())
            return std::string("  ");
        return t.size() < 2 ? "0" + t : t;
    };
    std::string annee = echange::SansBlancs(c[5]);
    // A four-digit year keeps its two last digits, as every date of the massif.
    if (annee.size() > 2)
        annee = annee.substr(annee.size() - 2);
    std::string date = deuxChiffres(c[3]) + "/" + deuxChiffres(c[4]) + "/" + deuxChiffres(annee);
    if (date.size() > 8)
        date.resize(8);
    Seance& s = seances_[static_cast<std::size_t>(numero)];
    s.date = date;
    s.topographe = c[6];
    s.aide = c[7];
    s.automatique = echange::SansBlancs(c[8]) == "1";
    s.champ = Reel(c[9], n);
    s.ligne = n;
}

// Grads, held as the file's 32-bit number. The model and the geodesic angle are read as they
// are once the caver has answered: either may just have been set.
float ImportToporobot::Declinaison(const Seance& s, bool modele) const
{
    if (!s.ligne)
        return 0;
    long double decli = 0;
    if (s.automatique && modele) {
        const long double annees = AnneesSiecle(s.date) - AnneesSiecle(massif_.Date_Declinaison);
        decli = (static_cast<long double>(massif_.Origine_Declinaison) -
                 static_cast<long double>(massif_.Variation_Declinaison) * annees) /
                0.9L;
    }
    decli = decli + s.champ - static_cast<long double>(massif_.Angle_Geodesique) * 200 / 180;
    return static_cast<float>(echange::Admise(decli, s.ligne, "la déclinaison"));
}

// A model nobody set would turn the survey by its creation values (-30 gr for a trip of
// 2007): the caver is told which trips ask for it and chooses. False: nothing is imported.
bool ImportToporobot::FixeDeclinaisons()
{
    std::set<int> automatiques;
    for (std::size_t k = 0; k < fiches_.size(); ++k)
        if (!fiches_[k]->Galeries.empty() && SeanceDe(seancesFiches_[k]).automatique)
            automatiques.insert(seancesFiches_[k]);
    bool modele = true;
    if (!automatiques.empty() && !massif_.DeclinaisonReglee()) {
        std::vector<std::string> nommees;
        for (int t : automatiques) {
            const std::string& date = SeanceDe(t).date;
            nommees.push_back(FormatEntier(t) + (echange::Blanc(date) ? "" : " (" + Citation(date) + ")"));
        }
        const std::string liste = ListeBornee(nommees, 10, false);
        const bool une = automatiques.size() == 1;
        const std::string texte = std::string(une ? "La séance " : "Les séances ") + liste +
                                  (une ? " du fichier demande" : " du fichier demandent") +
                                  " la déclinaison automatique, mais le modèle de déclinaison du massif "
                                  "n'est pas réglé.";
        switch (rapport_.DeclinaisonNonReglee(texte)) {
        case ChoixDeclinaison::Modele: break;
        case ChoixDeclinaison::Fichier: modele = false; break;
        case ChoixDeclinaison::Annule: return false;
        }
    }
    for (std::size_t k = 0; k < fiches_.size(); ++k)
        fiches_[k]->Declinaison = static_cast<long double>(Declinaison(SeanceDe(seancesFiches_[k]), modele));
    return true;
}

void ImportToporobot::LitCode(const Champs& c, std::size_t n)
{
    const int numero = Numero(c[2], n, "code");
    if (numero == kSeanceFixe)
        return;
    Code& code = codes_[static_cast<std::size_t>(numero)];
    code.azimut = RoundEntier(Reel(c[3], n));
    code.pente = RoundEntier(Reel(c[4], n));
}

void ImportToporobot::AjouteEntree(std::unique_ptr<TPointTopo> point, std::size_t ligne)
{
    while (clesReferences_.count(CleStation(*point))) {
        if (point->Indice == kIndiceMax)
            throw ErreurEchange(Ligne(ligne, "plus aucun indice libre pour le point fixe " + point->Nom.Chaine()));
        ++point->Indice;
    }
    clesReferences_.insert(CleStation(*point));
    references_.push_back(std::move(point));
}

void ImportToporobot::RempliVisee(TVisee& v, int numeroCode, const Champs& c, std::size_t n)
{
    const Code code =
        numeroCode >= 1 && numeroCode <= kMaxSeance ? codes_[static_cast<std::size_t>(numeroCode)] : Code{};
    long double longueur = Reel(c[5], n);
    const long double azimut = Reel(c[6], n);
    long double pente = Reel(c[7], n);
    const int ca = code.azimut, cp = code.pente;
    if (ca % 10 == 8)
        longueur *= 0.3048L;
    else if (ca % 10 == 7)
        longueur = Trunc(longueur) * 0.3048L + Frac(longueur) * 100 * 0.0254L;

    uint8_t uniteAzimut = kAzimutDegres;
    if (ca >= 347 && ca <= 350)
        uniteAzimut = kAzimutDegresInverse;
    else if (ca >= 357 && ca <= 360)
        uniteAzimut = kAzimutDegres;
    else if (ca >= 387 && ca <= 390)
        uniteAzimut = kAzimutGradesInverse;
    else if (ca >= 397 && ca <= 400)
        uniteAzimut = kAzimutGrades;
    else if (azimutsInconnus_.insert(ca).second)
        rapport_.Message("Code azimut inconnu : " + FormatEntier(ca));

    uint8_t unitePente = kPenteDegres;
    switch (cp) {
    case 359: pente -= 90; break;
    case 360: break;
    case 361: unitePente = kPenteVulcain; break;
    case 370:
        pente = pente * longueur / 100;
        unitePente = kPenteDenivMetres;
        break;
    case 380: unitePente = kPenteDenivMetres; break;
    case 399:
        pente -= 100;
        unitePente = kPenteGrades;
        break;
    case 400: unitePente = kPenteGrades; break;
    case 401:
        pente = 100 - pente;
        unitePente = kPenteGrades;
        break;
    default:
        if (pentesInconnues_.insert(cp).second)
            rapport_.Message("Code pente inconnu : " + FormatEntier(cp));
    }
    v.Longueur = echange::Admise(longueur, n, "la longueur");
    v.Azimut = echange::Admise(azimut, n, "l'azimut");
    v.Pente = echange::Admise(pente, n, "la pente");
    v.UniteAzimut = uniteAzimut;
    v.UnitePente = unitePente;
    v.UniteLongueur = v.UniteLargeur = v.UniteHauteur = kUniteMetres;
    v.Gauche = c[8];
    v.Droite = c[9];
    v.Haut = c[10];
    v.Bas = c[11];
    const std::string& c12 = c[12];
    v.Commentaire.Affecte(c12.size() > 2 && c12[0] == '{' ? c[13] : c12);
}

void ImportToporobot::LitPoint(Serie& serie, int s, int j, const Champs& c, std::size_t n)
{
    // Every point line carries its slope: a shorter line was cut, and its last number with it.
    if (c.Nombre() < 7)
        echange::Endommage(fichier_, n,
                           "la ligne est coupée : " + FormatEntier(static_cast<long long>(c.Nombre())) +
                               " champs au lieu d'au moins 7 (série, point, code, séance, longueur, "
                               "azimut, pente)");
    const int code = Numero(c[3], n, "code");
    const int seance = Numero(c[4], n, "séance");
    LigneSerie ligne{std::make_unique<TVisee>(), seance};
    if (code == kSeanceFixe && seance == kSeanceFixe) {
        if (j >= 1) {
            auto p = std::make_unique<TPointTopo>();
            // X, Y and Z separated by spaces.
            std::string t = c[12];
            std::size_t d = t.find_first_not_of(' ');
            t = d == std::string::npos ? std::string() : t.substr(d);
            std::size_t e1 = t.find(' ');
            const std::string x = t.substr(0, e1);
            std::string y, z;
            if (e1 != std::string::npos) {
                std::size_t d2 = t.find_first_not_of(' ', e1);
                if (d2 != std::string::npos) {
                    std::size_t e2 = t.find(' ', d2);
                    y = t.substr(d2, e2 == std::string::npos ? std::string::npos : e2 - d2);
                    if (e2 != std::string::npos)
                        z = t.substr(e2);
                }
            }
            p->X = echange::Admise(Reel(x, n), n, "la coordonnée X", 1000);
            p->Y = echange::Admise(Reel(y, n), n, "la coordonnée Y", 1000);
            p->Z = echange::Admise(Reel(z, n), n, "la coordonnée Z");
            // A fixed point at an entrance's very place is that entrance, not a second
            // reference point (our export so writes the one reference point when the survey
            // starts elsewhere).
            const auto entrees = references_.begin() + std::ssize(nomsEntrees_);
            const auto entree =
                std::find_if(references_.begin(), entrees, [&p](const auto& r) { return MemePlace(*r, *p); });
            if (entree != entrees) {
                table_[static_cast<std::size_t>(NouvelleCorrespondance(s, j, 0))].lien =
                    static_cast<int>(entree - references_.begin()) + 1;
            } else {
                p->Nom.Affecte(FormatEntier(s) + "_" + FormatEntier(j));
                // An index free among the galleries and the reference points alike, so that the
                // galleries meet this fixed point and no other station.
                int indice = IndiceLibre(p->Nom.Chaine(), Ligne(n, ""));
                while (clesReferences_.count(CleStation(p->Nom.Chaine(), indice)))
                    indice = IndiceLibre(p->Nom.Chaine(), Ligne(n, ""), indice);
                p->Indice = static_cast<uint8_t>(indice);
                AjouteEntree(std::move(p), n);
                fixes_.push_back(NouvelleCorrespondance(s, j, references_.back()->Indice));
            }
            if (j == 1)
                serie.lignes[0].seance = kSeanceFixe;
        }
    } else {
        RempliVisee(*ligne.visee, code, c, n);
    }
    serie.lignes.push_back(std::move(ligne));
}

// Reads the series whose header is `l`, its point lines and the line that separates it from
// the next; `l` is left on the line after; false at the end of the file.
bool ImportToporobot::LitSerie(echange::LignesImportees& lignes, std::string& l, int& serieMax)
{
    const Champs h(l);
    const std::size_t n = lignes.Numero();
    const int s = Entier(h[1], n, "Le numéro de série");
    if (s < 1)
        throw ErreurEchange(Ligne(n, "numéro de série incorrect (" + FormatEntier(s) + ")"));
    if (s <= serieMax)
        throw ErreurEchange(Ligne(n, "la série " + FormatEntier(s) + " suit la série " + FormatEntier(serieMax) +
                                         " : les numéros de série doivent croître"));
    if (s > kMaxSerie)
        throw ErreurEchange(Ligne(n, "numéro de série trop grand (" + FormatEntier(s) + ")"));
    serieMax = s;
    rapport_.Statut("Lecture de la " + FormatEntier(static_cast<long long>(series_.size() + 1)) + "° série");
    series_.resize(static_cast<std::size_t>(s));
    Serie& serie = series_.back();
    serie.serieDepart = Entier(h[3], n, "La série de départ");
    serie.pointDepart = Entier(h[4], n, "Le point de départ");
    serie.serieArrivee = Entier(h[5], n, "La série d'arrivée");
    serie.pointArrivee = Entier(h[6], n, "Le point d'arrivée");
    serie.nom = h[10];
    const int dernier = Entier(h[7], n, "Le nombre de points");
    if (dernier < 0 || dernier >= kMaxLignesSerie)
        throw ErreurEchange(Ligne(n, "la série " + FormatEntier(s) + " compte " + FormatEntier(dernier) +
                                         " points ; une série compte de 0 à 998 points"));
    for (int j = 0; j <= dernier; ++j) {
        if (!lignes.Lit(l))
            throw ErreurEchange(Ligne(n, "la série " + FormatEntier(s) + " est incomplète : le fichier est tronqué"));
        try {
            LitPoint(serie, s, j, Champs(l), lignes.Numero());
        } catch (const ErreurReel6&) {
            throw ErreurEchange(Ligne(lignes.Numero(), "nombre hors limites"));
        }
    }
    return lignes.Lit(l) && lignes.Lit(l);
}

int ImportToporobot::Trouve(int serie, int point) const
{
    const auto it = premiere_.find(Paire(serie, point));
    return it == premiere_.end() ? 0 : it->second;
}

int ImportToporobot::NouvelleCorrespondance(int serie, int point, int indice)
{
    table_.push_back(Correspondance{serie, point, 0, indice});
    const int e = static_cast<int>(table_.size() - 1);
    premiere_.emplace(Paire(serie, point), e);
    return e;
}

int ImportToporobot::AjouteCorrespondance(int serie, int point)
{
    const int e = Trouve(serie, point);
    return e ? e : NouvelleCorrespondance(serie, point, 0);
}

int ImportToporobot::IndiceLibre(const std::string& nom, const std::string& ou, int depart) const
{
    const int i = index_.IndiceLibre(nom, depart);
    if (!IndiceValide(i))
        throw ErreurEchange(ou + "plus aucun indice libre (0 à 255) pour la station " + nom);
    return i;
}

void ImportToporobot::EtablitCorrespondances()
{
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const Serie& serie = series_[k];
        const int s = static_cast<int>(k + 1);
        const int dernier = static_cast<int>(serie.lignes.size()) - 1;
        if (serie.serieDepart == s && serie.pointDepart == 0) {
            AjouteCorrespondance(s, 0);
        } else {
            const int a = AjouteCorrespondance(serie.serieDepart, serie.pointDepart);
            table_[static_cast<std::size_t>(AjouteCorrespondance(s, 0))].lien = a;
        }
        if (serie.serieArrivee == s && serie.pointArrivee == dernier) {
            AjouteCorrespondance(s, dernier);
        } else if (s > serie.serieArrivee) {
            const int a = AjouteCorrespondance(serie.serieArrivee, serie.pointArrivee);
            table_[static_cast<std::size_t>(AjouteCorrespondance(s, dernier))].lien = a;
        } else {
            const int a = AjouteCorrespondance(s, dernier);
            table_[static_cast<std::size_t>(AjouteCorrespondance(serie.serieArrivee, serie.pointArrivee))].lien = a;
        }
    }
    rapport_.Statut("Etablissement des correspondances");
    const int entrees = static_cast<int>(nomsEntrees_.size());
    for (std::size_t e = static_cast<std::size_t>(entrees) + 1; e < table_.size(); ++e) {
        Correspondance& c = table_[e];
        if (c.lien == 0 && c.indice == 0)
            c.indice = IndiceLibre(FormatEntier(c.serie) + "_" + FormatEntier(c.point), "");
    }
    ResoutLiens();
}

// The canonical entry of every entry, following the links as the pairs they name; links
// that run in a circle are refused.
void ImportToporobot::ResoutLiens()
{
    const std::size_t n = table_.size();
    canonique_.assign(n, 0);
    std::vector<char> enCours(n, 0);
    std::vector<int> chemin;
    for (std::size_t depart = 1; depart < n; ++depart) {
        if (canonique_[depart])
            continue;
        chemin.clear();
        int e = static_cast<int>(depart);
        int fin;
        for (;;) {
            if (canonique_[static_cast<std::size_t>(e)]) {
                fin = canonique_[static_cast<std::size_t>(e)];
                break;
            }
            if (enCours[static_cast<std::size_t>(e)]) {
                const Correspondance& c = table_[static_cast<std::size_t>(e)];
                throw ErreurEchange("Les raccordements des séries forment une boucle (série " + FormatEntier(c.serie) +
                                    ", point " + FormatEntier(c.point) + ")");
            }
            enCours[static_cast<std::size_t>(e)] = 1;
            chemin.push_back(e);
            const Correspondance& c = table_[static_cast<std::size_t>(e)];
            if (c.lien == 0) {
                fin = e;
                break;
            }
            const Correspondance& l = table_[static_cast<std::size_t>(c.lien)];
            e = Trouve(l.serie, l.point);
        }
        for (int k : chemin)
            canonique_[static_cast<std::size_t>(k)] = fin;
    }
    // An entrance or a fixed point names the station it stands for, also when it ends an
    // earlier series (whose point then is the canonical one): the galleries must reach the
    // reference point.
    const int entrees = static_cast<int>(nomsEntrees_.size());
    std::vector<int> ancres(fixes_);
    for (int e = 1; e <= entrees; ++e)
        ancres.push_back(e);
    for (int a : ancres) {
        const int c = canonique_[static_cast<std::size_t>(a)];
        if (c == a || c <= entrees || std::find(fixes_.begin(), fixes_.end(), c) != fixes_.end())
            continue;
        for (int& k : canonique_)
            if (k == c)
                k = a;
    }
}

TPointTopo ImportToporobot::Station(int serie, int point)
{
    int e = Trouve(serie, point);
    if (e == 0) {
        // A point between two galleries that no correspondence names (after a trip change, a
        // stretch cut at 128 shots or a fixed-point line): a station of its own.
        e = NouvelleCorrespondance(serie, point, IndiceLibre(FormatEntier(serie) + "_" + FormatEntier(point), ""));
        canonique_.push_back(e);
    }
    const int r = canonique_[static_cast<std::size_t>(e)];
    TPointTopo p;
    if (r <= static_cast<int>(nomsEntrees_.size())) {
        p.Nom.Affecte(kEntree + nomsEntrees_[static_cast<std::size_t>(r - 1)]);
        p.Indice = 1;
    } else {
        const Correspondance& c = table_[static_cast<std::size_t>(r)];
        p.Nom.Affecte(FormatEntier(c.serie) + "_" + FormatEntier(c.point));
        p.Indice = static_cast<uint8_t>(c.indice);
    }
    return p;
}

std::unique_ptr<TFiche> ImportToporobot::NouvelleFiche(int seance)
{
    auto f = std::make_unique<TFiche>();
    const Seance& s = SeanceDe(seance);
    f->Unite_Decli = kAzimutGrades;
    f->Date = s.date;
    f->Topographes.emplace_back(s.topographe);
    f->Topographes.emplace_back(s.aide);
    echange::Adresse(*f, cavite_, fichier_, perdus_);
    return f;
}

void ImportToporobot::CreeFiches()
{
    rapport_.Statut("Création des fiches");
    int t = 0;
    for (const Serie& serie : series_) {
        for (const LigneSerie& l : serie.lignes)
            if (l.seance != kSeanceFixe) {
                t = l.seance;
                break;
            }
        if (t)
            break;
    }
    if (!t)
        throw ErreurEchange("Le fichier " + fichier_ + " ne contient aucune visée topographique.");
    std::unique_ptr<TFiche> fiche = NouvelleFiche(t);

    for (std::size_t k = 0; k < series_.size(); ++k) {
        Serie& serie = series_[k];
        const int s = static_cast<int>(k + 1);
        const int dernier = static_cast<int>(serie.lignes.size()) - 1;
        auto seance = [&](int j) { return serie.lignes[static_cast<std::size_t>(j)].seance; };
        int j = 0;
        for (;;) {
            while (j <= dernier && seance(j) == kSeanceFixe)
                ++j;
            if (j > dernier)
                break;
            if (seance(j) != t) {
                fiches_.push_back(std::move(fiche));
                seancesFiches_.push_back(t);
                t = seance(j);
                fiche = NouvelleFiche(t);
            }
            // Point 0 alone has no shot to reach: it only starts the galleries that follow.
            if (j == 0 && (dernier == 0 || seance(1) == kSeanceFixe)) {
                j = 1;
                continue;
            }
            auto g = std::make_unique<TGalerie>();
            g->Commentaire.Affecte(serie.nom);
            serie.nom.clear();
            g->Coefficient = 1.0L;
            g->CoefTopofil = 1.0L;
            g->Depart = Station(s, j == 0 ? 0 : j - 1);
            for (;;) {
                g->AjouteVisee(std::move(serie.lignes[static_cast<std::size_t>(j)].visee));
                if (j != 0) {
                    if (Trouve(s, j) || j == dernier || seance(j + 1) != t || seance(j + 1) == kSeanceFixe)
                        break;
                    // A gallery holds 128 shots: a longer stretch goes on in a new gallery.
                    if (g->NbVisees == kMaxVisees)
                        break;
                }
                ++j;
            }
            g->Arrivee = Station(s, j);
            fiche->Galeries.ajoute(std::move(g));
            ++j;
        }
    }
    fiches_.push_back(std::move(fiche));
    seancesFiches_.push_back(t);
}

// Drops the zero-length shots, merges the stations joined by a gallery of one zero-length
// shot, and turns the loose ends into termini.
void ImportToporobot::Nettoie()
{
    rapport_.Statut("Nettoyage");
    // Every start and end of the new galleries, by station.
    std::unordered_map<std::string, std::vector<TPointTopo*>> extremites;
    for (auto& f : fiches_)
        for (TGalerie* g : f->Galeries)
            for (TPointTopo* p : {&g->Depart, &g->Arrivee})
                if (!p->Terminus)
                    extremites[CleStation(*p)].push_back(p);

    for (auto& f : fiches_) {
        for (std::size_t k = f->Galeries.size(); k-- > 0;) {
            TGalerie* g = f->Galeries[k];
            int gardees = 1;
            for (int i = 2; i <= g->NbVisees; ++i) {
                std::unique_ptr<TVisee>& v = g->Visees[static_cast<std::size_t>(i)];
                if (static_cast<long double>(v->Longueur) < 0.0001L) {
                    v.reset();
                } else {
                    ++gardees;
                    if (gardees != i)
                        g->Visees[static_cast<std::size_t>(gardees)] = std::move(v);
                }
            }
            g->NbVisees = static_cast<uint8_t>(gardees);
            if (gardees != 1 || !(static_cast<long double>(g->Visee(1)->Longueur) < 0.0001L))
                continue;

            // The gallery only joins its two ends: the end becomes its start everywhere, unless
            // the end alone is a reference point, whose name must stay on the galleries that
            // reach it for the survey to stay attached to it.
            auto fixe = [&](const TPointTopo& p) { return !p.Terminus && clesReferences_.count(CleStation(p)) > 0; };
            const bool inverse = fixe(g->Arrivee) && !fixe(g->Depart);
            const TPointTopo& garde = inverse ? g->Arrivee : g->Depart;
            const TPointTopo& remplace = inverse ? g->Depart : g->Arrivee;
            auto retire = [&](TPointTopo* p) {
                if (p->Terminus)
                    return;
                auto& l = extremites[CleStation(*p)];
                l.erase(std::remove(l.begin(), l.end(), p), l.end());
            };
            retire(&g->Depart);
            retire(&g->Arrivee);
            if (!remplace.Terminus) {
                const std::string cleRemplace = CleStation(remplace);
                const std::string cleGarde = garde.Terminus ? std::string() : CleStation(garde);
                if (cleRemplace != cleGarde) {
                    std::vector<TPointTopo*> memes = std::move(extremites[cleRemplace]);
                    extremites.erase(cleRemplace);
                    for (TPointTopo* p : memes)
                        p->Copie(garde);
                    if (!garde.Terminus) {
                        auto& l = extremites[cleGarde];
                        l.insert(l.end(), memes.begin(), memes.end());
                    }
                }
            }
            f->Galeries.retireA(k);
        }
    }

    std::vector<TFiche*> fiches;
    for (auto& f : fiches_)
        fiches.push_back(f.get());
    std::vector<const TPointTopo*> references;
    for (const TPointTopo* r : massif_.References)
        if (r)
            references.push_back(r);
    for (auto& r : references_)
        references.push_back(r.get());
    NettoieTerminus(fiches, references);
}

bool ImportToporobot::Execute(const std::string& fichier)
{
    fichier_ = fichier;
    {
        // Phone survey apps and scripts write UTF-8, the program that made the format Macintosh letters.
        echange::LignesImportees lignes(fichier, FinsDeLigne::Toutes, DepuisMacRoman);
        std::string l;
        bool encore = LitSections(lignes, l);
        int serieMax = 0;
        for (;;) {
            // Blank lines separate the series; those at the end of the file are ignored.
            while (encore && (echange::Blanc(l) || l[0] == '('))
                encore = lignes.Lit(l);
            if (!encore)
                break;
            encore = LitSerie(lignes, l, serieMax);
        }
        perdus_ = std::move(lignes.Perdus);
    }

    EtablitCorrespondances();
    CreeFiches();
    Nettoie();
    if (!echange::CaracteresAcceptes(rapport_, perdus_) || !FixeDeclinaisons())
        return false;
    for (auto& f : fiches_)
        if (!f->Galeries.empty())
            f->Calcule(massif_.Angle_Geodesique);

    // Everything was read: the massif takes it all.
    for (auto& r : references_)
        massif_.AjouteReference(std::move(r));
    for (auto& f : fiches_)
        if (!f->Galeries.empty())
            massif_.AjouteFiche(std::move(f), massif_.SelectionActive);
    return true;
}

}  // namespace

void NettoieTerminus(const std::vector<TFiche*>& fiches, const std::vector<const TPointTopo*>& references)
{
    std::unordered_map<std::string, int> nombre;
    for (const TFiche* f : fiches)
        for (const TGalerie* g : f->Galeries)
            for (const TPointTopo* p : {&g->Depart, &g->Arrivee})
                if (!p->Terminus)
                    ++nombre[CleStation(*p)];
    std::unordered_set<std::string> fixes;
    for (const TPointTopo* r : references)
        if (!r->Terminus)
            fixes.insert(CleStation(*r));
    for (TFiche* f : fiches)
        for (TGalerie* g : f->Galeries)
            for (TPointTopo* p : {&g->Depart, &g->Arrivee}) {
                if (p->Terminus)
                    continue;
                const std::string cle = CleStation(*p);
                if (nombre[cle] == 1 && !fixes.count(cle)) {
                    p->Terminus = true;
                    p->Nom.Affecte("");
                }
            }
}

bool ImporteToporobot(TMassif& massif, const std::string& fichier, TRapportEchange& rapport)
{
    bool importe = false;
    echange::RefuseDebordement(fichier, [&] { importe = ImportToporobot(massif, rapport).Execute(fichier); });
    return importe;
}

}  // namespace karst
