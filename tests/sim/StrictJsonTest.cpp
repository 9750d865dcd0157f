#include <gtest/gtest.h>

#include <string>

#include "sim/StrictJson.h"

namespace quillon::sim {
namespace {

TEST(StrictJson, ReadsObjectsInTheirOrder) {
    std::string error;
    const auto v =
        ParseStrictJson(R"( {"b": [1, -2, "x\u00e9"], "a": {"t": true, "n": null}} )", error);
    ASSERT_TRUE(v) << error;
    EXPECT_EQ(v->begin().key(), "b");
    EXPECT_EQ(v->at("b").at(1), -2);
    EXPECT_EQ(v->at("b").at(2), "x\xc3\xa9");
    EXPECT_TRUE(v->at("a").at("n").is_null());
}

TEST(StrictJson, RefusesWhatThisProgramNeverWrites) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {R"({"a": 1, "a": 2})", "member \"a\" named twice"},
        {R"({"a": {"b": 1, "b": 1}})", "member \"b\" named twice"},
        {R"({"a": [1.5]})", "only whole numbers are expected"},
        {R"({"a": 1e3})", "only whole numbers are expected"},
        {R"({"a": 99999999999999999999999})", "only whole numbers are expected"},
        {R"({"a": 1} x)", "parse error at line 1, column 10"},
        {R"({"a": "\ud800"})", "parse error"},
        {"{\"a\": \"\xe9\"}", "parse error"},
        {"", "parse error"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseStrictJson(c.text, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
    }
    // The same name in two different objects is no repetition.
    std::string error;
    EXPECT_TRUE(ParseStrictJson(R"({"a": {"x": 1}, "b": {"x": 1}, "x": [{"x": 1}]})", error))
        << error;
}

TEST(StrictJson, NestingIsLimited) {
    const auto nested = [](int levels) {
        return std::string(static_cast<size_t>(levels), '[') + "0" +
               std::string(static_cast<size_t>(levels), ']');
    };
    std::string error;
    // The value inside the innermost array sits at depth `levels`.
    EXPECT_TRUE(ParseStrictJson(nested(kMaxJsonDepth), error)) << error;
    EXPECT_FALSE(ParseStrictJson(nested(kMaxJsonDepth + 1), error));
    EXPECT_EQ(error, "nested too deeply");
    error.clear();
    EXPECT_FALSE(ParseStrictJson(std::string(1000000, '{'), error));
    EXPECT_FALSE(error.empty());
}

TEST(StrictJson, IntegersAreTakenOnlyWithinTheirRange) {
    const Json doc = Json::parse(R"([0, 65535, 65536, -1, 18446744073709551615, "7", true])");
    EXPECT_EQ(IntegerIn(doc[0], 0, 0xFFFF), 0);
    EXPECT_EQ(IntegerIn(doc[1], 0, 0xFFFF), 0xFFFF);
    EXPECT_FALSE(IntegerIn(doc[2], 0, 0xFFFF));
    EXPECT_FALSE(IntegerIn(doc[3], 0, 0xFFFF));
    EXPECT_EQ(IntegerIn(doc[3], -1, 0), -1);
    EXPECT_FALSE(IntegerIn(doc[4], 0, INT64_MAX));
    EXPECT_FALSE(IntegerIn(doc[4], -1, 1));
    EXPECT_FALSE(IntegerIn(doc[5], 0, 9));
    EXPECT_FALSE(IntegerIn(doc[6], 0, 9));
    EXPECT_EQ(IntegerIn(doc[1], 100, 65535), 65535);
    EXPECT_FALSE(IntegerIn(doc[0], 1, 2));
}

}  // namespace
}  // namespace quillon::sim
