#pragma once
// The texts of the compare window.
namespace quillon::ui::comparetext {

inline constexpr const char* kFileTitle = "Compare with File";
inline constexpr const char* kTransceiverTitle = "Compare with Transceiver";
inline constexpr const char* kOpenTitle = "Compare with File";
inline constexpr const char* kChannelColumn = "Channel";
inline constexpr const char* kFieldColumn = "Field";
inline constexpr const char* kDocumentColumn = "Document";
inline constexpr const char* kFileColumn = "File";
inline constexpr const char* kTransceiverColumn = "Transceiver";
inline constexpr const char* kFilterLabel = "&Filter:";
// %1 rows shown, %2 differences in all.
inline constexpr const char* kShownCount = "%1 of %2 differences shown";
inline constexpr const char* kSameAsFile =
    "No differences: the file holds the same configuration as this document.";
inline constexpr const char* kSameAsTransceiver =
    "No differences: the transceiver holds the configuration of this document.\n"
    "(Encryption keys cannot be read back from the transceiver and are not compared.)";

}  // namespace quillon::ui::comparetext
