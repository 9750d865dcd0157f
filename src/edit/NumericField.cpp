#include "edit/NumericField.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "edit/SpecialTexts.h"

namespace quillon::edit {

namespace {

// Fraction fields count in millionths: the sixth decimal is the finest place
// the field ever writes.
constexpr std::int64_t kMicros = 1000000;
// Readings saturate here, far above any range a dialog sets, so a long
// pasted or loaded text cannot overflow.
constexpr std::int64_t kIntegerCeiling = std::int64_t{1} << 40;
constexpr std::int64_t kFractionIntegerCeiling = 1000000000000;  // 10^12 units
// Widths come from the dialogs; a wild one must not make a wild string.
constexpr int kWidthLimit = 64;

int Bounded(int width) {
    return std::clamp(width, 0, kWidthLimit);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::int64_t ToMicros(double value) {
    const double scaled = value * static_cast<double>(kMicros);
    const double limit =
        static_cast<double>(kFractionIntegerCeiling) * static_cast<double>(kMicros);
    if (!(scaled == scaled)) {  // NaN
        return 0;
    }
    return std::llround(std::clamp(scaled, -limit, limit));
}

std::int64_t Abs(std::int64_t v) {
    return v < 0 ? -v : v;
}

std::string Digits(std::int64_t value, int base) {
    static const char* const kDigits = "0123456789abcdef";
    std::string out;
    std::int64_t v = Abs(value);
    do {
        out.insert(out.begin(), kDigits[v % base]);
        v /= base;
    } while (v > 0);
    return out;
}

}  // namespace

void NumericField::Configure(const FieldConfig& config) {
    config_ = config;
    config_.maxDigits = Bounded(config_.maxDigits);
    config_.fractionDigits = Bounded(config_.fractionDigits);
    config_.fractionOffset = std::clamp(config_.fractionOffset, -kWidthLimit, kWidthLimit);
    config_.integerWidth = Bounded(config_.integerWidth);
    config_.valueWidth = Bounded(config_.valueWidth);
}

void NumericField::AttachLists(ValueList list) {
    list_ = std::move(list);
    listIndex_ = MatchEntry(text_);
}

void NumericField::DetachLists() {
    list_ = ValueList{};
    listIndex_ = -1;
}

// --- reading and writing -------------------------------------------------------

std::int64_t NumericField::Parse(const std::string& text) const {
    std::size_t i = 0;
    switch (config_.mode) {
        case FieldMode::Hex: {
            if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
                i = 2;
            }
            std::int64_t v = 0;
            for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
                v = std::min(v * 16 + HexDigit(text[i]), kIntegerCeiling);
            }
            return v;
        }
        case FieldMode::Decimal:
        case FieldMode::Octal: {
            const int base = config_.mode == FieldMode::Decimal ? 10 : 8;
            bool negative = false;
            if (base == 10 && i < text.size() && (text[i] == '-' || text[i] == '+')) {
                negative = text[i] == '-';
                ++i;
            }
            std::int64_t v = 0;
            for (; i < text.size() && IsDigit(text[i]) && text[i] - '0' < base; ++i) {
                v = std::min(v * base + (text[i] - '0'), kIntegerCeiling);
            }
            return negative ? -v : v;
        }
        case FieldMode::Fraction: {
            bool negative = false;
            if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
                negative = text[i] == '-';
                ++i;
            }
            std::int64_t whole = 0;
            for (; i < text.size() && IsDigit(text[i]); ++i) {
                whole = std::min(whole * 10 + (text[i] - '0'), kFractionIntegerCeiling);
            }
            std::int64_t fraction = 0;
            std::int64_t place = kMicros / 10;
            bool roundUp = false;
            if (i < text.size() && text[i] == '.') {
                for (++i; i < text.size() && IsDigit(text[i]); ++i) {
                    if (place > 0) {
                        fraction += (text[i] - '0') * place;
                        place /= 10;
                    } else if (place == 0) {
                        // The seventh decimal rounds the sixth; the rest
                        // is below anything the field shows.
                        roundUp = text[i] >= '5';
                        place = -1;
                    }
                }
            }
            const std::int64_t micros = whole * kMicros + fraction + (roundUp ? 1 : 0);
            return negative ? -micros : micros;
        }
    }
    return 0;
}

std::string NumericField::Format(std::int64_t value) const {
    if (!IsFraction()) {
        const int base = config_.mode == FieldMode::Hex     ? 16
                         : config_.mode == FieldMode::Octal ? 8
                                                            : 10;
        std::string digits = Digits(value, base);
        if (config_.zeroFill && digits.size() < static_cast<std::size_t>(config_.maxDigits)) {
            digits.insert(0, static_cast<std::size_t>(config_.maxDigits) - digits.size(), '0');
        }
        if (config_.mode == FieldMode::Hex && config_.hexPrefix) {
            digits.insert(0, "0x");
        }
        return value < 0 ? "-" + digits : digits;
    }
    std::string fraction = Digits(Abs(value) % kMicros, 10);
    fraction.insert(0, 6 - fraction.size(), '0');
    std::string text = (value < 0 ? "-" : "") + Digits(Abs(value) / kMicros, 10) + "." + fraction;
    const auto point = static_cast<int>(text.find('.'));
    const int zeros = config_.maxDigits - config_.fractionDigits - point - config_.fractionOffset;
    if (zeros > 0) {
        text.insert(0, static_cast<std::size_t>(zeros), '0');
    }
    const std::size_t at = text.find('.');
    if (config_.fractionDigits == 0) {
        text.erase(at);
    } else {
        const std::size_t keep = at + 1 + static_cast<std::size_t>(config_.fractionDigits);
        while (text.size() > keep && text.back() == '0') {
            text.pop_back();
        }
    }
    return text;
}

std::int64_t NumericField::RangeMax() const {
    switch (config_.mode) {
        case FieldMode::Hex:
            return config_.hexRange.max;
        case FieldMode::Decimal:
            return config_.decimalRange.max;
        case FieldMode::Octal:
            return config_.octalRange.max;
        case FieldMode::Fraction:
            return ToMicros(config_.fractionRange.max);
    }
    return 0;
}

std::int64_t NumericField::RangeMin() const {
    switch (config_.mode) {
        case FieldMode::Hex:
            return config_.hexRange.min;
        case FieldMode::Decimal:
            return config_.decimalRange.min;
        case FieldMode::Octal:
            return config_.octalRange.min;
        case FieldMode::Fraction:
            return ToMicros(config_.fractionRange.min);
    }
    return 0;
}

std::int64_t NumericField::RangeStep() const {
    switch (config_.mode) {
        case FieldMode::Hex:
            return config_.hexRange.step;
        case FieldMode::Decimal:
            return config_.decimalRange.step;
        case FieldMode::Octal:
            return config_.octalRange.step;
        case FieldMode::Fraction:
            return ToMicros(config_.fractionRange.step);
    }
    return 0;
}

std::int64_t NumericField::Clamp(std::int64_t value) const {
    // Above the maximum first, so a range whose minimum lies above its
    // maximum gives the minimum, as the field always has.
    if (value > RangeMax()) {
        value = RangeMax();
    }
    if (value < RangeMin()) {
        value = RangeMin();
    }
    return value;
}

std::int64_t NumericField::RoundToGrid(std::int64_t micros) const {
    if (!IsFraction()) {
        return micros;
    }
    const std::int64_t grid = ToMicros(config_.fractionResolution);
    if (grid <= 1) {
        return micros;
    }
    const std::int64_t rest = ((micros % grid) + grid) % grid;
    const std::int64_t below = micros - rest;
    if (rest * 2 > grid || (rest * 2 == grid && config_.ties == TieRounding::Up)) {
        return below + grid;
    }
    return below;
}

// --- lists ---------------------------------------------------------------------

std::string NumericField::DisplayOf(std::size_t index) const {
    if (index < list_.displays.size() && !list_.displays[index].empty()) {
        return list_.displays[index];
    }
    return list_.values[index];
}

int NumericField::MatchEntry(const std::string& text) const {
    for (std::size_t i = 0; i < list_.values.size(); ++i) {
        if (DisplayOf(i) == text) {
            return static_cast<int>(i);
        }
    }
    for (std::size_t i = 0; i < list_.values.size(); ++i) {
        if (list_.values[i] == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int NumericField::NearestEntry(const std::string& text) const {
    const std::int64_t wanted = Parse(text);
    int best = -1;
    std::int64_t bestDistance = 0;
    const std::size_t first = list_.firstIsOff ? 1 : 0;
    for (std::size_t i = first; i < list_.values.size(); ++i) {
        const std::int64_t distance = Abs(Parse(list_.values[i]) - wanted);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

bool NumericField::IsDisplayText(const std::string& text) const {
    for (std::size_t i = 0; i < list_.values.size() && i < list_.displays.size(); ++i) {
        if (!list_.displays[i].empty() && list_.displays[i] == text) {
            return true;
        }
    }
    return false;
}

void NumericField::ShowEntry(int index) {
    listIndex_ = index;
    text_ = DisplayOf(static_cast<std::size_t>(index));
    valueText_ = list_.values[static_cast<std::size_t>(index)];
}

void NumericField::ShowNumber(std::int64_t value) {
    text_ = Format(value);
    RefreshValueText();
}

void NumericField::RefreshValueText() {
    listIndex_ = MatchEntry(text_);
    if (listIndex_ >= 0) {
        valueText_ = list_.values[static_cast<std::size_t>(listIndex_)];
    } else if (IsSpecialText(text_)) {
        valueText_ = text_;
    } else {
        valueText_ = PadValueText(text_);
    }
}

std::string NumericField::PadValueText(const std::string& shown) const {
    std::string text = shown;
    if (!IsFraction()) {
        const auto width = static_cast<std::size_t>(config_.valueWidth);
        if (text.size() < width) {
            text.insert(0, width - text.size(), '0');
        }
        return text;
    }
    const std::size_t point = text.find('.');
    const std::size_t integerDigits = point == std::string::npos ? text.size() : point;
    const auto integerWidth = static_cast<std::size_t>(config_.integerWidth);
    if (integerDigits < integerWidth) {
        text.insert(0, integerWidth - integerDigits, '0');
    }
    const int trailing = config_.valueWidth - config_.integerWidth - config_.fractionDigits;
    if (point != std::string::npos && trailing > 0) {
        text.append(static_cast<std::size_t>(trailing), '0');
    }
    return text;
}

// --- values --------------------------------------------------------------------

void NumericField::SetValue(const std::string& text) {
    const int entry = MatchEntry(text);
    if (entry >= 0) {
        ShowEntry(entry);
        return;
    }
    if (IsSpecialText(text)) {
        text_ = text;
        RefreshValueText();
        return;
    }
    if (list_.listOnly && HasList() && config_.mode != FieldMode::Decimal) {
        const int nearest = NearestEntry(text);
        if (nearest >= 0) {
            ShowEntry(nearest);
            return;
        }
    }
    std::int64_t value = RoundToGrid(Parse(text));
    if (config_.clampOnLeave) {
        value = Clamp(value);
    }
    ShowNumber(value);
}

void NumericField::SetText(const std::string& text) {
    text_ = text;
    listIndex_ = MatchEntry(text_);
}

void NumericField::Normalise() {
    if (blanked_) {
        // The kept text is what the dialog put there; an empty box must not
        // turn it into a zero.
        return;
    }
    if (IsSpecialText(text_) || IsDisplayText(text_)) {
        RefreshValueText();
        return;
    }
    if (list_.listOnly && HasList()) {
        if (config_.mode == FieldMode::Decimal) {
            RefreshValueText();
            return;
        }
        const int nearest = NearestEntry(text_);
        if (nearest >= 0) {
            listIndex_ = nearest;
            text_ = list_.values[static_cast<std::size_t>(nearest)];
            valueText_ = text_;
        }
        return;
    }
    std::int64_t value = RoundToGrid(Parse(text_));
    if (config_.clampOnLeave) {
        value = Clamp(value);
    }
    ShowNumber(value);
}

void NumericField::SelectEntry(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < list_.values.size()) {
        ShowEntry(index);
    }
}

void NumericField::Enable(bool on) {
    blanked_ = !on;
}

bool NumericField::ShowsNoNumber() const {
    return IsSpecialText(text_) || IsDisplayText(text_);
}

std::optional<std::int64_t> NumericField::IntValue() const {
    if (ShowsNoNumber()) {
        return std::nullopt;
    }
    return ScaledValue(1);
}

std::optional<std::int64_t> NumericField::ScaledValue(std::int64_t scale) const {
    // Beyond a million millions a scale means nothing here, and the
    // remainder times the scale below must stay inside 64 bits.
    if (ShowsNoNumber() || scale <= 0 || scale > kMicros * kMicros) {
        return std::nullopt;
    }
    const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / scale;
    if (!IsFraction()) {
        const std::int64_t value = Parse(text_);
        if (Abs(value) > limit) {
            return std::nullopt;
        }
        return value * scale;
    }
    const std::int64_t micros = RoundToGrid(Parse(text_));
    const std::int64_t whole = micros / kMicros;
    if (Abs(whole) > limit - 1) {
        return std::nullopt;
    }
    const std::int64_t part = (micros % kMicros) * scale;
    std::int64_t rounded = part / kMicros;
    if (Abs(part % kMicros) * 2 >= kMicros) {
        rounded += part < 0 ? -1 : 1;
    }
    return whole * scale + rounded;
}

// --- typing --------------------------------------------------------------------

bool NumericField::AcceptsTyped(const std::string& text, std::size_t selStart,
                                std::size_t selLength, char c) const {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127) {
        return true;
    }
    if (code >= 128) {
        return false;
    }
    selStart = std::min(selStart, text.size());
    selLength = std::min(selLength, text.size() - selStart);
    if (selLength == 0) {
        long long room = config_.maxDigits - 1;
        if (config_.mode == FieldMode::Hex && text.rfind("0x", 0) == 0) {
            room = config_.maxDigits + 1;
        } else if (IsFraction()) {
            room = config_.maxDigits;
        }
        if (static_cast<long long>(text.size()) > room) {
            return false;
        }
    }
    std::string result = text;
    result.replace(selStart, selLength, 1, c);
    switch (config_.mode) {
        case FieldMode::Hex:
            if (c == 'x') {
                // Only as the prefix the field writes itself.
                return config_.hexPrefix && selStart == 1 && result[0] == '0' &&
                       std::count(result.begin(), result.end(), 'x') == 1;
            }
            return HexDigit(c) >= 0;
        case FieldMode::Decimal:
            return IsDigit(c);
        case FieldMode::Fraction:
            if (c == '.') {
                return std::count(result.begin(), result.end(), '.') == 1;
            }
            return IsDigit(c);
        case FieldMode::Octal:
            return c >= '0' && c <= '7';
    }
    return false;
}

bool NumericField::AcceptsInsert(const std::string& text, std::size_t selStart,
                                 std::size_t selLength, const std::string& inserted) const {
    selStart = std::min(selStart, text.size());
    selLength = std::min(selLength, text.size() - selStart);
    std::string current = text;
    std::size_t at = selStart;
    for (std::size_t k = 0; k < inserted.size(); ++k) {
        const char c = inserted[k];
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127) {
            // A line break or tab would land in the box as it is.
            return false;
        }
        const std::size_t over = k == 0 ? selLength : 0;
        if (!AcceptsTyped(current, at, over, c)) {
            return false;
        }
        current.replace(at, over, 1, c);
        ++at;
    }
    return true;
}

// --- arrows --------------------------------------------------------------------

bool NumericField::Step(StepCode code) {
    if (blanked_) {
        return true;
    }
    if (list_.listOnly && HasList()) {
        return StepList(code);
    }
    return StepNumber(code);
}

bool NumericField::StepList(StepCode code) {
    const auto count = static_cast<int>(list_.values.size());
    int index = MatchEntry(text_);
    if (index < 0) {
        index = std::max(NearestEntry(text_), 0);
    }
    switch (code) {
        case StepCode::First:
            ShowEntry(0);
            return true;
        case StepCode::Up:
            if (index + 1 < count) {
                ShowEntry(index + 1);
                return true;
            }
            break;
        case StepCode::Down:
            if (index > 0) {
                ShowEntry(index - 1);
                return true;
            }
            break;
    }
    ShowEntry(index);
    return false;
}

bool NumericField::StepNumber(StepCode code) {
    if (config_.mode == FieldMode::Hex && text_.empty()) {
        return true;
    }
    const auto count = static_cast<int>(list_.values.size());
    if (HasList()) {
        const int index = MatchEntry(text_);
        if (index >= 0) {
            switch (code) {
                case StepCode::First:
                    ShowEntry(0);
                    return true;
                case StepCode::Up:
                    if (index + 1 < count) {
                        ShowEntry(index + 1);
                    } else {
                        ShowNumber(RangeMin());
                    }
                    return true;
                case StepCode::Down:
                    if (index > 0) {
                        ShowEntry(index - 1);
                        return true;
                    }
                    return false;
            }
        }
    }
    if (code == StepCode::First) {
        if (HasList()) {
            ShowEntry(0);
        } else {
            ShowNumber(RangeMin());
        }
        return true;
    }
    if (IsSpecialText(text_)) {
        if (code == StepCode::Up) {
            ShowNumber(RangeMin());
            return true;
        }
        return false;
    }
    std::int64_t value = RoundToGrid(Parse(text_));
    if (code == StepCode::Down && HasList() && value <= RangeMin()) {
        ShowEntry(count - 1);
        return true;
    }
    bool taken = true;
    const std::int64_t step = RangeStep();
    if (code == StepCode::Up) {
        if (value <= RangeMax() - step) {
            value += step;
        } else {
            taken = false;
        }
    } else {
        if (value >= RangeMin() + step) {
            value -= step;
        } else {
            taken = false;
        }
    }
    ShowNumber(Clamp(value));
    return taken;
}

}  // namespace quillon::edit
