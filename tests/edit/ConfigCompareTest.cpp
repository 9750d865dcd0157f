// Two configurations compared field by field: identical ones, every kind of
// channel field, slots that change kind, groups, tones, keys (never their
// values) and the radio-wide settings, and the bytes a caller leaves out.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "edit/ConfigCompare.h"

namespace quillon::edit {
namespace {

using model::CChannel;
using model::CTmpDoc;
using model::SquGroup;
namespace off = model::off;

// A fixed narrowband channel as the editor would leave it: 450.012500 MHz
// receive, 455.012500 MHz transmit, CTCSS 67.0 Hz both ways.
void MakeFixed(CChannel& ch, int number, const std::string& name) {
    ch.Clear();
    ch.SetNumber(static_cast<unsigned>(number));
    ch.SetNameBytes(name);
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetByte(off::kSignalType, 3);
    ch.SetByte(off::kOperationMode, 2);
    ch.SetByte(off::kControlMode, 2);
    const std::array<uint8_t, 5> rx = {0x04, 0x50, 0x01, 0x25, 0x00};
    const std::array<uint8_t, 5> tx = {0x04, 0x55, 0x01, 0x25, 0x00};
    for (size_t i = 0; i < 5; ++i) {
        ch.SetByte(off::kRxFrequency + i, rx[i]);
        ch.SetByte(off::kTxFrequency + i, tx[i]);
    }
    ch.SetWord(off::kRxCxcss, 0x0670);
    ch.SetWord(off::kTxCxcss, 0x0670);
    ch.SetByte(off::kCourtesyTone, 1);
}

// A document with a little of everything.
CTmpDoc Sample() {
    CTmpDoc doc;
    MakeFixed(doc.channels[12], 12, "Dispatch");
    MakeFixed(doc.channels[13], 13, "Fire");
    CChannel& scan = doc.channels[20];
    scan.SetNumber(20);
    scan.SetNameBytes("Scan A");
    scan.SetKind(model::ChannelKind::Scan);
    scan.SetScanRefCount(2);
    scan.SetScanRef(0, 0x0012, 0x05);
    scan.SetScanRef(1, 0x0013, 0x10);
    doc.squelchGroups.SetName(0, "Town");
    doc.squelchGroups.SetItem(0, 0, SquGroup::kNac, "0x293");
    doc.toneRemote.SetEntry(0, model::CToneRemote::kIncreaseAudio, 0);
    doc.toneRemote.SetEntry(4, model::CToneRemote::kChannel, 12);
    doc.keys.Add("0123456789abcdef", 0x00a);
    doc.keys.Add("fedcba9876543210", 0x1ff);
    return doc;
}

std::vector<std::string> Lines(const std::vector<Difference>& diffs) {
    std::vector<std::string> lines;
    for (const Difference& d : diffs) {
        lines.push_back(DifferenceLine(d));
    }
    return lines;
}

TEST(ConfigCompare, IdenticalDocumentsHaveNoDifference) {
    EXPECT_TRUE(CompareDocuments(CTmpDoc(), CTmpDoc()).empty());
    const CTmpDoc a = Sample();
    const CTmpDoc b = Sample();
    EXPECT_TRUE(CompareDocuments(a, b).empty());
    EXPECT_TRUE(CompareDocuments(a, a).empty());
    // Texts the user never sees are not the configuration.
    CTmpDoc c = Sample();
    c.docText1 = "other";
    c.formatTag = "veltp_v3_2";
    c.SetModified(true);
    EXPECT_TRUE(CompareDocuments(a, c).empty());
}

TEST(ConfigCompare, ChangedFrequencyIsOneLineInTheDialogsForm) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[12].SetByte(off::kRxFrequency + 2, 0x02);  // 450.025000
    b.channels[12].SetByte(off::kRxFrequency + 3, 0x50);
    const std::vector<Difference> d = CompareDocuments(a, b);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].section, CompareSection::Channel);
    EXPECT_EQ(d[0].index, 12);
    EXPECT_EQ(d[0].where, "Channel 012");
    EXPECT_EQ(d[0].field, "Rx Freq (MHz)");
    EXPECT_EQ(DifferenceLine(d[0]), "Channel 012 Rx Freq (MHz): 450.012500 -> 450.025000");
    // The other way round, the texts swap.
    EXPECT_EQ(Lines(CompareDocuments(b, a)),
              std::vector<std::string>{"Channel 012 Rx Freq (MHz): 450.025000 -> 450.012500"});
}

TEST(ConfigCompare, EveryFixedChannelFieldIsNamedAsTheUserKnowsIt) {
    const struct {
        size_t offset;
        uint8_t value;
        const char* line;
    } cases[] = {
        {off::kChannelName, 'P', "Channel 012 Name: Dispatch -> Pispatch"},
        {off::kChannelNumber + 1, 0x13, "Channel 012 Number: 012 -> 013"},
        {off::kOperationMode, 1, "Channel 012 Mode: Repeater -> Basestation"},
        {off::kControlMode, 3, "Channel 012 Control: Local -> Tone"},
        {off::kSignalType, 2, "Channel 012 Signal Type: Narrowband FM -> Wideband FM"},
        {off::kSquelchSystem, 2, "Channel 012 Squelch System: CTCSS -> CDCSS"},
        {off::kTxFrequency + 1, 0x60, "Channel 012 Tx Freq (MHz): 455.012500 -> 460.012500"},
        {off::kRxNac + 1, 0x93, "Channel 012 Rx NAC: 0x000 -> 0x093"},
        {off::kTxNac, 0xF0, "Channel 012 Tx NAC: 0x000 -> As RX"},
        {off::kRxCxcss + 1, 0x71, "Channel 012 Rx CxCSS: 067.0 -> 067.1"},
        {off::kTxCxcss + 1, 0x19, "Channel 012 Tx CxCSS: 067.0 -> 061.9"},
        {off::kCdcssInvert, 0x01, "Channel 012 Rx Invert: No -> Yes"},
        {off::kTalkgroupId + 1, 0x2a, "Channel 012 Talkgroup ID: 0x0001 -> 0x002a"},
        {off::kUnitId + 2, 0x05, "Channel 012 Unit ID: 0x000000 -> 0x000005"},
        {off::kTxKeyId + 1, 0x0a, "Channel 012 Key ID: 0x0000 -> 0x000a"},
        {off::kTxAlgorithmId, 1, "Channel 012 Algorithm ID: NONE -> DES-OFB"},
        {off::kPowerWatts + 1, 0x25, "Channel 012 Power (W): 50 -> 25"},
        {off::kSquelchLevel, 0x07, "Channel 012 Squelch Level: 03 -> 07"},
        {off::kPttTimeout + 1, 0x60, "Channel 012 PTT Timeout: 0 -> 60"},
        {off::kPttTail + 1, 0x15, "Channel 012 PTT Tail: 0.0 -> 1.5"},
        {off::kPttDelay + 1, 0x50, "Channel 012 PTT Delay: 0.000 -> 0.050"},
        {off::kCourtesyTimer + 1, 0x25, "Channel 012 Courtesy Timer (s): 0.00 -> 0.25"},
        {off::kCourtesyTone, 3, "Channel 012 Courtesy Tone: None -> 1000 Hz"},
        {off::kLinkRadio, 1, "Channel 012 Link Radio: No -> Yes"},
        {off::kHalfDuplex, 1, "Channel 012 Half Duplex: No -> Yes"},
        {off::kFrontPanelPtt, 1, "Channel 012 Enable Front Panel PTT: No -> Yes"},
        {off::kReverseBurst, 1, "Channel 012 Reverse Burst: No -> Yes"},
        {off::kAutosenseTx, 0x01, "Channel 012 Transmit Type: Analog -> Digital"},
        {off::kLegacyCode, 2, "Channel 012 Legacy Code: 0x00 -> 0x02"},
    };
    const CTmpDoc a = Sample();
    for (const auto& c : cases) {
        CTmpDoc b = Sample();
        b.channels[12].SetByte(c.offset, c.value);
        EXPECT_EQ(Lines(CompareDocuments(a, b)), std::vector<std::string>{c.line}) << c.line;
    }
}

TEST(ConfigCompare, BitsOfOneByteAreTheirOwnFields) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[12].SetByte(off::kCdcssInvert, 0x03);
    b.channels[12].SetByte(off::kAutosenseTx, 0x06);  // analogue, and Tx AS Rx
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              (std::vector<std::string>{"Channel 012 Rx Invert: No -> Yes",
                                        "Channel 012 Tx Invert: No -> Yes",
                                        "Channel 012 Tx AS Rx: No -> Yes"}));
}

TEST(ConfigCompare, DifferentBytesBehindTheSameTextShowTheBytes) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[12].SetByte(off::kLinkRadio, 1);
    CTmpDoc c = Sample();
    c.channels[12].SetByte(off::kLinkRadio, 2);  // "Yes" too, but not the same byte
    EXPECT_EQ(Lines(CompareDocuments(b, c)),
              std::vector<std::string>{"Channel 012 Link Radio: 0x01 -> 0x02"});
    // A NUL ends the name; what follows it still counts.
    CTmpDoc d = Sample();
    d.channels[13].SetByte(off::kChannelName + 7, 'x');
    CTmpDoc e = Sample();
    e.channels[13].SetByte(off::kChannelName + 7, 'y');
    EXPECT_EQ(
        Lines(CompareDocuments(d, e)),
        std::vector<std::string>{"Channel 013 Name: 0x4669726500000078 -> 0x4669726500000079"});
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              std::vector<std::string>{"Channel 012 Link Radio: No -> Yes"});
}

TEST(ConfigCompare, AddedAndDeletedChannelsListTheirFields) {
    CTmpDoc a;
    CTmpDoc b;
    MakeFixed(b.channels[5], 5, "New");
    const std::vector<std::string> added = Lines(CompareDocuments(a, b));
    ASSERT_GE(added.size(), 6u);
    EXPECT_EQ(added[0], "Channel 005 Number: 000 -> 005");
    EXPECT_EQ(added[1], "Channel 005 Name: (none) -> New");
    EXPECT_EQ(added[2], "Channel 005 Type: Empty -> Fixed");
    EXPECT_EQ(added[3], "Channel 005 Mode: (none) -> Repeater");
    EXPECT_NE(
        std::find(added.begin(), added.end(), "Channel 005 Rx Freq (MHz): (none) -> 450.012500"),
        added.end());
    EXPECT_NE(std::find(added.begin(), added.end(), "Channel 005 Squelch Level: (none) -> 03"),
              added.end());
    // Past number, name and kind, which every slot has, the empty slot
    // has nothing to show.
    const std::vector<Difference> addedDiffs = CompareDocuments(a, b);
    for (size_t i = 0; i < addedDiffs.size(); ++i) {
        EXPECT_EQ(addedDiffs[i].index, 5);
        if (i >= 3) {
            EXPECT_EQ(addedDiffs[i].oldText, "") << addedDiffs[i].field;
        }
    }
    // Deleting swaps the sides.
    const std::vector<Difference> deleted = CompareDocuments(b, a);
    ASSERT_EQ(deleted.size(), added.size());
    for (size_t i = 3; i < deleted.size(); ++i) {
        EXPECT_EQ(deleted[i].newText, "") << deleted[i].field;
        EXPECT_EQ(deleted[i].oldText, addedDiffs[i].newText);
    }
}

TEST(ConfigCompare, ScanChannelsCompareTheirReferences) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[20].SetScanRefCount(3);
    b.channels[20].SetScanRef(1, 0x0013, 0x25);
    b.channels[20].SetScanRef(2, 0x0012, 0x01);
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              (std::vector<std::string>{"Channel 020 Number of Ref. Channels: 2 -> 3",
                                        "Channel 020 Dwell Time 2: 1.0 -> 2.5",
                                        "Channel 020 Referenced Channel 3: 000 -> 012",
                                        "Channel 020 Dwell Time 3: 0.0 -> 0.1"}));
}

TEST(ConfigCompare, ByteOutsideEveryFieldOfTheSlotIsStillCaught) {
    // An empty slot has no fields but its number, name and kind; a flipped
    // bit elsewhere in it is still a difference a write would carry.
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[400].SetByte(40, 0x51);
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              std::vector<std::string>{"Channel 400 Record Byte 40: 0x00 -> 0x51"});
    // And in a scan channel, the bytes past its references.
    CTmpDoc c = Sample();
    c.channels[20].SetByte(off::kSquelchLevel, 0x01);
    EXPECT_EQ(Lines(CompareDocuments(a, c)),
              std::vector<std::string>{"Channel 020 Record Byte 75: 0x03 -> 0x01"});
}

TEST(ConfigCompare, IgnoredBytesAreLeftOutOfEverySlotAndNothingElse) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.channels[12].SetByte(off::kScanRefCount, 0x07);
    b.channels[300].SetByte(off::kScanRefCount + 1, 0x01);
    CompareOptions skip;
    skip.ignoredChannelBytes = {off::kScanRefCount, off::kScanRefCount + 1, 500};
    EXPECT_TRUE(CompareDocuments(a, b, skip).empty());
    EXPECT_EQ(CompareDocuments(a, b).size(), 2u);
    // A bit beside an ignored byte is caught.
    b.channels[12].SetByte(off::kSquelchLevel, 0x02);
    EXPECT_EQ(Lines(CompareDocuments(a, b, skip)),
              std::vector<std::string>{"Channel 012 Squelch Level: 03 -> 02"});
}

TEST(ConfigCompare, SquelchGroupsByNameAndItem) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.squelchGroups.SetName(0, "City");
    b.squelchGroups.SetItem(0, 0, SquGroup::kNac, "0x294");
    b.squelchGroups.SetItem(0, 3, SquGroup::kCtcss, "100.0");
    b.squelchGroups.SetName(15, "Last");
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              (std::vector<std::string>{"Squelch Group 1 Name: Town -> City",
                                        "Squelch Group 1 Item 1: NAC 0x293 -> NAC 0x294",
                                        "Squelch Group 1 Item 4: NOT USED -> CTCSS 100.0",
                                        "Squelch Group 16 Name: SQUELCH GROUP 16 -> Last"}));
    // An unused item's left-over value is nothing the user has.
    CTmpDoc c = Sample();
    c.squelchGroups.SetItem(2, 2, SquGroup::kNotUsed, "123.4");
    EXPECT_TRUE(CompareDocuments(a, c).empty());
}

TEST(ConfigCompare, TonesByFunctionAndChannel) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.toneRemote.SetEntry(4, model::CToneRemote::kChannel, 13);
    b.toneRemote.SetEntry(5, model::CToneRemote::kChannel, 20);
    b.toneRemote.ClearSlot(0);
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              (std::vector<std::string>{
                  "Tone F1 - 1950Hz Function: Increase Audio -> Unassigned",
                  "Tone F5 - 1550Hz Channel: 12 -> 13",
                  "Tone F6 - 1450Hz Function: Unassigned -> Channel",
                  "Tone F6 - 1450Hz Channel: (none) -> 20",
              }));
}

TEST(ConfigCompare, KeysByIdNeverByValue) {
    const CTmpDoc a = Sample();
    CTmpDoc b;
    b = Sample();
    b.keys.Clear();
    b.keys.Add("0123456789abcdee", 0x00a);  // value changed
    b.keys.Add("1111111111111111", 0x020);  // added; 0x1ff removed
    const std::vector<Difference> d = CompareDocuments(a, b);
    EXPECT_EQ(Lines(d), (std::vector<std::string>{"Key ID 0x00a Key: present -> changed",
                                                  "Key ID 0x020 Key: absent -> present",
                                                  "Key ID 0x1ff Key: present -> absent"}));
    for (const Difference& x : d) {
        EXPECT_EQ(x.section, CompareSection::Key);
        for (const std::string& t : {x.where, x.field, x.oldText, x.newText}) {
            for (const char* key : {"0123456789abcde", "1111111111", "fedcba98"}) {
                EXPECT_EQ(t.find(key), std::string::npos) << t;
            }
        }
    }
    // Order in the list is no difference.
    CTmpDoc c = Sample();
    c.keys.Clear();
    c.keys.Add("fedcba9876543210", 0x1ff);
    c.keys.Add("0123456789abcdef", 0x00a);
    EXPECT_TRUE(CompareDocuments(a, c).empty());
    CompareOptions noKeys;
    noKeys.compareKeys = false;
    EXPECT_TRUE(CompareDocuments(a, b, noKeys).empty());
}

TEST(ConfigCompare, RadioWideSettings) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.frontPanelMonitor = "0";
    b.frontPanelVolume = "7";
    b.backPanelOutput = "3";
    b.defaultChannel = "12";
    EXPECT_EQ(Lines(CompareDocuments(a, b)),
              (std::vector<std::string>{"Radio Wide Settings Front Panel Audio: 1 -> 0",
                                        "Radio Wide Settings Front Panel Audio Level: 10 -> 7",
                                        "Radio Wide Settings Rear Serial Output: 1 -> 3",
                                        "Radio Wide Settings Default Channel: 0xFFFF -> 12"}));
    CompareOptions channelsOnly;
    channelsOnly.compareRadioWide = false;
    channelsOnly.compareSquelchGroups = false;
    channelsOnly.compareToneRemote = false;
    b.squelchGroups.SetName(3, "x");
    b.toneRemote.SetEntry(7, model::CToneRemote::kChannel, 12);
    EXPECT_TRUE(CompareDocuments(a, b, channelsOnly).empty());
}

TEST(ConfigCompare, OrderIsChannelsThenGroupsTonesKeysSettings) {
    const CTmpDoc a = Sample();
    CTmpDoc b = Sample();
    b.defaultChannel = "1";
    b.keys.Delete(0x00a);
    b.toneRemote.ClearSlot(4);
    b.squelchGroups.SetName(0, "Y");
    b.channels[511].SetByte(off::kChannelName, 'Z');
    b.channels[0].SetByte(off::kChannelName, 'A');
    const std::vector<Difference> d = CompareDocuments(a, b);
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0].index, 0);
    EXPECT_EQ(d[1].index, 511);
    EXPECT_EQ(d[2].section, CompareSection::SquelchGroup);
    EXPECT_EQ(d[3].section, CompareSection::ToneRemote);
    EXPECT_EQ(d[4].section, CompareSection::ToneRemote);
    EXPECT_EQ(d[5].section, CompareSection::Key);
    EXPECT_EQ(d[6].section, CompareSection::RadioWide);
}

}  // namespace
}  // namespace quillon::edit
