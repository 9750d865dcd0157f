#pragma once
#include <memory>

#include "sim/CardContent.h"
#include "sim/ModemSim.h"
#include "sim/SimLine.h"
#include "sim/SimOptions.h"
#include "sim/SimPeer.h"
#include "sim/TransceiverSim.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

// The simulated far end as quillon-sim and the tests set it up: a 9600-baud
// line with its faults, the card at its far end, and optionally the modem
// between them. The programmer talks to Line().Host().
class CardRig {
  public:
    CardRig(VirtualClock& clock, const SimOptions& options,
            CardContent content = CardContent::Factory(), ByteTrace trace = {});
    ~CardRig();
    CardRig(const CardRig&) = delete;
    CardRig& operator=(const CardRig&) = delete;

    SimLine& Line() { return line_; }
    SimLine::End& Host() { return line_.Host(); }
    TransceiverSim& Card() { return card_; }
    ModemSim* Modem() { return modem_.get(); }

  private:
    SimPeer& Front() { return modem_ ? static_cast<SimPeer&>(*modem_) : card_; }

    SimLine line_;
    TransceiverSim card_;
    std::unique_ptr<ModemSim> modem_;
};

}  // namespace quillon::sim
