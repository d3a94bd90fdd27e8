#pragma once
// "Préférences de saisie": the order, widths, units and columns of the input grid's groups.

#include <QDialog>
#include <memory>

#include "saisie/preference_ecran.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace karst {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;
    void Initialise(TPreference_Ecran* preferences);
    // "Valider": the edits go back into the layout, whose columns are rebuilt; false, with
    // nothing changed, when an edit is refused.
    bool Applique();
    void ListBox1Click();
    void HautClick();
    void BasClick();

    TPreference_Ecran* Cible = nullptr;
    std::unique_ptr<TPreference_Ecran> Copie;
    int ElementPrecedent = -1;

    QListWidget* ListBox1;
    QPushButton *Haut, *Bas, *Button1, *Button2;
    QLineEdit *Taille, *Taille_Unite, *Separateur, *Taille_Manuel;
    QComboBox* Unite;
    QCheckBox *Colonne, *Manuel;
    QGroupBox *Group_Unite, *Group_Colonne, *Group_Supplement;

private:
    // The edits into the element's group; false, with a message, when one is refused.
    bool stocke(int element);
    bool selectionSansStockage_ = false;
};

}  // namespace karst
