#include "views/couleurs.h"

#include <cmath>

#include "survey/nombres.h"

namespace karst {

namespace {

TableDeCouleurs InitCouleurs()
{
    TableDeCouleurs t{};
    const uint32_t ancres[6] = {0x7FE140, 0xFF0000, 0x008000, 0x00FFFF, 0x0080FF, 0x0000FF};
    for (int s = 0; s < 6; ++s)
        t[static_cast<std::size_t>(12 * s)] = ancres[s];
    for (int s = 0; s < 5; ++s) {
        uint32_t a = t[static_cast<std::size_t>(12 * s)], b = t[static_cast<std::size_t>(12 * s + 12)];
        for (int j = 1; j <= 11; ++j) {
            uint32_t c = 0;
            for (int octet = 0; octet < 3; ++octet) {
                long double va = (a >> (8 * octet)) & 0xFF, vb = (b >> (8 * octet)) & 0xFF;
                auto v = static_cast<uint32_t>(RoundEntier(((12 - j) * va + j * vb) / 12));
                c |= v << (8 * octet);
            }
            t[static_cast<std::size_t>(12 * s + j)] = c;
        }
    }
    // The first anchor only starts the first segment: no deformation is drawn in black.
    t[0] = 0;
    return t;
}

}  // namespace

const TableDeCouleurs& TableCouleurs()
{
    static const TableDeCouleurs table = InitCouleurs();
    return table;
}

uint32_t CouleurDeformation(double d, double max)
{
    double v = max != 0 ? d / max * 60 : 0;
    if (std::isnan(v))
        v = 0;
    int i = RoundEntier(v);
    if (i < 0)
        i = 0;
    if (i > 60)
        i = 60;
    return TableCouleurs()[static_cast<std::size_t>(i)];
}

}  // namespace karst
