#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sim/CardBlockCodec.h"
#include "sim/SimTimer.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

// The card's side of binary mode below the command layer: it takes blocks
// apart, acknowledges them, collects a message up to its EOT, hands it to
// the command layer and sends the reply as a message of its own.
//
// Habits the programmer's engine relies on:
// - a reply goes out only once the programmer has offered a NAK after the
//   EOT exchange (its receiver drops what shares a read with the EOT's ACK);
// - stray bytes outside a block are answered with one NAK once the line has
//   gone quiet, but ACK and NAK bytes are never answered, or both sides
//   would trade NAKs for ever;
// - an idle receiver offers a NAK once a second while the programmer says
//   nothing at all (a programmer in binary mode offers its own NAKs and so
//   never hears these), which lets a mode probe see binary mode at once;
// - a damaged block gets exactly one NAK, however many bytes of it are left.
class CardBlockLink {
  public:
    struct Reply {
        std::vector<cardbci::Payload> blocks;
        std::function<void()> afterSent;  // runs once the EOT is acknowledged (or given up)
    };
    using Handler = std::function<std::optional<Reply>(const std::vector<cardbci::Payload>&)>;
    using Sender = std::function<void(const uint8_t*, size_t)>;

    // The line quiet time after stray bytes before the NAK goes out.
    static constexpr uint64_t kQuietNs = 20 * VirtualClock::kNsPerMs;
    // A block whose bytes stop for this long is given up and NAKed.
    static constexpr uint64_t kBlockGapNs = 200 * VirtualClock::kNsPerMs;
    // A reply block without an answer is sent again after this long.
    static constexpr uint64_t kReplyAckNs = 10000 * VirtualClock::kNsPerMs;
    static constexpr int kMaxBlockSends = 10;
    static constexpr uint64_t kEotAckNs = 3000 * VirtualClock::kNsPerMs;
    static constexpr int kMaxEotSends = 4;
    // An idle card offers a NAK after this long without a byte from the programmer.
    static constexpr uint64_t kOfferNs = 1000 * VirtualClock::kNsPerMs;
    // A reply nobody asks for is dropped after this long.
    static constexpr uint64_t kStartNakNs = 60000 * VirtualClock::kNsPerMs;
    // Longest request accepted; the biggest real one (a table of fixed
    // channels) needs 154 blocks.
    static constexpr size_t kMaxMessageBlocks = 200;

    CardBlockLink(VirtualClock& clock, Sender send, Handler handler);

    void Receive(uint8_t b);
    // Binary mode begins: nothing in progress, NAKs offered while idle.
    void Start();
    // Binary mode ends: everything in progress is forgotten, nothing is sent.
    void Stop();

    // How long one byte the card sends takes to leave, and any delay the
    // card adds before its bytes go out: ACK or NAK bytes that arrive before
    // a block or EOT can have reached the programmer answer something older
    // and are ignored.
    void SetTiming(uint64_t byteNs, uint64_t extraDelayNs) {
        byteNs_ = byteNs;
        extraDelayNs_ = extraDelayNs;
    }
    // Misbehaviour: answer the first n receptions of every good block with NAK.
    void SetNakFirst(int n) { nakFirst_ = n < 0 ? 0 : n; }

    bool Replying() const { return tx_ != Tx::None; }
    bool InBlock() const { return rx_ == Rx::InBlock; }

    // Counts for the tests' own checks.
    struct Counters {
        uint64_t blocksGood = 0;      // complete blocks with a good sum
        uint64_t blocksBad = 0;       // complete or broken-off blocks refused
        uint64_t blocksAccepted = 0;  // taken into a message
        uint64_t acksSent = 0;
        uint64_t naksSent = 0;  // answers and offers
        uint64_t naksOffered = 0;
        uint64_t messages = 0;         // messages handed to the command layer
        uint64_t replyBlocksSent = 0;  // first sends and resends
        uint64_t replyResends = 0;
        uint64_t repliesDone = 0;
        uint64_t repliesAbandoned = 0;
    };
    const Counters& Count() const { return counters_; }

  private:
    enum class Rx { Idle, InBlock, Resync };
    enum class Tx { None, WaitStartNak, WaitBlockAck, WaitEotAck };

    void Clear();
    void Offer();
    void Send(const std::vector<uint8_t>& bytes);
    void SendControl(uint8_t b);
    void StartBlock();
    void BlockDone();
    void BlockBroken();
    void EnterResync();
    void MessageEnd();
    void OnAnswer(uint8_t b);
    void SendReplyBlock();
    void SendReplyEot();
    void FinishReply(bool done);
    bool Deaf() const { return clock_.NowNs() < deafUntilNs_; }

    VirtualClock& clock_;
    Sender send_;
    Handler handler_;
    Rx rx_ = Rx::Idle;
    Tx tx_ = Tx::None;
    cardbci::BlockDecoder decoder_;
    std::vector<cardbci::Payload> message_;
    int receptions_ = 0;  // good receptions of the block expected next
    int nakFirst_ = 0;
    Reply reply_;
    size_t replyIndex_ = 0;
    int sends_ = 0;
    uint64_t byteNs_ = 1041667;
    uint64_t extraDelayNs_ = 0;
    uint64_t lineFreeNs_ = 0;
    uint64_t deafUntilNs_ = 0;
    SimTimer rxTimer_;
    SimTimer txTimer_;
    SimTimer offerTimer_;
    Counters counters_;
};

}  // namespace quillon::sim
