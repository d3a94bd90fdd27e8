#include "dialogs/exploreur.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSplitter>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "dialogs/messages_communs.h"
#include "dialogs/statistique.h"
#include "platform/canvas.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

namespace karst {

namespace {

QString Q(const std::string& s) { return DepuisCp1252(s); }
std::string S(const QString& s) { return VersCp1252(s); }

std::string TexteNoeud(const QTreeWidgetItem* n) { return n ? S(n->text(0)) : std::string(); }

const char* const kTypes[4] = {"Système", "Cavité", "Réseau", "Lieu"};

// The root's text: the massif's file name without its folder, cut before its first '.'.
std::string NomRacine(const std::string& fichier)
{
    std::string nom = std::filesystem::path(fichier).filename().string();
    const auto point = nom.find('.');
    if (point != std::string::npos)
        nom.erase(point);
    return nom;
}

// The tree's images: a closed folder (0), an open one when selected (1), the bin (2).
QIcon IconeArbre(int image)
{
    QIcon icone(QPixmap::fromImage(ImageExplorateur(image == 2 ? 2 : 1).scaled(16, 16)));
    if (image != 2)
        icone.addPixmap(QPixmap::fromImage(ImageExplorateur(3).scaled(16, 16)), QIcon::Selected);
    return icone;
}

}  // namespace

QImage ImageExplorateur(int image)
{
    QImage im(35, 35, QImage::Format_RGB32);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setPen(Qt::black);
    switch (image) {
    case 0:  // a sheet
        p.setBrush(QColor(250, 250, 235));
        p.drawRect(8, 3, 19, 28);
        for (int y = 9; y < 28; y += 4)
            p.drawLine(11, y, 24, y);
        break;
    case 1:  // a folder
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(3, 8, 12, 5);
        p.drawRect(3, 12, 28, 18);
        break;
    case 3:  // an open folder
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(3, 8, 12, 5);
        p.drawRect(3, 12, 24, 18);
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygon({QPoint(8, 17), QPoint(33, 17), QPoint(27, 30), QPoint(3, 30)}));
        break;
    default:  // the bin
        p.setBrush(QColor(200, 210, 220));
        p.drawRect(6, 6, 22, 3);
        p.drawRect(9, 9, 16, 22);
        for (int x = 13; x < 24; x += 4)
            p.drawLine(x, 12, x, 28);
        break;
    }
    return im;
}

// ---- the tree control ----

ArbreExplorateur::ArbreExplorateur(TExploreur& e, QWidget* parent) : QTreeWidget(parent), e_(e)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
}

namespace {

const QString kTypeGlisse = QStringLiteral("application/x-karstomat-explorateur");

// What a drag carries: the control it leaves (the explorer knows what is dragged there: the
// tree's folder or the list's selection) and the process, so that a drop from another
// running program is no drop of ours.
QByteArray MarqueGlisse(TExploreur::Controle source)
{
    return (source == TExploreur::Controle::Arbre ? QByteArrayLiteral("arbre ") : QByteArrayLiteral("liste ")) +
           QByteArray::number(QCoreApplication::applicationPid());
}

void Glisse(QWidget* source, TExploreur::Controle controle)
{
    auto* d = new QDrag(source);
    auto* m = new QMimeData;
    m->setData(kTypeGlisse, MarqueGlisse(controle));
    d->setMimeData(m);
    ExecuteGlisse(*d, Qt::MoveAction);
}

TExploreur::Controle SourceGlisse(const QMimeData* m)
{
    if (!m)
        return TExploreur::Controle::Aucun;
    const QByteArray marque = m->data(kTypeGlisse);
    for (const auto c : {TExploreur::Controle::Arbre, TExploreur::Controle::Liste})
        if (marque == MarqueGlisse(c))
            return c;
    return TExploreur::Controle::Aucun;
}

}  // namespace

void ArbreExplorateur::startDrag(Qt::DropActions) { Glisse(this, TExploreur::Controle::Arbre); }

QTreeWidgetItem* ArbreExplorateur::Noeud(const QModelIndex& i) const { return itemFromIndex(i); }

bool ArbreExplorateur::edit(const QModelIndex& i, EditTrigger declencheur, QEvent* e)
{
    if (declencheur != NoEditTriggers && !e_.TreeView1Editing(Noeud(i)))
        return false;
    return QTreeWidget::edit(i, declencheur, e);
}

// ---- in-place renaming ----

DelegueNom::DelegueNom(std::function<bool(const QModelIndex&, const QString&)> valide, QAbstractItemView* vue)
    : QStyledItemDelegate(vue), valide_(std::move(valide)), vue_(vue)
{}

namespace {
// Under a big icon the name shows centred in its own box.
bool SousGrandeIcone(const QWidget* editeur)
{
    const auto* vue =
        editeur->parentWidget() ? qobject_cast<const QListView*>(editeur->parentWidget()->parentWidget()) : nullptr;
    return vue && vue->viewMode() == QListView::IconMode;
}
}  // namespace

QWidget* DelegueNom::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    ++editeurs_;
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    // Without a frame, the name being typed under a big icon looks like the selected name.
    if (auto* e = qobject_cast<QLineEdit*>(w); e && SousGrandeIcone(e))
        e->setFrame(true);
    return w;
}

void DelegueNom::updateEditorGeometry(QWidget* editeur, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editeur, option, index);
    if (!SousGrandeIcone(editeur))
        return;
    // As wide as the item at least, and as high as a framed line needs, under the icon.
    const QRect r = editeur->geometry();
    const int largeur = std::max({r.width(), option.rect.width(), editeur->minimumSizeHint().width()});
    const int hauteur = std::max(r.height(), editeur->sizeHint().height());
    editeur->setGeometry(r.center().x() - largeur / 2, r.top(), largeur, hauteur);
}

void DelegueNom::destroyEditor(QWidget* editeur, const QModelIndex& index) const
{
    --editeurs_;
    QStyledItemDelegate::destroyEditor(editeur, index);
}

void DelegueNom::setModelData(QWidget* editeur, QAbstractItemModel*, const QModelIndex& index) const
{
    // The name is not written into the item: the explorer renames the folder's sheets, and
    // the item shows the new name once that is done.
    auto* e = qobject_cast<QLineEdit*>(editeur);
    if (!e || valide_(index, e->text()))
        return;
    // The view closes this editor once the name is given: the next one opens after that.
    QMetaObject::invokeMethod(
        vue_,
        [vue = vue_, i = QPersistentModelIndex(index), texte = e->text()] {
            if (!i.isValid() || vue->currentIndex() != i)
                return;
            vue->edit(i);
            if (auto* n = qobject_cast<QLineEdit*>(vue->indexWidget(i)))
                n->setText(texte);
        },
        Qt::QueuedConnection);
}

void ArbreExplorateur::dragEnterEvent(QDragEnterEvent* ev)
{
    ev->setDropAction(Qt::MoveAction);
    ev->accept();
}

void ArbreExplorateur::dragMoveEvent(QDragMoveEvent* ev)
{
    QTreeWidgetItem* cible = itemAt(ev->position().toPoint());
    if (e_.TreeView1DragOver(SourceGlisse(ev->mimeData()), cible)) {
        ev->setDropAction(Qt::MoveAction);
        ev->accept();
    } else {
        ev->ignore();
    }
}

void ArbreExplorateur::dropEvent(QDropEvent* ev)
{
    const auto source = SourceGlisse(ev->mimeData());
    QTreeWidgetItem* cible = itemAt(ev->position().toPoint());
    ev->setDropAction(Qt::IgnoreAction);
    ev->accept();
    if (e_.TreeView1DragOver(source, cible))
        e_.TreeView1DragDrop(source, cible);
}

void ArbreExplorateur::mousePressEvent(QMouseEvent* ev)
{
    // A right click selects the node under it before the pop-up menu opens.
    if (ev->button() == Qt::RightButton)
        if (QTreeWidgetItem* n = itemAt(ev->position().toPoint()))
            e_.SelectionneNoeud(n);
    QTreeWidget::mousePressEvent(ev);
}

// ---- the list control ----

namespace {
// Either view of the list (icons or report).
template <class Vue>
class VueListeExplorateur : public Vue {
public:
    VueListeExplorateur(TExploreur& e, QWidget* parent) : Vue(parent), e_(e) {}

protected:
    void startDrag(Qt::DropActions) override { Glisse(this, TExploreur::Controle::Liste); }
    void keyPressEvent(QKeyEvent* ev) override
    {
        Vue::keyPressEvent(ev);
        // An arrow that cannot go further (on the first item, in a list of one) still selects
        // the item with the focus frame, as every other arrow does.
        switch (ev->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (!(ev->modifiers() & Qt::ControlModifier))
                e_.ListView1->SelectionneCourant();
            break;
        default: break;
        }
    }
    // F2 and a slow second click on the selected name rename it where "Renommer" may.
    bool edit(const QModelIndex& i, QAbstractItemView::EditTrigger declencheur, QEvent* ev) override
    {
        if (declencheur != QAbstractItemView::NoEditTriggers && i.isValid() &&
            (i.column() != 0 || !e_.ListView1Editing(i.row())))
            return false;
        return Vue::edit(i, declencheur, ev);
    }

private:
    TExploreur& e_;
};
using VueIconesExplorateur = VueListeExplorateur<QListView>;
using VueDetailExplorateur = VueListeExplorateur<QTreeView>;
}  // namespace

ListeExplorateur::ListeExplorateur(TExploreur& e, QWidget* parent) : QWidget(parent), e_(e)
{
    setObjectName(QStringLiteral("ListView1"));
    modele_ = new QStandardItemModel(0, 3, this);
    modele_->setHorizontalHeaderLabels({QStringLiteral("Nom"), QStringLiteral("Type"), QStringLiteral("Topographes")});
    pile_ = new QStackedLayout(this);
    pile_->setContentsMargins(0, 0, 0, 0);
    icones_ = new VueIconesExplorateur(e_, this);
    icones_->setObjectName(QStringLiteral("ListView1Icones"));
    icones_->setModel(modele_);
    detail_ = new VueDetailExplorateur(e_, this);
    detail_->setObjectName(QStringLiteral("ListView1Detail"));
    detail_->setModel(modele_);
    detail_->setRootIsDecorated(false);
    detail_->setItemsExpandable(false);
    detail_->setSelectionModel(icones_->selectionModel());
    detail_->header()->setSectionsClickable(true);
    detail_->setColumnWidth(0, 100);
    detail_->setColumnWidth(1, 100);
    detail_->setColumnWidth(2, 500);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(icones_), static_cast<QAbstractItemView*>(detail_)}) {
        // A delegate serves one view: the editor it makes belongs to that view.
        auto* d = new DelegueNom(
            [this](const QModelIndex& i, const QString& nom) {
                if (i.column() != 0)
                    return true;
                std::vector<std::string> voisins;
                for (int k = 0; k < Nombre(); ++k)
                    if (k != i.row())
                        voisins.push_back(Texte(k));
                if (!e_.NomGarde(nom, voisins))
                    return false;
                e_.ListView1Edited(i.row(), VersCp1252(nom));
                return true;
            },
            v);
        delegues_.push_back(d);
        v->setItemDelegate(d);
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        // A click selects the whole row, whichever view shows it.
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        v->setDragEnabled(true);
        v->setAcceptDrops(true);
        v->setDragDropMode(QAbstractItemView::DragDrop);
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        pile_->addWidget(v);
    }
    connect(detail_->header(), &QHeaderView::sectionClicked, this, [this](int c) { e_.ListView1ColumnClick(c); });
    connect(icones_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChangee(); });
    FixeStyle(0);
}

void ListeExplorateur::Vide()
{
    icones_->selectionModel()->clear();
    modele_->removeRows(0, modele_->rowCount());
}

void ListeExplorateur::Ajoute(const std::string& nom, int image, const std::string& type, const std::string& troisieme,
                              TFiche* fiche)
{
    auto* a = new QStandardItem(QIcon(QPixmap::fromImage(ImageExplorateur(image))), Q(nom));
    a->setData(QVariant::fromValue(reinterpret_cast<quintptr>(fiche)), RoleFiche);
    a->setData(image, RoleImage);
    // "Renommer", F2 and a slow second click open an editor where renaming is allowed.
    a->setEditable(true);
    auto* b = new QStandardItem(Q(type));
    b->setEditable(false);
    auto* c = new QStandardItem(Q(troisieme));
    c->setEditable(false);
    modele_->appendRow({a, b, c});
}

void ListeExplorateur::SelectionneCourant()
{
    const QModelIndex i = Vue()->currentIndex();
    if (i.isValid() && !Vue()->selectionModel()->isRowSelected(i.row(), {}))
        Selectionne(i.row());
}

ListeExplorateur::Repere ListeExplorateur::Courant() const
{
    Repere r;
    const QModelIndex i = Vue()->currentIndex();
    if (!i.isValid())
        return r;
    r.fiche = Fiche(i.row());
    r.nom = Texte(i.row());
    r.image = Image(i.row());
    return r;
}

void ListeExplorateur::Retrouve(const Repere& r)
{
    if (r.image < 0)
        return;
    for (int l = 0; l < Nombre(); ++l)
        if (Fiche(l) == r.fiche && Texte(l) == r.nom && Image(l) == r.image) {
            icones_->selectionModel()->setCurrentIndex(modele_->index(l, 0), QItemSelectionModel::NoUpdate);
            return;
        }
}

bool ListeExplorateur::EnEdition() const
{
    return std::any_of(delegues_.begin(), delegues_.end(), [](const DelegueNom* d) { return d->EnEdition(); });
}

int ListeExplorateur::Nombre() const { return modele_->rowCount(); }

int ListeExplorateur::Selection() const
{
    const QModelIndexList l = icones_->selectionModel()->selectedIndexes();
    return l.isEmpty() ? -1 : l.first().row();
}

void ListeExplorateur::Selectionne(int ligne)
{
    if (ligne < 0 || ligne >= Nombre()) {
        icones_->selectionModel()->clear();
        return;
    }
    icones_->selectionModel()->setCurrentIndex(modele_->index(ligne, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::string ListeExplorateur::Texte(int ligne, int colonne) const
{
    QStandardItem* it = modele_->item(ligne, colonne);
    return it ? S(it->text()) : std::string();
}

TFiche* ListeExplorateur::Fiche(int ligne) const
{
    QStandardItem* it = modele_->item(ligne, 0);
    return it ? reinterpret_cast<TFiche*>(it->data(RoleFiche).value<quintptr>()) : nullptr;
}

int ListeExplorateur::Image(int ligne) const
{
    QStandardItem* it = modele_->item(ligne, 0);
    return it ? it->data(RoleImage).toInt() : -1;
}

void ListeExplorateur::TitreTroisieme(const QString& titre) { modele_->setHeaderData(2, Qt::Horizontal, titre); }

QString ListeExplorateur::TitreColonne(int colonne) const
{
    return modele_->headerData(colonne, Qt::Horizontal).toString();
}

void ListeExplorateur::FixeStyle(int style)
{
    style_ = style & 3;
    if (style_ == 3) {
        pile_->setCurrentWidget(detail_);
        return;
    }
    pile_->setCurrentWidget(icones_);
    if (style_ == 0) {
        icones_->setViewMode(QListView::IconMode);
        icones_->setIconSize(QSize(35, 35));
        icones_->setFlow(QListView::LeftToRight);
    } else {
        icones_->setViewMode(QListView::ListMode);
        icones_->setIconSize(QSize(16, 16));
        icones_->setFlow(style_ == 1 ? QListView::LeftToRight : QListView::TopToBottom);
        icones_->setWrapping(true);
    }
    icones_->setMovement(QListView::Static);
    icones_->setResizeMode(QListView::Adjust);
    // The view mode and a static movement turn drag and drop off: the explorer's own drags
    // stay on in every style.
    icones_->setDragEnabled(true);
    icones_->viewport()->setAcceptDrops(true);
    icones_->setDragDropMode(QAbstractItemView::DragDrop);
}

void ListeExplorateur::Trie()
{
    const int n = Nombre();
    std::vector<int> ordre(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        ordre[static_cast<std::size_t>(i)] = i;
    std::stable_sort(ordre.begin(), ordre.end(),
                     [this](int a, int b) { return e_.ListView1Compare(b, a) && !e_.ListView1Compare(a, b); });
    TFiche* choisie = nullptr;
    const int sel = Selection();
    const bool avecSelection = sel >= 0;
    std::string texteSel;
    if (avecSelection) {
        choisie = Fiche(sel);
        texteSel = Texte(sel);
    }
    std::vector<QList<QStandardItem*>> lignes;
    for (int i = 0; i < n; ++i)
        lignes.push_back(modele_->takeRow(0));
    for (int i : ordre)
        modele_->appendRow(lignes[static_cast<std::size_t>(i)]);
    if (avecSelection)
        for (int i = 0; i < n; ++i)
            if (Fiche(i) == choisie && Texte(i) == texteSel) {
                Selectionne(i);
                break;
            }
}

void ListeExplorateur::EditeSelection()
{
    const int l = Selection();
    if (l < 0)
        return;
    Vue()->setFocus();
    Vue()->edit(modele_->index(l, 0));
}

QAbstractItemView* ListeExplorateur::Vue() const
{
    return style_ == 3 ? static_cast<QAbstractItemView*>(detail_) : static_cast<QAbstractItemView*>(icones_);
}

int ListeExplorateur::LigneEn(const QPoint& p) const
{
    const QModelIndex i = Vue()->indexAt(p);
    return i.isValid() ? i.row() : -1;
}

bool ListeExplorateur::eventFilter(QObject* o, QEvent* ev)
{
    const bool vue = o == icones_ || o == detail_;
    const bool fond = o == icones_->viewport() || o == detail_->viewport();
    switch (ev->type()) {
    case QEvent::FocusIn:
        if (vue)
            e_.focus_ = TExploreur::Controle::Liste;
        break;
    case QEvent::KeyPress:
        // Enter in a rename editor reaches the view too: it is the editor's.
        if (vue && !EnEdition()) {
            auto* k = static_cast<QKeyEvent*>(ev);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                SelectionneCourant();
                e_.ListView1DblClick();
                return true;
            }
            if (TExploreur::TouchePoubelle(*k)) {
                SelectionneCourant();
                e_.Supprime();
                return true;
            }
        }
        break;
    case QEvent::ContextMenu:
        // The menu asked from the keyboard is about the item with the focus frame.
        if (vue && static_cast<QContextMenuEvent*>(ev)->reason() == QContextMenuEvent::Keyboard)
            SelectionneCourant();
        break;
    case QEvent::MouseButtonDblClick:
        if (fond) {
            e_.ListView1DblClick();
            return true;
        }
        break;
    case QEvent::DragEnter:
        if (fond) {
            auto* d = static_cast<QDragEnterEvent*>(ev);
            d->setDropAction(Qt::MoveAction);
            d->accept();
            return true;
        }
        break;
    case QEvent::DragMove:
        if (fond) {
            auto* d = static_cast<QDragMoveEvent*>(ev);
            const int l = LigneEn(d->position().toPoint());
            if (e_.ListView1DragOver(SourceGlisse(d->mimeData()), l)) {
                d->setDropAction(Qt::MoveAction);
                d->accept();
            } else {
                d->ignore();
            }
            return true;
        }
        break;
    case QEvent::Drop:
        if (fond) {
            auto* d = static_cast<QDropEvent*>(ev);
            const auto source = SourceGlisse(d->mimeData());
            const int l = LigneEn(d->position().toPoint());
            d->setDropAction(Qt::IgnoreAction);
            d->accept();
            if (e_.ListView1DragOver(source, l))
                e_.ListView1DragDrop(source, l);
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(o, ev);
}

// ---- the explorer window ----

TExploreur::TExploreur(HoteDialogues& hote, QWidget* parent) : QWidget(parent), hote_(hote)
{
    setObjectName(QStringLiteral("Exploreur"));
    setWindowTitle(QStringLiteral("Explorer"));
    construitComposants();
    construitMenu();

    // The designed tree: the root and the bin; the first build clears EnConstruction.
    EnConstruction = true;
    racine_ = new QTreeWidgetItem(TreeView1, {QStringLiteral("Massif")});
    racine_->setIcon(0, IconeArbre(0));
    corbeille_ = new QTreeWidgetItem(racine_, {QStringLiteral("Corbeille")});
    corbeille_->setIcon(0, IconeArbre(2));
    racine_->setExpanded(true);
    TreeView1->setCurrentItem(racine_);

    EnNavigation = false;
    TriCroissant = true;
    ColonneTri = 0;
    PressePapier = {};
    ListView1->FixeStyle(hote_.StyleListe());
}

TExploreur::~TExploreur() = default;

bool TExploreur::TouchePoubelle(const QKeyEvent& k)
{
    return k.key() == Qt::Key_Delete && !(k.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
}

void TExploreur::construitComposants()
{
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    l->addWidget(Splitter1);
    TreeView1 = new ArbreExplorateur(*this, Splitter1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    TreeView1->installEventFilter(this);
    auto* droite = new QWidget(Splitter1);
    droite->setObjectName(QStringLiteral("PanneauDroit"));
    droite->installEventFilter(this);
    Zone_web = new ZoneWeb(*this, droite);
    Zone_web->setObjectName(QStringLiteral("Zone_web"));
    ListView1 = new ListeExplorateur(*this, droite);
    Splitter1->addWidget(TreeView1);
    Splitter1->addWidget(droite);
    Splitter1->setSizes({177, 600});
    Splitter1->setStretchFactor(1, 1);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { FormResize(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TExploreur::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(200);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &TExploreur::Timer2Timer);

    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* n, QTreeWidgetItem*) { TreeView1Change(n); });
    connect(TreeView1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) {
        if (n->childCount() == 0 && !EstCorbeille(n) && Niveau(n) < 4)
            RemplitNoeud(n);
    });
    DelegueArbre = new DelegueNom(
        [this](const QModelIndex& i, const QString& nom) {
            QTreeWidgetItem* n = TreeView1->Noeud(i);
            if (!n)
                return true;
            std::vector<std::string> voisins;
            if (QTreeWidgetItem* p = n->parent())
                for (int k = 0; k < p->childCount(); ++k)
                    if (p->child(k) != n)
                        voisins.push_back(S(p->child(k)->text(0)));
            if (!NomGarde(nom, voisins))
                return false;
            TreeView1Edited(n, VersCp1252(nom));
            return true;
        },
        TreeView1);
    TreeView1->setItemDelegate(DelegueArbre);
    connect(ListView1, &ListeExplorateur::SelectionChangee, this, &TExploreur::ListView1Change);
    auto menu = [this](QWidget* w, Controle c) {
        connect(w, &QWidget::customContextMenuRequested, this, [this, w, c](const QPoint& p) {
            focus_ = c;
            PopupMenu1Popup();
            PopupMenu1->popup(w->mapToGlobal(p));
        });
    };
    menu(TreeView1, Controle::Arbre);
    menu(ListView1->VueIcones(), Controle::Liste);
    menu(ListView1->VueDetail(), Controle::Liste);
}

void TExploreur::construitMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const char* nom, const QString& texte) {
        QAction* a = PopupMenu1->addAction(texte);
        a->setObjectName(QString::fromLatin1(nom));
        return a;
    };
    auto separateur = [this](const char* nom) {
        QAction* a = PopupMenu1->addSeparator();
        a->setObjectName(QString::fromLatin1(nom));
        return a;
    };
    Ouvrir1 = item("Ouvrir1", QStringLiteral("&Ouvrir"));
    PopupMenu1->setDefaultAction(Ouvrir1);
    Rechercher1 = item("Rechercher1", QStringLiteral("Rec&hercher ..."));
    Vider1 = item("Vider1", QStringLiteral("&Vider la corbeille"));
    N1 = separateur("N1");
    Couper1 = item("Couper1", QStringLiteral("&Couper"));
    Copier1 = item("Copier1", QStringLiteral("Co&pier"));
    Coller1 = item("Coller1", QStringLiteral("Co&ller"));
    N2 = separateur("N2");
    Restaurer1 = item("Restaurer1", QStringLiteral("Res&taurer"));
    Supprimer1 = item("Supprimer1", QStringLiteral("&Supprimer"));
    Renommer1 = item("Renommer1", QStringLiteral("Reno&mmer"));
    Nouvellefiche1 = item("Nouvellefiche1", QStringLiteral("&Nouvelle fiche ..."));
    N3 = separateur("N3");
    Proprits1 = item("Proprits1", QStringLiteral("P&ropriétés ..."));
    Isoler1 = item("Isoler1", QStringLiteral("&Isoler"));
    Exclure1 = item("Exclure1", QStringLiteral("&Exclure"));
    connect(Ouvrir1, &QAction::triggered, this, &TExploreur::Ouvrir1Click);
    connect(Rechercher1, &QAction::triggered, this, &TExploreur::Rechercher1Click);
    connect(Vider1, &QAction::triggered, this, &TExploreur::Vider1Click);
    connect(Couper1, &QAction::triggered, this, &TExploreur::Couper);
    connect(Copier1, &QAction::triggered, this, &TExploreur::Copier);
    connect(Coller1, &QAction::triggered, this, &TExploreur::Coller);
    connect(Restaurer1, &QAction::triggered, this, &TExploreur::Restaurer1Click);
    connect(Supprimer1, &QAction::triggered, this, &TExploreur::Supprime);
    connect(Renommer1, &QAction::triggered, this, &TExploreur::Renommer1Click);
    connect(Nouvellefiche1, &QAction::triggered, this, &TExploreur::Nouvellefiche1Click);
    connect(Proprits1, &QAction::triggered, this, &TExploreur::Proprits1Click);
    connect(Isoler1, &QAction::triggered, this, &TExploreur::Isoler1Click);
    connect(Exclure1, &QAction::triggered, this, &TExploreur::Exclure1Click);
}

bool TExploreur::eventFilter(QObject* o, QEvent* ev)
{
    if (o == TreeView1 && ev->type() == QEvent::FocusIn)
        focus_ = Controle::Arbre;
    if (o == TreeView1 && ev->type() == QEvent::KeyPress && !TreeView1->EnEdition() &&
        TouchePoubelle(*static_cast<QKeyEvent*>(ev))) {
        Supprime();
        return true;
    }
    if (o && o->objectName() == QLatin1String("PanneauDroit") && ev->type() == QEvent::Resize)
        FormResize();
    return QWidget::eventFilter(o, ev);
}

void TExploreur::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    FormResize();
}

void TExploreur::DonneFocus(Controle c)
{
    focus_ = c;
    if (c == Controle::Arbre)
        TreeView1->setFocus();
    else if (c == Controle::Liste)
        ListView1->Vue()->setFocus();
}

const ListeFiches& TExploreur::courantes()
{
    static const ListeFiches vide;
    TMassif* m = massif();
    if (!m || !m->FichesCourantes)
        return vide;
    return *m->FichesCourantes;
}

// ---- addresses ----

int TExploreur::Niveau(const QTreeWidgetItem* noeud)
{
    int n = 0;
    for (const QTreeWidgetItem* p = noeud ? noeud->parent() : nullptr; p; p = p->parent())
        ++n;
    return n;
}

QTreeWidgetItem* TExploreur::Racine() const { return racine_; }
QTreeWidgetItem* TExploreur::NoeudCorbeille() const { return corbeille_; }
QTreeWidgetItem* TExploreur::NoeudSelectionne() const { return TreeView1->currentItem(); }

void TExploreur::SelectionneNoeud(QTreeWidgetItem* n) { TreeView1->setCurrentItem(n); }

TFiche* TExploreur::TrouvePremiere(const Adresse& a, int profondeur)
{
    Curseur = 0;
    return TrouveFiche(a, profondeur);
}

TFiche* TExploreur::TrouveFiche(const Adresse& a, int profondeur)
{
    const ListeFiches& l = courantes();
    TFiche* trouvee = nullptr;
    while (Curseur < static_cast<int>(l.size()) && !trouvee) {
        TFiche* f = l[static_cast<std::size_t>(Curseur)];
        bool egal = f != nullptr;
        for (int k = 1; egal && k <= profondeur && k <= 4; ++k)
            egal = EgalSansCasse(PartieAdresse(*f, k).Chaine(), a[static_cast<std::size_t>(k - 1)]);
        if (egal)
            trouvee = f;
        ++Curseur;
    }
    return trouvee;
}

ListeFiches TExploreur::FichesDossier(const Adresse& a, int profondeur)
{
    ListeFiches r;
    for (TFiche* f = TrouvePremiere(a, profondeur); f; f = TrouveFiche(a, profondeur))
        r.push_back(f);
    return r;
}

Adresse TExploreur::Localisation_Noeud(QTreeWidgetItem* noeud)
{
    Adresse a;
    if (!noeud) {
        Invite().Message(QStringLiteral("Noeud vide dans Localisation_Noeud"), Icone::Aucune, {Bouton::OK});
        return a;
    }
    for (QTreeWidgetItem* n = noeud; n && n->parent(); n = n->parent()) {
        const int k = Niveau(n);
        if (k >= 1 && k <= 4)
            a[static_cast<std::size_t>(k - 1)] = TexteNoeud(n);
    }
    return a;
}

QTreeWidgetItem* TExploreur::Noeud_Equivalent()
{
    QTreeWidgetItem* sel = dossierListe();
    if (!sel) {
        Invite().Message(QStringLiteral("Noeud vide dans Noeud_Equivalent"), Icone::Aucune, {Bouton::OK});
        return nullptr;
    }
    const int l = ListView1->Selection();
    if (l < 0)
        return nullptr;
    const std::string nom = MajAscii(ListView1->Texte(l));
    // A system named like the bin, from an older file or an import, is not the bin.
    const bool corbeille = ListView1->Image(l) == 2;
    for (int i = 0; i < sel->childCount(); ++i)
        if (EstCorbeille(sel->child(i)) == corbeille && MajAscii(TexteNoeud(sel->child(i))) == nom)
            return sel->child(i);
    return nullptr;
}

bool TExploreur::dansLieu() const
{
    QTreeWidgetItem* n = NoeudSelectionne();
    return n && Niveau(n) >= 4;
}

bool TExploreur::corbeilleOuverte() const { return EstCorbeille(NoeudSelectionne()); }

QTreeWidgetItem* TExploreur::dossierListe() const { return NoeudSelectionne() ? NoeudSelectionne() : racine_; }

// ---- building ----

QTreeWidgetItem* TExploreur::nouveauNoeud(QTreeWidgetItem* parent, const std::string& texte, bool enfants)
{
    auto* n = new QTreeWidgetItem(parent, {Q(texte)});
    n->setIcon(0, IconeArbre(0));
    // "Renommer", F2 and a slow second click open an editor where renaming is allowed.
    n->setFlags(n->flags() | Qt::ItemIsEditable);
    n->setChildIndicatorPolicy(enfants ? QTreeWidgetItem::ShowIndicator
                                       : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return n;
}

void TExploreur::trieArbre() { TreeView1->sortItems(0, Qt::AscendingOrder); }

void TExploreur::ConstruitArbre()
{
    EnConstruction = true;
    TreeView1->setUpdatesEnabled(false);
    TMassif* m = massif();
    // An unnamed massif keeps the designed text; a named one bears its name, with or without
    // sheets. The name is the system's, not the document's.
    const std::string nom = m ? NomRacine(m->NomFichier) : std::string();
    racine_->setText(0, nom.empty() ? QStringLiteral("Massif") : NomDeChemin(nom));
    for (TFiche* f : courantes()) {
        if (!f)
            continue;
        const std::string systeme = f->Systeme.Chaine();
        bool existe = false;
        // The bin is not a system: a system named like it gets a node of its own.
        for (int i = 0; i < racine_->childCount() && !existe; ++i)
            existe = racine_->child(i) != corbeille_ && EgalSansCasse(TexteNoeud(racine_->child(i)), systeme);
        if (!existe)
            nouveauNoeud(racine_, systeme, true);
    }
    TreeView1->setUpdatesEnabled(true);
    trieArbre();
    EnConstruction = false;
    TreeView1Change(racine_);
}

void TExploreur::RemplitNoeud(QTreeWidgetItem* noeud)
{
    if (!noeud || EstCorbeille(noeud))
        return;
    const int niveau = Niveau(noeud);
    if (niveau >= 4)
        return;
    TreeView1->setUpdatesEnabled(false);
    const Adresse a = Localisation_Noeud(noeud);
    for (TFiche* f : FichesDossier(a, niveau)) {
        const std::string nom = PartieAdresse(*f, niveau + 1).Chaine();
        bool existe = false;
        for (int i = 0; i < noeud->childCount() && !existe; ++i)
            existe = noeud->child(i) != corbeille_ && EgalSansCasse(TexteNoeud(noeud->child(i)), nom);
        if (!existe)
            nouveauNoeud(noeud, nom, niveau + 1 < 4);
    }
    TreeView1->setUpdatesEnabled(true);
    trieArbre();
}

void TExploreur::DemandeMiseAJour() { Timer1->start(); }

void TExploreur::Timer1Timer()
{
    Timer1->stop();
    // A rebuild would take a rename editor away from the user: it waits for the editor.
    if (DelegueArbre->EnEdition() || ListView1->EnEdition()) {
        Timer1->start();
        return;
    }
    MiseAJour();
}

void TExploreur::MiseAJour()
{
    struct EtatNoeud {
        int niveau;
        Adresse adresse;
        bool deplie;
    };
    std::vector<EtatNoeud> noeuds;
    std::vector<QTreeWidgetItem*> pile{racine_};
    // Tree order: depth first, children in order.
    std::vector<QTreeWidgetItem*> ordre;
    while (!pile.empty()) {
        QTreeWidgetItem* n = pile.back();
        pile.pop_back();
        ordre.push_back(n);
        for (int i = n->childCount(); i-- > 0;)
            pile.push_back(n->child(i));
    }
    for (QTreeWidgetItem* n : ordre)
        if (!EstCorbeille(n))
            noeuds.push_back({Niveau(n), Adresse{}, n->isExpanded()});
    {
        std::size_t i = 0;
        for (QTreeWidgetItem* n : ordre)
            if (!EstCorbeille(n)) {
                Adresse a;
                for (QTreeWidgetItem* p = n; p && p->parent(); p = p->parent())
                    a[static_cast<std::size_t>(Niveau(p) - 1)] = TexteNoeud(p);
                noeuds[i++].adresse = a;
            }
    }
    QTreeWidgetItem* sel = NoeudSelectionne();
    // The keyboard goes on from the list's current item when its folder is shown again.
    const ListeExplorateur::Repere courant = ListView1->Courant();
    const bool corbeilleChoisie = EstCorbeille(sel);
    const int L = sel ? Niveau(sel) : 0;
    std::vector<std::string> chemin(static_cast<std::size_t>(L));
    for (QTreeWidgetItem* p = sel; p && p->parent(); p = p->parent())
        chemin[static_cast<std::size_t>(Niveau(p) - 1)] = TexteNoeud(p);

    EnConstruction = true;
    NoeudMenu = nullptr;
    TreeView1->setCurrentItem(nullptr);
    TreeView1->setUpdatesEnabled(false);
    TreeView1->clear();
    racine_ = new QTreeWidgetItem(TreeView1, {QStringLiteral("Massif")});
    racine_->setIcon(0, IconeArbre(0));
    TreeView1->setCurrentItem(racine_);
    corbeille_ = new QTreeWidgetItem(racine_, {QStringLiteral("Corbeille")});
    corbeille_->setIcon(0, IconeArbre(2));
    ConstruitArbre();
    EnConstruction = true;
    for (std::size_t i = noeuds.size(); i-- > 0;) {
        const EtatNoeud& t = noeuds[i];
        if (!t.deplie)
            continue;
        QTreeWidgetItem* n = racine_;
        for (int k = 1; n && k <= t.niveau; ++k) {
            if (n->childCount() == 0 || (n == racine_ && n->childCount() == 1))
                RemplitNoeud(n);
            QTreeWidgetItem* suivant = nullptr;
            for (int c = 0; c < n->childCount() && !suivant; ++c)
                if (n->child(c) != corbeille_ && TexteNoeud(n->child(c)) == t.adresse[static_cast<std::size_t>(k - 1)])
                    suivant = n->child(c);
            n = suivant;
        }
        if (n)
            n->setExpanded(true);
    }
    TreeView1->setUpdatesEnabled(true);
    EnConstruction = false;

    if (corbeilleChoisie) {
        SelectionneNoeud(corbeille_);
        ListView1->Retrouve(courant);
        return;
    }
    QTreeWidgetItem* n = racine_;
    int k = 1;
    for (; k <= L; ++k) {
        SelectionneNoeud(n);
        QTreeWidgetItem* suivant = nullptr;
        for (int c = 0; c < n->childCount() && !suivant; ++c)
            if (n->child(c) != corbeille_ && TexteNoeud(n->child(c)) == chemin[static_cast<std::size_t>(k - 1)])
                suivant = n->child(c);
        if (!suivant)
            break;
        n = suivant;
    }
    SelectionneNoeud(n);
    if (k > L)
        ListView1->Retrouve(courant);
}

void TExploreur::TreeView1Change(QTreeWidgetItem* noeud)
{
    if (EnConstruction || !noeud)
        return;
    if (!EnNavigation)
        HistoriqueAvant.clear();
    EnNavigation = false;
    auto h = std::make_unique<TAdresse>();
    if (EstCorbeille(noeud)) {
        h->DansCorbeille = true;
    } else {
        h->Profondeur = Niveau(noeud);
        const Adresse a = Localisation_Noeud(noeud);
        h->Systeme = a[0];
        h->Cavite = a[1];
        h->Reseau = a[2];
        h->Lieu = a[3];
    }
    HistoriqueArriere.push_back(std::move(h));

    ListView1->Vide();
    const int niveau = Niveau(noeud);
    TMassif* m = massif();
    if (EstCorbeille(noeud)) {
        ListView1->TitreTroisieme(QStringLiteral("Emplacement d'origine"));
        if (m)
            for (TFiche* f : m->Corbeille)
                if (f)
                    ListView1->Ajoute(f->Date.str(), 0, "Fiche", f->Adresse(), f);
    } else if (niveau < 4) {
        if (noeud->childCount() == 0)
            RemplitNoeud(noeud);
        ListView1->TitreTroisieme(QStringLiteral("Topographes"));
        for (int i = 0; i < noeud->childCount(); ++i) {
            QTreeWidgetItem* c = noeud->child(i);
            if (EstCorbeille(c))
                ListView1->Ajoute(TexteNoeud(c), 2, "", "", nullptr);
            else
                ListView1->Ajoute(TexteNoeud(c), 1, S(QString::fromUtf8(kTypes[niveau])), "", nullptr);
        }
    } else {
        ListView1->TitreTroisieme(QStringLiteral("Topographes"));
        for (TFiche* f : FichesDossier(Localisation_Noeud(noeud), 4)) {
            std::string topographes;
            for (std::size_t i = 0; i < f->Topographes.size(); ++i) {
                if (i > 0)
                    topographes += "/";
                topographes += f->Topographes[i].Chaine();
            }
            ListView1->Ajoute(f->Date.str(), 0, "Fiche", topographes, f);
        }
    }
    ListView1->Trie();
    ListView1Change();
}

bool TExploreur::ListView1Compare(int a, int b) const
{
    bool plusGrand;
    if (ColonneTri > 0) {
        plusGrand = MajAscii(ListView1->Texte(a, ColonneTri)) > MajAscii(ListView1->Texte(b, ColonneTri));
    } else if (dansLieu()) {
        plusGrand = DateEnNombre(ListView1->Texte(a)) > DateEnNombre(ListView1->Texte(b));
    } else {
        plusGrand = MajAscii(ListView1->Texte(a)) > MajAscii(ListView1->Texte(b));
    }
    return TriCroissant ? plusGrand : !plusGrand;
}

void TExploreur::ListView1ColumnClick(int colonne)
{
    if (colonne == ColonneTri) {
        TriCroissant = !TriCroissant;
    } else {
        ColonneTri = colonne;
        TriCroissant = true;
    }
    ListView1->Trie();
}

// ---- history ----

QTreeWidgetItem* TExploreur::resout(const TAdresse& a)
{
    if (a.DansCorbeille)
        return corbeille_;
    QTreeWidgetItem* n = racine_;
    const std::string parties[4] = {a.Systeme, a.Cavite, a.Reseau, a.Lieu};
    for (int k = 1; n && k <= a.Profondeur && k <= 4; ++k) {
        // A folder that was never opened since the last rebuild has no children yet.
        if (n->childCount() == 0 || (n == racine_ && n->childCount() == 1))
            RemplitNoeud(n);
        QTreeWidgetItem* suivant = nullptr;
        for (int c = 0; c < n->childCount() && !suivant; ++c)
            if (n->child(c) != corbeille_ && TexteNoeud(n->child(c)) == parties[k - 1])
                suivant = n->child(c);
        n = suivant;
    }
    return n;
}

void TExploreur::navigue(std::vector<std::unique_ptr<TAdresse>>& pile)
{
    while (!pile.empty()) {
        std::unique_ptr<TAdresse> a = std::move(pile.back());
        pile.pop_back();
        QTreeWidgetItem* n = resout(*a);
        if (!n)
            continue;
        EnNavigation = true;
        if (n == NoeudSelectionne())
            TreeView1Change(n);
        else
            SelectionneNoeud(n);
        EnNavigation = false;
        return;
    }
}

void TExploreur::Precedent()
{
    if (HistoriqueArriere.size() >= 2) {
        HistoriqueAvant.push_back(std::move(HistoriqueArriere.back()));
        HistoriqueArriere.pop_back();
        navigue(HistoriqueArriere);
    }
}

void TExploreur::Suivant() { navigue(HistoriqueAvant); }

void TExploreur::DossierParent()
{
    QTreeWidgetItem* n = NoeudSelectionne();
    if (!n)
        return;
    if (n->parent()) {
        SelectionneNoeud(n->parent());
    } else {
        const bool e = EnConstruction;
        EnConstruction = true;
        TreeView1->setCurrentItem(nullptr);
        TreeView1->clearSelection();
        EnConstruction = e;
    }
}

// ---- commands ----

void TExploreur::ListView1DblClick()
{
    const int l = ListView1->Selection();
    if (corbeilleOuverte() || l < 0)
        return;
    if (dansLieu()) {
        TFiche* f = ListView1->Fiche(l);
        ListView1->Selectionne(-1);
        if (f)
            hote_.EditeFiche(f, -1, nullptr, 0);
        return;
    }
    if (QTreeWidgetItem* n = Noeud_Equivalent())
        SelectionneNoeud(n);
}

void TExploreur::Editer()
{
    const int l = ListView1->Selection();
    if (l < 0)
        Invite().Message(QString::fromUtf8(kTexteRienDeChoisi), Icone::Aucune, {Bouton::OK});
    else if (corbeilleOuverte())
        Invite().Message(QStringLiteral("Une fiche de la corbeille ne s'ouvre pas : restaurez-la d'abord."),
                         Icone::Aucune, {Bouton::OK});
    else
        ListView1DblClick();
}

void TExploreur::Ouvrir1Click()
{
    if (focus_ == Controle::Arbre) {
        if (NoeudMenu)
            SelectionneNoeud(NoeudMenu);
    } else if (focus_ == Controle::Liste) {
        ListView1DblClick();
    }
}

bool TExploreur::cible(QTreeWidgetItem*& noeud, TFiche*& fiche)
{
    noeud = nullptr;
    fiche = nullptr;
    if (focus_ == Controle::Arbre) {
        noeud = NoeudSelectionne();
    } else if (focus_ == Controle::Liste) {
        const int l = ListView1->Selection();
        if (l < 0)
            noeud = dossierListe();
        else if (TFiche* f = ListView1->Fiche(l))
            fiche = f;
        else if (!dansLieu())
            noeud = Noeud_Equivalent();
    }
    return noeud || fiche;
}

void TExploreur::Proprits1Click()
{
    QTreeWidgetItem* noeud;
    TFiche* fiche;
    if (!cible(noeud, fiche)) {
        Invite().Message(QString::fromUtf8(kTexteRienDeChoisi), Icone::Aucune, {Bouton::OK});
        return;
    }
    TMassif* m = massif();
    if (!m)
        return;
    if (EstCorbeille(noeud)) {
        int n = 0;
        for (TFiche* f : m->Corbeille)
            if (f)
                ++n;
        Invite().Message(QStringLiteral("La corbeille comporte %1 fiches.").arg(n), Icone::Information, {Bouton::OK});
        return;
    }
    ListeFiches liste = fiche ? ListeFiches{fiche} : FichesDossier(Localisation_Noeud(noeud), Niveau(noeud));
    TStatistique s(*m, this);
    s.Fiches = liste;
    s.Montre();
}

void TExploreur::nouvelleSelection(std::unique_ptr<ListeFiches> liste)
{
    TMassif* m = massif();
    m->Selection = std::move(liste);
    m->SelectionActive = true;
    m->FichesCourantes = m->Selection.get();
    m->TrieSelection();
    m->DimensionsAJour = false;
    hote_.RafraichitVues();
    hote_.ActiveRecuperer();
    hote_.TexteEtat(0, QStringLiteral("Sélection"));
    DemandeMiseAJour();
}

void TExploreur::Isoler1Click()
{
    QTreeWidgetItem* noeud;
    TFiche* fiche;
    if (!massif() || !cible(noeud, fiche) || EstCorbeille(noeud))
        return;
    auto l = std::make_unique<ListeFiches>(fiche ? ListeFiches{fiche}
                                                 : FichesDossier(Localisation_Noeud(noeud), Niveau(noeud)));
    nouvelleSelection(std::move(l));
}

void TExploreur::Exclure1Click()
{
    QTreeWidgetItem* noeud;
    TFiche* fiche;
    if (!massif() || !cible(noeud, fiche) || EstCorbeille(noeud))
        return;
    auto l = std::make_unique<ListeFiches>();
    if (fiche) {
        for (TFiche* f : courantes())
            if (f && f != fiche)
                l->push_back(f);
    } else {
        const Adresse a = Localisation_Noeud(noeud);
        const int d = Niveau(noeud);
        for (TFiche* f : courantes()) {
            if (!f)
                continue;
            bool dedans = true;
            for (int k = 1; dedans && k <= d; ++k)
                dedans = EgalSansCasse(PartieAdresse(*f, k).Chaine(), a[static_cast<std::size_t>(k - 1)]);
            if (!dedans)
                l->push_back(f);
        }
    }
    nouvelleSelection(std::move(l));
}

QTreeWidgetItem* TExploreur::dossierCommande()
{
    if (focus_ != Controle::Liste)
        return NoeudSelectionne();
    return ListView1->Selection() >= 0 && !dansLieu() ? Noeud_Equivalent() : dossierListe();
}

void TExploreur::Nouvellefiche1Click()
{
    QTreeWidgetItem* n = dossierCommande();
    if (!massif() || !n || EstCorbeille(n))
        return;
    const int d = Niveau(n);
    const Adresse a = Localisation_Noeud(n);
    // The system from a system down, the cave from a cave, the network from a network; the
    // place, empty above the places, from a system down.
    unsigned champs = 0;
    if (d >= 1)
        champs |= 1u | 8u;
    if (d >= 2)
        champs |= 2u;
    if (d >= 3)
        champs |= 4u;
    Adresse adresse;
    for (int k = 1; k <= d; ++k)
        adresse[static_cast<std::size_t>(k - 1)] = a[static_cast<std::size_t>(k - 1)];
    hote_.EditeFiche(nullptr, 0, &adresse, champs);
}

void TExploreur::Rechercher1Click()
{
    QTreeWidgetItem* n = dossierCommande();
    TMassif* m = massif();
    if (!m || !n || EstCorbeille(n))
        return;
    const Adresse a = Localisation_Noeud(n);
    if (courantes().empty()) {
        Invite().Message(QString::fromUtf8(kTexteAucuneFiche), Icone::Avertissement, {Bouton::OK});
        return;
    }
    m->TrieFiches();
    m->TrieSelection();
    TFiche* choisie = nullptr;
    int galerie = -1;
    if (hote_.RechercheSimple(courantes(), a, {}, -1, choisie, galerie) && choisie) {
        ListView1->Selectionne(-1);
        hote_.EditeFiche(choisie, galerie, nullptr, 0);
    }
}

void TExploreur::PopupMenu1Popup()
{
    QTreeWidgetItem* sel = NoeudSelectionne();
    NoeudMenu = sel;
    const bool bin = EstCorbeille(sel);
    const int niveau = sel ? Niveau(sel) : 0;
    const int l = ListView1->Selection();
    const bool item = l >= 0;
    const bool binItem = item && ListView1->Image(l) == 2;
    const bool clip = PressePapier.Rempli;
    Couper1->setVisible(true);
    Copier1->setVisible(true);
    N2->setVisible(true);
    if (focus_ == Controle::Arbre) {
        Ouvrir1->setVisible(true);
        Rechercher1->setVisible(!bin);
        Vider1->setVisible(bin);
        N1->setVisible(true);
        Coller1->setVisible(clip);
        Restaurer1->setVisible(false);
        Supprimer1->setVisible(!bin && niveau > 0);
        Renommer1->setVisible(!bin && niveau > 0);
        Nouvellefiche1->setVisible(!bin);
        N3->setVisible(!bin);
        Proprits1->setVisible(true);
        Isoler1->setVisible(!bin && niveau > 0);
        Exclure1->setVisible(!bin && niveau > 0);
    } else if (focus_ == Controle::Liste) {
        const bool rechercher = !bin && (!item || (!binItem && niveau < 4));
        Ouvrir1->setVisible(item && !bin);
        Rechercher1->setVisible(rechercher);
        Vider1->setVisible(item && binItem);
        N1->setVisible(Ouvrir1->isVisible() || Rechercher1->isVisible() || Vider1->isVisible());
        Coller1->setVisible(clip);
        Restaurer1->setVisible(bin);
        Supprimer1->setVisible(!bin && niveau > 0);
        Renommer1->setVisible(item && !binItem && niveau < 4 && !bin);
        Nouvellefiche1->setVisible(rechercher);
        Proprits1->setVisible(!item || !bin);
        N3->setVisible(Proprits1->isVisible() && (!item || !binItem));
        Isoler1->setVisible(item && !binItem && !bin);
        Exclure1->setVisible(item && !binItem && !bin);
    }
    // What has nothing to act on is offered greyed: a tree left without a folder by « Parent »
    // on the root, a list without a selected item. The list's own folder is always there.
    const bool liste = focus_ == Controle::Liste;
    for (QAction* a : {Couper1, Copier1, Supprimer1, Restaurer1, Renommer1, Isoler1, Exclure1})
        a->setEnabled(liste ? item : sel != nullptr);
    for (QAction* a : {Ouvrir1, Rechercher1, Coller1, Nouvellefiche1, Proprits1})
        a->setEnabled(liste || sel);
}

void TExploreur::FormActivate()
{
    hote_.TexteEtat(1, QString());
    hote_.MiseAJourMenus();
    DemandeMiseAJour();
}

void TExploreur::AppliqueStyle()
{
    ListView1->FixeStyle(hote_.StyleListe());
    FormResize();
    DessineWeb();
}

}  // namespace karst
