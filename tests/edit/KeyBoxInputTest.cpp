// What the "Add Key" boxes take from the keyboard and the clipboard.
#include <gtest/gtest.h>

#include <string>

#include "edit/KeyBoxInput.h"

namespace quillon::edit {
namespace {

// Types text into an empty box as a user would; returns what stands in it.
std::string TypeInto(HexBoxKind kind, const std::string& typed, int* refused = nullptr) {
    std::string text;
    int n = 0;
    for (char c : typed) {
        if (HexBoxAccepts(kind, text, static_cast<int>(text.size()), 0, c)) {
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

TEST(KeyBoxInput, KeyByteBoxTakesTwoHexDigitsAndNothingElse) {
    int refused = 0;
    EXPECT_EQ(TypeInto(HexBoxKind::KeyByte, "fff", &refused), "ff");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(HexBoxKind::KeyByte, "aB"), "aB");
    EXPECT_EQ(TypeInto(HexBoxKind::KeyByte, "1x", &refused), "1");  // no "x" in a key byte
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(HexBoxKind::KeyByte, "g 9", &refused), "9");
    EXPECT_EQ(refused, 2);
    // Backspace and the like always pass, also in a full box.
    EXPECT_TRUE(HexBoxAccepts(HexBoxKind::KeyByte, "ff", 2, 0, '\b'));
    // A selected digit is replaced, so a full box takes a digit over it...
    EXPECT_TRUE(HexBoxAccepts(HexBoxKind::KeyByte, "ff", 0, 1, '0'));
    // ...but never a non-digit.
    EXPECT_FALSE(HexBoxAccepts(HexBoxKind::KeyByte, "ff", 0, 2, 'x'));
}

TEST(KeyBoxInput, KeyIdBoxTakesFourDigitsOrThePrefixAndThreeWithinFiveCharacters) {
    int refused = 0;
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "12345", &refused), "1234");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "0x1234", &refused), "0x123");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "0x1a"), "0x1a");
    // An "x" that does not make the prefix would read as another number.
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "1x2", &refused), "12");
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "x0", &refused), "0");
    EXPECT_EQ(TypeInto(HexBoxKind::KeyId, "0xx1", &refused), "0x1");
    EXPECT_FALSE(HexBoxAccepts(HexBoxKind::KeyId, "12", 2, 0, 'x'));
    // Putting the "x" behind a leading 0 makes the prefix.
    EXPECT_TRUE(HexBoxAccepts(HexBoxKind::KeyId, "01", 1, 0, 'x'));
    // A box left as "0xffff" takes nothing more.
    EXPECT_FALSE(HexBoxAccepts(HexBoxKind::KeyId, "0xffff", 6, 0, '1'));
}

TEST(KeyBoxInput, PasteIsFilteredLikeTyping) {
    std::string text;
    int cursor = 0;
    EXPECT_EQ(PasteIntoHexBox(HexBoxKind::KeyByte, text, cursor, 0, "1x"), 1);
    EXPECT_EQ(text, "1");
    EXPECT_EQ(cursor, 1);

    text = "ab";
    cursor = 0;
    EXPECT_EQ(PasteIntoHexBox(HexBoxKind::KeyByte, text, cursor, 2, " c-d\n"), 3);
    EXPECT_EQ(text, "cd");  // the selection is replaced by what the box takes

    text = "";
    cursor = 0;
    EXPECT_EQ(PasteIntoHexBox(HexBoxKind::KeyId, text, cursor, 0, "0x1G2h3"), 2);
    EXPECT_EQ(text, "0x123");

    text = "7";
    cursor = 5;  // beyond the text: held at its end
    EXPECT_EQ(PasteIntoHexBox(HexBoxKind::KeyId, text, cursor, 0, "8"), 0);
    EXPECT_EQ(text, "78");
}

}  // namespace
}  // namespace quillon::edit
