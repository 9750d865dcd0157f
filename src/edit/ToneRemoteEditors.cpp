#include "edit/ToneRemoteEditors.h"

#include <algorithm>

#include "model/CTmpDoc.h"
#include "model/Messages.h"

namespace quillon::edit {

namespace {

bool InRange(int position, size_t size) {
    return position >= 0 && static_cast<size_t>(position) < size;
}

}  // namespace

ToneRemoteSettings::ToneRemoteSettings(model::CTmpDoc& doc, Prompts& prompts)
    : doc_(doc), prompts_(prompts) {
    working_.CopyFrom(doc_.toneRemote);
    working_.currentTone = doc_.toneRemote.currentTone;
    Refill();
}

void ToneRemoteSettings::Select(std::vector<int> positions) {
    positions.erase(std::remove_if(positions.begin(), positions.end(),
                                   [this](int p) { return !InRange(p, items_.size()); }),
                    positions.end());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    selection_ = std::move(positions);
}

bool ToneRemoteSettings::AddEnabled() const {
    return items_.size() < static_cast<size_t>(model::CToneRemote::kSlots);
}

bool ToneRemoteSettings::EditEnabled() const {
    return !items_.empty();
}

bool ToneRemoteSettings::DeleteEnabled() const {
    return !items_.empty();
}

void ToneRemoteSettings::Add(const PropertiesRunner& run) {
    if (!AddEnabled()) {
        return;
    }
    ToneRemoteProperties properties(working_, doc_, false, -1);
    run(properties);
    working_.currentTone = doc_.toneRemote.currentTone;
    Refill();
}

void ToneRemoteSettings::Edit(const PropertiesRunner& run) {
    if (selection_.empty()) {
        RefuseWithoutSelection();
        return;
    }
    ToneRemoteProperties properties(working_, doc_, true,
                                    items_[static_cast<size_t>(selection_.front())].data);
    run(properties);
    working_.currentTone = doc_.toneRemote.currentTone;
    Refill();
}

void ToneRemoteSettings::Delete() {
    if (selection_.empty()) {
        RefuseWithoutSelection();
        return;
    }
    working_.DeleteSlots(selection_);
    Refill();
}

void ToneRemoteSettings::Ok() {
    doc_.toneRemote.CopyFrom(working_);
    doc_.SetModified();
}

void ToneRemoteSettings::Refill() {
    items_ = working_.SettingsList();
    selection_.clear();
    if (!items_.empty()) {
        selection_.push_back(working_.SettingsSelection());
    }
}

void ToneRemoteSettings::RefuseWithoutSelection() {
    prompts_.Beep();
    prompts_.MessageBox(model::msg::kToneSelectToEdit, Icon::Exclamation);
}

ToneRemoteProperties::ToneRemoteProperties(model::CToneRemote& list, model::CTmpDoc& doc,
                                           bool editMode, int editSlot)
    : list_(list), doc_(doc), editMode_(editMode), editSlot_(editSlot) {
    frequencies_ = list_.FrequencyChoices(editMode_, editSlot_);
    frequency_ = frequencies_.empty() ? -1 : 0;
    BuildFunctions();
    if (editMode_) {
        function_ = functions_.empty() ? -1 : list_.FunctionSelection(editSlot_, functions_);
        doc_.toneRemote.currentTone = editSlot_;
    }
}

void ToneRemoteProperties::SelectFrequency(int position) {
    if (!InRange(position, frequencies_.size()) || position == frequency_) {
        return;
    }
    frequency_ = position;
    BuildFunctions();
}

void ToneRemoteProperties::SelectFunction(int position) {
    if (InRange(position, functions_.size())) {
        function_ = position;
    }
}

void ToneRemoteProperties::Ok() {
    const int slot = SelectedSlot();
    if (slot >= 0 && InRange(function_, functions_.size())) {
        list_.ApplyChoice(slot, functions_[static_cast<size_t>(function_)].data);
        // The settings list then highlights the tone just set, after an Add
        // as after an Edit.
        doc_.toneRemote.currentTone = slot;
    }
    if (editMode_) {
        doc_.toneRemote.currentTone = editSlot_;
    }
}

void ToneRemoteProperties::Cancel() {
    if (editMode_) {
        doc_.toneRemote.currentTone = editSlot_;
    }
}

int ToneRemoteProperties::SelectedSlot() const {
    return InRange(frequency_, frequencies_.size())
               ? frequencies_[static_cast<size_t>(frequency_)].data
               : -1;
}

void ToneRemoteProperties::BuildFunctions() {
    const int slot = SelectedSlot();
    functions_.clear();
    function_ = -1;
    if (slot < 0) {
        return;
    }
    const model::CChannelTable& channels = doc_.channels;
    functions_ = model::CToneRemote::FunctionChoices(
        slot, [&channels](int n) { return channels.IsToneRemoteTarget(n); });
    function_ = functions_.empty() ? -1 : 0;
}

}  // namespace quillon::edit
