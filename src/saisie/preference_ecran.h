#pragma once
// Layout of the sheet editor's shot grid: which measurement groups appear, in which
// order and width, the unit a new row proposes, one or two columns for widths and
// heights, and the two correction columns. Kept in the 122-byte model file "OPTIONS.SAI".

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "survey/modele.h"
#include "survey/textes.h"

namespace karst {

class TPreference_Ecran {
public:
    using TexteUnite = TexteCourt<10>;
    // The unit string as the file holds it: length byte and ten bytes. The bytes past the
    // length are written back as they were read.
    using OctetsUnite = std::array<char, TexteUnite::Max + 1>;

    // Length, azimuth, slope.
    struct GroupeMesure {
        uint16_t Largeur = 0;
        uint16_t LargeurUnite = 0;
        uint16_t Position = 0;
        TexteUnite Unite;
        uint8_t Libre = 0;
        OctetsUnite UniteLue{};
    };
    // Widths, heights.
    struct GroupeDimension {
        uint16_t Largeur = 0;
        uint16_t LargeurUnite = 0;
        uint16_t Position = 0;
        TexteUnite Unite;
        char Separateur = '/';
        bool DeuxColonnes = false;
        uint8_t Libre = 0;
        OctetsUnite UniteLue{};
    };
    // Sketch, comments, station.
    struct GroupeSimple {
        uint16_t Largeur = 0;
        uint16_t Position = 0;
    };
    // The two corrections: a flag column and a value column.
    struct GroupeCorrection {
        uint16_t LargeurDrapeau = 0;
        uint16_t LargeurValeur = 0;
        uint16_t Position = 0;
        bool Affiche = false;
        uint8_t Libre = 0;
    };

    // Column type codes: 128 and above are unit columns, 64 to 127 the flag columns.
    enum Type : uint16_t {
        Point = 1,
        Longueur = 2,
        UniteLongueur = 131,
        Azimut = 4,
        UniteAzimut = 133,
        Pente = 6,
        UnitePente = 135,
        Largeur = 8,
        LargeurG = 9,
        LargeurD = 10,
        UniteLargeur = 139,
        Hauteur = 12,
        HautSup = 13,
        HautInf = 14,
        UniteHauteur = 143,
        Croquis = 16,
        Observations = 17,
        DrapeauHorizontal = 82,
        CorrHorizontale = 19,
        DrapeauDeveloppement = 84,
        DevManuel = 21
    };

    struct Colonne {
        uint16_t Type = 0;
        uint16_t Largeur = 0;  // pixels
        TexteCourt<25> Titre;
        TexteCourt<25> Unite;  // default text of the column's cells
    };

    // The units a unit column may hold; none for the other columns.
    static std::span<const UniteMesure> UnitesColonne(int type);

    static constexpr int kMaxColonnes = 19;
    static constexpr int kTailleFichier = 122;

    GroupeMesure GLongueur, GAzimut, GPente;
    GroupeDimension GLargeur, GHauteur;
    GroupeSimple GCroquis, GCommentaires, GPoint;
    GroupeCorrection GHorizontal, GDeveloppement;

    int16_t NbColonnes = 0;
    std::array<Colonne, kMaxColonnes + 1> Colonnes;  // 1..NbColonnes
    std::string NomFichier;

    TPreference_Ecran() { Defaut(); }

    void Defaut();
    void ConstruitColonnes();
    // NomFichier is read and written by `Charge` and `Enregistre` (dialogs/preference_ecran.h),
    // through the views' model-file readers: the sheet's rows use the layout without them.
    // Copies every group (not the columns or the file name).
    void CopieGroupes(const TPreference_Ecran& source);
};

}  // namespace karst
