#pragma once
// File > Print and File > Print Preview: the channel table, every fixed
// channel then every scan channel, one column each.
#include "core/Prompts.h"
#include "model/CTmpDoc.h"

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace quillon::ui {

// Print (command 57607): "No channels to print!" for a document without
// channels, else the print dialog, then the pages the user chose go to the
// printer. True when pages were printed. The document is only read.
bool Print(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts);

// Print Preview (command 57609): the same pages in the preview window, from
// which they can be printed. Returns when the window is closed.
void Preview(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts);

// What Print does once the print dialog is accepted: lays the job out for
// the printer's paper (turning it when the table needs), tells the user
// when the page is too small, and paints the printer's page range.
bool PrintOn(QPrinter& printer, const model::CTmpDoc& doc, Prompts& prompts);

// Makes a preview window draw the document's pages. A page too small for
// the table is reported once per window, however often it redraws.
void ConnectPreview(QPrintPreviewDialog& dialog, const model::CTmpDoc& doc, Prompts& prompts);

}  // namespace quillon::ui
