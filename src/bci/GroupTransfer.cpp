#include "bci/GroupTransfer.h"

#include <algorithm>
#include <string>

#include "bci/Messages.h"
#include "core/LogSink.h"
#include "model/CToneRemote.h"
#include "model/SquGroup.h"
#include "model/TextForms.h"

namespace quillon::bci {

namespace {

using model::SquGroup;

// The value of an item as it goes to the card, from its type and text.
void EncodeItemValue(const model::SquelchItem& item, uint8_t* out, LogSink& log) {
    out[0] = 0;
    out[1] = 0;
    switch (item.type) {
        case SquGroup::kNac:
        case SquGroup::kCdcss:
            if (!item.value.empty()) {
                model::CodeParse(item.value, out, 2);
            }
            return;
        case SquGroup::kCtcss:
            if (item.value.empty()) {
                return;
            }
            // Both any-value texts, the code form and the tone form that a
            // Get produces, go back as the any-value itself.
            if (model::EqualsNoCase(item.value, "f000") ||
                model::EqualsNoCase(item.value, "f00.0")) {
                out[0] = 0xF0;
                return;
            }
            model::DecimalParse(item.value, out, 2);
            return;
        case SquGroup::kNotUsed:
            return;
        default:
            log.Write(bcimsg::kGroupSendBadType);
            return;
    }
}

model::SquelchItem DecodeItem(const uint8_t* item, LogSink& log) {
    model::SquelchItem out;
    out.type = item[2];
    switch (item[2]) {
        case SquGroup::kNac:
            out.value = model::CodeForm(item, 2, 3, true);
            return out;
        case SquGroup::kCtcss:
            out.value = model::DecimalForm(item, 2, 3, 2, 0);
            return out;
        case SquGroup::kCdcss:
            out.value = model::CodeForm(item, 2, 3, false);
            return out;
        case SquGroup::kNotUsed:
            out.value = "0000";
            return out;
        default:
            log.Write(bcimsg::kGroupGetBadType);
            out.type = SquGroup::kNotUsed;
            out.value = "0000";
            return out;
    }
}

// The argument of a tone slot is a channel number, one decimal digit per
// nibble: -1 when it is not one of the table's.
int ToneChannel(const uint8_t* arg) {
    const int n = Bcd4ToNumber(arg[0], arg[1]);
    return n < kTableChannels ? n : -1;
}

}  // namespace

GroupRecord EncodeGroup(const model::SquGroup& groups, int index, LogSink& log) {
    GroupRecord r{};
    const std::string name = groups.GetName(index);
    std::copy_n(name.begin(), std::min(name.size(), kGroupNameBytes), r.begin());
    r[kGroupNumberAt] = static_cast<uint8_t>(index + 1);
    for (int i = 0; i < SquGroup::kItems; ++i) {
        const model::SquelchItem item = groups.GetItem(index, i);
        uint8_t* at = r.data() + kGroupItemsAt + kGroupItemBytes * static_cast<size_t>(i);
        EncodeItemValue(item, at, log);
        at[2] = item.type;
    }
    return r;
}

bool DecodeGroup(const uint8_t* record, model::SquGroup& groups, LogSink& log) {
    const int index = record[kGroupNumberAt] - 1;
    if (index < 0 || index >= kGroupCount) {
        return false;
    }
    const std::string name(reinterpret_cast<const char*>(record), kGroupNameBytes);
    groups.SetName(index, std::string(model::UpToNul(name)));
    for (int i = 0; i < SquGroup::kItems; ++i) {
        const model::SquelchItem item =
            DecodeItem(record + kGroupItemsAt + kGroupItemBytes * static_cast<size_t>(i), log);
        groups.SetItem(index, i, item.type, item.value);
    }
    return true;
}

ToneList PackToneList(const model::CToneRemote& tones) {
    ToneList list{};
    for (int slot = 0; slot < model::CToneRemote::kSlots; ++slot) {
        const model::ToneEntry e = tones.RawEntry(slot);
        uint8_t* at = list.data() + 3 * static_cast<size_t>(slot);
        at[0] = e.function;
        model::CodeParse(e.argument, at + 1, 2);
    }
    return list;
}

void UnpackToneList(const uint8_t* list, model::CToneRemote& tones, LogSink& log) {
    for (int slot = 0; slot < model::CToneRemote::kSlots; ++slot) {
        const uint8_t* at = list + 3 * static_cast<size_t>(slot);
        model::ToneEntry e;
        e.function = at[0];
        e.argument = model::CodeForm(at + 1, 2, 0, false);
        if (e.function < model::CToneRemote::kIncreaseAudio ||
            e.function > model::CToneRemote::kUnassigned) {
            log.Write(bcimsg::kToneGetBadFunction);
            e.function = model::CToneRemote::kUnassigned;
            e.argument = "0";
        } else if (ToneChannel(at + 1) < 0) {
            log.Write(bcimsg::kToneGetBadChannel);
            e.function = model::CToneRemote::kUnassigned;
            e.argument = "0";
        }
        tones.SetRawEntry(slot, e);
    }
}

std::array<uint8_t, 19> GetGroupsRequest() {
    std::array<uint8_t, 19> r{};
    r[0] = kRequestTag;
    r[1] = kCodeGetGroups;
    r[2] = kGroupCount;
    for (int i = 0; i < kGroupCount; ++i) {
        r[3 + static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
    }
    return r;
}

size_t GroupStreamWriter::NextBlock(BlockBuffer& block,
                                    const std::function<void(int)>& onRecordStarted) {
    block.fill(0);
    block[0] = kRequestTag;
    block[1] = kCodeSendGroups;
    size_t fill = kHeaderBytes;
    while (fill < kBlockBytes) {
        if (pos_ >= kGroupRecordSize) {
            if (next_ >= kGroupCount) {
                break;
            }
            record_ = EncodeGroup(groups_, next_, log_);
            pos_ = 0;
            if (onRecordStarted) {
                onRecordStarted(next_);
            }
            ++next_;
        }
        const size_t n = std::min(kBlockBytes - fill, kGroupRecordSize - pos_);
        std::copy_n(record_.begin() + static_cast<std::ptrdiff_t>(pos_), n,
                    block.begin() + static_cast<std::ptrdiff_t>(fill));
        pos_ += n;
        fill += n;
    }
    return fill;
}

bool GroupReplyReader::TakeBlock(const uint8_t* block, const std::function<void(int)>& onStored) {
    for (size_t i = kHeaderBytes; i < kBlockBytes && stored_ < kGroupCount; ++i) {
        record_[have_++] = block[i];
        if (have_ < kGroupRecordSize) {
            continue;
        }
        DecodeGroup(record_.data(), groups_, log_);
        have_ = 0;
        ++stored_;
        if (onStored) {
            onStored(stored_);
        }
    }
    return stored_ >= kGroupCount;
}

}  // namespace quillon::bci
