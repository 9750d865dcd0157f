// The Channel Settings rules while the user works: opening in add and edit
// mode, the control rules per signal type and operation mode, and the field
// behaviours (frequency rounding, invert toggling, the squelch group box).
#include <gtest/gtest.h>

#include "ChannelSettingsSupport.h"
#include "edit/ChannelSettingsMessages.h"

namespace quillon::edit::testing {
namespace {

TEST_F(ChannelSettingsTest, AddModeOpensOnTheLowestEmptySlotNamedChanNnn) {
    for (int c : {0, 1, 2, 3, 4, 5, 6, 8}) {
        MakeAnalogue(doc.channels[c], "X");
    }
    auto s = Add();
    EXPECT_EQ(s->GetMode(), ChannelSettings::Mode::Add);
    EXPECT_EQ(s->CurrentNumber(), 7);
    EXPECT_EQ(Text(*s, C::Number), "007");
    EXPECT_EQ(Text(*s, C::Name), "Chan007");
    EXPECT_EQ(Selection(*s, C::Type), choice::kFixed);
    EXPECT_EQ(Selection(*s, C::SignalType), choice::kAnalogue);
    EXPECT_EQ(Selection(*s, C::Bandwidth), choice::kWideband);
    EXPECT_EQ(doc.channels.lastChannel, 7);
    // Name and signal type are in the slot at once; it stays empty until OK.
    EXPECT_EQ(ImageHex(doc.channels[7]).substr(0, 35), "00 00 43 68 61 6e 30 30 37 00 00 02");
    EXPECT_FALSE(doc.channels[7].IsUsed());
    EXPECT_FALSE(doc.IsModified());
    // The cleared slot's defaults.
    EXPECT_EQ(Text(*s, C::Power), "50");
    EXPECT_EQ(Text(*s, C::SquelchLevel), "03");
    EXPECT_EQ(Content(*s, C::TalkgroupId), "0x0001");
    EXPECT_EQ(Selection(*s, C::TransmitType), choice::kAnalog);
    // The number field offers the empty slots and may be typed into.
    EXPECT_FALSE(s->State(C::Number).readOnly);
    EXPECT_TRUE(s->Enter(C::Number, "9"));
    EXPECT_EQ(s->CurrentNumber(), 9);
    EXPECT_EQ(doc.channels.lastChannel, 9);

    model::CTmpDoc full;
    for (int c = 0; c < model::kChannelCount; ++c) {
        MakeAnalogue(full.channels[c], "F");
    }
    EXPECT_EQ(ChannelSettings::OpenAdd(full), nullptr);
}

TEST_F(ChannelSettingsTest, EditModeShowsTheChannelAndKeepsItsNumber) {
    MakeAnalogue(doc.channels[3], "ALPHA  ");
    EXPECT_EQ(ChannelSettings::OpenEdit(doc, 4), nullptr);
    auto s = Edit(3);
    EXPECT_EQ(Text(*s, C::Name), "ALPHA");
    EXPECT_EQ(Text(*s, C::RxFrequency), "450.125000");
    EXPECT_EQ(Text(*s, C::TxFrequency), "455.125000");
    EXPECT_EQ(Text(*s, C::RxTone), "067.0");
    EXPECT_EQ(Selection(*s, C::Mode), choice::kRepeater);
    EXPECT_EQ(Selection(*s, C::Control), choice::kNoControl);
    EXPECT_EQ(Selection(*s, C::CourtesyTone), choice::kCourtesyNone);
    EXPECT_TRUE(s->State(C::Number).readOnly);
    EXPECT_FALSE(s->Enter(C::Number, "5"));
    EXPECT_FALSE(s->Step(C::Number, 0));
    EXPECT_EQ(s->CurrentNumber(), 3);
}

TEST_F(ChannelSettingsTest, AnalogueRepeaterAndBasestation) {
    MakeAnalogue(doc.channels[0], "A");
    auto s = Edit(0);
    for (C id :
         {C::RxNac, C::TxNac, C::TalkgroupId, C::UnitId, C::AlgorithmId, C::KeyId, C::TransmitType,
          C::TxAsRx, C::HalfDuplex, C::PttDelay, C::RxInvert, C::TxInvert, C::SquelchGroup}) {
        EXPECT_FALSE(Enabled(*s, id)) << InfoOf(id).label;
    }
    for (C id : {C::RxTone, C::TxTone, C::Bandwidth, C::SquelchSystem, C::CourtesyTimer,
                 C::CourtesyTone, C::ReverseBurst, C::SquelchLevel, C::CourtesyGroup}) {
        EXPECT_TRUE(Enabled(*s, id)) << InfoOf(id).label;
    }
    EXPECT_EQ(Text(*s, C::PttDelay), "");
    // A disabled field cannot be set.
    EXPECT_FALSE(s->Enter(C::PttDelay, "0.05"));
    EXPECT_FALSE(s->Select(C::AlgorithmId, choice::kDesOfb));

    // Reverse Burst: the courtesy tone is "None" and fixed, the courtesy
    // timer cannot go below 0.05.
    ASSERT_TRUE(s->Select(C::CourtesyTone, 2));
    ASSERT_TRUE(s->SetChecked(C::ReverseBurst, true));
    EXPECT_EQ(Selection(*s, C::CourtesyTone), choice::kCourtesyNone);
    EXPECT_FALSE(Enabled(*s, C::CourtesyTone));
    EXPECT_FALSE(s->Select(C::CourtesyTone, 2));
    EXPECT_TRUE(s->Enter(C::CourtesyTimer, "0.01"));
    EXPECT_EQ(Text(*s, C::CourtesyTimer), "0.05");
    EXPECT_FALSE(s->Step(C::CourtesyTimer, 1));
    EXPECT_EQ(Text(*s, C::CourtesyTimer), "0.05");
    ASSERT_TRUE(s->SetChecked(C::ReverseBurst, false));
    EXPECT_TRUE(Enabled(*s, C::CourtesyTone));
    EXPECT_TRUE(s->Enter(C::CourtesyTimer, "0.01"));
    EXPECT_EQ(Text(*s, C::CourtesyTimer), "0.01");

    // Basestation: no courtesy tone at all, PTT delay and half duplex open.
    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    EXPECT_EQ(Selection(*s, C::CourtesyTone), choice::kCourtesyNone);
    EXPECT_EQ(Content(*s, C::CourtesyTimer), "");
    for (C id : {C::CourtesyTimer, C::CourtesyTone, C::ReverseBurst, C::CourtesyGroup}) {
        EXPECT_FALSE(Enabled(*s, id)) << InfoOf(id).label;
    }
    EXPECT_TRUE(Enabled(*s, C::HalfDuplex));
    EXPECT_TRUE(Enabled(*s, C::PttDelay));
    EXPECT_TRUE(s->Enter(C::PttDelay, "0.5"));
    EXPECT_EQ(Text(*s, C::PttDelay), "0.099");
}

TEST_F(ChannelSettingsTest, Project25RepeaterAndBasestation) {
    MakeAnalogue(doc.channels[0], "P");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::SignalType, choice::kProject25));
    for (C id : {C::RxTone, C::TxTone, C::RxInvert, C::TxInvert, C::ReverseBurst, C::Bandwidth,
                 C::CourtesyTone, C::SquelchLevel, C::TransmitType, C::TxAsRx, C::KeyId,
                 C::SquelchSystem, C::PttDelay}) {
        EXPECT_FALSE(Enabled(*s, id)) << InfoOf(id).label;
    }
    for (C id : {C::RxNac, C::TxNac, C::TalkgroupId, C::UnitId, C::AlgorithmId, C::CourtesyTimer,
                 C::CourtesyGroup}) {
        EXPECT_TRUE(Enabled(*s, id)) << InfoOf(id).label;
    }
    ASSERT_TRUE(s->Select(C::AlgorithmId, choice::kDesOfb));
    EXPECT_TRUE(Enabled(*s, C::KeyId));
    // The key id takes "0x" and four digits.
    EXPECT_TRUE(s->Enter(C::KeyId, "0xbeef"));
    EXPECT_EQ(Text(*s, C::KeyId), "0xbeef");
    EXPECT_FALSE(s->Enter(C::KeyId, "0x12345"));
    EXPECT_FALSE(s->Enter(C::KeyId, "12g4"));
    EXPECT_EQ(Text(*s, C::KeyId), "0xbeef");

    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    EXPECT_FALSE(Enabled(*s, C::CourtesyTimer));
    EXPECT_FALSE(Enabled(*s, C::CourtesyGroup));
    EXPECT_TRUE(Enabled(*s, C::PttDelay));
    EXPECT_TRUE(Enabled(*s, C::HalfDuplex));
    // With a squelch group the squelch system is open again.
    ASSERT_TRUE(s->SetChecked(C::GroupEnable, true));
    EXPECT_TRUE(Enabled(*s, C::SquelchSystem));
}

TEST_F(ChannelSettingsTest, AutosenseRepeaterAndBasestation) {
    MakeAnalogue(doc.channels[0], "AU");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::SignalType, choice::kAutosense));
    EXPECT_TRUE(Enabled(*s, C::TransmitType));
    EXPECT_TRUE(Enabled(*s, C::RxNac));
    EXPECT_TRUE(Enabled(*s, C::RxTone));
    EXPECT_FALSE(Enabled(*s, C::TxAsRx));  // only with Link Radio
    EXPECT_FALSE(Enabled(*s, C::KeyId));
    EXPECT_FALSE(Enabled(*s, C::PttDelay));
    ASSERT_TRUE(s->SetChecked(C::LinkRadio, true));
    EXPECT_TRUE(Enabled(*s, C::TxAsRx));
    ASSERT_TRUE(s->SetChecked(C::TxAsRx, true));
    ASSERT_TRUE(s->SetChecked(C::ReverseBurst, true));
    EXPECT_FALSE(Enabled(*s, C::CourtesyTone));
    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    EXPECT_TRUE(Enabled(*s, C::PttDelay));
    EXPECT_FALSE(Enabled(*s, C::ReverseBurst));
    EXPECT_FALSE(Enabled(*s, C::CourtesyTimer));
    // Link radio and front panel PTT exclude each other under line control.
    ASSERT_TRUE(s->Select(C::Control, choice::kLine));
    EXPECT_FALSE(Enabled(*s, C::FrontPanelPtt));
    EXPECT_FALSE(Checked(*s, C::FrontPanelPtt));
    ASSERT_TRUE(s->SetChecked(C::LinkRadio, false));
    ASSERT_TRUE(s->SetChecked(C::FrontPanelPtt, true));
    EXPECT_FALSE(Enabled(*s, C::LinkRadio));
    ASSERT_TRUE(s->Select(C::Control, choice::kLocal));
    EXPECT_TRUE(Enabled(*s, C::LinkRadio));
}

TEST_F(ChannelSettingsTest, CvsdDesXlForcesItsChoicesAndDisablesTheRest) {
    MakeAnalogue(doc.channels[0], "CV");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    ASSERT_TRUE(s->Select(C::Control, choice::kLocal));
    ASSERT_TRUE(s->Select(C::Bandwidth, choice::kNarrowband));
    ASSERT_TRUE(s->Select(C::SquelchSystem, choice::kCdcss));
    ASSERT_TRUE(s->SetChecked(C::LinkRadio, true));
    ASSERT_TRUE(s->Select(C::SignalType, choice::kCvsdDesXl));
    EXPECT_EQ(Selection(*s, C::Mode), choice::kRepeater);
    EXPECT_EQ(Selection(*s, C::Control), choice::kNoControl);
    EXPECT_EQ(Selection(*s, C::Bandwidth), choice::kWideband);
    EXPECT_EQ(Selection(*s, C::SquelchSystem), choice::kCtcss);
    EXPECT_EQ(Selection(*s, C::CourtesyTone), choice::kCourtesyNone);
    EXPECT_FALSE(Checked(*s, C::LinkRadio));
    EXPECT_FALSE(Checked(*s, C::GroupEnable));
    // Disabled fields show nothing but keep what OK stores.
    EXPECT_EQ(Text(*s, C::RxNac), "");
    EXPECT_EQ(Content(*s, C::RxNac), "0x293");
    EXPECT_EQ(Content(*s, C::TxNac), "0x293");
    EXPECT_EQ(Content(*s, C::RxTone), "NONE");
    EXPECT_EQ(Content(*s, C::TxTone), "NONE");
    for (const ControlInfo& c : ChannelControls()) {
        if (!IsFixedChannelControl(c.id)) {
            continue;
        }
        const bool open = c.id == C::Power || c.id == C::SquelchLevel || c.id == C::RxFrequency ||
                          c.id == C::TxFrequency || c.id == C::SignalType;
        EXPECT_EQ(Enabled(*s, c.id), open) << c.label;
    }
}

TEST_F(ChannelSettingsTest, FrequenciesRoundTo250HzWhenLeft) {
    MakeAnalogue(doc.channels[0], "F");
    auto s = Edit(0);
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"450.000125", "450.000000"},  // exactly 125 Hz over goes down
        {"450.0127", "450.012750"},   {"450.0126", "450.012500"},
        {"450.000126", "450.000250"}, {"451.0125", "451.012500"},
        {"136", "136.000000"},        {"530", "530.000000"},  // checked at OK, not clamped
        {"450.12345", "450.123500"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(s->Enter(C::RxFrequency, c.typed)) << c.typed;
        EXPECT_EQ(Text(*s, C::RxFrequency), c.shown) << c.typed;
    }
    EXPECT_FALSE(s->Enter(C::RxFrequency, "45O.1"));
    EXPECT_EQ(FrequencyHz("450.0127"), 450012700);
    EXPECT_EQ(FrequencyHz("99"), 99000000);
}

TEST_F(ChannelSettingsTest, SquelchGroupBoxTakesOverTheReceiveSideAndLeavesNothingBehind) {
    doc.squelchGroups.SetItem(0, 0, model::SquGroup::kCtcss, "067.0");
    doc.squelchGroups.SetName(11, "TWELVE");
    doc.squelchGroups.SetItem(11, 0, model::SquGroup::kCtcss, "100.0");
    MakeAnalogue(doc.channels[0], "G");
    // In group 12 (CTCSS GROUP, receive tone 0xF012).
    doc.channels[0].SetByte(model::off::kSquelchSystem, 3);
    doc.channels[0].SetWord(model::off::kRxCxcss, 0xF012);
    doc.channels[0].SetByte(model::off::kSignalType, 5);  // autosense: NACs in use
    doc.channels[0].SetWord(model::off::kRxNac, 0x293);
    doc.channels[0].SetWord(model::off::kTxNac, 0x293);
    auto s = Edit(0);
    EXPECT_EQ(s->State(C::SquelchGroup).choices,
              (std::vector<std::string>{"SQUELCH GROUP 1", "TWELVE"}));
    EXPECT_TRUE(Checked(*s, C::GroupEnable));
    EXPECT_EQ(Selection(*s, C::SquelchGroup), 1);
    for (C id : {C::RxTone, C::RxInvert, C::RxNac}) {
        EXPECT_FALSE(Enabled(*s, id)) << InfoOf(id).label;
    }
    EXPECT_TRUE(Enabled(*s, C::SquelchSystem));
    EXPECT_TRUE(Enabled(*s, C::SquelchGroup));

    ASSERT_TRUE(s->SetChecked(C::GroupEnable, false));
    EXPECT_FALSE(Enabled(*s, C::SquelchGroup));
    EXPECT_TRUE(Enabled(*s, C::RxTone));
    // No 12.0 Hz tone made of the group number, no code left on either side.
    EXPECT_EQ(Text(*s, C::RxTone), "NONE");
    EXPECT_EQ(Text(*s, C::RxNac), "NONE");
    EXPECT_EQ(Text(*s, C::TxNac), "NONE");
    EXPECT_EQ(Text(*s, C::TxTone), "067.0");
}

TEST_F(ChannelSettingsTest, InvertSwitchesTheToneBetweenTheCodeTables) {
    MakeAnalogue(doc.channels[0], "I");
    doc.channels[0].SetByte(model::off::kSquelchSystem, 2);
    doc.channels[0].SetWord(model::off::kRxCxcss, 0x0023);
    doc.channels[0].SetWord(model::off::kTxCxcss, 0x0047);
    doc.channels[0].SetByte(model::off::kCdcssInvert, 0x02);
    auto s = Edit(0);
    EXPECT_EQ(Text(*s, C::RxTone), "023");
    EXPECT_EQ(Text(*s, C::TxTone), "731");  // the odd one beside 047
    EXPECT_TRUE(Enabled(*s, C::RxInvert));
    ASSERT_TRUE(s->SetChecked(C::RxInvert, true));
    EXPECT_EQ(Text(*s, C::RxTone), "754");
    ASSERT_TRUE(s->SetChecked(C::TxInvert, false));
    EXPECT_EQ(Text(*s, C::TxTone), "047");
    ASSERT_TRUE(s->SetChecked(C::RxInvert, false));
    EXPECT_EQ(Text(*s, C::RxTone), "023");
    // Typing snaps onto the current table; "NONE" stays "NONE" across a toggle.
    ASSERT_TRUE(s->SetChecked(C::RxInvert, true));
    EXPECT_TRUE(s->Enter(C::RxTone, "750"));
    EXPECT_EQ(Text(*s, C::RxTone), "751");
    EXPECT_TRUE(s->Enter(C::TxTone, "NONE"));
    ASSERT_TRUE(s->SetChecked(C::TxInvert, true));
    EXPECT_EQ(Text(*s, C::TxTone), "NONE");
    // Changing the squelch system leaves no code of the other system.
    ASSERT_TRUE(s->Select(C::SquelchSystem, choice::kCtcss));
    EXPECT_EQ(Text(*s, C::RxTone), "NONE");
    EXPECT_EQ(Text(*s, C::TxTone), "NONE");
    EXPECT_FALSE(Enabled(*s, C::RxInvert));
    EXPECT_TRUE(s->Enter(C::RxTone, "68"));
    EXPECT_EQ(Text(*s, C::RxTone), "067.0");
}

TEST_F(ChannelSettingsTest, ScanListOffersFixedChannelsButNotItself) {
    MakeAnalogue(doc.channels[2], "TWO");
    MakeAnalogue(doc.channels[5], "FIVE");
    MakeScan(doc.channels[9], "SC", {0x0002});
    auto s = Edit(2);
    ASSERT_TRUE(s->Select(C::Type, choice::kScan));
    EXPECT_FALSE(Enabled(*s, C::RxFrequency));
    EXPECT_TRUE(Enabled(*s, C::ScanList));
    const auto refs = s->ScanReferenceChoices();
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].text, "005: FIVE");
    EXPECT_FALSE(s->AddScan(2, "1.0"));
    EXPECT_FALSE(s->AddScan(9, "1.0"));
    EXPECT_FALSE(s->AddScan(5, "x"));
    EXPECT_TRUE(Enabled(*s, C::ScanAdd));
    EXPECT_FALSE(Enabled(*s, C::ScanEdit));
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(s->AddScan(5, ".55")) << i;
    }
    EXPECT_FALSE(Enabled(*s, C::ScanAdd));
    EXPECT_FALSE(s->AddScan(5, "1"));
    EXPECT_EQ(s->ScanLines().front(), "005: FIVE - Dwell Time: 0.6s");

    EXPECT_EQ(s->EditScanSelected({}, prompts), std::nullopt);
    s->DeleteScanSelected({}, prompts);
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{chmsg::kSelectScanToEdit, chmsg::kSelectScanToDelete}));
    EXPECT_EQ(prompts.BeepCount(), 2);
    EXPECT_TRUE(s->EditScan(1, 5, "9.9"));
    s->DeleteScanSelected({0, 2, 3, 4, 5, 6}, prompts);
    EXPECT_EQ(s->ScanLines(), (std::vector<std::string>{"005: FIVE - Dwell Time: 9.9s",
                                                        "005: FIVE - Dwell Time: 0.6s"}));

    // A number typed after the entries were added takes the entries naming
    // it out of the list.
    auto added = Add();
    ASSERT_TRUE(added->Select(C::Type, choice::kScan));
    ASSERT_TRUE(added->AddScan(5, "1"));
    ASSERT_TRUE(added->AddScan(2, "1"));
    ASSERT_TRUE(added->Enter(C::Number, "5"));
    EXPECT_EQ(added->ScanLines(), (std::vector<std::string>{"002: TWO - Dwell Time: 1.0s"}));

    // A scan channel is listed with its references' names.
    auto scan = Edit(9);
    EXPECT_EQ(Selection(*scan, C::Type), choice::kScan);
    EXPECT_EQ(scan->ScanLines(), (std::vector<std::string>{"002: TWO - Dwell Time: 2.5s"}));
}

TEST_F(ChannelSettingsTest, ChangesAreReportedOnce) {
    MakeAnalogue(doc.channels[0], "N");
    auto s = Edit(0);
    EXPECT_TRUE(s->TakeChanges().empty());
    ASSERT_TRUE(s->Select(C::Mode, choice::kBasestation));
    const std::vector<ChannelControl> changed = s->TakeChanges();
    for (C id : {C::Mode, C::HalfDuplex, C::PttDelay, C::CourtesyTone, C::CourtesyTimer,
                 C::ReverseBurst, C::CourtesyGroup}) {
        EXPECT_NE(std::find(changed.begin(), changed.end(), id), changed.end()) << InfoOf(id).label;
    }
    EXPECT_EQ(std::find(changed.begin(), changed.end(), C::RxFrequency), changed.end());
    EXPECT_TRUE(s->TakeChanges().empty());

    // The scan list's lines are part of its state.
    MakeAnalogue(doc.channels[1], "ONE");
    ASSERT_TRUE(s->Select(C::Type, choice::kScan));
    s->TakeChanges();
    ASSERT_TRUE(s->AddScan(1, "2"));
    EXPECT_EQ(s->TakeChanges(),
              (std::vector<ChannelControl>{C::ScanList, C::ScanEdit, C::ScanDelete}));
    EXPECT_EQ(s->State(C::ScanList).choices,
              (std::vector<std::string>{"001: ONE - Dwell Time: 2.0s"}));
}

TEST(ChannelControlsTable, LabelsFindTheirControls) {
    EXPECT_EQ(FindControl("Rx Freq (MHz)"), ChannelControl::RxFrequency);
    EXPECT_EQ(FindControl("Tail (sec)"), ChannelControl::CourtesyTimer);
    EXPECT_EQ(FindControl("Courtesy Tone"), ChannelControl::CourtesyTone);
    EXPECT_EQ(FindControl("Scan"), ChannelControl::ScanList);
    EXPECT_EQ(FindControl("Add"), std::nullopt);
    EXPECT_EQ(FindControl("rx freq (mhz)"), std::nullopt);
    for (const ControlInfo& c : ChannelControls()) {
        EXPECT_EQ(&InfoOf(c.id), &c);
    }
    EXPECT_EQ(ChoicesOf(ChannelControl::Control),
              (std::vector<std::string>{"Local", "Tone", "Line", "None", "Network", "FSIAP-25"}));
}

}  // namespace
}  // namespace quillon::edit::testing
