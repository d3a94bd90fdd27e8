#pragma once
// The sheet being typed, as rows of texts: what the editor's grid shows, what its commands
// change and what its validation reads. Texts are UTF-8, as the screen shows them.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "saisie/preference_ecran.h"
#include "survey/icone.h"
#include "survey/modele.h"

namespace karst {

class TBufferStream;

// The refusal of a sheet whose rows do not end on a station; the editor gives it too.
inline constexpr char kTexteFicheSansPointFinal[] = "La fiche ne se termine pas sur un point topo";

// A junction between two consecutive galleries of the sheet being typed.
class TNoeud {
public:
    TPointTopo Arrivee;  // end of the gallery before
    TPointTopo Depart;   // start of the gallery after
    TEco Commentaire;    // of the gallery after
    Reel6 Coefficient, CoefTopofil;
    int32_t Couleur = 0;  // kept in memory only

    void Enregistre(TBufferStream& f) const;
    void Charge(TBufferStream& f);
};

// A UTF-8 message naming the first two units of the table for %1 and %2.
std::string Format2(const char* messageUtf8, std::span<const UniteMesure> unites);

// Why a sheet is refused, and the cell to show (none when `ligne` < 0).
struct RefusFeuille {
    std::string message;
    Icone icone;
    int ligne = -1, colonne = 0;
};

// A cell of a shot row whose text holds characters Windows-1252 lacks: those characters,
// each once, separated by spaces.
struct CelluleHorsCp1252 {
    int ligne, colonne;
    std::string caracteres;
};

// A width or height part that holds the separator of a layout joining the pair in one
// column: joined, it would split back elsewhere. `groupe` 0 is the widths, 1 the heights;
// `type` the part's column type in a layout of two columns.
struct PartieMelee {
    int groupe, type;
    std::string visee;  // the shot's number, as the grid shows it
    std::string texte;  // UTF-8
};
// The group that a part of column type `type` holding `texte` (UTF-8) would mix under the
// layout, or -1.
int GroupeMele(const TPreference_Ecran& disposition, int type, const std::string& texte);
// Every such part of the sheet's shots, shot by shot, numbered as the grid numbers them.
std::vector<PartieMelee> PartiesMelees(const TFiche& fiche, const TPreference_Ecran& disposition);

// Rows `haut` to `bas`, columns `gauche` to `droite`.
struct BlocCellules {
    int haut, gauche, bas, droite;
};

// Row 0 holds the titles and column 0 the row markers: a shot's number, or the start and end
// marks of a gallery's stations. Columns 1 on are the layout's, unit and flag cells included.
class FeuilleSaisie {
public:
    enum class Sorte { Visee, Depart, Arrivee };
    static constexpr char kDepart[] = "|->";
    static constexpr char kArrivee[] = "->|";
    // The grid grows up to this many rows (titles included) to take what is pasted or imported.
    static constexpr int kLignesMax = 1000;

    // The layout's titles and default texts, and ten numbered shot rows of defaults.
    void Construit(const TPreference_Ecran* preferences);
    const std::string& Texte(int ligne, int colonne) const;
    void FixeTexte(int ligne, int colonne, const std::string& texte);
    int NbLignes() const { return static_cast<int>(lignes_.size()); }
    int NbColonnes() const { return static_cast<int>(defauts_.size()); }
    // Rows added at the end are empty.
    void FixeNbLignes(int n);
    // A row of empty cells put at `ligne`, the rows from there moving down; the row taken out.
    void InsereLigne(int ligne);
    void RetireLigne(int ligne);
    // A default row at the end, numbered as the next shot.
    void AjouteLigne();
    // Every shot row numbered as the sheet will store it: 1, 2, ... from the top.
    void NumeroteVisees();
    // A default shot row numbered `numero` put at `ligne`, the shots below renumbered.
    void InsereVisee(int ligne, int numero);
    void InsereStation(int ligne, const std::string& marque, const std::string& commentaire,
                       const std::string& station);
    const std::string& TexteDefaut(int colonne) const;

    Sorte SorteLigne(int ligne) const;
    bool LigneDepart(int ligne) const { return SorteLigne(ligne) == Sorte::Depart; }
    bool LigneArrivee(int ligne) const { return SorteLigne(ligne) == Sorte::Arrivee; }
    bool LigneVisee(int ligne) const;
    // A shot row holding something typed: a cell other than its column's default.
    bool LigneSaisie(int ligne) const;
    // The number of a shot row, or -1.
    int NumeroVisee(int ligne) const;
    void Renumerote(int de, int delta);
    // Type code of a column (0 for column 0), and the first column of a type or -1.
    int TypeColonne(int colonne) const;
    int ColonneType(int type) const;
    // The last column of a type, the one the sheet check reads, or -1.
    int DerniereColonne(int type) const;
    // A shot row as a question names it: its number and its length, azimuth and slope.
    std::string DesignationVisee(int ligne) const;
    // A unit cell: a unit column on a shot row (station rows hold no unit).
    bool CelluleUnite(int ligne, int colonne) const { return TypeColonne(colonne) >= 128 && LigneVisee(ligne); }
    // Whether a typed key (or a mouse click) may open a cell editor there.
    bool CelluleEditable(int ligne, int colonne, bool souris) const;
    // The unit of a unit column of that type whose label is the text, letter case aside; null
    // when none is. The grid, the paste and the sheet check know a unit this one way.
    static const UniteMesure* UniteDeTexte(int type, const std::string& texte);

    // The block as tab-separated lines.
    std::string TexteSelection(const BlocCellules& bloc) const;
    // Empties what may be typed in the block; `unites` (a cut) puts its units back to their
    // columns' defaults too. True when a cell changed.
    bool EffaceSelection(const BlocCellules& bloc, bool unites);
    // Lines pasted from cell (haut, gauche), or from the row's first column when each line
    // holds a whole row: why the text is refused, or nothing; `modifie` is set when a cell
    // changed.
    std::optional<std::string> ColleTexte(const TexteUtf8& texte, int haut, int gauche, bool finSurPoint,
                                          bool& modifie);
    // Spreadsheet lines from row `ligne`, skipping those field numbers: why they are refused,
    // or nothing.
    std::optional<std::string> ImporteTexte(const TexteUtf8& texte, const std::vector<int>& ignores, int ligne,
                                            bool finSurPoint);
    // `valeur` (a typed number) added to every number of the last column of type `type` (a
    // length, an azimuth or a slope) on the shot rows `de` to `a`, written with as many
    // decimals as the larger of the two has; an azimuth stays within its unit's turn. Why it
    // is refused (a slope brought past the vertical, naming the shot), or nothing; `modifie`
    // is set when a cell changed.
    std::optional<std::string> Corrige(int type, const std::string& valeur, int de, int a, bool& modifie);
    // The grid as "Tout copier" puts it on the clipboard; a start row shows its gallery's
    // topofil coefficient, the k-th start row's from `coefsTopofil[k]`.
    std::string TexteGrille(const std::vector<Reel6>& coefsTopofil) const;

    // The galleries of a sheet, in rows after the ten default ones: the first start into
    // `premier`, the junctions into `noeuds` (what it held is dropped), the end into `fin`. The row of the first shot
    // of gallery `galerie`, or -1.
    int ChargeFiche(const TFiche& f, int galerie, TNoeud& premier, std::vector<std::unique_ptr<TNoeud>>& noeuds,
                    TPointTopo& fin);
    // The shot rows into the sheet's galleries, chained by `premier`, `noeuds` and `fin`.
    std::optional<RefusFeuille> LitGaleries(TFiche& fiche, const TNoeud& premier,
                                            const std::vector<std::unique_ptr<TNoeud>>& noeuds,
                                            const TPointTopo& fin) const;

    static std::string TexteStation(const TPointTopo& p, bool etoileSansNom = false);
    // The cells that a sheet would store with '?' in place of some characters, top to bottom.
    std::vector<CelluleHorsCp1252> CellulesHorsCp1252() const;

private:
    std::string& cellule(int ligne, int colonne);
    void afficheVisees(const TGalerie& g, int& compteur, int lignesStations);
    // Shot row `ligne`, the `numero`-th shot of g, or why it is refused.
    std::unique_ptr<TVisee> litVisee(int ligne, int numero, TGalerie& g, std::optional<RefusFeuille>& refus) const;
    // Lines of text go to the rows from `haut` on, and a station row takes none: why such a
    // text (`texte` "collé" or "importé") is refused whole.
    std::optional<std::string> refuseSurStation(int haut, std::size_t lignes, const char* texte) const;
    // A column whose text is read as numbers, where an imported ',' is the decimal point.
    bool colonneNombres(int colonne) const;

    // A row's cells, and for a row loaded from a shot that shot: what the layout does not
    // show of it is stored again as it was. The shot moves with its row.
    struct Ligne {
        std::vector<std::string> cellules;
        std::shared_ptr<const TVisee> visee;
    };

    const TPreference_Ecran* preferences_ = nullptr;
    std::vector<Ligne> lignes_;
    std::vector<std::string> defauts_;
};

}  // namespace karst
