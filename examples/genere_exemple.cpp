// Writes the sample massif of the Causse de Pierrefeu, a fictional karst area, in both
// formats: pierrefeu.fic (binary) and pierrefeu.mas (text), into the folder given on the
// command line (the current folder by default).
//
// Two caves in two systems, eight survey sheets, a few hundred shots, loops that close
// with small misclosures, two reference points at the entrances, widths and heights, a
// topofil sheet and several unit codes (grads, reversed azimuths, centimetres, height
// differences, Vulcain). The data are drawn from a fixed pseudo-random sequence, so every
// run writes the same files.

#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>

#include "survey/modele.h"
#include "survey/nombres.h"

using namespace karst;

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
// The correction of the topofil sheet's counter.
constexpr long double kCoefTopofil = 0.995L;

class Hasard {
public:
    // Uniform in [a, b).
    double Entre(double a, double b)
    {
        etat_ = etat_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return a + (b - a) * static_cast<double>(etat_ >> 11) / 9007199254740992.0;
    }
    int Entier(int a, int b) { return a + static_cast<int>(Entre(0, b - a + 1)); }

private:
    uint64_t etat_ = 0x5EEDC0FFEEULL;
};

double Arrondi(double x, int decimales)
{
    const double p = std::pow(10.0, decimales);
    return static_cast<double>(Round(x * p)) / p;
}

// The text massif file keeps three significant digits of a slope reading.
double TroisChiffres(double x)
{
    if (x == 0)
        return 0;
    const int chiffres = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    return Arrondi(x, 3 - chiffres);
}

struct Point {
    std::string nom;
    int indice = 0;
    double x = 0, y = 0, z = 0;  // metres, true north
};

// How a sheet's shots are written down.
struct Maniere {
    uint8_t azimut = 0;            // 0 degrees, 1 grads
    bool visees_inverses = false;  // every third shot read backwards (codes 5 and 6)
    bool centimetres = false;      // lengths, widths and heights in centimetres
    bool denivele = false;         // slopes as height differences (codes 2, 3)
    bool vulcain = false;          // some slopes as Vulcain readings (code 4)
    bool topofil = false;          // counter readings along the gallery
};

class Generateur {
public:
    explicit Generateur(TMassif& m) : m_(m) {}

    TFiche* NouvelleFiche(const std::string& systeme, const std::string& cavite, const std::string& reseau,
                          const std::string& lieu, const std::string& date, std::initializer_list<const char*> topos,
                          double declinaison, uint8_t uniteDecli, Maniere maniere)
    {
        auto f = std::make_unique<TFiche>();
        f->Systeme.Affecte(systeme);
        f->Cavite.Affecte(cavite);
        f->Reseau.Affecte(reseau);
        f->Lieu.Affecte(lieu);
        f->Date = date;
        for (const char* t : topos)
            f->Topographes.emplace_back(t);
        f->TPST.Affecte(FormatEntier(h_.Entier(3, 11)) + "h");
        f->Declinaison = declinaison;
        f->Unite_Decli = uniteDecli;
        maniere_ = maniere;
        // Declination in degrees, to turn true bearings into magnetic readings.
        decli_ = uniteDecli == 0 ? declinaison : declinaison * 0.9;
        fiche_ = m_.AjouteFiche(std::move(f), false);
        return fiche_;
    }

    const Point& Station(const std::string& nom, int indice) const { return stations_.at({nom, indice}); }

    void Connu(const Point& p) { stations_[{p.nom, p.indice}] = p; }

    // A gallery of n shots from a known station along a general heading and slope, ending
    // at a new station.
    void Avance(const std::string& de, int iDe, const std::string& vers, int iVers, int n, double cap, double pente,
                const std::string& commentaire = {})
    {
        const Point& a = Station(de, iDe);
        std::vector<std::array<double, 3>> pas;
        for (int k = 0; k < n; ++k) {
            const double l = h_.Entre(2.5, 14);
            const double c = (cap + h_.Entre(-35, 35)) * kPi / 180;
            const double s = std::clamp(pente + h_.Entre(-15, 15), -75.0, 75.0) * kPi / 180;
            pas.push_back({l * std::cos(s) * std::sin(c), l * std::cos(s) * std::cos(c), l * std::sin(s)});
        }
        Galerie(a, vers, iVers, pas, commentaire);
    }

    // A gallery of n shots from a known station to another one: a loop, closed up to the
    // reading errors.
    void Boucle(const std::string& de, int iDe, const std::string& vers, int iVers, int n,
                const std::string& commentaire = {})
    {
        const Point& a = Station(de, iDe);
        const Point& b = Station(vers, iVers);
        std::vector<std::array<double, 3>> pas;
        double rx = b.x - a.x, ry = b.y - a.y, rz = b.z - a.z;
        for (int k = n; k > 0; --k) {
            // Wander around the straight way, then head for the end.
            const double w = k > 1 ? h_.Entre(-0.35, 0.35) : 0;
            double dx = rx / k + w * ry / k, dy = ry / k - w * rx / k, dz = rz / k + (k > 1 ? h_.Entre(-1, 1) : 0);
            pas.push_back({dx, dy, dz});
            rx -= dx;
            ry -= dy;
            rz -= dz;
        }
        Galerie(a, vers, iVers, pas, commentaire, true);
    }

private:
    void Galerie(const Point& a, const std::string& vers, int iVers, const std::vector<std::array<double, 3>>& pas,
                 const std::string& commentaire, bool versConnu = false)
    {
        auto g = std::make_unique<TGalerie>();
        g->Depart.Nom.Affecte(a.nom);
        g->Depart.Indice = static_cast<uint8_t>(a.indice);
        g->Arrivee.Nom.Affecte(vers);
        g->Arrivee.Indice = static_cast<uint8_t>(iVers);
        g->Coefficient = 1;
        g->CoefTopofil = maniere_.topofil ? kCoefTopofil : 1.0L;
        g->Commentaire.Affecte(commentaire);
        Point p = a;
        double compteur = h_.Entier(100, 900) * 0.1;
        for (std::size_t k = 0; k < pas.size(); ++k) {
            const auto& d = pas[k];
            p.x += d[0];
            p.y += d[1];
            p.z += d[2];
            g->AjouteVisee(Lecture(d, k, compteur));
        }
        if (!versConnu) {
            p.nom = vers;
            p.indice = iVers;
            Connu(p);
        }
        fiche_->Galeries.ajoute(std::move(g));
    }

    // The shot as read on the instruments, with their small errors.
    std::unique_ptr<TVisee> Lecture(const std::array<double, 3>& d, std::size_t k, double& compteur)
    {
        auto v = std::make_unique<TVisee>();
        const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) + h_.Entre(-0.02, 0.02);
        double cap = std::atan2(d[0], d[1]) * 180 / kPi + decli_ + h_.Entre(-0.5, 0.5);
        const double pente = std::asin(std::clamp(d[2] / l, -1.0, 1.0)) * 180 / kPi + h_.Entre(-0.5, 0.5);
        const bool inverse = maniere_.visees_inverses && k % 3 == 2;
        if (inverse)
            cap -= 180;
        cap = std::fmod(cap + 720, 360);
        if (maniere_.azimut == 1) {
            v->Azimut = Arrondi(cap / 0.9, 1);
            v->UniteAzimut = inverse ? 6 : 1;
        } else {
            v->Azimut = Arrondi(cap, 1);
            v->UniteAzimut = inverse ? 5 : 0;
        }
        if (maniere_.centimetres) {
            v->Longueur = Round(l * 100);
            v->UniteLongueur = 1;
        } else {
            v->Longueur = Arrondi(l, 2);
        }
        if (maniere_.denivele && k % 2 == 0) {
            const double dz = l * std::sin(pente * kPi / 180);
            if (maniere_.centimetres) {
                v->Pente = TroisChiffres(dz * 100);
                v->UnitePente = 3;
            } else {
                v->Pente = TroisChiffres(dz);
                v->UnitePente = 2;
            }
        } else if (maniere_.vulcain && k % 4 == 1) {
            v->Pente = TroisChiffres(90 - pente);
            v->UnitePente = 4;
        } else {
            v->Pente = TroisChiffres(pente);
        }
        // Widths and heights at the end station, in the sheet's unit.
        const double echelle = maniere_.centimetres ? 100 : 1;
        const int decimales = maniere_.centimetres ? 0 : 1;
        auto mesure = [&](double a, double b) {
            return FormatGeneral(Arrondi(h_.Entre(a, b) * echelle, decimales), 6);
        };
        v->UniteLargeur = v->UniteHauteur = maniere_.centimetres ? 1 : 0;
        if (h_.Entre(0, 1) < 0.2) {
            v->Gauche = mesure(1.5, 6);  // the whole width
        } else {
            v->Gauche = mesure(0.3, 3);
            v->Droite = mesure(0.3, 3);
        }
        v->Haut = mesure(0.5, 8);
        if (h_.Entre(0, 1) < 0.8)
            v->Bas = mesure(0, 1.5);
        // The counter shows tenths of a metre: the shot starts at one reading and ends at the
        // next, and its length is what the thread unwound between them.
        // Computed as the sheet editor reads the two readings back, with the coefficient the
        // gallery stores, so that it shows them as they are.
        if (maniere_.topofil) {
            const long double debut = Round(compteur * 10) / 10.0L,
                              fin = Round((compteur + l / kCoefTopofil) * 10) / 10.0L;
            v->AvecTopofil = true;
            v->Topofil = debut;
            v->Longueur = (fin - debut) * static_cast<long double>(Reel6(kCoefTopofil));
            compteur = static_cast<double>(fin);
        }
        return v;
    }

    TMassif& m_;
    Hasard h_;
    std::map<std::pair<std::string, int>, Point> stations_;
    TFiche* fiche_ = nullptr;
    Maniere maniere_;
    double decli_ = 0;
};

void AjouteReference(TMassif& m, Generateur& gen, const std::string& nom, int indice, double xKm, double yKm, double z)
{
    auto p = std::make_unique<TPointTopo>();
    p->Nom.Affecte(nom);
    p->Indice = static_cast<uint8_t>(indice);
    p->X = xKm;
    p->Y = yKm;
    p->Z = z;
    m.AjouteReference(std::move(p));
    gen.Connu({nom, indice, xKm * 1000, yKm * 1000, z});
}

void Construit(TMassif& m)
{
    Generateur g(m);
    const std::string causse = "Causse de Pierrefeu";
    const std::string breche = "Gouffre de la Br\xE8"
                               "che";
    AjouteReference(m, g, "E", 1, 812.4505, 3210.2205, 1452.5);
    AjouteReference(m, g, "F", 1, 815.1203, 3212.8711, 981.0);

    // Gouffre de la Brèche: the entrance shaft and the main gallery.
    g.NouvelleFiche(causse, breche,
                    "R\xE9seau d'entr\xE9"
                    "e",
                    "Puits d'entr\xE9"
                    "e",
                    "12/07/97", {"Claire Aubrac", "Martin Sabatier"}, 0.8, 0, {});
    g.Avance("E", 1, "E", 2, 6, 140, -70,
             "Puits d'entr\xE9"
             "e");
    g.Avance("E", 2, "E", 3, 9, 120, -20);
    g.Avance("E", 3, "E", 4, 8, 95, -10,
             "M\xE9"
             "andre");
    g.Boucle("E", 4, "E", 2, 7,
             "Shunt du m\xE9"
             "andre");

    g.NouvelleFiche(causse, breche,
                    "R\xE9seau d'entr\xE9"
                    "e",
                    "Salle du Chaos", "26/07/97", {"Claire Aubrac", "Louis Ferrand", "In\xE8s Vidal"}, 0.8, 0,
                    {.vulcain = true});
    g.Avance("E", 4, "C", 1, 10, 80, -5, "Salle du Chaos");
    g.Avance("C", 1, "C", 2, 8, 10, 5);
    g.Avance("C", 2, "C", 3, 7, 120, -15);
    g.Boucle("C", 3, "C", 1, 6, "Tour de la salle");

    g.NouvelleFiche(causse, breche, "R\xE9seau profond", "Les Marmites", "15/08/98", {"Martin Sabatier", "Paul Rey"},
                    1.1, 1, {.azimut = 1, .visees_inverses = true});
    g.Avance("C", 3, "M", 1, 12, 150, -25, "Toboggan");
    g.Avance("M", 1, "M", 2, 11, 175, -10, "Les Marmites");
    g.Avance("M", 2, "M", 3, 9, 200, -30);
    g.Avance("M", 1, "M", 4, 8, 110, 0, "Affluent des Marmites");
    g.Boucle("M", 4, "M", 2, 9);

    g.NouvelleFiche(causse, breche, "R\xE9seau profond", "Siphon terminal", "02/09/98", {"Paul Rey", "In\xE8s Vidal"},
                    1.1, 0, {.centimetres = true, .denivele = true});
    g.Avance("M", 3, "S", 1, 10, 190, -20, "\xC9troiture");
    g.Avance("S", 1, "S", 2, 12, 230, -8);
    g.Avance("S", 2, "S", 3, 6, 250, -35, "Siphon terminal");

    g.NouvelleFiche(causse, breche,
                    "R\xE9seau d'entr\xE9"
                    "e",
                    "Galerie haute", "20/06/99", {"Claire Aubrac", "Louis Ferrand"}, 1.0, 0,
                    {.visees_inverses = true, .vulcain = true});
    g.Avance("C", 2, "H", 1, 9, 330, 20, "Escalade de 15 m");
    g.Avance("H", 1, "H", 2, 12, 300, 3, "Galerie haute");
    g.Avance("H", 2, "H", 3, 8, 260, -5);
    g.Boucle("H", 3, "E", 3, 11,
             "Jonction avec le m\xE9"
             "andre");

    g.NouvelleFiche(causse, breche, "R\xE9seau profond", "Laminoir", "03/07/00", {"Martin Sabatier", "Paul Rey"}, 1.2,
                    0, {.denivele = true});
    g.Avance("S", 1, "L", 1, 10, 140, -2, "Laminoir");
    g.Avance("L", 1, "L", 2, 7, 100, 10);
    g.Boucle("L", 2, "M", 3, 10, "Retour aux Marmites");

    // Grotte des Fées, in another system: a resurgence surveyed partly with a topofil.
    const std::string aiguilles = "Massif des Aiguilles";
    const std::string fees = "Grotte des F\xE9"
                             "es";
    g.NouvelleFiche(aiguilles, fees, "Galerie principale", "Porche", "11/04/01", {"Jeanne Castel", "Hugo Lamarque"},
                    1.9, 1, {.azimut = 1});
    g.Avance("F", 1, "F", 2, 10, 20, 2, "Porche");
    g.Avance("F", 2, "F", 3, 12, 45, 6, "Rivi\xE8re");
    g.Avance("F", 3, "F", 4, 9, 60, 12, "Cascade");
    g.Avance("F", 2, "G", 1, 8, 320, 4, "Galerie fossile");
    g.Boucle("G", 1, "F", 3, 10);

    g.NouvelleFiche(aiguilles, fees, "Galerie principale", "Amont", "25/04/01", {"Jeanne Castel", "Hugo Lamarque"}, 1.9,
                    1, {.azimut = 1, .topofil = true});
    g.Avance("F", 4, "T", 1, 12, 70, 8, "Amont au topofil");
    g.Avance("T", 1, "T", 2, 12, 40, 5);
    g.Avance("T", 2, "T", 3, 10, 85, 15, "Vo\xFBte mouillante");
    g.Avance("T", 1, "T", 4, 7, 150, 20,
             "Chemin\xE9"
             "e");

    for (TFiche* f : m.Fiches) {
        f->Calcule(m.Angle_Geodesique);
        // Every sheet of this sample explored its galleries for the first time.
        long double premiere = 0;
        for (const TGalerie* gal : f->Galeries)
            premiere += gal->Developpement;
        f->Premiere = Round(premiere);
    }
    m.Origine_Declinaison = 0.8L;
    m.Date_Declinaison = "01/01/97";
    m.Variation_Declinaison = 0.1L;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string dossier = argc > 1 ? argv[1] : ".";
    TMassif m;
    Construit(m);
    int visees = 0;
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries)
            visees += g->NbVisees;
    try {
        m.Sauve(dossier + "/pierrefeu.fic");
        m.Sauve(dossier + "/pierrefeu.mas");
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cout << m.Fiches.size() << " fiches, " << visees
              << " vis\xC3\xA9"
                 "es\n";
    return 0;
}
