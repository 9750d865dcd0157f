#include "edit/KeyEditors.h"

#include <algorithm>
#include <cstdint>

#include "edit/RandomSource.h"
#include "model/CTmpDoc.h"

namespace quillon::edit {

EncryptionSettings::EncryptionSettings(model::CTmpDoc& doc) : doc_(doc) {
    Refill();
}

void EncryptionSettings::Select(std::vector<int> positions) {
    positions.erase(
        std::remove_if(positions.begin(), positions.end(),
                       [this](int p) { return p < 0 || static_cast<size_t>(p) >= items_.size(); }),
        positions.end());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    selection_ = std::move(positions);
}

bool EncryptionSettings::AddEnabled() const {
    return doc_.keys.Count() < model::Encrypt::kMaxKeys;
}

bool EncryptionSettings::DeleteEnabled() const {
    return doc_.keys.Count() > 0;
}

void EncryptionSettings::Add(const std::function<void()>& runAddKey) {
    if (!AddEnabled()) {
        return;
    }
    runAddKey();
    // Whatever the Add Key dialog ended with, Cancel included, the document
    // counts as changed.
    doc_.SetModified();
    Refill();
}

void EncryptionSettings::Delete() {
    if (selection_.empty()) {
        Refill();
        return;
    }
    for (int pos : selection_) {
        doc_.keys.Delete(items_[static_cast<size_t>(pos)].kid);
    }
    doc_.SetModified();
    Refill();
}

void EncryptionSettings::Refill() {
    items_ = doc_.keys.SettingsList();
    selection_.clear();
    if (!items_.empty()) {
        selection_.push_back(0);
    }
}

AddKeyForm::AddKeyForm(model::CTmpDoc& doc, Prompts& prompts, RandomSource& random)
    : doc_(doc), prompts_(prompts), random_(random) {}

void AddKeyForm::LeaveBox(int box) {
    if (box >= 0 && box < kKeyBoxes) {
        auto& text = keyBoxes[static_cast<size_t>(box)];
        text = model::NormalizeKeyBox(text);
    } else if (box == kKidBox) {
        kidBox = model::NormalizeKidBox(kidBox);
    }
}

void AddKeyForm::ClearKey() {
    for (auto& b : keyBoxes) {
        b.clear();
    }
}

bool AddKeyForm::GenerateRandomKey() {
    std::array<uint8_t, kKeyBoxes> bytes{};
    if (!random_.Fill(bytes.data(), bytes.size())) {
        prompts_.Beep();
        return false;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        keyBoxes[i] = model::RandomKeyPair(bytes[i]);
    }
    // The raw draw is a copy of the key; do not leave it on the stack.
    std::fill(bytes.begin(), bytes.end(), uint8_t{0});
    return true;
}

bool AddKeyForm::Ok() {
    model::AddKeyCheck check = model::CheckAddKey(keyBoxes, kidBox, doc_.keys);
    if (!check.ok) {
        prompts_.MessageBox(check.message, Icon::Exclamation);
        if (check.clearKid) {
            kidBox.clear();
        }
        focusBox_ = check.focusBox;
        return false;
    }
    focusBox_ = -1;
    doc_.SetModified();
    doc_.keys.Add(check.key, check.kid);
    return true;
}

}  // namespace quillon::edit
