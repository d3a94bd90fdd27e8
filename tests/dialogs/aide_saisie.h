#pragma once
// Helpers of the sheet-editor tests: the application, the sheets of aide_fiches.h, a
// scripted station dialog.

#include <QApplication>
#include <deque>

#include "dialogs/saisie.h"
#include "hote_factice.h"
#include "saisie/aide_fiches.h"

namespace aide {

using karst::test::App;

// A station dialog that answers from a script: each answer is a result and the station
// it returns.
class PointScripte : public karst::IDialoguePoint {
public:
    struct Reponse {
        int resultat;
        karst::TPointTopo point;
    };
    std::deque<Reponse> reponses;
    std::vector<int> modes;
    karst::TPointTopo affiche;
    karst::TPointTopo courant;

    void Initialise(int mode, karst::TMassif*, bool) override { modes.push_back(mode); }
    void AffichePoint(const karst::TPointTopo& p) override { affiche.Copie(p); }
    void LitPoint(karst::TPointTopo& p) const override { p.Copie(courant); }
    int Montre() override
    {
        if (reponses.empty())
            return Annuler;
        Reponse r = std::move(reponses.front());
        reponses.pop_front();
        courant.Copie(r.point);
        return r.resultat;
    }
    bool Modifie() const override { return true; }
};

}  // namespace aide
