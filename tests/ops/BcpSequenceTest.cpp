// The order in which the transactions call the link operations, message by
// message, on a link that answers every operation at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SimRig.h"
#include "bci/CBciLink.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"

namespace quillon::testing {
namespace {

// Every operation succeeds on its first call; replies carry the header of
// the last request. The calls go into a shared list, with "|" wherever the
// driver handled a new message.
class InstantLink : public CBciLink {
  public:
    InstantLink(const LinkContext& ctx, std::vector<std::string>& calls)
        : CBciLink(ctx, 1, 9600), calls_(calls) {}
    int StartExchange() override {
        calls_.push_back("start");
        return 1;
    }
    int SendBytes(int count, const uint8_t* src) override {
        calls_.push_back("send " + std::to_string(count));
        if (src[0] == 0x00 && (src[1] == 0x99 || src[1] == 0x04 || src[1] == 0x0D)) {
            code_ = src[1];
        }
        return 1;
    }
    int FinishMessage() override {
        calls_.push_back("finish");
        return 1;
    }
    int ReceiveBytes(int count, uint8_t* dest) override {
        calls_.push_back("receive");
        std::fill(dest, dest + count, 0);
        dest[0] = 0x80;
        dest[1] = code_;
        return 1;
    }
    int WaitReplyEnd() override {
        calls_.push_back("end");
        return 1;
    }

  private:
    std::vector<std::string>& calls_;
    uint8_t code_ = 0;
};

TEST(BcpSequence, LastBlockOfASendGoesStraightIntoFinishMessage) {
    SimRig rig;
    CTmpApp app(rig.Deps());
    model::CTmpDoc doc;
    app.SetDocument(&doc);
    std::vector<std::string> calls;
    ASSERT_TRUE(app.ReplacePort(std::make_unique<InstantLink>(app.Context(), calls)));
    app.binaryMode = 1;
    app.binaryTransaction = bintxn::kSendChannels;
    for (int i = 0; i < 100 && app.binaryTransaction != bintxn::kSendToneRemote; ++i) {
        calls.push_back("|");
        app.PreTranslateMessage(Message{MessageKind::Other, 0});
    }
    ASSERT_EQ(app.binaryTransaction, bintxn::kSendToneRemote);

    // 512 empty slots: six blocks of 256 and 14 bytes; 16 groups: four
    // blocks and 26 bytes. Each last block is followed by the padding in
    // the same message.
    std::string joined;
    for (const auto& c : calls) {
        joined += c + ";";
    }
    EXPECT_NE(joined.find("send 256;send 256;send 256;send 256;send 256;send 256;send 14;finish;"),
              std::string::npos)
        << joined;
    EXPECT_NE(joined.find("send 256;send 256;send 256;send 256;send 26;finish;"), std::string::npos)
        << joined;
    // The reset, then the count message as a message of its own.
    EXPECT_EQ(joined.rfind("|;start;send 2;finish;receive;end;start;send 4;finish;send 256;", 0),
              0u)
        << joined;
    EXPECT_NE(joined.find("start;send 3;finish;send 256;"), std::string::npos) << joined;
}

}  // namespace
}  // namespace quillon::testing
