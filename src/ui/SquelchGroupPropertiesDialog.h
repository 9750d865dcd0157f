#pragma once
#include <QDialog>
#include <array>

#include "edit/SquelchGroupProperties.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quillon::ui {

class NumericEntry;

// "Squelch Group Properties": one group's name and codes. The rules are
// edit::SquelchGroupProperties'; the three entry fields show its fields,
// and their "<<" buttons add the field's code to the group.
class SquelchGroupPropertiesDialog : public QDialog {
    Q_OBJECT
  public:
    using Code = edit::SquelchGroupProperties::Code;

    // Works on its own copy of `groups`; OK writes it back into them.
    SquelchGroupPropertiesDialog(model::SquGroup& groups, int group, Prompts& prompts,
                                 QWidget* parent = nullptr);
    ~SquelchGroupPropertiesDialog() override;

    QLineEdit* NameBox() const { return name_; }
    QListWidget* ItemList() const { return items_; }
    NumericEntry* Entry(Code code) const { return entries_[Index(code)]; }
    QPushButton* AddButton(Code code) const { return adds_[Index(code)]; }
    QLabel* Label(Code code) const { return labels_[Index(code)]; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    void accept() override;

  private:
    static size_t Index(Code code) { return static_cast<size_t>(code); }
    // The editor's field into the widget, with its enabled state.
    void ShowField(Code code);
    // The widget's field, as the user left it, into the editor.
    void TakeField(Code code);
    void ShowItems();
    void ShowAll();
    std::vector<int> SelectedRows() const;

    model::SquGroup& target_;
    edit::SquelchGroupProperties props_;
    QLineEdit* name_;
    QListWidget* items_;
    std::array<NumericEntry*, 3> entries_{};
    std::array<QPushButton*, 3> adds_{};
    std::array<QLabel*, 3> labels_{};
    QPushButton* delete_;
    QPushButton* ok_;
    QPushButton* cancel_;
    // Set while the list is refilled, so that its current row moving does
    // not count as the user selecting a code.
    bool filling_ = false;
};

// Runs "Squelch Group Properties" modally for group index `group`; true when
// OK wrote the result into `groups`.
bool RunSquelchGroupPropertiesDialog(QWidget* parent, model::SquGroup& groups, int group,
                                     Prompts& prompts);

}  // namespace quillon::ui
