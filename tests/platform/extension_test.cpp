// The default extension of the open and save dialogs.

#include <gtest/gtest.h>

#include "platform/interlocuteur.h"

using namespace karst;

TEST(ExtensionParDefaut, UnSeulPointQuelleQueSoitSaForme)
{
    // As a command lists it ("*.plt"), with its dot or bare: the name gets ".plt" once; a
    // name that has an extension keeps it.
    const std::vector<std::pair<QString, QString>> cas = {
        {QStringLiteral("*.plt"), QStringLiteral("/d/grotte.plt")}, {QStringLiteral(".plt"), QStringLiteral("/d/grotte.plt")},
        {QStringLiteral("plt"), QStringLiteral("/d/grotte.plt")},   {QString(), QStringLiteral("/d/grotte")},
        {QStringLiteral("*"), QStringLiteral("/d/grotte")},
    };
    for (const auto& [extension, attendu] : cas) {
        InterlocuteurScripte invite;
        invite.fichiers = {QStringLiteral("/d/grotte"), QStringLiteral("/d/grotte.txt")};
        DialogueFichier d{QString(), QStringLiteral("Fichier HPGL (*.plt)|*.plt"), extension, QString(), 1};
        ASSERT_TRUE(invite.Enregistrer(d));
        EXPECT_EQ(d.nom.toStdString(), attendu.toStdString()) << extension.toStdString();
        ASSERT_TRUE(invite.Ouvrir(d));
        EXPECT_EQ(d.nom.toStdString(), "/d/grotte.txt");
    }
}
