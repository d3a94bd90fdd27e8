#pragma once
// What the views read from the main window: the open massif, the option records, the
// tooltip choices, the printer and the plan window's resolution. The main window
// implements it; the tests give a fake.

namespace karst {

class TMassif;
class TFiche;
class TOptions_Plan;
class TOptions_Relief;
class TImprimante;

// The six parts of a shot tooltip that the user chose ("Info-bulles dans les vues").
struct ChoixBulle {
    bool Coordonnees = false;
    bool Commentaires = false;
    bool Visees = false;
    bool Largeur = false;
    bool Hauteur = false;
    bool Deformation = false;
};

class ContexteVues {
public:
    virtual ~ContexteVues() = default;
    // The open massif, or null.
    virtual TMassif* Massif() = 0;
    // The plan options, or null.
    virtual const TOptions_Plan* OptionsPlan() = 0;
    // The perspective options, or null.
    virtual const TOptions_Relief* OptionsRelief() = 0;
    virtual ChoixBulle Bulles() = 0;
    // The current printer: its page geometry maps the printed pages, also in the preview.
    virtual TImprimante& Imprimante() = 0;
    // Pixels per inch of the plan window (96), which a zoomed preview page rescales fonts by.
    virtual int PixelsParPouceVuePlan() = 0;

    // The open plan window's angle in degrees; false when no plan window is open.
    virtual bool AnglePlan(double& angle) { return false; }
    // Turns the open plan window to this angle, its sine and cosine recomputed.
    virtual void OrientePlan(double angle) {}
    // The open perspective window's azimuth and elevation in degrees; false when none is open.
    virtual bool AnglesPerspective(double& azimut, double& elevation) { return false; }
    // Turns the open perspective window to these angles, its sines and cosines recomputed.
    virtual void OrientePerspective(double azimut, double elevation) {}
    // The simple sheet search over the massif's sheets, asking for a gallery (criteria
    // empty): the chosen sheet and gallery index (from 0; -1 when the sheet was chosen
    // without a gallery); false when nothing was chosen.
    virtual bool ChoisitGalerie(TFiche*& fiche, int& galerie) { return false; }
};

}  // namespace karst
