#include <gtest/gtest.h>

#include <string>

#include "model/CChannel.h"

using namespace quillon::model;

namespace {

void PutName(CChannel& ch, const char (&name)[9]) {
    for (size_t i = 0; i < 8; ++i) {
        ch.Image()[off::kChannelName + i] = static_cast<uint8_t>(name[i]);
    }
}

CChannel Fixed() {
    CChannel ch;
    ch.SetKind(ChannelKind::Fixed);
    return ch;
}

}  // namespace

TEST(Channel, ClearGivesTheEditingDefaults) {
    CChannel ch;
    ch.Image().fill(0x5A);
    ch.text.rxFrequency = "450.000";
    ch.text.scanRefs[3].channel = "009";
    ch.Clear();
    const ChannelImage expected = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0, 0,    0, 0, 0, 0, 0, 0, 0x01, 0,    0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0x50, 0, 0, 0, 0, 0, 0, 0,    0,    0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0, 0,    0, 0, 0, 0, 0, 0, 0x02, 0x03, 0, 0};
    EXPECT_EQ(ch.Image(), expected);
    EXPECT_EQ(ch.text.rxFrequency, "");
    EXPECT_EQ(ch.text.rxInvert, "0");
    EXPECT_EQ(ch.text.txInvert, "0");
    // The scan reference texts survive a clear.
    EXPECT_EQ(ch.text.scanRefs[3].channel, "009");
}

TEST(Channel, AssignImageCopiesBytesNotTexts) {
    CChannel a = Fixed();
    a.SetScanRefCount(0x0102);
    a.text.name = "text of a";
    CChannel b;
    b.AssignImage(a);
    EXPECT_EQ(b.Image(), a.Image());
    EXPECT_EQ(b.text.name, "");
    b.AssignImage(b);
    EXPECT_EQ(b.Image(), a.Image());
}

TEST(Channel, SetNumberWritesBcdAndNameTextSkipsLeadingBlanks) {
    CChannel ch;
    ch.SetNumber(123);
    EXPECT_EQ(ch.Byte(0), 0x01);
    EXPECT_EQ(ch.Byte(1), 0x23);
    ch.SetNumber(511);
    EXPECT_EQ(ch.Word(0), 0x0511);

    PutName(ch, "  AB    ");
    EXPECT_EQ(ch.NameText(), "AB    ");
    PutName(ch, "\0 XY\0ZZZ");
    EXPECT_EQ(ch.NameText(), "XY");
    PutName(ch, "ABCDEFGH");
    EXPECT_EQ(ch.NameText(), "ABCDEFGH");
}

TEST(Channel, RefreshTextUnknownValuesAndToneForms) {
    CChannel ch = Fixed();
    ch.SetByte(off::kSignalType, 0);
    ch.SetByte(off::kControlMode, 0);
    ch.SetByte(off::kCourtesyTone, 0);
    ch.text.courtesyToneName = "previous";
    ch.SetWord(off::kRxCxcss, 0xF000);
    ch.SetWord(off::kTxCxcss, 0x0000);
    ch.RefreshText();
    EXPECT_EQ(ch.text.signalTypeName, "Apco 25");
    EXPECT_EQ(ch.text.controlName, "None");
    EXPECT_EQ(ch.text.courtesyToneName, "previous");
    EXPECT_EQ(ch.text.operationModeName, "Basestation");
    EXPECT_EQ(ch.text.rxTone, "f00.0");
    EXPECT_EQ(ch.text.txTone, "000.0");
    EXPECT_EQ(ch.text.power, "50");
    EXPECT_EQ(ch.text.talkgroup, "0x0001");
    EXPECT_EQ(ch.text.rxNac, "0x000");

    ch.SetByte(off::kSquelchSystem, val::kSquelchCdcss);
    ch.RefreshText();
    EXPECT_EQ(ch.text.rxTone, "f000");
    EXPECT_EQ(ch.text.txTone, "000");
    ch.SetWord(off::kRxCxcss, 0x0023);
    ch.RefreshText();
    EXPECT_EQ(ch.text.rxTone, "023");

    ch.SetByte(off::kSquelchSystem, val::kSquelchCtcssGroup);
    ch.SetWord(off::kRxCxcss, 0xF012);
    ch.SetWord(off::kTxCxcss, 0x0885);
    ch.RefreshText();
    EXPECT_EQ(ch.text.rxTone, "12");
    EXPECT_EQ(ch.text.txTone, "088.5");
    EXPECT_EQ(ch.text.squelchSystemName, "CTCSS GROUP");
    ch.SetByte(off::kSquelchSystem, 9);
    ch.RefreshText();
    EXPECT_EQ(ch.text.squelchSystemName, "NONE");

    // Frequencies there and back.
    ch.text.rxFrequency = "136.0125";
    ch.text.txFrequency = "450";
    ch.text.kind = "real";
    ch.ApplyLegacyText();
    ch.RefreshText();
    EXPECT_EQ(ch.Word(off::kRxFrequency), 0x0136);
    EXPECT_EQ(ch.text.rxFrequency, "136.0125");
    EXPECT_EQ(ch.text.txFrequency, "450.000");
}

TEST(Channel, RefreshTextOfAScanChannelLeavesFixedTexts) {
    CChannel ch;
    ch.SetKind(ChannelKind::Scan);
    ch.text.rxFrequency = "kept";
    ch.SetScanRefCount(2);
    ch.SetScanRef(0, 0x0005, 0x25);
    ch.SetScanRef(1, 0x0123, 0x10);
    ch.RefreshText();
    EXPECT_EQ(ch.text.kind, "scan");
    EXPECT_EQ(ch.text.scanCount, "2");
    EXPECT_EQ(ch.text.scanRefs[0].channel, "005");
    EXPECT_EQ(ch.text.scanRefs[0].dwell, "2.5");
    EXPECT_EQ(ch.text.scanRefs[1].channel, "123");
    EXPECT_EQ(ch.text.scanRefs[1].dwell, "1.0");
    EXPECT_EQ(ch.text.rxFrequency, "kept");
    // A count beyond the eight slots (a forged file) walks only the slots.
    ch.SetScanRefCount(300);
    ch.RefreshText();
    EXPECT_EQ(ch.text.scanCount, "300");
    EXPECT_EQ(ch.ValidScanRefs(), 8);
}

TEST(Channel, ApplyLegacyTextSignalTable) {
    struct Row {
        const char* keyword;
        const char* bandwidth;
        uint8_t signal;
        uint8_t squelch;
    };
    const Row rows[] = {
        {"apco25", "30", 1, 1},    {"ctcss", "15", 3, 1},       {"ctcss", "30", 2, 1},
        {"cdcss", "12.5", 3, 2},   {"cdcss", "25", 2, 2},       {"autoctcss", "15", 4, 1},
        {"autoctcss", "25", 5, 1}, {"autocdcss", "12.5", 4, 2}, {"autocdcss", "30", 5, 2},
        {"cvsd", "25", 6, 0},      {"cvsd", "12.5", 1, 1},      {"CTCSS", "25", 1, 1},
        {"ctcss", "20", 1, 1},
    };
    for (const Row& r : rows) {
        CChannel ch;
        ch.text.kind = "REAL";
        ch.text.signalKeyword = r.keyword;
        ch.text.bandwidth = r.bandwidth;
        ch.ApplyLegacyText();
        EXPECT_EQ(ch.KindByte(), 1);
        EXPECT_EQ(ch.SignalType(), r.signal) << r.keyword << " " << r.bandwidth;
        EXPECT_EQ(ch.SquelchSystem(), r.squelch) << r.keyword << " " << r.bandwidth;
    }
}

TEST(Channel, ApplyLegacyTextFields) {
    CChannel ch;
    ch.Image()[off::kLegacyText + 5] = 0x77;
    ChannelTexts& t = ch.text;
    t.kind = "real";
    t.name = "TOOLONGNAME";
    t.operationKeyword = "rp";
    t.controlKeyword = "fsiap-25";
    t.rxFrequency = "136.0125";
    t.rxNac = "ANY";
    t.rxTone = "0659";
    t.txFrequency = "450";
    t.txNac = "As RX";
    t.txTone = "023";
    t.power = "110";
    t.talkgroup = "0x00ff";
    t.unitId = "0x123456";
    t.keyId = "0xbeef";
    t.squelchLevel = "07";
    t.pttDelay = "0.050";
    t.pttTimeout = "120";
    t.pttTail = "1.5";
    t.courtesyTimer = "0.25";
    t.algorithm = "dws-ofb";
    t.frontPanel = "2";
    t.linkRadio = "0";
    t.halfDuplex = "On";
    t.reverseBurst = "1";
    t.legacyText = "ABC";
    t.legacyCode = "30";
    t.courtesyToneName = "2500HZ";
    t.rxInvert = "1";
    t.txInvert = "0";
    t.autosenseName = "DIGITAL";
    ch.ApplyLegacyText();
    const ChannelImage& b = ch.Image();
    EXPECT_EQ(std::string(b.begin() + 2, b.begin() + 10), "TOOLONGN");
    EXPECT_EQ(ch.OperationMode(), 2);
    EXPECT_EQ(ch.ControlMode(), 6);
    EXPECT_EQ(ch.RxNac(), 0xF000);
    EXPECT_EQ(ch.RxCxcss(), 0xF000);
    EXPECT_EQ(ch.TxNac(), 0xF000);
    EXPECT_EQ(ch.TxCxcss(), 0x0023);
    EXPECT_EQ((std::array<uint8_t, 5>{b[17], b[18], b[19], b[20], b[21]}),
              (std::array<uint8_t, 5>{0x01, 0x36, 0x01, 0x25, 0x00}));
    EXPECT_EQ((std::array<uint8_t, 5>{b[12], b[13], b[14], b[15], b[16]}),
              (std::array<uint8_t, 5>{0x04, 0x50, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ch.Word(off::kPowerWatts), 0x0110);
    EXPECT_EQ(ch.TalkgroupId(), 0x00FF);
    EXPECT_EQ((std::array<uint8_t, 3>{b[69], b[70], b[71]}),
              (std::array<uint8_t, 3>{0x12, 0x34, 0x56}));
    EXPECT_EQ(ch.Word(off::kTxKeyId), 0xBEEF);
    EXPECT_EQ(ch.SquelchLevel(), 0x07);
    EXPECT_EQ(ch.Word(off::kPttDelay), 0x0050);
    EXPECT_EQ(ch.Word(off::kPttTimeout), 0x0120);
    EXPECT_EQ(ch.Word(off::kPttTail), 0x0015);
    EXPECT_EQ(ch.Word(off::kCourtesyTimer), 0x0025);
    EXPECT_EQ(b[off::kTxAlgorithmId], 1);
    EXPECT_EQ(b[off::kFrontPanelPtt], 1);
    EXPECT_EQ(b[off::kLinkRadio], 0);
    EXPECT_EQ(b[off::kHalfDuplex], 0);  // "On" has no leading number
    EXPECT_EQ(b[off::kReverseBurst], 1);
    EXPECT_EQ(std::string(b.begin() + 42, b.begin() + 46), std::string("ABC\0", 4));
    EXPECT_EQ(b[off::kLegacyText + 5], 0x77);  // beyond the text: left alone
    EXPECT_EQ(b[off::kLegacyCode], 3);
    EXPECT_EQ(b[off::kCourtesyTone], 4);
    EXPECT_EQ(b[off::kCdcssInvert], 0x01);
    EXPECT_EQ(b[off::kAutosenseTx], 0x01);
    EXPECT_EQ(ch.ScanRefCount(), 0);
}

TEST(Channel, ApplyLegacyTextUnknownKindStopsAfterTheName) {
    CChannel ch;
    ch.SetKind(ChannelKind::Scan);
    ch.text.kind = "fixed";
    ch.text.name = "AB";
    ch.text.rxFrequency = "450";
    ch.ApplyLegacyText();
    EXPECT_EQ(ch.KindByte(), 2);
    EXPECT_EQ(ch.NameText(), "AB");
    EXPECT_EQ(ch.Byte(off::kRxFrequency), 0);
}

TEST(Channel, ScanCountIsBoundedBothWays) {
    CChannel ch;
    ch.text.kind = "pseudo";
    ch.text.scanCount = "12";
    for (size_t i = 0; i < 8; ++i) {
        ch.text.scanRefs[i].channel = std::to_string(i + 1);
        ch.text.scanRefs[i].dwell = "0.5";
    }
    ch.ApplyLegacyText();
    EXPECT_EQ(ch.ScanRefCount(), 8);
    EXPECT_EQ(ch.ScanRefChannel(7), 0x0008);
    EXPECT_EQ(ch.ScanRefDwell(7), 0x05);

    ch.text.scanCount = "-3";
    ch.ApplyLegacyText();
    EXPECT_EQ(ch.ScanRefCount(), 0);
}

TEST(Channel, PrepareImportMapsDisplayNames) {
    struct Row {
        const char* mode;
        const char* squelch;
        uint8_t signal;
        uint8_t system;
    };
    const Row rows[] = {
        {"Apco 25", "CDCSS", 1, 1},           {"narrowband fm", "cdcss", 3, 2},
        {"Wideband FM", "CTCSS GROUP", 2, 1}, {"Auto Narrowband", "CDCSS", 4, 2},
        {"Auto Wideband", "NONE", 5, 1},      {"CVSD/DES-XL", "CTCSS", 6, 0},
        {"something", "CDCSS", 1, 1},
    };
    for (const Row& r : rows) {
        CChannel ch;
        ch.text.signalTypeName = r.mode;
        ch.text.squelchSystemName = r.squelch;
        ch.text.operationModeName = "BASESTATION";
        ch.text.controlName = "tone rmt";
        ch.PrepareImport();
        EXPECT_EQ(ch.text.kind, "real");
        EXPECT_EQ(ch.SignalType(), r.signal) << r.mode;
        EXPECT_EQ(ch.SquelchSystem(), r.system) << r.mode;
        EXPECT_EQ(ch.OperationMode(), 1);
        EXPECT_EQ(ch.ControlMode(), 3);
    }
    CChannel scan;
    scan.text.scanCount = "1";
    scan.text.operationModeName = "Repeater";
    scan.PrepareImport();
    EXPECT_EQ(scan.text.kind, "pseudo");
    EXPECT_EQ(scan.KindByte(), 2);
}

TEST(Channel, RemoveReferencesToKeepsTheOthersPacked) {
    CChannel ch;
    ch.SetKind(ChannelKind::Scan);
    ch.SetScanRefCount(4);
    ch.SetScanRef(0, 0x0005, 0x10);
    ch.SetScanRef(1, 0x0007, 0x20);
    ch.SetScanRef(2, 0x0005, 0x30);
    ch.SetScanRef(3, 0x0009, 0x40);
    EXPECT_EQ(ch.RemoveReferencesTo(5), 2);
    EXPECT_EQ(ch.ScanRefCount(), 2);
    EXPECT_EQ(ch.text.scanCount, "2");
    EXPECT_EQ(ch.ScanRefChannel(0), 0x0007);
    EXPECT_EQ(ch.ScanRefDwell(0), 0x20);
    EXPECT_EQ(ch.ScanRefChannel(1), 0x0009);
    EXPECT_EQ(ch.ScanRefDwell(1), 0x40);
    EXPECT_EQ(ch.RemoveReferencesTo(5), 0);

    // The same bytes of a fixed channel are its frequencies, not references.
    CChannel fixed = Fixed();
    fixed.SetScanRefCount(1);
    fixed.SetByte(off::kSignalType, 0x00);
    fixed.SetByte(off::kTxFrequency, 0x05);
    EXPECT_EQ(fixed.RemoveReferencesTo(5), 0);
    EXPECT_EQ(fixed.Byte(off::kTxFrequency), 0x05);
}
