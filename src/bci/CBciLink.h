#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "bci/BciObserver.h"
#include "bci/CounterNames.h"
#include "link/CCommPort.h"

namespace quillon {

// The states of the block engine; the values are the ones the log and the
// debug window know.
enum class BciState : int { Idle = 0, RX = 1, TX = 2 };

// The block protocol engine on the link object. Messages travel as numbered
// 256-byte blocks, each acknowledged, ended by an acknowledged EOT. The
// engine is stepped on the 50 ms tick (`ReadPort`, then `Step`); the BCP
// transactions talk to it through the link operations, which only fill and
// drain its block rings and never wait.
//
// Everything the engine needs while it runs lives in the object: it never
// allocates after construction.
class CBciLink : public CCommPort {
  public:
    static constexpr uint8_t kSoh = 0x01;
    static constexpr uint8_t kEot = 0x04;
    static constexpr uint8_t kAck = 0x06;
    static constexpr uint8_t kNak = 0x15;
    static constexpr uint8_t kEsc = 0x1B;

    static constexpr int kBlockSize = 256;
    static constexpr int kSlots = 4;
    static constexpr uint32_t kTicksPerSecond = 20;
    static constexpr int kChunk = 259;  // bytes taken from the receive ring per read
    static constexpr int64_t kReplyTimeoutMs = 15000;
    // Waits of the engine, in seconds of ticks.
    static constexpr uint32_t kCharTimeoutSeconds = 1;  // a block stops mid-way
    static constexpr uint32_t kSohNakSeconds = 5;       // NAK repeated for an awaited block
    static constexpr uint32_t kSohNakQuietTicks = 20;   // ...but not in the wait's first second
    static constexpr uint32_t kSohTimeoutSeconds = 30;  // no block comes at all
    static constexpr uint32_t kAckTimeoutSeconds = 10;  // our block or EOT unanswered
    // Sends of one block beyond the first before the message is given up.
    static constexpr uint32_t kMaxRetries = 3;

    CBciLink(const LinkContext& ctx, int portNumber, int baudRate);

    // Link operations (0 running, 1 done, 2 failed where a result is given).
    int initialise() override;
    int StartExchange() override;
    int FinishMessage() override;
    int WaitReplyEnd() override;
    int ResetBci() override;
    int ReceiveBytes(int count, uint8_t* dest) override;
    int SendBytes(int count, const uint8_t* src) override;
    int Unused() override { return 0; }

    // Drains the serial port into the receive ring (every tick, any mode).
    void ReadPort();
    // One engine step (every tick in binary mode).
    void Step();
    // The two counter lines the transactions write after a reset exchange.
    void LogCounters();

    void SetObserver(BciObserver* observer) { observer_ = observer; }
    BciObserver* Observer() const { return observer_; }

    // Read access for the debug windows and the tests.
    int EngineState() const { return static_cast<int>(engineState_); }
    uint32_t Tick() const { return tick_; }
    uint32_t TimerStart() const { return timerStart_; }
    uint32_t Counter(BciCounter c) const { return counters_[CounterIndex(c)]; }
    uint32_t RxExpected() const { return rxExpected_; }
    uint32_t TxBlockNumber() const { return txBlockNumber_; }
    uint32_t LastBlockNumber() const { return lastBlockNumber_; }
    uint32_t ComputedChecksum() const { return computedChecksum_; }
    uint32_t ReceivedChecksum() const { return receivedChecksum_; }
    uint32_t RetryCount() const { return retryCount_; }
    uint32_t BytesQueued() const { return bytesQueued_; }
    uint32_t BytesRead() const { return bytesRead_; }
    bool NakSent() const { return nakSent_; }
    bool WaitSoh() const { return waitSoh_; }
    bool WaitChar() const { return waitChar_; }
    bool WaitBlockAck() const { return waitBlockAck_; }
    bool WaitEotAck() const { return waitEotAck_; }
    bool ReplyComplete() const { return replyComplete_; }
    // A complete good block waits for room in `rxBlocks` before it is
    // acknowledged.
    bool RxBlockHeld() const { return rxHeld_; }
    // A reply lost its place (a block out of sequence after blocks were
    // accepted); nothing more is accepted until the next reset.
    bool RxMessageBroken() const { return rxBroken_; }
    // Accepted payload bytes not yet taken by `ReceiveBytes`.
    int RxPendingBytes() const;
    // Bytes queued for sending and not yet acknowledged.
    int TxPendingBytes() const;
    int RxWriteSlot() const { return rxWriteSlot_; }
    int RxReadSlot() const { return rxReadSlot_; }
    int RxReadPos() const { return rxReadPos_; }
    int TxWriteSlot() const { return txWriteSlot_; }
    int TxWritePos() const { return txWritePos_; }
    int TxReadSlot() const { return txReadSlot_; }

  private:
    using Block = std::array<uint8_t, kBlockSize>;

    // Escape pairs: (byte, code). A byte of the first column never appears as
    // itself inside a block; it travels as ESC and its code.
    static constexpr std::array<std::array<uint8_t, 2>, 7> kEscapePairs = {{
        {{0x0B, 0x20}},
        {{0x0D, 0x21}},
        {{0x01, 0x22}},
        {{0x04, 0x23}},
        {{0x15, 0x24}},
        {{0x06, 0x25}},
        {{0x1B, 0x26}},
    }};

    // --- engine step -------------------------------------------------------
    void StepIdle();
    void StepRx();
    void StepTx();
    void Enter(BciState s) { engineState_ = s; }
    bool Elapsed(uint32_t seconds) const {
        return (tick_ - timerStart_) / kTicksPerSecond >= seconds;
    }

    // --- receive -----------------------------------------------------------
    // Puts the last `count` bytes taken back into the receive ring so the
    // next read yields them again.
    void UnreadRing(int count);
    // A SOH was found with `bytesAfterSoh` bytes after it in the chunk: they
    // go back to the ring and the parser starts a new block.
    void RestartAtSoh(int bytesAfterSoh);
    // The steps of the RX state, in the order it takes them. Each returns
    // false when the engine step ends there.
    bool ReleaseHeldBlock();
    // Nothing arrived this tick: the character and SOH waits.
    void WaitOnSilentLine();
    // Between blocks: looks for the next SOH (the chunk is re-read from just
    // after it) or for the EOT that ends the message.
    bool FindBlockStart(uint8_t* chunk, int& n);
    // A whole block was parsed: check it and acknowledge, repeat or refuse.
    void OnBlockComplete();
    // Feeds raw line bytes to the block parser; true when they completed a
    // block (the bytes after its checksum are not used).
    bool ParseChunk(const uint8_t* bytes, int n);
    bool RxRingHasRoom() const { return (rxWriteSlot_ + 1) % kSlots != rxReadSlot_; }
    // Acknowledges and accepts the block in the write slot of `rxBlocks`.
    void AcceptBlock();

    // --- transmit ----------------------------------------------------------
    bool TxRingFull() const;
    bool TxHasWholeBlock() const { return txWriteSlot_ != txReadSlot_; }
    // Queues up to `count` bytes; returns how many fitted.
    int Queue(const uint8_t* src, int count);
    bool TxFailed() const;
    bool SendBlock();

    // --- line and reporting ------------------------------------------------
    void SendControl(uint8_t byte);
    void SendNak();
    void Bump(BciCounter c);
    // Reports to the observer when the value changes, or always for the
    // counters that are reported at fixed moments ("Next block number" on
    // every Idle step, for instance).
    void SetCounter(BciCounter c, uint32_t value, bool always = false);
    void LogPayload(const char* format, const Block& block);
    void LogLine(const char* text);
    void BuildTables();

    uint32_t tick_ = 0;
    std::array<std::array<uint8_t, 2>, 7> escapeCodes_ = kEscapePairs;
    uint32_t lastBlockNumber_ = 0;
    uint32_t rxExpected_ = 0;
    std::array<Block, kSlots> rxBlocks_{};
    std::array<Block, kSlots> txBlocks_{};
    int rxWriteSlot_ = 0;
    int rxWritePos_ = 0;
    int rxReadSlot_ = 0;
    int rxReadPos_ = 0;
    int txWriteSlot_ = 0;
    int txWritePos_ = 0;
    int txReadSlot_ = 0;
    int txReadPos_ = 0;
    bool parserRestart_ = false;
    std::array<uint8_t, 256> forward_{};
    std::array<uint8_t, 256> inverse_{};
    uint32_t computedChecksum_ = 0;
    uint32_t receivedChecksum_ = 0;
    bool nakSent_ = false;
    bool waitSoh_ = false;
    bool waitChar_ = false;
    uint32_t txBlockNumber_ = 0;
    uint32_t bytesQueued_ = 0;
    uint32_t bytesRead_ = 0;
    BciObserver* observer_ = nullptr;
    std::array<uint32_t, kBciCounterCount> counters_{};
    BciState loggedState_ = BciState::Idle;
    Block zeros_{};
    bool waitBlockAck_ = false;
    uint32_t retryCount_ = 0;
    bool waitEotAck_ = false;
    bool replyComplete_ = false;

    // Positions of the block parser: the number, the payload after it, the
    // checksum's two bytes.
    static constexpr int kPosNumber = 0;
    static constexpr int kPosChecksumHigh = kBlockSize + 1;

    // Block parser, kept across chunks.
    uint32_t parseSum_ = 0;
    int parsePos_ = 0;
    bool parseEscape_ = false;
    uint8_t parseNumber_ = 0;
    uint8_t parseHigh_ = 0;

    // Where the current reply stands (see the accessors above).
    bool rxHeld_ = false;
    bool rxInMessage_ = false;  // a block of the current message was accepted
    bool rxAnyAccepted_ = false;
    bool rxBroken_ = false;

    // Per-operation progress of the four link operations that span steps.
    bool receiveStarted_ = false;
    int receiveDone_ = 0;
    int64_t receiveDeadline_ = 0;
    bool sendStarted_ = false;
    int sendDone_ = 0;
    bool finishStarted_ = false;
    int finishPadding_ = 0;
    int finishDone_ = 0;
    bool waitEndStarted_ = false;
    int64_t waitEndDeadline_ = 0;

    BciState engineState_ = BciState::Idle;
    uint32_t timerStart_ = 0;

    static constexpr size_t kLogLineCapacity = 128;
    std::string logLine_;
};

}  // namespace quillon
