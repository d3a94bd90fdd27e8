#pragma once
// Every test that links Qt sees these printers (the build includes this header first in
// each of its files, so that every expectation on a text prints it the same way): a
// French text that does not match shows as itself, not as the bytes of a QString.

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
