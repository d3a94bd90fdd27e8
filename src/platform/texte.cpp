#include "platform/texte.h"

#include <QStringDecoder>
#include <array>

namespace karst {

namespace {

// Unicode of the bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHaut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString DepuisCp1252(const std::string& octets)
{
    QString r;
    r.reserve(static_cast<qsizetype>(octets.size()));
    for (char c : octets) {
        const auto b = static_cast<unsigned char>(c);
        r.append(QChar(b >= 0x80 && b < 0xA0 ? kHaut[b - 0x80] : static_cast<char16_t>(b)));
    }
    return r;
}

std::string VersCp1252(const QString& texte)
{
    std::string r;
    r.reserve(static_cast<std::size_t>(texte.size()));
    for (QChar q : texte) {
        const char16_t u = q.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            r.push_back(static_cast<char>(u));
            continue;
        }
        char c = '?';
        for (std::size_t i = 0; i < kHaut.size(); ++i)
            if (kHaut[i] == u) {
                c = static_cast<char>(0x80 + i);
                break;
            }
        r.push_back(c);
    }
    return r;
}

std::string CheminEnCp1252(const std::string& chemin)
{
    // A name that is not UTF-8 was written by a single-byte system: its bytes stand.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString nom = utf8(QByteArrayView(chemin.data(), static_cast<qsizetype>(chemin.size())));
    return utf8.hasError() ? chemin : VersCp1252(nom);
}

}  // namespace karst
