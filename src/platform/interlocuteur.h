#pragma once
// Every message box, question, input box and common dialog of the program goes through
// one interlocutor: the Qt one on the screen, a scripted one in the tests.

#include <QString>
#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "survey/icone.h"

class QPrinter;

namespace karst {

enum class Bouton { Aucun, Oui, Non, OK, Annuler };

// The answer of a box closed without a button: the one that commits to least, Annuler,
// else Non, else Oui (a box "Oui"/"OK" names its Oui as the closing answer), else OK.
Bouton Fermeture(const std::vector<Bouton>& boutons);

// An open or save dialog. The filter is a list of "description|patterns" pairs separated
// by '|', as "(dossier fiche) *.fic|*.fic|(massif texte) *.mas|*.mas"; indexFiltre counts
// the pairs from 1. Where there is a default extension (without the dot), a chosen name
// without one gets the extension of the filter entry chosen, else the default one.
struct DialogueFichier {
    QString titre;
    QString filtre;
    QString extensionDefaut;
    QString nom;          // proposed, then chosen
    int indexFiltre = 1;  // proposed, then chosen
    QString dossier;      // where the dialog opens; empty: the dialog's own choice
};

// The folder a file dialog of a kind ("svg", "pdf"...) opens in: the last one chosen for
// that kind during the run while it is still there, else the open massif's folder, else none.
QString DossierDialogue(const QString& genre);
// The same, with `sinon` where no folder of that kind was chosen yet.
QString DossierDialogue(const QString& genre, const QString& sinon);
// Remembers the folder of the file chosen in a dialog of that kind.
void RetiensDossier(const QString& genre, const QString& fichier);
// The open massif's file ("" for none or an unnamed one): its folder is the dialogs' default.
void FixeDocument(const std::string& fichier);

// The print dialog: the page range offered and chosen, and the copies.
struct DialogueImpression {
    QPrinter* imprimante = nullptr;
    int minimum = 1, maximum = 1;
    int de = 1, a = 1;
    bool plage = false;  // the page range was chosen rather than all pages
    int copies = 1;
    bool assembler = true;  // each copy whole before the next one
    bool inverse = false;   // last page first
    // Whether the job of pages `de` to `a` (0 and 0: all) in `copies` copies is printed;
    // it says why not. Asked when the user confirms, before the dialog asks about writing
    // over a file.
    std::function<bool(int de, int a, int copies)> accepte = nullptr;
};

class Interlocuteur {
public:
    virtual ~Interlocuteur();

    // A message box with these buttons; returns the one pressed, or the answer of
    // Fermeture when the box is closed (Escape, the window's close button). Enter presses
    // the first button.
    Bouton Message(const QString& texte, Icone icone, const std::vector<Bouton>& boutons)
    {
        return Question(texte, icone, boutons, boutons.empty() ? Bouton::Aucun : boutons.front());
    }
    // A question whose first button throws work away (discards what was typed, deletes):
    // Enter presses the safe answer, the one closing the box gives, so that a reflex key
    // keeps the work. True when the first button was pressed.
    bool ConfirmePerte(const QString& texte, Icone icone,
                       const std::vector<Bouton>& boutons = {Bouton::OK, Bouton::Annuler})
    {
        return !boutons.empty() && Question(texte, icone, boutons, Fermeture(boutons)) == boutons.front();
    }
    // The box itself: `defaut` is the button Enter presses.
    virtual Bouton Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons, Bouton defaut) = 0;
    // An input box; false when cancelled.
    virtual bool Saisie(const QString& titre, const QString& invite, QString& valeur) = 0;
    virtual bool Ouvrir(DialogueFichier& d) = 0;
    virtual bool Enregistrer(DialogueFichier& d) = 0;
    virtual bool Couleur(uint32_t& couleur) = 0;  // 0x00BBGGRR
    // The font dialog preset with this font (screen and printer fonts); on confirmation the
    // font takes the chosen name, size and style, and keeps its colour, character set and
    // pitch. False when cancelled.
    virtual bool ChoixPolice(Police& police) = 0;
    virtual bool Impression(DialogueImpression& d) = 0;
    virtual bool ConfigurationImprimante(QPrinter* imprimante) = 0;

    // Shorthands.
    void Information(const QString& texte) { Message(texte, Icone::Information, {Bouton::OK}); }
    void Avertissement(const QString& texte) { Message(texte, Icone::Avertissement, {Bouton::OK}); }
    void Erreur(const QString& texte) { Message(texte, Icone::Erreur, {Bouton::OK}); }
    // The error's text, in French when memory ran out.
    void Erreur(const std::exception& e);
    // Before a file is written: true when no file is there, or when the user answers Oui
    // to writing over it (Enter answers Non). The question names the file without its folder.
    bool EcritParDessus(const std::string& chemin);

    // The interlocutor in use: the Qt one unless another was installed.
    static Interlocuteur& Courant();
    // nullptr puts the Qt one back.
    static void Installe(Interlocuteur* i);
};

inline Interlocuteur& Invite() { return Interlocuteur::Courant(); }

// The Qt dialogs, with French button texts and their accelerators ("&Oui", "&Non").
class InterlocuteurQt : public Interlocuteur {
public:
    Bouton Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons, Bouton defaut) override;
    bool Saisie(const QString& titre, const QString& invite, QString& valeur) override;
    bool Ouvrir(DialogueFichier& d) override;
    bool Enregistrer(DialogueFichier& d) override;
    bool Couleur(uint32_t& couleur) override;
    bool ChoixPolice(Police& police) override;
    bool Impression(DialogueImpression& d) override;
    bool ConfigurationImprimante(QPrinter* imprimante) override;
};

// Answers from scripts, for the tests; every question is recorded. An empty script gives
// the first button listed, cancels a file or colour dialog and confirms an input box
// unchanged; a scripted Bouton::Aucun closes the box (the answer of Fermeture).
class InterlocuteurScripte : public Interlocuteur {
public:
    struct Trace {
        QString texte;
        Icone icone;
        std::vector<Bouton> boutons;
        Bouton defaut = Bouton::Aucun;  // the button Enter presses
    };

    std::deque<Bouton> reponses;
    std::deque<std::optional<QString>> fichiers;  // nullopt: cancelled
    std::deque<std::optional<QString>> saisies;
    std::deque<int> indexFiltres;  // chosen filter entries, 1 by default
    std::deque<std::optional<uint32_t>> couleurs;
    std::deque<std::optional<Police>> polices;  // nullopt: cancelled
    std::vector<Police> policesProposees;
    std::deque<std::optional<DialogueImpression>> impressions;
    std::vector<DialogueImpression> impressionsProposees;
    std::vector<Trace> messages;
    std::vector<DialogueFichier> dialoguesFichier;  // as they were proposed

    Bouton Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons, Bouton defaut) override;
    bool Saisie(const QString& titre, const QString& invite, QString& valeur) override;
    bool Ouvrir(DialogueFichier& d) override;
    bool Enregistrer(DialogueFichier& d) override;
    bool Couleur(uint32_t& couleur) override;
    bool ChoixPolice(Police& police) override;
    bool Impression(DialogueImpression& d) override;
    bool ConfigurationImprimante(QPrinter* imprimante) override;

    // The texts of the messages shown so far.
    QStringList Textes() const;

private:
    bool fichier(DialogueFichier& d);
};

// Installs an interlocutor for the life of this object.
class InterlocuteurInstalle {
public:
    explicit InterlocuteurInstalle(Interlocuteur& i) { Interlocuteur::Installe(&i); }
    ~InterlocuteurInstalle() { Interlocuteur::Installe(nullptr); }
    InterlocuteurInstalle(const InterlocuteurInstalle&) = delete;
    InterlocuteurInstalle& operator=(const InterlocuteurInstalle&) = delete;
};

// Qt filter strings ("description (patterns)") of a '|'-separated filter.
QStringList FiltresQt(const QString& filtre);
// The extension of a '|'-separated filter entry (1-based), without the dot, or "" when it
// names several patterns or none.
QString ExtensionFiltre(const QString& filtre, int index);

}  // namespace karst
