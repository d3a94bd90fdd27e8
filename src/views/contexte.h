#pragma once
// What the views read from the main window: the open massif, the option records, the
// tooltip choices, the printer and the plan window's resolution. The main window
// implements it; the tests give a fake.

#include <array>
#include <string>
#include <vector>

#include "views/changement.h"

namespace karst {

class TMassif;
class TFiche;
class TGalerie;
class TOptions_Plan;
class TOptions_Relief;
class TPointTopo;
class TOptions_Coupe;
class TOptions_Tableau;
class TMarge;
class TImprimante;

// What the branch dialog gives: the offsets typed, the drawing direction, and whether the
// branch starts at the gallery's end station rather than its start station.
struct ChoixBranche {
    long double Horizontal = 0;
    long double Vertical = 0;
    bool GaucheDroite = false;
    bool ParFin = false;
};

// The sheet order of the table: the radio items of the "T&rier" menu.
enum class TriTableau { OrdreDeSaisie, Localisation, Date };

// The six parts of a shot tooltip that the user chose ("Info-bulles dans les vues").
struct ChoixBulle {
    bool Coordonnees = false;
    bool Commentaires = false;
    bool Visees = false;
    bool Largeur = false;
    bool Hauteur = false;
    bool Deformation = false;
};

class ContexteVues : public SuiteChangement {
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
    virtual bool AnglePlan(double& /*angle*/) { return false; }
    // Turns the open plan window to this angle, its sine and cosine recomputed.
    virtual void OrientePlan(double /*angle*/) {}
    // The open perspective window's azimuth and elevation in degrees; false when none is open.
    virtual bool AnglesPerspective(double& /*azimut*/, double& /*elevation*/) { return false; }
    // Turns the open perspective window to these angles, its sines and cosines recomputed.
    virtual void OrientePerspective(double /*azimut*/, double /*elevation*/) {}
    // The simple sheet search over the massif's sheets, asking for a gallery (criteria
    // empty): the chosen sheet and gallery index (from 0; -1 when the sheet was chosen
    // without a gallery); false when nothing was chosen.
    virtual bool ChoisitGalerie(TFiche*& /*fiche*/, int& /*galerie*/) { return false; }
    // ---- What the developed section and its commands need ----
    // The section options, or null.
    virtual const TOptions_Coupe* OptionsCoupe() { return nullptr; }
    // The sheet search: the criteria dialog preset with the five texts (system, cave,
    // network, place, station name; Windows-1252), then the choice list of the matching
    // sheets of `fiches`. galerie on entry: -2 (or any value but -1) the list whose button
    // reads "Visualise la fiche choisie", -1 the one that reads "Utilise la fiche choisie".
    // False when either dialog is cancelled; on true the chosen sheet, and the gallery
    // picked in its preview (from 0) or -1 when the choice was made in the list.
    virtual bool RechercheSimple(const std::vector<TFiche*>& fiches, const std::array<std::string, 5>& criteres,
                                 TFiche*& fiche, int& galerie)
    {
        (void)fiches, (void)criteres, (void)fiche, (void)galerie;
        return false;
    }
    // The choice list of stations (columns "Point" and "Indice", button "Utilise la
    // galerie allant au point"): the position of the row taken, -1 when cancelled.
    virtual int ChoixStation(const std::vector<const TPointTopo*>& stations)
    {
        (void)stations;
        return -1;
    }
    // "Nouvelle branche" for a gallery between these two stations, named as TexteStation
    // writes them; false when cancelled.
    virtual bool DemandeNouvelleBranche(const std::string& depart, const std::string& arrivee, ChoixBranche& choix)
    {
        (void)depart, (void)arrivee, (void)choix;
        return false;
    }
    // "Décaler une branche" from the offsets x, z: the offsets read back; false when
    // cancelled or when an offset is no storable number.
    virtual bool DemandeDecalage(long double x, long double z, long double& nx, long double& nz)
    {
        (void)x, (void)z, (void)nx, (void)nz;
        return false;
    }
    // The selection of the active child window when it is a view window: sheet position in
    // the current sheets, gallery position, shot number. False without one.
    virtual bool SelectionVueActive(int& fiche, int& galerie, int& point)
    {
        (void)fiche, (void)galerie, (void)point;
        return false;
    }
    // The section window, when there is one: erase its highlight and drop its selection;
    // redraw it.
    virtual void OteSelectionCoupe() {}
    virtual void RedessineCoupe() {}
    // The section window, when there is one, scrolled to show galleries just put into the
    // section, the first of them where the branch starts.
    virtual void MontreGaleriesCoupe(const std::vector<const TGalerie*>& galeries) { (void)galeries; }

    // ---- What the table needs ----
    // The table layout, or null. Not const: the table copies the coordinates of its
    // reference station into it, and the column fitting changes the widths.
    virtual TOptions_Tableau* OptionsTableau() { return nullptr; }
    // Which item of "T&rier" is ticked.
    virtual TriTableau OrdreTableau() { return TriTableau::OrdreDeSaisie; }
    // The print margins, or null.
    virtual const TMarge* Marges() { return nullptr; }
    // Lets the application process its pending messages in the middle of a printed page,
    // so that a long page keeps the windows and the print's progress alive.
    virtual void TraiteMessages() {}
    // True once the caver has stopped the print job under way; asked before each thing a
    // printed page draws, it lets the application process its messages every so often, so
    // that a page of a million strokes stops within a moment and draws nothing more.
    virtual bool Interrompu() { return false; }
};

}  // namespace karst
