#include "formulaires/def_marge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

#include "platform/modal.h"

namespace karst {

namespace {

// The labels' slots in the record, named by what is printed there.
constexpr int kEtiquetteDate = 1, kEtiquettePage = 2, kEtiquetteFichier = 3;

QComboBox* ListePlaces(Formulaire& f, const char* nom)
{
    auto* c = new QComboBox(f.Conteneur());
    c->setObjectName(QString::fromLatin1(nom));
    c->addItems({QStringLiteral("Haut/Gauche"), QStringLiteral("Haut/Droite"), QStringLiteral("Bas/Gauche"),
                 QStringLiteral("Bas/Droite")});
    f.Ajoute(QStringLiteral("Position"), c);
    return c;
}

void MontrePlace(QComboBox* c, int place) { c->setCurrentIndex(place >= 1 && place <= 4 ? place - 1 : -1); }

// 0, which prints nothing, when no place is chosen.
uint8_t LitPlace(const QComboBox* c) { return static_cast<uint8_t>(c->currentIndex() + 1); }

}  // namespace

TDef_Marge::TDef_Marge(QWidget* parent)
    : DialogueOptions(QStringLiteral("Marges"), "Def_Marge", parent, QStringLiteral("Enregistrer"))
{
    Formulaire page = Page(QStringLiteral("Marges"));
    Onglets->tabBar()->hide();
    FormulaireLie<TMarge> largeurs(page.Groupe(QStringLiteral("Largeur des marges en mm")), liens_);
    EGauche = largeurs.Entier("EGauche", QStringLiteral("&Gauche"), &TMarge::Gauche);
    EDroite = largeurs.Entier("EDroite", QStringLiteral("&Droite"), &TMarge::Droite);
    EHaut = largeurs.Entier("EHaut", QStringLiteral("&Haut"), &TMarge::Haut);
    EBas = largeurs.Entier("EBas", QStringLiteral("&Bas"), &TMarge::Bas);
    FormulaireLie<TMarge> angles(page.Groupe(QStringLiteral("Traits d'angle")), liens_);
    ELongueur = angles.Entier("ELongueur", QStringLiteral("&Longueur en mm"), &TMarge::LongueurAngle);
    EEpaisseur = angles.Entier("EEpaisseur", QStringLiteral("&Epaisseur en mm/10"), &TMarge::EpaisseurAngle);

    // Each group is named after the label it places.
    Formulaire fichier = page.Groupe(QStringLiteral("Fichier"));
    F_Afficher = fichier.Case("F_Afficher", QStringLiteral("Afficher"));
    C_Fichier = ListePlaces(fichier, "C_Fichier");
    Formulaire numero = page.Groupe(QStringLiteral("Page"));
    P_Afficher = numero.Case("P_Afficher", QStringLiteral("Afficher"));
    C_Page = ListePlaces(numero, "C_Page");
    Formulaire date = page.Groupe(QStringLiteral("Date"));
    D_Afficher = date.Case("D_Afficher", QStringLiteral("Afficher"));
    C_Date = ListePlaces(date, "C_Date");

    Button1 = page.BoutonFonte("Button1", QStringLiteral("P&olice ..."), &police_);
    Button1->setToolTip(QStringLiteral("Police des indications en marge"));

    connect(F_Afficher, &QCheckBox::toggled, C_Fichier, &QWidget::setEnabled);
    connect(P_Afficher, &QCheckBox::toggled, C_Page, &QWidget::setEnabled);
    connect(D_Afficher, &QCheckBox::toggled, C_Date, &QWidget::setEnabled);
}

void TDef_Marge::Initialise(const TMarge& m)
{
    police_ = m.Police;
    liens_.Montre(m);
    F_Afficher->setChecked(m.AfficheEtiquette[kEtiquetteFichier]);
    P_Afficher->setChecked(m.AfficheEtiquette[kEtiquettePage]);
    D_Afficher->setChecked(m.AfficheEtiquette[kEtiquetteDate]);
    MontrePlace(C_Fichier, m.PositionEtiquette[kEtiquetteFichier]);
    MontrePlace(C_Page, m.PositionEtiquette[kEtiquettePage]);
    MontrePlace(C_Date, m.PositionEtiquette[kEtiquetteDate]);
    C_Fichier->setEnabled(F_Afficher->isChecked());
    C_Page->setEnabled(P_Afficher->isChecked());
    C_Date->setEnabled(D_Afficher->isChecked());
}

void TDef_Marge::Retour(TMarge& m) const
{
    m.Police = police_;
    liens_.Lit(m);
    m.AfficheEtiquette[kEtiquetteFichier] = F_Afficher->isChecked();
    m.AfficheEtiquette[kEtiquettePage] = P_Afficher->isChecked();
    m.AfficheEtiquette[kEtiquetteDate] = D_Afficher->isChecked();
    m.PositionEtiquette[kEtiquetteFichier] = LitPlace(C_Fichier);
    m.PositionEtiquette[kEtiquettePage] = LitPlace(C_Page);
    m.PositionEtiquette[kEtiquetteDate] = LitPlace(C_Date);
}

void TMarge::Modifie(QWidget* parent)
{
    TDef_Marge d(parent);
    d.Initialise(*this);
    if (ExecuteModal(d) == QDialog::Accepted)
        d.Retour(*this);
}

}  // namespace karst
