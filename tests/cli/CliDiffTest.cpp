// quillon-cli diff on two documents: the lines, the count, the JSON form and
// the exit statuses scripts rely on (0 equal, 1 different, 2 error).
#include <gtest/gtest.h>

#include "CliInProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ChannelImageHex.h"
#include "cli/CliRunner.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

namespace quillon::cli {
namespace {

using quillon::testing::MakeAnalogue;

using Result = quillon::testing::CliResult;

Result Cli(const std::vector<std::string>& args) {
    return quillon::testing::RunCliInProcess(args);
}

class CliDiff : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_cli_diff_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        // Channel 12 on 450.125000 MHz receive, key 0x00a.
        MakeAnalogue(base_.channels[12], "TWELVE");
        base_.keys.Add("0123456789abcdef", 0x00a);
        Save(base_, "a.bcf");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Save(model::CTmpDoc doc, const std::string& name) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(model::SaveDocumentFile(path, doc).ok());
        return path;
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
    model::CTmpDoc base_;
};

TEST_F(CliDiff, EqualDocumentsExitZero) {
    model::CTmpDoc same = base_;
    same.docText1 = "a remark of no weight";
    Save(same, "b.bcf");
    const Result r = Cli({"diff", Path("a.bcf"), Path("b.bcf")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "No differences.\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliDiff, OneLinePerFieldGroupedByChannelAndACount) {
    model::CTmpDoc b = base_;
    b.channels[12].SetByte(model::off::kRxFrequency + 2, 0x02);  // 450.025000
    b.channels[12].SetByte(model::off::kPowerWatts + 1, 0x25);
    MakeAnalogue(b.channels[3], "THREE");
    b.channels[3].SetNumber(3);
    b.keys.Clear();
    b.keys.Add("0123456789abcdee", 0x00a);
    b.frontPanelVolume = "4";
    Save(b, "b.bcf");
    const Result r = Cli({"diff", Path("a.bcf"), Path("b.bcf")});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string expectedTail =
        "Channel 012 Rx Freq (MHz): 450.125000 -> 450.025000\n"
        "Channel 012 Power (W): 50 -> 25\n"
        "Key ID 0x00a Key: present -> changed\n"
        "Radio Wide Settings Front Panel Audio Level: 10 -> 4\n";
    ASSERT_GT(r.out.size(), expectedTail.size());
    // Channel 3 comes first, then 12, then the rest, then the count.
    EXPECT_EQ(r.out.rfind("Channel 003 Number: 000 -> 003\n", 0), 0u) << r.out;
    const size_t twelve = r.out.find("Channel 012 ");
    ASSERT_NE(twelve, std::string::npos);
    EXPECT_EQ(r.out.find("Channel 003", twelve), std::string::npos);
    EXPECT_NE(r.out.find(expectedTail), std::string::npos) << r.out;
    // Every line is one difference, and the count says how many.
    size_t lines = 0;
    for (char c : r.out) {
        lines += c == '\n' ? 1 : 0;
    }
    EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1),
              std::to_string(lines - 1) + " differences.\n");
    EXPECT_EQ(r.out.find("0123456789abcde"), std::string::npos);
}

TEST_F(CliDiff, JsonHoldsTheSameDifferences) {
    model::CTmpDoc b = base_;
    b.channels[12].SetNameBytes("DOZEN");
    Save(b, "b.bcf");
    const Result r = Cli({"diff", Path("a.bcf"), Path("b.bcf"), "--json"});
    EXPECT_EQ(r.status, 1);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["equal"], false);
    EXPECT_EQ(j["count"], 1);
    ASSERT_EQ(j["differences"].size(), 1u);
    const nlohmann::json& d = j["differences"][0];
    EXPECT_EQ(d["section"], "channel");
    EXPECT_EQ(d["index"], 12);
    EXPECT_EQ(d["where"], "Channel 012");
    EXPECT_EQ(d["field"], "Name");
    EXPECT_EQ(d["old"], "TWELVE");
    EXPECT_EQ(d["new"], "DOZEN");

    const Result same = Cli({"diff", "--json", Path("a.bcf"), Path("a.bcf")});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "{\n  \"equal\": true,\n  \"count\": 0,\n  \"differences\": [\n  ]\n}\n");
}

TEST_F(CliDiff, ErrorsExitTwo) {
    Result r = Cli({"diff", Path("a.bcf"), Path("missing.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.bcf"), std::string::npos);
    std::FILE* f = std::fopen(Path("junk.bcf").c_str(), "wb");
    std::fputs("\x0aveltp_v3_5\x01", f);
    std::fclose(f);
    r = Cli({"diff", Path("junk.bcf"), Path("a.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    // The command line: two documents, or one with --device.
    r = Cli({"diff", Path("a.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: quillon-cli diff A.bcf [B.bcf]"), std::string::npos) << r.err;
    r = Cli({"diff", "--device", "/dev/null", Path("a.bcf"), Path("a.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("with --device"), std::string::npos) << r.err;
    r = Cli({"diff", Path("a.bcf"), Path("a.bcf"), Path("a.bcf")});
    EXPECT_EQ(r.status, 2);
    r = Cli({"diff", "--password", "x", Path("a.bcf"), Path("a.bcf")});
    EXPECT_EQ(r.status, 2);
}

TEST_F(CliDiff, DeviceThatDoesNotOpenIsAnErrorNotADifference) {
    const Result r =
        Cli({"diff", "--device", Path("no-such-device"), Path("a.bcf"), "--password", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
}

}  // namespace
}  // namespace quillon::cli
