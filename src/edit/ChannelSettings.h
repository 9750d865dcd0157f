#pragma once
// The rules of the "Channel Settings" dialog without the dialog: the state of
// every control, what a user can do to it, the control rules that run after
// each change, the scan list, and OK's checks and writing. A Qt dialog binds
// one widget to each control and forwards what the user does; the
// command-line tool does the same from "--set LABEL=VALUE" texts. Messages go
// through Prompts.
//
// A dialog over it: open with OpenEdit / OpenAdd; build one widget per entry
// of ChannelControls() (label, kind); show State(id) (enabled, checked,
// selection among choices, text) and, for a Value control, ask
// Field(id).Logic() whether a typed key is taken. Forward what the user does:
// Select, SetChecked, TypeEdit (or Type) while typing and Leave on focus
// loss (or Enter for both), Step for the arrows; then refresh the widgets
// TakeChanges() names. OK calls Ok(prompts) and closes the dialog when it returns true.
// The "Tx AS Rx" box shows the text Link Radio "Tx AS Rx".
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "edit/ChannelControls.h"
#include "edit/ChannelValueField.h"
#include "model/CTmpDoc.h"

namespace quillon::edit {

// What a widget shows for one control.
struct ControlState {
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;             // shown and enabled, but not to be typed into
    bool checked = false;              // Check
    int selection = -1;                // Radio and Combo: index into choices, -1 for none
    std::vector<std::string> choices;  // Radio and Combo; List: the scan list's lines
    std::string text;                  // Text: the text; Value: what the field shows

    bool operator==(const ControlState& o) const {
        return enabled == o.enabled && visible == o.visible && readOnly == o.readOnly &&
               checked == o.checked && selection == o.selection && choices == o.choices &&
               text == o.text;
    }
    bool operator!=(const ControlState& o) const { return !(*this == o); }
};

// One entry of the scan list: the referenced channel as "%03d" and the dwell
// time in seconds, as they are written into the image.
struct ScanEntry {
    std::string channel;
    std::string dwell;
};

// The "Configure Scan Channel Reference" dialog's choices: every fixed
// channel but the one being edited (a channel cannot scan itself).
struct ScanReferenceChoice {
    std::string text;  // "%03i: " and the 8 name bytes
    int channel;
};

class ChannelSettings {
  public:
    enum class Mode { Add = 1, Edit = 2 };

    // Edit mode on a used slot; nothing when the slot is not used.
    static std::unique_ptr<ChannelSettings> OpenEdit(model::CTmpDoc& doc, int number);
    // Add mode on the lowest empty slot, which at once gets the signal type
    // Wideband FM and the name "Chan%03i" (they stay even if the dialog is
    // cancelled). Nothing when the table is full.
    static std::unique_ptr<ChannelSettings> OpenAdd(model::CTmpDoc& doc);

    Mode GetMode() const { return mode_; }
    // The slot the dialog works on now (the Number field).
    int CurrentNumber() const;

    // --- what the widgets show ----------------------------------------------
    const ControlState& State(ChannelControl id) const;
    // The numeric field behind a Value control (typing filter, arrows).
    const ValueField& Field(ChannelControl id) const;
    // Which controls changed since the last call (in id order); a dialog
    // refreshes those widgets after each operation.
    std::vector<ChannelControl> TakeChanges();

    // --- what a user does ------------------------------------------------------
    // Each returns false when the control cannot take it (disabled, read-only,
    // the wrong kind, an entry out of range, a refused character); nothing
    // changes then. After a change the control rules run and, for a field,
    // its leave behaviour.
    bool Select(ChannelControl id, int index);    // Radio, Combo
    bool SetChecked(ChannelControl id, bool on);  // Check
    // Text: the name. Value: the text typed (filtered like typed or pasted
    // text), then the field is left.
    bool Enter(ChannelControl id, const std::string& text);
    // The two halves of Enter for a widget: the box's text as typed or
    // pasted so far (refused as a whole when a character would have been),
    // and leaving the field. OK leaves every field itself, so Enter in the
    // dialog cannot skip the normalisation.
    bool Type(ChannelControl id, const std::string& text);
    // One edit of a value box as the widget sees it: the characters
    // [start, start + length) of the box's text replaced by `inserted`
    // (empty for a deletion). Taken when the field's typing filter takes the
    // inserted characters there, so a box can be emptied one character at a
    // time even from a text such as "NONE", which could not be typed.
    bool TypeEdit(ChannelControl id, size_t start, size_t length, const std::string& inserted);
    bool Leave(ChannelControl id);
    // The field's arrows: 0 up, 1 down. False (with a beep through the field's
    // rules) when the value could not move.
    bool Step(ChannelControl id, int code);

    // --- the scan list -----------------------------------------------------------
    const std::vector<ScanEntry>& ScanEntries() const { return scan_; }
    // "005: NAME     - Dwell Time: 2.5s", one per entry.
    std::vector<std::string> ScanLines() const;
    std::vector<ScanReferenceChoice> ScanReferenceChoices() const;
    // The "Configure Scan Channel Reference" dialog's OK in add mode (appends)
    // and edit mode (replaces entry `index`). The channel must be one of the
    // choices and the dwell a text the dwell field takes; it is normalised to
    // 0 to 9.9 s in steps of 0.1. False when refused or when the button is
    // disabled.
    bool AddScan(int channel, const std::string& dwell);
    bool EditScan(int index, int channel, const std::string& dwell);
    // "&Edit" and "&Delete" with the selected entries; messages when nothing is
    // selected. EditScanSelected returns the entry to edit.
    std::optional<int> EditScanSelected(const std::vector<int>& selected, Prompts& prompts);
    void DeleteScanSelected(const std::vector<int>& selected, Prompts& prompts);
    void ClearScan();

    // --- OK ---------------------------------------------------------------------------
    // Normalises every field, runs the checks in their order (each failure's
    // message through `prompts`), asks the questions, and writes the channel
    // into the document when all passed. True when written.
    bool Ok(Prompts& prompts);

  private:
    ChannelSettings(model::CTmpDoc& doc, Mode mode, int number);

    using C = ChannelControl;
    ControlState& S(C id) { return states_[static_cast<size_t>(id)]; }
    const ControlState& S(C id) const { return states_[static_cast<size_t>(id)]; }
    ValueField& F(C id) { return fields_[static_cast<size_t>(id)]; }
    const ValueField& F(C id) const { return fields_[static_cast<size_t>(id)]; }
    int Sel(C id) const { return S(id).selection; }
    bool On(C id) const { return S(id).checked; }

    void ConfigureFields();
    void Load();
    void LoadFixed(const model::CChannel& ch);
    void LoadScan(const model::CChannel& ch);
    void SetToneForm(C id, bool cdcss, bool inverted);
    void ShowTone(C id, const std::string& text, bool receive, bool cdcss, bool inverted);

    void ApplyRules();
    void ApplyFixedRules();
    void SetEnabled(C id, bool on);
    void ForceChoice(C id, int index) { S(id).selection = index; }
    void ForceCheck(C id, bool on) { S(id).checked = on; }
    void EmptyField(C id);
    void SetCourtesyMinimum(bool reverseBurst);
    void CourtesyLikeAnalogue(bool repeater);
    void UpdateScanButtons();

    void LeaveField(C id);
    void ToggleInvert(C id, bool inverted);
    void ClearGroupEnable();

    bool Validate(Prompts& prompts);
    bool ConfirmReferenceRemoval(Prompts& prompts);
    void Write();
    void WriteFixed(model::CChannel& ch);
    void WriteScan(model::CChannel& ch);

    void Sync();  // mirrors the fields' texts into their states

    model::CTmpDoc& doc_;
    Mode mode_;
    std::array<ControlState, kChannelControlCount> states_;
    std::array<ControlState, kChannelControlCount> reported_;
    std::array<ValueField, kChannelControlCount> fields_;
    std::vector<int> groupNumbers_;  // the squelch group entries' numbers
    std::vector<ScanEntry> scan_;
    uint8_t loadedCourtesyTone_ = 0;
};

// The "&Dwell Time (sec)" field of the scan reference dialog.
FieldSetup DwellFieldSetup();

// Hz from a text in MHz (digits beyond 1 Hz dropped, as the image keeps them).
long long FrequencyHz(const std::string& mhz);
// "%f" of a frequency in Hz, in MHz: six decimals.
std::string FrequencyText(long long hz);

}  // namespace quillon::edit
