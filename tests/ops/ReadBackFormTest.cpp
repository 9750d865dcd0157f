// What a Get cannot give back after a Send, named in one place: each such
// place leaves the read-back form alone, and a byte the card does keep
// changes it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ops/ReadBackForm.h"

namespace quillon {
namespace {

namespace off = model::off;
using model::CTmpDoc;

CTmpDoc Sample() {
    CTmpDoc d;
    model::CChannel& fixed = d.channels[3];
    fixed.SetKind(model::ChannelKind::Fixed);
    fixed.SetNameBytes("FIXED");
    fixed.SetByte(off::kRxFrequency + 4, 0x50);
    model::CChannel& scan = d.channels[9];
    scan.SetKind(model::ChannelKind::Scan);
    scan.SetNameBytes("SCAN");
    scan.SetScanRef(0, 0x0003, 0x25);
    scan.SetScanRefCount(1);
    d.squelchGroups.SetItem(2, 0, model::SquGroup::kNac, "0x293");
    d.toneRemote.SetEntry(1, model::CToneRemote::kChannel, 9);
    return d;
}

std::vector<uint8_t> Form(const CTmpDoc& d) {
    return model::WriteDocument(ReadBackForm(d));
}

TEST(ReadBackForm, WhatTheCardCannotGiveBackIsLeftOut) {
    const std::vector<uint8_t> base = Form(Sample());
    const std::vector<std::pair<const char*, std::function<void(CTmpDoc&)>>> leftOut = {
        {"a key", [](CTmpDoc& d) { d.keys.Add("0123456789abcdef", 7); }},
        {"document texts",
         [](CTmpDoc& d) {
             d.docText1 = "x";
             d.docText2 = "y";
             d.docText3 = "5";
             d.formatNumber1 = "1";
             d.formatTag = "veltp_v3_1";
             d.channels.lastChannel = 40;
         }},
        {"a channel's number", [](CTmpDoc& d) { d.channels[3].SetNumber(77); }},
        {"an empty slot's bytes", [](CTmpDoc& d) { d.channels[4].SetByte(off::kRxFrequency, 9); }},
        {"a kind the card does not know",
         [](CTmpDoc& d) {
             d.channels[5].SetByte(off::kChannelKind, 7);
             d.channels[5].SetNameBytes("ODD");
         }},
        {"a fixed channel's bytes after the squelch level",
         [](CTmpDoc& d) { d.channels[3].SetByte(off::kScanRefCount, 4); }},
        {"a scan channel's bytes after its references",
         [](CTmpDoc& d) { d.channels[9].SetByte(off::kPowerWatts + 10, 0x33); }},
        {"an unused item's value",
         [](CTmpDoc& d) { d.squelchGroups.SetItem(2, 5, model::SquGroup::kNotUsed, "0x111"); }},
        {"an unassigned tone's argument",
         [](CTmpDoc& d) {
             d.toneRemote.SetRawEntry(4, model::ToneEntry{model::CToneRemote::kUnassigned, "12"});
         }},
        {"a tone's channel with leading zeros",
         [](CTmpDoc& d) {
             d.toneRemote.SetRawEntry(1, model::ToneEntry{model::CToneRemote::kChannel, "0009"});
         }},
        {"modified mark and path",
         [](CTmpDoc& d) {
             d.SetModified(true);
             d.SetPathName("/tmp/x.bcf");
         }},
    };
    for (const auto& [what, change] : leftOut) {
        CTmpDoc d = Sample();
        change(d);
        EXPECT_EQ(Form(d), base) << what;
    }
}

TEST(ReadBackForm, WhatTheCardKeepsStillCounts) {
    const std::vector<uint8_t> base = Form(Sample());
    const std::vector<std::pair<const char*, std::function<void(CTmpDoc&)>>> kept = {
        {"a fixed channel's frequency",
         [](CTmpDoc& d) { d.channels[3].SetByte(off::kRxFrequency + 4, 0x51); }},
        {"its squelch level", [](CTmpDoc& d) { d.channels[3].SetByte(off::kSquelchLevel, 0x09); }},
        {"a name", [](CTmpDoc& d) { d.channels[3].SetNameBytes("FIXEE"); }},
        {"a kind", [](CTmpDoc& d) { d.channels[3].SetKind(model::ChannelKind::Scan); }},
        {"a scan reference", [](CTmpDoc& d) { d.channels[9].SetScanRef(0, 0x0004, 0x25); }},
        {"the last reference slot", [](CTmpDoc& d) { d.channels[9].SetScanRef(7, 0x0003, 1); }},
        {"a reference count", [](CTmpDoc& d) { d.channels[9].SetScanRefCount(2); }},
        {"a used item",
         [](CTmpDoc& d) { d.squelchGroups.SetItem(2, 0, model::SquGroup::kNac, "0x294"); }},
        {"a group name", [](CTmpDoc& d) { d.squelchGroups.SetName(2, "TOWN"); }},
        {"a tone's channel",
         [](CTmpDoc& d) { d.toneRemote.SetEntry(1, model::CToneRemote::kChannel, 3); }},
        {"a radio-wide setting", [](CTmpDoc& d) { d.frontPanelVolume = "3"; }},
    };
    for (const auto& [what, change] : kept) {
        CTmpDoc d = Sample();
        change(d);
        EXPECT_NE(Form(d), base) << what;
    }
}

}  // namespace
}  // namespace quillon
