// The card leaves binary mode once the EOT of its last reply is
// acknowledged; the ACK can be lost on the line. The text commands that
// follow must then still reach the card in text mode, or a Send reports
// success while the keys and the radio-wide settings never arrived.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "AppOnCard.h"
#include "FixedChannelDoc.h"
#include "link/CCommPort.h"
#include "model/CTmpDoc.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "sim/CardContent.h"
#include "sim/SimLine.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kCommandMs = 20 * 60 * 1000;
constexpr uint8_t kAck = 0x06;

class LostEotAck : public ::testing::Test, protected AppOnCard {
  protected:
    void SetUp() override {
        AttachCard();
        // The programmer's ACKs while it leaves binary mode: the first
        // answers the reply block, the second the reply's EOT. The second
        // is lost.
        rig.line.SetFilter(sim::SimLine::Dir::HostToCard, [this](uint8_t b) {
            if (b == kAck && app->binaryTransaction == bintxn::kExitBinary && ++exitAcks == 2) {
                return sim::FilterResult{sim::FilterAction::Drop, 0};
            }
            return sim::FilterResult{};
        });
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        for (int i = 0; i < 3; ++i) {
            rig.prompts.QueuePassword("quillon");
        }
    }
    bool RunToIdle() {
        rig.pump.AfterCommand();
        return rig.pump.RunUntil(
            [&] {
                return app->textProcedure == 0 && app->binaryTransaction == 0 &&
                       app->binaryPending == 0 && app->pendingBinary == 0 &&
                       app->textPending == 0 && app->chainState == chain::kWaitLogin;
            },
            kCommandMs);
    }
    std::string LastBox() const {
        const auto boxes = rig.prompts.Boxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    }
    int exitAcks = 0;
};

TEST_F(LostEotAck, TheSendStillLeavesTheKeysAndSettingsOnTheCard) {
    model::CTmpDoc doc;
    FillFixedChannels(doc);
    ASSERT_TRUE(doc.keys.Add("0123456789abcdef", 0x1a));
    doc.frontPanelVolume = "4";
    doc.backPanelOutput = "2";
    app->SetDocument(&doc);
    app->OnSend();
    ASSERT_TRUE(RunToIdle());
    ASSERT_EQ(exitAcks, 2) << "the EOT's ACK was never sent";
    EXPECT_EQ(LastBox(), msg::kTableWrittenRebooted);
    const sim::CardContent& held = card->Content();
    EXPECT_TRUE(CardHoldsChannels(held, doc));
    ASSERT_EQ(held.keys.size(), 1u);
    EXPECT_EQ(held.keys[0].key, "0123456789abcdef");
    EXPECT_EQ(held.keys[0].kid, 0x1a);
    ASSERT_NE(held.Parameter("ee_fpvol"), nullptr);
    EXPECT_EQ(*held.Parameter("ee_fpvol"), "4");
    ASSERT_NE(held.Parameter("ee_bpnl_output"), nullptr);
    EXPECT_EQ(*held.Parameter("ee_bpnl_output"), "2");
}

TEST_F(LostEotAck, TheGetStillReadsTheCardsSettings) {
    sim::CardContent content = sim::CardContent::Factory();
    ASSERT_TRUE(content.SetParameter("ee_fpvol", "6"));
    ASSERT_TRUE(content.SetParameter("ee_bpnl_output", "3"));
    card->SetContent(content);
    model::CTmpDoc got;
    app->SetDocument(&got);
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunToIdle());
    ASSERT_EQ(exitAcks, 2);
    EXPECT_EQ(LastBox(), msg::kTableRead);
    EXPECT_EQ(got.frontPanelVolume, "6");
    EXPECT_EQ(got.backPanelOutput, "3");
}

TEST(UnacknowledgedEot, IsAReplyOfNothingButEotsAndNaks) {
    EXPECT_TRUE(CCommPort::IsUnacknowledgedEot("\x04"));
    EXPECT_TRUE(CCommPort::IsUnacknowledgedEot("\x15\x04"));
    EXPECT_TRUE(CCommPort::IsUnacknowledgedEot("\x04\x04\x15"));
    EXPECT_FALSE(CCommPort::IsUnacknowledgedEot(""));
    EXPECT_FALSE(CCommPort::IsUnacknowledgedEot("\x15"));  // a card idle in binary mode
    EXPECT_FALSE(CCommPort::IsUnacknowledgedEot("\x04VEL> "));
    EXPECT_FALSE(CCommPort::IsUnacknowledgedEot("setp ee_fpvol 4\r\nee_fpvol: 4\r\n"));
}

}  // namespace
}  // namespace quillon::testing
