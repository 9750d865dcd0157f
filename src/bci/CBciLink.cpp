#include "bci/CBciLink.h"

#include <cstdio>
#include <string>

#include "bci/Messages.h"
#include "link/StepResult.h"

namespace quillon {

namespace {

const char* StateName(BciState s) {
    switch (s) {
        case BciState::Idle:
            return bcimsg::kStateIdle;
        case BciState::RX:
            return bcimsg::kStateRx;
        case BciState::TX:
            return bcimsg::kStateTx;
    }
    return bcimsg::kStateIdle;
}

// A line that never stops delivering must not hold one tick in the drain for
// ever; whatever is left waits in the driver for the next tick.
constexpr int kMaxReadsPerTick = 64;

}  // namespace

CBciLink::CBciLink(const LinkContext& ctx, int portNumber, int baudRate)
    : CCommPort(ctx, portNumber, baudRate) {
    logLine_.reserve(kLogLineCapacity);
    // The tables are fixed; built here as well, an engine that is stepped
    // before `initialise` still escapes what it sends.
    BuildTables();
}

void CBciLink::BuildTables() {
    forward_.fill(0);
    inverse_.fill(0);
    for (const auto& pair : escapeCodes_) {
        forward_[pair[0]] = pair[1];
        inverse_[pair[1]] = pair[0];
    }
}

void CBciLink::LogLine(const char* text) {
    // Assigned into storage reserved up front, so a log line costs no
    // allocation while the engine runs.
    logLine_.assign(text);
    Log().Write(logLine_);
}

int CBciLink::initialise() {
    if (IsOpen() == 0) {
        return 0;
    }
    BuildTables();
    zeros_.fill(0);
    ResetBci();
    return 1;
}

int CBciLink::StartExchange() {
    ResetBci();
    return 0;
}

int CBciLink::ResetBci() {
    char line[64];
    std::snprintf(line, sizeof line, "%s%lu%s", bcimsg::kResetPrefix,
                  static_cast<unsigned long>(counters_[CounterIndex(BciCounter::EotsReceived)]),
                  bcimsg::kResetSuffix);
    LogLine(line);
    tick_ = 0;
    SetLastWriteError(0);
    txBlockNumber_ = 0;
    rxExpected_ = 0;
    rxWriteSlot_ = rxWritePos_ = rxReadSlot_ = rxReadPos_ = 0;
    txWriteSlot_ = txWritePos_ = txReadSlot_ = txReadPos_ = 0;
    ClearRing();
    for (size_t i = 0; i < kBciCounterCount; ++i) {
        if (static_cast<BciCounter>(i) != BciCounter::LastBlockSent) {
            SetCounter(static_cast<BciCounter>(i), 0);
        }
    }
    loggedState_ = BciState::Idle;
    waitSoh_ = waitChar_ = nakSent_ = false;
    waitBlockAck_ = waitEotAck_ = false;
    retryCount_ = 0;
    replyComplete_ = false;
    bytesQueued_ = bytesRead_ = 0;
    receiveStarted_ = sendStarted_ = finishStarted_ = waitEndStarted_ = false;
    // A new exchange starts with a clean slate for its reply as well.
    rxHeld_ = rxInMessage_ = rxAnyAccepted_ = rxBroken_ = false;
    return 0;
}

void CBciLink::LogCounters() {
    char line[64];
    std::snprintf(line, sizeof line, bcimsg::kAcceptedCount,
                  static_cast<unsigned long>(Counter(BciCounter::AcceptedBlocks)));
    LogLine(line);
    std::snprintf(line, sizeof line, bcimsg::kEotCount,
                  static_cast<unsigned long>(Counter(BciCounter::EotsReceived)));
    LogLine(line);
}

// --- line and reporting -------------------------------------------------------

void CBciLink::SendControl(uint8_t byte) {
    WriteBytes(&byte, 1);
}

void CBciLink::SendNak() {
    SendControl(kNak);
    nakSent_ = true;
    Bump(BciCounter::WaitingNaks);
}

void CBciLink::Bump(BciCounter c) {
    SetCounter(c, counters_[CounterIndex(c)] + 1);
}

void CBciLink::SetCounter(BciCounter c, uint32_t value, bool always) {
    uint32_t& slot = counters_[CounterIndex(c)];
    const bool changed = slot != value;
    slot = value;
    if (observer_ != nullptr && (changed || always)) {
        observer_->BciCounterChanged(c, value);
    }
}

void CBciLink::LogPayload(const char* format, const Block& block) {
    char line[96];
    std::snprintf(line, sizeof line, format, static_cast<unsigned>(block[0]),
                  static_cast<unsigned>(block[1]), static_cast<unsigned>(block[2]));
    LogLine(line);
}

// --- the tick -------------------------------------------------------------------

void CBciLink::ReadPort() {
    SerialDevice* dev = Handle();
    if (dev == nullptr) {
        return;
    }
    uint8_t buf[256];
    bool failed = false;
    for (int i = 0; i < kMaxReadsPerTick; ++i) {
        // Only what the ring can hold is taken: a stalled engine leaves the
        // rest waiting in the device for the next tick instead of losing it.
        const int room = RingFree();
        if (room == 0) {
            break;
        }
        const int want = room < static_cast<int>(sizeof buf) ? room : static_cast<int>(sizeof buf);
        const int n = dev->Read(buf, want);
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0) {
            break;
        }
        RingPut(n > want ? want : n, buf);
    }
    // Only a read that failed has an error worth logging: an old error code
    // would otherwise be logged again on every tick.
    if (failed && dev->LastError() != 0) {
        char line[48];
        std::snprintf(line, sizeof line, bcimsg::kCommError, static_cast<int>(dev->LastError()));
        LogLine(line);
    }
}

void CBciLink::Step() {
    ++tick_;
    if (engineState_ != loggedState_) {
        loggedState_ = engineState_;
        const char* name = StateName(engineState_);
        if (observer_ != nullptr) {
            observer_->BciStateChanged(name);
        }
        char line[48];
        std::snprintf(line, sizeof line, "%s%s", bcimsg::kStateChange, name);
        LogLine(line);
    }
    switch (engineState_) {
        case BciState::Idle:
            StepIdle();
            break;
        case BciState::RX:
            StepRx();
            break;
        case BciState::TX:
            StepTx();
            break;
    }
}

void CBciLink::StepIdle() {
    rxExpected_ = 0;
    txBlockNumber_ = 0;
    rxInMessage_ = false;
    if (SendBlock()) {
        Enter(BciState::TX);
        waitBlockAck_ = true;
        timerStart_ = tick_;
        // Whatever the card said before our request belongs to nothing.
        ClearRing();
        if (Handle() != nullptr) {
            Handle()->PurgeReceive();
        }
        return;
    }
    SetCounter(BciCounter::NextBlockNumber, 0, true);
    // A receiver with nothing to send offers a NAK once a second.
    if (tick_ % kTicksPerSecond == 0 || !nakSent_) {
        SendNak();
    }
    uint8_t chunk[kChunk];
    const int n = RingGet(kChunk, chunk);
    for (int i = 0; i < n; ++i) {
        if (chunk[i] == kSoh) {
            Enter(BciState::RX);
            RestartAtSoh(n - i - 1);
            StepRx();
            return;
        }
    }
}

// --- receive machine ------------------------------------------------------------

void CBciLink::UnreadRing(int count) {
    StepPosition(-count, ringReadRow_, ringReadCol_, kRingCols, kRingRows);
}

void CBciLink::RestartAtSoh(int bytesAfterSoh) {
    UnreadRing(bytesAfterSoh);
    parserRestart_ = true;
    Bump(BciCounter::SohsReceived);
    waitChar_ = waitSoh_ = false;
}

void CBciLink::StepRx() {
    if (!ReleaseHeldBlock()) {
        return;
    }
    uint8_t chunk[kChunk];
    int n = RingGet(kChunk, chunk);
    if (n == 0) {
        WaitOnSilentLine();
        return;
    }
    waitChar_ = false;
    if (!FindBlockStart(chunk, n)) {
        return;
    }
    if (!ParseChunk(chunk, n)) {
        return;
    }
    OnBlockComplete();
}

bool CBciLink::ReleaseHeldBlock() {
    if (!rxHeld_) {
        return true;
    }
    if (!RxRingHasRoom()) {
        // The sender keeps waiting for our ACK; anything it repeats
        // meanwhile is the block we already hold.
        uint8_t chunk[kChunk];
        while (RingGet(kChunk, chunk) > 0) {
        }
        return false;
    }
    rxHeld_ = false;
    AcceptBlock();
    return true;
}

void CBciLink::WaitOnSilentLine() {
    if (waitSoh_) {
        if (Elapsed(kSohTimeoutSeconds)) {
            Enter(BciState::Idle);
            waitChar_ = waitSoh_ = false;
            Bump(BciCounter::SohTimeouts);
            return;
        }
        // While a block is awaited, a NAK every 5 s asks for it (again);
        // not in the first second of the wait, though: right after our ACK
        // the next block is on its way, and a NAK crossing it on a slow
        // line makes the card send it twice and take our ACK of the copy
        // for an ACK of the block after it.
        const bool waitedLongEnough = tick_ - timerStart_ >= kSohNakQuietTicks;
        if ((tick_ % (kSohNakSeconds * kTicksPerSecond) == 0 && waitedLongEnough) || !nakSent_) {
            SendNak();
        }
    }
    if (waitChar_ && Elapsed(kCharTimeoutSeconds)) {
        waitChar_ = false;
        timerStart_ = tick_;
        waitSoh_ = true;
        Bump(BciCounter::CharTimeouts);
        return;
    }
    if (!waitSoh_ && !waitChar_) {
        timerStart_ = tick_;
        waitChar_ = true;
    }
}

bool CBciLink::FindBlockStart(uint8_t* chunk, int& n) {
    if (!waitSoh_) {
        return true;  // inside a block: the chunk continues it
    }
    for (int i = 0; i < n; ++i) {
        if (chunk[i] == kSoh) {
            RestartAtSoh(n - i - 1);
            n = RingGet(kChunk, chunk);
            return true;
        }
    }
    for (int i = 0; i < n; ++i) {
        if (chunk[i] == kEot) {
            SendControl(kAck);
            Bump(BciCounter::EotsReceived);
            LogLine(bcimsg::kEotReceived);
            waitChar_ = waitSoh_ = false;
            Enter(BciState::Idle);
            // The message is over: what shared the chunk with its EOT is
            // not the start of a block and must not reach the parser.
            return false;
        }
    }
    return false;
}

void CBciLink::OnBlockComplete() {
    waitChar_ = waitSoh_ = false;
    if (computedChecksum_ != receivedChecksum_) {
        // No NAK at once: the NAK of the SOH wait asks for the block again.
        Bump(BciCounter::ChecksumFails);
        waitSoh_ = true;
        timerStart_ = tick_;
        return;
    }
    SetCounter(BciCounter::LastReceivedBlockNumber, lastBlockNumber_, true);
    const uint32_t previous = (rxExpected_ + 255u) & 0xFFu;
    if (!rxBroken_ && lastBlockNumber_ == rxExpected_) {
        if (!RxRingHasRoom()) {
            // Every slot holds data the reader has not taken. Keep the block
            // and acknowledge it once there is room, so nothing accepted is
            // overwritten and the sender simply waits.
            rxHeld_ = true;
            return;
        }
        AcceptBlock();
    } else if (!rxBroken_ && rxInMessage_ && lastBlockNumber_ == previous) {
        // The sender lost our ACK and sent the block again: acknowledge it,
        // but its payload is already with the reader.
        SendControl(kAck);
        Bump(BciCounter::AcksSent);
        waitSoh_ = true;
        timerStart_ = tick_;
    } else {
        Enter(BciState::Idle);
        waitChar_ = waitSoh_ = false;
        Bump(BciCounter::IncorrectBlockNumbers);
        // A block out of sequence after part of the reply was accepted means
        // a block went missing. Restarting from block 0 would splice two
        // pieces of data together, so the rest of this reply is refused and
        // the reader's time-out reports the failure.
        if (rxAnyAccepted_) {
            rxBroken_ = true;
        }
    }
}

void CBciLink::AcceptBlock() {
    SendControl(kAck);
    LogPayload(bcimsg::kBlockRxed, rxBlocks_[static_cast<size_t>(rxWriteSlot_)]);
    Bump(BciCounter::AcksSent);
    rxWriteSlot_ = (rxWriteSlot_ + 1) % kSlots;
    rxWritePos_ = 0;
    rxExpected_ = (rxExpected_ + 1) & 0xFFu;
    rxInMessage_ = rxAnyAccepted_ = true;
    SetCounter(BciCounter::NextBlockNumber, rxExpected_, true);
    Bump(BciCounter::AcceptedBlocks);
    waitSoh_ = true;
    timerStart_ = tick_;
}

bool CBciLink::ParseChunk(const uint8_t* bytes, int n) {
    if (parserRestart_) {
        parserRestart_ = false;
        parseSum_ = 0;
        parsePos_ = 0;
        // An escape left pending by a block that was cut off belongs to that
        // block; carried over it would change the number of the next one.
        parseEscape_ = false;
    }
    Block& slot = rxBlocks_[static_cast<size_t>(rxWriteSlot_)];
    for (int i = 0; i < n; ++i) {
        uint8_t b = bytes[i];
        if (parsePos_ < kPosChecksumHigh) {
            parseSum_ += b;
        }
        if (parseEscape_) {
            b = inverse_[b];
            parseEscape_ = false;
        } else if (b == kEsc) {
            parseEscape_ = true;
            continue;
        }
        if (parsePos_ == kPosNumber) {
            parseNumber_ = b;
        } else if (parsePos_ <= kBlockSize) {
            slot[static_cast<size_t>(parsePos_ - 1)] = b;
        } else if (parsePos_ == kPosChecksumHigh) {
            parseHigh_ = b;
        } else {
            computedChecksum_ = parseSum_;
            parseSum_ = 0;
            lastBlockNumber_ = parseNumber_;
            receivedChecksum_ = static_cast<uint32_t>(parseHigh_) * 256u + b;
            parsePos_ = 0;
            Bump(BciCounter::ReceivedBlocks);
            return true;
        }
        ++parsePos_;
    }
    return false;
}

int CBciLink::RxPendingBytes() const {
    const int blocks = (rxWriteSlot_ - rxReadSlot_ + kSlots) % kSlots;
    return blocks * kBlockSize - rxReadPos_;
}

int CBciLink::ReceiveBytes(int count, uint8_t* dest) {
    if (count < 0 || (count > 0 && dest == nullptr)) {
        return stepresult::kFailed;
    }
    Clock* clock = Context().clock;
    const int64_t now = clock != nullptr ? clock->ProcessClockMs() : 0;
    if (!receiveStarted_) {
        receiveDeadline_ = now + kReplyTimeoutMs;
        receiveDone_ = 0;
        bytesRead_ = 0;
        receiveStarted_ = true;
    }
    int copied = 0;
    while (receiveDone_ < count && !(rxReadSlot_ == rxWriteSlot_ && rxReadPos_ == rxWritePos_)) {
        dest[receiveDone_++] =
            rxBlocks_[static_cast<size_t>(rxReadSlot_)][static_cast<size_t>(rxReadPos_)];
        ++copied;
        if (++rxReadPos_ >= kBlockSize) {
            rxReadPos_ = 0;
            rxReadSlot_ = (rxReadSlot_ + 1) % kSlots;
        }
    }
    bytesRead_ += static_cast<uint32_t>(copied);
    if (copied > 0) {
        receiveDeadline_ = now + kReplyTimeoutMs;
    }
    if (receiveDone_ == count) {
        receiveStarted_ = false;
        replyComplete_ = true;
        return stepresult::kDone;
    }
    if (now > receiveDeadline_) {
        receiveStarted_ = false;
        return stepresult::kFailed;
    }
    return stepresult::kRunning;
}

int CBciLink::WaitReplyEnd() {
    Clock* clock = Context().clock;
    const int64_t now = clock != nullptr ? clock->ProcessClockMs() : 0;
    if (!waitEndStarted_) {
        waitEndDeadline_ = now + kReplyTimeoutMs;
        waitEndStarted_ = true;
    }
    if (replyComplete_ && Counter(BciCounter::EotsReceived) > 0) {
        waitEndStarted_ = false;
        return stepresult::kDone;
    }
    if (now > waitEndDeadline_) {
        waitEndStarted_ = false;
        return stepresult::kFailed;
    }
    return stepresult::kRunning;
}

// --- transmit machine -----------------------------------------------------------

bool CBciLink::TxRingFull() const {
    // One byte short of the slot still being sent: that slot must stay intact
    // until its ACK arrives.
    return (txWriteSlot_ + 1) % kSlots == txReadSlot_ && txWritePos_ == kBlockSize - 1;
}

int CBciLink::TxPendingBytes() const {
    const int blocks = (txWriteSlot_ - txReadSlot_ + kSlots) % kSlots;
    return blocks * kBlockSize + txWritePos_;
}

bool CBciLink::TxFailed() const {
    return Counter(BciCounter::RetriesFailed) > 0 || Counter(BciCounter::EotsExpired) > 0;
}

int CBciLink::Queue(const uint8_t* src, int count) {
    int queued = 0;
    while (queued < count && !TxRingFull()) {
        txBlocks_[static_cast<size_t>(txWriteSlot_)][static_cast<size_t>(txWritePos_)] =
            src[queued++];
        if (++txWritePos_ >= kBlockSize) {
            txWritePos_ = 0;
            txWriteSlot_ = (txWriteSlot_ + 1) % kSlots;
        }
    }
    bytesQueued_ += static_cast<uint32_t>(queued);
    return queued;
}

int CBciLink::SendBytes(int count, const uint8_t* src) {
    if (count < 0 || (count > 0 && src == nullptr)) {
        return stepresult::kFailed;
    }
    if (!sendStarted_) {
        sendDone_ = 0;
        bytesQueued_ = 0;
        sendStarted_ = true;
    }
    // Once the exchange has failed nothing more is queued: a block left in
    // the ring would go out later as the start of a message of its own.
    if (TxFailed()) {
        sendStarted_ = false;
        return stepresult::kFailed;
    }
    sendDone_ += Queue(src + sendDone_, count - sendDone_);
    if (sendDone_ == count) {
        sendStarted_ = false;
        return stepresult::kDone;
    }
    return stepresult::kRunning;
}

int CBciLink::FinishMessage() {
    if (!finishStarted_) {
        finishDone_ = 0;
        SetCounter(BciCounter::EotsAcknowledged, 0);
        finishStarted_ = true;
        // Pad to the end of the block being filled. Counted from the ring's
        // own write position, the last block is completed even when the
        // message was queued by several operations.
        finishPadding_ = (kBlockSize - txWritePos_) % kBlockSize;
    }
    if (TxFailed()) {
        finishStarted_ = false;
        return stepresult::kFailed;
    }
    finishDone_ += Queue(zeros_.data(), finishPadding_ - finishDone_);
    if (Counter(BciCounter::EotsAcknowledged) > 0) {
        finishStarted_ = false;
        return stepresult::kDone;
    }
    return stepresult::kRunning;
}

bool CBciLink::SendBlock() {
    if (!TxHasWholeBlock()) {
        return false;
    }
    // SOH, then number and payload escaped, then the checksum escaped; the
    // worst case is every byte escaped.
    std::array<uint8_t, 1 + 2 * (kBlockSize + 1) + 4> wire{};
    size_t len = 0;
    wire[len++] = kSoh;
    const Block& block = txBlocks_[static_cast<size_t>(txReadSlot_)];
    uint32_t sum = 0;
    for (int k = 0; k <= kBlockSize; ++k) {
        const uint8_t b = k == 0 ? static_cast<uint8_t>(txBlockNumber_ & 0xFFu)
                                 : block[static_cast<size_t>(k - 1)];
        const uint8_t code = forward_[b];
        if (code != 0) {
            wire[len++] = kEsc;
            wire[len++] = code;
            sum += kEsc + code;
        } else {
            wire[len++] = b;
            sum += b;
        }
    }
    for (const uint8_t b : {static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum & 0xFFu)}) {
        const uint8_t code = forward_[b];
        if (code != 0) {
            wire[len++] = kEsc;
            wire[len++] = code;
        } else {
            wire[len++] = b;
        }
    }
    WriteBytes(wire.data(), static_cast<int>(len));
    SetCounter(BciCounter::LastBlockSent, txBlockNumber_);
    Bump(BciCounter::BlocksSent);
    return true;
}

void CBciLink::StepTx() {
    uint8_t chunk[kChunk];
    const int n = RingGet(kChunk, chunk);
    uint8_t reply = 0;  // the first ACK or NAK of the chunk, if any
    if (waitBlockAck_ || waitEotAck_) {
        for (int i = 0; i < n && reply == 0; ++i) {
            if (chunk[i] == kAck || chunk[i] == kNak) {
                reply = chunk[i];
            }
        }
    }
    // The 10 s waits measure the time without an answer; bytes that are no
    // answer do not hold them off.
    if (reply == 0 && waitEotAck_ && Elapsed(kAckTimeoutSeconds)) {
        waitBlockAck_ = waitEotAck_ = false;
        retryCount_ = 0;
        Bump(BciCounter::EotsExpired);
        Enter(BciState::Idle);
        return;
    }
    if (reply == 0 && waitBlockAck_ && Elapsed(kAckTimeoutSeconds)) {
        ++retryCount_;
        waitBlockAck_ = false;
        Bump(BciCounter::Retries);
        LogLine(bcimsg::kTimerElapsed);
    }
    if (n == 0 && (waitBlockAck_ || waitEotAck_)) {
        return;
    }
    const bool eotWasAwaited = waitEotAck_;
    if (reply == kAck) {
        Bump(BciCounter::AcksReceived);
        retryCount_ = 0;
        if (waitBlockAck_) {
            waitBlockAck_ = false;
            LogPayload(bcimsg::kBlockTxed, txBlocks_[static_cast<size_t>(txReadSlot_)]);
            txReadSlot_ = (txReadSlot_ + 1) % kSlots;
            txReadPos_ = 0;
            txBlockNumber_ = (txBlockNumber_ + 1) & 0xFFu;
            Bump(BciCounter::SuccessfullySent);
        } else {
            waitEotAck_ = waitBlockAck_ = false;
            Bump(BciCounter::EotsAcknowledged);
            Enter(BciState::Idle);
            return;
        }
    } else if (reply == kNak) {
        ++retryCount_;
        waitBlockAck_ = false;
        Bump(BciCounter::NaksReceived);
        LogLine(bcimsg::kResendOnNak);
    }
    if (retryCount_ > kMaxRetries) {
        retryCount_ = 0;
        waitEotAck_ = waitBlockAck_ = false;
        Bump(BciCounter::RetriesFailed);
        txWriteSlot_ = txWritePos_ = txReadSlot_ = txReadPos_ = 0;
        Enter(BciState::Idle);
        return;
    }
    if (TxHasWholeBlock() && !waitBlockAck_) {
        SendBlock();
        waitBlockAck_ = true;
        timerStart_ = tick_;
    }
    if (waitBlockAck_) {
        return;
    }
    if (txWritePos_ != 0) {
        // The caller is still completing the last block; an EOT now would
        // cut off bytes it has already queued.
        return;
    }
    SendControl(kEot);
    // An EOT repeated because of stray bytes keeps the deadline of the first
    // one, or a line that never falls silent would hold the wait open.
    if (!(eotWasAwaited && reply == 0)) {
        timerStart_ = tick_;
    }
    waitEotAck_ = true;
    waitBlockAck_ = false;
}

}  // namespace quillon
