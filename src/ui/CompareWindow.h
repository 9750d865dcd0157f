#pragma once
// The differences between the document and another configuration (a file,
// or what a Get read from the transceiver), in a table with a filter box.
#include <QDialog>
#include <string>
#include <vector>

#include "core/Prompts.h"
#include "edit/ConfigCompare.h"
#include "model/CTmpDoc.h"
#include "ui/FileDialogs.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace quillon::ui {

// One row per difference: where, field, the document's value, the other
// value. Typing in the filter box keeps the rows that hold the text in any
// column (case does not matter).
class CompareWindow : public QDialog {
    Q_OBJECT
  public:
    CompareWindow(const std::vector<edit::Difference>& diffs, const std::string& title,
                  const std::string& otherColumn, QWidget* parent = nullptr);

    QTableWidget* Table() const { return table_; }
    QLineEdit* FilterBox() const { return filter_; }
    QLabel* CountLabel() const { return count_; }
    // The rows the filter leaves.
    int VisibleRows() const;

  private:
    void ApplyFilter(const QString& text);

    QTableWidget* table_;
    QLineEdit* filter_;
    QLabel* count_;
};

// The differences from the document (`before`) to the other configuration
// in the window, modally; when there are none, the message `sameText`
// instead. Program > "Compare with Transceiver..." calls it after a Get
// into a scratch document, with TransceiverCompareOptions().
void ShowDifferences(QWidget* parent, const std::vector<edit::Difference>& diffs,
                     const std::string& title, const std::string& otherColumn,
                     const std::string& sameText, Prompts& prompts);

// The document, as a Send carries its channels, against what a Get read
// from the card: keys are not read back, so they are left out.
edit::CompareOptions TransceiverCompareOptions();
void ShowCompareWithTransceiver(QWidget* parent, const model::CTmpDoc& doc,
                                const model::CTmpDoc& card, Prompts& prompts);

// File > "Compare with File...": asks for a document, reads it aside (the
// open document is not touched) and shows the differences. A file that
// cannot be read is said with the program's message.
void ShowCompareWithFile(QWidget* parent, const model::CTmpDoc& doc, Prompts& prompts,
                         FileDialogs& dialogs);

}  // namespace quillon::ui
