#pragma once
// The layout of the command-line tool's JSON output.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace quillon::cli {

using Json = nlohmann::ordered_json;

// The value as text: objects and arrays down to `expandedLevels` levels
// with one member per line and two spaces of indentation per level, deeper
// ones on one line ({"a": 1, "b": [2, 3]}); ASCII only, anything else
// escaped as a \u escape of four hexadecimal digits. Ends with a line end.
std::string WriteJson(const Json& value, int expandedLevels);

// Lower-case hexadecimal, two digits per byte.
std::string HexBytes(const uint8_t* data, size_t size);

}  // namespace quillon::cli
