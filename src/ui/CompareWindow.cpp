#include "ui/CompareWindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "bci/ChannelTransferView.h"
#include "model/DocumentFile.h"
#include "ui/CompareWindowTexts.h"

namespace quillon::ui {

namespace {

namespace text = comparetext;

// The document's texts are 8-bit characters (see EightBitText.h).
QString Q(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

}  // namespace

CompareWindow::CompareWindow(const std::vector<edit::Difference>& diffs, const std::string& title,
                             const std::string& otherColumn, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Q(title));
    table_ = new QTableWidget(static_cast<int>(diffs.size()), 4, this);
    table_->setHorizontalHeaderLabels({QString::fromLatin1(text::kChannelColumn),
                                       QString::fromLatin1(text::kFieldColumn),
                                       QString::fromLatin1(text::kDocumentColumn), Q(otherColumn)});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    for (size_t i = 0; i < diffs.size(); ++i) {
        const edit::Difference& d = diffs[i];
        const int row = static_cast<int>(i);
        table_->setItem(row, 0, new QTableWidgetItem(Q(d.where)));
        table_->setItem(row, 1, new QTableWidgetItem(Q(d.field)));
        table_->setItem(row, 2, new QTableWidgetItem(Q(d.oldText)));
        table_->setItem(row, 3, new QTableWidgetItem(Q(d.newText)));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);

    filter_ = new QLineEdit(this);
    filter_->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(QString::fromLatin1(text::kFilterLabel), this);
    filterLabel->setBuddy(filter_);
    count_ = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(filter_, &QLineEdit::textChanged, this, &CompareWindow::ApplyFilter);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);
    resize(720, 480);
    ApplyFilter(QString());
}

int CompareWindow::VisibleRows() const {
    int n = 0;
    for (int r = 0; r < table_->rowCount(); ++r) {
        n += table_->isRowHidden(r) ? 0 : 1;
    }
    return n;
}

void CompareWindow::ApplyFilter(const QString& wanted) {
    const QString t = wanted.trimmed();
    for (int r = 0; r < table_->rowCount(); ++r) {
        bool match = t.isEmpty();
        for (int c = 0; c < table_->columnCount() && !match; ++c) {
            match = table_->item(r, c)->text().contains(t, Qt::CaseInsensitive);
        }
        table_->setRowHidden(r, !match);
    }
    count_->setText(
        QString::fromLatin1(text::kShownCount).arg(VisibleRows()).arg(table_->rowCount()));
}

void ShowDifferences(QWidget* parent, const std::vector<edit::Difference>& diffs,
                     const std::string& title, const std::string& otherColumn,
                     const std::string& sameText, Prompts& prompts) {
    if (diffs.empty()) {
        prompts.MessageBox(sameText, Icon::Information);
        return;
    }
    CompareWindow window(diffs, title, otherColumn, parent);
    window.exec();
}

edit::CompareOptions TransceiverCompareOptions() {
    edit::CompareOptions o;
    o.compareKeys = false;
    return o;
}

void ShowCompareWithTransceiver(QWidget* parent, const model::CTmpDoc& doc,
                                const model::CTmpDoc& card, Prompts& prompts) {
    // The document as a Send would leave it on the card: bytes no transfer
    // record carries are not what the user is to see as differences.
    model::CTmpDoc sent = doc;
    sent.channels = bci::AsTransferred(doc.channels);
    ShowDifferences(parent, edit::CompareDocuments(sent, card, TransceiverCompareOptions()),
                    text::kTransceiverTitle, text::kTransceiverColumn, text::kSameAsTransceiver,
                    prompts);
}

void ShowCompareWithFile(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts,
                         FileDialogs& dialogs) {
    const std::optional<std::string> path =
        dialogs.OpenFile(text::kOpenTitle, {{"Quillon Documents (*.bcf)", "*.bcf"}});
    if (!path) {
        return;
    }
    model::CTmpDoc other;
    const model::FileResult r = model::OpenDocumentFile(*path, other);
    if (!r.ok()) {
        prompts.MessageBox(r.message, Icon::Exclamation);
        return;
    }
    ShowDifferences(parent, edit::CompareDocuments(doc, other), text::kFileTitle, text::kFileColumn,
                    text::kSameAsFile, prompts);
}

}  // namespace quillon::ui
