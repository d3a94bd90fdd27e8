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

bool Existe(const std::string& nom)
{
    std::error_code e;
    return std::filesystem::is_regular_file(nom, e);
}

// Little-endian integer over the bytes it held: a field cut by the end of the file keeps
// its high bytes.
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

void EcritSimple(TBufferStream& f, float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    f.EcritI32(static_cast<int32_t>(u));
}

void EcritEchelle(TBufferStream& f, const TEchelleVerticale& e)
{
    f.EcritReel6(e.Xdev);
    f.EcritReel6(e.Decalage);
    f.EcritI16(e.ZMin);
    f.EcritI16(e.ZMax);
    f.EcritBooleen(e.Gauche);
    f.EcritTexteCourt(e.Libelle);
    f.EcritTexteCourt(e.Nom);
    f.EcritU8(e.Reserve1);
    f.EcritI16(e.Indice);
    f.Write(e.Reserve2.data(), 6);
}

void LitEchelle(LecteurModele& l, TEchelleVerticale& e)
{
    l.Reel(e.Xdev);
    l.Reel(e.Decalage);
    l.Mot(e.ZMin);
    l.Mot(e.ZMax);
    l.Booleen(e.Gauche);
    l.Texte(e.Libelle);
    l.Texte(e.Nom);
    l.Octet(e.Reserve1);
    l.Mot(e.Indice);
    l.Brut(e.Reserve2.data(), 6);
}

}  // namespace

// ---- reading and writing the raw fields ----

int64_t LecteurModele::Brut(void* destination, int64_t n)
{
    if (arrete_ || n <= 0)
        return 0;
    return f_.Read(destination, n);
}

void LecteurModele::Booleen(bool& b)
{
    uint8_t v = b ? 1 : 0;
    if (Brut(&v, 1) == 1)
        b = v != 0;
}

void LecteurModele::Octet(uint8_t& v) { Brut(&v, 1); }
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
    if (Fin())
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

// ---- OPTIONS.PLA ----

void TOptions_Plan::Sauve(const std::string& nomFichier)
{
    TFileBufferStream f(nomFichier, TFileBufferStream::kCreation);
    for (bool b : {Affiche_Nord, Affiche_Echelle, Afficher_Habillage, Affiche_Quadri, Representation})
        f.EcritBooleen(b);
    f.EcritTexteCourt(Texte_Nord);
    for (Reel6 r : {X_Nord, Y_Nord, X_Echelle, Y_Echelle})
        f.EcritReel6(r);
    for (int16_t m : {Epaisseur_Nord, Long_Nord, Epaisseur_Echelle, Long_Echelle, Largeur_Echelle, Subdivision,
                      Epaisseur_Visee, pourcentage, diametre, Epaisseur_Habit, Texte_Station, Pas,
                      Epaisseur_Quadri, Longueur_Quadri})
        f.EcritI16(m);
    EcritPolice(f, Police_Nord);
    EcritPolice(f, Police_Echelle);
    EcritPolice(f, Police_Station);
    f.EcritReel6(Angle);
    f.EcritBooleen(Origine);
    f.EcritReel6(X_Origine);
    f.EcritReel6(Y_Origine);
    f.EcritI16(Representation_Largeur);
    f.EcritBooleen(AuDebut);
    f.EcritBooleen(AlaFin);
    f.EcritI16(Epaisseur_Largeur);
    f.Ferme();
}

void TOptions_Plan::Charge(const std::string& nomFichier)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    for (bool* b : {&Affiche_Nord, &Affiche_Echelle, &Afficher_Habillage, &Affiche_Quadri, &Representation})
        l.Booleen(*b);
    l.Texte(Texte_Nord);
    for (Reel6* r : {&X_Nord, &Y_Nord, &X_Echelle, &Y_Echelle})
        l.Reel(*r);
    for (int16_t* m : {&Epaisseur_Nord, &Long_Nord, &Epaisseur_Echelle, &Long_Echelle, &Largeur_Echelle,
                       &Subdivision, &Epaisseur_Visee, &pourcentage, &diametre, &Epaisseur_Habit,
                       &Texte_Station, &Pas, &Epaisseur_Quadri, &Longueur_Quadri})
        l.Mot(*m);
    l.Police(Police_Nord);
    l.Police(Police_Echelle);
    l.Police(Police_Station);
    l.Reel(Angle);
    l.Booleen(Origine);
    l.Reel(X_Origine);
    l.Reel(Y_Origine);
    l.Mot(Representation_Largeur);
    l.Booleen(AuDebut);
    l.Booleen(AlaFin);
    l.Mot(Epaisseur_Largeur);
}

// ---- OPTIONS.PER ----

void TOptions_Relief::Sauve(const std::string& nomFichier)
{
    TFileBufferStream f(nomFichier, TFileBufferStream::kCreation);
    for (bool b : {Affiche_Nord, Affiche_Echelle, Affiche_Quadri, Representation, X_Inverse, Y_Inverse, Z_Inverse})
        f.EcritBooleen(b);
    f.EcritTexteCourt(Texte_Nord);
    for (Reel6 r : {X_Nord, Y_Nord, Z_Nord, X_Echelle, Y_Echelle, Z_Echelle})
        f.EcritReel6(r);
    for (int16_t m : {Epaisseur_Nord, Long_Nord, Epaisseur_Echelle, Long_Echelle, Largeur_Echelle, Subdivision,
                      Epaisseur_Visee, pourcentage, diametre, Texte_Station, Epaisseur_Quadri})
        f.EcritI16(m);
    f.EcritI32(Couleur_Cadre);
    EcritPolice(f, Police_Nord);
    EcritPolice(f, Police_Echelle);
    EcritPolice(f, Police_Station);
    f.EcritReel6(Angle_Horizontal);
    f.EcritReel6(Angle_Vertical);
    EcritSimple(f, Largeur_3D);
    f.EcritI32(N_Face);
    f.EcritI32(CouleurGalerie);
    f.EcritI32(CouleurCylindre);
    f.EcritI32(CouleurFond);
    f.EcritBooleen(Cylindre);
    f.EcritBooleen(Filaire);
    f.Ferme();
}

void TOptions_Relief::Charge(const std::string& nomFichier)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    for (bool* b : {&Affiche_Nord, &Affiche_Echelle, &Affiche_Quadri, &Representation, &X_Inverse, &Y_Inverse,
                    &Z_Inverse})
        l.Booleen(*b);
    l.Texte(Texte_Nord);
    for (Reel6* r : {&X_Nord, &Y_Nord, &Z_Nord, &X_Echelle, &Y_Echelle, &Z_Echelle})
        l.Reel(*r);
    for (int16_t* m : {&Epaisseur_Nord, &Long_Nord, &Epaisseur_Echelle, &Long_Echelle, &Largeur_Echelle,
                       &Subdivision, &Epaisseur_Visee, &pourcentage, &diametre, &Texte_Station, &Epaisseur_Quadri})
        l.Mot(*m);
    l.Entier(Couleur_Cadre);
    l.Police(Police_Nord);
    l.Police(Police_Echelle);
    l.Police(Police_Station);
    l.Reel(Angle_Horizontal);
    l.Reel(Angle_Vertical);
    l.Simple(Largeur_3D);
    l.Entier(N_Face);
    l.Entier(CouleurGalerie);
    l.Entier(CouleurCylindre);
    l.Entier(CouleurFond);
    l.Booleen(Cylindre);
    if (l.Fin())
        return;
    l.Booleen(Filaire);
}

// ---- OPTIONS.COU ----

void TOptions_Coupe::Sauve(const std::string& nomFichier)
{
    TFileBufferStream f(nomFichier, TFileBufferStream::kCreation);
    f.EcritBooleen(Affiche_Horizontale);
    f.EcritBooleen(Afficher_Habillage);
    f.EcritReel6(X_Horizontale);
    f.EcritReel6(Z_Horizontale);
    const int16_t n = std::clamp<int16_t>(NbEchelles, 0, kMaxEchelles);
    for (int16_t m : {Epaisseur_Horizontale, Long_Horizontale, Largeur_Horizontale, Pas_Horizontale,
                      Epaisseur_Verticale, Largeur_Verticale, Pas_Verticale, Epaisseur_Visee, pourcentage, diametre,
                      Texte_Station, n})
        f.EcritI16(m);
    for (int i = 1; i <= n; ++i)
        EcritEchelle(f, Echelles[static_cast<std::size_t>(i)]);
    EcritPolice(f, Police_Horizontale);
    EcritPolice(f, Police_Verticale);
    EcritPolice(f, Police_Station);
    f.EcritBooleen(Origine);
    f.EcritReel6(X_Origine);
    f.EcritReel6(Z_Origine);
    f.EcritI16(Epaisseur_Habit);
    f.EcritI16(Representation_Hauteur);
    f.EcritI16(Epaisseur_hauteur);
    f.Ferme();
}

void TOptions_Coupe::Charge(const std::string& nomFichier)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    l.Booleen(Affiche_Horizontale);
    l.Booleen(Afficher_Habillage);
    l.Reel(X_Horizontale);
    l.Reel(Z_Horizontale);
    for (int16_t* m : {&Epaisseur_Horizontale, &Long_Horizontale, &Largeur_Horizontale, &Pas_Horizontale,
                       &Epaisseur_Verticale, &Largeur_Verticale, &Pas_Verticale, &Epaisseur_Visee, &pourcentage,
                       &diametre, &Texte_Station})
        l.Mot(*m);
    int16_t n = NbEchelles;
    l.Mot(n);
    // A count beyond the 50 records cannot be placed: the scales and what follows keep
    // their values.
    if (n < 0 || n > kMaxEchelles) {
        l.Arrete();
        return;
    }
    if (!l.Fin())
        NbEchelles = n;
    for (int i = 1; i <= n; ++i)
        LitEchelle(l, Echelles[static_cast<std::size_t>(i)]);
    l.Police(Police_Horizontale);
    l.Police(Police_Verticale);
    l.Police(Police_Station);
    l.Booleen(Origine);
    l.Reel(X_Origine);
    l.Reel(Z_Origine);
    l.Mot(Epaisseur_Habit);
    l.Mot(Representation_Hauteur);
    l.Mot(Epaisseur_hauteur);
}

// ---- OPTIONS.TABL ----

void TOptions_Tableau::Sauve(const std::string& nomFichier)
{
    TFileBufferStream f(nomFichier, TFileBufferStream::kCreation);
    for (int k = 1; k <= kNbColonnes; ++k) {
        f.EcritTexteCourt(Titre1[k]);
        f.EcritTexteCourt(Titre2[k]);
    }
    for (int k = 1; k <= kNbColonnes; ++k)
        f.EcritU8(static_cast<uint8_t>(Separateur[k]));
    for (int k = 1; k <= kNbColonnes; ++k)
        f.EcritI16(Ordre[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        f.EcritI16(Largeur[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        f.EcritBooleen(Afficher[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        f.EcritBooleen(Dedoubler[k]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            f.EcritBooleen(EnTeteAffiche[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            f.EcritTexteCourt(EnTeteIntitule[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            f.EcritI16(X_Pos[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            f.EcritI16(Y_Pos[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            EcritPolice(f, EnTetePolice[i][h]);
    f.EcritI16(Hauteur[0]);
    f.EcritI16(Hauteur[1]);
    f.EcritBooleen(Rappel[0]);
    f.EcritBooleen(Rappel[1]);
    f.EcritI16(Hauteur_Ligne);
    f.EcritI16(Ptt_Trait);
    f.EcritI16(Gros_Trait);
    EcritPolice(f, PoliceStandard);
    EcritPolice(f, PoliceCarrefour);
    f.EcritBooleen(EnPlan);
    f.EcritBooleen(EnAltitude);
    PointZero.EcritFlux(f);
    f.Ferme();
}

void TOptions_Tableau::Charge(const std::string& nomFichier)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    for (int k = 1; k <= kNbColonnes; ++k) {
        l.Texte(Titre1[k]);
        l.Texte(Titre2[k]);
    }
    for (int k = 1; k <= kNbColonnes; ++k)
        l.Caractere(Separateur[k]);
    // The display order must stay a permutation of the columns: another order is not
    // taken.
    auto ordre = Ordre;
    for (int k = 1; k <= kNbColonnes; ++k)
        l.Mot(ordre[k]);
    std::array<bool, kNbColonnes + 1> vu{};
    bool permutation = true;
    for (int k = 1; k <= kNbColonnes; ++k) {
        const int o = ordre[k];
        if (o < 1 || o > kNbColonnes || vu[static_cast<std::size_t>(o)])
            permutation = false;
        else
            vu[static_cast<std::size_t>(o)] = true;
    }
    if (permutation)
        Ordre = ordre;
    for (int k = 1; k <= kNbColonnes; ++k)
        l.Mot(Largeur[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        l.Booleen(Afficher[k]);
    for (int k = 1; k <= kNbColonnes; ++k)
        l.Booleen(Dedoubler[k]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            l.Booleen(EnTeteAffiche[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            l.Texte(EnTeteIntitule[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            l.Mot(X_Pos[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            l.Mot(Y_Pos[i][h]);
    for (int i = 1; i <= kNbItems; ++i)
        for (int h = 0; h < 2; ++h)
            l.Police(EnTetePolice[i][h]);
    l.Mot(Hauteur[0]);
    l.Mot(Hauteur[1]);
    l.Booleen(Rappel[0]);
    l.Booleen(Rappel[1]);
    l.Mot(Hauteur_Ligne);
    l.Mot(Ptt_Trait);
    l.Mot(Gros_Trait);
    l.Police(PoliceStandard);
    l.Police(PoliceCarrefour);
    if (l.Fin())
        return;
    l.Booleen(EnPlan);
    l.Booleen(EnAltitude);
    if (l.Fin())
        return;
    // The station goes through the stream's own reader, which refuses a damaged record:
    // the station is then kept as it was.
    TPointTopo p;
    try {
        p.LitFlux(f);
        PointZero.Terminus = p.Terminus;
        PointZero.Nom.Copie(p.Nom);
        PointZero.Indice = p.Indice;
        PointZero.X = p.X;
        PointZero.Y = p.Y;
        PointZero.Z = p.Z;
    } catch (const ErreurFichierEndommage&) {
    }
}

// ---- OPTIONS.MAR ----

void TMarge::Sauve(const std::string& nomFichier)
{
    TFileBufferStream f(nomFichier, TFileBufferStream::kCreation);
    for (int16_t m : {Gauche, Droite, Haut, Bas, LongueurAngle})
        f.EcritI16(m);
    for (int i = 1; i <= 3; ++i)
        f.EcritU8(PositionEtiquette[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= 3; ++i)
        f.EcritBooleen(AfficheEtiquette[static_cast<std::size_t>(i)]);
    EcritPolice(f, Police);
    f.EcritI16(EpaisseurAngle);
    f.Ferme();
}

void TMarge::Charge(const std::string& nomFichier)
{
    if (!Existe(nomFichier))
        return;
    TFileBufferStream f(nomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    for (int16_t* m : {&Gauche, &Droite, &Haut, &Bas, &LongueurAngle})
        l.Mot(*m);
    for (int i = 1; i <= 3; ++i)
        l.Octet(PositionEtiquette[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= 3; ++i)
        l.Booleen(AfficheEtiquette[static_cast<std::size_t>(i)]);
    l.Police(Police);
    if (l.Fin())
        return;
    l.Mot(EpaisseurAngle);
}

}  // namespace karst
