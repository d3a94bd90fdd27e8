#pragma once
// Reading and writing the raw fields of the model files. Each format is written once, as
// a function template over the field list, and run with the reader or with the writer.
//
// A model file has no header and no version: its fields follow one another. A file that
// ends early leaves the fields it no longer reaches (and the unread bytes of a field cut
// in two) as they were. A value that cannot be right (a text longer than its field, a
// font-name length beyond the file) is not taken; where it leaves the rest of the file
// without a known place, reading stops there and the remaining fields keep their values.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

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
    }
    // The font record; a record cut short or with an impossible name length leaves the
    // font as it was and stops the reading.
    void Police(TPolice& p);
    // A station record; a damaged one leaves the station as it was.
    void Point(TPointTopo& p);

    // True at the end of the file, or once reading has stopped.
    bool Fin() const { return arrete_ || f_.Fin(); }
    void Arrete() { arrete_ = true; }
    int64_t Reste() const { return arrete_ ? 0 : f_.Size() - f_.Position(); }

private:
    TBufferStream& f_;
    bool arrete_ = false;
};

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
