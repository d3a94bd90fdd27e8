#pragma once
// Services of the desktop: the program's folders, outside links, sound, help, cursors and
// the version compiled into the program.

#include <QCursor>
#include <QString>
#include <string>

namespace karst {

// The build's version as the build system holds it, "2.2.0.1".
QString TexteVersion();

// What the program sets up for its whole run once the application object is made: numbers
// read and written with '.', Qt's dialogs in French, and a file-size limit that makes a
// write fail (reported like a full disk) rather than end the program.
void PrepareProcessus();
// Qt's own dialogs (files, printing, pages, colours) in French, like the rest of the
// program; false when the translations are not installed.
bool ChargeTraductionsQt();
// The desktop's icon theme for the toolbars, with an installed theme to fall back on
// outside a desktop session.
void PrepareThemeIcones();

// Per-user settings folder: $XDG_CONFIG_HOME/Karstomat/ (~/.config/Karstomat/ by
// default), with a trailing '/'; created when missing.
std::string RepertoireUtilisateur();
// Folder of the executable, with a trailing '/': default model files and data files.
std::string RepertoireProgramme();

// The existing file of that path, its name matched without regard to ASCII case inside
// its folder; "" when there is none.
std::string TrouveFichier(const std::string& chemin);
bool FichierExiste(const std::string& chemin);

// Opens a web page, or a new mail to an address with a subject, in the user's programs;
// false, after saying so, when no program took it.
bool OuvreAdresse(const QString& url);
bool OuvreCourriel(const QString& adresse, const QString& sujet);

// Plays a sound file and waits for its end; silently nothing without the file or a player.
void JoueSon(const std::string& chemin);

// Opens the help file of the program folder, or says that no help is installed.
void OuvreAide(const std::string& fichierAide);

// The view windows' cursors.
enum class Curseur { Croix = 30, Translation = 31, Rotation = 32, Lateral = 33 };
QCursor CurseurVue(Curseur c);

// The hourglass for the life of this object.
class Sablier {
public:
    Sablier();
    ~Sablier();
    Sablier(const Sablier&) = delete;
    Sablier& operator=(const Sablier&) = delete;
};

}  // namespace karst
