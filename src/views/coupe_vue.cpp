#include "views/coupe_vue.h"

#include <algorithm>
#include <cmath>

#include "platform/imprimante.h"
#include "survey/coupe.h"
#include "survey/nombres.h"
#include "views/barre_echelle.h"
#include "views/contexte.h"
#include "views/coupe_geometrie.h"
#include "views/options.h"
#include "views/surface.h"
#include "views/svg.h"

namespace karst {

using namespace coupe;

namespace {

constexpr Couleur kVert = 0x00FF00;

void Segment(SurfaceVue& s, Pt a, Pt b)
{
    s.MoveTo(a);
    s.LineTo(b);
}

// The horizontal scale of the options.
BarreEchelle EchelleHorizontale(const TOptions_Coupe& o)
{
    return {{o.X_Horizontale.d(), o.Z_Horizontale.d()},
            o.Long_Horizontale,
            o.Largeur_Horizontale,
            o.Pas_Horizontale,
            o.Epaisseur_Horizontale,
            o.Police_Horizontale};
}

void EchellesVerticales(const TCoupe& vue, SurfaceVue& s, const TOptions_Coupe& o, double e)
{
    const int nb = std::min<int>(o.NbEchelles, kMaxEchelles);
    if (nb <= 0)
        return;
    TCanvas& c = s.canvas;
    c.FixeCouleurPen(kNoir);
    s.EpaisseurSansRapport(o.Epaisseur_Verticale);
    c.FixeBrush(Pinceau{kBlanc, false});
    s.Font(o.Police_Verticale);
    const double wv = o.Largeur_Verticale / 1000.0 * e;
    for (int r = 1; r <= nb; ++r) {
        const TEchelleVerticale& ev = o.Echelles[static_cast<std::size_t>(r)];
        const double zref = vue.AltitudeReference(ev), x = ev.Xdev.d(), d = ev.Decalage.d();
        Segment(s, {x, d + ev.ZMin + zref}, {x, d + ev.ZMax + zref});
        Graduations(ev, o.Pas_Verticale, [&](int valeur) {
            const double zk = d + zref + valeur;
            const std::string t = FormatEntier(valeur);
            const double t2 = s.HauteurMm("0") / 2 / 1000 * e;
            if (ev.Gauche) {
                Segment(s, {x, zk}, {x - wv, zk});
                s.Texte(t, {x - wv - s.LargeurMm(t) / 1000 * e, zk + t2});
            } else {
                Segment(s, {x, zk}, {x + wv, zk});
                s.Texte(t, {x + wv + s.LargeurMm("0") / 2 / 1000 * e, zk + t2});
            }
        });
    }
}

// What Dessine and DessinePage draw once the surface is set.
void DessineCoupe(TCoupe& vue, SurfaceVue& s, const TOptions_Coupe& o, const ListeFiches& fiches, uint16_t mode)
{
    TCanvas& c = s.canvas;
    const double e = vue.Echelle;
    const Pourcentage pc(o.pourcentage);
    c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush(Pinceau{kNoir, true});
    s.Epaisseur(o.Epaisseur_Visee);
    const EtiquettesStations etiquette(s, o.Texte_Station, o.Police_Station, e);
    const float max = mode == ModeContrainte ? vue.DeformationMax(fiches) : 1.0f;
    const bool hauteurs = o.Afficher_Habillage || o.Representation_Hauteur != 0;

    auto noir = [&] { c.FixeBrush(Pinceau{kNoir, true}); };
    // The heights mark above (sens 1) or below (sens -1) a station.
    auto marque = [&](Pt st, double h, int sens) {
        const Pt bout{st.x, st.y + sens * h};
        if (o.Representation_Hauteur == 1) {
            s.Epaisseur(o.Epaisseur_hauteur);
            Segment(s, st, bout);
        } else if (o.Representation_Hauteur == 2) {
            s.Epaisseur(o.Epaisseur_hauteur);
            noir();
            s.Cercle(o.Epaisseur_hauteur / 2, bout);
        }
    };

    ParcourtGaleries(fiches, [&](const TFiche& f, int, int gi, const TGalerie& g) {
        c.FixeCouleurPen(vue.CouleurGalerie(g, mode, max));
        Pt p = StationCoupe(g, 0);
        Hauteurs hp;
        if (hauteurs) {
            hp = HauteursA(f, gi, 0);
            if (Connue(hp.haut))
                marque(p, hp.haut, 1);
            if (Connue(hp.bas))
                marque(p, hp.bas, -1);
        }
        if (o.diametre != 0) {
            noir();
            s.Cercle(o.diametre, p);
        }
        if (o.Texte_Station > 0 && !g.Depart.Terminus)
            etiquette(g.Depart, p);
        const int n = NbViseesMontrees(g);
        for (int i = 1; i <= n; ++i) {
            const Pt q = StationCoupe(g, i);
            // Every shot with the shot pen, also after the marks of the start station.
            s.Epaisseur(o.Epaisseur_Visee);
            Segment(s, pc.Debut(p, q), pc.Fin(p, q));
            noir();
            if (hauteurs) {
                const Hauteurs hq = HauteursA(f, gi, i);
                if (o.Afficher_Habillage && Connue(hp.haut) && Connue(hq.haut)) {
                    s.Epaisseur(o.Epaisseur_Habit);
                    Segment(s, {p.x, p.y + hp.haut}, {q.x, q.y + hq.haut});
                }
                if (Connue(hq.haut))
                    marque(q, hq.haut, 1);
                if (o.Afficher_Habillage && Connue(hp.bas) && Connue(hq.bas)) {
                    s.Epaisseur(o.Epaisseur_Habit);
                    Segment(s, {p.x, p.y - hp.bas}, {q.x, q.y - hq.bas});
                }
                if (Connue(hq.bas))
                    marque(q, hq.bas, -1);
                s.Epaisseur(o.Epaisseur_Visee);
                hp = hq;
            }
            p = q;
            if (o.diametre != 0) {
                noir();
                s.Cercle(o.diametre, q);
            }
        }
        if (o.Texte_Station > 0 && !g.Arrivee.Terminus)
            etiquette(g.Arrivee, p);
    });

    if (o.Affiche_Horizontale)
        DessineBarreEchelle(s, EchelleHorizontale(o), e, true);
    EchellesVerticales(vue, s, o, e);
}

}  // namespace

TCoupe::TCoupe(ContexteVues& contexte) : TProjection(contexte) { Echelle = 100; }

double TCoupe::AltitudeReference(const TEchelleVerticale& ev) const
{
    const TMassif* m = contexte_.Massif();
    if (!m)
        return 0;
    const std::string nom = MajAscii(ev.Nom.str());
    auto est = [&](const TPointTopo& p) { return !p.Terminus && p.Indice == ev.Indice && p.Nom.ChaineMaj() == nom; };
    for (const TFiche* f : m->Fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            if (!g->Placee)
                continue;
            if (est(g->Arrivee))
                return g->Arrivee.Z.d();
            if (est(g->Depart))
                return g->Depart.Z.d();
        }
    }
    return 0;
}

void TCoupe::Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas&)
{
    TStation min, max;
    if (!DonneesPlacees(largeur, hauteur, [&](const ListeFiches& f) { return CalculeLimitesCoupe(min, max, f); }))
        return;
    Xmin = min.Abscisse.d();
    Xmax = max.Abscisse.d();
    Ymin = min.Z.d();
    Ymax = max.Z.d();
    ElargitEtendue(largeur, hauteur, pxParMm, rapport);
}

void TCoupe::Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode)
{
    auto bitmap = DebutEcran(scrollX, scrollY, image);
    PxParMm = pxParMm * rapport;
    const TOptions_Coupe* o = contexte_.OptionsCoupe();
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && o && fiches && PxParMm > 0 && Echelle > 0) {
        SurfaceEcran s(*this, rapport);
        DessineCoupe(*this, s, *o, *fiches, mode);
    }
    FinEcran(std::move(bitmap), image);
}

void TCoupe::NombrePages(int& colonnes, int& lignes, int margesH, int margesV)
{
    MargesH = margesH;
    MargesV = margesV;
    const TOptions_Coupe* o = contexte_.OptionsCoupe();
    const bool verrouille = o && o->Origine;
    GrillePages(verrouille, verrouille ? o->X_Origine.d() : 0, verrouille ? o->Z_Origine.d() : 0, colonnes, lignes);
}

void TCoupe::DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                         double zoom)
{
    DebutPage(colonne, ligne, margeGauche, margeHaut, canvas, zoom);
    const TOptions_Coupe* o = contexte_.OptionsCoupe();
    const bool verrouille = o && o->Origine;
    OrigineGrille(verrouille, verrouille ? o->X_Origine.d() : 0, verrouille ? o->Z_Origine.d() : 0);
    TImprimante& imprimante = contexte_.Imprimante();
    double ph, pv;
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && o && fiches && PxParMmImpr > 0 && ZoneImprimable(ph, pv)) {
        SurfacePage s(*this, imprimante.Canvas(), contexte_.PixelsParPouceVuePlan());
        DessineCoupe(*this, s, *o, *fiches, mode);
    }
    FinPage(canvas);
}

double TCoupe::Localise(int x, int y, int& fiche, int& galerie, int& point)
{
    double meilleur = kRienTrouve;
    const ListeFiches* fiches = FichesCourantes();
    const bool mesurable = Echelle > 0 && PxParMm > 0;
    if (Donnees && fiches && mesurable) {
        const Pt clic = PointDuPixel(x, y);
        const double xc = clic.x, zc = clic.y;
        ParcourtGaleries(*fiches, [&](const TFiche&, int fi, int gi, const TGalerie& g) {
            Pt p = StationCoupe(g, 0);
            const int n = NbViseesMontrees(g);
            for (int i = 1; i <= n; ++i) {
                const Pt q = StationCoupe(g, i);
                double d = -1;
                if (std::fabs(p.x - q.x) < 0.5) {
                    // A shot nearly vertical in the section.
                    if ((q.y - zc) * (p.y - zc) < 0)
                        d = std::fabs((p.x + q.x) / 2 - xc);
                } else if ((q.x - xc) * (p.x - xc) < 0) {
                    d = std::fabs((q.y - p.y) * (xc - q.x) / (q.x - p.x) + q.y - zc);
                }
                if (d >= 0 && d < meilleur) {
                    meilleur = d;
                    fiche = fi;
                    galerie = gi;
                    point = i;
                }
                p = q;
            }
        });
    }
    if (meilleur == kRienTrouve) {
        point = 0;
        return kRienTrouve;
    }
    return meilleur * 1000 / Echelle * PxParMm;
}

void TCoupe::IsoleEcran(int x, int y, int rayon2)
{
    TMassif* massif = contexte_.Massif();
    const ListeFiches* fiches = FichesCourantes();
    if (!massif || !fiches)
        return;
    auto nouvelle = std::make_unique<ListeFiches>();
    if (Donnees && Echelle > 0 && PxParMm > 0) {
        const Pt clic = PointDuPixel(x, y);
        const double xc = clic.x, zc = clic.y;
        const double r2 = Rayon2DuPixel(rayon2);
        auto proche = [&](Pt p) { return (p.x - xc) * (p.x - xc) + (p.y - zc) * (p.y - zc) < r2; };
        nouvelle = FichesRetenues(*fiches, [&](const TGalerie& g) {
            if (!Montree(g))
                return false;
            for (int i = 0; i <= NbViseesMontrees(g); ++i)
                if (proche(StationCoupe(g, i)))
                    return true;
            return false;
        });
    }
    IsoleFiches(std::move(nouvelle));
}

void TCoupe::Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte)
{
    texte = {};
    const TFiche* fiche0;
    const TGalerie* designee = GalerieDesignee(fiche, galerie, fiche0);
    if (!designee)
        return;
    const TGalerie& g = *designee;
    if (affiche) {
        // The names in drawing order, from left to right.
        const bool finDabord = g.Sens != g.GaucheDroite;
        texte = TexteCp1252(fiche0->LibelleGalerie(finDabord ? g.Arrivee : g.Depart, finDabord ? g.Depart : g.Arrivee));
    }
    const TOptions_Coupe* o = contexte_.OptionsCoupe();
    if (!Montree(g) || !CanvasEcran || !o || Echelle <= 0 || PxParMm <= 0)
        return;
    TCanvas& c = *CanvasEcran;
    // The shot pen of the drawing, so that erasing covers exactly what the highlight drew.
    c.FixePen(Stylo{affiche ? kVert : kNoir, RoundEntier(o->Epaisseur_Visee / 10.0 * PxParMm), ModeStylo::Copie, true});
    const Pourcentage pc(o->pourcentage);
    const TMassif* m = contexte_.Massif();
    const ListeFiches* fiches = FichesCourantes();
    if (mode != ModeContrainte && m && fiches) {
        // What the branch commands carry, dead ends hung at a junction included, as far as
        // the view draws it.
        std::unordered_set<const TGalerie*> dessinees;
        for (const TFiche* f : *fiches)
            if (f)
                dessinees.insert(f->Galeries.begin(), f->Galeries.end());
        for (const TGalerie* a : AvalCoupe(*m, g))
            if (a != &g && dessinees.count(a))
                SurligneGalerie(*a, o->pourcentage);
    }
    Pt p = StationCoupe(g, 0);
    const int n = NbViseesMontrees(g);
    for (int i = 1; i <= n; ++i) {
        const Pt q = StationCoupe(g, i);
        if (i == point) {
            CarresInverses(affiche, p.x, p.y, q.x, q.y);
        }
        if (affiche)
            c.FixeCouleurPen(i == point ? kRouge : kVert);
        else
            c.FixeCouleurPen(mode == ModeCouleur ? static_cast<Couleur>(g.Couleur) : kNoir);
        if (mode != ModeContrainte) {
            const Pt d = pc.Debut(p, q), e = pc.Fin(p, q);
            EcranMoveTo(d.x, d.y);
            EcranLineTo(e.x, e.y);
        }
        p = q;
    }
}

bool TCoupe::Cadre(const std::vector<const TGalerie*>& galeries, const std::function<void()>& place,
                   CadreGaleries& cadre) const
{
    if (galeries.empty() || !galeries.front() || !coupe::Montree(*galeries.front()) || Echelle <= 0)
        return false;
    place();
    const TGalerie& premiere = *galeries.front();
    const coupe::Pt entree = coupe::StationCoupe(premiere, premiere.Sens ? 0 : coupe::NbViseesMontrees(premiere));
    coupe::Pt min = entree, max = entree;
    for (const TGalerie* g : galeries)
        for (int i = 0; g && coupe::Montree(*g) && i <= coupe::NbViseesMontrees(*g); ++i) {
            const coupe::Pt p = coupe::StationCoupe(*g, i);
            min = {std::min(min.x, p.x), std::min(min.y, p.y)};
            max = {std::max(max.x, p.x), std::max(max.y, p.y)};
        }
    // Paper y runs downwards: the highest station is at the top.
    cadre = {{MmX(min.x), MmY(max.y)}, {MmX(max.x), MmY(min.y)}, {MmX(entree.x), MmY(entree.y)}};
    return true;
}

void TCoupe::SurligneGalerie(const TGalerie& g, int pourcentage)
{
    if (!Montree(g))
        return;
    const Pourcentage pc(pourcentage);
    Pt p = StationCoupe(g, 0);
    for (int i = 1; i <= NbViseesMontrees(g); ++i) {
        const Pt q = StationCoupe(g, i);
        const Pt d = pc.Debut(p, q), e = pc.Fin(p, q);
        EcranMoveTo(d.x, d.y);
        EcranLineTo(e.x, e.y);
        p = q;
    }
}

// ---- SVG ---------------------------------------------------------------------------------

void TCoupe::ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes)
{
    FichierSVG f(nomFichier);
    DebutSVG(f, illustrator, "Coupe");
    const double e = Echelle > 0 ? Echelle : 1;
    const TOptions_Coupe* options = contexte_.OptionsCoupe();
    const ListeFiches* fiches = FichesCourantes();
    if (Donnees && options && fiches) {
        const TOptions_Coupe& o = *options;
        auto X = [&](Pt p) { return (p.x - Xmin) * 1000 / e; };
        auto Y = [&](Pt p) { return (Ymax - p.y) * 1000 / e; };
        auto ligne = [&](Pt a, Pt b) { f.Ligne(LigneSVG(X(a), Y(a), X(b), Y(b))); };
        const Pourcentage pc(o.pourcentage);
        const double off = DemiTailleMm(o.Police_Station);

        enum Couche { Visees, Parois, HauteursC, Stations, Carrefours };
        const std::string entetes[5] = {
            CoucheSVG("visees", illustrator, StyleTraitSVG(o.Epaisseur_Visee)),
            CoucheSVG("parois", illustrator, StyleTraitSVG(o.Epaisseur_Habit)),
            CoucheSVG("hauteurs", illustrator, StyleTraitSVG(o.Epaisseur_hauteur) + " fill:black;"),
            CoucheSVG("stations", illustrator, "stroke:black; fill:black;"),
            CoucheSVG("carrefours", illustrator, StylePoliceSVG(o.Police_Station.Taille(), o.Police_Station.Nom))};
        const bool parois = o.Afficher_Habillage || toutes;
        const bool traits = o.Representation_Hauteur == 1 || toutes;
        const bool points = o.Representation_Hauteur == 2 && !toutes;
        const bool cercles = o.diametre != 0 || toutes;
        const bool noms = o.Texte_Station > 0 || toutes;

        for (int couche = Visees; couche <= Carrefours; ++couche) {
            f.Ligne(entetes[couche]);
            for (std::size_t fi = 0; fi < fiches->size(); ++fi) {
                const TFiche* fiche = (*fiches)[fi];
                if (!fiche)
                    continue;
                f.Ligne("<g>");
                for (std::size_t gi = 0; gi < fiche->Galeries.size(); ++gi) {
                    const TGalerie& g = *fiche->Galeries[gi];
                    if (!Montree(g))
                        continue;
                    f.Ligne("<g>");
                    const int n = NbViseesMontrees(g);
                    auto hauteurs = [&](Pt st, const Hauteurs& h) {
                        for (const auto& [valeur, sens] : {std::pair{h.haut, 1}, std::pair{h.bas, -1}}) {
                            if (!Connue(valeur))
                                continue;
                            const Pt bout{st.x, st.y + sens * valeur};
                            if (traits)
                                ligne(st, bout);
                            else if (points)
                                f.Ligne(CercleSVG(X(bout), Y(bout), o.Epaisseur_hauteur / 20.0));
                        }
                    };
                    Pt p = StationCoupe(g, 0);
                    // Only the walls and the heights need the heights.
                    const bool avecHauteurs = couche == Parois || couche == HauteursC;
                    auto hauteursA = [&](int i) {
                        return avecHauteurs ? HauteursA(*fiche, static_cast<int>(gi), i) : Hauteurs{};
                    };
                    Hauteurs hp = hauteursA(0);
                    if (couche == HauteursC)
                        hauteurs(p, hp);
                    if (couche == Stations && cercles)
                        f.Ligne(CercleSVG(X(p), Y(p), o.diametre / 20.0));
                    if (couche == Carrefours && noms && !g.Depart.Terminus)
                        f.Ligne(TexteSVG(X(p) + off, Y(p) + off, EtiquetteStation(g.Depart, o.Texte_Station)));
                    for (int i = 1; i <= n; ++i) {
                        const Pt q = StationCoupe(g, i);
                        const Hauteurs hq = hauteursA(i);
                        switch (couche) {
                        case Visees: ligne(pc.Debut(p, q), pc.Fin(p, q)); break;
                        case Parois:
                            if (!parois)
                                break;
                            if (Connue(hp.haut) && Connue(hq.haut))
                                ligne({p.x, p.y + hp.haut}, {q.x, q.y + hq.haut});
                            if (Connue(hp.bas) && Connue(hq.bas))
                                ligne({p.x, p.y - hp.bas}, {q.x, q.y - hq.bas});
                            break;
                        case HauteursC: hauteurs(q, hq); break;
                        case Stations:
                            if (cercles)
                                f.Ligne(CercleSVG(X(q), Y(q), o.diametre / 20.0));
                            break;
                        default: break;
                        }
                        p = q;
                        hp = hq;
                    }
                    if (couche == Carrefours && noms && !g.Arrivee.Terminus)
                        f.Ligne(TexteSVG(X(p) + off, Y(p) + off, EtiquetteStation(g.Arrivee, o.Texte_Station)));
                    f.Ligne("</g>");
                }
                f.Ligne("</g>");
            }
            f.Ligne("</g>");
        }

        if (o.Affiche_Horizontale || toutes) {
            const BarreEchelle b = EchelleHorizontale(o);
            EcritBarreEchelle(f, "echelle horizontale", illustrator, b, X(b.base), Y(b.base), e);
        }

        f.Ligne(CoucheSVG("echelles verticales", illustrator));
        const double ov = DemiTailleMm(o.Police_Verticale), wv = o.Largeur_Verticale;
        const int trait = o.Epaisseur_Verticale;
        const TPolice& police = o.Police_Verticale;
        for (int r = 1; r <= std::min<int>(o.NbEchelles, kMaxEchelles); ++r) {
            const TEchelleVerticale& ev = o.Echelles[static_cast<std::size_t>(r)];
            f.Ligne("<g>");
            const double zref = AltitudeReference(ev), x = ev.Xdev.d(), d = ev.Decalage.d();
            const Pt bas{x, d + ev.ZMin + zref}, haut{x, d + ev.ZMax + zref};
            f.Ligne(LigneSVG(X(bas), Y(bas), X(haut), Y(haut), trait));
            Graduations(ev, o.Pas_Verticale, [&](int valeur) {
                const double xv = X({x, 0}), yk = Y({x, d + zref + valeur});
                const double xt = ev.Gauche ? xv - wv : xv + wv;
                f.Ligne(LigneSVG(xv, yk, xt, yk, trait));
                f.Ligne(TexteAncreSVG(ev.Gauche ? xt - ov : xt + ov, yk + ov, FormatEntier(valeur), police.Taille(),
                                      police.Nom, ev.Gauche ? "end" : "start"));
            });
            f.Ligne("</g>");
        }
        f.Ligne("</g>");
    }
    f.Ligne("</svg>");
    f.Ferme();
}

}  // namespace karst
