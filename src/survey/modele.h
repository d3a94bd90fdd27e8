#pragma once
// The survey data model: compact strings, stations, shots, galleries, sheets and the
// massif document.

#include <array>
#include <atomic>
#include <concepts>
#include <cstdint>
#include <memory>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "survey/liste.h"
#include "survey/reel6.h"
#include "survey/textes.h"

namespace karst {

class TBufferStream;
class TMassif;
class IFenetreMassif;
class IEditeurSaisie;

// Outcome of TMassif::Charge.
enum class EtatChargement {
    Charge,  // the massif holds the file
    Refuse,  // a file of a later version: nothing read
    Echec,   // cannot be opened, damaged or truncated
};
struct ResultatChargement {
    EtatChargement etat = EtatChargement::Charge;
    std::string message;  // why it was refused or failed (UTF-8), for a message box
    std::string avis;     // what a load that succeeded should still say (UTF-8); empty when nothing
};

// Longest text a compact string holds (16-bit length, read back signed).
constexpr std::size_t kEcoMax = 32767;

// Compact string: a 16-bit length and exactly that many Windows-1252 bytes.
class TEco {
public:
    TEco() = default;
    explicit TEco(const std::string& s) { Affecte(s); }
    // Longer texts are cut to kEcoMax bytes: the files cannot carry more.
    void Affecte(const std::string& s);
    const std::string& Chaine() const { return s_; }
    std::string ChaineMaj() const;
    std::string ChaineSansBlanc() const;
    void Copie(const TEco& o) { Affecte(o.s_); }
    bool Egal(const TEco& o) const { return s_ == o.s_; }
    std::size_t Longueur() const { return s_.size(); }
    bool Possede() const { return possede_; }

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);

private:
    std::string s_;
    bool possede_ = false;
};

// A station reference. X and Y are in metres, except for the document's reference points
// (kilometres).
class TPointTopo {
public:
    bool Terminus = false;
    TEco Nom;
    uint8_t Indice = 0;
    Reel6 X, Y, Z;

    bool Egal(const TPointTopo& o) const;
    void Copie(const TPointTopo& source);

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);

    // "Terminus" for a terminus, else the station's name.
    std::string NomOuTerminus() const { return Terminus ? "Terminus" : Nom.Chaine(); }
};

// Root of a developed-section branch.
class TPointCoupe {
public:
    TEco Nom;
    uint8_t Indice = 0;
    Reel6 X, Z;
    int32_t Fiche = 0;    // TFiche::Ordre of the sheet of the branch's first gallery
    int32_t Galerie = 0;  // position of that gallery in the sheet, from 0
    // A dead end that the gallery reaching its station had no room for among its five
    // continuations hangs at that gallery (sheet number, position): the layout starts it
    // where the gallery's continuations start, so it follows the gallery wherever the
    // branch commands take it. Not saved: the files keep the place, from which a load
    // finds the gallery again (ReconnaitAccrochesCoupe).
    bool Accrochee = false;
    int32_t JonctionFiche = 0;
    int32_t JonctionGalerie = 0;

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);
};

// Shortcut record: no fields; kept as a count.
class TRaccourci {
public:
    void EcritFlux(TBufferStream&) const {}
    void LitFlux(TBufferStream&) {}
};

// Station indices hold 0..255.
constexpr int kIndiceMax = 255;
inline bool IndiceValide(int indice) { return indice >= 0 && indice <= kIndiceMax; }

using TexteMesure = TexteCourt<10>;  // widths and heights as typed
using TexteDate = TexteCourt<8>;     // dd/mm/yy

// Number in a width or height text, in metres: read whole, else without its last character
// (a unit letter typed after it); false when it is not a number.
bool NombreMesure(const std::string& texte, bool centimetres, double& valeur);

// Unit codes, as the files store them. Lengths, widths and heights:
constexpr uint8_t kUniteMetres = 0, kUniteCentimetres = 1;
// Azimuths (the declination takes the first two):
constexpr uint8_t kAzimutDegres = 0, kAzimutGrades = 1, kAzimutDegresInverse = 5, kAzimutGradesInverse = 6;
// Slopes: an angle in degrees or grads, a height difference in metres or in centimetres
// (not a percent grade: an import in percent converts to an angle), and the Vulcain
// clinometer's zenith angle in degrees; codes 5 to 9 are 0 to 4 with the shot read
// backwards. Azimuth and slope codes alike, backwards is forwards plus:
constexpr uint8_t kSensInverse = 5;
constexpr uint8_t kPenteDegres = 0, kPenteGrades = 1, kPenteDenivMetres = 2, kPenteDenivCm = 3, kPenteVulcain = 4,
                  kPenteDegresInverse = 5, kPenteGradesInverse = 6, kPenteDenivMetresInverse = 7,
                  kPenteDenivCmInverse = 8, kPenteVulcainInverse = 9;

// An azimuth in radians, by its unit code; the declination is not applied.
long double AzimutEnRadians(long double azimut, int unite);

// Degrees to radians and back, in the precision of the value given, so that a long double
// computation keeps the long double pi. Stored coordinates depend on the order of the
// operations to the last bit: degrees over 180 times pi, radians times 180 over pi.
template <std::floating_point T>
constexpr T DegresEnRadians(T degres)
{
    return degres / 180 * std::numbers::pi_v<T>;
}
template <std::floating_point T>
constexpr T RadiansEnDegres(T radians)
{
    return radians * 180 / std::numbers::pi_v<T>;
}

// One shot.
class TVisee {
public:
    Reel6 Longueur, Azimut, Pente;
    Reel6 X, Y, Z;      // end of the shot relative to the gallery start, metres
    Reel6 Horizontale;  // horizontal length of the shot, metres
    Reel6 Topofil;      // topofil counter reading at the shot's start
    TexteMesure Droite, Gauche, Haut, Bas;
    TEco Commentaire;
    uint8_t UniteLongueur = 0, UniteLargeur = 0, UniteHauteur = 0;
    uint8_t UniteAzimut = 0;
    uint8_t UnitePente = 0;
    uint8_t TailleSchema = 0;
    Reel6 CorrHorizontale, CorrDeveloppement;
    bool AvecCorrHorizontale = false, AvecCorrDeveloppement = false, AvecTopofil = false;

    // Length in metres.
    long double LongueurMetres() const;
    // Azimuth in radians, by its unit (degrees, grads, and both reversed); the declination
    // is not applied.
    long double AzimutRadians() const;

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);
};

// A computed station: absolute X, Y, Z and the developed-section abscissa.
struct TStation {
    Reel6 X, Y, Z, Abscisse;
};

constexpr int kMaxVisees = 128;
constexpr int kMaxSuites = 5;

// One gallery: a chain of up to 128 shots between two stations.
class TGalerie {
public:
    TGalerie();

    // Slots 1 to 128; slot 0 is never used.
    std::array<std::unique_ptr<TVisee>, kMaxVisees + 1> Visees;
    // Record k - 1 is the station at the end of shot k.
    std::vector<TStation> Stations;
    TPointTopo Depart, Arrivee;
    Reel6 SommeDX, SommeDY, SommeDZ;
    Reel6 SommeL, SommeL2;
    Reel6 EcartHorizontal, EcartVertical;  // not saved
    uint8_t NbVisees = 0;
    bool Placee = false;
    bool Drapeau1 = false, Drapeau2 = false;
    bool PremiereViseeNulle = false;  // set by the sheet editor
    Reel6 Developpement;
    Reel6 Coefficient;
    Reel6 CoefTopofil;
    TEco Commentaire;
    int32_t Couleur = 0;
    bool DansCoupe = false;
    bool Sens = false;
    bool GaucheDroite = false;
    int8_t NbSuites = 0;
    std::array<int32_t, kMaxSuites + 1> SuiteFiche{};    // 1..5
    std::array<int32_t, kMaxSuites + 1> SuiteGalerie{};  // 1..5
    Reel6 CoupeX0, CoupeZ0, CoupeX1;                     // not saved

    TVisee* Visee(int k) const { return Visees[static_cast<std::size_t>(k)].get(); }
    // Puts a shot in slot k (1..128).
    TVisee* PlaceVisee(int k, std::unique_ptr<TVisee> v);
    // Appends a shot after the last one; throws std::length_error beyond 128 shots.
    TVisee* AjouteVisee(std::unique_ptr<TVisee> v);
    int NbStations() const { return static_cast<int>(Stations.size()); }
    TStation& Station(int k) { return Stations[static_cast<std::size_t>(k - 1)]; }
    const TStation& Station(int k) const { return Stations[static_cast<std::size_t>(k - 1)]; }

    // Copies the stations, the reduced sums, the coefficient, the placed flag and the
    // misclosures: what the network computation reads and writes.
    void CopieReduction(const TGalerie& source);

    // Reduction and placement.
    void CalculeVisees(Reel6 angle);
    void PlacePoints();

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);
};

// One survey sheet.
class TFiche {
public:
    TFiche();

    ListePossedee<TGalerie> Galeries{5};
    TexteDate Date;
    uint8_t Unite_Decli = 0;
    std::vector<TEco> Topographes;
    TEco Systeme, Cavite, Reseau, Lieu;
    TEco TPST;
    Reel6 Declinaison;
    Reel6 Premiere;
    int32_t Ordre = 0;
    // Run-time fields of other subsystems (table layout), not saved.
    int32_t DebutTableau = 0, FinTableau = 0;

    bool MemeSortie(const TFiche& o) const;
    bool MemeEndroit(const TFiche& o) const;
    // The system, cave, network and place as messages name the sheet: a part that repeats
    // the one before it (imports fill the blank parts from the cave) is given once; blank
    // parts stay.
    std::vector<std::string> PartiesAdresse() const;
    // The same joined by "/".
    std::string Adresse() const;
    // A gallery as messages and status texts name it: the address, `avant`, the first
    // station, `entre`, the second (each "Terminus" or its name).
    std::string LibelleGalerie(const TPointTopo& premier, const TPointTopo& second, const char* avant = " ",
                               const char* entre = " - ") const;
    void Copie(const TFiche& source);
    // Up then down heights, metres, -1 when missing.
    void HauteursStation(int galerie, int station, double& haut, double& bas) const;
    // Left then right widths, metres, -1 when missing.
    void LargeursStation(int galerie, int station, double& gauche, double& droite) const;

    void Calcule(Reel6 angleDegres);
    // Takes every branch that starts at a gallery of this sheet out of the massif's section.
    void RetireDeLaCoupe(TMassif& massif);

    void EcritFlux(TBufferStream& f) const;
    void LitFlux(TBufferStream& f);
};

using ListeFiches = std::vector<TFiche*>;

// A unit a measure may be in: its code in the shots, its label as the grid, the lists and the
// views show it (Windows-1252), and its token in the text massif file.
struct UniteMesure {
    uint8_t Code;
    const char* Libelle;
    const char* Jeton;
};

// One table per kind of unit, in the order the lists offer them.
extern const std::array<UniteMesure, 2> kUnitesLongueur;  // lengths, widths and heights
extern const std::array<UniteMesure, 4> kUnitesAzimut;
extern const std::array<UniteMesure, 10> kUnitesPente;
extern const std::array<UniteMesure, 2> kUnitesDeclinaison;
// The unit of the table whose label is the text, letter case aside; null when none is.
const UniteMesure* UniteDeLibelle(std::span<const UniteMesure> unites, const std::string& texte);
// The unit of the table with that code; null when none has it.
const UniteMesure* UniteDeCode(std::span<const UniteMesure> unites, int code);
// The label of the table's unit with that code, or "?" when none has it.
const char* LibelleUnite(std::span<const UniteMesure> unites, int code);

// The labels indexed by the unit codes.
extern const std::array<const char*, 2> LibellesUniteLongueur;
extern const std::array<const char*, 10> LibellesUnitePente;
// The label of a length or slope unit code, or "?" for a code outside the table.
const char* LibelleUniteLongueur(int code);
const char* LibelleUnitePente(int code);

// Sortable key of a dd/mm/yy date.
int DateEnNombre(const std::string& date);

// Bounding box of the placed stations of the sheets.
bool CalculeLimites(const ListeFiches& fiches, TStation& min, TStation& max);

// The document.
class TMassif {
public:
    TMassif();
    ~TMassif();
    TMassif(const TMassif&) = delete;
    TMassif& operator=(const TMassif&) = delete;

    // Working selection: does not own its sheets; absent until the selection commands
    // create it.
    std::unique_ptr<ListeFiches> Selection;
    ListePossedee<TFiche> Corbeille{5};
    std::vector<TRaccourci> Raccourcis;
    // Fiches, or *Selection while SelectionActive.
    VueListe<TFiche> FichesCourantes;
    ListePossedee<TFiche> Fiches{16};
    ListePossedee<TPointTopo> References{16};  // X, Y in km; Z in m
    ListePossedee<TPointCoupe> Coupe{16};
    bool SelectionActive = false;
    bool Enregistre = true;
    bool PointsCalcules = false;
    bool CoupeCalculee = false;
    bool DimensionsAJour = false;
    bool AfficheProblemes = true;
    std::string NomFichier;
    // The massif's file holds the text format, as it was read or last saved: a save under a
    // name that asks for no format keeps it.
    bool FichierEnTexte = false;
    Reel6 Origine_Declinaison;
    Reel6 Variation_Declinaison{1.0L};
    Reel6 Angle_Geodesique;
    Reel6 SeuilDeformation{0.05L};  // not saved
    TexteDate Date_Declinaison{"01/01/80"};
    // False while the declination model still holds the values a new massif starts with:
    // nobody set it, and its 1 degree a year would turn a survey by tens of degrees.
    bool DeclinaisonReglee() const;

    TFiche* AjouteFiche(std::unique_ptr<TFiche> fiche, bool aussiSelection);
    // The old sheet is handed back to the caller.
    std::unique_ptr<TFiche> RemplaceFiche(TFiche* ancienne, std::unique_ptr<TFiche> nouvelle);
    void JetteFiche(TFiche* fiche);
    void TrieFiches();
    void TrieSelection();
    void AjouteReference(std::unique_ptr<TPointTopo> point);
    void VideReferences();
    // A free index for the (upper-cased) name above `depart`. The result exceeds
    // kIndiceMax when every index above `depart` is taken: callers that store it must
    // refuse such a result (IndiceValide).
    int IndiceLibre(const std::string& nomMaj, int depart);

    // Selection helpers: create the selection list (empty) if absent; switch the current list.
    void ActiveSelection(bool active);

    // First sheet of Fiches with this order number, or null.
    TFiche* FicheParOrdre(int32_t ordre) const;

    // Placement.
    void PlaceTousPoints();
    double PireGalerie(int& fiche, int& galerie);

    // Saves to `nom` (empty: NomFichier): the text format when the upper-cased extension
    // is ".MAS", the binary format for ".FIC", and for any other name (a backup) the format
    // of the massif's file (FichierEnTexte). A symbolic link is followed: its target is
    // replaced and the link kept. The file is written beside the target and renamed over
    // it only once complete, so a failed save leaves the old file intact. When no file can
    // be created in that folder, the file is written in place, but only when the caller
    // names in `copiePrecedente` where its previous content was copied.
    // Throws (ErreurFlux and others) with a French message naming `nom` on failure.
    void Sauve(const std::string& nom = {}, IFenetreMassif* fenetre = nullptr, IEditeurSaisie* editeur = nullptr,
               const std::string& copiePrecedente = {});
    // Throws ErreurFlux, naming the sheet, gallery and shot or the reference point, when the
    // massif holds a value that the massif readers refuse: saved, it would never reopen.
    // Sauve checks it before anything is written; a caller that backs the file up first
    // checks it before the backup.
    void VerifieEnregistrable() const;
    // Loads NomFichier, appending to the lists, in the format its first bytes show whatever
    // its name. Unless the result is Charge, the massif is left exactly as it was.
    ResultatChargement Charge(IFenetreMassif* fenetre = nullptr, IEditeurSaisie* editeur = nullptr);

    // Developed section.
    void PlaceCoupe();
    void PlaceBranche(int16_t fiche, int16_t galerie, Reel6 x, Reel6 z);
    void CalculeCoupe();
    void VerifieCoupe();
    void RetireBranche(int32_t fiche, int32_t galerie, bool racine);
    void VideCoupe();
    // A file keeps no link from a dead end to the gallery it hangs at, only the place the
    // dead end starts from: a loaded massif finds the links again from a layout that
    // changes no link.
    void ReconnaitAccrochesCoupe();
};

}  // namespace karst
