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

}  // namespace karst
