#pragma once
// Where a projection view draws: the screen or a printed page. The geometry is in world
// metres of the view's drawing plane; a surface maps it, sizes the pens and fonts and
// measures texts, so that one drawing routine serves both targets.

#include <cmath>
#include <string>

#include "platform/canvas.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "views/graphique.h"

namespace karst {

// Half a font's size in millimetres of paper: the offset of an SVG label from its point.
inline double DemiTailleMm(const Police& p) { return p.Taille() * 25.4 / 72 / 2; }

// A station's label in the drawings: its name, and its index in brackets for "Nom+Indice" (2).
inline std::string EtiquetteStation(const TPointTopo& p, int texteStation)
{
    std::string s = p.Nom.Chaine();
    if (texteStation == 2)
        s += "(" + FormatEntier(p.Indice) + ")";
    return s;
}

// The drawn part of a shot ("% dessiné"): the middle of the segment, shortened equally
// at both ends.
struct Pourcentage {
    double a, b;
    explicit Pourcentage(int pourcentage) : a(pourcentage / 200.0 + 0.5), b(1 - a) {}
    PointPlan Debut(PointPlan p, PointPlan q) const { return a * p + b * q; }
    PointPlan Fin(PointPlan p, PointPlan q) const { return b * p + a * q; }
};

// The squared distance from q to the shot a-b as the hit tests count it: to b when the
// foot of the perpendicular lies beyond b, to the shot's line when it falls within the
// shot, -1 (no candidate) when it falls before a or the shot has no length.
inline double DistanceVisee2(PointPlan q, PointPlan a, PointPlan b)
{
    const PointPlan ab = b - a, aq = q - a;
    const double t = aq.x * ab.x + aq.y * ab.y, l = ab.x * ab.x + ab.y * ab.y;
    if (t > l) {
        const PointPlan bq = q - b;
        return bq.x * bq.x + bq.y * bq.y;
    }
    if (t > 0 && l > 0) {
        const double croix = ab.x * aq.y - ab.y * aq.x;
        return croix * croix / l;
    }
    return -1;
}

// The north arrow of the options, in the world's horizontal plane: base, tip and the end
// of its half head. The "Géographique" arrow is turned anticlockwise by the geodesic angle
// (degrees); `longueur` is in world metres.
struct FlecheMonde {
    PointPlan base, pointe, tete;
};
FlecheMonde FlecheNordMonde(PointPlan base, double longueur, bool geographique, double angleGeodesique);

class SurfaceVue {
public:
    explicit SurfaceVue(TCanvas& c) : canvas(c) {}
    virtual ~SurfaceVue() = default;
    virtual void MoveTo(PointPlan p) = 0;
    virtual void LineTo(PointPlan p) = 0;
    virtual void Cercle(int diametre, PointPlan p) = 0;
    virtual void Texte(const std::string& t, PointPlan p) = 0;
    // A pen of a thickness in tenths of mm.
    virtual void Epaisseur(int dixiemes) = 0;
    // The same without the display ratio of the screen.
    virtual void EpaisseurSansRapport(int dixiemes) = 0;
    // Gives the font to the canvas, sized for it.
    virtual void Font(const TPolice& p) = 0;
    // Text sizes in mm of paper, in the last font given.
    virtual double HauteurMm(const std::string& t) = 0;
    virtual double LargeurMm(const std::string& t) = 0;
    // Gives the station-label font and returns half its letter height, in world metres at
    // the scale 1/echelle: the offset of a label from its station.
    double DemiHauteurEtiquette(const TPolice& police, double echelle)
    {
        Font(police);
        return HauteurMm("O") / 2 * echelle / 1000;
    }
    TCanvas& canvas;
};

// The station labels of a drawing: the label font given to the surface once, at the start,
// then each label written over a clear brush, up and right of its station by half the
// letter height.
class EtiquettesStations {
public:
    EtiquettesStations(SurfaceVue& s, int texteStation, const TPolice& police, double echelle)
        : s_(s), texte_(texteStation), decalage_(texteStation > 0 ? s.DemiHauteurEtiquette(police, echelle) : 0)
    {}
    void operator()(const TPointTopo& station, PointPlan p) const
    {
        s_.canvas.FixeBrush(Pinceau{kBlanc, false});
        s_.Texte(EtiquetteStation(station, texte_), p + PointPlan{decalage_, decalage_});
    }

private:
    SurfaceVue& s_;
    int texte_;
    double decalage_;
};

class SurfaceEcran : public SurfaceVue {
public:
    SurfaceEcran(TGraphique& vue, double rapport) : SurfaceVue(*vue.CanvasEcran), vue_(vue), rapport_(rapport) {}
    void MoveTo(PointPlan p) override { vue_.EcranMoveTo(p.x, p.y); }
    void LineTo(PointPlan p) override { vue_.EcranLineTo(p.x, p.y); }
    void Cercle(int diametre, PointPlan p) override { vue_.EcranCercle(diametre, p.x, p.y); }
    void Texte(const std::string& t, PointPlan p) override { vue_.EcranTexte(t, p.x, p.y); }
    void Epaisseur(int dixiemes) override { canvas.FixeLargeurPen(RoundEntier(dixiemes / 10.0 * vue_.PxParMm)); }
    void EpaisseurSansRapport(int dixiemes) override
    {
        canvas.FixeLargeurPen(RoundEntier(dixiemes / 10.0 * vue_.PxParMm / rapport_));
    }
    void Font(const TPolice& p) override { TGraphique::PoliceEcran(canvas, p, rapport_); }
    // The font is scaled by the display ratio, and so is the field PxParMm.
    double HauteurMm(const std::string& t) override { return canvas.TextHeight(t) / vue_.PxParMm; }
    double LargeurMm(const std::string& t) override { return canvas.TextWidth(t) / vue_.PxParMm; }

private:
    TGraphique& vue_;
    double rapport_;
};

class SurfacePage : public SurfaceVue {
public:
    // imprimante: the printer's own canvas, on which texts are measured; pppVue: the
    // pixels per inch a zoomed preview page rescales fonts by.
    SurfacePage(TGraphique& vue, TCanvas& imprimante, int pppVue)
        : SurfaceVue(*vue.CanvasImpr), vue_(vue), imprimante_(imprimante), pppVue_(pppVue)
    {}
    void MoveTo(PointPlan p) override { vue_.ImprMoveTo(p.x, p.y); }
    void LineTo(PointPlan p) override { vue_.ImprLineTo(p.x, p.y); }
    void Cercle(int diametre, PointPlan p) override { vue_.ImprCercle(diametre, p.x, p.y); }
    void Texte(const std::string& t, PointPlan p) override { vue_.ImprTexte(t, p.x, p.y); }
    void Epaisseur(int dixiemes) override
    {
        canvas.FixeLargeurPen(RoundEntier(dixiemes / 10.0 * vue_.PxParMmImpr * vue_.Zoom));
    }
    void EpaisseurSansRapport(int dixiemes) override { Epaisseur(dixiemes); }
    void Font(const TPolice& p) override { vue_.PolicePage(canvas, imprimante_, p, pppVue_); }
    double HauteurMm(const std::string& t) override { return imprimante_.TextHeight(t) / vue_.PxParMmImpr; }
    double LargeurMm(const std::string& t) override { return imprimante_.TextWidth(t) / vue_.PxParMmImpr; }

private:
    TGraphique& vue_;
    TCanvas& imprimante_;
    int pppVue_;
};

inline FlecheMonde FlecheNordMonde(PointPlan base, double l, bool geographique, double angleGeodesique)
{
    if (!geographique) {
        const PointPlan pointe = base + PointPlan{0, l};
        return {base, pointe, pointe + PointPlan{l / 10, -l / 2}};
    }
    const double a = DegresEnRadians(angleGeodesique);
    const double sn = std::sin(a), cs = std::cos(a);
    const PointPlan pointe = base + PointPlan{-l * sn, l * cs};
    return {base, pointe, pointe + PointPlan{l * (sn / 2 + cs / 10), -l * (cs / 2 - sn / 10)}};
}

}  // namespace karst
