#include "views/changement.h"

#include "survey/modele.h"

namespace karst {

void SuiteChangement::MassifModifie(TMassif* massif, Recalcul calcul, bool rafraichitExplorateur)
{
    if (massif)
        massif->Enregistre = false;
    if (calcul != Recalcul::Aucun)
        DemandeCalcul(calcul == Recalcul::Automatique);
    if (rafraichitExplorateur)
        RafraichitExplorateur();
}

}  // namespace karst
