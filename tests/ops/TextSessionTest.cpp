// Mode detection, login and the compatibility check against the simulated
// card on virtual time.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "LineSpoil.h"
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

// A card that echoes and then answers each line from a table: for the
// answers a real card would not give. It notes every line it receives with
// the moment the programmer sent it, so that tests can count the tries and
// measure the waits between them.
class ScriptedCard : public quillon::sim::SimPeer {
  public:
    struct Seen {
        std::string line;  // with its "\r"
        uint64_t sentNs;   // when its first byte left the programmer
    };

    ScriptedCard(const quillon::sim::VirtualClock& clock, uint64_t byteNs)
        : clock_(clock), byteNs_(byteNs) {}

    std::map<std::string, std::string> answers;  // line (with its end) -> reply
    std::string fallback;
    bool echo = true;
    // When set, answers the n-th line (counted from 0) instead of the table.
    std::function<std::string(size_t n, const std::string& line)> script;
    std::vector<Seen> seen;

    void Receive(const uint8_t* data, size_t count) override {
        for (size_t i = 0; i < count; ++i) {
            const char c = static_cast<char>(data[i]);
            if (line_.empty()) {
                lineSentNs_ = clock_.NowNs() - byteNs_;
            }
            line_ += c;
            if (echo) {
                Emit(&data[i], 1);
            }
            if (c == '\r') {
                seen.push_back(Seen{line_, lineSentNs_});
                if (script) {
                    Emit(script(seen.size() - 1, line_));
                } else {
                    auto it = answers.find(line_);
                    Emit(it != answers.end() ? it->second : fallback);
                }
                line_.clear();
            }
        }
    }
    // The lines received so far that equal the given one.
    size_t Count(const std::string& line) const {
        size_t n = 0;
        for (const Seen& s : seen) {
            n += s.line == line ? 1 : 0;
        }
        return n;
    }
    // Milliseconds from each line to the next, from line `from` on.
    std::vector<uint64_t> GapsMs(size_t from = 0) const {
        std::vector<uint64_t> gaps;
        for (size_t i = from + 1; i < seen.size(); ++i) {
            gaps.push_back((seen[i].sentNs - seen[i - 1].sentNs) / kMs);
        }
        return gaps;
    }

  private:
    const quillon::sim::VirtualClock& clock_;
    uint64_t byteNs_;
    std::string line_;
    uint64_t lineSentNs_ = 0;
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
        scripted = std::make_unique<ScriptedCard>(rig.clock, rig.line.ByteTimeNs());
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

// --- faults on the line during the login ----------------------------------------

TEST_F(TextSessionTest, AUserNameSpoiltOnTheWayIsSentAgainAndTheLoginSucceeds) {
    WithCard();
    const auto spoil = quillon::testing::SpoilAfter(
        rig.line, quillon::sim::SimLine::Dir::HostToCard, "fie", 1, '1');
    rig.prompts.QueuePassword("quillon");
    Login();
    ASSERT_EQ(spoil->hits, 1);
    // The card asked "fie1d" for a password and refused it; the echo had
    // shown the name spoilt, so the login went once more.
    const std::string& passed = spoil->passed;
    EXPECT_NE(passed.find("fie1d\r"), std::string::npos);
    EXPECT_EQ(passed.find("field\r"), passed.rfind("field\r"));  // whole once
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->passwordKnown, 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
}

TEST_F(TextSessionTest, APasswordTheCardRefusedWholeIsNotTriedAgain) {
    WithCard();
    std::string seen;
    rig.line.SetFilter(quillon::sim::SimLine::Dir::HostToCard, [&](uint8_t b) {
        seen += static_cast<char>(b);
        return quillon::sim::FilterResult{};
    });
    rig.prompts.QueuePassword("guess");
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Login failed! Maybe you entered the wrong password?"});
    EXPECT_EQ(seen.find("guess\r"), seen.rfind("guess\r"));  // sent once
}

TEST_F(TextSessionTest, ANakSpoiltIntoTheLoginPromptIsNoBinaryMode) {
    WithScriptedCard();
    int prompts = 0;
    scripted->script = [&](size_t, const std::string& line) -> std::string {
        if (line == "\r") {
            return ++prompts == 1 ? "\nLo\x15in > " : "\nLogin > ";
        }
        if (line == "field\r") {
            return "\nPasswd > ";
        }
        if (line == "secret\r") {
            return "\r\nVEL> ";
        }
        return "\n1.2\r\nVEL> ";
    };
    rig.prompts.QueuePassword("secret");
    Login();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->compatibility, 2);
}

TEST_F(TextSessionTest, AVersionSpoiltOnTheLineIsAskedAgain) {
    WithScriptedCard();
    scripted->fallback = "\nVEL> ";
    int asked = 0;
    scripted->script = [&](size_t, const std::string& line) -> std::string {
        if (line == "getp bcp_version\r") {
            return ++asked == 1 ? "\n1.\xb2\r\nVEL> " : "\n1.2\r\nVEL> ";
        }
        return "\nVEL> ";
    };
    Login();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->compatibility, 2);
}

TEST_F(TextSessionTest, AnOlderVersionIsAskedThreeTimesBeforeTheMessage) {
    WithScriptedCard();
    scripted->fallback = "\nVEL> ";
    scripted->answers["getp bcp_version\r"] = "\n1.1\r\nVEL> ";
    Login();
    EXPECT_EQ(scripted->Count("getp bcp_version\r"), 3u);
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kOlder});
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

// --- the login's counts and time-outs, on the virtual clock ---------------------
//
// Every wait below is a reply wait that runs to its time-out: 100 ms after
// the command, then the time-out itself, so a 3 s wait puts 3100 ms between
// one command and the next.

TEST_F(TextSessionTest, DetectionTriesEightTimesAndWaitsFiveSecondsOnlyAfterSilence) {
    WithScriptedCard();
    scripted->echo = false;
    // Silent, one character, one character, silent, silent, one character,
    // silent, silent. One character is an answer (too short to mean
    // anything) and never completes a reply, so each wait runs out.
    const std::vector<std::string> replies = {"", "\r", "\r", "", "", "\r", "", "", "", ""};
    scripted->script = [&](size_t n, const std::string&) {
        return n < replies.size() ? replies[n] : std::string("\nVEL> ");
    };
    Login();
    ASSERT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    ASSERT_EQ(scripted->seen.size(), 8u);
    EXPECT_EQ(scripted->Count("\r"), 8u);
    // 3 s first; 5 s after a silent attempt, 3 s after any answer.
    EXPECT_EQ(scripted->GapsMs(),
              (std::vector<uint64_t>{3100, 5100, 3100, 3100, 5100, 5100, 3100}));
    EXPECT_EQ(rig.clock.NowNs() - scripted->seen.back().sentNs, 5100 * kMs);
    EXPECT_FLOAT_EQ(rig.progress.BarValue(), 100.0f);
}

TEST_F(TextSessionTest, DetectionTakesFiveCharactersAsAnAnswerAndFourAsNone) {
    WithScriptedCard();
    scripted->echo = false;
    scripted->script = [&](size_t n, const std::string& line) -> std::string {
        if (line == "getp bcp_version\r") {
            return "getp bcp_version\r\n1.2\r\nVEL> ";
        }
        return n == 0 ? "\rVEL" : "\rVEL>";  // four characters, then five
    };
    Login();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(app->promptReady, 1);
    ASSERT_EQ(scripted->seen.size(), 3u);
    EXPECT_EQ(scripted->Count("\r"), 2u);
    EXPECT_EQ(scripted->seen[2].line, "getp bcp_version\r");
}

TEST_F(TextSessionTest, PromptSearchSendsOneAndThenSixteenCarriageReturnsThreeSecondsEach) {
    WithScriptedCard();
    scripted->echo = false;
    // Detection sees the login, then the card falls silent.
    scripted->script = [](size_t n, const std::string&) {
        return n == 0 ? std::string("\nLogin") : std::string();
    };
    Login();
    ASSERT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Communications error occurred! Please check transceiver."});
    // One carriage return of the detection, one looking for a logged-in
    // session, sixteen looking for the login prompt.
    ASSERT_EQ(scripted->seen.size(), 18u);
    EXPECT_EQ(scripted->Count("\r"), 18u);
    EXPECT_EQ(scripted->GapsMs(1), std::vector<uint64_t>(16, 3100));
    EXPECT_EQ(rig.clock.NowNs() - scripted->seen.back().sentNs, 3100 * kMs);
    EXPECT_EQ(PasswordDialogs(), 0);
    EXPECT_TRUE(Idle());
}

TEST_F(TextSessionTest, LoginPromptOnTheSixteenthTryIsStillTaken) {
    WithScriptedCard();
    scripted->echo = false;
    scripted->script = [](size_t n, const std::string& line) -> std::string {
        if (line == "field\r") {
            return "field\r\nPasswd > ";
        }
        if (line == "secret\r") {
            return "secret\r\r\nVEL> ";
        }
        if (line == "getp bcp_version\r") {
            return "getp bcp_version\r\n1.2\r\nVEL> ";
        }
        if (n == 0) {
            return "\nLogin";  // the detection
        }
        // Silent through the logged-in check and the first fifteen tries.
        return n == 17 ? "\r\nLogin > " : "";
    };
    rig.prompts.QueuePassword("secret");
    Login();
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_EQ(scripted->Count("\r"), 18u);
    EXPECT_EQ(scripted->Count("field\r"), 1u);
}

struct SilentReplyCase {
    const char* silentOn;  // the one line the card does not answer
    const char* message;
};

void PrintTo(const SilentReplyCase& c, std::ostream* os) {
    for (const char* p = c.silentOn; *p != '\0'; ++p) {
        *os << (*p == '\r' ? std::string("\\r") : std::string(1, *p));
    }
}

class LoginReplyWaitTest : public TextSessionTest,
                           public ::testing::WithParamInterface<SilentReplyCase> {};

TEST_P(LoginReplyWaitTest, GivesUpThreeSecondsAfterItsCommand) {
    WithScriptedCard();
    scripted->echo = false;
    const std::string silentOn = GetParam().silentOn;
    scripted->script = [silentOn](size_t, const std::string& line) -> std::string {
        if (line == silentOn) {
            return "";
        }
        if (line == "field\r") {
            return "field\r\nPasswd > ";
        }
        if (line == "secret\r") {
            return "secret\r\r\nVEL> ";
        }
        if (line == "getp bcp_version\r") {
            return "getp bcp_version\r\n1.2\r\nVEL> ";
        }
        return "\r\nLogin > ";
    };
    rig.prompts.QueuePassword("secret");
    Login();
    ASSERT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{GetParam().message});
    ASSERT_EQ(scripted->seen.back().line, silentOn);
    EXPECT_EQ(rig.clock.NowNs() - scripted->seen.back().sentNs, 3100 * kMs);
}

INSTANTIATE_TEST_SUITE_P(
    UserNamePasswordAndVersion, LoginReplyWaitTest,
    ::testing::Values(
        SilentReplyCase{"field\r", "Communications error occurred! Please check transceiver."},
        SilentReplyCase{"secret\r",
                        "A communications error occurred! Please check transceiver. (pass 2)"},
        SilentReplyCase{"getp bcp_version\r", kMissing}));

TEST_F(TextSessionTest, LogoutAfterTheRebootWaitsThreeSecondsBeforeItsReport) {
    WithScriptedCard();
    scripted->echo = false;
    // The card shows its login to the detection and is found logged in by
    // the next carriage return; it never answers the logout.
    scripted->script = [](size_t n, const std::string&) -> std::string {
        if (n == 0) {
            return "\nLogin";
        }
        return n == 1 ? "\r\r\nVEL> " : "";
    };
    app->tableWritten = 1;
    Login();
    ASSERT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Channel table has been written to the Transceiver.\n"
                                       "Transceiver has been rebooted."});
    ASSERT_EQ(scripted->seen.size(), 4u);
    EXPECT_EQ(scripted->seen[2].line, "\r");
    EXPECT_EQ(scripted->seen[3].line, "logout\r");
    EXPECT_EQ(rig.clock.NowNs() - scripted->seen[2].sentNs, 3100 * kMs);
}

// --- a line that delivers late and in bursts ----------------------------------------
//
// A modem link's latency and a USB serial adapter that hands bytes over
// every 16 ms: replies reach the programmer in pieces with quiet gaps
// between them, and each piece must be taken as part of the reply. Where a
// burst boundary falls in a reply depends on the latency, so every test runs
// with 120 ms and each of the fifteen milliseconds after it: one of them
// cuts any given reply at any given place.

class BurstyLineTest : public TextSessionTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        quillon::sim::LineDelivery usb;
        usb.latencyNs = static_cast<uint64_t>(GetParam()) * kMs;
        usb.burstNs = 16 * kMs;
        rig.line.SetDelivery(quillon::sim::SimLine::Dir::CardToHost, usb);
    }
};

TEST_P(BurstyLineTest, LoginAtThePromptSucceeds) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{});
    EXPECT_EQ(PasswordDialogs(), 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->sessionState, 1);
    EXPECT_EQ(app->passwordKnown, 1);
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    EXPECT_TRUE(Idle());
}

TEST_P(BurstyLineTest, LoggedInCardIsDetectedAndPassesTheVersionCheck) {
    WithCard();
    // Logged in by hand, waiting for the prompts themselves.
    app->Link()->SendText("field\r", 3, false, "Passwd > ");
    app->Link()->SendText("quillon\r", 3, false, "VEL> ");
    ASSERT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{});
    EXPECT_EQ(PasswordDialogs(), 0);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->compatibility, 2);
    EXPECT_FLOAT_EQ(app->transceiverVersion, 1.2f);
}

TEST_P(BurstyLineTest, CardInBinaryModeIsDetected) {
    CardOptions o;
    o.startBinary = true;
    WithCard(o);
    Login();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{});
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_EQ(app->sessionState, 1);
}

TEST_P(BurstyLineTest, EnteringBinaryModeIsConfirmed) {
    WithCard();
    rig.prompts.QueuePassword("quillon");
    Login();
    app->textProcedure = textproc::kEnterBinary;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 10000);
    EXPECT_EQ(app->binaryMode, 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Binary);
}

INSTANTIATE_TEST_SUITE_P(LatencyMs, BurstyLineTest, ::testing::Range(120, 136));

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

TEST_F(TextSessionTest, UnconfirmedBinaryModeIsTriedThreeTimesThenReportedAndDropped) {
    WithScriptedCard();
    scripted->answers["\r"] = "\nVEL> ";
    scripted->fallback = "\nUnknown command\r\nVEL> ";
    app->pendingBinary = 4;
    app->binaryPending = 1;
    app->chainState = 5;
    app->textProcedure = textproc::kEnterBinary;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 20000);
    // Each refusal is followed by a carriage return that finds the card
    // still at its prompt.
    EXPECT_EQ(scripted->Count("setp bin_mode on\r"), 3u);
    EXPECT_EQ(scripted->Count("\n\r"), 3u);  // the "\n" ends the line before
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(app->binaryPending, 0);
    EXPECT_EQ(app->pendingBinary, 0);
    EXPECT_EQ(app->chainState, 2);
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
}

TEST_F(TextSessionTest, ASpoiltConfirmationIsCheckedAndTheCardFoundInBinaryMode) {
    WithScriptedCard();
    bool binary = false;
    scripted->script = [&](size_t, const std::string& line) -> std::string {
        if (line == "setp bin_mode on\r") {
            binary = true;
            return "\nEnter\x8eng binary mode\r\n";  // one character spoilt on the line
        }
        return binary ? "\x15" : "\nVEL> ";
    };
    app->pendingBinary = 4;
    app->binaryPending = 1;
    app->textProcedure = textproc::kEnterBinary;
    rig.pump.RunUntil([&] { return app->textProcedure == 0; }, 20000);
    EXPECT_EQ(scripted->Count("setp bin_mode on\r"), 1u);
    EXPECT_EQ(app->binaryMode, 1);
    // The transfer goes on in binary mode.
    EXPECT_TRUE(app->binaryPending == 1 || app->binaryTransaction == 4);
    EXPECT_EQ(app->sessionState, 1);
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

TEST_F(TextSessionTest, ReplyEndsTwentyFiveMillisecondsAfterItsLastByte) {
    WithScriptedCard();
    scripted->echo = false;  // the card side is written by hand below
    const uint64_t t0 = rig.clock.NowNs();
    auto say = [&](uint64_t atMs, const char* text) {
        rig.clock.ScheduleAt(t0 + atMs * kMs, [this, text] {
            rig.line.Card().Write(reinterpret_cast<const uint8_t*>(text),
                                  static_cast<int>(std::strlen(text)));
        });
    };
    say(150, "OK");     // in by 152.1 ms: complete
    say(172, " more");  // a pause of 21 ms, in by 177.2 ms
    say(207, " late");  // a pause of 31 ms
    const std::string r = app->Link()->SendText("x\r", 3, true, "OK");
    EXPECT_EQ(r, "OK more");
    const uint64_t tookMs = (rig.clock.NowNs() - t0) / kMs;
    EXPECT_GE(tookMs, 177u + 25u);
    EXPECT_LE(tookMs, 177u + 25u + 2u * quillon::CCommPort::kPollIntervalMs);
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
