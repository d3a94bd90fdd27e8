// Picking search results: the grid of sheets or stations, the plan picker and its nearest
// gallery, the two lists of the multiple choice, and the two search entry points.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "dialogs/choix_recherche.h"
#include "dialogs/recherche.h"
#include "platform/canvas.h"
#include "recherche_aide.h"

using namespace karst;
using namespace karst::test;

namespace {

// Three computed sheets: a gallery along y = 0, one along y = 50, and a third sheet with
// a gallery along y = 0 further east and a bent one ending along y = 60.
struct TroisFiches {
    TMassif m;
    ListeFiches liste;
    TroisFiches()
    {
        AjouteGalerie(FicheA(m, "Un", "12/05/98", "Durand"), "A", "B", {0, 0}, {{10, 0}});
        AjouteGalerie(FicheA(m, "Deux", "01/06/98", "Martin"), "C", "D", {0, 50}, {{10, 50}});
        TFiche& f3 = FicheA(m, "Trois", "03/02/00", "Petit");
        AjouteGalerie(f3, "E", "F", {50, 0}, {{60, 0}});
        AjouteGalerie(f3, "G", "H", {50, 50}, {{50, 60}, {60, 60}});
        m.PointsCalcules = true;
        liste.assign(m.Fiches.begin(), m.Fiches.end());
    }
};

int Rechercher(QDialog& d) { return Clique(d, "Button1"); }

// The user's click on the plan, at the pixel of a point given in metres.
void Clic(TApercu& a, double x, double y)
{
    QTest::mouseClick(a.Image1, Qt::LeftButton, {}, QPoint(a.PixelX(x), a.PixelY(y)));
}

}  // namespace

TEST(ChoixRecherche, ValiderSansLigneChoisieDonneLaPremiereFiche)
{
    Application();
    TroisFiches t;
    Recherches r;
    ScenarioModal s;
    // Cancelled in either window: nothing changes.
    s.Ajoute("BaseRecherche", [](QDialog& d) { return Clique(d, "Button3"); });
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& d) { return Clique(d, "Button3"); });
    TFiche* choisie = nullptr;
    int galerie = 7;
    EXPECT_FALSE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_FALSE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, nullptr);
    EXPECT_EQ(galerie, 7);
    EXPECT_TRUE(s.etapes.empty());

    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        EXPECT_EQ(d.Mode, 4);
        EXPECT_EQ(d.StringGrid1->rowCount(), 3);
        EXPECT_EQ(d.StringGrid1->item(0, 4)->text(), QStringLiteral("12/05/98"));
        EXPECT_EQ(d.StringGrid1->item(2, 5)->text(), QStringLiteral("Petit "));
        EXPECT_EQ(d.StringGrid1->horizontalHeaderItem(1)->text(), QStringLiteral("Cavité"));
        EXPECT_TRUE(d.Button2->isEnabled());
        EXPECT_EQ(d.Button2->toolTip(), QStringLiteral("Utilise la fiche choisie"));
        EXPECT_EQ(d.Button1->toolTip(), QStringLiteral("Visualise les fiches"));
        return Clique(d, "Button2");
    });
    galerie = -1;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[0]);
    EXPECT_EQ(galerie, -1);

    // A double click on a row takes it when "Valider" is on. Long names and several
    // surveyors: the window opens wide enough to show the date and the surveyors, and stays
    // within the screen.
    TFiche& f = *t.liste[1];
    f.Cavite.Affecte("Henne Morte");
    f.Reseau.Affecte("Amont");
    f.Lieu.Affecte("Salle Chevalier");
    f.Topographes.emplace_back("Paul Petit");
    f.Topographes.emplace_back("Marie Martin");
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        d.show();
        QApplication::processEvents();
        QTableWidget* grille = d.StringGrid1;
        const int derniere = grille->columnCount() - 1;
        EXPECT_LE(grille->horizontalHeader()->sectionViewportPosition(derniere) + grille->columnWidth(derniere),
                  grille->viewport()->width());
        EXPECT_TRUE(d.screen()->availableGeometry().contains(d.frameGeometry()));
        // A user's double click: a click, then the second press that makes it double.
        const QPoint ligne1 = grille->visualItemRect(grille->item(1, 0)).center();
        QTest::mouseClick(grille->viewport(), Qt::LeftButton, {}, ligne1);
        QTest::mouseDClick(grille->viewport(), Qt::LeftButton, {}, ligne1);
        d.hide();
        return d.result();
    });
    galerie = -1;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[1]);
    // The keys go to the grid from its first row: Down, Down, Return takes the third sheet,
    // even when the window last closed with the keyboard on « Annuler ».
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& d) {
        dynamic_cast<TRechSimp&>(d).Button3->setFocus();
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        for (const Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(QApplication::focusWidget(), k);
        d.hide();
        return d.result();
    });
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[2]);
}

TEST(ChoixRecherche, VisualiserSansSelectionMontreToutesLesFichesEtPrendUneGalerie)
{
    Application();
    TroisFiches t;
    Recherches r;
    r.RechSimp->Apercu->Image1->resize(200, 100);
    ScenarioModal s;
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        EXPECT_EQ(d.Mode, 1);
        EXPECT_FALSE(d.Button2->isEnabled());  // only the plan can choose
        EXPECT_EQ(d.Button1->toolTip(), QStringLiteral("Visualise la fiche choisie"));
        return Clique(d, "Button1");
    });
    s.Ajoute("Apercu", [&t](QDialog& q) {
        auto& a = dynamic_cast<TApercu&>(q);
        EXPECT_EQ(a.Fiches, t.liste);
        EXPECT_FALSE(a.OKBtn->isEnabled());
        // 60 m square in 200 x 100 pixels: X widened to -30 .. 90, then 5 % margins.
        EXPECT_DOUBLE_EQ(a.Xmin, -36);
        EXPECT_DOUBLE_EQ(a.Xmax, 96);
        EXPECT_DOUBLE_EQ(a.Ymin, -3);
        EXPECT_DOUBLE_EQ(a.Ymax, 63);
        EXPECT_EQ(a.PixelX(0), 55);
        EXPECT_EQ(a.PixelY(0), 95);
        EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(5), a.PixelY(50)), kNoir);
        a.show();
        QApplication::processEvents();
        // Next to the bent gallery's last shot, nearer to it than to its stations.
        Clic(a, 56, 58);
        EXPECT_TRUE(a.OKBtn->isEnabled());
        EXPECT_EQ(a.Panel1->text(), QStringLiteral("Trois/Grotte/Amont/Salle  G -> H"));
        EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(55), a.PixelY(60)), kRouge);
        // Another click erases the first highlight.
        Clic(a, 4, 1);
        EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(55), a.PixelY(60)), kNoir);
        EXPECT_EQ(a.FicheChoisie, 0);
        Clic(a, 56, 58);
        a.hide();
        return Clique(a, "OKBtn");
    });
    TFiche* choisie = nullptr;
    int galerie = 0;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[2]);
    EXPECT_EQ(galerie, 1);
    EXPECT_EQ(r.RechSimp->Choix, 2);
}

TEST(ChoixRecherche, LesGaleriesDeLaCoupeSontGrisesEtNePeuventEtrePrises)
{
    Application();
    TroisFiches t;
    t.liste[2]->Galeries[1]->DansCoupe = true;
    Recherches r;
    r.RechSimp->Apercu->Image1->resize(200, 100);
    ScenarioModal s;
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        EXPECT_EQ(d.Mode, 3);
        // Only the third sheet.
        d.StringGrid1->setRangeSelected(QTableWidgetSelectionRange(2, 0, 2, 5), true);
        return Clique(d, "Button1");
    });
    s.Ajoute("Apercu", [&t](QDialog& q) {
        auto& a = dynamic_cast<TApercu&>(q);
        EXPECT_EQ(a.Fiches, ListeFiches{t.liste[2]});
        EXPECT_TRUE(a.GriserCoupe);
        EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(55), a.PixelY(60)), 0xC0C0C0u);
        a.show();
        QApplication::processEvents();
        Clic(a, 55, 60);
        EXPECT_EQ(a.GalerieChoisie, 0);
        a.hide();
        return Clique(a, "OKBtn");
    });
    TFiche* choisie = nullptr;
    int galerie = -2;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[2]);
    EXPECT_EQ(galerie, 0);
}

TEST(ChoixRecherche, FichesNonCalculeesEtPlanSansCandidat)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    TroisFiches t;
    t.liste[0]->Galeries[0]->Placee = false;
    TRechSimp d;
    d.Remplit(1, t.liste, &t.m);
    ScenarioModal s;
    d.StringGrid1->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 5), true);
    d.BitBtn2Click();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Pas de fiches calculées.")});
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].icone, Icone::Avertissement);
    EXPECT_EQ(d.result(), 0);  // "Choix simple" stays open
    EXPECT_TRUE(s.montrees.empty());

    // Every gallery greyed: a click picks nothing and "Prendre" stays off.
    TApercu& a = *d.Apercu;
    for (TGalerie* g : t.liste[1]->Galeries)
        g->DansCoupe = true;
    ASSERT_TRUE(a.DefinitListe({t.liste[1]}));
    a.GriserCoupe = true;
    a.show();
    QApplication::processEvents();
    a.Dessine();
    QTest::mouseClick(a.Image1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(a.Trouve);
    EXPECT_FALSE(a.OKBtn->isEnabled());
    EXPECT_TRUE(a.Panel1->text().isEmpty());
}

TEST(ChoixRecherche, ListeDeStations)
{
    Application();
    TPointTopo p1, p2, fin;
    p1.Nom.Affecte("A12");
    p1.Indice = 3;
    p2.Nom.Affecte("B");
    p2.Indice = 0;
    fin.Terminus = true;
    Recherches r;
    ScenarioModal s;
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        EXPECT_EQ(d.StringGrid1->columnCount(), 2);
        EXPECT_EQ(d.StringGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("Point"));
        EXPECT_EQ(d.StringGrid1->item(0, 1)->text(), QStringLiteral("3"));
        EXPECT_EQ(d.StringGrid1->item(1, 1)->text(), QStringLiteral("0"));
        EXPECT_EQ(d.StringGrid1->item(2, 0)->text(), QStringLiteral("Terminus"));
        EXPECT_TRUE(d.StringGrid1->item(2, 1)->text().isEmpty());
        EXPECT_TRUE(d.Button1->isHidden());
        EXPECT_EQ(d.Button2->toolTip(), QStringLiteral("Utilise la galerie allant au point"));
        d.StringGrid1->setCurrentCell(2, 0);
        return Clique(d, "Button2");
    });
    s.Ajoute("RechSimp", [](QDialog& d) { return Clique(d, "Button3"); });
    EXPECT_EQ(r.ChoixStation({&p1, &p2, &fin}), 2);
    EXPECT_EQ(r.ChoixStation({&p1, &p2, &fin}), -1);
}

TEST(ChoixRecherche, ChoixMultiple)
{
    Application();
    TMassif m;
    for (const char* s : {"S1", "S2", "S3", "S4"})
        FicheA(m, s, "12/05/98", "Jean");
    m.Fiches[1]->Topographes.emplace_back("Paul");
    const ListeFiches liste(m.Fiches.begin(), m.Fiches.end());
    TRechMulti d;
    d.Remplit(liste);
    EXPECT_EQ(d.SrcList->item(0)->text(), QStringLiteral("S1/Grotte/Amont/Salle"));
    EXPECT_FALSE(d.ExcludeBtn->isEnabled());
    d.SrcList->item(1)->setSelected(true);
    d.SrcList->item(3)->setSelected(true);
    QTest::mouseClick(d.IncludeBtn, Qt::LeftButton);
    ASSERT_EQ(d.DstList->count(), 2);
    // Scanned from the last: several items arrive in reverse order.
    EXPECT_EQ(d.Retenues(), (ListeFiches{liste[3], liste[1]}));
    EXPECT_EQ(d.SrcList->count(), 2);
    EXPECT_TRUE(d.SrcList->item(1)->isSelected());  // the first selected position
    EXPECT_TRUE(d.ExcludeBtn->isEnabled());
    d.Decrit(d.DstList, d.DstList->item(1));
    EXPECT_EQ(d.Details->text(), QStringLiteral("12/05/98 -> Jean Paul "));

    QTest::mouseClick(d.IncAllBtn, Qt::LeftButton);
    EXPECT_EQ(d.Retenues(), (ListeFiches{liste[3], liste[1], liste[0], liste[2]}));
    EXPECT_FALSE(d.IncludeBtn->isEnabled());
    d.DstList->item(0)->setSelected(true);
    QTest::mouseClick(d.ExcludeBtn, Qt::LeftButton);
    EXPECT_EQ(d.SrcList->count(), 1);
    EXPECT_TRUE(d.DstList->item(0)->isSelected());
}

// The user's own clicks on the shown picker: one click picks and turns "Prendre" on, and
// the pick survives the window being resized, whatever the length of the gallery's text.
TEST(ChoixRecherche, UnClicSurLePlanPrendEtSurvitAuxRedimensionnements)
{
    Application();
    TroisFiches t;
    // A long address, which the status text must not turn into a wider window once shown.
    t.liste[2]->Lieu.Affecte(std::string(60, 'L'));
    Recherches r;
    ScenarioModal s;
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& d) { return Clique(d, "Button1"); });
    QString texte;
    s.Ajoute("Apercu", [&](QDialog& q) {
        auto& a = dynamic_cast<TApercu&>(q);
        a.show();
        QApplication::processEvents();
        const QSize taille = a.size();
        EXPECT_FALSE(a.OKBtn->isEnabled());
        QTest::mouseClick(a.Image1, Qt::LeftButton, {}, QPoint(a.PixelX(56), a.PixelY(58)));
        QApplication::processEvents();
        EXPECT_EQ(a.size(), taille);
        EXPECT_TRUE(a.OKBtn->isEnabled());
        EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(55), a.PixelY(60)), kRouge);
        texte = a.Panel1->text();
        EXPECT_LE(a.Panel1->fontMetrics().horizontalAdvance(texte), a.Panel1->contentsRect().width());
        for (const QSize& autre : {QSize(700, 520), QSize(420, 300)}) {
            a.resize(autre);
            QApplication::processEvents();
            EXPECT_TRUE(a.OKBtn->isEnabled()) << autre.width();
            EXPECT_EQ(a.Panel1->text(), texte);
            EXPECT_EQ(a.Canvas()->Largeur(), a.Image1->width());
            EXPECT_EQ(a.Canvas()->Pixel(a.PixelX(55), a.PixelY(60)), kRouge) << autre.width();
        }
        QTest::mouseClick(a.OKBtn, Qt::LeftButton);
        a.hide();
        return a.result();
    });
    TFiche* choisie = nullptr;
    int galerie = 0;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[2]);
    EXPECT_EQ(galerie, 1);
    EXPECT_TRUE(texte.endsWith(QStringLiteral("G -> H"))) << texte.toStdString();
}

// A double click takes only what "Prendre" would take.
TEST(ChoixRecherche, DoubleClicSansRienAPrendre)
{
    Application();
    TroisFiches t;
    for (TGalerie* g : t.liste[2]->Galeries)
        g->DansCoupe = true;
    Recherches r;
    ScenarioModal s;
    s.Ajoute("BaseRecherche", Rechercher);
    s.Ajoute("RechSimp", [](QDialog& q) {
        auto& d = dynamic_cast<TRechSimp&>(q);
        d.StringGrid1->setRangeSelected(QTableWidgetSelectionRange(2, 0, 2, 5), true);
        return Clique(d, "Button1");
    });
    s.Ajoute("Apercu", [&](QDialog& q) {
        auto& a = dynamic_cast<TApercu&>(q);
        a.show();
        QApplication::processEvents();
        const QPoint p(a.PixelX(55), a.PixelY(60));
        QTest::mouseClick(a.Image1, Qt::LeftButton, {}, p);
        QTest::mouseDClick(a.Image1, Qt::LeftButton, {}, p);
        QApplication::processEvents();
        EXPECT_NE(a.result(), QDialog::Accepted);
        EXPECT_FALSE(a.OKBtn->isEnabled());
        // With something to pick, the double click takes it.
        t.liste[2]->Galeries[0]->DansCoupe = false;
        QTest::mouseClick(a.Image1, Qt::LeftButton, {}, QPoint(a.PixelX(55), a.PixelY(0)));
        QTest::mouseDClick(a.Image1, Qt::LeftButton, {}, QPoint(a.PixelX(55), a.PixelY(0)));
        a.hide();
        return a.result();
    });
    TFiche* choisie = nullptr;
    int galerie = -2;
    ASSERT_TRUE(r.RechercheSimple(t.liste, &t.m, choisie, galerie));
    EXPECT_EQ(choisie, t.liste[2]);
    EXPECT_EQ(galerie, 0);
}
