#pragma once
// The scale bar of the plan and of the section, drawn on a surface or written as an SVG
// layer: a bar of a whole number of metres, so many mm of paper high, cut into equal parts,
// with "0" under its start and its length under its end.

#include <string>

#include "views/options.h"
#include "views/surface.h"

namespace karst {

class FichierSVG;

struct BarreEchelle {
    PointPlan base;     // the start of the bar, in the drawing plane
    int longueur = 0;   // metres on the ground
    int hauteur = 0;    // mm of paper
    int parts = 0;      // equal parts; none below 2
    int epaisseur = 0;  // line thickness, tenths of mm
    const TPolice& police;
};

// On a surface at the scale 1/echelle; `sansRapport`: the pen ignores the screen's display
// ratio.
void DessineBarreEchelle(SurfaceVue& s, const BarreEchelle& b, double echelle, bool sansRapport);
// The layer `id` of an SVG document, the bar's start at (x, y) mm of paper.
void EcritBarreEchelle(FichierSVG& f, const std::string& id, bool illustrator, const BarreEchelle& b, double x,
                       double y, double echelle);

}  // namespace karst
