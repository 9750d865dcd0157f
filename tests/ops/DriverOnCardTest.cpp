// The driver with its own login and enter-binary procedures against the
// simulated card: faults that only show over a whole command.
#include <gtest/gtest.h>

#include <memory>

#include "AppOnCard.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "ops/SerialCommsLogic.h"
#include "sim/SimPeer.h"
#include "sim/TransceiverSim.h"

using quillon::CTmpApp;
using quillon::SerialCommsLogic;
using quillon::sim::CardOptions;
using quillon::sim::TransceiverSim;
namespace textproc = quillon::textproc;
namespace bintxn = quillon::bintxn;

namespace {

constexpr uint64_t kMs = quillon::sim::VirtualClock::kNsPerMs;

class DriverOnCardTest : public ::testing::Test, protected quillon::testing::AppOnCard {
  protected:
    void WithCard(const CardOptions& options = {}) {
        AttachCard(options);
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->pendingBinary == 0 && app->textPending == 0 &&
               app->chainState == quillon::chain::kWaitLogin;
    }
    // Lets the command that was just given run until the driver is idle.
    void RunCommand() {
        rig.pump.AfterCommand();
        ASSERT_TRUE(rig.pump.RunUntil([&] { return Idle(); }, 200000));
    }
};

// --- binary mode not confirmed ------------------------------------------------

TEST_F(DriverOnCardTest, RefusedBinaryModeIsReportedAndTheNextCommandsStart) {
    CardOptions refusing;
    refusing.refuseBinary = true;
    WithCard(refusing);
    rig.prompts.QueuePassword("quillon");

    app->OnSend();
    RunCommand();
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    const std::vector<std::string> refused{
        "A communications error occurred! Please check transceiver."};
    EXPECT_EQ(rig.prompts.BoxTexts(), refused);
    EXPECT_EQ(rig.prompts.BeepCount(), 0);

    // Neither the next Send nor a Get finds the dropped one still pending.
    app->OnSend();
    EXPECT_EQ(rig.prompts.BeepCount(), 0);
    EXPECT_EQ(app->textProcedure, textproc::kLogin);
    EXPECT_EQ(app->pendingBinary, bintxn::kSendChannels);
    EXPECT_EQ(app->binaryPending, 1);
    RunCommand();

    ASSERT_TRUE(app->OnGet());
    EXPECT_EQ(rig.prompts.BeepCount(), 0);
    EXPECT_EQ(app->pendingBinary, bintxn::kGetChannels);
    RunCommand();
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(rig.prompts.BoxTexts().size(), 3u);  // each refusal said so
}

// --- the port is not pulled from under a running procedure ---------------------

TEST_F(DriverOnCardTest, SerialCommsOkAndReleaseDuringALoginWaitOnlyBeep) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    const quillon::CBciLink* linkBefore = app->Link();
    quillon::sim::ScriptedPrompts dialogBoxes;
    bool clicked = false;
    int waitFlagAtClick = -1;
    SerialCommsLogic::Outcome ok = SerialCommsLogic::Outcome::Cancelled;
    SerialCommsLogic::Outcome release = SerialCommsLogic::Outcome::Cancelled;
    // The dialog's buttons, pressed while the login waits for the card.
    rig.pump.PostActionAt(rig.clock.NowNs() + 50 * kMs, [&] {
        clicked = true;
        waitFlagAtClick = app->inBlockingWait;
        SerialCommsLogic dialog(*app);
        ok = dialog.Ok(0, 0, dialogBoxes);
        release = dialog.Release(0, 0);
    });

    app->textProcedure = textproc::kLogin;
    RunCommand();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(waitFlagAtClick, 1);
    EXPECT_EQ(ok, SerialCommsLogic::Outcome::StayOpen);
    EXPECT_EQ(release, SerialCommsLogic::Outcome::StayOpen);
    EXPECT_EQ(rig.prompts.BeepCount(), 2);
    EXPECT_TRUE(dialogBoxes.Records().empty());
    EXPECT_EQ(app->Link(), linkBefore);

    // The login went on to its end on the same link object.
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->passwordKnown, 1);
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);

    // Once nothing runs, Release closes the port.
    SerialCommsLogic dialog(*app);
    EXPECT_EQ(dialog.Release(0, 0), SerialCommsLogic::Outcome::Closed);
    EXPECT_FALSE(app->HasLink());
    EXPECT_EQ(rig.prompts.BeepCount(), 2);
}

}  // namespace
