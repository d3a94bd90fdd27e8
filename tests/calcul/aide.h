#pragma once
// Small massifs built in code for the computation tests.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "calcul/messages.h"
#include "survey/modele.h"

namespace karst::essai {

struct Tir {
    double longueur;
    double azimut;  // degrees
    double pente = 0;
};

inline TPointTopo Station(const std::string& nom, int indice = 0)
{
    TPointTopo p;
    p.Nom.Affecte(nom);
    p.Indice = static_cast<uint8_t>(indice);
    return p;
}

inline TPointTopo Terminus()
{
    TPointTopo p;
    p.Terminus = true;
    return p;
}

inline TGalerie* AjouteGalerie(TFiche& f, const TPointTopo& depart, const TPointTopo& arrivee,
                               const std::vector<Tir>& tirs, double coefficient = 1)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Copie(depart);
    g->Arrivee.Copie(arrivee);
    g->Coefficient = coefficient;
    for (const Tir& t : tirs) {
        auto v = std::make_unique<TVisee>();
        v->Longueur = t.longueur;
        v->Azimut = t.azimut;
        v->Pente = t.pente;
        g->AjouteVisee(std::move(v));
    }
    return f.Galeries.ajoute(std::move(g));
}

inline TFiche* AjouteFiche(TMassif& m, const std::string& lieu = "L")
{
    auto f = std::make_unique<TFiche>();
    f->Systeme.Affecte("S");
    f->Cavite.Affecte("C");
    f->Reseau.Affecte("R");
    f->Lieu.Affecte(lieu);
    return m.AjouteFiche(std::move(f), false);
}

// X and Y in kilometres, as the document holds them.
inline void AjouteReference(TMassif& m, const std::string& nom, double xkm, double ykm, double z, int indice = 0)
{
    auto p = std::make_unique<TPointTopo>(Station(nom, indice));
    p->X = xkm;
    p->Y = ykm;
    p->Z = z;
    m.AjouteReference(std::move(p));
}

inline void Reduit(TMassif& m)
{
    for (TFiche* f : m.Fiches)
        f->Calcule(0);
}

// Three references around a junction J reached by one shot from each, the first of them
// 10.1 m due east of R1 (without reduction).
inline void TroisReferences(TMassif& m)
{
    AjouteReference(m, "R1", 0, 0, 0);
    AjouteReference(m, "R2", 0.020, 0, 0);
    AjouteReference(m, "R3", 0.010, 0.010, 0);
    TFiche* f = AjouteFiche(m);
    AjouteGalerie(*f, Station("R1"), Station("J"), {{10.1, 90}});
    AjouteGalerie(*f, Station("R2"), Station("J"), {{9.9, 270}});
    AjouteGalerie(*f, Station("R3"), Station("J"), {{10, 180}});
}

// Records everything; answers the unreached-galleries question with `continuer`.
class FauxMessages : public IMessagesCalcul {
public:
    struct Vu {
        std::string texte;
        GenreMessage genre;
    };
    std::vector<Vu> vus;
    std::vector<std::string> lacunes;
    int questions = 0;
    bool continuer = true;
    int sablier = 0;  // hourglass depth: +1 on, -1 off

    void Message(const std::string& t, GenreMessage g) override { vus.push_back({t, g}); }
    bool ContinuerSansLacunes(const std::vector<std::string>& l) override
    {
        ++questions;
        lacunes = l;
        return continuer;
    }
    void Sablier(bool actif) override { sablier += actif ? 1 : -1; }
};

}  // namespace karst::essai
