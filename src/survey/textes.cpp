#include "survey/textes.h"

#include <iterator>

namespace karst {

char MajAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string MajAscii(const std::string& s)
{
    std::string r = s;
    for (auto& c : r)
        c = MajAscii(c);
    return r;
}

bool EgalSansCasse(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MajAscii(a[i]) != MajAscii(b[i]))
            return false;
    return true;
}

std::string EnUtf8(const std::string& texte)
{
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

namespace {

// The characters of the bytes 0x80..0x9F.
constexpr char32_t kHaut[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t CaractereCp1252(unsigned char octet) { return octet >= 0x80 && octet < 0xA0 ? kHaut[octet - 0x80] : octet; }

namespace {

void AjouteUtf8(std::string& r, char32_t u)
{
    if (u < 0x80) {
        r += static_cast<char>(u);
    } else if (u < 0x800) {
        r += static_cast<char>(0xC0 | (u >> 6));
        r += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        r += static_cast<char>(0xE0 | (u >> 12));
        r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

std::string Cp1252VersUtf8(const std::string& octets)
{
    std::string r;
    r.reserve(octets.size());
    for (const char c : octets)
        AjouteUtf8(r, CaractereCp1252(static_cast<unsigned char>(c)));
    return r;
}

namespace {

// The character of UTF-8 `texte` at `i`, `i` moved past it.
char32_t CaractereUtf8(const std::string& texte, std::size_t& i)
{
    const auto o = static_cast<unsigned char>(texte[i]);
    const int suite = o >= 0xF0 ? 3 : o >= 0xE0 ? 2 : o >= 0xC0 ? 1 : 0;
    char32_t u = suite ? o & (0x3F >> suite) : o;
    for (int k = 1; k <= suite && i + k < texte.size(); ++k)
        u = (u << 6) | (static_cast<unsigned char>(texte[i + k]) & 0x3F);
    i += static_cast<std::size_t>(suite) + 1;
    return u;
}

bool Entre(char32_t u, char32_t a, char32_t b) { return u >= a && u <= b; }

// Code points drawn on the character before them: accents, variation selectors, skin tones
// and the tags of a flag.
bool Attache(char32_t u)
{
    return Entre(u, 0x300, 0x36F) || Entre(u, 0x1AB0, 0x1AFF) || Entre(u, 0x1DC0, 0x1DFF) || Entre(u, 0x20D0, 0x20FF) ||
           Entre(u, 0xFE00, 0xFE0F) || Entre(u, 0xFE20, 0xFE2F) || Entre(u, 0x1F3FB, 0x1F3FF) ||
           Entre(u, 0xE0020, 0xE007F) || Entre(u, 0xE0100, 0xE01EF) || u == 0x200D;
}

bool Drapeau(char32_t u) { return Entre(u, 0x1F1E6, 0x1F1FF); }

// The character the caver sees at `i` in UTF-8 `texte`, `i` moved past it: a letter with
// its accents, an emoji with its skin tone, a flag, emoji joined by U+200D. Its Windows-1252
// byte, or '?' for the whole of it when the code page has none.
char CaractereVu(const std::string& texte, std::size_t& i)
{
    const char32_t premier = CaractereUtf8(texte, i);
    char32_t avant = premier;
    int codes = 1;
    for (std::size_t j = i; j < texte.size(); i = j, ++codes) {
        const char32_t u = CaractereUtf8(texte, j);
        if (!(Attache(u) || avant == 0x200D || (codes == 1 && Drapeau(premier) && Drapeau(u))))
            break;
        avant = u;
    }
    return codes == 1 ? OctetCp1252(premier) : '?';
}

}  // namespace

std::string Utf8VersCp1252(const std::string& texte)
{
    std::string r;
    r.reserve(texte.size());
    for (std::size_t i = 0; i < texte.size();)
        r += CaractereVu(texte, i);
    return r;
}

namespace {

// Whether bytes [debut, fin) of `t` are valid UTF-8: no overlong form, no surrogate, nothing
// beyond U+10FFFF.
bool Utf8Valide(const std::string& t, std::size_t debut, std::size_t fin)
{
    for (std::size_t i = debut; i < fin;) {
        const auto o = static_cast<unsigned char>(t[i]);
        const int n = o < 0x80 ? 0 : (o & 0xE0) == 0xC0 ? 1 : (o & 0xF0) == 0xE0 ? 2 : (o & 0xF8) == 0xF0 ? 3 : -1;
        if (n < 0 || i + static_cast<std::size_t>(n) >= fin)
            return false;
        char32_t c = n ? o & (0x3F >> n) : o;
        for (int k = 1; k <= n; ++k) {
            const auto s = static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]);
            if ((s & 0xC0) != 0x80)
                return false;
            c = c << 6 | (s & 0x3F);
        }
        constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

// Calls `ligne(debut, fin, utf8)` for each line of `octets`, its end included, saying
// whether it reads as UTF-8; a leading byte-order mark is left out.
template <class F>
void ParLigne(const std::string& octets, F&& ligne)
{
    std::size_t debut = octets.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (debut < octets.size()) {
        std::size_t fin = octets.find_first_of("\r\n", debut);
        fin = fin == std::string::npos ? octets.size() : fin + 1;
        ligne(debut, fin, Utf8Valide(octets, debut, fin));
        debut = fin;
    }
}

}  // namespace

std::string ExterieurEnUtf8(const std::string& octets)
{
    std::string r;
    r.reserve(octets.size());
    ParLigne(octets, [&](std::size_t debut, std::size_t fin, bool utf8) {
        if (utf8)
            r.append(octets, debut, fin - debut);
        else
            r += Cp1252VersUtf8(octets.substr(debut, fin - debut));
    });
    return r;
}

std::string ExterieurEnCp1252(const std::string& octets)
{
    std::string r;
    r.reserve(octets.size());
    ParLigne(octets, [&](std::size_t debut, std::size_t fin, bool utf8) {
        if (utf8)
            r += Utf8VersCp1252(octets.substr(debut, fin - debut));
        else
            r.append(octets, debut, fin - debut);
    });
    return r;
}

std::string CaracteresHorsCp1252(const std::string& texte)
{
    std::string r;
    for (std::size_t i = 0; i < texte.size();) {
        const std::size_t debut = i;
        const bool perdu = CaractereVu(texte, i) == '?' && i - debut > 1;
        const std::string c = texte.substr(debut, i - debut);
        if (perdu && (" " + r + " ").find(" " + c + " ") == std::string::npos)
            r += (r.empty() ? "" : " ") + c;
    }
    return r;
}

std::string Citation(const std::string& texte, std::size_t max)
{
    std::string r;
    std::size_t n = 0;
    for (const char c : texte) {
        if (n++ == max)
            return r + "…";
        const char32_t u = CaractereCp1252(static_cast<unsigned char>(c));
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
            const char* chiffres = "0123456789ABCDEF";
            r += std::string("<0x") + chiffres[u >> 4] + chiffres[u & 15] + '>';
        } else {
            AjouteUtf8(r, u);
        }
    }
    return r;
}

char OctetCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < std::size(kHaut); ++i)
        if (kHaut[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace karst
