#pragma once
#include <QObject>
#include <QSerialPort>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/SerialDevice.h"

namespace quillon::qt {

// Turns the program's COM name into the system device to open.
using PortResolver = std::function<std::string(const std::string& comName)>;

// A serial line on QSerialPort. Reads return at once. When the line goes
// away (a USB adapter pulled, the far end of a pseudo-terminal closed) the
// device stops reading and reports the loss through LastError, instead of
// letting the port report the same read error over and over. A device that
// another program holds (its lock file, or a flock() on the device) is not
// opened: two programs on one line would garble each other's transfers.
class QtSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    explicit QtSerialDevice(PortResolver resolver);
    ~QtSerialDevice() override;

    bool Open(const std::string& comName) override;
    bool IsOpen() const override;
    int Read(uint8_t* dest, int max) override;
    int Write(const uint8_t* src, int count) override;
    void PurgeReceive() override;
    void Close() override;
    uint32_t LastError() const override { return lastError_; }

    bool LineLost() const { return lost_; }
    QString DeviceName() const;
    // How many errors the port has reported since the device was made: a
    // lost line must not keep the port reporting.
    int ErrorReports() const { return errorReports_; }
    // Where other programs' lock files are looked for (the system's lock
    // folders unless set).
    void SetLockFolders(std::vector<std::string> folders) { lockFolders_ = std::move(folders); }

  private:
    void OnError(QSerialPort::SerialPortError error);
    void MarkLost(uint32_t code);

    PortResolver resolver_;
    std::unique_ptr<QSerialPort> port_;
    std::vector<std::string> lockFolders_;
    uint32_t lastError_ = 0;
    bool lost_ = false;
    int errorReports_ = 0;
};

// Makes QtSerialDevices that resolve names through one resolver.
class QtSerialFactory : public SerialDeviceFactory {
  public:
    explicit QtSerialFactory(PortResolver resolver) : resolver_(std::move(resolver)) {}
    std::unique_ptr<SerialDevice> Create() override {
        return std::make_unique<QtSerialDevice>(resolver_);
    }

  private:
    PortResolver resolver_;
};

}  // namespace quillon::qt
