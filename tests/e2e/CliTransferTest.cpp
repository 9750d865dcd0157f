// quillon-cli send and get against quillon-sim on its pseudo-terminal, in
// real time: the program's whole Send and Get sequences over a serial line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "E2eSupport.h"

namespace {

namespace e2e = quillon::testing;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

const std::string kData = QUILLON_TEST_DATA_DIR "/cli/";

std::string Cli(std::initializer_list<std::string> args, int* status = nullptr) {
    std::vector<std::string> argv = {BinaryPath("quillon-cli")};
    argv.insert(argv.end(), args);
    const auto r = e2e::Run(argv, 300);
    if (status != nullptr) {
        *status = r.status;
    }
    return r.out;
}

// The lines of `dump` that hold the used channels.
std::string UsedChannels(const std::string& dump) {
    std::string used;
    size_t at = 0;
    while ((at = dump.find("{\"number\": ", at)) != std::string::npos) {
        const size_t end = dump.find('\n', at);
        const std::string line = dump.substr(at, end - at);
        if (line.find("\"kind\": 0") == std::string::npos &&
            line.find("\"kind\"") != std::string::npos) {
            used += line + "\n";
        }
        at = end;
    }
    return used;
}

TEST(CliTransfer, SendThenGetBringsBackTheChannelTable) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    // plan.bcf's channels in a document whose settings the card accepts.
    const std::string csv = card.Dir() + "/plan.csv";
    const std::string sent = card.Dir() + "/sent.bcf";
    const std::string got = card.Dir() + "/got.bcf";
    int status = -1;
    Cli({"export-csv", kData + "plan.bcf", csv}, &status);
    ASSERT_EQ(status, 0);
    Cli({"import-csv", csv, sent}, &status);
    ASSERT_EQ(status, 0);

    auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "send", "--device", card.Link(), "--password", "quillon", sent},
        300);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Channel table has been written to the Transceiver.\nTransceiver has "
                         "been rebooted.\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("quillon"), std::string::npos);  // the password is never shown

    r = e2e::Run(
        {BinaryPath("quillon-cli"), "get", "--device", card.Link(), "--password", "quillon", got},
        300);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Channel table has been read from the Transceiver.\n"), std::string::npos);

    // The fixed channel comes back whole; a scan channel carries its
    // references only, so the rest of its image is the card's.
    const std::string before = UsedChannels(Cli({"dump", sent}));
    const std::string after = UsedChannels(Cli({"dump", got}));
    ASSERT_FALSE(before.empty());
    const std::string firstLine = before.substr(0, before.find('\n'));
    EXPECT_EQ(after.substr(0, after.find('\n')), firstLine);
    EXPECT_EQ(Cli({"list", got}).substr(0, 100), Cli({"list", sent}).substr(0, 100));
}

TEST(CliTransfer, WrongPasswordWritesNoDocument) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    const std::string got = card.Dir() + "/got.bcf";
    const auto r = e2e::Run(
        {BinaryPath("quillon-cli"), "get", "--device", card.Link(), "--password", "nope", got},
        120);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Login failed! Maybe you entered the wrong password?"), std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(got));
}

TEST(CliTransfer, ADocumentTheCardCannotTakeIsRefusedBeforeAnythingIsSent) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    // plan.bcf's front panel level is 12, outside the card's 1 to 10.
    const auto r = e2e::Run({BinaryPath("quillon-cli"), "send", "--device", card.Link(),
                             "--password", "quillon", kData + "plan.bcf"},
                            60);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"12\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Nothing has been sent to the Transceiver."), std::string::npos);
}

}  // namespace
