// Saving a massif where users keep it: through symbolic links, into folders that take no
// new file, and the messages of a failed save.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include "aide_fichiers.h"
#include "survey/modele.h"
#include "survey/nombres.h"

using namespace karst;
using namespace karst::essai;
namespace fs = std::filesystem;

namespace {

// A fresh folder of the test run's temporary folder.
fs::path Dossier(const std::string& nom)
{
    const fs::path d = Temporaire(nom);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

std::vector<std::string> Fichiers(const fs::path& d)
{
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(d))
        r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
}

// A massif with one sheet, distinct from an empty one.
std::unique_ptr<TMassif> UnMassif(long double angle)
{
    auto m = std::make_unique<TMassif>();
    auto f = std::make_unique<TFiche>();
    f->Cavite.Affecte("Grotte");
    m->AjouteFiche(std::move(f), false);
    m->Angle_Geodesique = angle;
    return m;
}

// What a save of that massif under a plain name writes.
std::string Octets(const TMassif& m, const std::string& extension)
{
    const fs::path p = Temporaire("reference" + extension);
    const_cast<TMassif&>(m).Sauve(p.string());
    return Contenu(p);
}

// The message of a save refused, or "enregistré".
std::string Refus(TMassif& m, const fs::path& p, const std::string& copie = {})
{
    try {
        m.Sauve(p.string(), nullptr, nullptr, copie);
    } catch (const ErreurFlux& e) {
        return e.what();
    }
    return "enregistré";
}

// The message of a save refused before any write, for that reason.
std::string Impossible(const std::string& p, const std::string& raison)
{
    return "Impossible d'enregistrer le fichier " + p + " : " + raison + ". Le massif n'a pas été enregistré.";
}

}  // namespace

TEST(Sauvegarde, ParUnLienSymbolique)
{
    const fs::path reel = Dossier("reels"), liens = Dossier("liens");
    for (const std::string ext : {".fic", ".mas"}) {
        const fs::path cible = reel / ("cave" + ext);
        UnMassif(0)->Sauve(cible.string());
        fs::permissions(cible, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const fs::path lien = liens / ("lien" + ext);
        fs::create_symlink(fs::path("..") / "reels" / ("cave" + ext), lien);
        // A link to a link.
        const fs::path lien2 = liens / ("lien2" + ext);
        fs::create_symlink(lien.filename(), lien2);

        auto m = UnMassif(2.5L);
        m->NomFichier = lien.string();
        m->Sauve();
        EXPECT_TRUE(fs::is_symlink(lien)) << ext;
        EXPECT_EQ(Contenu(cible), Octets(*m, ext)) << ext;
        EXPECT_EQ(fs::status(cible).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

        UnMassif(3.5L)->Sauve(lien2.string());
        EXPECT_TRUE(fs::is_symlink(lien2) && fs::is_symlink(lien));
        EXPECT_EQ(Contenu(cible), Octets(*UnMassif(3.5L), ext)) << ext;
    }
    // Nothing else was left in either folder.
    EXPECT_EQ(Fichiers(reel), (std::vector<std::string>{"cave.fic", "cave.mas"}));
    EXPECT_EQ(Fichiers(liens), (std::vector<std::string>{"lien.fic", "lien.mas", "lien2.fic", "lien2.mas"}));

    // A link to a file not there yet creates that file.
    const fs::path pendant = liens / "pendant.fic";
    fs::create_symlink(reel / "neuf.fic", pendant);
    UnMassif(1)->Sauve(pendant.string());
    EXPECT_TRUE(fs::is_symlink(pendant));
    EXPECT_EQ(Contenu(reel / "neuf.fic"), Octets(*UnMassif(1), ".fic"));

    // A link that leads back to itself designates no file: not replaced (its open is met
    // through the window's).
    const fs::path boucle = liens / "boucle.fic";
    fs::create_symlink("boucle.fic", boucle);
    EXPECT_EQ(Refus(*UnMassif(1), boucle), boucle.string() + " est un lien symbolique qui boucle sur lui-même, et non "
                                                             "un fichier. Le massif n'a pas été enregistré.");
    EXPECT_TRUE(fs::is_symlink(boucle));
}

TEST(Sauvegarde, DossierSansNouveauFichier)
{
    const fs::path d = Dossier("partage");
    const fs::path bak = Temporaire("partage.BAK");
    for (const std::string ext : {".fic", ".mas"}) {
        const fs::path p = d / ("commun" + ext);
        UnMassif(0)->Sauve(p.string());
        const std::string avant = Contenu(p);
        DossierFerme ferme(d);
        auto m = UnMassif(2.5L);
        // Without a copy of the previous content elsewhere, nothing is written.
        EXPECT_EQ(Refus(*m, p), Impossible(p.string(), "les droits d'écriture manquent dans son dossier"));
        EXPECT_EQ(Contenu(p), avant);
        // With one, the file is written where it stands.
        m->Sauve(p.string(), nullptr, nullptr, bak.string());
        EXPECT_EQ(Contenu(p), Octets(*m, ext)) << ext;
        // Unless the file itself refuses writing (which the superuser would not see).
        if (::geteuid() != 0) {
            fs::permissions(p, fs::perms::owner_write, fs::perm_options::remove);
            EXPECT_NE(Refus(*UnMassif(4.5L), p, bak.string()).find(" est en lecture seule"), std::string::npos);
            EXPECT_EQ(Contenu(p), Octets(*m, ext)) << ext;
        }
    }
    EXPECT_EQ(Fichiers(d), (std::vector<std::string>{"commun.fic", "commun.mas"}));
}

TEST(Sauvegarde, MessagesNommentLeFichierChoisi)
{
    const fs::path d = Dossier("echecs");
    const fs::path p = d / "cave.fic";
    UnMassif(0)->Sauve(p.string());
    const std::string avant = Contenu(p);
    auto m = UnMassif(2.5L);
    // A folder that is not there, a name longer than a folder takes, a pipe with no reader.
    const std::string absent = (d / "absent" / "cave.fic").string();
    EXPECT_EQ(Refus(*m, absent), Impossible(absent, "le dossier " + (d / "absent").string() + " n'existe pas"));
    const std::string long_ = (d / (std::string(252, 'c') + ".fic")).string();
    EXPECT_EQ(Refus(*m, long_), Impossible(long_, "le nom du fichier ou d'un de ses dossiers est trop long"));
    const fs::path tube = d / "tube.fic";
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    EXPECT_EQ(Refus(*m, tube), tube.string() + " est un tube ou un périphérique, et non un fichier. Le massif n'a "
                                               "pas été enregistré.");
    fs::remove(tube);
    // A write that fails: the temporary file is named after the user's file, and goes.
    {
        TailleLimitee limite(16);
        EXPECT_EQ(Refus(*m, p), "Erreur d'écriture dans le fichier " + p.string() +
                                    " : le fichier dépasserait la taille maximale permise. Le massif n'a pas été "
                                    "enregistré.");
    }
    // A read-only file, by its mode alone (the superuser too), and a folder of the name.
    fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_THROW(EcritFichierEntier(p.string(), "x"), ErreurLectureSeule);
    fs::permissions(p, fs::perms::owner_write, fs::perm_options::add);
    const fs::path dossier = Dossier("dossier.fic");
    EXPECT_EQ(Refus(*m, dossier), "Impossible d'enregistrer le fichier " + dossier.string() +
                                      " : un dossier porte ce nom. Le massif n'a pas été enregistré.");
    EXPECT_EQ(Contenu(p), avant);
    EXPECT_EQ(Fichiers(d), std::vector<std::string>{"cave.fic"});
    // A write in place that fails says so, and where the previous content is.
    {
        DossierFerme ferme(d);
        TailleLimitee limite(16);
        EXPECT_EQ(
            Refus(*m, p, "/ailleurs/cave.BAK"),
            "Erreur d'écriture dans le fichier " + p.string() +
                " : le fichier dépasserait la taille maximale permise.\rAucun fichier ne pouvant être créé dans son dossier, le massif a été écrit directement dans "
                "ce fichier, qui peut être incomplet. Son contenu précédent est dans /ailleurs/cave.BAK");
    }
    EXPECT_EQ(Contenu(p).size(), 16u);

    // The temporary files of writers killed on the way go at the next save; those of
    // running processes and of other files stay.
    const pid_t mort = ::fork();
    if (mort == 0)
        ::_exit(0);
    ::waitpid(mort, nullptr, 0);
    const std::string m1 = std::to_string(mort), vivant = std::to_string(::getppid());
    for (const std::string& n : {".autre.fic.~" + m1 + "-1", ".cave.fic.~" + vivant + "-4", ".cave.fic.~" + m1 + "-2"})
        Ecrit(d / n, "abandonné");
    m->Sauve(p.string());
    EXPECT_EQ(Fichiers(d),
              (std::vector<std::string>{".autre.fic.~" + m1 + "-1", ".cave.fic.~" + vivant + "-4", "cave.fic"}));
}

TEST(Sauvegarde, ValeurQueLesLecteursRefusentNEcritRien)
{
    // However a value beyond what the readers admit got into the massif, the save refuses it,
    // naming where it stands, and the file on disk stays as it was.
    const fs::path d = Dossier("bornes");
    for (const std::string ext : {".fic", ".mas"}) {
        const fs::path p = d / ("cave" + ext);
        auto m = UnMassif(0);
        auto g = std::make_unique<TGalerie>();
        g->Depart.Nom.Affecte("A\xE9");
        g->Arrivee.Terminus = true;
        for (int k = 0; k < 2; ++k)
            g->AjouteVisee(std::make_unique<TVisee>())->Longueur = 5;
        m->Fiches[0]->Galeries.ajoute(std::move(g));
        m->Sauve(p.string());
        const std::string avant = Contenu(p);
        const std::string refus = "Le massif ne peut pas être enregistré : ";
        const std::string visee = refus + "fiche 1 « Grotte » (n° d'ordre " + FormatEntier(m->Fiches[0]->Ordre) +
                                  "), galerie 1 (Aé - Terminus), visée ";
        auto r = std::make_unique<TPointTopo>();
        r->Nom.Affecte("Entr\xE9"
                       "e");
        r->Y = 1e37L;
        TVisee& v1 = *m->Fiches[0]->Galeries[0]->Visee(1);
        TVisee& v2 = *m->Fiches[0]->Galeries[0]->Visee(2);
        v2.Longueur = 1e20L;
        EXPECT_EQ(Refus(*m, p), visee + "2 : la longueur 1E20 dépasse les valeurs admises.") << ext;
        v2.Longueur = 5;
        v1.UnitePente = 10;
        EXPECT_EQ(Refus(*m, p), visee + "1 : le code d'unité de pente 10 n'existe pas.") << ext;
        v1.UnitePente = 0;
        m->AjouteReference(std::move(r));
        EXPECT_EQ(Refus(*m, p),
                  refus + "point de référence 1 (Entrée) : la coordonnée Y 1E37 dépasse les valeurs admises.")
            << ext;
        EXPECT_EQ(Contenu(p), avant) << ext;

        // The largest value a sum may hold is written with digits rounded up past it, and
        // still reopens.
        m->VideReferences();
        m->Fiches[0]->Galeries[0]->SommeDX = Reel6::maximum();
        m->Sauve(p.string());
        TMassif relu;
        relu.NomFichier = p.string();
        ASSERT_EQ(relu.Charge().etat, EtatChargement::Charge) << ext;
        EXPECT_EQ(relu.Fiches[0]->Galeries[0]->SommeDX, Reel6::maximum()) << ext;
    }
    EXPECT_EQ(Fichiers(d), (std::vector<std::string>{"cave.fic", "cave.mas"}));
}

TEST(Sauvegarde, CopieDeFichier)
{
    const fs::path d = Dossier("copies");
    // Bigger than the blocks it is copied by, no block like the next.
    std::string gros(2'500'000, '\0');
    for (std::size_t i = 0; i < gros.size(); ++i)
        gros[i] = static_cast<char>(i % 251);
    Ecrit(d / "source", gros);
    Ecrit(d / "copie", "ancienne");
    CopieFichier((d / "source").string(), (d / "copie").string());
    EXPECT_EQ(Contenu(d / "copie"), Contenu(d / "source"));
    // The disk fills during the copy: the previous copy stays whole.
    Ecrit(d / "source", "nouvelle, plus longue");
    {
        TailleLimitee limite(12);
        EXPECT_THROW(CopieFichier((d / "source").string(), (d / "copie").string()), ErreurFlux);
    }
    EXPECT_EQ(Contenu(d / "copie"), gros);
    EXPECT_EQ(Fichiers(d), (std::vector<std::string>{"copie", "source"}));
    // A folder that takes no new file: the copy fails and leaves nothing.
    const fs::path f = Dossier("copies_fermees");
    {
        DossierFerme ferme(f);
        EXPECT_THROW(CopieFichier((d / "source").string(), (f / "copie").string()), ErreurFlux);
    }
    EXPECT_TRUE(Fichiers(f).empty());
    EXPECT_THROW(CopieFichier((d / "absente").string(), (d / "copie2").string()), ErreurFlux);
    EXPECT_FALSE(fs::exists(d / "copie2"));
}
