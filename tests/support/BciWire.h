#pragma once
// Blocks as they appear on the line, written out by hand from the block
// format (SOH, number, 256 payload bytes, checksum high and low; the seven
// special values escaped as ESC and a code; the sum counts the escaped bytes
// of number and payload).

#include "BciRig.h"

namespace quillon::testing {

// Block 0 carrying 11 22 33: sum 0x66.
inline const Bytes kSimpleBlock0 =
    Cat({{0x01, 0x00, 0x11, 0x22, 0x33}, Fill(253, 0), {0x00, 0x66}});
// Block 1 carrying 44: the number travels as ESC 0x22; sum 0x1B+0x22+0x44 = 0x81.
inline const Bytes kSimpleBlock1 = Cat({{0x01, 0x1B, 0x22, 0x44}, Fill(255, 0), {0x00, 0x81}});

// Block 0 whose payload starts with all seven escaped values, then eleven
// 0xFF and 0x5F: sum 434 + 2805 + 95 = 0x0D06, so both checksum bytes are
// escaped as well (0x0D -> ESC 0x21, 0x06 -> ESC 0x25).
inline const Bytes kEscapedBlock =
    Cat({{0x01, 0x00},
         {0x1B, 0x22, 0x1B, 0x24, 0x1B, 0x26, 0x1B, 0x20, 0x1B, 0x21, 0x1B, 0x23, 0x1B, 0x25},
         Fill(11, 0xFF),
         {0x5F},
         Fill(237, 0),
         {0x1B, 0x21, 0x1B, 0x25}});
inline const Bytes kEscapedPayload =
    Cat({{0x01, 0x15, 0x1B, 0x0B, 0x0D, 0x04, 0x06}, Fill(11, 0xFF), {0x5F}, Fill(237, 0)});

}  // namespace quillon::testing
