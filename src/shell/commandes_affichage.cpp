// Display settings of the main window that reach the views: the tooltip choices, the view
// option dialogs and the model files loaded into the open windows; the explorer hears of
// toolbar-area size changes.

#include <QAction>
#include <QEvent>
#include <QToolBar>
#include <QToolButton>

#include "formulaires/def_bulles.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "views/contexte.h"

namespace karst {

namespace {

// The toolbar bands changing size make the explorer lay itself out again; the buttons show
// their hints only while their captions are hidden.
class SuiviBandes : public QObject {
public:
    explicit SuiviBandes(TForm1& f) : QObject(&f), f_(f) {}

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (e->type() == QEvent::Resize && qobject_cast<QToolBar*>(objet))
            f_.DemandeMiseAJourExploreur();
        if (e->type() == QEvent::ToolTip && qobject_cast<QToolButton*>(objet) && f_.Etiquettestexte1->isChecked())
            return true;
        return QObject::eventFilter(objet, e);
    }

private:
    TForm1& f_;
};

}  // namespace

void TForm1::Bulle1Click()
{
    bool aucune = BulleAucune;
    ChoixBulle c;
    c.Coordonnees = BulleCoordonnees;
    c.Commentaires = BulleCommentaires;
    c.Visees = BulleVisees;
    c.Largeur = BulleLargeur;
    c.Hauteur = BulleHauteur;
    c.Deformation = BulleDeformation;
    if (!ModifieBulles(aucune, c, this))
        return;
    BulleAucune = aucune;
    BulleCoordonnees = c.Coordonnees;
    BulleCommentaires = c.Commentaires;
    BulleVisees = c.Visees;
    BulleLargeur = c.Largeur;
    BulleHauteur = c.Hauteur;
    BulleDeformation = c.Deformation;
}

bool TForm1::ModifieOptions(GenreVue genre)
{
    bool valide = false;
    switch (genre) {
    case GenreVue::Plan: valide = OptionsPlan.Modifie(Contexte(), this); break;
    case GenreVue::Coupe: valide = OptionsCoupe.Modifie(this); break;
    case GenreVue::Perspective: valide = OptionsRelief.Modifie(Contexte(), this); break;
    case GenreVue::Tableau:
        valide = OptionsTableau.Modifie(Contexte(), this);
        if (valide && Massif)
            Massif->DimensionsAJour = false;
        break;
    }
    if (valide)
        if (TAfficheur* a = Afficheur(genre))
            a->Redessine();
    return valide;
}

void TForm1::AppliqueModele(const QString& extension)
{
    GenreVue genre;
    if (extension == QLatin1String(".PLA")) {
        genre = GenreVue::Plan;
        Contexte().OrientePlan(static_cast<double>(static_cast<long double>(OptionsPlan.Angle)));
    } else if (extension == QLatin1String(".COU")) {
        genre = GenreVue::Coupe;
    } else if (extension == QLatin1String(".PER")) {
        genre = GenreVue::Perspective;
        Contexte().OrientePerspective(static_cast<double>(static_cast<long double>(OptionsRelief.Angle_Horizontal)),
                                      static_cast<double>(static_cast<long double>(OptionsRelief.Angle_Vertical)));
    } else if (extension == QLatin1String(".TABL")) {
        genre = GenreVue::Tableau;
    } else {
        return;
    }
    if (TAfficheur* a = Afficheur(genre))
        a->Redessine();
}

void TForm1::installeSuiviBandes()
{
    auto* suivi = new SuiviBandes(*this);
    for (QToolBar* b : {ToolBar1, ToolBar3, ToolBar4}) {
        b->installEventFilter(suivi);
        for (QToolButton* bouton : b->findChildren<QToolButton*>())
            bouton->installEventFilter(suivi);
    }
}

}  // namespace karst
