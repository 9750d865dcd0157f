#pragma once
// Texts of the squelch group editors that go beyond the model's own (those
// are in model/Messages.h, shared with the transfer and the print-out).

namespace quillon::edit::msg {

// After a squelch group is deleted or emptied: the channels that used it,
// one line each as the channel table lists them, follow the text. Their
// references cannot simply move to another group, so they are left with
// none.
inline constexpr const char* kChannelsLoseTheirGroup =
    "These channels use a squelch group that is deleted or holds no codes any more. OK leaves "
    "them without a squelch group and without a receive tone; edit them to choose again:\n";
// When more channels than the box lists used it, the line after the last
// one named: the prefix, how many more, the suffix.
inline constexpr const char* kAndMorePrefix = "... and ";
inline constexpr const char* kAndMoreSuffix = " more.";
inline constexpr int kMostChannelsNamed = 20;

}  // namespace quillon::edit::msg
