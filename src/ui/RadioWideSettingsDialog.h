#pragma once
#include <QDialog>
#include <QSpinBox>
#include <functional>

#include "ops/RadioWideSettingsLogic.h"

class QCheckBox;
class QLabel;

namespace quillon::ui {

// A number box with arrows whose steps the dialog's logic decides: a step
// beyond the range beeps and leaves the value. A disabled box shows no text.
class LogicSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit LogicSpinBox(QWidget* parent = nullptr) : QSpinBox(parent) {}
    // Takes the step; false refuses it (the box beeps).
    std::function<bool(int)> onStep;
    void stepBy(int steps) override;
    QString textFromValue(int value) const override;
    // Shows the value again, or no text while disabled.
    void Refresh();

  protected:
    StepEnabled stepEnabled() const override;
};

// "Radio Wide Settings": the four radio-wide parameters of the document.
// Nothing goes to the card; the values travel with the next Send.
class RadioWideSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    RadioWideSettingsDialog(model::CTmpDoc& doc, QWidget* parent = nullptr);

    QCheckBox* AudioBox() const { return audio_; }
    LogicSpinBox* LevelBox() const { return level_; }
    QCheckBox* UseBoxIdBox() const { return useBoxId_; }
    LogicSpinBox* ChannelBox() const { return channel_; }
    QCheckBox* DiagnosticBox() const { return diagnostic_; }
    QCheckBox* GpsBox() const { return gps_; }

    void accept() override;

  private:
    void ShowState();

    model::CTmpDoc& doc_;
    RadioWideSettingsLogic logic_;
    QCheckBox* audio_;
    QLabel* levelLabel_;
    LogicSpinBox* level_;
    QLabel* channelLabel_;
    LogicSpinBox* channel_;
    QCheckBox* useBoxId_;
    QCheckBox* diagnostic_;
    QCheckBox* gps_;
};

}  // namespace quillon::ui
