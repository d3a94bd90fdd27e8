#include "views/plan.h"

#include <cmath>

#include "platform/imprimante.h"
#include "survey/nombres.h"
#include "views/barre_echelle.h"
#include "views/contexte.h"
#include "views/options.h"
#include "views/surface.h"
#include "views/svg.h"

namespace karst {

namespace {

using Pt = PointPlan;

// Widths measured at a station, in metres; -1 when not measured.
struct Largeurs {
    double gauche = -1, droite = -1;
};

bool Mesuree(double largeur) { return largeur > -0.5; }

// One shot of a placed gallery, with what the walls and width marks need: its direction
// in the turned frame and the widths at both ends.
struct PasVisee {
    int k = 0;
    Pt A, B;
    bool longueurNonNulle = false;
    Pt u;  // unit direction; the last one computed for a shot of no plan length
    Largeurs debut, fin;

    Pt Gauche() const { return {-u.y, u.x}; }
    Pt Droite() const { return {u.y, -u.x}; }
};

// Walks the placed galleries of the current sheets in drawing order. The direction of the
// walls goes on from one shot to the next, across galleries, as the drawing does.
class ParcoursPlan {
public:
    ParcoursPlan(const TPlan& plan, bool largeurs) : plan_(plan), largeurs_(largeurs) {}

    Pt Tourne(double x, double y) const
    {
        Pt p;
        plan_.Projette(x, y, p.x, p.y);
        return p;
    }
    Pt Depart(const TGalerie& g) const { return Tourne(g.Depart.X, g.Depart.Y); }
    Pt Station(const TGalerie& g, int k) const { return Tourne(g.Station(k).X, g.Station(k).Y); }
    // Shots that have a station record.
    static int NbVisees(const TGalerie& g) { return std::min<int>(g.NbVisees, g.NbStations()); }
    // The turned stations of a gallery: its start, then the end of each shot.
    std::vector<Pt> Stations(const TGalerie& g) const
    {
        std::vector<Pt> r{Depart(g)};
        for (int k = 1; k <= NbVisees(g); ++k)
            r.push_back(Station(g, k));
        return r;
    }

    // parVisee(const PasVisee&) for each shot of gallery gi of sheet f.
    template <class F>
    void Galerie(const TFiche& f, int gi, const TGalerie& g, F&& parVisee)
    {
        PasVisee v;
        v.A = Depart(g);
        if (largeurs_)
            f.LargeursStation(gi, 0, v.debut.gauche, v.debut.droite);
        const int n = NbVisees(g);
        for (int k = 1; k <= n; ++k) {
            v.k = k;
            v.B = Station(g, k);
            const TVisee* visee = g.Visee(k);
            v.longueurNonNulle = visee && visee->Longueur != 0;
            if (largeurs_) {
                const Pt d = v.B - v.A;
                const double l = std::sqrt(d.x * d.x + d.y * d.y);
                if (l > 0)
                    u_ = (1 / l) * d;
                v.u = u_;
                f.LargeursStation(gi, k, v.fin.gauche, v.fin.droite);
            }
            parVisee(static_cast<const PasVisee&>(v));
            v.debut = v.fin;
            v.A = v.B;
        }
    }

private:
    const TPlan& plan_;
    bool largeurs_;
    Pt u_;
};

// The north arrow of the options, turned with the plan: base, tip and head end.
struct Fleche {
    Pt base, pointe, tete;
};

Fleche FlecheNord(const ParcoursPlan& parcours, const TOptions_Plan& o, double echelle, double angleGeodesique)
{
    const double l = echelle * o.Long_Nord / 1000;
    const Pt base{static_cast<double>(o.X_Nord) * 1000, static_cast<double>(o.Y_Nord) * 1000};
    const FlecheMonde f = FlecheNordMonde(base, l, o.Representation, angleGeodesique);
    return {parcours.Tourne(f.base.x, f.base.y), parcours.Tourne(f.pointe.x, f.pointe.y),
            parcours.Tourne(f.tete.x, f.tete.y)};
}

// The scale bar of the options, its start turned with the plan.
BarreEchelle BarreDuPlan(const ParcoursPlan& parcours, const TOptions_Plan& o)
{
    return {parcours.Tourne(static_cast<double>(o.X_Echelle) * 1000, static_cast<double>(o.Y_Echelle) * 1000),
            o.Long_Echelle,
            o.Largeur_Echelle,
            o.Subdivision,
            o.Epaisseur_Echelle,
            o.Police_Echelle};
}

// segment(a, b) for the two strokes of each grid cross, at the multiples of the step over
// the box of the stations. A step of 0 or less has no crosses. False when the crosses were
// too many to draw.
template <class F>
bool CroixGrille(const TPlan& plan, const ParcoursPlan& parcours, const TOptions_Plan& o, F&& segment)
{
    if (o.Pas <= 0)
        return true;
    const double pas = o.Pas, l = plan.Echelle * o.Longueur_Quadri / 1000.0;
    const Pt axeX = l * Pt{plan.CosAngle, -plan.SinAngle}, axeY = l * Pt{plan.SinAngle, plan.CosAngle};
    const int i0 = TGraphique::PartieEntiere(static_cast<double>(plan.LimiteMin.X) / pas),
              i1 = TGraphique::PartieEntiere(static_cast<double>(plan.LimiteMax.X) / pas) + 1,
              j0 = TGraphique::PartieEntiere(static_cast<double>(plan.LimiteMin.Y) / pas),
              j1 = TGraphique::PartieEntiere(static_cast<double>(plan.LimiteMax.Y) / pas) + 1;
    // A step so fine for the cave that the crosses would run to millions draws no grid: it
    // would only be a grey field, after a long wait.
    constexpr double kCroixMax = 1e6;
    if ((static_cast<double>(i1) - i0 + 1) * (static_cast<double>(j1) - j0 + 1) > kCroixMax)
        return false;
    for (int i = i0; i <= i1; ++i)
        for (int j = j0; j <= j1; ++j) {
            const Pt n = parcours.Tourne(i * pas, j * pas);
            segment(n - axeX, n + axeX);
            segment(n - axeY, n + axeY);
        }
    return true;
}

// What Dessine and DessinePage draw once the surface is set: the galleries, the north
// arrow, the scale bar and the grid. False when the grid asked for was left out.
bool DessinePlan(TPlan& plan, SurfaceVue& s, const TOptions_Plan& o, const ListeFiches& fiches, uint16_t mode,
                 double angleGeodesique)
{
    TCanvas& c = s.canvas;
    const double e = plan.Echelle;
    const Pourcentage pc(o.pourcentage);
    c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush(Pinceau{kNoir, true});
    s.Epaisseur(o.Epaisseur_Visee);
    const EtiquettesStations etiquette(s, o.Texte_Station, o.Police_Station, e);
    const float max = mode == ModeContrainte ? plan.DeformationMax(fiches) : 1.0f;
    const bool largeurs = o.Afficher_Habillage || o.Representation_Largeur != 0;

    auto disque = [&](int diametre, Pt pt) {
        c.FixeBrush(Pinceau{kNoir, true});
        s.Cercle(diametre, pt);
    };

    ParcoursPlan parcours(plan, largeurs);
    ParcourtGaleries(fiches, GaleriePlacee, [&](const TFiche& f, int, int gi, const TGalerie& g) {
        c.FixeCouleurPen(plan.CouleurGalerie(g, mode, max));
        const Pt depart = parcours.Depart(g);
        if (o.diametre != 0)
            disque(o.diametre, depart);
        if (o.Texte_Station >= 1 && !g.Depart.Terminus)
            etiquette(g.Depart, depart);
        Pt dernier = depart;
        parcours.Galerie(f, gi, g, [&](const PasVisee& v) {
            s.MoveTo(pc.Debut(v.A, v.B));
            s.LineTo(pc.Fin(v.A, v.B));
            if (largeurs && v.longueurNonNulle) {
                if (o.Afficher_Habillage) {
                    s.Epaisseur(o.Epaisseur_Habit);
                    if (Mesuree(v.debut.gauche) && Mesuree(v.fin.gauche)) {
                        s.MoveTo(v.A + v.debut.gauche * v.Gauche());
                        s.LineTo(v.B + v.fin.gauche * v.Gauche());
                    }
                    if (Mesuree(v.debut.droite) && Mesuree(v.fin.droite)) {
                        s.MoveTo(v.A + v.debut.droite * v.Droite());
                        s.LineTo(v.B + v.fin.droite * v.Droite());
                    }
                }
                if (o.Representation_Largeur != 0) {
                    s.Epaisseur(o.Epaisseur_Largeur);
                    auto marques = [&](Pt station, const Largeurs& l) {
                        const Pt cotes[2] = {station + l.gauche * v.Gauche(), station + l.droite * v.Droite()};
                        const bool ok[2] = {Mesuree(l.gauche), Mesuree(l.droite)};
                        for (int i = 0; i < 2; ++i) {
                            if (!ok[i])
                                continue;
                            if (o.Representation_Largeur == 1) {
                                s.MoveTo(station);
                                s.LineTo(cotes[i]);
                            } else if (o.Representation_Largeur == 2) {
                                disque(o.Epaisseur_Largeur / 2, cotes[i]);
                            }
                        }
                    };
                    if (o.AuDebut)
                        marques(v.A, v.debut);
                    if (o.AlaFin)
                        marques(v.B, v.fin);
                }
            }
            s.Epaisseur(o.Epaisseur_Visee);
            if (o.diametre != 0)
                disque(o.diametre, v.B);
            dernier = v.B;
        });
        // Without shots the last station is the start: the end's label stands there too.
        if (o.Texte_Station > 0 && !g.Arrivee.Terminus)
            etiquette(g.Arrivee, dernier);
    });

    // North arrow.
    if (o.Affiche_Nord) {
        c.FixeCouleurPen(kNoir);
        s.Epaisseur(o.Epaisseur_Nord);
        const Fleche fl = FlecheNord(parcours, o, e, angleGeodesique);
        s.MoveTo(fl.base);
        s.LineTo(fl.pointe);
        s.LineTo(fl.tete);
        s.Font(o.Police_Nord);
        c.FixeBrush(Pinceau{kBlanc, false});
        s.Texte(o.Texte_Nord.str(), fl.tete);
    }

    // Scale bar, parallel to the screen.
    if (o.Affiche_Echelle)
        DessineBarreEchelle(s, BarreDuPlan(parcours, o), e, false);

    // Grid: crosses at the multiples of the step over the box of the stations, drawn last.
    if (o.Affiche_Quadri) {
        c.FixeCouleurPen(kNoir);
        s.Epaisseur(o.Epaisseur_Quadri);
        return CroixGrille(plan, parcours, o, [&](Pt a, Pt b) {
            s.MoveTo(a);
            s.LineTo(b);
        });
    }
    return true;
}

}  // namespace

TPlan::TPlan(ContexteVues& contexte) : TProjection(contexte) { Echelle = 100; }

void TPlan::Tourne(double delta)
{
    Angle += delta;
    if (Angle > 360)
        Angle -= 360;
    else if (Angle < 0)
        Angle += 360;
    SinAngle = std::sin(DegresEnRadians(Angle));
    CosAngle = std::cos(DegresEnRadians(Angle));
}

void TPlan::ApercuRotation(double delta, std::string& texte)
{
    const double a = Angle + delta;
    SinAngle = std::sin(DegresEnRadians(a));
    CosAngle = std::cos(DegresEnRadians(a));
    texte = FormatGeneral(a, 3) + " " + kDegre;
}

TexteCp1252 TPlan::ApercuGlisse(double balayage, double, double)
{
    std::string texte;
    ApercuRotation(balayage, texte);
    return TexteCp1252(texte);
}

void TPlan::TourneGlisse(double balayage, double, double) { Tourne(balayage); }

void TPlan::TournePas(PasTour& pas, bool retour) { Tourne(retour ? -pas.premier : pas.premier); }

TexteCp1252 TPlan::TexteRotation() const { return TexteCp1252(FormatEntier(RoundEntier(Angle)) + " " + kDegre); }

void TPlan::GardeAngles(TOptions_Plan& plan, TOptions_Relief&) const { plan.Angle = Angle; }

void TPlan::Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas&)
{
    if (!DonneesPlacees(largeur, hauteur,
                        [this](const ListeFiches& f) { return CalculeLimites(f, LimiteMin, LimiteMax); }))
        return;
    const double x0 = LimiteMin.X, y0 = LimiteMin.Y, x1 = LimiteMax.X, y1 = LimiteMax.Y;
    const double coins[4][2] = {{x0, y0}, {x0, y1}, {x1, y0}, {x1, y1}};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        Projette(coins[i][0], coins[i][1], x, y);
        EtendA(i == 0, x, y);
    }
    ElargitEtendue(largeur, hauteur, pxParMm, rapport);
}

void TPlan::Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode)
{
    auto bitmap = DebutEcran(scrollX, scrollY, image);
    PxParMm = pxParMm * rapport;
    const TOptions_Plan* o = contexte_.OptionsPlan();
    const ListeFiches* fiches = FichesCourantes();
    grilleOmise_ = false;
    if (Donnees && o && fiches && PxParMm > 0) {
        SurfaceEcran s(*this, rapport);
        grilleOmise_ =
            !DessinePlan(*this, s, *o, *fiches, mode, static_cast<double>(contexte_.Massif()->Angle_Geodesique));
    }
    FinEcran(std::move(bitmap), image);
}

TexteUtf8 TPlan::Omission() const
{
    return TexteUtf8(grilleOmise_ ? "Quadrillage non dessiné : à ce pas, il compterait plus d'un million de croix."
                                  : "");
}

void TPlan::OrigineTournee(const TOptions_Plan& o, double& ox, double& oy) const
{
    Projette(static_cast<double>(o.X_Origine), static_cast<double>(o.Y_Origine), ox, oy);
}

void TPlan::NombrePages(int& colonnes, int& lignes, int margesH, int margesV)
{
    MargesH = margesH;
    MargesV = margesV;
    const TOptions_Plan* o = contexte_.OptionsPlan();
    double ox = 0, oy = 0;
    const bool verrouille = o && o->Origine;
    if (verrouille)
        OrigineTournee(*o, ox, oy);
    GrillePages(verrouille, ox, oy, colonnes, lignes);
}

void TPlan::DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                        double zoom)
{
    DebutPage(colonne, ligne, margeGauche, margeHaut, canvas, zoom);
    const TOptions_Plan* o = contexte_.OptionsPlan();
    double ox = 0, oy = 0;
    const bool verrouille = o && o->Origine;
    if (verrouille)
        OrigineTournee(*o, ox, oy);
    OrigineGrille(verrouille, ox, oy);
    TImprimante& imprimante = contexte_.Imprimante();
    double ph, pv;
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && o && fiches && PxParMmImpr > 0 && ZoneImprimable(ph, pv)) {
        SurfacePage s(*this, imprimante.Canvas(), contexte_.PixelsParPouceVuePlan());
        DessinePlan(*this, s, *o, *fiches, mode, static_cast<double>(contexte_.Massif()->Angle_Geodesique));
    }
    FinPage(canvas);
}

double TPlan::Localise(int x, int y, int& fiche, int& galerie, int& point)
{
    const ParcoursPlan parcours(*this, false);
    return LocaliseVisee(x, y, fiche, galerie, point, [&](const TGalerie& g) { return parcours.Stations(g); });
}

void TPlan::IsoleEcran(int x, int y, int rayon2)
{
    TMassif* massif = contexte_.Massif();
    const ListeFiches* fiches = FichesCourantes();
    if (!massif || !fiches || Echelle <= 0 || PxParMm <= 0)
        return;
    const Pt q = PointDuPixel(x, y);
    const double qx = q.x, qy = q.y;
    const double r2 = Rayon2DuPixel(rayon2);
    ParcoursPlan parcours(*this, false);
    auto proche = [&](Pt p) { return (p.x - qx) * (p.x - qx) + (p.y - qy) * (p.y - qy) < r2; };
    IsoleFiches(FichesRetenues(*fiches, [&](const TGalerie& g) {
        if (!g.Placee)
            return false;
        if (proche(parcours.Depart(g)))
            return true;
        for (int s = 1; s <= ParcoursPlan::NbVisees(g); ++s)
            if (proche(parcours.Station(g, s)))
                return true;
        return false;
    }));
}

void TPlan::Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte)
{
    texte = {};
    const TFiche* fichePtr;
    const TGalerie* designee = GalerieDesignee(fiche, galerie, fichePtr);
    if (!designee)
        return;
    const TFiche& f = *fichePtr;
    const TGalerie& g = *designee;
    if (affiche) {
        texte = TexteCp1252(f.LibelleGalerie(g.Depart, g.Arrivee));
    }
    const TOptions_Plan* o = contexte_.OptionsPlan();
    if (!CanvasEcran || !o || !g.Placee || Echelle <= 0 || PxParMm <= 0)
        return;
    TCanvas& c = *CanvasEcran;
    c.FixeModePen(ModeStylo::Copie);
    c.FixeLargeurPen(RoundEntier(o->Epaisseur_Visee / 10.0 * PxParMm));
    const Pourcentage pc(o->pourcentage);
    ParcoursPlan parcours(*this, false);
    parcours.Galerie(f, galerie, g, [&](const PasVisee& v) {
        if (v.k != point)
            return;
        CarresInverses(affiche, v.A.x, v.A.y, v.B.x, v.B.y);
        if (mode == ModeNormal) {
            c.FixeCouleurPen(affiche ? kRouge : kNoir);
            const Pt debut = pc.Debut(v.A, v.B), fin = pc.Fin(v.A, v.B);
            EcranMoveTo(debut.x, debut.y);
            EcranLineTo(fin.x, fin.y);
        }
    });
}

void TPlan::ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes)
{
    FichierSVG f(nomFichier);
    DebutSVG(f, illustrator, "Plan");
    TMassif* massif = contexte_.Massif();
    const double e = Echelle;
    const TOptions_Plan* options = contexte_.OptionsPlan();
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && options && fiches && Echelle > 0) {
        const TOptions_Plan& o = *options;
        auto X = [&](Pt pt) { return MmX(pt.x); };
        auto Y = [&](Pt pt) { return MmY(pt.y); };
        auto ligne = [&](Pt a, Pt b) { f.Ligne(LigneSVG(X(a), Y(a), X(b), Y(b))); };
        const Pourcentage pc(o.pourcentage);
        const double demiPolice = DemiTailleMm(o.Police_Station);
        const bool largeurs = o.Afficher_Habillage || o.Representation_Largeur != 0 || toutes;

        enum Couche { Visees, Parois, LargeursC, Stations, Carrefours };
        const std::string entetes[5] = {
            CoucheSVG("visees", illustrator, StyleTraitSVG(o.Epaisseur_Visee)),
            CoucheSVG("parois", illustrator, StyleTraitSVG(o.Epaisseur_Habit)),
            CoucheSVG("largeurs", illustrator, StyleTraitSVG(o.Epaisseur_Largeur) + " fill:black;"),
            CoucheSVG("stations", illustrator, "stroke:black; fill:black;"),
            CoucheSVG("carrefours", illustrator, StylePoliceSVG(o.Police_Station.Taille(), o.Police_Station.Nom))};
        for (int couche = Visees; couche <= Carrefours; ++couche) {
            f.Ligne(entetes[couche]);
            ParcoursPlan parcours(*this, largeurs);
            for (const TFiche* fiche : *fiches) {
                if (!fiche)
                    continue;
                f.Ligne("<g>");
                for (std::size_t gi = 0; gi < fiche->Galeries.size(); ++gi) {
                    const TGalerie& g = *fiche->Galeries[gi];
                    if (!g.Placee)
                        continue;
                    f.Ligne("<g>");
                    const Pt depart = parcours.Depart(g);
                    Pt dernier = depart;
                    auto etiquette = [&](const TPointTopo& station, Pt pt) {
                        f.Ligne(TexteSVG(X(pt) + demiPolice, Y(pt) + demiPolice,
                                         EtiquetteStation(station, o.Texte_Station)));
                    };
                    const bool cercles = o.diametre != 0 || toutes;
                    if (couche == Stations && cercles)
                        f.Ligne(CercleSVG(X(depart), Y(depart), o.diametre / 20.0));
                    if (couche == Carrefours && (o.Texte_Station > 0 || toutes) && !g.Depart.Terminus)
                        etiquette(g.Depart, depart);
                    parcours.Galerie(*fiche, static_cast<int>(gi), g, [&](const PasVisee& v) {
                        dernier = v.B;
                        switch (couche) {
                        case Visees: ligne(pc.Debut(v.A, v.B), pc.Fin(v.A, v.B)); break;
                        case Parois:
                            if ((o.Afficher_Habillage || toutes) && v.longueurNonNulle) {
                                if (Mesuree(v.debut.gauche) && Mesuree(v.fin.gauche))
                                    ligne(v.A + v.debut.gauche * v.Gauche(), v.B + v.fin.gauche * v.Gauche());
                                if (Mesuree(v.debut.droite) && Mesuree(v.fin.droite))
                                    ligne(v.A + v.debut.droite * v.Droite(), v.B + v.fin.droite * v.Droite());
                            }
                            break;
                        case LargeursC: {
                            if (!v.longueurNonNulle)
                                break;
                            const bool traits = o.Representation_Largeur == 1 || toutes;
                            const bool points = o.Representation_Largeur == 2 && !toutes;
                            auto marques = [&](Pt station, const Largeurs& l) {
                                const Pt cotes[2] = {station + l.gauche * v.Gauche(), station + l.droite * v.Droite()};
                                const bool ok[2] = {Mesuree(l.gauche), Mesuree(l.droite)};
                                for (int i = 0; i < 2; ++i) {
                                    if (!ok[i])
                                        continue;
                                    if (traits)
                                        ligne(station, cotes[i]);
                                    else if (points)
                                        f.Ligne(CercleSVG(X(cotes[i]), Y(cotes[i]), o.Epaisseur_Largeur / 20.0));
                                }
                            };
                            if (o.AuDebut || toutes)
                                marques(v.A, v.debut);
                            if (o.AlaFin || toutes)
                                marques(v.B, v.fin);
                            break;
                        }
                        case Stations:
                            if (cercles)
                                f.Ligne(CercleSVG(X(v.B), Y(v.B), o.diametre / 20.0));
                            break;
                        default: break;
                        }
                    });
                    if (couche == Carrefours && (o.Texte_Station > 0 || toutes) && !g.Arrivee.Terminus)
                        etiquette(g.Arrivee, dernier);
                    f.Ligne("</g>");
                }
                f.Ligne("</g>");
            }
            f.Ligne("</g>");
        }

        ParcoursPlan parcours(*this, false);
        if (o.Affiche_Nord || toutes) {
            f.Ligne(CoucheSVG("nord", illustrator));
            f.Ligne(GroupeTraitSVG(o.Epaisseur_Nord));
            const Fleche fl = FlecheNord(parcours, o, e, static_cast<double>(massif->Angle_Geodesique));
            ligne(fl.base, fl.pointe);
            ligne(fl.pointe, fl.tete);
            f.Ligne("</g>");
            f.Ligne(GroupePoliceSVG(o.Police_Nord.Taille(), o.Police_Nord.Nom));
            const double dn = DemiTailleMm(o.Police_Nord);
            f.Ligne(TexteSVG(X(fl.tete) + dn, Y(fl.tete) + dn, o.Texte_Nord.str()));
            f.Ligne("</g>");
            f.Ligne("</g>");
        }

        if (o.Affiche_Echelle || toutes) {
            const BarreEchelle b = BarreDuPlan(parcours, o);
            EcritBarreEchelle(f, "echelle", illustrator, b, X(b.base), Y(b.base), e);
        }

        if (o.Affiche_Quadri || toutes) {
            f.Ligne(CoucheSVG("quadrillage", illustrator, StyleTraitSVG(o.Epaisseur_Quadri)));
            // A step of 0 or less has no crosses: the group stays empty.
            CroixGrille(*this, parcours, o, ligne);
            f.Ligne("</g>");
        }
    }
    f.Ligne("</svg>");
    f.Ferme();
}

}  // namespace karst
