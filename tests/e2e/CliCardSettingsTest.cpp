// quillon-cli params and change-password against quillon-sim on its
// pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

namespace e2e = quillon::testing;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

const char* kFactory = "ee_fpmon=1\nee_fpvol=10\nee_bpnl_output=1\nee_dflt_chan=0xFFFF\n";
const char* kAtLoginPrompt = "Mode: text, at the login prompt\nBCP version: 1.2\n";

e2e::RunResult Cli(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), BinaryPath("quillon-cli"));
    return e2e::Run(args, 120, env);
}

TEST(CliParams, ReadsSetsOnlyWhatIsGivenReadsBackAndLogsOut) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    auto r = Cli({"params", "--device", card.Link(), "--password", "quillon"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kFactory);

    r = Cli({"params", "--device", card.Link(), "--password", "quillon", "--set", "ee_fpvol=4",
             "--set", "ee_dflt_chan=17", "--set", "ee_fpmon=0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ee_fpmon=0\nee_fpvol=4\nee_bpnl_output=1\nee_dflt_chan=17\n");
    // Neither the table nor a reboot: the card stays up and says nothing of
    // a table, and the password is never shown.
    EXPECT_EQ(r.err.find("Channel table"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Writing channel table"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("quillon"), std::string::npos) << r.err;

    // Kept by the card, read with the password from the environment; each
    // run left the card at its login prompt.
    r = Cli({"params", "--device", card.Link()}, {"QUILLON_PASSWORD=quillon"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ee_fpmon=0\nee_fpvol=4\nee_bpnl_output=1\nee_dflt_chan=17\n");
    r = Cli({"params", "--device", card.Link(), "--password", "quillon", "--set",
             "ee_dflt_chan=0xFFFF"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ee_fpmon=0\nee_fpvol=4\nee_bpnl_output=1\nee_dflt_chan=0xFFFF\n");
    r = Cli({"probe", "--device", card.Link(), "--password", "quillon"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kAtLoginPrompt);
}

TEST(CliParams, AWrongPasswordFailsWithTheLoginMessageAndSetsNothing) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    auto r = Cli({"params", "--device", card.Link(), "--password", "nope", "--set", "ee_fpvol=3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Login failed! Maybe you entered the wrong password?"), std::string::npos)
        << r.err;
    r = Cli({"params", "--device", card.Link(), "--password", "quillon"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kFactory);
}

TEST(CliChangePassword, ChangesItSoOnlyTheNewOneLogsIn) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    auto r =
        Cli({"change-password", "--device", card.Link(), "--old", "quillon", "--new", "s3cret"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Transceiver password has been successfully changed.\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("s3cret"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("quillon"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    r = Cli({"probe", "--device", card.Link(), "--password", "quillon"});
    EXPECT_EQ(r.status, 1);
    // The change left the card at its login prompt.
    r = Cli({"probe", "--device", card.Link(), "--password", "s3cret"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kAtLoginPrompt);
}

TEST(CliChangePassword, AWrongOldPasswordChangesNothing) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    auto r = Cli({"change-password", "--device", card.Link(), "--old", "guess", "--new", "n3w"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Login failed! Maybe you entered the wrong password?"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("successfully"), std::string::npos) << r.err;
    r = Cli({"probe", "--device", card.Link(), "--password", "quillon"});
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
