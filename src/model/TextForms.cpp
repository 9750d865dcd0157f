#include "model/TextForms.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace quillon::model {

namespace {

char NibbleChar(unsigned v) {
    return "0123456789abcdef"[v & 0x0F];
}

std::string Nibbles(const uint8_t* bytes, size_t n) {
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s.push_back(NibbleChar(bytes[i] >> 4));
        s.push_back(NibbleChar(bytes[i]));
    }
    return s;
}

void StripLeadingZeros(std::string& s, int times) {
    size_t k = 0;
    while (static_cast<int>(k) < times && k < s.size() && s[k] == '0') {
        ++k;
    }
    s.erase(0, k);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes nibble values into the 2n nibbles of the field, the first value into
// nibble `first`.
void PutNibbles(const std::string& values, size_t first, uint8_t* bytes, size_t n) {
    std::fill(bytes, bytes + n, uint8_t{0});
    for (size_t k = 0; k < values.size() && first + k < 2 * n; ++k) {
        size_t nib = first + k;
        auto v = static_cast<uint8_t>(values[k] & 0x0F);
        if (nib % 2 == 0) {
            bytes[nib / 2] = static_cast<uint8_t>((bytes[nib / 2] & 0x0F) | (v << 4));
        } else {
            bytes[nib / 2] = static_cast<uint8_t>((bytes[nib / 2] & 0xF0) | v);
        }
    }
}

}  // namespace

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string DecimalForm(const uint8_t* bytes, size_t n, int p, int a, int b) {
    std::string s = Nibbles(bytes, n);
    if (p > 0 && static_cast<size_t>(p) <= s.size()) {
        s.insert(static_cast<size_t>(p), 1, '.');
    }
    StripLeadingZeros(s, a);
    for (int k = 0; k < b && !s.empty() && s.back() == '0'; ++k) {
        s.pop_back();
    }
    return s;
}

std::string CodeForm(const uint8_t* bytes, size_t n, int a, bool withPrefix) {
    std::string s = Nibbles(bytes, n);
    StripLeadingZeros(s, a);
    return withPrefix ? "0x" + s : s;
}

void DecimalParse(std::string_view text, uint8_t* bytes, size_t n) {
    std::string digits;
    for (char c : text) {
        if (IsDigit(c) && digits.size() < 2 * n) {
            digits.push_back(static_cast<char>(c - '0'));
        }
    }
    PutNibbles(digits, 2 * n - digits.size(), bytes, n);
}

void CodeParse(std::string_view text, uint8_t* bytes, size_t n) {
    if (text.size() >= 2 && text[0] == '0' && text[1] == 'x') {
        text.remove_prefix(2);
    }
    std::string values;
    for (char c : text) {
        int v = HexValue(c);
        if (v >= 0) {
            values.push_back(static_cast<char>(v));
        }
    }
    if (values.size() > 2 * n) {
        values.erase(0, values.size() - 2 * n);
    }
    PutNibbles(values, 2 * n - values.size(), bytes, n);
}

void FrequencyParse(std::string_view text, uint8_t* bytes) {
    size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    std::string digits;
    for (char c : whole) {
        if (IsDigit(c)) {
            digits.push_back(c);
        }
    }
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    std::string frac;
    for (char c : fraction) {
        if (IsDigit(c) && frac.size() < 6) {
            frac.push_back(c);
        }
    }
    frac.append(6 - frac.size(), '0');
    DecimalParse(digits + frac, bytes, 5);
}

int LeadingDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) {
            v = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        v = -v;
    }
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

bool HasLeadingDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    return i < text.size() && IsDigit(text[i]);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace quillon::model
