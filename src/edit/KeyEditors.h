#pragma once
// The key list's two editors, "Encryption Settings" and "Add Key", as state
// that the dialogs only show: which keys are listed and selected, which
// buttons are live, what the boxes hold and where the focus goes.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "edit/NumericField.h"
#include "model/Encrypt.h"

namespace quillon::model {
class CTmpDoc;
}

namespace quillon::edit {

class RandomSource;

// "Encryption Settings": works on the document's key list directly, so every
// change stands when the dialog is closed.
class EncryptionSettings {
  public:
    explicit EncryptionSettings(model::CTmpDoc& doc);

    // The keys by ascending key id ("KID: 0x01a"); identifiers only.
    const std::vector<model::Encrypt::Item>& Items() const { return items_; }
    // Positions in Items(); the first item after every refill.
    const std::vector<int>& Selection() const { return selection_; }
    void Select(std::vector<int> positions);

    bool AddEnabled() const;
    bool DeleteEnabled() const;

    // Add: runs the "Add Key" dialog (runAddKey), then, whatever it did, marks
    // the document modified and refills.
    void Add(const std::function<void()>& runAddKey);
    // Delete: every selected key, without asking.
    void Delete();

  private:
    void Refill();

    model::CTmpDoc& doc_;
    std::vector<model::Encrypt::Item> items_;
    std::vector<int> selection_;
};

// "Add Key": eight key boxes (one key byte each, first byte first) and the
// Key ID box, each a hexadecimal numeric field: a key box two digits,
// zero-filled, no prefix, 0..0xff; the Key ID box up to four digits after an
// optional "0x", 0..0xffff, in a box of five characters.
class AddKeyForm {
  public:
    static constexpr int kKeyBoxes = 8;
    static constexpr int kKidBox = 8;  // box index of the Key ID box
    static constexpr int kBoxes = 9;
    static constexpr size_t kKidBoxLimit = 5;

    AddKeyForm(model::CTmpDoc& doc, Prompts& prompts, RandomSource& random);

    // All nine boxes start empty.
    const std::string& Text(int box) const;
    // The box's text as the user left it, unchecked.
    void SetText(int box, const std::string& text);
    // The typing filter of the box: hex digits (and the "0x" of the Key ID);
    // a refusal is the caller's beep.
    bool AcceptsTyped(int box, const std::string& text, size_t selStart, size_t selLength,
                      char c) const;
    // Pasted or dropped text: taken whole when typing it would be, else not.
    bool AcceptsInsert(int box, const std::string& text, size_t selStart, size_t selLength,
                       const std::string& inserted) const;

    // The box lost the focus: a key box becomes two lower-case digits ("a"
    // -> "0a", empty -> "00"), the Key ID box "0x" and its digits ("001A"
    // -> "0x1a").
    void LeaveBox(int box);
    // Clear Key: the key boxes only; the Key ID stays.
    void ClearKey();
    // Generate Random Key: eight bytes of odd parity. False (boxes untouched,
    // one beep) when the random source failed.
    bool GenerateRandomKey();
    // OK: the checks in order; the first failure is shown as a warning, the
    // focus set and false returned (the dialog stays open). On success the
    // document is marked modified, the key added and true returned.
    //
    // The boxes are checked as they stand, not normalised first: one digit
    // confirmed with Enter is reported as incomplete rather than padded into
    // a key byte the user never saw, and a bare "0x" is no key id 0.
    bool Ok();

    // The box that should have the focus after a failed OK, or -1.
    int FocusBox() const { return focusBox_; }

  private:
    static bool Valid(int box) { return box >= 0 && box < kBoxes; }

    model::CTmpDoc& doc_;
    Prompts& prompts_;
    RandomSource& random_;
    std::array<NumericField, kBoxes> fields_;
    int focusBox_ = -1;
};

}  // namespace quillon::edit
