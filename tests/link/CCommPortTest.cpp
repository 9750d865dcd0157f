// The serial port object: opening, the timer, writing, the receive ring.
#include <gtest/gtest.h>

#include <vector>

#include "SimRig.h"
#include "link/BaudTable.h"
#include "link/CCommPort.h"

using quillon::CCommPort;

namespace {

class CommPortTest : public ::testing::Test {
  protected:
    quillon::testing::SimRig rig;
};

TEST_F(CommPortTest, OpensComNAt9600AndStartsTheFiftyMillisecondTimer) {
    CCommPort port(rig.Context(), 1, 56000);
    EXPECT_EQ(port.IsOpen(), 1);
    EXPECT_EQ(port.initialise(), 1);
    EXPECT_EQ(port.LineRate(), 9600);
    EXPECT_EQ(port.TimerPeriod(), 50);
    EXPECT_EQ(rig.ports.LastOpenName(), "COM1");
    EXPECT_TRUE(rig.pump.TimerRunning(1));
    // The seven block-protocol slots do nothing on a bare port.
    uint8_t b[4] = {};
    EXPECT_EQ(port.StartExchange() + port.FinishMessage() + port.WaitReplyEnd() + port.ResetBci() +
                  port.ReceiveBytes(4, b) + port.SendBytes(4, b) + port.Unused(),
              0);
}

TEST_F(CommPortTest, PortThatDoesNotOpenHasNoHandleAndNoTimer) {
    CCommPort port(rig.Context(), 0, 9600);
    EXPECT_EQ(rig.ports.LastOpenName(), "COM0");
    EXPECT_EQ(port.IsOpen(), 0);
    EXPECT_EQ(port.initialise(), 0);
    EXPECT_EQ(port.Handle(), nullptr);
    EXPECT_FALSE(rig.pump.TimerRunning(1));
}

TEST_F(CommPortTest, SecondObjectCannotOpenAPortInUse) {
    CCommPort first(rig.Context(), 1, 9600);
    CCommPort second(rig.Context(), 1, 9600);
    EXPECT_EQ(first.IsOpen(), 1);
    EXPECT_EQ(second.IsOpen(), 0);
}

TEST_F(CommPortTest, DestructionStopsTheTimerAndFreesThePort) {
    {
        CCommPort port(rig.Context(), 1, 9600);
        ASSERT_TRUE(rig.pump.TimerRunning(1));
    }
    EXPECT_FALSE(rig.pump.TimerRunning(1));
    CCommPort again(rig.Context(), 1, 9600);
    EXPECT_EQ(again.IsOpen(), 1);
}

TEST_F(CommPortTest, BaudTableAndOutOfRangeIndices) {
    EXPECT_EQ(quillon::BaudForIndex(0), 9600);
    EXPECT_EQ(quillon::BaudForIndex(1), 14400);
    EXPECT_EQ(quillon::BaudForIndex(4), 56000);
    EXPECT_EQ(quillon::BaudForIndex(-1), 9600);
    EXPECT_EQ(quillon::BaudForIndex(5), 9600);
}

TEST_F(CommPortTest, WriteBytesPutsBytesOnTheLineAndCountZeroWritesNothing) {
    CCommPort port(rig.Context(), 1, 9600);
    const uint8_t data[] = {'a', 'b', 'c'};
    port.WriteBytes(data, 0);
    port.WriteBytes(data, -3);
    EXPECT_EQ(rig.line.Host().BytesWritten(), 0u);
    port.WriteBytes(data, 3);
    rig.clock.AdvanceBy(10 * quillon::sim::VirtualClock::kNsPerMs);
    EXPECT_EQ(rig.CardReceived(), "abc");
    EXPECT_TRUE(rig.log.Lines().empty());
}

TEST_F(CommPortTest, FailedWriteIsLoggedWithTheSystemErrorCodeAndNotRetried) {
    CCommPort port(rig.Context(), 1, 9600);
    static_cast<quillon::sim::SimPortDevice*>(port.Handle())->FailWrites(true, 31);
    const uint8_t data[] = {1, 2};
    port.WriteBytes(data, 2);
    EXPECT_EQ(port.LastWriteError(), 31u);
    ASSERT_EQ(rig.log.Lines().size(), 1u);
    EXPECT_EQ(rig.log.Lines()[0], "COMM ERROR : 31");
    EXPECT_EQ(rig.line.Host().BytesWritten(), 0u);
}

TEST_F(CommPortTest, RingHoldsAtMost517BytesAndDropsTheRest) {
    CCommPort port(rig.Context(), 1, 9600);
    std::vector<uint8_t> in(600);
    for (size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<uint8_t>(i);
    }
    port.RingPut(static_cast<int>(in.size()), in.data());
    std::vector<uint8_t> out;
    uint8_t buf[300];
    int n;
    // A take is at most one row's worth, whatever is asked for.
    n = port.RingGet(300, buf);
    EXPECT_EQ(n, 259);
    out.insert(out.end(), buf, buf + n);
    while ((n = port.RingGet(300, buf)) > 0) {
        out.insert(out.end(), buf, buf + n);
    }
    ASSERT_EQ(out.size(), 517u);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], static_cast<uint8_t>(i)) << i;
    }
    // After the engine has made room, bytes are stored again, in order across
    // the row boundary.
    const uint8_t more[] = {0xAA, 0xBB};
    port.RingPut(2, more);
    EXPECT_EQ(port.RingGet(10, buf), 2);
    EXPECT_EQ(buf[0], 0xAA);
    EXPECT_EQ(buf[1], 0xBB);
}

TEST_F(CommPortTest, RingFreeCountsTheRoomLeftAcrossTheRowBoundary) {
    CCommPort port(rig.Context(), 1, 9600);
    EXPECT_EQ(port.RingFree(), 517);
    std::vector<uint8_t> bytes(400, 0x5A);
    uint8_t buf[300];
    port.RingPut(300, bytes.data());
    EXPECT_EQ(port.RingFree(), 217);
    ASSERT_EQ(port.RingGet(300, buf), 259);
    EXPECT_EQ(port.RingFree(), 476);
    port.RingPut(400, bytes.data());  // the write position wraps to row 0
    EXPECT_EQ(port.RingFree(), 76);
    port.RingPut(100, bytes.data());  // 76 fit
    EXPECT_EQ(port.RingFree(), 0);
    int taken = 0;
    int n;
    while ((n = port.RingGet(300, buf)) > 0) {
        taken += n;
    }
    EXPECT_EQ(taken, 517);
    EXPECT_EQ(port.RingFree(), 517);
}

TEST_F(CommPortTest, ReplyWaitIsMarkedOnlyWhileItRuns) {
    CCommPort port(rig.Context(), 1, 9600);
    bool markedDuringWait = false;
    rig.pump.PostActionAt(rig.clock.NowNs() + 300 * quillon::sim::VirtualClock::kNsPerMs,
                          [&] { markedDuringWait = port.InReplyWait(); });
    EXPECT_FALSE(port.InReplyWait());
    port.SendText("\r", 1, true, "");
    EXPECT_TRUE(markedDuringWait);
    EXPECT_FALSE(port.InReplyWait());
}

TEST_F(CommPortTest, RingGetOnAnEmptyRingReturnsZero) {
    CCommPort port(rig.Context(), 1, 9600);
    uint8_t buf[4];
    EXPECT_EQ(port.RingGet(4, buf), 0);
    const uint8_t one = 7;
    port.RingPut(1, &one);
    EXPECT_EQ(port.RingGet(0, buf), 0);
    EXPECT_EQ(port.RingGet(4, buf), 1);
    EXPECT_EQ(port.RingGet(4, buf), 0);
}

TEST(StepPosition, ForwardBackwardAndWrapping) {
    int row = 1, col = 5;
    CCommPort::StepPosition(0, row, col, 259, 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 5);

    row = 0;
    col = 0;
    CCommPort::StepPosition(-1, row, col, 259, 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 258);

    CCommPort::StepPosition(1, row, col, 259, 2);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);

    row = 0;
    col = 250;
    CCommPort::StepPosition(10, row, col, 259, 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    CCommPort::StepPosition(-10, row, col, 259, 2);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 250);

    // A grid of 4 slots of 256: one block back from slot 0 is slot 3.
    row = 0;
    col = 0;
    CCommPort::StepPosition(-256, row, col, 256, 4);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 0);
}

}  // namespace
