#pragma once
#include <map>
#include <memory>
#include <string>

#include "core/SerialDevice.h"
#include "sim/SimLine.h"

namespace quillon::sim {

// The simulated machine's serial ports: COM names attached to the host ends
// of simulated lines. A name without a line cannot be opened, and a line end
// opened by one device cannot be opened by a second one.
class SimPorts : public SerialDeviceFactory {
  public:
    void Attach(const std::string& comName, SimLine::End& hostEnd) { ports_[comName] = &hostEnd; }
    void Detach(const std::string& comName) { ports_.erase(comName); }
    std::unique_ptr<SerialDevice> Create() override;

    // As a USB adapter pulled out: once a device finds its line gone it
    // stays closed, even when the line comes back, until it is opened
    // again. Off, a device just fails while the line is away.
    void SetLossCloses(bool on) { lossCloses_ = on; }

    // How many times a device was opened, and the name of the last attempt.
    int OpenAttempts() const { return attempts_; }
    const std::string& LastOpenName() const { return lastName_; }

  private:
    friend class SimPortDevice;
    std::map<std::string, SimLine::End*> ports_;
    std::map<SimLine::End*, bool> inUse_;
    int attempts_ = 0;
    std::string lastName_;
    bool lossCloses_ = false;
};

class SimPortDevice : public SerialDevice {
  public:
    explicit SimPortDevice(SimPorts& ports) : ports_(ports) {}
    ~SimPortDevice() override { Close(); }
    bool Open(const std::string& comName) override;
    bool IsOpen() const override { return end_ != nullptr && !lost_; }
    int Read(uint8_t* dest, int max) override;
    int Write(const uint8_t* src, int count) override;
    void PurgeReceive() override;
    void Close() override;
    uint32_t LastError() const override { return lastError_; }

    // Makes the next writes fail or come out short, for the write-error paths.
    void FailWrites(bool fail, uint32_t error = 5) {
        failWrites_ = fail;
        failError_ = error;
    }

  private:
    SimPorts& ports_;
    void NoteLoss() { lost_ = ports_.lossCloses_; }

    SimLine::End* end_ = nullptr;
    bool lost_ = false;
    uint32_t lastError_ = 0;
    bool failWrites_ = false;
    uint32_t failError_ = 0;
};

}  // namespace quillon::sim
