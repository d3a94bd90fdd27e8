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

// The first texts of a list a message names, and how many the list holds: a file may give
// millions, the message shows ten (ListeBornee).
class PremiersTextes {
public:
    static constexpr std::size_t kMontres = 10;
    void Ajoute(std::string texte);
    bool Vide() const { return nombre_ == 0; }
    // The list for a message, as ListeBornee writes it.
    std::string Liste(bool enLignes) const;
    std::size_t Nombre() const { return nombre_; }

private:
    std::vector<std::string> premiers_;
    std::size_t nombre_ = 0;
};

// The texts of an imported file that lose characters Windows-1252 lacks, for
// CaracteresAcceptes.
struct TextesPerdus : PremiersTextes {
    // UTF-8 `texte` when it loses characters: `qui` ("Ligne 4 : "), the text (cut when long)
    // and the characters it loses.
    void Ajoute(const std::string& qui, const std::string& texte);
    bool nomDuFichier = false;  // the file's own name was looked at
};

// The lines of an imported file, each read, checked and decoded as it is asked for, so that
// only the line being parsed is held and a file that cannot be of the format is refused at the
// line that shows it. ErreurFlux when the file cannot be read; ErreurEchange naming the first
// line longer or further than an import reads, or holding control bytes (RefuseOctetsDeControle).
// Lines are decoded for the massif as DecodeLigne says; those that lose characters go to
// `Perdus`.
class LignesImportees {
public:
    LignesImportees(const std::string& fichier, FinsDeLigne fins, char (*autre)(char));
    // The next line, without its end; false past the last one.
    bool Lit(std::string& ligne);
    // Number of the line last read, from 1.
    std::size_t Numero() const { return numero_; }
    TextesPerdus Perdus;

private:
    std::string Brute();

    std::string fichier_;
    FichierTexteLecture lecture_;
    char (*autre_)(char);
    std::size_t lues_ = 0, numero_ = 0;
    std::size_t videsLus_ = 0;  // empty lines read ahead of the last line, not yet given
};

// Writes the file whole as every file of the program is (EcritFichierEntier); a failure is
// an ErreurEchange and leaves the target as it was.
void EcritFichier(const std::string& fichier, const std::string& contenu);

// The address of an imported sheet: the cave named by the file, else the file's own name
// without its folder and extension; the system, network and place the file leaves blank
// take the cave's name, so that no folder of the massif is left without a name. A file's name
// that loses characters Windows-1252 lacks is added, once, to `perdus` for CaracteresAcceptes.
void Adresse(TFiche& fiche, const std::string& cavite, const std::string& fichier, TextesPerdus& perdus);

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
// Refuses line n of a file when it holds control bytes other than TAB, which no text file
// holds: NUL bytes are what is left of a copy that stopped halfway, the others bytes written
// over the text. (The Ctrl-Z that DOS editors put after the text is dropped from the last
// line by LignesImportees.)
void RefuseOctetsDeControle(const std::string& fichier, std::size_t n, const std::string& ligne);

// Decodes line n of an imported file for the massif: bytes that are valid UTF-8 are UTF-8,
// any other go through `autre` (the file's own 8-bit character set, nullptr for
// Windows-1252). A line that loses characters Windows-1252 lacks goes to `perdus`.
void DecodeLigne(std::string& ligne, std::size_t n, char (*autre)(char), TextesPerdus& perdus);
// Asks the caver whether the texts DecodeLigne and Adresse named are imported with '?' (true)
// or nothing is imported (false); true at once when none was named.
bool CaracteresAcceptes(TRapportEchange& rapport, const TextesPerdus& perdus);

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
