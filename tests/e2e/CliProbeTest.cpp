// quillon-cli probe against quillon-sim on its pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include "E2eSupport.h"

using quillon::testing::BinaryPath;
namespace e2e = quillon::testing;
using quillon::testing::SimCard;

namespace {

TEST(CliProbe, RightPasswordReportsTextModeAndVersion12) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "quillon"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Mode: text, at the login prompt\nBCP version: 1.2\n");
}

TEST(CliProbe, LogsOutSoTheNextRunFindsTheLoginPrompt) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    for (int run = 0; run < 2; ++run) {
        // A session left open would make the second run find "text, logged in".
        const auto r = e2e::Run(
            {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "quillon"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "Mode: text, at the login prompt\nBCP version: 1.2\n") << "run " << run;
    }
}

TEST(CliProbe, PasswordFromTheEnvironment) {
    SimCard card({"--password", "s3cret"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", card.Link()}, 120,
                            {"QUILLON_PASSWORD=s3cret"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("BCP version: 1.2"), std::string::npos);
}

TEST(CliProbe, CtrlCCancelsThroughTheDriver) {
    // A silent card keeps the mode detection trying for over half a minute;
    // Ctrl+C ends it as the progress window's Cancel would.
    SimCard card({"--silent"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "quillon"}, 25,
        {}, 1500);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cancelling...\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Cancelled.\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("A communications error occurred!"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CliProbe, WrongPasswordFails) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Login failed! Maybe you entered the wrong password?"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CliProbe, NewerCardIsRefused) {
    SimCard card({"--version", "1.3"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password", "quillon"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The Programming Software is not compatible with the Transceiver "
                         "Software.\nUpgrade the Programming Software to use with this "
                         "Transceiver."),
              std::string::npos)
        << r.err;
}

TEST(CliProbe, CardInBinaryMode) {
    SimCard card({"--start-binary"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", card.Link()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Mode: binary"), std::string::npos) << r.out;
}

TEST(CliProbe, DeviceThatDoesNotExist) {
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", "/dev/quillon-none"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("You must select a serial port first!"), std::string::npos);
}

}  // namespace
