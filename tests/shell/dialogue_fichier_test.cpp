// The save dialogs of the program through the Qt file dialog itself, filled in from the
// keyboard as a user does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "application_test.h"
#include "calcul/drapeaux.h"
#include "shell/form1.h"

using namespace karst;

namespace {

// Answers the modal windows as they open: the file dialog gets a name typed into its
// focused field and Return, a message box Return. Keeps what it saw.
class Pilote {
public:
    explicit Pilote(const QString& nom) : nom_(nom)
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Repond(); });
        timer_.start();
    }
    QStringList vus;
    void Nomme(const QString& nom) { nom_ = nom, vus.clear(); }

private:
    void Repond()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        const bool encore = w == dernier_;
        if (encore) {
            // Still open: on a loaded machine a Return may go unheard. Answer again a few
            // times, then close the window so that the test fails rather than hangs.
            if (++attente_ % 50 != 0)
                return;
            if (attente_ > 50 * 5) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
                return;
            }
        } else {
            attente_ = 0;
        }
        QWidget* champ = QApplication::focusWidget();
        if (!champ || champ->window() != w)
            return;
        if (auto* ligne = qobject_cast<QLineEdit*>(champ); qobject_cast<QFileDialog*>(w)) {
            if (!ligne)
                return;
            if (!encore)
                vus << QStringLiteral("dialogue de fichier");
            dernier_ = w;
            ligne->selectAll();
            QTest::keyClicks(champ, nom_);
            QTest::keyClick(champ, Qt::Key_Return);
        } else if (auto* b = qobject_cast<QMessageBox*>(w)) {
            if (!encore)
                vus << b->text();
            dernier_ = w;
            QTest::keyClick(champ, Qt::Key_Return);
        }
    }

    QString nom_;
    QTimer timer_;
    QPointer<QWidget> dernier_;
    int attente_ = 0;
};

TEST(DialogueFichier, ExportHPGLDonneLExtensionAuNomTape)
{
    App();
    CalculEnCours = false;
    ArretCalcul = false;
    QTemporaryDir utilisateur, programme, sortie;
    TForm1 f(utilisateur.path().toStdString() + "/", programme.path().toStdString() + "/");
    f.Timer2->stop();
    // A plot file holds the survey's stations: an empty massif has none to export.
    ASSERT_TRUE(f.OuvreMassif(std::string(KARST_EXAMPLES) + "/pierrefeu.fic"));
    f.Depart_Calcul_Rapide->stop();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.activateWindow();
    QApplication::setActiveWindow(&f);

    Pilote pilote(sortie.path() + QStringLiteral("/grotte"));
    // Données > Exporter > HPGL ..., from the keyboard.
    QTest::keyClick(&f, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);
    ASSERT_TRUE(QTest::qWaitFor([] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return m && m->objectName() == QStringLiteral("Exporter1");
    }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_H);
    (void)QTest::qWaitFor([&] { return pilote.vus.size() >= 2; }, 2000);

    EXPECT_EQ(pilote.vus.join(QStringLiteral(" | ")).toStdString(), "dialogue de fichier | Exportation terminée");
    EXPECT_EQ(QDir(sortie.path()).entryList(QDir::Files).join(QStringLiteral(" | ")).toStdString(), "grotte.plt");

    // « Ouvrir » given a folder named like a massif says so.
    ASSERT_TRUE(QDir(sortie.path()).mkdir(QStringLiteral("grotte.fic")));
    pilote.Nomme(sortie.path() + QStringLiteral("/grotte.fic"));
    QApplication::setActiveWindow(&f);
    QTest::keyClick(&f, Qt::Key_M, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_O);
    (void)QTest::qWaitFor([&] { return pilote.vus.size() >= 2; }, 2000);
    EXPECT_EQ(pilote.vus.value(1),
              sortie.path() + QStringLiteral("/grotte.fic est un dossier, et non un fichier de massif."));
}

}  // namespace
