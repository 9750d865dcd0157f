// The command layer of the simulated card's binary mode.
#include <algorithm>

#include "sim/TransceiverSim.h"

namespace quillon::sim {

namespace {

constexpr uint8_t kRequest = 0x00;
constexpr uint8_t kReply = 0x80;

enum Code : uint8_t {
    kSendChannels = 0x04,
    kGetChannels = 0x05,
    kGetGroup = 0x07,
    kSendGroup = 0x08,
    kGetTones = 0x09,
    kSendTones = 0x0A,
    kLeaveBinary = 0x0B,
    kGetGroups = 0x0C,
    kSendGroups = 0x0D,
    kReset = 0x99,
};

// The answer to a table send lists every record with 3 bytes (its number
// and whether it was stored), 84 of them to a block.
constexpr size_t kStatusPerBlock = 84;

}  // namespace

CardBlockLink::Reply TransceiverSim::Single(uint8_t code, const std::vector<uint8_t>& body) {
    // Every one-block answer (a group record at most) fits behind the header.
    cardbci::Payload p{};
    p[0] = kReply;
    p[1] = code;
    std::copy_n(body.begin(), std::min(body.size(), cardbci::kPayloadSize - 2), p.begin() + 2);
    CardBlockLink::Reply r;
    r.blocks.push_back(p);
    return r;
}

CardBlockLink::Reply TransceiverSim::Stream(uint8_t code, const std::vector<uint8_t>& stream) {
    CardBlockLink::Reply r;
    r.blocks = cardbci::SplitWithHeader(kReply, code, stream);
    return r;
}

void TransceiverSim::SpoilStoredRecord(CardChannel& ch) {
    // Record bytes after the kind: the name (8), the signal type (1), the
    // transmit and the receive frequency (5 BCD bytes each). The lowest bit
    // of a BCD byte flips one digit by one and leaves it a digit, so the
    // spoiled record still reads back as a valid channel.
    constexpr size_t kRxFrequencyLastByte = 8 + 1 + 5 + 4;
    constexpr size_t kNameFirstLetter = 0;
    if (ch.kind == 1) {
        ch.data[kRxFrequencyLastByte] ^= 0x01;
    } else if (ch.kind == 2) {
        ch.data[kNameFirstLetter] ^= 0x01;
    }
}

void TransceiverSim::SpoilHeader(uint8_t code, CardBlockLink::Reply& reply) {
    if (options_.badHeaderCode != code) {
        return;
    }
    if (options_.badHeaderTimes > 0 && badHeadersSent_ >= options_.badHeaderTimes) {
        return;
    }
    ++badHeadersSent_;
    for (auto& b : reply.blocks) {
        b[0] = kReply;
        b[1] = 0x00;
    }
}

std::optional<CardBlockLink::Reply> TransceiverSim::Handle(
    const std::vector<cardbci::Payload>& msg) {
    const cardbci::Payload& first = msg.front();
    const uint8_t code = first[1];
    // The data message of a two-message send must follow its count message
    // directly; anything else in between forgets the count.
    const bool channelData = code == kSendChannels && channelsExpected_ >= 0;
    const bool groupData = code == kSendGroups && groupsExpected_ >= 0;
    if (!channelData) {
        channelsExpected_ = -1;
    }
    if (!groupData) {
        groupsExpected_ = -1;
    }
    if (first[0] != kRequest) {
        return std::nullopt;  // not a request: nothing to answer
    }
    std::optional<CardBlockLink::Reply> reply;
    switch (code) {
        case kReset:
            reply = Single(kReset, {});
            break;
        case kSendChannels: {
            if (channelData) {
                reply = StoreChannels(msg);
                channelsExpected_ = -1;
                break;
            }
            const auto count = FromBcd4(first[2], first[3]);
            if (count && *count >= 1 && *count <= kCardChannels) {
                channelsExpected_ = *count;
            }
            return std::nullopt;  // the data message comes next
        }
        case kGetChannels:
            reply = Stream(kGetChannels, ChannelStream());
            break;
        case kGetGroup: {
            const uint8_t n = first[2];
            std::vector<uint8_t> body(kGroupRecordSize, 0);
            if (n >= 1 && n <= kCardGroups) {
                const GroupRecord& g = content_.groups[n - 1u];
                body.assign(g.begin(), g.end());
            }
            reply = Single(kGetGroup, body);
            break;
        }
        case kSendGroup:
            StoreGroup(first.data() + 2);
            Changed();
            reply = Single(kSendGroup, {});
            break;
        case kGetTones:
            reply = Single(kGetTones,
                           std::vector<uint8_t>(content_.tones.begin(), content_.tones.end()));
            break;
        case kSendTones:
            std::copy_n(first.begin() + 2, kToneListSize, content_.tones.begin());
            Changed();
            reply = Single(kSendTones, {});
            break;
        case kLeaveBinary:
            reply = Single(kLeaveBinary, {});
            reply->afterSent = [this] { LeaveBinary(); };
            break;
        case kGetGroups: {
            // The count and the group numbers asked for, all in the first block.
            const size_t count = std::min<size_t>(first[2], cardbci::kPayloadSize - 3);
            std::vector<uint8_t> stream;
            for (size_t i = 0; i < count; ++i) {
                const uint8_t n = first[3 + i];
                if (n >= 1 && n <= kCardGroups) {
                    const GroupRecord& g = content_.groups[n - 1u];
                    stream.insert(stream.end(), g.begin(), g.end());
                } else {
                    stream.insert(stream.end(), kGroupRecordSize, 0);
                }
            }
            reply = Stream(kGetGroups, stream);
            break;
        }
        case kSendGroups:
            if (groupData) {
                StoreGroups(msg);
                groupsExpected_ = -1;
                reply = Single(kSendGroups, {});
                break;
            }
            if (first[2] >= 1 && first[2] <= kCardGroups) {
                groupsExpected_ = first[2];
            }
            return std::nullopt;
        default:
            // An unknown command: acknowledged block by block, never answered.
            return std::nullopt;
    }
    SpoilHeader(code, *reply);
    return reply;
}

std::vector<uint8_t> TransceiverSim::ChannelStream() const {
    std::vector<uint8_t> s;
    s.reserve(kCardChannels * 76);
    for (int slot = 0; slot < kCardChannels; ++slot) {
        const CardChannel& ch = content_.channels[static_cast<size_t>(slot)];
        const bool bad = slot == options_.badRecordSlot;
        const auto number = bad && options_.badChannelNumber ? ToBcd4(kCardChannels) : ToBcd4(slot);
        s.push_back(number[0]);
        s.push_back(number[1]);
        s.push_back(bad && options_.badKind ? 3 : ch.kind);
        const size_t n = CardChannel::DataLength(ch.kind);
        s.insert(s.end(), ch.data.begin(), ch.data.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return s;
}

CardBlockLink::Reply TransceiverSim::StoreChannels(const std::vector<cardbci::Payload>& msg) {
    const std::vector<uint8_t> stream = cardbci::JoinBodies(msg, 2);
    const auto count = static_cast<size_t>(channelsExpected_);
    // The table is taken whole or not at all: a record with a bad number or
    // kind, or a stream that ends early, leaves the stored table as it was.
    std::vector<std::pair<int, CardChannel>> records;
    size_t pos = 0;
    bool ok = true;
    while (records.size() < count) {
        if (pos + 3 > stream.size()) {
            ok = false;
            break;
        }
        const auto number = FromBcd4(stream[pos], stream[pos + 1]);
        const uint8_t kind = stream[pos + 2];
        if (!number || *number >= kCardChannels || kind > 2) {
            ok = false;
            break;
        }
        const size_t n = CardChannel::DataLength(kind);
        if (pos + 3 + n > stream.size()) {
            ok = false;
            break;
        }
        CardChannel ch;
        ch.kind = kind;
        std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(pos + 3), n, ch.data.begin());
        records.emplace_back(*number, ch);
        pos += 3 + n;
    }
    if (ok) {
        for (auto& [number, ch] : records) {
            if (number == options_.storeFault) {
                SpoilStoredRecord(ch);
            }
            content_.channels[static_cast<size_t>(number)] = ch;
        }
        Changed();
    }
    std::vector<uint8_t> status;
    for (size_t i = 0; i < count; ++i) {
        const auto bcd = ToBcd4(static_cast<int>(i));
        status.push_back(bcd[0]);
        status.push_back(bcd[1]);
        status.push_back(ok ? 0x00 : 0x01);
    }
    CardBlockLink::Reply r;
    for (size_t i = 0; i < status.size(); i += kStatusPerBlock * 3) {
        cardbci::Payload p{};
        p[0] = kReply;
        p[1] = kSendChannels;
        const size_t n = std::min(kStatusPerBlock * 3, status.size() - i);
        std::copy_n(status.begin() + static_cast<std::ptrdiff_t>(i), n, p.begin() + 2);
        r.blocks.push_back(p);
    }
    return r;
}

void TransceiverSim::StoreGroup(const uint8_t* record) {
    const uint8_t n = record[16];
    if (n >= 1 && n <= kCardGroups) {
        std::copy_n(record, kGroupRecordSize, content_.groups[n - 1u].begin());
    }
}

void TransceiverSim::StoreGroups(const std::vector<cardbci::Payload>& msg) {
    const std::vector<uint8_t> stream = cardbci::JoinBodies(msg, 2);
    const auto count = static_cast<size_t>(groupsExpected_);
    if (stream.size() < count * kGroupRecordSize) {
        return;  // cut short: keep the groups as they were
    }
    for (size_t i = 0; i < count; ++i) {
        StoreGroup(stream.data() + i * kGroupRecordSize);
    }
    Changed();
}

}  // namespace quillon::sim
