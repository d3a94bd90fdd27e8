#include "shell/form1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <exception>
#include <filesystem>
#include <system_error>

#include "calcul/drapeaux.h"
#include "dialogs/choix_recherche.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "shell/afficheur.h"
#include "shell/animation.h"
#include "shell/apropos.h"
#include "shell/hote_form1.h"
#include "shell/hote_saisie.h"
#include "shell/icones.h"
#include "survey/coupe.h"
#include "views/contexte.h"

namespace karst {

namespace {

QAction* Item(QMenu* m, const char* nom, const QString& texte, const QKeySequence& raccourci = {},
              bool cochable = false)
{
    auto* a = m->addAction(texte);
    a->setObjectName(QString::fromLatin1(nom));
    if (!raccourci.isEmpty())
        a->setShortcut(raccourci);
    if (cochable) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    return a;
}

QMenu* Sous(QMenu* parent, const char* nom, const QString& texte)
{
    QMenu* m = parent->addMenu(texte);
    m->setObjectName(QString::fromLatin1(nom));
    m->menuAction()->setObjectName(QString::fromLatin1(nom) + QStringLiteral("_Item"));
    return m;
}

QAction* BoutonBarre(QToolBar* b, const char* nom, const QString& texte, const QIcon& icone, const QString& bulle = {},
                     bool bascule = false)
{
    auto* a = b->addAction(icone, texte);
    a->setObjectName(QString::fromLatin1(nom));
    a->setToolTip(bulle.isEmpty() ? texte : bulle);
    a->setCheckable(bascule);
    return a;
}

// A button whose image comes from the desktop's icon theme.
QAction* BoutonTheme(QToolBar* b, const char* nom, const QString& texte, const char* nomTheme,
                     const QString& bulle = {}, bool bascule = false)
{
    return BoutonBarre(b, nom, texte, IconeTheme(nomTheme, texte), bulle, bascule);
}

// The buttons' height is fixed: the icons shrink, then the caption font, until icon and
// caption fit within it.
void LogeBoutons(QToolBar* barre, int hauteur)
{
    const auto tropHaut = [&] {
        for (QToolButton* b : barre->findChildren<QToolButton*>())
            if (b->defaultAction() && b->sizeHint().height() > hauteur)
                return true;
        return false;
    };
    barre->setFont(QFont());
    int icone = barre->style()->pixelMetric(QStyle::PM_ToolBarIconSize, nullptr, barre);
    barre->setIconSize({icone, icone});
    while (tropHaut() && icone > 16) {
        icone -= 2;
        barre->setIconSize({icone, icone});
    }
    QFont police = barre->font();
    while (tropHaut() && police.pointSizeF() > 6) {
        police.setPointSizeF(police.pointSizeF() - 0.5);
        barre->setFont(police);
    }
}

// The button at the end of a toolbar too narrow for its buttons lists those left out in a
// menu: the band keeps its height, where the toolbar would otherwise grow to show them.
class ExtensionBarre : public QObject {
public:
    explicit ExtensionBarre(QToolBar* barre) : QObject(barre), barre_(barre)
    {
        if (auto* bouton = barre->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
            bouton->installEventFilter(this);
            bouton->setToolTip(QStringLiteral("Autres boutons"));
        }
    }

protected:
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick)
            return false;
        auto* bouton = static_cast<QToolButton*>(objet);
        QMenu menu(bouton);
        menu.setObjectName(QStringLiteral("MenuExtension"));
        for (QAction* a : barre_->actions()) {
            QWidget* w = barre_->widgetForAction(a);
            if (!a->isVisible() || (w && w->isVisible()))
                continue;
            if (a->isSeparator()) {
                if (!menu.isEmpty())
                    menu.addSeparator();
            } else if (qobject_cast<QToolButton*>(w)) {
                menu.addAction(a);
            }
        }
        if (!menu.isEmpty())
            menu.exec(bouton->mapToGlobal(QPoint(0, bouton->height())));
        return true;
    }

private:
    QToolBar* barre_;
};

}  // namespace

TForm1::TForm1(const std::string& repUtilisateur, const std::string& repProgramme, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    // Every window of the program carries its icon.
    QApplication::setWindowIcon(IconeProgramme());
    Mdi = new QMdiArea(this);
    Mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(Mdi);
    // A window that holds an OpenGL panel is drawn through OpenGL, and Qt makes a shown
    // window anew, elsewhere on the screen, when the first one comes into it: this one is
    // made so from the start, so that the first switch to 3D leaves it where it is. A
    // display without OpenGL keeps the plain drawing.
    QOpenGLContext essai;
    if (const QString p = QGuiApplication::platformName();
        p != QLatin1String("offscreen") && p != QLatin1String("minimal") && essai.create()) {
        auto* gl = new QOpenGLWidget(this);
        gl->setObjectName(QStringLiteral("SupportOpenGL"));
        gl->hide();
    }
    // A child window dragged partly out of the area can be scrolled back into view.
    Mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(Mdi, &QMdiArea::subWindowActivated, this, [this] { MiseAJourMenus(); });

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    Depart_Calcul_Rapide = new QTimer(this);
    Depart_Calcul_Rapide->setObjectName(QStringLiteral("Depart_Calcul_Rapide"));
    Depart_Calcul_Rapide->setInterval(100);
    Depart_Calcul_Detail = new QTimer(this);
    Depart_Calcul_Detail->setObjectName(QStringLiteral("Depart_Calcul_Detail"));
    Depart_Calcul_Detail->setInterval(1000);
    Rapport_Differe = new QTimer(this);
    Rapport_Differe->setObjectName(QStringLiteral("Rapport_Differe"));
    Rapport_Differe->setInterval(100);

    construitMenus();
    construitBarres();
    construitEtat();
    construitVues();
    InstalleExplorateur(*this);
    InstalleEditeurSaisie(*this);
    construitCommandes();

    // Creation proper.
    setAcceptDrops(true);
    RepProgramme = repProgramme.empty() ? RepertoireProgramme() : repProgramme;
    RepUtilisateur = repUtilisateur.empty() ? RepertoireUtilisateur() : repUtilisateur;
    if (RepProgramme.back() != '/')
        RepProgramme += '/';
    if (RepUtilisateur.back() != '/')
        RepUtilisateur += '/';
    std::error_code erreurDossier;
    std::filesystem::create_directories(RepUtilisateur, erreurDossier);
    ParametresConserves = std::filesystem::is_directory(RepUtilisateur, erreurDossier);
    if (!ParametresConserves)
        // Said once the window is up, so that the box does not come before it.
        QTimer::singleShot(0, this, [this] {
            Invite().Avertissement(QStringLiteral("Le dossier des paramètres %1 ne peut pas être créé.\r"
                                                  "Les paramètres de cette session ne seront pas conservés.")
                                       .arg(NomDeChemin(RepUtilisateur)));
        });
    SansDocument = true;
    CalculEnCours = false;
    ArretCalcul = false;
    chargeModeles();
    AjouteFichierRecent({});
    const std::string ini = TrouveFichier(RepUtilisateur + "Karstomat.ini");
    if (!ini.empty())
        LitParametres(ini);
    MiseAJourMenus();
    MetAJourTitre();
    // Plans print across the sheet; a machine without a printer keeps what it has.
    try {
        Imprimante().FixePaysage(true);
    } catch (const std::exception&) {
    }
    Timer2->setSingleShot(false);
    Timer2->start();
}

TForm1::~TForm1()
{
    // Nothing of this window runs once its destruction has begun: the signals of its
    // children no longer reach it, the scale box leaving the focus applies nothing, and
    // every child goes while the window is still whole.
    EnDestruction = true;
    disconnect(Mdi, nullptr, this, nullptr);
    if (Massif && CalculEnCours)
        ArretCalcul = true;
    ThreadCalcul.reset();
    // The view windows read the massif and this window's options: they go first.
    for (QMdiSubWindow* s : Mdi->subWindowList())
        delete s;
    const QList<QWidget*> enfants = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::vector<QPointer<QWidget>> restants(enfants.begin(), enfants.end());
    for (const QPointer<QWidget>& enfant : restants)
        delete enfant.data();
    if (AvisCoupe() == avisCoupe_.get())
        DefinitAvisCoupe(nullptr);
    Massif.reset();
}

// ---- menus ----

void TForm1::construitMenus()
{
    QMenuBar* barre = menuBar();
    barre->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [&](const char* nom, const QString& texte) {
        QMenu* m = barre->addMenu(texte);
        m->setObjectName(QString::fromLatin1(nom));
        m->menuAction()->setObjectName(QString::fromLatin1(nom) + QStringLiteral("_Item"));
        return m;
    };

    Massif1 = menu("Massif1", QStringLiteral("&Massif"));
    Nouveau1 = Item(Massif1, "Nouveau1", QStringLiteral("&Nouveau ..."), QKeySequence(QStringLiteral("Ctrl+N")));
    Ouvrir1 = commande(Item(Massif1, "Ouvrir1", QStringLiteral("&Ouvrir ..."), QKeySequence(QStringLiteral("Ctrl+O"))));
    Enregistrer1 =
        commande(Item(Massif1, "Enregistrer1", QStringLiteral("&Enregistrer"), QKeySequence(QStringLiteral("Ctrl+S"))));
    Enregistrersous1 = commande(Item(Massif1, "Enregistrersous1", QStringLiteral("Enregistrer &sous ...")));
    Fermer1 = commande(Item(Massif1, "Fermer1", QStringLiteral("&Fermer")));
    Massif1->addSeparator();
    Slection1 = Item(Massif1, "Slection1", QStringLiteral("Iso&ler ..."));
    QMenu* recuperer = Sous(Massif1, "Rcuprer1", QStringLiteral("&Récupérer"));
    Rcuprer1 = recuperer->menuAction();
    Rcuprer1->setObjectName(QStringLiteral("Rcuprer1"));
    Tout1 = Item(recuperer, "Tout1", QStringLiteral("&Tout"));
    Systme3 = Item(recuperer, "Systme3", QStringLiteral("&Système"));
    Cavit3 = Item(recuperer, "Cavit3", QStringLiteral("&Cavité"));
    Rseau3 = Item(recuperer, "Rseau3", QStringLiteral("&Réseau"));
    Lieu3 = Item(recuperer, "Lieu3", QStringLiteral("&Lieu"));
    Massif1->addSeparator();
    Imprimer1 = Item(Massif1, "Imprimer1", QStringLiteral("&Imprimer ..."), QKeySequence(QStringLiteral("Ctrl+P")));
    Apercu1 = Item(Massif1, "Apercu1", QStringLiteral("Aperçu a&vant impression ..."));
    Configurerlimprimante1 = Item(Massif1, "Configurerlimprimante1", QStringLiteral("&Configurer l'imprimante ..."));
    Marges1 = Item(Massif1, "Marges1", QStringLiteral("Mise en &page ..."));
    N3 = Massif1->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    N110 = commande(Item(Massif1, "N110", QStringLiteral("&1")));
    N210 = commande(Item(Massif1, "N210", QStringLiteral("&2")));
    N31 = commande(Item(Massif1, "N31", QStringLiteral("&3")));
    Massif1->addSeparator();
    Quitter1 = commande(Item(Massif1, "Quitter1", QStringLiteral("&Quitter")));

    Edition1 = menu("Edition1", QStringLiteral("&Edition"));
    Annuler1 = Item(Edition1, "Annuler1", QStringLiteral("&Annuler"), QKeySequence(QStringLiteral("Ctrl+Z")));
    Edition1->addSeparator();
    Couper1 = Item(Edition1, "Couper1", QStringLiteral("&Couper"), QKeySequence(QStringLiteral("Ctrl+X")));
    Copier1 = Item(Edition1, "Copier1", QStringLiteral("Co&pier"), QKeySequence(QStringLiteral("Ctrl+C")));
    Coller1 = Item(Edition1, "Coller1", QStringLiteral("C&oller"), QKeySequence(QStringLiteral("Ctrl+V")));

    Affichage1 = menu("Affichage1", QStringLiteral("Afficha&ge"));
    QMenu* barres = Sous(Affichage1, "Barredoutils1", QStringLiteral("Barre d'ou&tils"));
    Gnral1 = commande(Item(barres, "Gnral1", QStringLiteral("&Général"), {}, true));
    Explorateur2 = commande(Item(barres, "Explorateur2", QStringLiteral("E&xplorateur"), {}, true));
    Vues1 = commande(Item(barres, "Vues1", QStringLiteral("&Vues"), {}, true));
    barres->addSeparator();
    Etiquettestexte1 = commande(Item(barres, "Etiquettestexte1", QStringLiteral("&Etiquettes texte"), {}, true));
    Barredtat1 = commande(Item(Affichage1, "Barredtat1", QStringLiteral("&Barre d'état"), {}, true));
    Affichage1->addSeparator();
    Web1 = commande(Item(Affichage1, "Web1", QStringLiteral("Comme une page &Web"), {}, true));
    Affichage1->addSeparator();
    Grandesicnes1 = commande(Item(Affichage1, "Grandesicnes1", QStringLiteral("&Grandes icônes"), {}, true));
    Petitesicnes1 = commande(Item(Affichage1, "Petitesicnes1", QStringLiteral("&Petites icônes"), {}, true));
    Liste1 = commande(Item(Affichage1, "Liste1", QStringLiteral("&Liste"), {}, true));
    Dtail1 = commande(Item(Affichage1, "Dtail1", QStringLiteral("&Détail"), {}, true));
    groupeListe_ = new QActionGroup(this);
    for (QAction* a : {Grandesicnes1, Petitesicnes1, Liste1, Dtail1}) {
        a->setChecked(false);
        groupeListe_->addAction(a);
    }
    Grandesicnes1->setChecked(true);
    Affichage1->addSeparator();
    QMenu* trier = Sous(Affichage1, "Trier1", QStringLiteral("T&rier"));
    Ordredesaisie1 = Item(trier, "Ordredesaisie1", QStringLiteral("&Ordre de saisie"), {}, true);
    Localisation1 = Item(trier, "Localisation1", QStringLiteral("&Localisation"), {}, true);
    Date1 = Item(trier, "Date1", QStringLiteral("&Date"), {}, true);
    auto* groupeTri = new QActionGroup(this);
    for (QAction* a : {Ordredesaisie1, Localisation1, Date1}) {
        a->setChecked(false);
        groupeTri->addAction(a);
    }
    Ordredesaisie1->setChecked(true);
    Affichage1->addSeparator();
    Bulle1 = Item(Affichage1, "Bulle1", QStringLiteral("&Info-bulle ..."));

    Allera1 = menu("Allera1", QStringLiteral("&Aller à"));
    Explorateur1 = Item(Allera1, "Explorateur1", QStringLiteral("&Explorateur"));
    Allera1->addSeparator();
    Plan1 = Item(Allera1, "Plan1", QStringLiteral("&Plan"));
    Coupe1 = Item(Allera1, "Coupe1", QStringLiteral("&Coupe"));
    Relief1 = Item(Allera1, "Relief1", QStringLiteral("Pe&rspective"));
    Tableau1 = Item(Allera1, "Tableau1", QStringLiteral("&Tableau"));

    Donnees1 = menu("Donnes1", QStringLiteral("&Données"));
    Nouvellefiche1 = Item(Donnees1, "Nouvellefiche1", QStringLiteral("&Nouvelle fiche ..."));
    Ficheconnue1 = Item(Donnees1, "Ficheconnue1", QStringLiteral("Rec&hercher une fiche ..."),
                        QKeySequence(QStringLiteral("Ctrl+F")));
    Donnees1->addSeparator();
    Pointsderfrence1 = Item(Donnees1, "Pointsderfrence1", QStringLiteral("&Points de référence ..."));
    Dclinaison1 = Item(Donnees1, "Dclinaison1", QStringLiteral("&Déclinaisons ..."));
    Donnees1->addSeparator();
    QMenu* importer = Sous(Donnees1, "Importer1", QStringLiteral("&Importer"));
    Importtoporobot1 = Item(importer, "Importtoporobot1", QStringLiteral("&Toporobot ..."));
    VisualTopo1 = Item(importer, "VisualTopo1", QStringLiteral("&Visual Topo ..."));
    QMenu* exporter = Sous(Donnees1, "Exporter1", QStringLiteral("&Exporter"));
    Exporttoporobot1 = Item(exporter, "Exporttoporobot1", QStringLiteral("&Toporobot ..."));
    PLT1 = Item(exporter, "PLT1", QStringLiteral("&HPGL ..."));
    ExportVRML1 = Item(exporter, "ExportVRML1", QStringLiteral("&VRML ..."));
    SVG1 = Item(exporter, "SVG1", QStringLiteral("&SVG ..."));
    Donnees1->addSeparator();
    Statistiques1 = Item(Donnees1, "Statistiques1", QStringLiteral("&Statistiques ..."));

    Options1 = menu("Options1", QStringLiteral("&Calcul"));
    Calculrapide1 = Item(Options1, "Calculrapide1", QStringLiteral("&Rapide"));
    Calcul1 = Item(Options1, "Calcul1", QStringLiteral("&Détaillé"));
    Arrter1 = Item(Options1, "Arrter1", QStringLiteral("&Interrompre"));
    Options1->addSeparator();
    Automatique1 = commande(Item(Options1, "Automatique1", QStringLiteral("&Automatique"), {}, true));

    Vue1 = menu("Vue1", QStringLiteral("&Vue"));
    Rotation1 = Item(Vue1, "Rotation1", QStringLiteral("&Tourner ..."));
    Rotationplane1 = Item(Vue1, "Rotationplane1", QStringLiteral("Tourner &horizontalement ..."));
    Echelle2 = Item(Vue1, "Echelle2", QStringLiteral("&Echelle ..."));
    Pourcent1 = Item(Vue1, "Pourcent1", QStringLiteral("&Pourcent ..."));
    Vue1->addSeparator();
    QMenu* couleur = Sous(Vue1, "Couleur1", QStringLiteral("&Couleur"));
    Item(couleur, "Galerie2", QStringLiteral("&Galerie"));
    Item(couleur, "Fiche2", QStringLiteral("&Fiche"));
    Item(couleur, "Lieu4", QStringLiteral("&Lieu"));
    Item(couleur, "Rseau4", QStringLiteral("&Réseau"));
    Item(couleur, "Cavit4", QStringLiteral("&Cavité"));
    Item(couleur, "Systme4", QStringLiteral("&Système"));
    QMenu* isoler = Sous(Vue1, "Isoler1", QStringLiteral("&Isoler"));
    Item(isoler, "Fiche3", QStringLiteral("&Fiche"));
    Item(isoler, "Lieu5", QStringLiteral("&Lieu"));
    Item(isoler, "Rseau5", QStringLiteral("&Réseau"));
    Item(isoler, "Cavit5", QStringLiteral("&Cavité"));
    Item(isoler, "Systme5", QStringLiteral("&Système"));
    Dformationmax1 = Item(Vue1, "Dformationmax1", QStringLiteral("&Déformation max"));

    Branche1 = menu("Branche1", QStringLiteral("&Branche"));
    Nouvelle1 = Item(Branche1, "Nouvelle1", QStringLiteral("&Nouvelle ..."));
    Continuer1 = Item(Branche1, "Continuer1", QStringLiteral("&Continuer ..."));
    Inverser1 = Item(Branche1, "Inverser1", QStringLiteral("&Inverser"));
    Dcaler1 = Item(Branche1, "Dcaler1", QStringLiteral("&Décaler ..."));
    Racrocher1 = Item(Branche1, "Racrocher1", QStringLiteral("Raccroc&her"));
    Retirer1 = Item(Branche1, "Retirer1", QStringLiteral("&Retirer"));
    Branche1->addSeparator();
    Expert1 = Item(Branche1, "Expert1", QStringLiteral("&Approfondir ..."));
    Supprimertouteslescoupes1 =
        Item(Branche1, "Supprimertouteslescoupes1", QStringLiteral("&Supprimer toutes les coupes"));

    Format1 = menu("Format1", QStringLiteral("Forma&t"));
    Fiche1 = Item(Format1, "Fiche1", QStringLiteral("&Fiche ..."));
    Plan2 = Item(Format1, "Plan2", QStringLiteral("&Plan ..."));
    Coupe2 = Item(Format1, "Coupe2", QStringLiteral("&Coupe ..."));
    Perspective1 = Item(Format1, "Perspective1", QStringLiteral("Pe&rspective ..."));
    Tableau2 = Item(Format1, "Tableau2", QStringLiteral("&Tableau ..."));
    Format1->addSeparator();
    Ouvrirmodle1 = commande(Item(Format1, "Ouvrirmodle1", QStringLiteral("&Ouvrir modèle ...")));
    Enregistrermodle1 = commande(Item(Format1, "Enregistrermodle1", QStringLiteral("&Enregistrer modèle ...")));

    Fenetre1 = menu("Fentre1", QStringLiteral("Fe&nêtre"));
    Mosaque1 = commande(Item(Fenetre1, "Mosaque1", QStringLiteral("&Mosaïque")));
    Cascade1 = commande(Item(Fenetre1, "Cascade1", QStringLiteral("&Cascade")));
    Rorganiserlesicnes1 = commande(Item(Fenetre1, "Rorganiserlesicnes1", QStringLiteral("&Réorganiser les icônes")));

    Aide0 = menu("N1", QStringLiteral("?"));
    Aide1 = commande(Item(Aide0, "Aide1", QStringLiteral("&Aide ...")));
    Aide0->addSeparator();
    Web3 = commande(Item(Aide0, "Web3", QStringLiteral("&Web ...")));
    Email1 = commande(Item(Aide0, "Email1", QStringLiteral("&E-mail ...")));
    Contribution1 = commande(Item(Aide0, "Contribution1", QStringLiteral("&Contribution ...")));
    Aide0->addSeparator();
    N6 = commande(Item(Aide0, "N6", QStringLiteral("A &propos ...")));

    // The pop-up menu's twins of the explorer settings.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Web2 = commande(Item(PopupMenu1, "Web2", QStringLiteral("Comme une page &Web"), {}, true));
    PopupMenu1->addSeparator();
    Grandesicnes2 = commande(Item(PopupMenu1, "Grandesicnes2", QStringLiteral("&Grandes icônes"), {}, true));
    Petitesicnes2 = commande(Item(PopupMenu1, "Petitesicnes2", QStringLiteral("&Petites icônes"), {}, true));
    Liste2 = commande(Item(PopupMenu1, "Liste2", QStringLiteral("&Liste"), {}, true));
    Dtail2 = commande(Item(PopupMenu1, "Dtail2", QStringLiteral("&Détail"), {}, true));
    groupeListePopup_ = new QActionGroup(this);
    for (QAction* a : {Grandesicnes2, Petitesicnes2, Liste2, Dtail2}) {
        a->setChecked(false);
        groupeListePopup_->addAction(a);
    }
    Grandesicnes2->setChecked(true);

    // Handlers.
    connect(Ouvrir1, &QAction::triggered, this, &TForm1::Ouvrir1Click);
    connect(Enregistrer1, &QAction::triggered, this, [this] { Enregistrer1Click(); });
    connect(Enregistrersous1, &QAction::triggered, this, [this] { Enregistrersous1Click(); });
    connect(Fermer1, &QAction::triggered, this, &TForm1::Fermer1Click);
    connect(N110, &QAction::triggered, this, [this] { OuvreRecent(0); });
    connect(N210, &QAction::triggered, this, [this] { OuvreRecent(1); });
    connect(N31, &QAction::triggered, this, [this] { OuvreRecent(2); });
    connect(Quitter1, &QAction::triggered, this, &QWidget::close);
    for (QAction* a : {Gnral1, Explorateur2, Vues1})
        connect(a, &QAction::triggered, this, [this] { MiseAJourMenus(); });
    // The menu has already inverted the tick.
    connect(Etiquettestexte1, &QAction::triggered, this, &TForm1::AppliqueEtiquettes);
    // The menus have already inverted the ticks when these run.
    connect(Barredtat1, &QAction::triggered, this, &TForm1::Barredtat1Click);
    connect(Web1, &QAction::triggered, this, &TForm1::Web1Click);
    connect(Web2, &QAction::triggered, this, [this] {
        Web1->setChecked(Web2->isChecked());
        Web1Click();
    });
    const std::array<QAction*, 4> principal{Grandesicnes1, Petitesicnes1, Liste1, Dtail1};
    const std::array<QAction*, 4> popup{Grandesicnes2, Petitesicnes2, Liste2, Dtail2};
    for (int i = 0; i < 4; ++i) {
        connect(principal[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { StyleListe(i); });
        connect(popup[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { StyleListe(i); });
    }
    connect(Ouvrirmodle1, &QAction::triggered, this, &TForm1::Ouvrirmodle1Click);
    connect(Enregistrermodle1, &QAction::triggered, this, &TForm1::Enregistrermodle1Click);
    connect(Mosaque1, &QAction::triggered, this, [this] { ArrangeFenetres(true); });
    connect(Cascade1, &QAction::triggered, this, [this] { ArrangeFenetres(false); });
    connect(Rorganiserlesicnes1, &QAction::triggered, this, [this] { RangeIcones(); });
    connect(Aide1, &QAction::triggered, this, [this] { OuvreAide(RepProgramme + "KARSTOMAT.HLP"); });
    connect(Web3, &QAction::triggered, this, [] { OuvreAdresse(QStringLiteral("https://karstomat.example.org/")); });
    connect(Email1, &QAction::triggered, this,
            [] { OuvreCourriel(QStringLiteral("auteur@karstomat.example.org"), QStringLiteral("Karstomat")); });
    connect(Contribution1, &QAction::triggered, this, [] {
        Invite().Information(QStringLiteral(
            "Karstomat est libre d'utilisation.\rSi vous l'appréciez, une contribution volontaire aide à le faire vivre."));
    });
    connect(N6, &QAction::triggered, this, &TForm1::N6Click);
    for (QMenu* m :
         {Massif1, Edition1, Affichage1, Allera1, Donnees1, Options1, Vue1, Branche1, Format1, Fenetre1, Aide0})
        connect(m, &QMenu::aboutToShow, this, [this] { MiseAJourMenus(); });
}

void TForm1::construitBarres()
{
    PrepareThemeIcones();
    ToolBar1 = addToolBar(QStringLiteral("Général"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    BoutonOuvrir = commande(BoutonTheme(ToolBar1, "BoutonOuvrir", QStringLiteral("Ouvrir"), "document-open"));
    BoutonEnregistrer =
        commande(BoutonTheme(ToolBar1, "BoutonEnregistrer", QStringLiteral("Enregistrer"), "document-save"));
    ToolBar1->addSeparator();
    BoutonImprimer = BoutonTheme(ToolBar1, "BoutonImprimer", QStringLiteral("Imprimer"), "document-print");
    BoutonApercu = BoutonTheme(ToolBar1, "BoutonApercu", QStringLiteral("Aperçu"), "document-print-preview");
    ToolBar1->addSeparator();
    BoutonCalculer = BoutonTheme(ToolBar1, "BoutonCalculer", QStringLiteral("Calculer"), "accessories-calculator",
                                 QStringLiteral("Calcul des coordonnées"));
    Bouton_Arreter = BoutonTheme(ToolBar1, "Bouton_Arreter", QStringLiteral("Arrêter"), "process-stop");
    ToolBar1->addSeparator();
    BoutonExplorer = BoutonTheme(ToolBar1, "BoutonExplorer", QStringLiteral("Explorer"), "system-file-manager");
    BoutonPlan = BoutonBarre(ToolBar1, "BoutonPlan", QStringLiteral("Plan"), IconeDessinee(Dessin::Plan));
    BoutonCoupe = BoutonBarre(ToolBar1, "BoutonCoupe", QStringLiteral("Coupe"), IconeDessinee(Dessin::Coupe));
    BoutonPerspective =
        BoutonBarre(ToolBar1, "BoutonPerspective", QStringLiteral("Perspective"), IconeDessinee(Dessin::Perspective));
    BoutonTableau = BoutonTheme(ToolBar1, "BoutonTableau", QStringLiteral("Tableau"), "x-office-spreadsheet");
    connect(BoutonOuvrir, &QAction::triggered, this, &TForm1::Ouvrir1Click);
    connect(BoutonEnregistrer, &QAction::triggered, this, [this] { Enregistrer1Click(); });

    ToolBar2 = addToolBar(QStringLiteral("Calcul"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    Animation = new TAnimatedImage(ToolBar2);
    Animation->setObjectName(QStringLiteral("Animation"));
    Animation->Standard();
    connect(Animation, &TAnimatedImage::Clic, this, [this] {
        if (BoutonCalculer->isEnabled())
            Calculrapide1->trigger();
    });
    ToolBar2->addWidget(Animation);
    // The band holds the picture and no grip, so that it fits within 30 pixels.
    ToolBar2->setMovable(false);
    ToolBar2->setMaximumWidth(30);

    addToolBarBreak();
    ToolBar3 = addToolBar(QStringLiteral("Explorateur"));
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    BoutonPrecedente = BoutonTheme(ToolBar3, "BoutonPrecedente", QStringLiteral("Précédente"), "go-previous");
    BoutonSuivante = BoutonTheme(ToolBar3, "BoutonSuivante", QStringLiteral("Suivante"), "go-next");
    BoutonParent = BoutonTheme(ToolBar3, "BoutonParent", QStringLiteral("Parent"), "go-up");
    ToolBar3->addSeparator();
    BoutonCouper = BoutonTheme(ToolBar3, "BoutonCouper", QStringLiteral("Couper"), "edit-cut");
    BoutonCopier = BoutonTheme(ToolBar3, "BoutonCopier", QStringLiteral("Copier"), "edit-copy");
    BoutonColler = BoutonTheme(ToolBar3, "BoutonColler", QStringLiteral("Coller"), "edit-paste");
    BoutonSupprimer = BoutonTheme(ToolBar3, "BoutonSupprimer", QStringLiteral("Supprimer"), "edit-delete");
    BoutonAnnuler = BoutonTheme(ToolBar3, "BoutonAnnuler", QStringLiteral("Annuler"), "edit-undo");
    ToolBar3->addSeparator();
    BoutonEditer = BoutonTheme(ToolBar3, "BoutonEditer", QStringLiteral("Editer"), "accessories-text-editor");
    BoutonProprietes = BoutonTheme(ToolBar3, "BoutonProprietes", QStringLiteral("Propriétés"), "document-properties");
    ToolButton18 =
        commande(BoutonBarre(ToolBar3, "ToolButton18", QStringLiteral("Affichage"), IconeDessinee(Dessin::Affichage)));
    ToolBar3->addSeparator();
    BoutonRechercher = BoutonTheme(ToolBar3, "BoutonRechercher", QStringLiteral("Rechercher"), "edit-find");
    BoutonReferences =
        BoutonBarre(ToolBar3, "BoutonReferences", QStringLiteral("Références"), IconeDessinee(Dessin::References));
    BoutonDeclinaison =
        BoutonBarre(ToolBar3, "BoutonDeclinaison", QStringLiteral("Déclinaison"), IconeDessinee(Dessin::Declinaison));
    connect(ToolButton18, &QAction::triggered, this, &TForm1::ToolButton18Click);

    addToolBarBreak();
    ToolBar4 = addToolBar(QStringLiteral("Vues"));
    ToolBar4->setObjectName(QStringLiteral("ToolBar4"));
    auto* etiquette = new QLabel(QStringLiteral("Ec&helle"), ToolBar4);
    etiquette->setObjectName(QStringLiteral("Label1"));
    ToolBar4->addWidget(etiquette);
    Boite_Echelle = new QComboBox(ToolBar4);
    Boite_Echelle->setObjectName(QStringLiteral("Boite_Echelle"));
    Boite_Echelle->setEditable(true);
    Boite_Echelle->addItems({QStringLiteral("100"), QStringLiteral("250"), QStringLiteral("500"),
                             QStringLiteral("1000"), QStringLiteral("2500"), QStringLiteral("5000"),
                             QStringLiteral("10000"), QStringLiteral("25000")});
    Boite_Echelle->setCurrentText(QStringLiteral("500"));
    etiquette->setBuddy(Boite_Echelle);
    ToolBar4->addWidget(Boite_Echelle);
    Boite_Rapport = new QComboBox(ToolBar4);
    Boite_Rapport->setObjectName(QStringLiteral("Boite_Rapport"));
    Boite_Rapport->addItems({QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"),
                             QStringLiteral("100%"), QStringLiteral("200%"), QStringLiteral("400%")});
    Boite_Rapport->setCurrentText(QStringLiteral("100%"));
    ToolBar4->addWidget(Boite_Rapport);
    Rotation = BoutonTheme(ToolBar4, "Rotation", QStringLiteral("Rotation"), "object-rotate-right", {}, true);
    Contrainte = BoutonBarre(ToolBar4, "Contrainte", QStringLiteral("Contrainte"), IconeDessinee(Dessin::Contrainte),
                             QStringLiteral("Contraintes"), true);
    Couleur = BoutonBarre(ToolBar4, "Couleur", QStringLiteral("Couleur"), IconeDessinee(Dessin::Couleurs),
                          QStringLiteral("Couleurs"), true);
    // At most one of the three is down, and all may be up.
    auto* outils = new QActionGroup(this);
    outils->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {Rotation, Contrainte, Couleur})
        outils->addAction(a);
    ToolBar4->addSeparator();
    Zoom = BoutonTheme(ToolBar4, "Zoom", QStringLiteral("Zoom"), "zoom-in", {}, true);

    for (QToolBar* b : {ToolBar1, ToolBar3, ToolBar4}) {
        b->setMaximumHeight(45);
        new ExtensionBarre(b);
    }
    // The design state: labels shown.
    AppliqueEtiquettes();
}

void TForm1::construitEtat()
{
    QStatusBar* etat = statusBar();
    etat->setObjectName(QStringLiteral("StatusBar1"));
    etat->setSizeGripEnabled(false);
    const int largeurs[3] = {200, 300, 50};
    for (int i = 0; i < 3; ++i) {
        auto* p = new QLabel(etat);
        p->setObjectName(QStringLiteral("Panel%1").arg(i));
        p->setFixedWidth(largeurs[i]);
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        etat->addWidget(p);
        Panneaux[static_cast<std::size_t>(i)] = p;
    }
    BarreProgression = new QProgressBar(etat);
    BarreProgression->setObjectName(QStringLiteral("BarreProgression"));
    BarreProgression->setRange(0, 100);
    BarreProgression->setTextVisible(false);
    BarreProgression->setGeometry(210, 5, 150, 10);
    BarreProgression->hide();
}

QAction* TForm1::commande(QAction* a)
{
    DeclareCommande(a);
    return a;
}

void TForm1::active(QAction* a, bool condition) { a->setEnabled(condition && disponibles_.count(a) > 0); }

QWidget* TForm1::VueActive() const
{
    QMdiSubWindow* s = Mdi->activeSubWindow();
    QWidget* w = s ? s->widget() : nullptr;
    if (!w)
        return nullptr;
    for (const QPointer<QWidget>& v : {VuePlan, VueCoupe, VuePerspective, VueTableau})
        if (v == w)
            return w;
    return nullptr;
}

void TForm1::MiseAJourMenus()
{
    const bool ouvert = Massif != nullptr;
    QWidget* vue = VueActive();
    const bool vueActive = vue != nullptr;
    const bool projection = vueActive && vue != VueTableau;
    const bool explorateur = FenetreExploreur && !FenetreExploreur->isMinimized();

    for (QAction* a : {Imprimer1, Apercu1, BoutonImprimer, BoutonApercu})
        active(a, ouvert && vueActive);
    for (QAction* a : {Mosaque1, Cascade1, Rorganiserlesicnes1})
        active(a, vueActive);
    for (QAction* a : {Slection1, Enregistrer1, BoutonEnregistrer, Enregistrersous1, Fermer1, Calcul1, Calculrapide1,
                       BoutonCalculer})
        active(a, ouvert);
    active(SVG1, projection);
    for (QAction* a : {Explorateur1, Tableau1, Plan1, Coupe1, Relief1, BoutonExplorer, BoutonTableau, BoutonPlan,
                       BoutonCoupe, BoutonPerspective, Statistiques1})
        active(a, ouvert);
    Donnees1->setEnabled(ouvert);
    Donnees1->menuAction()->setEnabled(ouvert);
    for (QAction* a : {Nouvellefiche1, Ficheconnue1, Pointsderfrence1, Dclinaison1, Importtoporobot1, VisualTopo1,
                       Exporttoporobot1, PLT1, ExportVRML1, BoutonRechercher, BoutonReferences, BoutonDeclinaison})
        active(a, ouvert);
    Vue1->menuAction()->setEnabled(ouvert && vueActive);
    Branche1->menuAction()->setEnabled(ouvert && vueActive);
    for (QAction* a : {Annuler1, Couper1, Copier1, Coller1})
        active(a, ouvert && explorateur);
    for (QAction* a : {BoutonPrecedente, BoutonSuivante, BoutonParent, BoutonCouper, BoutonCopier, BoutonColler,
                       BoutonSupprimer, BoutonAnnuler, BoutonEditer, BoutonProprietes})
        active(a, ouvert && explorateur);
    // Commands that depend on nothing but their own window being built.
    for (QAction* a : {Nouveau1, Configurerlimprimante1, Marges1, Bulle1, Fiche1, Plan2, Coupe2, Perspective1, Tableau2,
                       Expert1, Supprimertouteslescoupes1, Ordredesaisie1, Localisation1, Date1})
        active(a, true);
    active(Arrter1, arretPossible_);
    active(Bouton_Arreter, arretPossible_);

    // Toolbar bands.
    ToolBar1->setVisible(Gnral1->isChecked());
    ToolBar3->setVisible(ouvert && explorateur && Explorateur2->isChecked());
    ToolBar4->setVisible(ouvert && vueActive && Vues1->isChecked());
}

// ---- display settings ----

QMenu* TForm1::createPopupMenu()
{
    auto* m = new QMenu(this);
    m->addActions(PopupMenu1->actions());
    return m;
}

void TForm1::Etiquettestexte1Click()
{
    Etiquettestexte1->setChecked(!Etiquettestexte1->isChecked());
    AppliqueEtiquettes();
}

void TForm1::AppliqueEtiquettes()
{
    const bool coche = Etiquettestexte1->isChecked();
    struct Taille {
        QToolBar* barre;
        int avec[3];
        int sans[3];
    };
    const Taille tailles[] = {{ToolBar1, {45, 40, 65}, {35, 30, 40}},
                              {ToolBar3, {45, 40, 75}, {35, 30, 40}},
                              {ToolBar4, {45, 40, 67}, {35, 30, 40}}};
    for (const Taille& t : tailles) {
        const int* v = coche ? t.avec : t.sans;
        t.barre->setToolButtonStyle(coche ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        t.barre->setFixedHeight(v[0]);
        // The design width is a least: a longer caption widens its button rather than
        // being cut short.
        for (QToolButton* b : t.barre->findChildren<QToolButton*>()) {
            // The band's extension button keeps the size its toolbar gives it.
            if (!b->defaultAction())
                continue;
            b->setFixedHeight(v[1]);
            b->setMinimumWidth(v[2]);
            b->setMaximumWidth(QWIDGETSIZE_MAX);
        }
        LogeBoutons(t.barre, v[1]);
    }
    MiseAJourMenus();
}

void TForm1::Barredtat1Click() { statusBar()->setVisible(Barredtat1->isChecked()); }

void TForm1::Web1Click()
{
    Web2->setChecked(Web1->isChecked());
    emit StyleExplorateur();
}

void TForm1::StyleListe(int style)
{
    const std::array<QAction*, 4> principal{Grandesicnes1, Petitesicnes1, Liste1, Dtail1};
    const std::array<QAction*, 4> popup{Grandesicnes2, Petitesicnes2, Liste2, Dtail2};
    const auto i = static_cast<std::size_t>(style & 3);
    principal[i]->setChecked(true);
    popup[i]->setChecked(true);
    emit StyleExplorateur();
}

void TForm1::ToolButton18Click()
{
    const std::array<QAction*, 4> popup{Grandesicnes2, Petitesicnes2, Liste2, Dtail2};
    for (int i = 0; i < 4; ++i)
        if (popup[static_cast<std::size_t>(i)]->isChecked()) {
            StyleListe((i + 1) % 4);
            return;
        }
    StyleListe(0);
}

void TForm1::N6Click()
{
    TApropos a(this);
    ExecuteModal(a);
}

// ---- status and progress for the massif files ----

void TForm1::MontreProgression(bool visible)
{
    BarreProgression->setValue(0);
    BarreProgression->setVisible(visible);
}

void TForm1::Progression(int pourcent) { BarreProgression->setValue(pourcent); }

void TForm1::TexteEtat(const TexteUtf8& texte) { Panneaux[0]->setText(TexteEcran(texte)); }

void TForm1::Repeint() { repaint(); }

void TForm1::TraiteMessages() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void TForm1::ArmeReouvertureEditeur()
{
    editeurDemande_ = true;
    Timer2->start();
}

void TForm1::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    Panneaux[1]->setFixedWidth(std::max(0, width() - 333));
}

// ---- closing ----

bool TForm1::FormCloseQuery()
{
    return Invite().Message(QStringLiteral("Quitter Karstomat ?"), Icone::Confirmation, {Bouton::Oui, Bouton::Non}) ==
           Bouton::Oui;
}

void TForm1::FormClose()
{
    FermeMassif();
    BarreProgression->hide();
    if (!ParametresConserves)
        return;
    // A full disk or a read-only folder fails every file alike: one box lists them all.
    std::vector<std::string> echecs;
    sauveModeles(echecs);
    if (echecs.empty())
        return;
    QString texte = echecs.size() == 1 ? QStringLiteral("Ce fichier de paramètres n'a pas pu être enregistré :")
                                       : QStringLiteral("Ces fichiers de paramètres n'ont pas pu être enregistrés :");
    for (const std::string& e : echecs)
        texte += QStringLiteral("\r") + QString::fromStdString(e);
    Invite().Erreur(texte);
}

void TForm1::closeEvent(QCloseEvent* e)
{
    // The save question may still cancel the quit: nothing is lost on "Annuler".
    if (!FormCloseQuery() || !DemandeEnregistrement(true)) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

}  // namespace karst
