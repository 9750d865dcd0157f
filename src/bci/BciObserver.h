#pragma once
#include <cstdint>

#include "bci/CounterNames.h"

namespace quillon {

// What the serial debug windows learn from the block engine. The engine holds
// at most one observer and reports nothing when none is attached; the window
// decides for itself whether the counter window concerned is open.
class BciObserver {
  public:
    virtual ~BciObserver() = default;
    // The engine entered another state: "Idle", "RX" or "TX".
    virtual void BciStateChanged(const char* stateName) = 0;
    // A counter changed; `value` is its new value.
    virtual void BciCounterChanged(BciCounter counter, uint32_t value) = 0;
};

}  // namespace quillon
