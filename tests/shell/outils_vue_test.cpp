// The view window's mouse tools, tooltip, printing and preview, its commands and its 3D
// mode: the band and the scale it gives, what a click selects, the page order of a print
// job and what stops it, the corner marks and labels, the preview's pages and greys, the
// rotation loops, isolating sheets, the SVG export's overwrite question, and the walk of
// the 3D camera.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <map>

#include "application_test.h"
#include "calcul/drapeaux.h"
#include "etapes_rotation.h"
#include "formulaires/dlg_svg.h"
#include "platform/canvas.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "shell/afficheur.h"
#include "shell/form1.h"
#include "shell/impression.h"
#include "shell/outils_3d.h"
#include "survey/aide_fichiers.h"
#include "views/contexte.h"
#include "views/options.h"
#include "views/plan.h"
#include "views/vue_relief.h"

using namespace karst;

namespace {

// A view of a fixed size and page grid that records what it is asked to do.
class VueEssai : public TGraphique {
public:
    VueEssai(ContexteVues& c, GenreVue genre) : TGraphique(c), genre_(genre) { Echelle = 500; }
    int largeur = 2000, hauteur = 1500;
    int colonnes = 1, lignes = 1;
    std::vector<std::pair<int, int>> pages;
    std::vector<double> zooms;
    // Run after each page drawn; before it draws `traits` strokes, as a plan does.
    std::function<void()> apresPage, avantTraits;
    int traits = 0;
    // What Localise finds: the shot and its distance; point 0 finds nothing.
    int fiche = 0, galerie = 0, point = 0;
    double distance = 1e9;
    std::string bulle = "vis\xE9"
                        "e";
    std::vector<std::array<int, 3>> isolements;
    std::vector<bool> designations;

    void Dessine(int, int, double, double, TCanvas&, uint16_t) override {}
    void DessinePage(int c, int l, int, int, uint16_t, TCanvas& canvas, double zoom) override
    {
        pages.emplace_back(c, l);
        zooms.push_back(zoom);
        // Something coloured to grey in the preview.
        canvas.FixePen(Stylo{kRouge});
        canvas.FixeBrush(Pinceau{kRouge, true});
        canvas.Rectangle(0, 0, 4, 4);
        if (avantTraits)
            avantTraits();
        DebutPage(c, l, 10, 10, canvas, zoom);
        for (int i = 0; i < traits; ++i)
            ImprLineTo(i % 10, i % 7);
        FinPage(canvas);
        if (apresPage)
            apresPage();
    }
    void Dimensions(int& l, int& h, double, double, TCanvas&) override
    {
        l = largeur;
        h = hauteur;
    }
    void NombrePages(int& c, int& l, int, int) override
    {
        c = colonnes;
        l = lignes;
    }
    double Localise(int, int, int& f, int& g, int& p) override
    {
        if (point == 0)
            return kRienTrouve;
        f = fiche;
        g = galerie;
        p = point;
        return distance;
    }
    void IsoleEcran(int x, int y, int r2) override { isolements.push_back({x, y, r2}); }
    void Designation(bool affiche, int, int, int, uint16_t, TexteCp1252& texte) override
    {
        designations.push_back(affiche);
        texte = TexteCp1252(affiche ? "choisi" : "");
    }
    void Bulle(int, int, int, TexteCp1252& texte) override { texte = TexteCp1252(bulle); }
    GenreVue Genre() const override { return genre_; }

private:
    GenreVue genre_;
};

// A printer whose engines only count: the pages begun and the copy count the device
// would make of each. Like a real device, it is active from the painter's start to its end.
class PeintureComptee : public QPaintEngine {
public:
    bool actif = false;
    bool begin(QPaintDevice*) override { return (actif = true); }
    bool end() override { return !(actif = false); }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    Type type() const override { return QPaintEngine::User; }
};

class ImpressionComptee : public QPrintEngine {
public:
    const PeintureComptee& peinture;
    explicit ImpressionComptee(const PeintureComptee& p) : peinture(p) {}
    int pages = 0;
    std::map<PrintEnginePropertyKey, QVariant> proprietes;
    void setProperty(PrintEnginePropertyKey cle, const QVariant& valeur) override { proprietes[cle] = valeur; }
    QVariant property(PrintEnginePropertyKey cle) const override
    {
        const auto i = proprietes.find(cle);
        return i == proprietes.end() ? QVariant() : i->second;
    }
    bool newPage() override
    {
        ++pages;
        return true;
    }
    bool abort() override { return false; }
    int metric(QPaintDevice::PaintDeviceMetric m) const override
    {
        switch (m) {
        case QPaintDevice::PdmWidth: return 4960;
        case QPaintDevice::PdmHeight: return 7016;
        case QPaintDevice::PdmWidthMM: return 210;
        case QPaintDevice::PdmHeightMM: return 297;
        case QPaintDevice::PdmDepth: return 32;
        case QPaintDevice::PdmNumColors: return 1 << 24;
        case QPaintDevice::PdmDevicePixelRatio: return 1;
        case QPaintDevice::PdmDevicePixelRatioScaled:
            return 1 * static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default: return 600;
        }
    }
    QPrinter::PrinterState printerState() const override { return peinture.actif ? QPrinter::Active : QPrinter::Idle; }
    int CopiesParPage() const { return property(PPK_CopyCount).isValid() ? property(PPK_CopyCount).toInt() : 1; }
};

class PrinterCompte : public QPrinter {
public:
    PrinterCompte(ImpressionComptee& i, PeintureComptee& p) { setEngines(&i, &p); }
};

// The warnings Qt gives while a handler installed with it lives.
QStringList avertissementsQt;
void RecoitAvertissement(QtMsgType type, const QMessageLogContext&, const QString& texte)
{
    if (type == QtWarningMsg)
        avertissementsQt << texte;
}

class OutilsVue : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CalculEnCours = false;
        ArretCalcul = false;
        f = std::make_unique<TForm1>(dirU.path().toStdString() + "/", dirP.path().toStdString() + "/");
        f->Timer2->stop();
        f->resize(1280, 1000);
        f->show();
        auto imp = std::make_unique<ImprimanteFactice>();
        imprimante = imp.get();
        f->FixeImprimante(std::move(imp));
        ASSERT_TRUE(f->OuvreMassif(""));
    }
    void TearDown() override
    {
        f.reset();
        ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    }

    // A view window with a test view, active; the drawing area is w - 18 by h - 18.
    TAfficheur* Fenetre(GenreVue genre, VueEssai*& vue, int w = 818, int h = 618)
    {
        auto* a = new TAfficheur(*f);
        a->resize(w, h);
        QMdiSubWindow* s = f->Mdi->addSubWindow(a);
        (genre == GenreVue::Tableau ? f->VueTableau : genre == GenreVue::Coupe ? f->VueCoupe : f->VuePlan) = a;
        s->show();
        f->Mdi->setActiveSubWindow(s);
        auto v = std::make_unique<VueEssai>(f->Contexte(), genre);
        vue = v.get();
        a->resize(w, h);
        a->InitialiseVue(std::move(v));
        vue->Echelle = 500;
        f->Boite_Echelle->setCurrentText(QStringLiteral("500"));
        return a;
    }

    // The texts written on the recorded page.
    static std::vector<const Trace*> Textes(CanvasEnregistreur& c)
    {
        std::vector<const Trace*> r;
        for (const Trace& t : c.Traces)
            if (t.genre == Trace::Texte)
                r.push_back(&t);
        return r;
    }

    QTemporaryDir dirU, dirP;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::unique_ptr<TForm1> f;
    ImprimanteFactice* imprimante = nullptr;
};

TEST_F(OutilsVue, InterrompreArreteLeTravailALaPageSuivante)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    v->colonnes = 3;
    // "Interrompre" clicked after the first page.
    v->apresPage = [] { QTest::mouseClick(Evolution->Button1, Qt::LeftButton); };
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_EQ(v->pages.size(), 1u);
    ASSERT_FALSE(imprimante->Journal.empty());
    EXPECT_EQ(imprimante->Journal.back(), "Abandon");
    EXPECT_EQ(std::count(imprimante->Journal.begin(), imprimante->Journal.end(), "Fin"), 0);
    EXPECT_EQ(Evolution, nullptr);
    EXPECT_TRUE(a->findChildren<TEvolution*>().empty());
    // Margins that leave no page: a message, no job.
    v->colonnes = 0;
    imprimante->Journal.clear();
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_TRUE(imprimante->Journal.empty());
    EXPECT_EQ(invite.messages.size(), 1u);
    // Nor a preview.
    bool apercu = false;
    PiloteModalInstalle pilote([&](QDialog&) {
        apercu = true;
        return int(QDialog::Rejected);
    });
    f->Apercu1Click();
    EXPECT_FALSE(apercu);
    EXPECT_EQ(invite.messages.size(), 2u);
    EXPECT_TRUE(v->pages.size() == 1u);

    // Clicked inside a long page, through the events the page lets through: the rest of the
    // page is not drawn.
    v->colonnes = 1;
    v->traits = 40000;
    v->avantTraits = [] { QTimer::singleShot(0, [] { QTest::mouseClick(Evolution->Button1, Qt::LeftButton); }); };
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_LT(imprimante->pages_.back()->Traces.size(), 2000u);
    EXPECT_EQ(imprimante->Journal.back(), "Abandon");
    v->traits = 0;
    v->avantTraits = nullptr;

    // Into a PDF, an interrupted job leaves no complete document.
    v->colonnes = 3;
    v->pages.clear();
    const QString nom = dirU.path() + QStringLiteral("/plan.pdf");
    {
        QFile ancien(nom);
        ASSERT_TRUE(ancien.open(QIODevice::WriteOnly));
        ancien.write("ancien");
    }
    f->FixeImprimante(std::make_unique<ImprimanteQt>(nom.toStdString()));
    auto lu = [&] {
        QFile fichier(nom);
        return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
    };
    // Interrupted, the file of that name is the one that was there.
    a->Imprime(0, 0, 1, f->Marge);
    v->apresPage = nullptr;
    EXPECT_EQ(v->pages.size(), 1u);
    EXPECT_EQ(lu(), QByteArray("ancien"));
    EXPECT_EQ(QDir(dirU.path()).entryList(QDir::Files), QStringList{QStringLiteral("plan.pdf")});
    // The whole job replaces it.
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_EQ(v->pages.size(), 4u);
    EXPECT_TRUE(lu().startsWith("%PDF"));
    // The document carries the job's name as its title (UTF-16, high byte first).
    QByteArray titre;
    for (const char c : std::string_view("Plan topographique"))
        titre.append('\0').append(c);
    EXPECT_TRUE(lu().contains("/Title (\xFE\xFF" + titre + ")"));
    EXPECT_EQ(QDir(dirU.path()).entryList(QDir::Files), QStringList{QStringLiteral("plan.pdf")});

    // Files may not grow past 1 KB, as on a full disk: the job says why, the older document
    // stays alone. The job stops at the page the medium refused, not after all the others.
    const QByteArray avant = lu();
    v->colonnes = 500;
    v->pages.clear();
    {
        essai::TailleLimitee plein(1024);
        a->Imprime(0, 0, 1, f->Marge);
    }
    EXPECT_EQ(invite.Textes().last(),
              "Impossible d'écrire le fichier " + nom + " : le fichier dépasserait la taille maximale permise.");
    EXPECT_TRUE(lu() == avant && QDir(dirU.path()).entryList(QDir::Files).size() == 1);
    EXPECT_LT(v->pages.size(), 100u);
    // A failure the program has no words for is one all the same (fsync on a device).
    v->colonnes = 2;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), nom + QStringLiteral(".partiel")));
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_EQ(invite.Textes().last(),
              "Impossible d'écrire le fichier " + nom + " : " + QString::fromStdString(RaisonSysteme(EINVAL)) + ".");
    EXPECT_TRUE(lu() == avant && QDir(dirU.path()).entryList(QDir::Files).size() == 1);
    // With room again the next is whole; through a link, the document the link names is.
    const QString lien = dirU.path() + QStringLiteral("/lien.pdf");
    ASSERT_TRUE(QFile::link(nom, lien));
    f->FixeImprimante(std::make_unique<ImprimanteQt>(lien.toStdString()));
    a->Imprime(0, 0, 1, f->Marge);
    EXPECT_TRUE(lu().count("/Type /Page\n") == 2 && lu().endsWith("%%EOF\n") && QFileInfo(lien).isSymLink());
}

TEST_F(OutilsVue, DeuxCopiesParLImprimanteQtDonnentDeuxPagesParPage)
{
    VueEssai* v;
    Fenetre(GenreVue::Plan, v);
    PeintureComptee peinture;
    ImpressionComptee impression(peinture);
    auto printer = std::make_unique<PrinterCompte>(impression, peinture);
    // The print dialog leaves its copy count on the printer.
    printer->setCopyCount(2);
    f->FixeImprimante(std::make_unique<ImprimanteQt>(std::move(printer)));
    DialogueImpression choix;
    choix.copies = 2;
    invite.impressions.push_back(choix);
    avertissementsQt.clear();
    const QtMessageHandler avant = qInstallMessageHandler(RecoitAvertissement);
    ClicOutil(f->ToolBar1, f->BoutonImprimer);
    qInstallMessageHandler(avant);
    // The job's name and copy count are set before it starts, as the device requires.
    EXPECT_EQ(avertissementsQt.filter(QStringLiteral("Cannot be changed")), QStringList());
    EXPECT_EQ(impression.property(QPrintEngine::PPK_DocumentName).toString(), QStringLiteral("Plan topographique"));
    // The program prints each copy: two pages drawn, each made once by the device.
    EXPECT_EQ(v->pages.size(), 2u);
    EXPECT_EQ(impression.pages + 1, 2);
    EXPECT_EQ(impression.CopiesParPage(), 1);
    EXPECT_EQ((impression.pages + 1) * impression.CopiesParPage(), 2);
    f->FixeImprimante(std::make_unique<ImprimanteFactice>());
}

TEST_F(OutilsVue, UnGlissementFinitASonBoutonOuQuandUnMenuSOuvre)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(a));
    const QPoint p(50, 50);
    for (QAction* outil : {f->Rotation, f->Zoom}) {
        outil->setChecked(true);
        // A right press starts a drag, then the window system asks for the context menu,
        // which ends it.
        QTest::mousePress(a->Image2, Qt::RightButton, {}, p);
        EXPECT_TRUE(a->Glisse);
        QContextMenuEvent demande(QContextMenuEvent::Mouse, p, a->Image2->mapToGlobal(p));
        QApplication::sendEvent(a->Image2, &demande);
        EXPECT_TRUE(a->PopupMenu1->isVisible());
        EXPECT_FALSE(a->Glisse);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        QTest::keyClick(a->PopupMenu1, Qt::Key_Escape);
        EXPECT_FALSE(a->PopupMenu1->isVisible());
        QTest::mouseRelease(a->Image2, Qt::RightButton, {}, p);
        // The bare mouse moves nothing afterwards.
        const int designations = static_cast<int>(v->designations.size());
        QTest::mouseMove(a->Image2, p + QPoint(30, 20));
        EXPECT_FALSE(a->Glisse);
        EXPECT_EQ(static_cast<int>(v->designations.size()), designations);

        // A left drag ends at the left release, not at another button's.
        QTest::mousePress(a->Image2, Qt::LeftButton, {}, p);
        EXPECT_TRUE(a->Glisse);
        QTest::mousePress(a->Image2, Qt::MiddleButton, Qt::NoModifier, p + QPoint(5, 0));
        QTest::mouseRelease(a->Image2, Qt::MiddleButton, Qt::NoModifier, p + QPoint(5, 0));
        EXPECT_TRUE(a->Glisse);
        QTest::mouseRelease(a->Image2, Qt::LeftButton, {}, p + QPoint(3, 0));
        EXPECT_FALSE(a->Glisse);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        outil->setChecked(false);
    }
}

TEST_F(OutilsVue, AnglesEtEtiquettesDeLaPage)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    TMarge marge;  // margins 10 mm, marks 30 mm long, 0.1 mm thick
    marge.EpaisseurAngle = 5;
    marge.AfficheEtiquette = {false, false, true, true};
    marge.PositionEtiquette = {0, 1, 4, 3};
    f->Massif->NomFichier = "/tmp/GROTTE.FIC";
    imprimante->Debut();
    ASSERT_FALSE(imprimante->pages_.empty());
    CanvasEnregistreur& page = *imprimante->pages_.back();
    a->ImprimePage(*imprimante, 5, marge);

    // The window's printer is set across: 7016 x 4960 pixels, 297 x 210 mm.
    const double k = 4960.0 / 210;  // printer pixels per mm
    auto r = [](double x) { return static_cast<int>(std::nearbyint(x)); };
    std::vector<const Trace*> lignes;
    for (const Trace& t : page.Traces)
        if (t.genre == Trace::Ligne)
            lignes.push_back(&t);
    ASSERT_EQ(lignes.size(), 8u);
    // Top left: (10, 10) mm to (40, 10) mm and to (10, 40) mm.
    EXPECT_EQ(std::tie(lignes[0]->x0, lignes[0]->y0, lignes[0]->x1, lignes[0]->y1),
              std::make_tuple(r(10 * k), r(10 * k), r(40 * k), r(10 * k)));
    EXPECT_EQ(std::tie(lignes[1]->x1, lignes[1]->y1), std::make_tuple(r(10 * k), r(40 * k)));
    // Bottom right, last stroke upwards.
    EXPECT_EQ(std::tie(lignes[7]->x0, lignes[7]->y0, lignes[7]->x1, lignes[7]->y1),
              std::make_tuple(7016 - r(10 * k), 4960 - r(10 * k), 7016 - r(10 * k), 4960 - r(40 * k)));
    EXPECT_EQ(lignes[0]->stylo.largeur, r(k * 5 / 10));

    auto textes = Textes(page);
    ASSERT_EQ(textes.size(), 2u);
    // "Page 6" ends exactly at the bottom-right corner; the file name at the bottom left.
    const int hauteurTexte = std::abs(textes[0]->police.Hauteur);
    EXPECT_EQ(textes[0]->texte, "Page 6");
    EXPECT_EQ(textes[0]->x0 + 6 * (hauteurTexte / 2), 7016);
    EXPECT_EQ(textes[0]->y0 + hauteurTexte, 4960);
    EXPECT_EQ(textes[1]->texte, "/tmp/GROTTE.FIC");
    EXPECT_EQ(textes[1]->x0, 0);
    EXPECT_EQ(textes[1]->police.Nom, "Arial");

    // The table has its labels but no corner marks.
    VueEssai* t;
    TAfficheur* tableau = Fenetre(GenreVue::Tableau, t);
    imprimante->NouvellePage();
    tableau->ImprimePage(*imprimante, 0, marge);
    for (const Trace& x : imprimante->pages_.back()->Traces)
        EXPECT_NE(x.genre, Trace::Ligne);
}

TEST_F(OutilsVue, DialogueDImpressionEtApercu)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    // Pages 2 and 3 of four, in two copies.
    v->colonnes = v->lignes = 2;
    TMarge marge;
    marge.AfficheEtiquette = {false, false, true, false};
    a->Imprime(2, 3, 2, marge);
    EXPECT_EQ(v->pages, (std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {1, 0}, {0, 1}}));
    // The job's name is given before it starts: it cannot change once the job runs.
    const std::vector<std::string> journal{
        "Titre Plan topographique", "Debut", "NouvellePage", "NouvellePage", "NouvellePage", "Fin"};
    EXPECT_EQ(imprimante->Journal, journal);
    // The page labels of the four printed pages (the first canvas stands outside the job).
    ASSERT_EQ(imprimante->pages_.size(), 5u);
    const char* numeros[] = {"Page 2", "Page 3", "Page 2", "Page 3"};
    for (int i = 0; i < 4; ++i) {
        auto textes = Textes(*imprimante->pages_[static_cast<std::size_t>(i + 1)]);
        ASSERT_EQ(textes.size(), 1u);
        EXPECT_EQ(textes[0]->texte, numeros[i]);
    }
    EXPECT_EQ(Evolution, nullptr);
    // "Ordre inverse" without "Assembler": each page in both copies, from the last.
    v->pages.clear();
    a->Imprime(2, 3, 2, marge, false, true);
    EXPECT_EQ(v->pages, (std::vector<std::pair<int, int>>{{0, 1}, {0, 1}, {1, 0}, {1, 0}}));

    // Six pages, through the print dialog.
    v->pages.clear();
    imprimante->Journal.clear();
    v->colonnes = 2;
    v->lignes = 3;
    invite.impressions.push_back(std::nullopt);  // cancelled
    f->Imprimer1Click();
    ASSERT_EQ(invite.impressionsProposees.size(), 1u);
    EXPECT_EQ(invite.impressionsProposees[0].minimum, 1);
    EXPECT_EQ(invite.impressionsProposees[0].maximum, 6);
    EXPECT_EQ(invite.impressionsProposees[0].a, 6);
    EXPECT_TRUE(v->pages.empty());
    EXPECT_TRUE(imprimante->Journal.empty());

    DialogueImpression tout;
    tout.plage = false;
    tout.de = 3;
    tout.a = 4;
    tout.copies = 1;
    tout.inverse = true;
    invite.impressions.push_back(tout);
    f->Imprimer1Click();
    ASSERT_EQ(v->pages.size(), 6u);
    EXPECT_EQ(v->pages.front(), std::make_pair(1, 2));

    // The preview: a 2 x 3 grid, page 1 first, then the next one, on a one-plane printer
    // in greys.
    v->pages.clear();
    // The view printed is still the active one.
    ASSERT_EQ(f->AfficheurActif(), f->VuePlan.data());
    auto mono = std::make_unique<ImprimanteFactice>(4960, 7016, 210, 297, 600, 1);
    f->FixeImprimante(std::move(mono));
    PiloteModalInstalle pilote([&](QDialog& d) {
        auto& p = dynamic_cast<TPreview&>(d);
        p.resize(1000, 800);
        p.FormShow();
        EXPECT_EQ(p.Label1->text(), QStringLiteral("Page 1/6"));
        EXPECT_FALSE(p.Moins->isEnabled());
        EXPECT_TRUE(p.Plus->isEnabled());
        EXPECT_TRUE(p.ScrollBar1->isEnabled());
        EXPECT_EQ(p.ScrollBar1->pageStep(), 2);
        p.Plus->click();
        EXPECT_EQ(p.PageCourante, 2);
        EXPECT_EQ(p.Label1->text(), QStringLiteral("Page 2/6"));
        const Couleur c = p.Bitmap().Pixel(1, 1);
        EXPECT_EQ(c, 0x4C4C4Cu);  // pure red as grey
        // The page fits the window less its borders and the top panel, proportions kept.
        const QRect cadre = p.frameGeometry();
        // The printer put in place is set across like the window's: 7016 x 4960.
        const double zoom = std::min((cadre.width() - 28) / 7016.0, (cadre.height() - 88) / 4960.0);
        EXPECT_NEAR(static_cast<double>(static_cast<long double>(p.Zoom)), zoom, 1e-9);
        EXPECT_EQ(p.Bitmap().Largeur(), p.findChild<QWidget*>(QStringLiteral("Image1"))->width());
        EXPECT_NEAR(p.Bitmap().Largeur(), 7016 * zoom, 1);
        EXPECT_NEAR(p.Bitmap().Hauteur(), 4960 * zoom, 1);
        return int(QDialog::Accepted);
    });
    f->Apercu1Click();
    EXPECT_EQ(v->pages, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
}

TEST(Impression, GrisEtPlaceDeLImage3D)
{
    QImage im(4, 1, QImage::Format_RGB32);
    im.setPixel(0, 0, qRgb(255, 0, 0));
    im.setPixel(1, 0, qRgb(0, 255, 0));
    im.setPixel(2, 0, qRgb(0, 0, 255));
    im.setPixel(3, 0, qRgb(255, 255, 255));
    GriseImage(im);
    // (weight x 255) >> 8: white stays white, the pure colours fall just under their weights.
    EXPECT_EQ(im.pixel(0, 0), qRgb(76, 76, 76));
    EXPECT_EQ(im.pixel(1, 0), qRgb(149, 149, 149));
    EXPECT_EQ(im.pixel(2, 0), qRgb(28, 28, 28));
    EXPECT_EQ(im.pixel(3, 0), qRgb(255, 255, 255));

    EXPECT_EQ(RectangleImpression3D(400, 300, 4000, 2800), QRect(152, 14, 3695, 2771));
}

TEST_F(OutilsVue, BandeDeZoom)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v, 418, 218);  // visible area 400 x 200
    ASSERT_EQ(a->Barre_Horizontale->width(), 400);
    ASSERT_EQ(a->Barre_Verticale->height(), 200);
    f->Zoom->setChecked(true);
    a->Image2MouseDown(100, 100);
    EXPECT_TRUE(a->Glisse);
    a->Image2MouseMove(140, 180);
    EXPECT_EQ(a->CadreZoom, (std::array<int32_t, 4>{100, 100, 260, 180}));
    EXPECT_EQ(a->TexteEtat, "Echelle 1/200");
    a->Image2MouseUp(140, 180);
    EXPECT_FALSE(f->Zoom->isChecked());
    EXPECT_FALSE(a->Glisse);
    EXPECT_EQ(v->Echelle, 200);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("200"));

    // A band 9 pixels wide only releases the tool.
    f->Zoom->setChecked(true);
    a->Image2MouseDown(10, 10);
    a->Image2MouseMove(19, 10);
    a->Image2MouseUp(19, 10);
    EXPECT_FALSE(f->Zoom->isChecked());
    EXPECT_EQ(v->Echelle, 200);
}

TEST_F(OutilsVue, GlisserPourTournerLePlan)
{
    f->OuvreVue(GenreVue::Plan);
    auto* a = qobject_cast<TAfficheur*>(f->VuePlan.data());
    auto& plan = static_cast<TPlan&>(*a->Graphique);
    // The centre of the drawing area, in window positions.
    const int cx = a->Barre_Verticale->x() / 2, cy = a->Barre_Horizontale->y() / 2;
    const int ix = a->Image2->x(), iy = a->Image2->y();
    const double depart = plan.Angle;
    f->Rotation->setChecked(true);
    // From right of the centre to below it: a quarter turn clockwise on the screen.
    a->Image2MouseDown(cx + 100 - ix, cy - iy);
    EXPECT_TRUE(a->Glisse);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    a->Image2MouseMove(cx - ix, cy + 50 - iy);
    EXPECT_NEAR(plan.Angle, depart, 1e-12);  // a preview only
    a->Image2MouseUp(cx - ix, cy + 50 - iy);
    EXPECT_FALSE(a->Glisse);
    EXPECT_NEAR(std::remainder(plan.Angle - depart - 90, 360), 0, 1e-9);
    // Past a quarter turn the short way round: almost half a turn, not its complement.
    a->PointDepart = QPoint(cx + 100, cy);
    EXPECT_NEAR(a->AngleRotation(cx - 100 - ix, cy + 10 - iy) * 180 / M_PI, 180 - std::atan(0.1) * 180 / M_PI, 1e-9);
    EXPECT_NEAR(a->AngleRotation(cx - 100 - ix, cy - 10 - iy) * 180 / M_PI, -180 + std::atan(0.1) * 180 / M_PI, 1e-9);
    f->Rotation->setChecked(false);
}

TEST_F(OutilsVue, ClicEtInfoBulle)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    // Nothing drawn: no selection.
    a->Image2MouseDown(50, 50);
    EXPECT_FALSE(a->SelectionValide);
    // Far from every shot, the nearest one is still selected.
    v->fiche = 2;
    v->galerie = 1;
    v->point = 3;
    a->Image2MouseDown(50, 50);
    EXPECT_TRUE(a->SelectionValide);
    EXPECT_EQ(std::tie(a->FicheSel, a->GalerieSel, a->PointSel), std::make_tuple(2, 1, 3));
    EXPECT_EQ(a->TexteEtat, "choisi");

    // The tooltip waits within 5 pixels of a shot, and stays while the text does not change.
    f->BulleAucune = false;
    a->Image2MouseMove(60, 60);
    EXPECT_TRUE(a->FenetreBulle.isNull());
    v->distance = 4.9;
    a->Image2MouseMove(60, 60);
    ASSERT_FALSE(a->FenetreBulle.isNull());
    QLabel* premiere = a->FenetreBulle;
    EXPECT_TRUE(a->DelaiHint->isActive());
    EXPECT_FALSE(premiere->isVisible());
    a->DelaiHintTimer();
    EXPECT_TRUE(premiere->isVisible());
    EXPECT_EQ(premiere->text(), QStringLiteral("visée"));
    EXPECT_EQ(a->RectBulle.top(), a->Image2->mapToGlobal(QPoint(60, 60)).y() - 20);
    // The pointer moved up onto it stays the view's: off the shot, over the tooltip, it goes.
    EXPECT_TRUE(premiere->windowFlags().testFlag(Qt::WindowTransparentForInput));
    a->Image2MouseMove(61, 62);
    EXPECT_EQ(a->FenetreBulle.data(), premiere);
    v->distance = 5.0;
    const QPoint dessus(premiere->width() / 2, 5);
    QMouseEvent glisse(QEvent::MouseMove, dessus, premiere->mapToGlobal(dessus), Qt::NoButton, {}, {});
    QApplication::sendEvent(premiere, &glisse);
    EXPECT_TRUE(a->FenetreBulle.isNull());
    // At the screen's right edge it moves back to show whole; a menu opening hides it.
    v->distance = 1;
    const QRect ecran = a->screen()->geometry();
    a->Image2MouseMove(ecran.right() - 5 - a->Image2->mapToGlobal(QPoint()).x(), 60);
    ASSERT_FALSE(a->FenetreBulle.isNull());
    EXPECT_TRUE(ecran.contains(a->RectBulle));
    a->DelaiHintTimer();
    f->Massif1->popup(QPoint(0, 0));
    EXPECT_TRUE(a->FenetreBulle.isNull());
    f->Massif1->close();

    f->BulleAucune = true;
    v->distance = 1;
    a->Image2MouseMove(60, 60);
    EXPECT_TRUE(a->FenetreBulle.isNull());
}

TEST_F(OutilsVue, EchelleEtPourcentageSaisis)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    invite.saisies = {QStringLiteral("50"), QStringLiteral("12x"), QStringLiteral("1000")};
    a->Echelle2Click();
    a->Echelle2Click();
    EXPECT_EQ(v->Echelle, 500);
    a->Echelle2Click();
    EXPECT_EQ(v->Echelle, 1000);
    EXPECT_EQ(f->Boite_Echelle->currentText(), QStringLiteral("1000"));

    invite.saisies = {QStringLiteral("0"), QStringLiteral("150")};
    a->Pourcent1Click();
    EXPECT_EQ(static_cast<long double>(a->Rapport), 1.0L);
    a->Pourcent1Click();
    EXPECT_EQ(static_cast<long double>(a->Rapport), 1.5L);
    // Off the list: no item chosen, the ratio shown in its place.
    EXPECT_EQ(f->Boite_Rapport->currentIndex(), -1);
    EXPECT_EQ(f->Boite_Rapport->placeholderText(), QStringLiteral("150%"));
    // The five prompts, and a refusal after each value refused.
    ASSERT_EQ(invite.messages.size(), 8u);
    EXPECT_EQ(invite.messages[3].texte, QStringLiteral("Le champ « Nouvelle échelle (1/n, n>=100) » n'accepte pas "
                                                       "« 12x » : il faut un nombre entier de 100 à 2147483647."));
}

TEST_F(OutilsVue, RotationsRepeteesJusquALArret)
{
    f->OuvreVue(GenreVue::Plan);
    auto* a = qobject_cast<TAfficheur*>(f->VuePlan.data());
    ASSERT_TRUE(a);
    auto& plan = static_cast<TPlan&>(*a->Graphique);
    const double depart = plan.Angle;
    int pas = 0;
    EtapesRotation etapes(
        *f, *a, [&] { return std::vector<double>{plan.Angle}; },
        [&] {
            // Escape in the turning view stops it; were it lost, the steps would go on.
            if (++pas == 3)
                QTest::keyClick(a->Image2, Qt::Key_Escape);
            else if (pas > 3)
                Arret(*f).hide();
        });
    invite.saisies = {QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("-181"), QStringLiteral("7,5")};
    const QString refus = QStringLiteral("Le champ « Pas en degré » n'accepte pas « %1 » : il faut un nombre de -180 "
                                         "à 180 autre que 0.");
    // Vue > "Tourner ...", as the caver reaches it.
    auto tourne = [&] {
        QMenuBar* barre = f->menuBar();
        QTest::mouseClick(barre, Qt::LeftButton, {}, barre->actionGeometry(f->Vue1->menuAction()).center());
        QTest::mouseClick(f->Vue1, Qt::LeftButton, {}, f->Vue1->actionGeometry(f->Rotation1).center());
    };
    for (int k = 0; k < 3; ++k)
        tourne();
    EXPECT_EQ(invite.Textes().filter(QStringLiteral("Le champ")),
              (QStringList{refus.arg("abc"), refus.arg("0"), refus.arg("-181")}));
    EXPECT_EQ(pas, 0);
    a->Rotation1Click();
    EXPECT_EQ(pas, 3);
    EXPECT_EQ(a->PasRotation, "7,5");
    // Three steps of 7.5°, the last one undone.
    EXPECT_NEAR(plan.Angle, depart + 15, 1e-9);

    // Two axes, the vertical step typed with a decimal comma: the shown elevation climbs 1.5 a step.
    f->OuvreVue(GenreVue::Perspective);
    auto* b = qobject_cast<TAfficheur*>(f->VuePerspective.data());
    auto& p = static_cast<TPerspective&>(*b->Graphique);
    p.Elevation = 0;
    p.Tourne(0, 0);
    const double az = p.Azimut;
    std::vector<double> montrees;
    EtapesRotation etapesB(
        *f, *b,
        [&] {
            return std::vector<double>{p.Azimut, p.Elevation};
        },
        [&] {
            montrees.push_back(-p.Elevation);
            if (montrees.size() == 3)  // Escape in « Rotation » stops too
                QTest::keyClick(Arret(*f).Button1, Qt::Key_Escape);
            else if (montrees.size() > 3)
                Arret(*f).hide();
        });
    PiloteModalInstalle pilote([](QDialog& d) {
        auto& r = dynamic_cast<TLaRotation&>(d);
        EXPECT_EQ(r.PasV->text(), QStringLiteral("0.5"));
        d.show();
        QApplication::setActiveWindow(&d);
        r.PasV->setFocus();
        r.PasV->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "1,5");
        EXPECT_EQ(r.PasV->text(), QStringLiteral("1,5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        d.hide();
        return d.result();
    });
    b->Rotation1Click();
    EXPECT_EQ(montrees, (std::vector<double>{1.5, 3.0, 4.5}));
    EXPECT_NEAR(-p.Elevation, 3.0, 1e-9);
    EXPECT_NEAR(std::fmod(p.Azimut - az + 360, 360), 20, 1e-9);
}

TEST_F(OutilsVue, IsolerEtExclureParLieu)
{
    TMassif& m = *f->Massif;
    const char* lieux[] = {"Salle", "salle", "Salle", "Puits"};
    for (int i = 0; i < 4; ++i) {
        auto fiche = std::make_unique<TFiche>();
        fiche->Lieu.Affecte(lieux[i]);
        fiche->Ordre = i + 1;
        fiche->Galeries.ajoute(std::make_unique<TGalerie>());
        m.AjouteFiche(std::move(fiche), false);
    }
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v);
    a->FicheSel = 2;
    a->GalerieSel = 0;
    a->Lieu1Click(1, true);
    ASSERT_TRUE(m.SelectionActive);
    ASSERT_EQ(m.FichesCourantes->size(), 2u);
    EXPECT_EQ((*m.FichesCourantes)[0]->Ordre, 1);
    EXPECT_EQ((*m.FichesCourantes)[1]->Ordre, 3);
    EXPECT_EQ(f->Panneaux[0]->text(), QStringLiteral("Sélection"));
    EXPECT_TRUE(f->Rcuprer1->isEnabled());
    // Excluding from the selection: the old list is replaced.
    a->FicheSel = 0;
    a->Lieu1Click(0, false);
    ASSERT_EQ(m.FichesCourantes->size(), 1u);
    EXPECT_EQ((*m.FichesCourantes)[0]->Ordre, 3);

    // Colouring by place colours every gallery of the same place.
    m.ActiveSelection(false);
    a->FicheSel = 0;
    m.Enregistre = true;
    invite.couleurs = {0x123456u};
    a->Lieu2Click(1);
    EXPECT_FALSE(m.Enregistre);
    EXPECT_EQ(m.Fiches[0]->Galeries[0]->Couleur, 0x123456);
    EXPECT_EQ(m.Fiches[2]->Galeries[0]->Couleur, 0x123456);
    EXPECT_NE(m.Fiches[1]->Galeries[0]->Couleur, 0x123456);
}

TEST_F(OutilsVue, EcranMenuEtDeformation)
{
    VueEssai* v;
    TAfficheur* a = Fenetre(GenreVue::Plan, v, 418, 318);  // 400 x 300 of drawing area
    a->Ecran1Click();
    ASSERT_EQ(v->isolements.size(), 1u);
    EXPECT_EQ(v->isolements[0][2], 62500);

    auto item = [&](const char* nom) { return a->PopupMenu1->findChild<QAction*>(QString::fromLatin1(nom)); };
    a->PopupMenu1Popup();
    EXPECT_FALSE(item("Edition1")->isVisible());
    EXPECT_TRUE(item("Ecran1")->isVisible());
    EXPECT_TRUE(item("Dformationmax1")->isVisible());
    EXPECT_FALSE(item("Plan1")->isVisible());
    f->Rotation->setChecked(true);
    a->PopupMenu1Popup();
    EXPECT_FALSE(item("Dformationmax1")->isVisible());
    f->Rotation->setChecked(false);
}

TEST_F(OutilsVue, ExportSVGEtFichierExistant)
{
    f->OuvreVue(GenreVue::Plan);
    auto* a = qobject_cast<TAfficheur*>(f->VuePlan.data());
    const QString nom = dirU.path() + QStringLiteral("/plan.svg");
    {
        QFile fichier(nom);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write("ancien");
    }
    PiloteModalInstalle pilote([](QDialog& d) {
        EXPECT_TRUE(dynamic_cast<TDlg_SVG*>(&d));
        return int(QDialog::Accepted);
    });
    invite.fichiers = {nom, nom};
    invite.reponses = {Bouton::Non, Bouton::Oui};
    a->ExporteSVG();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Le fichier plan.svg existe déjà.\rEcrire par dessus?")});
    QFile lu(nom);
    ASSERT_TRUE(lu.open(QIODevice::ReadOnly));
    EXPECT_EQ(lu.readAll(), QByteArray("ancien"));
    lu.close();
    a->ExporteSVG();
    EXPECT_EQ(invite.Textes().last(), QStringLiteral("Exportation terminée"));
    ASSERT_TRUE(lu.open(QIODevice::ReadOnly));
    EXPECT_TRUE(lu.readAll().startsWith("<?xml"));
}

TEST_F(OutilsVue, LeDialogueSVGGardeSesCasesDUnExportALAutre)
{
    f->OuvreVue(GenreVue::Plan);
    auto* a = qobject_cast<TAfficheur*>(f->VuePlan.data());
    const QString nom = dirU.path() + QStringLiteral("/plan.svg");
    std::vector<std::pair<bool, bool>> vues;
    // The user ticks both boxes in the first dialog; the second opens with them ticked.
    PiloteModalInstalle pilote([&](QDialog& d) {
        auto* toutes = d.findChild<QCheckBox*>(QStringLiteral("CheckBoxToutes"));
        auto* illustrator = d.findChild<QCheckBox*>(QStringLiteral("CheckBoxIllustrator"));
        vues.emplace_back(toutes->isChecked(), illustrator->isChecked());
        if (vues.size() == 1) {
            d.show();
            QTest::mouseClick(toutes, Qt::LeftButton);
            QTest::mouseClick(illustrator, Qt::LeftButton);
        }
        return int(QDialog::Accepted);
    });
    invite.fichiers = {nom, nom};
    invite.reponses = {Bouton::Oui};
    a->ExporteSVG();
    a->ExporteSVG();
    const std::vector<std::pair<bool, bool>> attendu{{false, false}, {true, true}};
    EXPECT_EQ(vues, attendu);
    // The boxes reached the second file: the Illustrator header.
    QFile lu(nom);
    ASSERT_TRUE(lu.open(QIODevice::ReadOnly));
    EXPECT_TRUE(lu.readAll().contains("xmlns:i=\"&ns_ai;\""));
}

TEST(Camera3D, MarcheReculEtOrbite)
{
    double x = 0, y = 0, z = 0, az = 0;
    camera3d::PasTranslation(az, x, z, 0, 100, 1);
    EXPECT_DOUBLE_EQ(z, 1);
    camera3d::PasTranslation(az, x, z, 0, 100, 10);
    EXPECT_DOUBLE_EQ(z, 11);
    EXPECT_NEAR(x, 0, 1e-12);
    // Sideways, then up when the mouse goes up.
    camera3d::PasLateral(0, x, y, z, 100, -100, 1);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, 1);
    // A box 300 m by 400 m: back to 700 m.
    camera3d::Recule(0, 0, 300 + 400, x, y, z);
    EXPECT_NEAR(x, 0, 1e-9);
    EXPECT_NEAR(y, 0, 1e-9);
    EXPECT_NEAR(z, 700, 1e-9);
    // A quarter turn about the vertical.
    x = 1, z = 0, az = 300;
    camera3d::Orbite(90, az, x, z);
    EXPECT_DOUBLE_EQ(az, 30);
    EXPECT_NEAR(x, 0, 1e-6);
    EXPECT_NEAR(z, 1, 1e-6);
}

TEST_F(OutilsVue, GlisserEnRotation3D)
{
    f->OuvreVue(GenreVue::Perspective);
    auto* a = qobject_cast<TAfficheur*>(f->VuePerspective.data());
    auto& p = static_cast<TPerspective&>(*a->Graphique);
    TOutils_3D& outils = Outils3D(*f);
    outils.Rotation->setEnabled(true);
    outils.Rotation->setChecked(true);
    p.Azimut3D = 359;
    a->Support_OpenGLMouseDown(10, 10);
    a->Support_OpenGLMouseMove(35, 10);
    EXPECT_DOUBLE_EQ(p.Azimut3D, 1.5);
    a->Support_OpenGLMouseMove(45, 10);
    EXPECT_DOUBLE_EQ(p.Azimut3D, 2.5);
    a->Support_OpenGLMouseUp();
    EXPECT_FALSE(a->Deplacement->isActive());

    // Alt puts the sideways movement down until it is released.
    outils.FormKeyDown(Qt::AltModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Lateral);
    outils.FormKeyUp(Qt::NoModifier);
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Translation);

    // A translation step from the held mouse: 100 pixels down moves back by 1.
    p.Azimut3D = 0;
    p.Camera = {Reel6(0.0L), Reel6(0.0L), Reel6(0.0L)};
    a->Support_OpenGLMouseDown(0, 0);
    a->Support_OpenGLMouseMove(0, 100);
    a->DeplacementTimer();
    EXPECT_EQ(static_cast<long double>(p.Camera[2]), 1.0L);
    a->Support_OpenGLMouseUp();
}

TEST_F(OutilsVue, ModeTroisDEtPalette)
{
    f->OuvreVue(GenreVue::Perspective);
    auto* a = qobject_cast<TAfficheur*>(f->VuePerspective.data());
    auto& p = static_cast<TPerspective&>(*a->Graphique);
    TOutils_3D& outils = Outils3D(*f);
    EXPECT_FALSE(outils.OpenGL->isChecked());
    EXPECT_FALSE(outils.Arriere->isEnabled());

    outils.OpenGL->setChecked(true);
    outils.OpenGLClick();
    EXPECT_TRUE(a->Mode3D());
    EXPECT_TRUE(a->Debut_3D->isActive());
    a->Debut_3D->stop();
    EXPECT_TRUE(outils.Arriere->isEnabled());
    EXPECT_EQ(outils.Mouvement(), Mouvement3D::Translation);
    EXPECT_FALSE(f->Rotation->isEnabled());
    EXPECT_FALSE(f->Zoom->isEnabled());
    EXPECT_TRUE(a->Barre_Horizontale->isHidden());

    // Only the horizontal rotation among the mode's items of the "Vue" menu.
    f->Vue1Click();
    EXPECT_TRUE(f->Rotationplane1->isEnabled());
    for (QAction* x : {f->Rotation1, f->Echelle2, f->Pourcent1, f->Dformationmax1})
        EXPECT_FALSE(x->isEnabled()) << x->objectName().toStdString();
    // One page to print, no preview.
    invite.impressions.push_back(std::nullopt);
    f->Imprimer1Click();
    ASSERT_EQ(invite.impressionsProposees.size(), 1u);
    EXPECT_EQ(invite.impressionsProposees[0].maximum, 1);
    f->Apercu1Click();
    EXPECT_EQ(invite.Textes().last(), QStringLiteral("Pas d'aperçu avant impression avec la 3D"));

    // "Reculer" with a box 300 m by 400 m, looking north and level.
    p.BoiteMin.X = 0.0L;
    p.BoiteMin.Y = 0.0L;
    p.BoiteMax.X = 300.0L;
    p.BoiteMax.Y = -400.0L;
    p.Azimut3D = 0;
    p.Elevation3D = 0;
    outils.ArriereClick();
    EXPECT_EQ(static_cast<long double>(p.Camera[2]), 700.0L);
    EXPECT_EQ(static_cast<long double>(p.Camera[0]), 0.0L);

    // Stereo switches back to the drawing.
    outils.stereo->setChecked(true);
    outils.stereoClick();
    EXPECT_FALSE(outils.OpenGL->isChecked());
    EXPECT_FALSE(a->Mode3D());
    EXPECT_TRUE(p.Stereo);
    EXPECT_TRUE(f->Rotation->isEnabled());
    EXPECT_FALSE(a->Barre_Horizontale->isHidden());
}

}  // namespace
