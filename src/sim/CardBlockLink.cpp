#include "sim/CardBlockLink.h"

#include <algorithm>

namespace quillon::sim {

using cardbci::kAck;
using cardbci::kEot;
using cardbci::kNak;
using cardbci::kSoh;

CardBlockLink::CardBlockLink(VirtualClock& clock, Sender send, Handler handler)
    : clock_(clock),
      send_(std::move(send)),
      handler_(std::move(handler)),
      rxTimer_(clock),
      txTimer_(clock),
      offerTimer_(clock) {}

void CardBlockLink::Start() {
    Clear();
    offerTimer_.Start(kOfferNs, [this] { Offer(); });
}

void CardBlockLink::Stop() {
    Clear();
    offerTimer_.Stop();
}

void CardBlockLink::Offer() {
    if (rx_ == Rx::Idle && tx_ == Tx::None) {
        ++counters_.naksOffered;
        SendControl(kNak);
    }
    offerTimer_.Start(kOfferNs, [this] { Offer(); });
}

void CardBlockLink::Clear() {
    rxTimer_.Stop();
    txTimer_.Stop();
    rx_ = Rx::Idle;
    tx_ = Tx::None;
    message_.clear();
    receptions_ = 0;
    reply_ = Reply{};
    replyIndex_ = 0;
    sends_ = 0;
}

void CardBlockLink::Send(const std::vector<uint8_t>& bytes) {
    const uint64_t start = std::max(clock_.NowNs(), lineFreeNs_);
    lineFreeNs_ = start + bytes.size() * byteNs_;
    deafUntilNs_ = lineFreeNs_ + extraDelayNs_;
    send_(bytes.data(), bytes.size());
}

void CardBlockLink::SendControl(uint8_t b) {
    const uint64_t start = std::max(clock_.NowNs(), lineFreeNs_);
    lineFreeNs_ = start + byteNs_;
    if (b == kAck) {
        ++counters_.acksSent;
    } else if (b == kNak) {
        ++counters_.naksSent;
    }
    send_(&b, 1);
}

void CardBlockLink::Receive(uint8_t b) {
    if (offerTimer_.Armed()) {
        offerTimer_.Start(kOfferNs, [this] { Offer(); });
    }
    switch (rx_) {
        case Rx::InBlock:
            if (b == kSoh) {
                // The block so far was a stray SOH or lost its tail; the
                // sender is starting again.
                StartBlock();
                return;
            }
            rxTimer_.Start(kBlockGapNs, [this] { BlockBroken(); });
            if (decoder_.Feed(b)) {
                BlockDone();
            }
            return;
        case Rx::Resync:
            if (b == kSoh) {
                StartBlock();
                return;
            }
            EnterResync();  // not quiet yet: wait again
            return;
        case Rx::Idle:
            break;
    }
    if (b == kSoh) {
        StartBlock();
    } else if (b == kAck || b == kNak) {
        OnAnswer(b);
    } else if (b == kEot) {
        if (tx_ == Tx::None) {
            MessageEnd();
        } else if (tx_ == Tx::WaitStartNak) {
            // The programmer repeats its EOT: our ACK of it was lost. Every
            // EOT gets its answer; the reply still waits for the NAK.
            SendControl(kAck);
        }
    } else if (tx_ == Tx::None) {
        EnterResync();
    }
    // Other bytes while a reply is under way are line noise: the
    // programmer only ever answers with ACK or NAK then.
}

void CardBlockLink::StartBlock() {
    if (tx_ != Tx::None) {
        // The programmer has given up on the reply and sends a new request.
        txTimer_.Stop();
        tx_ = Tx::None;
        reply_ = Reply{};
        ++counters_.repliesAbandoned;
    }
    rx_ = Rx::InBlock;
    decoder_.Reset();
    rxTimer_.Start(kBlockGapNs, [this] { BlockBroken(); });
}

void CardBlockLink::BlockBroken() {
    ++counters_.blocksBad;
    rx_ = Rx::Idle;
    SendControl(kNak);
}

void CardBlockLink::EnterResync() {
    rx_ = Rx::Resync;
    rxTimer_.Start(kQuietNs, [this] {
        rx_ = Rx::Idle;
        SendControl(kNak);
    });
}

void CardBlockLink::BlockDone() {
    rxTimer_.Stop();
    if (!decoder_.Good()) {
        // What follows may be the rest of a block that lost bytes; one NAK
        // once the line is quiet asks for it again.
        ++counters_.blocksBad;
        EnterResync();
        return;
    }
    ++counters_.blocksGood;
    rx_ = Rx::Idle;
    const uint8_t number = decoder_.Number();
    const auto expected = static_cast<uint8_t>(message_.size() & 0xFF);
    const bool repeat = !message_.empty() &&
                        number == static_cast<uint8_t>((message_.size() - 1) & 0xFF) &&
                        decoder_.Data() == message_.back();
    if (repeat) {
        // Our ACK was lost and the sender tries again: acknowledge it and
        // keep the one copy we have.
        SendControl(kAck);
        return;
    }
    if (number != expected && number == 0) {
        // A new message while the last one never saw its EOT.
        message_.clear();
        receptions_ = 0;
    } else if (number != expected) {
        SendControl(kNak);
        return;
    }
    if (message_.size() >= kMaxMessageBlocks) {
        SendControl(kNak);
        return;
    }
    if (receptions_ < nakFirst_) {
        ++receptions_;
        SendControl(kNak);
        return;
    }
    receptions_ = 0;
    message_.push_back(decoder_.Data());
    ++counters_.blocksAccepted;
    SendControl(kAck);
}

void CardBlockLink::MessageEnd() {
    SendControl(kAck);
    if (message_.empty()) {
        return;  // a repeated EOT whose first ACK was lost
    }
    std::vector<cardbci::Payload> msg;
    msg.swap(message_);
    receptions_ = 0;
    ++counters_.messages;
    std::optional<Reply> reply = handler_(msg);
    if (!reply || reply->blocks.empty()) {
        return;
    }
    reply_ = std::move(*reply);
    replyIndex_ = 0;
    sends_ = 0;
    tx_ = Tx::WaitStartNak;
    txTimer_.Start(kStartNakNs, [this] { FinishReply(false); });
}

void CardBlockLink::OnAnswer(uint8_t b) {
    if (tx_ == Tx::None || Deaf()) {
        return;
    }
    switch (tx_) {
        case Tx::WaitStartNak:
            if (b == kNak) {
                SendReplyBlock();
            }
            return;
        case Tx::WaitBlockAck:
            if (b == kAck) {
                ++replyIndex_;
                sends_ = 0;
                if (replyIndex_ < reply_.blocks.size()) {
                    SendReplyBlock();
                } else {
                    SendReplyEot();
                }
            } else if (sends_ >= kMaxBlockSends) {
                FinishReply(false);
            } else {
                ++counters_.replyResends;
                SendReplyBlock();
            }
            return;
        case Tx::WaitEotAck:
            if (b == kAck || sends_ >= kMaxEotSends) {
                FinishReply(true);
            } else {
                SendReplyEot();
            }
            return;
        case Tx::None:
            return;
    }
}

void CardBlockLink::SendReplyBlock() {
    ++sends_;
    tx_ = Tx::WaitBlockAck;
    ++counters_.replyBlocksSent;
    Send(
        cardbci::EncodeBlock(static_cast<uint8_t>(replyIndex_ & 0xFF), reply_.blocks[replyIndex_]));
    txTimer_.Start(kReplyAckNs, [this] {
        if (sends_ >= kMaxBlockSends) {
            FinishReply(false);
        } else {
            ++counters_.replyResends;
            SendReplyBlock();
        }
    });
}

void CardBlockLink::SendReplyEot() {
    if (tx_ != Tx::WaitEotAck) {
        sends_ = 0;
    }
    ++sends_;
    tx_ = Tx::WaitEotAck;
    Send(std::vector<uint8_t>{kEot});
    // An EOT whose ACK was lost leaves the programmer idle and silent but
    // for its NAKs; after a few tries the reply counts as delivered.
    txTimer_.Start(kEotAckNs, [this] {
        if (sends_ >= kMaxEotSends) {
            FinishReply(true);
        } else {
            SendReplyEot();
        }
    });
}

void CardBlockLink::FinishReply(bool done) {
    txTimer_.Stop();
    tx_ = Tx::None;
    std::function<void()> after = std::move(reply_.afterSent);
    reply_ = Reply{};
    if (!done) {
        ++counters_.repliesAbandoned;
        return;
    }
    ++counters_.repliesDone;
    if (after) {
        after();
    }
}

}  // namespace quillon::sim
