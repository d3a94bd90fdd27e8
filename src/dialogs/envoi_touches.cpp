#include "dialogs/envoi_touches.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <array>
#include <cstring>

#include "survey/textes.h"

namespace karst {

namespace {

struct NomTouche {
    const char* nom;
    uint8_t code;
};

// Searched in this order: the first equal name wins.
constexpr std::array<NomTouche, 38> kNomsTouches = {{
    {"LBUTTON", 1},  {"RBUTTON", 2},  {"CTRLBREAK", 3}, {"MBUTTON", 4},  {"F1", 112},   {"F2", 113},    {"F3", 114},
    {"F4", 115},     {"F5", 116},     {"F6", 117},      {"F7", 118},     {"F8", 119},   {"F9", 120},    {"F10", 121},
    {"F11", 122},    {"F12", 123},    {"INSERT", 45},   {"DELETE", 46},  {"HOME", 36},  {"END", 35},    {"PGUP", 33},
    {"PGDN", 34},    {"LEFT", 37},    {"UP", 38},       {"RIGHT", 39},   {"DOWN", 40},  {"SELECT", 41}, {"TAB", 9},
    {"ENTER", 13},   {"BACK", 8},     {"PRTSCR", 44},   {"@PRTSCR", 44}, {"SHIFT", 16}, {"ESCAPE", 27}, {"PAUSE", 19},
    {"CAPITAL", 20}, {"SCROLL", 145}, {"WAIT", 0},
}};

constexpr uint8_t kShift = 16, kCtrl = 17, kAlt = 18;

// Pending for the next key only.
bool AltDown = false, ControlDown = false, ShiftDown = false;
bool PrintScreenScan = false;

// Punctuation keys of a US keyboard: the unshifted and the shifted character of each.
struct ToucheSigne {
    uint8_t code;
    char simple, majuscule;
};
constexpr std::array<ToucheSigne, 11> kSignes = {{{186, ';', ':'},
                                                  {187, '=', '+'},
                                                  {188, ',', '<'},
                                                  {189, '-', '_'},
                                                  {190, '.', '>'},
                                                  {191, '/', '?'},
                                                  {192, '`', '~'},
                                                  {219, '[', '{'},
                                                  {220, '\\', '|'},
                                                  {221, ']', '}'},
                                                  {222, '\'', '"'}}};
constexpr const char* kChiffresMaj = ")!@#$%^&*(";

// The Qt key of a key code, or 0.
int CleQt(uint8_t code)
{
    if (code >= 'A' && code <= 'Z')
        return Qt::Key_A + (code - 'A');
    if (code >= '0' && code <= '9')
        return Qt::Key_0 + (code - '0');
    if (code >= 112 && code <= 123)
        return Qt::Key_F1 + (code - 112);
    switch (code) {
    case 3: return Qt::Key_Cancel;
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case kShift: return Qt::Key_Shift;
    case kCtrl: return Qt::Key_Control;
    case kAlt: return Qt::Key_Alt;
    case 19: return Qt::Key_Pause;
    case 20: return Qt::Key_CapsLock;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 35: return Qt::Key_End;
    case 36: return Qt::Key_Home;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 41: return Qt::Key_Select;
    case 44: return Qt::Key_Print;
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    case 145: return Qt::Key_ScrollLock;
    default: break;
    }
    for (const ToucheSigne& s : kSignes)
        if (s.code == code)
            return s.simple;  // the Qt keys of ASCII signs are their codes
    return 0;
}

// The character a key types, or 0.
char CaractereDeTouche(uint8_t code, bool shift)
{
    if (code >= 'A' && code <= 'Z')
        return static_cast<char>(shift ? code : code - 'A' + 'a');
    if (code >= '0' && code <= '9')
        return shift ? kChiffresMaj[code - '0'] : static_cast<char>(code);
    if (code == 32)
        return ' ';
    for (const ToucheSigne& s : kSignes)
        if (s.code == code)
            return shift ? s.majuscule : s.simple;
    return 0;
}

// Posts the events to the focused widget, keeping the modifier keys held down.
class CibleFocus : public ICibleTouches {
public:
    void EvenementTouche(uint8_t code, bool relache, bool) override
    {
        Qt::KeyboardModifier m = Qt::NoModifier;
        if (code == kShift)
            m = Qt::ShiftModifier;
        else if (code == kCtrl)
            m = Qt::ControlModifier;
        else if (code == kAlt)
            m = Qt::AltModifier;
        if (m != Qt::NoModifier) {
            if (relache)
                modificateurs_ &= ~m;
            else
                modificateurs_ |= m;
        }
        QWidget* cible = QApplication::focusWidget();
        const int cle = CleQt(code);
        if (!cible || cle == 0)
            return;
        QString texte;
        if (!(modificateurs_ & (Qt::ControlModifier | Qt::AltModifier))) {
            const char c = CaractereDeTouche(code, modificateurs_ & Qt::ShiftModifier);
            if (c)
                texte = QString(QLatin1Char(c));
            else if (code == 13)
                texte = QStringLiteral("\r");
            else if (code == 9)
                texte = QStringLiteral("\t");
        }
        QCoreApplication::postEvent(
            cible, new QKeyEvent(relache ? QEvent::KeyRelease : QEvent::KeyPress, cle, modificateurs_, texte));
    }
    void TraiteMessages() override { QCoreApplication::processEvents(); }

private:
    Qt::KeyboardModifiers modificateurs_ = Qt::NoModifier;
};

ICibleTouches* cibleInstallee = nullptr;

ICibleTouches& Cible()
{
    static CibleFocus focus;
    return cibleInstallee ? *cibleInstallee : focus;
}

}  // namespace

void InstalleCibleTouches(ICibleTouches* cible) { cibleInstallee = cible; }

uint16_t CaractereEnTouche(char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<uint16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return MakeKeyWord(static_cast<uint8_t>(c), 1);
    if (c >= '0' && c <= '9')
        return static_cast<uint16_t>(c);
    for (int i = 0; i < 10; ++i)
        if (kChiffresMaj[i] == c)
            return MakeKeyWord(static_cast<uint8_t>('0' + i), 1);
    switch (c) {
    case ' ': return 32;
    case '\t': return 9;
    case '\r': return 13;
    case '\n': return MakeKeyWord(13, 2);  // Ctrl+Enter
    case '\b': return 8;
    case 27: return 27;
    default: break;
    }
    for (const ToucheSigne& s : kSignes) {
        if (s.simple == c)
            return s.code;
        if (s.majuscule == c)
            return MakeKeyWord(s.code, 1);
    }
    return 0xFFFF;
}

bool KeyNameToVirtualKey(const std::string& nom, uint8_t& code)
{
    const std::string n = MajAscii(nom.substr(0, 9));
    for (const NomTouche& t : kNomsTouches)
        if (n == t.nom) {
            code = t.code;
            return true;
        }
    return false;
}

void SendKeyEvent(uint8_t code, bool relache) { Cible().EvenementTouche(code, relache, PrintScreenScan); }

void SendKeyWithModifiers(uint16_t motTouche)
{
    const auto code = static_cast<uint8_t>(motTouche & 0xFF);
    const bool s = (motTouche >> 8) & 1;
    const bool avecShift = (s && !ControlDown) || ShiftDown;
    if (AltDown)
        PressKey(kAlt);
    if (ControlDown)
        PressKey(kCtrl);
    if (avecShift)
        PressKey(kShift);
    PressKey(code);
    ReleaseKey(code);
    if (avecShift)
        ReleaseKey(kShift);
    ShiftDown = false;
    if (ControlDown) {
        ReleaseKey(kCtrl);
        ControlDown = false;
    }
    if (AltDown) {
        ReleaseKey(kAlt);
        AltDown = false;
    }
    Cible().TraiteMessages();
}

void ParseAndSendKeys(const std::string& cles)
{
    std::size_t i = 0;
    while (i < cles.size()) {
        const char c = cles[i++];
        if (c == '@') {
            AltDown = true;
        } else if (c == '^') {
            ControlDown = true;
        } else if (c == '~') {
            ShiftDown = true;
        } else if (c == '{') {
            std::string nom;
            bool ferme = false;
            while (i < cles.size()) {
                const char d = cles[i++];
                if (d == '}') {
                    ferme = true;
                    break;
                }
                if (nom.size() == 9)
                    break;  // a tenth character where the brace should be
                nom += d;
            }
            if (!ferme)
                throw EInvalidToken("Acolade fermante absente \"}\"");
            uint8_t code = 0;
            if (!KeyNameToVirtualKey(nom, code))
                throw EInvalidToken("Token invalide");
            PrintScreenScan = nom == "PRTSCR";
            if (code != 0)
                SendKeyWithModifiers(MakeKeyWord(code, 0));
            else
                Cible().TraiteMessages();
        } else {
            SendKeyWithModifiers(CaractereEnTouche(c));
        }
    }
}

int SendKeys(const std::string& cles)
{
    try {
        ParseAndSendKeys(cles);
        return 0;
    } catch (const EInvalidToken&) {
        // A prefix before the faulty token must not reach the next key string.
        AltDown = ControlDown = ShiftDown = false;
        return 1;
    } catch (...) {
        AltDown = ControlDown = ShiftDown = false;
        return 2;
    }
}

}  // namespace karst
