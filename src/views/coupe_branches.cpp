// The commands that build and edit the branches of the developed section by hand.

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

#include "platform/interlocuteur.h"
#include "survey/coupe.h"
#include "survey/messages_communs.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/coupe_branches.h"
#include "views/coupe_geometrie.h"
#include "views/coupe_vue.h"
#include "views/messages_communs.h"

namespace karst {

using coupe::NbSuitesValides;

TGalerie& GalerieParOrdre(TMassif& massif, int32_t fiche, int32_t galerie)
{
    TFiche* f = massif.FicheParOrdre(fiche);
    if (!f)
        throw ErreurIndexListe(fiche);
    if (galerie < 0 || static_cast<std::size_t>(galerie) >= f->Galeries.size())
        throw ErreurIndexListe(galerie);
    return *f->Galeries[static_cast<std::size_t>(galerie)];
}

const TPointTopo& StationLoin(const TGalerie& g) { return g.Sens ? g.Arrivee : g.Depart; }
const TPointTopo& StationEntree(const TGalerie& g) { return g.Sens ? g.Depart : g.Arrivee; }

std::string TexteStation(const TPointTopo& p)
{
    if (p.Terminus)
        return "Terminus";
    return p.Nom.Chaine() + "(" + FormatEntier(p.Indice) + ")";
}

void AjouteSuite(TGalerie& parent, int32_t fiche, int32_t galerie)
{
    // The callers refuse a sixth continuation first; the links have room for five only.
    if (NbSuitesValides(parent) >= kMaxSuites)
        throw std::length_error(kTexteSuitesPleines);
    const auto k = static_cast<std::size_t>(NbSuitesValides(parent) + 1);
    parent.NbSuites = static_cast<int8_t>(k);
    parent.SuiteFiche[k] = fiche;
    parent.SuiteGalerie[k] = galerie;
}

namespace {

// The gallery at positions of the current sheets.
TGalerie& GalerieCourante(const ListeFiches& fiches, int fiche, int galerie)
{
    if (fiche < 0 || static_cast<std::size_t>(fiche) >= fiches.size() || !fiches[static_cast<std::size_t>(fiche)])
        throw ErreurIndexListe(fiche);
    TFiche& f = *fiches[static_cast<std::size_t>(fiche)];
    if (galerie < 0 || static_cast<std::size_t>(galerie) >= f.Galeries.size())
        throw ErreurIndexListe(galerie);
    return *f.Galeries[static_cast<std::size_t>(galerie)];
}

TMassif& MassifOuvert(ContexteVues& contexte)
{
    TMassif* m = contexte.Massif();
    if (!m || !m->FichesCourantes)
        throw std::logic_error("Aucun massif ouvert");
    return *m;
}

}  // namespace

bool TCoupe::NouvelleBranche()
{
    TMassif& m = MassifOuvert(contexte_);
    TFiche* fiche = nullptr;
    int position = -2;
    if (!contexte_.RechercheSimple(*m.FichesCourantes, {}, fiche, position))
        return false;
    if (position == -1) {
        Invite().Information(QString::fromUtf8(kTexteVisualisationObligatoireOption));
        return false;
    }
    if (!fiche || position < 0 || static_cast<std::size_t>(position) >= fiche->Galeries.size())
        return false;
    TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(position)];
    // A gallery already in the section belongs to a branch: making it a second branch
    // start would drop its continuations and leave them in the section, laid out nowhere.
    const bool dejaRacine = std::any_of(m.Coupe.begin(), m.Coupe.end(), [&](const TPointCoupe* r) {
        return r->Fiche == fiche->Ordre && r->Galerie == position;
    });
    if (g.DansCoupe || dejaRacine) {
        Invite().Avertissement(QStringLiteral("Cette galerie est déjà dans la coupe."));
        return false;
    }
    ChoixBranche choix;
    if (!contexte_.DemandeNouvelleBranche(TexteStation(g.Depart), TexteStation(g.Arrivee), choix))
        return false;

    auto racine = std::make_unique<TPointCoupe>();
    racine->X = choix.Horizontal;
    racine->Z = choix.Vertical;
    const bool parFin = choix.ParFin;
    const TPointTopo& station = parFin ? g.Arrivee : g.Depart;
    if (station.Terminus) {
        racine->Nom.Affecte("Terminus");
        racine->Indice = 0;
    } else {
        racine->Nom.Copie(station.Nom);
        racine->Indice = station.Indice;
    }
    racine->Fiche = fiche->Ordre;
    racine->Galerie = position;
    g.DansCoupe = true;
    g.GaucheDroite = choix.GaucheDroite;
    g.NbSuites = 0;
    g.Sens = !parFin;
    m.Coupe.ajoute(std::move(racine));
    m.PlaceCoupe();
    return true;
}

std::vector<TCoupe::Candidat> TCoupe::Candidats(const TPointTopo& loin) const
{
    std::vector<Candidat> r;
    const ListeFiches* fiches = FichesCourantes();
    if (!fiches)
        return r;
    for (std::size_t i = 0; i < fiches->size(); ++i) {
        TFiche* f = (*fiches)[i];
        if (!f)
            continue;
        for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
            TGalerie* g = f->Galeries[j];
            if (g->DansCoupe)
                continue;
            if (g->Depart.Egal(loin))
                r.push_back({static_cast<int>(i), static_cast<int>(j), g, true});
            else if (g->Arrivee.Egal(loin))
                r.push_back({static_cast<int>(i), static_cast<int>(j), g, false});
        }
    }
    return r;
}

bool TCoupe::ContinueBranche(int& fiche, int& galerie)
{
    TMassif& m = MassifOuvert(contexte_);
    TGalerie& parent = GalerieCourante(*m.FichesCourantes, fiche, galerie);
    const TPointTopo& loin = StationLoin(parent);
    if (loin.Terminus) {
        Invite().Avertissement(QStringLiteral("Galerie en cul-de-sac"));
        return false;
    }
    if (parent.NbSuites >= kMaxSuites) {
        Invite().Avertissement(QString::fromUtf8(kTexteSuitesPleines));
        return false;
    }
    const std::vector<Candidat> candidats = Candidats(loin);
    if (candidats.empty()) {
        Invite().Avertissement(QStringLiteral("Pas de suite (disponible)"));
        return false;
    }
    std::size_t n = 0;
    if (candidats.size() > 1) {
        std::vector<const TPointTopo*> stations;
        for (const Candidat& c : candidats)
            stations.push_back(c.parDepart ? &c.g->Arrivee : &c.g->Depart);
        const int choix = contexte_.ChoixStation(stations);
        // Cancelled: nothing added, but the window redraws as after a change.
        if (choix < 0 || static_cast<std::size_t>(choix) >= candidats.size())
            return true;
        n = static_cast<std::size_t>(choix);
    }
    const Candidat& c = candidats[n];
    c.g->DansCoupe = true;
    c.g->NbSuites = 0;
    c.g->Sens = c.parDepart;
    AjouteSuite(parent, (*m.FichesCourantes)[static_cast<std::size_t>(c.fiche)]->Ordre, c.galerie);
    c.g->GaucheDroite = parent.GaucheDroite;
    fiche = c.fiche;
    galerie = c.galerie;
    m.PlaceCoupe();
    return true;
}

void TCoupe::InverseBranche(int32_t fiche, int32_t galerie)
{
    TMassif& m = MassifOuvert(contexte_);
    TGalerie& depart = GalerieParOrdre(m, fiche, galerie);
    // Each gallery downstream flips once, even where links would meet again.
    for (TGalerie* g : AvalCoupe(m, depart, false))
        g->GaucheDroite = !g->GaucheDroite;
}

bool TCoupe::DecaleBranche(int32_t fiche, int32_t galerie)
{
    TMassif& m = MassifOuvert(contexte_);
    TGalerie& g = GalerieParOrdre(m, fiche, galerie);
    long double x, z;
    if (!contexte_.DemandeDecalage(g.CoupeX0, g.CoupeZ0, x, z))
        return false;
    const Reel6 rx = x, rz = z;
    bool racine = false, change = false;
    for (TPointCoupe* r : m.Coupe)
        if (r->Fiche == fiche && r->Galerie == galerie) {
            // Placed by hand, a dead end no longer follows the gallery it hung at.
            if (r->X != rx || r->Z != rz) {
                change = true;
                r->Accrochee = false;
            }
            r->X = rx;
            r->Z = rz;
            racine = true;
        }
    // A branch start left where it was is no change.
    if (racine)
        return change;
    // A continuation becomes a branch start where it stands.
    auto r = std::make_unique<TPointCoupe>();
    r->X = rx;
    r->Z = rz;
    r->Fiche = fiche;
    r->Galerie = galerie;
    r->Nom.Copie(StationEntree(g).Nom);
    r->Indice = StationEntree(g).Indice;
    m.Coupe.ajoute(std::move(r));
    for (TFiche* f : m.Fiches) {
        if (!f)
            continue;
        for (TGalerie* p : f->Galeries) {
            if (!p->DansCoupe)
                continue;
            for (int k = 1; k <= NbSuitesValides(*p); ++k) {
                const auto u = static_cast<std::size_t>(k);
                if (p->SuiteFiche[u] != fiche || p->SuiteGalerie[u] != galerie)
                    continue;
                for (int i = k; i < NbSuitesValides(*p); ++i) {
                    p->SuiteFiche[static_cast<std::size_t>(i)] = p->SuiteFiche[static_cast<std::size_t>(i) + 1];
                    p->SuiteGalerie[static_cast<std::size_t>(i)] = p->SuiteGalerie[static_cast<std::size_t>(i) + 1];
                }
                --p->NbSuites;
                break;
            }
        }
    }
    return true;
}

bool TCoupe::RaccrocheBranche(int32_t fiche, int32_t galerie)
{
    TMassif& m = MassifOuvert(contexte_);
    std::size_t racine = m.Coupe.size();
    for (std::size_t r = 0; r < m.Coupe.size(); ++r)
        if (m.Coupe[r]->Fiche == fiche && m.Coupe[r]->Galerie == galerie)
            racine = r;
    if (racine == m.Coupe.size()) {
        Invite().Avertissement(QStringLiteral("Vous n'êtes pas au début d'une branche, raccrochage impossible."));
        return false;
    }
    const TPointCoupe& r = *m.Coupe[racine];
    // The branch's own downstream galleries are no target: the links would close a loop.
    const std::vector<TGalerie*> avalListe = AvalCoupe(m, GalerieParOrdre(m, fiche, galerie), false);
    const std::unordered_set<const TGalerie*> aval(avalListe.begin(), avalListe.end());
    std::vector<TGalerie*> cibles;
    for (TFiche* f : m.Fiches) {
        if (!f)
            continue;
        for (TGalerie* g : f->Galeries) {
            if (!g->DansCoupe || g->NbSuites >= kMaxSuites || aval.count(g))
                continue;
            const TPointTopo& loin = StationLoin(*g);
            if (loin.Nom.Egal(r.Nom) && loin.Indice == r.Indice)
                cibles.push_back(g);
        }
    }
    if (cibles.empty()) {
        Invite().Avertissement(QStringLiteral("Pas de branche disponible pour un raccrochage"));
        return false;
    }
    std::size_t choix = 0;
    if (cibles.size() > 1) {
        std::vector<const TPointTopo*> stations;
        for (const TGalerie* g : cibles)
            stations.push_back(&StationEntree(*g));
        const int c = contexte_.ChoixStation(stations);
        if (c < 0 || static_cast<std::size_t>(c) >= cibles.size())
            return false;
        choix = static_cast<std::size_t>(c);
    }
    m.Coupe.retireA(racine);
    AjouteSuite(*cibles[choix], fiche, galerie);
    return true;
}

// ---- The section window's commands --------------------------------------------------------

bool TCoupe::Branche(CommandeCoupe commande, ContexteVues& contexte, IFenetreCoupe& fenetre)
{
    return CommandeBranche(commande, *this, contexte, fenetre);
}

bool CommandeBranche(CommandeCoupe commande, TCoupe& vue, ContexteVues& contexte, IFenetreCoupe& fenetre)
{
    TMassif* m = contexte.Massif();
    if (!m || !m->FichesCourantes)
        return false;
    int fiche = 0, galerie = 0, point = 0;
    const bool selection = fenetre.Selection(fiche, galerie, point);
    auto change = [&] {
        fenetre.Redessine();
        contexte.MassifModifie(m, Recalcul::Aucun, false);
    };
    switch (commande) {
    case CommandeCoupe::Nouvelle:
        if (!vue.NouvelleBranche())
            return false;
        change();
        m->VerifieCoupe();
        return true;
    default: break;
    }
    if (!selection)
        return false;
    GalerieCourante(*m->FichesCourantes, fiche, galerie);
    const int32_t numero = (*m->FichesCourantes)[static_cast<std::size_t>(fiche)]->Ordre;
    bool fait = false;
    switch (commande) {
    case CommandeCoupe::Continuer:
        fenetre.EffaceSelection();
        fait = vue.ContinueBranche(fiche, galerie);
        if (fait) {
            change();
            fenetre.FixeSelection(fiche, galerie, 1);
        }
        fenetre.AfficheSelection();
        if (fait)
            m->VerifieCoupe();
        return fait;
    case CommandeCoupe::Inverser:
        fenetre.EffaceSelection();
        vue.InverseBranche(numero, galerie);
        m->PlaceCoupe();
        change();
        fenetre.AfficheSelection();
        m->VerifieCoupe();
        return true;
    case CommandeCoupe::Decaler:
    case CommandeCoupe::Raccrocher:
        fenetre.EffaceSelection();
        fait = commande == CommandeCoupe::Decaler ? vue.DecaleBranche(numero, galerie)
                                                  : vue.RaccrocheBranche(numero, galerie);
        if (fait) {
            m->PlaceCoupe();
            change();
        }
        fenetre.AfficheSelection();
        m->VerifieCoupe();
        return fait;
    case CommandeCoupe::Retirer:
        if (!Invite().ConfirmePerte(QStringLiteral("Cette galerie et son(ses) aval(s) vont être retirés de la coupe"),
                                    Icone::Confirmation))
            return false;
        m->RetireBranche(numero, galerie, true);
        m->PlaceCoupe();
        change();
        m->VerifieCoupe();
        return true;
    default: return false;
    }
}

}  // namespace karst
