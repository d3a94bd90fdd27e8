// Reference points, declinations and the meridian convergence: what the grid shows and
// refuses, what reaches the massif, and the projection list of the installation.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "dialogs/recherche.h"
#include "dialogs/references.h"
#include "platform/services.h"
#include "recherche_aide.h"

using namespace karst;
using namespace karst::test;

namespace {

void AjouteReference(TMassif& m, const std::string& nom, int indice, long double x, long double y, long double z)
{
    auto p = std::make_unique<TPointTopo>();
    p->Nom.Affecte(nom);
    p->Indice = static_cast<uint8_t>(indice);
    p->X = x;
    p->Y = y;
    p->Z = z;
    m.AjouteReference(std::move(p));
}

QString Cellule(const TReference& d, int r, int c)
{
    const QTableWidgetItem* i = d.StringGrid1->item(r, c);
    return i ? i->text() : QString();
}

void Ecrit(TReference& d, int r, const QStringList& cellules)
{
    for (int c = 0; c < cellules.size(); ++c)
        d.StringGrid1->setItem(r, c, new QTableWidgetItem(cellules[c]));
}

}  // namespace

TEST(References, GrilleRemplieDepuisLeMassif)
{
    Application();
    TMassif m;
    AjouteReference(m,
                    "Entr\xE9"
                    "e",
                    1, 880.2361234567L, 3100.5L, 1234.56789L);
    AjouteReference(m, "B", 2, 0, -12.25L, 0.5L);
    AjouteReference(m, "C", 3, 1, 3210.2205L, 3);
    TReference d;
    d.Remplit(m);
    // Seven digits show whole, within the margins the grid draws a text in.
    const int marges = 2 * (d.StringGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    EXPECT_GE(d.StringGrid1->columnWidth(3), d.StringGrid1->fontMetrics().horizontalAdvance("3210.2205") + marges);
    EXPECT_EQ(d.StringGrid1->rowCount() + 1, 10);  // with the title row
    EXPECT_EQ(Cellule(d, 0, 0), QStringLiteral("Entrée"));
    EXPECT_EQ(Cellule(d, 0, 1), QStringLiteral("1"));
    EXPECT_EQ(Cellule(d, 0, 2), QStringLiteral("880.236123457"));
    EXPECT_EQ(Cellule(d, 0, 3), QStringLiteral("3100.5"));
    EXPECT_EQ(Cellule(d, 0, 4), QStringLiteral("1234.56789"));
    EXPECT_EQ(Cellule(d, 1, 3), QStringLiteral("-12.25"));
    EXPECT_TRUE(Cellule(d, 3, 0).isEmpty());
    for (int i = 0; i < 9; ++i)
        AjouteReference(m, "R", 1, 0, 0, 0);
    d.Remplit(m);
    EXPECT_EQ(d.StringGrid1->rowCount() + 1, 13);

    // Enter goes along the row, then to the next row; two rows always follow the current one.
    d.StringGrid1->setCurrentCell(11, 3);
    EXPECT_EQ(d.StringGrid1->rowCount(), 14);
    d.ToucheEntree();
    EXPECT_EQ(d.StringGrid1->currentColumn(), 4);
    d.ToucheEntree();
    EXPECT_EQ(d.StringGrid1->currentRow(), 12);
    EXPECT_EQ(d.StringGrid1->currentColumn(), 0);
    EXPECT_EQ(d.StringGrid1->rowCount(), 15);
}

TEST(References, SupprimerEtValider)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    TReference d;
    Ecrit(d, 0, {"A", "1", "1", "2", "3"});
    Ecrit(d, 1, {"B", "2", "4", "5", "6"});
    Ecrit(d, 2, {"C", "3", "7", "8", "9"});
    d.StringGrid1->setCurrentCell(1, 2);
    d.SupprimerClick();
    EXPECT_EQ(Cellule(d, 1, 0), QStringLiteral("C"));
    EXPECT_EQ(Cellule(d, 1, 4), QStringLiteral("9"));
    EXPECT_TRUE(Cellule(d, 2, 0).isEmpty());
    EXPECT_EQ(d.StringGrid1->rowCount(), 9);

    // A row without a name is ignored whatever it holds; a bad index or coordinate is refused
    // with its cell made current.
    Ecrit(d, 3, {"", "x", "y", "z", ""});
    d.OKBtnClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    for (const auto& [indice, x, colonne] :
         {std::tuple{"0", "4", 1}, {"", "4", 1}, {"256", "4", 1}, {"2", "4a", 2}, {"2", "1e4000", 2}}) {
        d.setResult(0);
        Ecrit(d, 1, {"C", indice, x, "8", "9"});
        d.OKBtnClick();
        EXPECT_EQ(d.result(), 0) << indice << x;
        EXPECT_EQ(d.StringGrid1->currentRow(), 1);
        EXPECT_EQ(d.StringGrid1->currentColumn(), colonne);
    }
    EXPECT_EQ(invite.Textes(), QStringList(5, QStringLiteral("La valeur n'est pas correcte")));
}

TEST(References, CommandeRemplaceLesPointsDuMassif)
{
    Application();
    TMassif m;
    AjouteReference(m, "A", 1, 600, 2000, 100);
    ScenarioModal s;
    s.Ajoute("Reference", [](QDialog& q) { return Clique(q, "Button2"); });
    EXPECT_FALSE(EditeReferences(m));
    EXPECT_TRUE(m.Enregistre);
    s.Ajoute("Reference", [](QDialog& q) {
        auto& d = dynamic_cast<TReference&>(q);
        Ecrit(d, 1, {"b2", "7", "601.5", "2001.25", "-3"});
        return Clique(q, "Button1");
    });
    ASSERT_TRUE(EditeReferences(m));
    EXPECT_FALSE(m.Enregistre);
    ASSERT_EQ(m.References.size(), 2u);
    const TPointTopo& b = *m.References[1];
    EXPECT_EQ(b.Nom.Chaine(), "b2");
    EXPECT_EQ(b.Indice, 7);
    EXPECT_EQ(static_cast<long double>(b.X), Reel6(601.5L));
    EXPECT_EQ(static_cast<long double>(b.Y), Reel6(2001.25L));
    EXPECT_EQ(static_cast<long double>(b.Z), -3);

    // A name typed with a letter the file lacks is asked about at "Valider": Non, the default,
    // stays on it; Oui stores one '?'.
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    invite.reponses = {Bouton::Non, Bouton::Oui};
    s.Ajoute("Reference", [](QDialog& q) {
        auto& d = dynamic_cast<TReference&>(q);
        q.show();
        q.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&q));
        d.StringGrid1->setFocus();
        QTest::mouseClick(d.StringGrid1->viewport(), Qt::LeftButton, {},
                          d.StringGrid1->visualRect(d.StringGrid1->model()->index(2, 0)).center());
        QTest::keyClick(QApplication::focusWidget(), 'P');
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QStringLiteral("ł"), {});
        for (const char* t : {"2", "1", "600", "2000", "0"}) {
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(t));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(d.StringGrid1->currentRow(), 2);
        EXPECT_EQ(d.StringGrid1->currentColumn(), 0);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        return d.result();
    });
    ASSERT_TRUE(EditeReferences(m));
    EXPECT_EQ(invite.Textes(), QStringList(2, QStringLiteral("Ce texte contient des caractères que le fichier ne peut "
                                                             "pas garder :\rLe nom du point 3 : « ł »\rIls seront "
                                                             "enregistrés comme « ? ». Valider les points ainsi ?")));
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages[0].defaut, Bouton::Non);
    ASSERT_EQ(m.References.size(), 3u);
    EXPECT_EQ(m.References[2]->Nom.Chaine(), "P?2");
}

TEST(References, Declinaisons)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    TMassif m;
    m.Origine_Declinaison = 2.53L;
    m.Date_Declinaison = "01/01/80";
    TDeclinaisonDefaut d("");
    d.Remplit(m);
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("2.53"));
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("1"));
    EXPECT_EQ(LitDate(d.MaskEdit1), "01/01/80");
    EXPECT_FALSE(d.GeodesiqueModifie);
    // Tab goes on from the yearly decrease to the link, which Enter follows.
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.Edit2->setFocus();
    QSignalSpy suivi(d.Label4, &QLabel::linkActivated);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), d.Label4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(suivi.size(), 1);
    invite.messages.clear();  // with no browser here, the link says so

    FixeDate(d.MaskEdit1, "  /06/98");
    d.OKBtnClick();
    EXPECT_EQ(d.result(), 0);
    d.Edit2->setText(QStringLiteral("-"));
    d.OKBtnClick();
    d.Edit2->setText(QStringLiteral("0.1"));
    d.Edit1->setText(QStringLiteral("1.2.3"));
    d.OKBtnClick();
    d.Edit1->setText(QStringLiteral("-1,5"));
    d.Edit3->setText(QStringLiteral("x"));  // the geodesic value, refused by its own name
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    ASSERT_EQ(invite.messages.size(), 4u);
    EXPECT_EQ(invite.messages[0].texte, QStringLiteral("Le champ « Magnétique (NM /NG) : Date » n'accepte pas "
                                                       "«   /06/98 » : il faut le jour, le mois et l'année."));
    EXPECT_EQ(invite.messages[1].texte, QStringLiteral("Le champ « Magnétique (NM /NG) : Décroissance annuelle » "
                                                       "n'accepte pas « - » : ce n'est pas un nombre."));
    EXPECT_EQ(invite.messages[2].texte, QStringLiteral("Le champ « Magnétique (NM /NG) : Valeur initiale » "
                                                       "n'accepte pas « 1.2.3 » : ce n'est pas un nombre."));
    EXPECT_EQ(invite.messages[3].texte, QStringLiteral("Le champ « Géodésique (NG / projection) : Valeur » "
                                                       "n'accepte pas « x » : ce n'est pas un nombre."));
    EXPECT_EQ(invite.messages[3].icone, Icone::Avertissement);
    EXPECT_EQ(d.result(), 0);
    d.Edit3->clear();  // empty: 0
    // Every digit of the date is wanted; a year in four digits only within 1950 to 2049.
    invite.messages.clear();
    auto tape = [&](const char* date) {
        QTest::keyClick(d.MaskEdit1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d.MaskEdit1, Qt::Key_Backspace);
        QTest::keyClicks(d.MaskEdit1, QString::fromLatin1(date));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    };
    tape(" 10197");
    tape("15062050");
    EXPECT_EQ(invite.Textes(),
              (QStringList{QStringLiteral("Le champ « Magnétique (NM /NG) : Date » n'accepte pas «  1/01/97 » : il "
                                          "faut le jour, le mois et l'année."),
                           QStringLiteral("Le champ « Magnétique (NM /NG) : Date » n'accepte pas « 15/06/2050 » : "
                                          "il faut une année de deux chiffres, ou de quatre de 1950 à 2049.")}));
    tape("15061998");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    d.Lit(m);
    EXPECT_EQ(static_cast<long double>(m.Origine_Declinaison), -1.5L);
    EXPECT_EQ(static_cast<long double>(m.Variation_Declinaison), Reel6(0.1L));
    EXPECT_EQ(m.Date_Declinaison.str(), "15/06/98");
}

TEST(References, SeulUnNouvelAngleGeodesiqueReduitLesFiches)
{
    Application();
    TMassif m;
    TFiche& f = FicheA(m, "S");
    AjouteGalerie(f, "A", "B", {0, 0}, {{0, 10}});
    f.Galeries[0]->Visee(1)->X = 123;  // untouched unless the sheet is reduced again
    ScenarioModal s;
    s.Ajoute("DeclinaisonDefaut", [](QDialog& q) { return Clique(q, "Button2"); });
    EXPECT_FALSE(EditeDeclinaisons(m, ""));
    s.Ajoute("DeclinaisonDefaut", [](QDialog& q) {
        auto& d = dynamic_cast<TDeclinaisonDefaut&>(q);
        d.Edit1->setText(QStringLiteral("3"));
        return Clique(q, "Button1");
    });
    ASSERT_TRUE(EditeDeclinaisons(m, ""));
    EXPECT_EQ(static_cast<long double>(m.Origine_Declinaison), 3);
    EXPECT_EQ(static_cast<long double>(f.Galeries[0]->Visee(1)->X), 123);
    EXPECT_FALSE(m.Enregistre);
    s.Ajoute("DeclinaisonDefaut", [](QDialog& q) {
        auto& d = dynamic_cast<TDeclinaisonDefaut&>(q);
        d.Edit3->setText(QStringLiteral("90"));
        return Clique(q, "Button1");
    });
    ASSERT_TRUE(EditeDeclinaisons(m, ""));
    EXPECT_EQ(static_cast<long double>(m.Angle_Geodesique), 90);
    EXPECT_NE(static_cast<long double>(f.Galeries[0]->Visee(1)->X), 123);
}

TEST(References, ListeDesProjectionsEtConvergence)
{
    Application();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe(invite);
    QTemporaryDir dir;
    const std::string rep = dir.path().toStdString() + "/";
    {
        std::ofstream f(rep + "projection.txt", std::ios::binary);
        f << "Lambert II\t600\t2200\r\n\r\nSans tabulation\n \t\nUTM 31\t500.5\t0";  // blank lines skipped
    }
    TConvergence c(rep);
    ASSERT_EQ(c.Nom_projection->count(), 4);
    EXPECT_EQ(c.Nom_projection->itemText(0), QStringLiteral("Lambert II"));
    EXPECT_TRUE(c.Nom_projection->itemText(1).isEmpty());
    EXPECT_EQ(c.Nom_projection->currentText(), QStringLiteral("Autre"));
    EXPECT_TRUE(c.X_origine->isEnabled());
    c.Nom_projection->setCurrentIndex(1);
    EXPECT_TRUE(c.X_origine->text().isEmpty());
    EXPECT_EQ(c.Y_origine->text(), QStringLiteral("Sans tabulation"));
    EXPECT_FALSE(c.X_origine->isEnabled());
    c.Nom_projection->setCurrentIndex(2);
    EXPECT_EQ(c.X_origine->text(), QStringLiteral("500.5"));
    EXPECT_EQ(c.Y_origine->text(), QStringLiteral("0"));
    c.Nom_projection->setCurrentIndex(3);
    EXPECT_TRUE(c.Y_origine->isEnabled());
    EXPECT_EQ(c.Y_origine->text(), QStringLiteral("0"));

    // The centre is read first; the first edit that is not a number stops the computation.
    c.X_origine->setText(QStringLiteral("600"));
    c.Y_origine->setText(QStringLiteral("2000"));
    c.X_centre->setText(QStringLiteral("880"));
    c.CalculerClick();
    EXPECT_EQ(invite.Textes(), QStringList{QStringLiteral("Les coordonnées doivent être numériques. Exemple 880.236")});
    c.Y_centre->setText(QStringLiteral("2000"));
    c.CalculerClick();
    EXPECT_EQ(invite.messages.size(), 2u);
    EXPECT_EQ(c.result(), 0);
    c.Y_centre->setText(QStringLiteral("3100"));
    invite.reponses = {Bouton::Non, Bouton::Oui};
    c.CalculerClick();
    EXPECT_EQ(c.result(), 0);
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().texte, QStringLiteral("La convergence est de -14.28 °.\r\nConserver ?"));
    EXPECT_EQ(invite.messages.back().boutons, (std::vector<Bouton>{Bouton::Oui, Bouton::Non}));
    c.CalculerClick();
    EXPECT_EQ(c.result(), QDialog::Accepted);
    EXPECT_NEAR(c.Convergence, std::atan(-280.0 / 1100.0) * 180 / M_PI, 1e-12);

    // A pipe in the list's place, which nobody writes, is refused at once: only "Autre".
    const std::string tubes = rep + "tube/";
    std::filesystem::create_directory(tubes);
    ASSERT_EQ(::mkfifo((tubes + "projection.txt").c_str(), 0600), 0);
    EXPECT_EQ(TConvergence(tubes).Nom_projection->count(), 1);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(),
              QString::fromStdString(tubes + "projection.txt est un tube ou un périphérique, et non un fichier."));

    // Without the list only "Autre"; the angle computed goes to the declination dialog, which
    // has the keyboard again: Enter saves.
    TDeclinaisonDefaut d(dir.path().toStdString() + "/absent/");
    FixeDate(d.MaskEdit1, "15/06/98");
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    ScenarioModal s;
    s.Ajoute("Convergence", [](QDialog& q) {
        auto& conv = dynamic_cast<TConvergence&>(q);
        q.show();
        q.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&q));
        EXPECT_EQ(conv.Nom_projection->count(), 1);
        conv.X_centre->setText(QStringLiteral("880"));
        conv.Y_centre->setText(QStringLiteral("3100"));
        conv.X_origine->setText(QStringLiteral("600"));
        conv.Y_origine->setText(QStringLiteral("2000"));
        return Clique(q, "Calculer");
    });
    invite.reponses = {Bouton::Oui};
    d.GeodesiqueModifie = false;
    QTest::mouseClick(d.Button3, Qt::LeftButton);
    EXPECT_EQ(d.Edit3->text(), QStringLiteral("-14.281096"));
    EXPECT_TRUE(d.GeodesiqueModifie);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);

    // The list installed beside the program: a grid picked from the keyboard, then the centre
    // typed at 6° E, 45° N gives n × (6° − the grid's central meridian), the conic's exact angle.
    struct {
        int ligne;
        const char *nom, *x, *y, *angle;
    } grilles[] = {{5, "Lambert-93", "936.341", "6437.909", "2.18"},          // 0.7256077651 × 3°
                   {4, "Lambert II étendu", "888.811", "2006.655", "2.67"}};  // 0.7289686274 × 3.6628°
    for (const auto& g : grilles) {
        TConvergence installee(RepertoireProgramme());
        installee.show();
        installee.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&installee));
        ASSERT_EQ(installee.Nom_projection->count(), 7);
        installee.Nom_projection->setFocus();
        QTest::keyClick(installee.Nom_projection, Qt::Key_F4);
        QTest::keyClick(installee.Nom_projection->view(), Qt::Key_Home);
        for (int k = 0; k < g.ligne; ++k)
            QTest::keyClick(installee.Nom_projection->view(), Qt::Key_Down);
        QTest::keyClick(installee.Nom_projection->view(), Qt::Key_Return);
        EXPECT_EQ(installee.Nom_projection->currentText(), QString::fromUtf8(g.nom));
        for (const char* texte : {g.x, g.y}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(texte));
        }
        invite.reponses = {Bouton::Oui};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(installee.result(), QDialog::Accepted);
        EXPECT_EQ(invite.messages.back().texte,
                  QStringLiteral("La convergence est de %1 °.\r\nConserver ?").arg(QString::fromLatin1(g.angle)));
    }
}
