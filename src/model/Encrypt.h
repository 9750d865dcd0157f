#pragma once
// The encryption key list (at most 16 keys with their key ids), and the
// checks of the "Add Key" dialog, so the dialog only shows what they say.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::model {

class ArchiveReader;
class ArchiveWriter;

struct KeyEntry {
    std::string key;  // 16 hex characters, first key byte first
    int32_t kid = 0;
};

class Encrypt {
  public:
    static constexpr int kMaxKeys = 16;

    bool Add(const std::string& key, int32_t kid);
    bool Delete(int32_t kid);
    KeyEntry Get(int index) const;
    bool Contains(int32_t kid) const;
    int Count() const { return count_; }
    void Clear();

    // Document file section: the count, then all 16 entries whatever the count.
    void Write(ArchiveWriter& ar) const;
    // Files tagged "veltp" have no key section. A count above 16 is not a
    // key list this program can hold and fails the read.
    void Read(ArchiveReader& ar, const std::string& formatTag);

    // --- "Encryption Settings" ------------------------------------------------
    struct Item {
        std::string text;  // "KID: 0x%03x"
        int32_t kid;
    };
    // The keys in ascending key id order; identifiers only, never key bytes.
    std::vector<Item> SettingsList() const;

  private:
    std::array<KeyEntry, kMaxKeys> entries_;
    int count_ = 0;
};

// --- "Add Key" --------------------------------------------------------------

// Whether the byte has an odd number of 1 bits, as DES keys must.
bool HasOddParity(uint8_t b);
// Generate Random Key: the low 8 bits of a pseudo-random number with the
// lowest bit flipped when needed for odd parity, as "%02x".
std::string RandomKeyPair(unsigned randomNumber);
// A key box losing the focus: read as hex, kept within 0..0xff, two digits.
std::string NormalizeKeyBox(const std::string& text);
// The Key ID box losing the focus: "0x" and the hex digits, no leading zeros.
std::string NormalizeKidBox(const std::string& text);

struct AddKeyCheck {
    bool ok = false;
    std::string message;  // the warning of the first failing check
    int focusBox = -1;    // 0..7 a key box, 8 the Key ID box
    bool clearKid = false;
    std::string key;  // on success: the eight boxes joined
    int32_t kid = 0;
};
// OK of "Add Key": parity (eighth box to first), completeness, Key ID present,
// unused and in range, in that order.
AddKeyCheck CheckAddKey(const std::array<std::string, 8>& boxes, const std::string& kidBox,
                        const Encrypt& keys);

}  // namespace quillon::model
