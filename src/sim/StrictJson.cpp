#include "sim/StrictJson.h"

#include <set>
#include <vector>

namespace quillon::sim {

namespace {

// Thrown from the parser's callback: it stops the parse at the first value
// that is refused, before anything below it is read.
struct Refusal {
    std::string what;
};

// nlohmann's messages begin with "[json.exception.parse_error.101] ".
std::string Plain(const char* message) {
    const std::string s = message;
    const size_t end = s.find("] ");
    return s.rfind("[json.exception.", 0) == 0 && end != std::string::npos ? s.substr(end + 2) : s;
}

}  // namespace

std::optional<Json> ParseStrictJson(const std::string& text, std::string& error) {
    using Event = Json::parse_event_t;
    // The member names seen so far in each object that is still open.
    std::vector<std::set<std::string>> names;
    const Json::parser_callback_t check = [&names](int depth, Event event, Json& parsed) {
        if (depth > kMaxJsonDepth) {
            throw Refusal{"nested too deeply"};
        }
        switch (event) {
            case Event::object_start:
                names.emplace_back();
                break;
            case Event::object_end:
                names.pop_back();
                break;
            case Event::key:
                if (!names.back().insert(parsed.get<std::string>()).second) {
                    throw Refusal{"member \"" + parsed.get<std::string>() + "\" named twice"};
                }
                break;
            case Event::value:
                if (parsed.is_number_float()) {
                    throw Refusal{"only whole numbers are expected"};
                }
                break;
            case Event::array_start:
            case Event::array_end:
                break;
        }
        return true;
    };
    try {
        return Json::parse(text, check);
    } catch (const Refusal& r) {
        error = r.what;
    } catch (const Json::exception& e) {
        error = Plain(e.what());
    }
    return std::nullopt;
}

std::optional<int64_t> IntegerIn(const Json& value, int64_t min, int64_t max) {
    if (value.is_number_unsigned()) {
        const auto v = value.get<uint64_t>();
        if (max >= 0 && v <= static_cast<uint64_t>(max) &&
            (min <= 0 || v >= static_cast<uint64_t>(min))) {
            return static_cast<int64_t>(v);
        }
        return std::nullopt;
    }
    if (value.is_number_integer()) {
        const auto v = value.get<int64_t>();
        if (v >= min && v <= max) {
            return v;
        }
    }
    return std::nullopt;
}

}  // namespace quillon::sim
