// QSerialPort on a pseudo-terminal: the line format as the system sees it,
// reads that return at once, and the loss of the far end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/qt/DeviceLock.h"
#include "platform/qt/QtSerialDevice.h"

using quillon::qt::QtSerialDevice;
namespace qt = quillon::qt;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "quillon_platform_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            slave = ptsname(master);
        }
        // The far end of a cable does not echo.
        termios t{};
        if (master >= 0 && tcgetattr(master, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(master, TCSANOW, &t);
        }
    }
    ~Pty() { CloseMaster(); }
    void CloseMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    std::string ReadMaster() {
        std::string s;
        char buf[256];
        for (int tries = 0; tries < 50; ++tries) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) {
                s.append(buf, static_cast<size_t>(n));
                continue;
            }
            if (!s.empty()) {
                break;
            }
            usleep(2000);
        }
        return s;
    }
};

class QtSerialDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_GE(pty.master, 0);
        ASSERT_FALSE(pty.slave.empty());
        fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    }
    Pty pty;
};

TEST_F(QtSerialDeviceTest, OpensTheResolvedDeviceAt9600EightNoneOneWithoutSoftwareFlowControl) {
    std::string asked;
    QtSerialDevice dev([&](const std::string& com) {
        asked = com;
        return pty.slave;
    });
    ASSERT_TRUE(dev.Open("COM1"));
    EXPECT_EQ(asked, "COM1");
    EXPECT_TRUE(dev.IsOpen());

    const int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
}

TEST_F(QtSerialDeviceTest, ReadsReturnAtOnceAndBytesPassBothWays) {
    QtSerialDevice dev([&](const std::string&) { return pty.slave; });
    ASSERT_TRUE(dev.Open("COM1"));
    uint8_t buf[64];
    EXPECT_EQ(dev.Read(buf, sizeof buf), 0);  // nothing waiting, no waiting

    const uint8_t out[] = {'g', 'e', 't', 'p', '\r', 0x00, 0x15};
    EXPECT_EQ(dev.Write(out, sizeof out), static_cast<int>(sizeof out));
    EXPECT_EQ(pty.ReadMaster(), std::string("getp\r\0\x15", 7));

    ASSERT_EQ(::write(pty.master, "VEL> \x06", 6), 6);
    std::string got;
    for (int i = 0; i < 200 && got.size() < 6; ++i) {
        const int n = dev.Read(buf, sizeof buf);
        ASSERT_GE(n, 0);
        got.append(reinterpret_cast<char*>(buf), static_cast<size_t>(n));
        usleep(1000);
    }
    EXPECT_EQ(got, "VEL> \x06");

    // Purge drops what has arrived and not been read.
    ASSERT_EQ(::write(pty.master, "stale", 5), 5);
    usleep(20000);
    dev.PurgeReceive();
    EXPECT_EQ(dev.Read(buf, sizeof buf), 0);
}

TEST_F(QtSerialDeviceTest, TheFarEndGoingAwayIsTheLossOfTheLine) {
    QtSerialDevice dev([&](const std::string&) { return pty.slave; });
    ASSERT_TRUE(dev.Open("COM1"));
    pty.CloseMaster();
    uint8_t buf[16];
    int result = 0;
    for (int i = 0; i < 100 && result >= 0; ++i) {
        QCoreApplication::processEvents();
        result = dev.Read(buf, sizeof buf);
        usleep(1000);
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(dev.LineLost());
    EXPECT_NE(dev.LastError(), 0u);
    EXPECT_FALSE(dev.IsOpen());
    const uint8_t b = 'x';
    EXPECT_EQ(dev.Write(&b, 1), -1);
    // Once lost, the port no longer wakes the event loop with errors.
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(dev.Read(buf, sizeof buf), -1);
}

TEST_F(QtSerialDeviceTest, ANameWithoutDeviceDoesNotOpen) {
    QtSerialDevice none([](const std::string&) { return std::string(); });
    EXPECT_FALSE(none.Open("COM0"));
    EXPECT_NE(none.LastError(), 0u);
    QtSerialDevice missing([](const std::string&) { return std::string("/dev/quillon-no-such"); });
    EXPECT_FALSE(missing.Open("COM1"));
    EXPECT_FALSE(missing.IsOpen());
    uint8_t buf[4];
    EXPECT_EQ(missing.Read(buf, 4), -1);
}

// Runs the event loop, sleeping while nothing happens, for ms milliseconds.
void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST_F(QtSerialDeviceTest, ALostLineStopsTheErrorReportsAndTheProgramGoesIdle) {
    QtSerialDevice dev([&](const std::string&) { return pty.slave; });
    ASSERT_TRUE(dev.Open("COM1"));
    pty.CloseMaster();
    // Only the event loop runs, as in the GUI between two reads: the port's
    // notifier sees the hang-up by itself.
    RunEventLoopFor(300);
    EXPECT_TRUE(dev.LineLost());
    const int reportsAtLoss = dev.ErrorReports();
    EXPECT_GE(reportsAtLoss, 1);
    EXPECT_LE(reportsAtLoss, 2);

    const double cpuBefore = ProcessCpuSeconds();
    RunEventLoopFor(500);
    const double cpuUsed = ProcessCpuSeconds() - cpuBefore;
    EXPECT_EQ(dev.ErrorReports(), reportsAtLoss) << "reports went on after the loss";
    // A port still reporting its read error would keep a core busy for the
    // whole half second.
    EXPECT_LT(cpuUsed, 0.1);
}

TEST_F(QtSerialDeviceTest, ADeviceHeldByAnotherOpenerIsRefusedUntilItIsLetGo) {
    QtSerialDevice first([&](const std::string&) { return pty.slave; });
    QtSerialDevice second([&](const std::string&) { return pty.slave; });
    ASSERT_TRUE(first.Open("COM1"));
    EXPECT_FALSE(second.Open("COM1"));
    EXPECT_NE(second.LastError(), 0u);
    EXPECT_FALSE(second.IsOpen());
    // The refused opener did not disturb the line of the first.
    const uint8_t ping[] = {'p'};
    EXPECT_EQ(first.Write(ping, 1), 1);
    EXPECT_EQ(pty.ReadMaster(), "p");
    first.Close();
    EXPECT_TRUE(second.Open("COM1"));

    // A program that took the device with flock() alone.
    second.Close();
    const int other = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(first.Open("COM1"));
    EXPECT_EQ(first.LastError(), static_cast<uint32_t>(EBUSY));
    flock(other, LOCK_UN);
    EXPECT_TRUE(first.Open("COM1"));
    ::close(other);
}

// A program that is alive for as long as the test needs it.
struct OtherProgram {
    pid_t pid = fork();
    OtherProgram() {
        if (pid == 0) {
            for (;;) {
                pause();
            }
        }
    }
    ~OtherProgram() { End(); }
    void End() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
};

TEST_F(QtSerialDeviceTest, ALockFileOfALiveProgramRefusesTheDeviceAndAStaleOneDoesNot) {
    char tmpl[] = "/tmp/quillon-locks-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string folder = tmpl;
    // /dev/pts/7 is locked by the UUCP convention as "LCK..pts_7".
    ASSERT_EQ(pty.slave.rfind("/dev/", 0), 0u);
    std::string flat = pty.slave.substr(5);
    for (char& c : flat) {
        c = c == '/' ? '_' : c;
    }
    const std::string lock = folder + "/LCK.." + flat;
    QtSerialDevice dev([&](const std::string&) { return pty.slave; });
    dev.SetLockFolders({folder});
    {
        OtherProgram other;
        ASSERT_GT(other.pid, 0);
        std::ofstream(lock) << "     " << other.pid << "\n";
        EXPECT_FALSE(dev.Open("COM1"));
        EXPECT_EQ(dev.LastError(), static_cast<uint32_t>(EBUSY));
        other.End();
    }
    // The program has ended: its lock is stale and does not count.
    EXPECT_TRUE(dev.Open("COM1"));
    dev.Close();
    // Nor does a lock in this program's own name.
    std::ofstream(lock, std::ios::trunc) << getpid() << "\n";
    EXPECT_TRUE(dev.Open("COM1"));
    dev.Close();
    std::filesystem::remove_all(folder);
}

TEST(DeviceLockTest, ReadsTheProcessNumberOfEveryLockFileForm) {
    EXPECT_EQ(qt::PidInLockFile("      4242\n"), 4242);  // padded text
    EXPECT_EQ(qt::PidInLockFile("4242\nminicom\nhost\n"), 4242);
    EXPECT_EQ(qt::PidInLockFile("4242"), 4242);
    EXPECT_EQ(qt::PidInLockFile(std::string("\x92\x10\x00\x00", 4)), 0x1092);  // binary
    EXPECT_EQ(qt::PidInLockFile(""), 0);
    EXPECT_EQ(qt::PidInLockFile("abc\n"), 0);
    EXPECT_EQ(qt::PidInLockFile("42x\n"), 0);
    EXPECT_EQ(qt::PidInLockFile("0\n"), 0);
    EXPECT_EQ(qt::PidInLockFile("99999999999999\n"), 0);  // more digits than a number has
    EXPECT_EQ(qt::PidInLockFile(std::string("\xff\xff\xff\xff", 4)), 0);
}

TEST(DeviceLockTest, FindsTheLockUnderEveryNameOfTheDevice) {
    char tmpl[] = "/tmp/quillon-locks-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string folder = tmpl;
    const std::string target = folder + "/ttyQ0";
    std::ofstream(target) << "";
    std::filesystem::create_symlink(target, folder + "/card");
    OtherProgram other;
    ASSERT_GT(other.pid, 0);
    const std::string owner = std::to_string(other.pid) + "\n";
    std::string flatTarget = target;
    for (char& c : flatTarget) {
        c = c == '/' ? '_' : c;
    }
    for (const std::string& name : {std::string("ttyQ0"), std::string("card"), flatTarget}) {
        std::ofstream(folder + "/LCK.." + name) << owner;
        EXPECT_EQ(qt::LiveLockOwner(folder + "/card", {folder}), other.pid) << name;
        std::filesystem::remove(folder + "/LCK.." + name);
    }
    EXPECT_EQ(qt::LiveLockOwner(folder + "/card", {folder}), 0);
    EXPECT_EQ(qt::LiveLockOwner(folder + "/card", {"/no/such/folder"}), 0);
    std::filesystem::remove_all(folder);
}

}  // namespace
