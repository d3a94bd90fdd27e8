#include "formulaires/nvlle_branche.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "formulaires/controles.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "views/contexte.h"

namespace karst {

TNvlle_Branche::TNvlle_Branche(QWidget* parent) : QDialog(parent)
{
    setObjectName("Nvlle_Branche");
    setWindowTitle(QStringLiteral("Nouvelle branche"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    Horizontal = new QLineEdit(QStringLiteral("0"), this);
    Horizontal->setObjectName("Horizontal");
    Vertical = new QLineEdit(QStringLiteral("0"), this);
    Vertical->setObjectName("Vertical");
    FiltreCles(Horizontal);
    FiltreCles(Vertical);
    auto* etiquetteH = new QLabel(QStringLiteral("Décalage &horizontal"), this);
    etiquetteH->setBuddy(Horizontal);
    auto* etiquetteV = new QLabel(QStringLiteral("Décalage &vertical"), this);
    etiquetteV->setBuddy(Vertical);
    CheckBox1 = new QCheckBox(QStringLiteral("De &gauche à droite"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setChecked(true);
    Point = new QGroupBox(QStringLiteral("&Point"), this);
    Point->setObjectName("Point");
    auto* colonnePoint = new QVBoxLayout(Point);
    PointItems[0] = new QRadioButton(QStringLiteral("A"), Point);
    PointItems[1] = new QRadioButton(QStringLiteral("B"), Point);
    for (QRadioButton* r : PointItems)
        colonnePoint->addWidget(r);
    PointItems[0]->setChecked(true);

    auto* terminer = new QPushButton(QStringLiteral("Terminer"), this);
    terminer->setObjectName("Button1");
    terminer->setDefault(true);
    auto* annuler = new QPushButton(QStringLiteral("Annuler"), this);
    annuler->setObjectName("Button2");
    connect(terminer, &QPushButton::clicked, this, [this] {
        if (ReelsAdmis({Horizontal, Vertical}))
            accept();
    });
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);

    auto* grille = new QGridLayout;
    grille->addWidget(etiquetteH, 0, 0);
    grille->addWidget(Horizontal, 0, 1);
    grille->addWidget(new QLabel(QStringLiteral("en m"), this), 0, 2);
    grille->addWidget(etiquetteV, 1, 0);
    grille->addWidget(Vertical, 1, 1);
    grille->addWidget(new QLabel(QStringLiteral("en m"), this), 1, 2);
    QHBoxLayout* boutons = LigneBoutons({terminer, annuler});
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(grille);
    colonne->addWidget(CheckBox1);
    colonne->addWidget(Point);
    colonne->addLayout(boutons);
}

int TNvlle_Branche::ItemIndex() const { return PointItems[1]->isChecked() ? 1 : PointItems[0]->isChecked() ? 0 : -1; }

void TNvlle_Branche::FixeItemIndex(int i) { PointItems[i == 1 ? 1 : 0]->setChecked(true); }

void TNvlle_Branche::ChoixVisibles(bool visibles)
{
    CheckBox1->setVisible(visibles);
    Point->setVisible(visibles);
}

namespace {

TNvlle_Branche* dialogue = nullptr;

void LibereDialogue()
{
    delete dialogue;
    dialogue = nullptr;
}

}  // namespace

TNvlle_Branche& Nvlle_Branche()
{
    if (!dialogue) {
        dialogue = new TNvlle_Branche;
        qAddPostRoutine(LibereDialogue);
    }
    return *dialogue;
}

bool DemandeNouvelleBranche(const std::string& depart, const std::string& arrivee, ChoixBranche& choix)
{
    TNvlle_Branche& d = Nvlle_Branche();
    d.setWindowTitle(QStringLiteral("Nouvelle branche"));
    d.ChoixVisibles(true);
    d.PointItems[1]->setText(DepuisCp1252(arrivee));
    d.PointItems[0]->setText(DepuisCp1252(depart));
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    choix.Horizontal = LitReelEdition(d.Horizontal);
    choix.Vertical = LitReelEdition(d.Vertical);
    choix.GaucheDroite = d.CheckBox1->isChecked();
    choix.ParFin = d.ItemIndex() == 1;
    return true;
}

bool DemandeDecalage(long double x, long double z, long double& nx, long double& nz)
{
    TNvlle_Branche& d = Nvlle_Branche();
    d.setWindowTitle(QStringLiteral("Décaler une branche"));
    d.ChoixVisibles(false);
    MontreReel(d.Horizontal, x, 6, 2);
    MontreReel(d.Vertical, z, 4, 1);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    // The dialog let each field pass: an empty one is 0.
    return LitReelChamp(d.Horizontal, nx) && LitReelChamp(d.Vertical, nz);
}

}  // namespace karst
