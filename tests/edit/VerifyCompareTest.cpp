// The verify compare: the fields that differ, named, and never the keys
// (a configuration read back from the card has none).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/VerifyCompare.h"

namespace quillon::edit {
namespace {

namespace off = model::off;

model::CTmpDoc Sent() {
    model::CTmpDoc doc;
    model::CChannel& ch = doc.channels[12];
    ch.SetNumber(12);
    ch.SetNameBytes("Dispatch");
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetByte(off::kSignalType, 3);
    const uint8_t rx[5] = {0x04, 0x50, 0x01, 0x25, 0x00};
    for (size_t i = 0; i < 5; ++i) {
        ch.SetByte(off::kRxFrequency + i, rx[i]);
        ch.SetByte(off::kTxFrequency + i, rx[i]);
    }
    doc.frontPanelVolume = "7";
    return doc;
}

TEST(VerifyCompare, EqualConfigurationsGiveNothingAndKeysAreNotCompared) {
    model::CTmpDoc sent = Sent();
    model::CTmpDoc card = Sent();
    EXPECT_TRUE(VerifyDifferences(sent, card).empty());
    ASSERT_TRUE(sent.keys.Add("0123456789abcdef", 0x1a));
    EXPECT_TRUE(VerifyDifferences(sent, card).empty());
}

TEST(VerifyCompare, OneFlippedBitIsNamedWithItsChannelAndField) {
    const model::CTmpDoc sent = Sent();
    model::CTmpDoc card = Sent();
    card.channels[12].SetByte(off::kRxFrequency + 4, 0x01);
    EXPECT_EQ(VerifyDifferences(sent, card),
              std::vector<std::string>{"Channel 012 Rx Freq (MHz): 450.012500 -> 450.012501"});

    card = Sent();
    card.frontPanelVolume = "6";
    const auto lines = VerifyDifferences(sent, card);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("7 -> 6"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace quillon::edit
