#include "edit/SquelchGroupRefs.h"

#include <algorithm>

#include "edit/SquelchGroupMessages.h"
#include "model/ChannelTableController.h"

namespace quillon::edit {

namespace {

using model::val::kFirstGroup;
using model::val::kLastGroup;

bool UsesGroupSystem(const model::CChannel& ch) {
    return ch.SquelchSystem() == model::val::kSquelchCtcssGroup ||
           ch.SquelchSystem() == model::val::kSquelchCdcssGroup;
}

}  // namespace

int ChannelSquelchGroup(const model::CChannel& ch) {
    if (!ch.IsFixed() || !UsesGroupSystem(ch)) {
        return 0;
    }
    const uint16_t code = ch.RxCxcss();
    if ((code & 0xFF00) != model::val::kGroupCode) {
        return 0;
    }
    const int tens = (code >> 4) & 0x0F;
    const int ones = code & 0x0F;
    if (tens > 9 || ones > 9) {
        return 0;
    }
    const int group = tens * 10 + ones;
    return group >= kFirstGroup && group <= kLastGroup ? group : 0;
}

void SetChannelSquelchGroup(model::CChannel& ch, int group) {
    if (group < kFirstGroup || group > kLastGroup) {
        return;
    }
    const auto bcd = static_cast<uint16_t>(((group / 10) << 4) | (group % 10));
    ch.SetWord(model::off::kRxCxcss, static_cast<uint16_t>(model::val::kGroupCode | bcd));
}

void DropChannelSquelchGroup(model::CChannel& ch) {
    if (ch.SquelchSystem() == model::val::kSquelchCdcssGroup) {
        ch.SetByte(model::off::kSquelchSystem, model::val::kSquelchCdcss);
    } else if (ch.SquelchSystem() == model::val::kSquelchCtcssGroup) {
        ch.SetByte(model::off::kSquelchSystem, model::val::kSquelchCtcss);
    }
    ch.SetWord(model::off::kRxCxcss, 0);
}

GroupReferencePlan::GroupReferencePlan(const model::CTmpDoc& doc) {
    for (int c = 0; c < model::kChannelCount; ++c) {
        const int g = ChannelSquelchGroup(doc.channels[c]);
        if (g != 0) {
            refs_.push_back(Ref{c, g, g});
        }
    }
}

std::vector<int> GroupReferencePlan::DeleteGroup(int group) {
    std::vector<int> lost;
    if (group < kFirstGroup || group > kLastGroup) {
        return lost;
    }
    for (Ref& r : refs_) {
        if (r.current == group) {
            r.current = 0;
            lost.push_back(r.channel);
        } else if (r.current > group) {
            --r.current;
        }
    }
    return lost;
}

std::vector<int> GroupReferencePlan::EmptyGroup(int group) {
    std::vector<int> lost;
    if (group < kFirstGroup || group > kLastGroup) {
        return lost;
    }
    for (Ref& r : refs_) {
        if (r.current == group) {
            r.current = 0;
            lost.push_back(r.channel);
        }
    }
    return lost;
}

int GroupReferencePlan::GroupOf(int channel) const {
    for (const Ref& r : refs_) {
        if (r.channel == channel) {
            return r.current;
        }
    }
    return 0;
}

bool GroupReferencePlan::Apply(model::CTmpDoc& doc) const {
    bool changed = false;
    for (const Ref& r : refs_) {
        if (r.current == r.original) {
            continue;
        }
        model::CChannel& ch = doc.channels[r.channel];
        // The channel may have been edited since the plan was made; only a
        // reference that is still the one planned for is moved.
        if (ChannelSquelchGroup(ch) != r.original) {
            continue;
        }
        if (r.current == 0) {
            DropChannelSquelchGroup(ch);
        } else {
            SetChannelSquelchGroup(ch, r.current);
        }
        changed = true;
    }
    return changed;
}

std::string ChannelsLosingGroupText(const model::CTmpDoc& doc, const std::vector<int>& channels) {
    if (channels.empty()) {
        return {};
    }
    std::string text = msg::kChannelsLoseTheirGroup;
    const size_t named = std::min(channels.size(), static_cast<size_t>(msg::kMostChannelsNamed));
    for (size_t i = 0; i < named; ++i) {
        const int c = channels[i];
        if (!model::CChannelTable::IsChannelNumber(c)) {
            continue;
        }
        text += (i > 0 ? "\n" : "") + model::ChannelTableController::LineText(doc.channels[c], c);
    }
    if (channels.size() > named) {
        text += "\n" + std::string(msg::kAndMorePrefix) + std::to_string(channels.size() - named) +
                msg::kAndMoreSuffix;
    }
    return text;
}

}  // namespace quillon::edit
