#pragma once
// The driver on COM1 of a simulated machine, with the simulated card at the
// far end of the line.
#include <memory>
#include <utility>

#include "SimRig.h"
#include "ops/CTmpApp.h"
#include "sim/SimPeer.h"
#include "sim/TransceiverSim.h"

namespace quillon::testing {

struct AppOnCard {
    SimRig rig;
    std::unique_ptr<sim::TransceiverSim> card;
    std::unique_ptr<CTmpApp> app;

    AppOnCard() = default;
    AppOnCard(const AppOnCard&) = delete;
    AppOnCard& operator=(const AppOnCard&) = delete;
    // The driver goes first: it may still write to the line as it ends.
    ~AppOnCard() {
        app.reset();
        if (card) {
            sim::DetachFromLine(rig.line.Card(), *card);
        }
    }

    // trace sees every byte at the card's end of the line.
    void AttachCard(const sim::CardOptions& options = {}, sim::ByteTrace trace = {}) {
        card = std::make_unique<sim::TransceiverSim>(rig.clock, options);
        sim::AttachToLine(rig.line.Card(), *card, std::move(trace));
        app = std::make_unique<CTmpApp>(rig.Deps());
        rig.pump.SetTarget(app.get());
    }
};

}  // namespace quillon::testing
