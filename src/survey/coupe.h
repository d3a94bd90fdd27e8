#pragma once
// Developed-section layout: what the layout needs from the user interface, the look-up
// error and the section's bounding box. The layout operations themselves are TMassif's.

#include <stdexcept>
#include <string>
#include <vector>

#include "survey/modele.h"

namespace karst {

// What the section operations report. The shell installs one; without it they stay silent.
class IAvisCoupe {
public:
    virtual ~IAvisCoupe() = default;
    // A message box (UTF-8 text).
    virtual void ProblemeCoupe(const std::string& texte) = 0;
    // Redraw the section window, when there is one.
    virtual void RedessineCoupe() = 0;
};

void DefinitAvisCoupe(IAvisCoupe* avis);
IAvisCoupe* AvisCoupe();

// A sheet number that no sheet carries, or a gallery position outside its sheet.
class ErreurIndexListe : public std::out_of_range {
public:
    explicit ErreurIndexListe(long long index);
};

constexpr const char* kProblemeCoupe = "Problème dans la coupe";

// Bounding box of the section over the sheets: section abscissa and Z (with the branch's
// vertical offset) of the galleries both in the section and positioned. Only Abscisse and Z
// of min and max are written. False when nothing was taken or the abscissa range is empty.
bool CalculeLimitesCoupe(TStation& min, TStation& max, const ListeFiches& fiches);

// Every gallery downstream of g: g, its continuations and the dead ends hung at their far
// stations, and so on, each once. A link to a missing gallery raises ErreurIndexListe when
// `exige`, else it is passed over.
std::vector<TGalerie*> AvalCoupe(const TMassif& massif, TGalerie& g, bool exige);
// The same, to be read only; missing galleries are passed over.
std::vector<const TGalerie*> AvalCoupe(const TMassif& massif, const TGalerie& g);

}  // namespace karst
