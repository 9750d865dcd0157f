#include "ui/PrintCommands.h"

#include <QAbstractPrintDialog>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <memory>
#include <vector>

#include "edit/PrintLayout.h"
#include "edit/PrintMessages.h"
#include "printing/PagePainter.h"

namespace quillon::ui {

namespace {

// A job with no channel never reaches a dialog.
bool HasChannels(const model::CTmpDoc& doc, Prompts& prompts) {
    if (edit::CollectPrintChannels(doc).Empty()) {
        prompts.MessageBox(edit::printmsg::kNoChannelsToPrint, Icon::None, Buttons::Ok);
        return false;
    }
    return true;
}

// The pages the print dialog chose ("1,3-4"), else all of them.
bool PaintChosenPages(QPrinter& printer, const edit::PrintPlan& plan) {
    std::vector<int> pages;
    const QPageRanges ranges = printer.pageRanges();
    for (int n = 1; n <= plan.layout.PageCount(); ++n) {
        if (printer.printRange() != QPrinter::PageRange || ranges.isEmpty() || ranges.contains(n)) {
            pages.push_back(n);
        }
    }
    return printing::PaintPlan(printer, plan, pages);
}

}  // namespace

bool PrintOn(QPrinter& printer, const model::CTmpDoc& doc, Prompts& prompts) {
    const edit::PrintPlan plan = printing::PlanForDevice(doc, printer);
    if (plan.error != nullptr) {
        prompts.MessageBox(plan.error, Icon::None, Buttons::Ok);
        return false;
    }
    return PaintChosenPages(printer, plan);
}

bool Print(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts) {
    if (!HasChannels(doc, prompts)) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    // The page range the dialog offers is the job's for the paper it starts
    // with; the pages are laid out again for the paper finally chosen.
    const edit::PrintPlan before = printing::PlanForDevice(doc, printer);
    if (before.error == nullptr) {
        dialog.setMinMax(1, before.layout.PageCount());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return PrintOn(printer, doc, prompts);
}

void ConnectPreview(QPrintPreviewDialog& dialog, const model::CTmpDoc& doc, Prompts& prompts) {
    auto reported = std::make_shared<bool>(false);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&doc, &prompts, reported](QPrinter* printer) {
                         const edit::PrintPlan plan = printing::PlanForDevice(doc, *printer);
                         if (plan.error != nullptr) {
                             if (!*reported) {
                                 *reported = true;
                                 prompts.MessageBox(plan.error, Icon::None, Buttons::Ok);
                             }
                             return;
                         }
                         // Printing from the preview goes through its
                         // print dialog, whose page range counts too.
                         PaintChosenPages(*printer, plan);
                     });
}

void Preview(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts) {
    if (!HasChannels(doc, prompts)) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    ConnectPreview(dialog, doc, prompts);
    dialog.exec();
}

}  // namespace quillon::ui
