#pragma once
// Types keys into the window that has the keyboard focus. A key string holds plain
// characters, the prefixes '@' (Alt), '^' (Ctrl) and '~' (Shift) for the next key, and key
// names in braces ("{ENTER}", "{F4}"). Key codes are the virtual-key codes of the key-name
// table; the events reach the focused widget as Qt key events.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace karst {

class ESendKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EInvalidToken : public ESendKeyError {
public:
    using ESendKeyError::ESendKeyError;
};

// Where the key events go. The default one posts them to the focused widget.
class ICibleTouches {
public:
    virtual ~ICibleTouches() = default;
    // One key event; `scanImpression` is the hardware scan byte 1 of a print-screen key.
    virtual void EvenementTouche(uint8_t code, bool relache, bool scanImpression) = 0;
    // Lets the application process its pending events.
    virtual void TraiteMessages() = 0;
};

// nullptr puts the focused-widget target back.
void InstalleCibleTouches(ICibleTouches* cible);

// 0 when every key was sent, 1 for an invalid token, 2 for any other failure; never throws.
int SendKeys(const std::string& cles);
// The parser; throws EInvalidToken.
void ParseAndSendKeys(const std::string& cles);
bool KeyNameToVirtualKey(const std::string& nom, uint8_t& code);
// Presses and releases one key (low byte of the word; bit 0 of the high byte asks for
// Shift) with the pending modifiers, then clears them.
void SendKeyWithModifiers(uint16_t motTouche);
inline uint16_t MakeKeyWord(uint8_t code, uint8_t etat) { return static_cast<uint16_t>(etat * 256 + code); }
void SendKeyEvent(uint8_t code, bool relache);
inline void PressKey(uint8_t code) { SendKeyEvent(code, false); }
inline void ReleaseKey(uint8_t code) { SendKeyEvent(code, true); }
// The key of a character on a US keyboard: the key code in the low byte, 1 in the high byte
// when Shift is needed; 0xFFFF when no key types it.
uint16_t CaractereEnTouche(char c);

}  // namespace karst
