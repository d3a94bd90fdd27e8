#include "views/contexte.h"

#include <QDialog>

#include "platform/modal.h"

namespace karst {

bool ContexteVues::MontreModal(QDialog& dialogue) { return ExecuteModal(dialogue) == QDialog::Accepted; }

}  // namespace karst
