// Opening the Channel Settings dialog on a channel, what a user does to its
// controls, and the control rules that follow every change.
#include "edit/ChannelSettings.h"

#include <algorithm>
#include <cstdio>

#include "edit/ChannelSettingsMessages.h"
#include "edit/SpecialTexts.h"
#include "model/TextForms.h"
#include "model/ValueTables.h"

namespace quillon::edit {

namespace {

using model::CChannel;
namespace off = model::off;
namespace val = model::val;

std::vector<std::string> Texts(const char* const* begin, const char* const* end) {
    return std::vector<std::string>(begin, end);
}

std::string NumberText(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return buf;
}

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    return s;
}

FieldSetup Hex(int digits, double min, double max) {
    FieldSetup s;
    s.mode = FieldMode::Hex;
    s.maxDigits = digits;
    s.zeroFill = true;
    s.hexPrefix = true;
    s.min = min;
    s.max = max;
    return s;
}

FieldSetup Decimal(int digits, double max, bool zeroFill = false) {
    FieldSetup s;
    s.mode = FieldMode::Decimal;
    s.maxDigits = digits;
    s.zeroFill = zeroFill;
    s.max = max;
    return s;
}

FieldSetup Fraction(int digits, int fractionDigits, double max, double step) {
    FieldSetup s;
    s.mode = FieldMode::Fraction;
    s.maxDigits = digits;
    s.fractionDigits = fractionDigits;
    s.max = max;
    s.step = step;
    // Whatever number of decimals was typed, the value is one of the step's.
    s.resolution = step;
    return s;
}

}  // namespace

FieldSetup DwellFieldSetup() {
    return Fraction(2, 1, 9.9, 0.1);
}

ChannelSettings::ChannelSettings(model::CTmpDoc& doc, Mode mode, int number)
    : doc_(doc), mode_(mode) {
    for (const ControlInfo& c : ChannelControls()) {
        S(c.id).choices = ChoicesOf(c.id);
    }
    for (const model::SquGroup::Entry& e : doc_.squelchGroups.ActiveList()) {
        S(C::SquelchGroup).choices.push_back(e.text);
        groupNumbers_.push_back(e.index + 1);
    }
    ConfigureFields();
    F(C::Number).SetValue(NumberText(number));
    Load();
    ApplyRules();
    reported_ = states_;
}

std::unique_ptr<ChannelSettings> ChannelSettings::OpenEdit(model::CTmpDoc& doc, int number) {
    if (!model::CChannelTable::IsChannelNumber(number) || !doc.channels[number].IsUsed()) {
        return nullptr;
    }
    return std::unique_ptr<ChannelSettings>(new ChannelSettings(doc, Mode::Edit, number));
}

std::unique_ptr<ChannelSettings> ChannelSettings::OpenAdd(model::CTmpDoc& doc) {
    const int slot = doc.channels.FirstFreeSlot();
    if (slot < 0) {
        return nullptr;
    }
    // The slot takes its first values at once: a cancelled dialog leaves
    // them in the still empty slot.
    CChannel& ch = doc.channels[slot];
    ch.SetByte(off::kSignalType, model::CodeValue(model::Signal::WidebandFm));
    char name[16];
    std::snprintf(name, sizeof name, chmsg::kNewChannelName, slot);
    ch.SetNameBytes(name);
    return std::unique_ptr<ChannelSettings>(new ChannelSettings(doc, Mode::Add, slot));
}

int ChannelSettings::CurrentNumber() const {
    const std::string& t = F(C::Number).Content();
    return model::HasLeadingDecimal(t) ? model::LeadingDecimal(t) : -1;
}

const ControlState& ChannelSettings::State(ChannelControl id) const {
    return S(id);
}

const ValueField& ChannelSettings::Field(ChannelControl id) const {
    return F(id);
}

std::vector<ChannelControl> ChannelSettings::TakeChanges() {
    std::vector<ChannelControl> changed;
    for (const ControlInfo& c : ChannelControls()) {
        const size_t i = static_cast<size_t>(c.id);
        if (states_[i] != reported_[i]) {
            changed.push_back(c.id);
        }
    }
    reported_ = states_;
    return changed;
}

void ChannelSettings::ConfigureFields() {
    std::vector<std::string> slots;
    for (int i = 0; i < model::kChannelCount; ++i) {
        // Add mode offers the empty slots, edit mode the used ones.
        if (doc_.channels[i].IsUsed() == (mode_ == Mode::Edit)) {
            slots.push_back(NumberText(i));
        }
    }
    FieldSetup number = Decimal(3, model::kChannelCount - 1, true);
    number.values = slots;
    number.listOnly = mode_ == Mode::Add;
    F(C::Number).Configure(number);

    // Leaving a frequency field rounds it to the 250 Hz grid (an exact
    // 125 Hz goes down). The band is checked at OK with its own message, never
    // clamped into silently; the arrows keep to it.
    FieldSetup freq = Fraction(9, 6, 520, 1);
    freq.min = 136;
    freq.resolution = 0.00025;
    freq.tiesDown = true;
    freq.clampOnLeave = false;
    F(C::RxFrequency).Configure(freq);
    F(C::TxFrequency).Configure(freq);

    FieldSetup rxNac = Hex(3, 1, 0xFFF);
    rxNac.values = {"-1", "000"};
    FieldSetup txNac = rxNac;
    rxNac.displays = {kAnyText, kNoneText};
    txNac.displays = {kAsRxText, kNoneText};
    F(C::RxNac).Configure(rxNac);
    F(C::TxNac).Configure(txNac);

    // Zero stays a talkgroup the field can hold: OK turns it into 1 and
    // says so, which a silent clamp would not.
    F(C::TalkgroupId).Configure(Hex(4, 0, 0xFFFF));
    F(C::UnitId).Configure(Hex(6, 0, 0xFFFFFF));
    F(C::KeyId).Configure(Hex(4, 0, 0xFFFF));
    F(C::Power).Configure(Decimal(3, 125));
    F(C::SquelchLevel).Configure(Decimal(2, 15, true));
    F(C::PttTimeout).Configure(Decimal(3, 255));
    F(C::PttTail).Configure(Fraction(2, 1, 9.9, 0.1));
    F(C::PttDelay).Configure(Fraction(4, 3, 0.099, 0.001));
    F(C::CourtesyTimer).Configure(Fraction(3, 2, 9.99, 0.01));
    SetToneForm(C::RxTone, false, false);
    SetToneForm(C::TxTone, false, false);
}

void ChannelSettings::SetToneForm(C id, bool cdcss, bool inverted) {
    const bool receive = id == C::RxTone;
    FieldSetup s;
    if (cdcss) {
        s.mode = FieldMode::Octal;
        s.maxDigits = 3;
        s.zeroFill = true;
        s.max = 0777;
        s.min = 0;
        const auto& table = inverted ? model::kInvertedCdcssCodes : model::kCdcssCodes;
        s.values = Texts(table.data(), table.data() + table.size());
    } else {
        s = Fraction(4, 1, 999.9, 0.1);
        s.values =
            Texts(model::kCtcssTones.data(), model::kCtcssTones.data() + model::kCtcssTones.size());
    }
    s.displays = {receive ? kAnyText : kAsRxText, kNoneText};
    s.listOnly = true;
    F(id).Configure(s);
}

// --- showing a channel -----------------------------------------------------------

void ChannelSettings::Load() {
    const int number = CurrentNumber();
    CChannel ch = doc_.channels[number];
    const bool scan = mode_ == Mode::Edit && ch.IsScan();
    S(C::Type).selection = scan ? choice::kScan : choice::kFixed;
    ch.RefreshText();
    S(C::Name).text = TrimRight(ch.text.name);
    if (scan) {
        LoadScan(ch);
        // The fixed-channel controls start as a new channel's would, should
        // the user turn the scan channel into a fixed one.
        CChannel fresh;
        fresh.SetByte(off::kSignalType, model::CodeValue(model::Signal::WidebandFm));
        ch = fresh;
    }
    // A new channel is shown as the fixed channel it becomes.
    ch.SetKind(model::ChannelKind::Fixed);
    ch.RefreshText();
    LoadFixed(ch);
}

void ChannelSettings::LoadScan(const CChannel& ch) {
    for (int i = 0; i < ch.ValidScanRefs(); ++i) {
        const model::ScanRefText& r = ch.text.scanRefs[static_cast<size_t>(i)];
        scan_.push_back(ScanEntry{r.channel, r.dwell});
    }
}

void ChannelSettings::ShowTone(C id, const std::string& text, bool receive, bool cdcss,
                               bool inverted) {
    std::string shown = text;
    if (text == "000.0" || text == "0.0" || text == "000") {
        shown = kNoneText;
    } else if (text == "f000" || text == "f00.0") {
        shown = receive ? kAnyText : kAsRxText;
    } else if (cdcss && inverted) {
        const int i = model::CdcssIndex(text.c_str());
        if (i >= 0) {
            shown = model::kInvertedCdcssCodes[static_cast<size_t>(i)];
        }
    }
    F(id).SetValue(shown);
}

void ChannelSettings::LoadFixed(const CChannel& ch) {
    const model::ChannelTexts& t = ch.text;
    F(C::RxFrequency).Show(FrequencyText(FrequencyHz(t.rxFrequency)));
    F(C::TxFrequency).Show(FrequencyText(FrequencyHz(t.txFrequency)));
    F(C::Power).SetValue(t.power);
    F(C::SquelchLevel).SetValue(t.squelchLevel);
    F(C::TalkgroupId).SetValue(t.talkgroup);
    F(C::PttTail).SetValue(t.pttTail);
    F(C::PttDelay).SetValue(t.pttDelay);
    F(C::PttTimeout).SetValue(t.pttTimeout);
    F(C::CourtesyTimer).SetValue(t.courtesyTimer);
    F(C::KeyId).SetValue(t.keyId);
    F(C::UnitId).SetValue(t.unitId);

    const uint8_t system = ch.SquelchSystem();
    const bool group = system == val::kSquelchCtcssGroup || system == val::kSquelchCdcssGroup;
    const bool cdcss = system == val::kSquelchCdcss || system == val::kSquelchCdcssGroup;
    S(C::GroupEnable).checked = group;
    if (group) {
        const int g = model::LeadingDecimal(t.rxTone);
        const auto it = std::find(groupNumbers_.begin(), groupNumbers_.end(), g);
        S(C::SquelchGroup).selection =
            it == groupNumbers_.end() ? -1 : static_cast<int>(it - groupNumbers_.begin());
    }

    const uint16_t rxNac = ch.RxNac();
    F(C::RxNac).SetValue(rxNac == val::kAnyCode ? kAnyText : rxNac == 0 ? kNoneText : t.rxNac);
    F(C::TxNac).SetValue(t.txNac == "0xf000"  ? kAsRxText
                         : t.txNac == "0x000" ? kNoneText
                                              : t.txNac);

    const uint8_t invert = ch.Byte(off::kCdcssInvert);
    S(C::RxInvert).checked = (invert & val::kInvertRx) != 0;
    S(C::TxInvert).checked = (invert & val::kInvertTx) != 0;
    SetToneForm(C::RxTone, cdcss, On(C::RxInvert));
    SetToneForm(C::TxTone, cdcss, On(C::TxInvert));
    // A group's number stands in the receive tone; the field itself has no
    // tone then (and gets none when the group box is cleared).
    ShowTone(C::RxTone, group ? "000" : t.rxTone, true, cdcss, On(C::RxInvert));
    ShowTone(C::TxTone, t.txTone, false, cdcss, On(C::TxInvert));

    S(C::Mode).selection =
        ch.OperationMode() == val::kRepeater ? choice::kRepeater : choice::kBasestation;
    const auto control = std::find(kControlValues.begin(), kControlValues.end(), ch.ControlMode());
    S(C::Control).selection = control == kControlValues.end()
                                  ? choice::kNoControl
                                  : static_cast<int>(control - kControlValues.begin());
    switch (ch.SignalType()) {
        case 1:
            S(C::SignalType).selection = choice::kProject25;
            S(C::Bandwidth).selection = choice::kNarrowband;
            break;
        case 3:
            S(C::SignalType).selection = choice::kAnalogue;
            S(C::Bandwidth).selection = choice::kNarrowband;
            break;
        case 4:
            S(C::SignalType).selection = choice::kAutosense;
            S(C::Bandwidth).selection = choice::kNarrowband;
            break;
        case 5:
            S(C::SignalType).selection = choice::kAutosense;
            S(C::Bandwidth).selection = choice::kWideband;
            break;
        case 6:
            S(C::SignalType).selection = choice::kCvsdDesXl;
            S(C::Bandwidth).selection = choice::kWideband;
            break;
        default:
            S(C::SignalType).selection = choice::kAnalogue;
            S(C::Bandwidth).selection = choice::kWideband;
            break;
    }
    S(C::SquelchSystem).selection = cdcss ? choice::kCdcss : choice::kCtcss;
    S(C::AlgorithmId).selection =
        ch.Byte(off::kTxAlgorithmId) == 1 ? choice::kDesOfb : choice::kNoAlgorithm;
    loadedCourtesyTone_ = ch.Byte(off::kCourtesyTone);
    const auto tone =
        std::find(kCourtesyToneValues.begin(), kCourtesyToneValues.end(), loadedCourtesyTone_);
    S(C::CourtesyTone).selection = tone == kCourtesyToneValues.end()
                                       ? -1
                                       : static_cast<int>(tone - kCourtesyToneValues.begin());

    S(C::FrontPanelPtt).checked = ch.Byte(off::kFrontPanelPtt) != 0;
    S(C::LinkRadio).checked = ch.Byte(off::kLinkRadio) != 0;
    S(C::HalfDuplex).checked = ch.Byte(off::kHalfDuplex) != 0;
    S(C::ReverseBurst).checked = ch.Byte(off::kReverseBurst) != 0;
    if (On(C::ReverseBurst)) {
        S(C::CourtesyTone).selection = choice::kCourtesyNone;
    }
    const uint8_t autosense = ch.Byte(off::kAutosenseTx);
    S(C::TransmitType).selection = (autosense & val::kAutosenseDigital) != 0  ? choice::kDigital
                                   : (autosense & val::kAutosenseAnalog) != 0 ? choice::kAnalog
                                                                              : -1;
    S(C::TxAsRx).checked = (autosense & val::kAutosenseTxAsRx) != 0;
}

// --- the control rules --------------------------------------------------------------

void ChannelSettings::SetEnabled(C id, bool on) {
    S(id).enabled = on;
    if (InfoOf(id).kind == ControlKind::Value) {
        F(id).Enable(on);
    }
}

void ChannelSettings::EmptyField(C id) {
    F(id).Show("");
}

void ChannelSettings::SetCourtesyMinimum(bool reverseBurst) {
    F(C::CourtesyTimer).SetMinimum(reverseBurst ? 0.05 : 0);
}

void ChannelSettings::CourtesyLikeAnalogue(bool repeater) {
    if (repeater) {
        SetCourtesyMinimum(On(C::ReverseBurst));
        if (On(C::ReverseBurst)) {
            ForceChoice(C::CourtesyTone, choice::kCourtesyNone);
        }
        SetEnabled(C::CourtesyTone, !On(C::ReverseBurst));
        return;
    }
    ForceChoice(C::CourtesyTone, choice::kCourtesyNone);
    EmptyField(C::CourtesyTimer);
    for (C id : {C::CourtesyTimer, C::CourtesyTone, C::ReverseBurst, C::CourtesyGroup}) {
        SetEnabled(id, false);
    }
}

std::vector<ScanReferenceChoice> ChannelSettings::ScanReferenceChoices() const {
    std::vector<ScanReferenceChoice> list;
    const int self = CurrentNumber();
    for (int c = 0; c < model::kChannelCount; ++c) {
        if (c == self || !doc_.channels[c].IsFixed()) {
            continue;
        }
        const auto& img = doc_.channels[c].Image();
        std::string name(reinterpret_cast<const char*>(img.data() + off::kChannelName), 8);
        char head[16];
        std::snprintf(head, sizeof head, "%03i: ", c);
        list.push_back(ScanReferenceChoice{head + std::string(model::UpToNul(name)), c});
    }
    return list;
}

void ChannelSettings::UpdateScanButtons() {
    const bool scan = Sel(C::Type) == choice::kScan;
    SetEnabled(C::ScanList, scan);
    SetEnabled(C::ScanEdit, scan && !scan_.empty());
    SetEnabled(C::ScanDelete, scan && !scan_.empty());
    SetEnabled(C::ScanAdd, scan && scan_.size() < static_cast<size_t>(model::kMaxScanRefs) &&
                               !ScanReferenceChoices().empty());
}

void ChannelSettings::ApplyRules() {
    const int number = CurrentNumber();
    if (model::CChannelTable::IsChannelNumber(number)) {
        doc_.channels.lastChannel = number;
    }
    // A channel never scans itself: an entry naming the slot the dialog now
    // works on (a number typed after the entry was added) goes.
    scan_.erase(std::remove_if(scan_.begin(), scan_.end(),
                               [number](const ScanEntry& e) {
                                   return model::LeadingDecimal(e.channel) == number;
                               }),
                scan_.end());
    const bool scan = Sel(C::Type) == choice::kScan;
    for (const ControlInfo& c : ChannelControls()) {
        if (IsFixedChannelControl(c.id)) {
            SetEnabled(c.id, !scan);
        }
    }
    UpdateScanButtons();
    if (!scan) {
        ApplyFixedRules();
    }
    Sync();
}

void ChannelSettings::ApplyFixedRules() {
    const int signal = Sel(C::SignalType);
    const bool repeater = Sel(C::Mode) == choice::kRepeater;
    const bool basestation = !repeater;
    const bool cdcss = Sel(C::SquelchSystem) == choice::kCdcss;
    const bool desOfb = Sel(C::AlgorithmId) == choice::kDesOfb;

    if (signal != choice::kProject25) {
        SetToneForm(C::RxTone, cdcss, On(C::RxInvert));
        SetToneForm(C::TxTone, cdcss, On(C::TxInvert));
    }
    const int control = Sel(C::Control);
    if (control == choice::kTone || control == choice::kLine || control == choice::kNetwork ||
        control == choice::kFsiap25) {
        if (On(C::LinkRadio)) {
            ForceCheck(C::FrontPanelPtt, false);
            SetEnabled(C::FrontPanelPtt, false);
        } else if (On(C::FrontPanelPtt)) {
            ForceCheck(C::LinkRadio, false);
            SetEnabled(C::LinkRadio, false);
        }
    }
    SetEnabled(C::HalfDuplex, basestation);
    SetEnabled(C::RxInvert, cdcss);
    SetEnabled(C::TxInvert, cdcss);
    if (repeater) {
        EmptyField(C::PttDelay);
    }
    SetEnabled(C::PttDelay, basestation);

    switch (signal) {
        case choice::kProject25:
            SetCourtesyMinimum(false);
            SetEnabled(C::CourtesyTimer, repeater);
            SetEnabled(C::CourtesyGroup, repeater);
            SetEnabled(C::KeyId, desOfb);
            for (C id :
                 {C::RxTone, C::TxTone, C::RxInvert, C::TxInvert, C::ReverseBurst, C::Bandwidth,
                  C::CourtesyTone, C::SquelchLevel, C::TransmitType, C::TxAsRx}) {
                SetEnabled(id, false);
            }
            SetEnabled(C::SquelchSystem, On(C::GroupEnable));
            break;
        case choice::kAnalogue:
            for (C id : {C::RxNac, C::TxNac, C::TalkgroupId, C::UnitId, C::AlgorithmId, C::KeyId,
                         C::TransmitType, C::TxAsRx}) {
                SetEnabled(id, false);
            }
            CourtesyLikeAnalogue(repeater);
            break;
        case choice::kAutosense:
            SetEnabled(C::TxAsRx, On(C::LinkRadio));
            SetEnabled(C::KeyId, desOfb);
            if (repeater) {
                SetEnabled(C::PttDelay, false);
            }
            CourtesyLikeAnalogue(repeater);
            break;
        case choice::kCvsdDesXl:
            ForceChoice(C::Mode, choice::kRepeater);
            ForceChoice(C::Control, choice::kNoControl);
            ForceChoice(C::Bandwidth, choice::kWideband);
            ForceChoice(C::SquelchSystem, choice::kCtcss);
            SetToneForm(C::RxTone, false, On(C::RxInvert));
            SetToneForm(C::TxTone, false, On(C::TxInvert));
            F(C::RxTone).SetValue(kNoneText);
            F(C::TxTone).SetValue(kNoneText);
            F(C::RxNac).SetValue("0x293");
            F(C::TxNac).SetValue("0x293");
            ForceCheck(C::GroupEnable, false);
            ForceCheck(C::LinkRadio, false);
            ForceCheck(C::FrontPanelPtt, false);
            ForceChoice(C::CourtesyTone, choice::kCourtesyNone);
            for (const ControlInfo& c : ChannelControls()) {
                if (IsFixedChannelControl(c.id) && c.id != C::Power && c.id != C::SquelchLevel &&
                    c.id != C::RxFrequency && c.id != C::TxFrequency && c.id != C::SignalType) {
                    SetEnabled(c.id, false);
                }
            }
            break;
        default:
            break;
    }

    if (On(C::GroupEnable)) {
        SetEnabled(C::RxTone, false);
        SetEnabled(C::RxInvert, false);
        SetEnabled(C::RxNac, false);
        SetEnabled(C::SquelchSystem, true);
    } else {
        SetEnabled(C::SquelchGroup, false);
    }
}

void ChannelSettings::Sync() {
    for (const ControlInfo& c : ChannelControls()) {
        if (c.kind == ControlKind::Value) {
            S(c.id).text = F(c.id).Text();
        }
    }
    S(C::Number).readOnly = mode_ == Mode::Edit;
    S(C::ScanList).choices = ScanLines();
}

// --- what a user does -----------------------------------------------------------------

bool ChannelSettings::Select(ChannelControl id, int index) {
    const ControlKind kind = InfoOf(id).kind;
    if ((kind != ControlKind::Radio && kind != ControlKind::Combo) || !S(id).enabled || index < 0 ||
        index >= static_cast<int>(S(id).choices.size())) {
        return false;
    }
    const int before = S(id).selection;
    S(id).selection = index;
    // The transmit type buttons change nothing else.
    if (id == C::TransmitType) {
        Sync();
        return true;
    }
    ApplyRules();
    if (id == C::SquelchSystem && index != before) {
        F(C::RxTone).SetValue(kNoneText);
        F(C::TxTone).SetValue(kNoneText);
        Sync();
    }
    return true;
}

void ChannelSettings::ToggleInvert(C id, bool inverted) {
    const C tone = id == C::RxInvert ? C::RxTone : C::TxTone;
    // The code keeps its place in the table: the other table's entry there.
    const int entry = F(tone).EntryOf(F(tone).Content());
    ApplyRules();
    if (entry >= 2 && Sel(C::SquelchSystem) == choice::kCdcss) {
        const auto& table = inverted ? model::kInvertedCdcssCodes : model::kCdcssCodes;
        F(tone).SetValue(table[static_cast<size_t>(entry)]);
        Sync();
    }
}

void ChannelSettings::ClearGroupEnable() {
    // Without the group nothing of it may stay behind: no tone made from the
    // group number, no code on either side.
    F(C::RxTone).SetValue(kNoneText);
    F(C::RxNac).SetValue(kNoneText);
    F(C::TxNac).SetValue(kNoneText);
}

bool ChannelSettings::SetChecked(ChannelControl id, bool on) {
    if (InfoOf(id).kind != ControlKind::Check || !S(id).enabled) {
        return false;
    }
    const bool before = S(id).checked;
    S(id).checked = on;
    if ((id == C::RxInvert || id == C::TxInvert) && on != before) {
        ToggleInvert(id, on);
        return true;
    }
    ApplyRules();
    if (id == C::GroupEnable && before && !on) {
        ClearGroupEnable();
        Sync();
    }
    return true;
}

void ChannelSettings::LeaveField(C id) {
    F(id).Normalise();
}

bool ChannelSettings::Enter(ChannelControl id, const std::string& text) {
    const ControlKind kind = InfoOf(id).kind;
    if (!S(id).enabled) {
        return false;
    }
    if (kind == ControlKind::Text) {
        S(id).text = text;
        ApplyRules();
        return true;
    }
    if (kind != ControlKind::Value || (id == C::Number && mode_ == Mode::Edit)) {
        return false;
    }
    ValueField& f = F(id);
    // The texts that stand for a list entry are chosen, not typed.
    if (f.IsDisplayText(text)) {
        f.SetValue(text);
    } else if (f.Accepts(text)) {
        f.Show(text);
        LeaveField(id);
    } else {
        return false;
    }
    ApplyRules();
    return true;
}

bool ChannelSettings::Type(ChannelControl id, const std::string& text) {
    if (InfoOf(id).kind != ControlKind::Value || !S(id).enabled ||
        (id == C::Number && mode_ == Mode::Edit) || !F(id).Accepts(text)) {
        return false;
    }
    F(id).Show(text);
    Sync();
    return true;
}

bool ChannelSettings::TypeEdit(ChannelControl id, size_t start, size_t length,
                               const std::string& inserted) {
    if (InfoOf(id).kind != ControlKind::Value || !S(id).enabled ||
        (id == C::Number && mode_ == Mode::Edit)) {
        return false;
    }
    std::string text = F(id).Content();
    if (start > text.size() || length > text.size() - start ||
        !F(id).Logic().AcceptsInsert(text, start, length, inserted)) {
        return false;
    }
    text.replace(start, length, inserted);
    F(id).Show(text);
    Sync();
    return true;
}

bool ChannelSettings::Leave(ChannelControl id) {
    if (InfoOf(id).kind != ControlKind::Value || !S(id).enabled) {
        return false;
    }
    LeaveField(id);
    ApplyRules();
    return true;
}

bool ChannelSettings::Step(ChannelControl id, int code) {
    if (InfoOf(id).kind != ControlKind::Value || !S(id).enabled ||
        (id == C::Number && mode_ == Mode::Edit)) {
        return false;
    }
    const bool moved = F(id).Step(code);
    ApplyRules();
    return moved;
}

// --- the scan list --------------------------------------------------------------------

std::vector<std::string> ChannelSettings::ScanLines() const {
    std::vector<std::string> lines;
    for (const ScanEntry& e : scan_) {
        const int c = model::LeadingDecimal(e.channel);
        const std::string name =
            model::CChannelTable::IsChannelNumber(c) ? doc_.channels[c].NameText() : "";
        lines.push_back(e.channel + chmsg::kScanLineName + name + chmsg::kScanLineDwell + e.dwell +
                        chmsg::kScanLineSeconds);
    }
    return lines;
}

namespace {

// The reference dialog's OK: the channel among the choices, the dwell as its
// field leaves it.
std::optional<ScanEntry> ScanReference(const std::vector<ScanReferenceChoice>& choices, int channel,
                                       const std::string& dwell) {
    const bool offered =
        std::any_of(choices.begin(), choices.end(),
                    [channel](const ScanReferenceChoice& c) { return c.channel == channel; });
    ValueField field;
    field.Configure(DwellFieldSetup());
    if (!offered || !field.Accepts(dwell)) {
        return std::nullopt;
    }
    field.Show(dwell);
    field.Normalise();
    return ScanEntry{NumberText(channel), field.Content()};
}

}  // namespace

bool ChannelSettings::AddScan(int channel, const std::string& dwell) {
    if (!S(C::ScanAdd).enabled) {
        return false;
    }
    const std::optional<ScanEntry> e = ScanReference(ScanReferenceChoices(), channel, dwell);
    if (!e) {
        return false;
    }
    scan_.push_back(*e);
    ApplyRules();
    return true;
}

bool ChannelSettings::EditScan(int index, int channel, const std::string& dwell) {
    if (!S(C::ScanEdit).enabled || index < 0 || index >= static_cast<int>(scan_.size())) {
        return false;
    }
    const std::optional<ScanEntry> e = ScanReference(ScanReferenceChoices(), channel, dwell);
    if (!e) {
        return false;
    }
    scan_[static_cast<size_t>(index)] = *e;
    ApplyRules();
    return true;
}

std::optional<int> ChannelSettings::EditScanSelected(const std::vector<int>& selected,
                                                     Prompts& prompts) {
    for (int i : selected) {
        if (i >= 0 && i < static_cast<int>(scan_.size())) {
            return i;
        }
    }
    prompts.Beep();
    prompts.MessageBox(chmsg::kSelectScanToEdit, Icon::Exclamation);
    return std::nullopt;
}

void ChannelSettings::DeleteScanSelected(const std::vector<int>& selected, Prompts& prompts) {
    std::vector<ScanEntry> kept;
    for (size_t i = 0; i < scan_.size(); ++i) {
        if (std::find(selected.begin(), selected.end(), static_cast<int>(i)) == selected.end()) {
            kept.push_back(scan_[i]);
        }
    }
    if (kept.size() == scan_.size()) {
        prompts.Beep();
        prompts.MessageBox(chmsg::kSelectScanToDelete, Icon::Exclamation);
        return;
    }
    scan_ = kept;
    ApplyRules();
}

void ChannelSettings::ClearScan() {
    scan_.clear();
    ApplyRules();
}

// --- frequencies -------------------------------------------------------------------------

long long FrequencyHz(const std::string& mhz) {
    long long whole = 0;
    long long fraction = 0;
    int fractionDigits = 0;
    bool point = false;
    for (char c : mhz) {
        if (c == '.') {
            if (point) {
                break;
            }
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (!point) {
                whole = std::min(whole * 10 + (c - '0'), 9999LL);
            } else if (fractionDigits < 6) {
                fraction = fraction * 10 + (c - '0');
                ++fractionDigits;
            }
        }
    }
    for (; fractionDigits < 6; ++fractionDigits) {
        fraction *= 10;
    }
    return whole * 1000000 + fraction;
}

std::string FrequencyText(long long hz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%06lld", hz / 1000000, hz % 1000000);
    return buf;
}

}  // namespace quillon::edit
