#pragma once
// Sheets built in memory for the tests of the sheet's rows and of its editor, and the
// columns of the default layout.

#include <initializer_list>
#include <memory>
#include <string>

#include "survey/modele.h"

namespace aide {

inline karst::TPointTopo Point(const std::string& nom, int indice)
{
    karst::TPointTopo p;
    if (nom.empty()) {
        p.Terminus = true;
    } else {
        p.Nom.Affecte(nom);
        p.Indice = static_cast<uint8_t>(indice);
    }
    return p;
}

// A gallery from `depart` to `arrivee` of shots of lengths 10, 11, ... azimuth 45, slope -5.
inline std::unique_ptr<karst::TGalerie> Galerie(const karst::TPointTopo& depart, const karst::TPointTopo& arrivee,
                                                int visees, const std::string& commentaire = {})
{
    auto g = std::make_unique<karst::TGalerie>();
    g->Depart.Copie(depart);
    g->Arrivee.Copie(arrivee);
    g->Coefficient = 1.0L;
    g->Commentaire.Affecte(commentaire);
    for (int k = 0; k < visees; ++k) {
        auto v = std::make_unique<karst::TVisee>();
        v->Longueur = 10.0L + k;
        v->Azimut = 45.0L;
        v->Pente = -5.0L;
        v->Gauche = "1";
        v->Droite = "2";
        v->Haut = "3";
        g->AjouteVisee(std::move(v));
    }
    return g;
}

// A sheet of galleries of the given shot counts, chained A(1) -> B(1) -> C(1) ..., added to m.
inline karst::TFiche* FicheChainee(karst::TMassif& m, std::initializer_list<int> visees)
{
    auto f = std::make_unique<karst::TFiche>();
    f->Declinaison = 1.5L;
    f->Date = "15/06/99";
    f->Systeme.Affecte("Syst\xE8me");
    char nom = 'A';
    for (int n : visees) {
        f->Galeries.ajoute(
            Galerie(Point(std::string(1, nom), 1), Point(std::string(1, static_cast<char>(nom + 1)), 1), n));
        ++nom;
    }
    return m.AjouteFiche(std::move(f), false);
}

// Columns of the default layout.
namespace colonnes {
constexpr int cLongueur = 2, cUniteL = 3, cAzimut = 4, cPente = 6, cUniteP = 7, cGauche = 8, cDroite = 9, cHauteur = 11,
              cObservations = 14;
}

}  // namespace aide
