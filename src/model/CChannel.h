#pragma once
// One slot of the channel table: the 78-byte channel image the card holds
// (plus the scan reference count) and the texts derived from it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::model {

inline constexpr size_t kChannelImageSize = 78;
inline constexpr int kMaxScanRefs = 8;
using ChannelImage = std::array<uint8_t, kChannelImageSize>;

enum class ChannelKind : uint8_t { Empty = 0, Fixed = 1, Scan = 2 };

// Offsets of the fields of the channel image. Multi-byte numbers are most
// significant byte first, except the scan reference count.
namespace off {
inline constexpr size_t kChannelNumber = 0;   // 2, BCD
inline constexpr size_t kChannelName = 2;     // 8, ASCII
inline constexpr size_t kChannelKind = 10;    // 1
inline constexpr size_t kSignalType = 11;     // 1
inline constexpr size_t kTxFrequency = 12;    // 5, BCD Hz
inline constexpr size_t kRxFrequency = 17;    // 5, BCD Hz
inline constexpr size_t kSquelchSystem = 22;  // 1
inline constexpr size_t kTxNac = 23;          // 2
inline constexpr size_t kRxNac = 25;          // 2
inline constexpr size_t kTxCxcss = 27;        // 2
inline constexpr size_t kRxCxcss = 29;        // 2
inline constexpr size_t kOperationMode = 31;  // 1
inline constexpr size_t kControlMode = 32;    // 1
inline constexpr size_t kFrontPanelPtt = 33;  // 1
inline constexpr size_t kLinkRadio = 34;      // 1
inline constexpr size_t kTxKeyId = 35;        // 2
inline constexpr size_t kTxAlgorithmId = 37;  // 1
inline constexpr size_t kTalkgroupId = 38;    // 2
inline constexpr size_t kPowerWatts = 40;     // 2, BCD
inline constexpr size_t kLegacyText = 42;     // 16
inline constexpr size_t kLegacyCode = 58;     // 1
inline constexpr size_t kPttDelay = 59;       // 2, BCD ms
inline constexpr size_t kCourtesyTimer = 61;  // 2, BCD 1/100 s
inline constexpr size_t kPttTail = 63;        // 2, BCD 1/10 s
inline constexpr size_t kCourtesyTone = 65;   // 1
inline constexpr size_t kPttTimeout = 66;     // 2, BCD s
inline constexpr size_t kHalfDuplex = 68;     // 1
inline constexpr size_t kUnitId = 69;         // 3
inline constexpr size_t kReverseBurst = 72;   // 1
inline constexpr size_t kCdcssInvert = 73;    // 1
inline constexpr size_t kAutosenseTx = 74;    // 1
inline constexpr size_t kSquelchLevel = 75;   // 1, BCD
inline constexpr size_t kScanRefCount = 76;   // 2, least significant byte first
inline constexpr size_t kScanRefs = 11;       // 8 x 3: channel (2, BCD), dwell (1, BCD)
inline constexpr size_t kScanRefSize = 3;
}  // namespace off

// The codes the channel image holds, with the numbers the card and the
// document files use.
enum class Signal : uint8_t {
    Apco25 = 1,
    WidebandFm = 2,
    NarrowbandFm = 3,
    AutoNarrowband = 4,
    AutoWideband = 5,
    CvsdDesXl = 6,
};
enum class Squelch : uint8_t { None = 0, Ctcss = 1, Cdcss = 2, CtcssGroup = 3, CdcssGroup = 4 };
enum class Operation : uint8_t { Basestation = 1, Repeater = 2 };
enum class Control : uint8_t {
    None = 1,
    Local = 2,
    ToneRemote = 3,
    Line = 4,
    Network = 5,
    Fsiap25 = 6,
};
enum class CourtesyTone : uint8_t { None = 1, Hz400 = 2, Hz1000 = 3, Hz2500 = 4 };
enum class Algorithm : uint8_t { None = 0, DesOfb = 1 };
// What the importer stores in legacyCode, from the legacy code text.
enum class LegacyCode : uint8_t { Plain = 1, Band15 = 2, Band30 = 3 };

// The number a code stands for in the image.
template <typename Code>
constexpr uint8_t CodeValue(Code c) {
    return static_cast<uint8_t>(c);
}

// Analogue and autosense channels use the squelch system; Project 25 and
// CVSD/DES-XL channels do not.
constexpr bool IsAnalogueOrAutosense(uint8_t signalType) {
    return signalType >= CodeValue(Signal::WidebandFm) &&
           signalType <= CodeValue(Signal::AutoWideband);
}

// Image values with names of their own.
namespace val {
inline constexpr uint8_t kSquelchNone = CodeValue(Squelch::None);
inline constexpr uint8_t kSquelchCtcss = CodeValue(Squelch::Ctcss);
inline constexpr uint8_t kSquelchCdcss = CodeValue(Squelch::Cdcss);
inline constexpr uint8_t kSquelchCtcssGroup = CodeValue(Squelch::CtcssGroup);
inline constexpr uint8_t kSquelchCdcssGroup = CodeValue(Squelch::CdcssGroup);
inline constexpr uint8_t kRepeater = CodeValue(Operation::Repeater);
inline constexpr uint8_t kBasestation = CodeValue(Operation::Basestation);
inline constexpr uint8_t kControlToneRemote = CodeValue(Control::ToneRemote);
inline constexpr uint16_t kAnyCode = 0xF000;  // "Any" on receive, "As RX" on transmit
// A squelch group n in a tone field: 0xF0 and n in two BCD digits.
inline constexpr uint16_t kGroupCode = 0xF000;
inline constexpr int kFirstGroup = 1;
inline constexpr int kLastGroup = 16;
inline constexpr uint8_t kInvertRx = 0x01;
inline constexpr uint8_t kInvertTx = 0x02;
inline constexpr uint8_t kAutosenseDigital = 0x01;
inline constexpr uint8_t kAutosenseAnalog = 0x02;
inline constexpr uint8_t kAutosenseTxAsRx = 0x04;
inline constexpr uint8_t kFlagOn = 1;
inline constexpr uint8_t kFlagOff = 0;
}  // namespace val

struct ScanRefText {
    std::string channel;
    std::string dwell;
};

// The channel's texts, in the order the record has always declared them.
// RefreshText derives the display texts from the image; the CSV importer
// fills them and ApplyLegacyText / PrepareImport turn them into the image.
struct ChannelTexts {
    std::string kind;              // "fixed"/"scan"/"empty"; legacy "real"/"pseudo"
    std::string signalKeyword;     // legacy: "apco25", "ctcss", "cdcss", ...
    std::string bandwidth;         // legacy: "12.5", "15", "25", "30"
    std::string operationKeyword;  // legacy: "rp", "bs"
    std::string controlKeyword;    // legacy: "local", "remote", ...
    std::string rxFrequency;
    std::string rxNac;
    std::string rxTone;
    std::string txFrequency;
    std::string txNac;
    std::string txTone;
    std::string power;
    std::string talkgroup;
    std::string algorithm;
    std::string keyId;
    std::string pttDelay;
    std::string pttTimeout;
    std::string pttTail;
    std::string courtesyTimer;
    std::string linkRadio;
    std::string legacyText;
    std::string legacyCode;
    std::string unused;
    std::string frontPanel;
    std::string scanCount;
    std::array<ScanRefText, kMaxScanRefs> scanRefs;
    std::string name;
    std::string signalTypeName;
    std::string squelchSystemName;
    std::string operationModeName;
    std::string controlName;
    std::string unitId;
    std::string halfDuplex;
    std::string reverseBurst;
    std::string courtesyToneName;
    std::string rxInvert;
    std::string txInvert;
    std::string autosenseName;
    std::string squelchLevel;
};

class CChannel {
  public:
    CChannel() { Clear(); }
    virtual ~CChannel() = default;
    CChannel(const CChannel&) = default;
    CChannel& operator=(const CChannel&) = default;

    // Empty slot with the editing defaults (talkgroup 1, CTCSS, Analog,
    // 50 W, squelch level 03).
    void Clear();
    // Copies the whole image (not the texts) from another channel.
    void AssignImage(const CChannel& other);
    // Image to texts.
    void RefreshText();
    // Legacy keywords and texts to image.
    void ApplyLegacyText();
    // Display names to legacy keywords, then ApplyLegacyText.
    void PrepareImport();
    // Writes n as four BCD digits into channelNumber.
    void SetNumber(unsigned n);
    // The name for lists: leading spaces and NULs skipped, up to the first NUL.
    std::string NameText() const;
    // Drops every scan reference to channel n; returns how many were dropped.
    int RemoveReferencesTo(int n);

    // --- the image ---------------------------------------------------------
    ChannelImage& Image() { return image_; }
    const ChannelImage& Image() const { return image_; }

    uint8_t Byte(size_t offset) const { return image_[offset]; }
    void SetByte(size_t offset, uint8_t v) { image_[offset] = v; }
    uint16_t Word(size_t offset) const;  // most significant byte first
    void SetWord(size_t offset, uint16_t v);

    uint8_t KindByte() const { return image_[off::kChannelKind]; }
    void SetKind(ChannelKind k) { image_[off::kChannelKind] = static_cast<uint8_t>(k); }
    bool IsFixed() const { return KindByte() == static_cast<uint8_t>(ChannelKind::Fixed); }
    bool IsScan() const { return KindByte() == static_cast<uint8_t>(ChannelKind::Scan); }
    bool IsUsed() const { return IsFixed() || IsScan(); }

    uint8_t SignalType() const { return image_[off::kSignalType]; }
    uint8_t SquelchSystem() const { return image_[off::kSquelchSystem]; }
    uint8_t OperationMode() const { return image_[off::kOperationMode]; }
    uint8_t ControlMode() const { return image_[off::kControlMode]; }
    uint16_t RxNac() const { return Word(off::kRxNac); }
    uint16_t TxNac() const { return Word(off::kTxNac); }
    uint16_t RxCxcss() const { return Word(off::kRxCxcss); }
    uint16_t TxCxcss() const { return Word(off::kTxCxcss); }
    uint16_t TalkgroupId() const { return Word(off::kTalkgroupId); }
    uint8_t SquelchLevel() const { return image_[off::kSquelchLevel]; }

    // The stored count (0 to 8 in anything this program writes).
    uint16_t ScanRefCount() const;
    void SetScanRefCount(uint16_t n);
    // The count bounded to the eight reference slots, for walking them.
    int ValidScanRefs() const;
    // Referenced channel and dwell of reference i, as stored (BCD).
    uint16_t ScanRefChannel(int i) const;
    uint8_t ScanRefDwell(int i) const;
    void SetScanRef(int i, uint16_t channelBcd, uint8_t dwellBcd);
    // The referenced channel read as the lists show it ("005" -> 5).
    int ScanRefChannelNumber(int i) const;

    // Name bytes from a text: at most 8 characters, NUL after.
    void SetNameBytes(const std::string& name);

    ChannelTexts text;

  private:
    ChannelImage image_{};
};

// The document's default channel record: same members, kept only because the
// document has always carried one.
class CDefchan : public CChannel {};

}  // namespace quillon::model
