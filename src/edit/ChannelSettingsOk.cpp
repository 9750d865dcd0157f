// The Channel Settings dialog's OK: every field normalised, the checks in
// their order, the questions, and the channel written into the image.
#include <algorithm>
#include <cstdio>

#include "edit/ChannelSettings.h"
#include "edit/ChannelSettingsMessages.h"
#include "edit/SpecialTexts.h"
#include "model/Messages.h"
#include "model/TextForms.h"
#include "model/ValueTables.h"

namespace quillon::edit {

namespace {

using model::CChannel;
namespace off = model::off;
namespace val = model::val;

constexpr long long kLowestHz = 136000000;
constexpr long long kHighestHz = 520000000;
constexpr size_t kNameLength = 8;

// A code field's value: the special texts stand for their codes.
long long CodeValueOf(const std::string& text) {
    if (text == kAnyText || text == kAsRxText) {
        return val::kAnyCode;
    }
    if (text == kNoneText) {
        return 0;
    }
    uint8_t bytes[4] = {};
    model::CodeParse(text, bytes, sizeof bytes);
    return (static_cast<long long>(bytes[0]) << 24) | (static_cast<long long>(bytes[1]) << 16) |
           (static_cast<long long>(bytes[2]) << 8) | bytes[3];
}

// A decimal text times 10^digits, rounded half up on the exact decimal
// digits (".55" in tenths is 6, "2" is 20): no binary fraction comes between
// what was typed and what is stored.
long long Scaled(const std::string& text, int digits) {
    long long whole = 0;
    long long fraction = 0;
    int taken = 0;
    bool point = false;
    bool roundUp = false;
    for (char c : text) {
        if (c == '.') {
            if (point) {
                break;
            }
            point = true;
            continue;
        }
        if (c < '0' || c > '9') {
            break;
        }
        if (!point) {
            whole = std::min(whole * 10 + (c - '0'), 1000000LL);
        } else if (taken < digits) {
            fraction = fraction * 10 + (c - '0');
            ++taken;
        } else if (taken == digits) {
            roundUp = c >= '5';
            ++taken;
        }
    }
    for (int i = std::min(taken, digits); i < digits; ++i) {
        fraction *= 10;
    }
    long long scale = 1;
    for (int i = 0; i < digits; ++i) {
        scale *= 10;
    }
    return whole * scale + fraction + (roundUp ? 1 : 0);
}

// A number as BCD digits into n bytes (the highest digits dropped when it
// does not fit, which the fields' ranges never allow).
void PutBcd(CChannel& ch, size_t offset, size_t n, long long value) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*lld", static_cast<int>(2 * n), value);
    model::DecimalParse(digits, ch.Image().data() + offset, n);
}

void PutCode(CChannel& ch, size_t offset, size_t n, const std::string& text) {
    model::CodeParse(text, ch.Image().data() + offset, n);
}

}  // namespace

bool ChannelSettings::Validate(Prompts& prompts) {
    const int number = CurrentNumber();
    if (!model::CChannelTable::IsChannelNumber(number)) {
        prompts.MessageBox(chmsg::kNumberOutOfRange, Icon::Exclamation);
        return false;
    }
    bool ok = true;
    auto fail = [&](const std::string& text) {
        prompts.MessageBox(text, Icon::Exclamation);
        ok = false;
    };
    if (mode_ == Mode::Add && doc_.channels[number].IsUsed() &&
        prompts.MessageBox(chmsg::kOverwrite, Icon::Question, Buttons::YesNo) != Answer::Yes) {
        ok = false;
    }
    if (S(C::Name).text.size() > kNameLength) {
        fail(chmsg::kNameTooLongHead + std::to_string(kNameLength) + chmsg::kNameTooLongTail);
    }
    if (Sel(C::Type) == choice::kScan) {
        if (scan_.empty()) {
            fail(chmsg::kScanEmpty);
        }
        return ok;
    }
    const int signal = Sel(C::SignalType);
    if (signal == choice::kAutosense && Sel(C::TransmitType) < 0) {
        fail(chmsg::kSelectTransmitType);
    }
    if (signal == choice::kAutosense || signal == choice::kProject25) {
        if (CodeValueOf(F(C::TalkgroupId).Content()) == 0) {
            prompts.Beep();
            prompts.MessageBox(chmsg::kTalkgroupCorrected, Icon::Information);
            F(C::TalkgroupId).SetValue("0x0001");
            Sync();
        }
        // Zero is refused by its value: the field shows it as "NONE".
        if (CodeValueOf(F(C::RxNac).Content()) == 0) {
            fail(chmsg::kRxNacZero);
        }
        if (CodeValueOf(F(C::TxNac).Content()) == 0) {
            fail(chmsg::kTxNacZero);
        }
    }
    if (signal == choice::kAnalogue) {
        // With a squelch group the group is the receive squelch; the tone
        // field is not used.
        if (!On(C::GroupEnable) && F(C::RxTone).EntryOf(F(C::RxTone).Content()) == 1) {
            fail(chmsg::kRxToneZero);
        }
        if (F(C::TxTone).EntryOf(F(C::TxTone).Content()) == 1) {
            fail(chmsg::kTxToneZero);
        }
    }
    if (On(C::GroupEnable) && Sel(C::SquelchGroup) < 0) {
        fail(chmsg::kSelectGroup);
    }
    const long long rx = FrequencyHz(F(C::RxFrequency).Content());
    const long long tx = FrequencyHz(F(C::TxFrequency).Content());
    const bool halfDuplexBase = Sel(C::Mode) == choice::kBasestation && On(C::HalfDuplex);
    if (rx == tx && !halfDuplexBase) {
        fail(chmsg::kSameFrequencies);
    }
    if (rx < kLowestHz || rx > kHighestHz) {
        fail(chmsg::kRxFrequencyRange);
    }
    if (tx < kLowestHz || tx > kHighestHz) {
        fail(chmsg::kTxFrequencyRange);
    }
    return ok;
}

bool ChannelSettings::ConfirmReferenceRemoval(Prompts& prompts) {
    const int number = CurrentNumber();
    std::vector<std::string> scans;
    if (Sel(C::Type) != choice::kScan || doc_.channels.ScanReferencesTo(number, scans) == 0) {
        return true;
    }
    // A scan channel cannot be scanned: the references to this channel go,
    // as when it is deleted, once the user agrees.
    const std::string text = std::string(model::msg::kDeleteRefsWarning) +
                             std::to_string(scans.size()) + model::msg::kDeleteRefsScan;
    if (prompts.MessageBox(text, Icon::Exclamation, Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    for (const std::string& s : scans) {
        const int scan = model::LeadingDecimal(s);
        if (model::CChannelTable::IsChannelNumber(scan)) {
            doc_.channels[scan].RemoveReferencesTo(number);
        }
    }
    return true;
}

bool ChannelSettings::Ok(Prompts& prompts) {
    for (const ControlInfo& c : ChannelControls()) {
        if (c.kind == ControlKind::Value && S(c.id).enabled) {
            LeaveField(c.id);
        }
    }
    Sync();
    if (!Validate(prompts) || !ConfirmReferenceRemoval(prompts)) {
        return false;
    }
    Write();
    return true;
}

void ChannelSettings::Write() {
    const int number = CurrentNumber();
    CChannel& ch = doc_.channels[number];
    const std::string& name = S(C::Name).text;
    for (size_t i = 0; i < kNameLength; ++i) {
        ch.SetByte(off::kChannelName + i,
                   i < name.size() ? static_cast<uint8_t>(name[i]) : uint8_t{' '});
    }
    if (Sel(C::Type) == choice::kScan) {
        WriteScan(ch);
    } else {
        WriteFixed(ch);
    }
    doc_.channels.lastChannel = number;
    doc_.SetModified(true);
}

void ChannelSettings::WriteFixed(CChannel& ch) {
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetByte(off::kOperationMode,
               static_cast<uint8_t>(kOperationValues[static_cast<size_t>(Sel(C::Mode))]));
    ch.SetByte(off::kControlMode,
               static_cast<uint8_t>(kControlValues[static_cast<size_t>(Sel(C::Control))]));
    ch.SetByte(off::kTxAlgorithmId,
               static_cast<uint8_t>(kAlgorithmValues[static_cast<size_t>(Sel(C::AlgorithmId))]));
    if (Sel(C::CourtesyTone) >= 0) {
        ch.SetByte(
            off::kCourtesyTone,
            static_cast<uint8_t>(kCourtesyToneValues[static_cast<size_t>(Sel(C::CourtesyTone))]));
    }
    const bool cdcss = Sel(C::SquelchSystem) == choice::kCdcss;
    const bool group = On(C::GroupEnable);
    ch.SetByte(off::kSquelchSystem,
               group ? (cdcss ? val::kSquelchCdcssGroup : val::kSquelchCtcssGroup)
                     : (cdcss ? val::kSquelchCdcss : val::kSquelchCtcss));
    const bool narrow = Sel(C::Bandwidth) == choice::kNarrowband;
    model::Signal signal = model::Signal::WidebandFm;
    switch (Sel(C::SignalType)) {
        case choice::kProject25:
            signal = model::Signal::Apco25;
            break;
        case choice::kAutosense:
            signal = narrow ? model::Signal::AutoNarrowband : model::Signal::AutoWideband;
            break;
        case choice::kCvsdDesXl:
            signal = model::Signal::CvsdDesXl;
            break;
        default:
            signal = narrow ? model::Signal::NarrowbandFm : model::Signal::WidebandFm;
            break;
    }
    ch.SetByte(off::kSignalType, model::CodeValue(signal));
    ch.SetByte(off::kLinkRadio, On(C::LinkRadio) ? val::kFlagOn : val::kFlagOff);
    ch.SetByte(off::kFrontPanelPtt, On(C::FrontPanelPtt) ? val::kFlagOn : val::kFlagOff);
    ch.SetByte(off::kHalfDuplex, On(C::HalfDuplex) ? val::kFlagOn : val::kFlagOff);
    ch.SetByte(off::kReverseBurst, On(C::ReverseBurst) ? val::kFlagOn : val::kFlagOff);

    PutCode(ch, off::kTxKeyId, 2, F(C::KeyId).Content());
    PutBcd(ch, off::kRxFrequency, 5, FrequencyHz(F(C::RxFrequency).Content()));
    PutBcd(ch, off::kTxFrequency, 5, FrequencyHz(F(C::TxFrequency).Content()));
    PutBcd(ch, off::kPttTail, 2, Scaled(F(C::PttTail).Content(), 1));
    PutBcd(ch, off::kPttDelay, 2, Scaled(F(C::PttDelay).Content(), 3));
    PutBcd(ch, off::kPttTimeout, 2, Scaled(F(C::PttTimeout).Content(), 0));
    PutBcd(ch, off::kCourtesyTimer, 2, Scaled(F(C::CourtesyTimer).Content(), 2));
    PutCode(ch, off::kTalkgroupId, 2, F(C::TalkgroupId).Content());
    PutCode(ch, off::kUnitId, 3, F(C::UnitId).Content());
    PutCode(ch, off::kPowerWatts, 2, F(C::Power).Content());
    PutCode(ch, off::kSquelchLevel, 1, F(C::SquelchLevel).Content());

    ch.SetWord(off::kRxNac, static_cast<uint16_t>(CodeValueOf(F(C::RxNac).Content())));
    ch.SetWord(off::kTxNac, static_cast<uint16_t>(CodeValueOf(F(C::TxNac).Content())));

    for (C id : {C::RxTone, C::TxTone}) {
        const int entry = F(id).EntryOf(F(id).Content());
        uint16_t code = 0;
        if (entry == 0) {
            code = val::kAnyCode;
        } else if (entry > 0) {
            // An inverted side stores the code of the normal table.
            const char* text = cdcss ? model::kCdcssCodes[static_cast<size_t>(entry)]
                                     : model::kCtcssTones[static_cast<size_t>(entry)];
            uint8_t bytes[2] = {};
            model::DecimalParse(text, bytes, 2);
            code = static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
        }
        ch.SetWord(id == C::RxTone ? off::kRxCxcss : off::kTxCxcss, code);
    }
    if (group && Sel(C::SquelchGroup) >= 0) {
        const int g = groupNumbers_[static_cast<size_t>(Sel(C::SquelchGroup))];
        ch.SetWord(off::kRxCxcss,
                   static_cast<uint16_t>(val::kGroupCode | ((g / 10) << 4) | (g % 10)));
    }

    const uint8_t invert = static_cast<uint8_t>((On(C::RxInvert) ? val::kInvertRx : 0) |
                                                (On(C::TxInvert) ? val::kInvertTx : 0));
    ch.SetByte(off::kCdcssInvert, invert);
    ch.text.rxInvert = On(C::RxInvert) ? "1" : "0";
    ch.text.txInvert = On(C::TxInvert) ? "1" : "0";
    uint8_t autosense =
        Sel(C::TransmitType) == choice::kAnalog ? val::kAutosenseAnalog : val::kAutosenseDigital;
    if (On(C::TxAsRx)) {
        autosense |= val::kAutosenseTxAsRx;
    }
    ch.SetByte(off::kAutosenseTx, autosense);
    // A fixed channel lists nothing: a count left from a scan channel would
    // make the next CSV export turn it back into one.
    ch.SetScanRefCount(0);
}

void ChannelSettings::WriteScan(CChannel& ch) {
    ch.SetKind(model::ChannelKind::Scan);
    const size_t count = std::min(scan_.size(), static_cast<size_t>(model::kMaxScanRefs));
    for (size_t i = 0; i < count; ++i) {
        uint8_t number[2] = {};
        model::CodeParse(scan_[i].channel, number, 2);
        uint8_t dwell[1] = {};
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02lld", Scaled(scan_[i].dwell, 1));
        model::DecimalParse(digits, dwell, 1);
        ch.SetScanRef(static_cast<int>(i), static_cast<uint16_t>((number[0] << 8) | number[1]),
                      dwell[0]);
    }
    ch.SetScanRefCount(static_cast<uint16_t>(count));
}

}  // namespace quillon::edit
