// The editor's window, its grid and the loading of a sheet into it.

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableWidget>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <QtMath>
#include <functional>
#include <utility>

#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

const QString kDepart = QString::fromLatin1(FeuilleSaisie::kDepart);

// +1 for Tab, -1 for Shift+Tab, 0 for any other key.
int PasTabulation(const QKeyEvent& e)
{
    if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return 0;
    if (e.key() == Qt::Key_Backtab || (e.key() == Qt::Key_Tab && (e.modifiers() & Qt::ShiftModifier)))
        return -1;
    return e.key() == Qt::Key_Tab ? 1 : 0;
}

// A digit, a sign or a decimal separator: what begins a number, never a unit.
bool DebutNombre(const QKeyEvent& e)
{
    if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier) || e.text().size() != 1)
        return false;
    const QChar c = e.text()[0];
    return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.') ||
           c == QLatin1Char(',');
}

// Shift with a move of the cursor: the block grows or shrinks.
bool EtendBloc(const QKeyEvent& e)
{
    const int k = e.key();
    return e.modifiers().testFlag(Qt::ShiftModifier) &&
           (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Home ||
            k == Qt::Key_End || k == Qt::Key_PageUp || k == Qt::Key_PageDown);
}

// Lines or fields are no cell's text: pasted in a cell being typed, they go to the grid.
bool TexteDeGrille(const QString& t)
{
    return t.contains(QLatin1Char('\t')) || t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r'));
}

// The unit list takes only what begins one of its units: a digit meant for the next cell
// never becomes a unit. A whole unit is known as the paste and the sheet check know it.
class ValideUnite : public QValidator {
public:
    // `type` gives the type of the column the list serves.
    ValideUnite(std::function<int()> type, QObject* parent) : QValidator(parent), type_(std::move(type)) {}
    State validate(QString& texte, int&) const override
    {
        if (texte.isEmpty())
            return Intermediate;
        const int type = type_();
        if (FeuilleSaisie::UniteDeTexte(type, texte.toStdString()))
            return Acceptable;
        for (const QString& u : TMultPageDlg::TexteUnites(type))
            if (u.startsWith(texte, Qt::CaseInsensitive))
                return Intermediate;
        return Invalid;
    }

private:
    std::function<int()> type_;
};

// The unit list's text: the combo box hands it the keys, the editor judges them first.
class LigneUnite : public QLineEdit {
public:
    explicit LigneUnite(TMultPageDlg* editeur) : editeur_(editeur) {}

protected:
    // The list stands for its cell: its menu is the grid's.
    void contextMenuEvent(QContextMenuEvent* e) override { editeur_->MenuGrille(e->globalPos()); }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (editeur_->UniteKeyPress(*e))
            e->accept();
        else
            QLineEdit::keyPressEvent(e);
    }

private:
    TMultPageDlg* editeur_;
};

}  // namespace

// Enter in a cell editor commits the cell and moves on as Enter in the grid does. The open
// editor is known, so that a command can commit it first.
class DelegueSaisie : public QStyledItemDelegate {
public:
    DelegueSaisie(TMultPageDlg* editeur, QObject* parent) : QStyledItemDelegate(parent), editeur_(editeur) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& o, const QModelIndex& i) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, o, i);
        ouvert_ = w;
        return w;
    }
    void destroyEditor(QWidget* w, const QModelIndex& i) const override
    {
        // An editor the view closed by itself is no longer the open one.
        if (ouvert_ == w)
            ouvert_ = nullptr;
        avant_.clear();
        QStyledItemDelegate::destroyEditor(w, i);
    }
    void setModelData(QWidget* w, QAbstractItemModel* modele, const QModelIndex& i) const override
    {
        const QString avant = i.data(Qt::EditRole).toString();
        QStyledItemDelegate::setModelData(w, modele, i);
        const QString apres = i.data(Qt::EditRole).toString();
        editeur_->FixeCellule(i.row() + 1, i.column() + 1, apres);
        if (apres != avant)
            editeur_->TableauViseeSetEditText(i.row() + 1, i.column() + 1);
    }
    // Cells the key that opens the next editor empties first, as they are now: Escape in that
    // editor puts them back, with the sheet's changed flag.
    void RetientAvant(const QRect& cellules, bool modifie)
    {
        avant_.clear();
        for (int r = cellules.top(); r <= cellules.bottom(); ++r)
            for (int c = cellules.left(); c <= cellules.right(); ++c)
                avant_.push_back({r, c, editeur_->Cellule(r, c)});
        modifieAvant_ = modifie;
    }
    // Puts back the cells the last key emptied; false when there is nothing to put back.
    bool RendAvant()
    {
        if (avant_.empty())
            return false;
        for (const Avant& a : std::exchange(avant_, {}))
            editeur_->FixeCellule(a.ligne, a.colonne, a.texte);
        editeur_->Modifie = modifieAvant_;
        return true;
    }
    void OublieAvant() { avant_.clear(); }
    bool Ouvert() const { return ouvert_; }
    QWidget* Editeur() const { return ouvert_; }
    // Writes and closes the open editor.
    void Termine()
    {
        if (QWidget* w = ouvert_) {
            ouvert_ = nullptr;
            emit commitData(w);
            emit closeEditor(w, QAbstractItemDelegate::NoHint);
        }
    }

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                Termine();
                QTimer::singleShot(0, editeur_, [e = editeur_] { e->TableauViseeEntree(); });
                return true;
            }
            if (k == Qt::Key_Escape && !avant_.empty()) {
                const std::vector<Avant> avant = std::move(avant_);
                const bool traite = QStyledItemDelegate::eventFilter(objet, e);
                avant_ = avant;  // the editor closed has forgotten them
                RendAvant();
                return traite;
            }
            if (static_cast<QKeyEvent*>(e)->matches(QKeySequence::Paste) && colleDansGrille())
                return true;
            // Tab leaves the cell for the next one, as the arrows do in the grid, whatever
            // that cell is: the view's own step would open a text editor on a unit column.
            if (const int pas = PasTabulation(*static_cast<QKeyEvent*>(e))) {
                Termine();
                editeur_->DeplaceCellule(editeur_->Ligne(), editeur_->Colonne(), pas);
                return true;
            }
        }
        // The middle button pastes the selection: lines go to the grid as the clipboard's do.
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton &&
            qobject_cast<QLineEdit*>(objet) && colleDansGrille(QClipboard::Selection))
            return true;
        // The editor's own menu pastes as its Ctrl+V does.
        if (e->type() == QEvent::ContextMenu)
            if (auto* ligne = qobject_cast<QLineEdit*>(objet)) {
                QMenu* menu = ligne->createStandardContextMenu();
                // The paste item is the one that calls the editor's paste, by name or not.
                for (QAction* a : menu->actions())
                    if (disconnect(a, &QAction::triggered, ligne, &QLineEdit::paste) ||
                        disconnect(a, SIGNAL(triggered(bool)), ligne, SLOT(paste()))) {
                        a->setObjectName(QStringLiteral("edit-paste"));
                        connect(a, &QAction::triggered, ligne, [this, ligne] {
                            if (!colleDansGrille())
                                ligne->paste();
                        });
                    }
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(static_cast<QContextMenuEvent*>(e)->globalPos());
                return true;
            }
        return QStyledItemDelegate::eventFilter(objet, e);
    }

private:
    // Lines or fields pasted are no cell's text: the cell is written, and the paste goes to
    // the grid from there. False for a text that belongs in the cell.
    bool colleDansGrille(QClipboard::Mode mode = QClipboard::Clipboard)
    {
        const QString colle = QApplication::clipboard()->text(mode);
        if (!TexteDeGrille(colle))
            return false;
        Termine();
        editeur_->ColleTexte(colle);
        return true;
    }

    struct Avant {
        int ligne, colonne;
        QString texte;
    };
    TMultPageDlg* editeur_;
    mutable QPointer<QWidget> ouvert_;
    mutable std::vector<Avant> avant_;
    bool modifieAvant_ = false;
};

namespace {

// The grid asks the editor whether a cell may be typed in, whatever moved the cursor there.
class GrilleSaisie : public QTableWidget {
public:
    // `etend` tells, while the grid handles a key or the mouse, that the cursor moves to
    // extend the block rather than to a cell of its own.
    GrilleSaisie(TMultPageDlg* editeur, bool& etend, QWidget* parent)
        : QTableWidget(parent), editeur_(editeur), etend_(etend)
    {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const QScopedValueRollback garde(etend_, e->modifiers().testFlag(Qt::ShiftModifier));
        QTableWidget::keyPressEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QScopedValueRollback garde(etend_, e->modifiers().testFlag(Qt::ShiftModifier));
        QTableWidget::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QScopedValueRollback garde(etend_, e->buttons().testFlag(Qt::LeftButton));
        QTableWidget::mouseMoveEvent(e);
    }
    bool edit(const QModelIndex& i, EditTrigger declencheur, QEvent* e) override
    {
        if (i.isValid() && declencheur != NoEditTriggers &&
            !editeur_->CelluleEditable(i.row() + 1, i.column() + 1,
                                       declencheur == DoubleClicked || declencheur == SelectedClicked))
            return false;
        return QTableWidget::edit(i, declencheur, e);
    }
    // A key typed where no editor may open does not move the cursor to a matching cell.
    void keyboardSearch(const QString&) override {}

private:
    TMultPageDlg* editeur_;
    bool& etend_;
};

}  // namespace

// ---- window ----

TMultPageDlg::TMultPageDlg(TPreference_Ecran* preferences, IHoteSaisie* hote, QWidget* parent)
    : QDialog(parent), Preferences(preferences), hote_(hote ? hote : &sansHote_)
{
    setObjectName(QStringLiteral("MultPageDlg"));
    setWindowTitle(QStringLiteral("Fiche topographique"));
    QFont police(QStringLiteral("Arial"));
    police.setPixelSize(12);
    police.setBold(true);
    setFont(police);
    resize(500, 447);

    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(4, 4, 4, 4);
    Menus = new QMenuBar(this);
    colonne->setMenuBar(Menus);
    Notebook = new QStackedWidget(this);
    Notebook->setObjectName(QStringLiteral("Notebook"));
    colonne->addWidget(Notebook, 1);
    TabSet = new QTabBar(this);
    TabSet->setObjectName(QStringLiteral("TabSet"));
    TabSet->setShape(QTabBar::RoundedSouth);
    colonne->addWidget(TabSet);

    // Shots page.
    GroupBox1 = new QGroupBox(Notebook);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* page0 = new QVBoxLayout(GroupBox1);
    TableauVisee = new GrilleSaisie(this, etendBloc_, GroupBox1);
    TableauVisee->setObjectName(QStringLiteral("TableauVisee"));
    // The title row and the row markers are Qt's headers: they stay in place while the
    // grid scrolls. Grid row r and column c are Qt's row r - 1 and column c - 1.
    QHeaderView* titres = TableauVisee->horizontalHeader();
    QHeaderView* marques = TableauVisee->verticalHeader();
    marques->setMinimumSectionSize(1);
    marques->setDefaultSectionSize(17);
    marques->setSectionResizeMode(QHeaderView::Fixed);
    marques->setFixedWidth(30);
    // The layout's widths hold as they are, even below the header's usual minimum; the user
    // drags a title's border to change one.
    titres->setMinimumSectionSize(1);
    titres->setSectionResizeMode(QHeaderView::Interactive);
    titres->setSectionsClickable(false);
    titres->setHighlightSections(false);
    TableauVisee->setCornerButtonEnabled(false);
    // A narrow column cuts its texts rather than ending them with an ellipsis.
    TableauVisee->setTextElideMode(Qt::ElideNone);
    titres->setTextElideMode(Qt::ElideNone);
    TableauVisee->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // A click on the current cell opens no editor late: the keys typed meanwhile would be lost,
    // and the editor would then take what follows after the old text.
    TableauVisee->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    delegue_ = new DelegueSaisie(this, TableauVisee);
    TableauVisee->setItemDelegate(delegue_);
    TableauVisee->setContextMenuPolicy(Qt::CustomContextMenu);
    page0->addWidget(TableauVisee);
    Unite = new QComboBox(TableauVisee->viewport());
    Unite->setObjectName(QStringLiteral("Unite"));
    Unite->setEditable(true);
    Unite->setLineEdit(new LigneUnite(this));
    Unite->setInsertPolicy(QComboBox::NoInsert);
    Unite->setValidator(new ValideUnite([this] { return TypeColonne(uniteColonne_); }, Unite));
    Unite->hide();
    Notebook->addWidget(GroupBox1);

    construitInformations();
    TabSet->addTab(QStringLiteral("&Visées"));
    TabSet->addTab(QStringLiteral("Inf&ormations"));

    Informations = new TInformations(this);
    construitMenus();

    connect(TabSet, &QTabBar::currentChanged, this, [this] { TabSetClick(); });
    connect(TableauVisee, &QTableWidget::currentCellChanged, this, [this] { TableauViseeClick(); });
    connect(TableauVisee, &QTableWidget::cellDoubleClicked, this, [this] { TableauViseeDblClick(); });
    // A click on the cell already current does what a click on any other cell does.
    connect(TableauVisee, &QTableWidget::cellClicked, this, [this] {
        if (std::exchange(clicSurCourante_, false))
            TableauViseeClick();
    });
    connect(TableauVisee, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { MenuGrille(TableauVisee->viewport()->mapToGlobal(p)); });
    // The press has moved the cursor already: its row is the one the commands take.
    connect(TableauVisee, &QTableWidget::cellPressed, this, [this](int r, int c) {
        ColonneSouris = c + 1;
        lignePression_ = r + 1;
        pression_ = false;
        agrandit();
    });
    // A press on a row marker starts a range of whole rows, which the header extends.
    connect(marques, &QHeaderView::sectionPressed, this, [this](int r) {
        LigneAncre = lignePression_ = r + 1;
        ColonneSouris = 0;
        GlisseLignes = QApplication::mouseButtons() & Qt::LeftButton;
        pression_ = false;
        agrandit();
    });
    connect(titres, &QHeaderView::sectionDoubleClicked, this, [this](int c) {
        lignePression_ = 0;
        ColonneSouris = c + 1;
        TableauViseeDblClick();
    });
    marques->viewport()->installEventFilter(this);
    TableauVisee->viewport()->installEventFilter(this);
    TableauVisee->installEventFilter(this);
    Unite->installEventFilter(this);
    // A unit chosen from the list after a '-' is the unit chosen.
    connect(Unite, &QComboBox::activated, this, [this] { signeEnAttente_ = false; });
    // The list stays over its cell when the grid scrolls.
    for (QScrollBar* b : {TableauVisee->horizontalScrollBar(), TableauVisee->verticalScrollBar()})
        connect(b, &QScrollBar::valueChanged, this, [this] {
            if (Unite->isVisible())
                Unite->move(RectCellule(uniteLigne_, uniteColonne_).topLeft());
        });

    ConstruitGrille(Preferences);
    Efface();
}

TMultPageDlg::~TMultPageDlg() = default;

void TMultPageDlg::construitInformations()
{
    GroupBox2 = new QGroupBox(Notebook);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto* forme = new QFormLayout(GroupBox2);
    auto edition = [this](const char* nom) {
        auto* e = new QLineEdit(GroupBox2);
        e->setObjectName(QString::fromLatin1(nom));
        connect(e, &QLineEdit::textChanged, this, [this] { Modifie = true; });
        return e;
    };
    Systeme = edition("Systeme");
    Cavite = edition("Cavite");
    Reseau = edition("Reseau");
    Lieu = edition("Lieu");
    Date = edition("Date");
    // Digits may be left out: a blank stands for each.
    AccepteAnneeLongue(Date);
    Premiere = edition("Premiere");
    TPST = edition("TPST");
    Declinaison = edition("Declinaison");
    FiltreCles(Declinaison);
    FiltreCles(Premiere);
    UniteDecli = new QComboBox(GroupBox2);
    UniteDecli->setObjectName(QStringLiteral("UniteDecli"));
    UniteDecli->setEditable(true);
    UniteDecli->setInsertPolicy(QComboBox::NoInsert);
    UniteDecli->addItems(LibellesUnites(kUnitesDeclinaison));
    // Room for "gr" beside the cursor whatever the font; the box never shrinks below it.
    UniteDecli->setMinimumContentsLength(3);
    UniteDecli->setSizePolicy(QSizePolicy::Fixed, UniteDecli->sizePolicy().verticalPolicy());
    connect(UniteDecli, &QComboBox::currentTextChanged, this, [this] { Modifie = true; });
    Button8 = new QPushButton(QStringLiteral("&Automatique"), GroupBox2);
    Button8->setObjectName(QStringLiteral("Button8"));
    Topographe = new QPlainTextEdit(GroupBox2);
    Topographe->setObjectName(QStringLiteral("Topographe"));
    Topographe->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // One surveyor a line: Tab goes on to the next field, as everywhere in the form.
    Topographe->setTabChangesFocus(true);
    connect(Topographe, &QPlainTextEdit::textChanged, this, [this] { Modifie = true; });
    Liste = new QPushButton(QStringLiteral("&Liste"), GroupBox2);
    Liste->setObjectName(QStringLiteral("Liste"));

    forme->addRow(QStringLiteral("S&ystème"), Systeme);
    forme->addRow(QStringLiteral("&Cavité"), Cavite);
    forme->addRow(QStringLiteral("&Réseau"), Reseau);
    forme->addRow(QStringLiteral("L&ieu"), Lieu);
    forme->addRow(QStringLiteral("&Date"), Date);
    forme->addRow(QStringLiteral("Pre&mière (m)"), Premiere);
    forme->addRow(QStringLiteral("T.P.&S.T."), TPST);
    auto* decli = new QHBoxLayout;
    decli->addWidget(Declinaison);
    decli->addWidget(new QLabel(QStringLiteral("Unité"), GroupBox2));
    decli->addWidget(UniteDecli);
    decli->addWidget(Button8);
    auto* libelleDecli = new QLabel(QStringLiteral("Décli&naison"), GroupBox2);
    libelleDecli->setBuddy(Declinaison);
    forme->addRow(libelleDecli, decli);
    auto* topographes = new QHBoxLayout;
    topographes->addWidget(Topographe, 1);
    topographes->addWidget(Liste, 0, Qt::AlignTop);
    auto* libelleTopographes = new QLabel(QStringLiteral("Topo&graphes"), GroupBox2);
    libelleTopographes->setBuddy(Topographe);
    forme->addRow(libelleTopographes, topographes);
    Notebook->addWidget(GroupBox2);

    // No button of the editor answers Enter: Enter moves from field to field.
    for (QPushButton* b : {Button8, Liste})
        b->setAutoDefault(false);
    connect(Button8, &QPushButton::clicked, this, &TMultPageDlg::Button8Click);
    connect(Liste, &QPushButton::clicked, this, &TMultPageDlg::ListeClick);
}

void TMultPageDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    CentreDansEcran(*this);
    // The keys go at once to the first field of the page shown.
    if (TabSet->currentIndex() == 1)
        Systeme->setFocus();
    else
        TableauVisee->setFocus();
}

void TMultPageDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter left by a field of the information page moves on to the next one, as it does in
    // the grid: it never presses a button.
    const int k = e->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter) && GroupBox2->isAncestorOf(focusWidget())) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TMultPageDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (Unite->isVisible())
        UniteExit();
}

// ---- cells ----

QString TMultPageDlg::Cellule(int ligne, int colonne) const
{
    return QString::fromStdString(Feuille.Texte(ligne, colonne));
}

void TMultPageDlg::FixeCellule(int ligne, int colonne, const QString& texte)
{
    if (ligne < 0 || ligne >= NbLignes() || colonne < 0 || colonne >= NbColonnesGrille() ||
        (ligne == 0 && colonne == 0))
        return;
    Feuille.FixeTexte(ligne, colonne, texte.toStdString());
    const bool titre = ligne == 0;
    QTableWidgetItem* i = titre          ? TableauVisee->horizontalHeaderItem(colonne - 1)
                          : colonne == 0 ? TableauVisee->verticalHeaderItem(ligne - 1)
                                         : TableauVisee->item(ligne - 1, colonne - 1);
    if (!i) {
        i = new QTableWidgetItem;
        if (titre)
            TableauVisee->setHorizontalHeaderItem(colonne - 1, i);
        else if (colonne == 0)
            TableauVisee->setVerticalHeaderItem(ligne - 1, i);
        else
            TableauVisee->setItem(ligne - 1, colonne - 1, i);
    }
    const QString montre = Cellule(ligne, colonne);
    if (i->text() != montre)
        i->setText(montre);
}

void TMultPageDlg::montreLigne(int ligne)
{
    for (int c = 0; c < NbColonnesGrille(); ++c)
        FixeCellule(ligne, c, Cellule(ligne, c));
}

void TMultPageDlg::MontreFeuille()
{
    if (TableauVisee->columnCount() != NbColonnesGrille() - 1)
        TableauVisee->setColumnCount(NbColonnesGrille() - 1);
    if (TableauVisee->rowCount() != NbLignes() - 1)
        TableauVisee->setRowCount(NbLignes() - 1);
    for (int r = 0; r < NbLignes(); ++r)
        montreLigne(r);
}

int TMultPageDlg::NbLignes() const { return Feuille.NbLignes(); }
int TMultPageDlg::NbColonnesGrille() const { return Feuille.NbColonnes(); }

void TMultPageDlg::FixeNbLignes(int n)
{
    Feuille.FixeNbLignes(n);
    MontreFeuille();
}

void TMultPageDlg::RetireLigneGrille(int ligne)
{
    Feuille.RetireLigne(ligne);
    TableauVisee->removeRow(ligne - 1);
}

int TMultPageDlg::LargeurCellule(const QString& texte) const
{
    // The grid lays a cell's text out within its margins, the grid line taken off the cell,
    // and wraps it, ending the part shown with an ellipsis, as soon as its glyphs pass that
    // width by a fraction of a pixel: the width is the one at which the text lays out on one
    // line, not its rounded advance.
    const int marge =
        2 * (TableauVisee->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, TableauVisee) + 1) +
        (TableauVisee->showGrid() ? 1 : 0);
    const QFont police = TableauVisee->font();
    QTextOption options;
    options.setWrapMode(QTextOption::WordWrap);
    auto tient = [&](int largeur) {
        QTextLayout mise(texte, police);
        mise.setTextOption(options);
        mise.beginLayout();
        QTextLine ligne = mise.createLine();
        ligne.setLineWidth(largeur);
        const bool uneLigne = !mise.createLine().isValid() && ligne.naturalTextWidth() <= largeur;
        mise.endLayout();
        return uneLigne;
    };
    int largeur = qCeil(QFontMetricsF(police).horizontalAdvance(texte));
    for (int pas = 0; pas < 16 && !tient(largeur); ++pas)
        ++largeur;
    return largeur + marge;
}

int TMultPageDlg::LargeurColonne(int colonne) const
{
    return colonne == 0 ? TableauVisee->verticalHeader()->width() : TableauVisee->columnWidth(colonne - 1);
}

void TMultPageDlg::FixeLargeurColonne(int colonne, int largeur)
{
    if (colonne == 0)
        TableauVisee->verticalHeader()->setFixedWidth(largeur);
    else
        TableauVisee->setColumnWidth(colonne - 1, largeur);
}

void TMultPageDlg::poseLargeur(int colonne, int largeur)
{
    FixeLargeurColonne(colonne, largeur);
    if (colonne < 1)
        return;
    if (largeursPosees_.size() <= static_cast<std::size_t>(colonne))
        largeursPosees_.resize(static_cast<std::size_t>(colonne) + 1, -1);
    largeursPosees_[static_cast<std::size_t>(colonne)] = largeur;
}

int TMultPageDlg::Ligne() const { return std::max(TableauVisee->currentRow() + 1, 0); }
int TMultPageDlg::Colonne() const { return std::max(TableauVisee->currentColumn() + 1, 0); }

void TMultPageDlg::FixeCelluleCourante(int ligne, int colonne)
{
    // Only the user's moves run the click handling; the commands run it where they need it.
    // Column 0 is the row markers: the cursor goes to the first cell of the row.
    const QSignalBlocker bloque(TableauVisee);
    colonne = std::max(colonne, 1);
    if (ligne >= 1 && ligne < NbLignes() && colonne < NbColonnesGrille())
        TableauVisee->setCurrentCell(ligne - 1, colonne - 1);
}

QRect TMultPageDlg::SelectionGrille() const
{
    const auto plages = TableauVisee->selectedRanges();
    if (plages.isEmpty())
        return {Colonne(), Ligne(), 1, 1};
    QRect r;
    for (const QTableWidgetSelectionRange& p : plages)
        r |= QRect(p.leftColumn() + 1, p.topRow() + 1, p.columnCount(), p.rowCount());
    return r;
}

void TMultPageDlg::SelectionneLignes(int de, int a)
{
    TableauVisee->clearSelection();
    TableauVisee->setRangeSelected(
        QTableWidgetSelectionRange(std::min(de, a) - 1, 0, std::max(de, a) - 1, NbColonnesGrille() - 2), true);
}

BlocCellules TMultPageDlg::blocSelection() const
{
    const QRect sel = SelectionGrille();
    return {sel.top(), sel.left(), sel.bottom(), sel.right()};
}

// ---- building the grid ----

void TMultPageDlg::ConstruitGrille(TPreference_Ecran* preferences)
{
    const QSignalBlocker bloque(TableauVisee);
    Preferences = preferences;
    const int n = preferences ? preferences->NbColonnes : 0;
    TableauVisee->clear();
    Feuille.Construit(preferences);
    MontreFeuille();
    largeursPosees_.assign(static_cast<std::size_t>(n + 1), -1);
    FixeLargeurColonne(0, 30);
    // A column is at least as wide as its title and the units it may show, as the grid draws them.
    const QStyle* style = TableauVisee->style();
    const QFontMetrics policeTitres(TableauVisee->horizontalHeader()->font());
    const int margeTitre = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, TableauVisee);
    for (int c = 1; c <= n; ++c) {
        const auto& col = preferences->Colonnes[static_cast<std::size_t>(c)];
        const QString titre = Cellule(0, c);
        int largeur = std::max<int>(col.Largeur, policeTitres.horizontalAdvance(titre) + margeTitre);
        for (const QString& u : TexteUnites(col.Type))
            largeur = std::max(largeur, LargeurCellule(u));
        poseLargeur(c, largeur);
    }
    // A grid built anew shows its first columns, wherever the caver left the previous sheet.
    TableauVisee->horizontalScrollBar()->setValue(0);
    TableauVisee->verticalScrollBar()->setValue(0);
}

QStringList TMultPageDlg::TexteUnites(int type) { return LibellesUnites(TPreference_Ecran::UnitesColonne(type)); }

void TMultPageDlg::AjouteLigne()
{
    Feuille.AjouteLigne();
    TableauVisee->insertRow(NbLignes() - 2);
    montreLigne(NbLignes() - 1);
}

void TMultPageDlg::InsereStation(int ligne, const QString& marque, const QString& commentaire, const QString& station)
{
    Feuille.InsereStation(ligne, marque.toStdString(), commentaire.toStdString(), station.toStdString());
    TableauVisee->insertRow(ligne - 1);
    montreLigne(ligne);
}

void TMultPageDlg::AllerCellule(int ligne, int colonne)
{
    TabSet->setCurrentIndex(0);
    TableauVisee->setFocus();
    FixeCelluleCourante(ligne, colonne);
    if (ligne >= 1 && ligne < NbLignes())
        TableauVisee->scrollTo(IndexCellule(ligne, std::max(colonne, 1)), QAbstractItemView::PositionAtTop);
}

void TMultPageDlg::EffaceGaleries()
{
    PremierDepart.reset();
    PremierCommentaire.reset();
    PointFinal.reset();
    FinSurPoint = false;
    Premiere->setText(QStringLiteral("0"));
    Noeuds.clear();
    Noeuds.reserve(5);
}

void TMultPageDlg::Efface()
{
    EffaceGaleries();
    for (QLineEdit* e : {Systeme, Cavite, Reseau, Lieu, Declinaison, TPST})
        e->clear();
    UniteDecli->setEditText({});
    UniteDecli->setCurrentIndex(-1);
    Date->setText(QStringLiteral("  /  /  "));
    Topographe->clear();
}

// ---- opening a sheet ----

void TMultPageDlg::OuvreFiche(TFiche* fiche, TMassif* massif, int16_t galerie, TPreference_Ecran* preferences)
{
    const QSignalBlocker bloque(TableauVisee);
    Fiche = fiche;
    Massif = massif;
    Preferences = preferences;
    dispositionGardee_.reset();
    const std::vector<PartieMelee> melees =
        fiche && preferences ? PartiesMelees(*fiche, *preferences) : std::vector<PartieMelee>();
    if (melees.empty())
        ConstruitGrille(preferences);
    else
        gardeDeuxColonnes(melees);
    EditionFiche = fiche != nullptr;
    if (!fiche) {
        NouvelleFiche = true;
        PremierDepart = std::make_unique<TPointTopo>();
        PremierDepart->Terminus = true;
        PremierCommentaire = std::make_unique<TEco>();
        InsereStation(1, kDepart, {}, QStringLiteral("Terminus"));
        PremierCoefTopofil = 1.0L;
        PremierCoefficient = 1.0L;
        PremiereCouleur = 0;
        FinSurPoint = false;
        if (TabSet->currentIndex() == 1)
            TabSetClick();
        else
            TabSet->setCurrentIndex(1);
    } else {
        ChargeFiche(galerie);
    }
    Modifie = false;
    if (!melees.empty())
        ditDeuxColonnes(melees);
}

void TMultPageDlg::ChargeFiche(int galerie)
{
    const TFiche& f = *Fiche;
    Systeme->setText(DepuisCp1252(f.Systeme.Chaine()));
    Cavite->setText(DepuisCp1252(f.Cavite.Chaine()));
    Reseau->setText(DepuisCp1252(f.Reseau.Chaine()));
    Lieu->setText(DepuisCp1252(f.Lieu.Chaine()));
    MontreSaisi(Declinaison, f.Declinaison, 5, 3);
    MontreSaisi(Premiere, f.Premiere, 5, 2);
    TPST->setText(DepuisCp1252(f.TPST.Chaine()));
    const UniteMesure* decli = UniteDeCode(kUnitesDeclinaison, f.Unite_Decli);
    UniteDecli->setEditText(DepuisCp1252((decli ? *decli : kUnitesDeclinaison[0]).Libelle));
    Date->setText(DepuisCp1252(f.Date.str()));
    for (const TEco& t : f.Topographes)
        Topographe->appendPlainText(DepuisCp1252(t.Chaine()));

    TNoeud premier;
    premier.Couleur = PremiereCouleur;
    PointFinal = std::make_unique<TPointTopo>();
    int ligneVoulue = Feuille.ChargeFiche(f, galerie, premier, Noeuds, *PointFinal);
    PremierDepart = std::make_unique<TPointTopo>(premier.Depart);
    PremierCommentaire = std::make_unique<TEco>(premier.Commentaire);
    PremiereCouleur = premier.Couleur;
    PremierCoefficient = premier.Coefficient;
    PremierCoefTopofil = premier.CoefTopofil;
    FinSurPoint = true;
    MontreFeuille();
    // A measure shows whole, a pair of topofil readings too; a comment may run on.
    for (int r = 1; r < NbLignes(); ++r)
        for (int c = 1; c < NbColonnesGrille() && Feuille.LigneVisee(r); ++c)
            if (TypeColonne(c) != TPreference_Ecran::Observations)
                poseLargeur(c, std::max(LargeurColonne(c), LargeurCellule(Cellule(r, c))));
    if (galerie == -1 || ligneVoulue < 0)
        ligneVoulue = 2;
    if (ligneVoulue < NbLignes()) {
        FixeCelluleCourante(ligneVoulue, std::min(2, NbColonnesGrille() - 1));
        // The gallery's start row heads the rows shown.
        TableauVisee->scrollTo(IndexCellule(std::max(ligneVoulue - 1, 1), 1), QAbstractItemView::PositionAtTop);
    }
}

// ---- events ----

void TMultPageDlg::TabSetClick()
{
    const int t = TabSet->currentIndex();
    if (t < 0)
        return;
    TermineSaisieCellule();
    Notebook->setCurrentIndex(t);
    if (!EditionFiche && t == 0 && NouvelleFiche) {
        NouvelleFiche = false;
        FixeCelluleCourante(1, 1);
        ModifieDepart(1);
        InformationsGalerie(1);
        FixeCelluleCourante(2, std::min(2, NbColonnesGrille() - 1));
        TableauVisee->setFocus();
    }
}

void TMultPageDlg::TableauViseeClick()
{
    const int r = Ligne(), c = Colonne();
    if (r == 0 || c == 0)
        return;
    // A press moves the cursor before it selects: the grid grows once the press has selected.
    if (!pression_)
        agrandit();
    // A block reaching a unit cell keeps the keyboard in the grid, for the block's commands.
    if (CelluleUnite(r, c) && !etendBloc_) {
        const QRect cellule = RectCellule(r, c);
        uniteLigne_ = r;
        uniteColonne_ = c;
        Unite->clear();
        Unite->addItems(TexteUnites(TypeColonne(c)));
        Unite->setCurrentIndex(Unite->findText(Cellule(r, c)));
        Unite->setEditText(Cellule(r, c));
        signeEnAttente_ = false;
        // What is typed replaces the unit, as in a cell.
        Unite->lineEdit()->selectAll();
        const int largeur = LargeurColonne(c);
        Unite->setGeometry(cellule.left(), cellule.top(), largeur < 48 ? 47 : largeur,
                           TableauVisee->verticalHeader()->defaultSectionSize());
        Unite->show();
        Unite->setFocus();
    }
}

void TMultPageDlg::MenuGrille(const QPoint& ici)
{
    PopupMenu1Popup();
    PopupMenu1->popup(ici);
}

void TMultPageDlg::agrandit()
{
    const QRect sel = SelectionGrille();
    if (!FinSurPoint && sel.top() >= NbLignes() - 1 && NbLignes() < FeuilleSaisie::kLignesMax)
        AjouteLigne();
}

void TMultPageDlg::UniteExit()
{
    if (!Unite->isVisible())
        return;
    // Hiding the focused list would hand the focus on, and the grid would move its cursor.
    if (Unite->hasFocus())
        TableauVisee->setFocus();
    Unite->hide();
    const int r = uniteLigne_, c = uniteColonne_;
    uniteLigne_ = uniteColonne_ = -1;
    if (r < 1 || r >= NbLignes() || c < 1 || c >= NbColonnesGrille())
        return;
    // Only a whole unit is written, as the list spells it: what only begins one (a sign whose
    // completion was erased) leaves the unit the cell had.
    const UniteMesure* unite = FeuilleSaisie::UniteDeTexte(TypeColonne(c), Unite->currentText().toStdString());
    if (!unite)
        return;
    const QString texte = DepuisCp1252(unite->Libelle);
    if (Cellule(r, c) != texte)
        Modifie = true;
    FixeCellule(r, c, texte);
    TableauVisee->viewport()->update();
}

void TMultPageDlg::TermineSaisieCellule()
{
    UniteExit();
    delegue_->Termine();
    delegue_->OublieAvant();
}

QModelIndex TMultPageDlg::IndexCellule(int ligne, int colonne) const
{
    return TableauVisee->model()->index(ligne - 1, colonne - 1);
}

QRect TMultPageDlg::RectCellule(int ligne, int colonne) const
{
    return TableauVisee->visualRect(IndexCellule(ligne, colonne));
}

void TMultPageDlg::TableauViseeEntree()
{
    int r = Ligne(), c = Colonne();
    for (int pas = 0; pas < 2 * NbColonnesGrille(); ++pas) {
        ++c;
        if (c >= NbColonnesGrille()) {
            c = 2;
            ++r;
        }
        const int t = TypeColonne(c);
        if (t >= 128 || t == 16 || t == 19 || t == 21 || t == 82 || t == 84)
            continue;
        break;
    }
    // Past the last row the cursor stays where it is.
    if (r < NbLignes()) {
        FixeCelluleCourante(r, c);
        TableauViseeClick();
    }
}

void TMultPageDlg::DeplaceCellule(int ligne, int colonne, int pas)
{
    int r = ligne, c = colonne + pas;
    if (c >= NbColonnesGrille()) {
        c = 2;
        ++r;
    } else if (c < 1) {
        c = NbColonnesGrille() - 1;
        --r;
    }
    if (r >= 1 && r < NbLignes()) {
        FixeCelluleCourante(r, c);
        TableauViseeClick();
    }
}

void TMultPageDlg::TableauViseeDblClick()
{
    // A double click on the title row fits the column under the mouse.
    if (lignePression_ == 0 && ColonneSouris >= 1 && ColonneSouris < NbColonnesGrille())
        AjusteColonne(TableauVisee, ColonneSouris - 1, 0);
    const int r = Ligne(), c = Colonne();
    if (Feuille.LigneVisee(r)) {
        const int t = TypeColonne(c);
        if (t & 64) {
            const QString v = Cellule(r, c);
            FixeCellule(
                r, c, v == QStringLiteral("N") || v == QStringLiteral("n") ? QStringLiteral("O") : QStringLiteral("N"));
            Modifie = true;
        } else if (t == TPreference_Ecran::Point) {
            InserePoint(r);
        }
    } else if (Feuille.LigneArrivee(r)) {
        ModifieArrivee(r);
    } else if (Feuille.LigneDepart(r)) {
        if (c >= 2)
            InformationsGalerie(r);
        else
            ModifieDepart(r);
    }
}

void TMultPageDlg::TableauViseeSetEditText(int, int colonne)
{
    if (colonne >= 2)
        Modifie = true;
}

void TMultPageDlg::valeurSuivante(int ligne, int colonne, const QKeyEvent& touche, bool signe)
{
    // A number typed after a value belongs to the next value, not to its unit: the unit stays
    // and the key starts the next cell that takes a value.
    int r = ligne, c = colonne + 1;
    while (c < NbColonnesGrille() && TypeColonne(c) >= 128)
        ++c;
    if (c >= NbColonnesGrille()) {
        c = 2;
        ++r;
    }
    if (r < 1 || r >= NbLignes())
        return;
    FixeCelluleCourante(r, c);
    TableauViseeClick();
    if (signe) {
        QKeyEvent moins(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
        QApplication::sendEvent(TableauVisee, &moins);
    }
    // The sign may have opened the cell's editor: the key follows it there.
    QKeyEvent cle(QEvent::KeyPress, touche.key(), touche.modifiers(), touche.text());
    QWidget* cible = delegue_->Editeur();
    QApplication::sendEvent(cible ? cible : TableauVisee, &cle);
}

bool TMultPageDlg::eventFilter(QObject* objet, QEvent* e)
{
    // A press that selected nothing leaves the growth to the next move.
    if (e->type() == QEvent::MouseButtonRelease)
        pression_ = false;
    if (e->type() == QEvent::MouseButtonPress)
        delegue_->OublieAvant();
    if (objet == TableauVisee->verticalHeader()->viewport()) {
        if (e->type() == QEvent::MouseButtonRelease)
            GlisseLignes = false;
        else if (e->type() == QEvent::MouseButtonPress)
            pression_ = true;
    } else if (objet == TableauVisee->viewport()) {
        // The second click of a double click is the double click's own.
        if (e->type() == QEvent::MouseButtonPress) {
            const QModelIndex i = TableauVisee->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
            clicSurCourante_ = i.isValid() && i == TableauVisee->currentIndex();
            pression_ = i.isValid();
        } else if (e->type() == QEvent::MouseButtonDblClick) {
            clicSurCourante_ = false;
        }
    } else if (objet == TableauVisee && e->type() == QEvent::KeyPress) {
        auto* touche = static_cast<QKeyEvent*>(e);
        const int k = touche->key();
        if (k == Qt::Key_Escape && touche->modifiers() == Qt::NoModifier && delegue_->RendAvant())
            return true;
        // Any other key leaves what Backspace emptied as it is.
        if (k != Qt::Key_Shift && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_AltGr && k != Qt::Key_Meta)
            delegue_->OublieAvant();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            TableauViseeEntree();
            return true;
        }
        if (const int pas = PasTabulation(*touche)) {
            DeplaceCellule(Ligne(), Colonne(), pas);
            return true;
        }
        // The unit list closed by Escape, a number still goes on to the next value; a sign
        // opens the list again, since it may begin a unit: the list judges it as typed there.
        if (DebutNombre(*touche) && CelluleUnite(Ligne(), Colonne())) {
            if (touche->text() == QStringLiteral("-")) {
                TableauViseeClick();
                QKeyEvent moins(QEvent::KeyPress, touche->key(), touche->modifiers(), touche->text());
                QApplication::sendEvent(Unite, &moins);
            } else {
                valeurSuivante(Ligne(), Colonne(), *touche);
            }
            return true;
        }
        if (touche->matches(QKeySequence::Copy) || touche->matches(QKeySequence::Cut)) {
            QApplication::clipboard()->setText(TexteSelection());
            if (touche->matches(QKeySequence::Cut))
                EffaceSelection(true);
            return true;
        }
        if (touche->matches(QKeySequence::Paste)) {
            ColleTexte(QApplication::clipboard()->text());
            return true;
        }
        if ((k == Qt::Key_Delete || k == Qt::Key_Backspace) &&
            !(touche->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Backspace, as in a spreadsheet, goes on to type the emptied cell; Escape takes the
            // key back, there as in any cell being typed, or in the grid where no cell opens.
            if (k == Qt::Key_Backspace)
                delegue_->RetientAvant(SelectionGrille(), Modifie);
            EffaceSelection();
            if (k == Qt::Key_Backspace && CelluleEditable(Ligne(), Colonne(), false))
                TableauVisee->edit(IndexCellule(Ligne(), Colonne()));
            return true;
        }
    } else if (objet == Unite) {
        // Its own drop-down, or another window taking the activation, leaves the list open.
        const bool sortie = e->type() == QEvent::FocusOut;
        const auto raison = sortie ? static_cast<QFocusEvent*>(e)->reason() : Qt::OtherFocusReason;
        if (sortie && raison != Qt::PopupFocusReason && raison != Qt::ActiveWindowFocusReason &&
            !Unite->view()->isVisible()) {
            UniteExit();
        } else if (e->type() == QEvent::KeyPress &&
                   (PasTabulation(*static_cast<QKeyEvent*>(e)) || EtendBloc(*static_cast<QKeyEvent*>(e)))) {
            // Tab would move the focus, and Shift with the arrows the list's item, before
            // the list's text sees them.
            return UniteKeyPress(*static_cast<QKeyEvent*>(e));
        }
    }
    return QDialog::eventFilter(objet, e);
}

bool TMultPageDlg::UniteKeyPress(const QKeyEvent& touche)
{
    const int k = touche.key();
    // A modifier pressed for the next character, as Shift for a digit on a French keyboard,
    // leaves a sign waiting for it.
    if (k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_AltGr || k == Qt::Key_Meta ||
        k == Qt::Key_CapsLock)
        return false;
    const bool signe = std::exchange(signeEnAttente_, false);
    QLineEdit* texte = Unite->lineEdit();
    const int r = uniteLigne_, c = uniteColonne_;
    // A unit cell opens its list at the click: lines pasted there go to the grid from it.
    if (const QString colle = QApplication::clipboard()->text();
        touche.matches(QKeySequence::Paste) && TexteDeGrille(colle)) {
        if (signe)
            Unite->setEditText(avantSigne_);
        UniteExit();
        ColleTexte(colle);
        return true;
    }
    if (signe && DebutNombre(touche)) {
        // The sign began the next value: the unit stays as it was.
        Unite->setEditText(avantSigne_);
        UniteExit();
        valeurSuivante(r, c, touche, true);
        return true;
    }
    // Shift with a move extends the block from the unit's cell, as from any cell of the grid.
    const bool etend = EtendBloc(touche);
    int pas = PasTabulation(touche);
    if (!etend && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Right))
        pas = 1;
    else if (!etend && k == Qt::Key_Left)
        pas = -1;
    if (pas || etend) {
        // A sign alone is no unit.
        if (signe && !FeuilleSaisie::UniteDeTexte(TypeColonne(c), Unite->currentText().toStdString()))
            Unite->setEditText(avantSigne_);
        UniteExit();
        if (etend) {
            QKeyEvent cle(QEvent::KeyPress, k, touche.modifiers(), touche.text());
            QApplication::sendEvent(TableauVisee, &cle);
        } else {
            DeplaceCellule(r, c, pas);
        }
        return true;
    }
    // Escape leaves the unit as it was, as it leaves a cell being typed.
    if (k == Qt::Key_Escape && touche.modifiers() == Qt::NoModifier) {
        uniteLigne_ = uniteColonne_ = -1;
        UniteExit();
        return true;
    }
    if (touche.text() == QStringLiteral("-") && DebutNombre(touche)) {
        // Half the units begin with a sign: whose it is, the next key tells.
        QString apres = texte->text();
        int position = texte->cursorPosition();
        if (texte->hasSelectedText()) {
            position = texte->selectionStart();
            apres.remove(position, texte->selectedText().size());
        }
        apres.insert(position++, QLatin1Char('-'));
        if (Unite->validator()->validate(apres, position) != QValidator::Invalid) {
            signeEnAttente_ = true;
            avantSigne_ = texte->text();
            return false;
        }
    }
    if (DebutNombre(touche)) {
        UniteExit();
        valeurSuivante(r, c, touche);
        return true;
    }
    return false;
}

}  // namespace karst
