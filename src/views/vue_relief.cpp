#include "views/vue_relief.h"

#include <cmath>

#include "platform/imprimante.h"
#include "scene3d/scene.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/options.h"
#include "views/surface.h"
#include "views/svg.h"

namespace karst {

namespace {

using Pt = PointPlan;

// A world point seen by the view: across (h), depth (d) and up (v).
struct Vu {
    double h = 0, d = 0, v = 0;
    Pt plan() const { return {h, v}; }
};

Vu Voit(const TPerspective& p, double x, double y, double z)
{
    Vu r;
    p.Projette(x, y, z, r.h, r.d, r.v);
    return r;
}

// Shots that have a station record.
int NbVisees(const TGalerie& g) { return std::min<int>(g.NbVisees, g.NbStations()); }

// The stations of a placed gallery as seen: the start, then the end of each shot.
std::vector<Vu> StationsVues(const TPerspective& p, const TGalerie& g)
{
    std::vector<Vu> r;
    const int n = NbVisees(g);
    r.reserve(static_cast<std::size_t>(n + 1));
    r.push_back(Voit(p, g.Depart.X, g.Depart.Y, g.Depart.Z));
    for (int k = 1; k <= n; ++k) {
        const TStation& s = g.Station(k);
        r.push_back(Voit(p, s.X, s.Y, s.Z));
    }
    return r;
}

// The three axes of the options: the origin and the end of the X, Y and Z axes.
std::array<Vu, 4> Axes(const TPerspective& p, const TOptions_Relief& o)
{
    const double x = static_cast<double>(o.X_Echelle) * 1000, y = static_cast<double>(o.Y_Echelle) * 1000,
                 z = o.Z_Echelle;
    const double l = o.Long_Echelle;
    return {Voit(p, x, y, z), Voit(p, x + (o.X_Inverse ? -l : l), y, z), Voit(p, x, y + (o.Y_Inverse ? -l : l), z),
            Voit(p, x, y, z + (o.Z_Inverse ? -l : l))};
}

// The north arrow of the options at its altitude: base, tip, end of the half head.
std::array<Vu, 3> Nord(const TPerspective& p, const TOptions_Relief& o, double angleGeodesique)
{
    const double l = o.Long_Nord / 1000.0 * p.Echelle;
    const FlecheMonde f = FlecheNordMonde({static_cast<double>(o.X_Nord) * 1000, static_cast<double>(o.Y_Nord) * 1000},
                                          l, o.Representation, angleGeodesique);
    const double z = o.Z_Nord;
    return {Voit(p, f.base.x, f.base.y, z), Voit(p, f.pointe.x, f.pointe.y, z), Voit(p, f.tete.x, f.tete.y, z)};
}

// The twelve edges of the stations' box, in drawing order.
std::array<std::pair<Vu, Vu>, 12> Aretes(const TPerspective& p)
{
    const double x[2] = {p.BoiteMin.X.d(), p.BoiteMax.X.d()}, y[2] = {p.BoiteMin.Y.d(), p.BoiteMax.Y.d()},
                 z[2] = {p.BoiteMin.Z.d(), p.BoiteMax.Z.d()};
    auto c = [&](int i, int j, int k) { return Voit(p, x[i], y[j], z[k]); };
    return {{{c(0, 0, 0), c(1, 0, 0)},
             {c(1, 0, 0), c(1, 1, 0)},
             {c(1, 1, 0), c(0, 1, 0)},
             {c(0, 1, 0), c(0, 0, 0)},
             {c(0, 0, 0), c(0, 0, 1)},
             {c(0, 0, 1), c(1, 0, 1)},
             {c(1, 0, 1), c(1, 1, 1)},
             {c(1, 1, 1), c(0, 1, 1)},
             {c(0, 1, 1), c(0, 0, 1)},
             {c(1, 0, 1), c(1, 0, 0)},
             {c(1, 1, 0), c(1, 1, 1)},
             {c(0, 1, 1), c(0, 1, 0)}}};
}

// The plain drawing, on the screen or on a page: galleries, then axes, north arrow and box.
void DessinePlain(TPerspective& p, SurfaceVue& s, const TOptions_Relief& o, const ListeFiches& fiches, uint16_t mode,
                  double angleGeodesique)
{
    TCanvas& c = s.canvas;
    const Pourcentage pc(o.pourcentage);
    c.FixeCouleurPen(kNoir);
    c.FixeBrush(Pinceau{kNoir, true});
    s.Epaisseur(o.Epaisseur_Visee);
    const EtiquettesStations etiquette(s, o.Texte_Station, o.Police_Station, p.Echelle);
    const float max = mode == ModeContrainte ? p.DeformationMax(fiches) : 1.0f;
    auto disque = [&](Pt pt) {
        c.FixeBrush(Pinceau{kNoir, true});
        s.Cercle(o.diametre, pt);
    };

    ParcourtGaleries(fiches, GaleriePlacee, [&](const TFiche&, int, int, const TGalerie& g) {
        c.FixeCouleurPen(p.CouleurGalerie(g, mode, max));
        const std::vector<Vu> st = StationsVues(p, g);
        if (o.diametre != 0)
            disque(st[0].plan());
        if (o.Texte_Station >= 1 && !g.Depart.Terminus)
            etiquette(g.Depart, st[0].plan());
        for (std::size_t k = 1; k < st.size(); ++k) {
            const Pt a = st[k - 1].plan(), b = st[k].plan();
            s.MoveTo(pc.Debut(a, b));
            s.LineTo(pc.Fin(a, b));
            if (o.diametre != 0)
                disque(b);
        }
        // Without shots the last station is the start: the end's label stands there too.
        if (o.Texte_Station > 0 && !g.Arrivee.Terminus)
            etiquette(g.Arrivee, st.back().plan());
    });

    if (o.Affiche_Echelle) {
        c.FixeCouleurPen(kNoir);
        s.EpaisseurSansRapport(o.Epaisseur_Echelle);
        const auto a = Axes(p, o);
        for (int i = 1; i <= 3; ++i) {
            s.MoveTo(a[0].plan());
            s.LineTo(a[static_cast<std::size_t>(i)].plan());
        }
    }
    if (o.Affiche_Nord) {
        c.FixeCouleurPen(kNoir);
        s.EpaisseurSansRapport(o.Epaisseur_Nord);
        const auto n = Nord(p, o, angleGeodesique);
        s.MoveTo(n[0].plan());
        s.LineTo(n[1].plan());
        s.LineTo(n[2].plan());
        s.Font(o.Police_Nord);
        c.FixeBrush(Pinceau{kBlanc, false});
        s.Texte(o.Texte_Nord.str(), n[2].plan());
    }
    if (o.Affiche_Quadri) {
        c.FixeCouleurPen(static_cast<Couleur>(o.Couleur_Cadre));
        s.Epaisseur(o.Epaisseur_Quadri);
        const auto ar = Aretes(p);
        s.MoveTo(ar[0].first.plan());
        for (std::size_t i = 0; i < 9; ++i)
            s.LineTo(ar[i].second.plan());
        for (std::size_t i = 9; i < 12; ++i) {
            s.MoveTo(ar[i].first.plan());
            s.LineTo(ar[i].second.plan());
        }
    }
}

// The red/blue pair: each eye 35 mm of display beside the centre and 0.5 m of display in
// front of the plane at the centre's depth.
void DessineStereo(TPerspective& p, const ListeFiches& fiches, double rapport)
{
    TCanvas& c = *p.CanvasEcran;
    const double oeil = p.Echelle * 0.07 / rapport / 2;
    const double cx = (p.Xmin + p.Xmax) / 2, cy = (p.Ymin + p.Ymax) / 2;
    auto trace = [&](const std::vector<Vu>& st, double decalage) {
        bool leve = true;
        for (const Vu& s : st) {
            const double q = (s.d - p.ProfondeurCentre) / p.Echelle * rapport + 0.5;
            // A point nearer than the eyes has no image: the line is broken there.
            if (!(q > 0)) {
                leve = true;
                continue;
            }
            const double h = ((s.h - cx) - decalage) * 0.5 / q + decalage + cx, v = (s.v - cy) * 0.5 / q + cy;
            if (leve)
                p.EcranMoveTo(h, v);
            else
                p.EcranLineTo(h, v);
            leve = false;
        }
    };
    ParcourtGaleries(fiches, GaleriePlacee, [&](const TFiche&, int, int, const TGalerie& g) {
        const std::vector<Vu> st = StationsVues(p, g);
        c.FixeCouleurPen(0xFF0000);
        trace(st, oeil);
        c.FixeCouleurPen(0x0000C0);
        trace(st, -oeil);
    });
}

}  // namespace

TPerspective::TPerspective(ContexteVues& contexte) : TProjection(contexte) { Echelle = 100; }

TPerspective::~TPerspective() = default;

void TPerspective::Tourne(double dAzimut, double dElevation)
{
    Azimut += dAzimut;
    if (Azimut > 360)
        Azimut -= 360;
    if (Azimut < 0)
        Azimut += 360;
    Elevation += dElevation;
    if (Elevation > 90)
        Elevation = 89;
    if (Elevation < -90)
        Elevation = -89;
    SinAzimut = std::sin(DegresEnRadians(Azimut));
    CosAzimut = std::cos(DegresEnRadians(Azimut));
    SinElevation = std::sin(DegresEnRadians(Elevation));
}

std::string TPerspective::TexteAngles(double dAzimut, double dElevation)
{
    const double a = Azimut + dAzimut;
    SinAzimut = std::sin(DegresEnRadians(a));
    CosAzimut = std::cos(DegresEnRadians(a));
    if (Elevation + dElevation > 90)
        dElevation = 89 - Elevation;
    if (Elevation + dElevation < -90)
        dElevation = -89 - Elevation;
    SinElevation = std::sin(DegresEnRadians(Elevation + dElevation));
    return FormatGeneral(a, 3) + " " + kDegre + "  " + FormatGeneral(-(Elevation + dElevation), 2) + " " + kDegre;
}

TexteCp1252 TPerspective::ApercuGlisse(double, double dx, double dy)
{
    return TexteCp1252(TexteAngles(dx / 3.0, dy / 3.0));
}

void TPerspective::TourneGlisse(double, double dx, double dy) { Tourne(dx / 3.0, dy / 3.0); }

void TPerspective::TournePas(PasTour& pas, bool retour)
{
    if (retour) {
        Tourne(-pas.premier, -pas.second);
        return;
    }
    if (-Elevation > pas.max || -Elevation < pas.min)
        pas.second = -pas.second;
    Tourne(pas.premier, pas.second);
}

TexteCp1252 TPerspective::TexteRotation() const
{
    // The elevation is shown with its sign reversed.
    return TexteCp1252(FormatEntier(RoundEntier(Azimut)) + " " + kDegre + "  " + FormatEntier(-RoundEntier(Elevation)) +
                       " " + kDegre);
}

void TPerspective::GardeAngles(TOptions_Plan&, TOptions_Relief& relief) const
{
    relief.Angle_Horizontal = Azimut;
    relief.Angle_Vertical = Elevation;
}

void TPerspective::Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas&)
{
    if (!DonneesPlacees(largeur, hauteur,
                        [this](const ListeFiches& f) { return CalculeLimites(f, BoiteMin, BoiteMax); }))
        return;
    double dmin = 0, dmax = 0;
    for (int i = 0; i < 8; ++i) {
        const Vu c = Voit(*this, (i & 1) ? BoiteMax.X : BoiteMin.X, (i & 2) ? BoiteMax.Y : BoiteMin.Y,
                          (i & 4) ? BoiteMax.Z : BoiteMin.Z);
        EtendA(i == 0, c.h, c.v);
        if (i == 0 || c.d < dmin)
            dmin = c.d;
        if (i == 0 || c.d > dmax)
            dmax = c.d;
    }
    ProfondeurCentre = (dmin + dmax) / 2;
    ElargitEtendue(largeur, hauteur, pxParMm, rapport);
}

void TPerspective::Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode)
{
    auto bitmap = DebutEcran(scrollX, scrollY, image);
    TCanvas& c = *CanvasEcran;
    if (Stereo) {
        // A black background on which the two colours are OR-ed: crossings turn magenta.
        c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
        c.FixeBrush(Pinceau{kNoir, true});
        c.FillRect(0, 0, c.Largeur(), c.Hauteur());
        c.FixeModePen(ModeStylo::Fusion);
    }
    PxParMm = pxParMm * rapport;
    const TOptions_Relief* o = contexte_.OptionsRelief();
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && o && fiches && PxParMm > 0 && rapport > 0) {
        SurfaceEcran s(*this, rapport);
        if (Stereo) {
            c.FixeCouleurPen(kNoir);
            c.FixeBrush(Pinceau{kNoir, true});
            s.Epaisseur(o->Epaisseur_Visee);
            DessineStereo(*this, *fiches, rapport);
        } else {
            DessinePlain(*this, s, *o, *fiches, mode, static_cast<double>(contexte_.Massif()->Angle_Geodesique));
        }
    }
    c.FixeModePen(ModeStylo::Copie);
    FinEcran(std::move(bitmap), image);
}

void TPerspective::NombrePages(int& colonnes, int& lignes, int margesH, int margesV)
{
    MargesH = margesH;
    MargesV = margesV;
    GrillePages(false, 0, 0, colonnes, lignes);
}

void TPerspective::DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                               double zoom)
{
    DebutPage(colonne, ligne, margeGauche, margeHaut, canvas, zoom);
    OrigineGrille(false, 0, 0);
    TImprimante& imprimante = contexte_.Imprimante();
    const TOptions_Relief* o = contexte_.OptionsRelief();
    const ListeFiches* fiches = FichesCourantes();
    double ph, pv;
    if (Donnees && o && fiches && PxParMmImpr > 0 && ZoneImprimable(ph, pv)) {
        SurfacePage s(*this, imprimante.Canvas(), contexte_.PixelsParPouceVuePlan());
        canvas.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
        DessinePlain(*this, s, *o, *fiches, mode, static_cast<double>(contexte_.Massif()->Angle_Geodesique));
    }
    FinPage(canvas);
}

double TPerspective::Localise(int x, int y, int& fiche, int& galerie, int& point)
{
    return LocaliseVisee(x, y, fiche, galerie, point, [this](const TGalerie& g) {
        std::vector<Pt> r;
        for (const Vu& s : StationsVues(*this, g))
            r.push_back(s.plan());
        return r;
    });
}

void TPerspective::IsoleEcran(int x, int y, int rayon2)
{
    TMassif* massif = contexte_.Massif();
    const ListeFiches* fiches = FichesCourantes();
    if (!massif || !fiches || Echelle <= 0 || PxParMm <= 0)
        return;
    const Pt c = PointDuPixel(x, y);
    const double r2 = Rayon2DuPixel(rayon2);
    auto nouvelle = std::make_unique<ListeFiches>();
    if (Donnees) {
        nouvelle = FichesRetenues(*fiches, [&](const TGalerie& g) {
            if (!g.Placee)
                return false;
            for (const Vu& s : StationsVues(*this, g))
                if ((s.h - c.x) * (s.h - c.x) + (s.v - c.y) * (s.v - c.y) < r2)
                    return true;
            return false;
        });
    }
    IsoleFiches(std::move(nouvelle));
}

void TPerspective::Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte)
{
    texte = {};
    const TFiche* f;
    const TGalerie* designee = GalerieDesignee(fiche, galerie, f);
    if (!designee)
        return;
    const TGalerie& g = *designee;
    if (affiche)
        texte = TexteCp1252(f->LibelleGalerie(g.Depart, g.Arrivee));
    const TOptions_Relief* o = contexte_.OptionsRelief();
    if (!CanvasEcran || !o || !g.Placee || Echelle <= 0 || PxParMm <= 0)
        return;
    const std::vector<Vu> st = StationsVues(*this, g);
    if (point < 1 || static_cast<std::size_t>(point) >= st.size())
        return;
    TCanvas& c = *CanvasEcran;
    // The shots' pen, rather than whatever width the image's canvas was left with.
    c.FixeLargeurPen(RoundEntier(o->Epaisseur_Visee / 10.0 * PxParMm));
    const Pt a = st[static_cast<std::size_t>(point - 1)].plan(), b = st[static_cast<std::size_t>(point)].plan();
    CarresInverses(affiche, a.x, a.y, b.x, b.y);
    if (mode == ModeNormal) {
        const Pourcentage pc(o->pourcentage);
        c.FixeCouleurPen(affiche ? kRouge : kNoir);
        const Pt debut = pc.Debut(a, b), fin = pc.Fin(a, b);
        EcranMoveTo(debut.x, debut.y);
        EcranLineTo(fin.x, fin.y);
    }
}

void TPerspective::ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes)
{
    FichierSVG f(nomFichier);
    DebutSVG(f, illustrator, "Perspective");
    const TOptions_Relief* options = contexte_.OptionsRelief();
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && options && fiches && Echelle > 0) {
        const TOptions_Relief& o = *options;
        auto ligne = [&](Pt a, Pt b) { f.Ligne(LigneSVG(MmX(a.x), MmY(a.y), MmX(b.x), MmY(b.y))); };
        const Pourcentage pc(o.pourcentage);
        const double demi = DemiTailleMm(o.Police_Station);

        const std::string couches[3] = {
            CoucheSVG("visees", illustrator, StyleTraitSVG(o.Epaisseur_Visee)),
            CoucheSVG("stations", illustrator, "stroke:black; fill:black;"),
            CoucheSVG("carrefours", illustrator, StylePoliceSVG(o.Police_Station.Taille(), o.Police_Station.Nom))};
        for (int passe = 0; passe < 3; ++passe) {
            f.Ligne(couches[passe]);
            for (const TFiche* fiche : *fiches) {
                if (!fiche)
                    continue;
                f.Ligne("<g>");
                for (const TGalerie* g : fiche->Galeries) {
                    if (!g->Placee)
                        continue;
                    f.Ligne("<g>");
                    const std::vector<Vu> st = StationsVues(*this, *g);
                    auto etiquette = [&](const TPointTopo& station, Pt p) {
                        f.Ligne(TexteSVG(MmX(p.x) + demi, MmY(p.y) + demi, EtiquetteStation(station, o.Texte_Station)));
                    };
                    if (passe == 0) {
                        for (std::size_t k = 1; k < st.size(); ++k) {
                            const Pt a = st[k - 1].plan(), b = st[k].plan();
                            ligne(pc.Debut(a, b), pc.Fin(a, b));
                        }
                    } else if (passe == 1 && o.diametre != 0) {
                        for (const Vu& s : st)
                            f.Ligne(CercleSVG(MmX(s.h), MmY(s.v), o.diametre / 20.0));
                    } else if (passe == 2 && o.Texte_Station > 0) {
                        if (!g->Depart.Terminus)
                            etiquette(g->Depart, st.front().plan());
                        if (!g->Arrivee.Terminus)
                            etiquette(g->Arrivee, st.back().plan());
                    }
                    f.Ligne("</g>");
                }
                f.Ligne("</g>");
            }
            f.Ligne("</g>");
        }

        if (o.Affiche_Nord || toutes) {
            const auto n = Nord(*this, o, static_cast<double>(contexte_.Massif()->Angle_Geodesique));
            f.Ligne(CoucheSVG("nord", illustrator));
            f.Ligne(GroupeTraitSVG(o.Epaisseur_Nord));
            ligne(n[0].plan(), n[1].plan());
            ligne(n[1].plan(), n[2].plan());
            f.Ligne("</g>");
            f.Ligne(GroupePoliceSVG(o.Police_Nord.Taille(), o.Police_Nord.Nom));
            const double dn = DemiTailleMm(o.Police_Nord);
            f.Ligne(TexteSVG(MmX(n[2].h) + dn, MmY(n[2].v) + dn, o.Texte_Nord.str()));
            f.Ligne("</g>");
            f.Ligne("</g>");
        }
        if (o.Affiche_Echelle || toutes) {
            f.Ligne(CoucheSVG("repere", illustrator, StyleTraitSVG(o.Epaisseur_Echelle)));
            const auto a = Axes(*this, o);
            for (std::size_t i = 1; i <= 3; ++i)
                ligne(a[0].plan(), a[i].plan());
            f.Ligne("</g>");
        }
        if (o.Affiche_Quadri || toutes) {
            f.Ligne(CoucheSVG("quadrillatere", illustrator, StyleTraitSVG(o.Epaisseur_Quadri)));
            for (const auto& [a, b] : Aretes(*this))
                ligne(a.plan(), b.plan());
            f.Ligne("</g>");
        }
    }
    f.Ligne("</svg>");
    f.Ferme();
}

}  // namespace karst
