#pragma once
// Exchange formats of the massif: Toporobot import and export, VisualTopo import and the
// plot-file export.
//
// Imports are staged: the whole file is read, checked and turned into sheets and reference
// points on the side, and only then added to the massif; a refused file leaves the massif
// exactly as it was. Exports build the whole file in memory and replace the target only once
// it is complete.

#include <stdexcept>
#include <string>
#include <vector>

namespace karst {

class TMassif;
class TFiche;
class TPointTopo;

// What an import does with the trips of its file that ask for the declination computed from
// the massif's model while that model is not set (it still holds its creation values).
enum class ChoixDeclinaison {
    Modele,   // the massif's model as it is now: the caver may just have set it
    Fichier,  // each trip's own declination field alone
    Annule,   // nothing is imported
};

// What the exchange routines show to the user: the status text of the main window and
// message boxes. Texts are UTF-8, as every user-interface string. The main window
// implements it; the tests pass a fake.
class TRapportEchange {
public:
    virtual ~TRapportEchange() = default;
    // Panel 0 of the main window's status bar.
    virtual void Statut(const std::string& texte) = 0;
    // Information box with an OK button.
    virtual void Message(const std::string& texte) = 0;
    // Warning box with an OK button.
    virtual void Avertissement(const std::string& texte) = 0;
    // Asked once the whole file is read and before anything enters the massif; `texte` names
    // the trips and says that the model is not set.
    virtual ChoixDeclinaison DeclinaisonNonReglee(const std::string& texte) = 0;
    // Asked once the whole file is read and before anything enters the massif when texts of
    // the file hold characters Windows-1252, the massif's character set, lacks; `texte` names
    // them. True: they are imported with '?' in their place; false: nothing is imported.
    virtual bool CaracteresPerdus(const std::string& texte) = 0;
};

// A file refused by an import, or an export that cannot be written. The text is UTF-8 and
// says what is wrong, with the line number for a file being read.
class ErreurEchange : public std::runtime_error {
public:
    explicit ErreurEchange(const std::string& m) : std::runtime_error(m) {}
};

// Reads a Toporobot text file (*.Tab) into the massif: one sheet per run of shots of one
// trip, galleries between the junctions of the series, entrances and fixed points as
// reference points. False when the caver chose to import nothing rather than apply a
// declination model nobody set or lose letters: the massif is then as it was.
bool ImporteToporobot(TMassif& massif, const std::string& fichier, TRapportEchange& rapport);

// Writes the current sheets of the massif (all, or the selection in force) and its
// reference points as a Toporobot text file.
void ExporteToporobot(const TMassif& massif, const std::string& fichier);

// Reads a VisualTopo file (*.tro) into the massif: one sheet per block of survey lines.
// False when the caver chose to import nothing: the massif is then as it was.
bool ImporteVisualTopo(TMassif& massif, const std::string& fichier, TRapportEchange& rapport);

// Writes the placed stations of the current sheets as a plot file (*.plt), laid out from
// the last computation of the network: the caller computes it first. Refuses (ErreurEchange)
// when no station at all is placed, rather than write an empty survey.
void ExportePLT(TMassif& massif, const std::string& fichier);

// The terminus step of the Toporobot import: every station that ends a single gallery of
// these sheets and is none of the reference points becomes a terminus with an empty name.
void NettoieTerminus(const std::vector<TFiche*>& fiches, const std::vector<const TPointTopo*>& references);

}  // namespace karst
