// Fuzz target: the block engine fed arbitrary line bytes. The first byte
// chooses what the engine is doing while the bytes arrive: nothing (idle),
// sending a message, or waiting for a reply; the second sets the size of
// that message or reply. The rest is the line, one tick at a time: a byte
// h below 0xF0 is followed by h bytes that arrive during that tick, 0xF0 to
// 0xFE keep the line silent for 1 to 15 seconds of ticks, and 0xFF makes
// that tick's read fail. After the input the line stays silent long enough
// for every wait of the engine to expire.
//
// Each tick runs as the application runs it (transaction, ReadPort, Step,
// transaction), and after each one the engine's own positions must be
// within its rings; AddressSanitizer catches any access beyond them.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "bci/CBciLink.h"
#include "core/Clock.h"
#include "core/SerialDevice.h"
#include "link/LinkContext.h"
#include "link/StepResult.h"

using namespace quillon;

namespace {

class TickClock : public Clock {
  public:
    uint32_t TickCountMs() override { return static_cast<uint32_t>(ms); }
    int64_t ProcessClockMs() override { return ms; }
    void SleepMs(uint32_t d) override { ms += d; }
    int64_t ms = 0;
};

// The line as the engine reads it: what the current tick delivers, handed
// out in reads of whatever size the engine asks for.
class FuzzLine : public SerialDevice {
  public:
    bool Open(const std::string&) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    int Read(uint8_t* dest, int max) override {
        FUZZ_REQUIRE(max > 0 && max <= 1024);
        if (failRead) {
            failRead = false;
            return -1;
        }
        const size_t n = std::min(static_cast<size_t>(max), pending.size() - taken);
        std::copy_n(pending.begin() + static_cast<std::ptrdiff_t>(taken), n, dest);
        taken += n;
        return static_cast<int>(n);
    }
    int Write(const uint8_t*, int count) override {
        FUZZ_REQUIRE(count > 0);
        writtenThisTick += static_cast<size_t>(count);
        return count;
    }
    void PurgeReceive() override {
        pending.clear();
        taken = 0;
    }
    void Close() override { open_ = false; }
    uint32_t LastError() const override { return 5; }  // only asked after a failed read

    std::vector<uint8_t> pending;
    size_t taken = 0;
    bool failRead = false;
    size_t writtenThisTick = 0;

  private:
    bool open_ = false;
};

class OneLine : public SerialDeviceFactory {
  public:
    std::unique_ptr<SerialDevice> Create() override {
        auto d = std::make_unique<FuzzLine>();
        line = d.get();
        return d;
    }
    FuzzLine* line = nullptr;
};

void CheckInvariants(const CBciLink& link) {
    constexpr int kSlots = CBciLink::kSlots;
    constexpr int kBlock = CBciLink::kBlockSize;
    FUZZ_REQUIRE(link.EngineState() >= 0 && link.EngineState() <= 2);
    for (int slot :
         {link.RxWriteSlot(), link.RxReadSlot(), link.TxWriteSlot(), link.TxReadSlot()}) {
        FUZZ_REQUIRE(slot >= 0 && slot < kSlots);
    }
    FUZZ_REQUIRE(link.RxReadPos() >= 0 && link.RxReadPos() < kBlock);
    FUZZ_REQUIRE(link.TxWritePos() >= 0 && link.TxWritePos() < kBlock);
    FUZZ_REQUIRE(link.RxPendingBytes() >= 0 && link.RxPendingBytes() <= kSlots * kBlock);
    FUZZ_REQUIRE(link.TxPendingBytes() >= 0 && link.TxPendingBytes() <= kSlots * kBlock);
    FUZZ_REQUIRE(link.RingReadRow() >= 0 && link.RingReadRow() < CCommPort::kRingRows);
    FUZZ_REQUIRE(link.RingWriteRow() >= 0 && link.RingWriteRow() < CCommPort::kRingRows);
    FUZZ_REQUIRE(link.RingReadColumn() >= 0 && link.RingReadColumn() < CCommPort::kRingCols);
    FUZZ_REQUIRE(link.RingWriteColumn() >= 0 && link.RingWriteColumn() < CCommPort::kRingCols);
    FUZZ_REQUIRE(link.RingFree() >= 0 &&
                 link.RingFree() <= CCommPort::kRingRows * CCommPort::kRingCols);
    FUZZ_REQUIRE(link.RetryCount() <= CBciLink::kMaxRetries + 1);
}

enum class Role { Idle, Send, Receive };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 16384) {
        return 0;
    }
    const Role role = static_cast<Role>(data[0] % 3);
    const size_t length = (static_cast<size_t>(data[1]) + 1) * 8;  // 8 to 2048 bytes
    size_t at = 2;

    TickClock clock;
    OneLine devices;
    LinkContext ctx;
    ctx.devices = &devices;
    ctx.clock = &clock;
    CBciLink link(ctx, 1, 9600);
    FUZZ_REQUIRE(link.initialise() == 1 && devices.line != nullptr);
    FuzzLine& line = *devices.line;

    // The transaction's side: queue a message and finish it, or read a
    // reply of `length` bytes and wait for its end.
    std::vector<uint8_t> message(length);
    for (size_t i = 0; i < length; ++i) {
        message[i] = static_cast<uint8_t>(i * 7 + 1);  // every byte value, escapes included
    }
    std::vector<uint8_t> got(length);
    int sendResult = 0;
    int result = 0;
    int received = 0;
    auto transaction = [&] {
        if (role == Role::Idle || result != 0) {
            return;
        }
        int r = stepresult::kRunning;
        if (role == Role::Send) {
            if (sendResult != stepresult::kDone) {
                sendResult = link.SendBytes(static_cast<int>(length), message.data());
                r = sendResult == stepresult::kFailed ? sendResult : stepresult::kRunning;
            }
            if (sendResult == stepresult::kDone) {
                r = link.FinishMessage();
            }
        } else {
            while (received < static_cast<int>(length) && r == stepresult::kRunning) {
                const int want = std::min(256, static_cast<int>(length) - received);
                r = link.ReceiveBytes(want, got.data() + received);
                if (r == stepresult::kDone) {
                    received += want;
                    r = stepresult::kRunning;
                } else {
                    break;
                }
            }
            if (received == static_cast<int>(length)) {
                r = link.WaitReplyEnd();
            }
        }
        FUZZ_REQUIRE(r >= stepresult::kRunning && r <= stepresult::kFailed);
        result = r;
    };

    auto tick = [&] {
        clock.ms += 50;
        line.writtenThisTick = 0;
        transaction();
        link.ReadPort();
        link.Step();
        transaction();
        CheckInvariants(link);
        // One tick sends at most a whole ring of blocks, each escaped
        // byte doubled, and its control bytes.
        FUZZ_REQUIRE(line.writtenThisTick <=
                     CBciLink::kSlots * (2 * (CBciLink::kBlockSize + 3) + 4));
    };

    while (at < size) {
        const uint8_t h = data[at++];
        int ticks = 1;
        if (h == 0xFF) {
            line.failRead = true;
        } else if (h >= 0xF0) {
            ticks = (h - 0xEF) * static_cast<int>(CBciLink::kTicksPerSecond);
        } else {
            const size_t n = std::min<size_t>(h, size - at);
            line.pending.insert(line.pending.end(), data + at, data + at + n);
            at += n;
        }
        for (int i = 0; i < ticks; ++i) {
            tick();
            // What the engine left unread stays on the line for the next tick.
            line.pending.erase(line.pending.begin(),
                               line.pending.begin() + static_cast<std::ptrdiff_t>(line.taken));
            line.taken = 0;
        }
    }
    // Silence until every wait has expired: the longest is the wait for a
    // block that never comes, and a transaction's reply wait after it.
    const int64_t end = clock.ms + 1000 * (CBciLink::kSohTimeoutSeconds + 20);
    while (clock.ms < end) {
        tick();
    }
    if (role != Role::Idle) {
        // Every link operation ends, one way or the other, once the line
        // has been silent past its time-outs.
        FUZZ_REQUIRE(result != stepresult::kRunning);
    }
    return 0;
}
