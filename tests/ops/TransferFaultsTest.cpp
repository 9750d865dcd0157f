// A whole Send and a whole Get through the driver against the simulated
// card, with the things that go wrong in the field: a card left in binary
// mode, a noisy line, the Cancel button in every phase, a card of another
// version and a wrong password. Each must end with the data intact or with
// its message, and the driver idle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AppOnCard.h"
#include "FixedChannelDoc.h"
#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "sim/CardContent.h"
#include "sim/SimLine.h"
#include "sim/TransceiverSim.h"

namespace quillon::testing {
namespace {

using model::CTmpDoc;
using sim::CardOptions;
using sim::TransceiverSim;

// Long enough for the largest table at 9600 baud with every retry.
constexpr uint32_t kCommandMs = 20 * 60 * 1000;
constexpr const char* kPassword = "quillon";

class TransferFaults : public ::testing::Test, protected AppOnCard {
  protected:
    void WithCard(const CardOptions& options = {}) {
        AttachCard(options, [this](bool toDevice, uint8_t b) {
            if (!toDevice) {
                return;
            }
            sent += static_cast<char>(b);
            if (cancelWhen && !cancelPosted && cancelWhen()) {
                cancelPosted = true;
                // The click is handled by the message loop, as a real one is.
                rig.pump.PostActionAt(rig.clock.NowNs(), [this] {
                    writtenAtCancel = rig.line.Host().BytesWritten();
                    contentAtCancel = card->Content();
                    app->CancelProcedures();
                    cancelled = true;
                });
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
               app->chainState == chain::kWaitLogin;
    }
    bool RunToIdle() {
        rig.pump.AfterCommand();
        const bool idle = rig.pump.RunUntil([&] { return Idle(); }, kCommandMs);
        rig.pump.RunFor(200);
        return idle;
    }
    void Send() {
        rig.prompts.QueuePassword(kPassword);
        app->OnSend();
    }
    void Get(CTmpDoc& into) {
        app->SetDocument(&into);
        rig.prompts.ClearRecords();
        rig.prompts.QueuePassword(kPassword);
        ASSERT_TRUE(app->OnGet());
    }
    void ExpectIdleAndHidden() {
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(rig.progress.IsShown());
        EXPECT_EQ(app->tableRead, 0);
        EXPECT_EQ(app->tableWritten, 0);
        EXPECT_EQ(app->inBlockingWait, 0);
    }
    // The command ended with a warning whose text is the last box shown.
    void ExpectFailedWithAMessage() {
        ExpectIdleAndHidden();
        const auto boxes = rig.prompts.Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().icon, Icon::Exclamation);
        EXPECT_FALSE(boxes.back().text.empty());
    }
    bool Completed(const char* text) const {
        const auto boxes = rig.prompts.Boxes();
        return Idle() && !rig.progress.IsShown() && !boxes.empty() && boxes.back().text == text &&
               std::none_of(boxes.begin(), boxes.end(),
                            [](const auto& b) { return b.icon == Icon::Exclamation; });
    }
    bool Sent(const std::string& what) const { return sent.find(what) != std::string::npos; }

    CTmpDoc doc;
    std::string sent;  // every byte that reached the card
    std::function<bool()> cancelWhen;
    bool cancelPosted = false;
    bool cancelled = false;
    uint64_t writtenAtCancel = 0;
    sim::CardContent contentAtCancel;
};

// --- the card left in binary mode ------------------------------------------------

TEST_F(TransferFaults, SendAndGetFromACardLeftInBinaryModeReproduceTheTable) {
    CardOptions options;
    options.startBinary = true;
    WithCard(options);
    FillFixedChannels(doc);
    Send();
    ASSERT_TRUE(RunToIdle());
    EXPECT_TRUE(Completed(msg::kTableWrittenRebooted));
    EXPECT_TRUE(CardHoldsChannels(card->Content(), doc));
    EXPECT_EQ(card->Reboots(), 1);

    CTmpDoc got;
    Get(got);
    ASSERT_TRUE(RunToIdle());
    EXPECT_TRUE(Completed(msg::kTableRead));
    EXPECT_TRUE(SameChannels(doc, got));
    EXPECT_EQ(app->binaryMode, 0);
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::LoginUser);
}

// --- a noisy line ---------------------------------------------------------------------

struct Noise {
    double rate;
    uint32_t seed;
};

class NoisyLine : public TransferFaults, public ::testing::WithParamInterface<Noise> {
  protected:
    void Noisy() {
        sim::LineFaults f;
        f.corruptRate = GetParam().rate;
        rig.line.SetSeed(GetParam().seed);
        rig.line.SetFaults(sim::SimLine::Dir::HostToCard, f);
        rig.line.SetFaults(sim::SimLine::Dir::CardToHost, f);
    }
};

// At one byte in ten thousand a transfer mostly gets through on its retries;
// when it does not, it says so. Either way nothing wrong is kept.
class RareErrors : public NoisyLine {};

TEST_P(RareErrors, SendThenGetEndWithTheSameTableOrWithAMessage) {
    WithCard();
    Noisy();
    FillFixedChannels(doc);
    Send();
    ASSERT_TRUE(RunToIdle());
    // The line did spoil bytes on the way (about nine are expected).
    EXPECT_GT(rig.line.Corrupted(), 0u);
    if (Completed(msg::kTableWrittenRebooted)) {
        EXPECT_TRUE(CardHoldsChannels(card->Content(), doc));
    } else {
        ExpectFailedWithAMessage();
        return;
    }
    CTmpDoc got;
    Get(got);
    ASSERT_TRUE(RunToIdle());
    if (Completed(msg::kTableRead)) {
        EXPECT_TRUE(SameChannels(doc, got));
    } else {
        ExpectFailedWithAMessage();
    }
}

std::vector<Noise> Seeds(double rate, uint32_t count) {
    std::vector<Noise> v;
    for (uint32_t s = 1; s <= count; ++s) {
        v.push_back({rate, s});
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(OneIn10000, RareErrors, ::testing::ValuesIn(Seeds(1e-4, 10)));

// At one byte in a hundred nothing gets through: the command gives up with
// its message within its time-outs and leaves the driver ready for the next.
class FrequentErrors : public NoisyLine {};

TEST_P(FrequentErrors, SendFailsWithAMessageAndTheDriverIsIdle) {
    WithCard();
    Noisy();
    FillFixedChannels(doc);
    Send();
    ASSERT_TRUE(RunToIdle());
    ExpectFailedWithAMessage();
    EXPECT_FALSE(CardHoldsChannels(card->Content(), doc));
}

TEST_P(FrequentErrors, GetFailsWithAMessageAndTheDriverIsIdle) {
    WithCard();
    Noisy();
    CTmpDoc got;
    Get(got);
    ASSERT_TRUE(RunToIdle());
    ExpectFailedWithAMessage();
}

INSTANTIATE_TEST_SUITE_P(OneIn100, FrequentErrors, ::testing::ValuesIn(Seeds(1e-2, 3)));

// --- Cancel in every phase --------------------------------------------------------------

// Where the Cancel button is pressed, and what the card must still hold.
struct CancelPoint {
    const char* name;
    bool send;         // a Send, or else a Get
    int transaction;   // the binary transaction running, or 0
    int afterBytes;    // bytes of it that reached the card first
    const char* text;  // or: once this text has reached the card
};

std::ostream& operator<<(std::ostream& os, const CancelPoint& p) {
    return os << p.name;
}

class CancelInEachPhase : public TransferFaults, public ::testing::WithParamInterface<CancelPoint> {
  protected:
    void Arm() {
        const CancelPoint p = GetParam();
        if (p.transaction != 0) {
            cancelWhen = [this, p, start = size_t{0}]() mutable {
                if (app->binaryTransaction != p.transaction) {
                    return false;
                }
                if (start == 0) {
                    start = sent.size();
                }
                return sent.size() - start + 1 >= static_cast<size_t>(p.afterBytes);
            };
        } else {
            cancelWhen = [this, p] { return Sent(p.text); };
        }
    }
};

TEST_P(CancelInEachPhase, TheDriverEndsIdleAndChangesNothingMore) {
    const CancelPoint p = GetParam();
    WithCard();
    FillFixedChannels(doc);
    ASSERT_TRUE(doc.keys.Add("0123456789abcdef", 0x1a));
    ASSERT_TRUE(doc.keys.Add("fedcba9876543210", 0x1b));
    doc.frontPanelVolume = "3";
    Arm();
    const sim::CardContent before = card->Content();
    CTmpDoc got;
    if (p.send) {
        Send();
    } else {
        Get(got);
    }
    rig.pump.AfterCommand();
    ASSERT_TRUE(rig.pump.RunUntil([&] { return cancelled; }, kCommandMs)) << "never reached";
    rig.pump.RunFor(60 * 1000);

    ExpectIdleAndHidden();
    // After the cancel nothing that changes the card goes out: no block, no
    // parameter write, key, password change or store-and-reboot. The block
    // engine still answers and offers NAKs (an idle receiver offers one a
    // second), and a login whose reply was complete before the click was
    // handled goes on with the password and the version question, which
    // change nothing.
    const std::string after = sent.substr(std::min<size_t>(writtenAtCancel, sent.size()));
    for (const char* changing : {"\x01", "setp", "wct", "chpwd"}) {
        EXPECT_EQ(after.find(changing), std::string::npos)
            << ::testing::PrintToString(changing) << " after the cancel in "
            << ::testing::PrintToString(after);
    }
    for (const auto& b : rig.prompts.Boxes()) {
        EXPECT_NE(b.icon, Icon::Exclamation) << b.text;
    }
    // What the card holds now is what it held when Cancel was pressed, but
    // for a text command already on its way. A cancelled binary message may
    // still be closed by the engine's EOT (its emptied ring ends the
    // message), and the card must not take the part that came.
    const sim::CardContent& now = card->Content();
    if (!p.send) {
        EXPECT_EQ(now, before);
        EXPECT_FALSE(got.IsModified());
        return;
    }
    if (p.transaction != 0) {
        EXPECT_EQ(now, contentAtCancel);
    }
    EXPECT_EQ(now.channels, contentAtCancel.channels);
    EXPECT_EQ(now.groups, contentAtCancel.groups);
    EXPECT_EQ(now.tones, contentAtCancel.tones);
    EXPECT_LE(now.keys.size(), contentAtCancel.keys.size() + 1);
    if (p.transaction == bintxn::kSendChannels || p.transaction == 0) {
        EXPECT_EQ(card->Reboots(), std::string(p.name) == "SendRebootWait" ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Send, CancelInEachPhase,
    ::testing::Values(CancelPoint{"SendLogin", true, 0, 0, "fie"},
                      CancelPoint{"SendBinaryChain", true, 0, 0, "bin_mode"},
                      CancelPoint{"SendChannels", true, bintxn::kSendChannels, 3000, ""},
                      CancelPoint{"SendSquelchAll", true, bintxn::kSendSquelchAll, 300, ""},
                      CancelPoint{"SendToneRemote", true, bintxn::kSendToneRemote, 20, ""},
                      CancelPoint{"SendExitBinary", true, bintxn::kExitBinary, 1, ""},
                      CancelPoint{"SendKeyUpload", true, 0, 0, "0123456789abcdef"},
                      CancelPoint{"SendParameterWrite", true, 0, 0, "setp ee_fpvol"},
                      CancelPoint{"SendRebootWait", true, 0, 0, "wct\r"}),
    [](const auto& pi) { return std::string(pi.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Get, CancelInEachPhase,
    ::testing::Values(CancelPoint{"GetLogin", false, 0, 0, "fie"},
                      CancelPoint{"GetBinaryChain", false, 0, 0, "bin_mode"},
                      CancelPoint{"GetChannels", false, bintxn::kGetChannels, 1, ""},
                      CancelPoint{"GetSquelchAll", false, bintxn::kGetSquelchAll, 1, ""},
                      CancelPoint{"GetToneRemote", false, bintxn::kGetToneRemote, 1, ""},
                      CancelPoint{"GetExitBinary", false, bintxn::kExitBinary, 1, ""},
                      CancelPoint{"GetParameterRead", false, 0, 0, "getp ee_fpvol"}),
    [](const auto& pi) { return std::string(pi.param.name); });

// --- the card refuses the session -----------------------------------------------------

struct VersionCase {
    const char* name;
    const char* version;
    const char* message;
};

class VersionMismatch : public TransferFaults, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionMismatch, EndsTheSendRightAfterTheLogin) {
    CardOptions options;
    options.version = GetParam().version;
    WithCard(options);
    FillFixedChannels(doc);
    Send();
    ASSERT_TRUE(RunToIdle());
    ExpectFailedWithAMessage();
    EXPECT_EQ(rig.prompts.Boxes().back().text, GetParam().message);
    EXPECT_TRUE(Sent("getp bcp_version\r"));
    // Nothing follows the version question, asked three times before the
    // answer is believed.
    std::string after = sent.substr(sent.find("getp bcp_version\r"));
    int asked = 0;
    for (size_t at = after.find("getp bcp_version\r"); at != std::string::npos;
         at = after.find("getp bcp_version\r")) {
        after.erase(at, 17);
        ++asked;
    }
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(after.find_first_not_of("\r\n"), std::string::npos) << after;
    EXPECT_EQ(card->Content(), sim::CardContent::Factory());
    EXPECT_EQ(card->CurrentMode(), TransceiverSim::Mode::Shell);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionMismatch,
                         ::testing::Values(VersionCase{"Older", "1.1", msg::kIncompatibleOlder},
                                           VersionCase{"Newer", "1.3", msg::kIncompatibleNewer},
                                           VersionCase{"Missing", "", msg::kIncompatibleNoVersion}),
                         [](const auto& pi) { return std::string(pi.param.name); });

TEST_F(TransferFaults, AWrongPasswordEndsTheSendWithItsMessage) {
    WithCard();
    FillFixedChannels(doc);
    rig.prompts.QueuePassword("wrong");
    app->OnSend();
    ASSERT_TRUE(RunToIdle());
    ExpectIdleAndHidden();
    const auto boxes = rig.prompts.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, "Login failed! Maybe you entered the wrong password?");
    EXPECT_FALSE(Sent("bin_mode"));
    EXPECT_EQ(card->Content(), sim::CardContent::Factory());
}

TEST_F(TransferFaults, AWrongPasswordEndsTheGetWithItsMessage) {
    WithCard();
    CTmpDoc got;
    app->SetDocument(&got);
    rig.prompts.QueuePassword("wrong");
    ASSERT_TRUE(app->OnGet());
    ASSERT_TRUE(RunToIdle());
    ExpectIdleAndHidden();
    const auto boxes = rig.prompts.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, "Login failed! Maybe you entered the wrong password?");
    EXPECT_FALSE(Sent("bin_mode"));
    EXPECT_FALSE(got.IsModified());
}

}  // namespace
}  // namespace quillon::testing
