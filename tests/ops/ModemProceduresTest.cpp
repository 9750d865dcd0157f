// Dialling and hanging up through the simulated modem in front of the card,
// stepped by the driver on virtual time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SimRig.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "sim/ModemSim.h"
#include "sim/TransceiverSim.h"

namespace quillon {
namespace {

using sim::ModemSim;

class ModemProcedures : public ::testing::Test {
  protected:
    testing::SimRig rig;
    sim::TransceiverSim card{rig.clock};
    std::unique_ptr<ModemSim> modem;
    std::unique_ptr<CTmpApp> app;
    std::string sent;                // what reached the modem
    std::vector<uint64_t> sentAtNs;  // when each byte did

    void SetUp() override {
        modem = std::make_unique<ModemSim>(rig.clock, card);
        sim::AttachToLine(rig.line.Card(), *modem, [this](bool toDevice, uint8_t b) {
            if (toDevice) {
                sent += static_cast<char>(b);
                sentAtNs.push_back(rig.clock.NowNs());
            }
        });
        app = std::make_unique<CTmpApp>(rig.Deps());
        rig.pump.SetTarget(app.get());
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
    }
    void TearDown() override {
        app.reset();
        sim::DetachFromLine(rig.line.Card(), *modem);
    }
    void Run() {
        rig.pump.AfterCommand();
        ASSERT_TRUE(rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 120000));
    }
    std::vector<std::string> Boxes() const { return rig.prompts.BoxTexts(); }
};

TEST_F(ModemProcedures, DialConnectsAndTheCardAnswersThroughTheModem) {
    ASSERT_TRUE(app->OnDial("5551234"));
    Run();
    EXPECT_EQ(modem->CurrentState(), ModemSim::State::Online);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_NE(Boxes()[0].find("CONNECT"), std::string::npos);  // the modem's own reply first
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::None);
    EXPECT_EQ(Boxes()[1], "Connection with remote modem successful");
    EXPECT_EQ(rig.prompts.Boxes()[1].icon, Icon::Information);
    EXPECT_NE(sent.find("at&f1q0v1x4&k3&c0\r\n"), std::string::npos);
    EXPECT_NE(sent.find("atdt5551234\r\n"), std::string::npos);
    EXPECT_EQ(rig.progress.Titles().front(), "Dial");
    EXPECT_EQ(app->modemPhone, "5551234");

    // Over the call the card is reached as over a cable.
    rig.prompts.ClearRecords();
    app->StartLogin(sim::kFactoryPassword);
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 120000));
    EXPECT_TRUE(app->CardLoggedIn());
}

TEST_F(ModemProcedures, EachDialResultHasItsMessage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"5550002", "Error! Connection is busy"},
        {"5550003", "Error! Modem reports no carrier. Please check modem cables"},
        {"5550004", "Error! Modem reports no dial tone. Please check modem cables"},
    };
    for (const auto& [number, message] : cases) {
        rig.prompts.ClearRecords();
        ASSERT_TRUE(app->OnDial(number));
        Run();
        ASSERT_EQ(Boxes().size(), 2u) << number;
        EXPECT_EQ(Boxes()[1], message);
        EXPECT_EQ(rig.prompts.Boxes()[1].icon, Icon::Exclamation);
        EXPECT_EQ(app->textProcedure, 0);
    }
}

TEST_F(ModemProcedures, ASilentModemIsReportedAfterTheInitString) {
    sim::DetachFromLine(rig.line.Card(), *modem);  // nothing on the line
    ASSERT_TRUE(app->OnDial("5551234"));
    Run();
    EXPECT_EQ(
        Boxes(),
        (std::vector<std::string>{"Modem not responding. Is it switched on and connected to PC?"}));
    sim::AttachToLine(rig.line.Card(), *modem);
}

TEST_F(ModemProcedures, CancelWhileDiallingHangsUpAtOnceAndSaysNothing) {
    ASSERT_TRUE(app->OnDial("5551234"));
    // Cancel is clicked once the dial command has gone out.
    rig.pump.PostActionAt(rig.clock.NowNs() + 1500ull * 1000000ull,
                          [this] { app->CancelProcedures(); });
    Run();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(app->sessionState, session::kDialCancelled);
    EXPECT_NE(modem->CurrentState(), ModemSim::State::Online);
    // The hang-up text went out as stored, without a line end, after the dial.
    const size_t dial = sent.find("atdt5551234\r\n");
    ASSERT_NE(dial, std::string::npos);
    EXPECT_EQ(sent.substr(dial + 13, 3), "ath");
    EXPECT_EQ(sent.find("ath\r", dial), std::string::npos);
}

TEST_F(ModemProcedures, HangupEscapesAfterTheGuardTimeAndReportsTheModemsAnswer) {
    ASSERT_TRUE(app->OnDial("5551234"));
    Run();
    ASSERT_EQ(modem->CurrentState(), ModemSim::State::Online);
    rig.prompts.ClearRecords();
    sent.clear();
    sentAtNs.clear();

    app->OnHangup();
    Run();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Hangup of modem completed!"}));
    EXPECT_EQ(modem->CurrentState(), ModemSim::State::Command);
    const size_t plus = sent.find("+++");
    ASSERT_NE(plus, std::string::npos);
    ASSERT_GT(plus, 0u);
    // Two seconds of silence before the escape.
    EXPECT_GE(sentAtNs[plus] - sentAtNs[plus - 1], 2000ull * 1000000ull);
    EXPECT_NE(sent.find("ath\r\n", plus), std::string::npos);
    EXPECT_EQ(rig.progress.Titles().back(), "Disconnecting");
}

TEST_F(ModemProcedures, AModemThatDoesNotEchoIsJudgedByItsWholeReply) {
    app->modemInit = "at&f1q0v1x4&k3&c0e0";
    ASSERT_TRUE(app->OnDial("5551234"));
    Run();
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1], "Connection with remote modem successful");
    rig.prompts.ClearRecords();
    app->OnHangup();
    Run();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Hangup of modem completed!"}));
}

TEST_F(ModemProcedures, DialAndHangupOnlyBeepWhileATransferRuns) {
    app->textProcedure = textproc::kLogin;  // a command is under way
    EXPECT_TRUE(app->OnDial("5551234"));
    app->OnHangup();
    EXPECT_EQ(rig.prompts.BeepCount(), 2);
    EXPECT_EQ(app->textProcedure, textproc::kLogin);
    app->textProcedure = 0;
}

}  // namespace
}  // namespace quillon
