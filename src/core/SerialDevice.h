#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

// One serial line, opened by its COM name. Reads never block: they return
// whatever bytes are waiting, possibly none.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // Opens the device exclusively at 9600 baud, 8 data bits, no parity, one
    // stop bit, software flow control off. Returns false when that fails.
    virtual bool Open(const std::string& comName) = 0;
    virtual bool IsOpen() const = 0;
    // Up to max bytes without waiting; returns the count (0 when none are
    // waiting) or -1 when the read failed (the line is gone).
    virtual int Read(uint8_t* dest, int max) = 0;
    // Returns the number of bytes written, or -1 on failure.
    virtual int Write(const uint8_t* src, int count) = 0;
    // Discards everything received and not yet read (the receive side only).
    virtual void PurgeReceive() = 0;
    virtual void Close() = 0;
    // The system error code of the last failure, 0 when none.
    virtual uint32_t LastError() const = 0;
};

// Makes the device objects for link objects; one per open port.
class SerialDeviceFactory {
  public:
    virtual ~SerialDeviceFactory() = default;
    virtual std::unique_ptr<SerialDevice> Create() = 0;
};

}  // namespace quillon
