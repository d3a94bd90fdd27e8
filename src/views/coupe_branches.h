#pragma once
// The "Branche" menu commands as the section window runs them around the section view's
// branch operations: erasing and redrawing the highlight, laying the section out again,
// marking the massif changed and checking the links. The window implements the small
// interface below.

#include <cstdint>
#include <string>

#include "survey/modele.h"

namespace karst {

class TCoupe;
class ContexteVues;

enum class CommandeCoupe { Nouvelle, Continuer, Inverser, Decaler, Raccrocher, Retirer };

class IFenetreCoupe {
public:
    virtual ~IFenetreCoupe() = default;
    // The window's selection: sheet position in the current sheets, gallery position,
    // shot number; false when there is none.
    virtual bool Selection(int& fiche, int& galerie, int& point) = 0;
    virtual void FixeSelection(int fiche, int galerie, int point) = 0;
    // Erase or draw the highlight of the selection (the view's Designation).
    virtual void EffaceSelection() = 0;
    virtual void AfficheSelection() = 0;
    // Redraw the window (laying out the station abscissae first when needed).
    virtual void Redessine() = 0;
};

// Runs one command of the "Branche" menu on the section window; true when the section
// changed. A failed gallery look-up raises ErreurIndexListe.
bool CommandeBranche(CommandeCoupe commande, TCoupe& vue, ContexteVues& contexte, IFenetreCoupe& fenetre);

// Shared by the branch commands and the section expert.
// The gallery of a sheet number (looked up among all sheets) and a position; raises
// ErreurIndexListe when there is none.
TGalerie& GalerieParOrdre(TMassif& massif, int32_t fiche, int32_t galerie);
// Where a gallery leaves the section, and where it enters it.
const TPointTopo& StationLoin(const TGalerie& g);
const TPointTopo& StationEntree(const TGalerie& g);
// A station as the dialogs show it: A12(3), or "Terminus".
std::string TexteStation(const TPointTopo& p);
// Appends a continuation pair (sheet number, gallery position).
void AjouteSuite(TGalerie& parent, int32_t fiche, int32_t galerie);

}  // namespace karst
