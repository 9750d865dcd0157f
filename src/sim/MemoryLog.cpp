#include "sim/MemoryLog.h"

#include <algorithm>

namespace quillon::sim {

bool MemoryLog::Contains(const std::string& line) const {
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

int MemoryLog::Count(const std::string& line) const {
    return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
}

}  // namespace quillon::sim
