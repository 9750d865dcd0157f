#pragma once
// The four radio-wide parameters as they travel on the card's command line,
// and the checks that keep document text from reaching that command line
// unless it is a value the card takes.
#include <optional>
#include <string>

namespace quillon {

namespace model {
class CTmpDoc;
}

struct RadioParameter {
    const char* cardName;  // the name after "getp"/"setp"
    const char* description;
    std::string model::CTmpDoc::*field;
    int min;
    int max;
    bool noneAllowed;  // "0xFFFF" stands for no value (the default channel)
};

inline constexpr int kRadioParameterCount = 4;
// In the order they are read and written.
const RadioParameter& RadioParameterAt(int index);

// The text "0xFFFF" that stands for no default channel.
inline constexpr const char* kNoDefaultChannel = "0xFFFF";

// A document value as the card takes it: decimal digits within the range,
// or "0xFFFF" where that is allowed. Anything else (signs, spaces, line
// ends) is refused, so nothing but the value can reach the command line.
bool IsSendableValue(const RadioParameter& p, const std::string& value);

// The value of a "getp" reply: from after its first ":" (blanks skipped) to
// the first carriage return, line feed or the end. Nothing when the reply
// has no ":".
std::optional<std::string> GetpReplyValue(const std::string& reply);

// A value read from the card, in the form the document keeps: the decimal
// number without leading zeros, "0xFFFF" for the card's 65535 where that
// means none. Nothing when the value is empty, not a number or out of range.
std::optional<std::string> DocumentValueFromCard(const RadioParameter& p, const std::string& value);

// Control characters shown as escapes, so a message can name a bad value
// without the value breaking the message; long values are cut.
std::string ShownValue(const std::string& value);

// Everything a Send would put on the card's command line from the
// document: the keys (16 hexadecimal digits, key id 0..0xFFFF) and the four
// parameters. Empty when all of it may be sent, else the message that names
// the first bad value.
std::string CheckSendable(const model::CTmpDoc& doc);

}  // namespace quillon
