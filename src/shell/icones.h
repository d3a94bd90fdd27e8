#pragma once
// The images of the toolbar buttons: the desktop's icon theme where a freedesktop name
// fits, a small drawing of our own where none does.

#include <QIcon>
#include <QString>

namespace karst {

// Drawings for the commands no theme names: the four views, the list style, the
// reference points, the declination and the two colour tools.
enum class Dessin { Plan, Coupe, Perspective, Affichage, References, Declinaison, Contrainte, Couleurs };

// The theme's icon of that freedesktop name; without one, the caption's first letters in a
// frame, so that a button never shows blank.
QIcon IconeTheme(const char* nom, const QString& legende);
QIcon IconeDessinee(Dessin d);
// The program's own icon: a cave passage and its survey line.
QIcon IconeProgramme();

}  // namespace karst
