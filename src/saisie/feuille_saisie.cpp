// The sheet's rows: building them, the clipboard's and the import's operations, loading a
// sheet into them and reading them back into a sheet, checking every entry on the way.

#include "saisie/feuille_saisie.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <variant>

#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

// ---- junctions ----

void TNoeud::Enregistre(TBufferStream& f) const
{
    Arrivee.EcritFlux(f);
    Depart.EcritFlux(f);
    Commentaire.EcritFlux(f);
    f.EcritReel6(Coefficient);
    f.EcritReel6(CoefTopofil);
}

void TNoeud::Charge(TBufferStream& f)
{
    Arrivee.LitFlux(f);
    Depart.LitFlux(f);
    Commentaire.LitFlux(f);
    Coefficient = f.LitReel6();
    CoefTopofil = f.LitReel6();
}

std::string Format2(const char* messageUtf8, std::span<const UniteMesure> unites)
{
    std::string m = messageUtf8;
    for (int k = 0; k < 2; ++k) {
        const std::string marque = k == 0 ? "%1" : "%2";
        for (auto p = m.find(marque); p != std::string::npos; p = m.find(marque, p))
            m.replace(p, 2, Cp1252VersUtf8(unites[static_cast<std::size_t>(k)].Libelle));
    }
    return m;
}

namespace {

constexpr char kTexteTopofilIncorrect[] = "Les longueurs Topofil ne sont pas correctes";

std::string Rogne(const std::string& s)
{
    const char* blancs = " \t\n\v\f\r";
    const auto debut = s.find_first_not_of(blancs);
    return debut == std::string::npos ? std::string() : s.substr(debut, s.find_last_not_of(blancs) - debut + 1);
}

// The text of the quoted field whose opening quote is at `debut`, and the place of its closing
// quote (npos when it has none): a doubled quote is one quote, a line end a blank.
std::size_t Citee(const std::string& t, std::size_t debut, std::string& texte)
{
    texte.clear();
    for (std::size_t j = debut + 1; j < t.size(); ++j) {
        const char c = t[j];
        if (c == '"') {
            if (j + 1 == t.size() || t[j + 1] != '"')
                return j;
            ++j;  // a doubled quote
        } else if (c == '\r' && j + 1 < t.size() && t[j + 1] == '\n') {
            ++j;
        }
        texte += c == '\r' || c == '\n' ? ' ' : c;
    }
    return std::string::npos;
}

// The lines and fields of a text as spreadsheets copy it: fields end at a TAB, lines at LF,
// CR LF or a bare CR, and the line end that ends the text opens no further line. A field that
// starts with a double quote runs to its closing quote, TABs and line ends inside it included;
// a quote never closed is text.
std::vector<std::vector<std::string>> LignesTableur(const std::string& t)
{
    std::vector<std::vector<std::string>> lignes;
    std::vector<std::string> ligne;
    std::string champ, cite;
    bool debutChamp = true, enCours = false, sansFin = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '"' && debutChamp && !sansFin) {
            const std::size_t fin = Citee(t, i, cite);
            // No quote closes after this one: each later one would be looked for to the end.
            sansFin = fin == std::string::npos;
            if (!sansFin) {
                champ += cite;
                i = fin;
                debutChamp = false;
                enCours = true;
                continue;
            }
        }
        debutChamp = c == '\t' || c == '\r' || c == '\n';
        if (!debutChamp) {
            champ += c;
            enCours = true;
            continue;
        }
        ligne.push_back(std::move(champ));
        champ.clear();
        enCours = c == '\t';
        if (enCours)
            continue;
        if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
            ++i;
        lignes.push_back(std::move(ligne));
        ligne.clear();
    }
    if (enCours) {
        ligne.push_back(std::move(champ));
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}

// A cell's text as a spreadsheet reads a field: between double quotes, its own doubled, when
// it starts with one or holds a TAB or a line end.
std::string ChampTableur(const std::string& texte)
{
    if (!texte.starts_with('"') && texte.find_first_of("\t\r\n") == std::string::npos)
        return texte;
    std::string r = "\"";
    for (const char c : texte)
        r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + '"';
}

bool MemeReel6(long double a, long double b)
{
    return static_cast<long double>(Reel6(a)) == static_cast<long double>(Reel6(b));
}

// A measure as stored, in as few digits as that takes.
std::string TexteReel(long double v) { return TexteExact(v, 5, 3); }

// Start and end readings of a topofil shot, with the decimals they have: a validation of the
// text stores the same reading and the same length again.
std::string TexteTopofil(const TVisee& v, long double coef)
{
    if (coef == 0)
        coef = 1.0L;
    const long double depart = v.Topofil, longueur = v.Longueur;
    const std::string a = TexteReel(depart);
    long double lu = depart;
    LitReel(a, lu);
    const std::string b = TexteFidele(longueur / coef + lu, 5, 3,
                                      [&](long double fin) { return MemeReel6((fin - lu) * coef, longueur); });
    return a + "/" + b;
}

// The text before the first separator, and the text after it.
void Separe(const std::string& s, char separateur, std::string& avant, std::string& apres)
{
    const auto p = s.find(separateur);
    avant = s.substr(0, p);
    apres = p == std::string::npos ? std::string() : s.substr(p + 1);
}

// A threshold as the stored values are rounded.
long double Seuil(long double v) { return static_cast<long double>(Reel6(v)); }

// Why a cell is refused: the message and the icon of its box.
struct Refus {
    std::string message;
    Icone icone;
};

// What a column reader gives: the value for the shot, or why the cell is refused.
template <class T>
using Lu = std::variant<T, Refus>;

// A shot cell and what reading it may depend on.
struct CelluleLue {
    std::string texte;
    const TPreference_Ecran& preferences;
    int visee;  // the shot's number in its gallery, from 1
};

constexpr std::size_t kTexteCourtMax = 10;

// A real; where `videNul`, an empty cell is 0.
Lu<long double> LitReelCellule(const std::string& s, bool videNul, const char* message, Icone icone)
{
    long double v = 0;
    if ((videNul && s.empty()) || LitReelStockable(s, v))
        return v;
    return Refus{message, icone};
}

// A unit by its label; `nomme`: the message names the table's first two units.
Lu<uint8_t> LitUniteCellule(const std::string& s, std::span<const UniteMesure> unites, const char* message, bool nomme)
{
    if (const UniteMesure* u = UniteDeLibelle(unites, s))
        return u->Code;
    return Refus{nomme ? Format2(message, unites) : message, Icone::Confirmation};
}

// A width or height text, as the shot keeps it.
Lu<std::string> LitCourt(const std::string& s, const char* message)
{
    if (s.size() > kTexteCourtMax)
        return Refus{message, Icone::Confirmation};
    return PointDecimal(s);
}

// Two width or height texts in one cell.
Lu<std::pair<std::string, std::string>> LitPaire(const std::string& s, char separateur, const char* message)
{
    std::string a, b;
    Separe(s, separateur, a, b);
    if (a.size() > kTexteCourtMax || b.size() > kTexteCourtMax)
        return Refus{message, Icone::Confirmation};
    return std::pair{PointDecimal(a), PointDecimal(b)};
}

Lu<bool> LitDrapeau(const std::string& s, const char* message)
{
    const std::string d = s.empty() ? s : MajAscii(s.substr(0, 1)) + s.substr(1);
    if (d != "O" && d != "N")
        return Refus{message, Icone::Confirmation};
    return d == "O";
}

Lu<uint8_t> LitCroquis(const std::string& s)
{
    long long e = 0;
    if (!s.empty() && !LitEntier(s, e))
        return Refus{"La taille du schéma doit être numérique.", Icone::Confirmation};
    // One byte: a larger size would be stored as another one.
    if (e < 0 || e > 255)
        return Refus{"La taille du schéma doit être comprise entre 0 et 255.", Icone::Confirmation};
    return static_cast<uint8_t>(e);
}

// A length, typed or as two topofil readings.
struct Longueur {
    long double valeur = 0;
    std::optional<long double> topofil;  // the start reading
};

Lu<Longueur> LitLongueur(const CelluleLue& c, long double coefTopofil)
{
    const std::string& s = c.texte;
    const Icone avert = Icone::Avertissement;
    Longueur l;
    if (!LitReelStockable(s, l.valeur)) {
        if (s.find('/') == std::string::npos)
            return Refus{"La longueur n'est pas correcte", avert};
        std::string a, b;
        Separe(s, '/', a, b);
        long double va = 0, vb = 0;
        if (!LitReelStockable(a, va) || !LitReelStockable(b, vb))
            return Refus{kTexteTopofilIncorrect, avert};
        l.valeur = (vb - va) * coefTopofil;
        // Two equal readings are a shot that stays on its station, as an imported survey
        // may begin with: its length is 0.
        if (l.valeur < 0.01L && vb != va)
            return Refus{"La longueur Topofil est négative", avert};
        if (!MesureAdmise(l.valeur))
            return Refus{kTexteTopofilIncorrect, avert};
        l.topofil = va;
    }
    // The bounds hold for the length as the shot stores it.
    const long double stockee = Reel6(l.valeur);
    if (stockee < -0.001L)
        return Refus{"La longueur doit être positive", avert};
    if (std::fabs(stockee) < 0.001L && c.visee != 1)
        return Refus{"La longueur ne doit pas être nulle", avert};
    return l;
}

// The value read into its field, or the refusal passed on.
template <class T, class Champ>
std::optional<Refus> Place(Lu<T> lu, Champ& champ)
{
    if (Refus* r = std::get_if<Refus>(&lu))
        return std::move(*r);
    champ = std::get<T>(std::move(lu));
    return std::nullopt;
}

// Reads a cell into the shot (and its gallery): nothing, or why the cell is refused.
using LecteurColonne = std::function<std::optional<Refus>(const CelluleLue&, TVisee&, TGalerie&)>;

struct Colonne {
    bool mesure;  // one of the length, azimuth and slope every shot needs
    LecteurColonne lit;
};

using P = TPreference_Ecran;

// Columns of one shape: a number, a unit, a short text, a pair of short texts, a flag.
struct ColonneReel {
    int type;
    bool mesure, videNul;
    const char* message;
    Reel6 TVisee::*champ;
};
const ColonneReel kReels[] = {
    {P::Azimut, true, false, "L'azimut n'est pas correct", &TVisee::Azimut},
    {P::Pente, true, false, "La pente n'est pas correcte", &TVisee::Pente},
    {P::CorrHorizontale, false, true, "La correction horizontale doit être numérique.", &TVisee::CorrHorizontale},
    {P::DevManuel, false, true, "La correction du développement doit être numérique.", &TVisee::CorrDeveloppement},
};
struct ColonneUnite {
    int type;  // its units are the column's, as the grid's list offers them
    const char* message;
    bool nomme;
    uint8_t TVisee::*champ;
};
const ColonneUnite kUnites[] = {
    {P::UniteLongueur, "L'unité de longueur doit être en %1 ou %2.", true, &TVisee::UniteLongueur},
    {P::UniteAzimut, "L'unité d'azimut doit être en %1 ou %2.", true, &TVisee::UniteAzimut},
    {P::UnitePente, "L'unité de pente n'est pas correcte.", false, &TVisee::UnitePente},
    {P::UniteLargeur, "L'unité de largeur doit être en %1 ou %2.", true, &TVisee::UniteLargeur},
    {P::UniteHauteur, "L'unité de hauteur doit être en %1 ou %2.", true, &TVisee::UniteHauteur},
};
struct ColonneCourte {
    int type;
    const char* message;
    TexteMesure TVisee::*champ;
};
const ColonneCourte kCourtes[] = {
    {P::LargeurG, "La définition de la largeur gauche doit être inférieure à dix.", &TVisee::Gauche},
    {P::LargeurD, "La définition de la largeur droite doit être inférieure à dix.", &TVisee::Droite},
    {P::HautSup, "La définition de la hauteur supérieure doit être inférieure à dix caractères.", &TVisee::Haut},
    {P::HautInf, "La définition de la hauteur inférieure doit être inférieure à dix caractères.", &TVisee::Bas},
};
struct ColonnePaire {
    int type;
    TPreference_Ecran::GroupeDimension TPreference_Ecran::*groupe;  // gives the separator
    const char* message;
    TexteMesure TVisee::*premier;
    TexteMesure TVisee::*second;
};
const ColonnePaire kPaires[] = {
    {P::Largeur, &P::GLargeur, "La définition de la largeur doit être inférieure à dix.", &TVisee::Gauche,
     &TVisee::Droite},
    {P::Hauteur, &P::GHauteur, "La définition de la hauteur doit être inférieure à dix caractères.", &TVisee::Haut,
     &TVisee::Bas},
};
struct ColonneDrapeau {
    int type;
    const char* message;
    bool TVisee::*champ;
};
const ColonneDrapeau kDrapeaux[] = {
    {P::DrapeauHorizontal, "Mettre O ou N pour la demande de correction horizontale.", &TVisee::AvecCorrHorizontale},
    {P::DrapeauDeveloppement, "Mettre O ou N pour la demande de correction de développemnt.",
     &TVisee::AvecCorrDeveloppement},
};

// The readers of the shot columns, by column type; a type not listed (the station) reads nothing.
const std::map<int, Colonne>& LecteursColonnes()
{
    static const std::map<int, Colonne> lecteurs = [] {
        std::map<int, Colonne> l;
        for (const ColonneReel& c : kReels)
            l[c.type] = {c.mesure, [c](const CelluleLue& s, TVisee& v, TGalerie&) {
                             return Place(LitReelCellule(s.texte, c.videNul, c.message, Icone::Confirmation),
                                          v.*c.champ);
                         }};
        for (const ColonneUnite& c : kUnites)
            l[c.type] = {false, [c](const CelluleLue& s, TVisee& v, TGalerie&) {
                             return Place(
                                 LitUniteCellule(s.texte, TPreference_Ecran::UnitesColonne(c.type), c.message, c.nomme),
                                 v.*c.champ);
                         }};
        for (const ColonneCourte& c : kCourtes)
            l[c.type] = {false, [c](const CelluleLue& s, TVisee& v, TGalerie&) {
                             return Place(LitCourt(s.texte, c.message), v.*c.champ);
                         }};
        for (const ColonnePaire& c : kPaires)
            l[c.type] = {false, [c](const CelluleLue& s, TVisee& v, TGalerie&) {
                             std::pair<std::string, std::string> paire;
                             auto refus =
                                 Place(LitPaire(s.texte, (s.preferences.*c.groupe).Separateur, c.message), paire);
                             if (!refus) {
                                 v.*c.premier = paire.first;
                                 v.*c.second = paire.second;
                             }
                             return refus;
                         }};
        for (const ColonneDrapeau& c : kDrapeaux)
            l[c.type] = {false, [c](const CelluleLue& s, TVisee& v, TGalerie&) {
                             return Place(LitDrapeau(s.texte, c.message), v.*c.champ);
                         }};
        l[P::Longueur] = {true, [](const CelluleLue& c, TVisee& v, TGalerie& g) -> std::optional<Refus> {
                              Lu<Longueur> lu = LitLongueur(c, g.CoefTopofil);
                              if (Refus* r = std::get_if<Refus>(&lu))
                                  return std::move(*r);
                              const Longueur& lg = std::get<Longueur>(lu);
                              v.Longueur = lg.valeur;
                              if (lg.topofil) {
                                  v.Topofil = *lg.topofil;
                                  v.AvecTopofil = true;
                              }
                              if (std::fabs(static_cast<long double>(v.Longueur)) < 0.001L)
                                  g.PremiereViseeNulle = true;
                              return std::nullopt;
                          }};
        l[P::Croquis] = {false, [](const CelluleLue& c, TVisee& v, TGalerie&) {
                             return Place(LitCroquis(c.texte), v.TailleSchema);
                         }};
        l[P::Observations] = {false, [](const CelluleLue& c, TVisee& v, TGalerie&) -> std::optional<Refus> {
                                  v.Commentaire.Affecte(c.texte);
                                  return std::nullopt;
                              }};
        return l;
    }();
    return lecteurs;
}

// Gives a shot what a column's cell would: the fields it fills, as another shot has them.
using CopieColonne = std::function<void(const TVisee&, TVisee&)>;

template <class... Champs>
CopieColonne Copie(Champs... champs)
{
    return [=](const TVisee& de, TVisee& v) { ((v.*champs = de.*champs), ...); };
}

// The fields each column type of LecteursColonnes fills.
const std::map<int, CopieColonne>& CopiesColonnes()
{
    static const std::map<int, CopieColonne> copies = [] {
        std::map<int, CopieColonne> l;
        for (const ColonneReel& c : kReels)
            l[c.type] = Copie(c.champ);
        for (const ColonneUnite& c : kUnites)
            l[c.type] = Copie(c.champ);
        for (const ColonneCourte& c : kCourtes)
            l[c.type] = Copie(c.champ);
        for (const ColonnePaire& c : kPaires)
            l[c.type] = Copie(c.premier, c.second);
        for (const ColonneDrapeau& c : kDrapeaux)
            l[c.type] = Copie(c.champ);
        // Without its length a shot is refused: the gallery's mark of a zero first shot is moot.
        l[P::Longueur] = Copie(&TVisee::Longueur, &TVisee::Topofil, &TVisee::AvecTopofil);
        l[P::Croquis] = Copie(&TVisee::TailleSchema);
        l[P::Observations] = Copie(&TVisee::Commentaire);
        return l;
    }();
    return copies;
}

// The shot's values together: why they cannot go together, if they cannot.
std::optional<Refus> VerifieVisee(const TVisee& vs)
{
    const long double pente = vs.Pente, azimut = vs.Azimut;
    auto non = [](const char* m) { return Refus{m, Icone::Confirmation}; };
    if (vs.UnitePente == kPenteDenivMetres || vs.UnitePente == kPenteDenivCm) {
        const long double dz = std::fabs(pente) / (vs.UnitePente == kPenteDenivCm ? 100 : 1);
        const long double l = static_cast<long double>(vs.Longueur) / (vs.UniteLongueur == kUniteCentimetres ? 100 : 1);
        if (l < dz)
            return non("La pente doit être inférieure à la longueur.");
    }
    if (vs.UnitePente == kPenteDegres && std::fabs(pente) >= 91)
        return non("La pente doit être inférieure à 90°.");
    if (vs.UnitePente == kPenteVulcain && (pente >= 181 || pente <= -1))
        return non("La pente Vulcain doit être entre 0 et 180°.");
    if (vs.UnitePente == kPenteGrades && std::fabs(pente) > Seuil(100.1L))
        return non("La pente doit être inférieure à 100°.");
    if (vs.UniteAzimut == kAzimutDegres && (azimut >= 361 || azimut <= -1))
        return non("L'azimut doit être compris entre 0 et 360°.");
    if (vs.UniteAzimut == kAzimutGrades && (azimut >= 401 || azimut <= -1))
        return non("L'azimut doit être compris entre 0 et 400 gr.");
    return std::nullopt;
}

const std::string kVide;

// The decimals a typed number shows ("1.5e-3" shows four), at most fifteen.
int DecimalesSaisies(const std::string& texte)
{
    const std::string t = PointDecimal(Rogne(texte));
    const auto exposant = t.find_first_of("eE");
    const auto point = t.find('.');
    int n = 0;
    if (point != std::string::npos && point < exposant)
        n = static_cast<int>(std::min(exposant, t.size()) - point - 1);
    if (exposant != std::string::npos)
        n -= ChaineEnEntier(t.substr(exposant + 1));
    return std::clamp(n, 0, 15);
}

}  // namespace

int GroupeMele(const TPreference_Ecran& p, int type, const std::string& texte)
{
    for (int k = 0; k < 2; ++k) {
        const ColonnePaire& paire = kPaires[k];
        const P::GroupeDimension& g = p.*paire.groupe;
        if (g.DeuxColonnes || texte.find(Cp1252VersUtf8(std::string(1, g.Separateur))) == std::string::npos)
            continue;
        for (const ColonneCourte& c : kCourtes)
            if (c.type == type && (c.champ == paire.premier || c.champ == paire.second))
                return k;
    }
    return -1;
}

std::vector<PartieMelee> PartiesMelees(const TFiche& fiche, const TPreference_Ecran& p)
{
    std::vector<PartieMelee> r;
    int visee = 0;
    for (std::size_t i = 0; i < fiche.Galeries.size(); ++i)
        for (int n = 1; n <= fiche.Galeries[i]->NbVisees; ++n) {
            ++visee;
            const TVisee* v = fiche.Galeries[i]->Visee(n);
            for (const ColonneCourte& c : kCourtes)
                if (v) {
                    const std::string texte = Cp1252VersUtf8((v->*c.champ).str());
                    if (const int groupe = GroupeMele(p, c.type, texte); groupe >= 0)
                        r.push_back({groupe, c.type, std::to_string(visee), texte});
                }
        }
    return r;
}

// ---- rows ----

void FeuilleSaisie::Construit(const TPreference_Ecran* preferences)
{
    preferences_ = preferences;
    const int n = preferences ? preferences->NbColonnes : 0;
    defauts_.assign(static_cast<std::size_t>(n + 1), std::string());
    for (int c = 1; c <= n; ++c)
        defauts_[static_cast<std::size_t>(c)] =
            Cp1252VersUtf8(preferences->Colonnes[static_cast<std::size_t>(c)].Unite.str());
    lignes_.assign(11, Ligne{defauts_, nullptr});
    lignes_[0].cellules.assign(defauts_.size(), std::string());
    for (int c = 1; c <= n; ++c)
        lignes_[0].cellules[static_cast<std::size_t>(c)] =
            Cp1252VersUtf8(preferences->Colonnes[static_cast<std::size_t>(c)].Titre.str());
    for (int r = 1; r <= 10; ++r)
        cellule(r, 0) = std::to_string(r);
}

std::string& FeuilleSaisie::cellule(int ligne, int colonne)
{
    return lignes_[static_cast<std::size_t>(ligne)].cellules[static_cast<std::size_t>(colonne)];
}

const std::string& FeuilleSaisie::Texte(int ligne, int colonne) const
{
    if (ligne < 0 || ligne >= NbLignes() || colonne < 0 || colonne >= NbColonnes())
        return kVide;
    return lignes_[static_cast<std::size_t>(ligne)].cellules[static_cast<std::size_t>(colonne)];
}

void FeuilleSaisie::FixeTexte(int ligne, int colonne, const std::string& texte)
{
    if (ligne >= 0 && ligne < NbLignes() && colonne >= 0 && colonne < NbColonnes() && (ligne || colonne))
        cellule(ligne, colonne) = texte;
}

const std::string& FeuilleSaisie::TexteDefaut(int colonne) const
{
    return colonne >= 0 && colonne < NbColonnes() ? defauts_[static_cast<std::size_t>(colonne)] : kVide;
}

void FeuilleSaisie::FixeNbLignes(int n)
{
    lignes_.resize(static_cast<std::size_t>(std::max(n, 1)), Ligne{std::vector<std::string>(defauts_.size()), nullptr});
}

void FeuilleSaisie::InsereLigne(int ligne)
{
    lignes_.insert(lignes_.begin() + std::clamp(ligne, 1, NbLignes()),
                   Ligne{std::vector<std::string>(defauts_.size()), nullptr});
}

void FeuilleSaisie::RetireLigne(int ligne)
{
    if (ligne >= 1 && ligne < NbLignes())
        lignes_.erase(lignes_.begin() + ligne);
}

void FeuilleSaisie::AjouteLigne()
{
    // Numbered as the shot it will be stored as, never after its row: a message names a
    // shot by this number, which must point at one row only.
    int numero = 1;
    for (int r = NbLignes() - 1; r >= 1; --r)
        if (const int n = NumeroVisee(r); n >= 0) {
            numero = n + 1;
            break;
        }
    lignes_.push_back(Ligne{defauts_, nullptr});
    cellule(NbLignes() - 1, 0) = std::to_string(numero);
}

void FeuilleSaisie::NumeroteVisees()
{
    int n = 0;
    for (int r = 1; r < NbLignes(); ++r)
        if (LigneVisee(r))
            cellule(r, 0) = std::to_string(++n);
}

void FeuilleSaisie::InsereVisee(int ligne, int numero)
{
    InsereLigne(ligne);
    lignes_[static_cast<std::size_t>(ligne)].cellules = defauts_;
    Renumerote(ligne + 1, 1);
    cellule(ligne, 0) = std::to_string(numero);
}

void FeuilleSaisie::InsereStation(int ligne, const std::string& marque, const std::string& commentaire,
                                  const std::string& station)
{
    // The given row and those below it move down by one.
    InsereLigne(ligne);
    const int obs = ColonneType(TPreference_Ecran::Observations);
    if (obs > 0)
        cellule(ligne, obs) = commentaire;
    cellule(ligne, 0) = marque;
    if (NbColonnes() > 1)
        cellule(ligne, 1) = station;
}

FeuilleSaisie::Sorte FeuilleSaisie::SorteLigne(int ligne) const
{
    const std::string& m = Texte(ligne, 0);
    return m == kDepart ? Sorte::Depart : m == kArrivee ? Sorte::Arrivee : Sorte::Visee;
}

bool FeuilleSaisie::LigneVisee(int ligne) const
{
    return ligne >= 1 && ligne < NbLignes() && SorteLigne(ligne) == Sorte::Visee;
}

bool FeuilleSaisie::LigneSaisie(int ligne) const
{
    if (!LigneVisee(ligne))
        return false;
    for (int c = 2; c < NbColonnes(); ++c)
        if (Rogne(Texte(ligne, c)) != TexteDefaut(c))
            return true;
    return false;
}

int FeuilleSaisie::NumeroVisee(int ligne) const
{
    if (!LigneVisee(ligne))
        return -1;
    std::string t = Rogne(Texte(ligne, 0));
    if (!t.empty() && t[0] == '+')
        t.erase(0, 1);
    int n = -1;
    const auto [fin, erreur] = std::from_chars(t.data(), t.data() + t.size(), n);
    return erreur == std::errc() && fin == t.data() + t.size() && !t.empty() ? n : -1;
}

void FeuilleSaisie::Renumerote(int de, int delta)
{
    for (int r = de; r < NbLignes(); ++r) {
        const int n = NumeroVisee(r);
        if (n >= 0)
            cellule(r, 0) = std::to_string(n + delta);
    }
}

int FeuilleSaisie::TypeColonne(int colonne) const
{
    if (!preferences_ || colonne < 1 || colonne > preferences_->NbColonnes)
        return 0;
    return preferences_->Colonnes[static_cast<std::size_t>(colonne)].Type;
}

int FeuilleSaisie::ColonneType(int type) const
{
    for (int k = 1; k < NbColonnes(); ++k)
        if (TypeColonne(k) == type)
            return k;
    return -1;
}

bool FeuilleSaisie::CelluleEditable(int ligne, int colonne, bool souris) const
{
    // A unit is chosen in the list shown over its cell, never typed into the cell.
    if (!LigneVisee(ligne) || colonne < 2 || TypeColonne(colonne) >= 128)
        return false;
    // A mouse click or double click on a flag toggles it: it opens no editor.
    return !(souris && (TypeColonne(colonne) & 64));
}

const UniteMesure* FeuilleSaisie::UniteDeTexte(int type, const std::string& texte)
{
    return UniteDeLibelle(TPreference_Ecran::UnitesColonne(type), Utf8VersCp1252(texte));
}

std::string FeuilleSaisie::TexteStation(const TPointTopo& p, bool etoileSansNom)
{
    if (p.Terminus)
        return "Terminus";
    const std::string nom = etoileSansNom && p.Nom.Longueur() == 0 ? "*" : Cp1252VersUtf8(p.Nom.Chaine());
    return nom + '(' + std::to_string(p.Indice) + ')';
}

std::vector<CelluleHorsCp1252> FeuilleSaisie::CellulesHorsCp1252() const
{
    std::vector<CelluleHorsCp1252> r;
    for (int l = 1; l < NbLignes(); ++l)
        for (int c = 2; c < NbColonnes(); ++c)
            if (std::string hors = CaracteresHorsCp1252(Texte(l, c)); !hors.empty() && CelluleEditable(l, c, false))
                r.push_back({l, c, std::move(hors)});
    return r;
}

// ---- corrections ----

int FeuilleSaisie::DerniereColonne(int type) const
{
    int c = -1;
    for (int k = 1; k < NbColonnes(); ++k)
        if (TypeColonne(k) == type)
            c = k;
    return c;
}

std::string FeuilleSaisie::DesignationVisee(int ligne) const
{
    struct Mesure {
        int type, typeUnite;
        const char* nom;
    };
    const Mesure mesures[] = {{P::Longueur, P::UniteLongueur, "longueur"},
                              {P::Azimut, P::UniteAzimut, "azimut"},
                              {P::Pente, P::UnitePente, "pente"}};
    std::string valeurs;
    for (const auto& [type, typeUnite, nom] : mesures) {
        const std::string v = Rogne(Texte(ligne, DerniereColonne(type)));
        if (v.empty())
            continue;
        const std::string u = Rogne(Texte(ligne, DerniereColonne(typeUnite)));
        valeurs += (valeurs.empty() ? "" : ", ") + std::string(nom) + " " + v + (u.empty() ? "" : " " + u);
    }
    return "visée " + Rogne(Texte(ligne, 0)) + " (" + (valeurs.empty() ? "vide" : valeurs) + ")";
}

std::optional<std::string> FeuilleSaisie::Corrige(int type, const std::string& valeur, int de, int a, bool& modifie)
{
    // The unit of a row: its unit cell where the layout shows one, else the stored default.
    auto unite = [&](int ligne, int typeUnite) -> uint8_t {
        const int c = DerniereColonne(typeUnite);
        const UniteMesure* u = c > 0 ? UniteDeTexte(typeUnite, Rogne(Texte(ligne, c))) : nullptr;
        return u ? u->Code : 0;
    };
    long double ajout = 0;
    const int colonne = DerniereColonne(type);
    if (colonne < 0 || !LitReelSaisi(valeur, ajout))
        return std::nullopt;
    std::vector<std::pair<int, std::string>> nouveaux;
    for (int r = std::max(de, 1); r <= a && r < NbLignes(); ++r) {
        long double v = 0;
        if (!LigneVisee(r) || !LitReelSaisi(Texte(r, colonne), v))
            continue;
        const int decimales = std::max(DecimalesSaisies(Texte(r, colonne)), DecimalesSaisies(valeur));
        long double somme = v + ajout;
        if (type == P::Azimut) {
            const long double tour = unite(r, P::UniteAzimut) % kSensInverse == kAzimutGrades ? 400 : 360;
            somme = std::fmod(somme, tour);
            if (somme < 0)
                somme += tour;
            // 359.9996 written with three decimals would be a whole turn.
            long double ecrit = 0;
            if (LitReel(FormatF(somme, decimales), ecrit) && ecrit >= tour)
                somme -= tour;
        }
        std::string texte = FormatF(somme, decimales);
        long double ecrit = 0;
        // A length brought to zero or below would be refused at the end of the sheet, far
        // from the correction that made it.
        if (type == P::Longueur && LitReel(texte, ecrit) && ecrit < 0.001L && ecrit != v)
            return "La longueur de la visée " + Rogne(Texte(r, 0)) + " deviendrait nulle ou négative (" + texte + " " +
                   Cp1252VersUtf8(LibelleUniteLongueur(unite(r, P::UniteLongueur))) +
                   ") : aucune longueur n'a été corrigée.";
        if (type == P::Pente) {
            long double p = 0, longueur = 0;
            LitReel(texte, p);
            const uint8_t code = unite(r, P::UnitePente), u = code % kSensInverse;
            bool verticale = (u == kPenteDegres && std::fabs(p) > 90) || (u == kPenteGrades && std::fabs(p) > 100) ||
                             (u == kPenteVulcain && (p < 0 || p > 180));
            // A height difference passes the vertical beyond the shot's length.
            if ((u == kPenteDenivMetres || u == kPenteDenivCm) &&
                LitReelSaisi(Texte(r, DerniereColonne(P::Longueur)), longueur))
                verticale = std::fabs(p) / (u == kPenteDenivCm ? 100 : 1) >
                            std::fabs(longueur) / (unite(r, P::UniteLongueur) == kUniteCentimetres ? 100 : 1);
            if (verticale)
                return "La pente de la visée " + Rogne(Texte(r, 0)) + " passerait la verticale (" + texte + " " +
                       Cp1252VersUtf8(LibelleUnitePente(code)) + ") : aucune pente n'a été corrigée.";
        }
        nouveaux.emplace_back(r, std::move(texte));
    }
    for (auto& [r, texte] : nouveaux)
        if (Texte(r, colonne) != texte) {
            FixeTexte(r, colonne, texte);
            modifie = true;
        }
    return std::nullopt;
}

// ---- clipboard and import ----

std::string FeuilleSaisie::TexteGrille(const std::vector<Reel6>& coefsTopofil) const
{
    std::string t;
    std::size_t departs = 0;
    for (int r = 0; r < NbLignes(); ++r) {
        for (int c = 1; c < NbColonnes(); ++c) {
            if (c == 2 && LigneDepart(r))
                // A start row carries its gallery's topofil coefficient there.
                t += TexteReel(departs < coefsTopofil.size() ? coefsTopofil[departs] : Reel6(1.0L));
            else
                t += ChampTableur(Texte(r, c));
            t += '\t';
        }
        if (LigneDepart(r))
            ++departs;
        if (!t.empty() && t.back() == '\t')
            t.pop_back();
        t += "\r\n";
    }
    return t;
}

std::string FeuilleSaisie::TexteSelection(const BlocCellules& bloc) const
{
    std::string t;
    for (int r = bloc.haut; r <= bloc.bas; ++r) {
        if (r > bloc.haut)
            t += "\r\n";
        for (int c = std::max(bloc.gauche, 1); c <= bloc.droite; ++c)
            t += (c > std::max(bloc.gauche, 1) ? "\t" : "") + ChampTableur(Texte(r, c));
    }
    return t;
}

bool FeuilleSaisie::EffaceSelection(const BlocCellules& bloc, bool unites)
{
    // Only what may be typed is emptied; a flag goes back to its column's default, and so does
    // a unit when the shot is cut, since its units leave with it.
    bool modifie = false;
    for (int r = bloc.haut; r <= bloc.bas; ++r)
        for (int c = bloc.gauche; c <= bloc.droite; ++c) {
            const bool unite = unites && CelluleUnite(r, c);
            if ((unite || CelluleEditable(r, c, false)) && Texte(r, c) != TexteDefaut(c)) {
                FixeTexte(r, c, TexteDefaut(c));
                modifie = true;
            }
        }
    // A whole shot cut leaves with what the layout hid of it: a shot typed there is a new one.
    if (unites && bloc.gauche <= 2 && bloc.droite >= NbColonnes() - 1)
        for (int r = std::max(bloc.haut, 1); r <= bloc.bas && r < NbLignes(); ++r)
            lignes_[static_cast<std::size_t>(r)].visee.reset();
    return modifie;
}

std::optional<std::string> FeuilleSaisie::refuseSurStation(int haut, std::size_t lignes, const char* texte) const
{
    for (int i = 0; i < static_cast<int>(lignes) && haut + i < NbLignes(); ++i)
        if (!LigneVisee(haut + i))
            return "Ligne " + std::to_string(i + 1) + " du texte " + texte +
                   " : elle tomberait sur la ligne de la station « " + Texte(haut + i, 1) +
                   " », qui ne reçoit pas de visée. Rien n'a été " + texte + ".";
    return std::nullopt;
}

std::optional<std::string> FeuilleSaisie::ColleTexte(const TexteUtf8& texte, int haut, int gauche, bool finSurPoint,
                                                     bool& modifie)
{
    // From the selection's top left corner, on shot rows only; cells that may not be typed keep
    // what they hold. A unit travels with its value: an empty unit field leaves the cell's unit.
    std::vector<std::vector<std::string>> champs = LignesTableur(texte.str());
    // An empty text is an empty cell's, copied to empty another.
    if (champs.empty())
        champs.push_back({std::string()});
    const int nbLignes = static_cast<int>(champs.size());
    const int fin = haut + nbLignes;
    // Lines copied from whole rows (every field of a row, the station's first) go to whole
    // rows, wherever the selection is in the row.
    if (std::all_of(
            champs.begin(), champs.end(),
            [this](const std::vector<std::string>& l) { return static_cast<int>(l.size()) == NbColonnes() - 1; }) &&
        NbColonnes() > 2)
        gauche = 1;
    // A station row on the way refuses the text first: the rows before it are all the grid
    // can take, and the message says which row stops it.
    if (auto refus = refuseSurStation(haut, champs.size(), "collé"))
        return refus;
    // The grid grows to take every line, but never past a final point.
    const int limite = finSurPoint ? NbLignes() : std::max(NbLignes(), kLignesMax);
    if (fin > limite)
        return "Le texte collé compte " + std::to_string(nbLignes) +
               " lignes : à partir de la cellule choisie, la grille ne peut en recevoir que " +
               std::to_string(std::max(limite - haut, 0)) + ".";
    // Every line lands on a shot row, or past the grid's end on a new one.
    for (int i = 0; i < nbLignes; ++i)
        for (int j = 0; j < static_cast<int>(champs[i].size()) && gauche + j < NbColonnes(); ++j) {
            const int c = gauche + j;
            const std::string u = Rogne(champs[i][j]);
            if (TypeColonne(c) < 128 || u.empty() || UniteDeTexte(TypeColonne(c), u))
                continue;
            // A unit column has no title: it is named after the measure it follows.
            int titre = c;
            while (titre > 1 && Texte(0, titre).empty())
                --titre;
            return "Ligne " + std::to_string(i + 1) + " du texte collé, colonne « " + Texte(0, titre) +
                   " » : unité « " + u + " » inconnue.";
        }
    while (NbLignes() < fin)
        AjouteLigne();
    for (int i = 0; i < nbLignes; ++i)
        for (int j = 0; j < static_cast<int>(champs[i].size()) && gauche + j < NbColonnes(); ++j) {
            const int r = haut + i, c = gauche + j;
            const UniteMesure* unite =
                TypeColonne(c) >= 128 ? UniteDeTexte(TypeColonne(c), Rogne(champs[i][j])) : nullptr;
            // A unit is written as the list shows it.
            const std::string v = unite ? Cp1252VersUtf8(unite->Libelle) : champs[i][j];
            if ((unite || CelluleEditable(r, c, false)) && Texte(r, c) != v) {
                FixeTexte(r, c, v);
                modifie = true;
            }
        }
    return std::nullopt;
}

bool FeuilleSaisie::colonneNombres(int colonne) const
{
    const int type = TypeColonne(colonne);
    if (type == P::Observations || type < P::Longueur || type >= 64)
        return false;
    // A width or height pair in one column is split at its separator before a ',' is read as
    // the point: under a separator ',' or '.', the text is left for that reading.
    for (const ColonnePaire& paire : kPaires)
        if (type == paire.type) {
            const char separateur = (preferences_->*paire.groupe).Separateur;
            return separateur != ',' && separateur != '.';
        }
    return true;
}

std::optional<std::string> FeuilleSaisie::ImporteTexte(const TexteUtf8& texte, const std::vector<int>& ignores,
                                                       int ligne, bool finSurPoint)
{
    // A ',' is a '.' in the columns read as numbers.
    const std::vector<std::vector<std::string>> lignes = LignesTableur(texte.str());
    // Every line lands whole, or nothing is imported: the first that cannot is named.
    if (ligne < 1 || ligne >= NbLignes())
        return std::string("Ligne 1 du texte importé : elle tomberait hors de la grille. Rien n'a été importé.");
    if (auto refus = refuseSurStation(ligne, lignes.size(), "importé"))
        return refus;
    // The column of each field: the measure and text columns in turn, unit and flag columns
    // passed over; 0 for a field skipped.
    auto colonnes = [&](const std::vector<std::string>& champs) {
        std::vector<int> r;
        int colonne = 2;
        for (std::size_t champ = 1; champ <= champs.size(); ++champ) {
            const bool ignore = std::find(ignores.begin(), ignores.end(), static_cast<int>(champ)) != ignores.end();
            r.push_back(ignore ? 0 : colonne);
            if (!ignore)
                do
                    ++colonne;
                while (colonne < NbColonnes() && TypeColonne(colonne) >= 64);
        }
        return r;
    };
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        const std::vector<int> c = colonnes(lignes[i]);
        for (std::size_t k = 0; k < c.size(); ++k)
            if (c[k] >= NbColonnes() && !Rogne(lignes[i][k]).empty())
                return "Ligne " + std::to_string(i + 1) + " du texte importé : le champ " + std::to_string(k + 1) +
                       " « " + lignes[i][k] + " » n'a pas de colonne où aller. Rien n'a été importé.";
    }
    for (const std::vector<std::string>& champs : lignes) {
        const std::vector<int> c = colonnes(champs);
        for (std::size_t k = 0; k < c.size(); ++k)
            if (c[k] > 0 && c[k] < NbColonnes()) {
                std::string t = champs[k];
                if (colonneNombres(c[k]))
                    std::replace(t.begin(), t.end(), ',', '.');
                FixeTexte(ligne, c[k], t);
            }
        ++ligne;
        // A sheet that ends on its final point ends there: every line fell on a shot row above it.
        if (finSurPoint)
            continue;
        AjouteLigne();
        if (ligne >= 10 && ligne >= NbLignes() && NbLignes() < kLignesMax)
            AjouteLigne();
    }
    return std::nullopt;
}

// ---- loading a sheet ----

void FeuilleSaisie::afficheVisees(const TGalerie& g, int& compteur, int lignesStations)
{
    const TPreference_Ecran& p = *preferences_;
    for (int k = 1; k <= g.NbVisees; ++k) {
        const TVisee* v = g.Visee(k);
        AjouteLigne();
        const int r = compteur + lignesStations;
        FixeTexte(r, 0, std::to_string(compteur));
        if (!v) {
            ++compteur;
            continue;
        }
        auto paire = [](const std::string& a, const std::string& b, char sep) { return b.empty() ? a : a + sep + b; };
        auto correction = [](bool avec, Reel6 valeur) {
            return !avec && static_cast<long double>(valeur) < 0.00001L ? std::string() : TexteReel(valeur);
        };
        for (int c = 1; c <= p.NbColonnes; ++c) {
            std::string t;
            switch (TypeColonne(c)) {
            case P::Longueur: t = v->AvecTopofil ? TexteTopofil(*v, g.CoefTopofil) : TexteReel(v->Longueur); break;
            case P::Azimut: t = TexteReel(v->Azimut); break;
            case P::Pente: t = TexteReel(v->Pente); break;
            case P::Largeur: t = paire(v->Gauche, v->Droite, p.GLargeur.Separateur); break;
            case P::LargeurG: t = v->Gauche; break;
            case P::LargeurD: t = v->Droite; break;
            case P::Hauteur: t = paire(v->Haut, v->Bas, p.GHauteur.Separateur); break;
            case P::HautSup: t = v->Haut; break;
            case P::HautInf: t = v->Bas; break;
            case P::Croquis: t = v->TailleSchema ? FormatEntier(v->TailleSchema) : ""; break;
            case P::Observations: t = v->Commentaire.Chaine(); break;
            case P::CorrHorizontale: t = correction(v->AvecCorrHorizontale, v->CorrHorizontale); break;
            case P::DevManuel: t = correction(v->AvecCorrDeveloppement, v->CorrDeveloppement); break;
            case P::DrapeauHorizontal: t = v->AvecCorrHorizontale ? "O" : "N"; break;
            case P::DrapeauDeveloppement: t = v->AvecCorrDeveloppement ? "O" : "N"; break;
            case P::UnitePente: t = LibelleUnitePente(v->UnitePente); break;
            case P::UniteLongueur: t = LibelleUniteLongueur(v->UniteLongueur); break;
            case P::UniteAzimut: t = LibelleUnite(kUnitesAzimut, v->UniteAzimut); break;
            case P::UniteLargeur: t = LibelleUniteLongueur(v->UniteLargeur); break;
            case P::UniteHauteur: t = LibelleUniteLongueur(v->UniteHauteur); break;
            default: break;
            }
            FixeTexte(r, c, Cp1252VersUtf8(t));
        }
        lignes_[static_cast<std::size_t>(r)].visee = std::make_shared<const TVisee>(*v);
        ++compteur;
    }
}

int FeuilleSaisie::ChargeFiche(const TFiche& f, int galerie, TNoeud& premier,
                               std::vector<std::unique_ptr<TNoeud>>& noeuds, TPointTopo& fin)
{
    noeuds.clear();
    int compteur = 1, lignesStations = 1;
    const int nb = static_cast<int>(f.Galeries.size());
    if (nb > 0) {
        const TGalerie& g0 = *f.Galeries[0];
        premier.Depart.Copie(g0.Depart);
        premier.Commentaire.Copie(g0.Commentaire);
        premier.Couleur = g0.Couleur;
        premier.Coefficient = g0.Coefficient;
        premier.CoefTopofil = g0.CoefTopofil;
    } else {
        premier.Depart.Terminus = true;
        premier.Coefficient = 1.0L;
        premier.CoefTopofil = 1.0L;
    }
    InsereStation(1, kDepart, Cp1252VersUtf8(premier.Commentaire.Chaine()), TexteStation(premier.Depart));
    int ligneVoulue = -1;
    for (int i = 0; i < nb; ++i) {
        const TGalerie& g = *f.Galeries[static_cast<std::size_t>(i)];
        if (i == galerie)
            ligneVoulue = compteur + lignesStations;
        if (i > 0) {
            TNoeud& j = *noeuds.back();
            j.Depart.Copie(g.Depart);
            j.Commentaire.Copie(g.Commentaire);
            j.Couleur = g.Couleur;
            InsereStation(compteur + lignesStations - 1, kDepart, Cp1252VersUtf8(g.Commentaire.Chaine()),
                          TexteStation(g.Depart, true));
            j.Coefficient = g.Coefficient;
            j.CoefTopofil = g.CoefTopofil;
        }
        afficheVisees(g, compteur, lignesStations);
        if (i < nb - 1) {
            auto j = std::make_unique<TNoeud>();
            j->Arrivee.Copie(g.Arrivee);
            InsereStation(compteur + lignesStations, kArrivee, {}, TexteStation(g.Arrivee));
            noeuds.push_back(std::move(j));
            lignesStations += 2;
        }
    }
    if (nb > 0)
        fin.Copie(f.Galeries[static_cast<std::size_t>(nb - 1)]->Arrivee);
    else
        fin.Terminus = true;
    InsereStation(compteur + lignesStations, kArrivee, {}, TexteStation(fin));
    FixeNbLignes(2 * std::max(nb, 1) + compteur);
    return ligneVoulue;
}

// ---- reading the sheet ----

std::unique_ptr<TVisee> FeuilleSaisie::litVisee(int ligne, int numero, TGalerie& g,
                                                std::optional<RefusFeuille>& refus) const
{
    auto visee = std::make_unique<TVisee>();
    const int derniere = std::min<int>(preferences_->NbColonnes, NbColonnes() - 1);
    // What the layout does not show of the shot the row was loaded from stays as it was; a
    // row typed anew takes the defaults there. The cells read next overwrite what they show.
    if (const TVisee* avant = lignes_[static_cast<std::size_t>(ligne)].visee.get())
        for (const auto& [type, copie] : CopiesColonnes()) {
            bool montree = false;
            for (int k = 2; k <= derniere && !montree; ++k)
                montree = TypeColonne(k) == type;
            if (!montree)
                copie(*avant, *visee);
        }
    int mesures = 0;
    for (int k = 2; k <= derniere; ++k) {
        const auto colonne = LecteursColonnes().find(TypeColonne(k));
        if (colonne == LecteursColonnes().end())
            continue;
        mesures += colonne->second.mesure;
        const CelluleLue cellule{Utf8VersCp1252(Texte(ligne, k)), *preferences_, numero};
        if (std::optional<Refus> r = colonne->second.lit(cellule, *visee, g)) {
            refus = RefusFeuille{std::move(r->message), r->icone, ligne, k};
            return nullptr;
        }
    }
    if (std::optional<Refus> r = VerifieVisee(*visee)) {
        refus = RefusFeuille{std::move(r->message), r->icone, ligne, 2};
        return nullptr;
    }
    if (mesures != 3) {
        refus = RefusFeuille{"La visée est incomplète.", Icone::Avertissement, ligne, 1};
        return nullptr;
    }
    return visee;
}

std::optional<RefusFeuille> FeuilleSaisie::LitGaleries(TFiche& fiche, const TNoeud& premier,
                                                       const std::vector<std::unique_ptr<TNoeud>>& noeuds,
                                                       const TPointTopo& fin) const
{
    if (!preferences_)
        return RefusFeuille{kTexteFicheSansPointFinal, Icone::Avertissement};
    int n = 1, base = 1;
    std::size_t j = 0;
    const TNoeud* depart = &premier;
    for (;;) {
        auto g = std::make_unique<TGalerie>();
        g->Depart.Copie(depart->Depart);
        g->Commentaire.Copie(depart->Commentaire);
        g->Couleur = depart->Couleur;
        g->Coefficient = depart->Coefficient;
        g->CoefTopofil = depart->CoefTopofil;
        for (;;) {
            const int r = n + base;
            if (r >= NbLignes())
                return RefusFeuille{kTexteFicheSansPointFinal, Icone::Avertissement};
            if (LigneArrivee(r)) {
                const bool vide =
                    ((n == 1 && !g->PremiereViseeNulle) || (n == 2 && g->PremiereViseeNulle)) && !g->Depart.Terminus;
                const TPointTopo& arrivee = j >= noeuds.size() ? fin : noeuds[j]->Arrivee;
                if (vide && !arrivee.Terminus)
                    return RefusFeuille{"Il doit y avoir au moins une visée entre deux carrefours",
                                        Icone::Avertissement, r, 1};
                g->Arrivee.Copie(arrivee);
                g->NbVisees = static_cast<uint8_t>(n - 1);
                fiche.Galeries.ajoute(std::move(g));
                break;
            }
            if (n > kMaxVisees)
                return RefusFeuille{"Une galerie ne peut pas avoir plus de 128 visées.", Icone::Avertissement, r, 2};
            std::optional<RefusFeuille> refus;
            std::unique_ptr<TVisee> visee = litVisee(r, n, *g, refus);
            if (!visee)
                return refus;
            g->PlaceVisee(n, std::move(visee));
            g->NbVisees = static_cast<uint8_t>(n);
            ++n;
        }
        if (j >= noeuds.size())
            return std::nullopt;
        depart = noeuds[j++].get();
        base += n + 1;
        n = 1;  // the start row after the end row is passed over
    }
}

}  // namespace karst
