// The default extension and the proposed name of the open and save dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/interlocuteur.h"

using namespace karst;

TEST(ExtensionParDefaut, UnSeulPointQuelleQueSoitSaForme)
{
    // As a command lists it ("*.plt"), with its dot or bare: the name gets ".plt" once; a
    // name that has an extension keeps it.
    const std::vector<std::pair<QString, QString>> cas = {
        {QStringLiteral("*.plt"), QStringLiteral("/d/grotte.plt")},
        {QStringLiteral(".plt"), QStringLiteral("/d/grotte.plt")},
        {QStringLiteral("plt"), QStringLiteral("/d/grotte.plt")},
        {QString(), QStringLiteral("/d/grotte")},
        {QStringLiteral("*"), QStringLiteral("/d/grotte")},
    };
    for (const auto& [extension, attendu] : cas) {
        InterlocuteurScripte invite;
        invite.fichiers = {QStringLiteral("/d/grotte"), QStringLiteral("/d/grotte.txt")};
        DialogueFichier d{QString(), QStringLiteral("Fichier HPGL (*.plt)|*.plt"), extension, QString(), 1, {}};
        ASSERT_TRUE(invite.Enregistrer(d));
        EXPECT_EQ(d.nom.toStdString(), attendu.toStdString()) << extension.toStdString();
        ASSERT_TRUE(invite.Ouvrir(d));
        EXPECT_EQ(d.nom.toStdString(), "/d/grotte.txt");
    }
}

TEST(ExtensionParDefaut, UnMotifProposeNestPasUnNomDeFichier)
{
    static int argc = 1;
    static char nom[] = "platform_tests";
    static char* argv[] = {nom, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    // The SVG export proposes "*.svg": Enter on the untouched name box writes nothing; a
    // typed name then gets the extension.
    QTemporaryDir dossier;
    const QString tape = dossier.path() + QStringLiteral("/plan");
    QStringList vus;
    int etape = 0;
    QTimer pilote;
    pilote.setInterval(20);
    QObject::connect(&pilote, &QTimer::timeout, [&] {
        auto* dialogue = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* champ = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!dialogue || !dialogue->isVisible() || !champ || champ->window() != dialogue)
            return;
        if (etape == 0) {
            vus << QStringLiteral("[") + champ->text() + QStringLiteral("]");
            QTest::keyClick(champ, Qt::Key_Return);
        } else if (etape == 3) {
            vus << QStringLiteral("toujours ouvert");
        }
        // On a loaded machine a Return may go unheard: the name is typed again a few times,
        // then the dialog is closed so that the test fails rather than hangs.
        if (etape >= 3 && (etape - 3) % 50 == 0) {
            if (etape > 3 + 50 * 5) {
                dialogue->reject();
            } else {
                champ->selectAll();
                QTest::keyClicks(champ, tape);
                QTest::keyClick(champ, Qt::Key_Return);
            }
        }
        ++etape;
    });
    pilote.start();
    InterlocuteurQt qt;
    DialogueFichier d{QString(), QStringLiteral("Scalable Vector Graphic (*.svg)|*.svg"), QStringLiteral("svg"),
                      QStringLiteral("*.svg"), 1, {}};
    ASSERT_TRUE(qt.Enregistrer(d));
    EXPECT_EQ(vus.join(QStringLiteral(" ")).toStdString(), "[] toujours ouvert");
    EXPECT_EQ(d.nom.toStdString(), (tape + QStringLiteral(".svg")).toStdString());
}
