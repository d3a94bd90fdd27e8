// VisualTopo file (*.tro) import.
//
// The file is read once into lines; a first walk classifies every station name (a
// junction where the survey branches, a dead end where it stops, or a plain station inside
// a chain), a second builds one sheet per block of survey lines, cutting the galleries at
// the junctions and dead ends.

#include <cmath>
#include <memory>
#include <unordered_map>

#include "exchange/echange.h"
#include "exchange/outils.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

using echange::Ligne;

constexpr long double kPi = 3.141592653589793238462643383279502884L;

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
    long double finTopofil = 0;
    long double azimut = 0, pente = 0;
    std::string mesures[4];
    bool avecCommentaire = false;
    std::string commentaire;
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

std::string Colonnes(const std::string& l, std::size_t premiere, std::size_t derniere) {
    if (l.size() < premiere) return {};
    return l.substr(premiere - 1, derniere - premiere + 1);
}

std::string SansEspaces(const std::string& t) {
    std::string r;
    for (char c : t)
        if (c != ' ') r += c;
    return r;
}

// Text between the first ";" and the next one (or the end of the line).
bool Commentaire(const std::string& l, std::string& texte) {
    const std::size_t a = l.find(';');
    if (a == std::string::npos) return false;
    const std::size_t b = l.find(';', a + 1);
    texte = l.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    return true;
}

// Degrees and minutes written as degrees.minutes.
long double DegresMinutes(long double v) { return Trunc(v) + Frac(v) / 0.6L; }

long double Nombre(const std::string& texte, std::size_t ligne) {
    if (echange::Blanc(texte)) return 0;
    long double v = 0;
    if (!LitReel(texte, v)) throw ErreurEchange(Ligne(ligne, "nombre illisible (" + echange::EnUtf8(echange::SansBlancs(texte)) + ")"));
    return v;
}

class ImportVisualTopo {
public:
    ImportVisualTopo(TMassif& massif, TRapportEchange& rapport) : massif_(massif), rapport_(rapport), index_(massif) {}
    void Execute(const std::string& fichier);

private:
    void Lit(const std::vector<std::string>& lignes);
    void LitParam(const std::string& l, std::size_t numero, Parametres& p) const;
    LigneTopo LitLigne(const std::string& l, std::size_t numero, const Parametres& p, LigneTopo& precedente) const;
    void Classe();
    void Construit();
    void Equivalence(int a, int b);
    void Applique();

    int Cherche(const std::string& nom) const {
        const auto it = dernier_.find(nom);
        return it == dernier_.end() ? -1 : it->second;
    }
    int Ajoute(const std::string& nom) {
        stations_.push_back(Station{nom});
        const int k = static_cast<int>(stations_.size() - 1);
        dernier_[nom] = k;
        return k;
    }
    TPointTopo Point(const std::string& nom) const;

    TMassif& massif_;
    TRapportEchange& rapport_;
    echange::IndexIndices index_;
    bool version5_ = false;
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

void ImportVisualTopo::LitParam(const std::string& l, std::size_t numero, Parametres& p) const {
    std::vector<std::string> mots;
    const std::size_t espace = l.find(' ');
    std::string reste = espace == std::string::npos ? std::string() : l.substr(espace + 1);
    for (std::size_t d = 0;;) {
        const std::size_t e = reste.find(' ', d);
        mots.push_back(reste.substr(d, e == std::string::npos ? std::string::npos : e - d));
        if (e == std::string::npos) break;
        d = e + 1;
    }
    std::size_t k = 0;
    auto mot = [&]() { return k < mots.size() ? mots[k++] : std::string(); };
    auto unite = [](const std::string& m, UniteAngle& u, bool pourcent) {
        if (m == "Degd") u = UniteAngle::Degd;
        else if (m == "Deg") u = UniteAngle::Deg;
        else if (m == "Gra") u = UniteAngle::Gra;
        else if (pourcent && m == "%") u = UniteAngle::Pourcent;
    };
    p.topofil = mot() == "Topof";
    if (p.topofil) p.coefTopofil = Nombre(mot(), numero);
    unite(mot(), p.azimut, false);
    const std::string c = mot();
    if (c == "Clino") p.clino = Clinometre::Clino;
    else if (c == "Vulc") p.clino = Clinometre::Vulc;
    else if (c == "Deniv") p.clino = Clinometre::Deniv;
    else if (c == "Prof") p.clino = Clinometre::Prof;
    if (c == "Clino" || c == "Vulc") unite(mot(), p.pente, true);
    p.declinaison = Nombre(mot(), numero);
    const std::string sens = mot();
    auto direct = [&](std::size_t i) { return sens.size() > i && sens[i] == 'D'; };
    p.azimutDirect = direct(0);
    p.penteDirecte = direct(4);
    p.gaucheDroite = direct(8);
    // Version 5 writes one more word before the colour.
    if (version5_) mot();
    std::string couleur;
    const bool avecCommentaire = Commentaire(l, p.commentaire);
    if (!avecCommentaire) p.commentaire.clear();
    if (avecCommentaire) {
        couleur = mot();
        couleur = couleur.substr(0, couleur.find(';'));
    } else {
        for (std::size_t i = k; i < mots.size(); ++i) couleur += (i > k ? " " : "") + mots[i];
    }
    couleur = echange::SansBlancs(couleur);
    if (couleur.empty() || couleur == "Std") {
        p.couleur = 0;
        return;
    }
    long long rvb[3];
    std::size_t d = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t e = couleur.find(',', d);
        if ((i < 2) == (e == std::string::npos) ||
            !LitEntier(couleur.substr(d, e == std::string::npos ? std::string::npos : e - d), rvb[i]) || rvb[i] < 0 ||
            rvb[i] > 255)
            throw ErreurEchange(Ligne(numero, "couleur illisible (" + echange::EnUtf8(couleur) + ") : attendu Std ou rouge,vert,bleu de 0 à 255"));
        d = e + 1;
    }
    p.couleur = static_cast<int32_t>(rvb[0] + 256 * rvb[1] + 65536 * rvb[2]);
}

LigneTopo ImportVisualTopo::LitLigne(const std::string& l, std::size_t numero, const Parametres& p,
                                     LigneTopo& precedente) const {
    LigneTopo t;
    t.numero = numero;
    t.de = l.substr(0, l.find(' '));
    // "*" stands for the previous line's TO.
    if (t.de == "*") t.de = precedente.vers;
    const std::string apres = Colonnes(l, 12, l.size());
    t.vers = apres.substr(0, apres.find(' '));
    if (p.topofil) {
        const std::string debut = echange::SansBlancs(Colonnes(l, 23, 31));
        // "*" as the start reading stands for the previous end reading.
        const long double d = debut == "*" ? precedente.finTopofil : Nombre(debut, numero);
        t.finTopofil = Nombre(Colonnes(l, 33, 41), numero);
        t.longueur = t.finTopofil - d;
    } else {
        t.longueur = Nombre(Colonnes(l, 33, 41), numero);
    }
    t.azimut = Nombre(Colonnes(l, 43, 49), numero);
    t.pente = Nombre(Colonnes(l, 51, 57), numero);
    const std::size_t d = version5_ ? 58 : 56;
    for (std::size_t i = 0; i < 4; ++i) {
        std::string m = SansEspaces(Colonnes(l, d + 7 * i, d + 7 * i + 6));
        if (m == "*") m.clear();
        t.mesures[i] = m;
    }
    t.avecCommentaire = Commentaire(l, t.commentaire);
    precedente = t;
    return t;
}

void ImportVisualTopo::Lit(const std::vector<std::string>& lignes) {
    const std::size_t n = lignes.size();
    std::size_t i = 0;
    for (; i < n && lignes[i].find("Param") == std::string::npos; ++i) {
        const std::string& l = lignes[i];
        if (l.rfind("Version", 0) == 0) {
            long double v = 0;
            version5_ = LitReel(echange::SansBlancs(l.substr(7)), v) && v >= 5;
        } else if (l.rfind("Trou", 0) == 0) {
            Annonce a{false, {}, {}};
            std::vector<std::string> parties;
            const std::string reste = l.size() > 5 ? l.substr(5) : std::string();
            for (std::size_t d = 0;;) {
                const std::size_t e = reste.find(',', d);
                parties.push_back(reste.substr(d, e == std::string::npos ? std::string::npos : e - d));
                if (e == std::string::npos) break;
                d = e + 1;
            }
            if (parties.size() < 4)
                throw ErreurEchange(Ligne(i + 1, "la ligne Trou doit donner le nom de la cavité, X, Y et Z séparés par des virgules"));
            a.trou.nom = parties[0];
            a.trou.x = Nombre(parties[1], i + 1);
            a.trou.y = Nombre(parties[2], i + 1);
            a.trou.z = Nombre(parties[3], i + 1);
            annonces_.push_back(a);
        } else if (l.rfind("Entree", 0) == 0) {
            annonces_.push_back(Annonce{true, echange::SansBlancs(l.size() > 7 ? l.substr(7) : std::string()), {}});
        }
    }
    if (i >= n) throw ErreurEchange("Ce fichier ne contient aucune ligne Param : ce n'est pas un fichier VisualTopo.");

    Parametres p;
    while (i < n) {
        Bloc b;
        LitParam(lignes[i], i + 1, p);
        b.parametres = p;
        ++i;
        // The line after "Param" only names the starting station; its TO and its end
        // reading still stand for a following "*".
        LigneTopo precedente;
        if (i < n) {
            try {
                LitLigne(lignes[i], i + 1, p, precedente);
            } catch (const ErreurEchange&) {
                precedente = LigneTopo{};
                precedente.vers = Colonnes(lignes[i], 12, lignes[i].size());
                precedente.vers = precedente.vers.substr(0, precedente.vers.find(' '));
            }
            ++i;
        }
        auto configuration = [&](std::size_t k) { return lignes[k].find("[Configuration") != std::string::npos; };
        for (; i < n && !echange::Blanc(lignes[i]) && !configuration(i); ++i)
            b.lignes.push_back(LitLigne(lignes[i], i + 1, p, precedente));
        blocs_.push_back(std::move(b));
        while (i < n && echange::Blanc(lignes[i])) ++i;
        if (i < n && configuration(i)) break;
    }
}

// First walk: junctions, dead ends and plain stations, and their indices.
void ImportVisualTopo::Classe() {
    for (const Annonce& a : annonces_) {
        if (!a.entree) continue;
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
            if (l.de == vers && Cherche(l.de) >= 0) stations_[static_cast<std::size_t>(Cherche(l.de))].culDeSac = false;
            else rencontre(l.de);
            rencontre(l.vers);
            vers = l.vers;
        }
    }
    // Names are compared without regard to case, as every station of the massif.
    std::unordered_map<std::string, int> indices;
    for (Station& s : stations_) {
        auto it = indices.find(s.nom);
        if (it == indices.end()) it = indices.emplace(s.nom, index_.IndiceLibre(s.nom, 0)).first;
        if (!IndiceValide(it->second))
            throw ErreurEchange("Plus aucun indice libre (0 à 255) pour la station " + echange::EnUtf8(s.nom) + " : elle existe déjà trop de fois dans le massif.");
        s.indice = it->second;
    }
}

TPointTopo ImportVisualTopo::Point(const std::string& nom) const {
    TPointTopo p;
    p.Nom.Affecte(nom);
    const int k = Cherche(nom);
    p.Indice = static_cast<uint8_t>(k < 0 ? 0 : stations_[static_cast<std::size_t>(k)].indice);
    return p;
}

void ImportVisualTopo::Equivalence(int a, int b) {
    // An entrance keeps its name: the survey stays attached to its reference point.
    if (b < entrees_ && a >= entrees_) std::swap(a, b);
    for (const auto& [garde, remplace] : paires_)
        if (remplace == a) { a = garde; break; }
    for (const auto& [garde, remplace] : paires_)
        if (remplace == b) { b = garde; break; }
    if (a == b) return;
    for (const auto& pr : paires_)
        if (pr.first == b) std::swap(a, b);
    for (const auto& pr : paires_)
        if ((pr.first == a && pr.second == b) || (pr.first == b && pr.second == a)) return;
    paires_.emplace_back(a, b);
}

void ImportVisualTopo::Construit() {
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
        fiche->Unite_Decli = 0;
        fiche->Declinaison = -DegresMinutes(p.declinaison);
        fiche->Premiere = 0;
        fiche->Date = "  /  /  ";
        fiche->Cavite.Affecte(trou.nom);
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
            if (g->NbVisees > 0) fiche->Galeries.ajoute(std::move(g));
            g.reset();
        };
        auto extremite = [&](const std::string& nom) {
            TPointTopo t;
            if (station(nom).culDeSac) t.Terminus = true;
            else t = Point(nom);
            return t;
        };
        bool precedenteBouclee = false;  // the previous line had FROM equal to TO
        std::string dernierVers;
        for (const LigneTopo& l : b.lignes) {
            const Station de = station(l.de);
            if (!precedenteBouclee && (de.carrefour || de.culDeSac)) {
                // A gallery still open here ended at a plain station: it stops there.
                if (g) ferme(Point(dernierVers));
                TPointTopo depart;
                if (de.carrefour) depart = Point(l.de);
                else depart.Terminus = true;
                ouvre(depart);
            } else if (!g) {
                ouvre(extremite(l.de));
            }
            auto v = std::make_unique<TVisee>();
            if (p.topofil) {
                v->AvecTopofil = true;
                v->Longueur = l.longueur * p.coefTopofil;
                v->UniteLongueur = 1;
                v->Topofil = l.finTopofil;
            } else {
                v->Longueur = l.longueur;
                v->UniteLongueur = 0;
            }
            long double az = l.azimut;
            switch (p.azimut) {
                case UniteAngle::Deg: az = DegresMinutes(az); [[fallthrough]];
                case UniteAngle::Degd: case UniteAngle::Pourcent: v->UniteAzimut = p.azimutDirect ? 0 : 5; break;
                case UniteAngle::Gra: v->UniteAzimut = p.azimutDirect ? 1 : 6; break;
            }
            v->Azimut = az;
            long double pente = l.pente;
            uint8_t unite = 0;
            switch (p.clino) {
                case Clinometre::Clino:
                    switch (p.pente) {
                        case UniteAngle::Deg: pente = DegresMinutes(pente); unite = 0; break;
                        case UniteAngle::Degd: unite = 0; break;
                        case UniteAngle::Gra: unite = 1; break;
                        case UniteAngle::Pourcent: pente = std::atan(pente / 100) * 180 / kPi; unite = 0; break;
                    }
                    break;
                case Clinometre::Vulc:
                    switch (p.pente) {
                        case UniteAngle::Deg: pente = DegresMinutes(pente); unite = 4; break;
                        case UniteAngle::Degd: unite = 4; break;
                        case UniteAngle::Gra: pente = pente * 180 / 200; unite = 4; break;
                        case UniteAngle::Pourcent: pente = 90 - std::atan(pente / 100) * 180 / kPi; unite = 0; break;
                    }
                    break;
                case Clinometre::Deniv: unite = 2; break;
                case Clinometre::Prof: {
                    const long double lecture = pente;
                    pente = lecture - profPrecedente;
                    profPrecedente = lecture;
                    profondeur_ = true;
                    unite = 2;
                    break;
                }
            }
            v->UnitePente = static_cast<uint8_t>(p.penteDirecte ? unite : unite + 5);
            v->Pente = pente;
            if (p.gaucheDroite) {
                v->Gauche = l.mesures[0];
                v->Droite = l.mesures[1];
            } else {
                v->Droite = l.mesures[0];
                v->Gauche = l.mesures[1];
            }
            v->Haut = l.mesures[2];
            v->Bas = l.mesures[3];
            v->Commentaire.Affecte("[" + l.de + "->" + l.vers + "]" + (l.avecCommentaire ? " " + l.commentaire : std::string()));

            const Station vers = station(l.vers);
            if (static_cast<long double>(v->Longueur) < 0.0001L && l.de != l.vers) {
                if (de.carrefour && vers.carrefour) Equivalence(Cherche(l.de), Cherche(l.vers));
            } else {
                g->AjouteVisee(std::move(v));
            }
            if (l.de != l.vers && vers.carrefour) ferme(Point(l.vers));
            else if (l.de != l.vers && vers.culDeSac) ferme(extremite(l.vers));
            else if (g->NbVisees == kMaxVisees) ferme(Point(l.vers));  // 128 shots: the chain goes on in a new gallery
            precedenteBouclee = l.de == l.vers;
            dernierVers = l.vers;
        }
        if (g) ferme(extremite(dernierVers));
        if (fiche->Galeries.empty()) continue;
        fiche->Calcule(massif_.Angle_Geodesique);
        fiches_.push_back(std::move(fiche));
    }
}

// Stations joined by a zero-length shot take one name: the kept station's.
void ImportVisualTopo::Applique() {
    if (paires_.empty()) return;
    std::unordered_map<std::string, std::pair<std::string, int>> vers;
    auto cle = [](const std::string& nom, int indice) { return std::string(1, static_cast<char>(indice)) + nom; };
    for (const auto& [garde, remplace] : paires_) {
        const Station& g = stations_[static_cast<std::size_t>(garde)];
        const Station& r = stations_[static_cast<std::size_t>(remplace)];
        vers[cle(r.nom, r.indice)] = {g.nom, g.indice};
    }
    auto applique = [&](TPointTopo& p) {
        if (p.Terminus) return;
        const auto it = vers.find(cle(p.Nom.Chaine(), p.Indice));
        if (it == vers.end()) return;
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
    for (auto& r : references_) applique(*r);
}

void ImportVisualTopo::Execute(const std::string& fichier) {
    Lit(echange::LitLignes(fichier));
    Classe();
    Construit();
    Applique();
    for (auto& r : references_) massif_.AjouteReference(std::move(r));
    for (auto& f : fiches_) massif_.AjouteFiche(std::move(f), false);
    if (profondeur_)
        rapport_.Avertissement("Le fichier comporte des mesures de pente de type \"Profondeur\". "
                               "Vérifiez que les données sont correctement importées");
}

}  // namespace

void ImporteVisualTopo(TMassif& massif, const std::string& fichier, TRapportEchange& rapport) {
    echange::RefuseDebordement([&] { ImportVisualTopo(massif, rapport).Execute(fichier); });
}

}  // namespace karst
