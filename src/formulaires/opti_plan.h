#pragma once
// The layout dialogs of the plan ("Mise en page du plan") and of the perspective
// ("Mise en page de la perspective"). Each works on a copy of its option record: fonts
// and colours are chosen into the copy, and only the option's Modifie copies the controls
// back after "Valider".

#include "formulaires/controles.h"
#include "views/options.h"

class QCheckBox;
class QLineEdit;

namespace karst {

class TOpti_Plan : public DialogueOptions {
    Q_OBJECT
public:
    explicit TOpti_Plan(QWidget* parent = nullptr);
    void Initialise(const TOptions_Plan& o);
    // The option with every field the dialog edits taken from the controls.
    void Retour(TOptions_Plan& o) const;

    // "Nord"
    QCheckBox* Affiche_Nord;
    GroupeRadio* Representation;
    QLineEdit *Epaisseur_Nord, *Long_Nord, *X_Nord, *Y_Nord, *Texte_Nord;
    BoutonPolice* Police_Nord;
    // "Echelle"
    QCheckBox* Affiche_Echelle;
    QLineEdit *Epaisseur_Echelle, *X_Echelle, *Y_Echelle, *Long_Echelle, *Largeur_Echelle, *Subdivision;
    BoutonPolice* Police_Echelle;
    // "Habillage"
    QLineEdit *Epaisseur_Visee, *pourcentage;
    QCheckBox* Afficher_Habillage;
    QLineEdit* Epaisseur_Habit;
    GroupeRadio* Representation_Largeur;
    QCheckBox *AuDebut, *AlaFin;
    QLineEdit* Epaisseur_Largeur;
    // "Station"
    GroupeRadio* Texte_Station;
    QLineEdit* diametre;
    BoutonPolice* Police_Station;
    // "Quadrillage"
    QCheckBox* Affiche_Quadri;
    QLineEdit *Pas, *Epaisseur_Quadri, *Longueur_Quadri;
    // "Rotation"
    QLineEdit* Angle;
    // "Impression"
    QCheckBox* Origine;
    QLineEdit *X_Origine, *Y_Origine;

protected:
    bool Verifie() override;

private:
    void Regles();
    TOptions_Plan travail_;  // its fonts are the working fonts
    Liaisons<TOptions_Plan> liens_;
};

class TOpti_Relief : public DialogueOptions {
    Q_OBJECT
public:
    explicit TOpti_Relief(QWidget* parent = nullptr);
    void Initialise(const TOptions_Relief& o);
    void Retour(TOptions_Relief& o) const;

    // "Nord"
    QCheckBox* Affiche_Nord;
    GroupeRadio* Representation;
    QLineEdit *X_Nord, *Y_Nord, *Z_Nord, *Epaisseur_Nord, *Long_Nord, *Texte_Nord;
    BoutonPolice* Police_Nord;
    // "Repère"
    QCheckBox* Affiche_Echelle;
    QLineEdit *Epaisseur_Echelle, *Long_Echelle, *Largeur_Echelle, *Subdivision;
    QLineEdit* X_Echelle;
    QCheckBox* X_Inverse;
    QLineEdit* Y_Echelle;
    QCheckBox* Y_Inverse;
    QLineEdit* Z_Echelle;
    QCheckBox* Z_Inverse;
    BoutonPolice* Police_Echelle;
    // "Rotation"
    QLineEdit *Angle_Horizontal, *Angle_Vertical;
    // "Habillage"
    QLineEdit *Epaisseur_Visee, *pourcentage;
    // "Station"
    GroupeRadio* Texte_Station;
    QLineEdit* diametre;
    BoutonPolice* Police_Station;
    // "Rectangle"
    QCheckBox* Affiche_Quadri;
    QLineEdit* Epaisseur_Quadri;
    BoutonCouleur* Couleur_Cadre;
    // "3 D"
    BoutonCouleur* Button1;  // passages
    QLineEdit* Largeur_3D;
    QCheckBox* Filaire;
    BoutonCouleur* Button2;  // background
    QCheckBox* Cylindre;
    QLineEdit* N_Face;
    BoutonCouleur* Button3;  // station cylinders

protected:
    bool Verifie() override;

private:
    void Regles();
    TOptions_Relief travail_;  // its fonts and colours are the working ones
    Liaisons<TOptions_Relief> liens_;
};

}  // namespace karst
