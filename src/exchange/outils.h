#pragma once
// Helpers shared by the exchange formats: line reading, safe writing, station keys and
// the free-index look-up of the importers.

#include <bitset>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "exchange/echange.h"
#include "survey/fichier_texte.h"
#include "survey/modele.h"
#include "survey/textes.h"

namespace karst {

namespace echange {

// The longest line of a file the imports read: a comment of a TEco's 65,535 characters,
// each up to three bytes in UTF-8, after the line's other fields.
constexpr std::size_t kLongueurMaxEchange = 3 * 65535 + 4096;
// The most lines an import reads: a file that long would already give ten million shots
// (a Toporobot series holds a thousand lines), more than any survey of a massif.
constexpr std::size_t kLignesMaxEchange = 10'000'000;

// The lines of a text file, without their ends. ErreurFlux when the file cannot be read;
// ErreurEchange naming the first line longer or further than an import reads.
std::vector<std::string> LitLignes(const std::string& fichier, FinsDeLigne fins = FinsDeLigne::Toutes);

// Writes the file whole as every file of the program is (EcritFichierEntier); a failure is
// an ErreurEchange and leaves the target as it was.
void EcritFichier(const std::string& fichier, const std::string& contenu);

// The address of an imported sheet: the cave named by the file, else the file's own name
// without its folder and extension; the system, network and place the file leaves blank
// take the cave's name, so that no folder of the massif is left without a name. A file's name
// that loses characters Windows-1252 lacks is added, once, to `perdus` for CaracteresAcceptes.
void Adresse(TFiche& fiche, const std::string& cavite, const std::string& fichier, std::vector<std::string>& perdus);

// Key of a station as TPointTopo::Egal sees it: the index and the ASCII upper-case name.
// Meaningless for a terminus.
std::string CleStation(const std::string& nom, int indice);
std::string CleStation(const TPointTopo& p);

// A line cut at its TABs; missing fields read as empty texts.
class Champs {
public:
    explicit Champs(const std::string& ligne);
    const std::string& operator[](std::size_t i) const;  // field i, from 1
    std::size_t Nombre() const { return champs_.size(); }

private:
    std::vector<std::string> champs_;
};

bool Blanc(const std::string& texte);
std::string SansBlancs(const std::string& texte);  // trimmed of spaces and TABs at both ends

// Runs an import: a number too large for the data model refuses the file like any other
// bad value.
template <class F>
void RefuseDebordement(const std::string& fichier, F&& import)
{
    try {
        import();
    } catch (const ErreurReel6&) {
        throw ErreurEchange("Le fichier " + fichier + " contient un nombre hors limites.");
    } catch (const ErreurEchange& e) {
        // A refusal that names its line names the file too: the user may be importing
        // several files one after the other.
        const std::string m = e.what();
        if (m.compare(0, 6, "Ligne ") == 0)
            throw ErreurEchange("Le fichier " + fichier + ", l" + m.substr(1));
        throw;
    }
}

// A text of the file shown inside a message.
using karst::EnUtf8;

// Refuses a file that was cut or overwritten, naming its line n (from 1).
[[noreturn]] void Endommage(const std::string& fichier, std::size_t ligne, const std::string& raison);
// Refuses a file whose text holds control bytes other than TAB, which no text file holds:
// NUL bytes are what is left of a copy that stopped halfway, the others bytes written over
// the text. The Ctrl-Z that DOS editors put after the text is dropped from the last line.
void RefuseOctetsDeControle(const std::string& fichier, std::vector<std::string>& lignes);

// Decodes the lines of an imported file for the massif: a line whose bytes are valid UTF-8 is
// UTF-8, any other goes through `autre` (the file's own 8-bit character set, nullptr for
// Windows-1252); a leading byte-order mark is dropped. Returns the lines that lose characters
// Windows-1252 lacks, as "Ligne n : « text »", for CaracteresAcceptes.
std::vector<std::string> DecodeLignes(std::vector<std::string>& lignes, char (*autre)(char));
// Asks the caver whether the texts DecodeLignes and Adresse named are imported with '?' (true) or nothing
// is imported (false); true at once when none was named.
bool CaracteresAcceptes(TRapportEchange& rapport, const std::vector<std::string>& perdues);

// "Ligne n : " before a message about line n.
std::string Ligne(std::size_t n, const std::string& message);

// A value of the file divided by `diviseur`, as the massif will store it; refused with its
// line beyond what the massif files admit (MesureAdmise): the massif could be saved but
// never opened again.
long double Admise(long double valeur, std::size_t ligne, const std::string& quoi, long double diviseur = 1);

// Free station indices over the sheets of the massif, as TMassif::IndiceLibre gives them,
// without walking every gallery end for each look-up. Built once before an import adds
// anything; valid as long as the massif's sheets do not change.
class IndexIndices {
public:
    explicit IndexIndices(const TMassif& massif);
    // The name is compared in ASCII upper case. May exceed 255: callers refuse it.
    int IndiceLibre(const std::string& nom, int depart) const;

private:
    std::unordered_map<std::string, std::bitset<kIndiceMax + 1>> pris_;
};

}  // namespace echange
}  // namespace karst
