#include "dialogs/nouveaute.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "dialogs/hors_cp1252.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

namespace karst {

namespace {

// The system of a cave filed in none, as a sheet's address holds it (Windows-1252).
const char* const kSystemeIsole = "Isol\xE9";

QRadioButton* Radio(QWidget* parent, QLayout* l, const char* nom, const QString& texte)
{
    auto* r = new QRadioButton(texte, parent);
    r->setObjectName(QString::fromLatin1(nom));
    l->addWidget(r);
    return r;
}

// The controls of a page stand one under the other from its top, as the pages are drawn;
// what the tallest page leaves free stays below them.
QWidget* Page(QStackedWidget* p, const QString& titre, QVBoxLayout*& l)
{
    auto* w = new QWidget(p);
    l = new QVBoxLayout(w);
    auto* t = new QLabel(titre, w);
    QFont f = t->font();
    f.setBold(true);
    t->setFont(f);
    l->addWidget(t);
    p->addWidget(w);
    return w;
}

// Qt checks the radio button an arrow moves to only when the one it leaves was checked:
// each page starts with none chosen, so the arrows would move without choosing and
// "Suivant" would wait for Space. Here the arrows choose, as radio buttons do.
class FlechesChoisissent : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k != Qt::Key_Up && k != Qt::Key_Down && k != Qt::Key_Left && k != Qt::Key_Right)
            return false;
        const QWidget* avant = QApplication::focusWidget();
        objet->event(e);
        auto* apres = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        if (apres && apres != avant && !apres->isChecked())
            apres->click();
        return true;
    }
};

}  // namespace

TNouveaute::TNouveaute(HoteDialogues& hote, QWidget* parent) : QDialog(parent), hote_(hote)
{
    setObjectName(QStringLiteral("Nouveaute"));
    auto* l = new QVBoxLayout(this);
    Panneau = new QStackedWidget(this);
    Panneau->setObjectName(QStringLiteral("Panneau"));
    Panneau->setFocusPolicy(Qt::StrongFocus);
    l->addWidget(new PageDefilante(Panneau, this), 1);
    QVBoxLayout* p;

    // 0
    QWidget* w = Page(Panneau, QStringLiteral("Nature du nouvel élément"), p);
    Niveau = new QButtonGroup(this);
    Niveau->setObjectName(QStringLiteral("Niveau"));
    const char* const niveaux[] = {"Massif", "Système", "Cavité", "Exploration", "Cheminement de surface"};
    for (int i = 0; i < 5; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(niveaux[i]), w);
        r->setObjectName(QStringLiteral("Niveau%1").arg(i));
        p->addWidget(r);
        Niveau->addButton(r, i);
    }
    connect(Niveau, &QButtonGroup::idClicked, this, [this] { NiveauClick(); });

    p->addStretch(1);

    // 1
    w = Page(Panneau, QStringLiteral("Dans quel massif ?"), p);
    Courant = Radio(w, p, "Courant", QStringLiteral("Courant"));
    Connu = Radio(w, p, "Connu", QStringLiteral("Connu"));
    Nouveau = Radio(w, p, "Nouveau", QStringLiteral("Nouveau"));
    groupeMassif_ = new QButtonGroup(this);
    for (QRadioButton* r : {Courant, Connu, Nouveau})
        groupeMassif_->addButton(r);
    connect(Connu, &QRadioButton::clicked, this, &TNouveaute::ConnuClick);
    connect(Nouveau, &QRadioButton::clicked, this, &TNouveaute::ConnuClick);

    p->addStretch(1);

    // 2
    w = Page(Panneau, QStringLiteral("Pour le nouveau massif, vous pouvez : "), p);
    auto bouton = [&](const QString& avant, const char* nom, const QString& texte) {
        auto* h = new QHBoxLayout;
        h->addWidget(new QLabel(avant, w));
        auto* b = new QPushButton(texte, w);
        b->setObjectName(QString::fromLatin1(nom));
        // Return goes to "Terminer", not to the button that has the keyboard.
        b->setAutoDefault(false);
        h->addWidget(b);
        p->addLayout(h);
        return b;
    };
    Nom_Massif = bouton(QStringLiteral("choisir le"), "Nom_Massif", QStringLiteral("&Nom"));
    Declinaisons = bouton(QStringLiteral("régler les"), "Declinaisons", QStringLiteral("&Déclinaisons"));
    References = bouton(QStringLiteral("définir les"), "References", QStringLiteral("&Point de référence"));
    connect(Nom_Massif, &QPushButton::clicked, this, &TNouveaute::Nom_MassifClick);
    connect(Declinaisons, &QPushButton::clicked, this, &TNouveaute::DeclinaisonsClick);
    connect(References, &QPushButton::clicked, this, &TNouveaute::ReferencesClick);

    p->addStretch(1);

    // 3
    w = Page(Panneau, QStringLiteral("Veuillez indiquer le nom de la nouvelle cavité"), p);
    Nom_Cavite = new QLineEdit(w);
    Nom_Cavite->setObjectName(QStringLiteral("Nom_Cavite"));
    p->addWidget(Nom_Cavite);
    Label8 = new QLabel(QStringLiteral("C'est une cavité"), w);
    Label8->setObjectName(QStringLiteral("Label8"));
    p->addWidget(Label8);
    Isole = Radio(w, p, "Isole", QStringLiteral("isolée"));
    jonctionne = Radio(w, p, "jonctionne", QStringLiteral("jonctionnée"));
    groupeIsole_ = new QButtonGroup(this);
    groupeIsole_->addButton(Isole);
    groupeIsole_->addButton(jonctionne);
    connect(Nom_Cavite, &QLineEdit::textChanged, this, &TNouveaute::Nom_CaviteChange);
    connect(Isole, &QRadioButton::clicked, this, &TNouveaute::IsoleClick);
    connect(jonctionne, &QRadioButton::clicked, this, &TNouveaute::IsoleClick);

    p->addStretch(1);

    // 4
    w = Page(Panneau, QStringLiteral("La cavité jonctionne avec un"), p);
    systeme_connu = Radio(w, p, "systeme_connu", QStringLiteral("système connu"));
    p->addWidget(new QLabel(QStringLiteral("ou elle forme un"), w));
    nouveau_systeme = Radio(w, p, "nouveau_systeme", QStringLiteral("nouveau système"));
    groupeSysteme_ = new QButtonGroup(this);
    groupeSysteme_->addButton(systeme_connu);
    groupeSysteme_->addButton(nouveau_systeme);
    connect(systeme_connu, &QRadioButton::clicked, this, &TNouveaute::ConnuClick);
    connect(nouveau_systeme, &QRadioButton::clicked, this, &TNouveaute::ConnuClick);

    p->addStretch(1);

    // 5
    w = Page(Panneau, QStringLiteral("Veuillez indiquer le système rejoint "), p);
    Nom_systeme = new QComboBox(w);
    Nom_systeme->setObjectName(QStringLiteral("Nom_systeme"));
    p->addWidget(Nom_systeme);
    connect(Nom_systeme, &QComboBox::activated, this, &TNouveaute::ConnuClick);

    p->addStretch(1);

    // 6
    w = Page(Panneau, QStringLiteral("Indiquez le nom du nouveau système"), p);
    Saisie_systeme = new QLineEdit(w);
    Saisie_systeme->setObjectName(QStringLiteral("Saisie_systeme"));
    p->addWidget(Saisie_systeme);
    p->addWidget(new QLabel(QStringLiteral("Sélectionnez les anciens systèmes qui s'y rattachent"), w));
    Check_Systeme = new QListWidget(w);
    Check_Systeme->setObjectName(QStringLiteral("Check_Systeme"));
    p->addWidget(Check_Systeme);
    p->addWidget(new QLabel(QStringLiteral("Sélectionnez des cavitées isolées qui s'y rattachent"), w));
    Check_cavite = new QListWidget(w);
    Check_cavite->setObjectName(QStringLiteral("Check_cavite"));
    p->addWidget(Check_cavite);
    connect(Saisie_systeme, &QLineEdit::textChanged, this, &TNouveaute::Saisie_systemeChange);

    // 7
    w = Page(Panneau, QStringLiteral("Nouvelle exploration"), p);
    auto combo = [&](const char* nom, const QString& texte) {
        p->addWidget(new QLabel(texte, w));
        auto* c = new QComboBox(w);
        c->setObjectName(QString::fromLatin1(nom));
        c->setAccessibleName(texte);
        c->setEditable(true);
        p->addWidget(c);
        return c;
    };
    Combo_systeme = combo("Combo_systeme", QStringLiteral("Système"));
    Combo_cavite = combo("Combo_cavite", QStringLiteral("Cavité"));
    Combo_reseau = combo("Combo_reseau", QStringLiteral("Réseau"));
    Combo_lieu = combo("Combo_lieu", QStringLiteral("Lieu"));
    p->addStretch(1);

    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    Arriere = new QPushButton(QStringLiteral("< &Précédent"), this);
    Arriere->setObjectName(QStringLiteral("Arriere"));
    Avant = new QPushButton(QStringLiteral("&Suivant >"), this);
    Avant->setObjectName(QStringLiteral("Avant"));
    Avant->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("Annuler"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* b : {Arriere, Avant, Button3})
        boutons->addWidget(b);
    l->addLayout(boutons);
    connect(Avant, &QPushButton::clicked, this, &TNouveaute::AvantClick);
    connect(Arriere, &QPushButton::clicked, this, &TNouveaute::ArriereClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    Arriere->hide();
    Avant->setEnabled(false);
    auto* fleches = new FlechesChoisissent(this);
    for (QRadioButton* r : findChildren<QRadioButton*>())
        r->installEventFilter(fleches);
}

int TNouveaute::Execute(HoteDialogues& hote, QWidget* parent)
{
    TNouveaute n(hote, parent);
    n.FormShow();
    const int r = ExecuteModal(n);
    if (n.FicheDemandee)
        hote.EditeFiche(nullptr, 0, &*n.FicheDemandee, 0xF);
    return r;
}

void TNouveaute::decoche(QButtonGroup* g)
{
    g->setExclusive(false);
    for (QAbstractButton* b : g->buttons())
        b->setChecked(false);
    g->setExclusive(true);
}

int TNouveaute::ItemNiveau() const { return Niveau->checkedId(); }

void TNouveaute::page(int etape, int page)
{
    Etape = etape;
    Panneau->setCurrentIndex(page);
}

void TNouveaute::FormShow()
{
    setWindowTitle(QStringLiteral("Nouvel élément"));
    page(0, 0);
    Avant->setText(QStringLiteral("&Suivant >"));
    Avant->setEnabled(false);
    MassifOuvert = hote_.Massif() != nullptr;
    decoche(Niveau);
    Nom_Cavite->clear();
    Nom_systeme->clear();
    Saisie_systeme->clear();
    for (QComboBox* c : {Combo_systeme, Combo_cavite, Combo_reseau, Combo_lieu})
        c->clear();
    decoche(groupeIsole_);
    decoche(groupeSysteme_);
    Arriere->hide();
    FicheDemandee.reset();
    champPage();
}

void TNouveaute::NiveauClick() { Avant->setEnabled(ItemNiveau() >= 0); }

void TNouveaute::ConnuClick() { Avant->setEnabled(true); }

void TNouveaute::IsoleClick()
{
    if (!Nom_Cavite->text().isEmpty())
        Avant->setEnabled(true);
}

void TNouveaute::Nom_CaviteChange()
{
    // Emptied again, the name can no longer be confirmed.
    Avant->setEnabled(!Nom_Cavite->text().isEmpty() &&
                      (Label8->isHidden() || Isole->isChecked() || jonctionne->isChecked()));
}

void TNouveaute::Saisie_systemeChange() { Avant->setEnabled(!Saisie_systeme->text().isEmpty()); }

bool TNouveaute::peutPrendre() { return !MassifOuvert || hote_.DemandeEnregistrement(true); }

bool TNouveaute::prendNouveau()
{
    if (!peutPrendre())
        return false;
    if (MassifOuvert)
        hote_.FermeMassif();
    return hote_.OuvreMassif({});
}

bool TNouveaute::prendConnu()
{
    if (!peutPrendre())
        return false;
    std::string nom;
    if (!hote_.ChoisitMassif(nom))
        return false;
    if (MassifOuvert)
        hote_.FermeMassif();
    // A file that could not be loaded leaves no massif to create anything in.
    return hote_.OuvreMassif(nom);
}

QStringList TNouveaute::AjouteNoms(int niveau)
{
    std::vector<std::string> noms;
    if (TMassif* m = hote_.Massif())
        for (const TFiche* f : m->Fiches) {
            if (!f)
                continue;
            const std::string& n = PartieAdresse(*f, niveau + 1).Chaine();
            if (n.empty() || EgalSansCasse(n, "Surface") || EgalSansCasse(n, kSystemeIsole))
                continue;
            bool present = false;
            for (std::size_t i = noms.size(); i-- > 0 && !present;)
                present = EgalSansCasse(noms[i], n);
            if (!present)
                noms.push_back(n);
        }
    QStringList r;
    for (const std::string& n : noms)
        r << DepuisCp1252(n);
    return r;
}

void TNouveaute::AjusteLargeurs()
{
    for (QListWidget* l : {Check_Systeme, Check_cavite}) {
        // The widest item can be scrolled to whole.
        int largeur = 0;
        for (int i = 0; i < l->count(); ++i)
            largeur = std::max(largeur, l->fontMetrics().horizontalAdvance(l->item(i)->text()));
        const int hauteur = l->count() > 0 ? l->sizeHintForRow(0) : 0;
        l->setProperty("etendue", largeur + 2 * hauteur);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void TNouveaute::remplitCoches()
{
    for (auto [liste, niveau] : {std::pair{Check_Systeme, 0}, std::pair{Check_cavite, 1}}) {
        liste->clear();
        for (const QString& n : AjouteNoms(niveau)) {
            auto* it = new QListWidgetItem(n, liste);
            it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
            it->setCheckState(Qt::Unchecked);
        }
    }
    AjusteLargeurs();
}

void TNouveaute::editeur(const Adresse& a)
{
    FicheDemandee = a;
    accept();
}

void TNouveaute::continueNiveau()
{
    switch (ItemNiveau()) {
    case 1:
        page(6, 6);
        Avant->setText(QStringLiteral("&Terminer"));
        Avant->setEnabled(false);
        remplitCoches();
        break;
    case 2:
        page(3, 3);
        Avant->setEnabled(false);
        Avant->setText(QStringLiteral("&Suivant >"));
        Label8->show();
        Isole->show();
        jonctionne->show();
        decoche(groupeIsole_);
        break;
    case 3: {
        page(7, 7);
        const QComboBox* combos[4] = {Combo_systeme, Combo_cavite, Combo_reseau, Combo_lieu};
        for (int k = 0; k < 4; ++k) {
            auto* c = const_cast<QComboBox*>(combos[k]);
            c->clear();
            c->addItems(AjouteNoms(k));
            c->setCurrentIndex(-1);
            c->setEditText(QString());
        }
        Avant->setText(QStringLiteral("&Terminer"));
        Avant->setEnabled(true);
        break;
    }
    case 4: editeur({"Surface", "", "", ""}); break;
    default: break;
    }
}

// The keyboard goes to the first field of the page shown, so that what is typed next lands
// there without a click.
void TNouveaute::champPage()
{
    QWidget* page = Panneau->currentWidget();
    for (QWidget* w : page->findChildren<QWidget*>())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

// The names of the page go into sheets in Windows-1252: what it lacks is said before it
// becomes "?", and the caver may stay on the page to change it.
bool TNouveaute::nomsGardes()
{
    std::vector<TexteSaisi> textes;
    if (Etape == 3)
        textes.push_back({QStringLiteral("Le nom de la cavité"), Nom_Cavite->text(), Nom_Cavite});
    else if (Etape == 6)
        textes.push_back({QStringLiteral("Le nom du système"), Saisie_systeme->text(), Saisie_systeme});
    else if (Etape == 7)
        for (QComboBox* c : {Combo_systeme, Combo_cavite, Combo_reseau, Combo_lieu})
            textes.push_back({QStringLiteral("Le champ « %1 »").arg(c->accessibleName()), c->currentText(), c});
    return TexteARevoir(textes, QStringLiteral("Continuer ainsi ?")) < 0;
}

void TNouveaute::AvantClick()
{
    if (!nomsGardes())
        return;
    Panneau->setFocus();
    avance();
    champPage();
}

void TNouveaute::avance()
{
    const int niveau = ItemNiveau();
    switch (Etape) {
    case 0:
        if (niveau == 0) {
            setWindowTitle(QStringLiteral("Nouveau massif"));
            if (prendNouveau()) {
                page(2, 2);
                Avant->setEnabled(true);
                Avant->setText(QStringLiteral("&Terminer"));
                Arriere->setVisible(!MassifOuvert);
            }
        } else if (niveau > 0) {
            const char* const titres[] = {"", "Nouveau système", "Nouvelle cavité", "Nouvelle exploration",
                                          "Nouveau cheminement de surface"};
            setWindowTitle(QString::fromUtf8(titres[niveau]));
            page(1, 1);
            const bool ouvert = hote_.Massif() != nullptr;
            Avant->setEnabled(ouvert);
            Arriere->show();
            decoche(groupeMassif_);
            Courant->setVisible(ouvert);
            Courant->setChecked(ouvert);
        }
        break;
    case 1:
        if (Nouveau->isChecked()) {
            if (prendNouveau()) {
                page(8, 2);
                Avant->setEnabled(true);
                Arriere->setVisible(!MassifOuvert);
            }
        } else if (Connu->isChecked()) {
            if (!prendConnu())
                return;
            continueNiveau();
            Arriere->setVisible(!MassifOuvert);
        } else if (Courant->isChecked()) {
            continueNiveau();
            Arriere->show();
        }
        break;
    case 2: accept(); break;
    case 3:
        if (!Label8->isHidden() && !Isole->isChecked()) {
            page(4, 4);
            decoche(groupeSysteme_);
            Avant->setEnabled(false);
            Arriere->show();
        } else {
            editeur({kSystemeIsole, VersCp1252(Nom_Cavite->text()), "", ""});
        }
        break;
    case 4:
        if (!systeme_connu->isChecked()) {
            page(6, 6);
            Avant->setText(QStringLiteral("&Terminer"));
            Avant->setEnabled(false);
            remplitCoches();
        } else {
            page(5, 5);
            Avant->setText(QStringLiteral("&Terminer"));
            Avant->setEnabled(false);
            Nom_systeme->clear();
            Nom_systeme->addItems(AjouteNoms(0));
            Nom_systeme->setCurrentIndex(-1);
        }
        break;
    case 5: editeur({VersCp1252(Nom_systeme->currentText()), VersCp1252(Nom_Cavite->text()), "", ""}); break;
    case 6: {
        if (Invite().Message(QStringLiteral("Appliquer le nouveau nom aux éléments choisis ?"), Icone::Confirmation,
                             {Bouton::OK, Bouton::Annuler}) != Bouton::OK)
            return;
        const std::string nom = VersCp1252(Saisie_systeme->text());
        auto coches = [](QListWidget* l) {
            std::vector<std::string> r;
            for (int i = 0; i < l->count(); ++i)
                if (l->item(i)->checkState() == Qt::Checked)
                    r.push_back(VersCp1252(l->item(i)->text()));
            return r;
        };
        const auto systemes = coches(Check_Systeme), caves = coches(Check_cavite);
        if (TMassif* m = hote_.Massif()) {
            for (TFiche* f : m->Fiches) {
                if (!f)
                    continue;
                for (const std::string& s : systemes)
                    if (EgalSansCasse(s, f->Systeme.Chaine())) {
                        f->Systeme.Affecte(nom);
                        break;
                    }
                for (const std::string& c : caves)
                    if (EgalSansCasse(c, f->Cavite.Chaine())) {
                        f->Systeme.Affecte(nom);
                        break;
                    }
            }
            hote_.MassifModifie(m, Recalcul::Aucun, true);
        }
        if (niveau == 2)
            editeur({nom, VersCp1252(Nom_Cavite->text()), "", ""});
        else
            reject();
        break;
    }
    case 7:
        editeur({VersCp1252(Combo_systeme->currentText()), VersCp1252(Combo_cavite->currentText()),
                 VersCp1252(Combo_reseau->currentText()), VersCp1252(Combo_lieu->currentText())});
        break;
    case 8:
        continueNiveau();
        Arriere->show();
        break;
    default: break;
    }
}

void TNouveaute::ArriereClick()
{
    Panneau->setFocus();
    recule();
    champPage();
}

void TNouveaute::recule()
{
    Avant->setText(QStringLiteral("&Suivant >"));
    Avant->setEnabled(true);
    auto versPage0 = [this] {
        setWindowTitle(QStringLiteral("Nouvel élément"));
        page(0, 0);
        Arriere->hide();
    };
    switch (Etape) {
    case 1: versPage0(); break;
    case 2:
        hote_.FermeMassif();
        versPage0();
        break;
    case 3:
    case 6:
    case 7:
        if (Etape == 6 && ItemNiveau() != 1) {
            page(4, 4);
            break;
        }
        if (Courant->isChecked() || Connu->isChecked()) {
            page(1, 1);
            Arriere->show();
            if (Connu->isChecked())
                hote_.FermeMassif();
        } else if (Nouveau->isChecked()) {
            page(8, 2);
            Arriere->setVisible(!MassifOuvert);
        }
        break;
    case 4:
        page(3, 3);
        if (Connu->isChecked())
            Arriere->setVisible(!MassifOuvert);
        break;
    case 5: page(4, 4); break;
    case 8:
        hote_.FermeMassif();
        page(1, 1);
        break;
    default: break;
    }
}

void TNouveaute::Nom_MassifClick()
{
    std::string nom;
    if (!hote_.ChoisitMassif(nom))
        return;
    hote_.FermeMassif();
    hote_.OuvreMassif(nom);
}

void TNouveaute::DeclinaisonsClick() { hote_.Declinaisons(); }

void TNouveaute::ReferencesClick() { hote_.References(); }

}  // namespace karst
