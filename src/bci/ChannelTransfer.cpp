#include "bci/ChannelTransfer.h"

#include <algorithm>

#include "model/CTmpDoc.h"

namespace quillon::bci {

namespace {

namespace off = model::off;

constexpr uint8_t kKindEmpty = 0;
constexpr uint8_t kKindFixed = 1;
constexpr uint8_t kKindScan = 2;

// Where the parts of a record sit.
constexpr size_t kRecName = 3;
constexpr size_t kNameBytes = 8;
constexpr size_t kRecFixedBody = 11;  // image bytes 11..75 at the same offsets
constexpr size_t kFixedBodyBytes = 65;
constexpr size_t kRecScanCount = 11;
constexpr size_t kRecScanRefs = 12;
constexpr size_t kScanRefBytes = 24;

void PutBcd4(int value, uint8_t* out) {
    out[0] = static_cast<uint8_t>(((value / 1000 % 10) << 4) | (value / 100 % 10));
    out[1] = static_cast<uint8_t>(((value / 10 % 10) << 4) | (value % 10));
}

template <typename Dst, typename Src>
void CopyBytes(const Src& src, size_t from, size_t count, Dst& dst, size_t to) {
    std::copy_n(src.begin() + static_cast<std::ptrdiff_t>(from), count,
                dst.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace

size_t RecordLength(uint8_t kind) {
    switch (kind) {
        case kKindEmpty:
            return kEmptyRecord;
        case kKindFixed:
            return kFixedRecord;
        case kKindScan:
            return kScanRecord;
        default:
            return 0;
    }
}

int Bcd4ToNumber(uint8_t high, uint8_t low) {
    const int d[4] = {high >> 4, high & 0x0F, low >> 4, low & 0x0F};
    int n = 0;
    for (int v : d) {
        if (v > 9) {
            return -1;
        }
        n = n * 10 + v;
    }
    return n;
}

size_t EncodeChannelRecord(const model::ChannelImage& image, int slot, ChannelRecord& out) {
    out.fill(0);
    PutBcd4(slot, out.data());
    const uint8_t kind = image[off::kChannelKind];
    if (kind == kKindFixed) {
        out[2] = kKindFixed;
        CopyBytes(image, off::kChannelName, kNameBytes, out, kRecName);
        CopyBytes(image, off::kSignalType, kFixedBodyBytes, out, kRecFixedBody);
        return kFixedRecord;
    }
    if (kind == kKindScan) {
        out[2] = kKindScan;
        CopyBytes(image, off::kChannelName, kNameBytes, out, kRecName);
        const unsigned count =
            static_cast<unsigned>(image[off::kScanRefCount] | (image[off::kScanRefCount + 1] << 8));
        out[kRecScanCount] = static_cast<uint8_t>(std::min<unsigned>(count, model::kMaxScanRefs));
        CopyBytes(image, off::kScanRefs, kScanRefBytes, out, kRecScanRefs);
        return kScanRecord;
    }
    out[2] = kKindEmpty;
    return kEmptyRecord;
}

// --- sending -----------------------------------------------------------------

size_t ChannelStreamWriter::NextBlock(BlockBuffer& block,
                                      const std::function<void(int)>& onRecordStarted) {
    block.fill(0);
    block[0] = kRequestTag;
    block[1] = kCodeSendChannels;
    size_t fill = kHeaderBytes;
    while (fill < kBlockBytes) {
        if (recordPos_ >= recordLength_) {
            if (nextSlot_ >= kTableChannels) {
                break;
            }
            model::CChannel& ch = table_[nextSlot_];
            ch.SetNumber(static_cast<unsigned>(nextSlot_));
            recordLength_ = EncodeChannelRecord(ch.Image(), nextSlot_, record_);
            recordPos_ = 0;
            if (onRecordStarted) {
                onRecordStarted(nextSlot_);
            }
            ++nextSlot_;
        }
        const size_t n = std::min(kBlockBytes - fill, recordLength_ - recordPos_);
        std::copy_n(record_.begin() + static_cast<std::ptrdiff_t>(recordPos_), n,
                    block.begin() + static_cast<std::ptrdiff_t>(fill));
        recordPos_ += n;
        fill += n;
    }
    return fill;
}

// --- receiving ---------------------------------------------------------------

ChannelReplyReader::Status ChannelReplyReader::TakeBlock(const uint8_t* block,
                                                         const std::function<void(int)>& onStored) {
    for (size_t i = kHeaderBytes; i < kBlockBytes && status_ == Status::NeedMore; ++i) {
        TakeByte(block[i], onStored);
    }
    return status_;
}

ChannelReplyReader::Status ChannelReplyReader::TakeByte(uint8_t b,
                                                        const std::function<void(int)>& onStored) {
    record_[have_++] = b;
    if (have_ == 2) {
        number_ = Bcd4ToNumber(record_[0], record_[1]);
        if (number_ < 0 || number_ >= kTableChannels) {
            return Refuse(ChannelDataFault::BadNumber);
        }
        if (seen_.test(static_cast<size_t>(number_))) {
            return Refuse(ChannelDataFault::DuplicateNumber);
        }
        return status_;
    }
    if (have_ == kRecordHead) {
        length_ = RecordLength(record_[2]);
        if (length_ == 0) {
            return Refuse(ChannelDataFault::BadKind);
        }
    }
    if (have_ < kRecordHead || have_ < length_) {
        return status_;
    }
    // The record is whole with its own last byte: the next byte already
    // belongs to the next record, whichever block it comes in.
    if (record_[2] == kKindScan && record_[kRecScanCount] > model::kMaxScanRefs) {
        return Refuse(ChannelDataFault::BadScanCount);
    }
    Store();
    seen_.set(static_cast<size_t>(number_));
    have_ = 0;
    length_ = 0;
    ++stored_;
    if (onStored) {
        onStored(stored_);
    }
    if (stored_ == kTableChannels) {
        status_ = Status::Complete;
    }
    return status_;
}

void ChannelReplyReader::Store() {
    model::CChannel& ch = table_[number_];
    model::ChannelImage& image = ch.Image();
    const uint8_t kind = record_[2];
    image[off::kChannelKind] = kind;
    if (kind == kKindFixed) {
        CopyBytes(record_, kRecName, kNameBytes, image, off::kChannelName);
        CopyBytes(record_, kRecFixedBody, kFixedBodyBytes, image, off::kSignalType);
    } else if (kind == kKindScan) {
        CopyBytes(record_, kRecName, kNameBytes, image, off::kChannelName);
        ch.SetScanRefCount(record_[kRecScanCount]);
        CopyBytes(record_, kRecScanRefs, kScanRefBytes, image, off::kScanRefs);
    }
}

}  // namespace quillon::bci
