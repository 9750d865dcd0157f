#pragma once
#include <string>

namespace quillon::edit {

// Texts a code field shows where its setting has no number: any code is
// heard, the transmit side follows the receive side, or no code at all.
// Their letters cannot be typed into a numeric field, so they only ever
// come from the dialog itself, and leaving the field keeps them as they are.
inline constexpr const char* kAnyText = "ANY";
inline constexpr const char* kAsRxText = "AS RX";
inline constexpr const char* kNoneText = "NONE";

bool IsSpecialText(const std::string& text);

}  // namespace quillon::edit
