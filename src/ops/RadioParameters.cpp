#include "ops/RadioParameters.h"

#include <cctype>

#include "model/CTmpDoc.h"
#include "ops/Format.h"
#include "ops/Messages.h"

namespace quillon {

namespace {

const RadioParameter kParameters[kRadioParameterCount] = {
    {"ee_fpmon", "front panel audio monitor (0 or 1)", &model::CTmpDoc::frontPanelMonitor, 0, 1,
     false},
    {"ee_fpvol", "front panel audio level (1 to 10)", &model::CTmpDoc::frontPanelVolume, 1, 10,
     false},
    {"ee_bpnl_output", "rear serial output (0 to 3)", &model::CTmpDoc::backPanelOutput, 0, 3,
     false},
    {"ee_dflt_chan", "default channel (0 to 511, or 0xFFFF for none)",
     &model::CTmpDoc::defaultChannel, 0, 511, true},
};

// The card's number for "no default channel".
constexpr const char* kCardNone = "65535";
// More digits than any value in range needs, with room for leading zeros.
constexpr size_t kMaxDigits = 5;

bool IsNoneText(const std::string& s) {
    if (s.size() != 6 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
        return false;
    }
    for (size_t i = 2; i < s.size(); ++i) {
        if (s[i] != 'f' && s[i] != 'F') {
            return false;
        }
    }
    return true;
}

std::optional<int> SmallDecimal(const std::string& s) {
    if (s.empty() || s.size() > kMaxDigits) {
        return std::nullopt;
    }
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        v = v * 10 + (c - '0');
    }
    return v;
}

bool IsHexDigits(const std::string& s) {
    for (const char c : s) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

const RadioParameter& RadioParameterAt(int index) {
    if (index < 0 || index >= kRadioParameterCount) {
        index = 0;
    }
    return kParameters[index];
}

bool IsSendableValue(const RadioParameter& p, const std::string& value) {
    if (p.noneAllowed && IsNoneText(value)) {
        return true;
    }
    const auto v = SmallDecimal(value);
    return v && *v >= p.min && *v <= p.max;
}

std::optional<std::string> GetpReplyValue(const std::string& reply) {
    const size_t colon = reply.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    size_t begin = colon + 1;
    while (begin < reply.size() && (reply[begin] == ' ' || reply[begin] == '\t')) {
        ++begin;
    }
    size_t end = reply.find_first_of("\r\n", begin);
    if (end == std::string::npos) {
        end = reply.size();
    }
    while (end > begin && (reply[end - 1] == ' ' || reply[end - 1] == '\t')) {
        --end;
    }
    return reply.substr(begin, end - begin);
}

std::optional<std::string> DocumentValueFromCard(const RadioParameter& p,
                                                 const std::string& value) {
    if (p.noneAllowed && (value == kCardNone || IsNoneText(value))) {
        return std::string(kNoDefaultChannel);
    }
    const auto v = SmallDecimal(value);
    if (!v || *v < p.min || *v > p.max) {
        return std::nullopt;
    }
    return std::to_string(*v);
}

std::string ShownValue(const std::string& value) {
    constexpr size_t kMaxShown = 40;
    std::string out;
    for (size_t i = 0; i < value.size() && i < kMaxShown; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            out += Format("\\x%02x", static_cast<unsigned>(c));
        } else {
            out += static_cast<char>(c);
        }
    }
    if (value.size() > kMaxShown) {
        out += "...";
    }
    return out;
}

std::string CheckSendable(const model::CTmpDoc& doc) {
    for (int i = 0; i < doc.keys.Count(); ++i) {
        const model::KeyEntry k = doc.keys.Get(i);
        if (k.key.size() != 16 || !IsHexDigits(k.key)) {
            return Format(msg::kBadKey, i + 1, ShownValue(k.key).c_str());
        }
        if (k.kid < 0 || k.kid > 0xFFFF) {
            return Format(msg::kBadKeyId, i + 1, static_cast<int>(k.kid));
        }
    }
    for (int i = 0; i < kRadioParameterCount; ++i) {
        const RadioParameter& p = RadioParameterAt(i);
        const std::string& value = doc.*(p.field);
        if (!IsSendableValue(p, value)) {
            return Format(msg::kBadParameterValue, p.description, ShownValue(value).c_str());
        }
    }
    return std::string();
}

}  // namespace quillon
