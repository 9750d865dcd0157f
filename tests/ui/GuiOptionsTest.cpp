// The GUI's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/GuiProgram.h"

namespace quillon::ui {
namespace {

struct Parsed {
    bool ok = false;
    GuiOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "quillon");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    Parsed p;
    p.ok = ParseGuiOptions(static_cast<int>(args.size()), argv.data(), p.options, p.error);
    return p;
}

TEST(GuiOptions, LogAloneOrWithItsFile) {
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.logPath, "");

    p = Parse({"--log"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.logPath, "Tarvek.dat");

    p = Parse({"--log=/tmp/link.txt", "plan.bcf"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.logPath, "/tmp/link.txt");
    EXPECT_EQ(p.options.documentPath, QStringLiteral("plan.bcf"));

    // A word after --log is never taken for its file: it is the document.
    p = Parse({"--log", "notes.txt"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.logPath, "Tarvek.dat");
    EXPECT_EQ(p.options.documentPath, QStringLiteral("notes.txt"));

    p = Parse({"--log", "--log=mine.dat"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.logPath, "mine.dat");

    p = Parse({"--log="});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "--log= needs a file name");
}

TEST(GuiOptions, DeviceSettingsAndDocument) {
    Parsed p = Parse({"--device", "/dev/ttyS1", "--settings=/tmp/q.ini", "a.bcf", "b.bcf"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.devicePath, "/dev/ttyS1");
    EXPECT_EQ(p.options.settingsFile, QStringLiteral("/tmp/q.ini"));
    EXPECT_EQ(p.options.documentPath, QStringLiteral("b.bcf"));
    EXPECT_FALSE(p.options.showHelp);

    // Values and what follows "--" are not options, whatever they look like.
    p = Parse({"--settings", "--log=x.ini", "--", "--log=y.bcf"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.settingsFile, QStringLiteral("--log=x.ini"));
    EXPECT_EQ(p.options.documentPath, QStringLiteral("--log=y.bcf"));
    EXPECT_EQ(p.options.logPath, "");

    p = Parse({"--device", "/dev/tty\xe9"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.devicePath, "/dev/tty\xe9");
}

TEST(GuiOptions, WrongLinesAndHelp) {
    Parsed p = Parse({"--colour"});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "Unknown option 'colour'.");
    p = Parse({"--device"});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "Missing value after '--device'.");
    p = Parse({"--log=a", "--log=b", "-h"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.showHelp);

    const std::string help = GuiHelpText();
    EXPECT_EQ(help.rfind(std::string(kGuiUsage) + "\n", 0), 0u);
    EXPECT_EQ(std::string(kGuiUsage),
              "Usage: quillon [--device PATH] [--settings FILE] [--log[=FILE]] [--serial-debug] "
              "[FILE.bcf]");
    EXPECT_NE(help.find("  --log            write the communication log to Tarvek.dat in the "
                        "current folder\n  --log=FILE       write the communication log to FILE\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quillon::ui
