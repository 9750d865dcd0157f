#include "RandomDocument.h"

#include <cstddef>
#include <cstdio>
#include <vector>

#include "model/CChannel.h"

namespace quillon::soak {

namespace {

int Uniform(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

uint8_t Bcd2(int v) {
    return static_cast<uint8_t>(((v / 10) % 10) << 4 | (v % 10));
}

uint16_t Bcd4(int v) {
    return static_cast<uint16_t>(Bcd2(v / 100) << 8 | Bcd2(v % 100));
}

std::string RandomName(std::mt19937& rng, size_t maxLength) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_/";
    std::string s;
    const int n = Uniform(rng, 1, static_cast<int>(maxLength));
    for (int i = 0; i < n; ++i) {
        s += kChars[Uniform(rng, 0, static_cast<int>(sizeof kChars) - 2)];
    }
    return s;
}

void MakeFixed(std::mt19937& rng, model::CChannel& ch) {
    for (size_t i = 11; i < 76; ++i) {
        ch.SetByte(i, static_cast<uint8_t>(Uniform(rng, 0, 255)));
    }
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetNameBytes(RandomName(rng, 8));
}

void MakeScan(std::mt19937& rng, model::CChannel& ch, const std::vector<int>& fixed) {
    ch.SetKind(model::ChannelKind::Scan);
    ch.SetNameBytes(RandomName(rng, 8));
    const int refs = fixed.empty() ? 0 : Uniform(rng, 1, model::kMaxScanRefs);
    for (int r = 0; r < refs; ++r) {
        const int target =
            fixed[static_cast<size_t>(Uniform(rng, 0, static_cast<int>(fixed.size()) - 1))];
        ch.SetScanRef(r, Bcd4(target), Bcd2(Uniform(rng, 0, 99)));
    }
    ch.SetScanRefCount(static_cast<uint16_t>(refs));
}

void FillGroups(std::mt19937& rng, model::SquGroup& groups) {
    static const char* const kCtcss[] = {"67.0", "88.5", "100.0", "156.7", "250.3"};
    static const char* const kCdcss[] = {"23", "131", "445", "754"};
    const int used = Uniform(rng, 0, model::SquGroup::kGroups);
    for (int g = 0; g < used; ++g) {
        if (Uniform(rng, 0, 1) == 1) {
            groups.SetName(g, RandomName(rng, model::SquGroup::kMaxNameLength));
        }
        const int items = Uniform(rng, 0, model::SquGroup::kItems);
        for (int i = 0; i < items; ++i) {
            char value[16];
            switch (Uniform(rng, 1, 3)) {
                case model::SquGroup::kNac:
                    std::snprintf(value, sizeof value, "0x%03x", Uniform(rng, 0, 0xfff));
                    groups.SetItem(g, i, model::SquGroup::kNac, value);
                    break;
                case model::SquGroup::kCtcss:
                    groups.SetItem(g, i, model::SquGroup::kCtcss, kCtcss[Uniform(rng, 0, 4)]);
                    break;
                default:
                    groups.SetItem(g, i, model::SquGroup::kCdcss, kCdcss[Uniform(rng, 0, 3)]);
                    break;
            }
        }
    }
}

void FillTones(std::mt19937& rng, model::CToneRemote& tones, const std::vector<int>& used) {
    if (Uniform(rng, 0, 1) == 1) {
        tones.SetEntry(model::CToneRemote::kIncreaseAudioSlot, model::CToneRemote::kIncreaseAudio,
                       0);
    }
    if (Uniform(rng, 0, 1) == 1) {
        tones.SetEntry(model::CToneRemote::kDecreaseAudioSlot, model::CToneRemote::kDecreaseAudio,
                       0);
    }
    for (int slot = 2; slot < model::CToneRemote::kSlots && !used.empty(); ++slot) {
        if (Uniform(rng, 0, 2) == 0) {
            const int c =
                used[static_cast<size_t>(Uniform(rng, 0, static_cast<int>(used.size()) - 1))];
            tones.SetEntry(slot, model::CToneRemote::kChannel, c);
        }
    }
}

void FillKeys(std::mt19937& rng, model::Encrypt& keys) {
    static const char kHex[] = "0123456789abcdef";
    const int n = Uniform(rng, 0, 4);
    for (int k = 0; k < n; ++k) {
        std::string key;
        for (int i = 0; i < 16; ++i) {
            key += kHex[Uniform(rng, 0, 15)];
        }
        keys.Add(key, 0x100 + k * 7 + Uniform(rng, 0, 6));
    }
}

}  // namespace

const char* ChannelMixName(ChannelMix m) {
    switch (m) {
        case ChannelMix::FullFixed:
            return "512 fixed";
        case ChannelMix::Sparse:
            return "sparse fixed and scan";
        case ChannelMix::HalfScan:
            return "half fixed, half scan";
        case ChannelMix::Empty:
            return "empty table";
    }
    return "?";
}

ChannelMix FillRandomDocument(std::mt19937& rng, model::CTmpDoc& doc) {
    const auto mix = static_cast<ChannelMix>(Uniform(rng, 0, 3));
    std::vector<int> fixed;
    std::vector<int> used;
    for (int c = 0; c < model::kChannelCount; ++c) {
        bool makeFixed = false;
        bool makeScan = false;
        switch (mix) {
            case ChannelMix::FullFixed:
                makeFixed = true;
                break;
            case ChannelMix::Sparse:
                makeFixed = Uniform(rng, 0, 15) == 0;
                makeScan = !makeFixed && Uniform(rng, 0, 40) == 0;
                break;
            case ChannelMix::HalfScan:
                makeFixed = c % 2 == 0;
                makeScan = !makeFixed;
                break;
            case ChannelMix::Empty:
                break;
        }
        if (makeFixed) {
            MakeFixed(rng, doc.channels[c]);
            fixed.push_back(c);
            used.push_back(c);
        } else if (makeScan) {
            MakeScan(rng, doc.channels[c], fixed);
            used.push_back(c);
        }
    }
    FillGroups(rng, doc.squelchGroups);
    FillTones(rng, doc.toneRemote, used);
    FillKeys(rng, doc.keys);
    doc.frontPanelMonitor = std::to_string(Uniform(rng, 0, 1));
    doc.frontPanelVolume = std::to_string(Uniform(rng, 1, 10));
    doc.backPanelOutput = std::to_string(Uniform(rng, 0, 3));
    doc.defaultChannel =
        used.empty() || Uniform(rng, 0, 2) == 0
            ? "0xFFFF"
            : std::to_string(
                  used[static_cast<size_t>(Uniform(rng, 0, static_cast<int>(used.size()) - 1))]);
    return mix;
}

}  // namespace quillon::soak
