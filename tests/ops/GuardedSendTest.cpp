// A Send guarded by a backup read before it and a verifying read after it,
// against the simulated card on virtual time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AppOnCard.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ops/CTmpApp.h"
#include "ops/GuardedSend.h"
#include "ops/ProcedureCodes.h"
#include "ops/ReadBackForm.h"
#include "sim/TransceiverSim.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;
using model::CTmpDoc;
using model::SquGroup;
using sim::CardOptions;
using Result = GuardedSend::Result;

constexpr uint32_t kCommandMs = 60 * 60 * 1000;
const char* kVerified = "Configuration verified: the transceiver holds exactly this document.";
const char* kRead = "Channel table has been read from the Transceiver.";
const char* kWritten =
    "Channel table has been written to the Transceiver.\nTransceiver has been rebooted.";

// A document with one of every kind of thing the card keeps, and some the
// card never sees.
void FillDocument(CTmpDoc& d, uint8_t seed) {
    model::CChannel& fixed = d.channels[0];
    for (size_t i = 11; i < 76; ++i) {
        fixed.SetByte(i, static_cast<uint8_t>(seed + i));
    }
    fixed.SetKind(model::ChannelKind::Fixed);
    fixed.SetNameBytes("BASE");
    model::CChannel& other = d.channels[12];
    other.SetKind(model::ChannelKind::Fixed);
    other.SetNameBytes("TWELVE");
    other.SetByte(model::off::kRxFrequency + 4, 0x50);
    model::CChannel& scan = d.channels[7];
    scan.SetKind(model::ChannelKind::Scan);
    scan.SetNameBytes("SCAN");
    scan.SetScanRef(0, 0x0000, 0x25);
    scan.SetScanRef(1, 0x0012, 0x10);
    scan.SetScanRefCount(2);
    d.squelchGroups.SetItem(0, 0, SquGroup::kNac, "0x293");
    d.squelchGroups.SetName(4, "TONES");
    d.squelchGroups.SetItem(4, 0, SquGroup::kCtcss, "67.0");
    d.squelchGroups.SetItem(15, 0, SquGroup::kCdcss, "23");
    d.toneRemote.SetEntry(0, model::CToneRemote::kIncreaseAudio, 0);
    d.toneRemote.SetEntry(2, model::CToneRemote::kChannel, 7);
    ASSERT_TRUE(d.keys.Add("0123456789abcdef", 0x1a));
    d.frontPanelVolume = "7";
    d.defaultChannel = "12";
    d.docText1 = "notes only the document keeps";
}

std::vector<uint8_t> Bytes(const CTmpDoc& d) {
    return model::WriteDocument(d);
}

class GuardedSendTest : public ::testing::Test, protected AppOnCard {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("quillon-guarded-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void WithCard(const CardOptions& options = {}) {
        AttachCard(options);
        rig.settings.SetInt("General Settings", "COM Port", 0);
        app->InitInstance();
        ASSERT_TRUE(app->HasLink());
        app->SetDocument(&doc);
        // The password is given once, as quillon-cli --password gives it.
        app->RememberPassword("quillon");
    }
    // Runs a whole guarded Send; its result.
    Result Run(GuardedSend::Options options) {
        options.now = [] {
            std::tm t{};
            t.tm_year = 2026 - 1900;
            t.tm_mon = 11;
            t.tm_mday = 8;
            t.tm_hour = 14;
            t.tm_min = 2;
            return t;
        };
        GuardedSend guarded(*app, doc, options);
        if (!guarded.Start()) {
            return guarded.GetResult();
        }
        rig.pump.AfterCommand();
        EXPECT_TRUE(rig.pump.RunUntil([&] { return guarded.Step(); }, kCommandMs));
        differences = guarded.Differences();
        backupPath = guarded.BackupPath();
        EXPECT_EQ(app->Document(), &doc);  // never left on a scratch document
        EXPECT_TRUE(app->announceTableRead);
        return guarded.GetResult();
    }
    std::vector<std::string> BoxTexts() const { return rig.prompts.BoxTexts(); }
    bool SawBox(const std::string& text) const {
        for (const auto& t : BoxTexts()) {
            if (t == text) {
                return true;
            }
        }
        return false;
    }

    CTmpDoc doc;
    fs::path folder;
    std::vector<std::string> differences;
    std::string backupPath;
};

// What a Get gives back after a Send differs from the document only where
// the read-back form says: the two forms are byte for byte the same.
TEST_F(GuardedSendTest, ASendAndAGetAgreeInTheirReadBackForms) {
    WithCard();
    FillDocument(doc, 0x90);
    app->OnSend();
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return !app->TransceiverCommandBusy(); }, kCommandMs));
    ASSERT_EQ(app->lastCommandEnd, CommandEnd::TableWritten);

    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.QueuePassword("quillon");  // the Send's re-login forgot it
    ASSERT_TRUE(app->OnGet());
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return !app->TransceiverCommandBusy(); }, kCommandMs));
    ASSERT_EQ(app->lastCommandEnd, CommandEnd::TableRead);

    EXPECT_NE(Bytes(doc), Bytes(got));  // the document as it is cannot come back
    EXPECT_EQ(Bytes(ReadBackForm(doc)), Bytes(ReadBackForm(got)));
    EXPECT_TRUE(DifferingParts(ReadBackForm(doc), ReadBackForm(got)).empty());
}

TEST_F(GuardedSendTest, VerifyAfterSendReadsBackAndSaysTheCardHoldsTheDocument) {
    WithCard();
    FillDocument(doc, 0x90);
    for (int c = 0; c < model::kChannelCount; ++c) {
        doc.channels[c].SetNumber(static_cast<unsigned>(c));  // as the Send numbers them
    }
    const std::vector<uint8_t> before = Bytes(doc);
    GuardedSend::Options o;
    o.verify = true;
    EXPECT_EQ(Run(o), Result::Verified);
    EXPECT_TRUE(differences.empty());
    ASSERT_FALSE(BoxTexts().empty());
    EXPECT_EQ(BoxTexts().back(), kVerified);
    EXPECT_EQ(rig.prompts.Boxes().back().icon, Icon::Information);
    EXPECT_TRUE(SawBox(kWritten));
    EXPECT_FALSE(SawBox(kRead));  // the verifying read says its own result
    EXPECT_EQ(card->Reboots(), 1);
    EXPECT_EQ(Bytes(doc), before);  // the read went into a scratch document
    // The password was lent to the verifying read only; the Send forgot it.
    EXPECT_EQ(app->passwordKnown, 0);
    EXPECT_TRUE(app->rememberedPassword.empty());
    EXPECT_TRUE(backupPath.empty());
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(GuardedSendTest, AChannelStoredWrongIsFoundAndNamed) {
    CardOptions faulty;
    faulty.storeFault = 12;
    WithCard(faulty);
    FillDocument(doc, 0x90);
    GuardedSend::Options o;
    o.verify = true;
    EXPECT_EQ(Run(o), Result::Differs);
    EXPECT_EQ(differences, std::vector<std::string>{"Channel 012"});
    ASSERT_FALSE(rig.prompts.Boxes().empty());
    const auto last = rig.prompts.Boxes().back();
    EXPECT_EQ(last.icon, Icon::Exclamation);
    EXPECT_EQ(last.text,
              "The configuration read back from the transceiver differs from this document:\n"
              "Channel 012");
    EXPECT_FALSE(SawBox(kVerified));

    // The compare the caller gives gets both documents in their read-back
    // form; what it finds is what is reported.
    rig.prompts.ClearRecords();
    app->RememberPassword("quillon");
    GuardedSend::Options named;
    named.verify = true;
    int calls = 0;
    named.compare = [&](const CTmpDoc& sent, const CTmpDoc& onCard) {
        ++calls;
        EXPECT_EQ(sent.keys.Count(), 0);
        EXPECT_EQ(sent.channels[12].Byte(model::off::kRxFrequency + 4), 0x50);
        EXPECT_EQ(onCard.channels[12].Byte(model::off::kRxFrequency + 4), 0x51);
        return std::vector<std::string>{"Channel 012 Rx Freq (MHz)"};
    };
    EXPECT_EQ(Run(named), Result::Differs);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(differences, std::vector<std::string>{"Channel 012 Rx Freq (MHz)"});
}

TEST_F(GuardedSendTest, WithoutVerifyOnlyTheSendRuns) {
    CardOptions faulty;
    faulty.storeFault = 12;
    WithCard(faulty);
    FillDocument(doc, 0x90);
    EXPECT_EQ(Run(GuardedSend::Options{}), Result::Sent);
    ASSERT_FALSE(BoxTexts().empty());
    EXPECT_EQ(BoxTexts().back(), kWritten);
}

TEST_F(GuardedSendTest, BackupKeepsTheCardsPreviousConfigurationBeforeTheSend) {
    WithCard();
    // The card holds an older configuration.
    CTmpDoc old;
    FillDocument(old, 0x40);
    old.channels[12].SetNameBytes("OLD");
    app->SetDocument(&old);
    app->OnSend();
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return !app->TransceiverCommandBusy(); }, kCommandMs));
    ASSERT_EQ(app->lastCommandEnd, CommandEnd::TableWritten);
    app->SetDocument(&doc);
    app->RememberPassword("quillon");
    rig.prompts.ClearRecords();

    FillDocument(doc, 0x90);
    GuardedSend::Options o;
    o.backupFolder = folder.string();
    o.verify = true;
    EXPECT_EQ(Run(o), Result::Verified);
    EXPECT_EQ(backupPath, (folder / "2026-12-08_1402.bcf").string());
    CTmpDoc backup;
    ASSERT_TRUE(model::OpenDocumentFile(backupPath, backup).ok());
    EXPECT_EQ(Bytes(ReadBackForm(backup)), Bytes(ReadBackForm(old)));
    EXPECT_NE(Bytes(ReadBackForm(backup)), Bytes(ReadBackForm(doc)));
    EXPECT_EQ(BoxTexts().back(), kVerified);
    EXPECT_FALSE(SawBox(kRead));

    // A second backup in the same minute gets a name of its own.
    app->RememberPassword("quillon");
    EXPECT_EQ(Run(o), Result::Verified);
    EXPECT_EQ(backupPath, (folder / "2026-12-08_1402_2.bcf").string());
    CTmpDoc second;
    ASSERT_TRUE(model::OpenDocumentFile(backupPath, second).ok());
    EXPECT_EQ(Bytes(ReadBackForm(second)), Bytes(ReadBackForm(doc)));
}

TEST_F(GuardedSendTest, ABackupThatCannotBeReadSendsNothing) {
    CardOptions broken;
    broken.badKind = true;  // the channel table cannot be read
    WithCard(broken);
    const sim::CardContent before = card->Content();
    FillDocument(doc, 0x90);
    GuardedSend::Options o;
    o.backupFolder = folder.string();
    o.verify = true;
    EXPECT_EQ(Run(o), Result::BackupFailed);
    EXPECT_EQ(card->Content(), before);
    EXPECT_EQ(card->Reboots(), 0);
    ASSERT_FALSE(BoxTexts().empty());
    EXPECT_EQ(BoxTexts().back(),
              "The transceiver's configuration could not be read for the backup, so nothing "
              "has been sent.");
    EXPECT_TRUE(backupPath.empty());
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
}

TEST_F(GuardedSendTest, ABackupThatCannotBeSavedSendsNothing) {
    WithCard();
    const sim::CardContent before = card->Content();
    FillDocument(doc, 0x90);
    // A file where the folder should be.
    fs::create_directories(folder.parent_path());
    {
        std::FILE* f = std::fopen(folder.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    GuardedSend::Options o;
    o.backupFolder = folder.string();
    EXPECT_EQ(Run(o), Result::BackupFailed);
    EXPECT_EQ(card->Content(), before);
    EXPECT_EQ(card->Reboots(), 0);
    ASSERT_FALSE(BoxTexts().empty());
    EXPECT_EQ(BoxTexts().back(),
              "The backup of the transceiver's configuration could not be saved, so nothing has "
              "been sent.\nThe backup folder " +
                  folder.string() + " could not be created.");
    fs::remove(folder);
}

TEST_F(GuardedSendTest, AVerifyingReadThatFailsIsSaidAfterTheSend) {
    WithCard();
    FillDocument(doc, 0x90);
    GuardedSend::Options o;
    o.verify = true;
    GuardedSend guarded(*app, doc, o);
    ASSERT_TRUE(guarded.Start());
    rig.pump.AfterCommand();
    // The card starts giving a table that cannot be read once it has stored one.
    ASSERT_TRUE(rig.pump.RunUntil([&] { return card->Reboots() == 1; }, kCommandMs));
    CardOptions broken = card->Options();
    broken.badKind = true;
    card->SetOptions(broken);
    ASSERT_TRUE(rig.pump.RunUntil([&] { return guarded.Step(); }, kCommandMs));
    EXPECT_EQ(guarded.GetResult(), Result::VerifyReadFailed);
    EXPECT_EQ(BoxTexts().back(),
              "The configuration has been sent, but it could not be read back to verify it.");
    EXPECT_TRUE(SawBox(kWritten));
    EXPECT_EQ(app->Document(), &doc);
}

TEST_F(GuardedSendTest, DroppedDuringTheBackupReadItsReadIsCancelledAndTheDocumentKept) {
    WithCard();
    FillDocument(doc, 0x90);
    const std::vector<uint8_t> before = Bytes(doc);
    {
        GuardedSend::Options o;
        o.backupFolder = folder.string();
        GuardedSend guarded(*app, doc, o);
        ASSERT_TRUE(guarded.Start());
        rig.pump.AfterCommand();
        // Well into the read of the channel table.
        ASSERT_TRUE(rig.pump.RunUntil([&] { return app->binaryTransaction != 0; }, kCommandMs));
        ASSERT_FALSE(guarded.Step());
    }
    EXPECT_EQ(app->Document(), &doc);
    EXPECT_FALSE(app->TransceiverCommandBusy());
    rig.pump.RunFor(60 * 1000);
    EXPECT_EQ(Bytes(doc), before);
    EXPECT_EQ(card->Reboots(), 0);
    EXPECT_TRUE(app->announceTableRead);
}

}  // namespace
}  // namespace quillon::testing
