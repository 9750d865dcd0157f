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
    : doc_(doc), prompts_(prompts), random_(random) {
    FieldConfig keyByte;
    keyByte.mode = FieldMode::Hex;
    keyByte.maxDigits = 2;
    keyByte.zeroFill = true;
    keyByte.hexPrefix = false;
    keyByte.hexRange = IntRange{0xff, 0, 1};
    FieldConfig kid;
    kid.mode = FieldMode::Hex;
    kid.maxDigits = 4;
    kid.zeroFill = false;
    kid.hexPrefix = true;
    kid.hexRange = IntRange{0xffff, 0, 1};
    for (int i = 0; i < kBoxes; ++i) {
        fields_[static_cast<size_t>(i)].Configure(i == kKidBox ? kid : keyByte);
    }
}

const std::string& AddKeyForm::Text(int box) const {
    static const std::string kNone;
    return Valid(box) ? fields_[static_cast<size_t>(box)].Text() : kNone;
}

void AddKeyForm::SetText(int box, const std::string& text) {
    if (Valid(box)) {
        fields_[static_cast<size_t>(box)].SetText(text);
    }
}

bool AddKeyForm::AcceptsTyped(int box, const std::string& text, size_t selStart, size_t selLength,
                              char c) const {
    if (!Valid(box) ||
        !fields_[static_cast<size_t>(box)].AcceptsTyped(text, selStart, selLength, c)) {
        return false;
    }
    if (box != kKidBox || static_cast<unsigned char>(c) < 32) {
        return true;
    }
    std::string result = text;
    selStart = std::min(selStart, result.size());
    result.replace(selStart, std::min(selLength, result.size() - selStart), 1, c);
    // The box holds five characters; and a digit typed in front of the "0x"
    // would make a text that reads as another number than it shows.
    const size_t x = result.find('x');
    return result.size() <= kKidBoxLimit && (x == std::string::npos || x == 1);
}

bool AddKeyForm::AcceptsInsert(int box, const std::string& text, size_t selStart, size_t selLength,
                               const std::string& inserted) const {
    std::string current = text;
    size_t at = std::min(selStart, current.size());
    size_t over = std::min(selLength, current.size() - at);
    for (char c : inserted) {
        if (static_cast<unsigned char>(c) < 32 || !AcceptsTyped(box, current, at, over, c)) {
            return false;
        }
        current.replace(at, over, 1, c);
        ++at;
        over = 0;
    }
    return true;
}

void AddKeyForm::LeaveBox(int box) {
    if (Valid(box)) {
        fields_[static_cast<size_t>(box)].Normalise();
    }
}

void AddKeyForm::ClearKey() {
    for (int i = 0; i < kKeyBoxes; ++i) {
        fields_[static_cast<size_t>(i)].SetText("");
    }
}

bool AddKeyForm::GenerateRandomKey() {
    std::array<uint8_t, kKeyBoxes> bytes{};
    if (!random_.Fill(bytes.data(), bytes.size())) {
        prompts_.Beep();
        return false;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        fields_[i].SetText(model::RandomKeyPair(bytes[i]));
    }
    // The raw draw is a copy of the key; do not leave it on the stack.
    std::fill(bytes.begin(), bytes.end(), uint8_t{0});
    return true;
}

bool AddKeyForm::Ok() {
    std::array<std::string, kKeyBoxes> boxes;
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i] = fields_[i].Text();
    }
    model::AddKeyCheck check = model::CheckAddKey(boxes, Text(kKidBox), doc_.keys);
    std::fill(boxes.begin(), boxes.end(), std::string());
    if (!check.ok) {
        prompts_.MessageBox(check.message, Icon::Exclamation);
        if (check.clearKid) {
            fields_[kKidBox].SetText("");
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
