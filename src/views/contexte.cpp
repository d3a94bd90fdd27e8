#include "views/contexte.h"

#include <QDialog>

namespace karst {

bool ContexteVues::MontreModal(QDialog& dialogue) { return dialogue.exec() == QDialog::Accepted; }

}  // namespace karst
