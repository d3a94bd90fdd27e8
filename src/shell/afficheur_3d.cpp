// The 3D mode of a perspective window: the switch between the drawing and the OpenGL model,
// walking with the mouse, the automatic orbit; the 3D palette, the stop window and the
// two-axis rotation dialog; and three more commands of the view window: SVG export, column
// fitting of the table and redraw on click.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

#include "dialogs/messages_communs.h"
#include "formulaires/controles.h"
#include "formulaires/dlg_svg.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "scene3d/panneau.h"
#include "scene3d/scene.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/outils_3d.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "views/vue_relief.h"

namespace karst {

// ---- camera arithmetic ----

namespace camera3d {

double Ramene(double azimut)
{
    if (azimut > 360)
        return azimut - 360;
    if (azimut < 0)
        return azimut + 360;
    return azimut;
}

void PasTranslation(double& azimut, double& x, double& z, int dx, int dy, int k)
{
    const double a = DegresEnRadians(azimut);
    z += std::cos(a) * dy / 100.0 * k;
    x -= std::sin(a) * dy / 100.0 * k;
    azimut = Ramene(azimut + dx / 100.0);
}

void PasLateral(double azimut, double& x, double& y, double& z, int dx, int dy, int k)
{
    const double a = DegresEnRadians(azimut);
    y -= dy / 100.0 * k;
    x += std::cos(a) * dx / 100.0 * k;
    z += std::sin(a) * dx / 100.0 * k;
}

void Recule(double azimut, double elevation, double d, double& x, double& y, double& z)
{
    const double a = DegresEnRadians(azimut), e = DegresEnRadians(elevation);
    x = -d * std::cos(e) * std::sin(a);
    y = -d * std::sin(e);
    z = d * std::cos(e) * std::cos(a);
}

void Orbite(double pas, double& azimut, double& x, double& z)
{
    azimut = Ramene(azimut + pas);
    // The angle and the coordinates pass through single precision.
    const float b = static_cast<float>(DegresEnRadians(pas));
    const float x0 = static_cast<float>(x), z0 = static_cast<float>(z);
    x = std::cos(b) * x0 - std::sin(b) * z0;
    z = std::sin(b) * x0 + std::cos(b) * z0;
}

}  // namespace camera3d

// ---- tool windows ----

namespace {

QPointer<TOutils_3D> g_outils;
QPointer<TArret> g_arret;

// Hands the events of the object it filters to a function.
class FiltreEvenements : public QObject {
public:
    FiltreEvenements(QObject* parent, std::function<bool(QEvent*)> f) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject*, QEvent* e) override { return f_(e); }

private:
    std::function<bool(QEvent*)> f_;
};

QToolButton* BoutonOutil(QWidget* parent, const char* nom, const QString& texte, const QString& bulle)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(nom));
    b->setText(texte);
    b->setToolTip(bulle);
    return b;
}

// The camera of a perspective as doubles, and back.
struct Camera {
    double x, y, z;
    explicit Camera(const TPerspective& p)
        : x(static_cast<double>(static_cast<long double>(p.Camera[0]))),
          y(static_cast<double>(static_cast<long double>(p.Camera[1]))),
          z(static_cast<double>(static_cast<long double>(p.Camera[2])))
    {}
    void Range(TPerspective& p) const
    {
        p.Camera[0] = x;
        p.Camera[1] = y;
        p.Camera[2] = z;
    }
};

// The shift state of a key event including the modifier key itself, which some platforms
// report before it takes effect: held on its press, released on its release.
Qt::KeyboardModifiers Etat(const QKeyEvent& e, bool appui)
{
    Qt::KeyboardModifiers etat = e.modifiers();
    const Qt::KeyboardModifier propre = e.key() == Qt::Key_Alt       ? Qt::AltModifier
                                        : e.key() == Qt::Key_Control ? Qt::ControlModifier
                                        : e.key() == Qt::Key_Shift   ? Qt::ShiftModifier
                                                                     : Qt::NoModifier;
    if (propre != Qt::NoModifier)
        etat = appui ? (etat | propre) : (etat & ~propre);
    return etat;
}

TPerspective* VuePerspective(TForm1& form, TAfficheur** fenetre = nullptr)
{
    auto* a = qobject_cast<TAfficheur*>(form.VuePerspective.data());
    if (fenetre)
        *fenetre = a;
    return a ? a->Perspective() : nullptr;
}

}  // namespace

TOutils_3D& Outils3D(TForm1& form)
{
    if (!g_outils)
        g_outils = new TOutils_3D(form, &form);
    return *g_outils;
}

TArret& Arret(TForm1& form)
{
    if (!g_arret)
        g_arret = new TArret(form, &form);
    return *g_arret;
}

// A tool window of the main window: above it, never above the program's dialogs.
TOutils_3D::TOutils_3D(TForm1& form, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), form_(form)
{
    setObjectName(QStringLiteral("Outils_3D"));
    setWindowTitle(QStringLiteral("Outils_3D"));
    setProperty("HelpContext", 11);
    // Its letter is not one of the main window's menus, which Alt+D would open instead.
    OpenGL = new QCheckBox(QStringLiteral("&3D"), this);
    OpenGL->setObjectName(QStringLiteral("OpenGL"));
    Rotation = BoutonOutil(this, "Rotation", QStringLiteral("R"), QStringLiteral("Rotation"));
    Translation = BoutonOutil(this, "Translation", QStringLiteral("T"), QStringLiteral("Translation"));
    Lateral = BoutonOutil(this, "Lateral", QStringLiteral("L"), QStringLiteral("Déplacement latéral"));
    for (QToolButton* b : {Rotation, Translation, Lateral}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }
    Horizontal = BoutonOutil(this, "Horizontal", QStringLiteral("H"), QStringLiteral("Horizontale"));
    Arriere = BoutonOutil(this, "Arriere", QStringLiteral("A"), QStringLiteral("Reculer"));
    stereo = new QCheckBox(QStringLiteral("&Stéréo"), this);
    stereo->setObjectName(QStringLiteral("stereo"));
    for (QToolButton* b : {Rotation, Translation, Lateral, Horizontal, Arriere})
        b->setEnabled(false);
    auto* l = new QHBoxLayout(this);
    l->addWidget(OpenGL);
    for (QToolButton* b : {Rotation, Translation, Lateral, Horizontal, Arriere})
        l->addWidget(b);
    l->addWidget(stereo);
    // A box ticked or unticked by the program runs what a click runs.
    connect(OpenGL, &QCheckBox::toggled, this, [this] { OpenGLClick(); });
    connect(stereo, &QCheckBox::toggled, this, [this] { stereoClick(); });
    connect(Horizontal, &QToolButton::clicked, this, [this] { HorizontalClick(); });
    connect(Arriere, &QToolButton::clicked, this, [this] { ArriereClick(); });
    AltEnfonce = CtrlEnfonce = false;
}

Mouvement3D TOutils_3D::Mouvement() const
{
    if (Rotation->isChecked())
        return Mouvement3D::Rotation;
    if (Lateral->isChecked())
        return Mouvement3D::Lateral;
    return Mouvement3D::Translation;
}

void TOutils_3D::OpenGLClick()
{
    const bool coche = OpenGL->isChecked();
    for (QToolButton* b : {Rotation, Translation, Lateral, Horizontal, Arriere})
        b->setEnabled(coche);
    Translation->setChecked(true);
    if (coche)
        stereo->setChecked(false);  // back to the white drawing first
    TAfficheur* a = nullptr;
    VuePerspective(form_, &a);
    if (a)
        a->BasculeOpenGL();
}

void TOutils_3D::stereoClick()
{
    const bool coche = stereo->isChecked();
    if (coche)
        OpenGL->setChecked(false);  // back to the drawing first
    TAfficheur* a = nullptr;
    TPerspective* p = VuePerspective(form_, &a);
    if (!p)
        return;
    QPalette pal = a->PanelFond->palette();
    pal.setColor(QPalette::Window, coche ? Qt::black : Qt::white);
    a->PanelFond->setPalette(pal);
    p->Stereo = coche;
    a->Redessine();
}

void TOutils_3D::HorizontalClick()
{
    if (TPerspective* p = VuePerspective(form_)) {
        p->Elevation3D = 0;
        p->PlaceCamera();
    }
}

void TOutils_3D::ArriereClick()
{
    TPerspective* p = VuePerspective(form_);
    if (!p)
        return;
    const double d =
        std::fabs(p->BoiteMax.X.d() - p->BoiteMin.X.d()) + std::fabs(p->BoiteMax.Y.d() - p->BoiteMin.Y.d());
    Camera c(*p);
    camera3d::Recule(p->Azimut3D, p->Elevation3D, d, c.x, c.y, c.z);
    c.Range(*p);
    p->PlaceCamera();
}

void TOutils_3D::FormKeyDown(Qt::KeyboardModifiers etat)
{
    if (etat & Qt::AltModifier) {
        Lateral->setChecked(true);
        AltEnfonce = true;
        CtrlEnfonce = false;
    } else if (etat & Qt::ControlModifier) {
        Rotation->setChecked(true);
        AltEnfonce = false;
        CtrlEnfonce = true;
    }
}

void TOutils_3D::FormKeyUp(Qt::KeyboardModifiers etat)
{
    if (AltEnfonce && !(etat & Qt::AltModifier)) {
        Translation->setChecked(true);
        AltEnfonce = false;
    }
    if (CtrlEnfonce && !(etat & Qt::ControlModifier)) {
        Translation->setChecked(true);
        CtrlEnfonce = false;
    }
}

void TOutils_3D::keyPressEvent(QKeyEvent* e)
{
    // F6, which brought the keyboard here, and Escape give it back to the view.
    if ((e->key() == Qt::Key_F6 || e->key() == Qt::Key_Escape) && !(e->modifiers() & ~Qt::KeypadModifier)) {
        TAfficheur* a = nullptr;
        VuePerspective(form_, &a);
        if (a)
            a->RepriseClavier();
        e->accept();
        return;
    }
    FormKeyDown(Etat(*e, true));
    QWidget::keyPressEvent(e);
}

void TOutils_3D::keyReleaseEvent(QKeyEvent* e)
{
    FormKeyUp(Etat(*e, false));
    QWidget::keyReleaseEvent(e);
}

TArret::TArret(TForm1& form, QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), form_(form)
{
    setObjectName(QStringLiteral("Arret"));
    setWindowTitle(QStringLiteral("Rotation"));
    Button1 = new QPushButton(QStringLiteral("Arrêter"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto* l = new QVBoxLayout(this);
    l->addWidget(Button1);
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);
    adjustSize();
    if (form_.Arreter_X != 0)
        move(form_.Arreter_X, y());
    if (form_.Arreter_Y != 0)
        move(x(), form_.Arreter_Y);
}

void TArret::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape)
        hide();
    else
        QWidget::keyPressEvent(e);
}

void TArret::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // A place remembered from a bigger screen is brought back whole.
    GardeDansEcran(*this);
}

void TArret::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    form_.Arreter_X = x();
    form_.Arreter_Y = y();
}

TLaRotation::TLaRotation(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LaRotation"));
    setWindowTitle(QStringLiteral("Rotation"));
    setProperty("HelpContext", 37);
    auto* g = new QGridLayout(this);
    auto champ = [&](const char* nom, const QString& etiquette, const QString& defaut, int ligne) {
        auto* e = new QLineEdit(defaut, this);
        e->setObjectName(QString::fromLatin1(nom));
        FiltreCles(e);
        auto* l = new QLabel(etiquette, this);
        l->setBuddy(e);
        g->addWidget(l, ligne, 0);
        g->addWidget(e, ligne, 1);
        return e;
    };
    PasH = champ("PasH", QStringLiteral("Pas &horizontal en °"), QStringLiteral("10"), 0);
    PasV = champ("PasV", QStringLiteral("Pas &vertical en °"), QStringLiteral("0.5"), 1);
    MinV = champ("MinV", QStringLiteral("Angle vertical mi&n en °"), QStringLiteral("0"), 2);
    MaxV = champ("MaxV", QStringLiteral("Angle vertical ma&x °"), QStringLiteral("30"), 3);
    Demarrer = new QPushButton(QStringLiteral("Démarrer"), this);
    Demarrer->setObjectName(QStringLiteral("Demarrer"));
    Demarrer->setDefault(true);
    Annuler = new QPushButton(QStringLiteral("Annuler"), this);
    Annuler->setObjectName(QStringLiteral("Annuler"));
    g->addWidget(Demarrer, 4, 0);
    g->addWidget(Annuler, 4, 1);
    connect(Demarrer, &QPushButton::clicked, this, [this] {
        if (ReelsAdmis({PasH, PasV, MinV, MaxV}))
            accept();
    });
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

// ---- the view window's 3D mode ----

void TAfficheur::Fabrique3D()
{
    if (Panneau3D)
        return;
    Panneau3D = new PanneauOpenGL(Support_OpenGL);
    Panneau3D->setObjectName(QStringLiteral("Panneau3D"));
    auto* l = new QVBoxLayout(Support_OpenGL);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(Panneau3D);
    // The panel's events reach the window through a filter of the panel's own, after the
    // application's filters: the window's, which it keeps for the tooltip, would meet them
    // before the one that opens the pop-up menu on Shift+F10, and keep them.
    Panneau3D->installEventFilter(new FiltreEvenements(Panneau3D, [this](QEvent* evenement) {
        switch (evenement->type()) {
        // Every mouse event stays on the panel: one that climbed to the window would reach
        // the tools of the hidden drawing (a double click would start a drag that nothing
        // ends), and the wheel would scroll the hidden bars.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* m = static_cast<QMouseEvent*>(evenement);
            if (m->button() == Qt::RightButton) {
                if (evenement->type() == QEvent::MouseButtonPress)
                    MenuContextuel(m->globalPosition().toPoint());
                return true;
            }
            Support_OpenGLMouseDown(m->position().toPoint().x(), m->position().toPoint().y());
            return true;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(evenement);
            Support_OpenGLMouseMove(m->position().toPoint().x(), m->position().toPoint().y());
            return true;
        }
        case QEvent::MouseButtonRelease: Support_OpenGLMouseUp(); return true;
        case QEvent::Wheel: return true;
        // The right button's press has opened the menu already; the keyboard asks here.
        case QEvent::ContextMenu:
            if (auto* c = static_cast<QContextMenuEvent*>(evenement); c->reason() == QContextMenuEvent::Keyboard)
                MenuContextuel(c->globalPos());
            return true;
        case QEvent::KeyPress: keyPressEvent(static_cast<QKeyEvent*>(evenement)); return true;
        case QEvent::KeyRelease: keyReleaseEvent(static_cast<QKeyEvent*>(evenement)); return true;
        default: return false;
        }
    }));
    Panneau3D->setMouseTracking(false);
    Panneau3D->setFocusPolicy(Qt::StrongFocus);
    connect(Panneau3D, &PanneauOpenGL::Redimensionne, this, [this] {
        if (TPerspective* p = Perspective())
            p->PlaceCamera();
    });
}

void TAfficheur::GardeFocus(QWidget* cible)
{
    // The main window's focus, even while the palette is the active window, passes from
    // the surface about to hide to the one shown. Left to hide, it would go to the next
    // widget of the window, which may be in another view, and that view would become the
    // active one as soon as the main window is active again.
    const QWidget* focus = form_.focusWidget();
    if (focus && focus != cible && isAncestorOf(focus))
        cible->setFocus(Qt::OtherFocusReason);
}

void TAfficheur::BasculeOpenGL()
{
    TPerspective* p = Perspective();
    if (!p)
        return;
    CacheBulle();
    if (Outils3D(form_).OpenGL->isChecked()) {
        if (SelectionValide) {
            Designe(false);
            SelectionValide = false;
        }
        // The tools of the drawing are released with it, as the activation of a window in
        // 3D leaves them, so that the pop-up menu offers what it offers without a tool.
        for (QAction* outil : {form_.Rotation, form_.Zoom}) {
            outil->setChecked(false);
            outil->setEnabled(false);
        }
        Fabrique3D();
        Support_OpenGL->setGeometry(0, 0, width(), height());
        Support_OpenGL->show();
        GardeFocus(Panneau3D);
        Image2->hide();
        PanelFond->hide();
        Barre_Horizontale->hide();
        Barre_Verticale->hide();
        p->Scene.reset();
        Debut_3D->start();
    } else {
        p->Scene.reset();
        Debut_3D->stop();
        Image2->show();
        PanelFond->show();
        Barre_Horizontale->show();
        Barre_Verticale->show();
        GardeFocus(Image2);
        Support_OpenGL->hide();
        form_.Rotation->setEnabled(true);
        form_.Zoom->setEnabled(true);
        QResizeEvent e(size(), size());
        resizeEvent(&e);
    }
    Vitesse3D = 1;
}

void TAfficheur::Debut_3DTimer()
{
    Debut_3D->stop();
    TPerspective* p = Perspective();
    if (p && Panneau3D && Mode3D()) {
        try {
            p->Construit3D(*Panneau3D, OutilSouris());
        } catch (const std::exception& e) {
            // A scene left half built is not shown: the window stays empty until the next build.
            p->Scene.reset();
            Invite().Erreur(e);
        }
    }
}

void TAfficheur::Support_OpenGLMouseDown(int x, int y)
{
    // Another button pressed during a walk starts nothing.
    if (EnDeplacement)
        return;
    EnDeplacement = true;
    Deplacement->start();
    Timer1->stop();
    DepartSourisX = x;
    DepartSourisY = y;
    DecalageSourisX = DecalageSourisY = 0;
    switch (Outils3D(form_).Mouvement()) {
    case Mouvement3D::Rotation: QApplication::setOverrideCursor(CurseurVue(Curseur::Rotation)); break;
    case Mouvement3D::Translation: QApplication::setOverrideCursor(CurseurVue(Curseur::Translation)); break;
    case Mouvement3D::Lateral: QApplication::setOverrideCursor(CurseurVue(Curseur::Lateral)); break;
    }
}

void TAfficheur::Support_OpenGLMouseMove(int x, int y)
{
    if (!EnDeplacement)
        return;
    TPerspective* p = Perspective();
    if (p && Outils3D(form_).Mouvement() == Mouvement3D::Rotation) {
        QApplication::changeOverrideCursor(CurseurVue(Curseur::Rotation));
        p->Azimut3D = camera3d::Ramene(p->Azimut3D + (x - DepartSourisX - DecalageSourisX) / 10.0);
        p->Elevation3D -= (y - DepartSourisY - DecalageSourisY) / 10.0;
        p->PlaceCamera();
    }
    DecalageSourisX = x - DepartSourisX;
    DecalageSourisY = y - DepartSourisY;
}

void TAfficheur::DeplacementTimer()
{
    TPerspective* p = Perspective();
    if (!p)
        return;
    Camera c(*p);
    switch (Outils3D(form_).Mouvement()) {
    case Mouvement3D::Translation:
        camera3d::PasTranslation(p->Azimut3D, c.x, c.z, DecalageSourisX, DecalageSourisY, Vitesse3D);
        QApplication::changeOverrideCursor(CurseurVue(Curseur::Translation));
        break;
    case Mouvement3D::Lateral:
        camera3d::PasLateral(p->Azimut3D, c.x, c.y, c.z, DecalageSourisX, DecalageSourisY, Vitesse3D);
        QApplication::changeOverrideCursor(CurseurVue(Curseur::Lateral));
        break;
    case Mouvement3D::Rotation: break;
    }
    c.Range(*p);
    p->PlaceCamera();
    auto entier = [](double v) { return FormatEntier(RoundEntier(v)); };
    MontreEtat(TexteCp1252("X = " + entier(c.x + p->Centre[0]) + "  Y = " + entier(p->Centre[1] - c.z) +
                           "  Z = " + entier(c.y + p->Centre[2]) + "  Az = " + entier(p->Azimut3D) +
                           "  P = " + entier(p->Elevation3D)));
}

void TAfficheur::Support_OpenGLMouseUp()
{
    if (EnDeplacement && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    EnDeplacement = false;
    Deplacement->stop();
    Timer1->start();
    MontreEtat(QString());
}

void TAfficheur::CaTourneTimer()
{
    TOutils_3D& outils = Outils3D(form_);
    TPerspective* p = Perspective();
    if (!Arret(form_).isVisible() || !p) {
        CaTourne->stop();
        outils.setEnabled(true);
        RedevientActive();
        return;
    }
    Camera c(*p);
    camera3d::Orbite(PasCaTourne / 1000.0, p->Azimut3D, c.x, c.z);
    c.Range(*p);
    p->PlaceCamera();
}

void TAfficheur::Timer1Timer()
{
    if (Graphique && Graphique->Genre() == GenreVue::Perspective) {
        TOutils_3D& outils = Outils3D(form_);
        if (form_.VueActive() == this)
            outils.show();
        else
            outils.hide();
    }
    form_.MiseAJourMenus();
}

void TAfficheur::Touche3D(QKeyEvent* e, bool appui)
{
    if (!Mode3D())
        return;
    const Qt::KeyboardModifiers etat = Etat(*e, appui);
    Vitesse3D = (etat & Qt::ShiftModifier) ? 10 : 1;
    if (appui)
        Outils3D(form_).FormKeyDown(etat);
    else
        Outils3D(form_).FormKeyUp(etat);
}

bool TAfficheur::event(QEvent* e)
{
    // A lone Alt on the 3D panel chooses the sideways movement: the menu bar must not take
    // it for its keyboard navigation, which would keep the release and the keys after it.
    if (e->type() == QEvent::ShortcutOverride && Mode3D()) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Alt) {
            k->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TAfficheur::RepriseClavier()
{
    RedevientActive();
    QWidget* surface = Mode3D() && Panneau3D ? static_cast<QWidget*>(Panneau3D) : Image2;
    surface->setFocus(Qt::OtherFocusReason);
}

void TAfficheur::keyPressEvent(QKeyEvent* e)
{
    // F6 takes the keyboard to the 3D palette, as it goes from pane to pane in a desktop
    // program: there Tab, Space and the underlined letters reach every box and button.
    if (e->key() == Qt::Key_F6 && !(e->modifiers() & ~Qt::KeypadModifier) && Genre() == GenreVue::Perspective) {
        TOutils_3D& outils = Outils3D(form_);
        if (outils.isVisible() && outils.isEnabled()) {
            outils.raise();
            outils.activateWindow();
            outils.OpenGL->setFocus(Qt::ShortcutFocusReason);
        }
        e->accept();
        return;
    }
    // Escape in the window that turns stops it, as "Arrêter" does.
    if (e->key() == Qt::Key_Escape && (EnRotation || CaTourne->isActive())) {
        Arret(form_).hide();
        e->accept();
        return;
    }
    if (!Mode3D() && DefileAuClavier(*e)) {
        e->accept();
        return;
    }
    Touche3D(e, true);
    QWidget::keyPressEvent(e);
}

void TAfficheur::keyReleaseEvent(QKeyEvent* e)
{
    Touche3D(e, false);
    QWidget::keyReleaseEvent(e);
}

bool TAfficheur::eventFilter(QObject* objet, QEvent* evenement)
{
    // A menu or a dialog that opens anywhere in the program hides the tooltip.
    if (FenetreBulle && evenement->type() == QEvent::Show && objet->isWidgetType()) {
        const auto* w = static_cast<QWidget*>(objet);
        if (w->windowType() == Qt::Popup || w->windowType() == Qt::Dialog)
            CacheBulle();
    }
    // Where the window manager gives the tooltip the pointer all the same, its moves are the
    // view's: leaving the shot over the tooltip hides it.
    if (FenetreBulle && objet == FenetreBulle && evenement->type() == QEvent::MouseMove) {
        const QPoint p = Image2->mapFromGlobal(static_cast<QMouseEvent*>(evenement)->globalPosition().toPoint());
        Image2MouseMove(p.x(), p.y());
        return true;
    }
    if (objet == Image2 && evenement->type() == QEvent::ContextMenu) {
        MenuContextuel(static_cast<QContextMenuEvent*>(evenement)->globalPos());
        return true;
    }
    return QWidget::eventFilter(objet, evenement);
}

// ---- SVG, table columns, click ----

void TAfficheur::ExporteSVG()
{
    if (!Graphique || !Graphique->ExportableSVG())
        return;
    DialogueFichier d;
    d.titre = QStringLiteral("Exportation SVG");
    d.filtre = QStringLiteral("Scalable Vector Graphic (*.svg)|*.svg");
    d.extensionDefaut = QStringLiteral("svg");
    d.nom = QStringLiteral("*.svg");
    d.dossier = DossierDialogue(QStringLiteral("svg"));
    if (!Invite().Enregistrer(d))
        return;
    RetiensDossier(QStringLiteral("svg"), d.nom);
    TDlg_SVG& options = *form_.Dlg_SVG;
    if (ExecuteModal(options) != QDialog::Accepted)
        return;
    const std::string chemin = CheminSysteme(d.nom);
    if (!Invite().EcritParDessus(chemin))
        return;
    {
        Sablier sablier;
        TForm1::EcritureMassif ecriture(form_);
        try {
            Graphique->ExporteSVG(chemin, options.Illustrator(), options.Toutes());
        } catch (const std::exception& e) {
            Invite().Erreur(e);
            return;
        }
    }
    Invite().Information(QString::fromUtf8(kTexteExportationTerminee));
}

void TAfficheur::Image2DblClick()
{
    if (!Graphique)
        return;
    {
        Sablier sablier;
        if (!Graphique->AjusteColonnes(PointDepart.x(), form_.PixelsParPouce / 25.4, static_cast<double>(Rapport)))
            return;
        if (TMassif* m = form_.Massif.get())
            m->DimensionsAJour = false;
        Redessine();
    }
}

void TAfficheur::FormClick() { Redessine(); }

}  // namespace karst
