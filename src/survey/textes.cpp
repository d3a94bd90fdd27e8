#include "survey/textes.h"

#include "survey/nombres.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <unordered_set>
#include <vector>

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

// The code point at `i` of `texte` and its length in bytes; 0 for a byte that is not UTF-8.
utf8proc_ssize_t CodeA(const std::string& texte, std::size_t i, utf8proc_int32_t& u)
{
    return utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(texte.data() + i),
                            static_cast<utf8proc_ssize_t>(texte.size() - i), &u);
}

// Characters that draw nothing (Unicode's default-ignorable code points: zero-width space,
// joiners, direction marks and isolates, variation selectors, tags, byte-order mark, Hangul
// fillers): text copied from web pages and phones carries them after letters, where they
// would make the letter a character the code page lacks. The soft hyphen is one the code
// page holds, and stays.
bool Invisible(utf8proc_int32_t u) { return u != 0x00AD && utf8proc_get_property(u)->ignorable; }

bool Pictogramme(utf8proc_int32_t u)
{
    return utf8proc_get_property(u)->boundclass == UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC;
}

// `texte` without its invisible characters, but for a joiner between two pictographs (a
// family, a profession with its skin tone), which makes of them the one emoji the caver sees.
std::string SansInvisibles(const std::string& texte)
{
    std::string r;
    r.reserve(texte.size());
    bool apresPictogramme = false;  // the last character kept, its modifiers aside, is one
    for (std::size_t i = 0; i < texte.size();) {
        utf8proc_int32_t u = 0;
        const utf8proc_ssize_t n = CodeA(texte, i, u);
        if (n <= 0) {
            r += texte[i++];
            apresPictogramme = false;
            continue;
        }
        const std::size_t fin = i + static_cast<std::size_t>(n);
        utf8proc_int32_t suivant = 0;
        const bool garde = !Invisible(u) || (u == 0x200D && apresPictogramme && fin < texte.size() &&
                                             CodeA(texte, fin, suivant) > 0 && Pictogramme(suivant));
        if (garde) {
            r.append(texte, i, static_cast<std::size_t>(n));
            if (utf8proc_get_property(u)->boundclass != UTF8PROC_BOUNDCLASS_EXTEND)
                apresPictogramme = Pictogramme(u);
        }
        i = fin;
    }
    return r;
}

// A text from outside as the caver sees it: without its invisible characters, and composed
// (NFC), so that a letter written as a base and a combining accent (file names made on a Mac,
// text copied from a PDF) is the code page's letter. Bytes that are not UTF-8 are left as
// they are.
std::string Compose(const std::string& texte)
{
    if (std::all_of(texte.begin(), texte.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return texte;
    const std::string visible = SansInvisibles(texte);
    utf8proc_uint8_t* compose = nullptr;
    const utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(visible.data()),
                                            static_cast<utf8proc_ssize_t>(visible.size()), &compose,
                                            static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (n < 0)
        return visible;
    std::string r(reinterpret_cast<const char*>(compose), static_cast<std::size_t>(n));
    std::free(compose);
    return r;
}

// The character the caver sees at `i` in UTF-8 `texte` (Unicode's extended grapheme
// cluster: a letter with its accents, an emoji with its skin tone, a flag, emoji joined by
// U+200D), `i` moved past it. Its code points go to `codes`; a byte that is not UTF-8 is a
// character of its own, U+FFFD.
void Grappe(const std::string& texte, std::size_t& i, std::vector<char32_t>& codes)
{
    codes.clear();
    utf8proc_int32_t etat = 0;
    while (i < texte.size()) {
        utf8proc_int32_t u = 0;
        const utf8proc_ssize_t n = CodeA(texte, i, u);
        if (n <= 0) {
            if (codes.empty()) {
                codes.push_back(0xFFFD);
                ++i;
            }
            return;
        }
        if (!codes.empty() && utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(codes.back()), u, &etat))
            return;
        codes.push_back(static_cast<char32_t>(u));
        i += static_cast<std::size_t>(n);
    }
}

// A character seen as one Windows-1252 byte: CR LF stays two bytes; '?' for the whole of
// any other cluster of several code points. The selectors are gone by then: a sign the code
// page has, typed with the emoji-style selector (™️, as phones type it), is that sign.
void AjouteVu(std::string& r, const std::vector<char32_t>& codes)
{
    if (codes.size() == 2 && codes[0] == '\r' && codes[1] == '\n')
        r += "\r\n";
    else
        r += codes.size() == 1 ? OctetCp1252(codes[0]) : '?';
}

}  // namespace

std::string Utf8VersCp1252(const std::string& texte)
{
    const std::string compose = Compose(texte);
    std::string r;
    r.reserve(compose.size());
    std::vector<char32_t> codes;
    for (std::size_t i = 0; i < compose.size();) {
        Grappe(compose, i, codes);
        AjouteVu(r, codes);
    }
    return r;
}

namespace {

// Whether bytes [debut, fin) of `t` are UTF-8: no overlong form, no surrogate, nothing
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

bool Utf8Valide(const std::string& octets) { return Utf8Valide(octets, 0, octets.size()); }

namespace {

// Each line of `octets` through `siUtf8` when it is valid UTF-8, else through `sinon`.
template <class U, class A>
std::string Decode(const std::string& octets, U&& siUtf8, A&& sinon)
{
    std::string r;
    r.reserve(octets.size());
    ParLigne(octets, [&](std::size_t debut, std::size_t fin, bool utf8) {
        const std::string ligne = octets.substr(debut, fin - debut);
        r += utf8 ? siUtf8(ligne) : sinon(ligne);
    });
    return r;
}

}  // namespace

std::string ExterieurEnUtf8(const std::string& octets)
{
    return Decode(octets, Compose, Cp1252VersUtf8);
}

std::string ExterieurEnCp1252(const std::string& octets)
{
    return Decode(octets, Utf8VersCp1252, [](const std::string& ligne) { return ligne; });
}

std::string CaracteresHorsCp1252(const std::string& texte)
{
    const std::string compose = Compose(texte);
    std::string r;
    std::unordered_set<std::string> nommes;
    std::vector<char32_t> codes;
    for (std::size_t i = 0; i < compose.size();) {
        const std::size_t debut = i;
        Grappe(compose, i, codes);
        std::string vu;
        AjouteVu(vu, codes);
        std::string c = codes[0] == 0xFFFD ? "\uFFFD" : compose.substr(debut, i - debut);
        if (vu == "?" && c != "?" && nommes.insert(c).second)
            r += (r.empty() ? "" : " ") + c;
    }
    return r;
}

std::string ListeBornee(const std::vector<std::string>& elements, std::size_t max, bool enLignes,
                        std::size_t nombre)
{
    const std::size_t montres = std::min(max, elements.size());
    const std::size_t reste = std::max(nombre, elements.size()) - montres;
    std::string r;
    for (std::size_t i = 0; i < montres; ++i)
        r += (i == 0 ? "" : enLignes ? "\r" : i + 1 == montres && !reste ? " et " : ", ") + elements[i];
    if (reste) {
        const std::string autres = FormatEntier(static_cast<long long>(reste)) + (reste == 1 ? " autre" : " autres");
        r += enLignes ? "\r... et " + autres + "." : " et " + autres;
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
