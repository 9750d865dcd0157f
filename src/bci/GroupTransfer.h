#pragma once
// The squelch groups and the tone remote list as they travel in binary
// mode: the 65-byte group record, the all-groups stream cut into blocks, and
// the 36-byte tone list.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "bci/ChannelTransfer.h"

namespace quillon {
class LogSink;
}
namespace quillon::model {
class SquGroup;
class CToneRemote;
}  // namespace quillon::model

namespace quillon::bci {

inline constexpr int kGroupCount = 16;
inline constexpr size_t kGroupRecordSize = 65;
inline constexpr size_t kGroupNameBytes = 16;
inline constexpr size_t kGroupNumberAt = 16;
inline constexpr size_t kGroupItemsAt = 17;
inline constexpr size_t kGroupItemBytes = 3;
using GroupRecord = std::array<uint8_t, kGroupRecordSize>;

inline constexpr size_t kToneListSize = 36;
using ToneList = std::array<uint8_t, kToneListSize>;

inline constexpr uint8_t kCodeSendGroups = 0x0D;
inline constexpr uint8_t kCodeGetGroups = 0x0C;

// The record of group `index` (0..15): name zero-filled to 16 bytes, the
// group number, 16 items of value and type. An item of a type the card does
// not know goes with value 0 and its type as it is, and is logged.
GroupRecord EncodeGroup(const model::SquGroup& groups, int index, LogSink& log);

// Stores a received record into the group its number byte names; a number
// outside 1..16 stores nothing (false). Every item is replaced; one of an
// unknown type becomes a not-used item and is logged. The name ends at its
// first zero byte, as it is shown.
bool DecodeGroup(const uint8_t* record, model::SquGroup& groups, LogSink& log);

// The tone list: per slot the function and the argument's digits one per
// nibble.
ToneList PackToneList(const model::CToneRemote& tones);
// Stores a received tone list. A function outside 1..4, or an argument that
// is not a channel number below 512, makes the slot unassigned (logged):
// the card's list cannot be trusted to name a channel that exists.
void UnpackToneList(const uint8_t* list, model::CToneRemote& tones, LogSink& log);

// The all-groups send: the count message 0x00 0x0D 0x10, then blocks of
// 0x00 0x0D and the next 254 bytes of the records of groups 1 to 16. Each
// record is built whole in a buffer of its own before it is copied, so a
// record that straddles two blocks never writes past the first.
inline constexpr std::array<uint8_t, 3> kGroupCountMessage = {0x00, 0x0D, 0x10};

class GroupStreamWriter {
  public:
    GroupStreamWriter(const model::SquGroup& groups, LogSink& log) : groups_(groups), log_(log) {}
    // Fills `block`; returns the bytes used (256 for every block but the
    // last). `onRecordStarted` hears the index of each record begun.
    size_t NextBlock(BlockBuffer& block, const std::function<void(int)>& onRecordStarted);
    bool Done() const { return next_ >= kGroupCount && pos_ >= kGroupRecordSize; }

  private:
    const model::SquGroup& groups_;
    LogSink& log_;
    int next_ = 0;
    GroupRecord record_{};
    size_t pos_ = kGroupRecordSize;
};

// The request of the all-groups get: 0x00 0x0C, the count 16 and the group
// numbers 1 to 16.
std::array<uint8_t, 19> GetGroupsRequest();

// Takes the blocks of the all-groups reply apart: 65-byte records across
// the 254 bytes after each header, each stored as soon as it is whole; the
// reading ends with the 16th record.
class GroupReplyReader {
  public:
    GroupReplyReader(model::SquGroup& groups, LogSink& log) : groups_(groups), log_(log) {}
    // Returns true once 16 records have been stored; `onStored` hears the
    // count after every record.
    bool TakeBlock(const uint8_t* block, const std::function<void(int)>& onStored);
    int RecordsStored() const { return stored_; }

  private:
    model::SquGroup& groups_;
    LogSink& log_;
    GroupRecord record_{};
    size_t have_ = 0;
    int stored_ = 0;
};

}  // namespace quillon::bci
