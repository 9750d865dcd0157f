#pragma once
// printf-style formatting into a string, for the messages that carry a value.
#include <cstdio>
#include <string>

namespace quillon {

template <typename... Args>
std::string Format(const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace quillon
