#pragma once
#include <QDialog>
#include <functional>

#include "core/Prompts.h"
#include "model/ChannelTableController.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quillon::ui {

// Opens the Channel Settings dialog on a channel: the proposed free slot in
// add mode, the selected channel in edit mode. True when it ended with OK.
using EditChannelFn = std::function<bool(int channel, bool addMode)>;

// "Channel Table": the used slots of the document, one line each, with Add,
// Edit, Delete, Copy and Close. It works on the document directly; every
// decision is the controller's, the dialog only shows and passes on.
class ChannelTableDialog : public QDialog {
    Q_OBJECT
  public:
    ChannelTableDialog(model::CTmpDoc& doc, Prompts& prompts, EditChannelFn editChannel,
                       QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* EditButton() const { return edit_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* CloseButton() const { return close_; }

    // The channels of the selected lines, in list order.
    std::vector<int> SelectedChannels() const;
    // Whether a command has changed the document since the dialog opened.
    bool Changed() const { return changed_; }

  private:
    void Refill();
    void SelectChannel(int channel);
    void OnAdd();
    void OnEdit();
    void OnCopy();
    void OnDelete();

    model::CTmpDoc& doc_;
    model::ChannelTableController table_;
    EditChannelFn editChannel_;
    bool changed_ = false;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* copy_;
    QPushButton* close_;
};

// Runs "Channel Table" modally on the document; true when it changed it.
bool RunChannelTableDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts,
                           EditChannelFn editChannel);

}  // namespace quillon::ui
