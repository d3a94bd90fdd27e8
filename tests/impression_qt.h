#pragma once
// Every test that links Qt sees these printers (the build includes this header first in
// each of its files, so that every expectation on a text prints it the same way): a
// French text that does not match shows as itself, not as the bytes of a QString, and a
// literal it is compared with shows as text, not as an address.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& texte, std::ostream* os) { *os << '"' << texte.toStdString() << '"'; }

inline void PrintTo(const QStringList& textes, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < textes.size(); ++i) {
        *os << (i ? ", " : " ");
        PrintTo(textes[i], os);
    }
    *os << (textes.isEmpty() ? "}" : " }");
}

// GoogleTest prints a C string compared with anything but a std::string as a pointer; beside a
// QString it is the UTF-8 literal the test wrote.
template <>
class testing::internal::FormatForComparison<const char*, QString> {
public:
    static std::string Format(const char* texte) { return testing::PrintToString(QString::fromUtf8(texte)); }
};
template <>
class testing::internal::FormatForComparison<char*, QString> : public FormatForComparison<const char*, QString> {};
