#include "sim/CardContent.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "sim/MiniJson.h"

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
    using json::Value;
    Value root = Value::Obj();
    root.Set("format", Value::Str("quillon-sim card"));
    root.Set("version", Value::Int(1));
    root.Set("password", Value::Str(c.password));
    Value params = Value::Obj();
    for (const auto& p : c.parameters) {
        params.Set(p.first, Value::Str(p.second));
    }
    root.Set("parameters", std::move(params));
    Value users = Value::Arr();
    for (const auto& u : c.users) {
        Value e = Value::Obj();
        e.Set("name", Value::Str(u.name));
        e.Set("level", Value::Str(u.level));
        users.Add(std::move(e));
    }
    root.Set("users", std::move(users));
    Value keys = Value::Arr();
    for (const auto& k : c.keys) {
        Value e = Value::Obj();
        e.Set("kid", Value::Int(k.kid));
        e.Set("key", Value::Str(k.key));
        keys.Add(std::move(e));
    }
    root.Set("keys", std::move(keys));
    root.Set("tones", Value::Str(Hex(c.tones.data(), c.tones.size())));
    Value groups = Value::Arr();
    for (const auto& g : c.groups) {
        groups.Add(Value::Str(Hex(g.data(), g.size())));
    }
    root.Set("squelchGroups", std::move(groups));
    Value channels = Value::Arr();
    for (size_t i = 0; i < c.channels.size(); ++i) {
        const CardChannel& ch = c.channels[i];
        if (ch.kind == 0) {
            continue;
        }
        Value e = Value::Obj();
        e.Set("slot", Value::Int(static_cast<int64_t>(i)));
        e.Set("kind", Value::Int(ch.kind));
        e.Set("data", Value::Str(Hex(ch.data.data(), CardChannel::DataLength(ch.kind))));
        channels.Add(std::move(e));
    }
    root.Set("channels", std::move(channels));
    return json::Write(root);
}

namespace {

bool Bad(std::string& error, const std::string& what) {
    error = what;
    return false;
}

const json::Value* Member(const json::Value& obj, const char* key, json::Value::Type type,
                          bool& wrong) {
    const json::Value* v = obj.Find(key);
    if (v != nullptr && v->type != type) {
        wrong = true;
        return nullptr;
    }
    return v;
}

}  // namespace

bool ContentFromJson(const std::string& text, CardContent& out, std::string& error) {
    using T = json::Value::Type;
    const json::ParseResult parsed = json::Parse(text);
    if (!parsed.value) {
        return Bad(error, "not valid JSON: " + parsed.error);
    }
    const json::Value& root = *parsed.value;
    if (root.type != T::Object) {
        return Bad(error, "the file does not hold an object");
    }
    const json::Value* format = root.Find("format");
    if (format == nullptr || format->type != T::String || format->text != "quillon-sim card") {
        return Bad(error, "not a quillon-sim card state (\"format\" missing or different)");
    }
    const json::Value* version = root.Find("version");
    if (version == nullptr || version->type != T::Int || version->integer != 1) {
        return Bad(error, "unsupported state version");
    }
    CardContent c = CardContent::Factory();
    bool wrong = false;

    if (const auto* pw = Member(root, "password", T::String, wrong)) {
        c.password = pw->text;
    }
    if (wrong) {
        return Bad(error, "\"password\" must be a string");
    }
    if (const auto* params = Member(root, "parameters", T::Object, wrong)) {
        for (const auto& [name, v] : params->members) {
            if (v.type != T::String || !c.SetParameter(name, v.text)) {
                return Bad(error, "parameter \"" + name + "\" is unknown or out of range");
            }
        }
    }
    if (wrong) {
        return Bad(error, "\"parameters\" must be an object");
    }
    if (const auto* users = Member(root, "users", T::Array, wrong)) {
        c.users.clear();
        for (const auto& u : users->items) {
            const auto* name = u.Find("name");
            const auto* level = u.Find("level");
            if (name == nullptr || level == nullptr || name->type != T::String ||
                level->type != T::String || !ValidUserName(name->text) ||
                (level->text != "adm" && level->text != "usr") ||
                c.FindUser(name->text) != nullptr || c.users.size() >= kMaxCardUsers) {
                return Bad(error, "a user entry is not valid");
            }
            c.users.push_back(CardUser{name->text, level->text});
        }
    }
    if (wrong) {
        return Bad(error, "\"users\" must be an array");
    }
    if (const auto* keys = Member(root, "keys", T::Array, wrong)) {
        for (const auto& k : keys->items) {
            const auto* kid = k.Find("kid");
            const auto* key = k.Find("key");
            if (kid == nullptr || key == nullptr || kid->type != T::Int || key->type != T::String ||
                kid->integer < 0 || kid->integer > 0xFFFF || key->text.size() != 16 ||
                !IsHexText(key->text) || c.keys.size() >= kMaxCardKeys) {
                return Bad(error, "a key entry is not valid");
            }
            c.keys.push_back(CardKey{static_cast<uint16_t>(kid->integer), key->text});
        }
    }
    if (wrong) {
        return Bad(error, "\"keys\" must be an array");
    }
    if (const auto* tones = Member(root, "tones", T::String, wrong)) {
        if (!Unhex(tones->text, c.tones.data(), c.tones.size())) {
            return Bad(error, "\"tones\" must hold 36 bytes in hexadecimal");
        }
    }
    if (wrong) {
        return Bad(error, "\"tones\" must be a string");
    }
    if (const auto* groups = Member(root, "squelchGroups", T::Array, wrong)) {
        if (groups->items.size() != c.groups.size()) {
            return Bad(error, "\"squelchGroups\" must list 16 groups");
        }
        for (size_t g = 0; g < c.groups.size(); ++g) {
            const auto& item = groups->items[g];
            if (item.type != T::String ||
                !Unhex(item.text, c.groups[g].data(), c.groups[g].size())) {
                return Bad(error, "squelch group " + std::to_string(g + 1) +
                                      " must hold 65 bytes in hexadecimal");
            }
        }
    }
    if (wrong) {
        return Bad(error, "\"squelchGroups\" must be an array");
    }
    if (const auto* channels = Member(root, "channels", T::Array, wrong)) {
        for (const auto& ch : channels->items) {
            const auto* slot = ch.Find("slot");
            const auto* kind = ch.Find("kind");
            const auto* data = ch.Find("data");
            if (slot == nullptr || kind == nullptr || data == nullptr || slot->type != T::Int ||
                kind->type != T::Int || data->type != T::String || slot->integer < 0 ||
                slot->integer >= kCardChannels || kind->integer < 1 || kind->integer > 2) {
                return Bad(error, "a channel entry is not valid");
            }
            CardChannel cc;
            cc.kind = static_cast<uint8_t>(kind->integer);
            if (!Unhex(data->text, cc.data.data(), CardChannel::DataLength(cc.kind))) {
                return Bad(error, "channel " + std::to_string(slot->integer) +
                                      " has data of the wrong length");
            }
            c.channels[static_cast<size_t>(slot->integer)] = cc;
        }
    }
    if (wrong) {
        return Bad(error, "\"channels\" must be an array");
    }
    out = std::move(c);
    return true;
}

}  // namespace quillon::sim
