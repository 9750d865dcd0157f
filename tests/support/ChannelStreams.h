#pragma once
// Channel tables and the byte streams they travel as, for the block engine's
// exchange tests and its benchmark: 512 fixed channels of random record
// bytes (the largest table there is) and the stream cut into blocks behind a
// two-byte header.
#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "sim/CardContent.h"

namespace quillon::testing {

using Bytes = std::vector<uint8_t>;
inline constexpr int kStreamChannels = 512;
inline constexpr size_t kStreamPerBlock = 254;

// A channel number as four BCD digits.
inline std::array<uint8_t, 2> Bcd4(int v) {
    return {static_cast<uint8_t>(((v / 1000) << 4) | ((v / 100) % 10)),
            static_cast<uint8_t>((((v / 10) % 10) << 4) | (v % 10))};
}

inline std::array<sim::CardChannel, kStreamChannels> RandomTable(uint32_t seed) {
    std::mt19937 rng(seed);
    std::array<sim::CardChannel, kStreamChannels> t{};
    for (auto& ch : t) {
        ch.kind = 1;
        for (auto& b : ch.data) {
            b = static_cast<uint8_t>(rng());
        }
    }
    return t;
}

// The records of slots 0 to 511 back to back.
inline Bytes Stream(const std::array<sim::CardChannel, kStreamChannels>& table) {
    Bytes s;
    for (int slot = 0; slot < kStreamChannels; ++slot) {
        const auto n = Bcd4(slot);
        s.push_back(n[0]);
        s.push_back(n[1]);
        s.push_back(1);
        const auto& d = table[static_cast<size_t>(slot)].data;
        s.insert(s.end(), d.begin(), d.end());
    }
    return s;
}

// The stream in blocks behind the header h0 h1; the last block is left short
// unless `pad` is set (a sender's FinishMessage completes it).
inline Bytes WithHeaders(uint8_t h0, uint8_t h1, const Bytes& stream, bool pad) {
    Bytes out;
    for (size_t pos = 0; pos < stream.size(); pos += kStreamPerBlock) {
        out.push_back(h0);
        out.push_back(h1);
        const size_t n = std::min(kStreamPerBlock, stream.size() - pos);
        out.insert(out.end(), stream.begin() + static_cast<long>(pos),
                   stream.begin() + static_cast<long>(pos + n));
    }
    if (pad) {
        out.resize((out.size() + 255) / 256 * 256, 0);
    }
    return out;
}

}  // namespace quillon::testing
