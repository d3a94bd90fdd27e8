#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "platform/texte.h"
#include "survey/modele.h"

namespace karst {

namespace {

// Nearest integer, halves to even, clamped to the int range.
int Arrondi(double v)
{
    if (std::isnan(v))
        return 0;
    double r = std::nearbyint(v);
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

QColor CouleurQt(Couleur c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

Couleur DepuisQt(QRgb p)
{
    return static_cast<Couleur>(qRed(p)) | (static_cast<Couleur>(qGreen(p)) << 8) |
           (static_cast<Couleur>(qBlue(p)) << 16);
}

}  // namespace

// ---- Police ------------------------------------------------------------------------------

namespace {

// a * b / c to the nearest integer, halves away from zero, as device font sizes are
// computed; 0 when c is 0. The result saturates at ±INT_MAX, so that it can always be
// negated (font sizes and heights are each other's negatives, and a damaged file may
// hold any number).
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const long long n = static_cast<long long>(a) * b;
    const long long an = n < 0 ? -n : n, ac = c < 0 ? -static_cast<long long>(c) : c;
    long long q = std::min<long long>((2 * an + ac) / (2 * ac), INT_MAX);
    if ((n < 0) != (c < 0))
        q = -q;
    return static_cast<int>(q);
}

}  // namespace

int Police::Taille() const { return -MulDiv(Hauteur, 72, PixelsParPouce); }

void Police::FixeTaille(int points) { Hauteur = -MulDiv(points, PixelsParPouce, 72); }

// ---- TCanvas ------------------------------------------------------------------------------

TCanvas::~TCanvas() = default;

void TCanvas::FixeFont(const Police& p)
{
    police_ = p;
    if (p.PixelsParPouce != ppp_) {
        // Keeps the size in points, as a font given to a device of another resolution does.
        int taille = p.Taille();
        police_.PixelsParPouce = ppp_;
        police_.FixeTaille(taille);
    }
}

void TCanvas::FixeHauteurFont(int hauteur) { police_.Hauteur = hauteur; }

void TCanvas::FixeDecoupe(int gauche, int haut, int droite, int bas)
{
    const std::optional<QRect> d = QRect(QPoint(gauche, haut), QPoint(droite - 1, bas - 1));
    changeDecoupe(d);
    decoupe_ = d;
}

void TCanvas::SansDecoupe()
{
    if (!decoupe_)
        return;
    changeDecoupe(std::nullopt);
    decoupe_.reset();
}

void TCanvas::LineTo(int x, int y)
{
    faitLigne(posX_, posY_, x, y);
    posX_ = x;
    posY_ = y;
}

void TCanvas::Ellipse(int g, int h, int d, int b) { faitEllipse(g, h, d, b); }
void TCanvas::Rectangle(int g, int h, int d, int b) { faitRectangle(g, h, d, b); }
void TCanvas::Pie(int g, int h, int d, int b, int x1, int y1, int x2, int y2)
{
    faitSecteur(g, h, d, b, x1, y1, x2, y2);
}
void TCanvas::FillRect(int g, int h, int d, int b) { faitRemplissage(g, h, d, b); }
void TCanvas::TextOut(int x, int y, const std::string& texte) { faitTexte(x, y, TexteEcran(TexteCp1252(texte))); }
void TCanvas::TextOut(int x, int y, const TexteUtf8& texte) { faitTexte(x, y, TexteEcran(texte)); }
int TCanvas::TextWidth(const std::string& texte) { return mesureLargeur(TexteEcran(TexteCp1252(texte))); }
int TCanvas::TextHeight(const std::string& texte) { return mesureHauteur(texte); }
void TCanvas::FloodFill(int x, int y, Couleur c, bool surface) { faitFloodFill(x, y, c, surface); }
void TCanvas::Draw(int x, int y, TCanvas& source) { faitDraw(x, y, source); }
void TCanvas::StretchDraw(int gauche, int haut, int droite, int bas, const QImage& image)
{
    faitStretchDraw(gauche, haut, droite, bas, image);
}

// ---- CanvasPeintre ------------------------------------------------------------------------

CanvasPeintre::CanvasPeintre(int pixelsParPouce) : TCanvas(pixelsParPouce) {}

CanvasPeintre::~CanvasPeintre() = default;

bool CanvasPeintre::Termine()
{
    videLignes();
    bool fini = true;
    if (peintre_) {
        // A painter that never began (a file that could not be opened) drew nothing.
        fini = peintre_->isActive() && peintre_->end();
        peintre_.reset();
    }
    etatAJour_ = false;
    return fini;
}

QPainter& CanvasPeintre::peintre()
{
    if (!peintre_) {
        peintre_ = std::make_unique<QPainter>(peripherique());
        peintre_->setRenderHint(QPainter::Antialiasing, false);
        peintre_->setRenderHint(QPainter::TextAntialiasing, false);
        etatAJour_ = false;
        if (decoupe_)
            peintre_->setClipRect(*decoupe_);
    }
    return *peintre_;
}

void CanvasPeintre::changeDecoupe(const std::optional<QRect>& nouvelle)
{
    videLignes();
    if (!peintre_)
        return;
    if (nouvelle)
        peintre_->setClipRect(*nouvelle);
    else
        peintre_->setClipping(false);
}

QFont CanvasPeintre::PoliceQt() const
{
    QFont f(DepuisCp1252(police_.Nom));
    f.setStyleStrategy(QFont::NoAntialias);
    f.setBold(police_.Style & Police::Gras);
    f.setItalic(police_.Style & Police::Italique);
    f.setUnderline(police_.Style & Police::Souligne);
    f.setStrikeOut(police_.Style & Police::Barre);
    int h = police_.Hauteur;
    if (h < 0) {
        f.setPixelSize(-h);
    } else if (h > 0) {
        // A positive height is the whole cell (ascent + descent).
        QFont essai(f);
        essai.setPixelSize(100);
        QFontMetrics m(essai);
        int cellule = std::max(1, m.ascent() + m.descent());
        f.setPixelSize(std::max(1, Arrondi(h * 100.0 / cellule)));
    } else {
        f.setPixelSize(std::max(1, Arrondi(12.0 * ppp_ / 72.0)));
    }
    return f;
}

struct CanvasPeintre::PenEnCache {
    bool valide = false;
    Stylo stylo;
    QPen pen;
};

const QPen& CanvasPeintre::penQt(const Stylo& st)
{
    if (!pens_)
        pens_ = std::make_unique<PenEnCache[]>(2);
    for (int i = 0; i < 2; ++i)
        if (pens_[i].valide && pens_[i].stylo == st)
            return pens_[i].pen;
    PenEnCache& c = pens_[prochainPen_];
    prochainPen_ = 1 - prochainPen_;
    c.valide = true;
    c.stylo = st;
    c.pen = QPen(CouleurQt(st.couleur));
    if (st.largeur > 1) {
        c.pen.setWidth(st.largeur);
        // Round ends and joins as device pens have; on pens of a few pixels they cannot be
        // told from square ones, which the raster engine draws much faster.
        const bool mince = st.largeur <= 3;
        c.pen.setCapStyle(mince ? Qt::SquareCap : Qt::RoundCap);
        c.pen.setJoinStyle(mince ? Qt::MiterJoin : Qt::RoundJoin);
    } else {
        c.pen.setWidth(0);
    }
    if (st.tirets)
        c.pen.setStyle(Qt::DashLine);
    return c.pen;
}

void CanvasPeintre::appliqueMode(ModeStylo mode)
{
    if (etatAJour_ && modeApplique_ == mode)
        return;
    QPainter& p = peintre();
    switch (mode) {
    case ModeStylo::Copie: p.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    case ModeStylo::Fusion: p.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case ModeStylo::Inverse: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    }
    modeApplique_ = mode;
    if (!etatAJour_) {
        // Everything else is unknown too: set it on the next use.
        styloConnu_ = pinceauConnu_ = false;
        etatAJour_ = true;
    }
}

void CanvasPeintre::appliqueStylo(bool contour, bool remplissage)
{
    appliqueMode(stylo_.mode);
    QPainter& p = peintre();
    const bool avecStylo = contour && stylo_.visible;
    if (!styloConnu_ || avecStylo != avecStylo_ || (avecStylo && !(stylo_ == styloApplique_))) {
        if (avecStylo)
            p.setPen(penQt(stylo_));
        else
            p.setPen(Qt::NoPen);
        avecStylo_ = avecStylo;
        styloApplique_ = stylo_;
        styloConnu_ = true;
    }
    // Lines leave the brush as it is.
    if (!remplissage)
        return;
    const bool avecPinceau = pinceau_.plein;
    if (!pinceauConnu_ || avecPinceau != avecPinceau_ || (avecPinceau && pinceau_.couleur != couleurPinceau_)) {
        if (avecPinceau)
            p.setBrush(QBrush(CouleurQt(pinceau_.couleur)));
        else
            p.setBrush(Qt::NoBrush);
        avecPinceau_ = avecPinceau;
        couleurPinceau_ = pinceau_.couleur;
        pinceauConnu_ = true;
    }
}

void CanvasPeintre::videLignes()
{
    if (!enAttente())
        return;
    const Stylo courant = stylo_;
    const std::size_t n = nbLots_;
    nbLots_ = 0;
    for (std::size_t i = 0; i < n; ++i) {
        stylo_ = lots_[i].stylo;
        appliqueStylo(true, false);
        peintre().drawLines(lots_[i].lignes.data(), static_cast<int>(lots_[i].lignes.size()));
        lots_[i].lignes.clear();
    }
    stylo_ = courant;
    if (!tampons_.empty()) {
        appliqueMode(ModeStylo::Copie);
        for (const auto& [point, i] : tampons_)
            peintre().drawImage(point, ellipses_[i].image);
        tampons_.clear();
    }
}

void CanvasPeintre::faitLigne(int x0, int y0, int x1, int y1)
{
    // A line ends before its last point, so one of no length leaves nothing; the painter
    // would draw a dot.
    if (!stylo_.visible || (x0 == x1 && y0 == y1))
        return;
    if (stylo_.mode == ModeStylo::Copie) {
        if (enAttente() && couleurEnAttente_ != stylo_.couleur)
            videLignes();
        couleurEnAttente_ = stylo_.couleur;
        for (std::size_t i = 0; i < nbLots_; ++i)
            if (lots_[i].stylo == stylo_) {
                lots_[i].lignes.emplace_back(x0, y0, x1, y1);
                return;
            }
        if (nbLots_ == lots_.size())
            videLignes();
        lots_[nbLots_].stylo = stylo_;
        lots_[nbLots_].lignes.emplace_back(x0, y0, x1, y1);
        ++nbLots_;
        return;
    }
    videLignes();
    appliqueStylo(true, false);
    peintre().drawLine(x0, y0, x1, y1);
}

namespace {

// The painter's rectangle of an ellipse of device bounds (g, h)-(d, b).
QRect RectEllipse(int g, int h, int d, int b, bool contour)
{
    return contour ? QRect(g, h, d - g - 1, b - h - 1) : QRect(g, h, d - g, b - h);
}

}  // namespace

void CanvasPeintre::faitEllipse(int g, int h, int d, int b)
{
    if (d <= g || b <= h)
        return;
    // An inverting figure inverts each of its pixels once: the fill alone covers it.
    const bool inverse = stylo_.mode == ModeStylo::Inverse && pinceau_.plein;
    const bool contour = !inverse && stylo_.visible;
    // Small copied ellipses (station circles, by the hundred thousand) are drawn once and
    // then stamped: the same pixels at a fraction of the cost. One of a single colour
    // waits with the lines of that colour.
    if (matriciel() && stylo_.mode == ModeStylo::Copie && d - g <= 24 && b - h <= 24) {
        const std::size_t i = ellipse(d - g, b - h);
        const EllipseEnCache& e = ellipses_[i];
        const QPoint coin(g - e.marge, h - e.marge);
        if (stylo_.visible && pinceau_.plein && pinceau_.couleur == stylo_.couleur) {
            if (enAttente() && couleurEnAttente_ != stylo_.couleur)
                videLignes();
            couleurEnAttente_ = stylo_.couleur;
            tampons_.emplace_back(coin, i);
            return;
        }
        videLignes();
        appliqueMode(ModeStylo::Copie);
        peintre().drawImage(coin, e.image);
        return;
    }
    videLignes();
    appliqueStylo(contour, true);
    peintre().drawEllipse(RectEllipse(g, h, d, b, contour));
}

void CanvasPeintre::faitSecteur(int g, int h, int d, int b, int x1, int y1, int x2, int y2)
{
    if (d <= g || b <= h)
        return;
    const double cx = (g + d) / 2.0, cy = (h + b) / 2.0;
    // Qt's angles run counter-clockwise on the screen from three o'clock, in 1/16 degree.
    const double debut = RadiansEnDegres(std::atan2(cy - y1, x1 - cx));
    double etendue = RadiansEnDegres(std::atan2(cy - y2, x2 - cx)) - debut;
    while (etendue <= 0)
        etendue += 360.0;
    while (etendue > 360.0)
        etendue -= 360.0;
    const bool inverse = stylo_.mode == ModeStylo::Inverse && pinceau_.plein;
    const bool contour = !inverse && stylo_.visible;
    videLignes();
    appliqueStylo(contour, true);
    peintre().drawPie(RectEllipse(g, h, d, b, contour), static_cast<int>(std::lround(debut * 16)),
                      static_cast<int>(std::lround(etendue * 16)));
}

std::size_t CanvasPeintre::ellipse(int largeur, int hauteur)
{
    for (std::size_t i = 0; i < ellipses_.size(); ++i) {
        const EllipseEnCache& e = ellipses_[i];
        if (e.largeur == largeur && e.hauteur == hauteur && e.stylo == stylo_ && e.pinceau == pinceau_)
            return i;
    }
    if (ellipses_.size() >= 16) {
        videLignes();  // the stamps waiting refer to the entries
        ellipses_.erase(ellipses_.begin());
    }
    EllipseEnCache e;
    e.largeur = largeur;
    e.hauteur = hauteur;
    e.stylo = stylo_;
    e.pinceau = pinceau_;
    e.marge = std::max(1, stylo_.largeur);
    e.image = QImage(largeur + 2 * e.marge, hauteur + 2 * e.marge, QImage::Format_ARGB32_Premultiplied);
    e.image.fill(Qt::transparent);
    QPainter p(&e.image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const bool contour = stylo_.visible;
    if (contour)
        p.setPen(penQt(stylo_));
    else
        p.setPen(Qt::NoPen);
    if (pinceau_.plein)
        p.setBrush(QBrush(CouleurQt(pinceau_.couleur)));
    else
        p.setBrush(Qt::NoBrush);
    p.drawEllipse(RectEllipse(e.marge, e.marge, e.marge + largeur, e.marge + hauteur, contour));
    p.end();
    ellipses_.push_back(std::move(e));
    return ellipses_.size() - 1;
}

void CanvasPeintre::faitRectangle(int g, int h, int d, int b)
{
    if (d <= g || b <= h)
        return;
    videLignes();
    bool inverse = stylo_.mode == ModeStylo::Inverse && pinceau_.plein;
    if (inverse || !stylo_.visible) {
        if (!pinceau_.plein)
            return;
        appliqueStylo(false, true);
        peintre().drawRect(QRect(g, h, d - g, b - h));
        return;
    }
    appliqueStylo(true, true);
    peintre().drawRect(QRect(g, h, d - g - 1, b - h - 1));
}

void CanvasPeintre::faitRemplissage(int g, int h, int d, int b)
{
    if (d <= g || b <= h || !pinceau_.plein)
        return;
    videLignes();
    QPainter& p = peintre();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(g, h, d - g, b - h), CouleurQt(pinceau_.couleur));
    etatAJour_ = false;
}

void CanvasPeintre::faitTexte(int x, int y, const QString& s)
{
    videLignes();
    QPainter& p = peintre();
    QFont f = PoliceQt();
    p.setFont(f);
    QFontMetrics m(f, peripherique());
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (pinceau_.plein)
        p.fillRect(QRect(x, y, m.horizontalAdvance(s), m.height()), CouleurQt(pinceau_.couleur));
    p.setPen(QPen(CouleurQt(police_.couleur)));
    p.drawText(x, y + m.ascent(), s);
    etatAJour_ = false;
}

int CanvasPeintre::mesureLargeur(const QString& texte)
{
    QFontMetrics m(PoliceQt(), peripherique());
    return m.horizontalAdvance(texte);
}

int CanvasPeintre::mesureHauteur(const std::string&)
{
    QFontMetrics m(PoliceQt(), peripherique());
    return m.height();
}

void CanvasPeintre::faitDraw(int x, int y, TCanvas& source)
{
    videLignes();
    if (auto* image = dynamic_cast<CanvasImage*>(&source)) {
        const QImage& img = image->Image();
        QPainter& p = peintre();
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(x, y, img);
        etatAJour_ = false;
    }
}

void CanvasPeintre::faitStretchDraw(int g, int h, int d, int b, const QImage& image)
{
    videLignes();
    if (d <= g || b <= h || image.isNull())
        return;
    QPainter& p = peintre();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRect(g, h, d - g, b - h), image);
    etatAJour_ = false;
}

// ---- CanvasImage ------------------------------------------------------------------------

CanvasImage::CanvasImage(int largeur, int hauteur, int pixelsParPouce)
    : CanvasPeintre(pixelsParPouce),
      image_(std::make_unique<QImage>(std::max(1, largeur), std::max(1, hauteur), QImage::Format_RGB32))
{
    image_->fill(Qt::white);
    int ppm = Arrondi(pixelsParPouce / 0.0254);
    image_->setDotsPerMeterX(ppm);
    image_->setDotsPerMeterY(ppm);
}

CanvasImage::~CanvasImage() { Termine(); }

int CanvasImage::Largeur() const { return image_->width(); }
int CanvasImage::Hauteur() const { return image_->height(); }

const QImage& CanvasImage::Image()
{
    Termine();
    return *image_;
}

Couleur CanvasImage::Pixel(int x, int y)
{
    Termine();
    if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height())
        return kBlanc;
    return DepuisQt(image_->pixel(x, y));
}

std::unique_ptr<TCanvas> CanvasImage::CreeCompatible(int largeur, int hauteur)
{
    return std::make_unique<CanvasImage>(largeur, hauteur, ppp_);
}

QPaintDevice* CanvasImage::peripherique() { return image_.get(); }

void CanvasImage::faitDraw(int x, int y, TCanvas& source)
{
    if (&source == this)
        return;
    CanvasPeintre::faitDraw(x, y, source);
}

void CanvasImage::faitFloodFill(int x, int y, Couleur c, bool surface)
{
    Termine();
    QImage& im = *image_;
    const int w = im.width(), h = im.height();
    if (x < 0 || y < 0 || x >= w || y >= h || !pinceau_.plein)
        return;
    const QRgb cible = CouleurQt(c).rgb() | 0xFF000000u;
    const QRgb remplissage = CouleurQt(pinceau_.couleur).rgb() | 0xFF000000u;
    auto pixel = [&](int px, int py) { return reinterpret_cast<const QRgb*>(im.constScanLine(py))[px] | 0xFF000000u; };
    auto aRemplir = [&](int px, int py, const std::vector<bool>& vu) {
        if (vu[static_cast<std::size_t>(py) * static_cast<std::size_t>(w) + static_cast<std::size_t>(px)])
            return false;
        QRgb v = pixel(px, py);
        return surface ? v == cible : v != cible;
    };
    std::vector<bool> vu(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
    if (!aRemplir(x, y, vu))
        return;
    std::vector<std::pair<int, int>> pile{{x, y}};
    while (!pile.empty()) {
        auto [px, py] = pile.back();
        pile.pop_back();
        if (!aRemplir(px, py, vu))
            continue;
        int g = px, d = px;
        while (g > 0 && aRemplir(g - 1, py, vu))
            --g;
        while (d < w - 1 && aRemplir(d + 1, py, vu))
            ++d;
        QRgb* ligne = reinterpret_cast<QRgb*>(im.scanLine(py));
        for (int i = g; i <= d; ++i) {
            vu[static_cast<std::size_t>(py) * static_cast<std::size_t>(w) + static_cast<std::size_t>(i)] = true;
            ligne[i] = remplissage;
        }
        for (int ny : {py - 1, py + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            for (int i = g; i <= d; ++i)
                if (aRemplir(i, ny, vu))
                    pile.emplace_back(i, ny);
        }
    }
}

// ---- CanvasEnregistreur -----------------------------------------------------------------

Trace CanvasEnregistreur::trace(Trace::Genre g) const
{
    Trace t;
    t.genre = g;
    t.stylo = stylo_;
    t.pinceau = pinceau_;
    t.police = police_;
    t.decoupe = decoupe_;
    return t;
}

namespace {

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it lies inside.
bool CoupeSegment(const QRect& r, int& x0, int& y0, int& x1, int& y1)
{
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(x0 - r.left()), double(r.right() - x0), double(y0 - r.top()), double(r.bottom() - y0)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const int ax = x0, ay = y0;
    if (t1 < 1)
        x1 = Arrondi(ax + t1 * dx), y1 = Arrondi(ay + t1 * dy);
    if (t0 > 0)
        x0 = Arrondi(ax + t0 * dx), y0 = Arrondi(ay + t0 * dy);
    return true;
}

}  // namespace

void CanvasEnregistreur::garde(Trace t, int g, int h, int d, int b)
{
    // A box given by any two corners, right and bottom excluded.
    if (decoupe_ && !decoupe_->intersects(
                        QRect(QPoint(std::min(g, d), std::min(h, b)), QPoint(std::max(g, d) - 1, std::max(h, b) - 1))))
        return;
    Traces.push_back(std::move(t));
}

std::unique_ptr<TCanvas> CanvasEnregistreur::CreeCompatible(int largeur, int hauteur)
{
    return std::make_unique<CanvasEnregistreur>(largeur, hauteur, ppp_);
}

void CanvasEnregistreur::faitLigne(int x0, int y0, int x1, int y1)
{
    if (decoupe_ && !CoupeSegment(*decoupe_, x0, y0, x1, y1))
        return;
    Trace t = trace(Trace::Ligne);
    t.x0 = x0, t.y0 = y0, t.x1 = x1, t.y1 = y1;
    Traces.push_back(std::move(t));
}

void CanvasEnregistreur::faitEllipse(int g, int h, int d, int b)
{
    Trace t = trace(Trace::Ellipse);
    t.x0 = g, t.y0 = h, t.x1 = d, t.y1 = b;
    garde(std::move(t), g, h, d, b);
}

void CanvasEnregistreur::faitSecteur(int g, int h, int d, int b, int x1, int y1, int x2, int y2)
{
    Trace t = trace(Trace::Secteur);
    t.x0 = g, t.y0 = h, t.x1 = d, t.y1 = b;
    t.points = {{x1, y1}, {x2, y2}};
    garde(std::move(t), g, h, d, b);
}

void CanvasEnregistreur::faitRectangle(int g, int h, int d, int b)
{
    Trace t = trace(Trace::Rectangle);
    t.x0 = g, t.y0 = h, t.x1 = d, t.y1 = b;
    garde(std::move(t), g, h, d, b);
}

void CanvasEnregistreur::faitRemplissage(int g, int h, int d, int b)
{
    Trace t = trace(Trace::Remplissage);
    t.x0 = g, t.y0 = h, t.x1 = d, t.y1 = b;
    garde(std::move(t), g, h, d, b);
}

void CanvasEnregistreur::faitTexte(int x, int y, const QString& texte)
{
    Trace t = trace(Trace::Texte);
    t.x0 = x, t.y0 = y;
    t.texte = VersCp1252(texte);
    const int bas = y + mesureHauteur(t.texte);
    garde(std::move(t), x, y, x + mesureLargeur(texte), bas);
}

int CanvasEnregistreur::mesureLargeur(const QString& texte)
{
    return static_cast<int>(texte.size()) * (std::abs(police_.Hauteur) / 2);
}

int CanvasEnregistreur::mesureHauteur(const std::string&) { return std::abs(police_.Hauteur); }

void CanvasEnregistreur::faitFloodFill(int x, int y, Couleur c, bool surface)
{
    Trace t = trace(Trace::FloodFill);
    t.x0 = x, t.y0 = y;
    t.x1 = static_cast<int>(c);
    t.y1 = surface ? 1 : 0;
    Traces.push_back(std::move(t));
}

void CanvasEnregistreur::faitStretchDraw(int g, int h, int d, int b, const QImage&)
{
    Trace t = trace(Trace::Dessin);
    t.x0 = g, t.y0 = h, t.x1 = d, t.y1 = b;
    Traces.push_back(std::move(t));
}

void CanvasEnregistreur::faitDraw(int x, int y, TCanvas& source)
{
    Trace t = trace(Trace::Dessin);
    t.x0 = x, t.y0 = y;
    Traces.push_back(std::move(t));
    // What was recorded off screen lands here, shifted to where it is copied.
    if (auto* autre = dynamic_cast<CanvasEnregistreur*>(&source); autre && autre != this) {
        for (Trace u : autre->Traces) {
            u.x0 += x, u.y0 += y;
            if (u.genre == Trace::Ligne || u.genre == Trace::Ellipse || u.genre == Trace::Rectangle ||
                u.genre == Trace::Remplissage)
                u.x1 += x, u.y1 += y;
            for (auto& p : u.points)
                p.first += x, p.second += y;
            Traces.push_back(std::move(u));
        }
    }
}

}  // namespace karst
