#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::sim {

// What the simulated card keeps: the tables that travel in binary mode, in
// the byte forms they travel in, and what its command line sets. Kept apart
// from the card's behaviour so it can be saved, loaded and compared.

inline constexpr int kCardChannels = 512;
inline constexpr int kCardGroups = 16;
inline constexpr size_t kGroupRecordSize = 65;
inline constexpr size_t kToneListSize = 36;
inline constexpr size_t kMaxCardKeys = 16;
inline constexpr size_t kMaxCardUsers = 16;
inline constexpr const char* kFactoryPassword = "quillon";

struct CardChannel {
    uint8_t kind = 0;                // 0 empty, 1 fixed, 2 scan
    std::array<uint8_t, 73> data{};  // the transfer record after its kind byte
    // Record bytes after the kind byte: fixed 73, scan 33, empty none.
    static size_t DataLength(uint8_t kind) { return kind == 1 ? 73 : kind == 2 ? 33 : 0; }
    bool operator==(const CardChannel& o) const { return kind == o.kind && data == o.data; }
};
using GroupRecord = std::array<uint8_t, kGroupRecordSize>;
using ToneList = std::array<uint8_t, kToneListSize>;

struct CardKey {
    uint16_t kid = 0;
    std::string key;  // 16 hexadecimal characters
    bool operator==(const CardKey& o) const { return kid == o.kid && key == o.key; }
};

struct CardUser {
    std::string name;
    std::string level;  // "adm" or "usr"
    bool operator==(const CardUser& o) const { return name == o.name && level == o.level; }
};

struct CardContent {
    std::array<CardChannel, kCardChannels> channels{};
    std::array<GroupRecord, kCardGroups> groups{};
    ToneList tones{};
    std::vector<CardKey> keys;
    std::vector<std::pair<std::string, std::string>> parameters;  // radio-wide, by name
    std::vector<CardUser> users;
    std::string password;

    // A card as delivered: empty channels, groups "SQUELCH GROUP n" without
    // codes, unassigned tones, no keys, monitor on at level 10, diagnostic
    // output, no default channel, the user "field" with the factory password.
    static CardContent Factory();

    const std::string* Parameter(const std::string& name) const;
    // Checks and stores a radio-wide parameter; false leaves it unchanged.
    bool SetParameter(const std::string& name, const std::string& value);
    // The stored form of a value, or nothing when the card refuses it:
    // ee_fpmon 0..1, ee_fpvol 1..10, ee_bpnl_output 0..3, ee_dflt_chan
    // 0..511 or 65535 for none; decimal, or hexadecimal after "0x".
    static std::optional<std::string> NormaliseParameter(const std::string& name,
                                                         const std::string& value);
    static bool IsParameterName(const std::string& name);

    const CardUser* FindUser(const std::string& name) const;

    bool operator==(const CardContent& o) const;
    bool operator!=(const CardContent& o) const { return !(*this == o); }
};

// The card's channel numbers and counts: four BCD digits in two bytes.
std::array<uint8_t, 2> ToBcd4(int value);
std::optional<int> FromBcd4(uint8_t high, uint8_t low);

// The state file of quillon-sim.
std::string ContentToJson(const CardContent& content);
// Members that are missing keep their factory value; a member that is
// present but wrong refuses the whole file (error says which).
bool ContentFromJson(const std::string& text, CardContent& out, std::string& error);

}  // namespace quillon::sim
