#include "edit/ChannelControls.h"

namespace quillon::edit {

namespace {

using C = ChannelControl;
using K = ControlKind;

const std::array<ControlInfo, kChannelControlCount> kControls = {{
    {C::Type, "Type", K::Radio},
    {C::Name, "Name", K::Text},
    {C::Number, "Number", K::Value},
    {C::Mode, "Mode", K::Combo},
    {C::Control, "Control", K::Combo},
    {C::SignalType, "Signal Type", K::Combo},
    {C::Bandwidth, "Bandwidth", K::Combo},
    {C::SquelchSystem, "Squelch System", K::Combo},
    {C::SquelchGroup, "Squelch Group", K::Combo},
    {C::GroupEnable, "Enable", K::Check},
    {C::RxFrequency, "Rx Freq (MHz)", K::Value},
    {C::TxFrequency, "Tx Freq (MHz)", K::Value},
    {C::RxNac, "Rx NAC", K::Value},
    {C::TxNac, "Tx NAC", K::Value},
    {C::RxTone, "Rx CxCSS", K::Value},
    {C::TxTone, "Tx CxCSS", K::Value},
    {C::RxInvert, "Rx Invert", K::Check},
    {C::TxInvert, "Tx Invert", K::Check},
    {C::TalkgroupId, "Talkgroup ID", K::Value},
    {C::UnitId, "Unit ID", K::Value},
    {C::KeyId, "Key ID", K::Value},
    {C::AlgorithmId, "Algorithm ID", K::Combo},
    {C::Power, "Power (W)", K::Value},
    {C::SquelchLevel, "Squelch Level", K::Value},
    {C::PttTimeout, "PTT Timeout", K::Value},
    {C::PttTail, "PTT Tail", K::Value},
    {C::PttDelay, "PTT Delay", K::Value},
    {C::CourtesyTimer, "Tail (sec)", K::Value},
    {C::CourtesyTone, "Courtesy Tone", K::Combo},
    {C::LinkRadio, "Link Radio", K::Check},
    {C::HalfDuplex, "Half Duplex", K::Check},
    {C::FrontPanelPtt, "Enable Front Panel PTT", K::Check},
    {C::ReverseBurst, "Reverse Burst", K::Check},
    {C::TransmitType, "Transmit Type", K::Radio},
    {C::TxAsRx, "Tx AS Rx", K::Check},
    {C::CourtesyGroup, "Courtesy Tone", K::Group},
    {C::ScanList, "Scan", K::List},
    {C::ScanAdd, "Add", K::Button},
    {C::ScanEdit, "Edit", K::Button},
    {C::ScanDelete, "Delete", K::Button},
}};

}  // namespace

const std::array<ControlInfo, kChannelControlCount>& ChannelControls() {
    return kControls;
}

const ControlInfo& InfoOf(ChannelControl id) {
    return kControls[static_cast<size_t>(id)];
}

std::optional<ChannelControl> FindControl(const std::string& label) {
    for (const ControlInfo& c : kControls) {
        if (c.kind != K::Group && c.kind != K::Button && label == c.label) {
            return c.id;
        }
    }
    return std::nullopt;
}

bool IsFixedChannelControl(ChannelControl id) {
    switch (id) {
        case C::Type:
        case C::Name:
        case C::Number:
        case C::ScanList:
        case C::ScanAdd:
        case C::ScanEdit:
        case C::ScanDelete:
            return false;
        default:
            return true;
    }
}

const std::vector<std::string>& ChoicesOf(ChannelControl id) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> type = {"Fixed", "Scan"};
    static const std::vector<std::string> mode = {"Repeater", "Basestation"};
    static const std::vector<std::string> control = {"Local", "Tone",    "Line",
                                                     "None",  "Network", "FSIAP-25"};
    static const std::vector<std::string> signal = {"Analogue", "Project 25", "Autosense",
                                                    "CVSD/DES-XL"};
    static const std::vector<std::string> bandwidth = {"Wideband", "Narrowband"};
    static const std::vector<std::string> squelch = {"CTCSS", "CDCSS"};
    static const std::vector<std::string> algorithm = {"NONE", "DES-OFB"};
    static const std::vector<std::string> courtesy = {"None", "400 Hz", "1000 Hz", "2500 Hz"};
    static const std::vector<std::string> transmit = {"Analog", "Digital"};
    switch (id) {
        case C::Type:
            return type;
        case C::Mode:
            return mode;
        case C::Control:
            return control;
        case C::SignalType:
            return signal;
        case C::Bandwidth:
            return bandwidth;
        case C::SquelchSystem:
            return squelch;
        case C::AlgorithmId:
            return algorithm;
        case C::CourtesyTone:
            return courtesy;
        case C::TransmitType:
            return transmit;
        default:
            return none;
    }
}

}  // namespace quillon::edit
