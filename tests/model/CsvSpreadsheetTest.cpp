// The channel table after a round through a spreadsheet: numbers come back
// without their padding zeros and text cells in quotes. Every number must be
// read by its value in its unit, and a value its field cannot hold stops the
// import with the program's message before anything changes.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CsvTestData.h"
#include "model/ChannelCsv.h"

using namespace quillon::model;
using namespace quillon::testing;

namespace {

// As the program writes them.
const std::string kWrittenFixed =
    "004,CALC,Wideband FM,450.270,460.2700,CTCSS,None,None,067.0,100.0,No,No,Basestation,None,"
    "Off,Off,0x0000,None,0x0001,25,0.010,2.0,30,2.40,None,Off,0x000000,0,Analog,03,"
    ",,,,,,,,,,,,,,,,";
const std::string kWrittenCdcss =
    "010,CD,Narrowband FM,450.125,455.125,CDCSS,None,None,754,023,Yes,No,Repeater,None,Off,Off,"
    "0x0000,None,0x0001,050,0.000,0.0,0,0.00,None,Off,0x000000,0,Analog,05,"
    ",,,,,,,,,,,,,,,,";
const std::string kWrittenScan =
    "009,SCAN,,,,,,,,,No,No,,,Off,Off,,,,,,,,,,Off,,,,,2,005,2.5,006,1.0,,,,,,,,,,,,";

// The same lines as a spreadsheet saves them: padding zeros gone, text cells
// quoted.
const std::string kSavedFixed =
    "4,\"CALC\",\"Wideband FM\",450.27,460.27,\"CTCSS\",\"None\",\"None\",67,100,\"No\",\"No\","
    "\"Basestation\",\"None\",\"Off\",\"Off\",\"0x0000\",\"None\",\"0x0001\",25,0.01,2,30,2.4,"
    "\"None\",\"Off\",\"0x000000\",0,\"Analog\",3,,,,,,,,,,,,,,,,,";
const std::string kSavedCdcss =
    "10,\"CD\",\"Narrowband FM\",450.125,455.125,\"CDCSS\",\"None\",\"None\",754,23,\"Yes\",\"No\","
    "\"Repeater\",\"None\",\"Off\",\"Off\",\"0x0000\",\"None\",\"0x0001\",50,0,0,0,0,\"None\","
    "\"Off\",\"0x000000\",0,\"Analog\",5,,,,,,,,,,,,,,,,,";
const std::string kSavedScan =
    "9,\"SCAN\",,,,,,,,,\"No\",\"No\",,,\"Off\",\"Off\",,,,,,,,,,\"Off\",,,,,2,5,2.5,6,1,,,,,,,,,,,"
    ",";

// A fixed channel's 47 fields with nothing unusual in them, to change one.
std::vector<std::string> FixedFields() {
    return {"002",      "F",       "Narrowband FM",
            "450.125",  "455.125", "CTCSS",
            "None",     "None",    "None",
            "067.0",    "No",      "No",
            "Repeater", "None",    "Off",
            "Off",      "0x0000",  "None",
            "0x0001",   "50",      "0.000",
            "0.0",      "0",       "0.00",
            "None",     "Off",     "0x000000",
            "0",        "Analog",  "03",
            "",         "",        "",
            "",         "",        "",
            "",         "",        "",
            "",         "",        "",
            "",         "",        "",
            "",         ""};
}

std::vector<std::string> ScanFields() {
    std::vector<std::string> f(47);
    f[0] = "002";
    f[1] = "S";
    f[30] = "2";
    f[31] = "005";
    f[32] = "2.5";
    f[33] = "006";
    f[34] = "1.0";
    return f;
}

std::string Join(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i ? "," : "") + fields[i];
    }
    return line;
}

std::string WithField(std::vector<std::string> fields, size_t column, const std::string& text) {
    fields[column] = text;
    return Join(fields);
}

}  // namespace

TEST(CsvSpreadsheet, NumbersAreReadByTheirValueInTheirUnit) {
    CTmpDoc written;
    ASSERT_TRUE(
        ImportCsv(kHeader + "\r\n" + kWrittenFixed + "\r\n" + kWrittenCdcss + "\r\n" + kWrittenScan,
                  written)
            .ok());
    CTmpDoc saved;
    FileResult r = ImportCsv(
        kHeader + "\n" + kSavedFixed + "\n" + kSavedCdcss + "\n" + kSavedScan + "\n", saved);
    ASSERT_TRUE(r.ok()) << r.message;

    const ChannelImage fixed = {
        0x00, 0x00, 'C',  'A',  'L',  'C',  0x00, 0x00, 0x00, 0x00, 0x01,  // number, name, kind
        0x02,                                                              // Wideband FM
        0x04, 0x50, 0x27, 0x00, 0x00,                                      // tx 450.27 MHz
        0x04, 0x60, 0x27, 0x00, 0x00,                                      // rx 460.27 MHz
        0x01, 0x00, 0x00, 0x00, 0x00,                                      // CTCSS, NACs
        0x06, 0x70, 0x10, 0x00,                                            // tx 67.0, rx 100.0 Hz
        0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x25,  // ... power 25 W
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                    // legacy text
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                    //
        0x01,                                                              // legacy code
        0x00, 0x10,                                                        // PTT delay 0.010 s
        0x02, 0x40,                                                        // courtesy 2.40 s
        0x00, 0x20,                                                        // PTT tail 2.0 s
        0x01, 0x00, 0x30,                                                  // tone, time-out 30 s
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00, 0x00};
    EXPECT_EQ(written.channels[4].Image(), fixed);
    EXPECT_EQ(written.channels[10].TxCxcss(), 0x0754);
    EXPECT_EQ(written.channels[10].RxCxcss(), 0x0023);
    EXPECT_EQ(written.channels[10].SquelchLevel(), 0x05);
    EXPECT_EQ(written.channels[9].ScanRefChannel(1), 0x0006);
    EXPECT_EQ(written.channels[9].ScanRefDwell(1), 0x10);  // 1.0 s, not 0.1 s

    for (int slot : {4, 9, 10}) {
        EXPECT_EQ(saved.channels[slot].Image(), written.channels[slot].Image()) << slot;
    }
    EXPECT_EQ(saved.channels.UsedCount(), 3);
}

TEST(CsvSpreadsheet, OneValueInEverySpelling) {
    struct Case {
        size_t column;
        std::vector<std::string> spellings;
        size_t offset;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {4,
         {"450.27", "450.270", "450.2700", "0450.270000", " 450.27 ", "\"450.27\"", "450.270000"},
         off::kRxFrequency,
         {0x04, 0x50, 0x27, 0x00, 0x00}},
        {3, {"450", "450.", "450.0", "\"450\""}, off::kTxFrequency, {0x04, 0x50, 0x00, 0x00, 0x00}},
        {3, {".000", "0", "0.0", ""}, off::kTxFrequency, {0x00, 0x00, 0x00, 0x00, 0x00}},
        {3, {"136.0125", "136.012500"}, off::kTxFrequency, {0x01, 0x36, 0x01, 0x25, 0x00}},
        {9, {"67", "67.0", "067.0", "\"67\""}, off::kRxCxcss, {0x06, 0x70}},
        {8, {"65.9", "065.9"}, off::kTxCxcss, {0x06, 0x59}},
        {9, {"250.3"}, off::kRxCxcss, {0x25, 0x03}},
        {9, {"Any", "ANY", "f000", "f00.0", "0659"}, off::kRxCxcss, {0xF0, 0x00}},
        {8, {"As RX", "as rx", "f000"}, off::kTxCxcss, {0xF0, 0x00}},
        {8, {"None", "", "x", "\"\"", "0", "000.0"}, off::kTxCxcss, {0x00, 0x00}},
        {7, {"0x293", "0x0293", "293", "0X293", "\"0x293\""}, off::kRxNac, {0x02, 0x93}},
        {18, {"0x1", "0x0001", "1"}, off::kTalkgroupId, {0x00, 0x01}},
        {26, {"0xabcd", "0x00ABCD"}, off::kUnitId, {0x00, 0xAB, 0xCD}},
        {19, {"50", "050", "50.0"}, off::kPowerWatts, {0x00, 0x50}},
        {20, {"0.5", "0.500", ".5"}, off::kPttDelay, {0x05, 0x00}},
        {21, {"2", "2.0", "002.0"}, off::kPttTail, {0x00, 0x20}},
        {22, {"60", "060", "60.0"}, off::kPttTimeout, {0x00, 0x60}},
        {23, {"5", "5.00", "05.00"}, off::kCourtesyTimer, {0x05, 0x00}},
        {29, {"3", "03"}, off::kSquelchLevel, {0x03}},
    };
    for (const Case& c : cases) {
        for (const std::string& text : c.spellings) {
            CTmpDoc doc;
            FileResult r =
                ImportCsv(kHeader + "\r\n" + WithField(FixedFields(), c.column, text), doc);
            ASSERT_TRUE(r.ok()) << text << ": " << r.message;
            std::vector<uint8_t> got(
                doc.channels[2].Image().begin() + static_cast<long>(c.offset),
                doc.channels[2].Image().begin() + static_cast<long>(c.offset + c.bytes.size()));
            EXPECT_EQ(got, c.bytes) << "column " << c.column << " " << text;
        }
    }

    for (const char* count : {"2", "02", "2.0", "\"2\""}) {
        for (const char* dwell : {"1", "1.0", "01.0"}) {
            std::vector<std::string> f = ScanFields();
            f[30] = count;
            f[32] = dwell;
            f[31] = "5";
            CTmpDoc doc;
            ASSERT_TRUE(ImportCsv(kHeader + "\r\n" + Join(f), doc).ok()) << count << " " << dwell;
            EXPECT_EQ(doc.channels[2].ScanRefCount(), 2);
            EXPECT_EQ(doc.channels[2].ScanRefChannel(0), 0x0005);
            EXPECT_EQ(doc.channels[2].ScanRefDwell(0), 0x10) << dwell;
        }
    }
}

TEST(CsvSpreadsheet, CdcssCodesAndGroupNumbersWithoutTheirZeros) {
    std::vector<std::string> f = FixedFields();
    f[5] = "CDCSS";
    f[8] = "23";
    f[9] = "0023";
    CTmpDoc doc;
    ASSERT_TRUE(ImportCsv(kHeader + "\r\n" + Join(f), doc).ok());
    EXPECT_EQ(doc.channels[2].TxCxcss(), 0x0023);
    EXPECT_EQ(doc.channels[2].RxCxcss(), 0x0023);

    f[5] = "CTCSS GROUP";
    f[8] = "67";
    f[9] = "5";
    CTmpDoc group;
    ASSERT_TRUE(ImportCsv(kHeader + "\r\n" + Join(f), group).ok());
    EXPECT_EQ(group.channels[2].SquelchSystem(), val::kSquelchCtcssGroup);
    EXPECT_EQ(group.channels[2].RxCxcss(), 0xF005);
    EXPECT_EQ(group.channels[2].TxCxcss(), 0x0670);
}

TEST(CsvImportRefusal, AValueItsFieldCannotHoldStopsTheImportAndChangesNothing) {
    struct Case {
        std::string line;
        const char* message;
    };
    const Case cases[] = {
        {WithField(FixedFields(), 4, "450.0000001"),
         "Line 3, column 5 (Rx Frequency (MHz)): 450.0000001 cannot be stored exactly."},
        {WithField(FixedFields(), 3, "10000"),
         "Line 3, column 4 (Tx Frequency (MHz)): 10000 is out of range (0 to 9999.999999)."},
        {WithField(FixedFields(), 3, "-450"),
         "Line 3, column 4 (Tx Frequency (MHz)): -450 is out of range (0 to 9999.999999)."},
        {WithField(FixedFields(), 3, "45O.27"),
         "Line 3, column 4 (Tx Frequency (MHz)): 45O.27 is not a number."},
        {WithField(FixedFields(), 3, "450.1.25"),
         "Line 3, column 4 (Tx Frequency (MHz)): 450.1.25 is not a number."},
        {WithField(FixedFields(), 3, "\"450,27\""),
         "Line 3, column 4 (Tx Frequency (MHz)): 450,27 is not a number."},
        {WithField(FixedFields(), 9, "67.05"),
         "Line 3, column 10 (Rx CxCSS): 67.05 cannot be stored exactly."},
        {WithField(FixedFields(), 8, "1000"),
         "Line 3, column 9 (Tx CxCSS): 1000 is out of range (0 to 999.9)."},
        {WithField(FixedFields(), 7, "0x12345"),
         "Line 3, column 8 (Rx NAC): 0x12345 is out of range (0x0 to 0xffff)."},
        {WithField(FixedFields(), 26, "0xG1"),
         "Line 3, column 27 (Unit ID): 0xG1 is not a number."},
        {WithField(FixedFields(), 19, "12.5"),
         "Line 3, column 20 (Power (W)): 12.5 cannot be stored exactly."},
        {WithField(FixedFields(), 20, "10"),
         "Line 3, column 21 (Ptt Delay (s)): 10 is out of range (0 to 9.999)."},
        {WithField(FixedFields(), 21, "0.05"),
         "Line 3, column 22 (Ptt Tail (s)): 0.05 cannot be stored exactly."},
        {WithField(FixedFields(), 22, "10000"),
         "Line 3, column 23 (Ptt Timeout (s)): 10000 is out of range (0 to 9999)."},
        {WithField(FixedFields(), 23, "0.005"),
         "Line 3, column 24 (Courtesy Timer (s)): 0.005 cannot be stored exactly."},
        {WithField(FixedFields(), 29, "100"),
         "Line 3, column 30 (Squelch Level): 100 is out of range (0 to 99)."},
        {WithField(ScanFields(), 30, "9"),
         "Line 3, column 31 (Number of Ref. Channels): 9 is out of range (0 to 8)."},
        {WithField(ScanFields(), 30, "1.5"),
         "Line 3, column 31 (Number of Ref. Channels): 1.5 cannot be stored exactly."},
        {WithField(ScanFields(), 32, "0.25"),
         "Line 3, column 33 (Dwell Time 1): 0.25 cannot be stored exactly."},
        {WithField(ScanFields(), 33, "5.5"),
         "Line 3, column 34 (Referenced Channel 2): 5.5 cannot be stored exactly."},
    };
    for (const Case& c : cases) {
        CTmpDoc doc;
        doc.channels[1].SetKind(ChannelKind::Scan);
        doc.channels[2].SetKind(ChannelKind::Fixed);
        doc.channels[2].SetWord(off::kRxCxcss, 0x1234);
        std::vector<ChannelImage> before;
        for (int i = 0; i < kChannelCount; ++i) {
            before.push_back(doc.channels[i].Image());
        }
        // A good line first: it must not be stored either.
        FileResult r = ImportCsv(kHeader + "\r\n" + WithField(FixedFields(), 0, "001") + "\r\n" +
                                     c.line + "\r\n" + WithField(FixedFields(), 0, "003"),
                                 doc);
        EXPECT_EQ(r.status, FileResult::Status::Failed) << c.line;
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.icon, quillon::Icon::Exclamation);
        EXPECT_FALSE(doc.IsModified());
        for (int i = 0; i < kChannelCount; ++i) {
            ASSERT_EQ(doc.channels[i].Image(), before[static_cast<size_t>(i)])
                << c.line << " " << i;
        }
    }
}

TEST(CsvImportRefusal, CodesAndGroupsOutsideTheirTables) {
    struct Case {
        const char* system;
        const char* tx;
        const char* rx;
        const char* message;
    };
    const Case cases[] = {
        {"CDCSS", "023", "028", "Line 2, column 10 (Rx CxCSS): 028 is not a CDCSS code."},
        {"CDCSS", "1023", "023", "Line 2, column 9 (Tx CxCSS): 1023 is not a CDCSS code."},
        {"CDCSS GROUP", "23.5", "3", "Line 2, column 9 (Tx CxCSS): 23.5 is not a CDCSS code."},
        {"CTCSS GROUP", "67", "17", "Line 2, column 10 (Rx CxCSS): 17 is out of range (1 to 16)."},
        {"CDCSS GROUP", "023", "0", "Line 2, column 10 (Rx CxCSS): 0 is out of range (1 to 16)."},
        {"ctcss group", "67", "2.5", "Line 2, column 10 (Rx CxCSS): 2.5 cannot be stored exactly."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> f = FixedFields();
        f[5] = c.system;
        f[8] = c.tx;
        f[9] = c.rx;
        CTmpDoc doc;
        FileResult r = ImportCsv(kHeader + "\r\n" + Join(f), doc);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(doc.channels.UsedCount(), 0);
    }
}

TEST(CsvImportRefusal, FileImportRefusesTheSameWay) {
    auto path = std::filesystem::temp_directory_path() / "quillon_csv_refusal.csv";
    {
        std::ofstream(path, std::ios::binary) << kHeader << "\n"
                                              << WithField(FixedFields(), 9, "67.05") << "\n";
    }
    CTmpDoc doc;
    doc.channels[7].SetKind(ChannelKind::Fixed);
    FileResult r = ImportCsvFile(path.string(), doc);
    std::filesystem::remove(path);
    EXPECT_EQ(r.status, FileResult::Status::Failed);
    EXPECT_EQ(r.message, "Line 2, column 10 (Rx CxCSS): 67.05 cannot be stored exactly.");
    EXPECT_EQ(doc.channels.UsedCount(), 1);
    EXPECT_EQ(doc.channels[2].KindByte(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST(CsvImportRefusal, ColumnsALineDoesNotUseAreNotChecked) {
    // A scan line ignores the fixed-channel columns, and references beyond
    // its count are not read, so nothing there can be lost.
    std::vector<std::string> f = ScanFields();
    f[3] = "not a frequency";
    f[35] = "junk";
    f[36] = "9.99";
    CTmpDoc doc;
    FileResult r = ImportCsv(kHeader + "\r\n" + Join(f), doc);
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(doc.channels[2].ScanRefCount(), 2);
}
