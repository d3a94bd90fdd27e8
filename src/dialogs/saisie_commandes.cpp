// The editor's menus and the commands that shape the sheet: finishing, the next sheet,
// leaving, shots and stations.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <type_traits>

#include "dialogs/messages_communs.h"
#include "dialogs/saisie.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

namespace karst {

namespace {

const QString kDepart = QString::fromLatin1(FeuilleSaisie::kDepart);
const QString kArrivee = QString::fromLatin1(FeuilleSaisie::kArrivee);

// Every question of the editor throws work away on OK: Enter answers Annuler.
bool Confirme(const QString& texte, Icone icone) { return Invite().ConfirmePerte(texte, icone); }

}  // namespace

void TMultPageDlg::construitMenus()
{
    // Every command first writes the cell being typed; the clipboard commands act on it instead.
    auto commande = [this](QMenu* m, const char* nom, const QString& texte, auto fonction, bool termine) {
        QAction* a = m->addAction(texte);
        a->setObjectName(QString::fromLatin1(nom));
        connect(a, &QAction::triggered, this, [this, fonction, termine] {
            if (termine)
                TermineSaisieCellule();
            if constexpr (std::is_member_function_pointer_v<decltype(fonction)>)
                (this->*fonction)();
            else
                fonction();
        });
        return a;
    };
    auto item = [commande](QMenu* m, const char* nom, const QString& texte, auto fonction) {
        return commande(m, nom, texte, fonction, true);
    };
    auto presse = [commande](QMenu* m, const char* nom, const QString& texte, auto fonction) {
        return commande(m, nom, texte, fonction, false);
    };
    auto menu = [this](QMenu* parent, const char* nom, const QString& titre) {
        QMenu* m = parent ? parent : Menus->addMenu(titre);
        m->setObjectName(QString::fromLatin1(nom));
        return m;
    };
    Fiche1 = menu(nullptr, "Fiche1", QStringLiteral("&Fiche"));
    Terminer1 = item(Fiche1, "Terminer1", QStringLiteral("&Terminer"), &TMultPageDlg::Terminer1Click);
    Suivante1 = item(Fiche1, "Suivante1", QStringLiteral("&Suivante"), &TMultPageDlg::Suivante1Click);
    Fiche1->addSeparator();
    Annuler1 = item(Fiche1, "Annuler1", QStringLiteral("&Annuler"), &TMultPageDlg::Annuler1Click);
    Fiche1->addSeparator();
    Enregistrer1 =
        item(Fiche1, "Enregistrer1", QStringLiteral("&Enregistrer sur le disque"), &TMultPageDlg::Enregistrer1Click);
    Enregistrer1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    Edition1 = menu(nullptr, "Edition1", QStringLiteral("&Edition"));
    Couper1 = presse(Edition1, "Couper1", QStringLiteral("&Couper"), &TMultPageDlg::Couper1Click);
    Copier1 = presse(Edition1, "Copier1", QStringLiteral("Co&pier"), &TMultPageDlg::Copier1Click);
    Coller1 = presse(Edition1, "Coller1", QStringLiteral("C&oller"), &TMultPageDlg::Coller1Click);
    Supprimer2 = presse(Edition1, "Supprimer2", QStringLiteral("&Supprimer"), &TMultPageDlg::Supprimer2Click);
    Edition1->addSeparator();
    Importer = item(Edition1, "Importer", QStringLiteral("&Importer d'un tableur ..."), &TMultPageDlg::ImporterClick);
    Toutcopier1 = item(Edition1, "Toutcopier1", QStringLiteral("&Tout copier"), &TMultPageDlg::Toutcopier1Click);

    Point1 = menu(nullptr, "Point1", QStringLiteral("&Point"));
    Nouveau1 = item(Point1, "Nouveau1", QStringLiteral("&Nouveau ..."), [this] { InserePoint(Ligne()); });
    Modifier1 = item(Point1, "Modifier1", QStringLiteral("&Modifier ..."), [this] { Modifier(Ligne()); });
    Commentaire1 =
        item(Point1, "Commentaire1", QStringLiteral("&Commentaire ..."), [this] { InformationsGalerie(Ligne()); });
    Supprimer3 = item(Point1, "Supprimer3", QStringLiteral("&Supprimer"), [this] { SupprimePoint(Ligne()); });
    connect(Point1, &QMenu::aboutToShow, this, &TMultPageDlg::Point1Click);

    Tableau1 = menu(nullptr, "Tableau1", QStringLiteral("&Tableau"));
    Continuerenbas1 =
        item(Tableau1, "Continuerenbas1", QStringLiteral("&Continuer en bas"), &TMultPageDlg::Continuerenbas1Click);
    Tableau1->addSeparator();
    Insreruneligne1 =
        item(Tableau1, "Insreruneligne1", QStringLiteral("&Insérer une visée"), [this] { InsereVisee(Ligne()); });
    Supprimeruneligne1 = item(Tableau1, "Supprimeruneligne1", QStringLiteral("&Supprimer une visée"),
                              [this] { SupprimeVisees(Ligne()); });
    Tableau1->addSeparator();
    CorrigerLongueur1 = item(Tableau1, "Corrigerlalongueur1", QStringLiteral("Corriger la &Longueur ..."),
                             [this] { CorrigeColonne(1); });
    CorrigerAzimut1 =
        item(Tableau1, "Corrigerlazimut1", QStringLiteral("Corriger l'&Azimut ..."), [this] { CorrigeColonne(2); });
    CorrigerPente1 =
        item(Tableau1, "Corrigerlapente1", QStringLiteral("Corriger la &Pente ..."), [this] { CorrigeColonne(3); });
    connect(Tableau1, &QMenu::aboutToShow, this, &TMultPageDlg::Tableau1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Importerduntableur1 = item(PopupMenu1, "Importerduntableur1", QStringLiteral("I&mporter d'un tableur ..."),
                               &TMultPageDlg::ImporterClick);
    Insrerunevise1 = item(PopupMenu1, "Insrerunevise1", QStringLiteral("&Insérer une visée"),
                          [this] { InsereVisee(Ligne()); });
    Insrerunpoint1 = item(PopupMenu1, "Insrerunpoint1", QStringLiteral("I&nsérer un point ..."),
                          [this] { InserePoint(Ligne()); });
    Insrerunpoint1->setToolTip(QStringLiteral("Ajoute un point topo entre les visées"));
    PopupMenu1->addSeparator();
    CorrigerLongueur2 = item(PopupMenu1, "Corrigerlalongueur2", QStringLiteral("Corriger la &longueur ..."),
                             [this] { CorrigeColonne(1); });
    CorrigerAzimut2 =
        item(PopupMenu1, "Corrigerlazimut2", QStringLiteral("Corriger l'&azimut ..."), [this] { CorrigeColonne(2); });
    CorrigerPente2 =
        item(PopupMenu1, "Corrigerlapente2", QStringLiteral("Corriger la &pente ..."), [this] { CorrigeColonne(3); });
    PopupMenu1->addSeparator();
    Supprimerunevise1 = item(PopupMenu1, "Supprimerunevise1", QStringLiteral("&Supprimer une visée"),
                             [this] { SupprimeVisees(Ligne()); });
    Supprimerunpoint1 = item(PopupMenu1, "Supprimerunpoint1", QStringLiteral("S&upprimer un point"),
                             [this] { SupprimePoint(Ligne()); });
}

// ---- menus opening ----

void TMultPageDlg::Point1Click()
{
    const int r = Ligne();
    const bool visee = Feuille.LigneVisee(r), arrivee = Feuille.LigneArrivee(r), depart = Feuille.LigneDepart(r);
    Nouveau1->setEnabled(visee);
    Modifier1->setEnabled(arrivee || depart);
    Commentaire1->setEnabled(depart);
    Supprimer3->setEnabled(arrivee || depart);
}

void TMultPageDlg::Tableau1Click()
{
    Continuerenbas1->setEnabled(FinSurPoint);
    Insreruneligne1->setEnabled(Feuille.LigneVisee(Ligne()));
    Supprimeruneligne1->setEnabled(Feuille.LigneVisee(Ligne()));
}

void TMultPageDlg::PopupMenu1Popup()
{
    const int r = Ligne();
    Insrerunevise1->setEnabled(r > 1 && !Feuille.LigneDepart(r));
    Insrerunpoint1->setEnabled(r > 1 && !Feuille.LigneDepart(r));
    Supprimerunevise1->setEnabled(Feuille.LigneVisee(r));
    Supprimerunpoint1->setEnabled(r > 1 && !Feuille.LigneVisee(r));
}

// ---- finishing and leaving ----

void TMultPageDlg::apresValidation(bool modifie)
{
    hote_->MassifModifie(modifie ? Massif : nullptr, Recalcul::Automatique, true);
}

void TMultPageDlg::Terminer1Click()
{
    if (!Modifie) {
        fermetureAcceptee_ = true;
        accept();
        Efface();
        return;
    }
    if (!ValideFiche())
        return;
    RangeLargeurs();
    Efface();
    apresValidation(true);
    fermetureAcceptee_ = true;
    accept();
}

void TMultPageDlg::Suivante1Click()
{
    if (!ValideFiche())
        return;
    RangeLargeurs();
    const bool modifie = Modifie;
    Modifie = false;
    // The place, date, declination and surveyors stay for the next sheet.
    EffaceGaleries();
    OuvreFiche(nullptr, Massif, 0, Preferences);
    FixeCelluleCourante(2, std::min(2, NbColonnesGrille() - 1));
    apresValidation(modifie);
    TabSet->setCurrentIndex(0);
    TableauVisee->setFocus();
}

void TMultPageDlg::Annuler1Click() { reject(); }

bool TMultPageDlg::FormClose()
{
    if (Modifie && !Confirme(QStringLiteral("Les modifications vont être perdues."), Icone::Avertissement))
        return false;
    Efface();
    return true;
}

void TMultPageDlg::done(int r)
{
    TermineSaisieCellule();
    if (r != QDialog::Accepted || !fermetureAcceptee_) {
        if (!FormClose()) {
            hote_->MiseAJourMenus();
            return;
        }
        r = QDialog::Rejected;
    }
    fermetureAcceptee_ = false;
    const bool actif = TientClavier(*this);
    QDialog::done(r);
    // The editor is no modal window, but the keyboard goes back to its opener all the same.
    if (actif && parentWidget())
        RendClavier(parentWidget()->window());
    hote_->MiseAJourMenus();
}

void TMultPageDlg::closeEvent(QCloseEvent* e) { QDialog::closeEvent(e); }

void TMultPageDlg::Enregistrer1Click()
{
    // The unfinished sheet goes into the massif file too, in Windows-1252.
    if (accepteHorsCp1252())
        hote_->Enregistrer();
}

// ---- shots ----

void TMultPageDlg::retireLignes(int de, int n)
{
    const QSignalBlocker bloque(TableauVisee);
    for (int i = 0; i < n && de < NbLignes(); ++i)
        RetireLigneGrille(de);
}

void TMultPageDlg::InsereVisee(int ligne)
{
    if (ligne <= 1 || ligne >= NbLignes() || Feuille.LigneArrivee(ligne - 1)) {
        Invite().Avertissement(QString::fromUtf8(kTexteViseeImpossibleIci));
        return;
    }
    Modifie = true;
    int numero = Feuille.NumeroVisee(ligne);
    if (numero < 0) {
        numero = 1;
        for (int r = ligne - 1; r >= 1; --r)
            if (Feuille.NumeroVisee(r) >= 0) {
                numero = Feuille.NumeroVisee(r) + 1;
                break;
            }
    }
    {
        const QSignalBlocker bloque(TableauVisee);
        Feuille.InsereVisee(ligne, numero);
        TableauVisee->insertRow(ligne - 1);
        MontreFeuille();
    }
    FixeCelluleCourante(ligne, std::min(2, NbColonnesGrille() - 1));
}

void TMultPageDlg::SupprimeVisees(int ligne)
{
    const QRect sel = SelectionGrille();
    int premiere = ligne, nombre = 1;
    if (sel.width() <= 1) {
        if (!Feuille.LigneVisee(ligne)) {
            Invite().Avertissement(QStringLiteral("Cette ligne n'est pas une visée."));
            return;
        }
    } else {
        for (int r = sel.top(); r <= sel.bottom(); ++r)
            if (!Feuille.LigneVisee(r)) {
                Invite().Avertissement(
                    QStringLiteral("Vous ne pouvez pas supprimer en même temps des visées et des carrefours."));
                return;
            }
        premiere = sel.top();
        nombre = sel.height();
    }
    // The question names the shots that go, once they are known to be shots.
    QStringList visees;
    for (int r = premiere; r < premiere + nombre; ++r)
        visees << QString::fromStdString(Feuille.DesignationVisee(r));
    const QString question =
        nombre == 1 ? QStringLiteral("La %1 va définitivement être supprimée.").arg(visees[0])
                    : QStringLiteral("Ces %1 visées vont définitivement être supprimées :\r%2")
                          .arg(nombre)
                          .arg(ListeBornee(visees, 10));
    if (!Confirme(question, Icone::Confirmation))
        return;
    Modifie = true;
    {
        const QSignalBlocker bloque(TableauVisee);
        TableauVisee->clearSelection();
        Feuille.Renumerote(premiere + nombre, -nombre);
        MontreFeuille();
    }
    retireLignes(premiere, nombre);
    const int r = std::min(premiere, NbLignes() - 1);
    {
        const QSignalBlocker bloque(TableauVisee);
        FixeCelluleCourante(r, std::min(2, NbColonnesGrille() - 1));
    }
    TableauViseeClick();
}

// ---- stations ----

int TMultPageDlg::ArriveesAvant(int ligne) const
{
    int k = 0;
    for (int r = 2; r <= ligne && r < NbLignes(); ++r)
        k += Feuille.LigneArrivee(r);
    return k;
}

int TMultPageDlg::StationsAvant(int ligne) const
{
    int k = 0;
    for (int r = 2; r <= ligne && r < NbLignes(); ++r)
        k += !Feuille.LigneVisee(r);
    return k;
}

bool TMultPageDlg::PeutInserer(int stations) const
{
    return stations >= 2 * static_cast<int>(Noeuds.size()) && !FinSurPoint;
}

void TMultPageDlg::InserePoint(int r)
{
    if (r < 1 || r >= NbLignes())
        return;
    const int s = StationsAvant(r);
    if (!DialoguePoint())
        return;
    IDialoguePoint& d = *DialoguePoint();
    d.Initialise(PeutInserer(s) ? 3 : 1, Massif, true);
    const int resultat = d.Montre();
    if (resultat == IDialoguePoint::Valider) {
        Modifie = true;
        auto j = std::make_unique<TNoeud>();
        d.LitPoint(j->Arrivee);
        const QString arrivee = QString::fromStdString(FeuilleSaisie::TexteStation(j->Arrivee));
        d.Initialise(0, Massif, false);
        if (d.Montre() != IDialoguePoint::Valider)
            return;
        d.LitPoint(j->Depart);
        const QString depart = QString::fromStdString(FeuilleSaisie::TexteStation(j->Depart));
        // The shots below the new point go on being read with the coefficients of the gallery
        // they were typed in, the one the junctions above start.
        const std::size_t avant = std::min<std::size_t>(static_cast<std::size_t>(s / 2), Noeuds.size());
        const TNoeud* coupee = avant == 0 ? nullptr : Noeuds[avant - 1].get();
        Informations->ChargeFiche(j->Commentaire, coupee ? coupee->Coefficient : PremierCoefficient,
                                  coupee ? coupee->CoefTopofil : PremierCoefTopofil);
        if (!MontreInformations())
            return;
        Informations->EnregistreFiche(j->Commentaire, j->Coefficient, j->CoefTopofil);
        j->Couleur = 0;
        const QString commentaire = DepuisCp1252(j->Commentaire.Chaine());
        {
            const QSignalBlocker bloque(TableauVisee);
            InsereStation(r, kArrivee, {}, arrivee);
            InsereStation(r + 1, kDepart, commentaire, depart);
        }
        Noeuds.insert(Noeuds.begin() + static_cast<std::ptrdiff_t>(avant), std::move(j));
        FixeCelluleCourante(std::min(r + 2, NbLignes() - 1), std::min(2, NbColonnesGrille() - 1));
    } else if (resultat == IDialoguePoint::PointFinal) {
        if (d.Modifie())
            Modifie = true;
        // The sheet often ends on the shot just typed: that shot stays, and the end goes
        // after it. Only what lies below is dropped, and asked about only when it holds a
        // value: an empty row, the one Enter leads to after the last shot, loses nothing.
        const int fin = Feuille.LigneSaisie(r) ? r + 1 : r;
        bool perte = false;
        for (int k = fin; k < NbLignes() && !perte; ++k)
            perte = !Feuille.LigneVisee(k) || Feuille.LigneSaisie(k);
        if (perte && !Confirme(QStringLiteral("Toutes les valeurs en dessous de cette ligne vont être perdues."),
                               Icone::Avertissement))
            return;
        PointFinal = std::make_unique<TPointTopo>();
        d.LitPoint(*PointFinal);
        FinSurPoint = true;
        {
            const QSignalBlocker bloque(TableauVisee);
            InsereStation(fin, kArrivee, {}, QString::fromStdString(FeuilleSaisie::TexteStation(*PointFinal)));
            FixeNbLignes(fin + 1);
        }
        FixeCelluleCourante(fin - 1, std::max(Colonne(), 1));
    }
}

void TMultPageDlg::Modifier(int ligne)
{
    if (Feuille.LigneDepart(ligne))
        ModifieDepart(ligne);
    else if (Feuille.LigneArrivee(ligne))
        ModifieArrivee(ligne);
}

void TMultPageDlg::ModifieDepart(int ligne)
{
    const int k = ArriveesAvant(ligne);
    if (k == 0 && !PremierDepart)
        PremierDepart = std::make_unique<TPointTopo>();
    if (k > static_cast<int>(Noeuds.size()))
        return;
    TPointTopo& p = k == 0 ? *PremierDepart : Noeuds[static_cast<std::size_t>(k - 1)]->Depart;
    if (!DialoguePoint())
        return;
    IDialoguePoint& d = *DialoguePoint();
    d.Initialise(0, Massif, true);
    d.AffichePoint(p);
    if (d.Montre() != IDialoguePoint::Valider)
        return;
    if (d.Modifie())
        Modifie = true;
    d.LitPoint(p);
    FixeCellule(k == 0 ? 1 : ligne, 1, QString::fromStdString(FeuilleSaisie::TexteStation(p)));
}

void TMultPageDlg::ModifieArrivee(int ligne)
{
    const int k = ArriveesAvant(ligne);
    TPointTopo* p = nullptr;
    if (k >= 1 && k <= static_cast<int>(Noeuds.size()))
        p = &Noeuds[static_cast<std::size_t>(k - 1)]->Arrivee;
    else
        p = PointFinal.get();
    if (!p)
        return;
    if (!DialoguePoint())
        return;
    IDialoguePoint& d = *DialoguePoint();
    d.Initialise(1, Massif, true);
    d.AffichePoint(*p);
    if (d.Montre() != IDialoguePoint::Valider)
        return;
    if (d.Modifie())
        Modifie = true;
    d.LitPoint(*p);
    FixeCellule(ligne, 1, QString::fromStdString(FeuilleSaisie::TexteStation(*p)));
}

void TMultPageDlg::InformationsGalerie(int ligne)
{
    const int k = ArriveesAvant(ligne);
    if (ligne != 1 && (k < 1 || k > static_cast<int>(Noeuds.size())))
        return;
    if (!PremierCommentaire)
        PremierCommentaire = std::make_unique<TEco>();
    TEco& commentaire = ligne == 1 ? *PremierCommentaire : Noeuds[static_cast<std::size_t>(k - 1)]->Commentaire;
    Reel6& coef = ligne == 1 ? PremierCoefficient : Noeuds[static_cast<std::size_t>(k - 1)]->Coefficient;
    Reel6& topofil = ligne == 1 ? PremierCoefTopofil : Noeuds[static_cast<std::size_t>(k - 1)]->CoefTopofil;
    Informations->ChargeFiche(commentaire, coef, topofil);
    if (!MontreInformations())
        return;
    Informations->EnregistreFiche(commentaire, coef, topofil);
    const int obs = Feuille.ColonneType(TPreference_Ecran::Observations);
    if (obs > 0)
        FixeCellule(ligne, obs, DepuisCp1252(commentaire.Chaine()));
}

bool TMultPageDlg::MontreInformations()
{
    if (Informations->Montre() != QDialog::Accepted)
        return false;
    if (Informations->Modifie)
        Modifie = true;
    return true;
}

void TMultPageDlg::SupprimePoint(int ligne)
{
    const int derniere = NbLignes() - 1;
    if (!Feuille.LigneVisee(ligne) && ligne > 1 && ligne < derniere) {
        // The junction's end row, and its start row just below.
        if (Feuille.LigneDepart(ligne))
            --ligne;
        const QString arrivee = Cellule(ligne, 1), depart = Cellule(ligne + 1, 1);
        const QString points = arrivee == depart
                                   ? QStringLiteral("Le carrefour « %1 »").arg(arrivee)
                                   : QStringLiteral("Les deux points « %1 » et « %2 »").arg(arrivee, depart);
        if (!Confirme(points + QStringLiteral(" et les informations correspondantes vont être supprimés : les deux "
                                              "galeries n'en feront plus qu'une."),
                      Icone::Confirmation))
            return;
        Modifie = true;
        const int k = ArriveesAvant(ligne);
        if (k >= 1 && k <= static_cast<int>(Noeuds.size()))
            Noeuds.erase(Noeuds.begin() + (k - 1));
        retireLignes(ligne, 2);
        const QSignalBlocker bloque(TableauVisee);
        FixeCelluleCourante(std::min(ligne, NbLignes() - 1), std::max(Colonne(), 1));
    } else if (ligne == derniere && FinSurPoint) {
        if (!Confirme(QStringLiteral("Supprimer le dernier point « %1 » et continuer ?").arg(Cellule(derniere, 1)),
                      Icone::Confirmation))
            return;
        Modifie = true;
        PointFinal.reset();
        FinSurPoint = false;
        retireLignes(derniere, 1);
        FixeCelluleCourante(NbLignes() - 1, std::max(Colonne(), 1));
    }
}

void TMultPageDlg::Continuerenbas1Click()
{
    if (!FinSurPoint || !PointFinal)
        return;
    const int r = NbLignes() - 1;
    if (!DialoguePoint())
        return;
    IDialoguePoint& d = *DialoguePoint();
    d.Initialise(0, Massif, true);
    if (d.Montre() != IDialoguePoint::Valider)
        return;
    Modifie = true;
    FinSurPoint = false;
    {
        const QSignalBlocker bloque(TableauVisee);
        FixeCelluleCourante(r, 1);
    }
    TableauViseeClick();  // appends the next shot row
    auto j = std::make_unique<TNoeud>();
    j->Arrivee.Copie(*PointFinal);
    PointFinal.reset();
    d.LitPoint(j->Depart);
    const QString depart = QString::fromStdString(FeuilleSaisie::TexteStation(j->Depart));
    Informations->ChargeFiche(j->Commentaire, 1.0L, 1.0L);
    if (MontreInformations()) {
        Informations->EnregistreFiche(j->Commentaire, j->Coefficient, j->CoefTopofil);
    } else {
        j->Commentaire.Affecte({});
        j->Coefficient = 1.0L;
        j->CoefTopofil = 1.0L;
    }
    j->Couleur = 0;
    {
        const QSignalBlocker bloque(TableauVisee);
        InsereStation(r + 1, kDepart, DepuisCp1252(j->Commentaire.Chaine()), depart);
    }
    Noeuds.push_back(std::move(j));
    FixeCelluleCourante(std::min(r + 2, NbLignes() - 1), std::min(2, NbColonnesGrille() - 1));
}

// ---- layout ----

void TMultPageDlg::RangeLargeurs()
{
    // A sheet that kept a layout of its own has columns the caver's layout has not.
    if (!Preferences || dispositionGardee_)
        return;
    TPreference_Ecran& p = *Preferences;
    for (int k = 1; k <= p.NbColonnes && k < NbColonnesGrille(); ++k) {
        // A column is drawn wider than its layout when a title or a value needs it: only a
        // width the caver chose (a drag, a fit to the column's texts) goes to the layout.
        const int largeur = LargeurColonne(k);
        if (static_cast<std::size_t>(k) < largeursPosees_.size() &&
            largeursPosees_[static_cast<std::size_t>(k)] == largeur)
            continue;
        const auto w = static_cast<uint16_t>(std::clamp(largeur, 0, 0xFFFF));
        p.Colonnes[static_cast<std::size_t>(k)].Largeur = w;
        switch (TypeColonne(k)) {
        case TPreference_Ecran::Point: p.GPoint.Largeur = w; break;
        case TPreference_Ecran::Longueur: p.GLongueur.Largeur = w; break;
        case TPreference_Ecran::Azimut: p.GAzimut.Largeur = w; break;
        case TPreference_Ecran::Pente: p.GPente.Largeur = w; break;
        case TPreference_Ecran::Largeur:
        case TPreference_Ecran::LargeurG:
        case TPreference_Ecran::LargeurD: p.GLargeur.Largeur = w; break;
        case TPreference_Ecran::Hauteur:
        case TPreference_Ecran::HautSup:
        case TPreference_Ecran::HautInf: p.GHauteur.Largeur = w; break;
        case TPreference_Ecran::UniteLongueur: p.GLongueur.LargeurUnite = w; break;
        case TPreference_Ecran::UniteAzimut: p.GAzimut.LargeurUnite = w; break;
        case TPreference_Ecran::UnitePente: p.GPente.LargeurUnite = w; break;
        case TPreference_Ecran::UniteLargeur: p.GLargeur.LargeurUnite = w; break;
        case TPreference_Ecran::UniteHauteur: p.GHauteur.LargeurUnite = w; break;
        case TPreference_Ecran::Croquis: p.GCroquis.Largeur = w; break;
        case TPreference_Ecran::Observations: p.GCommentaires.Largeur = w; break;
        case TPreference_Ecran::DrapeauHorizontal: p.GHorizontal.LargeurDrapeau = w; break;
        case TPreference_Ecran::DrapeauDeveloppement: p.GDeveloppement.LargeurDrapeau = w; break;
        case TPreference_Ecran::CorrHorizontale: p.GHorizontal.LargeurValeur = w; break;
        case TPreference_Ecran::DevManuel: p.GDeveloppement.LargeurValeur = w; break;
        default: break;
        }
    }
}

}  // namespace karst
