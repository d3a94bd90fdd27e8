#pragma once
// The view window: a child window of the main window that shows one view of the open
// massif, with its scroll bars, its image, its scale and display ratio, its selection and
// its status text.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "survey/reel6.h"
#include "views/graphique.h"

class QScrollBar;

namespace karst {

class CanvasImage;
class TForm1;

// The image control of the view window: shows the window's bitmap.
class TImageVue : public QWidget {
    Q_OBJECT

public:
    explicit TImageVue(QWidget* parent = nullptr);
    // The bitmap painted; null paints nothing.
    void FixeBitmap(CanvasImage* bitmap) { bitmap_ = bitmap; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    CanvasImage* bitmap_ = nullptr;
};

class TAfficheur : public QWidget {
    Q_OBJECT

public:
    explicit TAfficheur(TForm1& form, QWidget* parent = nullptr);
    ~TAfficheur() override;

    // ---- fields ----
    std::unique_ptr<TGraphique> Graphique;
    Reel6 Rapport{1.0L};
    int32_t Largeur = 0, Hauteur = 0;
    int32_t FacteurY = 1, FacteurX = 1;
    int32_t FicheSel = 0, GalerieSel = 0, PointSel = 0;
    bool SelectionValide = false;
    bool SaisieEchelle = false;
    bool SansDessin = false;
    std::string PasRotation = "10";
    // Selection text or angles, Windows-1252 bytes.
    std::string TexteEtat;
    // 0 plan, 1 section, 2 perspective, 3 table.
    int Genre = 0;

    // ---- components ----
    QScrollBar* Barre_Verticale = nullptr;
    QScrollBar* Barre_Horizontale = nullptr;
    QWidget* PanelFond = nullptr;
    TImageVue* Image2 = nullptr;
    QWidget* Support_OpenGL = nullptr;
    // The bitmap of Image2, the drawing surface of the views.
    std::unique_ptr<CanvasImage> Bitmap;

    // ---- operations ----
    // Creates the view of that kind and shows it whole. Kinds whose view is not available
    // leave the window empty.
    void Initialise(int genre);
    // The same with a view made by the caller.
    void InitialiseVue(int genre, std::unique_ptr<TGraphique> vue);
    void Redessine();
    // Redessine on every view window of the main window.
    void RedessineTout();
    // The drawing mode from the main window's tool buttons.
    uint16_t OutilSouris() const;
    void SelectionnePosition(int16_t fiche, int16_t galerie, int16_t point);
    // Erases the highlight and drops the selection.
    void OteSelection();
    // The selected sheet and gallery, or null.
    void ElementCourant(TFiche*& fiche, TGalerie*& galerie);
    // 3D mode: the OpenGL panel is shown.
    bool Mode3D() const;

    // Handlers of the main window's scale and ratio boxes.
    void Boite_EchelleChange();
    // One typed character; true when it is swallowed.
    bool Boite_EchelleKeyPress(QChar touche);
    void Boite_EchelleExit();
    void Boite_RapportChange();

    void FormActivate();
    void FormDeactivate();

    // The window's design size (client area).
    QSize sizeHint() const override { return {818, 618}; }

    // Status text: kept, and shown in the main status bar while this window is active.
    void MontreEtat(const std::string& texte);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    struct Centre {
        Reel6 fx, fy;
    };
    Centre NoteCentre() const;
    // Sizes the drawing without drawing it, puts the noted centre back in the middle of
    // the window, then draws.
    void RestaureCentre(const Centre& c);
    // Erases (false) or draws (true) the highlight of the selection, showing its text.
    void Designe(bool affiche);
    void Defilement();
    void Ajuste();  // fit to the window
    // Applies the scale box; `retourFocus` gives it the focus back afterwards.
    void AppliqueEchelle(bool retourFocus);

    TForm1& form_;
};

}  // namespace karst
