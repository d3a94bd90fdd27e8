#pragma once
// The section expert's work: it puts into the developed section, in one go, the chain of
// galleries along the lightest path of the survey network from a start station to an
// arrival station, optionally with the dead ends that hang at each station of the path; as
// a new branch or continuing a branch that ends at the start. Refusals are told to the user.

#include <string>

#include "survey/modele.h"

namespace karst {

class ContexteVues;

// The farthest (by path weight) or the deepest station reached from the start, among the
// galleries of `fiches` out of the section: its upper-case name and its index. False when
// none is reached, after a warning when the start is unknown or already in the section.
bool PointExtreme(const ListeFiches& fiches, const std::string& nom, int indice, bool profond, std::string& nomTrouve,
                  int& indiceTrouve);

// The gallery in the section whose far station is the start, written exactly as typed
// (name and index texts): the active view window's selection first; null after a warning
// when there is none or it has no room for one more continuation.
TGalerie* BrancheAContinuer(ContexteVues& contexte, const std::string& nom, const std::string& indice);

struct ConstructionCoupe {
    std::string NomDepart, IndiceDepart;  // as typed
    std::string NomArrivee;
    int IndiceArrivee = 0;
    // The branch continued, or null for a new branch starting at (X, Z).
    TGalerie* Parent = nullptr;
    long double X = 0, Z = 0;
    bool GaucheDroite = true;
    bool CulsDeSac = false;
};

// Builds the branch into the section of the open massif, lays the section out, marks the
// massif changed and redraws the section window; false, after a warning, when the two
// points are not joined.
bool ConstruitCoupe(ContexteVues& contexte, const ConstructionCoupe& demande);

}  // namespace karst
