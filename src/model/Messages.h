#pragma once
// Every text of the configuration model that a user can see: message boxes,
// dialog captions and buttons, list texts, display names and the CSV header.
// Tests compare against these, so a text changes in one place only.
#include <array>

namespace quillon::model::msg {

// --- document files ----------------------------------------------------------
inline constexpr const char* kNotValidDataFile =
    "This file is not a valid data file for this application.";
inline constexpr const char* kUnexpectedFileFormat = "Unexpected file format.";
inline constexpr const char* kInvalidFilename = "Invalid filename.";
// %1 is the document's title.
inline constexpr const char* kSaveChanges = "Save changes to %1?";
inline constexpr const char* kUntitled = "Untitled";

// --- CSV ---------------------------------------------------------------------
inline constexpr const char* kNoEntriesToExport = "No entries in channel table to export.";
inline constexpr const char* kExportTitle = "Export";
inline constexpr const char* kImportTitle = "Import";
inline constexpr const char* kCsvFilter = "Text Files (*.csv)";
inline constexpr const char* kCsvPattern = "*.csv";
inline constexpr const char* kAllFilesFilter = "All Files (*.*)";
inline constexpr const char* kAllFilesPattern = "*.*";
inline constexpr const char* kCsvDefaultExtension = "csv";

inline constexpr std::array<const char*, 47> kCsvHeader = {
    "Channel Number",
    "Channel Name",
    "Mode",
    "Tx Frequency (MHz)",
    "Rx Frequency (MHz)",
    "Squelch Systems",
    "Tx NAC",
    "Rx NAC",
    "Tx CxCSS",
    "Rx CxCSS",
    "Tx CDCSS Invert",
    "Rx CDCSS Invert",
    "Operation Mode",
    "Control",
    "Front Panel",
    "Link Radio",
    "Tx Key ID",
    "Tx Algorithm ID",
    "Talkgroup ID",
    "Power (W)",
    "Ptt Delay (s)",
    "Ptt Tail (s)",
    "Ptt Timeout (s)",
    "Courtesy Timer (s)",
    "Courtesy Tone",
    "Half Duplex",
    "Unit ID",
    "Reverse Burst",
    "Autosense Tx",
    "Squelch Level",
    "Number of Ref. Channels",
    "Referenced Channel 1",
    "Dwell Time 1",
    "Referenced Channel 2",
    "Dwell Time 2",
    "Referenced Channel 3",
    "Dwell Time 3",
    "Referenced Channel 4",
    "Dwell Time 4",
    "Referenced Channel 5",
    "Dwell Time 5",
    "Referenced Channel 6",
    "Dwell Time 6",
    "Referenced Channel 7",
    "Dwell Time 7",
    "Referenced Channel 8",
    "Dwell Time 8",
};

// Why an import stopped. %1 is the line of the file (the header is line 1),
// %2 the column counted from 1, %3 its header, %4 the field as read, %5 the
// range the field holds.
inline constexpr const char* kCsvNotANumber = "Line %1, column %2 (%3): %4 is not a number.";
inline constexpr const char* kCsvOutOfRange = "Line %1, column %2 (%3): %4 is out of range (%5).";
inline constexpr const char* kCsvNotExact = "Line %1, column %2 (%3): %4 cannot be stored exactly.";
inline constexpr const char* kCsvNotACdcssCode = "Line %1, column %2 (%3): %4 is not a CDCSS code.";
inline constexpr const char* kCsvQuoteNotClosed =
    "Line %1, column %2 (%3): the quoted field is not closed.";
// A range in those messages: "0 to 999.9".
inline constexpr const char* kCsvRange = "%1 to %2";

// Words the CSV writer puts in place of the channel's own texts.
inline constexpr const char* kCsvAsRx = "As RX";
inline constexpr const char* kCsvAny = "Any";
inline constexpr const char* kCsvNone = "None";
inline constexpr const char* kCsvYes = "Yes";
inline constexpr const char* kCsvNo = "No";
inline constexpr const char* kCsvOn = "On";
inline constexpr const char* kCsvOff = "Off";
inline constexpr const char* kCsvDesOfs = "DES-OFS";

// --- channel display names (CSV, print-out, editor) ----------------------------
// Index = image value; index 0 is what an unknown value shows.
inline constexpr std::array<const char*, 7> kSignalTypeNames = {
    "Apco 25",         "Apco 25",       "Wideband FM", "Narrowband FM",
    "Auto Narrowband", "Auto Wideband", "CVSD/DES-XL"};
inline constexpr std::array<const char*, 5> kSquelchSystemNames = {"NONE", "CTCSS", "CDCSS",
                                                                   "CTCSS GROUP", "CDCSS GROUP"};
inline constexpr const char* kRepeater = "Repeater";
inline constexpr const char* kBasestation = "Basestation";
inline constexpr std::array<const char*, 7> kControlNames = {
    "None", "None", "Local", "Tone Rmt", "Line", "Network", "FSIAP-25"};
// Index 1 to 4; index 0 is never shown (the text is left as it was).
inline constexpr std::array<const char*, 5> kCourtesyToneNames = {"", "None", "400Hz", "1000Hz",
                                                                  "2500Hz"};
inline constexpr const char* kDigital = "Digital";
inline constexpr const char* kAnalog = "Analog";
inline constexpr const char* kAlgorithmDesOfb = "0x81";
inline constexpr const char* kAlgorithmNone = "None";

// --- "Channel Table" dialog ------------------------------------------------------
inline constexpr std::array<const char*, 7> kListSignalTypes = {"",
                                                                "Project 25",
                                                                "Wideband Analogue",
                                                                "Narrowband Analogue",
                                                                "Narrowband Autosense",
                                                                "Wideband Autosense",
                                                                "CVSD/DES-XL"};
inline constexpr const char* kListRepeater = " Repeater";
inline constexpr const char* kListBasestation = " Basestation";
inline constexpr const char* kListScanning = "Scanning Channel";

inline constexpr const char* kTableFull = "Cannot add anymore channels. The channel table is full!";
inline constexpr const char* kSelectToEdit = "You must selected a channel to edit first!";
inline constexpr const char* kSelectToCopy = "You must selected the channels to copy first!";
inline constexpr const char* kSelectToDelete = "You must selected the channels to delete first!";

inline constexpr const char* kCopyChannelsTitle = "Copy Channels";
inline constexpr const char* kCopyChannelsLabel = "Enter channel number to copy to";
inline constexpr int kCopyChannelsMaxLength = 3;
inline constexpr const char* kCopyOutOfRange =
    "Channel number out of range. Must be between 0 and 511.";

inline constexpr const char* kCopyChannelTitle = "Copy Channel";
// The dialog shows the question on two lines.
inline constexpr const char* kCopyOverwrite =
    "This copy command will write over existing\nchannels. Continue?";
inline constexpr const char* kButtonYes = "&Yes";
inline constexpr const char* kButtonYesToAll = "Yes to &All";
inline constexpr const char* kButtonCancelAmp = "&Cancel";

inline constexpr const char* kDeleteRefsTitle = "Delete references to channel ";
inline constexpr const char* kDeleteRefsWarning =
    "Warning! About to delete all references to this channel, continue?\n\n";
inline constexpr const char* kDeleteRefsScan =
    " reference(s) to this channel found in scanning channels.\n\n";
inline constexpr const char* kDeleteRefsTone =
    " reference(s) to this channel found in tone settings.\n";
inline constexpr const char* kButtonYesForAll = "Yes for &All";
inline constexpr const char* kButtonSkip = "&Skip";
inline constexpr const char* kButtonCancel = "Cancel";

// --- Get ------------------------------------------------------------------------
inline constexpr const char* kGetConfirm =
    "This command reads channel table data from the transceiver. Your current settings will be "
    "lost.\n Continue?";

// --- squelch groups ---------------------------------------------------------------
inline constexpr const char* kSquelchGroupNamePrefix = "SQUELCH GROUP ";
// Index = item type 1 to 4.
inline constexpr std::array<const char*, 5> kSquelchItemTypeNames = {"", "NAC", "CTCSS", "CDCSS",
                                                                     "NOT USED"};
inline constexpr const char* kSquelchSelectToEdit =
    "You must selected a squelch group to edit first!";
inline constexpr const char* kSquelchSelectToDelete =
    "You must selected a squelch group to delete first!";
inline constexpr const char* kSquelchDeleteQuestion =
    "Channels that refer to a deleted squelch group have to be edited manually.\n"
    "Do you want to continue?";
inline constexpr const char* kSquelchNacNonZero = "NAC must be non zero";
inline constexpr const char* kSquelchCtcssNonZero = "CTCSS must be non zero";
inline constexpr const char* kSquelchCdcssNonZero = "CDCSS must be non zero";
inline constexpr const char* kSquelchSelectItemToDelete =
    "You must selected a squelch item to delete first";
inline constexpr const char* kSquelchNameTooLong =
    "Squelch group name cannot be more than 16 characters!";
inline constexpr const char* kSquelchBothKinds =
    "Squelch groups cannot contain both\nCTCSS and CDCSS squelches!";
inline constexpr const char* kSquelchNameEmpty = "Need atleast 1 character for squelch group name!";

// --- tone remote list ---------------------------------------------------------------
inline constexpr std::array<const char*, 12> kToneNames = {
    "F1 - 1950Hz", "F2 - 1850Hz", "F3 - 1750Hz", "F4 - 1650Hz",  "F5 - 1550Hz", "F6 - 1450Hz",
    "F7 - 1350Hz", "F8 - 1250Hz", "F9 - 1150Hz", "F10 - 1050Hz", "F11 - 950Hz", "F12 - 850Hz"};
inline constexpr const char* kToneListIncrease = " Increase Audio";
inline constexpr const char* kToneListDecrease = " Decrease Audio";
inline constexpr const char* kToneListChannel = " Channel ";
inline constexpr const char* kToneFunctionIncrease = "Increase Audio";
inline constexpr const char* kToneFunctionDecrease = "Decrease Audio";
inline constexpr const char* kToneFunctionChannel = "Channel ";
inline constexpr const char* kToneSelectToEdit = "You must selected a tone to edit first!";

// --- encryption keys ----------------------------------------------------------------
inline constexpr const char* kKidListFormat = "KID: 0x%03x";
inline constexpr const char* kParityFailedStart = "Odd Parity check failed for the";
inline constexpr std::array<const char*, 8> kParityOrdinals = {" 1st", " 2nd", " 3rd", " 4th",
                                                               " 5th", " 6th", " 7th", " 8th"};
inline constexpr const char* kParityComma = ",";
inline constexpr const char* kParityAnd = " and";
inline constexpr const char* kParityOnePair = " hex pair.";
inline constexpr const char* kParityPairs = " hex pairs.";
inline constexpr const char* kKeyBoxesIncomplete = "All boxes must have 2 Hex digits.";
inline constexpr const char* kKeyIdMissing = "Please enter Key ID.";
inline constexpr const char* kKeyIdInUse = "Key ID is already in use! Please re-enter.";
inline constexpr const char* kKeyIdOutOfRange =
    "Key ID out of range! Must be between 0x0 and 0xFFFF. Please re-enter.";

}  // namespace quillon::model::msg
