#pragma once

#include "core/Prompts.h"

namespace quillon {

class CTmpApp;

// What the "Configure Serial Comms" dialog does with its buttons, apart from
// showing itself: the dialog passes in the selections and closes or stays
// open as told.
class SerialCommsLogic {
  public:
    enum class Outcome { StayOpen, Closed, Cancelled };

    // Takes the stored port and baud indices and whether a link object exists.
    explicit SerialCommsLogic(CTmpApp& app);

    int PortIndex() const { return portIndex_; }
    int BaudIndex() const { return baudIndex_; }
    bool ReleaseEnabled() const { return releaseEnabled_; }
    bool PortOpened() const { return portOpen_; }

    // OK: reopen the port on the selection. Shows "Error opening Com port %i"
    // (through the given prompts, owned by the dialog) and stays open when
    // the port does not open. While a procedure runs the port is not
    // touched: the application beeps and the dialog stays open.
    Outcome Ok(int portSelection, int baudSelection, Prompts& dialogPrompts);
    // Release: close the port and keep the selections; refused like OK
    // while a procedure runs.
    Outcome Release(int portSelection, int baudSelection);
    Outcome Cancel() { return Outcome::Cancelled; }

    // After the dialog has closed: the application keeps the selections
    // (unchanged after Cancel).
    void StoreInto(CTmpApp& app, Outcome how) const;

  private:
    CTmpApp& app_;
    int portIndex_;
    int baudIndex_;
    bool releaseEnabled_;
    bool portOpen_ = false;
};

}  // namespace quillon
