// The sheet editor's tools and small dialogs, the input preferences dialog and the
// keystroke sender.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <iterator>

#include "aide_saisie.h"
#include "dialogs/envoi_touches.h"
#include "dialogs/preferences_saisie.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "survey/nombres.h"

using namespace karst;

namespace {

// ---- keystroke sender ----

class Touches : public ::testing::Test, public ICibleTouches {
protected:
    Touches() { InstalleCibleTouches(this); }
    ~Touches() override { InstalleCibleTouches(nullptr); }
    void EvenementTouche(uint8_t code, bool relache, bool) override
    {
        evenements += (evenements.empty() ? "" : " ") + std::to_string(code) + (relache ? "u" : "d");
    }
    void TraiteMessages() override { ++attentes; }
    std::string Envoie(const std::string& cles, int attendu = 0)
    {
        evenements.clear();
        EXPECT_EQ(SendKeys(cles), attendu) << cles;
        return evenements;
    }
    std::string evenements;
    int attentes = 0;
};

TEST_F(Touches, ModificateursEtNoms)
{
    EXPECT_EQ(Envoie("^C"), "17d 67d 67u 17u");
    EXPECT_EQ(Envoie("^V"), "17d 86d 86u 17u");  // no Shift under Ctrl
    EXPECT_EQ(Envoie("@{F4}"), "18d 115d 115u 18u");
    EXPECT_EQ(Envoie("{enter}"), "13d 13u");
    EXPECT_EQ(Envoie("{ctrlbreak}"), "3d 3u");
    EXPECT_EQ(Envoie("~a"), "16d 65d 65u 16u");
    EXPECT_EQ(Envoie("A"), "16d 65d 65u 16u");
    EXPECT_EQ(Envoie("a1"), "65d 65u 49d 49u");
    // WAIT sends nothing and keeps the prefix for the next key.
    attentes = 0;
    EXPECT_EQ(Envoie("^{WAIT}v"), "17d 86d 86u 17u");
    EXPECT_EQ(attentes, 2);
    uint8_t code = 0;
    EXPECT_TRUE(KeyNameToVirtualKey("pgdn", code));
    EXPECT_EQ(code, 34);
    EXPECT_FALSE(KeyNameToVirtualKey("PAGEDOWN", code));
}

TEST_F(Touches, JetonsInvalides)
{
    EXPECT_EQ(Envoie("x{NOPE}y", 1), "88d 88u");
    EXPECT_EQ(Envoie("{ENTER", 1), "");
    EXPECT_EQ(Envoie("{ABCDEFGHIJ}", 1), "");
    try {
        ParseAndSendKeys("{TAB");
        FAIL();
    } catch (const EInvalidToken& e) {
        EXPECT_STREQ(e.what(), "Acolade fermante absente \"}\"");
    }
    // A prefix before a faulty token does not reach the next key string.
    Envoie("^{BAD}", 1);
    EXPECT_EQ(Envoie("c"), "67d 67u");
}

TEST(ToucheQt, LeTexteArriveAuChampQuiALeFocus)
{
    aide::App();
    QLineEdit champ;
    champ.show();
    champ.activateWindow();
    champ.setFocus();
    QCoreApplication::processEvents();
    if (QApplication::focusWidget() != &champ)
        GTEST_SKIP() << "no focus on this platform";
    EXPECT_EQ(SendKeys("aB~c"), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(champ.text(), "aBC");
    champ.selectAll();
    SendKeyWithModifiers(MakeKeyWord(46, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(champ.text(), "");
}

// ---- editor tools ----

class Outils : public ::testing::Test {
protected:
    Outils()
    {
        aide::App();
        prefs.ConstruitColonnes();
        ed = std::make_unique<TMultPageDlg>(&prefs, &hote);
    }

    TFiche* Fiche(int visees)
    {
        auto f = std::make_unique<TFiche>();
        f->Galeries.ajoute(aide::Galerie(aide::Point("A", 1), aide::Point("B", 1), visees));
        return massif.AjouteFiche(std::move(f), false);
    }

    QString DernierMessage() const { return invite.messages.empty() ? QString() : invite.messages.back().texte; }

    struct Hote : IHoteSaisie {
        std::string utilisateur, programme;
        std::string RepProgramme() override { return programme; }
        std::string RepUtilisateur() override { return utilisateur; }
    } hote;
    TPreference_Ecran prefs;
    TMassif massif;
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::unique_ptr<TMultPageDlg> ed;
};

TEST_F(Outils, ToutCopier)
{
    ed->OuvreFiche(Fiche(2), &massif, 0, &prefs);
    ed->Toutcopier1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), ed->TexteGrille());
}

TEST_F(Outils, ImportDUnTableur)
{
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->FixeCelluleCourante(1, 2);
    ed->ImporterClick();
    EXPECT_EQ(DernierMessage(), "Impossible d'ajouter une visée ici.");
    ed->FixeCelluleCourante(3, 2);
    QApplication::clipboard()->clear();
    ed->ImporterClick();
    EXPECT_EQ(DernierMessage(), "Il n'y a pas de texte dans le Presse-Papier.");
    QApplication::clipboard()->setText(QString(32000, QLatin1Char('1')));
    ed->ImporterClick();
    EXPECT_EQ(DernierMessage(), "Le Presse-Papier est trop gros.");
    QApplication::clipboard()->setText("3\t4\t5\r\n");
    PiloteModalInstalle pilote([](QDialog& d) {
        auto& dialogue = dynamic_cast<TImportationExcel&>(d);
        dialogue.Colonnes->setPlainText("3\n");
        dialogue.OKBtnClick();
        return d.result();
    });
    ed->ImporterClick();
    EXPECT_EQ(ed->Cellule(3, 2), "3");
    EXPECT_EQ(ed->Cellule(3, 4), "4");
    EXPECT_TRUE(ed->Modifie);
    EXPECT_EQ(ed->Cellule(ed->NbLignes() - 1, 0), "11");  // the row added is shot 11
    ed->ImporteTexte("7\r\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10", {});
    EXPECT_EQ(DernierMessage(), "Ligne 2 du texte importé : le champ 9 « 9 » n'a pas de colonne où aller. Rien "
                                "n'a été importé.");
    EXPECT_EQ(ed->Cellule(3, 2), "3");
}

TEST_F(Outils, CorrectionDesLongueurs)
{
    ed->OuvreFiche(Fiche(3), &massif, 0, &prefs);
    ed->FixeCellule(3, 2, "");
    ed->FixeCelluleCourante(2, 2);
    PiloteModalInstalle pilote([](QDialog& d) {
        auto& c = dynamic_cast<TCorrection&>(d);
        EXPECT_TRUE(c.SansSelection);
        EXPECT_FALSE(c.LaSelection->isEnabled());
        EXPECT_EQ(c.Quantite->text(), "la longueur");
        c.Edit1->setText("1.5");
        c.OKBtnClick();
        return d.result();
    });
    ed->CorrigeColonne(1);
    EXPECT_EQ(ed->Cellule(2, 2), "11.5");
    EXPECT_EQ(ed->Cellule(3, 2), "");
    EXPECT_EQ(ed->Cellule(4, 2), "13.5");
    EXPECT_EQ(ed->Cellule(1, 2), "");  // start rows are left alone
    EXPECT_TRUE(ed->Modifie);
    // Azimuths of the selected rows only, within their unit's turn; the digits of both kept.
    ed->FixeCellule(4, 5, "gr");
    ed->AjouteValeur(2, "-50", 3, 3);
    ed->AjouteValeur(2, "355.25", 4, 4);
    EXPECT_EQ(ed->Cellule(3, 4), "355");
    EXPECT_EQ(ed->Cellule(4, 4), "0.25");
    ed->FixeCellule(2, 2, "1234.56");
    ed->AjouteValeur(1, "0.001", 2, 2);
    EXPECT_EQ(ed->Cellule(2, 2), "1234.561");
    // A slope brought past the vertical: nothing changed, the shot named.
    ed->FixeCellule(3, 6, "-86");
    ed->AjouteValeur(3, "-5", 2, 4);
    EXPECT_EQ(DernierMessage(), "La pente de la visée 2 passerait la verticale (-91 °) : aucune pente n'a été corrigée.");
    EXPECT_EQ(ed->Cellule(2, 6), "-5");
}

TEST_F(Outils, DeclinaisonAutomatique)
{
    massif.Origine_Declinaison = 2.0L;
    massif.Variation_Declinaison = 0.1L;
    massif.Date_Declinaison = "01/01/80";
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->Date->setText("15/06/99");
    ed->Button8Click();
    const long double d = 19 + 5.0L / 12 + 14.0L / 365;
    EXPECT_EQ(ed->Declinaison->text().toStdString(), FormatGeneral(2.0L - 0.1L * d, 5, 4));
    EXPECT_EQ(ed->UniteDecli->currentText(), "°");
    // A year below 50 is in the 2000s; a date of only a year counts from its start.
    ed->Date->setText("  /  /03");
    ed->Button8Click();
    EXPECT_EQ(ed->Declinaison->text(), "-0.3");
    ed->Date->setText("12/05/  ");
    ed->Button8Click();
    EXPECT_EQ(DernierMessage(), "Il faut au moins l'année dans la date pour calculer la déclinaison\rexemple 03/01/99");
}

TEST_F(Outils, ListeDesTopographes)
{
    QTemporaryDir utilisateur, programme;
    hote.utilisateur = utilisateur.path().toStdString() + "/";
    hote.programme = programme.path().toStdString() + "/";
    {
        std::ofstream f(hote.programme + "EXPLORAT.TXT", std::ios::binary);
        f << "Zo\xE9\r\nAlain\r\nMarc\r\n";
    }
    ed->OuvreFiche(nullptr, &massif, 0, &prefs);
    ed->Topographe->setPlainText("Jean");
    PiloteModalInstalle pilote([](QDialog& d) {
        auto& e = dynamic_cast<TExplorateur&>(d);
        EXPECT_EQ(e.SrcList->count(), 3);
        EXPECT_EQ(e.SrcList->item(0)->text(), "Alain");
        e.SrcList->item(2)->setSelected(true);  // Zoé
        QTest::mouseClick(e.IncludeBtn, Qt::LeftButton);
        e.SrcList->clearSelection();
        e.SrcList->item(1)->setSelected(true);  // Marc
        QTest::mouseClick(e.IncludeBtn, Qt::LeftButton);
        EXPECT_EQ(e.DstList->item(0)->text(), "Marc");
        EXPECT_EQ(e.DstList->item(1)->text(), "Zoé");
        EXPECT_TRUE(e.ExcludeBtn->isEnabled());
        return static_cast<int>(QDialog::Accepted);
    });
    ed->ListeClick();
    EXPECT_EQ(ed->Topographe->toPlainText(), "Jean\nMarc\nZoé");
    // The user's copy is made once and never overwritten.
    {
        std::ofstream f(hote.programme + "EXPLORAT.TXT", std::ios::binary);
        f << "Autre\r\n";
    }
    ed->ListeClick();
    std::ifstream f(hote.utilisateur + "EXPLORAT.TXT", std::ios::binary);
    const std::string copie{std::istreambuf_iterator<char>(f), {}};
    EXPECT_EQ(copie, "Zo\xE9\r\nAlain\r\nMarc\r\n");
}

TEST_F(Outils, LargeursRangeesDansLaDisposition)
{
    ed->OuvreFiche(Fiche(1), &massif, 0, &prefs);
    ed->FixeLargeurColonne(9, 70);   // Largeur D
    ed->FixeLargeurColonne(10, 33);  // its unit
    ed->FixeLargeurColonne(14, 140);
    ed->RangeLargeurs();
    EXPECT_EQ(prefs.GLargeur.Largeur, 70);
    EXPECT_EQ(prefs.GLargeur.LargeurUnite, 33);
    EXPECT_EQ(prefs.GCommentaires.Largeur, 140);
    EXPECT_EQ(prefs.Colonnes[14].Largeur, 140);
}

// ---- small dialogs ----

TEST_F(Outils, InformationsDeLaGalerie)
{
    TInformations& i = *ed->Informations;
    TEco commentaire("entr\xE9"
                     "e");
    i.ChargeFiche(commentaire, 1.0L, 1.000126L);
    EXPECT_EQ(i.Info->text(), "entrée");
    EXPECT_EQ(i.Deformation->text(), "1");
    EXPECT_EQ(i.Topofil->text(), "1.000126");
    // A coefficient is positive: '-' cannot even be typed.
    QTest::keyClicks(i.Deformation, "-,5");
    EXPECT_EQ(i.Deformation->text(), "1,5");
    for (const char* refus : {"0", "-1", "abc"}) {
        i.setResult(0);
        i.Deformation->setText(refus);
        i.OKBtnClick();
        EXPECT_EQ(i.result(), 0) << refus;
        EXPECT_EQ(DernierMessage(), "La déformation doit être numérique et positive\rexemple 2.5");
    }
    i.Deformation->setText("2.5");
    i.Topofil->setText("0");
    i.OKBtnClick();
    EXPECT_EQ(i.result(), 0);
    EXPECT_EQ(DernierMessage(),
              "La correction du Topofil doit être numérique et positive (et proche de 1)\rexemple 1.002");
    i.Topofil->setText("1.002");
    i.Info->setText("sortie");
    i.OKBtnClick();
    EXPECT_EQ(i.result(), QDialog::Accepted);
    Reel6 coef, topofil;
    i.EnregistreFiche(commentaire, coef, topofil);
    EXPECT_EQ(commentaire.Chaine(), "sortie");
    EXPECT_EQ(static_cast<double>(coef), 2.5);
    EXPECT_NEAR(static_cast<double>(topofil), 1.002, 1e-9);
}

TEST_F(Outils, CorrectionEtColonnesIgnorees)
{
    TCorrection c;
    c.Quoi = 3;
    c.SansSelection = false;
    c.FormActivate();
    EXPECT_TRUE(c.LaSelection->isChecked());
    EXPECT_EQ(c.Quantite->text(), "la pente");
    c.Edit1->setText("x");
    c.OKBtnClick();
    EXPECT_EQ(c.result(), 0);
    EXPECT_EQ(DernierMessage(), "Valeur incorrecte\rexemple 2.53");
    c.LaSelection->setChecked(false);
    c.Edit1->setText("-2");
    c.OKBtnClick();
    EXPECT_EQ(c.result(), QDialog::Accepted);
    EXPECT_TRUE(c.SansSelection);

    TImportationExcel e;
    e.Colonnes->setPlainText("3\nx");
    e.OKBtnClick();
    EXPECT_EQ(e.result(), 0);
    EXPECT_EQ(DernierMessage(), "Numéro de colonne incorrecte\rexemple 5");
    e.Colonnes->setPlainText("3\n5\n");
    e.OKBtnClick();
    EXPECT_EQ(e.result(), QDialog::Accepted);
    EXPECT_EQ(e.Ignores(), std::vector<int>({3, 5}));

    // 4 pixels of room beyond the 3 pixels on each side within which the grid draws a text.
    QTableWidget grille(2, 2);
    AjusteColonne(&grille, 1);
    EXPECT_EQ(grille.columnWidth(1), 10);
    grille.setItem(1, 1, new QTableWidgetItem(QStringLiteral("-°vul")));
    AjusteColonne(&grille, 1);
    EXPECT_EQ(grille.columnWidth(1), 10 + QFontMetrics(grille.font()).horizontalAdvance(QStringLiteral("-°vul")));
}

// ---- input preferences ----

TEST_F(Outils, PreferencesDeSaisie)
{
    TForm3 d;
    d.Initialise(&prefs);
    ASSERT_EQ(d.ListBox1->count(), 10);
    EXPECT_EQ(d.ListBox1->item(6)->text(), "Croquis");
    d.ListBox1->setCurrentRow(6);
    d.HautClick();
    d.HautClick();
    EXPECT_EQ(d.ListBox1->currentRow(), 4);
    EXPECT_EQ(d.Taille->text(), "15");
    // Length unit typed in capitals.
    d.ListBox1->setCurrentRow(1);
    d.Unite->setEditText("CM");
    // Dév. horizontal shown with a flag column of 25.
    d.ListBox1->setCurrentRow(8);
    EXPECT_TRUE(d.Manuel->isEnabled());
    EXPECT_FALSE(d.Colonne->isEnabled());
    d.Manuel->setChecked(true);
    d.Taille_Manuel->setText("2,5");  // refused: the element stays shown
    d.ListBox1->setCurrentRow(5);
    EXPECT_EQ(d.ListBox1->currentRow(), 8);
    EXPECT_EQ(DernierMessage(), "Le champ « Manuel : Taille définition » n'accepte pas « 2,5 » : il faut un nombre "
                                "entier de 0 à 65535.");
    d.Taille_Manuel->setText("25");
    // Widths in one column.
    d.ListBox1->setCurrentRow(5);
    EXPECT_EQ(d.ListBox1->currentItem()->text(), "Largeur");
    d.Colonne->setChecked(false);
    d.Applique();
    EXPECT_EQ(prefs.GCroquis.Position, 4);
    EXPECT_EQ(prefs.GLargeur.Position, 5);
    EXPECT_EQ(prefs.GHauteur.Position, 6);
    EXPECT_EQ(prefs.GLongueur.Unite.str(), "cm");
    EXPECT_FALSE(prefs.GLargeur.DeuxColonnes);
    EXPECT_TRUE(prefs.GHorizontal.Affiche);
    std::vector<int> types;
    for (int k = 1; k <= prefs.NbColonnes; ++k)
        types.push_back(prefs.Colonnes[static_cast<std::size_t>(k)].Type);
    EXPECT_EQ(types, std::vector<int>({1, 2, 131, 4, 133, 6, 135, 16, 8, 139, 12, 143, 17, 82, 19}));
    EXPECT_EQ(prefs.Colonnes[14].Largeur, 25);
    EXPECT_EQ(prefs.Colonnes[3].Unite.str(), "cm");
}

}  // namespace

TEST_F(Outils, SansDialogueDePointLesCommandesDePointNeFontRien)
{
    ed->OuvreFiche(Fiche(2), &massif, 0, &prefs);
    ASSERT_EQ(ed->DialoguePoint(), nullptr);
    const int lignes = ed->NbLignes();
    const QString depart = ed->Cellule(1, 1);
    ed->Modifier(1);
    ed->InserePoint(2);
    ed->Continuerenbas1Click();
    EXPECT_EQ(ed->NbLignes(), lignes);
    EXPECT_EQ(ed->Cellule(1, 1), depart);
    EXPECT_FALSE(ed->Modifie);
    EXPECT_TRUE(invite.messages.empty());
}
