// quillon-cli's document commands on files made byte by byte here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

using quillon::testing::BinaryPath;
using quillon::testing::RunResult;
using Bytes = std::vector<uint8_t>;

struct FileBuilder {
    Bytes b;
    FileBuilder& Str(const std::string& s) {
        b.push_back(static_cast<uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    FileBuilder& Raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
};

// Slot 0: a wideband CDCSS basestation; slot 1: a scan channel.
const Bytes kBaseImage = {
    0x00, 0x00, 'B',  'A',  'S',  'E',  0x00, 0x00, 0x00, 0x00,                          // 0
    0x01, 0x02, 0x04, 0x60, 0x00, 0x00, 0x00, 0x04, 0x65, 0x02, 0x50, 0x00, 0x02,        // 10
    0x00, 0x00, 0x00, 0x00, 0x00, 0x23, 0x07, 0x54, 0x01, 0x02, 0x01, 0x00, 0x00, 0x00,  // 23
    0x00, 0x00, 0x01, 0x00, 0x25,                                                        // 37
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0x00, 0x00, 0x50, 0x00, 0x00, 0x00, 0x05, 0x01, 0x01, 0x20, 0x01,  // 58
    0x00, 0x00, 0x07, 0x00, 0x01, 0x02, 0x05, 0x00, 0x00};                         // 69
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
const Bytes kScanImage = Cat({{0x00, 0x00, 'S', 'C', 'A', 'N', '1', 0x00, 0x00, 0x00, 0x02},
                              {0x00, 0x00, 0x15, 0x00, 0x03, 0x99},  // 000 1.5 s, 003 9.9 s
                              Bytes(59, 0),
                              {0x02, 0x00}});

Bytes PlanFile() {
    FileBuilder f;
    f.Str("veltp_v3_5").Str("2").Str("4").Str("Plan A").Str("").Str("0").Str("12").Str("0");
    f.Str("0x0003").Str("7").Str("2");
    f.b.insert(f.b.end(), kBaseImage.begin(), kBaseImage.end());
    f.b.insert(f.b.end(), kScanImage.begin(), kScanImage.end());
    f.Raw({0x01, 0x00}).Str("0123456789abcdef").Raw({0x1a, 0, 0, 0});
    for (int i = 1; i < 16; ++i) {
        f.Str("").Raw({0, 0, 0, 0});
    }
    for (int g = 1; g <= 16; ++g) {
        f.Str(g == 1 ? "G1" : "SQUELCH GROUP " + std::to_string(g));
        for (int i = 0; i < 16; ++i) {
            if (g == 1 && i == 0) {
                f.Str("0x293").Raw({1});
            } else {
                f.Str("").Raw({4});
            }
        }
    }
    f.Raw({1}).Str("0").Raw({4}).Str("").Raw({3}).Str("1");
    for (int s = 3; s < 12; ++s) {
        f.Raw({4}).Str("");
    }
    return f.b;
}

std::string Hex(const Bytes& b) {
    std::string s;
    for (uint8_t v : b) {
        s += "0123456789abcdef"[v >> 4];
        s += "0123456789abcdef"[v & 15];
    }
    return s;
}

class CliDocument : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_cli_doc_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const Bytes& b) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    void Write(const std::string& name, const std::string& s) const {
        std::ofstream(Path(name), std::ios::binary) << s;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    RunResult Cli(std::vector<std::string> args) const {
        args.insert(args.begin(), BinaryPath("quillon-cli"));
        return quillon::testing::Run(args, 60);
    }

    std::filesystem::path dir_;
};

const std::string kClearedImage = std::string(44, '0') + "01" + std::string(30, '0') + "0001" +
                                  "0050" + std::string(64, '0') + "0203" + "0000";

}  // namespace

TEST_F(CliDocument, NewWritesAnEmptyDocument) {
    RunResult r = Cli({"new", Path("new.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string file = Read("new.bcf");
    EXPECT_EQ(file.size(), 40854u);
    EXPECT_EQ(file.substr(0, 37), std::string("\x0aveltp_v3_5\x01"
                                              "2\x01"
                                              "4\x00\x00\x01"
                                              "1\x02"
                                              "10\x01"
                                              "1\x06"
                                              "0xFFFF\x01"
                                              "0\x03"
                                              "512",
                                              37));
    r = Cli({"dump", Path("new.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"formatTag\": \"veltp_v3_5\""), std::string::npos);
    EXPECT_NE(r.out.find("{\"number\": 511, \"kind\": 0, \"name\": \"\", \"image\": \"" +
                         kClearedImage + "\"}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"keys\": [\n  ]"), std::string::npos);
}

TEST_F(CliDocument, DumpShowsEveryPart) {
    Write("plan.bcf", PlanFile());
    RunResult r = Cli({"dump", Path("plan.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& out = r.out;
    for (const std::string& expected : {
             std::string("\"formatTag\": \"veltp_v3_5\",\n"),
             std::string("\"formatNumber1\": \"2\",\n  \"formatNumber2\": \"4\",\n"),
             std::string(
                 "\"docText1\": \"Plan A\",\n  \"docText2\": \"\",\n  \"docText3\": \"7\",\n"),
             std::string("\"frontPanelMonitor\": \"0\",\n  \"frontPanelVolume\": \"12\",\n"),
             std::string("\"backPanelOutput\": \"0\",\n  \"defaultChannel\": \"0x0003\",\n"),
             "{\"number\": 0, \"kind\": 1, \"name\": \"BASE\", \"image\": \"" + Hex(kBaseImage) +
                 "\"}",
             "{\"number\": 1, \"kind\": 2, \"name\": \"SCAN1\", \"image\": \"" + Hex(kScanImage) +
                 "\"}",
             "{\"number\": 2, \"kind\": 0, \"name\": \"\", \"image\": \"" + kClearedImage + "\"}",
             std::string("{\"number\": 1, \"name\": \"G1\", \"items\": [{\"type\": 1, \"value\": "
                         "\"0x293\"}, {\"type\": 4, \"value\": \"\"}"),
             std::string(
                 "{\"number\": 16, \"name\": \"SQUELCH GROUP 16\", \"items\": [{\"type\": 4"),
             std::string("\"toneRemote\": [\n    {\"function\": 1, \"argument\": \"0\"},\n    "
                         "{\"function\": 4, \"argument\": \"\"},\n    {\"function\": 3, "
                         "\"argument\": \"1\"},\n"),
             std::string("\"keys\": [\n    {\"key\": \"0123456789abcdef\", \"kid\": 26}\n  ]\n}\n"),
         }) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected;
    }
}

TEST_F(CliDocument, ExportWritesTheExactCsv) {
    Write("plan.bcf", PlanFile());
    RunResult r = Cli({"export-csv", Path("plan.bcf"), Path("plan.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string expected =
        "Channel Number,Channel Name,Mode,Tx Frequency (MHz),Rx Frequency (MHz),Squelch Systems,"
        "Tx NAC,Rx NAC,Tx CxCSS,Rx CxCSS,Tx CDCSS Invert,Rx CDCSS Invert,Operation Mode,Control,"
        "Front Panel,Link Radio,Tx Key ID,Tx Algorithm ID,Talkgroup ID,Power (W),Ptt Delay (s),"
        "Ptt Tail (s),Ptt Timeout (s),Courtesy Timer (s),Courtesy Tone,Half Duplex,Unit ID,"
        "Reverse Burst,Autosense Tx,Squelch Level,Number of Ref. Channels,Referenced Channel 1,"
        "Dwell Time 1,Referenced Channel 2,Dwell Time 2,Referenced Channel 3,Dwell Time 3,"
        "Referenced Channel 4,Dwell Time 4,Referenced Channel 5,Dwell Time 5,Referenced Channel 6,"
        "Dwell Time 6,Referenced Channel 7,Dwell Time 7,Referenced Channel 8,Dwell Time 8\r\n"
        "000,BASE,Wideband FM,460.000,465.025,CDCSS,0x000,0x000,023,754,No,Yes,Basestation,Local,"
        "On,Off,0x0000,None,0x0001,25,0.050,0.5,120,0.00,None,On,0x000007,0,Analog,05,"
        ",,,,,,,,,,,,,,,,\r\n"
        "001,SCAN1,,,,,,,,,No,No,,,Off,Off,,,,,,,,,,Off,,,,,2,000,1.5,003,9.9,,,,,,,,,,,,";
    EXPECT_EQ(Read("plan.csv"), expected);
}

TEST_F(CliDocument, ImportIntoNewOrBaseDocument) {
    const std::string csv =
        "header\r\n"
        "009,IMP,Narrowband FM,450.125,455.125,CTCSS,As RX,Any,As RX,Any,No,No,Repeater,Line,"
        "Off,Off,0x0000,None,0x0001,50,0.000,0.0,60,0.00,None,Off,0x000000,0,Analog,03,"
        ",,,,,,,,,,,,,,,,";
    const std::string imported =
        std::string("0000") + "494d500000000000" + "01" + "03" + "0450125000" + "0455125000" +
        "01" + "f000" + "f000" + "f000" + "f000" + "02" + "04" + "00" + "00" + "0000" + "00" +
        "0001" + "0050" + std::string(32, '0') + "01" + "0000" + "0000" + "0000" + "01" + "0060" +
        "00" + "000000" + "00" + "00" + "02" + "03" + "0000";
    ASSERT_EQ(imported.size(), 156u);
    Write("in.csv", csv);

    RunResult r = Cli({"import-csv", Path("in.csv"), Path("new.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"dump", Path("new.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"number\": 9, \"kind\": 1, \"name\": \"IMP\", \"image\": \"" +
                         imported + "\"}"),
              std::string::npos);
    EXPECT_NE(r.out.find("{\"number\": 0, \"kind\": 0,"), std::string::npos);

    Write("plan.bcf", PlanFile());
    r = Cli({"import-csv", Path("in.csv"), Path("merged.bcf"), "--base", Path("plan.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"dump", Path("merged.bcf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"image\": \"" + imported + "\"}"), std::string::npos);
    EXPECT_NE(r.out.find("\"image\": \"" + Hex(kBaseImage) + "\"}"), std::string::npos);
    EXPECT_NE(r.out.find("\"docText1\": \"Plan A\""), std::string::npos);
    EXPECT_NE(r.out.find("\"kid\": 26"), std::string::npos);
}

TEST_F(CliDocument, RefusalsGoToStderrWithStatusTwo) {
    FileBuilder old;
    old.Str("veltp_v2").Str("2").Str("4");
    Write("old.bcf", old.b);
    RunResult r = Cli({"dump", Path("old.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "This file is not a valid data file for this application.\n");
    EXPECT_EQ(r.out, "");

    Bytes cut = PlanFile();
    cut.resize(cut.size() - 3);
    Write("cut.bcf", cut);
    r = Cli({"dump", Path("cut.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Unexpected file format.\n");
    r = Cli({"export-csv", Path("cut.bcf"), Path("cut.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Unexpected file format.\n");

    r = Cli({"new", Path("empty.bcf")});
    ASSERT_EQ(r.status, 0);
    r = Cli({"export-csv", Path("empty.bcf"), Path("empty.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "No entries in channel table to export.\n");
    EXPECT_FALSE(std::filesystem::exists(Path("empty.csv")));

    r = Cli({"import-csv", Path("missing.csv"), Path("out.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Invalid filename.\n");
    EXPECT_FALSE(std::filesystem::exists(Path("out.bcf")));

    Write("in.csv", std::string("h\r\n001,X"));
    r = Cli({"import-csv", Path("in.csv"), Path("out.bcf"), "--base", Path("old.bcf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "This file is not a valid data file for this application.\n");
    EXPECT_FALSE(std::filesystem::exists(Path("out.bcf")));
}
