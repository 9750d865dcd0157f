#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The documents and the card keep texts as 8-bit characters of no declared
// encoding. Where such a text has to become Unicode (JSON), each byte is
// taken as the code point of the same value, so that every byte survives
// the round trip and ASCII stays as it is.

// Each byte as the code point of its value, in UTF-8.
std::string EightBitToUtf8(std::string_view text);

// The reverse: nothing when the text is not UTF-8 or holds a code point
// above 0xFF, which no 8-bit text turns into.
std::optional<std::string> Utf8ToEightBit(std::string_view text);

}  // namespace quillon
