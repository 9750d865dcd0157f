// quillon-cli print as a user runs it on a machine without any display:
// no window system chosen, none to be found.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "E2eSupport.h"
#include "PdfProbe.h"

namespace {

using quillon::testing::BinaryPath;
using quillon::testing::PdfPageCount;
using quillon::testing::ReadBytes;
using quillon::testing::RunResult;

class CliPrintHeadless : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quillon-e2e-print-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The tool with the display and platform variables taken away.
    RunResult Bare(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {
            "/usr/bin/env", "-u", "QT_QPA_PLATFORM", "-u",
            "DISPLAY",      "-u", "WAYLAND_DISPLAY", BinaryPath("quillon-cli")};
        argv.insert(argv.end(), args.begin(), args.end());
        return quillon::testing::Run(argv, 60);
    }

    std::string dir_;
};

TEST_F(CliPrintHeadless, PrintsWithoutADisplay) {
    const std::string bcf = std::string(QUILLON_TEST_DATA_DIR) + "/cli/plan.bcf";
    const std::string pdf = dir_ + "/plan.pdf";
    const RunResult r = Bare({"print", bcf, pdf});
    ASSERT_FALSE(r.timedOut);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "plan.bcf - Fixed Channels - Page 1 of 2\n"
              "plan.bcf - Scan Channels - Page 2 of 2\n");
    EXPECT_EQ(PdfPageCount(ReadBytes(pdf)), 2);
}

TEST_F(CliPrintHeadless, NothingToPrintIsStatusOneWithTheMessage) {
    const std::string bcf = dir_ + "/empty.bcf";
    ASSERT_EQ(Bare({"new", bcf}).status, 0);
    const RunResult r = Bare({"print", bcf, dir_ + "/empty.pdf"});
    EXPECT_EQ(r.status, 1);
    // The message is the last line, whatever the platform said before it.
    const std::string last = "No channels to print!\n";
    ASSERT_GE(r.err.size(), last.size()) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - last.size()), last);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/empty.pdf"));
}

}  // namespace
