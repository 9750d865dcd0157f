#include <gtest/gtest.h>

#include "SimBench.h"
#include "sim/Messages.h"

namespace quillon::sim::test {

using quillon::testing::SimBench;
using quillon::testing::Text;

namespace {

using Mode = TransceiverSim::Mode;

TEST(TransceiverText, LoginExchangeByteForByte) {
    SimBench b;
    EXPECT_EQ(b.Talk("\r"), "\r\nLogin > ");
    EXPECT_EQ(b.Talk("field\r"), "field\r\nPasswd > ");
    EXPECT_EQ(b.Talk("quillon\r"), "quillon\r\n\r\nVEL> ");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Shell);
    // Already logged in: a carriage return gives a fresh prompt.
    EXPECT_EQ(b.Talk("\r"), "\r\nVEL> ");
    EXPECT_EQ(b.Talk("\n\r"), "\n\rVEL> ");
    EXPECT_EQ(b.Talk("\rlogout\r"), "\r\nVEL> logout\r\nLogin > ");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::LoginUser);
}

TEST(TransceiverText, WrongPasswordAndWrongNameFailAlike) {
    SimBench b;
    EXPECT_EQ(b.Talk("field\r"), "field\r\nPasswd > ");
    EXPECT_EQ(b.Talk("nope\r"), "nope\r\nLogin incorrect\r\nLogin > ");
    EXPECT_EQ(b.Talk("admin\r"), "admin\r\nPasswd > ");
    EXPECT_EQ(b.Talk("quillon\r"), "quillon\r\nLogin incorrect\r\nLogin > ");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::LoginUser);
}

TEST(TransceiverText, ParameterRepliesCarryNoLeadingLineEnd) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("getp ee_dflt_chan\r\n"), "getp ee_dflt_chan\r\nee_dflt_chan: 65535\r\nVEL> ");
    EXPECT_EQ(b.Talk("setp ee_dflt_chan 12\r\n"),
              "setp ee_dflt_chan 12\r\nee_dflt_chan: 12\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp ee_dflt_chan\r\n"), "getp ee_dflt_chan\r\nee_dflt_chan: 12\r\nVEL> ");
    // The programmer writes "no default channel" as 0xFFFF.
    b.Talk("setp ee_dflt_chan 0xFFFF\r\n");
    EXPECT_EQ(*b.Card().Content().Parameter("ee_dflt_chan"), "65535");
    EXPECT_EQ(b.Talk("getp ee_fpvol\r\n"), "getp ee_fpvol\r\nee_fpvol: 10\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp ee_fpmon\r\n"), "getp ee_fpmon\r\nee_fpmon: 1\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp ee_bpnl_output\r\n"),
              "getp ee_bpnl_output\r\nee_bpnl_output: 1\r\nVEL> ");
    // A lone carriage return is completed by the card.
    EXPECT_EQ(b.Talk("getp ee_fpvol\r"), "getp ee_fpvol\r\nee_fpvol: 10\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp bcp_version\r"), "getp bcp_version\r\n1.2\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp nothing\r\n"), "getp nothing\r\nIncorrect parameter\r\nVEL> ");
}

TEST(TransceiverText, RefusedValuesLeaveParametersAlone) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("setp ee_fpvol 11\r\n"), "setp ee_fpvol 11\r\nInvalid value\r\nVEL> ");
    EXPECT_EQ(b.Talk("setp ee_dflt_chan 512\r\n"),
              "setp ee_dflt_chan 512\r\nInvalid value\r\nVEL> ");
    EXPECT_EQ(b.Talk("setp ee_fpmon x\r\n"), "setp ee_fpmon x\r\nInvalid value\r\nVEL> ");
    EXPECT_EQ(b.Talk("setp foo 1\r\n"), "setp foo 1\r\nIncorrect parameter\r\nVEL> ");
    EXPECT_EQ(b.Card().Content(), CardContent::Factory());
    b.Talk("setp ee_fpmon 0\r\n");
    b.Talk("setp ee_bpnl_output 3\r\n");
    EXPECT_EQ(*b.Card().Content().Parameter("ee_fpmon"), "0");
    EXPECT_EQ(*b.Card().Content().Parameter("ee_bpnl_output"), "3");
}

TEST(TransceiverText, EnteringBinaryModeThenNakForACarriageReturn) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("setp bin_mode on\r\n"), "setp bin_mode on\r\nEntering binary mode\r\n");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Binary);
    EXPECT_EQ(b.Talk("\r"), "\x15");
    // The programmer's NAKs and ACKs get no answer.
    EXPECT_EQ(b.Talk("\x15\x06\x15"), "");
}

TEST(TransceiverText, KeysAreErasedAndAdded) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("setp crypt_key 129    26 0123456789abcdef\n\r"),
              "setp crypt_key 129    26 0123456789abcdef\n\rEncryption key added\r\nVEL> ");
    b.Talk("setp crypt_key 129 65535 FEDCBA9876543210\n\r");
    ASSERT_EQ(b.Card().Content().keys.size(), 2u);
    EXPECT_EQ(b.Card().Content().keys[0], (CardKey{26, "0123456789abcdef"}));
    EXPECT_EQ(b.Card().Content().keys[1], (CardKey{65535, "FEDCBA9876543210"}));
    EXPECT_EQ(b.Talk("setp crypt_key 130 1 0123456789abcdef\n\r"),
              "setp crypt_key 130 1 0123456789abcdef\n\rEncryption key refused\r\nVEL> ");
    b.Talk("setp crypt_key 129 7 0123\n\r");
    b.Talk("setp crypt_key 129 65536 0123456789abcdef\n\r");
    EXPECT_EQ(b.Card().Content().keys.size(), 2u);
    EXPECT_EQ(b.Talk("setp crypt_key erase\n\r"),
              "setp crypt_key erase\n\rEncryption keys erased\r\nVEL> ");
    EXPECT_TRUE(b.Card().Content().keys.empty());
    for (int i = 0; i < 17; ++i) {
        b.Talk("setp crypt_key 129 " + std::to_string(i) + " 0123456789abcdef\n\r");
    }
    EXPECT_EQ(b.Card().Content().keys.size(), kMaxCardKeys);
}

TEST(TransceiverText, PasswordChangeWithUserCreation) {
    CardContent c = CardContent::Factory();
    c.users.clear();
    SimBench b(SimOptions{}, c);
    b.LogIn();
    EXPECT_EQ(b.Talk("getu\r\n"), "getu\r\nUsers:\r\nVEL> ");
    EXPECT_EQ(b.Talk("chpwd field\r\n"), "chpwd field\r\nUnknown user\r\nVEL> ");
    EXPECT_EQ(b.Talk("user field adm\r\n"), "user field adm\r\nUser added\r\nVEL> ");
    EXPECT_EQ(b.Talk("getu\r\n"), "getu\r\nUsers:\r\nfield adm\r\nVEL> ");
    EXPECT_EQ(b.Talk("chpwd field\r\n"), "chpwd field\r\nOld password: ");
    EXPECT_EQ(b.Talk("quillon\r\n"), "quillon\r\nNew password: ");
    EXPECT_EQ(b.Talk("s3cret\r\n"), "s3cret\r\nRetype new password: ");
    EXPECT_EQ(b.Talk("s3cret\r\n"), "s3cret\r\nPassword has changed\r\nVEL> ");
    b.Talk("logout\r\n");
    b.Talk("field\r");
    EXPECT_EQ(b.Talk("s3cret\r"), "s3cret\r\n\r\nVEL> ");
}

TEST(TransceiverText, FailedPasswordChangesSayNothingOfChange) {
    SimBench b;
    b.LogIn();
    auto change = [&](const std::string& oldPw, const std::string& a, const std::string& c) {
        b.Talk("chpwd field\r\n");
        b.Talk(oldPw + "\r\n");
        b.Talk(a + "\r\n");
        return b.Talk(c + "\r\n");
    };
    EXPECT_EQ(change("wrong", "new1", "new1"),
              "new1\r\nPassword not changed: old password wrong\r\nVEL> ");
    EXPECT_EQ(change("quillon", "new1", "new2"),
              "new2\r\nPassword not changed: new passwords differ\r\nVEL> ");
    EXPECT_EQ(change("quillon", "", ""), "\r\nPassword not changed: new password empty\r\nVEL> ");
    EXPECT_EQ(b.Card().Content().password, "quillon");
}

TEST(TransceiverText, WriteTableRebootsSilentlyThenShowsLogin) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("wct\r\n"), "wct\r\nWriting channel table, rebooting\r\n");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Rebooting);
    EXPECT_EQ(b.Talk("\n\r", 5000), "");  // silent, not even an echo
    b.RunMs(3000);
    EXPECT_EQ(b.Take(), "\r\nLogin > ");
    EXPECT_EQ(b.Talk("\n\r"), "\n\rLogin > ");
    EXPECT_EQ(b.Card().Reboots(), 1);
}

TEST(TransceiverText, GarbageLinesGetErrorsAndOverlongLinesAreCut) {
    SimBench b;
    b.LogIn();
    EXPECT_EQ(b.Talk("frobnicate\r\n"), "frobnicate\r\nUnknown command\r\nVEL> ");
    EXPECT_EQ(b.Talk("getpp\x08 ee_fpmon\r\n"), "getpp\x08 ee_fpmon\r\nee_fpmon: 1\r\nVEL> ");
    const std::string longLine(1000, 'x');
    EXPECT_EQ(b.Talk(longLine + "\r\n", 2000), longLine + "\r\nLine too long\r\nVEL> ");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Shell);
}

// --- the switches of the text side ------------------------------------------

TEST(TransceiverSwitches, PasswordAndVersion) {
    SimOptions o;
    o.password = "other";
    o.card.version = "1.3";
    SimBench b(o);
    b.Talk("field\r");
    EXPECT_EQ(b.Talk("quillon\r"), "quillon\r\nLogin incorrect\r\nLogin > ");
    b.Talk("field\r");
    EXPECT_EQ(b.Talk("other\r"), "other\r\n\r\nVEL> ");
    EXPECT_EQ(b.Talk("getp bcp_version\r"), "getp bcp_version\r\n1.3\r\nVEL> ");

    SimOptions lacking;
    lacking.card.version = "";
    SimBench old(lacking);
    old.LogIn();
    EXPECT_EQ(old.Talk("getp bcp_version\r"), "getp bcp_version\r\nIncorrect parameter\r\nVEL> ");
}

TEST(TransceiverSwitches, RebootTimeAndMissingConfirmation) {
    SimOptions o;
    o.card.rebootSeconds = 2;
    o.card.wctConfirm = false;
    SimBench b(o);
    b.LogIn();
    EXPECT_EQ(b.Talk("wct\r\n"), "wct\r\n");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Rebooting);
    b.RunMs(1600);
    EXPECT_EQ(b.Take(), "\r\nLogin > ");
}

TEST(TransceiverSwitches, SilentCardAnswersNothingAndIgnoresEverything) {
    SimOptions o;
    o.card.silent = true;
    SimBench b(o);
    EXPECT_EQ(b.Talk("\r"), "");
    EXPECT_EQ(b.Talk("field\r"), "");
    EXPECT_EQ(b.Card().CurrentMode(), Mode::LoginUser);
}

TEST(TransceiverSwitches, StartInBinaryMode) {
    SimOptions o;
    o.card.startBinary = true;
    SimBench b(o);
    EXPECT_EQ(b.Card().CurrentMode(), Mode::Binary);
    EXPECT_EQ(b.Talk("\r"), "\x15");
}

TEST(TransceiverSwitches, LatencyDelaysEveryByte) {
    SimOptions o;
    o.card.latencyMs = 700;
    SimBench b(o);
    EXPECT_EQ(b.Talk("\r", 600), "");
    b.RunMs(200);
    EXPECT_EQ(b.Take(), "\r\nLogin > ");
}

TEST(TransceiverSwitches, BurstsHandTheCardsBytesOverEverySoManyMilliseconds) {
    SimOptions o;
    o.burstMs = 16;
    SimBench b(o);
    // The echo leaves the wire at 2.1 ms; the rest of the answer follows the
    // card's 10 ms wait for a second line-end byte, from 12.1 ms on, one
    // byte each 1.04 ms. The programmer sees what came in by 16 ms at 16 ms,
    // and the rest at 32 ms.
    b.Send("\r");
    b.clock.AdvanceTo(16 * VirtualClock::kNsPerMs - 1);
    EXPECT_EQ(b.Take(), "");
    b.clock.AdvanceTo(16 * VirtualClock::kNsPerMs);
    EXPECT_EQ(b.Take(), "\r\nLog");
    b.clock.AdvanceTo(32 * VirtualClock::kNsPerMs - 1);
    EXPECT_EQ(b.Take(), "");
    b.clock.AdvanceTo(32 * VirtualClock::kNsPerMs);
    EXPECT_EQ(b.Take(), "in > ");
    // What the programmer sends is not held back.
    EXPECT_EQ(b.rig->Line().Delivery(SimLine::Dir::HostToCard).burstNs, 0u);
}

TEST(TransceiverSwitches, LineFaultsFromTheOptions) {
    SimOptions drop;
    drop.dropRate = 1.0;
    SimBench lost(drop);
    EXPECT_EQ(lost.Talk("\r"), "");
    EXPECT_GT(lost.rig->Line().Dropped(), 0u);

    SimOptions insert;
    insert.insertRate = 1.0;
    insert.seed = 7;
    SimBench noisy(insert);
    noisy.Talk("\r");
    EXPECT_GT(noisy.rig->Line().Inserted(), 0u);

    // Corruption with one seed happens the same way every time, and
    // differently with another seed.
    auto corrupted = [](uint32_t seed) {
        SimOptions c;
        c.corruptRate = 0.5;
        c.seed = seed;
        SimBench b(c);
        std::string all;
        for (int i = 0; i < 5; ++i) {
            all += b.Talk("\r");
        }
        EXPECT_GT(b.rig->Line().Corrupted(), 0u);
        return all;
    };
    EXPECT_EQ(corrupted(1), corrupted(1));
    EXPECT_NE(corrupted(1), corrupted(2));
}

}  // namespace
}  // namespace quillon::sim::test
