#include "cli/DocumentBuild.h"

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <stdexcept>

#include "core/EightBitText.h"
#include "model/Archive.h"
#include "model/TextForms.h"

namespace quillon::cli {

namespace {

using model::ArchiveReader;
using model::ArchiveWriter;

constexpr size_t kImageSize = model::kChannelImageSize;
constexpr size_t kV32RecordSize = kImageSize - 1;
constexpr int kKeySlots = model::Encrypt::kMaxKeys;

bool HasBackPanel(const std::string& tag) {
    return tag == "veltp_v3_4" || tag == "veltp_v3_5";
}

bool HasDefaultChannel(const std::string& tag) {
    return tag == "veltp_v3_5";
}

bool Accepted(const std::string& tag) {
    return tag == "veltp_v3_2" || tag == "veltp_v3_3" || HasBackPanel(tag);
}

// A wrong value: where it is in the JSON and what is wrong with it.
class BadValue : public std::runtime_error {
  public:
    BadValue(const std::string& path, const std::string& why)
        : std::runtime_error(path + ": " + why) {}
};

const Json& Member(const Json& object, const std::string& path, const char* name) {
    if (!object.is_object()) {
        throw BadValue(path, "must be an object");
    }
    const auto it = object.find(name);
    if (it == object.end()) {
        throw BadValue(path + "." + name, "is missing");
    }
    return *it;
}

std::string Text(const Json& v, const std::string& path) {
    if (!v.is_string()) {
        throw BadValue(path, "must be a string");
    }
    std::optional<std::string> t = Utf8ToEightBit(v.get<std::string>());
    if (!t) {
        throw BadValue(path, "holds a character above U+00FF, which no document text can hold");
    }
    return *t;
}

std::string TextMember(const Json& o, const std::string& path, const char* name) {
    return Text(Member(o, path, name), path + "." + name);
}

long long Integer(const Json& v, const std::string& path, long long low, long long high) {
    if (!v.is_number_integer()) {
        throw BadValue(path, "must be a whole number");
    }
    long long n = 0;
    if (v.is_number_unsigned()) {
        const auto u = v.get<unsigned long long>();
        n = u > static_cast<unsigned long long>(high) ? high + 1 : static_cast<long long>(u);
    } else {
        n = v.get<long long>();
    }
    if (n < low || n > high) {
        throw BadValue(path, "must be from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return n;
}

const Json& Array(const Json& v, const std::string& path, size_t least, size_t most) {
    if (!v.is_array()) {
        throw BadValue(path, "must be an array");
    }
    if (v.size() < least || v.size() > most) {
        throw BadValue(path, least == most ? "must have " + std::to_string(least) + " entries"
                                           : "must have " + std::to_string(least) + " to " +
                                                 std::to_string(most) + " entries");
    }
    return v;
}

std::vector<uint8_t> HexMember(const Json& o, const std::string& path, const char* name,
                               size_t size) {
    const std::string where = path + "." + name;
    const Json& v = Member(o, path, name);
    if (!v.is_string() || v.get<std::string>().size() != 2 * size) {
        throw BadValue(where, "must be " + std::to_string(2 * size) + " hexadecimal digits");
    }
    const std::string s = v.get<std::string>();
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        const int hi = model::HexValue(s[2 * i]);
        const int lo = model::HexValue(s[2 * i + 1]);
        if (hi < 0 || lo < 0) {
            throw BadValue(where, "must be " + std::to_string(2 * size) + " hexadecimal digits");
        }
        bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return bytes;
}

std::string Index(const std::string& path, size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// A text the version does not store must be the value its reader sets.
void MustBeDefault(const Json& root, const char* name, const char* value, const std::string& tag) {
    if (TextMember(root, "$", name) != value) {
        throw BadValue(std::string("$.") + name,
                       "a " + tag + " document does not store it; it must be \"" + value + "\"");
    }
}

// The file being written: strings in the writer's form unless the JSON
// says the file had another form for a string of this place and text.
class Out {
  public:
    explicit Out(const Json& root) {
        if (!root.contains("stringForms")) {
            return;
        }
        const Json& forms = Array(root["stringForms"], "$.stringForms", 0, 1u << 20);
        for (size_t i = 0; i < forms.size(); ++i) {
            const std::string path = Index("$.stringForms", i);
            const auto at = static_cast<size_t>(
                Integer(Member(forms[i], path, "string"), path + ".string", 0, INT32_MAX));
            const Json& hex = Member(forms[i], path, "bytes");
            const size_t size = hex.is_string() ? hex.get<std::string>().size() / 2 : 0;
            forms_[at] = HexMember(forms[i], path, "bytes", size);
        }
    }

    void WriteString(const std::string& s) {
        const auto it = forms_.find(index_++);
        if (it != forms_.end()) {
            // Only a form that still reads as this text: an edited text
            // goes in the writer's form.
            ArchiveReader check(it->second.data(), it->second.size());
            try {
                if (check.ReadString() == s && check.Remaining() == 0) {
                    ar_.WriteBytes(it->second.data(), it->second.size());
                    return;
                }
            } catch (const model::ArchiveError&) {
            }
        }
        ar_.WriteString(s);
    }
    void WriteByte(uint8_t v) { ar_.WriteByte(v); }
    void WriteU16(uint16_t v) { ar_.WriteU16(v); }
    void WriteI32(int32_t v) { ar_.WriteI32(v); }
    void WriteBytes(const uint8_t* data, size_t n) { ar_.WriteBytes(data, n); }
    std::vector<uint8_t> Take() { return ar_.Take(); }

  private:
    ArchiveWriter ar_;
    std::map<size_t, std::vector<uint8_t>> forms_;
    size_t index_ = 0;
};

void WriteChannels(const Json& root, const std::string& tag, Out& ar) {
    const bool v32 = tag == "veltp_v3_2";
    std::string countText = "512";
    if (root.contains("channelCount")) {
        countText = Text(root["channelCount"], "$.channelCount");
    }
    const int count = model::LeadingDecimal(countText);
    if (count < 0 || count > model::kChannelCount) {
        throw BadValue("$.channelCount", "must start with a number from 0 to 512");
    }
    ar.WriteString(countText);
    const Json& channels = Array(Member(root, "$", "channels"), "$.channels", model::kChannelCount,
                                 model::kChannelCount);
    std::vector<uint8_t> byte75;
    if (v32) {
        byte75 = HexMember(root, "$", "storedByte75", static_cast<size_t>(count));
    } else if (root.contains("storedByte75")) {
        throw BadValue("$.storedByte75", "only a veltp_v3_2 document has it");
    }
    const model::CChannel cleared;
    for (size_t i = 0; i < channels.size(); ++i) {
        const std::string path = Index("$.channels", i);
        const Json& c = channels[i];
        if (Integer(Member(c, path, "number"), path + ".number", 0, 511) !=
            static_cast<long long>(i)) {
            throw BadValue(path + ".number", "must be " + std::to_string(i));
        }
        std::vector<uint8_t> image = HexMember(c, path, "image", kImageSize);
        model::CChannel ch;
        std::copy(image.begin(), image.end(), ch.Image().begin());
        // kind and name are read from the image; a hand edit of them alone
        // would otherwise be lost without a word.
        if (c.contains("kind") && Integer(c["kind"], path + ".kind", 0, 255) != ch.KindByte()) {
            throw BadValue(path + ".kind", "does not match the image");
        }
        if (c.contains("name") && Text(c["name"], path + ".name") != ch.NameText()) {
            throw BadValue(path + ".name", "does not match the image");
        }
        if (static_cast<int>(i) >= count) {
            if (ch.Image() != cleared.Image()) {
                throw BadValue(path + ".image",
                               "lies past the channel count, so it must be an empty slot");
            }
            continue;
        }
        if (v32) {
            if (image[kV32RecordSize] != 0 || image[model::off::kSquelchLevel] != 0x03) {
                throw BadValue(path + ".image",
                               "a veltp_v3_2 record has squelch level 03 and byte 77 0");
            }
            image[model::off::kSquelchLevel] = byte75[i];
            ar.WriteBytes(image.data(), kV32RecordSize);
        } else {
            ar.WriteBytes(image.data(), kImageSize);
        }
    }
}

void WriteKeys(const Json& root, Out& ar) {
    const Json& keys = Array(Member(root, "$", "keys"), "$.keys", 0, kKeySlots);
    std::vector<model::KeyEntry> entries;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string path = Index("$.keys", i);
        entries.push_back(
            model::KeyEntry{TextMember(keys[i], path, "key"),
                            static_cast<int32_t>(Integer(Member(keys[i], path, "kid"),
                                                         path + ".kid", INT32_MIN, INT32_MAX))});
    }
    const size_t spare = static_cast<size_t>(kKeySlots) - keys.size();
    if (root.contains("spareKeys")) {
        const Json& more = Array(root["spareKeys"], "$.spareKeys", spare, spare);
        for (size_t i = 0; i < more.size(); ++i) {
            const std::string path = Index("$.spareKeys", i);
            entries.push_back(model::KeyEntry{
                TextMember(more[i], path, "key"),
                static_cast<int32_t>(
                    Integer(Member(more[i], path, "kid"), path + ".kid", INT32_MIN, INT32_MAX))});
        }
    }
    entries.resize(kKeySlots);
    ar.WriteU16(static_cast<uint16_t>(keys.size()));
    for (const model::KeyEntry& e : entries) {
        ar.WriteString(e.key);
        ar.WriteI32(e.kid);
    }
}

void WriteGroups(const Json& root, Out& ar) {
    const Json& groups = Array(Member(root, "$", "squelchGroups"), "$.squelchGroups",
                               model::SquGroup::kGroups, model::SquGroup::kGroups);
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::string path = Index("$.squelchGroups", g);
        if (groups[g].contains("number") && Integer(groups[g]["number"], path + ".number", 1, 16) !=
                                                static_cast<long long>(g + 1)) {
            throw BadValue(path + ".number", "must be " + std::to_string(g + 1));
        }
        ar.WriteString(TextMember(groups[g], path, "name"));
        const Json& items = Array(Member(groups[g], path, "items"), path + ".items",
                                  model::SquGroup::kItems, model::SquGroup::kItems);
        for (size_t i = 0; i < items.size(); ++i) {
            const std::string ip = Index(path + ".items", i);
            ar.WriteString(TextMember(items[i], ip, "value"));
            ar.WriteByte(
                static_cast<uint8_t>(Integer(Member(items[i], ip, "type"), ip + ".type", 0, 255)));
        }
    }
}

void WriteTones(const Json& root, Out& ar) {
    const Json& tones = Array(Member(root, "$", "toneRemote"), "$.toneRemote",
                              model::CToneRemote::kSlots, model::CToneRemote::kSlots);
    for (size_t s = 0; s < tones.size(); ++s) {
        const std::string path = Index("$.toneRemote", s);
        ar.WriteByte(static_cast<uint8_t>(
            Integer(Member(tones[s], path, "function"), path + ".function", 0, 255)));
        ar.WriteString(TextMember(tones[s], path, "argument"));
    }
}

// Reads the file's strings in order, noting those not in the writer's form.
class StringSource {
  public:
    StringSource(const std::vector<uint8_t>& file, ArchiveReader& ar, FileExtras& x)
        : file_(file), ar_(ar), x_(x) {}
    std::string Read() {
        const size_t start = file_.size() - ar_.Remaining();
        std::string s = ar_.ReadString();
        const size_t end = file_.size() - ar_.Remaining();
        ArchiveWriter canonical;
        canonical.WriteString(s);
        const auto first = file_.begin() + static_cast<std::ptrdiff_t>(start);
        const auto last = file_.begin() + static_cast<std::ptrdiff_t>(end);
        if (!std::equal(first, last, canonical.Bytes().begin(), canonical.Bytes().end())) {
            x_.stringForms.emplace_back(index_, std::vector<uint8_t>(first, last));
        }
        ++index_;
        return s;
    }

  private:
    const std::vector<uint8_t>& file_;
    ArchiveReader& ar_;
    FileExtras& x_;
    size_t index_ = 0;
};

}  // namespace

FileExtras ReadFileExtras(const std::vector<uint8_t>& file) {
    FileExtras x;
    ArchiveReader ar(file.data(), file.size());
    StringSource str(file, ar, x);
    try {
        const std::string tag = str.Read();
        if (!Accepted(tag)) {
            return x;
        }
        for (int i = 0; i < 6; ++i) {  // format numbers, two texts, monitor, volume
            str.Read();
        }
        if (HasBackPanel(tag)) {
            str.Read();
        }
        if (HasDefaultChannel(tag)) {
            str.Read();
        }
        str.Read();  // docText3
        x.channelCount = str.Read();
        const int count = model::LeadingDecimal(x.channelCount);
        x.version32 = tag == "veltp_v3_2";
        const size_t recordSize = x.version32 ? kV32RecordSize : kImageSize;
        std::vector<uint8_t> record(recordSize);
        for (int i = 0; i < count && i <= model::kChannelCount; ++i) {
            ar.ReadBytes(record.data(), recordSize);
            if (x.version32) {
                x.storedByte75.push_back(record[model::off::kSquelchLevel]);
            }
        }
        const uint16_t keys = ar.ReadU16();
        for (int i = 0; i < kKeySlots; ++i) {
            model::KeyEntry e;
            e.key = str.Read();
            e.kid = ar.ReadI32();
            if (i >= keys) {
                x.spareKeys.push_back(e);
            }
        }
        for (int g = 0; g < model::SquGroup::kGroups; ++g) {
            str.Read();
            for (int i = 0; i < model::SquGroup::kItems; ++i) {
                str.Read();
                ar.ReadByte();
            }
        }
        for (int t = 0; t < model::CToneRemote::kSlots; ++t) {
            ar.ReadByte();
            str.Read();
        }
    } catch (const model::ArchiveError&) {
        // Only files the document reader took come here.
    }
    return x;
}

void AddFileExtras(Json& root, const FileExtras& x) {
    if (!x.stringForms.empty()) {
        Json forms = Json::array();
        for (const auto& [index, bytes] : x.stringForms) {
            forms.push_back(
                Json{{"string", index}, {"bytes", HexBytes(bytes.data(), bytes.size())}});
        }
        root["stringForms"] = std::move(forms);
    }
    if (x.channelCount != "512") {
        root["channelCount"] = EightBitToUtf8(x.channelCount);
    }
    if (x.version32) {
        root["storedByte75"] = HexBytes(x.storedByte75.data(), x.storedByte75.size());
    }
    bool spareUsed = false;
    for (const model::KeyEntry& e : x.spareKeys) {
        spareUsed = spareUsed || !e.key.empty() || e.kid != 0;
    }
    if (spareUsed) {
        Json spare = Json::array();
        for (const model::KeyEntry& e : x.spareKeys) {
            spare.push_back(Json{{"key", EightBitToUtf8(e.key)}, {"kid", e.kid}});
        }
        root["spareKeys"] = std::move(spare);
    }
}

BuildResult BuildDocument(const std::string& jsonText) {
    BuildResult r;
    Json root;
    try {
        root = Json::parse(jsonText);
    } catch (const Json::parse_error& e) {
        r.message = std::string("not JSON: ") + e.what();
        return r;
    }
    try {
        const std::string tag = TextMember(root, "$", "formatTag");
        if (!Accepted(tag)) {
            throw BadValue("$.formatTag",
                           "must be veltp_v3_2, veltp_v3_3, veltp_v3_4 or veltp_v3_5");
        }
        Out ar(root);
        ar.WriteString(tag);
        for (const char* name : {"formatNumber1", "formatNumber2", "docText1", "docText2",
                                 "frontPanelMonitor", "frontPanelVolume"}) {
            ar.WriteString(TextMember(root, "$", name));
        }
        if (HasBackPanel(tag)) {
            ar.WriteString(TextMember(root, "$", "backPanelOutput"));
        } else {
            MustBeDefault(root, "backPanelOutput", "1", tag);
        }
        if (HasDefaultChannel(tag)) {
            ar.WriteString(TextMember(root, "$", "defaultChannel"));
        } else {
            MustBeDefault(root, "defaultChannel", "0xFFFF", tag);
        }
        ar.WriteString(TextMember(root, "$", "docText3"));
        WriteChannels(root, tag, ar);
        WriteKeys(root, ar);
        WriteGroups(root, ar);
        WriteTones(root, ar);
        r.bytes = ar.Take();
        r.ok = true;
    } catch (const BadValue& e) {
        r.message = e.what();
    }
    return r;
}

}  // namespace quillon::cli
