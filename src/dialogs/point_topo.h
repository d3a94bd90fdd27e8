#pragma once
// The station dialog "Point" with which the sheet editor asks for one station: a terminus,
// or a named station with its index, proposed from the sheet being typed and from the
// other sheets of the same outing, given a free index, or taken from a searched gallery.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "survey/modele.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace karst {

class Recherches;

// What the station dialog reads of the sheet being typed in the editor.
struct SaisieEnCours {
    std::string Date;                      // the date field (dd/mm/yy)
    std::vector<std::string> Topographes;  // the surveyor lines, Windows-1252
    // The junctions in order: the end station of the gallery before, the start station of
    // the gallery after.
    std::vector<std::pair<TPointTopo, TPointTopo>> Noeuds;
    std::optional<TPointTopo> Depart;  // start station of the gallery being typed
    std::optional<TPointTopo> Final;   // when the sheet already ends on a station
};

class TPoint_Topo : public QDialog {
    Q_OBJECT
public:
    // Results of the window, as the sheet editor reads them.
    enum Resultat { Valider = 1, Annuler = 2, PointFinal = 6 };

    // The searches are those of the run; the editor's state is read through `saisie`.
    explicit TPoint_Topo(Recherches& recherches, QWidget* parent = nullptr);

    // Where the dialog reads the sheet being typed (nothing: an empty sheet).
    std::function<SaisieEnCours()> Saisie;

    // Mode 0 start station, 1 arrival, 3 arrival with "Point &final".
    void Initialise(int mode, TMassif* massif, bool vider);
    void AffichePoint(const TPointTopo& p);
    void LitPoint(TPointTopo& p) const;
    // Shows the window modally: Valider, PointFinal or Annuler.
    int Montre();

    void RadioGroup1Click();
    // A proposal chosen from the list: its name and its index.
    void NomChange();
    void Timer1Timer();
    void Button1Click();
    void Button2Click();
    // "Valider" and "Point &final" close only with a valid index.
    void OKBtnClick(int resultat);
    void FormActivate();

    int16_t Mode = 0;
    TMassif* Massif = nullptr;
    QString NomSaisi;
    bool Modifie = false;

    QGroupBox* RadioGroup1;
    QRadioButton *Terminus, *PointTopo;
    QComboBox* Nom;
    QGroupBox* Indice;
    QLineEdit* Ind;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void remplitNoms();
    void active(bool point);
    void prend(const TPointTopo& p);
    Recherches& recherches_;
    QString choisi_;  // the proposal chosen, as the list shows it
};

}  // namespace karst
