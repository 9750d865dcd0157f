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

// `binaryResult`.
namespace binresult {
inline constexpr int kDone = 1;
inline constexpr int kRunning = 2;
inline constexpr int kCancelled = 3;
}  // namespace binresult

}  // namespace quillon
