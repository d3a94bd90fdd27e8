#pragma once
// The question asked wherever a typed text goes into a sheet or a name of the massif while
// Windows-1252, the file's character set, lacks some of its characters.

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace karst {

// Asks whether texts listed as « name : « characters » » lines, which Windows-1252 cannot hold
// whole, are kept with '?' (true) or changed (false, the default); `question` ends the box.
bool GardeAvecPointsDInterrogation(const QStringList& textes, const QString& question);

// A text as typed, how the question names it ("Le nom de la station"), and the field it was
// typed in, if any.
struct TexteSaisi {
    QString nom;
    QString texte;
    QWidget* champ = nullptr;
};
// The position in `textes` of the first text holding characters Windows-1252 lacks when the
// caver goes back to correct it; -1 when no text holds any or the caver keeps the '?'. Going
// back, its field has the keyboard, the caret after its last character.
int TexteARevoir(const std::vector<TexteSaisi>& textes, const QString& question);

}  // namespace karst
