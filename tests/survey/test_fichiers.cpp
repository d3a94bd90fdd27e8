#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

#include "aide_fichiers.h"
#include "survey/fichier_massif.h"
#include "survey/fichier_texte.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "survey/services_fichier.h"

using namespace karst;
using namespace karst::essai;
namespace fs = std::filesystem;

namespace {

const fs::path kDonnees = KARST_TEST_DATA;

std::unique_ptr<TVisee> Visee(long double l, long double a, long double p)
{
    auto v = std::make_unique<TVisee>();
    v->Longueur = l;
    v->Azimut = a;
    v->Pente = p;
    return v;
}

std::unique_ptr<TFiche> Fiche(const std::string& cavite, int nGaleries, int graine)
{
    auto f = std::make_unique<TFiche>();
    f->Date = "14/07/98";
    f->Unite_Decli = static_cast<uint8_t>(graine % 2);
    f->Topographes.emplace_back("Jean D\xE9nis");
    f->Topographes.emplace_back("Marie");
    f->Systeme.Affecte("Syst\xE8me du Plateau");
    f->Cavite.Affecte(cavite);
    f->Reseau.Affecte("R\xE9seau amont");
    f->Lieu.Affecte("Salle \xAB Ronde \xBB");
    f->TPST.Affecte("6h30");
    f->Declinaison = 1.25L + graine;
    f->Premiere = 123.5L;
    for (int g = 0; g < nGaleries; ++g) {
        auto gal = std::make_unique<TGalerie>();
        gal->Depart.Nom.Affecte("A" + std::to_string(g));
        gal->Depart.Indice = static_cast<uint8_t>(g + graine);
        if (g % 3 == 2)
            gal->Arrivee.Terminus = true;
        else
            gal->Arrivee.Nom.Affecte("B" + std::to_string(g));
        gal->Arrivee.X = 12.5L * g;
        gal->Coefficient = 1;
        gal->CoefTopofil = 0.98L;
        gal->Commentaire.Affecte("galerie " + std::to_string(g));
        gal->Couleur = g == 0 ? 0x0000FF : 0x123456 * (g + 1);
        gal->Placee = g % 2 == 0;
        gal->Drapeau2 = true;
        gal->DansCoupe = true;
        gal->Sens = g % 2 == 1;
        gal->NbSuites = static_cast<int8_t>(g % 6);
        for (int i = 1; i <= gal->NbSuites; ++i) {
            gal->SuiteFiche[static_cast<std::size_t>(i)] = i * 3;
            gal->SuiteGalerie[static_cast<std::size_t>(i)] = i;
        }
        for (int k = 0; k < 4 + g; ++k) {
            auto v = Visee(3.5L + k, 10.0L * k + graine, -5.0L + k);
            v->UniteLongueur = static_cast<uint8_t>(k % 2);
            v->UniteAzimut = static_cast<uint8_t>(std::array<int, 4>{0, 1, 5, 6}[static_cast<std::size_t>(k % 4)]);
            v->UnitePente = static_cast<uint8_t>((k + g) % 10);
            v->UniteLargeur = static_cast<uint8_t>(k % 2);
            v->UniteHauteur = static_cast<uint8_t>((k + 1) % 2);
            v->Droite = k % 2 ? "1.5" : "";
            v->Gauche = "2m";
            v->Haut = "0.8";
            v->Bas = k == 1 ? "-1.25" : "";
            v->TailleSchema = static_cast<uint8_t>(k);
            v->Commentaire.Affecte(k == 2 ? "\xE9troiture\tavec tab" : "");
            v->AvecTopofil = k % 3 == 0;
            v->Topofil = 100.5L + k;
            v->AvecCorrDeveloppement = k == 1;
            v->CorrDeveloppement = 2.5L;
            v->AvecCorrHorizontale = k == 2;
            v->CorrHorizontale = 1.25L;
            gal->AjouteVisee(std::move(v));
        }
        f->Galeries.ajoute(std::move(gal));
    }
    return f;
}

// Several sheets, galleries, every unit code, topofil readings, colours, section roots,
// references, a recycle bin and shortcuts.
std::unique_ptr<TMassif> MassifRiche()
{
    auto m = std::make_unique<TMassif>();
    for (int i = 0; i < 3; ++i) {
        TFiche* f = m->AjouteFiche(Fiche("Gouffre " + std::to_string(i), 3 + i, i), false);
        f->Calcule(0.5L);
    }
    m->JetteFiche(m->AjouteFiche(Fiche("Perte", 2, 7), false));
    for (int i = 0; i < 2; ++i) {
        auto p = std::make_unique<TPointTopo>();
        p->Nom.Affecte("Ref" + std::to_string(i));
        p->Indice = static_cast<uint8_t>(i);
        p->X = 812.345L + i;
        p->Y = 3210.5L;
        p->Z = 1520.25L;
        m->AjouteReference(std::move(p));
    }
    auto c = std::make_unique<TPointCoupe>();
    c->Nom.Affecte("A0");
    c->Indice = 1;
    c->X = 15.5L;
    c->Z = -3.25L;
    c->Fiche = 2;
    c->Galerie = 1;
    m->Coupe.ajoute(std::move(c));
    m->Raccourcis.resize(2);
    m->Origine_Declinaison = 1.5L;
    m->Date_Declinaison = "01/06/95";
    m->Variation_Declinaison = 0.125L;
    m->Angle_Geodesique = 0.5L;
    return m;
}

std::string SauveBinaire(const TMassif& m, int version = kVersionMassif)
{
    FluxMemoire f({}, 64);
    f.Version = version;
    IFenetreMassif fen;
    IEditeurSaisie ed;
    EcritMassifBinaire(m, f, fen, ed);
    f.Flush();
    return std::string(f.donnees.begin(), f.donnees.end());
}

// Loads a file into a fresh massif.
std::unique_ptr<TMassif> Charge(const fs::path& p, ResultatChargement* r = nullptr)
{
    auto m = std::make_unique<TMassif>();
    m->NomFichier = p.string();
    ResultatChargement res = m->Charge();
    if (r)
        *r = res;
    EXPECT_EQ(res.etat, EtatChargement::Charge) << res.message;
    return m;
}

// Loads a file that must be refused: the massif stays empty. Returns the message.
std::string Refus(const fs::path& p)
{
    TMassif m;
    m.NomFichier = p.string();
    const ResultatChargement r = m.Charge();
    EXPECT_EQ(r.etat, EtatChargement::Echec);
    EXPECT_TRUE(m.Fiches.empty() && m.Corbeille.empty() && m.References.empty());
    return r.message;
}

class FenetreEspion : public IFenetreMassif {
public:
    std::vector<std::string> journal;
    void MontreProgression(bool v) override { journal.push_back(v ? "montre" : "cache"); }
    void Progression(int p) override { journal.push_back(std::to_string(p)); }
    void TexteEtat(const TexteUtf8& t) override { journal.push_back("etat:" + t.str()); }
    void Repeint() override { journal.push_back("repeint"); }
    void TraiteMessages() override { journal.push_back("messages"); }
    void ArmeReouvertureEditeur() override { journal.push_back("minuterie"); }
};

class EditeurEspion : public IEditeurSaisie {
public:
    bool visible = true;
    bool echoue = false;
    std::string lu;
    int fichesVues = -1;
    bool Visible() const override { return visible; }
    void SauveSaisie(TBufferStream& f) override
    {
        if (echoue)
            throw ErreurFlux("échec de l'éditeur");
        f.EcritChaine("saisie en cours");
    }
    void ChargeSaisie(TBufferStream& f, TMassif& m) override
    {
        lu = f.LitChaine();
        fichesVues = static_cast<int>(m.Fiches.size());
    }
};

}  // namespace

// ---- Binary format ----------------------------------------------------------------------

TEST(FichierBinaire, MassifVideExactement)
{
    const fs::path p = Temporaire("vide.fic");
    TMassif m;
    m.Sauve(p.string());
    EXPECT_EQ(Contenu(p), Contenu(kDonnees / "massif_vide.fic"));

    auto relu = Charge(p);
    EXPECT_TRUE(relu->Fiches.empty());
    EXPECT_EQ(relu->Date_Declinaison, "01/01/80");
    EXPECT_EQ(static_cast<long double>(relu->Variation_Declinaison), 1.0L);
    EXPECT_EQ(static_cast<long double>(relu->Angle_Geodesique), 0.0L);
    EXPECT_EQ(static_cast<long double>(relu->SeuilDeformation), static_cast<long double>(Reel6(0.05L)));
}

TEST(FichierBinaire, Version1001)
{
    auto m = Charge(kDonnees / "massif_1001.fic");
    EXPECT_EQ(static_cast<long double>(m->Angle_Geodesique), 0.0L);
    EXPECT_TRUE(m->Corbeille.empty());
    EXPECT_TRUE(m->Raccourcis.empty());
    EXPECT_EQ(m->Date_Declinaison, "01/01/80");
}

TEST(FichierBinaire, VersionPlusRecenteRefusee)
{
    TMassif m;
    m.AjouteFiche(Fiche("D\xE9j\xE0 l\xE0", 1, 0), false);
    m.NomFichier = (kDonnees / "massif_1006.fic").string();
    FenetreEspion fen;
    const ResultatChargement r = m.Charge(&fen);
    EXPECT_EQ(r.etat, EtatChargement::Refuse);
    EXPECT_EQ(r.message, "Ce fichier correspond à une version plus récente du logiciel");
    ASSERT_EQ(m.Fiches.size(), 1u);
    EXPECT_EQ(m.Fiches[0]->Cavite.Chaine(), "D\xE9j\xE0 l\xE0");
    EXPECT_EQ(m.Date_Declinaison, "01/01/80");
    EXPECT_TRUE(fen.journal.empty());  // nothing was shown
    // Other bytes are no newer massif, whatever their first two say.
    const fs::path p = Temporaire("hasard.fic");
    std::string hasard(4096, '\0');
    for (std::size_t i = 0; i < hasard.size(); ++i)
        hasard[i] = static_cast<char>((i * 2654435761u) >> 13);
    hasard[0] = '\xD0';
    hasard[1] = '\x07';  // 2000
    Ecrit(p, hasard);
    EXPECT_EQ(Refus(p), "Le fichier " + p.string() + " est endommagé ou tronqué.");
}

TEST(FichierBinaire, TaillesDesEnregistrements)
{
    FluxMemoire f;
    TFiche fiche;
    fiche.EcritFlux(f);
    EXPECT_EQ(f.Position(), 40);
    FluxMemoire g;
    TGalerie gal;
    gal.EcritFlux(g);
    EXPECT_EQ(g.Position(), 147);
    FluxMemoire v;
    TVisee visee;
    visee.EcritFlux(v);
    EXPECT_EQ(v.Position(), 109);
    visee.AvecTopofil = true;
    visee.EcritFlux(v);
    EXPECT_EQ(v.Position(), 109 + 115);
}

TEST(FichierBinaire, AllerRetourIdentiqueOctetPourOctet)
{
    auto m = MassifRiche();
    const fs::path p1 = Temporaire("riche.fic");
    const fs::path p2 = Temporaire("riche2.fic");
    m->Sauve(p1.string());
    auto relu = Charge(p1);
    relu->Sauve(p2.string());
    EXPECT_EQ(Contenu(p1), Contenu(p2));

    ASSERT_EQ(relu->Fiches.size(), 3u);
    ASSERT_EQ(relu->Corbeille.size(), 1u);
    EXPECT_EQ(relu->Corbeille[0]->Cavite.Chaine(), "Perte");
    EXPECT_EQ(relu->Raccourcis.size(), 2u);
    EXPECT_EQ(relu->References.size(), 2u);
    const TGalerie* g = relu->Fiches[1]->Galeries[2];
    EXPECT_TRUE(g->Arrivee.Terminus);
    EXPECT_EQ(g->NbSuites, 2);
    EXPECT_EQ(g->SuiteFiche[2], 6);
    EXPECT_EQ(g->Couleur, 0x123456 * 3);
    EXPECT_EQ(static_cast<long double>(g->CoefTopofil), static_cast<long double>(Reel6(0.98L)));
    const TVisee* v = g->Visee(4);
    EXPECT_TRUE(v->AvecTopofil);
    EXPECT_EQ(static_cast<long double>(v->Topofil), 103.5L);
    EXPECT_EQ(v->UnitePente, (3 + 2) % 10);
    EXPECT_FALSE(relu->PointsCalcules);
    EXPECT_FALSE(relu->CoupeCalculee);
}

TEST(FichierBinaire, PortesDeVersion)
{
    auto m = MassifRiche();
    const fs::path p = Temporaire("v1002.fic");
    Ecrit(p, SauveBinaire(*m, 1002));
    auto relu = Charge(p);
    EXPECT_EQ(static_cast<long double>(relu->Angle_Geodesique), 0.5L);  // present from 1002
    EXPECT_TRUE(relu->Corbeille.empty());                               // from 1005 only
    const TGalerie* g = relu->Fiches[0]->Galeries[1];
    EXPECT_EQ(static_cast<long double>(g->CoefTopofil), 1.0L);  // from 1003 only
    EXPECT_EQ(g->Couleur, 0);                                   // from 1004 only
    EXPECT_FALSE(g->Visee(1)->AvecTopofil);

    Ecrit(p, SauveBinaire(*m, 1003));
    relu = Charge(p);
    g = relu->Fiches[0]->Galeries[1];
    EXPECT_TRUE(g->Visee(1)->AvecTopofil);
    EXPECT_EQ(g->Couleur, 0);
    Ecrit(p, SauveBinaire(*m, 1004));
    relu = Charge(p);
    EXPECT_EQ(relu->Fiches[0]->Galeries[1]->Couleur, 0x123456 * 2);
    EXPECT_TRUE(relu->Corbeille.empty());
}

TEST(FichierBinaire, FichierTronqueOuEndommageRefuse)
{
    auto riche = MassifRiche();
    const std::string octets = SauveBinaire(*riche);
    const fs::path p = Temporaire("tronque.fic");
    // Every truncation fails cleanly and leaves the massif as it was.
    for (std::size_t n = 0; n < octets.size(); n += (n < 200 ? 1 : 7)) {
        Ecrit(p, octets.substr(0, n));
        TMassif m;
        m.Origine_Declinaison = 7;
        m.NomFichier = p.string();
        const ResultatChargement r = m.Charge();
        ASSERT_EQ(r.etat, EtatChargement::Echec) << n;
        EXPECT_EQ(r.message, "Le fichier " + p.string() + " est endommagé ou tronqué.");
        EXPECT_TRUE(m.Fiches.empty() && m.References.empty() && m.Coupe.empty() && m.Corbeille.empty());
        EXPECT_EQ(static_cast<long double>(m.Origine_Declinaison), 7.0L);
    }

    // Out-of-bounds values in a gallery without shots of a one-sheet massif.
    TMassif un;
    auto f = std::make_unique<TFiche>();
    f->Galeries.ajoute(std::make_unique<TGalerie>());
    un.AjouteFiche(std::move(f), false);
    const std::string base = SauveBinaire(un);
    const std::size_t galerie = 2 + 2 + 40;  // version, count, sheet record without galleries
    auto endommage = [&](std::size_t decalage, char valeur) {
        std::string s = base;
        s[galerie + decalage] = valeur;
        Ecrit(p, s);
        TMassif m;
        m.NomFichier = p.string();
        return m.Charge().etat;
    };
    ASSERT_EQ(endommage(0, 0), EtatChargement::Charge);
    EXPECT_EQ(endommage(44 + 30, '\x81'), EtatChargement::Echec);          // 129 shots
    EXPECT_EQ(endommage(44 + 30 + 15 + 6 + 7, 6), EtatChargement::Echec);  // 6 continuations
    EXPECT_EQ(endommage(44 + 30 + 15 + 6 + 7, -1), EtatChargement::Echec);
    EXPECT_EQ(endommage(2, '\xFF'), EtatChargement::Echec);  // negative name length
    // Sheet's declination unit 2.
    std::string s = base;
    s[4 + 9] = 2;
    Ecrit(p, s);
    TMassif m;
    m.NomFichier = p.string();
    EXPECT_EQ(m.Charge().etat, EtatChargement::Echec);
}

TEST(FichierBinaire, CodeUniteHorsTableRefuse)
{
    TMassif un;
    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    g->AjouteVisee(Visee(1, 2, 3));
    f->Galeries.ajoute(std::move(g));
    un.AjouteFiche(std::move(f), false);
    const std::string base = SauveBinaire(un);
    const std::size_t unites = 2 + 2 + 40 + 44 + 30 + 1 + 6 + 6 + 2 + 18 + 44 + 2;  // the shot's unit bytes
    const fs::path p = Temporaire("unite.fic");
    for (int i = 0; i < 5; ++i) {
        std::string s = base;
        s[unites + static_cast<std::size_t>(i)] = 10;
        Ecrit(p, s);
        TMassif m;
        m.NomFichier = p.string();
        EXPECT_EQ(m.Charge().etat, EtatChargement::Echec) << i;
        s[unites + static_cast<std::size_t>(i)] = 1;
        Ecrit(p, s);
        EXPECT_EQ(m.Charge().etat, EtatChargement::Charge) << i;
    }
}

// Two sheets (order numbers 4 and 9) of two galleries of three shots; the third shot of
// the second gallery of the second sheet gets the given slope unit and length.
std::unique_ptr<TMassif> MassifAUneViseeChoisie(uint8_t unitePente, long double longueur)
{
    auto m = std::make_unique<TMassif>();
    for (int i = 0; i < 2; ++i) {
        auto f = std::make_unique<TFiche>();
        for (int j = 0; j < 2; ++j) {
            auto g = std::make_unique<TGalerie>();
            for (int k = 0; k < 3; ++k)
                g->AjouteVisee(Visee(2, 10, 5));
            f->Galeries.ajoute(std::move(g));
        }
        m->AjouteFiche(std::move(f), false)->Ordre = i == 0 ? 4 : 9;
    }
    TVisee* v = m->Fiches[1]->Galeries[1]->Visee(3);
    v->UnitePente = unitePente;
    v->Longueur = longueur;
    return m;
}

TEST(FichierBinaire, RefusNommantFicheGalerieEtVisee)
{
    // The slope unit byte of that shot: the one byte two saves differ by.
    const std::string a = SauveBinaire(*MassifAUneViseeChoisie(1, 2));
    const std::string b = SauveBinaire(*MassifAUneViseeChoisie(2, 2));
    ASSERT_EQ(a.size(), b.size());
    std::size_t octet = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            octet = i;
    const fs::path p = Temporaire("lieu.fic");
    auto refus = [&](const std::string& octets) {
        Ecrit(p, octets);
        return Refus(p);
    };
    std::string s = a;
    s[octet] = 12;
    EXPECT_EQ(refus(s), "Le fichier " + p.string() +
                            " est endommagé : fiche 2 (n° d'ordre 9), galerie 2, visée 3 : le code d'unité de pente 12 "
                            "n'existe pas.");
    // A length the format holds but the reduction could not square.
    EXPECT_EQ(refus(SauveBinaire(*MassifAUneViseeChoisie(1, 1e20L))),
              "Le fichier " + p.string() +
                  " est endommagé : fiche 2 (n° d'ordre 9), galerie 2, visée 3 : la longueur 1E20 dépasse les valeurs "
                  "admises.");
    // A sheet of the recycle bin is named as such.
    auto m = MassifAUneViseeChoisie(1, 1e16L);
    m->JetteFiche(m->Fiches[1]);
    EXPECT_EQ(refus(SauveBinaire(*m)),
              "Le fichier " + p.string() +
                  " est endommagé : fiche 1 de la corbeille (n° d'ordre 9), galerie 2, visée 3 "
                  ": la longueur 1E16 dépasse les valeurs admises.");
    // A reference point far beyond any survey.
    TMassif r;
    r.AjouteReference(std::make_unique<TPointTopo>());
    r.AjouteReference(std::make_unique<TPointTopo>());
    r.References[1]->Y = -2e30L;
    EXPECT_EQ(refus(SauveBinaire(r)),
              "Le fichier " + p.string() +
                  " est endommagé : point de référence 2 : la coordonnée -2E30 dépasse les valeurs "
                  "admises.");
    // A copy cut short and padded with zeros: the zeros read as empty records, but not to the end.
    auto z = MassifAUneViseeChoisie(1, 2);
    for (int k = 0; k < 20; ++k)
        z->Fiches[1]->Galeries[1]->AjouteVisee(Visee(2, 10, 5));
    for (int k = 0; k < 2; ++k) {
        z->AjouteReference(std::make_unique<TPointTopo>());
        z->References[static_cast<std::size_t>(k)]->X = 7;
    }
    std::string zeros = SauveBinaire(*z);
    zeros.replace(zeros.size() - 2048, 2048, 2048, '\0');
    EXPECT_EQ(refus(zeros), "Le fichier " + p.string() +
                                " est endommagé : fiche 2 (n° d'ordre 9), galerie 2, visée 6 : la fin du fichier n'est "
                                "faite que d'octets nuls.");
    // The unchanged file loads.
    Ecrit(p, a);
    EXPECT_EQ(Charge(p)->Fiches[1]->Galeries[1]->Visee(3)->UnitePente, 1);
}

TEST(FichierBinaire, BlocDeLEditeurEtProgression)
{
    auto m = MassifRiche();
    const fs::path p = Temporaire("saisie.fic");
    FenetreEspion fen;
    EditeurEspion ed;
    m->SelectionActive = true;
    m->Sauve(p.string(), &fen, &ed);
    const std::vector<std::string> sauvegarde = {"0",        "montre",   "etat:Sauvegarde du massif ...",
                                                 "repeint",  "0",        "messages",
                                                 "33",       "messages", "67",
                                                 "messages", "cache",    "etat:Sélection"};
    EXPECT_EQ(fen.journal, sauvegarde);

    FenetreEspion fen2;
    EditeurEspion ed2;
    TMassif relu;
    relu.NomFichier = p.string();
    ASSERT_EQ(relu.Charge(&fen2, &ed2).etat, EtatChargement::Charge);
    EXPECT_EQ(ed2.lu, "saisie en cours");
    EXPECT_EQ(ed2.fichesVues, 3);
    const std::vector<std::string> lecture = {
        "0", "montre", "etat:Lecture du massif ...", "repeint", "33", "67", "100", "cache", "etat:", "minuterie"};
    EXPECT_EQ(fen2.journal, lecture);

    // Without an editor the block is neither written nor read.
    m->Sauve(p.string());
    EXPECT_EQ(Contenu(p).back(), '\0');
}

TEST(FichierBinaire, SauvegardeEchoueeGardeLAncienFichier)
{
    const fs::path p = Temporaire("garde.fic");
    TMassif vide;
    vide.Sauve(p.string());
    const std::string avant = Contenu(p);

    auto m = MassifRiche();
    EditeurEspion ed;
    ed.echoue = true;
    EXPECT_THROW(m->Sauve(p.string(), nullptr, &ed), ErreurFlux);
    EXPECT_EQ(Contenu(p), avant);

    // A list too long for the format is refused rather than written as garbage.
    TMassif gros;
    for (int i = 0; i < 32768; ++i)
        gros.References.ajoute(std::make_unique<TPointTopo>());
    try {
        gros.Sauve(p.string());
        FAIL();
    } catch (const ErreurFlux& e) {
        EXPECT_STREQ(
            e.what(),
            "Le massif ne peut pas être enregistré : une liste compte 32768 éléments, le fichier en admet au plus 32767");
    }
    EXPECT_EQ(Contenu(p), avant);
    // No temporary file is left behind.
    int n = 0;
    for (const auto& e : fs::directory_iterator(p.parent_path()))
        if (e.path().filename().string().find("garde.fic.~") != std::string::npos)
            ++n;
    EXPECT_EQ(n, 0);
}

TEST(FichierBinaire, FichierAbsent)
{
    TMassif m;
    m.NomFichier = Temporaire("absent.fic").string();
    const ResultatChargement r = m.Charge();
    EXPECT_EQ(r.etat, EtatChargement::Echec);
    EXPECT_EQ(r.message, "Impossible d'ouvrir le fichier " + m.NomFichier + ".");
}

// ---- Text format ------------------------------------------------------------------------

TEST(FichierTexte, MassifVideExactement)
{
    const fs::path p = Temporaire("vide.mas");
    TMassif m;
    m.Sauve(p.string());
    EXPECT_EQ(Contenu(p), Contenu(kDonnees / "massif_vide.mas"));
    auto relu = Charge(p);
    EXPECT_EQ(relu->Date_Declinaison, "01/01/80");
    EXPECT_EQ(static_cast<long double>(relu->Variation_Declinaison), 1.0L);
    // The extension is compared in upper case.
    const fs::path q = Temporaire("vide2.MaS");
    m.Sauve(q.string());
    EXPECT_EQ(Contenu(q), Contenu(p));
    // Its backup is read as the text it holds, and saved back as text under that name.
    const fs::path bak = Temporaire("vide.BAK");
    Ecrit(bak, Contenu(p));
    Charge(bak)->Sauve();
    EXPECT_EQ(Contenu(bak), Contenu(p));
}

namespace {

std::vector<std::string> Lignes(const std::string& s)
{
    std::vector<std::string> r;
    std::size_t d = 0;
    for (std::size_t i; (i = s.find("\r\n", d)) != std::string::npos; d = i + 2)
        r.push_back(s.substr(d, i - d));
    return r;
}

}  // namespace

TEST(FichierTexte, BlocsDUneFiche)
{
    TMassif m;
    auto f = std::make_unique<TFiche>();
    f->Date = "02/03/04";
    f->Declinaison = 1.5L;
    f->Unite_Decli = 1;
    f->Cavite.Affecte("Grotte\r\ndu Loup");
    f->Premiere = 123.456L;
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte("A");
    g->Depart.Indice = 3;
    g->Arrivee.Terminus = true;
    g->Arrivee.X = 12345.678912L;
    g->Coefficient = 1.23456L;
    g->Couleur = 0x0000FF;
    auto v = Visee(123.456L, 359.96L, 12.34L);
    v->UnitePente = 4;
    v->Droite = "1\t2";
    v->Commentaire.Affecte("c\xF4t\xE9\tgauche");
    g->AjouteVisee(std::move(v));
    auto w = Visee(0.000001L, 10, 60);
    w->UnitePente = 9;
    w->UniteAzimut = 6;
    w->AvecTopofil = true;
    w->Topofil = 1234.5L;
    g->AjouteVisee(std::move(w));
    f->Galeries.ajoute(std::move(g));
    auto g2 = std::make_unique<TGalerie>();
    g2->Couleur = 0x123456;
    g2->NbSuites = 2;
    g2->SuiteFiche[1] = 4;
    g2->SuiteFiche[2] = 5;
    g2->SuiteGalerie[1] = 0;
    g2->SuiteGalerie[2] = 7;
    f->Galeries.ajoute(std::move(g2));
    m.AjouteFiche(std::move(f), false);
    const fs::path p = Temporaire("fiche.mas");
    m.Sauve(p.string());
    const std::vector<std::string> l = Lignes(Contenu(p));
    const std::vector<std::string> debut = {
        "Version 1005", "Nb_Fiche 1", "", "Date 02/03/04", "Declinaison 1.5", "Unite_Decli grade", "Nb_Topographes 0",
        "Systeme ", "Cavite Grotte  du Loup", "Reseau ", "Lieu ", "Premiere 123.456", "TPST ", "Ordre 1",
        "Nb_Galerie 2",
        // start, end
        "Pt", "A", "3", "0\t0\t0", "Terminus", "12345.6789\t0\t0",
        // sums, length sums, development, coefficient, comment
        "0", "0", "0", "0", "0", "0", "1.23456", "", "Nb_Visee 2",
        // Readings keep every digit typed; what fits the field's digits is written with them.
        "123.456\tm\t359.96\tdeg\t12.34\tvul\t1 2\t\tm\t\t\tm\t0\t0\tN\t0\tN\t0\t0\t0\t0\tN\tc\xF4t\xE9\tgauche",
        "1E-006\tm\t10\t-grade\t60\t-vul\t\t\tm\t\t\tm\t0\t0\tN\t0\tN\t0\t0\t0\t0\tO\t1234.5\t", "1", "N", "N", "N",
        "N", "N", "N", "N", "0", "", "", "Couleur clRed", "---"};
    ASSERT_GE(l.size(), debut.size());
    for (std::size_t i = 0; i < debut.size(); ++i)
        EXPECT_EQ(l[i], debut[i]) << "ligne " << i + 1;
    // The second gallery: its continuations and its colour.
    const auto it = std::find(l.begin(), l.end(), "Couleur $00123456");
    ASSERT_NE(it, l.end());
    EXPECT_EQ(*(it - 1), "0\t7\t");
    EXPECT_EQ(*(it - 2), "4\t5\t");
    EXPECT_EQ(*(it - 3), "2");

    auto relu = Charge(p);
    const TFiche* r = relu->Fiches[0];
    EXPECT_EQ(r->Cavite.Chaine(), "Grotte  du Loup");
    EXPECT_EQ(r->Unite_Decli, 1);
    const TGalerie* rg = r->Galeries[0];
    EXPECT_EQ(rg->Visee(1)->UnitePente, 4);
    EXPECT_EQ(rg->Visee(2)->UnitePente, 9);
    EXPECT_EQ(rg->Visee(2)->UniteAzimut, 6);
    EXPECT_EQ(rg->Visee(1)->Commentaire.Chaine(), "c\xF4t\xE9\tgauche");
    EXPECT_EQ(rg->Visee(1)->Droite, "1 2");
    EXPECT_NEAR(static_cast<long double>(rg->Visee(2)->Longueur), 0.000001L, 1e-15L);
    EXPECT_EQ(static_cast<long double>(rg->Visee(2)->Topofil), 1234.5L);
    EXPECT_EQ(rg->Couleur, 0x0000FF);
    EXPECT_EQ(r->Galeries[1]->Couleur, 0x123456);
    EXPECT_EQ(r->Galeries[1]->SuiteGalerie[2], 7);
}

TEST(FichierTexte, AllerRetourDansLesPrecisions)
{
    auto m = MassifRiche();
    const fs::path p = Temporaire("riche.mas");
    m->Sauve(p.string());
    auto relu = Charge(p);
    ASSERT_EQ(relu->Fiches.size(), m->Fiches.size());
    ASSERT_EQ(relu->Corbeille.size(), 1u);
    EXPECT_EQ(relu->Raccourcis.size(), 2u);
    ASSERT_EQ(relu->References.size(), 2u);
    EXPECT_NEAR(relu->References[1]->X.d(), 813.345, 1e-9);
    ASSERT_EQ(relu->Coupe.size(), 1u);
    EXPECT_EQ(relu->Coupe[0]->Galerie, 1);
    EXPECT_EQ(static_cast<long double>(relu->Angle_Geodesique), 0.5L);
    EXPECT_EQ(relu->Date_Declinaison, "01/06/95");
    for (std::size_t i = 0; i < m->Fiches.size(); ++i) {
        const TFiche* a = m->Fiches[i];
        const TFiche* b = relu->Fiches[i];
        EXPECT_TRUE(a->MemeSortie(*b));
        EXPECT_TRUE(a->MemeEndroit(*b));
        EXPECT_EQ(a->Ordre, b->Ordre);
        ASSERT_EQ(a->Galeries.size(), b->Galeries.size());
        for (std::size_t j = 0; j < a->Galeries.size(); ++j) {
            const TGalerie* ga = a->Galeries[j];
            const TGalerie* gb = b->Galeries[j];
            EXPECT_TRUE(ga->Depart.Egal(gb->Depart));
            EXPECT_EQ(ga->Arrivee.Terminus, gb->Arrivee.Terminus);
            EXPECT_NEAR(ga->SommeDX.d(), gb->SommeDX.d(), 1e-6);
            EXPECT_NEAR(ga->SommeL2.d(), gb->SommeL2.d(), 1e-4);
            EXPECT_EQ(ga->Couleur, gb->Couleur);
            EXPECT_EQ(ga->NbSuites, gb->NbSuites);
            EXPECT_EQ(ga->SuiteFiche, gb->SuiteFiche);
            EXPECT_EQ(ga->Placee, gb->Placee);
            EXPECT_EQ(ga->Sens, gb->Sens);
            EXPECT_EQ(ga->Drapeau2, gb->Drapeau2);
            ASSERT_EQ(ga->NbVisees, gb->NbVisees);
            for (int k = 1; k <= ga->NbVisees; ++k) {
                const TVisee* va = ga->Visee(k);
                const TVisee* vb = gb->Visee(k);
                EXPECT_NEAR(va->Longueur.d(), vb->Longueur.d(), 1e-3);
                EXPECT_NEAR(va->Azimut.d(), vb->Azimut.d(), 0.5);
                EXPECT_NEAR(va->X.d(), vb->X.d(), 1e-5);
                EXPECT_EQ(va->UniteLongueur, vb->UniteLongueur);
                EXPECT_EQ(va->UniteAzimut, vb->UniteAzimut);
                EXPECT_EQ(va->UnitePente, vb->UnitePente);
                EXPECT_EQ(va->Bas, vb->Bas);
                EXPECT_EQ(va->AvecTopofil, vb->AvecTopofil);
                EXPECT_EQ(va->AvecCorrDeveloppement, vb->AvecCorrDeveloppement);
                if (va->AvecTopofil) {
                    EXPECT_EQ(va->Topofil.d(), vb->Topofil.d());
                }
            }
        }
    }
}

TEST(FichierTexte, PortesDeVersionEtFinsDeLigne)
{
    auto m = MassifRiche();
    const fs::path p = Temporaire("v1003.mas");
    FluxEnMemoire flux;
    FichierTexteEcriture f(flux);
    f.Version = 1003;
    IFenetreMassif fen;
    EcritMassifTexte(*m, f, fen);
    const std::string s(flux.Octets().begin(), flux.Octets().end());
    EXPECT_EQ(s.find("Couleur"), std::string::npos);
    EXPECT_EQ(s.find("Corbeille"), std::string::npos);
    // Any line end is accepted.
    std::string lf;
    for (char c : s)
        if (c != '\r')
            lf += c;
    Ecrit(p, lf);
    auto relu = Charge(p);
    EXPECT_EQ(relu->Fiches[0]->Galeries[0]->Couleur, 0);
    EXPECT_TRUE(relu->Corbeille.empty());
    EXPECT_EQ(relu->Fiches.size(), 3u);

    // Each line-end mode: a last line without its end after the bound, a line of the bound's length.
    const std::string b(40, 'b');
    for (FinsDeLigne mode : {FinsDeLigne::Toutes, FinsDeLigne::CommeLaPremiere})
        for (const std::string fin : {"\r\n", "\n", "\r"}) {
            Ecrit(p, "a" + fin + b + fin + b + fin + "z");
            EXPECT_EQ(FichierTexteLecture(p.string(), 40, mode).Lignes(9), (std::vector<std::string>{"a", b, b, "z"}));
            Ecrit(p, b + "x");
            EXPECT_THROW(FichierTexteLecture(p.string(), 40, mode).Lignes(9), ErreurFichierEndommage);
        }
    // CR LF lines of the bound, the CR of the 331st the last byte of a block.
    std::string blocs;
    for (int i = 0; i < 331; ++i)
        blocs += std::string(97, 'b') + "\r\n";
    Ecrit(p, blocs);
    EXPECT_EQ(FichierTexteLecture(p.string(), 97, FinsDeLigne::CommeLaPremiere).Lignes(999).size(), 331u);
}

TEST(FichierTexte, DatesAvecFinDeLigneRelues)
{
    TMassif m;
    auto f = std::make_unique<TFiche>();
    f->Date = "12\r\n03/9";
    f->Galeries.ajoute(std::make_unique<TGalerie>());
    m.AjouteFiche(std::move(f), false);
    m.Date_Declinaison = "01/\n6/95";
    const fs::path p = Temporaire("dates.mas");
    m.Sauve(p.string());
    const std::vector<std::string> l = Lignes(Contenu(p));
    ASSERT_GT(l.size(), 3u);
    EXPECT_EQ(l[3], "Date 12  03/9");
    EXPECT_NE(std::find(l.begin(), l.end(), "Date_Declinaison 01/ 6/95"), l.end());
    auto relu = Charge(p);
    ASSERT_EQ(relu->Fiches.size(), 1u);
    EXPECT_EQ(relu->Fiches[0]->Date, "12  03/9");
    EXPECT_EQ(relu->Fiches[0]->Galeries.size(), 1u);
    EXPECT_EQ(relu->Date_Declinaison, "01/ 6/95");
    // The binary format keeps the bytes as they are.
    const fs::path q = Temporaire("dates.fic");
    m.Sauve(q.string());
    EXPECT_EQ(Charge(q)->Fiches[0]->Date, "12\r\n03/9");
}

namespace {

std::string Joint(const std::vector<std::string>& lignes)
{
    std::string s;
    for (const std::string& l : lignes)
        s += l + "\r\n";
    return s;
}

}  // namespace

TEST(FichierTexte, BlancsEtTabulationsFinalesFacultatifs)
{
    auto riche = MassifRiche();
    const fs::path p = Temporaire("complet.mas");
    riche->Sauve(p.string());
    const std::string original = Contenu(p);
    const fs::path q = Temporaire("retouche.mas");
    const fs::path r = Temporaire("resauve.mas");
    auto memeMassif = [&](const std::vector<std::string>& lignes) {
        Ecrit(q, Joint(lignes));
        Charge(q)->Sauve(r.string());
        return Contenu(r) == original;
    };

    // An editor that strips every trailing blank and TAB.
    std::vector<std::string> l = Lignes(original);
    int retouchees = 0;
    for (std::string& x : l) {
        const std::size_t n = x.find_last_not_of(" \t") + 1;
        if (n != x.size())
            ++retouchees;
        x.erase(n);
    }
    EXPECT_GT(retouchees, 60);  // shot lines, continuation lines and empty names among them
    EXPECT_TRUE(memeMassif(l));
    l[0] = "\xEF\xBB\xBF" + l[0];  // a UTF-8 byte-order mark before it, as some editors save
    EXPECT_TRUE(memeMassif(l));

    // Blanks and TABs added after keywords, counts, numbers, flags and colours.
    l = Lignes(original);
    retouchees = 0;
    for (std::string& x : l) {
        long double v;
        const bool nombre = LitReel(x, v);
        if (nombre || x == "O" || x == "N" || x == "Terminus" || x.rfind("Unite_Decli", 0) == 0 ||
            x.rfind("Couleur", 0) == 0 || x.rfind("Nb_", 0) == 0 || x.rfind("Ordre", 0) == 0) {
            x += " \t ";
            ++retouchees;
        }
    }
    EXPECT_GT(retouchees, 100);
    EXPECT_TRUE(memeMassif(l));
}

TEST(FichierTexte, FichierEndommageRefuseEnNommantSaLigne)
{
    auto riche = MassifRiche();
    const fs::path p = Temporaire("source.mas");
    riche->Sauve(p.string());
    const std::vector<std::string> l = Lignes(Contenu(p));
    const fs::path q = Temporaire("abime.mas");
    // Every refusal ends its sentence; the rows give it without its full stop.
    auto message = [&](const std::vector<std::string>& lignes) {
        Ecrit(q, Joint(lignes));
        const std::string r = Refus(q);
        EXPECT_TRUE(r.ends_with('.')) << r;
        return r.substr(0, r.size() - 1);
    };
    // Cut after every line but the trailing empty ones: the first line missing is named.
    for (std::size_t n = 0; n + 3 < l.size(); ++n)
        ASSERT_EQ(
            message({l.begin(), l.begin() + static_cast<std::ptrdiff_t>(n)}),
            "Le fichier " + q.string() + " est endommagé ou tronqué : la ligne " + std::to_string(n + 1) + " manque");

    const std::string debut = "Le fichier " + q.string() + " est endommagé : ligne ";
    // The first shot line of the file.
    const std::size_t visee = static_cast<std::size_t>(
        std::find_if(l.begin(), l.end(),
                     [](const std::string& x) { return std::count(x.begin(), x.end(), '\t') > 20; }) -
        l.begin());
    ASSERT_LT(visee, l.size());
    const std::string numero = std::to_string(visee + 1);

    std::vector<std::string> a = l;
    std::size_t tab = 0;
    for (int i = 0; i < 6; ++i)
        tab = a[visee].find('\t', tab + 1);
    a[visee].erase(tab);  // cut after its slope unit
    EXPECT_EQ(message(a), debut + numero + ", une valeur manque en fin de ligne");
    a = l;
    a[visee] = "1e20" + a[visee].substr(a[visee].find('\t'));
    EXPECT_EQ(message(a), debut + numero + ", la valeur « 1e20 » dépasse les valeurs admises");
    a = l;
    const auto reference = std::find(a.begin(), a.end(), "813.345\t3210.5\t1520.25");
    ASSERT_NE(reference, a.end());
    *reference = "813.345\t-2e30\t1520.25";  // the coordinates of a reference point are bounded
    EXPECT_EQ(message(a),
              debut + std::to_string(reference - a.begin() + 1) + ", la valeur « -2e30 » dépasse les valeurs admises");
    // Length units are read case aside and no other token is taken; an unknown angle unit
    // reads as degrees, said once with its first line and the count of the others.
    auto champ = [&a](std::size_t ligne, int i, const std::string& valeur) {
        std::size_t d = 0;
        for (int k = 0; k < i; ++k)
            d = a[ligne].find('\t', d) + 1;
        a[ligne].replace(d, a[ligne].find('\t', d) - d, valeur);
    };
    a = l;
    champ(visee, 8, "km");
    EXPECT_EQ(message(a), debut + numero + ", « km » n'est pas une valeur correcte");
    champ(visee, 8, "CM");
    champ(visee + 1, 1, "M");
    champ(visee + 1, 3, "GRADE");
    champ(visee + 1, 5, "-Deg");
    champ(visee + 2, 3, "gon");
    champ(visee + 3, 3, "?");  // a line counts once
    champ(visee + 3, 5, "gon");
    Ecrit(q, Joint(a));
    ResultatChargement r;
    const auto lu = Charge(q, &r);
    const TGalerie* g = lu->Fiches[0]->Galeries[0];
    EXPECT_EQ(g->Visee(1)->UniteLargeur, kUniteCentimetres);
    EXPECT_EQ(g->Visee(2)->UniteLongueur, kUniteMetres);
    EXPECT_EQ(g->Visee(2)->UniteAzimut, kAzimutGrades);
    EXPECT_EQ(g->Visee(2)->UnitePente, kPenteDegresInverse);
    EXPECT_EQ(g->Visee(3)->UniteAzimut, kAzimutDegres);
    EXPECT_EQ(g->Visee(4)->UnitePente, kPenteDegres);
    EXPECT_EQ(r.avis, "Le fichier " + q.string() + " : ligne " + std::to_string(visee + 3) +
                          ", l'unité d'angle « gon » est inconnue, comme sur une autre ligne : les angles dont "
                          "l'unité est inconnue ont été lus en degrés.");
    a = l;
    a[visee - 1] = "Nb_Visee x";
    EXPECT_EQ(message(a), debut + std::to_string(visee) + ", « x » n'est pas une valeur correcte");
    a = l;
    a[0] = "Version 999";
    EXPECT_EQ(message(a), debut + "1, « 999 » n'est pas une valeur correcte");
    EXPECT_EQ(message({"Version 1005", "Nb_Fiche 1", "", "Date 01/01/01", "Declinaison 1,5"}),
              debut + "5, « 1,5 » n'est pas une valeur correcte");
    EXPECT_EQ(message({"Version 1005", "Nb_Fiche 40000"}), debut + "2, « 40000 » n'est pas une valeur correcte");
    // The value is quoted in UTF-8, its control bytes shown, a whole damaged line cut.
    EXPECT_EQ(message({"Version 1005", "Nb_Fiche 1", "", "Date 01/01/01", "Declinaison 12,5 m\xE8tres\x1B\x80"}),
              debut + "5, « 12,5 mètres<0x1B>€ » n'est pas une valeur correcte");
    const std::string ligne(60'000, '7');
    EXPECT_EQ(message({"Version 1005", "Nb_Fiche 1", "", "Date 01/01/01", "Declinaison " + ligne + "x"}),
              debut + "5, « " + ligne.substr(0, 60) + "… » n'est pas une valeur correcte");
    // A copy cut short and zero-filled: refused at its first line longer than a massif's.
    EXPECT_EQ(message({"Version 1005", "Nb_Fiche " + std::string(3'000'000, '\0')}),
              debut + "2, elle dépasse les 69631 octets qu'une ligne de ce fichier peut compter");

    Ecrit(q, "Version 1006\r\n");
    TMassif m;
    m.NomFichier = q.string();
    EXPECT_EQ(m.Charge().etat, EtatChargement::Refuse);
}

TEST(FichierTexte, CoordonneesExtremesChargeesEtPlacees)
{
    // Station coordinates near the largest value of the format, in both formats: the file
    // loads, and placing its stations leaves no placed gallery without them, even where
    // the shots carry them beyond that value.
    auto m = MassifRiche();
    for (TFiche* f : m->Fiches)
        for (TGalerie* g : f->Galeries) {
            g->Placee = true;
            g->Depart.X = 1.7e38L;
            g->Arrivee.Y = -1.5e38L;
            for (int k = 1; k <= g->NbVisees; ++k)
                g->Visee(k)->X = 1e37L;
        }
    for (const char* nom : {"extremes.mas", "extremes.fic"}) {
        const fs::path p = Temporaire(nom);
        m->Sauve(p.string());
        auto relu = Charge(p);
        ASSERT_NO_THROW(relu->PlaceTousPoints()) << nom;
        int placees = 0;
        for (const TFiche* f : relu->Fiches)
            for (const TGalerie* g : f->Galeries) {
                ASSERT_TRUE(g->Placee);
                ASSERT_EQ(g->NbStations(), g->NbVisees) << nom;
                for (int k = 1; k <= g->NbVisees; ++k)
                    EXPECT_TRUE(std::isfinite(g->Station(k).X.d()) && std::isfinite(g->Station(k).Y.d()));
                ++placees;
            }
        EXPECT_EQ(placees, 12) << nom;
    }
}

TEST(FichierTexte, CouleursLues)
{
    const fs::path p = Temporaire("couleurs.mas");
    TMassif m;
    auto f = std::make_unique<TFiche>();
    f->Galeries.ajoute(std::make_unique<TGalerie>());
    m.AjouteFiche(std::move(f), false);
    m.Sauve(p.string());
    const std::string s = Contenu(p);
    for (auto [texte, valeur] : std::vector<std::pair<std::string, int32_t>>{{"clblue", 0xFF0000},
                                                                             {"$00123456", 0x123456},
                                                                             {"255", 255},
                                                                             {"clWindowText", int32_t(0x80000008)},
                                                                             {"$FFFFFFFF", -1}}) {
        std::string t = s;
        t.replace(t.find("Couleur clBlack"), 15, "Couleur " + texte);
        Ecrit(p, t);
        auto relu = Charge(p);
        EXPECT_EQ(relu->Fiches[0]->Galeries[0]->Couleur, valeur) << texte;
    }
    std::string t = s;
    t.replace(t.find("Couleur clBlack"), 15, "Couleur rouge");
    Ecrit(p, t);
    TMassif r;
    r.NomFichier = p.string();
    EXPECT_EQ(r.Charge().etat, EtatChargement::Echec);
}
