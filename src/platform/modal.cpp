#include "platform/modal.h"

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace karst {

namespace {
PiloteModal pilote;
PiloteGlisse piloteGlisse;
// Dialogs under way through ExecuteModal, those a test's driver works included.
int modalesOuvertes = 0;
}  // namespace

namespace {

// A dialog that has no size of its own takes the size it asks for, within the screen less
// the frame that the main window wears (left alone, Qt would hold it to two thirds of the
// screen, squeezing its pages).
void TailleDansEcran(QDialog& dialogue)
{
    if (dialogue.testAttribute(Qt::WA_Resized) || dialogue.isVisible())
        return;
    const QWidget* parent = dialogue.parentWidget() ? dialogue.parentWidget()->window() : nullptr;
    const QScreen* ecran = parent ? parent->screen() : dialogue.screen();
    if (!ecran)
        return;
    const QSize bord = parent && parent->isVisible() ? parent->frameGeometry().size() - parent->size() : QSize();
    if (QLayout* l = dialogue.layout())
        l->activate();
    const QSize voulue = dialogue.sizeHint(), tiers = ecran->geometry().size() * 2 / 3;
    if (voulue.width() > tiers.width() || voulue.height() > tiers.height())
        dialogue.resize(voulue.boundedTo(ecran->availableGeometry().size() - bord));
}

}  // namespace

RetourClavier::RetourClavier(const QWidget* modale)
{
    QWidget* f = QApplication::activeWindow();
    if ((!f || f == modale) && modale)
        f = modale->parentWidget() ? modale->parentWidget()->window() : nullptr;
    fenetre_ = f;
    focus_ = f ? f->focusWidget() : nullptr;
}

void RendClavier(QWidget* fenetre, QWidget* focus)
{
    // A window the modal one closed (a question whose answer closes its dialog) is not
    // brought back: the one that opened it takes the keyboard in its turn.
    if (!fenetre || !fenetre->isVisible())
        return;
    fenetre->raise();
    fenetre->activateWindow();
    // A focus the program moved meanwhile (to a refused field) stays where it was put.
    const QWidget* actuel = fenetre->focusWidget();
    if ((!actuel || !actuel->isVisible()) && focus && focus->window() == fenetre && focus->isVisible() &&
        focus->isEnabled())
        focus->setFocus(Qt::ActiveWindowFocusReason);
}

bool TientClavier(const QWidget& fenetre)
{
    const QWidget* active = QApplication::activeWindow();
    if (!active)
        return true;
    while (active && active != &fenetre)
        active = active->parentWidget();
    return active == &fenetre;
}

RetourClavier::~RetourClavier() { RendClavier(fenetre_, focus_); }

int ExecuteModal(QDialog& dialogue)
{
    TailleDansEcran(dialogue);
    RetourClavier retour(&dialogue);
    struct Ouverte {
        Ouverte() { ++modalesOuvertes; }
        ~Ouverte() { --modalesOuvertes; }
    } ouverte;
    if (pilote)
        return pilote(dialogue);
    return dialogue.exec();
}

bool ModaleOuverte() { return modalesOuvertes > 0 || QApplication::activeModalWidget(); }

PiloteModalInstalle::PiloteModalInstalle(PiloteModal p) : precedent_(std::move(pilote)) { pilote = std::move(p); }

PiloteModalInstalle::~PiloteModalInstalle() { pilote = std::move(precedent_); }

namespace {

QMargins Bords(const QWidget& w)
{
    const QRect c = w.frameGeometry(), g = w.geometry();
    return {g.left() - c.left(), g.top() - c.top(), c.right() - g.right(), c.bottom() - g.bottom()};
}

// No frame of its own yet, while the window manager will give it one.
bool CadreEmprunte(const QWidget& fenetre)
{
    return Bords(fenetre).isNull() && !(fenetre.windowFlags() & Qt::FramelessWindowHint) &&
           fenetre.windowType() != Qt::Popup && fenetre.windowType() != Qt::ToolTip;
}

// The frame of a window as it will be on screen. The window manager frames a window some
// time after it shows, and until then Qt knows of no frame: the frame of its parent's
// window, or of another framed window, stands for it, so that the title bar is counted.
// A window's position is its frame's, framed or not.
QRect CadreEcran(const QWidget& fenetre)
{
    QMargins bords = Bords(fenetre);
    if (CadreEmprunte(fenetre)) {
        QWidgetList autres = QApplication::topLevelWidgets();
        if (const QWidget* p = fenetre.parentWidget())
            autres.prepend(p->window());
        for (const QWidget* autre : autres)
            if (autre != &fenetre && autre->isVisible() && !Bords(*autre).isNull()) {
                bords = Bords(*autre);
                break;
            }
    }
    return QRect(fenetre.frameGeometry().topLeft(), fenetre.size().grownBy(bords));
}

}  // namespace

void CentreDansEcran(QWidget& fenetre)
{
    if (const QScreen* ecran = fenetre.screen()) {
        QRect cadre = CadreEcran(fenetre);
        cadre.moveCenter(ecran->availableGeometry().center());
        fenetre.move(cadre.topLeft());
    }
}

QRect DansEcran(QRect cadre, const QRect& libre)
{
    cadre.moveLeft(std::max(libre.left(), std::min(cadre.left(), libre.right() + 1 - cadre.width())));
    cadre.moveTop(std::max(libre.top(), std::min(cadre.top(), libre.bottom() + 1 - cadre.height())));
    return cadre;
}

namespace {

// A borrowed frame may be narrower than the window's own (a maximised main window has no
// side borders, a palette has): once the window manager has framed the window, it is
// kept on screen again with its own frame. Once only, so that the caver may then drag it
// where he likes.
class GardeAuCadrage : public QObject {
public:
    explicit GardeAuCadrage(QWidget& fenetre) : QObject(&fenetre), fenetre_(fenetre)
    {
        setObjectName(QStringLiteral("GardeAuCadrage"));
        fenetre.installEventFilter(this);
    }
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (objet == &fenetre_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize) &&
            !Bords(fenetre_).isNull()) {
            fenetre_.removeEventFilter(this);
            deleteLater();
            GardeDansEcran(fenetre_);
        }
        return false;
    }

private:
    QWidget& fenetre_;
};

}  // namespace

void GardeDansEcran(QWidget& fenetre)
{
    if (const QScreen* ecran = fenetre.screen()) {
        const QRect cadre = CadreEcran(fenetre), place = DansEcran(cadre, ecran->availableGeometry());
        if (place != cadre)
            fenetre.move(place.topLeft());
        if (CadreEmprunte(fenetre) &&
            !fenetre.findChild<QObject*>(QStringLiteral("GardeAuCadrage"), Qt::FindDirectChildrenOnly))
            new GardeAuCadrage(fenetre);
    }
}

Qt::DropAction ExecuteGlisse(QDrag& glisse, Qt::DropActions actions)
{
    if (piloteGlisse)
        return piloteGlisse(glisse);
    return glisse.exec(actions);
}

PiloteGlisseInstalle::PiloteGlisseInstalle(PiloteGlisse p) : precedent_(std::move(piloteGlisse))
{
    piloteGlisse = std::move(p);
}

PiloteGlisseInstalle::~PiloteGlisseInstalle() { piloteGlisse = std::move(precedent_); }

}  // namespace karst
