// quillon-cli --log: the communication log of a whole Send, and what it must
// never hold.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "E2eSupport.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

namespace {

namespace e2e = quillon::testing;
using quillon::testing::BinaryPath;
using quillon::testing::SimCard;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(CliLog, ASendWithKeysLogsTheExchangeButNoPasswordAndNoKey) {
    SimCard card({"--password", "Sesame42"});
    ASSERT_TRUE(card.Ready());
    quillon::model::CTmpDoc doc;
    doc.keys.Add("0123456789abcdef", 26);
    doc.keys.Add("FEDCBA9876543210", 27);
    const std::string file = card.Dir() + "/keys.bcf";
    ASSERT_TRUE(quillon::model::SaveDocumentFile(file, doc).ok());
    const std::string log = card.Dir() + "/comm.log";

    const auto r = e2e::Run({BinaryPath("quillon-cli"), "send", "--device", card.Link(),
                             "--password", "Sesame42", "--log=" + log, file},
                            300);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = Slurp(log);
    EXPECT_EQ(text.rfind("Timestamp\t\tMessage\n0\t\t\tLogging started...\n", 0), 0u) << text;
    EXPECT_NE(text.find("RX textmode : "), std::string::npos);
    EXPECT_NE(text.find("setp crypt_key 129    26 ****************"), std::string::npos) << text;
    for (const char* secret : {"Sesame42", "sesame42", "0123456789abcdef", "0123456789ABCDEF",
                               "fedcba9876543210", "FEDCBA9876543210"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << secret;
    }
    EXPECT_NE(text.find("Logging stopped..."), std::string::npos);
}

TEST(CliLog, AnUncreatableLogIsSaidAndTheCommandGoesOn) {
    SimCard card;
    ASSERT_TRUE(card.Ready());
    const auto r =
        e2e::Run({BinaryPath("quillon-cli"), "probe", "--device", card.Link(), "--password",
                  "quillon", "--log=" + card.Dir() + "/no/such/dir/comm.log"},
                 120);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("could not be created"), std::string::npos) << r.err;
}

}  // namespace
