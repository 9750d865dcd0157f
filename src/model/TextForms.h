#pragma once
// The text forms of the channel image's numbers: BCD and hex nibbles turned
// into the strings the editors, CSV and print-out show, and back. The
// transfer encodings use the same rules, so they live apart from CChannel.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::model {

// The value of one hexadecimal digit (either case), or -1.
int HexValue(char c);

// Decimal form D(n, p, a, b): the 2n nibbles of bytes[0..n) as characters
// ("0".."9", "a".."f"), a "." after the p-th character when p is not 0, then
// up to a leading and up to b trailing "0" characters removed.
std::string DecimalForm(const uint8_t* bytes, size_t n, int p, int a, int b);

// Code form H(n, a, x): the 2n nibbles as lower-case hex, up to a leading "0"
// removed, "0x" in front when withPrefix is set.
std::string CodeForm(const uint8_t* bytes, size_t n, int a, bool withPrefix);

// Decimal parse into n bytes: the decimal digits of the text, right-aligned
// when there are fewer than 2n, the first 2n when there are more; other
// characters are skipped.
void DecimalParse(std::string_view text, uint8_t* bytes, size_t n);

// Code parse into n bytes: the hex digits of the text (after a leading "0x"),
// right-aligned. A text with more digits than the field has nibbles keeps the
// last 2n of them, so nothing is ever written outside the field.
void CodeParse(std::string_view text, uint8_t* bytes, size_t n);

// Frequency parse: a text in MHz into 10 BCD digits of Hz (5 bytes).
void FrequencyParse(std::string_view text, uint8_t* bytes);

// The leading decimal number of a text, as the C library reads it: leading
// white space, an optional sign, digits; 0 when there are none. Saturates
// instead of overflowing.
int LeadingDecimal(std::string_view text);

// True when the text, after leading white space, starts with an optional sign
// and a digit: a number LeadingDecimal really read.
bool HasLeadingDecimal(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// The text up to its first NUL character.
std::string_view UpToNul(std::string_view text);

}  // namespace quillon::model
