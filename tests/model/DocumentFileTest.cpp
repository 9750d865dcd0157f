#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/Archive.h"
#include "model/DocumentFile.h"
#include "model/Messages.h"

using namespace quillon::model;
using Bytes = std::vector<uint8_t>;

namespace {

// Hand-made document files, item by item, as other tools write them.
struct FileBuilder {
    Bytes b;
    FileBuilder& Str(const std::string& s) {
        b.push_back(static_cast<uint8_t>(s.size()));  // all test strings are short
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    FileBuilder& Raw(std::initializer_list<uint8_t> bytes) {
        b.insert(b.end(), bytes);
        return *this;
    }
    FileBuilder& Zeros(size_t n) {
        b.insert(b.end(), n, 0);
        return *this;
    }
    // Key section with no keys, default squelch groups, unassigned tones.
    FileBuilder& EmptySections() {
        Raw({0x00, 0x00});
        for (int i = 0; i < 16; ++i) {
            Str("");
            Raw({0, 0, 0, 0});
        }
        for (int g = 1; g <= 16; ++g) {
            Str("SQUELCH GROUP " + std::to_string(g));
            for (int i = 0; i < 16; ++i) {
                Str("");
                Raw({4});
            }
        }
        for (int s = 0; s < 12; ++s) {
            Raw({4});
            Str("");
        }
        return *this;
    }
};

Bytes Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DocumentFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_docfile_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

}  // namespace

TEST(Archive, StringPrefixForms) {
    ArchiveWriter w;
    w.WriteString("");
    w.WriteString("0xFFFF");
    EXPECT_EQ(w.Bytes(), (Bytes{0x00, 0x06, '0', 'x', 'F', 'F', 'F', 'F'}));

    ArchiveWriter w300;
    w300.WriteString(std::string(300, 'q'));
    ASSERT_EQ(w300.Bytes().size(), 303u);
    EXPECT_EQ(Bytes(w300.Bytes().begin(), w300.Bytes().begin() + 4),
              (Bytes{0xFF, 0x2C, 0x01, 'q'}));

    ArchiveWriter w254, w255, wBig;
    w254.WriteString(std::string(254, 'a'));
    w255.WriteString(std::string(255, 'a'));
    wBig.WriteString(std::string(65534, 'a'));
    EXPECT_EQ(w254.Bytes()[0], 254);
    EXPECT_EQ(Bytes(w255.Bytes().begin(), w255.Bytes().begin() + 3), (Bytes{0xFF, 0xFF, 0x00}));
    EXPECT_EQ(Bytes(wBig.Bytes().begin(), wBig.Bytes().begin() + 7),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));

    for (const ArchiveWriter* aw : {&w300, &w255, &wBig}) {
        ArchiveReader r(aw->Bytes().data(), aw->Bytes().size());
        EXPECT_EQ(r.ReadString().size() + 0, aw->Bytes().size() - (aw == &wBig ? 7 : 3));
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(Archive, ReaderRefusesLengthsBeyondTheData) {
    const Bytes longer = {0x05, 'a', 'b'};
    ArchiveReader r1(longer.data(), longer.size());
    EXPECT_THROW(r1.ReadString(), ArchiveError);
    // A 32-bit length of 4 GB in a ten-byte file must not allocate anything.
    const Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    ArchiveReader r2(huge.data(), huge.size());
    EXPECT_THROW(r2.ReadString(), ArchiveError);
    const Bytes wide = {0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 0x42, 0x01, 'C', 0};
    ArchiveReader r3(wide.data(), wide.size());
    EXPECT_EQ(r3.ReadString(), "A?C");
    const Bytes wideShort = {0xFF, 0xFE, 0xFF, 0x09, 'A', 0};
    ArchiveReader r4(wideShort.data(), wideShort.size());
    EXPECT_THROW(r4.ReadString(), ArchiveError);
    const Bytes shortInt = {0x01, 0x02, 0x03};
    ArchiveReader r5(shortInt.data(), shortInt.size());
    EXPECT_THROW(r5.ReadU32(), ArchiveError);
}

TEST(DocumentFile, SavedFileBeginsWithTagAndFormatNumbers) {
    CTmpDoc doc;
    Bytes file = WriteDocument(doc);
    const Bytes head = {
        0x0A, 'v', 'e', 'l', 't', 'p', '_', 'v', '3', '_', '5', 0x01, '2', 0x01, '4',
        // docText1, docText2, front panel monitor and volume
        0x00, 0x00, 0x01, '1', 0x02, '1', '0',
        // back panel output, default channel, docText3, count
        0x01, '1', 0x06, '0', 'x', 'F', 'F', 'F', 'F', 0x01, '0', 0x03, '5', '1', '2'};
    ASSERT_GT(file.size(), head.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + static_cast<long>(head.size())), head);
    // 512 images of 78 bytes, then the key section (2 + 16 x 5 bytes), the
    // squelch groups (16 names of 15 or 16 characters, 16 x 16 x 2 bytes) and
    // the tone list (12 x 2).
    size_t names = 9 * 16 + 7 * 17;
    EXPECT_EQ(file.size(), head.size() + 512 * 78 + 82 + names + 512 + 24);
}

TEST(DocumentFile, RoundTripKeepsEverything) {
    CTmpDoc doc;
    doc.docText1 = "first";
    doc.docText2 = std::string(300, 'x');
    doc.docText3 = "third";
    doc.frontPanelMonitor = "0";
    doc.frontPanelVolume = "7";
    doc.backPanelOutput = "0";
    doc.defaultChannel = "0x0012";
    doc.channels[0].SetKind(ChannelKind::Fixed);
    doc.channels[0].Image()[off::kLegacyText] = 0xA5;
    doc.channels[511].SetKind(ChannelKind::Scan);
    doc.channels[511].SetScanRefCount(0x0201);
    doc.keys.Add("0123456789abcdef", 0x1a);
    doc.squelchGroups.SetItem(15, 15, SquGroup::kCdcss, "023");
    doc.squelchGroups.SetName(3, "");
    doc.toneRemote.SetEntry(2, CToneRemote::kChannel, 12);
    Bytes file = WriteDocument(doc);

    CTmpDoc back;
    back.frontPanelVolume = "junk";
    FileResult r = ReadDocument(file.data(), file.size(), back);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(back.formatTag, "veltp_v3_5");
    EXPECT_EQ(back.formatNumber1, "2");
    EXPECT_EQ(back.formatNumber2, "4");
    EXPECT_EQ(back.docText1, "first");
    EXPECT_EQ(back.docText2, doc.docText2);
    EXPECT_EQ(back.docText3, "third");
    EXPECT_EQ(back.frontPanelMonitor, "0");
    EXPECT_EQ(back.frontPanelVolume, "7");
    EXPECT_EQ(back.backPanelOutput, "0");
    EXPECT_EQ(back.defaultChannel, "0x0012");
    for (int i = 0; i < kChannelCount; ++i) {
        ASSERT_EQ(back.channels[i].Image(), doc.channels[i].Image()) << i;
    }
    EXPECT_EQ(back.keys.Count(), 1);
    EXPECT_EQ(back.keys.Get(0).key, "0123456789abcdef");
    EXPECT_EQ(back.keys.Get(0).kid, 0x1a);
    EXPECT_EQ(back.squelchGroups.GetItem(15, 15).value, "023");
    EXPECT_EQ(back.squelchGroups.GetItem(15, 15).type, SquGroup::kCdcss);
    EXPECT_EQ(back.squelchGroups.GetName(3), "");
    EXPECT_EQ(back.squelchGroups.GetName(4), "SQUELCH GROUP 5");
    EXPECT_EQ(back.toneRemote.RawEntry(2).function, CToneRemote::kChannel);
    EXPECT_EQ(back.toneRemote.RawEntry(2).argument, "12");
    EXPECT_EQ(WriteDocument(back), file);
}

TEST(DocumentFile, Version32HasShortRecordsAndForcesSquelchLevel) {
    FileBuilder f;
    f.Str("veltp_v3_2").Str("2").Str("4").Str("t1").Str("t2").Str("0").Str("5");
    f.Str("t3").Str("2");
    Bytes record(77, 0);
    record[10] = 1;     // fixed
    record[17] = 0x04;  // receive frequency 4xx MHz
    record[75] = 0x07;  // squelch level in the file
    record[76] = 0x00;
    f.b.insert(f.b.end(), record.begin(), record.end());
    record[10] = 2;
    record[75] = 0x00;
    record[76] = 0x03;  // scan reference count, low byte
    f.b.insert(f.b.end(), record.begin(), record.end());
    f.EmptySections();

    CTmpDoc doc;
    doc.backPanelOutput = "0";
    doc.defaultChannel = "0x0001";
    FileResult r = ReadDocument(f.b.data(), f.b.size(), doc);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(doc.formatTag, "veltp_v3_2");
    EXPECT_EQ(doc.docText1, "t1");
    EXPECT_EQ(doc.docText3, "t3");
    EXPECT_EQ(doc.frontPanelMonitor, "0");
    EXPECT_EQ(doc.frontPanelVolume, "5");
    EXPECT_EQ(doc.backPanelOutput, "1");
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");
    EXPECT_EQ(doc.channels[0].KindByte(), 1);
    EXPECT_EQ(doc.channels[0].Byte(17), 0x04);
    EXPECT_EQ(doc.channels[0].SquelchLevel(), 0x03);
    EXPECT_EQ(doc.channels[1].KindByte(), 2);
    EXPECT_EQ(doc.channels[1].SquelchLevel(), 0x03);
    EXPECT_EQ(doc.channels[1].ScanRefCount(), 3);
    EXPECT_EQ(doc.channels[1].Byte(77), 0x00);
    // Slots beyond the count stay cleared.
    EXPECT_EQ(doc.channels[2].KindByte(), 0);
    EXPECT_EQ(doc.channels[2].TalkgroupId(), 0x0001);
}

TEST(DocumentFile, Version33And34GetTheMissingSettings) {
    for (const char* tag : {"veltp_v3_3", "veltp_v3_4"}) {
        FileBuilder f;
        f.Str(tag).Str("2").Str("4").Str("").Str("").Str("1").Str("10");
        bool v34 = std::string(tag) == "veltp_v3_4";
        if (v34) {
            f.Str("0");
        }
        f.Str("0").Str("1");
        Bytes record(78, 0);
        record[10] = 1;
        record[75] = 0x09;
        f.b.insert(f.b.end(), record.begin(), record.end());
        f.EmptySections();
        CTmpDoc doc;
        doc.backPanelOutput = "7";
        doc.defaultChannel = "0x0003";
        FileResult r = ReadDocument(f.b.data(), f.b.size(), doc);
        ASSERT_TRUE(r.ok()) << tag;
        EXPECT_EQ(doc.backPanelOutput, v34 ? "0" : "1") << tag;
        EXPECT_EQ(doc.defaultChannel, "0xFFFF") << tag;
        EXPECT_EQ(doc.channels[0].SquelchLevel(), 0x09) << tag;
    }
}

TEST(DocumentFile, OtherTagsAreRefusedAndLeaveTheDocumentEmpty) {
    for (const char* tag : {"veltp_v2", "veltp", "veltp_v3_1", "veltp_v3", "VELTP_V3_5", ""}) {
        FileBuilder f;
        f.Str(tag).Str("2").Str("4");
        CTmpDoc doc;
        doc.channels[4].SetKind(ChannelKind::Fixed);
        doc.docText1 = "old";
        FileResult r = ReadDocument(f.b.data(), f.b.size(), doc);
        EXPECT_EQ(r.status, FileResult::Status::Refused) << tag;
        EXPECT_EQ(r.message, "This file is not a valid data file for this application.");
        EXPECT_EQ(r.icon, quillon::Icon::Exclamation);
        EXPECT_EQ(doc.formatTag, tag);
        EXPECT_EQ(doc.channels.UsedCount(), 0);
        EXPECT_EQ(doc.docText1, "");
    }
}

TEST(DocumentFile, DamagedFilesFailAndEmptyTheDocument) {
    CTmpDoc full;
    full.channels[9].SetKind(ChannelKind::Fixed);
    const Bytes good = WriteDocument(full);

    std::vector<Bytes> damaged;
    damaged.push_back(Bytes());                                  // nothing at all
    damaged.push_back(Bytes(good.begin(), good.begin() + 200));  // cut in the table
    damaged.push_back(Bytes(good.begin(), good.end() - 1));      // cut in the tone list
    // A string whose prefix claims more than the file holds.
    FileBuilder longer;
    longer.Str("veltp_v3_5").Raw({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x7F, '2'});
    damaged.push_back(longer.b);
    // A channel count above the table.
    for (const char* count : {"513", "-1"}) {
        FileBuilder over;
        over.Str("veltp_v3_5").Str("2").Str("4").Str("").Str("").Str("1").Str("10").Str("1");
        over.Str("0xFFFF").Str("0").Str(count);
        over.Zeros(513 * 78);
        over.EmptySections();
        damaged.push_back(over.b);
    }
    // A key count above 16.
    Bytes keys = good;
    size_t keyCountAt = 37 + 512 * 78;
    ASSERT_EQ(keys[keyCountAt], 0x00);
    keys[keyCountAt] = 17;
    damaged.push_back(keys);

    for (size_t i = 0; i < damaged.size(); ++i) {
        CTmpDoc doc;
        doc.channels[3].SetKind(ChannelKind::Scan);
        doc.docText2 = "old";
        FileResult r = ReadDocument(damaged[i].data(), damaged[i].size(), doc);
        EXPECT_EQ(r.status, FileResult::Status::Failed) << i;
        EXPECT_EQ(r.message, "Unexpected file format.") << i;
        EXPECT_EQ(doc.channels.UsedCount(), 0) << i;
        EXPECT_EQ(doc.docText2, "") << i;
        EXPECT_EQ(doc.frontPanelVolume, "10") << i;
    }
}

TEST_F(DocumentFileTest, OpenAndSaveSetPathAndModifiedFlag) {
    std::filesystem::path p = dir_ / "plan.bcf";
    CTmpDoc doc;
    doc.SetModified(true);
    doc.channels[1].SetKind(ChannelKind::Fixed);
    ASSERT_TRUE(SaveDocumentFile(p.string(), doc).ok());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Title(), "plan.bcf");
    EXPECT_EQ(Slurp(p), WriteDocument(doc));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);

    CTmpDoc opened;
    opened.SetModified(true);
    ASSERT_TRUE(OpenDocumentFile(p.string(), opened).ok());
    EXPECT_FALSE(opened.IsModified());
    EXPECT_EQ(opened.PathName(), p.string());
    EXPECT_EQ(opened.channels[1].KindByte(), 1);

    FileResult missing = OpenDocumentFile((dir_ / "none.bcf").string(), opened);
    EXPECT_EQ(missing.message, "Invalid filename.");
    EXPECT_EQ(opened.channels[1].KindByte(), 1);  // an unreadable file changes nothing
}

TEST_F(DocumentFileTest, ARefusedOrDamagedFileLeavesTheOpenDocumentAndItsNameAlone) {
    std::filesystem::path mine = dir_ / "mine.bcf";
    CTmpDoc doc;
    doc.channels[7].SetKind(ChannelKind::Fixed);
    ASSERT_TRUE(SaveDocumentFile(mine.string(), doc).ok());
    doc.channels[8].SetKind(ChannelKind::Fixed);
    doc.SetModified(true);

    // A CSV file opened as a document by mistake, and a document cut short.
    std::filesystem::path csv = dir_ / "plan.csv";
    std::ofstream(csv) << "Channel Number,Channel Name\r\n001,A";
    std::filesystem::path cut = dir_ / "cut.bcf";
    const Bytes whole = Slurp(mine);
    std::ofstream(cut, std::ios::binary).write(reinterpret_cast<const char*>(whole.data()), 300);
    for (const auto& p : {csv, cut}) {
        FileResult r = OpenDocumentFile(p.string(), doc);
        EXPECT_FALSE(r.ok()) << p;
        EXPECT_EQ(doc.PathName(), mine.string()) << p;
        EXPECT_TRUE(doc.IsModified()) << p;
        EXPECT_EQ(doc.channels.UsedCount(), 2) << p;
    }
    // So the next Save writes where it did before, and the CSV is untouched.
    ASSERT_TRUE(SaveDocumentFile(doc.PathName(), doc).ok());
    std::ifstream in(csv);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Channel Number,Channel Name\r");
}

TEST_F(DocumentFileTest, FailedSaveKeepsThePreviousFile) {
    std::filesystem::path p = dir_ / "plan.bcf";
    CTmpDoc doc;
    ASSERT_TRUE(SaveDocumentFile(p.string(), doc).ok());
    const Bytes before = Slurp(p);
    // Every name the saver may use for its temporary file is taken, so the
    // save fails before it could touch the old file.
    for (int i = 0; i < 100; ++i) {
        std::ofstream(p.string() + ".tmp" + std::to_string(i)) << "x";
    }
    doc.channels[0].SetKind(ChannelKind::Fixed);
    doc.SetModified(true);
    FileResult r = SaveDocumentFile(p.string(), doc);
    EXPECT_EQ(r.status, FileResult::Status::Failed);
    EXPECT_EQ(r.message, "Invalid filename.");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Slurp(p), before);

    EXPECT_FALSE(SaveDocumentFile((dir_ / "no" / "such" / "dir.bcf").string(), doc).ok());
    EXPECT_FALSE(SaveDocumentFile(dir_.string(), doc).ok());
}
