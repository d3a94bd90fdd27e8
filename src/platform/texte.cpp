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

std::string VersCp1252(const QString& texte) { return Utf8VersCp1252(texte.toStdString()); }

QString CaracteresPerdus(const QString& texte)
{
    return QString::fromStdString(CaracteresHorsCp1252(texte.toStdString()));
}

QString ListeBornee(const QStringList& lignes, std::size_t max)
{
    std::vector<std::string> elements;
    for (const QString& l : lignes)
        elements.push_back(l.toStdString());
    return QString::fromStdString(ListeBornee(elements, max, true));
}

std::string CheminEnCp1252(const std::string& chemin) { return ExterieurEnCp1252(chemin); }

std::string CheminSysteme(const QString& nom) { return QFile::encodeName(nom).toStdString(); }

QString NomDeChemin(const std::string& chemin) { return QFile::decodeName(QByteArray::fromStdString(chemin)); }

}  // namespace karst
