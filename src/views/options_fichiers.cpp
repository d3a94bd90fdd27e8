// The model files of the view options: raw fields in a fixed order, fonts as
// variable-length records, no header.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/interlocuteur.h"
#include "views/lecteur_modele.h"
#include "views/options.h"

namespace karst {

namespace {

constexpr int kNomPoliceMax = 255;
// What the font dialog gives: up to 512 points, at any screen or printer resolution.
constexpr int kTaillePoliceMax = 512, kPixelsParPouceMax = 4800;
constexpr uint8_t kPasPoliceMax = 2, kStylesPolice = 15;

// A pipe or a device exists too: the stream refuses it, saying what it is.
bool Existe(const std::string& nom)
{
    std::error_code e;
    return std::filesystem::exists(nom, e);
}

// Little-endian integer.
template <typename T>
void EntierLE(LecteurModele& l, T& v)
{
    using U = std::make_unsigned_t<T>;
    auto u = static_cast<U>(v);
    uint8_t b[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        b[i] = static_cast<uint8_t>(u >> (8 * i));
    l.Brut(b, sizeof(T));
    U r = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        r = static_cast<U>(r | (static_cast<U>(b[i]) << (8 * i)));
    v = static_cast<T>(r);
}

}  // namespace

// ---- reading and writing the raw fields ----

int64_t LecteurModele::Brut(void* destination, int64_t n)
{
    if (arrete_ || n <= 0)
        return 0;
    const int64_t lus = f_.Read(destination, n);
    if (lus < n)
        Arrete();
    return lus;
}

void LecteurModele::Booleen(bool& b)
{
    uint8_t v = b ? 1 : 0;
    if (Brut(&v, 1) == 1 && v > 1)
        Arrete();
    b = v != 0;
}

void LecteurModele::Octet(uint8_t& v) { Brut(&v, 1); }
void LecteurModele::Mot(uint16_t& v) { EntierLE(*this, v); }
void LecteurModele::Caractere(char& c) { Brut(&c, 1); }
void LecteurModele::Mot(int16_t& v) { EntierLE(*this, v); }
void LecteurModele::Entier(int32_t& v) { EntierLE(*this, v); }
void LecteurModele::Entier(uint32_t& v) { EntierLE(*this, v); }

void LecteurModele::Simple(float& v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    Entier(u);
    std::memcpy(&v, &u, 4);
}

void LecteurModele::Reel(Reel6& r)
{
    auto o = r.octets();
    if (Brut(o.data(), 6) > 0)
        r = Reel6::depuisOctets(o);
}

void LecteurModele::Police(TPolice& p)
{
    if (arrete_)
        return;
    // Fixed part before the name: character set, colour, height, name length.
    if (Reste() < 13) {
        Arrete();
        return;
    }
    uint8_t jeu = 0;
    int32_t couleur = 0, hauteur = 0, n = 0;
    Octet(jeu);
    Entier(couleur);
    Entier(hauteur);
    Entier(n);
    if (n < 0 || n > kNomPoliceMax || Reste() < static_cast<int64_t>(n) + 10) {
        Arrete();
        return;
    }
    std::string nom(static_cast<std::size_t>(n), '\0');
    Brut(nom.data(), n);
    uint8_t pas = 0, style = 0;
    int32_t ppp = 0, taille = 0;
    Octet(pas);
    Entier(ppp);
    Entier(taille);
    Octet(style);
    if (pas > kPasPoliceMax || style > kStylesPolice || !DansBornes(couleur, 0, kCouleurMax) ||
        !DansBornes(ppp, 1, kPixelsParPouceMax) || !DansBornes(taille, -kTaillePoliceMax, kTaillePoliceMax)) {
        Arrete();
        return;
    }
    // Applied in the record's order: the size comes after the pixels per inch and sets
    // the height from them.
    p.JeuCaracteres = jeu;
    p.couleur = static_cast<Couleur>(couleur);
    p.Hauteur = hauteur;
    p.Nom = nom;
    p.Pas = pas;
    p.PixelsParPouce = ppp;
    p.FixeTaille(taille);
    p.Style = style;
}

void LecteurModele::Point(TPointTopo& p)
{
    if (arrete_)
        return;
    // The station goes through its own reader, which refuses a damaged record.
    TPointTopo lu;
    try {
        lu.LitFlux(f_);
    } catch (const ErreurFichierEndommage&) {
        Arrete();
        return;
    }
    p.Terminus = lu.Terminus;
    p.Nom.Copie(lu.Nom);
    p.Indice = lu.Indice;
    p.X = lu.X;
    p.Y = lu.Y;
    p.Z = lu.Z;
}

void EcrivainModele::Simple(float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    Entier(u);
}

void EcrivainModele::Police(TPolice& p) { EcritPolice(f_, p); }

void EcrivainModele::Point(const TPointTopo& p) { p.EcritFlux(f_); }

void EcritPolice(TBufferStream& f, TPolice& p)
{
    if (std::abs(static_cast<long long>(p.Hauteur)) > 100) {
        if (Invite().Message(QStringLiteral("Perte de police. Réinitialisation ?"), Icone::Avertissement,
                             {Bouton::Non, Bouton::OK}) == Bouton::OK)
            p = TPolice();
    }
    const std::size_t n = std::min<std::size_t>(p.Nom.size(), kNomPoliceMax);
    f.EcritU8(p.JeuCaracteres);
    f.EcritI32(static_cast<int32_t>(p.couleur));
    f.EcritI32(p.Hauteur);
    f.EcritI32(static_cast<int32_t>(n));
    f.Write(p.Nom.data(), static_cast<int64_t>(n));
    f.EcritU8(p.Pas);
    f.EcritI32(p.PixelsParPouce);
    f.EcritI32(p.Taille());
    f.EcritU8(p.Style);
}

// ---- the formats, each listed once for reading and writing ----

namespace {

template <class A, class E>
void Echelle(A& a, E& e)
{
    a.Reel(e.Xdev);
    a.Reel(e.Decalage);
    a.Mot(e.ZMin);
    a.Mot(e.ZMax);
    a.Booleen(e.Gauche);
    a.Texte(e.Libelle);
    a.Texte(e.Nom);
    a.Octet(e.Reserve1);
    a.Mot(e.Indice);
    a.Brut(e.Reserve2.data(), 6);
}

template <class A, class O>
void FormatPlan(A& a, O& o)
{
    for (auto* b : {&o.Affiche_Nord, &o.Affiche_Echelle, &o.Afficher_Habillage, &o.Affiche_Quadri, &o.Representation})
        a.Booleen(*b);
    a.Texte(o.Texte_Nord);
    for (auto* r : {&o.X_Nord, &o.Y_Nord, &o.X_Echelle, &o.Y_Echelle})
        a.Reel(*r);
    for (auto* m : {&o.Epaisseur_Nord, &o.Long_Nord, &o.Epaisseur_Echelle, &o.Long_Echelle, &o.Largeur_Echelle,
                    &o.Subdivision, &o.Epaisseur_Visee, &o.pourcentage, &o.diametre, &o.Epaisseur_Habit,
                    &o.Texte_Station, &o.Pas, &o.Epaisseur_Quadri, &o.Longueur_Quadri})
        a.Mot(*m);
    a.Police(o.Police_Nord);
    a.Police(o.Police_Echelle);
    a.Police(o.Police_Station);
    a.Reel(o.Angle);
    a.Booleen(o.Origine);
    a.Reel(o.X_Origine);
    a.Reel(o.Y_Origine);
    a.Mot(o.Representation_Largeur);
    a.Booleen(o.AuDebut);
    a.Booleen(o.AlaFin);
    a.Mot(o.Epaisseur_Largeur);
}

template <class A, class O>
void FormatRelief(A& a, O& o)
{
    for (auto* b : {&o.Affiche_Nord, &o.Affiche_Echelle, &o.Affiche_Quadri, &o.Representation, &o.X_Inverse,
                    &o.Y_Inverse, &o.Z_Inverse})
        a.Booleen(*b);
    a.Texte(o.Texte_Nord);
    for (auto* r : {&o.X_Nord, &o.Y_Nord, &o.Z_Nord, &o.X_Echelle, &o.Y_Echelle, &o.Z_Echelle})
        a.Reel(*r);
    for (auto* m :
         {&o.Epaisseur_Nord, &o.Long_Nord, &o.Epaisseur_Echelle, &o.Long_Echelle, &o.Largeur_Echelle, &o.Subdivision,
          &o.Epaisseur_Visee, &o.pourcentage, &o.diametre, &o.Texte_Station, &o.Epaisseur_Quadri})
        a.Mot(*m);
    a.Entier(o.Couleur_Cadre);
    a.Police(o.Police_Nord);
    a.Police(o.Police_Echelle);
    a.Police(o.Police_Station);
    a.Reel(o.Angle_Horizontal);
    a.Reel(o.Angle_Vertical);
    a.Simple(o.Largeur_3D);
    a.Entier(o.N_Face);
    a.Entier(o.CouleurGalerie);
    a.Entier(o.CouleurCylindre);
    a.Entier(o.CouleurFond);
    a.Booleen(o.Cylindre);
    if (a.Fin())
        return;
    a.Booleen(o.Filaire);
}

template <class A, class O>
void FormatCoupe(A& a, O& o)
{
    a.Booleen(o.Affiche_Horizontale);
    a.Booleen(o.Afficher_Habillage);
    a.Reel(o.X_Horizontale);
    a.Reel(o.Z_Horizontale);
    for (auto* m : {&o.Epaisseur_Horizontale, &o.Long_Horizontale, &o.Largeur_Horizontale, &o.Pas_Horizontale,
                    &o.Epaisseur_Verticale, &o.Largeur_Verticale, &o.Pas_Verticale, &o.Epaisseur_Visee, &o.pourcentage,
                    &o.diametre, &o.Texte_Station})
        a.Mot(*m);
    int16_t n = std::clamp<int16_t>(o.NbEchelles, 0, kMaxEchelles);
    a.Mot(n);
    // A count beyond the 50 records cannot be placed.
    if (n < 0 || n > kMaxEchelles) {
        a.Arrete();
        return;
    }
    o.NbEchelles = n;
    for (int i = 1; i <= n; ++i)
        Echelle(a, o.Echelles[static_cast<std::size_t>(i)]);
    a.Police(o.Police_Horizontale);
    a.Police(o.Police_Verticale);
    a.Police(o.Police_Station);
    a.Booleen(o.Origine);
    a.Reel(o.X_Origine);
    a.Reel(o.Z_Origine);
    a.Mot(o.Epaisseur_Habit);
    a.Mot(o.Representation_Hauteur);
    a.Mot(o.Epaisseur_hauteur);
}

bool EstPermutation(const std::array<int16_t, kNbColonnes + 1>& ordre)
{
    std::array<bool, kNbColonnes + 1> vu{};
    for (int k = 1; k <= kNbColonnes; ++k) {
        const int o = ordre[static_cast<std::size_t>(k)];
        if (o < 1 || o > kNbColonnes || vu[static_cast<std::size_t>(o)])
            return false;
        vu[static_cast<std::size_t>(o)] = true;
    }
    return true;
}

template <class A, class O>
void FormatTableau(A& a, O& o)
{
    for (int k = 1; k <= kNbColonnes; ++k) {
        a.Texte(o.Titre1[k]);
        a.Texte(o.Titre2[k]);
    }
    for (int k = 1; k <= kNbColonnes; ++k)
        a.Caractere(o.Separateur[k]);
    // The display order must stay a permutation of the columns: another order is not
    // taken.
    auto ordre = o.Ordre;
    for (int k = 1; k <= kNbColonnes; ++k)
        a.Mot(ordre[k]);
    if (EstPermutation(ordre))
        o.Ordre = ordre;
    else
        a.Arrete();
    for (int k = 1; k <= kNbColonnes; ++k)
        a.Mot(o.Largeur[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        a.Booleen(o.Afficher[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        a.Booleen(o.Dedoubler[k]);
    auto parEntete = [&](auto&& champ) {
        for (int i = 1; i <= kNbItems; ++i)
            for (int h = 0; h < 2; ++h)
                champ(i, h);
    };
    parEntete([&](int i, int h) { a.Booleen(o.EnTeteAffiche[i][h]); });
    parEntete([&](int i, int h) { a.Texte(o.EnTeteIntitule[i][h]); });
    parEntete([&](int i, int h) { a.Mot(o.X_Pos[i][h]); });
    parEntete([&](int i, int h) { a.Mot(o.Y_Pos[i][h]); });
    parEntete([&](int i, int h) { a.Police(o.EnTetePolice[i][h]); });
    a.Mot(o.Hauteur[0]);
    a.Mot(o.Hauteur[1]);
    a.Booleen(o.Rappel[0]);
    a.Booleen(o.Rappel[1]);
    a.Mot(o.Hauteur_Ligne);
    a.Mot(o.Ptt_Trait);
    a.Mot(o.Gros_Trait);
    a.Police(o.PoliceStandard);
    a.Police(o.PoliceCarrefour);
    if (a.Fin())
        return;
    a.Booleen(o.EnPlan);
    a.Booleen(o.EnAltitude);
    if (a.Fin())
        return;
    a.Point(o.PointZero);
}

template <class A, class O>
void FormatMarge(A& a, O& o)
{
    for (auto* m : {&o.Gauche, &o.Droite, &o.Haut, &o.Bas, &o.LongueurAngle})
        a.Mot(*m);
    for (std::size_t i = 1; i <= 3; ++i)
        a.Octet(o.PositionEtiquette[i]);
    for (std::size_t i = 1; i <= 3; ++i)
        a.Booleen(o.AfficheEtiquette[i]);
    a.Police(o.Police);
    if (a.Fin())
        return;
    a.Mot(o.EpaisseurAngle);
}

}  // namespace

template <class O, class F>
void SauveModele(const std::string& nomFichier, O& o, F format)
{
    FluxEnMemoire f;
    EcrivainModele e(f);
    format(e, o);
    const std::vector<char>& octets = f.Octets();
    EcritFichierEntier(nomFichier, octets.data(), octets.size());
}

// A damaged file is refused whole: the record keeps what it held.
template <class O, class F>
void ChargeModele(const std::string& nomFichier, O& o, F format)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    O lu = o;
    format(l, lu);
    if (l.Endommage() || !DansBornes(lu))
        throw ErreurFichierEndommage(f.MessageEndommage());
    o = std::move(lu);
}

#define KARST_MODELE(Classe, Format)                                    \
    void Classe::Sauve(const std::string& n)                            \
    {                                                                   \
        SauveModele(n, *this, [](auto& a, auto& o) { Format(a, o); });  \
    }                                                                   \
    void Classe::Charge(const std::string& n)                           \
    {                                                                   \
        ChargeModele(n, *this, [](auto& a, auto& o) { Format(a, o); }); \
    }

KARST_MODELE(TOptions_Plan, FormatPlan)
KARST_MODELE(TOptions_Relief, FormatRelief)
KARST_MODELE(TOptions_Coupe, FormatCoupe)
KARST_MODELE(TOptions_Tableau, FormatTableau)
KARST_MODELE(TMarge, FormatMarge)

}  // namespace karst
