#pragma once
// The input layout's file, read and written through the views' model-file readers: the
// layout itself, with the sheet's rows, builds without them.

#include "saisie/preference_ecran.h"

namespace karst {

// Reads the layout's NomFichier when it exists; nothing otherwise. A damaged file (too short,
// or a layout the dialog cannot give: positions that are not the nine places, a unit off its
// list) is refused whole with ErreurFichierEndommage and the layout stays as it was.
void Charge(TPreference_Ecran& preferences);
// Writes the 122 bytes to the layout's NomFichier.
void Enregistre(const TPreference_Ecran& preferences);

}  // namespace karst
