#pragma once
// The sheet editor of the main window asks for its stations with the station dialog, which
// searches through the main window's search windows.

namespace karst {

class TForm1;

// Gives the main window's sheet editor, once created, the station dialog.
void InstalleDialoguePoint(TForm1& f);

}  // namespace karst
