#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ops/CommLog.h"
#include "sim/VirtualClock.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class CommLogTest : public ::testing::Test {
  protected:
    std::string path = (std::filesystem::temp_directory_path() /
                        ("quillon-log-" + std::to_string(::getpid()) + ".dat"))
                           .string();
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(CommLogTest, LinesCarryWholeSecondsSinceOpenAndOnlyWhileStarted) {
    quillon::sim::VirtualClock clock;
    {
        quillon::CommLog log(clock);
        log.Write("before open");
        ASSERT_TRUE(log.Open(path));
        log.Write("before start");
        clock.SleepMs(1900);
        log.Start();
        log.Write("Now in BCI mode");
        clock.SleepMs(2000);
        log.Write(std::string("RX textmode : \x15\0x", 17));
    }  // stop and close at destruction
    static const char kExpected[] =
        "Timestamp\t\tMessage\n"
        "1\t\t\tLogging started...\n"
        "1\t\t\tNow in BCI mode\n"
        "3\t\t\tRX textmode : \x15\0x\n"
        "3\t\t\tLogging stopped...\n";
    EXPECT_EQ(ReadFile(path), std::string(kExpected, sizeof kExpected - 1));
}

TEST_F(CommLogTest, OpenedButNeverStartedHoldsOnlyTheHeader) {
    quillon::sim::VirtualClock clock;
    {
        quillon::CommLog log(clock);
        ASSERT_TRUE(log.Open(path));
        log.Write("ignored");
    }
    EXPECT_EQ(ReadFile(path), "Timestamp\t\tMessage\n");
}

TEST_F(CommLogTest, AFileThatCannotBeOpenedLeavesTheLogClosedAndSilent) {
    quillon::sim::VirtualClock clock;
    quillon::CommLog log(clock);
    EXPECT_FALSE(log.Open("/nonexistent-dir/Tarvek.dat"));
    log.Start();
    log.Write("dropped");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.IsStarted());
}

}  // namespace
