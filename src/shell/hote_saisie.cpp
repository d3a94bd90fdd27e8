#include "shell/hote_saisie.h"

#include <QAction>
#include <QLineEdit>

#include "dialogs/hote_dialogues.h"
#include "dialogs/point_topo.h"
#include "dialogs/recherche.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "shell/form1.h"

namespace karst {

TMultPageDlg* MultPageDlg = nullptr;
TForm3* Form3 = nullptr;

namespace {

class HoteSaisieForm1 : public IHoteSaisie {
public:
    explicit HoteSaisieForm1(TForm1& f) : f_(f) {}
    TMassif* MassifOuvert() override { return f_.Massif.get(); }
    void DemandeCalcul(bool automatique) override { f_.DemandeCalcul(automatique); }
    void MiseAJourMenus() override { f_.MiseAJourMenus(); }
    void Enregistrer() override { f_.Enregistrer1Click(); }
    void RafraichitExplorateur() override
    {
        // The explorer's window state is its child-window frame's.
        QWidget* e = f_.FenetreExploreur;
        QWidget* cadre = e ? e->parentWidget() : nullptr;
        if (e && (e->isMaximized() || (cadre && cadre->inherits("QMdiSubWindow") && cadre->isMaximized())))
            QMetaObject::invokeMethod(e, "MiseAJour");
    }
    std::string RepProgramme() override { return f_.RepProgramme; }
    std::string RepUtilisateur() override { return f_.RepUtilisateur; }

private:
    TForm1& f_;
};

// The station dialog as the editor asks for it; it lives with the editor and searches
// through the main window's search windows.
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

void ApresSaisie(TForm1& fenetre)
{
    if (fenetre.Massif) {
        fenetre.Massif->DimensionsAJour = false;
        fenetre.Massif->PlaceCoupe();
    }
    fenetre.RafraichitVues();
}

}  // namespace

TMultPageDlg* InstalleEditeurSaisie(TForm1& fenetre)
{
    auto* editeur = new TMultPageDlg(&fenetre.PreferenceSaisie, nullptr, &fenetre);
    editeur->PossedeHote(std::make_unique<HoteSaisieForm1>(fenetre));
    editeur->InstalleDialoguePoint(new PointSaisie(fenetre.Recherche(), *editeur));
    MultPageDlg = editeur;
    fenetre.EditeurSaisie = editeur;
    QObject::connect(&fenetre, &TForm1::ReouvreEditeur, editeur, [&fenetre, editeur] {
        editeur->Reouvre();
        ApresSaisie(fenetre);
    });
    fenetre.DeclareCommande(fenetre.Nouvellefiche1);
    // "Fiche ..." of the display settings: the input layout.
    Form3 = new TForm3(&fenetre);
    fenetre.DeclareCommande(fenetre.Fiche1);
    QObject::connect(fenetre.Fiche1, &QAction::triggered, Form3, [&fenetre] { Fiche1Click(fenetre); });
    QObject::connect(fenetre.Nouvellefiche1, &QAction::triggered, editeur,
                     [&fenetre, editeur] { NouvelleFiche(fenetre, *editeur); });
    // The explorer and the wizard open the editor through this entry.
    Saisie().EditeFiche = [&fenetre, editeur](TFiche* fiche, int galerie, const Adresse* adresse, unsigned quels) {
        if (!fenetre.Massif)
            return;
        editeur->OuvreFiche(fiche, fenetre.Massif.get(), static_cast<int16_t>(galerie), &fenetre.PreferenceSaisie);
        if (!fiche && adresse) {
            QLineEdit* champs[] = {editeur->Systeme, editeur->Cavite, editeur->Reseau, editeur->Lieu};
            for (std::size_t k = 0; k < 4; ++k)
                if (quels & (1u << k))
                    champs[k]->setText(DepuisCp1252((*adresse)[k]));
        }
        AfficheSaisie(fenetre, *editeur);
    };
    // The editor goes with its main window, whose members are gone by then: only the
    // globals are cleared.
    QObject::connect(editeur, &QObject::destroyed, [] {
        MultPageDlg = nullptr;
        Saisie().EditeFiche = nullptr;
    });
    fenetre.MiseAJourMenus();
    return editeur;
}

void AfficheSaisie(TForm1& fenetre, TMultPageDlg& editeur)
{
    ExecuteModal(editeur);
    ApresSaisie(fenetre);
}

void EditeFiche(TForm1& fenetre, TMultPageDlg& editeur, int indice, int galerie)
{
    if (!fenetre.Massif || !fenetre.Massif->FichesCourantes || indice < 0 ||
        indice >= static_cast<int>(fenetre.Massif->FichesCourantes->size()))
        return;
    editeur.OuvreFiche((*fenetre.Massif->FichesCourantes)[static_cast<std::size_t>(indice)], fenetre.Massif.get(),
                       static_cast<int16_t>(galerie), &fenetre.PreferenceSaisie);
    AfficheSaisie(fenetre, editeur);
}

void Fiche1Click(TForm1& fenetre)
{
    if (!Form3)
        return;
    Form3->Initialise(&fenetre.PreferenceSaisie);
    if (ExecuteModal(*Form3) == QDialog::Accepted)
        fenetre.PreferenceSaisie.ConstruitColonnes();
}

void NouvelleFiche(TForm1& fenetre, TMultPageDlg& editeur)
{
    if (!fenetre.Massif)
        return;
    editeur.OuvreFiche(nullptr, fenetre.Massif.get(), 0, &fenetre.PreferenceSaisie);
    AfficheSaisie(fenetre, editeur);
}

}  // namespace karst
