#pragma once
// The busy indicator: a strip of frames shown one at a time while a computation runs,
// resting on one frame otherwise.

#include <QPixmap>
#include <QWidget>

class QTimer;

namespace karst {

class TAnimatedImage : public QWidget {
    Q_OBJECT

public:
    explicit TAnimatedImage(QWidget* parent = nullptr);

    // The main window's indicator: 16 frames of 26 x 26 stacked vertically, resting on
    // frame 0, every 100 ms.
    void Standard();

    void SetGlyph(const QPixmap& bande);
    const QPixmap& Glyph() const { return glyph_; }
    void SetNumGlyphs(int n);
    int NumGlyphs() const { return numGlyphs_; }
    void SetOrientationVerticale(bool verticale);
    int GlyphNum() const { return glyphNum_; }
    void SetInactiveGlyph(int n);
    int InactiveGlyph() const { return inactiveGlyph_; }
    void SetActive(bool actif);
    bool Active() const { return active_; }
    void SetInterval(int ms);
    int LargeurImage() const { return largeurImage_; }
    int HauteurImage() const { return hauteurImage_; }
    // One tick of the timer.
    void TimerExpired();
    // The frame painted now.
    int ImageAffichee() const;

signals:
    void Clic();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    void imagesDeLaBande();
    void tailleImages();

    QPixmap glyph_;
    QTimer* timer_;
    int numGlyphs_ = 1;
    int glyphNum_ = 0;
    int inactiveGlyph_ = -1;
    bool active_ = false;
    bool verticale_ = false;
    int largeurImage_ = 0, hauteurImage_ = 0;
};

}  // namespace karst
