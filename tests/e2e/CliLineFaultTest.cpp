// quillon-cli on a real pseudo-terminal when the line misbehaves: the far
// end killed in the middle of a Get, a second program on a line already in
// use, and noise waiting on the line before the first command.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "E2eSupport.h"

namespace {

namespace e2e = quillon::testing;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Bytes the card has sent so far, by its trace.
size_t CardBytesSent(const SimCard& card) {
    return Count(card.Log(), "card->PC");
}

TEST(CliLineFault, AGetWhoseCardIsKilledMidwayEndsWithAMessageAndLeavesTheProcessorIdle) {
    SimCard card({"--trace"});
    ASSERT_TRUE(card.Ready());
    const std::string got = card.Dir() + "/got.bcf";
    bool killed = false;
    auto start = std::chrono::steady_clock::now();
    double killedAt = 0;
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "get", "--device", card.Link(), "--password", "quillon", got},
        300, {}, -1, [&] {
            // Well into the channel blocks, long after the login.
            if (!killed && CardBytesSent(card) > 3000) {
                card.Kill();
                killed = true;
                killedAt =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            }
        });
    ASSERT_TRUE(killed) << r.err;
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("A communications error occurred!"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Channel table has been read"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(got));
    // The procedure ends within its time-outs, not at the test's limit.
    const double afterKill = r.seconds - killedAt;
    EXPECT_LT(afterKill, 60.0);
    // A port that kept reporting the hang-up would hold a core from the kill
    // to the end; the whole run uses a fraction of its time.
    EXPECT_LT(r.cpuSeconds, 0.5 * r.seconds + 0.5)
        << "cpu " << r.cpuSeconds << " s in " << r.seconds << " s, killed at " << killedAt;
}

TEST(CliLineFault, ASecondProgramOnALineInUseIsRefusedAndTheFirstGoesOn) {
    SimCard card({"--trace"});
    ASSERT_TRUE(card.Ready());
    const std::string got = card.Dir() + "/got.bcf";
    bool tried = false;
    e2e::RunResult second;
    const auto first = e2e::Run(
        {BinaryPath("quillon-cli"), "get", "--device", card.Link(), "--password", "quillon", got},
        300, {}, -1, [&] {
            if (!tried && CardBytesSent(card) > 1000) {
                tried = true;
                second = e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", card.Link(),
                                   "--password", "quillon"},
                                  60);
            }
        });
    ASSERT_TRUE(tried);
    EXPECT_NE(second.status, 0);
    EXPECT_NE(second.err.find("You must select a serial port first!"), std::string::npos)
        << second.err;
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("Channel table has been read from the Transceiver.\n"),
              std::string::npos)
        << first.err;
    EXPECT_TRUE(std::filesystem::exists(got));
}

TEST(CliLineFault, NoiseWaitingOnTheLineDoesNotStopTheLogin) {
    SimCard card({"--stale-bytes", "4096"});
    ASSERT_TRUE(card.Ready());
    EXPECT_NE(card.Log().find("4096 stale bytes wait on the line"), std::string::npos)
        << card.Log();
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "quillon"},
        120);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Mode: text, at the login prompt\nBCP version: 1.2\n");
}

}  // namespace
