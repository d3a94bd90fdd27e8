#pragma once
// The tooltip dialog "Info-bulles dans les vues": which parts of a shot's tooltip the
// plan, section and perspective windows show, or none at all.

#include <QDialog>

#include "views/contexte.h"

class QCheckBox;
class QPushButton;

namespace karst {

class TDef_Bulles : public QDialog {
    Q_OBJECT
public:
    explicit TDef_Bulles(QWidget* parent = nullptr);

    QCheckBox* Global;     // "&Ne rien afficher"
    QCheckBox* CheckBox1;  // coordinates
    QCheckBox* CheckBox2;  // comments
    QCheckBox* CheckBox3;  // shots
    QCheckBox* CheckBox4;  // width
    QCheckBox* CheckBox5;  // height
    QCheckBox* CheckBox6;  // deformation
    QPushButton* Button1;  // "Valider"
    QPushButton* Button2;  // "Annuler"

    // The part boxes are greyed while "Ne rien afficher" is ticked; their ticks stay.
    void GlobalClick();
};

// The main window's tooltip command: the dialog filled from the seven choices, which take
// the ticks back when it is confirmed. True when confirmed.
bool ModifieBulles(bool& aucune, ChoixBulle& choix, QWidget* parent = nullptr);

}  // namespace karst
