#include "cli/CmdPrint.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <cstdio>

#include "core/Prompts.h"
#include "edit/PrintLayout.h"
#include "edit/PrintMessages.h"
#include "model/AtomicFile.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "printing/PagePainter.h"

namespace quillon::cli {

namespace {

// The PDF's resolution: fine enough that the grid's 4-unit lines stay thin.
constexpr int kPdfDpi = 1200;

}  // namespace

bool NeedsPainting(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (!a.empty() && a[0] == '-') {
            continue;
        }
        return a == "print";
    }
    return false;
}

void PrepareHeadlessPainting() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

int RunPrint(const CliCall& call) {
    const std::string& in = call.arguments.at(0);
    const std::string& out = call.arguments.at(1);

    QPageSize paper(QPageSize::Letter);
    if (const std::string* p = call.Value("paper")) {
        if (*p == "a4") {
            paper = QPageSize(QPageSize::A4);
        } else if (*p != "letter") {
            std::fprintf(call.err, "print: --paper must be letter or a4, not '%s'\n", p->c_str());
            return kExitUsage;
        }
    }
    // Text needs fonts, and fonts need the GUI application object.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(call.err, "print: needs a QGuiApplication to draw text\n");
        return kExitFailure;
    }

    model::CTmpDoc doc;
    const model::FileResult r = model::OpenDocumentFile(in, doc);
    if (!r.ok()) {
        std::fprintf(call.err, "%s\n", r.message.c_str());
        return kExitRefused;
    }
    doc.SetPathName(in);

    // Nothing is written when there is nothing to print: an empty PDF would
    // look like a successful run.
    if (edit::CollectPrintChannels(doc).Empty()) {
        std::fprintf(call.err, "%s\n", edit::printmsg::kNoChannelsToPrint);
        return kExitFailure;
    }

    // The PDF is made in memory and saved in one piece, so that a run that
    // fails half-way never leaves a truncated PDF where a good one was.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setResolution(kPdfDpi);
    writer.setCreator(QString::fromLatin1(kAppCaption));
    writer.setTitle(QString::fromStdString(doc.Title()));
    writer.setPageLayout(QPageLayout(
        paper, call.Value("landscape") != nullptr ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
    const edit::PrintPlan plan = printing::PlanForDevice(doc, writer);
    if (plan.error != nullptr) {
        std::fprintf(call.err, "%s\n", plan.error);
        return kExitFailure;
    }
    if (!printing::PaintPlan(writer, plan)) {
        std::fprintf(call.err, "print: cannot write %s\n", out.c_str());
        return kExitRefused;
    }
    const QByteArray& bytes = pdf.buffer();
    const model::SaveOutcome saved =
        model::SaveFileAtomically(out, reinterpret_cast<const uint8_t*>(bytes.constData()),
                                  static_cast<size_t>(bytes.size()));
    if (!saved.ok()) {
        std::fprintf(call.err, "print: cannot write %s\n%s\n", out.c_str(),
                     model::DescribeSaveFailure(out, saved).c_str());
        return kExitRefused;
    }
    for (const edit::PrintedPage& p : plan.pages) {
        std::fprintf(call.out, "%s\n", p.title.text.c_str());
    }
    return kExitOk;
}

}  // namespace quillon::cli
