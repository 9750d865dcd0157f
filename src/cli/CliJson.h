#pragma once
// A small JSON writer for the command-line tool's dumps.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::cli {

// A JSON string literal. The document's texts are 8-bit characters of no
// declared encoding; each byte above 0x7F is written as the code point of the
// same value, so the output is valid UTF-8 and every byte can be recovered.
std::string JsonString(std::string_view text);

// Lower-case hexadecimal, two digits per byte.
std::string HexBytes(const uint8_t* data, size_t size);

}  // namespace quillon::cli
