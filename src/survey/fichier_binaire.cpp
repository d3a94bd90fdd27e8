// The binary massif file "dossier fiche": records written field by field, little-endian,
// with six-byte reals, one-byte Booleans, 16-bit list counts and no sizes or markers.
// Readers bound every count, length and code they take from the file.
#include <algorithm>
#include <cstring>
#include <vector>

#include "survey/fichier_massif.h"
#include "survey/flux.h"
#include "survey/nombres.h"
#include "survey/services_fichier.h"

namespace karst {

namespace {

[[noreturn]] void Endommage(const TBufferStream& f) { throw ErreurFichierEndommage(f.MessageEndommage()); }

// A list count: read signed, 0 or less is an empty list.
int LitCompte(TBufferStream& f)
{
    const int16_t n = f.LitI16();
    return n < 0 ? 0 : n;
}

// A unit code within its label table.
uint8_t LitCode(TBufferStream& f, uint8_t max, const char* unite)
{
    const uint8_t c = f.LitU8();
    if (c > max)
        f.Refuse(CodeUniteInconnu(unite, c));
    return c;
}

// A measure, an angle or a reference coordinate: bounded as where it is typed, so that the
// reduction and the placement can compute with it.
Reel6 LitMesure(TBufferStream& f, const char* quoi)
{
    const Reel6 v = f.LitReel6();
    if (!MesureAdmise(v))
        f.Refuse(HorsBornes(quoi, v));
    return v;
}

// Names the record being read for the time of a read.
class LieuDeLecture {
public:
    LieuDeLecture(TBufferStream& f, std::string lieu) : f_(f), avant_(std::move(f.Lieu))
    {
        f.Lieu = std::move(lieu);
        if (f.Position() <= f.DebutZerosFinaux)
            f.LieuZerosFinaux = f.Lieu;
    }
    ~LieuDeLecture() { f_.Lieu = std::move(avant_); }
    LieuDeLecture(const LieuDeLecture&) = delete;
    LieuDeLecture& operator=(const LieuDeLecture&) = delete;

private:
    TBufferStream& f_;
    std::string avant_;
};

// The two directions over the stream, with the same members: a record's layout is listed
// once, in a Format function that reads through the one and writes through the other. The
// reader keeps the bounds (a measure within what may be typed, a code within its table,
// a count within its list) and names the records it reads for its refusals.
struct LectureFlux {
    TBufferStream& f;
    void Booleen(bool& b) { b = f.LitBooleen(); }
    void Octet(uint8_t& v) { v = f.LitU8(); }
    void Entier(int32_t& v) { v = f.LitI32(); }
    void Reel(Reel6& r) { r = f.LitReel6(); }
    void Mesure(Reel6& r, const char* quoi) { r = LitMesure(f, quoi); }
    void Code(uint8_t& c, uint8_t max, const char* unite) { c = LitCode(f, max, unite); }
    void Texte(TEco& t) { t.LitFlux(f); }
    template <std::size_t N>
    void Texte(TexteCourt<N>& t)
    {
        f.LitTexteCourt(t);
    }
    // A count of at most `max` in one byte: anything else is damage.
    void Borne(uint8_t& n, int max)
    {
        n = f.LitU8();
        if (n > max)
            Endommage(f);
    }
    void Borne(int8_t& n, int max)
    {
        n = f.LitI8();
        if (n < 0 || n > max)
            Endommage(f);
    }
    // A list of values after its count.
    template <class T>
    void Valeurs(std::vector<T>& v)
    {
        const int n = LitCompte(f);
        for (int i = 0; i < n; ++i) {
            v.emplace_back();
            v.back().LitFlux(f);
        }
    }
    // A list of records after its count, each named nom(position) in the refusals when a
    // name is given.
    template <class T>
    void Liste(ListePossedee<T>& liste)
    {
        LitEnregistrements(liste, LitCompte(f), [&](T& r, int) { r.LitFlux(f); });
    }
    template <class T, class Nom>
    void Liste(ListePossedee<T>& liste, const Nom& nom)
    {
        LitEnregistrements(liste, LitCompte(f), [&](T& r, int i) {
            LieuDeLecture lieu(f, nom(i));
            r.LitFlux(f);
        });
    }
    // The shots of a gallery, as many as its count read before them.
    void Visees(TGalerie& g)
    {
        const std::string galerie = f.Lieu;
        for (int k = 1; k <= g.NbVisees; ++k) {
            LieuDeLecture lieu(f, galerie + ", visée " + FormatEntier(k));
            auto v = std::make_unique<TVisee>();
            v->LitFlux(f);
            g.PlaceVisee(k, std::move(v));
        }
    }
};

struct EcritureFlux {
    TBufferStream& f;
    void Booleen(bool b) { f.EcritBooleen(b); }
    void Octet(uint8_t v) { f.EcritU8(v); }
    void Entier(int32_t v) { f.EcritI32(v); }
    void Reel(const Reel6& r) { f.EcritReel6(r); }
    void Mesure(const Reel6& r, const char*) { f.EcritReel6(r); }
    void Code(uint8_t c, uint8_t, const char*) { f.EcritU8(c); }
    void Texte(const TEco& t) { t.EcritFlux(f); }
    template <std::size_t N>
    void Texte(const TexteCourt<N>& t)
    {
        f.EcritTexteCourt(t);
    }
    void Borne(uint8_t n, int) { f.EcritU8(n); }
    void Borne(int8_t n, int) { f.EcritI8(n); }
    template <class T>
    void Valeurs(const std::vector<T>& v)
    {
        f.EcritU16(CompteAEcrire(v.size()));
        for (const T& x : v)
            x.EcritFlux(f);
    }
    template <class T, class... Nom>
    void Liste(const ListePossedee<T>& liste, const Nom&...)
    {
        f.EcritU16(CompteAEcrire(liste.size()));
        for (const T* r : liste)
            r->EcritFlux(f);
    }
    void Visees(const TGalerie& g)
    {
        for (int k = 1; k <= g.NbVisees; ++k) {
            // An empty slot among the shots in use would make a file that no reader accepts.
            const TVisee* v = g.Visee(k);
            if (v)
                v->EcritFlux(f);
            else
                TVisee().EcritFlux(f);
        }
    }
};

// A reference point's coordinates are bounded as where they are typed, so that the
// computation can place the survey from them.
template <class A, class P>
void FormatPoint(A& a, P& p, bool reference = false)
{
    a.Booleen(p.Terminus);
    a.Texte(p.Nom);
    a.Octet(p.Indice);
    for (auto* c : {&p.X, &p.Y, &p.Z}) {
        if (reference)
            a.Mesure(*c, "la coordonnée");
        else
            a.Reel(*c);
    }
}

template <class A, class P>
void FormatPointCoupe(A& a, P& p)
{
    a.Texte(p.Nom);
    a.Octet(p.Indice);
    a.Reel(p.X);
    a.Reel(p.Z);
    a.Entier(p.Fiche);
    a.Entier(p.Galerie);
}

template <class A, class V>
void FormatVisee(A& a, V& v)
{
    a.Mesure(v.Longueur, "la longueur");
    a.Mesure(v.Azimut, "l'azimut");
    a.Mesure(v.Pente, "la pente");
    a.Texte(v.Droite);
    a.Texte(v.Gauche);
    a.Texte(v.Haut);
    a.Texte(v.Bas);
    a.Texte(v.Commentaire);
    a.Code(v.UniteLongueur, kUniteCentimetres, "de longueur");
    a.Code(v.UniteLargeur, kUniteCentimetres, "de largeur");
    a.Code(v.UniteHauteur, kUniteCentimetres, "de hauteur");
    a.Code(v.UniteAzimut, 9, "d'azimut");  // within the label table the azimuth codes share
    a.Code(v.UnitePente, kPenteVulcainInverse, "de pente");
    a.Octet(v.TailleSchema);
    a.Mesure(v.CorrHorizontale, "la correction horizontale");
    a.Booleen(v.AvecCorrHorizontale);
    a.Mesure(v.CorrDeveloppement, "la correction du développement");
    a.Booleen(v.AvecCorrDeveloppement);
    a.Reel(v.X);
    a.Reel(v.Y);
    a.Reel(v.Z);
    a.Reel(v.Horizontale);
    if (a.f.Version >= 1003) {
        a.Booleen(v.AvecTopofil);
        if (v.AvecTopofil)
            a.Mesure(v.Topofil, "la lecture Topofil");
    }
}

// Older files have no tape coefficient (1) nor colour (0): the reader sets them first.
template <class A, class G>
void FormatGalerie(A& a, G& g)
{
    FormatPoint(a, g.Depart);
    FormatPoint(a, g.Arrivee);
    a.Reel(g.SommeDX);
    a.Reel(g.SommeDY);
    a.Reel(g.SommeDZ);
    a.Reel(g.SommeL);
    a.Reel(g.SommeL2);
    a.Borne(g.NbVisees, kMaxVisees);
    a.Reel(g.Developpement);
    a.Reel(g.Coefficient);
    a.Texte(g.Commentaire);
    a.Visees(g);
    if (a.f.Version >= 1003)
        a.Reel(g.CoefTopofil);
    a.Booleen(g.Placee);
    a.Booleen(g.Drapeau1);
    a.Booleen(g.Drapeau2);
    a.Booleen(g.PremiereViseeNulle);
    a.Booleen(g.DansCoupe);
    a.Booleen(g.Sens);
    a.Booleen(g.GaucheDroite);
    a.Borne(g.NbSuites, kMaxSuites);
    for (int i = 1; i <= kMaxSuites; ++i)
        a.Entier(g.SuiteFiche[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= kMaxSuites; ++i)
        a.Entier(g.SuiteGalerie[static_cast<std::size_t>(i)]);
    if (a.f.Version >= 1004)
        a.Entier(g.Couleur);
}

template <class A, class F>
void FormatFiche(A& a, F& fiche)
{
    a.Texte(fiche.Date);
    a.Code(fiche.Unite_Decli, 1, "de déclinaison");
    a.Valeurs(fiche.Topographes);
    a.Texte(fiche.Systeme);
    a.Texte(fiche.Cavite);
    a.Texte(fiche.Reseau);
    a.Texte(fiche.Lieu);
    a.Mesure(fiche.Declinaison, "la déclinaison");
    a.Reel(fiche.Premiere);
    a.Texte(fiche.TPST);
    a.Entier(fiche.Ordre);
    // Named while the sheet is the record being read.
    a.Liste(fiche.Galeries, [&a, &fiche](int j) {
        return a.f.Lieu + " (n° d'ordre " + FormatEntier(fiche.Ordre) + "), galerie " + FormatEntier(j + 1);
    });
}

// The massif's fields between its reference points and the editor block. Files before
// 1002 have no geodesic angle (0): the reader sets it first.
template <class A, class M>
void FormatMassifSuite(A& a, M& m)
{
    a.Mesure(m.Origine_Declinaison, "la déclinaison");
    a.Texte(m.Date_Declinaison);
    a.Mesure(m.Variation_Declinaison, "la variation de la déclinaison");
    if (a.f.Version >= 1002)
        a.Mesure(m.Angle_Geodesique, "l'angle géodésique");
    a.Liste(m.Coupe);
    if (a.f.Version >= 1005) {
        a.Liste(m.Corbeille, [](int i) { return "fiche " + FormatEntier(i + 1) + " de la corbeille"; });
        a.Valeurs(m.Raccourcis);
    }
}

int64_t DebutZerosFinaux(TBufferStream& f)
{
    const int64_t position = f.Position();
    int64_t debut = std::max(position, f.FinDesDonnees(position));
    // Pieces larger than the stream's block go to the file straight: a zero-filled tail of
    // gigabytes is crossed at the pace of the disk, in memory that does not grow with it.
    std::vector<char> bloc(std::size_t{1} << 20);
    const std::vector<char> zeros(bloc.size());
    while (debut > position) {
        const int64_t n = std::min<int64_t>(static_cast<int64_t>(bloc.size()), debut - position);
        f.Seek(debut - n, 0);
        f.LitExact(bloc.data(), n);
        // A whole block of zeros is told at the pace of memcmp, not byte by byte.
        if (std::memcmp(bloc.data(), zeros.data(), static_cast<std::size_t>(n)) == 0) {
            debut -= n;
            continue;
        }
        int64_t i = n;
        while (i > 0 && bloc[static_cast<std::size_t>(i) - 1] == 0)
            --i;
        debut -= n - i;
        if (i > 0)
            break;
    }
    f.Seek(position, 0);
    return debut;
}

// The records end the file: whatever follows them is damage that read as values.
void VerifieFin(TBufferStream& f)
{
    if (f.Fin())
        return;
    if (f.Position() >= f.DebutZerosFinaux) {
        f.Lieu = f.LieuZerosFinaux;
        f.Refuse("la fin du fichier n'est faite que d'octets nuls");
    }
    f.Lieu.clear();
    f.Refuse(FormatEntier(f.Size() - f.Position()) + " octets suivent la fin du massif");
}

}  // namespace

uint16_t CompteAEcrire(std::size_t n)
{
    if (n > kCompteMax)
        throw ErreurFlux("Le massif ne peut pas être enregistré : une liste compte " +
                         FormatEntier(static_cast<long long>(n)) + " éléments, le fichier en admet au plus 32767");
    return static_cast<uint16_t>(n);
}

std::string CodeUniteInconnu(const char* unite, int code)
{
    return std::string("le code d'unité ") + unite + " " + FormatEntier(code) + " n'existe pas";
}

int PourcentFiches(std::size_t i, std::size_t n)
{
    return n == 0 ? 100 : RoundEntier(static_cast<long double>(i) / static_cast<long double>(n) * 100);
}

// ---- Records ----------------------------------------------------------------------------

void TEco::EcritFlux(TBufferStream& f) const { f.EcritChaine(s_); }

void TEco::LitFlux(TBufferStream& f) { Affecte(f.LitChaine()); }

void TPointTopo::EcritFlux(TBufferStream& f) const
{
    EcritureFlux e{f};
    FormatPoint(e, *this);
}

void TPointTopo::LitFlux(TBufferStream& f)
{
    LectureFlux l{f};
    FormatPoint(l, *this);
}

void TPointCoupe::EcritFlux(TBufferStream& f) const
{
    EcritureFlux e{f};
    FormatPointCoupe(e, *this);
}

void TPointCoupe::LitFlux(TBufferStream& f)
{
    LectureFlux l{f};
    FormatPointCoupe(l, *this);
}

void TVisee::EcritFlux(TBufferStream& f) const
{
    EcritureFlux e{f};
    FormatVisee(e, *this);
}

void TVisee::LitFlux(TBufferStream& f)
{
    AvecTopofil = false;  // older files have no tape reading
    LectureFlux l{f};
    FormatVisee(l, *this);
}

void TGalerie::EcritFlux(TBufferStream& f) const
{
    EcritureFlux e{f};
    FormatGalerie(e, *this);
}

void TGalerie::LitFlux(TBufferStream& f)
{
    CoefTopofil = Reel6(1.0L);
    Couleur = 0;
    LectureFlux l{f};
    FormatGalerie(l, *this);
}

void TFiche::EcritFlux(TBufferStream& f) const
{
    EcritureFlux e{f};
    FormatFiche(e, *this);
}

void TFiche::LitFlux(TBufferStream& f)
{
    LectureFlux l{f};
    FormatFiche(l, *this);
}

// ---- The massif -------------------------------------------------------------------------

void EcritMassifBinaire(const TMassif& m, TBufferStream& f, IFenetreMassif& fenetre, IEditeurSaisie& editeur)
{
    f.EcritU16(static_cast<uint16_t>(f.Version));
    const std::size_t n = m.Fiches.size();
    f.EcritU16(CompteAEcrire(n));
    for (std::size_t i = 0; i < n; ++i) {
        m.Fiches[i]->EcritFlux(f);
        fenetre.Progression(PourcentFiches(i, n));
        fenetre.TraiteMessages();
    }
    f.EcritU16(CompteAEcrire(m.References.size()));
    for (const TPointTopo* p : m.References)
        p->EcritFlux(f);
    EcritureFlux e{f};
    FormatMassifSuite(e, m);
    const bool avecSaisie = editeur.Visible();
    f.EcritBooleen(avecSaisie);
    if (avecSaisie)
        editeur.SauveSaisie(f);
}

bool LitMassifBinaire(TMassif& m, TBufferStream& f, IFenetreMassif& fenetre, IEditeurSaisie& editeur)
{
    f.DebutZerosFinaux = DebutZerosFinaux(f);
    f.LieuZerosFinaux.clear();
    const int n = LitCompte(f);
    LitEnregistrements(m.Fiches, n, [&](TFiche& fiche, int i) {
        LieuDeLecture lieu(f, "fiche " + FormatEntier(i + 1));
        fiche.LitFlux(f);
        fenetre.Progression(PourcentFiches(static_cast<std::size_t>(i) + 1, static_cast<std::size_t>(n)));
    });
    LitEnregistrements(m.References, LitCompte(f), [&](TPointTopo& p, int i) {
        LieuDeLecture lieu(f, "point de référence " + FormatEntier(i + 1));
        LectureFlux l{f};
        FormatPoint(l, p, true);
    });
    m.Angle_Geodesique = Reel6(0.0L);
    LectureFlux l{f};
    FormatMassifSuite(l, m);
    if (f.LitU8() == 0) {
        VerifieFin(f);
        return false;
    }
    // The editor's block runs to the end of the file; the editor reads it as it can.
    editeur.ChargeSaisie(f, m);
    return true;
}

}  // namespace karst
