// Fuzz target: the printed channel table of any document the reader
// accepts. Every cell must land inside its page's grid, the grid must stay
// on the paper, and every channel must be printed exactly once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "edit/PrintLayout.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

using namespace quillon;

namespace {

void Check(const model::CTmpDoc& doc, double width, double height) {
    const edit::PageAreaFor paper = [width, height](edit::PageOrientation o) {
        return o == edit::PageOrientation::Portrait ? edit::PageArea{width, height}
                                                    : edit::PageArea{height, width};
    };
    const edit::PrintPlan plan = edit::PlanPrint(doc, edit::PageOrientation::Landscape, paper);
    if (plan.error != nullptr) {
        return;
    }
    size_t printed = 0;
    for (const edit::PrintedPage& p : plan.pages) {
        const edit::PageArea area = plan.layout.grid.area;
        if (p.grid.columns > edit::kMaxColumns ||
            p.grid.left + p.grid.columns * p.grid.columnWidth > area.width ||
            p.grid.top + p.grid.rows * p.grid.rowHeight > area.height) {
            std::abort();
        }
        for (const edit::PrintedCell& c : p.cells) {
            if (c.row < 0 || c.row >= p.grid.rows || c.column < 0 || c.column >= p.grid.columns) {
                std::abort();
            }
            printed += c.column > 0 && c.bold ? 1 : 0;
        }
    }
    const edit::PrintLists lists = edit::CollectPrintChannels(doc);
    if (printed != lists.fixed.size() + lists.scan.size()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto doc = std::make_unique<model::CTmpDoc>();
    if (!model::ReadDocument(data, size, *doc).ok()) {
        return 0;
    }
    Check(*doc, 8.5, 11.0);
    Check(*doc, 8.27, 11.69);
    Check(*doc, 3.5, 5.0);
    Check(*doc, 34.0, 44.0);
    return 0;
}
