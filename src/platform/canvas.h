#pragma once
// Drawing canvas with the state model of the views: a pen, a brush, a font and a current
// position kept between calls, and primitives whose pixel bounds follow the classic
// device rules (a rectangle or ellipse excludes its right and bottom edges, text is placed
// by its top-left corner). Colours are 0x00BBGGRR. Texts are Windows-1252 bytes
// unless their type says otherwise.
//
// Backends: an image (QImage), a printer page (QPrinter, see imprimante.h) and a recording
// canvas that keeps every call for the tests.

#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;
class QFont;
class QString;
class QPen;

namespace karst {

template <class Codage>
class TexteCode;
using TexteUtf8 = TexteCode<struct CodageUtf8>;

using Couleur = uint32_t;  // 0x00BBGGRR

constexpr Couleur kNoir = 0x000000;
constexpr Couleur kBlanc = 0xFFFFFF;
constexpr Couleur kRouge = 0x0000FF;

// Copy paints the pen colour; Fusion ORs it into each pixel; Inverse inverts each pixel
// whatever the colour.
enum class ModeStylo : uint8_t { Copie, Fusion, Inverse };

struct Stylo {
    Couleur couleur = kNoir;
    int largeur = 1;  // pixels; 0 means one pixel
    ModeStylo mode = ModeStylo::Copie;
    bool visible = true;  // false: the clear pen, nothing outlined
    bool tirets = false;  // dashed
    bool operator==(const Stylo&) const = default;
};

struct Pinceau {
    Couleur couleur = kBlanc;
    bool plein = true;  // false: the clear brush, nothing filled and text drawn transparent
    bool operator==(const Pinceau&) const = default;
};

// A font as the option records keep it. Hauteur is in pixels at PixelsParPouce: negative
// for the character height, positive for the cell height. Setting the size in points
// recomputes the height.
struct Police {
    std::string Nom = "Times New Roman";  // Windows-1252
    int Hauteur = -11;
    int PixelsParPouce = 96;
    Couleur couleur = kNoir;
    uint8_t Style = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out
    uint8_t JeuCaracteres = 1;
    uint8_t Pas = 0;  // 0 default, 1 variable, 2 fixed

    enum : uint8_t { Gras = 1, Italique = 2, Souligne = 4, Barre = 8 };

    // Size in points from the height: -Hauteur * 72 / PixelsParPouce, halves away from 0.
    int Taille() const;
    void FixeTaille(int points);
    bool operator==(const Police&) const = default;
};

class TCanvas {
public:
    explicit TCanvas(int pixelsParPouce = 96) : ppp_(pixelsParPouce) {}
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // State. The font given is adapted to this canvas: when its pixels per inch differ from
    // the canvas's, its height is recomputed from its size in points.
    const Stylo& Pen() const { return stylo_; }
    void FixePen(const Stylo& s) { stylo_ = s; }
    void FixeCouleurPen(Couleur c) { stylo_.couleur = c; }
    void FixeLargeurPen(int l) { stylo_.largeur = l; }
    void FixeModePen(ModeStylo m) { stylo_.mode = m; }
    const Pinceau& Brush() const { return pinceau_; }
    void FixeBrush(const Pinceau& p) { pinceau_ = p; }
    void FixeBrushPlein(bool plein) { pinceau_.plein = plein; }
    const Police& Font() const { return police_; }
    void FixeFont(const Police& p);
    // Changes the height alone (pixels of this canvas).
    void FixeHauteurFont(int hauteur);
    int PixelsParPouce() const { return ppp_; }
    int PositionX() const { return posX_; }
    int PositionY() const { return posY_; }
    // Limits every drawing that follows to the rectangle (right and bottom excluded), as a
    // printed page keeps its drawing inside its frame; SansDecoupe lifts the limit.
    void FixeDecoupe(int gauche, int haut, int droite, int bas);
    void SansDecoupe();
    const std::optional<QRect>& Decoupe() const { return decoupe_; }

    virtual int Largeur() const = 0;
    virtual int Hauteur() const = 0;

    // Primitives.
    void MoveTo(int x, int y)
    {
        posX_ = x;
        posY_ = y;
    }
    void LineTo(int x, int y);
    void Ellipse(int gauche, int haut, int droite, int bas);
    void Rectangle(int gauche, int haut, int droite, int bas);
    // A pie wedge of the ellipse of that box, outlined with the pen and filled with the
    // brush: the arc runs counter-clockwise from the ray through (x1, y1) to the ray
    // through (x2, y2).
    void Pie(int gauche, int haut, int droite, int bas, int x1, int y1, int x2, int y2);
    // Fills the rectangle with the brush, without outline.
    void FillRect(int gauche, int haut, int droite, int bas);
    void TextOut(int x, int y, const std::string& texte);
    // A text of the user interface rather than of the model (a file name, a tree's label).
    void TextOut(int x, int y, const TexteUtf8& texte);
    int TextWidth(const std::string& texte);
    int TextHeight(const std::string& texte);
    // Fills with the brush from (x, y): with `surface`, the area of pixels of colour
    // `couleur`; otherwise the area bounded by pixels of colour `couleur`.
    void FloodFill(int x, int y, Couleur couleur, bool surface);
    // Copies the whole of `source` with its top-left corner at (x, y), plain copy.
    void Draw(int x, int y, TCanvas& source);
    // Copies a picture stretched onto the rectangle (right and bottom excluded).
    void StretchDraw(int gauche, int haut, int droite, int bas, const QImage& image);
    // A blank canvas of the same kind, for drawing off screen before a Draw onto this one.
    virtual std::unique_ptr<TCanvas> CreeCompatible(int largeur, int hauteur) = 0;

protected:
    virtual void faitLigne(int x0, int y0, int x1, int y1) = 0;
    virtual void faitEllipse(int g, int h, int d, int b) = 0;
    virtual void faitRectangle(int g, int h, int d, int b) = 0;
    virtual void faitSecteur(int g, int h, int d, int b, int x1, int y1, int x2, int y2) = 0;
    virtual void faitRemplissage(int g, int h, int d, int b) = 0;
    // Texts as the screen shows them.
    virtual void faitTexte(int x, int y, const QString& texte) = 0;
    virtual int mesureLargeur(const QString& texte) = 0;
    virtual int mesureHauteur(const std::string& texte) = 0;
    virtual void faitFloodFill(int x, int y, Couleur c, bool surface) = 0;
    virtual void faitDraw(int x, int y, TCanvas& source) = 0;
    virtual void faitStretchDraw(int g, int h, int d, int b, const QImage& image) = 0;
    // The limit is about to become `nouvelle`.
    virtual void changeDecoupe(const std::optional<QRect>& /*nouvelle*/) {}

    Stylo stylo_;
    Pinceau pinceau_;
    Police police_;
    int ppp_;
    int posX_ = 0, posY_ = 0;
    std::optional<QRect> decoupe_;
};

// Canvas over a Qt paint device (an image or a printer), drawn with aliased primitives and
// the raster operations of the pen modes. The painter stays open between calls.
class CanvasPeintre : public TCanvas {
public:
    ~CanvasPeintre() override;
    // Ends the painter, so that the device can be read or handed over. False when the
    // painter could not begin or its device failed to end.
    bool Termine();
    // Draws what is still gathered, before the device turns a page.
    void Vide() { videLignes(); }
    // The Qt font for a canvas font at this canvas's resolution.
    QFont PoliceQt() const;

protected:
    explicit CanvasPeintre(int pixelsParPouce);
    virtual QPaintDevice* peripherique() = 0;
    // Pixels (an image), not shapes (a printer or PDF page): small ellipses may be stamped.
    virtual bool matriciel() const { return false; }
    QPainter& peintre();

    void faitLigne(int x0, int y0, int x1, int y1) override;
    void faitEllipse(int g, int h, int d, int b) override;
    void faitRectangle(int g, int h, int d, int b) override;
    void faitSecteur(int g, int h, int d, int b, int x1, int y1, int x2, int y2) override;
    void faitRemplissage(int g, int h, int d, int b) override;
    void faitTexte(int x, int y, const QString& texte) override;
    int mesureLargeur(const QString& texte) override;
    int mesureHauteur(const std::string& texte) override;
    void faitDraw(int x, int y, TCanvas& source) override;
    void faitStretchDraw(int g, int h, int d, int b, const QImage& image) override;
    // What is gathered is drawn under the old limit.
    void changeDecoupe(const std::optional<QRect>& nouvelle) override;

private:
    // Brings the painter to the pen (for an outline) and brush (for a fill) of the canvas,
    // changing only what differs from what it holds.
    void appliqueStylo(bool contour, bool remplissage);
    // The raster operation of a pen mode alone.
    void appliqueMode(ModeStylo mode);
    // Draws the lines and ellipses gathered so far.
    void videLignes();
    bool enAttente() const { return nbLots_ > 0 || !tampons_.empty(); }
    const QPen& penQt(const Stylo& s);
    std::unique_ptr<QPainter> peintre_;
    // What the painter holds, valid while etatAJour_: the drawing calls that set the
    // painter themselves (text, fills, copies) clear it.
    bool etatAJour_ = false;
    ModeStylo modeApplique_ = ModeStylo::Copie;
    bool avecStylo_ = false, avecPinceau_ = false;
    bool styloConnu_ = false, pinceauConnu_ = false;
    Stylo styloApplique_;
    Couleur couleurPinceau_ = 0;
    // The pens of the last two pen states: drawings switch back and forth between two.
    struct PenEnCache;
    std::unique_ptr<PenEnCache[]> pens_;
    int prochainPen_ = 0;
    // Lines copied in one colour give the same pixels in any order: they are gathered by
    // pen and drawn together when anything else is to be drawn or read.
    struct LotLignes {
        Stylo stylo;
        std::vector<QLine> lignes;
    };
    std::array<LotLignes, 3> lots_;
    std::size_t nbLots_ = 0;
    // Small ellipses of that same colour, outline and inside, gathered with the lines:
    // their place and their entry in ellipses_.
    std::vector<std::pair<QPoint, std::size_t>> tampons_;
    Couleur couleurEnAttente_ = 0;
    // Small ellipses drawn once per size, pen and brush.
    struct EllipseEnCache {
        int largeur = 0, hauteur = 0;
        Stylo stylo;
        Pinceau pinceau;
        QImage image;  // drawn at (marge, marge)
        int marge = 0;
    };
    std::size_t ellipse(int largeur, int hauteur);
    std::vector<EllipseEnCache> ellipses_;
};

// Canvas on an image of its own (Format_RGB32), filled white when created.
class CanvasImage : public CanvasPeintre {
public:
    CanvasImage(int largeur, int hauteur, int pixelsParPouce = 96);
    ~CanvasImage() override;
    int Largeur() const override;
    int Hauteur() const override;
    // The image, with every drawing done so far.
    const QImage& Image();
    // 0x00BBGGRR of one pixel.
    Couleur Pixel(int x, int y);
    std::unique_ptr<TCanvas> CreeCompatible(int largeur, int hauteur) override;

protected:
    QPaintDevice* peripherique() override;
    bool matriciel() const override { return true; }
    void faitFloodFill(int x, int y, Couleur c, bool surface) override;
    void faitDraw(int x, int y, TCanvas& source) override;

private:
    std::unique_ptr<QImage> image_;
};

// One recorded call of a recording canvas, with the state it was drawn with.
struct Trace {
    enum Genre { Ligne, Ellipse, Rectangle, Remplissage, Texte, FloodFill, Dessin, Secteur };
    Genre genre = Ligne;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::vector<std::pair<int, int>> points;
    std::string texte;  // Windows-1252, whichever encoding the text was given in
    Stylo stylo;
    Pinceau pinceau;
    Police police;
    // The limit the call was drawn under, if any; a line is recorded cut to it.
    std::optional<QRect> decoupe;
};

// Canvas that keeps every drawing call. Text metrics are fixed so that the tests can
// compute placements: a text is |font height| pixels high and |font height| / 2 pixels
// wide per byte. Under a limit it keeps what shows: a line is cut to the limit, and a call
// whose box lies wholly outside it is not recorded.
class CanvasEnregistreur : public TCanvas {
public:
    CanvasEnregistreur(int largeur, int hauteur, int pixelsParPouce = 96)
        : TCanvas(pixelsParPouce), largeur_(largeur), hauteur_(hauteur)
    {}
    int Largeur() const override { return largeur_; }
    int Hauteur() const override { return hauteur_; }
    std::vector<Trace> Traces;
    std::unique_ptr<TCanvas> CreeCompatible(int largeur, int hauteur) override;

protected:
    void faitLigne(int x0, int y0, int x1, int y1) override;
    void faitEllipse(int g, int h, int d, int b) override;
    void faitRectangle(int g, int h, int d, int b) override;
    void faitSecteur(int g, int h, int d, int b, int x1, int y1, int x2, int y2) override;
    void faitRemplissage(int g, int h, int d, int b) override;
    void faitTexte(int x, int y, const QString& texte) override;
    int mesureLargeur(const QString& texte) override;
    int mesureHauteur(const std::string& texte) override;
    void faitFloodFill(int x, int y, Couleur c, bool surface) override;
    void faitDraw(int x, int y, TCanvas& source) override;
    // Recorded as a copy (Dessin) with its rectangle.
    void faitStretchDraw(int g, int h, int d, int b, const QImage& image) override;

private:
    Trace trace(Trace::Genre g) const;
    // Records the call unless its box (g, h)-(d, b) lies wholly outside the limit.
    void garde(Trace t, int g, int h, int d, int b);
    int largeur_, hauteur_;
};

}  // namespace karst
