// A caver's sitting at the sheet editor: real keys and clicks sent to the focused widget of
// the shown editor, then the massif saved and read back from its file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "aide_saisie.h"
#include "boite_reelle.h"
#include "dialogs/preference_ecran.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "survey/aide_fichiers.h"
#include "survey/nombres.h"

using namespace karst;

namespace {

// Columns of the default layout.
constexpr int cPoint = 1, cLongueur = 2, cUniteL = 3, cAzimut = 4, cUniteA = 5, cPente = 6, cUniteP = 7, cGauche = 8,
              cDroite = 9, cObservations = 14;

// Every stored field of a shot but the computed ones, to tell what changed.
std::string Champs(const TVisee& v)
{
    auto r = [](Reel6 x) { return FormatGeneral(x, 15, 3); };
    return r(v.Longueur) + " " + std::to_string(v.UniteLongueur) + " " + r(v.Azimut) + " " +
           std::to_string(v.UniteAzimut) + " " + r(v.Pente) + " " + std::to_string(v.UnitePente) + " [" +
           v.Gauche.str() + "|" + v.Droite.str() + "|" + v.Haut.str() + "|" + v.Bas.str() + "] " +
           std::to_string(v.UniteLargeur) + std::to_string(v.UniteHauteur) + " " + v.Commentaire.Chaine() + " " +
           std::to_string(v.TailleSchema) + " " + (v.AvecTopofil ? "T" + r(v.Topofil) : "-") + " " +
           (v.AvecCorrHorizontale ? "H" : "-") + r(v.CorrHorizontale) + (v.AvecCorrDeveloppement ? "D" : "-") +
           r(v.CorrDeveloppement);
}

// Stands for the user's text editor: records the files it is asked to open.
class Editeur : public QObject {
    Q_OBJECT
public:
    Editeur() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "ouvre"); }
    ~Editeur() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList ouverts;
public slots:
    void ouvre(const QUrl& url) { ouverts << url.toLocalFile(); }
};

class Seance : public ::testing::Test {
protected:
    Seance()
    {
        aide::App();
        prefs.ConstruitColonnes();
        fichier = dossier.filePath("pierrefeu.fic").toStdString();
        std::filesystem::copy_file(std::string(KARST_EXAMPLES) + "/pierrefeu.fic", fichier);
        massif = Charge();
        hote.utilisateur = dossier.filePath("utilisateur/").toStdString();
        hote.programme = dossier.filePath("programme/").toStdString();
        std::filesystem::create_directories(hote.utilisateur);
        std::filesystem::create_directories(hote.programme);
        ed = std::make_unique<TMultPageDlg>(&prefs, &hote);
        ed->InstalleDialoguePoint(&points);
    }
    ~Seance() override { QApplication::clipboard()->clear(); }

    std::unique_ptr<TMassif> Charge() const
    {
        auto m = std::make_unique<TMassif>();
        m->NomFichier = fichier;
        EXPECT_EQ(m->Charge(nullptr, nullptr).etat, EtatChargement::Charge);
        return m;
    }
    static TFiche* Lieu(TMassif& m, const std::string& lieu)
    {
        for (TFiche* f : m.Fiches)
            if (f->Lieu.Chaine() == lieu)
                return f;
        return nullptr;
    }
    // The massif as its file holds it after a save.
    std::unique_ptr<TMassif> EnregistreEtRelit()
    {
        massif->Sauve(fichier, nullptr, nullptr);
        return Charge();
    }

    void Ouvre(TFiche* fiche)
    {
        ed->OuvreFiche(fiche, massif.get(), 0, &prefs);
        ed->show();
        QApplication::setActiveWindow(ed.get());
    }
    static QWidget* Focus() { return QApplication::focusWidget(); }
    // What the grid shows is the sheet's rows, after the command `apres`.
    void GrilleCommeFeuille(const char* apres) const
    {
        const QAbstractItemModel& m = *ed->TableauVisee->model();
        ASSERT_EQ(m.rowCount() + 1, ed->Feuille.NbLignes()) << apres;
        for (int r = 1; r < ed->Feuille.NbLignes(); ++r)
            for (int c = 0; c < ed->Feuille.NbColonnes(); ++c)
                EXPECT_EQ((c ? m.index(r - 1, c - 1).data() : m.headerData(r - 1, Qt::Vertical)).toString(),
                          QString::fromStdString(ed->Feuille.Texte(r, c)))
                    << apres << " " << r << "," << c;
    }
    // Each key goes to the widget that has the focus when it is typed: the first one may
    // open a cell editor.
    static void Tape(const QString& t, int rythme = -1)
    {
        for (const QChar c : t)
            if (c == QChar(0xB0))
                QTest::sendKeyEvent(QTest::Click, Focus(), Qt::Key_degree, QString(c), {}, rythme);
            else
                QTest::keyClick(Focus(), c.toLatin1(), {}, rythme);
    }
    static void Touche(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(Focus(), static_cast<Qt::Key>(k), m);
    }
    // Types a value and Enter, then lets the grid move on.
    static void Entre(const QString& t)
    {
        Tape(t);
        Touche(Qt::Key_Return);
        QApplication::processEvents();
    }
    QPoint Point(int r, int c)
    {
        ed->TableauVisee->scrollTo(ed->IndexCellule(r, c));
        return ed->RectCellule(r, c).center();
    }
    void Clic(int r, int c, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::mouseClick(ed->TableauVisee->viewport(), b, m, Point(r, c));
    }
    void DoubleClic(int r, int c)
    {
        const QPoint p = Point(r, c);
        QTest::mouseClick(ed->TableauVisee->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(ed->TableauVisee->viewport(), Qt::LeftButton, {}, p);
    }
    // A menu of the menu bar, then one of its items, with the mouse.
    void Menu(QMenu* m, QAction* a)
    {
        QTest::mouseClick(ed->Menus, Qt::LeftButton, {}, ed->Menus->actionGeometry(m->menuAction()).center());
        ASSERT_TRUE(m->isVisible()) << m->objectName().toStdString();
        ASSERT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        Reactive();
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(a).center());
        QApplication::processEvents();
        Reactive();
    }
    // The offscreen platform makes a popup the active window and hands no activation back
    // after it: the window is made active again, as a window manager leaves it.
    void Reactive()
    {
        if (ed->isVisible())
            QApplication::setActiveWindow(ed.get());
    }
    // The grid's pop-up menu on a cell, or the Menu key's where the keyboard is (r < 0), then
    // one of its items.
    void Popup(int r, int c, QAction* a)
    {
        QWidget* w = r < 0 ? Focus() : ed->TableauVisee->viewport();
        const QPoint p = r < 0 ? QPoint(1, 1) : Point(r, c);
        if (r >= 0)
            QTest::mouseClick(w, Qt::LeftButton, {}, p);
        QContextMenuEvent e(r < 0 ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, p, w->mapToGlobal(p));
        QApplication::sendEvent(w, &e);
        ASSERT_TRUE(ed->PopupMenu1->isVisible());
        ASSERT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        QTest::mouseClick(ed->PopupMenu1, Qt::LeftButton, {}, ed->PopupMenu1->actionGeometry(a).center());
        QApplication::processEvents();
        Reactive();
    }
    // Opens the unit list with its arrow and clicks one of its items.
    void ChoisitALaSouris(int item)
    {
        // A press soon after the click on the cell would be a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(ed->Unite, Qt::LeftButton, {}, QPoint(ed->Unite->width() - 4, ed->Unite->height() / 2));
        QAbstractItemView* vue = ed->Unite->view();
        ASSERT_TRUE(vue->isVisible());
        // The release of the click that opened the list chooses nothing.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualRect(vue->model()->index(item, 0)).center());
        EXPECT_FALSE(vue->isVisible());
        Reactive();
        EXPECT_EQ(Focus(), ed->Unite);
    }
    int RangVisee(int numero) const
    {
        for (int r = 1; r < ed->NbLignes(); ++r)
            if (ed->Feuille.LigneVisee(r) && ed->Cellule(r, 0) == QString::number(numero))
                return r;
        return -1;
    }
    QString DernierMessage() const { return invite.messages.empty() ? QString() : invite.messages.back().texte; }

    struct Hote : IHoteSaisie {
        std::function<void()> enregistre;
        void Enregistrer() override
        {
            if (enregistre)
                enregistre();
        }
        std::string utilisateur, programme;
        std::string RepProgramme() override { return programme; }
        std::string RepUtilisateur() override { return utilisateur; }
    } hote;
    QTemporaryDir dossier;
    std::string fichier;
    TPreference_Ecran prefs;
    std::unique_ptr<TMassif> massif;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    aide::PointScripte points;
    std::unique_ptr<TMultPageDlg> ed;
};

}  // namespace

// Units chosen in the list with the keyboard and the mouse, values typed, "Terminer" with
// the last value still in its cell editor.
TEST_F(Seance, UneFicheCorrigeeAuClavierEtALaSouris)
{
    TFiche* avant = Lieu(*massif, "Galerie haute");
    ASSERT_NE(avant, nullptr);
    const int32_t ordre = avant->Ordre;
    std::vector<std::string> origine;
    for (const auto& g : avant->Galeries)
        for (int k = 1; k <= g->NbVisees; ++k)
            origine.push_back(Champs(*g->Visee(k)));
    Ouvre(avant);
    const int r5 = RangVisee(5), r6 = RangVisee(6), r7 = RangVisee(7);
    ASSERT_EQ(r5, 6);
    ASSERT_EQ(ed->Cellule(r5, cAzimut), "313.9");

    // Shot 5: the length unit from the list with the keyboard; Enter moves on to the azimuth.
    Clic(r5, cUniteL);
    ASSERT_TRUE(ed->Unite->isVisible());
    ASSERT_EQ(Focus(), ed->Unite);
    Tape("cm");
    Touche(Qt::Key_Return);
    EXPECT_FALSE(ed->Unite->isVisible());
    EXPECT_EQ(ed->Cellule(r5, cUniteL), "cm");
    EXPECT_EQ(ed->Cellule(r5, cAzimut), "313.9");
    EXPECT_EQ(ed->Cellule(r5, cUniteA), "°");
    EXPECT_EQ(ed->Ligne(), r5);
    EXPECT_EQ(ed->Colonne(), cAzimut);
    // Typing replaces the azimuth; Enter goes on to the slope.
    Entre("350.5");
    EXPECT_EQ(ed->Colonne(), cPente);
    // The azimuth unit with the down arrow, then the right arrow to the slope.
    Clic(r5, cUniteA);
    ASSERT_EQ(Focus(), ed->Unite);
    Touche(Qt::Key_Down);
    EXPECT_EQ(ed->Unite->currentText(), "gr");
    Touche(Qt::Key_Right);
    EXPECT_EQ(ed->Cellule(r5, cUniteA), "gr");
    EXPECT_EQ(ed->Colonne(), cPente);
    Entre("-8.5");
    // The slope unit with the mouse in the list, then a click elsewhere writes it.
    Clic(r5, cUniteP);
    ASSERT_TRUE(ed->Unite->isVisible());
    ChoisitALaSouris(1);
    EXPECT_EQ(ed->Unite->currentText(), "gr");
    Clic(r5, cGauche);
    EXPECT_FALSE(ed->Unite->isVisible());
    EXPECT_EQ(ed->Cellule(r5, cUniteP), "gr");
    EXPECT_EQ(ed->Cellule(r5, cGauche), "0.4");
    Tape("3.5");
    Touche(Qt::Key_Tab);
    EXPECT_EQ(ed->Cellule(r5, cGauche), "3.5");

    // Shot 6: a length in cm, chosen with the mouse and left by the arrow.
    Clic(r6, cLongueur);
    Entre("440");
    Clic(r6, cUniteL);
    ChoisitALaSouris(1);
    Touche(Qt::Key_Left);
    EXPECT_EQ(ed->Cellule(r6, cUniteL), "cm");
    EXPECT_EQ(ed->Cellule(r6, cLongueur), "440");
    EXPECT_EQ(ed->Colonne(), cLongueur);

    // Shot 8: a unit typed with its sign, at any pace, is the unit; a number typed on the
    // azimuth's list after a '-' is the slope.
    const int r8 = RangVisee(8);
    const QString pente8 = ed->Cellule(r8, cPente);
    const struct {
        int colonne;
        const char* frappe;
        int rythme;
        const char* unite;
        const char* pente;  // null: unchanged
    } signes[] = {{cUniteA, "-gr", 0, "-gr", nullptr},       {cUniteA, "-\u00B0", 300, "-\u00B0", nullptr},
                  {cUniteP, "-m", 100, "-m", nullptr},       {cUniteP, "-\u00B0vul", 0, "-\u00B0vul", nullptr},
                  {cUniteP, "-cm", 150, "-cm", nullptr},     {cUniteA, "-12", 0, "-\u00B0", "-12"},
                  {cUniteA, "-7.5", 300, "-\u00B0", "-7.5"}, {cUniteA, "\x1b-gr", 0, "-gr", "-7.5"},
                  {cUniteA, "-\b", 0, "-gr", "-7.5"}};
    for (const auto& s : signes) {
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Clic(r8, s.colonne);
        Tape(QString::fromUtf8(s.frappe), s.rythme);
        Touche(Qt::Key_Return);
        EXPECT_EQ(ed->Cellule(r8, s.colonne), QString::fromUtf8(s.unite)) << s.frappe << " " << s.rythme;
        EXPECT_EQ(ed->Cellule(r8, cPente), s.pente ? QString::fromUtf8(s.pente) : pente8) << s.frappe;
    }
    // Digits that take Shift, as on a French keyboard: the Shift pressed first keeps the sign.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    Clic(r8, cUniteA);
    Tape("-");
    for (const char c : {'7', '.', '5'})
        QTest::keyClick(Focus(), c, Qt::ShiftModifier);
    Touche(Qt::Key_Return);
    EXPECT_EQ(ed->Cellule(r8, cUniteA) + " " + ed->Cellule(r8, cPente), "-gr -7.5");

    // Shot 7: widths, then a comment still being typed when "Terminer" is chosen.
    Clic(r7, cDroite);
    Entre("0.25");
    Clic(r7, cObservations);
    Tape("diaclase");
    ASSERT_NE(Focus(), ed->TableauVisee);  // the cell editor
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_FALSE(ed->isVisible()) << DernierMessage().toStdString();
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();

    const auto relu = EnregistreEtRelit();
    TFiche* f = Lieu(*relu, "Galerie haute");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Ordre, ordre);
    std::vector<TVisee*> visees;
    for (const auto& g : f->Galeries)
        for (int k = 1; k <= g->NbVisees; ++k)
            visees.push_back(g->Visee(k));
    ASSERT_EQ(visees.size(), origine.size());
    const TVisee& v5 = *visees[4];
    EXPECT_EQ(v5.UniteLongueur, 1);
    EXPECT_EQ(static_cast<long double>(v5.Longueur), static_cast<long double>(Reel6(2.74L)));
    EXPECT_EQ(static_cast<long double>(v5.Azimut), static_cast<long double>(Reel6(350.5L)));
    EXPECT_EQ(v5.UniteAzimut, 1);
    EXPECT_EQ(static_cast<long double>(v5.Pente), static_cast<long double>(Reel6(-8.5L)));
    EXPECT_EQ(v5.UnitePente, 1);
    EXPECT_EQ(v5.Gauche.str(), "3.5");
    EXPECT_EQ(v5.Droite.str(), "1.7");
    const TVisee& v6 = *visees[5];
    EXPECT_EQ(static_cast<long double>(v6.Longueur), 440.0L);
    EXPECT_EQ(v6.UniteLongueur, 1);
    const TVisee& v7 = *visees[6];
    EXPECT_EQ(v7.Droite.str(), "0.25");
    EXPECT_EQ(v7.Commentaire.Chaine(), "diaclase");
    const TVisee& v8 = *visees[7];
    EXPECT_EQ(std::to_string(v8.UniteAzimut) + std::to_string(v8.UnitePente) + " " + FormatGeneral(v8.Pente, 15),
              "68 -7.5");
    for (std::size_t i = 0; i < visees.size(); ++i)
        if (i < 4 || i > 7) {
            EXPECT_EQ(Champs(*visees[i]), origine[i]) << "shot " << i + 1;
        }
    // Columns drawn wider for their titles and values leave the layout's file as it was.
    prefs.NomFichier = dossier.filePath("OPTIONS.SAI").toStdString();
    Enregistre(prefs);
    EXPECT_EQ(essai::Contenu(prefs.NomFichier), essai::Contenu(std::string(KARST_TEST_DATA) + "/modeles/defaut.sai"));
}

// A new sheet typed from its first key after the start-station and gallery dialogs, and
// after each command that moves the cursor: a junction, a shot inserted on an end row, the
// final station and "Continuer en bas".
TEST_F(Seance, UneNouvelleFicheDesLaPremiereTouche)
{
    const std::size_t fiches = massif->Fiches.size();
    int informations = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        ++informations;
        EXPECT_EQ(&d, ed->Informations);
        QTest::mouseClick(ed->Informations->Button1, Qt::LeftButton);
        return d.result();
    });
    Ouvre(nullptr);
    EXPECT_EQ(ed->TabSet->currentIndex(), 1);
    QTest::mouseClick(ed->Lieu, Qt::LeftButton);
    Tape("Puits neuf");
    QTest::mouseClick(ed->Declinaison, Qt::LeftButton);
    Tape("1.5");
    ed->UniteDecli->setFocus();
    Touche(Qt::Key_Down);
    EXPECT_EQ(ed->UniteDecli->currentText(), "°");
    // A year typed in four digits, kept in two; "Automatique": 2 - 0.1 × (46 + 11/12 + 6/365).
    massif->Origine_Declinaison = 2.0L;
    massif->Variation_Declinaison = 0.1L;
    massif->Date_Declinaison = "01/01/80";
    QTest::mouseClick(ed->Date, Qt::LeftButton);
    Touche(Qt::Key_Home);
    Tape("07/12/2026");
    QTest::mouseClick(ed->Button8, Qt::LeftButton);
    EXPECT_EQ(ed->Declinaison->text(), "-2.6933");

    // The shots tab asks for the start station and the gallery, then takes the keys.
    points.reponses = {{IDialoguePoint::Valider, aide::Point("N", 1)}};
    QTest::mouseClick(ed->TabSet, Qt::LeftButton, {}, ed->TabSet->tabRect(0).center());
    EXPECT_EQ(informations, 1);
    EXPECT_EQ(ed->Cellule(1, cPoint), "N(1)");
    // The first click on the last row adds one.
    Clic(5, cLongueur);
    Clic(11, cLongueur);
    EXPECT_EQ(ed->NbLignes(), 13);
    EXPECT_EQ(ed->Cellule(12, 0), "11");
    auto visee = [](const char* l, const char* a, const char* p) {
        for (const char* t : {l, a, p})
            Entre(t);
    };
    // A click on the current cell, then keys at once, or a moment later, or after a second
    // click: every key lands in the cell.
    Clic(2, cLongueur);
    visee("12.5", "45", "-3");
    // Enter goes on through the widths, the height and the comment to the next shot.
    for (int k = 0; k < 4; ++k)
        Touche(Qt::Key_Return);
    EXPECT_EQ(ed->Ligne(), 3);
    EXPECT_EQ(ed->Colonne(), cLongueur);
    Clic(3, cLongueur);
    QTest::qWait(250);
    visee("8", "90", "5");
    Clic(3, cGauche);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    Clic(3, cGauche);
    QTest::qWait(150);
    Entre("3.4");
    EXPECT_EQ(ed->Cellule(3, cGauche), "3.4");
    // A click on the current unit cell opens its list again.
    Clic(3, cUniteL);
    Touche(Qt::Key_Escape);
    ASSERT_FALSE(ed->Unite->isVisible());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    Clic(3, cUniteL);
    EXPECT_TRUE(ed->Unite->isVisible());
    Touche(Qt::Key_Escape);

    // A junction by a double click in the "Point" column; the next shot follows it.
    points.reponses = {{IDialoguePoint::Valider, aide::Point("X", 1)}, {IDialoguePoint::Valider, aide::Point("X", 2)}};
    DoubleClic(4, cPoint);
    ASSERT_EQ(ed->Cellule(4, 0), "->|");
    EXPECT_EQ(ed->Cellule(5, cPoint), "X(2)");
    EXPECT_EQ(informations, 2);
    EXPECT_EQ(ed->Ligne(), 6);
    visee("7", "180", "0");

    // A shot inserted from the pop-up menu on the end row.
    Popup(4, cLongueur, ed->Insrerunevise1);
    EXPECT_EQ(ed->Cellule(4, 0), "3");
    EXPECT_EQ(ed->Cellule(5, 0), "->|");
    visee("4", "30", "2");

    // The final station on the empty row after the last shot: nothing asked. "Continuer en bas".
    invite.messages.clear();
    points.reponses = {{IDialoguePoint::PointFinal, aide::Point("F", 1)}};
    DoubleClic(8, cPoint);
    ASSERT_EQ(ed->NbLignes(), 9);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    points.reponses = {{IDialoguePoint::Valider, aide::Point("G", 1)}};
    Menu(ed->Tableau1, ed->Continuerenbas1);
    EXPECT_EQ(ed->Cellule(9, 0), "|->");
    EXPECT_EQ(ed->Ligne(), 10);
    visee("6", "270", "1");
    // Enter on to the next empty row, then Point > Nouveau > "Point final".
    for (int k = 0; k < 4; ++k)
        Touche(Qt::Key_Return);
    ASSERT_EQ(ed->Ligne(), 11);
    points.reponses = {{IDialoguePoint::PointFinal, aide::Point("H", 1)}};
    Menu(ed->Point1, ed->Nouveau1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    ASSERT_EQ(ed->Cellule(11, 0), "->|");
    ASSERT_EQ(ed->NbLignes(), 12);

    // The last value is still being typed when the sheet is finished.
    Clic(10, cObservations);
    Tape("fin");
    invite.messages.clear();
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    EXPECT_FALSE(ed->isVisible());

    const auto relu = EnregistreEtRelit();
    ASSERT_EQ(relu->Fiches.size(), fiches + 1);
    const TFiche* f = Lieu(*relu, "Puits neuf");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(static_cast<long double>(f->Declinaison), static_cast<long double>(Reel6(-2.6933L)));
    EXPECT_EQ(f->Date.str(), "07/12/26");
    ASSERT_EQ(f->Galeries.size(), 3u);
    auto gal = [](const TGalerie& g) {
        std::string s = FeuilleSaisie::TexteStation(g.Depart) + " ->";
        for (int k = 1; k <= g.NbVisees; ++k) {
            const TVisee& v = *g.Visee(k);
            s += " " + FormatGeneral(v.Longueur, 15) + "/" + FormatGeneral(v.Azimut, 15) + "/" +
                 FormatGeneral(v.Pente, 15) + (v.Commentaire.Longueur() ? " " + v.Commentaire.Chaine() : "");
        }
        return s + " -> " + FeuilleSaisie::TexteStation(g.Arrivee);
    };
    EXPECT_EQ(gal(*f->Galeries[0]), "N(1) -> 12.5/45/-3 8/90/5 4/30/2 -> X(1)");
    EXPECT_EQ(gal(*f->Galeries[1]), "X(2) -> 7/180/0 -> F(1)");
    EXPECT_EQ(gal(*f->Galeries[2]), "G(1) -> 6/270/1 fin -> H(1)");
    EXPECT_EQ(f->Galeries[0]->Visee(1)->Gauche.str(), "");
    EXPECT_EQ(f->Galeries[0]->Visee(2)->Gauche.str(), "3.4");
}

// A new sheet typed with Tab from field to field and from cell to cell, with decimal commas:
// the surveyors' memo passes Tab on, the unit columns show their list at every Tab and keep
// their units, and every comma is a decimal point.
TEST_F(Seance, TabulationsEtVirgulesDecimales)
{
    PiloteModalInstalle pilote([&](QDialog& d) {
        QTest::mouseClick(ed->Informations->Button1, Qt::LeftButton);
        return d.result();
    });
    Ouvre(nullptr);
    ASSERT_EQ(Focus(), ed->Systeme);
    Tape("Causse");
    // Enter goes on to the next field.
    Touche(Qt::Key_Return);
    EXPECT_EQ(Focus(), ed->Cavite);
    // Tab from field to field, up to that one.
    auto tabulations = [](QWidget* champ) {
        for (int k = 0; k < 20 && Focus() != champ; ++k)
            Touche(Qt::Key_Tab);
        return Focus() == champ;
    };
    ASSERT_TRUE(tabulations(ed->Declinaison));
    Tape("12,5");
    Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), ed->UniteDecli);
    Tape("gr");
    // The unit shows whole: QLineEdit draws its text 2 pixels in from each side of its
    // contents, and the cursor after it.
    QLineEdit* unite = ed->UniteDecli->lineEdit();
    ASSERT_EQ(unite->text(), QStringLiteral("gr"));
    const QRect place = unite->contentsRect().marginsRemoved(unite->textMargins());
    EXPECT_GT(place.width() - 4, unite->fontMetrics().horizontalAdvance(QStringLiteral("gr")) + 1);
    // Enter presses no button, "Automatique" included; on a model never set, that button
    // says so and leaves the field.
    massif->Origine_Declinaison = 0.0L;
    massif->Variation_Declinaison = 1.0L;
    massif->Date_Declinaison = "01/01/80";
    Touche(Qt::Key_Return);
    EXPECT_EQ(Focus(), ed->Button8);
    Touche(Qt::Key_Return);
    EXPECT_EQ(Focus(), ed->Topographe);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    QTest::mouseClick(ed->Button8, Qt::LeftButton);
    EXPECT_TRUE(DernierMessage().contains(QStringLiteral("Données > Déclinaisons"))) << DernierMessage().toStdString();
    EXPECT_EQ(ed->Declinaison->text(), "12,5");
    EXPECT_EQ(ed->UniteDecli->currentText(), "gr");
    ASSERT_TRUE(tabulations(ed->Topographe));
    Tape("Jean");
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), ed->Liste);
    Touche(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focus(), ed->Topographe);
    Touche(Qt::Key_Tab);
    EXPECT_EQ(ed->Topographe->toPlainText(), "Jean");

    // The shots page by its mnemonic: the keys go on to the grid.
    points.reponses = {{IDialoguePoint::Valider, aide::Point("N", 1)}};
    Touche(Qt::Key_V, Qt::AltModifier);
    QApplication::processEvents();
    ASSERT_EQ(ed->TabSet->currentIndex(), 0);
    ASSERT_EQ(Focus(), ed->TableauVisee) << (Focus() ? Focus()->metaObject()->className() : "none");
    ASSERT_EQ(ed->Ligne(), 2);
    ASSERT_EQ(ed->Colonne(), cLongueur);
    // Shot 1: every Tab goes one cell on; Escape closes a unit list and asks nothing; a
    // number typed on a unit list is the next value.
    Tape("7");
    Touche(Qt::Key_Tab);
    ASSERT_EQ(ed->Colonne(), cUniteL);
    ASSERT_TRUE(ed->Unite->isVisible());
    ASSERT_EQ(Focus(), ed->Unite);
    invite.messages.clear();
    Touche(Qt::Key_Escape);
    EXPECT_FALSE(ed->Unite->isVisible());
    EXPECT_TRUE(ed->isVisible());
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    // The list closed, a number goes on to the next value all the same.
    Tape("95");
    Touche(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(ed->Cellule(2, cAzimut), "95");
    Touche(Qt::Key_Tab, Qt::ShiftModifier);
    Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), ed->Unite);
    Tape("90");
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), ed->Unite);
    Entre("-5");
    // Enter led on to the left width, a measure text typed with a comma too.
    EXPECT_EQ(ed->Colonne(), cGauche);
    Entre("0,7");
    for (const auto& [c, u] : {std::pair{cUniteL, "m"}, {cUniteA, "°"}, {cUniteP, "°"}})
        EXPECT_EQ(ed->Cellule(2, c), u) << c;

    // Shot 2: a length in cm with a comma, Shift+Tab back to the unit list, a slope with a comma.
    Clic(3, cLongueur);
    Tape("12,5");
    Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), ed->Unite);
    Touche(Qt::Key_Down);
    Touche(Qt::Key_Tab);
    Tape("90");
    Touche(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(ed->Cellule(3, cAzimut), "90");
    EXPECT_EQ(ed->Colonne(), cUniteL);
    ASSERT_EQ(Focus(), ed->Unite);
    EXPECT_EQ(ed->Unite->currentText(), "cm");
    for (int k = 0; k < 3; ++k)
        Touche(Qt::Key_Tab);
    EXPECT_EQ(ed->Colonne(), cPente);
    Entre("0,5");

    // Backspace then Escape leaves the cell as it was.
    Clic(3, cPente);
    Touche(Qt::Key_Backspace);
    Touche(Qt::Key_Escape);
    EXPECT_EQ(ed->Cellule(3, cPente), "0,5");
    EXPECT_TRUE(ed->isVisible());
    Clic(1, cPente, Qt::LeftButton, Qt::ShiftModifier);  // a block ending on a station row
    Touche(Qt::Key_Backspace);
    Touche(Qt::Key_Escape);
    EXPECT_EQ(ed->Cellule(3, cPente), "0,5");
    // Backspace empties a cell and types it anew.
    Clic(2, cGauche);
    Touche(Qt::Key_Backspace);
    EXPECT_EQ(ed->Cellule(2, cGauche), "");
    EXPECT_NE(Focus(), ed->TableauVisee);
    Entre("0,8");

    points.reponses = {{IDialoguePoint::PointFinal, aide::Point("F", 1)}};
    DoubleClic(4, cPoint);
    ASSERT_EQ(ed->Cellule(4, 0), "->|");
    invite.messages.clear();
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    ASSERT_FALSE(ed->isVisible());

    const auto relu = EnregistreEtRelit();
    ASSERT_FALSE(relu->Fiches.empty());
    const TFiche* f = relu->Fiches.back();
    ASSERT_EQ(f->Systeme.Chaine(), "Causse");
    EXPECT_EQ(static_cast<long double>(f->Declinaison), 12.5L);
    EXPECT_EQ(f->Unite_Decli, 1);
    ASSERT_EQ(f->Topographes.size(), 1u);
    EXPECT_EQ(f->Topographes[0].Chaine(), "Jean");
    ASSERT_EQ(f->Galeries.size(), 1u);
    const TGalerie& g = *f->Galeries[0];
    ASSERT_EQ(g.NbVisees, 2);
    auto visee = [](const TVisee& v) {
        return FormatGeneral(v.Longueur, 15) + std::to_string(v.UniteLongueur) + "/" + FormatGeneral(v.Azimut, 15) +
               std::to_string(v.UniteAzimut) + "/" + FormatGeneral(v.Pente, 15) + std::to_string(v.UnitePente);
    };
    EXPECT_EQ(visee(*g.Visee(1)), "70/900/-50");
    EXPECT_EQ(g.Visee(1)->Gauche.str(), "0.8");
    EXPECT_EQ(visee(*g.Visee(2)), "12.51/900/0.50");
}

// Topofil readings are shown with their decimals, and a validation stores them again as
// they were, under a coefficient of 1 or not. Readings typed with more digits than the text
// file's fields: saved as a text massif and read back, every digit is there, as in the
// binary file.
TEST_F(Seance, LesLecturesTopofilGardentLeursDecimales)
{
    TFiche* f = Lieu(*massif, "Galerie haute");
    ASSERT_NE(f, nullptr);
    TVisee& v = *f->Galeries[0]->Visee(2);
    v.AvecTopofil = true;
    v.Topofil = 120.4L;
    v.Longueur = 15.5L;
    f->Galeries[1]->CoefTopofil = 1.002L;
    TVisee& w = *f->Galeries[1]->Visee(1);
    w.AvecTopofil = true;
    w.Topofil = 1234.56L;
    w.Longueur = 7.31L;
    massif = EnregistreEtRelit();

    Ouvre(Lieu(*massif, "Galerie haute"));
    EXPECT_EQ(ed->Cellule(RangVisee(2), cLongueur), "120.4/135.9");
    // Both readings show whole in the column.
    EXPECT_GE(ed->RectCellule(RangVisee(2), cLongueur).width(),
              ed->TableauVisee->fontMetrics().horizontalAdvance(QStringLiteral("120.4/135.9")) + 4);
    EXPECT_EQ(ed->Cellule(RangVisee(10), cLongueur).section('/', 0, 0), "1234.56");
    Clic(RangVisee(1), cAzimut);
    Entre("123.45");
    ASSERT_EQ(ed->Colonne(), cPente);
    Entre("-12.125");
    Clic(RangVisee(2), cPente);
    Entre("10.25");
    Clic(RangVisee(3), cPente);
    Entre("-45.45");
    Clic(RangVisee(3), cObservations);
    Tape("vu");
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();

    const auto relu = EnregistreEtRelit();
    const TFiche& n = *Lieu(*relu, "Galerie haute");
    fichier = dossier.filePath("pierrefeu.mas").toStdString();
    const auto texte = EnregistreEtRelit();
    ASSERT_NE(Lieu(*texte, "Galerie haute"), nullptr);
    const TFiche& t = *Lieu(*texte, "Galerie haute");
    const TVisee& t1 = *t.Galeries[0]->Visee(1);
    EXPECT_EQ(static_cast<long double>(t1.Azimut), static_cast<long double>(Reel6(123.45L)));
    EXPECT_EQ(static_cast<long double>(t1.Pente), static_cast<long double>(Reel6(-12.125L)));
    EXPECT_EQ(static_cast<long double>(t.Galeries[0]->Visee(2)->Pente), static_cast<long double>(Reel6(10.25L)));
    EXPECT_EQ(static_cast<long double>(t.Galeries[0]->Visee(3)->Pente), static_cast<long double>(Reel6(-45.45L)));
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(Champs(*n.Galeries[0]->Visee(k)), Champs(*t.Galeries[0]->Visee(k))) << k;
    const TVisee& v2 = *n.Galeries[0]->Visee(2);
    EXPECT_TRUE(v2.AvecTopofil);
    EXPECT_EQ(static_cast<long double>(v2.Topofil), static_cast<long double>(Reel6(120.4L)));
    EXPECT_EQ(static_cast<long double>(v2.Longueur), 15.5L);
    const TVisee& w2 = *n.Galeries[1]->Visee(1);
    EXPECT_EQ(static_cast<long double>(w2.Topofil), static_cast<long double>(Reel6(1234.56L)));
    EXPECT_EQ(static_cast<long double>(w2.Longueur), static_cast<long double>(Reel6(7.31L)));
    EXPECT_EQ(n.Galeries[0]->Visee(3)->Commentaire.Chaine(), "vu");
}

// An undated sheet, blank in either form, validated with nothing changed ("Terminer" after a
// length changed and typed back, or "Suivante"): binary and text files save byte for byte.
TEST_F(Seance, UneFicheSansDateValideeTelleQuelle)
{
    PiloteModalInstalle pilote([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    for (const char* nom : {"sans_date.fic", "sans_date.mas"})
        for (const char* blanc : {"", "  /  /  "}) {
            Lieu(*massif, "Galerie haute")->Date = blanc;
            fichier = dossier.filePath(nom).toStdString();
            massif = EnregistreEtRelit();
            const std::string avant = essai::Contenu(fichier);
            const TFiche* ancienne = Lieu(*massif, "Galerie haute");
            Ouvre(Lieu(*massif, "Galerie haute"));
            for (const char* longueur : {"12", "11.8"}) {
                Clic(RangVisee(1), cLongueur);
                Entre(longueur);
            }
            Menu(ed->Fiche1, *blanc ? ed->Suivante1 : ed->Terminer1);
            EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
            if (ed->isVisible())
                Menu(ed->Fiche1, ed->Annuler1);
            massif->Sauve(fichier, nullptr, nullptr);
            EXPECT_NE(Lieu(*massif, "Galerie haute"), ancienne);
            EXPECT_TRUE(essai::Contenu(fichier) == avant) << nom << " [" << blanc << "]";
        }
}

// Cut, paste and delete on selected cells from the "Edition" menu; a double click on a flag
// toggles it and opens no editor.
TEST_F(Seance, CouperCollerSupprimerEtDrapeaux)
{
    prefs.GHorizontal.Affiche = true;
    prefs.ConstruitColonnes();
    const int cDrapeau = 15;
    Ouvre(Lieu(*massif, "Galerie haute"));
    ASSERT_EQ(ed->TypeColonne(cDrapeau), TPreference_Ecran::DrapeauHorizontal);
    GrilleCommeFeuille("chargement");
    const int r1 = RangVisee(1), r2 = RangVisee(2), r3 = RangVisee(3);

    // Lengths to azimuths of shots 1 and 2.
    Clic(r1, cLongueur);
    Clic(r2, cAzimut, Qt::LeftButton, Qt::ShiftModifier);
    Menu(ed->Edition1, ed->Couper1);
    GrilleCommeFeuille("coupe");
    EXPECT_EQ(QApplication::clipboard()->text(), "11.8\tm\t335.2\r\n11.74\tm\t301.5");
    EXPECT_EQ(ed->Cellule(r1, cLongueur), "");
    EXPECT_EQ(ed->Cellule(r2, cAzimut), "");
    EXPECT_EQ(ed->Cellule(r2, cUniteL), "m");
    EXPECT_TRUE(ed->Modifie);
    // Pasted back.
    Menu(ed->Edition1, ed->Coller1);
    GrilleCommeFeuille("collage");
    EXPECT_EQ(ed->Cellule(r1, cLongueur), "11.8");
    EXPECT_EQ(ed->Cellule(r2, cAzimut), "301.5");
    // The widths of shot 3 deleted.
    Clic(r3, cGauche);
    Clic(r3, cDroite, Qt::LeftButton, Qt::ShiftModifier);
    Menu(ed->Edition1, ed->Supprimer2);
    EXPECT_EQ(ed->Cellule(r3, cGauche), "");
    EXPECT_EQ(ed->Cellule(r3, cDroite), "");
    // Copied, a selection is left as it is.
    Clic(r3, cObservations);
    Menu(ed->Edition1, ed->Copier1);
    EXPECT_EQ(QApplication::clipboard()->text(), "");
    // Pasted with a byte-order mark and a zero-width space: nothing asked, nothing stored for them.
    QApplication::clipboard()->setText(QStringLiteral("\uFEFFZoé\u200B"));
    Touche(Qt::Key_V, Qt::ControlModifier);

    // A block to a unit cell, by Shift+click or Shift and the arrows, is what the keys copy.
    Clic(r1, cLongueur);
    Clic(r2, cUniteL, Qt::LeftButton, Qt::ShiftModifier);
    Touche(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "11.8\tm\r\n11.74\tm");
    Touche(Qt::Key_Down, Qt::ShiftModifier);
    Touche(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "11.8\tm\r\n11.74\tm\r\n10.18\tm");
    // Three double clicks: O, N, O; the cell is never left open for typing.
    for (const char* attendu : {"O", "N", "O"}) {
        DoubleClic(r3, cDrapeau);
        EXPECT_EQ(ed->Cellule(r3, cDrapeau), attendu);
        EXPECT_EQ(Focus(), ed->TableauVisee);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    }

    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    const auto relu = EnregistreEtRelit();
    const TGalerie& g = *Lieu(*relu, "Galerie haute")->Galeries[0];
    EXPECT_EQ(static_cast<long double>(g.Visee(1)->Longueur), static_cast<long double>(Reel6(11.8L)));
    EXPECT_EQ(static_cast<long double>(g.Visee(2)->Azimut), static_cast<long double>(Reel6(301.5L)));
    EXPECT_EQ(g.Visee(3)->Gauche.str(), "");
    EXPECT_EQ(g.Visee(3)->Droite.str(), "");
    EXPECT_TRUE(g.Visee(3)->AvecCorrHorizontale);
    EXPECT_FALSE(g.Visee(2)->AvecCorrHorizontale);
    EXPECT_EQ(g.Visee(3)->Commentaire.Chaine(), "Zo\xE9");
}

// A backsight Vulcain shot cut and pasted with the keys keeps its units; an import that would
// put a line on a station row is refused whole; twenty lines pasted on a new sheet all arrive.
TEST_F(Seance, UneViseeDeplaceeGardeSesUnitesEtLaGrilleGrandit)
{
    Ouvre(Lieu(*massif, "Galerie haute"));
    const int r1 = RangVisee(1), r4 = RangVisee(4);
    const QString longueur = ed->Cellule(r1, cLongueur);
    for (const auto& [colonne, bas] : {std::pair{cUniteA, 2}, std::pair{cUniteP, 8}}) {
        Clic(r1, colonne);
        for (int k = 0; k < bas; ++k)
            Touche(Qt::Key_Down);
        Touche(Qt::Key_Return);
    }
    Clic(r1, cLongueur);
    Clic(r1, cGauche, Qt::LeftButton, Qt::ShiftModifier);
    Touche(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(ed->Cellule(r1, cUniteA) + ed->Cellule(r1, cUniteP) + ed->Cellule(r1, cLongueur), "°°");
    for (const int r : {r1, r4}) {
        Clic(r, cLongueur);
        Touche(Qt::Key_V, Qt::ControlModifier);
    }
    // Copied by its marker, the row goes to the whole row whose Longueur cell is chosen, or
    // whose unit cell, that opens its list at the click.
    QHeaderView* reperes = ed->TableauVisee->verticalHeader();
    Point(r4, cLongueur);
    const QPoint repere(reperes->width() / 2, reperes->sectionViewportPosition(r4 - 1) + 8);
    QTest::mousePress(reperes->viewport(), Qt::LeftButton, {}, repere);
    QTest::mouseRelease(reperes->viewport(), Qt::LeftButton, {}, repere);
    Touche(Qt::Key_C, Qt::ControlModifier);
    for (const auto& [r, choisie] : {std::pair{RangVisee(6), cLongueur}, std::pair{RangVisee(7), cUniteA}}) {
        Clic(r, choisie);
        Touche(Qt::Key_V, Qt::ControlModifier);
        for (const int c : {cLongueur, cUniteA, cUniteP, cGauche})
            EXPECT_EQ(ed->Cellule(r, c), ed->Cellule(r4, c)) << r << " " << c;
    }
    const int r9 = RangVisee(9);
    // From the last shot before a junction, lines 2 and 3 would fall on its station rows.
    QApplication::clipboard()->setText("31\r\n32\r\n33\r\n34\r\n");
    PiloteModalInstalle tableur([](QDialog& d) {
        // Tab leaves the list of fields to skip for "Importer", which Enter presses.
        d.show();
        QApplication::setActiveWindow(&d);
        EXPECT_EQ(Focus(), dynamic_cast<TImportationExcel&>(d).Colonnes);
        for (const Qt::Key k : {Qt::Key_Tab, Qt::Key_Return})
            QTest::keyClick(Focus(), k);
        return d.result();
    });
    Popup(r9, cLongueur, ed->Importerduntableur1);
    EXPECT_EQ(DernierMessage(), "Ligne 2 du texte importé : elle tomberait sur la ligne de la station « H(1) », qui "
                                "ne reçoit pas de visée. Rien n'a été importé.");
    EXPECT_EQ(ed->Cellule(r9, cLongueur) + ed->Cellule(r9 + 3, cLongueur), "3.369.31");
    // One line imported: the grid still ends on its final point.
    const int lignes = ed->NbLignes();
    QApplication::clipboard()->setText("31\r\n");
    Popup(r9, cLongueur, ed->Importerduntableur1);
    GrilleCommeFeuille("import");
    EXPECT_EQ(ed->NbLignes(), lignes);
    Menu(ed->Fiche1, ed->Terminer1);
    const auto relu = EnregistreEtRelit();
    const TGalerie& g = *Lieu(*relu, "Galerie haute")->Galeries[0];
    const TVisee& v = *g.Visee(4);
    EXPECT_EQ(FormatGeneral(v.Longueur, 10) + " " + std::to_string(v.UniteAzimut) + std::to_string(v.UnitePente),
              longueur.toStdString() + " 54");
    EXPECT_EQ(FormatGeneral(g.Visee(9)->Longueur, 10), "31");

    PiloteModalInstalle pilote([&](QDialog& d) { return ed->Informations->Button1->click(), d.result(); });
    points.reponses = {{IDialoguePoint::Valider, aide::Point("N", 1)}};
    Ouvre(nullptr);
    QTest::mouseClick(ed->TabSet, Qt::LeftButton, {}, ed->TabSet->tabRect(0).center());
    QApplication::clipboard()->setText(QStringLiteral("7\tcm\t10\r\n").repeated(20));
    Tape("3");  // pasted from a cell being typed
    Touche(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Cellule(21, 0) + ed->Cellule(21, cLongueur) + ed->Cellule(21, cUniteL), "207cm");
    // The same from the cell editor's own menu.
    Clic(3, cAzimut);
    Tape("9");
    QApplication::clipboard()->setText("31\r\n32\r\n");
    QWidget* cellule = Focus();
    QContextMenuEvent droit(QContextMenuEvent::Mouse, QPoint(2, 2), cellule->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(cellule, &droit);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    auto* coller = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    ASSERT_NE(coller, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(coller).center());
    Reactive();
    EXPECT_EQ(ed->Cellule(3, cAzimut) + ed->Cellule(4, cAzimut) + ed->Cellule(5, cAzimut), "313210");
}

// The editor opens centred on the "Système" field of the information page; with no
// surveyor list anywhere, the picker says so and "Modifier ..." makes the list for the
// user's text editor.
TEST_F(Seance, LaListeDesTopographesEstCreeePourEtreModifiee)
{
    Ouvre(nullptr);
    EXPECT_EQ(ed->TabSet->currentIndex(), 1);
    EXPECT_EQ(Focus(), ed->Systeme);
    const QRect ecran = ed->screen()->availableGeometry();
    EXPECT_LE(std::abs(ed->frameGeometry().center().x() - ecran.center().x()), 1);
    EXPECT_LE(std::abs(ed->frameGeometry().center().y() - ecran.center().y()), 1);

    Editeur editeur;
    const std::string liste = hote.utilisateur + "EXPLORAT.TXT";
    int montres = 0;
    PiloteModalInstalle pilote([&](QDialog& d) {
        ++montres;
        auto& e = dynamic_cast<TExplorateur&>(d);
        EXPECT_EQ(e.SrcList->count(), 0);
        EXPECT_FALSE(e.Vide->isHidden());
        EXPECT_FALSE(std::filesystem::exists(liste));
        QTest::mouseClick(e.Button3, Qt::LeftButton);
        EXPECT_TRUE(std::filesystem::exists(liste));
        return static_cast<int>(QDialog::Rejected);
    });
    QTest::mouseClick(ed->Liste, Qt::LeftButton);
    EXPECT_EQ(montres, 1);
    EXPECT_EQ(editeur.ouverts, QStringList{QString::fromStdString(liste)});
    EXPECT_EQ(essai::Contenu(liste), "");
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();

    // The user's names are offered next time, whichever encoding the editor saved each in.
    {
        std::ofstream f(liste, std::ios::binary);
        f << "Claire Aubrac\r\nPaul Rey\r\nZo\xC3\xA9 Martin\r\nRen\xE9\r\n";
    }
    PiloteModalInstalle choix([&](QDialog& d) {
        auto& e = dynamic_cast<TExplorateur&>(d);
        EXPECT_TRUE(e.Vide->isHidden());
        EXPECT_EQ(e.SrcList->item(2)->text(), "René");  // sorted
        d.show();
        QTest::mouseClick(e.SrcList->viewport(), Qt::LeftButton, {},
                          e.SrcList->visualItemRect(e.SrcList->item(3)).center());
        QTest::mouseClick(e.IncludeBtn, Qt::LeftButton);
        return static_cast<int>(QDialog::Accepted);
    });
    QTest::mouseClick(ed->Liste, Qt::LeftButton);
    EXPECT_EQ(ed->Topographe->toPlainText(), "Zoé Martin");
    // A pipe in its place is refused at once, no writer needed.
    std::filesystem::remove(liste);
    ASSERT_EQ(::mkfifo(liste.c_str(), 0600), 0);
    QTest::mouseClick(ed->Liste, Qt::LeftButton);
    EXPECT_EQ(DernierMessage(), QString::fromStdString(liste + " est un tube ou un périphérique, et non un fichier."));
}

// The titles and the row markers stay in place whatever the grid scrolls to; every title
// and unit shows whole; a title's border dragged with the mouse sets the width that the
// layout keeps. A double click on a title fits its column to the widest text below it; a
// drag over the row markers selects whole rows, which "Supprimer une visée" takes out
// together.
TEST_F(Seance, TitresEtReperesFixes)
{
    Ouvre(Lieu(*massif, "Galerie haute"));
    QTableWidget* g = ed->TableauVisee;
    QHeaderView* titres = g->horizontalHeader();
    QHeaderView* reperes = g->verticalHeader();
    ASSERT_TRUE(titres->isVisible());
    ASSERT_TRUE(reperes->isVisible());
    // Opened on its first gallery, the sheet shows the start row first.
    EXPECT_EQ(reperes->logicalIndexAt(0), 0);
    EXPECT_EQ(ed->Cellule(1, 0), "|->");
    EXPECT_EQ(titres->model()->headerData(1, Qt::Horizontal).toString(), "Longueur");
    EXPECT_EQ(reperes->model()->headerData(5, Qt::Vertical).toString(), "5");

    // No text of a title or a unit is cut: a unit cell as drawn holds the ink it holds in a
    // column far wider.
    const QFontMetrics police(g->font());
    const int r4 = RangVisee(3);
    for (int c = 1; c < ed->NbColonnesGrille(); ++c) {
        EXPECT_GE(ed->LargeurColonne(c), QFontMetrics(titres->font()).horizontalAdvance(ed->Cellule(0, c)))
            << ed->Cellule(0, c).toStdString();
        const int largeur = ed->LargeurColonne(c);
        const QString avant = ed->Cellule(r4, c);
        auto encre = [&] {
            Point(r4, c);
            const QRect r = ed->RectCellule(r4, c);
            return g->viewport()->grab(QRect(r.topLeft(), QSize(largeur - 1, r.height()))).toImage();
        };
        for (const QString& u : TMultPageDlg::TexteUnites(ed->TypeColonne(c))) {
            ed->FixeCellule(r4, c, u);
            const QImage etroite = encre();
            ed->FixeLargeurColonne(c, 200);
            EXPECT_TRUE(etroite == encre()) << u.toStdString();
            ed->FixeLargeurColonne(c, largeur);
        }
        ed->FixeCellule(r4, c, avant);
    }

    // Far right and far down, with the keyboard.
    Clic(RangVisee(1), cLongueur);
    Touche(Qt::Key_End);
    Touche(Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(g->horizontalScrollBar()->value(), 0);
    EXPECT_GT(g->verticalScrollBar()->value(), 0);
    EXPECT_EQ(ed->Colonne(), cObservations);
    EXPECT_EQ(reperes->geometry().left(), titres->geometry().left() - reperes->width());
    EXPECT_EQ(titres->geometry().top(), reperes->geometry().top() - titres->height());
    EXPECT_EQ(titres->visualIndexAt(titres->viewport()->width() - 1), cObservations - 1);
    EXPECT_EQ(reperes->logicalIndexAt(reperes->viewport()->height() - 1), ed->NbLignes() - 2);

    // The length column widened by 20 pixels.
    Clic(RangVisee(1), cLongueur);
    Touche(Qt::Key_Home);
    const int avant = ed->LargeurColonne(cLongueur);
    const int bord = titres->sectionViewportPosition(cLongueur - 1) + avant - 1;
    const int y = titres->height() / 2;
    QTest::mousePress(titres->viewport(), Qt::LeftButton, {}, QPoint(bord, y));
    QTest::mouseMove(titres->viewport(), QPoint(bord + 10, y));
    QTest::mouseMove(titres->viewport(), QPoint(bord + 20, y));
    QTest::mouseRelease(titres->viewport(), Qt::LeftButton, {}, QPoint(bord + 20, y));
    EXPECT_EQ(ed->LargeurColonne(cLongueur), avant + 20);

    Clic(RangVisee(2), cObservations);
    Tape("une observation bien plus large que la colonne");
    Touche(Qt::Key_Return);
    QTest::mouseDClick(titres->viewport(), Qt::LeftButton, {},
                       QPoint(titres->sectionViewportPosition(cObservations - 1) + 10, y));
    EXPECT_EQ(ed->LargeurColonne(cObservations),
              police.horizontalAdvance(ed->Cellule(RangVisee(2), cObservations)) + 10);

    // An empty shot inserted, then deleted again.
    Clic(RangVisee(1), cLongueur);
    Menu(ed->Tableau1, ed->Insreruneligne1);
    GrilleCommeFeuille("insertion");
    Menu(ed->Tableau1, ed->Supprimeruneligne1);
    const int r3 = RangVisee(3), r5 = RangVisee(5);
    auto repere = [&](int r) { return QPoint(reperes->width() / 2, reperes->sectionViewportPosition(r - 1) + 8); };
    QTest::mousePress(reperes->viewport(), Qt::LeftButton, {}, repere(r3));
    QTest::mouseMove(reperes->viewport(), repere(r3 + 1));
    QTest::mouseMove(reperes->viewport(), repere(r5));
    QTest::mouseRelease(reperes->viewport(), Qt::LeftButton, {}, repere(r5));
    EXPECT_EQ(ed->SelectionGrille(), QRect(1, r3, ed->NbColonnesGrille() - 1, 3));
    EXPECT_EQ(ed->Ligne(), r5);
    EXPECT_FALSE(ed->GlisseLignes);
    invite.reponses = {Bouton::OK};
    Menu(ed->Tableau1, ed->Supprimeruneligne1);
    GrilleCommeFeuille("suppression");
    EXPECT_EQ(ed->Cellule(r3, cLongueur), "4.4");  // shot 6 moved up
    EXPECT_EQ(ed->Cellule(r3, 0), "3");
    EXPECT_EQ(ed->Cellule(RangVisee(6), cAzimut), "166.1");  // shot 9, renumbered
    Clic(RangVisee(1), cObservations);
    Tape("x");
    invite.messages.clear();
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    EXPECT_EQ(prefs.Colonnes[cLongueur].Largeur, avant + 20);
    EXPECT_EQ(prefs.GLongueur.Largeur, avant + 20);
}

// A length the reduction could not square and sum is refused where it is typed, and the
// sheet in the massif keeps its shot. Ctrl+S, "Suivante" and the window's close box first
// write the value still being typed.
TEST_F(Seance, LesCommandesEcriventLaCelluleEnCours)
{
    TFiche* fiche = Lieu(*massif, "Galerie haute");
    ASSERT_NE(fiche, nullptr);
    const std::string avant = Champs(*fiche->Galeries[0]->Visee(2));
    Ouvre(fiche);
    const int r2 = RangVisee(2);
    Clic(r2, cLongueur);
    Tape("1e20");
    invite.messages.clear();
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_EQ(DernierMessage(), "La longueur n'est pas correcte");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(ed->Cellule(r2, cLongueur), "1e20");
    EXPECT_EQ(Champs(*Lieu(*EnregistreEtRelit(), "Galerie haute")->Galeries[0]->Visee(2)), avant);
    Clic(r2, cAzimut);
    Clic(r2, cLongueur);
    Tape("11.74");

    int enregistrements = 0;
    hote.enregistre = [&] {
        ++enregistrements;
        EXPECT_EQ(ed->Cellule(r2, cAzimut), "55");
        EXPECT_TRUE(ed->Modifie);
    };
    Clic(r2, cAzimut);
    Tape("55");
    ASSERT_NE(Focus(), ed->TableauVisee);
    Touche(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(enregistrements, 1);
    // Texts the file cannot hold whole are named first; Return (Non) saves nothing and goes
    // back to the first, on the information page. Kept later, they are stored with '?'.
    QApplication::clipboard()->setText("ŧ ł ŧ 🙂 Me\u0301andre");  // an accent typed apart is kept
    Clic(r2, cObservations);
    Touche(Qt::Key_V, Qt::ControlModifier);
    ed->Reseau->setText("Entrée œ ł €");
    Interlocuteur::Installe(nullptr);
    const auto hors = ecran::RepondBoite(Qt::Key_Return);
    Touche(Qt::Key_S, Qt::ControlModifier);
    Interlocuteur::Installe(&invite);
    Reactive();
    const QString hors1252("Ces textes contiennent des caractères que le fichier ne peut pas garder :\r"
                           "Le champ « Réseau » : « ł »\r"
                           "La colonne « Observations » de la visée 2 : « ŧ ł 🙂 »\r"
                           "Ils seront enregistrés comme « ? ». Enregistrer la fiche ainsi ?");
    EXPECT_EQ(hors->texte, QString(hors1252).replace('\r', '\n'));  // the box shows lines
    EXPECT_EQ(enregistrements, 1);
    EXPECT_EQ(ed->TabSet->currentIndex(), 1);
    QTest::mouseClick(ed->TabSet, Qt::LeftButton, {}, ed->TabSet->tabRect(0).center());

    // The close box: the value typed counts as a change that would be lost.
    Clic(r2, cPente);
    Tape("7");
    invite.reponses = {Bouton::Annuler};
    QCloseEvent fermeture;
    QApplication::sendEvent(ed.get(), &fermeture);
    EXPECT_EQ(DernierMessage(), "Les modifications vont être perdues.");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(ed->Cellule(r2, cPente), "7");
    // Escape, then Return on the real question: Return keeps the sheet.
    Interlocuteur::Installe(nullptr);
    const auto question = ecran::RepondBoite(Qt::Key_Return);
    Touche(Qt::Key_Escape);
    Interlocuteur::Installe(&invite);
    Reactive();
    EXPECT_EQ(question->texte, "Les modifications vont être perdues.");
    ASSERT_TRUE(ed->isVisible());
    EXPECT_EQ(ed->Cellule(r2, cPente), "7");

    // "Suivante" stores the sheet with both values and starts a new one.
    Clic(r2, cGauche);
    Tape("9");
    points.reponses = {{IDialoguePoint::Valider, aide::Point("Z", 1)}};
    PiloteModalInstalle pilote([&](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    invite.messages.clear();
    invite.reponses = {Bouton::Oui};
    Menu(ed->Fiche1, ed->Suivante1);
    EXPECT_EQ(invite.Textes(), QStringList{hors1252});
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Non);
    invite.messages.clear();
    EXPECT_EQ(ed->Cellule(1, cPoint), "Z(1)");
    // "Point final" on the shot just typed ends the sheet after it, asking nothing.
    for (const char* t : {"4", "10", "-2"})
        Entre(t);
    points.reponses = {{IDialoguePoint::PointFinal, aide::Point("F", 1)}};
    Clic(2, cAzimut);
    Menu(ed->Point1, ed->Nouveau1);
    EXPECT_TRUE(invite.messages.empty()) << DernierMessage().toStdString();
    Menu(ed->Fiche1, ed->Terminer1);
    EXPECT_FALSE(ed->isVisible()) << DernierMessage().toStdString();
    const auto relu = EnregistreEtRelit();
    ASSERT_FALSE(relu->Fiches.empty());
    const TGalerie& z = *relu->Fiches.back()->Galeries[0];
    EXPECT_EQ(FeuilleSaisie::TexteStation(z.Depart) + FeuilleSaisie::TexteStation(z.Arrivee), "Z(1)F(1)");
    ASSERT_EQ(z.NbVisees, 1);
    EXPECT_EQ(static_cast<long double>(z.Visee(1)->Azimut), 10.0L);
    const TVisee& v = *Lieu(*relu, "Galerie haute")->Galeries[0]->Visee(2);
    EXPECT_EQ(static_cast<long double>(v.Azimut), 55.0L);
    EXPECT_EQ(static_cast<long double>(v.Pente), 7.0L);
    EXPECT_EQ(v.Gauche.str(), "9");
    EXPECT_EQ(v.Commentaire.Chaine(), "? ? ? ? M\xE9"
                                      "andre");  // one for the emoji too
    EXPECT_EQ(Lieu(*relu, "Galerie haute")->Reseau.Chaine(), "Entr\xE9"
                                                             "e \x9C ? \x80");
}

// Every command acts on the row the cursor shows, however it got there, and names what goes.
TEST_F(Seance, LesCommandesVisentLaLigneDuCurseur)
{
    TFiche* fiche = Lieu(*massif, "Galerie haute");
    auto supprime = [&](const QString& visee) {
        Popup(-1, 0, ed->Supprimerunevise1);  // OK
        EXPECT_EQ(DernierMessage(), "La visée " + visee + " va définitivement être supprimée.");
    };
    Ouvre(fiche);
    Clic(RangVisee(6), cAzimut);  // in an earlier sheet
    Menu(ed->Fiche1, ed->Annuler1);
    Ouvre(fiche);
    supprime("1 (longueur 11.8 m, azimut 335.2 °, pente 28.4 °)");
    Clic(2, cLongueur);
    Tape("abc");
    Clic(RangVisee(4), cPente);
    Menu(ed->Fiche1, ed->Terminer1);  // refused, back on shot 1
    supprime("1 (longueur abc m, azimut 301.5 °, pente 79.1 °vul)");
    Clic(ed->NbLignes() - 1, cPoint);
    Menu(ed->Point1, ed->Supprimer3);
    EXPECT_EQ(DernierMessage(), "Supprimer le dernier point « E(3) » et continuer ?");
    supprime("38 (longueur 15.86 m, azimut 142 °, pente -9.92 °)");
    EXPECT_EQ(ed->Cellule(2, cLongueur) + " " + ed->Cellule(ed->NbLignes() - 2, cLongueur), "10.18 15.68");

    Menu(ed->Fiche1, ed->Annuler1);
    Ouvre(fiche);
    QStringList touches = {"-11.8", "-12", "\t", "-0.5"};  // "\t": no field skipped, on to "Importer"
    PiloteModalInstalle pilote([&](QDialog& d) {
        d.show();
        QApplication::setActiveWindow(&d);
        Tape(touches.takeFirst() + "\r");
        return d.result();
    });
    Popup(-1, 0, ed->CorrigerLongueur2);
    EXPECT_EQ(DernierMessage(),
              "La longueur de la visée 1 deviendrait nulle ou négative (0.0 m) : aucune longueur n'a été corrigée.");
    Popup(-1, 0, ed->CorrigerLongueur2);
    EXPECT_EQ(DernierMessage(),
              "La longueur de la visée 1 deviendrait nulle ou négative (-0.2 m) : aucune longueur n'a été corrigée.");
    QApplication::clipboard()->setText("5\t100\t-10\r\n");
    Menu(ed->Edition1, ed->Importer);
    Popup(-1, 0, ed->CorrigerAzimut2);
    EXPECT_EQ(ed->Cellule(2, cLongueur) + " " + ed->Cellule(2, cAzimut) + " " + ed->Cellule(3, cAzimut), "5 99.5 301.0");
    // The pop-up where the program took the cursor: a junction's end row, a shot; a unit cell.
    const int fin = RangVisee(9) + 1;
    Clic(fin - 1, ed->NbColonnesGrille() - 1);
    Touche(Qt::Key_Return);
    Popup(-1, 0, ed->Supprimerunpoint1);  // OK
    EXPECT_TRUE(ed->Feuille.LigneVisee(fin));
    points.reponses = {{IDialoguePoint::Valider, aide::Point("X", 1)}, {IDialoguePoint::Valider, aide::Point("X", 2)}};
    touches = {""};
    Popup(-1, 0, ed->Insrerunpoint1);
    EXPECT_EQ(ed->Cellule(fin, cPoint) + ed->Cellule(fin + 1, cPoint), "X(1)X(2)");
    Clic(RangVisee(1), cUniteA);
    supprime("1 (longueur 5 m, azimut 99.5 °, pente -10 °)");
}

#include "saisie_seance_test.moc"
