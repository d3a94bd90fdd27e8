// Toporobot text file (*.Tab) export: each current sheet becomes a trip, chains of
// galleries that follow one another become series, the reference points the entrance and
// the fixed-point series. The import reads it back.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "exchange/echange.h"
#include "exchange/outils.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

using echange::CleStation;

constexpr int kMaxSeances = 998;  // trip 999 is the fixed-point trip
constexpr int kMaxPoints = 999;   // points 0 to 998, as the import reads them

// Two decimals of a value as the caver typed it: a half-centimetre goes up, whatever its
// binary form.
std::string F2(long double v) { return FormatFSaisi(v, 2); }

// A fixed point's place, in the comment of its line: X and Y in metres, then Z.
std::string Coordonnees(const TPointTopo& r)
{
    return F2(static_cast<long double>(r.X) * 1000) + "       " + F2(static_cast<long double>(r.Y) * 1000) + "       " +
           F2(r.Z);
}

// Letters in the Macintosh character set; TAB, CR and LF would break the line into fields
// or lines and become blanks. The signs
// whose Windows-1252 bytes the reader takes for Macintosh letters are written plain, and
// the bytes Windows-1252 leaves undefined as '?', so that none comes back as a letter.
std::string VersMacRoman(const std::string& texte)
{
    std::string r = texte;
    for (char& c : r) {
        switch (static_cast<unsigned char>(c)) {
        case '\t':
        case '\r':
        case '\n': c = ' '; break;
        case 0x88: c = '^'; break;
        case 0x89: c = '%'; break;
        case 0x8E: c = 'Z'; break;
        case 0x91: c = '\''; break;
        case 0x94: c = '"'; break;
        case 0x95: c = '*'; break;
        case 0x9F: c = 'Y'; break;
        case 0x8D:
        case 0x8F:
        case 0x90:
        case 0x9D: c = '?'; break;
        case 0xE0: c = '\x88'; break;
        case 0xE2: c = '\x89'; break;
        case 0xE7: c = '\x8D'; break;
        case 0xE8: c = '\x8F'; break;
        case 0xE9: c = '\x8E'; break;
        case 0xEA: c = '\x90'; break;
        case 0xEB: c = '\x91'; break;
        case 0xEE: c = '\x94'; break;
        case 0xEF: c = '\x95'; break;
        case 0xF9: c = '\x9D'; break;
        case 0xFC: c = '\x9F'; break;
        default: break;
        }
    }
    return r;
}

// A shot's comment, in the field the reader skips when it starts with "{" (and holds more
// than two characters), taking the next field for the comment: a "." in front keeps it.
std::string CommentairePoint(const std::string& texte)
{
    std::string r = VersMacRoman(texte);
    if (r.size() > 2 && r[0] == '{')
        r.insert(r.begin(), '.');
    return r;
}

// A width or height in metres; 0 when it is not a number.
bool Mesure(const std::string& t, bool centimetres, long double& v)
{
    double d = 0;
    const bool ok = NombreMesure(t, centimetres, d);
    v = ok ? d : 0;
    return ok;
}

struct Point {
    int seance = 0, code = 0;
    long double longueur = 0, azimut = 0, pente = 0, gauche = 0, droite = 0, haut = 0, bas = 0;
    std::string commentaire;
};

struct Numero {
    int serie, point;
};

class ExportToporobot {
public:
    explicit ExportToporobot(const TMassif& massif) : massif_(massif) {}
    std::string Construit();

private:
    void EcritReferences(std::string& sortie);
    void Ferme();
    Point PointDeVisee(const TVisee& v, int seance) const;
    const Numero* Enregistre(const TPointTopo& p) const;

    const TMassif& massif_;
    std::vector<const TFiche*> fiches_;
    std::unordered_map<std::string, Numero> stations_;  // registered stations, the last registration wins

    // The open series.
    bool ouverte_ = false;
    int serie_ = 0;
    std::vector<Point> points_;
    const TPointTopo* depart_ = nullptr;
    const TPointTopo* arrivee_ = nullptr;
    bool arriveeNouvelle_ = false;

    std::vector<std::vector<std::string>> lignesSeries_;  // the lines of each series closed so far
};

const Numero* ExportToporobot::Enregistre(const TPointTopo& p) const
{
    if (p.Terminus)
        return nullptr;
    const auto it = stations_.find(CleStation(p));
    return it == stations_.end() ? nullptr : &it->second;
}

Point ExportToporobot::PointDeVisee(const TVisee& v, int seance) const
{
    Point p;
    p.seance = seance;
    int code;
    switch (v.UnitePente) {
    case kPenteGrades:
    case kPenteGradesInverse: code = 2; break;
    case kPenteDenivMetres:
    case kPenteDenivCm:
    case kPenteDenivMetresInverse:
    case kPenteDenivCmInverse: code = 3; break;
    case kPenteVulcain:
    case kPenteVulcainInverse: code = 4; break;
    default: code = 1; break;
    }
    if (v.UniteAzimut == kAzimutGrades || v.UniteAzimut == kAzimutGradesInverse)
        code += 4;
    p.code = code;
    p.longueur = v.LongueurMetres();
    long double a = v.Azimut;
    if (v.UniteAzimut == kAzimutDegresInverse)
        a = a < 180 ? a + 180 : a - 180;
    else if (v.UniteAzimut == kAzimutGradesInverse)
        a = a < 200 ? a + 200 : a - 200;
    p.azimut = a;
    const long double s = v.Pente;
    long double pente;
    switch (v.UnitePente) {
    case kPenteDenivCm: pente = s / 100; break;
    case kPenteDegresInverse:
    case kPenteGradesInverse:
    case kPenteDenivMetresInverse: pente = -s; break;
    case kPenteDenivCmInverse: pente = -s / 100; break;
    case kPenteVulcainInverse: pente = 180 - s; break;
    default: pente = s; break;
    }
    p.pente = pente;
    const bool l = Mesure(v.Gauche, v.UniteLargeur == kUniteCentimetres, p.gauche);
    Mesure(v.Droite, v.UniteLargeur == kUniteCentimetres, p.droite);
    Mesure(v.Haut, v.UniteHauteur == kUniteCentimetres, p.haut);
    Mesure(v.Bas, v.UniteHauteur == kUniteCentimetres, p.bas);
    if (l && v.Droite.empty()) {
        p.gauche /= 2;
        p.droite = p.gauche;
    }
    p.commentaire = v.Commentaire.Chaine();
    return p;
}

void ExportToporobot::EcritReferences(std::string& sortie)
{
    const auto& refs = massif_.References;
    const TPointTopo& r0 = *refs[0];
    stations_[CleStation(r0)] = Numero{1, 0};
    if (refs.size() == 1) {
        const TGalerie* premiere = nullptr;
        for (const TFiche* f : fiches_) {
            for (const TGalerie* g : f->Galeries)
                if (g->NbVisees > 0) {
                    premiere = g;
                    break;
                }
            if (premiere)
                break;
        }
        if (premiere && premiere->Depart.Egal(r0)) {
            serie_ = 0;
            return;
        }
        sortie += "1\t-1\t1\t0\t1\t1\t1\t0\t0\t\r";
        sortie += "1\t0\t999\t999\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t\r";
        // Point 1 is the reference point again, at its own place: a reader that takes it for
        // a fixed point of its own finds it where the entrance is.
        sortie += "1\t1\t999\t999\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t" + Coordonnees(r0) + "\r";
        sortie += "\r";
        serie_ = 1;
        return;
    }
    for (std::size_t k = 1; k < refs.size(); ++k) {
        const TPointTopo& r = *refs[k];
        const std::string i = FormatEntier(static_cast<long long>(k));
        const long double dx = (static_cast<long double>(r.X) - r0.X) * 1000;
        const long double dy = (static_cast<long double>(r.Y) - r0.Y) * 1000;
        const long double dz = static_cast<long double>(r.Z) - r0.Z;
        const long double h = std::sqrt(dx * dx + dy * dy);
        const long double longueur = std::sqrt(dx * dx + dy * dy + dz * dz);
        std::string azimut, pente;
        if (std::fabs(dx) < 0.001L)
            azimut = dy > 0 ? "0.00" : "180.00";
        else if (dx > 0)
            azimut = F2(90 - RadiansEnDegres(std::atan(dy / dx)));
        else
            azimut = F2(270 - RadiansEnDegres(std::atan(dy / dx)));
        if (h <= 0.001L)
            pente = dz > 0 ? "90.00" : "-90.00";
        else
            pente = F2(RadiansEnDegres(std::atan(dz / h)));
        sortie += i + "\t-1\t1\t0\t" + i + "\t1\t1\t0\t0\t\r";
        sortie += i + "\t0\t999\t999\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t\r";
        sortie += i + "\t1\t999\t999\t" + F2(longueur) + "\t" + azimut + "\t" + pente + "\t0.00\t0.00\t0.00\t0.00\t" +
                  Coordonnees(r) + "\r";
        sortie += "\r";
        stations_[CleStation(r)] = Numero{static_cast<int>(k), 1};
    }
    serie_ = static_cast<int>(refs.size()) - 1;
}

// Puts the lines of the open series aside.
void ExportToporobot::Ferme()
{
    if (!ouverte_)
        return;
    const int n = static_cast<int>(points_.size()) - 1;
    const std::string s = FormatEntier(serie_);
    Numero debut{serie_, 0}, fin{serie_, n};
    if (const Numero* d = Enregistre(*depart_))
        debut = *d;
    if (const Numero* a = Enregistre(*arrivee_))
        fin = *a;
    std::vector<std::string> lignes;
    lignes.push_back(s + "\t-1\t" + FormatEntier(debut.serie) + "\t" + FormatEntier(debut.point) + "\t" +
                     FormatEntier(fin.serie) + "\t" + FormatEntier(fin.point) + "\t" + FormatEntier(n) + "\t0\t0\t" +
                     VersMacRoman(points_[0].commentaire));
    for (int j = 0; j <= n; ++j) {
        const Point& p = points_[static_cast<std::size_t>(j)];
        lignes.push_back(s + "\t" + FormatEntier(j) + "\t" + FormatEntier(p.code) + "\t" + FormatEntier(p.seance) +
                         "\t" + F2(p.longueur) + "\t" + F2(p.azimut) + "\t" + F2(p.pente) + "\t" + F2(p.gauche) + "\t" +
                         F2(p.droite) + "\t" + F2(p.haut) + "\t" + F2(std::fabs(p.bas)) + "\t" +
                         (j == 0 ? std::string() : CommentairePoint(p.commentaire)));
    }
    lignesSeries_.push_back(std::move(lignes));
    points_.clear();
    ouverte_ = false;
}

// A comment that gathers the gallery's and its first shot's.
std::string Reunit(const std::string& galerie, const std::string& visee)
{
    if (galerie.empty())
        return visee;
    if (visee.empty())
        return galerie;
    return galerie + " " + visee;
}

std::string ExportToporobot::Construit()
{
    if (massif_.FichesCourantes)
        for (const TFiche* f : *massif_.FichesCourantes)
            if (f)
                fiches_.push_back(f);
    if (massif_.References.empty())
        throw ErreurEchange(
            "Le massif n'a aucun point de référence : l'export Toporobot place la première entrée sur le premier d'entre eux.");
    for (const TPointTopo* r : massif_.References)
        if (!r)
            throw ErreurEchange("Point de référence absent.");
    if (fiches_.size() > static_cast<std::size_t>(kMaxSeances))
        throw ErreurEchange("Le format Toporobot compte au plus 998 séances : exportez au plus 998 fiches à la fois.");

    std::string sortie;
    std::string nom = massif_.NomFichier;
    const std::size_t dossier = nom.find_last_of("/\\");
    if (dossier != std::string::npos)
        nom.erase(0, dossier + 1);
    const std::size_t point = nom.find('.');
    // The system names files in UTF-8, the file's other texts are the massif's.
    nom = point == std::string::npos ? std::string() : ExterieurEnCp1252(nom.substr(0, point));
    sortie += "-6\t1\t" + VersMacRoman(nom) + "\r";
    const TPointTopo& r0 = *massif_.References[0];
    auto largeur6 = [](const std::string& t) { return std::string(t.size() < 6 ? 6 - t.size() : 0, ' ') + t; };
    sortie += "-5\t1\t" + largeur6(F2(static_cast<long double>(r0.X) * 1000)) + "\t" +
              largeur6(F2(static_cast<long double>(r0.Y) * 1000)) + "\t" + F2(r0.Z) + "\t1\t0\r";
    for (std::size_t i = 0; i < fiches_.size(); ++i) {
        const TFiche& f = *fiches_[i];
        const std::string& d = f.Date;
        auto partie = [&](std::size_t debut) { return debut < d.size() ? d.substr(debut, 2) : std::string(); };
        auto topographe = [&](std::size_t rang) {
            if (f.Topographes.size() <= rang)
                return std::string(" ");
            std::string t = f.Topographes[rang].Chaine();
            t.erase(std::remove(t.begin(), t.end(), '\t'), t.end());
            return VersMacRoman(t);
        };
        const std::string t1 = topographe(0);
        const std::string t2 = topographe(1);
        const long double angle = massif_.Angle_Geodesique;
        const long double decli = f.Unite_Decli == kAzimutDegres
                                      ? (static_cast<long double>(f.Declinaison) + angle) / 180 * 200
                                      : static_cast<long double>(f.Declinaison) + angle / 180 * 200;
        sortie += "-2\t" + FormatEntier(static_cast<long long>(i + 1)) + "\t" + partie(0) + "\t" + partie(3) + "\t" +
                  partie(6) + "\t" + t1 + "\t" + t2 + "\t0\t" + F2(decli) + "\t0\t1\r";
    }
    sortie += "-2\t999\t4\t1\t99\t \t \t0\t0.00\t0\t0\tPoint fixe\r";
    sortie += "-1\t1\t360.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t2\t360.00\t400.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t3\t360.00\t380.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t4\t360.00\t361.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t5\t400.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t6\t400.00\t400.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t7\t400.00\t380.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t8\t400.00\t361.00\t0.10\t1.00\t1.00\t100.00\t0.00\r";
    sortie += "-1\t999\t360.00\t360.00\t0.00\t0.00\t0.00\t100.00\t-100.00\r";
    sortie += "\r";
    EcritReferences(sortie);

    for (std::size_t i = 0; i < fiches_.size(); ++i) {
        const int seance = static_cast<int>(i + 1);
        for (const TGalerie* g : fiches_[i]->Galeries) {
            // A gallery without shots has nothing to write.
            if (g->NbVisees == 0)
                continue;
            const bool suite = ouverte_ && g->Depart.Egal(*arrivee_) && arriveeNouvelle_ &&
                               points_.size() + g->NbVisees <= static_cast<std::size_t>(kMaxPoints);
            int premiere = 1;
            if (!suite) {
                Ferme();
                ++serie_;
                ouverte_ = true;
                depart_ = &g->Depart;
                const TVisee& v1 = *g->Visee(1);
                if (static_cast<long double>(v1.Longueur) > 0.0001L) {
                    Point p0;
                    p0.seance = seance;
                    p0.code = 1;
                    p0.commentaire = g->Commentaire.Chaine();
                    points_.push_back(p0);
                } else {
                    // The zero first shot is point 0; the gallery's comment stays with the series.
                    Point p0 = PointDeVisee(v1, seance);
                    p0.commentaire = Reunit(g->Commentaire.Chaine(), p0.commentaire);
                    points_.push_back(p0);
                    premiere = 2;
                }
                if (!g->Depart.Terminus && !Enregistre(g->Depart))
                    stations_[CleStation(g->Depart)] = Numero{serie_, 0};
            }
            for (int k = premiere; k <= g->NbVisees; ++k) {
                Point p = PointDeVisee(*g->Visee(k), seance);
                if (suite && k == 1)
                    p.commentaire = Reunit(g->Commentaire.Chaine(), p.commentaire);
                points_.push_back(std::move(p));
            }
            arrivee_ = &g->Arrivee;
            arriveeNouvelle_ = !g->Arrivee.Terminus && !Enregistre(g->Arrivee);
            if (arriveeNouvelle_)
                stations_[CleStation(g->Arrivee)] = Numero{serie_, static_cast<int>(points_.size()) - 1};
        }
    }
    Ferme();

    // Series are separated by an empty line; the last one ends the file without a line end.
    for (std::size_t k = 0; k < lignesSeries_.size(); ++k) {
        const bool derniere = k + 1 == lignesSeries_.size();
        const auto& lignes = lignesSeries_[k];
        for (std::size_t j = 0; j < lignes.size(); ++j) {
            sortie += lignes[j];
            if (!derniere || j + 1 < lignes.size())
                sortie += "\r";
        }
        if (!derniere)
            sortie += "\r";
    }
    return sortie;
}

}  // namespace

void ExporteToporobot(const TMassif& massif, const std::string& fichier)
{
    const std::string contenu = ExportToporobot(massif).Construit();
    echange::EcritFichier(fichier, contenu);
}

}  // namespace karst
