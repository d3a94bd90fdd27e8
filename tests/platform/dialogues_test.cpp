// The Qt side of the platform: message boxes answered from the keyboard, Qt's own dialogs
// in French, the font dialog, and the printer's orientation.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest/QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <new>

#include "boite_reelle.h"
#include "platform/imprimante.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"

using namespace karst;

namespace {

void Application()
{
    static int argc = 1;
    static char nom[] = "platform_tests";
    static char* argv[] = {nom, nullptr};
    // Never destroyed: the keyboard the key clicks create must not outlive it at exit.
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

class BoitesDeMessage : public ::testing::Test {
protected:
    void SetUp() override { Application(); }

    // The answer the Qt box gives when the key is typed into it.
    Bouton Repond(const std::vector<Bouton>& boutons, Qt::Key touche, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        vue = ecran::RepondBoite(touche, mod);
        InterlocuteurQt qt;
        const Bouton b = qt.Message(QStringLiteral("Question"), Icone::Confirmation, boutons);
        EXPECT_TRUE(vue->vue);
        return b;
    }

    std::shared_ptr<ecran::BoiteVue> vue;
};

}  // namespace

TEST_F(BoitesDeMessage, EchapDonneLaReponseQuiEngageLeMoins)
{
    const Bouton Oui = Bouton::Oui, Non = Bouton::Non, OK = Bouton::OK, Annuler = Bouton::Annuler;
    struct Cas {
        std::vector<Bouton> boutons;
        Bouton attendu;
    };
    const Cas cas[] = {
        {{Oui, OK}, Oui},                // two stations possible: closing takes the end station
        {{Non, OK}, Non},                // font lost: closing keeps the font
        {{Oui, Non}, Non},               // quit?
        {{Oui, Non, Annuler}, Annuler},  // save prompt
        {{OK, Annuler}, Annuler},
        {{OK}, OK},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(Repond(c.boutons, Qt::Key_Escape), c.attendu) << vue->boutons.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(Fermeture(c.boutons), c.attendu);
    }
}

TEST_F(BoitesDeMessage, BoutonsFrancaisAvecLeursAccelerateurs)
{
    EXPECT_EQ(Repond({Bouton::Oui, Bouton::Non, Bouton::Annuler}, Qt::Key_N, Qt::AltModifier), Bouton::Non);
    QStringList textes = vue->boutons;
    textes.sort();
    EXPECT_EQ(textes, (QStringList{QStringLiteral("&Annuler"), QStringLiteral("&Non"), QStringLiteral("&Oui")}));
    EXPECT_EQ(vue->texte, QStringLiteral("Question"));
    EXPECT_EQ(vue->icone, QMessageBox::Question);
    EXPECT_EQ(Repond({Bouton::Oui, Bouton::Non, Bouton::Annuler}, Qt::Key_O, Qt::AltModifier), Bouton::Oui);
    EXPECT_EQ(Repond({Bouton::Oui, Bouton::Non, Bouton::Annuler}, Qt::Key_A, Qt::AltModifier), Bouton::Annuler);
    // Return takes the first button, the default one.
    EXPECT_EQ(Repond({Bouton::Non, Bouton::OK}, Qt::Key_Return), Bouton::Non);
    EXPECT_EQ(Repond({Bouton::OK, Bouton::Annuler}, Qt::Key_Return), Bouton::OK);
    // A question that would throw work away: Return takes the safe answer.
    vue = ecran::RepondBoite(Qt::Key_Return);
    EXPECT_FALSE(
        InterlocuteurQt().ConfirmePerte(QStringLiteral("Q"), Icone::Avertissement, {Bouton::Oui, Bouton::Non}));
    EXPECT_TRUE(vue->vue);
    // A path of 250 bytes without a blank still wraps within the screen.
    const QString chemin = QStringLiteral("/home/speleo/") + QString(250, QLatin1Char('n')) + QStringLiteral(".fic");
    vue = ecran::RepondBoite(Qt::Key_Return);
    InterlocuteurQt().Message(QStringLiteral("Le fichier %1 a été modifié.").arg(chemin), Icone::Erreur, {Bouton::OK});
    EXPECT_TRUE(vue->vue);
    EXPECT_LE(vue->largeur, QApplication::primaryScreen()->availableGeometry().width());
    // A few words leave the title whole beside a window manager's buttons.
    vue = ecran::RepondBoite(Qt::Key_Return);
    InterlocuteurQt().Message(QStringLiteral("3 s"), Icone::Information, {Bouton::OK});
    EXPECT_GE(vue->largeur, QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Karstomat")) + 100);
}

TEST_F(BoitesDeMessage, ScriptFermantLaBoite)
{
    InterlocuteurScripte s;
    s.reponses = {Bouton::Aucun, Bouton::Aucun, Bouton::OK};
    EXPECT_EQ(s.Message(QStringLiteral("a"), Icone::Confirmation, {Bouton::Oui, Bouton::OK}), Bouton::Oui);
    EXPECT_EQ(s.Message(QStringLiteral("b"), Icone::Avertissement, {Bouton::Non, Bouton::OK}), Bouton::Non);
    EXPECT_EQ(s.Message(QStringLiteral("c"), Icone::Avertissement, {Bouton::Non, Bouton::OK}), Bouton::OK);
    // Memory that ran out is said in French, not with the exception's own text.
    s.Erreur(std::bad_alloc());
    ASSERT_FALSE(s.messages.empty());
    EXPECT_EQ(s.messages.back().texte,
              QStringLiteral("La mémoire est insuffisante pour cette opération, qui a été abandonnée."));
}

TEST(DialoguesQt, EnFrancais)
{
    Application();
    ASSERT_TRUE(ChargeTraductionsQt());
    // A second call changes nothing.
    EXPECT_TRUE(ChargeTraductionsQt());
    QTemporaryDir dossier;
    // Words Qt's catalogue leaves in English: a folder's type, the printer's set-up.
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(dossier.path())), QStringLiteral("Dossier"));
    EXPECT_EQ(QCoreApplication::translate("QPrintPropertiesDialog", "Printer Properties"),
              QStringLiteral("Propriétés de l'imprimante"));
    EXPECT_EQ(QCoreApplication::translate("QPrintPropertiesWidget", "Advanced"), QStringLiteral("Avancé"));
    QPrinter imprimante;
    const QPrintDialog impression(&imprimante);
    QStringList titres;
    for (const QGroupBox* g : impression.findChildren<QGroupBox*>())
        titres << g->title();
    EXPECT_TRUE(titres.contains(QStringLiteral("Impression recto verso"))) << titres.join('|').toStdString();
    // Sizes, dates and file kinds in French whatever the system's language, even in a file
    // dialog Qt opens by itself (the print dialog's PDF file).
    QFile modele(dossier.filePath(QStringLiteral("plan.pla")));
    ASSERT_TRUE(modele.open(QIODevice::WriteOnly) && modele.write(QByteArray(2000, 'x')) == 2000);
    modele.close();
    ASSERT_EQ(mkfifo(QFile::encodeName(dossier.filePath(QStringLiteral("tube"))).constData(), 0600), 0);
    QFileDialog d(nullptr, QStringLiteral("Ouvrir"), dossier.path());
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFilter(d.filter() | QDir::System);  // a pipe listed as the system's files are
    d.show();
    const auto* vue = d.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(vue, nullptr);
    QModelIndex ligne, tube;
    const auto trouve = [&](const char* nom) {
        return vue->model()->match(vue->model()->index(0, 0, vue->rootIndex()), Qt::DisplayRole, nom, 1).value(0);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (ligne = trouve("plan.pla")).isValid() && (tube = trouve("tube")).isValid();
    }));  // the model file and the pipe are listed
    QStringList pla;
    for (int k = 1; k < 4; ++k)
        pla << ligne.siblingAtColumn(k).data().toString();
    EXPECT_EQ(pla[0], QStringLiteral("1,95 Kio"));
    // A pipe has no size to show.
    EXPECT_EQ(tube.siblingAtColumn(1).data().toString(), QString());
    EXPECT_EQ(pla[1], QStringLiteral("Modèle plan"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$")).match(pla[2]).hasMatch())
        << pla[2].toStdString();
    auto* boutons = d.findChild<QDialogButtonBox*>();
    ASSERT_NE(boutons, nullptr);
    ASSERT_NE(boutons->button(QDialogButtonBox::Open), nullptr);
    ASSERT_NE(boutons->button(QDialogButtonBox::Cancel), nullptr);
    EXPECT_EQ(boutons->button(QDialogButtonBox::Open)->text().remove(QLatin1Char('&')), QStringLiteral("Ouvrir"));
    EXPECT_EQ(boutons->button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Annuler"));
    // The labels of the dialog too: no English left.
    for (QLabel* l : d.findChildren<QLabel*>()) {
        EXPECT_NE(l->text(), QStringLiteral("Look in:"));
        EXPECT_NE(l->text(), QStringLiteral("File &name:"));
    }
    d.hide();

    // "Imprimer dans un fichier" onto the pipe, which has no reader: refused before Qt's own
    // check opens it and waits; the dialog stays up for another name. Were the check to come
    // first, a watchdog gives the pipe a reader after 5 s: the test fails rather than hangs.
    std::atomic<bool> fini{false}, attendu{false};
    std::thread garde([&] {
        for (int i = 0; i < 500 && !fini; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (fini)
            return;
        attendu = true;
        const int lecteur = ::open(QFile::encodeName(dossier.filePath(QStringLiteral("tube"))), O_RDONLY | O_NONBLOCK);
        while (!fini)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::close(lecteur);
    });
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dossier.filePath(QStringLiteral("tube")));
    DialogueImpression impressionPdf{&pdf};
    std::shared_ptr<ecran::BoiteVue> refus;
    QTimer::singleShot(0, [&] {
        refus = ecran::RepondBoite(Qt::Key_Return);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    EXPECT_FALSE(InterlocuteurQt().Impression(impressionPdf));
    fini = true;
    garde.join();
    EXPECT_FALSE(attendu);
    EXPECT_EQ(refus->texte, pdf.outputFileName() + QStringLiteral(" est un tube ou un périphérique, et non un fichier."));
    // A job refused for its size is refused before Qt asks about writing over the file.
    pdf.setOutputFileName(modele.fileName());
    impressionPdf.accepte = [](int, int, int) { return InterlocuteurQt().Avertissement(QStringLiteral("trop")), false; };
    QTimer::singleShot(0, [&] {
        refus = ecran::RepondBoite(Qt::Key_Return);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    EXPECT_FALSE(InterlocuteurQt().Impression(impressionPdf));
    EXPECT_EQ(refus->texte, QStringLiteral("trop"));

    // The page set-up's margins take the decimal point, the keypad's too, as the program's
    // fields do, although the boxes write a French comma.
    QPrinter page;
    page.setOutputFormat(QPrinter::PdfFormat);
    page.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QTimer::singleShot(0, [] {
        QApplication::activeModalWidget()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
        for (const char* marge : {"leftMargin", "topMargin"}) {
            QApplication::activeModalWidget()->findChild<QDoubleSpinBox*>(QLatin1String(marge))->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
            const Qt::KeyboardModifier point = marge[0] == 't' ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period, point);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(InterlocuteurQt().ConfigurationImprimante(&page));
    EXPECT_EQ(page.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(2.5, 2.5, 10, 10));
}

TEST(Imprimante, PaysageTourneLaPage)
{
    Application();
    ImprimanteFactice factice(4960, 7016, 210, 297);
    EXPECT_FALSE(factice.Paysage());
    EXPECT_TRUE(factice.FixePaysage(true));
    EXPECT_TRUE(factice.Paysage());
    EXPECT_EQ(std::make_tuple(factice.LargeurPage(), factice.HauteurPage(), factice.LargeurMm(), factice.HauteurMm()),
              std::make_tuple(7016, 4960, 297, 210));
    factice.Debut();
    EXPECT_EQ(factice.Canvas().Largeur(), 7016);
    factice.Fin();

    QTemporaryDir dossier;
    ImprimanteQt qt((dossier.path() + QStringLiteral("/p.pdf")).toStdString());
    const int largeur = qt.LargeurPage(), hauteur = qt.HauteurPage();
    ASSERT_LT(largeur, hauteur);
    EXPECT_TRUE(qt.FixePaysage(true));
    EXPECT_TRUE(qt.Paysage());
    EXPECT_EQ(qt.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(qt.LargeurPage(), hauteur);
    EXPECT_EQ(qt.HauteurPage(), largeur);
    EXPECT_GT(qt.LargeurMm(), qt.HauteurMm());
}

// The working font "Times New Roman" is not installed: the dialog opens on the face drawn in
// its place, and a change of size alone keeps the name the options store.
TEST(DialoguesQt, PoliceGardeSonNomQuandSeuleLaTailleChange)
{
    Application();
    Police police;
    police.FixeTaille(10);
    const QString dessinee = QFontInfo(QFont(QStringLiteral("Times New Roman"))).family();
    QString ouverteSur;
    bool repondu = false;
    QTimer minuterie;
    minuterie.setInterval(5);
    QObject::connect(&minuterie, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        minuterie.stop();
        ouverteSur = d->currentFont().family();
        // The size box is the line that takes numbers only.
        QLineEdit* taille = nullptr;
        for (QLineEdit* e : d->findChildren<QLineEdit*>())
            if (!e->isReadOnly() && e->validator())
                taille = e;
        if (!taille)
            return d->reject();
        d->activateWindow();
        taille->setFocus();
        QWidget* cible = QApplication::focusWidget() ? QApplication::focusWidget() : taille;
        QTest::keyClick(cible, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(cible, QStringLiteral("14"));
        QTest::keyClick(cible, Qt::Key_Return);
        repondu = true;
    });
    minuterie.start();
    EXPECT_TRUE(InterlocuteurQt().ChoixPolice(police));
    ASSERT_TRUE(repondu);
    EXPECT_EQ(ouverteSur, dessinee);
    EXPECT_EQ(police.Nom, "Times New Roman");
    EXPECT_EQ(police.Taille(), 14);
}
