#pragma once
// Channel images written out and read in as hex text, so tests state the
// bytes they expect literally.
#include <cstdio>
#include <string>

#include "model/CChannel.h"

namespace quillon::testing {

// The 78 bytes of a channel image as hex, a blank between bytes.
inline std::string ImageHex(const model::CChannel& ch) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < model::kChannelImageSize; ++i) {
        std::snprintf(b, sizeof b, i == 0 ? "%02x" : " %02x", ch.Image()[i]);
        s += b;
    }
    return s;
}

// Bytes [offset, offset + n) of an image as hex, a blank between bytes.
inline std::string BytesHex(const model::CChannel& ch, size_t offset, size_t n) {
    return ImageHex(ch).substr(offset * 3, n * 3 - 1);
}

// An image from hex text (blanks ignored); bytes not given are 0.
inline void SetImageHex(model::CChannel& ch, const std::string& hex) {
    ch.Image().fill(0);
    size_t i = 0;
    for (size_t k = 0; k + 1 < hex.size() && i < model::kChannelImageSize;) {
        if (hex[k] == ' ') {
            ++k;
            continue;
        }
        ch.Image()[i++] = static_cast<uint8_t>(std::stoi(hex.substr(k, 2), nullptr, 16));
        k += 2;
    }
}

// A fixed Wideband FM repeater channel: 450.125 MHz receive, 455.125
// transmit, CTCSS 067.0 both ways, 50 W, squelch level 03.
inline void MakeAnalogue(model::CChannel& ch, const char* name) {
    SetImageHex(ch,
                "0000 0000000000000000 01 02 0455125000 0450125000 01 0000 0000 0670 0670 02 01"
                " 00 00 0000 00 0001 0050 00000000000000000000000000000000 00 0000 0000 0000 01"
                " 0000 00 000000 00 00 02 03 0000");
    ch.SetNameBytes(name);
}

// A scan channel listing the given channels (BCD numbers), dwell 2.5 s each.
inline void MakeScan(model::CChannel& ch, const char* name, std::initializer_list<uint16_t> refs) {
    ch.Clear();
    ch.SetKind(model::ChannelKind::Scan);
    ch.SetNameBytes(name);
    int i = 0;
    for (uint16_t r : refs) {
        ch.SetScanRef(i++, r, 0x25);
    }
    ch.SetScanRefCount(static_cast<uint16_t>(i));
}

}  // namespace quillon::testing
