#include "sim/MiniJson.h"

#include <cstdio>

namespace quillon::sim::json {

Value Value::Int(int64_t v) {
    Value r;
    r.type = Type::Int;
    r.integer = v;
    return r;
}
Value Value::Str(std::string s) {
    Value r;
    r.type = Type::String;
    r.text = std::move(s);
    return r;
}
Value Value::Bool(bool b) {
    Value r;
    r.type = Type::Bool;
    r.boolean = b;
    return r;
}
Value Value::Arr() {
    Value r;
    r.type = Type::Array;
    return r;
}
Value Value::Obj() {
    Value r;
    r.type = Type::Object;
    return r;
}
Value& Value::Add(Value v) {
    items.push_back(std::move(v));
    return items.back();
}
Value& Value::Set(const std::string& key, Value v) {
    for (auto& m : members) {
        if (m.first == key) {
            m.second = std::move(v);
            return m.second;
        }
    }
    members.emplace_back(key, std::move(v));
    return members.back().second;
}
const Value* Value::Find(const std::string& key) const {
    if (type != Type::Object) {
        return nullptr;
    }
    for (const auto& m : members) {
        if (m.first == key) {
            return &m.second;
        }
    }
    return nullptr;
}

namespace {

constexpr int kMaxDepth = 32;

class Reader {
  public:
    explicit Reader(const std::string& s) : s_(s) {}

    ParseResult Run() {
        ParseResult r;
        Value v;
        if (!ReadValue(v, 0)) {
            r.error = error_ + " at offset " + std::to_string(pos_);
            return r;
        }
        SkipSpace();
        if (pos_ != s_.size()) {
            r.error = "unexpected text after the value at offset " + std::to_string(pos_);
            return r;
        }
        r.value = std::move(v);
        return r;
    }

  private:
    bool Fail(const char* what) {
        error_ = what;
        return false;
    }
    void SkipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) {
            ++pos_;
        }
    }
    bool Literal(const char* word) {
        size_t i = 0;
        while (word[i] != '\0') {
            if (pos_ + i >= s_.size() || s_[pos_ + i] != word[i]) {
                return Fail("unknown word");
            }
            ++i;
        }
        pos_ += i;
        return true;
    }

    bool ReadValue(Value& out, int depth) {
        if (depth > kMaxDepth) {
            return Fail("nested too deeply");
        }
        SkipSpace();
        if (pos_ >= s_.size()) {
            return Fail("unexpected end");
        }
        const char c = s_[pos_];
        if (c == '{') {
            return ReadObject(out, depth);
        }
        if (c == '[') {
            return ReadArray(out, depth);
        }
        if (c == '"') {
            out = Value::Str("");
            return ReadString(out.text);
        }
        if (c == 't') {
            out = Value::Bool(true);
            return Literal("true");
        }
        if (c == 'f') {
            out = Value::Bool(false);
            return Literal("false");
        }
        if (c == 'n') {
            out = Value{};
            return Literal("null");
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            return ReadInt(out);
        }
        return Fail("unexpected character");
    }

    bool ReadInt(Value& out) {
        bool negative = false;
        if (s_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        if (pos_ >= s_.size() || s_[pos_] < '0' || s_[pos_] > '9') {
            return Fail("bad number");
        }
        uint64_t v = 0;
        int digits = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
            if (++digits > 18) {
                return Fail("number too long");
            }
            v = v * 10 + static_cast<uint64_t>(s_[pos_] - '0');
            ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == '.' || s_[pos_] == 'e' || s_[pos_] == 'E')) {
            return Fail("only whole numbers are expected");
        }
        out = Value::Int(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
        return true;
    }

    static void PutUtf8(std::string& s, uint32_t cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool ReadString(std::string& out) {
        ++pos_;  // opening quote
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) {
                break;
            }
            const char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    if (pos_ + 4 > s_.size()) {
                        return Fail("short \\u escape");
                    }
                    uint32_t cp = 0;
                    for (int i = 0; i < 4; ++i) {
                        const char h = s_[pos_++];
                        cp <<= 4;
                        if (h >= '0' && h <= '9') {
                            cp |= static_cast<uint32_t>(h - '0');
                        } else if (h >= 'a' && h <= 'f') {
                            cp |= static_cast<uint32_t>(h - 'a' + 10);
                        } else if (h >= 'A' && h <= 'F') {
                            cp |= static_cast<uint32_t>(h - 'A' + 10);
                        } else {
                            return Fail("bad \\u escape");
                        }
                    }
                    PutUtf8(out, cp);
                    break;
                }
                default:
                    return Fail("bad escape");
            }
        }
        return Fail("unterminated string");
    }

    bool ReadArray(Value& out, int depth) {
        out = Value::Arr();
        ++pos_;
        SkipSpace();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            Value item;
            if (!ReadValue(item, depth + 1)) {
                return false;
            }
            out.items.push_back(std::move(item));
            SkipSpace();
            if (pos_ >= s_.size()) {
                return Fail("unterminated array");
            }
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (s_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("expected , or ]");
        }
    }

    bool ReadObject(Value& out, int depth) {
        out = Value::Obj();
        ++pos_;
        SkipSpace();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != '"') {
                return Fail("expected a member name");
            }
            std::string key;
            if (!ReadString(key)) {
                return false;
            }
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != ':') {
                return Fail("expected :");
            }
            ++pos_;
            Value v;
            if (!ReadValue(v, depth + 1)) {
                return false;
            }
            if (out.Find(key) != nullptr) {
                return Fail("member named twice");
            }
            out.members.emplace_back(std::move(key), std::move(v));
            SkipSpace();
            if (pos_ >= s_.size()) {
                return Fail("unterminated object");
            }
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (s_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("expected , or }");
        }
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::string error_;
};

void WriteString(std::string& out, const std::string& s) {
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    out += '"';
}

bool Scalar(const Value& v) {
    return v.type != Value::Type::Array && v.type != Value::Type::Object;
}

void WriteValue(std::string& out, const Value& v, int indent) {
    const std::string pad(static_cast<size_t>(indent) * 2, ' ');
    const std::string inner(static_cast<size_t>(indent + 1) * 2, ' ');
    switch (v.type) {
        case Value::Type::Null:
            out += "null";
            return;
        case Value::Type::Bool:
            out += v.boolean ? "true" : "false";
            return;
        case Value::Type::Int:
            out += std::to_string(v.integer);
            return;
        case Value::Type::String:
            WriteString(out, v.text);
            return;
        case Value::Type::Array: {
            if (v.items.empty()) {
                out += "[]";
                return;
            }
            bool flat = true;
            for (const auto& i : v.items) {
                flat = flat && Scalar(i) && i.type != Value::Type::String;
            }
            out += '[';
            for (size_t i = 0; i < v.items.size(); ++i) {
                out += i == 0 ? "" : ",";
                if (flat) {
                    out += i == 0 ? "" : " ";
                } else {
                    out += "\n" + inner;
                }
                WriteValue(out, v.items[i], indent + 1);
            }
            out += flat ? "]" : "\n" + pad + "]";
            return;
        }
        case Value::Type::Object: {
            if (v.members.empty()) {
                out += "{}";
                return;
            }
            out += '{';
            for (size_t i = 0; i < v.members.size(); ++i) {
                out += i == 0 ? "\n" : ",\n";
                out += inner;
                WriteString(out, v.members[i].first);
                out += ": ";
                WriteValue(out, v.members[i].second, indent + 1);
            }
            out += "\n" + pad + "}";
            return;
        }
    }
}

}  // namespace

ParseResult Parse(const std::string& text) {
    return Reader(text).Run();
}

std::string Write(const Value& v) {
    std::string out;
    WriteValue(out, v, 0);
    out += '\n';
    return out;
}

}  // namespace quillon::sim::json
