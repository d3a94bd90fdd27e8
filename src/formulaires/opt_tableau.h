#pragma once
// The layout dialog of the survey table ("Mise en page du tableau"): which columns are
// shown, in what order, how wide and with which titles; the items of the two page headers;
// line heights and rule thicknesses; the two table fonts; and the reference station of the
// "Zéro" page, which can be picked through the sheet search.

#include <array>

#include "formulaires/controles.h"
#include "views/options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace karst {

class TOpt_Tableau : public DialogueOptions {
    Q_OBJECT
public:
    explicit TOpt_Tableau(ContexteVues& contexte, QWidget* parent = nullptr);
    void Initialise(const TOptions_Tableau& o);
    // What showing the dialog does: the first column and the first item of each header
    // shown in their editors.
    void Prepare();
    // The option with every field the dialog edits taken from the editors; the open
    // massif's table dimensions are left to the caller.
    void Retour(TOptions_Tableau& o);

    // "Colonnes"
    QListWidget* ListBox1;
    QPushButton *Haut, *Bas;
    QCheckBox* Jaffiche;
    QLineEdit* Largeur;
    QCheckBox* Double;
    QLineEdit *Tete1, *Tete2, *Separation;
    QLabel* LabelSeparation;
    // "En-tête général" (header 0) and "En-tête restreint" (header 1)
    QListWidget *ListBox2, *ListBox3;
    QCheckBox *Jaffiche2, *Jaffiche3;
    QPushButton *La_Police, *La_PoliceR;
    QLineEdit *Intitule, *IntituleR, *X_Pos, *X_PosR, *Y_Pos, *Y_PosR;
    QCheckBox *Rappel, *RappelR;
    QLineEdit *Hauteur, *HauteurR;
    // "Ligne"
    QLineEdit *Hauteur_Ligne, *Ptt_Trait, *Gros_Trait;
    QPushButton *Button1, *Button2;  // standard and station fonts
    // "Zéro"
    QLineEdit *Point_Topo, *Indice;
    QPushButton* BitBtn1;
    QCheckBox *EnPlan, *EnAltitude;

    // The column shown at each list position 1..13.
    const std::array<int, kNbColonnes + 1>& PositionColonne() const { return position_; }

    void ListBox1Click();
    void HautClick();
    void BasClick();
    void EnTeteClick(int entete);
    void BitBtn1Click();

protected:
    bool Verifie() override;

private:
    struct EditeurEnTete {
        QListWidget* liste;
        QCheckBox* affiche;
        QPushButton* police;
        QLineEdit *intitule, *x, *y;
        int enCours = -1;  // item 1..11 shown, -1 none
    };
    // Keep the values of an editor in its column or item; false, with a message, when one
    // cannot be stored.
    bool ValideColonne();
    void ActiveColonne();
    bool ValideEnTete(int entete);
    void ActiveEnTete(int entete);
    void Selectionne(QListWidget* liste, int ligne);

    ContexteVues& contexte_;
    TOptions_Tableau travail_;          // working columns, headers and fonts
    Liaisons<TOptions_Tableau> liens_;  // the controls tied straight to a field
    std::array<int, kNbColonnes + 1> position_{};
    std::array<int16_t, kNbColonnes + 1> largeur_{};  // working widths, as in force
    int colonneEnCours_ = -1;                         // list position from 0, -1 none
    std::array<EditeurEnTete, 2> entetes_;
    bool remplissage_ = false;
};

}  // namespace karst
