#include "views/tableau.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/imprimante.h"
#include "survey/nombres.h"
#include "views/lecteur_modele.h"
#include "views/options.h"

namespace karst {

namespace {

// Columns with fixed identities.
enum : int {
    ColL = 1,
    ColAz,
    ColP,
    ColLargeur,
    ColHauteur,
    ColX,
    ColY,
    ColZ,
    ColDevH,
    ColCommentaire,
    ColDev,
    ColLongH,
    ColDeltaZ
};
// Header items whose value is the block's total, written when the block closes.
enum : int {
    ItemDate = 1,
    ItemSysteme,
    ItemCavite,
    ItemReseau,
    ItemLieu,
    ItemDecli,
    ItemDevBrut,
    ItemDevNet,
    ItemTopographes,
    ItemTPST,
    ItemPremiere
};
constexpr std::array<int, 3> kTotaux{ItemDevBrut, ItemDevNet, ItemPremiere};

// A shown column in display order, its left edge and width in mm; a doubled column has a
// second sub-column of the same width to its right.
struct Colonne {
    int k = 0;
    double gauche = 0, largeur = 0;
    bool dedouble = false;
    double Droite() const { return gauche + largeur * (dedouble ? 2 : 1); }
};

struct Disposition {
    std::vector<Colonne> colonnes;
    double largeurTotale = 0;
    int commentaire = -1;  // index of the comment column, -1 when hidden
};

// The shown columns, walking the display positions 1 to 13. A position that no column
// holds (a damaged layout file) is skipped, and so is a column without a position.
Disposition Colonnes(const TOptions_Tableau& o)
{
    Disposition d;
    double x = 0;
    for (int position = 1; position <= kNbColonnes; ++position) {
        for (int k = 1; k <= kNbColonnes; ++k) {
            if (o.Ordre[k] != position)
                continue;
            if (o.Afficher[k]) {
                Colonne c;
                c.k = k;
                c.gauche = x;
                c.largeur = std::max<int>(0, o.Largeur[k]);
                c.dedouble = o.Dedoubler[k];
                x = c.Droite();
                d.colonnes.push_back(c);
            }
            break;
        }
    }
    d.largeurTotale = x;
    for (std::size_t i = 0; i < d.colonnes.size(); ++i)
        if (d.colonnes[i].k == ColCommentaire)
            d.commentaire = static_cast<int>(i);
    return d;
}

std::string Fixe(long double v, int largeur, int decimales) { return FormatLargeur(v, largeur, decimales); }

long double R(const Reel6& r) { return static_cast<long double>(r); }

// "name(index)" of a station.
std::string NomIndice(const TPointTopo& p) { return p.Nom.Chaine() + "(" + FormatEntier(p.Indice) + ")"; }

// Shots that have their station record.
int NbVisees(const TGalerie& g) { return std::min<int>(g.NbVisees, g.NbStations()); }

// Texts of column k (not the comment) on the row of shot j of a gallery, j = 0 for the
// start row: the first and, for a doubled column, the second sub-column.
void TexteCellule(const TGalerie& g, int j, int k, const TTableau& t, std::string& t1, std::string& t2)
{
    t1.clear();
    t2.clear();
    if (j == 0) {
        switch (k) {
        case ColX: t1 = Fixe(R(g.Depart.X) - t.RefX, 6, 2); break;
        case ColY: t1 = Fixe(R(g.Depart.Y) - t.RefY, 6, 2); break;
        case ColZ: t1 = Fixe(R(g.Depart.Z) - t.RefZ, 6, 2); break;
        case ColDevH: t1 = g.DansCoupe ? Fixe(R(g.Sens ? g.CoupeX0 : g.CoupeX1), 6, 2) : "X"; break;
        default: break;
        }
        return;
    }
    const TVisee* v = g.Visee(j);
    if (!v)
        return;
    const TStation& s = g.Station(j);
    const bool nulle = v->Longueur == 0;
    const long double longueur = v->LongueurMetres();
    switch (k) {
    case ColL:
        if (!nulle)
            t1 = Fixe(longueur, 2, 2);
        break;
    case ColAz:
        if (!nulle)
            t1 = Fixe(R(v->Azimut), 3, 0);
        break;
    case ColP:
        if (!nulle)
            t1 = Fixe(R(v->Pente), 3, 1);
        break;
    case ColLargeur:
    case ColHauteur: {
        const std::string& a = k == ColLargeur ? v->Gauche.str() : v->Haut.str();
        const std::string& b = k == ColLargeur ? v->Droite.str() : v->Bas.str();
        t1 = a;
        t2 = b;
        if (!b.empty())
            t1 += "/" + b;  // the joined form, for a column that is not doubled
        break;
    }
    case ColX: t1 = Fixe(R(s.X) - t.RefX, 6, 2); break;
    case ColY: t1 = Fixe(R(s.Y) - t.RefY, 6, 2); break;
    case ColZ: t1 = Fixe(R(s.Z) - t.RefZ, 6, 2); break;
    case ColDevH: t1 = g.DansCoupe ? Fixe(R(s.Abscisse), 6, 2) : "X"; break;
    case ColDev: t1 = Fixe(v->AvecCorrDeveloppement ? R(v->CorrDeveloppement) : longueur, 2, 2); break;
    case ColLongH: {
        long double dx = R(v->X), dy = R(v->Y);
        if (j > 1 && g.Visee(j - 1)) {
            dx -= R(g.Visee(j - 1)->X);
            dy -= R(g.Visee(j - 1)->Y);
        }
        t1 = Fixe(std::sqrt(dx * dx + dy * dy), 2, 2);
        break;
    }
    case ColDeltaZ: t1 = Fixe(R(s.Z) - (j == 1 ? R(g.Depart.Z) : R(g.Station(j - 1).Z)), 2, 2); break;
    default: break;
    }
}

// The texts of a cell as the table shows them: a doubled width or height column splits
// the two texts, any other doubled column leaves its second sub-column empty.
void TextesColonne(const TGalerie& g, int j, const Colonne& c, const TTableau& t, std::string& t1, std::string& t2)
{
    TexteCellule(g, j, c.k, t, t1, t2);
    const bool mesure = c.k == ColLargeur || c.k == ColHauteur;
    if (c.dedouble && mesure) {
        const TVisee* v = j > 0 ? g.Visee(j) : nullptr;
        t1 = v ? (c.k == ColLargeur ? v->Gauche.str() : v->Haut.str()) : std::string();
    } else {
        t2.clear();
    }
}

// What the walk does with a sheet.
enum class Detail {
    Complet,  // laid out row by row
    Resume,   // only the block totals, the chain and the headers' bookkeeping; the sheet's
              // rows are taken from its stored position
};

// Where the walk goes: a canvas that measures the texts in the fonts as they are drawn,
// the drawing calls (positions in mm of the table), and the screen's and hit test's
// decisions. Positions are in whole millimetres from the top of the table.
class Cible {
public:
    virtual ~Cible() = default;
    // Pixels per mm of the measuring canvas.
    virtual double Px() const = 0;
    virtual void Police(const TPolice& p, Couleur couleur) = 0;
    virtual int Largeur(const std::string& t) = 0;
    virtual int Hauteur(const std::string& t) = 0;
    // False: the walk only measures.
    virtual bool Dessin() const { return false; }
    virtual void Trait(double /*x0*/, double /*y0*/, double /*x1*/, double /*y1*/, int /*dixiemes*/) {}
    virtual void Texte(double /*x*/, double /*y*/, const std::string& /*t*/) {}
    // The printed formats of the header values.
    virtual bool Impression() const { return false; }
    // Before each comment wrap.
    virtual void AvantCoupure() {}
    // Sheet positions read from the stored layout rather than carried on.
    virtual bool PositionsMemorisees() const { return false; }
    virtual Detail DebutFiche(const TFiche&) { return Detail::Complet; }
    virtual bool Arrete() const { return false; }
    virtual void FinFiche(TFiche&, int /*debut*/, int /*fin*/) {}
    // Whether a closing block draws its totals and rules (rows top at `haut`).
    virtual bool FermetureDessinee() const { return true; }
    virtual bool TotauxVisibles(int /*haut*/) const { return true; }
    virtual void BlocFerme(int /*genre*/) {}
    // The end of a header, of a line of a station row or of a line of a shot row.
    virtual void FinElement(const TFiche&, int /*galerie*/, int /*point*/, int /*fin*/) {}
    // Whether a text with its top at y would be drawn.
    virtual bool TexteVisible(double /*y*/) const { return true; }
    // True when nothing from y down concerns the drawing: the walk stops laying out rows
    // and only completes the totals of the block in progress.
    virtual bool Passe(double /*y*/) const { return false; }
};

// The row layout of the table, walked once for each use.
class Parcours {
public:
    Parcours(const TTableau& t, const TOptions_Tableau& o, Cible& c, uint16_t mode, float dmax, double hauteurPage)
        : t_(t), o_(o), c_(c), mode_(mode), dmax_(dmax), page_(hauteurPage), d_(Colonnes(o)),
          hl_(std::max<int>(0, o.Hauteur_Ligne))
    {}

    int y = 0;

    void Parcourt(const ListeFiches& liste)
    {
        c_.Police(o_.PoliceStandard, kNoir);
        decalTexte_ = c_.Px() > 0 ? (hl_ * c_.Px() - c_.Hauteur("P")) / 2 / c_.Px() : 0;
        const TFiche* precedente = nullptr;
        for (TFiche* f : liste) {
            if (!f)
                continue;
            if (c_.Arrete() || fini_)
                break;
            complet_ = c_.DebutFiche(*f) == Detail::Complet && !passe_;
            if (c_.PositionsMemorisees())
                y = f->DebutTableau;
            const int debut = y;
            if (!precedente || !f->MemeSortie(*precedente))
                Entete(0, *f);
            else if (!f->MemeEndroit(*precedente))
                Entete(1, *f);
            total_[ItemPremiere] += R(f->Premiere);
            for (std::size_t gi = 0; gi < f->Galeries.size(); ++gi) {
                const TGalerie* g = f->Galeries[gi];
                if (g && g->Placee)
                    Galerie(*f, static_cast<int>(gi), *g);
            }
            if (!complet_ && c_.PositionsMemorisees())
                y = f->FinTableau;
            c_.FinFiche(*f, debut, y);
            precedente = f;
        }
        if (!c_.Arrete() && !fini_)
            FermeBloc(0);
    }

    double LargeurTotale() const { return d_.largeurTotale; }

private:
    bool Dessin() const { return complet_ && c_.Dessin(); }

    // Past what the drawing shows: the rest is only summed.
    bool Passe()
    {
        if (complet_ && c_.Passe(y))
            passe_ = true, complet_ = false;
        return passe_;
    }

    void Filet(int epaisseur) { c_.Trait(0, y, d_.largeurTotale, y, epaisseur); }

    // The rows of a block from `haut` to `bas`: thick at both ends, thin after each column
    // and each doubled column's second sub-column.
    void Regles(int haut, int bas)
    {
        c_.Trait(0, haut, 0, bas, o_.Gros_Trait);
        for (const Colonne& col : d_.colonnes) {
            c_.Trait(col.gauche + col.largeur, haut, col.gauche + col.largeur, bas, o_.Ptt_Trait);
            if (col.dedouble)
                c_.Trait(col.Droite(), haut, col.Droite(), bas, o_.Ptt_Trait);
        }
        c_.Trait(d_.largeurTotale, haut, d_.largeurTotale, bas, o_.Gros_Trait);
    }

    // Page break: what needs `besoin` mm and would reach the next page starts there; the
    // rules of the open block stop at the last row of this page and start again on the next.
    void Saut(int besoin)
    {
        if (page_ <= 0 || besoin < 0)
            return;
        const double n = std::floor(y / page_);
        if (n < std::floor((y + besoin) / page_)) {
            if (blocOuvert_ && c_.Dessin())
                Regles(segment_, y);
            // Rows lie on whole millimetres: the next page's first is the first on it.
            y = static_cast<int>(std::ceil((n + 1) * page_));
            segment_ = y;
        }
    }

    std::string TexteTotal(long double v) const { return c_.Impression() ? Fixe(v, 3, 2) : FormatGeneral(v, 5, 2); }

    void FermeBloc(int genre)
    {
        if (!blocOuvert_)
            return;
        if (c_.Dessin() && c_.FermetureDessinee()) {
            if (c_.TotauxVisibles(hautLignes_)) {
                for (int i : kTotaux) {
                    if (!o_.EnTeteAffiche[i][genreBloc_])
                        continue;
                    const TPolice& p = o_.EnTetePolice[i][genreBloc_];
                    c_.Police(p, p.couleur);
                    c_.Texte(o_.X_Pos[i][genreBloc_], place_[i] + o_.Y_Pos[i][genreBloc_],
                             o_.EnTeteIntitule[i][genreBloc_].str() + " " + TexteTotal(total_[i]));
                }
            }
            // Without stored positions y stops where the walk passed the page; the block's
            // rules on the page were drawn at the page break.
            if (!passe_ || c_.PositionsMemorisees())
                Regles(segment_, y);
        }
        blocOuvert_ = false;
        c_.BlocFerme(genre);
        // Its totals written, nothing further concerns a page.
        if (passe_ && !c_.PositionsMemorisees())
            fini_ = true;
    }

    void Entete(int h, const TFiche& f)
    {
        FermeBloc(h);
        if (fini_)
            return;
        const int hauteur = std::max<int>(0, o_.Hauteur[h]);
        Saut(hauteur);
        blocOuvert_ = true;
        genreBloc_ = h;
        Passe();
        const int haut = y;
        for (int i = 1; i <= kNbItems; ++i) {
            if (!o_.EnTeteAffiche[i][h])
                continue;
            nouvelleChaine_ = true;
            std::string valeur;
            switch (i) {
            case ItemDate: valeur = f.Date.str(); break;
            case ItemSysteme: valeur = f.Systeme.Chaine(); break;
            case ItemCavite: valeur = f.Cavite.Chaine(); break;
            case ItemReseau: valeur = f.Reseau.Chaine(); break;
            case ItemLieu: valeur = f.Lieu.Chaine(); break;
            case ItemTPST: valeur = f.TPST.Chaine(); break;
            case ItemDecli:
                valeur = (c_.Impression() ? Fixe(R(f.Declinaison), 1, 2) : FormatGeneral(R(f.Declinaison), 3, 2)) +
                         LibelleUnite(kUnitesDeclinaison, f.Unite_Decli);
                break;
            case ItemDevBrut:
            case ItemDevNet:
            case ItemPremiere:
                total_[i] = 0;
                place_[i] = haut;
                break;
            default: break;
            }
            if (!Dessin())
                continue;
            const TPolice& p = o_.EnTetePolice[i][h];
            c_.Police(p, p.couleur);
            const std::string titre = o_.EnTeteIntitule[i][h].str() + " ";
            const double x = o_.X_Pos[i][h], yItem = haut + o_.Y_Pos[i][h];
            c_.Texte(x, yItem, titre + valeur);
            if (i == ItemTopographes && c_.Px() > 0) {
                const double decal = c_.Largeur(titre) / c_.Px();
                for (std::size_t j = 0; j < f.Topographes.size(); ++j)
                    c_.Texte(x + decal, yItem + static_cast<double>(j) * hl_, f.Topographes[j].Chaine());
            }
        }
        y += hauteur;
        hautLignes_ = segment_ = y;
        c_.FinElement(f, 0, 1, y);
        if (o_.Rappel[h]) {
            Saut(hl_);
            if (Dessin())
                TitresColonnes();
            y += hl_;
        }
    }

    // The column headings row at y.
    void TitresColonnes()
    {
        c_.Police(o_.PoliceStandard, o_.PoliceStandard.couleur);
        for (const Colonne& col : d_.colonnes) {
            Centre(o_.Titre1[col.k].str(), col.gauche, col.largeur);
            if (col.dedouble)
                Centre(o_.Titre2[col.k].str(), col.gauche + col.largeur, col.largeur);
        }
        Filet(o_.Gros_Trait);
    }

    void Centre(const std::string& t, double gauche, double largeur)
    {
        if (t.empty() || c_.Px() <= 0)
            return;
        c_.Texte(gauche + (largeur * c_.Px() - c_.Largeur(t)) / 2 / c_.Px(), y + decalTexte_, t);
    }

    void Coupe(std::string& texte, std::string& reste)
    {
        c_.AvantCoupure();
        const double limite = std::max<int>(0, o_.Largeur[ColCommentaire]) * c_.Px();
        TTableau::CoupeTexte(texte, reste, limite, [this](const std::string& s) { return c_.Largeur(s); });
    }

    // One row at y: the cells on its first line, the comment wrapped over as many lines as
    // it needs, then `croquis` mm of room for a sketch; y ends below it.
    void Rangee(const TGalerie& g, int j, std::string commentaire, const TFiche& f, int gi, int point, int croquis)
    {
        if (Dessin() && c_.TexteVisible(y + decalTexte_)) {
            std::string t1, t2;
            for (const Colonne& col : d_.colonnes) {
                if (col.k == ColCommentaire)
                    continue;
                TextesColonne(g, j, col, t_, t1, t2);
                Centre(t1, col.gauche, col.largeur);
                if (col.dedouble)
                    Centre(t2, col.gauche + col.largeur, col.largeur);
            }
        }
        // A hidden comment column takes no room: its text is not wrapped.
        if (d_.commentaire >= 0) {
            const double gauche = d_.colonnes[static_cast<std::size_t>(d_.commentaire)].gauche;
            std::string reste;
            Coupe(commentaire, reste);
            if (Dessin())
                c_.Texte(gauche, y + decalTexte_, commentaire);
            while (!reste.empty()) {
                c_.FinElement(f, gi, point, y + hl_);
                y += hl_;
                Saut(hl_);
                commentaire = std::move(reste);
                Coupe(commentaire, reste);
                if (Dessin())
                    c_.Texte(gauche, y + decalTexte_, commentaire);
            }
        }
        y += hl_;
        if (croquis > 0) {
            Saut(croquis);
            y += croquis;
        }
        c_.FinElement(f, gi, point, y);
    }

    Couleur CouleurTexte(const TPolice& p, const TGalerie& g) const
    {
        return mode_ == ModeRotation ? p.couleur : t_.CouleurGalerie(g, mode_, dmax_);
    }

    void Police(bool carrefour, const TGalerie& g)
    {
        const TPolice& p = carrefour ? o_.PoliceCarrefour : o_.PoliceStandard;
        c_.Police(p, CouleurTexte(p, g));
    }

    void Galerie(const TFiche& f, int gi, const TGalerie& g)
    {
        const bool nouvelle = nouvelleChaine_ || !precedente_ || !g.Depart.Egal(precedente_->Arrivee);
        precedente_ = &g;
        nouvelleChaine_ = false;
        const int n = NbVisees(g);
        // The block totals, whatever is drawn.
        for (int j = 1; j <= n; ++j) {
            const TVisee* v = g.Visee(j);
            if (!v)
                continue;
            const long double l = v->LongueurMetres();
            total_[ItemDevBrut] += l;
            total_[ItemDevNet] += v->AvecCorrDeveloppement ? R(v->CorrDeveloppement) : l;
        }
        if (!complet_)
            return;

        std::string prefixe;
        bool premiereCarrefour = false;
        const std::string& commentaire = g.Commentaire.Chaine();
        if (nouvelle) {
            std::string station = g.Depart.Terminus ? std::string() : "du point " + NomIndice(g.Depart) + ". ";
            if (!commentaire.empty())
                station += commentaire + " ";
            Saut(hl_);
            if (Passe())
                return;
            if (Dessin())
                Filet(o_.Gros_Trait);
            if (n > 0 && g.Visee(1) && g.Visee(1)->Longueur == 0) {
                // No start row: the station goes into the first shot's comment.
                prefixe = std::move(station);
                premiereCarrefour = !g.Depart.Terminus;
            } else {
                Police(!g.Depart.Terminus, g);
                Rangee(g, 0, std::move(station), f, gi, 1, 0);
                if (Dessin())
                    Filet(o_.Ptt_Trait);
            }
        } else if (!commentaire.empty()) {
            prefixe = commentaire + ". ";
        }
        for (int j = 1; j <= n; ++j) {
            const TVisee* v = g.Visee(j);
            if (!v)
                continue;
            const bool nommeeFin = j == n && !g.Arrivee.Terminus;
            Police(nommeeFin || (j == 1 && premiereCarrefour), g);
            Saut(hl_);
            if (Passe())
                return;
            std::string texte = prefixe + v->Commentaire.Chaine();
            if (nommeeFin)
                texte += " Point " + NomIndice(g.Arrivee);
            prefixe.clear();
            Rangee(g, j, std::move(texte), f, gi, j, 10 * v->TailleSchema);
            if (Dessin())
                Filet(o_.Ptt_Trait);
        }
    }

    const TTableau& t_;
    const TOptions_Tableau& o_;
    Cible& c_;
    uint16_t mode_;
    float dmax_;
    double page_;
    Disposition d_;
    int hl_;
    double decalTexte_ = 0;  // mm from a row's top to its texts' top
    bool complet_ = true;
    bool passe_ = false;  // past what the drawing shows
    bool fini_ = false;   // nothing left to draw
    bool blocOuvert_ = false;
    int genreBloc_ = 0;
    int hautLignes_ = 0;  // top of the open block's rows
    int segment_ = 0;     // top of the block's rules on this page
    std::array<long double, kNbItems + 1> total_{};
    std::array<int, kNbItems + 1> place_{};
    bool nouvelleChaine_ = false;
    const TGalerie* precedente_ = nullptr;
};

// ---- Screen targets -----------------------------------------------------------------------

// Measures on a screen canvas, fonts scaled by the display ratio.
class CibleEcran : public Cible {
public:
    CibleEcran(TCanvas& c, double k, double rapport) : c_(c), k_(k), rapport_(rapport) {}
    double Px() const override { return k_; }
    void Police(const TPolice& p, Couleur couleur) override
    {
        karst::Police q = p;
        q.couleur = couleur;
        TGraphique::PoliceEcran(c_, q, rapport_);
    }
    int Largeur(const std::string& t) override { return c_.TextWidth(t); }
    int Hauteur(const std::string& t) override { return c_.TextHeight(t); }

protected:
    TCanvas& c_;
    double k_, rapport_;
};

// The layout: stores each sheet's top and bottom.
class CibleMiseEnPage : public CibleEcran {
public:
    using CibleEcran::CibleEcran;
    void FinFiche(TFiche& f, int debut, int fin) override
    {
        f.DebutTableau = debut;
        f.FinTableau = fin;
    }
};

// The screen drawing: only the sheets that reach into the window are laid out row by row.
class CibleDessinEcran : public CibleEcran {
public:
    CibleDessinEcran(TCanvas& c, double k, double rapport, int scrollX, int scrollY, int hauteur)
        : CibleEcran(c, k, rapport), scrollX_(scrollX), scrollY_(scrollY), hauteur_(hauteur)
    {}

    bool Dessin() const override { return true; }
    bool PositionsMemorisees() const override { return true; }

    Detail DebutFiche(const TFiche& f) override
    {
        if (etat_ == Avant && scrollY_ < f.FinTableau * k_ + 0.1)
            etat_ = Visible;
        else if (etat_ == Visible && scrollY_ + hauteur_ < f.DebutTableau * k_)
            etat_ = Apres;
        return etat_ == Visible ? Detail::Complet : Detail::Resume;
    }
    bool Arrete() const override { return etat_ == Fini; }
    bool FermetureDessinee() const override { return etat_ == Visible || etat_ == Apres; }
    bool TotauxVisibles(int haut) const override { return PixelY(haut) >= 0; }
    void BlocFerme(int genre) override
    {
        if (genre == 0 && etat_ == Apres)
            etat_ = Fini;
    }

    void Trait(double x0, double y0, double x1, double y1, int dixiemes) override
    {
        const double py0 = y0 * k_ - scrollY_, py1 = y1 * k_ - scrollY_;
        int a = RoundEntier(py0), b = RoundEntier(py1);
        if (x0 == x1) {
            // A block's rules start at the window's top when the block begins above it.
            const int haut = -1, bas = hauteur_ + 1;
            if (std::max(a, b) < haut || std::min(a, b) > bas)
                return;
            a = std::clamp(a, haut, bas);
            b = std::clamp(b, haut, bas);
        } else if (py0 < -kMarge || py0 > hauteur_ + kMarge) {
            return;
        }
        c_.FixePen(Stylo{kNoir, RoundEntier(dixiemes * k_ / 10), ModeStylo::Copie, true});
        c_.MoveTo(RoundEntier(x0 * k_ - scrollX_), a);
        c_.LineTo(RoundEntier(x1 * k_ - scrollX_), b);
    }
    bool TexteVisible(double y) const override
    {
        const double py = y * k_ - scrollY_;
        return py >= -kMarge && py <= hauteur_;
    }
    bool Passe(double y) const override { return y * k_ - scrollY_ > hauteur_; }
    void Texte(double x, double y, const std::string& t) override
    {
        if (TexteVisible(y))
            c_.TextOut(RoundEntier(x * k_ - scrollX_), RoundEntier(y * k_ - scrollY_), t);
    }

private:
    enum Etat { Avant, Visible, Apres, Fini };
    // Texts and rules this far beyond the window are not drawn.
    static constexpr double kMarge = 3000;
    int PixelY(double y) const { return RoundEntier(y * k_ - scrollY_); }
    int scrollX_, scrollY_, hauteur_;
    Etat etat_ = Avant;
};

// The hit test: the first element that ends below the pixel row. The walk stops at the
// sheet after it.
class CibleRecherche : public CibleEcran {
public:
    CibleRecherche(TCanvas& c, double k, double rapport, int y) : CibleEcran(c, k, rapport), y_(y) {}
    bool PositionsMemorisees() const override { return true; }
    // A sheet that ends above the row holds no element below it.
    Detail DebutFiche(const TFiche& f) override { return f.FinTableau * k_ <= y_ ? Detail::Resume : Detail::Complet; }
    bool Arrete() const override { return fiche != nullptr; }
    void FinElement(const TFiche& f, int g, int p, int fin) override
    {
        if (!fiche && fin * k_ > y_) {
            fiche = &f;
            galerie = g;
            point = p;
        }
    }

    const TFiche* fiche = nullptr;
    int galerie = 0, point = 0;

private:
    int y_;
};

// ---- Page targets -------------------------------------------------------------------------

// Measures on the printer's canvas; draws, when given a page, what falls in its band.
class CiblePage : public Cible {
public:
    CiblePage(TGraphique& t, TCanvas& imprimante, TCanvas* page, int pppVue, double hauteurPage, int largeurPagePx,
              ContexteVues* messages = nullptr)
        : t_(t), imprimante_(imprimante), page_(page), messages_(messages), ppp_(pppVue), h_(hauteurPage),
          pasX_(largeurPagePx - t.MargesH * t.PxParMmImpr)
    {}
    double Px() const override { return t_.PxParMmImpr; }
    void Police(const TPolice& p, Couleur couleur) override
    {
        karst::Police q = p;
        q.couleur = couleur;
        if (page_)
            t_.PolicePage(*page_, imprimante_, q, ppp_);
        else
            imprimante_.FixeFont(q);
    }
    int Largeur(const std::string& t) override { return imprimante_.TextWidth(t); }
    int Hauteur(const std::string& t) override { return imprimante_.TextHeight(t); }
    bool Dessin() const override { return page_ != nullptr; }
    bool Impression() const override { return true; }
    // On the printer (not in the preview), every page walks the whole table.
    void AvantCoupure() override
    {
        if (messages_ && page_ && t_.Zoom == 1.0)
            messages_->TraiteMessages();
    }

    void Trait(double x0, double y0, double x1, double y1, int dixiemes) override
    {
        const double haut = t_.PageLigne * h_, bas = haut + h_;
        if (y0 < haut || y0 > bas || y1 < haut || y1 > bas)
            return;
        page_->FixePen(Stylo{kNoir, RoundEntier(dixiemes * t_.PxParMmImpr * t_.Zoom / 10), ModeStylo::Copie, true});
        page_->MoveTo(X(x0), Y(y0));
        page_->LineTo(X(x1), Y(y1));
    }
    bool TexteVisible(double y) const override
    {
        const double haut = static_cast<double>(t_.PageLigne) * h_;
        return y >= haut - 1 && y <= haut + h_ - 1;
    }
    bool Passe(double y) const override { return page_ && y > static_cast<double>(t_.PageLigne + 1) * h_; }
    void Texte(double x, double y, const std::string& t) override
    {
        if (TexteVisible(y))
            page_->TextOut(X(x), Y(y), t);
    }

private:
    // Across, each page shows the next printable width, with the left margin on every page.
    int X(double x) const
    {
        return RoundEntier(((t_.DecalageX + x) * t_.PxParMmImpr - pasX_ * t_.PageColonne) * t_.Zoom);
    }
    int Y(double y) const
    {
        return RoundEntier(((t_.DecalageY + y - static_cast<double>(t_.PageLigne) * h_) * t_.PxParMmImpr) * t_.Zoom);
    }
    TGraphique& t_;
    TCanvas& imprimante_;
    TCanvas* page_;
    ContexteVues* messages_;
    int ppp_;
    double h_, pasX_;
};

}  // namespace

// ---- Order and wrapping -------------------------------------------------------------------------

TTableau::TTableau(ContexteVues& contexte) : TGraphique(contexte) {}

bool TTableau::CompareFiches(const TFiche& s, const TFiche& t, TriTableau tri)
{
    if (tri == TriTableau::Date)
        return DateEnNombre(s.Date.str()) > DateEnNombre(t.Date.str());
    const TEco* const cs[4] = {&s.Systeme, &s.Cavite, &s.Reseau, &s.Lieu};
    const TEco* const ct[4] = {&t.Systeme, &t.Cavite, &t.Reseau, &t.Lieu};
    for (int i = 0; i < 4; ++i) {
        // Byte codes, as unsigned characters: accented letters sort after Z.
        const int c = cs[i]->ChaineMaj().compare(ct[i]->ChaineMaj());
        if (c != 0)
            return c > 0;
    }
    return false;
}

ListeFiches TTableau::OrdonneFiches(const ListeFiches& fiches, TriTableau tri)
{
    if (tri == TriTableau::OrdreDeSaisie)
        return fiches;
    ListeFiches liste;
    liste.reserve(fiches.size());
    for (TFiche* s : fiches) {
        if (!s)
            continue;
        auto it =
            std::find_if(liste.begin(), liste.end(), [&](const TFiche* t) { return !CompareFiches(*s, *t, tri); });
        liste.insert(it, s);
    }
    return liste;
}

void TTableau::CoupeTexte(std::string& texte, std::string& reste, double limite,
                          const std::function<int(const std::string&)>& largeur)
{
    texte.insert(texte.begin(), ' ');
    reste.clear();
    if (texte.size() == 1 || largeur(texte) < limite)
        return;
    // The last space such that the text up to it fits.
    for (std::size_t i = texte.size() - 1; i >= 1; --i) {
        if (texte[i - 1] != ' ' || !(largeur(texte.substr(0, i)) < limite))
            continue;
        if (i >= 2) {
            reste = texte.substr(i);
            texte.resize(i - 1);
        } else {
            // Only the leading space fits: the first word is wider than the column and the
            // whole text stays on one line.
            texte.erase(0, 1);
        }
        return;
    }
    // Not even a space fits: cut by characters, keeping at least one besides the leading
    // space so that every line makes progress.
    std::size_t n = texte.size() - 1;
    while (n > 2 && !(largeur(texte.substr(0, n)) < limite))
        --n;
    n = std::max<std::size_t>(n, 2);
    reste = texte.substr(n);
    texte.resize(n);
}

// ---- Operations ----------------------------------------------------------------------------------

bool TTableau::Prepare(TMassif*& massif, TOptions_Tableau*& options, ListeFiches& liste)
{
    massif = contexte_.Massif();
    options = contexte_.OptionsTableau();
    liste.clear();
    if (!massif || !options)
        return false;
    massif->TrieFiches();
    if (massif->FichesCourantes)
        liste = OrdonneFiches(*massif->FichesCourantes, contexte_.OrdreTableau());
    liste.erase(std::remove(liste.begin(), liste.end(), nullptr), liste.end());
    return true;
}

void TTableau::CherchePointZero(TOptions_Tableau& o, const ListeFiches& liste)
{
    // The end of a gallery is where its last station record was placed, as its last row shows.
    auto copie = [&](const auto& station) {
        o.PointZero.X = station.X;
        o.PointZero.Y = station.Y;
        o.PointZero.Z = station.Z;
    };
    [&] {
        for (const TFiche* f : liste)
            for (const TGalerie* g : f->Galeries) {
                if (!g || !g->Placee)
                    continue;
                if (o.PointZero.Egal(g->Depart))
                    return copie(g->Depart);
                if (o.PointZero.Egal(g->Arrivee)) {
                    if (g->NbStations() > 0)
                        return copie(g->Stations.back());
                    return copie(g->Arrivee);
                }
            }
    }();
    // Not found (outside the selection, say): the coordinates it last had.
    RefX = o.EnPlan ? static_cast<double>(R(o.PointZero.X)) : 0;
    RefY = o.EnPlan ? static_cast<double>(R(o.PointZero.Y)) : 0;
    RefZ = o.EnAltitude ? static_cast<double>(R(o.PointZero.Z)) : 0;
}

bool TTableau::MiseEnPageAJour(const TMassif& m, const ListeFiches& liste, double k) const
{
    return m.DimensionsAJour && massifMisEnPage_ == &m && kMiseEnPage_ == k && listeMiseEnPage_ == liste;
}

void TTableau::MetEnPage(TMassif& m, const TOptions_Tableau& o, const ListeFiches& liste, TCanvas& canvas, double k)
{
    CibleMiseEnPage cible(canvas, k, rapport_);
    Parcours(*this, o, cible, ModeNormal, 1.0f, 0).Parcourt(liste);
    massifMisEnPage_ = &m;
    listeMiseEnPage_ = liste;
    kMiseEnPage_ = k;
    m.DimensionsAJour = true;
}

void TTableau::Dimensions(int& largeur, int& hauteur, double pxParMm, double rapport, TCanvas& image)
{
    PxParMm = pxParMm;
    rapport_ = rapport;
    largeur = hauteur = 0;
    TMassif* m;
    TOptions_Tableau* o;
    ListeFiches liste;
    Donnees = Prepare(m, o, liste) && !liste.empty();
    if (!m || !o)
        return;
    const double k = pxParMm * rapport;
    largeur = RoundEntier(Colonnes(*o).largeurTotale * k);
    CherchePointZero(*o, liste);
    if (!MiseEnPageAJour(*m, liste, k))
        MetEnPage(*m, *o, liste, image, k);
    hauteur = liste.empty() ? 0 : RoundEntier(liste.back()->FinTableau * k);
}

void TTableau::Dessine(int scrollX, int scrollY, double pxParMm, double rapport, TCanvas& image, uint16_t mode)
{
    auto bitmap = DebutEcran(scrollX, scrollY, image);
    PxParMm = pxParMm;
    rapport_ = rapport;
    CanvasEcran->FixeBrushPlein(false);
    TMassif* m;
    TOptions_Tableau* o;
    ListeFiches liste;
    const double k = pxParMm * rapport;
    if (Donnees && Prepare(m, o, liste) && !liste.empty() && k > 0) {
        if (!MiseEnPageAJour(*m, liste, k))
            MetEnPage(*m, *o, liste, *CanvasEcran, k);
        const float dmax = mode == ModeContrainte ? DeformationMax(liste) : 1.0f;
        CibleDessinEcran cible(*CanvasEcran, k, rapport, scrollX, scrollY, image.Hauteur());
        Parcours(*this, *o, cible, mode, dmax, 0).Parcourt(liste);
    }
    FinEcran(std::move(bitmap), image);
}

void TTableau::NombrePages(int& colonnes, int& lignes, int margesH, int margesV)
{
    MargesH = margesH;
    MargesV = margesV;
    colonnes = lignes = 0;
    TImprimante& imp = contexte_.Imprimante();
    PxParMmImpr = PxParMmImprimante();
    const double h = imp.HauteurMm() - margesV, l = imp.LargeurMm() - margesH;
    // Margins that leave no printable area give no page to print.
    if (PxParMmImpr <= 0 || h <= 0 || l <= 0)
        return;
    TMassif* m;
    TOptions_Tableau* o;
    ListeFiches liste;
    Donnees = Prepare(m, o, liste) && !liste.empty();
    colonnes = lignes = 1;
    if (!o)
        return;
    CiblePage cible(*this, imp.Canvas(), nullptr, contexte_.PixelsParPouceVuePlan(), h, imp.LargeurPage());
    Parcours p(*this, *o, cible, ModeNormal, 1.0f, h);
    p.Parcourt(liste);
    colonnes = PagesPour(p.LargeurTotale() / l);
    lignes = PagesPour(p.y / h);
}

void TTableau::DessinePage(int colonne, int ligne, int margeGauche, int margeHaut, uint16_t mode, TCanvas& canvas,
                           double zoom)
{
    DebutPage(colonne, ligne, margeGauche, margeHaut, canvas, zoom);
    TImprimante& imp = contexte_.Imprimante();
    const double h = imp.HauteurMm() - MargesV;
    canvas.FixePen(Stylo{kBlanc, 1, ModeStylo::Copie, true});
    canvas.FixeBrush(Pinceau{kBlanc, false});
    TMassif* m;
    TOptions_Tableau* o;
    ListeFiches liste;
    if (Donnees && Prepare(m, o, liste) && !liste.empty() && PxParMmImpr > 0 && h > 0) {
        const float dmax = mode == ModeContrainte ? DeformationMax(liste) : 1.0f;
        CiblePage cible(*this, imp.Canvas(), &canvas, contexte_.PixelsParPouceVuePlan(), h, imp.LargeurPage(),
                        &contexte_);
        Parcours(*this, *o, cible, mode, dmax, h).Parcourt(liste);
    }
    FinPage(canvas);
}

double TTableau::Localise(int, int y, int& fiche, int& galerie, int& point)
{
    TMassif* m;
    TOptions_Tableau* o;
    ListeFiches liste;
    const double k = PxParMm * rapport_;
    if (!Prepare(m, o, liste) || liste.empty() || k <= 0 || !CanvasEcran || !m->FichesCourantes)
        return kRienTrouve;
    if (!MiseEnPageAJour(*m, liste, k))
        MetEnPage(*m, *o, liste, *CanvasEcran, k);
    CibleRecherche cible(*CanvasEcran, k, rapport_, y);
    Parcours(*this, *o, cible, ModeNormal, 1.0f, 0).Parcourt(liste);
    // The position in the current sheets, which the view window's selection holds,
    // whatever the table's own order.
    const ListeFiches& courantes = *m->FichesCourantes;
    auto it = std::find(courantes.begin(), courantes.end(), cible.fiche);
    if (!cible.fiche || it == courantes.end())
        return kRienTrouve;
    fiche = static_cast<int>(it - courantes.begin());
    galerie = cible.galerie;
    point = cible.point;
    return 0;
}

bool TTableau::AjusteColonnes(int x, double pxParMm, double rapport)
{
    TOptions_Tableau* o = contexte_.OptionsTableau();
    if (!o)
        return true;
    if (const TMarge* marges = contexte_.Marges())
        MargesH = marges->Gauche + marges->Droite;
    if (pxParMm <= 0 || rapport <= 0)
        return true;
    const double xmm = RoundEntier(x / pxParMm / rapport);
    const Disposition d = Colonnes(*o);
    const Colonne* touchee = nullptr;
    for (const Colonne& c : d.colonnes)
        if (xmm >= c.gauche && xmm < c.Droite())
            touchee = &c;
    if (!touchee)
        return true;
    TMassif* m = contexte_.Massif();
    const int k = touchee->k;
    if (k == ColCommentaire) {
        // The comment column fills the rest of as many pages across as the others need.
        const double autres = d.largeurTotale - (touchee->Droite() - touchee->gauche);
        const double p = contexte_.Imprimante().LargeurMm() - MargesH;
        if (p <= 0)
            return true;
        const int n = TruncEntier(autres / p) + 1;
        // Within the column's bound, even when the rest of the pages is wider.
        o->Largeur[k] = static_cast<int16_t>(DansSaBorne(&TOptions_Tableau::Largeur, RoundEntier(p * n - autres - 1)));
    } else {
        if (!m || !m->FichesCourantes || !CanvasEcran)
            return true;
        TCanvas& c = *CanvasEcran;
        int wmax = 0;
        std::string t1, t2;
        for (const TPolice* p : {&o->PoliceStandard, &o->PoliceCarrefour}) {
            PoliceEcran(c, *p, rapport);
            for (const TFiche* f : *m->FichesCourantes) {
                if (!f)
                    continue;
                for (const TGalerie* g : f->Galeries) {
                    if (!g || !g->Placee)
                        continue;
                    for (int j = 1; j <= NbVisees(*g); ++j) {
                        if (!g->Visee(j))
                            continue;
                        TextesColonne(*g, j, *touchee, *this, t1, t2);
                        wmax = std::max({wmax, c.TextWidth(t1), c.TextWidth(t2)});
                    }
                }
            }
        }
        o->Largeur[k] =
            static_cast<int16_t>(DansSaBorne(&TOptions_Tableau::Largeur, RoundEntier(wmax / rapport / pxParMm) + 3LL));
    }
    if (m)
        m->DimensionsAJour = false;
    return true;
}

}  // namespace karst
