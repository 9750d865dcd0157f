#pragma once
// Numeric entry fields configured as the editors configure them, for the
// tests of the field's rules and of its widget.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "edit/NumericField.h"
#include "model/ValueTables.h"

namespace quillon::testing {

// A key byte box: two hex digits, zero-filled, no prefix.
inline edit::FieldConfig KeyByteConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Hex;
    c.maxDigits = 2;
    c.zeroFill = true;
    c.hexPrefix = false;
    c.hexRange = {0xff, 0, 1};
    return c;
}

// The Key ID box: four hex digits with the "0x" prefix, no zero fill.
inline edit::FieldConfig KeyIdConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Hex;
    c.maxDigits = 4;
    c.hexPrefix = true;
    c.hexRange = {0xffff, 0, 1};
    return c;
}

// A channel frequency in MHz: 136 to 520, whole-MHz arrows, a 250 Hz grid
// whose half-way values round down.
inline edit::FieldConfig FrequencyConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Fraction;
    c.maxDigits = 9;
    c.fractionDigits = 6;
    c.fractionRange = {520.0, 136.0, 1.0};
    c.fractionResolution = 0.00025;
    c.ties = edit::TieRounding::Down;
    return c;
}

// A channel NAC: three hex digits, prefix, zero fill, 0x001 to 0xfff.
inline edit::FieldConfig NacConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Hex;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.hexPrefix = true;
    c.hexRange = {0xfff, 0x001, 1};
    return c;
}

// Its list: any code ("ANY" on receive, "AS RX" on transmit) and none.
inline edit::ValueList NacList(const char* offText) {
    return {{"-1", "000"}, {offText, "NONE"}, false, true};
}

inline edit::FieldConfig DecimalConfig(int digits, std::int64_t max) {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Decimal;
    c.maxDigits = digits;
    c.decimalRange = {max, 0, 1};
    return c;
}

// PTT tail in seconds: 0 to 9.9 in tenths.
inline edit::FieldConfig PttTailConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Fraction;
    c.maxDigits = 2;
    c.fractionDigits = 1;
    c.fractionRange = {9.9, 0.0, 0.1};
    c.fractionResolution = 0.1;
    return c;
}

// A CTCSS tone field: four digits, one decimal.
inline edit::FieldConfig CtcssConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Fraction;
    c.maxDigits = 4;
    c.fractionDigits = 1;
    c.fractionRange = {999.9, 0.0, 0.1};
    return c;
}

// A CDCSS code field: three octal digits, zero-filled.
inline edit::FieldConfig CdcssConfig() {
    edit::FieldConfig c;
    c.mode = edit::FieldMode::Octal;
    c.maxDigits = 3;
    c.zeroFill = true;
    c.octalRange = {0777, 0, 1};
    return c;
}

template <std::size_t N>
std::vector<std::string> TableFrom(const std::array<const char*, N>& table, std::size_t from) {
    return std::vector<std::string>(table.begin() + static_cast<std::ptrdiff_t>(from), table.end());
}

// A channel's tone lists: the whole table, its "f000" an off entry shown as
// a text, its zero shown as "NONE".
inline edit::ValueList ChannelCtcssList(const char* offText) {
    return {TableFrom(model::kCtcssTones, 0), {offText, "NONE"}, true, true};
}
inline edit::ValueList ChannelCdcssList(const char* offText) {
    return {TableFrom(model::kCdcssCodes, 0), {offText, "NONE"}, true, true};
}

// A squelch group's item lists: the tables without "f000" and the zero, so
// without an off entry.
inline edit::ValueList GroupCtcssList() {
    return {TableFrom(model::kCtcssTones, 2), {}, true, false};
}
inline edit::ValueList GroupCdcssList() {
    return {TableFrom(model::kCdcssCodes, 2), {}, true, false};
}

}  // namespace quillon::testing
