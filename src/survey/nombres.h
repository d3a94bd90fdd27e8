#pragma once
// Rounding helpers and the one locale-independent number-formatting module used by every
// file, export, table and dialog. The decimal separator is always '.', decimal ties are
// rounded half away from zero on the exact binary value, and -0 is printed as 0.

#include <cstdint>
#include <string>

namespace karst {

// Nearest integer, halves to the even neighbour.
long double Round(long double x);
// Towards zero.
long double Trunc(long double x);
long double Frac(long double x);
// Round or Trunc to an int, clamped to the int range (NaN gives 0): pixel positions,
// pen widths and indices never meet undefined behaviour on huge values.
int RoundEntier(long double x);
int TruncEntier(long double x);

// General format: rounded to `precision` significant digits, plain notation without
// trailing zeros when the integer part has at most `precision` digits and the magnitude is
// at least 0.00001 (or the value is 0); otherwise scientific: one digit, the decimals,
// "E", "-" for a negative exponent ("+" too when `signePlus`), at least `chiffresExposant`
// exponent digits.
std::string FormatGeneral(long double v, int precision, int chiffresExposant = 0, bool signePlus = false);

// Fixed format: rounded to `precision` significant digits, then written with exactly
// `decimales` decimals; scientific (as the general format) when the integer part has more
// than `precision` digits.
std::string FormatFixe(long double v, int precision, int decimales);

// Number format: the fixed format with the thousands grouped by `separateur`.
std::string FormatNombre(long double v, int precision, int decimales, char separateur = ' ');

// "%.Nf": exactly `decimales` decimals, no thousands separator.
std::string FormatF(long double v, int decimales = 6);

// "%.Nf" of the value as it was typed: its shortest text that reads back to the same six-byte
// real, rounded half away from zero on those decimal digits (1.925 gives 1.93, where the
// stored binary value, just below 1.925, gives 1.92 to FormatF).
std::string FormatFSaisi(long double v, int decimales);

// "%W.Nf": FormatF padded on the left with blanks to at least `largeur` characters.
std::string FormatLargeur(long double v, int largeur, int decimales);

// "%d".
std::string FormatEntier(long long v);

// The text read as an integer, or 0 when it is not one (no message).
int ChaineEnEntier(const std::string& texte);
// The text read as a real with '.' as separator, or 0 when it is not one (no message).
long double ChaineEnReel(const std::string& texte);

// Strict readers used by the file formats: true when the whole text (blanks around it
// allowed) is a number.
bool LitEntier(const std::string& texte, long long& valeur);
bool LitReel(const std::string& texte, long double& valeur);
// Largest magnitude a typed or read measure may have. Squares and sums of 128 such values
// still fit a six-byte real, so the reduction and the placement can store all they derive.
constexpr long double kMesureMax = 1e15L;
// Finite and within ±kMesureMax.
bool MesureAdmise(long double v);
// A number as a user types it: one comma stands for the decimal point, as French keyboards
// and habits write it. A text that holds a '.' or several commas is left as it is.
std::string PointDecimal(const std::string& texte);
// LitReel of a typed number (PointDecimal).
bool LitReelSaisi(const std::string& texte, long double& valeur);
// LitReelSaisi of a value the data model can store and compute with (MesureAdmise).
bool LitReelStockable(const std::string& texte, long double& valeur);
// "<quoi> <valeur> dépasse les valeurs admises": how every reader, import and save refuses
// a value beyond MesureAdmise.
std::string HorsBornes(const std::string& quoi, long double valeur);

// The general-format text with the fewest significant digits, from `precision` on, that
// reads back as `relu` accepts: a value shown or written so that every digit typed survives
// (a six-byte real needs at most 12; 17 always read back).
template <class Relu>
std::string TexteFidele(long double v, int precision, int exposant, Relu relu)
{
    for (int p = precision; p < 17; ++p) {
        std::string t = FormatGeneral(v, p, exposant);
        long double lu = 0;
        if (LitReel(t, lu) && relu(lu))
            return t;
    }
    return FormatGeneral(v, 17, exposant);
}
// TexteFidele of a value that must read back to the same six-byte real.
std::string TexteExact(long double v, int precision, int exposant);

}  // namespace karst
