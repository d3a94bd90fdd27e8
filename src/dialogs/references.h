#pragma once
// The georeferencing of a massif: its reference points ("Points de référence"), its
// magnetic declination model and geodesic angle ("Déclinaisons"), and the meridian
// convergence computed from a projection origin ("Convergence des méridiens").

#include <QDialog>
#include <string>
#include <vector>

#include "views/changement.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace karst {

class TMassif;

// The reference grid: one row per point with its name, index, X and Y in km, Z in m.
class TReference : public QDialog {
    Q_OBJECT
public:
    explicit TReference(QWidget* parent = nullptr);

    // One row per reference point of the massif, at least nine rows.
    void Remplit(const TMassif& massif);
    // Rebuilds the massif's reference points from the rows that have a name.
    void Lit(TMassif& massif) const;

    void StringGrid1Click();
    // Enter in a cell: the next column, or the first of the next row.
    void ToucheEntree();
    void SupprimerClick();
    void OKBtnClick();

    QTableWidget* StringGrid1;
    QPushButton *Supprimer, *Button1, *Button2;
};

// "Déclinaisons": the magnetic declination's initial value, date and annual change, and
// the geodesic angle.
class TDeclinaisonDefaut : public QDialog {
    Q_OBJECT
public:
    // `repProgramme` (with a trailing '/') holds "projection.txt".
    explicit TDeclinaisonDefaut(const std::string& repProgramme, QWidget* parent = nullptr);

    void Remplit(const TMassif& massif);
    void Lit(TMassif& massif) const;

    void OKBtnClick();
    void Button3Click();
    void Label4Click();

    // Set by every change of the geodesic value.
    bool GeodesiqueModifie = false;
    QLineEdit *Edit1, *Edit2, *Edit3, *MaskEdit1;
    QLabel* Label4;
    QPushButton *Button1, *Button2, *Button3;

private:
    std::string repProgramme_;
};

// "Convergence des méridiens": the angle between the geographic and the grid north at the
// massif's centre, from a projection of "projection.txt" or an origin typed in.
class TConvergence : public QDialog {
    Q_OBJECT
public:
    explicit TConvergence(const std::string& repProgramme, QWidget* parent = nullptr);

    void Nom_projectionChange();
    void CalculerClick();

    // After each name: the rest of its line (X, a TAB, Y).
    std::vector<std::string> Lignes;
    // Degrees.
    double Convergence = 0;

    QComboBox* Nom_projection;
    QLineEdit *X_origine, *Y_origine, *X_centre, *Y_centre;
    QPushButton *Calculer, *Button1;
};

// The commands of the main window. Each shows its dialog over the open massif and, on
// confirmation, writes the values back and tells `suite` that the massif changed, which
// requests the computation (without `suite` the massif is only marked); true then. The
// declinations reduce every sheet again when the geodesic angle was changed, and count as
// a change only when a value differs.
bool EditeReferences(TMassif& massif, QWidget* parent = nullptr, SuiteChangement* suite = nullptr);
bool EditeDeclinaisons(TMassif& massif, const std::string& repProgramme, QWidget* parent = nullptr,
                       SuiteChangement* suite = nullptr);

}  // namespace karst
