#include "dialogs/preference_ecran.h"

#include <filesystem>
#include <system_error>
#include <type_traits>

#include "survey/flux.h"
#include "views/lecteur_modele.h"

namespace karst {

void TPreference_Ecran::Defaut()
{
    const char* metres = kUnitesLongueur[0].Libelle;
    GLongueur = {50, 20, 1, metres, 0, {}};
    GAzimut = {50, 20, 2, kUnitesAzimut[0].Libelle, 0, {}};
    GPente = {50, 20, 3, kUnitesPente[0].Libelle, 0, {}};
    GLargeur = {50, 20, 4, metres, '/', true, 0, {}};
    GHauteur = {50, 20, 5, metres, '/', false, 0, {}};
    GCroquis = {15, 6};
    GCommentaires = {100, 7};
    GPoint = {60, 0};
    GHorizontal = {20, 50, 8, false, 0};
    GDeveloppement = {20, 50, 9, false, 0};
}

std::span<const UniteMesure> TPreference_Ecran::UnitesColonne(int type)
{
    switch (type) {
    case UniteLongueur:
    case UniteLargeur:
    case UniteHauteur: return kUnitesLongueur;
    case UniteAzimut: return kUnitesAzimut;
    case UnitePente: return kUnitesPente;
    default: return {};
    }
}

void TPreference_Ecran::CopieGroupes(const TPreference_Ecran& s)
{
    GLongueur = s.GLongueur;
    GAzimut = s.GAzimut;
    GPente = s.GPente;
    GLargeur = s.GLargeur;
    GHauteur = s.GHauteur;
    GCroquis = s.GCroquis;
    GCommentaires = s.GCommentaires;
    GPoint = s.GPoint;
    GHorizontal = s.GHorizontal;
    GDeveloppement = s.GDeveloppement;
}

void TPreference_Ecran::ConstruitColonnes()
{
    NbColonnes = 0;
    auto ajoute = [this](uint16_t type, uint16_t largeur, const char* titre, const std::string& unite) {
        if (NbColonnes >= kMaxColonnes)
            return;
        Colonne& c = Colonnes[static_cast<std::size_t>(++NbColonnes)];
        c.Type = type;
        c.Largeur = largeur;
        c.Titre = titre;
        c.Unite = unite;
    };
    ajoute(Point, GPoint.Largeur, "Point", "");
    struct Mesure {
        const GroupeMesure& g;
        uint16_t type, unite;
        const char* titre;
    };
    const Mesure mesures[] = {{GLongueur, Longueur, UniteLongueur, "Longueur"},
                              {GAzimut, Azimut, UniteAzimut, "Azimut"},
                              {GPente, Pente, UnitePente, "Pente"}};
    struct Dimension {
        const GroupeDimension& g;
        uint16_t types[4];  // one column, the first and second of two, the unit
        const char* titres[3];
    };
    const Dimension dimensions[] = {
        {GLargeur, {Largeur, LargeurG, LargeurD, UniteLargeur}, {"Largeur", "Largeur G", "Largeur D"}},
        {GHauteur, {Hauteur, HautSup, HautInf, UniteHauteur}, {"Hauteur", "Haut superieure", "Haut inferieure"}}};
    struct Correction {
        const GroupeCorrection& g;
        uint16_t drapeau, valeur;
        const char* titre;
    };
    const Correction corrections[] = {{GHorizontal, DrapeauHorizontal, CorrHorizontale, "Corr. Horizontale"},
                                      {GDeveloppement, DrapeauDeveloppement, DevManuel, "D\xE9v. manuel"}};
    for (uint16_t p = 1; p <= 9; ++p) {
        for (const Mesure& m : mesures)
            if (m.g.Position == p) {
                ajoute(m.type, m.g.Largeur, m.titre, "");
                ajoute(m.unite, m.g.LargeurUnite, "", m.g.Unite);
            }
        for (const Dimension& d : dimensions)
            if (d.g.Position == p) {
                if (d.g.DeuxColonnes) {
                    ajoute(d.types[1], d.g.Largeur, d.titres[1], "");
                    ajoute(d.types[2], d.g.Largeur, d.titres[2], "");
                } else {
                    ajoute(d.types[0], d.g.Largeur, d.titres[0], "");
                }
                ajoute(d.types[3], d.g.LargeurUnite, "", d.g.Unite);
            }
        if (GCroquis.Position == p)
            ajoute(Croquis, GCroquis.Largeur, "Croquis", "");
        if (GCommentaires.Position == p)
            ajoute(Observations, GCommentaires.Largeur, "Observations", "");
        for (const Correction& c : corrections)
            if (c.g.Position == p && c.g.Affiche) {
                ajoute(c.drapeau, c.g.LargeurDrapeau, "", "N");
                ajoute(c.valeur, c.g.LargeurValeur, c.titre, "");
            }
    }
}

namespace {

void Unite(LecteurModele& l, TPreference_Ecran::TexteUnite& unite, TPreference_Ecran::OctetsUnite& octets)
{
    if (l.Brut(octets.data(), static_cast<int64_t>(octets.size())) < static_cast<int64_t>(octets.size()))
        return;
    const auto n = static_cast<uint8_t>(octets[0]);
    if (n > TPreference_Ecran::TexteUnite::Max)
        l.Arrete();
    else
        unite = std::string(octets.data() + 1, n);
}

// The unit over the bytes read, as a short string is assigned over the old one.
void Unite(EcrivainModele& e, const TPreference_Ecran::TexteUnite& unite, const TPreference_Ecran::OctetsUnite& lus)
{
    TPreference_Ecran::OctetsUnite octets = lus;
    octets[0] = static_cast<char>(unite.size());
    unite.str().copy(octets.data() + 1, unite.size());
    e.Brut(octets.data(), static_cast<int64_t>(octets.size()));
}

template <class A, class G>
void Groupe(A& a, G& g)
{
    using T = std::remove_const_t<G>;
    if constexpr (std::is_same_v<T, TPreference_Ecran::GroupeMesure> ||
                  std::is_same_v<T, TPreference_Ecran::GroupeDimension>) {
        a.Mot(g.Largeur);
        a.Mot(g.LargeurUnite);
        a.Mot(g.Position);
        Unite(a, g.Unite, g.UniteLue);
        if constexpr (std::is_same_v<T, TPreference_Ecran::GroupeDimension>) {
            a.Caractere(g.Separateur);
            a.Booleen(g.DeuxColonnes);
        }
        a.Octet(g.Libre);
    } else if constexpr (std::is_same_v<T, TPreference_Ecran::GroupeSimple>) {
        a.Mot(g.Largeur);
        a.Mot(g.Position);
    } else {
        a.Mot(g.LargeurDrapeau);
        a.Mot(g.LargeurValeur);
        a.Mot(g.Position);
        a.Booleen(g.Affiche);
        a.Octet(g.Libre);
    }
}

// The file's order, which is not the order in memory.
template <class A, class P>
void Format(A& a, P& p)
{
    Groupe(a, p.GLongueur);
    Groupe(a, p.GAzimut);
    Groupe(a, p.GPente);
    Groupe(a, p.GLargeur);
    Groupe(a, p.GHauteur);
    Groupe(a, p.GCroquis);
    Groupe(a, p.GCommentaires);
    Groupe(a, p.GHorizontal);
    Groupe(a, p.GDeveloppement);
    Groupe(a, p.GPoint);
}

}  // namespace

void TPreference_Ecran::Charge()
{
    std::error_code e;
    if (NomFichier.empty() || !std::filesystem::exists(NomFichier, e))
        return;
    TFileBufferStream f(NomFichier, TFileBufferStream::kLecture);
    LecteurModele l(f);
    TPreference_Ecran lu;
    Format(l, lu);
    // Files of an older layout count the positions from 2.
    uint16_t* positions[] = {&lu.GLongueur.Position,     &lu.GAzimut.Position,     &lu.GPente.Position,
                             &lu.GLargeur.Position,      &lu.GHauteur.Position,    &lu.GCroquis.Position,
                             &lu.GCommentaires.Position, &lu.GHorizontal.Position, &lu.GDeveloppement.Position};
    bool un = false;
    for (uint16_t* p : positions)
        un = un || *p == 1;
    if (!un)
        for (uint16_t* p : positions)
            --*p;
    // The nine groups take the nine places after the station, each once.
    std::array<bool, 10> place{};
    bool admis = !l.Endommage() && lu.GPoint.Position == 0;
    for (uint16_t* p : positions) {
        admis = admis && *p >= 1 && *p <= 9 && !place[*p];
        if (admis)
            place[*p] = true;
    }
    // A unit is read case aside, as the dialog takes it, and kept as the dialog gives it.
    auto dans = [](TexteUnite& u, int colonne) {
        const UniteMesure* m = UniteDeLibelle(UnitesColonne(colonne), u.str());
        if (m)
            u = m->Libelle;
        return m != nullptr;
    };
    admis = admis && dans(lu.GLongueur.Unite, UniteLongueur) && dans(lu.GAzimut.Unite, UniteAzimut) &&
            dans(lu.GPente.Unite, UnitePente) && dans(lu.GLargeur.Unite, UniteLargeur) &&
            dans(lu.GHauteur.Unite, UniteHauteur);
    if (!admis)
        throw ErreurFichierEndommage(f.MessageEndommage());
    CopieGroupes(lu);
}

void TPreference_Ecran::Enregistre() const
{
    FluxEnMemoire f;
    EcrivainModele e(f);
    Format(e, *this);
    const std::vector<char>& octets = f.Octets();
    EcritFichierEntier(NomFichier, octets.data(), octets.size());
}

}  // namespace karst
