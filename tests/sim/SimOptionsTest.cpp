#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace quillon::sim {
namespace {

TEST(SimOptions, EveryFlagIsRead) {
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseSimArgs({"--password",
                              "pw",
                              "--version",
                              "1.3",
                              "--corrupt-rate",
                              "0.01",
                              "--drop-rate",
                              "0.5",
                              "--insert-rate",
                              "1",
                              "--seed",
                              "99",
                              "--reboot-seconds",
                              "2.5",
                              "--no-wct-confirm",
                              "--nak-first",
                              "3",
                              "--bad-header",
                              "0x99",
                              "--bad-header-times",
                              "2",
                              "--bad-channel-number",
                              "--bad-kind",
                              "--bad-record-slot",
                              "511",
                              "--store-fault",
                              "12",
                              "--silent",
                              "--start-binary",
                              "--latency-ms",
                              "250",
                              "--burst-ms",
                              "16",
                              "--modem",
                              "--dial-delay-ms",
                              "10",
                              "--guard-ms",
                              "20",
                              "--link",
                              "/tmp/l",
                              "--state",
                              "/tmp/s.json",
                              "--trace"},
                             o, error))
        << error;
    EXPECT_EQ(o.password, "pw");
    EXPECT_EQ(o.card.version, "1.3");
    EXPECT_DOUBLE_EQ(o.corruptRate, 0.01);
    EXPECT_DOUBLE_EQ(o.dropRate, 0.5);
    EXPECT_DOUBLE_EQ(o.insertRate, 1.0);
    EXPECT_EQ(o.seed, 99u);
    EXPECT_DOUBLE_EQ(o.card.rebootSeconds, 2.5);
    EXPECT_FALSE(o.card.wctConfirm);
    EXPECT_EQ(o.card.nakFirst, 3);
    EXPECT_EQ(o.card.badHeaderCode, 0x99);
    EXPECT_EQ(o.card.badHeaderTimes, 2);
    EXPECT_TRUE(o.card.badChannelNumber);
    EXPECT_TRUE(o.card.badKind);
    EXPECT_EQ(o.card.badRecordSlot, 511);
    EXPECT_EQ(o.card.storeFault, 12);
    EXPECT_TRUE(o.card.silent);
    EXPECT_TRUE(o.card.startBinary);
    EXPECT_EQ(o.card.latencyMs, 250u);
    EXPECT_EQ(o.burstMs, 16u);
    EXPECT_TRUE(o.modem);
    EXPECT_EQ(o.modemOptions.dialDelayMs, 10u);
    EXPECT_EQ(o.modemOptions.guardMs, 20u);
    EXPECT_EQ(o.linkPath, "/tmp/l");
    EXPECT_EQ(o.statePath, "/tmp/s.json");
    EXPECT_TRUE(o.trace);
    EXPECT_FALSE(o.help);

    ASSERT_TRUE(ParseSimArgs({"--nak-first", "010", "--bad-header", "153"}, o, error));
    EXPECT_EQ(o.card.nakFirst, 10);
    EXPECT_EQ(o.card.badHeaderCode, 0x99);
    // Hexadecimal after "0x" anywhere a number is wanted; never octal.
    ASSERT_TRUE(
        ParseSimArgs({"--seed", "0x10", "--burst-ms", "08", "--guard-ms", "0X1f"}, o, error))
        << error;
    EXPECT_EQ(o.seed, 16u);
    EXPECT_EQ(o.burstMs, 8u);
    EXPECT_EQ(o.modemOptions.guardMs, 31u);
    // A switch given twice counts with its last value.
    ASSERT_TRUE(ParseSimArgs({"--seed", "1", "--seed", "2"}, o, error)) << error;
    EXPECT_EQ(o.seed, 2u);
    ASSERT_TRUE(ParseSimArgs({"--version", ""}, o, error));
    EXPECT_EQ(o.card.version, "");  // a card without the parameter
    ASSERT_TRUE(ParseSimArgs({}, o, error));
    EXPECT_EQ(o.card.version, "1.2");
    EXPECT_FALSE(o.password);
    EXPECT_TRUE(o.card.wctConfirm);
    EXPECT_EQ(o.card.storeFault, -1);
}

TEST(SimOptions, BadValuesAreNamed) {
    const std::vector<std::vector<std::string>> bad = {
        {"--corrupt-rate", "2"},  {"--drop-rate", "x"},
        {"--seed", "-1"},         {"--nak-first"},
        {"--bad-header", "256"},  {"--latency-ms", "1.5"},
        {"--reboot-seconds", ""}, {"--bad-record-slot", "512"},
        {"--frobnicate"},         {"--guard-ms", "0"},
        {"--burst-ms", "-3"},     {"--burst-ms", "0x"},
        {"--seed", "1e3"},        {"--latency-ms"},
        {"--store-fault", "512"}, {"--store-fault", "-1"},
    };
    for (const auto& args : bad) {
        SimOptions o;
        std::string error;
        EXPECT_FALSE(ParseSimArgs(args, o, error)) << args[0];
        EXPECT_NE(error.find(args[0]), std::string::npos) << error;
    }
}

TEST(SimOptions, HelpListsEveryOptionWithItsDefault) {
    const std::string help = SimUsage();
    for (const char* flag : {"--password PW",
                             "--version TEXT",
                             "--corrupt-rate R",
                             "--drop-rate R",
                             "--insert-rate R",
                             "--seed N",
                             "--reboot-seconds S",
                             "--no-wct-confirm",
                             "--nak-first N",
                             "--bad-header CODE",
                             "--bad-header-times N",
                             "--bad-channel-number",
                             "--bad-kind",
                             "--bad-record-slot N",
                             "--store-fault N",
                             "--silent",
                             "--start-binary",
                             "--latency-ms MS",
                             "--burst-ms MS",
                             "--modem",
                             "--dial-delay-ms MS",
                             "--guard-ms MS",
                             "--link PATH",
                             "--state FILE",
                             "--trace",
                             "--help"}) {
        EXPECT_NE(help.find(flag), std::string::npos) << flag;
    }
    for (const char* def : {"(default 2000)", "(default 1000)", "\"quillon\"", "(default 1.2;",
                            "(default 8)", "(default 12345)", "(default 0: at once)"}) {
        EXPECT_NE(help.find(def), std::string::npos) << def;
    }
}

}  // namespace
}  // namespace quillon::sim
