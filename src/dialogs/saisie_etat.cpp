// The unfinished sheet at the end of a binary massif file.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

// Longest lists the block may announce: beyond, the file is damaged. A grid has at most
// the layout's columns and the row markers' (20); a few more leave room for any layout
// to come, while each cell announced costs memory before the block is found damaged.
constexpr int kMaxLignes = 32767;
constexpr int kMaxColonnes = 64;

void Ecrit(TBufferStream& f, const QString& texte) { f.EcritChaine(VersCp1252(texte)); }
QString Lit(TBufferStream& f) { return DepuisCp1252(f.LitChaine()); }

int Compte(TBufferStream& f, int maximum)
{
    const int n = f.LitU16();
    if (n > maximum)
        throw ErreurFichierEndommage(f.MessageEndommage());
    return n;
}

// What the titles of any layout say of its columns: the type of each title, the unit
// column that follows a measure, the flag column that precedes a correction.
struct TypesDesTitres {
    std::map<QString, int> parTitre;
    std::map<int, int> uniteApres, drapeauAvant;
};

const TypesDesTitres& Titres()
{
    static const TypesDesTitres t = [] {
        TypesDesTitres r;
        for (bool deux : {false, true}) {
            TPreference_Ecran p;
            p.GLargeur.DeuxColonnes = p.GHauteur.DeuxColonnes = deux;
            p.GHorizontal.Affiche = p.GDeveloppement.Affiche = true;
            p.ConstruitColonnes();
            for (std::size_t k = 1; k <= static_cast<std::size_t>(p.NbColonnes); ++k) {
                const TPreference_Ecran::Colonne& c = p.Colonnes[k];
                if (!c.Titre.empty())
                    r.parTitre[DepuisCp1252(c.Titre.str())] = c.Type;
                else if (c.Type >= 128)
                    r.uniteApres[p.Colonnes[k - 1].Type] = c.Type;
                else
                    r.drapeauAvant[p.Colonnes[k + 1].Type] = c.Type;
            }
        }
        return r;
    }();
    return t;
}

// The type of each column of a grid saved under some layout, from its title row; 0 where
// the titles do not say.
std::vector<int> TypesSauves(const QStringList& titres)
{
    const TypesDesTitres& t = Titres();
    const std::size_t n = static_cast<std::size_t>(titres.size());
    std::vector<int> types(n, 0);
    for (std::size_t c = 1; c < n; ++c)
        if (const auto i = t.parTitre.find(titres[static_cast<qsizetype>(c)]); i != t.parTitre.end())
            types[c] = i->second;
    for (std::size_t c = 1; c < n; ++c) {
        if (!titres[static_cast<qsizetype>(c)].isEmpty())
            continue;
        if (const auto u = t.uniteApres.find(types[c - 1]); u != t.uniteApres.end())
            types[c] = u->second;
        else if (const auto d = c + 1 < n ? t.drapeauAvant.find(types[c + 1]) : t.drapeauAvant.end();
                 d != t.drapeauAvant.end())
            types[c] = d->second;
    }
    return types;
}

// One row of a grid saved under some layout (`types` from its titles) into the editor's
// columns of the same kinds; what finds no column is added to `nonPlaces`.
void PlaceLigneSauvee(TMultPageDlg& ed, int ligne, const QStringList& cellules, const std::vector<int>& types,
                      const QStringList& titres, QStringList& nonPlaces)
{
    using P = TPreference_Ecran;
    std::vector<bool> pris(types.size(), false);
    auto sauvee = [&](int type) -> const QString* {
        for (std::size_t s = 1; s < types.size(); ++s)
            if (types[s] == type) {
                pris[s] = true;
                return &cellules[static_cast<qsizetype>(s)];
            }
        return nullptr;
    };
    // Widths and heights move between one column and two through the layout's separator.
    struct Paire {
        int une, premiere, seconde;
        char separateur;
    };
    const Paire paires[] = {{P::Largeur, P::LargeurG, P::LargeurD, ed.Preferences->GLargeur.Separateur},
                            {P::Hauteur, P::HautSup, P::HautInf, ed.Preferences->GHauteur.Separateur}};
    auto texte = [&](int type) -> std::optional<QString> {
        if (const QString* t = sauvee(type))
            return *t;
        for (const Paire& p : paires) {
            const QChar sep = QChar::fromLatin1(p.separateur);
            if (type == p.une) {
                const QString* a = sauvee(p.premiere);
                const QString* b = sauvee(p.seconde);
                if (a || b) {
                    const QString debut = a ? *a : QString();
                    return b && !b->isEmpty() ? debut + sep + *b : debut;
                }
            } else if (type == p.premiere || type == p.seconde) {
                if (const QString* t = sauvee(p.une))
                    return type == p.premiere ? t->section(sep, 0, 0) : t->section(sep, 1);
            }
        }
        return std::nullopt;
    };
    ed.FixeCellule(ligne, 0, cellules.value(0));
    for (int k = 1; k < ed.NbColonnesGrille(); ++k) {
        if (const std::optional<QString> t = texte(ed.TypeColonne(k)))
            ed.FixeCellule(ligne, k, *t);
        else if (!ed.Feuille.LigneVisee(ligne))
            ed.FixeCellule(ligne, k, {});  // a column the saved layout had not: no unit beside a station
    }
    // A flag left at "N" says only that the value beside it is not used.
    for (std::size_t s = 1; s < types.size(); ++s) {
        const QString& t = cellules[static_cast<qsizetype>(s)];
        if (pris[s] || t.isEmpty() || (t == QLatin1String("N") && types[s] >= 64 && types[s] < 128))
            continue;
        const QString colonne = titres.value(static_cast<qsizetype>(s)).isEmpty()
                                    ? QStringLiteral("colonne %1").arg(s)
                                    : titres.value(static_cast<qsizetype>(s));
        const QString ou = ed.Feuille.LigneVisee(ligne) ? QStringLiteral("visée %1").arg(cellules.value(0))
                                                        : QStringLiteral("point %1").arg(cellules.value(1));
        nonPlaces << QStringLiteral("%1, %2 : « %3 »").arg(ou, colonne, t);
    }
}

// The saved parts (rows after the titles) that a layout of one column would mix.
std::vector<PartieMelee> PartiesSauveesMelees(const TPreference_Ecran& p, const std::vector<QStringList>& lignes,
                                              const std::vector<int>& types)
{
    std::vector<PartieMelee> melees;
    for (std::size_t r = 1; r < lignes.size(); ++r)
        for (std::size_t s = 1; s < types.size(); ++s) {
            const std::string texte = lignes[r].value(static_cast<qsizetype>(s)).toStdString();
            if (const int groupe = GroupeMele(p, types[s], texte); groupe >= 0)
                melees.push_back({groupe, types[s], lignes[r].value(0).toStdString(), texte});
        }
    return melees;
}

// The sheet a block was saved from. The block keeps only the low 16 bits of its order number:
// the one sheet with those bits, whatever its address (the caver may have corrected it), and
// the address chooses among several. 0xFFFF marks a new sheet, which a sheet with those bits
// is only by its address. Null otherwise, with `voulue` the sheet that may have been meant.
TFiche* FicheSauvee(const TMassif& m, uint16_t ordre, const std::vector<std::string>& adresse, TFiche*& voulue)
{
    ListeFiches memes, adresses;
    for (TFiche* f : m.Fiches) {
        if (!f || (static_cast<uint32_t>(f->Ordre) & 0xFFFF) != ordre)
            continue;
        memes.push_back(f);
        if (adresse ==
            std::vector<std::string>{f->Systeme.Chaine(), f->Cavite.Chaine(), f->Reseau.Chaine(), f->Lieu.Chaine()})
            adresses.push_back(f);
    }
    if (memes.size() == 1 && ordre != 0xFFFF)
        return memes[0];
    if (adresses.size() == 1)
        return adresses[0];
    voulue = !adresses.empty() ? adresses[0] : !memes.empty() ? memes[0] : nullptr;
    return nullptr;
}

}  // namespace

bool TMultPageDlg::Visible() const { return isVisible(); }

void TMultPageDlg::SauveSaisie(TBufferStream& f)
{
    for (QWidget* w : {static_cast<QWidget*>(Systeme), static_cast<QWidget*>(Cavite), static_cast<QWidget*>(Reseau),
                       static_cast<QWidget*>(Lieu)})
        Ecrit(f, static_cast<QLineEdit*>(w)->text());
    // A year the field cannot read yet is kept as typed.
    std::string date;
    Ecrit(f, LitDateLongue(Date, date) ? DepuisCp1252(date) : Date->displayText());
    Ecrit(f, Declinaison->text());
    Ecrit(f, UniteDecli->currentText());
    const QStringList lignes = LignesMemo(Topographe);
    f.EcritU16(static_cast<uint16_t>(std::min<qsizetype>(lignes.size(), kMaxLignes)));
    for (qsizetype i = 0; i < lignes.size() && i < kMaxLignes; ++i)
        Ecrit(f, lignes[i]);
    Ecrit(f, TPST->text());
    Ecrit(f, Premiere->text());
    f.EcritU16(static_cast<uint16_t>(NbColonnesGrille()));
    f.EcritU16(static_cast<uint16_t>(NbLignes()));
    for (int r = 0; r < NbLignes(); ++r)
        for (int c = 0; c < NbColonnesGrille(); ++c)
            Ecrit(f, Cellule(r, c));
    f.EcritU16(EditionFiche && Fiche ? static_cast<uint16_t>(Fiche->Ordre & 0xFFFF) : 0xFFFF);
    const TPointTopo vide;
    (PremierDepart ? *PremierDepart : vide).EcritFlux(f);
    (PremierCommentaire ? *PremierCommentaire : TEco()).EcritFlux(f);
    f.EcritReel6(PremierCoefficient);
    f.EcritReel6(PremierCoefTopofil);
    const bool fin = FinSurPoint && PointFinal;
    f.EcritBooleen(fin);
    if (fin)
        PointFinal->EcritFlux(f);
    f.EcritU16(static_cast<uint16_t>(Noeuds.size()));
    for (const auto& j : Noeuds)
        j->Enregistre(f);
}

void TMultPageDlg::ChargeSaisie(TBufferStream& f, TMassif& massif)
{
    const QSignalBlocker bloque(TableauVisee);
    QStringList nonPlaces;
    std::vector<PartieMelee> melees;
    bool perdue = false;  // the sheet edited is no longer known
    TFiche* voulue = nullptr;
    Efface();
    dispositionGardee_.reset();
    ConstruitGrille(Preferences);
    try {
        for (QLineEdit* e : {Systeme, Cavite, Reseau, Lieu, Date, Declinaison})
            e->setText(Lit(f));
        UniteDecli->setEditText(Lit(f));
        const int n = Compte(f, kMaxLignes);
        for (int i = 0; i < n; ++i)
            Topographe->appendPlainText(Lit(f));
        TPST->setText(Lit(f));
        Premiere->setText(Lit(f));
        const int k = Compte(f, kMaxColonnes);
        const int r = Compte(f, kMaxLignes);
        // The grid may have been saved under another layout: its titles say which kind of
        // value each of its columns holds, and each value goes to the column of its kind.
        std::vector<QStringList> lignes(static_cast<std::size_t>(r));
        for (QStringList& cellules : lignes)
            for (int c = 0; c < k; ++c)
                cellules << Lit(f);
        const QStringList titres = r > 0 ? lignes[0] : QStringList();
        const std::vector<int> types = TypesSauves(titres);
        // Two widths (or heights) a one-column layout cannot join without mixing them keep
        // their two columns for this sheet: the layout stays the caver's for the others.
        if (Preferences)
            melees = PartiesSauveesMelees(*Preferences, lignes, types);
        if (!melees.empty())
            gardeDeuxColonnes(melees);
        for (int ligne = 1; ligne < r; ++ligne) {
            if (ligne >= NbLignes())
                AjouteLigne();
            PlaceLigneSauvee(*this, ligne, lignes[static_cast<std::size_t>(ligne)], types, titres, nonPlaces);
        }
        Feuille.NumeroteVisees();
        MontreFeuille();
        Massif = &massif;
        const uint16_t ordre = f.LitU16();
        Fiche = FicheSauvee(massif, ordre,
                            {VersCp1252(Systeme->text()), VersCp1252(Cavite->text()), VersCp1252(Reseau->text()),
                             VersCp1252(Lieu->text())},
                            voulue);
        EditionFiche = Fiche != nullptr;
        perdue = ordre != 0xFFFF && !Fiche;
        NouvelleFiche = false;
        PremierDepart = std::make_unique<TPointTopo>();
        PremierDepart->LitFlux(f);
        PremierCommentaire = std::make_unique<TEco>();
        PremierCommentaire->LitFlux(f);
        PremierCoefficient = f.LitReel6();
        PremierCoefTopofil = f.LitReel6();
        PremiereCouleur = 0;
        FinSurPoint = f.LitBooleen();
        if (FinSurPoint) {
            PointFinal = std::make_unique<TPointTopo>();
            PointFinal->LitFlux(f);
            FixeNbLignes(std::max(r, 2));
        }
        const int j = Compte(f, kMaxLignes);
        for (int i = 0; i < j; ++i) {
            auto noeud = std::make_unique<TNoeud>();
            noeud->Charge(f);
            Noeuds.push_back(std::move(noeud));
        }
    } catch (...) {
        // A damaged block leaves no half-restored sheet behind.
        Efface();
        dispositionGardee_.reset();
        ConstruitGrille(Preferences);
        Fiche = nullptr;
        EditionFiche = false;
        Massif = nullptr;
        throw;
    }
    TabSet->setCurrentIndex(0);
    FixeCelluleCourante(2, std::min(2, NbColonnesGrille() - 1));
    Modifie = true;
    if (!nonPlaces.isEmpty())
        Invite().Avertissement(
            QStringLiteral("La fiche en cours de saisie a été enregistrée avec une autre disposition "
                           "de saisie. Ces valeurs n'ont pas de colonne dans la disposition actuelle "
                           "et n'ont pas été reprises :\r") +
            ListeBornee(nonPlaces, 20));
    if (!melees.empty())
        ditDeuxColonnes(melees);
    if (perdue || voulue) {
        QString texte = perdue ? QStringLiteral("La fiche en cours de saisie ne correspond plus à une seule fiche du "
                                                "massif par son numéro et son adresse : elle est reprise")
                               : QStringLiteral("La fiche en cours de saisie est reprise");
        texte += QStringLiteral(" comme une nouvelle fiche, que « Terminer » ajoutera au massif.");
        if (voulue)
            texte += QStringLiteral("\rElle a peut-être été saisie depuis la fiche « %1 » (n° d'ordre %2).")
                         .arg(DepuisCp1252(voulue->Adresse()), DepuisCp1252(FormatEntier(voulue->Ordre)));
        Invite().Avertissement(texte);
    }
}

namespace {

bool MeleDans(const std::vector<PartieMelee>& melees, int groupe)
{
    return std::any_of(melees.begin(), melees.end(), [&](const PartieMelee& m) { return m.groupe == groupe; });
}

}  // namespace

void TMultPageDlg::gardeDeuxColonnes(const std::vector<PartieMelee>& melees)
{
    dispositionGardee_ = std::make_unique<TPreference_Ecran>(*Preferences);
    dispositionGardee_->GLargeur.DeuxColonnes |= MeleDans(melees, 0);
    dispositionGardee_->GHauteur.DeuxColonnes |= MeleDans(melees, 1);
    dispositionGardee_->ConstruitColonnes();
    TPreference_Ecran* commune = Preferences;
    ConstruitGrille(dispositionGardee_.get());
    Preferences = commune;
}

void TMultPageDlg::ditDeuxColonnes(const std::vector<PartieMelee>& melees) const
{
    const bool largeurs = MeleDans(melees, 0), hauteurs = MeleDans(melees, 1);
    const QString quoi = largeurs && hauteurs ? QStringLiteral("les largeurs et les hauteurs")
                         : largeurs           ? QStringLiteral("les largeurs")
                                              : QStringLiteral("les hauteurs");
    // Each part is named in the column it keeps in the grid.
    QStringList valeurs;
    for (const PartieMelee& m : melees)
        valeurs << QStringLiteral("visée %1, %2 : « %3 »")
                       .arg(QString::fromStdString(m.visee), Cellule(0, Feuille.ColonneType(m.type)),
                            QString::fromStdString(m.texte));
    const QString qui =
        valeurs.size() > 1 ? QStringLiteral("Des valeurs contiennent") : QStringLiteral("Une valeur contient");
    Invite().Avertissement(QStringLiteral("%1 le séparateur qui réunit deux valeurs en une colonne :\r%2\rPour ne pas "
                                          "les mélanger, cette fiche garde deux colonnes pour %3 jusqu'à ce qu'elle "
                                          "soit terminée.")
                               .arg(qui, ListeBornee(valeurs, 20), quoi));
}

void TMultPageDlg::Reouvre()
{
    TMassif* m = hote_->MassifOuvert();
    if (!m)
        return;
    const std::string nom = m->NomFichier;
    const std::string ext = nom.size() >= 4 ? MajAscii(nom.substr(nom.size() - 4)) : std::string();
    Enregistrer1->setEnabled(ext == ".FIC");
    ExecuteModal(*this);
}

}  // namespace karst
