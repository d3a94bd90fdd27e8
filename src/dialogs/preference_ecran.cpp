// The layout's 122 bytes, group by group in the file's order.

#include <filesystem>
#include <system_error>
#include <type_traits>

#include "dialogs/preference_ecran.h"
#include "survey/flux.h"
#include "views/lecteur_modele.h"

namespace karst {

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

void Charge(TPreference_Ecran& preferences)
{
    using P = TPreference_Ecran;
    const std::string& nom = preferences.NomFichier;
    std::error_code e;
    if (nom.empty() || !std::filesystem::exists(nom, e))
        return;
    TFileBufferStream f(nom, TFileBufferStream::kLecture);
    LecteurModele l(f);
    P lu;
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
    auto dans = [](P::TexteUnite& u, int colonne) {
        const UniteMesure* m = UniteDeLibelle(P::UnitesColonne(colonne), u.str());
        if (m)
            u = m->Libelle;
        return m != nullptr;
    };
    admis = admis && dans(lu.GLongueur.Unite, P::UniteLongueur) && dans(lu.GAzimut.Unite, P::UniteAzimut) &&
            dans(lu.GPente.Unite, P::UnitePente) && dans(lu.GLargeur.Unite, P::UniteLargeur) &&
            dans(lu.GHauteur.Unite, P::UniteHauteur);
    if (!admis)
        throw ErreurFichierEndommage(f.MessageEndommage());
    preferences.CopieGroupes(lu);
}

void Enregistre(const TPreference_Ecran& preferences)
{
    FluxEnMemoire f;
    EcrivainModele e(f);
    Format(e, preferences);
    const std::vector<char>& octets = f.Octets();
    EcritFichierEntier(preferences.NomFichier, octets.data(), octets.size());
}

}  // namespace karst
