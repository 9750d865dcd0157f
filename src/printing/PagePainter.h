#pragma once
// Paints laid-out channel table pages on any paged device: a printer, the
// print preview's pages, or a PDF file. Needs Qt's painting but no widgets,
// so the command-line tool shares it with the desktop program.
#include <QPagedPaintDevice>
#include <QPainter>
#include <vector>

#include "edit/PrintLayout.h"
#include "model/CTmpDoc.h"

namespace quillon::printing {

edit::PageOrientation OrientationOf(const QPagedPaintDevice& device);

// Lays out the whole job for the device's paper. The device is left turned
// to the orientation the layout chose, so what is painted next matches it.
edit::PrintPlan PlanForDevice(const model::CTmpDoc& doc, QPagedPaintDevice& device);

// One page, in the device's units from the top-left of its drawing area.
void PaintPage(QPainter& painter, const edit::PrintedPage& page);

// The given pages (1-based; numbers outside the plan are passed over) on the
// device, one device page each, or every page. False when the device
// cannot be painted on.
bool PaintPlan(QPagedPaintDevice& device, const edit::PrintPlan& plan,
               const std::vector<int>& pages);
bool PaintPlan(QPagedPaintDevice& device, const edit::PrintPlan& plan);

}  // namespace quillon::printing
