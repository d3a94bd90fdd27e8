#pragma once
// The layout dialog of the developed section ("Mise en page de la coupe"), with its list of
// vertical scale bars edited on a working copy: a list of names, an add and a delete
// button, and a detail editor for the selected scale.

#include "formulaires/controles.h"
#include "views/options.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace karst {

class TOpti_Coupe : public DialogueOptions {
    Q_OBJECT
public:
    explicit TOpti_Coupe(QWidget* parent = nullptr);
    void Initialise(const TOptions_Coupe& o);
    // The option with every field the dialog edits taken from the controls and the
    // working scales.
    void Retour(TOptions_Coupe& o);

    // "Echelle horizontale"
    QCheckBox* Affiche_Horizontale;
    QLineEdit *Epaisseur_Horizontale, *X_Horizontale, *Z_Horizontale, *Long_Horizontale, *Largeur_Horizontale,
        *Pas_Horizontale;
    BoutonPolice* Police_Horizontale;
    // "Echelles verticales"
    QLineEdit *Epaisseur_Verticale, *Largeur_Verticale, *Pas_Verticale;
    BoutonPolice* Police_Verticale;
    QListWidget* ListBox1;
    QPushButton* Button1;  // add
    QPushButton* Button2;  // delete
    QLineEdit *X_Verticale, *ZMin_Verticale, *ZMax_Verticale, *Decal_Verticale;
    QCheckBox* Gauche_Verticale;
    QLineEdit *Nom_Verticale, *Indice_Verticale;
    // "Habillage"
    GroupeRadio* Representation_Hauteur;
    QLineEdit *Epaisseur_hauteur, *Epaisseur_Visee, *pourcentage;
    QCheckBox* Afficher_Habillage;
    QLineEdit* Epaisseur_Habit;
    // "Stations"
    GroupeRadio* Texte_Station;
    QLineEdit* diametre;
    BoutonPolice* Police_Station;
    // "Impression"
    QCheckBox* Origine;
    QLineEdit *X_Origine, *Z_Origine;

    // The scale shown in the detail editor (from 0), -1 when none.
    int EnCours() const { return enCours_; }
    int NombreEchelles() const { return travail_.NbEchelles; }

    void ListBox1Click();
    void Button1Click();
    void Button2Click();

protected:
    bool Verifie() override;

private:
    void Regles();
    // Keeps the values of the detail editor in the scale shown; false, with a message, when
    // a value there cannot be kept.
    bool ValideDetails();
    // The scale shown holds values its record can store (see LitEntierChamp).
    bool DetailsAdmis() const;
    void ActiveDetails(bool actif);
    TOptions_Coupe travail_;          // the working fonts, scales and scale count
    Liaisons<TOptions_Coupe> liens_;  // the controls of the other pages
    int enCours_ = -1;
    bool remplissage_ = false;
};

}  // namespace karst
