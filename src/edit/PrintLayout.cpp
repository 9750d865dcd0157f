#include "edit/PrintLayout.h"

#include <cstddef>

#include "core/EightBitText.h"
#include "edit/PrintMessages.h"
#include "model/Messages.h"

namespace quillon::edit {

namespace {

// How many whole steps of `pitch` fit into `length` after `offset`, at most
// `cap`. A length that is not a positive number (a printer that reports
// nothing, or nonsense) holds none.
int Fitting(double length, double offset, double pitch, int cap) {
    if (!(length > offset)) {
        return 0;
    }
    const double n = (length - offset) / pitch;
    if (!(n < static_cast<double>(cap))) {
        return cap;
    }
    return static_cast<int>(n);
}

// Counted without the column cap, so that a very wide page is still seen as
// wider than tall; the cap is applied once the orientation is settled.
constexpr int kUncappedColumns = 1000000;

PageGrid CountGrid(PageOrientation orientation, PageArea area) {
    PageGrid g;
    g.orientation = orientation;
    g.area = area;
    g.columns = Fitting(area.width, kGridLeftInches, kColumnWidthInches, kUncappedColumns);
    g.rows = Fitting(area.height, 0.0, kRowPitchInches, kMaxRows);
    return g;
}

int PagesFor(size_t channels, int perPage) {
    if (channels == 0) {
        return 0;
    }
    const size_t per = static_cast<size_t>(perPage);
    return static_cast<int>((channels + per - 1) / per);
}

std::string Cell(const std::string& value) {
    return " " + EightBitToUtf8(value);
}

std::string OnOff(const std::string& flag) {
    return flag == "1" ? printmsg::kOn : printmsg::kOff;
}

bool IsNoCode(const std::string& t) {
    return t == "0x0000" || t == "000.0" || t == "000";
}

std::string TxNac(const std::string& t) {
    if (t == "0xf000") {
        return printmsg::kSameAsRx;
    }
    if (t == "0x0000" || t == "0x000") {
        return printmsg::kNone;
    }
    return t;
}

std::string RxNac(const std::string& t) {
    if (t == "0xf000") {
        return printmsg::kAny;
    }
    if (t == "0x0000" || t == "0x000") {
        return printmsg::kNone;
    }
    return t;
}

std::string TxTone(const std::string& t) {
    if (t == "f000" || t == "f00.0") {
        return printmsg::kSameAsRx;
    }
    return IsNoCode(t) ? printmsg::kNone : t;
}

// The group number a group channel's receive tone text holds ("02" is group
// 2): its leading digits after one leading "0". Digits past the fourth
// cannot name a group and are not read, so a long text cannot overflow.
int GroupNumber(const std::string& tone) {
    size_t i = !tone.empty() && tone[0] == '0' ? 1 : 0;
    int n = 0;
    for (int digits = 0; i < tone.size() && tone[i] >= '0' && tone[i] <= '9' && digits < 4;
         ++i, ++digits) {
        n = n * 10 + (tone[i] - '0');
    }
    return n;
}

std::string RxTone(const model::ChannelTexts& t, const model::SquGroup& groups) {
    if (t.squelchSystemName.find("GROUP") != std::string::npos) {
        // Groups count from 1 in the tone field and from 0 in the table; a
        // number naming no group prints the prefix alone.
        return printmsg::kGroupPrefix + groups.GetName(GroupNumber(t.rxTone) - 1);
    }
    if (t.rxTone == "f000" || t.rxTone == "f00.0") {
        return printmsg::kAny;
    }
    return IsNoCode(t.rxTone) ? printmsg::kNone : t.rxTone;
}

std::string Invert(const std::string& tx, const std::string& rx) {
    const bool t = tx == "1";
    const bool r = rx == "1";
    if (t && r) {
        return printmsg::kInvertBoth;
    }
    if (t) {
        return printmsg::kInvertTxOnly;
    }
    return r ? printmsg::kInvertRxOnly : printmsg::kNo;
}

// The algorithm text is the one the channel editor shows: "0x81" for
// DES-OFB. (Reading that text as a number would give 0 and print every
// encrypted channel as unencrypted.)
std::string AlgorithmName(const std::string& t) {
    return t == model::msg::kAlgorithmDesOfb ? printmsg::kDesOfb : printmsg::kNoEncryption;
}

}  // namespace

PrintLists CollectPrintChannels(const model::CTmpDoc& doc) {
    PrintLists lists;
    for (int c = 0; c < model::kChannelCount; ++c) {
        if (doc.channels[c].IsFixed()) {
            lists.fixed.push_back(c);
        } else if (doc.channels[c].IsScan()) {
            lists.scan.push_back(c);
        }
    }
    return lists;
}

PageGrid FitGrid(PageOrientation current, const PageAreaFor& areaFor) {
    PageGrid g = CountGrid(current, areaFor(current));
    const PageOrientation wanted =
        g.rows < g.columns ? PageOrientation::Landscape : PageOrientation::Portrait;
    if (wanted != current) {
        // The turned paper has an area of its own; counting it again keeps
        // the grid on the paper.
        g = CountGrid(wanted, areaFor(wanted));
    }
    if (g.columns > kMaxColumns) {
        g.columns = kMaxColumns;
    }
    return g;
}

bool LayoutJob(const PrintLists& lists, const PageGrid& grid, PrintLayout& layout) {
    layout = PrintLayout{};
    layout.grid = grid;
    if (grid.columns <= 1) {
        return false;
    }
    const int across = grid.columns - 1;
    layout.fixedPerPage = (grid.rows / kFixedBlockRows) * across;
    layout.scanPerPage = (grid.rows / kScanBlockRows) * across;
    if ((!lists.fixed.empty() && layout.fixedPerPage == 0) ||
        (!lists.scan.empty() && layout.scanPerPage == 0)) {
        return false;
    }
    layout.fixedPages = PagesFor(lists.fixed.size(), layout.fixedPerPage);
    layout.scanPages = PagesFor(lists.scan.size(), layout.scanPerPage);
    return true;
}

const PrintedCell* PrintedPage::CellAt(int row, int column) const {
    for (const PrintedCell& c : cells) {
        if (c.row == row && c.column == column) {
            return &c;
        }
    }
    return nullptr;
}

std::array<std::string, kFixedBlockRows> FixedChannelCells(int number, model::CChannel channel,
                                                           const model::SquGroup& groups) {
    channel.RefreshText();
    const model::ChannelTexts& t = channel.text;
    return {" " + std::to_string(number),
            Cell(t.name),
            Cell(t.signalTypeName),
            Cell(t.txFrequency),
            Cell(t.rxFrequency),
            Cell(t.squelchSystemName),
            Cell(TxNac(t.txNac)),
            Cell(RxNac(t.rxNac)),
            Cell(TxTone(t.txTone)),
            Cell(RxTone(t, groups)),
            Cell(Invert(t.txInvert, t.rxInvert)),
            Cell(t.operationModeName),
            Cell(t.controlName),
            Cell(OnOff(t.frontPanel)),
            Cell(OnOff(t.linkRadio)),
            Cell(t.keyId),
            Cell(AlgorithmName(t.algorithm)),
            Cell(t.talkgroup),
            Cell(t.power),
            Cell(t.pttDelay),
            Cell(t.pttTail),
            Cell(t.pttTimeout),
            Cell(t.courtesyTimer),
            Cell(t.courtesyToneName),
            Cell(OnOff(t.halfDuplex)),
            Cell(t.unitId),
            Cell(OnOff(t.reverseBurst)),
            Cell(t.autosenseName),
            Cell(t.squelchLevel)};
}

std::array<std::string, kScanBlockRows> ScanChannelCells(int number, model::CChannel channel) {
    channel.RefreshText();
    const model::ChannelTexts& t = channel.text;
    std::array<std::string, kScanBlockRows> cells;
    cells[0] = " " + std::to_string(number);
    cells[1] = Cell(t.name);
    cells[2] = Cell(t.scanCount);
    // Only the references the channel has; a stored count above the eight
    // slots walks the eight.
    for (int i = 0; i < channel.ValidScanRefs(); ++i) {
        const model::ScanRefText& ref = t.scanRefs[static_cast<size_t>(i)];
        cells[static_cast<size_t>(3 + 2 * i)] = Cell(ref.channel);
        cells[static_cast<size_t>(4 + 2 * i)] = Cell(ref.dwell);
    }
    return cells;
}

PrintedPage LayPage(const model::CTmpDoc& doc, const PrintLists& lists, const PrintLayout& layout,
                    int page) {
    PrintedPage p;
    const bool fixedPage = page <= layout.fixedPages;
    const int index = fixedPage ? page : page - layout.fixedPages;
    const int block = fixedPage ? kFixedBlockRows : kScanBlockRows;
    const int rows = (layout.grid.rows / block) * block;
    const int across = layout.grid.columns - 1;
    const int perPage = fixedPage ? layout.fixedPerPage : layout.scanPerPage;
    const std::vector<int>& list = fixedPage ? lists.fixed : lists.scan;

    const std::string title = doc.Title().empty() ? model::msg::kUntitled : doc.Title();
    p.title.text = title + printmsg::kTitleSeparator +
                   (fixedPage ? printmsg::kFixedChannelsPage : printmsg::kScanChannelsPage) +
                   std::to_string(page) + printmsg::kPageOf + std::to_string(layout.PageCount());
    p.title.top = kTitleTopInches;
    p.title.width = layout.grid.area.width;

    p.grid.columns = layout.grid.columns;
    p.grid.rows = rows;

    // The label column is printed in full, however few channels follow.
    for (int r = 0; r < rows; ++r) {
        const int label = r % block;
        const char* text = fixedPage ? printmsg::kFixedRowTitles[static_cast<size_t>(label)]
                                     : printmsg::kScanRowTitles[static_cast<size_t>(label)];
        p.cells.push_back({r, 0, std::string(" ") + text, label == 0, kGridPoints});
    }

    if (across <= 0 || perPage <= 0 || index < 1) {
        return p;
    }
    const size_t first = static_cast<size_t>(index - 1) * static_cast<size_t>(perPage);
    for (int k = 0; k < perPage; ++k) {
        const size_t at = first + static_cast<size_t>(k);
        if (at >= list.size()) {
            break;
        }
        const int number = list[at];
        const int top = (k / across) * block;
        const int column = 1 + k % across;
        if (fixedPage) {
            const auto texts = FixedChannelCells(number, doc.channels[number], doc.squelchGroups);
            for (int r = 0; r < block; ++r) {
                p.cells.push_back(
                    {top + r, column, texts[static_cast<size_t>(r)], r == 0, kGridPoints});
            }
        } else {
            const auto texts = ScanChannelCells(number, doc.channels[number]);
            for (int r = 0; r < block; ++r) {
                if (!texts[static_cast<size_t>(r)].empty()) {
                    p.cells.push_back(
                        {top + r, column, texts[static_cast<size_t>(r)], r == 0, kGridPoints});
                }
            }
        }
    }
    return p;
}

PrintPlan PlanPrint(const model::CTmpDoc& doc, PageOrientation current,
                    const PageAreaFor& areaFor) {
    PrintPlan plan;
    const PrintLists lists = CollectPrintChannels(doc);
    if (lists.Empty()) {
        plan.error = printmsg::kNoChannelsToPrint;
        return plan;
    }
    if (!LayoutJob(lists, FitGrid(current, areaFor), plan.layout)) {
        plan.error = printmsg::kPageTooSmall;
        return plan;
    }
    for (int n = 1; n <= plan.layout.PageCount(); ++n) {
        plan.pages.push_back(LayPage(doc, lists, plan.layout, n));
    }
    return plan;
}

}  // namespace quillon::edit
