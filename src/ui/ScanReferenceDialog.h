#pragma once
// "Configure Scan Channel Reference": picks the fixed channel a scan channel
// refers to and the dwell time spent on it. The caller hands the result to
// the channel rule engine, which decides whether it is taken.
#include <QDialog>
#include <string>
#include <vector>

#include "edit/ChannelSettings.h"

class QComboBox;
class QPushButton;

namespace quillon {
class Prompts;
}

namespace quillon::ui {

class NumericEntry;

class ScanReferenceDialog : public QDialog {
    Q_OBJECT
  public:
    // Starts on `channel` (the first choice when it is none of them) and
    // the dwell text `dwell`.
    ScanReferenceDialog(const std::vector<edit::ScanReferenceChoice>& choices, int channel,
                        const std::string& dwell, Prompts& prompts, QWidget* parent = nullptr);

    // The chosen channel, or -1 when the list is empty.
    int Channel() const;
    // The dwell time as the field shows it after being left.
    std::string Dwell() const;

    QComboBox* ChannelCombo() const { return channel_; }
    NumericEntry* DwellEntry() const { return dwell_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;

  private:
    QComboBox* channel_;
    NumericEntry* dwell_;
    QPushButton* ok_;
};

}  // namespace quillon::ui
