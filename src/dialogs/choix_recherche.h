#pragma once
// Picking among the sheets a search found: the grid "Choix simple" (one sheet, or one
// station of a list), the plan picker "Recherche graphique" (one gallery of the listed
// sheets) and the two lists of "Sélection de plusieurs fiches"; the two search entry
// points over them.

#include <QDialog>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "survey/modele.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableWidget;

namespace karst {

class CanvasImage;
class TBaseRecherche;

// The image of the plan picker: shows the picture and reports the mouse.
class ImageApercu : public QWidget {
    Q_OBJECT
public:
    explicit ImageApercu(QWidget* parent);
    const QImage* Image = nullptr;

signals:
    void Deplace(int x, int y);
    void Clic();
    void DoubleClic();
    void Redimensionne();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};

// "Recherche graphique": the plan of the listed sheets; a click picks the nearest gallery.
class TApercu : public QDialog {
    Q_OBJECT
public:
    explicit TApercu(QWidget* parent = nullptr);
    ~TApercu() override;

    // False when no gallery of the list is positioned.
    bool DefinitListe(const ListeFiches& fiches);
    // Draws the plan afresh, with nothing picked.
    void Dessine();
    // Draws the picked gallery red, or black again when erasing.
    void Surligne(bool efface);
    void Image1MouseMove(int x, int y);
    void Image1Click();
    // Takes what "Prendre" would take, and nothing when it is off.
    void Image1DblClick();
    void FormResize();

    // World to image pixels.
    int PixelX(long double x) const;
    int PixelY(long double y) const;
    CanvasImage* Canvas() const { return canvas_.get(); }

    ListeFiches Fiches;
    TStation PointMin, PointMax;
    double Xmin = 0, Xmax = 1, Ymin = 0, Ymax = 1;
    uint16_t FicheChoisie = 0, GalerieChoisie = 0;
    int SourisX = 0, SourisY = 0;
    bool Trouve = false;
    bool Surlignee = false;
    bool GriserCoupe = false;

    ImageApercu* Image1;
    QPushButton *OKBtn, *CancelBtn;
    QLabel* Panel1;

private:
    // The plan at the image's size.
    void trace();
    void traceGalerie(const TGalerie& g);
    std::unique_ptr<CanvasImage> canvas_;
};

// "Choix simple": sheets (modes 1, 3, 4) or stations (mode 2) in a grid.
class TRechSimp : public QDialog {
    Q_OBJECT
public:
    explicit TRechSimp(QWidget* parent = nullptr);

    // Modes 1 (view only), 3 (the same, section galleries greyed in the plan), 4 (use or view).
    void Remplit(int mode, const ListeFiches& fiches, TMassif* massif);
    // Mode 2: stations.
    void Remplit(const std::vector<const TPointTopo*>& points);

    void BitBtn1Click();
    void BitBtn2Click();
    // A double click on a data row (from 0).
    void StringGrid1DblClick(int ligne);

    int16_t Choix = 0;
    int16_t Galerie = -1;
    uint16_t Mode = 1;
    ListeFiches Fiches;
    std::vector<const TPointTopo*> Points;
    TMassif* Massif = nullptr;

    QTableWidget* StringGrid1;
    QPushButton *Button1, *Button2, *Button3;
    TApercu* Apercu;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Shows rows haut..bas (from 0) in the plan picker; true when a gallery was taken.
    bool visualise(int haut, int bas);
    void ajusteLargeurs();
};

// "Sélection de plusieurs fiches".
class TRechMulti : public QDialog {
    Q_OBJECT
public:
    explicit TRechMulti(QWidget* parent = nullptr);
    void Remplit(const ListeFiches& fiches);
    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExcAllBtnClick();
    void SetButtons();
    // The sheets of the right list, top to bottom.
    ListeFiches Retenues() const;
    // Describes the sheet of that item in Details, once per item.
    void Decrit(QListWidget* liste, QListWidgetItem* item);

    QListWidget *SrcList, *DstList;
    QPushButton *IncludeBtn, *IncAllBtn, *ExcludeBtn, *ExAllBtn, *OkBtn, *CancelBtn;
    QLabel* Details;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void MoveSelected(QListWidget* source, QListWidget* destination);
    void MoveAll(QListWidget* source, QListWidget* destination);
    void SetItem(QListWidget* liste, int index);
    static int GetFirstSelection(QListWidget* liste);
    QListWidget* decritListe_ = nullptr;
    QListWidgetItem* decritItem_ = nullptr;
};

// The search windows, made once and reused for the whole run.
class Recherches {
public:
    Recherches();
    ~Recherches();
    Recherches(const Recherches&) = delete;
    Recherches& operator=(const Recherches&) = delete;

    // One sheet among those of `liste` that match the criteria. The texts (Windows-1252)
    // preset the criteria: Système, Cavité, Réseau, Lieu, station name. galerie on entry:
    // -2 the list whose button views the sheet with the section galleries greyed, -1 the
    // list whose button takes the sheet, other values the list that views it. False when
    // a window is cancelled, and then nothing changes. On true the chosen sheet, and the
    // gallery picked in the plan (from 0) or -1 when the choice was made in the list.
    bool RechercheSimple(const ListeFiches& liste, TMassif* massif, TFiche*& choisie, int& galerie,
                         const std::string& systeme = {}, const std::string& cavite = {},
                         const std::string& reseau = {}, const std::string& lieu = {}, const std::string& point = {});
    // Several sheets: on true `choisies` is emptied and receives them.
    bool RechercheMultiple(const ListeFiches& liste, ListeFiches& choisies);
    // The position of the station taken in the list, -1 when cancelled.
    int ChoixStation(const std::vector<const TPointTopo*>& points);

    std::unique_ptr<TBaseRecherche> BaseRecherche;
    std::unique_ptr<TRechSimp> RechSimp;
    std::unique_ptr<TRechMulti> RechMulti;
};

}  // namespace karst
