// The editor's tools: clipboard, spreadsheet import, column corrections, the automatic
// declination and the surveyor picker.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "dialogs/envoi_touches.h"
#include "dialogs/messages_communs.h"
#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "survey/fichier_massif.h"
#include "survey/fichier_texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// Clipboard texts of this size or more are refused, as the import buffer holds no more.
constexpr qsizetype kTamponPressePapier = 32000;

}  // namespace

// ---- clipboard ----

void TMultPageDlg::Couper1Click() { SendKeys("^X"); }
void TMultPageDlg::Copier1Click() { SendKeys("^C"); }
void TMultPageDlg::Coller1Click() { SendKeys("^V"); }
void TMultPageDlg::Supprimer2Click() { SendKeyWithModifiers(MakeKeyWord(46, 0)); }

QString TMultPageDlg::TexteGrille() const
{
    std::vector<Reel6> coefs{PremierCoefTopofil};
    for (const auto& j : Noeuds)
        coefs.push_back(j->CoefTopofil);
    return QString::fromStdString(Feuille.TexteGrille(coefs));
}

QString TMultPageDlg::TexteSelection() const { return QString::fromStdString(Feuille.TexteSelection(blocSelection())); }

void TMultPageDlg::EffaceSelection(bool unites)
{
    if (Feuille.EffaceSelection(blocSelection(), unites))
        Modifie = true;
    MontreFeuille();
}

void TMultPageDlg::ColleTexte(const QString& texte)
{
    bool modifie = false;
    const QRect sel = SelectionGrille();
    const auto refus = Feuille.ColleTexte(TexteUtf8(texte.toStdString()), sel.top(), sel.left(), FinSurPoint, modifie);
    if (modifie)
        Modifie = true;
    MontreFeuille();
    if (refus)
        Invite().Avertissement(QString::fromStdString(*refus));
    TableauVisee->viewport()->update();
}

void TMultPageDlg::Toutcopier1Click() { QApplication::clipboard()->setText(TexteGrille()); }

void TMultPageDlg::ImporterClick()
{
    if (Ligne() <= 1 || Feuille.LigneArrivee(Ligne() - 1)) {
        Invite().Avertissement(QString::fromUtf8(kTexteViseeImpossibleIci));
        return;
    }
    const QMimeData* donnees = QApplication::clipboard()->mimeData();
    if (!donnees || !donnees->hasText()) {
        Invite().Avertissement(QStringLiteral("Il n'y a pas de texte dans le Presse-Papier."));
        return;
    }
    const QString texte = donnees->text();
    if (texte.size() >= kTamponPressePapier - 1) {
        Invite().Avertissement(QStringLiteral("Le Presse-Papier est trop gros."));
        return;
    }
    TImportationExcel dialogue(this);
    if (ExecuteModal(dialogue) != QDialog::Accepted)
        return;
    ImporteTexte(texte, dialogue.Ignores());
}

void TMultPageDlg::ImporteTexte(const QString& texte, const std::vector<int>& ignores)
{
    std::optional<std::string> refus;
    {
        const Sablier sablier;
        refus = Feuille.ImporteTexte(TexteUtf8(texte.toStdString()), ignores, Ligne(), FinSurPoint);
        MontreFeuille();
    }
    if (refus) {
        Invite().Avertissement(QString::fromStdString(*refus));
        return;
    }
    Modifie = true;
    TableauVisee->viewport()->update();
}

// ---- corrections ----

void TMultPageDlg::CorrigeColonne(int quoi)
{
    TCorrection dialogue(this);
    dialogue.Quoi = static_cast<uint8_t>(quoi);
    const QRect sel = SelectionGrille();
    dialogue.SansSelection = sel.width() <= 1;
    if (dialogue.Montre() != QDialog::Accepted)
        return;
    if (dialogue.SansSelection)
        AjouteValeur(quoi, dialogue.Edit1->text(), 2, NbLignes() - 1);
    else
        AjouteValeur(quoi, dialogue.Edit1->text(), sel.top(), sel.bottom());
}

void TMultPageDlg::AjouteValeur(int quoi, const QString& valeur, int de, int a)
{
    static const int types[] = {TPreference_Ecran::Longueur, TPreference_Ecran::Azimut, TPreference_Ecran::Pente};
    if (quoi < 1 || quoi > 3)
        return;
    bool modifie = false;
    const auto refus = Feuille.Corrige(types[quoi - 1], valeur.toStdString(), de, a, modifie);
    if (modifie)
        Modifie = true;
    MontreFeuille();
    if (refus)
        Invite().Avertissement(QString::fromStdString(*refus));
    TableauVisee->viewport()->update();
}

// ---- declination ----

long double TMultPageDlg::AnneeDecimale(const std::string& date)
{
    const std::string d = date + std::string(8, ' ');
    long long annee = 0, mois = 0, jour = 0;
    if (!LitEntier(d.substr(6, 2), annee))
        throw std::runtime_error("\"" + d.substr(6, 2) + "\" n'est pas une année correcte");
    long double r = static_cast<long double>(annee);
    if (LitEntier(d.substr(3, 2), mois))
        r += static_cast<long double>(mois - 1) / 12;
    if (LitEntier(d.substr(0, 2), jour))
        r += static_cast<long double>(jour - 1) / 365;
    return r;
}

void TMultPageDlg::Button8Click()
{
    TMassif* m = Massif ? Massif : hote_->MassifOuvert();
    if (m && !m->DeclinaisonReglee()) {
        Invite().Information(QStringLiteral("Le modèle de déclinaison du massif n'est pas réglé : la déclinaison ne "
                                            "peut être calculée.\rRéglez-le dans Données > Déclinaisons."));
        Declinaison->setFocus();
        return;
    }
    std::string date;
    if (!LitDateLongue(Date, date)) {
        AvertitRefus(NomChamp(Date), TexteDateMontre(Date), ExigeAnnee());
        Date->setFocus();
        return;
    }
    date += std::string(8, ' ');
    if (date[6] == ' ' && date[7] == ' ') {
        Invite().Information(
            QStringLiteral("Il faut au moins l'année dans la date pour calculer la déclinaison\rexemple 03/01/99"));
        Date->setFocus();
        return;
    }
    if (!m)
        return;
    const long double annee = AnneeDecimale(date), reference = AnneeDecimale(m->Date_Declinaison.str());
    long double d = annee - reference;
    if (annee < 50)
        d += 100;
    if (reference < 50)
        d -= 100;
    UniteDecli->setEditText(DepuisCp1252(UniteDeCode(kUnitesDeclinaison, kAzimutDegres)->Libelle));
    const long double declinaison =
        static_cast<long double>(m->Origine_Declinaison) - d * static_cast<long double>(m->Variation_Declinaison);
    Declinaison->setText(QString::fromStdString(FormatGeneral(declinaison, 5, 4)));
}

// ---- surveyors ----

void TMultPageDlg::ListeClick()
{
    const std::string fichier = hote_->RepUtilisateur() + "EXPLORAT.TXT";
    // A link looping on itself is no list, not an empty one.
    if (const std::string refus = RefusNonFichier(fichier, "%1"); !refus.empty()) {
        Invite().Erreur(QString::fromUtf8(refus).arg(NomDeChemin(fichier)));
        return;
    }
    std::error_code e;
    if (!std::filesystem::exists(fichier, e)) {
        const std::string source = TrouveFichier(hote_->RepProgramme() + "EXPLORAT.TXT");
        if (!source.empty())
            std::filesystem::copy_file(source, fichier, std::filesystem::copy_options::skip_existing, e);
    }
    TExplorateur dialogue(this);
    dialogue.Fichier = fichier;
    dialogue.SrcList->clear();
    dialogue.DstList->clear();
    // The list is the user's to edit with any text editor, which may save it in UTF-8.
    if (std::filesystem::exists(fichier, e)) {
        try {
            // One name a line: a surveyor's name is at most a TEco's 65,535 characters, three
            // bytes each in UTF-8; the picker lists at most as many names as a sheet holds.
            for (const std::string& nom : FichierTexteLecture(fichier, 3 * 65535).Lignes(kCompteMax))
                dialogue.SrcList->addItem(QString::fromStdString(ExterieurEnUtf8(nom)));
        } catch (const ErreurFlux& erreur) {
            Invite().Erreur(erreur);
            return;
        }
    }
    dialogue.SetButtons();
    if (ExecuteModal(dialogue) != QDialog::Accepted)
        return;
    for (int i = 0; i < dialogue.DstList->count(); ++i)
        Topographe->appendPlainText(dialogue.DstList->item(i)->text());
}

}  // namespace karst
