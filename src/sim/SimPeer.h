#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "sim/SimLine.h"

namespace quillon::sim {

// A device of the simulated world that talks bytes: the card, or the modem
// in front of it. What it receives comes from the programmer's side; what
// it sends goes to whatever its output is wired to (the line, or the modem).
class SimPeer {
  public:
    using Output = std::function<void(const uint8_t* data, size_t count)>;

    virtual ~SimPeer() = default;
    virtual void Receive(const uint8_t* data, size_t count) = 0;
    void Receive(const std::string& text) {
        Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    void SetOutput(Output out) { output_ = std::move(out); }

  protected:
    void Emit(const uint8_t* data, size_t count) const {
        if (output_ && count > 0) {
            output_(data, count);
        }
    }
    void Emit(const std::string& text) const {
        Emit(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }

  private:
    Output output_;
};

// Sees every byte at the device end of a line: toDevice is true for bytes
// arriving from the programmer, false for bytes the device sends.
using ByteTrace = std::function<void(bool toDevice, uint8_t byte)>;

// Wires a device to the card end of a line: every byte that arrives there
// reaches the device at its arrival time, and the device's output goes onto
// the line. DetachFromLine undoes it (before the device goes away).
void AttachToLine(SimLine::End& end, SimPeer& peer, ByteTrace trace = {});
void DetachFromLine(SimLine::End& end, SimPeer& peer);

}  // namespace quillon::sim
