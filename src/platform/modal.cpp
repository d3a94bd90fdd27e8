#include "platform/modal.h"

#include <QDialog>
#include <QDrag>
#include <QLayout>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace karst {

namespace {
PiloteModal pilote;
PiloteGlisse piloteGlisse;
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

int ExecuteModal(QDialog& dialogue)
{
    TailleDansEcran(dialogue);
    if (pilote)
        return pilote(dialogue);
    return dialogue.exec();
}

PiloteModalInstalle::PiloteModalInstalle(PiloteModal p) : precedent_(std::move(pilote)) { pilote = std::move(p); }

PiloteModalInstalle::~PiloteModalInstalle() { pilote = std::move(precedent_); }

void CentreDansEcran(QWidget& fenetre)
{
    if (const QScreen* ecran = fenetre.screen()) {
        QRect cadre = fenetre.frameGeometry();
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

void GardeDansEcran(QWidget& fenetre)
{
    if (const QScreen* ecran = fenetre.screen()) {
        const QRect cadre = fenetre.frameGeometry(), place = DansEcran(cadre, ecran->availableGeometry());
        if (place != cadre)
            fenetre.move(place.topLeft());
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
