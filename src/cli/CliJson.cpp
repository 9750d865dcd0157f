#include "cli/CliJson.h"

namespace quillon::cli {

namespace {

bool Container(const Json& v) {
    return v.is_object() || v.is_array();
}

// The text of a member name or a scalar.
std::string Scalar(const Json& v) {
    return v.dump(-1, ' ', true);
}

void Write(std::string& out, const Json& v, int level, int expandedLevels) {
    if (!Container(v)) {
        out += Scalar(v);
        return;
    }
    const bool object = v.is_object();
    out += object ? '{' : '[';
    const bool expanded = level < expandedLevels;
    const std::string inner(static_cast<size_t>(level + 1) * 2, ' ');
    bool first = true;
    for (auto it = v.begin(); it != v.end(); ++it) {
        out += first ? "" : ",";
        out += expanded ? "\n" + inner : (first ? "" : " ");
        first = false;
        if (object) {
            out += Scalar(it.key());
            out += ": ";
        }
        Write(out, *it, level + 1, expandedLevels);
    }
    if (expanded) {
        out += "\n" + std::string(static_cast<size_t>(level) * 2, ' ');
    }
    out += object ? '}' : ']';
}

}  // namespace

std::string WriteJson(const Json& value, int expandedLevels) {
    std::string out;
    Write(out, value, 0, expandedLevels);
    out += '\n';
    return out;
}

std::string HexBytes(const uint8_t* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0x0F]);
    }
    return out;
}

}  // namespace quillon::cli
