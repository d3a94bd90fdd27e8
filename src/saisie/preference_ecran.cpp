#include "saisie/preference_ecran.h"

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

}  // namespace karst
