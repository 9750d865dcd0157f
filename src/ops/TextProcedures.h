#pragma once
// The text procedures of a Send and a Get after the binary tables, and the
// password change: each runs to its end within one driver step, waiting for
// the card inside SendText, and reports its own failures.

namespace quillon {

class CTmpApp;

// Text procedure 1: the card stores its channel table and reboots; the
// login that follows confirms the reboot.
void StepWriteChannelTable(CTmpApp& app);

// Text procedure 4: the card's keys are erased and the document's written.
void StepKeyUpload(CTmpApp& app);

// Text procedure 8: the radio-wide parameters into the document; ends the Get.
void StepParameterRead(CTmpApp& app);

// Text procedure 9: the document's radio-wide parameters into the card.
void StepParameterWrite(CTmpApp& app);

// Text procedure 10: the Change Password dialog, then the card's chpwd.
void StepChangePassword(CTmpApp& app);

// Text procedure 2 as the driver runs it: the login, and when it is the
// re-login after a written channel table, the rule that it ends either
// confirming the reboot or with a failure message.
void StepLoginOrConfirm(CTmpApp& app);

// What the Send command checks before it starts: the document's keys and
// radio-wide parameters, which reach the card's command line as text. False
// (after the message naming the bad value) when the Send must not start.
bool CheckBeforeSend(CTmpApp& app);

}  // namespace quillon
