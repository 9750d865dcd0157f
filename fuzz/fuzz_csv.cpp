// Fuzz target: the CSV importer. Whatever it accepts must export and import
// again, into the same slots with the same channels: same kinds, the same
// fixed-channel settings (squelch systems, tones and frequencies included)
// and the same scan references. Names are left out: the writer leaves blanks
// at a name's ends unquoted and the reader trims them, as it always has.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "model/CTmpDoc.h"
#include "model/ChannelCsv.h"

using namespace quillon::model;

namespace {

bool SameBytes(const ChannelImage& a, const ChannelImage& b, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

bool SameChannel(const CChannel& a, const CChannel& b) {
    if (a.KindByte() != b.KindByte()) {
        return false;
    }
    const ChannelImage& x = a.Image();
    const ChannelImage& y = b.Image();
    if (a.IsFixed()) {
        return SameBytes(x, y, off::kSignalType, off::kLegacyText) &&
               SameBytes(x, y, off::kLegacyCode, kChannelImageSize);
    }
    if (a.IsScan()) {
        // Bytes behind the valid references are whatever the line before
        // left in the importer's scratch channel.
        size_t refsEnd =
            off::kScanRefs + off::kScanRefSize * static_cast<size_t>(a.ValidScanRefs());
        return SameBytes(x, y, off::kSignalType, refsEnd) &&
               SameBytes(x, y, off::kScanRefCount, kChannelImageSize);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto doc = std::make_unique<CTmpDoc>();
    static auto back = std::make_unique<CTmpDoc>();
    doc->NewDocument();
    back->NewDocument();
    if (!ImportCsv(std::string_view(reinterpret_cast<const char*>(data), size), *doc).ok()) {
        // A refused import changes nothing.
        if (doc->IsModified() || doc->channels.UsedCount() != 0) {
            std::abort();
        }
        return 0;
    }
    std::string csv;
    if (!ExportCsv(*doc, csv).ok()) {
        return 0;
    }
    if (!ImportCsv(csv, *back).ok()) {
        std::abort();
    }
    for (int i = 0; i < kChannelCount; ++i) {
        if (!SameChannel(doc->channels[i], back->channels[i])) {
            std::abort();
        }
    }
    return 0;
}
