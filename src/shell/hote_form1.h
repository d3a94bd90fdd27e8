#pragma once
// The explorer, the new-element wizard and the statistics in the main window: what they
// reach of it, and the commands of its menus and toolbars that run them.

#include "dialogs/hote_dialogues.h"

namespace karst {

class TForm1;
class TExploreur;

class HoteExplorateurForm1 : public HoteDialogues {
public:
    explicit HoteExplorateurForm1(TForm1& f) : f_(f) {}
    TMassif* Massif() override;
    bool PageWeb() override;
    int StyleListe() override;
    void RafraichitVues() override;
    void FichesChangees() override;
    void MiseAJourMenus() override;
    void TexteEtat(int panneau, const QString& texte) override;
    void ActiveRecuperer() override;
    void DemandeCalcul(bool automatique) override;
    void EditeFiche(TFiche* fiche, int galerie, const Adresse* adresse, unsigned champs) override;
    bool RechercheSimple(const ListeFiches& fiches, const Adresse& lieu, const std::string& station, int galerie,
                         TFiche*& choisie, int& galerieChoisie) override;
    bool DemandeEnregistrement(bool avecAnnuler) override;
    void FermeMassif() override;
    bool OuvreMassif(const std::string& nom) override;
    bool ChoisitMassif(std::string& nom) override;
    void Declinaisons() override;
    void References() override;
    void DemandeMiseAJourExploreur() override;

private:
    TForm1& f_;
};

// Connects the main window's explorer commands, "&Nouveau ..." and "&Statistiques ...":
// the explorer is created with each massif opened.
void InstalleExplorateur(TForm1& f);

// The main window's explorer, or null.
TExploreur* Exploreur(TForm1& f);

// "&Explorateur": shows the explorer maximised, creating it and building its tree when
// there is none.
void Explorateur1Click(TForm1& f);

// "&Statistiques ..." over the current sheets.
void Statistiques1Click(TForm1& f);

}  // namespace karst
