#pragma once

// The texts of the block protocol layer: log lines of the engine. Every text
// is kept exactly as the communication log must show it.
namespace quillon::bcimsg {

inline constexpr const char kStateChange[] = "BCI: state change - ";
inline constexpr const char kResetPrefix[] = "BCI : BCI reset - Rxed ";
inline constexpr const char kResetSuffix[] = " EOT(s)";
inline constexpr const char kBlockRxed[] = "BCI : Block RXed  [1]->%#x, [2]->%#x, [3]->%#x";
inline constexpr const char kBlockTxed[] = "BCI : Block TXed  [1]->%#x, [2]->%#x, [3]->%#x";
inline constexpr const char kEotReceived[] = "BCI : EOT received";
inline constexpr const char kTimerElapsed[] = "BCI TX: timer elapsed";
inline constexpr const char kResendOnNak[] = "BCI TX: Block resend, rxed NAK";
inline constexpr const char kAcceptedCount[] = "BCI : Accepted RX blocks = %lu ";
inline constexpr const char kEotCount[] = "BCI : RX EOT count = %lu ";
inline constexpr const char kCommError[] = "COMM ERROR : %d";

// Log lines of the transfer encodings.
inline constexpr const char kGroupSendBadType[] =
    "BCP : mult squ grp send - incorrect squelch type";
inline constexpr const char kGroupGetBadType[] = "BCP : mult squ grp get - incorrect squelch type";
// A tone slot from the card that names no function, or no channel of the
// table, is kept unassigned.
inline constexpr const char kToneGetBadFunction[] =
    "BCP : tone remote get - incorrect function, tone unassigned";
inline constexpr const char kToneGetBadChannel[] =
    "BCP : tone remote get - incorrect channel, tone unassigned";

// Engine state names, as the log and the debug window show them.
inline constexpr const char kStateIdle[] = "Idle";
inline constexpr const char kStateRx[] = "RX";
inline constexpr const char kStateTx[] = "TX";

}  // namespace quillon::bcimsg
