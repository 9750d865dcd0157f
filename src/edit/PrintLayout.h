#pragma once
// The printed channel table, laid out in inches without any toolkit: which
// channels go on which page, the grid that holds them, and every text of
// every page with its place. The printer, the preview and the command-line
// PDF all paint what this computes, so they cannot disagree.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "model/CChannel.h"
#include "model/CTmpDoc.h"
#include "model/SquGroup.h"

namespace quillon::edit {

// --- fixed numbers of the page -------------------------------------------------------
inline constexpr double kGridTopInches = 0.5;
inline constexpr double kGridLeftInches = 0.5;
inline constexpr double kColumnWidthInches = 1.5;
// The pitch the page capacity is counted with; the drawn rows are a little
// lower (kRowHeightInches), which leaves room below the grid.
inline constexpr double kRowPitchInches = 0.19;
inline constexpr double kTitleTopInches = 0.1;
inline constexpr double kTitlePoints = 12.0;
inline constexpr double kGridPoints = 8.0;
// Row height of the grid: 1.5 times its point size, in inches.
inline constexpr double kRowHeightInches = kGridPoints * 1.5 / 72.0;
// Line width of the grid and the cell text insets, in device units.
inline constexpr int kGridLineWidth = 4;
inline constexpr int kCellInsetLeft = 9;
inline constexpr int kCellInsetRight = 2;
inline constexpr int kCellInsetTopBottom = 2;
// The grid has widths for at most this many columns, the label column included.
inline constexpr int kMaxColumns = 20;
// A page taller than this many rows (over 300 inches) is counted as this
// many, so a printer reporting an absurd page cannot make a page of
// unbounded size.
inline constexpr int kMaxRows = 2000;
inline constexpr int kFixedBlockRows = 29;
inline constexpr int kScanBlockRows = 19;

enum class PageOrientation { Portrait, Landscape };

// The drawing area of a page in inches: the paper less the printer's margins.
struct PageArea {
    double width = 0.0;
    double height = 0.0;
};
// The drawing area the printer gives in each orientation. Asked again after
// the orientation is switched, because margins need not turn with the paper.
using PageAreaFor = std::function<PageArea(PageOrientation)>;

// The channel numbers of one print job, ascending, each kind on its own.
struct PrintLists {
    std::vector<int> fixed;
    std::vector<int> scan;
    bool Empty() const { return fixed.empty() && scan.empty(); }
};
PrintLists CollectPrintChannels(const model::CTmpDoc& doc);

// The grid a page holds and the orientation it needs.
struct PageGrid {
    PageOrientation orientation = PageOrientation::Portrait;
    PageArea area;
    int columns = 0;  // the label column included
    int rows = 0;
};
// Counts columns and rows for the current orientation; a page with fewer
// rows than columns is turned to landscape, any other to portrait, and a
// turned page is counted again from its own area.
PageGrid FitGrid(PageOrientation current, const PageAreaFor& areaFor);

struct PrintLayout {
    PageGrid grid;
    int fixedPerPage = 0;
    int scanPerPage = 0;
    int fixedPages = 0;
    int scanPages = 0;
    int PageCount() const { return fixedPages + scanPages; }
};
// False when the page cannot hold a channel of a kind the job has (or no
// channel column at all); the job then prints nothing.
bool LayoutJob(const PrintLists& lists, const PageGrid& grid, PrintLayout& layout);

// --- what a page shows -----------------------------------------------------------------
// All texts are UTF-8; the document's own 8-bit texts are taken byte for
// code point.
struct PrintedTitle {
    std::string text;
    double top = 0.0;    // inches from the top of the drawing area
    double width = 0.0;  // centred across this width, from the left edge
    double points = kTitlePoints;
    bool bold = true;
};

struct PrintedGrid {
    double top = kGridTopInches;
    double left = kGridLeftInches;
    int columns = 0;
    int rows = 0;
    double columnWidth = kColumnWidthInches;
    double rowHeight = kRowHeightInches;
    int lineWidth = kGridLineWidth;
};

// A text in a grid cell: single line, vertically centred, inset in the cell.
struct PrintedCell {
    int row = 0;
    int column = 0;
    std::string text;
    bool bold = false;
    double points = kGridPoints;
};

struct PrintedPage {
    PrintedTitle title;
    PrintedGrid grid;
    std::vector<PrintedCell> cells;

    // The cell's text, or null when nothing is printed there.
    const PrintedCell* CellAt(int row, int column) const;
};

// The values of a fixed channel's 29 rows and a scan channel's 19, as
// printed (each with its leading space; absent scan references empty). The
// channel's texts are formed afresh from its image first.
std::array<std::string, kFixedBlockRows> FixedChannelCells(int number, model::CChannel channel,
                                                           const model::SquGroup& groups);
std::array<std::string, kScanBlockRows> ScanChannelCells(int number, model::CChannel channel);

// Page n (1-based) of a laid-out job.
PrintedPage LayPage(const model::CTmpDoc& doc, const PrintLists& lists, const PrintLayout& layout,
                    int page);

// A whole job from the document to its pages. `error` is one of the job's
// messages (no channels, page too small) when nothing is to be printed.
struct PrintPlan {
    const char* error = nullptr;
    PrintLayout layout;
    std::vector<PrintedPage> pages;
};
PrintPlan PlanPrint(const model::CTmpDoc& doc, PageOrientation current, const PageAreaFor& areaFor);

}  // namespace quillon::edit
