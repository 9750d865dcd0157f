#pragma once
// quillon-cli probe: finds the card's mode, logs in, checks its version and
// logs out again.
#include "cli/CliCommand.h"

namespace quillon::cli {

int RunProbe(const CliCall& call);  // --device PATH [--password PW]

}  // namespace quillon::cli
