#pragma once
// quillon-cli diff: two documents, or a document and the card, compared
// field by field.
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "edit/ConfigCompare.h"

namespace quillon::cli {

// A.bcf B.bcf [--json], or --device PATH A.bcf [--password PW] [--json].
int RunDiff(const CliCall& call);

// The differences as diff prints them: one line per field, a count last.
std::string DiffText(const std::vector<edit::Difference>& diffs);
// The same as JSON.
std::string DiffJson(const std::vector<edit::Difference>& diffs);

}  // namespace quillon::cli
