// Plot-file (*.plt) export: for each sheet a survey header, a move to the start of each
// gallery and a draw to each of its stations with the passage dimensions, and the bounds
// of each sheet and of the whole file. Every viewer of the format reads a point as
// northing, easting, vertical, in feet, where the massif holds easting first, in metres.

#include "exchange/echange.h"
#include "exchange/outils.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

constexpr long double kMetresParPied = 0.3048L;

std::string Pieds(long double metres) { return FormatF(metres / kMetresParPied, 2); }

std::string Point(long double x, long double y, long double z) { return Pieds(y) + " " + Pieds(x) + " " + Pieds(z); }

// A width or height as typed, in feet, or 999.0 when it is not a number.
std::string Dimension(const std::string& t, uint8_t unite)
{
    long double v = 0;
    if (!LitReel(t, v))
        return "999.0";
    return FormatF((unite == kUniteCentimetres ? v / 100 : v) / kMetresParPied, 1);
}

int PartieDate(const std::string& date, std::size_t debut, int defaut)
{
    long long v = 0;
    if (date.size() < debut + 2 || !LitEntier(date.substr(debut, 2), v))
        return defaut;
    return static_cast<int>(v);
}

// Held in metres, east first; written north first, in feet.
struct Boite {
    bool vide = true;
    long double min[3] = {0, 0, 0}, max[3] = {0, 0, 0};

    void Prend(long double x, long double y, long double z)
    {
        const long double v[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) {
            if (vide || v[i] < min[i])
                min[i] = v[i];
            if (vide || v[i] > max[i])
                max[i] = v[i];
        }
        vide = false;
    }
    std::string Texte() const
    {
        return Pieds(min[1]) + " " + Pieds(max[1]) + " " + Pieds(min[0]) + " " + Pieds(max[0]) + " " + Pieds(min[2]) +
               " " + Pieds(max[2]);
    }
};

}  // namespace

void ExportePLT(TMassif& massif, const std::string& fichier)
{
    // Station records are only valid once placed.
    if (!massif.PointsCalcules)
        massif.PlaceTousPoints();
    const ListeFiches& fiches = massif.SelectionActive && massif.Selection ? *massif.Selection : massif.Fiches;

    std::string corps;
    Boite totale;
    const TFiche* precedente = nullptr;
    int k = 0;
    for (const TFiche* f : fiches) {
        if (!f)
            continue;
        if (!f->Cavite.Chaine().empty() && (!precedente || !f->Cavite.Egal(precedente->Cavite)))
            corps += "S" + f->Cavite.ChaineSansBlanc().substr(0, 8) + "\r\n";
        precedente = f;
        const std::string& d = f->Date;
        int annee = PartieDate(d, 6, 0);
        annee += annee > 30 ? 1900 : 2000;
        corps += "NT" + FormatEntier(k) + " D " + FormatEntier(PartieDate(d, 3, 12)) + " " +
                 FormatEntier(PartieDate(d, 0, 31)) + " " + FormatEntier(annee) + " C" + f->Lieu.ChaineSansBlanc() +
                 "\r\n";
        Boite fiche;
        for (std::size_t g = 0; g < f->Galeries.size(); ++g) {
            const TGalerie& gal = *f->Galeries[g];
            // Galleries that the computation has not reached have no coordinates.
            if (!gal.Placee || gal.NbStations() < gal.NbVisees)
                continue;
            const TPointTopo& dep = gal.Depart;
            if (fiche.vide)
                fiche.Prend(dep.X, dep.Y, dep.Z);
            if (totale.vide)
                totale.Prend(dep.X, dep.Y, dep.Z);
            corps += "M " + Point(dep.X, dep.Y, dep.Z) + " S" +
                     (dep.Terminus ? std::string() : dep.Nom.ChaineSansBlanc()) + " P 999.0 999.0 999.0 999.0\r\n";
            for (int i = 1; i <= gal.NbVisees; ++i) {
                const TStation& s = gal.Station(i);
                const TVisee* v = gal.Visee(i);
                fiche.Prend(s.X, s.Y, s.Z);
                totale.Prend(s.X, s.Y, s.Z);
                const std::string p =
                    v ? Dimension(v->Gauche, v->UniteLargeur) + " " + Dimension(v->Droite, v->UniteLargeur) + " " +
                            Dimension(v->Haut, v->UniteHauteur) + " " + Dimension(v->Bas, v->UniteHauteur)
                      : std::string("999.0 999.0 999.0 999.0");
                corps += "D " + Point(s.X, s.Y, s.Z) + " S" + FormatEntier(static_cast<long long>(g)) + "." +
                         FormatEntier(i) + " P " + p + "\r\n";
            }
        }
        corps += "X " + fiche.Texte() + "\r\n";
        ++k;
    }
    // A file without a single station would be taken for an export of the survey.
    if (totale.vide)
        throw ErreurEchange("Aucune galerie n'est reliée à un point de référence : rien n'a été exporté.");
    echange::EcritFichier(fichier, "Z " + totale.Texte() + "\r\n" + corps);
}

}  // namespace karst
