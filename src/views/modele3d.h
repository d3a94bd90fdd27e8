#pragma once
// The 3D passage model shared by the OpenGL view and the VRML file: every placed gallery
// becomes a closed tube of quadrilateral cross-sections built from the widths and heights
// measured at its stations, and the junction stations may stand as vertical cylinders.
// World frame: X east, Y north, Z up, metres; corners are held at six-byte precision.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "survey/modele.h"

namespace karst {

class TOptions_Relief;

struct Coin3D {
    double X = 0, Y = 0, Z = 0;
};

// Corners 0 top left, 1 top right, 2 bottom right, 3 bottom left, left and right as seen
// looking along the shot.
using Section3D = std::array<Coin3D, 4>;

struct Tube3D {
    uint32_t Couleur = 0;  // 0x00BBGGRR
    // Section 0 at the start station, section i at the end of shot i: corner k of
    // section i is corner number 4i + k of the tube.
    std::vector<Section3D> Sections;
};

// A junction station and the size of its cylinder; the station belongs to a gallery.
struct Cylindre3D {
    const TPointTopo* Station = nullptr;
    float Rayon = 0;
    float Dessus = 0;   // height above the station
    float Dessous = 0;  // height below it
};

struct Modele3D {
    std::vector<Tube3D> Tubes;
    // In order of first registration; the 0.01 m margins are added only when the
    // cylinders are wanted.
    std::vector<Cylindre3D> Cylindres;
};

// Moves the four corners, preset to the station, to the corners of the section across
// the shot with these left and right widths and up and down heights. A shot of less than
// 0.01 m of horizontal length lays the heights horizontally along its azimuth.
void CoinsSection(const TVisee& visee, Section3D& coins, double gauche, double droite, double haut, double bas);

// Unit normal (B - A) x (C - A), left as computed when shorter than 0.001.
Coin3D NormaleFace(const Coin3D& a, const Coin3D& b, const Coin3D& c);

// The cylinders of one build: looked up by station equality.
class TableCylindres {
public:
    // The entry of the station, appended with zero sizes when absent.
    Cylindre3D& Entree(const TPointTopo& station);
    std::vector<Cylindre3D> Entrees;
};

// The sections of gallery `numero` of the sheet, and its end stations registered in the
// cylinder table.
void SectionsVisee(const TFiche& fiche, const TGalerie& galerie, int numero, const TOptions_Relief& options,
                   std::vector<Section3D>& sections, TableCylindres& cylindres);

// The model of the placed galleries of the sheets, in list order; `couleur` gives the
// colour of a gallery's tube.
Modele3D ConstruitModele3D(const ListeFiches& fiches, const TOptions_Relief& options,
                           const std::function<uint32_t(const TGalerie&)>& couleur);

// The faces of a tube of n shots as corner numbers: the start cap, the end cap, then the
// top, right, bottom and left sides of each shot.
std::vector<std::array<int, 4>> FacesTube(int n);

}  // namespace karst
