// quillon-cli send --backup and --verify against quillon-sim on its
// pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

namespace e2e = quillon::testing;
namespace fs = std::filesystem;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

const std::string kData = QUILLON_TEST_DATA_DIR "/cli/";
const char* kVerified = "Configuration verified: the transceiver holds exactly this document.";

e2e::RunResult Cli(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {BinaryPath("quillon-cli")};
    argv.insert(argv.end(), args.begin(), args.end());
    return e2e::Run(argv, 300);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// plan.bcf's channels in a document whose settings the card accepts.
std::string SendableDocument(const SimCard& card, const std::string& name) {
    const std::string csv = card.Dir() + "/" + name + ".csv";
    const std::string doc = card.Dir() + "/" + name + ".bcf";
    EXPECT_EQ(Cli({"export-csv", kData + "plan.bcf", csv}).status, 0);
    EXPECT_EQ(Cli({"import-csv", csv, doc}).status, 0);
    return doc;
}

TEST(CliGuardedSend, VerifyOnACardThatStoresOneChannelWrongExitsOneAndNamesIt) {
    // Channel 000 is plan.bcf's fixed channel: its receive frequency is spoiled.
    SimCard card({"--store-fault", "0", "--reboot-seconds", "1"});
    ASSERT_TRUE(card.Ready());
    const std::string doc = SendableDocument(card, "sent");

    const auto r = Cli({"send", "--device", card.Link(), "--password", "quillon", "--verify", doc});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Channel table has been written to the Transceiver."), std::string::npos)
        << r.err;
    const std::string line = "Channel 000 Rx Freq (MHz): 465.025000 -> 465.025001";
    EXPECT_NE(r.err.find("The configuration read back from the transceiver differs from this "
                         "document:\n" +
                         line + "\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find(kVerified), std::string::npos);
    EXPECT_EQ(r.out, line + "\n");
}

TEST(CliGuardedSend, BackupKeepsThePreviousConfigurationAndVerifyConfirmsTheNewOne) {
    SimCard card({"--reboot-seconds", "1"});
    ASSERT_TRUE(card.Ready());
    const std::string doc = SendableDocument(card, "sent");
    const std::string before = card.Dir() + "/before.bcf";
    // What the card holds before the Send, as a Get gives it.
    auto r = Cli({"get", "--device", card.Link(), "--password", "quillon", before});
    ASSERT_EQ(r.status, 0) << r.err;

    const std::string backups = card.Dir() + "/backups";
    r = Cli({"send", "--device", card.Link(), "--password", "quillon", "--backup", backups,
             "--verify", doc});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(kVerified), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Channel table has been read"), std::string::npos) << r.err;

    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(backups)) {
        files.push_back(entry.path().string());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(r.out.find("Backup: " + files[0]), std::string::npos) << r.out;
    const std::string name = fs::path(files[0]).filename().string();
    EXPECT_EQ(name.size(), std::string("2026-12-08_1402.bcf").size()) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".bcf");
    // The backup is the card's previous configuration, byte for byte as a
    // Get of it would have saved it.
    EXPECT_EQ(FileBytes(files[0]), FileBytes(before));

    // A second guarded Send backs up what the first one wrote.
    r = Cli({"send", "--device", card.Link(), "--password", "quillon", "--backup", backups, doc});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find(kVerified), std::string::npos);
    std::string second;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(backups)) {
        ++count;
        if (entry.path().string() != files[0]) {
            second = entry.path().string();
        }
    }
    EXPECT_EQ(count, 2u);
    ASSERT_FALSE(second.empty());
    EXPECT_NE(r.out.find("Backup: " + second), std::string::npos) << r.out;
    // It reads as the document that was sent (which holds no keys).
    const std::string listed = Cli({"list", second}).out;
    EXPECT_NE(listed.find("Channels (2):"), std::string::npos) << listed;
    EXPECT_EQ(listed, Cli({"list", doc}).out);
}

TEST(CliGuardedSend, ABackupThatCannotBeReadSendsNothing) {
    SimCard card({"--bad-kind", "--reboot-seconds", "1"});
    ASSERT_TRUE(card.Ready());
    const std::string doc = SendableDocument(card, "sent");
    const std::string backups = card.Dir() + "/backups";
    const auto r = Cli({"send", "--device", card.Link(), "--password", "quillon", "--backup",
                        backups, "--verify", doc});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The transceiver's configuration could not be read for the backup, so "
                         "nothing has been sent."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Channel table has been written"), std::string::npos) << r.err;
    EXPECT_TRUE(!fs::exists(backups) || fs::is_empty(backups));
}

}  // namespace
