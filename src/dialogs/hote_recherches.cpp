#include "dialogs/hote_recherches.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "dialogs/choix_recherche.h"
#include "dialogs/dialogues_saisie.h"
#include "dialogs/hote_saisie.h"
#include "dialogs/point_topo.h"
#include "dialogs/recherche.h"
#include "platform/texte.h"
#include "shell/form1.h"

namespace karst {

namespace {

// The station dialog as the sheet editor asks for it; it lives with the editor.
class PointSaisie : public QObject, public IDialoguePoint {
public:
    PointSaisie(Recherches& r, TMultPageDlg& editeur) : QObject(&editeur), d_(new TPoint_Topo(r, &editeur))
    {
        d_->Saisie = [&editeur] { return EtatSaisie(editeur); };
    }
    void Initialise(int mode, TMassif* massif, bool vider) override { d_->Initialise(mode, massif, vider); }
    void AffichePoint(const TPointTopo& p) override { d_->AffichePoint(p); }
    void LitPoint(TPointTopo& p) const override { d_->LitPoint(p); }
    int Montre() override { return d_->Montre(); }
    bool Modifie() const override { return d_->Modifie; }

    static SaisieEnCours EtatSaisie(const TMultPageDlg& e)
    {
        SaisieEnCours s;
        s.Date = LitDate(e.Date);
        for (const QString& t : LignesMemo(e.Topographe))
            s.Topographes.push_back(VersCp1252(t));
        for (const auto& n : e.Noeuds)
            s.Noeuds.emplace_back(n->Arrivee, n->Depart);
        if (e.PremierDepart)
            s.Depart = *e.PremierDepart;
        if (e.FinSurPoint && e.PointFinal)
            s.Final = *e.PointFinal;
        return s;
    }

private:
    TPoint_Topo* d_;
};

}  // namespace

void InstalleDialoguePoint(TForm1& f)
{
    if (MultPageDlg)
        MultPageDlg->InstalleDialoguePoint(new PointSaisie(f.Recherche(), *MultPageDlg));
}

}  // namespace karst
