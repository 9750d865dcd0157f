#pragma once
// One value field of the channel dialogs: the numeric entry field's logic
// with the few things the channel rules add to it (showing a text while
// the field is blanked, reading the kept text). The channel rules talk to
// this class only, so how the numeric field is built stays its own business.
#include <string>
#include <vector>

namespace quillon::edit {

struct FieldSetup {
    int mode = 0;  // 0 hexadecimal, 1 decimal, 2 decimal fraction, 3 octal
    int maxDigits = 0;
    bool zeroFill = false;
    bool hexPrefix = false;
    double min = 0;
    double max = 0;
    double step = 1;
    int fractionDigits = 0;
    int fractionOffset = 0;
    std::vector<std::string> values;    // the value list; entry 0 is the off entry
    std::vector<std::string> displays;  // shown instead of the value of the same index
    bool listOnly = false;
};

class ValueField {
  public:
    void Configure(const FieldSetup& setup);
    const FieldSetup& Setup() const { return setup_; }
    // Changes the range's lower end (the courtesy timer's follows Reverse Burst).
    void SetMinimum(double min);

    // The dialog sets the field: an entry of the list by its shown or value
    // text, or else a number, clamped and formatted. While the field is
    // blanked the kept text is set instead.
    void SetValue(const std::string& text);
    // Shows a text as it stands (or keeps it, while blanked).
    void Show(const std::string& text);
    // Whether the text could have been typed or pasted into the field.
    bool Accepts(const std::string& text) const;
    // Focus loss: the text brought into the range or onto the list.
    void Normalise();
    // The arrows: 0 up, 1 down, 6 first entry. False where the field beeps.
    bool Step(int code);
    void Enable(bool on);

    bool Blanked() const { return blanked_; }
    // What the box shows ("" while blanked).
    const std::string& Text() const { return text_; }
    // What OK reads: the text, or the kept text while blanked.
    const std::string& Content() const { return blanked_ ? kept_ : text_; }
    // The list entry the content stands for (by shown or value text), or -1.
    int EntryOf(const std::string& text) const;

  private:
    double Parse(const std::string& text) const;
    std::string Format(double v) const;
    std::string EntryText(int i) const;
    void Put(const std::string& text);

    FieldSetup setup_;
    std::string text_;
    std::string kept_;
    bool blanked_ = false;
};

}  // namespace quillon::edit
