#include "sim/CardContent.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/EightBitText.h"
#include "sim/StrictJson.h"

namespace quillon::sim {

namespace {

struct ParamRule {
    const char* name;
    long min;
    long max;
    long extra;  // one more value allowed outside the range, -1 for none
    const char* factory;
};
constexpr ParamRule kParams[] = {
    {"ee_fpmon", 0, 1, -1, "1"},
    {"ee_fpvol", 1, 10, -1, "10"},
    {"ee_bpnl_output", 0, 3, -1, "1"},
    {"ee_dflt_chan", 0, 511, 65535, "65535"},
};

const ParamRule* RuleFor(const std::string& name) {
    for (const auto& r : kParams) {
        if (name == r.name) {
            return &r;
        }
    }
    return nullptr;
}

std::optional<long> ParseNumber(const std::string& s) {
    if (s.empty() || s.size() > 10) {
        return std::nullopt;
    }
    int base = 10;
    size_t i = 0;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        i = 2;
    }
    long v = 0;
    for (; i < s.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(s[i]));
        int d = -1;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        }
        if (d < 0) {
            return std::nullopt;
        }
        v = v * base + d;
    }
    return v;
}

bool IsHexText(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

bool ValidUserName(const std::string& s) {
    return !s.empty() && s.size() <= 16 && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    });
}

std::string Hex(const uint8_t* data, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        s += digits[data[i] >> 4];
        s += digits[data[i] & 0x0F];
    }
    return s;
}

bool Unhex(const std::string& s, uint8_t* out, size_t n) {
    if (s.size() != n * 2 || !IsHexText(s)) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        out[i] = static_cast<uint8_t>(std::stoi(s.substr(i * 2, 2), nullptr, 16));
    }
    return true;
}

}  // namespace

std::array<uint8_t, 2> ToBcd4(int value) {
    value = std::clamp(value, 0, 9999);
    const int d[4] = {value / 1000, value / 100 % 10, value / 10 % 10, value % 10};
    return {static_cast<uint8_t>(d[0] << 4 | d[1]), static_cast<uint8_t>(d[2] << 4 | d[3])};
}

std::optional<int> FromBcd4(uint8_t high, uint8_t low) {
    const int d[4] = {high >> 4, high & 0x0F, low >> 4, low & 0x0F};
    int v = 0;
    for (int x : d) {
        if (x > 9) {
            return std::nullopt;
        }
        v = v * 10 + x;
    }
    return v;
}

CardContent CardContent::Factory() {
    CardContent c;
    for (int g = 0; g < kCardGroups; ++g) {
        GroupRecord& r = c.groups[static_cast<size_t>(g)];
        r.fill(0);
        const std::string name = "SQUELCH GROUP " + std::to_string(g + 1);
        std::copy(name.begin(), name.end(), r.begin());
        r[16] = static_cast<uint8_t>(g + 1);
        for (size_t i = 0; i < 16; ++i) {
            r[17 + 3 * i + 2] = 4;  // not used
        }
    }
    for (size_t t = 0; t < 12; ++t) {
        c.tones[3 * t] = 4;  // unassigned
    }
    for (const auto& p : kParams) {
        c.parameters.emplace_back(p.name, p.factory);
    }
    c.users.push_back(CardUser{"field", "adm"});
    c.password = kFactoryPassword;
    return c;
}

bool CardContent::IsParameterName(const std::string& name) {
    return RuleFor(name) != nullptr;
}

std::optional<std::string> CardContent::NormaliseParameter(const std::string& name,
                                                           const std::string& value) {
    const ParamRule* rule = RuleFor(name);
    const auto v = ParseNumber(value);
    if (rule == nullptr || !v) {
        return std::nullopt;
    }
    if ((*v < rule->min || *v > rule->max) && *v != rule->extra) {
        return std::nullopt;
    }
    return std::to_string(*v);
}

const std::string* CardContent::Parameter(const std::string& name) const {
    for (const auto& p : parameters) {
        if (p.first == name) {
            return &p.second;
        }
    }
    return nullptr;
}

bool CardContent::SetParameter(const std::string& name, const std::string& value) {
    const auto v = NormaliseParameter(name, value);
    if (!v) {
        return false;
    }
    for (auto& p : parameters) {
        if (p.first == name) {
            p.second = *v;
            return true;
        }
    }
    parameters.emplace_back(name, *v);
    return true;
}

const CardUser* CardContent::FindUser(const std::string& name) const {
    for (const auto& u : users) {
        if (u.name == name) {
            return &u;
        }
    }
    return nullptr;
}

bool CardContent::operator==(const CardContent& o) const {
    return channels == o.channels && groups == o.groups && tones == o.tones && keys == o.keys &&
           parameters == o.parameters && users == o.users && password == o.password;
}

std::string ContentToJson(const CardContent& c) {
    Json root = Json::object();
    root["format"] = "quillon-sim card";
    root["version"] = 1;
    // The password came over the serial line as 8-bit characters.
    root["password"] = EightBitToUtf8(c.password);
    Json params = Json::object();
    for (const auto& p : c.parameters) {
        params[EightBitToUtf8(p.first)] = EightBitToUtf8(p.second);
    }
    root["parameters"] = std::move(params);
    Json users = Json::array();
    for (const auto& u : c.users) {
        users.push_back(Json{{"name", EightBitToUtf8(u.name)}, {"level", EightBitToUtf8(u.level)}});
    }
    root["users"] = std::move(users);
    Json keys = Json::array();
    for (const auto& k : c.keys) {
        keys.push_back(Json{{"kid", k.kid}, {"key", EightBitToUtf8(k.key)}});
    }
    root["keys"] = std::move(keys);
    root["tones"] = Hex(c.tones.data(), c.tones.size());
    Json groups = Json::array();
    for (const auto& g : c.groups) {
        groups.push_back(Hex(g.data(), g.size()));
    }
    root["squelchGroups"] = std::move(groups);
    Json channels = Json::array();
    for (size_t i = 0; i < c.channels.size(); ++i) {
        const CardChannel& ch = c.channels[i];
        if (ch.kind == 0) {
            continue;
        }
        channels.push_back(Json{{"slot", i},
                                {"kind", ch.kind},
                                {"data", Hex(ch.data.data(), CardChannel::DataLength(ch.kind))}});
    }
    root["channels"] = std::move(channels);
    return root.dump(2) + "\n";
}

namespace {

bool Bad(std::string& error, const std::string& what) {
    error = what;
    return false;
}

// The member `key` of `obj`: null when it is missing, and `wrong` set when it
// is present with another type.
const Json* Member(const Json& obj, const char* key, Json::value_t type, bool& wrong) {
    const auto it = obj.find(key);
    if (it == obj.end()) {
        return nullptr;
    }
    if (it->type() != type) {
        wrong = true;
        return nullptr;
    }
    return &*it;
}

// The string member `key` of an entry, or null.
const std::string* Text(const Json& entry, const char* key) {
    if (!entry.is_object()) {
        return nullptr;
    }
    const auto it = entry.find(key);
    return it != entry.end() && it->is_string() ? it->get_ptr<const std::string*>() : nullptr;
}

// The integer member `key` of an entry within [min, max], or nothing.
std::optional<int64_t> Integer(const Json& entry, const char* key, int64_t min, int64_t max) {
    if (!entry.is_object()) {
        return std::nullopt;
    }
    const auto it = entry.find(key);
    return it != entry.end() ? IntegerIn(*it, min, max) : std::nullopt;
}

}  // namespace

bool ContentFromJson(const std::string& text, CardContent& out, std::string& error) {
    using T = Json::value_t;
    std::string why;
    const std::optional<Json> parsed = ParseStrictJson(text, why);
    if (!parsed) {
        return Bad(error, "not valid JSON: " + why);
    }
    const Json& root = *parsed;
    if (!root.is_object()) {
        return Bad(error, "the file does not hold an object");
    }
    const std::string* format = Text(root, "format");
    if (format == nullptr || *format != "quillon-sim card") {
        return Bad(error, "not a quillon-sim card state (\"format\" missing or different)");
    }
    if (Integer(root, "version", 1, 1) != 1) {
        return Bad(error, "unsupported state version");
    }
    CardContent c = CardContent::Factory();
    bool wrong = false;

    if (const auto* pw = Member(root, "password", T::string, wrong)) {
        const auto bytes = Utf8ToEightBit(pw->get<std::string>());
        if (!bytes) {
            return Bad(error, "\"password\" holds a character that is not 8-bit");
        }
        c.password = *bytes;
    }
    if (wrong) {
        return Bad(error, "\"password\" must be a string");
    }
    if (const auto* params = Member(root, "parameters", T::object, wrong)) {
        for (const auto& [name, v] : params->items()) {
            if (!v.is_string() || !c.SetParameter(name, v.get<std::string>())) {
                return Bad(error, "parameter \"" + name + "\" is unknown or out of range");
            }
        }
    }
    if (wrong) {
        return Bad(error, "\"parameters\" must be an object");
    }
    if (const auto* users = Member(root, "users", T::array, wrong)) {
        c.users.clear();
        for (const auto& u : *users) {
            const std::string* name = Text(u, "name");
            const std::string* level = Text(u, "level");
            if (name == nullptr || level == nullptr || !ValidUserName(*name) ||
                (*level != "adm" && *level != "usr") || c.FindUser(*name) != nullptr ||
                c.users.size() >= kMaxCardUsers) {
                return Bad(error, "a user entry is not valid");
            }
            c.users.push_back(CardUser{*name, *level});
        }
    }
    if (wrong) {
        return Bad(error, "\"users\" must be an array");
    }
    if (const auto* keys = Member(root, "keys", T::array, wrong)) {
        for (const auto& k : *keys) {
            const auto kid = Integer(k, "kid", 0, 0xFFFF);
            const std::string* key = Text(k, "key");
            if (!kid || key == nullptr || key->size() != 16 || !IsHexText(*key) ||
                c.keys.size() >= kMaxCardKeys) {
                return Bad(error, "a key entry is not valid");
            }
            c.keys.push_back(CardKey{static_cast<uint16_t>(*kid), *key});
        }
    }
    if (wrong) {
        return Bad(error, "\"keys\" must be an array");
    }
    if (const auto* tones = Member(root, "tones", T::string, wrong)) {
        if (!Unhex(tones->get<std::string>(), c.tones.data(), c.tones.size())) {
            return Bad(error, "\"tones\" must hold 36 bytes in hexadecimal");
        }
    }
    if (wrong) {
        return Bad(error, "\"tones\" must be a string");
    }
    if (const auto* groups = Member(root, "squelchGroups", T::array, wrong)) {
        if (groups->size() != c.groups.size()) {
            return Bad(error, "\"squelchGroups\" must list 16 groups");
        }
        for (size_t g = 0; g < c.groups.size(); ++g) {
            const Json& item = (*groups)[g];
            if (!item.is_string() ||
                !Unhex(item.get<std::string>(), c.groups[g].data(), c.groups[g].size())) {
                return Bad(error, "squelch group " + std::to_string(g + 1) +
                                      " must hold 65 bytes in hexadecimal");
            }
        }
    }
    if (wrong) {
        return Bad(error, "\"squelchGroups\" must be an array");
    }
    if (const auto* channels = Member(root, "channels", T::array, wrong)) {
        for (const auto& ch : *channels) {
            const auto slot = Integer(ch, "slot", 0, kCardChannels - 1);
            const auto kind = Integer(ch, "kind", 1, 2);
            const std::string* data = Text(ch, "data");
            if (!slot || !kind || data == nullptr) {
                return Bad(error, "a channel entry is not valid");
            }
            CardChannel cc;
            cc.kind = static_cast<uint8_t>(*kind);
            if (!Unhex(*data, cc.data.data(), CardChannel::DataLength(cc.kind))) {
                return Bad(error,
                           "channel " + std::to_string(*slot) + " has data of the wrong length");
            }
            c.channels[static_cast<size_t>(*slot)] = cc;
        }
    }
    if (wrong) {
        return Bad(error, "\"channels\" must be an array");
    }
    out = std::move(c);
    return true;
}

}  // namespace quillon::sim
