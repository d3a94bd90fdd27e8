#pragma once
// The user-visible texts that more than one window of this library or of the dialogs above
// it gives, each written here once: a second copy of one elsewhere is a text that may drift
// from its twin. Texts are UTF-8.

#include <QString>

namespace karst {

inline constexpr char kTexteIndiceInvalide[] = "L'indice doit être numérique et positif.";
// A station index is one byte: a larger number would name another station.
inline constexpr char kTexteIndiceHorsBornes[] = "L'indice doit être compris entre 1 et 255.";

// The question that chooses between a gallery's two ends: "Oui" takes its arrival,
// "OK" its start.
inline QString TexteDeuxPointsPossibles(const QString& arrivee, const QString& depart)
{
    return QStringLiteral("Deux points possibles : ") + arrivee + QStringLiteral(" (Oui) et ") + depart +
           QStringLiteral(" (Ok)");
}

}  // namespace karst
