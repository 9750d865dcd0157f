#include "edit/KeyBoxInput.h"

#include <algorithm>

namespace quillon::edit {

namespace {

constexpr int kKeyByteDigits = 2;
constexpr int kKeyIdDigits = 4;
constexpr int kKeyIdLimit = 5;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool StartsWithPrefix(const std::string& text) {
    return text.compare(0, 2, "0x") == 0;
}

// A Key ID text is "0x" (or a beginning of it) and hex digits. An "x"
// anywhere else would make a text that reads as some other number than
// the one the user sees.
bool IsKeyIdShape(const std::string& text) {
    size_t i = StartsWithPrefix(text) ? 2 : 0;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), IsHexDigit);
}

}  // namespace

int HexBoxLimit(HexBoxKind kind) {
    return kind == HexBoxKind::KeyByte ? kKeyByteDigits : kKeyIdLimit;
}

bool HexBoxAccepts(HexBoxKind kind, const std::string& text, int selStart, int selLength, char c) {
    if (static_cast<unsigned char>(c) < 32) {
        return true;
    }
    const int size = static_cast<int>(text.size());
    selStart = std::clamp(selStart, 0, size);
    selLength = std::clamp(selLength, 0, size - selStart);
    if (selLength == 0) {
        // With nothing selected a character adds to the text, so the text
        // must leave room for it: one digit short of full, where the "0x"
        // of the Key ID box does not count.
        int maxDigits = kind == HexBoxKind::KeyByte ? kKeyByteDigits : kKeyIdDigits;
        int room =
            kind == HexBoxKind::KeyId && StartsWithPrefix(text) ? maxDigits + 1 : maxDigits - 1;
        if (size > room) {
            return false;
        }
    }
    std::string result = text;
    result.replace(static_cast<size_t>(selStart), static_cast<size_t>(selLength), 1, c);
    if (static_cast<int>(result.size()) > HexBoxLimit(kind)) {
        return false;
    }
    if (kind == HexBoxKind::KeyByte) {
        return IsHexDigit(c);
    }
    return (IsHexDigit(c) || c == 'x') && IsKeyIdShape(result);
}

int PasteIntoHexBox(HexBoxKind kind, std::string& text, int& cursor, int selLength,
                    const std::string& pasted) {
    int refused = 0;
    cursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    for (char c : pasted) {
        // Line ends and tabs of a copied text are not characters of a
        // number; they are dropped rather than typed as controls.
        if (static_cast<unsigned char>(c) < 32 ||
            !HexBoxAccepts(kind, text, cursor, selLength, c)) {
            ++refused;
            continue;
        }
        text.replace(static_cast<size_t>(cursor), static_cast<size_t>(selLength), 1, c);
        ++cursor;
        selLength = 0;
    }
    return refused;
}

}  // namespace quillon::edit
