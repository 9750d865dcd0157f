#include "ops/RadioWideSettingsLogic.h"

#include <algorithm>

#include "model/CTmpDoc.h"
#include "ops/RadioParameters.h"

namespace quillon {

namespace {

bool Step(int& value, int delta, int min, int max) {
    const long next = static_cast<long>(value) + delta;
    if (next < min || next > max) {
        return false;
    }
    value = static_cast<int>(next);
    return true;
}

}  // namespace

int RadioWideSettingsLogic::LeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    // Beyond this the number boxes clamp anyway; stopping keeps it in range.
    constexpr long kLimit = 1000000;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(kLimit, value * 10 + (text[i] - '0'));
    }
    return static_cast<int>(negative ? -value : value);
}

RadioWideSettingsLogic::RadioWideSettingsLogic(const model::CTmpDoc& doc) {
    SetLevel(LeadingInteger(doc.frontPanelVolume));
    audio_ = LeadingInteger(doc.frontPanelMonitor) != 0;
    useBoxId_ = doc.defaultChannel == kNoDefaultChannel;
    SetChannel(useBoxId_ ? 0 : LeadingInteger(doc.defaultChannel));
    const int bits = LeadingInteger(doc.backPanelOutput);
    diagnostic_ = (bits & 1) != 0;
    gps_ = (bits & 2) != 0;
    // Bits the dialog has no box for are not the dialog's to clear.
    otherOutputBits_ = bits & ~3;
}

std::string RadioWideSettingsLogic::LevelText() const {
    return LevelEnabled() ? std::to_string(level_) : std::string();
}

std::string RadioWideSettingsLogic::ChannelText() const {
    return ChannelEnabled() ? std::to_string(channel_) : std::string();
}

void RadioWideSettingsLogic::SetLevel(int value) {
    level_ = std::clamp(value, kLevelMin, kLevelMax);
}

void RadioWideSettingsLogic::SetChannel(int value) {
    channel_ = std::clamp(value, kChannelMin, kChannelMax);
}

bool RadioWideSettingsLogic::StepLevel(int delta) {
    return Step(level_, delta, kLevelMin, kLevelMax);
}

bool RadioWideSettingsLogic::StepChannel(int delta) {
    return Step(channel_, delta, kChannelMin, kChannelMax);
}

void RadioWideSettingsLogic::Apply(model::CTmpDoc& doc) const {
    const std::string volume = std::to_string(level_);
    const std::string monitor = audio_ ? "1" : "0";
    const std::string channel = useBoxId_ ? kNoDefaultChannel : std::to_string(channel_);
    const std::string output =
        std::to_string(otherOutputBits_ | (diagnostic_ ? 1 : 0) | (gps_ ? 2 : 0));
    const bool changed = doc.frontPanelVolume != volume || doc.frontPanelMonitor != monitor ||
                         doc.defaultChannel != channel || doc.backPanelOutput != output;
    doc.frontPanelVolume = volume;
    doc.frontPanelMonitor = monitor;
    doc.defaultChannel = channel;
    doc.backPanelOutput = output;
    if (changed) {
        // Otherwise closing the program would not offer to save the change.
        doc.SetModified(true);
    }
}

}  // namespace quillon
