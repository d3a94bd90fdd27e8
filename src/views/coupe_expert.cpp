#include "views/coupe_expert.h"

#include "calcul/calculateur.h"
#include "platform/interlocuteur.h"
#include "survey/messages_communs.h"
#include "survey/nombres.h"
#include "survey/textes.h"
#include "views/contexte.h"
#include "views/coupe_branches.h"

namespace karst {

namespace {

// The private network of a construction: the galleries of the current sheets that are out
// of the section and free of terminus ends, with one station as the only reference point,
// and every junction reached from it with its lightest path weight.
struct Reseau {
    TCalculateur calcul;
    bool Construit(const ListeFiches& fiches, const std::string& nom, int indice)
    {
        TPointTopo reference;
        reference.Nom.Affecte(nom);
        reference.Indice = static_cast<uint8_t>(indice);
        calcul.Charge(fiches, {&reference}, 2);
        if (!calcul.Connecte(false))
            return false;
        calcul.AlloueTableaux();
        calcul.CoordonneesProvisoires();
        return true;
    }
    int NbCarrefours() const { return static_cast<int>(calcul.Carrefours.size()); }
    bool Atteint(int k) const
    {
        return k >= 1 && static_cast<std::size_t>(k) < calcul.Connus.size() &&
               calcul.Connus[static_cast<std::size_t>(k)];
    }
    double Distance(int k) const { return calcul.Distances[static_cast<std::size_t>(k)]; }
    const TPointTopo& Carrefour(int k) const { return *calcul.Carrefours[static_cast<std::size_t>(k) - 1]; }
};

}  // namespace

bool PointExtreme(const ListeFiches& fiches, const std::string& nom, int indice, bool profond, std::string& nomTrouve,
                  int& indiceTrouve)
{
    Reseau r;
    if (!r.Construit(fiches, nom, indice)) {
        Invite().Avertissement(QStringLiteral("Point de départ inconnu ou déjà en coupe."));
        return false;
    }
    bool trouve = false;
    double meilleur = profond ? 10000.0 : 0.0;
    for (int k = 1; k <= r.NbCarrefours(); ++k) {
        if (!r.Atteint(k))
            continue;
        const TPointTopo& c = r.Carrefour(k);
        const double v = profond ? c.Z.d() : r.Distance(k);
        if (profond ? v < meilleur : v > meilleur) {
            meilleur = v;
            nomTrouve = c.Nom.ChaineMaj();
            indiceTrouve = c.Indice;
            trouve = true;
        }
    }
    return trouve;
}

TGalerie* BrancheAContinuer(ContexteVues& contexte, const std::string& nom, const std::string& indice)
{
    TMassif* m = contexte.Massif();
    if (!m || !m->FichesCourantes)
        return nullptr;
    const ListeFiches& fiches = *m->FichesCourantes;
    TGalerie* parent = nullptr;
    auto convient = [&](const TGalerie& g) {
        const TPointTopo& loin = StationLoin(g);
        return g.DansCoupe && !loin.Terminus && loin.Nom.Chaine() == nom && FormatEntier(loin.Indice) == indice;
    };
    int fi, gi, point;
    if (contexte.SelectionVueActive(fi, gi, point) && fi >= 0 && static_cast<std::size_t>(fi) < fiches.size() &&
        fiches[static_cast<std::size_t>(fi)] && gi >= 0 &&
        static_cast<std::size_t>(gi) < fiches[static_cast<std::size_t>(fi)]->Galeries.size()) {
        TGalerie* g = fiches[static_cast<std::size_t>(fi)]->Galeries[static_cast<std::size_t>(gi)];
        if (convient(*g))
            parent = g;
    }
    for (std::size_t i = 0; !parent && i < fiches.size(); ++i) {
        if (!fiches[i])
            continue;
        for (TGalerie* g : fiches[i]->Galeries)
            if (convient(*g)) {
                parent = g;
                break;
            }
    }
    if (!parent) {
        Invite().Avertissement(QStringLiteral("Impossible de raccrocher le départ à une branche connue"));
        return nullptr;
    }
    // The branch goes on as one more continuation of its parent, which has room for five.
    if (parent->NbSuites >= kMaxSuites) {
        Invite().Avertissement(QString::fromUtf8(kTexteSuitesPleines));
        return nullptr;
    }
    return parent;
}

bool ConstruitCoupe(ContexteVues& contexte, const ConstructionCoupe& demande)
{
    TMassif* m = contexte.Massif();
    if (!m || !m->FichesCourantes)
        return false;
    const ListeFiches& fiches = *m->FichesCourantes;
    Reseau r;
    if (!r.Construit(fiches, demande.NomArrivee, demande.IndiceArrivee)) {
        Invite().Avertissement(QStringLiteral("Il n'y a rien à mettre en coupe. Vérifiez le point d'arrivée."));
        return false;
    }
    int debut = 0;
    const std::string nomMaj = MajAscii(demande.NomDepart);
    for (int k = 1; k <= r.NbCarrefours(); ++k) {
        const TPointTopo& c = r.Carrefour(k);
        if (r.Atteint(k) && c.Nom.ChaineMaj() == nomMaj && FormatEntier(c.Indice) == demande.IndiceDepart)
            debut = k;
    }
    // Stepping to the neighbour nearest the arrival (rather than along the lightest path)
    // could take a heavier way round, and never stepped onto the arrival itself.
    const std::vector<const TConcentre*> chemin =
        debut == 0 ? std::vector<const TConcentre*>{} : r.calcul.CheminLePlusLeger(debut);
    if (chemin.empty()) {
        Invite().Avertissement(QStringLiteral("Impossible de rejoindre les deux points. Vérifiez le point de départ."));
        return false;
    }
    contexte.OteSelectionCoupe();

    const bool gauche = demande.GaucheDroite;
    TGalerie* precedente = demande.Parent;
    std::vector<const TGalerie*> nouvelles;
    // A gallery entering the section at its start (parDepart) or its end.
    auto metEnCoupe = [&](TGalerie& g, bool parDepart) {
        nouvelles.push_back(&g);
        g.NbSuites = 0;
        g.Sens = parDepart;
        g.GaucheDroite = gauche;
        g.DansCoupe = true;
    };
    // A branch starting with gallery gi of sheet `ordre`, already put into the section.
    auto racine = [&](Reel6 x, Reel6 z, int32_t ordre, int32_t gi, const TGalerie& g) -> TPointCoupe& {
        auto p = std::make_unique<TPointCoupe>();
        p->X = x;
        p->Z = z;
        p->Nom.Copie(StationEntree(g).Nom);
        p->Indice = StationEntree(g).Indice;
        p->Fiche = ordre;
        p->Galerie = gi;
        return *m->Coupe.ajoute(std::move(p));
    };
    // Puts a gallery into the section after the previous one, or as a new branch start.
    auto entre = [&](const TFiche& f, int gi, TGalerie& g, bool parDepart) {
        metEnCoupe(g, parDepart);
        if (precedente)
            AjouteSuite(*precedente, f.Ordre, gi);
        else
            racine(demande.X, demande.Z, f.Ordre, gi, g);
        precedente = &g;
    };
    // A dead end that the gallery it hangs from (the junction: sheet number, position) has
    // no room for.
    struct CulDeSac {
        int32_t jonctionFiche, jonctionGalerie;
        int32_t fiche, galerie;
        TGalerie* g;
        bool parDepart;
    };
    std::vector<CulDeSac> enSurnombre;
    // The dead ends at the far station of g, as its continuations, keeping `reserve` places
    // free for the path; those beyond the five places are kept for branches of their own.
    auto culsDeSac = [&](TGalerie& g, int32_t ordre, int32_t gi, int reserve) {
        if (!demande.CulsDeSac)
            return;
        const TPointTopo loin = StationLoin(g);
        for (TFiche* f : fiches) {
            if (!f)
                continue;
            for (std::size_t j = 0; j < f->Galeries.size(); ++j) {
                TGalerie& h = *f->Galeries[j];
                if (h.DansCoupe)
                    continue;
                const bool parDepart = h.Depart.Egal(loin) && h.Arrivee.Terminus;
                if (!parDepart && !(h.Arrivee.Egal(loin) && h.Depart.Terminus))
                    continue;
                if (g.NbSuites >= kMaxSuites - reserve) {
                    enSurnombre.push_back({ordre, gi, f->Ordre, static_cast<int32_t>(j), &h, parDepart});
                    continue;
                }
                AjouteSuite(g, f->Ordre, static_cast<int32_t>(j));
                metEnCoupe(h, parDepart);
            }
        }
    };

    // Along the lightest path, from the start to the arrival.
    int32_t noeud = debut;
    for (std::size_t i = 0; i < chemin.size(); ++i) {
        const TConcentre& c = *chemin[i];
        const bool parDepart = c.NoeudDebut == noeud;
        noeud = parDepart ? c.NoeudFin : c.NoeudDebut;
        TFiche* fiche = fiches[static_cast<std::size_t>(c.MembreFiche[0])];
        const int gi = c.MembreGalerie[0];
        TGalerie& g = *fiche->Galeries[static_cast<std::size_t>(gi)];
        entre(*fiche, gi, g, parDepart);
        // At the stations on the way, room is kept for the next gallery of the path.
        culsDeSac(g, fiche->Ordre, gi, i + 1 < chemin.size() ? 1 : 0);
    }

    // The dead ends in excess are branches hung at their junction: the layout starts them
    // where the junction's continuations start, wherever the branch commands take it.
    for (const CulDeSac& c : enSurnombre) {
        metEnCoupe(*c.g, c.parDepart);
        TPointCoupe& p = racine(0, 0, c.fiche, c.galerie, *c.g);
        p.Accrochee = true;
        p.JonctionFiche = c.jonctionFiche;
        p.JonctionGalerie = c.jonctionGalerie;
    }

    m->PlaceCoupe();
    m->VerifieCoupe();
    contexte.MassifModifie(m, Recalcul::Aucun, false);
    contexte.RedessineCoupe();
    contexte.MontreGaleriesCoupe(nouvelles);
    return true;
}

}  // namespace karst
