// The channel table as a Send and a Get leave it: what the records carry
// survives, the rest is the emptied document's.
#include <gtest/gtest.h>

#include "bci/ChannelTransferView.h"

namespace quillon::bci {
namespace {

namespace off = model::off;

TEST(ChannelTransferView, KeepsWhatTheRecordsCarryAndNothingElse) {
    model::CChannelTable table;
    // Fixed channel 3: every byte from the name to the squelch level.
    model::CChannel& fixed = table[3];
    fixed.SetKind(model::ChannelKind::Fixed);
    for (size_t i = off::kChannelName; i <= off::kSquelchLevel; ++i) {
        if (i != off::kChannelKind) {
            fixed.SetByte(i, static_cast<uint8_t>(i * 3 + 1));
        }
    }
    fixed.SetScanRefCount(0x0102);  // not carried for a fixed channel
    // Scan channel 9 with two references and stray bytes after them.
    model::CChannel& scan = table[9];
    scan.SetKind(model::ChannelKind::Scan);
    scan.SetNameBytes("SCAN");
    scan.SetScanRefCount(2);
    scan.SetScanRef(0, 0x0003, 0x15);
    scan.SetScanRef(1, 0x0004, 0x20);
    scan.SetByte(off::kPowerWatts, 0x99);
    scan.SetByte(off::kSquelchLevel, 0x07);
    // Empty slot 20 with left-overs of an earlier channel.
    table[20].SetNameBytes("OLD");
    table[20].SetByte(off::kRxFrequency, 0x04);

    const model::CChannelTable out = AsTransferred(table);
    const model::CChannel cleared;

    for (size_t i = off::kChannelName; i <= off::kSquelchLevel; ++i) {
        EXPECT_EQ(out[3].Byte(i), fixed.Byte(i)) << i;
    }
    EXPECT_EQ(out[3].ScanRefCount(), cleared.ScanRefCount());

    EXPECT_TRUE(out[9].IsScan());
    EXPECT_EQ(out[9].NameText(), "SCAN");
    EXPECT_EQ(out[9].ScanRefCount(), 2);
    EXPECT_EQ(out[9].ScanRefChannel(0), 0x0003);
    EXPECT_EQ(out[9].ScanRefDwell(0), 0x15);
    EXPECT_EQ(out[9].ScanRefChannel(1), 0x0004);
    EXPECT_EQ(out[9].ScanRefDwell(1), 0x20);
    EXPECT_EQ(out[9].Byte(off::kPowerWatts), cleared.Byte(off::kPowerWatts));
    EXPECT_EQ(out[9].Byte(off::kSquelchLevel), cleared.Byte(off::kSquelchLevel));

    EXPECT_TRUE(out[20].Image() == cleared.Image());
    EXPECT_TRUE(out[21].Image() == cleared.Image());
    // The table given is not touched.
    EXPECT_EQ(table[20].NameText(), "OLD");
}

TEST(ChannelTransferView, TransferringTwiceChangesNothingMore) {
    model::CChannelTable table;
    for (int c = 0; c < model::kChannelCount; c += 7) {
        table[c].SetKind(c % 2 == 0 ? model::ChannelKind::Fixed : model::ChannelKind::Scan);
        table[c].SetNameBytes("C" + std::to_string(c));
        table[c].SetByte(off::kUnitId, static_cast<uint8_t>(c));
    }
    const model::CChannelTable once = AsTransferred(table);
    const model::CChannelTable twice = AsTransferred(once);
    for (int c = 0; c < model::kChannelCount; ++c) {
        EXPECT_TRUE(once[c].Image() == twice[c].Image()) << c;
    }
    EXPECT_EQ(once[14].Byte(off::kUnitId), 14);
    EXPECT_EQ(once[511].NameText(), "C511");
}

}  // namespace
}  // namespace quillon::bci
