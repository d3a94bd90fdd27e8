// The unfinished sheet at the end of a binary massif file.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>

#include "dialogs/saisie.h"
#include "formulaires/controles.h"
#include "platform/modal.h"
#include "platform/texte.h"
#include "survey/flux.h"

namespace karst {

namespace {

// Longest lists the block may announce: beyond, the file is damaged.
constexpr int kMaxLignes = 32767;
constexpr int kMaxColonnes = 1000;

void Ecrit(TBufferStream& f, const QString& texte) { f.EcritChaine(VersCp1252(texte)); }
QString Lit(TBufferStream& f) { return DepuisCp1252(f.LitChaine()); }

int Compte(TBufferStream& f, int maximum)
{
    const int n = f.LitU16();
    if (n > maximum)
        throw ErreurFichierEndommage(f.MessageEndommage());
    return n;
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
    Efface();
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
        for (int ligne = 0; ligne < r; ++ligne) {
            if (ligne >= NbLignes())
                AjouteLigne();
            // Cells beyond the present layout's columns are dropped.
            for (int c = 0; c < k; ++c) {
                const QString t = Lit(f);
                if (c < NbColonnesGrille())
                    FixeCellule(ligne, c, t);
            }
        }
        Massif = &massif;
        const uint16_t ordre = f.LitU16();
        Fiche = ordre == 0xFFFF ? nullptr : massif.FicheParOrdre(static_cast<int16_t>(ordre));
        EditionFiche = Fiche != nullptr;
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
        ConstruitGrille(Preferences);
        Fiche = nullptr;
        EditionFiche = false;
        Massif = nullptr;
        throw;
    }
    TabSet->setCurrentIndex(0);
    FixeCelluleCourante(2, std::min(2, NbColonnesGrille() - 1));
    Modifie = true;
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
