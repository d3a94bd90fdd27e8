#pragma once
// The abstract view and its world-to-screen and world-to-page mapping. A view draws world
// metres along its two drawing axes; the screen primitives map them to the pixels of the
// window's image at the view's scale, the page primitives to the pixels of one page of a
// multi-page print.

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "survey/modele.h"

namespace karst {

class ContexteVues;
class FichierSVG;
class TOptions_Plan;
class TOptions_Relief;
class TPerspective;
class TPlan;
class IFenetreCoupe;
enum class CommandeCoupe;

enum class GenreVue { Plan, Coupe, Perspective, Tableau };

// Drawing modes: the view window's mouse tool.
enum : uint16_t { ModeNormal = 0, ModeRotation = 1, ModeCouleur = 2, ModeContrainte = 3 };

// Screen points at this many pixels or more from the image origin are not drawn.
constexpr double kLimiteEcran = 10000.0;

// A point of a view's drawing plane, in metres.
struct PointPlan {
    double x = 0, y = 0;
};
inline PointPlan operator+(PointPlan a, PointPlan b) { return {a.x + b.x, a.y + b.y}; }
inline PointPlan operator-(PointPlan a, PointPlan b) { return {a.x - b.x, a.y - b.y}; }
inline PointPlan operator*(double k, PointPlan a) { return {k * a.x, k * a.y}; }

// Galleries positioned by the computation: those the plan and the perspective show.
inline bool GaleriePlacee(const TGalerie& g) { return g.Placee; }

// fn(sheet, sheet position, gallery position, gallery) for each gallery of the list for
// which `montree` holds, sheet by sheet and gallery by gallery in list order.
template <class Montree, class F>
void ParcourtGaleries(const ListeFiches& fiches, Montree&& montree, F&& fn)
{
    for (std::size_t fi = 0; fi < fiches.size(); ++fi) {
        const TFiche* f = fiches[fi];
        if (!f)
            continue;
        for (std::size_t gi = 0; gi < f->Galeries.size(); ++gi) {
            const TGalerie& g = *f->Galeries[gi];
            if (montree(g))
                fn(*f, static_cast<int>(fi), static_cast<int>(gi), g);
        }
    }
}

// A step of a repeated turn, in degrees: `premier` for the plan's angle or the perspective's
// azimuth, `second` for the elevation, which swings back at the bounds of the elevation
// shown (its sign reversed).
struct PasTour {
    double premier = 0, second = 0;
    double min = -std::numeric_limits<double>::infinity(), max = std::numeric_limits<double>::infinity();
};

// Pages along one side of a grid whose drawing spans `pages` pages (a fraction starts one
// more), at most INT_MAX.
int PagesPour(long double pages);

class TGraphique {
public:
    explicit TGraphique(ContexteVues& contexte) : contexte_(contexte) {}
    virtual ~TGraphique();
    TGraphique(const TGraphique&) = delete;
    TGraphique& operator=(const TGraphique&) = delete;

    int32_t Echelle = 0;
    int32_t PageColonne = 0, PageLigne = 0;
    int32_t MargesH = 0, MargesV = 0;
    int32_t DecalageX = 0, DecalageY = 0;
    double Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    double OrigineX = 0, OrigineY = 0;
    double PxParMm = 0;
    double PxParMmImpr = 0;
    double Zoom = 0;
    bool Donnees = false;
    int32_t DefilementX = 0, DefilementY = 0;
    TCanvas* CanvasImpr = nullptr;
    TCanvas* CanvasEcran = nullptr;

    // The eight operations.
    virtual void Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode) = 0;
    virtual void DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                             double zoom) = 0;
    virtual void Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image) = 0;
    virtual void NombrePages(int& colonnes, int& lignes, int margesH, int margesV) = 0;
    // The shot at drawing pixel (x, y) and its distance in pixels, the three indices set;
    // kRienTrouve when nothing is found (nothing placed, no scale, no row there), which no
    // tooltip or pick ever reaches: callers test the result, not the indices, which a miss
    // may leave as they were.
    virtual double Localise(int x, int y, int& fiche, int& galerie, int& point) = 0;
    static constexpr double kRienTrouve = 1e30;
    virtual void IsoleEcran(int x, int y, int rayon2) = 0;
    // The texts a view gives (selection, tooltip, angles) are Windows-1252, as the model's
    // names they hold and the canvas's texts: the view window converts them for the screen.
    virtual void Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte) = 0;
    virtual void Bulle(int fiche, int galerie, int point, TexteCp1252& texte) = 0;

    virtual GenreVue Genre() const = 0;

    // What the view window asks of any view; a view without that feature ignores it.
    // The angles the view turns by: the plan 1 (in its plane), the perspective 2 (azimuth
    // and elevation), the other views none.
    virtual int AnglesRotation() const { return 0; }
    // A mouse drag of (dx, dy) pixels that sweeps `balayage` degrees around the window's
    // centre: shown without being kept (the angles turned to, as text), or kept.
    virtual TexteCp1252 ApercuGlisse(double /*balayage*/, double /*dx*/, double /*dy*/) { return {}; }
    virtual void TourneGlisse(double /*balayage*/, double /*dx*/, double /*dy*/) {}
    // One step of a repeated turn, or (retour) the last step undone.
    virtual void TournePas(PasTour& /*pas*/, bool /*retour*/) {}
    // The view's angles in whole degrees, as the status bar shows them in rotation mode.
    virtual TexteCp1252 TexteRotation() const { return {}; }
    // What the last screen drawing left out, as the status bar says it; empty for nothing.
    virtual TexteUtf8 Omission() const { return {}; }
    // Keeps the view's angles in its options, for the next massif.
    virtual void GardeAngles(TOptions_Plan& /*plan*/, TOptions_Relief& /*relief*/) const {}
    // The SVG export of the projection views.
    virtual bool ExportableSVG() const { return false; }
    virtual void ExporteSVG(const std::string& /*nomFichier*/, bool /*illustrator*/, bool /*toutes*/) {}
    // Fits the column under drawing pixel column x (the table); false when the view has
    // no columns.
    virtual bool AjusteColonnes(int /*x*/, double /*pxParMm*/, double /*rapport*/) { return false; }
    // A command of the section's branches; false when the view has no branches.
    virtual bool Branche(CommandeCoupe /*commande*/, ContexteVues& /*contexte*/, IFenetreCoupe& /*fenetre*/)
    {
        return false;
    }
    // Galleries just put into the view, the first one's entry station to keep in sight:
    // the part of the drawing they take and that station, in millimetres of paper from the
    // drawing's top left corner. `place` lays out the stations before they are measured;
    // false, and nothing laid out, when the view does not show the first gallery.
    struct CadreGaleries {
        PointPlan debut, fin, entree;
    };
    virtual bool Cadre(const std::vector<const TGalerie*>& /*galeries*/, const std::function<void()>& /*place*/,
                       CadreGaleries& /*cadre*/) const
    {
        return false;
    }
    // The perspective's 3D mode (its OpenGL model, camera and palette) works on the
    // perspective itself; the other views have none.
    virtual TPerspective* Perspective() { return nullptr; }
    // The plan's angle is read and set by the plan options; the other views have none.
    virtual TPlan* Plan() { return nullptr; }

    // The world point of the drawing plane under drawing pixel (x, y), at the scale and
    // display of the last drawing.
    PointPlan PointDuPixel(int x, int y) const;
    // The square of a radius of sqrt(rayon2) pixels, in world metres, at the same scale.
    double Rayon2DuPixel(int rayon2) const;

    // Screen primitives (world metres) on CanvasEcran.
    void EcranMoveTo(double x, double y);
    void EcranLineTo(double x, double y);
    void EcranTexte(const std::string& texte, double x, double y);
    void EcranCercle(int diametre, double x, double y);
    void EcranCarre(double x, double y);
    // The squares that mark a highlighted shot, at both its ends, with an inverting pen:
    // erasing (affiche false) draws them again, which restores the image.
    void CarresInverses(bool affiche, double xa, double ya, double xb, double yb);
    // Page primitives on CanvasImpr.
    void ImprMoveTo(double x, double y);
    void ImprLineTo(double x, double y);
    void ImprCercle(int diametre, double x, double y);
    void ImprTexte(const std::string& texte, double x, double y);

    // Trunc(x), one less for negative x (so -2 gives -3).
    static int PartieEntiere(double x);
    // The deformation measure of a gallery for this view, or a negative value when the
    // gallery does not count (not placed, or outside the section).
    double DeformationGalerie(const TGalerie& g) const;
    // The largest deformation of the list, 1.0 when it is 0.
    float DeformationMax(const ListeFiches& fiches) const;
    // The first gallery of the largest deformation in the current sheet list.
    bool ChercheDeformationMax(int& fiche, int& galerie, int& point);
    // The pen colour of a gallery in a drawing mode (max: DeformationMax in mode 3).
    uint32_t CouleurGalerie(const TGalerie& g, uint16_t mode, float max) const;

    // Gives a screen canvas a font of the options, its height scaled by the display ratio.
    static void PoliceEcran(TCanvas& c, const Police& p, double rapport);
    // Gives a page canvas a font of the options, its height rescaled on a zoomed (preview)
    // page by the main window's pixels per inch, and the same font to the printer's canvas,
    // which measures the texts so that the preview places them as the print.
    void PolicePage(TCanvas& page, TCanvas& imprimante, const Police& p, int pppVue) const;
    // A font height of a canvas of `ppp` pixels per inch drawing a printer page at `zoom`
    // (printer pixels per mm `pxParMmImpr`): the printed height, zoomed.
    static int HauteurPoliceZoomee(int hauteur, double zoom, double pxParMmImpr, int ppp);

protected:
    ContexteVues& contexte_;

    // The current sheet list of the open massif, or null.
    const ListeFiches* FichesCourantes() const;
    // Sheet `fiche` of the current list and its gallery `galerie`, or null when either
    // index is out of the lists.
    const TGalerie* GalerieDesignee(int fiche, int galerie, const TFiche*& f) const;
    // Makes the sheets the massif's working selection (isolating what is on screen).
    void IsoleFiches(std::unique_ptr<ListeFiches> fiches);
    // Takes a corner of the drawing into Xmin..Xmax and Ymin..Ymax; the first corner
    // replaces the extent of the previous drawing.
    void EtendA(bool premier, double x, double y);
    // Widens Xmin..Xmax and Ymin..Ymax, the extent of the drawing, by a margin of 1 % of the
    // scale, and gives the image size in pixels of that extent (Dimensions).
    void ElargitEtendue(int& largeur, int& hauteur, double pxParMm, double rapport);
    // The sheets of `fiches` that have a gallery for which `retenue` holds, in their order.
    static std::unique_ptr<ListeFiches> FichesRetenues(const ListeFiches& fiches,
                                                       const std::function<bool(const TGalerie&)>& retenue);

    // Start and end of a screen drawing: scroll stored, an off-screen bitmap of the image's
    // size filled white and made CanvasEcran; then copied onto the image, which stays
    // CanvasEcran.
    std::unique_ptr<TCanvas> DebutEcran(int scrollX, int scrollY, TCanvas& image);
    void FinEcran(std::unique_ptr<TCanvas> bitmap, TCanvas& image);

    // Start of a page drawing: the page, its margins, canvas and zoom, and the printer's
    // pixels per mm (page width in pixels over the printable width in mm).
    // The page's drawing is held inside its frame until FinPage.
    void DebutPage(int colonne, int ligne, int margeGauche, int margeHaut, TCanvas& canvas, double zoom);
    void FinPage(TCanvas& canvas);
    double PxParMmImprimante() const;

    // The printable page size in mm less the margin totals; false when nothing is left.
    bool ZoneImprimable(double& largeurMm, double& hauteurMm) const;
    // Page grid with a free origin, or with a page border on the view point (ox, oy).
    void GrillePages(bool verrouille, double ox, double oy, int& colonnes, int& lignes) const;
    // OrigineX and OrigineY of the same grid.
    void OrigineGrille(bool verrouille, double ox, double oy);

    // The screen point of a world point, unrounded.
    void VersEcran(double x, double y, double& px, double& py) const;
    // The page pixel of a world point offset by (dx, dy) mm of paper.
    int PageX(double x, double dxMm = 0) const;
    int PageY(double y, double dyMm = 0) const;

private:
    // Last screen point given to the move and line primitives, unrounded, so that a
    // segment with an end beyond the drawable range is clipped to it.
    double dernierX_ = 0, dernierY_ = 0;
};

// Views that project the survey: the plan, the developed section and the perspective.
class TProjection : public TGraphique {
public:
    using TGraphique::TGraphique;
    void Bulle(int fiche, int galerie, int point, TexteCp1252& texte) override;
    bool ExportableSVG() const override { return true; }
    void ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes) override = 0;
    // A view coordinate in millimetres of paper from the drawing's top left corner, y
    // downwards.
    double MmX(double x) const { return (x - Xmin) * 1000 / Echelle; }
    double MmY(double y) const { return (Ymax - y) * 1000 / Echelle; }

protected:
    // The drawn stations of a gallery: its start, then the end of each shot.
    using StationsDessinees = std::function<std::vector<PointPlan>(const TGalerie&)>;
    // The hit test of the plan and the perspective: the shot of a placed gallery of the
    // current sheets nearest to drawing pixel (x, y), and its distance in pixels
    // (kRienTrouve, the three indices untouched, when nothing is placed or there is no
    // scale). The first gallery's start is always a candidate (as point 1); a shot counts by
    // DistanceVisee2.
    double LocaliseVisee(int x, int y, int& fiche, int& galerie, int& point, const StationsDessinees& stations);
    // The opening of this view's SVG document: the header at the size of the last
    // Dimensions, the title (the massif's file name without its folder) and the
    // description ("Plan", "Coupe", "Perspective").
    void DebutSVG(FichierSVG& f, bool illustrator, const std::string& description);
    // Sets Donnees, at the start of Dimensions: a scale, and current sheets in which
    // `limites` finds placed stations to bound. Without them the image is one pixel square.
    bool DonneesPlacees(int& largeur, int& hauteur, const std::function<bool(const ListeFiches&)>& limites);
};

}  // namespace karst
