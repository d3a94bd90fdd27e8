#pragma once
// A fake main window for the developed section, its branch commands and the expert: the
// section options, scripted sheet searches and station choices, dialogs answered by a
// function, and the section window's selection; and galleries built for the section.

#include <QDialog>

#include <deque>
#include <functional>

#include "formulaires/nvlle_branche.h"
#include "platform/modal.h"
#include "views/coupe_branches.h"
#include "views/options.h"
#include "vues_factices.h"

namespace karst::test {

class ContexteCoupe : public ContexteFactice {
public:
    TOptions_Coupe coupe;

    struct Recherche {
        bool ok = true;
        TFiche* fiche = nullptr;
        int galerie = 0;
    };
    std::deque<Recherche> recherches;
    std::vector<std::array<std::string, 5>> criteresVus;
    std::vector<int> galeriesProposees;
    std::deque<int> choix;
    std::vector<std::vector<std::string>> listesVues;
    std::function<bool(QDialog&)> modal;
    int nbModaux = 0;
    bool selection = false;
    int selFiche = 0, selGalerie = 0, selPoint = 1;
    int otees = 0, redessins = 0;

    const TOptions_Coupe* OptionsCoupe() override { return &coupe; }
    bool RechercheSimple(const std::vector<TFiche*>&, const std::array<std::string, 5>& criteres, TFiche*& fiche,
                         int& galerie) override
    {
        criteresVus.push_back(criteres);
        galeriesProposees.push_back(galerie);
        if (recherches.empty())
            return false;
        const Recherche r = recherches.front();
        recherches.pop_front();
        if (!r.ok)
            return false;
        fiche = r.fiche;
        galerie = r.galerie;
        return true;
    }
    int ChoixStation(const std::vector<const TPointTopo*>& stations) override
    {
        std::vector<std::string> l;
        for (const TPointTopo* p : stations)
            l.push_back(p->Nom.Chaine() + "/" + std::to_string(p->Indice));
        listesVues.push_back(l);
        if (choix.empty())
            return -1;
        const int c = choix.front();
        choix.pop_front();
        return c;
    }
    // The branch dialog as the main window shows it, worked by `modal`.
    PiloteModalInstalle pilote{[this](QDialog& d) {
        ++nbModaux;
        return modal && modal(d) ? QDialog::Accepted : QDialog::Rejected;
    }};
    bool DemandeNouvelleBranche(const std::string& depart, const std::string& arrivee, ChoixBranche& c) override
    {
        return karst::DemandeNouvelleBranche(depart, arrivee, c);
    }
    bool DemandeDecalage(long double x, long double z, long double& nx, long double& nz) override
    {
        return karst::DemandeDecalage(x, z, nx, nz);
    }
    bool SelectionVueActive(int& f, int& g, int& p) override
    {
        f = selFiche, g = selGalerie, p = selPoint;
        return selection;
    }
    void OteSelectionCoupe() override { ++otees; }
    void RedessineCoupe() override { ++redessins; }
};

// Section options with nothing but the centrelines.
inline void CoupeNue(TOptions_Coupe& o)
{
    o.Affiche_Horizontale = o.Afficher_Habillage = o.Origine = false;
    o.diametre = 0;
    o.Texte_Station = 0;
    o.Representation_Hauteur = 0;
    o.NbEchelles = 0;
    o.pourcentage = 100;
}

struct Pas {
    double horizontale, dz;
};

// A positioned gallery running east: shot k is `horizontale` long on the map and rises dz;
// the start station is at altitude z0.
inline TGalerie& GalerieSection(TFiche& f, const std::string& depart, int iDepart, const std::string& arrivee,
                                int iArrivee, double z0, const std::vector<Pas>& pas)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte(depart);
    g->Depart.Indice = static_cast<uint8_t>(iDepart);
    g->Depart.Terminus = depart.empty();
    g->Arrivee.Nom.Affecte(arrivee);
    g->Arrivee.Indice = static_cast<uint8_t>(iArrivee);
    g->Arrivee.Terminus = arrivee.empty();
    g->Depart.Z = z0;
    g->Coefficient = 1;
    double x = 0, z = z0, l = 0, l2 = 0;
    for (const Pas& p : pas) {
        auto v = std::make_unique<TVisee>();
        v->Longueur = std::sqrt(p.horizontale * p.horizontale + p.dz * p.dz);
        l += v->Longueur;
        l2 += v->Longueur * v->Longueur;
        v->Horizontale = p.horizontale;
        x += p.horizontale;
        z += p.dz;
        v->X = x;
        v->Z = z - z0;
        g->AjouteVisee(std::move(v));
        TStation s;
        s.X = x;
        s.Z = z;
        g->Stations.push_back(s);
    }
    g->Arrivee.X = x;
    g->Arrivee.Z = z;
    g->SommeDX = x;
    g->SommeDZ = z - z0;
    g->SommeL = l;
    g->SommeL2 = l2;
    g->Placee = true;
    return *f.Galeries.ajoute(std::move(g));
}

inline TPointCoupe& AjouteRacine(TMassif& m, const TFiche& f, int galerie, double x, double z)
{
    auto r = std::make_unique<TPointCoupe>();
    r->Fiche = f.Ordre;
    r->Galerie = galerie;
    r->X = x;
    r->Z = z;
    const TGalerie& g = *f.Galeries[static_cast<std::size_t>(galerie)];
    r->Nom.Copie(g.Depart.Nom);
    r->Indice = g.Depart.Indice;
    return *m.Coupe.ajoute(std::move(r));
}

// Lays the section out as the section window does before drawing.
inline void Calcule(TMassif& m)
{
    m.PointsCalcules = true;
    m.PlaceCoupe();
    m.CalculeCoupe();
}

// The section window around the commands.
class FenetreFactice : public IFenetreCoupe {
public:
    bool selection = true;
    int fiche = 0, galerie = 0, point = 1;
    std::vector<std::string> journal;
    bool Selection(int& f, int& g, int& p) override
    {
        f = fiche, g = galerie, p = point;
        return selection;
    }
    void FixeSelection(int f, int g, int p) override
    {
        fiche = f, galerie = g, point = p;
        journal.push_back("selection " + std::to_string(f) + " " + std::to_string(g));
    }
    void EffaceSelection() override { journal.push_back("efface"); }
    void AfficheSelection() override { journal.push_back("affiche"); }
    void Redessine() override { journal.push_back("redessine"); }
};

}  // namespace karst::test
