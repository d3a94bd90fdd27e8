#pragma once
// The sheet editor: the shots of every gallery of one survey sheet in a grid, and the
// sheet's place, date, surveyors and declination on a second page. What is typed becomes a
// sheet of the massif only once validated; the unfinished content can travel at the end of
// a binary massif file.

#include <QDialog>
#include <QModelIndex>
#include <QRect>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialogues_saisie.h"
#include "saisie/feuille_saisie.h"
#include "saisie/preference_ecran.h"
#include "survey/modele.h"
#include "survey/services_fichier.h"
#include "views/changement.h"

class QAction;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableWidget;

namespace karst {

// What the editor needs of the main window. The defaults do nothing, for tests and tools.
// After a sheet is stored, the computation request runs and the explorer is rebuilt at
// once when it exists and is maximised (`RafraichitExplorateur`).
class IHoteSaisie : public SuiteChangement {
public:
    virtual ~IHoteSaisie() = default;
    // The open massif, or null.
    virtual TMassif* MassifOuvert() { return nullptr; }
    virtual void MiseAJourMenus() {}
    // The main window's save command.
    virtual void Enregistrer() {}
    // Folders with a trailing '/'.
    virtual std::string RepProgramme() { return {}; }
    virtual std::string RepUtilisateur() { return {}; }
};

class DelegueSaisie;

class TMultPageDlg : public QDialog, public IEditeurSaisie {
    Q_OBJECT
public:
    // `preferences` is the input layout of the run; `hote` may be null (no main window).
    TMultPageDlg(TPreference_Ecran* preferences, IHoteSaisie* hote = nullptr, QWidget* parent = nullptr);
    ~TMultPageDlg() override;

    // ---- state ----
    bool EditionFiche = false;
    TMassif* Massif = nullptr;
    TFiche* Fiche = nullptr;
    TPreference_Ecran* Preferences = nullptr;
    std::vector<std::unique_ptr<TNoeud>> Noeuds;
    std::unique_ptr<TPointTopo> PremierDepart;
    std::unique_ptr<TPointTopo> PointFinal;
    std::unique_ptr<TEco> PremierCommentaire;
    Reel6 PremierCoefficient{1.0L};
    Reel6 PremierCoefTopofil{1.0L};
    int32_t PremiereCouleur = 0;
    bool FinSurPoint = false;
    bool NouvelleFiche = false;
    bool Modifie = false;
    bool GlisseLignes = false;
    int LigneAncre = 0;
    int ColonneSouris = 0;
    // The rows the grid shows: every change goes to them, and the grid is then shown again.
    FeuilleSaisie Feuille;

    // ---- grid ----

    void OuvreFiche(TFiche* fiche, TMassif* massif, int16_t galerie, TPreference_Ecran* preferences);
    void ConstruitGrille(TPreference_Ecran* preferences);
    void ChargeFiche(int galerie);
    void AjouteLigne();
    void InsereStation(int ligne, const QString& marque, const QString& commentaire, const QString& station);
    void AllerCellule(int ligne, int colonne);
    void Efface();
    // Only the gallery state: first start and comment, final station, junctions.
    void EffaceGaleries();
    // Cell access by row, then column.
    QString Cellule(int ligne, int colonne) const;
    void FixeCellule(int ligne, int colonne, const QString& texte);
    int NbLignes() const;
    int NbColonnesGrille() const;
    void FixeNbLignes(int n);
    // The grid row `ligne` taken out, the rows below moving up.
    void RetireLigneGrille(int ligne);
    // Column 0 is the width of the row markers.
    int LargeurColonne(int colonne) const;
    // The width a cell needs to show that text whole.
    int LargeurCellule(const QString& texte) const;
    // A width chosen for the column, as a drag of its title's border gives: the layout takes
    // it when the sheet is finished.
    void FixeLargeurColonne(int colonne, int largeur);
    // The units the list offers in a unit column of that type.
    static QStringList TexteUnites(int type);
    // The current cell: every command acts on the row the cursor shows, however it got there.
    int Ligne() const;
    int Colonne() const;
    void FixeCelluleCourante(int ligne, int colonne);
    // The selected block (the current cell when nothing else is selected).
    QRect SelectionGrille() const;
    void SelectionneLignes(int de, int a);
    int TypeColonne(int colonne) const { return Feuille.TypeColonne(colonne); }
    bool CelluleUnite(int ligne, int colonne) const { return Feuille.CelluleUnite(ligne, colonne); }
    // The rows shown again in the grid: its row count, and every cell whose text differs.
    void MontreFeuille();

    // ---- events ----
    void TabSetClick();
    void TableauViseeClick();
    void TableauViseeDblClick();
    // Enter in the grid.
    void TableauViseeEntree();
    // The cell `pas` columns after (+1) or before (-1) the given one, as Tab and the unit
    // list's arrows go: past the last column to column 2 of the next row, before column 1
    // to the last column of the row above.
    void DeplaceCellule(int ligne, int colonne, int pas);
    void UniteExit();
    // The grid's pop-up menu at that point of the screen, for the cursor's row.
    void MenuGrille(const QPoint& ici);
    // A key typed in the unit list; true when the editor took it. A '-' that may begin a unit
    // waits for the next key: a letter or '°' makes it the unit's, a number takes both on
    // to the next value.
    bool UniteKeyPress(const QKeyEvent& touche);
    void TableauViseeSetEditText(int ligne, int colonne);
    // Writes the cell being typed and the open unit list into the grid, as Enter would:
    // every command, shortcut and close calls it before it acts.
    void TermineSaisieCellule();
    bool CelluleEditable(int ligne, int colonne, bool souris) const
    {
        return Feuille.CelluleEditable(ligne, colonne, souris);
    }
    // A cell of the grid's model, and its rectangle in the grid's viewport.
    QModelIndex IndexCellule(int ligne, int colonne) const;
    QRect RectCellule(int ligne, int colonne) const;

    // ---- validation ----
    bool ValideFiche();

    // ---- commands ----
    void Terminer1Click();
    void Suivante1Click();
    void Annuler1Click();
    void Enregistrer1Click();
    // Shots, at that row.
    void InsereVisee(int ligne);
    void SupprimeVisees(int ligne);
    bool PeutInserer(int stations) const;
    void InserePoint(int ligne);
    void Modifier(int ligne);
    void ModifieDepart(int ligne);
    void ModifieArrivee(int ligne);
    void InformationsGalerie(int ligne);
    void SupprimePoint(int ligne);
    void Continuerenbas1Click();
    void Point1Click();
    void Tableau1Click();
    void PopupMenu1Popup();
    void RangeLargeurs();

    // ---- tools ----
    void Couper1Click();
    void Copier1Click();
    void Coller1Click();
    void Supprimer2Click();
    void Toutcopier1Click();
    // The grid's own cut, copy, paste and delete, on the selected cells when no cell is being
    // typed: the selection as tab-separated lines, and lines pasted from its top left cell.
    // A cut (`unites`) also puts the selected units back to their columns' defaults.
    QString TexteSelection() const;
    void EffaceSelection(bool unites = false);
    void ColleTexte(const QString& texte);
    // The grid as "Tout copier" puts it on the clipboard.
    QString TexteGrille() const;
    void ImporterClick();
    // Pastes spreadsheet lines from the cursor's row, skipping those field numbers.
    void ImporteTexte(const QString& texte, const std::vector<int>& ignores);
    // kind 1 length, 2 azimuth, 3 slope.
    void CorrigeColonne(int quoi);
    // Adds `valeur` to the numbers of the column of that kind, rows `de` to `a`.
    void AjouteValeur(int quoi, const QString& valeur, int de, int a);
    void Button8Click();
    static long double AnneeDecimale(const std::string& date);
    void ListeClick();

    // ---- state block ----
    bool Visible() const override;
    void SauveSaisie(TBufferStream& flux) override;
    void ChargeSaisie(TBufferStream& flux, TMassif& massif) override;
    // Shows the editor again after a load restored its content.
    void Reouvre();

    // ---- components ----
    QMenuBar* Menus;
    QTabBar* TabSet;
    QStackedWidget* Notebook;
    QGroupBox *GroupBox1, *GroupBox2;
    QTableWidget* TableauVisee;
    QComboBox* Unite;
    QLineEdit *Systeme, *Cavite, *Reseau, *Lieu, *Date, *Premiere, *TPST, *Declinaison;
    QComboBox* UniteDecli;
    QPushButton *Button8, *Liste;
    QPlainTextEdit* Topographe;
    QMenu *Fiche1, *Edition1, *Point1, *Tableau1, *PopupMenu1;
    QAction *Terminer1, *Suivante1, *Annuler1, *Enregistrer1;
    QAction *Couper1, *Copier1, *Coller1, *Supprimer2, *Importer, *Toutcopier1;
    QAction *Nouveau1, *Modifier1, *Commentaire1, *Supprimer3;
    QAction *Continuerenbas1, *Insreruneligne1, *Supprimeruneligne1, *CorrigerLongueur1, *CorrigerAzimut1,
        *CorrigerPente1;
    QAction *Importerduntableur1, *Insrerunevise1, *Insrerunpoint1, *CorrigerLongueur2, *CorrigerAzimut2,
        *CorrigerPente2, *Supprimerunevise1, *Supprimerunpoint1;

    // The gallery information dialog, reused.
    TInformations* Informations;
    // The installed station dialog; without one the station commands do nothing.
    IDialoguePoint* DialoguePoint() { return pointInstalle_; }
    void InstalleDialoguePoint(IDialoguePoint* dialogue) { pointInstalle_ = dialogue; }
    // The editor keeps this main-window link for its whole life.
    void PossedeHote(std::unique_ptr<IHoteSaisie> hote)
    {
        hotePossede_ = std::move(hote);
        hote_ = hotePossede_ ? hotePossede_.get() : &sansHote_;
    }

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    // Closing through "Annuler": false keeps the window open.
    bool FormClose();
    void done(int r) override;

private:
    void construitMenus();
    void construitInformations();
    // Refuses a validation: message, cell selected, false.
    bool refuse(const QString& message, Icone icone, int ligne, int colonne);
    // The grid built under a layout of the sheet's own, with two columns for the widths or
    // heights whose values one column would mix; and the warning naming those values.
    void gardeDeuxColonnes(const std::vector<PartieMelee>& melees);
    void ditDeuxColonnes(const std::vector<PartieMelee>& melees) const;
    // Texts holding characters Windows-1252 lacks are named, and the caver stores them with
    // '?' or goes back to the first one (false).
    bool accepteHorsCp1252();
    // The gallery information dialog, until it is cancelled (false) or its comment kept.
    bool MontreInformations();
    // The information page into the sheet; false once refused.
    bool LitInformations(TFiche& fiche);
    // The sheet being edited while the massif still holds it, else null.
    TFiche* FicheEnPlace() const;
    // The checked sheet into the massif, in place of the sheet edited or as a new one.
    void StockeFiche(std::unique_ptr<TFiche> fiche);
    // The number of end rows, or of station rows, in rows 2 to `ligne`.
    int ArriveesAvant(int ligne) const;
    int StationsAvant(int ligne) const;
    void retireLignes(int de, int n);
    // The stored sheet's sequel; `modifie` false: the massif stays saved.
    void apresValidation(bool modifie);
    // Row `ligne` of the rows shown in the grid.
    void montreLigne(int ligne);
    // The selected block of the rows.
    BlocCellules blocSelection() const;
    // A width the program gives a column for a title or a text it shows: while the column
    // keeps it, the layout keeps its own.
    void poseLargeur(int colonne, int largeur);
    // Starts the value cell after the unit cell (ligne, colonne) with a key typed there,
    // after a '-' typed before it when `signe`.
    void valeurSuivante(int ligne, int colonne, const QKeyEvent& touche, bool signe = false);
    // A row added at the bottom when the selection starts on the last row.
    void agrandit();

    IHoteSaisie* hote_;
    IHoteSaisie sansHote_;
    std::unique_ptr<IHoteSaisie> hotePossede_;
    IDialoguePoint* pointInstalle_ = nullptr;
    bool fermetureAcceptee_ = false;
    int lignePression_ = -1;        // row of the last mouse press
    bool clicSurCourante_ = false;  // the last press was on the current cell
    bool pression_ = false;         // a press on the grid has not selected yet
    bool etendBloc_ = false;        // the cursor moves with Shift, extending the block
    // The cell the unit list was opened on: it is written there, wherever the cursor went.
    int uniteLigne_ = -1, uniteColonne_ = -1;
    // A '-' typed in the unit list waits for the next key; the list's text before it.
    bool signeEnAttente_ = false;
    QString avantSigne_;
    DelegueSaisie* delegue_ = nullptr;
    // The width the program gave each column (-1: the layout's own).
    std::vector<int> largeursPosees_;
    // The layout of a sheet restored with two width (or height) columns whose values one
    // column would mix; null when the grid follows `Preferences`.
    std::unique_ptr<TPreference_Ecran> dispositionGardee_;
};

}  // namespace karst
