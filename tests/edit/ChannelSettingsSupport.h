#pragma once
// Documents and helpers the channel settings tests share: channel images
// from hex text, the image back as hex, and the engine opened on a slot.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "edit/ChannelSettings.h"
#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit::testing {

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
// transmit, CTCSS 067.0 both ways, 50 W.
inline void MakeAnalogue(model::CChannel& ch, const char* name) {
    SetImageHex(ch,
                "0000 0000000000000000 01 02 0455125000 0450125000 01 0000 0000 0670 0670 02 01"
                " 00 00 0000 00 0001 0050 00000000000000000000000000000000 00 0000 0000 0000 01"
                " 0000 00 000000 00 00 02 03 0000");
    ch.SetNameBytes(name);
}

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

using C = ChannelControl;

class ChannelSettingsTest : public ::testing::Test {
  protected:
    model::CTmpDoc doc;
    sim::ScriptedPrompts prompts;

    std::unique_ptr<ChannelSettings> Edit(int n) {
        auto s = ChannelSettings::OpenEdit(doc, n);
        EXPECT_NE(s, nullptr);
        return s;
    }
    std::unique_ptr<ChannelSettings> Add() {
        auto s = ChannelSettings::OpenAdd(doc);
        EXPECT_NE(s, nullptr);
        return s;
    }
    static bool Enabled(const ChannelSettings& s, C id) { return s.State(id).enabled; }
    static const std::string& Text(const ChannelSettings& s, C id) { return s.State(id).text; }
    static std::string Content(const ChannelSettings& s, C id) { return s.Field(id).Content(); }
    static int Selection(const ChannelSettings& s, C id) { return s.State(id).selection; }
    static bool Checked(const ChannelSettings& s, C id) { return s.State(id).checked; }
};

}  // namespace quillon::edit::testing
