#include "platform/texte.h"

#include <QFile>

namespace karst {

QString DepuisCp1252(const std::string& octets)
{
    QString r;
    r.reserve(static_cast<qsizetype>(octets.size()));
    for (char c : octets)
        r.append(QChar(static_cast<char16_t>(CaractereCp1252(static_cast<unsigned char>(c)))));
    return r;
}

QString TexteEcran(const TexteCp1252& texte) { return DepuisCp1252(texte.str()); }

QString TexteEcran(const TexteUtf8& texte) { return QString::fromStdString(texte.str()); }

std::string VersCp1252(const QString& texte)
{
    std::string r;
    r.reserve(static_cast<std::size_t>(texte.size()));
    for (QChar q : texte)
        r.push_back(OctetCp1252(q.unicode()));
    return r;
}

std::string CheminEnCp1252(const std::string& chemin) { return ExterieurEnCp1252(chemin); }

std::string CheminSysteme(const QString& nom) { return QFile::encodeName(nom).toStdString(); }

QString NomDeChemin(const std::string& chemin) { return QFile::decodeName(QByteArray::fromStdString(chemin)); }

}  // namespace karst
