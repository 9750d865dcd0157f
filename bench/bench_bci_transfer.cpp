// How close the block engine comes to the line rate: a 154-block message (the
// largest channel table) is moved each way at 9600 baud on the virtual clock
// between the engine and the simulated card, and its time is set against the
// floor, the bytes that went on the line for it divided by 960 bytes/s.
//
// The engine is stop-and-wait on a 50 ms tick, so the floor counts the bytes
// of both directions during the message: blocks one way, ACKs the other.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "ChannelStreams.h"
#include "bci/CBciLink.h"
#include "sim/CardRig.h"
#include "sim/MemoryLog.h"
#include "sim/SimPorts.h"
#include "sim/VirtualClock.h"

// Every allocation of this program is counted, so the benchmark can show
// that the engine itself allocates nothing while it moves a message.
namespace {
std::atomic<uint64_t> gAllocations{0};
}
void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n != 0 ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace quillon;
using Bytes = std::vector<uint8_t>;
using testing::RandomTable;
using testing::Stream;
using testing::WithHeaders;

constexpr uint64_t kTickNs = 50 * sim::VirtualClock::kNsPerMs;
constexpr int kChannels = testing::kStreamChannels;
constexpr size_t kBlocks = 154;
constexpr double kBytesPerSecond = 960.0;

struct World {
    explicit World(sim::CardContent content) : card(clock, Options(), std::move(content)) {
        ports.Attach("COM1", card.Host());
        ctx.devices = &ports;
        ctx.clock = &clock;
        ctx.log = &log;
        link = std::make_unique<CBciLink>(ctx, 1, 9600);
        link->initialise();
    }
    static sim::SimOptions Options() {
        sim::SimOptions o;
        o.card.startBinary = true;
        return o;
    }
    // One tick as the application delivers it: the transaction, the port
    // drain and the engine step, then the message that follows the tick.
    void Tick(const std::function<void()>& transaction) {
        clock.AdvanceBy(kTickNs);
        transaction();
        link->ReadPort();
        link->Step();
        transaction();
    }
    uint64_t LineBytes() { return card.Host().BytesWritten() + card.Line().Card().BytesWritten(); }

    sim::VirtualClock clock;
    sim::CardRig card;
    sim::SimPorts ports;
    sim::MemoryLog log;
    LinkContext ctx;
    std::unique_ptr<CBciLink> link;
};

struct Figure {
    bool ok = false;
    double seconds = 0;  // virtual time of the message
    uint64_t bytes = 0;  // bytes on the line meanwhile, both directions
    uint64_t ticks = 0;
};

// Card to programmer: the reply to "get channels", from the first byte of its
// first block to our ACK of its EOT reaching the card.
Figure Receive(uint32_t seed) {
    const auto table = RandomTable(seed);
    sim::CardContent content = sim::CardContent::Factory();
    content.channels = table;
    World w(content);

    const Bytes request{0x00, 0x05};
    uint64_t startNs = 0;
    uint64_t startBytes = 0;
    bool requestDone = false;
    w.card.Line().SetFilter(sim::SimLine::Dir::CardToHost, [&](uint8_t b) {
        if (requestDone && startNs == 0 && b == CBciLink::kSoh) {
            startNs = w.clock.NowNs();
            startBytes = w.LineBytes();
        }
        return sim::FilterResult{};
    });

    int phase = 0;
    Bytes got;
    std::array<uint8_t, 256> buf{};
    Figure f;
    uint64_t endNs = 0;
    uint64_t endBytes = 0;
    auto transaction = [&] {
        if (phase == 0) {
            w.link->StartExchange();
            phase = 1;
        }
        if (phase == 1 && w.link->SendBytes(2, request.data()) == 1) {
            phase = 2;
        }
        if (phase == 2 && w.link->FinishMessage() == 1) {
            requestDone = true;
            phase = 3;
        }
        while (phase == 3 && got.size() < kBlocks * 256 &&
               w.link->ReceiveBytes(256, buf.data()) == 1) {
            got.insert(got.end(), buf.begin(), buf.end());
        }
        if (phase == 3 && got.size() == kBlocks * 256 && w.link->WaitReplyEnd() == 1) {
            phase = 4;
        }
    };
    for (int i = 0; i < 20 * 600 && phase != 4; ++i) {
        const uint32_t eots = w.link->Counter(BciCounter::EotsReceived);
        w.Tick(transaction);
        f.ticks += startNs != 0 && endNs == 0 ? 1 : 0;
        if (eots == 0 && w.link->Counter(BciCounter::EotsReceived) == 1) {
            // The ACK of the EOT was written in this step.
            endNs = w.clock.NowNs() + w.card.Line().ByteTimeNs();
            endBytes = w.LineBytes();
        }
    }
    Bytes expected = WithHeaders(0x80, 0x05, Stream(table), false);
    expected.resize(kBlocks * 256, 0);
    f.ok = phase == 4 && got == expected && w.link->Counter(BciCounter::AcceptedBlocks) == kBlocks;
    f.seconds = static_cast<double>(endNs - startNs) / 1e9;
    f.bytes = endBytes - startBytes;
    return f;
}

// Programmer to card: the 154-block data message of a table send, from its
// first block to the step that takes the ACK of its EOT.
Figure Send(uint32_t seed) {
    const auto table = RandomTable(seed);
    World w(sim::CardContent::Factory());
    const Bytes count{0x00, 0x04, 0x05, 0x12};
    const Bytes data = WithHeaders(0x00, 0x04, Stream(table), false);

    int phase = 0;
    Figure f;
    uint64_t startNs = 0;
    uint64_t startBytes = 0;
    auto transaction = [&] {
        if (phase == 0) {
            w.link->StartExchange();
            phase = 1;
        }
        if (phase == 1 && w.link->SendBytes(4, count.data()) == 1) {
            phase = 2;
        }
        if (phase == 2 && w.link->FinishMessage() == 1) {
            phase = 3;
        }
        if (phase == 3 && w.link->SendBytes(static_cast<int>(data.size()), data.data()) == 1) {
            phase = 4;
        }
        if (phase == 4 && w.link->FinishMessage() == 1) {
            phase = 5;
        }
    };
    w.card.Line().SetFilter(sim::SimLine::Dir::HostToCard, [&](uint8_t b) {
        if (phase >= 3 && startNs == 0 && b == CBciLink::kSoh) {
            startNs = w.clock.NowNs();
            startBytes = w.LineBytes();
        }
        return sim::FilterResult{};
    });
    for (int i = 0; i < 20 * 600 && phase != 5; ++i) {
        w.Tick(transaction);
        f.ticks += startNs != 0 ? 1 : 0;
    }
    f.ok = phase == 5 && w.card.Card().Content().channels == table;
    f.seconds = static_cast<double>(w.clock.NowNs() - startNs) / 1e9;
    f.bytes = w.LineBytes() - startBytes;
    return f;
}

void Report(const char* what, const std::vector<Figure>& runs, double wallMs) {
    double worst = 0;
    double sum = 0;
    for (const Figure& f : runs) {
        const double floor = static_cast<double>(f.bytes) / kBytesPerSecond;
        const double ratio = f.seconds / floor;
        std::printf("  %-22s %s  %7.2f s  %6llu bytes  floor %7.2f s  ratio %.3f\n", what,
                    f.ok ? "ok  " : "FAIL", f.seconds, static_cast<unsigned long long>(f.bytes),
                    floor, ratio);
        worst = ratio > worst ? ratio : worst;
        sum += ratio;
    }
    std::printf(
        "%-24s mean ratio %.3f, worst %.3f; wall time %.1f us per block (engine, card and line)\n",
        what, sum / static_cast<double>(runs.size()), worst,
        wallMs * 1000.0 / (static_cast<double>(runs.size()) * kBlocks));
}

// A line whose far end is a card reduced to the bare protocol, in fixed
// buffers: nothing in it allocates, so whatever allocates during a transfer
// is the engine. At most 48 bytes reach the engine per tick, as at 9600 baud.
class LoopDevice : public SerialDevice {
  public:
    // Card to programmer: `wire` holds the encoded blocks, `starts` where
    // each begins (and one past the last).
    LoopDevice(const Bytes* wire, const std::vector<size_t>* starts)
        : wire_(wire), starts_(starts) {}
    bool Open(const std::string&) override { return true; }
    bool IsOpen() const override { return true; }
    void Close() override {}
    void PurgeReceive() override { rxHead_ = rxTail_; }
    uint32_t LastError() const override { return 0; }

    void NewTick() { budget_ = 48; }
    bool Done() const { return done_; }

    int Read(uint8_t* dest, int max) override {
        int n = 0;
        while (n < max && budget_ > 0) {
            if (rxHead_ != rxTail_) {
                dest[n++] = rx_[rxTail_++ % rx_.size()];
            } else if (wire_ != nullptr && sending_ && pos_ < end_) {
                dest[n++] = (*wire_)[pos_++];
            } else {
                break;
            }
            --budget_;
        }
        return n;
    }
    int Write(const uint8_t* src, int count) override {
        for (int i = 0; i < count; ++i) {
            Take(src[i]);
        }
        return count;
    }

  private:
    void Queue(uint8_t b) { rx_[rxHead_++ % rx_.size()] = b; }
    // The card as a receiver: a block is complete after 259 unescaped bytes.
    void Take(uint8_t b) {
        if (wire_ != nullptr) {
            Answer(b);
            return;
        }
        if (inBlock_) {
            if (b == CBciLink::kEsc && !escape_) {
                escape_ = true;
                return;
            }
            escape_ = false;
            if (++count_ == 259) {
                inBlock_ = false;
                Queue(CBciLink::kAck);
            }
        } else if (b == CBciLink::kSoh) {
            inBlock_ = true;
            count_ = 0;
        } else if (b == CBciLink::kEot) {
            Queue(CBciLink::kAck);
            done_ = true;
        }
    }
    // The card as a sender: the first NAK starts block 0, each ACK the next
    // block, the EOT after the last; the ACK of the EOT ends it.
    void Answer(uint8_t b) {
        const size_t blocks = starts_->size() - 1;
        if (b == CBciLink::kNak && !sending_ && next_ == 0) {
            Start(0);
        } else if (b == CBciLink::kAck && sending_ && pos_ == end_) {
            if (next_ < blocks) {
                Start(next_);
            } else if (!eotSent_) {
                Queue(CBciLink::kEot);
                eotSent_ = true;
            } else {
                done_ = true;
            }
        }
    }
    void Start(size_t block) {
        sending_ = true;
        pos_ = (*starts_)[block];
        end_ = (*starts_)[block + 1];
        next_ = block + 1;
    }

    std::array<uint8_t, 1024> rx_{};
    size_t rxHead_ = 0;
    size_t rxTail_ = 0;
    int budget_ = 0;
    const Bytes* wire_;
    const std::vector<size_t>* starts_;
    bool sending_ = false;
    size_t pos_ = 0;
    size_t end_ = 0;
    size_t next_ = 0;
    bool eotSent_ = false;
    bool inBlock_ = false;
    bool escape_ = false;
    int count_ = 0;
    bool done_ = false;
};

class LoopFactory : public SerialDeviceFactory {
  public:
    LoopFactory(const Bytes* wire, const std::vector<size_t>* starts)
        : wire_(wire), starts_(starts) {}
    std::unique_ptr<SerialDevice> Create() override {
        auto d = std::make_unique<LoopDevice>(wire_, starts_);
        device = d.get();
        return d;
    }
    LoopDevice* device = nullptr;

  private:
    const Bytes* wire_;
    const std::vector<size_t>* starts_;
};

// Moves a 154-block message through the engine in each direction and counts
// the allocations made meanwhile.
uint64_t EngineAllocations() {
    const Bytes message = WithHeaders(0x00, 0x04, Stream(RandomTable(3)), false);
    Bytes wire;
    std::vector<size_t> starts;
    for (size_t b = 0; b * 256 < message.size(); ++b) {
        starts.push_back(wire.size());
        sim::cardbci::Payload payload{};
        for (size_t i = 0; i < 256 && b * 256 + i < message.size(); ++i) {
            payload[i] = message[b * 256 + i];
        }
        const auto block = sim::cardbci::EncodeBlock(static_cast<uint8_t>(b), payload);
        wire.insert(wire.end(), block.begin(), block.end());
    }
    starts.push_back(wire.size());

    uint64_t total = 0;
    for (const bool toCard : {true, false}) {
        sim::VirtualClock clock;
        LoopFactory factory(toCard ? nullptr : &wire, toCard ? nullptr : &starts);
        LinkContext ctx;
        ctx.devices = &factory;
        ctx.clock = &clock;
        CBciLink link(ctx, 1, 9600);
        link.initialise();
        std::array<uint8_t, 256> buf{};
        size_t received = 0;
        int phase = 0;
        const uint64_t before = gAllocations.load();
        for (int tick = 0; tick < 20 * 600 && !(factory.device->Done() && phase == 2); ++tick) {
            clock.AdvanceBy(kTickNs);
            factory.device->NewTick();
            if (toCard) {
                if (phase == 0 &&
                    link.SendBytes(static_cast<int>(message.size()), message.data()) == 1) {
                    phase = 1;
                }
                if (phase == 1 && link.FinishMessage() == 1) {
                    phase = 2;
                }
            } else {
                while (received < kBlocks * 256 && link.ReceiveBytes(256, buf.data()) == 1) {
                    received += 256;
                }
                if (received == kBlocks * 256 && link.WaitReplyEnd() == 1) {
                    phase = 2;
                }
            }
            link.ReadPort();
            link.Step();
        }
        total += gAllocations.load() - before;
        const bool moved = toCard
                               ? link.Counter(BciCounter::SuccessfullySent) == kBlocks && phase == 2
                               : link.Counter(BciCounter::AcceptedBlocks) == kBlocks && phase == 2;
        if (!moved) {
            std::printf("allocation run %s did not complete\n", toCard ? "to card" : "from card");
            return UINT64_MAX;
        }
    }
    return total;
}

}  // namespace

int main() {
    constexpr int kRuns = 5;
    std::printf("154-block message at 9600 baud, virtual clock, 50 ms tick\n");
    bool ok = true;
    for (const bool toCard : {true, false}) {
        std::vector<Figure> runs;
        const auto t0 = std::chrono::steady_clock::now();
        for (uint32_t seed = 1; seed <= kRuns; ++seed) {
            runs.push_back(toCard ? Send(seed) : Receive(seed));
            ok = ok && runs.back().ok;
        }
        const double wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        Report(toCard ? "programmer -> card" : "card -> programmer", runs, wallMs);
    }
    const uint64_t allocations = EngineAllocations();
    std::printf("allocations by the engine while moving the message each way: %llu\n",
                static_cast<unsigned long long>(allocations));
    return ok && allocations == 0 ? 0 : 1;
}
