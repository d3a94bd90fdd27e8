#pragma once
// The small modal dialogs of the sheet editor: gallery information, correction of a column,
// spreadsheet columns to skip, and the surveyor picker; the column fitting of string grids.

#include <QDialog>
#include <string>
#include <vector>

#include "survey/modele.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace karst {

// The lines of a memo as its user sees them: none when it is empty, and no empty last line
// after a final line break.
QStringList LignesMemo(const QPlainTextEdit* memo);

// A gallery's comment and its deformation and topofil coefficients.
class TInformations : public QDialog {
    Q_OBJECT
public:
    explicit TInformations(QWidget* parent = nullptr);
    void ChargeFiche(const TEco& commentaire, Reel6 coefficient, Reel6 coefTopofil);
    void EnregistreFiche(TEco& commentaire, Reel6& coefficient, Reel6& coefTopofil) const;
    // Shows the dialog modally (Modifie cleared first); its result.
    int Montre();

    QLineEdit *Info, *Deformation, *Topofil;
    QPushButton *Button1, *Button2;
    // One of the three edits changed since the dialog was shown.
    bool Modifie = false;

    void OKBtnClick();
};

// A constant added to the lengths, azimuths or slopes.
class TCorrection : public QDialog {
    Q_OBJECT
public:
    explicit TCorrection(QWidget* parent = nullptr);
    // Sets the check box and the texts from Quoi and SansSelection; run before showing.
    void FormActivate();
    int Montre();
    void OKBtnClick();

    uint8_t Quoi = 1;  // 1 length, 2 azimuth, 3 slope
    // In: no selection of shots is offered. Out: the correction applies to every shot.
    bool SansSelection = false;
    QLineEdit* Edit1;
    QCheckBox* LaSelection;
    QLabel *AjouterA, *Quantite;
    QPushButton *Button1, *Button2;
};

// The spreadsheet fields to skip when pasting, one number per line.
class TImportationExcel : public QDialog {
    Q_OBJECT
public:
    explicit TImportationExcel(QWidget* parent = nullptr);
    void OKBtnClick();
    // The field numbers of the memo (valid once the dialog was confirmed).
    std::vector<int> Ignores() const;

    QPlainTextEdit* Colonnes;
    QPushButton *Button1, *Button2;
};

// The surveyor picker: the names of the list file on the left, the chosen ones on the right.
class TExplorateur : public QDialog {
    Q_OBJECT
public:
    explicit TExplorateur(QWidget* parent = nullptr);
    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExcAllBtnClick();
    void SetButtons();
    // The list file the "Modifier" button opens in the user's editor.
    std::string Fichier;
    void Button3Click();

    QListWidget *SrcList, *DstList;
    QPushButton *IncludeBtn, *IncAllBtn, *ExcludeBtn, *ExAllBtn, *Button1, *Button2, *Button3;
    // Says that the list file holds no name.
    QLabel* Vide;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void MoveSelected(QListWidget* source, QListWidget* destination);
};

// Fits a grid column to its widest cell below the title row, plus 4 pixels. Grids whose
// titles are in their header start at row 0.
void AjusteColonne(QTableWidget* grille, int colonne, int premiere = 1);

// The station dialog as the sheet editor uses it: the main window gives its editor the one
// that searches through its search windows. Mode 0 asks for a start station, 1 for an
// arrival, 3 for an arrival with the "Point final" button.
class IDialoguePoint {
public:
    enum Resultat { Valider = 1, Annuler = 2, PointFinal = 6 };
    virtual ~IDialoguePoint() = default;
    virtual void Initialise(int mode, TMassif* massif, bool vider) = 0;
    virtual void AffichePoint(const TPointTopo& p) = 0;
    virtual void LitPoint(TPointTopo& p) const = 0;
    virtual int Montre() = 0;
    virtual bool Modifie() const = 0;
};

}  // namespace karst
