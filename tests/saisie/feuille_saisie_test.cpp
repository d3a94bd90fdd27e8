// The sheet's rows without their grid: a sheet loaded into them and read back, with every
// refusal of a cell, the whole-grid copy and the spreadsheet import.

#include <gtest/gtest.h>

#include <optional>

#include "saisie/aide_fiches.h"
#include "saisie/feuille_saisie.h"

using namespace karst;
using namespace aide::colonnes;

namespace {

std::vector<std::string> Decoupe(const std::string& s, const std::string& separateur)
{
    std::vector<std::string> r;
    std::size_t debut = 0;
    for (auto p = s.find(separateur); p != std::string::npos; p = s.find(separateur, debut)) {
        r.push_back(s.substr(debut, p - debut));
        debut = p + separateur.size();
    }
    r.push_back(s.substr(debut));
    return r;
}

class Feuille : public ::testing::Test {
protected:
    Feuille() { prefs.ConstruitColonnes(); }

    TFiche* Fiche(std::initializer_list<int> visees) { return aide::FicheChainee(massif, visees); }

    // The rows of the layout with that sheet loaded: the row of gallery `galerie`'s first shot.
    int Charge(TFiche* fiche, int galerie = 0)
    {
        // The junctions of an earlier load are left in `noeuds`: the load drops them.
        f.Construit(&prefs);
        premier.emplace();
        fin.emplace();
        return f.ChargeFiche(*fiche, galerie, *premier, noeuds, *fin);
    }
    // The rows read back into `lue`; false once refused.
    bool Lit()
    {
        lue = std::make_unique<TFiche>();
        refus = f.LitGaleries(*lue, *premier, noeuds, *fin);
        return !refus;
    }
    // A one-gallery sheet A(1) -> B(1) whose shot row 2 gets `texte` in column `c`, read back.
    bool ValideAvec(int c, const std::string& texte, TFiche* fiche = nullptr)
    {
        Charge(fiche ? fiche : Fiche({1}));
        f.FixeTexte(2, c, texte);
        return Lit();
    }
    std::string DernierMessage() const { return refus ? refus->message : std::string(); }
    std::vector<std::string> Colonne(int c) const
    {
        std::vector<std::string> l;
        for (int r = 1; r < f.NbLignes(); ++r)
            l.push_back(f.Texte(r, c));
        return l;
    }

    TPreference_Ecran prefs;
    TMassif massif;
    FeuilleSaisie f;
    std::optional<TNoeud> premier;
    std::vector<std::unique_ptr<TNoeud>> noeuds;
    std::optional<TPointTopo> fin;
    std::unique_ptr<TFiche> lue;
    std::optional<RefusFeuille> refus;
};

}  // namespace

TEST_F(Feuille, ChargeUneEtDeuxGaleries)
{
    EXPECT_EQ(Charge(Fiche({3})), 2);
    EXPECT_EQ(Colonne(0), (std::vector<std::string>{"|->", "1", "2", "3", "->|"}));
    EXPECT_EQ(f.Texte(1, 1), "A(1)");
    EXPECT_EQ(f.Texte(5, 1), "B(1)");
    EXPECT_EQ(f.Texte(2, cLongueur), "10");
    EXPECT_EQ(f.Texte(4, cLongueur), "12");
    EXPECT_EQ(f.Texte(2, cAzimut), "45");
    EXPECT_EQ(f.Texte(2, cPente), "-5");
    EXPECT_EQ(f.Texte(2, cGauche), "1");
    EXPECT_EQ(f.Texte(2, cDroite), "2");
    EXPECT_EQ(f.Texte(2, cHauteur), "3");
    EXPECT_EQ(f.Texte(2, cUniteL), "m");

    TFiche* fiche = Fiche({2, 2});
    fiche->Galeries[1]->Depart.Nom.Affecte("");
    fiche->Galeries[1]->Depart.Indice = 2;
    fiche->Galeries[1]->Commentaire.Affecte("suite");
    Charge(fiche);  // loaded twice, as a sheet opened again is
    EXPECT_EQ(Charge(fiche, 1), 6);
    EXPECT_EQ(Colonne(0), (std::vector<std::string>{"|->", "1", "2", "->|", "|->", "3", "4", "->|"}));
    EXPECT_EQ(f.Texte(4, 1), "B(1)");
    EXPECT_EQ(f.Texte(5, 1), "*(2)");
    EXPECT_EQ(f.Texte(5, cObservations), "suite");
    ASSERT_EQ(noeuds.size(), 1u);
    EXPECT_EQ(noeuds[0]->Arrivee.Nom.Chaine(), "B");
    EXPECT_TRUE(Lit()) << DernierMessage();
}

TEST_F(Feuille, LongueursTopofilEtNulles)
{
    ASSERT_TRUE(ValideAvec(cLongueur, "12/15"));
    const TVisee& v = *lue->Galeries[0]->Visee(1);
    EXPECT_EQ(static_cast<double>(v.Longueur), 3.0);
    EXPECT_EQ(static_cast<double>(v.Topofil), 12.0);
    EXPECT_TRUE(v.AvecTopofil);
    EXPECT_FALSE(ValideAvec(cLongueur, "15/12"));
    EXPECT_EQ(DernierMessage(), "La longueur Topofil est négative");
    EXPECT_EQ(refus->ligne, 2);
    EXPECT_EQ(refus->colonne, cLongueur);
    EXPECT_FALSE(ValideAvec(cLongueur, "12/12.005"));
    EXPECT_EQ(DernierMessage(), "La longueur Topofil est négative");
    EXPECT_FALSE(ValideAvec(cLongueur, "12/x"));
    EXPECT_EQ(DernierMessage(), "Les longueurs Topofil ne sont pas correctes");
    EXPECT_FALSE(ValideAvec(cLongueur, "douze"));
    EXPECT_EQ(DernierMessage(), "La longueur n'est pas correcte");
    EXPECT_FALSE(ValideAvec(cLongueur, "-2"));
    EXPECT_EQ(DernierMessage(), "La longueur doit être positive");
    // A number too large for the files is refused, not lost.
    EXPECT_FALSE(ValideAvec(cLongueur, "1e300"));
    EXPECT_EQ(DernierMessage(), "La longueur n'est pas correcte");
    // So is one the files hold but the reduction could not square and sum, in metres, or
    // as the difference of two Topofil readings.
    EXPECT_FALSE(ValideAvec(cLongueur, "1e20"));
    EXPECT_EQ(DernierMessage(), "La longueur n'est pas correcte");
    EXPECT_EQ(refus->ligne, 2);
    EXPECT_EQ(refus->colonne, cLongueur);
    EXPECT_FALSE(ValideAvec(cLongueur, "-9e14/9e14"));
    EXPECT_EQ(DernierMessage(), "Les longueurs Topofil ne sont pas correctes");
    ASSERT_TRUE(ValideAvec(cLongueur, "1e15"));
    EXPECT_EQ(static_cast<double>(lue->Galeries[0]->Visee(1)->Longueur), 1e15);

    // The sample's topofil sheet shows its readings as the counter did, in tenths.
    TMassif exemple;
    exemple.NomFichier = KARST_EXAMPLES "/pierrefeu.mas";
    ASSERT_EQ(exemple.Charge().etat, EtatChargement::Charge);
    Charge(exemple.Fiches.back());
    const auto dixiemes = [](const std::string& t) {  // "n.n/n.n", decimals optional
        const auto barre = t.find('/'), point = t.find('.'), dernier = t.rfind('.');
        return barre != std::string::npos && t.find_first_not_of("0123456789./") == std::string::npos &&
               (point == std::string::npos || point + 2 == barre || point + 2 == t.size()) &&
               (dernier == std::string::npos || dernier + 2 == t.size() || dernier + 2 == barre);
    };
    const auto l = Colonne(cLongueur);
    EXPECT_EQ(std::count_if(l.begin(), l.end(), dixiemes), 41);

    // A first shot of zero length between two stations leaves the gallery empty.
    EXPECT_FALSE(ValideAvec(cLongueur, "-0.0005"));
    EXPECT_EQ(DernierMessage(), "Il doit y avoir au moins une visée entre deux carrefours");
    EXPECT_EQ(refus->ligne, 3);
    EXPECT_EQ(refus->colonne, 1);
    TFiche* fiche = Fiche({1});
    fiche->Galeries[0]->Depart.Terminus = true;
    ASSERT_TRUE(ValideAvec(cLongueur, "0", fiche));
    EXPECT_TRUE(lue->Galeries[0]->PremiereViseeNulle);
    // Zero on the second shot is refused.
    Charge(Fiche({2}));
    f.FixeTexte(3, cLongueur, "0");
    EXPECT_FALSE(Lit());
    EXPECT_EQ(DernierMessage(), "La longueur ne doit pas être nulle");
}

TEST_F(Feuille, LimitesDesPentesEtDesAzimuts)
{
    struct Cas {
        int colonne;
        const char* texte;
        const char* unite;    // in the unit column after the value's
        const char* message;  // nullptr: accepted
    };
    const Cas cas[] = {
        {cPente, "90.5", "°", nullptr},
        {cPente, "91", "°", "La pente doit être inférieure à 90°."},
        {cPente, "-90.9", "°", nullptr},
        {cPente, "100.1", "gr", nullptr},
        {cPente, "100.15", "gr", "La pente doit être inférieure à 100°."},
        {cPente, "150", "-°", nullptr},
        {cPente, "181", "°vul", "La pente Vulcain doit être entre 0 et 180°."},
        {cPente, "180.9", "°vul", nullptr},
        {cPente, "-0.9", "°vul", nullptr},
        {cPente, "-1", "°vul", "La pente Vulcain doit être entre 0 et 180°."},
        {cPente, "1000", "cm", nullptr},  // 10 m over a length of 10 m
        {cPente, "1001", "cm", "La pente doit être inférieure à la longueur."},
        {cPente, "5", "m", nullptr},  // length 10
        {cPente, "11", "m", "La pente doit être inférieure à la longueur."},
        {cPente, "pente", "°", "La pente n'est pas correcte"},
        {cPente, "5", "degres", "L'unité de pente n'est pas correcte."},
        {cAzimut, "360.5", "°", nullptr},
        {cAzimut, "361", "°", "L'azimut doit être compris entre 0 et 360°."},
        {cAzimut, "-0.5", "°", nullptr},
        {cAzimut, "-1", "°", "L'azimut doit être compris entre 0 et 360°."},
        {cAzimut, "400.9", "gr", nullptr},
        {cAzimut, "401", "gr", "L'azimut doit être compris entre 0 et 400 gr."},
        {cAzimut, "-0.9", "gr", nullptr},
        {cAzimut, "-1", "gr", "L'azimut doit être compris entre 0 et 400 gr."},
    };
    for (const Cas& c : cas) {
        Charge(Fiche({1}));
        f.FixeTexte(2, c.colonne + 1, c.unite);
        f.FixeTexte(2, c.colonne, c.texte);
        const bool ok = Lit();
        EXPECT_EQ(ok, c.message == nullptr) << c.texte << " " << c.unite;
        if (c.message) {
            EXPECT_EQ(DernierMessage(), c.message) << c.texte;
        }
    }
    // Corrections keep to those bounds: a whole turn is 0; a slope past the vertical, in
    // grades or as a height difference over the length (10 m, or 10 m written in cm), is
    // refused with its shot named.
    struct Correction {
        const char *unite, *texte, *ajout, *attendu;
        bool longueurCm = false;
    };
    const Correction corrections[] = {
        {"°", "359.9", "0.1", "0.0"},
        {"°", "359.9999999999999999", "0", "0.000000000000000"},  // written with 15 decimals: 360
        {"gr", "95", "5", "100"},
        {"gr", "95", "5.5", "(100.5 gr)"},
        {"m", "5", "5", "10"},
        {"m", "5", "5.5", "(10.5 m)"},
        {"cm", "900", "100", "1000"},
        {"cm", "900", "101", "(1001 cm)"},
        {"m", "5", "5", "10", true},
        {"m", "5", "5.5", "(10.5 m)", true},
    };
    for (const Correction& c : corrections) {
        const int colonne = c.unite == std::string("°") ? cAzimut : cPente;
        Charge(Fiche({1}));
        f.FixeTexte(2, colonne + 1, c.unite);
        f.FixeTexte(2, colonne, c.texte);
        if (c.longueurCm) {
            f.FixeTexte(2, cLongueur, "1000");
            f.FixeTexte(2, cUniteL, "cm");
        }
        bool modifie = false;
        const std::string attendu = c.attendu[0] != '(' ? c.attendu
                                                        : "La pente de la visée 1 passerait la verticale " +
                                                              std::string(c.attendu) + " : aucune pente n'a été corrigée.";
        EXPECT_EQ(f.Corrige(colonne, c.ajout, 1, 3, modifie).value_or(f.Texte(2, colonne)), attendu) << c.texte;
    }
    // Slope 4 m over 400 cm passes.
    Charge(Fiche({1}));
    f.FixeTexte(2, cLongueur, "400");
    f.FixeTexte(2, cUniteL, "CM");
    f.FixeTexte(2, cUniteP, "m");
    f.FixeTexte(2, cPente, "4");
    EXPECT_TRUE(Lit()) << DernierMessage();
    EXPECT_EQ(lue->Galeries[0]->Visee(1)->UniteLongueur, 1);
    EXPECT_FALSE(ValideAvec(cUniteL, "km"));
    EXPECT_EQ(DernierMessage(), "L'unité de longueur doit être en m ou cm.");
    // 128 shots make a gallery; a 129th is refused on its row.
    Charge(Fiche({128}));
    EXPECT_TRUE(Lit()) << DernierMessage();
    f.InsereVisee(3, 2);
    for (const auto& [c, t] : {std::pair{cLongueur, "5"}, {cAzimut, "1"}, {cPente, "0"}})
        f.FixeTexte(3, c, t);
    EXPECT_FALSE(Lit());
    EXPECT_EQ(DernierMessage(), "Une galerie ne peut pas avoir plus de 128 visées.");
    EXPECT_EQ(refus->ligne, 130);
}

TEST_F(Feuille, LargeursHauteursEtDrapeaux)
{
    prefs.GLargeur.DeuxColonnes = false;
    prefs.GHauteur.Separateur = ':';
    prefs.GDeveloppement.Affiche = true;
    prefs.ConstruitColonnes();
    // Point, L, u, A, u, P, u, Largeur, u, Hauteur, u, Croquis, Observations, flag, value.
    const int largeur = 8, hauteur = 10, croquis = 12, drapeau = 14, valeur = 15;
    ASSERT_TRUE(ValideAvec(largeur, "1.5/2"));
    EXPECT_EQ(f.TypeColonne(drapeau), TPreference_Ecran::DrapeauDeveloppement);
    const TVisee* v = lue->Galeries[0]->Visee(1);
    EXPECT_EQ(v->Gauche.str(), "1.5");
    EXPECT_EQ(v->Droite.str(), "2");
    ASSERT_TRUE(ValideAvec(largeur, "3"));
    v = lue->Galeries[0]->Visee(1);
    EXPECT_EQ(v->Gauche.str(), "3");
    EXPECT_EQ(v->Droite.str(), "");
    EXPECT_FALSE(ValideAvec(largeur, "12345678901/2"));
    EXPECT_EQ(DernierMessage(), "La définition de la largeur doit être inférieure à dix.");
    ASSERT_TRUE(ValideAvec(hauteur, "4:0.5"));
    v = lue->Galeries[0]->Visee(1);
    EXPECT_EQ(v->Haut.str(), "4");
    EXPECT_EQ(v->Bas.str(), "0.5");
    EXPECT_FALSE(ValideAvec(croquis, "grand"));
    EXPECT_EQ(DernierMessage(), "La taille du schéma doit être numérique.");
    EXPECT_FALSE(ValideAvec(croquis, "256"));
    EXPECT_EQ(DernierMessage(), "La taille du schéma doit être comprise entre 0 et 255.");
    ASSERT_TRUE(ValideAvec(croquis, "255"));
    EXPECT_EQ(lue->Galeries[0]->Visee(1)->TailleSchema, 255);

    ASSERT_TRUE(ValideAvec(drapeau, "o"));
    EXPECT_TRUE(lue->Galeries[0]->Visee(1)->AvecCorrDeveloppement);
    for (const char* texte : {"oui", ""}) {
        EXPECT_FALSE(ValideAvec(drapeau, texte));
        EXPECT_EQ(DernierMessage(), "Mettre O ou N pour la demande de correction de développemnt.");
    }
    ASSERT_TRUE(ValideAvec(valeur, "12.5"));
    EXPECT_EQ(static_cast<double>(lue->Galeries[0]->Visee(1)->CorrDeveloppement), 12.5);
    EXPECT_FALSE(ValideAvec(valeur, "x"));
    EXPECT_EQ(DernierMessage(), "La correction du développement doit être numérique.");
    TFiche* corrigee = Fiche({1});
    corrigee->Galeries[0]->Visee(1)->CorrDeveloppement = 1234.5L;  // shown whole, kept by another cell's edit
    ASSERT_TRUE(ValideAvec(croquis, "1", corrigee));
    EXPECT_EQ(static_cast<double>(lue->Galeries[0]->Visee(1)->CorrDeveloppement), 1234.5);

    // What the layout hides stays the shot's through an edit; a shot inserted takes the defaults.
    TVisee& cachee = *corrigee->Galeries[0]->Visee(1);
    cachee.CorrHorizontale = 123.45L;
    cachee.AvecCorrHorizontale = cachee.AvecCorrDeveloppement = true;
    cachee.UniteLargeur = kUniteCentimetres;
    cachee.Commentaire.Affecte("voir");
    prefs.GDeveloppement.Affiche = false;
    prefs.GLargeur.Position = prefs.GCommentaires.Position = 0;
    prefs.ConstruitColonnes();
    Charge(corrigee);
    f.InsereVisee(2, 1);
    for (const auto& [c, t] : {std::pair{cLongueur, "5"}, {cAzimut, "10"}, {cPente, "0"}})
        f.FixeTexte(2, c, t);
    ASSERT_TRUE(Lit()) << DernierMessage();
    const TVisee &nouvelle = *lue->Galeries[0]->Visee(1), &gardee = *lue->Galeries[0]->Visee(2);
    EXPECT_EQ(nouvelle.AvecCorrHorizontale || nouvelle.UniteLargeur || nouvelle.Gauche.str() != "", false);
    EXPECT_EQ(gardee.CorrHorizontale.d(), Reel6(123.45L).d());
    EXPECT_EQ(gardee.CorrDeveloppement.d(), 1234.5);
    EXPECT_TRUE(gardee.AvecCorrHorizontale && gardee.AvecCorrDeveloppement);
    EXPECT_EQ(gardee.Gauche.str() + gardee.Droite.str() + gardee.Commentaire.Chaine(), "12voir");
    EXPECT_EQ(gardee.UniteLargeur, kUniteCentimetres);
    f.EffaceSelection({3, 1, 3, f.NbColonnes() - 1}, true);  // cut whole, then typed anew
    for (const auto& [c, t] : {std::pair{cLongueur, "6"}, {cAzimut, "10"}, {cPente, "0"}})
        f.FixeTexte(3, c, t);
    ASSERT_TRUE(Lit()) << DernierMessage();
    EXPECT_FALSE(lue->Galeries[0]->Visee(2)->AvecCorrHorizontale);
}

TEST_F(Feuille, ToutCopier)
{
    Charge(Fiche({2}));
    const std::vector<std::string> lignes = Decoupe(f.TexteGrille({1.0L}), "\r\n");
    ASSERT_EQ(lignes.size(), 6);  // five rows, then nothing after the last line end
    EXPECT_EQ(lignes[0],
              "Point\tLongueur\t\tAzimut\t\tPente\t\tLargeur G\tLargeur D\t\tHauteur\t\tCroquis\tObservations");
    EXPECT_EQ(lignes[1], "A(1)\t1\t\t\t\t\t\t\t\t\t\t\t\t");
    EXPECT_EQ(lignes[2], "\t10\tm\t45\t°\t-5\t°\t1\t2\tm\t3\tm\t\t");
    EXPECT_EQ(lignes[5], "");
}

TEST_F(Feuille, ImportDUnTableur)
{
    f.Construit(&prefs);
    f.InsereStation(1, FeuilleSaisie::kDepart, {}, "Terminus");
    const int avant = f.NbLignes();
    EXPECT_FALSE(f.ImporteTexte(TexteUtf8("1\t2\t3\r\n4\t5\t6\r\n7\t8\t9\r\n"), {}, 2, false));
    EXPECT_EQ(f.NbLignes(), avant + 3);
    EXPECT_EQ(f.Texte(2, 2), "1");
    EXPECT_EQ(f.Texte(2, 3), "m");  // unit columns are passed over
    EXPECT_EQ(f.Texte(2, 4), "2");
    EXPECT_EQ(f.Texte(4, 6), "9");
    EXPECT_EQ(f.Texte(5, 2), "");

    // A ',' is a '.' in the number columns only, and a skipped field moves nothing.
    EXPECT_FALSE(f.ImporteTexte(TexteUtf8("12,5\t99\t45\t-3\t\t\t\t\tPassage étroit, boueux\r\n"), {2}, 5, false));
    EXPECT_EQ(f.Texte(5, 2), "12.5");
    EXPECT_EQ(f.Texte(5, cObservations), "Passage étroit, boueux");
    EXPECT_EQ(f.Texte(5, 4), "45");
    EXPECT_EQ(f.Texte(5, 6), "-3");
    // Lines ended by a bare LF keep their last field.
    EXPECT_FALSE(f.ImporteTexte(TexteUtf8("1\t2\t3\n4\t5\t6\tpuits été"), {}, 6, false));
    EXPECT_EQ(f.Texte(6, 6), "3");
    EXPECT_EQ(f.Texte(7, 2), "4");
    EXPECT_EQ(f.Texte(7, 6), "6");
    EXPECT_EQ(f.Texte(7, 8), "puits été");
    // A spreadsheet quotes a cell holding a line break, a TAB or a quote: the line stays whole.
    EXPECT_FALSE(f.ImporteTexte(TexteUtf8("1\t2\t3\t\t\t\t\t\"passage\r\nbas\t\"\"B\"\"\"\r\n4\r\n"), {}, 6, false));
    EXPECT_EQ(f.Texte(6, cObservations), "passage bas\t\"B\"");
    EXPECT_EQ(f.Texte(7, 2), "4");
    // A width pair in one column under the separator ',' keeps "1,5" as its two parts.
    prefs.GLargeur.DeuxColonnes = false;
    prefs.GLargeur.Separateur = ',';
    prefs.ConstruitColonnes();
    f.Construit(&prefs);
    EXPECT_FALSE(f.ImporteTexte(TexteUtf8("1\t2\t3\t1,5"), {}, 2, false));
    EXPECT_EQ(f.Texte(2, 8), "1,5");
}

TEST_F(Feuille, CollerCouperEffacer)
{
    // Shots 10, 11, 12 m at 45° and -5° on rows 2 to 4, between A(1) on row 1 and B(1) on row 5.
    struct Cas {
        const char* texte;
        int ligne, colonne;
        const char* refus;  // empty: pasted
        const char* apres;  // columns 2 to 7 of the row
    };
    const Cas cas[] = {
        {"5\tM\t100\tGR", 2, cLongueur, "", "5\tm\t100\tgr\t-5\t°"},
        {"6\t\t50\r\n", 3, cLongueur, "", "6\tm\t50\t°\t-5\t°"},  // an empty unit keeps the cell's
        {"5\tm\t100\t gon", 2, cLongueur, "Ligne 1 du texte collé, colonne « Azimut » : unité « gon » inconnue.",
         "10\tm\t45\t°\t-5\t°"},
        // The last shot before the final point: only the station rule speaks.
        {"31\r\n32\r\n33\r\n34\r\n", 4, cLongueur,
         "Ligne 2 du texte collé : elle tomberait sur la ligne de la station « B(1) », qui ne reçoit pas de visée. "
         "Rien n'a été collé.",
         "12\tm\t45\t°\t-5\t°"},
        // Quoted fields as a spreadsheet copies them: a line break inside is no line's end.
        {"\"5\"\"\"\t\"c\r\nm\"\r\n", 2, cLongueur,
         "Ligne 1 du texte collé, colonne « Longueur » : unité « c m » inconnue.", "10\tm\t45\t°\t-5\t°"},
        // A whole row, as its header copies it, lands on whole rows from any of its cells.
        {"\t7.8\tcm\t100\tgr\t1\t°\t\t\t\t\t\t\tnote", 3, cAzimut, "", "7.8\tcm\t100\tgr\t1\t°"},
    };
    for (const Cas& c : cas) {
        Charge(Fiche({3}));
        bool modifie = false;
        const auto colle = f.ColleTexte(TexteUtf8(c.texte), c.ligne, c.colonne, true, modifie);
        EXPECT_EQ(colle.value_or(""), c.refus) << c.texte;
        EXPECT_EQ(modifie, !*c.refus) << c.texte;
        EXPECT_EQ(f.TexteSelection({c.ligne, 2, c.ligne, 7}), c.apres) << c.texte;
    }
    EXPECT_EQ(f.Texte(3, cObservations), "note");
    // A text that starts with a quote is copied quoted, as a spreadsheet reads it back.
    f.FixeTexte(3, cObservations, "\"AV9\" bas");
    EXPECT_EQ(f.TexteSelection({3, cObservations, 3, cObservations}), "\"\"\"AV9\"\" bas\"");

    // A cut empties the values and puts the units back to their columns' defaults; Delete
    // keeps the units.
    const BlocCellules bloc{2, cLongueur, 3, cAzimut};
    for (const bool coupe : {true, false}) {
        Charge(Fiche({3}));
        f.FixeTexte(3, cUniteL, "cm");
        EXPECT_EQ(f.TexteSelection(bloc), "10\tm\t45\r\n11\tcm\t45");
        EXPECT_TRUE(f.EffaceSelection(bloc, coupe));
        EXPECT_EQ(f.TexteSelection(bloc), coupe ? "\tm\t\r\n\tm\t" : "\tm\t\r\n\tcm\t");
        EXPECT_FALSE(f.EffaceSelection(bloc, coupe));
    }

    // Without a final point the grid grows up to its bound, and the count says what it takes.
    f.Construit(&prefs);
    bool modifie = false;
    std::string mille;
    for (int k = 0; k < 998; ++k)
        mille += "1\n";
    EXPECT_EQ(
        f.ColleTexte(TexteUtf8(mille), 3, cLongueur, false, modifie).value_or(""),
        "Le texte collé compte 998 lignes : à partir de la cellule choisie, la grille ne peut en recevoir que 997.");
    // An import refuses a line on a station row in the same words.
    Charge(Fiche({3}));
    EXPECT_EQ(f.ImporteTexte(TexteUtf8("31\r\n32\r\n"), {}, 4, true).value_or(""),
              "Ligne 2 du texte importé : elle tomberait sur la ligne de la station « B(1) », qui ne reçoit pas de "
              "visée. Rien n'a été importé.");
    EXPECT_EQ(f.Texte(4, cLongueur), "12");
}
