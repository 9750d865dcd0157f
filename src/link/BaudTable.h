#pragma once

namespace quillon {

// Stored baud index -> line rate. The line itself always runs at 9600.
inline constexpr int kBaudTable[5] = {9600, 14400, 19200, 38400, 56000};
inline constexpr int kBaudTableSize = 5;

// An index from the settings may be anything; one outside the table reads as
// the first entry instead of reading past the table.
inline int BaudForIndex(int index) {
    return (index >= 0 && index < kBaudTableSize) ? kBaudTable[index] : kBaudTable[0];
}

}  // namespace quillon
