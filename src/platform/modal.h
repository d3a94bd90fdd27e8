#pragma once
// Modal windows are shown through one call, so that the tests can work a dialog's controls
// in place of the user and give its result.

#include <functional>

class QDialog;

namespace karst {

// What works a modal dialog in place of the user: it clicks and types, then returns the
// dialog's result.
using PiloteModal = std::function<int(QDialog&)>;

// Shows the dialog modally and returns its result (QDialog::Accepted or Rejected), or hands
// it to the installed driver.
int ExecuteModal(QDialog& dialogue);

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

}  // namespace karst
