// A line that goes away in the middle of a command (an adapter pulled, the
// far end hung up): the command ends with its message, and the next one
// opens the port afresh instead of working on the dead one.
#include <gtest/gtest.h>

#include "AppOnCard.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kCommandMs = 20 * 60 * 1000;

class LineLossTest : public ::testing::Test, protected AppOnCard {
  protected:
    void SetUp() override {
        AttachCard();
        rig.ports.SetLossCloses(true);
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
        app->SetDocument(&doc);
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->pendingBinary == 0 && app->textPending == 0 &&
               app->chainState == chain::kWaitLogin;
    }
    bool RunToIdle() {
        rig.pump.AfterCommand();
        const bool idle = rig.pump.RunUntil([&] { return Idle(); }, kCommandMs);
        rig.pump.RunFor(200);
        return idle;
    }

    model::CTmpDoc doc;
};

TEST_F(LineLossTest, AGetCutOffMidwayEndsWithItsMessageAndTheNextGetReopensThePort) {
    rig.prompts.QueuePassword("quillon");
    ASSERT_TRUE(app->OnGet());
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return app->binaryTransaction != 0; }, kCommandMs));
    rig.pump.RunFor(2000);  // into the blocks of the table
    ASSERT_NE(app->binaryTransaction, 0);
    const int opensBefore = rig.ports.OpenAttempts();
    rig.line.Disconnect();

    ASSERT_TRUE(RunToIdle());
    EXPECT_FALSE(rig.progress.IsShown());
    const auto boxes = rig.prompts.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().icon, Icon::Exclamation);
    EXPECT_NE(boxes.back().text, msg::kTableRead);
    EXPECT_EQ(app->tableRead, 0);

    // The cable is back; the card has long given up on the broken exchange.
    rig.line.Reconnect();
    rig.pump.RunFor(60 * 1000);
    rig.prompts.ClearRecords();
    rig.prompts.QueuePassword("quillon");
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunToIdle());
    EXPECT_EQ(rig.ports.OpenAttempts(), opensBefore + 1);
    ASSERT_FALSE(rig.prompts.Boxes().empty());
    EXPECT_EQ(rig.prompts.Boxes().back().text, msg::kTableRead);
}

TEST_F(LineLossTest, ACommandOnALineThatCannotBeReopenedAsksForAPort) {
    rig.line.Disconnect();
    rig.ports.Detach("COM1");  // the adapter is gone for good
    rig.pump.RunFor(1000);     // the idle port notices
    rig.prompts.QueuePassword("quillon");
    EXPECT_FALSE(app->OnGet());
    const auto boxes = rig.prompts.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, msg::kSelectPortFirst);
    EXPECT_FALSE(app->HasLink());
}

}  // namespace
}  // namespace quillon::testing
