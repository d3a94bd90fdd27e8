#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <sstream>

#include "commun.h"

namespace karst::test {
namespace {

TGalerie& Galerie(TFiche& f, const std::string& de, long double x, long double y, long double z)
{
    auto g = std::make_unique<TGalerie>();
    if (de.empty())
        g->Depart.Terminus = true;
    else
        g->Depart.Nom.Affecte(de), g->Depart.Indice = 1;
    g->Depart.X = x;
    g->Depart.Y = y;
    g->Depart.Z = z;
    g->Arrivee.Terminus = true;
    return *f.Galeries.ajoute(std::move(g));
}

TFiche& Fiche(TMassif& m, const std::string& cavite, const std::string& date, const std::string& lieu)
{
    auto f = std::make_unique<TFiche>();
    f->Cavite.Affecte(cavite);
    f->Date = date;
    f->Lieu.Affecte(lieu);
    return *m.AjouteFiche(std::move(f), false);
}

// Reduces the sheets and marks every gallery placed, as a computation would.
void Place(TMassif& m)
{
    for (TFiche* f : m.Fiches) {
        f->Calcule(m.Angle_Geodesique);
        for (TGalerie* g : f->Galeries)
            g->Placee = true;
    }
}

TEST(ExportPLT, FichierOctetPourOctet)
{
    TMassif m;
    TFiche& f0 = Fiche(m, "Grotte du Loup", "01/07/95", "Grotte du Loup");
    TGalerie& g0 = Galerie(f0, "A", 10, 20, 100);
    Vise(g0, 10, 90, 0)->Gauche = "1.5";
    TVisee* v = Vise(g0, 5, 0, 0);
    v->Gauche = "2m";
    v->Droite = "0.25";
    v->Haut = "-1";
    TVisee* haut = Vise(g0, 2, 0, 90);
    haut->Haut = "150", haut->UniteHauteur = kUniteCentimetres;
    Vise(Galerie(f0, "P", 0, 0, 0), 3, 0, 0);  // never reached: not written
    TGalerie& g2 = Galerie(f0, "", 0, 0, 0);
    Vise(g2, 10, 180, 0);
    g2.Arrivee.Terminus = false;
    g2.Arrivee.Nom.Affecte("B");
    g2.Arrivee.X = 50;
    g2.Arrivee.Y = 60;
    g2.Arrivee.Z = 70;
    TFiche& f1 = Fiche(m, "Grotte du Loup", "05/03/12", "Salle");
    Vise(Galerie(f1, "C", 0.5, -3.25, 10), 1, 270, 0);
    Fiche(m, "", "  /  /  ", "");
    Fiche(m, "Grotte du Loup", "05/03/31", "Fond");
    Place(m);
    f0.Galeries[1]->Placee = false;

    Dossier d;
    ExportePLT(m, d.Fichier("sortie.plt"));
    EXPECT_EQ(LitTout(d.Fichier("sortie.plt")), Donnee("export.plt"));
    EXPECT_TRUE(m.PointsCalcules);
    // Through a link to a file of narrow permissions: the link stays, the file keeps them.
    namespace fs = std::filesystem;
    const std::string cible = d.Ecrit("cible.plt", "ancien");
    fs::permissions(cible, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(cible, d.Fichier("lien.plt"));
    ExportePLT(m, d.Fichier("lien.plt"));
    EXPECT_TRUE(fs::is_symlink(d.Fichier("lien.plt")));
    EXPECT_EQ(LitTout(cible), Donnee("export.plt"));
    EXPECT_EQ(fs::status(cible).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // A pipe with no reader, which opening would wait on: refused at once.
    ASSERT_EQ(::mkfifo(d.Fichier("tube.plt").c_str(), 0600), 0);
    EXPECT_THROW(ExportePLT(m, d.Fichier("tube.plt")), ErreurEchange);

    // Nothing placed: refused, nothing written.
    for (TFiche* f : m.Fiches)
        for (TGalerie* g : f->Galeries)
            g->Placee = false;
    m.PointsCalcules = false;
    try {
        ExportePLT(m, d.Fichier("vide.plt"));
        ADD_FAILURE() << "fichier vide écrit";
    } catch (const ErreurEchange& e) {
        EXPECT_EQ(std::string(e.what()), "Aucune galerie n'est reliée à un point de référence : rien n'a été exporté.");
    }
    EXPECT_FALSE(std::filesystem::exists(d.Fichier("vide.plt")));
}

// A plot-file reader of its own: every station by survey and name, east first, in metres.
struct Lecture {
    std::map<std::string, std::array<double, 3>> stations;
    int moves = 0, draws = 0;
};

Lecture LitPLT(const std::string& texte)
{
    Lecture l;
    std::istringstream in(texte);
    std::string ligne, releve;
    while (std::getline(in, ligne)) {
        EXPECT_FALSE(ligne.empty());
        EXPECT_EQ(ligne.back(), '\r');
        ligne.pop_back();
        std::istringstream mots(ligne);
        std::string code;
        mots >> code;
        if (code[0] == 'N') {
            releve = code.substr(1);
        } else if (code == "M" || code == "D") {
            double n, e, z;
            std::string nom;
            mots >> n >> e >> z >> nom;
            EXPECT_EQ(nom[0], 'S');
            (code == "M" ? l.moves : l.draws)++;
            if (code == "D")
                l.stations[releve + ":" + nom.substr(1)] = {e * 0.3048, n * 0.3048, z * 0.3048};
        }
    }
    return l;
}

TEST(ExportPLT, UnLecteurIndependantRetrouveChaqueStation)
{
    TMassif m;
    RapportFaux rapport;
    ImporteVisualTopo(m, std::string(KARST_TEST_DATA) + "/visualtopo_v4.tro", rapport);
    // Hang every gallery from a start of its own.
    double decalage = 0;
    for (TFiche* f : m.Fiches)
        for (TGalerie* g : f->Galeries) {
            g->Depart.X = 1000.123 + decalage;
            g->Depart.Y = -52.5 - decalage;
            g->Depart.Z = 1250;
            g->Arrivee.Terminus = true;
            decalage += 7.77;
        }
    Place(m);
    Dossier d;
    ExportePLT(m, d.Fichier("sortie.plt"));
    const Lecture l = LitPLT(LitTout(d.Fichier("sortie.plt")));
    int stations = 0;
    for (std::size_t k = 0; k < m.Fiches.size(); ++k) {
        const TFiche& f = *m.Fiches[k];
        for (std::size_t g = 0; g < f.Galeries.size(); ++g) {
            const TGalerie& gal = *f.Galeries[g];
            for (int i = 1; i <= gal.NbVisees; ++i) {
                const std::string cle = "T" + FormatEntier(static_cast<long long>(k)) + ":" +
                                        FormatEntier(static_cast<long long>(g)) + "." + FormatEntier(i);
                ASSERT_TRUE(l.stations.count(cle)) << cle;
                const auto& p = l.stations.at(cle);
                EXPECT_NEAR(p[0], gal.Station(i).X, 0.0051) << cle;
                EXPECT_NEAR(p[1], gal.Station(i).Y, 0.0051) << cle;
                EXPECT_NEAR(p[2], gal.Station(i).Z, 0.0051) << cle;
                ++stations;
            }
        }
    }
    EXPECT_EQ(l.draws, stations);
    EXPECT_EQ(l.moves, 3);
}

TEST(ExportPLT, SeulesLesFichesSelectionnees)
{
    TMassif m;
    Vise(Galerie(Fiche(m, "A", "01/01/01", "Un"), "A", 0, 0, 0), 1, 0, 0);
    TFiche& b = Fiche(m, "B", "01/01/01", "Deux");
    Vise(Galerie(b, "B", 0, 0, 0), 1, 0, 0);
    Place(m);
    m.ActiveSelection(true);
    m.Selection->push_back(&b);
    Dossier d;
    ExportePLT(m, d.Fichier("s.plt"));
    const std::string t = LitTout(d.Fichier("s.plt"));
    EXPECT_EQ(t.find("CUn"), std::string::npos);
    EXPECT_NE(t.find("SB\r\nNT0 D 1 1 2001 CDeux\r\n"), std::string::npos);
}

}  // namespace
}  // namespace karst::test
