#pragma once
// Texts of the data model: Windows-1252 bytes held in std::string, lengths in bytes.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace karst {

// ASCII upper case: 'a'..'z' become 'A'..'Z'; every other byte, accented letters
// included, is left alone.
std::string MajAscii(const std::string& s);
char MajAscii(char c);
// Equal when equal after MajAscii.
bool EgalSansCasse(const std::string& a, const std::string& b);
// A text of the data model (Windows-1252 bytes) shown inside a message (UTF-8): accented
// letters are kept, the other bytes above 127 become '?'.
std::string EnUtf8(const std::string& texte);
// A value read from a file, quoted inside a message (UTF-8): every Windows-1252 character
// converted, a control byte shown as <0x1B>, and past `max` characters cut with "…", so
// that a damaged file's whole line never fills the message box.
std::string Citation(const std::string& texte, std::size_t max = 60);
// The character a Windows-1252 byte stands for; the five bytes the code page leaves
// undefined stand for themselves, so that every byte goes and comes back.
char32_t CaractereCp1252(unsigned char octet);
// The Windows-1252 byte of a character, '?' where the code page has none.
char OctetCp1252(char32_t c);
// Windows-1252 bytes as UTF-8, every byte kept as its character; and back, composed first
// (a base and its combining accent are the code page's letter) and without the format
// characters that draw nothing (zero-width space, joiners, byte-order mark, variation
// selectors), a character the code page cannot hold becoming one '?', whatever the code
// points that draw it (an emoji with its skin tone, a letter with an accent the code page has
// no letter for).
std::string Cp1252VersUtf8(const std::string& octets);
std::string Utf8VersCp1252(const std::string& texte);
// Bytes from outside the massif (a file name, a settings file, a peer's file): each line
// whose bytes are valid UTF-8 is read as UTF-8, any other as Windows-1252, as one file may
// mix lines of both; a leading byte-order mark is dropped. The result as UTF-8, for the
// screen, or in the massif's encoding, a character the code page lacks becoming one '?';
// both composed and without invisible characters, as Utf8VersCp1252 sees a text.
std::string ExterieurEnUtf8(const std::string& octets);
std::string ExterieurEnCp1252(const std::string& octets);
// Whether bytes are valid UTF-8: no overlong form, no surrogate, nothing beyond U+10FFFF.
bool Utf8Valide(const std::string& octets);
// The characters of a UTF-8 text that Windows-1252 lacks, as Utf8VersCp1252 counts them,
// each once, separated by spaces; empty when the code page holds the whole text.
std::string CaracteresHorsCp1252(const std::string& texte);
// The first `max` elements of a list a message names, and how many more there are: one per
// line then "... et 3 autres.", or in a sentence ("a, b et c", "a, b et 3 autres"), so that a
// long list never pushes a box's buttons off the screen. `nombre`, when larger, is how many
// the list holds where only its first elements were kept.
std::string ListeBornee(const std::vector<std::string>& elements, std::size_t max, bool enLignes,
                        std::size_t nombre = 0);
// The degree sign in Windows-1252, as the views' angles and the unit labels write it.
inline constexpr char kDegre[] = "\xB0";

// A length-prefixed text of at most N bytes (N + 1 bytes in the binary files).
// Assigning a longer text keeps its first N bytes, as the files can hold no more.
template <std::size_t N>
class TexteCourt {
public:
    static constexpr std::size_t Max = N;
    TexteCourt() = default;
    TexteCourt(const std::string& s) { affecte(s); }  // NOLINT
    TexteCourt(const char* s) { affecte(s); }         // NOLINT
    TexteCourt& operator=(const std::string& s)
    {
        affecte(s);
        return *this;
    }
    TexteCourt& operator=(const char* s)
    {
        affecte(s);
        return *this;
    }
    const std::string& str() const { return s_; }
    operator const std::string&() const { return s_; }  // NOLINT
    std::size_t size() const { return s_.size(); }
    bool empty() const { return s_.empty(); }
    bool operator==(const TexteCourt& o) const { return s_ == o.s_; }
    bool operator==(const std::string& o) const { return s_ == o; }
    bool operator==(const char* o) const { return s_ == o; }

private:
    void affecte(const std::string& s) { s_ = s.size() > N ? s.substr(0, N) : s; }
    std::string s_;
};

// A text whose type says how its bytes are encoded, where texts of both encodings meet:
// Windows-1252 (what the views give, as the model's names they hold and the canvas's texts)
// and UTF-8 (what the user interface writes). Bytes become one only by naming it, so a text
// of one encoding never passes for the other.
template <class Codage>
class TexteCode {
public:
    TexteCode() = default;
    explicit TexteCode(std::string octets) : s_(std::move(octets)) {}
    const std::string& str() const { return s_; }
    bool empty() const { return s_.empty(); }
    bool operator==(const TexteCode&) const = default;

private:
    std::string s_;
};
using TexteCp1252 = TexteCode<struct CodageCp1252>;
using TexteUtf8 = TexteCode<struct CodageUtf8>;

}  // namespace karst
