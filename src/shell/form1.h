#pragma once
// The main window: the open massif, the option objects and their model files, the
// settings file, the menus, toolbars and status bar, the document commands.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calcul/thread_calcul.h"
#include "saisie/preference_ecran.h"
#include "survey/modele.h"
#include "survey/services_fichier.h"
#include "views/changement.h"
#include "views/graphique.h"
#include "views/options.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTimer;
class QToolBar;

namespace karst {

class TAnimatedImage;
class TDlg_SVG;
class TAfficheur;
class ContexteVues;
class TImprimante;
class IMessagesCalcul;
class IAvisCoupe;
class Recherches;
class TPointTopo;

// A file as it was on disk: device, file number, size, times of change of the data and of
// the inode (zeros for no file), and a mark of its bytes (none when it could not be read).
struct EtatFichier {
    std::array<int64_t, 7> empreinte{};
    std::optional<uint64_t> contenu;
};

class TForm1 : public QMainWindow, public IFenetreMassif, public SuiteChangement {
    Q_OBJECT

public:
    // The two folders default to the user's settings folder and the executable's folder.
    explicit TForm1(const std::string& repUtilisateur = {}, const std::string& repProgramme = {},
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- state ----
    bool SansDocument = true;
    // Set as the window's destruction begins: its children's handlers then do nothing.
    bool EnDestruction = false;
    std::unique_ptr<TMassif> Massif;
    std::string RepProgramme;    // with a trailing '/'
    std::string RepUtilisateur;  // with a trailing '/'
    // False when the settings folder cannot be made: the run keeps the defaults and
    // writes no settings.
    bool ParametresConserves = true;
    TPreference_Ecran PreferenceSaisie;
    TOptions_Tableau OptionsTableau;
    TOptions_Plan OptionsPlan;
    TOptions_Relief OptionsRelief;
    TOptions_Coupe OptionsCoupe;
    bool BulleAucune = false;
    bool BulleCoordonnees = false;
    bool BulleVisees = false;
    bool BulleCommentaires = true;
    bool BulleLargeur = false;
    bool BulleHauteur = false;
    bool BulleDeformation = false;
    std::array<std::string, 3> FichiersRecents;  // newest, middle, oldest
    QPointer<QWidget> VuePlan, VuePerspective, VueCoupe, VueTableau;
    QPointer<QWidget> FenetreExploreur;
    TMarge Marge;
    // The SVG export options, made once: their boxes keep their state for the run.
    TDlg_SVG* Dlg_SVG = nullptr;
    QProgressBar* BarreProgression = nullptr;
    // The last computation started; waited for before the massif is freed.
    std::unique_ptr<TThreadCalcul> ThreadCalcul;
    int32_t Outils_3D_X = 0, Outils_3D_Y = 0;
    int32_t Arreter_X = 0, Arreter_Y = 0;
    // The sheet editor's block at the end of the binary massif files.
    IEditeurSaisie* EditeurSaisie = nullptr;
    // The screen resolution given to the views: fixed, so that drawings are the same on
    // every machine.
    int PixelsParPouce = 96;

    // ---- document commands ----
    // False only when the user chose Cancel (or a save asked for did not happen).
    bool DemandeEnregistrement(bool avecAnnuler);
    void FermeMassif();
    // An empty name starts an unnamed massif. False when the file could not be loaded:
    // then no massif is open.
    bool OuvreMassif(const std::string& nom);
    void AjouteFichierRecent(const std::string& nom);
    void Ouvrir1Click();
    void Fermer1Click();
    // True when the massif was written.
    bool Enregistrer1Click();
    bool Enregistrersous1Click();
    // Copies the massif file to its backup before a save; returns the copy's name, "" when
    // none is made, and in `avis` where it went when that is not beside the file. Throws
    // ErreurFlux when no copy could be made.
    std::string CopieDeSauvegarde(const std::string& nom, std::string& avis) const;
    // Opens a recent file; one that is gone is said so and leaves the list.
    void OuvreRecent(int i);
    // A name given to open: a folder is refused, and a file that is gone unless
    // `absentAdmis` (a new massif of that name), each with a message (`suiteAbsent` added to
    // the one of a file that is gone). True when the name may be opened.
    bool MassifAccessible(const std::string& nom, bool absentAdmis, const QString& suiteAbsent = {});
    // Files dropped on the window (full names).
    void DeposeFichiers(const QStringList& fichiers);
    void Timer2Timer();
    void MetAJourTitre();
    // The open massif's name as the window caption shows it, also before its first save.
    QString NomMassif() const;

    // ---- settings file ----
    void LitParametres(const std::string& chemin);
    void EcritParametres(const std::string& chemin) const;

    // ---- menus ----
    void MiseAJourMenus();
    void Etiquettestexte1Click();
    void AppliqueEtiquettes();
    void Barredtat1Click();
    void Web1Click();
    void StyleListe(int style);  // 0 large icons, 1 small icons, 2 list, 3 details
    void ToolButton18Click();
    void Ouvrirmodle1Click();
    void Enregistrermodle1Click();
    void N6Click();
    // The active child is one of the view windows.
    QWidget* VueActive() const;
    // A command stays disabled until its handler is built; the view windows, the
    // explorer and the dialogs declare theirs here.
    void DeclareCommande(QAction* a)
    {
        disponibles_.insert(a);
        a->setProperty("disponible", true);
    }

    // ---- computation ----
    // 1 when the user asked for the pending quick computation: it is then timed and the
    // massif counts as modified.
    int TagCalculRapide = 0;
    void Calculrapide1Click();
    void Calcul1Click();
    void Arrter1Click();
    void Options1Click();
    void Depart_Calcul_RapideTimer();
    void Depart_Calcul_DetailTimer();
    // The end of the quick computation numbered `numero`, queued to this thread by the
    // worker; a run already ended by the closing of its massif is passed over. `duree`, when
    // given, is the time to show for a run the user asked for.
    void FinCalcul(uint64_t numero, const std::string& duree = {});
    // The same, once no mouse button is held down.
    void FinCalculHorsClic(uint64_t numero, std::string duree = {});
    // How many quick computations were started.
    uint64_t NumeroCalcul() const { return numeroCalcul_; }
    // Brings the stations of the massif up to date in this thread, for a command that reads
    // them: a quick computation under way is ended, then the quick computation runs here.
    // Throws a French message when it cannot (a computation still reporting, the massif
    // closed meanwhile).
    void MetStationsAJour();
    // Held by every save, export and print while it writes: no computation starts and a finished
    // run's results and report wait until the last one is released, so that a file holds
    // the massif as it was when its writing began and no box opens in the middle of it.
    class EcritureMassif {
    public:
        explicit EcritureMassif(TForm1& f) : f_(f) { ++f_.ecritures_; }
        ~EcritureMassif();
        EcritureMassif(const EcritureMassif&) = delete;
        EcritureMassif& operator=(const EcritureMassif&) = delete;

    private:
        TForm1& f_;
    };
    bool MassifEnEcriture() const { return ecritures_ > 0; }
    // What the program starts by itself (a report, the command line's massif) waits while
    // the caver is in a dialog, holds a mouse button or the massif is being written: a box
    // opened then would take the keys typed in the dialog, or swallow the click.
    bool CaverOccupe() const;
    // The deformation warning of the end of a quick computation.
    void AvertitDeformation(bool demandeUtilisateur);
    // What the end of a quick computation tells the caver: the limits it met, the time of a
    // run he asked for, the sheets it could not reach, then the most deformed gallery.
    struct RapportCalcul {
        std::vector<std::string> messages;
        bool utilisateur = false;
        std::string duree;
        bool aucuneAtteinte = false, lacunes = false;
        // The stations were placed, so the deformation is the run's.
        bool place = true;
    };
    void Rapporte(const RapportCalcul& rapport);
    // Shows the report kept while a dialog was open, once none is and no newer run is coming.
    void Rapport_DiffereTimer();
    // Messages, the unreached-gallery choice and the hourglass of the computation.
    IMessagesCalcul& MessagesCalcul();

    // ---- views ----
    // Opens or shows the view window of that kind.
    void OuvreVue(GenreVue genre);
    void Plan1Click() { OuvreVue(GenreVue::Plan); }
    // Every view drawn again (when it shows, else when it comes back), its selection dropped.
    void RafraichitVues();
    void FichesChangees() override;
    void Vue1Click();
    void Branche1Click();
    void Supprimertouteslescoupes1Click();
    void Configurerlimprimante1Click();
    // Shows a sheet, gallery and shot in the view named "Plan", "Coupe" or "Relief".
    void MontrePosition(const std::string& vue, int fiche, int galerie, int point);
    // The active child as a view window, or null.
    TAfficheur* AfficheurActif() const;
    // What the views read from this window.
    ContexteVues& Contexte();
    TImprimante& Imprimante();
    // Replaces the printer (the tests give a recording one).
    void FixeImprimante(std::unique_ptr<TImprimante> imprimante);
    // Print and preview of the active view window.
    void Imprimer1Click();
    void Apercu1Click();
    // A child window that is neither minimised nor maximised made to lie whole inside the
    // window area: smaller when the area is, moved in when it reaches past an edge.
    // `reserve`: the height at the bottom of the area that the window leaves free.
    void GardeDansZone(QMdiSubWindow* s, int reserve = 0);
    // "Mosaïque" (true) or "Cascade", every window kept inside the area, above the row of
    // minimised windows.
    void ArrangeFenetres(bool mosaique);
    // "Réorganiser les icônes": the minimised windows lined up along the bottom edge, in
    // front of the others; returns the height of their row, 0 when there is none.
    int RangeIcones();
    // The view window of that kind, or null.
    TAfficheur* Afficheur(GenreVue genre) const;

    // ---- data, selection and exchange ----
    // After a change of the data: a running computation is stopped, and the quick
    // computation is armed when "Automatique" is ticked (when `automatique` is false, or
    // the item is not ticked, only a running computation is stopped and started again).
    void DemandeCalcul(bool automatique = true) override;
    // A deferred rebuild of the explorer window, when it is there (and not minimised,
    // unless `memeReduite`).
    void DemandeMiseAJourExploreur(bool memeReduite = false);
    // After a change of the sheets the explorer is rebuilt even while minimised.
    void RafraichitExplorateur() override { DemandeMiseAJourExploreur(true); }
    void Importtoporobot1Click();
    void VisualTopo1Click();
    void Exporttoporobot1Click();
    void PLT1Click();
    void ExportVRML1Click();
    // The search windows of the run.
    Recherches& Recherche();
    // The sheet search over `fiches`, its criteria preset with the texts (system, cave,
    // network, place, station; Windows-1252); galerie on entry chooses the result list
    // (-2, -1, other), on true the gallery picked or -1. False when cancelled.
    bool RechercheSimple(const ListeFiches& fiches, const std::array<std::string, 5>& criteres, TFiche*& fiche,
                         int& galerie);
    // The position of the station taken in the choice list, -1 when cancelled.
    int ChoixStation(const std::vector<const TPointTopo*>& stations);
    void Ficheconnue1Click();
    void Slection1Click();
    void Pointsderfrence1Click();
    void Dclinaison1Click();
    // The back half of "Isoler ...": the sheets found become the working selection.
    void IsoleFiches(std::unique_ptr<ListeFiches> trouvees);
    void Rcuprer1Click();
    void Tout1Click();
    // niveau: 1 system, 2 cave, 3 network, 4 place.
    void Systme3Click(int niveau);
    // One of the three "Trier" items.
    void TrieTableau(QAction* item);

    // ---- display settings ----
    void Bulle1Click();
    // The option dialog of a view kind; the view window of that kind is redrawn when the
    // dialog is confirmed. True when confirmed.
    bool ModifieOptions(GenreVue genre);
    // A model file was loaded into the options of that extension: the matching window
    // takes them.
    void AppliqueModele(const QString& extension);

    // ---- closing ----
    bool FormCloseQuery();
    void FormClose();

    // ---- IFenetreMassif ----
    void MontreProgression(bool visible) override;
    void Progression(int pourcent) override;
    void TexteEtat(const TexteUtf8& texte) override;
    void Repeint() override;
    void TraiteMessages() override;
    void ArmeReouvertureEditeur() override;

    // ---- components ----
    QMdiArea* Mdi = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Depart_Calcul_Rapide = nullptr;
    QTimer* Depart_Calcul_Detail = nullptr;
    QTimer* Rapport_Differe = nullptr;
    QToolBar* ToolBar1 = nullptr;  // general
    QToolBar* ToolBar2 = nullptr;  // busy indicator
    QToolBar* ToolBar3 = nullptr;  // explorer
    QToolBar* ToolBar4 = nullptr;  // view
    QComboBox* Boite_Echelle = nullptr;
    QComboBox* Boite_Rapport = nullptr;
    TAnimatedImage* Animation = nullptr;
    std::array<QLabel*, 3> Panneaux{};

    // Menu items and buttons the other windows reach.
    QAction *Nouveau1, *Ouvrir1, *Enregistrer1, *Enregistrersous1, *Fermer1, *Slection1, *Rcuprer1;
    QAction *Tout1, *Systme3, *Cavit3, *Rseau3, *Lieu3;
    QAction *Imprimer1, *Apercu1, *Configurerlimprimante1, *Marges1, *N110, *N210, *N31, *N3, *Quitter1;
    QAction *Annuler1, *Couper1, *Copier1, *Coller1;
    QAction *Gnral1, *Explorateur2, *Vues1, *Etiquettestexte1, *Barredtat1, *Web1;
    QAction *Grandesicnes1, *Petitesicnes1, *Liste1, *Dtail1, *Bulle1;
    QAction *Ordredesaisie1, *Localisation1, *Date1;
    QAction *Explorateur1, *Plan1, *Coupe1, *Relief1, *Tableau1;
    QAction *Nouvellefiche1, *Ficheconnue1, *Pointsderfrence1, *Dclinaison1, *Statistiques1;
    QAction *Importtoporobot1, *VisualTopo1, *Exporttoporobot1, *PLT1, *ExportVRML1, *SVG1;
    QAction *Calculrapide1, *Calcul1, *Arrter1, *Automatique1;
    QAction *Rotation1, *Rotationplane1, *Echelle2, *Pourcent1, *Dformationmax1;
    QAction *Nouvelle1, *Continuer1, *Inverser1, *Dcaler1, *Racrocher1, *Retirer1, *Expert1, *Supprimertouteslescoupes1;
    QAction *Fiche1, *Plan2, *Coupe2, *Perspective1, *Tableau2, *Ouvrirmodle1, *Enregistrermodle1;
    QAction *Mosaque1, *Cascade1, *Rorganiserlesicnes1;
    QAction *Aide1, *Web3, *Email1, *Contribution1, *N6;
    QAction *Web2, *Grandesicnes2, *Petitesicnes2, *Liste2, *Dtail2;
    // Toolbar buttons.
    QAction *BoutonOuvrir, *BoutonEnregistrer, *BoutonImprimer, *BoutonApercu, *BoutonCalculer, *Bouton_Arreter,
        *BoutonExplorer, *BoutonPlan, *BoutonCoupe, *BoutonPerspective, *BoutonTableau;
    QAction *BoutonPrecedente, *BoutonSuivante, *BoutonParent, *BoutonCouper, *BoutonCopier, *BoutonColler,
        *BoutonSupprimer, *BoutonAnnuler, *BoutonEditer, *BoutonProprietes, *ToolButton18, *BoutonRechercher,
        *BoutonReferences, *BoutonDeclinaison;
    QAction *Rotation, *Contrainte, *Couleur, *Zoom;
    QMenu *Massif1, *Edition1, *Affichage1, *Allera1, *Donnees1, *Options1, *Vue1, *Branche1, *Format1, *Fenetre1,
        *Aide0;

signals:
    // A model file was loaded into the options of that extension (".PLA", ...): the
    // matching view redraws.
    void ModeleCharge(const QString& extension);
    // A massif was opened; the explorer window is created on it.
    void MassifOuvert();
    // The explorer's page or list style changed ("Comme une page Web", the list ticks).
    void StyleExplorateur();
    // The massif file carried the sheet editor's unfinished sheet: the editor shows it.
    void ReouvreEditeur();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    // The pop-up menu of the toolbars: the explorer's display settings.
    QMenu* createPopupMenu() override;

private:
    void construitMenus();
    void construitBarres();
    void construitEtat();
    void construitVues();
    void construitCommandes();
    void construitRecherches();
    void installeSuiviBandes();
    // The busy indicator and the stop commands follow a computation run.
    void IndicateurCalcul(bool actif);
    // The computation of the whole massif in this thread, detailed (with its report) or
    // quick; its results are written into the sheets.
    void CalculeIci(bool detaille);
    void chargeModeles();
    // Writes the settings file and the model files; adds the message of each file that
    // could not be written to `echecs`.
    void sauveModeles(std::vector<std::string>& echecs);
    // Enabled when the condition holds and the command is built.
    void active(QAction* a, bool condition);
    QAction* commande(QAction* a);  // declares a built command
    std::string modeleUtilisateur(const char* nom) const;
    // Loads or saves the model of that file's extension; false, after saying so, for
    // another extension.
    bool FichierModele(const std::string& nom, bool charge);
    // A settings file refused at start that `ecrit` (the file a close writes) would
    // replace is remembered; returns what the start message adds about it.
    QString retientRefus(const std::string& fichier, const std::string& ecrit);
    // Before `chemin` is written: a file refused at start goes beside under a name that
    // says so. Throws ErreurFlux when it cannot: then it is not to be written over.
    void gardeRefus(const std::string& chemin);
    // The files refused at start, each with the name it will be kept under.
    std::vector<std::pair<std::string, std::string>> refuses_;

    // The massif file as it was on disk when opened or last written: a save first checks
    // that nothing else wrote it meanwhile.
    EtatFichier empreinteMassif_{};
    // The open massif's file held an unfinished sheet: the one-shot timer shows the editor
    // for it, and for no massif opened after it.
    bool editeurDemande_ = false;
    std::set<QAction*> disponibles_;
    std::unique_ptr<ContexteVues> contexte_;
    std::unique_ptr<TImprimante> imprimante_;
    std::unique_ptr<IMessagesCalcul> messagesCalcul_;
    std::unique_ptr<IAvisCoupe> avisCoupe_;
    std::unique_ptr<Recherches> recherches_;
    // Number of the last quick computation started.
    uint64_t numeroCalcul_ = 0;
    // Saves and exports under way, and the end of a run that came meanwhile (number 0:
    // none), with the time to show for it.
    int ecritures_ = 0;
    uint64_t finDifferee_ = 0;
    std::string dureeDifferee_;
    // The report of the last run that ended while a dialog was open: a newer run's replaces it.
    std::optional<RapportCalcul> rapportDiffere_;
    // A run is going on that "Arrêter" can still stop: from its start to the end of its
    // work, not while its end is reported.
    bool arretPossible_ = false;
    QActionGroup* groupeListe_ = nullptr;
    QActionGroup* groupeListePopup_ = nullptr;
};

}  // namespace karst
