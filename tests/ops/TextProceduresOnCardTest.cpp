// The text procedures of Send, Get and the password change, stepped by the
// driver against the simulated card on virtual time. A test starts where
// the binary transactions hand over: logged in, back in text mode, with the
// Send's or the Get's mark set.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AppOnCard.h"
#include "LineSpoil.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "sim/TransceiverSim.h"

using quillon::EmptyKeyList;
using quillon::Icon;
using quillon::sim::CardKey;
using quillon::sim::CardOptions;
using quillon::sim::TransceiverSim;
namespace textproc = quillon::textproc;
namespace bintxn = quillon::bintxn;

namespace {

const char* kWritten =
    "Channel table has been written to the Transceiver.\nTransceiver has been rebooted.";
const char* kRead = "Channel table has been read from the Transceiver.";
const char* kNotResetting = "Transceiver not resetting! Please check transceiver.";
const char* kCommsError = "A communications error occurred! Please check transceiver.";
const char* kEraseQuestion =
    "This document holds no encryption keys. Erase all encryption keys in the transceiver?";

size_t Count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) {
        ++n;
    }
    return n;
}

const std::string kEveryValueTwice =
    "getp ee_fpmon\r\ngetp ee_fpmon\r\ngetp ee_fpvol\r\ngetp ee_fpvol\r\n"
    "getp ee_bpnl_output\r\ngetp ee_bpnl_output\r\ngetp ee_dflt_chan\r\ngetp ee_dflt_chan\r\n";

bool Has(const std::string& s, const std::string& what) {
    return s.find(what) != std::string::npos;
}

class TextProceduresOnCard : public ::testing::Test, protected quillon::testing::AppOnCard {
  protected:
    // The communication log as written so far, one line after another.
    std::string LogText() const {
        std::string all;
        for (const std::string& line : rig.log.Lines()) {
            all += line + "\n";
        }
        return all;
    }
    quillon::model::CTmpDoc doc;
    std::string sent;  // every byte that reached the card
    // Runs once when `sent` first ends with the text.
    std::string cancelAfter;
    size_t sentAtCancel = std::string::npos;

    void WithCard(const CardOptions& options = {}) {
        AttachCard(options, [this](bool toDevice, uint8_t b) {
            if (!toDevice) {
                return;
            }
            sent += static_cast<char>(b);
            if (!cancelAfter.empty() && sentAtCancel == std::string::npos &&
                sent.size() >= cancelAfter.size() &&
                sent.compare(sent.size() - cancelAfter.size(), cancelAfter.size(), cancelAfter) ==
                    0) {
                sentAtCancel = sent.size();
                // The click is handled by the message loop inside the wait.
                rig.pump.PostActionAt(rig.clock.NowNs(), [this] { app->CancelProcedures(); });
            }
        });
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
        app->SetDocument(&doc);
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->pendingBinary == 0 && app->textPending == 0 &&
               app->chainState == quillon::chain::kWaitLogin;
    }
    void Run() {
        rig.pump.AfterCommand();
        ASSERT_TRUE(rig.pump.RunUntil([&] { return Idle(); }, 600000));
    }
    void LogIn() {
        app->StartLogin(quillon::sim::kFactoryPassword);
        Run();
        ASSERT_TRUE(app->CardLoggedIn());
        ASSERT_TRUE(rig.prompts.BoxTexts().empty());
        sent.clear();
    }
    // Where the binary part of a Send hands over (its transaction code is
    // still the pending one).
    void StartSendTail() {
        app->tableWritten = 1;
        app->pendingBinary = bintxn::kSendChannels;
        app->textProcedure = textproc::kKeyUpload;
    }
    void StartGetTail() {
        app->tableRead = 1;
        app->pendingBinary = bintxn::kGetChannels;
        app->textProcedure = textproc::kParameterRead;
    }
    std::string After(const std::string& what) const {
        const size_t at = sent.find(what);
        return at == std::string::npos ? std::string() : sent.substr(at + what.size());
    }
    void ExpectDriverIdle() {
        EXPECT_TRUE(Idle());
        EXPECT_EQ(app->tableWritten, 0);
        EXPECT_EQ(app->tableRead, 0);
        EXPECT_EQ(app->inBlockingWait, 0);
        EXPECT_FALSE(rig.progress.IsShown());
    }
    void Spoil(quillon::sim::SimLine::Dir dir, const std::string& after, int times, char with) {
        quillon::testing::SpoilAfter(rig.line, dir, after, times, with);
    }
    void SetCardKeys(const std::vector<CardKey>& keys) {
        auto content = card->Content();
        content.keys = keys;
        card->SetContent(content);
    }
};

// --- Send -------------------------------------------------------------------------

TEST_F(TextProceduresOnCard, SendWritesKeysAndParametersStoresTheTableAndConfirmsTheReboot) {
    WithCard();
    SetCardKeys({CardKey{7, "1111111111111111"}});
    LogIn();
    doc.keys.Add("0123456789abcdef", 26);
    doc.keys.Add("fedcba9876543210", 0x1234);
    doc.frontPanelMonitor = "0";
    doc.frontPanelVolume = "5";
    doc.backPanelOutput = "2";
    doc.defaultChannel = "17";

    StartSendTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Information);
    const std::vector<CardKey> keys{{26, "0123456789abcdef"}, {0x1234, "fedcba9876543210"}};
    EXPECT_EQ(card->Content().keys, keys);
    EXPECT_EQ(*card->Content().Parameter("ee_fpmon"), "0");
    EXPECT_EQ(*card->Content().Parameter("ee_fpvol"), "5");
    EXPECT_EQ(*card->Content().Parameter("ee_bpnl_output"), "2");
    EXPECT_EQ(*card->Content().Parameter("ee_dflt_chan"), "17");
    EXPECT_EQ(card->Reboots(), 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);  // logged out
    ExpectDriverIdle();
    // The re-login used the remembered password, which is then forgotten.
    EXPECT_EQ(app->passwordKnown, 0);

    EXPECT_TRUE(Has(sent,
                    "setp crypt_key erase\n\r"
                    "setp crypt_key 129    26 0123456789abcdef\n\r"
                    "setp crypt_key 129  4660 fedcba9876543210\n\r"
                    "setp ee_fpmon 0\r\n"
                    "setp ee_fpvol 5\r\n"
                    "setp ee_bpnl_output 2\r\n"
                    "setp ee_dflt_chan 17\r\n"
                    "\n\r"))
        << sent;
    EXPECT_EQ(Count(sent, "wct\r\n"), 1u);
    EXPECT_TRUE(Has(sent, "\rlogout\r"));
    // The card's echo of each key reached the log only masked, as did the
    // password of the re-login.
    const std::string log = LogText();
    EXPECT_TRUE(Has(log, "setp crypt_key 129    26 ****************")) << log;
    EXPECT_FALSE(Has(log, "0123456789abcdef")) << log;
    EXPECT_FALSE(Has(log, "fedcba9876543210")) << log;
    EXPECT_FALSE(Has(log, "quillon")) << log;
    const std::vector<std::string> titles = rig.progress.Titles();
    for (const char* t : {"Encryption keys", "General Parameters", "Writing channel table"}) {
        EXPECT_NE(std::find(titles.begin(), titles.end(), t), titles.end()) << t;
    }
}

// --- faults on the line in the text part of a Send or Get ----------------------------

TEST_F(TextProceduresOnCard, AKeySpoiltOnTheWayIsSentAgainAndTheCardHoldsItWhole) {
    WithCard();
    LogIn();
    doc.keys.Add("0123456789abcdef", 26);
    // The card would store "0123f56789abcdef"; its echo shows it.
    Spoil(quillon::sim::SimLine::Dir::HostToCard, "   26 0123", 1, 'f');
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_EQ(card->Content().keys, (std::vector<CardKey>{{26, "0123456789abcdef"}}));
    EXPECT_EQ(Count(sent, "setp crypt_key 129    26"), 2u);
    EXPECT_FALSE(Has(LogText(), "0123456789abcdef"));  // the repeat is masked too
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, AParameterThatNeverComesBackWholeStopsTheSendBeforeTheCardStores) {
    WithCard();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    doc.frontPanelVolume = "4";
    Spoil(quillon::sim::SimLine::Dir::CardToHost, "setp ee_fp", 100, '#');
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    EXPECT_EQ(Count(sent, "setp ee_fpmon"), 3u);
    EXPECT_FALSE(Has(sent, "setp ee_fpvol"));
    EXPECT_FALSE(Has(sent, "wct"));
    EXPECT_EQ(card->Reboots(), 0);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, AValueCutToAnotherValueOnTheLineIsNotTaken) {
    WithCard();
    LogIn();
    // "ee_fpvol: 10" arrives as "ee_fpvol: 1": a volume all the same.
    Spoil(quillon::sim::SimLine::Dir::CardToHost, "ee_fpvol: 1", 1, '\r');
    StartGetTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kRead});
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_EQ(Count(sent, "getp ee_fpvol"), 3u);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, AWctWhoseEchoComesBackSpoiltIsSentAgainAndStoresOnce) {
    WithCard();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    // The card gets "wct" and a spoilt line end: not its command.
    Spoil(quillon::sim::SimLine::Dir::HostToCard, "wct", 1, '\xd3');
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_EQ(Count(sent, "wct"), 2u);
    EXPECT_EQ(card->Reboots(), 1);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, AValueSpoiltOnTheWayBackIsReadAgain) {
    WithCard();
    LogIn();
    Spoil(quillon::sim::SimLine::Dir::CardToHost, "ee_fpvol: ", 1, '#');
    StartGetTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kRead});
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_EQ(Count(sent, "getp ee_fpvol"), 3u);  // the spoilt one, then two that agree
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ACardThatAnswersAfterWctIsWaitedForUntilItHasRebooted) {
    CardOptions lingering;
    lingering.wctLingerSeconds = 4.0;
    WithCard(lingering);
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;

    StartSendTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_EQ(card->Reboots(), 1);
    EXPECT_EQ(Count(sent, "wct\r\n"), 1u);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ACardThatNeverConfirmsWctGetsItOnceAndTheSessionIsPutRight) {
    CardOptions unconfirmed;
    unconfirmed.wctConfirm = false;
    WithCard(unconfirmed);
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;

    StartSendTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kNotResetting});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Exclamation);
    // Echoed, so the card has it: no second store and reboot.
    EXPECT_EQ(Count(sent, "wct\r\n"), 1u);
    EXPECT_EQ(card->Reboots(), 1);
    // The quiet re-login: logged in again, no log-out, no written message.
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    EXPECT_EQ(app->promptReady, 1);
    EXPECT_FALSE(Has(sent, "logout"));
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ACardSilentForTheWholeRebootWaitEndsTheSendWithAMessage) {
    CardOptions slow;
    slow.rebootSeconds = 3600.0;
    WithCard(slow);
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;

    StartSendTail();
    Run();

    // 21 tries of the reboot wait, then the login's detection gives up.
    EXPECT_EQ(Count(After("wct\r\n"), "\n\r"), 21u);
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kCommsError});
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Rebooting);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ALoginThatFindsTheCardStillLoggedInDoesNotEndTheSendQuietly) {
    WithCard();
    LogIn();
    // The write-table procedure believed the card rebooted, but the card
    // never went down: the confirming login finds its shell prompt.
    app->tableWritten = 1;
    app->pendingBinary = bintxn::kSendChannels;
    app->textProcedure = textproc::kLogin;
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kNotResetting});
    EXPECT_EQ(card->Reboots(), 0);
    ExpectDriverIdle();
}

// --- the card's keys when the document has none --------------------------------------

TEST_F(TextProceduresOnCard, AnEmptyKeyListAsksBeforeTheCardsKeysAreErased) {
    WithCard();
    const std::vector<CardKey> cardKeys{{3, "0123456789abcdef"}};
    SetCardKeys(cardKeys);
    LogIn();

    // No (or closing the box) keeps them; the Send goes on.
    rig.prompts.QueueAnswer(quillon::Answer::No);
    StartSendTail();
    Run();
    ASSERT_EQ(rig.prompts.Boxes().size(), 2u);
    EXPECT_EQ(rig.prompts.Boxes()[0].text, kEraseQuestion);
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Question);
    EXPECT_EQ(rig.prompts.Boxes()[0].buttons, quillon::Buttons::YesNo);
    EXPECT_EQ(rig.prompts.Boxes()[1].text, kWritten);
    EXPECT_EQ(card->Content().keys, cardKeys);
    EXPECT_FALSE(Has(sent, "crypt_key"));
    EXPECT_TRUE(Has(sent, "setp ee_fpmon 1\r\n"));

    // Yes erases them.
    rig.prompts.ClearRecords();
    LogIn();
    rig.prompts.QueueAnswer(quillon::Answer::Yes);
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), (std::vector<std::string>{kEraseQuestion, kWritten}));
    EXPECT_TRUE(card->Content().keys.empty());
    EXPECT_TRUE(Has(sent, "setp crypt_key erase\n\r"));
    EXPECT_FALSE(Has(sent, "setp crypt_key 129"));
}

TEST_F(TextProceduresOnCard, TheCommandLineToolAnswersTheKeyQuestionWithItsFlag) {
    WithCard();
    const std::vector<CardKey> cardKeys{{3, "0123456789abcdef"}};
    SetCardKeys(cardKeys);
    LogIn();

    app->emptyKeyList = EmptyKeyList::Keep;
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_EQ(card->Content().keys, cardKeys);

    rig.prompts.ClearRecords();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Erase;
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_TRUE(card->Content().keys.empty());
}

// --- the Send refuses document text that is no value ------------------------------------

TEST_F(TextProceduresOnCard, SendRefusesABadValueBeforeAnythingReachesTheCard) {
    WithCard();
    LogIn();
    doc.frontPanelVolume = "5\r\nwct";

    app->OnSend();
    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{
                  "The radio wide setting front panel audio level (1 to 10) holds \"5\\r\\nwct\", "
                  "which is not valid.\nPlease correct it in Radio Wide Settings. Nothing has been "
                  "sent to the Transceiver."});
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
    EXPECT_TRUE(Idle());
    rig.pump.RunFor(5000);
    EXPECT_EQ(sent, "");
    EXPECT_EQ(card->Reboots(), 0);

    // A document changed while a Send runs is checked again before its text goes out.
    rig.prompts.ClearRecords();
    doc.frontPanelVolume = "5";
    doc.keys.Add("0123456789abcdef\r\nwct", 1);
    StartSendTail();
    Run();
    ASSERT_EQ(rig.prompts.BoxTexts().size(), 1u);
    EXPECT_TRUE(Has(rig.prompts.BoxTexts()[0], "Encryption key 1 "));
    EXPECT_EQ(sent, "");
    ExpectDriverIdle();
}

// --- Cancel -------------------------------------------------------------------------------

TEST_F(TextProceduresOnCard, CancelInTheKeyUploadWritesNoFurtherKeyAndNothingElse) {
    WithCard();
    LogIn();
    doc.keys.Add("0123456789abcdef", 1);
    doc.keys.Add("fedcba9876543210", 2);
    doc.keys.Add("0011223344556677", 3);
    cancelAfter = "0123456789abcdef\n\r";

    StartSendTail();
    Run();
    rig.pump.RunFor(20000);

    ASSERT_NE(sentAtCancel, std::string::npos);
    EXPECT_EQ(sent.substr(sentAtCancel), "");
    EXPECT_EQ(card->Content().keys, (std::vector<CardKey>{CardKey{1, "0123456789abcdef"}}));
    EXPECT_EQ(card->Reboots(), 0);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, CancelInTheParameterWriteStopsBeforeTheNextParameter) {
    WithCard();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    doc.frontPanelVolume = "3";
    cancelAfter = "setp ee_fpvol 3\r\n";

    StartSendTail();
    Run();
    rig.pump.RunFor(20000);

    ASSERT_NE(sentAtCancel, std::string::npos);
    EXPECT_EQ(sent.substr(sentAtCancel), "");
    EXPECT_EQ(*card->Content().Parameter("ee_bpnl_output"), "1");
    EXPECT_EQ(card->Reboots(), 0);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, CancelInTheRebootWaitStartsNoLogin) {
    WithCard();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    cancelAfter = "wct\r\n\n\r";

    StartSendTail();
    Run();
    rig.pump.RunFor(60000);

    ASSERT_NE(sentAtCancel, std::string::npos);
    EXPECT_EQ(sent.substr(sentAtCancel), "");
    EXPECT_EQ(card->Reboots(), 1);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    ExpectDriverIdle();
}

// --- Get -----------------------------------------------------------------------------------

TEST_F(TextProceduresOnCard, GetReadsTheParametersLogsOutAndReports) {
    WithCard();
    auto content = card->Content();
    ASSERT_TRUE(content.SetParameter("ee_fpmon", "0"));
    ASSERT_TRUE(content.SetParameter("ee_bpnl_output", "3"));
    ASSERT_TRUE(content.SetParameter("ee_dflt_chan", "300"));
    card->SetContent(content);
    LogIn();

    StartGetTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kRead});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Information);
    EXPECT_EQ(doc.frontPanelMonitor, "0");
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_EQ(doc.backPanelOutput, "3");
    EXPECT_EQ(doc.defaultChannel, "300");
    EXPECT_TRUE(doc.IsModified());
    // Each value is read until two readings agree.
    EXPECT_EQ(sent, kEveryValueTwice + "\rlogout\r");
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, AOneDigitVolumeIsReadAndWrittenBackUnchanged) {
    WithCard();
    auto content = card->Content();
    ASSERT_TRUE(content.SetParameter("ee_fpvol", "5"));
    ASSERT_TRUE(content.SetParameter("ee_bpnl_output", "0"));
    card->SetContent(content);
    LogIn();

    StartGetTail();
    Run();
    ASSERT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kRead});
    EXPECT_EQ(doc.frontPanelVolume, "5");
    EXPECT_EQ(doc.backPanelOutput, "0");
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");

    rig.prompts.ClearRecords();
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_TRUE(Has(sent,
                    "setp ee_fpmon 1\r\nsetp ee_fpvol 5\r\nsetp ee_bpnl_output 0\r\n"
                    "setp ee_dflt_chan 0xFFFF\r\n"))
        << sent;
    EXPECT_EQ(*card->Content().Parameter("ee_fpvol"), "5");
    EXPECT_EQ(*card->Content().Parameter("ee_dflt_chan"), "65535");
}

struct BadReply {
    const char* name;
    const char* reply;  // sent by the card in place of "NAME: VALUE\r\n"
    const char* message;
};

class BadGetpReply : public TextProceduresOnCard, public ::testing::WithParamInterface<BadReply> {};

TEST_P(BadGetpReply, EndsTheGetWithAMessageKeepingWhatWasRead) {
    const BadReply& c = GetParam();
    CardOptions options;
    options.getpReplies = {{c.name, c.reply}};
    WithCard(options);
    auto content = card->Content();
    ASSERT_TRUE(content.SetParameter("ee_fpmon", "0"));
    card->SetContent(content);
    LogIn();

    StartGetTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Exclamation);
    EXPECT_EQ(doc.frontPanelMonitor, "0");    // read before the bad one
    EXPECT_EQ(doc.frontPanelVolume, "10");    // the bad one not taken
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");  // not read
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(Has(sent, "ee_bpnl_output"));
    EXPECT_TRUE(Has(sent, "\rlogout\r"));
    ExpectDriverIdle();
}

const BadReply kBadReplies[] = {
    {"ee_fpvol", "ee_fpvol:",
     "The Transceiver gave no valid value for the front panel audio level (1 to 10): "
     "\"VEL>\".\nThe channel table has been read, but the radio wide settings are "
     "incomplete."},
    {"ee_fpvol", "ee_fpvol: \r\n",
     "The Transceiver gave no valid value for the front panel audio level (1 to 10): \"\".\n"
     "The channel table has been read, but the radio wide settings are incomplete."},
    {"ee_fpvol", "ee_fpvol: 42\r\n",
     "The Transceiver gave no valid value for the front panel audio level (1 to 10): \"42\".\n"
     "The channel table has been read, but the radio wide settings are incomplete."},
    {"ee_fpvol", "Incorrect parameter\r\n",
     "The Transceiver gave no valid value for the front panel audio level (1 to 10): "
     "\"Incorrect parameter\\r\\nVEL> \".\nThe channel table has been read, but the radio "
     "wide settings are incomplete."},
};
INSTANTIATE_TEST_SUITE_P(Replies, BadGetpReply, ::testing::ValuesIn(kBadReplies));

TEST_F(TextProceduresOnCard, ALineEndBeforeTheColonDoesNotSpoilTheDefaultChannel) {
    CardOptions options;
    options.getpReplies = {{"ee_dflt_chan", "\nee_dflt_chan: 17\r\n"}};
    WithCard(options);
    LogIn();

    StartGetTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kRead});
    EXPECT_EQ(doc.defaultChannel, "17");
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ASilentCardFailsTheGetAndLeavesNoEmptyValueForTheNextSend) {
    WithCard();
    LogIn();
    CardOptions silent;
    silent.silent = true;
    card->SetOptions(silent);

    StartGetTail();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{
                  "The Transceiver gave no valid value for the front panel audio monitor (0 or "
                  "1): \"\".\nThe channel table has been read, but the radio wide settings are "
                  "incomplete."});
    EXPECT_EQ(doc.frontPanelMonitor, "1");
    EXPECT_TRUE(doc.IsModified());
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, CancelDuringTheLastReadEndsTheGetWithoutItsReport) {
    WithCard();
    LogIn();
    cancelAfter = "getp ee_dflt_chan\r\n";

    StartGetTail();
    Run();
    rig.pump.RunFor(10000);

    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_EQ(sent.substr(sentAtCancel), "");
    ExpectDriverIdle();
}

// --- Change Password ------------------------------------------------------------------------

TEST_F(TextProceduresOnCard, ChangePasswordChangesItAndTheNextLoginUsesTheNewOne) {
    WithCard();
    auto content = card->Content();
    content.users.clear();  // the card lacks the user, which is created first
    card->SetContent(content);
    LogIn();
    rig.prompts.QueueChangePassword("quillon", "secret");

    app->OnChangePassword();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Transceiver password has been successfully changed."});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Information);
    EXPECT_EQ(card->Content().password, "secret");
    EXPECT_EQ(app->rememberedPassword, "secret");
    EXPECT_EQ(app->passwordKnown, 1);
    EXPECT_TRUE(
        Has(sent, "getu\r\nuser field adm\r\nchpwd field\r\nquillon\r\nsecret\r\nsecret\r\n"))
        << sent;
    ExpectDriverIdle();
    const std::string log = LogText();
    EXPECT_TRUE(Has(log, "RX textmode : ******")) << log;
    EXPECT_FALSE(Has(log, "quillon")) << log;
    EXPECT_FALSE(Has(log, "secret")) << log;
}

TEST_F(TextProceduresOnCard, AWrongOldPasswordLeavesEverythingAsItWas) {
    WithCard();
    LogIn();
    rig.prompts.QueueChangePassword("wrong", "secret");

    app->OnChangePassword();
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Error! transceiver password has not been changed."});
    EXPECT_EQ(rig.prompts.Boxes()[0].icon, Icon::Exclamation);
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
    EXPECT_EQ(card->Content().password, "quillon");
    EXPECT_EQ(app->rememberedPassword, "quillon");
    EXPECT_FALSE(Has(sent, "user field adm"));
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, CancelDuringGetuSendsNoPasswords) {
    WithCard();
    auto content = card->Content();
    content.users.clear();  // the answer to getu would ask for "user field adm"
    card->SetContent(content);
    LogIn();
    rig.prompts.QueueChangePassword("quillon", "secret");
    cancelAfter = "getu\r\n";

    app->OnChangePassword();
    Run();
    rig.pump.RunFor(10000);

    EXPECT_EQ(sent.substr(sentAtCancel), "");
    EXPECT_FALSE(Has(sent, "user field"));
    EXPECT_FALSE(Has(sent, "chpwd"));
    EXPECT_FALSE(Has(sent, "secret"));
    EXPECT_EQ(card->Content().password, "quillon");
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ACancelledChangePasswordDialogSendsNothing) {
    WithCard();
    LogIn();
    rig.prompts.QueueCancelChangePassword();

    app->OnChangePassword();
    Run();

    EXPECT_FALSE(Has(sent, "getu"));
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    ExpectDriverIdle();
}

// --- The parameters alone (quillon-cli params) --------------------------------------

TEST_F(TextProceduresOnCard, ParametersAloneAreReadAfterALoginAndLeaveTheCardLoggedOut) {
    WithCard();
    auto content = card->Content();
    ASSERT_TRUE(content.SetParameter("ee_fpmon", "0"));
    ASSERT_TRUE(content.SetParameter("ee_fpvol", "4"));
    ASSERT_TRUE(content.SetParameter("ee_bpnl_output", "2"));
    card->SetContent(content);
    app->RememberPassword(quillon::sim::kFactoryPassword);

    ASSERT_TRUE(app->StartParameterExchange(0));
    Run();

    // No table was read, so the Get's message is not shown.
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_TRUE(app->ParametersReadBack());
    EXPECT_EQ(doc.frontPanelMonitor, "0");
    EXPECT_EQ(doc.frontPanelVolume, "4");
    EXPECT_EQ(doc.backPanelOutput, "2");
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(Has(sent, kEveryValueTwice + "\rlogout\r")) << sent;
    EXPECT_FALSE(Has(sent, "setp"));
    EXPECT_FALSE(Has(sent, "wct"));
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ParametersAloneSetOnlyTheGivenOnesAndReadAllBackWithoutAReboot) {
    WithCard();
    auto content = card->Content();
    ASSERT_TRUE(content.SetParameter("ee_fpmon", "0"));
    ASSERT_TRUE(content.SetParameter("ee_dflt_chan", "12"));
    card->SetContent(content);
    app->RememberPassword(quillon::sim::kFactoryPassword);
    // Only the volume and the default channel are to be set; the other two
    // document values must not reach the card.
    doc.frontPanelMonitor = "1";
    doc.frontPanelVolume = "3";
    doc.backPanelOutput = "3";
    doc.defaultChannel = "0xFFFF";

    ASSERT_TRUE(app->StartParameterExchange(0b1010u));
    Run();

    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
    EXPECT_TRUE(app->ParametersReadBack());
    const std::string written = "setp ee_fpvol 3\r\nsetp ee_dflt_chan 0xFFFF\r\n";
    EXPECT_TRUE(Has(sent, written + kEveryValueTwice + "\rlogout\r")) << sent;
    EXPECT_EQ(Count(sent, "setp"), 2u);
    EXPECT_FALSE(Has(sent, "wct"));
    EXPECT_EQ(*card->Content().Parameter("ee_fpmon"), "0");
    EXPECT_EQ(*card->Content().Parameter("ee_fpvol"), "3");
    EXPECT_EQ(*card->Content().Parameter("ee_bpnl_output"), "1");
    // The document now holds what the card holds.
    EXPECT_EQ(doc.frontPanelMonitor, "0");
    EXPECT_EQ(doc.frontPanelVolume, "3");
    EXPECT_EQ(doc.backPanelOutput, "1");
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ParametersAloneWithAWrongPasswordSetNothing) {
    WithCard();
    app->RememberPassword("guess");
    doc.frontPanelVolume = "3";

    ASSERT_TRUE(app->StartParameterExchange(0b0010u));
    Run();

    EXPECT_EQ(rig.prompts.BoxTexts(),
              std::vector<std::string>{"Login failed! Maybe you entered the wrong password?"});
    EXPECT_FALSE(app->ParametersReadBack());
    EXPECT_FALSE(Has(sent, "setp"));
    EXPECT_FALSE(Has(sent, "getp"));
    EXPECT_EQ(*card->Content().Parameter("ee_fpvol"), "10");
    ExpectDriverIdle();
}

TEST_F(TextProceduresOnCard, ASendAfterACancelledParameterExchangeStoresTheTableAgain) {
    WithCard();
    app->RememberPassword(quillon::sim::kFactoryPassword);
    doc.frontPanelVolume = "3";
    doc.backPanelOutput = "2";
    cancelAfter = "setp ee_fpvol 3\r\n";

    ASSERT_TRUE(app->StartParameterExchange(0b0110u));
    Run();
    EXPECT_NE(sentAtCancel, std::string::npos);
    EXPECT_FALSE(app->ParametersReadBack());
    EXPECT_FALSE(Has(sent, "setp ee_bpnl_output"));
    ExpectDriverIdle();

    // The whole Send's parameter write: all four, then the stored table.
    LogIn();
    app->emptyKeyList = EmptyKeyList::Keep;
    StartSendTail();
    Run();
    EXPECT_EQ(rig.prompts.BoxTexts(), std::vector<std::string>{kWritten});
    EXPECT_TRUE(Has(sent,
                    "setp ee_fpmon 1\r\nsetp ee_fpvol 3\r\nsetp ee_bpnl_output 2\r\n"
                    "setp ee_dflt_chan 0xFFFF\r\n"))
        << sent;
    EXPECT_TRUE(Has(sent, "wct"));
}

}  // namespace
