#include "ops/BcpExchange.h"

#include <algorithm>

#include "bci/CBciLink.h"

namespace quillon {

void BcpExchange::Begin(const uint8_t* request, size_t count, uint8_t code) {
    request_.fill(0);
    count = std::min(count, request_.size());
    std::copy_n(request, count, request_.begin());
    count_ = static_cast<int>(count);
    code_ = code;
    reply_.fill(0);
    phase_ = Phase::Start;
}

BcpExchange::Result BcpExchange::Step(CBciLink& link, const std::function<void()>& onSent) {
    for (;;) {
        int r = 1;
        switch (phase_) {
            case Phase::Idle:
                return Result::Running;
            case Phase::Start:
                link.StartExchange();
                phase_ = Phase::Send;
                continue;
            case Phase::Send:
                r = link.SendBytes(count_, request_.data());
                break;
            case Phase::Finish:
                r = link.FinishMessage();
                break;
            case Phase::Receive:
                r = link.ReceiveBytes(static_cast<int>(reply_.size()), reply_.data());
                break;
            case Phase::WaitEnd:
                r = link.WaitReplyEnd();
                break;
        }
        if (r == 0) {
            return Result::Running;
        }
        if (r != 1) {
            phase_ = Phase::Idle;
            return Result::LinkFailed;
        }
        switch (phase_) {
            case Phase::Send:
                phase_ = Phase::Finish;
                break;
            case Phase::Finish:
                phase_ = Phase::Receive;
                if (onSent) {
                    onSent();
                }
                break;
            case Phase::Receive:
                phase_ = Phase::WaitEnd;
                break;
            default:
                phase_ = Phase::Idle;
                return reply_[0] == bci::kReplyTag && reply_[1] == code_ ? Result::Done
                                                                         : Result::WrongReply;
        }
    }
}

}  // namespace quillon
