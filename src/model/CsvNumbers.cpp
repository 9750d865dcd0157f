#include "model/CsvNumbers.h"

#include <algorithm>

#include "model/TextForms.h"

namespace quillon::model {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view StripLeadingZeros(std::string_view s) {
    while (!s.empty() && s.front() == '0') {
        s.remove_prefix(1);
    }
    return s;
}

CsvNumber Zeros(size_t width) {
    return CsvNumber{CsvNumberError::None, std::string(width, '0')};
}

CsvNumber Failed(CsvNumberError e) {
    return CsvNumber{e, std::string()};
}

}  // namespace

CsvNumber ReadCsvDecimal(std::string_view text, int integerDigits, int fractionDigits) {
    const auto intWidth = static_cast<size_t>(integerDigits);
    const auto fracWidth = static_cast<size_t>(fractionDigits);
    if (std::none_of(text.begin(), text.end(), IsDigit)) {
        return Zeros(intWidth + fracWidth);
    }
    std::string_view s = TrimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    size_t point = s.find('.');
    std::string_view whole = s.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
        return Failed(CsvNumberError::NotANumber);
    }
    whole = StripLeadingZeros(whole);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.remove_suffix(1);
    }
    if (negative && !(whole.empty() && fraction.empty())) {
        return Failed(CsvNumberError::OutOfRange);
    }
    if (whole.size() > intWidth) {
        return Failed(CsvNumberError::OutOfRange);
    }
    if (fraction.size() > fracWidth) {
        return Failed(CsvNumberError::NotExact);
    }
    std::string digits(intWidth - whole.size(), '0');
    digits += whole;
    digits += fraction;
    digits.append(fracWidth - fraction.size(), '0');
    return CsvNumber{CsvNumberError::None, digits};
}

CsvNumber ReadCsvHex(std::string_view text, int digits) {
    const auto width = static_cast<size_t>(digits);
    std::string_view s = TrimBlanks(text);
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
    }
    auto isHex = [](char c) { return HexValue(c) >= 0; };
    if (std::none_of(s.begin(), s.end(), isHex)) {
        // "0x" alone, "x", "": nothing to read, as always.
        return Zeros(width);
    }
    if (!std::all_of(s.begin(), s.end(), isHex)) {
        return Failed(CsvNumberError::NotANumber);
    }
    s = StripLeadingZeros(s);
    if (s.size() > width) {
        return Failed(CsvNumberError::OutOfRange);
    }
    std::string out(width - s.size(), '0');
    for (char c : s) {
        out += "0123456789abcdef"[HexValue(c)];
    }
    return CsvNumber{CsvNumberError::None, out};
}

CsvNumber ReadCsvCdcss(std::string_view text) {
    if (std::none_of(text.begin(), text.end(), IsDigit)) {
        return Zeros(4);
    }
    std::string_view s = TrimBlanks(text);
    if (!std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        return Failed(CsvNumberError::NotACode);
    }
    s = StripLeadingZeros(s);
    if (s.size() > 3) {
        return Failed(CsvNumberError::NotACode);
    }
    std::string out(4 - s.size(), '0');
    out += s;
    return CsvNumber{CsvNumberError::None, out};
}

}  // namespace quillon::model
