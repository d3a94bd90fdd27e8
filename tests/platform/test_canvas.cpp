// The canvas: device bounds of the figures, pen modes, text placing, font resolution,
// flood fill, off-screen copies and the recording backends.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>
#include <climits>

#include "platform/canvas.h"
#include "platform/imprimante.h"

using namespace karst;

namespace {

void AssureApplication()
{
    static int argc = 1;
    static char nom[] = "platform_tests";
    static char* argv[] = {nom, nullptr};
    if (!QApplication::instance())
        static QApplication app(argc, argv);
}

class Canvas : public ::testing::Test {
protected:
    void SetUp() override { AssureApplication(); }
};

TEST_F(Canvas, FiguresExcludeTheirRightAndBottomEdges)
{
    CanvasImage c(21, 21);
    c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush(Pinceau{kRouge, true});
    c.Rectangle(2, 3, 8, 9);
    EXPECT_EQ(c.Pixel(2, 3), kNoir);
    EXPECT_EQ(c.Pixel(7, 8), kNoir);
    EXPECT_EQ(c.Pixel(8, 5), kBlanc);
    EXPECT_EQ(c.Pixel(5, 9), kBlanc);
    EXPECT_EQ(c.Pixel(4, 5), kRouge);
    c.Ellipse(10, 10, 20, 20);
    EXPECT_EQ(c.Pixel(15, 10), kNoir);
    EXPECT_EQ(c.Pixel(19, 15), kNoir);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(c.Pixel(i, 20), kBlanc);
        EXPECT_EQ(c.Pixel(20, i), kBlanc);
    }
    // A line with its current position; width 0 is one pixel.
    c.FixePen(Stylo{0x00FF00, 0, ModeStylo::Copie, true});
    c.MoveTo(0, 0);
    c.LineTo(0, 10);
    EXPECT_EQ(c.Pixel(0, 5), 0x00FF00u);
    EXPECT_EQ(c.Pixel(1, 5), kBlanc);
    EXPECT_EQ(c.PositionY(), 10);
}

TEST_F(Canvas, SmallEllipsesAreThePaintersOwn)
{
    // Station circles of a few pixels, drawn again and again: the same pixels as the
    // painter draws them, for each size, pen and brush.
    CanvasImage c(60, 20);
    QImage attendu(60, 20, QImage::Format_RGB32);
    attendu.fill(Qt::white);
    QPainter p(&attendu);
    p.setRenderHint(QPainter::Antialiasing, false);
    int x = 1;
    for (int taille : {2, 3, 4, 5, 7, 9, 12}) {
        for (int largeur : {1, 2}) {
            c.FixePen(Stylo{0x00FF00, largeur, ModeStylo::Copie, true});
            c.FixeBrush(Pinceau{kRouge, true});
            c.Ellipse(x, 4, x + taille, 4 + taille);
            QPen pen(QColor(0, 255, 0), largeur > 1 ? largeur : 0);
            pen.setCapStyle(Qt::SquareCap);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(QColor(255, 0, 0));
            p.drawEllipse(QRect(x, 4, taille - 1, taille - 1));
            x += taille / 2 + 1;
        }
    }
    p.end();
    EXPECT_EQ(c.Image(), attendu);
}

TEST_F(Canvas, LinesOfAllKindsInTheirOrder)
{
    // Lines of two widths and two colours interleaved with fills, inverted and merged
    // lines: the image is the one the painter gives drawing each call in turn.
    CanvasImage c(80, 60);
    QImage attendu(80, 60, QImage::Format_RGB32);
    attendu.fill(Qt::white);
    QPainter p(&attendu);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto trait = [&](Couleur coul, int largeur, ModeStylo mode, int x0, int y0, int x1, int y1) {
        c.FixePen(Stylo{coul, largeur, mode, true});
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
        QPen pen(QColor(coul & 0xFF, (coul >> 8) & 0xFF, coul >> 16), largeur > 1 ? largeur : 0);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setCompositionMode(mode == ModeStylo::Copie    ? QPainter::CompositionMode_SourceOver
                             : mode == ModeStylo::Fusion ? QPainter::RasterOp_SourceOrDestination
                                                         : QPainter::RasterOp_NotDestination);
        p.drawLine(x0, y0, x1, y1);
    };
    for (int i = 0; i < 6; ++i) {
        trait(kNoir, 1, ModeStylo::Copie, 2, 2 + 9 * i, 70, 5 + 9 * i);
        trait(kNoir, 2, ModeStylo::Copie, 5, 50 - 8 * i, 60, 3 + 8 * i);
        trait(i % 2 ? kRouge : kNoir, 3, ModeStylo::Copie, 10 * i, 0, 10 * i + 5, 55);
        if (i == 3) {
            c.FixeBrush(Pinceau{0x00FF00, true});
            c.FillRect(20, 20, 40, 40);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            p.fillRect(QRect(20, 20, 20, 20), QColor(0, 255, 0));
        }
        trait(0x800000, 1, i == 4 ? ModeStylo::Inverse : ModeStylo::Fusion, 0, 30 + i, 79, 30 - i);
        // Station discs: black on black waits with the black lines, red on black does not.
        const Couleur contour = i % 3 ? kNoir : kRouge;
        c.FixePen(Stylo{contour, 1, ModeStylo::Copie, true});
        c.FixeBrush(Pinceau{kNoir, true});
        c.Ellipse(8 * i, 40, 8 * i + 6, 46);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setPen(QPen(QColor(contour & 0xFF, 0, 0), 0));
        p.setBrush(QColor(0, 0, 0));
        p.drawEllipse(QRect(8 * i, 40, 5, 5));
        trait(kRouge, 1, ModeStylo::Copie, 8 * i, 43, 8 * i + 8, 43);
    }
    p.end();
    EXPECT_EQ(c.Image(), attendu);
}

TEST_F(Canvas, InvertingTwiceRestoresAndMergeOrs)
{
    CanvasImage c(30, 30);
    c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush(Pinceau{kNoir, true});
    c.Ellipse(5, 5, 25, 25);
    c.MoveTo(0, 15);
    c.LineTo(30, 15);
    const QImage avant = c.Image().copy();
    c.FixePen(Stylo{kBlanc, 1, ModeStylo::Inverse, true});
    c.FixeBrush(Pinceau{kBlanc, true});
    c.Rectangle(1, 1, 12, 12);
    // Every pixel of the square inverted once, outline and inside, whatever the colour.
    EXPECT_EQ(c.Pixel(1, 1), kNoir);
    EXPECT_EQ(c.Pixel(11, 11), kBlanc);  // black under the ellipse, now white
    EXPECT_EQ(c.Pixel(4, 4), kNoir);
    EXPECT_EQ(c.Pixel(12, 12), kNoir);
    EXPECT_EQ(c.Pixel(12, 2), kBlanc);
    c.Rectangle(1, 1, 12, 12);
    EXPECT_EQ(c.Image(), avant);

    CanvasImage m(4, 4);
    m.FixeBrush(Pinceau{0xFF0000, true});
    m.FillRect(0, 0, 4, 4);
    m.FixePen(Stylo{kRouge, 1, ModeStylo::Fusion, true});
    m.MoveTo(0, 1);
    m.LineTo(4, 1);
    EXPECT_EQ(m.Pixel(2, 1), 0xFF00FFu);
    EXPECT_EQ(m.Pixel(2, 2), 0xFF0000u);
}

TEST_F(Canvas, TextByItsTopLeftCorner)
{
    CanvasImage c(200, 60);
    Police p;
    p.Nom = "DejaVu Sans";
    p.Hauteur = -20;
    c.FixeFont(p);
    c.FixeBrush(Pinceau{kRouge, true});
    const int l = c.TextWidth("MW"), h = c.TextHeight("MW");
    EXPECT_GT(l, 20);
    EXPECT_GE(h, 20);
    c.TextOut(10, 20, "MW");
    // The solid brush paints the text's box, and nothing is drawn above or left of it.
    EXPECT_EQ(c.Pixel(10, 20), kRouge);
    EXPECT_EQ(c.Pixel(10 + l - 1, 20 + h - 1), kRouge);
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(c.Pixel(x, 19), kBlanc);
    for (int y = 0; y < 60; ++y)
        EXPECT_EQ(c.Pixel(9, y), kBlanc);
    int noirs = 0;
    for (int y = 20; y < 20 + h; ++y)
        for (int x = 10; x < 10 + l; ++x)
            noirs += c.Pixel(x, y) == kNoir;
    EXPECT_GT(noirs, 20);
    // A clear brush keeps the background.
    c.FixeBrush(Pinceau{kRouge, false});
    c.TextOut(100, 20, "MW");
    EXPECT_EQ(c.Pixel(100, 20), kBlanc);
}

TEST_F(Canvas, FontsKeepTheirPointSizeOnAnotherResolution)
{
    CanvasEnregistreur c(10, 10, 600);
    Police p;  // -11 pixels at 96 per inch: 8 points
    EXPECT_EQ(p.Taille(), 8);
    c.FixeFont(p);
    EXPECT_EQ(c.Font().Hauteur, -67);
    EXPECT_EQ(c.Font().PixelsParPouce, 600);
    CanvasEnregistreur ecran(10, 10, 96);
    ecran.FixeFont(p);
    EXPECT_EQ(ecran.Font().Hauteur, -11);
    p.PixelsParPouce = 96;
    p.FixeTaille(8);
    EXPECT_EQ(p.Hauteur, -11);  // 10.67
    // The sizes of a damaged model saturate rather than overflow.
    p.FixeTaille(INT_MIN);
    EXPECT_EQ(p.Hauteur, INT_MAX);
    p.Hauteur = INT_MIN;
    p.PixelsParPouce = 1;
    EXPECT_EQ(p.Taille(), INT_MAX);
}

TEST_F(Canvas, FloodFill)
{
    CanvasImage c(20, 20);
    c.FixePen(Stylo{kNoir, 1, ModeStylo::Copie, true});
    c.FixeBrush(Pinceau{kBlanc, false});
    c.Rectangle(5, 5, 15, 15);
    c.FixeBrush(Pinceau{kRouge, true});
    c.FloodFill(10, 10, kBlanc, true);
    EXPECT_EQ(c.Pixel(10, 10), kRouge);
    EXPECT_EQ(c.Pixel(6, 13), kRouge);
    EXPECT_EQ(c.Pixel(5, 5), kNoir);
    EXPECT_EQ(c.Pixel(2, 2), kBlanc);
    // Bounded by black: the outside up to the outline.
    c.FixeBrush(Pinceau{0x00FF00, true});
    c.FloodFill(0, 0, kNoir, false);
    EXPECT_EQ(c.Pixel(2, 2), 0x00FF00u);
    EXPECT_EQ(c.Pixel(10, 10), kRouge);
    EXPECT_EQ(c.Pixel(5, 5), kNoir);
}

TEST_F(Canvas, OffScreenCopies)
{
    CanvasImage ecran(10, 10);
    auto bitmap = ecran.CreeCompatible(10, 10);
    bitmap->FixeBrush(Pinceau{kRouge, true});
    bitmap->FillRect(0, 0, 5, 10);
    ecran.Draw(0, 0, *bitmap);
    EXPECT_EQ(ecran.Pixel(4, 4), kRouge);
    EXPECT_EQ(ecran.Pixel(5, 4), kBlanc);

    CanvasEnregistreur enregistreur(100, 100);
    auto hors = enregistreur.CreeCompatible(50, 50);
    hors->MoveTo(1, 2);
    hors->LineTo(3, 4);
    hors->TextOut(5, 6, "a");
    enregistreur.Draw(10, 20, *hors);
    ASSERT_EQ(enregistreur.Traces.size(), 3u);
    EXPECT_EQ(enregistreur.Traces[0].genre, Trace::Dessin);
    const Trace& l = enregistreur.Traces[1];
    EXPECT_EQ(std::make_tuple(l.x0, l.y0, l.x1, l.y1), std::make_tuple(11, 22, 13, 24));
    EXPECT_EQ(std::make_tuple(enregistreur.Traces[2].x0, enregistreur.Traces[2].y0), std::make_tuple(15, 26));
}

TEST_F(Canvas, FakePrinterRecordsTheJob)
{
    ImprimanteFactice imp;
    EXPECT_EQ(imp.LargeurMm(), 210);
    EXPECT_EQ(imp.Canvas().PixelsParPouce(), 600);
    imp.FixeTitre("plan");
    imp.Debut();
    imp.Canvas().Rectangle(0, 0, 10, 10);
    imp.NouvellePage();
    imp.Canvas().Rectangle(0, 0, 20, 20);
    imp.Fin();
    EXPECT_EQ(imp.Journal, (std::vector<std::string>{"Titre plan", "Debut", "NouvellePage", "Fin"}));
    ASSERT_EQ(imp.pages_.size(), 3u);
    EXPECT_EQ(imp.pages_[1]->Traces.size(), 1u);
    EXPECT_EQ(imp.pages_[2]->Traces[0].x1, 20);
    EXPECT_FALSE(imp.Imprime());
}

}  // namespace

namespace {

TEST_F(Canvas, PrinterPagesGoToAPdfFile)
{
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath("page.pdf").toStdString();
    {
        ImprimanteQt imp(chemin);
        EXPECT_GT(imp.LargeurPage(), 0);
        EXPECT_GT(imp.HauteurPage(), imp.LargeurPage());
        // The printable size in mm and the page in pixels give the device resolution, exactly.
        EXPECT_DOUBLE_EQ(imp.LargeurPage() / imp.LargeurMm(), imp.Canvas().PixelsParPouce() / 25.4);
        EXPECT_DOUBLE_EQ(imp.HauteurPage() / imp.HauteurMm(), imp.Canvas().PixelsParPouce() / 25.4);
        Police p;
        imp.Canvas().FixeFont(p);
        EXPECT_EQ(imp.Canvas().Font().Hauteur, -static_cast<int>(8 * imp.Canvas().PixelsParPouce() / 72.0 + 0.5));
        EXPECT_GT(imp.Canvas().TextHeight("O"), 20);
        imp.FixeTitre("plan");
        imp.Debut();
        EXPECT_TRUE(imp.Imprime());
        imp.Canvas().Rectangle(100, 100, 400, 400);
        imp.NouvellePage();
        imp.Canvas().TextOut(100, 100, "Page 2");
        EXPECT_EQ(imp.Fin(), QString());
    }
    QFile f(QString::fromStdString(chemin));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

// A document that cannot take its name is reported, and leaves nothing behind.
TEST_F(Canvas, PdfThatCannotTakeItsNameIsReported)
{
    QTemporaryDir dossier;
    ASSERT_TRUE(QDir(dossier.path()).mkpath("page.pdf/plein"));
    const QString chemin = dossier.filePath("page.pdf");
    ImprimanteQt imp(chemin.toStdString());
    imp.Debut();
    imp.Canvas().Rectangle(100, 100, 400, 400);
    EXPECT_EQ(imp.Fin(), QStringLiteral("Impossible d'écrire le fichier %1 : un dossier porte ce nom.").arg(chemin));
    EXPECT_EQ(QDir(dossier.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QFileInfo(chemin).isDir());
}

}  // namespace
