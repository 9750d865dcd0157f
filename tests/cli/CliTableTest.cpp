// quillon-cli's command table run in-process: help, usage errors and the
// document commands.
#include <gtest/gtest.h>

#include "CliInProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliRunner.h"
#include "cli/CmdParams.h"

namespace quillon::cli {
namespace {

using Result = quillon::testing::CliResult;

Result Cli(const std::vector<std::string>& args) {
    return quillon::testing::RunCliInProcess(args);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::string kData = std::string(QUILLON_TEST_DATA_DIR) + "/cli/";

TEST(CliTable, EveryCommandAnswersHelpWithItsUsage) {
    ASSERT_EQ(CliCommands().size(), 16u);
    for (const CliCommand& c : CliCommands()) {
        for (const char* help : {"--help", "-h"}) {
            const Result r = Cli({c.name, help});
            EXPECT_EQ(r.status, 0) << c.name;
            EXPECT_EQ(r.out.rfind("Usage: quillon-cli " + Usage(c) + "\n\n" + c.summary + "\n", 0),
                      0u)
                << r.out;
            EXPECT_EQ(r.err, "") << c.name;
        }
        // Help wins over whatever else the line holds.
        EXPECT_EQ(Cli({c.name, "a", "--help", "b", "c"}).status, 0) << c.name;
        EXPECT_EQ(Cli({"help", c.name}).out, Cli({c.name, "--help"}).out) << c.name;
    }
}

TEST(CliTable, UsagesAndOneHelpAsWritten) {
    std::vector<std::string> usages;
    for (const CliCommand& c : CliCommands()) {
        usages.push_back(Usage(c));
    }
    EXPECT_EQ(usages,
              (std::vector<std::string>{
                  "dump FILE.bcf", "build FILE.json OUT.bcf",
                  "diff A.bcf [B.bcf] [--device PATH] [--password PW] [--json]",
                  "export-csv FILE.bcf OUT.csv", "import-csv IN.csv OUT.bcf [--base FILE.bcf]",
                  "list FILE.bcf", "new OUT.bcf",
                  "channel FILE.bcf [--add] [--edit N] [--set \"LABEL=VALUE\" ...] [--yes]",
                  "delete-channel FILE.bcf N... [--references delete|keep]",
                  "print FILE.bcf OUT.pdf [--paper letter|a4] [--landscape]",
                  "get --device PATH [--password PW] [--dial NUMBER] [--log[=FILE]] OUT.bcf",
                  "send --device PATH [--password PW] [--dial NUMBER] [--log[=FILE]] "
                  "[--erase-keys] [--backup DIR] [--verify] FILE.bcf",
                  "exit-binary --device PATH [--log[=FILE]]",
                  "probe --device PATH [--password PW] [--dial NUMBER] [--log[=FILE]]",
                  "change-password --device PATH --old OLD --new NEW [--log[=FILE]]",
                  "params --device PATH [--password PW] [--set NAME=VALUE ...] [--log[=FILE]]"}));
    const Result r = Cli({"import-csv", "--help"});
    EXPECT_EQ(r.out,
              "Usage: quillon-cli import-csv IN.csv OUT.bcf [--base FILE.bcf]\n"
              "\n"
              "import a CSV channel table into a new or a base document\n"
              "\n"
              "Arguments:\n"
              "  IN.csv                                       the CSV file to read\n"
              "  OUT.bcf                                      the document to write\n"
              "\n"
              "Options:\n"
              "  --base FILE.bcf                              start from this document instead "
              "of an empty one\n"
              "  -h, --help                                   show this help and exit\n");
}

TEST(CliTable, ProgramHelpAndVersion) {
    Result r = Cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: quillon-cli COMMAND [ARGUMENTS]\n", 0), 0u);
    for (const CliCommand& c : CliCommands()) {
        EXPECT_NE(r.out.find("  " + Usage(c) + " "), std::string::npos) << c.name;
    }
    EXPECT_EQ(Cli({"help"}).out, r.out);
    EXPECT_EQ(Cli({"-h"}).out, r.out);
    r = Cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Quillon Radio Programmer - Version 2.7\n");
    // No command at all: the overview, as an error.
    r = Cli({});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, Cli({"--help"}).out);
}

TEST(CliTable, WrongCommandLinesAreUsageErrorsOnStderr) {
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"frobnicate"}, "quillon-cli: unknown command 'frobnicate' (try --help)\n"},
        {{"--frobnicate"}, "quillon-cli: Unknown option 'frobnicate'. (try --help)\n"},
        {{"dump", "--frobnicate", "x.bcf"},
         "quillon-cli dump: Unknown option 'frobnicate'.\nUsage: quillon-cli dump FILE.bcf\n"},
        {{"dump"}, "quillon-cli dump: FILE.bcf is missing\nUsage: quillon-cli dump FILE.bcf\n"},
        {{"export-csv", "a.bcf"},
         "quillon-cli export-csv: OUT.csv is missing\n"
         "Usage: quillon-cli export-csv FILE.bcf OUT.csv\n"},
        {{"new", "a.bcf", "b.bcf"},
         "quillon-cli new: unexpected argument 'b.bcf'\nUsage: quillon-cli new OUT.bcf\n"},
        {{"import-csv", "a.csv", "b.bcf", "--base"},
         "quillon-cli import-csv: Missing value after '--base'.\n"
         "Usage: quillon-cli import-csv IN.csv OUT.bcf [--base FILE.bcf]\n"},
        {{"import-csv", "a.csv", "b.bcf", "--base", "c.bcf", "--base=d.bcf"},
         "quillon-cli import-csv: --base given more than once\n"
         "Usage: quillon-cli import-csv IN.csv OUT.bcf [--base FILE.bcf]\n"},
        {{"probe", "--password", "pw"},
         "quillon-cli probe: --device is required\n"
         "Usage: quillon-cli probe --device PATH [--password PW] [--dial NUMBER] [--log[=FILE]]\n"},
        {{"probe", "--device", "/dev/null", "extra"},
         "quillon-cli probe: unexpected argument 'extra'\n"
         "Usage: quillon-cli probe --device PATH [--password PW] [--dial NUMBER] [--log[=FILE]]\n"},
        {{"change-password", "--device", "/dev/null", "--new", "b"},
         "quillon-cli change-password: --old is required\n"
         "Usage: quillon-cli change-password --device PATH --old OLD --new NEW [--log[=FILE]]\n"},
        {{"change-password", "--device", "/dev/null", "--old", "a", "--new", "b", "--new", "c"},
         "quillon-cli change-password: --new given more than once\n"
         "Usage: quillon-cli change-password --device PATH --old OLD --new NEW [--log[=FILE]]\n"},
        {{"params", "--device", "/dev/null", "--set"},
         "quillon-cli params: Missing value after '--set'.\n"
         "Usage: quillon-cli params --device PATH [--password PW] [--set NAME=VALUE ...] "
         "[--log[=FILE]]\n"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "") << c.err;
    }
    // Every command refuses an option it does not know.
    for (const CliCommand& c : CliCommands()) {
        const Result r = Cli({c.name, "--no-such-option"});
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_NE(r.err.find("Usage: quillon-cli " + Usage(c) + "\n"), std::string::npos) << r.err;
    }
}

// --- The card's settings: what is refused before the card is touched ----------------

// A device that cannot be opened: a command that got as far as the card
// would say so, so its absence from the output shows the card was never
// reached.
const char* kNoDevice = "/nonexistent/quillon-card";
const char* kNotOpened = "could not be opened";

TEST(CliCardSettings, ParamsRefusesEveryBadSettingBeforeTheCard) {
    const struct {
        std::vector<std::string> sets;
        const char* err;
    } cases[] = {
        {{"ee_fpvol=11"},
         "quillon-cli params: \"11\" is no value for ee_fpvol, the front panel audio level (1 "
         "to 10)\n"},
        {{"ee_fpvol=0"},
         "quillon-cli params: \"0\" is no value for ee_fpvol, the front panel audio level (1 to "
         "10)\n"},
        {{"ee_fpmon=2"},
         "quillon-cli params: \"2\" is no value for ee_fpmon, the front panel audio monitor (0 "
         "or 1)\n"},
        {{"ee_bpnl_output=4"},
         "quillon-cli params: \"4\" is no value for ee_bpnl_output, the rear serial output (0 "
         "to 3)\n"},
        {{"ee_dflt_chan=512"},
         "quillon-cli params: \"512\" is no value for ee_dflt_chan, the default channel (0 to "
         "511, or 0xFFFF for none)\n"},
        {{"ee_dflt_chan=-1"},
         "quillon-cli params: \"-1\" is no value for ee_dflt_chan, the default channel (0 to "
         "511, or 0xFFFF for none)\n"},
        // A line end would reach the card's command line as a second command.
        {{"ee_fpvol=5\r\nwct"},
         "quillon-cli params: \"5\\r\\nwct\" is no value for ee_fpvol, the front panel audio "
         "level (1 to 10)\n"},
        {{"ee_fpvol="},
         "quillon-cli params: \"\" is no value for ee_fpvol, the front panel audio level (1 to "
         "10)\n"},
        {{"ee_fpvol"}, "quillon-cli params: --set ee_fpvol has no value (NAME=VALUE)\n"},
        {{"volume=5"},
         "quillon-cli params: unknown parameter \"volume\" (it is one of ee_fpmon, ee_fpvol, "
         "ee_bpnl_output, ee_dflt_chan)\n"},
        // One bad value among good ones sets none of them.
        {{"ee_fpvol=5", "ee_fpmon=1", "EE_FPMON=1"},
         "quillon-cli params: unknown parameter \"EE_FPMON\" (it is one of ee_fpmon, ee_fpvol, "
         "ee_bpnl_output, ee_dflt_chan)\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"params", "--device", kNoDevice, "--password", "pw"};
        for (const std::string& s : c.sets) {
            args.push_back("--set");
            args.push_back(s);
        }
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    // Good settings get as far as the device.
    const Result r =
        Cli({"params", "--device", kNoDevice, "--password", "pw", "--set", "ee_fpvol=1", "--set",
             "ee_dflt_chan=0xffff", "--set", "ee_dflt_chan=511"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(kNotOpened), std::string::npos) << r.err;
}

TEST(CliCardSettings, ParseParameterSettingsKeepsTheLastValueOfEachGivenParameter) {
    ParameterSettings p = ParseParameterSettings({});
    EXPECT_EQ(p.mask, 0u);
    EXPECT_EQ(p.problem, "");

    p = ParseParameterSettings(
        {"ee_dflt_chan=0xffff", "ee_fpmon=0", "ee_fpmon=1", "ee_bpnl_output=3"});
    EXPECT_EQ(p.problem, "");
    EXPECT_EQ(p.mask, 0b1101u);
    EXPECT_EQ(p.values[0], "1");
    EXPECT_EQ(p.values[1], "");
    EXPECT_EQ(p.values[2], "3");
    EXPECT_EQ(p.values[3], "0xFFFF");  // as the card is sent "none"

    p = ParseParameterSettings({"ee_dflt_chan=0", "ee_fpvol=10"});
    EXPECT_EQ(p.problem, "");
    EXPECT_EQ(p.mask, 0b1010u);
    EXPECT_EQ(p.values[1], "10");
    EXPECT_EQ(p.values[3], "0");
}

TEST(CliCardSettings, ChangePasswordRefusesWhatTheDialogRefusesBeforeTheCard) {
    const struct {
        const char* oldPassword;
        const char* newPassword;
        const char* err;
    } cases[] = {
        {"quillon", "", "Please enter new password.\n"},
        {"same", "same", "Old and new passwords must be different.\n"},
    };
    for (const auto& c : cases) {
        const Result r = Cli({"change-password", "--device", kNoDevice, "--old", c.oldPassword,
                              "--new", c.newPassword});
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    // The old password may be empty; the device is then opened.
    const Result r = Cli({"change-password", "--device", kNoDevice, "--old", "", "--new", "n3w"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(kNotOpened), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("n3w"), std::string::npos);
}

class CliDocumentInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_cli_table_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(CliDocumentInProcess, DumpPrintsTheDocumentAsJson) {
    // plan.json holds the dump of plan.bcf as the earlier, hand-built writer
    // printed it: 8-bit texts as \u00XX, the lists one entry per line; and
    // since plan.bcf stores 2 channels, not 512, the count that build needs
    // to write it again.
    const Result r = Cli({"dump", kData + "plan.bcf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string expected = ReadFile(kData + "plan.json");
    ASSERT_EQ(expected.size(), 117276u);
    EXPECT_EQ(r.out, expected);
    EXPECT_NE(r.out.find("  \"docText1\": \"\\u00e9\\u0001\\t\\n\",\n"), std::string::npos);
    EXPECT_NE(
        r.out.find("    {\"number\": 0, \"kind\": 1, \"name\": \"B\\u00c4\\\"\\\\\", \"image\""),
        std::string::npos);
}

TEST_F(CliDocumentInProcess, ListIsForReadingAndNeverShowsAKey) {
    const Result r = Cli({"list", kData + "plan.bcf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::string groups;
    for (int g = 1; g <= 16; ++g) {
        groups += "  " + std::to_string(g) + " G" + std::to_string(g) + "\n      NAC  0x293\n";
    }
    EXPECT_EQ(r.out,
              "Channels (2):\n"
              "  000 \"B\xc3\x84\"\\\" Wideband Analogue\n"
              "  001 \"SCAN1\" Scanning Channel\n"
              "\n"
              "Squelch groups (16):\n" +
                  groups +
                  "\n"
                  "Tone remote list (3):\n"
                  "  F1 - 1950Hz Increase Audio\n"
                  "  F2 - 1850Hz Decrease Audio\n"
                  "  F3 - 1750Hz Channel 7\n"
                  "\n"
                  "Encryption key ids (1):\n"
                  "  KID: 0x01a\n"
                  "\n"
                  "Radio-wide settings:\n"
                  "  Front panel monitor (ee_fpmon): 0\n"
                  "  Front panel volume (ee_fpvol): 12\n"
                  "  Rear serial output (ee_bpnl_output): 0\n"
                  "  Default channel (ee_dflt_chan): 0x0003\n");
    EXPECT_EQ(r.out.find("0123456789abcdef"), std::string::npos);

    const Result empty = Cli({"list", Path("missing.bcf")});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "Invalid filename.\n");
}

TEST_F(CliDocumentInProcess, NewThenDumpAndRefusals) {
    ASSERT_EQ(Cli({"new", Path("a.bcf")}).status, 0);
    Result r = Cli({"dump", Path("a.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n  \"keys\": [\n  ]\n}\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n    {\"function\": 4, \"argument\": \"\"}\n  ],\n"), std::string::npos);

    r = Cli({"dump", Path("missing.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Invalid filename.\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliDocumentInProcess, FileNamesKeepEveryByte) {
    // Neither UTF-8 nor anything else: the name must reach the file system
    // as it was typed.
    const std::string name = Path("caf\xe9 \xff.bcf");
    ASSERT_EQ(Cli({"new", name}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(Cli({"export-csv", name, Path("x\x80.csv")}).err,
              "No entries in channel table to export.\n");
    // After "--" a name may begin with a dash.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    const Result r = Cli({"new", "--", "-dash.bcf"});
    std::filesystem::current_path(cwd);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(Path("-dash.bcf")));
}

TEST_F(CliDocumentInProcess, CutPaddedAndGarbledDocumentsAreReadOrRefusedAndNeverChanged) {
    const std::string good = ReadFile(kData + "plan.bcf");
    ASSERT_GT(good.size(), 100u);
    std::vector<std::string> damaged;
    for (size_t n = 0; n < good.size(); n += n < 64 || n + 64 > good.size() ? 1 : 37) {
        damaged.push_back(good.substr(0, n));
    }
    damaged.push_back(good + '\0');
    damaged.push_back(good + std::string(4096, '\xff'));
    std::mt19937 rng(13);
    std::uniform_int_distribution<size_t> at(0, good.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < 120; ++i) {
        std::string g = good;
        for (int k = 1 + i % 8; k > 0; --k) {
            g[at(rng)] = static_cast<char>(value(rng));
        }
        damaged.push_back(g);
    }
    int refused = 0;
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::string path = Path("damaged.bcf");
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << damaged[i];
        }
        for (const char* command : {"dump", "list"}) {
            const Result r = Cli({command, path});
            ASSERT_TRUE(r.status == 0 || r.status == 2) << command << " variant " << i;
            if (r.status == 2) {
                EXPECT_EQ(r.out, "") << command << " variant " << i;
                EXPECT_FALSE(r.err.empty()) << command << " variant " << i;
                refused += 1;
            }
            ASSERT_EQ(ReadFile(path), damaged[i]) << command << " changed variant " << i;
        }
    }
    // Every cut is refused; some garbled bytes are only channel data.
    EXPECT_GE(refused, 2 * static_cast<int>(damaged.size() - 122));
}

}  // namespace
}  // namespace quillon::cli
