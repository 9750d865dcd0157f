#pragma once
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace quillon::sim {

using Json = nlohmann::ordered_json;

// Nesting deeper than this is refused; the simulator's state file needs
// three levels.
inline constexpr int kMaxJsonDepth = 32;

// Reads a JSON text that this program wrote, refusing rather than guessing:
// nesting beyond kMaxJsonDepth, numbers that are not whole, a member named
// twice in one object, text after the value and anything that is not JSON
// are errors (`error` says which). Members keep their order.
std::optional<Json> ParseStrictJson(const std::string& text, std::string& error);

// The value when it is an integer within [min, max]; nothing for any other
// value, so that a number out of range is never cut down to fit.
std::optional<int64_t> IntegerIn(const Json& value, int64_t min, int64_t max);

}  // namespace quillon::sim
