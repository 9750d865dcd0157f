// quillon-cli channel and delete-channel run in-process on hand-made
// documents: the images written, the messages in their order, and the
// files left untouched when nothing was written.
#include <gtest/gtest.h>

#include "CliInProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChannelImageHex.h"
#include "cli/CliRunner.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

namespace quillon::cli {
namespace {

using quillon::testing::BytesHex;
using quillon::testing::ImageHex;
using quillon::testing::MakeAnalogue;
using quillon::testing::MakeScan;

using Result = quillon::testing::CliResult;

Result Cli(const std::vector<std::string>& args) {
    return quillon::testing::RunCliInProcess(args);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class CliChannel : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_cli_channel_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "plan.bcf").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Channel 0 and 5 fixed, 9 a scan channel over 5 (twice) and 0, tone F1
    // selecting channel 9.
    void WriteDocument() {
        model::CTmpDoc doc;
        MakeAnalogue(doc.channels[0], "ZERO");
        MakeAnalogue(doc.channels[5], "FIVE");
        MakeScan(doc.channels[9], "SCAN", {0x0005, 0x0000, 0x0005});
        doc.squelchGroups.SetName(2, "THREE");
        doc.squelchGroups.SetItem(2, 0, model::SquGroup::kCtcss, "100.0");
        ASSERT_TRUE(model::SaveDocumentFile(path_, doc).ok());
    }
    model::CTmpDoc Saved() const {
        model::CTmpDoc doc;
        EXPECT_TRUE(model::OpenDocumentFile(path_, doc).ok());
        return doc;
    }
    Result Channel(std::vector<std::string> args) {
        args.insert(args.begin(), {"channel", path_});
        return Cli(args);
    }

    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(CliChannel, AddWritesTheImageTheDialogWould) {
    WriteDocument();
    const Result r =
        Channel({"--add", "--set", "Signal Type=Project 25", "--set", "Mode=Repeater", "--set",
                 "Rx Freq (MHz)=450.0127", "--set", "Tx Freq (MHz)=455.000125", "--set",
                 "Rx NAC=293", "--set", "Tx NAC=AS RX", "--set", "Talkgroup ID=0x0100", "--set",
                 "PTT Tail=.55", "--set", "Name=P25 RPT"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "001 \"P25 RPT\" Project 25 Repeater\n");
    const model::CTmpDoc doc = Saved();
    EXPECT_EQ(ImageHex(doc.channels[1]),
              "00 00 50 32 35 20 52 50 54 20 01 01 04 55 00 00 00 04 50 01 27 50 01 f0 00 02 93 "
              "00 00 00 00 02 01 00 00 00 00 00 01 00 00 50 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00 00 00 06 01 00 00 00 00 00 00 00 00 02 03 00 00");
    // The other channels are as they were.
    EXPECT_EQ(doc.channels[0].NameText(), "ZERO");
    EXPECT_EQ(doc.channels[9].ScanRefCount(), 3);
}

TEST_F(CliChannel, EditWithAGroupAndAnInvertedCode) {
    WriteDocument();
    const Result r =
        Channel({"--edit", "5", "--set", "Squelch System=CDCSS", "--set", "Tx Invert=on", "--set",
                 "Tx CxCSS=731", "--set", "Enable=on", "--set", "Squelch Group=THREE", "--set",
                 "Mode=Basestation", "--set", "Half Duplex=on", "--set", "Power (W)=999"});
    ASSERT_EQ(r.status, 0) << r.err;
    const model::CTmpDoc doc = Saved();
    EXPECT_EQ(ImageHex(doc.channels[5]),
              "00 00 46 49 56 45 20 20 20 20 01 02 04 55 12 50 00 04 50 12 50 00 04 00 00 00 00 "
              "00 47 f0 03 01 01 00 00 00 00 00 00 01 01 25 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 01 00 00 01 00 00 00 00 02 02 03 00 00");
}

TEST_F(CliChannel, FailedChecksSpeakInOrderAndLeaveTheFile) {
    WriteDocument();
    const std::string before = ReadFile(path_);
    const Result r = Channel({"--edit", "0", "--set", "Name=TOOLONGNAME", "--set", "Rx CxCSS=NONE",
                              "--set", "Rx Freq (MHz)=530", "--set", "Tx Freq (MHz)=530"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Channel name must not exceed 8 character(s)\n"
              "Rx CxCSS must be non zero\n"
              "Transmit and receive frequencies must be different unless\n"
              "basestation halfduplex mode selected\n"
              "Receive frequency out of range. Must be between 136 and 520 Mhz\n"
              "Transmit frequency out of range. Must be between 136 and 520 Mhz\n");
    EXPECT_EQ(ReadFile(path_), before);

    // An information message goes to stderr too, and does not fail.
    const Result p = Channel({"--edit", "5", "--set", "Signal Type=Autosense", "--set",
                              "Talkgroup ID=0", "--set", "Rx NAC=1", "--set", "Tx NAC=2"});
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.err, "Tgid has been changed from 0 (illegal) to 1\n");
    EXPECT_EQ(BytesHex(Saved().channels[5], model::off::kTalkgroupId, 2), "00 01");
}

TEST_F(CliChannel, RefusedInputChangesNothing) {
    WriteDocument();
    const std::string before = ReadFile(path_);
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"--edit", "0", "--set", "Colour=red"},
         "quillon-cli channel: unknown label \"Colour\" (see quillon-cli channel --help)\n"},
        {{"--edit", "0", "--set", "Power (W)"},
         "quillon-cli channel: --set \"Power (W)\" has no value (LABEL=VALUE)\n"},
        {{"--edit", "0", "--set", "Key ID=0x0001"},
         "quillon-cli channel: Key ID is disabled by the channel's other settings\n"},
        {{"--edit", "0", "--set", "Mode=Relay"},
         "quillon-cli channel: \"Relay\" is no value for Mode (it is one of Repeater, "
         "Basestation)\n"},
        {{"--edit", "0", "--set", "Link Radio=yes"},
         "quillon-cli channel: \"yes\" is no value for Link Radio (on or off)\n"},
        {{"--edit", "0", "--set", "Half Duplex=on"},
         "quillon-cli channel: Half Duplex is disabled by the channel's other settings\n"},
        {{"--edit", "0", "--set", "Power (W)=12a"},
         "quillon-cli channel: \"12a\" is no value for Power (W)\n"},
        {{"--edit", "0", "--set", "Rx CxCSS=AS RX"},
         "quillon-cli channel: \"AS RX\" is no value for Rx CxCSS\n"},
        {{"--edit", "0", "--set", "Number=7"},
         "quillon-cli channel: Number cannot be changed when editing a channel\n"},
        {{"--edit", "0", "--set", "Scan=5:1.0"},
         "quillon-cli channel: Scan is disabled by the channel's other settings\n"},
        {{"--edit", "0", "--set", "Type=Scan", "--set", "Scan=0:1.0"},
         "quillon-cli channel: \"0:1.0\" is no value for Scan (a fixed channel other than this "
         "one, and a dwell time of 0 to 9.9 s)\n"},
        {{"--edit", "3"}, "quillon-cli channel: channel 3 is not in use\n"},
        {{"--edit", "512"}, "quillon-cli channel: \"512\" is no channel number (0 to 511)\n"},
        {{}, "quillon-cli channel: give either --add or --edit N\n"},
        {{"--add", "--edit", "0"}, "quillon-cli channel: give either --add or --edit N\n"},
    };
    for (const auto& c : cases) {
        const Result r = Channel(c.args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(ReadFile(path_), before);
}

TEST_F(CliChannel, QuestionsAreAnsweredByYes) {
    WriteDocument();
    const std::string before = ReadFile(path_);
    const std::vector<std::string> overwrite = {"--add",
                                                "--set",
                                                "Number=5",
                                                "--set",
                                                "Rx Freq (MHz)=451",
                                                "--set",
                                                "Tx Freq (MHz)=456",
                                                "--set",
                                                "Rx CxCSS=67",
                                                "--set",
                                                "Tx CxCSS=67"};
    Result r = Channel(overwrite);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "This channel is in use.Overwrite?\n");
    EXPECT_EQ(ReadFile(path_), before);
    std::vector<std::string> yes = overwrite;
    yes.push_back("--yes");
    r = Channel(yes);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "005 \"Chan001\" Wideband Analogue Basestation\n");
    EXPECT_EQ(BytesHex(Saved().channels[5], model::off::kRxFrequency, 5), "04 51 00 00 00");

    // A channel that scan channels refer to becomes a scan channel only with
    // its references gone.
    const std::vector<std::string> toScan = {"--edit", "5",          "--set", "Type=Scan",
                                             "--set",  "Scan=0:0.5", "--set", "Scan=0:1"};
    r = Channel(toScan);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Warning! About to delete all references to this channel, continue?\n\n"
              "2 reference(s) to this channel found in scanning channels.\n\n\n");
    yes = toScan;
    yes.push_back("--yes");
    r = Channel(yes);
    ASSERT_EQ(r.status, 0) << r.err;
    const model::CTmpDoc doc = Saved();
    // The bytes after the valid references stay as they were.
    EXPECT_EQ(BytesHex(doc.channels[5], 2, 18),
              "43 68 61 6e 30 30 31 20 02 00 00 05 00 00 10 04 51 00");
    EXPECT_EQ(BytesHex(doc.channels[5], model::off::kScanRefCount, 2), "02 00");
    EXPECT_EQ(BytesHex(doc.channels[9], 11, 3), "00 00 25");
    EXPECT_EQ(BytesHex(doc.channels[9], model::off::kScanRefCount, 2), "01 00");
}

TEST_F(CliChannel, AddOnAFullTableSaysSo) {
    model::CTmpDoc doc;
    for (int c = 0; c < model::kChannelCount; ++c) {
        MakeAnalogue(doc.channels[c], "F");
    }
    ASSERT_TRUE(model::SaveDocumentFile(path_, doc).ok());
    const Result r = Channel({"--add"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Cannot add anymore channels. The channel table is full!\n");
}

TEST_F(CliChannel, HelpListsEveryLabelWithItsValues) {
    const Result r = Cli({"channel", "--help"});
    ASSERT_EQ(r.status, 0);
    for (const char* line :
         {"  Rx Freq (MHz)                                136 to 520, rounded to 250 Hz\n",
          "  Tx NAC                                       0x001 to 0xfff, AS RX, NONE\n",
          "  Signal Type                                  Analogue, Project 25, Autosense, "
          "CVSD/DES-XL\n",
          "  Transmit Type                                Analog, Digital\n",
          "  Tx AS Rx                                     on, off\n",
          "  Courtesy Tone                                None, 400 Hz, 1000 Hz, 2500 Hz\n"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    }
    for (const char* label : {"Type",           "Name",          "Number",
                              "Mode",           "Control",       "Bandwidth",
                              "Squelch System", "Squelch Group", "Enable",
                              "Rx NAC",         "Rx CxCSS",      "Tx CxCSS",
                              "Rx Invert",      "Tx Invert",     "Talkgroup ID",
                              "Unit ID",        "Key ID",        "Algorithm ID",
                              "Power (W)",      "Squelch Level", "PTT Timeout",
                              "PTT Tail",       "PTT Delay",     "Tail (sec)",
                              "Link Radio",     "Half Duplex",   "Enable Front Panel PTT",
                              "Reverse Burst",  "Scan"}) {
        EXPECT_NE(r.out.find("\n  " + std::string(label) + " "), std::string::npos) << label;
    }
}

TEST_F(CliChannel, DeleteChannelKeepsOrDeletesReferences) {
    WriteDocument();
    const std::string before = ReadFile(path_);
    Result r = Cli({"delete-channel", path_, "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Delete references to channel 5: Warning! About to delete all references to this "
              "channel, continue?\n\n2 reference(s) to this channel found in scanning "
              "channels.\n\n\n"
              "quillon-cli delete-channel: channel 5 kept: it is referred to (--references delete "
              "removes the references too)\n");
    EXPECT_EQ(ReadFile(path_), before);

    // Channel 5 alone: scan channel 9 keeps its other reference.
    r = Cli({"delete-channel", path_, "5", "--references", "delete"});
    EXPECT_EQ(r.status, 0) << r.err;
    model::CTmpDoc doc = Saved();
    EXPECT_FALSE(doc.channels[5].IsUsed());
    EXPECT_EQ(ImageHex(doc.channels[5]), ImageHex(model::CChannel()));
    EXPECT_TRUE(doc.channels[9].IsUsed());

    // Its last one: a scan channel with nothing to scan goes too, and says so.
    r = Cli({"delete-channel", path_, "0", "--references", "delete"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("These scanning channels had no channel left to scan and were deleted "
                         "too: 009"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Saved().channels.UsedCount(), 0);

    const std::string empty = ReadFile(path_);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"delete-channel", path_, "9"},
             {"delete-channel", path_, "x"},
             {"delete-channel", path_, "1", "--references", "maybe"},
         }) {
        r = Cli(args);
        EXPECT_EQ(r.status, 2) << args.back();
    }
    EXPECT_EQ(Cli({"delete-channel", path_, "9"}).err,
              "quillon-cli delete-channel: channel 9 is not in use\n");
    EXPECT_EQ(ReadFile(path_), empty);
}

}  // namespace
}  // namespace quillon::cli
