// File > Print and Print Preview on the offscreen platform: the printer is a
// PDF file, the preview's pages are counted.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QPageRanges>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <filesystem>
#include <string>

#include "PdfProbe.h"
#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"
#include "ui/PrintCommands.h"

namespace quillon::ui {
namespace {

using quillon::testing::PdfMediaBoxes;
using quillon::testing::PdfPageCount;
using quillon::testing::ReadBytes;

// 5 fixed and 13 scan channels.
model::CTmpDoc FiveAndThirteen() {
    model::CTmpDoc doc;
    doc.SetPathName("/tmp/site.bcf");
    for (int c = 0; c < 5; ++c) {
        doc.channels[c].SetKind(model::ChannelKind::Fixed);
    }
    for (int c = 100; c < 113; ++c) {
        doc.channels[c].SetKind(model::ChannelKind::Scan);
    }
    return doc;
}

class PrintCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quillon-uiprint-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A printer that writes a PDF file, on the given paper and orientation.
    void PdfPrinter(QPrinter& printer, const std::string& name, QPageSize paper,
                    QPageLayout::Orientation orientation) {
        path_ = dir_ + "/" + name;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path_));
        printer.setPageSize(paper);
        printer.setPageOrientation(orientation);
    }

    std::string dir_;
    std::string path_;
};

// A dialog opened where none should be would wait for a user; while it
// lives, this closes whatever modal window appears, so such a fault fails
// the test instead of hanging it.
class ModalCloser {
  public:
    ModalCloser() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                w->close();
            }
        });
        timer_.start(500);
    }

  private:
    QTimer timer_;
};

TEST_F(PrintCommandsTest, ADocumentWithoutChannelsSaysSoAndOpensNoDialog) {
    const model::CTmpDoc empty;
    sim::ScriptedPrompts prompts;
    const ModalCloser closer;
    EXPECT_FALSE(Print(nullptr, empty, prompts));
    Preview(nullptr, empty, prompts);
    ASSERT_EQ(prompts.Boxes().size(), 2u);
    for (const auto& box : prompts.Boxes()) {
        EXPECT_EQ(box.text, "No channels to print!");
        EXPECT_EQ(box.icon, Icon::None);
        EXPECT_EQ(box.buttons, Buttons::Ok);
    }
}

TEST_F(PrintCommandsTest, A4LandscapeIsTurnedUprightAndEveryPagePrinted) {
    const model::CTmpDoc doc = FiveAndThirteen();
    sim::ScriptedPrompts prompts;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "a4.pdf", QPageSize(QPageSize::A4), QPageLayout::Landscape);
    ASSERT_TRUE(PrintOn(printer, doc, prompts));
    EXPECT_TRUE(prompts.Boxes().empty());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    const std::string pdf = ReadBytes(path_);
    EXPECT_EQ(PdfPageCount(pdf), 3);  // 8 fixed and 12 scan channels a page
    for (const auto& b : PdfMediaBoxes(pdf)) {
        EXPECT_LT(b.width, b.height);
    }
}

TEST_F(PrintCommandsTest, OnlyThePageRangeChosenIsPrinted) {
    const model::CTmpDoc doc = FiveAndThirteen();
    sim::ScriptedPrompts prompts;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "range.pdf", QPageSize(QPageSize::Letter), QPageLayout::Portrait);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_TRUE(PrintOn(printer, doc, prompts));
    EXPECT_EQ(PdfPageCount(ReadBytes(path_)), 2);

    // Ranges with a gap, and a page past the job's end that is not there.
    QPrinter gaps(QPrinter::HighResolution);
    PdfPrinter(gaps, "gaps.pdf", QPageSize(QPageSize::Letter), QPageLayout::Portrait);
    gaps.setPrintRange(QPrinter::PageRange);
    gaps.setPageRanges(QPageRanges::fromString(QStringLiteral("1,3-9")));
    ASSERT_TRUE(PrintOn(gaps, doc, prompts));
    EXPECT_EQ(PdfPageCount(ReadBytes(path_)), 3);
}

TEST_F(PrintCommandsTest, APageTooSmallIsReportedAndNothingPrinted) {
    const model::CTmpDoc doc = FiveAndThirteen();
    sim::ScriptedPrompts prompts;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "small.pdf", QPageSize(QSizeF(2.0, 3.0), QPageSize::Inch),
               QPageLayout::Portrait);
    EXPECT_FALSE(PrintOn(printer, doc, prompts));
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Printer page size is too small. Can't print!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::None);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(PrintCommandsTest, PreviewShowsEveryPageUpright) {
    const model::CTmpDoc doc = FiveAndThirteen();
    sim::ScriptedPrompts prompts;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer);
    ConnectPreview(dialog, doc, prompts);
    dialog.show();
    auto* view = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(view, nullptr);
    view->updatePreview();
    EXPECT_EQ(view->pageCount(), 4);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_TRUE(prompts.Boxes().empty());

    // Printed from the preview, through its print dialog: that dialog's
    // page range counts.
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    view->updatePreview();
    EXPECT_EQ(view->pageCount(), 2);
    dialog.close();
}

TEST_F(PrintCommandsTest, PreviewOnTooSmallPaperSaysSoOnce) {
    const model::CTmpDoc doc = FiveAndThirteen();
    sim::ScriptedPrompts prompts;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QSizeF(2.0, 3.0), QPageSize::Inch));
    QPrintPreviewDialog dialog(&printer);
    ConnectPreview(dialog, doc, prompts);
    dialog.show();
    auto* view = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(view, nullptr);
    view->updatePreview();
    view->updatePreview();
    EXPECT_EQ(view->pageCount(), 0);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Printer page size is too small. Can't print!");
    dialog.close();
}

}  // namespace
}  // namespace quillon::ui
