#include "formulaires/expert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "formulaires/controles.h"
#include "formulaires/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "survey/textes.h"
#include "views/contexte.h"
#include "views/coupe_branches.h"
#include "views/coupe_expert.h"
#include "views/messages_communs.h"

namespace karst {

namespace {

QLabel* Etiquette(const QString& texte, QWidget* compagnon, QWidget* parent)
{
    auto* l = new QLabel(texte, parent);
    l->setBuddy(compagnon);
    return l;
}

QLineEdit* Champ(const char* nom, QWidget* parent, const QString& texte = {})
{
    auto* e = new QLineEdit(texte, parent);
    e->setObjectName(nom);
    return e;
}

QPushButton* BoutonPoussoir(const char* nom, const QString& texte, QWidget* parent)
{
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    b->setAutoDefault(false);
    return b;
}

std::string Texte(const QLineEdit* e) { return VersCp1252(e->text()); }

}  // namespace

TExpert::TExpert(ContexteVues& contexte, QWidget* parent) : QDialog(parent), contexte_(contexte)
{
    setObjectName("Expert");
    setWindowTitle(QStringLiteral("Expert de construction de coupe"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    Nom_Depart = Champ("Nom_Depart", this);
    Indice_depart = Champ("Indice_depart", this);
    Button1 = BoutonPoussoir("Button1", QStringLiteral("&Rechercher ..."), this);
    auto* depart = new QGroupBox(QStringLiteral("Point de &départ"), this);
    auto* g1 = new QGridLayout(depart);
    g1->addWidget(Etiquette(QStringLiteral("Nom"), Nom_Depart, this), 0, 0);
    g1->addWidget(Nom_Depart, 0, 1);
    g1->addWidget(Etiquette(QStringLiteral("Indice"), Indice_depart, this), 1, 0);
    g1->addWidget(Indice_depart, 1, 1);
    g1->addWidget(Button1, 0, 2);

    Nom_Arrivee = Champ("Nom_Arrivee", this);
    Indice_Arrivee = Champ("Indice_Arrivee", this);
    Button2 = BoutonPoussoir("Button2", QStringLiteral("R&echercher ..."), this);
    Button3 = BoutonPoussoir("Button3", QStringLiteral("Le plus &loin"), this);
    Button4 = BoutonPoussoir("Button4", QStringLiteral("Le plus &profond"), this);
    auto* arrivee = new QGroupBox(QStringLiteral("Point d'&arrivée"), this);
    auto* g2 = new QGridLayout(arrivee);
    g2->addWidget(Etiquette(QStringLiteral("Nom"), Nom_Arrivee, this), 0, 0);
    g2->addWidget(Nom_Arrivee, 0, 1);
    g2->addWidget(Etiquette(QStringLiteral("Indice"), Indice_Arrivee, this), 1, 0);
    g2->addWidget(Indice_Arrivee, 1, 1);
    g2->addWidget(Button2, 0, 2);
    g2->addWidget(Button3, 1, 2);
    g2->addWidget(Button4, 2, 2);

    Nouvelle = new QCheckBox(QStringLiteral("&Nouvelle"), this);
    Nouvelle->setObjectName("Nouvelle");
    Horizontal = Champ("Horizontal", this, QStringLiteral("0"));
    Vertical = Champ("Vertical", this, QStringLiteral("0"));
    Gauche = new QCheckBox(QStringLiteral("De &gauche à droite"), this);
    Gauche->setObjectName("Gauche");
    Gauche->setChecked(true);
    Lateral = new QCheckBox(QStringLiteral("&Inclure les cul-de-sacs latéraux"), this);
    Lateral->setObjectName("Lateral");
    auto* branche = new QGroupBox(QStringLiteral("Branche"), this);
    auto* g3 = new QGridLayout(branche);
    g3->addWidget(Nouvelle, 0, 0, 1, 2);
    g3->addWidget(Etiquette(QStringLiteral("Décalage &horizontal"), Horizontal, this), 1, 0);
    g3->addWidget(Horizontal, 1, 1);
    g3->addWidget(Etiquette(QStringLiteral("Décalage &vertical"), Vertical, this), 2, 0);
    g3->addWidget(Vertical, 2, 1);
    g3->addWidget(Gauche, 3, 0, 1, 2);
    g3->addWidget(Lateral, 4, 0, 1, 2);

    Button5 = BoutonPoussoir("Button5", QStringLiteral("Construire"), this);
    Button5->setDefault(true);
    Button6 = BoutonPoussoir("Button6", QStringLiteral("Annuler"), this);
    QHBoxLayout* boutons = LigneBoutons({Button5, Button6});
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(depart);
    colonne->addWidget(arrivee);
    colonne->addWidget(branche);
    colonne->addLayout(boutons);

    Indice_depart->installEventFilter(this);
    Indice_Arrivee->installEventFilter(this);
    connect(Nouvelle, &QCheckBox::toggled, this, [this] { NouvelleClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { PointDeLaSelection(Nom_Depart, Indice_depart); });
    connect(Button2, &QPushButton::clicked, this, [this] { PointDeLaSelection(Nom_Arrivee, Indice_Arrivee); });
    connect(Button3, &QPushButton::clicked, this, [this] { CherchePointExtreme(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { CherchePointExtreme(true); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        if (Construit())
            accept();
    });
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool TExpert::eventFilter(QObject* objet, QEvent* evenement)
{
    if ((objet == Indice_depart || objet == Indice_Arrivee) && evenement->type() == QEvent::KeyPress) {
        const QString t = static_cast<QKeyEvent*>(evenement)->text();
        // Only digits are typed into an index; editing and moving keys carry no text.
        if (t.size() == 1 && t[0].isPrint() && !(t[0] >= QChar(u'0') && t[0] <= QChar(u'9')))
            return true;
    }
    return QDialog::eventFilter(objet, evenement);
}

void TExpert::showEvent(QShowEvent* evenement)
{
    FormShow();
    QDialog::showEvent(evenement);
}

void TExpert::NouvelleClick()
{
    Horizontal->setEnabled(Nouvelle->isChecked());
    Vertical->setEnabled(Nouvelle->isChecked());
}

void TExpert::FormShow()
{
    Nouvelle->setChecked(true);
    NouvelleClick();
    TMassif* m = contexte_.Massif();
    int fiche, galerie, point;
    if (!m || !m->FichesCourantes || !contexte_.SelectionVueActive(fiche, galerie, point))
        return;
    const ListeFiches& fiches = *m->FichesCourantes;
    if (fiche < 0 || static_cast<std::size_t>(fiche) >= fiches.size() || !fiches[static_cast<std::size_t>(fiche)])
        return;
    const TFiche& f = *fiches[static_cast<std::size_t>(fiche)];
    if (galerie < 0 || static_cast<std::size_t>(galerie) >= f.Galeries.size())
        return;
    const TGalerie& g = *f.Galeries[static_cast<std::size_t>(galerie)];
    const TPointTopo& loin = StationLoin(g);
    if (!g.DansCoupe || loin.Terminus)
        return;
    Nouvelle->setChecked(false);
    Gauche->setChecked(g.GaucheDroite);
    MontreReel(Horizontal, g.CoupeX1, 6, 2);
    MontreReel(Vertical, g.CoupeZ0, 4, 1);
    Nom_Depart->setText(DepuisCp1252(loin.Nom.Chaine()));
    Indice_depart->setText(QString::number(loin.Indice));
}

void TExpert::PointDeLaSelection(QLineEdit* nom, QLineEdit* indice)
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return;
    std::array<std::string, 5> criteres;
    criteres[4] = MajAscii(Texte(nom));
    TFiche* fiche = nullptr;
    int galerie = 0;
    if (!contexte_.RechercheSimple(*m->FichesCourantes, criteres, fiche, galerie))
        return;
    if (galerie == -1) {
        Invite().Information(QString::fromUtf8(kTexteVisualisationObligatoire));
        return;
    }
    if (!fiche || galerie < 0 || static_cast<std::size_t>(galerie) >= fiche->Galeries.size())
        return;
    const TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(galerie)];
    const TPointTopo* choisi = nullptr;
    if (g.Depart.Terminus && g.Arrivee.Terminus) {
        Invite().Avertissement(QString::fromUtf8(kTexteGalerieTerminus));
        return;
    }
    if (g.Depart.Terminus)
        choisi = &g.Arrivee;
    else if (g.Arrivee.Terminus)
        choisi = &g.Depart;
    else {
        const std::string cherche = MajAscii(Texte(nom));
        const bool depart = g.Depart.Nom.ChaineMaj() == cherche, fin = g.Arrivee.Nom.ChaineMaj() == cherche;
        if (depart != fin)
            choisi = depart ? &g.Depart : &g.Arrivee;
        else {
            const Bouton b = Invite().Message(
                TexteDeuxPointsPossibles(DepuisCp1252(TexteStation(g.Arrivee)), DepuisCp1252(TexteStation(g.Depart))),
                Icone::Confirmation, {Bouton::Oui, Bouton::OK});
            choisi = b == Bouton::Oui ? &g.Arrivee : &g.Depart;
        }
    }
    nom->setText(DepuisCp1252(choisi->Nom.Chaine()));
    indice->setText(QString::number(choisi->Indice));
}

void TExpert::CherchePointExtreme(bool profond)
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return;
    int indice;
    if (!LitIndiceChamp(Indice_depart, indice))
        return;
    std::string nom;
    int trouve = 0;
    if (PointExtreme(*m->FichesCourantes, Texte(Nom_Depart), indice, profond, nom, trouve)) {
        Nom_Arrivee->setText(DepuisCp1252(nom));
        Indice_Arrivee->setText(QString::number(trouve));
    }
}

bool TExpert::Construit()
{
    TMassif* m = contexte_.Massif();
    if (!m || !m->FichesCourantes)
        return false;
    ConstructionCoupe c;
    c.NomDepart = Texte(Nom_Depart);
    c.IndiceDepart = Texte(Indice_depart);
    if (Nouvelle->isChecked()) {
        if (!ReelsAdmis({Horizontal, Vertical}))
            return false;
        c.X = LitReelEdition(Horizontal);
        c.Z = LitReelEdition(Vertical);
    } else if (!(c.Parent = BrancheAContinuer(contexte_, c.NomDepart, c.IndiceDepart)))
        return false;
    if (!LitIndiceChamp(Indice_Arrivee, c.IndiceArrivee))
        return false;
    c.NomArrivee = Texte(Nom_Arrivee);
    c.GaucheDroite = Gauche->isChecked();
    c.CulsDeSac = Lateral->isChecked();
    return ConstruitCoupe(contexte_, c);
}

}  // namespace karst
