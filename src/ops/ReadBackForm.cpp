#include "ops/ReadBackForm.h"

#include <algorithm>
#include <cstddef>

namespace quillon {

namespace {

namespace off = model::off;

// The last image byte a fixed channel's record carries, and the end of a
// scan channel's references.
constexpr size_t kFixedCarriedEnd = off::kSquelchLevel + 1;
constexpr size_t kScanCarriedEnd = off::kScanRefs + model::kMaxScanRefs * off::kScanRefSize;

void KeepCarriedBytes(model::CChannel& ch, int slot) {
    const model::CChannel fresh;
    model::ChannelImage& img = ch.Image();
    const model::ChannelImage& none = fresh.Image();
    if (ch.IsFixed()) {
        std::copy(none.begin() + kFixedCarriedEnd, none.end(), img.begin() + kFixedCarriedEnd);
    } else if (ch.IsScan()) {
        const uint16_t refs = static_cast<uint16_t>(ch.ScanRefCount() & 0xFF);
        std::copy(none.begin() + kScanCarriedEnd, none.end(), img.begin() + kScanCarriedEnd);
        ch.SetScanRefCount(refs);
    } else {
        // An empty slot, or a kind the card does not know (sent as empty).
        ch = fresh;
    }
    ch.SetNumber(static_cast<unsigned>(slot));
}

}  // namespace

model::CTmpDoc ReadBackForm(const model::CTmpDoc& doc) {
    const model::CTmpDoc fresh;
    model::CTmpDoc form = doc;
    form.keys.Clear();
    form.docText1 = fresh.docText1;
    form.docText2 = fresh.docText2;
    form.docText3 = fresh.docText3;
    form.defaultChannelRecord = fresh.defaultChannelRecord;
    form.formatNumber1 = fresh.formatNumber1;
    form.formatNumber2 = fresh.formatNumber2;
    form.formatTag = fresh.formatTag;
    form.channels.lastChannel = fresh.channels.lastChannel;
    for (int c = 0; c < model::kChannelCount; ++c) {
        KeepCarriedBytes(form.channels[c], c);
    }
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        for (int i = 0; i < model::SquGroup::kItems; ++i) {
            const model::SquelchItem item = form.squelchGroups.GetItem(g, i);
            if (item.type == model::SquGroup::kNotUsed) {
                form.squelchGroups.SetItem(g, i, model::SquGroup::kNotUsed, std::string());
            }
        }
    }
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        // The channel without the leading zeros a Get gives it with.
        model::ToneEntry entry = form.toneRemote.GetEntry(s);
        if (entry.function != model::CToneRemote::kChannel) {
            entry.argument.clear();
        }
        form.toneRemote.SetRawEntry(s, entry);
    }
    form.SetModified(false);
    form.SetPathName(std::string());
    return form;
}

}  // namespace quillon
