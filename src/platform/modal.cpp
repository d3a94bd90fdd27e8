#include "platform/modal.h"

#include <QDialog>
#include <QDrag>
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
