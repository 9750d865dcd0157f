#pragma once
// "Channel Settings": one widget per control of the channel rule engine,
// laid out in groups. The dialog holds no rule of its own: it shows the
// engine's state of each control, forwards what the user does, and shows
// again what the engine reports changed. OK is the engine's OK.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/Prompts.h"
#include "edit/ChannelSettings.h"
#include "model/CTmpDoc.h"
#include "ui/ChannelTableDialog.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quillon::ui {

class ChannelValueEntry;
class ScanReferenceDialog;

class ChannelSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // Runs the "Configure Scan Channel Reference" dialog; true on OK. Tests
    // replace it to drive the dialog without a modal loop.
    using ReferenceRunner = std::function<bool(ScanReferenceDialog&)>;

    ChannelSettingsDialog(std::unique_ptr<edit::ChannelSettings> engine, Prompts& prompts,
                          QWidget* parent = nullptr);
    ~ChannelSettingsDialog() override;

    edit::ChannelSettings& Engine() { return *engine_; }
    void SetReferenceRunner(ReferenceRunner runner) { runReference_ = std::move(runner); }

    // The widget that shows a control: the radio buttons' group box for a
    // radio set, the list for the scan list.
    QWidget* Widget(edit::ChannelControl id) const;
    // The label in front of a control, or null when it has none of its own.
    QLabel* Label(edit::ChannelControl id) const;
    QComboBox* Combo(edit::ChannelControl id) const;
    QCheckBox* Check(edit::ChannelControl id) const;
    ChannelValueEntry* Value(edit::ChannelControl id) const;
    QAbstractButton* Radio(edit::ChannelControl id, int choice) const;
    QLineEdit* NameEdit() const { return name_; }
    QListWidget* ScanList() const { return scanList_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    void accept() override;

  private:
    using C = edit::ChannelControl;

    QWidget* BuildChannelBox();
    QWidget* BuildModeBox();
    QWidget* BuildFrequencyBox();
    QWidget* BuildDigitalBox();
    QWidget* BuildTransmitterBox();
    QWidget* BuildCourtesyBox();
    QWidget* BuildOptionsBox();
    QWidget* BuildScanBox();

    QLabel* MakeLabel(std::vector<C> ids, const char* text, QWidget* buddy);
    QComboBox* MakeCombo(C id);
    QCheckBox* MakeCheck(C id, const QString& text);
    ChannelValueEntry* MakeValue(C id);
    QWidget* MakeRadios(C id, const char* title, const std::vector<const char*>& texts);

    // Shows the engine's state of one control, or of those it reports changed.
    void Show(C id);
    void ShowChanges();

    void AddScan();
    void EditScan();
    void DeleteScan();
    std::vector<int> SelectedScanRows() const;
    bool RunReference(ScanReferenceDialog& dialog);

    std::unique_ptr<edit::ChannelSettings> engine_;
    Prompts& prompts_;
    ReferenceRunner runReference_;

    static constexpr size_t kCount = static_cast<size_t>(edit::kChannelControlCount);
    std::array<QWidget*, kCount> widgets_{};
    // Each label with the controls it names; a label in front of a
    // receive/transmit pair names both and is enabled while either is.
    std::vector<std::pair<QLabel*, std::vector<C>>> labels_;
    std::array<QButtonGroup*, kCount> radios_{};
    QLineEdit* name_ = nullptr;
    QListWidget* scanList_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool closing_ = false;
};

// Runs "Channel Settings" modally on `channel` of the document (add mode
// works on the lowest empty slot, which the Channel Table proposes). True
// when it ended with OK, which wrote the channel and marked the document
// modified.
bool RunChannelSettingsDialog(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts, int channel,
                              bool addMode);

// The Channel Table's Add and Edit: runs "Channel Settings" over the modal
// dialog that asks (the Channel Table), else over `parent`.
// The document and prompts must outlive the function returned.
EditChannelFn ChannelSettingsEditor(QWidget* parent, model::CTmpDoc& doc, Prompts& prompts);

}  // namespace quillon::ui
