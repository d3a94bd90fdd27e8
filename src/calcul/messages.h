#pragma once
// What the network computation needs from the user interface: message boxes, the
// unreached-galleries choice and the busy cursor. The shell implements it; tests pass a fake.

#include <string>
#include <vector>

namespace karst {

enum class GenreMessage {
    Simple,         // plain message box
    Information,    // information box with an OK button
    Avertissement,  // warning box with an OK button
    Confirmation,   // confirmation-type box with an OK button
};

class IMessagesCalcul {
public:
    virtual ~IMessagesCalcul() = default;
    // Shows one message. The text is UTF-8; "\r" (and "\r\n") stand for line breaks.
    virtual void Message(const std::string& texte, GenreMessage genre) = 0;
    // The galleries that no reference point reaches, one line each (Windows-1252 bytes, as
    // the sheets hold their names). True to go on without them ("Continuer"), false to stop
    // the computation ("Arrêter").
    virtual bool ContinuerSansLacunes(const std::vector<std::string>& galeries) = 0;
    // Hourglass cursor while true, normal cursor otherwise.
    virtual void Sablier(bool actif) = 0;
};

}  // namespace karst
