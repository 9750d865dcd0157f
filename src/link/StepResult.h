#pragma once

namespace quillon {

// What a step function returns: the caller repeats the same call on the next
// message while it gets kRunning.
namespace stepresult {
inline constexpr int kRunning = 0;
inline constexpr int kDone = 1;
inline constexpr int kFailed = 2;
}  // namespace stepresult

}  // namespace quillon
