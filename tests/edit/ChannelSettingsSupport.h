#pragma once
// Documents and helpers the channel settings tests share: channel images
// from hex text, the image back as hex, and the engine opened on a slot.
#include <gtest/gtest.h>

#include <string>

#include "ChannelImageHex.h"
#include "edit/ChannelSettings.h"
#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit::testing {

using quillon::testing::BytesHex;
using quillon::testing::ImageHex;
using quillon::testing::MakeAnalogue;
using quillon::testing::MakeScan;
using quillon::testing::SetImageHex;

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
