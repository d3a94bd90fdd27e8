// The shared helpers of the data model: six-byte real, number formats, parsers, dates,
// compact strings, stations, sheets and the massif's list operations.
#include <gtest/gtest.h>

#include <climits>

#include <cmath>
#include <limits>

#include "survey/modele.h"
#include "survey/nombres.h"

using namespace karst;

namespace {

std::string Hex(const std::array<uint8_t, 6>& b)
{
    static const char* h = "0123456789ABCDEF";
    std::string r;
    for (auto o : b) {
        if (!r.empty())
            r += ' ';
        r += h[o >> 4];
        r += h[o & 15];
    }
    return r;
}

}  // namespace

TEST(Reel6, OctetsExacts)
{
    EXPECT_EQ(Hex(Reel6(1.0L).octets()), "81 00 00 00 00 00");
    EXPECT_EQ(Hex(Reel6(10.0L).octets()), "84 00 00 00 00 20");
    EXPECT_EQ(Hex(Reel6(-10.0L).octets()), "84 00 00 00 00 A0");
    EXPECT_EQ(Hex(Reel6(100.0L).octets()), "87 00 00 00 00 48");
    EXPECT_EQ(Hex(Reel6(1005.0L).octets()), "8A 00 00 00 40 7B");
    EXPECT_EQ(Hex(Reel6(0.1L).octets()), "7D CD CC CC CC 4C");
    EXPECT_EQ(Hex(Reel6(0.0L).octets()), "00 00 00 00 00 00");
    EXPECT_EQ(Hex(Reel6(-0.0L).octets()), "00 00 00 00 00 00");
    EXPECT_FALSE(std::signbit(Reel6(-0.0L).d()));
}

TEST(Reel6, LectureEtAllerRetour)
{
    // Any bytes whose exponent byte is 0 read as zero.
    EXPECT_EQ(Reel6::depuisOctets({0, 0xFF, 0x12, 0x34, 0x56, 0xFF}).d(), 0.0);
    EXPECT_EQ(Reel6::depuisOctets({0x81, 0, 0, 0, 0, 0}).d(), 1.0);
    EXPECT_EQ(Reel6::depuisOctets({0x84, 0, 0, 0, 0, 0xA0}).d(), -10.0);
    for (long double v : {3.14159265358979L, -2.5e-7L, 123456.789L, 1e30L, -7.0L / 3}) {
        Reel6 r(v);
        EXPECT_EQ(Reel6::depuisOctets(r.octets()).d(), r.d());
        // 40 significant bits: the stored value is within half a unit in the last place.
        EXPECT_NEAR(static_cast<double>(r), static_cast<double>(v),
                    std::fabs(static_cast<double>(v)) * std::ldexp(1.0, -40));
    }
}

TEST(Reel6, ArrondiAuPlusProcheEtPairSurEgalite)
{
    const long double un = 1.0L;
    const long double ulp = std::ldexp(1.0L, -39);                                 // step of the format just above 1
    EXPECT_EQ(Reel6(un + ulp / 2).d(), 1.0);                                       // tie: to even
    EXPECT_EQ(static_cast<long double>(Reel6(un + ulp + ulp / 2)), un + 2 * ulp);  // tie: to even
    EXPECT_EQ(static_cast<long double>(Reel6(un + ulp * 0.75L)), un + ulp);
    // Rounding up past the mantissa carries into the exponent.
    EXPECT_EQ(Reel6(2.0L - ulp / 4).d(), 2.0);
}

TEST(Reel6, RefusDesValeursNonStockables)
{
    EXPECT_THROW((void)Reel6(std::numeric_limits<long double>::infinity()), ErreurReel6);
    EXPECT_THROW((void)Reel6(-std::numeric_limits<long double>::infinity()), ErreurReel6);
    EXPECT_THROW((void)Reel6(std::numeric_limits<long double>::quiet_NaN()), ErreurReel6);
    EXPECT_THROW(Reel6(1e39L), ErreurReel6);
    EXPECT_NO_THROW(Reel6(1.7e38L));
    EXPECT_EQ(Reel6(1e-45L).d(), 0.0);  // below the smallest value: zero
    Reel6 r(5.0L);
    EXPECT_THROW(r += 1e39L, ErreurReel6);
    EXPECT_EQ(r.d(), 5.0);  // a refused store leaves the old value
}

TEST(Arrondis, RoundTruncFrac)
{
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(-2.6L), -3);
    EXPECT_EQ(Trunc(-2.7L), -2);
    EXPECT_EQ(Trunc(2.7L), 2);
    EXPECT_NEAR(static_cast<double>(Frac(-2.75L)), -0.75, 1e-15);
    EXPECT_EQ(RoundEntier(1e30L), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundEntier(-1e30L), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundEntier(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncEntier(-3.9L), -3);
}

TEST(Formats, General)
{
    EXPECT_EQ(FormatGeneral(123.456L, 5), "123.46");
    EXPECT_EQ(FormatGeneral(12.34L, 3), "12.3");
    EXPECT_EQ(FormatGeneral(359.96L, 4), "360");
    EXPECT_EQ(FormatGeneral(12345.678912L, 9), "12345.6789");
    EXPECT_EQ(FormatGeneral(0.0L, 6), "0");
    EXPECT_EQ(FormatGeneral(-0.0L, 6), "0");
    EXPECT_EQ(FormatGeneral(-1.5L, 6), "-1.5");
    EXPECT_EQ(FormatGeneral(0.00001L, 6), "0.00001");
    EXPECT_EQ(FormatGeneral(1234.0L, 3), "1.23E3");
    EXPECT_EQ(FormatGeneral(0.000001234L, 6, 4), "1.234E-0006");
    EXPECT_EQ(FormatGeneral(1.5e20L, 6, 2, true), "1.5E+20");
    // Small values are written in scientific notation and read back.
    long double lu = 0;
    ASSERT_TRUE(LitReel(FormatGeneral(3.25e-7L, 6, 4), lu));
    EXPECT_NEAR(static_cast<double>(lu), 3.25e-7, 1e-20);
}

TEST(Formats, LectureDUnReelStockable)
{
    long double v = 0;
    EXPECT_TRUE(LitReelStockable(" -12.5 ", v));
    EXPECT_EQ(v, -12.5L);
    EXPECT_TRUE(LitReelStockable("1e15", v));
    EXPECT_TRUE(LitReelStockable("-1e15", v));
    // Beyond the measures the reduction can square and sum (though a six-byte real would
    // hold them), beyond the six-byte range, not a number, or not wholly a number.
    EXPECT_FALSE(LitReelStockable("1.000001e15", v));
    EXPECT_FALSE(LitReelStockable("1e20", v));
    EXPECT_FALSE(LitReelStockable("-1.7e38", v));
    EXPECT_FALSE(LitReelStockable("1e39", v));
    EXPECT_FALSE(LitReelStockable("-1e4000", v));
    EXPECT_FALSE(LitReelStockable("nan", v));
    EXPECT_FALSE(LitReelStockable("12m", v));
    EXPECT_FALSE(LitReelStockable("", v));
    // A typed decimal comma is a decimal point; a comma beside a point or a second comma is
    // no number, and the file readers keep '.' alone.
    EXPECT_TRUE(LitReelStockable("-12,5", v));
    EXPECT_EQ(v, -12.5L);
    EXPECT_FALSE(LitReelStockable("1,234.5", v));
    EXPECT_FALSE(LitReelStockable("1,2,3", v));
    EXPECT_FALSE(LitReel("12,5", v));
}

TEST(Formats, EgaliteAuDemiLoinDeZeroSurLaValeurBinaireExacte)
{
    EXPECT_EQ(FormatF(0.125L, 2), "0.13");  // exact tie: away from zero
    EXPECT_EQ(FormatF(-0.125L, 2), "-0.13");
    EXPECT_EQ(FormatF(2.675, 2), "2.67");    // the double 2.675 lies below the tie
    EXPECT_EQ(FormatF(-0.001L, 2), "0.00");  // no negative zero
    EXPECT_EQ(FormatF(9.996L, 2), "10.00");
    EXPECT_EQ(FormatF(9.995L, 2), "9.99");  // the long double 9.995 lies below the tie
    EXPECT_EQ(FormatF(1234567.891L, 2), "1234567.89");
    EXPECT_EQ(FormatF(5.0L, 0), "5");
}

TEST(Formats, FixeNombreLargeurEntier)
{
    EXPECT_EQ(FormatFixe(3.14159L, 15, 3), "3.142");
    EXPECT_EQ(FormatFixe(2.0L, 15, 2), "2.00");
    EXPECT_EQ(FormatNombre(123456.789L, 8, 2, ' '), "123 456.79");
    EXPECT_EQ(FormatNombre(-1234567.891L, 8, 2, ','), "-1,234,567.90");  // 8 significant digits first
    EXPECT_EQ(FormatNombre(999.0L, 8, 2, ' '), "999.00");
    EXPECT_EQ(FormatNombre(123456789.0L, 8, 2, ' '), "1.2345679E+8");
    EXPECT_EQ(FormatLargeur(3.14159L, 8, 2), "    3.14");
    EXPECT_EQ(FormatLargeur(-12345.5L, 3, 1), "-12345.5");
    EXPECT_EQ(FormatEntier(0), "0");
    EXPECT_EQ(FormatEntier(-42), "-42");
    EXPECT_EQ(FormatEntier(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(Analyse, ChaineEnEntierEtEnReel)
{
    EXPECT_EQ(ChaineEnEntier("12"), 12);
    EXPECT_EQ(ChaineEnEntier(" -7 "), -7);
    EXPECT_EQ(ChaineEnEntier("12a"), 0);
    EXPECT_EQ(ChaineEnEntier(""), 0);
    EXPECT_EQ(ChaineEnEntier("99999999999"), 0);
    EXPECT_EQ(ChaineEnReel("2.5"), 2.5L);
    EXPECT_EQ(ChaineEnReel("2,5"), 0);
    EXPECT_EQ(ChaineEnReel("-1e3"), -1000);
    EXPECT_EQ(ChaineEnReel(".5"), 0.5L);
    EXPECT_EQ(ChaineEnReel("."), 0);
    EXPECT_EQ(ChaineEnReel("1e"), 0);
    EXPECT_EQ(ChaineEnReel("1e99999"), 0);  // overflow is not a number
}

TEST(Dates, DateEnNombre)
{
    EXPECT_EQ(DateEnNombre("31/12/99"), 40015);
    EXPECT_EQ(DateEnNombre("01/01/00"), 40033);
    EXPECT_EQ(DateEnNombre(""), 0);
    EXPECT_GT(DateEnNombre("15/07/49"), DateEnNombre("15/07/99"));
    EXPECT_EQ(DateEnNombre("  /03/  "), 96);  // a blank part adds nothing
}

TEST(Unites, Libelles)
{
    EXPECT_STREQ(LibellesUniteLongueur[1], "cm");
    EXPECT_STREQ(LibellesUnitePente[0], "\xB0");
    EXPECT_STREQ(LibellesUnitePente[9], "-\xB0vul");
    EXPECT_STREQ(LibelleUnitePente(10), "?");
    EXPECT_STREQ(LibelleUniteLongueur(-1), "?");
}

TEST(Textes, TexteCourtEtCasse)
{
    TexteCourt<8> d("01/02/2003");
    EXPECT_EQ(d.str(), "01/02/20");
    EXPECT_EQ(MajAscii("\xE9t\xE9"), "\xE9T\xE9");  // accented letters stay
    EXPECT_TRUE(EgalSansCasse("galerie", "GALERIE"));
    EXPECT_FALSE(EgalSansCasse("\xE9", "\xC9"));
    // Outside texts, line by line: UTF-8 (an emoji one '?'), Windows-1252, an overlong form.
    const std::string dehors = "\xEF\xBB\xBFGa\xC3\xABtan\r\nm\xE9"
                               "andre\nZo\xC3\xA9 \xF0\x9F\x98\x80\r\xC0\xAF";
    EXPECT_EQ(ExterieurEnCp1252(dehors), "Ga\xEBtan\r\nm\xE9"
                                         "andre\nZo\xE9 ?\r\xC0\xAF");
    EXPECT_EQ(ExterieurEnUtf8(dehors), "Gaëtan\r\nméandre\nZoé 😀\rÀ¯");
    // Characters as the caver sees them: an accent typed apart, a joiner before a TAB and a
    // line end, signs with the emoji selector as phones type them, marks that draw nothing
    // (a pasted byte-order mark, a zero-width space); a family joined by joiners is one emoji.
    EXPECT_EQ(Utf8VersCp1252("Me\u0301andre a\u200D\tb x\u200D\r\n\u2122\uFE0F\u00A9\uFE0F \u0141\uFE0F "
                             "\uFEFFZo\u00E9\u200B\u2060 \U0001F468\u200D\U0001F469\u200D\U0001F467"),
              "M\xE9"
              "andre a\tb x\r\n\x99\xA9 ? Zo\xE9 ?");
    EXPECT_EQ(CaracteresHorsCp1252("Me\u0301andre \u00AE\uFE0F \u0141 \u0141\u200B"), "\u0141");
    EXPECT_EQ(ExterieurEnUtf8("e\u0301\u200B\u200C"), "\u00E9");
    // Every default-ignorable character goes, without its letter; the soft hyphen stays.
    EXPECT_EQ(Utf8VersCp1252("a\u200E\u061C\u202A\u2066\u2061\u180E\u3164\u034Fb\U000E0041 co\u00ADte"), "ab co\xADte");
    EXPECT_EQ(ListeBornee({"a", "b", "c"}, 2, true), "a\rb\r... et 1 autre.");
    EXPECT_EQ(ListeBornee({"1", "2", "3"}, 3, false), "1, 2 et 3");
}

TEST(Eco, ChainesCompactes)
{
    TEco vide;
    EXPECT_EQ(vide.Chaine(), "");
    EXPECT_EQ(vide.ChaineMaj(), "");
    EXPECT_FALSE(vide.Possede());
    EXPECT_TRUE(vide.Egal(TEco()));
    TEco e;
    e.Affecte("\xE9"
              "a b");
    EXPECT_EQ(e.ChaineMaj(), "\xE9"
                             "A B");
    EXPECT_EQ(e.ChaineSansBlanc(), "\xE9"
                                   "a_b");
    EXPECT_FALSE(TEco("a1").Egal(TEco("A1")));
    e.Affecte("");
    EXPECT_TRUE(e.Possede());
    EXPECT_EQ(e.Longueur(), 0u);
    e.Affecte(std::string(40000, 'x'));
    EXPECT_EQ(e.Longueur(), kEcoMax);
}

namespace {
TPointTopo Point(const char* nom, int indice, bool terminus = false)
{
    TPointTopo p;
    p.Nom.Affecte(nom);
    p.Indice = static_cast<uint8_t>(indice);
    p.Terminus = terminus;
    return p;
}
}  // namespace

TEST(PointTopo, EgalEtCopie)
{
    EXPECT_TRUE(Point("a1", 3).Egal(Point("A1", 3)));
    EXPECT_FALSE(Point("A1", 3).Egal(Point("A1", 4)));
    EXPECT_FALSE(Point("A1", 3).Egal(Point("A10", 3)));
    EXPECT_TRUE(Point("", 0).Egal(Point("", 0)));
    TPointTopo t = Point("T", 1, true);
    EXPECT_FALSE(t.Egal(t));
    EXPECT_FALSE(t.Egal(Point("T", 1)));

    TPointTopo cible = Point("B7", 9);
    cible.X = 1;
    cible.Y = 2;
    cible.Z = 3;
    TPointTopo source = Point("Z", 2, true);
    source.X = 100;
    cible.Copie(source);
    EXPECT_TRUE(cible.Terminus);
    EXPECT_EQ(cible.Nom.Chaine(), "B7");
    EXPECT_EQ(cible.Indice, 9);
    EXPECT_EQ(cible.X.d(), 1.0);

    TPointTopo autre = Point("C", 4);
    autre.Z = -12.5L;
    cible.Copie(autre);
    EXPECT_FALSE(cible.Terminus);
    EXPECT_EQ(cible.Nom.Chaine(), "C");
    EXPECT_EQ(cible.Indice, 4);
    EXPECT_EQ(cible.Z.d(), -12.5);
}

namespace {

std::unique_ptr<TVisee> Visee(double l, const char* gauche = "", const char* droite = "", const char* haut = "",
                              const char* bas = "")
{
    auto v = std::make_unique<TVisee>();
    v->Longueur = l;
    v->Gauche = gauche;
    v->Droite = droite;
    v->Haut = haut;
    v->Bas = bas;
    return v;
}

std::unique_ptr<TFiche> FicheOrdre(int ordre)
{
    auto f = std::make_unique<TFiche>();
    f->Ordre = ordre;
    return f;
}

}  // namespace

TEST(Fiche, LargeursEtHauteurs)
{
    TFiche f;
    auto g = std::make_unique<TGalerie>();
    g->Depart = Point("A", 0);
    g->Arrivee = Point("B", 0);
    g->AjouteVisee(Visee(5, "3", ""));
    g->AjouteVisee(Visee(5, "2m", "1", "2", ""));
    auto cm = Visee(5, "300", "", "", "-1.5");
    cm->UniteLargeur = 1;
    g->AjouteVisee(std::move(cm));
    g->AjouteVisee(Visee(5));
    f.Galeries.ajoute(std::move(g));
    auto g2 = std::make_unique<TGalerie>();
    g2->Depart = Point("b", 0);
    g2->Arrivee = Point("C", 0);
    g2->AjouteVisee(Visee(5));
    f.Galeries.ajoute(std::move(g2));

    double a, b;
    f.LargeursStation(0, 1, a, b);
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 1.5);
    f.LargeursStation(0, 2, a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    f.LargeursStation(0, 3, a, b);
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 1.5);
    f.LargeursStation(0, 4, a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
    f.HauteursStation(0, 2, a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 0);
    f.HauteursStation(0, 3, a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 1.5);
    // Station 0 of the first gallery: no earlier gallery.
    f.LargeursStation(0, 0, a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
    f.HauteursStation(0, 0, a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
    // Station 0 of the second gallery: its start is the first gallery's end, whose last shot
    // has no numbers; nothing earlier qualifies.
    f.LargeursStation(1, 0, a, b);
    EXPECT_EQ(a, -1);
    // Give the first gallery's last shot a width: now found through the earlier gallery.
    f.Galeries[0]->Visee(4)->Gauche = "4";
    f.LargeursStation(1, 0, a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
}

TEST(Fiche, MemeSortieEtMemeEndroit)
{
    TFiche a, b;
    a.Date = "01/02/03";
    b.Date = "01/02/03";
    a.Topographes = {TEco("Paul"), TEco("Marie")};
    b.Topographes = {TEco("PAUL"), TEco("marie")};
    EXPECT_TRUE(a.MemeSortie(b));
    b.Topographes = {TEco("Marie"), TEco("Paul")};
    EXPECT_FALSE(a.MemeSortie(b));
    b.Topographes = a.Topographes;
    b.Date = "1/02/03";
    EXPECT_FALSE(a.MemeSortie(b));

    a.Cavite.Affecte("Grotte");
    b.Cavite.Affecte("grotte");
    EXPECT_FALSE(a.MemeEndroit(b));
    b.Cavite.Affecte("Grotte");
    EXPECT_TRUE(a.MemeEndroit(b));
}

TEST(Fiche, CopieAjouteEtSortDeLaCoupe)
{
    TFiche source;
    source.Date = "12/08/95";
    source.Declinaison = 2.5L;
    source.Topographes = {TEco("Luc")};
    auto g = std::make_unique<TGalerie>();
    auto v = Visee(12);
    v->AvecCorrHorizontale = true;
    v->CorrHorizontale = 11.5L;
    v->AvecTopofil = true;
    v->Topofil = 1234;
    g->AjouteVisee(std::move(v));
    g->DansCoupe = true;
    g->NbSuites = 1;
    g->SuiteFiche[1] = 4;
    g->Placee = true;
    g->PlacePoints();
    source.Galeries.ajoute(std::move(g));
    source.Ordre = 17;

    TFiche cible;
    cible.Galeries.ajoute(std::make_unique<TGalerie>());
    cible.Galeries.ajoute(std::make_unique<TGalerie>());
    cible.Ordre = 3;
    cible.Copie(source);
    ASSERT_EQ(cible.Galeries.size(), 3u);
    const TGalerie* c = cible.Galeries[2];
    EXPECT_TRUE(c->Visee(1)->AvecCorrHorizontale);
    EXPECT_EQ(c->Visee(1)->CorrHorizontale.d(), 11.5);
    EXPECT_TRUE(c->Visee(1)->AvecTopofil);
    EXPECT_EQ(c->Visee(1)->Topofil.d(), 1234);
    EXPECT_EQ(c->NbStations(), 0);
    EXPECT_FALSE(c->DansCoupe);
    EXPECT_EQ(c->NbSuites, 0);
    EXPECT_TRUE(c->Placee);
    EXPECT_EQ(cible.Ordre, 3);
    EXPECT_EQ(cible.Date.str(), "12/08/95");
    ASSERT_EQ(cible.Topographes.size(), 1u);
    EXPECT_EQ(cible.Topographes[0].Chaine(), "Luc");
    // The copy is deep.
    source.Galeries[0]->Visee(1)->Longueur = 99;
    EXPECT_EQ(c->Visee(1)->Longueur.d(), 12);
}

TEST(Galerie, CentVingtHuitViseesAuPlus)
{
    TGalerie g;
    for (int i = 0; i < kMaxVisees; ++i)
        g.AjouteVisee(Visee(1));
    EXPECT_EQ(g.NbVisees, kMaxVisees);
    EXPECT_THROW(g.AjouteVisee(Visee(1)), std::length_error);
    EXPECT_EQ(g.NbVisees, kMaxVisees);
}

TEST(Massif, NumerosDeFicheEtListes)
{
    TMassif m;
    EXPECT_EQ(m.AjouteFiche(std::make_unique<TFiche>(), false)->Ordre, 1);
    m.Fiches.vide();
    m.Fiches.ajoute(FicheOrdre(3));
    m.Fiches.ajoute(FicheOrdre(7));
    m.Corbeille.ajoute(FicheOrdre(12));
    m.Corbeille.ajoute(nullptr);  // an empty entry of the recycle bin is skipped
    m.PointsCalcules = true;
    TFiche* f = m.AjouteFiche(std::make_unique<TFiche>(), true);
    EXPECT_EQ(f->Ordre, 13);
    EXPECT_FALSE(m.PointsCalcules);

    // Replace moves the new sheet to the end; sorting puts it back.
    m.ActiveSelection(true);
    TFiche* trois = m.Fiches[0];
    m.Selection->push_back(trois);
    m.Selection->push_back(m.Fiches[1]);
    std::unique_ptr<TFiche> vieille = m.RemplaceFiche(trois, std::make_unique<TFiche>());
    EXPECT_EQ(vieille.get(), trois);
    ASSERT_FALSE(m.Fiches.empty());
    EXPECT_EQ(m.Fiches.back()->Ordre, 3);
    EXPECT_EQ(m.Selection->back()->Ordre, 3);
    m.TrieFiches();
    EXPECT_EQ(m.Fiches[0]->Ordre, 3);
    EXPECT_EQ(m.Fiches[1]->Ordre, 7);
    EXPECT_EQ(m.Fiches[2]->Ordre, 13);
    EXPECT_EQ((*m.Selection)[0]->Ordre, 3);

    // Discarding a selected sheet removes it from the selection; the bin keeps arrival order.
    TFiche* sept = m.Fiches[1];
    m.JetteFiche(sept);
    EXPECT_EQ(m.Fiches.size(), 2u);
    EXPECT_EQ(m.Selection->size(), 1u);
    ASSERT_FALSE(m.Corbeille.empty());
    EXPECT_EQ(m.Corbeille.back(), sept);
    EXPECT_EQ(m.FichesCourantes, m.Selection.get());
    m.ActiveSelection(false);
    EXPECT_EQ(m.FichesCourantes, &m.Fiches);
}

TEST(Massif, NumeroDOrdreLePlusGrandDejaPris)
{
    // A hand-edited file may give a sheet the largest number: a new sheet never overflows
    // to a negative number, it takes the largest one still free.
    TMassif m;
    m.Fiches.ajoute(FicheOrdre(INT32_MAX));
    m.Corbeille.ajoute(FicheOrdre(INT32_MAX - 1));
    m.Fiches.ajoute(FicheOrdre(5));
    EXPECT_EQ(m.AjouteFiche(std::make_unique<TFiche>(), false)->Ordre, INT32_MAX - 2);
    EXPECT_EQ(m.AjouteFiche(std::make_unique<TFiche>(), false)->Ordre, INT32_MAX - 3);
    // Just below the largest, the usual rule still holds.
    TMassif n;
    n.Fiches.ajoute(FicheOrdre(INT32_MAX - 1));
    EXPECT_EQ(n.AjouteFiche(std::make_unique<TFiche>(), false)->Ordre, INT32_MAX);
    EXPECT_EQ(n.AjouteFiche(std::make_unique<TFiche>(), false)->Ordre, INT32_MAX - 2);
}

TEST(Massif, TriStable)
{
    TMassif m;
    for (int o : {5, 2, 5, 1})
        m.Fiches.ajoute(FicheOrdre(o));
    TFiche* premierCinq = m.Fiches[0];
    m.TrieFiches();
    EXPECT_EQ(m.Fiches[0]->Ordre, 1);
    EXPECT_EQ(m.Fiches[2], premierCinq);
}

TEST(Massif, IndiceLibre)
{
    TMassif m;
    EXPECT_EQ(m.IndiceLibre("A", 0), 1);
    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    g->Depart = Point("A", 1);
    g->Arrivee = Point("A", 2);
    f->Galeries.ajoute(std::move(g));
    auto g2 = std::make_unique<TGalerie>();
    g2->Depart = Point("a", 3);
    g2->Arrivee = Point("A", 4, true);  // a terminus never takes an index
    f->Galeries.ajoute(std::move(g2));
    m.Fiches.ajoute(std::move(f));
    EXPECT_EQ(m.IndiceLibre("A", 0), 4);
    EXPECT_EQ(m.IndiceLibre("B", 0), 1);
    EXPECT_EQ(m.IndiceLibre("A", 3), 4);
    // Every index above the start taken: the result says so by leaving the index range.
    auto f2 = std::make_unique<TFiche>();
    for (int i = 5; i <= 255; ++i) {
        auto gi = std::make_unique<TGalerie>();
        gi->Depart = Point("A", i);
        gi->Arrivee.Terminus = true;
        f2->Galeries.ajoute(std::move(gi));
    }
    m.Fiches.ajoute(std::move(f2));
    int r = m.IndiceLibre("A", 4);
    EXPECT_FALSE(IndiceValide(r));
}

TEST(Massif, ReferencesEtLimites)
{
    TMassif m;
    m.PointsCalcules = true;
    m.AjouteReference(std::make_unique<TPointTopo>());
    EXPECT_FALSE(m.PointsCalcules);
    EXPECT_EQ(m.References.size(), 1u);
    m.VideReferences();
    EXPECT_TRUE(m.References.empty());

    auto f = std::make_unique<TFiche>();
    auto g = std::make_unique<TGalerie>();
    g->AjouteVisee(Visee(3));
    g->Depart.X = 1;
    g->Depart.Y = 2;
    g->Depart.Z = 3;
    g->Stations.assign(1, TStation{});
    g->Station(1).X = -4;
    g->Station(1).Y = 5;
    g->Station(1).Z = 3;
    f->Galeries.ajoute(std::move(g));
    m.Fiches.ajoute(std::move(f));
    TStation mn, mx;
    mn.X = 99;
    EXPECT_FALSE(CalculeLimites(m.Fiches, mn, mx));
    EXPECT_EQ(mn.X.d(), 99);
    m.Fiches[0]->Galeries[0]->Placee = true;
    ASSERT_TRUE(CalculeLimites(m.Fiches, mn, mx));
    EXPECT_EQ(mn.X.d(), -4);
    EXPECT_EQ(mx.X.d(), 1);
    EXPECT_EQ(mn.Y.d(), 2);
    EXPECT_EQ(mx.Y.d(), 5);
    EXPECT_EQ(mn.Z.d(), 3);
    EXPECT_EQ(mx.Z.d(), 3);
}
