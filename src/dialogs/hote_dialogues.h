#pragma once
// What the explorer, the new-element wizard and the statistics reach of the main window.
// The main window's adapter (HoteForm1) implements it; the tests give a fake.

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "survey/modele.h"
#include "views/changement.h"

namespace karst {

// The four address texts of a sheet: system, cave, network, place (Windows-1252).
using Adresse = std::array<std::string, 4>;

class HoteDialogues : public SuiteChangement {
public:
    virtual ~HoteDialogues() = default;

    // The open massif, or null.
    virtual TMassif* Massif() = 0;
    // "Comme une page Web" is ticked.
    virtual bool PageWeb() = 0;
    // The ticked list style: 0 large icons, 1 small icons, 2 list, 3 details.
    virtual int StyleListe() = 0;
    virtual void RafraichitVues() = 0;
    virtual void MiseAJourMenus() = 0;
    // Text of a panel of the main window's status bar.
    virtual void TexteEtat(int panneau, const QString& texte) = 0;
    // "&Récupérer" enabled.
    virtual void ActiveRecuperer() = 0;
    // The main window's computation request after a change of the data: a running
    // computation is stopped and started again; with `automatique`, the quick computation
    // is also armed when "&Automatique" is ticked.
    void DemandeCalcul(bool automatique) override = 0;

    // Opens the sheet editor on a sheet (null: a new one) at a gallery index, then shows
    // it. For a new sheet, the place fields whose bit is set in `champs` (1 system, 2 cave,
    // 4 network, 8 place) take the parts of `adresse`; the others keep their text.
    virtual void EditeFiche(TFiche* fiche, int galerie, const Adresse* adresse, unsigned champs) = 0;
    // The simple search over the sheets with the four place criteria and a station name:
    // the chosen sheet and gallery index (-1 without a gallery); false when nothing was
    // chosen.
    virtual bool RechercheSimple(const ListeFiches& fiches, const Adresse& lieu, const std::string& station,
                                 int galerie, TFiche*& choisie, int& galerieChoisie) = 0;

    // Document commands of the main window.
    virtual bool DemandeEnregistrement(bool avecAnnuler) = 0;
    virtual void FermeMassif() = 0;
    virtual bool OuvreMassif(const std::string& nom) = 0;
    // The open dialog of massif files; false when cancelled.
    virtual bool ChoisitMassif(std::string& nom) = 0;
    // The default-declination and reference-point commands.
    virtual void Declinaisons() = 0;
    virtual void References() = 0;
    // A deferred rebuild of the explorer, when there is one.
    virtual void DemandeMiseAJourExploreur() = 0;
    void RafraichitExplorateur() override { DemandeMiseAJourExploreur(); }
};

// The sheet editor and the searches are other windows of this library: they hand the
// explorer and the wizard their entry points here when they are built. Unset entries do
// nothing (the search then chooses nothing).
struct EntreesSaisie {
    // As HoteDialogues::EditeFiche.
    std::function<void(TFiche* fiche, int galerie, const Adresse* adresse, unsigned champs)> EditeFiche;
    std::function<bool(const ListeFiches& fiches, const Adresse& lieu, const std::string& station, int galerie,
                       TFiche*& choisie, int& galerieChoisie)>
        RechercheSimple;
};
EntreesSaisie& Saisie();

// The address parts of a sheet.
Adresse AdresseFiche(const TFiche& f);
// Part k (1..4) of a sheet's address.
TEco& PartieAdresse(TFiche& f, int k);
const TEco& PartieAdresse(const TFiche& f, int k);

}  // namespace karst
