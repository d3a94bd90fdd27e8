#pragma once
// The sheet editor of the main window: its creation, its link to the massif files, and the
// commands that open it.

#include "dialogs/preferences_saisie.h"
#include "dialogs/saisie.h"

namespace karst {

class TForm1;

// The one sheet editor of the run, once created.
extern TMultPageDlg* MultPageDlg;
// The input preferences dialog of the run, once created.
extern TForm3* Form3;

// Creates the editor for the main window, with its station dialog: it carries the unfinished sheet in the binary
// massif files, shows it again after a load that restored one, and serves "Nouvelle fiche".
TMultPageDlg* InstalleEditeurSaisie(TForm1& fenetre);

// Shows the editor modally, then lays the section out again and redraws the views.
void AfficheSaisie(TForm1& fenetre, TMultPageDlg& editeur);
// The editor on the sheet at that index of the working list, at that gallery.
void EditeFiche(TForm1& fenetre, TMultPageDlg& editeur, int indice, int galerie);
// "Fiche ..." of the display settings: the input preferences dialog on the run's layout.
void Fiche1Click(TForm1& fenetre);
// The editor on a new sheet.
void NouvelleFiche(TForm1& fenetre, TMultPageDlg& editeur);

}  // namespace karst
