#pragma once
#include <QDialog>
#include <map>
#include <string>

#include "core/SettingsStore.h"
#include "ops/SerialCommsLogic.h"
#include "ui/QtPrompts.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace quillon {
class CTmpApp;
}

namespace quillon::ui {

// "Configure Serial Comms": the COM port (and a hidden baud rate), with the
// system device each COM entry stands for on this machine.
class SerialCommsDialog : public QDialog {
    Q_OBJECT
  public:
    // `boxPrompts` shows the dialog's own message box; by default a Qt box
    // owned by the dialog.
    SerialCommsDialog(CTmpApp& app, SettingsStore& settings, QWidget* parent = nullptr,
                      Prompts* boxPrompts = nullptr);

    // Runs the dialog and lets the application keep the selections.
    int RunAndStore();

    QComboBox* PortList() const { return port_; }
    QComboBox* BaudList() const { return baud_; }
    QComboBox* DeviceList() const { return device_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* ReleaseButton() const { return release_; }
    QPushButton* CancelButton() const { return cancel_; }
    SerialCommsLogic::Outcome LastOutcome() const { return outcome_; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void OnOk();
    void OnRelease();
    void OnPortChanged(int index);
    // Notes the device shown for the selected COM entry as chosen.
    void OnDeviceChosen();
    // The device the dialog shows for a COM entry: the one chosen in this
    // dialog, else the stored one.
    std::string DeviceFor(int comNumber) const;
    // Stores the devices chosen in this dialog; only OK and Release do.
    void StoreChosenDevices();

    CTmpApp& app_;
    SettingsStore& settings_;
    SerialCommsLogic logic_;
    QtPrompts prompts_;
    Prompts* boxPrompts_;
    QComboBox* port_;
    QLabel* baudLabel_;
    QComboBox* baud_;
    QComboBox* device_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* release_;
    SerialCommsLogic::Outcome outcome_ = SerialCommsLogic::Outcome::Cancelled;
    // Device choices made in this dialog, by COM number, kept until OK or
    // Release so that Cancel leaves the settings as they were.
    std::map<int, std::string> chosenDevices_;
};

}  // namespace quillon::ui
