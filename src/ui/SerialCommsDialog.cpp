#include "ui/SerialCommsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include "link/PortNames.h"
#include "ops/CTmpApp.h"

namespace quillon::ui {

SerialCommsDialog::SerialCommsDialog(CTmpApp& app, SettingsStore& settings, QWidget* parent,
                                     Prompts* boxPrompts)
    : QDialog(parent),
      app_(app),
      settings_(settings),
      logic_(app),
      prompts_(this),
      boxPrompts_(boxPrompts != nullptr ? boxPrompts : &prompts_) {
    setWindowTitle(QStringLiteral("Configure Serial Comms"));
    auto* group = new QGroupBox(QStringLiteral("&COM Options:"), this);
    auto* portLabel = new QLabel(QStringLiteral("&Port:"), group);
    port_ = new QComboBox(group);
    for (const char* name : {"COM1", "COM2", "COM3", "COM4"}) {
        port_->addItem(QString::fromLatin1(name));
    }
    portLabel->setBuddy(port_);
    baudLabel_ = new QLabel(QStringLiteral("&Baud Rate:"), group);
    baud_ = new QComboBox(group);
    for (const char* rate : {"9600", "14400", "19200", "38400", "56000"}) {
        baud_->addItem(QString::fromLatin1(rate));
    }
    baudLabel_->setBuddy(baud_);
    // The line always runs at 9600; the rate list is kept but not offered.
    baudLabel_->setVisible(false);
    baudLabel_->setEnabled(false);
    baud_->setVisible(false);
    baud_->setEnabled(false);

    auto* deviceLabel = new QLabel(QStringLiteral("&Device:"), group);
    device_ = new QComboBox(group);
    device_->setEditable(true);
    deviceLabel->setBuddy(device_);
#ifdef _WIN32
    deviceLabel->setVisible(false);
    device_->setVisible(false);
#endif

    auto* grid = new QGridLayout(group);
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(port_, 0, 1);
    grid->addWidget(deviceLabel, 1, 0);
    grid->addWidget(device_, 1, 1);
    grid->addWidget(baudLabel_, 2, 0);
    grid->addWidget(baud_, 2, 1);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    release_ = new QPushButton(QStringLiteral("Release"), this);
    release_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(release_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &SerialCommsDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(release_, &QPushButton::clicked, this, &SerialCommsDialog::OnRelease);
    connect(port_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SerialCommsDialog::OnPortChanged);
    connect(device_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int) { OnDeviceChosen(); });
}

void SerialCommsDialog::showEvent(QShowEvent* e) {
    // An index of -1 selects nothing.
    port_->setCurrentIndex(
        logic_.PortIndex() >= 0 && logic_.PortIndex() < port_->count() ? logic_.PortIndex() : -1);
    baud_->setCurrentIndex(
        logic_.BaudIndex() >= 0 && logic_.BaudIndex() < baud_->count() ? logic_.BaudIndex() : -1);
    release_->setEnabled(logic_.ReleaseEnabled());
    OnPortChanged(port_->currentIndex());
    QDialog::showEvent(e);
}

void SerialCommsDialog::OnPortChanged(int index) {
    device_->clear();
    if (index < 0) {
        device_->setEnabled(false);
        return;
    }
    device_->setEnabled(true);
    const QString stored = QString::fromStdString(DeviceFor(index + 1));
    device_->addItem(stored);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != stored) {
            device_->addItem(info.systemLocation());
        }
    }
    device_->setCurrentIndex(0);
}

void SerialCommsDialog::OnDeviceChosen() {
    const int index = port_->currentIndex();
    const QString dev = device_->currentText().trimmed();
    if (index >= 0 && !dev.isEmpty()) {
        chosenDevices_[index + 1] = dev.toStdString();
    }
}

std::string SerialCommsDialog::DeviceFor(int comNumber) const {
    const auto it = chosenDevices_.find(comNumber);
    return it != chosenDevices_.end() ? it->second : StoredDeviceFor(comNumber, settings_);
}

void SerialCommsDialog::StoreChosenDevices() {
    for (const auto& [comNumber, device] : chosenDevices_) {
        StoreDeviceFor(comNumber, device, settings_);
    }
    chosenDevices_.clear();
}

void SerialCommsDialog::OnOk() {
    // The port finds its device through the settings, so the choice is
    // stored before the port opens; an OK refused because a procedure runs
    // stores nothing.
    if (!app_.Busy()) {
        OnDeviceChosen();
        StoreChosenDevices();
    }
    const auto r = logic_.Ok(port_->currentIndex(), baud_->currentIndex(), *boxPrompts_);
    release_->setEnabled(logic_.ReleaseEnabled());
    if (r == SerialCommsLogic::Outcome::Closed) {
        outcome_ = r;
        accept();
    }
}

void SerialCommsDialog::OnRelease() {
    const auto r = logic_.Release(port_->currentIndex(), baud_->currentIndex());
    if (r != SerialCommsLogic::Outcome::Closed) {
        return;  // refused while a procedure runs
    }
    StoreChosenDevices();
    outcome_ = r;
    accept();
}

int SerialCommsDialog::RunAndStore() {
    outcome_ = SerialCommsLogic::Outcome::Cancelled;
    const int r = exec();
    logic_.StoreInto(app_, outcome_);
    return r;
}

}  // namespace quillon::ui
