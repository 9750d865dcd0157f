#include "model/CToneRemote.h"

#include "model/Archive.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {
// The type numbers of the old document form ("veltp", "veltp_v2").
constexpr int kOldFormChannel = 1;
constexpr int kOldFormAudio = 2;
}  // namespace

ToneEntry CToneRemote::GetEntry(int slot) const {
    if (!Valid(slot)) {
        return ToneEntry{};
    }
    ToneEntry e = slots_[static_cast<size_t>(slot)];
    // Received arguments carry four digits ("0012"). One digit always stays,
    // so channel 0 still reads "0" and not an empty text.
    size_t zeros = 0;
    while (zeros + 1 < e.argument.size() && e.argument[zeros] == '0') {
        ++zeros;
    }
    e.argument.erase(0, zeros);
    return e;
}

ToneEntry CToneRemote::RawEntry(int slot) const {
    return Valid(slot) ? slots_[static_cast<size_t>(slot)] : ToneEntry{};
}

void CToneRemote::SetRawEntry(int slot, const ToneEntry& entry) {
    if (Valid(slot)) {
        slots_[static_cast<size_t>(slot)] = entry;
    }
}

void CToneRemote::SetEntry(int slot, uint8_t function, int channel) {
    if (!Valid(slot) || channel < 0 || channel >= 512) {
        return;
    }
    slots_[static_cast<size_t>(slot)].function = function;
    slots_[static_cast<size_t>(slot)].argument = std::to_string(channel);
}

void CToneRemote::ClearSlot(int slot) {
    if (Valid(slot)) {
        slots_[static_cast<size_t>(slot)].function = kUnassigned;
    }
}

void CToneRemote::ClearAll() {
    for (auto& s : slots_) {
        s.function = kUnassigned;
    }
}

void CToneRemote::CopyFrom(const CToneRemote& other) {
    if (&other != this) {
        slots_ = other.slots_;
    }
}

int CToneRemote::FindChannelReferences(int channel, std::vector<std::string>& slots) const {
    int found = 0;
    for (int i = 0; i < kSlots; ++i) {
        const auto& s = slots_[static_cast<size_t>(i)];
        if (s.function == kChannel && LeadingDecimal(s.argument) == channel) {
            slots.push_back(std::to_string(i));
            ++found;
        }
    }
    return found;
}

int CToneRemote::CountAssigned() const {
    int n = 0;
    for (const auto& s : slots_) {
        if (s.function != kUnassigned) {
            ++n;
        }
    }
    return n;
}

void CToneRemote::Write(ArchiveWriter& ar) const {
    for (const auto& s : slots_) {
        ar.WriteByte(s.function);
        ar.WriteString(s.argument);
    }
}

void CToneRemote::Read(ArchiveReader& ar, const std::string& formatTag) {
    bool oldForm = formatTag == "veltp" || formatTag == "veltp_v2";
    for (int i = 0; i < kSlots; ++i) {
        auto& s = slots_[static_cast<size_t>(i)];
        if (!oldForm) {
            s.function = ar.ReadByte();
            s.argument = ar.ReadString();
            continue;
        }
        ar.ReadU16();
        ar.ReadString();
        int type = LeadingDecimal(ar.ReadString());
        s.argument = ar.ReadString();
        if (type == kOldFormChannel) {
            s.function = kChannel;
        } else if (type == kOldFormAudio && i == kIncreaseAudioSlot) {
            s.function = kIncreaseAudio;
        } else if (type == kOldFormAudio && i == kDecreaseAudioSlot) {
            s.function = kDecreaseAudio;
        } else {
            s.function = kUnassigned;
        }
    }
}

const char* CToneRemote::ToneName(int slot) {
    return Valid(slot) ? msg::kToneNames[static_cast<size_t>(slot)] : "";
}

std::vector<CToneRemote::Item> CToneRemote::SettingsList() const {
    std::vector<Item> list;
    for (int i = 0; i < kSlots; ++i) {
        ToneEntry e = GetEntry(i);
        std::string text = ToneName(i);
        if (e.function == kUnassigned) {
            continue;
        }
        if (e.function == kIncreaseAudio) {
            text += msg::kToneListIncrease;
        } else if (e.function == kDecreaseAudio) {
            text += msg::kToneListDecrease;
        } else if (e.function == kChannel) {
            text += msg::kToneListChannel + e.argument;
        }
        list.push_back(Item{text, i});
    }
    return list;
}

int CToneRemote::SettingsSelection() const {
    std::vector<Item> list = SettingsList();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].data == currentTone) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void CToneRemote::DeleteSlots(const std::vector<int>& listPositions) {
    std::vector<Item> list = SettingsList();
    int first = -1;
    for (int pos : listPositions) {
        if (pos < 0 || static_cast<size_t>(pos) >= list.size()) {
            continue;
        }
        if (first < 0 || pos < first) {
            first = pos;
        }
        SetEntry(list[static_cast<size_t>(pos)].data, kUnassigned, 0);
    }
    if (first >= 0) {
        currentTone = first > 0 ? list[static_cast<size_t>(first - 1)].data : -1;
    }
}

std::vector<CToneRemote::Item> CToneRemote::FrequencyChoices(bool editMode, int editSlot) const {
    std::vector<Item> list;
    if (editMode) {
        if (Valid(editSlot)) {
            list.push_back(Item{ToneName(editSlot), editSlot});
        }
        return list;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[static_cast<size_t>(i)].function == kUnassigned) {
            list.push_back(Item{ToneName(i), i});
        }
    }
    return list;
}

std::vector<CToneRemote::Item> CToneRemote::FunctionChoices(
    int slot, const std::function<bool(int)>& channelQualifies) {
    std::vector<Item> list;
    if (slot == kIncreaseAudioSlot) {
        list.push_back(Item{msg::kToneFunctionIncrease, kIncreaseAudio});
    } else if (slot == kDecreaseAudioSlot) {
        list.push_back(Item{msg::kToneFunctionDecrease, kDecreaseAudio});
    }
    for (int n = 0; n < 512; ++n) {
        if (channelQualifies(n)) {
            list.push_back(Item{msg::kToneFunctionChannel + std::to_string(n),
                                n * kChoiceChannelUnit + kChannel});
        }
    }
    return list;
}

int CToneRemote::FunctionSelection(int slot, const std::vector<Item>& choices) const {
    if (!Valid(slot) || slots_[static_cast<size_t>(slot)].function != kChannel) {
        return 0;
    }
    int channel = LeadingDecimal(slots_[static_cast<size_t>(slot)].argument);
    // F1 and F2 list their audio function first.
    size_t from = (slot == kIncreaseAudioSlot || slot == kDecreaseAudioSlot) ? 1 : 0;
    for (size_t i = from; i < choices.size(); ++i) {
        if ((choices[i].data & kChoiceFunctionMask) == kChannel &&
            choices[i].data / kChoiceChannelUnit == channel) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void CToneRemote::ApplyChoice(int slot, int choiceData) {
    auto function = static_cast<uint8_t>(choiceData & kChoiceFunctionMask);
    SetEntry(slot, function, function == kChannel ? choiceData / kChoiceChannelUnit : 0);
}

}  // namespace quillon::model
