// The binary transactions through the driver against the simulated card,
// whose command layer and block codec are its own: what a Send leaves in
// the card, what a Get brings back, and how every failure ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AppOnCard.h"
#include "ChannelStreams.h"
#include "bci/Messages.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "sim/CardContent.h"
#include "sim/TransceiverSim.h"

namespace quillon::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using model::CTmpDoc;
using model::SquGroup;
using sim::CardOptions;
using sim::TransceiverSim;

// Long enough for the largest table at 9600 baud with every reset retry.
constexpr uint32_t kCommandMs = 20 * 60 * 1000;

class BcpOnCardTest : public ::testing::Test, protected AppOnCard {
  protected:
    void WithCard(const CardOptions& options = {}) {
        AttachCard(options);
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
        app->SetDocument(&doc);
        rig.prompts.QueuePassword("quillon");
    }
    bool Idle() const {
        return app->textProcedure == 0 && app->binaryTransaction == 0 && app->binaryPending == 0 &&
               app->pendingBinary == 0 && app->textPending == 0 &&
               app->chainState == chain::kWaitLogin;
    }
    // Runs the command given until the binary part of its chain is over:
    // the text procedure that follows leaving binary mode is set, or the
    // driver is idle after a failure.
    bool RunUntilTextStep(int textProcedure) {
        rig.pump.AfterCommand();
        const bool reached = rig.pump.RunUntil(
            [&] {
                return (app->textProcedure == textProcedure && app->binaryTransaction == 0) ||
                       Idle();
            },
            kCommandMs);
        // The card leaves binary mode once our ACK of its last EOT is in.
        rig.pump.RunFor(200);
        return reached;
    }
    // Runs the command given through its whole sequence, text steps
    // included, until the driver is idle again.
    bool RunToIdle() {
        rig.pump.AfterCommand();
        const bool idle = rig.pump.RunUntil([&] { return Idle(); }, kCommandMs);
        rig.pump.RunFor(200);
        return idle;
    }
    // The sequence ended with its completion message and nothing else went
    // wrong on the way.
    void ExpectCompletedWith(const std::string& text) {
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(rig.progress.IsShown());
        const auto boxes = rig.prompts.Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, text);
        for (const auto& b : boxes) {
            EXPECT_NE(b.icon, Icon::Exclamation) << b.text;
        }
    }
    void ExpectFailedWith(const std::string& text) {
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(rig.progress.IsShown());
        EXPECT_EQ(app->tableRead, 0);
        EXPECT_EQ(app->tableWritten, 0);
        const auto boxes = rig.prompts.Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, text);
        EXPECT_EQ(boxes.back().icon, Icon::Exclamation);
    }
    bool SawText(const std::string& t) const {
        const auto texts = rig.progress.Texts();
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    }

    CTmpDoc doc;
};

// A document with one of everything: a fixed channel, a scan channel over
// it, squelch groups of each code type and a tone per function.
void FillDocument(CTmpDoc& d) {
    SCOPED_TRACE("FillDocument");
    model::CChannel& fixed = d.channels[0];
    for (size_t i = 11; i < 76; ++i) {
        fixed.SetByte(i, static_cast<uint8_t>(0x90 + i));
    }
    fixed.SetKind(model::ChannelKind::Fixed);
    fixed.SetNameBytes("BASE");
    model::CChannel& scan = d.channels[7];
    scan.SetKind(model::ChannelKind::Scan);
    scan.SetNameBytes("SCAN");
    scan.SetScanRef(0, 0x0000, 0x25);
    scan.SetScanRef(1, 0x0511, 0x10);
    scan.SetScanRefCount(2);
    model::CChannel& last = d.channels[511];
    last.SetKind(model::ChannelKind::Fixed);
    last.SetNameBytes("LAST");

    d.squelchGroups.SetItem(0, 0, SquGroup::kNac, "0x293");
    d.squelchGroups.SetItem(0, 1, SquGroup::kNac, "0xf000");
    d.squelchGroups.SetName(4, "TONES");
    d.squelchGroups.SetItem(4, 0, SquGroup::kCtcss, "67.0");
    d.squelchGroups.SetItem(4, 1, SquGroup::kCtcss, "f00.0");
    d.squelchGroups.SetItem(15, 0, SquGroup::kCdcss, "23");

    d.toneRemote.SetEntry(0, model::CToneRemote::kIncreaseAudio, 0);
    d.toneRemote.SetEntry(2, model::CToneRemote::kChannel, 7);
    d.toneRemote.SetEntry(11, model::CToneRemote::kChannel, 511);
    ASSERT_TRUE(d.keys.Add("0123456789abcdef", 0x1a));
}

TEST_F(BcpOnCardTest, SendWritesTheDocumentIntoTheCard) {
    WithCard();
    FillDocument(doc);
    app->OnSend();
    ASSERT_TRUE(RunToIdle());
    // Binary part, keys, parameters, store and reboot, the confirming login.
    ExpectCompletedWith(msg::kTableWrittenRebooted);
    EXPECT_EQ(app->binaryMode, 0);
    ASSERT_EQ(card->Content().keys.size(), 1u);
    EXPECT_EQ(card->Content().keys[0].kid, 0x1a);

    const sim::CardContent& c = card->Content();
    EXPECT_EQ(c.channels[0].kind, 1);
    EXPECT_EQ(Bytes(c.channels[0].data.begin(), c.channels[0].data.begin() + 10),
              (Bytes{'B', 'A', 'S', 'E', 0, 0, 0, 0, 0x9B, 0x9C}));
    EXPECT_EQ(c.channels[0].data[72], 0x90 + 75);
    EXPECT_EQ(c.channels[7].kind, 2);
    EXPECT_EQ(Bytes(c.channels[7].data.begin(), c.channels[7].data.begin() + 15),
              (Bytes{'S', 'C', 'A', 'N', 0, 0, 0, 0, 0x02, 0x00, 0x00, 0x25, 0x05, 0x11, 0x10}));
    EXPECT_EQ(c.channels[511].kind, 1);
    EXPECT_EQ(c.channels[1].kind, 0);
    EXPECT_EQ(c.channels[510].kind, 0);

    EXPECT_EQ(Bytes(c.groups[0].begin() + 16, c.groups[0].begin() + 26),
              (Bytes{0x01, 0x02, 0x93, 0x01, 0xF0, 0x00, 0x01, 0x00, 0x00, 0x04}));
    EXPECT_EQ(Bytes(c.groups[4].begin(), c.groups[4].begin() + 6),
              (Bytes{'T', 'O', 'N', 'E', 'S', 0x00}));
    EXPECT_EQ(Bytes(c.groups[4].begin() + 16, c.groups[4].begin() + 23),
              (Bytes{0x05, 0x06, 0x70, 0x02, 0xF0, 0x00, 0x02}));
    EXPECT_EQ(Bytes(c.groups[15].begin() + 16, c.groups[15].begin() + 20),
              (Bytes{0x10, 0x00, 0x23, 0x03}));
    EXPECT_EQ(Bytes(c.tones.begin(), c.tones.end()),
              (Bytes{0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x03, 0x00, 0x07, 0x04, 0x00, 0x00,
                     0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00,
                     0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x03, 0x05, 0x11}));

    const auto titles = rig.progress.Titles();
    for (const char* t : {bcimsg::kTitleSendChannels, bcimsg::kTitleSquelchGroups,
                          bcimsg::kTitleToneRemote, bcimsg::kTitleExitBinary}) {
        EXPECT_NE(std::find(titles.begin(), titles.end(), t), titles.end()) << t;
    }
    EXPECT_TRUE(SawText("Sending channel 511"));
    EXPECT_TRUE(SawText(bcimsg::kTextVerifying));
    EXPECT_TRUE(SawText(bcimsg::kTextWritingGroups));
    EXPECT_TRUE(SawText(bcimsg::kTextSendingTones));
}

TEST_F(BcpOnCardTest, GetReadsBackWhatASendWrote) {
    WithCard();
    FillDocument(doc);
    doc.frontPanelVolume = "7";
    doc.defaultChannel = "7";
    app->OnSend();
    ASSERT_TRUE(RunToIdle());
    ExpectCompletedWith(msg::kTableWrittenRebooted);

    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.ClearRecords();
    // A Send forgets the password after its confirming login.
    rig.prompts.QueuePassword("quillon");
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunToIdle());
    ExpectCompletedWith(msg::kTableRead);
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_TRUE(got.IsModified());
    EXPECT_EQ(got.frontPanelMonitor, doc.frontPanelMonitor);
    EXPECT_EQ(got.frontPanelVolume, "7");
    EXPECT_EQ(got.backPanelOutput, doc.backPanelOutput);
    EXPECT_EQ(got.defaultChannel, "7");
    EXPECT_EQ(got.keys.Count(), 0);  // the card never gives its keys back

    for (int i = 0; i < model::kChannelCount; ++i) {
        SCOPED_TRACE(i);
        const model::CChannel& a = doc.channels[i];
        const model::CChannel& b = got.channels[i];
        ASSERT_EQ(a.KindByte(), b.KindByte());
        if (a.IsFixed()) {
            EXPECT_TRUE(
                std::equal(a.Image().begin() + 2, a.Image().begin() + 76, b.Image().begin() + 2));
        } else if (a.IsScan()) {
            EXPECT_TRUE(
                std::equal(a.Image().begin() + 2, a.Image().begin() + 35, b.Image().begin() + 2));
            EXPECT_EQ(a.ScanRefCount(), b.ScanRefCount());
        }
    }
    for (int g = 0; g < SquGroup::kGroups; ++g) {
        EXPECT_EQ(got.squelchGroups.GetName(g), doc.squelchGroups.GetName(g));
        for (int i = 0; i < SquGroup::kItems; ++i) {
            const auto a = doc.squelchGroups.GetItem(g, i);
            const auto b = got.squelchGroups.GetItem(g, i);
            EXPECT_EQ(a.type, b.type) << g << "/" << i;
            if (a.type != SquGroup::kNotUsed) {
                EXPECT_EQ(a.value, b.value) << g << "/" << i;
            }
        }
    }
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const auto a = doc.toneRemote.GetEntry(s);
        const auto b = got.toneRemote.GetEntry(s);
        EXPECT_EQ(a.function, b.function) << s;
        if (a.function == model::CToneRemote::kChannel) {
            EXPECT_EQ(a.argument, b.argument) << s;
        }
    }
    EXPECT_TRUE(SawText("Channels received 512"));
    EXPECT_TRUE(SawText(bcimsg::kTextReadingGroups));
    EXPECT_TRUE(SawText(bcimsg::kTextGettingTones));
}

TEST_F(BcpOnCardTest, GetOfATableEndingOnABlockBoundaryCompletes) {
    WithCard();
    // Channels 0..225 fixed, the rest empty: the stream fills 71 blocks to
    // their last byte.
    sim::CardContent content = sim::CardContent::Factory();
    const auto table = RandomTable(5);
    for (size_t i = 0; i < 226; ++i) {
        content.channels[i] = table[i];
    }
    card->SetContent(content);
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunToIdle());
    ExpectCompletedWith(msg::kTableRead);
    for (size_t i = 0; i < 226; ++i) {
        const model::ChannelImage& img = doc.channels[static_cast<int>(i)].Image();
        ASSERT_EQ(img[10], 1) << i;
        EXPECT_TRUE(std::equal(table[i].data.begin(), table[i].data.begin() + 8, img.begin() + 2));
        EXPECT_TRUE(std::equal(table[i].data.begin() + 8, table[i].data.end(), img.begin() + 11));
    }
    EXPECT_FALSE(doc.channels[226].IsUsed());
}

TEST_F(BcpOnCardTest, ResetAnsweredWronglyTwiceIsRetried) {
    CardOptions options;
    options.badHeaderCode = 0x99;
    options.badHeaderTimes = 2;
    WithCard(options);
    app->OnSend();
    ASSERT_TRUE(RunToIdle());
    ExpectCompletedWith(msg::kTableWrittenRebooted);
    EXPECT_TRUE(SawText("Retry attempt 1"));
    EXPECT_TRUE(SawText("Retry attempt 2"));
    EXPECT_FALSE(SawText("Retry attempt 3"));
    EXPECT_EQ(rig.log.Count(bcimsg::kLogResetValid), 1);
}

TEST_F(BcpOnCardTest, ResetNeverAnsweredRightGivesUpAfterNineRequests) {
    CardOptions options;
    options.badHeaderCode = 0x99;
    WithCard(options);
    app->OnSend();
    ASSERT_TRUE(RunUntilTextStep(-1));
    ExpectFailedWith(bcimsg::kNotResetting);
    // The first request and eight retries.
    for (int i = 1; i <= 8; ++i) {
        EXPECT_TRUE(SawText("Retry attempt " + std::to_string(i))) << i;
    }
    EXPECT_FALSE(SawText("Retry attempt 9"));
    EXPECT_EQ(card->Content(), sim::CardContent::Factory());
}

TEST_F(BcpOnCardTest, ToneSendAnsweredWithTheWrongHeaderFails) {
    CardOptions options;
    options.badHeaderCode = 0x0A;
    WithCard(options);
    app->OnSend();
    ASSERT_TRUE(RunUntilTextStep(-1));
    ExpectFailedWith(msg::kCommsError);
    EXPECT_EQ(rig.prompts.Boxes().size(), 1u);
    // The channels and groups went before the tone list failed.
    EXPECT_TRUE(SawText(bcimsg::kTextSendingTones));
    EXPECT_EQ(app->binaryMode, 1);
}

TEST_F(BcpOnCardTest, ChannelNumberOutOfRangeEndsTheGet) {
    CardOptions options;
    options.badChannelNumber = true;
    options.badRecordSlot = 300;
    WithCard(options);
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunUntilTextStep(-1));
    ExpectFailedWith(bcimsg::kChannelDataError);
    EXPECT_EQ(rig.log.Count(bcimsg::kLogBadChannelNumber), 1);
    EXPECT_EQ(rig.prompts.BeepCount(), 0);
    EXPECT_TRUE(SawText("Channels received 300"));
    EXPECT_FALSE(SawText("Channels received 301"));
}

TEST_F(BcpOnCardTest, UnknownChannelKindBeepsAndEndsTheGet) {
    CardOptions options;
    options.badKind = true;
    options.badRecordSlot = 2;
    WithCard(options);
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunUntilTextStep(-1));
    ExpectFailedWith(bcimsg::kChannelDataError);
    EXPECT_EQ(rig.prompts.BeepCount(), 1);
    EXPECT_EQ(rig.log.Count(bcimsg::kLogBadChannelNumber), 0);
}

TEST_F(BcpOnCardTest, ExitBinaryModeOnItsOwnSaysSo) {
    CardOptions options;
    options.startBinary = true;
    WithCard(options);
    // The card is logged in behind its binary mode, so the compatibility
    // check after leaving it gets its answer.
    app->OnExitBinaryMode();
    ASSERT_TRUE(RunUntilTextStep(-1));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
    const auto boxes = rig.prompts.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, bcimsg::kNowTextMode);
    EXPECT_EQ(boxes[0].icon, Icon::Information);
    EXPECT_FALSE(rig.progress.IsShown());
}

// The transactions that the menu starts on their own, with the card
// already in binary mode: each ends with its own message.
class SingleTransactionTest : public BcpOnCardTest {
  protected:
    void InBinaryMode(const CardOptions& base = {}) {
        CardOptions options = base;
        options.startBinary = true;
        WithCard(options);
        app->binaryMode = 1;
    }
    void Start(int code) {
        app->binaryTransaction = code;
        ASSERT_TRUE(RunUntilTextStep(-1));
    }
    void ExpectEndedWith(const char* text, Icon icon) {
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(rig.progress.IsShown());
        const auto boxes = rig.prompts.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].icon, icon);
    }
};

TEST_F(SingleTransactionTest, GroupsSentOneByOneAndReadBackOneByOne) {
    InBinaryMode();
    FillDocument(doc);
    Start(bintxn::kSendSquelchEach);
    ExpectEndedWith(bcimsg::kGroupsProgrammed, Icon::Exclamation);
    EXPECT_EQ(Bytes(card->Content().groups[4].begin() + 16, card->Content().groups[4].begin() + 20),
              (Bytes{0x05, 0x06, 0x70, 0x02}));

    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.ClearRecords();
    Start(bintxn::kGetSquelchEach);
    ExpectEndedWith(bcimsg::kGroupsReceived, Icon::Exclamation);
    EXPECT_EQ(got.squelchGroups.GetName(4), "TONES");
    EXPECT_EQ(got.squelchGroups.GetItem(4, 1).value, "f00.0");
    EXPECT_EQ(got.squelchGroups.GetItem(15, 0).value, "23");
}

TEST_F(SingleTransactionTest, ToneListSentAndReadBack) {
    InBinaryMode();
    FillDocument(doc);
    Start(bintxn::kSendToneRemote);
    ExpectEndedWith(bcimsg::kTonesProgrammed, Icon::Exclamation);
    EXPECT_EQ(card->Content().tones[33], 0x03);
    EXPECT_EQ(card->Content().tones[34], 0x05);
    EXPECT_EQ(card->Content().tones[35], 0x11);

    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.ClearRecords();
    Start(bintxn::kGetToneRemote);
    ExpectEndedWith(bcimsg::kTonesReceived, Icon::Information);
    EXPECT_EQ(got.toneRemote.GetEntry(11).function, model::CToneRemote::kChannel);
    EXPECT_EQ(got.toneRemote.GetEntry(11).argument, "511");
}

TEST_F(SingleTransactionTest, AllGroupsInOneExchange) {
    InBinaryMode();
    FillDocument(doc);
    Start(bintxn::kSendSquelchAll);
    ExpectEndedWith(bcimsg::kGroupsProgrammed, Icon::Exclamation);
    EXPECT_EQ(card->Content().groups[15][16], 0x10);
    EXPECT_EQ(card->Content().groups[15][19], 0x03);

    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.ClearRecords();
    Start(bintxn::kGetSquelchAll);
    ExpectEndedWith(bcimsg::kGroupsReceived, Icon::Exclamation);
    EXPECT_EQ(got.squelchGroups.GetItem(0, 0).value, "0x293");
    EXPECT_EQ(got.squelchGroups.GetItem(0, 1).value, "0xf000");
}

TEST_F(SingleTransactionTest, WithoutADocumentNothingIsTransferred) {
    InBinaryMode();
    app->SetDocument(nullptr);
    Start(bintxn::kSendToneRemote);
    ExpectEndedWith(bcimsg::kNoDocument, Icon::Exclamation);
    EXPECT_EQ(card->Content(), sim::CardContent::Factory());
}

TEST_F(BcpOnCardTest, ExitBinaryModeAnsweredWronglyFails) {
    CardOptions options;
    options.startBinary = true;
    options.badHeaderCode = 0x0B;
    WithCard(options);
    app->OnExitBinaryMode();
    ASSERT_TRUE(RunUntilTextStep(-1));
    ExpectFailedWith(bcimsg::kNotResetting);
    EXPECT_EQ(rig.prompts.Boxes().size(), 1u);
    EXPECT_EQ(app->binaryMode, 1);
}

TEST_F(BcpOnCardTest, CancelDuringAGetLeavesTheDriverIdle) {
    WithCard();
    sim::CardContent content = sim::CardContent::Factory();
    const auto table = RandomTable(9);
    std::copy(table.begin(), table.end(), content.channels.begin());
    card->SetContent(content);
    ASSERT_TRUE(app->OnGet());
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return SawText("Channels received 100"); }, kCommandMs));
    app->CancelProcedures();
    rig.pump.RunFor(60 * 1000);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(rig.progress.IsShown());
    EXPECT_EQ(app->tableRead, 0);
    EXPECT_FALSE(SawText("Channels received 512"));
    EXPECT_TRUE(rig.prompts.BoxTexts().empty());
}

}  // namespace
}  // namespace quillon::testing
