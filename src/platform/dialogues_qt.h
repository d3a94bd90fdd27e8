#pragma once
// Qt's own dialogs, those Qt opens by itself included (the print dialog's choice of a PDF
// file, the page set-up), dressed as the program's: their file lists and their number boxes.

#include <QString>

class QFileDialog;

namespace karst {

// The list of a Qt file dialog in the program's French; `filtre`, in the form of
// DialogueFichier::filtre, names the program's own files.
void HabilleListe(QFileDialog& f, const QString& filtre);

// Qt's dialogs, those Qt opens by itself included, as the program's whatever the system's
// language: file lists with sizes, dates and the program's kinds in its French, number
// boxes that take the decimal point. Shift+F10 opens the pop-up menu of the widget that has
// the keyboard, in every window of the program.
void HabilleDialoguesQt();

}  // namespace karst
