// The binary massif file "dossier fiche": records written field by field, little-endian,
// with six-byte reals, one-byte Booleans, 16-bit list counts and no sizes or markers.
// Readers bound every count, length and code they take from the file.
#include <algorithm>

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
void VerifieMesure(const TBufferStream& f, long double v, const char* quoi)
{
    if (!MesureAdmise(v))
        f.Refuse(HorsBornes(quoi, v));
}

Reel6 LitMesure(TBufferStream& f, const char* quoi)
{
    const Reel6 v = f.LitReel6();
    VerifieMesure(f, v, quoi);
    return v;
}

// The two directions over the stream, with the same members: a record's layout is listed
// once, in a Format function that reads through the one and writes through the other. The
// reader keeps the bounds (a measure within what may be typed, a code within its table).
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
};

template <class A, class P>
void FormatPoint(A& a, P& p)
{
    a.Booleen(p.Terminus);
    a.Texte(p.Nom);
    a.Octet(p.Indice);
    a.Reel(p.X);
    a.Reel(p.Y);
    a.Reel(p.Z);
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

int64_t DebutZerosFinaux(TBufferStream& f)
{
    const int64_t position = f.Position();
    int64_t debut = f.Size();
    char bloc[4096];
    while (debut > position) {
        const int64_t n = std::min<int64_t>(static_cast<int64_t>(sizeof bloc), debut - position);
        f.Seek(debut - n, 0);
        f.LitExact(bloc, n);
        int64_t i = n;
        while (i > 0 && bloc[i - 1] == 0)
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
    Depart.EcritFlux(f);
    Arrivee.EcritFlux(f);
    f.EcritReel6(SommeDX);
    f.EcritReel6(SommeDY);
    f.EcritReel6(SommeDZ);
    f.EcritReel6(SommeL);
    f.EcritReel6(SommeL2);
    f.EcritU8(NbVisees);
    f.EcritReel6(Developpement);
    f.EcritReel6(Coefficient);
    Commentaire.EcritFlux(f);
    for (int k = 1; k <= NbVisees; ++k) {
        // An empty slot among the shots in use would make a file that no reader accepts.
        const TVisee* v = Visee(k);
        if (v)
            v->EcritFlux(f);
        else
            TVisee().EcritFlux(f);
    }
    if (f.Version >= 1003)
        f.EcritReel6(CoefTopofil);
    f.EcritBooleen(Placee);
    f.EcritBooleen(Drapeau1);
    f.EcritBooleen(Drapeau2);
    f.EcritBooleen(PremiereViseeNulle);
    f.EcritBooleen(DansCoupe);
    f.EcritBooleen(Sens);
    f.EcritBooleen(GaucheDroite);
    f.EcritI8(NbSuites);
    for (int i = 1; i <= kMaxSuites; ++i)
        f.EcritI32(SuiteFiche[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= kMaxSuites; ++i)
        f.EcritI32(SuiteGalerie[static_cast<std::size_t>(i)]);
    if (f.Version >= 1004)
        f.EcritI32(Couleur);
}

void TGalerie::LitFlux(TBufferStream& f)
{
    Depart.LitFlux(f);
    Arrivee.LitFlux(f);
    SommeDX = f.LitReel6();
    SommeDY = f.LitReel6();
    SommeDZ = f.LitReel6();
    SommeL = f.LitReel6();
    SommeL2 = f.LitReel6();
    const uint8_t n = f.LitU8();
    if (n > kMaxVisees)
        Endommage(f);
    Developpement = f.LitReel6();
    Coefficient = f.LitReel6();
    Commentaire.LitFlux(f);
    const std::string galerie = f.Lieu;
    for (int k = 1; k <= n; ++k) {
        LieuDeLecture lieu(f, galerie + ", visée " + FormatEntier(k));
        auto v = std::make_unique<TVisee>();
        v->LitFlux(f);
        PlaceVisee(k, std::move(v));
    }
    NbVisees = n;
    CoefTopofil = f.Version >= 1003 ? f.LitReel6() : Reel6(1.0L);
    Placee = f.LitBooleen();
    Drapeau1 = f.LitBooleen();
    Drapeau2 = f.LitBooleen();
    PremiereViseeNulle = f.LitBooleen();
    DansCoupe = f.LitBooleen();
    Sens = f.LitBooleen();
    GaucheDroite = f.LitBooleen();
    NbSuites = f.LitI8();
    if (NbSuites < 0 || NbSuites > kMaxSuites)
        Endommage(f);
    for (int i = 1; i <= kMaxSuites; ++i)
        SuiteFiche[static_cast<std::size_t>(i)] = f.LitI32();
    for (int i = 1; i <= kMaxSuites; ++i)
        SuiteGalerie[static_cast<std::size_t>(i)] = f.LitI32();
    Couleur = f.Version >= 1004 ? f.LitI32() : 0;
}

void TFiche::EcritFlux(TBufferStream& f) const
{
    f.EcritTexteCourt(Date);
    f.EcritU8(Unite_Decli);
    f.EcritU16(CompteAEcrire(Topographes.size()));
    for (const TEco& t : Topographes)
        t.EcritFlux(f);
    Systeme.EcritFlux(f);
    Cavite.EcritFlux(f);
    Reseau.EcritFlux(f);
    Lieu.EcritFlux(f);
    f.EcritReel6(Declinaison);
    f.EcritReel6(Premiere);
    TPST.EcritFlux(f);
    f.EcritI32(Ordre);
    f.EcritU16(CompteAEcrire(Galeries.size()));
    for (const TGalerie* g : Galeries)
        g->EcritFlux(f);
}

void TFiche::LitFlux(TBufferStream& f)
{
    f.LitTexteCourt(Date);
    Unite_Decli = LitCode(f, 1, "de déclinaison");
    const int nt = LitCompte(f);
    for (int i = 0; i < nt; ++i) {
        Topographes.emplace_back();
        Topographes.back().LitFlux(f);
    }
    Systeme.LitFlux(f);
    Cavite.LitFlux(f);
    Reseau.LitFlux(f);
    Lieu.LitFlux(f);
    Declinaison = LitMesure(f, "la déclinaison");
    Premiere = f.LitReel6();
    TPST.LitFlux(f);
    Ordre = f.LitI32();
    const std::string fiche = f.Lieu + " (n° d'ordre " + FormatEntier(Ordre) + ")";
    LitEnregistrements(Galeries, LitCompte(f), [&](TGalerie& g, int j) {
        LieuDeLecture lieu(f, fiche + ", galerie " + FormatEntier(j + 1));
        g.LitFlux(f);
    });
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
    f.EcritReel6(m.Origine_Declinaison);
    f.EcritTexteCourt(m.Date_Declinaison);
    f.EcritReel6(m.Variation_Declinaison);
    if (f.Version >= 1002)
        f.EcritReel6(m.Angle_Geodesique);
    f.EcritU16(CompteAEcrire(m.Coupe.size()));
    for (const TPointCoupe* c : m.Coupe)
        c->EcritFlux(f);
    if (f.Version >= 1005) {
        f.EcritU16(CompteAEcrire(m.Corbeille.size()));
        for (const TFiche* c : m.Corbeille)
            c->EcritFlux(f);
        f.EcritU16(CompteAEcrire(m.Raccourcis.size()));
        for (const TRaccourci& r : m.Raccourcis)
            r.EcritFlux(f);
    }
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
        p.LitFlux(f);
        for (long double c : {p.X, p.Y, p.Z})
            VerifieMesure(f, c, "la coordonnée");
    });
    m.Origine_Declinaison = LitMesure(f, "la déclinaison");
    f.LitTexteCourt(m.Date_Declinaison);
    m.Variation_Declinaison = LitMesure(f, "la variation de la déclinaison");
    m.Angle_Geodesique = f.Version >= 1002 ? LitMesure(f, "l'angle géodésique") : Reel6(0.0L);
    LitEnregistrements(m.Coupe, LitCompte(f), [&](TPointCoupe& c, int) { c.LitFlux(f); });
    if (f.Version >= 1005) {
        LitEnregistrements(m.Corbeille, LitCompte(f), [&](TFiche& fiche, int i) {
            LieuDeLecture lieu(f, "fiche " + FormatEntier(i + 1) + " de la corbeille");
            fiche.LitFlux(f);
        });
        const int nra = LitCompte(f);
        for (int i = 0; i < nra; ++i) {
            m.Raccourcis.emplace_back();
            m.Raccourcis.back().LitFlux(f);
        }
    }
    if (f.LitU8() == 0) {
        VerifieFin(f);
        return false;
    }
    // The editor's block runs to the end of the file; the editor reads it as it can.
    editeur.ChargeSaisie(f, m);
    return true;
}

}  // namespace karst
