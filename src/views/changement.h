#pragma once
// What follows a change of the massif's data, said once for every window that makes one:
// the massif is marked unsaved, then the computation is requested, then the explorer is
// rebuilt. The main window answers the two requests; the hosts that the views and the
// dialogs reach it through derive from this, and their fakes keep the do-nothing answers.

namespace karst {

class TMassif;

// The computation request that follows a change.
enum class Recalcul {
    Aucun,
    // A running computation is stopped and started again.
    SiEnCours,
    // The same, and the quick computation is armed when "&Automatique" is ticked.
    Automatique,
};

class SuiteChangement {
public:
    virtual ~SuiteChangement() = default;

    // The one entry point. `massif` null: nothing to mark (a sheet confirmed unchanged),
    // the computation and the explorer still follow.
    void MassifModifie(TMassif* massif, Recalcul calcul, bool rafraichitExplorateur);

    // The main window's computation request: with `automatique`, also the quick
    // computation when "&Automatique" is ticked.
    virtual void DemandeCalcul(bool automatique) { (void)automatique; }
    virtual void RafraichitExplorateur() {}
    // The sheet list changed (a sheet deleted, restored, copied or one of these undone):
    // each view's selection follows its sheet or goes, and the views are drawn again,
    // whatever "&Automatique" says.
    virtual void FichesChangees() {}
};

}  // namespace karst
