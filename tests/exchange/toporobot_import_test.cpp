#include <gtest/gtest.h>

#include "calcul/aide.h"
#include "calcul/calculateur.h"
#include "commun.h"

namespace karst::test {
namespace {

const std::string kEntree = "Entr\xE9"
                            "e ";

const char* kCodes = "-1\t1\t360.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r"
                     "-1\t2\t358.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r"
                     "-1\t3\t357.00\t360.00\t0.10\t1.00\t1.00\t100.00\t0.00\r"
                     "-1\t4\t360.00\t370.00\t0.10\t1.00\t1.00\t100.00\t0.00\r"
                     "-1\t5\t400.00\t400.00\t0.10\t1.00\t1.00\t100.00\t0.00\r"
                     "-1\t999\t360.00\t360.00\t0.00\t0.00\t0.00\t100.00\t-100.00\r";

std::string Entete(const std::string& seances = "-2\t1\t01\t07\t95\tJean\tPaul\t0\t0.00\t0\t1\r")
{
    return std::string("-6\t1\tGrotte\r-5\t1\t1500.00\t2500.00\t300.00\t1\t0\r") + seances + kCodes + "\r";
}

std::string Serie(int s, int sd, int pd, int sa, int pa, int n, const std::string& nom = "")
{
    auto e = [](int v) { return FormatEntier(v); };
    return e(s) + "\t-1\t" + e(sd) + "\t" + e(pd) + "\t" + e(sa) + "\t" + e(pa) + "\t" + e(n) + "\t0\t0\t" + nom + "\r";
}

std::string Pt(int s, int j, int code, int seance, const std::string& l, const std::string& az = "0.00",
               const std::string& pente = "0.00", const std::string& fin = "\t\t\t\t")
{
    return FormatEntier(s) + "\t" + FormatEntier(j) + "\t" + FormatEntier(code) + "\t" + FormatEntier(seance) + "\t" +
           l + "\t" + az + "\t" + pente + "\t" + fin + "\r";
}

// A series of n shots of 10 m, all of trip 1 and code 1.
std::string Droite(int s, int sd, int pd, int sa, int pa, int n)
{
    std::string r = Serie(s, sd, pd, sa, pa, n);
    for (int j = 0; j <= n; ++j)
        r += Pt(s, j, 1, 1, j == 0 ? "0.00" : "10.00", "90.00");
    return r;
}

class ImportToporobotTest : public ::testing::Test {
protected:
    void Importe(const std::string& contenu) { ImporteToporobot(massif, dossier.Ecrit("f.Tab", contenu), rapport); }
    TGalerie& Galerie(std::size_t fiche, std::size_t g) { return *massif.Fiches[fiche]->Galeries[g]; }

    Dossier dossier;
    TMassif massif;
    RapportFaux rapport;
};

TEST_F(ImportToporobotTest, CodesDInstrumentConvertissentLongueursEtPentes)
{
    Importe(Entete() + Serie(1, 1, 0, 1, 4, 4, "Galerie du Nord") + Pt(1, 0, 1, 1, "0.00") +
            Pt(1, 1, 2, 1, "10.00", "90.00") + Pt(1, 2, 3, 1, "5.06") + Pt(1, 3, 4, 1, "20.00", "90.00", "10.00") +
            Pt(1, 4, 5, 1, "4.00", "100.00", "-3.00",
               "1.5\t2\t0.5\t3\t{x}\tvu un \x8E"
               "boulement"));
    ASSERT_EQ(massif.Fiches.size(), 1u);
    const TFiche& f = *massif.Fiches[0];
    EXPECT_EQ(f.Date.str(), "01/07/95");
    EXPECT_EQ(f.Cavite.Chaine(), "Grotte");
    EXPECT_EQ(f.Unite_Decli, 1);
    ASSERT_EQ(f.Topographes.size(), 2u);
    EXPECT_EQ(f.Topographes[1].Chaine(), "Paul");
    ASSERT_EQ(f.Galeries.size(), 1u);
    const TGalerie& g = Galerie(0, 0);
    EXPECT_EQ(Point(g.Depart), kEntree + "Grotte#1");
    EXPECT_TRUE(g.Arrivee.Terminus);
    EXPECT_EQ(g.Commentaire.Chaine(), "Galerie du Nord");
    ASSERT_EQ(g.NbVisees, 5);
    EXPECT_NEAR(g.Visee(2)->Longueur, 3.048, 1e-9);
    EXPECT_NEAR(g.Visee(3)->Longueur, 1.6764, 1e-9);
    EXPECT_NEAR(g.Visee(4)->Pente, 2.0, 1e-9);
    EXPECT_EQ(g.Visee(4)->UnitePente, 2);
    EXPECT_EQ(g.Visee(5)->UniteAzimut, 1);
    EXPECT_EQ(g.Visee(5)->UnitePente, 1);
    EXPECT_EQ(g.Visee(5)->Gauche.str(), "1.5");
    EXPECT_EQ(g.Visee(5)->Droite.str(), "2");
    EXPECT_EQ(g.Visee(5)->Haut.str(), "0.5");
    EXPECT_EQ(g.Visee(5)->Bas.str(), "3");
    // A field 12 in braces is skipped; Macintosh letters become Windows ones.
    EXPECT_EQ(g.Visee(5)->Commentaire.Chaine(), "vu un \xE9"
                                                "boulement");
    // The entrance is a reference point in kilometres.
    ASSERT_EQ(massif.References.size(), 1u);
    EXPECT_NEAR(massif.References[0]->X, 1.5, 1e-12);
    EXPECT_NEAR(massif.References[0]->Y, 2.5, 1e-12);
    EXPECT_NEAR(massif.References[0]->Z, 300, 1e-12);
    // The sheet is reduced: 10 ft east.
    EXPECT_NEAR(g.Visee(2)->X, 3.048, 1e-9);
    EXPECT_TRUE(rapport.messages.empty());
    ASSERT_FALSE(rapport.statuts.empty());
    EXPECT_EQ(rapport.statuts.front(), "Lecture de la 1° série");
    EXPECT_EQ(rapport.statuts.back(), "Nettoyage");
}

TEST_F(ImportToporobotTest, DeclinaisonAutomatiqueEtSiecle)
{
    const std::string fichier = dossier.Ecrit(
        "f.Tab", Entete("-2\t1\t1\t7\t95\tA\tB\t1\t0.00\t0\t1\r"
                        "-2\t2\t01\t01\t2003\tA\tB\t1\t0.00\t0\t1\r"
                        "-2\t3\t01\t01\t03\tA\tB\t0\t1.25\t0\t1\r") +
                     Serie(1, 1, 0, 1, 6, 6) + Pt(1, 0, 1, 1, "0") + Pt(1, 1, 1, 1, "1") + Pt(1, 2, 1, 1, "1") +
                     Pt(1, 3, 1, 2, "1") + Pt(1, 4, 1, 2, "1") + Pt(1, 5, 1, 3, "1") + Pt(1, 6, 1, 3, "1") + "\x1A");
    // The model nobody set is asked about, naming the trips; cancelled, nothing enters the
    // massif. (The other answers are met through the import command.)
    TMassif vide;
    EXPECT_FALSE(ImporteToporobot(vide, fichier, rapport));
    EXPECT_TRUE(vide.Fiches.empty() && vide.References.empty());
    EXPECT_EQ(rapport.questions, std::vector<std::string>{"Les séances 1 (01/07/95) et 2 (01/01/03) du fichier "
                                                          "demandent la déclinaison automatique, mais le modèle "
                                                          "de déclinaison du massif n'est pas réglé."});
    // A set model is applied without a word. 2003 keeps "03" and counts 23 years from 1980.
    massif.Origine_Declinaison = 2;
    massif.Variation_Declinaison = 0.1L;
    massif.Date_Declinaison = "01/01/80";
    EXPECT_TRUE(ImporteToporobot(massif, fichier, rapport));
    EXPECT_EQ(rapport.questions.size(), 1u);
    ASSERT_EQ(massif.Fiches.size(), 3u);
    EXPECT_NEAR(massif.Fiches[0]->Declinaison, 0.5, 1e-6);
    EXPECT_EQ(massif.Fiches[1]->Date.str(), "01/01/03");
    EXPECT_NEAR(massif.Fiches[1]->Declinaison, (2 - 2.3) / 0.9, 1e-6);
    EXPECT_NEAR(massif.Fiches[2]->Declinaison, 1.25, 1e-6);
}

TEST_F(ImportToporobotTest, LeSiecleValautAussiPourLaDateDuModele)
{
    massif.Origine_Declinaison = 1;
    massif.Variation_Declinaison = 0.1L;
    massif.Date_Declinaison = "01/01/01";
    Importe(Entete("-2\t1\t01\t01\t11\tA\tB\t1\t0.00\t0\t1\r") + Droite(1, 1, 0, 1, 2, 2));
    EXPECT_NEAR(massif.Fiches[0]->Declinaison, 0, 1e-6);  // ten years, not 110
}

TEST_F(ImportToporobotTest, FinsDeLigneSectionsInconnuesEtRemarquesDonnentLeMemeMassif)
{
    const std::string series = Droite(1, 1, 0, 1, 4, 4) + "\r" + Droite(2, 1, 2, 2, 3, 3);
    const std::string cr = "(  commentaire\r" + Entete() + series;
    Importe(cr);
    const std::string attendu = Decrit(massif);
    // Unknown sections and lines in brackets are skipped; a year may have four digits.
    std::vector<std::string> variantes = {"(Fichier Toporobot\r-6\t1\tGrotte\r-5\t1\t1500.00\t2500.00\t300.00\t1\t0\r"
                                          "-4\t1\tune ligne\r-3\t1\t2\t3\r(remarque\r"
                                          "-2\t1\t01\t07\t1995\tJean\tPaul\t0\t0.00\t0\t1\r" +
                                          std::string(kCodes) + "\r" + series};
    for (const std::string fin : {"\n", "\r\n"}) {
        std::string autre;
        for (char c : cr)
            autre += c == '\r' ? fin : std::string(1, c);
        variantes.push_back(autre + fin + fin + "  " + fin);  // blank lines at the end are ignored as well
    }
    for (const std::string& v : variantes) {
        TMassif m;
        ImporteToporobot(m, dossier.Ecrit("g.Tab", v), rapport);
        EXPECT_EQ(Decrit(m), attendu);
    }
}

TEST_F(ImportToporobotTest, UneSerieQuiPartDuPoint5CoupeLaPremiere)
{
    Importe(Entete() + Droite(1, 1, 0, 1, 8, 8) + "\r" + Droite(2, 1, 5, 2, 3, 3));
    ASSERT_EQ(massif.Fiches.size(), 1u);
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 3u);
    EXPECT_EQ(Point(f.Galeries[0]->Depart), kEntree + "Grotte#1");
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "1_5#1");
    EXPECT_EQ(f.Galeries[0]->NbVisees, 6);  // point 0's zero shot, then five
    EXPECT_EQ(Point(f.Galeries[1]->Depart), "1_5#1");
    EXPECT_TRUE(f.Galeries[1]->Arrivee.Terminus);
    EXPECT_EQ(f.Galeries[1]->NbVisees, 3);
    EXPECT_EQ(Point(f.Galeries[2]->Depart), "1_5#1");
    EXPECT_TRUE(f.Galeries[2]->Arrivee.Terminus);
}

TEST_F(ImportToporobotTest, ChangementDeSeanceOuvreUneFicheSurUnPointDIndiceLibre)
{
    Importe(Entete("-2\t1\t01\t07\t95\tA\tB\t0\t0\t0\t1\r-2\t2\t02\t07\t95\tC\tD\t0\t0\t0\t1\r") +
            Serie(1, 1, 0, 1, 4, 4) + Pt(1, 0, 1, 1, "0") + Pt(1, 1, 1, 1, "1") + Pt(1, 2, 1, 1, "2") +
            Pt(1, 3, 1, 2, "3") + Pt(1, 4, 1, 2, "4"));
    ASSERT_EQ(massif.Fiches.size(), 2u);
    EXPECT_EQ(Point(Galerie(0, 0).Arrivee), "1_2#1");
    EXPECT_EQ(Point(Galerie(1, 0).Depart), "1_2#1");
    EXPECT_EQ(massif.Fiches[1]->Date.str(), "02/07/95");
    EXPECT_EQ(massif.Fiches[1]->Topographes[0].Chaine(), "C");
    EXPECT_EQ(massif.Fiches[1]->Ordre, 2);
}

TEST_F(ImportToporobotTest, LesEntreesPrennentLeurNomDeLeurLigne)
{
    Importe("-6\t1\tZo\xC3\xA9\r-6\t2\t\r-5\t2\t0\t0\t0\t1\t0\r-2\t1\t01\t07\t95\tA\tB\t0\t0\t0\t1\r" +
            std::string(kCodes) + "\r" + Droite(1, 1, 0, 1, 2, 2));
    // The second name is empty: the entrance takes its number.
    EXPECT_EQ(Point(*massif.References[0]), kEntree + "2#1");
    EXPECT_EQ(Point(Galerie(0, 0).Depart), kEntree + "2#1");
    EXPECT_EQ(massif.Fiches[0]->Cavite.Chaine(), "Zo\xE9");  // a UTF-8 line among Macintosh ones
    // A file that names no cave gives it its own name; no part of the address stays blank.
    const std::string fichier = "-6\t1\t\r" + Entete().substr(12) + Droite(1, 1, 0, 1, 2, 2);
    TMassif autre;
    ImporteToporobot(autre, dossier.Ecrit("Grotte basse\xCC\x81.Tab", fichier), rapport);
    for (const TEco* t :
         {&autre.Fiches[0]->Systeme, &autre.Fiches[0]->Cavite, &autre.Fiches[0]->Reseau, &autre.Fiches[0]->Lieu})
        EXPECT_EQ(t->Chaine(), "Grotte bass\xE9");
    // A name the massif cannot hold whole is asked about first; Non imports nothing.
    EXPECT_FALSE(ImporteToporobot(autre, dossier.Ecrit("Puits \xC5\x81.Tab", fichier), rapport));
    ASSERT_FALSE(rapport.questions.empty());
    EXPECT_EQ(rapport.questions.back(), "Ce texte du fichier contient des caractères que le massif ne peut pas garder "
                                        ":\rLe nom du fichier : « Puits Ł » (« Ł »)\rIls seront importés comme « ? ».");
}

TEST_F(ImportToporobotTest, CodeInconnuSignaleUneFoisParCode)
{
    Importe(Entete() + "\r" + Serie(1, 1, 0, 1, 3, 3) + Pt(1, 0, 1, 1, "0") + Pt(1, 1, 7, 1, "1") +
            Pt(1, 2, 7, 1, "1") + Pt(1, 3, 7, 1, "1"));
    // Code 7 is undefined: instrument codes 0 and 0.
    EXPECT_EQ(rapport.messages, (std::vector<std::string>{"Code azimut inconnu : 0", "Code pente inconnu : 0"}));
    EXPECT_EQ(Galerie(0, 0).Visee(2)->UniteAzimut, 0);
}

TEST_F(ImportToporobotTest, PointFixeDevientReferenceAvecUnIndiceLibre)
{
    // A reference point of the same name already exists: the fixed point and the galleries
    // that reach it take the next index.
    auto r = std::make_unique<TPointTopo>();
    r->Nom.Affecte("1_1");
    r->Indice = 1;
    massif.AjouteReference(std::move(r));
    Importe(Entete() + Serie(1, 1, 0, 1, 1, 1) + Pt(1, 0, 999, 999, "0") +
            Pt(1, 1, 999, 999, "0", "0", "0", "0\t0\t0\t0\t  1500.5   2500 310.5") + "\r" + Droite(2, 1, 1, 2, 2, 2));
    ASSERT_EQ(massif.References.size(), 3u);
    const TPointTopo& fixe = *massif.References[2];
    EXPECT_EQ(Point(fixe), "1_1#2");
    EXPECT_NEAR(fixe.X, 1.5005, 1e-12);
    EXPECT_NEAR(fixe.Y, 2.5, 1e-12);
    EXPECT_NEAR(fixe.Z, 310.5, 1e-12);
    ASSERT_EQ(massif.Fiches.size(), 1u);
    ASSERT_EQ(massif.Fiches[0]->Galeries.size(), 1u);
    EXPECT_EQ(Point(Galerie(0, 0).Depart), "1_1#2");
    EXPECT_TRUE(Galerie(0, 0).Arrivee.Terminus);
}

TEST_F(ImportToporobotTest, PointFixeOuEntreeAuBoutDUneSerieAnterieureResteRaccorde)
{
    // Series 1 leaves entrance 1 eastwards, 3 shots of 10 m, and ends 30.5 m east of it: on the
    // fixed point 1 of series 3, or on entrance 2 standing on point 0 of series 3, which goes
    // on 2 shots north.
    const std::string serie1 = Pt(1, 0, 1, 1, "0.00") + Pt(1, 1, 1, 1, "10.00", "90.00") +
                               Pt(1, 2, 1, 1, "10.00", "90.00") + Pt(1, 3, 1, 1, "10.00", "90.00") + "\r";
    const struct {
        std::string contenu, arrivee;
        std::size_t galeries;
        std::vector<std::string> bilan;
    } cas[] = {
        // One chain joins the entrance to the fixed point, set aside as a loop between two
        // reference points; no dead end.
        {Entete() + Serie(1, 1, 0, 3, 1, 3) + serie1 + Serie(3, 3, 0, 3, 1, 1) + Pt(3, 0, 999, 999, "0") +
             Pt(3, 1, 999, 999, "0", "0", "0", "0\t0\t0\t0\t1530.5 2500 300"),
         "3_1#1",
         1,
         {"1 galeries, 0 branches, 1 boucles, 0 cul de sac,", "0 carrefours."}},
        {"-6\t1\tGrotte\r-6\t2\tPerte\r-5\t1\t1500.00\t2500.00\t300.00\t1\t0\r"
         "-5\t2\t1530.50\t2500.00\t300.00\t3\t0\r-2\t1\t01\t07\t95\tJean\tPaul\t0\t0.00\t0\t1\r" +
             std::string(kCodes) + "\r" + Serie(1, 1, 0, 3, 0, 3) + serie1 + Serie(3, 3, 0, 3, 2, 2) +
             Pt(3, 0, 1, 1, "0.00") + Pt(3, 1, 1, 1, "10.00") + Pt(3, 2, 1, 1, "10.00"),
         kEntree + "Perte#1",
         2,
         {"2 galeries, 0 branches, 1 boucles, 1 cul de sac,"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.arrivee);
        TMassif m;
        ImporteToporobot(m, dossier.Ecrit("f.Tab", c.contenu), rapport);
        ASSERT_EQ(m.References.size(), 2u);
        EXPECT_EQ(Point(*m.References[1]), c.arrivee);
        ASSERT_EQ(m.Fiches.size(), 1u);
        ASSERT_EQ(m.Fiches[0]->Galeries.size(), c.galeries);
        const TGalerie& g = *m.Fiches[0]->Galeries[0];
        EXPECT_EQ(Point(g.Depart), kEntree + "Grotte#1");
        EXPECT_EQ(Point(g.Arrivee), c.arrivee);
        essai::FauxMessages messages;
        m.TrieFiches();
        TCalculateur calcul;
        calcul.Messages = &messages;
        calcul.Charge(m.Fiches, m.References, 1);
        calcul.CalculeTout(true);
        m.PlaceTousPoints();
        ASSERT_GE(messages.vus.size(), c.bilan.size());
        for (std::size_t i = 0; i < c.bilan.size(); ++i)
            EXPECT_EQ(messages.vus[i].texte, c.bilan[i]);
        // The 0.5 m misclosure is spread along series 1.
        ASSERT_TRUE(g.Placee);
        ASSERT_EQ(g.NbStations(), 4);
        const long double x[] = {1500, 1510 + 0.5L / 3, 1520 + 1.0L / 3, 1530.5};
        for (int k = 1; k <= 4; ++k) {
            EXPECT_NEAR(g.Station(k).X, x[k - 1], 1e-3) << k;
            EXPECT_NEAR(g.Station(k).Y, 2500, 1e-3) << k;
            EXPECT_NEAR(g.Station(k).Z, 300, 1e-3) << k;
        }
        if (c.galeries == 2) {
            const TGalerie& nord = *m.Fiches[0]->Galeries[1];
            EXPECT_EQ(Point(nord.Depart), c.arrivee);
            ASSERT_TRUE(nord.Placee);
            EXPECT_NEAR(nord.Station(nord.NbStations()).X, 1530.5, 1e-3);
            EXPECT_NEAR(nord.Station(nord.NbStations()).Y, 2520, 1e-3);
        }
    }
}

TEST_F(ImportToporobotTest, ViseesNullesRetireesEtGalerieNulleFusionnee)
{
    // Series 2 is one zero shot from 1_2 to 2_1; series 3 starts at 2_1.
    Importe(Entete() + Serie(1, 1, 0, 1, 3, 3) + Pt(1, 0, 1, 1, "0") + Pt(1, 1, 1, 1, "5") + Pt(1, 2, 1, 1, "0") +
            Pt(1, 3, 1, 1, "5") + "\r" + Serie(2, 1, 3, 2, 1, 1) + Pt(2, 0, 1, 1, "0") + Pt(2, 1, 1, 1, "0") + "\r" +
            Droite(3, 2, 1, 3, 2, 2));
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 2u);
    EXPECT_EQ(f.Galeries[0]->NbVisees, 3);  // the zero shot 3 is gone, shot 1 stays
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "1_3#1");
    EXPECT_EQ(Point(f.Galeries[1]->Depart), "1_3#1");
}

TEST_F(ImportToporobotTest, GalerieNulleVersUnPointFixeGardeLeNomDuPointFixe)
{
    // Series 3 is one zero shot from 2_3 to the fixed point 1_1.
    Importe(Entete() + Serie(1, 1, 0, 1, 1, 1) + Pt(1, 0, 999, 999, "0") +
            Pt(1, 1, 999, 999, "0", "0", "0", "0\t0\t0\t0\t100 200 300") + "\r" + Droite(2, 2, 0, 2, 3, 3) + "\r" +
            Serie(3, 2, 3, 1, 1, 1) + Pt(3, 0, 1, 1, "0") + Pt(3, 1, 1, 1, "0"));
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 1u);
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "1_1#1");
    EXPECT_EQ(Point(*massif.References[1]), "1_1#1");
}

TEST_F(ImportToporobotTest, FichierRefuseLaisseLeMassifIntact)
{
    const std::string debut = Entete() + Serie(1, 1, 0, 1, 1, 1) + Pt(1, 0, 999, 999, "0") +
                              Pt(1, 1, 999, 999, "0", "0", "0", "0\t0\t0\t0\t1 2 3") + "\r" + Droite(2, 1, 1, 2, 2, 2) +
                              "\r";
    const std::string ligne = "Le fichier " + dossier.Fichier("f.Tab") + ", ligne ";
    const std::string abime = "Le fichier " + dossier.Fichier("f.Tab") + " est endommagé : ligne ";
    const std::vector<std::pair<std::string, std::string>> cas = {
        {debut + Serie(3, 2, 2, 3, 1, 1) + Pt(3, 0, 1, 1, "0") + Pt(3, 1, 1, 1, "1,5"),
         ligne + "22 : nombre illisible (1,5)"},
        {debut + "3\t-1\t2\t2\t3\t1\tdeux\t0\t0\t\r",
         ligne + "20 : Le nombre de points n'est pas un nombre entier (deux)"},
        {debut + "3\t-1\t2\t2\t3\t1\t" + std::string(100'000, 'x') + "\t0\t0\t\r",
         ligne + "20 : Le nombre de points n'est pas un nombre entier (" + std::string(60, 'x') + "…)"},
        {debut + Serie(3, 2, 2, 3, 2, 2) + Pt(3, 0, 1, 1, "0"),
         ligne + "20 : la série 3 est incomplète : le fichier est tronqué"},
        {debut + Droite(2, 2, 2, 2, 1, 1),
         ligne + "20 : la série 2 suit la série 2 : les numéros de série doivent croître"},
        {debut + Serie(3, 2, 2, 3, 1, 1) + Pt(3, 0, 1, 1000, "0") + Pt(3, 1, 1, 1, "1"),
         ligne + "21 : le numéro de séance 1000 n'est pas compris entre 1 et 999"},
        {debut + Droite(3, 4, 0, 3, 2, 2) + "\r" + Droite(4, 3, 0, 4, 2, 2),
         "Les raccordements des séries forment une boucle (série 4, point 0)"},
        {"-5\t1\t0\t0\t0\t1\t0\r" + std::string(kCodes) + "\r" + Droite(1, 1, 0, 1, 1, 1),
         "Le fichier " + dossier.Fichier("f.Tab") +
             " n'est pas un fichier Toporobot : il ne nomme aucune cavité (lignes -6)."},
        // Not read past the line that shows another kind of file.
        {"Date,Longueur\r" + std::string(300'000, '\0'),
         "Le fichier " + dossier.Fichier("f.Tab") +
             " n'est pas un fichier Toporobot : il ne nomme aucune cavité (lignes -6)."},
        {Entete() + Serie(1, 1, 0, 1, 1, 1) + Pt(1, 0, 999, 999, "0") + Pt(1, 1, 999, 999, "0"),
         "Le fichier " + dossier.Fichier("f.Tab") + " ne contient aucune visée topographique."},
        // Values the massif could store but its files would refuse on opening.
        {debut + Serie(3, 2, 2, 3, 1, 1) + Pt(3, 0, 1, 1, "0") + Pt(3, 1, 1, 1, "1e20"),
         ligne + "22 : la longueur 1E20 dépasse les valeurs admises"},
        {"-6\t1\tGrotte\r-5\t1\t1e40\t2500.00\t300.00\t1\t0\r" + std::string(kCodes) + "\r" + Droite(1, 1, 0, 1, 1, 1),
         ligne + "2 : la coordonnée X 1E40 dépasse les valeurs admises"},
        // Cut inside its numbers (azimuth 9, no slope), or its end overwritten with zeros.
        {debut + Serie(3, 2, 2, 3, 1, 1) + Pt(3, 0, 1, 1, "0") + "3\t1\t1\t1\t5\t9",
         abime + "22, la ligne est coupée : 6 champs au lieu d'au moins 7 (série, point, code, séance, longueur, "
                 "azimut, pente)"},
        {debut + std::string(2048, '\0'), abime + "20, des octets nuls y remplacent le texte (copie interrompue ?)"},
        {debut + std::string(300'000, '\0'), abime + "20, elle dépasse les 200701 octets qu'une ligne de ce fichier peut compter"},
        {Entete() + "\x7F\x02" + Droite(1, 1, 0, 1, 1, 1),
         abime + "11, l'octet de contrôle 0x7F n'a pas sa place dans un texte (fichier écrasé ?)"},
    };
    for (const auto& [contenu, message] : cas) {
        EXPECT_EQ(Refus([&, &texte = contenu] { Importe(texte); }), message);
        EXPECT_TRUE(massif.References.empty());
        EXPECT_TRUE(massif.Fiches.empty());
    }
    EXPECT_THROW(ImporteToporobot(massif, dossier.Fichier("absent.Tab"), rapport), std::runtime_error);
}

TEST_F(ImportToporobotTest, IndiceAuDelaDe255Refuse)
{
    // Stations 1_2 with every index from 1 to 255 already exist.
    auto f = std::make_unique<TFiche>();
    for (int i = 1; i <= 255; i += 2) {
        auto g = std::make_unique<TGalerie>();
        g->Depart.Nom.Affecte("1_2");
        g->Depart.Indice = static_cast<uint8_t>(i);
        g->Arrivee.Nom.Affecte("1_2");
        g->Arrivee.Indice = static_cast<uint8_t>(i == 255 ? 255 : i + 1);
        f->Galeries.ajoute(std::move(g));
    }
    massif.AjouteFiche(std::move(f), false);
    EXPECT_EQ(Refus([&] { Importe(Entete() + Droite(1, 1, 0, 1, 2, 2)); }),
              "plus aucun indice libre (0 à 255) pour la station 1_2");
    EXPECT_EQ(massif.Fiches.size(), 1u);
    EXPECT_TRUE(massif.References.empty());
}

TEST_F(ImportToporobotTest, SerieSansViseeEtLongueSerieCoupeeA128Visees)
{
    std::string s2 = Serie(2, 2, 0, 2, 300, 300);
    for (int j = 0; j <= 300; ++j)
        s2 += Pt(2, j, 1, 1, j ? "1" : "0");
    Importe(Entete() + Serie(1, 1, 0, 1, 0, 0) + Pt(1, 0, 1, 1, "0") + "\r" + s2);
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 3u);
    EXPECT_EQ(f.Galeries[0]->NbVisees, 128);
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "2_127#1");
    EXPECT_EQ(Point(f.Galeries[1]->Depart), "2_127#1");
    EXPECT_EQ(f.Galeries[1]->NbVisees, 128);
    EXPECT_EQ(f.Galeries[2]->NbVisees, 45);
    EXPECT_TRUE(f.Galeries[2]->Arrivee.Terminus);
}

}  // namespace
}  // namespace karst::test
