// "Encryption Settings" and "Add Key" without widgets: the order of the
// Add Key checks with their messages and focus, random keys from injected
// bytes, and that a deleted key leaves no trace in the saved file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/KeyEditors.h"
#include "edit/RandomSource.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit {
namespace {

using model::CTmpDoc;
using sim::ScriptedPrompts;

class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<uint8_t> bytes, bool fails = false)
        : bytes_(std::move(bytes)), fails_(fails) {}
    bool Fill(uint8_t* out, size_t n) override {
        if (fails_ || pos_ + n > bytes_.size()) {
            return false;
        }
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out);
        pos_ += n;
        return true;
    }

  private:
    std::vector<uint8_t> bytes_;
    bool fails_;
    size_t pos_ = 0;
};

bool Contains(const std::vector<uint8_t>& hay, const std::string& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

using Boxes = std::array<std::string, 8>;

void SetKey(AddKeyForm& form, const Boxes& boxes) {
    for (int i = 0; i < 8; ++i) {
        form.SetText(i, boxes[static_cast<size_t>(i)]);
    }
}

Boxes Key(const AddKeyForm& form) {
    Boxes boxes;
    for (int i = 0; i < 8; ++i) {
        boxes[static_cast<size_t>(i)] = form.Text(i);
    }
    return boxes;
}

// Types into an empty box as a user would; returns what stands in it.
std::string TypeInto(const AddKeyForm& form, int box, const std::string& typed,
                     int* refused = nullptr) {
    std::string text;
    int n = 0;
    for (char c : typed) {
        if (form.AcceptsTyped(box, text, text.size(), 0, c)) {
            text += c;
        } else {
            ++n;
        }
    }
    if (refused != nullptr) {
        *refused = n;
    }
    return text;
}

const Boxes kGoodKey = {"01", "02", "04", "08", "10", "20", "40", "80"};

struct AddKeyFixture : ::testing::Test {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    ScriptedRandom random{{}};
    AddKeyForm form{doc, prompts, random};
};

using AddKey = AddKeyFixture;

TEST_F(AddKey, ParityIsCheckedFirstAndNamesEveryFailingPairInOrder) {
    SetKey(form, {"01", "03", "05", "07", "9b", "9b", "9b", "9b"});
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(form.FocusBox(), 1);
    SetKey(form, {"00", "00", "00", "00", "00", "00", "00", "00"});
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(form.FocusBox(), 0);
    // Parity before an incomplete box and before the missing Key ID.
    SetKey(form, {"01", "01", "01", "01", "01", "0a", "01", "1"});
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(form.FocusBox(), 5);
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{
                  "Odd Parity check failed for the 2nd and 3rd hex pairs.",
                  "Odd Parity check failed for the 1st, 2nd, 3rd, 4th, 5th, 6th, 7th and 8th "
                  "hex pairs.",
                  "Odd Parity check failed for the 6th hex pair."}));
    for (const auto& box : prompts.Boxes()) {
        EXPECT_EQ(box.icon, Icon::Exclamation);
    }
    EXPECT_EQ(doc.keys.Count(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(AddKey, ThenCompletenessThenTheKeyIdPresentUnusedAndInRange) {
    doc.keys.Add("0101010101010101", 0x1a);
    SetKey(form, kGoodKey);
    form.SetText(6, "4");  // one digit, the box never left
    form.SetText(AddKeyForm::kKidBox, "0x1a");
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(form.Text(AddKeyForm::kKidBox), "0x1a");  // only Key ID errors empty the Key ID box

    form.LeaveBox(6);
    EXPECT_EQ(form.Text(6), "04");
    EXPECT_FALSE(form.Ok());  // in use
    EXPECT_EQ(form.Text(AddKeyForm::kKidBox), "");
    EXPECT_EQ(form.FocusBox(), AddKeyForm::kKidBox);
    EXPECT_FALSE(form.Ok());                  // now empty
    form.SetText(AddKeyForm::kKidBox, "0x");  // the prefix alone names no key id
    EXPECT_FALSE(form.Ok());
    form.SetText(AddKeyForm::kKidBox, "10000");
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{
                  "All boxes must have 2 Hex digits.", "Key ID is already in use! Please re-enter.",
                  "Please enter Key ID.", "Please enter Key ID.",
                  "Key ID out of range! Must be between 0x0 and 0xFFFF. Please re-enter."}));
    EXPECT_EQ(doc.keys.Count(), 1);
    EXPECT_FALSE(doc.IsModified());

    form.SetText(AddKeyForm::kKidBox, "1A");
    form.LeaveBox(AddKeyForm::kKidBox);
    EXPECT_EQ(form.Text(AddKeyForm::kKidBox), "0x1a");
    form.SetText(AddKeyForm::kKidBox, "0x1b");
    EXPECT_TRUE(form.Ok());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.keys.Count(), 2);
    EXPECT_EQ(doc.keys.Get(1).key, "0102040810200480");  // the seventh box padded
    EXPECT_EQ(doc.keys.Get(1).kid, 0x1b);
}

TEST_F(AddKey, AStrayCharacterInAKeyBoxIsNeverAHexPair) {
    // "1x" read by character codes has odd parity (0x31); it must not pass.
    SetKey(form, kGoodKey);
    form.SetText(2, "1x");  // as if it had got past the box's filter
    form.SetText(AddKeyForm::kKidBox, "0x5");
    EXPECT_FALSE(form.Ok());
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{"All boxes must have 2 Hex digits."});
    EXPECT_EQ(doc.keys.Count(), 0);
}

TEST_F(AddKey, KeyBoxesTakeTwoHexDigitsAndNothingElse) {
    int refused = 0;
    EXPECT_EQ(TypeInto(form, 0, "fff", &refused), "ff");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(form, 3, "aB"), "aB");
    EXPECT_EQ(TypeInto(form, 7, "1x", &refused), "1");  // no "x" in a key byte
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(form, 1, "g 9", &refused), "9");
    EXPECT_EQ(refused, 2);
    EXPECT_TRUE(form.AcceptsTyped(0, "ff", 2, 0, '\b'));  // backspace always
    EXPECT_TRUE(form.AcceptsTyped(0, "ff", 0, 1, '0'));   // over a selected digit
    EXPECT_FALSE(form.AcceptsTyped(0, "ff", 0, 2, 'x'));
    // Pasting goes through the same filter, whole or not at all.
    EXPECT_FALSE(form.AcceptsInsert(0, "", 0, 0, "1x"));
    EXPECT_FALSE(form.AcceptsInsert(0, "", 0, 0, "9b\n"));
    EXPECT_FALSE(form.AcceptsInsert(0, "a", 1, 0, "bc"));
    EXPECT_TRUE(form.AcceptsInsert(0, "ab", 0, 2, "9B"));
}

TEST_F(AddKey, TheKeyIdBoxTakesFourDigitsOrThePrefixAndThreeWithinFiveCharacters) {
    const int kid = AddKeyForm::kKidBox;
    int refused = 0;
    EXPECT_EQ(TypeInto(form, kid, "12345", &refused), "1234");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(form, kid, "0x1234", &refused), "0x123");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(form, kid, "1x2", &refused), "12");
    EXPECT_EQ(TypeInto(form, kid, "0xx1"), "0x1");
    EXPECT_TRUE(form.AcceptsTyped(kid, "01", 1, 0, 'x'));    // makes the prefix
    EXPECT_FALSE(form.AcceptsTyped(kid, "0x1", 0, 0, '5'));  // not in front of it
    EXPECT_FALSE(form.AcceptsTyped(kid, "0xffff", 6, 0, '1'));
    EXPECT_TRUE(form.AcceptsInsert(kid, "", 0, 0, "0x1a"));
    EXPECT_FALSE(form.AcceptsInsert(kid, "", 0, 0, "0x1a2b"));
}

TEST_F(AddKey, ClearKeyEmptiesTheKeyBoxesOnly) {
    SetKey(form, kGoodKey);
    form.SetText(AddKeyForm::kKidBox, "0x7");
    form.ClearKey();
    EXPECT_EQ(Key(form), Boxes{});
    EXPECT_EQ(form.Text(AddKeyForm::kKidBox), "0x7");
    form.LeaveBox(0);
    EXPECT_EQ(form.Text(0), "00");
}

TEST(AddKeyRandom, TheKeyIsTheInjectedBytesWithOddParity) {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    ScriptedRandom random({0x00, 0x01, 0x03, 0xff, 0x80, 0x9b, 0x7e, 0x10,  //
                           0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29});
    AddKeyForm form(doc, prompts, random);
    ASSERT_TRUE(form.GenerateRandomKey());
    EXPECT_EQ(Key(form), (Boxes{"01", "01", "02", "fe", "80", "9b", "7f", "10"}));
    // A second press draws fresh bytes.
    ASSERT_TRUE(form.GenerateRandomKey());
    EXPECT_EQ(Key(form), (Boxes{"23", "23", "25", "25", "26", "26", "29", "29"}));
    form.SetText(AddKeyForm::kKidBox, "0x1");
    EXPECT_TRUE(form.Ok());
    EXPECT_EQ(prompts.Records().size(), 0u);
}

TEST(AddKeyRandom, AFailingSourceGeneratesNothing) {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    ScriptedRandom random({}, true);
    AddKeyForm form(doc, prompts, random);
    SetKey(form, kGoodKey);
    EXPECT_FALSE(form.GenerateRandomKey());
    EXPECT_EQ(Key(form), kGoodKey);
    EXPECT_EQ(prompts.BeepCount(), 1);
}

TEST(AddKeyRandom, TheSystemSourceDoesNotRepeatItself) {
    // 64 bits twice alike would mean a fixed sequence, as from an unseeded
    // generator; by chance it happens once in 2^64 runs.
    std::array<uint8_t, 8> a{};
    std::array<uint8_t, 8> b{};
    ASSERT_TRUE(DefaultRandomSource().Fill(a.data(), a.size()));
    ASSERT_TRUE(DefaultRandomSource().Fill(b.data(), b.size()));
    EXPECT_NE(a, b);
}

TEST(EncryptionSettings, ListsByKeyIdAndSetsTheButtons) {
    CTmpDoc doc;
    {
        EncryptionSettings empty(doc);
        EXPECT_TRUE(empty.Items().empty());
        EXPECT_TRUE(empty.Selection().empty());
        EXPECT_TRUE(empty.AddEnabled());
        EXPECT_FALSE(empty.DeleteEnabled());
    }
    doc.keys.Add("0101010101010101", 0x1234);
    doc.keys.Add("0202020202020202", 26);
    EncryptionSettings s(doc);
    ASSERT_EQ(s.Items().size(), 2u);
    EXPECT_EQ(s.Items()[0].text, "KID: 0x01a");
    EXPECT_EQ(s.Items()[1].text, "KID: 0x1234");
    EXPECT_EQ(s.Selection(), std::vector<int>{0});
    EXPECT_TRUE(s.DeleteEnabled());
    for (int kid = 1; kid <= 14; ++kid) {
        doc.keys.Add("0101010101010101", kid);
    }
    EncryptionSettings full(doc);
    EXPECT_FALSE(full.AddEnabled());
    bool ran = false;
    full.Add([&ran] { ran = true; });
    EXPECT_FALSE(ran);  // a seventeenth key is not even asked for
}

TEST(EncryptionSettings, AddMarksTheDocumentModifiedWhateverTheOutcome) {
    CTmpDoc doc;
    EncryptionSettings s(doc);
    s.Add([] {});  // cancelled
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(s.Items().size(), 0u);
    s.Add([&doc] { doc.keys.Add("0101010101010101", 3); });
    EXPECT_EQ(s.Items().size(), 1u);
    EXPECT_EQ(s.Selection(), std::vector<int>{0});
}

TEST(EncryptionSettings, DeleteRemovesTheSelectedKeysAndWipesThemFromTheFile) {
    CTmpDoc doc;
    doc.keys.Add("1f1f1f1f1f1f1f1f", 0x30);
    doc.keys.Add("2c2c2c2c2c2c2c2c", 0x10);
    doc.keys.Add("3e3e3e3e3e3e3e3e", 0x20);  // the last entry, which moves down
    EncryptionSettings s(doc);
    s.Select({});
    s.Delete();  // nothing selected: nothing deleted, not modified
    EXPECT_EQ(doc.keys.Count(), 3);
    EXPECT_FALSE(doc.IsModified());

    s.Select({0, 2});  // KID 0x10 and 0x30
    s.Delete();
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(s.Items().size(), 1u);
    EXPECT_EQ(s.Items()[0].text, "KID: 0x020");
    EXPECT_EQ(doc.keys.Get(0).key, "3e3e3e3e3e3e3e3e");
    std::vector<uint8_t> file = model::WriteDocument(doc);
    EXPECT_TRUE(Contains(file, "3e3e3e3e3e3e3e3e"));
    EXPECT_FALSE(Contains(file, "1f1f1f1f1f1f1f1f"));
    EXPECT_FALSE(Contains(file, "2c2c2c2c2c2c2c2c"));
    // The key moved down is stored once, not also in the vacated entry.
    std::string key = "3e3e3e3e3e3e3e3e";
    auto first = std::search(file.begin(), file.end(), key.begin(), key.end());
    EXPECT_EQ(std::search(first + 1, file.end(), key.begin(), key.end()), file.end());

    s.Delete();  // the only key: Delete disabled, Add enabled
    EXPECT_FALSE(Contains(model::WriteDocument(doc), "3e3e3e3e3e3e3e3e"));
    EXPECT_FALSE(s.DeleteEnabled());
    EXPECT_TRUE(s.AddEnabled());
}

}  // namespace
}  // namespace quillon::edit
