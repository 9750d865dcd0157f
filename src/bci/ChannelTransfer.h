#pragma once
// The channel table as it travels in binary mode: one transfer record per
// slot, the records of slots 0 to 511 back to back, cut into 256-byte blocks
// behind a two-byte command header.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "model/CChannel.h"

namespace quillon::model {
class CChannelTable;
}

namespace quillon::bci {

inline constexpr int kTableChannels = 512;
inline constexpr size_t kBlockBytes = 256;
inline constexpr size_t kHeaderBytes = 2;
inline constexpr size_t kStreamPerBlock = kBlockBytes - kHeaderBytes;  // 254
using BlockBuffer = std::array<uint8_t, kBlockBytes>;

inline constexpr uint8_t kRequestTag = 0x00;
inline constexpr uint8_t kReplyTag = 0x80;
inline constexpr uint8_t kCodeSendChannels = 0x04;

// Transfer record: number (2, BCD), kind (1), then by kind nothing, the
// fixed channel's name and image bytes 11..75, or the scan channel's name,
// reference count and eight references.
inline constexpr size_t kRecordHead = 3;
inline constexpr size_t kEmptyRecord = 3;
inline constexpr size_t kFixedRecord = 76;
inline constexpr size_t kScanRecord = 36;
inline constexpr size_t kMaxRecord = kFixedRecord;
using ChannelRecord = std::array<uint8_t, kMaxRecord>;

// The whole length of a record of this kind, or 0 for a kind that does not
// exist.
size_t RecordLength(uint8_t kind);

// Builds the transfer record of the channel in `slot` (its number is the
// slot, whatever the image holds); returns its length. An image whose kind
// is not one the card knows goes as an empty slot, and a scan channel never
// claims more than its eight reference slots.
size_t EncodeChannelRecord(const model::ChannelImage& image, int slot, ChannelRecord& out);

// The first request of a table send: 0x00 0x04 and the record count 512
// in four BCD digits.
inline constexpr std::array<uint8_t, 4> kChannelCountMessage = {0x00, 0x04, 0x05, 0x12};

// Four BCD digits to a number; -1 when a nibble is not a decimal digit.
int Bcd4ToNumber(uint8_t high, uint8_t low);

// Cuts the channel table into the blocks of the data message. Each block is
// the header 0x00 0x04 and the next 254 stream bytes; the last one is left
// short for FinishMessage to pad. Every channel gets its number written into
// its image as its record is started, as the card expects it there.
class ChannelStreamWriter {
  public:
    explicit ChannelStreamWriter(model::CChannelTable& table) : table_(table) {}

    // Fills `block` and returns how many of its bytes are used (256 for every
    // block but the last). `onRecordStarted` hears the slot of every record
    // begun in this block.
    size_t NextBlock(BlockBuffer& block, const std::function<void(int)>& onRecordStarted);
    // The last byte of slot 511's record is in a block.
    bool Done() const { return nextSlot_ >= kTableChannels && recordPos_ >= recordLength_; }

  private:
    model::CChannelTable& table_;
    int nextSlot_ = 0;
    ChannelRecord record_{};
    size_t recordLength_ = 0;
    size_t recordPos_ = 0;
};

// Why a received table was refused.
enum class ChannelDataFault {
    None,
    BadNumber,        // a nibble above 9, or 512 or more
    DuplicateNumber,  // a channel sent twice (another slot would stay unnamed)
    BadKind,          // kind above 2
    BadScanCount,     // more than eight scan references
};

// Takes the blocks of a Get reply apart and stores each record into the
// channel whose number it carries. A record is stored as soon as its last
// byte arrives; the reading ends with the last byte of the 512th record, and
// since no number may come twice, those 512 records name every slot once.
class ChannelReplyReader {
  public:
    enum class Status { NeedMore, Complete, Refused };

    explicit ChannelReplyReader(model::CChannelTable& table) : table_(table) {}

    // One 256-byte block of the reply; its first two bytes are the header
    // and are not looked at. `onStored` hears the count after every record
    // stored. After Complete or Refused further blocks change nothing.
    Status TakeBlock(const uint8_t* block, const std::function<void(int)>& onStored);

    int RecordsStored() const { return stored_; }
    ChannelDataFault Fault() const { return fault_; }

  private:
    Status TakeByte(uint8_t b, const std::function<void(int)>& onStored);
    Status Refuse(ChannelDataFault f) {
        fault_ = f;
        status_ = Status::Refused;
        return status_;
    }
    void Store();

    model::CChannelTable& table_;
    Status status_ = Status::NeedMore;
    ChannelDataFault fault_ = ChannelDataFault::None;
    int stored_ = 0;
    std::bitset<kTableChannels> seen_;
    ChannelRecord record_{};
    size_t have_ = 0;    // bytes of the current record so far
    size_t length_ = 0;  // its whole length once the kind is known
    int number_ = 0;
};

}  // namespace quillon::bci
