#include "ops/SerialCommsLogic.h"

#include <cstdio>

#include "link/BaudTable.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"

namespace quillon {

SerialCommsLogic::SerialCommsLogic(CTmpApp& app)
    : app_(app),
      portIndex_(app.comPortIndex),
      baudIndex_(app.baudIndex),
      releaseEnabled_(app.HasLink()) {}

SerialCommsLogic::Outcome SerialCommsLogic::Ok(int portSelection, int baudSelection,
                                               Prompts& dialogPrompts) {
    // A procedure or a reply wait still uses the link object: refused with
    // the busy beep, and the dialog stays open.
    if (!app_.ClosePort()) {
        return Outcome::StayOpen;
    }
    portIndex_ = portSelection;
    baudIndex_ = baudSelection;
    auto link = app_.CreateLink(portIndex_ + 1, BaudForIndex(baudIndex_));
    if (link && app_.ReplacePort(std::move(link))) {
        portOpen_ = true;
        releaseEnabled_ = true;
    }
    if (app_.HasLink()) {
        return Outcome::Closed;
    }
    char text[64];
    std::snprintf(text, sizeof text, msg::kErrorOpeningPort, portIndex_ + 1);
    dialogPrompts.MessageBox(text, Icon::Exclamation, Buttons::Ok, msg::kSerialPortConfigCaption);
    return Outcome::StayOpen;
}

SerialCommsLogic::Outcome SerialCommsLogic::Release(int portSelection, int baudSelection) {
    if (!app_.ClosePort()) {
        return Outcome::StayOpen;  // refused as for OK
    }
    portIndex_ = portSelection;
    baudIndex_ = baudSelection;
    return Outcome::Closed;
}

void SerialCommsLogic::StoreInto(CTmpApp& app, Outcome how) const {
    if (how == Outcome::Cancelled) {
        return;
    }
    app.comPortIndex = portIndex_;
    app.baudIndex = baudIndex_;
}

}  // namespace quillon
