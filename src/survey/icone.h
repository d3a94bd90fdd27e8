#pragma once
// The icon of a message box, apart from the boxes themselves: code that builds no widget
// says with it how a refusal is to be shown.

namespace karst {

enum class Icone { Aucune, Information, Avertissement, Erreur, Confirmation };

}  // namespace karst
