// The branch commands of the developed section, with scripted searches, choice lists and
// dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "coupe_factice.h"
#include "formulaires/nvlle_branche.h"
#include "platform/interlocuteur.h"
#include "survey/coupe.h"
#include "views/coupe_branches.h"
#include "views/coupe_vue.h"

using namespace karst;
using namespace karst::test;

namespace {

// Sheet 1: A(1)-B(1) 3 m, B(1)-C(1) 2 m, b(1)-D(1) 1 m, E(1)-terminus 1 m;
// sheet 2: F(1)-B(1) 4 m.
class Branches : public ::testing::Test {
protected:
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    ContexteCoupe ctx;
    TCoupe vue{ctx};
    TFiche* f1 = nullptr;
    TFiche* f2 = nullptr;

    void SetUp() override
    {
        AssureApplication();
        f1 = &AjouteFiche(ctx.massif);
        GalerieSection(*f1, "A", 1, "B", 1, 0, {{3, 0}});
        GalerieSection(*f1, "B", 1, "C", 1, 0, {{2, 0}});
        GalerieSection(*f1, "b", 1, "D", 1, 0, {{1, 0}});
        GalerieSection(*f1, "E", 1, "", 0, 0, {{1, 0}});
        f2 = &AjouteFiche(ctx.massif);
        GalerieSection(*f2, "F", 1, "B", 1, 0, {{4, 0}});
        ctx.massif.PointsCalcules = true;
    }
    TGalerie& G(TFiche* f, int i) { return *f->Galeries[static_cast<std::size_t>(i)]; }
    // A new branch at gallery i of sheet 1 from its start (item 0) or end (item 1).
    bool Nouvelle(TFiche* f, int i, const char* x, const char* z, bool gauche, int item)
    {
        ctx.recherches.push_back({true, f, i});
        ctx.modal = [=](QDialog& d) {
            auto& n = static_cast<TNvlle_Branche&>(d);
            n.Horizontal->setText(x);
            n.Vertical->setText(z);
            n.CheckBox1->setChecked(gauche);
            n.FixeItemIndex(item);
            return true;
        };
        return vue.NouvelleBranche();
    }
    QStringList Messages() const { return invite.Textes(); }
};

TEST_F(Branches, NewBranchFromTheDialog)
{
    ASSERT_TRUE(Nouvelle(f1, 0, "12.5", "-3", false, 1));
    ASSERT_FALSE(ctx.galeriesProposees.empty());
    EXPECT_EQ(ctx.galeriesProposees.back(), -2);
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    const TPointCoupe& r = *ctx.massif.Coupe[0];
    EXPECT_EQ(r.Nom.Chaine(), "B");
    EXPECT_EQ(r.Indice, 1);
    EXPECT_DOUBLE_EQ(r.X.d(), 12.5);
    EXPECT_DOUBLE_EQ(r.Z.d(), -3);
    EXPECT_EQ(r.Fiche, f1->Ordre);
    EXPECT_EQ(r.Galerie, 0);
    const TGalerie& g = G(f1, 0);
    EXPECT_TRUE(g.DansCoupe);
    EXPECT_FALSE(g.Sens);
    EXPECT_FALSE(g.GaucheDroite);
    // Laid out at once.
    EXPECT_DOUBLE_EQ(g.CoupeX0.d(), 12.5);
    EXPECT_DOUBLE_EQ(g.CoupeZ0.d(), -3);

    // The dialog keeps its last values; its items name the gallery's two stations.
    ctx.recherches.push_back({true, f1, 1});
    QString h, v, items[2];
    bool gauche = true, visible = false;
    int item = -1;
    ctx.modal = [&](QDialog& d) {
        auto& n = static_cast<TNvlle_Branche&>(d);
        h = n.Horizontal->text(), v = n.Vertical->text();
        gauche = n.CheckBox1->isChecked();
        item = n.ItemIndex();
        items[0] = n.PointItems[0]->text(), items[1] = n.PointItems[1]->text();
        visible = !n.Point->isHidden();
        return false;
    };
    EXPECT_FALSE(vue.NouvelleBranche());
    EXPECT_EQ(h, "12.5");
    EXPECT_EQ(v, "-3");
    EXPECT_FALSE(gauche);
    EXPECT_EQ(item, 1);
    EXPECT_EQ(items[0], "B(1)");
    EXPECT_EQ(items[1], "C(1)");
    EXPECT_TRUE(visible);
    EXPECT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_FALSE(G(f1, 1).DansCoupe);

    // At a terminus end; an offset that is no number gives 0.
    ASSERT_TRUE(Nouvelle(f1, 3, "abc", "2", true, 1));
    EXPECT_EQ(ctx.massif.Coupe[1]->Nom.Chaine(), "Terminus");
    EXPECT_EQ(ctx.massif.Coupe[1]->Indice, 0);
    EXPECT_DOUBLE_EQ(ctx.massif.Coupe[1]->X.d(), 0);
    EXPECT_TRUE(G(f1, 3).GaucheDroite);
}

TEST_F(Branches, NewBranchRefusals)
{
    // Chosen in the list rather than in the preview.
    ctx.recherches.push_back({true, f1, -1});
    EXPECT_FALSE(vue.NouvelleBranche());
    // The search cancelled.
    ctx.recherches.push_back({false});
    EXPECT_FALSE(vue.NouvelleBranche());
    // A gallery already in a branch is not made a second branch start.
    ASSERT_TRUE(Nouvelle(f1, 0, "0", "0", true, 0));
    EXPECT_FALSE(Nouvelle(f1, 0, "5", "0", true, 0));
    EXPECT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_EQ(Messages(), (QStringList{"Il faut obligatoirement passer par la visualisation pour cette option",
                                       "Cette galerie est déjà dans la coupe."}));
}

TEST_F(Branches, ContinueAtTheFarStation)
{
    ASSERT_TRUE(Nouvelle(f1, 0, "0", "0", false, 0));  // A -> B, far station B
    int fiche = 0, galerie = 0;
    ctx.choix.push_back(2);
    ASSERT_TRUE(vue.ContinueBranche(fiche, galerie));
    // The galleries meeting B, whatever the case of its name, shown by their other end.
    ASSERT_EQ(ctx.listesVues.size(), 1u);
    EXPECT_EQ(ctx.listesVues[0], (std::vector<std::string>{"C/1", "D/1", "F/1"}));
    EXPECT_EQ(std::make_pair(fiche, galerie), std::make_pair(1, 0));
    const TGalerie& parent = G(f1, 0);
    ASSERT_EQ(parent.NbSuites, 1);
    EXPECT_EQ(parent.SuiteFiche[1], f2->Ordre);
    EXPECT_EQ(parent.SuiteGalerie[1], 0);
    const TGalerie& suite = G(f2, 0);
    EXPECT_TRUE(suite.DansCoupe);
    EXPECT_FALSE(suite.Sens);          // enters at its end B
    EXPECT_FALSE(suite.GaucheDroite);  // the parent's direction, not the dialog's
    // Laid out: from the parent's far end, leftwards.
    EXPECT_DOUBLE_EQ(suite.CoupeX0.d(), -3);

    // Cancelling the choice adds nothing, and still reports a change.
    fiche = 0, galerie = 0;
    EXPECT_TRUE(vue.ContinueBranche(fiche, galerie));
    EXPECT_EQ(parent.NbSuites, 1);
    EXPECT_EQ(std::make_pair(fiche, galerie), std::make_pair(0, 0));

    // The last two candidates: one left after the next.
    ctx.choix.push_back(0);
    ASSERT_TRUE(vue.ContinueBranche(fiche, galerie));
    EXPECT_EQ(std::make_pair(fiche, galerie), std::make_pair(0, 1));
    fiche = 0, galerie = 0;
    ASSERT_TRUE(vue.ContinueBranche(fiche, galerie));
    EXPECT_EQ(std::make_pair(fiche, galerie), std::make_pair(0, 2));
    EXPECT_TRUE(G(f1, 2).Sens);
    EXPECT_EQ(ctx.listesVues.size(), 3u);
    fiche = 0, galerie = 0;
    EXPECT_FALSE(vue.ContinueBranche(fiche, galerie));
    ASSERT_FALSE(Messages().isEmpty());
    EXPECT_EQ(Messages().back(), "Pas de suite (disponible)");
}

TEST_F(Branches, ContinueRefusals)
{
    ASSERT_TRUE(Nouvelle(f1, 3, "0", "0", true, 0));  // E -> terminus
    int fiche = 0, galerie = 3;
    EXPECT_FALSE(vue.ContinueBranche(fiche, galerie));
    TGalerie& g = G(f1, 0);
    g.DansCoupe = g.Sens = true;
    g.NbSuites = 5;
    galerie = 0;
    EXPECT_FALSE(vue.ContinueBranche(fiche, galerie));
    EXPECT_EQ(Messages(), (QStringList{"Galerie en cul-de-sac", "Pas plus de 5 suites par galerie"}));
}

TEST_F(Branches, InverseFlipsTheGalleryAndItsDownstream)
{
    ASSERT_TRUE(Nouvelle(f1, 0, "0", "0", true, 0));
    int fiche = 0, galerie = 0;
    ctx.choix.push_back(0);
    ASSERT_TRUE(vue.ContinueBranche(fiche, galerie));   // B -> C
    EXPECT_FALSE(vue.ContinueBranche(fiche, galerie));  // nothing goes on from C
    vue.InverseBranche(f1->Ordre, 1);
    EXPECT_TRUE(G(f1, 0).GaucheDroite);
    EXPECT_FALSE(G(f1, 1).GaucheDroite);
    vue.InverseBranche(f1->Ordre, 0);
    EXPECT_FALSE(G(f1, 0).GaucheDroite);
    EXPECT_TRUE(G(f1, 1).GaucheDroite);
    EXPECT_THROW(vue.InverseBranche(99, 0), ErreurIndexListe);
}

TEST_F(Branches, ShiftMakesAContinuationABranchStart)
{
    ASSERT_TRUE(Nouvelle(f1, 0, "10", "-2", true, 0));
    int fiche = 0, galerie = 0;
    ctx.choix.push_back(0);
    ASSERT_TRUE(vue.ContinueBranche(fiche, galerie));  // B -> C at x 13
    ctx.massif.CalculeCoupe();
    QString titre, h, v;
    bool visible = true;
    ctx.modal = [&](QDialog& d) {
        auto& n = static_cast<TNvlle_Branche&>(d);
        titre = n.windowTitle(), h = n.Horizontal->text(), v = n.Vertical->text();
        visible = !n.Point->isHidden() || !n.CheckBox1->isHidden();
        return true;
    };
    ASSERT_TRUE(vue.DecaleBranche(f1->Ordre, 1));
    EXPECT_EQ(titre, QString::fromUtf8("Décaler une branche"));
    EXPECT_EQ(h, "13");
    EXPECT_EQ(v, "-2");
    EXPECT_FALSE(visible);
    ASSERT_EQ(ctx.massif.Coupe.size(), 2u);
    const TPointCoupe& r = *ctx.massif.Coupe[1];
    EXPECT_EQ(r.Nom.Chaine(), "B");
    EXPECT_EQ(r.Galerie, 1);
    EXPECT_DOUBLE_EQ(r.X.d(), 13);
    EXPECT_EQ(G(f1, 0).NbSuites, 0);
    // It no longer moves with its former parent.
    ctx.massif.Coupe[0]->X = 0;
    ctx.massif.PlaceCoupe();
    EXPECT_DOUBLE_EQ(G(f1, 1).CoupeX0.d(), 13);

    // On a branch start: the root moves; a text that is no number changes nothing.
    ctx.modal = [](QDialog& d) {
        static_cast<TNvlle_Branche&>(d).Horizontal->setText("20");
        return true;
    };
    ASSERT_TRUE(vue.DecaleBranche(f1->Ordre, 1));
    EXPECT_DOUBLE_EQ(ctx.massif.Coupe[1]->X.d(), 20);
    EXPECT_EQ(ctx.massif.Coupe.size(), 2u);
    ctx.modal = [](QDialog& d) {
        static_cast<TNvlle_Branche&>(d).Vertical->setText("-");
        return true;
    };
    EXPECT_FALSE(vue.DecaleBranche(f1->Ordre, 1));
    EXPECT_DOUBLE_EQ(ctx.massif.Coupe[1]->Z.d(), -2);
    // A field emptied passes "Terminer" and is 0.
    ctx.modal = [](QDialog& d) {
        static_cast<TNvlle_Branche&>(d).Vertical->clear();
        d.findChild<QPushButton*>("Button1")->click();
        return d.result() == QDialog::Accepted;
    };
    EXPECT_TRUE(vue.DecaleBranche(f1->Ordre, 1));
    EXPECT_DOUBLE_EQ(ctx.massif.Coupe[1]->Z.d(), 0);
}

TEST_F(Branches, AttachABranchStart)
{
    // Not a branch start.
    EXPECT_FALSE(vue.RaccrocheBranche(f1->Ordre, 1));
    // B -> C as a branch; A -> B ends at B.
    ASSERT_TRUE(Nouvelle(f1, 1, "0", "0", true, 0));
    EXPECT_FALSE(vue.RaccrocheBranche(f1->Ordre, 1));
    ASSERT_TRUE(Nouvelle(f1, 0, "0", "0", true, 0));
    ASSERT_TRUE(vue.RaccrocheBranche(f1->Ordre, 1));
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_EQ(ctx.massif.Coupe[0]->Galerie, 0);
    EXPECT_EQ(G(f1, 0).NbSuites, 1);
    EXPECT_EQ(G(f1, 0).SuiteGalerie[1], 1);
    EXPECT_EQ(Messages(), (QStringList{"Vous n'êtes pas au début d'une branche, raccrochage impossible.",
                                       "Pas de branche disponible pour un raccrochage"}));
}

TEST_F(Branches, AttachMatchesTheExactNameAndNeverItsOwnDownstream)
{
    // b -> D as a branch from b; F -> B ends at "B", not "b".
    ASSERT_TRUE(Nouvelle(f1, 2, "0", "0", true, 0));
    ASSERT_TRUE(Nouvelle(f2, 0, "0", "0", true, 0));
    EXPECT_FALSE(vue.RaccrocheBranche(f1->Ordre, 2));
    // B -> C from B, continued by a gallery C -> B: the loop is refused.
    TGalerie& retour = GalerieSection(*f1, "C", 1, "B", 1, 0, {{1, 0}});
    ASSERT_TRUE(Nouvelle(f1, 1, "0", "0", true, 0));
    retour.DansCoupe = retour.Sens = true;
    AjouteSuite(G(f1, 1), f1->Ordre, 4);
    // Two targets ending at B: F -> B, and the loop's C -> B which is left out.
    ASSERT_TRUE(vue.RaccrocheBranche(f1->Ordre, 1));
    EXPECT_TRUE(ctx.listesVues.empty());
    EXPECT_EQ(G(f2, 0).NbSuites, 1);
    EXPECT_EQ(retour.NbSuites, 0);
}

TEST_F(Branches, SectionWindowCommands)
{
    FenetreFactice fenetre;
    ASSERT_TRUE(Nouvelle(f1, 0, "0", "0", true, 0));
    ctx.massif.Enregistre = true;
    ctx.choix.push_back(0);
    EXPECT_TRUE(CommandeBranche(CommandeCoupe::Continuer, vue, ctx, fenetre));
    EXPECT_EQ(fenetre.journal, (std::vector<std::string>{"efface", "redessine", "selection 0 1", "affiche"}));
    EXPECT_FALSE(ctx.massif.Enregistre);
    EXPECT_TRUE(G(f1, 1).DansCoupe);

    // "Retirer" asks first; cancelled, nothing changes.
    invite.reponses = {Bouton::Annuler, Bouton::OK};
    fenetre.galerie = 0;
    EXPECT_FALSE(CommandeBranche(CommandeCoupe::Retirer, vue, ctx, fenetre));
    EXPECT_TRUE(G(f1, 0).DansCoupe);
    EXPECT_TRUE(CommandeBranche(CommandeCoupe::Retirer, vue, ctx, fenetre));
    EXPECT_FALSE(G(f1, 0).DansCoupe);
    EXPECT_FALSE(G(f1, 1).DansCoupe);
    EXPECT_TRUE(ctx.massif.Coupe.empty());
    ASSERT_FALSE(Messages().isEmpty());
    EXPECT_EQ(Messages().back(), "Cette galerie et son(ses) aval(s) vont être retirés de la coupe");
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().defaut, Bouton::Annuler);

    // Without a selection only "Nouvelle" runs.
    fenetre.selection = false;
    EXPECT_FALSE(CommandeBranche(CommandeCoupe::Inverser, vue, ctx, fenetre));
}

}  // namespace

// The offsets show with fewer digits than they hold: confirmed as shown, they stay exactly as
// they were and the massif is not changed.
TEST_F(Branches, ShiftConfirmedUnchangedKeepsTheOffsets)
{
    FenetreFactice fenetre;
    ASSERT_TRUE(Nouvelle(f1, 0, "12.3456789", "1234.5", true, 0));
    ctx.massif.PlaceCoupe();
    ctx.massif.Enregistre = true;
    QString h, v;
    // The user presses Enter in the dialog's first field.
    ctx.modal = [&](QDialog& d) {
        auto& n = static_cast<TNvlle_Branche&>(d);
        h = n.Horizontal->text(), v = n.Vertical->text();
        d.setResult(0);
        d.show();
        QTest::keyClick(n.Horizontal, Qt::Key_Return);
        d.hide();
        return d.result() == QDialog::Accepted;
    };
    fenetre.galerie = 0;
    bool accepte = false;
    const auto entree = ctx.modal;
    ctx.modal = [&](QDialog& d) { return accepte = entree(d); };
    EXPECT_FALSE(CommandeBranche(CommandeCoupe::Decaler, vue, ctx, fenetre));
    EXPECT_TRUE(accepte);
    EXPECT_EQ(h, "12.3457");
    EXPECT_EQ(v, "1235");
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_EQ(ctx.massif.Coupe[0]->X.d(), Reel6(12.3456789L).d());
    EXPECT_EQ(ctx.massif.Coupe[0]->Z.d(), 1234.5);
    EXPECT_TRUE(ctx.massif.Enregistre);

    // Values typed over the ones shown are taken as typed, a decimal comma as a point; keys
    // that make no number are dropped.
    ctx.modal = [&](QDialog& d) {
        auto& n = static_cast<TNvlle_Branche&>(d);
        d.setResult(0);
        d.show();
        QApplication::setActiveWindow(&d);
        n.Horizontal->setFocus();
        n.Horizontal->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "1,2,3");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(n.Horizontal->selectedText(), "1,2,3");
        QTest::keyClicks(QApplication::focusWidget(), "12,5a");
        EXPECT_EQ(n.Horizontal->text(), "12,5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        n.Vertical->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "1236");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        d.hide();
        return d.result() == QDialog::Accepted;
    };
    EXPECT_TRUE(CommandeBranche(CommandeCoupe::Decaler, vue, ctx, fenetre));
    EXPECT_EQ(ctx.massif.Coupe[0]->Z.d(), 1236);
    EXPECT_EQ(ctx.massif.Coupe[0]->X.d(), 12.5);
    EXPECT_FALSE(ctx.massif.Enregistre);
    EXPECT_EQ(Messages(),
              QStringList{"Le champ « Décalage horizontal » n'accepte pas « 1,2,3 » : ce n'est pas un nombre."});
}
