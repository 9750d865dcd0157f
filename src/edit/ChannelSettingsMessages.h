#pragma once
// Every text the "Channel Settings" dialog and its "Configure Scan Channel
// Reference" dialog show: captions, labels, choice entries and messages.
// Tests compare against these, so a text changes in one place only.

namespace quillon::edit::chmsg {

inline constexpr const char* kTitle = "Channel Settings";
inline constexpr const char* kScanReferenceTitle = "Configure Scan Channel Reference";
inline constexpr const char* kReferenceChannelLabel = "&Reference Channel";
inline constexpr const char* kDwellTimeLabel = "&Dwell Time (sec)";

// --- OK's checks, in their order ---------------------------------------------
inline constexpr const char* kNumberOutOfRange = "Channel number out of range";
inline constexpr const char* kOverwrite = "This channel is in use.Overwrite?";
inline constexpr const char* kNameTooLongHead = "Channel name must not exceed ";
inline constexpr const char* kNameTooLongTail = " character(s)";
inline constexpr const char* kSelectTransmitType =
    "For autosense channels you must select a transmit type";
inline constexpr const char* kTalkgroupCorrected = "Tgid has been changed from 0 (illegal) to 1";
inline constexpr const char* kRxNacZero = "Rx NAC must be non zero";
inline constexpr const char* kTxNacZero = "Tx NAC must be non zero";
inline constexpr const char* kRxToneZero = "Rx CxCSS must be non zero";
inline constexpr const char* kTxToneZero = "Tx CxCSS must be non zero";
inline constexpr const char* kSelectGroup = "A squelch group must be selected";
inline constexpr const char* kSameFrequencies =
    "Transmit and receive frequencies must be different unless\nbasestation halfduplex mode "
    "selected";
inline constexpr const char* kRxFrequencyRange =
    "Receive frequency out of range. Must be between 136 and 520 Mhz";
inline constexpr const char* kTxFrequencyRange =
    "Transmit frequency out of range. Must be between 136 and 520 Mhz";
inline constexpr const char* kScanEmpty = "A scan channel must be added";

// --- the scan list -------------------------------------------------------------
inline constexpr const char* kSelectScanToEdit = "You must select a scan entry to edit!";
inline constexpr const char* kSelectScanToDelete = "You must select at least one scan to delete!";
inline constexpr const char* kScanLineName = ": ";
inline constexpr const char* kScanLineDwell = " - Dwell Time: ";
inline constexpr const char* kScanLineSeconds = "s";

// --- add mode ----------------------------------------------------------------
// The name a new channel is given, from its slot number.
inline constexpr const char* kNewChannelName = "Chan%03i";

}  // namespace quillon::edit::chmsg
