#include "survey/textes.h"

namespace karst {

char MajAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string MajAscii(const std::string& s) {
    std::string r = s;
    for (auto& c : r) c = MajAscii(c);
    return r;
}

bool EgalSansCasse(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MajAscii(a[i]) != MajAscii(b[i])) return false;
    return true;
}

std::string EnUtf8(const std::string& texte) {
    std::string r;
    for (char c : texte) {
        const auto o = static_cast<unsigned char>(c);
        if (o < 0x80) {
            r += c;
        } else if (o < 0xA0) {
            r += '?';
        } else {
            r += static_cast<char>(0xC0 | (o >> 6));
            r += static_cast<char>(0x80 | (o & 0x3F));
        }
    }
    return r;
}

}  // namespace karst
