#include "dialogs/dialogues_saisie.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "dialogs/hors_cp1252.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

QStringList LignesMemo(const QPlainTextEdit* memo)
{
    const QString t = memo->toPlainText();
    if (t.isEmpty())
        return {};
    QStringList l = t.split(QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        l.removeLast();
    return l;
}

// ---- gallery information ----

TInformations::TInformations(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Informations"));
    setWindowTitle(QStringLiteral("Informations"));
    auto* forme = new QFormLayout(this);
    Info = NouvelleEdition("Info", this);
    Deformation = NouvelleEdition("Deformation", this);
    Topofil = NouvelleEdition("Topofil", this);
    Deformation->setText(QStringLiteral("1"));
    Topofil->setText(QStringLiteral("1"));
    FiltreCles(Deformation, GenreNombre::Positif);
    FiltreCles(Topofil, GenreNombre::Positif);
    forme->addRow(QStringLiteral("&Informations sur la galerie"), Info);
    forme->addRow(QStringLiteral("Coefficient de &déformation"), Deformation);
    forme->addRow(QStringLiteral("Coefficient de correction du &Topofil"), Topofil);
    Button1 = NouveauBouton(QStringLiteral("Valider"), "Button1", this);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    Button1->setDefault(true);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Button1);
    boutons->addWidget(Button2);
    forme->addRow(boutons);
    connect(Button1, &QPushButton::clicked, this, &TInformations::OKBtnClick);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* e : {Info, Deformation, Topofil})
        connect(e, &QLineEdit::textChanged, this, [this] { Modifie = true; });
}

void TInformations::ChargeFiche(const TEco& commentaire, Reel6 coefficient, Reel6 coefTopofil)
{
    Info->setText(DepuisCp1252(commentaire.Chaine()));
    MontreSaisi(Deformation, coefficient, 3);
    MontreSaisi(Topofil, coefTopofil, 5);
}

void TInformations::EnregistreFiche(TEco& commentaire, Reel6& coefficient, Reel6& coefTopofil) const
{
    commentaire.Affecte(VersCp1252(Info->text()));
    long double v = 0;
    if (LitReelMontre(Deformation, v))
        coefficient = v;
    if (LitReelMontre(Topofil, v))
        coefTopofil = v;
}

int TInformations::Montre()
{
    Modifie = false;
    Info->setFocus();
    return ExecuteModal(*this);
}

void TInformations::OKBtnClick()
{
    long double v = 0;
    if (!LitReelStockable(VersCp1252(Deformation->text()), v) || v <= 0) {
        Invite().Avertissement(QStringLiteral("La déformation doit être numérique et positive\rexemple 2.5"));
        Deformation->setFocus();
        Deformation->selectAll();
        return;
    }
    if (!LitReelStockable(VersCp1252(Topofil->text()), v) || v <= 0) {
        Invite().Avertissement(
            QStringLiteral("La correction du Topofil doit être numérique et positive (et proche de 1)\rexemple 1.002"));
        Topofil->setFocus();
        Topofil->selectAll();
        return;
    }
    // A comment the file cannot hold whole is said before it is kept; "Non" stays in it.
    if (TexteARevoir({{QStringLiteral("Le commentaire de la galerie"), Info->text(), Info}},
                     QStringLiteral("Le garder ainsi ?")) >= 0)
        return;
    accept();
}

// ---- correction ----

TCorrection::TCorrection(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Correction"));
    setWindowTitle(QStringLiteral("Correction"));
    auto* colonne = new QVBoxLayout(this);
    AjouterA = new QLabel(QStringLiteral("Ajouter à"), this);
    Quantite = new QLabel(this);
    Quantite->setObjectName(QStringLiteral("Quantite"));
    AjouterA->setAlignment(Qt::AlignHCenter);
    Quantite->setAlignment(Qt::AlignHCenter);
    Edit1 = NouvelleEdition("Edit1", this);
    FiltreCles(Edit1);
    LaSelection = new QCheckBox(QStringLiteral("Visées sélectionnées"), this);
    LaSelection->setObjectName(QStringLiteral("LaSelection"));
    Button1 = NouveauBouton(QStringLiteral("Corriger"), "Button1", this);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    Button1->setDefault(true);
    colonne->addWidget(AjouterA);
    colonne->addWidget(Quantite);
    colonne->addWidget(Edit1);
    colonne->addWidget(LaSelection);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Button1);
    boutons->addWidget(Button2);
    colonne->addLayout(boutons);
    connect(Button1, &QPushButton::clicked, this, &TCorrection::OKBtnClick);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TCorrection::FormActivate()
{
    LaSelection->setChecked(!SansSelection);
    LaSelection->setEnabled(!SansSelection);
    static const char* const quantites[] = {"la longueur", "l' azimut", "la pente"};
    Quantite->setText(Quoi >= 1 && Quoi <= 3 ? QString::fromUtf8(quantites[Quoi - 1]) : QString());
}

int TCorrection::Montre()
{
    FormActivate();
    Edit1->setFocus();
    return ExecuteModal(*this);
}

void TCorrection::OKBtnClick()
{
    SansSelection = !LaSelection->isChecked();
    long double v = 0;
    if (!LitReelStockable(VersCp1252(Edit1->text()), v)) {
        Invite().Avertissement(QStringLiteral("Valeur incorrecte\rexemple 2.53"));
        Edit1->setFocus();
        Edit1->selectAll();
        return;
    }
    accept();
}

// ---- spreadsheet columns ----

TImportationExcel::TImportationExcel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportationExcel"));
    setWindowTitle(QStringLiteral("Importation Tableur"));
    auto* colonne = new QVBoxLayout(this);
    auto* libelle = new QLabel(QStringLiteral("&Liste des colonnes à ignorer"), this);
    Colonnes = new QPlainTextEdit(this);
    Colonnes->setObjectName(QStringLiteral("Colonnes"));
    // Tab goes on to "Importer", as from any field: a field number holds no tab.
    Colonnes->setTabChangesFocus(true);
    libelle->setBuddy(Colonnes);
    Button1 = NouveauBouton(QStringLiteral("Importer"), "Button1", this);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    Button1->setDefault(true);
    colonne->addWidget(libelle);
    colonne->addWidget(Colonnes);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Button1);
    boutons->addWidget(Button2);
    colonne->addLayout(boutons);
    connect(Button1, &QPushButton::clicked, this, &TImportationExcel::OKBtnClick);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TImportationExcel::OKBtnClick()
{
    long long n = 0;
    for (const QString& l : LignesMemo(Colonnes))
        if (!LitEntier(VersCp1252(l), n)) {
            Invite().Avertissement(QStringLiteral("Numéro de colonne incorrecte\rexemple 5"));
            Colonnes->setFocus();
            return;
        }
    accept();
}

std::vector<int> TImportationExcel::Ignores() const
{
    std::vector<int> r;
    long long n = 0;
    for (const QString& l : LignesMemo(Colonnes))
        if (LitEntier(VersCp1252(l), n))
            r.push_back(static_cast<int>(n));
    return r;
}

// ---- surveyor picker ----

TExplorateur::TExplorateur(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Explorateur"));
    setWindowTitle(QStringLiteral("Topographes"));
    auto* grille = new QGridLayout(this);
    auto liste = [this](const char* nom) {
        auto* l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(nom));
        l->setSortingEnabled(true);
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return l;
    };
    SrcList = liste("SrcList");
    DstList = liste("DstList");
    BoutonsTransfert(*this);
    Button1 = NouveauBouton(QStringLiteral("Enregistrer"), "Button1", this);
    Button2 = NouveauBouton(QStringLiteral("Annuler"), "Button2", this);
    Button3 = NouveauBouton(QStringLiteral("&Modifier ..."), "Button3", this);
    Button1->setDefault(true);
    auto* src = new QLabel(QStringLiteral("Liste &source"), this);
    auto* dst = new QLabel(QStringLiteral("Liste &retenue"), this);
    src->setBuddy(SrcList);
    dst->setBuddy(DstList);
    grille->addWidget(src, 0, 0);
    grille->addWidget(dst, 0, 2);
    grille->addWidget(SrcList, 1, 0, 4, 1);
    grille->addWidget(IncludeBtn, 1, 1);
    grille->addWidget(IncAllBtn, 2, 1);
    grille->addWidget(ExcludeBtn, 3, 1);
    grille->addWidget(ExAllBtn, 4, 1);
    grille->addWidget(DstList, 1, 2, 4, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Button3);
    boutons->addStretch();
    boutons->addWidget(Button1);
    boutons->addWidget(Button2);
    grille->addLayout(boutons, 6, 0, 1, 3);
    Vide =
        new QLabel(QStringLiteral("La liste des topographes est vide : « Modifier ... » permet de la remplir."), this);
    Vide->setObjectName(QStringLiteral("Vide"));
    Vide->setWordWrap(true);
    Vide->hide();
    grille->addWidget(Vide, 5, 0, 1, 3);
    connect(IncludeBtn, &QPushButton::clicked, this, &TExplorateur::IncludeBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TExplorateur::ExcludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TExplorateur::IncAllBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TExplorateur::ExcAllBtnClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TExplorateur::Button3Click);
    SetButtons();
}

void TExplorateur::MoveSelected(QListWidget* source, QListWidget* destination)
{
    int premier = -1;
    for (int i = source->count() - 1; i >= 0; --i)
        if (source->item(i)->isSelected()) {
            premier = i;
            destination->addItem(source->takeItem(i));
        }
    destination->clearSelection();
    source->clearSelection();
    if (source->count() > 0) {
        const int i = std::min(std::max(premier, 0), source->count() - 1);
        source->setCurrentRow(i);
        source->item(i)->setSelected(true);
    }
    SetButtons();
}

void TExplorateur::IncludeBtnClick() { MoveSelected(SrcList, DstList); }
void TExplorateur::ExcludeBtnClick() { MoveSelected(DstList, SrcList); }

void TExplorateur::IncAllBtnClick()
{
    SrcList->selectAll();
    MoveSelected(SrcList, DstList);
}

void TExplorateur::ExcAllBtnClick()
{
    DstList->selectAll();
    MoveSelected(DstList, SrcList);
}

void TExplorateur::SetButtons()
{
    ActiveTransferts(*this);
    Vide->setHidden(SrcList->count() > 0 || DstList->count() > 0);
}

void TExplorateur::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    SetButtons();
}

void TExplorateur::Button3Click()
{
    // A missing list is made, empty, for the user to fill in.
    const QString nom = QString::fromLocal8Bit(Fichier.c_str());
    std::error_code e;
    if (!std::filesystem::exists(Fichier, e)) {
        try {
            EcritFichierEntier(Fichier, std::string());
        } catch (const ErreurFlux&) {
            Invite().Avertissement(QStringLiteral("Impossible de créer la liste des topographes %1.").arg(nom));
            return;
        }
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(nom)))
        Invite().Avertissement(
            QStringLiteral("Aucun éditeur de texte n'a pu ouvrir la liste des topographes %1.").arg(nom));
}

// ---- column fitting ----

void AjusteColonne(QTableWidget* grille, int colonne, int premiere)
{
    const QFontMetrics m(grille->font());
    int largeur = 0;
    for (int r = premiere; r < grille->rowCount(); ++r)
        if (const QTableWidgetItem* i = grille->item(r, colonne))
            largeur = std::max(largeur, m.horizontalAdvance(i->text()));
    // The 4 pixels of room are beyond the margins the grid draws its texts within.
    largeur += 4 + 2 * (grille->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grille) + 1);
    // Narrow columns are allowed: the header would otherwise widen them.
    QHeaderView* entete = grille->horizontalHeader();
    entete->setMinimumSectionSize(std::min(entete->minimumSectionSize(), largeur));
    grille->setColumnWidth(colonne, largeur);
}

}  // namespace karst
