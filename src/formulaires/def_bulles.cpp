#include "formulaires/def_bulles.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "formulaires/controles.h"
#include "platform/modal.h"

namespace karst {

TDef_Bulles::TDef_Bulles(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Def_Bulles"));
    setWindowTitle(QStringLiteral("Info-bulles dans les vues"));
    QFont f(QStringLiteral("Sans Serif"), 8);
    f.setBold(true);
    setFont(f);

    auto* cadre = new QFrame(this);
    cadre->setFrameShape(QFrame::Box);
    cadre->setFrameShadow(QFrame::Sunken);
    auto boite = [cadre](const char* nom, const QString& texte) {
        auto* c = new QCheckBox(texte, cadre);
        c->setObjectName(QString::fromLatin1(nom));
        return c;
    };
    // Created in tab order.
    Global = boite("Global", QStringLiteral("&Ne rien afficher"));
    CheckBox1 = boite("CheckBox1", QStringLiteral("&Coordonnées"));
    CheckBox2 = boite("CheckBox2", QStringLiteral("Co&mmentaires"));
    CheckBox3 = boite("CheckBox3", QStringLiteral("&Visées"));
    CheckBox4 = boite("CheckBox4", QStringLiteral("&Largeur"));
    CheckBox5 = boite("CheckBox5", QStringLiteral("&Hauteur"));
    CheckBox6 = boite("CheckBox6", QStringLiteral("&Déformation"));
    auto* grille = new QGridLayout(cadre);
    grille->addWidget(Global, 0, 0, 1, 2);
    grille->addWidget(CheckBox3, 1, 0);
    grille->addWidget(CheckBox2, 2, 0);
    grille->addWidget(CheckBox4, 3, 0);
    grille->addWidget(CheckBox5, 4, 0);
    grille->addWidget(CheckBox1, 1, 1);
    grille->addWidget(CheckBox6, 2, 1);

    Button1 = new QPushButton(QStringLiteral("Valider"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Annuler"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    QHBoxLayout* boutons = LigneBoutons({Button1, Button2});
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(cadre);
    colonne->addLayout(boutons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Global, &QCheckBox::clicked, this, &TDef_Bulles::GlobalClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TDef_Bulles::GlobalClick()
{
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6})
        c->setEnabled(!Global->isChecked());
}

bool ModifieBulles(bool& aucune, ChoixBulle& choix, QWidget* parent)
{
    TDef_Bulles d(parent);
    d.Global->setChecked(aucune);
    d.CheckBox1->setChecked(choix.Coordonnees);
    d.CheckBox2->setChecked(choix.Commentaires);
    d.CheckBox3->setChecked(choix.Visees);
    d.CheckBox4->setChecked(choix.Largeur);
    d.CheckBox5->setChecked(choix.Hauteur);
    d.CheckBox6->setChecked(choix.Deformation);
    d.GlobalClick();
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    aucune = d.Global->isChecked();
    choix.Coordonnees = d.CheckBox1->isChecked();
    choix.Commentaires = d.CheckBox2->isChecked();
    choix.Visees = d.CheckBox3->isChecked();
    choix.Largeur = d.CheckBox4->isChecked();
    choix.Hauteur = d.CheckBox5->isChecked();
    choix.Deformation = d.CheckBox6->isChecked();
    return true;
}

}  // namespace karst
