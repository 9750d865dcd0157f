#pragma once
// The tone remote list: what each of the twelve function tones F1 to F12
// does, with what the tone remote dialogs need to list and fill it.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon::model {

class ArchiveReader;
class ArchiveWriter;

struct ToneEntry {
    uint8_t function = 4;  // 1 Increase Audio, 2 Decrease Audio, 3 Channel, 4 unassigned
    std::string argument;
};

class CToneRemote {
  public:
    static constexpr int kSlots = 12;
    static constexpr uint8_t kIncreaseAudio = 1;
    static constexpr uint8_t kDecreaseAudio = 2;
    static constexpr uint8_t kChannel = 3;
    static constexpr uint8_t kUnassigned = 4;
    // Only F1 can raise and only F2 can lower the audio.
    static constexpr int kIncreaseAudioSlot = 0;
    static constexpr int kDecreaseAudioSlot = 1;

    // A copy of the slot, the argument without its leading zeros ("007" -> "7").
    ToneEntry GetEntry(int slot) const;
    // Ignored for a slot above 11 or a channel of 512 or more.
    void SetEntry(int slot, uint8_t function, int channel);
    void ClearSlot(int slot);
    // Every slot unassigned; the arguments stay.
    void ClearAll();
    void CopyFrom(const CToneRemote& other);
    // Appends the index of every Channel slot naming channel c; returns how many.
    int FindChannelReferences(int channel, std::vector<std::string>& slots) const;
    int CountAssigned() const;

    // The stored entry as it stands (for dumps and the transfer encoding).
    ToneEntry RawEntry(int slot) const;
    // Stores an entry as it stands (the transfer encoding's four-digit
    // arguments included); ignored for a slot above 11.
    void SetRawEntry(int slot, const ToneEntry& entry);

    // Document file section. Files tagged "veltp" and "veltp_v2" carry the
    // old form, which the reader still understands.
    void Write(ArchiveWriter& ar) const;
    void Read(ArchiveReader& ar, const std::string& formatTag);

    int currentTone = 0;

    // --- "Tone Remote Settings" ---------------------------------------------
    struct Item {
        std::string text;
        int data;  // the slot, or for a function choice (channel * 65536) + function
    };
    static constexpr int kChoiceChannelUnit = 65536;
    static constexpr int kChoiceFunctionMask = 0xFF;
    // The assigned slots: tone name and function text.
    std::vector<Item> SettingsList() const;
    // The list position the settings list selects: that of currentTone, else 0.
    int SettingsSelection() const;
    // Delete: every given slot cleared (function 4, argument "0"); currentTone
    // moves to the item before the first one deleted (-1 when there is none).
    void DeleteSlots(const std::vector<int>& listPositions);

    // --- "Tone Remote Properties" ----------------------------------------------
    // Add mode: every unassigned slot; edit mode: the edited slot only.
    std::vector<Item> FrequencyChoices(bool editMode, int editSlot) const;
    // The functions slot may have; channelQualifies says whether channel n is
    // a tone remote target.
    static std::vector<Item> FunctionChoices(int slot,
                                             const std::function<bool(int)>& channelQualifies);
    // The position in choices that edit mode selects for slot.
    int FunctionSelection(int slot, const std::vector<Item>& choices) const;
    // OK with a function choice selected.
    void ApplyChoice(int slot, int choiceData);

    static const char* ToneName(int slot);

  private:
    static bool Valid(int slot) { return slot >= 0 && slot < kSlots; }
    std::array<ToneEntry, kSlots> slots_;
};

}  // namespace quillon::model
