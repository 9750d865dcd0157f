#pragma once
// Numbers in CSV fields, read by their value in the unit the column is
// written in: "450.27", "450.270" and "0450.2700" are one frequency, "67" and
// "067.0" one tone. A spreadsheet drops padding zeros, so the text's shape
// must not matter, only its value, and a value the field cannot hold exactly
// is reported instead of being cut to fit.
#include <string>
#include <string_view>

namespace quillon::model {

enum class CsvNumberError {
    None,
    NotANumber,  // digits, but not in the shape of a number
    OutOfRange,  // more integer digits than the field has, or negative
    NotExact,    // finer than the field's resolution
    NotACode,    // not an octal CDCSS code of up to three digits
};

struct CsvNumber {
    CsvNumberError error = CsvNumberError::None;
    // The digits the field stores, most significant first, padded with
    // zeros to the field's width.
    std::string digits;
};

// A text without a single digit ("", "x", "None") has always been read as
// zero; that stays so. Anything with digits must be a number.

// A decimal number: blanks, an optional sign, digits with at most one point,
// blanks. The field holds integerDigits digits before the point and
// fractionDigits after it.
CsvNumber ReadCsvDecimal(std::string_view text, int integerDigits, int fractionDigits);

// A hexadecimal code of up to `digits` digits, with or without "0x".
CsvNumber ReadCsvHex(std::string_view text, int digits);

// A CDCSS code: up to three octal digits, stored in four ("23" -> "0023").
CsvNumber ReadCsvCdcss(std::string_view text);

}  // namespace quillon::model
