#pragma once
// The plan view: the placed stations seen from above, turned by a free angle, with walls,
// width marks, station circles and labels, the north arrow, the scale bar and the grid of
// the plan options; on the screen, on printed pages and as an SVG file.

#include "views/graphique.h"

namespace karst {

class TOptions_Plan;

class TPlan : public TProjection {
public:
    explicit TPlan(ContexteVues& contexte);

    double CosAngle = 1.0;
    double SinAngle = 0.0;
    double Angle = 0.0;
    // Box of the placed stations, not turned (set by Dimensions).
    TStation LimiteMin, LimiteMax;

    GenreVue Genre() const override { return GenreVue::Plan; }

    void Tourne(double delta);
    void ApercuRotation(double delta, std::string& texte);

    // Turned in its plane by the angle a drag sweeps, or by the first angle of a step.
    int AnglesRotation() const override { return 1; }
    TexteCp1252 ApercuGlisse(double balayage, double dx, double dy) override;
    void TourneGlisse(double balayage, double dx, double dy) override;
    void TournePas(PasTour& pas, bool retour) override;
    TexteCp1252 TexteRotation() const override;
    void GardeAngles(TOptions_Plan& plan, TOptions_Relief& relief) const override;
    TPlan* Plan() override { return this; }

    void Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode) override;
    void DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                     double zoom) override;
    void Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image) override;
    void NombrePages(int& colonnes, int& lignes, int margesH, int margesV) override;
    double Localise(int x, int y, int& fiche, int& galerie, int& point) override;
    void IsoleEcran(int x, int y, int rayon2) override;
    void Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte) override;
    void ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes) override;
    TexteUtf8 Omission() const override;

    // The turned point of a world point: X' = X cos + Y sin, Y' = Y cos - X sin.
    void Projette(double x, double y, double& xp, double& yp) const
    {
        xp = x * CosAngle + y * SinAngle;
        yp = y * CosAngle - x * SinAngle;
    }

private:
    // The turned locked origin of the plan options.
    void OrigineTournee(const TOptions_Plan& o, double& ox, double& oy) const;
    // The last screen drawing left its grid out.
    bool grilleOmise_ = false;
};

}  // namespace karst
