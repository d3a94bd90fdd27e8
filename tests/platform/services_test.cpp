// Text crossing, folders and file lookup of the platform layer.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "platform/texte.h"

using namespace karst;

TEST(Texte, Cp1252DansLesDeuxSens)
{
    const std::string octets = "Grotte \xE9t\xE9 \xB0 \x80 \x9C \x8C \x81";
    const QString q = DepuisCp1252(octets);
    EXPECT_EQ(q, QStringLiteral("Grotte été ° € œ Œ \u0081"));
    EXPECT_EQ(VersCp1252(q), octets);
    EXPECT_EQ(VersCp1252(QStringLiteral("a\u4E2Db")), "a?b");
    // One '?' per character seen, whatever draws it; a letter and its combining accent are the
    // code page's letter.
    const QString vus = QStringLiteral("P\u0142 🙂 👍🏽 🇫🇷🇧🇪 👨‍👩‍👧 x\u0304 e\u0301");
    EXPECT_EQ(VersCp1252(vus), "P? ? ? ?? ? ? \xE9");
    EXPECT_EQ(CaracteresPerdus(vus + vus), QStringLiteral("\u0142 🙂 👍🏽 🇫🇷 🇧🇪 👨‍👩‍👧 x\u0304"));
    std::string tous;
    for (int i = 0; i < 256; ++i)
        tous.push_back(static_cast<char>(i));
    EXPECT_EQ(VersCp1252(DepuisCp1252(tous)), tous);
}

TEST(Services, DossierUtilisateurSousXdg)
{
    QTemporaryDir dir;
    const char* avant = std::getenv("XDG_CONFIG_HOME");
    const std::string garde = avant ? avant : "";
    setenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData(), 1);
    const std::string rep = RepertoireUtilisateur();
    EXPECT_EQ(rep, dir.path().toStdString() + "/Karstomat/");
    EXPECT_TRUE(std::filesystem::is_directory(rep));
    if (avant)
        setenv("XDG_CONFIG_HOME", garde.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(Services, FichierTrouveSansEgardALaCasse)
{
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    std::ofstream(d + "/options.pla") << "x";
    EXPECT_EQ(TrouveFichier(d + "/OPTIONS.PLA"), d + "/options.pla");
    EXPECT_EQ(TrouveFichier(d + "/options.pla"), d + "/options.pla");
    EXPECT_EQ(TrouveFichier(d + "/OPTIONS.PER"), "");
    EXPECT_EQ(TrouveFichier(d + "/absent/OPTIONS.PLA"), "");
}

TEST(Services, VersionCompilee) { EXPECT_EQ(TexteVersion(), QStringLiteral("2.2.0.1")); }

TEST(Interlocuteur, FiltresEtExtensions)
{
    const QString f = QStringLiteral("(dossier fiche) *.fic|*.fic|(massif texte) *.mas|*.mas|Tous|*.fic;*.mas");
    // A description holding its patterns is shown as it stands; the others get them.
    EXPECT_EQ(FiltresQt(f),
              (QStringList{QStringLiteral("(dossier fiche) *.fic"), QStringLiteral("(massif texte) *.mas"),
                           QStringLiteral("Tous (*.fic *.mas)")}));
    EXPECT_EQ(FiltresQt(QStringLiteral("Monde virtuel (*.wrl)|*.wrl|Modèle plan(*.pla)|*.pla|Tous|*.sai;*.pla|"
                                       "Image (*.jpg)|*.gif")),
              (QStringList{QStringLiteral("Monde virtuel (*.wrl)"), QStringLiteral("Modèle plan(*.pla)"),
                           QStringLiteral("Tous (*.sai *.pla)"), QStringLiteral("Image (*.jpg) (*.gif)")}));
    EXPECT_EQ(ExtensionFiltre(f, 2), QStringLiteral("mas"));
    EXPECT_EQ(ExtensionFiltre(f, 3), QString());
    EXPECT_EQ(ExtensionFiltre(f, 4), QString());

    InterlocuteurScripte s;
    InterlocuteurInstalle i(s);
    s.fichiers = {QStringLiteral("/tmp/grotte"), std::nullopt};
    DialogueFichier d{QString(), f, QStringLiteral("fic"), QString(), 1, {}};
    EXPECT_TRUE(Invite().Enregistrer(d));
    EXPECT_EQ(d.nom, QStringLiteral("/tmp/grotte.fic"));
    // The entry chosen gives the extension; a folder removed since is no place to start.
    s.fichiers.push_front(QStringLiteral("/tmp/grotte"));
    s.indexFiltres = {2};
    EXPECT_TRUE(Invite().Enregistrer(d));
    EXPECT_EQ(d.nom, QStringLiteral("/tmp/grotte.mas"));
    RetiensDossier(QStringLiteral("essai"), QStringLiteral("/parti/grotte.fic"));
    EXPECT_EQ(DossierDialogue(QStringLiteral("essai"), QStringLiteral("/home")), QStringLiteral("/home"));
    EXPECT_FALSE(Invite().Ouvrir(d));
    EXPECT_EQ(Invite().Message(QStringLiteral("?"), Icone::Confirmation, {Bouton::Oui, Bouton::Non}), Bouton::Oui);
}
