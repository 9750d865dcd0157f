#pragma once
// The rules of the numeric entry field that nearly every number of the
// editors is typed into: which characters may be typed, how the text is read
// and written back, what leaving the field does to it, and the small arrows
// beside it. The rules live here, free of any widget, so that the dialogs,
// the command-line tool and the tests share one copy of them; the widget only
// shows the field's box text and reports keys, pastes and clicks.
//
// Nothing here beeps: every refusal is reported to the caller (a false
// return), which sounds the default beep.
//
// Decisions of ours beyond the field's classic behaviour:
// - Fraction fields compute in whole millionths (the finest place the field
//   ever shows), never in binary floating point, so 451.0125 + 1 is exactly
//   452.0125. Leaving the field rounds its value to `fractionResolution`
//   (for example 0.00025 for a 250 Hz frequency grid, 0.1 for a timer in
//   tenths of a second), so ".55" and "2" on a 0.1 field mean 0.6 and 2.0,
//   whatever number of decimals was typed. `ScaledValue` hands the dialogs the
//   value times their storage scale as an exact integer.
// - A value list says whether its entry 0 is an off entry ("f000", shown as
//   "ANY" or "AS RX"). Only such an entry is kept out of snapping; a list
//   without one (a squelch group's tones and codes) can snap to its first
//   entry.
// - A field with a value list that is not list-only (the NAC fields, whose
//   list holds "ANY"/"AS RX" and "NONE") steps along one line:
//   entry 0, entry 1, ..., the last entry, then the range minimum up to the
//   range maximum. So down from the minimum selects the last entry, down from
//   an entry selects the entry before it (beeping at entry 0), up from an
//   entry selects the next one, and up from the last entry goes to the range
//   minimum. Every choice of such a field is therefore reachable by the
//   arrows alone. A special text that is no entry steps up to the minimum and
//   beeps on down.
// - A list-only field whose text is not the current entry (typed, not yet
//   left) first snaps to its nearest entry, then steps from there.
// - The letter "x" is taken only as the "0x" of a field that shows the
//   prefix (in second place after a "0", once); a second "." is refused in a
//   fraction field. Key byte boxes thus take hex digits only.
// - Pasted (or dropped) text is taken only if typing it character by
//   character would have been taken; otherwise all of it is refused.
// - A disabled field keeps its text and shows an empty box. Setting a value
//   while it is disabled changes the kept text, which shows again when the
//   field is enabled; `Text` is the kept text, so a dialog reads what the
//   rules forced into a disabled field. Leaving the field, stepping and
//   typing do nothing while it is disabled.
// - `Normalise` is what leaving the field does. Dialogs call it for every
//   field before they check anything, so Enter (which does not move the
//   focus) cannot skip it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon::edit {

enum class FieldMode : int { Hex = 0, Decimal = 1, Fraction = 2, Octal = 3 };

struct IntRange {
    std::int64_t max = 0;
    std::int64_t min = 0;
    std::int64_t step = 1;
};

struct FractionRange {
    double max = 0;
    double min = 0;
    double step = 0;
};

// How a value exactly half-way between two grid points is rounded.
enum class TieRounding { Up, Down };

struct FieldConfig {
    FieldMode mode = FieldMode::Hex;
    // Digits that may be typed; also the zero-fill width of the integer
    // modes.
    int maxDigits = 0;
    bool zeroFill = false;
    bool hexPrefix = true;
    IntRange hexRange;
    IntRange decimalRange;
    IntRange octalRange;
    FractionRange fractionRange;
    // Fraction digits always shown (0: the integer part only).
    int fractionDigits = 0;
    // Subtracted when counting the leading zeros of a fraction.
    int fractionOffset = 0;
    // Widths of the zero-padded value text. In fraction mode `valueWidth`
    // counts digits, not the point.
    int integerWidth = 0;
    int valueWidth = 0;
    // Fraction mode: leaving the field rounds the value to a multiple of this
    // (0: to the sixth decimal), ties as `ties` says.
    double fractionResolution = 0;
    TieRounding ties = TieRounding::Up;
    // Leaving the field clamps the value into the range; a field whose
    // dialog reports an out-of-range value itself turns this off (the arrows
    // still keep to the range).
    bool clampOnLeave = true;
};

struct ValueList {
    // Allowed values, in order.
    std::vector<std::string> values;
    // Text shown instead of the value of the same index; may be shorter than
    // `values`, and an empty text means "show the value".
    std::vector<std::string> displays;
    // The field's value must be an entry of the list.
    bool listOnly = false;
    // Entry 0 is an off entry and takes no part in snapping.
    bool firstIsOff = true;
};

enum class StepCode : int { Up = 0, Down = 1, First = 6 };

class NumericField {
  public:
    // Sets every setting; lists and text stay.
    void Configure(const FieldConfig& config);
    const FieldConfig& Config() const { return config_; }

    void AttachLists(ValueList list);
    void DetachLists();
    bool HasList() const { return !list_.values.empty(); }
    const ValueList& List() const { return list_; }

    // A value from the dialog: an entry of the list, named by the text it
    // shows or by its value, is selected; a special text stands as it is;
    // anything else is parsed, clamped and formatted (and, in a list-only
    // field, snapped to its nearest entry).
    void SetValue(const std::string& text);
    // The box's text as it stands, unchecked: what the user typed or pasted.
    void SetText(const std::string& text);

    // The field's text; while the field is disabled, the text it keeps.
    const std::string& Text() const { return text_; }
    // What the box shows: nothing while the field is disabled.
    std::string BoxText() const { return blanked_ ? std::string() : text_; }
    // The internal zero-padded copy of the value; for a list entry its value.
    const std::string& ValueText() const { return valueText_; }
    // The current list entry, or -1.
    int ListIndex() const { return listIndex_; }

    // The typing filter: whether the character typed over the selection
    // [selStart, selStart + selLength) of text is taken. Control characters
    // (backspace and the like) always are.
    bool AcceptsTyped(const std::string& text, std::size_t selStart, std::size_t selLength,
                      char c) const;
    // The same for a whole inserted string (paste, drop): taken only when
    // typing it would have been taken, character by character.
    bool AcceptsInsert(const std::string& text, std::size_t selStart, std::size_t selLength,
                       const std::string& inserted) const;

    // What leaving the field does: special texts stay, list-only fields snap
    // to their nearest entry, others are clamped and formatted.
    void Normalise();
    // The arrows; false when the step was refused (the caller beeps).
    bool Step(StepCode code);
    // Makes entry `index` current and shows it; ignored outside the list.
    void SelectEntry(int index);

    // Off: the box shows nothing and the text is kept. On: it shows again.
    void Enable(bool on);
    bool IsEnabled() const { return !blanked_; }

    // Whether the text is one of "ANY", "AS RX", "NONE" or a display text of
    // the list, so no number.
    bool ShowsNoNumber() const;
    // The text's number in an integer mode (fraction mode: rounded to a
    // whole number); nothing when the text is no number.
    std::optional<std::int64_t> IntValue() const;
    // The text's value times `scale`, rounded to the nearest integer (ties
    // away from zero) after the field's own rounding; nothing when the text
    // is no number. Frequencies in Hz: ScaledValue(1000000).
    std::optional<std::int64_t> ScaledValue(std::int64_t scale) const;

    // The readings of the field's mode, for texts that are not its own.
    // Integer modes give the number; fraction mode gives millionths.
    std::int64_t Parse(const std::string& text) const;
    // A value (millionths in fraction mode) written as the field writes it.
    std::string Format(std::int64_t value) const;

  private:
    bool IsFraction() const { return config_.mode == FieldMode::Fraction; }
    std::int64_t RangeMax() const;
    std::int64_t RangeMin() const;
    std::int64_t RangeStep() const;
    std::int64_t Clamp(std::int64_t value) const;
    std::int64_t RoundToGrid(std::int64_t micros) const;
    std::string DisplayOf(std::size_t index) const;
    int MatchEntry(const std::string& text) const;
    int NearestEntry(const std::string& text) const;
    bool IsDisplayText(const std::string& text) const;
    void ShowEntry(int index);
    void ShowNumber(std::int64_t value);
    void RefreshValueText();
    std::string PadValueText(const std::string& shown) const;
    bool StepList(StepCode code);
    bool StepNumber(StepCode code);

    FieldConfig config_;
    ValueList list_;
    std::string text_;
    std::string valueText_;
    int listIndex_ = -1;
    bool blanked_ = false;
};

}  // namespace quillon::edit
