#pragma once
// What loading and saving a massif need of the windows above this layer. The main window
// and the sheet editor implement these; the defaults do nothing, so a massif can be loaded
// and saved without any window (tests, tools) and then carries no editor block.

#include <string>

#include "survey/textes.h"

namespace karst {

class TBufferStream;
class TMassif;

// The main window's progress bar, status text and timers.
class IFenetreMassif {
public:
    virtual ~IFenetreMassif() = default;
    // Shows or hides the progress bar of the status bar.
    virtual void MontreProgression(bool /*visible*/) {}
    // Position of the progress bar, 0 to 100.
    virtual void Progression(int /*pourcent*/) {}
    // Text of panel 0 of the status bar.
    virtual void TexteEtat(const TexteUtf8& /*texte*/) {}
    // Repaints the main window at once.
    virtual void Repeint() {}
    // Lets pending window messages run during a save. It must not let the user act (no
    // input events): the massif being written may not be changed or closed meanwhile.
    virtual void TraiteMessages() {}
    // Arms the one-shot timer that shows the sheet editor with the state just read.
    virtual void ArmeReouvertureEditeur() {}
};

// The sheet editor's unfinished sheet, kept at the end of the binary massif file.
class IEditeurSaisie {
public:
    virtual ~IEditeurSaisie() = default;
    // The editor is on screen: its block is written after the flag byte 1.
    virtual bool Visible() const { return false; }
    // Writes the block at the stream's position; it is the last thing in the file.
    virtual void SauveSaisie(TBufferStream& /*flux*/) {}
    // Reads back exactly what SauveSaisie wrote, into the editor without showing it.
    // `massif` is the massif being loaded (its sheets are those the editor may refer to).
    virtual void ChargeSaisie(TBufferStream& /*flux*/, TMassif& /*massif*/) {}
};

}  // namespace karst
