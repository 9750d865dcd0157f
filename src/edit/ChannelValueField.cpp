#include "edit/ChannelValueField.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "edit/SpecialTexts.h"

namespace quillon::edit {

void ValueField::Configure(const FieldSetup& setup) {
    setup_ = setup;
}

void ValueField::SetMinimum(double min) {
    setup_.min = min;
}

std::string ValueField::EntryText(int i) const {
    const size_t k = static_cast<size_t>(i);
    if (k < setup_.displays.size()) {
        return setup_.displays[k];
    }
    return k < setup_.values.size() ? setup_.values[k] : std::string();
}

int ValueField::EntryOf(const std::string& text) const {
    for (size_t i = 0; i < setup_.values.size(); ++i) {
        if ((i < setup_.displays.size() && text == setup_.displays[i]) ||
            text == setup_.values[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ValueField::Put(const std::string& text) {
    (blanked_ ? kept_ : text_) = text;
}

void ValueField::Show(const std::string& text) {
    Put(text);
}

void ValueField::SetValue(const std::string& text) {
    const int entry = EntryOf(text);
    if (entry >= 0) {
        Put(EntryText(entry));
        return;
    }
    Put(Format(Parse(text)));
}

bool ValueField::Accepts(const std::string& text) const {
    size_t limit = static_cast<size_t>(setup_.maxDigits);
    if (setup_.mode == 0 && text.rfind("0x", 0) == 0) {
        limit += 2;
    } else if (setup_.mode == 2) {
        limit += 1;  // the point
    }
    if (text.size() > limit) {
        return false;
    }
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        bool ok = false;
        switch (setup_.mode) {
            case 0:
                ok = digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x';
                break;
            case 1:
                ok = digit;
                break;
            case 2:
                ok = digit || c == '.';
                break;
            default:
                ok = c >= '0' && c <= '7';
                break;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

double ValueField::Parse(const std::string& text) const {
    std::string t = text;
    switch (setup_.mode) {
        case 0:
            if (t.size() > 2 && t.rfind("0x", 0) == 0) {
                t = t.substr(2);
            }
            return static_cast<double>(std::strtoll(t.c_str(), nullptr, 16));
        case 1:
            return static_cast<double>(std::strtoll(t.c_str(), nullptr, 10));
        case 2:
            return std::strtod(t.c_str(), nullptr);
        default:
            return static_cast<double>(std::strtoll(t.c_str(), nullptr, 8));
    }
}

std::string ValueField::Format(double v) const {
    v = std::fmin(std::fmax(v, setup_.min), setup_.max);
    char buf[64];
    if (setup_.mode == 2) {
        v = std::round(v / setup_.step) * setup_.step;
        std::snprintf(buf, sizeof buf, "%f", v);
        std::string s = buf;
        const size_t point = s.find('.');
        const int pad = setup_.maxDigits - setup_.fractionDigits - static_cast<int>(point) -
                        setup_.fractionOffset;
        if (pad > 0) {
            s.insert(0, static_cast<size_t>(pad), '0');
        }
        const size_t p = s.find('.');
        if (setup_.fractionDigits == 0) {
            return s.substr(0, p);
        }
        while (s.size() > p + 1 + static_cast<size_t>(setup_.fractionDigits) && s.back() == '0') {
            s.pop_back();
        }
        return s;
    }
    const long long n = std::llround(v);
    const int width = setup_.zeroFill ? setup_.maxDigits : 0;
    const char* format = setup_.mode == 0 ? "%0*llx" : (setup_.mode == 1 ? "%0*lld" : "%0*llo");
    std::snprintf(buf, sizeof buf, format, width, n);
    return (setup_.mode == 0 && setup_.hexPrefix ? "0x" : "") + std::string(buf);
}

void ValueField::Normalise() {
    std::string& t = blanked_ ? kept_ : text_;
    if (IsSpecialText(t)) {
        return;
    }
    if (setup_.listOnly && !setup_.values.empty()) {
        if (setup_.mode == 1) {
            return;
        }
        const double v = Parse(t);
        int best = -1;
        double bestDistance = 0;
        for (size_t i = 1; i < setup_.values.size(); ++i) {
            const double d = std::fabs(Parse(setup_.values[i]) - v);
            if (best < 0 || d < bestDistance) {
                best = static_cast<int>(i);
                bestDistance = d;
            }
        }
        if (best >= 0) {
            t = setup_.values[static_cast<size_t>(best)];
        }
        return;
    }
    t = Format(Parse(t));
}

bool ValueField::Step(int code) {
    if (setup_.listOnly && !setup_.values.empty()) {
        const int count = static_cast<int>(setup_.values.size());
        int i = EntryOf(text_);
        int next = code == 6 ? 0 : i + (code == 0 ? 1 : -1);
        if (next < 0 || next >= count) {
            return false;
        }
        text_ = EntryText(next);
        return true;
    }
    if (text_.empty() && setup_.mode == 0) {
        return true;
    }
    const double v = Parse(text_);
    const double slack = setup_.mode == 2 ? 0.000001 : 0;
    const double next = code == 0 ? v + setup_.step : v - setup_.step;
    if (next > setup_.max + slack || next < setup_.min - slack) {
        return false;
    }
    text_ = Format(next);
    return true;
}

void ValueField::Enable(bool on) {
    if (!on && !blanked_) {
        kept_ = text_;
        text_.clear();
        blanked_ = true;
    } else if (on && blanked_) {
        if (!kept_.empty()) {
            text_ = kept_;
        }
        blanked_ = false;
    }
}

}  // namespace quillon::edit
