#include "dialogs/hote_dialogues.h"

namespace karst {

EntreesSaisie& Saisie()
{
    static EntreesSaisie e;
    return e;
}

Adresse AdresseFiche(const TFiche& f)
{
    return {f.Systeme.Chaine(), f.Cavite.Chaine(), f.Reseau.Chaine(), f.Lieu.Chaine()};
}

TEco& PartieAdresse(TFiche& f, int k)
{
    switch (k) {
    case 1: return f.Systeme;
    case 2: return f.Cavite;
    case 3: return f.Reseau;
    default: return f.Lieu;
    }
}

const TEco& PartieAdresse(const TFiche& f, int k) { return PartieAdresse(const_cast<TFiche&>(f), k); }

}  // namespace karst
