// The view window, the view commands and the computation control of the main window: the
// road from opening a massif to its plan on screen, scroll factors, fitting, the scale and
// ratio boxes, the deformation warning, and computations asked for or stopped mid-run.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>
#include <climits>
#include <deque>
#include <fstream>
#include <functional>

#include "application_test.h"
#include "calcul/drapeaux.h"
#include "calcul/matrice.h"
#include "dialogs/exploreur.h"
#include "etapes_rotation.h"
#include "formulaires/expert.h"
#include "platform/canvas.h"
#include "platform/dialogues_qt.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "scene3d/panneau.h"
#include "scene3d/scene.h"
#include "shell/afficheur.h"
#include "shell/animation.h"
#include "shell/dialogues_calcul.h"
#include "shell/form1.h"
#include "shell/hote_form1.h"
#include "shell/impression.h"
#include "shell/outils_3d.h"
#include "survey/aide_fichiers.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/plan.h"
#include "views/vue_relief.h"

using namespace karst;

namespace {

// Runs the event loop until the condition holds; fails after a long guard so that a
// broken run ends the test instead of hanging it.
bool Attend(const std::function<bool()>& condition)
{
    QElapsedTimer garde;
    garde.start();
    while (!condition()) {
        if (garde.elapsed() > 120000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Answers the modal dialogs of the computation as a script says, and records them.
class Repondeur : public QObject {
public:
    std::deque<bool> nePlus;              // ticks for the successive problem dialogs (default: no)
    std::deque<bool> continuer;           // answers to the unreached-gallery dialog (default: yes)
    QStringList textes;                   // problem dialogs shown
    QStringList listes;                   // unreached-gallery lists shown
    QStringList autres;                   // other dialogs, cancelled
    std::function<void()> avant = [] {};  // done as each problem dialog shows

    Repondeur()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { repond(); });
        timer_.start();
    }

private:
    static bool Tire(std::deque<bool>& script, bool sinon)
    {
        if (script.empty())
            return sinon;
        const bool b = script.front();
        script.pop_front();
        return b;
    }
    void repond()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<TComplement_Calcul*>(w)) {
            textes << d->Information->text();
            avant();
            d->Ne_Plus->setChecked(Tire(nePlus, false));
            d->Fermer->click();
        } else if (auto* l = qobject_cast<TLacunes*>(w)) {
            listes << l->Memo->toPlainText();
            (Tire(continuer, true) ? l->Continuer : l->Arreter)->click();
        } else if (auto* q = qobject_cast<QDialog*>(w)) {
            autres << QString::fromLatin1(q->metaObject()->className());
            q->reject();
        }
    }
    QTimer timer_;
};

// A view of a fixed drawing size that records where it is asked to draw from.
class VueFixe : public TGraphique {
public:
    VueFixe(ContexteVues& c, int l, int h) : TGraphique(c), largeur(l), hauteur(h) { Echelle = 100; }
    int largeur, hauteur;
    int dessins = 0, dernierX = -1, dernierY = -1;
    std::vector<std::pair<bool, int>> designations;

    void Dessine(int x, int y, double, double, TCanvas&, uint16_t) override
    {
        ++dessins;
        dernierX = x;
        dernierY = y;
    }
    void DessinePage(int, int, int, int, uint16_t, TCanvas&, double) override {}
    void Dimensions(int& l, int& h, double, double, TCanvas&) override
    {
        l = largeur;
        h = hauteur;
    }
    void NombrePages(int& c, int& l, int, int) override { c = l = 1; }
    double Localise(int, int, int&, int&, int&) override { return kRienTrouve; }
    void IsoleEcran(int, int, int) override {}
    void Designation(bool affiche, int fiche, int, int, uint16_t, TexteCp1252& texte) override
    {
        designations.emplace_back(affiche, fiche);
        texte = TexteCp1252(affiche ? "choisi" : "");
    }
    void Bulle(int, int, int, TexteCp1252&) override {}
    GenreVue Genre() const override { return GenreVue::Plan; }
};

class Vues : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CalculEnCours = false;
        ArretCalcul = false;
    }

    std::unique_ptr<TForm1> Cree()
    {
        auto f = std::make_unique<TForm1>(dirU.path().toStdString() + "/", dirP.path().toStdString() + "/");
        f->Timer2->stop();
        f->resize(1280, 1000);
        f->show();
        f->activateWindow();
        return f;
    }

    // A view window of the main window hosting a fixed drawing, active in the MDI area.
    TAfficheur* Fenetre(TForm1& f, int largeur, int hauteur, VueFixe*& vue, int w = 818, int h = 618)
    {
        auto* a = new TAfficheur(f);
        a->resize(w, h);
        QMdiSubWindow* s = f.Mdi->addSubWindow(a);
        f.VuePlan = a;
        s->show();
        f.Mdi->setActiveSubWindow(s);
        auto v = std::make_unique<VueFixe>(f.Contexte(), largeur, hauteur);
        vue = v.get();
        a->resize(w, h);
        a->InitialiseVue(std::move(v));
        return a;
    }

    static std::string Exemple() { return std::string(KARST_EXAMPLES) + "/pierrefeu.fic"; }

    // Ends every computation started or asked for.
    static bool CalculsFinis(TForm1& f)
    {
        return Attend([&] {
            return !CalculEnCours && !f.Depart_Calcul_Rapide->isActive() && !f.Depart_Calcul_Detail->isActive() &&
                   !f.ThreadCalcul;
        });
    }

    // Opens the box's list with F4 and picks the item with the keyboard, as a user does.
    static void Choisit(QComboBox* boite, const QString& texte)
    {
        const int i = boite->findText(texte);
        ASSERT_GE(i, 0);
        boite->setFocus();
        QTest::keyClick(boite, Qt::Key_F4);
        QAbstractItemView* liste = boite->view();
        ASSERT_TRUE(liste->isVisible());
        QTest::keyClick(liste, Qt::Key_Home);
        for (int k = 0; k < i; ++k)
            QTest::keyClick(liste, Qt::Key_Down);
        QTest::keyClick(liste, Qt::Key_Return);
        ASSERT_FALSE(liste->isVisible());
    }

    // The section expert opened from its menu, its fields typed once it has the keyboard
    // (a loaded machine shows it some ticks before it is active), then "OK"; refused, the
    // caver gives up. The texts go to the start, its index, the end, its index, then the
    // horizontal and vertical offsets. Returns whether it was met, and whether it started a
    // new branch.
    static std::pair<bool, bool> Expert(TForm1& f, std::vector<const char*> textes)
    {
        QLineEdit* TExpert::*const champs[] = {&TExpert::Nom_Depart,     &TExpert::Indice_depart, &TExpert::Nom_Arrivee,
                                               &TExpert::Indice_Arrivee, &TExpert::Horizontal,    &TExpert::Vertical};
        bool vu = false, nouvelle = false;
        QTimer remplit;
        remplit.setInterval(5);
        QObject::connect(&remplit, &QTimer::timeout, [&] {
            auto* e = qobject_cast<TExpert*>(QApplication::activeModalWidget());
            if (!e || !e->isVisible() || QApplication::activeWindow() != e)
                return;
            remplit.stop();
            vu = true;
            nouvelle = e->Nouvelle->isChecked();
            for (std::size_t i = 0; i < textes.size(); ++i) {
                QTest::mouseClick(e->*champs[i], Qt::LeftButton);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(textes[i]));
            }
            QTest::mouseClick(e->Button5, Qt::LeftButton);
            if (e->isVisible())
                e->reject();
        });
        remplit.start();
        f.Expert1->trigger();
        return {vu, nouvelle};
    }

    QTemporaryDir dirU, dirP;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
};

// The leftmost pixel drawn; (-1, -1) when none.
QPoint Encre(CanvasImage& c)
{
    for (int x = 0; x < c.Largeur(); ++x)
        for (int y = 0; y < c.Hauteur(); ++y)
            if (c.Pixel(x, y) != kBlanc)
                return {x, y};
    return {-1, -1};
}

bool NonBlanc(CanvasImage& c) { return Encre(c).x() >= 0; }

// The view window in sight and its two bars telling what it shows: the drawing's extent,
// as its view gives it, against the part of it that the image shows inside the panel,
// from where the view last drew. A drawing that fits leaves its bar no range.
void BarresFideles(TForm1& f, TAfficheur* a)
{
    ASSERT_NE(a, nullptr);
    SCOPED_TRACE(a->windowTitle().toStdString());
    auto* cadre = qobject_cast<QMdiSubWindow*>(a->parentWidget());
    ASSERT_NE(cadre, nullptr);
    const QRect zone = f.Mdi->viewport()->rect();
    EXPECT_TRUE(zone.contains(cadre->geometry())) << "frame off the area";
    EXPECT_TRUE(!cadre->isMaximized() || cadre->geometry() == zone) << "maximised frame short of the area";
    EXPECT_EQ(a->geometry(), cadre->contentsRect());
    EXPECT_EQ(a->Barre_Horizontale->geometry().bottom(), a->height() - 2);
    EXPECT_EQ(a->Barre_Verticale->geometry().right(), a->width() - 2);

    int largeur = 0, hauteur = 0;
    a->Graphique->Dimensions(largeur, hauteur, f.PixelsParPouce / 25.4, static_cast<double>(a->Rapport), *a->Bitmap);
    const QRect vu = a->Image2->geometry().intersected(a->PanelFond->rect());
    auto axe = [](const char* nom, QScrollBar* barre, int taille, int visible, int debut, int facteur) {
        SCOPED_TRACE(nom);
        const bool defile = std::max(taille, 10) > visible;
        EXPECT_EQ(barre->isEnabled(), defile);
        EXPECT_EQ(barre->minimum(), 0);
        EXPECT_EQ(barre->maximum(), defile ? (taille - visible) / facteur : 0);
        EXPECT_EQ(barre->value() * facteur, debut);
        if (defile) {
            EXPECT_EQ(barre->pageStep(), visible / facteur);
        }
    };
    axe("horizontal", a->Barre_Horizontale, largeur, vu.width(), a->Graphique->DefilementX, a->FacteurX);
    axe("vertical", a->Barre_Verticale, hauteur, vu.height(), a->Graphique->DefilementY, a->FacteurY);
}

// One notch of the wheel over the drawing, Shift held or not.
void Molette(TAfficheur* a, int crans, Qt::KeyboardModifiers touches = Qt::NoModifier)
{
    const QPointF ici(a->Image2->width() / 2.0, a->Image2->height() / 2.0);
    QWheelEvent e(ici, a->Image2->mapToGlobal(ici), QPoint(), QPoint(0, crans * 120), Qt::NoButton, touches,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(a->Image2, &e);
}

}  // namespace

TEST_F(Vues, OuvrirCalculerPuisVoirLePlan)
{
    auto f = Cree();
    Repondeur r;
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    // "Automatique" is ticked: the quick computation is asked for at once and runs on the
    // worker.
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    EXPECT_EQ(f->TagCalculRapide, 0);
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(f->NumeroCalcul(), 1u);
    // An automatic run is not timed and leaves the massif unmodified.
    EXPECT_TRUE(invite.Textes().isEmpty()) << invite.Textes().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(f->Animation->Active());
    EXPECT_FALSE(f->Bouton_Arreter->isEnabled());
    int places = 0;
    for (TFiche* fi : f->Massif->Fiches)
        for (TGalerie* g : fi->Galeries)
            places += g->Placee ? 1 : 0;
    EXPECT_GT(places, 0);

    f->Plan1->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    ASSERT_NE(plan, nullptr);
    ASSERT_NE(plan->Graphique, nullptr);
    EXPECT_EQ(plan->Graphique->Genre(), GenreVue::Plan);
    EXPECT_EQ(plan->windowTitle(), QStringLiteral("Plan"));
    EXPECT_EQ(f->AfficheurActif(), plan);
    // Fitted: the cave, a hundred times too big for the window at 1/100, now about fills
    // it (the fixed margin of the drawing comes on top of the 10 % kept).
    EXPECT_EQ(plan->width(), 818);
    EXPECT_EQ(plan->height(), 618);
    EXPECT_GT(plan->Graphique->Echelle, 10000);
    EXPECT_LE(plan->Largeur, 800);
    EXPECT_LE(plan->Hauteur, 640);
    EXPECT_TRUE(NonBlanc(*plan->Bitmap));
    EXPECT_EQ(f->Boite_Echelle->currentText(), QString::number(plan->Graphique->Echelle));
    EXPECT_EQ(f->Boite_Rapport->currentText(), QStringLiteral("100%"));

    // Menu states with a massif and its plan: printing and the preview of the active view
    // are there, nothing runs to stop.
    for (QAction* a : {f->Plan1,
                       f->BoutonPlan,
                       f->Coupe1,
                       f->Relief1,
                       f->Tableau1,
                       f->Calculrapide1,
                       f->BoutonCalculer,
                       f->Calcul1,
                       f->Fermer1,
                       f->Enregistrer1,
                       f->Mosaque1,
                       f->Cascade1,
                       f->Rorganiserlesicnes1,
                       f->Imprimer1,
                       f->Apercu1,
                       f->BoutonImprimer,
                       f->Vue1->menuAction(),
                       f->Branche1->menuAction(),
                       f->Rotation,
                       f->Zoom})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : {f->Arrter1, f->Bouton_Arreter})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(f->ToolBar4->isHidden());
    EXPECT_TRUE(f->Boite_Echelle->isEnabled());
    EXPECT_FALSE(f->findChild<QAction*>(QStringLiteral("Trier1_Item"))->isEnabled());

    // Opening the plan again shows the same window, restored.
    f->Mdi->activeSubWindow()->showMinimized();
    f->Plan1Click();
    EXPECT_EQ(f->VuePlan.data(), plan);
    EXPECT_FALSE(f->Mdi->activeSubWindow()->isMinimized());
    int vues = 0;
    for (QMdiSubWindow* s : f->Mdi->subWindowList())
        vues += qobject_cast<TAfficheur*>(s->widget()) ? 1 : 0;
    EXPECT_EQ(vues, 1);

    // A picture of the main window for whoever wants to look at it.
    // With station names, and the plan options that show them beside it.
    if (const QByteArray chemin = qgetenv("KARST_CAPTURE"); !chemin.isEmpty()) {
        f->OptionsPlan.Texte_Station = 2;
        f->RafraichitVues();
        f->grab().save(QString::fromLocal8Bit(chemin));
        f->Boite_Echelle->setCurrentIndex(4);  // 1/2500, scrolled to the cave at the bottom left
        plan->Barre_Horizontale->setValue(plan->Barre_Horizontale->maximum() * 12 / 100);
        plan->Barre_Verticale->setValue(plan->Barre_Verticale->maximum() * 93 / 100);
        f->grab().save(QString::fromLocal8Bit(chemin + ".2500.png"));
        f->OptionsPlan.Sauve(QFileInfo(QString::fromLocal8Bit(chemin)).absolutePath().toStdString() + "/OPTIONS.PLA");
    }

    // Closing the massif frees the plan window and keeps its angle.
    f->Massif->Enregistre = true;
    f->Fermer1Click();
    EXPECT_TRUE(f->VuePlan.isNull());
}

TEST_F(Vues, FacteursDeDefilement)
{
    auto f = Cree();
    VueFixe* v = nullptr;
    TAfficheur* a = Fenetre(*f, 32000, 100, v);
    EXPECT_EQ(a->FacteurX, 1);
    EXPECT_EQ(a->Barre_Horizontale->maximum(), 32000 - 800);

    v->largeur = 32001;
    a->Redessine();
    EXPECT_EQ(a->FacteurX, 2);
    EXPECT_EQ(a->Barre_Horizontale->maximum(), (32001 - 800) / 2);

    v->largeur = 64000;
    v->hauteur = 300;
    a->Redessine();
    EXPECT_EQ(a->FacteurX, 3);
    EXPECT_EQ(a->Barre_Horizontale->maximum(), (64000 - 800) / 3);
    EXPECT_EQ(a->Image2->width(), 800);
    EXPECT_EQ(a->Bitmap->Largeur(), 800);
    // A bar position counts in units of the factor.
    a->Barre_Horizontale->setValue(1000);
    EXPECT_EQ(v->dernierX, 3000);
    EXPECT_EQ(v->dernierY, 0);
    // The height fits: the image is centred and the bar disabled.
    EXPECT_FALSE(a->Barre_Verticale->isEnabled());
    EXPECT_EQ(a->Image2->height(), 300);
    EXPECT_EQ(a->Image2->y(), (600 - 300) / 2);

    // Fitted to the window: 1600 / 800 beats 300 / 600: 100 x 2 x 1.1.
    VueFixe* large = nullptr;
    TAfficheur* l = Fenetre(*f, 1600, 300, large);
    EXPECT_EQ(l->width(), 818);
    EXPECT_EQ(l->height(), 618);
    EXPECT_EQ(large->Echelle, 220);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("220"));

    // An empty drawing: nothing to fit, a 10 x 10 image in the middle, no bar.
    VueFixe* vide = nullptr;
    TAfficheur* b = Fenetre(*f, 1, 1, vide);
    EXPECT_EQ(vide->Echelle, 100);
    EXPECT_EQ(b->Image2->geometry(), QRect((800 - 10) / 2, (600 - 10) / 2, 10, 10));
    EXPECT_FALSE(b->Barre_Horizontale->isEnabled());
    EXPECT_FALSE(b->Barre_Verticale->isEnabled());

    // A window with no room left: no division by zero, the scale stays.
    VueFixe* petite = nullptr;
    TAfficheur* c = Fenetre(*f, 500, 500, petite, 15, 15);
    EXPECT_EQ(petite->Echelle, 100);
    c->Redessine();
    EXPECT_GE(c->Bitmap->Largeur(), 1);
}

TEST_F(Vues, BoitesEchelleEtRapport)
{
    auto f = Cree();
    // The view toolbar shows with an open massif and an active view.
    ASSERT_TRUE(f->OuvreMassif(""));
    VueFixe* v = nullptr;
    TAfficheur* a = Fenetre(*f, 4000, 3000, v);
    ASSERT_EQ(f->AfficheurActif(), a);
    ASSERT_TRUE(f->Boite_Echelle->isVisible());

    // The user clicks into the scale box and types over its text.
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    f->Mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    QTest::mouseClick(f->Boite_Echelle->lineEdit(), Qt::LeftButton);
    QWidget* boite = QApplication::focusWidget();
    ASSERT_TRUE(boite == f->Boite_Echelle || boite == f->Boite_Echelle->lineEdit());
    auto tape = [&](const char* texte) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(texte));
    };
    ASSERT_EQ(f->AfficheurActif(), a);
    const int echelle = v->Echelle;
    tape("1500");
    EXPECT_TRUE(a->SaisieEchelle);
    // Nothing applies while typing.
    EXPECT_EQ(v->Echelle, echelle);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(a->SaisieEchelle);
    EXPECT_EQ(v->Echelle, 1500);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("1500"));

    // "50" or "1000,5" then Enter: refused with the range, the box shows the current scale
    // again, nothing redrawn.
    const int dessins = v->dessins;
    for (const char* refuse : {"50", "1000,5"}) {
        tape(refuse);
        EXPECT_EQ(f->Boite_Echelle->currentText(), QString::fromLatin1(refuse));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_FALSE(invite.Textes().isEmpty());
        EXPECT_EQ(invite.Textes().back(), QStringLiteral("Le champ « Echelle » n'accepte pas « %1 » : il faut un "
                                                         "nombre entier de 100 à 2147483647.")
                                              .arg(QString::fromLatin1(refuse)));
    }
    EXPECT_EQ(v->Echelle, 1500);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("1500"));
    EXPECT_EQ(v->dessins, dessins);

    // Letters never reach the box; Backspace does; leaving the box applies what it holds.
    tape("2a5x0");
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("250"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("00"));
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("2500"));
    EXPECT_EQ(v->Echelle, 1500);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), f->Boite_Echelle);
    EXPECT_EQ(v->Echelle, 2500);

    // Picking from the list applies at once and keeps the centre where it was.
    a->Barre_Horizontale->setValue(a->Barre_Horizontale->maximum() / 4);
    const double fx = (a->Barre_Horizontale->value() * a->FacteurX + a->Image2->width() / 2.0) / a->Largeur;
    v->largeur = 12000;  // the drawing grows with the new scale
    Choisit(f->Boite_Echelle, QStringLiteral("1000"));
    EXPECT_EQ(v->Echelle, 1000);
    const double fx2 = (a->Barre_Horizontale->value() * a->FacteurX + a->Image2->width() / 2.0) / a->Largeur;
    EXPECT_NEAR(fx2, fx, 1.0 / a->Largeur);

    // Ratio: the item picked sets it, even after a ratio typed in "Pourcentage" that the
    // list does not hold, and the box shows the ratio in force.
    Choisit(f->Boite_Rapport, QStringLiteral("200%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(a->Rapport), 2.0);
    Choisit(f->Boite_Rapport, QStringLiteral("100%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(a->Rapport), 1.0);
    invite.saisies = {QStringLiteral("150")};
    a->Pourcent1Click();
    EXPECT_DOUBLE_EQ(static_cast<double>(a->Rapport), 1.5);
    EXPECT_EQ(f->Boite_Rapport->currentIndex(), -1);
    EXPECT_EQ(f->Boite_Rapport->placeholderText(), QStringLiteral("150%"));
    Choisit(f->Boite_Rapport, QStringLiteral("100%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(a->Rapport), 1.0);
    EXPECT_EQ(f->Boite_Rapport->currentText(), QStringLiteral("100%"));

    // A window switch shows each window's own ratio.
    invite.saisies = {QStringLiteral("150")};
    a->Pourcent1Click();
    VueFixe* v2 = nullptr;
    TAfficheur* b = Fenetre(*f, 400, 300, v2);
    EXPECT_EQ(f->Boite_Rapport->currentText(), QStringLiteral("100%"));
    f->VueCoupe = a;
    f->Mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    EXPECT_EQ(f->Boite_Rapport->currentIndex(), -1);
    EXPECT_EQ(f->Boite_Rapport->placeholderText(), QStringLiteral("150%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(b->Rapport), 1.0);
    qobject_cast<QMdiSubWindow*>(b->parentWidget())->close();
    f->Mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    ASSERT_EQ(f->AfficheurActif(), a);

    // A highlighted selection survives a ratio change, not a scale change.
    a->SelectionnePosition(2, 0, 1);
    EXPECT_TRUE(a->SelectionValide);
    EXPECT_EQ(f->Panneaux[1]->text(), QStringLiteral("choisi"));
    Choisit(f->Boite_Rapport, QStringLiteral("50%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(a->Rapport), 0.5);
    EXPECT_TRUE(a->SelectionValide);
    ASSERT_FALSE(v->designations.empty());
    EXPECT_EQ(v->designations.back(), std::make_pair(true, 2));
    Choisit(f->Boite_Echelle, QStringLiteral("2500"));
    EXPECT_EQ(v->Echelle, 2500);
    EXPECT_FALSE(a->SelectionValide);
}

namespace {

// A gallery from a to b of shots of that length due east, added to the sheet.
void AjouteGalerie(TFiche& fiche, const char* a, const char* b, int visees, double longueur)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte(a);
    g->Arrivee.Nom.Affecte(b);
    g->Coefficient = 1;
    for (int k = 0; k < visees; ++k) {
        auto v = std::make_unique<TVisee>();
        v->Longueur = longueur;
        v->Azimut = 90;
        g->AjouteVisee(std::move(v));
    }
    fiche.Galeries.ajoute(std::move(g));
}

void AjouteReference(TMassif& m, const char* nom, double x)
{
    auto r = std::make_unique<TPointTopo>();
    r->Nom.Affecte(nom);
    r->X = x;
    m.AjouteReference(std::move(r));
}

// One sheet whose single-shot gallery is 1 m off over 8 m: a ratio of 0.125.
void GalerieDeformee(TMassif& m)
{
    auto fi = std::make_unique<TFiche>();
    fi->Systeme.Affecte("Causse");
    fi->Cavite.Affecte("Aven");
    fi->Reseau.Affecte("Amont");
    fi->Lieu.Affecte("Salle \xE9toil\xE9"
                     "e");
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte("A");
    g->Arrivee.Nom.Affecte("B");
    g->Arrivee.X = 9;
    auto v = std::make_unique<TVisee>();
    v->Longueur = 8;
    v->X = 8;
    g->AjouteVisee(std::move(v));
    g->SommeDX = 8;
    g->SommeL = 8;
    g->Coefficient = 1;
    g->Placee = true;
    fi->Galeries.ajoute(std::move(g));
    m.AjouteFiche(std::move(fi), false);
}

}  // namespace

TEST_F(Vues, AvertissementDeDeformation)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(""));
    f->Depart_Calcul_Rapide->stop();
    GalerieDeformee(*f->Massif);
    Repondeur r;

    f->AvertitDeformation(false);
    ASSERT_EQ(r.textes.size(), 1);
    EXPECT_EQ(r.textes[0], QStringLiteral("La 1° galerie de la fiche\nCausse\nAven\nAmont\nSalle étoilée\n"
                                          "est déformée à 12%"));
    EXPECT_DOUBLE_EQ(static_cast<double>(f->Massif->SeuilDeformation), 0.125);

    // The same ratio on an automatic run: nothing, it equals the threshold.
    f->AvertitDeformation(false);
    EXPECT_EQ(r.textes.size(), 1);
    // A run the user asked for warns from the default threshold again.
    r.nePlus = {true};
    f->Massif->Fiches[0]->Systeme.Affecte("");
    f->Massif->Fiches[0]->Reseau.Affecte("");
    f->AvertitDeformation(true);
    ASSERT_EQ(r.textes.size(), 2);
    EXPECT_EQ(r.textes[1], QStringLiteral("La 1° galerie de la fiche\nAven\nSalle étoilée\nest déformée à 12%"));
    // "Ne plus afficher": never again for this massif, even on the user's request.
    EXPECT_LT(static_cast<double>(f->Massif->SeuilDeformation), 0);
    f->AvertitDeformation(true);
    EXPECT_EQ(r.textes.size(), 2);
    // Opened again, with the blank parts filled from the cave as imports do: named once.
    f->Massif->SeuilDeformation = 0.05L;
    TFiche& fiche = *f->Massif->Fiches[0];
    for (TEco* partie : {&fiche.Systeme, &fiche.Reseau, &fiche.Lieu})
        partie->Copie(fiche.Cavite);
    f->AvertitDeformation(false);
    EXPECT_EQ(r.textes.mid(2), QStringList{QStringLiteral("La 1° galerie de la fiche\nAven\nest déformée à 12%")});
}

TEST_F(Vues, CalculerPendantUnCalcul)
{
    auto f = Cree();
    Repondeur r;
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    f->Depart_Calcul_Rapide->stop();
    f->Depart_Calcul_RapideTimer();
    ASSERT_TRUE(CalculEnCours);
    EXPECT_TRUE(f->Animation->Active());
    EXPECT_TRUE(f->Bouton_Arreter->isEnabled());
    // "Calculer" while it runs: the run is stopped, the new one waits for its end.
    f->Calculrapide1Click();
    EXPECT_TRUE(ArretCalcul);
    EXPECT_EQ(f->TagCalculRapide, 1);
    EXPECT_EQ(f->NumeroCalcul(), 1u);
    f->Depart_Calcul_RapideTimer();
    EXPECT_EQ(f->NumeroCalcul(), 1u);
    EXPECT_TRUE(f->Depart_Calcul_Rapide->isActive());
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(f->NumeroCalcul(), 2u);
    // The stopped run put the request back to an automatic one: no time shown, the massif
    // unmodified.
    EXPECT_TRUE(invite.Textes().isEmpty()) << invite.Textes().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_FALSE(ArretCalcul);

    // A run asked for when nothing runs is timed and marks the massif modified.
    f->Calculrapide1Click();
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(f->NumeroCalcul(), 3u);
    ASSERT_EQ(invite.Textes().size(), 1);
    EXPECT_TRUE(invite.Textes()[0].endsWith(QStringLiteral(" s")));
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_EQ(f->TagCalculRapide, 0);

    // "Arrêter" from the menu: a stopped run shows nothing and leaves the flags for the next.
    f->Options1Click();
    EXPECT_FALSE(f->Arrter1->isEnabled());
    f->Depart_Calcul_RapideTimer();
    f->Options1Click();
    EXPECT_TRUE(f->Arrter1->isEnabled());
    f->Arrter1->trigger();
    EXPECT_TRUE(ArretCalcul);
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(invite.Textes().size(), 1);
    EXPECT_FALSE(f->Arrter1->isEnabled());
    f->Options1Click();
    EXPECT_FALSE(f->Arrter1->isEnabled());
    f->Massif->Enregistre = true;
}

// The end of a run is reported with "Arrêter" grey: the menus brought up to date meanwhile
// (the view windows do it every second) leave it so.
TEST_F(Vues, ArreterResteGrisPendantLesMessagesDeFin)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    ASSERT_TRUE(CalculsFinis(*f));
    f->Plan1->trigger();
    struct Espion : InterlocuteurScripte {
        std::function<void()> pendant;
        Bouton Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons, Bouton defaut) override
        {
            pendant();
            return InterlocuteurScripte::Question(texte, icone, boutons, defaut);
        }
    } espion;
    std::vector<bool> arreter;
    espion.pendant = [&] {
        f->MiseAJourMenus();
        arreter.push_back(f->Bouton_Arreter->isEnabled() || f->Arrter1->isEnabled());
    };
    Interlocuteur::Installe(&espion);
    QWidget* calculer = f->ToolBar1->widgetForAction(f->BoutonCalculer);
    ASSERT_NE(calculer, nullptr);
    QTest::mouseClick(calculer, Qt::LeftButton);
    const bool fini = CalculsFinis(*f);
    Interlocuteur::Installe(&invite);
    ASSERT_TRUE(fini);
    // The elapsed time was shown.
    ASSERT_EQ(espion.Textes().size(), 1);
    EXPECT_EQ(arreter, std::vector<bool>{false});
    EXPECT_FALSE(f->Bouton_Arreter->isEnabled());
}

namespace {

// A grid of galleries between two reference points, big enough for the worker to be still
// running when the test acts.
std::string GrandMassif(const QTemporaryDir& dir, int cote)
{
    TMassif m;
    auto station = [](int i, int j) {
        TPointTopo p;
        p.Nom.Affecte("N" + std::to_string(i) + "_" + std::to_string(j));
        return p;
    };
    for (int k : {0, cote - 1}) {
        auto r = std::make_unique<TPointTopo>(station(k, 0));
        r->X = k * 0.01;
        m.AjouteReference(std::move(r));
    }
    auto galerie = [](TFiche& f, const TPointTopo& a, const TPointTopo& b, double azimut) {
        auto g = std::make_unique<TGalerie>();
        g->Depart.Copie(a);
        g->Arrivee.Copie(b);
        g->Coefficient = 1;
        for (double l : {5.0, 5.01}) {
            auto v = std::make_unique<TVisee>();
            v->Longueur = l;
            v->Azimut = azimut;
            g->AjouteVisee(std::move(v));
        }
        f.Galeries.ajoute(std::move(g));
    };
    for (int i = 0; i < cote; ++i) {
        auto f = std::make_unique<TFiche>();
        f->Systeme.Affecte("S");
        for (int j = 0; j < cote; ++j) {
            if (i + 1 < cote)
                galerie(*f, station(i, j), station(i + 1, j), 90);
            if (j + 1 < cote)
                galerie(*f, station(i, j), station(i, j + 1), 0.1);
        }
        f->Calcule(0);
        m.AjouteFiche(std::move(f), false);
    }
    const std::string nom = dir.path().toStdString() + "/grille.fic";
    m.Sauve(nom);
    return nom;
}

}  // namespace

TEST_F(Vues, FermerOuQuitterPendantUnCalcul)
{
    QTemporaryDir dir;
    const std::string nom = GrandMassif(dir, 30);
    Repondeur r;
    {
        auto f = Cree();
        ASSERT_TRUE(f->OuvreMassif(nom));
        f->Depart_Calcul_Rapide->stop();
        f->Depart_Calcul_RapideTimer();
        f->Plan1Click();
        ASSERT_TRUE(CalculEnCours);
        // Closing during the run: the worker is stopped and waited for, its queued end
        // finds nothing to do.
        f->Fermer1Click();
        EXPECT_EQ(f->Massif, nullptr);
        EXPECT_TRUE(f->VuePlan.isNull());
        EXPECT_FALSE(CalculEnCours);
        EXPECT_FALSE(f->Animation->Active());
        QCoreApplication::processEvents();
        // The next massif computes as usual.
        ASSERT_TRUE(f->OuvreMassif(nom));
        ASSERT_TRUE(CalculsFinis(*f));
        EXPECT_EQ(f->NumeroCalcul(), 2u);
        EXPECT_GT(static_cast<double>(f->Massif->Fiches[0]->Galeries[0]->Arrivee.X), 0.0);

        // A run over but not yet reported, or a change that arms one, then "Enregistrer":
        // nothing starts, changes the massif or opens a box before the file is written.
        auto seule = std::make_unique<TFiche>();
        seule->Galeries.ajoute(std::make_unique<TGalerie>());
        f->Massif->AjouteFiche(std::move(seule), false);
        const std::string avant = dir.path().toStdString() + "/avant.fic";
        for (const bool finie : {true, false}) {
            for (TPointTopo* p : f->Massif->References)
                p->Z = finie ? 200 : 100;
            f->MassifModifie(f->Massif.get(), Recalcul::Automatique, true);
            f->Massif->Sauve(avant);
            if (finie) {
                f->Depart_Calcul_Rapide->stop();
                f->Depart_Calcul_RapideTimer();
                while (!f->ThreadCalcul->Fini())
                    QTest::qSleep(5);
            }
            QTest::qSleep(150);
            QTest::mouseClick(f->ToolBar1->widgetForAction(f->BoutonEnregistrer), Qt::LeftButton);
            EXPECT_EQ(essai::Contenu(nom), essai::Contenu(avant));
            EXPECT_EQ(f->NumeroCalcul(), 3u);
            EXPECT_TRUE(r.textes.isEmpty());
        }
        ASSERT_TRUE(CalculsFinis(*f));
        EXPECT_EQ(r.textes, QStringList{QStringLiteral("Certaines fiches ne sont pas reliées,\npour plus "
                                                       "d'informations, faites Calcul | Détaillé")});
        EXPECT_NEAR(static_cast<double>(f->Massif->Fiches[0]->Galeries[0]->Arrivee.Z), 100.0, 1e-6);

        // Quitting during a run.
        f->Calculrapide1Click();
        ASSERT_TRUE(Attend([&] { return f->ThreadCalcul != nullptr; }));
    }
    EXPECT_FALSE(CalculEnCours);
    EXPECT_TRUE(invite.Textes().isEmpty() || invite.Textes().back().endsWith(QStringLiteral(" s")))
        << invite.Textes().join(QLatin1Char('|')).toStdString();
}

TEST_F(Vues, DialogueDesLacunes)
{
    App();
    TLacunes d;
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Lacunes"));
    EXPECT_EQ(d.height(), 134);
    EXPECT_TRUE(d.Memo->isHidden());
    d.Liste->click();
    EXPECT_EQ(d.height(), 285);
    EXPECT_FALSE(d.Memo->isHidden());
    EXPECT_FALSE(d.Liste->isEnabled());
    d.Memo->setPlainText(QStringLiteral("S/C/R/L A - B"));
    d.Arreter->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(d.Memo->toPlainText().isEmpty());
    // Shown again: short, with the list hidden.
    d.show();
    EXPECT_EQ(d.height(), 134);
    EXPECT_TRUE(d.Liste->isEnabled());
}

// The plan, the section, the perspective and the table of the sample, through every change
// that moves or resizes what they show: each bar keeps telling what is in view. Then what
// each view allows, and the angles they keep.
TEST_F(Vues, LesBarresDisentCeQuiEstMontre)
{
    auto f = Cree();
    Repondeur r;
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    ASSERT_TRUE(CalculsFinis(*f));
    f->OptionsRelief.Angle_Horizontal = 45;
    f->OptionsRelief.Angle_Vertical = 30;
    f->Plan1->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    // Fitted to the window: the whole drawing shows, no thumb.
    BarresFideles(*f, plan);
    EXPECT_EQ(plan->Barre_Horizontale->maximum(), 0);
    EXPECT_EQ(plan->Barre_Verticale->maximum(), 0);

    // A scale that shows a part, the view moved with the wheel, then a scale that shows
    // it all again: no thumb left of the part.
    Choisit(f->Boite_Echelle, QStringLiteral("2500"));
    ASSERT_TRUE(plan->Barre_Verticale->isEnabled());
    BarresFideles(*f, plan);
    const int pas = plan->Barre_Verticale->singleStep();
    EXPECT_EQ(pas, plan->Image2->height() / 10);
    // The scale kept the centre where it was.
    const int y = plan->Barre_Verticale->value(), x = plan->Barre_Horizontale->value();
    Molette(plan, -2);
    EXPECT_EQ(plan->Barre_Verticale->value(), y + 2 * pas);
    Molette(plan, 1);
    EXPECT_EQ(plan->Barre_Verticale->value(), y + pas);
    Molette(plan, -1, Qt::ShiftModifier);
    EXPECT_EQ(plan->Barre_Horizontale->value(), x + plan->Barre_Horizontale->singleStep());
    EXPECT_EQ(plan->Barre_Verticale->value(), y + pas);
    BarresFideles(*f, plan);
    // The keys scroll the drawing that has the keyboard: a step, 95 % of the view, the ends.
    f->Boite_Echelle->setFocus();
    QTest::mouseClick(plan->Image2, Qt::LeftButton, {}, plan->Image2->rect().center());
    ASSERT_EQ(QApplication::focusWidget(), plan->Image2);
    auto touche = [&](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    QScrollBar* v = plan->Barre_Verticale;
    touche(Qt::Key_Up);
    EXPECT_EQ(v->value(), y);
    touche(Qt::Key_PageDown);
    EXPECT_EQ(v->value(), std::min(v->maximum(), y + RoundEntier(v->pageStep() * 0.95L)));
    touche(Qt::Key_End);
    EXPECT_EQ(v->value(), v->maximum());
    touche(Qt::Key_Home);
    EXPECT_EQ(v->value(), 0);
    touche(Qt::Key_Left);
    EXPECT_EQ(plan->Barre_Horizontale->value(), x);
    // A click in the track moves by 95 % of the view.
    const int avant = plan->Barre_Horizontale->value();
    const QRect barre = plan->Barre_Horizontale->rect();
    QTest::mouseClick(plan->Barre_Horizontale, Qt::LeftButton, {}, QPoint(barre.right() - 20, barre.center().y()));
    EXPECT_EQ(plan->Barre_Horizontale->value(),
              std::min(plan->Barre_Horizontale->maximum(), avant + RoundEntier(plan->Image2->width() * 0.95L)));
    BarresFideles(*f, plan);
    Choisit(f->Boite_Echelle, QStringLiteral("25000"));
    BarresFideles(*f, plan);
    EXPECT_EQ(plan->Barre_Verticale->maximum(), 0);
    Choisit(f->Boite_Rapport, QStringLiteral("400%"));
    BarresFideles(*f, plan);

    // Turned with the rotation tool, dragged on the drawing.
    f->Rotation->trigger();
    const QPoint centre = plan->Image2->rect().center();
    QTest::mousePress(plan->Image2, Qt::LeftButton, {}, centre + QPoint(100, 0));
    QTest::mouseMove(plan->Image2, centre + QPoint(0, 100));
    QTest::mouseRelease(plan->Image2, Qt::LeftButton, {}, centre + QPoint(0, 100));
    f->Rotation->trigger();
    BarresFideles(*f, plan);

    // Maximised, then the other views opened over it: each opens maximised in its turn,
    // title and bars in view.
    qobject_cast<QMdiSubWindow*>(plan->parentWidget())->showMaximized();
    BarresFideles(*f, plan);
    for (auto [vue, fenetre] : {std::pair{f->Relief1, &TForm1::VuePerspective}, std::pair{f->Coupe1, &TForm1::VueCoupe},
                                std::pair{f->Tableau1, &TForm1::VueTableau}}) {
        vue->trigger();
        BarresFideles(*f, qobject_cast<TAfficheur*>(((*f).*fenetre).data()));
    }
    auto* table = qobject_cast<TAfficheur*>(f->VueTableau.data());
    EXPECT_TRUE(f->Mdi->activeSubWindow()->isMaximized());
    // The table scrolls with the wheel too.
    ASSERT_TRUE(table->Barre_Verticale->isEnabled());
    const int ligne = table->Barre_Verticale->value();
    Molette(table, -1);
    EXPECT_EQ(table->Barre_Verticale->value(), ligne + table->Barre_Verticale->singleStep());
    BarresFideles(*f, table);
    f->Plan1->trigger();
    ASSERT_EQ(f->AfficheurActif(), plan);
    BarresFideles(*f, plan);

    f->Mdi->activeSubWindow()->showNormal();
    BarresFideles(*f, plan);
    // The four views and the explorer.
    EXPECT_EQ(f->Mdi->subWindowList().size(), 5);
    EXPECT_EQ(table->Graphique->Echelle, 0);
    EXPECT_TRUE(NonBlanc(*table->Bitmap));

    // The table: no rotation, no zoom, no scale box, but the sort menu.
    f->Tableau1->trigger();
    EXPECT_FALSE(f->Rotation->isEnabled());
    EXPECT_FALSE(f->Zoom->isEnabled());
    EXPECT_FALSE(f->Boite_Echelle->isEnabled());
    EXPECT_TRUE(f->findChild<QAction*>(QStringLiteral("Trier1_Item"))->isEnabled());
    f->Vue1Click();
    EXPECT_FALSE(f->Echelle2->isEnabled());

    // The perspective with the rotation tool: azimuth, then the elevation reversed.
    f->Relief1->trigger();
    EXPECT_TRUE(f->Rotation->isEnabled());
    f->Rotation->trigger();
    EXPECT_EQ(f->Panneaux[1]->text(), QStringLiteral("45 °  -30 °"));
    f->Rotation->trigger();
    EXPECT_TRUE(f->Panneaux[1]->text().isEmpty());
    // The section: the rotation tool is released and greyed.
    f->Rotation->trigger();
    f->Coupe1->trigger();
    EXPECT_FALSE(f->Rotation->isEnabled());
    EXPECT_FALSE(f->Rotation->isChecked());

    // The views read their angles back from the main window; the perspective's are kept
    // in its options when the massif closes.
    double azimut = 0, elevation = 0;
    ASSERT_TRUE(f->Contexte().AnglesPerspective(azimut, elevation));
    EXPECT_EQ(azimut, 45);
    f->Contexte().OrientePerspective(120, -10);
    f->Contexte().OrientePlan(30);
    f->Massif->Enregistre = true;
    f->Fermer1Click();
    EXPECT_EQ(static_cast<double>(f->OptionsRelief.Angle_Horizontal), 120);
    EXPECT_EQ(static_cast<double>(f->OptionsRelief.Angle_Vertical), -10);
    EXPECT_EQ(static_cast<double>(f->OptionsPlan.Angle), 30);
    EXPECT_FALSE(f->Contexte().AnglesPerspective(azimut, elevation));
}

// A gallery chosen in the plan, an earlier sheet deleted in the explorer, "Automatique" off:
// the plan's choice still isolates its place with the keys, the table minimised meanwhile
// back by its button.
TEST_F(Vues, LeChoixDUneVueSuitSaFicheQuandLExplorateurEnSupprimeUne)
{
    auto f = Cree();
    Repondeur r;
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    ASSERT_TRUE(CalculsFinis(*f));
    for (QAction* vue : {f->Relief1, f->Tableau1, f->Plan1})
        vue->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    auto* table = qobject_cast<TAfficheur*>(f->VueTableau.data());
    table->parentWidget()->showMinimized();
    QTest::mouseClick(plan->Image2, Qt::LeftButton, {}, plan->Image2->rect().center());
    ASSERT_GT(plan->FicheSel, 1);
    TFiche* choisie = f->Massif->Fiches[static_cast<std::size_t>(plan->FicheSel)];
    f->Automatique1->setChecked(false);
    f->Explorateur1->trigger();
    TExploreur* e = Exploreur(*f);
    QTreeWidgetItem* salle = e->Racine();
    for (const char* nom : {"Causse de Pierrefeu", "Gouffre de la Brèche", "Réseau d'entrée", "Salle du Chaos"}) {
        e->TreeView1->expandItem(salle);
        salle = e->TreeView1->findItems(QString::fromUtf8(nom), Qt::MatchRecursive).value(0);
        ASSERT_NE(salle, nullptr) << nom;
    }
    e->TreeView1->scrollToItem(salle);
    QTest::mouseClick(e->TreeView1->viewport(), Qt::LeftButton, {}, e->TreeView1->visualItemRect(salle).center());
    invite.reponses = {Bouton::Oui};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    ASSERT_EQ(f->Massif->Fiches.size(), 7u);
    f->Plan1->trigger();
    QTest::keyClick(f.get(), Qt::Key_V, Qt::AltModifier);
    for (Qt::Key cle : {Qt::Key_I, Qt::Key_L})
        QTest::keyClick(QApplication::activePopupWidget(), cle);
    EXPECT_EQ(*f->Massif->FichesCourantes, ListeFiches{choisie});
    QTest::mouseClick(f->ToolBar1->widgetForAction(f->BoutonTableau), Qt::LeftButton);
    BarresFideles(*f, table);
    // A perspective's choice goes when every sheet comes back by the keys, minimised or not.
    auto* relief = qobject_cast<TAfficheur*>(f->VuePerspective.data());
    QTest::mouseClick(relief->Image2, Qt::LeftButton, {}, relief->Image2->rect().center());
    ASSERT_TRUE(relief->SelectionValide);
    relief->parentWidget()->showMinimized();
    QTest::keyClick(f.get(), Qt::Key_M, Qt::AltModifier);
    for (Qt::Key cle : {Qt::Key_R, Qt::Key_T})
        QTest::keyClick(QApplication::activePopupWidget(), cle);
    EXPECT_FALSE(relief->SelectionValide);
}

// Laptop main windows, 1366 or 1024 wide and 740 high: the explorer's commands that its
// band cannot show are in the extension's menu; each view opens whole inside the window
// area, fitted to the size it got; the 3D palette comes back from off the screen; cascaded
// and tiled windows stay inside; one dragged partly out is scrolled back into view.
TEST_F(Vues, LesVuesTiennentDansUnEcranDePortable)
{
    for (const QSize taille : {QSize(1366, 740), QSize(1024, 740)}) {
        SCOPED_TRACE(taille.width());
        auto f = Cree();
        f->resize(taille);
        f->Outils_3D_X = f->Outils_3D_Y = f->Arreter_X = f->Arreter_Y = 5000;
        Repondeur r;
        ASSERT_TRUE(f->OuvreMassif(Exemple()));
        ASSERT_TRUE(CalculsFinis(*f));
        ASSERT_TRUE(QTest::qWaitFor([&] { return f->ToolBar3->isVisible(); }));
        auto* extension = f->ToolBar3->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        QStringList caches;
        if (extension->isVisible()) {
            QTimer::singleShot(0, [&] {
                if (QWidget* menu = QApplication::activePopupWidget()) {
                    for (QAction* a : menu->actions())
                        caches << a->text();
                    menu->close();
                }
            });
            QTest::mouseClick(extension, Qt::LeftButton);
        }
        for (QAction* a : f->ToolBar3->actions()) {
            if (!a->isSeparator()) {
                EXPECT_TRUE(f->ToolBar3->widgetForAction(a)->isVisible() || caches.contains(a->text()))
                    << a->text().toStdString();
            }
        }

        for (QAction* vue : {f->Plan1, f->Coupe1, f->Relief1, f->Tableau1})
            vue->trigger();
        const std::pair<QWidget*, GenreVue> vues[] = {{f->VuePlan.data(), GenreVue::Plan},
                                                      {f->VueCoupe.data(), GenreVue::Coupe},
                                                      {f->VuePerspective.data(), GenreVue::Perspective},
                                                      {f->VueTableau.data(), GenreVue::Tableau}};
        for (const auto& [w, genre] : vues) {
            auto* a = qobject_cast<TAfficheur*>(w);
            BarresFideles(*f, a);
            if (a->Genre() != GenreVue::Tableau) {
                EXPECT_FALSE(a->Barre_Horizontale->isEnabled() || a->Barre_Verticale->isEnabled());
            }
        }
        EXPECT_TRUE(f->screen()->availableGeometry().contains(Outils3D(*f).frameGeometry()));
        Arret(*f).show();
        EXPECT_TRUE(f->screen()->availableGeometry().contains(Arret(*f).frameGeometry()));
        Arret(*f).hide();
        EXPECT_FALSE(Outils3D(*f).windowFlags() & Qt::WindowStaysOnTopHint);

        // The explorer the views minimised stays in sight, in front of them.
        QWidget* explorateur = f->FenetreExploreur->parentWidget();
        const auto enVue = [&] {
            QWidget* dessus = f->Mdi->viewport()->childAt(explorateur->geometry().center());
            return explorateur->isMinimized() && (dessus == explorateur || explorateur->isAncestorOf(dessus));
        };
        for (QAction* arrangement : {f->Cascade1, f->Mosaque1}) {
            arrangement->trigger();
            for (const auto& [w, genre] : vues) {
                auto* a = qobject_cast<TAfficheur*>(w);
                BarresFideles(*f, a);
                ASSERT_NE(a->Graphique, nullptr);
                EXPECT_EQ(a->Graphique->Genre(), genre);
                EXPECT_FALSE(w->parentWidget()->geometry().intersects(explorateur->geometry()));
            }
            EXPECT_TRUE(enVue()) << arrangement->objectName().toStdString();
        }
        QWidget* cadre = f->VuePlan->parentWidget();
        cadre->move(explorateur->pos() - QPoint(20, 20));
        cadre->raise();
        ASSERT_FALSE(enVue());
        f->Rorganiserlesicnes1->trigger();
        EXPECT_TRUE(enVue());
        cadre->move(-300, -100);
        QScrollBar* barre = f->Mdi->horizontalScrollBar();
        ASSERT_TRUE(QTest::qWaitFor([&] { return barre->isVisible() && barre->minimum() < 0; }));
        barre->setValue(barre->minimum());
        f->Mdi->verticalScrollBar()->setValue(f->Mdi->verticalScrollBar()->minimum());
        EXPECT_TRUE(f->Mdi->viewport()->rect().contains(cadre->geometry()));
        f->Massif->Enregistre = true;
    }
}

// The section opened before any branch exists, then the expert's branch from E/1 to S/3:
// the window fits it as it fits a section opened with one. Opened again with nothing
// selected, the expert starts a new branch, and the window shows it at 1/1000.
TEST_F(Vues, LaCoupeOuverteVideMontreSaPremiereBranche)
{
    auto f = Cree();
    {
        Repondeur r;
        // Without a massif, the expert does not open.
        f->Expert1->trigger();
        EXPECT_TRUE(r.autres.isEmpty());
        ASSERT_TRUE(f->OuvreMassif(Exemple()));
        ASSERT_TRUE(CalculsFinis(*f));
    }
    ASSERT_TRUE(f->Massif->Coupe.empty());
    f->Coupe1->trigger();
    auto* coupe = qobject_cast<TAfficheur*>(f->VueCoupe.data());
    ASSERT_NE(coupe, nullptr);
    EXPECT_EQ(coupe->Graphique->Echelle, 100);
    BarresFideles(*f, coupe);

    EXPECT_TRUE(Expert(*f, {"E", "1", "S", "3"}).first);
    ASSERT_FALSE(f->Massif->Coupe.empty());

    // Fitted as on a first opening: the whole branch in view, and the scale the window
    // chooses when it opens on this branch.
    const int echelle = coupe->Graphique->Echelle;
    EXPECT_GT(echelle, 100);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QString::number(echelle));
    BarresFideles(*f, coupe);
    EXPECT_EQ(coupe->Barre_Horizontale->maximum(), 0);
    EXPECT_EQ(coupe->Barre_Verticale->maximum(), 0);
    qobject_cast<QMdiSubWindow*>(coupe->parentWidget())->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->VueCoupe.isNull(); }));
    f->Coupe1->trigger();
    coupe = qobject_cast<TAfficheur*>(f->VueCoupe.data());
    EXPECT_EQ(coupe->Graphique->Echelle, echelle);
    // Saved, closed and opened again: the first fit of its section holds the whole branch,
    // as in the session that drew it.
    QTemporaryDir dossier;
    const std::string nom = dossier.path().toStdString() + "/branche.fic";
    f->Massif->Sauve(nom);
    f->Massif->Enregistre = true;
    f->Fermer1->trigger();
    ASSERT_EQ(f->Massif, nullptr);
    {
        Repondeur r;
        ASSERT_TRUE(f->OuvreMassif(nom));
        ASSERT_TRUE(CalculsFinis(*f));
    }
    f->Coupe1->trigger();
    coupe = qobject_cast<TAfficheur*>(f->VueCoupe.data());
    ASSERT_NE(coupe, nullptr);
    EXPECT_EQ(coupe->Graphique->Echelle, echelle);
    BarresFideles(*f, coupe);
    // A gallery inverted by the keys, the table open: the table shows the new abscissae.
    f->Tableau1->trigger();
    auto* table = qobject_cast<TAfficheur*>(f->VueTableau.data());
    f->Coupe1->trigger();
    QTest::mouseClick(coupe->Image2, Qt::LeftButton, {}, Encre(*coupe->Bitmap));  // the branch's left end
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    QTest::keyClick(f.get(), Qt::Key_B, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_I);
    const QImage inverse = table->Bitmap->Image();
    table->Redessine();
    EXPECT_EQ(table->Bitmap->Image(), inverse);

    // Printed and previewed with its origin locked, 200 x 287 mm upright, margins of 10 mm
    // and no corner marks: every page shows some of the branch.
    auto imp = std::make_unique<ImprimanteFactice>(4724, 6780, 200, 287, 600);
    ImprimanteFactice* imprimante = imp.get();
    f->FixeImprimante(std::move(imp));
    imprimante->FixePaysage(false);
    f->Marge.Gauche = f->Marge.Droite = f->Marge.Haut = f->Marge.Bas = 10;
    f->Marge.LongueurAngle = 0;
    coupe->Graphique->Echelle = 2000;
    coupe->Redessine();
    f->OptionsCoupe.Origine = true;
    const double k = 4724.0 / 200;
    for (auto [x, z] : {std::pair{0.0, 2000.0}, std::pair{0.0, 0.0}, std::pair{300.0, 500.0}}) {
        SCOPED_TRACE(testing::Message() << "origin " << x << ", " << z);
        f->OptionsCoupe.X_Origine = x;
        f->OptionsCoupe.Z_Origine = z;
        QString vu;
        PiloteModalInstalle pilote([&](QDialog& d) {
            auto& p = dynamic_cast<TPreview&>(d);
            p.FormShow();
            vu = p.Label1->text();
            return int(QDialog::Rejected);
        });
        ClicOutil(f->ToolBar1, f->BoutonApercu);
        imprimante->pages_.resize(1);
        invite.impressions.push_back(DialogueImpression{});
        ClicOutil(f->ToolBar1, f->BoutonImprimer);
        const int imprimees = static_cast<int>(imprimante->pages_.size()) - 1;
        EXPECT_EQ(vu, QStringLiteral("Page 1/%1").arg(imprimees));
        for (int i = 1; i <= imprimees; ++i) {
            bool encre = false;
            for (const Trace& t : imprimante->pages_[static_cast<std::size_t>(i)]->Traces) {
                if (t.genre != Trace::Ligne || (t.x0 == t.x1 && t.y0 == t.y1))
                    continue;
                for (int s = 0; s <= 32 && !encre; ++s) {
                    const double px = t.x0 + (t.x1 - t.x0) * s / 32.0, py = t.y0 + (t.y1 - t.y0) * s / 32.0;
                    encre = px >= 10 * k && px <= 190 * k && py >= 10 * k && py <= 277 * k;
                }
            }
            EXPECT_TRUE(encre) << "page " << i << " of " << imprimees;
        }
    }
    f->OptionsCoupe.Origine = false;

    f->Boite_Echelle->setCurrentIndex(3);
    EXPECT_TRUE(Expert(*f, {"F", "1", "T", "3", "600", "-400"}).second);
    ASSERT_EQ(f->Massif->Coupe.size(), 2u);
    // What lies nearest the middle of the window is of the new branch, F/1 to T/3.
    int fiche = -1, galerie, point;
    const double distance = coupe->Graphique->Localise(coupe->Barre_Horizontale->value() + coupe->Image2->width() / 2,
                                                       coupe->Barre_Verticale->value() + coupe->Image2->height() / 2,
                                                       fiche, galerie, point);
    EXPECT_GE(fiche, 6);
    EXPECT_LT(distance, coupe->Image2->height() / 2);

    // "Supprimer toutes les coupes", cancelled, then confirmed.
    f->Massif->Enregistre = true;
    invite.messages.clear();
    invite.reponses = {Bouton::Annuler};
    f->Supprimertouteslescoupes1->trigger();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Supprimer toutes les coupes ?")});
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Annuler);
    EXPECT_EQ(f->Massif->Coupe.size(), 2u);
    EXPECT_TRUE(f->Massif->Enregistre);
    invite.reponses = {Bouton::OK};
    f->Supprimertouteslescoupes1->trigger();
    EXPECT_EQ(f->Massif->Coupe.size(), 0u);
    EXPECT_FALSE(f->Massif->Enregistre);
    f->Massif->Enregistre = true;
}

TEST_F(Vues, CalculDetailleEtLacunes)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(""));
    f->Depart_Calcul_Rapide->stop();
    TMassif& m = *f->Massif;
    AjouteReference(m, "R", 0);
    auto fiche = std::make_unique<TFiche>();
    fiche->Systeme.Affecte("S");
    fiche->Cavite.Affecte("C");
    fiche->Reseau.Affecte("R");
    fiche->Lieu.Affecte("Salle \xE9toil\xE9"
                        "e");
    AjouteGalerie(*fiche, "R", "A", 1, 10);
    AjouteGalerie(*fiche, "X", "Y", 1, 10);
    fiche->Calcule(0);
    m.AjouteFiche(std::move(fiche), false);
    // A sheet of another address: each line of the list names its own sheet.
    fiche = std::make_unique<TFiche>();
    for (auto [partie, texte] :
         {std::pair{&fiche->Systeme, "W"}, {&fiche->Cavite, "X"}, {&fiche->Reseau, "Y"}, {&fiche->Lieu, "Z"}})
        partie->Affecte(texte);
    AjouteGalerie(*fiche, "Terminus", "C", 1, 10);
    fiche->Calcule(0);
    m.AjouteFiche(std::move(fiche), false);
    m.Enregistre = true;

    // "Arrêter" in the list of unreached galleries: the computation stops there.
    Repondeur r;
    r.continuer = {false};
    f->Calcul1->trigger();
    EXPECT_TRUE(f->Depart_Calcul_Detail->isActive());
    f->Depart_Calcul_DetailTimer();
    EXPECT_FALSE(f->Depart_Calcul_Detail->isActive());
    ASSERT_EQ(r.listes, QStringList{QStringLiteral("S/C/R/Salle étoilée X - Y\nW/X/Y/Z Terminus - C")});
    EXPECT_FALSE(m.Fiches[0]->Galeries[0]->Placee);
    EXPECT_FALSE(CalculEnCours);
    EXPECT_FALSE(f->Animation->Active());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(m.Enregistre);

    // "Continuer": the reached gallery is placed, the other left aside.
    r.continuer = {true};
    f->Calcul1Click();
    f->Depart_Calcul_DetailTimer();
    EXPECT_EQ(r.listes.size(), 2);
    EXPECT_TRUE(m.Fiches[0]->Galeries[0]->Placee);
    EXPECT_FALSE(m.Fiches[0]->Galeries[1]->Placee);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The quick computation of the same massif reports the unreached galleries. It ends
    // while the user holds the mouse down on "Plan": its box waits for the release, so that
    // the click opens the plan instead of being swallowed by the box.
    QWindow* fenetre = f->windowHandle();
    QWidget* bouton = f->ToolBar1->widgetForAction(f->BoutonPlan);
    ASSERT_NE(bouton, nullptr);
    const QPoint ici = bouton->mapTo(f.get(), bouton->rect().center());
    bool relache = false;
    r.avant = [&] {
        if (!relache)
            QTest::mouseRelease(fenetre, Qt::LeftButton, {}, ici);
        relache = true;
    };
    ClicOutil(f->ToolBar1, f->BoutonCalculer);
    f->Depart_Calcul_RapideTimer();
    ASSERT_NE(f->ThreadCalcul, nullptr);
    // The worker is done: its end is on its way when the button goes down.
    f->ThreadCalcul->Attend();
    QTest::mousePress(fenetre, Qt::LeftButton, {}, ici);
    QCoreApplication::processEvents();
    if (!relache)
        QTest::mouseRelease(fenetre, Qt::LeftButton, {}, ici);
    relache = true;
    ASSERT_TRUE(CalculsFinis(*f));
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->Graphique->Genre(), GenreVue::Plan);
    ASSERT_EQ(r.textes.size(), 1);
    EXPECT_EQ(
        r.textes[0],
        QStringLiteral("Certaines fiches ne sont pas reliées,\npour plus d'informations, faites Calcul | Détaillé"));

    // Without a reference point, "Calculer" says that no sheet is reached; so does a phone
    // survey whose entrance has no coordinates, and its plan says why it is blank.
    const QString aucune = QStringLiteral("Aucune fiche atteinte,\nvérifiez les points de références");
    m.VideReferences();
    ClicOutil(f->ToolBar1, f->BoutonCalculer);
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(r.textes.mid(1), QStringList{aucune});
    m.Enregistre = true;
    QTemporaryDir dir;
    const QString telephone = dir.filePath(QStringLiteral("cp39.tro"));
    std::ofstream(telephone.toStdString(), std::ios::binary)
        << "Version 5.02\r\n\r\nTrou CP39,,,\r\n\r\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir Arr Std\r\n"
           "E0 E1 10.00 45.00 -5.0 * * * *\r\nE1 E2 8.00 90.00 0.0 * * * *\r\n";
    ASSERT_TRUE(f->OuvreMassif(""));
    invite.fichiers = {telephone};
    f->VisualTopo1->trigger();
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(r.textes.mid(1), (QStringList{aucune, aucune}));
    f->Plan1->trigger();
    EXPECT_EQ(f->Panneaux[1]->text(), QStringLiteral("Rien n'est placé : le massif n'a pas de point de référence."));
    f->Massif->Enregistre = true;

    // Past the junction limit, "Calculer" says so as "Détaillé" does.
    ASSERT_TRUE(f->OuvreMassif(""));
    f->Depart_Calcul_Rapide->stop();
    auto carrefours = std::make_unique<TFiche>();
    for (int i = 0; i <= kMaxInconnues; ++i)
        for (auto [depart, longueur] : {std::pair{"A", 3.0}, {"B", 8.0}, {"C", 5.0}})
            AjouteGalerie(*carrefours, depart, ("P" + std::to_string(i)).c_str(), 1, longueur);
    carrefours->Calcule(0);
    f->Massif->AjouteFiche(std::move(carrefours), false);
    for (auto [nom, x] : {std::pair{"A", 0.0}, {"B", 0.01}, {"C", 0.02}})
        AjouteReference(*f->Massif, nom, x);
    ClicOutil(f->ToolBar1, f->BoutonCalculer);
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_EQ(invite.Textes().last(), "Trop de carrefours\r\nDemandez une version spéciale de Karstomat");
    f->Massif->Enregistre = true;
}

namespace {

std::vector<CouleurOctets> Couleurs(const TPerspective& p)
{
    std::vector<CouleurOctets> r;
    for (const auto& e : p.Scene->Entities)
        r.push_back(e->Color);
    return r;
}

}  // namespace

// The 3D panel needs an X display: these run on the virtual X server, not offscreen.
class VuesX11 : public Vues {
protected:
    void SetUp() override
    {
        Vues::SetUp();
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "the OpenGL panel needs an X display";
        HabilleDialoguesQt();  // as the program's start does, before any window
        // The sample massif computed and its perspective window open, palette shown.
        f = Cree();
        repondeur = std::make_unique<Repondeur>();
        ASSERT_TRUE(f->OuvreMassif(Exemple()));
        ASSERT_TRUE(CalculsFinis(*f));
        f->Relief1->trigger();
        a = qobject_cast<TAfficheur*>(f->VuePerspective.data());
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(Outils3D(*f).isVisible());
    }
    std::unique_ptr<TForm1> f;
    std::unique_ptr<Repondeur> repondeur;
    TAfficheur* a = nullptr;
};

TEST_F(VuesX11, LaTroisDSuitChaqueChangement)
{
    auto& p = static_cast<TPerspective&>(*a->Graphique);
    TOutils_3D& outils = Outils3D(*f);

    // A model once built carries a mark; a rebuilt one has lost it.
    const std::array<float, 3> marque{0.25f, 0.5f, 0.75f};
    auto marque_ = [&] { p.Scene->Background = marque; };
    auto reconstruit = [&] {
        return QTest::qWaitFor([&] { return p.Scene && !(p.Scene->Background == marque); }, 5000);
    };

    // The plan open too, the perspective in front with the keyboard; "3D" ticked by the user
    // on the palette, which takes the activation: the model is built, in the main window as
    // it was.
    f->Plan1->trigger();
    f->Relief1->trigger();
    QTest::mouseClick(a->Image2, Qt::LeftButton, {}, a->Image2->rect().center());
    ASSERT_EQ(QApplication::focusWidget(), a->Image2);
    outils.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&outils));
    const WId fenetre = f->winId();
    const QPoint position = f->pos();
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    ASSERT_TRUE(a->Mode3D());
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Scene != nullptr; }, 5000));
    EXPECT_EQ(f->winId(), fenetre);
    EXPECT_EQ(f->pos(), position);
    // Back to the main window by its menu bar, the menu closed with Escape: the perspective
    // is still the active view.
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    QTest::mouseClick(f->menuBar(), Qt::LeftButton, {},
                      f->menuBar()->actionGeometry(f->Format1->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == f->Format1; }));
    QTest::keyClick(f->Format1, Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_EQ(f->AfficheurActif(), a);
    ASSERT_FALSE(p.Scene->Entities.empty());
    const std::vector<CouleurOctets> normales = Couleurs(p);

    // "Contrainte": the tubes take the deformation colours.
    marque_();
    auto* contrainte = qobject_cast<QToolButton*>(f->ToolBar4->widgetForAction(f->Contrainte));
    ASSERT_NE(contrainte, nullptr);
    QTest::mouseClick(contrainte, Qt::LeftButton);
    ASSERT_TRUE(f->Contrainte->isChecked());
    ASSERT_TRUE(reconstruit());
    EXPECT_NE(Couleurs(p), normales);
    const std::size_t tubes = p.Scene->Entities.size();

    // The perspective options with "Cylindres" ticked: one more entity per station.
    marque_();
    PiloteModalInstalle pilote([](QDialog& d) {
        auto* cylindre = d.findChild<QCheckBox*>(QStringLiteral("Cylindre"));
        EXPECT_NE(cylindre, nullptr);
        if (cylindre && !cylindre->isChecked())
            cylindre->click();
        return int(QDialog::Accepted);
    });
    a->Proprits1Click();
    ASSERT_TRUE(f->OptionsRelief.Cylindre);
    ASSERT_TRUE(reconstruit());
    EXPECT_GT(p.Scene->Entities.size(), tubes);

    marque_();
    f->Calculrapide1Click();
    ASSERT_TRUE(CalculsFinis(*f));
    EXPECT_TRUE(reconstruit());
}

TEST_F(VuesX11, StereoTroisDEtPaletteAuClavier)
{
    auto& p = static_cast<TPerspective&>(*a->Graphique);
    TOutils_3D& outils = Outils3D(*f);
    auto fond = [&] { return a->PanelFond->palette().color(QPalette::Window); };

    // Stéréo, then 3D, then back to 2D: the white drawing, Stéréo unticked.
    QTest::mouseClick(outils.stereo, Qt::LeftButton);
    EXPECT_TRUE(p.Stereo);
    EXPECT_EQ(fond(), QColor(Qt::black));
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    EXPECT_TRUE(a->Mode3D());
    EXPECT_FALSE(outils.stereo->isChecked());
    EXPECT_FALSE(p.Stereo);
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    EXPECT_FALSE(a->Mode3D());
    EXPECT_FALSE(p.Stereo);
    EXPECT_EQ(fond(), QColor(Qt::white));
    EXPECT_FALSE(outils.Arriere->isEnabled());

    // In 3D with the menu bar there: Alt pressed and released on the panel puts the
    // sideways movement down and back, and Ctrl after it still reaches the panel.
    ASSERT_TRUE(f->menuBar()->isVisible());
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    ASSERT_TRUE(a->Mode3D());
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    a->Panneau3D->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(a->Panneau3D));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Lateral);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Translation);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(a->Panneau3D));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Rotation);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Translation);

    // Ctrl on the palette itself, once it has the activation (not merely its main window).
    outils.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &outils; }));
    outils.OpenGL->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(outils.OpenGL));
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Rotation);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Translation);
    // The palette active, the perspective stays the active view: its second's check keeps
    // the palette shown.
    EXPECT_EQ(f->AfficheurActif(), a);
    QSignalSpy verification(a->Timer1, &QTimer::timeout);
    ASSERT_TRUE(verification.wait(3000));
    EXPECT_TRUE(outils.isVisible());

    // F6 back to the model, where Shift+F10 opens the view's menu; F6 again to the palette,
    // where Space unticks « 3D », Tab and Space choose « Stéréo », Alt+3 ticks « 3D » again.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == a->Panneau3D; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == a->PopupMenu1; }));
    QTest::keyClick(a->PopupMenu1, Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == outils.OpenGL; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(a->Mode3D());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(p.Stereo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->Mode3D(); }));

    // Closing the window in 3D: the box unticked and the movement buttons disabled.
    qobject_cast<QMdiSubWindow*>(a->parentWidget())->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->VuePerspective.isNull(); }, 5000));
    EXPECT_FALSE(outils.OpenGL->isChecked());
    for (QToolButton* b : {outils.Rotation, outils.Translation, outils.Lateral, outils.Horizontal, outils.Arriere})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
}

// The 3D panel keeps its mouse: a double click does not reach the tools of the hidden
// drawing, which "3D" releases; closing the window ends its automatic rotation and the stop
// window with it.
TEST_F(VuesX11, LePanneauTroisDGardeSaSouris)
{
    auto& p = static_cast<TPerspective&>(*a->Graphique);
    TOutils_3D& outils = Outils3D(*f);
    for (QAction* outil : {f->Rotation, f->Zoom}) {
        QTest::mouseClick(f->ToolBar4->widgetForAction(outil), Qt::LeftButton);
        ASSERT_TRUE(outil->isChecked());
    }
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    ASSERT_TRUE(a->Mode3D());
    for (QAction* outil : {f->Rotation, f->Zoom}) {
        EXPECT_FALSE(outil->isChecked()) << outil->objectName().toStdString();
        EXPECT_FALSE(outil->isEnabled()) << outil->objectName().toStdString();
    }
    // Without a tool, the pop-up menu offers the most deformed gallery.
    a->PopupMenu1Popup();
    EXPECT_TRUE(a->findChild<QAction*>(QStringLiteral("Dformationmax1"))->isVisible());

    const QPoint centre = a->Panneau3D->rect().center();
    QTest::mouseDClick(a->Panneau3D, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(a->Panneau3D, Qt::LeftButton, {}, centre);
    EXPECT_FALSE(a->Glisse);
    EXPECT_FALSE(a->SelectionValide);
    EXPECT_FALSE(a->EnDeplacement);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Back in 2D with the rotation tool: the bare mouse turns nothing.
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    ASSERT_FALSE(a->Mode3D());
    QTest::mouseClick(f->ToolBar4->widgetForAction(f->Rotation), Qt::LeftButton);
    const double azimut = p.Azimut, elevation = p.Elevation;
    QTest::mouseMove(a->Image2, a->Image2->rect().center() + QPoint(60, 30));
    EXPECT_FALSE(a->Glisse);
    EXPECT_EQ(p.Azimut, azimut);
    EXPECT_EQ(p.Elevation, elevation);
    QTest::mouseClick(f->ToolBar4->widgetForAction(f->Rotation), Qt::LeftButton);
    ASSERT_FALSE(f->Rotation->isChecked());

    // The automatic rotation in 3D, then the window closed.
    QTest::mouseClick(outils.OpenGL, Qt::LeftButton);
    ASSERT_TRUE(a->Mode3D());
    invite.saisies = {QStringLiteral("15")};
    f->Rotationplane1->trigger();
    ASSERT_TRUE(Arret(*f).isVisible());
    ASSERT_TRUE(a->CaTourne->isActive());
    qobject_cast<QMdiSubWindow*>(a->parentWidget())->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->VuePerspective.isNull(); }, 5000));
    EXPECT_FALSE(Arret(*f).isVisible());
    EXPECT_TRUE(outils.isEnabled());
}

// Without a window manager, as here, the maximised state is never applied: the preview
// still opens on the screen's size and shows a page, not its button row alone. The stop
// window of "Tourner ..." takes the activation while it runs; once it is closed the plan is
// the active view again, with its toolbar and its commands.
TEST_F(VuesX11, LePlanRedevientActifApresLArret)
{
    f->Plan1->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    ASSERT_NE(plan, nullptr);
    {
        QSize fenetre, page;
        PiloteModalInstalle pilote([&](QDialog& d) {
            d.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
            fenetre = d.size();
            page = d.findChild<QWidget*>(QStringLiteral("Image1"))->size();
            return int(QDialog::Rejected);
        });
        ClicOutil(f->ToolBar1, f->BoutonApercu);
        const QSize ecran = f->screen()->availableGeometry().size();
        EXPECT_GE(fenetre.height(), ecran.height() * 3 / 4);
        EXPECT_GE(page.height(), ecran.height() / 2);
    }
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    ASSERT_EQ(f->AfficheurActif(), plan);
    TArret& arret = Arret(*f);
    int pas = 0;
    bool active = false;
    auto& vuePlan = static_cast<TPlan&>(*plan->Graphique);
    EtapesRotation etapes(
        *f, *plan, [&] { return std::vector<double>{vuePlan.Angle}; },
        [&] {
            if (++pas == 3) {
                // Clicked, the stop window takes the activation, as a click on it does.
                arret.activateWindow();
                active = QTest::qWaitForWindowActive(&arret);
                QTest::mouseClick(arret.Button1, Qt::LeftButton);
            }
        });
    // The step typed in the real input box.
    repondeur.reset();
    InterlocuteurQt qt;
    Interlocuteur::Installe(&qt);
    QTimer saisie;
    saisie.setInterval(20);
    QObject::connect(&saisie, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d || QApplication::activeWindow() != d || !QApplication::focusWidget())
            return;
        saisie.stop();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("15"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    saisie.start();
    f->Rotation1->trigger();
    Interlocuteur::Installe(&invite);
    ASSERT_TRUE(active);
    ASSERT_FALSE(arret.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(f.get()));
    EXPECT_EQ(f->AfficheurActif(), plan);
    EXPECT_TRUE(f->Imprimer1->isEnabled());
    EXPECT_TRUE(f->ToolBar4->isVisible());
    EXPECT_TRUE(f->Vue1->menuAction()->isEnabled());
}

// The preview of a plan page and the same page printed on the recording printer, across as
// the program prints by default, on a sheet with an unprintable margin: the preview shows
// the corner marks, the "Page n" label and the drawing where the printer puts them on the
// sheet, and nothing outside the page's frame but its marks and label.
TEST_F(Vues, LApercuEstLaPageImprimee)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(Exemple()));
    ASSERT_TRUE(CalculsFinis(*f));
    auto imp = std::make_unique<ImprimanteFactice>();
    ImprimanteFactice* imprimante = imp.get();
    imprimante->bordFeuille = 80;  // 3.4 mm at 600 dpi
    f->FixeImprimante(std::move(imp));
    ASSERT_TRUE(imprimante->Paysage());
    TMarge& marge = f->Marge;
    marge.Gauche = marge.Droite = marge.Haut = marge.Bas = 10;
    marge.LongueurAngle = 30;
    marge.EpaisseurAngle = 5;
    marge.AfficheEtiquette = {false, false, true, false};  // "Page n" alone, top right
    marge.PositionEtiquette = {0, 1, 2, 3};
    f->Plan1->trigger();
    auto* plan = qobject_cast<TAfficheur*>(f->VuePlan.data());
    ASSERT_NE(plan, nullptr);
    plan->Graphique->Echelle = 5000;
    plan->Redessine();
    // The whole job; then the page with the most lines, as printed and as previewed.
    plan->Imprime(0, 0, 1, marge);
    const int pages = static_cast<int>(imprimante->pages_.size()) - 1;
    ASSERT_GT(pages, 1);
    int choisie = 1;
    auto lignes = [&](int i) {
        const auto& traces = imprimante->pages_[static_cast<std::size_t>(i)]->Traces;
        return std::count_if(traces.begin(), traces.end(), [](const Trace& t) { return t.genre == Trace::Ligne; });
    };
    for (int i = 2; i <= pages; ++i)
        if (lignes(i) > lignes(choisie))
            choisie = i;
    const CanvasEnregistreur& page = *imprimante->pages_[static_cast<std::size_t>(choisie)];
    QImage apercu;
    double zoom = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        auto& p = dynamic_cast<TPreview&>(d);
        p.resize(1200, 900);
        p.FormShow();
        p.ScrollBar1->setValue(choisie);
        EXPECT_EQ(p.Label1->text(), QStringLiteral("Page %1/%2").arg(choisie).arg(pages));
        apercu = p.Bitmap().Image().copy();
        zoom = static_cast<double>(static_cast<long double>(p.Zoom));
        return int(QDialog::Rejected);
    });
    ClicOutil(f->ToolBar1, f->BoutonApercu);
    ASSERT_GT(zoom, 0);

    // The preview is the sheet, the page inside it past the unprintable margin.
    EXPECT_NEAR(apercu.width(), (7016 + 160) * zoom, 1);
    EXPECT_NEAR(apercu.height(), (4960 + 160) * zoom, 1);
    auto versApercu = [&](double x, double y) {
        return QPoint(static_cast<int>(std::nearbyint((x + 80) * zoom)),
                      static_cast<int>(std::nearbyint((y + 80) * zoom)));
    };
    auto encre = [&](QRect r) {
        r = r.intersected(apercu.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (apercu.pixel(x, y) != qRgb(255, 255, 255))
                    return true;
        return false;
    };
    // Every line printed (the drawing and the eight corner marks) shows in the preview at
    // its place on the sheet, and so does the label; no line lies outside the frame.
    const QRect cadre = CadrePage(*imprimante, 10, 10, 10, 10);
    int lignesVues = 0;
    QRect etiquette;
    for (const Trace& t : page.Traces) {
        if (t.genre == Trace::Ligne) {
            EXPECT_TRUE(cadre.contains(t.x0, t.y0) && cadre.contains(t.x1, t.y1));
        }
        if (t.genre == Trace::Ligne && (t.x0 != t.x1 || t.y0 != t.y1)) {
            const QPoint m = versApercu((t.x0 + t.x1) / 2.0, (t.y0 + t.y1) / 2.0);
            EXPECT_TRUE(encre(QRect(m - QPoint(2, 2), m + QPoint(2, 2))))
                << t.x0 << "," << t.y0 << " " << t.x1 << "," << t.y1;
            ++lignesVues;
        }
        if (t.genre == Trace::Texte && t.texte == "Page " + std::to_string(choisie)) {
            const int h = std::abs(t.police.Hauteur);
            etiquette =
                QRect(versApercu(t.x0, t.y0), versApercu(t.x0 + static_cast<int>(t.texte.size()) * (h / 2), t.y0 + h));
            EXPECT_TRUE(encre(etiquette));
        }
    }
    EXPECT_GT(lignesVues, 8);
    ASSERT_FALSE(etiquette.isNull());
    const QRect cadreApercu(versApercu(cadre.left(), cadre.top()) - QPoint(2, 2),
                            versApercu(cadre.right(), cadre.bottom()) + QPoint(2, 2));
    for (int y = 0; y < apercu.height(); ++y)
        for (int x = 0; x < apercu.width(); ++x)
            if (apercu.pixel(x, y) != qRgb(255, 255, 255)) {
                ASSERT_TRUE(cadreApercu.contains(x, y) || etiquette.adjusted(-2, -2, 2, 2).contains(x, y))
                    << x << ", " << y;
            }

    // A reference point a million km off: at 1:25000, a grid of pages of 277 x 190 mm far
    // beyond what a job prints. Imprimer prints nothing and says why; the preview counts it.
    auto loin = std::make_unique<TFiche>();
    AjouteGalerie(*loin, "Loin", "L1", 1, 10);
    loin->Calcule(0);
    f->Massif->AjouteFiche(std::move(loin), false);
    AjouteReference(*f->Massif, "Loin", 1e6);  // km
    ClicOutil(f->ToolBar1, f->BoutonCalculer);
    ASSERT_TRUE(CalculsFinis(*f));
    plan->Graphique->Echelle = 25000;
    const TGraphique& g = *plan->Graphique;
    const long double x = g.Xmax - g.Xmin, y = g.Ymax - g.Ymin;
    const QString combien =
        QString::fromStdString(FormatNombre(std::ceil((x - 500) / 25 / 277) * std::ceil((y - 500) / 25 / 190), 19, 0));
    imprimante->Journal.clear();
    invite.messages.clear();
    invite.impressions.push_back(DialogueImpression{});
    // Were the cap gone, the job would run for hours: a watchdog interrupts it instead.
    QTimer garde;
    QObject::connect(&garde, &QTimer::timeout, [] {
        if (Evolution)
            QTest::mouseClick(Evolution->Button1, Qt::LeftButton);
    });
    garde.start(5000);
    ClicOutil(f->ToolBar1, f->BoutonImprimer);
    EXPECT_TRUE(imprimante->Journal.empty());
    EXPECT_EQ(
        invite.Textes().join(""),
        QStringLiteral(
            "À l'échelle 1/25000, le dessin de %1 km sur %2 km demanderait %3 pages : on n'en imprime pas plus de 10 000 à la fois.\rChoisissez une échelle plus petite, ou vérifiez les coordonnées des points de référence.")
            .arg(QString::fromStdString(FormatNombre(x / 1000, 15, 1)),
                 QString::fromStdString(FormatNombre(y / 1000, 15, 1)), combien));
    QString compte;
    PiloteModalInstalle apercuLoin([&](QDialog& d) {
        auto& p = dynamic_cast<TPreview&>(d);
        p.FormShow();
        return compte = p.Label1->text(), int(QDialog::Rejected);
    });
    ClicOutil(f->ToolBar1, f->BoutonApercu);
    EXPECT_EQ(compte, "Page 1/" + combien.split(' ').join(""));

    // At 1:1, a row of pages past what an int counts, refused as such, not as a page without
    // room; the dialog counts as far as it can.
    plan->Graphique->Echelle = 1;
    invite.messages.clear();
    invite.impressions.push_back(DialogueImpression{});
    ClicOutil(f->ToolBar1, f->BoutonImprimer);
    EXPECT_EQ(invite.impressionsProposees.back().maximum, INT_MAX);
    EXPECT_TRUE(invite.Textes().join("").contains(" demanderait plus de 2 milliards de pages : on n'en imprime pas"));
}
