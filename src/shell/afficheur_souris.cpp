// The view window's mouse over its drawing: turning a plan or a perspective by dragging,
// drawing a zoom band that sets a new scale, selecting the shot nearest to a click, and the
// delayed tooltip of the shot under the pointer.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "platform/canvas.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

void TImageVue::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    // A click on the drawing gives it the keyboard, for its scrolling keys.
    setFocus(Qt::MouseFocusReason);
    emit Appui(p.x(), p.y(), e->button());
}

void TImageVue::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit Mouvement(p.x(), p.y());
}

void TImageVue::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    emit Relache(p.x(), p.y(), e->button());
}

void TImageVue::mouseDoubleClickEvent(QMouseEvent* e)
{
    mousePressEvent(e);
    emit DoubleClic();
}

// The window outside its image routes its mouse to the same handlers, in image pixels.
void TAfficheur::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = Image2->mapFrom(this, e->position().toPoint());
    Appui(p.x(), p.y(), e->button());
}

void TAfficheur::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = Image2->mapFrom(this, e->position().toPoint());
    Image2MouseMove(p.x(), p.y());
}

void TAfficheur::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = Image2->mapFrom(this, e->position().toPoint());
    Relache(p.x(), p.y(), e->button());
    if (e->button() == Qt::LeftButton)
        FormClick();
}

void TImageVue::wheelEvent(QWheelEvent* e) { emit Molette(e); }

void TAfficheur::wheelEvent(QWheelEvent* e) { Molette(e); }

// The wheel scrolls the drawing by the bar's single step a notch, sideways with Shift or
// on a wheel that turns sideways. A drag in progress keeps its drawing still, and the 3D
// panel has its own mouse.
void TAfficheur::Molette(QWheelEvent* e)
{
    if (Mode3D() || Glisse || !Graphique) {
        e->ignore();
        return;
    }
    QPoint d = e->angleDelta();
    if (e->modifiers() & Qt::ShiftModifier && d.x() == 0)
        d = QPoint(d.y(), 0);
    // A fine wheel sends parts of a notch: they add up until a whole one is there.
    resteMolette_ += d;
    const int crans = resteMolette_.y() / QWheelEvent::DefaultDeltasPerStep;
    const int cransX = resteMolette_.x() / QWheelEvent::DefaultDeltasPerStep;
    resteMolette_ -= QPoint(cransX, crans) * QWheelEvent::DefaultDeltasPerStep;
    e->accept();
    auto defile = [this](QScrollBar* barre, int n) {
        if (n == 0 || !barre->isEnabled())
            return;
        CacheBulle();
        // Turning the wheel away from the user shows what lies above or to the left.
        barre->setValue(barre->value() - n * barre->singleStep());
    };
    defile(Barre_Verticale, crans);
    defile(Barre_Horizontale, cransX);
}

bool TAfficheur::DefileAuClavier(const QKeyEvent& e)
{
    if (e.modifiers() & ~Qt::KeypadModifier)
        return false;
    QScrollBar* barre = Barre_Verticale;
    QAbstractSlider::SliderAction action;
    switch (e.key()) {
    case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
    case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
    case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
    case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        barre = Barre_Horizontale;
        action = e.key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
        break;
    default: return false;
    }
    if (barre->isEnabled()) {
        CacheBulle();
        // A page goes through the bar's own action: 95 % of the view, as a click in the track.
        barre->triggerAction(action);
    }
    return true;
}

int TAfficheur::ScrollX() const { return Barre_Horizontale->value() * FacteurX; }

int TAfficheur::ScrollY() const { return Barre_Verticale->value() * FacteurY; }

void TAfficheur::Appui(int x, int y, Qt::MouseButton bouton)
{
    // A second button pressed during a drag starts nothing.
    if (Glisse)
        return;
    BoutonGlisse = bouton;
    Image2MouseDown(x, y);
}

void TAfficheur::Relache(int x, int y, Qt::MouseButton bouton)
{
    if (Glisse && bouton != BoutonGlisse)
        return;
    Image2MouseUp(x, y);
}

void TAfficheur::AbandonneGlisse()
{
    if (EnDeplacement)
        Support_OpenGLMouseUp();
    if (!Glisse || !Graphique)
        return;
    Glisse = false;
    if (!form_.Rotation->isChecked()) {
        TraceCadre();
        MontreEtat(QString());
        return;
    }
    Graphique->ApercuGlisse(0, 0, 0);
    Redessine();
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

double TAfficheur::AngleRotation(int x, int y) const
{
    const double cx = Barre_Verticale->x() / 2.0, cy = Barre_Horizontale->y() / 2.0;
    const double ax = PointDepart.x() - cx, ay = PointDepart.y() - cy;
    const double bx = x + Image2->x() - cx, by = y + Image2->y() - cy;
    const double croix = ax * by - ay * bx, scalaire = ax * bx + ay * by;
    // A drag from or to the very centre has no direction: no turn.
    if ((ax == 0 && ay == 0) || (bx == 0 && by == 0))
        return 0;
    // The arc sine of the normalised cross product, taken the short way round when the
    // angle is obtuse; the two-argument arctangent gives the same everywhere, and ±90
    // degrees at an exact right angle where the arc sine form divides by zero.
    return std::atan2(croix, scalaire);
}

double TAfficheur::BalayageEssai() const
{
    return RadiansEnDegres(static_cast<double>(static_cast<long double>(AngleEssai)));
}

void TAfficheur::TraceCadre()
{
    Stylo s;
    s.couleur = kNoir;
    s.mode = ModeStylo::Inverse;
    s.tirets = true;
    Bitmap->FixePen(s);
    Bitmap->FixeBrushPlein(false);
    Bitmap->Rectangle(CadreZoom[0], CadreZoom[1], CadreZoom[2], CadreZoom[3]);
    Image2->update();
}

void TAfficheur::Image2MouseDown(int x, int y)
{
    if (!Graphique)
        return;
    const GenreVue genre = Graphique->Genre();
    if (form_.Rotation->isChecked()) {
        if (genre == GenreVue::Plan || genre == GenreVue::Perspective) {
            PointDepart = QPoint(x + Image2->x(), y + Image2->y());
            Glisse = true;
            QApplication::setOverrideCursor(CurseurVue(Curseur::Croix));
        }
        return;
    }
    if (form_.Zoom->isChecked()) {
        CadreZoom = {x, y, x, y};
        Glisse = true;
        TraceCadre();
        return;
    }
    if (genre == GenreVue::Tableau) {
        PointDepart = QPoint(x + ScrollX(), y + ScrollY());
        return;
    }
    OteSelection();
    PlacePoints(genre == GenreVue::Coupe);
    FicheSel = GalerieSel = PointSel = 0;
    if (Graphique->Localise(x + ScrollX(), y + ScrollY(), FicheSel, GalerieSel, PointSel) != TGraphique::kRienTrouve)
        MontreSelection();
}

void TAfficheur::Image2MouseMove(int x, int y)
{
    if (!Graphique)
        return;
    if (form_.Rotation->isChecked() && Glisse && Graphique->AnglesRotation() > 0) {
        AngleEssai = AngleRotation(x, y);
        const TexteCp1252 texte = Graphique->ApercuGlisse(BalayageEssai(), PointDepart.x() - (x + Image2->x()),
                                                          PointDepart.y() - (y + Image2->y()));
        Redessine();
        MontreEtat(texte);
    }
    if (form_.Zoom->isChecked() && Glisse) {
        TraceCadre();
        const long double dx = x - CadreZoom[0], dy = y - CadreZoom[1];
        const long double k = dx * dy > 0 ? 1 : -1;
        const long double r =
            static_cast<long double>(Barre_Horizontale->width()) / std::max(1, Barre_Verticale->height());
        if (std::fabs(dx) > std::fabs(dy * r)) {
            CadreZoom[2] = x;
            CadreZoom[3] = CadreZoom[1] + RoundEntier(k * dx / r);
        } else {
            CadreZoom[3] = y;
            CadreZoom[2] = CadreZoom[0] + RoundEntier(k * r * dy);
        }
        TraceCadre();
        const long double e = ChaineEnReel(VersCp1252(form_.Boite_Echelle->currentText()));
        const int n = RoundEntier(e * std::abs(CadreZoom[0] - CadreZoom[2]) / std::max(1, Barre_Horizontale->width()));
        MontreEtat("Echelle 1/" + QString::fromStdString(FormatEntier(n)));
    }
    if (!form_.BulleAucune && !Glisse)
        Tooltip(x, y);
}

void TAfficheur::Tooltip(int x, int y)
{
    int f = 0, g = 0, p = 0;
    const double d = Graphique->Localise(x + ScrollX(), y + ScrollY(), f, g, p);
    if (!(d < 5.0)) {
        CacheBulle();
        return;
    }
    TexteCp1252 texte;
    Graphique->Bulle(f, g, p, texte);
    if (FenetreBulle && texte == TexteBulle)
        return;
    CacheBulle();
    if (texte.empty())
        return;
    const QString montre = TexteEcran(texte);
    // It opens above the pointer and a long one spans the screen: the pointer moved onto it
    // is still over the view, which hides it once the shot is left.
    auto* bulle = new QLabel(this, Qt::ToolTip | Qt::WindowTransparentForInput);
    bulle->setAttribute(Qt::WA_TransparentForMouseEvents);
    bulle->setObjectName(QStringLiteral("FenetreBulle"));
    bulle->setText(montre);
    FenetreBulle = bulle;
    const QPoint ecran = Image2->mapToGlobal(QPoint(x, y));
    const QFontMetrics m(bulle->font());
    const int haut = ecran.y() - 20;
    RectBulle = QRect(QPoint(ecran.x(), haut), QPoint(ecran.x() + m.horizontalAdvance(montre + "  ") - 1,
                                                      haut + m.boundingRect(montre).height() + 2 - 1));
    // A long text near the screen's edge shows whole, moved back from that edge.
    if (const QScreen* e = QGuiApplication::screenAt(ecran) ? QGuiApplication::screenAt(ecran) : screen())
        RectBulle = DansEcran(RectBulle, e->geometry());
    DelaiHint->start();
    TexteBulle = texte;
}

void TAfficheur::DelaiHintTimer()
{
    DelaiHint->stop();
    if (!FenetreBulle)
        return;
    // Never over an open menu or dialog.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
        CacheBulle();
        return;
    }
    FenetreBulle->setGeometry(RectBulle);
    FenetreBulle->show();
    FenetreBulle->repaint();
}

void TAfficheur::CacheBulle()
{
    if (DelaiHint)
        DelaiHint->stop();
    if (FenetreBulle) {
        // Out of the field before it goes: while it is destroyed it is a QLabel no more,
        // and the filter that sees its last events must not take it for one.
        QLabel* bulle = FenetreBulle;
        FenetreBulle = nullptr;
        bulle->hide();
        delete bulle;
    }
}

void TAfficheur::Image2MouseUp(int x, int y)
{
    if (!Graphique)
        return;
    if (form_.Rotation->isChecked() && Glisse) {
        if (Graphique->AnglesRotation() > 0) {
            AngleEssai = AngleRotation(x, y);
            Graphique->TourneGlisse(BalayageEssai(), PointDepart.x() - (x + Image2->x()),
                                    PointDepart.y() - (y + Image2->y()));
        }
        Redessine();
        QApplication::restoreOverrideCursor();
        Glisse = false;
        return;
    }
    if (!(form_.Zoom->isChecked() && Glisse))
        return;
    form_.Zoom->setChecked(false);
    const bool selection = SelectionValide;
    if (selection)
        Designe(false);
    TraceCadre();
    Glisse = false;
    MontreEtat(TexteEtat);
    const int largeurVisible = std::max(1, Barre_Horizontale->width());
    const long double e = ChaineEnReel(VersCp1252(form_.Boite_Echelle->currentText()));
    const int x0 = CadreZoom[0], y0 = CadreZoom[1], x1 = CadreZoom[2], y1 = CadreZoom[3];
    const long double n = e * std::abs(x0 - x1) / largeurVisible;
    if (std::abs(x0 - x1) >= 10 && n > 99) {
        Graphique->Echelle = RoundEntier(n);
        {
            const QSignalBlocker bloque(form_.Boite_Echelle);
            form_.Boite_Echelle->setCurrentText(QString::number(Graphique->Echelle));
        }
        const long double m = 10.0L * form_.PixelsParPouce / 25.4L * static_cast<long double>(Rapport);
        auto part = [m](bool defile, int scroll, long double milieu, int taille) {
            const long double utile = taille - 2 * m;
            if (utile == 0)
                return 0.5L;
            return ((defile ? scroll : 0) + milieu - m) / utile;
        };
        const long double fx = part(Barre_Horizontale->isEnabled(), ScrollX(), (x0 + x1) / 2.0L, Largeur);
        const long double fy = part(Barre_Verticale->isEnabled(), ScrollY(), (y0 + y1) / 2.0L, Hauteur);
        SansDessin = true;
        Redessine();
        {
            const QSignalBlocker bh(Barre_Horizontale), bv(Barre_Verticale);
            if (Barre_Horizontale->isEnabled())
                Barre_Horizontale->setValue(RoundEntier(
                    (fx * (Largeur - 2 * m) + m - Barre_Horizontale->width() / 2.0L) / std::max(FacteurX, 1)));
            if (Barre_Verticale->isEnabled())
                Barre_Verticale->setValue(RoundEntier((fy * (Hauteur - 2 * m) + m - Barre_Verticale->height() / 2.0L) /
                                                      std::max(FacteurY, 1)));
        }
        SansDessin = false;
        Redessine();
    }
    if (selection)
        MontreSelection();
}

}  // namespace karst
