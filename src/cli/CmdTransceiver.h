#pragma once
// quillon-cli's transfers with the card: get, send, exit-binary. They run
// the program's own procedures through the driver, as the main window's
// commands do, and succeed only when the procedure ended with its
// completion message.
#include "cli/CliCommand.h"

namespace quillon::cli {

int RunGet(const CliCall& call);         // --device PATH [--password PW] OUT.bcf
int RunSend(const CliCall& call);        // --device PATH [--password PW] FILE.bcf
int RunExitBinary(const CliCall& call);  // --device PATH

}  // namespace quillon::cli
