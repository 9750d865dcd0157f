#pragma once
// Paints laid-out channel table pages on any paged device: a printer, the
// print preview's pages, or a PDF file. Needs Qt's painting but no widgets,
// so the command-line tool shares it with the desktop program.
#include <QPagedPaintDevice>
#include <QPainter>

#include "edit/PrintLayout.h"
#include "model/CTmpDoc.h"

namespace quillon::printing {

edit::PageOrientation OrientationOf(const QPagedPaintDevice& device);

// Lays out the whole job for the device's paper. The device is left turned
// to the orientation the layout chose, so what is painted next matches it.
edit::PrintPlan PlanForDevice(const model::CTmpDoc& doc, QPagedPaintDevice& device);

// One page, in the device's units from the top-left of its drawing area.
void PaintPage(QPainter& painter, const edit::PrintedPage& page);

// Pages first..last (1-based, inclusive, clamped to the plan) on the device,
// one device page each. False when the device cannot be painted on.
bool PaintPlan(QPagedPaintDevice& device, const edit::PrintPlan& plan, int first = 1,
               int last = 0x7fffffff);

}  // namespace quillon::printing
