#include "shell/afficheur.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "formulaires/controles.h"
#include "platform/canvas.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "scene3d/scene.h"
#include "shell/form1.h"
#include "shell/outils_3d.h"
#include "survey/nombres.h"
#include "views/coupe_vue.h"
#include "views/plan.h"
#include "views/tableau.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

// Thickness of the scroll bars plus one.
constexpr int kBarre = 18;
// Above this many pixels of drawing, a scroll-bar unit stands for several pixels.
constexpr int kMaxDefilement = 32000;

int Facteur(int taille) { return taille <= kMaxDefilement ? 1 : taille / kMaxDefilement + 1; }

// Why a massif that has galleries shows none of them, or "" once one is placed: an empty
// drawing must not look like a fault of the view.
QString RaisonRienPlace(const TMassif& m)
{
    bool galeries = false;
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries) {
            if (g->Placee)
                return {};
            galeries = true;
        }
    if (!galeries)
        return {};
    if (m.References.empty())
        return QStringLiteral("Rien n'est placé : le massif n'a pas de point de référence.");
    for (const TPointTopo* r : m.References)
        for (const TFiche* f : m.Fiches)
            for (const TGalerie* g : f->Galeries)
                if (r->Egal(g->Depart) || r->Egal(g->Arrivee))
                    return QStringLiteral("Rien n'est placé : le calcul n'est pas encore fait.");
    return QStringLiteral("Rien n'est placé : aucune fiche atteinte, vérifiez les points de références.");
}

}  // namespace

TImageVue::TImageVue(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TImageVue::paintEvent(QPaintEvent*)
{
    if (!bitmap_)
        return;
    QPainter p(this);
    p.drawImage(0, 0, bitmap_->Image());
}

TAfficheur::TAfficheur(TForm1& form, QWidget* parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("Afficheur"));
    setWindowTitle(QStringLiteral("Afficheur"));
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setAttribute(Qt::WA_DeleteOnClose);

    PanelFond = new QWidget(this);
    PanelFond->setObjectName(QStringLiteral("PanelFond"));
    PanelFond->setAutoFillBackground(true);
    QPalette pal = PanelFond->palette();
    pal.setColor(QPalette::Window, Qt::white);
    PanelFond->setPalette(pal);
    Image2 = new TImageVue(PanelFond);
    Image2->setObjectName(QStringLiteral("Image2"));
    // The drawing takes the keyboard, for its scrolling keys.
    Image2->setFocusPolicy(Qt::StrongFocus);
    Support_OpenGL = new QWidget(this);
    Support_OpenGL->setObjectName(QStringLiteral("Support_OpenGL"));
    Support_OpenGL->hide();
    Barre_Horizontale = new QScrollBar(Qt::Horizontal, this);
    Barre_Horizontale->setObjectName(QStringLiteral("Barre_Horizontale"));
    Barre_Verticale = new QScrollBar(Qt::Vertical, this);
    Barre_Verticale->setObjectName(QStringLiteral("Barre_Verticale"));
    Barre_Verticale->setSingleStep(10);
    Barre_Verticale->setPageStep(50);
    for (QScrollBar* barre : {Barre_Horizontale, Barre_Verticale}) {
        connect(barre, &QScrollBar::valueChanged, this, [this] { Defilement(); });
        // A click in the track moves by 95 % of the view, keeping a strip of what was seen.
        connect(barre, &QScrollBar::actionTriggered, this, [barre](int action) {
            const int pas = RoundEntier(barre->pageStep() * 0.95L);
            if (action == QAbstractSlider::SliderPageStepAdd)
                barre->setSliderPosition(barre->value() + pas);
            else if (action == QAbstractSlider::SliderPageStepSub)
                barre->setSliderPosition(barre->value() - pas);
        });
    }

    // Mouse tools, tooltip and pop-up menu on the image and on the window around it.
    Image2->setMouseTracking(true);
    setMouseTracking(true);
    PanelFond->setMouseTracking(true);
    connect(Image2, &TImageVue::Appui, this, &TAfficheur::Appui);
    connect(Image2, &TImageVue::Mouvement, this, &TAfficheur::Image2MouseMove);
    connect(Image2, &TImageVue::Relache, this, &TAfficheur::Relache);
    connect(Image2, &TImageVue::DoubleClic, this, &TAfficheur::Image2DblClick);
    connect(Image2, &TImageVue::Molette, this, &TAfficheur::Molette);
    Image2->installEventFilter(this);
    // Menus and dialogs opening anywhere hide the tooltip.
    qApp->installEventFilter(this);
    PopupMenu1 = new QMenu(this);
    ConstruitMenuVue(*this, PopupMenu1);

    auto minuterie = [this](const char* nom, int ms, void (TAfficheur::*action)()) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(nom));
        t->setInterval(ms);
        connect(t, &QTimer::timeout, this, action);
        return t;
    };
    Timer1 = minuterie("Timer1", 1000, &TAfficheur::Timer1Timer);
    Deplacement = minuterie("Deplacement", 250, &TAfficheur::DeplacementTimer);
    Debut_3D = minuterie("Debut_3D", 100, &TAfficheur::Debut_3DTimer);
    CaTourne = minuterie("CaTourne", 100, &TAfficheur::CaTourneTimer);
    DelaiHint = minuterie("DelaiHint", 1000, &TAfficheur::DelaiHintTimer);
    Timer1->start();

    // Creation proper.
    resize(818, 618);
    SansDessin = false;
    Rapport = 1.0L;
    Bitmap = std::make_unique<CanvasImage>(std::max(1, Image2->width()), std::max(1, Image2->height()),
                                           form_.PixelsParPouce);
    Image2->FixeBitmap(Bitmap.get());
    SelectionValide = false;
    SaisieEchelle = false;
    PasRotation = QStringLiteral("10");
    QResizeEvent e(size(), size());
    resizeEvent(&e);
}

TAfficheur::~TAfficheur()
{
    CacheBulle();
    if (Graphique && Graphique->Genre() == GenreVue::Perspective) {
        // The view goes first, so that the palette's handlers find nothing left to switch.
        const std::unique_ptr<TGraphique> vue = std::move(Graphique);
        TOutils_3D& outils = Outils3D(form_);
        outils.OpenGL->setChecked(false);
        outils.hide();
        form_.Outils_3D_X = outils.x();
        form_.Outils_3D_Y = outils.y();
        // A rotation running on this window ends with it, its stop window too.
        if (CaTourne->isActive())
            Arret(form_).hide();
        CaTourne->stop();
        outils.setEnabled(true);
    }
    Graphique.reset();
}

bool TAfficheur::Mode3D() const { return !Support_OpenGL->isHidden(); }

TPerspective* TAfficheur::Perspective() const { return Graphique ? Graphique->Perspective() : nullptr; }

TPlan* TAfficheur::Plan() const { return Graphique ? Graphique->Plan() : nullptr; }

GenreVue TAfficheur::Genre() const { return Graphique ? Graphique->Genre() : GenreVue::Plan; }

uint16_t TAfficheur::OutilSouris() const
{
    if (form_.Rotation->isChecked())
        return ModeRotation;
    if (form_.Couleur->isChecked())
        return ModeCouleur;
    if (form_.Contrainte->isChecked())
        return ModeContrainte;
    return ModeNormal;
}

void TAfficheur::Initialise(GenreVue genre)
{
    std::unique_ptr<TGraphique> vue;
    QString titre, icone;
    int aide = 0;
    switch (genre) {
    case GenreVue::Plan: {
        auto plan = std::make_unique<TPlan>(form_.Contexte());
        plan->Tourne(static_cast<double>(form_.OptionsPlan.Angle));
        vue = std::move(plan);
        titre = QStringLiteral("Plan");
        icone = QStringLiteral("TOPO.ICO");
        aide = 9;
        break;
    }
    case GenreVue::Coupe:
        icone = QStringLiteral("COUPE.ICO");
        vue = std::make_unique<TCoupe>(form_.Contexte());
        titre = QStringLiteral("Coupe");
        aide = 10;
        break;
    case GenreVue::Perspective: {
        auto perspective = std::make_unique<TPerspective>(form_.Contexte());
        perspective->Tourne(static_cast<double>(form_.OptionsRelief.Angle_Horizontal),
                            static_cast<double>(form_.OptionsRelief.Angle_Vertical));
        vue = std::move(perspective);
        titre = QStringLiteral("Perspective");
        icone = QStringLiteral("RELIEF.ICO");
        aide = 11;
        TOutils_3D& outils = Outils3D(form_);
        outils.OpenGL->setChecked(false);
        outils.stereo->setChecked(false);
        outils.adjustSize();
        int haut = form_.Outils_3D_Y;
        if (haut == 0) {
            haut = form_.height() - outils.frameGeometry().height() - 10;
            if (form_.Barredtat1->isChecked())
                haut -= form_.statusBar()->height();
        }
        const int gauche =
            form_.Outils_3D_X != 0 ? form_.Outils_3D_X : (form_.width() - outils.frameGeometry().width()) / 2;
        outils.move(gauche, haut);
        // A place remembered from another screen, or from a bigger one, is brought back.
        GardeDansEcran(outils);
        break;
    }
    case GenreVue::Tableau:
        vue = std::make_unique<TTableau>(form_.Contexte());
        titre = QStringLiteral("Tableau");
        icone = QStringLiteral("TABLEAU.ICO");
        aide = 12;
        break;
    }
    setWindowTitle(titre);
    setProperty("HelpContext", aide);
    // A missing or unreadable icon leaves the default one.
    const QString fichier = QString::fromStdString(form_.RepProgramme) + icone;
    if (QFileInfo::exists(fichier)) {
        const QIcon i(fichier);
        if (!i.isNull())
            setWindowIcon(i);
    }
    InitialiseVue(std::move(vue));
}

void TAfficheur::InitialiseVue(std::unique_ptr<TGraphique> vue)
{
    Graphique = std::move(vue);
    if (Graphique) {
        const bool tableau = Genre() == GenreVue::Tableau;
        if (tableau)
            Graphique->Echelle = 0;
        // The first fit measures what the first drawing shows: on a massif just opened,
        // the stations and the section's abscissae are laid out first.
        PlacePoints(tableau || Genre() == GenreVue::Coupe);
        const double pxParMm = form_.PixelsParPouce / 25.4;
        Graphique->Dimensions(Largeur, Hauteur, pxParMm, static_cast<double>(Rapport), *Bitmap);
        if (!tableau)
            Ajuste();
        coupeVide_ = CoupeVide();
    }
    FormActivate();
    Redessine();
}

void TAfficheur::Ajuste()
{
    // A window with no room left, or a drawing of no width, keeps its scale.
    const int w = width() - kBarre, h = height() - kBarre;
    if (Largeur <= 1 || w <= 0 || h <= 0)
        return;
    const float fx = static_cast<float>(Largeur) / static_cast<float>(w);
    const float fy = static_cast<float>(Hauteur) / static_cast<float>(h);
    const long double f = fx > fy ? fx : fy;
    auto borne = [](long double e) {
        return static_cast<int32_t>(std::clamp<long double>(e, 1, std::numeric_limits<int32_t>::max()));
    };
    Graphique->Echelle = borne(Round(static_cast<long double>(Graphique->Echelle) * f * 1.1L));

    // The drawing's border keeps its width in millimetres whatever the scale, so the cave
    // shrunk to leave a tenth of the window free can still overflow it by a few pixels:
    // the scale goes on rising, by what overflows, until the whole drawing fits. A
    // drawing that does not shrink with the scale keeps the first one.
    const double pxParMm = form_.PixelsParPouce / 25.4;
    int l = 0, hauteur = 0;
    for (int essai = 0; essai < 4; ++essai) {
        Graphique->Dimensions(l, hauteur, pxParMm, static_cast<double>(Rapport), *Bitmap);
        if (l <= w && hauteur <= h)
            return;
        const int32_t avant = Graphique->Echelle;
        const long double deborde = std::max(static_cast<long double>(l) / w, static_cast<long double>(hauteur) / h);
        Graphique->Echelle = std::max(borne(std::ceil(avant * deborde)), avant + 1);
        int l2 = 0, h2 = 0;
        Graphique->Dimensions(l2, h2, pxParMm, static_cast<double>(Rapport), *Bitmap);
        if (l2 >= l && h2 >= hauteur) {
            Graphique->Echelle = avant;
            return;
        }
    }
}

void TAfficheur::Redessine()
{
    if (!Graphique)
        return;
    ARedessiner = false;
    if (Mode3D()) {
        // The model follows the data, the options and the colour mode: it is built again.
        if (TPerspective* p = Perspective())
            p->Scene.reset();
        Debut_3D->start();
        return;
    }
    if (SelectionValide)
        Designe(false);
    SelectionValide = false;
    PlacePoints(Genre() == GenreVue::Coupe || Genre() == GenreVue::Tableau);
    const double pxParMm = form_.PixelsParPouce / 25.4;
    Graphique->Dimensions(Largeur, Hauteur, pxParMm, static_cast<double>(Rapport), *Bitmap);
    // A section opened empty fits its first branch, as a section opened with one does.
    if (Genre() == GenreVue::Coupe && coupeVide_ && Graphique->Donnees) {
        Ajuste();
        Graphique->Dimensions(Largeur, Hauteur, pxParMm, static_cast<double>(Rapport), *Bitmap);
        if (form_.VueActive() == this) {
            const QSignalBlocker be(form_.Boite_Echelle);
            form_.Boite_Echelle->setCurrentText(QString::number(Graphique->Echelle));
        }
    }
    coupeVide_ = CoupeVide();
    Largeur = std::max(Largeur, 10);
    Hauteur = std::max(Hauteur, 10);

    // One axis: the image spans the window with the bar enabled, or the whole drawing
    // centred with the bar disabled. The bar's page is the part of the drawing in view, so
    // that its thumb shows that part; a drawing that fits leaves the bar no range, hence no
    // thumb.
    auto axe = [](QScrollBar* barre, int taille, int place, int& facteur, int& debut, int& etendue) {
        const QSignalBlocker bloque(barre);
        // The window leaves at least one pixel to draw in.
        place = std::max(place, 1);
        if (taille > place) {
            debut = 0;
            etendue = place;
            barre->setEnabled(true);
            facteur = Facteur(taille);
            barre->setMaximum((taille - etendue) / facteur);
            barre->setSingleStep(std::max(1, etendue / (facteur * 10)));
            barre->setPageStep(std::max(1, etendue / facteur));
        } else {
            barre->setEnabled(false);
            barre->setRange(0, 0);
            etendue = taille;
            debut = (place - taille) / 2;
        }
    };
    int gauche = 0, haut = 0, largeurImage = 0, hauteurImage = 0;
    axe(Barre_Horizontale, Largeur, width() - kBarre, FacteurX, gauche, largeurImage);
    axe(Barre_Verticale, Hauteur, height() - kBarre, FacteurY, haut, hauteurImage);
    Image2->setGeometry(gauche, haut, largeurImage, hauteurImage);
    if (!Bitmap || Bitmap->Largeur() != largeurImage || Bitmap->Hauteur() != hauteurImage) {
        Image2->FixeBitmap(nullptr);
        Bitmap = std::make_unique<CanvasImage>(largeurImage, hauteurImage, form_.PixelsParPouce);
        Image2->FixeBitmap(Bitmap.get());
    }

    if (!SansDessin) {
        Graphique->Dessine(Barre_Horizontale->value() * FacteurX, Barre_Verticale->value() * FacteurY, pxParMm,
                           static_cast<double>(Rapport), *Bitmap, OutilSouris());
        Image2->update();
    }

    QString etat = form_.Rotation->isChecked() ? TexteEcran(Graphique->TexteRotation()) : QString();
    if (etat.isEmpty() && Genre() != GenreVue::Tableau && form_.Massif)
        etat = RaisonRienPlace(*form_.Massif);
    if (etat.isEmpty())
        etat = TexteEcran(Graphique->Omission());
    MontreEtat(etat);
}

bool TAfficheur::CoupeVide() const { return !form_.Massif || form_.Massif->Coupe.empty(); }

void TAfficheur::PlacePoints(bool coupe)
{
    if (TMassif* m = form_.Massif.get()) {
        if (!m->PointsCalcules)
            m->PlaceTousPoints();
        if (coupe && !m->CoupeCalculee)
            m->CalculeCoupe();
    }
}

void TAfficheur::RedessineTout()
{
    for (QWidget* w :
         {form_.VuePlan.data(), form_.VueCoupe.data(), form_.VueTableau.data(), form_.VuePerspective.data()})
        if (auto* a = qobject_cast<TAfficheur*>(w))
            a->Redessine();
}

void TAfficheur::MontreEtat(const QString& texte)
{
    TexteEtat = texte;
    if (form_.VueActive() == this)
        form_.Panneaux[1]->setText(texte);
}

void TAfficheur::MontreSelection()
{
    Designe(true);
    SelectionValide = true;
}

bool TAfficheur::SuitSelection()
{
    const TMassif* m = form_.Massif.get();
    int trouvee = -1;
    if (SelectionValide && m && m->FichesCourantes && ficheNommee_)
        for (std::size_t i = 0; i < m->FichesCourantes->size(); ++i) {
            const TFiche* f = (*m->FichesCourantes)[i];
            if (f == ficheNommee_ && f->Ordre == ordreNomme_ && GalerieSel >= 0 &&
                static_cast<std::size_t>(GalerieSel) < f->Galeries.size())
                trouvee = static_cast<int>(i);
        }
    SelectionValide = false;
    // Gone, it names nothing, not the sheet that took its place.
    FicheSel = trouvee;
    return trouvee >= 0;
}

void TAfficheur::OteSelection()
{
    if (SelectionValide && Graphique)
        Designe(false);
    SelectionValide = false;
}

void TAfficheur::MontreGaleries(const std::vector<const TGalerie*>& galeries)
{
    TGraphique::CadreGaleries cadre;
    if (!Graphique || Mode3D() ||
        !Graphique->Cadre(
            galeries, [this] { PlacePoints(true); }, cadre))
        return;
    // On each axis, in pixels of the drawing: the middle of the galleries when they fit in
    // the window, else the entry station, as near the middle as the galleries allow.
    const long double px = form_.PixelsParPouce / 25.4L * Rapport;
    auto milieu = [px](double debut, double fin, double station, int place, int taille) -> Reel6 {
        const long double a = debut * px, b = fin * px, e = station * px;
        const long double m = b - a <= place ? (a + b) / 2 : std::clamp(e, a + place / 2.0L, b - place / 2.0L);
        return m / std::max(taille, 1);
    };
    RestaureCentre({milieu(cadre.debut.x, cadre.fin.x, cadre.entree.x, Image2->width(), Largeur),
                    milieu(cadre.debut.y, cadre.fin.y, cadre.entree.y, Image2->height(), Hauteur)});
}

void TAfficheur::Designe(bool affiche)
{
    if (affiche) {
        TFiche* f = nullptr;
        TGalerie* g = nullptr;
        ElementCourant(f, g);
        ficheNommee_ = f;
        ordreNomme_ = f ? f->Ordre : 0;
    }
    TexteCp1252 texte;
    Graphique->Designation(affiche, FicheSel, GalerieSel, PointSel, OutilSouris(), texte);
    Image2->update();
    MontreEtat(texte);
}

TAfficheur::Centre TAfficheur::NoteCentre() const
{
    Centre c{0.5L, 0.5L};
    if (Barre_Horizontale->isEnabled())
        c.fx = (Barre_Horizontale->value() * static_cast<long double>(FacteurX) + Image2->width() / 2.0L) /
               std::max(Largeur, 1);
    if (Barre_Verticale->isEnabled())
        c.fy = (Barre_Verticale->value() * static_cast<long double>(FacteurY) + Image2->height() / 2.0L) /
               std::max(Hauteur, 1);
    return c;
}

void TAfficheur::RestaureCentre(const Centre& c)
{
    SansDessin = true;
    Redessine();
    {
        const QSignalBlocker bh(Barre_Horizontale), bv(Barre_Verticale);
        if (Barre_Horizontale->isEnabled())
            Barre_Horizontale->setValue(RoundEntier((c.fx * Largeur - Image2->width() / 2.0L) / std::max(FacteurX, 1)));
        if (Barre_Verticale->isEnabled())
            Barre_Verticale->setValue(RoundEntier((c.fy * Hauteur - Image2->height() / 2.0L) / std::max(FacteurY, 1)));
    }
    SansDessin = false;
    Redessine();
}

void TAfficheur::Boite_EchelleChange()
{
    if (SaisieEchelle)
        return;
    AppliqueEchelle(true);
}

void TAfficheur::AppliqueEchelle(bool retourFocus)
{
    if (!Graphique)
        return;
    QComboBox* boite = form_.Boite_Echelle;
    int32_t n = 0;
    if (!EchelleAdmise(NomChamp(boite), boite->currentText(), n)) {
        // The box shows the scale in force again, which the zoom reads there.
        {
            const QSignalBlocker bloque(boite);
            boite->setCurrentText(QString::number(Graphique->Echelle));
        }
        if (retourFocus) {
            boite->setFocus();
            boite->lineEdit()->selectAll();
        }
        return;
    }
    const Centre c = NoteCentre();
    Graphique->Echelle = n;
    RestaureCentre(c);
    if (retourFocus)
        boite->setFocus();
}

bool TAfficheur::Boite_EchelleKeyPress(QChar touche)
{
    if (touche == QLatin1Char('\r') || touche == QLatin1Char('\n')) {
        SaisieEchelle = false;
        AppliqueEchelle(true);
        return true;
    }
    SaisieEchelle = true;
    // As in every number field, what could be part of a number reaches the box, to be
    // stored as typed or refused with a word.
    return !FiltreTouches::Accepte(touche);
}

void TAfficheur::Boite_EchelleExit()
{
    if (!SaisieEchelle)
        return;
    SaisieEchelle = false;
    AppliqueEchelle(false);
}

void TAfficheur::Boite_RapportChange()
{
    static constexpr long double kRapports[] = {0.1L, 0.25L, 0.5L, 1.0L, 2.0L, 4.0L};
    const int i = form_.Boite_Rapport->currentIndex();
    if (i >= 0 && i < 6)
        Rapport = kRapports[i];
    ChangeRapport();
}

int TAfficheur::Pourcentage() const { return RoundEntier(static_cast<long double>(Rapport) * 100); }

void TAfficheur::MontreRapport()
{
    QComboBox* boite = form_.Boite_Rapport;
    const QString texte = QString::number(Pourcentage()) + QLatin1Char('%');
    const QSignalBlocker bloque(boite);
    // A ratio off the list selects no item, so that any item picked afterwards applies.
    const int i = boite->findText(texte);
    boite->setPlaceholderText(i < 0 ? texte : QString());
    boite->setCurrentIndex(i);
}

void TAfficheur::ChangeRapport()
{
    if (Genre() == GenreVue::Tableau)
        if (TMassif* m = form_.Massif.get())
            m->DimensionsAJour = false;
    const bool selection = SelectionValide;
    const Centre c = NoteCentre();
    RestaureCentre(c);
    if (selection && Graphique)
        MontreSelection();
}

void TAfficheur::Defilement()
{
    const bool selection = SelectionValide;
    Redessine();
    if (selection && Graphique)
        MontreSelection();
}

void TAfficheur::SelectionnePosition(int16_t fiche, int16_t galerie, int16_t point)
{
    if (!Graphique)
        return;
    if (SelectionValide)
        Designe(false);
    Redessine();
    FicheSel = fiche;
    GalerieSel = galerie;
    PointSel = point;
    MontreSelection();
}

void TAfficheur::ElementCourant(TFiche*& fiche, TGalerie*& galerie)
{
    fiche = nullptr;
    galerie = nullptr;
    TMassif* m = form_.Massif.get();
    if (!m || !m->FichesCourantes || FicheSel < 0 || static_cast<std::size_t>(FicheSel) >= m->FichesCourantes->size())
        return;
    fiche = (*m->FichesCourantes)[static_cast<std::size_t>(FicheSel)];
    if (fiche && GalerieSel >= 0 && static_cast<std::size_t>(GalerieSel) < fiche->Galeries.size())
        galerie = fiche->Galeries[static_cast<std::size_t>(GalerieSel)];
}

void TAfficheur::FormActivate()
{
    if (Graphique) {
        const QSignalBlocker be(form_.Boite_Echelle);
        form_.Boite_Echelle->setCurrentText(QString::number(Graphique->Echelle));
        MontreRapport();
    }
    if (TMassif* m = form_.Massif.get())
        m->PlaceCoupe();
    if (form_.VueActive() == this)
        form_.Panneaux[1]->setText(TexteEtat);
    auto outil = [](QAction* a, bool actif) {
        a->setEnabled(actif);
        if (!actif)
            a->setChecked(false);
    };
    QAction* trier = form_.findChild<QAction*>(QStringLiteral("Trier1_Item"));
    const bool tableau = Genre() == GenreVue::Tableau;
    const bool coupe = Genre() == GenreVue::Coupe;
    const bool trois = Mode3D();
    outil(form_.Rotation, !tableau && !coupe && !trois);
    outil(form_.Zoom, !tableau && !trois);
    form_.Couleur->setEnabled(true);
    form_.Boite_Echelle->setEnabled(!tableau);
    if (Genre() == GenreVue::Perspective) {
        TOutils_3D& outils = Outils3D(form_);
        outils.show();
        // Its frame is known once it shows: the whole of it is kept on the screen.
        GardeDansEcran(outils);
        if (TPerspective* p = Perspective(); p && trois)
            p->PlaceCamera();
    }
    if (trier)
        trier->setEnabled(tableau);
    form_.MiseAJourMenus();
}

void TAfficheur::FormDeactivate() { CacheBulle(); }

void TAfficheur::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int w = width(), h = height();
    if (Mode3D() && Graphique) {
        Support_OpenGL->setGeometry(0, 0, w, h);
        if (TPerspective* p = Perspective())
            p->PlaceCamera();
    }
    if (w <= 20 || h <= 65)
        return;
    Barre_Horizontale->setGeometry(0, h - kBarre, w - kBarre, kBarre - 1);
    Barre_Verticale->setGeometry(w - kBarre, 0, kBarre - 1, h - kBarre);
    PanelFond->setGeometry(0, 0, Barre_Verticale->x(), Barre_Horizontale->y());
    if (!Mode3D())
        Support_OpenGL->setGeometry(PanelFond->geometry());
    // The bars' steps follow the image, sized by the redraw.
    if (!Mode3D())
        Redessine();
}

}  // namespace karst
