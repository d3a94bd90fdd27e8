// Main-window commands that search the sheets or edit the georeferencing: "Rechercher une
// fiche", "Isoler", the reference points and the declinations; and the searches that the
// views, the explorer and the wizard ask of the main window.

#include <QAction>

#include "calcul/drapeaux.h"
#include "dialogs/choix_recherche.h"
#include "dialogs/hote_dialogues.h"
#include "dialogs/messages_communs.h"
#include "dialogs/references.h"
#include "platform/interlocuteur.h"
#include "shell/form1.h"

namespace karst {

Recherches& TForm1::Recherche()
{
    if (!recherches_)
        recherches_ = std::make_unique<Recherches>();
    return *recherches_;
}

bool TForm1::RechercheSimple(const ListeFiches& fiches, const std::array<std::string, 5>& criteres, TFiche*& fiche,
                             int& galerie)
{
    if (!Massif)
        return false;
    return Recherche().RechercheSimple(fiches, Massif.get(), fiche, galerie, criteres[0], criteres[1], criteres[2],
                                       criteres[3], criteres[4]);
}

int TForm1::ChoixStation(const std::vector<const TPointTopo*>& stations) { return Recherche().ChoixStation(stations); }

void TForm1::construitRecherches()
{
    for (QAction* a : {Ficheconnue1, BoutonRechercher, Slection1, Pointsderfrence1, BoutonReferences, Dclinaison1,
                       BoutonDeclinaison})
        DeclareCommande(a);
    for (QAction* a : {Ficheconnue1, BoutonRechercher})
        connect(a, &QAction::triggered, this, &TForm1::Ficheconnue1Click);
    connect(Slection1, &QAction::triggered, this, &TForm1::Slection1Click);
    for (QAction* a : {Pointsderfrence1, BoutonReferences})
        connect(a, &QAction::triggered, this, &TForm1::Pointsderfrence1Click);
    for (QAction* a : {Dclinaison1, BoutonDeclinaison})
        connect(a, &QAction::triggered, this, &TForm1::Dclinaison1Click);
    // The explorer and the wizard search through this entry.
    Saisie().RechercheSimple = [this](const ListeFiches& fiches, const Adresse& lieu, const std::string& station,
                                      int galerie, TFiche*& choisie, int& galerieChoisie) {
        galerieChoisie = galerie;
        return RechercheSimple(fiches, {lieu[0], lieu[1], lieu[2], lieu[3], station}, choisie, galerieChoisie);
    };
    connect(this, &QObject::destroyed, [] { Saisie().RechercheSimple = nullptr; });
}

void TForm1::Ficheconnue1Click()
{
    if (!Massif)
        return;
    if (!Massif->FichesCourantes || Massif->FichesCourantes->empty()) {
        Invite().Avertissement(QString::fromUtf8(kTexteAucuneFiche));
        return;
    }
    // The selection is sorted with the sheets while it is active.
    Massif->TrieFiches();
    TFiche* choisie = nullptr;
    int galerie = -1;
    if (!Recherche().RechercheSimple(*Massif->FichesCourantes, Massif.get(), choisie, galerie) || !choisie)
        return;
    if (Saisie().EditeFiche)
        Saisie().EditeFiche(choisie, galerie, nullptr, 0);
}

void TForm1::Slection1Click()
{
    if (!Massif || CalculEnCours)
        return;
    Massif->TrieFiches();
    auto trouvees = std::make_unique<ListeFiches>();
    if (Recherche().RechercheMultiple(*Massif->FichesCourantes, *trouvees))
        IsoleFiches(std::move(trouvees));
    else
        DemandeMiseAJourExploreur();
}

void TForm1::Pointsderfrence1Click()
{
    if (Massif)
        EditeReferences(*Massif, this, this);
}

void TForm1::Dclinaison1Click()
{
    if (Massif)
        EditeDeclinaisons(*Massif, RepProgramme, this, this);
}

}  // namespace karst
