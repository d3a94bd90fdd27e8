#pragma once
// The margins dialog ("Marges"): the four margins, the corner marks, and the place and
// visibility of the three page labels with their font.

#include "formulaires/controles.h"
#include "views/options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace karst {

class TDef_Marge : public DialogueOptions {
    Q_OBJECT
public:
    explicit TDef_Marge(QWidget* parent = nullptr);
    void Initialise(const TMarge& m);
    void Retour(TMarge& m) const;

    QLineEdit *EGauche, *EDroite, *EHaut, *EBas, *ELongueur, *EEpaisseur;
    // Label 3, the massif's file name.
    QCheckBox* F_Afficher;
    QComboBox* C_Fichier;
    // Label 2, the page number.
    QCheckBox* P_Afficher;
    QComboBox* C_Page;
    // Label 1, the date and time of printing.
    QCheckBox* D_Afficher;
    QComboBox* C_Date;
    BoutonPolice* Button1;

protected:
    bool Verifie() override { return liens_.Verifie(); }

private:
    TPolice police_;  // the working font
    Liaisons<TMarge> liens_;
};

}  // namespace karst
