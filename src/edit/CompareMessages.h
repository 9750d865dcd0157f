#pragma once
// The texts of the configuration comparison.
namespace quillon::edit::cmp {

inline constexpr const char* kChannelWhere = "Channel %03d";
inline constexpr const char* kGroupWhere = "Squelch Group ";
inline constexpr const char* kToneWhere = "Tone ";
inline constexpr const char* kKeyWhere = "Key ID 0x%03x";
inline constexpr const char* kRadioWideWhere = "Radio Wide Settings";

inline constexpr const char* kRecordByte = "Record Byte %u";
inline constexpr const char* kCourtesyTimer = "Courtesy Timer (s)";
inline constexpr const char* kLegacyText = "Legacy Text";
inline constexpr const char* kLegacyCode = "Legacy Code";
inline constexpr const char* kFixed = "Fixed";
inline constexpr const char* kScan = "Scan";
inline constexpr const char* kEmpty = "Empty";
inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";
inline constexpr const char* kAny = "Any";
inline constexpr const char* kAsRx = "As RX";

inline constexpr const char* kGroupName = "Name";
inline constexpr const char* kGroupItem = "Item ";

inline constexpr const char* kToneFunction = "Function";
inline constexpr const char* kToneArgument = "Channel";
inline constexpr const char* kToneChannel = "Channel";
inline constexpr const char* kToneUnassigned = "Unassigned";

inline constexpr const char* kKeyField = "Key";
inline constexpr const char* kKeyPresent = "present";
inline constexpr const char* kKeyAbsent = "absent";
inline constexpr const char* kKeyChanged = "changed";

inline constexpr const char* kFrontPanelAudio = "Front Panel Audio";
inline constexpr const char* kFrontPanelLevel = "Front Panel Audio Level";
inline constexpr const char* kRearSerialOutput = "Rear Serial Output";
inline constexpr const char* kDefaultChannel = "Default Channel";

// An empty text in a difference line.
inline constexpr const char* kNothing = "(none)";

}  // namespace quillon::edit::cmp
