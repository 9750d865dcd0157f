#pragma once
// Dialling a remote site's modem and hanging it up again: text procedures
// 11 and 12. Each runs to its end within one driver step, waiting for the
// modem inside SendText; once connected, every later procedure goes over
// the telephone line as over a cable.

namespace quillon {

class CTmpApp;

// Text procedure 11: init string, then the dial command and its result.
void StepModemDial(CTmpApp& app);

// Text procedure 12: guard time, "+++", then the hang-up command.
void StepModemHangup(CTmpApp& app);

}  // namespace quillon
