#pragma once
// The user-visible texts that more than one place of this library or of the windows above
// it gives, each written here once: a second copy of one elsewhere is a text that may drift
// from its twin. Texts are UTF-8.

namespace karst {

// The refusals of the commands that take a station or a branch from a gallery a search
// found: a search names a gallery for these only through a view, and a gallery both of
// whose ends are termini has no station to take.
inline constexpr char kTexteVisualisationObligatoire[] =
    "Il faut obligatoirement passer par la visualisation avec cette méthode";
inline constexpr char kTexteVisualisationObligatoireOption[] =
    "Il faut obligatoirement passer par la visualisation pour cette option";
inline constexpr char kTexteGalerieTerminus[] = "La galerie sélectionnée n'a que des terminus";

}  // namespace karst
