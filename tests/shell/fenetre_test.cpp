// The main window: settings file, model files at start and close, document commands,
// recent files, caption and menu states.

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "boite_reelle.h"
#include "dialogs/exploreur.h"
#include "fenetre_essai.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "shell/animation.h"
#include "shell/apropos.h"
#include "shell/form1.h"
#include "shell/hote_form1.h"
#include "shell/icones.h"
#include "survey/aide_fichiers.h"

using namespace karst;
using essai::Contenu;
using essai::Ecrit;
namespace fs = std::filesystem;

namespace {

class Fenetre : public FenetreEssai {};

// A shown main window whose "Enregistrer" the user clicks, and folders to save in.
class Enregistrement : public Fenetre {
protected:
    void SetUp() override
    {
        Fenetre::SetUp();
        f = Cree();
        f->show();
        bouton = f->ToolBar1->widgetForAction(f->BoutonEnregistrer);
        ASSERT_NE(bouton, nullptr);
        for (const char* dossier : {"reels", "liens", "partage"})
            fs::create_directories(Chemin(dossier));
    }
    // The user changes the massif and clicks "Enregistrer".
    void enregistre(long double angle)
    {
        f->Massif->Angle_Geodesique = angle;
        f->Massif->Enregistre = false;
        QTest::mouseClick(bouton, Qt::LeftButton);
    }
    static long double angleLu(const std::string& nom)
    {
        TMassif m;
        m.NomFichier = nom;
        EXPECT_EQ(m.Charge().etat, EtatChargement::Charge);
        return static_cast<long double>(m.Angle_Geodesique);
    }
    std::unique_ptr<TForm1> f;
    QWidget* bouton = nullptr;
};

const std::string kTailleMax = "le fichier dépasserait la taille maximale permise";

// Scripted files, and the real question boxes on the screen.
struct BoiteReelle : InterlocuteurScripte {
    Bouton Question(const QString& t, Icone i, const std::vector<Bouton>& b, Bouton d) override
    {
        return InterlocuteurQt().Question(t, i, b, d);
    }
};

// A click on a menu of the menu bar, then on one of its items.
void ClicMenu(TForm1& f, QMenu* menu, QAction* item)
{
    QMenuBar* barre = f.menuBar();
    QTest::mouseClick(barre, Qt::LeftButton, {}, barre->actionGeometry(menu->menuAction()).center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

const fs::perms kLectureSeule = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

}  // namespace

TEST_F(Fenetre, DossierVideDeuxMassifsPuisQuitter)
{
    const std::string a = Massif("a.fic"), b = Massif("b.fic");
    {
        auto f = Cree();
        EXPECT_FALSE(fs::exists(utilisateur() + "Karstomat.ini"));
        ASSERT_TRUE(f->OuvreMassif(a));
        f->Fermer1Click();
        ASSERT_TRUE(f->OuvreMassif(b));
        f->Fermer1Click();
        invite.reponses = {Bouton::Oui};
        EXPECT_TRUE(f->close());
        EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Quitter Karstomat ?")});
    }
    EXPECT_EQ(Contenu(utilisateur() + "Karstomat.ini"),
              "[Karstomat]\r\n\r\nGeneral = OUI\r\nExplorateur = OUI\r\nVues = OUI\r\nTexte = OUI\r\nEtat = OUI\r\n"
              "Web = OUI\r\nClassement = Grandes\r\nAutomatique = OUI\r\nFichier2 = " +
                  a + "\r\nFichier3 = " + b +
                  "\r\nOutils_3D_X = 0\r\nOutils_3D_Y = 0\r\nArreter_X = 0\r\nArreter_Y = 0\r\n");
    const std::string golden = std::string(KARST_TEST_DATA) + "/modeles/defaut.";
    for (const char* e : {"PLA", "PER", "COU", "TABL", "MAR", "SAI"}) {
        std::string min = e;
        for (char& c : min)
            c = static_cast<char>(std::tolower(c));
        EXPECT_EQ(Contenu(utilisateur() + "OPTIONS." + e), Contenu(golden + min)) << e;
    }

    // The next start reads them back: the recent files come back in the same order.
    auto f = Cree();
    EXPECT_EQ(f->FichiersRecents[0], b);
    EXPECT_EQ(f->FichiersRecents[1], a);
    EXPECT_TRUE(f->FichiersRecents[2].empty());
}

TEST_F(Fenetre, QuitterNonLaisseToutOuvert)
{
    auto f = Cree();
    ASSERT_TRUE(f->OuvreMassif(Massif("c.fic")));
    invite.reponses = {Bouton::Non};
    EXPECT_FALSE(f->close());
    EXPECT_NE(f->Massif, nullptr);
    EXPECT_FALSE(fs::exists(utilisateur() + "Karstomat.ini"));

    // A settings folder that takes no file: one box lists the seven files.
    invite.messages.clear();
    invite.reponses = {Bouton::Oui};
    {
        essai::DossierFerme ferme(utilisateur());
        EXPECT_TRUE(f->close());
    }
    ASSERT_EQ(invite.messages.size(), 2u);
    const QStringList lignes = invite.messages[1].texte.split(QLatin1Char('\r'));
    ASSERT_EQ(lignes.size(), 8);
    EXPECT_EQ(lignes[0], QStringLiteral("Ces fichiers de paramètres n'ont pas pu être enregistrés :"));
    EXPECT_EQ(lignes[7], QString::fromStdString("Impossible d'enregistrer le fichier " + utilisateur() +
                                                "OPTIONS.COU : les droits d'écriture manquent dans son dossier."));
    EXPECT_EQ(invite.messages[1].icone, Icone::Erreur);
    // A read-only settings file: no other name can be chosen for it, so no such advice.
    const std::string ini = utilisateur() + "Karstomat.ini";
    Ecrit(ini, "");
    fs::permissions(ini, kLectureSeule);
    invite.reponses = {Bouton::Oui};
    EXPECT_TRUE(Cree()->close());
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_TRUE(invite.Textes().back().endsWith(
        QString::fromStdString("\rLe fichier " + ini + " est en lecture seule : il n'a pas été modifié.")));
}

TEST_F(Fenetre, ModelesDuDossierDuProgramme)
{
    TOptions_Plan p;
    p.Long_Nord = 33;
    p.Sauve(programme() + "options.pla");
    TMarge m;
    m.Haut = 17;
    m.Sauve(programme() + "OPTIONS.MAR");
    m.Haut = 18;
    m.Sauve(utilisateur() + "OPTIONS.MAR");
    auto f = Cree();
    EXPECT_EQ(f->OptionsPlan.Long_Nord, 33);
    EXPECT_EQ(f->Marge.Haut, 18);

    // Random bytes in the six files: one message naming each, the defaults used, and the
    // defaults, not the damage, written back at quit, the damage kept beside.
    std::mt19937 hasard(7);
    QStringList attendus;
    const char* const extensions[] = {"MAR", "SAI", "TABL", "PLA", "PER", "COU"};
    for (const char* e : extensions) {
        std::string o(300, '\0');
        for (char& c : o)
            c = static_cast<char>(hasard());
        Ecrit(utilisateur() + "OPTIONS." + e, o);
        attendus << QString::fromStdString("Le fichier " + utilisateur() + "OPTIONS." + e +
                                           " est endommagé ou tronqué.\rLes réglages par défaut sont utilisés.\rIl "
                                           "sera gardé sous le nom « OPTIONS." +
                                           e + ".endommagé » à la fermeture de Karstomat.");
    }
    invite.messages.clear();
    auto g = Cree();
    EXPECT_EQ(invite.Textes(), attendus);
    EXPECT_EQ(g->PreferenceSaisie.NbColonnes, 14);
    // « Enregistrer modèle » over one of them keeps it first.
    invite.fichiers = {QString::fromStdString(utilisateur() + "OPTIONS.PLA")};
    invite.reponses = {Bouton::Oui};
    g->show();
    ClicMenu(*g, g->Format1, g->Enregistrermodle1);
    EXPECT_EQ(Contenu(utilisateur() + "OPTIONS.PLA.endommagé").size(), 300u);
    invite.reponses = {Bouton::Oui};
    EXPECT_TRUE(g->close());
    for (const char* e : extensions) {
        std::string min = e;
        for (char& c : min)
            c = static_cast<char>(std::tolower(c));
        EXPECT_EQ(Contenu(utilisateur() + "OPTIONS." + e),
                  Contenu(std::string(KARST_TEST_DATA) + "/modeles/defaut." + min))
            << e;
        EXPECT_EQ(Contenu(utilisateur() + "OPTIONS." + e + ".endommagé").size(), 300u) << e;
    }
}

TEST_F(Fenetre, FichiersRecents)
{
    auto f = Cree();
    const std::string p = Massif("p.fic"), q = Massif("q.fic"), r = Massif("r.fic");
    for (const std::string& n : {p, q, r}) {
        f->OuvreMassif(n);
        f->FermeMassif();
    }
    EXPECT_EQ(f->FichiersRecents, (std::array<std::string, 3>{r, q, p}));
    f->OuvreMassif(p);
    f->FermeMassif();
    EXPECT_EQ(f->FichiersRecents, (std::array<std::string, 3>{p, r, q}));
    EXPECT_EQ(Action(*f, "N110")->text(), QStringLiteral("&1 p.fic"));
    EXPECT_EQ(Action(*f, "N210")->text(), QStringLiteral("&2 r.fic"));
    EXPECT_EQ(Action(*f, "N31")->text(), QStringLiteral("&3 q.fic"));
    f->OuvreMassif(r);
    f->FermeMassif();
    EXPECT_EQ(f->FichiersRecents, (std::array<std::string, 3>{r, p, q}));
    // An entry whose file is gone says so and leaves the list; a folder is refused.
    fs::remove(p);
    f->OuvreRecent(1);
    EXPECT_EQ(f->FichiersRecents, (std::array<std::string, 3>{r, q, ""}));
    EXPECT_FALSE(Action(*f, "N31")->isVisible());
    fs::remove(q);
    fs::create_directory(q);
    f->OuvreRecent(1);
    EXPECT_EQ(f->Massif, nullptr);
    EXPECT_EQ(invite.Textes(),
              (QStringList{QString::fromStdString("Le fichier " + p +
                                                  " est introuvable.\rIl est retiré de la liste des fichiers récents."),
                           QString::fromStdString(q + " est un dossier, et non un fichier de massif.")}));

    // A massif that is not on disk is not remembered; the items of empty entries are hidden.
    auto g = Cree();
    EXPECT_FALSE(Action(*g, "N110")->isVisible());
    g->OuvreMassif(dirM.path().toStdString() + "/absent.fic");
    g->FermeMassif();
    EXPECT_TRUE(g->FichiersRecents[0].empty());
    g->OuvreRecent(0);
    EXPECT_EQ(g->Massif, nullptr);

    // A pipe is refused like a folder (reading it would wait for ever); a name with a line
    // break stays out of the list, which the settings file keeps one name a line.
    const std::string tube = Chemin("tube.fic");
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    EXPECT_FALSE(g->OuvreMassif(tube));
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(),
              QString::fromStdString(tube + " est un tube ou un périphérique, et non un fichier de massif."));
    // So is a link loop, which would open as a new massif that its save puts in a link's place.
    const std::string boucle = Chemin("boucle.fic");
    fs::create_symlink("boucle.fic", boucle);
    EXPECT_FALSE(g->OuvreMassif(boucle));
    EXPECT_EQ(invite.Textes().back(),
              QString::fromStdString(boucle + " est un lien symbolique qui boucle sur lui-même, "
                                              "et non un fichier de massif."));
    ASSERT_TRUE(g->OuvreMassif(Massif("deux\nlignes.fic")));
    g->FermeMassif();
    EXPECT_TRUE(g->FichiersRecents[0].empty());
}

TEST_F(Fenetre, TitreEtSauvegardeBak)
{
    auto f = Cree();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Karstomat"));
    const std::string cave = Massif("cave.fic");
    const std::string avant = Contenu(cave);
    ASSERT_TRUE(f->OuvreMassif(cave));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("cave.fic - Karstomat"));
    EXPECT_FALSE(f->SansDocument);
    Ecrit(Chemin("cave.BAK"), "ancienne");
    f->Massif->Origine_Declinaison = 2.5L;
    f->Massif->Enregistre = false;
    ASSERT_TRUE(f->Enregistrer1Click());
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_EQ(Contenu(Chemin("cave.BAK")), avant);
    EXPECT_NE(Contenu(cave), avant);
    f->FermeMassif();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Karstomat"));
    EXPECT_TRUE(f->SansDocument);

    // A name of 250 bytes, near the longest a folder takes, saves and backs up beside itself.
    const std::string longue = Massif(std::string(246, 'n') + ".fic");
    const std::string avantLongue = Contenu(longue);
    ASSERT_TRUE(f->OuvreMassif(longue));
    f->Massif->Origine_Declinaison = 3.5L;
    f->Massif->Enregistre = false;
    QTest::mouseClick(f->ToolBar1->widgetForAction(f->BoutonEnregistrer), Qt::LeftButton);
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_TRUE(invite.messages.empty());
    EXPECT_EQ(Contenu(Chemin(std::string(246, 'n') + ".BAK")), avantLongue);
    EXPECT_EQ(std::distance(fs::directory_iterator(dirM.path().toStdString()), {}), 4);

    f->OuvreMassif({});
    EXPECT_EQ(f->windowTitle(), QStringLiteral("SansNom - Karstomat"));
}

TEST_F(Fenetre, MassifInenregistrableLaisseFichierEtCopie)
{
    // A reference point that the massif readers would refuse: "Enregistrer" says where it
    // is and leaves both the file and its backup as they were.
    auto f = Cree();
    f->show();
    const std::string cave = Massif("cave.fic");
    const std::string avant = Contenu(cave);
    Ecrit(Chemin("cave.BAK"), "ancienne");
    ASSERT_TRUE(f->OuvreMassif(cave));
    auto r = std::make_unique<TPointTopo>();
    r->Nom.Affecte("R");
    r->X = 1e37L;
    f->Massif->AjouteReference(std::move(r));
    f->Massif->Enregistre = false;
    auto* bouton = f->ToolBar1->widgetForAction(f->BoutonEnregistrer);
    ASSERT_NE(bouton, nullptr);
    QTest::mouseClick(bouton, Qt::LeftButton);
    EXPECT_EQ(invite.Textes(),
              QStringList{QStringLiteral("Le massif ne peut pas être enregistré : point de référence 1 "
                                         "(R) : la coordonnée X 1E37 dépasse les valeurs admises.")});
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_EQ(Contenu(cave), avant);
    EXPECT_EQ(Contenu(Chemin("cave.BAK")), "ancienne");

    // A read-only massif (by its mode: the tests run as root): Ctrl+S says so and keeps both.
    fs::permissions(cave, kLectureSeule);
    ASSERT_TRUE(f->OuvreMassif(cave));
    f->Massif->Enregistre = false;
    invite.messages.clear();
    QApplication::setActiveWindow(f.get());
    QTest::keyClick(f.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(invite.Textes(),
              QStringList{QString::fromStdString(
                  "Le fichier " + cave +
                  " est en lecture seule : «\u00A0Enregistrer sous\u00A0» permet d'enregistrer le massif "
                  "sous un autre nom. Le massif n'a pas été enregistré.")});
    EXPECT_EQ(Contenu(cave), avant);
    EXPECT_EQ(Contenu(Chemin("cave.BAK")), "ancienne");
}

TEST_F(Enregistrement, ParUnLienLaCibleEtSaCopieASesCotes)
{
    // The link stays, its target is saved and backed up beside itself.
    const std::string reel = Massif("reels/cave.fic"), lien = Chemin("liens/cave.fic"), avant = Contenu(reel);
    fs::create_symlink("../reels/cave.fic", lien);
    ASSERT_TRUE(f->OuvreMassif(lien));
    enregistre(2.5L);
    EXPECT_TRUE(invite.messages.empty());
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_TRUE(fs::is_symlink(lien));
    EXPECT_EQ(angleLu(reel), 2.5L);
    EXPECT_EQ(Contenu(Chemin("reels/cave.BAK")), avant);
    EXPECT_EQ(std::distance(fs::directory_iterator(Chemin("liens")), {}), 1);
}

TEST_F(Enregistrement, FichierModifieParUnAutreProgrammeDemandeAvant)
{
    const std::string reel = Massif("reels/cave.fic");
    ASSERT_TRUE(f->OuvreMassif(reel));
    // Another copy of the program saves the same massif: the next save asks first, and
    // Enter (Annuler) keeps the other's work.
    TMassif autre;
    autre.Angle_Geodesique = 7.0L;
    autre.Sauve(reel);
    const QString question = QStringLiteral(
        "Le fichier cave.fic a été modifié depuis son ouverture ou son dernier enregistrement, peut-être par un autre "
        "programme.\rLe remplacer par ce massif ?");
    enregistre(2.5L);
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].boutons, (std::vector<Bouton>{Bouton::Annuler, Bouton::Oui}));
    EXPECT_EQ(angleLu(reel), 7.0L);
    invite.reponses = {Bouton::Oui};
    enregistre(2.5L);
    EXPECT_EQ(invite.Textes(), (QStringList{question, question}));
    EXPECT_EQ(angleLu(reel), 2.5L);
    invite.messages.clear();
    // cp -p of a massif of the same size over it: same file, size and time, asked all the same.
    const auto temps = fs::last_write_time(reel);
    autre.Sauve(Chemin("copie.fic"));
    ASSERT_EQ(Contenu(Chemin("copie.fic")).size(), Contenu(reel).size());
    Ecrit(reel, Contenu(Chemin("copie.fic")));
    fs::last_write_time(reel, temps);
    enregistre(2.5L);
    EXPECT_EQ(invite.Textes(), QStringList{question});
    EXPECT_EQ(angleLu(reel), 7.0L);
    invite.reponses = {Bouton::Oui};
    enregistre(2.5L);
    // New rights move the inode's time alone: no question; read-only, the true refusal at once.
    invite.messages.clear();
    for (const fs::perms droits : {fs::perms::owner_all, kLectureSeule}) {
        QTest::qWait(20);
        fs::permissions(reel, droits);
        enregistre(3.5L);
    }
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_TRUE(invite.messages[0].texte.startsWith(QString::fromStdString("Le fichier " + reel + " est en lecture ")));
    EXPECT_EQ(angleLu(reel), 3.5L);
    // Rights that take reading away too, met by the superuser as another user.
    QTest::qWait(20);
    fs::permissions(reel, fs::perms::none);
    fs::permissions(dirM.path().toStdString(), fs::perms::others_exec, fs::perm_options::add);
    const int uid = ::setfsuid(65534), gid = ::setfsgid(65534);
    enregistre(4.5L);
    ::setfsgid(static_cast<gid_t>(gid)), ::setfsuid(static_cast<uid_t>(uid));
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes(), QStringList(2, invite.Textes().front()));
}

TEST_F(Enregistrement, CopieDeSauvegardeDansLeDossierDesReglages)
{
    // The backups the settings folder holds for a massif's base name.
    auto ailleurs = [&](const std::string& base) {
        std::vector<std::string> r;
        for (const auto& e : fs::directory_iterator(utilisateur()))
            if (const std::string n = e.path().filename().string();
                n.size() == base.size() + 13 && n.starts_with(base + "-") && n.ends_with(".BAK"))
                r.push_back(e.path().string());
        return r;
    };
    // A writable file in a folder that takes no new file: saved in place, with its backup
    // in the settings folder under a name of its own, which a warning gives with the reason.
    const std::string commun = Massif("partage/commun.fic");
    const std::string ancien = Contenu(commun);
    ASSERT_TRUE(f->OuvreMassif(commun));
    {
        essai::DossierFerme ferme(Chemin("partage"));
        enregistre(3.5L);
    }
    ASSERT_EQ(ailleurs("commun").size(), 1u);
    const std::string bak = ailleurs("commun")[0];
    EXPECT_EQ(invite.Textes(),
              QStringList{QString::fromStdString(
                  "La copie de sauvegarde n'a pu être faite dans le dossier de " + commun +
                  " (les droits d'écriture manquent) : le contenu précédent du fichier est dans " + bak + ".")});
    invite.messages.clear();
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_EQ(angleLu(commun), 3.5L);
    EXPECT_EQ(Contenu(bak), ancien);
    EXPECT_EQ(std::distance(fs::directory_iterator(Chemin("partage")), {}), 1);

    // Another "commun.fic" on a full disk: its backup takes no other's place, and the
    // refusal says where it went.
    const std::string plein = Massif("reels/commun.fic");
    ASSERT_TRUE(f->OuvreMassif(plein));
    {
        essai::DossierFerme ferme(Chemin("reels"), ENOSPC);
        enregistre(6.5L);
    }
    ASSERT_EQ(ailleurs("commun").size(), 2u);
    const std::string bakPlein = ailleurs("commun")[ailleurs("commun")[0] == bak ? 1 : 0];
    EXPECT_EQ(invite.Textes(),
              QStringList{QString::fromStdString("La copie de sauvegarde n'a pu être faite dans le dossier de " +
                                                 plein + " (le disque est plein) : une copie du fichier est dans " +
                                                 bakPlein + ".\rImpossible d'enregistrer le fichier " + plein +
                                                 " : le disque est plein. Le massif n'a pas été enregistré.")});
    EXPECT_EQ(Contenu(bakPlein), Contenu(plein));
    EXPECT_EQ(Contenu(bak), ancien);
    invite.messages.clear();

    // A folder of the backup's name: the warning says why the backup went elsewhere.
    const std::string grotte = Chemin("reels/grotte.fic");
    TMassif().Sauve(grotte);
    fs::create_directory(Chemin("reels/grotte.BAK"));
    ASSERT_TRUE(f->OuvreMassif(grotte));
    enregistre(1.5L);
    ASSERT_EQ(ailleurs("grotte").size(), 1u);
    EXPECT_EQ(invite.Textes(), QStringList{QString::fromStdString(
                                   "La copie de sauvegarde n'a pu être faite dans le dossier de " + grotte +
                                   " (un dossier porte le nom grotte.BAK) : le contenu précédent du fichier est dans " +
                                   ailleurs("grotte")[0] + ".")});
    invite.messages.clear();
    // A read-only backup is kept: the warning says so, and quotes no refusal's advice.
    fs::remove(Chemin("reels/grotte.BAK"));
    Ecrit(Chemin("reels/grotte.BAK"), "gardée");
    fs::permissions(Chemin("reels/grotte.BAK"), kLectureSeule);
    enregistre(2.5L);
    EXPECT_TRUE(invite.Textes().join("|").contains(" (grotte.BAK est en lecture seule) : le contenu précédent"));
    invite.messages.clear();

    // The same file reached through a link, and a write that fails: the message names the
    // file the user opened and says what became of it.
    const std::string versCommun = Chemin("liens/commun.fic");
    fs::create_symlink(commun, versCommun);
    ASSERT_TRUE(f->OuvreMassif(versCommun));
    for (int i = 0; i < 20; ++i)
        f->Massif->AjouteFiche(std::make_unique<TFiche>(), false);
    {
        essai::DossierFerme ferme(Chemin("partage"));
        essai::TailleLimitee limite(Contenu(commun).size() + 10);
        enregistre(4.5L);
    }
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].icone, Icone::Erreur);
    EXPECT_EQ(invite.messages[0].texte,
              QString::fromStdString("Erreur d'écriture dans le fichier " + versCommun + " : " + kTailleMax +
                                     ".\rAucun fichier ne pouvant être créé dans son dossier, le massif a été écrit "
                                     "directement dans ce fichier, qui peut être incomplet. Son contenu précédent est "
                                     "dans " +
                                     bak + "."));
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_EQ(angleLu(bak), 3.5L);

    // No backup anywhere: nothing is written, and the message says so.
    invite.messages.clear();
    const std::string tel = Contenu(commun);
    fs::remove(bak);
    {
        essai::DossierFerme ferme(Chemin("partage"));
        essai::DossierFerme fermeAussi(utilisateur());
        enregistre(5.5L);
    }
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QString::fromStdString("La copie de sauvegarde de " + versCommun +
                                                               " n'a pu être faite ni dans son dossier (les "
                                                               "droits d'écriture manquent) ni dans " +
                                                               utilisateur() +
                                                               " (les droits d'écriture manquent) : le massif n'a "
                                                               "pas été enregistré."));
    EXPECT_EQ(Contenu(commun), tel);
    EXPECT_FALSE(f->Massif->Enregistre);
}

TEST_F(Fenetre, LimiteDeTailleDesFichiers)
{
    // The program as it sets itself up, in a process of its own, under a file-size limit:
    // "Enregistrer sous" over a massif fails like on a full disk, says so, and goes on.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* donne = std::getenv("KARST_ESSAI_LIMITE");
    const std::string x = donne ? donne : Massif("x.fic");
    setenv("KARST_ESSAI_LIMITE", x.c_str(), 1);
    const std::string avant = Contenu(x);
    auto programme = [&] {
        std::signal(SIGXFSZ, SIG_DFL);
        PrepareProcessus();
        const rlimit l{avant.size() + 10, avant.size() + 10};
        ::setrlimit(RLIMIT_FSIZE, &l);
        auto f = Cree();
        f->show();
        f->OuvreMassif(std::string(KARST_EXAMPLES) + "/pierrefeu.fic");
        invite.fichiers = {QString::fromStdString(x)};
        invite.reponses = {Bouton::Oui};
        ClicMenu(*f, f->Massif1, f->Enregistrersous1);
        const QStringList attendu{QStringLiteral("Le fichier x.fic existe déjà.\rEcrire par dessus?"),
                                  QString::fromStdString("Erreur d'écriture dans le fichier " + x + " : " + kTailleMax +
                                                         ". Le massif n'a pas été enregistré.")};
        const bool dit = invite.Textes() == attendu && f->Massif->NomFichier != x;
        f.reset();
        for (QTemporaryDir* d : {&dirU, &dirP, &dirM})
            d->remove();
        std::exit(dit ? 0 : 1);
    };
    EXPECT_EXIT(programme(), ::testing::ExitedWithCode(0), "");
    unsetenv("KARST_ESSAI_LIMITE");
    EXPECT_EQ(Contenu(x), avant);
    EXPECT_EQ(std::distance(fs::directory_iterator(dirM.path().toStdString()), {}), 1);
}

TEST_F(Fenetre, MassifNommeBakPasSauvegardeSurLuiMeme)
{
    auto f = Cree();
    const std::string bak = Massif("vieux.BAK");
    ASSERT_TRUE(f->OuvreMassif(bak));
    f->Massif->Angle_Geodesique = 1.0L;
    ASSERT_TRUE(f->Enregistrer1Click());
    TMassif relu;
    relu.NomFichier = bak;
    ASSERT_EQ(relu.Charge().etat, EtatChargement::Charge);
    EXPECT_EQ(static_cast<long double>(relu.Angle_Geodesique), 1.0L);
}

TEST_F(Fenetre, EnregistrementAnnuleNeMarquePasEnregistre)
{
    auto f = Cree();
    f->OuvreMassif({});
    f->Massif->Enregistre = false;
    // "Oui" to the prompt, then the save-as dialog is cancelled: the close stops.
    invite.reponses = {Bouton::Oui};
    invite.fichiers = {std::nullopt};
    f->Fermer1Click();
    ASSERT_NE(f->Massif, nullptr);
    EXPECT_FALSE(f->Massif->Enregistre);
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.front().texte, QStringLiteral("Désirez-vous enregistrer les changements dans SansNom ?"));
    EXPECT_EQ(invite.messages.front().boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::Non, Bouton::Annuler}));

    // Without Cancel (quitting), the question comes back until the answer is No.
    invite.messages.clear();
    invite.reponses = {Bouton::Oui, Bouton::Non};
    invite.fichiers = {std::nullopt};
    EXPECT_TRUE(f->DemandeEnregistrement(false));
    EXPECT_EQ(invite.messages.size(), 2u);

    // Save as over an existing file, answered No: nothing is written.
    const std::string x = Massif("x.fic");
    const std::string avant = Contenu(x);
    invite.messages.clear();
    invite.fichiers = {QString::fromStdString(x)};
    invite.reponses = {Bouton::Non};
    EXPECT_FALSE(f->Enregistrersous1Click());
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Le fichier x.fic existe déjà.\rEcrire par dessus?")});
    EXPECT_EQ(Contenu(x), avant);
    EXPECT_TRUE(f->Massif->NomFichier.empty());

    // Save as under a new name without extension: ".fic" is added and the caption follows.
    invite.fichiers = {QString::fromStdString(dirM.path().toStdString() + "/neuve")};
    EXPECT_TRUE(f->Enregistrersous1Click());
    EXPECT_TRUE(fs::exists(dirM.path().toStdString() + "/neuve.fic"));
    EXPECT_TRUE(f->Massif->Enregistre);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("neuve.fic - Karstomat"));

    // Over x.fic again, through the menu with the real box: Return, a reflex key, keeps the other massif.
    BoiteReelle boite;
    boite.fichiers = {QString::fromStdString(x)};
    Interlocuteur::Installe(&boite);
    f->show();
    const auto vue = ecran::RepondBoite(Qt::Key_Return);
    ClicMenu(*f, f->Massif1, f->Enregistrersous1);
    Interlocuteur::Installe(&invite);
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(Contenu(x), avant);
    EXPECT_FALSE(fs::exists(dirM.path().toStdString() + "/x.BAK"));
    EXPECT_EQ(f->Massif->NomFichier, dirM.path().toStdString() + "/neuve.fic");

    // A new massif starts where the last one was saved; a name typed under "*.mas" is a text massif.
    f->OuvreMassif({});
    invite.fichiers = {QString::fromStdString(Chemin("texte"))};
    invite.indexFiltres = {2};
    ClicMenu(*f, f->Massif1, f->Enregistrersous1);
    EXPECT_EQ(f->Massif->NomFichier, Chemin("texte.mas"));
    ASSERT_FALSE(invite.dialoguesFichier.empty());
    EXPECT_EQ(invite.dialoguesFichier.back().dossier, dirM.path());
    EXPECT_TRUE(Contenu(Chemin("texte.mas")).starts_with("Version 1005\r\n"));
    // The explorer's root bears the name of a massif without sheets too.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Exploreur(*f)->Racine()->text(0) == QStringLiteral("texte"); }));
    // The explorer's root and page title follow the new name, in letters Windows-1252 lacks.
    ASSERT_TRUE(f->OuvreMassif(std::string(KARST_EXAMPLES) + "/pierrefeu.fic"));
    TExploreur* e = Exploreur(*f);
    ASSERT_NE(e, nullptr);
    auto titre = [&](const std::string& nom) {
        invite.fichiers = {QString::fromStdString(Chemin(nom + ".fic"))};
        ClicMenu(*f, f->Massif1, f->Enregistrersous1);
        // The tree is rebuilt, then the page drawn, each a little later.
        EXPECT_TRUE(QTest::qWaitFor([&] { return e->Racine()->text(0) == nom.c_str() && !e->Timer2->isActive(); }));
        return e->Zone_web->Bitmap().Image().copy(0, 0, e->Zone_web->width(), 100);
    };
    EXPECT_NE(titre("aven-?mega"), titre("aven-Ωmega"));
}

TEST_F(Fenetre, ChargementRateNeLaissePasDeDocument)
{
    auto f = Cree();
    const std::string bad = dirM.path().toStdString() + "/abime.fic";
    Ecrit(bad, std::string("\xED\x03", 2));
    EXPECT_FALSE(f->OuvreMassif(bad));
    EXPECT_EQ(f->Massif, nullptr);
    EXPECT_TRUE(f->SansDocument);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Karstomat"));
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].icone, Icone::Erreur);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    f->FermeMassif();
    EXPECT_TRUE(f->FichiersRecents[0].empty());
    // A terabyte (sparse) is refused by its first bytes, not read whole before: that would
    // outlast the test's time limit.
    for (const auto& [ext, debut, refus] :
         {std::tuple{".fic", "", " est endommagé ou tronqué."},
          {".mas", "", " est endommagé : ligne 1, elle dépasse les 1024 octets"},
          {"-vide.fic", "\xED\x03", " est endommagé : la fin du fichier n'est faite que d'octets nuls"}}) {
        const std::string enorme = dirM.path().toStdString() + "/enorme" + ext;
        Ecrit(enorme, debut);  // its first bytes; the hole reads as zeros
        fs::resize_file(enorme, uintmax_t(1) << 40);
        EXPECT_FALSE(f->OuvreMassif(enorme));
        ASSERT_FALSE(invite.Textes().isEmpty());
        EXPECT_TRUE(invite.Textes().back().startsWith(QString::fromStdString("Le fichier " + enorme + refus)))
            << invite.Textes().back().toStdString();
    }
}

TEST_F(Fenetre, FichiersDeposes)
{
    auto f = Cree();
    const std::string a = Massif("a.fic");
    f->DeposeFichiers({QStringLiteral("/x/a.fic"), QStringLiteral("/x/b.fic")});
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Un seul fichier à la fois")});
    f->DeposeFichiers({QStringLiteral("/x/notes.txt")});
    EXPECT_EQ(f->Massif, nullptr);
    EXPECT_EQ(invite.messages.size(), 1u);
    // A folder, a file that is gone: each is said, and the massif open stays.
    f->DeposeFichiers({QString::fromStdString(a)});
    ASSERT_NE(f->Massif, nullptr);
    EXPECT_EQ(f->Massif->NomFichier, a);
    fs::create_directory(Chemin("dossier.fic"));
    f->DeposeFichiers({QString::fromStdString(Chemin("dossier.fic"))});
    f->DeposeFichiers({QString::fromStdString(Chemin("parti.mas"))});
    EXPECT_EQ(f->Massif->NomFichier, a);
    EXPECT_EQ(
        invite.Textes().mid(1),
        (QStringList{QString::fromStdString(Chemin("dossier.fic") + " est un dossier, et non un fichier de massif."),
                     QString::fromStdString("Le fichier " + Chemin("parti.mas") + " est introuvable.")}));
}

TEST_F(Fenetre, LectureDuFichierDeParametres)
{
    Ecrit(utilisateur() + "Karstomat.ini",
          "[Karstomat]\r\n\r\nGeneral=OUI\r\nvues = NON\nEtat = NON\rClassement = Petites icones et liste\r\n"
          "Automatique = non\r\nsans egal\r\nFichier3 = /m/seul.fic\r\nOutils_3D_X = 12\r\nArreter_X = douze\r\n"
          "Arreter_Y = 7\r\n");
    auto f = Cree();
    EXPECT_FALSE(Action(*f, "Gnral1")->isChecked());  // value read from "OUI"[1..]
    EXPECT_FALSE(Action(*f, "Vues1")->isChecked());
    EXPECT_TRUE(Action(*f, "Explorateur2")->isChecked());
    EXPECT_FALSE(Action(*f, "Barredtat1")->isChecked());
    EXPECT_FALSE(Action(*f, "Automatique1")->isChecked());
    EXPECT_FALSE(Action(*f, "Etiquettestexte1")->isChecked());  // no Texte line
    EXPECT_TRUE(Action(*f, "Liste1")->isChecked());             // the last word found wins
    EXPECT_FALSE(Action(*f, "Grandesicnes1")->isChecked());
    EXPECT_TRUE(Action(*f, "Liste2")->isChecked());
    EXPECT_EQ(f->FichiersRecents, (std::array<std::string, 3>{"/m/seul.fic", "", ""}));
    EXPECT_EQ(f->Outils_3D_X, 12);
    EXPECT_EQ(f->Arreter_X, 0);
    EXPECT_EQ(f->Arreter_Y, 7);

    Ecrit(utilisateur() + "Karstomat.ini", "[Karstomat]\r\n\r\nTexte = OUI\r\nClassement = Petites\r\n");
    auto g = Cree();
    EXPECT_TRUE(Action(*g, "Etiquettestexte1")->isChecked());
    EXPECT_TRUE(Action(*g, "Petitesicnes1")->isChecked());
    EXPECT_EQ(g->ToolBar1->height(), 45);
    Ecrit(utilisateur() + "Karstomat.ini", "[Karstomat]\r\n\r\nTexte = NON\r\n");
    auto h = Cree();
    EXPECT_FALSE(Action(*h, "Etiquettestexte1")->isChecked());
    for (QToolBar* b : {h->ToolBar1, h->ToolBar3, h->ToolBar4})
        EXPECT_EQ(b->height(), 35);
    h->Etiquettestexte1Click();
    EXPECT_EQ(h->ToolBar4->height(), 45);
    // Cut short and zero-filled: named at once, the lines before the damage taken, and the
    // file kept beside before the close writes the settings in its place.
    const std::string ini = utilisateur() + "Karstomat.ini";
    const std::string abime = "[Karstomat]\r\n\r\nTexte = OUI\r\n" + std::string(10'000, '\0');
    Ecrit(ini, abime);
    auto k = Cree();
    EXPECT_TRUE(Action(*k, "Etiquettestexte1")->isChecked());
    EXPECT_TRUE(
        invite.Textes().back().endsWith(QStringLiteral("compter.\rLes réglages lus avant cette ligne sont "
                                                       "utilisés.\rIl sera gardé sous le nom « "
                                                       "Karstomat.ini.endommagé » à la fermeture de Karstomat.")));
    EXPECT_TRUE(k->close());
    EXPECT_EQ(Contenu(ini + ".endommagé"), abime);
    // Damaged again: kept under a numbered name, promised only where the folder takes writes.
    Ecrit(ini, abime);
    {
        essai::DossierFerme ferme(utilisateur());
        Cree();
        EXPECT_TRUE(invite.Textes().back().endsWith(QStringLiteral("lus avant cette ligne sont utilisés.")));
    }
    auto n = Cree();
    EXPECT_TRUE(invite.Textes().back().contains(QStringLiteral("« Karstomat.ini.endommagé-2 »")));
    EXPECT_TRUE(n->close());
    EXPECT_EQ(Contenu(ini + ".endommagé-2"), abime);
}

TEST_F(Fenetre, EtatDesMenus)
{
    auto f = Cree();
    auto actif = [&](const char* nom) {
        QAction* a = Action(*f, nom);
        EXPECT_NE(a, nullptr) << nom;
        return a && a->isEnabled();
    };
    for (const char* n : {"Ouvrir1", "BoutonOuvrir", "Quitter1", "Gnral1", "Automatique1", "N6", "Ouvrirmodle1"})
        EXPECT_TRUE(actif(n)) << n;
    for (const char* n : {"Enregistrer1", "BoutonEnregistrer", "Enregistrersous1", "Fermer1", "Imprimer1", "Apercu1",
                          "BoutonImprimer", "Mosaque1", "Cascade1", "SVG1", "Annuler1", "Couper1"})
        EXPECT_FALSE(actif(n)) << n;
    EXPECT_FALSE(Action(*f, "Donnes1_Item")->isEnabled());
    EXPECT_FALSE(Action(*f, "Vue1_Item")->isEnabled());
    EXPECT_FALSE(Action(*f, "Branche1_Item")->isEnabled());
    EXPECT_EQ(Action(*f, "Enregistrer1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(Action(*f, "Ficheconnue1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));

    f->OuvreMassif({});
    for (const char* n : {"Enregistrer1", "BoutonEnregistrer", "Enregistrersous1", "Fermer1"})
        EXPECT_TRUE(actif(n)) << n;
    EXPECT_TRUE(Action(*f, "Donnes1_Item")->isEnabled());
    // Without a view window, the view commands stay off; and a command whose window is
    // not there yet stays off too.
    for (const char* n : {"Imprimer1", "Mosaque1", "SVG1"})
        EXPECT_FALSE(actif(n)) << n;
    // The explorer opens with the massif: its commands follow.
    EXPECT_TRUE(actif("Annuler1"));
    EXPECT_FALSE(Action(*f, "Vue1_Item")->isEnabled());
    EXPECT_FALSE(f->ToolBar4->isVisibleTo(f.get()));
    EXPECT_FALSE(Action(*f, "Rcuprer1")->isEnabled());

    // A command declared built follows the table.
    f->DeclareCommande(f->Plan1);
    f->MiseAJourMenus();
    EXPECT_TRUE(actif("Plan1"));
    f->FermeMassif();
    EXPECT_FALSE(actif("Plan1"));

    // No browser nor mail program on this platform: « Web » and « E-mail » say so.
    f->resize(1280, 800);
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    ClicMenu(*f, f->Aide0, f->Web3);
    ClicMenu(*f, f->Aide0, f->Email1);
    EXPECT_EQ(
        invite.Textes().mid(invite.Textes().size() - 2),
        QStringList({QStringLiteral("Aucun navigateur n'a pu ouvrir l'adresse https://karstomat.example.org/."),
                     QStringLiteral("Aucune messagerie n'a pu ouvrir un message à auteur@karstomat.example.org.")}));
}

TEST_F(Fenetre, ModelesSousUnAutreNom)
{
    auto f = Cree();
    const std::string base = dirM.path().toStdString() + "/surface";
    f->OptionsPlan.Long_Nord = 44;
    invite.fichiers = {QString::fromStdString(base)};
    invite.indexFiltres = {2};
    f->Enregistrermodle1Click();
    EXPECT_TRUE(fs::exists(base + ".pla"));
    f->OptionsPlan.Long_Nord = 1;
    invite.fichiers = {QString::fromStdString(base)};
    invite.indexFiltres = {2};
    f->Ouvrirmodle1Click();
    EXPECT_EQ(f->OptionsPlan.Long_Nord, 44);

    invite.fichiers = {QString::fromStdString(base + ".txt")};
    f->Enregistrermodle1Click();
    EXPECT_FALSE(fs::exists(base + ".txt"));
    invite.fichiers = {QString::fromStdString(base)};  // "Tous": nothing added
    f->Ouvrirmodle1Click();
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Ce fichier n'existe pas.\rChoisissez en un autre"));
    // The settings folder first, then the folder of the last model.
    EXPECT_EQ(invite.dialoguesFichier[0].dossier, QString::fromStdString(utilisateur()));
    ASSERT_FALSE(invite.dialoguesFichier.empty());
    EXPECT_EQ(invite.dialoguesFichier.back().dossier, dirM.path());

    // Over that model, through the menu with the real box: Return keeps it; a read-only one
    // is refused even after Oui.
    const std::string avant = Contenu(base + ".pla");
    f->OptionsPlan.Long_Nord = 2;
    BoiteReelle boite;
    boite.fichiers = {QString::fromStdString(base + ".pla")};
    Interlocuteur::Installe(&boite);
    f->show();
    const auto vue = ecran::RepondBoite(Qt::Key_Return);
    ClicMenu(*f, f->Format1, f->Enregistrermodle1);
    Interlocuteur::Installe(&invite);
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(Contenu(base + ".pla"), avant);
    fs::permissions(base + ".pla", kLectureSeule);
    invite.fichiers = {QString::fromStdString(base + ".pla")};
    invite.reponses = {Bouton::Oui};
    ClicMenu(*f, f->Format1, f->Enregistrermodle1);
    EXPECT_EQ(invite.Textes().back(), QString::fromStdString("Le fichier " + base +
                                                             ".pla est en lecture seule : il n'a pas été modifié. "
                                                             "Choisissez un autre nom pour l'enregistrer ailleurs."));
    EXPECT_EQ(Contenu(base + ".pla"), avant);
    f->hide();
}

TEST_F(Fenetre, ListeSuivanteEtAPropos)
{
    auto f = Cree();
    for (int i = 0; i < 4; ++i)
        f->ToolButton18Click();
    EXPECT_TRUE(f->Grandesicnes1->isChecked());
    f->ToolButton18Click();
    EXPECT_TRUE(f->Petitesicnes1->isChecked());
    EXPECT_TRUE(f->Petitesicnes2->isChecked());

    TApropos a(f.get());
    EXPECT_EQ(a.Version->text(), QStringLiteral("Version"));
    a.show();
    EXPECT_EQ(a.Version->text(), QStringLiteral("Version 2.2.0.1"));
    // The program's own icon, in the box and on every window, and the box in the middle
    // of the screen.
    const QImage icone = IconeProgramme().pixmap(48, 48).toImage();
    ASSERT_FALSE(icone.isNull());
    auto* image = a.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixmap().toImage(), icone);
    EXPECT_EQ(f->windowIcon().pixmap(48, 48).toImage(), icone);
    EXPECT_EQ(a.windowIcon().pixmap(48, 48).toImage(), icone);
    EXPECT_EQ(a.frameGeometry().center(), a.screen()->availableGeometry().center());
    a.hide();
}

TEST(Animation, ImagesDeLaBandeEtRepos)
{
    App();
    TAnimatedImage a;
    a.Standard();
    EXPECT_EQ(a.NumGlyphs(), 16);
    EXPECT_EQ(a.LargeurImage(), 26);
    EXPECT_EQ(a.HauteurImage(), 26);
    EXPECT_EQ(a.ImageAffichee(), 0);
    a.SetActive(true);
    a.SetActive(true);
    EXPECT_TRUE(a.Active());
    std::set<int> vues;
    for (int i = 0; i < 40; ++i) {
        a.TimerExpired();
        vues.insert(a.ImageAffichee());
    }
    EXPECT_EQ(vues.size(), 15u);
    EXPECT_EQ(vues.count(0), 0u);
    a.SetActive(false);
    EXPECT_EQ(a.ImageAffichee(), 0);

    // A strip whose length is not a multiple of its breadth gives one frame.
    TAnimatedImage b;
    b.SetOrientationVerticale(true);
    b.SetGlyph(QPixmap(26, 100));
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetInactiveGlyph(3);
    EXPECT_EQ(b.InactiveGlyph(), -1);
}

TEST_F(Fenetre, EnregistrementRateGardeLeMassifNonEnregistre)
{
    auto f = Cree();
    f->OuvreMassif({});
    f->Massif->Enregistre = false;
    invite.fichiers = {QString::fromStdString(dirM.path().toStdString() + "/absent/dossier/m.fic")};
    EXPECT_FALSE(f->Enregistrersous1Click());
    EXPECT_FALSE(f->Massif->Enregistre);
    EXPECT_TRUE(f->Massif->NomFichier.empty());
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().icone, Icone::Erreur);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("SansNom - Karstomat"));
}

TEST_F(Fenetre, OuvrirParLeDialogue)
{
    auto f = Cree();
    const std::string a = Massif("a.fic"), b = Massif("b.fic");
    f->OuvreMassif(a);
    f->Massif->Enregistre = false;
    // Cancel at the prompt: nothing else is asked and the massif stays.
    invite.reponses = {Bouton::Annuler};
    f->Ouvrir1Click();
    EXPECT_EQ(f->Massif->NomFichier, a);
    EXPECT_TRUE(invite.dialoguesFichier.empty());
    // No, then the dialog: the other massif is opened, the first is remembered.
    invite.reponses = {Bouton::Non};
    invite.fichiers = {QString::fromStdString(b)};
    f->Ouvrir1Click();
    ASSERT_EQ(invite.dialoguesFichier.size(), 1u);
    EXPECT_EQ(invite.dialoguesFichier[0].filtre,
              QStringLiteral("(dossier fiche) *.fic|*.fic|(massif texte) *.mas|*.mas"));
    EXPECT_EQ(f->Massif->NomFichier, b);
    EXPECT_EQ(f->FichiersRecents[0], a);
    // A path on drive A: is never remembered.
    f->AjouteFichierRecent("A:/disquette.fic");
    EXPECT_EQ(f->FichiersRecents[0], a);
    // « Ouvrir » starts on a text massif's "*.mas"; its folder renamed, its name alone is proposed nearest.
    fs::create_directory(Chemin("club"));
    f->OuvreMassif(Massif("club/texte.mas"));
    invite.fichiers = {std::nullopt, std::nullopt};
    f->show();
    ClicMenu(*f, f->Massif1, f->Ouvrir1);
    EXPECT_EQ(invite.dialoguesFichier.back().indexFiltre, 2);
    fs::rename(Chemin("club"), Chemin("club-renomme"));
    ClicMenu(*f, f->Massif1, f->Enregistrer1);
    EXPECT_EQ(invite.dialoguesFichier.back().nom, QStringLiteral("texte.mas"));
    EXPECT_EQ(invite.dialoguesFichier.back().dossier, dirM.path());
}

TEST_F(Fenetre, BandesDesBarresEtPanneaux)
{
    auto f = Cree();
    f->show();
    EXPECT_TRUE(f->ToolBar1->isVisible());
    f->Gnral1->trigger();
    EXPECT_FALSE(f->Gnral1->isChecked());
    EXPECT_FALSE(f->ToolBar1->isVisible());
    f->Barredtat1->trigger();
    EXPECT_FALSE(f->statusBar()->isVisible());
    f->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(f->Panneaux[1]->width(), f->width() - 333);
    EXPECT_EQ(f->Panneaux[0]->width(), 200);
    EXPECT_EQ(f->Panneaux[2]->width(), 50);
    f->hide();
}

TEST_F(Fenetre, ModeleTableauRemetLesDimensionsAJour)
{
    auto f = Cree();
    const std::string nom = dirM.path().toStdString() + "/large.tabl";
    TOptions_Tableau t;
    t.Largeur[10] = 90;
    t.Sauve(nom);
    f->OuvreMassif({});
    f->Massif->DimensionsAJour = true;
    invite.fichiers = {QString::fromStdString(nom)};
    f->Ouvrirmodle1Click();
    EXPECT_EQ(f->OptionsTableau.Largeur[10], 90);
    EXPECT_FALSE(f->Massif->DimensionsAJour);
}
