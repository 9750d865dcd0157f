// Fuzz target: the assembler of a Get's channel table reply. The input is
// cut into 256-byte blocks (the last one zero-filled) as the block engine
// hands them over. Whatever the card sends, the reader must count honestly,
// stop for good once it has finished or refused, and a table it completed
// must travel back to the card and be read again unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "bci/ChannelTransfer.h"
#include "model/CTmpDoc.h"

using namespace quillon;
using bci::ChannelReplyReader;

namespace {

// Feeds the input to the reader block by block and returns the final status.
ChannelReplyReader::Status ReadAll(const uint8_t* data, size_t size, ChannelReplyReader& reader) {
    using Status = ChannelReplyReader::Status;
    Status status = Status::NeedMore;
    int heard = 0;
    for (size_t at = 0; at < size; at += bci::kBlockBytes) {
        bci::BlockBuffer block{};
        std::copy_n(data + at, std::min(bci::kBlockBytes, size - at), block.begin());
        const Status before = status;
        const int storedBefore = reader.RecordsStored();
        status = reader.TakeBlock(block.data(), [&heard](int n) {
            FUZZ_REQUIRE(n == heard + 1);  // counts go up by one record at a time
            heard = n;
        });
        FUZZ_REQUIRE(heard == reader.RecordsStored());
        FUZZ_REQUIRE(reader.RecordsStored() >= 0 && reader.RecordsStored() <= bci::kTableChannels);
        if (before != Status::NeedMore) {
            // Finished or refused: later blocks change nothing.
            FUZZ_REQUIRE(status == before && reader.RecordsStored() == storedBefore);
        }
    }
    FUZZ_REQUIRE((status == Status::Refused) == (reader.Fault() != bci::ChannelDataFault::None));
    FUZZ_REQUIRE(status != Status::Complete || reader.RecordsStored() == bci::kTableChannels);
    return status;
}

// The data message of a Send of `table`, block after block.
std::vector<uint8_t> Send(model::CChannelTable& table) {
    std::vector<uint8_t> stream;
    bci::ChannelStreamWriter writer(table);
    while (!writer.Done()) {
        bci::BlockBuffer block{};
        const size_t used = writer.NextBlock(block, {});
        FUZZ_REQUIRE(used > bci::kHeaderBytes && used <= bci::kBlockBytes);
        FUZZ_REQUIRE(block[0] == bci::kRequestTag && block[1] == bci::kCodeSendChannels);
        stream.insert(stream.end(), block.begin(), block.end());
        FUZZ_REQUIRE(stream.size() <= 160 * bci::kBlockBytes);
    }
    return stream;
}

// The records of a complete table message by channel number, cut from the
// stream by their kinds alone (the reader has accepted it, so it is whole).
std::vector<std::vector<uint8_t>> Records(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stream;
    for (size_t at = 0; at < size; at += bci::kBlockBytes) {
        const size_t end = std::min(size, at + bci::kBlockBytes);
        if (at + bci::kHeaderBytes < end) {
            stream.insert(stream.end(), data + at + bci::kHeaderBytes, data + end);
        }
    }
    std::vector<std::vector<uint8_t>> records(bci::kTableChannels);
    size_t pos = 0;
    for (int n = 0; n < bci::kTableChannels; ++n) {
        FUZZ_REQUIRE(pos + bci::kRecordHead <= stream.size());
        const size_t length = bci::RecordLength(stream[pos + 2]);
        FUZZ_REQUIRE(length != 0 && pos + length <= stream.size());
        const int number = bci::Bcd4ToNumber(stream[pos], stream[pos + 1]);
        FUZZ_REQUIRE(number >= 0 && number < bci::kTableChannels);
        records[static_cast<size_t>(number)].assign(
            stream.begin() + static_cast<long>(pos),
            stream.begin() + static_cast<long>(pos + length));
        pos += length;
    }
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A whole table is 512 records of at most 76 bytes: anything beyond
    // 160 blocks only repeats what the reader must already ignore.
    if (size > 160 * bci::kBlockBytes) {
        return 0;
    }
    auto table = std::make_unique<model::CChannelTable>();
    ChannelReplyReader reader(*table);
    if (ReadAll(data, size, reader) != ChannelReplyReader::Status::Complete) {
        return 0;
    }
    // Send what was read, as a Send would: every record must go back as
    // the card sent it, and reading that send again and sending it once
    // more must give the same message, or a Get followed by a Send would
    // change the card.
    const std::vector<uint8_t> sent = Send(*table);
    // Each channel goes back exactly as the card sent it.
    FUZZ_REQUIRE(Records(sent.data(), sent.size()) == Records(data, size));
    auto again = std::make_unique<model::CChannelTable>();
    ChannelReplyReader second(*again);
    FUZZ_REQUIRE(ReadAll(sent.data(), sent.size(), second) == ChannelReplyReader::Status::Complete);
    FUZZ_REQUIRE(Send(*again) == sent);
    return 0;
}
