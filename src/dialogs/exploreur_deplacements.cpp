// The explorer's moves: delete into the bin, restore, empty the bin, rename, cut, copy and
// paste, drag and drop, and the undo of each step. Folders exist only as the address
// texts of the sheets, so moving a folder rewrites those texts in each of its sheets.

#include <QStandardItemModel>
#include <QTimer>
#include <algorithm>
#include <set>

#include "calcul/drapeaux.h"
#include "dialogs/exploreur.h"
#include "dialogs/hors_cp1252.h"
#include "dialogs/messages_communs.h"
#include "platform/interlocuteur.h"
#include "platform/texte.h"

namespace karst {

namespace {

// A folder so named would pass for the bin: the tree and the list undo that name.
bool NomDeCorbeille(const std::string& texte) { return texte == "Corbeille"; }

TOrigine Origine(const TFiche& f)
{
    TOrigine o;
    o.Ordre = f.Ordre;
    o.Systeme = f.Systeme.Chaine();
    o.Cavite = f.Cavite.Chaine();
    o.Reseau = f.Reseau.Chaine();
    o.Lieu = f.Lieu.Chaine();
    return o;
}

void ArreteCalcul()
{
    if (CalculEnCours)
        ArretCalcul = true;
}

bool Oui(const QString& question, Bouton non)
{
    return Invite().Message(question, Icone::Avertissement, {Bouton::Oui, non}) == Bouton::Oui;
}

void Refus(const QString& texte) { Invite().Message(texte, Icone::Aucune, {Bouton::OK}); }

}  // namespace

void TExploreur::epilogue(bool calcul, bool fiches)
{
    hote_.MassifModifie(massif(), calcul ? Recalcul::Automatique : Recalcul::Aucun, true);
    // The views name their selection by its place in the list, which has just moved.
    if (fiches)
        hote_.FichesChangees();
}

void TExploreur::oublieOrdres(const std::set<int32_t>& ordres)
{
    for (auto& pas : Annulations) {
        auto& o = pas->Origines;
        o.erase(std::remove_if(o.begin(), o.end(), [&](const TOrigine& r) { return ordres.count(r.Ordre) > 0; }),
                o.end());
    }
    // A step left with no sheet would use up a press of "Annuler" for nothing.
    std::erase_if(Annulations, [](const std::unique_ptr<TDeplacement>& pas) { return pas->Origines.empty(); });
    if (PressePapier.Ordre >= 0 && ordres.count(PressePapier.Ordre))
        PressePapier = {};
}

void TExploreur::suitOrdre(int32_t ancien, int32_t nouveau)
{
    for (auto& pas : Annulations)
        for (TOrigine& o : pas->Origines)
            if (o.Ordre == ancien)
                o.Ordre = nouveau;
    if (PressePapier.Ordre == ancien)
        PressePapier.Ordre = nouveau;
}

void TExploreur::oublieFiche(const TFiche* f)
{
    for (int i = ListView1->Nombre(); i-- > 0;)
        if (ListView1->Fiche(i) == f)
            ListView1->Modele()->removeRow(i);
}

bool TExploreur::source(QTreeWidgetItem*& noeud, TFiche*& fiche, const QString& refusCorbeille,
                        const QString& refusRacine, const QString& refusDansCorbeille)
{
    noeud = nullptr;
    fiche = nullptr;
    if (focus_ == Controle::Arbre) {
        QTreeWidgetItem* sel = NoeudSelectionne();
        if (!sel) {
            Refus(QString::fromUtf8(kTexteRienDeChoisi));
            return false;
        }
        if (EstCorbeille(sel)) {
            Refus(refusCorbeille);
            return false;
        }
        if (sel == racine_) {
            Refus(refusRacine);
            return false;
        }
        noeud = sel;
        return true;
    }
    const int l = ListView1->Selection();
    // Nothing is taken out of the open bin but by « Restaurer ».
    if (focus_ == Controle::Liste && (corbeilleOuverte() || (l >= 0 && ListView1->Image(l) == 2))) {
        Refus(refusDansCorbeille);
        return false;
    }
    if (focus_ != Controle::Liste || l < 0) {
        Refus(QString::fromUtf8(kTexteRienDeChoisi));
        return false;
    }
    if (dansLieu()) {
        fiche = ListView1->Fiche(l);
        return fiche != nullptr;
    }
    noeud = Noeud_Equivalent();
    return noeud != nullptr;
}

// ---- delete, restore, empty ----

void TExploreur::Supprime()
{
    TMassif* m = massif();
    QTreeWidgetItem* noeud;
    TFiche* fiche;
    if (!m || !source(noeud, fiche, QStringLiteral("Impossible de supprimer la corbeille"),
                      QStringLiteral("Impossible de supprimer tout le massif"),
                      QStringLiteral("Impossible de supprimer dans la corbeille")))
        return;
    if (fiche) {
        if (!Oui(QStringLiteral("Mettre la fiche dans la corbeille ?"), Bouton::Annuler))
            return;
        fiche->RetireDeLaCoupe(*m);
        ArreteCalcul();
        auto pas = std::make_unique<TDeplacement>();
        pas->Origines.push_back(Origine(*fiche));
        Annulations.push_back(std::move(pas));
        oublieFiche(fiche);
        m->JetteFiche(fiche);
        epilogue(true, true);
        return;
    }
    if (!Oui(QStringLiteral("Mettre le dossier %1 dans la corbeille ?").arg(noeud->text(0)), Bouton::Annuler))
        return;
    const Adresse a = Localisation_Noeud(noeud);
    const int d = Niveau(noeud);
    ArreteCalcul();
    auto pas = std::make_unique<TDeplacement>();
    for (TFiche* f : FichesDossier(a, d)) {
        f->RetireDeLaCoupe(*m);
        oublieFiche(f);
        m->JetteFiche(f);
        pas->Origines.push_back(Origine(*f));
    }
    Annulations.push_back(std::move(pas));
    epilogue(true, true);
}

void TExploreur::ajouteDeCorbeille(TFiche* f, TDeplacement& pas)
{
    TMassif* m = massif();
    std::unique_ptr<TFiche> p = m->Corbeille.retire(f);
    if (!p)
        return;
    const int32_t ancien = p->Ordre;
    TFiche* r = m->AjouteFiche(std::move(p), true);
    // Out of the bin the sheet takes a new number: what remembers it follows.
    suitOrdre(ancien, r->Ordre);
    for (TGalerie* g : r->Galeries)
        g->Placee = false;
    TOrigine o = Origine(*r);
    o.SortieCorbeille = true;
    pas.Origines.push_back(o);
}

void TExploreur::Restaurer1Click()
{
    TMassif* m = massif();
    if (!m)
        return;
    if (focus_ == Controle::Liste && corbeilleOuverte()) {
        Restaurer2Click();
        return;
    }
    auto pas = std::make_unique<TDeplacement>();
    for (std::size_t i = m->Corbeille.size(); i-- > 0;) {
        TFiche* f = m->Corbeille[i];
        if (f) {
            oublieFiche(f);
            ajouteDeCorbeille(f, *pas);
        }
    }
    Annulations.push_back(std::move(pas));
    m->Corbeille.compacte();
    epilogue(true, true);
}

void TExploreur::Restaurer2Click()
{
    TMassif* m = massif();
    const int l = ListView1->Selection();
    if (!m || l < 0)
        return;
    TFiche* f = ListView1->Fiche(l);
    if (!f || std::find(m->Corbeille.begin(), m->Corbeille.end(), f) == m->Corbeille.end())
        return;
    oublieFiche(f);
    auto pas = std::make_unique<TDeplacement>();
    ajouteDeCorbeille(f, *pas);
    m->Corbeille.compacte();
    Annulations.push_back(std::move(pas));
    epilogue(true, true);
}

void TExploreur::Vider1Click()
{
    TMassif* m = massif();
    if (!m)
        return;
    m->Corbeille.compacte();
    const std::size_t n = m->Corbeille.size();
    if (n == 0) {
        Refus(QStringLiteral("La corbeille est vide."));
        return;
    }
    // Emptying the bin cannot be undone: Enter answers Non.
    if (!Invite().ConfirmePerte(n == 1 ? QStringLiteral("Êtes-vous sûr de vouloir effacer cette fiche ?")
                                       : QStringLiteral("Êtes-vous sûr de vouloir effacer ces %1 fiches ?").arg(n),
                                Icone::Avertissement, {Bouton::Oui, Bouton::Non}))
        return;
    std::set<int32_t> ordres;
    for (TFiche* f : m->Corbeille) {
        ordres.insert(f->Ordre);
        oublieFiche(f);
        if (m->Selection)
            m->Selection->erase(std::remove(m->Selection->begin(), m->Selection->end(), f), m->Selection->end());
    }
    oublieOrdres(ordres);
    m->Corbeille.vide();
    epilogue(false);
}

// ---- rename ----

void TExploreur::Renommer1Click()
{
    if (focus_ == Controle::Arbre) {
        QTreeWidgetItem* n = NoeudSelectionne();
        if (!n || !TreeView1Editing(n))
            return;
        TreeView1->setFocus();
        TreeView1->editItem(n, 0);
    } else if (focus_ == Controle::Liste) {
        const int l = ListView1->Selection();
        if (l >= 0 && ListView1Editing(l))
            ListView1->EditeSelection();
    }
}

bool TExploreur::TreeView1Editing(QTreeWidgetItem* n) const { return n && !EstCorbeille(n) && n != racine_; }

bool TExploreur::ListView1Editing(int ligne) const
{
    QTreeWidgetItem* sel = NoeudSelectionne();
    return sel && Niveau(sel) < 4 && !EstCorbeille(sel) && ligne >= 0 && ListView1->Image(ligne) != 2;
}

void TExploreur::renomme(const Adresse& a, int niveau, const std::string& texte)
{
    auto pas = std::make_unique<TDeplacement>();
    for (TFiche* f : FichesDossier(a, niveau)) {
        if (PartieAdresse(*f, niveau).Chaine() == texte)
            continue;
        pas->Origines.push_back(Origine(*f));
        PartieAdresse(*f, niveau).Affecte(texte);
    }
    garde(std::move(pas));
}

bool TExploreur::garde(std::unique_ptr<TDeplacement> pas)
{
    // A move or a rename that changed no sheet is no step of the caver's.
    if (pas->Origines.empty())
        return false;
    Annulations.push_back(std::move(pas));
    epilogue(false);
    return true;
}

bool TExploreur::NomGarde(const QString& texte, const std::vector<std::string>& voisins) const
{
    const std::string nom = VersCp1252(texte);
    QString question = QStringLiteral("Le garder ainsi ?");
    if (const auto v = std::find_if(voisins.begin(), voisins.end(),
                                    [&](const std::string& s) { return EgalSansCasse(s, nom); });
        v != voisins.end() && !CaracteresPerdus(texte).isEmpty())
        question = QStringLiteral("Le dossier sera alors confondu avec « %1 ». Le garder ainsi ?").arg(DepuisCp1252(*v));
    return TexteARevoir({{QStringLiteral("Le nouveau nom"), texte}}, question) < 0;
}

void TExploreur::TreeView1Edited(QTreeWidgetItem* n, const std::string& texte)
{
    if (!massif() || !TreeView1Editing(n) || NomDeCorbeille(texte))
        return;
    renomme(Localisation_Noeud(n), Niveau(n), texte);
    n->setText(0, DepuisCp1252(texte));
}

void TExploreur::ListView1Edited(int ligne, const std::string& texte)
{
    if (!massif())
        return;
    if (dansLieu()) {
        Refus(QStringLiteral("Changement de nom interdit"));
        return;
    }
    if (!ListView1Editing(ligne) || NomDeCorbeille(texte))
        return;
    ListView1->Selectionne(ligne);
    QTreeWidgetItem* n = Noeud_Equivalent();
    if (!n)
        return;
    renomme(Localisation_Noeud(n), Niveau(n), texte);
    ListView1->Modele()->item(ligne, 0)->setText(DepuisCp1252(texte));
}

// ---- cut, copy, paste ----

bool TExploreur::prendPressePapier()
{
    QTreeWidgetItem* noeud;
    TFiche* fiche;
    if (!source(noeud, fiche, QStringLiteral("Impossible de déplacer la corbeille"),
                QStringLiteral("Impossible de déplacer tout le massif"),
                QStringLiteral("Impossible de déplacer depuis la corbeille")))
        return false;
    TPressePapier p;
    p.Rempli = true;
    p.Couper = true;
    if (fiche) {
        p.adresse = Localisation_Noeud(NoeudSelectionne());
        p.Ordre = fiche->Ordre;
        p.Profondeur = 4;
        p.DepuisArbre = false;
    } else {
        p.adresse = Localisation_Noeud(noeud);
        p.Ordre = -1;
        p.DepuisArbre = focus_ == Controle::Arbre;
        p.Profondeur = Niveau(noeud);
    }
    PressePapier = p;
    return true;
}

void TExploreur::Couper() { prendPressePapier(); }

void TExploreur::Copier()
{
    // A refusal leaves the clipboard as it was, cut mode included.
    if (prendPressePapier())
        PressePapier.Couper = false;
}

void TExploreur::deplace(const ListeFiches& fiches, const Adresse& d, int profondeur, TDeplacement& pas)
{
    for (TFiche* f : fiches) {
        // A sheet already there is not moved: pasted on the massif's root, which names no
        // system, a sheet keeps every name it had.
        const TOrigine o = Origine(*f);
        if ((profondeur < 1 || o.Systeme == d[0]) && (profondeur < 2 || o.Cavite == d[1]) &&
            (profondeur < 3 || o.Reseau == d[2]) && (profondeur < 4 || o.Lieu == d[3]))
            continue;
        pas.Origines.push_back(o);
        f->Systeme.Affecte(d[0]);
        if (profondeur >= 2)
            f->Cavite.Affecte(d[1]);
        if (profondeur >= 3)
            f->Reseau.Affecte(d[2]);
        if (profondeur >= 4)
            f->Lieu.Affecte(d[3]);
    }
}

void TExploreur::Coller()
{
    TMassif* m = massif();
    if (!m)
        return;
    auto versCorbeille = [this] {
        if (!PressePapier.Couper)
            Refus(QStringLiteral("Impossible de dupliquer vers la corbeille"));
    };
    QTreeWidgetItem* dest = nullptr;
    const int l = ListView1->Selection();
    if (focus_ == Controle::Liste && l >= 0) {
        if (ListView1->Image(l) == 2 || corbeilleOuverte()) {
            versCorbeille();
            return;
        }
        if (dansLieu()) {
            Refus(QStringLiteral("Impossible de copier sur une fiche"));
            return;
        }
        dest = Noeud_Equivalent();
    } else {
        dest = focus_ == Controle::Liste ? dossierListe() : NoeudSelectionne();
        if (EstCorbeille(dest)) {
            versCorbeille();
            return;
        }
    }
    if (!dest) {
        Refus(QStringLiteral("Choisissez d'abord le dossier où coller."));
        return;
    }
    if (!PressePapier.Rempli) {
        Refus(QStringLiteral("Il n'y a rien à coller : coupez ou copiez d'abord un dossier ou une fiche."));
        return;
    }
    const Adresse d = Localisation_Noeud(dest);
    const int e = Niveau(dest);
    auto pas = std::make_unique<TDeplacement>();
    // The sheets are chosen before any copy is added, so that no copy is copied again.
    ListeFiches fiches;
    if (PressePapier.Ordre >= 0) {
        for (TFiche* f : m->Fiches)
            if (f && f->Ordre == PressePapier.Ordre)
                fiches.push_back(f);
    } else {
        fiches = FichesDossier(PressePapier.adresse, PressePapier.Profondeur);
    }
    if (PressePapier.Couper) {
        deplace(fiches, d, e, *pas);
        if (garde(std::move(pas)))
            PressePapier.Rempli = false;
        return;
    }
    for (TFiche* source : fiches) {
        auto copie = std::make_unique<TFiche>();
        copie->Copie(*source);
        TFiche* c = m->AjouteFiche(std::move(copie), true);
        TDeplacement inutile;
        deplace({c}, d, e, inutile);
        TOrigine o;
        o.Ordre = c->Ordre;
        o.EstCopie = true;
        pas->Origines.push_back(o);
    }
    if (pas->Origines.empty())
        return;
    Annulations.push_back(std::move(pas));
    epilogue(false, true);
}

// ---- drag and drop ----

QTreeWidgetItem* TExploreur::dossierGlisse(Controle source)
{
    QTreeWidgetItem* sel = NoeudSelectionne();
    if (source == Controle::Liste && sel && Niveau(sel) < 4 && !EstCorbeille(sel))
        return ListView1->Selection() >= 0 ? Noeud_Equivalent() : nullptr;
    return sel;
}

bool TExploreur::TreeView1DragOver(Controle source, QTreeWidgetItem* cible)
{
    if (source == Controle::Aucun || !cible || !massif())
        return false;
    QTreeWidgetItem* glisse = dossierGlisse(source);
    if (!glisse || EstCorbeille(glisse) || cible == glisse)
        return false;
    for (QTreeWidgetItem* p = cible->parent(); p; p = p->parent())
        if (p == glisse)
            return false;  // inside the dragged folder
    for (QTreeWidgetItem* p = glisse->parent(); p; p = p->parent())
        if (p == cible)
            return false;  // one of its ancestors
    return true;
}

void TExploreur::TreeView1DragDrop(Controle source, QTreeWidgetItem* cible)
{
    if (!TreeView1DragOver(source, cible))
        return;
    if (EstCorbeille(cible)) {
        focus_ = source;
        Supprime();
        return;
    }
    QTreeWidgetItem* glisse = dossierGlisse(source);
    const Adresse t = Localisation_Noeud(cible);
    const int pt = Niveau(cible);
    ListeFiches fiches;
    if (source == Controle::Liste && dansLieu()) {
        const int l = ListView1->Selection();
        if (TFiche* f = l >= 0 ? ListView1->Fiche(l) : nullptr)
            fiches.push_back(f);
    } else {
        fiches = FichesDossier(Localisation_Noeud(glisse), Niveau(glisse));
    }
    auto pas = std::make_unique<TDeplacement>();
    deplace(fiches, t, pt, *pas);
    garde(std::move(pas));
}

bool TExploreur::ListView1DragOver(Controle source, int cible)
{
    const int l = ListView1->Selection();
    return source == Controle::Liste && massif() && cible >= 0 && l >= 0 && ListView1->Image(l) != 2 && l != cible &&
           !dansLieu() && !corbeilleOuverte() && NoeudSelectionne();
}

void TExploreur::ListView1DragDrop(Controle source, int cible)
{
    if (!ListView1DragOver(source, cible))
        return;
    if (ListView1->Image(cible) == 2) {
        focus_ = Controle::Liste;
        Supprime();
        return;
    }
    QTreeWidgetItem* n = Noeud_Equivalent();
    if (!n)
        return;
    renomme(Localisation_Noeud(n), Niveau(n), ListView1->Texte(cible));
}

// ---- undo ----

void TExploreur::AnnuleDeplacement()
{
    TMassif* m = massif();
    if (!m)
        return;
    if (Annulations.empty()) {
        Refus(QStringLiteral("Il n'y a rien à annuler."));
        return;
    }
    std::unique_ptr<TDeplacement> pas = std::move(Annulations.back());
    Annulations.pop_back();
    std::set<int32_t> liberes;
    bool applique = false, entreesSorties = false;
    for (auto o = pas->Origines.rbegin(); o != pas->Origines.rend(); ++o) {
        ListeFiches memes;
        for (TFiche* f : m->Fiches)
            if (f && f->Ordre == o->Ordre)
                memes.push_back(f);
        if (o->EstCopie || o->SortieCorbeille) {
            for (TFiche* f : memes) {
                // The section names its branch starts by number: a sheet leaving the massif
                // must take its branches along, or a later sheet under that number inherits them.
                f->RetireDeLaCoupe(*m);
                applique = entreesSorties = true;
                if (o->SortieCorbeille) {
                    m->JetteFiche(f);
                    continue;
                }
                oublieFiche(f);
                if (m->Selection)
                    m->Selection->erase(std::remove(m->Selection->begin(), m->Selection->end(), f),
                                        m->Selection->end());
                m->Fiches.retire(f);  // freed here
                m->PointsCalcules = false;
                liberes.insert(o->Ordre);
            }
        } else {
            for (TFiche* f : memes) {
                f->Systeme.Affecte(o->Systeme);
                f->Cavite.Affecte(o->Cavite);
                f->Reseau.Affecte(o->Reseau);
                f->Lieu.Affecte(o->Lieu);
                applique = true;
            }
            ListeFiches jetees;
            for (TFiche* f : m->Corbeille)
                if (f && f->Ordre == o->Ordre)
                    jetees.push_back(f);
            TDeplacement inutile;
            for (TFiche* f : jetees) {
                oublieFiche(f);
                ajouteDeCorbeille(f, inutile);
                applique = entreesSorties = true;
            }
        }
    }
    oublieOrdres(liberes);
    if (!applique) {
        Refus(QStringLiteral("Ce déplacement ne peut plus être annulé : ses fiches ne sont plus dans le massif."));
        return;
    }
    m->Corbeille.compacte();
    m->TrieFiches();
    // Sheets back from the bin are placed as a restore places them.
    hote_.MassifModifie(m, entreesSorties ? Recalcul::Automatique : Recalcul::SiEnCours, true);
    hote_.FichesChangees();
}

}  // namespace karst
