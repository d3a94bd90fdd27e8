#include "formulaires/dlg_svg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "formulaires/controles.h"

namespace karst {

TDlg_SVG::TDlg_SVG(QWidget* parent) : QDialog(parent)
{
    setObjectName("Dlg_SVG");
    setWindowTitle(QStringLiteral("Exportation SVG"));
    CheckBoxToutes = new QCheckBox(QStringLiteral("Couches visibles seulement"), this);
    CheckBoxToutes->setObjectName("CheckBoxToutes");
    CheckBoxIllustrator = new QCheckBox(QStringLiteral("Couches compatibles Illustrator"), this);
    CheckBoxIllustrator->setObjectName("CheckBoxIllustrator");
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("OK");
    ok->setDefault(true);
    auto* annuler = new QPushButton(QStringLiteral("Annuler"), this);
    annuler->setObjectName("Annuler");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);

    QHBoxLayout* boutons = LigneBoutons({ok, annuler});
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(CheckBoxToutes);
    colonne->addWidget(CheckBoxIllustrator);
    colonne->addLayout(boutons);
}

bool TDlg_SVG::Toutes() const { return !CheckBoxToutes->isChecked(); }

bool TDlg_SVG::Illustrator() const { return CheckBoxIllustrator->isChecked(); }

}  // namespace karst
