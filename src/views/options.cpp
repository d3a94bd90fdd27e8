#include "views/options.h"

#include <cstdlib>

namespace karst {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, in 64 bits; 0 when
// c is 0 (a damaged font record must not divide by zero).
int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return 0;
    const int64_t n = static_cast<int64_t>(a) * b;
    const int64_t d = c;
    const bool negatif = (n < 0) != (d < 0);
    const int64_t an = std::llabs(n), ad = std::llabs(d);
    int64_t q = (2 * an + ad) / (2 * ad);
    if (negatif)
        q = -q;
    if (q > INT32_MAX)
        return INT32_MAX;
    if (q < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(q);
}

}  // namespace

int32_t TPolice::Taille() const
{
    return -MulDiv(Hauteur, 72, PixelsParPouce);
}

void TPolice::FixeTaille(int32_t points)
{
    Hauteur = -MulDiv(points, PixelsParPouce, 72);
}

void TPolice::Reinitialise(const std::string& nom, int32_t hauteur)
{
    *this = TPolice(nom, hauteur);
}

bool TEchelleVerticale::operator==(const TEchelleVerticale& o) const
{
    return Xdev == o.Xdev && Decalage == o.Decalage && ZMin == o.ZMin && ZMax == o.ZMax &&
           Gauche == o.Gauche && Libelle == o.Libelle && Nom == o.Nom &&
           Reserve1 == o.Reserve1 && Indice == o.Indice && Reserve2 == o.Reserve2;
}

TOptions_Tableau::TOptions_Tableau()
{
    static const char* const titres[kNbColonnes + 1] = {
        "", "L", "Az", "P", "l", "h", "X", "Y", "Z", "Dev H", "Commentaires", "Dev",
        "Long H", "Delta Z"};
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
