#pragma once
// One request of the command layer and its one-block reply, stepped through
// the link operations: StartExchange, SendBytes, FinishMessage,
// ReceiveBytes of 256 bytes, WaitReplyEnd, and the reply header checked.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "bci/ChannelTransfer.h"

namespace quillon {

class CBciLink;

class BcpExchange {
  public:
    enum class Result { Running, Done, LinkFailed, WrongReply };

    // Takes a copy of the request (at most 256 bytes); the reply must start
    // 0x80 and `code`.
    void Begin(const uint8_t* request, size_t count, uint8_t code);
    // Goes as far as the link lets it in this call. `onSent` runs once the
    // request's EOT has been acknowledged.
    Result Step(CBciLink& link, const std::function<void()>& onSent = {});
    bool Active() const { return phase_ != Phase::Idle; }
    void Clear() { phase_ = Phase::Idle; }
    const bci::BlockBuffer& Reply() const { return reply_; }

  private:
    enum class Phase { Idle, Start, Send, Finish, Receive, WaitEnd };

    Phase phase_ = Phase::Idle;
    bci::BlockBuffer request_{};
    int count_ = 0;
    uint8_t code_ = 0;
    bci::BlockBuffer reply_{};
};

}  // namespace quillon
