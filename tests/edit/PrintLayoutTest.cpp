// The printed channel table: how many channels a page holds, which page and
// cell each lands in, the titles, and the texts of the cells.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "edit/PrintLayout.h"
#include "edit/PrintMessages.h"

namespace quillon::edit {
namespace {

using model::CChannel;
using model::CTmpDoc;

// Paper whose drawing area simply turns with it.
PageAreaFor Paper(double width, double height) {
    return [width, height](PageOrientation o) {
        return o == PageOrientation::Portrait ? PageArea{width, height} : PageArea{height, width};
    };
}
const PageAreaFor kLetter = Paper(8.5, 11.0);
const PageAreaFor kA4 = Paper(8.27, 11.69);

void MakeFixed(CTmpDoc& doc, int c) {
    doc.channels[c].SetKind(model::ChannelKind::Fixed);
    doc.channels[c].SetNameBytes("F" + std::to_string(c));
}

void MakeScan(CTmpDoc& doc, int c, int refs) {
    CChannel& ch = doc.channels[c];
    ch.SetKind(model::ChannelKind::Scan);
    ch.SetNameBytes("S" + std::to_string(c));
    ch.SetScanRefCount(static_cast<uint16_t>(refs));
    for (int i = 0; i < refs; ++i) {
        ch.SetScanRef(i, static_cast<uint16_t>(i + 1), 0x15);
    }
}

// 5 fixed channels in slots 10..14 and 13 scan channels in 100..112, with
// an empty slot between scan channels to show that empty ones are skipped.
CTmpDoc FiveFixedThirteenScan() {
    CTmpDoc doc;
    doc.SetPathName("/tmp/plan.bcf");
    for (int c = 10; c < 15; ++c) {
        MakeFixed(doc, c);
    }
    for (int c = 100; c < 113; ++c) {
        MakeScan(doc, c + (c > 105 ? 1 : 0), 1);
    }
    return doc;
}

std::string CellText(const PrintedPage& p, int row, int column) {
    const PrintedCell* c = p.CellAt(row, column);
    return c == nullptr ? "<none>" : c->text;
}

TEST(PrintGrid, LetterPortraitHoldsFourFixedAndTwelveScanChannels) {
    const PageGrid g = FitGrid(PageOrientation::Portrait, kLetter);
    EXPECT_EQ(g.orientation, PageOrientation::Portrait);
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.rows, 57);

    PrintLists lists;
    lists.fixed = {1, 2, 3, 4, 5};
    lists.scan = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    PrintLayout layout;
    ASSERT_TRUE(LayoutJob(lists, g, layout));
    EXPECT_EQ(layout.fixedPerPage, 4);
    EXPECT_EQ(layout.scanPerPage, 12);
    EXPECT_EQ(layout.fixedPages, 2);
    EXPECT_EQ(layout.scanPages, 2);
    EXPECT_EQ(layout.PageCount(), 4);

    // A kind the job lacks has no pages.
    lists.scan.clear();
    ASSERT_TRUE(LayoutJob(lists, g, layout));
    EXPECT_EQ(layout.scanPages, 0);
    EXPECT_EQ(layout.PageCount(), 2);
}

TEST(PrintGrid, A4LandscapeIsTurnedToPortraitAndCountedAgain) {
    // Counted as it came, the landscape page gives 7 columns and 43 rows;
    // after the turn to portrait the grid must fit the 8.27-inch width.
    const PageGrid g = FitGrid(PageOrientation::Landscape, kA4);
    EXPECT_EQ(g.orientation, PageOrientation::Portrait);
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.rows, 61);
    EXPECT_DOUBLE_EQ(g.area.width, 8.27);
    EXPECT_LE(kGridLeftInches + g.columns * kColumnWidthInches, g.area.width);

    // The turned page is asked for its own area: margins need not turn
    // with the paper.
    std::vector<PageOrientation> asked;
    const PageAreaFor uneven = [&asked](PageOrientation o) {
        asked.push_back(o);
        return o == PageOrientation::Portrait ? PageArea{6.6, 11.0} : PageArea{11.0, 8.5};
    };
    const PageGrid u = FitGrid(PageOrientation::Landscape, uneven);
    EXPECT_EQ(asked, (std::vector<PageOrientation>{PageOrientation::Landscape,
                                                   PageOrientation::Portrait}));
    EXPECT_EQ(u.columns, 4);  // (6.6 - 0.5) / 1.5
    EXPECT_EQ(u.rows, 57);

    // A page already upright is asked once.
    asked.clear();
    FitGrid(PageOrientation::Portrait, uneven);
    EXPECT_EQ(asked, std::vector<PageOrientation>{PageOrientation::Portrait});
}

TEST(PrintGrid, AWideShortStripIsTurnedToLandscape) {
    // 40 x 4 inches: 21 rows but 26 columns, so the strip is turned and
    // counted as 4 inches wide.
    const PageGrid g = FitGrid(PageOrientation::Portrait, Paper(40.0, 4.0));
    EXPECT_EQ(g.orientation, PageOrientation::Landscape);
    EXPECT_EQ(g.columns, 2);
    EXPECT_EQ(g.rows, 210);
}

TEST(PrintGrid, NeverMoreThanTwentyColumns) {
    for (double width : {32.0, 34.0, 60.0, 1000.0}) {
        const PageGrid g = FitGrid(PageOrientation::Portrait, Paper(width, width * 1.3));
        EXPECT_EQ(g.columns, kMaxColumns) << width;
        EXPECT_EQ(g.orientation, PageOrientation::Portrait) << width;
    }
    // Just under the cap it is not touched.
    EXPECT_EQ(FitGrid(PageOrientation::Portrait, Paper(29.0, 40.0)).columns, 19);
}

TEST(PrintGrid, NonsenseAreasHoldNothingOrTheCaps) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (PageArea a : {PageArea{nan, nan}, PageArea{-8.5, -11.0}, PageArea{0.0, 0.0}}) {
        const PageGrid g = FitGrid(PageOrientation::Portrait, [a](PageOrientation) { return a; });
        EXPECT_EQ(g.columns, 0);
        EXPECT_EQ(g.rows, 0);
    }
    const PageGrid big = FitGrid(PageOrientation::Portrait, [inf](PageOrientation) {
        return PageArea{inf, inf};
    });
    EXPECT_EQ(big.columns, kMaxColumns);
    EXPECT_EQ(big.rows, kMaxRows);
}

TEST(PrintGrid, PageTooSmallForAKindTheJobHas) {
    PrintLists fixedOnly;
    fixedOnly.fixed = {0};
    PrintLists scanOnly;
    scanOnly.scan = {1};
    PrintLayout layout;

    // No channel column at all.
    const PageGrid narrow = FitGrid(PageOrientation::Portrait, Paper(1.9, 11.0));
    EXPECT_EQ(narrow.columns, 0);
    EXPECT_FALSE(LayoutJob(scanOnly, narrow, layout));

    // 3.5 x 5 inches: 2 columns, 26 rows; a 19-row scan block fits, a
    // 29-row fixed block does not.
    const PageGrid small = FitGrid(PageOrientation::Portrait, Paper(3.5, 5.0));
    EXPECT_EQ(small.columns, 2);
    EXPECT_EQ(small.rows, 26);
    EXPECT_FALSE(LayoutJob(fixedOnly, small, layout));
    ASSERT_TRUE(LayoutJob(scanOnly, small, layout));
    EXPECT_EQ(layout.scanPerPage, 1);

    CTmpDoc doc;
    MakeFixed(doc, 3);
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, Paper(3.5, 5.0));
    ASSERT_NE(plan.error, nullptr);
    EXPECT_STREQ(plan.error, "Printer page size is too small. Can't print!");
    EXPECT_TRUE(plan.pages.empty());
}

TEST(PrintPlan, NoChannelsIsRefusedBeforeThePrinterIsAsked) {
    CTmpDoc doc;
    bool asked = false;
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, [&asked](PageOrientation) {
        asked = true;
        return PageArea{8.5, 11.0};
    });
    ASSERT_NE(plan.error, nullptr);
    EXPECT_STREQ(plan.error, "No channels to print!");
    EXPECT_FALSE(asked);
    EXPECT_TRUE(plan.pages.empty());
}

TEST(PrintPlan, FiveFixedAndThirteenScanChannelsMakeFourTitledPages) {
    const CTmpDoc doc = FiveFixedThirteenScan();
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(plan.error, nullptr);
    ASSERT_EQ(plan.pages.size(), 4u);
    EXPECT_EQ(plan.pages[0].title.text, "plan.bcf - Fixed Channels - Page 1 of 4");
    EXPECT_EQ(plan.pages[1].title.text, "plan.bcf - Fixed Channels - Page 2 of 4");
    EXPECT_EQ(plan.pages[2].title.text, "plan.bcf - Scan Channels - Page 3 of 4");
    EXPECT_EQ(plan.pages[3].title.text, "plan.bcf - Scan Channels - Page 4 of 4");
    for (const PrintedPage& p : plan.pages) {
        EXPECT_TRUE(p.title.bold);
        EXPECT_DOUBLE_EQ(p.title.points, 12.0);
        EXPECT_DOUBLE_EQ(p.title.top, 0.1);
        EXPECT_DOUBLE_EQ(p.title.width, 8.5);
        EXPECT_EQ(p.grid.columns, 5);
        // The grid stays on the paper.
        EXPECT_LE(p.grid.left + p.grid.columns * p.grid.columnWidth, 8.5);
        EXPECT_LE(p.grid.top + p.grid.rows * p.grid.rowHeight, 11.0);
    }
    // Whole blocks only: one fixed block of 29 rows, three scan blocks of 19.
    EXPECT_EQ(plan.pages[0].grid.rows, 29);
    EXPECT_EQ(plan.pages[2].grid.rows, 57);

    // Page 1: four fixed channels across; page 2: the fifth alone.
    EXPECT_EQ(CellText(plan.pages[0], 0, 1), " 10");
    EXPECT_EQ(CellText(plan.pages[0], 0, 4), " 13");
    EXPECT_EQ(CellText(plan.pages[0], 1, 4), " F13");
    EXPECT_EQ(CellText(plan.pages[1], 0, 1), " 14");
    EXPECT_EQ(CellText(plan.pages[1], 0, 2), "<none>");
    EXPECT_EQ(CellText(plan.pages[1], 1, 2), "<none>");
    // The label column is printed in full even on the nearly empty page.
    EXPECT_EQ(CellText(plan.pages[1], 28, 0), " Squelch Level");

    // Page 3: twelve scan channels, four across in three blocks of 19
    // rows; slot 106 is empty, so the seventh is 107.
    EXPECT_EQ(CellText(plan.pages[2], 0, 1), " 100");
    EXPECT_EQ(CellText(plan.pages[2], 0, 4), " 103");
    EXPECT_EQ(CellText(plan.pages[2], 19, 1), " 104");
    EXPECT_EQ(CellText(plan.pages[2], 19, 3), " 107");
    EXPECT_EQ(CellText(plan.pages[2], 20, 3), " S107");
    EXPECT_EQ(CellText(plan.pages[2], 38, 4), " 112");
    EXPECT_EQ(CellText(plan.pages[3], 0, 1), " 113");
    EXPECT_EQ(CellText(plan.pages[3], 19, 1), "<none>");
    EXPECT_EQ(CellText(plan.pages[3], 19, 0), " Channel Number");
    EXPECT_EQ(CellText(plan.pages[3], 56, 0), " Dwell Time 8");

    // Every channel exactly once over the whole job.
    std::multiset<std::string> numbers;
    for (const PrintedPage& p : plan.pages) {
        for (const PrintedCell& c : p.cells) {
            if (c.column > 0 && c.bold) {
                numbers.insert(c.text);
            }
        }
    }
    std::multiset<std::string> expected;
    for (int c :
         {10, 11, 12, 13, 14, 100, 101, 102, 103, 104, 105, 107, 108, 109, 110, 111, 112, 113}) {
        expected.insert(" " + std::to_string(c));
    }
    EXPECT_EQ(numbers, expected);
}

TEST(PrintPlan, LabelColumnRepeatsTheBlockTitlesWithTheNumberRowsBold) {
    CTmpDoc doc;
    MakeScan(doc, 7, 0);
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(plan.pages.size(), 1u);
    const PrintedPage& p = plan.pages[0];
    EXPECT_EQ(p.title.text, "Untitled - Scan Channels - Page 1 of 1");
    for (int r = 0; r < 57; ++r) {
        const PrintedCell* c = p.CellAt(r, 0);
        ASSERT_NE(c, nullptr) << r;
        EXPECT_EQ(c->text, std::string(" ") + printmsg::kScanRowTitles[static_cast<size_t>(r % 19)])
            << r;
        EXPECT_EQ(c->bold, r % 19 == 0) << r;
        EXPECT_DOUBLE_EQ(c->points, 8.0) << r;
    }
    EXPECT_EQ(p.CellAt(57, 0), nullptr);
}

// Slot 42: a narrowband repeater on tone remote control, every field set to
// something other than its neighbour, encrypted.
CChannel RichFixedChannel() {
    CChannel ch;
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetNameBytes("HILL");
    const std::vector<std::pair<size_t, std::vector<uint8_t>>> fields = {
        {model::off::kSignalType, {3}},
        {model::off::kTxFrequency, {0x01, 0x55, 0x12, 0x50, 0x00}},
        {model::off::kRxFrequency, {0x01, 0x54, 0x67, 0x50, 0x00}},
        {model::off::kSquelchSystem, {1}},
        {model::off::kTxNac, {0xF0, 0x00}},
        {model::off::kRxNac, {0x02, 0x93}},
        {model::off::kTxCxcss, {0x13, 0x18}},
        {model::off::kRxCxcss, {0xF0, 0x00}},
        {model::off::kOperationMode, {2}},
        {model::off::kControlMode, {3}},
        {model::off::kFrontPanelPtt, {1}},
        {model::off::kLinkRadio, {0}},
        {model::off::kTxKeyId, {0x00, 0x12}},
        {model::off::kTxAlgorithmId, {1}},
        {model::off::kTalkgroupId, {0x00, 0x01}},
        {model::off::kPowerWatts, {0x00, 0x50}},
        {model::off::kPttDelay, {0x02, 0x50}},
        {model::off::kCourtesyTimer, {0x01, 0x50}},
        {model::off::kPttTail, {0x00, 0x50}},
        {model::off::kCourtesyTone, {3}},
        {model::off::kPttTimeout, {0x01, 0x80}},
        {model::off::kHalfDuplex, {1}},
        {model::off::kUnitId, {0x00, 0x01, 0x23}},
        {model::off::kReverseBurst, {0}},
        {model::off::kCdcssInvert, {model::val::kInvertTx}},
        {model::off::kAutosenseTx, {model::val::kAutosenseDigital}},
        {model::off::kSquelchLevel, {0x03}},
    };
    for (const auto& [at, bytes] : fields) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            ch.SetByte(at + i, bytes[i]);
        }
    }
    return ch;
}

TEST(PrintCells, AFixedChannelPrintsEveryRowWithItsSubstitutions) {
    const model::SquGroup groups;
    const auto cells = FixedChannelCells(42, RichFixedChannel(), groups);
    const std::array<std::string, 29> expected = {
        " 42",         " HILL",     " Narrowband FM", " 155.125", " 154.675", " CTCSS",
        " Same As RX", " 0x293",    " 131.8",         " Any",     " TX only", " Repeater",
        " Tone Rmt",   " On",       " Off",           " 0x0012",  " DES-OFB", " 0x0001",
        " 50",         " 0.250",    " 5.0",           " 180",     " 1.50",    " 1000Hz",
        " On",         " 0x000123", " Off",           " Digital", " 03"};
    for (size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(cells[r], expected[r]) << "row " << r;
    }
}

TEST(PrintCells, CodesThatMeanNoneAnyOrSameAsRx) {
    const model::SquGroup groups;
    CChannel ch = RichFixedChannel();
    // No codes at all, CTCSS: "0x000" and "000.0".
    ch.SetWord(model::off::kTxNac, 0);
    ch.SetWord(model::off::kRxNac, 0);
    ch.SetWord(model::off::kTxCxcss, 0);
    ch.SetWord(model::off::kRxCxcss, 0);
    ch.SetByte(model::off::kCdcssInvert, model::val::kInvertTx | model::val::kInvertRx);
    ch.SetByte(model::off::kTxAlgorithmId, 0);
    auto cells = FixedChannelCells(1, ch, groups);
    EXPECT_EQ(cells[6], " None");
    EXPECT_EQ(cells[7], " None");
    EXPECT_EQ(cells[8], " None");
    EXPECT_EQ(cells[9], " None");
    EXPECT_EQ(cells[10], " TX and RX");
    EXPECT_EQ(cells[16], " No encryption");

    // CDCSS: "000" for none, "f000" for any and as-RX.
    ch.SetByte(model::off::kSquelchSystem, model::val::kSquelchCdcss);
    ch.SetByte(model::off::kCdcssInvert, model::val::kInvertRx);
    cells = FixedChannelCells(1, ch, groups);
    EXPECT_EQ(cells[5], " CDCSS");
    EXPECT_EQ(cells[8], " None");
    EXPECT_EQ(cells[9], " None");
    EXPECT_EQ(cells[10], " RX only");
    ch.SetWord(model::off::kTxCxcss, 0xF000);
    ch.SetWord(model::off::kRxCxcss, 0xF000);
    ch.SetWord(model::off::kRxNac, 0xF000);
    ch.SetByte(model::off::kCdcssInvert, 0);
    cells = FixedChannelCells(1, ch, groups);
    EXPECT_EQ(cells[7], " Any");
    EXPECT_EQ(cells[8], " Same As RX");
    EXPECT_EQ(cells[9], " Any");
    EXPECT_EQ(cells[10], " No");
    // A real CDCSS code is printed as it is.
    ch.SetWord(model::off::kTxCxcss, 0x0023);
    EXPECT_EQ(FixedChannelCells(1, ch, groups)[8], " 023");
}

TEST(PrintCells, AGroupChannelPrintsItsGroupsName) {
    model::SquGroup groups;
    groups.SetName(1, "HILLTOP");
    groups.SetName(11, "VALLEY");
    CChannel ch = RichFixedChannel();
    ch.SetByte(model::off::kSquelchSystem, model::val::kSquelchCtcssGroup);
    ch.SetWord(model::off::kRxCxcss, 0xF002);
    EXPECT_EQ(FixedChannelCells(5, ch, groups)[9], " GRP: HILLTOP");
    ch.SetByte(model::off::kSquelchSystem, model::val::kSquelchCdcssGroup);
    ch.SetWord(model::off::kRxCxcss, 0xF012);
    EXPECT_EQ(FixedChannelCells(5, ch, groups)[9], " GRP: VALLEY");
    // A number naming no group (0, or past 16) prints the prefix alone.
    ch.SetWord(model::off::kRxCxcss, 0xF000);
    EXPECT_EQ(FixedChannelCells(5, ch, groups)[9], " GRP: ");
    ch.SetWord(model::off::kRxCxcss, 0xF099);
    EXPECT_EQ(FixedChannelCells(5, ch, groups)[9], " GRP: ");

    // On the page, in the RX Cxcss row of the channel's column.
    CTmpDoc doc;
    doc.squelchGroups.SetName(1, "HILLTOP");
    doc.channels[3] = RichFixedChannel();
    doc.channels[3].SetByte(model::off::kSquelchSystem, model::val::kSquelchCtcssGroup);
    doc.channels[3].SetWord(model::off::kRxCxcss, 0xF002);
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(plan.pages.size(), 1u);
    EXPECT_EQ(CellText(plan.pages[0], 9, 0), " RX Cxcss");
    EXPECT_EQ(CellText(plan.pages[0], 9, 1), " GRP: HILLTOP");
}

TEST(PrintCells, AScanChannelWithThreeReferencesLeavesTheRestEmpty) {
    CChannel ch;
    ch.SetKind(model::ChannelKind::Scan);
    ch.SetNameBytes("ROAM");
    ch.SetScanRefCount(3);
    ch.SetScanRef(0, 0x0005, 0x15);
    ch.SetScanRef(1, 0x0123, 0x99);
    ch.SetScanRef(2, 0x0511, 0x02);
    const auto cells = ScanChannelCells(77, ch);
    const std::array<std::string, 19> expected = {
        " 77", " ROAM", " 3", " 005", " 1.5", " 123", " 9.9", " 511", " 0.2", "",
        "",    "",      "",   "",     "",     "",     "",     "",     ""};
    for (size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(cells[r], expected[r]) << "row " << r;
    }

    // On the page nothing at all is drawn in rows 9 to 18.
    CTmpDoc doc;
    doc.channels[77] = ch;
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(plan.pages.size(), 1u);
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(CellText(plan.pages[0], r, 1), expected[static_cast<size_t>(r)]) << r;
    }
    for (int r = 9; r < 19; ++r) {
        EXPECT_EQ(plan.pages[0].CellAt(r, 1), nullptr) << r;
    }

    // A stored count above the eight slots walks the eight and no further.
    ch.SetScanRefCount(0xFFFF);
    const auto many = ScanChannelCells(77, ch);
    EXPECT_EQ(many[2], " 65535");
    EXPECT_EQ(many[3], " 005");
    EXPECT_EQ(many[17], " 000");
    EXPECT_EQ(many[18], " 0.0");
}

TEST(PrintCells, EightBitNamesBecomeTheirCodePoints) {
    CChannel ch;
    ch.SetKind(model::ChannelKind::Scan);
    ch.SetNameBytes("CAF\xC9");
    EXPECT_EQ(ScanChannelCells(1, ch)[1], " CAF\xC3\x89");
}

TEST(PrintPlan, KeysNeverAppearInPrint) {
    CTmpDoc doc = FiveFixedThirteenScan();
    const std::string key = "0123456789abcdef";
    ASSERT_TRUE(doc.keys.Add(key, 0x12));
    doc.channels[10] = RichFixedChannel();  // uses key id 0x12 with DES-OFB
    const PrintPlan plan = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(plan.error, nullptr);
    bool keyIdShown = false;
    for (const PrintedPage& p : plan.pages) {
        EXPECT_EQ(p.title.text.find("0123"), std::string::npos);
        for (const PrintedCell& c : p.cells) {
            EXPECT_EQ(c.text.find("0123456789"), std::string::npos) << c.text;
            EXPECT_EQ(c.text.find("89abcdef"), std::string::npos) << c.text;
            keyIdShown = keyIdShown || c.text == " 0x0012";
        }
    }
    EXPECT_TRUE(keyIdShown);  // the key's identifier is printed, its bytes are not
}

TEST(PrintPlan, AJobAbandonedAndRunAgainPrintsEveryChannelOnce) {
    // Each job starts from empty lists: a cancelled job leaves nothing that
    // a second one would print twice.
    const CTmpDoc doc = FiveFixedThirteenScan();
    PrintLists lists = CollectPrintChannels(doc);
    EXPECT_EQ(lists.fixed, (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(lists.scan.size(), 13u);
    lists = CollectPrintChannels(doc);
    EXPECT_EQ(lists.fixed.size(), 5u);
    EXPECT_EQ(lists.scan.size(), 13u);
    const PrintPlan first = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    const PrintPlan again = PlanPrint(doc, PageOrientation::Portrait, kLetter);
    ASSERT_EQ(again.pages.size(), first.pages.size());
    for (size_t i = 0; i < again.pages.size(); ++i) {
        EXPECT_EQ(again.pages[i].title.text, first.pages[i].title.text);
        EXPECT_EQ(again.pages[i].cells.size(), first.pages[i].cells.size());
    }
}

TEST(PrintPlan, PrintingDoesNotTouchTheDocument) {
    CTmpDoc doc = FiveFixedThirteenScan();
    doc.channels[10].text.name = "stale";
    PlanPrint(doc, PageOrientation::Portrait, kLetter);
    EXPECT_EQ(doc.channels[10].text.name, "stale");
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace quillon::edit
