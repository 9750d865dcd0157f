#pragma once
// One value field of the channel dialogs: the numeric entry field's logic,
// set up from a compact description, with what the channel rules ask of it
// (the entry a text stands for, the text OK reads). The dialog's widget
// works on `Logic()`; the rules and OK work through this class.
#include <string>
#include <vector>

#include "edit/NumericField.h"

namespace quillon::edit {

struct FieldSetup {
    FieldMode mode = FieldMode::Hex;
    int maxDigits = 0;
    bool zeroFill = false;
    bool hexPrefix = false;
    double min = 0;
    double max = 0;
    double step = 1;
    int fractionDigits = 0;
    // Fraction fields: leaving rounds to a multiple of this (ties down when
    // `tiesDown`), and clamps into the range unless the dialog checks the
    // range itself.
    double resolution = 0;
    bool tiesDown = false;
    bool clampOnLeave = true;
    std::vector<std::string> values;    // the value list; entry 0 is the off entry
    std::vector<std::string> displays;  // shown instead of the value of the same index
    bool listOnly = false;
};

class ValueField {
  public:
    void Configure(const FieldSetup& setup);
    // Changes the range's lower end (the courtesy timer's follows Reverse Burst).
    void SetMinimum(double min);

    // The dialog sets the field: a list entry by its shown or value text, a
    // special text as it stands, else a number clamped and formatted. While
    // the field is disabled the kept text is set.
    void SetValue(const std::string& text) { field_.SetValue(text); }
    // The text as it stands, unchecked.
    void Show(const std::string& text) { field_.SetText(text); }
    // Whether the whole text could have been typed or pasted into the empty box.
    bool Accepts(const std::string& text) const;
    // What leaving the field does.
    void Normalise() { field_.Normalise(); }
    // The arrows: 0 up, 1 down, 6 first entry. False where the field beeps.
    bool Step(int code);
    void Enable(bool on) { field_.Enable(on); }

    // What the box shows ("" while disabled).
    std::string Text() const { return field_.BoxText(); }
    // What OK reads: the text, also the one kept while disabled.
    const std::string& Content() const { return field_.Text(); }
    // The list entry a text stands for (by shown or value text), or -1.
    int EntryOf(const std::string& text) const;
    bool IsDisplayText(const std::string& text) const;

    NumericField& Logic() { return field_; }
    const NumericField& Logic() const { return field_; }

  private:
    NumericField field_;
};

}  // namespace quillon::edit
