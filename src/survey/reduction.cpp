// Shot reduction, station placement and the worst-gallery search.
#include <cmath>
#include <numbers>

#include "survey/modele.h"

namespace karst {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// Slope decoding: true for an angle kind (p in radians), false for a height difference
// (d in metres).
bool Pente(const TVisee& v, long double& p, long double& d)
{
    const long double x = v.Pente;
    switch (v.UnitePente) {
    case kPenteGrades: p = x / 200 * kPi; return true;
    case kPenteDenivMetres: d = x; return false;
    case kPenteDenivCm: d = x / 100; return false;
    case kPenteVulcain: p = DegresEnRadians(90 - x); return true;
    case kPenteDegresInverse: p = DegresEnRadians(-x); return true;
    case kPenteGradesInverse: p = -x / 200 * kPi; return true;
    case kPenteDenivMetresInverse: d = -x; return false;
    case kPenteDenivCmInverse: d = -x / 100; return false;
    case kPenteVulcainInverse: p = DegresEnRadians(-(90 - x)); return true;
    default: p = DegresEnRadians(x); return true;  // degrees, and any code above 9
    }
}

// A running sum stored after each addition. Whatever a damaged or imported gallery holds,
// the reduction and the placement store a value and go on: they never fail half-way.
void Ajoute(Reel6& somme, long double x) { somme = Reel6::sature(static_cast<long double>(somme) + x); }

}  // namespace

long double AzimutEnRadians(long double a, int unite)
{
    switch (unite) {
    case kAzimutGrades: return a / 200 * kPi;
    case kAzimutDegresInverse: return (a / 180 + 1) * kPi;
    case kAzimutGradesInverse: return (a / 200 + 1) * kPi;
    default: return DegresEnRadians(a);  // degrees, and any code the tables do not name
    }
}

long double TVisee::AzimutRadians() const { return AzimutEnRadians(Azimut, UniteAzimut); }

void TGalerie::CalculeVisees(Reel6 angle)
{
    SommeDX = 0;
    SommeDY = 0;
    SommeDZ = 0;
    SommeL = 0;
    SommeL2 = 0;
    Developpement = 0;
    Placee = false;
    const long double rot = angle;
    for (int k = 1; k <= NbVisees; ++k) {
        TVisee* v = Visee(k);
        if (!v)
            continue;
        const long double L = v->LongueurMetres();
        const long double A = v->AzimutRadians();
        Ajoute(Developpement, v->AvecCorrDeveloppement ? static_cast<long double>(v->CorrDeveloppement) : L);
        long double p = 0, d = 0;
        const bool angulaire = Pente(*v, p, d);
        Ajoute(SommeL, L);
        Ajoute(SommeL2, L * L);
        if (!angulaire) {
            v->Horizontale = Reel6::sature(L * L > d * d ? std::sqrt(L * L - d * d) : 0.0L);
            Ajoute(SommeDZ, d);
        } else {
            v->Horizontale = Reel6::sature(L * std::cos(p));
            Ajoute(SommeDZ, L * std::sin(p));
        }
        const long double h = v->Horizontale;
        Ajoute(SommeDX, h * std::sin(A - rot));
        Ajoute(SommeDY, h * std::cos(A - rot));
        v->X = SommeDX;
        v->Y = SommeDY;
        v->Z = SommeDZ;
    }
}

void TFiche::Calcule(Reel6 angleDegres)
{
    const long double decli = Unite_Decli == kAzimutDegres ? DegresEnRadians(static_cast<long double>(Declinaison))
                                                           : static_cast<long double>(Declinaison) / 200 * kPi;
    const Reel6 total = Reel6::sature(decli + DegresEnRadians(static_cast<long double>(angleDegres)));
    for (TGalerie* g : Galeries)
        g->CalculeVisees(total);
}

void TGalerie::PlacePoints()
{
    Stations.assign(NbVisees, TStation{});
    if (!Placee)
        return;
    long double cx = 0, cy = 0, cz = 0;
    const long double sl = SommeL;
    // A gallery of zero total length between two known ends has nothing to spread the
    // misclosure over: it is laid out without correction.
    if (!Depart.Terminus && !Arrivee.Terminus && sl != 0) {
        cx = ((static_cast<long double>(Arrivee.X) - Depart.X) - SommeDX) / sl;
        cy = ((static_cast<long double>(Arrivee.Y) - Depart.Y) - SommeDY) / sl;
        cz = ((static_cast<long double>(Arrivee.Z) - Depart.Z) - SommeDZ) / sl;
    }
    if (Depart.Terminus) {
        Depart.X = Reel6::sature(static_cast<long double>(Arrivee.X) - SommeDX);
        Depart.Y = Reel6::sature(static_cast<long double>(Arrivee.Y) - SommeDY);
        Depart.Z = Reel6::sature(static_cast<long double>(Arrivee.Z) - SommeDZ);
    }
    long double s = 0;
    for (int k = 1; k <= NbVisees; ++k) {
        const TVisee* v = Visee(k);
        if (!v)
            continue;
        s += v->LongueurMetres();
        TStation& st = Station(k);
        st.X = Reel6::sature(static_cast<long double>(Depart.X) + v->X + cx * s);
        st.Y = Reel6::sature(static_cast<long double>(Depart.Y) + v->Y + cy * s);
        st.Z = Reel6::sature(static_cast<long double>(Depart.Z) + v->Z + cz * s);
    }
}

void TMassif::PlaceTousPoints()
{
    PointsCalcules = true;
    // The section's abscissae are kept in the stations laid out again here.
    CoupeCalculee = false;
    for (TFiche* f : Fiches)
        if (f)
            for (TGalerie* g : f->Galeries)
                g->PlacePoints();
}

double TMassif::PireGalerie(int& fiche, int& galerie)
{
    if (!PointsCalcules)
        PlaceTousPoints();
    double best = 0;
    for (std::size_t i = 0; i < Fiches.size(); ++i) {
        const TFiche* f = Fiches[i];
        if (!f)
            continue;
        for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
            const TGalerie* g = f->Galeries[j];
            if (!g->Placee || g->NbVisees == 0 || g->NbStations() < g->NbVisees)
                continue;
            long double e, L;
            const TVisee* v1 = g->Visee(1);
            if (!v1)
                continue;
            int unite;
            if (g->NbVisees == 1) {
                if (!(static_cast<long double>(v1->Longueur) > 1e-5L))
                    continue;
                const TStation& s1 = g->Station(1);
                long double dx = (static_cast<long double>(s1.X) - g->Depart.X) - v1->X;
                long double dy = (static_cast<long double>(s1.Y) - g->Depart.Y) - v1->Y;
                long double dz = (static_cast<long double>(s1.Z) - g->Depart.Z) - v1->Z;
                e = std::sqrt(dx * dx + dy * dy + dz * dz);
                L = v1->Longueur;
                unite = v1->UniteLongueur;
            } else {
                const TVisee* v2 = g->Visee(2);
                if (!v2)
                    continue;
                const TStation& s1 = g->Station(1);
                const TStation& s2 = g->Station(2);
                long double dx = (static_cast<long double>(s2.X) - s1.X) - (static_cast<long double>(v2->X) - v1->X);
                long double dy = (static_cast<long double>(s2.Y) - s1.Y) - (static_cast<long double>(v2->Y) - v1->Y);
                long double dz = (static_cast<long double>(s2.Z) - s1.Z) - (static_cast<long double>(v2->Z) - v1->Z);
                e = std::sqrt(dx * dx + dy * dy + dz * dz);
                L = v2->Longueur;
                unite = v2->UniteLongueur;
            }
            const long double coef = g->Coefficient;
            // A zero divisor (a zero second shot, a coefficient of 0) says nothing about
            // deformation: such a gallery is passed over.
            if (L == 0 || coef == 0)
                continue;
            long double ratio = e / L / coef;
            if (unite == kUniteCentimetres)
                ratio *= 100;
            if (!std::isfinite(ratio))
                continue;
            // Compared at the precision kept, so that equal ratios leave the first gallery.
            const double r = static_cast<double>(ratio);
            if (r > best) {
                best = r;
                fiche = static_cast<int>(i);
                galerie = static_cast<int>(j);
            }
        }
    }
    return Reel6::sature(best).d();
}

}  // namespace karst
