#include "shell/apropos.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/modal.h"
#include "platform/services.h"
#include "shell/icones.h"

namespace karst {

namespace {

const QString kAdresse = QStringLiteral("auteur@karstomat.example.org");

}  // namespace

TApropos::TApropos(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Apropos"));
    setWindowTitle(QStringLiteral("A propos"));
    auto* cadre = new QFrame(this);
    cadre->setFrameShape(QFrame::Panel);
    cadre->setFrameShadow(QFrame::Raised);
    cadre->setLineWidth(2);
    auto* icone = new QLabel(cadre);
    icone->setObjectName(QStringLiteral("ProgramIcon"));
    icone->setPixmap(IconeProgramme().pixmap(48, 48));
    ProductName = new QLabel(QStringLiteral("Karstomat"), cadre);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont gras = ProductName->font();
    gras.setBold(true);
    gras.setPointSize(gras.pointSize() + 4);
    ProductName->setFont(gras);
    Version = new QLabel(QStringLiteral("Version"), cadre);
    Version->setObjectName(QStringLiteral("Version"));
    auto* auteur = new QLabel(QStringLiteral("Les auteurs de Karstomat"), cadre);
    auteur->setObjectName(QStringLiteral("Copyright"));
    Comments = new QLabel(QStringLiteral("Topographie souterraine"), cadre);
    Comments->setObjectName(QStringLiteral("Comments"));
    Label1 = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(kAdresse), cadre);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(Label1, &QLabel::linkActivated, this, [] { OuvreCourriel(kAdresse, QStringLiteral("Karstomat")); });
    auto* traduction = new QLabel(QStringLiteral("Traduction :"), cadre);
    traduction->setObjectName(QStringLiteral("Label2"));
    traduction->hide();

    auto* textes = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(ProductName), static_cast<QWidget*>(Version),
                       static_cast<QWidget*>(auteur), static_cast<QWidget*>(Comments), static_cast<QWidget*>(Label1)})
        textes->addWidget(w);
    auto* ligne = new QHBoxLayout(cadre);
    ligne->addWidget(icone, 0, Qt::AlignTop);
    ligne->addLayout(textes);

    auto* fermer = new QPushButton(QStringLiteral("Fermer"), this);
    fermer->setObjectName(QStringLiteral("Button1"));
    fermer->setDefault(true);
    connect(fermer, &QPushButton::clicked, this, &QDialog::accept);
    auto* tout = new QVBoxLayout(this);
    tout->addWidget(cadre);
    tout->addWidget(fermer, 0, Qt::AlignHCenter);
}

void TApropos::showEvent(QShowEvent* e)
{
    FormShow();
    QDialog::showEvent(e);
    CentreDansEcran(*this);
}

void TApropos::FormShow() { Version->setText(QStringLiteral("Version ") + TexteVersion()); }

}  // namespace karst
