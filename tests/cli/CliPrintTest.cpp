// quillon-cli print run in-process: the PDF's pages, their sizes and titles,
// and the refusals.
#include <gtest/gtest.h>

#include "CliInProcess.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PdfProbe.h"
#include "cli/CliRunner.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

namespace quillon::cli {
namespace {

using quillon::testing::PdfMediaBoxes;
using quillon::testing::PdfPageCount;
using quillon::testing::PdfText;
using quillon::testing::ReadBytes;

using Result = quillon::testing::CliResult;

Result Cli(const std::vector<std::string>& args) {
    return quillon::testing::RunCliInProcess(args);
}

class CliPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quillon-print-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // 5 fixed channels (0..4) and 13 scan channels (20..32), saved as `name`.
    std::string SaveFiveAndThirteen(const std::string& name, const std::string& key = "") {
        model::CTmpDoc doc;
        for (int c = 0; c < 5; ++c) {
            doc.channels[c].SetKind(model::ChannelKind::Fixed);
            doc.channels[c].SetNameBytes("FIX" + std::to_string(c));
        }
        for (int c = 20; c < 33; ++c) {
            doc.channels[c].SetKind(model::ChannelKind::Scan);
            doc.channels[c].SetNameBytes("SCN" + std::to_string(c));
        }
        if (!key.empty()) {
            doc.keys.Add(key, 0x21);
            doc.channels[0].SetWord(model::off::kTxKeyId, 0x0021);
        }
        const std::string path = Path(name);
        EXPECT_TRUE(model::SaveDocumentFile(path, doc).ok());
        return path;
    }

    std::string dir_;
};

const char* const kFourTitles =
    "plan.bcf - Fixed Channels - Page 1 of 4\n"
    "plan.bcf - Fixed Channels - Page 2 of 4\n"
    "plan.bcf - Scan Channels - Page 3 of 4\n"
    "plan.bcf - Scan Channels - Page 4 of 4\n";

TEST_F(CliPrint, FiveFixedAndThirteenScanChannelsOnLetterMakeFourPages) {
    const std::string bcf = SaveFiveAndThirteen("plan.bcf");
    const std::string pdf = Path("out.pdf");
    const Result r = Cli({"print", bcf, pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kFourTitles);

    const std::string bytes = ReadBytes(pdf);
    ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(bytes.find("%%EOF", bytes.size() - 16), std::string::npos);
    EXPECT_EQ(PdfPageCount(bytes), 4);
    const auto boxes = PdfMediaBoxes(bytes);
    ASSERT_EQ(boxes.size(), 4u);
    for (const auto& b : boxes) {
        EXPECT_NEAR(b.width, 612.0, 0.5);  // 8.5 x 11 inches
        EXPECT_NEAR(b.height, 792.0, 0.5);
    }

    const auto text = PdfText(pdf);
    if (!text) {
        GTEST_SKIP() << "no PDF text tool installed; page count and sizes checked";
    }
    size_t at = 0;
    for (const char* title :
         {"plan.bcf - Fixed Channels - Page 1 of 4", "plan.bcf - Fixed Channels - Page 2 of 4",
          "plan.bcf - Scan Channels - Page 3 of 4", "plan.bcf - Scan Channels - Page 4 of 4"}) {
        const size_t found = text->find(title, at);
        EXPECT_NE(found, std::string::npos) << title << "\nin:\n" << *text;
        at = found == std::string::npos ? at : found;
    }
    EXPECT_NE(text->find("FIX3"), std::string::npos);
    EXPECT_NE(text->find("SCN32"), std::string::npos);
    EXPECT_NE(text->find("TX Algorithmn ID"), std::string::npos);
}

TEST_F(CliPrint, A4LandscapeIsPrintedUprightOnA4) {
    const std::string bcf = SaveFiveAndThirteen("plan.bcf");
    const std::string pdf = Path("a4.pdf");
    const Result r = Cli({"print", bcf, pdf, "--paper", "a4", "--landscape"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Turned upright, A4's 61 rows take two fixed blocks (8 channels) and
    // three scan blocks (12): three pages.
    EXPECT_EQ(r.out,
              "plan.bcf - Fixed Channels - Page 1 of 3\n"
              "plan.bcf - Scan Channels - Page 2 of 3\n"
              "plan.bcf - Scan Channels - Page 3 of 3\n");
    const std::string bytes = ReadBytes(pdf);
    EXPECT_EQ(PdfPageCount(bytes), 3);
    const auto boxes = PdfMediaBoxes(bytes);
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& b : boxes) {
        EXPECT_NEAR(b.width, 595.3, 0.6);  // 210 x 297 mm, portrait
        EXPECT_NEAR(b.height, 841.9, 0.6);
    }
}

TEST_F(CliPrint, KeysAreNotInThePdf) {
    const std::string key = "13579bdf02468ace";
    const std::string bcf = SaveFiveAndThirteen("plan.bcf", key);
    const std::string pdf = Path("out.pdf");
    ASSERT_EQ(Cli({"print", bcf, pdf}).status, 0);
    EXPECT_EQ(ReadBytes(pdf).find(key), std::string::npos);
    const auto text = PdfText(pdf);
    if (!text) {
        GTEST_SKIP() << "no PDF text tool installed";
    }
    EXPECT_NE(text->find("0x0021"), std::string::npos);  // the key's id is printed
    EXPECT_EQ(text->find(key), std::string::npos);
    EXPECT_EQ(text->find("13579"), std::string::npos);
}

TEST_F(CliPrint, NothingToPrintExitsOneAndWritesNothing) {
    model::CTmpDoc empty;
    const std::string bcf = Path("empty.bcf");
    ASSERT_TRUE(model::SaveDocumentFile(bcf, empty).ok());
    const std::string pdf = Path("out.pdf");
    const Result r = Cli({"print", bcf, pdf});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No channels to print!\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(CliPrint, BadCommandLinesAndFilesAreRefused) {
    const std::string bcf = SaveFiveAndThirteen("plan.bcf");
    const std::string pdf = Path("out.pdf");

    Result r = Cli({"print", bcf, pdf, "--paper", "legal"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "print: --paper must be letter or a4, not 'legal'\n");
    EXPECT_EQ(Cli({"print", bcf}).status, 2);
    EXPECT_EQ(Cli({"print", bcf, pdf, "--landscape=yes"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    // Not a document: the reader's own message, status 2.
    const std::string csv = Path("plan.csv");
    {
        std::FILE* f = std::fopen(csv.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("Channel Number,Channel Name\n", f);
        std::fclose(f);
    }
    r = Cli({"print", csv, pdf});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err, "");
    EXPECT_FALSE(std::filesystem::exists(pdf));

    // A PDF that cannot be written.
    r = Cli({"print", bcf, Path("no/such/folder/out.pdf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quillon::cli
