#pragma once
// Every text the printed channel table and its print job show: the message
// boxes, the page titles and the row labels of the two grids.
#include <array>

namespace quillon::edit::printmsg {

// --- message boxes -------------------------------------------------------------
inline constexpr const char* kNoChannelsToPrint = "No channels to print!";
inline constexpr const char* kPageTooSmall = "Printer page size is too small. Can't print!";

// --- page titles: "<document> - Fixed Channels - Page 1 of 4" -------------------
inline constexpr const char* kTitleSeparator = " - ";
inline constexpr const char* kFixedChannelsPage = "Fixed Channels - Page ";
inline constexpr const char* kScanChannelsPage = "Scan Channels - Page ";
inline constexpr const char* kPageOf = " of ";

// --- row labels ------------------------------------------------------------------
inline constexpr std::array<const char*, 29> kFixedRowTitles = {"Channel Number",
                                                                "Channel Name",
                                                                "Mode",
                                                                "TX Frequency",
                                                                "RX Frequency",
                                                                "Squelch System",
                                                                "TX Nac",
                                                                "RX Nac",
                                                                "TX Cxcss",
                                                                "RX Cxcss",
                                                                "CDCSS Invert",
                                                                "Operational Mode",
                                                                "Control",
                                                                "Front Panel",
                                                                "Link Radio",
                                                                "TX Key ID",
                                                                "TX Algorithmn ID",
                                                                "Talkgroup ID",
                                                                "Power (Watts)",
                                                                "PTT Delay (secs)",
                                                                "PTT Tail (secs)",
                                                                "PTT Timeout (secs)",
                                                                "Courtesy Timer (secs)",
                                                                "Courtesy Tone",
                                                                "Half Duplex",
                                                                "Unit ID",
                                                                "Reverse Burst",
                                                                "Autosense TX",
                                                                "Squelch Level"};

inline constexpr std::array<const char*, 19> kScanRowTitles = {
    "Channel Number",       "Channel Name",         "Number of Ref. Channels",
    "Referenced Channel 1", "Dwell Time 1",         "Referenced Channel 2",
    "Dwell Time 2",         "Referenced Channel 3", "Dwell Time 3",
    "Referenced Channel 4", "Dwell Time 4",         "Referenced Channel 5",
    "Dwell Time 5",         "Referenced Channel 6", "Dwell Time 6",
    "Referenced Channel 7", "Dwell Time 7",         "Referenced Channel 8",
    "Dwell Time 8"};

// --- cell values that stand for a code -----------------------------------------------
inline constexpr const char* kSameAsRx = "Same As RX";
inline constexpr const char* kAny = "Any";
inline constexpr const char* kNone = "None";
inline constexpr const char* kGroupPrefix = "GRP: ";
inline constexpr const char* kInvertBoth = "TX and RX";
inline constexpr const char* kInvertTxOnly = "TX only";
inline constexpr const char* kInvertRxOnly = "RX only";
inline constexpr const char* kNo = "No";
inline constexpr const char* kOn = "On";
inline constexpr const char* kOff = "Off";
inline constexpr const char* kDesOfb = "DES-OFB";
inline constexpr const char* kNoEncryption = "No encryption";

}  // namespace quillon::edit::printmsg
