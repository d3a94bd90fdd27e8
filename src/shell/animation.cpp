#include "shell/animation.h"

#include <QPainter>
#include <QTimer>
#include <cmath>

namespace karst {

namespace {

// Sixteen frames of a turning cross-section of a gallery: frame 0 at rest, then 15
// positions of a lamp beam going round.
QPixmap BandeStandard()
{
    constexpr int c = 26, n = 16;
    QPixmap bande(c, c * n);
    bande.fill(Qt::black);
    QPainter p(&bande);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int k = 0; k < n; ++k) {
        const QRectF r(3, k * c + 3, c - 6, c - 6);
        p.setPen(QPen(QColor(150, 150, 150), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r);
        if (k == 0) {
            p.setBrush(QColor(90, 90, 90));
            p.setPen(Qt::NoPen);
            p.drawEllipse(r.center(), 3, 3);
            continue;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 40));
        p.drawPie(r, static_cast<int>(90 * 16 - (k - 1) * 24 * 16), 60 * 16);
    }
    return bande;
}

}  // namespace

TAnimatedImage::TAnimatedImage(QWidget* parent) : QWidget(parent), timer_(new QTimer(this))
{
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TAnimatedImage::TimerExpired);
    resize(105, 105);
}

void TAnimatedImage::Standard()
{
    setFixedSize(26, 26);
    verticale_ = true;
    SetGlyph(BandeStandard());
    SetNumGlyphs(16);
    SetInactiveGlyph(0);
    SetInterval(100);
}

void TAnimatedImage::SetGlyph(const QPixmap& bande)
{
    glyph_ = bande;
    imagesDeLaBande();
}

void TAnimatedImage::SetOrientationVerticale(bool verticale)
{
    verticale_ = verticale;
    imagesDeLaBande();
}

void TAnimatedImage::imagesDeLaBande()
{
    numGlyphs_ = 1;
    glyphNum_ = 0;
    const int l = glyph_.width(), h = glyph_.height();
    if (!verticale_ && h > 0 && l % h == 0)
        numGlyphs_ = l / h;
    else if (verticale_ && l > 0 && h % l == 0)
        numGlyphs_ = h / l;
    if (inactiveGlyph_ >= numGlyphs_)
        inactiveGlyph_ = -1;
    tailleImages();
}

void TAnimatedImage::tailleImages()
{
    if (verticale_) {
        largeurImage_ = glyph_.width();
        hauteurImage_ = glyph_.height() / numGlyphs_;
    } else {
        hauteurImage_ = glyph_.height();
        largeurImage_ = glyph_.width() / numGlyphs_;
    }
    update();
}

void TAnimatedImage::SetNumGlyphs(int n)
{
    numGlyphs_ = std::max(1, n);
    if (inactiveGlyph_ >= numGlyphs_) {
        inactiveGlyph_ = -1;
        glyphNum_ = 0;
    }
    if (glyphNum_ >= numGlyphs_)
        glyphNum_ = 0;
    tailleImages();
}

void TAnimatedImage::SetInactiveGlyph(int n)
{
    if (n < 0)
        n = -1;
    if (n >= numGlyphs_)
        return;
    inactiveGlyph_ = n;
    update();
}

void TAnimatedImage::SetActive(bool actif)
{
    if (actif == active_)
        return;
    if (actif) {
        timer_->start();
        active_ = timer_->isActive();
    } else {
        timer_->stop();
        active_ = false;
        if (inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_)
            glyphNum_ = inactiveGlyph_;
        update();
    }
}

void TAnimatedImage::SetInterval(int ms) { timer_->setInterval(ms); }

void TAnimatedImage::TimerExpired()
{
    if (numGlyphs_ < 2)
        return;
    auto suivante = [this] { glyphNum_ = glyphNum_ + 1 >= numGlyphs_ ? 0 : glyphNum_ + 1; };
    suivante();
    if (glyphNum_ == inactiveGlyph_)
        suivante();
    update();
}

int TAnimatedImage::ImageAffichee() const
{
    if (!active_ && inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_)
        return inactiveGlyph_;
    return glyphNum_;
}

void TAnimatedImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (glyph_.isNull())
        return;
    const int k = ImageAffichee();
    const QRect source = verticale_ ? QRect(0, k * hauteurImage_, largeurImage_, hauteurImage_)
                                    : QRect(k * largeurImage_, 0, largeurImage_, hauteurImage_);
    p.drawPixmap(rect(), glyph_, source);
}

void TAnimatedImage::mousePressEvent(QMouseEvent*) { emit Clic(); }

}  // namespace karst
