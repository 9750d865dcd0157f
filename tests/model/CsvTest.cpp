#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "CsvTestData.h"
#include "model/ChannelCsv.h"

using namespace quillon::model;
using namespace quillon::testing;

namespace {

// A narrowband repeater under tone remote control, transmitting the NAC and
// the tone it receives.
void MakeRepeater(CChannel& ch) {
    ch.Clear();
    ch.SetKind(ChannelKind::Fixed);
    SetName(ch, "RPT1\0\0\0\0");
    SetBytes(ch, off::kSignalType,
             {0x03, 0x04, 0x50, 0x12, 0x50, 0x00, 0x04, 0x55, 0x12, 0x50, 0x00, 0x01, 0xF0, 0x00,
              0x02, 0x93, 0xF0, 0x00, 0x06, 0x70, 0x02, 0x03, 0x01, 0x00, 0x12, 0x34, 0x01});
    SetBytes(ch, off::kPttDelay,
             {0x05, 0x00, 0x05, 0x00, 0x00, 0x20, 0x02, 0x00, 0x60, 0x00, 0x00, 0xAB, 0xCD, 0x01});
}

void MakeScan(CChannel& ch) {
    ch.Clear();
    ch.SetKind(ChannelKind::Scan);
    SetName(ch, "SCAN    ");
    ch.SetScanRefCount(2);
    ch.SetScanRef(0, 0x0005, 0x25);
    ch.SetScanRef(1, 0x0006, 0x10);
}

const std::string kRepeaterLine =
    "003,RPT1,Narrowband FM,450.125,455.125,CTCSS,As RX,0x293,As RX,067.0,No,No,Repeater,"
    "Tone Rmt,On,Off,0x1234,DES-OFS,0x0001,50,0.500,2.0,60,5.00,400Hz,Off,0x00abcd,1,Analog,03,"
    // no scan references: an empty count and sixteen empty fields
    ",,,,,,,,,,,,,,,,";

const std::string kScanLine =
    "007,SCAN    ,"
    ",,,,,,,,"  // mode to receive tone: nothing for a scan channel
    "No,No,,,Off,Off,"
    ",,,,,,,,,"  // key id to courtesy tone
    "Off,,,,,"   // half duplex, unit id to squelch level
    "2,005,2.5,006,1.0,"
    ",,,,,,,,,,,";  // eleven commas for the six unused references

std::string Export(const CTmpDoc& doc) {
    std::string out;
    FileResult r = ExportCsv(doc, out);
    EXPECT_TRUE(r.ok()) << r.message;
    return out;
}

}  // namespace

TEST(CsvExport, HeaderAndLinesAreExact) {
    CTmpDoc doc;
    MakeRepeater(doc.channels[3]);
    MakeScan(doc.channels[7]);
    EXPECT_EQ(Export(doc), kHeader + "\r\n" + kRepeaterLine + "\r\n" + kScanLine);
}

TEST(CsvExport, EmptyTableIsRefusedAndCreatesNoFile) {
    CTmpDoc doc;
    std::string out = "stale";
    FileResult r = ExportCsv(doc, out);
    EXPECT_EQ(r.status, FileResult::Status::Refused);
    EXPECT_EQ(r.message, "No entries in channel table to export.");
    EXPECT_EQ(r.icon, quillon::Icon::Exclamation);
    EXPECT_EQ(out, "");
    auto path = std::filesystem::temp_directory_path() / "quillon_csv_empty_export.csv";
    std::filesystem::remove(path);
    EXPECT_FALSE(ExportCsvFile(path.string(), doc).ok());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CsvExport, TextsLeftFromAnEarlierContentAreNotExported) {
    CTmpDoc doc;
    MakeScan(doc.channels[3]);
    doc.channels[3].RefreshText();  // the slot's texts now say "2 references"
    CChannel repeater;
    MakeRepeater(repeater);
    doc.channels[3].AssignImage(repeater);
    EXPECT_EQ(Export(doc), kHeader + "\r\n" + kRepeaterLine);
}

TEST(CsvImport, RoundTripKeepsTheImages) {
    CTmpDoc doc;
    MakeRepeater(doc.channels[3]);
    CChannel& any = doc.channels[4];
    MakeRepeater(any);
    any.SetWord(off::kRxNac, 0xF000);
    any.SetWord(off::kRxCxcss, 0xF000);
    CChannel& cdcss = doc.channels[5];
    MakeRepeater(cdcss);
    cdcss.SetByte(off::kSignalType, 2);
    cdcss.SetByte(off::kSquelchSystem, val::kSquelchCdcss);
    cdcss.SetWord(off::kRxCxcss, 0x0023);
    cdcss.SetWord(off::kTxCxcss, 0x0023);
    cdcss.SetByte(off::kCdcssInvert, 0x03);
    const std::string csv = Export(doc);
    EXPECT_NE(csv.find("\r\n004,RPT1,Narrowband FM,450.125,455.125,CTCSS,As RX,Any,As RX,Any,"),
              std::string::npos);
    EXPECT_NE(
        csv.find("\r\n005,RPT1,Wideband FM,450.125,455.125,CDCSS,As RX,0x293,023,023,Yes,Yes,"),
        std::string::npos);

    CTmpDoc back;
    ImportCsv(csv, back);
    EXPECT_TRUE(back.IsModified());
    for (int slot : {3, 4, 5}) {
        // The importer stores legacy code 1, whatever the channel had.
        EXPECT_EQ(back.channels[slot].Image(), WithLegacyCode(doc.channels[slot].Image(), 1))
            << slot;
    }
    EXPECT_EQ(back.channels[4].RxNac(), 0xF000);
    EXPECT_EQ(back.channels[4].RxCxcss(), 0xF000);
    EXPECT_EQ(back.channels[4].TxNac(), 0xF000);
    EXPECT_EQ(back.channels[4].TxCxcss(), 0xF000);
    EXPECT_EQ(back.channels[5].RxCxcss(), 0x0023);
    EXPECT_EQ(back.channels[5].SquelchSystem(), val::kSquelchCdcss);
    EXPECT_EQ(back.channels.UsedCount(), 3);
}

TEST(CsvImport, ScanLineReusesTheScratchChannel) {
    CTmpDoc doc;
    MakeRepeater(doc.channels[3]);
    MakeScan(doc.channels[7]);
    const std::string csv = Export(doc);
    CTmpDoc back;
    ImportCsv(csv, back);
    const CChannel& scan = back.channels[7];
    EXPECT_EQ(scan.KindByte(), 2);
    EXPECT_EQ(scan.NameText(), "SCAN");  // the trailing blanks are trimmed away
    EXPECT_EQ(scan.ScanRefCount(), 2);
    EXPECT_EQ(scan.ScanRefChannel(0), 0x0005);
    EXPECT_EQ(scan.ScanRefDwell(0), 0x25);
    EXPECT_EQ(scan.ScanRefChannel(1), 0x0006);
    EXPECT_EQ(scan.ScanRefDwell(1), 0x10);
    // Bytes a scan line does not set keep what the line before left.
    EXPECT_EQ(scan.Word(off::kTxKeyId), 0x1234);
    EXPECT_EQ(scan.Byte(off::kReverseBurst), 1);
}

TEST(CsvImport, FieldsAreTrimmedAndUnquoted) {
    const std::string csv = kHeader +
                            "\r\n"
                            " 012 ,\t\"ABC\" ,\"Apco 25\",450,451,CDCSS,None,,\"\",x,YES,t,"
                            "basestation,LINE,true,1,0x0002,des-ofs,0x0100,25,0.010,0.5,30,"
                            "0.10,1000,ON,0x000001,0,digital,05,0\r\n"
                            "013,\"\",Wideband FM,\r\n";
    CTmpDoc doc;
    ImportCsv(csv, doc);
    const CChannel& ch = doc.channels[12];
    ASSERT_EQ(ch.KindByte(), 1);
    EXPECT_EQ(ch.NameText(), "ABC");
    EXPECT_EQ(ch.SignalType(), 1);
    EXPECT_EQ(ch.SquelchSystem(), 1);  // Apco 25 is always CTCSS
    EXPECT_EQ(ch.TxNac(), 0x0000);
    EXPECT_EQ(ch.RxNac(), 0x0000);
    EXPECT_EQ(ch.OperationMode(), 1);
    EXPECT_EQ(ch.ControlMode(), 4);
    EXPECT_EQ(ch.Byte(off::kCdcssInvert), 0x03);
    EXPECT_EQ(ch.Byte(off::kFrontPanelPtt), 1);
    EXPECT_EQ(ch.Byte(off::kLinkRadio), 1);
    EXPECT_EQ(ch.Byte(off::kTxAlgorithmId), 1);
    EXPECT_EQ(ch.TalkgroupId(), 0x0100);
    EXPECT_EQ(ch.Byte(off::kHalfDuplex), 1);
    EXPECT_EQ(ch.Byte(off::kCourtesyTone), 3);
    EXPECT_EQ(ch.Byte(off::kAutosenseTx), 1);
    EXPECT_EQ(ch.SquelchLevel(), 0x05);
    // Two double quotes are a field of two characters, kept as they are.
    EXPECT_EQ(doc.channels[13].NameText(), "\"\"");
    EXPECT_EQ(doc.channels[13].SignalType(), 2);
}

TEST(CsvImport, CvsdHasNoSquelchAndEightReferencesReachTheLastColumn) {
    std::string refs;
    for (int i = 1; i <= 8; ++i) {
        refs += ",0" + std::to_string(10 + i) + ",0." + std::to_string(i);
    }
    const std::string csv = kHeader + "\r\n020,CV,CVSD/DES-XL,450,450,CDCSS" +
                            std::string(24, ',') + ",\r\n021,ALL" + std::string(29, ',') + "8" +
                            refs;
    CTmpDoc doc;
    ImportCsv(csv, doc);
    EXPECT_EQ(doc.channels[20].SignalType(), 6);
    EXPECT_EQ(doc.channels[20].SquelchSystem(), 0);
    const CChannel& scan = doc.channels[21];
    ASSERT_EQ(scan.KindByte(), 2);
    EXPECT_EQ(scan.ScanRefCount(), 8);
    EXPECT_EQ(scan.ScanRefChannel(0), 0x0011);
    EXPECT_EQ(scan.ScanRefChannel(7), 0x0018);
    EXPECT_EQ(scan.ScanRefDwell(7), 0x08);
}

TEST(CsvExport, NulPaddedNameEndsAtTheNul) {
    CTmpDoc doc;
    CChannel& ch = doc.channels[0];
    MakeRepeater(ch);
    SetName(ch, "AB\0XY\0\0\0");
    std::string csv = Export(doc);
    EXPECT_EQ(csv.substr(kHeader.size(), 22), "\r\n000,AB,Narrowband FM");
}

TEST(CsvImport, ReplacesOnlyTheNamedSlots) {
    CTmpDoc doc;
    MakeScan(doc.channels[12]);
    MakeScan(doc.channels[40]);
    ImportCsv(kHeader + "\r\n" + "012,NEW,Apco 25,450,455", doc);
    EXPECT_EQ(doc.channels[12].KindByte(), 1);
    EXPECT_EQ(doc.channels[12].NameText(), "NEW");
    EXPECT_EQ(doc.channels[40].KindByte(), 2);
}

TEST(CsvImport, LinesNamingNoSlotAreSkipped) {
    CTmpDoc doc;
    MakeScan(doc.channels[0]);
    MakeScan(doc.channels[511]);
    const ChannelImage slot0 = doc.channels[0].Image();
    ImportCsv(kHeader +
                  "\r\n"
                  "\r\n"       // blank
                  "   \t\r\n"  // blanks only
                  "512,FAR,Apco 25\r\n"
                  "-1,NEG,Apco 25\r\n"
                  "99999999999,BIG,Apco 25\r\n"
                  "abc,JUNK,Apco 25\r\n"
                  "511,LAST,Apco 25\r\n",
              doc);
    EXPECT_EQ(doc.channels[0].Image(), slot0);
    EXPECT_EQ(doc.channels[511].KindByte(), 1);
    EXPECT_EQ(doc.channels[511].NameText(), "LAST");
    EXPECT_EQ(doc.channels.UsedCount(), 2);
}

TEST(CsvImport, ShortAndOverlongLines) {
    CTmpDoc doc;
    // A line with two fields: the second has no terminator, so it is empty,
    // and what follows the last comma is the last column.
    const std::string longName(3000, 'A');
    ImportCsv(kHeader + "\r\n005,SHORT\r\n010," + longName + ",Apco 25\r\n011,OK,Wideband FM,\n",
              doc);
    EXPECT_EQ(doc.channels[5].KindByte(), 1);
    EXPECT_EQ(doc.channels[5].NameText(), "");
    // The long line is read in pieces of 2047 characters; the first names
    // slot 10, the rest names no slot.
    EXPECT_EQ(doc.channels[10].KindByte(), 1);
    EXPECT_EQ(doc.channels[11].SignalType(), 2);
    EXPECT_EQ(doc.channels.UsedCount(), 3);
}

TEST(CsvImport, OnlyAHeaderOrNothingStillMarksModified) {
    CTmpDoc doc;
    ImportCsv("", doc);
    EXPECT_TRUE(doc.IsModified());
    CTmpDoc other;
    ImportCsv(std::string("\x01\xff\x00garbage,\x80\x90", 12), other);
    EXPECT_EQ(other.channels.UsedCount(), 0);
}

TEST(CsvImport, UnreadableFileChangesNothing) {
    CTmpDoc doc;
    MakeScan(doc.channels[2]);
    FileResult r = ImportCsvFile("/nonexistent/quillon/in.csv", doc);
    EXPECT_EQ(r.status, FileResult::Status::Failed);
    EXPECT_EQ(r.message, "Invalid filename.");
    EXPECT_EQ(doc.channels[2].KindByte(), 2);
    EXPECT_FALSE(doc.IsModified());
}

TEST(CsvImport, FileAndTextImportAgree) {
    CTmpDoc doc;
    MakeRepeater(doc.channels[3]);
    MakeScan(doc.channels[7]);
    // A NUL ends what the line reader sees of its line.
    const char withNul[] = "\r\n008,\0NUL,Apco 25\r\n";
    std::string csv =
        Export(doc) + std::string(withNul, sizeof withNul - 1) + std::string(5000, 'z');
    auto path = std::filesystem::temp_directory_path() / "quillon_csv_agree.csv";
    { std::ofstream(path, std::ios::binary) << csv; }
    CTmpDoc fromText, fromFile;
    ImportCsv(csv, fromText);
    ASSERT_TRUE(ImportCsvFile(path.string(), fromFile).ok());
    std::filesystem::remove(path);
    for (int i = 0; i < kChannelCount; ++i) {
        ASSERT_EQ(fromText.channels[i].Image(), fromFile.channels[i].Image()) << i;
    }
    EXPECT_EQ(fromFile.channels[7].KindByte(), 2);
    EXPECT_EQ(fromFile.channels[8].KindByte(), 1);
    EXPECT_EQ(fromFile.channels[8].NameText(), "");
}

namespace {

// A fixed channel with the fields every analogue line carries; tones and
// squelch system are the caller's.
void MakeAnalogue(CChannel& ch, uint8_t signal, uint8_t squelch, uint16_t tx, uint16_t rx) {
    ch.Clear();
    ch.SetKind(ChannelKind::Fixed);
    SetName(ch, "SQ\0\0\0\0\0\0");
    SetBytes(ch, off::kSignalType,
             {signal, 0x04, 0x50, 0x12, 0x50, 0x00, 0x04, 0x55, 0x12, 0x50, 0x00, squelch, 0xF0,
              0x00, 0x02, 0x93});
    ch.SetWord(off::kTxCxcss, tx);
    ch.SetWord(off::kRxCxcss, rx);
    ch.SetByte(off::kOperationMode, val::kRepeater);
    ch.SetByte(off::kControlMode, 1);
    ch.SetByte(off::kCourtesyTone, 1);
}

}  // namespace

TEST(CsvRoundTrip, EverySquelchSystemOfAnalogueAndAutosenseChannels) {
    struct Tones {
        uint8_t squelch;
        uint16_t tx;
        uint16_t rx;
    };
    const Tones tones[] = {
        {val::kSquelchCtcss, 0x0670, 0x1000},      {val::kSquelchCtcss, 0xF000, 0xF000},
        {val::kSquelchCtcss, 0x0000, 0x0000},      {val::kSquelchCdcss, 0x0754, 0x0023},
        {val::kSquelchCdcss, 0xF000, 0xF000},      {val::kSquelchCdcss, 0x0000, 0x0000},
        {val::kSquelchCtcssGroup, 0x0885, 0xF001}, {val::kSquelchCtcssGroup, 0xF000, 0xF012},
        {val::kSquelchCtcssGroup, 0x0000, 0xF016}, {val::kSquelchCdcssGroup, 0x0023, 0xF009},
        {val::kSquelchCdcssGroup, 0xF000, 0xF010}, {val::kSquelchCdcssGroup, 0x0000, 0xF002},
        {val::kSquelchNone, 0x0670, 0x2503},       {val::kSquelchNone, 0x0000, 0x0000},
    };
    CTmpDoc doc;
    int slot = 0;
    for (uint8_t signal = 2; signal <= 5; ++signal) {
        for (const Tones& t : tones) {
            CChannel& ch = doc.channels[slot++];
            MakeAnalogue(ch, signal, t.squelch, t.tx, t.rx);
            if (t.squelch == val::kSquelchCdcss || t.squelch == val::kSquelchCdcssGroup) {
                ch.SetByte(off::kCdcssInvert, val::kInvertTx);
            }
            if (signal >= 4) {
                ch.SetByte(off::kAutosenseTx, val::kAutosenseDigital);
            }
        }
    }
    const std::string csv = Export(doc);
    // The export itself is what it has always been.
    EXPECT_NE(csv.find("\r\n007,SQ,Wideband FM,450.125,455.125,CTCSS GROUP,As RX,0x293,As RX,12,"
                       "No,No,Repeater,None,Off,Off,0x0000,None,0x0001,50,0.000,0.0,0,0.00,None,"
                       "Off,0x000000,0,Analog,03,,,,,,,,,,,,,,,,,\r\n"),
              std::string::npos);
    EXPECT_NE(csv.find("\r\n023,SQ,Narrowband FM,450.125,455.125,CDCSS GROUP,As RX,0x293,023,09,"
                       "Yes,No,"),
              std::string::npos);

    CTmpDoc back;
    FileResult r = ImportCsv(csv, back);
    ASSERT_TRUE(r.ok()) << r.message;
    for (int i = 0; i < slot; ++i) {
        EXPECT_EQ(back.channels[i].Image(), WithLegacyCode(doc.channels[i].Image(), 1)) << i;
    }
    EXPECT_EQ(back.channels[7].SquelchSystem(), val::kSquelchCtcssGroup);
    EXPECT_EQ(back.channels[7].RxCxcss(), 0xF012);
    EXPECT_EQ(back.channels[12].SquelchSystem(), val::kSquelchNone);
    EXPECT_EQ(back.channels[12].RxCxcss(), 0x2503);
}

TEST(CsvRoundTrip, ProjectTwentyFiveAndCvsdLinesAreNormalisedAsBefore) {
    CTmpDoc doc;
    MakeAnalogue(doc.channels[1], 1, val::kSquelchCtcssGroup, 0x0670, 0xF012);
    MakeAnalogue(doc.channels[2], 6, val::kSquelchCdcssGroup, 0x0754, 0xF003);
    MakeAnalogue(doc.channels[3], 1, val::kSquelchCdcss, 0x0023, 0x0754);
    CTmpDoc back;
    ASSERT_TRUE(ImportCsv(Export(doc), back).ok());
    // Project 25 is always CTCSS and CVSD/DES-XL has no squelch system; a
    // group's number stays in the tone's last two digits, as it always has.
    EXPECT_EQ(back.channels[1].SquelchSystem(), val::kSquelchCtcss);
    EXPECT_EQ(back.channels[1].RxCxcss(), 0x0012);
    EXPECT_EQ(back.channels[1].TxCxcss(), 0x0670);
    EXPECT_EQ(back.channels[2].SquelchSystem(), val::kSquelchNone);
    EXPECT_EQ(back.channels[2].RxCxcss(), 0x0003);
    EXPECT_EQ(back.channels[2].TxCxcss(), 0x0754);
    EXPECT_EQ(back.channels[3].SquelchSystem(), val::kSquelchCtcss);
    EXPECT_EQ(back.channels[3].RxCxcss(), 0x0754);
    EXPECT_EQ(back.channels[3].TxCxcss(), 0x0023);
}

TEST(CsvQuoting, NamesWithSeparatorsQuotesAndLineBreaksSurvive) {
    CTmpDoc doc;
    MakeRepeater(doc.channels[1]);
    SetName(doc.channels[1], "A,B\0\0\0\0\0");
    MakeRepeater(doc.channels[2]);
    SetName(doc.channels[2], "X\r\nY\0\0\0\0");
    MakeRepeater(doc.channels[3]);
    SetName(doc.channels[3], "Q\"T\0\0\0\0\0");
    MakeScan(doc.channels[4]);
    SetName(doc.channels[4], "\"LEAD\"\0\0");
    MakeRepeater(doc.channels[5]);
    SetName(doc.channels[5], "\"\"\0\0\0\0\0\0");
    const std::string csv = Export(doc);
    EXPECT_NE(csv.find("\r\n001,\"A,B\",Narrowband FM,450.125,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n002,\"X\r\nY\",Narrowband FM,450.125,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n003,\"Q\"\"T\",Narrowband FM,450.125,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n004,\"\"\"LEAD\"\"\",,,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n005,\"\"\"\"\"\",Narrowband FM,"), std::string::npos);
    // Nothing else is quoted.
    EXPECT_NE(csv.find(kRepeaterLine.substr(8)), std::string::npos);

    CTmpDoc back;
    FileResult r = ImportCsv(csv, back);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(back.channels.UsedCount(), 5);
    for (int slot : {1, 2, 3, 5}) {
        EXPECT_EQ(back.channels[slot].Image(), WithLegacyCode(doc.channels[slot].Image(), 1))
            << slot;
    }
    EXPECT_EQ(back.channels[4].NameText(), "\"LEAD\"");
    EXPECT_EQ(back.channels[4].ScanRefCount(), 2);
}

TEST(CsvQuoting, QuotedFieldsAreReadExactly) {
    const std::string csv = kHeader +
                            "\n"
                            "010, \"  A,\"\"B\"\"\" ,\"Wideband FM\"\n"
                            "011,\"two\r\nlines\",Apco 25,450,455\n"
                            "012,\"three\nshort\nlines\" x,Apco 25,450,455\n"
                            "013,\"\",Apco 25,450,455\n"
                            "014,AB\"C,Apco 25,450,455\n";
    CTmpDoc doc;
    FileResult r = ImportCsv(csv, doc);
    ASSERT_TRUE(r.ok()) << r.message;
    // Blanks inside the quotes are part of the value; outside they are not.
    EXPECT_EQ(doc.channels[10].text.name, "");
    EXPECT_EQ(std::string(doc.channels[10].Image().begin() + off::kChannelName,
                          doc.channels[10].Image().begin() + off::kChannelName + 8),
              std::string("  A,\"B\"\0", 8));
    EXPECT_EQ(doc.channels[10].SignalType(), 1);  // "Wideband FM" landed in the last column
    EXPECT_EQ(doc.channels[11].NameText(), "two\r\nlin");
    // A short line: its last value is the last column's.
    EXPECT_EQ(doc.channels[11].Word(off::kTxFrequency), 0x0450);
    EXPECT_EQ(doc.channels[11].Word(off::kRxFrequency), 0x0000);
    EXPECT_EQ(doc.channels[12].NameText(), "three\nsh");
    EXPECT_EQ(doc.channels[13].NameText(), "\"\"");
    EXPECT_EQ(doc.channels[14].NameText(), "AB\"C");
    EXPECT_EQ(doc.channels.UsedCount(), 5);
}

TEST(CsvQuoting, AQuoteThatIsNeverClosedStopsTheImport) {
    CTmpDoc doc;
    MakeScan(doc.channels[1]);
    const ChannelImage before = doc.channels[1].Image();
    const std::string cases[] = {
        kHeader + "\r\n001,\"AB,Apco 25,450,455\r\n002,X,Apco 25\r\n",
        kHeader + "\r\n001,AB,Apco 25,450,455\r\n002,X,Apco 25,\"450",
        // A quote opened and followed by far more text than any record has.
        kHeader + "\r\n001,AB,Apco 25\r\n002,X,Apco 25,\"" + std::string(200000, 'z') + "\",1",
        kHeader + "\r\n001,AB,Apco 25\r\n002,X,Apco 25,\"" + std::string(100000, '\n') + "\",1",
    };
    const char* messages[] = {
        "Line 2, column 2 (Channel Name): the quoted field is not closed.",
        "Line 3, column 4 (Tx Frequency (MHz)): the quoted field is not closed.",
        "Line 3, column 4 (Tx Frequency (MHz)): the quoted field is not closed.",
        "Line 3, column 4 (Tx Frequency (MHz)): the quoted field is not closed.",
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        FileResult r = ImportCsv(cases[i], doc);
        EXPECT_EQ(r.status, FileResult::Status::Failed) << i;
        EXPECT_EQ(r.message, messages[i]);
        EXPECT_EQ(doc.channels[1].Image(), before);
        EXPECT_EQ(doc.channels.UsedCount(), 1);
        EXPECT_FALSE(doc.IsModified());
    }
    // An unclosed quote in the header line is reported on line 1.
    FileResult r = ImportCsv("Channel Number,\"Channel Name", doc);
    EXPECT_EQ(r.message, "Line 1, column 2 (Channel Name): the quoted field is not closed.");
}

TEST(CsvQuoting, ARecordOverLinesAndPiecesReadsTheSameFromAFile) {
    const std::string longName(3000, 'N');
    // A NUL ends what is read of its line, a quote after it included.
    const char nulLine[] = "003,NUL,Apco 25,\0\"cut,x\r\n";
    const std::string csv = kHeader + "\r\n001,\"" + longName + "\",Apco 25,450,455,x\r\n" +
                            "002,\"L1\r\nL2\",Wideband FM,450,455\r\n" +
                            std::string(nulLine, sizeof nulLine - 1) + "004,after,Apco 25";
    auto path = std::filesystem::temp_directory_path() / "quillon_csv_quoted.csv";
    { std::ofstream(path, std::ios::binary) << csv; }
    CTmpDoc fromText, fromFile;
    ASSERT_TRUE(ImportCsv(csv, fromText).ok());
    FileResult r = ImportCsvFile(path.string(), fromFile);
    std::filesystem::remove(path);
    ASSERT_TRUE(r.ok()) << r.message;
    for (int i = 0; i < kChannelCount; ++i) {
        ASSERT_EQ(fromText.channels[i].Image(), fromFile.channels[i].Image()) << i;
    }
    // The quoted name goes on past the piece the line reader cuts.
    EXPECT_EQ(fromFile.channels[1].NameText(), "NNNNNNNN");
    EXPECT_EQ(fromFile.channels[1].Word(off::kRxFrequency), 0x0455);
    EXPECT_EQ(fromFile.channels[3].NameText(), "NUL");
    EXPECT_EQ(fromFile.channels[2].NameText(), "L1\r\nL2");
    EXPECT_EQ(fromFile.channels[4].NameText(), "after");
    EXPECT_EQ(fromFile.channels.UsedCount(), 4);
}
