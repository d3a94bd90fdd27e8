// The station dialog: its proposals, a free index, a station taken from a searched gallery,
// and the index check at closing.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "dialogs/choix_recherche.h"
#include "dialogs/point_topo.h"
#include "dialogs/recherche.h"
#include "recherche_aide.h"

using namespace karst;
using namespace karst::test;

namespace {

TPointTopo Station(const std::string& nom, int indice)
{
    TPointTopo p;
    p.Nom.Affecte(nom);
    p.Indice = static_cast<uint8_t>(indice);
    return p;
}

QStringList Propositions(const QComboBox* c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

}  // namespace

TEST(PointTopo, PropositionsDeLaFicheEtDeLaMemeSortie)
{
    Application();
    TMassif m;
    TFiche& s1 = FicheA(m, "S", "01/01/00", "Durand");
    NommeGalerie(AjouteGalerie(s1, "", "", {0, 0}, {{1, 0}}), "P12", 3, "P13", 1);
    NommeGalerie(AjouteGalerie(s1, "", "", {0, 0}, {{1, 0}}), "P13", 1, "Q", 2);
    TFiche& s2 = FicheA(m, "S", "01/01/00", "DURAND");
    NommeGalerie(AjouteGalerie(s2, "", "", {0, 0}, {{1, 0}}), "p12", 3, "R", 1);
    s2.Galeries[0]->Arrivee.Terminus = false;
    TFiche& autre = FicheA(m, "S", "02/01/00", "Durand");
    NommeGalerie(AjouteGalerie(autre, "", "", {0, 0}, {{1, 0}}), "Z", 1, "Z", 2);
    TFiche& fin = FicheA(m, "S", "01/01/00", "Durand");
    NommeGalerie(AjouteGalerie(fin, "", "", {0, 0}, {{1, 0}}), "T", 1, "", 0);
    fin.Galeries[0]->Arrivee.Terminus = true;

    Recherches r;
    TPoint_Topo d(r);
    d.Saisie = [] {
        SaisieEnCours s;
        s.Date = "01/01/00 plus";
        s.Topographes = {"durand"};
        s.Noeuds = {{Station("J", 1), Station("K", 1)}, {Station("L", 2), Station("J", 1)}};
        s.Depart = Station("D", 0);
        s.Final = Station("F", 4);
        return s;
    };
    d.Initialise(1, &m, true);
    EXPECT_EQ(Propositions(d.Nom),
              (QStringList{"L(2)", "J(1)", "K(1)", "F(4)", "T(1)", "p12(3)", "R(1)", "P13(1)", "Q(2)"}));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Point d'arrivée"));
    EXPECT_TRUE(d.Button4->isHidden());

    // Typed key by key at any pace, a name stays as typed whatever proposal it begins like.
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    for (int pause : {0, 100, 150})
        for (const QString& nom : {QStringLiteral("J1"), QStringLiteral("P1Xa")}) {
            d.Nom->setEditText(QString());
            QTest::keyClicks(QApplication::focusWidget(), nom, Qt::NoModifier, pause);
            QTest::qWait(150);
            EXPECT_EQ(d.Nom->currentText(), nom) << pause;
            EXPECT_TRUE(d.Ind->text().isEmpty()) << pause;
        }
    // A proposal chosen from the opened list: its name and its index.
    d.Modifie = false;
    for (Qt::Key k : {Qt::Key_F4, Qt::Key_Home, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                      Qt::Key_Return})
        QTest::keyClick(QApplication::focusWidget(), k);
    EXPECT_EQ(d.Ind->text(), QStringLiteral("3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.Nom->currentText() == QStringLiteral("p12"); }));
    EXPECT_TRUE(d.Modifie);
    TPointTopo lu;
    d.LitPoint(lu);
    EXPECT_FALSE(lu.Terminus);
    EXPECT_EQ(lu.Nom.Chaine(), "p12");
    EXPECT_EQ(lu.Indice, 3);

    // A name typed with brackets of its own keeps its text when no "(" opens them.
    d.Nom->setEditText(QStringLiteral("Galerie)"));
    EXPECT_EQ(d.Ind->text(), QStringLiteral("3"));
    // Typed as the list shows a station, Valider takes its index.
    d.Nom->setEditText(QString());
    QApplication::setActiveWindow(&d);  // as the window manager gives it back after the list
    QTest::keyClicks(QApplication::focusWidget(), "P12(7)");
    QTest::mouseClick(d.Button3, Qt::LeftButton);
    d.LitPoint(lu);
    EXPECT_EQ(lu.Nom.Chaine() + std::to_string(lu.Indice), "P127");

    d.Initialise(0, &m, true);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Point de départ"));
    EXPECT_TRUE(d.Button4->isHidden());
    EXPECT_TRUE(d.Nom->currentText().isEmpty());
    d.Initialise(2, &m, false);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Point de départ"));
    EXPECT_FALSE(d.Button4->isHidden());
}

TEST(PointTopo, NouvelIndiceLibreDansLeMassifEtLaFiche)
{
    Application();
    TMassif m;
    NommeGalerie(AjouteGalerie(FicheA(m, "S"), "", "", {0, 0}, {{1, 0}}), "A", 1, "A", 2);
    Recherches r;
    TPoint_Topo d(r);
    d.Saisie = [] {
        SaisieEnCours s;
        s.Noeuds = {{Station("B", 1), Station("A", 3)}};
        return s;
    };
    d.Initialise(0, &m, true);
    d.Nom->setEditText(QStringLiteral("a"));
    d.Button2Click();
    EXPECT_EQ(d.Ind->text(), QStringLiteral("4"));
    d.Nom->setEditText(QStringLiteral("b"));
    d.Button2Click();
    EXPECT_EQ(d.Ind->text(), QStringLiteral("2"));
}

TEST(PointTopo, StationPriseDansUneGalerieCherchee)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    TMassif m;
    NommeGalerie(AjouteGalerie(FicheA(m, "S"), "", "", {0, 0}, {{1, 0}}), "B", 1, "C", 1);
    TGalerie& bouts = AjouteGalerie(*m.Fiches[0], "", "", {0, 0}, {{0, 1}});
    bouts.Depart.Terminus = bouts.Arrivee.Terminus = true;
    TGalerie& un = AjouteGalerie(*m.Fiches[0], "", "", {0, 0}, {{0, 1}});
    NommeGalerie(un, "", 0, "E", 9);
    un.Depart.Terminus = true;
    m.PointsCalcules = true;
    Recherches r;
    TPoint_Topo d(r);
    d.Initialise(0, &m, true);

    ScenarioModal s;
    // The search through the plan, which picks gallery `g` of the first sheet.
    auto cherche = [&s](const QString& critere, int g) {
        s.Ajoute("BaseRecherche", [critere](QDialog& q) {
            EXPECT_EQ(dynamic_cast<TBaseRecherche&>(q).Point_Topo->text(), critere);
            return Clique(q, "Button1");
        });
        s.Ajoute("RechSimp", [](QDialog& q) {
            EXPECT_EQ(dynamic_cast<TRechSimp&>(q).Mode, 1);
            return Clique(q, "Button1");
        });
        s.Ajoute("Apercu", [g](QDialog& q) {
            auto& a = dynamic_cast<TApercu&>(q);
            a.FicheChoisie = 0;
            a.GalerieChoisie = static_cast<uint16_t>(g);
            return int(QDialog::Accepted);
        });
    };
    // The name matches one end: no question.
    d.Nom->setEditText(QStringLiteral("c"));
    cherche(QStringLiteral("C"), 0);
    d.Button1Click();
    EXPECT_EQ(d.Nom->currentText(), QStringLiteral("C"));
    EXPECT_EQ(d.Ind->text(), QStringLiteral("1"));
    EXPECT_TRUE(invite.messages.empty());

    // Neither end: the question; OK takes the start.
    d.Nom->setEditText(QStringLiteral("D"));
    // No sheet holds D: the criteria are changed to find the sheet.
    s.Ajoute("BaseRecherche", [](QDialog& q) {
        auto& b = dynamic_cast<TBaseRecherche&>(q);
        b.BitBtn1Click();
        EXPECT_EQ(b.result(), 0);
        b.Point_Topo->clear();
        return Clique(q, "Button1");
    });
    s.Ajoute("RechSimp", [](QDialog& q) { return Clique(q, "Button1"); });
    s.Ajoute("Apercu", [](QDialog& q) {
        dynamic_cast<TApercu&>(q).GalerieChoisie = 0;
        return int(QDialog::Accepted);
    });
    invite.reponses = {Bouton::OK, Bouton::OK};  // "no sheet", then the question
    d.Button1Click();
    ASSERT_EQ(invite.messages.size(), 2u);
    EXPECT_EQ(invite.messages[1].texte, QStringLiteral("Deux points possibles : C(1) (Oui) et B(1) (Ok)"));
    EXPECT_EQ(invite.messages[1].boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::OK}));
    EXPECT_EQ(d.Nom->currentText(), QStringLiteral("B"));

    // Only termini: a warning, the fields unchanged; one named end is taken as it is.
    cherche(QString(), 1);
    d.Nom->setEditText(QString());
    d.Ind->setText(QStringLiteral("5"));
    d.Button1Click();
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("La galerie sélectionnée n'a que des terminus"));
    EXPECT_EQ(d.Ind->text(), QStringLiteral("5"));
    cherche(QString(), 2);
    d.Button1Click();
    EXPECT_EQ(d.Nom->currentText(), QStringLiteral("E"));
    EXPECT_EQ(d.Ind->text(), QStringLiteral("9"));
    EXPECT_TRUE(s.etapes.empty());
}

TEST(PointTopo, IndiceVerifieALaFermeture)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    Recherches r;
    TPoint_Topo d(r);
    d.Initialise(3, nullptr, true);
    d.Nom->setEditText(QStringLiteral("A"));
    for (const char* faux : {"", "0", "x", "256", "300"}) {
        d.Ind->setText(QString::fromLatin1(faux));
        d.setResult(0);
        d.OKBtnClick(TPoint_Topo::Valider);
        EXPECT_EQ(d.result(), 0) << faux;
    }
    EXPECT_EQ(invite.Textes(), QStringList(3, QStringLiteral("L'indice doit être numérique et positif.")) +
                                   QStringList(2, QStringLiteral("L'indice doit être compris entre 1 et 255.")));
    // Only digits can be typed.
    d.Ind->clear();
    QTest::keyClicks(d.Ind, "a-1x2.,");
    EXPECT_EQ(d.Ind->text(), QStringLiteral("12"));
    d.Ind->setText(QStringLiteral("255"));
    // A letter the sheet cannot keep is said; "Non", the default, goes back to the name.
    d.Nom->lineEdit()->clear();
    QTest::sendKeyEvent(QTest::Click, d.Nom->lineEdit(), Qt::Key_unknown, QStringLiteral("Ω"), {});
    QTest::keyClick(d.Nom->lineEdit(), 'A');
    invite.reponses = {Bouton::Non, Bouton::Oui};
    QTest::mouseClick(d.Button4, Qt::LeftButton);
    EXPECT_EQ(d.result(), 0);
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Non);
    QTest::mouseClick(d.Button4, Qt::LeftButton);
    EXPECT_EQ(d.result(), TPoint_Topo::PointFinal);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Ce texte contient des caractères que le fichier ne peut pas "
                                                     "garder :\rLe nom de la station : « Ω »\rIls seront enregistrés "
                                                     "comme « ? ». Le garder ainsi ?"));

    // A terminus needs no index, and greys the name and index.
    d.Ind->clear();
    d.Terminus->click();
    EXPECT_FALSE(d.Nom->isEnabled());
    EXPECT_FALSE(d.Button1->isEnabled());
    d.setResult(0);
    d.OKBtnClick(TPoint_Topo::Valider);
    EXPECT_EQ(d.result(), TPoint_Topo::Valider);
    TPointTopo p = Station("X", 7);
    d.LitPoint(p);
    EXPECT_TRUE(p.Terminus);

    d.AffichePoint(Station("N5", 12));
    EXPECT_TRUE(d.PointTopo->isChecked());
    EXPECT_TRUE(d.Nom->isEnabled());
    EXPECT_EQ(d.Nom->currentText(), QStringLiteral("N5"));
    EXPECT_EQ(d.Ind->text(), QStringLiteral("12"));
}
