#include "shell/hote_form1.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "dialogs/exploreur.h"
#include "dialogs/messages_communs.h"
#include "dialogs/nouveaute.h"
#include "dialogs/statistique.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "shell/form1.h"

namespace karst {

namespace {

// Holds the main window's host for the life of the window.
class LienExplorateur : public QObject {
public:
    explicit LienExplorateur(TForm1& f) : QObject(&f), hote(f) { setObjectName(QStringLiteral("LienExplorateur")); }
    HoteExplorateurForm1 hote;
};

HoteExplorateurForm1& Hote(TForm1& f) { return f.findChild<LienExplorateur*>(QStringLiteral("LienExplorateur"))->hote; }

QMdiSubWindow* Cadre(QWidget* w) { return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr; }

TExploreur* CreeExploreur(TForm1& f)
{
    auto* e = new TExploreur(Hote(f));
    f.FenetreExploreur = e;
    QMdiSubWindow* s = f.Mdi->addSubWindow(e);
    s->setAttribute(Qt::WA_DeleteOnClose);
    s->setWindowFlags(Qt::SubWindow | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                      Qt::WindowMinimizeButtonHint);
    // Always maximised or minimised: restored, it goes down.
    // The explorer's commands follow its state.
    QObject::connect(s, &QMdiSubWindow::windowStateChanged, e, [s, e, &f](Qt::WindowStates avant, Qt::WindowStates apres) {
        const auto extremes = Qt::WindowMaximized | Qt::WindowMinimized;
        if ((avant & extremes) && !(apres & extremes))
            QTimer::singleShot(0, s, [s] { s->showMinimized(); });
        // The changes made while it was minimised did not reach it.
        else if ((avant & Qt::WindowMinimized) && !(apres & Qt::WindowMinimized))
            e->DemandeMiseAJour();
        f.MiseAJourMenus();
    });
    QObject::connect(f.Mdi, &QMdiArea::subWindowActivated, e, [e, s](QMdiSubWindow* active) {
        if (active == s)
            e->FormActivate();
    });
    QObject::connect(e, &QObject::destroyed, &f, [&f] { QTimer::singleShot(0, &f, [&f] { f.MiseAJourMenus(); }); });
    s->showMaximized();
    e->FormResize();
    f.MiseAJourMenus();
    return e;
}

}  // namespace

TMassif* HoteExplorateurForm1::Massif() { return f_.Massif.get(); }
bool HoteExplorateurForm1::PageWeb() { return f_.Web1->isChecked(); }

int HoteExplorateurForm1::StyleListe()
{
    const QAction* styles[4] = {f_.Grandesicnes1, f_.Petitesicnes1, f_.Liste1, f_.Dtail1};
    for (int i = 0; i < 4; ++i)
        if (styles[i]->isChecked())
            return i;
    return 0;
}

void HoteExplorateurForm1::RafraichitVues() { f_.RafraichitVues(); }
void HoteExplorateurForm1::FichesChangees() { f_.FichesChangees(); }
void HoteExplorateurForm1::MiseAJourMenus() { f_.MiseAJourMenus(); }

void HoteExplorateurForm1::TexteEtat(int panneau, const QString& texte)
{
    if (panneau >= 0 && panneau < 3)
        f_.Panneaux[static_cast<std::size_t>(panneau)]->setText(texte);
}

void HoteExplorateurForm1::ActiveRecuperer() { f_.Rcuprer1->setEnabled(true); }
void HoteExplorateurForm1::DemandeCalcul(bool automatique) { f_.DemandeCalcul(automatique); }

void HoteExplorateurForm1::EditeFiche(TFiche* fiche, int galerie, const Adresse* adresse, unsigned champs)
{
    if (Saisie().EditeFiche)
        Saisie().EditeFiche(fiche, galerie, adresse, champs);
}

bool HoteExplorateurForm1::RechercheSimple(const ListeFiches& fiches, const Adresse& lieu, const std::string& station,
                                           int galerie, TFiche*& choisie, int& galerieChoisie)
{
    return Saisie().RechercheSimple &&
           Saisie().RechercheSimple(fiches, lieu, station, galerie, choisie, galerieChoisie);
}

bool HoteExplorateurForm1::DemandeEnregistrement(bool avecAnnuler) { return f_.DemandeEnregistrement(avecAnnuler); }
void HoteExplorateurForm1::FermeMassif() { f_.FermeMassif(); }
bool HoteExplorateurForm1::OuvreMassif(const std::string& nom) { return f_.OuvreMassif(nom); }

bool HoteExplorateurForm1::ChoisitMassif(std::string& nom)
{
    DialogueFichier d{QString(), QString::fromUtf8(kFiltreMassif), QStringLiteral("fic"), QString(), 1, {}};
    if (!Invite().Ouvrir(d))
        return false;
    nom = CheminSysteme(d.nom);
    return true;
}

void HoteExplorateurForm1::Declinaisons() { f_.Dclinaison1->trigger(); }
void HoteExplorateurForm1::References() { f_.Pointsderfrence1->trigger(); }

void HoteExplorateurForm1::DemandeMiseAJourExploreur()
{
    if (TExploreur* e = Exploreur(f_))
        e->DemandeMiseAJour();
}

TExploreur* Exploreur(TForm1& f) { return qobject_cast<TExploreur*>(f.FenetreExploreur.data()); }

void Explorateur1Click(TForm1& f)
{
    if (!f.Massif)
        return;
    if (TExploreur* e = Exploreur(f)) {
        for (QMdiSubWindow* s : f.Mdi->subWindowList())
            if (s->widget() != e && s->isMaximized())
                s->showNormal();
        if (QMdiSubWindow* s = Cadre(e)) {
            f.Mdi->setActiveSubWindow(s);
            s->showMaximized();
        }
    } else {
        CreeExploreur(f)->ConstruitArbre();
    }
    f.MiseAJourMenus();
}

void Statistiques1Click(TForm1& f)
{
    if (!f.Massif)
        return;
    TStatistique s(*f.Massif, &f);
    if (!f.Massif->PointsCalcules)
        f.Massif->PlaceTousPoints();
    s.Fiches = *f.Massif->FichesCourantes;
    s.Montre();
}

void InstalleExplorateur(TForm1& f)
{
    new LienExplorateur(f);
    QObject::connect(&f, &TForm1::MassifOuvert, &f, [&f] {
        if (!Exploreur(f))
            CreeExploreur(f);
    });
    QObject::connect(&f, &TForm1::StyleExplorateur, &f, [&f] {
        if (TExploreur* e = Exploreur(f))
            e->AppliqueStyle();
    });
    auto relie = [&f](std::initializer_list<QAction*> actions, void (TExploreur::*commande)()) {
        for (QAction* a : actions) {
            f.DeclareCommande(a);
            QObject::connect(a, &QAction::triggered, &f, [&f, commande] {
                if (TExploreur* e = Exploreur(f))
                    (e->*commande)();
            });
        }
    };
    relie({f.BoutonPrecedente}, &TExploreur::Precedent);
    relie({f.BoutonSuivante}, &TExploreur::Suivant);
    relie({f.BoutonParent}, &TExploreur::DossierParent);
    relie({f.BoutonSupprimer}, &TExploreur::Supprime);
    relie({f.Annuler1, f.BoutonAnnuler}, &TExploreur::AnnuleDeplacement);
    relie({f.Couper1, f.BoutonCouper}, &TExploreur::Couper);
    relie({f.Copier1, f.BoutonCopier}, &TExploreur::Copier);
    relie({f.Coller1, f.BoutonColler}, &TExploreur::Coller);
    relie({f.BoutonEditer}, &TExploreur::Editer);
    relie({f.BoutonProprietes}, &TExploreur::Proprits1Click);
    for (QAction* a : {f.Explorateur1, f.BoutonExplorer}) {
        f.DeclareCommande(a);
        QObject::connect(a, &QAction::triggered, &f, [&f] { Explorateur1Click(f); });
    }
    f.DeclareCommande(f.Nouveau1);
    QObject::connect(f.Nouveau1, &QAction::triggered, &f, [&f] { TNouveaute::Execute(Hote(f), &f); });
    f.DeclareCommande(f.Statistiques1);
    QObject::connect(f.Statistiques1, &QAction::triggered, &f, [&f] { Statistiques1Click(f); });
    f.MiseAJourMenus();
}

}  // namespace karst
