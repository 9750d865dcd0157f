#pragma once
#include "cli/CliCommand.h"

namespace quillon::cli {

// quillon-cli change-password --device PATH --old OLD --new NEW: the
// program's Change Password command, its dialog answered from the command
// line.
int RunChangePassword(const CliCall& call);

}  // namespace quillon::cli
