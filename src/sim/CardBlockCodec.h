#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillon::sim::cardbci {

// The card's own codec for the checked blocks of binary mode. It is written
// from the line format alone and kept apart from the programmer's engine,
// so that a fault in one is caught by the other instead of being mirrored.

inline constexpr uint8_t kSoh = 0x01;
inline constexpr uint8_t kEot = 0x04;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kEsc = 0x1B;

inline constexpr size_t kPayloadSize = 256;
using Payload = std::array<uint8_t, kPayloadSize>;

// The code a byte travels as after ESC, or 0 when it travels as itself.
uint8_t EscapeCode(uint8_t byte);
// The byte an escape code stands for; nothing when the value is no code.
std::optional<uint8_t> Unescape(uint8_t code);

// A block as it goes on the line: SOH, the escaped number and payload, and
// the 16-bit sum (high byte first, escaped but not counted) of every line
// byte of number and payload.
std::vector<uint8_t> EncodeBlock(uint8_t number, const Payload& payload);

// Cuts a message into whole blocks, the last one padded with zeros. An empty
// message still makes one block.
std::vector<Payload> SplitIntoBlocks(const std::vector<uint8_t>& message);
// Cuts a stream into blocks that each begin with the two header bytes, 254
// stream bytes after them.
std::vector<Payload> SplitWithHeader(uint8_t h0, uint8_t h1, const std::vector<uint8_t>& stream);
// Joins the bytes after the first `skip` of every block.
std::vector<uint8_t> JoinBodies(const std::vector<Payload>& blocks, size_t skip);

// Takes a block apart byte by byte once its SOH has been seen. A block is
// complete after 259 unescaped bytes (number, payload, checksum); it is good
// when the sum matches and it held no broken escape and no raw control byte.
class BlockDecoder {
  public:
    void Reset();
    // Returns true when this byte completed the block.
    bool Feed(uint8_t lineByte);

    uint8_t Number() const { return number_; }
    const Payload& Data() const { return payload_; }
    bool Good() const { return !broken_ && sum_ == received_; }
    uint32_t ComputedSum() const { return sum_; }
    uint32_t ReceivedSum() const { return received_; }

  private:
    size_t position_ = 0;  // unescaped bytes taken so far (0..259)
    bool escape_ = false;
    bool broken_ = false;
    uint32_t sum_ = 0;
    uint32_t received_ = 0;
    uint8_t number_ = 0;
    Payload payload_{};
};

}  // namespace quillon::sim::cardbci
