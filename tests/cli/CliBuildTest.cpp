// quillon-cli build, the inverse of dump: build(dump(x)) gives x back byte
// for byte for hand-made files of every accepted version and for the valid
// documents of the fuzz corpus; a wrong JSON value is named by its path and
// no file is written.
#include <gtest/gtest.h>

#include "CliInProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "model/DocumentFile.h"

namespace quillon::cli {
namespace {

using Bytes = std::vector<uint8_t>;

using Result = quillon::testing::CliResult;

Result Cli(const std::vector<std::string>& args) {
    return quillon::testing::RunCliInProcess(args);
}

Bytes Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Spit(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Document files item by item, as another tool would write them.
struct FileBuilder {
    Bytes b;
    FileBuilder& Str(const std::string& s) {
        if (s.size() < 255) {
            b.push_back(static_cast<uint8_t>(s.size()));
        } else {
            b.insert(b.end(),
                     {0xFF, static_cast<uint8_t>(s.size()), static_cast<uint8_t>(s.size() >> 8)});
        }
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    FileBuilder& Raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
    FileBuilder& I32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        return Raw({static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                    static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)});
    }
    // `count` records of `size` bytes, each different: a fixed channel
    // every third slot, a scan channel every fifth, stray bytes elsewhere.
    FileBuilder& Records(int count, size_t size) {
        for (int i = 0; i < count; ++i) {
            Bytes r(size, 0);
            r[0] = static_cast<uint8_t>(i / 100);
            r[1] = static_cast<uint8_t>(((i / 10 % 10) << 4) | (i % 10));
            r[10] = i % 3 == 0 ? 1 : i % 5 == 0 ? 2 : 0;
            for (size_t k = 2; k < size; k += 7) {
                r[k] = static_cast<uint8_t>(i * 31 + static_cast<int>(k));
            }
            r[75] = static_cast<uint8_t>(i % 16);  // "veltp_v3_2": not yet a squelch level
            b.insert(b.end(), r.begin(), r.end());
        }
        return *this;
    }
    // Two keys, one left-over entry past the count, groups and tones with
    // texts of every kind, 8-bit characters included.
    FileBuilder& Sections() {
        Raw({0x02, 0x00});
        Str("0123456789abcdef").I32(0x00a);
        Str("fedcba9876543210").I32(0x1ff);
        Str("1111222233334444").I32(77);  // deleted once, still in the file
        for (int i = 3; i < 16; ++i) {
            Str("").I32(0);
        }
        for (int g = 1; g <= 16; ++g) {
            Str(g == 2 ? std::string("Caf\xe9 ") : "SQUELCH GROUP " + std::to_string(g));
            for (int i = 0; i < 16; ++i) {
                Str(i < g % 4 ? "0x" + std::to_string(100 + i) : "");
                Raw({static_cast<uint8_t>(i < g % 4 ? 1 + i % 3 : 4)});
            }
        }
        for (int s = 0; s < 12; ++s) {
            Raw({static_cast<uint8_t>(s == 0 ? 1 : s == 1 ? 2 : s < 5 ? 3 : 4)});
            Str(s < 5 ? "00" + std::to_string(s + 10) : "");
        }
        return *this;
    }
};

// A document of the given version with everything its layout has.
Bytes MakeFile(const std::string& tag, const std::string& count = "512") {
    FileBuilder f;
    f.Str(tag).Str("2").Str("4").Str("first text").Str(std::string(300, 'x'));
    f.Str("0").Str("7");
    if (tag == "veltp_v3_4" || tag == "veltp_v3_5") {
        f.Str("2");
    }
    if (tag == "veltp_v3_5") {
        f.Str("17");
    }
    f.Str("third");
    f.Str(count);
    f.Records(std::atoi(count.c_str()), tag == "veltp_v3_2" ? 77 : 78);
    f.Sections();
    return f.b;
}

class CliBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_cli_build_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string P(const std::string& name) const { return (dir_ / name).string(); }

    // dump then build; the bytes of the built file.
    Bytes RoundTrip(const Bytes& file, std::string* json = nullptr) {
        {
            std::ofstream out(P("x.bcf"), std::ios::binary);
            out.write(reinterpret_cast<const char*>(file.data()),
                      static_cast<std::streamsize>(file.size()));
        }
        const Result d = Cli({"dump", P("x.bcf")});
        EXPECT_EQ(d.status, 0) << d.err;
        Spit(P("x.json"), d.out);
        if (json != nullptr) {
            *json = d.out;
        }
        std::filesystem::remove(P("y.bcf"));
        const Result b = Cli({"build", P("x.json"), P("y.bcf")});
        EXPECT_EQ(b.status, 0) << b.err;
        EXPECT_EQ(b.out, "");
        return Slurp(P("y.bcf"));
    }

    std::filesystem::path dir_;
};

TEST_F(CliBuild, EveryAcceptedVersionComesBackByteForByte) {
    for (const char* tag : {"veltp_v3_2", "veltp_v3_3", "veltp_v3_4", "veltp_v3_5"}) {
        const Bytes file = MakeFile(tag);
        model::CTmpDoc doc;
        ASSERT_TRUE(model::ReadDocument(file.data(), file.size(), doc).ok()) << tag;
        std::string json;
        EXPECT_TRUE(RoundTrip(file, &json) == file) << tag;
        EXPECT_NE(json.find(std::string("\"formatTag\": \"") + tag + "\""), std::string::npos);
        // What the document does not keep travels beside it, and only then.
        EXPECT_EQ(json.find("\"storedByte75\"") != std::string::npos,
                  std::string(tag) == "veltp_v3_2")
            << tag;
        EXPECT_NE(json.find("\"spareKeys\": ["), std::string::npos);
        EXPECT_EQ(json.find("\"channelCount\""), std::string::npos);
    }
}

TEST_F(CliBuild, FewerChannelsThanTheTableHolds) {
    for (const char* tag : {"veltp_v3_2", "veltp_v3_5"}) {
        const Bytes file = MakeFile(tag, "40");
        std::string json;
        EXPECT_TRUE(RoundTrip(file, &json) == file) << tag;
        EXPECT_NE(json.find("\"channelCount\": \"40\""), std::string::npos);
    }
}

TEST_F(CliBuild, SavedDocumentsAndTheFuzzCorpusComeBack) {
    model::CTmpDoc fresh;
    const Bytes newDoc = model::WriteDocument(fresh);
    EXPECT_TRUE(RoundTrip(newDoc) == newDoc);
    std::string json;
    RoundTrip(newDoc, &json);
    EXPECT_EQ(json.find("spareKeys"), std::string::npos);  // nothing extra for a plain file

    int valid = 0;
    const std::filesystem::path corpus =
        std::filesystem::path(QUILLON_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus" / "document";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const Bytes file = Slurp(entry.path());
        model::CTmpDoc doc;
        if (!model::ReadDocument(file.data(), file.size(), doc).ok()) {
            continue;
        }
        ++valid;
        EXPECT_TRUE(RoundTrip(file) == file) << entry.path();
    }
    EXPECT_GE(valid, 4);

    // The dump kept as test data builds the file it was made from.
    const std::string data = QUILLON_TEST_DATA_DIR "/cli/";
    ASSERT_EQ(Cli({"build", data + "plan.json", P("plan.bcf")}).status, 0);
    EXPECT_TRUE(Slurp(P("plan.bcf")) == Slurp(data + "plan.bcf"));
}

TEST_F(CliBuild, AWrongValueIsNamedByItsPathAndNoFileIsWritten) {
    std::string json;
    const Bytes file = MakeFile("veltp_v3_5");
    RoundTrip(file, &json);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = json;
        const size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? s : s.replace(at, from.size(), to);
    };
    const std::string image3 = json.substr(json.find("{\"number\": 3,"));
    const std::string hex3 = image3.substr(image3.find("\"image\": \"") + 10, 156);
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"{", "not JSON"},
        {replaced("\"formatTag\": \"veltp_v3_5\"", "\"formatTag\": \"veltp_v2\""),
         "$.formatTag: must be veltp_v3_2, veltp_v3_3, veltp_v3_4 or veltp_v3_5"},
        {replaced("\"docText2\"", "\"docTextTwo\""), "$.docText2: is missing"},
        {replaced("\"frontPanelVolume\": \"7\"", "\"frontPanelVolume\": 7"),
         "$.frontPanelVolume: must be a string"},
        {replaced(hex3, hex3.substr(2)), "$.channels[3].image: must be 156 hexadecimal digits"},
        {replaced(hex3, "zz" + hex3.substr(2)),
         "$.channels[3].image: must be 156 hexadecimal digits"},
        {replaced("{\"number\": 3,", "{\"number\": 4,"), "$.channels[3].number: must be 3"},
        {replaced("\"kid\": 511", "\"kid\": \"0x1ff\""), "$.keys[1].kid: must be a whole number"},
        {replaced("\"kid\": 511", "\"kid\": 4294967296"),
         "$.keys[1].kid: must be from -2147483648 to 2147483647"},
        {replaced("\"name\": \"Caf\\u00e9 \"", "\"name\": \"Caf\\u20ac\""),
         "$.squelchGroups[1].name: holds a character above U+00FF"},
        {replaced("{\"function\": 1,", "{\"function\": 256,"),
         "$.toneRemote[0].function: must be from 0 to 255"},
        {replaced("\"toneRemote\": [", "\"toneRemote\": [7, "),
         "$.toneRemote: must have 12 entries"},
    };
    for (const auto& c : cases) {
        Spit(P("bad.json"), c.text);
        const Result r = Cli({"build", P("bad.json"), P("out.bcf")});
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(P("out.bcf"))) << c.message;
    }
}

TEST_F(CliBuild, EditsThatTheFileCannotHoldAreRefused) {
    std::string json;
    RoundTrip(MakeFile("veltp_v3_3"), &json);
    const struct {
        std::string from;
        std::string to;
        std::string message;
    } cases[] = {
        {"\"backPanelOutput\": \"1\"", "\"backPanelOutput\": \"3\"",
         "$.backPanelOutput: a veltp_v3_3 document does not store it; it must be \"1\""},
        {"\"defaultChannel\": \"0xFFFF\"", "\"defaultChannel\": \"12\"",
         "$.defaultChannel: a veltp_v3_3 document does not store it"},
        {"\"name\": \"", "\"name\": \"X", "$.channels[0].name: does not match the image"},
        {"\"kind\": 1,", "\"kind\": 2,", "$.channels[0].kind: does not match the image"},
    };
    for (const auto& c : cases) {
        std::string s = json;
        const size_t at = s.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        Spit(P("bad.json"), s.replace(at, c.from.size(), c.to));
        const Result r = Cli({"build", P("bad.json"), P("out.bcf")});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(P("out.bcf")));
    }
    // An edit the file can hold is written.
    std::string s = json;
    s.replace(s.find("\"docText1\": \"first text\""), 24, "\"docText1\": \"new text\"");
    Spit(P("good.json"), s);
    EXPECT_EQ(Cli({"build", P("good.json"), P("out.bcf")}).status, 0);
    model::CTmpDoc doc;
    ASSERT_TRUE(model::OpenDocumentFile(P("out.bcf"), doc).ok());
    EXPECT_EQ(doc.docText1, "new text");
    EXPECT_EQ(doc.formatTag, "veltp_v3_3");
}

}  // namespace
}  // namespace quillon::cli
