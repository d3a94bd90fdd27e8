#pragma once
// Where the developed section puts things: the galleries shown, the section point of each
// of their stations, the drawn part of a shot, the heights at a station and the
// graduations of a vertical scale. Shared by the drawing, the hit test and the SVG export.

#include <algorithm>
#include <utility>

#include "survey/modele.h"
#include "survey/nombres.h"
#include "views/options.h"
#include "views/surface.h"

namespace karst::coupe {

// A point of the section plane: abscissa and altitude (y), metres.
using Pt = PointPlan;

// Galleries put into the section and positioned by the computation.
inline bool Montree(const TGalerie& g) { return g.Placee && g.DansCoupe; }
// Shots that have a station record.
inline int NbViseesMontrees(const TGalerie& g) { return std::min<int>(g.NbVisees, g.NbStations()); }
inline int NbSuitesValides(const TGalerie& g) { return std::clamp<int>(g.NbSuites, 0, kMaxSuites); }

// Station i of a shown gallery (0 its start station, else the end of shot i).
inline Pt StationCoupe(const TGalerie& g, int i)
{
    if (i == 0)
        return {(g.Sens ? g.CoupeX0 : g.CoupeX1).d(), g.Depart.Z.d() + g.CoupeZ0.d()};
    const TStation& s = g.Station(i);
    return {s.Abscisse.d(), s.Z.d() + g.CoupeZ0.d()};
}

// Up and down heights at a station, metres; -1 when unknown.
struct Hauteurs {
    double haut = -1, bas = -1;
};
inline bool Connue(double h) { return h > -0.5; }
inline Hauteurs HauteursA(const TFiche& f, int galerie, int station)
{
    Hauteurs h;
    f.HauteursStation(galerie, station, h.haut, h.bas);
    return h;
}

// fn(sheet, sheet position, gallery position, gallery) for each shown gallery, sheet by
// sheet and gallery by gallery in list order.
template <class F>
void ParcourtGaleries(const ListeFiches& fiches, F&& fn)
{
    karst::ParcourtGaleries(fiches, Montree, std::forward<F>(fn));
}

// fn(value) for the multiples of the step between the scale's bounds, upwards. A step of 0
// or less has no graduation.
template <class F>
void Graduations(const TEchelleVerticale& e, int pas, F&& fn)
{
    if (pas <= 0)
        return;
    const int premier = RoundEntier(static_cast<double>(e.ZMin) / pas + 0.4999999);
    const int dernier = RoundEntier(static_cast<double>(e.ZMax) / pas - 0.4999999);
    for (int k = premier; k <= dernier; ++k)
        fn(pas * k);
}

}  // namespace karst::coupe
