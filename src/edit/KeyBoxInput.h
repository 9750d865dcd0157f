#pragma once
// What the "Add Key" dialog's boxes accept from the keyboard and the
// clipboard. A key box holds one key byte as two hex digits and nothing
// else; the Key ID box holds up to four hex digits, optionally after "0x".
// Pasted text goes through the same door as typed text, character by
// character, so no route puts a stray character into a key.
#include <string>

namespace quillon::edit {

enum class HexBoxKind { KeyByte, KeyId };

// The most characters a box ever holds ("0x" and four digits for the Key ID).
int HexBoxLimit(HexBoxKind kind);

// Whether the box takes character c typed at the cursor, replacing the
// selection [selStart, selStart + selLength). Control characters (backspace
// and the like) are always taken; a refusal is the caller's beep.
bool HexBoxAccepts(HexBoxKind kind, const std::string& text, int selStart, int selLength, char c);

// Pastes as if each character were typed in turn; refused characters are
// skipped. text and cursor are updated; returns how many were refused.
int PasteIntoHexBox(HexBoxKind kind, std::string& text, int& cursor, int selLength,
                    const std::string& pasted);

}  // namespace quillon::edit
