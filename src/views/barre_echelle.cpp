#include "views/barre_echelle.h"

#include "survey/nombres.h"
#include "views/svg.h"

namespace karst {

namespace {

std::string TexteLongueur(const BarreEchelle& b) { return FormatEntier(b.longueur) + LibellesUniteLongueur[0]; }

}  // namespace

void DessineBarreEchelle(SurfaceVue& s, const BarreEchelle& b, double e, bool sansRapport)
{
    TCanvas& c = s.canvas;
    c.FixeCouleurPen(kNoir);
    if (sansRapport)
        s.EpaisseurSansRapport(b.epaisseur);
    else
        s.Epaisseur(b.epaisseur);
    const PointPlan base = b.base;
    const double l = b.longueur, h = e * b.hauteur / 1000;
    s.MoveTo(base);
    s.LineTo(base + PointPlan{l, 0});
    s.LineTo(base + PointPlan{l, h});
    s.MoveTo(base);
    s.LineTo(base + PointPlan{0, h});
    for (int i = 1; i < b.parts; ++i) {
        const double x = i * l / b.parts;
        s.MoveTo(base + PointPlan{x, 0});
        s.LineTo(base + PointPlan{x, h});
    }
    s.Font(b.police);
    c.FixeBrush(Pinceau{kBlanc, false});
    const double dy = e * (b.hauteur + s.HauteurMm("0")) / 1000;
    s.Texte("0", base + PointPlan{-e * s.LargeurMm("0") / 2 / 1000, dy});
    const std::string texte = TexteLongueur(b);
    s.Texte(texte, base + PointPlan{l - e * s.LargeurMm(texte) / 2 / 1000, dy});
}

void EcritBarreEchelle(FichierSVG& f, const std::string& id, bool illustrator, const BarreEchelle& b, double x,
                       double y, double e)
{
    f.Ligne(CoucheSVG(id, illustrator));
    f.Ligne(GroupeTraitSVG(b.epaisseur));
    const double l = b.longueur * 1000.0 / e, h = b.hauteur;
    f.Ligne(LigneSVG(x, y, x + l, y));
    f.Ligne(LigneSVG(x + l, y, x + l, y - h));
    f.Ligne(LigneSVG(x, y, x, y - h));
    for (int i = 1; i < b.parts; ++i) {
        const double xi = x + l / b.parts * i;
        f.Ligne(LigneSVG(xi, y, xi, y - h));
    }
    f.Ligne("</g>");
    f.Ligne(GroupePoliceSVG(b.police.Taille(), b.police.Nom, true));
    const double d = DemiTailleMm(b.police);
    f.Ligne(TexteSVG(x, y - h - d, "0"));
    f.Ligne(TexteSVG(x + l, y - h - d, TexteLongueur(b)));
    f.Ligne("</g>");
    f.Ligne("</g>");
}

}  // namespace karst
