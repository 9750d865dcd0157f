#pragma once
// The controls of the "Channel Settings" dialog as the rule engine knows
// them: an id, the label the dialog shows (without "&" and ":"), what kind
// of control it is, and the choice lists of the combos. A Qt dialog binds
// one widget to each id; the command-line tool finds controls by label.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quillon::edit {

enum class ChannelControl : int {
    Type,  // the "Fixed" and "Scan" radio buttons
    Name,
    Number,
    Mode,
    Control,
    SignalType,
    Bandwidth,
    SquelchSystem,
    SquelchGroup,
    GroupEnable,  // the squelch group "Enable" box
    RxFrequency,
    TxFrequency,
    RxNac,
    TxNac,
    RxTone,
    TxTone,
    RxInvert,
    TxInvert,
    TalkgroupId,
    UnitId,
    KeyId,
    AlgorithmId,
    Power,
    SquelchLevel,
    PttTimeout,
    PttTail,
    PttDelay,
    CourtesyTimer,  // courtesy "Tail (sec)"
    CourtesyTone,
    LinkRadio,
    HalfDuplex,
    FrontPanelPtt,
    ReverseBurst,
    TransmitType,  // the autosense group with its "Analog" and "Digital" buttons
    TxAsRx,
    CourtesyGroup,  // the "Courtesy Tone" group box
    ScanList,       // the scan list and its group box
    ScanAdd,
    ScanEdit,
    ScanDelete,
};
inline constexpr int kChannelControlCount = static_cast<int>(ChannelControl::ScanDelete) + 1;

enum class ControlKind {
    Radio,   // a set of radio buttons: a selection among `choices`
    Combo,   // a drop-down list: a selection among `choices`
    Check,   // a check box
    Text,    // a plain edit box
    Value,   // a numeric entry field with its arrows
    List,    // the scan list
    Group,   // a group box: only enabled or not
    Button,  // a push button: only enabled or not
};

struct ControlInfo {
    ChannelControl id;
    const char* label;  // as the dialog shows it, without "&" and ":"
    ControlKind kind;
};

// Every control, in id order.
const std::array<ControlInfo, kChannelControlCount>& ChannelControls();
const ControlInfo& InfoOf(ChannelControl id);
// The control a user can set that has this label (exactly), or nothing.
// Group boxes and buttons are not found: they are not set, only pressed.
std::optional<ChannelControl> FindControl(const std::string& label);

// The fixed-channel controls: the ones the channel type Scan disables.
bool IsFixedChannelControl(ChannelControl id);

// The combos' and radio sets' entries, in display order.
const std::vector<std::string>& ChoicesOf(ChannelControl id);

// Choice positions the rules name.
namespace choice {
inline constexpr int kFixed = 0;
inline constexpr int kScan = 1;
inline constexpr int kRepeater = 0;
inline constexpr int kBasestation = 1;
inline constexpr int kLocal = 0;
inline constexpr int kTone = 1;
inline constexpr int kLine = 2;
inline constexpr int kNoControl = 3;
inline constexpr int kNetwork = 4;
inline constexpr int kFsiap25 = 5;
inline constexpr int kAnalogue = 0;
inline constexpr int kProject25 = 1;
inline constexpr int kAutosense = 2;
inline constexpr int kCvsdDesXl = 3;
inline constexpr int kWideband = 0;
inline constexpr int kNarrowband = 1;
inline constexpr int kCtcss = 0;
inline constexpr int kCdcss = 1;
inline constexpr int kNoAlgorithm = 0;
inline constexpr int kDesOfb = 1;
inline constexpr int kCourtesyNone = 0;
inline constexpr int kAnalog = 0;
inline constexpr int kDigital = 1;
}  // namespace choice

// The image values the choice lists stand for, by position.
inline constexpr std::array<int, 2> kOperationValues = {2, 1};
inline constexpr std::array<int, 6> kControlValues = {2, 3, 4, 1, 5, 6};
inline constexpr std::array<int, 2> kAlgorithmValues = {0, 1};
inline constexpr std::array<int, 4> kCourtesyToneValues = {1, 2, 3, 4};

}  // namespace quillon::edit
