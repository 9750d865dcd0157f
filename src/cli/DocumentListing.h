#pragma once
// What `quillon-cli list` prints: a document as a person reads it.
#include <string>

#include "model/CTmpDoc.h"

namespace quillon::cli {

// The used channels one a line, as the Channel Table lists them, then the
// squelch groups in use with their codes, the assigned tone remote slots,
// the key ids (never a key) and the four radio-wide settings. Texts of the
// document are 8-bit characters; they come out as UTF-8.
std::string ListDocument(const model::CTmpDoc& doc);

}  // namespace quillon::cli
