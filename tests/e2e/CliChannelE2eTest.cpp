// quillon-cli channel and delete-channel as a script runs them: the real
// executable on files it made, the result read back through dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

using quillon::testing::BinaryPath;
using quillon::testing::RunResult;

class CliChannelE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_e2e_channel_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    RunResult Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), BinaryPath("quillon-cli"));
        return quillon::testing::Run(args, 60);
    }
    // The dump's line of channel n.
    std::string DumpLine(const std::string& name, int n) const {
        const RunResult r = Cli({"dump", Path(name)});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string head = "{\"number\": " + std::to_string(n) + ",";
        const size_t at = r.out.find(head);
        return at == std::string::npos ? std::string()
                                       : r.out.substr(at, r.out.find('\n', at) - at);
    }

    std::filesystem::path dir_;
};

TEST_F(CliChannelE2e, AnAnalogueCdcssRepeaterFromTheCommandLine) {
    ASSERT_EQ(Cli({"new", Path("a.bcf")}).status, 0);
    const RunResult r = Cli({"channel",
                             Path("a.bcf"),
                             "--add",
                             "--set",
                             "Bandwidth=Narrowband",
                             "--set",
                             "Squelch System=CDCSS",
                             "--set",
                             "Rx CxCSS=023",
                             "--set",
                             "Tx Invert=on",
                             "--set",
                             "Tx CxCSS=754",
                             "--set",
                             "Rx Freq (MHz)=460.0125",
                             "--set",
                             "Tx Freq (MHz)=465.0126",
                             "--set",
                             "Mode=Repeater",
                             "--set",
                             "Reverse Burst=on",
                             "--set",
                             "Tail (sec)=0",
                             "--set",
                             "Power (W)=25"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "000 \"Chan000\" Narrowband Analogue Repeater\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(DumpLine("a.bcf", 0),
              "{\"number\": 0, \"kind\": 1, \"name\": \"Chan000 \", \"image\": \""
              "00004368616e303030200103046501250004600125000200000000002300230201000000000000"
              "010025000000000000000000000000000000000000000005000001000000000000010202030000\"},");

    // A failed check leaves the file as it was, byte for byte.
    const std::string before = Read("a.bcf");
    const RunResult bad = Cli({"channel", Path("a.bcf"), "--edit", "0", "--set",
                               "Rx Freq (MHz)=465.0125", "--set", "Rx CxCSS=NONE"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err,
              "Rx CxCSS must be non zero\n"
              "Transmit and receive frequencies must be different unless\n"
              "basestation halfduplex mode selected\n");
    EXPECT_EQ(Read("a.bcf"), before);

    const RunResult gone = Cli({"delete-channel", Path("a.bcf"), "0"});
    EXPECT_EQ(gone.status, 0) << gone.err;
    EXPECT_EQ(DumpLine("a.bcf", 0), "{\"number\": 0, \"kind\": 0, \"name\": \"\", \"image\": \"" +
                                        std::string(44, '0') + "01" + std::string(30, '0') +
                                        "0001" + "0050" + std::string(64, '0') + "0203" +
                                        "0000\"},");
}

}  // namespace
