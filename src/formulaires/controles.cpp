#include "formulaires/controles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidgetItem>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "formulaires/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/nombres.h"
#include "survey/reel6.h"

namespace karst {

// ---- key filter ----

bool FiltreTouches::Accepte(QChar c, GenreNombre genre)
{
    if ((c.isDigit() && c.unicode() < 128) || c == QChar(u'\b'))
        return true;
    // A comma is the decimal point of French keyboards and habits.
    if (genre != GenreNombre::Naturel && (c == QChar(u'.') || c == QChar(u',')))
        return true;
    return genre == GenreNombre::Relatif && c == QChar(u'-');
}

bool FiltreTouches::eventFilter(QObject* objet, QEvent* evenement)
{
    if (evenement->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(evenement);
        const QString t = k->text();
        // Only keys that type a printable character are judged; editing and shortcut keys pass.
        if (!t.isEmpty() && t.at(0).isPrint() && !Accepte(t.at(0), genre_))
            return true;
    }
    return QObject::eventFilter(objet, evenement);
}

void FiltreCles(QLineEdit* edition, GenreNombre genre)
{
    edition->installEventFilter(new FiltreTouches(edition, genre));
}

QStringList LibellesUnites(std::span<const UniteMesure> unites)
{
    QStringList l;
    for (const UniteMesure& u : unites)
        l << DepuisCp1252(u.Libelle);
    return l;
}

// ---- list of records ----

void ListeEditee::mousePressEvent(QMouseEvent* e)
{
    QListWidget::mousePressEvent(e);
    SuitCourante();
}

void ListeEditee::mouseMoveEvent(QMouseEvent* e)
{
    QListWidget::mouseMoveEvent(e);
    SuitCourante();
}

void ListeEditee::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidget::mouseReleaseEvent(e);
    SuitCourante();
}

void ListeEditee::SuitCourante()
{
    // The view selects the line pressed after the current line changed, so after a refused
    // change the highlight would sit on a line that was never shown.
    QItemSelectionModel* s = selectionModel();
    const QModelIndex courante = currentIndex();
    const QModelIndexList choisies = s->selectedIndexes();
    if (choisies.size() == (courante.isValid() ? 1 : 0) && (!courante.isValid() || choisies.front() == courante))
        return;
    s->select(courante, QItemSelectionModel::ClearAndSelect);
}

// ---- radio group ----

GroupeRadio::GroupeRadio(const QString& titre, const QStringList& items, QWidget* parent)
    : QGroupBox(titre, parent), groupe_(new QButtonGroup(this))
{
    auto* colonne = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        groupe_->addButton(b, i);
        colonne->addWidget(b);
    }
    connect(groupe_, &QButtonGroup::idToggled, this, [this](int, bool coche) {
        if (coche)
            emit Change();
    });
}

int GroupeRadio::ItemIndex() const { return groupe_->checkedId(); }

void GroupeRadio::FixeItemIndex(int index)
{
    if (QAbstractButton* b = groupe_->button(index)) {
        b->setChecked(true);
        return;
    }
    groupe_->setExclusive(false);
    for (QAbstractButton* b : groupe_->buttons())
        b->setChecked(false);
    groupe_->setExclusive(true);
    emit Change();
}

// ---- font and colour buttons ----

BoutonPolice::BoutonPolice(const QString& texte, Police* travail, QWidget* parent)
    : QPushButton(texte, parent), travail_(travail)
{
    connect(this, &QPushButton::clicked, this, [this] {
        if (travail_)
            Invite().ChoixPolice(*travail_);
    });
}

BoutonCouleur::BoutonCouleur(const QString& texte, int32_t* travail, QWidget* parent)
    : QPushButton(texte, parent), travail_(travail)
{
    connect(this, &QPushButton::clicked, this, [this] {
        auto c = static_cast<uint32_t>(*travail_);
        if (Invite().Couleur(c)) {
            *travail_ = static_cast<int32_t>(c);
            Peint();
        }
    });
    Peint();
}

void BoutonCouleur::Peint() { setIcon(QPixmap::fromImage(ImageCouleur(static_cast<Couleur>(*travail_)))); }

QImage ImageCouleur(Couleur couleur)
{
    CanvasImage c(16, 16);
    c.FixeBrush({kBlanc, true});
    c.FixePen({kBlanc, 1});
    c.Rectangle(0, 0, 16, 16);
    c.FixePen({0x808080, 1});
    c.FixeBrushPlein(false);
    c.Rectangle(0, 0, 15, 15);
    c.FixePen({kNoir, 1});
    c.FixeBrush({couleur & 0xFFFFFF, true});
    c.Rectangle(1, 1, 14, 14);
    return c.Image().copy();
}

// ---- transfers ----

namespace {
const char* const kEntierMontre = "EntierMontre";
}

void MontreEntier(QLineEdit* e, long long v)
{
    e->setText(QString::fromStdString(FormatEntier(v)));
    e->setProperty(kEntierMontre, e->text());
}

int LitEntierEdition(const QLineEdit* e) { return ChaineEnEntier(VersCp1252(e->text())); }

int16_t LitMot(const QLineEdit* e) { return static_cast<int16_t>(static_cast<uint16_t>(LitEntierEdition(e))); }

namespace {

const char* const kReelMontre = "ReelMontre";
constexpr int kRoleReelMontre = Qt::UserRole + 40;

// The text shown for a value, remembered beside it in `memoire`.
QString TexteMontre(const std::string& t, long double v, QVariant& memoire)
{
    const QString texte = QString::fromStdString(t);
    memoire = QVariantList{texte, static_cast<double>(v)};
    return texte;
}

bool ValeurMontree(const QString& texte, const QVariant& memoire, long double& v)
{
    const QVariantList l = memoire.toList();
    if (l.size() != 2 || l[0].toString() != texte)
        return false;
    v = l[1].toDouble();
    return true;
}

}  // namespace

void MontreReel(QLineEdit* e, long double v, int precision, int chiffresExposant)
{
    QVariant memoire;
    e->setText(TexteMontre(FormatGeneral(v, precision, chiffresExposant), v, memoire));
    e->setProperty(kReelMontre, memoire);
}

void MontreSaisi(QLineEdit* e, long double v, int precision, int chiffresExposant)
{
    QVariant memoire;
    e->setText(TexteMontre(TexteExact(v, precision, chiffresExposant), v, memoire));
    e->setProperty(kReelMontre, memoire);
}

void MontreReel(QTableWidgetItem* c, long double v, int precision, int chiffresExposant)
{
    QVariant memoire;
    c->setText(TexteMontre(FormatGeneral(v, precision, chiffresExposant), v, memoire));
    c->setData(kRoleReelMontre, memoire);
}

void MontreSaisi(QTableWidgetItem* c, long double v, int precision, int chiffresExposant)
{
    QVariant memoire;
    c->setText(TexteMontre(TexteExact(v, precision, chiffresExposant), v, memoire));
    c->setData(kRoleReelMontre, memoire);
}

long double LitReelEdition(const QLineEdit* e)
{
    long double v = 0;
    if (ValeurMontree(e->text(), e->property(kReelMontre), v))
        return v;
    return LitReelSaisi(VersCp1252(e->text()), v) ? v : 0;
}

bool LitReelMontre(const QLineEdit* e, long double& v)
{
    return ValeurMontree(e->text(), e->property(kReelMontre), v) || LitReelStockable(VersCp1252(e->text()), v);
}

bool LitReelMontre(const QTableWidgetItem* c, long double& v)
{
    return ValeurMontree(c->text(), c->data(kRoleReelMontre), v) || LitReelStockable(VersCp1252(c->text()), v);
}

void MontreTexte(QLineEdit* e, const std::string& texte) { e->setText(DepuisCp1252(texte)); }

std::string LitTexte(const QLineEdit* e) { return VersCp1252(e->text()); }

void MontreCase(QCheckBox* c, bool coche) { c->setChecked(coche); }

bool LitCase(const QCheckBox* c) { return c->isChecked(); }

namespace {

// Shows the page that holds the control.
void MontrePage(QWidget* w)
{
    for (QWidget* page = w; page; page = page->parentWidget())
        for (QWidget* p = page->parentWidget(); p; p = p->parentWidget())
            if (auto* onglets = qobject_cast<QTabWidget*>(p)) {
                const int i = onglets->indexOf(page);
                if (i >= 0) {
                    onglets->setCurrentIndex(i);
                    return;
                }
                break;
            }
}

}  // namespace

QString NomChamp(const QWidget* e)
{
    QString nom = e->accessibleName();
    if (nom.isEmpty())
        for (const QLabel* l : e->window()->findChildren<QLabel*>())
            if (l->buddy() == e && !l->text().isEmpty()) {
                nom = l->text();
                break;
            }
    if (nom.isEmpty())
        nom = e->objectName();
    // Several pages and groups hold fields of one label ("Epaisseur (mm/10)").
    for (const QWidget* p = e->parentWidget(); p && p != e->window(); p = p->parentWidget()) {
        QString titre;
        if (const auto* g = qobject_cast<const QGroupBox*>(p))
            titre = g->title();
        else if (const QWidget* pile = p->parentWidget())
            if (const auto* onglets = qobject_cast<const QTabWidget*>(pile->parentWidget());
                onglets && !onglets->tabBar()->isHidden() && onglets->indexOf(const_cast<QWidget*>(p)) >= 0)
                titre = onglets->tabText(onglets->indexOf(const_cast<QWidget*>(p)));
        if (!titre.isEmpty())
            nom = titre + QStringLiteral(" : ") + nom;
    }
    return nom.remove(QChar(u'&'));
}

void AvertitRefus(const QString& champ, const QString& texte, const QString& raison)
{
    Invite().Avertissement(QStringLiteral("Le champ « %1 » n'accepte pas « %2 » : %3.").arg(champ, texte, raison));
}

QString ExigeEntier(long long min, long long max)
{
    return QStringLiteral("il faut un nombre entier de %1 à %2")
        .arg(QString::fromStdString(FormatEntier(min)), QString::fromStdString(FormatEntier(max)));
}

void AccepteAnneeLongue(QLineEdit* e)
{
    e->setInputMask(QStringLiteral("00/00/0000; "));
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
        std::string date;
        if (e->displayText().size() > 8 && !e->displayText().mid(8).trimmed().isEmpty() && LitDateLongue(e, date))
            e->setText(DepuisCp1252(date));
    });
}

namespace {
constexpr int kPremiereAnnee = 1950, kDerniereAnnee = 2049;  // the years "Automatique" reads from two digits
}  // namespace

bool LitDateLongue(const QLineEdit* e, std::string& date)
{
    std::string t = VersCp1252(e->displayText());
    t.resize(10, ' ');
    if (t[8] == ' ' && t[9] == ' ') {
        date = t.substr(0, 8);
        return true;
    }
    long long annee = 0;
    if (!std::all_of(t.begin() + 6, t.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        !LitEntier(t.substr(6, 4), annee) || annee < kPremiereAnnee || annee > kDerniereAnnee)
        return false;
    date = t.substr(0, 6) + t.substr(8, 2);
    return true;
}

QString TexteDateMontre(const QLineEdit* e)
{
    QString t = e->displayText();
    while (t.size() > 8 && t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    return t;
}

QString ExigeAnnee()
{
    return QStringLiteral("il faut une année de deux chiffres, ou de quatre de %1 à %2")
        .arg(kPremiereAnnee)
        .arg(kDerniereAnnee);
}

QString ExigeReel(long long min, long long max)
{
    return QStringLiteral("il faut un nombre de %1 à %2")
        .arg(QString::fromStdString(FormatEntier(min)), QString::fromStdString(FormatEntier(max)));
}

bool RefuseChamp(QLineEdit* e, const QString& raison)
{
    AvertitRefus(NomChamp(e), e->text(), raison);
    MontrePage(e);
    e->setFocus();
    e->selectAll();
    return false;
}

bool LitEntierChamp(QLineEdit* e, long long min, long long max, long long& v)
{
    v = 0;
    const QString texte = e->text().trimmed();
    if (texte.isEmpty() && min <= 0 && max >= 0)
        return true;
    // A value shown as the field's own is kept whatever its range: a model file may hold it.
    const bool montre = e->property(kEntierMontre).toString() == e->text();
    if (LitEntier(VersCp1252(texte), v) && (montre || (v >= min && v <= max)))
        return true;
    return RefuseChamp(e, ExigeEntier(min, max));
}

bool LitReelChamp(QLineEdit* e, long double& v)
{
    v = 0;
    if (e->text().trimmed().isEmpty() || LitReelMontre(e, v))
        return true;
    return RefuseChamp(e, LitReelSaisi(VersCp1252(e->text()), v) ? QStringLiteral("ce nombre est trop grand")
                                                                 : QStringLiteral("ce n'est pas un nombre"));
}

bool LitIndiceChamp(QLineEdit* e, int& indice)
{
    long long v = 0;
    const bool nombre = LitEntier(VersCp1252(e->text()), v);
    const char* refus = !nombre || v < 1 ? kTexteIndiceInvalide : v > kIndiceMax ? kTexteIndiceHorsBornes : nullptr;
    if (refus) {
        Invite().Avertissement(QString::fromUtf8(refus));
        e->setFocus();
        return false;
    }
    indice = static_cast<int>(v);
    return true;
}

bool EntiersAdmis(std::initializer_list<QLineEdit*> champs, long long min, long long max)
{
    long long v = 0;
    for (QLineEdit* e : champs)
        if (!LitEntierChamp(e, min, max, v))
            return false;
    return true;
}

bool ReelsAdmis(std::initializer_list<QLineEdit*> champs)
{
    long double v = 0;
    for (QLineEdit* e : champs)
        if (!LitReelChamp(e, v))
            return false;
    return true;
}

// ---- layout ----

Formulaire::Formulaire(QWidget* conteneur) : conteneur_(conteneur), forme_(new QFormLayout(conteneur)) {}

void Formulaire::Ajoute(QWidget* w) { forme_->addRow(w); }

void Formulaire::Ajoute(const QString& libelle, QWidget* w)
{
    auto* l = new QLabel(libelle, conteneur_);
    l->setBuddy(w);
    forme_->addRow(l, w);
}

QLabel* Formulaire::Libelle(QWidget* champ) const { return qobject_cast<QLabel*>(forme_->labelForField(champ)); }

QCheckBox* Formulaire::Case(const char* nom, const QString& libelle)
{
    auto* c = new QCheckBox(libelle, conteneur_);
    c->setObjectName(QString::fromLatin1(nom));
    forme_->addRow(c);
    return c;
}

QLineEdit* Formulaire::edition(const char* nom, const QString& libelle)
{
    auto* e = new QLineEdit(conteneur_);
    e->setObjectName(QString::fromLatin1(nom));
    auto* l = new QLabel(libelle, conteneur_);
    l->setBuddy(e);
    forme_->addRow(l, e);
    return e;
}

QLineEdit* Formulaire::Entier(const char* nom, const QString& libelle, bool filtre)
{
    QLineEdit* e = edition(nom, libelle);
    if (filtre)
        FiltreCles(e);
    return e;
}

QLineEdit* Formulaire::Reel(const char* nom, const QString& libelle, bool filtre)
{
    QLineEdit* e = edition(nom, libelle);
    if (filtre)
        FiltreCles(e);
    return e;
}

QLineEdit* Formulaire::Texte(const char* nom, const QString& libelle) { return edition(nom, libelle); }

GroupeRadio* Formulaire::Radio(const char* nom, const QString& titre, const QStringList& items)
{
    auto* g = new GroupeRadio(titre, items, conteneur_);
    g->setObjectName(QString::fromLatin1(nom));
    forme_->addRow(g);
    return g;
}

BoutonPolice* Formulaire::BoutonFonte(const char* nom, const QString& texte, Police* travail)
{
    auto* b = new BoutonPolice(texte, travail, conteneur_);
    b->setObjectName(QString::fromLatin1(nom));
    forme_->addRow(b);
    return b;
}

BoutonCouleur* Formulaire::BoutonTeinte(const char* nom, const QString& texte, int32_t* travail)
{
    auto* b = new BoutonCouleur(texte, travail, conteneur_);
    b->setObjectName(QString::fromLatin1(nom));
    forme_->addRow(b);
    return b;
}

QPushButton* Formulaire::Bouton(const char* nom, const QString& texte)
{
    auto* b = new QPushButton(texte, conteneur_);
    b->setObjectName(QString::fromLatin1(nom));
    forme_->addRow(b);
    return b;
}

Formulaire Formulaire::Groupe(const QString& titre)
{
    auto* g = new QGroupBox(titre, conteneur_);
    forme_->addRow(g);
    return Formulaire(g);
}

DialogueOptions::DialogueOptions(const QString& titre, const char* nom, QWidget* parent, const QString& valider)
    : QDialog(parent), Onglets(new QTabWidget(this))
{
    setObjectName(QString::fromLatin1(nom));
    setWindowTitle(titre);
    // Every tab shows whole: the dialog is made as wide as its row of tabs.
    Onglets->setUsesScrollButtons(false);
    Onglets->setElideMode(Qt::ElideNone);
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(Onglets);
    const BoutonsDialogue b = AjouteBoutons(this, colonne, valider);
    Valider = b.valider;
    Annuler = b.annuler;
    connect(Valider, &QPushButton::clicked, this, [this] {
        if (Verifie())
            accept();
    });
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

Formulaire DialogueOptions::Page(const QString& titre)
{
    auto* page = new QWidget;
    Onglets->addTab(new PageDefilante(page, Onglets), titre);
    return Formulaire(page);
}

PageDefilante::PageDefilante(QWidget* contenu, QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The page's own controls take the focus, not the area around them.
    setFocusPolicy(Qt::NoFocus);
    setWidget(contenu);
    contenu->setAutoFillBackground(false);
}

QSize PageDefilante::sizeHint() const { return widget() ? widget()->sizeHint() : QScrollArea::sizeHint(); }

QSize PageDefilante::minimumSizeHint() const
{
    // As wide as the page with its bar, so that it only ever scrolls up and down; as short
    // as a few rows.
    const int largeur = widget() ? widget()->minimumSizeHint().width() : 0;
    return {largeur + verticalScrollBar()->sizeHint().width(), 4 * fontMetrics().height()};
}

QPushButton* NouveauBouton(const QString& texte, const char* nom, QWidget* parent)
{
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(QString::fromLatin1(nom));
    return b;
}

QLineEdit* NouvelleEdition(const char* nom, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nom));
    return e;
}

QHBoxLayout* LigneBoutons(std::initializer_list<QPushButton*> boutons)
{
    auto* l = new QHBoxLayout;
    l->addStretch();
    for (QPushButton* b : boutons)
        l->addWidget(b);
    return l;
}

BoutonsDialogue AjouteBoutons(QWidget* dialogue, QLayout* colonne, const QString& valider)
{
    QPushButton* v = NouveauBouton(valider, "Valider", dialogue);
    v->setDefault(true);
    QPushButton* a = NouveauBouton(QStringLiteral("Annuler"), "Annuler", dialogue);
    QHBoxLayout* ligne = LigneBoutons({v, a});
    if (auto* boite = qobject_cast<QBoxLayout*>(colonne))
        boite->addLayout(ligne);
    return {v, a};
}

}  // namespace karst
