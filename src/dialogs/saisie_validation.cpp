// Turning what the editor shows into a sheet of the massif, checking every entry on the way.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <algorithm>
#include <functional>
#include <optional>
#include <span>

#include "calcul/drapeaux.h"
#include "dialogs/hors_cp1252.h"
#include "dialogs/messages_communs.h"
#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// The code of the unit labelled by the text, letter case aside, or -1.
int IndiceUnite(const std::string& s, std::span<const UniteMesure> unites)
{
    const UniteMesure* u = UniteDeLibelle(unites, s);
    return u ? u->Code : -1;
}

bool MemePoint(const TPointTopo& a, const TPointTopo& b) { return a.Egal(b) || (a.Terminus && b.Terminus); }

bool SansChiffre(const std::string& s)
{
    return std::none_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool TMultPageDlg::refuse(const QString& message, Icone icone, int ligne, int colonne)
{
    Invite().Message(message, icone, {Bouton::OK});
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
            return refuse(QString::fromUtf8(kTexteFicheSansPointFinal), Icone::Avertissement, -1, 0);
        if (!LitInformations(*fiche))
            return false;

        // The grid, gallery by gallery.
        TNoeud premier;
        premier.Depart.Copie(*PremierDepart);
        if (PremierCommentaire)
            premier.Commentaire.Copie(*PremierCommentaire);
        premier.Coefficient = PremierCoefficient;
        premier.CoefTopofil = PremierCoefTopofil;
        premier.Couleur = PremiereCouleur;
        const TPointTopo sansFin;
        if (const auto refus = Feuille.LitGaleries(*fiche, premier, Noeuds, PointFinal ? *PointFinal : sansFin))
            return refuse(QString::fromStdString(refus->message), refus->icone, refus->ligne, refus->colonne);

        if (!accepteHorsCp1252())
            return false;
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

bool TMultPageDlg::accepteHorsCp1252()
{
    // Each text holding characters the file lacks, and how to show it.
    struct Texte {
        QString nom, caracteres;
        std::function<void()> montre;
    };
    std::vector<Texte> textes;
    auto page = [this](QWidget* champ) {
        return [this, champ] {
            TabSet->setCurrentIndex(1);
            champ->setFocus();
        };
    };
    for (QLineEdit* champ : {Systeme, Cavite, Reseau, Lieu, TPST})
        if (const QString c = CaracteresPerdus(champ->text()); !c.isEmpty())
            textes.push_back({QStringLiteral("Le champ « %1 »").arg(NomChamp(champ)), c, page(champ)});
    if (const QString c = CaracteresPerdus(Topographe->toPlainText()); !c.isEmpty())
        textes.push_back({QStringLiteral("La liste des topographes"), c, page(Topographe)});
    for (const CelluleHorsCp1252& h : Feuille.CellulesHorsCp1252())
        textes.push_back(
            {QStringLiteral("La colonne « %1 » de la visée %2").arg(Cellule(0, h.colonne), Cellule(h.ligne, 0)),
             QString::fromStdString(h.caracteres), [this, h] { AllerCellule(h.ligne, h.colonne); }});
    if (textes.empty())
        return true;
    QStringList lignes;
    for (const Texte& t : textes)
        lignes << QStringLiteral("%1 : « %2 »").arg(t.nom, t.caracteres);
    if (GardeAvecPointsDInterrogation(lignes, QStringLiteral("Enregistrer la fiche ainsi ?")))
        return true;
    textes.front().montre();
    return false;
}

bool TMultPageDlg::LitInformations(TFiche& fiche)
{
    const Icone info = Icone::Information, conf = Icone::Confirmation;
    auto refusePage = [&](const QString& m, Icone icone, QWidget* champ) {
        Invite().Message(m, icone, {Bouton::OK});
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
        return refusePage(
            QString::fromStdString(Format2("La déclinaison doit être en %1 ou en %2.", kUnitesDeclinaison)), conf,
            UniteDecli);
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
    // Padding a blank day or month with '0' only makes sense in a date that holds digits:
    // an undated sheet stays undated, in the very bytes it was loaded with.
    if (SansChiffre(date)) {
        if (const TFiche* ancienne = FicheEnPlace(); ancienne && SansChiffre(ancienne->Date))
            date = ancienne->Date;
    } else {
        if (date[0] == ' ')
            date[0] = '0';
        if (date[3] == ' ')
            date[3] = '0';
    }
    fiche.Date = date;
    for (const QString& l : LignesMemo(Topographe))
        fiche.Topographes.emplace_back(VersCp1252(l));
    return true;
}

TFiche* TMultPageDlg::FicheEnPlace() const
{
    const bool present =
        EditionFiche && Fiche && std::find(Massif->Fiches.begin(), Massif->Fiches.end(), Fiche) != Massif->Fiches.end();
    return present ? Fiche : nullptr;
}

void TMultPageDlg::StockeFiche(std::unique_ptr<TFiche> fiche)
{
    if (!FicheEnPlace()) {
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
    // The replacing sheet goes to the end of the list; back in its place, a massif saved
    // before any computation sorts it keeps its sheets in their order on disk.
    Massif->TrieFiches();
    Fiche = nouvelle;
}

}  // namespace karst
