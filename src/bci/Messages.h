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

// The command layer's transactions: progress titles and texts, messages
// and log lines.
inline constexpr const char kTextRetry[] = "Retry attempt ";
inline constexpr const char kNotResetting[] =
    "Transceiver not resetting! Please check transceiver.";
inline constexpr const char kLogResetValid[] = "RST : valid response received";

inline constexpr const char kTitleSendChannels[] = "Send Channel Data";
inline constexpr const char kTextWritingChannels[] = "Writing channels to Transceiver card...";
inline constexpr const char kTextSendingChannel[] = "Sending channel ";
inline constexpr const char kTextVerifying[] = "Verifying...";

inline constexpr const char kTitleGetChannels[] = "Get Channel Data";
inline constexpr const char kTextReadingChannels[] = "Reading channels from Transceiver card...";
inline constexpr const char kTextChannelsReceived[] = "Channels received ";
inline constexpr const char kChannelDataError[] = "Error in channel data!";
inline constexpr const char kLogBadChannelNumber[] =
    "GET_CHANS : Incorrect channel number, see below for debug";
inline constexpr const char kLogBadScanCount[] =
    "GET_CHANS : Incorrect scan reference count, see below for debug";

inline constexpr const char kTitleSquelchGroups[] = "Squelch Groups";
inline constexpr const char kTextReadingGroups[] =
    "Reading squelch groups from Transceiver card...";
inline constexpr const char kTextWritingGroups[] = "Writing squelch groups to Transceiver card...";
inline constexpr const char kGroupsReceived[] = "Squelch groups received successfully";
inline constexpr const char kGroupsProgrammed[] = "Squelch groups programmed successfully";

inline constexpr const char kTitleToneRemote[] = "Tone Remote List";
inline constexpr const char kTextGettingTones[] =
    "Getting tone remote list from Transceiver card...";
inline constexpr const char kTextSendingTones[] = "Sending tone remote list to Transceiver card...";
inline constexpr const char kTonesReceived[] = "Tone Remote list received successfully";
inline constexpr const char kTonesProgrammed[] = "Tone Remote list programmed successfully";

inline constexpr const char kTitleExitBinary[] = "Exit Binary Mode";
inline constexpr const char kTextExitingBinary[] = "Attempting to exit binary mode...";
inline constexpr const char kNowTextMode[] = "Transceiver now in text mode.";
inline constexpr const char kNoLoginPrompt[] =
    "Could not receive login prompt. Please check transceiver and cabling!";

// A transfer asked for while no configuration document is open.
inline constexpr const char kNoDocument[] = "There is no configuration open to transfer.";

// Engine state names, as the log and the debug window show them.
inline constexpr const char kStateIdle[] = "Idle";
inline constexpr const char kStateRx[] = "RX";
inline constexpr const char kStateTx[] = "TX";

}  // namespace quillon::bcimsg
