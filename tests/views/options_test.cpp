// Model files of the view options: exact bytes of the defaults, loading back, and the
// reading rules for short or damaged files.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "boite_reelle.h"
#include "platform/interlocuteur.h"
#include "survey/aide_fichiers.h"
#include "views/options.h"
#include "views/vues_factices.h"

using namespace karst;
using essai::Contenu;
using essai::Ecrit;

namespace {

std::string Golden(const char* nom) { return Contenu(std::string(KARST_TEST_DATA) + "/modeles/" + nom); }

class Modeles : public ::testing::Test {
public:
    QTemporaryDir dir;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::string Chemin(const char* nom) { return dir.filePath(QString::fromLatin1(nom)).toStdString(); }
};

// Saving an object and comparing with the hand-made file; then loading the file into an
// object whose fields were changed and saving it again gives the same bytes.
template <typename T, typename Change>
void AllerRetour(Modeles& m, const char* golden, Change change)
{
    const std::string attendu = Golden(golden);
    ASSERT_FALSE(attendu.empty());
    T defaut;
    const std::string a = m.Chemin("a");
    defaut.Sauve(a);
    EXPECT_EQ(Contenu(a), attendu) << golden;

    T autre;
    change(autre);
    const std::string b = m.Chemin("b");
    autre.Sauve(b);
    EXPECT_NE(Contenu(b), attendu) << golden;
    autre.Charge(a);
    autre.Sauve(b);
    EXPECT_EQ(Contenu(b), attendu) << golden;
}

}  // namespace

TEST_F(Modeles, DefautsOctetPourOctetEtRelecture)
{
    AllerRetour<TOptions_Plan>(*this, "defaut.pla", [](TOptions_Plan& o) {
        o.Affiche_Quadri = true;
        o.Texte_Nord = "Nord";
        o.Angle = 12.5L;
        o.Longueur_Quadri = 7;
        o.Police_Station = TPolice("Arial", -20);
        o.Epaisseur_Largeur = 4;
        o.AlaFin = false;
    });
    AllerRetour<TOptions_Relief>(*this, "defaut.per", [](TOptions_Relief& o) {
        o.Z_Inverse = true;
        o.Z_Echelle = -3;
        o.Couleur_Cadre = 0xFF;
        o.Largeur_3D = 2.0f;
        o.N_Face = 6;
        o.Filaire = true;
    });
    AllerRetour<TOptions_Coupe>(*this, "defaut.cou", [](TOptions_Coupe& o) {
        o.NbEchelles = 1;
        o.Echelles[1].Nom = "A";
        o.Origine = false;
        o.Epaisseur_hauteur = 9;
    });
    AllerRetour<TOptions_Tableau>(*this, "defaut.tabl", [](TOptions_Tableau& o) {
        o.Titre2[3] = "deg";
        o.Ordre[1] = 2;
        o.Ordre[2] = 1;
        o.EnTetePolice[11][1].Nom = "Courier";
        o.EnPlan = true;
        o.PointZero.Nom.Affecte("B12");
        o.PointZero.Z = 104.5L;
    });
    AllerRetour<TMarge>(*this, "defaut.mar", [](TMarge& o) {
        o.Bas = 3;
        o.PositionEtiquette[2] = 2;
        o.AfficheEtiquette[1] = false;
        o.EpaisseurAngle = 6;
    });
}

TEST_F(Modeles, DefautsDesTroisTailles)
{
    TOptions_Tableau t;
    EXPECT_EQ(t.Ordre[7], 7);
    EXPECT_EQ(t.Largeur[10], 60);
    EXPECT_EQ(t.Largeur[9], 20);
    EXPECT_EQ(t.Titre1[9].str(), "Dev H");
    EXPECT_EQ(t.Separateur[13], '/');
    TMarge m;
    EXPECT_EQ(m.Police.Nom, "Arial");
    EXPECT_EQ(m.Police.Taille(), 9);
    TOptions_Plan p;
    EXPECT_EQ(p.Police_Nord.Taille(), 8);
}

TEST_F(Modeles, FichierAbsentNeChangeRienEtNeCreeRien)
{
    TMarge m;
    m.Gauche = 42;
    const std::string nom = Chemin("absent.mar");
    m.Charge(nom);
    EXPECT_EQ(m.Gauche, 42);
    EXPECT_FALSE(std::filesystem::exists(nom));
    TOptions_Tableau t;
    t.Charge(nom);
    EXPECT_FALSE(std::filesystem::exists(nom));
}

TEST_F(Modeles, QueuesFacultatives)
{
    // .MAR of 39 + n bytes: the corner thickness keeps its value.
    std::string mar = Golden("defaut.mar");
    mar.resize(44);
    mar[0] = 25;
    Ecrit(Chemin("court.mar"), mar);
    TMarge m;
    m.EpaisseurAngle = 7;
    m.Charge(Chemin("court.mar"));
    EXPECT_EQ(m.Gauche, 25);
    EXPECT_EQ(m.EpaisseurAngle, 7);

    // .PER ending after Cylindre: Filaire unchanged.
    std::string per = Golden("defaut.per");
    per.resize(242);
    per[242 - 1] = 1;  // Cylindre
    Ecrit(Chemin("court.per"), per);
    TOptions_Relief r;
    r.Filaire = true;
    r.Charge(Chemin("court.per"));
    EXPECT_TRUE(r.Cylindre);
    EXPECT_TRUE(r.Filaire);

    // .TABL ending after PoliceCarrefour: the reference station and the two flags keep
    // their values.
    std::string tabl = Golden("defaut.tabl");
    tabl.resize(2373);
    Ecrit(Chemin("court.tabl"), tabl);
    TOptions_Tableau t;
    t.EnAltitude = true;
    t.PointZero.Nom.Affecte("P");
    t.PointZero.Indice = 3;
    t.Charge(Chemin("court.tabl"));
    EXPECT_TRUE(t.EnAltitude);
    EXPECT_EQ(t.PointZero.Nom.Chaine(), "P");
    EXPECT_EQ(t.PointZero.Indice, 3);
}

TEST_F(Modeles, FichierTronqueOuHorsLimitesRefuseEntier)
{
    // Ends one byte into Long_Nord (offset 57): the file is refused, nothing is taken.
    std::string pla = Golden("defaut.pla");
    pla.resize(58);
    pla[57] = 0x05;
    Ecrit(Chemin("c.pla"), pla);
    TOptions_Plan p;
    p.Long_Nord = 0x0301;
    p.Subdivision = 9;
    try {
        p.Charge(Chemin("c.pla"));
        ADD_FAILURE();
    } catch (const ErreurFichierEndommage& e) {
        EXPECT_EQ(std::string(e.what()), "Le fichier " + Chemin("c.pla") + " est endommagé ou tronqué");
    }
    EXPECT_EQ(p.Long_Nord, 0x0301);
    EXPECT_EQ(p.Subdivision, 9);

    // Each byte a value no dialog gives: 2,000,000,000 cylinder faces, a Boolean of 2, a
    // pitch of 3, a colour beyond 24 bits, a grid step of -1.
    const std::string per = Golden("defaut.per");
    for (auto [fichier, position, octets] :
         {std::tuple{"defaut.per", std::size_t{95 + 3 * 38 + 16}, std::string("\x00\x94\x35\x77", 4)},
          std::tuple{"defaut.per", std::size_t{6}, std::string("\x02")},
          std::tuple{"defaut.per", std::size_t{95 + 13 + 15}, std::string("\x03")},
          std::tuple{"defaut.per", std::size_t{91 + 3}, std::string("\x01")},
          std::tuple{"defaut.pla", std::size_t{55 + 2 * 11}, std::string("\xFF\xFF")}}) {
        std::string o = Golden(fichier);
        o.replace(position, octets.size(), octets);
        Ecrit(Chemin("h"), o);
        TOptions_Relief r;
        TOptions_Plan q;
        EXPECT_THROW(fichier == std::string("defaut.per") ? r.Charge(Chemin("h")) : q.Charge(Chemin("h")),
                     ErreurFichierEndommage)
            << position;
        EXPECT_EQ(r.N_Face, 10);
        EXPECT_EQ(q.Pas, 0);
    }
}

TEST_F(Modeles, PoliceLueTailleEnDernier)
{
    // Height -11, 96 pixels per inch, size 8: 8 x 96 / 72 = 10.67, height -11.
    std::string pla = Golden("defaut.pla");
    TOptions_Plan p;
    p.Police_Nord.Hauteur = -30;
    Ecrit(Chemin("p.pla"), pla);
    p.Charge(Chemin("p.pla"));
    EXPECT_EQ(p.Police_Nord.Hauteur, -11);
    // Size 12 at 120 pixels per inch gives height -20 whatever the height field says.
    const std::size_t police = 83;
    pla[police + 5] = static_cast<char>(-3);  // height -3
    pla[police + 13 + 15 + 1] = 120;          // pixels per inch
    pla[police + 13 + 15 + 5] = 12;           // size
    Ecrit(Chemin("p.pla"), pla);
    p.Charge(Chemin("p.pla"));
    EXPECT_EQ(p.Police_Nord.PixelsParPouce, 120);
    EXPECT_EQ(p.Police_Nord.Hauteur, -20);
}

TEST_F(Modeles, PolicePerdueEchapLaGarde)
{
    // The box on the screen, closed with Escape: the font is written unchanged.
    test::AssureApplication();
    TOptions_Plan p;
    p.Police_Echelle.Hauteur = -150;
    Interlocuteur::Installe(nullptr);
    const auto vue = ecran::RepondBoite(Qt::Key_Escape);
    p.Sauve(Chemin("e.pla"));
    Interlocuteur::Installe(&invite);
    EXPECT_TRUE(vue->vue);
    EXPECT_EQ(vue->texte, QStringLiteral("Perte de police. Réinitialisation ?"));
    EXPECT_EQ(vue->icone, QMessageBox::Warning);
    EXPECT_EQ(Contenu(Chemin("e.pla")).substr(121 + 5, 4), std::string("\x6A\xFF\xFF\xFF", 4));
    EXPECT_EQ(p.Police_Echelle.Hauteur, -150);
}

TEST_F(Modeles, PolicePerdueProposeLaReinitialisation)
{
    TOptions_Plan p;
    p.Police_Echelle.Hauteur = -150;
    p.Police_Echelle.Nom = "Arial";
    invite.reponses = {Bouton::Non};
    p.Sauve(Chemin("n.pla"));
    ASSERT_EQ(invite.messages.size(), 1u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Perte de police. Réinitialisation ?"));
    EXPECT_EQ(invite.messages[0].boutons, (std::vector<Bouton>{Bouton::Non, Bouton::OK}));
    // The second font record starts at 83 + 38; its height is written unchanged (the
    // size beside it, 113 points, gives -151 once read back).
    const std::string o = Contenu(Chemin("n.pla"));
    EXPECT_EQ(o.substr(121 + 5, 4), std::string("\x6A\xFF\xFF\xFF", 4));
    TOptions_Plan relu;
    relu.Charge(Chemin("n.pla"));
    EXPECT_EQ(relu.Police_Echelle.Hauteur, -151);

    invite.reponses = {Bouton::OK};
    p.Sauve(Chemin("o.pla"));
    EXPECT_EQ(p.Police_Echelle, TPolice());
    EXPECT_EQ(Contenu(Chemin("o.pla")), Golden("defaut.pla"));
}

TEST_F(Modeles, ContenusHorsLimitesGardentLesValeurs)
{
    // More than 50 vertical scales: nothing from the count on is taken.
    std::string cou = Golden("defaut.cou");
    cou[36] = 60;
    Ecrit(Chemin("x.cou"), cou);
    TOptions_Coupe c;
    c.Police_Station.Nom = "Arial";
    EXPECT_THROW(c.Charge(Chemin("x.cou")), ErreurFichierEndommage);
    EXPECT_EQ(c.NbEchelles, 0);
    EXPECT_EQ(c.Police_Station.Nom, "Arial");

    // A font-name length beyond the file: the font and what follows keep their values.
    std::string mar = Golden("defaut.mar");
    mar[16 + 9] = static_cast<char>(0xE8);
    mar[16 + 10] = 0x03;  // 1000
    Ecrit(Chemin("x.mar"), mar);
    TMarge m;
    m.EpaisseurAngle = 5;
    m.Police.Nom = "Courier";
    EXPECT_THROW(m.Charge(Chemin("x.mar")), ErreurFichierEndommage);
    EXPECT_EQ(m.Police.Nom, "Courier");
    EXPECT_EQ(m.EpaisseurAngle, 5);
    EXPECT_EQ(m.LongueurAngle, 30);

    // A column order that is not a permutation or a title longer than its 25 characters:
    // nothing is read.
    std::string tabl = Golden("defaut.tabl");
    tabl[689] = 2;   // Ordre[1] = 2: twice 2
    tabl[52] = 30;   // Titre1[2] length 30
    tabl[715] = 33;  // Largeur[1]
    Ecrit(Chemin("x.tabl"), tabl);
    TOptions_Tableau t;
    t.Ordre[1] = 5;
    t.Ordre[5] = 1;
    EXPECT_THROW(t.Charge(Chemin("x.tabl")), ErreurFichierEndommage);
    EXPECT_EQ(t.Ordre[1], 5);
    EXPECT_EQ(t.Ordre[5], 1);
    EXPECT_EQ(t.Titre1[2].str(), "Az");
    EXPECT_EQ(t.Largeur[1], 20);
}

TEST_F(Modeles, EchellesVerticalesEtOctetsReserves)
{
    TOptions_Coupe c;
    c.NbEchelles = 2;
    c.Echelles[2].Xdev = 150.25L;
    c.Echelles[2].Decalage = -4;
    c.Echelles[2].ZMin = -20;
    c.Echelles[2].ZMax = 35;
    c.Echelles[2].Gauche = true;
    c.Echelles[2].Libelle = "Puits";
    c.Echelles[2].Nom = "ENTREE";
    c.Echelles[2].Indice = 4;
    c.Echelles[2].Reserve2 = {1, 2, 3, 4, 5, 6};
    c.Sauve(Chemin("e.cou"));
    const std::string o = Contenu(Chemin("e.cou"));
    ASSERT_EQ(o.size(), 171u + 2 * 88);
    const std::size_t r2 = 38 + 88;
    EXPECT_EQ(o[r2 + 12], static_cast<char>(-20));
    EXPECT_EQ(o[r2 + 16], 1);
    EXPECT_EQ(o.substr(r2 + 17, 6), std::string("\x05Puits", 6));
    EXPECT_EQ(o.substr(r2 + 28, 7), std::string("\x06"
                                                "ENTREE",
                                                7));
    EXPECT_EQ(o[r2 + 80], 4);
    EXPECT_EQ(o.substr(r2 + 82, 6), std::string("\1\2\3\4\5\6", 6));
    EXPECT_EQ(o.substr(38 + 2 * 88 + 13, 15), "Times New Roman");

    TOptions_Coupe d;
    d.Charge(Chemin("e.cou"));
    EXPECT_EQ(d.NbEchelles, 2);
    EXPECT_EQ(d.Echelles[2], c.Echelles[2]);
    EXPECT_EQ(static_cast<long double>(d.Echelles[2].Xdev), 150.25L);
}

TEST_F(Modeles, LargeurTroisDEnSimplePrecision)
{
    std::string per = Golden("defaut.per");
    EXPECT_EQ(per.substr(95 + 3 * 38 + 12, 4), std::string("\0\0\0\x3F", 4));
}
