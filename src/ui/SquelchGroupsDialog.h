#pragma once
#include <QDialog>

#include "edit/SquelchGroupsEditor.h"

class QListWidget;
class QPushButton;

namespace quillon::ui {

// "Active Squelch Groups": the groups in use, in group order, with Add,
// Edit, Delete, OK and Cancel. The rules are edit::SquelchGroupsEditor's;
// OK writes the groups (and the channels' group references) into the
// document.
class SquelchGroupsDialog : public QDialog {
    Q_OBJECT
  public:
    // `properties` opens "Squelch Group Properties"; without one the real
    // dialog is opened (tests put a stand-in there).
    SquelchGroupsDialog(model::CTmpDoc& doc, Prompts& prompts, QWidget* parent = nullptr,
                        edit::SquelchGroupsEditor::PropertiesFn properties = {});

    QListWidget* List() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* EditButton() const { return edit_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    const edit::SquelchGroupsEditor& Editor() const { return editor_; }

    void accept() override;

  private:
    std::vector<int> SelectedRows() const;
    void Show();

    edit::SquelchGroupsEditor editor_;
    edit::SquelchGroupsEditor::PropertiesFn properties_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs "Active Squelch Groups" modally on the document; true when OK
// changed it (the document is then marked modified).
bool RunSquelchGroupsDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts);

}  // namespace quillon::ui
