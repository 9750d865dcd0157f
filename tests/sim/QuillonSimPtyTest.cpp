// quillon-sim in real time: a serial port client on its pseudo-terminal.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QCoreApplication>
#include <QSerialPort>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "E2eSupport.h"

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "quillon_sim_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// quillon-sim started with a link in a fresh folder; stopped with SIGTERM.
class RunningSim {
  public:
    RunningSim(const std::string& dir, const std::vector<std::string>& options) {
        link = dir + "/card";
        std::vector<std::string> argv = {quillon::testing::BinaryPath("quillon-sim"), "--link",
                                         link};
        argv.insert(argv.end(), options.begin(), options.end());
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        const int log = open((dir + "/sim.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        pid_ = quillon::testing::Spawn(argv, out[1], log);
        if (log >= 0) {
            close(log);
        }
        close(out[1]);
        // The first line it prints is the terminal's name.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        pollfd p{out[0], POLLIN, 0};
        while (std::chrono::steady_clock::now() < deadline && poll(&p, 1, 100) >= 0) {
            if ((p.revents & POLLIN) == 0) {
                continue;
            }
            if (read(out[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            device += c;
        }
        outFd_ = out[0];
    }
    ~RunningSim() { Stop(); }
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int st = 0;
            waitpid(pid_, &st, 0);
            status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
            pid_ = -1;
        }
        if (outFd_ >= 0) {
            char buf[4096];
            ssize_t n = 0;
            while ((n = read(outFd_, buf, sizeof buf)) > 0) {
                rest.append(buf, static_cast<size_t>(n));
            }
            close(outFd_);
            outFd_ = -1;
        }
    }
    std::string link;
    std::string device;
    std::string rest;  // what it printed after the device name, read once it stopped
    int status = -1;

  private:
    pid_t pid_ = -1;
    int outFd_ = -1;
};

// Writes a command and collects the reply until it holds `until` (or the
// time is up), as a terminal user would wait for the prompt.
std::string Exchange(QSerialPort& port, const std::string& send, const std::string& until,
                     int ms = 3000) {
    port.write(send.data(), static_cast<qint64>(send.size()));
    port.waitForBytesWritten(1000);
    std::string reply;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline && reply.find(until) == std::string::npos) {
        if (port.waitForReadyRead(50) || port.bytesAvailable() > 0) {
            reply += port.readAll().toStdString();
        }
    }
    return reply;
}

class QuillonSimPty : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(std::filesystem::exists(quillon::testing::BinaryPath("quillon-sim")))
            << "build quillon-sim first";
        char tmpl[] = "/tmp/quillon-sim-pty-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    bool Open(QSerialPort& port, const std::string& path) {
        port.setPortName(QString::fromStdString(path));
        if (!port.open(QIODevice::ReadWrite)) {
            return false;
        }
        port.setBaudRate(QSerialPort::Baud9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        return true;
    }
    std::string dir_;
};

TEST_F(QuillonSimPty, LoginVersionAndBinaryModeOverTheLink) {
    RunningSim sim(dir_, {});
    ASSERT_EQ(sim.device.rfind("/dev/pts/", 0), 0u) << sim.device;
    std::error_code ec;
    EXPECT_EQ(std::filesystem::read_symlink(sim.link, ec).string(), sim.device);

    QSerialPort port;
    ASSERT_TRUE(Open(port, sim.link)) << port.errorString().toStdString();
    EXPECT_EQ(Exchange(port, "\r", "Login > "), "\r\nLogin > ");
    EXPECT_EQ(Exchange(port, "field\r", "Passwd > "), "field\r\nPasswd > ");
    EXPECT_EQ(Exchange(port, "quillon\r", "VEL> "), "quillon\r\n\r\nVEL> ");
    EXPECT_EQ(Exchange(port, "getp bcp_version\r", "VEL> "), "getp bcp_version\r\n1.2\r\nVEL> ");
    EXPECT_EQ(Exchange(port, "setp bin_mode on\r\n", "mode\r\n"),
              "setp bin_mode on\r\nEntering binary mode\r\n");
    EXPECT_EQ(Exchange(port, "\r", "\x15"), "\x15");
    port.close();

    sim.Stop();
    EXPECT_EQ(sim.status, 0);
    struct stat st {};
    EXPECT_NE(lstat(sim.link.c_str(), &st), 0) << "the link outlived quillon-sim";
}

TEST_F(QuillonSimPty, StateSurvivesARestart) {
    const std::string state = dir_ + "/card.json";
    {
        RunningSim sim(dir_, {"--state", state, "--password", "secret"});
        QSerialPort port;
        ASSERT_TRUE(Open(port, sim.link));
        Exchange(port, "\r", "Login > ");
        Exchange(port, "field\r", "Passwd > ");
        ASSERT_NE(Exchange(port, "secret\r", "VEL> ").find("VEL> "), std::string::npos);
        Exchange(port, "setp ee_fpvol 7\r\n", "VEL> ");
        Exchange(port, "setp crypt_key 129    26 0123456789abcdef\n\r", "VEL> ");
        port.close();
    }
    ASSERT_TRUE(std::filesystem::exists(state));
    RunningSim again(dir_, {"--state", state});
    QSerialPort port;
    ASSERT_TRUE(Open(port, again.link));
    Exchange(port, "\r", "Login > ");
    Exchange(port, "field\r", "Passwd > ");
    // The password set by the first run was stored with the rest.
    ASSERT_NE(Exchange(port, "secret\r", "VEL> ").find("VEL> "), std::string::npos);
    EXPECT_EQ(Exchange(port, "getp ee_fpvol\r\n", "VEL> "),
              "getp ee_fpvol\r\nee_fpvol: 7\r\nVEL> ");
    port.close();
    again.Stop();
    std::ifstream in(state);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"key\": \"0123456789abcdef\""), std::string::npos);
}

TEST_F(QuillonSimPty, LateAndBurstyLineCarriesEveryByte) {
    RunningSim sim(dir_, {"--latency-ms", "120", "--burst-ms", "16"});
    QSerialPort port;
    ASSERT_TRUE(Open(port, sim.link));
    EXPECT_EQ(Exchange(port, "\r", "Login > "), "\r\nLogin > ");
    EXPECT_EQ(Exchange(port, "field\r", "Passwd > "), "field\r\nPasswd > ");
    EXPECT_EQ(Exchange(port, "quillon\r", "VEL> "), "quillon\r\n\r\nVEL> ");
    EXPECT_EQ(Exchange(port, "getp bcp_version\r", "VEL> "), "getp bcp_version\r\n1.2\r\nVEL> ");
    port.close();
    sim.Stop();
    EXPECT_EQ(sim.status, 0);
}

TEST_F(QuillonSimPty, TraceAndModem) {
    RunningSim sim(dir_, {"--modem", "--trace", "--dial-delay-ms", "200"});
    QSerialPort port;
    ASSERT_TRUE(Open(port, sim.link));
    EXPECT_EQ(Exchange(port, "AT\r", "OK\r\n"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(Exchange(port, "atdt5551234\r\n", "9600\r\n"), "atdt5551234\r\n\r\nCONNECT 9600\r\n");
    EXPECT_EQ(Exchange(port, "\r", "Login > "), "\r\nLogin > ");
    port.close();
    sim.Stop();
    // One line per byte, each way, with the time, the direction and the value.
    EXPECT_NE(sim.rest.find(" PC->card 41 'A'\n"), std::string::npos) << sim.rest;
    EXPECT_NE(sim.rest.find(" PC->card 0d CR\n"), std::string::npos);
    EXPECT_NE(sim.rest.find(" card->PC 4b 'K'\n"), std::string::npos);
    EXPECT_NE(sim.rest.find(" card->PC 3e '>'\n"), std::string::npos);
}

TEST_F(QuillonSimPty, RefusesABrokenStateFileAndAFileInTheLinksPlace) {
    const std::string state = dir_ + "/broken.json";
    std::ofstream(state) << "{ nothing like a card";
    const auto r = quillon::testing::Run(
        {quillon::testing::BinaryPath("quillon-sim"), "--state", state, "--link", dir_ + "/l"}, 20);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("broken.json"), std::string::npos) << r.err;
    std::ifstream in(state);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "{ nothing like a card");  // left as it was

    const std::string file = dir_ + "/taken";
    std::ofstream(file) << "mine";
    const auto r2 =
        quillon::testing::Run({quillon::testing::BinaryPath("quillon-sim"), "--link", file}, 20);
    EXPECT_EQ(r2.status, 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

}  // namespace
