#pragma once
// Statistics of a list of sheets (counts, development, first exploration, altitudes) and
// the direction rose of their shots.

#include <QDialog>
#include <QRect>
#include <array>
#include <memory>
#include <vector>

#include "survey/modele.h"

class QLabel;
class QPushButton;
class QStatusBar;

namespace karst {

class CanvasImage;
class TfrmRose;

class TStatistique : public QDialog {
    Q_OBJECT

public:
    explicit TStatistique(TMassif& massif, QWidget* parent = nullptr);
    ~TStatistique() override;

    // The sheets totalled; owned by the caller.
    ListeFiches Fiches;

    QLabel *Fiche, *Galerie, *Visee, *Dev, *Prem, *Sup, *Inf;
    QPushButton *Button1, *Button2;

    // Computes and shows the totals.
    void FormShow();
    // "Rosace ...".
    void Button2Click();
    // Shows the window modally as the global Statistique, totals computed first.
    int Montre();

    TMassif& Massif() { return massif_; }

private:
    TMassif& massif_;
};

// The statistics window being shown, or null: the rose reads its sheet list.
extern TStatistique* Statistique;

// The rose's drawing area.
class ImageRose : public QWidget {
    Q_OBJECT
public:
    explicit ImageRose(TfrmRose& rose, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    TfrmRose& rose_;
};

class TfrmRose : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRose(QWidget* parent = nullptr);
    ~TfrmRose() override;

    std::array<int, 36> Secteurs{};
    int TotalVisees = 0;

    ImageRose* imgRose = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // The image drawn on, of imgRose's size.
    std::unique_ptr<CanvasImage> Bitmap;
    // Where the bearing labels were last drawn on it.
    std::vector<QRect> Etiquettes;

    // Creates a rose window, shows it modally and frees it.
    static void Affiche(TMassif& massif, QWidget* parent = nullptr);
    void ComputeRose();
    void DrawRose();
    void ShowPie(int x, int y);
    // The sector of a shot's azimuth in its unit: 0..35.
    static int SecteurAzimut(long double azimut, int unite);
    // The status text of the mouse at (x, y) over an image whose centre is (cx, cy).
    QString TextePointe(int x, int y, int cx, int cy) const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    friend class ImageRose;
};

}  // namespace karst
