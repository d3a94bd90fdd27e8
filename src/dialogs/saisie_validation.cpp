// Turning what the editor shows into a sheet of the massif, checking every entry on the way.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <algorithm>
#include <cmath>
#include <span>

#include "calcul/drapeaux.h"
#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
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
    const int avert = static_cast<int>(Icone::Avertissement);
    const int info = static_cast<int>(Icone::Information);
    const int conf = static_cast<int>(Icone::Confirmation);
    auto refusePage = [&](const QString& m, int icone, QWidget* champ) {
        Invite().Message(m, static_cast<Icone>(icone), {Bouton::OK});
        TabSet->setCurrentIndex(1);
        champ->setFocus();
        return false;
    };
    if (!Massif || !Preferences || !PremierDepart)
        return false;
    try {
        auto fiche = std::make_unique<TFiche>();
        if (!FinSurPoint)
            return refuse(QStringLiteral("La fiche ne se termine pas sur un point topo"), avert, -1, 0);
        fiche->Systeme.Affecte(VersCp1252(Systeme->text()));
        fiche->Cavite.Affecte(VersCp1252(Cavite->text()));
        fiche->Reseau.Affecte(VersCp1252(Reseau->text()));
        fiche->Lieu.Affecte(VersCp1252(Lieu->text()));
        long double v = 0;
        // A value shown with fewer digits than it holds and left as shown keeps them all.
        if (!LitReelMontre(Declinaison, v))
            return refusePage(QStringLiteral("La déclinaison doit être numérique\rexemple 2.53"), info, Declinaison);
        fiche->Declinaison = v;
        const int uniteDecli = IndiceUnite(VersCp1252(UniteDecli->currentText()), kUnitesDeclinaison);
        if (uniteDecli < 0)
            return refusePage(Format2("La déclinaison doit être en %1 ou en %2.", kUnitesDeclinaison), conf,
                              UniteDecli);
        fiche->Unite_Decli = static_cast<uint8_t>(uniteDecli);
        if (!LitReelMontre(Premiere, v))
            return refusePage(QStringLiteral("La première doit être numérique\rexemple 103.5"), info, Premiere);
        fiche->Premiere = v;
        fiche->TPST.Affecte(VersCp1252(TPST->text()));
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
        fiche->Date = date;
        for (const QString& l : LignesMemo(Topographe))
            fiche->Topographes.emplace_back(VersCp1252(l));

        // The grid, gallery by gallery.
        const TPreference_Ecran& p = *Preferences;
        int n = 1, j = 0, base = 1;
        auto g = std::make_unique<TGalerie>();
        g->Depart.Copie(*PremierDepart);
        if (PremierCommentaire)
            g->Commentaire.Copie(*PremierCommentaire);
        g->Coefficient = PremierCoefficient;
        g->CoefTopofil = PremierCoefTopofil;
        g->Couleur = PremiereCouleur;
        const int nbNoeuds = static_cast<int>(Noeuds.size());
        for (;;) {
            const int r = n + base;
            if (r >= NbLignes())
                return refuse(QStringLiteral("La fiche ne se termine pas sur un point topo"), avert, -1, 0);
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
            auto visee = std::make_unique<TVisee>();
            TVisee& vs = *visee;
            int mesures = 0;
            for (int k = 2; k <= p.NbColonnes && k < NbColonnesGrille(); ++k) {
                const std::string s = VersCp1252(Cellule(r, k));
                auto non = [&](const char* m, int icone) { return refuse(QString::fromUtf8(m), icone, r, k); };
                std::string a, b;
                switch (TypeColonne(k)) {
                case TPreference_Ecran::Longueur: {
                    ++mesures;
                    if (LitReelStockable(s, v)) {
                        vs.Longueur = v;
                    } else if (s.find('/') != std::string::npos) {
                        Separe(s, '/', a, b);
                        long double va = 0, vb = 0;
                        if (!LitReelStockable(a, va) || !LitReelStockable(b, vb))
                            return non("Les longueurs Topofil ne sont pas correctes", avert);
                        const long double l = (vb - va) * static_cast<long double>(g->CoefTopofil);
                        // Two equal readings are a shot that stays on its station, as an
                        // imported survey may begin with: its length is 0.
                        if (l < 0.01L && vb != va)
                            return non("La longueur Topofil est négative", avert);
                        if (!MesureAdmise(l))
                            return non("Les longueurs Topofil ne sont pas correctes", avert);
                        vs.Topofil = va;
                        vs.Longueur = l;
                        vs.AvecTopofil = true;
                    } else {
                        return non("La longueur n'est pas correcte", avert);
                    }
                    const long double l = vs.Longueur;
                    if (l < -0.001L)
                        return non("La longueur doit être positive", avert);
                    if (std::fabs(l) < 0.001L) {
                        if (n != 1)
                            return non("La longueur ne doit pas être nulle", avert);
                        g->PremiereViseeNulle = true;
                    }
                    break;
                }
                case TPreference_Ecran::Azimut:
                    ++mesures;
                    if (!LitReelStockable(s, v))
                        return non("L'azimut n'est pas correct", conf);
                    vs.Azimut = v;
                    break;
                case TPreference_Ecran::Pente:
                    ++mesures;
                    if (!LitReelStockable(s, v))
                        return non("La pente n'est pas correcte", conf);
                    vs.Pente = v;
                    break;
                case TPreference_Ecran::UniteLongueur: {
                    const int u = IndiceUnite(s, kUnitesLongueur);
                    if (u < 0)
                        return refuse(Format2("L'unité de longueur doit être en %1 ou %2.", kUnitesLongueur), conf, r,
                                      k);
                    vs.UniteLongueur = static_cast<uint8_t>(u);
                    break;
                }
                case TPreference_Ecran::UniteAzimut: {
                    const int u = IndiceUnite(s, kUnitesAzimut);
                    if (u < 0)
                        return refuse(Format2("L'unité d'azimut doit être en %1 ou %2.", kUnitesAzimut), conf, r, k);
                    vs.UniteAzimut = static_cast<uint8_t>(u);
                    break;
                }
                case TPreference_Ecran::UnitePente: {
                    const int u = IndiceUnite(s, kUnitesPente);
                    if (u < 0)
                        return non("L'unité de pente n'est pas correcte.", conf);
                    vs.UnitePente = static_cast<uint8_t>(u);
                    break;
                }
                case TPreference_Ecran::LargeurG:
                    if (s.size() > 10)
                        return non("La définition de la largeur gauche doit être inférieure à dix.", conf);
                    vs.Gauche = PointDecimal(s);
                    break;
                case TPreference_Ecran::LargeurD:
                    if (s.size() > 10)
                        return non("La définition de la largeur droite doit être inférieure à dix.", conf);
                    vs.Droite = PointDecimal(s);
                    break;
                case TPreference_Ecran::Largeur:
                    Separe(s, p.GLargeur.Separateur, a, b);
                    if (a.size() > 10 || b.size() > 10)
                        return non("La définition de la largeur doit être inférieure à dix.", conf);
                    vs.Gauche = PointDecimal(a);
                    vs.Droite = PointDecimal(b);
                    break;
                case TPreference_Ecran::UniteLargeur: {
                    const int u = IndiceUnite(s, kUnitesLongueur);
                    if (u < 0)
                        return refuse(Format2("L'unité de largeur doit être en %1 ou %2.", kUnitesLongueur), conf, r,
                                      k);
                    vs.UniteLargeur = static_cast<uint8_t>(u);
                    break;
                }
                case TPreference_Ecran::HautSup:
                    if (s.size() > 10)
                        return non("La définition de la hauteur supérieure doit être inférieure à dix caractères.",
                                   conf);
                    vs.Haut = PointDecimal(s);
                    break;
                case TPreference_Ecran::HautInf:
                    if (s.size() > 10)
                        return non("La définition de la hauteur inférieure doit être inférieure à dix caractères.",
                                   conf);
                    vs.Bas = PointDecimal(s);
                    break;
                case TPreference_Ecran::Hauteur:
                    Separe(s, p.GHauteur.Separateur, a, b);
                    if (a.size() > 10 || b.size() > 10)
                        return non("La définition de la hauteur doit être inférieure à dix caractères.", conf);
                    vs.Haut = PointDecimal(a);
                    vs.Bas = PointDecimal(b);
                    break;
                case TPreference_Ecran::UniteHauteur: {
                    const int u = IndiceUnite(s, kUnitesLongueur);
                    if (u < 0)
                        return refuse(Format2("L'unité de hauteur doit être en %1 ou %2.", kUnitesLongueur), conf, r,
                                      k);
                    vs.UniteHauteur = static_cast<uint8_t>(u);
                    break;
                }
                case TPreference_Ecran::Croquis: {
                    long long e = 0;
                    if (!s.empty() && !LitEntier(s, e))
                        return non("La taille du schéma doit être numérique.", conf);
                    // One byte: a larger size would be stored as another one.
                    if (e < 0 || e > 255)
                        return non("La taille du schéma doit être comprise entre 0 et 255.", conf);
                    vs.TailleSchema = static_cast<uint8_t>(e);
                    break;
                }
                case TPreference_Ecran::Observations: vs.Commentaire.Affecte(s); break;
                case TPreference_Ecran::DrapeauHorizontal:
                case TPreference_Ecran::DrapeauDeveloppement: {
                    const std::string d = s.empty() ? s : MajAscii(s.substr(0, 1)) + s.substr(1);
                    const bool horizontal = TypeColonne(k) == TPreference_Ecran::DrapeauHorizontal;
                    if (d != "O" && d != "N")
                        return non(horizontal ? "Mettre O ou N pour la demande de correction horizontale."
                                              : "Mettre O ou N pour la demande de correction de développemnt.",
                                   conf);
                    (horizontal ? vs.AvecCorrHorizontale : vs.AvecCorrDeveloppement) = d == "O";
                    break;
                }
                case TPreference_Ecran::CorrHorizontale:
                    v = 0;
                    if (!s.empty() && !LitReelStockable(s, v))
                        return non("La correction horizontale doit être numérique.", conf);
                    vs.CorrHorizontale = v;
                    break;
                case TPreference_Ecran::DevManuel:
                    v = 0;
                    if (!s.empty() && !LitReelStockable(s, v))
                        return non("La correction du développement doit être numérique.", conf);
                    vs.CorrDeveloppement = v;
                    break;
                default: break;
                }
            }
            // The values together.
            const long double pente = vs.Pente, azimut = vs.Azimut;
            auto non = [&](const char* m) { return refuse(QString::fromUtf8(m), conf, r, 2); };
            if (vs.UnitePente == kPenteDenivMetres || vs.UnitePente == kPenteDenivCm) {
                const long double dz = std::fabs(pente) / (vs.UnitePente == kPenteDenivCm ? 100 : 1);
                const long double l =
                    static_cast<long double>(vs.Longueur) / (vs.UniteLongueur == kUniteCentimetres ? 100 : 1);
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
            if (mesures != 3)
                return refuse(QStringLiteral("La visée est incomplète."), avert, r, 1);
            g->PlaceVisee(n, std::move(visee));
            g->NbVisees = static_cast<uint8_t>(n);
            ++n;
        }

        if (CalculEnCours)
            ArretCalcul = true;
        fiche->Calcule(Massif->Angle_Geodesique);

        // Storing.
        const bool present = EditionFiche && Fiche &&
                             std::find(Massif->Fiches.begin(), Massif->Fiches.end(), Fiche) != Massif->Fiches.end();
        TFiche* stockee = nullptr;
        if (present) {
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
            stockee = nouvelle;
        } else {
            stockee = Massif->AjouteFiche(std::move(fiche), Massif->SelectionActive);
        }
        Fiche = stockee;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace karst
