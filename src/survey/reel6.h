#pragma once
// The six-byte real of the massif files and of the data model.
//
// Byte 0 holds the exponent biased by 129 (0 means the value zero), bytes 1..5 a 39-bit
// mantissa below a hidden leading 1, least significant byte first, and the sign sits in
// the top bit of byte 5. Every value the data model stores goes through this type, so that
// what is in memory is exactly what a save writes and a load gives back.

#include <array>
#include <cstdint>
#include <stdexcept>

namespace karst {

// Raised when a value cannot be stored as a six-byte real (not finite, or too large).
class ErreurReel6 : public std::runtime_error {
public:
    explicit ErreurReel6(const std::string& m) : std::runtime_error(m) {}
};

class Reel6 {
public:
    constexpr Reel6() = default;
    // Rounds to the nearest six-byte real (ties to even); -0 becomes 0.
    // Throws ErreurReel6 for NaN, infinities and magnitudes beyond the format.
    Reel6(long double v) : v_(arrondit(v)) {}  // NOLINT: implicit by design

    operator long double() const { return v_; }  // NOLINT
    double d() const { return v_; }

    Reel6& operator+=(long double x)
    {
        v_ = arrondit(v_ + x);
        return *this;
    }
    Reel6& operator-=(long double x)
    {
        v_ = arrondit(v_ - x);
        return *this;
    }

    std::array<uint8_t, 6> octets() const { return octetsExacts(v_); }
    static Reel6 depuisOctets(const std::array<uint8_t, 6>& b)
    {
        Reel6 r;
        r.v_ = decode(b);
        return r;
    }

    // The largest magnitude the format holds.
    static long double maximum();
    // Rounds to six-byte precision without building the object.
    static double arrondit(long double v);
    // The nearest value the format holds, clamped to ±maximum(); NaN gives 0. For what the
    // reduction and the placement derive, which must be stored whatever the data.
    static Reel6 sature(long double v);
    static std::array<uint8_t, 6> encode(double v);
    static double decode(const std::array<uint8_t, 6>& b);

private:
    // The bytes of a value the format represents exactly (what every Reel6 holds).
    static std::array<uint8_t, 6> octetsExacts(double r);
    double v_ = 0.0;  // always a value the format represents exactly
};

}  // namespace karst
