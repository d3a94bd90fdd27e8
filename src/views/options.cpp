#include "views/options.h"

namespace karst {

bool TEchelleVerticale::operator==(const TEchelleVerticale& o) const
{
    return Xdev == o.Xdev && Decalage == o.Decalage && ZMin == o.ZMin && ZMax == o.ZMax && Gauche == o.Gauche &&
           Libelle == o.Libelle && Nom == o.Nom && Reserve1 == o.Reserve1 && Indice == o.Indice &&
           Reserve2 == o.Reserve2;
}

TOptions_Tableau::TOptions_Tableau()
{
    static const char* const titres[kNbColonnes + 1] = {
        "", "L", "Az", "P", "l", "h", "X", "Y", "Z", "Dev H", "Commentaires", "Dev", "Long H", "Delta Z"};
    for (int k = 0; k <= kNbColonnes; ++k) {
        Titre1[k] = titres[k];
        Separateur[k] = k == 0 ? '\0' : '/';
        Ordre[k] = static_cast<int16_t>(k);
        Largeur[k] = k == 0 ? 0 : (k == 10 ? 60 : 20);
        Afficher[k] = k != 0;
        Dedoubler[k] = false;
    }
}

}  // namespace karst
