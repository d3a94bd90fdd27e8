#pragma once
// The developed-section view: the galleries put into the section, unrolled along their
// branches (section abscissa across, altitude up), with heights, walls, station circles,
// junction labels and the horizontal and vertical scales; on the screen, on printed pages
// and as an SVG file; and the commands that build and edit the section's branches.

#include <unordered_set>

#include "views/graphique.h"

namespace karst {

class TOptions_Coupe;
class TEchelleVerticale;

class TCoupe : public TProjection {
public:
    explicit TCoupe(ContexteVues& contexte);

    GenreVue Genre() const override { return GenreVue::Coupe; }

    void Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode) override;
    void DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                     double zoom) override;
    void Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image) override;
    void NombrePages(int& colonnes, int& lignes, int margesH, int margesV) override;
    double Localise(int x, int y, int& fiche, int& galerie, int& point) override;
    void IsoleEcran(int x, int y, int rayon2) override;
    void Designation(bool affiche, int fiche, int galerie, int point, uint16_t mode, TexteCp1252& texte) override;
    void ExporteSVG(const std::string& nomFichier, bool illustrator, bool toutes) override;
    bool Branche(CommandeCoupe commande, ContexteVues& contexte, IFenetreCoupe& fenetre) override;
    bool Cadre(const std::vector<const TGalerie*>& galeries, const std::function<void()>& place,
               CadreGaleries& cadre) const override;

    // ---- Branch editing. Sheets are named by their order number and looked up among all
    // the sheets, except where a position in the current sheets is said.

    // A new branch at one end of a gallery picked in a sheet preview; true when made.
    bool NouvelleBranche();
    // Continues the branch at the far station of the gallery (positions in the current
    // sheets); on true, fiche and galerie designate the gallery just added.
    bool ContinueBranche(int& fiche, int& galerie);
    // Flips the drawing direction of the gallery and of everything downstream of it.
    void InverseBranche(int32_t fiche, int32_t galerie);
    // Moves a branch start, or makes a continuation a branch start; true when changed.
    bool DecaleBranche(int32_t fiche, int32_t galerie);
    // Attaches a branch start to a gallery whose far station is its station; true when done.
    bool RaccrocheBranche(int32_t fiche, int32_t galerie);

    // The reference altitude of a vertical scale: the Z of its reference station, 0 when
    // the station is not found.
    double AltitudeReference(const TEchelleVerticale& e) const;

private:
    void SurligneGalerie(const TGalerie& g, int pourcentage);
    // The galleries of the current sheets that go on from `loin` (not yet in the section),
    // in walking order, with their positions.
    struct Candidat {
        int fiche, galerie;
        TGalerie* g;
        bool parDepart;
    };
    std::vector<Candidat> Candidats(const TPointTopo& loin) const;
};

}  // namespace karst
