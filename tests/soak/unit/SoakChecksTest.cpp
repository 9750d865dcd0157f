// The soak's checks must see the faults they are there for: a wrong table
// reported as read or written, a failure without the program's message.
// Each case hands the checker a reference that the program cannot meet.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "RandomDocument.h"
#include "SoakPlan.h"
#include "SoakRun.h"
#include "bci/Messages.h"
#include "model/CTmpDoc.h"
#include "ops/Messages.h"

namespace quillon::soak {
namespace {

class SoakChecks : public ::testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 rng(4);
        while (FillRandomDocument(rng, doc) != ChannelMix::FullFixed) {
            doc = model::CTmpDoc();
        }
        ref = MakeReference(doc);
        ASSERT_TRUE(ref.ok) << ref.problem;
    }
    model::CTmpDoc doc;
    Reference ref;
    Plan clean;
};

TEST_F(SoakChecks, ACleanLinePassesEveryCheck) {
    const auto sent = RunSend(doc, ref, clean, 1);
    EXPECT_TRUE(sent.completed);
    EXPECT_TRUE(sent.violations.empty()) << sent.violations.front();
    const auto got = RunGet(ref, clean, 1);
    EXPECT_TRUE(got.completed);
    EXPECT_TRUE(got.violations.empty()) << got.violations.front();
    EXPECT_LT(sent.virtualMs, kCommandBoundMs);
}

TEST_F(SoakChecks, ASendThatLeavesOtherChannelsOnTheCardIsADefect) {
    ref.card.channels[200].data[5] ^= 0x40;
    const auto sent = RunSend(doc, ref, clean, 1);
    EXPECT_TRUE(sent.completed);
    EXPECT_FALSE(sent.blockBlindSpot);
    ASSERT_EQ(sent.violations.size(), 1u);
    EXPECT_NE(sent.violations[0].find("no block was hit twice"), std::string::npos);
}

TEST_F(SoakChecks, AGetThatReadsOtherTonesThanTheCardSentIsADefect) {
    ref.got.toneRemote.SetRawEntry(5, model::ToneEntry{model::CToneRemote::kChannel, "0007"});
    ref.got.toneRemote.SetRawEntry(6, model::ToneEntry{model::CToneRemote::kChannel, "0009"});
    const auto got = RunGet(ref, clean, 1);
    EXPECT_TRUE(got.completed);
    ASSERT_FALSE(got.violations.empty());
    EXPECT_NE(got.violations[0].find("differ from the card's"), std::string::npos);
}

TEST_F(SoakChecks, AFailureOnAHostileLineEndsWithTheProgramsMessageAndTheDriverIdle) {
    Plan hostile;
    hostile.scenario = Scenario::Hostile;
    hostile.toCard = hostile.fromCard = FaultRates{0.05, 0.05, 0.0};
    const auto sent = RunSend(doc, ref, hostile, 3);
    EXPECT_FALSE(sent.completed);
    EXPECT_TRUE(sent.violations.empty()) << sent.violations.front();
    EXPECT_TRUE(IsFailureMessage(sent.message)) << sent.message;
    EXPECT_GT(sent.dataFaults, 0u);
}

TEST(FailureMessages, AreThoseOfTheProgramWithTheirFieldsFilledIn) {
    EXPECT_TRUE(IsFailureMessage(msg::kCommsError));
    EXPECT_TRUE(IsFailureMessage(msg::kLoginFailed));
    EXPECT_TRUE(IsFailureMessage(bcimsg::kChannelDataError));
    EXPECT_TRUE(IsFailureMessage(
        "The Transceiver gave no valid value for the front panel volume: \"x\".\nThe channel "
        "table has been read, but the radio wide settings are incomplete."));
    EXPECT_FALSE(IsFailureMessage(""));
    EXPECT_FALSE(IsFailureMessage("Something went wrong"));
    EXPECT_FALSE(IsFailureMessage(msg::kTableRead));
    EXPECT_FALSE(IsFailureMessage(msg::kTableWrittenRebooted));
}

}  // namespace
}  // namespace quillon::soak
