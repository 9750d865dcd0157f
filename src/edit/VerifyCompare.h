#pragma once
// The comparison behind verify-after-Send: the document sent against the
// configuration read back from the card, both in their read-back form, one
// line per differing field as the user knows it.
#include <string>
#include <vector>

#include "model/CTmpDoc.h"

namespace quillon::edit {

// "Channel 012 Rx Freq (MHz): 450.012500 -> 450.012501", one line per
// field; empty when the card holds the document. Keys are left out: the
// card never gives them back.
std::vector<std::string> VerifyDifferences(const model::CTmpDoc& sent, const model::CTmpDoc& card);

}  // namespace quillon::edit
