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
#include <fstream>
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
#include "survey/nombres.h"

namespace karst {

namespace {

// Clipboard texts of this size or more are refused, as the import buffer holds no more.
constexpr qsizetype kTamponPressePapier = 32000;

// Lines of text go to the rows from `haut` on, and a station row takes none: the line would be
// lost or the station written over. Such a text is refused whole, named as it came (`texte`
// "collé" or "importé"); true once refused.
bool RefuseSurStation(const TMultPageDlg& grille, int haut, qsizetype lignes, const QString& texte)
{
    for (int i = 0; i < lignes && haut + i < grille.NbLignes(); ++i)
        if (!grille.LigneVisee(haut + i)) {
            Invite().Avertissement(QStringLiteral("Ligne %1 du texte %2 : elle tomberait sur la ligne de la station "
                                                  "« %3 », qui ne reçoit pas de visée. Rien n'a été %2.")
                                       .arg(i + 1)
                                       .arg(texte, grille.Cellule(haut + i, 1)));
            return true;
        }
    return false;
}

}  // namespace

// ---- clipboard ----

void TMultPageDlg::Couper1Click() { SendKeys("^X"); }
void TMultPageDlg::Copier1Click() { SendKeys("^C"); }
void TMultPageDlg::Coller1Click() { SendKeys("^V"); }
void TMultPageDlg::Supprimer2Click() { SendKeyWithModifiers(MakeKeyWord(46, 0)); }

QString TMultPageDlg::TexteGrille() const
{
    QString t;
    int departs = 0;
    for (int r = 0; r < NbLignes(); ++r) {
        for (int c = 1; c < NbColonnesGrille(); ++c) {
            if (c == 2 && LigneDepart(r)) {
                // A start row carries its gallery's topofil coefficient there.
                const Reel6 coef = departs == 0 ? PremierCoefTopofil
                                   : departs <= static_cast<int>(Noeuds.size())
                                       ? Noeuds[static_cast<std::size_t>(departs - 1)]->CoefTopofil
                                       : Reel6(1.0L);
                t += QString::fromStdString(FormatGeneral(coef, 4, 3));
            } else {
                t += Cellule(r, c);
            }
            t += QLatin1Char('\t');
        }
        if (LigneDepart(r))
            ++departs;
        if (t.endsWith(QLatin1Char('\t')))
            t.chop(1);
        t += QStringLiteral("\r\n");
    }
    return t;
}

QString TMultPageDlg::TexteSelection() const
{
    const QRect sel = SelectionGrille();
    QStringList lignes;
    for (int r = sel.top(); r <= sel.bottom(); ++r) {
        QStringList champs;
        for (int c = std::max(sel.left(), 1); c <= sel.right(); ++c)
            champs << Cellule(r, c);
        lignes << champs.join(QLatin1Char('\t'));
    }
    return lignes.join(QStringLiteral("\r\n"));
}

void TMultPageDlg::EffaceSelection(bool unites)
{
    // Only what may be typed is emptied; a flag goes back to its column's default, and so does
    // a unit when the shot is cut, since its units leave with it.
    const QRect sel = SelectionGrille();
    for (int r = sel.top(); r <= sel.bottom(); ++r)
        for (int c = sel.left(); c <= sel.right(); ++c) {
            const bool unite = unites && CelluleUnite(r, c);
            if ((unite || CelluleEditable(r, c, false)) && Cellule(r, c) != TexteDefaut[static_cast<std::size_t>(c)]) {
                FixeCellule(r, c, TexteDefaut[static_cast<std::size_t>(c)]);
                Modifie = true;
            }
        }
}

void TMultPageDlg::ColleTexte(const QString& texte)
{
    // From the selection's top left corner, on shot rows only; cells that may not be typed keep
    // what they hold. A unit travels with its value: an empty unit field leaves the cell's unit.
    QString t = texte;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    const QRect sel = SelectionGrille();
    const int haut = sel.top(), gauche = sel.left();
    const QStringList lignes = t.split(QLatin1Char('\n'));
    std::vector<QStringList> champs;
    for (const QString& l : lignes)
        champs.push_back(l.split(QLatin1Char('\t')));
    const int fin = haut + static_cast<int>(lignes.size());
    // The grid grows to take every line, but never past a final point.
    const int limite = FinSurPoint ? NbLignes() : std::max(NbLignes(), kLignesMax);
    if (fin > limite) {
        Invite().Avertissement(
            QStringLiteral("Le texte collé compte %1 lignes : à partir de la cellule choisie, la grille ne peut en "
                           "recevoir que %2.")
                .arg(lignes.size())
                .arg(std::max(limite - haut, 0)));
        return;
    }
    if (RefuseSurStation(*this, haut, lignes.size(), QStringLiteral("collé")))
        return;
    // Every line lands on a shot row, or past the grid's end on a new one.
    for (int i = 0; i < static_cast<int>(champs.size()); ++i)
        for (int j = 0; j < champs[i].size() && gauche + j < NbColonnesGrille(); ++j) {
            const int c = gauche + j;
            const QString u = champs[i][j].trimmed();
            if (TypeColonne(c) < 128 || u.isEmpty() || UniteDeTexte(TypeColonne(c), u))
                continue;
            // A unit column has no title: it is named after the measure it follows.
            int titre = c;
            while (titre > 1 && Cellule(0, titre).isEmpty())
                --titre;
            Invite().Avertissement(QStringLiteral("Ligne %1 du texte collé, colonne « %2 » : unité « %3 » inconnue.")
                                       .arg(i + 1)
                                       .arg(Cellule(0, titre), u));
            return;
        }
    while (NbLignes() < fin)
        AjouteViseeEnBas();
    for (int i = 0; i < static_cast<int>(champs.size()); ++i)
        for (int j = 0; j < champs[i].size() && gauche + j < NbColonnesGrille(); ++j) {
            const int r = haut + i, c = gauche + j;
            const UniteMesure* unite =
                TypeColonne(c) >= 128 ? UniteDeTexte(TypeColonne(c), champs[i][j].trimmed()) : nullptr;
            // A unit is written as the list shows it.
            const QString v = unite ? DepuisCp1252(unite->Libelle) : champs[i][j];
            if ((unite || CelluleEditable(r, c, false)) && Cellule(r, c) != v) {
                FixeCellule(r, c, v);
                Modifie = true;
            }
        }
    TableauVisee->viewport()->update();
}

void TMultPageDlg::Toutcopier1Click() { QApplication::clipboard()->setText(TexteGrille()); }

void TMultPageDlg::ImporterClick()
{
    if (LigneCourante <= 1 || LigneArrivee(LigneCourante - 1)) {
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
    ImporteTexte(VersCp1252(texte), dialogue.Ignores());
}

void TMultPageDlg::ImporteTexte(const std::string& texte, const std::vector<int>& ignores)
{
    // Fields end at TAB, CR or LF, and lines at LF (CR LF) or at a bare CR; a ',' is a '.'.
    std::vector<std::vector<std::string>> lignes(1);
    std::string jeton;
    bool enCours = false;  // something of the line was read since its start
    char precedent = 0;
    for (const char c : texte) {
        if (c == '\t' || c == '\r' || (c == '\n' && precedent != '\r')) {
            lignes.back().push_back(jeton);
            jeton.clear();
            enCours = c == '\t';
            if (!enCours)
                lignes.emplace_back();
        } else if (c == '\n') {
            enCours = false;
        } else {
            jeton += c == ',' ? '.' : c;
            enCours = true;
        }
        precedent = c;
    }
    if (enCours || !jeton.empty())
        lignes.back().push_back(jeton);
    else
        lignes.pop_back();
    if (RefuseSurStation(*this, LigneCourante, static_cast<qsizetype>(lignes.size()), QStringLiteral("importé")))
        return;
    Modifie = true;
    const Sablier sablier;
    auto suivante = [this](int c) {
        do
            ++c;
        while (c < NbColonnesGrille() && TypeColonne(c) >= 64);
        return c;
    };
    int ligne = LigneCourante;
    for (const std::vector<std::string>& champs : lignes) {
        int colonne = 2;
        for (std::size_t champ = 1; champ <= champs.size(); ++champ)
            if (std::find(ignores.begin(), ignores.end(), static_cast<int>(champ)) == ignores.end()) {
                if (ligne < NbLignes() && colonne < NbColonnesGrille())
                    FixeCellule(ligne, colonne, DepuisCp1252(champs[champ - 1]));
                colonne = suivante(colonne);
            }
        ++ligne;
        // A sheet that ends on its final point ends there: every line fell on a shot row above it.
        if (FinSurPoint)
            continue;
        AjouteLigne();
        if (ligne >= 10 && ligne >= NbLignes() && NbLignes() < kLignesMax)
            AjouteViseeEnBas();
    }
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
    Modifie = true;
    long double valeur = 0;
    if (!LitReelSaisi(VersCp1252(dialogue.Edit1->text()), valeur))
        throw std::runtime_error("Valeur incorrecte");
    if (dialogue.SansSelection)
        AjouteValeur(quoi, valeur, 2, NbLignes() - 1);
    else
        AjouteValeur(quoi, valeur, sel.top(), sel.bottom());
}

void TMultPageDlg::AjouteValeur(int quoi, long double valeur, int de, int a)
{
    static const int types[] = {TPreference_Ecran::Longueur, TPreference_Ecran::Azimut, TPreference_Ecran::Pente};
    if (quoi < 1 || quoi > 3)
        return;
    int colonne = -1;
    for (int k = 1; k < NbColonnesGrille(); ++k)
        if (TypeColonne(k) == types[quoi - 1])
            colonne = k;
    if (colonne < 0)
        return;
    for (int r = std::max(de, 1); r <= a && r < NbLignes(); ++r) {
        if (!LigneVisee(r))
            continue;
        long double v = 0;
        if (LitReelSaisi(VersCp1252(Cellule(r, colonne)), v))
            FixeCellule(r, colonne, QString::fromStdString(FormatGeneral(v + valeur, 5, 3)));
    }
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
    std::ifstream f(fichier, std::ios::binary);
    std::string ligne;
    while (std::getline(f, ligne)) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        dialogue.SrcList->addItem(DepuisCp1252(ligne));
    }
    dialogue.SetButtons();
    if (ExecuteModal(dialogue) != QDialog::Accepted)
        return;
    for (int i = 0; i < dialogue.DstList->count(); ++i)
        Topographe->appendPlainText(dialogue.DstList->item(i)->text());
}

}  // namespace karst
