#include "core/MemorySettings.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace quillon {

int MemorySettings::GetInt(const std::string& section, const std::string& key, int def) {
    auto it = values_.find({section, key});
    if (it == values_.end() || it->second.empty()) {
        return def;
    }
    const char* s = it->second.c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (errno != 0 || *end != '\0' || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max()) {
        return def;
    }
    return static_cast<int>(v);
}

std::string MemorySettings::GetString(const std::string& section, const std::string& key,
                                      const std::string& def) {
    auto it = values_.find({section, key});
    return it == values_.end() ? def : it->second;
}

void MemorySettings::SetInt(const std::string& section, const std::string& key, int value) {
    values_[{section, key}] = std::to_string(value);
}

void MemorySettings::SetString(const std::string& section, const std::string& key,
                               const std::string& value) {
    values_[{section, key}] = value;
}

}  // namespace quillon
