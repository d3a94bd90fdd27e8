#pragma once
// Crossing between the Windows-1252 bytes of the data model and files and the QString
// of the GUI.

#include <QString>
#include <QStringList>
#include <string>

#include "survey/textes.h"

namespace karst {

// Windows-1252 bytes to Unicode; the five bytes the code page leaves undefined map to the
// C1 control of the same value, so that every byte survives a round trip.
QString DepuisCp1252(const std::string& octets);
// Unicode to Windows-1252; a character the code page cannot hold becomes one '?'.
std::string VersCp1252(const QString& texte);
// The characters VersCp1252 turns into '?', each once, separated by spaces; empty when none.
QString CaracteresPerdus(const QString& texte);
// The first `max` lines and how many more there are, one per line.
QString ListeBornee(const QStringList& lignes, std::size_t max);
// A text as the screen shows it, whichever encoding its type says.
QString TexteEcran(const TexteCp1252& texte);
QString TexteEcran(const TexteUtf8& texte);
// A path as the system holds it (UTF-8 on Linux) made Windows-1252 text, for the places
// where a file name is shown or written among the document's texts; a name that is not
// UTF-8 keeps its bytes.
std::string CheminEnCp1252(const std::string& chemin);
// A file name chosen or shown in the GUI as the system's bytes, and back.
std::string CheminSysteme(const QString& nom);
QString NomDeChemin(const std::string& chemin);

}  // namespace karst
