#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "commun.h"

namespace karst::test {
namespace {

void Place(std::string& r, std::size_t premiere, std::size_t derniere, const std::string& s)
{
    const std::size_t largeur = derniere - premiere + 1;
    const std::string t = s.size() < largeur ? std::string(largeur - s.size(), ' ') + s : s;
    r.replace(premiere - 1, t.size(), t);
}

// A survey line of the version 4 layout.
std::string L(const std::string& de, const std::string& vers, const std::string& longueur, const std::string& az,
              const std::string& pente, std::array<std::string, 4> m = {"*", "*", "*", "*"},
              const std::string& debut = "")
{
    std::string r(90, ' ');
    r.replace(0, de.size(), de);
    r.replace(11, vers.size(), vers);
    if (!debut.empty())
        Place(r, 23, 31, debut);
    Place(r, 33, 41, longueur);
    Place(r, 43, 49, az);
    Place(r, 51, 55, pente);
    for (std::size_t i = 0; i < 4; ++i)
        Place(r, 56 + 7 * i, 62 + 7 * i, m[i]);
    return r.substr(0, r.find_last_not_of(' ') + 1);
}

const std::string kEnTete = "Trou Grotte du Loup,345.120,3210.450,1250,LT3\nEntree A0\n\n";

std::string Remplace(std::string t, const std::string& de, const std::string& par)
{
    for (std::size_t p = t.find(de); p != std::string::npos; p = t.find(de, p + par.size()))
        t.replace(p, de.size(), par);
    return t;
}

class ImportVisualTopoTest : public ::testing::Test {
protected:
    void Importe(const std::string& contenu) { ImporteVisualTopo(massif, dossier.Ecrit("f.tro", contenu), rapport); }
    const TGalerie& Galerie(std::size_t f, std::size_t g) const { return *massif.Fiches[f]->Galeries[g]; }
    const TVisee& Visee(std::size_t f, std::size_t g, int v) const { return *Galerie(f, g).Visee(v); }

    Dossier dossier;
    TMassif massif;
    RapportFaux rapport;
};

TEST_F(ImportVisualTopoTest, ChaineUniqueDepuisLEntree)
{
    std::string f = kEnTete + "Param Deca Degd Clino Degd 1.30 Dir,Dir,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n";
    for (int i = 0; i < 10; ++i)
        f += L("A" + FormatEntier(i), "A" + FormatEntier(i + 1), "5.00", "10.00", "-2.0") + "\n";
    Importe(f + "\n[Configuration]\n");
    ASSERT_EQ(massif.Fiches.size(), 1u);
    const TFiche& fiche = *massif.Fiches[0];
    EXPECT_EQ(fiche.Cavite.Chaine(), "Grotte du Loup");
    EXPECT_EQ(fiche.Date.str(), "  /  /  ");
    EXPECT_EQ(fiche.Unite_Decli, 0);
    EXPECT_NEAR(fiche.Declinaison, -1.5, 1e-12);
    EXPECT_TRUE(fiche.Topographes.empty());
    ASSERT_EQ(fiche.Galeries.size(), 1u);
    EXPECT_EQ(Point(Galerie(0, 0).Depart), "A0#1");
    EXPECT_TRUE(Galerie(0, 0).Arrivee.Terminus);
    EXPECT_EQ(Galerie(0, 0).NbVisees, 10);
    EXPECT_EQ(Visee(0, 0, 3).Commentaire.Chaine(), "[A2->A3]");
    ASSERT_EQ(massif.References.size(), 1u);
    EXPECT_EQ(Point(*massif.References[0]), "A0#1");
    EXPECT_NEAR(massif.References[0]->X, 345.12, 1e-9);
    EXPECT_NEAR(massif.References[0]->Y, 3210.45, 1e-9);
    EXPECT_NEAR(massif.References[0]->Z, 1250, 1e-9);
    EXPECT_TRUE(rapport.avertissements.empty());
}

TEST_F(ImportVisualTopoTest, UnSecondBlocCoupeLaChaineALaJonction)
{
    std::string f = kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n";
    for (int i = 0; i < 10; ++i)
        f += L("A" + FormatEntier(i), "A" + FormatEntier(i + 1), "5", "10", "0") + "\n";
    f += "\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir 10,20,30 ;Affluent;\n" + L("A5", "A5", "0", "0", "0") + "\n" +
         L("A5", "C1", "3", "0", "0") + "\n" + L("C1", "C2", "3", "0", "0") + "\n";
    Importe(f);
    ASSERT_EQ(massif.Fiches.size(), 2u);
    ASSERT_EQ(massif.Fiches[0]->Galeries.size(), 2u);
    EXPECT_EQ(Point(Galerie(0, 0).Arrivee), "A5#1");
    EXPECT_EQ(Point(Galerie(0, 1).Depart), "A5#1");
    EXPECT_EQ(Galerie(0, 1).NbVisees, 5);
    EXPECT_EQ(Point(Galerie(1, 0).Depart), "A5#1");
    EXPECT_EQ(Galerie(1, 0).Couleur, 10 + 256 * 20 + 65536 * 30);
    EXPECT_EQ(Galerie(1, 0).Commentaire.Chaine(), "Affluent");
    // The last line of the file, without a line end or an empty line after it, is used.
    EXPECT_EQ(Galerie(1, 0).NbVisees, 2);
}

TEST_F(ImportVisualTopoTest, UnitesEtSensDesMesures)
{
    Importe(kEnTete + "Param Deca Deg Clino Deg 0.00 Inv,Inv,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n" +
            L("A0", "A1", "2", "45.30", "-10.30", {"1", "2", "3", "4"}) + " ;une note;\n\n" +
            "Param Deca Gra Vulc Gra 0.00 Dir,Dir,Dir Std\n" + L("A1", "A1", "0", "0", "0") + "\n" +
            L("A1", "A2", "2", "100", "100") + "\n\n" + "Param Deca Degd Clino % 0.00 Dir,Dir,Dir Std\n" +
            L("A2", "A2", "0", "0", "0") + "\n" + L("A2", "A3", "2", "0", "100") + "\n\n" +
            "Param Deca Degd Vulc % 0.00 Dir,Inv,Dir Std\n" + L("A3", "A3", "0", "0", "0") + "\n" +
            L("A3", "A4", "2", "0", "100") + "\n\n" + "Param Deca Degd Deniv 0.00 Dir,Dir,Dir Std\n" +
            L("A4", "A4", "0", "0", "0") + "\n" + L("A4", "A5", "2", "0", "1.5") + "\n");
    ASSERT_EQ(massif.Fiches.size(), 5u);
    const TVisee& a = Visee(0, 0, 1);
    EXPECT_NEAR(a.Azimut, 45.5, 1e-12);
    EXPECT_EQ(a.UniteAzimut, 5);
    EXPECT_NEAR(a.Pente, -10.5, 1e-12);
    EXPECT_EQ(a.UnitePente, 5);
    EXPECT_EQ(a.Gauche.str(), "1");
    EXPECT_EQ(a.Droite.str(), "2");
    EXPECT_EQ(a.Haut.str(), "3");
    EXPECT_EQ(a.Bas.str(), "4");
    EXPECT_EQ(a.Commentaire.Chaine(), "[A0->A1] une note");
    const TVisee& b = Visee(1, 0, 1);
    EXPECT_EQ(b.UniteAzimut, 1);
    EXPECT_NEAR(b.Pente, 90, 1e-12);
    EXPECT_EQ(b.UnitePente, 4);
    EXPECT_NEAR(Visee(2, 0, 1).Pente, 45, 1e-9);
    EXPECT_EQ(Visee(2, 0, 1).UnitePente, 0);
    EXPECT_NEAR(Visee(3, 0, 1).Pente, 45, 1e-9);
    EXPECT_EQ(Visee(3, 0, 1).UnitePente, 5);
    EXPECT_NEAR(Visee(4, 0, 1).Pente, 1.5, 1e-12);
    EXPECT_EQ(Visee(4, 0, 1).UnitePente, 2);
}

TEST_F(ImportVisualTopoTest, TopofilEtProfondimetre)
{
    const std::array<std::string, 4> m = {"*", "*", "*", "*"};
    Importe(kEnTete + "Param Topof 1.02 Degd Prof 0.00 Dir,Dir,Dir Std\n" + L("A0", "A0", "1000", "0", "0", m, "0") +
            "\n" + L("A0", "A1", "1500", "0", "10", m, "1000") + "\n" + L("A1", "A2", "1600", "0", "12", m, "1500") +
            "\n" + L("A2", "A3", "1700", "0", "11", m, "1600") + "\n");
    const TGalerie& g = Galerie(0, 0);
    EXPECT_NEAR(g.CoefTopofil, 1.02, 1e-12);
    ASSERT_EQ(g.NbVisees, 3);
    EXPECT_TRUE(g.Visee(1)->AvecTopofil);
    EXPECT_NEAR(g.Visee(1)->Longueur, 510, 1e-9);
    EXPECT_EQ(g.Visee(1)->UniteLongueur, 1);
    EXPECT_NEAR(g.Visee(1)->Topofil, 1000, 1e-12);
    EXPECT_NEAR(g.Visee(1)->Pente, 10, 1e-12);
    EXPECT_NEAR(g.Visee(2)->Pente, 2, 1e-12);
    EXPECT_NEAR(g.Visee(3)->Pente, -1, 1e-12);
    EXPECT_EQ(g.Visee(3)->UnitePente, 2);
    EXPECT_EQ(rapport.avertissements,
              std::vector<std::string>{"Le fichier comporte des mesures de pente de type \"Profondeur\". "
                                       "Vérifiez que les données sont correctement importées"});
}

TEST_F(ImportVisualTopoTest, ViseeNulleEntreDeuxJonctionsLesFusionne)
{
    // B3 and C1 are junctions (each met twice); the zero shot between them joins them.
    Importe(kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n" +
            L("A0", "B3", "4", "0", "0") + "\n" + L("B3", "B4", "4", "0", "0") + "\n" + L("B3", "C1", "0", "0", "0") +
            "\n" + L("C1", "C2", "4", "90", "0") + "\n" + L("C1", "C3", "4", "180", "0") + "\n\n");
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 4u);
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "B3#1");
    EXPECT_EQ(Point(f.Galeries[2]->Depart), "B3#1");
    EXPECT_EQ(Point(f.Galeries[3]->Depart), "B3#1");
    for (const TGalerie* g : f.Galeries)
        EXPECT_NE(g->NbVisees, 0);
}

TEST_F(ImportVisualTopoTest, ViseeNulleVersLEntreeGardeLeNomDeLEntree)
{
    Importe(kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n" +
            L("A0", "A1", "4", "0", "0") + "\n" + L("A1", "B3", "4", "0", "0") + "\n" + L("B3", "B4", "4", "0", "0") +
            "\n" + L("B3", "A0", "0", "0", "0") + "\n");
    const TFiche& f = *massif.Fiches[0];
    ASSERT_EQ(f.Galeries.size(), 2u);
    EXPECT_EQ(Point(f.Galeries[0]->Arrivee), "A0#1");
    EXPECT_EQ(Point(f.Galeries[1]->Depart), "A0#1");
    EXPECT_EQ(Point(*massif.References[0]), "A0#1");
}

TEST_F(ImportVisualTopoTest, FichierUtf8ConvertiFichierLatin1LuTelQuel)
{
    // Saved as UTF-8 by a Linux editor: "é", "’" and "œ" are multi-byte sequences.
    const std::string a8 = "A\xC3\xA9", a1 = "A\xE9";
    const std::string utf8 = "\xEF\xBB\xBFTrou Aven de l\xE2\x80\x99\xC3\xA9te\xCC\x81,1,2,3,\nEntree " + a8 +
                             "0\n\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std ;C\xC5\x93ur;\n" +
                             L(a8 + "0", a8 + "0", "0", "0", "0") + "\n" + L(a8 + "0", a8 + "1", "4", "0", "0") +
                             " ;\xC3\xA9troit \xE2\x82\xAC \xE4\xB8\x80;\n\n";
    // Asked before anything enters the massif: Non imports nothing, Oui keeps '?'.
    EXPECT_FALSE(ImporteVisualTopo(massif, dossier.Ecrit("f.tro", utf8), rapport));
    EXPECT_TRUE(massif.Fiches.empty() && massif.References.empty());
    EXPECT_EQ(rapport.questions, std::vector<std::string>{"Ce texte du fichier contient des caractères que le massif ne peut "
                                                          "pas garder :\rLigne 6 : « " + L(a8 + "0", a8 + "1", "4", "0", "0") +
                                                          " ;étroit € 一; » (« 一 »)\rIls seront importés comme « ? »."});
    // A long line is quoted cut, then the characters it loses are named.
    ImporteVisualTopo(massif, dossier.Ecrit("g.tro", Remplace(utf8, ";\xC3\xA9troit", ";" + std::string(300, 'x'))), rapport);
    ASSERT_FALSE(rapport.questions.empty());
    EXPECT_NE(rapport.questions.back().find("xxx… » (« 一 »)\rIls"), std::string::npos);
    rapport.garde = true;
    Importe(utf8);
    const std::string attendu = Decrit(massif);
    EXPECT_EQ(massif.Fiches[0]->Cavite.Chaine(), "Aven de l\x92\xE9t\xE9");
    EXPECT_EQ(Point(*massif.References[0]), a1 + "0#1");
    EXPECT_EQ(Point(Galerie(0, 0).Depart), a1 + "0#1");
    EXPECT_EQ(Galerie(0, 0).Commentaire.Chaine(), "C\x9Cur");
    // A character the massif's code page lacks becomes "?".
    EXPECT_EQ(Visee(0, 0, 1).Commentaire.Chaine(), "[" + a1 + "0->" + a1 + "1] \xE9troit \x80 ?");

    // The same file in the massif's own code page reads the same, byte for byte.
    std::string latin1 = utf8.substr(3);
    for (const auto& [de, par] : std::vector<std::pair<std::string, std::string>>{{"\xC3\xA9", "\xE9"}, {"e\xCC\x81", "\xE9"},
                                                                                  {"\xE2\x80\x99", "\x92"},
                                                                                  {"\xC5\x93", "\x9C"},
                                                                                  {"\xE2\x82\xAC", "\x80"},
                                                                                  {"\xE4\xB8\x80", "?"}})
        latin1 = Remplace(latin1, de, par);
    TMassif autre;
    ImporteVisualTopo(autre, dossier.Ecrit("latin1.tro", latin1), rapport);
    EXPECT_EQ(Decrit(autre), attendu);
    // And so does a Windows-1252 file a UTF-8 editor added a line to, each line as it is.
    const std::string melange1252 = latin1.substr(0, latin1.find('\n')) + utf8.substr(utf8.find('\n'));
    TMassif melange;
    ImporteVisualTopo(melange, dossier.Ecrit("melange.tro", melange1252), rapport);
    EXPECT_EQ(Decrit(melange), attendu);
}

TEST_F(ImportVisualTopoTest, EtoilesEtVersion5CommeLaVersion4)
{
    ImporteVisualTopo(massif, std::string(KARST_TEST_DATA) + "/visualtopo_v4.tro", rapport);
    const std::string attendu = Decrit(massif);
    ASSERT_EQ(massif.Fiches.size(), 2u);
    ASSERT_EQ(massif.Fiches[0]->Galeries.size(), 2u);
    ASSERT_EQ(massif.Fiches[1]->Galeries.size(), 1u);
    EXPECT_EQ(Galerie(0, 0).Commentaire.Chaine(), "R\xE9seau principal");
    EXPECT_EQ(Point(Galerie(0, 0).Arrivee), "A2#1");
    EXPECT_EQ(Point(Galerie(1, 0).Arrivee), "A4#1");
    EXPECT_EQ(Visee(0, 1, 1).Gauche.str(), "0.5");
    EXPECT_EQ(Visee(0, 1, 1).Droite.str(), "");
    EXPECT_NEAR(Visee(1, 0, 1).Longueur, 700, 1e-9);
    EXPECT_EQ(Visee(1, 0, 1).Droite.str(), "1");  // widths given right first
    EXPECT_EQ(Galerie(1, 0).NbVisees, 2);         // the zero shot B2-A4 is dropped
    EXPECT_EQ(Galerie(1, 0).Couleur, 255);
    // The same massif, exactly, as the reader by columns gave for these files.
    EXPECT_EQ(attendu, Donnee("visualtopo_v4_massif.txt"));
    for (const char* nom : {"visualtopo_etoile.tro", "visualtopo_v5.tro"}) {
        SCOPED_TRACE(nom);
        TMassif m;
        ImporteVisualTopo(m, std::string(KARST_TEST_DATA) + "/" + nom, rapport);
        EXPECT_EQ(Decrit(m), attendu);
    }
}

TEST_F(ImportVisualTopoTest, FinsDeLigneDecideesPourToutLeFichier)
{
    // A lone CR inside a line of a CR LF file is a blank; CR, LF and CR LF files agree.
    const std::string lignes[] = {"Trou Gouffre,1.5,2.5,300,LT2",
                                  "Entree A0",
                                  "",
                                  "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std ;une\rnote;",
                                  "",
                                  "A0 A0 0.00 0.00 0.00 * * * *",
                                  "A0 A1 4.00 90.00 0.00 * * * * N ;fin\rde ligne;",
                                  "",
                                  "[Configuration 4.9]"};
    std::string attendu;
    for (const char* fin : {"\r\n", "\n", "\r"}) {
        std::string f;
        for (const std::string& l : lignes) {
            std::string t = l;
            if (std::string(fin) != "\r\n")
                t.erase(std::remove(t.begin(), t.end(), '\r'), t.end());
            f += t + fin;
        }
        TMassif m;
        ImporteVisualTopo(m, dossier.Ecrit("f.tro", f), rapport);
        const std::string d = Decrit(m);
        if (attendu.empty()) {
            attendu = d;
            ASSERT_EQ(m.Fiches.size(), 1u);
            EXPECT_EQ(m.Fiches[0]->Galeries[0]->Commentaire.Chaine(), "une note");
            EXPECT_EQ(m.Fiches[0]->Galeries[0]->Visee(2)->Commentaire.Chaine(), "[A0->A1] fin de ligne");
        } else {
            // Without the CRs the comments lose their blank.
            EXPECT_EQ(d, Remplace(Remplace(attendu, "une note", "unenote"), "fin de", "finde")) << fin;
        }
    }
}

TEST_F(ImportVisualTopoTest, ChampsSeparesParDesBlancsQuelleQueSoitLaColonne)
{
    // Long names push the columns; one or two flag letters follow the widths.
    Importe(kEnTete + "Param Topof 1.000 Gra Clino Gra 0.0000 Dir,Dir,Dir Dep 1,2,3 ;x;\n\n" +
            "A0                 A0   0 0 0 0 * * * * N\n" +
            "A0 Galerie_des_Grands_Noms 100 250.5 100.0 -5.0 1.5 * 2 0.5 N I ;vu;\n" +
            "* B2 * 400 50 3 * 1.25 * * I I\n");
    ASSERT_EQ(massif.Fiches.size(), 1u);
    const TGalerie& g = Galerie(0, 0);
    EXPECT_EQ(g.Couleur, 1 + 256 * 2 + 65536 * 3);
    ASSERT_EQ(g.NbVisees, 3);
    const TVisee& a = *g.Visee(2);
    EXPECT_NEAR(a.Longueur, 150.5, 1e-12);
    EXPECT_NEAR(a.Topofil, 100, 1e-12);
    EXPECT_NEAR(g.Visee(3)->Topofil, 250.5, 1e-12);  // "*": the previous end reading
    EXPECT_NEAR(a.Azimut, 100, 1e-12);
    EXPECT_NEAR(a.Pente, -5, 1e-12);
    EXPECT_EQ(a.Gauche.str(), "1.5");
    EXPECT_EQ(a.Droite.str(), "");
    EXPECT_EQ(a.Haut.str(), "2");
    EXPECT_EQ(a.Bas.str(), "0.5");
    EXPECT_EQ(a.Commentaire.Chaine(), "[A0->Galerie_des_Grands_Noms] vu");
    const TVisee& b = *g.Visee(3);
    EXPECT_NEAR(b.Longueur, 149.5, 1e-12);
    EXPECT_EQ(b.Droite.str(), "1.25");
    EXPECT_EQ(b.Commentaire.Chaine(), "[Galerie_des_Grands_Noms->B2]");
}

TEST_F(ImportVisualTopoTest, EtoileEnTeteDeBlocContinueLeBlocPrecedent)
{
    // The second block goes on from A2 and from the reading 700, with its own units.
    Importe(kEnTete + "Param Topof 1.000 Degd Clino Degd 0.0000 Dir,Dir,Dir Std\n\nA0 A0 0 0 0 0 * * * *\n" +
            "A0 A1 100 400 0 0 * * * *\n* A2 * 700 90 0 * * * *\n\n" +
            "Param Topof 2.000 Gra Clino Gra 0.0000 Inv,Dir,Dir Std\n\n* A3 * 750 100 10 * * * *\n\n");
    ASSERT_EQ(massif.Fiches.size(), 2u);
    EXPECT_EQ(Point(Galerie(0, 0).Arrivee), "A2#1");
    const TGalerie& g = Galerie(1, 0);
    EXPECT_EQ(Point(g.Depart), "A2#1");
    EXPECT_TRUE(g.Arrivee.Terminus);
    ASSERT_EQ(g.NbVisees, 1);
    EXPECT_NEAR(g.Visee(1)->Longueur, 100, 1e-12);  // (750 - 700) x 2
    EXPECT_EQ(g.Visee(1)->UniteAzimut, 6);
    EXPECT_EQ(g.Visee(1)->UnitePente, 1);
    EXPECT_EQ(g.Visee(1)->Commentaire.Chaine(), "[A2->A3]");
}

TEST_F(ImportVisualTopoTest, TrouSansRienApresZEtConfigurationSansLigneVide)
{
    Importe("Trou Gouffre,1.5,2.5,300\nEntree A0\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" +
            L("A0", "A0", "0", "0", "0") + "\n" + L("A0", "A1", "4", "0", "0") + "\n[Configuration 4.9]\n");
    EXPECT_EQ(massif.Fiches[0]->Cavite.Chaine(), "Gouffre");
    EXPECT_EQ(massif.Fiches[0]->Galeries[0]->NbVisees, 1);
    EXPECT_NEAR(massif.References[0]->Z, 300, 1e-12);
    // A keyword counts at the start of its line: elsewhere the same words are a caver's text.
    const std::string mots =
        kEnTete + "Club Parametres du Jura\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" +
        L("A0", "A0", "0", "0", "0") + "\n" + L("A0", "A1", "4", "0", "0") + " ;\xE9troit, voir [Configuration] ;\n" +
        L("A1", "A2", "4", "0", "0") + "\n\nParam Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std ;[Configuration ;\n" +
        L("A2", "A2", "0", "0", "0") + "\n" + L("A2", "A3", "4", "0", "0") + "\n\n[Configuration]\n";
    TMassif m;
    ImporteVisualTopo(m, dossier.Ecrit("mots.tro", mots), rapport);
    ASSERT_EQ(m.Fiches.size(), 2u);
    EXPECT_EQ(m.Fiches[0]->Galeries[0]->NbVisees, 2);
    EXPECT_EQ(m.Fiches[0]->Galeries[0]->Visee(1)->Commentaire.Chaine(), "[A0->A1] \xE9troit, voir [Configuration] ");
    EXPECT_EQ(m.Fiches[1]->Galeries[0]->Commentaire.Chaine(), "[Configuration ");
}

TEST_F(ImportVisualTopoTest, FichierRefuseLaisseLeMassifIntact)
{
    // Unreadable values, incomplete survey lines, files that yield no sheet.
    const std::string debut = kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" +
                              L("A0", "A0", "0", "0", "0") + "\n" + L("A0", "A1", "4", "0", "0") + "\n\n";
    const std::string param = kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n\n";
    auto nuls = [&](const char* ligne) {
        return "Le fichier " + dossier.Fichier("f.tro") + " est endommagé : ligne " + ligne +
               ", des octets nuls y remplacent le texte (copie interrompue ?)";
    };
    const std::string ligne = "Le fichier " + dossier.Fichier("f.tro") + ", ligne ";
    const std::vector<std::pair<std::string, std::string>> cas = {
        {debut + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A1", "A1", "0", "0", "0") + "\n" +
             L("A1", "A2", "4,5", "0", "0"),
         ligne + "10 : nombre illisible (4,5)"},
        {debut + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir 10,vert,3\n",
         ligne + "8 : couleur illisible (10,vert,3) : attendu Std ou rouge,vert,bleu de 0 à 255"},
        {"Trou Gouffre,1.5\nEntree A0\n",
         ligne + "1 : la ligne Trou doit donner le nom de la cavité, X, Y et Z séparés par des virgules"},
        {"Trou Gouffre,1.5,2,3\nEntree A0\n",
         "Le fichier " + dossier.Fichier("f.tro") +
             " ne contient aucune ligne Param : ce n'est pas un fichier VisualTopo."},
        {"Version 5.02\n" + std::string(8193, 'x') + "\n" + std::string(300'000, '\0'),
         "Le fichier " + dossier.Fichier("f.tro") +
             " n'est pas un fichier VisualTopo : sa ligne 2 dépasse les 8192 octets d'une ligne d'en-tête, "
             "avant toute ligne Param."},
        {param + "A0 A0 0 0 0 * * * *\nA0 A1 4.0 10 0 * * *\n",
         ligne + "7 : visée incomplète : 8 champs au lieu de 9 (DE, VERS, longueur, azimut, pente, deux largeurs et deux hauteurs)"},
        {kEnTete + "Param Topof 1.0 Degd Clino Degd 0.00 Dir,Dir,Dir\n\nA0 A1 0 100 10 0 * * * N ;1 2 3;\n",
         ligne + "6 : visée incomplète : 9 champs au lieu de 10 (DE, VERS, début et fin du topofil, azimut, pente, deux "
         "largeurs et deux hauteurs)"},
        {param + "A0 A0 0 0 0 * * * *\nA0 A1 0 10 0 * * * *\n\n[Configuration 5.02]\n",
         "Aucune fiche n'a été importée : toutes les visées du fichier " + dossier.Fichier("f.tro") +
             " sont de longueur nulle."},
        {param + "[Configuration 5.02]\n",
         "Aucune fiche n'a été importée : le fichier " + dossier.Fichier("f.tro") + " ne contient aucune visée."},
        {param + "* A1 4.0 10 0 * * * *\n", ligne + "6 : « * » ne suit aucune visée : la station de départ manque"},
        // Values the massif could store but its files would refuse on opening.
        {debut + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A1", "A1", "0", "0", "0") + "\n" +
             L("A1", "A2", "1e20", "0", "0"),
         ligne + "10 : la longueur 1E20 dépasse les valeurs admises"},
        {"Trou Gouffre,1e40,2,3\nEntree A0\n", ligne + "1 : la coordonnée X 1E40 dépasse les valeurs admises"},
        // A tail overwritten with zeros; a line that starts with NUL bytes.
        {debut + std::string(2048, '\0'), nuls("8")},
        {debut + std::string(300'000, '\0'),
         "Le fichier " + dossier.Fichier("f.tro") +
             " est endommagé : ligne 8, elle dépasse les 200701 octets qu'une ligne de ce fichier peut compter"},
        {param + std::string(3, '\0') + "A0 A1 4 0 0 * * * *\n\n", nuls("6")},
        // Bytes written over a line; a negative length, that would merge A0 and A1.
        {param + "A0 A1 4 0 0 * \x1B\xF3 *\nA1 A2 4 0 0 * * * *\n\n",
         "Le fichier " + dossier.Fichier("f.tro") +
             " est endommagé : ligne 6, l'octet de contrôle 0x1B n'a pas sa place dans un texte (fichier écrasé ?)"},
        {param + "A0 A1 -4 0 0 * * * *\nA1 A2 4 0 0 * * * *\n\n", ligne + "6 : la longueur -4 est négative"},
    };
    for (const auto& [contenu, message] : cas) {
        EXPECT_EQ(Refus([&, &texte = contenu] { Importe(texte); }), message);
        EXPECT_TRUE(massif.References.empty());
        EXPECT_TRUE(massif.Fiches.empty());
    }
}

TEST_F(ImportVisualTopoTest, IndicesLibresSansEgardALaCasse)
{
    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte("a0");
    g->Depart.Indice = 1;
    g->Arrivee.Terminus = true;
    f->Galeries.ajoute(std::move(g));
    massif.AjouteFiche(std::move(f), false);
    Importe(kEnTete + "Param Deca Degd Clino Degd 0.00 Dir,Dir,Dir Std\n" + L("A0", "A0", "0", "0", "0") + "\n" +
            L("A0", "A1", "4", "0", "0") + "\x1A");  // a DOS editor's end of text
    EXPECT_EQ(Point(*massif.References[0]), "A0#2");
    EXPECT_EQ(Point(Galerie(1, 0).Depart), "A0#2");
}

}  // namespace
}  // namespace karst::test
