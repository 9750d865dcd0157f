#include "model/CChannel.h"

#include <algorithm>
#include <cstdio>

#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {

const char* FromTable(uint8_t v, const char* const* names, size_t count) {
    return v < count ? names[v] : names[0];
}

std::string OneOrZero(uint8_t v) {
    // D(1, 0, 1, 0): "01" -> "1", "00" -> "0".
    return DecimalForm(&v, 1, 0, 1, 0);
}

}  // namespace

void CChannel::Clear() {
    image_.fill(0);
    std::array<ScanRefText, kMaxScanRefs> refs = std::move(text.scanRefs);
    text = ChannelTexts{};
    text.scanRefs = std::move(refs);
    SetWord(off::kTalkgroupId, 0x0001);
    image_[off::kAutosenseTx] = val::kAutosenseAnalog;
    image_[off::kSquelchSystem] = val::kSquelchCtcss;
    SetWord(off::kPowerWatts, 0x0050);
    image_[off::kSquelchLevel] = 0x03;
    text.rxInvert = "0";
    text.txInvert = "0";
}

void CChannel::AssignImage(const CChannel& other) {
    if (&other != this) {
        image_ = other.image_;
    }
}

uint16_t CChannel::Word(size_t offset) const {
    return static_cast<uint16_t>((image_[offset] << 8) | image_[offset + 1]);
}

void CChannel::SetWord(size_t offset, uint16_t v) {
    image_[offset] = static_cast<uint8_t>(v >> 8);
    image_[offset + 1] = static_cast<uint8_t>(v);
}

uint16_t CChannel::ScanRefCount() const {
    return static_cast<uint16_t>(image_[off::kScanRefCount] |
                                 (image_[off::kScanRefCount + 1] << 8));
}

void CChannel::SetScanRefCount(uint16_t n) {
    image_[off::kScanRefCount] = static_cast<uint8_t>(n);
    image_[off::kScanRefCount + 1] = static_cast<uint8_t>(n >> 8);
}

int CChannel::ValidScanRefs() const {
    return std::min<int>(ScanRefCount(), kMaxScanRefs);
}

uint16_t CChannel::ScanRefChannel(int i) const {
    return Word(off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i));
}

uint8_t CChannel::ScanRefDwell(int i) const {
    return image_[off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i) + 2];
}

void CChannel::SetScanRef(int i, uint16_t channelBcd, uint8_t dwellBcd) {
    size_t at = off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i);
    SetWord(at, channelBcd);
    image_[at + 2] = dwellBcd;
}

int CChannel::ScanRefChannelNumber(int i) const {
    size_t at = off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i);
    return LeadingDecimal(DecimalForm(&image_[at], 2, 0, 1, 0));
}

void CChannel::SetNameBytes(const std::string& name) {
    for (size_t i = 0; i < 8; ++i) {
        image_[off::kChannelName + i] = i < name.size() ? static_cast<uint8_t>(name[i]) : 0;
    }
}

void CChannel::SetNumber(unsigned n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04u", n % 10000);
    CodeParse(digits, &image_[off::kChannelNumber], 2);
}

std::string CChannel::NameText() const {
    size_t i = 0;
    while (i < 8 && (image_[off::kChannelName + i] == ' ' || image_[off::kChannelName + i] == 0)) {
        ++i;
    }
    std::string s;
    for (; i < 8 && image_[off::kChannelName + i] != 0; ++i) {
        s.push_back(static_cast<char>(image_[off::kChannelName + i]));
    }
    return s;
}

void CChannel::RefreshText() {
    const uint8_t* b = image_.data();
    text.name.clear();
    for (size_t i = 0; i < 8 && b[off::kChannelName + i] != 0; ++i) {
        text.name.push_back(static_cast<char>(b[off::kChannelName + i]));
    }
    text.kind = IsFixed() ? "fixed" : IsScan() ? "scan" : "empty";

    if (IsFixed()) {
        uint8_t sq = SquelchSystem();
        text.signalTypeName =
            FromTable(SignalType(), msg::kSignalTypeNames.data(), msg::kSignalTypeNames.size());
        text.squelchSystemName =
            FromTable(sq, msg::kSquelchSystemNames.data(), msg::kSquelchSystemNames.size());
        text.operationModeName =
            OperationMode() == val::kRepeater ? msg::kRepeater : msg::kBasestation;
        text.controlName =
            FromTable(ControlMode(), msg::kControlNames.data(), msg::kControlNames.size());

        text.rxFrequency = DecimalForm(b + off::kRxFrequency, 5, 4, 4, 3);
        text.rxNac = CodeForm(b + off::kRxNac, 2, 1, true);
        if (sq == val::kSquelchCtcssGroup || sq == val::kSquelchCdcssGroup) {
            std::string s = CodeForm(b + off::kRxCxcss, 2, 3, false);
            text.rxTone = s.size() > 2 ? s.substr(s.size() - 2) : s;
        } else if (sq == val::kSquelchCdcss) {
            text.rxTone = CodeForm(b + off::kRxCxcss, 2, 1, false);
        } else {
            text.rxTone = DecimalForm(b + off::kRxCxcss, 2, 3, 0, 0);
        }
        text.txFrequency = DecimalForm(b + off::kTxFrequency, 5, 4, 4, 3);
        text.txNac = CodeForm(b + off::kTxNac, 2, 1, true);
        if (sq == val::kSquelchCdcss || sq == val::kSquelchCdcssGroup) {
            text.txTone = CodeForm(b + off::kTxCxcss, 2, 1, false);
        } else {
            text.txTone = DecimalForm(b + off::kTxCxcss, 2, 3, 0, 0);
        }
        text.power = DecimalForm(b + off::kPowerWatts, 2, 0, 3, 0);
        text.squelchLevel = DecimalForm(b + off::kSquelchLevel, 1, 0, 0, 0);
        text.talkgroup = CodeForm(b + off::kTalkgroupId, 2, 0, true);
        text.unitId = CodeForm(b + off::kUnitId, 3, 0, true);
        text.keyId = CodeForm(b + off::kTxKeyId, 2, 0, true);
        text.algorithm = b[off::kTxAlgorithmId] == CodeValue(Algorithm::DesOfb)
                             ? msg::kAlgorithmDesOfb
                             : msg::kAlgorithmNone;
        text.pttDelay = DecimalForm(b + off::kPttDelay, 2, 1, 0, 0);
        text.pttTimeout = CodeForm(b + off::kPttTimeout, 2, 3, false);
        text.pttTail = DecimalForm(b + off::kPttTail, 2, 3, 2, 0);
        text.courtesyTimer = DecimalForm(b + off::kCourtesyTimer, 2, 2, 1, 0);
        text.reverseBurst = OneOrZero(b[off::kReverseBurst]);
        text.halfDuplex = OneOrZero(b[off::kHalfDuplex]);
        text.frontPanel = OneOrZero(b[off::kFrontPanelPtt]);
        text.linkRadio = OneOrZero(b[off::kLinkRadio]);
        uint8_t tone = b[off::kCourtesyTone];
        if (tone >= CodeValue(CourtesyTone::None) && tone <= CodeValue(CourtesyTone::Hz2500)) {
            text.courtesyToneName = msg::kCourtesyToneNames[tone];
        }
        text.rxInvert = (b[off::kCdcssInvert] & val::kInvertRx) ? "1" : "0";
        text.txInvert = (b[off::kCdcssInvert] & val::kInvertTx) ? "1" : "0";
        text.autosenseName =
            (b[off::kAutosenseTx] & val::kAutosenseDigital) ? msg::kDigital : msg::kAnalog;
    } else if (IsScan()) {
        text.scanCount = std::to_string(ScanRefCount());
        for (int i = 0; i < ValidScanRefs(); ++i) {
            size_t at = off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i);
            text.scanRefs[static_cast<size_t>(i)].channel = DecimalForm(b + at, 2, 0, 1, 0);
            text.scanRefs[static_cast<size_t>(i)].dwell = DecimalForm(b + at + 2, 1, 1, 0, 0);
        }
    }
}

void CChannel::ApplyLegacyText() {
    uint8_t* b = image_.data();
    SetNameBytes(text.name);
    if (EqualsNoCase(text.kind, "real")) {
        SetKind(ChannelKind::Fixed);
    } else if (EqualsNoCase(text.kind, "pseudo")) {
        SetKind(ChannelKind::Scan);
    } else {
        return;
    }

    if (IsScan()) {
        // Clamped at both ends: a negative count must not become 0xFFFx in
        // the 16-bit field.
        int count = std::clamp(LeadingDecimal(text.scanCount), 0, kMaxScanRefs);
        SetScanRefCount(static_cast<uint16_t>(count));
        for (int i = 0; i < count; ++i) {
            size_t at = off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i);
            DecimalParse(text.scanRefs[static_cast<size_t>(i)].channel, b + at, 2);
            DecimalParse(text.scanRefs[static_cast<size_t>(i)].dwell, b + at + 2, 1);
        }
        return;
    }

    const std::string& kw = text.signalKeyword;
    const std::string& bw = text.bandwidth;
    bool narrow = bw == "12.5" || bw == "15";
    bool wide = bw == "25" || bw == "30";
    Signal signal = Signal::Apco25;
    Squelch squelch = Squelch::Ctcss;
    if ((kw == "ctcss" || kw == "cdcss") && (narrow || wide)) {
        signal = narrow ? Signal::NarrowbandFm : Signal::WidebandFm;
        squelch = kw == "ctcss" ? Squelch::Ctcss : Squelch::Cdcss;
    } else if ((kw == "autoctcss" || kw == "autocdcss") && (narrow || wide)) {
        signal = narrow ? Signal::AutoNarrowband : Signal::AutoWideband;
        squelch = kw == "autoctcss" ? Squelch::Ctcss : Squelch::Cdcss;
    } else if (kw == "cvsd" && wide) {
        signal = Signal::CvsdDesXl;
        squelch = Squelch::None;
    }
    b[off::kSignalType] = CodeValue(signal);
    b[off::kSquelchSystem] = CodeValue(squelch);

    b[off::kOperationMode] =
        CodeValue(text.operationKeyword == "rp" ? Operation::Repeater : Operation::Basestation);
    const std::string& ck = text.controlKeyword;
    b[off::kControlMode] = CodeValue(ck == "local"      ? Control::Local
                                     : ck == "remote"   ? Control::ToneRemote
                                     : ck == "line"     ? Control::Line
                                     : ck == "network"  ? Control::Network
                                     : ck == "fsiap-25" ? Control::Fsiap25
                                                        : Control::None);

    FrequencyParse(text.rxFrequency, b + off::kRxFrequency);
    CodeParse(EqualsNoCase(text.rxNac, "Any") ? std::string("0xf000") : text.rxNac, b + off::kRxNac,
              2);
    if (EqualsNoCase(text.rxTone, "Any") || text.rxTone == "0659" || text.rxTone == "f000") {
        SetWord(off::kRxCxcss, val::kAnyCode);
    } else {
        DecimalParse(text.rxTone, b + off::kRxCxcss, 2);
    }

    FrequencyParse(text.txFrequency, b + off::kTxFrequency);
    CodeParse(text.txNac.find("RX") != std::string::npos ? std::string("0xf000") : text.txNac,
              b + off::kTxNac, 2);
    if (text.txTone.find("RX") != std::string::npos || text.txTone == "0659" ||
        text.txTone == "f000") {
        SetWord(off::kTxCxcss, val::kAnyCode);
    } else {
        DecimalParse(text.txTone, b + off::kTxCxcss, 2);
    }

    CodeParse(text.power, b + off::kPowerWatts, 2);
    CodeParse(text.talkgroup, b + off::kTalkgroupId, 2);
    CodeParse(text.unitId, b + off::kUnitId, 3);
    CodeParse(text.keyId, b + off::kTxKeyId, 2);
    CodeParse(text.squelchLevel, b + off::kSquelchLevel, 1);
    DecimalParse(text.pttDelay, b + off::kPttDelay, 2);
    DecimalParse(text.pttTimeout, b + off::kPttTimeout, 2);
    DecimalParse(text.pttTail, b + off::kPttTail, 2);
    DecimalParse(text.courtesyTimer, b + off::kCourtesyTimer, 2);

    b[off::kTxAlgorithmId] = CodeValue(
        (text.algorithm == "0x81" || EqualsNoCase(text.algorithm, "DWS-OFB")) ? Algorithm::DesOfb
                                                                              : Algorithm::None);

    auto flag = [](const std::string& t) {
        return LeadingDecimal(t) != 0 ? val::kFlagOn : val::kFlagOff;
    };
    b[off::kFrontPanelPtt] = flag(text.frontPanel);
    b[off::kLinkRadio] = flag(text.linkRadio);
    b[off::kHalfDuplex] = flag(text.halfDuplex);
    b[off::kReverseBurst] = flag(text.reverseBurst);

    for (size_t i = 0; i < 16 && i < text.legacyText.size(); ++i) {
        b[off::kLegacyText + i] = static_cast<uint8_t>(text.legacyText[i]);
    }
    b[off::kLegacyCode] = CodeValue(text.legacyCode == "15"   ? LegacyCode::Band15
                                    : text.legacyCode == "30" ? LegacyCode::Band30
                                                              : LegacyCode::Plain);

    const std::string& ct = text.courtesyToneName;
    b[off::kCourtesyTone] =
        CodeValue((EqualsNoCase(ct, "400hz") || ct == "400")     ? CourtesyTone::Hz400
                  : (EqualsNoCase(ct, "1000hz") || ct == "1000") ? CourtesyTone::Hz1000
                  : (EqualsNoCase(ct, "2500hz") || ct == "2500") ? CourtesyTone::Hz2500
                                                                 : CourtesyTone::None);

    uint8_t invert = 0;
    if (text.rxInvert == "1") {
        invert |= val::kInvertRx;
    }
    if (text.txInvert == "1") {
        invert |= val::kInvertTx;
    }
    b[off::kCdcssInvert] = invert;
    b[off::kAutosenseTx] = EqualsNoCase(text.autosenseName, "digital") ? val::kAutosenseDigital
                                                                       : val::kAutosenseAnalog;
    SetScanRefCount(0);
}

void CChannel::PrepareImport() {
    text.kind = LeadingDecimal(text.scanCount) <= 0 ? "real" : "pseudo";

    const std::string& sig = text.signalTypeName;
    bool cdcss = EqualsNoCase(text.squelchSystemName, "CDCSS");
    if (EqualsNoCase(sig, "Narrowband FM") || EqualsNoCase(sig, "Wideband FM")) {
        text.signalKeyword = cdcss ? "cdcss" : "ctcss";
        text.bandwidth = EqualsNoCase(sig, "Narrowband FM") ? "12.5" : "25";
    } else if (EqualsNoCase(sig, "Auto Narrowband") || EqualsNoCase(sig, "Auto Wideband")) {
        text.signalKeyword = cdcss ? "autocdcss" : "autoctcss";
        text.bandwidth = EqualsNoCase(sig, "Auto Narrowband") ? "12.5" : "25";
    } else if (EqualsNoCase(sig, "CVSD/DES-XL")) {
        text.signalKeyword = "cvsd";
        text.bandwidth = "25";
    } else {
        text.signalKeyword = "apco25";
        text.bandwidth = "12.5";
    }

    text.operationKeyword = EqualsNoCase(text.operationModeName, "basestation") ? "bs" : "rp";

    const std::string& c = text.controlName;
    text.controlKeyword = EqualsNoCase(c, "Local")      ? "local"
                          : EqualsNoCase(c, "Tone Rmt") ? "remote"
                          : EqualsNoCase(c, "Line")     ? "line"
                          : EqualsNoCase(c, "Network")  ? "network"
                          : EqualsNoCase(c, "FSIAP-25") ? "fsiap-25"
                                                        : "none";
    ApplyLegacyText();
}

int CChannel::RemoveReferencesTo(int n) {
    // Only a scan channel's bytes 11 to 34 are references; on any other kind
    // they are fixed-channel fields that must not be shuffled.
    if (!IsScan()) {
        return 0;
    }
    int kept = 0;
    int dropped = 0;
    for (int i = 0; i < ValidScanRefs(); ++i) {
        if (ScanRefChannelNumber(i) == n) {
            ++dropped;
            continue;
        }
        if (kept != i) {
            SetScanRef(kept, ScanRefChannel(i), ScanRefDwell(i));
        }
        ++kept;
    }
    SetScanRefCount(static_cast<uint16_t>(kept));
    text.scanCount = std::to_string(kept);
    return dropped;
}

}  // namespace quillon::model
