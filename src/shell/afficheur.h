#pragma once
// The view window: a child window of the main window that shows one view of the open
// massif, with its scroll bars, its image, its scale and display ratio, its selection and
// its status text.

#include <QPointer>
#include <QRect>
#include <QWheelEvent>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/texte.h"
#include "survey/reel6.h"
#include "views/graphique.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;

namespace karst {

class CanvasImage;
class PanneauOpenGL;
class TForm1;
class TImprimante;
class TMarge;
class TPerspective;
enum class CommandeCoupe;

// The image control of the view window: shows the window's bitmap.
class TImageVue : public QWidget {
    Q_OBJECT

public:
    explicit TImageVue(QWidget* parent = nullptr);
    // The bitmap painted; null paints nothing.
    void FixeBitmap(CanvasImage* bitmap) { bitmap_ = bitmap; }

signals:
    // Mouse events in pixels of the image, with the button pressed or released.
    void Appui(int x, int y, Qt::MouseButton bouton);
    void Mouvement(int x, int y);
    void Relache(int x, int y, Qt::MouseButton bouton);
    void DoubleClic();
    // A turn of the wheel, accepted when it scrolled.
    void Molette(QWheelEvent* e);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

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
    // What the window shows changed while it was minimised: it is drawn again when it comes
    // back, rather than at each change nobody sees.
    bool ARedessiner = false;
    QString PasRotation = QStringLiteral("10");
    // Selection text or angles, as shown.
    QString TexteEtat;
    // Mouse tools: the zoom band (first corner, then the moving one), the drag origin in
    // window positions, a drag in progress, the plan's trial angle in radians.
    std::array<int32_t, 4> CadreZoom{};
    QPoint PointDepart;
    bool Glisse = false;
    Qt::MouseButton BoutonGlisse = Qt::NoButton;
    Reel6 AngleEssai;
    // Tooltip: the window (shown once the delay has run), its text and its screen rectangle.
    QPointer<QLabel> FenetreBulle;
    TexteCp1252 TexteBulle;
    QRect RectBulle;
    // 3D mode: the mouse held on the panel, where it was pressed, how far it went, the
    // movement factor, the automatic rotation step in thousandths of a degree.
    bool EnDeplacement = false;
    int32_t DepartSourisX = 0, DepartSourisY = 0;
    int32_t DecalageSourisX = 0, DecalageSourisY = 0;
    int32_t Vitesse3D = 1;
    int32_t PasCaTourne = 0;
    // A repeated rotation of the 2D drawing runs on this window.
    bool EnRotation = false;

    // ---- components ----
    QScrollBar* Barre_Verticale = nullptr;
    QScrollBar* Barre_Horizontale = nullptr;
    QWidget* PanelFond = nullptr;
    TImageVue* Image2 = nullptr;
    QWidget* Support_OpenGL = nullptr;
    // The OpenGL drawing surface inside Support_OpenGL, made on the first switch to 3D.
    PanneauOpenGL* Panneau3D = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QTimer *Timer1 = nullptr, *Deplacement = nullptr, *Debut_3D = nullptr, *CaTourne = nullptr, *DelaiHint = nullptr;
    // The bitmap of Image2, the drawing surface of the views.
    std::unique_ptr<CanvasImage> Bitmap;

    // ---- operations ----
    // Creates the view of that kind and shows it whole. Kinds whose view is not available
    // leave the window empty.
    void Initialise(GenreVue genre);
    // The same with a view made by the caller.
    void InitialiseVue(std::unique_ptr<TGraphique> vue);
    void Redessine();
    // Redessine on every view window of the main window.
    void RedessineTout();
    // The drawing mode from the main window's tool buttons.
    uint16_t OutilSouris() const;
    void SelectionnePosition(int16_t fiche, int16_t galerie, int16_t point);
    // Draws the highlight of the selection, with its text: the selection is valid.
    void MontreSelection();
    // Erases the highlight and drops the selection.
    void OteSelection();
    // The sheet list changed: the selection is found again at its sheet's new place in the
    // working list, or goes with its sheet. True when it stays; either way it is not valid
    // until shown again, and its old highlight is left for the redraw.
    bool SuitSelection();
    // A section window scrolled, at its scale, to show these galleries of the section: the
    // whole of them when they fit, else the part around the first one's entry station.
    void MontreGaleries(const std::vector<const TGalerie*>& galeries);
    // The selected sheet and gallery, or null.
    void ElementCourant(TFiche*& fiche, TGalerie*& galerie);
    // 3D mode: the OpenGL panel is shown.
    bool Mode3D() const;
    // The window's perspective, whose 3D mode it shows; null for the other views.
    TPerspective* Perspective() const;
    // The window's plan; null for the other views.
    TPlan* Plan() const;
    // The kind of the window's view; a window not yet given its view counts as a plan.
    GenreVue Genre() const;

    // Handlers of the main window's scale and ratio boxes.
    void Boite_EchelleChange();
    // One typed character; true when it is swallowed.
    bool Boite_EchelleKeyPress(QChar touche);
    void Boite_EchelleExit();
    void Boite_RapportChange();

    void FormActivate();
    void FormDeactivate();

    // ---- mouse tools and tooltip ----
    void Image2MouseDown(int x, int y);
    void Image2MouseMove(int x, int y);
    void Image2MouseUp(int x, int y);
    // A press or release of that button: every button presses alike, but a drag ends only
    // at the release of the button that started it.
    void Appui(int x, int y, Qt::MouseButton bouton);
    void Relache(int x, int y, Qt::MouseButton bouton);
    // A drag given up (a menu opens): the band erased, the trial rotation dropped.
    void AbandonneGlisse();
    // The wheel over the drawing or around it.
    void Molette(QWheelEvent* e);
    // The arrows, PageUp, PageDown, Home and End scroll the drawing; false for other keys.
    bool DefileAuClavier(const QKeyEvent& e);
    void DelaiHintTimer();
    void CacheBulle();
    // The trial angle of a plan drag from PointDepart to this window position, radians.
    double AngleRotation(int x, int y) const;
    // AngleEssai in degrees.
    double BalayageEssai() const;

    // ---- printing ----
    // Pages premiere..derniere (from 1, row by row; 0 for every page), `copies` times.
    // `assembler`: each copy whole before the next; `inverse`: from the last page.
    void Imprime(int premiere, int derniere, int copies, const TMarge& marge, bool assembler = true,
                 bool inverse = false);
    // Corner marks and labels of page index `page` (from 0), on the printer's page, or on
    // `canvas`, the preview's image of that page at `zoom`.
    void ImprimePage(TImprimante& imprimante, int page, const TMarge& marge);
    void ImprimePage(TCanvas& canvas, TImprimante& imprimante, int page, const TMarge& marge, double zoom);

    // ---- commands of the pop-up menu and of the main window ----
    void PopupMenu1Popup();
    void Edition1Click();
    // Shows the selection in the window named "Plan", "Coupe" or "Relief".
    void MontreAilleurs(const std::string& vue);
    // The main window's print command.
    void Imprimer1Click();
    void Proprits1Click();
    void Galerie1Click();
    // Level 0 the sheet, 1 place, 2 network, 3 cave, 4 system.
    void Lieu2Click(int niveau);
    void Lieu1Click(int niveau, bool isoler);
    void Ecran1Click();
    void Dformationmax1Click();
    void Echelle2Click();
    void Pourcent1Click();
    void Rotation1Click();
    void Rotationplane1Click();
    // A command of the "Branche" menu, on a section window.
    void Branche(CommandeCoupe commande);

    // ---- 3D mode ----
    void BasculeOpenGL();
    void Debut_3DTimer();
    void Support_OpenGLMouseDown(int x, int y);
    void Support_OpenGLMouseMove(int x, int y);
    void Support_OpenGLMouseUp();
    void DeplacementTimer();
    void CaTourneTimer();
    void Timer1Timer();
    void ExporteSVG();
    void Image2DblClick();
    void FormClick();

public:
    // The window's design size (client area).
    QSize sizeHint() const override { return {818, 618}; }

    // Status text: kept, and shown in the main status bar while this window is active.
    void MontreEtat(const QString& texte);
    void MontreEtat(const TexteCp1252& texte) { MontreEtat(TexteEcran(texte)); }
    // The main window and this view window active again, after a stop or progress window.
    void RedevientActive();
    // The keyboard back from the 3D palette: this window active, its drawing or its model
    // with the focus.
    void RepriseClavier();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // Centre-keeping redraw after a change of scale or ratio, the highlight restored.
    void ChangeRapport();
    // The ratio in per cent, and the ratio box showing it.
    int Pourcentage() const;
    void MontreRapport();
    // The zoom band drawn (or erased) with the inverting pen.
    void TraceCadre();
    void Tooltip(int x, int y);
    // Repeats a step until the stop window is closed, then undoes the last one.
    void BoucleRotation(const std::function<void()>& pas, const std::function<void()>& retour);
    void Imprime3D();
    // Shift sets the walking speed; Alt and Ctrl choose the movement on the palette.
    void Touche3D(QKeyEvent* e, bool appui);
    void Fabrique3D();
    // The window's focus, when inside it, given to this widget.
    void GardeFocus(QWidget* cible);
    void MenuContextuel(const QPoint& global);
    // Stations placed, and the section laid out for the views drawn along it.
    void PlacePoints(bool coupe);
    // The selected sheet (and gallery) when the massif is open; null otherwise.
    TFiche* FicheChoisie(TGalerie*& galerie, TMassif*& massif);
    int ScrollX() const;
    int ScrollY() const;
    bool selectionAvantClic_ = false;
    // The massif had no section branch at the last sizing.
    bool coupeVide_ = false;
    bool CoupeVide() const;
    // Wheel turns short of a notch, not yet scrolled.
    QPoint resteMolette_;

    struct Centre {
        Reel6 fx, fy;
    };
    Centre NoteCentre() const;
    // Sizes the drawing without drawing it, puts the noted centre back in the middle of
    // the window, then draws.
    void RestaureCentre(const Centre& c);
    // Erases (false) or draws (true) the highlight of the selection, showing its text.
    void Designe(bool affiche);
    // The sheet a shown selection names, by address and order number: a place in the sheet
    // list is not a sheet once the list changes.
    const TFiche* ficheNommee_ = nullptr;
    int32_t ordreNomme_ = 0;
    void Defilement();
    void Ajuste();  // fit to the window
    // Applies the scale box; `retourFocus` gives it the focus back afterwards.
    void AppliqueEchelle(bool retourFocus);
    // A scale typed in the field named: 1/n for an integer n from 100 up that the view
    // holds; false, with the field's refusal, for anything else.
    static bool EchelleAdmise(const QString& champ, const QString& texte, int32_t& n);

    TForm1& form_;
};

// Fills the view window's pop-up menu with its items, tied to the window's commands.
void ConstruitMenuVue(TAfficheur& fenetre, QMenu* menu);

}  // namespace karst
