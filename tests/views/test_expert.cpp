// The section expert over a small network, with scripted searches and answers.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <limits>
#include <random>

#include "coupe_factice.h"
#include "formulaires/expert.h"
#include "formulaires/nvlle_branche.h"
#include "platform/interlocuteur.h"
#include "views/coupe_geometrie.h"
#include "views/coupe_vue.h"

using namespace karst;
using namespace karst::test;

namespace {

// A(1) -10 m- B(1) -5.8 m- C(1) -5.1 m- D(1), with a 30 m shortcut B-D, a dead end at B,
// and a long gallery C-e(1) rising 20 m. Depths from A: B -2, C -5, D -6, e +15.
class Expert : public ::testing::Test {
protected:
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    ContexteCoupe ctx;
    TFiche* f = nullptr;
    std::unique_ptr<TExpert> expert;

    void SetUp() override
    {
        AssureApplication();
        f = &AjouteFiche(ctx.massif);
        GalerieSection(*f, "A", 1, "B", 1, 0, {{10, -2}});
        GalerieSection(*f, "B", 1, "C", 1, -2, {{5, -3}});
        GalerieSection(*f, "C", 1, "D", 1, -5, {{5, -1}});
        GalerieSection(*f, "B", 1, "D", 1, -2, {{30, 0}});
        GalerieSection(*f, "B", 1, "", 0, -2, {{2, 0}});
        GalerieSection(*f, "C", 1, "e", 1, -5, {{50, 20}});
        ctx.massif.PointsCalcules = true;
        expert = std::make_unique<TExpert>(ctx);
        expert->FormShow();
    }
    TGalerie& G(int i) { return *f->Galeries[static_cast<std::size_t>(i)]; }
    void Points(const char* depart, const char* iDepart, const char* arrivee, const char* iArrivee)
    {
        expert->Nom_Depart->setText(depart);
        expert->Indice_depart->setText(iDepart);
        expert->Nom_Arrivee->setText(arrivee);
        expert->Indice_Arrivee->setText(iArrivee);
    }
    std::vector<int32_t> Suites(int i)
    {
        std::vector<int32_t> r;
        for (int k = 1; k <= G(i).NbSuites; ++k)
            r.push_back(G(i).SuiteGalerie[static_cast<std::size_t>(k)]);
        return r;
    }
};

TEST_F(Expert, BuildsTheLightestPathAsANewBranch)
{
    EXPECT_TRUE(expert->Nouvelle->isChecked());
    EXPECT_TRUE(expert->Horizontal->isEnabled());
    Points("a", "1", "D", "1");
    expert->Horizontal->setText("5");
    expert->Vertical->setText("-1");
    expert->Gauche->setChecked(false);
    expert->Lateral->setChecked(true);
    ASSERT_TRUE(expert->Construit());
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    const TPointCoupe& r = *ctx.massif.Coupe[0];
    EXPECT_EQ(r.Nom.Chaine(), "A");
    EXPECT_EQ(r.Galerie, 0);
    EXPECT_DOUBLE_EQ(r.X.d(), 5);
    EXPECT_DOUBLE_EQ(r.Z.d(), -1);
    // A-B, then the dead end at B before the path goes on by B-C, then C-D.
    EXPECT_EQ(Suites(0), (std::vector<int32_t>{4, 1}));
    EXPECT_EQ(Suites(1), (std::vector<int32_t>{2}));
    for (int i : {0, 1, 2, 4}) {
        EXPECT_TRUE(G(i).DansCoupe) << i;
        EXPECT_TRUE(G(i).Sens) << i;
        EXPECT_FALSE(G(i).GaucheDroite) << i;
    }
    EXPECT_FALSE(G(3).DansCoupe);
    EXPECT_FALSE(G(5).DansCoupe);
    // Laid out leftwards from x 5.
    EXPECT_DOUBLE_EQ(G(2).CoupeX0.d(), -10);
    EXPECT_EQ(ctx.otees, 1);
    EXPECT_EQ(ctx.redessins, 1);
    EXPECT_FALSE(ctx.massif.Enregistre);
    EXPECT_TRUE(invite.messages.empty());
}

TEST_F(Expert, EveryDeadEndOfABusyJunctionIsKept)
{
    // Eight galleries at B, five of them dead ends: the one that A-B has no room for starts
    // at B, where the continuations of A-B start.
    for (int i = 0; i < 3; ++i)
        GalerieSection(*f, "B", 1, "", 0, -2, {{3, 1}});
    GalerieSection(*f, "", 0, "B", 1, -4, {{4, 2}});
    Points("A", "1", "D", "1");
    expert->Horizontal->setText("5");
    expert->Lateral->setChecked(true);
    ASSERT_TRUE(expert->Construit());
    EXPECT_EQ(Suites(0), (std::vector<int32_t>{4, 6, 7, 8, 1}));
    ASSERT_EQ(ctx.massif.Coupe.size(), 2u);
    const TPointCoupe& r = *ctx.massif.Coupe[1];
    EXPECT_EQ(r.Nom.Chaine() + std::to_string(r.Indice) + "/" + std::to_string(r.Galerie), "B1/9");
    EXPECT_DOUBLE_EQ(r.X.d(), 15);
    EXPECT_TRUE(G(9).DansCoupe);
    EXPECT_FALSE(G(9).Sens);
    EXPECT_DOUBLE_EQ(G(9).CoupeX0.d(), G(1).CoupeX0.d());
    EXPECT_TRUE(invite.messages.empty());

    // Whatever the commands on A-B do, each dead end at B is drawn from where A-B ends, the
    // same way, or is gone with it.
    auto depuisB = [](TMassif& m, const TFiche& fi) {
        m.PlaceCoupe();
        m.CalculeCoupe();
        const TGalerie& ab = *fi.Galeries[0];
        const coupe::Pt b = coupe::StationCoupe(ab, ab.NbVisees);
        for (const TGalerie* g : fi.Galeries) {
            if (g->Depart.Terminus == g->Arrivee.Terminus)
                continue;
            EXPECT_EQ(g->DansCoupe, ab.DansCoupe);
            const coupe::Pt p = coupe::StationCoupe(*g, g->Sens ? 0 : g->NbVisees);
            EXPECT_TRUE(!g->DansCoupe || (p.x == b.x && p.y == b.y && g->GaucheDroite == ab.GaucheDroite));
        }
    };
    FenetreFactice fenetre;  // A-B selected
    TCoupe vue{ctx};
    auto decale = [](ContexteCoupe& c, const char* x, const char* z) {
        c.modal = [=](QDialog& d) {
            static_cast<TNvlle_Branche&>(d).Horizontal->setText(x);
            static_cast<TNvlle_Branche&>(d).Vertical->setText(z);
            return true;
        };
    };
    ASSERT_TRUE(CommandeBranche(CommandeCoupe::Inverser, vue, ctx, fenetre));
    depuisB(ctx.massif, *f);
    // A click on A-B highlights what Retirer takes away: every shot of the section.
    CanvasEnregistreur image(600, 400);
    int largeur = 0, hauteur = 0;
    vue.Dimensions(largeur, hauteur, 4, 1, image);
    vue.Dessine(0, 0, 4, 1, image, ModeNormal);
    image.Traces.clear();
    TexteCp1252 texte;
    vue.Designation(true, 0, 0, 0, ModeNormal, texte);
    std::size_t visees = 0;
    for (const TGalerie* g : f->Galeries)
        visees += g->DansCoupe ? static_cast<std::size_t>(g->NbVisees) : 0;
    EXPECT_EQ(DuGenre(image, Trace::Ligne).size(), visees);
    invite.reponses = {Bouton::OK};
    ASSERT_TRUE(CommandeBranche(CommandeCoupe::Retirer, vue, ctx, fenetre));
    EXPECT_TRUE(ctx.massif.Coupe.empty());
    EXPECT_FALSE(G(9).DansCoupe);

    // Seven dead ends, built again: three hang at A-B, and follow it through a shift, a
    // file of either kind, a flip and a removal.
    GalerieSection(*f, "B", 1, "", 0, -2, {{3, 1}});
    GalerieSection(*f, "", 0, "B", 1, -4, {{4, 2}});
    ASSERT_TRUE(expert->Construit());
    ASSERT_EQ(ctx.massif.Coupe.size(), 4u);
    decale(ctx, "5.123456789", "-20");
    ASSERT_TRUE(CommandeBranche(CommandeCoupe::Decaler, vue, ctx, fenetre));
    depuisB(ctx.massif, *f);
    EXPECT_DOUBLE_EQ(G(11).CoupeZ0.d(), -20);
    QTemporaryDir dossier;
    for (const char* nom : {"/jonction.fic", "/jonction.mas"}) {
        SCOPED_TRACE(nom);
        ContexteCoupe rouvert;
        rouvert.massif.NomFichier = dossier.path().toStdString() + nom;
        ctx.massif.Sauve(rouvert.massif.NomFichier);
        ASSERT_EQ(rouvert.massif.Charge().etat, EtatChargement::Charge);
        const TFiche& lue = *rouvert.massif.Fiches[0];
        depuisB(rouvert.massif, lue);
        TCoupe vueLue{rouvert};
        decale(rouvert, "-3", "7");
        ASSERT_TRUE(CommandeBranche(CommandeCoupe::Decaler, vueLue, rouvert, fenetre));
        ASSERT_TRUE(CommandeBranche(CommandeCoupe::Inverser, vueLue, rouvert, fenetre));
        depuisB(rouvert.massif, lue);
        EXPECT_DOUBLE_EQ(lue.Galeries[10]->CoupeZ0.d(), 7);
        invite.reponses = {Bouton::OK};
        ASSERT_TRUE(CommandeBranche(CommandeCoupe::Retirer, vueLue, rouvert, fenetre));
        depuisB(rouvert.massif, lue);
        EXPECT_TRUE(rouvert.massif.Coupe.empty());
    }
}

TEST_F(Expert, RefusalsLeaveTheSectionUnchanged)
{
    Points("A", "01", "D", "1");  // the start index is compared as written
    EXPECT_FALSE(expert->Construit());
    Points("A", "1", "D", "x");
    EXPECT_FALSE(expert->Construit());
    Points("A", "1", "D", "257");  // would name station 1
    EXPECT_FALSE(expert->Construit());
    Points("A", "1", "Z", "1");
    EXPECT_FALSE(expert->Construit());
    expert->Nouvelle->setChecked(false);
    Points("A", "1", "D", "1");
    EXPECT_FALSE(expert->Construit());
    EXPECT_EQ(invite.Textes(),
              (QStringList{"Impossible de rejoindre les deux points. Vérifiez le point de départ.",
                           "L'indice doit être numérique et positif.", "L'indice doit être compris entre 1 et 255.",
                           "Il n'y a rien à mettre en coupe. Vérifiez le point d'arrivée.",
                           "Impossible de raccrocher le départ à une branche connue"}));
    EXPECT_TRUE(ctx.massif.Coupe.empty());
    EXPECT_EQ(ctx.otees, 0);
}

TEST_F(Expert, ContinuesABranchEndingAtTheStart)
{
    // One gallery joins the two points: it becomes a branch of its own.
    Points("A", "1", "B", "1");
    ASSERT_TRUE(expert->Construit());
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_TRUE(G(0).DansCoupe);
    EXPECT_TRUE(G(0).NbSuites == 0);

    // The start is then reached only through a gallery in the section.
    Points("A", "1", "D", "1");
    EXPECT_FALSE(expert->Construit());

    // Continuing: the parent's far station must be typed with its exact case.
    ctx.selection = true;
    ctx.selFiche = 0, ctx.selGalerie = 0;
    expert->FormShow();
    EXPECT_FALSE(expert->Nouvelle->isChecked());
    EXPECT_FALSE(expert->Horizontal->isEnabled());
    EXPECT_EQ(expert->Nom_Depart->text(), "B");
    EXPECT_EQ(expert->Indice_depart->text(), "1");
    Points("b", "1", "D", "1");
    EXPECT_FALSE(expert->Construit());
    Points("B", "1", "D", "1");
    ASSERT_TRUE(expert->Construit());
    EXPECT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_EQ(Suites(0), (std::vector<int32_t>{1}));
    EXPECT_EQ(Suites(1), (std::vector<int32_t>{2}));
    EXPECT_FALSE(G(4).DansCoupe);
}

TEST_F(Expert, FarthestAndDeepestArrivals)
{
    expert->Nom_Depart->setText("A");
    expert->Indice_depart->setText("1");
    expert->CherchePointExtreme(false);
    EXPECT_EQ(expert->Nom_Arrivee->text(), "E");
    EXPECT_EQ(expert->Indice_Arrivee->text(), "1");
    expert->CherchePointExtreme(true);
    EXPECT_EQ(expert->Nom_Arrivee->text(), "D");
    expert->Indice_depart->setText("0");
    expert->CherchePointExtreme(true);
    expert->Indice_depart->setText("2");
    expert->CherchePointExtreme(true);
    EXPECT_EQ(invite.Textes(),
              (QStringList{"L'indice doit être numérique et positif.", "Point de départ inconnu ou déjà en coupe."}));
}

TEST_F(Expert, StationFromAPickedGallery)
{
    expert->Nom_Arrivee->setText("c");
    ctx.recherches.push_back({true, f, 1});  // B-C
    expert->PointDeLaSelection(expert->Nom_Arrivee, expert->Indice_Arrivee);
    ASSERT_FALSE(ctx.criteresVus.empty());
    EXPECT_EQ(ctx.criteresVus.back()[4], "C");
    ASSERT_FALSE(ctx.galeriesProposees.empty());
    EXPECT_EQ(ctx.galeriesProposees.back(), 0);
    EXPECT_EQ(expert->Nom_Arrivee->text(), "C");
    // Neither end named: the question, Yes for the end station.
    expert->Nom_Arrivee->setText("");
    invite.reponses = {Bouton::Oui};
    ctx.recherches.push_back({true, f, 0});
    expert->PointDeLaSelection(expert->Nom_Arrivee, expert->Indice_Arrivee);
    EXPECT_EQ(expert->Nom_Arrivee->text(), "B");
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), "Deux points possibles : B(1) (Oui) et A(1) (Ok)");
    // One end only.
    ctx.recherches.push_back({true, f, 4});
    expert->PointDeLaSelection(expert->Nom_Depart, expert->Indice_depart);
    EXPECT_EQ(expert->Nom_Depart->text(), "B");
    ctx.recherches.push_back({true, f, -1});
    expert->PointDeLaSelection(expert->Nom_Depart, expert->Indice_depart);
    EXPECT_EQ(invite.Textes().back(), "Il faut obligatoirement passer par la visualisation avec cette méthode");
}

// The length of a built branch, checked as a chain: from the root's station, each gallery
// enters where the one before leaves, the last leaves at `arrivee`. -1 when it is no chain.
double LongueurBranche(TMassif& m, const TPointTopo& depart, const TPointTopo& arrivee)
{
    if (m.Coupe.size() != 1)
        return -1;
    const TPointCoupe& r = *m.Coupe[0];
    TFiche* f = m.Fiches[0];
    TGalerie* g = f->Galeries[static_cast<std::size_t>(r.Galerie)];
    TPointTopo ici;
    ici.Copie(depart);
    double longueur = 0;
    int enCoupe = 0;
    for (TFiche* x : m.Fiches)
        for (TGalerie* y : x->Galeries)
            enCoupe += y->DansCoupe;
    for (int n = 0; g; ++n) {
        const TPointTopo& entree = g->Sens ? g->Depart : g->Arrivee;
        if (!g->DansCoupe || !entree.Egal(ici) || g->NbSuites > 1 || n >= enCoupe)
            return -1;
        longueur += static_cast<double>(static_cast<long double>(g->SommeL));
        ici.Copie(g->Sens ? g->Arrivee : g->Depart);
        g = g->NbSuites == 1 ? f->Galeries[static_cast<std::size_t>(g->SuiteGalerie[1])] : nullptr;
    }
    return ici.Egal(arrivee) ? longueur : -1;
}

}  // namespace

TEST(ExpertExemple, TheShuntIsTheLightestWayFromE2ToE4)
{
    AssureApplication();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    ContexteCoupe ctx;
    ASSERT_TRUE(ChargeExemple(ctx.massif));
    TExpert expert(ctx);
    expert.FormShow();
    expert.Nom_Depart->setText("E");
    expert.Indice_depart->setText("2");
    expert.Nom_Arrivee->setText("E");
    expert.Indice_Arrivee->setText("4");
    ASSERT_TRUE(expert.Construit());
    // Only "Shunt du méandre", E4 -> E2, entered at its end.
    std::vector<const TGalerie*> enCoupe;
    for (const TFiche* f : ctx.massif.Fiches)
        for (const TGalerie* g : f->Galeries)
            if (g->DansCoupe)
                enCoupe.push_back(g);
    ASSERT_EQ(enCoupe.size(), 1u);
    const TGalerie& shunt = *enCoupe[0];
    EXPECT_EQ(shunt.Commentaire.Chaine(), "Shunt du m\xE9"
                                          "andre");
    EXPECT_EQ(shunt.Depart.Nom.Chaine() + std::to_string(shunt.Depart.Indice), "E4");
    EXPECT_FALSE(shunt.Sens);
    EXPECT_EQ(shunt.NbSuites, 0);
    ASSERT_EQ(ctx.massif.Coupe.size(), 1u);
    EXPECT_EQ(ctx.massif.Coupe[0]->Nom.Chaine() + std::to_string(ctx.massif.Coupe[0]->Indice), "E2");
    EXPECT_TRUE(invite.messages.empty());
}

// Random networks of up to 40 stations and twice as many galleries (some parallel, some
// looping on one station, some parts cut off): the branch built between two random
// stations is a chain as long as the lightest path that a plain Dijkstra finds, and there
// is a branch exactly when such a path exists.
TEST(ExpertAleatoire, BranchLengthIsTheShortestPath)
{
    AssureApplication();
    InterlocuteurScripte invite;
    InterlocuteurInstalle installe{invite};
    std::mt19937 hasard(20261207);
    int construites = 0;
    for (int essai = 0; essai < 150; ++essai) {
        ContexteCoupe ctx;
        TFiche& f = AjouteFiche(ctx.massif);
        const int n = std::uniform_int_distribution<int>(2, 40)(hasard);
        const int galeries = std::uniform_int_distribution<int>(1, 2 * n)(hasard);
        std::uniform_int_distribution<int> station(1, n);
        std::uniform_real_distribution<double> pas(0.5, 30);
        for (int i = 0; i < galeries; ++i) {
            const int a = station(hasard), b = station(hasard);
            std::vector<Pas> visees;
            const int nv = std::uniform_int_distribution<int>(1, 3)(hasard);
            for (int k = 0; k < nv; ++k)
                visees.push_back({pas(hasard), pas(hasard) - 15});
            GalerieSection(f, "P", a, "P", b, 0, visees);
        }
        ctx.massif.PointsCalcules = true;
        const int depart = station(hasard), arrivee = station(hasard);

        // Plain Dijkstra over the stations, every gallery both ways.
        const double infini = std::numeric_limits<double>::infinity();
        std::vector<double> d(static_cast<std::size_t>(n) + 1, infini);
        std::vector<bool> fait(d.size(), false);
        d[static_cast<std::size_t>(depart)] = 0;
        for (;;) {
            int u = 0;
            for (int k = 1; k <= n; ++k)
                if (!fait[static_cast<std::size_t>(k)] && d[static_cast<std::size_t>(k)] < infini &&
                    (u == 0 || d[static_cast<std::size_t>(k)] < d[static_cast<std::size_t>(u)]))
                    u = k;
            if (u == 0)
                break;
            fait[static_cast<std::size_t>(u)] = true;
            for (const TGalerie* g : f.Galeries) {
                const int a = g->Depart.Indice, b = g->Arrivee.Indice;
                const double l = static_cast<double>(static_cast<long double>(g->SommeL));
                if (a == u)
                    d[static_cast<std::size_t>(b)] =
                        std::min(d[static_cast<std::size_t>(b)], d[static_cast<std::size_t>(u)] + l);
                if (b == u)
                    d[static_cast<std::size_t>(a)] =
                        std::min(d[static_cast<std::size_t>(a)], d[static_cast<std::size_t>(u)] + l);
            }
        }
        const double attendu = d[static_cast<std::size_t>(arrivee)];

        TExpert expert(ctx);
        expert.FormShow();
        expert.Nom_Depart->setText("P");
        expert.Indice_depart->setText(QString::number(depart));
        expert.Nom_Arrivee->setText("P");
        expert.Indice_Arrivee->setText(QString::number(arrivee));
        const bool construit = expert.Construit();
        SCOPED_TRACE(testing::Message() << "try " << essai << ": P" << depart << " to P" << arrivee);
        if (depart == arrivee || attendu == infini) {
            EXPECT_FALSE(construit);
            EXPECT_TRUE(ctx.massif.Coupe.empty());
            continue;
        }
        ASSERT_TRUE(construit);
        ++construites;
        TPointTopo a, b;
        a.Nom.Affecte("P");
        a.Indice = static_cast<uint8_t>(depart);
        b.Nom.Affecte("P");
        b.Indice = static_cast<uint8_t>(arrivee);
        EXPECT_NEAR(LongueurBranche(ctx.massif, a, b), attendu, 1e-6);
    }
    EXPECT_GT(construites, 50);
}
