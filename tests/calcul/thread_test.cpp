// The quick computation on its worker thread: results reach the document only through
// FinCalcul, a stop or a changed document writes nothing, the limits are reported once.
#include <gtest/gtest.h>

#include <cctype>
#include <future>

#include "aide.h"
#include "calcul/drapeaux.h"
#include "calcul/matrice.h"
#include "calcul/thread_calcul.h"

using namespace karst;
using namespace karst::essai;

namespace {

void TroisReferencesReduites(TMassif& m)
{
    TroisReferences(m);
    Reduit(m);
}

// A grid of galleries, big enough for the worker to be still running when the test acts.
void Grille(TMassif& m, int cote)
{
    AjouteReference(m, "N0_0", 0, 0, 0);
    AjouteReference(m, "N" + std::to_string(cote - 1) + "_0", (cote - 1) * 0.01, 0, 0);
    auto nom = [](int i, int j) { return Station("N" + std::to_string(i) + "_" + std::to_string(j)); };
    for (int i = 0; i < cote; ++i) {
        TFiche* f = AjouteFiche(m);
        for (int j = 0; j < cote; ++j) {
            if (i + 1 < cote)
                AjouteGalerie(*f, nom(i, j), nom(i + 1, j), {{5, 90}, {5.01, 90}});
            if (j + 1 < cote)
                AjouteGalerie(*f, nom(i, j), nom(i, j + 1), {{10, 0.1}});
        }
    }
    Reduit(m);
}

// Runs the worker to its end on a reduced massif; FinCalcul's reports.
std::vector<std::string> MessagesDeFin(TMassif& m, bool& ecrit);

// Starts the worker and waits for its end callback.
struct Lancement {
    std::promise<void> fini;
    std::unique_ptr<TThreadCalcul> t;
    explicit Lancement(TMassif& m) : t(std::make_unique<TThreadCalcul>(m, [this] { fini.set_value(); })) {}
    void Attend() { fini.get_future().wait(); }
};

std::vector<std::string> MessagesDeFin(TMassif& m, bool& ecrit)
{
    Reduit(m);
    Lancement l(m);
    l.Attend();
    FauxMessages fm;
    ecrit = l.t->FinCalcul(&m, &fm);
    std::vector<std::string> r;
    for (const auto& v : fm.vus)
        r.push_back(v.texte);
    return r;
}

}  // namespace

TEST(ThreadCalcul, ResultatsEcritsSeulementParFinCalcul)
{
    TMassif m;
    TroisReferencesReduites(m);
    Lancement l(m);
    EXPECT_TRUE(CalculEnCours);
    l.Attend();
    EXPECT_TRUE(l.t->Fini());
    // The worker never touched the document.
    for (const TGalerie* g : m.Fiches[0]->Galeries) {
        EXPECT_FALSE(g->Placee);
        EXPECT_EQ(g->EcartHorizontal.d(), 0);
        EXPECT_EQ(g->Arrivee.X.d(), 0);
    }
    FauxMessages fm;
    EXPECT_TRUE(l.t->FinCalcul(&m, &fm));
    EXPECT_FALSE(CalculEnCours);
    EXPECT_TRUE(fm.vus.empty());
    const TGalerie& g = *m.Fiches[0]->Galeries[1];
    EXPECT_TRUE(g.Placee);
    EXPECT_NEAR(g.Arrivee.X, 10.066673, 1e-6);
    EXPECT_NEAR(g.EcartHorizontal, 3.4003e-4, 5e-9);
    EXPECT_NEAR(g.Depart.X, 20, 1e-9);
    EXPECT_FALSE(l.t->FinCalcul(&m, &fm));  // once only
}

TEST(ThreadCalcul, ArretDemandeNEcritRien)
{
    TMassif m;
    TroisReferencesReduites(m);
    Lancement l(m);
    ArretCalcul = true;
    l.Attend();
    FauxMessages fm;
    EXPECT_FALSE(l.t->FinCalcul(&m, &fm));
    for (const TGalerie* g : m.Fiches[0]->Galeries)
        EXPECT_FALSE(g->Placee);
    EXPECT_FALSE(CalculEnCours);
}

TEST(ThreadCalcul, DocumentChangePendantLeCalcul)
{
    TMassif m;
    Grille(m, 30);
    Lancement l(m);
    // Sheets thrown away and edited while the worker runs: the run's results no longer
    // fit the document and are not written.
    m.JetteFiche(m.Fiches[3]);
    m.Corbeille.vide();
    m.Fiches[0]->Galeries.vide();
    l.Attend();
    EXPECT_FALSE(l.t->FinCalcul(&m, nullptr));
    for (const TFiche* f : m.Fiches)
        for (const TGalerie* g : f->Galeries)
            EXPECT_FALSE(g->Placee);
    EXPECT_FALSE(CalculEnCours);
}

TEST(ThreadCalcul, FermetureDuMassifPendantLeCalcul)
{
    auto m = std::make_unique<TMassif>();
    Grille(*m, 40);
    auto t = std::make_unique<TThreadCalcul>(*m);
    m.reset();  // the massif closed while the worker runs
    t.reset();  // stops and joins
    EXPECT_FALSE(CalculEnCours);
    // A later run starts normally.
    TMassif n;
    TroisReferencesReduites(n);
    Lancement l(n);
    l.Attend();
    EXPECT_TRUE(l.t->FinCalcul(&n, nullptr));
}

TEST(ThreadCalcul, LimiteDesCarrefoursSignaleeUneFois)
{
    TMassif m;
    AjouteReference(m, "R", 0, 0, 0);
    TFiche* f = AjouteFiche(m);
    for (int i = 0; i <= kMaxCarrefours; ++i)
        AjouteGalerie(*f, Station("R"), Station("P" + std::to_string(i)), {{1, 0}});
    bool ecrit = true;
    EXPECT_EQ(MessagesDeFin(m, ecrit), std::vector<std::string>{kMessageMassifTropGros});
    EXPECT_FALSE(ecrit);
    EXPECT_FALSE(m.Fiches[0]->Galeries[0]->Placee);
}

TEST(ThreadCalcul, TropDInconnuesSignaleUneFois)
{
    TMassif m;
    AjouteReference(m, "A", 0, 0, 0);
    AjouteReference(m, "B", 0.01, 0, 0);
    AjouteReference(m, "C", 0, 0.01, 0);
    TFiche* f = AjouteFiche(m);
    for (int i = 0; i <= kMaxInconnues; ++i) {
        const TPointTopo p = Station("P" + std::to_string(i));
        AjouteGalerie(*f, Station("A"), p, {{3, 45}});
        AjouteGalerie(*f, Station("B"), p, {{8, 280}});
        AjouteGalerie(*f, Station("C"), p, {{8, 170}});
    }
    bool ecrit = true;
    EXPECT_EQ(MessagesDeFin(m, ecrit), std::vector<std::string>{kMessageTropDeCarrefours});
    EXPECT_FALSE(ecrit);
}

TEST(ThreadCalcul, SansReferenceRienNiMessage)
{
    TMassif m;
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("A"), Station("B"), {{1, 0}});
    bool ecrit = false;
    EXPECT_TRUE(MessagesDeFin(m, ecrit).empty());
    EXPECT_FALSE(m.Fiches[0]->Galeries[0]->Placee);
}

TEST(ThreadCalcul, ReferenceInutilisableSignaleeSansRienPlacer)
{
    TMassif m;
    AjouteReference(m, "Loin", 0, 0, -1e20);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("Loin"), Station("A"), {{10, 90}});
    bool ecrit = false;
    EXPECT_EQ(MessagesDeFin(m, ecrit),
              std::vector<std::string>{"Le point de référence « Loin » ne peut pas servir au calcul : sa coordonnée Z "
                                       "-1E20 dépasse les valeurs admises.\rAucun point n'a été placé."});
    const TGalerie& g = *m.Fiches[0]->Galeries[0];
    EXPECT_FALSE(g.Placee);
    EXPECT_EQ(g.Depart.Z, 0);
}

TEST(ThreadCalcul, TrieLesFichesAvantDeCharger)
{
    TMassif m;
    TroisReferencesReduites(m);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("J"), Station("K"), {{4, 0}});
    Reduit(m);
    m.Fiches.echange(0, 1);
    Lancement l(m);
    l.Attend();
    EXPECT_EQ(m.Fiches[0]->Ordre, 1);
    ASSERT_TRUE(l.t->FinCalcul(&m, nullptr));
    EXPECT_NEAR(m.Fiches[1]->Galeries[0]->Arrivee.Y, 4, 1e-6);
}

// True when `texte` has a digit wherever `modele` has '9' and the same character elsewhere.
static bool Forme(const std::string& texte, const std::string& modele)
{
    if (texte.size() != modele.size())
        return false;
    for (std::size_t i = 0; i < texte.size(); ++i)
        if (modele[i] == '9' ? !std::isdigit(static_cast<unsigned char>(texte[i])) : texte[i] != modele[i])
            return false;
    return true;
}

TEST(Chrono, DureeEnSecondesAvecDeuxDecimales)
{
    DemarreChrono();
    const std::string d = DureeChrono();
    EXPECT_TRUE(Forme(d, std::string(d.size() - 3, '9') + ".99")) << d;
    EXPECT_TRUE(Forme(DateHeure(), "99/99/9999 99:99:99")) << DateHeure();
}
