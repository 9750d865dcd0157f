// quillon-cli with --dial against quillon-sim behind its simulated modem.
#include <gtest/gtest.h>

#include "E2eSupport.h"

using quillon::testing::BinaryPath;
namespace e2e = quillon::testing;
using quillon::testing::SimCard;

namespace {

size_t Count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(CliModem, ProbeDialsFirstAndHangsUpAtTheEnd) {
    SimCard card({"--modem", "--dial-delay-ms", "300", "--guard-ms", "300"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", card.Link(),
                             "--password", "quillon", "--dial", "5551234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Mode: text, at the login prompt\nBCP version: 1.2\n");
    EXPECT_NE(r.err.find("Connection with remote modem successful"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Hangup of modem completed!"), std::string::npos) << r.err;
}

TEST(CliModem, ABusyLineFailsTheCommandBeforeAnythingElseAndNeedsNoHangup) {
    SimCard card({"--modem", "--dial-delay-ms", "300"});
    ASSERT_TRUE(card.Ready());
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "get", "--device", card.Link(),
                             "--password", "quillon", "--dial", "5550002", card.Dir() + "/x.bcf"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error! Connection is busy"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Hangup"), std::string::npos) << r.err;
    EXPECT_EQ(Count(r.err, "Error!"), 1u) << r.err;
}

}  // namespace
