#pragma once
// Printing of a view window: the progress window of a job and the print preview, and the
// pieces of arithmetic they share with the job.

#include <QDialog>
#include <QRect>

#include "survey/reel6.h"

class QImage;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;

namespace karst {

class CanvasImage;
class TAfficheur;
class TForm1;
class TImprimante;

// "Impression": the gauge of a job and its "Interrompre" button, which only hides the
// window; the job notices it before its next page.
class TEvolution : public QDialog {
    Q_OBJECT
public:
    explicit TEvolution(QWidget* parent = nullptr);
    QProgressBar* Gauge1;
    QPushButton* Button1;
};

// The job running, or null.
extern TEvolution* Evolution;

class TImageApercu;

// "Aperçu avant impression": one page of the grid at a time, as the view draws it.
class TPreview : public QDialog {
    Q_OBJECT
public:
    TPreview(TForm1& form, QWidget* parent = nullptr);
    ~TPreview() override;

    int32_t PageCourante = 1;
    int32_t PagesX = 1, PagesY = 1;
    TAfficheur* Vue = nullptr;
    Reel6 Zoom{1.0L};

    QLabel* Label1;
    QPushButton *Button1, *Moins, *Plus;
    QScrollBar* ScrollBar1;
    TImageApercu* Image1;

    // Fits the page to the window (outer size), sets up the scroll bar and draws page 1.
    void FormShow();
    // Draws the page of the scroll bar, after a step of `pas` pages (the arrow buttons).
    void ScrollBar1Change(int pas = 0);
    bool ImprimanteMonochrome();
    void AfficheNumeroPage();
    // The page's bitmap.
    CanvasImage& Bitmap();

protected:
    void showEvent(QShowEvent* e) override;
    // The window maximised after it was shown fits its page again.
    void resizeEvent(QResizeEvent* e) override;

private:
    TForm1& form_;
};

class TGraphique;

// The most pages one print job makes.
inline constexpr int64_t kPagesMax = 10000;
// False, after saying so, when the margins leave no page to print or preview, or when the
// `pages` asked of the view's grid of `colonnes` x `lignes` are more than `maximum`.
bool GrilleImprimable(const TGraphique& vue, int colonnes, int lignes, int64_t pages, int64_t maximum);
// Every pixel to its grey (29 blue + 150 green + 77 red) / 256.
void GriseImage(QImage& image);
// Where a w x h screen picture goes on a page: as large as fits with its proportions,
// 1 % of slack, centred.
QRect RectangleImpression3D(int largeur, int hauteur, int largeurPage, int hauteurPage);

}  // namespace karst
