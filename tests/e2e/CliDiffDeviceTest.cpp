// quillon-cli diff --device against quillon-sim on its pseudo-terminal:
// after a send the card holds the document (exit 0); another document
// shows what a send of it would change (exit 1); no file is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "E2eSupport.h"

namespace {

namespace e2e = quillon::testing;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

const std::string kData = QUILLON_TEST_DATA_DIR "/cli/";

TEST(CliDiffDevice, AfterASendTheCardHoldsTheDocument) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    const std::string csv = card.Dir() + "/plan.csv";
    const std::string sent = card.Dir() + "/sent.bcf";
    const std::string cli = BinaryPath("quillon-cli");
    ASSERT_EQ(e2e::Run({cli, "export-csv", kData + "plan.bcf", csv}, 60).status, 0);
    ASSERT_EQ(e2e::Run({cli, "import-csv", csv, sent}, 60).status, 0);
    auto r = e2e::Run({cli, "send", "--device", card.Link(), "--password", "quillon", sent}, 300);
    ASSERT_EQ(r.status, 0) << r.err;

    const auto filesBefore = std::distance(std::filesystem::directory_iterator(card.Dir()),
                                           std::filesystem::directory_iterator());
    r = e2e::Run({cli, "diff", "--device", card.Link(), "--password", "quillon", sent}, 300);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "No differences.\n");

    // plan.bcf itself: what sending it would change, card value first.
    r = e2e::Run(
        {cli, "diff", "--device", card.Link(), "--password", "quillon", kData + "plan.bcf"}, 300);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("Radio Wide Settings Front Panel Audio Level: 10 -> 12\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(card.Dir()),
                            std::filesystem::directory_iterator()),
              filesBefore);

    // A wrong password: nothing compared, exit 2.
    r = e2e::Run({cli, "diff", "--device", card.Link(), "--password", "nope", sent}, 120);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
}

}  // namespace
