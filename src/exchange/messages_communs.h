#pragma once
// The user-visible texts that more than one importer gives, each written here once: a
// second copy of one elsewhere is a text that may drift from its twin. Texts are UTF-8.

#include <string>

namespace karst {

// A field that holds no number, quoted as the file has it (in UTF-8).
inline std::string TexteNombreIllisible(const std::string& champ) { return "nombre illisible (" + champ + ")"; }

}  // namespace karst
