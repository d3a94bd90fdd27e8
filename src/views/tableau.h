#pragma once
// The survey table: the shots of the current sheets laid out as a printed-style table, one
// block of rows per outing or place, one row per shot, in the columns of the table layout
// ("Mise en page du tableau"); on the screen and on printed pages.
//
// One row-layout walk serves the sizes, the screen drawing, the page count, the printed
// pages and the hit test, so that the pages counted are the pages drawn, the sheets'
// stored positions are where the screen draws them, and every text is measured in the font
// it is drawn in.

#include <functional>
#include <string>

#include "views/contexte.h"
#include "views/graphique.h"

namespace karst {

class TOptions_Tableau;

class TTableau : public TGraphique {
public:
    // Leaves Echelle at 0: the table has no scale.
    explicit TTableau(ContexteVues& contexte);

    // The origin subtracted from every X, Y and Z shown (metres).
    double RefX = 0, RefY = 0, RefZ = 0;

    GenreVue Genre() const override { return GenreVue::Tableau; }

    void Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode) override;
    void DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                     double zoom) override;
    // Lays the table out (when the data, the layout options, the sheet order or the
    // resolution changed since the last time), storing each sheet's DebutTableau and
    // FinTableau, and gives the table's size in screen pixels.
    void Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image) override;
    // Pages across and down; none when the margins leave no printable area.
    void NombrePages(int& colonnes, int& lignes, int margesH, int margesV) override;
    // The element at drawing pixel row y: fiche is the sheet's position in the massif's
    // current sheets, galerie 0 and point 1 for a header, point 1 for a station row, else
    // the shot number; the distance is 0, the row being under the pixel.
    double Localise(int x, int y, int& fiche, int& galerie, int& point) override;
    void IsoleEcran(int, int, int) override {}
    void Designation(bool, int, int, int, uint16_t, TexteCp1252& texte) override { texte = {}; }
    void Bulle(int, int, int, TexteCp1252&) override {}

    // Fits the width of the column under drawing pixel column x (a double click): the
    // comment column fills the rest of the printed pages' width, any other column takes
    // the width of its widest text. Always true: the table has columns.
    bool AjusteColonnes(int x, double pxParMm, double rapport) override;

    // True when sheet s comes after sheet t in the sort order.
    static bool CompareFiches(const TFiche& s, const TFiche& t, TriTableau tri);
    // The walk order of the sheets: the list itself for the input order, else each sheet
    // inserted before the first sheet already placed that it does not follow.
    static ListeFiches OrdonneFiches(const ListeFiches& fiches, TriTableau tri);
    // Splits one line off `texte` for a column `limite` pixels wide, `largeur` measuring a
    // text in pixels: the line (with a leading space) stays in `texte`, the rest goes to
    // `reste` (empty when done). Every call makes progress, however narrow the column.
    static void CoupeTexte(std::string& texte, std::string& reste, double limite,
                           const std::function<int(const std::string&)>& largeur);

private:
    // The massif, the options and the walk order (the massif's sheets sorted by number
    // first); false without a massif or options.
    bool Prepare(TMassif*& massif, TOptions_Tableau*& options, ListeFiches& liste);
    // Looks up the reference station and sets RefX, RefY, RefZ.
    void CherchePointZero(TOptions_Tableau& o, const ListeFiches& liste);
    bool MiseEnPageAJour(const TMassif& m, const ListeFiches& liste, double k) const;
    void MetEnPage(TMassif& m, const TOptions_Tableau& o, const ListeFiches& liste, TCanvas& canvas, double k);

    double rapport_ = 1.0;  // display ratio of the last screen layout or drawing
    // What the sheets' stored positions were laid out for.
    const TMassif* massifMisEnPage_ = nullptr;
    ListeFiches listeMiseEnPage_;
    double kMiseEnPage_ = 0;
};

}  // namespace karst
