#pragma once
// The form of the section expert "Expert de construction de coupe": the start and arrival
// stations, the branch's offsets and direction, the dead ends; the construction itself is
// views/coupe_expert's.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace karst {

class ContexteVues;

class TExpert : public QDialog {
    Q_OBJECT
public:
    explicit TExpert(ContexteVues& contexte, QWidget* parent = nullptr);

    QLineEdit* Nom_Depart;
    QLineEdit* Indice_depart;
    QPushButton* Button1;  // "&Rechercher ..." (start)
    QLineEdit* Nom_Arrivee;
    QLineEdit* Indice_Arrivee;
    QPushButton* Button2;  // "&Rechercher ..." (arrival)
    QPushButton* Button3;  // "Le plus &loin"
    QPushButton* Button4;  // "Le plus &profond"
    QCheckBox* Nouvelle;
    QLineEdit* Horizontal;
    QLineEdit* Vertical;
    QCheckBox* Gauche;
    QCheckBox* Lateral;
    QPushButton* Button5;  // "Construire"
    QPushButton* Button6;  // "Annuler"

    // Presets the fields from the active view window's selection.
    void FormShow();
    void NouvelleClick();
    // Fills a name and an index field from a gallery picked in a sheet preview.
    void PointDeLaSelection(QLineEdit* nom, QLineEdit* indice);
    // The farthest (by path weight) or the deepest station reachable from the start
    // becomes the arrival.
    void CherchePointExtreme(bool profond);
    // Builds the branch; true when the dialog may close.
    bool Construit();

protected:
    void showEvent(QShowEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    ContexteVues& contexte_;
};

}  // namespace karst
