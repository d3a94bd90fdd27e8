#include "platform/modal.h"

#include <QDialog>
#include <utility>

namespace karst {

namespace {
PiloteModal pilote;
}

int ExecuteModal(QDialog& dialogue)
{
    if (pilote)
        return pilote(dialogue);
    return dialogue.exec();
}

PiloteModalInstalle::PiloteModalInstalle(PiloteModal p) : precedent_(std::move(pilote)) { pilote = std::move(p); }

PiloteModalInstalle::~PiloteModalInstalle() { pilote = std::move(precedent_); }

}  // namespace karst
