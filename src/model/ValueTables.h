#pragma once
// The value lists of the tone fields: CTCSS tones, CDCSS codes and the codes
// the editor shows for an inverted CDCSS side.
#include <array>

namespace quillon::model {

// "f000" first, then "000.0", then the tones in Hz with one decimal.
extern const std::array<const char*, 43> kCtcssTones;
// "f000", "000", then the octal codes.
extern const std::array<const char*, 84> kCdcssCodes;
// Position for position with kCdcssCodes: what an inverted side shows.
extern const std::array<const char*, 84> kInvertedCdcssCodes;
// The tone codes of squelch groups 1 to 16 ("f001" to "f016").
extern const std::array<const char*, 16> kSquelchGroupCodes;

// Position of a code in kCdcssCodes or kInvertedCdcssCodes, or -1.
int CdcssIndex(const char* code);
int InvertedCdcssIndex(const char* code);

}  // namespace quillon::model
