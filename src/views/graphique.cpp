#include "views/graphique.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/imprimante.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/couleurs.h"
#include "views/options.h"
#include "views/surface.h"
#include "views/svg.h"

namespace karst {

TGraphique::~TGraphique() = default;

namespace {

bool DansEcran(double x, double y) { return std::fabs(x) < kLimiteEcran && std::fabs(y) < kLimiteEcran; }

// A screen coordinate to the nearest pixel, halves to even (the default rounding mode),
// held within a billion pixels: the rounding of RoundEntier in double precision, for the
// hundreds of thousands of points of a screen drawing.
int PixelEcran(double v)
{
    constexpr double borne = 1e9;
    if (!(v > -borne))
        return std::isnan(v) ? 0 : -static_cast<int>(borne);
    if (!(v < borne))
        return static_cast<int>(borne);
    return static_cast<int>(std::lrint(v));
}

// Clips the segment to the square |x|, |y| <= b (Liang-Barsky); false when nothing of it
// lies inside.
bool CoupeSegment(double& x0, double& y0, double& x1, double& y1, double b)
{
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    auto borne = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        double r = q / p;
        if (p < 0) {
            if (r > t1)
                return false;
            if (r > t0)
                t0 = r;
        } else {
            if (r < t0)
                return false;
            if (r < t1)
                t1 = r;
        }
        return true;
    };
    if (!borne(-dx, x0 + b) || !borne(dx, b - x0) || !borne(-dy, y0 + b) || !borne(dy, b - y0))
        return false;
    const double ax = x0, ay = y0;
    if (t1 < 1)
        x1 = ax + t1 * dx, y1 = ay + t1 * dy;
    if (t0 > 0)
        x0 = ax + t0 * dx, y0 = ay + t0 * dy;
    return true;
}

}  // namespace

// ---- Screen primitives ---------------------------------------------------------------------

void TGraphique::VersEcran(double x, double y, double& px, double& py) const
{
    px = (x - Xmin) * 1000.0 / Echelle * PxParMm - DefilementX;
    py = (Ymax - y) * 1000.0 / Echelle * PxParMm - DefilementY;
}

PointPlan TGraphique::PointDuPixel(int x, int y) const
{
    return {x / 1000.0 * Echelle / PxParMm + Xmin, Ymax - y / 1000.0 * Echelle / PxParMm};
}

double TGraphique::Rayon2DuPixel(int rayon2) const
{
    const double k = Echelle / PxParMm / 1000;
    return k * k * rayon2;
}

void TGraphique::EcranMoveTo(double x, double y)
{
    VersEcran(x, y, dernierX_, dernierY_);
    if (DansEcran(dernierX_, dernierY_))
        CanvasEcran->MoveTo(PixelEcran(dernierX_), PixelEcran(dernierY_));
}

void TGraphique::EcranLineTo(double x, double y)
{
    double x0 = dernierX_, y0 = dernierY_, x1, y1;
    VersEcran(x, y, x1, y1);
    dernierX_ = x1;
    dernierY_ = y1;
    const bool dedans0 = DansEcran(x0, y0), dedans1 = DansEcran(x1, y1);
    if (dedans0 && dedans1) {
        CanvasEcran->LineTo(PixelEcran(x1), PixelEcran(y1));
        return;
    }
    // An end beyond the drawable range: draw only the part of the segment inside it,
    // never a chord from the last point drawn.
    if (!std::isfinite(x1) || !std::isfinite(y1))
        return;
    if (!std::isfinite(x0) || !std::isfinite(y0)) {
        if (dedans1)
            CanvasEcran->MoveTo(PixelEcran(x1), PixelEcran(y1));
        return;
    }
    const double borne = kLimiteEcran - 1;
    if (!CoupeSegment(x0, y0, x1, y1, borne))
        return;
    if (!dedans0)
        CanvasEcran->MoveTo(PixelEcran(x0), PixelEcran(y0));
    CanvasEcran->LineTo(PixelEcran(x1), PixelEcran(y1));
}

void TGraphique::EcranTexte(const std::string& texte, double x, double y)
{
    double px, py;
    VersEcran(x, y, px, py);
    if (DansEcran(px, py))
        CanvasEcran->TextOut(PixelEcran(px), PixelEcran(py), texte);
}

void TGraphique::EcranCercle(int diametre, double x, double y)
{
    double px, py;
    VersEcran(x, y, px, py);
    if (!DansEcran(px, py))
        return;
    const double r = diametre / 20.0;
    const double mmX = (x - Xmin) * 1000.0 / Echelle, mmY = (Ymax - y) * 1000.0 / Echelle;
    CanvasEcran->Ellipse(PixelEcran((mmX - r) * PxParMm - DefilementX), PixelEcran((mmY - r) * PxParMm - DefilementY),
                         PixelEcran((mmX + r) * PxParMm - DefilementX), PixelEcran((mmY + r) * PxParMm - DefilementY));
}

void TGraphique::EcranCarre(double x, double y)
{
    double px, py;
    VersEcran(x, y, px, py);
    if (!DansEcran(px, py))
        return;
    const int cx = PixelEcran(px), cy = PixelEcran(py);
    CanvasEcran->Rectangle(cx - 4, cy - 4, cx + 4, cy + 4);
}

void TGraphique::CarresInverses(bool affiche, double xa, double ya, double xb, double yb)
{
    TCanvas& c = *CanvasEcran;
    const Couleur couleur = affiche ? kNoir : kBlanc;
    c.FixePen(Stylo{couleur, c.Pen().largeur, ModeStylo::Inverse, true});
    c.FixeBrush(Pinceau{couleur, true});
    EcranCarre(xa, ya);
    EcranCarre(xb, yb);
    c.FixeModePen(ModeStylo::Copie);
}

// ---- Page primitives -------------------------------------------------------------------------

int TGraphique::PageX(double x, double dxMm) const
{
    const double w = contexte_.Imprimante().LargeurPage();
    return RoundEntier((((x - Xmin) * 1000.0 / Echelle + dxMm + DecalageX) * PxParMmImpr -
                        (w - MargesH * PxParMmImpr) * (PageColonne - OrigineX)) *
                       Zoom);
}

int TGraphique::PageY(double y, double dyMm) const
{
    const double h = contexte_.Imprimante().HauteurPage();
    return RoundEntier((((Ymax - y) * 1000.0 / Echelle + dyMm + DecalageY) * PxParMmImpr -
                        (h - MargesV * PxParMmImpr) * (PageLigne - OrigineY)) *
                       Zoom);
}

void TGraphique::ImprMoveTo(double x, double y)
{
    if (!contexte_.Interrompu())
        CanvasImpr->MoveTo(PageX(x), PageY(y));
}

void TGraphique::ImprLineTo(double x, double y)
{
    if (!contexte_.Interrompu())
        CanvasImpr->LineTo(PageX(x), PageY(y));
}

void TGraphique::ImprCercle(int diametre, double x, double y)
{
    const double r = diametre / 20.0;
    if (!contexte_.Interrompu())
        CanvasImpr->Ellipse(PageX(x, -r), PageY(y, -r), PageX(x, r), PageY(y, r));
}

void TGraphique::ImprTexte(const std::string& texte, double x, double y)
{
    if (!contexte_.Interrompu())
        CanvasImpr->TextOut(PageX(x), PageY(y), texte);
}

// ---- Shared helpers --------------------------------------------------------------------------

int TGraphique::PartieEntiere(double x)
{
    const int t = TruncEntier(x);
    return x >= 0 ? t : t - 1;
}

const ListeFiches* TGraphique::FichesCourantes() const
{
    TMassif* m = contexte_.Massif();
    return m ? m->FichesCourantes.get() : nullptr;
}

const TGalerie* TGraphique::GalerieDesignee(int fiche, int galerie, const TFiche*& f) const
{
    const ListeFiches* fiches = FichesCourantes();
    f = nullptr;
    if (!fiches || fiche < 0 || static_cast<std::size_t>(fiche) >= fiches->size())
        return nullptr;
    f = (*fiches)[static_cast<std::size_t>(fiche)];
    if (!f || galerie < 0 || static_cast<std::size_t>(galerie) >= f->Galeries.size())
        return nullptr;
    return f->Galeries[static_cast<std::size_t>(galerie)];
}

void TGraphique::IsoleFiches(std::unique_ptr<ListeFiches> fiches)
{
    TMassif* massif = contexte_.Massif();
    if (!massif)
        return;
    massif->Selection = std::move(fiches);
    massif->FichesCourantes = massif->Selection.get();
    massif->SelectionActive = true;
}

void TGraphique::EtendA(bool premier, double x, double y)
{
    if (premier || x < Xmin)
        Xmin = x;
    if (premier || x > Xmax)
        Xmax = x;
    if (premier || y < Ymin)
        Ymin = y;
    if (premier || y > Ymax)
        Ymax = y;
}

void TGraphique::ElargitEtendue(int& largeur, int& hauteur, double pxParMm, double rapport)
{
    const double marge = Echelle * 0.01;
    Xmin -= marge;
    Xmax += marge;
    Ymin -= marge;
    Ymax += marge;
    largeur = RoundEntier((Xmax - Xmin) / Echelle * 1000 * pxParMm * rapport);
    hauteur = RoundEntier((Ymax - Ymin) / Echelle * 1000 * pxParMm * rapport);
}

std::unique_ptr<ListeFiches> TGraphique::FichesRetenues(const ListeFiches& fiches,
                                                        const std::function<bool(const TGalerie&)>& retenue)
{
    auto retenues = std::make_unique<ListeFiches>();
    for (TFiche* f : fiches) {
        if (f && std::any_of(f->Galeries.begin(), f->Galeries.end(), [&](const TGalerie* g) { return retenue(*g); }))
            retenues->push_back(f);
    }
    return retenues;
}

double TGraphique::DeformationGalerie(const TGalerie& g) const
{
    if (!g.Placee)
        return -1;
    const double h = static_cast<double>(static_cast<long double>(g.EcartHorizontal));
    const double v = static_cast<double>(static_cast<long double>(g.EcartVertical));
    switch (Genre()) {
    case GenreVue::Plan: return h;
    case GenreVue::Coupe: return g.DansCoupe ? v : -1;
    default: return std::sqrt(h * h + v * v);
    }
}

float TGraphique::DeformationMax(const ListeFiches& fiches) const
{
    double max = 0;
    for (const TFiche* f : fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            const double d = DeformationGalerie(*g);
            if (d > max)
                max = d;
        }
    }
    return max == 0 ? 1.0f : static_cast<float>(max);
}

bool TGraphique::ChercheDeformationMax(int& fiche, int& galerie, int& point)
{
    const ListeFiches* fiches = FichesCourantes();
    if (!fiches || Genre() == GenreVue::Tableau)
        return false;
    double max = 0;
    int meilleureFiche = -1, meilleureGalerie = -1;
    for (std::size_t i = 0; i < fiches->size(); ++i) {
        const TFiche* f = (*fiches)[i];
        if (!f)
            continue;
        for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
            const double d = DeformationGalerie(*f->Galeries[j]);
            if (d > max) {
                max = d;
                meilleureFiche = static_cast<int>(i);
                meilleureGalerie = static_cast<int>(j);
            }
        }
    }
    if (max == 0)
        return false;
    fiche = meilleureFiche;
    galerie = meilleureGalerie;
    point = 1;
    return true;
}

uint32_t TGraphique::CouleurGalerie(const TGalerie& g, uint16_t mode, float max) const
{
    switch (mode) {
    case ModeCouleur: return static_cast<uint32_t>(g.Couleur);
    case ModeContrainte: return CouleurDeformation(DeformationGalerie(g), max);
    default: return kNoir;
    }
}

std::unique_ptr<TCanvas> TGraphique::DebutEcran(int scrollX, int scrollY, TCanvas& image)
{
    DefilementX = scrollX;
    DefilementY = scrollY;
    auto bitmap = image.CreeCompatible(image.Largeur(), image.Hauteur());
    CanvasEcran = bitmap.get();
    CanvasEcran->FixePen(Stylo{kBlanc, 1, ModeStylo::Copie, true});
    CanvasEcran->FixeBrush(Pinceau{kBlanc, true});
    CanvasEcran->FillRect(0, 0, bitmap->Largeur(), bitmap->Hauteur());
    return bitmap;
}

void TGraphique::FinEcran(std::unique_ptr<TCanvas> bitmap, TCanvas& image)
{
    CanvasEcran = &image;
    image.Draw(0, 0, *bitmap);
}

void TGraphique::PoliceEcran(TCanvas& c, const Police& p, double rapport)
{
    c.FixeFont(p);
    c.FixeHauteurFont(RoundEntier(c.Font().Hauteur * rapport));
}

void TGraphique::PolicePage(TCanvas& page, TCanvas& imprimante, const Police& p, int pppVue) const
{
    page.FixeFont(p);
    if (Zoom != 1.0 && pppVue > 0)
        page.FixeHauteurFont(HauteurPoliceZoomee(page.Font().Hauteur, Zoom, PxParMmImpr, pppVue));
    if (&imprimante != &page)
        imprimante.FixeFont(p);
}

int TGraphique::HauteurPoliceZoomee(int hauteur, double zoom, double pxParMmImpr, int ppp)
{
    return ppp > 0 ? RoundEntier(hauteur * zoom * pxParMmImpr * 25.4 / ppp) : hauteur;
}

void TGraphique::DebutPage(int colonne, int ligne, int margeGauche, int margeHaut, TCanvas& canvas, double zoom)
{
    PageColonne = colonne;
    PageLigne = ligne;
    DecalageX = margeGauche;
    DecalageY = margeHaut;
    CanvasImpr = &canvas;
    Zoom = zoom;
    PxParMmImpr = PxParMmImprimante();
    // The step from page to page is the frame's width and height: what lies beyond the
    // frame belongs to the next page, and drawn here too it would be printed twice.
    const QRect cadre =
        CadrePage(contexte_.Imprimante(), margeGauche, margeHaut, MargesH - margeGauche, MargesV - margeHaut);
    auto z = [zoom](int px) { return RoundEntier(px * static_cast<long double>(zoom)); };
    canvas.FixeDecoupe(z(cadre.left()), z(cadre.top()), z(cadre.right()) + 1, z(cadre.bottom()) + 1);
}

void TGraphique::FinPage(TCanvas& canvas)
{
    canvas.SansDecoupe();
    // The caller adds the page frame and labels over a clear brush.
    canvas.FixeBrush(Pinceau{kBlanc, false});
}

double TGraphique::PxParMmImprimante() const
{
    TImprimante& imp = contexte_.Imprimante();
    return imp.LargeurMm() > 0 ? static_cast<double>(imp.LargeurPage()) / imp.LargeurMm() : 0;
}

bool TGraphique::ZoneImprimable(double& largeurMm, double& hauteurMm) const
{
    TImprimante& imp = contexte_.Imprimante();
    largeurMm = imp.LargeurMm() - MargesH;
    hauteurMm = imp.HauteurMm() - MargesV;
    return largeurMm > 0 && hauteurMm > 0 && Echelle > 0;
}

namespace {

// The locked grid along one axis, in mm of paper from the drawing's edge: bands of `page`
// mm with a border on the origin `o`, from the first to the last that the drawing's
// content touches (the drawing is `etendue` mm long with a 10 mm margin at each end; a band
// that meets the content only on its border adds nothing). Gives the number of bands and
// where the content starts in the first, as a fraction of a band; both stay exact however
// far the origin lies, since neither depends on how many bands lie between it and the
// drawing.
int BandesVerrouillees(double etendue, double o, double page, double& decalage)
{
    const double fin = std::max(10.0, etendue - 10);
    // A border within a micrometre of paper of the content's edge is on it: an origin typed
    // on an edge station differs from it in its last digits (six-byte reals), and must not
    // add a band that only touches the drawing.
    auto bord = [page](double q) {
        const double n = std::nearbyint(q);
        return std::abs(q - n) * page < 1e-3 ? n : q;
    };
    const double q = bord((10 - o) / page), qFin = bord((fin - o) / page);
    decalage = q - std::floor(q);
    // Band numbers counted from the origin are exact while they are not huge, so content
    // ending on a border is seen as such; beyond, only the offset in the first band is.
    const double bandes = std::abs(q) < 1e12 && std::abs(qFin) < 1e12 ? std::ceil(qFin) - std::floor(q)
                                                                      : std::ceil(decalage + (fin - 10) / page);
    return std::max(1, TruncEntier(bandes));
}

}  // namespace

int PagesPour(long double pages)
{
    // A drawing too wide for a count of pages is as many as can be counted; the job is
    // refused long before.
    return TruncEntier(std::min<long double>(pages, INT_MAX - 1)) + 1;
}

void TGraphique::GrillePages(bool verrouille, double ox, double oy, int& colonnes, int& lignes) const
{
    double ph, pv;
    if (!ZoneImprimable(ph, pv)) {
        // No printable area left inside the margins: no page to print.
        colonnes = lignes = 0;
        return;
    }
    const double e = Echelle;
    if (!verrouille) {
        colonnes = PagesPour(((Xmax - Xmin) - e * 0.02) * 1000 / e / ph);
        lignes = PagesPour(((Ymax - Ymin) - e * 0.02) * 1000 / e / pv);
        return;
    }
    // Counting the pages on each side of the origin would, for an origin outside the
    // drawing, count pages that hold nothing or none at all: the grid keeps a border on the
    // origin but runs from the first to the last band that holds part of the drawing.
    double decalage;
    colonnes = BandesVerrouillees((Xmax - Xmin) * 1000 / e, (ox - Xmin) * 1000 / e, ph, decalage);
    lignes = BandesVerrouillees((Ymax - Ymin) * 1000 / e, (Ymax - oy) * 1000 / e, pv, decalage);
}

void TGraphique::OrigineGrille(bool verrouille, double ox, double oy)
{
    double ph, pv;
    if (!ZoneImprimable(ph, pv)) {
        OrigineX = OrigineY = 0;
        return;
    }
    const double e = Echelle;
    if (verrouille) {
        // Page 0 is the first band of the grid above: a page starts at
        // (PageColonne - OrigineX) * ph mm from the drawing's edge, and the content's start
        // (10 mm) lies `decalage` of a band into page 0.
        double decalage;
        BandesVerrouillees((Xmax - Xmin) * 1000 / e, (ox - Xmin) * 1000 / e, ph, decalage);
        OrigineX = decalage - 10 / ph;
        BandesVerrouillees((Ymax - Ymin) * 1000 / e, (Ymax - oy) * 1000 / e, pv, decalage);
        OrigineY = decalage - 10 / pv;
        return;
    }
    int colonnes, lignes;
    GrillePages(false, 0, 0, colonnes, lignes);
    OrigineX = (colonnes - ((Xmax - Xmin) * 1000 / e) / ph) / 2;
    OrigineY = (lignes - ((Ymax - Ymin) * 1000 / e) / pv) / 2;
}

// ---- SVG -------------------------------------------------------------------------------------

void TProjection::DebutSVG(FichierSVG& f, bool illustrator, const std::string& description)
{
    const double e = Echelle > 0 ? Echelle : 1;
    EcritEnteteSVG(f, RoundEntier((Xmax - Xmin) * 1000 / e), RoundEntier((Ymax - Ymin) * 1000 / e), illustrator);
    TMassif* massif = contexte_.Massif();
    // The path is the system's; the document's texts are Windows-1252.
    const std::string nom = massif ? CheminEnCp1252(massif->NomFichier) : std::string();
    f.Ligne("<title>" + TexteXml(NomSansDossier(nom)) + "</title>");
    f.Ligne("<desc>" + description + "</desc>");
}

// ---- Hit test --------------------------------------------------------------------------------

double TProjection::LocaliseVisee(int x, int y, int& fiche, int& galerie, int& point, const StationsDessinees& stations)
{
    double meilleur = 0;
    bool premier = true;
    const ListeFiches* fiches = FichesCourantes();
    if (Echelle <= 0 || PxParMm <= 0)
        return kRienTrouve;
    if (Donnees && fiches) {
        const PointPlan q = PointDuPixel(x, y);
        ParcourtGaleries(*fiches, GaleriePlacee, [&](const TFiche&, int fi, int gi, const TGalerie& g) {
            // The sheet, gallery and point of a find are always set together.
            auto retient = [&](double d2, int k) {
                meilleur = d2;
                fiche = fi;
                galerie = gi;
                point = k;
            };
            const std::vector<PointPlan> st = stations(g);
            const PointPlan d = q - st[0];
            const double d0 = d.x * d.x + d.y * d.y;
            if (premier || d0 < meilleur)
                retient(d0, 1);
            premier = false;
            for (std::size_t k = 1; k < st.size(); ++k) {
                const double candidat = DistanceVisee2(q, st[k - 1], st[k]);
                if (candidat >= 0 && candidat < meilleur)
                    retient(candidat, static_cast<int>(k));
            }
        });
    }
    if (premier)
        return kRienTrouve;
    return std::sqrt(meilleur) * 1000 / Echelle * PxParMm;
}

// ---- Tooltip ---------------------------------------------------------------------------------

namespace {

std::string F1(long double v) { return FormatNombre(v, 8, 2); }
std::string F2(long double v) { return FormatGeneral(v, 3); }

}  // namespace

bool TProjection::DonneesPlacees(int& largeur, int& hauteur, const std::function<bool(const ListeFiches&)>& limites)
{
    const ListeFiches* fiches = FichesCourantes();
    Donnees = fiches && Echelle > 0 && limites(*fiches);
    if (!Donnees)
        largeur = hauteur = 1;
    return Donnees;
}

void TProjection::Bulle(int fiche, int galerie, int point, TexteCp1252& bulle)
{
    bulle = {};
    const TFiche* f;
    const TGalerie* designee = GalerieDesignee(fiche, galerie, f);
    if (!designee)
        return;
    const TGalerie& g = *designee;
    if (point < 1 || point > g.NbVisees || point > g.NbStations() || !g.Visee(point))
        return;
    const TVisee& v = *g.Visee(point);
    const ChoixBulle choix = contexte_.Bulles();
    std::string texte;

    // Station k: the start for 0, else the end of shot k.
    auto station = [&](int k, long double& x, long double& y, long double& z) {
        if (k == 0) {
            x = g.Depart.X, y = g.Depart.Y, z = g.Depart.Z;
        } else {
            const TStation& s = g.Station(k);
            x = s.X, y = s.Y, z = s.Z;
        }
    };

    if (choix.Coordonnees) {
        long double x0, y0, z0, x1, y1, z1;
        station(point - 1, x0, y0, z0);
        station(point, x1, y1, z1);
        texte += "(" + F1(x0) + ", " + F1(y0) + ", " + F1(z0) + ")-(" + F1(x1) + ", " + F1(y1) + ", " + F1(z1) + ")";
    }
    if (choix.Commentaires)
        texte += v.Commentaire.Chaine();
    if (choix.Visees)
        texte += "(" + F2(v.Longueur) + LibelleUniteLongueur(v.UniteLongueur) + "," + F2(v.Azimut) +
                 LibelleUnite(kUnitesAzimut, v.UniteAzimut) + "," + F2(v.Pente) + LibelleUnitePente(v.UnitePente) + ")";
    if (choix.Largeur) {
        texte += "(l=" + v.Gauche.str();
        if (!v.Droite.empty())
            texte += "/" + v.Droite.str();
        texte += ")";
    }
    if (choix.Hauteur) {
        texte += "(h=" + v.Haut.str();
        if (!v.Bas.empty())
            texte += "/" + v.Bas.str();
        texte += ")";
    }
    if (choix.Deformation) {
        int n = point;
        if (n == 1 && g.Visee(1)->Longueur < 0.01L)
            n = 2;
        float d = 0;
        if (n <= g.NbVisees && n <= g.NbStations() && g.Visee(n)) {
            long double ax, ay, az, bx, by, bz;
            station(n - 1, ax, ay, az);
            station(n, bx, by, bz);
            const TVisee& vn = *g.Visee(n);
            long double rx = vn.X, ry = vn.Y, rz = vn.Z;
            if (n >= 2 && g.Visee(n - 1)) {
                rx -= g.Visee(n - 1)->X;
                ry -= g.Visee(n - 1)->Y;
                rz -= g.Visee(n - 1)->Z;
            }
            const float ex = static_cast<float>((bx - ax) - rx), ey = static_cast<float>((by - ay) - ry),
                        ez = static_cast<float>((bz - az) - rz);
            float somme = 0;
            switch (Genre()) {
            case GenreVue::Plan: somme = ex * ex + ey * ey; break;
            case GenreVue::Coupe: somme = ez * ez; break;
            default: somme = ex * ex + ey * ey + ez * ez; break;
            }
            const long double longueur = vn.Longueur;
            // A shot of no length has no deformation to show (rather than a division by 0).
            if (longueur != 0)
                d = static_cast<float>(std::sqrt(somme) / longueur *
                                       (vn.UniteLongueur == kUniteCentimetres ? 10000 : 100));
        }
        texte += " " + FormatFixe(d, 3, 1) + "%";
    }
    bulle = TexteCp1252(texte);
}

}  // namespace karst
