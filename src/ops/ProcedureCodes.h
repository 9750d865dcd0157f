#pragma once

namespace quillon {

// Codes of the text procedures (`textProcedure`, `pendingText`).
namespace textproc {
inline constexpr int kNone = 0;
inline constexpr int kWriteChannelTable = 1;
inline constexpr int kLogin = 2;
inline constexpr int kEnterBinary = 3;
inline constexpr int kKeyUpload = 4;
inline constexpr int kParameterRead = 8;
inline constexpr int kParameterWrite = 9;
inline constexpr int kChangePassword = 10;
inline constexpr int kModemDial = 11;
inline constexpr int kModemHangup = 12;
}  // namespace textproc

// Codes of the binary transactions (`binaryTransaction`, `pendingBinary`).
namespace bintxn {
inline constexpr int kNone = 0;
inline constexpr int kSendChannels = 4;
inline constexpr int kGetChannels = 5;
inline constexpr int kGetSquelchEach = 6;
inline constexpr int kSendSquelchEach = 7;
inline constexpr int kGetToneRemote = 8;
inline constexpr int kSendToneRemote = 9;
inline constexpr int kExitBinary = 10;
inline constexpr int kGetSquelchAll = 12;
inline constexpr int kSendSquelchAll = 13;
}  // namespace bintxn

// `sessionState`.
namespace session {
inline constexpr int kUnknown = 0;
inline constexpr int kConnected = 1;
inline constexpr int kDetecting = 2;
inline constexpr int kCancelled = 3;
inline constexpr int kDialCancelled = 4;
}  // namespace session

// `binaryResult`. Set through its setter, it takes only the values from
// kDone to kHighest.
namespace binresult {
inline constexpr int kDone = 1;
inline constexpr int kRunning = 2;
inline constexpr int kCancelled = 3;
inline constexpr int kHighest = 4;
}  // namespace binresult

// `compatibility`: the card's command-layer version against ours.
namespace compat {
inline constexpr int kUnchecked = 0;
inline constexpr int kIncompatible = 1;
inline constexpr int kCompatible = 2;
}  // namespace compat

// `chainState`: where the two chaining machines stand. Both start from, and
// return to, kWaitLogin.
namespace chain {
// Nothing chained yet: waits for a running login to end.
inline constexpr int kWaitLogin = 2;
// Binary chain: enter binary mode unless the card is in it already.
inline constexpr int kEnterBinary = 3;
// Text chain: leave binary mode if the card is in it.
inline constexpr int kLeaveBinary = 4;
// Binary chain: waits for the enter-binary procedure and a connected session.
inline constexpr int kWaitBinary = 5;
// Text chain: waits for the exit-binary transaction to succeed.
inline constexpr int kWaitText = 6;
// The pending procedure starts.
inline constexpr int kStartPending = 7;
}  // namespace chain

// `loginStep`.
namespace loginstep {
// Detect the card's mode and log in.
inline constexpr int kDetect = 1;
// The exit-binary transaction runs for the login; its success sets kDetect.
inline constexpr int kLeavingBinary = 2;
}  // namespace loginstep

}  // namespace quillon
