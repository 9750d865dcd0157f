// QSerialPort on a pseudo-terminal: the line format as the system sees it,
// reads that return at once, and the loss of the far end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>

#include <string>

#include "platform/qt/QtSerialDevice.h"

using quillon::qt::QtSerialDevice;

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

}  // namespace
