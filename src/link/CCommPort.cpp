#include "link/CCommPort.h"

#include <cstdio>

namespace quillon {

namespace {

// Every occurrence of the secret becomes as many "*": the log shows that
// something was typed, and how long it was, never what. Letters match in
// either case, since a card may echo a hexadecimal key in capitals.
std::string MaskSecret(std::string text, const std::string& secret) {
    if (secret.empty() || secret.size() > text.size()) {
        return text;
    }
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (size_t at = 0; at + secret.size() <= text.size();) {
        size_t i = 0;
        while (i < secret.size() && lower(text[at + i]) == lower(secret[i])) {
            ++i;
        }
        if (i == secret.size()) {
            text.replace(at, secret.size(), secret.size(), '*');
            at += secret.size();
        } else {
            ++at;
        }
    }
    return text;
}
// The system's error code for a write on a port that is not open.
constexpr uint32_t kInvalidHandleError = 6;
}  // namespace

CCommPort::CCommPort(const LinkContext& ctx, int portNumber, int /*baudRate*/) : ctx_(ctx) {
    if (ctx_.log == nullptr) {
        ctx_.log = &nullLog_;
    }
    openFlag_ = 0;
    char name[32];
    std::snprintf(name, sizeof name, "COM%i", portNumber);
    if (ctx_.devices != nullptr) {
        handle_ = ctx_.devices->Create();
    }
    // The device sets 9600 8N1 with software flow control off and makes every
    // read return at once; a port that cannot be configured does not open.
    if (handle_ && handle_->Open(name)) {
        lineRate_ = 9600;
        timerPeriod_ = 50;
        if (ctx_.pump != nullptr) {
            ctx_.pump->StartTimer(kTimerId, timerPeriod_);
        }
        openFlag_ = 1;
    }
    if (openFlag_ == 0 && handle_) {
        handle_->Close();
        handle_.reset();
    }
}

CCommPort::~CCommPort() {
    if (ctx_.pump != nullptr && openFlag_ != 0) {
        ctx_.pump->StopTimer(kTimerId);
    }
    if (handle_) {
        handle_->Close();
        handle_.reset();
    }
}

void CCommPort::WriteBytes(const uint8_t* buffer, int count) {
    if (count < 1) {
        return;
    }
    const int written = handle_ ? handle_->Write(buffer, count) : -1;
    if (written == count) {
        return;
    }
    // No retry: the procedure that wrote notices the missing reply through
    // its own time-outs. A short write with error code 0 passes silently.
    lastWriteError_ = handle_ ? handle_->LastError() : kInvalidHandleError;
    if (lastWriteError_ != 0) {
        char line[48];
        std::snprintf(line, sizeof line, "COMM ERROR : %d", static_cast<int>(lastWriteError_));
        Log().Write(line);
    }
}

int CCommPort::RingFree() const {
    const int used = (ringWriteRow_ - ringReadRow_) * kRingCols + ringWriteCol_ - ringReadCol_;
    const int size = kRingRows * kRingCols;
    // One cell stays empty so that a full ring differs from an empty one.
    return size - 1 - (used + size) % size;
}

void CCommPort::RingPut(int count, const uint8_t* bytes) {
    for (int i = 0; i < count; ++i) {
        int row = ringWriteRow_;
        int col = ringWriteCol_ + 1;
        if (col >= kRingCols) {
            col = 0;
            row = 1 - row;
        }
        if (row == ringReadRow_ && col == ringReadCol_) {
            continue;  // full: bytes are lost until the engine takes some
        }
        ring_[static_cast<size_t>(ringWriteRow_)][static_cast<size_t>(ringWriteCol_)] = bytes[i];
        ringWriteRow_ = row;
        ringWriteCol_ = col;
    }
}

int CCommPort::RingGet(int max, uint8_t* destination) {
    const int limit = max < kRingCols ? max : kRingCols;
    int i = 0;
    for (; i < limit; ++i) {
        if (ringReadRow_ == ringWriteRow_ && ringReadCol_ == ringWriteCol_) {
            break;
        }
        destination[i] =
            ring_[static_cast<size_t>(ringReadRow_)][static_cast<size_t>(ringReadCol_)];
        if (++ringReadCol_ >= kRingCols) {
            ringReadCol_ = 0;
            ringReadRow_ = 1 - ringReadRow_;
        }
    }
    return i;
}

void CCommPort::StepPosition(int n, int& row, int& column, int columns, int rows) {
    if (n > 0) {
        for (int i = 0; i < n; ++i) {
            if (++column >= columns) {
                column = 0;
                if (++row >= rows) {
                    row = 0;
                }
            }
        }
    } else {
        for (int i = 0; i < -n; ++i) {
            if (--column < 0) {
                column = columns - 1;
                if (--row < 0) {
                    row = rows - 1;
                }
            }
        }
    }
}

std::string CCommPort::SendSecretText(const std::string& command, const std::string& secret,
                                      int timeoutSeconds, bool keepEcho) {
    logSecret_ = secret;
    std::string reply = SendText(command, timeoutSeconds, keepEcho, "");
    logSecret_.clear();
    return reply;
}

bool CCommPort::IsUnacknowledgedEot(const std::string& reply) {
    constexpr char kEot = 0x04;
    constexpr char kNak = 0x15;
    return reply.find(kEot) != std::string::npos &&
           reply.find_first_not_of(std::string{kEot, kNak}) == std::string::npos;
}

std::string CCommPort::SendText(const std::string& command, int timeoutSeconds, bool keepEcho,
                                const std::string& expected) {
    std::string reply;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (handle_) {
            handle_->PurgeReceive();
        }
        WriteBytes(reinterpret_cast<const uint8_t*>(command.data()),
                   static_cast<int>(command.size()));
        if (ctx_.clock != nullptr) {
            ctx_.clock->SleepMs(100);
        }
        ReceiveText(reply, timeoutSeconds, command, expected);
        // The card leaves binary mode only once the EOT of its last reply
        // is acknowledged. When that ACK was lost on the line the card is
        // still in binary mode, repeating the EOT (and refusing the stray
        // command bytes with a NAK); the command went nowhere. The ACK it
        // waits for lets it return to text mode, and the command goes again.
        if (attempt > 0 || !IsUnacknowledgedEot(reply)) {
            break;
        }
        const uint8_t ack = 0x06;
        WriteBytes(&ack, 1);
        if (ctx_.clock != nullptr) {
            ctx_.clock->SleepMs(100);
        }
    }
    if (keepEcho) {
        return reply;
    }
    // The card echoes every command; a reply shorter than the command is no
    // reply at all.
    if (reply.size() < command.size()) {
        return std::string();
    }
    return reply.substr(command.size());
}

int CCommPort::ReceiveText(std::string& reply, int timeoutSeconds, const std::string& command,
                           const std::string& expected) {
    const ReplyWaitScope marked(replyWaits_);
    TextSessionHost* session = ctx_.session;
    if (session != nullptr) {
        session->SetInBlockingWait(1);
    }
    reply.clear();
    Clock* clock = ctx_.clock;
    int total = 0;
    if (clock != nullptr) {
        const uint32_t deadline =
            clock->TickCountMs() + static_cast<uint32_t>(timeoutSeconds) * 1000u;
        bool complete = false;
        int64_t lastByteAt = 0;
        uint8_t buf[255];
        // Compared as a signed difference, so a deadline just past the tick
        // count's wrap is not taken for one that has long gone.
        while (static_cast<int32_t>(clock->TickCountMs() - deadline) < 0) {
            int n = handle_ ? handle_->Read(buf, static_cast<int>(sizeof buf)) : -1;
            if (n < 0) {
                n = 0;  // a failed read is ignored; the time-out decides
            }
            if (n > 0) {
                if (reply.size() < kMaxReply) {
                    const size_t room = kMaxReply - reply.size();
                    reply.append(reinterpret_cast<const char*>(buf),
                                 static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room);
                }
                total += n;
                lastByteAt = clock->ProcessClockMs();
                if (!complete) {
                    if (!expected.empty()) {
                        complete = reply.find(expected) != std::string::npos;
                    } else {
                        complete = total > static_cast<int>(command.size());
                    }
                }
            } else if (complete && clock->ProcessClockMs() - lastByteAt >= kReplyQuietMs) {
                break;
            }
            if (ctx_.pump != nullptr) {
                ctx_.pump->DispatchPending();
            }
            if (session != nullptr &&
                session->CurrentSessionState() == TextSessionHost::kSessionCancelled) {
                break;
            }
            // Wait a little between polls instead of spinning a core; the
            // end of a reply is judged by kReplyQuietMs, not by one poll.
            clock->SleepMs(kPollIntervalMs);
        }
    }
    if (session != nullptr) {
        session->SetInBlockingWait(0);
    }
    if (total > 0) {
        Log().Write("RX textmode : " + MaskSecret(reply, logSecret_));
    }
    return total;
}

std::string CCommPort::TextAfterPrompt(const std::string& text) {
    const size_t p = text.find('>');
    return p == std::string::npos ? text : text.substr(p + 1);
}

}  // namespace quillon
