#include "edit/NumericField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ValueTables.h"

namespace quillon::edit {
namespace {

// The fields as the editors configure them.

NumericField KeyByteBox() {
    FieldConfig c;
    c.mode = FieldMode::Hex;
    c.maxDigits = 2;
    c.zeroFill = true;
    c.hexPrefix = false;
    c.hexRange = {0xff, 0, 1};
    NumericField f;
    f.Configure(c);
    return f;
}

NumericField KeyIdBox() {
    FieldConfig c;
    c.mode = FieldMode::Hex;
    c.maxDigits = 4;
    c.hexPrefix = true;
    c.hexRange = {0xffff, 0, 1};
    NumericField f;
    f.Configure(c);
    return f;
}

FieldConfig FrequencyConfig() {
    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 9;
    c.fractionDigits = 6;
    c.fractionRange = {520.0, 136.0, 1.0};
    c.fractionResolution = 0.00025;
    c.ties = TieRounding::Down;
    return c;
}

NumericField FrequencyField() {
    NumericField f;
    f.Configure(FrequencyConfig());
    return f;
}

NumericField NacField(const char* offText) {
    FieldConfig c;
    c.mode = FieldMode::Hex;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.hexPrefix = true;
    c.hexRange = {0xfff, 0x001, 1};
    NumericField f;
    f.Configure(c);
    f.AttachLists({{"-1", "000"}, {offText, "NONE"}, false, true});
    return f;
}

NumericField DecimalField(int digits, std::int64_t max) {
    FieldConfig c;
    c.mode = FieldMode::Decimal;
    c.maxDigits = digits;
    c.decimalRange = {max, 0, 1};
    NumericField f;
    f.Configure(c);
    return f;
}

NumericField PttTailField() {
    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 2;
    c.fractionDigits = 1;
    c.fractionRange = {9.9, 0.0, 0.1};
    c.fractionResolution = 0.1;
    NumericField f;
    f.Configure(c);
    return f;
}

template <std::size_t N>
std::vector<std::string> Entries(const std::array<const char*, N>& table, std::size_t from) {
    return std::vector<std::string>(table.begin() + static_cast<std::ptrdiff_t>(from), table.end());
}

// A channel's tone field: the whole table, "f000" and "000.0" shown as texts.
NumericField ChannelCtcssField() {
    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 4;
    c.fractionDigits = 1;
    c.fractionRange = {999.9, 0.0, 0.1};
    NumericField f;
    f.Configure(c);
    f.AttachLists({Entries(model::kCtcssTones, 0), {"ANY", "NONE"}, true, true});
    return f;
}

NumericField ChannelCdcssField() {
    FieldConfig c;
    c.mode = FieldMode::Octal;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.octalRange = {0777, 0, 1};
    NumericField f;
    f.Configure(c);
    f.AttachLists({Entries(model::kCdcssCodes, 0), {"AS RX", "NONE"}, true, true});
    return f;
}

// A squelch group's item fields: the tables without "f000" and the zero, so
// no off entry.
NumericField GroupCtcssField() {
    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 4;
    c.fractionDigits = 1;
    c.fractionRange = {999.9, 0.0, 0.1};
    NumericField f;
    f.Configure(c);
    f.AttachLists({Entries(model::kCtcssTones, 2), {}, true, false});
    return f;
}

NumericField GroupCdcssField() {
    FieldConfig c;
    c.mode = FieldMode::Octal;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.octalRange = {0777, 0, 1};
    NumericField f;
    f.Configure(c);
    f.AttachLists({Entries(model::kCdcssCodes, 2), {}, true, false});
    return f;
}

// Types text into an empty field as a user would; false at the first refusal.
bool TypeInto(NumericField& f, const std::string& keys) {
    std::string text = f.Text();
    for (char c : keys) {
        if (!f.AcceptsTyped(text, text.size(), 0, c)) {
            return false;
        }
        text.push_back(c);
        f.SetText(text);
    }
    return true;
}

// --- typing --------------------------------------------------------------------

TEST(NumericFieldTyping, KeyByteTakesTwoHexDigitsOnly) {
    NumericField f = KeyByteBox();
    EXPECT_TRUE(f.AcceptsTyped("", 0, 0, 'a'));
    EXPECT_TRUE(f.AcceptsTyped("f", 1, 0, 'F'));
    EXPECT_FALSE(f.AcceptsTyped("ff", 2, 0, 'f'));
    // No prefix on a key byte, so the "x" of "1x" never gets in.
    EXPECT_FALSE(f.AcceptsTyped("1", 1, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("0", 1, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("", 0, 0, 'g'));
    EXPECT_FALSE(f.AcceptsTyped("", 0, 0, ' '));
    EXPECT_FALSE(f.AcceptsTyped("", 0, 0, '-'));
    // Backspace and the like are always taken, even in a full box.
    EXPECT_TRUE(f.AcceptsTyped("ff", 2, 0, '\b'));
    // Typing over a selection replaces it, so a full box takes it.
    EXPECT_TRUE(f.AcceptsTyped("ff", 1, 1, '3'));
}

TEST(NumericFieldTyping, PrefixGivesRoomForTwoMoreCharacters) {
    NumericField f = KeyIdBox();
    EXPECT_TRUE(TypeInto(f, "1234"));
    EXPECT_FALSE(f.AcceptsTyped("1234", 4, 0, '5')) << "a fifth digit without the prefix";

    NumericField g = KeyIdBox();
    EXPECT_TRUE(TypeInto(g, "0x1234"));
    EXPECT_EQ(g.Text(), "0x1234");
    EXPECT_FALSE(g.AcceptsTyped("0x1234", 6, 0, '5'));
}

TEST(NumericFieldTyping, TheXOnlyAsThePrefix) {
    NumericField f = KeyIdBox();
    EXPECT_TRUE(f.AcceptsTyped("0", 1, 0, 'x'));
    EXPECT_TRUE(f.AcceptsTyped("012", 1, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("1", 1, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("", 0, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("0x1", 3, 0, 'x'));
    EXPECT_FALSE(f.AcceptsTyped("0", 1, 0, 'X'));
}

TEST(NumericFieldTyping, EachModeTakesItsOwnCharacters) {
    NumericField dec = DecimalField(3, 125);
    EXPECT_TRUE(dec.AcceptsTyped("", 0, 0, '9'));
    EXPECT_FALSE(dec.AcceptsTyped("", 0, 0, '.'));
    EXPECT_FALSE(dec.AcceptsTyped("", 0, 0, 'a'));
    EXPECT_FALSE(dec.AcceptsTyped("999", 3, 0, '9'));

    NumericField oct = GroupCdcssField();
    EXPECT_TRUE(oct.AcceptsTyped("", 0, 0, '7'));
    EXPECT_FALSE(oct.AcceptsTyped("", 0, 0, '8'));
    EXPECT_FALSE(oct.AcceptsTyped("", 0, 0, '9'));

    NumericField frac = FrequencyField();
    EXPECT_TRUE(frac.AcceptsTyped("451", 3, 0, '.'));
    EXPECT_FALSE(frac.AcceptsTyped("451.0", 5, 0, '.'));
    EXPECT_FALSE(frac.AcceptsTyped("", 0, 0, 'e'));
    // Nine digits and the point.
    EXPECT_TRUE(TypeInto(frac, "136.000000"));
    EXPECT_FALSE(frac.AcceptsTyped("136.000000", 10, 0, '1'));
}

TEST(NumericFieldTyping, OddInputIsRefusedWithoutHarm) {
    NumericField f = KeyIdBox();
    EXPECT_FALSE(f.AcceptsTyped("", 0, 0, static_cast<char>(0xc3)));
    // A selection beyond the text is cut to it.
    EXPECT_TRUE(f.AcceptsTyped("12", 7, 9, '3'));
    NumericField unconfigured;
    EXPECT_FALSE(unconfigured.AcceptsTyped("", 0, 0, '1'));
}

TEST(NumericFieldTyping, InsertedTextIsFilteredLikeTypedText) {
    NumericField id = KeyIdBox();
    EXPECT_TRUE(id.AcceptsInsert("", 0, 0, "0x1a2b"));
    EXPECT_FALSE(id.AcceptsInsert("", 0, 0, "12345"));
    EXPECT_FALSE(id.AcceptsInsert("", 0, 0, "1x"));
    EXPECT_FALSE(id.AcceptsInsert("", 0, 0, "1a\n"));
    EXPECT_TRUE(id.AcceptsInsert("0x12", 0, 4, "ffff"));
    EXPECT_TRUE(id.AcceptsInsert("0x12", 2, 2, ""));

    NumericField key = KeyByteBox();
    EXPECT_FALSE(key.AcceptsInsert("", 0, 0, "1x"));
    EXPECT_FALSE(key.AcceptsInsert("a", 1, 0, "bc"));
    EXPECT_TRUE(key.AcceptsInsert("a", 0, 1, "bc"));

    NumericField power = DecimalField(3, 125);
    EXPECT_FALSE(power.AcceptsInsert("", 0, 0, "99 "));
    EXPECT_FALSE(power.AcceptsInsert("", 0, 0, "1000"));
}

// --- reading and writing -------------------------------------------------------

TEST(NumericFieldFormat, IntegerModesPadAndPrefix) {
    NumericField key = KeyByteBox();
    EXPECT_EQ(key.Format(0x0a), "0a");
    EXPECT_EQ(key.Parse("FF"), 255);
    NumericField id = KeyIdBox();
    EXPECT_EQ(id.Format(0x1a), "0x1a");
    EXPECT_EQ(id.Parse("0x1a"), 26);
    EXPECT_EQ(id.Parse("1a"), 26);
    EXPECT_EQ(id.Parse("0x"), 0);
    EXPECT_EQ(id.Parse(""), 0);
    NumericField nac = NacField("ANY");
    EXPECT_EQ(nac.Format(0x293), "0x293");
    EXPECT_EQ(nac.Format(1), "0x001");
    NumericField oct = GroupCdcssField();
    EXPECT_EQ(oct.Format(023), "023");
    EXPECT_EQ(oct.Parse("754"), 0754);
    EXPECT_EQ(oct.Parse("78"), 7);
}

TEST(NumericFieldFormat, FractionsKeepTheirDigitsAndLeadingZeros) {
    NumericField freq = FrequencyField();
    EXPECT_EQ(freq.Format(136000000), "136.000000");
    EXPECT_EQ(freq.Format(451012500), "451.012500");
    NumericField tone = GroupCtcssField();
    EXPECT_EQ(tone.Format(67000000), "067.0");
    EXPECT_EQ(tone.Format(250300000), "250.3");
    // Non-zero digits beyond the kept ones stay.
    EXPECT_EQ(tone.Format(67050000), "067.05");
    EXPECT_EQ(tone.Parse(".55"), 550000);
    EXPECT_EQ(tone.Parse("2"), 2000000);
    EXPECT_EQ(tone.Parse("1.2.3"), 1200000);
    EXPECT_EQ(tone.Parse("0.0000015"), 2);

    FieldConfig c;
    c.mode = FieldMode::Fraction;
    c.maxDigits = 3;
    c.fractionDigits = 0;
    c.fractionRange = {999, 0, 1};
    NumericField whole;
    whole.Configure(c);
    EXPECT_EQ(whole.Format(7500000), "007");
}

// --- leaving the field ---------------------------------------------------------

TEST(NumericFieldLeave, ClampsIntoTheRange) {
    NumericField power = DecimalField(3, 125);
    power.SetText("999");
    power.Normalise();
    EXPECT_EQ(power.Text(), "125");
    power.SetText("");
    power.Normalise();
    EXPECT_EQ(power.Text(), "0");

    NumericField freq = FrequencyField();
    freq.SetText("600");
    freq.Normalise();
    EXPECT_EQ(freq.Text(), "520.000000");
    freq.SetText("100");
    freq.Normalise();
    EXPECT_EQ(freq.Text(), "136.000000");

    NumericField key = KeyByteBox();
    key.SetText("a");
    key.Normalise();
    EXPECT_EQ(key.Text(), "0a");
    key.SetText("");
    key.Normalise();
    EXPECT_EQ(key.Text(), "00");

    NumericField id = KeyIdBox();
    id.SetText("1a");
    id.Normalise();
    EXPECT_EQ(id.Text(), "0x1a");
    id.SetText("0x00ff");
    id.Normalise();
    EXPECT_EQ(id.Text(), "0xff");
}

TEST(NumericFieldLeave, HugeTextsSaturateInsteadOfOverflowing) {
    NumericField power = DecimalField(3, 125);
    power.SetText("99999999999999999999999999999");
    power.Normalise();
    EXPECT_EQ(power.Text(), "125");
    NumericField freq = FrequencyField();
    freq.SetText("99999999999999999999999999.9999999999");
    freq.Normalise();
    EXPECT_EQ(freq.Text(), "520.000000");
}

TEST(NumericFieldLeave, SpecialTextsStayAsTheyAre) {
    NumericField nac = NacField("AS RX");
    for (const char* text : {"AS RX", "NONE", "ANY"}) {
        nac.SetText(text);
        nac.Normalise();
        EXPECT_EQ(nac.Text(), text);
    }
    // Without any list the texts stand as well.
    NumericField id = KeyIdBox();
    id.SetText("AS RX");
    id.Normalise();
    EXPECT_EQ(id.Text(), "AS RX");
    // Only the exact texts: "any" is read as hex, "a" and nothing after.
    id.SetText("any");
    id.Normalise();
    EXPECT_EQ(id.Text(), "0xa");
}

TEST(NumericFieldLeave, ChannelToneListSnapsButNeverToTheOffEntry) {
    NumericField tone = ChannelCtcssField();
    tone.SetText("68");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "067.0");
    EXPECT_EQ(tone.ListIndex(), 2);
    // "f000" reads as 0 and comes first, so it would win a tie with "000.0"
    // if it took part.
    tone.SetText("0");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "000.0");
    EXPECT_EQ(tone.ListIndex(), 1);
    EXPECT_EQ(tone.ValueText(), "000.0");
    tone.SetText("");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "000.0");
    tone.SetText("999.9");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "250.3");

    NumericField code = ChannelCdcssField();
    code.SetText("0");
    code.Normalise();
    EXPECT_EQ(code.Text(), "000");
    // 024 lies half-way between 023 and 025: the earlier entry wins.
    code.SetText("24");
    code.Normalise();
    EXPECT_EQ(code.Text(), "023");
}

TEST(NumericFieldLeave, GroupListsWithoutOffEntryReachTheirFirstEntry) {
    NumericField tone = GroupCtcssField();
    tone.SetText("0");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "067.0");
    EXPECT_EQ(tone.ListIndex(), 0);
    EXPECT_EQ(tone.ValueText(), "067.0");
    tone.SetText("68");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "067.0");
    tone.SetText("69");
    tone.Normalise();
    EXPECT_EQ(tone.Text(), "069.3");

    NumericField code = GroupCdcssField();
    code.SetText("1");
    code.Normalise();
    EXPECT_EQ(code.Text(), "023");
    code.SetText("");
    code.Normalise();
    EXPECT_EQ(code.Text(), "023");
    code.SetText("777");
    code.Normalise();
    EXPECT_EQ(code.Text(), "754");
}

TEST(NumericFieldLeave, FrequenciesRoundTo250HzWithTiesDown) {
    NumericField freq = FrequencyField();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"450.000125", "450.000000"}, {"450.0127", "450.012750"},   {"450.0126", "450.012500"},
        {"450.000126", "450.000250"}, {"450.000375", "450.000250"}, {"451.0125", "451.012500"},
        {"519.99999", "520.000000"},
    };
    for (const auto& [typed, shown] : cases) {
        freq.SetText(typed);
        freq.Normalise();
        EXPECT_EQ(freq.Text(), shown) << typed;
    }
}

TEST(NumericFieldLeave, FractionsRoundToTheStepWhateverTheDecimalsTyped) {
    NumericField tail = PttTailField();
    tail.SetText(".55");
    tail.Normalise();
    EXPECT_EQ(tail.Text(), "0.6");
    EXPECT_EQ(tail.ScaledValue(10), 6);
    tail.SetText("2");
    tail.Normalise();
    EXPECT_EQ(tail.Text(), "2.0");
    EXPECT_EQ(tail.ScaledValue(10), 20);
    tail.SetText("9.96");
    tail.Normalise();
    EXPECT_EQ(tail.Text(), "9.9");
    EXPECT_EQ(tail.ScaledValue(10), 99);
}

TEST(NumericFieldLeave, AFieldThatReportsItsRangeItselfIsNotClamped) {
    FieldConfig c = FrequencyConfig();
    c.clampOnLeave = false;
    NumericField freq;
    freq.Configure(c);
    freq.SetText("530");
    freq.Normalise();
    EXPECT_EQ(freq.Text(), "530.000000");
    EXPECT_EQ(freq.ScaledValue(1000000), 530000000);
    // The arrows still keep to the range.
    EXPECT_FALSE(freq.Step(StepCode::Up));
    EXPECT_EQ(freq.Text(), "520.000000");
}

TEST(NumericFieldLeave, ListOnlyDecimalFieldOnlyRefreshesItsValueText) {
    FieldConfig c;
    c.mode = FieldMode::Decimal;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.decimalRange = {511, 0, 1};
    c.valueWidth = 3;
    NumericField number;
    number.Configure(c);
    number.AttachLists({{"003", "007", "010"}, {}, true, false});
    number.SetText("8");
    number.Normalise();
    EXPECT_EQ(number.Text(), "8");
    EXPECT_EQ(number.ValueText(), "008");
    EXPECT_EQ(number.ListIndex(), -1);
    number.SetValue("7");
    EXPECT_EQ(number.Text(), "007");
    EXPECT_EQ(number.ListIndex(), 1);
}

// --- setting values ------------------------------------------------------------

TEST(NumericFieldSetValue, ListEntriesByTheirShownTextOrTheirValue) {
    NumericField tone = ChannelCtcssField();
    tone.SetValue("ANY");
    EXPECT_EQ(tone.Text(), "ANY");
    EXPECT_EQ(tone.ListIndex(), 0);
    EXPECT_EQ(tone.ValueText(), "f000");
    tone.SetValue("000.0");
    EXPECT_EQ(tone.Text(), "NONE");
    EXPECT_EQ(tone.ValueText(), "000.0");
    tone.SetValue("100.0");
    EXPECT_EQ(tone.Text(), "100.0");
    EXPECT_EQ(tone.ListIndex(), 14);

    NumericField nac = NacField("AS RX");
    nac.SetValue("AS RX");
    EXPECT_EQ(nac.Text(), "AS RX");
    EXPECT_EQ(nac.ValueText(), "-1");
    nac.SetValue("0x293");
    EXPECT_EQ(nac.Text(), "0x293");
    EXPECT_EQ(nac.ListIndex(), -1);
}

TEST(NumericFieldSetValue, GroupDialogStartValuesAreNormalised) {
    NumericField nac = NacField("ANY");
    nac.SetValue("1");
    EXPECT_EQ(nac.Text(), "0x001");
    NumericField tone = GroupCtcssField();
    tone.SetValue("67");
    EXPECT_EQ(tone.Text(), "067.0");
    EXPECT_EQ(tone.ValueText(), "067.0");
    NumericField code = GroupCdcssField();
    code.SetValue("23");
    EXPECT_EQ(code.Text(), "023");
}

TEST(NumericFieldSetValue, SelectEntryIgnoresIndexesOutsideTheList) {
    NumericField tone = ChannelCtcssField();
    tone.SelectEntry(3);
    EXPECT_EQ(tone.Text(), "069.3");
    tone.SelectEntry(-1);
    tone.SelectEntry(43);
    EXPECT_EQ(tone.Text(), "069.3");
    EXPECT_EQ(tone.ListIndex(), 3);
    tone.SelectEntry(1);
    EXPECT_EQ(tone.Text(), "NONE");
}

TEST(NumericFieldSetValue, ValueTextIsZeroPadded) {
    FieldConfig c;
    c.mode = FieldMode::Hex;
    c.maxDigits = 4;
    c.hexPrefix = false;
    c.hexRange = {0xffff, 0, 1};
    c.valueWidth = 4;
    NumericField hex;
    hex.Configure(c);
    hex.SetValue("1a");
    EXPECT_EQ(hex.Text(), "1a");
    EXPECT_EQ(hex.ValueText(), "001a");

    FieldConfig f;
    f.mode = FieldMode::Fraction;
    f.maxDigits = 3;
    f.fractionDigits = 1;
    f.fractionRange = {999.9, 0, 0.1};
    f.integerWidth = 4;
    f.valueWidth = 6;
    NumericField frac;
    frac.Configure(f);
    frac.SetValue("67");
    EXPECT_EQ(frac.Text(), "67.0");
    EXPECT_EQ(frac.ValueText(), "0067.00");
}

// --- arrows --------------------------------------------------------------------

TEST(NumericFieldStep, NumbersStepWithinTheRangeAndBeepAtItsEnds) {
    NumericField freq = FrequencyField();
    freq.SetValue("520");
    EXPECT_FALSE(freq.Step(StepCode::Up));
    EXPECT_EQ(freq.Text(), "520.000000");
    freq.SetValue("519.5");
    EXPECT_FALSE(freq.Step(StepCode::Up));
    EXPECT_EQ(freq.Text(), "519.500000");
    EXPECT_TRUE(freq.Step(StepCode::Down));
    EXPECT_EQ(freq.Text(), "518.500000");
    // A typed value above the range beeps on up and shows the maximum.
    freq.SetText("600");
    EXPECT_FALSE(freq.Step(StepCode::Up));
    EXPECT_EQ(freq.Text(), "520.000000");

    NumericField power = DecimalField(3, 125);
    power.SetValue("0");
    EXPECT_FALSE(power.Step(StepCode::Down));
    EXPECT_EQ(power.Text(), "0");
    EXPECT_TRUE(power.Step(StepCode::Up));
    EXPECT_EQ(power.Text(), "1");
    EXPECT_EQ(power.ValueText(), "1");
}

TEST(NumericFieldStep, FractionStepsAreExact) {
    NumericField freq = FrequencyField();
    freq.SetValue("451.0125");
    EXPECT_TRUE(freq.Step(StepCode::Up));
    EXPECT_EQ(freq.Text(), "452.012500");
    EXPECT_EQ(freq.ScaledValue(1000000), 452012500);
    for (int i = 0; i < 50; ++i) {
        freq.Step(StepCode::Up);
    }
    for (int i = 0; i < 51; ++i) {
        freq.Step(StepCode::Down);
    }
    EXPECT_EQ(freq.Text(), "451.012500");

    NumericField tail = PttTailField();
    tail.SetValue("0");
    for (int i = 0; i < 99; ++i) {
        EXPECT_TRUE(tail.Step(StepCode::Up));
    }
    EXPECT_EQ(tail.Text(), "9.9");
    EXPECT_FALSE(tail.Step(StepCode::Up));
    EXPECT_EQ(tail.ScaledValue(10), 99);
}

TEST(NumericFieldStep, EmptyHexBoxIsLeftAlone) {
    NumericField id = KeyIdBox();
    EXPECT_TRUE(id.Step(StepCode::Up));
    EXPECT_EQ(id.Text(), "");
    NumericField power = DecimalField(3, 125);
    EXPECT_TRUE(power.Step(StepCode::Up));
    EXPECT_EQ(power.Text(), "1");
}

TEST(NumericFieldStep, ListOnlyFieldsMoveAlongTheList) {
    NumericField tone = ChannelCtcssField();
    tone.SetValue("067.0");
    EXPECT_TRUE(tone.Step(StepCode::Up));
    EXPECT_EQ(tone.Text(), "069.3");
    EXPECT_TRUE(tone.Step(StepCode::Down));
    EXPECT_TRUE(tone.Step(StepCode::Down));
    EXPECT_EQ(tone.Text(), "NONE");
    EXPECT_TRUE(tone.Step(StepCode::Down));
    EXPECT_EQ(tone.Text(), "ANY");
    EXPECT_FALSE(tone.Step(StepCode::Down));
    EXPECT_EQ(tone.Text(), "ANY");
    tone.SetValue("250.3");
    EXPECT_FALSE(tone.Step(StepCode::Up));
    EXPECT_EQ(tone.Text(), "250.3");
    EXPECT_TRUE(tone.Step(StepCode::First));
    EXPECT_EQ(tone.Text(), "ANY");
    EXPECT_EQ(tone.ValueText(), "f000");
    // A typed text steps from its nearest entry.
    tone.SetText("68");
    EXPECT_TRUE(tone.Step(StepCode::Up));
    EXPECT_EQ(tone.Text(), "069.3");
}

TEST(NumericFieldStep, CodeFieldWithTextEntriesStepsAlongOneLine) {
    NumericField nac = NacField("ANY");
    nac.SetValue("0x002");
    EXPECT_TRUE(nac.Step(StepCode::Down));
    EXPECT_EQ(nac.Text(), "0x001");
    EXPECT_TRUE(nac.Step(StepCode::Down));
    EXPECT_EQ(nac.Text(), "NONE");
    EXPECT_EQ(nac.ValueText(), "000");
    EXPECT_TRUE(nac.Step(StepCode::Down));
    EXPECT_EQ(nac.Text(), "ANY");
    EXPECT_FALSE(nac.Step(StepCode::Down));
    EXPECT_EQ(nac.Text(), "ANY");
    EXPECT_TRUE(nac.Step(StepCode::Up));
    EXPECT_EQ(nac.Text(), "NONE");
    // Up from a text that is no number goes on to the range minimum.
    EXPECT_TRUE(nac.Step(StepCode::Up));
    EXPECT_EQ(nac.Text(), "0x001");
    EXPECT_EQ(nac.ValueText(), "0x001");
    nac.SetValue("0xfff");
    EXPECT_FALSE(nac.Step(StepCode::Up));
    EXPECT_EQ(nac.Text(), "0xfff");
    // A typed zero is below the minimum: down gives the last entry.
    nac.SetText("0");
    EXPECT_TRUE(nac.Step(StepCode::Down));
    EXPECT_EQ(nac.Text(), "NONE");

    // A special text on a field without a list steps up to the minimum.
    NumericField id = KeyIdBox();
    id.SetValue("AS RX");
    EXPECT_FALSE(id.Step(StepCode::Down));
    EXPECT_EQ(id.Text(), "AS RX");
    EXPECT_TRUE(id.Step(StepCode::Up));
    EXPECT_EQ(id.Text(), "0x0");
}

// --- enabling ------------------------------------------------------------------

TEST(NumericFieldEnable, DisabledFieldShowsNothingAndKeepsItsText) {
    NumericField nac = NacField("ANY");
    nac.SetValue("0x293");
    nac.Enable(false);
    EXPECT_FALSE(nac.IsEnabled());
    EXPECT_EQ(nac.BoxText(), "");
    EXPECT_EQ(nac.Text(), "0x293");
    // Leaving and stepping change nothing while it is disabled.
    nac.Normalise();
    EXPECT_TRUE(nac.Step(StepCode::Up));
    EXPECT_EQ(nac.Text(), "0x293");
    EXPECT_EQ(nac.IntValue(), 0x293);
    nac.Enable(true);
    EXPECT_EQ(nac.BoxText(), "0x293");
}

TEST(NumericFieldEnable, ValueSetWhileDisabledShowsWhenEnabled) {
    NumericField tone = ChannelCtcssField();
    tone.SetValue("067.0");
    tone.Enable(false);
    tone.SetValue("NONE");
    EXPECT_EQ(tone.BoxText(), "");
    tone.Enable(true);
    EXPECT_EQ(tone.BoxText(), "NONE");
}

TEST(NumericFieldEnable, AnEmptiedFieldTakesNewTextAfterEnabling) {
    NumericField delay = DecimalField(3, 255);
    delay.SetText("");
    delay.Enable(false);
    delay.Enable(true);
    EXPECT_TRUE(delay.IsEnabled());
    delay.SetText("12");
    delay.Enable(false);
    EXPECT_EQ(delay.BoxText(), "");
    delay.Enable(true);
    EXPECT_EQ(delay.BoxText(), "12");
}

// --- reading the value ---------------------------------------------------------

TEST(NumericFieldValue, NumbersAreExactAndTextsAreNoNumber) {
    NumericField nac = NacField("ANY");
    nac.SetValue("ANY");
    EXPECT_TRUE(nac.ShowsNoNumber());
    EXPECT_EQ(nac.IntValue(), std::nullopt);
    nac.SetValue("0x1a");
    EXPECT_EQ(nac.IntValue(), 0x1a);
    EXPECT_EQ(nac.ScaledValue(16), 0x1a0);

    NumericField freq = FrequencyField();
    freq.SetText("450.0127");
    // Read before leaving the field: the grid applies all the same.
    EXPECT_EQ(freq.ScaledValue(1000000), 450012750);
    EXPECT_EQ(freq.ScaledValue(1000), 450013);
    EXPECT_EQ(freq.IntValue(), 450);
    EXPECT_EQ(freq.ScaledValue(0), std::nullopt);
    EXPECT_EQ(freq.ScaledValue(-10), std::nullopt);
}

}  // namespace
}  // namespace quillon::edit
