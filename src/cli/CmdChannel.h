#pragma once
// quillon-cli's channel editing: the Channel Settings dialog's rules driven
// from "--set LABEL=VALUE" texts, and the Channel Table's Delete.
#include <string>

#include "cli/CliCommand.h"

namespace quillon::cli {

// channel FILE.bcf (--add | --edit N) [--set "LABEL=VALUE"]... [--yes]
int RunChannel(const CliCall& call);
// delete-channel FILE.bcf N... [--references delete|keep]
int RunDeleteChannel(const CliCall& call);

// The labels `--set` takes, each with its values, as `channel --help` lists them.
std::string ChannelLabelHelp();

}  // namespace quillon::cli
