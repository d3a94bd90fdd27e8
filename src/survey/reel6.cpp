#include "survey/reel6.h"

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>

namespace karst {

namespace {
constexpr int kBits = 40;  // hidden bit + 39 stored bits
}

long double Reel6::maximum()
{
    // exponent byte 255: 2^(255-129) * (2 - 2^-39)
    return std::ldexp(static_cast<long double>((uint64_t(1) << kBits) - 1), 255 - 129 - (kBits - 1));
}

double Reel6::arrondit(long double v)
{
    if (!std::isfinite(v))
        throw ErreurReel6("Valeur numérique non finie");
    if (v == 0)
        return 0.0;
    int e = 0;
    long double f = std::frexp(v, &e);                     // v = f * 2^e, 0.5 <= |f| < 1
    long double m = std::nearbyint(std::ldexp(f, kBits));  // 2^39 <= |m| <= 2^40
    if (std::fabs(m) >= std::ldexp(1.0L, kBits)) {
        m /= 2;
        ++e;
    }
    // normalised value 1.xxx * 2^(e-1): exponent byte = e - 1 + 129
    int octet = e + 128;
    if (octet > 255)
        throw ErreurReel6("Valeur numérique trop grande");
    if (octet < 1)
        return 0.0;  // below the smallest value: zero
    return static_cast<double>(std::ldexp(m, e - kBits));
}

Reel6 Reel6::sature(long double v)
{
    if (std::isnan(v))
        return Reel6();
    const long double max = maximum();
    return Reel6(std::clamp(v, -max, max));
}

std::array<uint8_t, 6> Reel6::octetsExacts(double r)
{
    // r is a value of the format: its binary64 fields map straight onto the six bytes
    // (the exponent fits, and the low 13 bits of the 52-bit fraction are zero).
    std::array<uint8_t, 6> b{};
    if (r == 0)
        return b;
    const auto bits = std::bit_cast<uint64_t>(r);
    const auto exposant = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) >> 13;
    b[0] = static_cast<uint8_t>(exposant + 129);
    for (int i = 1; i <= 5; ++i)
        b[i] = static_cast<uint8_t>(m >> (8 * (i - 1)));
    if (bits >> 63)
        b[5] |= 0x80;
    return b;
}

std::array<uint8_t, 6> Reel6::encode(double v)
{
    std::array<uint8_t, 6> b{};
    double r = arrondit(v);
    if (r == 0)
        return b;
    int e = 0;
    double f = std::frexp(std::fabs(r), &e);
    uint64_t m = static_cast<uint64_t>(std::ldexp(f, kBits));  // exact, 2^39 <= m < 2^40
    m &= (uint64_t(1) << (kBits - 1)) - 1;                     // drop the hidden bit
    b[0] = static_cast<uint8_t>(e + 128);
    for (int i = 1; i <= 5; ++i)
        b[i] = static_cast<uint8_t>(m >> (8 * (i - 1)));
    if (r < 0)
        b[5] |= 0x80;
    return b;
}

double Reel6::decode(const std::array<uint8_t, 6>& b)
{
    if (b[0] == 0)
        return 0.0;
    uint64_t m = 0;
    for (int i = 1; i <= 5; ++i)
        m |= uint64_t(b[i]) << (8 * (i - 1));
    bool negatif = (m >> 39) & 1;
    m &= (uint64_t(1) << 39) - 1;
    m |= uint64_t(1) << 39;
    double v = std::ldexp(static_cast<double>(m), int(b[0]) - 129 - 39);
    return negatif ? -v : v;
}

}  // namespace karst
