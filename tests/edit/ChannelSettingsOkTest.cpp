// The Channel Settings dialog's OK: the checks in their order with their
// messages, the questions, and the channel image it writes.
#include <gtest/gtest.h>

#include "ChannelSettingsSupport.h"
#include "edit/ChannelSettingsMessages.h"
#include "model/Messages.h"

namespace quillon::edit::testing {
namespace {

using Kind = sim::ScriptedPrompts::Kind;

TEST_F(ChannelSettingsTest, AddedProject25RepeaterIsWrittenByteForByte) {
    auto s = Add();
    ASSERT_TRUE(s->Select(C::SignalType, choice::kProject25));
    ASSERT_TRUE(s->Select(C::Mode, choice::kRepeater));
    ASSERT_TRUE(s->Enter(C::RxFrequency, "450.125"));
    ASSERT_TRUE(s->Enter(C::TxFrequency, "455.125"));
    ASSERT_TRUE(s->Enter(C::RxNac, "293"));
    ASSERT_TRUE(s->Enter(C::TxNac, "AS RX"));
    ASSERT_TRUE(s->Enter(C::UnitId, "1234"));
    ASSERT_TRUE(s->Enter(C::PttTimeout, "60"));
    ASSERT_TRUE(s->Enter(C::PttTail, "2"));
    ASSERT_TRUE(s->Enter(C::CourtesyTimer, "5"));
    EXPECT_EQ(Text(*s, C::RxNac), "0x293");
    EXPECT_EQ(Text(*s, C::PttTail), "2.0");
    EXPECT_EQ(Text(*s, C::CourtesyTimer), "5.00");
    // The dialog opened as an analogue basestation: courtesy tone "None".
    EXPECT_EQ(Selection(*s, C::CourtesyTone), choice::kCourtesyNone);
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(ImageHex(doc.channels[0]),
              "00 00 43 68 61 6e 30 30 30 20 01 01 04 55 12 50 00 04 50 12 50 00 01 f0 00 02 93 "
              "00 00 00 00 02 01 00 00 00 00 00 00 01 00 50 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 05 00 00 20 01 00 60 00 00 12 34 00 00 02 03 00 00");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.channels.lastChannel, 0);
}

TEST_F(ChannelSettingsTest, EditedAnalogueBasestationIsWrittenByteForByte) {
    MakeAnalogue(doc.channels[4], "BASE");
    auto s = Edit(4);
    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    ASSERT_TRUE(s->Select(C::Control, choice::kTone));
    ASSERT_TRUE(s->Select(C::Bandwidth, choice::kNarrowband));
    ASSERT_TRUE(s->SetChecked(C::HalfDuplex, true));
    ASSERT_TRUE(s->SetChecked(C::FrontPanelPtt, true));
    ASSERT_TRUE(s->Enter(C::TxFrequency, "450.125"));  // allowed: half duplex basestation
    ASSERT_TRUE(s->Enter(C::PttDelay, ".0505"));       // milliseconds: 51
    ASSERT_TRUE(s->Enter(C::PttTail, ".55"));          // tenths: 6, not 55
    ASSERT_TRUE(s->Enter(C::Power, "999"));            // no more than 125
    ASSERT_TRUE(s->Enter(C::SquelchLevel, "7"));
    ASSERT_TRUE(s->Enter(C::TxTone, "250"));
    ASSERT_TRUE(s->Enter(C::Name, "BASE 1"));
    EXPECT_EQ(Text(*s, C::PttTail), "0.6");
    EXPECT_EQ(Text(*s, C::Power), "125");
    EXPECT_EQ(Text(*s, C::TxTone), "250.3");
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(ImageHex(doc.channels[4]),
              "00 00 42 41 53 45 20 31 20 20 01 03 04 50 12 50 00 04 50 12 50 00 01 00 00 00 00 "
              "25 03 06 70 01 03 01 00 00 00 00 00 01 01 25 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 51 00 00 00 06 01 00 00 01 00 00 00 00 00 02 07 00 00");
}

TEST_F(ChannelSettingsTest, EveryFailingCheckSpeaksInOrderAndNothingIsWritten) {
    MakeAnalogue(doc.channels[1], "A");
    const std::string before = ImageHex(doc.channels[1]);
    auto s = Edit(1);
    ASSERT_TRUE(s->Enter(C::Name, "NINECHARS"));
    ASSERT_TRUE(s->Enter(C::RxTone, "NONE"));
    ASSERT_TRUE(s->Enter(C::TxTone, "NONE"));
    ASSERT_TRUE(s->Enter(C::RxFrequency, "530"));
    ASSERT_TRUE(s->Enter(C::TxFrequency, "530"));
    EXPECT_FALSE(s->Ok(prompts));
    EXPECT_EQ(
        prompts.BoxTexts(),
        (std::vector<std::string>{"Channel name must not exceed 8 character(s)", chmsg::kRxToneZero,
                                  chmsg::kTxToneZero, chmsg::kSameFrequencies,
                                  chmsg::kRxFrequencyRange, chmsg::kTxFrequencyRange}));
    for (const auto& b : prompts.Boxes()) {
        EXPECT_EQ(b.icon, Icon::Exclamation) << b.text;
    }
    EXPECT_EQ(chmsg::kRxFrequencyRange,
              std::string("Receive frequency out of range. Must be between 136 and 520 Mhz"));
    EXPECT_EQ(ImageHex(doc.channels[1]), before);
    EXPECT_FALSE(doc.IsModified());
    // The dialog keeps what the user typed.
    EXPECT_EQ(Text(*s, C::RxFrequency), "530.000000");
    EXPECT_EQ(Text(*s, C::Name), "NINECHARS");

    // The squelch group box without a group; the group replaces the receive
    // tone, so only the transmit tone is checked.
    prompts.ClearRecords();
    ASSERT_TRUE(s->Enter(C::Name, "OK"));
    ASSERT_TRUE(s->Enter(C::TxFrequency, "455"));
    ASSERT_TRUE(s->Enter(C::RxFrequency, "135.9"));
    ASSERT_TRUE(s->SetChecked(C::GroupEnable, true));
    EXPECT_FALSE(s->Ok(prompts));
    EXPECT_EQ(prompts.BoxTexts(), (std::vector<std::string>{chmsg::kTxToneZero, chmsg::kSelectGroup,
                                                            chmsg::kRxFrequencyRange}));
}

TEST_F(ChannelSettingsTest, OkNormalisesFieldsThatWereNeverLeft) {
    MakeAnalogue(doc.channels[0], "E");
    auto s = Edit(0);
    // Typed and confirmed with Enter: the focus never left the fields.
    ASSERT_TRUE(s->Type(C::Power, "999"));
    ASSERT_TRUE(s->Type(C::RxTone, "68"));
    ASSERT_TRUE(s->Type(C::RxFrequency, "450.0127"));
    ASSERT_TRUE(s->Type(C::TxFrequency, "450.000125"));
    ASSERT_TRUE(s->Type(C::CourtesyTimer, ".555"));
    EXPECT_EQ(Text(*s, C::Power), "999");
    EXPECT_FALSE(s->Type(C::Power, "1x"));
    EXPECT_EQ(Text(*s, C::Power), "999");
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(Text(*s, C::Power), "125");
    EXPECT_EQ(Text(*s, C::RxTone), "067.0");
    const model::CChannel& ch = doc.channels[0];
    EXPECT_EQ(BytesHex(ch, model::off::kTxFrequency, 10), "04 50 00 00 00 04 50 01 27 50");
    EXPECT_EQ(BytesHex(ch, model::off::kRxCxcss, 2), "06 70");
    EXPECT_EQ(BytesHex(ch, model::off::kPowerWatts, 2), "01 25");
    EXPECT_EQ(BytesHex(ch, model::off::kCourtesyTimer, 2), "00 56");
}

TEST_F(ChannelSettingsTest, NumberOutOfRangeStopsTheChecksAtOnce) {
    auto s = Add();
    ASSERT_TRUE(s->Enter(C::Number, "600"));
    ASSERT_TRUE(s->Enter(C::Name, "NINECHARS"));
    EXPECT_FALSE(s->Ok(prompts));
    EXPECT_EQ(prompts.BoxTexts(), (std::vector<std::string>{chmsg::kNumberOutOfRange}));
}

TEST_F(ChannelSettingsTest, AutosenseAndProject25ChecksWithTheTalkgroupCorrection) {
    MakeAnalogue(doc.channels[0], "AU");
    doc.channels[0].SetByte(model::off::kSignalType, 4);
    doc.channels[0].SetByte(model::off::kAutosenseTx, 0);
    doc.channels[0].SetWord(model::off::kTalkgroupId, 0);
    auto s = Edit(0);
    EXPECT_EQ(Selection(*s, C::TransmitType), -1);
    EXPECT_EQ(Text(*s, C::RxNac), "NONE");
    EXPECT_EQ(Text(*s, C::TalkgroupId), "0x0000");
    EXPECT_FALSE(s->Ok(prompts));
    ASSERT_EQ(prompts.Boxes().size(), 4u);
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{chmsg::kSelectTransmitType, chmsg::kTalkgroupCorrected,
                                        chmsg::kRxNacZero, chmsg::kTxNacZero}));
    EXPECT_EQ(prompts.Boxes()[1].icon, Icon::Information);
    EXPECT_EQ(prompts.Records()[1].kind, Kind::Beep);
    EXPECT_EQ(Text(*s, C::TalkgroupId), "0x0001");

    prompts.ClearRecords();
    ASSERT_TRUE(s->Select(C::TransmitType, choice::kDigital));
    ASSERT_TRUE(s->Enter(C::RxNac, "ANY"));
    EXPECT_FALSE(s->Enter(C::RxNac, "AS RX"));  // the transmit side's text
    ASSERT_TRUE(s->Enter(C::TxNac, "0x0"));     // typed zero is no NAC: the least one
    EXPECT_EQ(Text(*s, C::TxNac), "0x001");
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kTxNac, 4), "00 01 f0 00");
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kTalkgroupId, 2), "00 01");
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kAutosenseTx, 1), "01");
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kSignalType, 1), "04");

    // Project 25 with NAC 0 (shown "NONE") is refused by the value.
    MakeAnalogue(doc.channels[1], "P25");
    doc.channels[1].SetByte(model::off::kSignalType, 1);
    doc.channels[1].SetWord(model::off::kTalkgroupId, 0);
    doc.channels[1].SetWord(model::off::kRxNac, 0x293);
    prompts.ClearRecords();
    auto p = Edit(1);
    EXPECT_FALSE(p->Ok(prompts));
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{chmsg::kTalkgroupCorrected, chmsg::kTxNacZero}));
}

TEST_F(ChannelSettingsTest, OverwriteIsAskedOnlyForAUsedSlot) {
    MakeAnalogue(doc.channels[0], "ZERO");
    MakeAnalogue(doc.channels[3], "THREE");
    auto s = Add();
    EXPECT_EQ(s->CurrentNumber(), 1);
    ASSERT_TRUE(s->Enter(C::Number, "3"));
    ASSERT_TRUE(s->Enter(C::RxFrequency, "451"));
    ASSERT_TRUE(s->Enter(C::TxFrequency, "456"));
    ASSERT_TRUE(s->Enter(C::RxTone, "100"));
    ASSERT_TRUE(s->Enter(C::TxTone, "100"));
    prompts.QueueAnswer(Answer::No);
    EXPECT_FALSE(s->Ok(prompts));
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, chmsg::kOverwrite);
    EXPECT_EQ(prompts.Boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(doc.channels[3].NameText(), "THREE");
    prompts.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(s->Ok(prompts));
    EXPECT_EQ(BytesHex(doc.channels[3], 2, 10), "43 68 61 6e 30 30 31 20 01 02");
    EXPECT_EQ(BytesHex(doc.channels[3], model::off::kRxFrequency, 5), "04 51 00 00 00");
    EXPECT_EQ(BytesHex(doc.channels[3], model::off::kTxCxcss, 4), "10 00 10 00");
    EXPECT_EQ(doc.channels.lastChannel, 3);
}

TEST_F(ChannelSettingsTest, CvsdStoresTheKeptNacAndNoTones) {
    MakeAnalogue(doc.channels[0], "CV");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::SignalType, choice::kCvsdDesXl));
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_EQ(BytesHex(doc.channels[0], 11, 22),
              "06 04 55 12 50 00 04 50 12 50 00 01 02 93 02 93 00 00 00 00 02 01");
}

TEST_F(ChannelSettingsTest, GroupAndInvertedCodesAreStoredAsTheImageHoldsThem) {
    doc.squelchGroups.SetName(11, "TWELVE");
    doc.squelchGroups.SetItem(11, 0, model::SquGroup::kCdcss, "023");
    MakeAnalogue(doc.channels[0], "G");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::SquelchSystem, choice::kCdcss));
    ASSERT_TRUE(s->SetChecked(C::TxInvert, true));
    ASSERT_TRUE(s->Enter(C::TxTone, "731"));
    ASSERT_TRUE(s->SetChecked(C::GroupEnable, true));
    ASSERT_TRUE(s->Select(C::SquelchGroup, 0));
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kSquelchSystem, 1), "04");
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kTxCxcss, 4), "00 47 f0 12");
    EXPECT_EQ(BytesHex(doc.channels[0], model::off::kCdcssInvert, 1), "02");
    EXPECT_EQ(doc.channels[0].text.txInvert, "1");
}

TEST_F(ChannelSettingsTest, AReferencedChannelBecomesAScanChannelOnlyWithoutItsReferences) {
    MakeAnalogue(doc.channels[2], "TWO");
    MakeAnalogue(doc.channels[5], "FIVE");
    MakeScan(doc.channels[9], "S9", {0x0002, 0x0005, 0x0002});
    MakeScan(doc.channels[10], "S10", {0x0002, 0x0005});
    auto s = Edit(2);
    ASSERT_TRUE(s->Select(C::Type, choice::kScan));
    ASSERT_TRUE(s->AddScan(5, "1.5"));
    prompts.QueueAnswer(Answer::No);
    EXPECT_FALSE(s->Ok(prompts));
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{std::string(model::msg::kDeleteRefsWarning) + "3" +
                                        model::msg::kDeleteRefsScan}));
    EXPECT_TRUE(doc.channels[2].IsFixed());
    EXPECT_EQ(doc.channels[9].ScanRefCount(), 3);

    prompts.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_EQ(BytesHex(doc.channels[2], 10, 4), "02 00 05 15");
    EXPECT_EQ(BytesHex(doc.channels[2], model::off::kScanRefCount, 2), "01 00");
    EXPECT_EQ(BytesHex(doc.channels[9], 11, 3), "00 05 25");
    EXPECT_EQ(doc.channels[9].ScanRefCount(), 1);
    EXPECT_EQ(doc.channels[10].ScanRefCount(), 1);

    // Turned back into a fixed channel it lists nothing.
    auto back = Edit(9);
    ASSERT_TRUE(back->Select(C::Type, choice::kFixed));
    ASSERT_TRUE(back->Enter(C::RxFrequency, "460"));
    ASSERT_TRUE(back->Enter(C::TxFrequency, "465"));
    ASSERT_TRUE(back->Enter(C::RxTone, "67"));
    ASSERT_TRUE(back->Enter(C::TxTone, "67"));
    ASSERT_TRUE(back->Ok(prompts));
    EXPECT_TRUE(doc.channels[9].IsFixed());
    EXPECT_EQ(BytesHex(doc.channels[9], model::off::kScanRefCount, 2), "00 00");
    EXPECT_EQ(BytesHex(doc.channels[9], 2, 10), "53 39 20 20 20 20 20 20 01 02");
}

TEST_F(ChannelSettingsTest, AScanChannelNeedsAReference) {
    MakeAnalogue(doc.channels[0], "F");
    auto s = Add();
    ASSERT_TRUE(s->Select(C::Type, choice::kScan));
    EXPECT_FALSE(s->Ok(prompts));
    EXPECT_EQ(prompts.BoxTexts(), (std::vector<std::string>{chmsg::kScanEmpty}));
    ASSERT_TRUE(s->AddScan(0, "0"));
    ASSERT_TRUE(s->Ok(prompts));
    EXPECT_EQ(BytesHex(doc.channels[1], 2, 12), "43 68 61 6e 30 30 31 20 02 00 00 00");
}

}  // namespace
}  // namespace quillon::edit::testing

namespace quillon::edit::testing {
namespace {

// Images no editor wrote (codes out of their tables, nibbles above 9) open,
// take every kind of change and go through OK without harm; what OK writes
// is again a fixed or scan channel.
TEST_F(ChannelSettingsTest, StrangeImagesOpenAndCloseSafely) {
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    int written = 0;
    for (int round = 0; round < 200; ++round) {
        model::CChannel& ch = doc.channels[round % 4];
        for (auto& b : ch.Image()) {
            b = next();
        }
        ch.SetKind(round % 2 == 0 ? model::ChannelKind::Fixed : model::ChannelKind::Scan);
        auto s = Edit(round % 4);
        ASSERT_NE(s, nullptr);
        for (const ControlInfo& c : ChannelControls()) {
            s->Select(c.id, next() % 7);
            s->SetChecked(c.id, next() % 2 == 0);
            s->Enter(c.id, std::to_string(next()));
            s->Step(c.id, next() % 2);
        }
        s->AddScan(next() % 4, "1.5");
        prompts.SetDefaultAnswer(round % 3 == 0 ? Answer::Yes : Answer::No);
        if (s->Ok(prompts)) {
            ++written;
            EXPECT_TRUE(doc.channels[s->CurrentNumber()].IsUsed());
            EXPECT_LE(doc.channels[s->CurrentNumber()].ScanRefCount(), 8);
        }
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 200);
}

}  // namespace
}  // namespace quillon::edit::testing
