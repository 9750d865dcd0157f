// The receive machine: block format, acceptance, waits and time-outs. Wire
// bytes are written out by hand from the block format.

#include <gtest/gtest.h>

#include <string>

#include "BciRig.h"
#include "BciWire.h"

namespace quillon::testing {
namespace {

Bytes Payload(const Bytes& prefix) {
    Bytes p = prefix;
    p.resize(256, 0);
    return p;
}

// Takes whatever accepted payload there is, up to `max` bytes.
Bytes Drain(CBciLink& link, int max) {
    Bytes out(static_cast<size_t>(max));
    const int pending = link.RxPendingBytes();
    const int n = pending < max ? pending : max;
    if (n > 0) {
        EXPECT_EQ(link.ReceiveBytes(n, out.data()), 1);
    }
    out.resize(static_cast<size_t>(n));
    return out;
}

TEST(BciReceive, EscapedPayloadAndChecksumAreDecoded) {
    BciRig rig;
    rig.CardSend(kEscapedBlock);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.Tick();

    EXPECT_EQ(rig.link->ComputedChecksum(), 0x0D06u);
    EXPECT_EQ(rig.link->ReceivedChecksum(), 0x0D06u);
    EXPECT_EQ(rig.C(BciCounter::ChecksumFails), 0u);
    EXPECT_EQ(rig.C(BciCounter::ReceivedBlocks), 1u);
    EXPECT_EQ(rig.C(BciCounter::SohsReceived), 1u);
    EXPECT_EQ(rig.C(BciCounter::AcksSent), 1u);
    EXPECT_EQ(rig.C(BciCounter::NextBlockNumber), 1u);
    EXPECT_EQ(rig.link->RxExpected(), 1u);
    // The first step offered a NAK; the block was answered with one ACK.
    EXPECT_EQ(rig.CardGot(), (Bytes{0x15, 0x06}));
    EXPECT_TRUE(rig.log.Contains("BCI : Block RXed  [1]->0x1, [2]->0x15, [3]->0x1b"));
    EXPECT_TRUE(rig.log.Contains("BCI: state change - RX"));
    EXPECT_EQ(Drain(*rig.link, 512), kEscapedPayload);
}

TEST(BciReceive, EscapedNumberAndEscapeWithoutCode) {
    BciRig rig;
    // ESC 0x41 is no code: it stands for 0x00 and counts 0x1B + 0x41 in the
    // sum (0x5C + 0x7E = 0xDA).
    rig.CardSend(Cat({{0x01, 0x00, 0x1B, 0x41, 0x7E}, Fill(254, 0), {0x00, 0xDA}}));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.CardSend(kSimpleBlock1);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 2; }, 40));

    EXPECT_EQ(rig.C(BciCounter::ChecksumFails), 0u);
    EXPECT_EQ(rig.C(BciCounter::LastReceivedBlockNumber), 1u);
    EXPECT_EQ(Drain(*rig.link, 512), Cat({Payload({0x00, 0x7E}), Payload({0x44})}));
}

TEST(BciReceive, ChecksumCountsEscapeAndCode) {
    BciRig rig;
    // Number 0x1B and 256 payload bytes 0x1B: 257 x (0x1B + 0x26) = 0x4141.
    Bytes block{0x01};
    for (int i = 0; i < 257; ++i) {
        block.push_back(0x1B);
        block.push_back(0x26);
    }
    block.push_back(0x41);
    block.push_back(0x41);
    rig.CardSend(block);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::ReceivedBlocks) == 1; }, 40));

    EXPECT_EQ(rig.link->ComputedChecksum(), 0x4141u);
    EXPECT_EQ(rig.link->ReceivedChecksum(), 0x4141u);
    EXPECT_EQ(rig.C(BciCounter::ChecksumFails), 0u);
    EXPECT_EQ(rig.C(BciCounter::LastReceivedBlockNumber), 0x1Bu);
    // Block 0x1B is not the one expected at the start of a message.
    EXPECT_EQ(rig.C(BciCounter::IncorrectBlockNumbers), 1u);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 0u);
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_EQ(rig.CardCount(0x06), 0);
}

TEST(BciReceive, BytesBeforeSohAreDroppedAndTheRestIsParsedAtOnce) {
    BciRig rig;
    rig.CardSend(Cat({{0x41, 0x04, 0x06, 0x15}, kSimpleBlock0}));
    rig.Tick();
    // The first tick's chunk held the junk, the SOH and ~44 block bytes: the
    // engine went to RX and parsed what followed the SOH in the same step.
    EXPECT_EQ(rig.State(), BciState::RX);
    EXPECT_EQ(rig.C(BciCounter::SohsReceived), 1u);
    EXPECT_EQ(rig.link->RingReadRow(), rig.link->RingWriteRow());
    EXPECT_EQ(rig.link->RingReadColumn(), rig.link->RingWriteColumn());
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    EXPECT_EQ(rig.C(BciCounter::EotsReceived), 0u);  // the junk EOT was before the SOH
    EXPECT_EQ(Drain(*rig.link, 256), Payload({0x11, 0x22, 0x33}));
}

TEST(BciReceive, GapOfOneSecondIsCharTimeoutAndNextBlockIsTakenFromItsSoh) {
    BciRig rig;
    rig.CardSend(Bytes(kSimpleBlock0.begin(), kSimpleBlock0.begin() + 120));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::CharTimeouts) == 1; }, 60));
    EXPECT_TRUE(rig.link->WaitSoh());
    EXPECT_FALSE(rig.link->WaitChar());
    EXPECT_EQ(rig.State(), BciState::RX);

    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    EXPECT_EQ(rig.C(BciCounter::SohsReceived), 2u);
    EXPECT_EQ(rig.C(BciCounter::ChecksumFails), 0u);
    EXPECT_EQ(Drain(*rig.link, 512), Payload({0x11, 0x22, 0x33}));
}

TEST(BciReceive, BadChecksumIsNotAnsweredUntilTheNextHundredthTick) {
    BciRig rig;
    Bytes bad = kSimpleBlock0;
    bad.back() = 0x67;
    rig.CardSend(bad);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::ChecksumFails) == 1; }, 40));
    const uint32_t failedAt = rig.link->Tick();
    ASSERT_LT(failedAt, 100u);
    EXPECT_TRUE(rig.link->WaitSoh());
    rig.ClearCard();

    ASSERT_TRUE(rig.TickUntil([&] { return !rig.arrivals.empty(); }, 120));
    ASSERT_EQ(rig.arrivals.size(), 1u);
    EXPECT_EQ(rig.arrivals[0].byte, 0x15);
    EXPECT_EQ(rig.arrivals[0].tick, 100u);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 0u);

    rig.CardSend(kSimpleBlock0);  // the resend the NAK asked for
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    EXPECT_EQ(Drain(*rig.link, 512), Payload({0x11, 0x22, 0x33}));
}

TEST(BciReceive, EotEndsTheMessageAndTheNextStartsAtBlockZero) {
    BciRig rig;
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.ClearCard();
    rig.CardSend({0x04});
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::EotsReceived) == 1; }, 10));
    EXPECT_EQ(rig.CardGot(), (Bytes{0x06}));
    EXPECT_TRUE(rig.log.Contains("BCI : EOT received"));
    EXPECT_EQ(rig.State(), BciState::Idle);
    rig.Tick();
    EXPECT_EQ(rig.link->RxExpected(), 0u);
    EXPECT_TRUE(rig.log.Contains("BCI: state change - Idle"));

    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 2; }, 40));
    EXPECT_EQ(Drain(*rig.link, 1024),
              Cat({Payload({0x11, 0x22, 0x33}), Payload({0x11, 0x22, 0x33})}));
}

TEST(BciReceive, BytesSharingAReadWithTheEotAreNotParsedAsABlock) {
    BciRig rig;
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    // EOT and 258 more bytes, read in one go: a block body without its SOH.
    rig.CardSend(Cat({{0x04}, Bytes(kSimpleBlock0.begin() + 2, kSimpleBlock0.end())}));
    rig.clock.AdvanceBy(300 * sim::VirtualClock::kNsPerMs);
    rig.Tick();
    EXPECT_EQ(rig.C(BciCounter::EotsReceived), 1u);
    EXPECT_EQ(rig.C(BciCounter::ReceivedBlocks), 1u);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 1u);
    EXPECT_EQ(rig.State(), BciState::Idle);
}

TEST(BciReceive, BlockCutOffAfterAnEscapeDoesNotSpoilTheResend) {
    BciRig rig;
    rig.CardSend(EncodeBlock(0, {0x10}));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.CardSend(EncodeBlock(1, {0x11}));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 2; }, 40));
    // Block 2 begins 01 02 1B 24 (payload 0x15) and breaks off after the ESC.
    const Bytes block2 = EncodeBlock(2, {0x15, 0x12});
    ASSERT_EQ(Bytes(block2.begin(), block2.begin() + 4), (Bytes{0x01, 0x02, 0x1B, 0x24}));
    rig.CardSend(Bytes(block2.begin(), block2.begin() + 3));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::CharTimeouts) == 1; }, 60));
    rig.CardSend(block2);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 3; }, 40));
    EXPECT_EQ(rig.C(BciCounter::IncorrectBlockNumbers), 0u);
    EXPECT_EQ(Drain(*rig.link, 1024),
              Cat({Payload({0x10}), Payload({0x11}), Payload({0x15, 0x12})}));
}

TEST(BciReceive, ThirtySecondsWithoutSohReturnToIdleWithNakEveryFiveSeconds) {
    BciRig rig;
    rig.CardSend(Bytes(kSimpleBlock0.begin(), kSimpleBlock0.begin() + 40));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::CharTimeouts) == 1; }, 60));
    const uint32_t sohWaitFrom = rig.link->Tick();
    rig.ClearCard();
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::SohTimeouts) == 1; }, 700));

    EXPECT_EQ(rig.link->Tick() - sohWaitFrom, 600u);
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_EQ(rig.C(BciCounter::CharTimeouts), 1u);
    EXPECT_FALSE(rig.link->WaitSoh());
    std::vector<uint32_t> nakTicks;
    for (const Arrival& a : rig.arrivals) {
        EXPECT_EQ(a.byte, 0x15);
        nakTicks.push_back(a.tick);
    }
    EXPECT_EQ(nakTicks, (std::vector<uint32_t>{100, 200, 300, 400, 500, 600}));
}

TEST(BciReceive, NoWaitingNakCrossesTheNextBlockInTheFirstSecondAfterAnAck) {
    BciRig rig;
    // Block 0 is accepted a few ticks before the fifth second's NAK tick.
    ASSERT_TRUE(rig.TickUntil([&] { return rig.link->Tick() == 90; }, 100));
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 10));
    const uint32_t ackedAt = rig.link->Tick();
    ASSERT_LT(ackedAt, 100u);
    rig.ClearCard();
    // Block 1 is on its way: no NAK at tick 100 asks for it.
    rig.Ticks(static_cast<int>(100 - ackedAt) + 5);
    EXPECT_EQ(rig.CardCount(0x15), 0);
    // A block that never comes is still asked for at the next NAK tick.
    ASSERT_TRUE(rig.TickUntil([&] { return rig.link->Tick() == 201; }, 200));
    std::vector<uint32_t> nakTicks;
    rig.Settle();
    for (const Arrival& a : rig.arrivals) {
        nakTicks.push_back(a.tick);
    }
    EXPECT_EQ(nakTicks, (std::vector<uint32_t>{200}));
}

TEST(BciReceive, IdleOffersNakOncePerSecond) {
    BciRig rig;
    rig.Ticks(61);
    std::vector<uint32_t> nakTicks;
    for (const Arrival& a : rig.arrivals) {
        EXPECT_EQ(a.byte, 0x15);
        nakTicks.push_back(a.tick);
    }
    EXPECT_EQ(nakTicks, (std::vector<uint32_t>{1, 20, 40, 60}));
    EXPECT_EQ(rig.C(BciCounter::WaitingNaks), 4u);
}

TEST(BciReceive, ReplyEndNeedsAllBytesAndTheEot) {
    BciRig rig;
    Bytes got(256);
    EXPECT_EQ(rig.link->ReceiveBytes(256, got.data()), 0);
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    EXPECT_EQ(rig.link->WaitReplyEnd(), 0);  // no bytes taken, no EOT
    EXPECT_EQ(rig.link->ReceiveBytes(256, got.data()), 1);
    EXPECT_EQ(got, Payload({0x11, 0x22, 0x33}));
    EXPECT_EQ(rig.link->BytesRead(), 256u);
    EXPECT_EQ(rig.link->WaitReplyEnd(), 0);  // bytes taken, still no EOT

    rig.CardSend({0x04});
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::EotsReceived) == 1; }, 10));
    EXPECT_EQ(rig.link->WaitReplyEnd(), 1);
    EXPECT_EQ(rig.link->WaitReplyEnd(), 1);  // stays done until the next reset

    // An EOT alone does not end a reply whose bytes were not all taken.
    rig.link->StartExchange();
    EXPECT_EQ(rig.link->WaitReplyEnd(), 0);
}

TEST(BciReceive, ReplyWaitsFailAfterFifteenSecondsWithoutProgress) {
    BciRig rig;
    Bytes got(512);
    EXPECT_EQ(rig.link->WaitReplyEnd(), 0);
    EXPECT_EQ(rig.link->ReceiveBytes(512, got.data()), 0);
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    const int64_t progressAt = rig.clock.ProcessClockMs();
    EXPECT_EQ(rig.link->ReceiveBytes(512, got.data()), 0);  // half of it: the clock restarts
    EXPECT_EQ(rig.link->BytesRead(), 256u);
    // The reply wait started before the block, so it runs out first.
    EXPECT_TRUE(rig.TickUntil([&] { return rig.link->WaitReplyEnd() == 2; }, 400));
    rig.clock.AdvanceTo(static_cast<uint64_t>(progressAt + 15000) * sim::VirtualClock::kNsPerMs);
    EXPECT_EQ(rig.link->ReceiveBytes(512, got.data()), 0);  // exactly 15 s: not past yet
    rig.clock.AdvanceBy(sim::VirtualClock::kNsPerMs);
    EXPECT_EQ(rig.link->ReceiveBytes(512, got.data()), 2);
    EXPECT_FALSE(rig.link->ReplyComplete());
}

TEST(BciReceive, RepeatedBlockIsAcknowledgedAndItsPayloadDropped) {
    BciRig rig;
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    // The card lost our ACK and sends block 0 again.
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcksSent) == 2; }, 40));
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 1u);
    EXPECT_EQ(rig.C(BciCounter::IncorrectBlockNumbers), 0u);
    EXPECT_EQ(rig.link->RxExpected(), 1u);
    EXPECT_EQ(rig.State(), BciState::RX);
    EXPECT_EQ(rig.log.Count("BCI : Block RXed  [1]->0x11, [2]->0x22, [3]->0x33"), 1);

    rig.CardSend(kSimpleBlock1);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 2; }, 40));
    EXPECT_EQ(Drain(*rig.link, 1024), Cat({Payload({0x11, 0x22, 0x33}), Payload({0x44})}));
}

// --- draining the port while the engine is stalled ----------------------------

TEST(BciReadPort, WhatTheRingCannotHoldStaysInTheDeviceForLaterTicks) {
    BciRig rig(false);
    Bytes sent(1200);
    for (size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    rig.CardSend(sent);
    rig.clock.AdvanceBy(2000 * sim::VirtualClock::kNsPerMs);  // all of it has arrived
    for (int i = 0; i < 3; ++i) {
        rig.link->ReadPort();  // ticks on which the engine takes nothing
    }
    Bytes got;
    uint8_t chunk[CBciLink::kChunk];
    for (int i = 0; i < 20 && got.size() < sent.size(); ++i) {
        const int n = rig.link->RingGet(CBciLink::kChunk, chunk);
        got.insert(got.end(), chunk, chunk + n);
        rig.link->ReadPort();
    }
    EXPECT_EQ(got, sent);
}

TEST(BciReadPort, BlockThatArrivedDuringAStallBehindLineNoiseIsAccepted) {
    BciRig rig;
    // 300 bytes of noise, then a block whose payload is escaped throughout:
    // 816 bytes, more than the ring holds.
    const Bytes payload = Fill(256, 0x1B);
    rig.CardSend(Cat({Fill(300, 'x'), EncodeBlock(0, payload)}));
    for (int i = 0; i < 40; ++i) {  // two seconds of ticks without an engine step
        rig.clock.AdvanceBy(BciRig::kTickNs);
        rig.link->ReadPort();
    }
    rig.Ticks(10);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 1u);
    EXPECT_EQ(rig.C(BciCounter::ChecksumFails), 0u);
    EXPECT_EQ(rig.C(BciCounter::CharTimeouts), 0u);
    EXPECT_EQ(Drain(*rig.link, 1024), payload);
}

TEST(BciReceive, FullRingHoldsTheAckUntilTheReaderMakesRoom) {
    BciRig rig;
    for (int i = 0; i < 3; ++i) {
        rig.CardSend(EncodeBlock(static_cast<uint8_t>(i), {static_cast<uint8_t>(0xA0 + i)}));
        ASSERT_TRUE(rig.TickUntil(
            [&] { return rig.C(BciCounter::AcceptedBlocks) == static_cast<uint32_t>(i + 1); }, 40));
    }
    rig.ClearCard();
    rig.CardSend(EncodeBlock(3, {0xA3}));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.link->RxBlockHeld(); }, 40));
    rig.Ticks(60);  // three seconds without room: no ACK, nothing overwritten
    EXPECT_EQ(rig.CardCount(0x06), 0);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 3u);
    EXPECT_EQ(rig.link->RxPendingBytes(), 768);

    const Bytes block0 = Payload({0xA0});
    Bytes first = Drain(*rig.link, 100);
    EXPECT_EQ(first, Bytes(block0.begin(), block0.begin() + 100));
    rig.Tick();
    EXPECT_EQ(rig.CardCount(0x06), 0);  // slot 0 is still part-read
    Bytes rest = Drain(*rig.link, 156);
    rig.Tick();
    EXPECT_EQ(rig.CardCount(0x06), 1);
    EXPECT_FALSE(rig.link->RxBlockHeld());
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 4u);
    EXPECT_EQ(rig.link->RxExpected(), 4u);
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_EQ(first, block0);
    EXPECT_EQ(Drain(*rig.link, 1024), Cat({Payload({0xA1}), Payload({0xA2}), Payload({0xA3})}));
}

TEST(BciReceive, OutOfSequenceBlockEndsTheReply) {
    BciRig rig;
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.ClearCard();
    rig.CardSend(EncodeBlock(2, {0x55}));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::IncorrectBlockNumbers) == 1; }, 40));
    EXPECT_EQ(rig.State(), BciState::Idle);
    EXPECT_TRUE(rig.link->RxMessageBroken());
    EXPECT_EQ(rig.CardCount(0x06), 0);

    // A sender that starts over from block 0 would have its data spliced onto
    // the part already taken; it is refused until the next exchange.
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::IncorrectBlockNumbers) == 2; }, 40));
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 1u);
    EXPECT_EQ(rig.CardCount(0x06), 0);

    rig.link->StartExchange();
    EXPECT_FALSE(rig.link->RxMessageBroken());
    rig.Ticks(20);
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
}

TEST(BciReceive, WrongFirstBlockIsRecoveredByBlockZero) {
    BciRig rig;
    rig.CardSend(EncodeBlock(0xFF, {0x01}));  // no "repeat" of 255 before anything was accepted
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::IncorrectBlockNumbers) == 1; }, 40));
    EXPECT_FALSE(rig.link->RxMessageBroken());
    EXPECT_EQ(rig.CardCount(0x06), 0);
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
}

TEST(BciReceive, BlockNumbersWrapInALongMessage) {
    BciRig rig;
    ReplyReader reader(*rig.link, 300 * 256);
    rig.transaction = [&] { reader.Step(); };
    Bytes sent;
    for (int i = 0; i < 300; ++i) {
        Bytes payload{static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i), 0x1B, 0x04};
        payload.resize(256, static_cast<uint8_t>(i * 7));
        sent.insert(sent.end(), payload.begin(), payload.end());
        const uint32_t acks = rig.C(BciCounter::AcksSent);
        rig.CardSend(EncodeBlock(static_cast<uint8_t>(i), payload));
        ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcksSent) == acks + 1; }, 40))
            << "block " << i;
        if (i == 255) {
            // The ACK of block 255 is lost: its resend after the wrap is a repeat.
            EXPECT_EQ(rig.link->RxExpected(), 0u);
            rig.CardSend(EncodeBlock(255, payload));
            ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcksSent) == acks + 2; }, 40));
        }
    }
    rig.CardSend({0x04});
    ASSERT_TRUE(rig.TickUntil([&] { return reader.result != 0; }, 40));
    EXPECT_EQ(reader.result, 1);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 300u);
    EXPECT_EQ(rig.C(BciCounter::IncorrectBlockNumbers), 0u);
    EXPECT_EQ(reader.got, sent);
}

class RecordingObserver : public BciObserver {
  public:
    void BciStateChanged(const char* name) override { states.emplace_back(name); }
    void BciCounterChanged(BciCounter c, uint32_t v) override { changes.push_back({c, v}); }
    uint32_t Last(BciCounter c) const {
        uint32_t v = 0xFFFFFFFF;
        for (const auto& ch : changes) {
            if (ch.first == c) {
                v = ch.second;
            }
        }
        return v;
    }
    std::vector<std::string> states;
    std::vector<std::pair<BciCounter, uint32_t>> changes;
};

TEST(BciReceive, CountersAndStatesReachTheAttachedObserverOnly) {
    BciRig rig;
    RecordingObserver obs;
    rig.link->SetObserver(&obs);
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.CardSend({0x04});
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::EotsReceived) == 1; }, 10));
    rig.Tick();

    EXPECT_EQ(obs.states, (std::vector<std::string>{"RX", "Idle"}));
    EXPECT_EQ(obs.Last(BciCounter::AcceptedBlocks), 1u);
    EXPECT_EQ(obs.Last(BciCounter::ReceivedBlocks), 1u);
    EXPECT_EQ(obs.Last(BciCounter::SohsReceived), 1u);
    EXPECT_EQ(obs.Last(BciCounter::AcksSent), 1u);
    EXPECT_EQ(obs.Last(BciCounter::EotsReceived), 1u);
    EXPECT_EQ(obs.Last(BciCounter::LastReceivedBlockNumber), 0u);
    EXPECT_EQ(obs.Last(BciCounter::WaitingNaks), 1u);
    EXPECT_EQ(obs.Last(BciCounter::NextBlockNumber), 0u);  // reported again in Idle
    const auto before = obs.changes.size();
    rig.link->SetObserver(nullptr);
    rig.Ticks(25);
    EXPECT_EQ(obs.changes.size(), before);
    EXPECT_GT(rig.C(BciCounter::WaitingNaks), 1u);
}

TEST(BciReceive, ResetAndCounterLogLines) {
    BciRig rig;
    EXPECT_TRUE(rig.log.Contains("BCI : BCI reset - Rxed 0 EOT(s)"));
    rig.CardSend(kSimpleBlock0);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
    rig.CardSend({0x04});
    ASSERT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::EotsReceived) == 1; }, 10));
    rig.link->LogCounters();
    const auto& lines = rig.log.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "BCI : Accepted RX blocks = 1 ");
    EXPECT_EQ(lines[lines.size() - 1], "BCI : RX EOT count = 1 ");

    rig.link->StartExchange();
    EXPECT_EQ(rig.log.Lines().back(), "BCI : BCI reset - Rxed 1 EOT(s)");
    EXPECT_EQ(rig.link->Tick(), 0u);
    EXPECT_EQ(rig.C(BciCounter::AcceptedBlocks), 0u);
    EXPECT_EQ(rig.C(BciCounter::EotsReceived), 0u);
    EXPECT_EQ(rig.C(BciCounter::WaitingNaks), 0u);
    EXPECT_EQ(rig.link->RxPendingBytes(), 0);
}

TEST(BciReceive, InitialiseFailsWithoutAnOpenPort) {
    sim::VirtualClock clock;
    sim::SimPorts ports;  // no line attached: COM1 cannot be opened
    sim::MemoryLog log;
    LinkContext ctx;
    ctx.devices = &ports;
    ctx.clock = &clock;
    ctx.log = &log;
    CBciLink link(ctx, 1, 9600);
    EXPECT_EQ(link.initialise(), 0);
    EXPECT_TRUE(log.Lines().empty());
    link.ReadPort();  // no device: nothing happens
    EXPECT_EQ(link.Unused(), 0);
}

}  // namespace
}  // namespace quillon::testing
