#include "platform/modal.h"

#include <QDialog>
#include <QDrag>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace karst {

namespace {
PiloteModal pilote;
PiloteGlisse piloteGlisse;
}

int ExecuteModal(QDialog& dialogue)
{
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

void GardeDansEcran(QWidget& fenetre)
{
    if (const QScreen* ecran = fenetre.screen()) {
        const QRect libre = ecran->availableGeometry(), cadre = fenetre.frameGeometry();
        const int x = std::max(libre.left(), std::min(cadre.left(), libre.right() + 1 - cadre.width()));
        const int y = std::max(libre.top(), std::min(cadre.top(), libre.bottom() + 1 - cadre.height()));
        if (x != cadre.left() || y != cadre.top())
            fenetre.move(x, y);
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
