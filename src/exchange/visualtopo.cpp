// VisualTopo file (*.tro) import.
//
// The file is read once, line by line; a first walk classifies every station name (a
// junction where the survey branches, a dead end where it stops, or a plain station inside
// a chain), a second builds one sheet per block of survey lines, cutting the galleries at
// the junctions and dead ends.
//
// Survey lines are read by fields separated by blanks, never by columns: the columns move
// between the versions of VisualTopo and with long station names.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "exchange/echange.h"
#include "exchange/messages_communs.h"
#include "exchange/outils.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

using echange::Ligne;

// The longest line before the first "Param" line: twice the longest path a "Fusion" line names.
constexpr std::size_t kLongueurMaxEnTete = 8192;

enum class UniteAngle { Degd, Deg, Gra, Pourcent };
enum class Clinometre { Clino, Vulc, Deniv, Prof };

// The settings of a "Param" line; a word the format does not know keeps the previous value.
struct Parametres {
    bool topofil = false;
    long double coefTopofil = 1;
    UniteAngle azimut = UniteAngle::Degd;
    Clinometre clino = Clinometre::Clino;
    UniteAngle pente = UniteAngle::Degd;
    long double declinaison = 0;  // degrees.minutes
    bool azimutDirect = true, penteDirecte = true, gaucheDroite = true;
    int32_t couleur = 0;
    std::string commentaire;
};

struct LigneTopo {
    std::size_t numero = 0;  // line number in the file, from 1
    std::string de, vers;
    long double longueur = 0;  // metres, or counter units with topofil
    long double debutTopofil = 0, finTopofil = 0;
    long double azimut = 0, pente = 0;
    std::string mesures[4];
    bool avecCommentaire = false;
    std::string commentaire;
    bool exclue = false;  // flag "E": not counted in the survey's length

    // A shot to the wall, ending nowhere: "*" as its TO.
    bool Rayonnante() const { return vers == kRayonnante; }
    static constexpr const char* kRayonnante = "*";
};

struct Bloc {
    Parametres parametres;
    std::vector<LigneTopo> lignes;
};

struct Trou {
    std::string nom;
    long double x = 0, y = 0, z = 0;
};

// What comes before the first "Param" line, in file order.
struct Annonce {
    bool entree;  // an "Entree" line, else a "Trou" line
    std::string nom;
    Trou trou;
};

struct Station {
    std::string nom;
    int indice = 0;
    bool carrefour = false;
    bool culDeSac = true;
};

// The words of a text up to position fin, separated by blanks.
std::vector<std::string> Mots(const std::string& t, std::size_t fin = std::string::npos)
{
    auto blanc = [](char c) { return c == ' ' || c == '\t'; };
    std::vector<std::string> mots;
    const std::size_t n = std::min(fin, t.size());
    for (std::size_t i = 0; i < n;) {
        while (i < n && blanc(t[i]))
            ++i;
        const std::size_t d = i;
        while (i < n && !blanc(t[i]))
            ++i;
        if (i > d)
            mots.emplace_back(t, d, i - d);
    }
    return mots;
}

// A keyword counts at the start of its line only, where the format writes it, and as a whole
// word: the same letters may stand in a name, a path or a comment ("Grotte de Paramé",
// "voir [Configuration]", "Paramelle").
bool MotCle(const std::string& l, const std::string& mot)
{
    if (l.rfind(mot, 0) != 0)
        return false;
    const auto suite = static_cast<unsigned char>(l.size() > mot.size() ? l[mot.size()] : ' ');
    return suite < 0x80 && !std::isalnum(suite);
}

// What comes before the comment of a line.
std::string AvantCommentaire(const std::string& l) { return l.substr(0, l.find(';')); }

// Text between the first ";" and the next one (or the end of the line).
bool Commentaire(const std::string& l, std::string& texte)
{
    const std::size_t a = l.find(';');
    if (a == std::string::npos)
        return false;
    const std::size_t b = l.find(';', a + 1);
    texte = l.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    return true;
}

// Degrees and minutes written as degrees.minutes.
long double DegresMinutes(long double v) { return Trunc(v) + Frac(v) / 0.6L; }

long double Nombre(const std::string& texte, std::size_t ligne)
{
    if (echange::Blanc(texte))
        return 0;
    long double v = 0;
    if (!LitReel(texte, v))
        throw ErreurEchange(Ligne(ligne, TexteNombreIllisible(Citation(echange::SansBlancs(texte)))));
    return v;
}

class ImportVisualTopo {
public:
    ImportVisualTopo(TMassif& massif, TRapportEchange& rapport) : massif_(massif), rapport_(rapport), index_(massif) {}
    bool Execute(const std::string& fichier);

private:
    void Lit(echange::LignesImportees& lignes);
    void LitParam(const std::string& l, std::size_t numero, Parametres& p) const;
    LigneTopo LitLigne(const std::string& l, std::size_t numero, const Parametres& p, LigneTopo& precedente) const;
    void Classe();
    void Construit();
    void Equivalence(int a, int b);
    void Applique();

    int Cherche(const std::string& nom) const
    {
        const auto it = dernier_.find(nom);
        return it == dernier_.end() ? -1 : it->second;
    }
    int Ajoute(const std::string& nom)
    {
        stations_.push_back(Station{nom});
        const int k = static_cast<int>(stations_.size() - 1);
        dernier_[nom] = k;
        return k;
    }
    TPointTopo Point(const std::string& nom) const;

    TMassif& massif_;
    TRapportEchange& rapport_;
    echange::IndexIndices index_;
    std::string fichier_;
    echange::TextesPerdus perdus_;  // texts that lose letters, for the question
    std::vector<Annonce> annonces_;
    std::vector<Bloc> blocs_;

    std::vector<Station> stations_;
    std::unordered_map<std::string, int> dernier_;
    std::vector<std::pair<int, int>> paires_;  // (kept, replaced)
    int entrees_ = 0;                          // the entrances are the first records

    std::vector<std::unique_ptr<TPointTopo>> references_;
    std::vector<std::unique_ptr<TFiche>> fiches_;
    bool profondeur_ = false;
};

void ImportVisualTopo::LitParam(const std::string& l, std::size_t numero, Parametres& p) const
{
    const std::size_t espace = l.find(' ');
    const std::vector<std::string> mots =
        Mots(espace == std::string::npos ? std::string() : AvantCommentaire(l.substr(espace + 1)));
    std::size_t k = 0;
    auto mot = [&]() { return k < mots.size() ? mots[k++] : std::string(); };
    auto unite = [](const std::string& m, UniteAngle& u, bool pourcent) {
        if (m == "Degd")
            u = UniteAngle::Degd;
        else if (m == "Deg")
            u = UniteAngle::Deg;
        else if (m == "Gra")
            u = UniteAngle::Gra;
        else if (pourcent && m == "%")
            u = UniteAngle::Pourcent;
    };
    p.topofil = mot() == "Topof";
    if (p.topofil)
        p.coefTopofil = Nombre(mot(), numero);
    unite(mot(), p.azimut, false);
    const std::string c = mot();
    if (c == "Clino")
        p.clino = Clinometre::Clino;
    else if (c == "Vulc")
        p.clino = Clinometre::Vulc;
    else if (c == "Deniv")
        p.clino = Clinometre::Deniv;
    else if (c == "Prof")
        p.clino = Clinometre::Prof;
    if (c == "Clino" || c == "Vulc")
        unite(mot(), p.pente, true);
    p.declinaison = Nombre(mot(), numero);
    echange::Admise(DegresMinutes(p.declinaison), numero, "la déclinaison");
    const std::string sens = mot();
    auto direct = [&](std::size_t i) { return sens.size() > i && sens[i] == 'D'; };
    p.azimutDirect = direct(0);
    p.penteDirecte = direct(4);
    p.gaucheDroite = direct(8);
    if (!Commentaire(l, p.commentaire))
        p.commentaire.clear();
    // The colour is "Std" or red,green,blue; some versions write a word such as "Inc" or
    // "Arr" before it, and the oldest write no colour at all.
    p.couleur = 0;
    for (; k < mots.size(); ++k) {
        const std::string& couleur = mots[k];
        if (couleur == "Std")
            return;
        if (couleur.find(',') == std::string::npos)
            continue;
        long long rvb[3];
        std::size_t d = 0;
        for (int i = 0; i < 3; ++i) {
            const std::size_t e = couleur.find(',', d);
            if ((i < 2) == (e == std::string::npos) ||
                !LitEntier(couleur.substr(d, e == std::string::npos ? std::string::npos : e - d), rvb[i]) ||
                rvb[i] < 0 || rvb[i] > 255)
                throw ErreurEchange(Ligne(numero, "couleur illisible (" + Citation(couleur) +
                                                      ") : attendu Std ou rouge,vert,bleu de 0 à 255"));
            d = e + 1;
        }
        p.couleur = static_cast<int32_t>(rvb[0] + 256 * rvb[1] + 65536 * rvb[2]);
        return;
    }
}

LigneTopo ImportVisualTopo::LitLigne(const std::string& l, std::size_t numero, const Parametres& p,
                                     LigneTopo& precedente) const
{
    // FROM, TO, the start and end readings (topofil) or the length, the azimuth, the slope,
    // the four widths and heights; the flag letters that may follow are not used.
    std::vector<std::string> mots = Mots(l, l.find(';'));
    const std::size_t requis = p.topofil ? 10 : 9;
    // After the measures: the direction ("N" or "I"), the length ("I" included, "E"
    // excluded), then letters or "*" that the massif has no use for.
    const bool exclue = mots.size() > requis + 1 && mots[requis + 1] == "E";
    // The flag letters are words of letters only, where the widths are numbers or "*".
    auto lettres = [](const std::string& m) {
        for (char c : m)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
                return false;
        return true;
    };
    while (mots.size() > 2 && lettres(mots.back()))
        mots.pop_back();
    if (mots.size() < requis)
        throw ErreurEchange(
            Ligne(numero, "visée incomplète : " + FormatEntier(static_cast<long long>(mots.size())) +
                              " champs au lieu de " + FormatEntier(static_cast<long long>(requis)) +
                              (p.topofil ? " (DE, VERS, début et fin du topofil, " : " (DE, VERS, longueur, ") +
                              "azimut, pente, deux largeurs et deux hauteurs)"));
    LigneTopo t;
    t.numero = numero;
    // "*" stands for the previous line's TO, also across blocks.
    if (mots[0] == "*" && precedente.vers.empty())
        throw ErreurEchange(Ligne(numero, "« * » ne suit aucune visée : la station de départ manque"));
    t.de = mots[0] == "*" ? precedente.vers : mots[0];
    t.vers = mots[1];
    std::size_t k = 2;
    if (p.topofil) {
        // "*" as the start reading stands for the previous end reading.
        t.debutTopofil = mots[k] == "*" ? precedente.finTopofil : Nombre(mots[k], numero);
        t.finTopofil = Nombre(mots[k + 1], numero);
        t.longueur = t.finTopofil - t.debutTopofil;
        k += 2;
    } else {
        t.longueur = Nombre(mots[k++], numero);
    }
    t.azimut = Nombre(mots[k++], numero);
    t.pente = Nombre(mots[k++], numero);
    for (std::string& m : t.mesures) {
        m = mots[k++];
        if (m == "*")
            m.clear();
    }
    t.avecCommentaire = Commentaire(l, t.commentaire);
    t.exclue = exclue;
    // A shot to the wall is never the station a following "*" goes on from; the topofil's
    // counter, though, went on running.
    if (t.Rayonnante())
        precedente.finTopofil = t.finTopofil;
    else
        precedente = t;
    return t;
}

void ImportVisualTopo::Lit(echange::LignesImportees& lignes)
{
    std::string l;
    bool encore = lignes.Lit(l);
    echange::PremiersTextes fusions;
    for (; encore && !MotCle(l, "Param"); encore = lignes.Lit(l)) {
        const std::size_t n = lignes.Numero();
        // The header holds short lines (a version, the cave and its coordinates, entrances,
        // paths): a longer one shows a file of another kind, which is not read further.
        if (l.size() > kLongueurMaxEnTete)
            throw ErreurEchange("Le fichier " + fichier_ + " n'est pas un fichier VisualTopo : sa ligne " +
                                FormatEntier(static_cast<long long>(n)) + " dépasse les " +
                                FormatEntier(static_cast<long long>(kLongueurMaxEnTete)) +
                                " octets d'une ligne d'en-tête, avant toute ligne Param.");
        if (MotCle(l, "Trou")) {
            Annonce a{false, {}, {}};
            std::vector<std::string> parties;
            const std::string reste = l.size() > 5 ? l.substr(5) : std::string();
            for (std::size_t d = 0;;) {
                const std::size_t e = reste.find(',', d);
                parties.push_back(reste.substr(d, e == std::string::npos ? std::string::npos : e - d));
                if (e == std::string::npos)
                    break;
                d = e + 1;
            }
            if (parties.size() < 4)
                throw ErreurEchange(
                    Ligne(n, "la ligne Trou doit donner le nom de la cavité, X, Y et Z séparés par des virgules"));
            a.trou.nom = parties[0];
            a.trou.x = echange::Admise(Nombre(parties[1], n), n, "la coordonnée X");
            a.trou.y = echange::Admise(Nombre(parties[2], n), n, "la coordonnée Y");
            a.trou.z = echange::Admise(Nombre(parties[3], n), n, "la coordonnée Z");
            annonces_.push_back(a);
        } else if (MotCle(l, "Entree")) {
            annonces_.push_back(Annonce{true, echange::SansBlancs(l.size() > 7 ? l.substr(7) : std::string()), {}});
        } else if (MotCle(l, "Fusion")) {
            fusions.Ajoute(echange::EnUtf8(echange::SansBlancs(l.substr(6))));
        }
    }
    if (!encore && !fusions.Vide())
        throw ErreurEchange("Le fichier " + fichier_ +
                            " réunit d'autres fichiers VisualTopo : importez-les un par un (" + fusions.Liste(false) +
                            ")");
    if (!encore)
        throw ErreurEchange("Le fichier " + fichier_ +
                            " ne contient aucune ligne Param : ce n'est pas un fichier VisualTopo.");

    Parametres p;
    // The previous survey line, for a "*" that goes on from it, also in the next block.
    LigneTopo precedente;
    auto configuration = [&] { return MotCle(l, "[Configuration"); };
    while (encore) {
        Bloc b;
        LitParam(l, lignes.Numero(), p);
        b.parametres = p;
        // The line after "Param" is skipped; when it is a survey line, its TO and its end
        // reading still stand for a following "*".
        encore = lignes.Lit(l);
        if (encore && !echange::Blanc(l)) {
            try {
                LitLigne(l, lignes.Numero(), p, precedente);
            } catch (const ErreurEchange&) {
                const std::vector<std::string> mots = Mots(AvantCommentaire(l));
                if (mots.size() < 2 || mots[1] != LigneTopo::kRayonnante) {
                    precedente = LigneTopo{};
                    if (mots.size() >= 2)
                        precedente.vers = mots[1];
                }
            }
        }
        if (encore)
            encore = lignes.Lit(l);
        for (; encore && !echange::Blanc(l) && !configuration(); encore = lignes.Lit(l)) {
            b.lignes.push_back(LitLigne(l, lignes.Numero(), p, precedente));
            // Taken as a zero shot, it would merge its two stations and shift the survey.
            if (b.lignes.back().longueur < 0)
                throw ErreurEchange(Ligne(lignes.Numero(), "la longueur " +
                                                               FormatGeneral(b.lignes.back().longueur, 6, 2) +
                                                               " est négative"));
        }
        blocs_.push_back(std::move(b));
        while (encore && echange::Blanc(l))
            encore = lignes.Lit(l);
        // What follows is the program's own settings: nothing of it goes into the massif.
        if (encore && configuration())
            break;
    }
    perdus_ = std::move(lignes.Perdus);
}

// First walk: junctions, dead ends and plain stations, and their indices.
void ImportVisualTopo::Classe()
{
    for (const Annonce& a : annonces_) {
        if (!a.entree)
            continue;
        Station& s = stations_[static_cast<std::size_t>(Ajoute(a.nom))];
        s.carrefour = true;
        s.culDeSac = false;
        ++entrees_;
    }
    // A name met again is a junction.
    auto rencontre = [&](const std::string& nom) {
        const int k = Cherche(nom);
        if (k < 0) {
            Ajoute(nom);
            return;
        }
        Station& s = stations_[static_cast<std::size_t>(k)];
        s.carrefour = true;
        s.culDeSac = false;
    };
    for (const Bloc& b : blocs_) {
        std::string vers;
        for (const LigneTopo& l : b.lignes) {
            // Shots to the wall leave from a gallery end of their own, and reach no station.
            if (l.Rayonnante()) {
                rencontre(l.de);
                Station& s = stations_[static_cast<std::size_t>(Cherche(l.de))];
                s.carrefour = true;
                s.culDeSac = false;
                continue;
            }
            if (l.de == vers && Cherche(l.de) >= 0)
                stations_[static_cast<std::size_t>(Cherche(l.de))].culDeSac = false;
            else
                rencontre(l.de);
            rencontre(l.vers);
            vers = l.vers;
        }
    }
    // Names are compared without regard to case, as every station of the massif.
    std::unordered_map<std::string, int> indices;
    for (Station& s : stations_) {
        auto it = indices.find(s.nom);
        if (it == indices.end())
            it = indices.emplace(s.nom, index_.IndiceLibre(s.nom, 0)).first;
        if (!IndiceValide(it->second))
            throw ErreurEchange("Plus aucun indice libre (0 à 255) pour la station " + echange::EnUtf8(s.nom) +
                                " du fichier " + fichier_ + " : elle existe déjà trop de fois dans le massif.");
        s.indice = it->second;
    }
}

TPointTopo ImportVisualTopo::Point(const std::string& nom) const
{
    TPointTopo p;
    p.Nom.Affecte(nom);
    const int k = Cherche(nom);
    p.Indice = static_cast<uint8_t>(k < 0 ? 0 : stations_[static_cast<std::size_t>(k)].indice);
    return p;
}

void ImportVisualTopo::Equivalence(int a, int b)
{
    // An entrance keeps its name: the survey stays attached to its reference point.
    if (b < entrees_ && a >= entrees_)
        std::swap(a, b);
    for (const auto& [garde, remplace] : paires_)
        if (remplace == a) {
            a = garde;
            break;
        }
    for (const auto& [garde, remplace] : paires_)
        if (remplace == b) {
            b = garde;
            break;
        }
    if (a == b)
        return;
    for (const auto& pr : paires_)
        if (pr.first == b)
            std::swap(a, b);
    for (const auto& pr : paires_)
        if ((pr.first == a && pr.second == b) || (pr.first == b && pr.second == a))
            return;
    paires_.emplace_back(a, b);
}

void ImportVisualTopo::Construit()
{
    Trou trou;
    for (const Annonce& a : annonces_) {
        if (!a.entree) {
            trou = a.trou;
            continue;
        }
        auto r = std::make_unique<TPointTopo>(Point(a.nom));
        r->X = trou.x;
        r->Y = trou.y;
        r->Z = trou.z;
        references_.push_back(std::move(r));
    }
    long double profPrecedente = 0;
    for (Bloc& b : blocs_) {
        const Parametres& p = b.parametres;
        auto fiche = std::make_unique<TFiche>();
        fiche->Unite_Decli = kAzimutDegres;
        fiche->Declinaison = -DegresMinutes(p.declinaison);
        fiche->Premiere = 0;
        fiche->Date = "  /  /  ";
        echange::Adresse(*fiche, trou.nom, fichier_, perdus_);
        std::string commentaire = p.commentaire;
        std::unique_ptr<TGalerie> g;
        auto station = [&](const std::string& nom) { return stations_[static_cast<std::size_t>(Cherche(nom))]; };
        auto ouvre = [&](const TPointTopo& depart) {
            g = std::make_unique<TGalerie>();
            g->Coefficient = 1.0L;
            g->Couleur = p.couleur;
            g->CoefTopofil = p.topofil ? p.coefTopofil : 1.0L;
            g->Commentaire.Affecte(commentaire);
            commentaire.clear();
            g->Depart = depart;
        };
        auto ferme = [&](const TPointTopo& arrivee) {
            g->Arrivee = arrivee;
            // Only lines whose FROM equals their TO add zero shots: such a gallery leads
            // nowhere. The block comment it carried goes to the next gallery.
            bool utile = false;
            for (int k = 1; k <= g->NbVisees && !utile; ++k)
                utile = static_cast<long double>(g->Visee(k)->Longueur) >= 0.0001L;
            if (utile)
                fiche->Galeries.ajoute(std::move(g));
            else if (commentaire.empty())
                commentaire = g->Commentaire.Chaine();
            g.reset();
        };
        auto extremite = [&](const std::string& nom) {
            TPointTopo t;
            if (station(nom).culDeSac)
                t.Terminus = true;
            else
                t = Point(nom);
            return t;
        };
        // The shot of a survey line.
        auto vise = [&](const LigneTopo& l) {
            auto v = std::make_unique<TVisee>();
            if (p.topofil) {
                v->AvecTopofil = true;
                v->Longueur = echange::Admise(l.longueur * p.coefTopofil, l.numero, "la longueur");
                v->UniteLongueur = kUniteCentimetres;
                // The shot keeps its start reading, as a sheet typed in the editor does: the
                // editor shows the pair from it and the length, and stores it back.
                v->Topofil = echange::Admise(l.debutTopofil, l.numero, "la lecture Topofil");
            } else {
                v->Longueur = echange::Admise(l.longueur, l.numero, "la longueur");
                v->UniteLongueur = kUniteMetres;
            }
            long double az = l.azimut;
            switch (p.azimut) {
            case UniteAngle::Deg: az = DegresMinutes(az); [[fallthrough]];
            case UniteAngle::Degd:
            case UniteAngle::Pourcent: v->UniteAzimut = p.azimutDirect ? kAzimutDegres : kAzimutDegresInverse; break;
            case UniteAngle::Gra: v->UniteAzimut = p.azimutDirect ? kAzimutGrades : kAzimutGradesInverse; break;
            }
            v->Azimut = echange::Admise(az, l.numero, "l'azimut");
            long double pente = l.pente;
            uint8_t unite = kPenteDegres;
            switch (p.clino) {
            case Clinometre::Clino:
                switch (p.pente) {
                case UniteAngle::Deg:
                    pente = DegresMinutes(pente);
                    unite = kPenteDegres;
                    break;
                case UniteAngle::Degd: unite = kPenteDegres; break;
                case UniteAngle::Gra: unite = kPenteGrades; break;
                case UniteAngle::Pourcent:
                    pente = RadiansEnDegres(std::atan(pente / 100));
                    unite = kPenteDegres;
                    break;
                }
                break;
            case Clinometre::Vulc:
                switch (p.pente) {
                case UniteAngle::Deg:
                    pente = DegresMinutes(pente);
                    unite = kPenteVulcain;
                    break;
                case UniteAngle::Degd: unite = kPenteVulcain; break;
                case UniteAngle::Gra:
                    pente = pente * 180 / 200;
                    unite = kPenteVulcain;
                    break;
                case UniteAngle::Pourcent:
                    pente = 90 - RadiansEnDegres(std::atan(pente / 100));
                    unite = kPenteDegres;
                    break;
                }
                break;
            case Clinometre::Deniv: unite = kPenteDenivMetres; break;
            case Clinometre::Prof: {
                const long double lecture = pente;
                pente = lecture - profPrecedente;
                // A shot to the wall is measured from its station's reading.
                if (!l.Rayonnante())
                    profPrecedente = lecture;
                profondeur_ = true;
                unite = kPenteDenivMetres;
                break;
            }
            }
            v->UnitePente = static_cast<uint8_t>(p.penteDirecte ? unite : unite + kSensInverse);
            v->Pente = echange::Admise(pente, l.numero, "la pente");
            if (p.gaucheDroite) {
                v->Gauche = l.mesures[0];
                v->Droite = l.mesures[1];
            } else {
                v->Droite = l.mesures[0];
                v->Gauche = l.mesures[1];
            }
            v->Haut = l.mesures[2];
            v->Bas = l.mesures[3];
            v->Commentaire.Affecte("[" + l.de + "->" + l.vers + "]" +
                                   (l.avecCommentaire ? " " + l.commentaire : std::string()));
            if (l.exclue) {
                v->AvecCorrDeveloppement = true;
                v->CorrDeveloppement = 0;
            }
            return v;
        };
        bool precedenteBouclee = false;  // the previous line had FROM equal to TO
        std::string dernierVers;
        for (const LigneTopo& l : b.lignes) {
            const Station de = station(l.de);
            // A shot to the wall: a gallery of its own from its station (a junction) to an
            // end tied to nothing, so it never closes a loop nor moves a station. The
            // survey goes on as if it were not there.
            if (l.Rayonnante()) {
                if (g && l.de != dernierVers)
                    ferme(extremite(dernierVers));
                auto v = vise(l);
                if (static_cast<long double>(v->Longueur) < 0.0001L)
                    continue;
                const std::string gardee = commentaire;  // for the survey's first gallery
                commentaire.clear();
                if (g)
                    ferme(Point(l.de));
                ouvre(Point(l.de));
                commentaire = gardee;
                g->AjouteVisee(std::move(v));
                TPointTopo fin;
                fin.Terminus = true;
                ferme(fin);
                continue;
            }
            // A line that does not start from the previous TO starts from the station it
            // names, also after a line whose FROM equals its TO: continuing the gallery
            // would merge that station with the previous one.
            const bool nouvelle = (!precedenteBouclee && (de.carrefour || de.culDeSac)) || (g && l.de != dernierVers);
            // A gallery still open here stops at the previous TO.
            if (nouvelle && g)
                ferme(extremite(dernierVers));
            if (nouvelle || !g)
                ouvre(extremite(l.de));
            auto v = vise(l);
            const Station vers = station(l.vers);
            if (static_cast<long double>(v->Longueur) < 0.0001L && l.de != l.vers) {
                if (de.carrefour && vers.carrefour)
                    Equivalence(Cherche(l.de), Cherche(l.vers));
            } else {
                g->AjouteVisee(std::move(v));
            }
            if (l.de != l.vers && vers.carrefour)
                ferme(Point(l.vers));
            else if (l.de != l.vers && vers.culDeSac)
                ferme(extremite(l.vers));
            else if (g->NbVisees == kMaxVisees)
                ferme(Point(l.vers));  // 128 shots: the chain goes on in a new gallery
            precedenteBouclee = l.de == l.vers;
            dernierVers = l.vers;
        }
        if (g)
            ferme(extremite(dernierVers));
        if (fiche->Galeries.empty())
            continue;
        fiche->Calcule(massif_.Angle_Geodesique);
        fiches_.push_back(std::move(fiche));
    }
}

// Stations joined by a zero-length shot take one name: the kept station's.
void ImportVisualTopo::Applique()
{
    if (paires_.empty())
        return;
    std::unordered_map<std::string, std::pair<std::string, int>> vers;
    auto cle = [](const std::string& nom, int indice) { return std::string(1, static_cast<char>(indice)) + nom; };
    for (const auto& [garde, remplace] : paires_) {
        const Station& g = stations_[static_cast<std::size_t>(garde)];
        const Station& r = stations_[static_cast<std::size_t>(remplace)];
        vers[cle(r.nom, r.indice)] = {g.nom, g.indice};
    }
    auto applique = [&](TPointTopo& p) {
        if (p.Terminus)
            return;
        const auto it = vers.find(cle(p.Nom.Chaine(), p.Indice));
        if (it == vers.end())
            return;
        p.Nom.Affecte(it->second.first);
        p.Indice = static_cast<uint8_t>(it->second.second);
    };
    for (auto& f : fiches_)
        for (TGalerie* g : f->Galeries) {
            applique(g->Depart);
            applique(g->Arrivee);
        }
    // An entrance merged into another station all the same follows it, so that the
    // galleries still reach a reference point.
    for (auto& r : references_)
        applique(*r);
}

bool ImportVisualTopo::Execute(const std::string& fichier)
{
    fichier_ = fichier;
    // The line end is decided once for the whole file from the first one met: a lone CR
    // inside a line of a CR LF file is a blank, as real files carry such CRs in comments.
    {
        echange::LignesImportees lignes(fichier, FinsDeLigne::CommeLaPremiere, nullptr);
        Lit(lignes);
    }
    Classe();
    Construit();
    if (fiches_.empty()) {
        bool visees = false;
        for (const Bloc& b : blocs_)
            visees = visees || !b.lignes.empty();
        throw ErreurEchange(visees ? "Aucune fiche n'a été importée : toutes les visées du fichier " + fichier_ +
                                         " sont de longueur nulle."
                                   : "Aucune fiche n'a été importée : le fichier " + fichier_ +
                                         " ne contient aucune visée.");
    }
    Applique();
    if (!echange::CaracteresAcceptes(rapport_, perdus_))
        return false;
    for (auto& r : references_)
        massif_.AjouteReference(std::move(r));
    for (auto& f : fiches_)
        massif_.AjouteFiche(std::move(f), false);
    if (profondeur_)
        rapport_.Avertissement("Le fichier comporte des mesures de pente de type \"Profondeur\". "
                               "Vérifiez que les données sont correctement importées");
    return true;
}

}  // namespace

bool ImporteVisualTopo(TMassif& massif, const std::string& fichier, TRapportEchange& rapport)
{
    bool importe = false;
    echange::RefuseDebordement(fichier, [&] { importe = ImportVisualTopo(massif, rapport).Execute(fichier); });
    return importe;
}

}  // namespace karst
