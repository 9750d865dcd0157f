// The transmit machine: what goes on the line for a request, the waits for
// acknowledgements, resends and failures.

#include <gtest/gtest.h>

#include "BciRig.h"
#include "BciWire.h"

namespace quillon::testing {
namespace {

constexpr int kTenSeconds = 200;  // ticks

// Ticks until the card has received `n` bytes in all.
bool TickUntilCardHas(BciRig& rig, size_t n, int maxTicks = 40) {
    return rig.TickUntil(
        [&] {
            rig.Settle();
            return rig.arrivals.size() >= n;
        },
        maxTicks);
}

// A one-block request whose block the card acknowledges: the engine then
// waits for the ACK of its EOT.
bool SendOneBlockAndAwaitTheEotAck(BciRig& rig, MessageSender& sender) {
    rig.transaction = [&sender] { sender.Step(); };
    if (!TickUntilCardHas(rig, 260)) {
        return false;
    }
    rig.CardSend({0x06});
    return rig.TickUntil([&] { return rig.link->WaitEotAck(); }, 5);
}

TEST(BciTransmit, TestCodecMatchesTheHandWrittenBlocks) {
    // The card-side codec of these tests must agree with the literal blocks
    // before it is trusted for the long exchanges.
    EXPECT_EQ(EncodeBlock(0, {0x11, 0x22, 0x33}), kSimpleBlock0);
    EXPECT_EQ(EncodeBlock(1, {0x44}), kSimpleBlock1);
    EXPECT_EQ(EncodeBlock(0, kEscapedPayload), kEscapedBlock);
}

TEST(BciTransmit, TwoByteRequestIsOnePaddedBlockThenEot) {
    BciRig rig;
    rig.link->StartExchange();
    MessageSender sender(*rig.link, {0x00, 0x99});
    rig.transaction = [&] { sender.Step(); };

    ASSERT_TRUE(TickUntilCardHas(rig, 260));
    EXPECT_EQ(rig.CardGot(), Cat({{0x01, 0x00, 0x00, 0x99}, Fill(254, 0), {0x00, 0x99}}));
    EXPECT_EQ(rig.State(), BciState::TX);
    EXPECT_TRUE(rig.link->WaitBlockAck());
    EXPECT_EQ(rig.link->BytesQueued(), 256u);
    rig.ClearCard();

    rig.CardSend({0x06});
    ASSERT_TRUE(TickUntilCardHas(rig, 1, 5));
    EXPECT_EQ(rig.CardGot(), (Bytes{0x04}));
    EXPECT_TRUE(rig.link->WaitEotAck());
    EXPECT_EQ(rig.C(BciCounter::SuccessfullySent), 1u);
    EXPECT_EQ(rig.link->TxBlockNumber(), 1u);
    EXPECT_EQ(sender.result, 0);

    rig.CardSend({0x06});
    ASSERT_TRUE(rig.TickUntil([&] { return sender.result != 0; }, 5));
    EXPECT_EQ(sender.result, 1);
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_EQ(rig.C(BciCounter::EotsAcknowledged), 1u);
    EXPECT_EQ(rig.C(BciCounter::AcksReceived), 2u);
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 1u);
    EXPECT_EQ(rig.C(BciCounter::LastBlockSent), 0u);
    EXPECT_TRUE(rig.log.Contains("BCI : Block TXed  [1]->0, [2]->0x99, [3]->0"));
    EXPECT_TRUE(rig.log.Contains("BCI: state change - TX"));
}

TEST(BciTransmit, FullBlockGetsNoPaddingAndIsEscaped) {
    BciRig rig;
    MessageSender sender(*rig.link, kEscapedPayload);
    rig.transaction = [&] { sender.Step(); };
    ASSERT_TRUE(TickUntilCardHas(rig, kEscapedBlock.size()));
    rig.Ticks(2);
    // The 0x15 in the payload goes out as ESC 0x24, never as a NAK.
    EXPECT_EQ(rig.CardGot(), kEscapedBlock);
    rig.ClearCard();
    rig.CardSend({0x06});
    ASSERT_TRUE(TickUntilCardHas(rig, 1, 5));
    EXPECT_EQ(rig.CardGot(), (Bytes{0x04}));  // no second, all-zero block
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 1u);
}

TEST(BciTransmit, RequestOf257BytesIsTwoBlocks) {
    BciRig rig;
    Bytes request = Fill(256, 0);
    request.push_back(0x77);
    MessageSender sender(*rig.link, request);
    rig.transaction = [&] { sender.Step(); };

    ASSERT_TRUE(TickUntilCardHas(rig, 260));
    EXPECT_EQ(rig.CardGot(), Cat({{0x01, 0x00}, Fill(256, 0), {0x00, 0x00}}));
    rig.ClearCard();
    rig.CardSend({0x06});
    // Block 1: its number escaped; sum 0x1B + 0x22 + 0x77 = 0xB4.
    ASSERT_TRUE(TickUntilCardHas(rig, 261));
    EXPECT_EQ(rig.CardGot(), Cat({{0x01, 0x1B, 0x22, 0x77}, Fill(255, 0), {0x00, 0xB4}}));
    rig.ClearCard();
    rig.CardSend({0x06});
    ASSERT_TRUE(TickUntilCardHas(rig, 1, 5));
    EXPECT_EQ(rig.CardGot(), (Bytes{0x04}));
    rig.CardSend({0x06});
    ASSERT_TRUE(rig.TickUntil([&] { return sender.result != 0; }, 5));
    EXPECT_EQ(sender.result, 1);
    EXPECT_EQ(rig.C(BciCounter::LastBlockSent), 1u);
}

TEST(BciTransmit, FourNaksFailTheMessageAndEmptyTheRing) {
    BciRig rig;
    Bytes request = Fill(600, 0x5A);  // two whole blocks and a part
    MessageSender sender(*rig.link, request);
    rig.transaction = [&] { sender.Step(); };
    for (int send = 1; send <= 4; ++send) {
        ASSERT_TRUE(TickUntilCardHas(rig, 260u * static_cast<size_t>(send))) << send;
        rig.CardSend({0x15});
        rig.Tick();
    }
    rig.Tick();
    EXPECT_EQ(rig.C(BciCounter::RetriesFailed), 1u);
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 4u);
    EXPECT_EQ(rig.C(BciCounter::NaksReceived), 4u);
    EXPECT_EQ(rig.log.Count("BCI TX: Block resend, rxed NAK"), 4);
    EXPECT_EQ(rig.link->TxPendingBytes(), 0);
    EXPECT_EQ(rig.link->RetryCount(), 0u);
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_EQ(sender.result, 2);
    // Every copy on the line was block 0; back in Idle the engine offers a NAK.
    const Bytes got = rig.CardGot();
    ASSERT_EQ(got.size(), 4u * 260u + 1u);
    EXPECT_EQ(got.back(), 0x15);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(got[i * 260], 0x01);
        EXPECT_EQ(got[i * 260 + 1], 0x00);
    }

    // Until the next reset the exchange stays failed and nothing is queued:
    // a stale block must not leave later as a message of its own.
    const uint8_t more[3] = {1, 2, 3};
    EXPECT_EQ(rig.link->SendBytes(3, more), 2);
    EXPECT_EQ(rig.link->FinishMessage(), 2);
    EXPECT_EQ(rig.link->TxPendingBytes(), 0);
    rig.Ticks(40);
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 4u);

    rig.link->ResetBci();
    EXPECT_EQ(rig.C(BciCounter::RetriesFailed), 0u);
    EXPECT_EQ(rig.C(BciCounter::LastBlockSent), 0u);  // kept, and it was 0
    EXPECT_EQ(rig.link->SendBytes(3, more), 1);
}

TEST(BciTransmit, SilenceForTenSecondsResendsTheBlock) {
    BciRig rig;
    MessageSender sender(*rig.link, {0x00, 0x05});
    rig.transaction = [&] { sender.Step(); };
    ASSERT_TRUE(TickUntilCardHas(rig, 260));
    const uint32_t sentAt = rig.link->TimerStart();
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::Retries) == 1; }, 300));
    EXPECT_EQ(rig.link->Tick() - sentAt, static_cast<uint32_t>(kTenSeconds));
    EXPECT_TRUE(rig.log.Contains("BCI TX: timer elapsed"));
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 2u);
    EXPECT_EQ(rig.link->RetryCount(), 1u);
    EXPECT_TRUE(rig.link->WaitBlockAck());

    // An ACK clears the failures of the block.
    rig.CardSend({0x06});
    rig.Tick();
    EXPECT_EQ(rig.link->RetryCount(), 0u);
    EXPECT_TRUE(rig.link->WaitEotAck());
}

TEST(BciTransmit, StrayBytesDoNotHoldOffTheAckTimeOut) {
    BciRig rig;
    MessageSender sender(*rig.link, {0x00, 0x05});
    rig.transaction = [&] { sender.Step(); };
    ASSERT_TRUE(TickUntilCardHas(rig, 260));
    const uint32_t sentAt = rig.link->TimerStart();
    // A noisy line delivers something on every tick, none of it an answer.
    ASSERT_TRUE(rig.TickUntil(
        [&] {
            rig.CardSend({0x41});
            return rig.C(BciCounter::Retries) == 1;
        },
        300));
    EXPECT_EQ(rig.link->Tick() - sentAt, static_cast<uint32_t>(kTenSeconds));
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 2u);
}

TEST(BciTransmit, UnansweredEotExpiresAfterTenSeconds) {
    BciRig rig;
    MessageSender sender(*rig.link, {0x00, 0x0B});
    ASSERT_TRUE(SendOneBlockAndAwaitTheEotAck(rig, sender));
    const uint32_t eotAt = rig.link->TimerStart();
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::EotsExpired) == 1; }, 300));
    EXPECT_EQ(rig.link->Tick() - eotAt, static_cast<uint32_t>(kTenSeconds));
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_FALSE(rig.link->WaitEotAck());
    rig.Tick();
    EXPECT_EQ(sender.result, 2);
    EXPECT_EQ(rig.CardCount(0x04), 1);
}

TEST(BciTransmit, NakOrStrayByteDuringEotWaitSendsTheEotAgain) {
    BciRig rig;
    MessageSender sender(*rig.link, {0x00, 0x0B});
    ASSERT_TRUE(SendOneBlockAndAwaitTheEotAck(rig, sender));
    const uint32_t firstEot = rig.link->TimerStart();
    rig.ClearCard();

    rig.CardSend({0x15});
    rig.Tick();
    EXPECT_EQ(rig.CardGot(), (Bytes{0x04}));
    EXPECT_EQ(rig.link->RetryCount(), 1u);
    EXPECT_EQ(rig.C(BciCounter::NaksReceived), 1u);
    const uint32_t afterNak = rig.link->TimerStart();
    EXPECT_GT(afterNak, firstEot);

    // Bytes that are neither ACK nor NAK repeat the EOT without moving its
    // deadline, so a line that keeps talking still ends the wait.
    rig.ClearCard();
    rig.CardSend({0x0D});
    rig.Tick();
    EXPECT_EQ(rig.CardGot(), (Bytes{0x04}));
    EXPECT_EQ(rig.link->TimerStart(), afterNak);
    EXPECT_EQ(rig.link->RetryCount(), 1u);
    ASSERT_TRUE(rig.TickUntil(
        [&] {
            rig.CardSend({0x0D});
            return rig.C(BciCounter::EotsExpired) == 1;
        },
        300));
    EXPECT_EQ(rig.link->Tick() - afterNak, static_cast<uint32_t>(kTenSeconds));
}

TEST(BciTransmit, AckNotAwaitedIsIgnored) {
    BciRig rig;
    // An ACK in Idle means nothing.
    rig.CardSend({0x06});
    rig.Ticks(3);
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_EQ(rig.C(BciCounter::AcksReceived), 0u);

    // An ACK that arrived just before the request went out is dropped with the
    // rest of what the card said before it; it cannot acknowledge block 0.
    MessageSender sender(*rig.link, {0x00, 0x99});
    rig.CardSend({0x06});
    rig.clock.AdvanceBy(5 * sim::VirtualClock::kNsPerMs);
    rig.transaction = [&] { sender.Step(); };
    rig.Ticks(5);
    EXPECT_EQ(rig.State(), BciState::TX);
    EXPECT_TRUE(rig.link->WaitBlockAck());
    EXPECT_EQ(rig.C(BciCounter::AcksReceived), 0u);
    EXPECT_EQ(rig.C(BciCounter::SuccessfullySent), 0u);
}

TEST(BciTransmit, NoEotWhileTheCallerIsStillCompletingTheLastBlock) {
    BciRig rig;
    const Bytes request = Fill(266, 0x33);
    ASSERT_EQ(rig.link->SendBytes(static_cast<int>(request.size()), request.data()), 1);
    ReceivingCard card(rig);
    for (int i = 0; i < 40; ++i) {
        rig.Tick();
        card.Poll();
    }
    // Block 0 went out and was acknowledged; ten bytes wait for padding.
    EXPECT_EQ(card.numbers, (std::vector<uint8_t>{0}));
    EXPECT_EQ(card.eots, 0);
    EXPECT_EQ(rig.State(), BciState::TX);

    int finish = 0;
    rig.transaction = [&] {
        if (finish == 0) {
            finish = rig.link->FinishMessage();
        }
    };
    for (int i = 0; i < 40 && finish == 0; ++i) {
        rig.Tick();
        card.Poll();
    }
    EXPECT_EQ(finish, 1);
    EXPECT_EQ(card.numbers, (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(card.eots, 1);
    Bytes expected = request;
    expected.resize(512, 0);
    EXPECT_EQ(card.Payload(), expected);
}

TEST(BciTransmit, RingHoldsAtMost1023BytesAndALongMessageWrapsBlockNumbers) {
    BciRig rig;
    Bytes request;
    for (int i = 0; i < 300 * 256 - 5; ++i) {
        request.push_back(static_cast<uint8_t>((i * 31 + i / 256) & 0xFF));
    }
    EXPECT_EQ(rig.link->SendBytes(static_cast<int>(request.size()), request.data()), 0);
    EXPECT_EQ(rig.link->TxPendingBytes(), 1023);
    EXPECT_EQ(rig.link->BytesQueued(), 1023u);

    MessageSender sender(*rig.link, request);
    rig.transaction = [&] { sender.Step(); };
    ReceivingCard card(rig);
    for (int i = 0; i < 300 * 8 && sender.result == 0; ++i) {
        rig.Tick();
        card.Poll();
    }
    ASSERT_EQ(sender.result, 1);
    ASSERT_EQ(card.numbers.size(), 300u);
    for (size_t i = 0; i < card.numbers.size(); ++i) {
        EXPECT_EQ(card.numbers[i], static_cast<uint8_t>(i)) << i;
    }
    Bytes expected = request;
    expected.resize(300 * 256, 0);
    EXPECT_EQ(card.Payload(), expected);
    EXPECT_EQ(card.eots, 1);
    EXPECT_EQ(card.badBlocks, 0);
    EXPECT_EQ(rig.C(BciCounter::BlocksSent), 300u);
    EXPECT_EQ(rig.C(BciCounter::SuccessfullySent), 300u);
    EXPECT_EQ(rig.C(BciCounter::LastBlockSent), 43u);
}

TEST(BciTransmit, BadArgumentsFailWithoutTouchingTheRing) {
    BciRig rig;
    EXPECT_EQ(rig.link->SendBytes(-1, nullptr), 2);
    EXPECT_EQ(rig.link->SendBytes(4, nullptr), 2);
    EXPECT_EQ(rig.link->ReceiveBytes(-5, nullptr), 2);
    EXPECT_EQ(rig.link->ReceiveBytes(8, nullptr), 2);
    EXPECT_EQ(rig.link->TxPendingBytes(), 0);
    EXPECT_EQ(rig.link->SendBytes(0, nullptr), 1);
}

}  // namespace
}  // namespace quillon::testing
