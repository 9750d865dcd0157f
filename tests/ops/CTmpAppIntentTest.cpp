// The intent-level calls a program without the main window drives the
// card with, against the simulated card on virtual time.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AppOnCard.h"
#include "ops/CTmpApp.h"
#include "sim/SimPeer.h"
#include "sim/TransceiverSim.h"

namespace {

using quillon::CTmpApp;
using quillon::sim::CardOptions;
using quillon::sim::ScriptedPrompts;
using quillon::sim::TransceiverSim;

class IntentTest : public ::testing::Test, protected quillon::testing::AppOnCard {
  protected:
    void WithCard(const CardOptions& options = {}) { AttachCard(options); }
    void RunLogin() {
        rig.pump.AfterCommand();
        ASSERT_TRUE(rig.pump.RunUntil([&] { return !app->ProcedureRunning(); }, 200000));
    }
    int PasswordDialogs() const {
        return rig.prompts.CountKind(ScriptedPrompts::Kind::PasswordEntry);
    }
};

TEST_F(IntentTest, OpenPortOpensOnlyAPortThatIsThere) {
    WithCard();
    EXPECT_FALSE(app->OpenPort(1));  // COM2: nothing attached
    EXPECT_FALSE(app->HasLink());
    EXPECT_TRUE(app->OpenPort(0));
    EXPECT_TRUE(app->HasLink());
    EXPECT_EQ(app->comPortIndex, 0);
}

TEST_F(IntentTest, LoginWithAGivenPasswordThenLogOut) {
    WithCard();
    ASSERT_TRUE(app->OpenPort(0));
    ASSERT_TRUE(app->DetectCardMode());
    EXPECT_FALSE(app->CardInBinaryMode());
    EXPECT_FALSE(app->CardLoggedIn());
    app->StartLogin("quillon");
    EXPECT_TRUE(app->ProcedureRunning());
    RunLogin();
    EXPECT_EQ(PasswordDialogs(), 0);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_TRUE(app->CardLoggedIn());
    EXPECT_TRUE(app->IsCardCompatible());
    EXPECT_FLOAT_EQ(app->CardVersion(), 1.2f);
    ASSERT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);

    app->LogOut();
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    EXPECT_FALSE(app->CardLoggedIn());
    // Not logged in any more: a second log-out sends nothing, so it spends
    // none of the time every exchange takes.
    const uint64_t before = rig.clock.NowMs();
    app->LogOut();
    EXPECT_EQ(rig.clock.NowMs(), before);
    ASSERT_TRUE(app->DetectCardMode());
    EXPECT_FALSE(app->CardLoggedIn());
}

TEST_F(IntentTest, LoginWithoutAPasswordAsksForOne) {
    WithCard();
    ASSERT_TRUE(app->OpenPort(0));
    rig.prompts.QueuePassword("quillon");
    app->StartLogin();
    RunLogin();
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_TRUE(app->CardLoggedIn());
}

TEST_F(IntentTest, WrongGivenPasswordFailsAndIsForgotten) {
    WithCard();
    ASSERT_TRUE(app->OpenPort(0));
    app->StartLogin("guess");
    RunLogin();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Login failed! Maybe you entered the wrong password?"});
    EXPECT_FALSE(app->CardLoggedIn());
    EXPECT_TRUE(app->rememberedPassword.empty());
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
}

TEST_F(IntentTest, BinaryModeIsFoundAndNotLoggedOutOf) {
    CardOptions o;
    o.startBinary = true;
    WithCard(o);
    ASSERT_TRUE(app->OpenPort(0));
    ASSERT_TRUE(app->DetectCardMode());
    EXPECT_TRUE(app->CardInBinaryMode());
    EXPECT_FALSE(app->CardLoggedIn());
    const uint64_t before = rig.clock.NowMs();
    app->LogOut();
    EXPECT_EQ(rig.clock.NowMs(), before);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Binary);
}

}  // namespace
