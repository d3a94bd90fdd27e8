#pragma once
// The explorer: the open massif shown as a tree of folders derived from the four address
// texts of its sheets (system, cave, network, place), the sheets of a place in the list
// beside it, the recycle bin, a navigation history, moves with undo, and a plan thumbnail.

#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dialogs/hote_dialogues.h"
#include "survey/liste.h"

class QKeyEvent;
class QListView;
class QSplitter;
class QStackedLayout;
class QStandardItemModel;
class QTimer;
class QTreeView;
class QMenu;
class QAction;

namespace karst {

class CanvasImage;
class TExploreur;

// History entry.
struct TAdresse {
    std::string Systeme, Cavite, Reseau, Lieu;
    bool DansCorbeille = false;
    int Profondeur = 0;
};

// One sheet's part of an undo step.
struct TOrigine {
    int32_t Ordre = 0;
    std::string Systeme, Cavite, Reseau, Lieu;
    bool SortieCorbeille = false;
    bool EstCopie = false;
};

// One undo step.
struct TDeplacement {
    std::vector<TOrigine> Origines;
};

// The explorer's clipboard.
struct TPressePapier {
    Adresse adresse;
    int32_t Ordre = -1;  // -1: a folder
    int Profondeur = 0;
    bool Rempli = false;
    bool DepuisArbre = false;
    bool Couper = false;
};

// The in-place editor of a folder's name. The name confirmed (Enter or a click elsewhere)
// goes to the explorer, not into the item; Escape confirms nothing. When the explorer does not
// take it (false), the editor opens again on the name typed, if its item is still the current one.
class DelegueNom : public QStyledItemDelegate {
public:
    DelegueNom(std::function<bool(const QModelIndex&, const QString&)> valide, QAbstractItemView* vue);
    bool EnEdition() const { return editeurs_ > 0; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editeur, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editeur, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void setModelData(QWidget* editeur, QAbstractItemModel* modele, const QModelIndex& index) const override;

private:
    std::function<bool(const QModelIndex&, const QString&)> valide_;
    QAbstractItemView* vue_;
    mutable int editeurs_ = 0;
};

// The tree control, with the drag and drop of the explorer.
class ArbreExplorateur : public QTreeWidget {
    Q_OBJECT
public:
    explicit ArbreExplorateur(TExploreur& e, QWidget* parent);
    QTreeWidgetItem* Noeud(const QModelIndex& i) const;
    using QTreeWidget::edit;
    bool EnEdition() const { return state() == EditingState; }

protected:
    // F2 and a slow second click on the selected name rename it where "Renommer" may.
    bool edit(const QModelIndex& i, EditTrigger declencheur, QEvent* e) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    TExploreur& e_;
};

// The list control: one model shown as icons or as a list (QListView) or as a report with
// columns (QTreeView), sharing one selection.
class ListeExplorateur : public QWidget {
    Q_OBJECT
public:
    enum Colonne { Nom = 0, Type = 1, Troisieme = 2 };
    enum Role { RoleFiche = Qt::UserRole + 1, RoleImage };
    explicit ListeExplorateur(TExploreur& e, QWidget* parent);

    void Vide();
    void Ajoute(const std::string& nom, int image, const std::string& type, const std::string& troisieme,
                TFiche* fiche);
    int Nombre() const;
    // The selected row, or -1.
    int Selection() const;
    void Selectionne(int ligne);  // -1 deselects
    std::string Texte(int ligne, int colonne = 0) const;
    TFiche* Fiche(int ligne) const;
    int Image(int ligne) const;
    void TitreTroisieme(const QString& titre);
    QString TitreColonne(int colonne) const;
    // 0 large icons, 1 small icons, 2 list, 3 details.
    void FixeStyle(int style);
    int Style() const { return style_; }
    // Sorts the rows with the explorer's comparison (a goes after b when it returns true).
    void Trie();
    void EditeSelection();
    QAbstractItemView* Vue() const;
    QStandardItemModel* Modele() const { return modele_; }
    QListView* VueIcones() const { return icones_; }
    QTreeView* VueDetail() const { return detail_; }
    // The row under a point of the view, or -1.
    int LigneEn(const QPoint& p) const;
    // A rename editor is open.
    bool EnEdition() const;
    // The keyboard acts on the item with the focus frame, as a right click on the item under
    // it: that item is made the selected one.
    void SelectionneCourant();
    // The current item, to be found again (with the focus frame only, as the rebuild leaves
    // nothing selected) once the list is filled anew.
    struct Repere {
        TFiche* fiche = nullptr;
        std::string nom;
        int image = -1;
    };
    Repere Courant() const;
    void Retrouve(const Repere& r);

    bool eventFilter(QObject* o, QEvent* ev) override;

signals:
    void SelectionChangee();

private:
    TExploreur& e_;
    QStandardItemModel* modele_;
    QStackedLayout* pile_;
    QListView* icones_;
    QTreeView* detail_;
    int style_ = 0;
    std::vector<DelegueNom*> delegues_;
    friend class TExploreur;
};

// The thumbnail area: shows its bitmap and hands the mouse to the explorer.
class ZoneWeb : public QWidget {
    Q_OBJECT
public:
    explicit ZoneWeb(TExploreur& e, QWidget* parent);
    CanvasImage& Bitmap() { return *bitmap_; }
    void Redimensionne();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* ev) override;
    void mouseDoubleClickEvent(QMouseEvent* ev) override;

private:
    TExploreur& e_;
    std::unique_ptr<CanvasImage> bitmap_;
};

class TExploreur : public QWidget {
    Q_OBJECT

public:
    enum class Controle { Aucun, Arbre, Liste };

    explicit TExploreur(HoteDialogues& hote, QWidget* parent = nullptr);
    ~TExploreur() override;

    // ---- state ----
    int Curseur = 0;
    int ColonneTri = 0;
    std::vector<std::unique_ptr<TAdresse>> HistoriqueAvant;
    std::vector<std::unique_ptr<TAdresse>> HistoriqueArriere;
    std::vector<std::unique_ptr<TDeplacement>> Annulations;
    QTreeWidgetItem* NoeudMenu = nullptr;
    bool EnNavigation = false;
    bool TriCroissant = true;
    bool EnConstruction = false;
    TPressePapier PressePapier;
    double LimitesWeb[4] = {0, 0, 0, 0};  // Xmin, Xmax, Ymin, Ymax

    // ---- components ----
    ArbreExplorateur* TreeView1 = nullptr;
    DelegueNom* DelegueArbre = nullptr;
    QSplitter* Splitter1 = nullptr;
    ZoneWeb* Zone_web = nullptr;
    ListeExplorateur* ListView1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *Ouvrir1, *Rechercher1, *Vider1, *N1, *Couper1, *Copier1, *Coller1, *N2, *Restaurer1, *Supprimer1,
        *Renommer1, *Nouvellefiche1, *N3, *Proprits1, *Isoler1, *Exclure1;

    // ---- addresses and scans ----
    TFiche* TrouvePremiere(const Adresse& a, int profondeur);
    TFiche* TrouveFiche(const Adresse& a, int profondeur);
    // Every sheet of the folder, in list order.
    ListeFiches FichesDossier(const Adresse& a, int profondeur);
    // The address of a node (empty texts for none, after a message).
    Adresse Localisation_Noeud(QTreeWidgetItem* noeud);
    QTreeWidgetItem* Noeud_Equivalent();
    static int Niveau(const QTreeWidgetItem* noeud);
    QTreeWidgetItem* Racine() const;
    QTreeWidgetItem* NoeudCorbeille() const;
    bool EstCorbeille(const QTreeWidgetItem* n) const { return n && n == corbeille_; }
    QTreeWidgetItem* NoeudSelectionne() const;
    void SelectionneNoeud(QTreeWidgetItem* n);

    // ---- building ----
    void ConstruitArbre();
    void RemplitNoeud(QTreeWidgetItem* noeud);
    Q_INVOKABLE void MiseAJour();
    Q_INVOKABLE void DemandeMiseAJour();
    void Timer1Timer();
    void TreeView1Change(QTreeWidgetItem* noeud);
    // a goes after b (list sort).
    bool ListView1Compare(int a, int b) const;
    void ListView1ColumnClick(int colonne);

    // ---- navigation and commands ----
    Q_INVOKABLE void Precedent();
    Q_INVOKABLE void Suivant();
    Q_INVOKABLE void DossierParent();
    Q_INVOKABLE void ListView1DblClick();
    // The main window's "Editer": the list's selected item, or why there is none to open.
    Q_INVOKABLE void Editer();
    void Ouvrir1Click();
    void Rechercher1Click();
    void Nouvellefiche1Click();
    Q_INVOKABLE void Proprits1Click();
    void Isoler1Click();
    void Exclure1Click();
    void PopupMenu1Popup();

    // ---- moves, undo and bin ----
    Q_INVOKABLE void Supprime();
    // Delete, which puts the selection in the bin as "Supprimer" does.
    static bool TouchePoubelle(const QKeyEvent& k);
    void Restaurer1Click();
    void Restaurer2Click();
    void Vider1Click();
    void Renommer1Click();
    bool TreeView1Editing(QTreeWidgetItem* n) const;
    void TreeView1Edited(QTreeWidgetItem* n, const std::string& texte);
    bool ListView1Editing(int ligne) const;
    void ListView1Edited(int ligne, const std::string& texte);
    // A folder name typed in place among its siblings' names: characters Windows-1252 lacks are
    // asked about before they become '?', and so is the merge with a sibling they would cause.
    // False when the caver goes back to the name.
    bool NomGarde(const QString& texte, const std::vector<std::string>& voisins) const;
    Q_INVOKABLE void Couper();
    Q_INVOKABLE void Copier();
    Q_INVOKABLE void Coller();
    // Drag and drop: the source is the tree or the list; the target a node or a list row.
    bool TreeView1DragOver(Controle source, QTreeWidgetItem* cible);
    void TreeView1DragDrop(Controle source, QTreeWidgetItem* cible);
    bool ListView1DragOver(Controle source, int cible);
    void ListView1DragDrop(Controle source, int cible);
    Q_INVOKABLE void AnnuleDeplacement();

    // ---- thumbnail and layout ----
    Q_INVOKABLE void FormResize();
    Q_INVOKABLE void DessineWeb();
    void ListView1Change();
    void Timer2Timer();
    void Zone_webMouseDown(int x, int y);
    void Zone_webDblClick();
    // Thumbnail width in pixels.
    int LargeurWeb() const;
    // The list style and the page style from the main window.
    Q_INVOKABLE void AppliqueStyle();

    // The control with the keyboard focus among the tree and the list (the last one that
    // took it).
    Controle Focus() const { return focus_; }
    void DonneFocus(Controle c);

    // Called when the window becomes the active child.
    void FormActivate();

    HoteDialogues& Hote() { return hote_; }

protected:
    bool eventFilter(QObject* o, QEvent* ev) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class ListeExplorateur;
    TMassif* massif() { return hote_.Massif(); }
    const ListeFiches& courantes();
    void construitComposants();
    void construitMenu();
    QTreeWidgetItem* nouveauNoeud(QTreeWidgetItem* parent, const std::string& texte, bool enfants);
    void trieArbre();
    // The folder node of a history entry, or null.
    QTreeWidgetItem* resout(const TAdresse& a);
    void navigue(std::vector<std::unique_ptr<TAdresse>>& pile);
    // The open folder is a place.
    bool dansLieu() const;
    bool corbeilleOuverte() const;
    // The folder the list shows: the open one, or the root while « Parent » has left the
    // tree without one.
    QTreeWidgetItem* dossierListe() const;
    // The folder a command works on, as Properties, Isolate and Exclude choose it: a
    // folder node, or a sheet (with null node), or nothing.
    bool cible(QTreeWidgetItem*& noeud, TFiche*& fiche);
    // The folder of New sheet and Search.
    QTreeWidgetItem* dossierCommande();
    void nouvelleSelection(std::unique_ptr<ListeFiches> liste);
    // The end of every change: the massif marked, the computation requested with `calcul`,
    // the tree rebuilt; with `fiches`, the sheet list changed and the views follow.
    void epilogue(bool calcul, bool fiches = false);
    // The order numbers of sheets just freed, which later sheets will be given again: no
    // undo record and no clipboard may name them any more.
    void oublieOrdres(const std::set<int32_t>& ordres);
    // A sheet out of the bin under a new number: the undo records and the clipboard follow it.
    void suitOrdre(int32_t ancien, int32_t nouveau);
    // Records the step and ends the change, unless it changed no sheet; true when recorded.
    bool garde(std::unique_ptr<TDeplacement> pas);
    // Rewrites part `niveau` of the folder's sheets, one record each.
    void renomme(const Adresse& a, int niveau, const std::string& texte);
    // Gives every sheet of the list the target address down to `profondeur`, one record each.
    void deplace(const ListeFiches& fiches, const Adresse& d, int profondeur, TDeplacement& pas);
    void ajouteDeCorbeille(TFiche* f, TDeplacement& pas);
    QTreeWidgetItem* dossierGlisse(Controle source);
    void dessineFiche(CanvasImage& c, const TFiche& f);
    void dessineIcone(CanvasImage& c, int image);
    bool prendPressePapier();
    // Takes the rows of a sheet about to be freed out of the list.
    void oublieFiche(const TFiche* f);
    // Chooses what a cut, copy or delete works on: a folder node or a sheet; false after a
    // refusal or when nothing is chosen.
    bool source(QTreeWidgetItem*& noeud, TFiche*& fiche, const QString& refusCorbeille, const QString& refusRacine,
                const QString& refusDansCorbeille);

    HoteDialogues& hote_;
    QTreeWidgetItem* racine_ = nullptr;
    QTreeWidgetItem* corbeille_ = nullptr;
    Controle focus_ = Controle::Aucun;
};

// The icon `image` (0 sheet, 1 folder, 2 bin, 3 open folder) as a 35 x 35 image on white.
QImage ImageExplorateur(int image);

}  // namespace karst
