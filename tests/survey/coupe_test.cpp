// Developed-section layout: abscissae, links, repairs and removal.
#include <gtest/gtest.h>

#include <algorithm>

#include "survey/coupe.h"

using namespace karst;

namespace {

class FauxAvis : public IAvisCoupe {
public:
    std::vector<std::string> messages;
    int redessins = 0;
    void ProblemeCoupe(const std::string& t) override { messages.push_back(t); }
    void RedessineCoupe() override { ++redessins; }
};

struct Avis {
    FauxAvis faux;
    Avis() { DefinitAvisCoupe(&faux); }
    ~Avis() { DefinitAvisCoupe(nullptr); }
};

TGalerie* Galerie(TFiche& f, std::vector<double> horizontales, bool sens = true, bool gd = true)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte("D");
    g->Arrivee.Nom.Affecte("A");
    for (double h : horizontales) {
        auto v = std::make_unique<TVisee>();
        v->Longueur = h;
        g->AjouteVisee(std::move(v));
    }
    g->CalculeVisees(0);
    g->Placee = true;
    g->DansCoupe = true;
    g->Sens = sens;
    g->GaucheDroite = gd;
    return f.Galeries.ajoute(std::move(g));
}

TFiche* Fiche(TMassif& m) { return m.AjouteFiche(std::make_unique<TFiche>(), false); }

void Racine(TMassif& m, int32_t fiche, int32_t galerie, double x, double z)
{
    auto r = std::make_unique<TPointCoupe>();
    r->Fiche = fiche;
    r->Galerie = galerie;
    r->X = x;
    r->Z = z;
    m.Coupe.ajoute(std::move(r));
}

void Suite(TGalerie& g, int32_t fiche, int32_t galerie)
{
    ++g.NbSuites;
    g.SuiteFiche[static_cast<std::size_t>(g.NbSuites)] = fiche;
    g.SuiteGalerie[static_cast<std::size_t>(g.NbSuites)] = galerie;
}

std::vector<double> Abscisses(const TGalerie& g)
{
    std::vector<double> r;
    for (int k = 1; k <= g.NbStations(); ++k)
        r.push_back(g.Station(k).Abscisse.d());
    return r;
}

}  // namespace

TEST(Coupe, MiseEnPageDUneBranche)
{
    struct Cas {
        bool sens, gd;
        std::vector<double> stations;
        double x1, suite;
    };
    const Cas cas[] = {
        {true, true, {12, 15, 19}, 19, 19},
        {false, true, {17, 14, 10}, 19, 19},
        {true, false, {8, 5, 1}, 1, 1},
    };
    for (const Cas& k : cas) {
        TMassif m;
        TFiche* f = Fiche(m);
        TGalerie* g = Galerie(*f, {2, 3, 4}, k.sens, k.gd);
        g->Depart.Z = 100;
        TGalerie* s = Galerie(*f, {1});
        Suite(*g, f->Ordre, 1);
        Racine(m, f->Ordre, 0, 10, -5);
        m.PointsCalcules = true;
        m.PlaceCoupe();
        EXPECT_FALSE(m.CoupeCalculee);
        m.CalculeCoupe();
        EXPECT_TRUE(m.CoupeCalculee);
        EXPECT_EQ(g->CoupeX0.d(), 10);
        EXPECT_EQ(g->CoupeZ0.d(), -5);
        EXPECT_EQ(Abscisses(*g), k.stations);
        EXPECT_EQ(g->CoupeX1.d(), k.x1);
        EXPECT_EQ(s->CoupeX0.d(), k.suite);
        EXPECT_EQ(s->CoupeZ0.d(), -5);
    }
}

TEST(Coupe, CorrectionHorizontaleDecaleSeulementLesSuites)
{
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* g = Galerie(*f, {2, 3, 4});
    g->Visee(2)->AvecCorrHorizontale = true;
    g->Visee(2)->CorrHorizontale = 6;
    TGalerie* s = Galerie(*f, {1});
    Suite(*g, f->Ordre, 1);
    Racine(m, f->Ordre, 0, 10, -5);
    m.PointsCalcules = true;
    m.PlaceCoupe();
    m.CalculeCoupe();
    EXPECT_EQ(Abscisses(*g), (std::vector<double>{12, 15, 19}));
    EXPECT_EQ(g->CoupeX1.d(), 19);
    EXPECT_EQ(s->CoupeX0.d(), 22);
    EXPECT_EQ(Abscisses(*s), (std::vector<double>{23}));
    // Stations placed again (a sheet deleted, say) lose their abscissae: the section is laid out anew.
    m.PlaceTousPoints();
    EXPECT_FALSE(m.CoupeCalculee);
}

TEST(Coupe, RacineDisparueRetireeSeule)
{
    Avis avis;
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* g = Galerie(*f, {2});
    Racine(m, 99, 0, 0, 0);  // no such sheet
    Racine(m, f->Ordre, 0, 7, 1);
    Racine(m, f->Ordre, 5, 0, 0);  // no such gallery
    m.PlaceCoupe();
    ASSERT_EQ(m.Coupe.size(), 1u);
    EXPECT_EQ(m.Coupe[0]->X.d(), 7);
    EXPECT_EQ(g->CoupeX0.d(), 7);
    EXPECT_TRUE(g->DansCoupe);
    EXPECT_EQ(avis.faux.messages, (std::vector<std::string>{kProblemeCoupe}));
    EXPECT_FALSE(m.Enregistre);
    m.Enregistre = true;
    m.PlaceCoupe();  // nothing left to repair
    EXPECT_EQ(avis.faux.messages.size(), 1u);
    EXPECT_TRUE(m.Enregistre);
}

// Whether a walk from the roots along the continuations reaches every gallery marked in
// the section.
static bool ToutEstAtteint(TMassif& m)
{
    std::vector<const TGalerie*> pile, vues;
    auto cherche = [&](int32_t fiche, int32_t galerie) -> const TGalerie* {
        for (TFiche* f : m.Fiches)
            if (f->Ordre == fiche && galerie >= 0 && static_cast<std::size_t>(galerie) < f->Galeries.size())
                return f->Galeries[static_cast<std::size_t>(galerie)];
        return nullptr;
    };
    for (const TPointCoupe* r : m.Coupe)
        if (const TGalerie* g = cherche(r->Fiche, r->Galerie))
            pile.push_back(g);
    while (!pile.empty()) {
        const TGalerie* g = pile.back();
        pile.pop_back();
        if (std::find(vues.begin(), vues.end(), g) != vues.end())
            continue;
        vues.push_back(g);
        for (int k = 1; k <= g->NbSuites; ++k)
            if (const TGalerie* s =
                    cherche(g->SuiteFiche[static_cast<std::size_t>(k)], g->SuiteGalerie[static_cast<std::size_t>(k)]))
                pile.push_back(s);
    }
    for (TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries)
            if (g->DansCoupe && std::find(vues.begin(), vues.end(), g) == vues.end())
                return false;
    return true;
}

TEST(Coupe, LesGaleriesSousUneRacineRetireeQuittentLaCoupe)
{
    Avis avis;
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* a = Galerie(*f, {2});
    TGalerie* b = Galerie(*f, {3});
    TGalerie* c = Galerie(*f, {4});
    TGalerie* d = Galerie(*f, {5});
    TGalerie* e = Galerie(*f, {6});
    TGalerie* g = Galerie(*f, {7});
    Suite(*a, f->Ordre, 1);
    // c and d hung below the gallery that the dropped root named; e and g only lead to
    // each other.
    Suite(*c, f->Ordre, 3);
    Suite(*e, f->Ordre, 5);
    Suite(*g, f->Ordre, 4);
    Racine(m, f->Ordre, 0, 0, 0);
    Racine(m, f->Ordre, 9, 0, 0);  // a gallery since deleted
    m.PlaceCoupe();
    EXPECT_EQ(avis.faux.messages, (std::vector<std::string>{kProblemeCoupe}));
    ASSERT_EQ(m.Coupe.size(), 1u);
    EXPECT_TRUE(a->DansCoupe && b->DansCoupe);
    EXPECT_FALSE(c->DansCoupe || d->DansCoupe || e->DansCoupe || g->DansCoupe);
    EXPECT_TRUE(ToutEstAtteint(m));
    m.PointsCalcules = true;
    m.CalculeCoupe();
    TStation min, max;
    ASSERT_TRUE(CalculeLimitesCoupe(min, max, m.Fiches));
    EXPECT_EQ(max.Abscisse.d(), 5);  // a and b only
    // The repaired section needs no more repair.
    m.PlaceCoupe();
    EXPECT_EQ(avis.faux.messages.size(), 1u);
}

TEST(Coupe, LiensInvalidesOuEnBoucle)
{
    Avis avis;
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* a = Galerie(*f, {2});
    TGalerie* b = Galerie(*f, {3});
    TGalerie* c = Galerie(*f, {4});
    Suite(*a, f->Ordre, 1);
    Suite(*b, f->Ordre, 9);  // a gallery that does not exist
    Suite(*b, f->Ordre, 0);  // back to the root: a cycle
    Suite(*b, f->Ordre, 2);
    Racine(m, f->Ordre, 0, 0, 0);
    m.PlaceCoupe();
    EXPECT_EQ(b->NbSuites, 1);
    EXPECT_EQ(b->SuiteGalerie[1], 2);
    EXPECT_EQ(c->CoupeX0.d(), 5);
    EXPECT_EQ(avis.faux.messages.size(), 1u);
    EXPECT_TRUE(ToutEstAtteint(m));
    // Removal follows the links without looping either.
    Suite(*c, f->Ordre, 0);
    m.RetireBranche(f->Ordre, 0, true);
    EXPECT_FALSE(a->DansCoupe || b->DansCoupe || c->DansCoupe);
    EXPECT_TRUE(m.Coupe.empty());
}

TEST(Coupe, PlaceBrancheSurGalerieInconnue)
{
    TMassif m;
    TFiche* f = Fiche(m);
    Galerie(*f, {2});
    EXPECT_THROW(m.PlaceBranche(static_cast<int16_t>(f->Ordre), 3, 0, 0), ErreurIndexListe);
    EXPECT_THROW(m.RetireBranche(42, 0, false), ErreurIndexListe);
}

TEST(Coupe, VerifieRetireUneSuitePendanteParAppel)
{
    Avis avis;
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* a = Galerie(*f, {2});
    TGalerie* b = Galerie(*f, {2});
    TGalerie* c = Galerie(*f, {2});
    TGalerie* d = Galerie(*f, {2});
    b->DansCoupe = false;
    c->DansCoupe = false;
    Suite(*a, f->Ordre, 1);
    Suite(*a, f->Ordre, 3);
    Suite(*a, f->Ordre, 2);
    m.VerifieCoupe();
    EXPECT_EQ(avis.faux.messages.size(), 1u);
    EXPECT_EQ(a->NbSuites, 2);
    EXPECT_EQ(a->SuiteGalerie[1], 3);
    EXPECT_EQ(a->SuiteGalerie[2], 2);
    m.VerifieCoupe();
    EXPECT_EQ(avis.faux.messages.size(), 2u);
    EXPECT_EQ(a->NbSuites, 1);
    m.VerifieCoupe();
    EXPECT_EQ(avis.faux.messages.size(), 2u);
    EXPECT_TRUE(d->DansCoupe);
}

TEST(Coupe, RetireUneSuiteEtSonAval)
{
    TMassif m;
    TFiche* f = Fiche(m);
    TFiche* h = Fiche(m);
    TGalerie* a = Galerie(*f, {2});
    TGalerie* b = Galerie(*h, {2});
    TGalerie* c = Galerie(*h, {2});
    TGalerie* autre = Galerie(*f, {2});
    Suite(*a, f->Ordre, 1);
    Suite(*a, h->Ordre, 0);
    Suite(*b, h->Ordre, 1);
    Racine(m, f->Ordre, 0, 0, 0);
    m.RetireBranche(h->Ordre, 0, true);
    EXPECT_TRUE(a->DansCoupe);
    EXPECT_FALSE(b->DansCoupe);
    EXPECT_FALSE(c->DansCoupe);
    EXPECT_EQ(b->NbSuites, 1);  // the galleries taken out keep their own links
    EXPECT_EQ(a->NbSuites, 1);
    EXPECT_EQ(a->SuiteFiche[1], f->Ordre);
    EXPECT_EQ(m.Coupe.size(), 1u);
    EXPECT_TRUE(autre->DansCoupe);

    // A sheet's branches go with it.
    h->Galeries[0]->DansCoupe = true;
    Racine(m, h->Ordre, 0, 0, 0);
    h->RetireDeLaCoupe(m);
    EXPECT_EQ(m.Coupe.size(), 1u);
    EXPECT_FALSE(b->DansCoupe);
}

TEST(Coupe, VideCoupe)
{
    Avis avis;
    TMassif m;
    TFiche* f = Fiche(m);
    TGalerie* a = Galerie(*f, {2});
    Suite(*a, f->Ordre, 0);
    Racine(m, f->Ordre, 0, 0, 0);
    auto jetee = std::make_unique<TFiche>();
    TGalerie* j = Galerie(*jetee, {1});
    m.Corbeille.ajoute(std::move(jetee));
    m.VideCoupe();
    EXPECT_FALSE(a->DansCoupe);
    EXPECT_EQ(a->NbSuites, 0);
    EXPECT_TRUE(m.Coupe.empty());
    EXPECT_FALSE(m.Enregistre);
    EXPECT_TRUE(j->DansCoupe);
    EXPECT_TRUE(avis.faux.messages.empty());
}

TEST(Coupe, Limites)
{
    TMassif m;
    TStation mn, mx;
    EXPECT_FALSE(CalculeLimitesCoupe(mn, mx, m.Fiches));
    TFiche* f = Fiche(m);
    TGalerie* v = Galerie(*f, {});
    auto shot = std::make_unique<TVisee>();
    shot->Longueur = 5;
    shot->Pente = 90;
    v->AjouteVisee(std::move(shot));
    v->CalculeVisees(0);
    v->Placee = true;
    Racine(m, f->Ordre, 0, 3, 0);
    m.PlaceCoupe();
    m.PointsCalcules = false;
    m.CalculeCoupe();
    EXPECT_FALSE(CalculeLimitesCoupe(mn, mx, m.Fiches));  // vertical only: no width

    TGalerie* g = Galerie(*f, {2, 3, 4});
    g->Depart.Z = 100;
    g->Arrivee.Y = 9;
    g->Arrivee.Z = 100;
    TGalerie* cachee = Galerie(*f, {50});
    cachee->Placee = false;
    Racine(m, f->Ordre, 1, 10, -5);
    Racine(m, f->Ordre, 2, -40, 0);
    m.PlaceCoupe();
    m.PointsCalcules = false;
    m.CalculeCoupe();
    ASSERT_TRUE(CalculeLimitesCoupe(mn, mx, m.Fiches));
    EXPECT_EQ(mn.Abscisse.d(), 3);
    EXPECT_EQ(mx.Abscisse.d(), 19);
    EXPECT_NEAR(mn.Z, 0, 1e-9);
    EXPECT_NEAR(mx.Z, 95, 1e-9);
}
