#pragma once
// The user-visible texts that more than one place of the dialogs and the shell gives, each
// written here once: a second copy of one elsewhere is a text that may drift from its twin.
// Texts are UTF-8.

namespace karst {

inline constexpr char kTexteViseeImpossibleIci[] = "Impossible d'ajouter une visée ici.";
inline constexpr char kTexteAucuneFiche[] = "Il n'y a pas de fiches.";
// An explorer command asked while nothing is shown selected.
inline constexpr char kTexteRienDeChoisi[] = "Choisissez d'abord un dossier ou une fiche.";
inline constexpr char kTexteExportationTerminee[] = "Exportation terminée";
inline constexpr char kTexteMassifFerme[] = "Le massif a été fermé.";
inline constexpr char kTexteInviteEchelle[] = "Nouvelle échelle (1/n, n>=100)";
// The file dialogs' filter for a massif.
inline constexpr char kFiltreMassif[] = "(dossier fiche) *.fic|*.fic|(massif texte) *.mas|*.mas";

}  // namespace karst
