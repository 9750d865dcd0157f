#include "printing/PagePainter.h"

#include <QFont>
#include <QPageLayout>
#include <QPen>
#include <QRectF>
#include <QString>
#include <algorithm>

namespace quillon::printing {

namespace {

// The face the table has always been printed in; the system's font matching
// picks the nearest serif face where it is not installed.
const char* const kFontFamily = "Times New Roman";

QPageLayout::Orientation ToQt(edit::PageOrientation o) {
    return o == edit::PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QFont PrintFont(double points, bool bold) {
    QFont f(QString::fromLatin1(kFontFamily));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace

edit::PageOrientation OrientationOf(const QPagedPaintDevice& device) {
    return device.pageLayout().orientation() == QPageLayout::Landscape
               ? edit::PageOrientation::Landscape
               : edit::PageOrientation::Portrait;
}

edit::PrintPlan PlanForDevice(const model::CTmpDoc& doc, QPagedPaintDevice& device) {
    const edit::PageAreaFor areaFor = [&device](edit::PageOrientation o) {
        device.setPageOrientation(ToQt(o));
        const QRectF r = device.pageLayout().paintRect(QPageLayout::Inch);
        return edit::PageArea{r.width(), r.height()};
    };
    const edit::PageOrientation current = OrientationOf(device);
    edit::PrintPlan plan = edit::PlanPrint(doc, current, areaFor);
    if (plan.error == nullptr) {
        device.setPageOrientation(ToQt(plan.layout.grid.orientation));
    } else {
        device.setPageOrientation(ToQt(current));
    }
    return plan;
}

void PaintPage(QPainter& painter, const edit::PrintedPage& page) {
    const double dpiX = painter.device()->logicalDpiX();
    const double dpiY = painter.device()->logicalDpiY();
    const edit::PrintedGrid& g = page.grid;

    // Title across the page.
    painter.setFont(PrintFont(page.title.points, page.title.bold));
    const double titleHeight = page.title.points * 1.5 / 72.0;
    painter.drawText(
        QRectF(0.0, page.title.top * dpiY, page.title.width * dpiX, titleHeight * dpiY),
        Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
        QString::fromStdString(page.title.text));

    // The grid: border and every line, no header row.
    const double left = g.left * dpiX;
    const double top = g.top * dpiY;
    const double colW = g.columnWidth * dpiX;
    const double rowH = g.rowHeight * dpiY;
    const double right = left + g.columns * colW;
    const double bottom = top + g.rows * rowH;
    QPen pen(Qt::black);
    pen.setWidth(g.lineWidth);
    painter.setPen(pen);
    if (g.columns > 0 && g.rows > 0) {
        for (int c = 0; c <= g.columns; ++c) {
            painter.drawLine(QPointF(left + c * colW, top), QPointF(left + c * colW, bottom));
        }
        for (int r = 0; r <= g.rows; ++r) {
            painter.drawLine(QPointF(left, top + r * rowH), QPointF(right, top + r * rowH));
        }
    }

    // Cell texts: single line, vertically centred, inset from the lines;
    // what does not fit is cut at the cell's edge.
    for (const edit::PrintedCell& cell : page.cells) {
        if (cell.row < 0 || cell.row >= g.rows || cell.column < 0 || cell.column >= g.columns) {
            continue;
        }
        painter.setFont(PrintFont(std::min(cell.points, edit::kGridPoints), cell.bold));
        const QRectF box(left + cell.column * colW + edit::kCellInsetLeft,
                         top + cell.row * rowH + edit::kCellInsetTopBottom,
                         colW - edit::kCellInsetLeft - edit::kCellInsetRight,
                         rowH - 2 * edit::kCellInsetTopBottom);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(cell.text));
    }
}

bool PaintPlan(QPagedPaintDevice& device, const edit::PrintPlan& plan,
               const std::vector<int>& pages) {
    const int count = static_cast<int>(plan.pages.size());
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    bool first = true;
    for (int n : pages) {
        if (n < 1 || n > count) {
            continue;
        }
        if (!first) {
            device.newPage();
        }
        first = false;
        PaintPage(painter, plan.pages[static_cast<size_t>(n - 1)]);
    }
    return painter.end();
}

bool PaintPlan(QPagedPaintDevice& device, const edit::PrintPlan& plan) {
    std::vector<int> all;
    for (int n = 1; n <= static_cast<int>(plan.pages.size()); ++n) {
        all.push_back(n);
    }
    return PaintPlan(device, plan, all);
}

}  // namespace quillon::printing
