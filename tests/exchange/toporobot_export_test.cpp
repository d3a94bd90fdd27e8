#include <gtest/gtest.h>

#include "commun.h"

namespace karst::test {
namespace {

std::unique_ptr<TPointTopo> Reference(const std::string& nom, long double x, long double y, long double z)
{
    auto r = std::make_unique<TPointTopo>();
    r->Nom.Affecte(nom);
    r->Indice = 1;
    r->X = x;
    r->Y = y;
    r->Z = z;
    return r;
}

TPointTopo Station(const std::string& nom)
{
    TPointTopo p;
    if (nom.empty())
        p.Terminus = true;
    else
        p.Nom.Affecte(nom), p.Indice = 1;
    return p;
}

TGalerie& Galerie(TFiche& f, const std::string& de, const std::string& vers, const std::string& commentaire = "")
{
    auto g = std::make_unique<TGalerie>();
    g->Depart = Station(de);
    g->Arrivee = Station(vers);
    g->Commentaire.Affecte(commentaire);
    g->Coefficient = 1;
    return *f.Galeries.ajoute(std::move(g));
}

// Two reference points, two sheets, four galleries that make four series.
void Remplit(TMassif& m)
{
    m.NomFichier = "/donnees/topo/Grotte.mas";
    m.AjouteReference(Reference("E", 0.015, 2.5, 300));
    m.AjouteReference(Reference("F", 0.025, 2.5, 310));
    auto f1 = std::make_unique<TFiche>();
    f1->Date = "01/07/95";
    f1->Declinaison = 2;
    f1->Topographes.emplace_back("Andr\xE9");
    f1->Topographes.emplace_back("(Bob)");
    TGalerie& g1 = Galerie(*f1, "E", "B", "Galerie un");
    TVisee* v = Vise(g1, 10, 90, 0);
    v->Gauche = "3";
    v->Haut = "2";
    v->Bas = "-2";
    v->Commentaire.Affecte("tab\there");
    Vise(g1, 10, 180, 10);
    TGalerie& g2 = Galerie(*f1, "B", "C", "suite");
    v = Vise(g2, 150, 100, 150);
    v->UniteLongueur = 1;
    v->UniteAzimut = 1;
    v->UnitePente = 8;
    TGalerie& g3 = Galerie(*f1, "B", "", "(trou)");
    Vise(g3, 0, 0, 0);
    v = Vise(g3, 5, 10, 0);
    v->UniteAzimut = 5;
    v->Gauche = "0.5m";
    v->Droite = "x";
    m.AjouteFiche(std::move(f1), false);
    auto f2 = std::make_unique<TFiche>();
    f2->Date = "15/08/03";
    f2->Unite_Decli = 1;
    f2->Declinaison = 2;
    Galerie(*f2, "", "E");  // no shot: not written
    TGalerie& g4 = Galerie(*f2, "", "E");
    v = Vise(g4, 4, 45, 60);
    v->UnitePente = 9;
    m.AjouteFiche(std::move(f2), false);
    for (TFiche* f : m.Fiches)
        f->Calcule(m.Angle_Geodesique);
}

TEST(ExportToporobot, FichierOctetPourOctet)
{
    Dossier d;
    TMassif m;
    Remplit(m);
    ExporteToporobot(m, d.Fichier("sortie.tab"));
    EXPECT_EQ(LitTout(d.Fichier("sortie.tab")), Donnee("toporobot_export.tab"));
}

TEST(ExportToporobot, RelectureRedonneFichesGaleriesEtStations)
{
    Dossier d;
    TMassif m;
    Remplit(m);
    ExporteToporobot(m, d.Fichier("sortie.tab"));
    TMassif lu;
    RapportFaux rapport;
    ImporteToporobot(lu, d.Fichier("sortie.tab"), rapport);
    EXPECT_TRUE(rapport.messages.empty());
    ASSERT_EQ(lu.Fiches.size(), 2u);
    const TFiche& a = *lu.Fiches[0];
    const TFiche& b = *lu.Fiches[1];
    EXPECT_EQ(a.Date.str(), "01/07/95");
    EXPECT_EQ(a.Topographes[0].Chaine(), "Andr\xE9");
    EXPECT_NEAR(a.Declinaison, 2.22, 1e-6);
    EXPECT_NEAR(b.Declinaison, 2.0, 1e-6);
    ASSERT_EQ(a.Galeries.size(), 3u);
    ASSERT_EQ(b.Galeries.size(), 1u);
    // Each gallery gives back its shots' reduced sums (the import puts point 0's zero shot
    // in front of the first gallery of a series).
    const TGalerie* originales[] = {m.Fiches[0]->Galeries[0], m.Fiches[0]->Galeries[1], m.Fiches[0]->Galeries[2],
                                    m.Fiches[1]->Galeries[1]};
    const TGalerie* relues[] = {a.Galeries[0], a.Galeries[1], a.Galeries[2], b.Galeries[0]};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(relues[i]->SommeDX, originales[i]->SommeDX, 0.01);
        EXPECT_NEAR(relues[i]->SommeDY, originales[i]->SommeDY, 0.01);
        EXPECT_NEAR(relues[i]->SommeDZ, originales[i]->SommeDZ, 0.01);
        EXPECT_NEAR(relues[i]->SommeL, originales[i]->SommeL, 0.01);
    }
    EXPECT_EQ(a.Galeries[0]->Commentaire.Chaine(), "Galerie un");
    EXPECT_EQ(a.Galeries[0]->Visee(2)->Commentaire.Chaine(), "tab here");
    EXPECT_EQ(a.Galeries[0]->Visee(2)->Gauche.str(), "1.50");
    // The same stations join the same galleries.
    const TPointTopo& entree = a.Galeries[0]->Depart;
    EXPECT_EQ(Point(entree), "Entr\xE9"
                             "e Grotte#1");
    EXPECT_TRUE(a.Galeries[0]->Arrivee.Egal(a.Galeries[1]->Depart));
    EXPECT_TRUE(a.Galeries[0]->Arrivee.Egal(a.Galeries[2]->Depart));
    EXPECT_TRUE(a.Galeries[1]->Arrivee.Terminus);  // C ends one gallery only
    EXPECT_TRUE(a.Galeries[2]->Arrivee.Terminus);
    EXPECT_TRUE(b.Galeries[0]->Depart.Terminus);
    EXPECT_TRUE(b.Galeries[0]->Arrivee.Egal(entree));
    // Both reference points come back in kilometres.
    ASSERT_EQ(lu.References.size(), 2u);
    EXPECT_NEAR(lu.References[0]->X, 0.015, 1e-9);
    EXPECT_NEAR(lu.References[0]->Z, 300, 1e-9);
    EXPECT_EQ(Point(*lu.References[1]), "1_1#1");
    EXPECT_NEAR(lu.References[1]->X, 0.025, 1e-9);
    EXPECT_NEAR(lu.References[1]->Y, 2.5, 1e-9);
    EXPECT_NEAR(lu.References[1]->Z, 310, 1e-9);
}

TEST(ExportToporobot, UnSeulPointDeReferenceEtPremiereGalerieEcrite)
{
    Dossier d;
    const std::string codes = "-1\t999\t360.00\t360.00\t0.00\t0.00\t0.00\t100.00\t-100.00\r\r";
    for (const std::string depart : {"E", "Z"}) {
        TMassif m;
        m.AjouteReference(Reference("E", 0.015, 2.5, 300));
        auto f = std::make_unique<TFiche>();
        f->Date = "01/01/00";
        Galerie(*f, "Z", "E");  // no shot: the first gallery written is the next one
        Vise(Galerie(*f, depart, "Y"), 3, 0, 0);
        m.AjouteFiche(std::move(f), false);
        ExporteToporobot(m, d.Fichier("t.tab"));
        const std::string texte = LitTout(d.Fichier("t.tab"));
        const std::string suite = texte.substr(texte.find(codes) + codes.size());
        if (depart == "E") {
            EXPECT_EQ(suite.substr(0, suite.find('\r')), "1\t-1\t1\t0\t1\t1\t1\t0\t0\t");
        } else {
            EXPECT_EQ(suite.substr(0, suite.find("2\t-1")),
                      "1\t-1\t1\t0\t1\t1\t1\t0\t0\t\r1\t0\t999\t999\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t\r"
                      "1\t1\t999\t999\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t15.00       2500.00       300.00\r\r");
        }
        // The massif has no name: the cave has none either.
        EXPECT_EQ(texte.substr(0, 6), "-6\t1\t\r");
    }
    // A club's survey that starts away from its entrance comes back with its one entrance, at
    // its place.
    TMassif club, relu;
    RapportFaux rapport;
    ImporteVisualTopo(club, std::string(KARST_TEST_DATA) + "/visualtopo/v500_start_elsewhere.tro", rapport);
    ExporteToporobot(club, d.Fichier("club.tab"));
    ImporteToporobot(relu, d.Fichier("club.tab"), rapport);
    ASSERT_EQ(relu.References.size(), 1u);
    for (const auto coordonnee : {&TPointTopo::X, &TPointTopo::Y, &TPointTopo::Z})
        EXPECT_EQ((*relu.References[0].*coordonnee).d(), (*club.References[0].*coordonnee).d());
}

TEST(ExportToporobot, DateVideEtTabulationDansUnTopographe)
{
    // A sheet as a VisualTopo import leaves it: no date.
    Dossier d;
    TMassif m;
    m.NomFichier = "/topo/Re\xCC\x81seau \xC3\x89ole.fic";  // as a Mac names it: an accent apart
    m.AjouteReference(Reference("E", 0, 0, 0));
    auto f = std::make_unique<TFiche>();
    f->Date = "  /  /  ";
    f->Topographes.emplace_back("Jean\tMarc");
    f->Topographes.emplace_back("\tL\xE9o\t");
    // Windows-1252 signs whose bytes the reader takes for Macintosh letters.
    TGalerie& g = Galerie(*f, "E", "A");
    Vise(g, 3, 0, 0)->Commentaire.Affecte("dit \x91le puits\x92 \x94\x95\x88\x89\x8E\x9F\x8D\x9C");
    // Half-centimetres round up as typed, whatever their binary form; braces the reader skips.
    Vise(g, 1.925L, 1.945L, 0.005L)->Commentaire.Affecte("{voir plan}");
    m.AjouteFiche(std::move(f), false);
    ExporteToporobot(m, d.Fichier("t.tab"));
    const std::string texte = LitTout(d.Fichier("t.tab"));
    EXPECT_EQ(texte.substr(0, 17), "-6\t1\tR\x8Eseau \xC9ole\r");
    EXPECT_NE(texte.find("\r-2\t1\t  \t  \t  \tJeanMarc\tL\x8Eo\t0\t0.00\t0\t1\r"), std::string::npos);
    EXPECT_EQ(texte.substr(texte.rfind('\r') + 1),
              "1\t2\t1\t1\t1.93\t1.95\t0.01\t0.00\t0.00\t0.00\t0.00\t.{voir plan}");
    TMassif lu;
    RapportFaux rapport;
    ImporteToporobot(lu, d.Fichier("t.tab"), rapport);
    ASSERT_EQ(lu.Fiches.size(), 1u);
    EXPECT_EQ(lu.Fiches[0]->Cavite.Chaine(), "R\xE9seau \xC9ole");
    EXPECT_EQ(lu.Fiches[0]->Galeries[0]->Visee(2)->Commentaire.Chaine(), "dit 'le puits\x92 \"*^%ZY?\x9C");
    EXPECT_EQ(lu.Fiches[0]->Galeries[0]->Visee(3)->Commentaire.Chaine(), ".{voir plan}");
    EXPECT_EQ(lu.Fiches[0]->Date.str(), "  /  /  ");
    EXPECT_EQ(lu.Fiches[0]->Topographes[0].Chaine(), "JeanMarc");
    EXPECT_EQ(lu.Fiches[0]->Topographes[1].Chaine(), "L\xE9o");
}

TEST(ExportToporobot, MassifRefuseAvantDeToucherAuFichier)
{
    Dossier d;
    const std::string cible = d.Ecrit("ancien.tab", "ancien contenu");
    TMassif sansReference;
    EXPECT_THROW(ExporteToporobot(sansReference, cible), ErreurEchange);
    TMassif tropDeFiches;
    tropDeFiches.AjouteReference(Reference("E", 0, 0, 0));
    for (int i = 0; i < 999; ++i)
        tropDeFiches.AjouteFiche(std::make_unique<TFiche>(), false);
    EXPECT_THROW(ExporteToporobot(tropDeFiches, cible), ErreurEchange);
    EXPECT_EQ(LitTout(cible), "ancien contenu");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(d.Fichier("")), {}), 1);
    EXPECT_THROW(ExporteToporobot(tropDeFiches, d.Fichier("absent/x.tab")), ErreurEchange);
}

TEST(ExportToporobot, SelectionSeuleEtSeriesDesReferencesSansFiche)
{
    Dossier d;
    TMassif m;
    Remplit(m);
    m.ActiveSelection(true);
    ExporteToporobot(m, d.Fichier("t.tab"));
    const std::string texte = LitTout(d.Fichier("t.tab"));
    EXPECT_EQ(texte.find("-2\t1\t"), std::string::npos);
    // The header lines, then the reference series and its empty line end the file.
    const std::string fin = "25.00       2500.00       310.00\r\r";
    EXPECT_EQ(texte.substr(texte.size() - fin.size()), fin);
}

}  // namespace
}  // namespace karst::test
