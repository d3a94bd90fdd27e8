#pragma once
// The small dialog of the section's branch commands: "Nouvelle branche" (offsets, left to
// right, which end of the gallery) and "Décaler une branche" (offsets only). One instance
// serves the whole run and keeps the values of its last use.

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QGroupBox;

namespace karst {

struct ChoixBranche;

class TNvlle_Branche : public QDialog {
    Q_OBJECT
public:
    explicit TNvlle_Branche(QWidget* parent = nullptr);

    QLineEdit* Horizontal;
    QLineEdit* Vertical;
    QCheckBox* CheckBox1;
    // "&Point": item 0 the start station, item 1 the end station.
    QGroupBox* Point;
    QRadioButton* PointItems[2];

    // The chosen item of "&Point".
    int ItemIndex() const;
    void FixeItemIndex(int i);
    // Shows or hides the station choice and the direction box.
    void ChoixVisibles(bool visibles);
};

// The dialog, made on first use and kept until the application ends.
TNvlle_Branche& Nvlle_Branche();

// The questions the section's branch commands ask through the main window (ContexteVues).
// A new branch at one end of a gallery between the stations `depart` and `arrivee`.
bool DemandeNouvelleBranche(const std::string& depart, const std::string& arrivee, ChoixBranche& choix);
// A branch start moved from the offsets x, z (an emptied field is 0); false when cancelled.
bool DemandeDecalage(long double x, long double z, long double& nx, long double& nz);

}  // namespace karst
