// Fuzz target: the squelch group records of a Get. The input goes twice:
// as single 65-byte records to the decoder, and as the blocks of an
// all-groups reply to its reader. A group the decoder accepted must go back
// to the card as the record it came in (up to what the record format cannot
// keep), so a Get followed by a Send never changes the card's groups.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzCheck.h"
#include "bci/GroupTransfer.h"
#include "core/LogSink.h"
#include "model/SquGroup.h"

using namespace quillon;

namespace {

bool IsDecimal(uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

// The record as the program must send it back after reading it: the name
// ends at its first zero byte, and an item that is not a NAC, CTCSS or
// CDCSS code travels as an unused one. False when the record holds a CTCSS
// value that is neither decimal nor the any-value F0 00: no tone has such a
// value, and the program need only keep it stable, not keep it.
bool ExpectedBack(const bci::GroupRecord& in, bci::GroupRecord& out) {
    out = in;
    bool ended = false;
    for (size_t i = 0; i < bci::kGroupNameBytes; ++i) {
        ended = ended || in[i] == 0;
        if (ended) {
            out[i] = 0;
        }
    }
    bool kept = true;
    for (size_t i = 0; i < static_cast<size_t>(model::SquGroup::kItems); ++i) {
        uint8_t* item = out.data() + bci::kGroupItemsAt + bci::kGroupItemBytes * i;
        if (item[2] < model::SquGroup::kNac || item[2] > model::SquGroup::kCdcss) {
            item[0] = item[1] = 0;
            item[2] = model::SquGroup::kNotUsed;
        } else if (item[2] == model::SquGroup::kCtcss) {
            const bool any = item[0] == 0xF0 && item[1] == 0x00;
            kept = kept && (any || (IsDecimal(item[0]) && IsDecimal(item[1])));
        }
    }
    return kept;
}

void CheckRecord(const bci::GroupRecord& record, NullLog& log) {
    model::SquGroup groups;
    const int index = record[bci::kGroupNumberAt] - 1;
    const bool stored = bci::DecodeGroup(record.data(), groups, log);
    FUZZ_REQUIRE(stored == (index >= 0 && index < bci::kGroupCount));
    if (!stored) {
        return;
    }
    FUZZ_REQUIRE(groups.GetName(index).size() <= model::SquGroup::kMaxNameLength);
    for (int i = 0; i < model::SquGroup::kItems; ++i) {
        const uint8_t type = groups.GetItem(index, i).type;
        FUZZ_REQUIRE(type >= model::SquGroup::kNac && type <= model::SquGroup::kNotUsed);
    }
    // A Get followed by a Send gives the card its group back.
    const bci::GroupRecord sent = bci::EncodeGroup(groups, index, log);
    bci::GroupRecord expected{};
    if (ExpectedBack(record, expected)) {
        FUZZ_REQUIRE(sent == expected);
    }
    // And whatever went back once comes back the same from then on.
    model::SquGroup again;
    FUZZ_REQUIRE(bci::DecodeGroup(sent.data(), again, log));
    FUZZ_REQUIRE(bci::EncodeGroup(again, index, log) == sent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 32 * bci::kBlockBytes) {
        return 0;
    }
    static NullLog log;
    for (size_t at = 0; at < size; at += bci::kGroupRecordSize) {
        bci::GroupRecord record{};
        std::copy_n(data + at, std::min(bci::kGroupRecordSize, size - at), record.begin());
        CheckRecord(record, log);
    }
    model::SquGroup groups;
    bci::GroupReplyReader reader(groups, log);
    bool done = false;
    for (size_t at = 0; at < size; at += bci::kBlockBytes) {
        bci::BlockBuffer block{};
        std::copy_n(data + at, std::min(bci::kBlockBytes, size - at), block.begin());
        const int before = reader.RecordsStored();
        int heard = before;
        const bool nowDone = reader.TakeBlock(block.data(), [&heard](int n) {
            FUZZ_REQUIRE(n == heard + 1);
            heard = n;
        });
        FUZZ_REQUIRE(heard == reader.RecordsStored());
        FUZZ_REQUIRE(nowDone == (reader.RecordsStored() == bci::kGroupCount));
        if (done) {
            FUZZ_REQUIRE(reader.RecordsStored() == before);
        }
        done = nowDone;
    }
    return 0;
}
