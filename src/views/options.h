#pragma once
// Layout options of the four views and of the printed pages, with their defaults.
// One instance of each lives in the main window for the whole run; the views read them
// while drawing. Arrays follow the numbering the users see: columns 1..13, header items
// 1..11, vertical scales 1..50, page labels 1..3; slot 0 of those arrays is unused.
// Each record's Modifie runs its dialog: it is defined with that dialog, in formulaires,
// and only the windows above call it.

#include <array>
#include <cstdint>
#include <string>

#include "platform/canvas.h"
#include "survey/modele.h"
#include "survey/reel6.h"
#include "survey/textes.h"

class QWidget;

namespace karst {

class ContexteVues;

// A font as the model files record it (the canvas's font, named as the option records
// name it). The name is in Windows-1252.
class TPolice : public Police {
public:
    TPolice() = default;
    TPolice(const std::string& nom, int hauteur)
    {
        Nom = nom;
        Hauteur = hauteur;
    }
    bool operator==(const TPolice&) const = default;
};

using Texte25 = TexteCourt<25>;

// The range of every number the drawing takes from the options, chosen wide enough for any
// real drawing and narrow enough that no count can exhaust memory or time. A dialog refuses
// a value outside it, and a model file holding one is damaged. Each record lists its bounded
// fields once, in Bornes(v): v(field, min, max).
constexpr long long kEpaisseurMax = 100;             // tenths of mm: 1 cm
constexpr long long kLongueurPapierMax = 1000;       // mm: more than any paper
constexpr long long kLongueurTerrainMax = 32767;     // m
constexpr long long kSubdivisionsMax = 1000;         // parts of a scale bar
constexpr long long kDiametreMax = 100;              // tenths of mm
constexpr long long kFacesMin = 3, kFacesMax = 360;  // sides of a station cylinder
constexpr long long kLargeur3DMax = 1000;            // m
constexpr long long kCouleurMax = 0xFFFFFF;          // what the colour dialog gives
constexpr long long kChoixMax = 2;                   // the three-item radio groups

// The shots and stations, alike in the plan, the perspective and the section.
template <class O, class V>
void BornesVisees(V& v)
{
    v(&O::Epaisseur_Visee, 0, kEpaisseurMax);
    v(&O::pourcentage, 0, 100);
    v(&O::diametre, 0, kDiametreMax);
    v(&O::Texte_Station, 0, kChoixMax);
}

// Plan view.
class TOptions_Plan {
public:
    // The model file: written whole; read when it exists, as far as it goes.
    void Sauve(const std::string& nomFichier);
    void Charge(const std::string& nomFichier);
    // The layout dialog on this record, opened on the open plan window's angle. True when
    // confirmed: the record then holds the dialog's values and the open plan window turns to
    // its angle.
    bool Modifie(ContexteVues& contexte, QWidget* parent = nullptr);

    bool Affiche_Nord = true;
    bool Affiche_Echelle = true;
    bool Afficher_Habillage = true;
    bool Affiche_Quadri = false;
    bool Representation = true;  // north arrow: true "Géographique", false "Projection"
    bool Origine = false;        // "Bloquer l'origine"
    bool AuDebut = false;
    bool AlaFin = true;
    Texte25 Texte_Nord{"N.G."};
    Reel6 X_Nord, Y_Nord;        // km
    Reel6 X_Echelle, Y_Echelle;  // km
    Reel6 X_Origine, Y_Origine;  // m
    Reel6 Angle;                 // degrees
    int16_t Epaisseur_Nord = 2;
    int16_t Long_Nord = 10;
    int16_t Epaisseur_Echelle = 2;
    int16_t Long_Echelle = 10;  // metres on the ground
    int16_t Largeur_Echelle = 2;
    int16_t Subdivision = 5;
    int16_t Epaisseur_Visee = 2;
    int16_t pourcentage = 100;
    int16_t diametre = 1;
    int16_t Epaisseur_Habit = 5;
    int16_t Texte_Station = 0;  // 0 "Aucun", 1 "Nom", 2 "Nom+Indice"
    int16_t Pas = 0;            // grid step, m
    int16_t Epaisseur_Quadri = 0;
    int16_t Longueur_Quadri = 0;
    int16_t Epaisseur_Largeur = 1;
    int16_t Representation_Largeur = 0;  // 0 "Aucune", 1 "Traits", 2 "Points"
    TPolice Police_Nord, Police_Echelle, Police_Station;

    template <class V>
    static void Bornes(V&& v)
    {
        using O = TOptions_Plan;
        BornesVisees<O>(v);
        for (auto c : {&O::Epaisseur_Nord, &O::Epaisseur_Echelle, &O::Epaisseur_Habit, &O::Epaisseur_Quadri,
                       &O::Epaisseur_Largeur})
            v(c, 0, kEpaisseurMax);
        for (auto c : {&O::Long_Nord, &O::Largeur_Echelle, &O::Longueur_Quadri})
            v(c, 0, kLongueurPapierMax);
        for (auto c : {&O::Long_Echelle, &O::Pas})
            v(c, 0, kLongueurTerrainMax);
        v(&O::Subdivision, 0, kSubdivisionsMax);
        v(&O::Representation_Largeur, 0, kChoixMax);
    }
};

// Perspective view and its 3D passage model.
class TOptions_Relief {
public:
    // The model file: written whole; read when it exists, as far as it goes.
    void Sauve(const std::string& nomFichier);
    void Charge(const std::string& nomFichier);
    // The layout dialog on this record, opened on the open perspective window's angles.
    // True when confirmed: the record then holds the dialog's values and the open
    // perspective window turns to its angles.
    bool Modifie(ContexteVues& contexte, QWidget* parent = nullptr);

    bool Affiche_Nord = true;
    bool Affiche_Echelle = false;  // the axes
    bool Affiche_Quadri = true;    // the box
    bool Representation = true;
    bool X_Inverse = false, Y_Inverse = false, Z_Inverse = false;
    Texte25 Texte_Nord{"N.G."};
    Reel6 X_Nord, Y_Nord;        // km
    Reel6 Z_Nord;                // m
    Reel6 X_Echelle, Y_Echelle;  // km
    Reel6 Z_Echelle;             // m
    Reel6 Angle_Horizontal;      // degrees
    Reel6 Angle_Vertical;        // degrees
    int16_t Epaisseur_Nord = 2;
    int16_t Long_Nord = 10;
    int16_t Epaisseur_Echelle = 2;
    int16_t Long_Echelle = 10;
    int16_t Largeur_Echelle = 2;
    int16_t Subdivision = 5;
    int16_t Epaisseur_Visee = 2;
    int16_t pourcentage = 100;
    int16_t diametre = 1;
    int16_t Texte_Station = 0;
    int16_t Epaisseur_Quadri = 1;
    TPolice Police_Nord, Police_Echelle, Police_Station;
    int32_t CouleurGalerie = 0x808080;
    int32_t CouleurCylindre = 0x808080;
    int32_t CouleurFond = 0;
    int32_t Couleur_Cadre = 0;
    float Largeur_3D = 0.5f;  // m
    int32_t N_Face = 10;
    bool Cylindre = false;
    bool Filaire = false;

    template <class V>
    static void Bornes(V&& v)
    {
        using O = TOptions_Relief;
        BornesVisees<O>(v);
        for (auto c : {&O::Epaisseur_Nord, &O::Epaisseur_Echelle, &O::Epaisseur_Quadri})
            v(c, 0, kEpaisseurMax);
        for (auto c : {&O::Long_Nord, &O::Largeur_Echelle})
            v(c, 0, kLongueurPapierMax);
        v(&O::Long_Echelle, 0, kLongueurTerrainMax);
        v(&O::Subdivision, 0, kSubdivisionsMax);
        for (auto c : {&O::CouleurGalerie, &O::CouleurCylindre, &O::CouleurFond, &O::Couleur_Cadre})
            v(c, 0, kCouleurMax);
        v(&O::Largeur_3D, 0, kLargeur3DMax);
        v(&O::N_Face, kFacesMin, kFacesMax);
    }
};

// One vertical scale bar of the developed section (88 bytes in the model file).
class TEchelleVerticale {
public:
    Reel6 Xdev;      // m
    Reel6 Decalage;  // m
    int16_t ZMin = 0;
    int16_t ZMax = 0;
    bool Gauche = false;
    TexteCourt<10> Libelle;
    TexteCourt<50> Nom;    // reference station
    uint8_t Reserve1 = 0;  // kept as read
    int16_t Indice = 0;
    std::array<uint8_t, 6> Reserve2{};  // kept as read

    bool operator==(const TEchelleVerticale& o) const;
};

constexpr int kMaxEchelles = 50;

// Developed-section view.
class TOptions_Coupe {
public:
    // The model file: written whole; read when it exists, as far as it goes.
    void Sauve(const std::string& nomFichier);
    void Charge(const std::string& nomFichier);
    // The layout dialog on this record, scales included; true when confirmed.
    bool Modifie(QWidget* parent = nullptr);

    bool Affiche_Horizontale = false;
    bool Afficher_Habillage = false;
    bool Origine = true;
    Reel6 X_Horizontale, Z_Horizontale;  // m
    Reel6 X_Origine, Z_Origine;          // m
    int16_t Epaisseur_Horizontale = 1;
    int16_t Long_Horizontale = 100;
    int16_t Largeur_Horizontale = 2;
    int16_t Pas_Horizontale = 20;
    int16_t Epaisseur_Verticale = 1;
    int16_t Largeur_Verticale = 2;
    int16_t Pas_Verticale = 10;
    int16_t NbEchelles = 0;  // 0..kMaxEchelles
    int16_t Epaisseur_Visee = 1;
    int16_t pourcentage = 100;
    int16_t diametre = 0;
    int16_t Texte_Station = 0;
    int16_t Epaisseur_Habit = 0;
    int16_t Epaisseur_hauteur = 2;
    int16_t Representation_Hauteur = 0;
    TPolice Police_Horizontale, Police_Verticale, Police_Station;
    std::array<TEchelleVerticale, kMaxEchelles + 1> Echelles;  // 1..NbEchelles in use

    template <class V>
    static void Bornes(V&& v)
    {
        using O = TOptions_Coupe;
        BornesVisees<O>(v);
        for (auto c : {&O::Epaisseur_Horizontale, &O::Epaisseur_Verticale, &O::Epaisseur_Habit, &O::Epaisseur_hauteur})
            v(c, 0, kEpaisseurMax);
        for (auto c : {&O::Largeur_Horizontale, &O::Largeur_Verticale})
            v(c, 0, kLongueurPapierMax);
        for (auto c : {&O::Long_Horizontale, &O::Pas_Verticale})
            v(c, 0, kLongueurTerrainMax);
        v(&O::Pas_Horizontale, 0, kSubdivisionsMax);
        v(&O::NbEchelles, 0, kMaxEchelles);
        v(&O::Representation_Hauteur, 0, kChoixMax);
    }
};

constexpr int kNbColonnes = 13;
constexpr int kNbItems = 11;

// Survey table.
class TOptions_Tableau {
public:
    TOptions_Tableau();

    // The model file: written whole; read when it exists, as far as it goes.
    void Sauve(const std::string& nomFichier);
    void Charge(const std::string& nomFichier);
    // The layout dialog on this record, its reference station searched in the open massif.
    // True when confirmed: the open massif's table dimensions are then out of date.
    bool Modifie(ContexteVues& contexte, QWidget* parent = nullptr);

    std::array<Texte25, kNbColonnes + 1> Titre1, Titre2;
    std::array<char, kNbColonnes + 1> Separateur;
    std::array<int16_t, kNbColonnes + 1> Ordre;
    std::array<int16_t, kNbColonnes + 1> Largeur;  // mm
    std::array<bool, kNbColonnes + 1> Afficher;
    std::array<bool, kNbColonnes + 1> Dedoubler;
    // [item 1..11][header 0 general, 1 restricted]
    std::array<std::array<bool, 2>, kNbItems + 1> EnTeteAffiche{};
    std::array<std::array<Texte25, 2>, kNbItems + 1> EnTeteIntitule;
    std::array<std::array<int16_t, 2>, kNbItems + 1> X_Pos{}, Y_Pos{};  // mm
    std::array<std::array<TPolice, 2>, kNbItems + 1> EnTetePolice;
    std::array<int16_t, 2> Hauteur{50, 50};  // mm
    std::array<bool, 2> Rappel{true, true};
    int16_t Hauteur_Ligne = 8;  // mm
    int16_t Ptt_Trait = 5;
    int16_t Gros_Trait = 10;
    TPolice PoliceStandard, PoliceCarrefour;
    TPointTopo PointZero;
    bool EnPlan = false;
    bool EnAltitude = false;

    static constexpr long long kLargeurColonneMax = 255;  // mm, one byte in the dialog
    static constexpr long long kHauteurLigneMax = 100;    // mm

    template <class V>
    static void Bornes(V&& v)
    {
        using O = TOptions_Tableau;
        v(&O::Largeur, 0, kLargeurColonneMax);
        for (auto c : {&O::X_Pos, &O::Y_Pos})
            v(c, 0, kLongueurPapierMax);
        v(&O::Hauteur, 0, kLongueurPapierMax);
        v(&O::Hauteur_Ligne, 0, kHauteurLigneMax);
        for (auto c : {&O::Ptt_Trait, &O::Gros_Trait})
            v(c, 0, kEpaisseurMax);
    }
};

// Print margins, corner marks and page labels (1 date and time, 2 page number,
// 3 file name).
class TMarge {
public:
    // The model file: written whole; read when it exists, as far as it goes.
    void Sauve(const std::string& nomFichier);
    void Charge(const std::string& nomFichier);
    // The margins dialog on this record; "Enregistrer" keeps its values.
    void Modifie(QWidget* parent = nullptr);

    int16_t Gauche = 10, Droite = 10, Haut = 10, Bas = 10;  // mm
    int16_t LongueurAngle = 30;                             // mm
    int16_t EpaisseurAngle = 1;                             // tenths of mm
    // 1 "Haut/Gauche", 2 "Haut/Droite", 3 "Bas/Gauche", 4 "Bas/Droite"; other: not printed
    std::array<uint8_t, 4> PositionEtiquette{0, 1, 3, 4};
    std::array<bool, 4> AfficheEtiquette{false, true, true, true};
    TPolice Police{"Arial", -12};

    template <class V>
    static void Bornes(V&& v)
    {
        for (auto c : {&TMarge::Gauche, &TMarge::Droite, &TMarge::Haut, &TMarge::Bas, &TMarge::LongueurAngle})
            v(c, 0, kLongueurPapierMax);
        v(&TMarge::EpaisseurAngle, 0, kEpaisseurMax);
        v(&TMarge::PositionEtiquette, 0, 4);
    }
};

}  // namespace karst
