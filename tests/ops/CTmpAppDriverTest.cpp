// The procedure driver: message pre-translation, the two chaining machines,
// abort and cancel, start-up and exit, against the simulated machine.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SimRig.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"

using quillon::CTmpApp;
using quillon::Message;
using quillon::MessageKind;
namespace textproc = quillon::textproc;
namespace bintxn = quillon::bintxn;

namespace {

// The application with procedures played by the test.
class ScriptedApp : public CTmpApp {
  public:
    using CTmpApp::CTmpApp;
    std::function<void(int)> onText;
    std::function<void(int)> onBinary;
    std::vector<int> textSteps;
    std::vector<int> binarySteps;
    int transactionResets = 0;

  protected:
    void RunTextProcedure(int code) override {
        if (code != 0) {
            textSteps.push_back(code);
            if (onText) {
                onText(code);
            }
        }
    }
    void RunBinaryTransaction(int code) override {
        if (code != 0) {
            binarySteps.push_back(code);
            if (onBinary) {
                onBinary(code);
            }
        }
    }
    void ResetTransactionState() override { ++transactionResets; }
};

class DriverTest : public ::testing::Test {
  protected:
    quillon::testing::SimRig rig;
    std::unique_ptr<ScriptedApp> app;

    void SetUp() override { Make(); }
    void Make() {
        app = std::make_unique<ScriptedApp>(rig.Deps());
        rig.pump.SetTarget(app.get());
    }
    void StartWithPort() {
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->textPending == 0 && app->pendingBinary == 0 && app->pendingText == 0 &&
               app->chainState == 2;
    }
    // A login that finds the card at its prompt (text) or in binary mode.
    void LoginFinds(bool binary) {
        app->onText = [this, binary](int code) {
            if (code == textproc::kLogin) {
                if (binary) {
                    app->SetBinaryMode();
                }
                app->promptReady = 1;
                app->EndTextProcedure();
                app->SetSessionState(1);
            } else if (code == textproc::kEnterBinary) {
                app->EndTextProcedure();
                app->SetSessionState(1);
                app->SetBinaryMode();
            }
        };
    }
};

TEST_F(DriverTest, SendChainWithCardInTextModeEntersBinaryModeThenStartsTheTransaction) {
    StartWithPort();
    LoginFinds(false);
    app->OnSend();
    EXPECT_EQ(app->textProcedure, textproc::kLogin);
    EXPECT_EQ(app->pendingBinary, bintxn::kSendChannels);
    EXPECT_EQ(app->binaryPending, 1);

    rig.pump.AfterCommand();
    rig.pump.RunUntil([&] { return app->binaryTransaction == bintxn::kSendChannels; }, 1000);
    EXPECT_EQ(app->textSteps, (std::vector<int>{textproc::kLogin, textproc::kEnterBinary}));
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(app->binaryPending, 0);
    EXPECT_EQ(app->chainState, 2);

    // In binary mode the transaction is stepped on ticks and on the message
    // that follows each tick: two steps per 50 ms.
    app->binarySteps.clear();
    rig.pump.RunFor(500);
    EXPECT_GE(app->binarySteps.size(), 19u);
    EXPECT_LE(app->binarySteps.size(), 21u);
}

TEST_F(DriverTest, SendChainWithCardInBinaryModeSkipsEnteringIt) {
    StartWithPort();
    LoginFinds(true);
    app->OnSend();
    rig.pump.AfterCommand();
    rig.pump.RunUntil([&] { return app->binaryTransaction == bintxn::kSendChannels; }, 1000);
    EXPECT_EQ(app->textSteps, (std::vector<int>{textproc::kLogin}));
    EXPECT_EQ(app->binaryPending, 0);
}

TEST_F(DriverTest, PasswordChangeChainInTextModeRunsThePendingProcedureAfterTheLogin) {
    StartWithPort();
    LoginFinds(false);
    app->OnChangePassword();
    EXPECT_EQ(app->pendingText, textproc::kChangePassword);
    rig.pump.AfterCommand();
    rig.pump.RunUntil([&] { return app->textProcedure == textproc::kChangePassword; }, 1000);
    EXPECT_EQ(app->textPending, 0);
    EXPECT_EQ(app->pendingText, 0);
    EXPECT_EQ(app->chainState, 2);
    EXPECT_TRUE(app->binarySteps.empty());
}

TEST_F(DriverTest, PasswordChangeChainInBinaryModeLeavesBinaryModeFirst) {
    StartWithPort();
    LoginFinds(true);
    int exitSteps = 0;
    app->onBinary = [&](int code) {
        ASSERT_EQ(code, bintxn::kExitBinary);
        if (++exitSteps == 3) {  // the exit exchange takes a few steps
            app->SetTextMode();
            app->SetBinaryResult(1);
            app->EndTransaction();
        }
    };
    app->OnChangePassword();
    rig.pump.AfterCommand();
    rig.pump.RunUntil([&] { return app->textProcedure == textproc::kChangePassword; }, 2000);
    EXPECT_EQ(exitSteps, 3);
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->textPending, 0);
}

TEST_F(DriverTest, ExitTransactionThatFailsLeavesTheTextChainWaiting) {
    StartWithPort();
    LoginFinds(true);
    app->onBinary = [&](int) {
        app->SetBinaryResult(2);
        app->EndTransaction();  // ended without success
    };
    app->OnChangePassword();
    rig.pump.AfterCommand();
    rig.pump.RunFor(1000);
    EXPECT_NE(app->textProcedure, textproc::kChangePassword);
    EXPECT_EQ(app->chainState, 6);
    EXPECT_EQ(app->compatibility, 0);  // a transaction without success forgets the check
}

TEST_F(DriverTest, SecondSendWhileTheFirstIsPendingOnlyBeeps) {
    StartWithPort();
    app->onText = [](int) {};  // the login never ends
    app->OnSend();
    app->OnSend();
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
    EXPECT_TRUE(rig.prompts.Boxes().empty());
}

TEST_F(DriverTest, OneTableCommandsChainTheLoginBinaryModeAndTheirTransaction) {
    const std::vector<std::pair<void (CTmpApp::*)(), int>> commands = {
        {&CTmpApp::OnGetSquelchGroups, bintxn::kGetSquelchEach},
        {&CTmpApp::OnSendSquelchGroups, bintxn::kSendSquelchEach},
        {&CTmpApp::OnGetToneRemote, bintxn::kGetToneRemote},
        {&CTmpApp::OnSendToneRemote, bintxn::kSendToneRemote},
    };
    for (const auto& [command, code] : commands) {
        // No port: the port check's message, nothing started.
        rig.prompts.ClearRecords();
        rig.settings.SetInt("General Settings", "COM Port", -1);
        Make();
        app->InitInstance();
        ((*app).*command)();
        ASSERT_EQ(rig.prompts.Boxes().size(), 1u) << code;
        EXPECT_EQ(rig.prompts.Boxes()[0].text, "You must select a serial port first!");
        EXPECT_TRUE(Idle());

        // A port: the login first, the transaction pending after it.
        Make();
        StartWithPort();
        ((*app).*command)();
        EXPECT_EQ(app->textProcedure, textproc::kLogin);
        EXPECT_EQ(app->pendingBinary, code);
        EXPECT_EQ(app->binaryPending, 1);
        // While it is under way every transceiver command only beeps.
        const int beeps = rig.prompts.BeepCount();
        ((*app).*command)();
        app->OnSend();
        EXPECT_EQ(rig.prompts.BeepCount(), beeps + 2);
        EXPECT_EQ(app->pendingBinary, code);
    }
}

TEST_F(DriverTest, AbortProceduresLeavesTheDriverIdle) {
    StartWithPort();
    app->OnSend();
    app->tableWritten = 1;
    app->tableRead = 1;
    app->binaryTransaction = bintxn::kSendChannels;
    app->textPending = 1;
    app->pendingText = 9;
    app->chainState = 5;
    rig.progress.Show();
    app->AbortProcedures();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(app->tableWritten, 0);
    EXPECT_EQ(app->tableRead, 0);
    EXPECT_EQ(app->loginStep, 1);
    EXPECT_FALSE(rig.progress.IsShown());
    EXPECT_GE(app->transactionResets, 1);
}

TEST_F(DriverTest, EndTransactionKeepsTheProgressWindowDuringASequence) {
    StartWithPort();
    rig.progress.Show();
    app->tableWritten = 1;
    app->binaryTransaction = bintxn::kSendToneRemote;
    app->pendingBinary = bintxn::kSendToneRemote;
    app->SetBinaryResult(1);
    app->compatibility = 2;
    app->EndTransaction();
    EXPECT_TRUE(rig.progress.IsShown());
    EXPECT_EQ(app->binaryTransaction, 0);
    EXPECT_EQ(app->pendingBinary, 0);
    EXPECT_EQ(app->compatibility, 2);  // kept after a successful transaction
}

TEST_F(DriverTest, CancelAbortsMarksTheSessionAndLogs) {
    StartWithPort();
    app->OnSend();
    rig.progress.Show();
    app->CancelProcedures();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(app->cancelPressed, 1);
    EXPECT_EQ(app->binaryResult, 3);
    EXPECT_EQ(app->sessionState, 3);
    EXPECT_TRUE(rig.log.Contains("Cancel Button pressed"));
    EXPECT_FALSE(rig.progress.IsShown());
    EXPECT_TRUE(rig.CardReceived().empty());
}

TEST_F(DriverTest, CancelWhileDiallingSendsTheHangupTextWithoutLineEnd) {
    StartWithPort();
    app->modemHangup = "ath";
    app->textProcedure = textproc::kModemDial;
    app->CancelProcedures();
    EXPECT_EQ(rig.CardReceived(), "ath");
    EXPECT_TRUE(Idle());
}

TEST_F(DriverTest, SetBinaryModeNeedsALinkObject) {
    app->SetBinaryMode();
    EXPECT_EQ(app->binaryMode, 0);
    StartWithPort();
    app->SetBinaryMode();
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_TRUE(rig.log.Contains("Now in BCI mode"));
    app->SetTextMode();
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_TRUE(rig.log.Contains("Now in text mode"));
}

TEST_F(DriverTest, SettersAcceptOnlyTheirValues) {
    app->SetSessionState(0);
    EXPECT_EQ(app->sessionState, 0);
    app->SetSessionState(2);
    app->SetSessionState(5);
    EXPECT_EQ(app->sessionState, 2);
    app->SetBinaryResult(1);
    app->SetBinaryResult(0);
    app->SetBinaryResult(7);
    EXPECT_EQ(app->binaryResult, 1);
}

TEST_F(DriverTest, TransceiverCommandsOnlyBeepWhileAnotherIsUnderWay) {
    StartWithPort();
    // Send during Change Password's login would run two chains on one chain
    // state and deadlock both.
    app->OnChangePassword();
    ASSERT_EQ(app->pendingText, textproc::kChangePassword);
    app->OnSend();
    EXPECT_FALSE(app->OnGet());
    app->OnChangePassword();
    EXPECT_EQ(rig.prompts.BeepCount(), 3);
    EXPECT_EQ(app->pendingBinary, bintxn::kNone);
    EXPECT_EQ(app->pendingText, textproc::kChangePassword);

    // Each of the other signs of a command under way refuses them as well.
    const std::vector<std::function<void()>> underWay = {
        [&] { app->pendingBinary = bintxn::kGetChannels; },
        [&] { app->binaryPending = 1; },
        [&] { app->textPending = 1; },
        [&] { app->chainState = quillon::chain::kWaitLogin + 1; },
        [&] { app->binaryTransaction = bintxn::kGetToneRemote; },
    };
    int beeps = rig.prompts.BeepCount();
    for (const auto& set : underWay) {
        Make();
        StartWithPort();
        set();
        app->OnSend();
        EXPECT_FALSE(app->OnGet());
        app->OnChangePassword();
        beeps += 3;
        EXPECT_EQ(rig.prompts.BeepCount(), beeps);
        EXPECT_EQ(app->pendingText, textproc::kNone);
    }
}

TEST_F(DriverTest, ExitBinaryModeWhileAProcedureRunsOnlyBeeps) {
    StartWithPort();
    app->SetBinaryMode();
    app->binaryTransaction = bintxn::kSendChannels;
    app->OnExitBinaryMode();
    // No detection broke into the exchange: nothing on the line, no window.
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
    EXPECT_TRUE(rig.prompts.Boxes().empty());
    EXPECT_TRUE(rig.CardReceived().empty());
    EXPECT_TRUE(rig.progress.Titles().empty());
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(app->binaryTransaction, bintxn::kSendChannels);

    // Nor into a text procedure waiting for its reply.
    app->binaryTransaction = bintxn::kNone;
    app->SetTextMode();
    app->textProcedure = textproc::kParameterRead;
    app->inBlockingWait = 1;
    app->OnExitBinaryMode();
    EXPECT_EQ(rig.prompts.BeepCount(), 2);
    EXPECT_TRUE(rig.CardReceived().empty());
    EXPECT_EQ(app->textProcedure, textproc::kParameterRead);
}

TEST_F(DriverTest, PortIsClosedOrReplacedOnlyWhileNothingRuns) {
    StartWithPort();
    const quillon::CBciLink* link = app->Link();
    const std::vector<std::function<void()>> busy = {
        [&] { app->textProcedure = textproc::kLogin; },
        [&] { app->binaryTransaction = bintxn::kGetChannels; },
        [&] { app->inBlockingWait = 1; },
    };
    int beeps = 0;
    for (const auto& makeBusy : busy) {
        makeBusy();
        EXPECT_FALSE(app->ClosePort());
        EXPECT_FALSE(app->ReplacePort(nullptr));
        beeps += 2;
        EXPECT_EQ(rig.prompts.BeepCount(), beeps);
        EXPECT_EQ(app->Link(), link);
        app->textProcedure = 0;
        app->binaryTransaction = 0;
        app->inBlockingWait = 0;
    }
    EXPECT_TRUE(app->ClosePort());
    EXPECT_FALSE(app->HasLink());
    EXPECT_EQ(rig.prompts.BeepCount(), beeps);
}

// --- the blocking-wait rule ------------------------------------------------

TEST_F(DriverTest, NothingIsSteppedWithoutALinkObject) {
    app->textProcedure = textproc::kLogin;
    EXPECT_FALSE(app->PreTranslateMessage(Message{MessageKind::Timer, 1}));
    EXPECT_FALSE(app->PreTranslateMessage(Message{}));
    EXPECT_TRUE(app->textSteps.empty());
}

TEST_F(DriverTest, BlockingWaitSuspendsSteppingButBinaryTicksStillRunTheEngine) {
    StartWithPort();
    app->textProcedure = textproc::kLogin;
    app->binaryTransaction = bintxn::kSendChannels;
    app->inBlockingWait = 1;
    EXPECT_FALSE(app->PreTranslateMessage(Message{}));
    EXPECT_FALSE(app->PreTranslateMessage(Message{MessageKind::Timer, 1}));  // text mode
    app->SetBinaryMode();
    EXPECT_TRUE(app->PreTranslateMessage(Message{MessageKind::Timer, 1}));  // engine ran
    EXPECT_FALSE(app->PreTranslateMessage(Message{}));
    EXPECT_TRUE(app->textSteps.empty());
    EXPECT_TRUE(app->binarySteps.empty());
}

TEST_F(DriverTest, TickIsConsumedOnlyInBinaryMode) {
    StartWithPort();
    EXPECT_FALSE(app->PreTranslateMessage(Message{MessageKind::Timer, 1}));
    app->SetBinaryMode();
    EXPECT_TRUE(app->PreTranslateMessage(Message{MessageKind::Timer, 1}));
    EXPECT_FALSE(app->PreTranslateMessage(Message{}));
}

TEST_F(DriverTest, TextProcedureIsSteppedInBinaryModeOnlyWhenItIsTheLogin) {
    StartWithPort();
    app->SetBinaryMode();
    app->textProcedure = textproc::kParameterRead;
    app->PreTranslateMessage(Message{});
    EXPECT_TRUE(app->textSteps.empty());
    app->textProcedure = textproc::kLogin;
    app->PreTranslateMessage(Message{});
    EXPECT_EQ(app->textSteps, std::vector<int>{textproc::kLogin});
}

TEST_F(DriverTest, ReplyWaitInsideAProcedureStartsNoSecondStep) {
    StartWithPort();
    int nested = 0;
    int depth = 0;
    app->onText = [&](int) {
        ++depth;
        if (depth > 1) {
            ++nested;
        }
        // Waits 3 s for a reply that never comes; ticks keep arriving.
        app->Link()->SendText("\r", 3, true, "");
        app->EndTextProcedure();
        --depth;
    };
    app->textProcedure = textproc::kLogin;
    rig.pump.RunFor(200);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(app->textSteps.size(), 1u);
    EXPECT_GT(rig.pump.TicksDelivered(), 50u);  // ticks flowed during the wait
}

TEST_F(DriverTest, DebugWindowNoticesAreConsumed) {
    struct Notice : quillon::DebugWindowNotice {
        int rx = 0, tx = 0;
        void RxCountersClosed() override { ++rx; }
        void TxCountersClosed() override { ++tx; }
    } notice;
    StartWithPort();
    app->SetDebugWindow(&notice);
    EXPECT_TRUE(app->PreTranslateMessage(Message{MessageKind::RxCountersClosed, 0}));
    EXPECT_TRUE(app->PreTranslateMessage(Message{MessageKind::TxCountersClosed, 0}));
    EXPECT_EQ(notice.rx, 1);
    EXPECT_EQ(notice.tx, 1);
}

// --- pauses ----------------------------------------------------------------

TEST_F(DriverTest, PauseLastsOneSecondAndDispatchesOnceUnderTheWaitFlag) {
    StartWithPort();
    app->textProcedure = textproc::kLogin;
    const uint64_t t0 = rig.clock.NowMs();
    app->Pause();
    EXPECT_EQ(rig.clock.NowMs() - t0, 1000u);
    EXPECT_EQ(app->inBlockingWait, 0);
    EXPECT_TRUE(app->textSteps.empty());
}

// --- start-up and exit --------------------------------------------------------

TEST_F(DriverTest, StartupWithReleaseSetOpensNoPortAndSendOpensItLater) {
    rig.settings.SetInt("General Settings", "COM Port", 0);
    rig.settings.SetInt("General Settings", "Release", 1);
    app->InitInstance();
    EXPECT_FALSE(app->HasLink());
    EXPECT_EQ(rig.ports.OpenAttempts(), 0);
    app->OnSend();
    EXPECT_TRUE(app->HasLink());
    EXPECT_EQ(rig.ports.LastOpenName(), "COM1");
    EXPECT_TRUE(rig.prompts.Boxes().empty());
}

TEST_F(DriverTest, StartupWithoutAStoredPortLeavesEveryTransferCommandWithoutAPort) {
    app->InitInstance();
    EXPECT_EQ(app->comPortIndex, -1);
    EXPECT_FALSE(app->HasLink());
    app->OnSend();
    app->OnChangePassword();
    app->OnHangup();
    const auto texts = rig.prompts.BoxTexts();
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& t : texts) {
        EXPECT_EQ(t, "You must select a serial port first!");
    }
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, quillon::Icon::Exclamation);
    EXPECT_EQ(rig.ports.LastOpenName(), "COM0");
    EXPECT_EQ(app->textProcedure, 0);
}

TEST_F(DriverTest, StartupWithAPortThatDoesNotOpenIsSilent) {
    rig.settings.SetInt("General Settings", "COM Port", 2);  // COM3: nothing there
    app->InitInstance();
    EXPECT_FALSE(app->HasLink());
    EXPECT_TRUE(rig.prompts.Records().empty());
}

TEST_F(DriverTest, StartupReadsSettingsAndFallsBackOnValuesOfTheWrongType) {
    rig.settings.SetString("General Settings", "COM Port", "one");
    rig.settings.SetString("General Settings", "BAUD Rate", "2");
    rig.settings.SetString("Modem Settings", "Dial", "atdp");
    app->InitInstance();
    EXPECT_EQ(app->comPortIndex, -1);
    EXPECT_EQ(app->baudIndex, 2);
    EXPECT_EQ(app->modemInit, "at&f1q0v1x4&k3&c0");
    EXPECT_EQ(app->modemDial, "atdp");
    EXPECT_EQ(app->modemHangup, "ath");
    EXPECT_EQ(app->modemPhone, "Your Number");
}

TEST_F(DriverTest, StoredBaudIndexStillGivesA9600Line) {
    rig.settings.SetInt("General Settings", "COM Port", 0);
    rig.settings.SetInt("General Settings", "BAUD Rate", 4);
    app->InitInstance();
    ASSERT_TRUE(app->HasLink());
    EXPECT_EQ(app->Link()->LineRate(), 9600);
    EXPECT_TRUE(rig.pump.TimerRunning(1));
}

TEST_F(DriverTest, ExitWritesEverySetting) {
    StartWithPort();
    app->baudIndex = 3;
    app->modemPhone = "5551234";
    app->ExitInstance();
    EXPECT_EQ(rig.settings.GetString("General Settings", "Release", "?"), "0");
    EXPECT_EQ(rig.settings.GetString("General Settings", "COM Port", "?"), "0");
    EXPECT_EQ(rig.settings.GetString("General Settings", "BAUD Rate", "?"), "3");
    EXPECT_EQ(rig.settings.GetString("Modem Settings", "Init", "?"), "at&f1q0v1x4&k3&c0");
    EXPECT_EQ(rig.settings.GetString("Modem Settings", "Dial", "?"), "atdt");
    EXPECT_EQ(rig.settings.GetString("Modem Settings", "Hangup", "?"), "ath");
    EXPECT_EQ(rig.settings.GetString("Modem Settings", "Phone", "?"), "5551234");

    app->ClosePort();
    app->ExitInstance();
    EXPECT_EQ(rig.settings.GetString("General Settings", "Release", "?"), "1");
}

TEST_F(DriverTest, LeftInBinaryWarningAtTheVeryEndOnce) {
    StartWithPort();
    app->SetBinaryMode();
    app->Terminate();
    app->Terminate();
    const auto boxes = rig.prompts.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Transceiver has been left in binary mode!\nUse the Quillon Programmer to exit "
              "binary mode via the configure menu!");
    EXPECT_EQ(boxes[0].icon, quillon::Icon::Exclamation);
    EXPECT_EQ(boxes[0].caption, "Quillon Radio Programmer");
    EXPECT_FALSE(app->HasLink());
    EXPECT_FALSE(rig.pump.TimerRunning(1));
}

TEST_F(DriverTest, NoWarningWhenTheCardWasLeftInTextMode) {
    StartWithPort();
    app.reset();
    EXPECT_TRUE(rig.prompts.Records().empty());
    EXPECT_FALSE(rig.pump.TimerRunning(1));
}

}  // namespace

// --- Get: the question before a modified document is emptied ----------------

#include "model/CTmpDoc.h"

namespace {

TEST_F(DriverTest, GetEmptiesAnUnmodifiedDocumentWithoutAsking) {
    StartWithPort();
    quillon::model::CTmpDoc doc;
    doc.frontPanelVolume = "3";
    app->SetDocument(&doc);
    ASSERT_TRUE(app->OnGet());
    EXPECT_TRUE(rig.prompts.Boxes().empty());
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_EQ(app->textProcedure, textproc::kLogin);
    EXPECT_EQ(app->pendingBinary, bintxn::kGetChannels);
    EXPECT_EQ(app->binaryPending, 1);
    EXPECT_FALSE(app->OnGet());  // still pending: beep
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
}

TEST_F(DriverTest, GetOnAModifiedDocumentAsksAndNoKeepsIt) {
    StartWithPort();
    quillon::model::CTmpDoc doc;
    doc.frontPanelVolume = "3";
    doc.SetModified(true);
    app->SetDocument(&doc);
    rig.prompts.QueueAnswer(quillon::Answer::No);
    EXPECT_FALSE(app->OnGet());
    ASSERT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"This command reads channel table data from the "
                                       "transceiver. Your current settings will be lost.\n "
                                       "Continue?"});
    EXPECT_EQ(rig.prompts.Boxes()[0].buttons, quillon::Buttons::YesNo);
    EXPECT_EQ(doc.frontPanelVolume, "3");
    EXPECT_EQ(app->textProcedure, 0);
    rig.prompts.QueueAnswer(quillon::Answer::Yes);
    EXPECT_TRUE(app->OnGet());
    EXPECT_EQ(doc.frontPanelVolume, "10");
}

}  // namespace
