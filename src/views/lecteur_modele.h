#pragma once
// Reading and writing the raw fields of the model files. Each format is written once, as
// a function template over the field list, and run with the reader or with the writer.
//
// A model file has no header and no version: its fields follow one another, and only the
// tail some formats end with may be missing. A file that ends before, or holds a value no
// dialog gives (a Boolean other than 0 or 1, a text longer than its field, an impossible
// font record), is damaged: the reader notes it and stops, and the caller takes nothing
// from the file.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "survey/flux.h"
#include "survey/reel6.h"
#include "survey/textes.h"

namespace karst {

class TPolice;
class TPointTopo;

class LecteurModele {
public:
    explicit LecteurModele(TBufferStream& f) : f_(f) {}

    // Up to n bytes over `destination`; what the file no longer holds is left alone.
    int64_t Brut(void* destination, int64_t n);
    void Booleen(bool& b);
    void Octet(uint8_t& v);
    void Caractere(char& c);
    void Mot(int16_t& v);
    void Mot(uint16_t& v);
    void Entier(int32_t& v);
    void Entier(uint32_t& v);
    void Simple(float& v);
    void Reel(Reel6& r);
    // A string[N]: length byte and N bytes. A length above N keeps the field as it was.
    template <std::size_t N>
    void Texte(TexteCourt<N>& t)
    {
        char b[N + 1] = {};
        b[0] = static_cast<char>(t.size());
        std::memcpy(b + 1, t.str().data(), t.size());
        if (Brut(b, N + 1) == 0)
            return;
        const auto l = static_cast<uint8_t>(b[0]);
        if (l <= N)
            t = std::string(b + 1, l);
        else
            Arrete();
    }
    // The font record, within what the font dialog gives.
    void Police(TPolice& p);
    void Point(TPointTopo& p);

    // True at the end of the file, or once reading has stopped.
    bool Fin() const { return arrete_ || f_.Fin(); }
    // Stops the reading of a damaged file.
    void Arrete() { arrete_ = endommage_ = true; }
    bool Endommage() const { return endommage_; }
    int64_t Reste() const { return arrete_ ? 0 : f_.Size() - f_.Position(); }

private:
    TBufferStream& f_;
    bool arrete_ = false;
    bool endommage_ = false;
};

// Whether a value (every element of an array) lies in [min, max]; NaN does not.
template <class T>
bool DansBornes(const T& x, long long min, long long max)
{
    if constexpr (std::is_arithmetic_v<T>) {
        return x >= min && x <= max;
    } else {
        for (const auto& e : x)
            if (!DansBornes(e, min, max))
                return false;
        return true;
    }
}

// Whether every field the record bounds lies in its range.
template <class O>
bool DansBornes(const O& o)
{
    bool dans = true;
    O::Bornes([&](auto champ, long long min, long long max) { dans = dans && DansBornes(o.*champ, min, max); });
    return dans;
}

// The range the record O gives a field it bounds (O::Bornes); false for a field it does not.
template <class O, class C>
bool BorneChamp(C O::*champ, long long& min, long long& max)
{
    bool trouve = false;
    if constexpr (requires { O::Bornes([](auto, long long, long long) {}); })
        O::Bornes([&](auto c, long long a, long long b) {
            if constexpr (std::is_same_v<decltype(c), C O::*>)
                if (c == champ) {
                    min = a;
                    max = b;
                    trouve = true;
                }
        });
    return trouve;
}

// A value the program computes for a field, brought within the field's bound, so that the
// reader takes back what is written.
template <class O, class C>
long long DansSaBorne(C O::*champ, long long v)
{
    long long min = 0, max = 0;
    if (!BorneChamp(champ, min, max))
        return v;
    return std::clamp(v, min, max);
}

class EcrivainModele {
public:
    explicit EcrivainModele(TBufferStream& f) : f_(f) {}

    int64_t Brut(const void* source, int64_t n) { return f_.Write(source, n); }
    void Booleen(bool b) { f_.EcritBooleen(b); }
    void Octet(uint8_t v) { f_.EcritU8(v); }
    void Caractere(char c) { f_.EcritU8(static_cast<uint8_t>(c)); }
    void Mot(int16_t v) { f_.EcritI16(v); }
    void Mot(uint16_t v) { f_.EcritU16(v); }
    void Entier(int32_t v) { f_.EcritI32(v); }
    void Entier(uint32_t v) { f_.EcritI32(static_cast<int32_t>(v)); }
    void Simple(float v);
    void Reel(Reel6 r) { f_.EcritReel6(r); }
    template <std::size_t N>
    void Texte(const TexteCourt<N>& t)
    {
        f_.EcritTexteCourt(t);
    }
    void Police(TPolice& p);
    void Point(const TPointTopo& p);
    // Everything is written, the optional tails included.
    bool Fin() const { return false; }
    void Arrete() {}

private:
    TBufferStream& f_;
};

// Writes the font record. A height beyond 100 pixels first offers to reset the font
// ("Perte de police. Réinitialisation ?"); on OK the reset font is written and kept.
void EcritPolice(TBufferStream& f, TPolice& p);

}  // namespace karst
