#pragma once
// The user-visible texts that more than one place of this library gives, each written here
// once: a second copy of one elsewhere is a text that may drift from its twin.
// Texts are UTF-8.

#include <string>

namespace karst {

// The refusal of a file that cannot be opened, named as the user knows it.
inline std::string TexteOuvertureImpossible(const std::string& nom) { return "Impossible d'ouvrir le fichier " + nom; }
// A file that could not be saved; the callers add why.
inline std::string TexteEnregistrementImpossible(const std::string& nom)
{
    return "Impossible d'enregistrer le fichier " + nom;
}
inline std::string TexteErreurEcriture(const std::string& nom) { return "Erreur d'écriture dans le fichier " + nom; }
inline std::string TexteErreurLecture(const std::string& nom) { return "Erreur de lecture du fichier " + nom; }
// A pipe or a device where a file was named: reading a pipe waits for a writer, a device
// gives no end. `attendu` says what file was wanted.
inline std::string TexteTubeOuPeripherique(const std::string& nom, const std::string& attendu = "fichier")
{
    return nom + " est un tube ou un périphérique, et non un " + attendu + ".";
}
// A symbolic link that leads back to itself: it designates no file, and a file written under
// its name would take the place of one of its links.
inline std::string TexteLienEnBoucle(const std::string& nom, const std::string& attendu = "fichier")
{
    return nom + " est un lien symbolique qui boucle sur lui-même, et non un " + attendu + ".";
}

inline constexpr char kTexteTropDeVisees[] = "Une galerie compte au plus 128 visées";
// The refusal of a sixth continuation.
inline constexpr char kTexteSuitesPleines[] = "Pas plus de 5 suites par galerie";

}  // namespace karst
