#pragma once
// A fault on the simulated line, put where a test wants it: the byte that
// follows each of the first `times` appearances of `after` in one direction
// is replaced with `with`.
#include <cstdint>
#include <memory>
#include <string>

#include "sim/SimLine.h"

namespace quillon::testing {

struct LineSpoil {
    int hits = 0;
    std::string passed;  // every byte that went that way, the spoilt ones as spoilt
};

inline std::shared_ptr<LineSpoil> SpoilAfter(sim::SimLine& line, sim::SimLine::Dir dir,
                                             const std::string& after, int times, char with) {
    auto state = std::make_shared<LineSpoil>();
    line.SetFilter(dir, [state, after, times, with](uint8_t b) {
        std::string& seen = state->passed;
        const bool hit = state->hits < times && seen.size() >= after.size() &&
                         seen.compare(seen.size() - after.size(), after.size(), after) == 0;
        seen += hit ? with : static_cast<char>(b);
        if (!hit) {
            return sim::FilterResult{};
        }
        ++state->hits;
        return sim::FilterResult{sim::FilterAction::Replace, static_cast<uint8_t>(with)};
    });
    return state;
}

}  // namespace quillon::testing
