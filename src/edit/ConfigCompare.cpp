#include "edit/ConfigCompare.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>

#include "edit/ChannelControls.h"
#include "edit/ChannelSettings.h"
#include "edit/CompareMessages.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::edit {

namespace {

using model::CChannel;
using model::CTmpDoc;
namespace off = model::off;
namespace val = model::val;

enum class Applies { Any, Fixed, Scan };

// One field of the channel image: the bytes it lives in (a mask picks bits
// of a one-byte field) and its text as the user sees it.
struct ChannelField {
    std::string label;
    size_t offset;
    size_t size;
    uint8_t mask;
    Applies applies;
    std::function<std::string(const CChannel&)> text;
};

std::string Hex(const uint8_t* bytes, size_t n, uint8_t mask) {
    std::string s = "0x";
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, "%02x", static_cast<unsigned>(bytes[i] & mask));
        s += two;
    }
    return s;
}

std::string YesNo(bool on) {
    return on ? cmp::kYes : cmp::kNo;
}

// The dialog's choice for an image value, or the value itself in hex when
// no choice stands for it.
template <size_t N>
std::string Choice(ChannelControl id, const std::array<int, N>& values, uint8_t v) {
    const std::vector<std::string>& choices = ChoicesOf(id);
    for (size_t i = 0; i < N && i < choices.size(); ++i) {
        if (values[i] == v) {
            return choices[i];
        }
    }
    return Hex(&v, 1, 0xFF);
}

std::string AnyOr(const CChannel& ch, size_t offset, const char* anyText, const std::string& t) {
    return ch.Word(offset) == val::kAnyCode ? std::string(anyText) : t;
}

std::string Label(ChannelControl id) {
    return InfoOf(id).label;
}

std::vector<ChannelField> MakeChannelFields() {
    using C = ChannelControl;
    const Applies any = Applies::Any;
    const Applies fixed = Applies::Fixed;
    const Applies scan = Applies::Scan;
    std::vector<ChannelField> f = {
        {Label(C::Number), off::kChannelNumber, 2, 0xFF, any,
         [](const CChannel& c) {
             return model::DecimalForm(c.Image().data() + off::kChannelNumber, 2, 0, 1, 0);
         }},
        {Label(C::Name), off::kChannelName, 8, 0xFF, any,
         [](const CChannel& c) { return c.text.name; }},
        {Label(C::Type), off::kChannelKind, 1, 0xFF, any,
         [](const CChannel& c) {
             return c.IsFixed()         ? std::string(cmp::kFixed)
                    : c.IsScan()        ? std::string(cmp::kScan)
                    : c.KindByte() == 0 ? std::string(cmp::kEmpty)
                                        : Hex(c.Image().data() + off::kChannelKind, 1, 0xFF);
         }},
        {Label(C::Mode), off::kOperationMode, 1, 0xFF, fixed,
         [](const CChannel& c) { return Choice(C::Mode, kOperationValues, c.OperationMode()); }},
        {Label(C::Control), off::kControlMode, 1, 0xFF, fixed,
         [](const CChannel& c) { return Choice(C::Control, kControlValues, c.ControlMode()); }},
        {Label(C::SignalType), off::kSignalType, 1, 0xFF, fixed,
         [](const CChannel& c) { return c.text.signalTypeName; }},
        {Label(C::SquelchSystem), off::kSquelchSystem, 1, 0xFF, fixed,
         [](const CChannel& c) { return c.text.squelchSystemName; }},
        {Label(C::RxFrequency), off::kRxFrequency, 5, 0xFF, fixed,
         [](const CChannel& c) { return FrequencyText(FrequencyHz(c.text.rxFrequency)); }},
        {Label(C::TxFrequency), off::kTxFrequency, 5, 0xFF, fixed,
         [](const CChannel& c) { return FrequencyText(FrequencyHz(c.text.txFrequency)); }},
        {Label(C::RxNac), off::kRxNac, 2, 0xFF, fixed,
         [](const CChannel& c) { return AnyOr(c, off::kRxNac, cmp::kAny, c.text.rxNac); }},
        {Label(C::TxNac), off::kTxNac, 2, 0xFF, fixed,
         [](const CChannel& c) { return AnyOr(c, off::kTxNac, cmp::kAsRx, c.text.txNac); }},
        {Label(C::RxTone), off::kRxCxcss, 2, 0xFF, fixed,
         [](const CChannel& c) { return AnyOr(c, off::kRxCxcss, cmp::kAny, c.text.rxTone); }},
        {Label(C::TxTone), off::kTxCxcss, 2, 0xFF, fixed,
         [](const CChannel& c) { return AnyOr(c, off::kTxCxcss, cmp::kAsRx, c.text.txTone); }},
        {Label(C::RxInvert), off::kCdcssInvert, 1, val::kInvertRx, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kCdcssInvert) & val::kInvertRx); }},
        {Label(C::TxInvert), off::kCdcssInvert, 1, val::kInvertTx, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kCdcssInvert) & val::kInvertTx); }},
        {Label(C::TalkgroupId), off::kTalkgroupId, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.talkgroup; }},
        {Label(C::UnitId), off::kUnitId, 3, 0xFF, fixed,
         [](const CChannel& c) { return c.text.unitId; }},
        {Label(C::KeyId), off::kTxKeyId, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.keyId; }},
        {Label(C::AlgorithmId), off::kTxAlgorithmId, 1, 0xFF, fixed,
         [](const CChannel& c) {
             return Choice(C::AlgorithmId, kAlgorithmValues, c.Byte(off::kTxAlgorithmId));
         }},
        {Label(C::Power), off::kPowerWatts, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.power; }},
        {Label(C::SquelchLevel), off::kSquelchLevel, 1, 0xFF, fixed,
         [](const CChannel& c) { return c.text.squelchLevel; }},
        {Label(C::PttTimeout), off::kPttTimeout, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.pttTimeout; }},
        {Label(C::PttTail), off::kPttTail, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.pttTail; }},
        {Label(C::PttDelay), off::kPttDelay, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.pttDelay; }},
        // The dialog's "Tail (sec)" sits in the Courtesy Tone box; alone it
        // would read like the PTT tail, so the CSV column's name is used.
        {cmp::kCourtesyTimer, off::kCourtesyTimer, 2, 0xFF, fixed,
         [](const CChannel& c) { return c.text.courtesyTimer; }},
        {Label(C::CourtesyTone), off::kCourtesyTone, 1, 0xFF, fixed,
         [](const CChannel& c) {
             return Choice(C::CourtesyTone, kCourtesyToneValues, c.Byte(off::kCourtesyTone));
         }},
        {Label(C::LinkRadio), off::kLinkRadio, 1, 0xFF, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kLinkRadio) != 0); }},
        {Label(C::HalfDuplex), off::kHalfDuplex, 1, 0xFF, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kHalfDuplex) != 0); }},
        {Label(C::FrontPanelPtt), off::kFrontPanelPtt, 1, 0xFF, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kFrontPanelPtt) != 0); }},
        {Label(C::ReverseBurst), off::kReverseBurst, 1, 0xFF, fixed,
         [](const CChannel& c) { return YesNo(c.Byte(off::kReverseBurst) != 0); }},
        {Label(C::TransmitType), off::kAutosenseTx, 1,
         static_cast<uint8_t>(val::kAutosenseDigital | val::kAutosenseAnalog), fixed,
         [](const CChannel& c) { return c.text.autosenseName; }},
        {Label(C::TxAsRx), off::kAutosenseTx, 1, val::kAutosenseTxAsRx, fixed,
         [](const CChannel& c) {
             return YesNo(c.Byte(off::kAutosenseTx) & val::kAutosenseTxAsRx);
         }},
        {cmp::kLegacyText, off::kLegacyText, 16, 0xFF, fixed,
         [](const CChannel& c) { return Hex(c.Image().data() + off::kLegacyText, 16, 0xFF); }},
        {cmp::kLegacyCode, off::kLegacyCode, 1, 0xFF, fixed,
         [](const CChannel& c) { return Hex(c.Image().data() + off::kLegacyCode, 1, 0xFF); }},
        {model::msg::kCsvHeader[30], off::kScanRefCount, 2, 0xFF, scan,
         [](const CChannel& c) { return std::to_string(c.ScanRefCount()); }},
    };
    for (int i = 0; i < model::kMaxScanRefs; ++i) {
        const size_t at = off::kScanRefs + off::kScanRefSize * static_cast<size_t>(i);
        const size_t header = 31 + 2 * static_cast<size_t>(i);
        f.push_back({model::msg::kCsvHeader[header], at, 2, 0xFF, scan, [at](const CChannel& c) {
                         return model::DecimalForm(c.Image().data() + at, 2, 0, 1, 0);
                     }});
        f.push_back(
            {model::msg::kCsvHeader[header + 1], at + 2, 1, 0xFF, scan, [at](const CChannel& c) {
                 return model::DecimalForm(c.Image().data() + at + 2, 1, 1, 0, 0);
             }});
    }
    return f;
}

const std::vector<ChannelField>& ChannelFields() {
    static const std::vector<ChannelField> fields = MakeChannelFields();
    return fields;
}

bool AppliesTo(Applies a, const CChannel& c) {
    return a == Applies::Any || (a == Applies::Fixed && c.IsFixed()) ||
           (a == Applies::Scan && c.IsScan());
}

class ChannelComparer {
  public:
    ChannelComparer(const CompareOptions& options) {
        for (size_t b : options.ignoredChannelBytes) {
            if (b < model::kChannelImageSize) {
                ignored_[b] = true;
            }
        }
    }

    bool SameImage(const CChannel& a, const CChannel& b) const {
        for (size_t i = 0; i < model::kChannelImageSize; ++i) {
            if (!ignored_[i] && a.Byte(i) != b.Byte(i)) {
                return false;
            }
        }
        return true;
    }

    void Compare(int number, const CChannel& before, const CChannel& after,
                 std::vector<Difference>& out) const {
        if (SameImage(before, after)) {
            return;
        }
        CChannel a = before;
        CChannel b = after;
        a.RefreshText();
        b.RefreshText();
        char where[32];
        std::snprintf(where, sizeof where, cmp::kChannelWhere, number);
        std::array<bool, model::kChannelImageSize> covered{};
        for (const ChannelField& f : ChannelFields()) {
            const bool inA = AppliesTo(f.applies, a);
            const bool inB = AppliesTo(f.applies, b);
            if (!inA && !inB) {
                continue;
            }
            for (size_t i = 0; i < f.size; ++i) {
                covered[f.offset + i] = true;
            }
            std::string ta = inA ? f.text(a) : std::string();
            std::string tb = inB ? f.text(b) : std::string();
            bool differ = false;
            if (inA && inB) {
                differ = BytesDiffer(a, b, f);
                if (differ && ta == tb) {
                    // Same text from different bytes: the bytes are the
                    // difference the user is to see.
                    ta = Hex(a.Image().data() + f.offset, f.size, f.mask);
                    tb = Hex(b.Image().data() + f.offset, f.size, f.mask);
                }
            } else {
                // The slot changes kind: every field of the kind it has is
                // news, whatever bytes the other kind left there.
                differ = ta != tb;
            }
            if (differ) {
                out.push_back(Difference{CompareSection::Channel, number, where, f.label, ta, tb});
            }
        }
        for (size_t i = 0; i < model::kChannelImageSize; ++i) {
            if (!covered[i] && !ignored_[i] && a.Byte(i) != b.Byte(i)) {
                char field[32];
                std::snprintf(field, sizeof field, cmp::kRecordByte, static_cast<unsigned>(i));
                out.push_back(Difference{CompareSection::Channel, number, where, field,
                                         Hex(a.Image().data() + i, 1, 0xFF),
                                         Hex(b.Image().data() + i, 1, 0xFF)});
            }
        }
    }

  private:
    bool BytesDiffer(const CChannel& a, const CChannel& b, const ChannelField& f) const {
        for (size_t i = f.offset; i < f.offset + f.size; ++i) {
            if (!ignored_[i] && ((a.Byte(i) ^ b.Byte(i)) & f.mask) != 0) {
                return true;
            }
        }
        return false;
    }

    std::array<bool, model::kChannelImageSize> ignored_{};
};

std::string ItemText(const model::SquelchItem& it) {
    if (it.type == model::SquGroup::kNotUsed) {
        return model::msg::kSquelchItemTypeNames[model::SquGroup::kNotUsed];
    }
    std::string type = it.type > 0 && it.type < model::msg::kSquelchItemTypeNames.size()
                           ? model::msg::kSquelchItemTypeNames[it.type]
                           : "type " + std::to_string(it.type);
    return type + " " + it.value;
}

void CompareGroups(const model::SquGroup& a, const model::SquGroup& b,
                   std::vector<Difference>& out) {
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        const std::string where = cmp::kGroupWhere + std::to_string(g + 1);
        auto add = [&](const std::string& field, const std::string& ta, const std::string& tb) {
            if (ta != tb) {
                out.push_back(
                    Difference{CompareSection::SquelchGroup, g + 1, where, field, ta, tb});
            }
        };
        add(cmp::kGroupName, a.GetName(g), b.GetName(g));
        for (int i = 0; i < model::SquGroup::kItems; ++i) {
            add(cmp::kGroupItem + std::to_string(i + 1), ItemText(a.GetItem(g, i)),
                ItemText(b.GetItem(g, i)));
        }
    }
}

std::string FunctionText(uint8_t function) {
    switch (function) {
        case model::CToneRemote::kIncreaseAudio:
            return model::msg::kToneFunctionIncrease;
        case model::CToneRemote::kDecreaseAudio:
            return model::msg::kToneFunctionDecrease;
        case model::CToneRemote::kChannel:
            return cmp::kToneChannel;
        case model::CToneRemote::kUnassigned:
            return cmp::kToneUnassigned;
        default:
            return "function " + std::to_string(function);
    }
}

void CompareTones(const model::CToneRemote& a, const model::CToneRemote& b,
                  std::vector<Difference>& out) {
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const std::string where = cmp::kToneWhere + std::string(model::CToneRemote::ToneName(s));
        const model::ToneEntry ea = a.GetEntry(s);
        const model::ToneEntry eb = b.GetEntry(s);
        auto add = [&](const char* field, const std::string& ta, const std::string& tb) {
            if (ta != tb) {
                out.push_back(Difference{CompareSection::ToneRemote, s, where, field, ta, tb});
            }
        };
        add(cmp::kToneFunction, FunctionText(ea.function), FunctionText(eb.function));
        // Only a Channel tone has an argument that means anything.
        const bool channelA = ea.function == model::CToneRemote::kChannel;
        const bool channelB = eb.function == model::CToneRemote::kChannel;
        if (channelA || channelB) {
            add(cmp::kToneArgument, channelA ? ea.argument : "", channelB ? eb.argument : "");
        }
    }
}

void CompareKeys(const model::Encrypt& a, const model::Encrypt& b, std::vector<Difference>& out) {
    std::map<int32_t, std::string> ka;
    std::map<int32_t, std::string> kb;
    for (int i = 0; i < a.Count(); ++i) {
        const model::KeyEntry e = a.Get(i);
        ka.emplace(e.kid, e.key);
    }
    for (int i = 0; i < b.Count(); ++i) {
        const model::KeyEntry e = b.Get(i);
        kb.emplace(e.kid, e.key);
    }
    std::map<int32_t, std::pair<const char*, const char*>> changes;
    for (const auto& [kid, key] : ka) {
        auto it = kb.find(kid);
        if (it == kb.end()) {
            changes[kid] = {cmp::kKeyPresent, cmp::kKeyAbsent};
        } else if (it->second != key) {
            changes[kid] = {cmp::kKeyPresent, cmp::kKeyChanged};
        }
    }
    for (const auto& entry : kb) {
        if (ka.find(entry.first) == ka.end()) {
            changes[entry.first] = {cmp::kKeyAbsent, cmp::kKeyPresent};
        }
    }
    for (const auto& [kid, texts] : changes) {
        char where[32];
        std::snprintf(where, sizeof where, cmp::kKeyWhere, static_cast<unsigned>(kid));
        out.push_back(
            Difference{CompareSection::Key, kid, where, cmp::kKeyField, texts.first, texts.second});
    }
}

void CompareRadioWide(const CTmpDoc& a, const CTmpDoc& b, std::vector<Difference>& out) {
    const struct {
        const char* field;
        const std::string CTmpDoc::*member;
    } params[] = {
        {cmp::kFrontPanelAudio, &CTmpDoc::frontPanelMonitor},
        {cmp::kFrontPanelLevel, &CTmpDoc::frontPanelVolume},
        {cmp::kRearSerialOutput, &CTmpDoc::backPanelOutput},
        {cmp::kDefaultChannel, &CTmpDoc::defaultChannel},
    };
    for (const auto& p : params) {
        if (a.*p.member != b.*p.member) {
            out.push_back(Difference{CompareSection::RadioWide, -1, cmp::kRadioWideWhere, p.field,
                                     a.*p.member, b.*p.member});
        }
    }
}

}  // namespace

std::vector<Difference> CompareDocuments(const CTmpDoc& before, const CTmpDoc& after,
                                         const CompareOptions& options) {
    std::vector<Difference> out;
    const ChannelComparer channels(options);
    for (int i = 0; i < model::kChannelCount; ++i) {
        channels.Compare(i, before.channels[i], after.channels[i], out);
    }
    if (options.compareSquelchGroups) {
        CompareGroups(before.squelchGroups, after.squelchGroups, out);
    }
    if (options.compareToneRemote) {
        CompareTones(before.toneRemote, after.toneRemote, out);
    }
    if (options.compareKeys) {
        CompareKeys(before.keys, after.keys, out);
    }
    if (options.compareRadioWide) {
        CompareRadioWide(before, after, out);
    }
    return out;
}

std::string DifferenceLine(const Difference& d) {
    auto shown = [](const std::string& t) { return t.empty() ? std::string(cmp::kNothing) : t; };
    return d.where + " " + d.field + ": " + shown(d.oldText) + " -> " + shown(d.newText);
}

}  // namespace quillon::edit
