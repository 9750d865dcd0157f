#pragma once
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "ops/RadioParameters.h"

namespace quillon::cli {

// quillon-cli params --device PATH [--password PW] [--set NAME=VALUE ...]:
// the card's four radio-wide parameters, read, or set and read back.
int RunParams(const CliCall& call);

// The parameters and values that `--set` texts ask for: the mask of the
// parameters given (bit i for RadioParameterAt(i)) with their values put
// into `values`, one per parameter in that order. Empty `problem` when every
// text names a parameter and a value the card takes.
struct ParameterSettings {
    unsigned mask = 0;
    std::string values[kRadioParameterCount];
    std::string problem;
};
ParameterSettings ParseParameterSettings(const std::vector<std::string>& settings);

}  // namespace quillon::cli
