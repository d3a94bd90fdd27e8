#include "dialogs/references.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <vector>

#include "dialogs/dialogues_saisie.h"
#include "dialogs/hors_cp1252.h"
#include "dialogs/recherche.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "survey/fichier_texte.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst {

namespace {

constexpr int kColonnes = 5;  // name, index, X, Y, Z

QString Cellule(const QTableWidget* g, int r, int c)
{
    const QTableWidgetItem* i = g->item(r, c);
    return i ? i->text() : QString();
}

void FixeCellule(QTableWidget* g, int r, int c, const QString& t)
{
    if (QTableWidgetItem* i = g->item(r, c))
        i->setText(t);
    else
        g->setItem(r, c, new QTableWidgetItem(t));
}

bool ToucheEntree(const QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const int touche = static_cast<const QKeyEvent*>(e)->key();
    return touche == Qt::Key_Return || touche == Qt::Key_Enter;
}

// Enter typed while a cell is edited ends the editing and goes on to the next cell.
class DelegueEntree : public QStyledItemDelegate {
public:
    DelegueEntree(TReference* r) : QStyledItemDelegate(r), reference_(r) {}

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (ToucheEntree(e)) {
            auto* editeur = qobject_cast<QWidget*>(objet);
            emit commitData(editeur);
            emit closeEditor(editeur, QAbstractItemDelegate::NoHint);
            reference_->ToucheEntree();
            return true;
        }
        return QStyledItemDelegate::eventFilter(objet, e);
    }

private:
    TReference* reference_;
};

class FiltreEntreeGrille : public QObject {
public:
    FiltreEntreeGrille(TReference* r) : QObject(r), reference_(r) {}

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (ToucheEntree(e)) {
            reference_->ToucheEntree();
            return true;
        }
        return QObject::eventFilter(objet, e);
    }

private:
    TReference* reference_;
};

// Enter on a link the keyboard has reached follows it, as a click does.
class FiltreLien : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (!ToucheEntree(e))
            return QObject::eventFilter(objet, e);
        emit static_cast<QLabel*>(objet)->linkActivated(static_cast<QLabel*>(objet)->text());
        return true;
    }
};

QLineEdit* EditionReel(const char* nom, const QString& texte, QWidget* parent)
{
    QLineEdit* e = NouvelleEdition(nom, parent);
    e->setText(texte);
    FiltreCles(e);
    return e;
}

void Ligne(QFormLayout* f, const QString& libelle, QWidget* champ, const QString& unite = {})
{
    auto* l = new QLabel(libelle, champ->parentWidget());
    l->setBuddy(champ);
    if (unite.isEmpty()) {
        f->addRow(l, champ);
        return;
    }
    auto* h = new QHBoxLayout;
    h->addWidget(champ);
    h->addWidget(new QLabel(unite, champ->parentWidget()));
    f->addRow(l, h);
}

// A coordinate cut short ("3210.2...") reads as another: each column widens to its longest
// text, and never narrows below its width at opening.
void ElargitColonnes(QTableWidget* g)
{
    for (int c = 0; c < kColonnes; ++c) {
        const int avant = g->columnWidth(c);
        AjusteColonne(g, c, 0);
        g->setColumnWidth(c, std::max(avant, g->columnWidth(c)));
    }
}

}  // namespace

// ---- reference points ----

TReference::TReference(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Reference"));
    setProperty("HelpContext", 5);
    setWindowTitle(QStringLiteral("Points de référence"));
    StringGrid1 = new QTableWidget(9, kColonnes, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Nom"), QStringLiteral("Indice"), QStringLiteral("X /km"),
                                            QStringLiteral("Y /km"), QStringLiteral("Z /m")});
    const int largeurs[kColonnes] = {64, 55, 71, 66, 63};
    for (int c = 0; c < kColonnes; ++c)
        StringGrid1->setColumnWidth(c, largeurs[c]);
    StringGrid1->verticalHeader()->setMinimumWidth(27);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->setItemDelegate(new DelegueEntree(this));
    StringGrid1->installEventFilter(new FiltreEntreeGrille(this));
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this] { StringGrid1Click(); });
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this] { ElargitColonnes(StringGrid1); });
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int c) { AjusteColonne(StringGrid1, c, 0); });

    Supprimer = NouveauBouton(QStringLiteral("&Supprimer"), "Supprimer", this);
    Supprimer->setToolTip(QStringLiteral("ligne"));
    Button1 = NouveauBouton(QStringLiteral("Valider"), "Button1", this);
    Button1->setDefault(true);
    Button1->setAutoDefault(false);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    connect(Supprimer, &QPushButton::clicked, this, [this] { SupprimerClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(StringGrid1, 1);
    auto* boutons = LigneBoutons({Button1, Button2});
    boutons->insertWidget(0, Supprimer);
    colonne->addLayout(boutons);
    resize(420, 300);
    StringGrid1->setCurrentCell(0, 0);
}

void TReference::Remplit(const TMassif& massif)
{
    const int n = static_cast<int>(massif.References.size());
    // Widened once, when every row is there.
    const QSignalBlocker bloque(StringGrid1);
    StringGrid1->setRowCount(std::max(9, n));
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        for (int c = 0; c < kColonnes; ++c)
            FixeCellule(StringGrid1, r, c, QString());
    for (int r = 0; r < n; ++r) {
        const TPointTopo& p = *massif.References[static_cast<std::size_t>(r)];
        FixeCellule(StringGrid1, r, 0, DepuisCp1252(p.Nom.Chaine()));
        FixeCellule(StringGrid1, r, 1, QString::fromStdString(FormatEntier(p.Indice)));
        MontreSaisi(StringGrid1->item(r, 2), p.X, 9);
        MontreSaisi(StringGrid1->item(r, 3), p.Y, 9);
        MontreSaisi(StringGrid1->item(r, 4), p.Z, 7);
    }
    ElargitColonnes(StringGrid1);
    StringGrid1->setCurrentCell(0, 0);
    StringGrid1Click();
}

void TReference::Lit(TMassif& massif) const
{
    massif.VideReferences();
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        const QString nom = Cellule(StringGrid1, r, 0);
        if (nom.isEmpty())
            continue;
        auto p = std::make_unique<TPointTopo>();
        p->Nom.Affecte(VersCp1252(nom));
        long long indice = 0;
        if (LitEntier(VersCp1252(Cellule(StringGrid1, r, 1)), indice) && IndiceValide(static_cast<int>(indice)))
            p->Indice = static_cast<uint8_t>(indice);
        auto reel = [&](int c) -> long double {
            long double v = 0;
            const QTableWidgetItem* i = StringGrid1->item(r, c);
            return i && LitReelMontre(i, v) ? v : 0;
        };
        p->X = reel(2);
        p->Y = reel(3);
        p->Z = reel(4);
        massif.AjouteReference(std::move(p));
    }
}

void TReference::StringGrid1Click()
{
    // At least two rows always follow the current one.
    while (StringGrid1->currentRow() + 2 >= StringGrid1->rowCount())
        StringGrid1->insertRow(StringGrid1->rowCount());
}

void TReference::ToucheEntree()
{
    const int r = std::max(0, StringGrid1->currentRow()), c = StringGrid1->currentColumn();
    if (c + 1 < kColonnes)
        StringGrid1->setCurrentCell(r, c + 1);
    else
        StringGrid1->setCurrentCell(r + 1, 0);
    StringGrid1Click();
}

void TReference::SupprimerClick()
{
    const int courante = StringGrid1->currentRow();
    if (courante < 0)
        return;
    const int dernier = StringGrid1->rowCount() - 1;
    // Each cell moves whole, with the value it shows.
    for (int r = courante; r < dernier; ++r)
        for (int c = 0; c < kColonnes; ++c) {
            const QTableWidgetItem* dessous = StringGrid1->item(r + 1, c);
            StringGrid1->setItem(r, c, dessous ? dessous->clone() : new QTableWidgetItem);
        }
    for (int c = 0; c < kColonnes; ++c)
        StringGrid1->setItem(dernier, c, new QTableWidgetItem);
}

void TReference::OKBtnClick()
{
    auto refuse = [this](int r, int c) {
        StringGrid1->setCurrentCell(r, c);
        Invite().Avertissement(QStringLiteral("La valeur n'est pas correcte"));
        StringGrid1->setFocus();
    };
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        if (Cellule(StringGrid1, r, 0).isEmpty())
            continue;
        StringGrid1->setCurrentCell(r, 1);
        long long indice = 0;
        // The index is one byte in the massif: 256 and above could not be kept.
        if (!LitEntier(VersCp1252(Cellule(StringGrid1, r, 1)), indice) || indice < 1 || indice > kIndiceMax)
            return refuse(r, 1);
        for (int c = 2; c < kColonnes; ++c) {
            StringGrid1->setCurrentCell(r, c);
            long double v = 0;
            if (!LitReelStockable(VersCp1252(Cellule(StringGrid1, r, c)), v))
                return refuse(r, c);
        }
    }
    // The massif keeps the names in Windows-1252: what it lacks is said before it becomes "?".
    std::vector<TexteSaisi> noms;
    std::vector<int> lignes;
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        if (const QString nom = Cellule(StringGrid1, r, 0); !nom.isEmpty()) {
            noms.push_back({QStringLiteral("Le nom du point %1").arg(r + 1), nom});
            lignes.push_back(r);
        }
    // The cell is made current before the question, as for a refused value: made current
    // after it, it would open its editor in a window not yet active again, which then takes
    // no key.
    for (std::size_t k = 0; k < noms.size(); ++k)
        if (!CaracteresPerdus(noms[k].texte).isEmpty()) {
            StringGrid1->setCurrentCell(lignes[k], 0);
            break;
        }
    if (TexteARevoir(noms, QStringLiteral("Valider les points ainsi ?")) >= 0) {
        StringGrid1->setFocus();
        return;
    }
    accept();
}

// ---- declinations ----

TDeclinaisonDefaut::TDeclinaisonDefaut(const std::string& repProgramme, QWidget* parent)
    : QDialog(parent), repProgramme_(repProgramme)
{
    setObjectName(QStringLiteral("DeclinaisonDefaut"));
    setProperty("HelpContext", 6);
    setWindowTitle(QStringLiteral("Déclinaisons"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* magnetique = new QGroupBox(QStringLiteral("Magnétique (NM /NG)"), this);
    auto* f1 = new QFormLayout(magnetique);
    Edit1 = EditionReel("Edit1", QStringLiteral("0.0"), magnetique);
    MaskEdit1 = EditionDate("MaskEdit1", magnetique);
    FixeDate(MaskEdit1, "  /  /  ");
    Edit2 = EditionReel("Edit2", QStringLiteral("0.0"), magnetique);
    Label4 = new QLabel(QStringLiteral("<a href=\"#\">sur internet ...</a>"), magnetique);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setCursor(Qt::PointingHandCursor);
    // Tab reaches the link too, and Enter follows it.
    Label4->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label4->installEventFilter(new FiltreLien(Label4));
    connect(Label4, &QLabel::linkActivated, this, [this] { Label4Click(); });
    Ligne(f1, QStringLiteral("&Valeur initiale"), Edit1, QStringLiteral("en degré"));
    Ligne(f1, QStringLiteral("&Date"), MaskEdit1);
    Ligne(f1, QStringLiteral("Déc&roissance annuelle"), Edit2, QStringLiteral("en degré/an"));
    f1->addRow(Label4);

    auto* geodesique = new QGroupBox(QStringLiteral("Géodésique (NG / projection)"), this);
    auto* f2 = new QFormLayout(geodesique);
    Edit3 = EditionReel("Edit3", QStringLiteral("0.0"), geodesique);
    Ligne(f2, QStringLiteral("V&aleur"), Edit3, QStringLiteral("en degré"));
    Button3 = NouveauBouton(QStringLiteral("&Calculer ..."), "Button3", geodesique);
    f2->addRow(Button3);
    connect(Edit3, &QLineEdit::textChanged, this, [this] { GeodesiqueModifie = true; });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });

    Button1 = NouveauBouton(QStringLiteral("Enregistrer"), "Button1", this);
    Button1->setDefault(true);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    connect(Button1, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(magnetique);
    colonne->addWidget(geodesique);
    colonne->addLayout(LigneBoutons({Button1, Button2}));
    GeodesiqueModifie = false;
}

void TDeclinaisonDefaut::Remplit(const TMassif& m)
{
    MontreSaisi(Edit1, m.Origine_Declinaison, 5);
    MontreSaisi(Edit2, m.Variation_Declinaison, 5);
    MontreSaisi(Edit3, m.Angle_Geodesique, 5);
    FixeDate(MaskEdit1, m.Date_Declinaison);
    GeodesiqueModifie = false;
}

void TDeclinaisonDefaut::Lit(TMassif& m) const
{
    auto reel = [](const QLineEdit* e) -> long double {
        long double v = 0;
        return LitReelMontre(e, v) ? v : 0;
    };
    m.Origine_Declinaison = reel(Edit1);
    m.Variation_Declinaison = reel(Edit2);
    m.Angle_Geodesique = reel(Edit3);
    m.Date_Declinaison = LitDate(MaskEdit1);
}

void TDeclinaisonDefaut::OKBtnClick()
{
    if (!ReelsAdmis({Edit1, Edit2, Edit3}))
        return;
    // The model's reference date counts to the day: every digit is wanted.
    std::string date;
    const bool lue = LitDateLongue(MaskEdit1, date);
    if (!lue || date.find(' ') != std::string::npos) {
        AvertitRefus(NomChamp(MaskEdit1), TexteDateMontre(MaskEdit1),
                     lue ? QStringLiteral("il faut le jour, le mois et l'année") : ExigeAnnee());
        MaskEdit1->setFocus();
        return;
    }
    accept();
}

void TDeclinaisonDefaut::Button3Click()
{
    TConvergence c(repProgramme_, this);
    if (ExecuteModal(c) == QDialog::Accepted) {
        Edit3->setText(QString::fromStdString(FormatGeneral(c.Convergence, 8)));
        // The hands go to the value just kept, where Enter saves it, rather than to a button
        // that Enter would press again.
        Edit3->setFocus(Qt::OtherFocusReason);
    }
}

void TDeclinaisonDefaut::Label4Click()
{
    OuvreAdresse(QStringLiteral("http://www.ngdc.noaa.gov/seg/geomag/jsp/Declination.jsp"));
}

// ---- meridian convergence ----

TConvergence::TConvergence(const std::string& repProgramme, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Convergence"));
    setProperty("HelpContext", 50);
    setWindowTitle(QStringLiteral("Convergence des méridiens"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    Nom_projection = new QComboBox(this);
    Nom_projection->setObjectName(QStringLiteral("Nom_projection"));
    X_origine = EditionReel("X_origine", QStringLiteral("0"), this);
    Y_origine = EditionReel("Y_origine", QStringLiteral("0"), this);
    X_centre = EditionReel("X_centre", QString(), this);
    Y_centre = EditionReel("Y_centre", QString(), this);
    Calculer = NouveauBouton(QStringLiteral("&Calculer ..."), "Calculer", this);
    Calculer->setDefault(true);
    Button1 = NouveauBouton(QStringLiteral("&Annuler"), "Button1", this);
    connect(Calculer, &QPushButton::clicked, this, [this] { CalculerClick(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    auto* forme = new QFormLayout;
    Ligne(forme, QStringLiteral("&Projection"), Nom_projection);
    Ligne(forme, QStringLiteral("&X /km"), X_origine);
    Ligne(forme, QStringLiteral("&Y /km"), Y_origine);
    auto* centre = new QHBoxLayout;
    centre->addWidget(X_centre);
    centre->addWidget(Y_centre);
    auto* libelleCentre = new QLabel(QStringLiteral("C&entre du massif"), this);
    libelleCentre->setBuddy(X_centre);
    forme->addRow(libelleCentre, centre);
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(forme);
    colonne->addLayout(LigneBoutons({Calculer, Button1}));

    // The list of the installation: one projection per line, its name, a TAB, then X and
    // Y of its origin in km separated by a TAB. Optional.
    const std::string liste = repProgramme + "projection.txt";
    std::error_code absent;
    if (std::filesystem::exists(liste, absent)) {
        try {
            // A name and two numbers a line, a few dozen lines: ten thousand lines of a
            // thousand bytes each are far beyond what such a list holds.
            for (const std::string& ligne : FichierTexteLecture(liste, 1000).Lignes(10000)) {
                // A blank line names no projection: it would be an empty choice.
                if (ligne.find_first_not_of(" \t") == std::string::npos)
                    continue;
                const std::size_t tab = ligne.find('\t');
                Nom_projection->addItem(QString::fromStdString(
                    ExterieurEnUtf8(tab == std::string::npos ? std::string() : ligne.substr(0, tab))));
                Lignes.push_back(tab == std::string::npos ? ligne : ligne.substr(tab + 1));
            }
        } catch (const ErreurFlux& e) {
            Invite().Erreur(e);
        }
    }
    Nom_projection->addItem(QStringLiteral("Autre"));
    Nom_projection->setCurrentIndex(Nom_projection->count() - 1);
    connect(Nom_projection, &QComboBox::currentIndexChanged, this, [this] { Nom_projectionChange(); });
}

void TConvergence::Nom_projectionChange()
{
    const int i = Nom_projection->currentIndex();
    const bool autre = i < 0 || i >= static_cast<int>(Lignes.size());
    X_origine->setEnabled(autre);
    Y_origine->setEnabled(autre);
    if (autre)
        return;
    const std::string& l = Lignes[static_cast<std::size_t>(i)];
    const std::size_t tab = l.find('\t');
    X_origine->setText(DepuisCp1252(tab == std::string::npos ? std::string() : l.substr(0, tab)));
    Y_origine->setText(DepuisCp1252(tab == std::string::npos ? l : l.substr(tab + 1)));
}

void TConvergence::CalculerClick()
{
    long double valeurs[4] = {};
    QLineEdit* editions[4] = {X_centre, Y_centre, X_origine, Y_origine};
    for (int i = 0; i < 4; ++i)
        if (!LitReelSaisi(VersCp1252(editions[i]->text()), valeurs[i])) {
            editions[i]->setFocus();
            Invite().Message(QStringLiteral("Les coordonnées doivent être numériques. Exemple 880.236"), Icone::Aucune,
                             {Bouton::OK});
            return;
        }
    const long double dx = valeurs[0] - valeurs[2], dy = valeurs[1] - valeurs[3];
    // The angle is not defined for a centre level with the origin.
    if (dy == 0) {
        Y_centre->setFocus();
        Invite().Message(
            QStringLiteral(
                "Le centre du massif et l'origine ont le même Y : la convergence ne peut pas être calculée."),
            Icone::Aucune, {Bouton::OK});
        return;
    }
    Convergence = static_cast<double>(RadiansEnDegres(std::atan(-dx / dy)));
    const QString question = QStringLiteral("La convergence est de ") +
                             QString::fromStdString(FormatF(Convergence, 2)) + QStringLiteral(" °.\r\nConserver ?");
    if (Invite().Message(question, Icone::Confirmation, {Bouton::Oui, Bouton::Non}) == Bouton::Oui)
        accept();
}

// ---- commands ----

namespace {

void Modifie(TMassif& massif, SuiteChangement* suite, Recalcul calcul)
{
    SuiteChangement marqueSeulement;
    (suite ? *suite : marqueSeulement).MassifModifie(&massif, calcul, false);
}

}  // namespace

bool EditeReferences(TMassif& massif, QWidget* parent, SuiteChangement* suite)
{
    TReference d(parent);
    d.Remplit(massif);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    std::vector<TPointTopo> avant;
    for (const auto& p : massif.References)
        avant.emplace_back().Copie(*p);
    d.Lit(massif);
    // Points confirmed as they were leave the massif as it was.
    auto meme = [](const TPointTopo& a, const TPointTopo& b) {
        return a.Terminus == b.Terminus && a.Nom.Chaine() == b.Nom.Chaine() && a.Indice == b.Indice && a.X == b.X &&
               a.Y == b.Y && a.Z == b.Z;
    };
    if (std::equal(avant.begin(), avant.end(), massif.References.begin(), massif.References.end(),
                   [&](const TPointTopo& a, const auto& b) { return meme(a, *b); }))
        return false;
    // Without sheets there is nothing to compute: only a running computation starts again.
    Modifie(massif, suite, massif.Fiches.empty() ? Recalcul::SiEnCours : Recalcul::Automatique);
    return true;
}

bool EditeDeclinaisons(TMassif& massif, const std::string& repProgramme, QWidget* parent, SuiteChangement* suite)
{
    TDeclinaisonDefaut d(repProgramme, parent);
    d.Remplit(massif);
    if (ExecuteModal(d) != QDialog::Accepted)
        return false;
    const Reel6 origine = massif.Origine_Declinaison, variation = massif.Variation_Declinaison,
                angle = massif.Angle_Geodesique;
    const TexteDate date = massif.Date_Declinaison;
    d.Lit(massif);
    if (d.GeodesiqueModifie)
        for (TFiche* f : massif.Fiches)
            if (f)
                f->Calcule(massif.Angle_Geodesique);
    // Values confirmed as they were leave the massif as it was.
    if (massif.Origine_Declinaison == origine && massif.Variation_Declinaison == variation &&
        massif.Angle_Geodesique == angle && massif.Date_Declinaison == date)
        return false;
    Modifie(massif, suite, Recalcul::Automatique);
    return true;
}

}  // namespace karst
