#include "views/modele3d.h"

#include <cmath>

#include "survey/reel6.h"
#include "views/options.h"

namespace karst {

namespace {

double Stocke(long double v) { return Reel6::arrondit(v); }

// Widths and heights used for a section.
struct Mesures {
    double gauche, droite, haut, bas;
};

Mesures MesuresSection(const TFiche& f, int galerie, int station, const TOptions_Relief& o)
{
    const double l = o.Largeur_3D;
    if (o.Filaire)
        return {l / 2, l / 2, l, 0};
    Mesures m{};
    f.LargeursStation(galerie, station, m.gauche, m.droite);
    f.HauteursStation(galerie, station, m.haut, m.bas);
    if (m.gauche < -0.5)
        m.gauche = l / 2;
    if (m.droite < -0.5)
        m.droite = l / 2;
    if (m.haut < -0.5)
        m.haut = l;
    if (m.bas < -0.5)
        m.bas = 0;
    return m;
}

Section3D Preset(long double x, long double y, long double z)
{
    const Coin3D c{Stocke(x), Stocke(y), Stocke(z)};
    return {c, c, c, c};
}

// The cylinder of a junction takes the largest measures seen at it.
void Inscrit(TableCylindres& table, const TPointTopo& station, const TFiche& f, int galerie, int numero,
             const TOptions_Relief& o)
{
    Cylindre3D& c = table.Entree(station);
    const float l = o.Largeur_3D;
    if (o.Filaire) {
        c.Rayon = l / 2;
        c.Dessus = l;
        c.Dessous = 0;
        return;
    }
    double gauche, droite, haut, bas;
    f.LargeursStation(galerie, numero, gauche, droite);
    f.HauteursStation(galerie, numero, haut, bas);
    if (gauche < -0.5)
        gauche = l / 2.0;
    if (droite < -0.5)
        droite = l / 2.0;
    if (haut < -0.5)
        haut = l;
    if (gauche > c.Rayon)
        c.Rayon = static_cast<float>(gauche);
    if (droite > c.Rayon)
        c.Rayon = static_cast<float>(droite);
    if (haut > c.Dessus)
        c.Dessus = static_cast<float>(haut);
    if (bas > c.Dessous)
        c.Dessous = static_cast<float>(bas);
}

int NbViseesModele(const TGalerie& g) { return std::min<int>(g.NbVisees, g.NbStations()); }

}  // namespace

void CoinsSection(const TVisee& visee, Section3D& coins, double gauche, double droite, double haut, double bas)
{
    const long double t = visee.AzimutRadians();
    const long double ax = cosl(t), ay = -sinl(t);
    long double ex = 0, ey = 0, ez = 1;
    if (static_cast<long double>(visee.Horizontale) < 0.01L) {
        // A vertical shot: its heights lie forward and backward along the azimuth.
        ex = sinl(t);
        ey = cosl(t);
        ez = 0;
    }
    const long double px = coins[0].X, py = coins[0].Y, pz = coins[0].Z;
    const long double cote[4] = {-static_cast<long double>(gauche), droite, droite, -static_cast<long double>(gauche)};
    const long double vert[4] = {haut, haut, -static_cast<long double>(bas), -static_cast<long double>(bas)};
    for (int k = 0; k < 4; ++k) {
        coins[static_cast<std::size_t>(k)] = {Stocke(px + cote[k] * ax + vert[k] * ex),
                                              Stocke(py + cote[k] * ay + vert[k] * ey), Stocke(pz + vert[k] * ez)};
    }
}

Coin3D NormaleFace(const Coin3D& a, const Coin3D& b, const Coin3D& c)
{
    const long double ux = static_cast<long double>(b.X) - a.X, uy = static_cast<long double>(b.Y) - a.Y,
                      uz = static_cast<long double>(b.Z) - a.Z;
    const long double vx = static_cast<long double>(c.X) - a.X, vy = static_cast<long double>(c.Y) - a.Y,
                      vz = static_cast<long double>(c.Z) - a.Z;
    long double nx = uy * vz - vy * uz, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const float longueur = static_cast<float>(sqrtl(nx * nx + ny * ny + nz * nz));
    if (longueur > 0.001f) {
        nx /= longueur;
        ny /= longueur;
        nz /= longueur;
    }
    return {Stocke(nx), Stocke(ny), Stocke(nz)};
}

Cylindre3D& TableCylindres::Entree(const TPointTopo& station)
{
    for (Cylindre3D& c : Entrees)
        if (c.Station->Egal(station))
            return c;
    Entrees.push_back(Cylindre3D{&station, 0, 0, 0});
    return Entrees.back();
}

void SectionsVisee(const TFiche& f, const TGalerie& g, int numero, const TOptions_Relief& o,
                   std::vector<Section3D>& sections, TableCylindres& cylindres)
{
    const int n = NbViseesModele(g);
    sections.clear();
    if (n < 1)
        return;
    const TVisee& premiere = *g.Visee(1);
    const bool departNul = premiere.Longueur == 0;
    if (!g.Depart.Terminus && departNul)
        Inscrit(cylindres, g.Depart, f, numero, 1, o);
    if (!g.Arrivee.Terminus)
        Inscrit(cylindres, g.Arrivee, f, numero, n, o);

    // Section 0: a point for a terminus or a start by a shot of no length.
    Section3D s = Preset(g.Depart.X, g.Depart.Y, g.Depart.Z);
    if (!g.Depart.Terminus && !departNul) {
        const Mesures m = MesuresSection(f, numero, 0, o);
        CoinsSection(premiere, s, m.gauche, m.droite, m.haut, m.bas);
    }
    sections.push_back(s);

    for (int i = 1; i <= n; ++i) {
        const TStation& st = g.Station(i);
        const Mesures m = MesuresSection(f, numero, i, o);
        Section3D a = Preset(st.X, st.Y, st.Z);
        CoinsSection(*g.Visee(i), a, m.gauche, m.droite, m.haut, m.bas);
        if (i < n) {
            // A middle station stands across both of its shots.
            Section3D b = Preset(st.X, st.Y, st.Z);
            CoinsSection(*g.Visee(i + 1), b, m.gauche, m.droite, m.haut, m.bas);
            for (std::size_t k = 0; k < 4; ++k)
                a[k] = {Stocke((static_cast<long double>(a[k].X) + b[k].X) / 2),
                        Stocke((static_cast<long double>(a[k].Y) + b[k].Y) / 2),
                        Stocke((static_cast<long double>(a[k].Z) + b[k].Z) / 2)};
        }
        sections.push_back(a);
    }
}

Modele3D ConstruitModele3D(const ListeFiches& fiches, const TOptions_Relief& o,
                           const std::function<uint32_t(const TGalerie&)>& couleur)
{
    Modele3D modele;
    TableCylindres table;
    for (const TFiche* f : fiches) {
        if (!f)
            continue;
        for (std::size_t gi = 0; gi < f->Galeries.size(); ++gi) {
            const TGalerie& g = *f->Galeries[gi];
            // A gallery without shots has no section to build: no tube.
            if (!g.Placee || NbViseesModele(g) < 1)
                continue;
            Tube3D tube;
            tube.Couleur = couleur(g);
            SectionsVisee(*f, g, static_cast<int>(gi), o, tube.Sections, table);
            modele.Tubes.push_back(std::move(tube));
        }
    }
    if (o.Cylindre) {
        for (Cylindre3D& c : table.Entrees) {
            c.Dessus += 0.01f;
            c.Dessous += 0.01f;
        }
    }
    modele.Cylindres = std::move(table.Entrees);
    return modele;
}

std::vector<std::array<int, 4>> FacesTube(int n)
{
    std::vector<std::array<int, 4>> faces;
    faces.reserve(static_cast<std::size_t>(4 * n + 2));
    faces.push_back({0, 3, 2, 1});
    faces.push_back({4 * n, 4 * n + 1, 4 * n + 2, 4 * n + 3});
    for (int i = 0; i < n; ++i) {
        const int a = 4 * i, b = 4 * i + 4;
        faces.push_back({a, a + 1, b + 1, b});          // top
        faces.push_back({a + 1, a + 2, b + 2, b + 1});  // right
        faces.push_back({a + 2, a + 3, b + 3, b + 2});  // bottom
        faces.push_back({a + 3, a, b, b + 3});          // left
    }
    return faces;
}

}  // namespace karst
