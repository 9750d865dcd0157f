// "Squelch Group Properties" without its dialog: the three code fields,
// "<<", Delete, the enabled states and the checks of OK.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/SquelchGroupProperties.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit {
namespace {

using model::SquGroup;
using sim::ScriptedPrompts;
using Code = SquelchGroupProperties::Code;

std::vector<std::string> ItemTexts(const SquelchGroupProperties& p) {
    std::vector<std::string> out;
    for (const auto& e : p.Items()) {
        out.push_back(e.text);
    }
    return out;
}

class SquelchGroupPropertiesTest : public ::testing::Test {
  protected:
    SquGroup groups;
    ScriptedPrompts prompts;
};

TEST_F(SquelchGroupPropertiesTest, OpensOnTheGroupWithTheFieldsOnTheirFirstCodes) {
    groups.SetName(2, "PATROL");
    SquelchGroupProperties p(groups, 2, prompts);
    EXPECT_EQ(p.Name(), "PATROL");
    EXPECT_EQ(p.Field(Code::Nac).Text(), "0x001");
    EXPECT_EQ(p.Field(Code::Ctcss).Text(), "067.0");
    EXPECT_EQ(p.Field(Code::Cdcss).Text(), "023");
    EXPECT_TRUE(p.FieldEnabled(Code::Nac));
    EXPECT_TRUE(p.FieldEnabled(Code::Ctcss));
    EXPECT_TRUE(p.FieldEnabled(Code::Cdcss));
    EXPECT_TRUE(p.Items().empty());
}

TEST_F(SquelchGroupPropertiesTest, TheFirstRealCodeIsReachedBySnapping) {
    SquelchGroupProperties p(groups, 0, prompts);
    NumericField& ctcss = p.Field(Code::Ctcss);
    ctcss.SetText("60");
    ctcss.Normalise();
    EXPECT_EQ(ctcss.Text(), "067.0");
    ctcss.SetText("0");
    ctcss.Normalise();
    EXPECT_EQ(ctcss.Text(), "067.0");
    ctcss.SetText("69");
    ctcss.Normalise();
    EXPECT_EQ(ctcss.Text(), "069.3");

    NumericField& cdcss = p.Field(Code::Cdcss);
    cdcss.SetText("0");
    cdcss.Normalise();
    EXPECT_EQ(cdcss.Text(), "023");
    cdcss.SetText("26");
    cdcss.Normalise();
    EXPECT_EQ(cdcss.Text(), "026");
    cdcss.SetText("777");
    cdcss.Normalise();
    EXPECT_EQ(cdcss.Text(), "754");

    // The arrows stop at the ends of the lists, with a beep.
    p.Step(Code::Cdcss, StepCode::Up);
    EXPECT_EQ(cdcss.Text(), "754");
    EXPECT_EQ(prompts.BeepCount(), 1);
    p.Step(Code::Cdcss, StepCode::Down);
    EXPECT_EQ(cdcss.Text(), "743");
    ctcss.SetValue("67");
    p.Step(Code::Ctcss, StepCode::Down);
    EXPECT_EQ(ctcss.Text(), "067.0");
    EXPECT_EQ(prompts.BeepCount(), 2);
    p.Step(Code::Nac, StepCode::Down);  // 0x001 is the lowest NAC
    EXPECT_EQ(p.Field(Code::Nac).Text(), "0x001");
    EXPECT_EQ(prompts.BeepCount(), 3);
}

TEST_F(SquelchGroupPropertiesTest, AddingCodesFillsTheListAndLocksTheOtherToneKind) {
    SquelchGroupProperties p(groups, 4, prompts);
    p.Field(Code::Nac).SetText("293");
    EXPECT_TRUE(p.AddCode(Code::Nac));  // normalised before it is taken
    p.Field(Code::Ctcss).SetText("100");
    EXPECT_TRUE(p.AddCode(Code::Ctcss));
    EXPECT_EQ(ItemTexts(p), (std::vector<std::string>{"NAC  0x293", "CTCSS  100.0"}));
    EXPECT_EQ(p.Groups().GetItem(4, 0).type, SquGroup::kNac);
    EXPECT_EQ(p.Groups().GetItem(4, 0).value, "0x293");
    EXPECT_EQ(p.Groups().GetItem(4, 1).value, "100.0");

    // With a CTCSS code in the group the CDCSS field is out of use.
    EXPECT_TRUE(p.FieldEnabled(Code::Ctcss));
    EXPECT_FALSE(p.FieldEnabled(Code::Cdcss));
    EXPECT_EQ(p.Field(Code::Cdcss).BoxText(), "");
    EXPECT_FALSE(p.AddCode(Code::Cdcss));
    EXPECT_EQ(p.Items().size(), 2u);

    // Without it, the CDCSS field comes back with its text and locks CTCSS.
    p.DeleteItems({1});
    EXPECT_TRUE(p.FieldEnabled(Code::Cdcss));
    EXPECT_EQ(p.Field(Code::Cdcss).BoxText(), "023");
    EXPECT_TRUE(p.AddCode(Code::Cdcss));
    EXPECT_FALSE(p.FieldEnabled(Code::Ctcss));
    EXPECT_EQ(ItemTexts(p), (std::vector<std::string>{"NAC  0x293", "CDCSS  023"}));
    EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(SquelchGroupPropertiesTest, AFullGroupTakesNoSeventeenthCode) {
    SquelchGroupProperties p(groups, 0, prompts);
    for (int i = 1; i <= SquGroup::kItems; ++i) {
        p.Field(Code::Nac).SetValue(std::to_string(i));
        EXPECT_TRUE(p.AddCode(Code::Nac));
    }
    p.Field(Code::Nac).SetValue("abc");
    EXPECT_FALSE(p.AddCode(Code::Nac));
    ASSERT_EQ(p.Items().size(), 16u);
    EXPECT_EQ(p.Items().back().text, "NAC  0x016");  // the field reads hex
}

TEST_F(SquelchGroupPropertiesTest, AnyCodesShowAsNothingInTheListAndAsAnyInTheField) {
    groups.SetItem(1, 0, SquGroup::kNac, "0xf000");
    groups.SetItem(1, 1, SquGroup::kCtcss, "f00.0");  // as received
    groups.SetItem(1, 2, SquGroup::kCtcss, "67.0");   // as received
    SquelchGroupProperties p(groups, 1, prompts);
    EXPECT_EQ(ItemTexts(p), (std::vector<std::string>{"NAC  ", "CTCSS  ", "CTCSS  67.0"}));
    p.SelectItem(0);
    EXPECT_EQ(p.Field(Code::Nac).Text(), "ANY");
    p.SelectItem(1);
    EXPECT_EQ(p.Field(Code::Ctcss).Text(), "ANY");
    p.SelectItem(2);
    EXPECT_EQ(p.Field(Code::Ctcss).Text(), "067.0");
    p.SelectItem(9);  // no such row: nothing happens
    EXPECT_EQ(p.Field(Code::Ctcss).Text(), "067.0");

    // "ANY" added again is stored as the any-code of its kind.
    p.SelectItem(0);
    EXPECT_TRUE(p.AddCode(Code::Nac));
    EXPECT_EQ(p.Groups().GetItem(1, 3).value, "0xf000");
    EXPECT_EQ(p.Groups().GetItem(1, 3).type, SquGroup::kNac);
}

TEST_F(SquelchGroupPropertiesTest, DeleteNeedsASelectionAndPacksTheRest) {
    groups.SetItem(0, 0, SquGroup::kNac, "0x001");
    groups.SetItem(0, 1, SquGroup::kNac, "0x002");
    groups.SetItem(0, 2, SquGroup::kNac, "0x003");
    groups.SetItem(0, 3, SquGroup::kNac, "0x004");
    SquelchGroupProperties p(groups, 0, prompts);
    p.DeleteItems({});
    EXPECT_EQ(prompts.BeepCount(), 1);
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected a squelch item to delete first"});
    p.DeleteItems({0, 2});
    EXPECT_EQ(ItemTexts(p), (std::vector<std::string>{"NAC  0x002", "NAC  0x004"}));
    EXPECT_EQ(p.Groups().GetItem(0, 2).type, SquGroup::kNotUsed);
    EXPECT_EQ(p.Groups().GetItem(0, 2).value, "");
    // The caller's groups are untouched until OK.
    EXPECT_EQ(groups.GetItem(0, 2).value, "0x003");
}

TEST_F(SquelchGroupPropertiesTest, OkChecksTheNameAndTheMixInOrder) {
    SquelchGroupProperties p(groups, 3, prompts);
    p.AddCode(Code::Ctcss);
    p.SetName("ABCDEFGHIJKLMNOPQ");  // 17 characters
    EXPECT_FALSE(p.Ok(groups));
    EXPECT_EQ(prompts.BeepCount(), 1);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Squelch group name cannot be more than 16 characters!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);

    prompts.ClearRecords();
    p.SetName("");
    EXPECT_FALSE(p.Ok(groups));
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"Need atleast 1 character for squelch group name!"});
    EXPECT_EQ(prompts.BeepCount(), 0);
    EXPECT_TRUE(groups.IsEmpty(3));

    prompts.ClearRecords();
    p.SetName("ABCDEFGHIJKLMNOP");  // 16 characters
    EXPECT_TRUE(p.Ok(groups));
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(groups.GetName(3), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(groups.GetItem(3, 0).value, "067.0");
}

TEST_F(SquelchGroupPropertiesTest, AGroupHoldingBothToneKindsIsRefusedUntilMended) {
    groups.SetItem(6, 0, SquGroup::kCtcss, "067.0");
    groups.SetItem(6, 1, SquGroup::kCdcss, "023");
    SquelchGroupProperties p(groups, 6, prompts);
    EXPECT_FALSE(p.FieldEnabled(Code::Ctcss));
    EXPECT_FALSE(p.FieldEnabled(Code::Cdcss));
    EXPECT_TRUE(p.FieldEnabled(Code::Nac));
    // The long name is told first, then the mix.
    p.SetName("ABCDEFGHIJKLMNOPQR");
    EXPECT_FALSE(p.Ok(groups));
    p.SetName("MIXED");
    EXPECT_FALSE(p.Ok(groups));
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{
                  "Squelch group name cannot be more than 16 characters!",
                  "Squelch groups cannot contain both\nCTCSS and CDCSS squelches!"}));
    p.DeleteItems({1});
    EXPECT_TRUE(p.FieldEnabled(Code::Ctcss));
    EXPECT_TRUE(p.Ok(groups));
    EXPECT_EQ(groups.GetName(6), "MIXED");
    EXPECT_FALSE(groups.HasCdcss(6));
}

}  // namespace
}  // namespace quillon::edit
