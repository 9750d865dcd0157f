#pragma once
// A document whose 512 channels are all fixed and all different, the
// largest table a transfer moves, and the comparisons a round trip needs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/CTmpDoc.h"
#include "sim/CardContent.h"

namespace quillon::testing {

inline void FillFixedChannels(model::CTmpDoc& d) {
    for (int c = 0; c < model::kChannelCount; ++c) {
        model::CChannel& ch = d.channels[c];
        for (size_t i = 11; i < 76; ++i) {
            ch.SetByte(i, static_cast<uint8_t>(0x90 + i + static_cast<size_t>(c)));
        }
        ch.SetKind(model::ChannelKind::Fixed);
        ch.SetNameBytes("CH" + std::to_string(c));
    }
}

// The channel records of two documents agree, name and data bytes alike.
inline bool SameChannels(const model::CTmpDoc& a, const model::CTmpDoc& b) {
    for (int c = 0; c < model::kChannelCount; ++c) {
        const auto& x = a.channels[c].Image();
        const auto& y = b.channels[c].Image();
        if (a.channels[c].KindByte() != b.channels[c].KindByte() ||
            !std::equal(x.begin() + 2, x.begin() + 10, y.begin() + 2) ||
            (a.channels[c].IsFixed() &&
             !std::equal(x.begin() + 11, x.begin() + 76, y.begin() + 11))) {
            return false;
        }
    }
    return true;
}

// The card holds the document's fixed channels: name, then the bytes after
// the kind byte.
inline bool CardHoldsChannels(const sim::CardContent& card, const model::CTmpDoc& d) {
    for (int c = 0; c < model::kChannelCount; ++c) {
        const auto& img = d.channels[c].Image();
        const auto& rec = card.channels[static_cast<size_t>(c)];
        if (rec.kind != d.channels[c].KindByte() ||
            !std::equal(img.begin() + 2, img.begin() + 10, rec.data.begin()) ||
            !std::equal(img.begin() + 11, img.begin() + 76, rec.data.begin() + 8)) {
            return false;
        }
    }
    return true;
}

}  // namespace quillon::testing
