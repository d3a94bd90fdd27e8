// Search criteria: the date key, each test a sheet must pass, and the criteria window's
// two searches with its refusal of an empty result.

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "dialogs/recherche.h"
#include "recherche_aide.h"

using namespace karst;
using namespace karst::test;

TEST(Recherche, CleDeDate)
{
    EXPECT_EQ(DateVersEntier("15/06/98", false), 15 + 32 * 6 + 400 * 98);
    // A blank day and month take the whole month or year for an upper bound.
    EXPECT_EQ(DateVersEntier("  /05/98", false), 39360);
    EXPECT_EQ(DateVersEntier("  /05/98", true), 39391);
    EXPECT_EQ(DateVersEntier("  /  /98", true), 31 + 384 + 39200);
    // Years before 50 come after 99.
    EXPECT_EQ(DateVersEntier("01/01/49", false), 59633);
    EXPECT_EQ(DateVersEntier("31/12/99", false), 40015);
    // A blank year adds nothing, even for an upper bound.
    EXPECT_EQ(DateVersEntier("31/12/  ", true), 415);
    // A digit followed by a blank is not a number: that part counts for nothing.
    EXPECT_EQ(DateVersEntier("5 /06/98", false), 32 * 6 + 400 * 98);
    EXPECT_EQ(DateVersEntier(" 5/06/98", false), 5 + 32 * 6 + 400 * 98);
    // A short text reads as if blanks completed it.
    EXPECT_EQ(DateVersEntier("12/03", false), 12 + 96);
    EXPECT_EQ(DateVersEntier("", true), 31 + 384);
}

TEST(Recherche, CriteresDAdresseDeStationDeTopographeEtDeTexte)
{
    TMassif m;
    TFiche& a = FicheA(m, "Gouffre A", "01/01/00", "Jean Dupont");
    TFiche& b = FicheA(m, "GOUF");
    TFiche& c = FicheA(m, "Le Gouffre");
    CriteresRecherche k;
    k.Systeme = "GOUF";
    EXPECT_TRUE(k.Correspond(a));
    EXPECT_TRUE(k.Correspond(b));
    EXPECT_FALSE(k.Correspond(c));
    k.Systeme = "GOUFFRE A ET B";  // longer than the sheet's: fails
    EXPECT_FALSE(k.Correspond(a));

    k = {};
    k.Topographe = "JEAN";
    EXPECT_TRUE(k.Correspond(a));
    EXPECT_FALSE(k.Correspond(b));
    k.Topographe = "DUPONT";  // a prefix, not a substring
    EXPECT_FALSE(k.Correspond(a));

    NommeGalerie(AjouteGalerie(a, "x", "y", {0, 0}, {{1, 0}}), "B7", 1, "a1", 3);
    NommeGalerie(AjouteGalerie(b, "x", "y", {0, 0}, {{1, 0}}), "A10", 2, "C", 1);
    NommeGalerie(AjouteGalerie(c, "x", "y", {0, 0}, {{1, 0}}), "A1", 2, "C", 1);
    k = {};
    k.Point = "A1";
    EXPECT_TRUE(k.Correspond(a));
    EXPECT_FALSE(k.Correspond(b));
    EXPECT_TRUE(k.Correspond(c));
    k.Indice = 2;
    EXPECT_FALSE(k.Correspond(a));
    EXPECT_TRUE(k.Correspond(c));
    k.Indice = 0;
    EXPECT_FALSE(k.Correspond(c));

    b.Galeries[0]->Visee(1)->Commentaire.Affecte("Boue \xE9paisse");
    k = {};
    k.Texte = "BOUE";
    EXPECT_FALSE(k.Correspond(a));
    EXPECT_TRUE(k.Correspond(b));
    k.Texte = "OUFFRE A";  // inside an address part
    EXPECT_TRUE(k.Correspond(a));
    k.Texte = "DUPONT";  // surveyors are not searched
    EXPECT_FALSE(k.Correspond(a));
    k.Texte = "A10";  // a station name
    EXPECT_TRUE(k.Correspond(b));
}

TEST(Recherche, CriteresDeDate)
{
    TMassif m;
    TFiche& mai = FicheA(m, "S", "12/05/98");
    TFiche& juin = FicheA(m, "S", "01/06/98");
    TFiche& an2000 = FicheA(m, "S", "03/02/00");
    CriteresRecherche k;
    k.ModeDate = CriteresRecherche::Date::Le;
    k.DateLe = "  /05/98";
    EXPECT_TRUE(k.Correspond(mai));
    EXPECT_FALSE(k.Correspond(juin));
    k.DateLe = "12/05/98";
    EXPECT_TRUE(k.Correspond(mai));
    k.DateLe = "13/05/98";
    EXPECT_FALSE(k.Correspond(mai));

    k.ModeDate = CriteresRecherche::Date::Entre;
    k.DateApres = "01/06/98";
    k.DateAvant = "  /  /00";
    EXPECT_FALSE(k.Correspond(mai));
    EXPECT_TRUE(k.Correspond(juin));
    EXPECT_TRUE(k.Correspond(an2000));
    // A blank upper year keeps out every sheet whose date has a year.
    k.DateApres = "  /  /  ";
    k.DateAvant = "31/12/  ";
    EXPECT_FALSE(k.Correspond(mai));
    EXPECT_FALSE(k.Correspond(an2000));
}

TEST(Recherche, FenetreRechercheEtToutSauf)
{
    Application();
    TMassif m;
    FicheA(m, "Gouffre", "12/05/98");
    FicheA(m, "Grotte", "01/06/98");
    FicheA(m, "Gouffre B", "03/02/00");
    const ListeFiches liste(m.Fiches.begin(), m.Fiches.end());
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    TBaseRecherche d;

    ListeFiches r;
    d.Initialise(&liste, &r, "", "", "", "", "");
    d.BitBtn1Click();
    EXPECT_EQ(r, liste);
    EXPECT_EQ(d.result(), QDialog::Accepted);

    r.clear();
    d.Initialise(&liste, &r, "", "", "", "", "");
    d.BitBtn2Click();
    EXPECT_TRUE(r.empty());
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Il n'y a pas de fiche correspondante")});
    EXPECT_EQ(d.result(), 0);  // the window stays open

    // The preset texts go to their boxes; the inverse search keeps the sheets that fail.
    r.clear();
    d.Initialise(&liste, &r, "", "gouf", "", "", "");
    EXPECT_EQ(d.Systeme->text(), QStringLiteral("gouf"));
    d.BitBtn2Click();
    EXPECT_EQ(r, ListeFiches{liste[1]});
    EXPECT_EQ(d.result(), TBaseRecherche::ToutSauf);

    // A date typed with a blank day, through the box.
    r.clear();
    d.Initialise(&liste, &r, "", "", "", "", "");
    EXPECT_FALSE(d.Date_le->isEnabled());
    d.Date_exacte->click();
    EXPECT_TRUE(d.Date_le->isEnabled());
    EXPECT_FALSE(d.Date_apres->isEnabled());
    FixeDate(d.Date_le, "  /05/98");
    EXPECT_EQ(LitDate(d.Date_le), "  /05/98");
    d.BitBtn1Click();
    EXPECT_EQ(r, ListeFiches{liste[0]});
    // A year in four digits is the same search; one outside 1950-2049 is refused.
    r.clear();
    QTest::mouseDClick(d.Date_le, Qt::LeftButton);
    QTest::keyClick(d.Date_le, Qt::Key_Home);
    QTest::keyClicks(d.Date_le, QStringLiteral("  052098"));
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_TRUE(r.empty());
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(),
              QStringLiteral("Le champ « Date : Topographiées le » n'accepte pas «   /05/2098 » : "
                             "il faut une année de deux chiffres, ou de quatre de 1950 à 2049."));
    QTest::keyClick(d.Date_le, Qt::Key_Home);
    QTest::keyClicks(d.Date_le, QStringLiteral("  051998"));
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_EQ(r, ListeFiches{liste[0]});

    // Everything is reset for the next search; an index that is not a number means any.
    d.Initialise(&liste, &r, "P1", "", "", "", "");
    EXPECT_TRUE(d.Date_tout->isChecked());
    EXPECT_EQ(LitDate(d.Date_le), "  /  /  ");
    d.Indice->setText(QStringLiteral("x"));
    d.LitCriteres();
    EXPECT_EQ(d.Criteres.Indice, -1);
    EXPECT_EQ(d.Criteres.Point, "P1");
    d.Systeme->setText(QString(60, QLatin1Char('a')));
    d.LitCriteres();
    EXPECT_EQ(d.Criteres.Systeme, std::string(50, 'A'));
    // Typed at once, a name goes to the first field and Return searches for it.
    d.Initialise(&liste, &r, "", "", "", "", "");
    r.clear();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("gouf"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(r, (ListeFiches{liste[0], liste[2]}));
}
