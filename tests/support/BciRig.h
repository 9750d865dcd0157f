#pragma once
// A block engine on a simulated 9600 baud line, stepped the way the
// application steps it: on every 50 ms tick the transaction runs, then
// ReadPort, then Step, and right after the tick another message runs the
// transaction once more.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "bci/CBciLink.h"
#include "sim/CardBlockCodec.h"
#include "sim/MemoryLog.h"
#include "sim/SimLine.h"
#include "sim/SimPorts.h"
#include "sim/VirtualClock.h"

namespace quillon::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
inline Bytes Fill(size_t n, uint8_t v) {
    return Bytes(n, v);
}

// A byte that reached the card, with the engine tick that was current when it
// arrived (one byte time after it was written, so before the next step).
struct Arrival {
    uint8_t byte;
    uint32_t tick;
};

class BciRig {
  public:
    static constexpr uint64_t kTickNs = 50 * sim::VirtualClock::kNsPerMs;

    explicit BciRig(bool recordCard = true) : line(clock) {
        ports.Attach("COM1", line.Host());
        ctx.devices = &ports;
        ctx.clock = &clock;
        ctx.log = &log;
        link = std::make_unique<CBciLink>(ctx, 1, 9600);
        link->initialise();
        if (recordCard) {
            line.Card().SetListener([this] {
                uint8_t b = 0;
                while (line.Card().Read(&b, 1) == 1) {
                    arrivals.push_back({b, link->Tick()});
                }
            });
        }
    }

    // One timer tick and the message after it.
    void Tick() {
        clock.AdvanceBy(kTickNs);
        if (transaction) {
            transaction();
        }
        link->ReadPort();
        link->Step();
        if (transaction) {
            transaction();
        }
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            Tick();
        }
    }
    // Ticks until pred() holds; false when it did not within maxTicks.
    bool TickUntil(const std::function<bool()>& pred, int maxTicks) {
        for (int i = 0; i < maxTicks; ++i) {
            if (pred()) {
                return true;
            }
            Tick();
        }
        return pred();
    }

    void CardSend(const Bytes& b) { line.Card().Write(b.data(), static_cast<int>(b.size())); }

    // Lets the bytes still on the wire (the last step's control byte) arrive.
    void Settle() { clock.AdvanceBy(2 * sim::VirtualClock::kNsPerMs); }

    // What reached the card so far, and a fresh start for the next check.
    Bytes CardGot() {
        Settle();
        Bytes out;
        for (const Arrival& a : arrivals) {
            out.push_back(a.byte);
        }
        return out;
    }
    // Lets what is still on the wire arrive first, then forgets it all.
    void ClearCard() {
        Settle();
        arrivals.clear();
    }
    int CardCount(uint8_t v) {
        Settle();
        int n = 0;
        for (const Arrival& a : arrivals) {
            n += a.byte == v ? 1 : 0;
        }
        return n;
    }

    uint32_t C(BciCounter c) const { return link->Counter(c); }
    BciState State() const { return static_cast<BciState>(link->EngineState()); }

    sim::VirtualClock clock;
    sim::SimLine line;
    sim::SimPorts ports;
    sim::MemoryLog log;
    LinkContext ctx;
    std::unique_ptr<CBciLink> link;
    std::function<void()> transaction;
    std::vector<Arrival> arrivals;
};

// Blocks made and taken apart by the simulated card's own codec, which is
// written from the line format apart from the engine.
inline Bytes EncodeBlock(uint8_t number, const Bytes& prefix) {
    sim::cardbci::Payload p{};
    std::copy_n(prefix.begin(), std::min(prefix.size(), p.size()), p.begin());
    return sim::cardbci::EncodeBlock(number, p);
}

// Feeds line bytes to the card codec, finding blocks by their SOH; what comes
// outside a block is a control byte.
class BlockReader {
  public:
    enum class Got { Nothing, Block, BadBlock, Control };
    Got Feed(uint8_t b) {
        if (!inBlock_) {
            if (b != 0x01) {
                return Got::Control;
            }
            inBlock_ = true;
            decoder_.Reset();
            return Got::Nothing;
        }
        if (!decoder_.Feed(b)) {
            return Got::Nothing;
        }
        inBlock_ = false;
        return decoder_.Good() ? Got::Block : Got::BadBlock;
    }
    uint8_t Number() const { return decoder_.Number(); }
    const sim::cardbci::Payload& Data() const { return decoder_.Data(); }

  private:
    bool inBlock_ = false;
    sim::cardbci::BlockDecoder decoder_;
};

}  // namespace quillon::testing

namespace quillon::testing {

// The link operations a transaction makes to send one message: SendBytes
// until it has queued everything, then FinishMessage until the EOT is
// acknowledged. Step() is what the transaction does on one message.
class MessageSender {
  public:
    MessageSender(CBciLink& link, Bytes data) : link_(link), data_(std::move(data)) {}
    void Step() {
        if (result != 0) {
            return;
        }
        if (sendResult != 1) {
            sendResult = link_.SendBytes(static_cast<int>(data_.size()), data_.data());
            if (sendResult == 2) {
                result = 2;
            }
            if (sendResult != 1) {
                return;
            }
        }
        result = link_.FinishMessage();
    }
    int sendResult = 0;
    int result = 0;  // of the whole message: 1 sent, 2 failed

  private:
    CBciLink& link_;
    Bytes data_;
};

// The reading side of a transaction: ReceiveBytes of 256 bytes at a time
// until `total` bytes are in, then WaitReplyEnd.
class ReplyReader {
  public:
    ReplyReader(CBciLink& link, size_t total) : link_(link), total_(total) {}
    void Step() {
        if (result != 0) {
            return;
        }
        while (got.size() < total_) {
            const size_t want = std::min<size_t>(256, total_ - got.size());
            const int r = link_.ReceiveBytes(static_cast<int>(want), buf_.data());
            if (r == 0) {
                // What was copied so far stays in the buffer; the operation
                // continues where it stopped on the next call.
                return;
            }
            if (r == 2) {
                result = 2;
                return;
            }
            got.insert(got.end(), buf_.begin(), buf_.begin() + static_cast<long>(want));
        }
        result = link_.WaitReplyEnd();
    }
    Bytes got;
    int result = 0;

  private:
    CBciLink& link_;
    size_t total_;
    std::array<uint8_t, 256> buf_{};
};

}  // namespace quillon::testing

namespace quillon::testing {

// A card that receives a message the plain way: it acknowledges every good
// block and every EOT at once and keeps what it got. Poll() after each tick.
class ReceivingCard {
  public:
    explicit ReceivingCard(BciRig& rig) : rig_(rig) {}
    void Poll() {
        for (; seen_ < rig_.arrivals.size(); ++seen_) {
            const uint8_t b = rig_.arrivals[seen_].byte;
            switch (reader_.Feed(b)) {
                case BlockReader::Got::Block:
                    numbers.push_back(reader_.Number());
                    blocks.push_back(reader_.Data());
                    if (ackBlocks) {
                        rig_.CardSend({0x06});
                    }
                    break;
                case BlockReader::Got::BadBlock:
                    ++badBlocks;
                    break;
                case BlockReader::Got::Control:
                    if (b == 0x04) {
                        ++eots;
                        if (ackEots) {
                            rig_.CardSend({0x06});
                        }
                    } else {
                        ++others;
                    }
                    break;
                case BlockReader::Got::Nothing:
                    break;
            }
        }
    }
    Bytes Payload() const {
        Bytes out;
        for (const auto& b : blocks) {
            out.insert(out.end(), b.begin(), b.end());
        }
        return out;
    }

    bool ackBlocks = true;
    bool ackEots = true;
    std::vector<uint8_t> numbers;
    std::vector<std::array<uint8_t, 256>> blocks;
    int eots = 0;
    int badBlocks = 0;
    int others = 0;

  private:
    BciRig& rig_;
    BlockReader reader_;
    size_t seen_ = 0;
};

}  // namespace quillon::testing
