#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "sim/CardContent.h"
#include "sim/PtyRunner.h"

namespace quillon::sim {
namespace {

CardContent Busy() {
    CardContent c = CardContent::Factory();
    c.channels[7].kind = 1;
    for (size_t i = 0; i < 73; ++i) {
        c.channels[7].data[i] = static_cast<uint8_t>(i * 3);
    }
    c.channels[511].kind = 2;
    c.channels[511].data[8] = 3;
    c.groups[15][0] = 'Q';
    c.tones[0] = 3;
    c.tones[2] = 0x12;
    c.keys.push_back(CardKey{26, "0123456789abcdef"});
    c.users.push_back(CardUser{"tech_2", "usr"});
    c.password = "p\"w\\d \x01";
    c.SetParameter("ee_dflt_chan", "12");
    return c;
}

TEST(CardState, JsonRoundTrip) {
    const CardContent c = Busy();
    CardContent back;
    std::string error;
    ASSERT_TRUE(ContentFromJson(ContentToJson(c), back, error)) << error;
    EXPECT_EQ(back, c);
    // Empty slots are not listed.
    const auto parsed = nlohmann::json::parse(ContentToJson(c));
    EXPECT_EQ(parsed.at("channels").size(), 2u);
}

TEST(CardState, MissingMembersKeepTheFactoryContent) {
    CardContent out;
    std::string error;
    ASSERT_TRUE(ContentFromJson(R"({"format": "quillon-sim card", "version": 1,
                                    "password": "x", "parameters": {"ee_fpvol": "3"}})",
                                out, error))
        << error;
    CardContent expected = CardContent::Factory();
    expected.password = "x";
    expected.SetParameter("ee_fpvol", "3");
    EXPECT_EQ(out, expected);
}

TEST(CardState, WrongFilesAreRefusedWithoutTouchingTheContent) {
    const char* bad[] = {
        "",
        "[]",
        R"({"format": "something else", "version": 1})",
        R"({"format": "quillon-sim card", "version": 2})",
        R"({"format": "quillon-sim card", "version": 1, "password": 5})",
        R"({"format": "quillon-sim card", "version": 1, "parameters": {"ee_fpvol": "11"}})",
        R"({"format": "quillon-sim card", "version": 1, "parameters": {"nope": "1"}})",
        R"({"format": "quillon-sim card", "version": 1, "tones": "0400"})",
        R"({"format": "quillon-sim card", "version": 1, "squelchGroups": []})",
        R"({"format": "quillon-sim card", "version": 1,
            "channels": [{"slot": 512, "kind": 1, "data": ""}]})",
        R"({"format": "quillon-sim card", "version": 1,
            "channels": [{"slot": 3, "kind": 2, "data": "00"}]})",
        R"({"format": "quillon-sim card", "version": 1, "keys": [{"kid": 70000, "key": "0123456789abcdef"}]})",
        R"({"format": "quillon-sim card", "version": 1, "keys": [{"kid": 1, "key": "xyz"}]})",
        R"({"format": "quillon-sim card", "version": 1, "users": [{"name": "a b", "level": "adm"}]})",
        R"({"format": "quillon-sim card", "version": 1, "version": 1})",
        R"({"format": "quillon-sim card", "version": 1} trailing)",
        R"({"format": "quillon-sim card", "version": 1.5})",
        R"({"format": "quillon-sim card\u0000", "version": 1})",
    };
    for (const char* text : bad) {
        CardContent out = Busy();
        std::string error;
        EXPECT_FALSE(ContentFromJson(text, out, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(out, Busy()) << text;
    }
    // Nesting far beyond anything a state holds.
    std::string deep = R"({"format": "quillon-sim card", "version": 1, "x": )";
    deep += std::string(100000, '[');
    CardContent out;
    std::string error;
    EXPECT_FALSE(ContentFromJson(deep, out, error));
}

TEST(CardState, StateFileTextAsWritten) {
    CardContent c = CardContent::Factory();
    c.password = "p\"\xe9\x01";
    c.keys.push_back(CardKey{65535, "00112233445566ff"});
    c.channels[3].kind = 2;
    const std::string text = ContentToJson(c);
    const std::string head =
        "{\n"
        "  \"format\": \"quillon-sim card\",\n"
        "  \"version\": 1,\n"
        "  \"password\": \"p\\\"\xc3\xa9\\u0001\",\n"
        "  \"parameters\": {\n"
        "    \"ee_fpmon\": \"1\",\n"
        "    \"ee_fpvol\": \"10\",\n"
        "    \"ee_bpnl_output\": \"1\",\n"
        "    \"ee_dflt_chan\": \"65535\"\n"
        "  },\n"
        "  \"users\": [\n"
        "    {\n"
        "      \"name\": \"field\",\n"
        "      \"level\": \"adm\"\n"
        "    }\n"
        "  ],\n"
        "  \"keys\": [\n"
        "    {\n"
        "      \"kid\": 65535,\n"
        "      \"key\": \"00112233445566ff\"\n"
        "    }\n"
        "  ],\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    const std::string channels =
        "  \"channels\": [\n    {\n      \"slot\": 3,\n      \"kind\": 2,\n"
        "      \"data\": \"" +
        std::string(66, '0') + "\"\n    }\n  ]\n}\n";
    ASSERT_GE(text.size(), channels.size());
    EXPECT_EQ(text.substr(text.size() - channels.size()), channels);
    // The 8-bit password comes back byte for byte.
    CardContent back;
    std::string error;
    ASSERT_TRUE(ContentFromJson(text, back, error)) << error;
    EXPECT_EQ(back, c);
}

TEST(CardState, NumbersOutOfRangeAreRefusedNotCut) {
    const char* bad[] = {
        R"({"format": "quillon-sim card", "version": 4294967297})",
        R"({"format": "quillon-sim card", "version": 1, "keys": [{"kid": -1, "key": "0123456789abcdef"}]})",
        R"({"format": "quillon-sim card", "version": 1, "keys": [{"kid": 4294967297, "key": "0123456789abcdef"}]})",
        R"({"format": "quillon-sim card", "version": 1,
            "channels": [{"slot": 18446744073709551615, "kind": 2, "data": ""}]})",
        R"({"format": "quillon-sim card", "version": 1,
            "channels": [{"slot": 3, "kind": 258, "data": ""}]})",
        R"({"format": "quillon-sim card", "version": 1, "password": "\u20ac"})",
    };
    for (const char* text : bad) {
        CardContent out = CardContent::Factory();
        std::string error;
        EXPECT_FALSE(ContentFromJson(text, out, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(out, CardContent::Factory()) << text;
    }
}

TEST(CardState, StateFileSavedWholeAndLoadedBack) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quillon-sim-state-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "card.json").string();
    CardContent loaded;
    bool existed = true;
    std::string error;
    ASSERT_TRUE(LoadStateFile(path, loaded, existed, error)) << error;
    EXPECT_FALSE(existed);
    EXPECT_EQ(loaded, CardContent::Factory());

    ASSERT_TRUE(SaveStateFile(path, Busy(), error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    ASSERT_TRUE(LoadStateFile(path, loaded, existed, error)) << error;
    EXPECT_TRUE(existed);
    EXPECT_EQ(loaded, Busy());

    std::ofstream(path, std::ios::trunc) << "{ not json";
    EXPECT_FALSE(LoadStateFile(path, loaded, existed, error));
    EXPECT_NE(error.find(path), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(CardState, BcdAndParameterRules) {
    EXPECT_EQ(ToBcd4(511), (std::array<uint8_t, 2>{0x05, 0x11}));
    EXPECT_EQ(FromBcd4(0x05, 0x12), 512);
    EXPECT_FALSE(FromBcd4(0x0A, 0x00));
    EXPECT_EQ(CardContent::NormaliseParameter("ee_dflt_chan", "0xFFFF"), "65535");
    EXPECT_EQ(CardContent::NormaliseParameter("ee_dflt_chan", "511"), "511");
    EXPECT_FALSE(CardContent::NormaliseParameter("ee_dflt_chan", "65534"));
    EXPECT_EQ(CardContent::NormaliseParameter("ee_fpvol", "010"), "10");
    EXPECT_FALSE(CardContent::NormaliseParameter("ee_fpvol", "0"));
    EXPECT_FALSE(CardContent::NormaliseParameter("ee_bpnl_output", "4"));
    EXPECT_FALSE(CardContent::NormaliseParameter("ee_fpmon", "99999999999"));
    EXPECT_FALSE(CardContent::NormaliseParameter("ee_fpmon", ""));
}

}  // namespace
}  // namespace quillon::sim
