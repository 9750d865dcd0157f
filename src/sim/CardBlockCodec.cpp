#include "sim/CardBlockCodec.h"

#include <algorithm>

namespace quillon::sim::cardbci {

namespace {

struct EscapePair {
    uint8_t byte;
    uint8_t code;
};
constexpr EscapePair kEscapes[] = {{0x0B, 0x20}, {0x0D, 0x21}, {0x01, 0x22}, {0x04, 0x23},
                                   {0x15, 0x24}, {0x06, 0x25}, {0x1B, 0x26}};

void PutEscaped(std::vector<uint8_t>& out, uint8_t b, uint32_t* sum) {
    const uint8_t code = EscapeCode(b);
    if (code != 0) {
        out.push_back(kEsc);
        out.push_back(code);
        if (sum != nullptr) {
            *sum += kEsc + code;
        }
    } else {
        out.push_back(b);
        if (sum != nullptr) {
            *sum += b;
        }
    }
}

bool IsRawControl(uint8_t b) {
    return b == kSoh || b == kEot || b == kAck || b == kNak;
}

}  // namespace

uint8_t EscapeCode(uint8_t byte) {
    for (const auto& e : kEscapes) {
        if (e.byte == byte) {
            return e.code;
        }
    }
    return 0;
}

std::optional<uint8_t> Unescape(uint8_t code) {
    for (const auto& e : kEscapes) {
        if (e.code == code) {
            return e.byte;
        }
    }
    return std::nullopt;
}

std::vector<uint8_t> EncodeBlock(uint8_t number, const Payload& payload) {
    std::vector<uint8_t> out;
    out.reserve(2 * (kPayloadSize + 3) + 1);
    out.push_back(kSoh);
    uint32_t sum = 0;
    PutEscaped(out, number, &sum);
    for (uint8_t b : payload) {
        PutEscaped(out, b, &sum);
    }
    PutEscaped(out, static_cast<uint8_t>((sum >> 8) & 0xFF), nullptr);
    PutEscaped(out, static_cast<uint8_t>(sum & 0xFF), nullptr);
    return out;
}

std::vector<Payload> SplitIntoBlocks(const std::vector<uint8_t>& message) {
    std::vector<Payload> blocks;
    size_t pos = 0;
    do {
        Payload p{};
        const size_t n = std::min(kPayloadSize, message.size() - pos);
        std::copy_n(message.begin() + static_cast<std::ptrdiff_t>(pos), n, p.begin());
        pos += n;
        blocks.push_back(p);
    } while (pos < message.size());
    return blocks;
}

std::vector<Payload> SplitWithHeader(uint8_t h0, uint8_t h1, const std::vector<uint8_t>& stream) {
    constexpr size_t kBody = kPayloadSize - 2;
    std::vector<Payload> blocks;
    size_t pos = 0;
    do {
        Payload p{};
        p[0] = h0;
        p[1] = h1;
        const size_t n = std::min(kBody, stream.size() - pos);
        std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(pos), n, p.begin() + 2);
        pos += n;
        blocks.push_back(p);
    } while (pos < stream.size());
    return blocks;
}

std::vector<uint8_t> JoinBodies(const std::vector<Payload>& blocks, size_t skip) {
    std::vector<uint8_t> out;
    if (skip >= kPayloadSize) {
        return out;
    }
    out.reserve(blocks.size() * (kPayloadSize - skip));
    for (const auto& b : blocks) {
        out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(skip), b.end());
    }
    return out;
}

void BlockDecoder::Reset() {
    position_ = 0;
    escape_ = false;
    broken_ = false;
    sum_ = 0;
    received_ = 0;
    number_ = 0;
    payload_.fill(0);
}

bool BlockDecoder::Feed(uint8_t lineByte) {
    if (position_ >= kPayloadSize + 3) {
        return false;  // already complete; the caller resets before the next block
    }
    const bool counted = position_ <= kPayloadSize;  // number and payload, not the sum
    uint8_t value = lineByte;
    if (escape_) {
        escape_ = false;
        if (counted) {
            sum_ += lineByte;
        }
        const auto plain = Unescape(lineByte);
        if (!plain) {
            broken_ = true;
        }
        value = plain.value_or(0);
    } else if (lineByte == kEsc) {
        escape_ = true;
        if (counted) {
            sum_ += lineByte;
        }
        return false;
    } else {
        if (counted) {
            sum_ += lineByte;
        }
        // Every control value travels escaped; one seen raw is a damaged byte.
        if (IsRawControl(lineByte) || EscapeCode(lineByte) != 0) {
            broken_ = true;
        }
    }
    if (position_ == 0) {
        number_ = value;
    } else if (position_ <= kPayloadSize) {
        payload_[position_ - 1] = value;
    } else if (position_ == kPayloadSize + 1) {
        received_ = static_cast<uint32_t>(value) << 8;
    } else {
        received_ |= value;
    }
    ++position_;
    return position_ == kPayloadSize + 3;
}

}  // namespace quillon::sim::cardbci
