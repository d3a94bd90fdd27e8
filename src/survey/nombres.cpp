#include "survey/nombres.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "survey/reel6.h"

namespace karst {

long double Round(long double x) { return std::nearbyint(x); }
long double Trunc(long double x) { return std::trunc(x); }
long double Frac(long double x) { return x - std::trunc(x); }

namespace {
// A real made an int: NaN gives 0 and values past the int range its ends, before the
// conversion can meet them.
template <class Conversion>
int borne(long double x, Conversion convertit)
{
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return convertit(x);
}
}  // namespace

// lrint rounds in the default mode (nearest, halves to even) like nearbyint, without
// saving and restoring the floating-point environment: pixel conversions call it a lot.
int RoundEntier(long double x)
{
    return borne(x, [](long double v) { return static_cast<int>(std::lrint(v)); });
}
int TruncEntier(long double x)
{
    return borne(x, [](long double v) { return static_cast<int>(std::trunc(v)); });
}

namespace {

// Exact decimal expansion of a finite binary value: value = 0.chiffres * 10^point.
struct Decimal {
    bool negatif = false;
    std::string chiffres;  // no leading zero; empty for zero
    int point = 0;
};

// Little-endian base 10^9 big integer helpers.
void multiplie(std::vector<uint32_t>& n, uint32_t f)
{
    uint64_t retenue = 0;
    for (auto& w : n) {
        uint64_t p = uint64_t(w) * f + retenue;
        w = static_cast<uint32_t>(p % 1000000000u);
        retenue = p / 1000000000u;
    }
    while (retenue) {
        n.push_back(static_cast<uint32_t>(retenue % 1000000000u));
        retenue /= 1000000000u;
    }
}

Decimal developpe(long double v)
{
    Decimal d;
    if (v == 0 || !std::isfinite(v))
        return d;
    d.negatif = v < 0;
    int e = 0;
    long double f = std::frexp(std::fabs(v), &e);
    uint64_t m = static_cast<uint64_t>(std::ldexp(f, 64));  // exact: 64-bit mantissa
    e -= 64;                                                // value = m * 2^e
    while (m && !(m & 1)) {
        m >>= 1;
        ++e;
    }
    std::vector<uint32_t> n;
    n.push_back(static_cast<uint32_t>(m % 1000000000u));
    m /= 1000000000u;
    while (m) {
        n.push_back(static_cast<uint32_t>(m % 1000000000u));
        m /= 1000000000u;
    }
    int decimalesExactes = 0;
    if (e > 0) {
        for (int i = 0; i < e; ++i)
            multiplie(n, 2);
    } else {
        // m * 2^e = m * 5^-e / 10^-e
        for (int i = 0; i < -e; ++i)
            multiplie(n, 5);
        decimalesExactes = -e;
    }
    std::string s;
    for (size_t i = n.size(); i-- > 0;) {
        std::string w = std::to_string(n[i]);
        if (i + 1 != n.size())
            w.insert(0, 9 - w.size(), '0');
        s += w;
    }
    size_t debut = s.find_first_not_of('0');
    s = s.substr(debut);
    d.point = static_cast<int>(s.size()) - decimalesExactes;
    size_t fin = s.find_last_not_of('0');
    s.erase(fin + 1);
    d.chiffres = s;
    return d;
}

// Keeps `n` digits (n may be <= 0), rounding half away from zero.
void garde(Decimal& d, int n)
{
    if (static_cast<int>(d.chiffres.size()) <= n)
        return;
    if (n < 0) {
        d.chiffres.clear();
        return;
    }
    bool hausse = d.chiffres[n] >= '5';
    d.chiffres.erase(n);
    if (hausse) {
        int i = n - 1;
        while (i >= 0 && d.chiffres[i] == '9') {
            d.chiffres[i] = '0';
            --i;
        }
        if (i < 0) {
            d.chiffres.insert(d.chiffres.begin(), '1');
            d.point += 1;
        } else {
            d.chiffres[i] += 1;
        }
    }
    size_t fin = d.chiffres.find_last_not_of('0');
    if (fin == std::string::npos)
        d.chiffres.clear();
    else
        d.chiffres.erase(fin + 1);
}

void arrondiSignificatif(Decimal& d, int precision) { garde(d, precision); }
void arrondiDecimales(Decimal& d, int decimales) { garde(d, d.point + decimales); }

// Plain notation of d with exactly `decimales` decimals (-1: as many as the digits need).
std::string ecritFixe(const Decimal& d, int decimales)
{
    std::string entier, frac;
    const int n = static_cast<int>(d.chiffres.size());
    if (d.point <= 0)
        entier = "0";
    else
        for (int i = 0; i < d.point; ++i)
            entier += i < n ? d.chiffres[i] : '0';
    int nbFrac = decimales >= 0 ? decimales : std::max(0, n - d.point);
    for (int i = 0; i < nbFrac; ++i) {
        int k = d.point + i;
        frac += (k >= 0 && k < n) ? d.chiffres[k] : '0';
    }
    std::string r = entier;
    if (!frac.empty())
        r += "." + frac;
    if (d.negatif && !d.chiffres.empty())
        r.insert(r.begin(), '-');
    return r;
}

std::string ecritScientifique(const Decimal& d, int chiffresExposant, bool signePlus)
{
    std::string r;
    if (d.negatif)
        r += '-';
    r += d.chiffres[0];
    if (d.chiffres.size() > 1)
        r += "." + d.chiffres.substr(1);
    int exposant = d.point - 1;
    r += 'E';
    if (exposant < 0)
        r += '-';
    else if (signePlus)
        r += '+';
    std::string ex = std::to_string(exposant < 0 ? -exposant : exposant);
    if (static_cast<int>(ex.size()) < chiffresExposant)
        ex.insert(0, chiffresExposant - ex.size(), '0');
    return r + ex;
}

std::string groupe(const std::string& fixe, char separateur)
{
    size_t debut = (!fixe.empty() && fixe[0] == '-') ? 1 : 0;
    size_t pt = fixe.find('.');
    size_t fin = pt == std::string::npos ? fixe.size() : pt;
    std::string r = fixe.substr(0, debut);
    for (size_t i = debut; i < fin; ++i) {
        r += fixe[i];
        size_t reste = fin - i - 1;
        if (reste > 0 && reste % 3 == 0)
            r += separateur;
    }
    return r + fixe.substr(fin);
}

std::string special(long double v)
{
    if (std::isnan(v))
        return "NAN";
    return v < 0 ? "-INF" : "INF";
}

}  // namespace

std::string FormatGeneral(long double v, int precision, int chiffresExposant, bool signePlus)
{
    if (!std::isfinite(v))
        return special(v);
    if (precision < 1)
        precision = 1;
    Decimal d = developpe(v);
    if (d.chiffres.empty())
        return "0";
    arrondiSignificatif(d, precision);
    if (d.point > precision || d.point < -4)
        return ecritScientifique(d, chiffresExposant, signePlus);
    return ecritFixe(d, -1);
}

namespace {
std::string fixeOuScientifique(long double v, int precision, int decimales, bool& scientifique)
{
    scientifique = false;
    if (precision < 1)
        precision = 1;
    if (decimales < 0)
        decimales = 0;
    Decimal d = developpe(v);
    if (d.chiffres.empty())
        return ecritFixe(d, decimales);
    arrondiSignificatif(d, precision);
    if (d.point > precision) {
        scientifique = true;
        return ecritScientifique(d, 0, true);
    }
    arrondiDecimales(d, decimales);
    return ecritFixe(d, decimales);
}
}  // namespace

std::string FormatFixe(long double v, int precision, int decimales)
{
    if (!std::isfinite(v))
        return special(v);
    bool sci;
    return fixeOuScientifique(v, precision, decimales, sci);
}

std::string FormatNombre(long double v, int precision, int decimales, char separateur)
{
    if (!std::isfinite(v))
        return special(v);
    bool sci;
    std::string s = fixeOuScientifique(v, precision, decimales, sci);
    return sci ? s : groupe(s, separateur);
}

std::string FormatF(long double v, int decimales)
{
    if (!std::isfinite(v))
        return special(v);
    if (decimales < 0)
        decimales = 0;
    Decimal d = developpe(v);
    arrondiDecimales(d, decimales);
    return ecritFixe(d, decimales);
}

std::string FormatFSaisi(long double v, int decimales)
{
    if (!std::isfinite(v))
        return special(v);
    if (decimales < 0)
        decimales = 0;
    Decimal d = developpe(v);
    try {
        const double stocke = Reel6::arrondit(v);
        for (int p = 1; p < 20; ++p) {
            Decimal court = d;
            garde(court, p);
            long double lu = 0;
            if (LitReel(ecritFixe(court, -1), lu) && Reel6::arrondit(lu) == stocke) {
                d = court;
                break;
            }
        }
    } catch (const ErreurReel6&) {
        // Beyond what a six-byte real holds: the value as it is.
    }
    arrondiDecimales(d, decimales);
    return ecritFixe(d, decimales);
}

std::string TexteExact(long double v, int precision, int exposant)
{
    return TexteFidele(v, precision, exposant, [v](long double lu) {
        try {
            return Reel6::arrondit(lu) == Reel6::arrondit(v);
        } catch (const ErreurReel6&) {
            return false;
        }
    });
}

std::string FormatLargeur(long double v, int largeur, int decimales)
{
    std::string s = FormatF(v, decimales);
    if (static_cast<int>(s.size()) < largeur)
        s.insert(0, largeur - s.size(), ' ');
    return s;
}

std::string FormatEntier(long long v)
{
    if (v == 0)
        return "0";
    bool neg = v < 0;
    unsigned long long u = neg ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::string r;
    while (u) {
        r.insert(r.begin(), char('0' + u % 10));
        u /= 10;
    }
    if (neg)
        r.insert(r.begin(), '-');
    return r;
}

namespace {
bool blanc(char c) { return c == ' ' || c == '\t'; }

// Trims blanks; false when nothing is left.
bool coupe(const std::string& t, size_t& i, size_t& fin)
{
    i = 0;
    fin = t.size();
    while (i < fin && blanc(t[i]))
        ++i;
    while (fin > i && blanc(t[fin - 1]))
        --fin;
    return i < fin;
}
}  // namespace

bool LitEntier(const std::string& texte, long long& valeur)
{
    size_t i, fin;
    if (!coupe(texte, i, fin))
        return false;
    bool neg = false;
    if (texte[i] == '+' || texte[i] == '-') {
        neg = texte[i] == '-';
        ++i;
    }
    if (i >= fin)
        return false;
    long long r = 0;
    for (; i < fin; ++i) {
        char c = texte[i];
        if (c < '0' || c > '9')
            return false;
        if (r > (LLONG_MAX - (c - '0')) / 10)
            return false;
        r = r * 10 + (c - '0');
    }
    valeur = neg ? -r : r;
    return true;
}

bool LitReel(const std::string& texte, long double& valeur)
{
    size_t i, fin;
    if (!coupe(texte, i, fin))
        return false;
    bool neg = false;
    if (texte[i] == '+' || texte[i] == '-') {
        neg = texte[i] == '-';
        ++i;
    }
    std::string mant;
    int expDec = 0;
    bool chiffre = false, point = false;
    for (; i < fin; ++i) {
        char c = texte[i];
        if (c >= '0' && c <= '9') {
            chiffre = true;
            if (mant.empty() && c == '0') {
                if (point)
                    --expDec;
                continue;
            }
            if (mant.size() < 40) {
                mant += c;
                if (point)
                    --expDec;
            } else if (!point)
                ++expDec;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!chiffre)
        return false;
    if (i < fin) {
        if (texte[i] != 'e' && texte[i] != 'E')
            return false;
        ++i;
        bool eneg = false;
        if (i < fin && (texte[i] == '+' || texte[i] == '-')) {
            eneg = texte[i] == '-';
            ++i;
        }
        if (i >= fin)
            return false;
        int ex = 0;
        for (; i < fin; ++i) {
            char c = texte[i];
            if (c < '0' || c > '9')
                return false;
            if (ex < 100000)
                ex = ex * 10 + (c - '0');
        }
        expDec += eneg ? -ex : ex;
    }
    // Handed to the C library as digits and an exponent only, so that no locale's decimal
    // separator can play a part.
    long double r = 0;
    if (!mant.empty()) {
        std::string s = mant + "e" + std::to_string(expDec);
        char* finConv = nullptr;
        r = std::strtold(s.c_str(), &finConv);
    }
    if (!std::isfinite(r))
        return false;
    valeur = neg ? -r : r;
    return true;
}

int ChaineEnEntier(const std::string& texte)
{
    long long v = 0;
    if (!LitEntier(texte, v) || v < INT_MIN || v > INT_MAX)
        return 0;
    return static_cast<int>(v);
}

long double ChaineEnReel(const std::string& texte)
{
    long double v = 0;
    if (!LitReel(texte, v))
        return 0;
    return v;
}

bool MesureAdmise(long double v) { return std::isfinite(v) && std::fabs(v) <= kMesureMax; }

std::string PointDecimal(const std::string& texte)
{
    const auto virgule = texte.find(',');
    if (virgule == std::string::npos || texte.find(',', virgule + 1) != std::string::npos ||
        texte.find('.') != std::string::npos)
        return texte;
    std::string t = texte;
    t[virgule] = '.';
    return t;
}

bool LitReelSaisi(const std::string& texte, long double& valeur) { return LitReel(PointDecimal(texte), valeur); }

bool LitReelStockable(const std::string& texte, long double& valeur)
{
    return LitReelSaisi(texte, valeur) && MesureAdmise(valeur);
}

std::string HorsBornes(const std::string& quoi, long double valeur)
{
    return quoi + " " + FormatGeneral(valeur, 6, 2) + " dépasse les valeurs admises";
}

}  // namespace karst
