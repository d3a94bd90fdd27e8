#pragma once
// Modal windows are shown through one call, so that the tests can work a dialog's controls
// in place of the user and give its result.

#include <QtCore/qnamespace.h>
#include <QPointer>
#include <functional>

class QDialog;
class QDrag;
class QRect;
class QWidget;

namespace karst {

// What works a modal dialog in place of the user: it clicks and types, then returns the
// dialog's result.
using PiloteModal = std::function<int(QDialog&)>;

// While it lives, a modal window opened from the active window; at its end, that window is
// active again and its focus widget has the keyboard. Left to itself, a window manager may
// activate another window, or none, when a modal window closes, and the keys typed next
// would go nowhere until a click. Every modal window runs under one.
class RetourClavier {
public:
    // `modale` may be null for a dialog made inside a library call.
    explicit RetourClavier(const QWidget* modale);
    ~RetourClavier();
    RetourClavier(const RetourClavier&) = delete;
    RetourClavier& operator=(const RetourClavier&) = delete;

private:
    QPointer<QWidget> fenetre_, focus_;
};

// Makes the window active again, its focus widget having the keyboard (`focus`, one of its
// widgets, when it has lost its own); a hidden window is left alone.
void RendClavier(QWidget* fenetre, QWidget* focus = nullptr);

// The window has the keyboard, or a window it opened has it, or it is on its way back to
// the program (a question just closed, no window active yet).
bool TientClavier(const QWidget& fenetre);

// Shows the dialog modally and returns its result (QDialog::Accepted or Rejected), or hands
// it to the installed driver.
int ExecuteModal(QDialog& dialogue);

// A modal window of the program is open (a dialog, a question): the caver is in it, and a
// box the program opened of itself would take the keys he types there.
bool ModaleOuverte();

// Installs a driver for the life of this object.
class PiloteModalInstalle {
public:
    explicit PiloteModalInstalle(PiloteModal pilote);
    ~PiloteModalInstalle();
    PiloteModalInstalle(const PiloteModalInstalle&) = delete;
    PiloteModalInstalle& operator=(const PiloteModalInstalle&) = delete;

private:
    PiloteModal precedent_;
};

// Places a shown window: in the middle of its screen's free area, or moved just enough to
// lie whole within it.
void CentreDansEcran(QWidget& fenetre);
void GardeDansEcran(QWidget& fenetre);
// The rectangle moved just enough to lie within `libre`; one larger than it keeps its
// top-left corner there.
QRect DansEcran(QRect cadre, const QRect& libre);

// A drag runs its own modal loop, which only the system's pointer drives: it too goes
// through one call, and a test's driver delivers the drag and drop events in its place.
using PiloteGlisse = std::function<Qt::DropAction(QDrag&)>;

// Runs the drag (QDrag::exec) and returns the action taken, or hands it to the installed
// driver.
Qt::DropAction ExecuteGlisse(QDrag& glisse, Qt::DropActions actions);

class PiloteGlisseInstalle {
public:
    explicit PiloteGlisseInstalle(PiloteGlisse pilote);
    ~PiloteGlisseInstalle();
    PiloteGlisseInstalle(const PiloteGlisseInstalle&) = delete;
    PiloteGlisseInstalle& operator=(const PiloteGlisseInstalle&) = delete;

private:
    PiloteGlisse precedent_;
};

}  // namespace karst
