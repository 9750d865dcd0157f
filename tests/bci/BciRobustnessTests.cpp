// Whatever arrives on the line and however the link operations are called,
// the engine keeps its rings in bounds and its state sane.

#include <gtest/gtest.h>

#include <random>

#include "BciRig.h"
#include "BciWire.h"

namespace quillon::testing {
namespace {

TEST(BciRobustness, RandomLineBytesAndRandomCallsKeepTheEngineInBounds) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        BciRig rig(false);
        std::mt19937 rng(seed);
        const uint8_t special[] = {0x01, 0x04, 0x06, 0x15, 0x1B, 0x22, 0x26, 0x00};
        Bytes big(3000);
        for (auto& b : big) {
            b = static_cast<uint8_t>(rng());
        }
        std::array<uint8_t, 600> sink{};
        rig.transaction = [&] {
            switch (rng() % 12) {
                case 0:
                    rig.link->SendBytes(static_cast<int>(rng() % 3000), big.data());
                    break;
                case 1:
                    rig.link->FinishMessage();
                    break;
                case 2:
                case 3:
                    rig.link->ReceiveBytes(static_cast<int>(rng() % 600), sink.data());
                    break;
                case 4:
                    rig.link->WaitReplyEnd();
                    break;
                case 5:
                    if (rng() % 50 == 0) {
                        rig.link->StartExchange();
                    }
                    break;
                default:
                    break;
            }
        };
        for (int t = 0; t < 8000; ++t) {
            Bytes noise(rng() % 80);
            for (auto& b : noise) {
                b = rng() % 3 == 0 ? special[rng() % 8] : static_cast<uint8_t>(rng());
            }
            if (rng() % 40 == 0) {
                noise = rng() % 2 ? kSimpleBlock0 : kEscapedBlock;
            }
            rig.CardSend(noise);
            rig.Tick();
            // Drain the card end so the line does not back up.
            uint8_t drop[512];
            while (rig.line.Card().Read(drop, sizeof drop) > 0) {
            }
            ASSERT_GE(rig.link->RxPendingBytes(), 0);
            ASSERT_LE(rig.link->RxPendingBytes(), 3 * 256);
            ASSERT_GE(rig.link->TxPendingBytes(), 0);
            ASSERT_LE(rig.link->TxPendingBytes(), 1023);
            ASSERT_LE(rig.link->RetryCount(), 3u);
            ASSERT_LT(rig.link->RxExpected(), 256u);
            ASSERT_LT(rig.link->TxBlockNumber(), 256u);
            ASSERT_GE(rig.link->EngineState(), 0);
            ASSERT_LE(rig.link->EngineState(), 2);
        }
    }
}

TEST(BciRobustness, FailedReadIsLoggedOnlyWhileTheLineIsDown) {
    BciRig rig;
    rig.Tick();
    rig.line.Disconnect();
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.log.Count("COMM ERROR : 5"), 2);
    rig.line.Reconnect();
    rig.Ticks(5);
    EXPECT_EQ(rig.log.Count("COMM ERROR : 5"), 2);
    rig.CardSend(kSimpleBlock0);
    EXPECT_TRUE(rig.TickUntil([&] { return rig.C(BciCounter::AcceptedBlocks) == 1; }, 40));
}

}  // namespace
}  // namespace quillon::testing
