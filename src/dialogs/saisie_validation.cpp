// Turning what the editor shows into a sheet of the massif, checking every entry on the way.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <variant>

#include "calcul/drapeaux.h"
#include "dialogs/messages_communs.h"
#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// The text before the first separator, and the text after it.
void Separe(const std::string& s, char separateur, std::string& avant, std::string& apres)
{
    const auto p = s.find(separateur);
    avant = s.substr(0, p);
    apres = p == std::string::npos ? std::string() : s.substr(p + 1);
}

// The code of the unit labelled by the text, letter case aside, or -1.
int IndiceUnite(const std::string& s, std::span<const UniteMesure> unites)
{
    const UniteMesure* u = UniteDeLibelle(unites, s);
    return u ? u->Code : -1;
}

bool MemePoint(const TPointTopo& a, const TPointTopo& b) { return a.Egal(b) || (a.Terminus && b.Terminus); }

// A threshold as the stored values are rounded.
long double Seuil(long double v) { return static_cast<long double>(Reel6(v)); }

// A UTF-8 message naming the first two units of the table, whose labels are the model's
// (Windows-1252).
QString Format2(const char* messageUtf8, std::span<const UniteMesure> unites)
{
    return QString::fromUtf8(messageUtf8).arg(DepuisCp1252(unites[0].Libelle), DepuisCp1252(unites[1].Libelle));
}

// Why a cell is refused: the message and the icon of its box.
struct Refus {
    QString message;
    Icone icone;
};

Refus Non(const char* messageUtf8, Icone icone) { return {QString::fromUtf8(messageUtf8), icone}; }

// What a column reader gives: the value for the shot, or why the cell is refused.
template <class T>
using Lu = std::variant<T, Refus>;

// A shot cell and what reading it may depend on.
struct CelluleLue {
    std::string texte;
    const TPreference_Ecran& preferences;
    int visee;  // the shot's number in its gallery, from 1
};

constexpr std::size_t kTexteCourtMax = 10;

// A real; where `videNul`, an empty cell is 0.
Lu<long double> LitReelCellule(const std::string& s, bool videNul, const char* message, Icone icone)
{
    long double v = 0;
    if ((videNul && s.empty()) || LitReelStockable(s, v))
        return v;
    return Non(message, icone);
}

// A unit by its label; `nomme`: the message names the table's first two units.
Lu<uint8_t> LitUniteCellule(const std::string& s, std::span<const UniteMesure> unites, const char* message, bool nomme)
{
    if (const UniteMesure* u = UniteDeLibelle(unites, s))
        return u->Code;
    return Refus{nomme ? Format2(message, unites) : QString::fromUtf8(message), Icone::Confirmation};
}

// A width or height text, as the shot keeps it.
Lu<std::string> LitCourt(const std::string& s, const char* message)
{
    if (s.size() > kTexteCourtMax)
        return Non(message, Icone::Confirmation);
    return PointDecimal(s);
}

// Two width or height texts in one cell.
Lu<std::pair<std::string, std::string>> LitPaire(const std::string& s, char separateur, const char* message)
{
    std::string a, b;
    Separe(s, separateur, a, b);
    if (a.size() > kTexteCourtMax || b.size() > kTexteCourtMax)
        return Non(message, Icone::Confirmation);
    return std::pair{PointDecimal(a), PointDecimal(b)};
}

Lu<bool> LitDrapeau(const std::string& s, const char* message)
{
    const std::string d = s.empty() ? s : MajAscii(s.substr(0, 1)) + s.substr(1);
    if (d != "O" && d != "N")
        return Non(message, Icone::Confirmation);
    return d == "O";
}

Lu<uint8_t> LitCroquis(const std::string& s)
{
    long long e = 0;
    if (!s.empty() && !LitEntier(s, e))
        return Non("La taille du schéma doit être numérique.", Icone::Confirmation);
    // One byte: a larger size would be stored as another one.
    if (e < 0 || e > 255)
        return Non("La taille du schéma doit être comprise entre 0 et 255.", Icone::Confirmation);
    return static_cast<uint8_t>(e);
}

// A length, typed or as two topofil readings.
struct Longueur {
    long double valeur = 0;
    std::optional<long double> topofil;  // the start reading
};

Lu<Longueur> LitLongueur(const CelluleLue& c, long double coefTopofil)
{
    const std::string& s = c.texte;
    const Icone avert = Icone::Avertissement;
    Longueur l;
    if (!LitReelStockable(s, l.valeur)) {
        if (s.find('/') == std::string::npos)
            return Non("La longueur n'est pas correcte", avert);
        std::string a, b;
        Separe(s, '/', a, b);
        long double va = 0, vb = 0;
        if (!LitReelStockable(a, va) || !LitReelStockable(b, vb))
            return Non(kTexteTopofilIncorrect, avert);
        l.valeur = (vb - va) * coefTopofil;
        // Two equal readings are a shot that stays on its station, as an imported survey
        // may begin with: its length is 0.
        if (l.valeur < 0.01L && vb != va)
            return Non("La longueur Topofil est négative", avert);
        if (!MesureAdmise(l.valeur))
            return Non(kTexteTopofilIncorrect, avert);
        l.topofil = va;
    }
    // The bounds hold for the length as the shot stores it.
    const long double stockee = Reel6(l.valeur);
    if (stockee < -0.001L)
        return Non("La longueur doit être positive", avert);
    if (std::fabs(stockee) < 0.001L && c.visee != 1)
        return Non("La longueur ne doit pas être nulle", avert);
    return l;
}

// The value read into its field, or the refusal passed on.
template <class T, class Champ>
std::optional<Refus> Place(Lu<T> lu, Champ& champ)
{
    if (Refus* r = std::get_if<Refus>(&lu))
        return std::move(*r);
    champ = std::get<T>(std::move(lu));
    return std::nullopt;
}

// The two texts of a cell that holds both sides (left and right, up and down), each into
// its field.
std::optional<Refus> PlacePaire(Lu<std::pair<std::string, std::string>> lu, TexteMesure& premier, TexteMesure& second)
{
    std::pair<std::string, std::string> paire;
    auto refus = Place(std::move(lu), paire);
    if (!refus) {
        premier = paire.first;
        second = paire.second;
    }
    return refus;
}

// Reads a cell into the shot (and its gallery): nothing, or why the cell is refused.
using LecteurColonne = std::optional<Refus> (*)(const CelluleLue&, TVisee&, TGalerie&);

struct Colonne {
    bool mesure;  // one of the length, azimuth and slope every shot needs
    LecteurColonne lit;
};

// The readers of the shot columns, by column type; a type not listed (the station) reads nothing.
const std::map<int, Colonne>& LecteursColonnes()
{
    using P = TPreference_Ecran;
    constexpr Icone conf = Icone::Confirmation;
    static const std::map<int, Colonne> lecteurs = {
        {P::Longueur,
         {true,
          [](const CelluleLue& c, TVisee& v, TGalerie& g) -> std::optional<Refus> {
              Lu<Longueur> lu = LitLongueur(c, g.CoefTopofil);
              if (Refus* r = std::get_if<Refus>(&lu))
                  return std::move(*r);
              const Longueur& l = std::get<Longueur>(lu);
              v.Longueur = l.valeur;
              if (l.topofil) {
                  v.Topofil = *l.topofil;
                  v.AvecTopofil = true;
              }
              if (std::fabs(static_cast<long double>(v.Longueur)) < 0.001L)
                  g.PremiereViseeNulle = true;
              return std::nullopt;
          }}},
        {P::Azimut,
         {true,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitReelCellule(c.texte, false, "L'azimut n'est pas correct", conf), v.Azimut);
          }}},
        {P::Pente,
         {true,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitReelCellule(c.texte, false, "La pente n'est pas correcte", conf), v.Pente);
          }}},
        {P::UniteLongueur,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(
                  LitUniteCellule(c.texte, kUnitesLongueur, "L'unité de longueur doit être en %1 ou %2.", true),
                  v.UniteLongueur);
          }}},
        {P::UniteAzimut,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitUniteCellule(c.texte, kUnitesAzimut, "L'unité d'azimut doit être en %1 ou %2.", true),
                           v.UniteAzimut);
          }}},
        {P::UnitePente,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitUniteCellule(c.texte, kUnitesPente, "L'unité de pente n'est pas correcte.", false),
                           v.UnitePente);
          }}},
        {P::LargeurG,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitCourt(c.texte, "La définition de la largeur gauche doit être inférieure à dix."),
                           v.Gauche);
          }}},
        {P::LargeurD,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitCourt(c.texte, "La définition de la largeur droite doit être inférieure à dix."),
                           v.Droite);
          }}},
        {P::Largeur,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return PlacePaire(LitPaire(c.texte, c.preferences.GLargeur.Separateur,
                                         "La définition de la largeur doit être inférieure à dix."),
                                v.Gauche, v.Droite);
          }}},
        {P::UniteLargeur,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitUniteCellule(c.texte, kUnitesLongueur, "L'unité de largeur doit être en %1 ou %2.", true),
                           v.UniteLargeur);
          }}},
        {P::HautSup,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(
                  LitCourt(c.texte, "La définition de la hauteur supérieure doit être inférieure à dix caractères."),
                  v.Haut);
          }}},
        {P::HautInf,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(
                  LitCourt(c.texte, "La définition de la hauteur inférieure doit être inférieure à dix caractères."),
                  v.Bas);
          }}},
        {P::Hauteur,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return PlacePaire(LitPaire(c.texte, c.preferences.GHauteur.Separateur,
                                         "La définition de la hauteur doit être inférieure à dix caractères."),
                                v.Haut, v.Bas);
          }}},
        {P::UniteHauteur,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitUniteCellule(c.texte, kUnitesLongueur, "L'unité de hauteur doit être en %1 ou %2.", true),
                           v.UniteHauteur);
          }}},
        {P::Croquis,
         {false, [](const CelluleLue& c, TVisee& v, TGalerie&) { return Place(LitCroquis(c.texte), v.TailleSchema); }}},
        {P::Observations,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) -> std::optional<Refus> {
              v.Commentaire.Affecte(c.texte);
              return std::nullopt;
          }}},
        {P::DrapeauHorizontal,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitDrapeau(c.texte, "Mettre O ou N pour la demande de correction horizontale."),
                           v.AvecCorrHorizontale);
          }}},
        {P::CorrHorizontale,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitReelCellule(c.texte, true, "La correction horizontale doit être numérique.", conf),
                           v.CorrHorizontale);
          }}},
        {P::DrapeauDeveloppement,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitDrapeau(c.texte, "Mettre O ou N pour la demande de correction de développemnt."),
                           v.AvecCorrDeveloppement);
          }}},
        {P::DevManuel,
         {false,
          [](const CelluleLue& c, TVisee& v, TGalerie&) {
              return Place(LitReelCellule(c.texte, true, "La correction du développement doit être numérique.", conf),
                           v.CorrDeveloppement);
          }}},
    };
    return lecteurs;
}

// The shot's values together: why they cannot go together, if they cannot.
std::optional<Refus> VerifieVisee(const TVisee& vs)
{
    const long double pente = vs.Pente, azimut = vs.Azimut;
    auto non = [](const char* m) { return Non(m, Icone::Confirmation); };
    if (vs.UnitePente == kPenteDenivMetres || vs.UnitePente == kPenteDenivCm) {
        const long double dz = std::fabs(pente) / (vs.UnitePente == kPenteDenivCm ? 100 : 1);
        const long double l = static_cast<long double>(vs.Longueur) / (vs.UniteLongueur == kUniteCentimetres ? 100 : 1);
        if (l < dz)
            return non("La pente doit être inférieure à la longueur.");
    }
    if (vs.UnitePente == kPenteDegres && std::fabs(pente) >= 91)
        return non("La pente doit être inférieure à 90°.");
    if (vs.UnitePente == kPenteVulcain && (pente >= 181 || pente <= -1))
        return non("La pente Vulcain doit être entre 0 et 180°.");
    if (vs.UnitePente == kPenteGrades && std::fabs(pente) > Seuil(100.1L))
        return non("La pente doit être inférieure à 100°.");
    if (vs.UniteAzimut == kAzimutDegres && (azimut >= 361 || azimut <= -1))
        return non("L'azimut doit être compris entre 0 et 360°.");
    if (vs.UniteAzimut == kAzimutGrades && (azimut >= 401 || azimut <= -1))
        return non("L'azimut doit être compris entre 0 et 400 gr.");
    return std::nullopt;
}

}  // namespace

bool TMultPageDlg::refuse(const QString& message, int icone, int ligne, int colonne)
{
    Invite().Message(message, static_cast<Icone>(icone), {Bouton::OK});
    if (ligne >= 0)
        AllerCellule(ligne, colonne);
    return false;
}

bool TMultPageDlg::ValideFiche()
{
    if (!Massif || !Preferences || !PremierDepart)
        return false;
    try {
        auto fiche = std::make_unique<TFiche>();
        if (!FinSurPoint)
            return refuse(QString::fromUtf8(kTexteFicheSansPointFinal), static_cast<int>(Icone::Avertissement), -1, 0);
        if (!LitInformations(*fiche))
            return false;

        // The grid, gallery by gallery.
        int n = 1, j = 0, base = 1;
        auto g = std::make_unique<TGalerie>();
        g->Depart.Copie(*PremierDepart);
        if (PremierCommentaire)
            g->Commentaire.Copie(*PremierCommentaire);
        g->Coefficient = PremierCoefficient;
        g->CoefTopofil = PremierCoefTopofil;
        g->Couleur = PremiereCouleur;
        const int nbNoeuds = static_cast<int>(Noeuds.size());
        const int avert = static_cast<int>(Icone::Avertissement);
        for (;;) {
            const int r = n + base;
            if (r >= NbLignes())
                return refuse(QString::fromUtf8(kTexteFicheSansPointFinal), avert, -1, 0);
            if (LigneArrivee(r)) {
                const bool vide =
                    ((n == 1 && !g->PremiereViseeNulle) || (n == 2 && g->PremiereViseeNulle)) && !g->Depart.Terminus;
                const TPointTopo& fin = j >= nbNoeuds ? *PointFinal : Noeuds[static_cast<std::size_t>(j)]->Arrivee;
                if (vide && !fin.Terminus)
                    return refuse(QStringLiteral("Il doit y avoir au moins une visée entre deux carrefours"), avert, r,
                                  1);
                g->Arrivee.Copie(fin);
                g->NbVisees = static_cast<uint8_t>(n - 1);
                fiche->Galeries.ajoute(std::move(g));
                if (j >= nbNoeuds)
                    break;
                const TNoeud& noeud = *Noeuds[static_cast<std::size_t>(j)];
                ++j;
                g = std::make_unique<TGalerie>();
                g->Depart.Copie(noeud.Depart);
                g->Commentaire.Copie(noeud.Commentaire);
                g->Couleur = noeud.Couleur;
                g->Coefficient = noeud.Coefficient;
                g->CoefTopofil = noeud.CoefTopofil;
                base += n + 1;
                n = 1;  // the start row after the end row is passed over
                continue;
            }
            if (n > kMaxVisees)
                return refuse(QStringLiteral("Une galerie ne peut pas avoir plus de 128 visées."), avert, r, 2);
            std::unique_ptr<TVisee> visee = LitVisee(r, n, *g);
            if (!visee)
                return false;
            g->PlaceVisee(n, std::move(visee));
            g->NbVisees = static_cast<uint8_t>(n);
            ++n;
        }

        if (CalculEnCours)
            ArretCalcul = true;
        fiche->Calcule(Massif->Angle_Geodesique);
        StockeFiche(std::move(fiche));
        return true;
    } catch (const std::exception& e) {
        // The sheet is not stored: the user must know why.
        Invite().Erreur(QStringLiteral("La fiche n'a pas été validée.\r") + QString::fromUtf8(TexteErreur(e)));
        return false;
    }
}

bool TMultPageDlg::LitInformations(TFiche& fiche)
{
    const int info = static_cast<int>(Icone::Information);
    const int conf = static_cast<int>(Icone::Confirmation);
    auto refusePage = [&](const QString& m, int icone, QWidget* champ) {
        Invite().Message(m, static_cast<Icone>(icone), {Bouton::OK});
        TabSet->setCurrentIndex(1);
        champ->setFocus();
        return false;
    };
    fiche.Systeme.Affecte(VersCp1252(Systeme->text()));
    fiche.Cavite.Affecte(VersCp1252(Cavite->text()));
    fiche.Reseau.Affecte(VersCp1252(Reseau->text()));
    fiche.Lieu.Affecte(VersCp1252(Lieu->text()));
    long double v = 0;
    // A value shown with fewer digits than it holds and left as shown keeps them all.
    if (!LitReelMontre(Declinaison, v))
        return refusePage(QStringLiteral("La déclinaison doit être numérique\rexemple 2.53"), info, Declinaison);
    fiche.Declinaison = v;
    const int uniteDecli = IndiceUnite(VersCp1252(UniteDecli->currentText()), kUnitesDeclinaison);
    if (uniteDecli < 0)
        return refusePage(Format2("La déclinaison doit être en %1 ou en %2.", kUnitesDeclinaison), conf, UniteDecli);
    fiche.Unite_Decli = static_cast<uint8_t>(uniteDecli);
    if (!LitReelMontre(Premiere, v))
        return refusePage(QStringLiteral("La première doit être numérique\rexemple 103.5"), info, Premiere);
    fiche.Premiere = v;
    fiche.TPST.Affecte(VersCp1252(TPST->text()));
    std::string date;
    if (!LitDateLongue(Date, date)) {
        AvertitRefus(NomChamp(Date), TexteDateMontre(Date), ExigeAnnee());
        TabSet->setCurrentIndex(1);
        Date->setFocus();
        return false;
    }
    if (!date.empty() && date[0] == ' ')
        date[0] = '0';
    if (date.size() > 3 && date[3] == ' ')
        date[3] = '0';
    fiche.Date = date;
    for (const QString& l : LignesMemo(Topographe))
        fiche.Topographes.emplace_back(VersCp1252(l));
    return true;
}

std::unique_ptr<TVisee> TMultPageDlg::LitVisee(int ligne, int numero, TGalerie& g)
{
    auto visee = std::make_unique<TVisee>();
    int mesures = 0;
    for (int k = 2; k <= Preferences->NbColonnes && k < NbColonnesGrille(); ++k) {
        const auto colonne = LecteursColonnes().find(TypeColonne(k));
        if (colonne == LecteursColonnes().end())
            continue;
        mesures += colonne->second.mesure;
        const CelluleLue cellule{VersCp1252(Cellule(ligne, k)), *Preferences, numero};
        if (const std::optional<Refus> refus = colonne->second.lit(cellule, *visee, g)) {
            refuse(refus->message, static_cast<int>(refus->icone), ligne, k);
            return nullptr;
        }
    }
    if (const std::optional<Refus> refus = VerifieVisee(*visee)) {
        refuse(refus->message, static_cast<int>(refus->icone), ligne, 2);
        return nullptr;
    }
    if (mesures != 3) {
        refuse(QStringLiteral("La visée est incomplète."), static_cast<int>(Icone::Avertissement), ligne, 1);
        return nullptr;
    }
    return visee;
}

void TMultPageDlg::StockeFiche(std::unique_ptr<TFiche> fiche)
{
    const bool present =
        EditionFiche && Fiche && std::find(Massif->Fiches.begin(), Massif->Fiches.end(), Fiche) != Massif->Fiches.end();
    if (!present) {
        Fiche = Massif->AjouteFiche(std::move(fiche), Massif->SelectionActive);
        return;
    }
    TFiche& ancienne = *Fiche;
    bool change = ancienne.Galeries.size() != fiche->Galeries.size();
    for (std::size_t i = 0; !change && i < fiche->Galeries.size(); ++i)
        change = !MemePoint(ancienne.Galeries[i]->Depart, fiche->Galeries[i]->Depart) ||
                 !MemePoint(ancienne.Galeries[i]->Arrivee, fiche->Galeries[i]->Arrivee);
    if (change) {
        ancienne.RetireDeLaCoupe(*Massif);
    } else {
        for (std::size_t i = 0; i < fiche->Galeries.size(); ++i) {
            const TGalerie& a = *ancienne.Galeries[i];
            TGalerie& nv = *fiche->Galeries[i];
            nv.DansCoupe = a.DansCoupe;
            nv.NbSuites = a.NbSuites;
            nv.Sens = a.Sens;
            nv.GaucheDroite = a.GaucheDroite;
            nv.SuiteFiche = a.SuiteFiche;
            nv.SuiteGalerie = a.SuiteGalerie;
            nv.CoupeX0 = a.CoupeX0;
            nv.CoupeZ0 = a.CoupeZ0;
            nv.CoupeX1 = a.CoupeX1;
        }
    }
    TFiche* nouvelle = fiche.get();
    Massif->RemplaceFiche(Fiche, std::move(fiche));
    Fiche = nouvelle;
}

}  // namespace karst
