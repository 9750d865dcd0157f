#pragma once
#include <array>
#include <cstddef>

namespace quillon {

// The block engine's counters. The receive machine owns the first twelve, the
// transmit machine the rest; the debug windows show each under its label.
enum class BciCounter : int {
    // receive machine
    ReceivedBlocks = 0,
    AcceptedBlocks,
    ChecksumFails,
    IncorrectBlockNumbers,
    EotsReceived,
    SohsReceived,
    AcksSent,
    WaitingNaks,
    SohTimeouts,
    CharTimeouts,
    NextBlockNumber,
    LastReceivedBlockNumber,
    // transmit machine
    BlocksSent,
    LastBlockSent,
    SuccessfullySent,
    AcksReceived,
    NaksReceived,
    Retries,
    RetriesFailed,
    EotsAcknowledged,
    EotsExpired,
};

inline constexpr size_t kBciCounterCount = 21;

inline constexpr std::array<const char*, kBciCounterCount> kBciCounterLabels = {
    "Received BCI blocks",
    "Accepted BCI blocks",
    "Checksum Fails",
    "Incorrect Block Number",
    "EOTs Received",
    "SOHs Received",
    "ACKs Sent",
    "Waiting NAKs",
    "SOH timeout count",
    "Char timeout count",
    "Next block number",
    "Last received block number",
    "Blocks Sent",
    "Last Block Sent",
    "Successfully Sent blocks",
    "ACKs Received",
    "NAKs Received",
    "Retries",
    "3 Retries Failed",
    "EOTs acknowledged",
    "EOTs expired",
};

inline constexpr size_t CounterIndex(BciCounter c) {
    return static_cast<size_t>(c);
}

inline const char* CounterLabel(BciCounter c) {
    return kBciCounterLabels[CounterIndex(c)];
}

}  // namespace quillon
