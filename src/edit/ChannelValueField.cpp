#include "edit/ChannelValueField.h"

#include <cmath>

namespace quillon::edit {

namespace {

std::int64_t Whole(double v) {
    return static_cast<std::int64_t>(std::llround(v));
}

}  // namespace

void ValueField::Configure(const FieldSetup& s) {
    FieldConfig c;
    c.mode = s.mode;
    c.maxDigits = s.maxDigits;
    c.zeroFill = s.zeroFill;
    c.hexPrefix = s.hexPrefix;
    const IntRange whole{Whole(s.max), Whole(s.min), Whole(s.step)};
    c.hexRange = whole;
    c.decimalRange = whole;
    c.octalRange = whole;
    c.fractionRange = FractionRange{s.max, s.min, s.step};
    c.fractionDigits = s.fractionDigits;
    c.fractionResolution = s.resolution;
    c.ties = s.tiesDown ? TieRounding::Down : TieRounding::Up;
    c.clampOnLeave = s.clampOnLeave;
    field_.Configure(c);
    if (s.values.empty()) {
        field_.DetachLists();
    } else {
        ValueList list;
        list.values = s.values;
        list.displays = s.displays;
        list.listOnly = s.listOnly;
        list.firstIsOff = true;
        field_.AttachLists(list);
    }
}

void ValueField::SetMinimum(double min) {
    FieldConfig c = field_.Config();
    c.fractionRange.min = min;
    c.hexRange.min = c.decimalRange.min = c.octalRange.min = Whole(min);
    field_.Configure(c);
}

bool ValueField::Accepts(const std::string& text) const {
    return field_.AcceptsInsert(std::string(), 0, 0, text);
}

bool ValueField::Step(int code) {
    return field_.Step(static_cast<StepCode>(code));
}

int ValueField::EntryOf(const std::string& text) const {
    const ValueList& list = field_.List();
    for (size_t i = 0; i < list.values.size(); ++i) {
        if ((i < list.displays.size() && !list.displays[i].empty() && text == list.displays[i]) ||
            text == list.values[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ValueField::IsDisplayText(const std::string& text) const {
    const ValueList& list = field_.List();
    const int i = EntryOf(text);
    return i >= 0 && static_cast<size_t>(i) < list.displays.size() &&
           text == list.displays[static_cast<size_t>(i)];
}

}  // namespace quillon::edit
