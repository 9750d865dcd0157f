#pragma once
// Texts of the channel table's commands that go beyond the dialog's own
// questions (kept apart from Messages.h, which the other editors share).

namespace quillon::model::msg {

// After a Delete that took the last channel out of scanning channels: those
// scanning channels went too, since a scanning channel with nothing to scan
// is one the card cannot use and the channel editor would refuse. The
// numbers follow, one "%03i" each, separated by ", ".
inline constexpr const char* kDeletedEmptyScanChannels =
    "These scanning channels had no channel left to scan and were deleted too: ";
// Appended when tone settings named one of them.
inline constexpr const char* kDeletedEmptyScanToneRefs =
    "\nTheir references in the tone settings were removed.";

}  // namespace quillon::model::msg
