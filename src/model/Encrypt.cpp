#include "model/Encrypt.h"

#include <algorithm>
#include <cstdio>

#include "model/Archive.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {

// The hex value of a text after an optional "0x", up to the first non-digit;
// saturates so that a long text cannot overflow.
unsigned long ReadHex(const std::string& text) {
    size_t i = text.compare(0, 2, "0x") == 0 ? 2 : 0;
    unsigned long v = 0;
    for (; i < text.size() && HexValue(text[i]) >= 0; ++i) {
        v = std::min<unsigned long>(v * 16 + static_cast<unsigned long>(HexValue(text[i])),
                                    0xFFFFFFFFul);
    }
    return v;
}

// The dialog's own conversion of one character of a box: it folds a-f to
// upper case by code arithmetic and does not check the character further.
// Overwrites the key's characters before letting the text go, so that the
// digits do not linger in a freed buffer either.
void WipeEntry(KeyEntry& e) {
    std::fill(e.key.begin(), e.key.end(), '\0');
    e.key.clear();
    e.kid = 0;
}

bool IsHexPair(const std::string& box) {
    return box.size() == 2 && HexValue(box[0]) >= 0 && HexValue(box[1]) >= 0;
}

// "0x" (optional) followed by at least one hex digit and nothing else.
bool IsKidText(const std::string& text) {
    size_t i = text.compare(0, 2, "0x") == 0 ? 2 : 0;
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (HexValue(text[i]) < 0) {
            return false;
        }
    }
    return true;
}

int BoxNibble(char ch) {
    int c = static_cast<unsigned char>(ch);
    if (c > 'F') {
        c -= 32;
    }
    return c <= 64 ? c - 48 : c - 55;
}

}  // namespace

bool Encrypt::Add(const std::string& key, int32_t kid) {
    if (count_ >= kMaxKeys) {
        return false;
    }
    entries_[static_cast<size_t>(count_)] = KeyEntry{key, kid};
    ++count_;
    return true;
}

bool Encrypt::Delete(int32_t kid) {
    for (int i = 0; i < count_; ++i) {
        if (entries_[static_cast<size_t>(i)].kid == kid) {
            for (int j = i; j + 1 < count_; ++j) {
                entries_[static_cast<size_t>(j)] = entries_[static_cast<size_t>(j + 1)];
            }
            --count_;
            // The vacated entry would otherwise keep a copy of the last key,
            // in memory and in every file saved from now on; a deleted key
            // must be gone.
            WipeEntry(entries_[static_cast<size_t>(count_)]);
            return true;
        }
    }
    return false;
}

KeyEntry Encrypt::Get(int index) const {
    if (index < 0 || index >= count_) {
        return KeyEntry{};
    }
    return entries_[static_cast<size_t>(index)];
}

bool Encrypt::Contains(int32_t kid) const {
    for (int i = 0; i < count_; ++i) {
        if (entries_[static_cast<size_t>(i)].kid == kid) {
            return true;
        }
    }
    return false;
}

void Encrypt::Clear() {
    for (auto& e : entries_) {
        WipeEntry(e);
    }
    count_ = 0;
}

void Encrypt::Write(ArchiveWriter& ar) const {
    ar.WriteU16(static_cast<uint16_t>(count_));
    for (const auto& e : entries_) {
        ar.WriteString(e.key);
        ar.WriteI32(e.kid);
    }
}

void Encrypt::Read(ArchiveReader& ar, const std::string& formatTag) {
    if (formatTag == "veltp") {
        return;
    }
    uint16_t count = ar.ReadU16();
    if (count > kMaxKeys) {
        throw ArchiveError();
    }
    for (auto& e : entries_) {
        e.key = ar.ReadString();
        e.kid = ar.ReadI32();
    }
    count_ = count;
}

std::vector<Encrypt::Item> Encrypt::SettingsList() const {
    std::vector<Item> list;
    std::vector<bool> listed(static_cast<size_t>(count_), false);
    for (int n = 0; n < count_; ++n) {
        int best = -1;
        for (int i = 0; i < count_; ++i) {
            if (!listed[static_cast<size_t>(i)] &&
                (best < 0 ||
                 entries_[static_cast<size_t>(i)].kid < entries_[static_cast<size_t>(best)].kid)) {
                best = i;
            }
        }
        listed[static_cast<size_t>(best)] = true;
        int32_t kid = entries_[static_cast<size_t>(best)].kid;
        char text[32];
        std::snprintf(text, sizeof text, msg::kKidListFormat, static_cast<unsigned>(kid));
        list.push_back(Item{text, kid});
    }
    return list;
}

bool HasOddParity(uint8_t b) {
    int ones = 0;
    for (int i = 0; i < 8; ++i) {
        ones += (b >> i) & 1;
    }
    return ones % 2 == 1;
}

std::string RandomKeyPair(unsigned randomNumber) {
    auto b = static_cast<uint8_t>(randomNumber & 0xFF);
    if (!HasOddParity(b)) {
        b ^= 0x01;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%02x", b);
    return text;
}

std::string NormalizeKeyBox(const std::string& text) {
    unsigned long v = std::min<unsigned long>(ReadHex(text), 0xFF);
    char out[8];
    std::snprintf(out, sizeof out, "%02lx", v);
    return out;
}

std::string NormalizeKidBox(const std::string& text) {
    unsigned long v = std::min<unsigned long>(ReadHex(text), 0xFFFF);
    char out[16];
    std::snprintf(out, sizeof out, "0x%lx", v);
    return out;
}

AddKeyCheck CheckAddKey(const std::array<std::string, 8>& boxes, const std::string& kidBox,
                        const Encrypt& keys) {
    AddKeyCheck r;
    std::array<bool, 8> parityFailed{};
    bool incomplete = false;
    for (int i = 7; i >= 0; --i) {
        const std::string& box = boxes[static_cast<size_t>(i)];
        // A box that is not two hex digits ("1", or "1x" that got past the
        // box's filter) is no key byte: its parity says nothing, and its
        // characters must never reach the key that is uploaded.
        if (!IsHexPair(box)) {
            incomplete = true;
            continue;
        }
        auto b = static_cast<uint8_t>(BoxNibble(box[0]) * 16 + BoxNibble(box[1]));
        if (!HasOddParity(b)) {
            parityFailed[static_cast<size_t>(i)] = true;
            r.focusBox = i;
        }
    }

    int failures = static_cast<int>(std::count(parityFailed.begin(), parityFailed.end(), true));
    if (failures > 0) {
        std::string m = msg::kParityFailedStart;
        int k = failures - 2;
        for (size_t i = 0; i < 8; ++i) {
            if (!parityFailed[i]) {
                continue;
            }
            m += msg::kParityOrdinals[i];
            if (k > 0) {
                m += msg::kParityComma;
            } else if (k == 0) {
                m += msg::kParityAnd;
            }
            --k;
        }
        m += failures == 1 ? msg::kParityOnePair : msg::kParityPairs;
        r.message = m;
        return r;
    }
    r.focusBox = -1;
    if (incomplete) {
        r.message = msg::kKeyBoxesIncomplete;
        return r;
    }
    // A bare "0x", or a text that is no hex number at all, names no key id
    // either; reading it as 0 would store a key the user never identified.
    if (!IsKidText(kidBox)) {
        r.message = msg::kKeyIdMissing;
        r.focusBox = 8;
        r.clearKid = true;
        return r;
    }
    unsigned long kid = ReadHex(kidBox);
    if (kid <= 0xFFFF && keys.Contains(static_cast<int32_t>(kid))) {
        r.message = msg::kKeyIdInUse;
        r.focusBox = 8;
        r.clearKid = true;
        return r;
    }
    if (kid >= 0x10000) {
        r.message = msg::kKeyIdOutOfRange;
        r.focusBox = 8;
        r.clearKid = true;
        return r;
    }
    r.ok = true;
    for (const auto& b : boxes) {
        r.key += b;
    }
    r.kid = static_cast<int32_t>(kid);
    return r;
}

}  // namespace quillon::model
