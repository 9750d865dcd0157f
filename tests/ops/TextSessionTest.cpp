// Mode detection, login and the compatibility check against the simulated
// card on virtual time.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "SimRig.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "ops/TextSession.h"
#include "sim/SimPeer.h"
#include "sim/TransceiverSim.h"

using quillon::CTmpApp;
using quillon::sim::CardOptions;
using quillon::sim::TransceiverSim;
namespace textproc = quillon::textproc;

namespace {

constexpr uint64_t kMs = quillon::sim::VirtualClock::kNsPerMs;

const char* kCommsError = "A communications error occurred! Please check transceiver.";

// A card that echoes and then answers each line from a table: for the
// answers a real card would not give.
class ScriptedCard : public quillon::sim::SimPeer {
  public:
    std::map<std::string, std::string> answers;  // line (with its end) -> reply
    std::string fallback;
    bool echo = true;
    void Receive(const uint8_t* data, size_t count) override {
        for (size_t i = 0; i < count; ++i) {
            const char c = static_cast<char>(data[i]);
            line_ += c;
            if (echo) {
                Emit(&data[i], 1);
            }
            if (c == '\r') {
                auto it = answers.find(line_);
                Emit(it != answers.end() ? it->second : fallback);
                line_.clear();
            }
        }
    }

  private:
    std::string line_;
};

class TextSessionTest : public ::testing::Test {
  protected:
    quillon::testing::SimRig rig;
    std::unique_ptr<TransceiverSim> card;
    std::unique_ptr<ScriptedCard> scripted;
    std::unique_ptr<CTmpApp> app;

    ~TextSessionTest() override {
        app.reset();
        if (card) {
            quillon::sim::DetachFromLine(rig.line.Card(), *card);
        }
        if (scripted) {
            quillon::sim::DetachFromLine(rig.line.Card(), *scripted);
        }
    }
    void WithCard(CardOptions options = {}) {
        card = std::make_unique<TransceiverSim>(rig.clock, options);
        quillon::sim::AttachToLine(rig.line.Card(), *card);
        MakeApp();
    }
    void WithScriptedCard() {
        scripted = std::make_unique<ScriptedCard>();
        quillon::sim::AttachToLine(rig.line.Card(), *scripted);
        MakeApp();
    }
    void MakeApp() {
        app = std::make_unique<CTmpApp>(rig.Deps());
        rig.pump.SetTarget(app.get());
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
    }
    // Runs the login as a command would start it, until it has ended.
    void Login(uint32_t maxMs = 200000) {
        app->textProcedure = textproc::kLogin;
        rig.pump.AfterCommand();
        ASSERT_TRUE(rig.pump.RunUntil([&] { return app->textProcedure == 0; }, maxMs));
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->chainState == 2 &&
               app->binaryPending == 0 && app->textPending == 0;
    }
    int PasswordDialogs() const {
        return rig.prompts.CountKind(quillon::sim::ScriptedPrompts::Kind::PasswordEntry);
    }
};

TEST_F(TextSessionTest, LoginAtThePromptAsksThePasswordAndChecksTheVersion) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->sessionState, 1);
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->passwordKnown, 1);
    EXPECT_EQ(app->rememberedPassword, "quillon");
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_FLOAT_EQ(app->transceiverVersion, 1.2f);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    EXPECT_FALSE(rig.progress.IsShown());
    const auto titles = rig.progress.Titles();
    ASSERT_GE(titles.size(), 3u);
    EXPECT_EQ(titles[0], "Initialising");
    EXPECT_EQ(titles[1], "Login");
    const auto texts = rig.progress.Texts();
    EXPECT_EQ(texts[0], "Connecting to transceiver...");
    EXPECT_EQ(texts[1], "Looking for login prompt...");
    EXPECT_EQ(texts[2], "Looking for password prompt...");
    EXPECT_EQ(texts[3], "Determining channel table compatibility...");
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, SecondLoginOfTheRunUsesTheRememberedPassword) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    ASSERT_EQ(app->passwordKnown, 1);
    app->Link()->SendText("\rlogout\r", 3, true, "");
    ASSERT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    Login();
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
}

TEST_F(TextSessionTest, WrongPasswordFailsAndIsForgotten) {
    WithCard();
    rig.prompts.QueuePassword("guess");
    Login();
    ASSERT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Login failed! Maybe you entered the wrong password?"});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, quillon::Icon::Exclamation);
    EXPECT_EQ(app->passwordKnown, 0);
    EXPECT_TRUE(app->rememberedPassword.empty());
    EXPECT_EQ(app->promptReady, 0);
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, CancelledPasswordDialogAbortsQuietly) {
    WithCard();
    rig.prompts.QueueCancelPassword();
    Login();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->inBlockingWait, 0);
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, CardInBinaryModeIsFoundOnTheFirstAttempt) {
    CardOptions o;
    o.startBinary = true;
    WithCard(o);
    const uint64_t t0 = rig.clock.NowMs();
    Login();
    // The NAK answers the carriage return; the card's next offer of a NAK
    // a second later completes the reply, long before the 3 s time-out.
    EXPECT_LT(rig.clock.NowMs() - t0, 2500u);
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->sessionState, 1);
    EXPECT_EQ(app->compatibility, 0);  // not checked in binary mode
    EXPECT_EQ(PasswordDialogs(), 0);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
}

TEST_F(TextSessionTest, CardAlreadyLoggedInNeedsNoPassword) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    app->compatibility = 0;
    Login();
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_EQ(app->promptReady, 1);
}

TEST_F(TextSessionTest, SilentCardTakesThirtyEightSecondsOfDetection) {
    CardOptions o;
    o.silent = true;
    WithCard(o);
    const uint64_t t0 = rig.clock.NowNs();
    app->textProcedure = textproc::kLogin;
    uint64_t atMessage = 0;
    rig.pump.RunUntil(
        [&] {
            if (atMessage == 0 && !rig.prompts.Boxes().empty()) {
                atMessage = rig.clock.NowNs();
            }
            return app->textProcedure == 0;
        },
        100000);
    ASSERT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    // 3 s, then 7 x 5 s, plus 100 ms after each of the 8 commands.
    const double seconds = static_cast<double>(rig.clock.NowNs() - t0) / 1e9;
    EXPECT_GE(seconds, 38.8);
    EXPECT_LT(seconds, 38.9);
    EXPECT_EQ(app->sessionState, 2);
    EXPECT_FLOAT_EQ(rig.progress.BarValue(), 100.0f);
    EXPECT_TRUE(Idle());
    (void)atMessage;
}

TEST_F(TextSessionTest, ReplyShorterThanFiveCharactersIsNoAnswer) {
    WithScriptedCard();
    scripted->fallback = "\nVE";  // echo + 3 characters: 4 in all
    app->textProcedure = textproc::kLogin;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 100000);
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    // Each attempt got something, so each waited 3 s, not 5.
    EXPECT_LT(rig.clock.NowMs(), 8u * 3100u + 200u);
}

TEST_F(TextSessionTest, VelIsTestedBeforeLogin) {
    WithScriptedCard();
    scripted->fallback = "\nLogin VEL> ";
    scripted->answers["getp bcp_version\r"] = "\n1.2\r\nVEL> ";
    Login();
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(PasswordDialogs(), 0);
    EXPECT_EQ(app->compatibility, 2);
}

TEST_F(TextSessionTest, CancelDuringDetectionEndsTheWaitAtOnce) {
    CardOptions o;
    o.silent = true;
    WithCard(o);
    rig.progress.Show();
    const uint64_t clickAt = rig.clock.NowNs() + 1200 * kMs;
    rig.pump.PostActionAt(clickAt, [&] { app->CancelProcedures(); });
    app->textProcedure = textproc::kLogin;
    rig.pump.RunUntil([&] { return app->textProcedure == 0 && rig.clock.NowNs() > clickAt; },
                      100000);
    EXPECT_LT(rig.clock.NowNs() - clickAt, 50 * kMs);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_TRUE(rig.log.Contains("Cancel Button pressed"));
    EXPECT_TRUE(rig.log.Contains("DETECT_MODE : User pressed cancel"));
    EXPECT_TRUE(rig.log.Contains("DETECT_MODE : User pressed cancel && no connection"));
    EXPECT_EQ(app->sessionState, 3);
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, CardThatNeverAsksForThePassword) {
    WithScriptedCard();
    scripted->fallback = "\nLogin > ";
    scripted->answers["field\r"] = "\nUnknown user\r\nLogin > ";
    rig.prompts.QueuePassword("quillon");
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Communications error occurred! Please check "
                                       "transceiver. (pass)"});
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, UserNameWithoutAnyAnswer) {
    WithScriptedCard();
    scripted->fallback = "\nLogin > ";
    scripted->answers["field\r"] = "";
    rig.prompts.QueuePassword("quillon");
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Communications error occurred! Please check transceiver."});
}

TEST_F(TextSessionTest, PasswordWithoutAnyAnswer) {
    WithScriptedCard();
    scripted->fallback = "\nLogin > ";
    scripted->answers["field\r"] = "\nPasswd > ";
    scripted->answers["secret\r"] = "\n";
    rig.prompts.QueuePassword("secret");
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{
                  "A communications error occurred! Please check transceiver. (pass 2)"});
    EXPECT_EQ(app->passwordKnown, 0);
}

TEST_F(TextSessionTest, CardThatNeverShowsItsLoginPrompt) {
    WithScriptedCard();
    // It answers, and names its login, but never shows the prompt itself.
    scripted->fallback = "\nLogin disabled\r\n";
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Communications error occurred! Please check transceiver."});
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, GarbageAndATalkativeCardEndInTheMessagesWithinTheTimeOuts) {
    WithScriptedCard();
    std::string junk;
    for (int i = 0; i < 4000; ++i) {
        junk += static_cast<char>((i * 37 + 11) & 0xFF);
    }
    // No NAK, no "VEL", no "Login": looks like nothing the card says.
    for (auto& c : junk) {
        if (c == '\x15' || c == 'V' || c == 'L') {
            c = '#';
        }
    }
    scripted->fallback = junk;
    const uint64_t t0 = rig.clock.NowMs();
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    EXPECT_LT(rig.clock.NowMs() - t0, 40000u);
}

// --- the compatibility check ---------------------------------------------------

struct VersionCase {
    const char* version;
    int compatibility;
    const char* message;  // null: none
};

class VersionTest : public TextSessionTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionTest, VersionDecidesCompatibility) {
    CardOptions o;
    o.version = GetParam().version;
    WithCard(o);
    rig.prompts.QueuePassword("quillon");
    Login();
    EXPECT_EQ(app->compatibility, GetParam().compatibility);
    if (GetParam().message == nullptr) {
        EXPECT_TRUE(rig.prompts.BoxTexts().empty());
        EXPECT_EQ(rig.prompts.BeepCount(), 0);
    } else {
        EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{GetParam().message});
        EXPECT_EQ(rig.prompts.BeepCount(), 1);
        EXPECT_TRUE(Idle());
    }
}

const char* kOlder =
    "The Transceiver Software is not compatible with this version of the Quillon programmer.\n"
    "Upgrade the Transceiver Software to use it with this Quillon programmer.";
const char* kNewer =
    "The Programming Software is not compatible with the Transceiver Software.\n"
    "Upgrade the Programming Software to use with this Transceiver.";
const char* kMissing =
    "The software on the transceiver is not compatible with this version of the Quillon "
    "programmer.\nPlease upgrade the transceiver software to use it with this Quillon "
    "programmer.";

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionTest,
    // A mismatch aborts the procedures, and the abort
    // forgets the check again (0), so the next login
    // checks once more.
    ::testing::Values(VersionCase{"1.2", 2, nullptr}, VersionCase{"1.20", 2, nullptr},
                      VersionCase{"1.1", 0, kOlder}, VersionCase{"1.3", 0, kNewer},
                      VersionCase{"", 0, kMissing}, VersionCase{"v1.2", 0, kOlder}));

TEST(ParseVersionReply, CutsAtTheFirstOtherCharacterAndIgnoresTheLocale) {
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("1.2\r\nVEL> "), 1.2f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("1.20\r\n"), 1.2f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("1.2"), 1.2f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("1.2x"), 1.2f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("ver 1.2"), 0.0f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("."), 0.0f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply(""), 0.0f);
    EXPECT_FLOAT_EQ(quillon::ParseVersionReply("2\r\n"), 2.0f);
    // 1.2 exactly as a single-precision number.
    const float v = quillon::ParseVersionReply("1.2\r\n");
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    EXPECT_EQ(bits, 0x3F99999Au);
}

// --- entering binary mode -----------------------------------------------------------

TEST_F(TextSessionTest, EnterBinaryModeConfirmedAndRefused) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    app->textProcedure = textproc::kEnterBinary;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 10000);
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Binary);
}

TEST_F(TextSessionTest, UnconfirmedBinaryModeDropsThePendingTransactionQuietly) {
    WithScriptedCard();
    scripted->answers["\r"] = "\nVEL> ";
    scripted->fallback = "\nUnknown command\r\nVEL> ";
    app->pendingBinary = 4;
    app->binaryPending = 1;
    app->chainState = 5;
    app->textProcedure = textproc::kEnterBinary;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 10000);
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->binaryPending, 0);
    EXPECT_EQ(app->chainState, 2);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
}

// --- the reply wait ---------------------------------------------------------------------

TEST_F(TextSessionTest, ReplyOfOnlyTheEchoTakesTheWholeTimeOut) {
    WithScriptedCard();
    scripted->fallback = "";
    const uint64_t t0 = rig.clock.NowMs();
    const std::string r = app->Link()->SendText("getp ee_fpmon\r", 3, false, "");
    EXPECT_EQ(r, "");
    EXPECT_GE(rig.clock.NowMs() - t0, 3100u);
    EXPECT_LT(rig.clock.NowMs() - t0, 3110u);
    EXPECT_TRUE(rig.log.Contains("RX textmode : getp ee_fpmon\r"));
}

TEST_F(TextSessionTest, ReplyEndsWhenTheExpectedTextHasComeAndTheLineIsQuiet) {
    WithScriptedCard();
    scripted->echo = false;
    scripted->answers["atdt123\r"] = "\r\nCONNECT 9600\r\n";
    const uint64_t t0 = rig.clock.NowMs();
    const std::string r = app->Link()->SendText("atdt123\r", 40, true, "CONNECT");
    EXPECT_EQ(r, "\r\nCONNECT 9600\r\n");
    EXPECT_LT(rig.clock.NowMs() - t0, 200u);
}

TEST_F(TextSessionTest, ReplyWaitSurvivesTheTickCountWrapping) {
    // The tick count passes 2^32 during the wait: the wait still lasts its
    // three seconds instead of ending at once.
    rig.clock.~VirtualClock();
    new (&rig.clock) quillon::sim::VirtualClock(4294967295u - 1000u);
    WithScriptedCard();
    scripted->fallback = "";
    const uint64_t t0 = rig.clock.NowMs();
    app->Link()->SendText("x\r", 3, false, "");
    EXPECT_GE(rig.clock.NowMs() - t0, 3100u);
}

}  // namespace

// --- commands that start with a detection or a question -------------------------

namespace {

TEST_F(TextSessionTest, ExitBinaryModeOnACardInTextModeSaysSoAfterTheDetection) {
    WithCard();
    app->OnExitBinaryMode();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Transceiver already in text mode!"});
    EXPECT_EQ(app->binaryTransaction, 0);
    EXPECT_FALSE(rig.progress.IsShown());
}

TEST_F(TextSessionTest, ExitBinaryModeOnACardInBinaryModeStartsTheExitExchange) {
    CardOptions o;
    o.startBinary = true;
    WithCard(o);
    app->tableWritten = 1;
    app->OnExitBinaryMode();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->binaryTransaction, quillon::bintxn::kExitBinary);
    EXPECT_EQ(app->binaryPending, 0);
    EXPECT_EQ(app->tableWritten, 0);
    EXPECT_TRUE(rig.progress.IsShown());
    EXPECT_EQ(rig.progress.Title(), "Binary mode");
    EXPECT_EQ(rig.progress.Text(), "Initialising binary mode...");
    // A second press while the exchange runs only beeps.
    app->OnExitBinaryMode();
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
}

TEST_F(TextSessionTest, ExitBinaryModeWithoutAPort) {
    app = std::make_unique<CTmpApp>(rig.Deps());
    app->comPortIndex = 5;
    app->OnExitBinaryMode();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{"Serial port has not been opened!"});
}

}  // namespace
