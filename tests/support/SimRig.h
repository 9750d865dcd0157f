#pragma once
// A simulated machine for the core's tests: a line on COM1, the pump, the
// scripted prompts, the recording progress window, settings and the log.
#include <memory>

#include "core/MemorySettings.h"
#include "ops/CTmpApp.h"
#include "sim/MemoryLog.h"
#include "sim/RecordingProgress.h"
#include "sim/ScriptedPrompts.h"
#include "sim/SimLine.h"
#include "sim/SimPorts.h"
#include "sim/SimPump.h"
#include "sim/VirtualClock.h"

namespace quillon::testing {

struct SimRig {
    sim::VirtualClock clock;
    sim::SimLine line{clock};
    sim::SimPorts ports;
    sim::SimPump pump{clock};
    sim::ScriptedPrompts prompts;
    sim::RecordingProgress progress;
    MemorySettings settings;
    sim::MemoryLog log;

    SimRig() { ports.Attach("COM1", line.Host()); }

    CTmpApp::Deps Deps() {
        return CTmpApp::Deps{ports, clock, pump, prompts, progress, settings, log};
    }
    LinkContext Context(TextSessionHost* session = nullptr) {
        LinkContext c;
        c.devices = &ports;
        c.clock = &clock;
        c.pump = &pump;
        c.log = &log;
        c.session = session;
        return c;
    }
    // Everything the card end has received so far, as text.
    std::string CardReceived() {
        std::string s;
        uint8_t buf[256];
        int n;
        while ((n = line.Card().Read(buf, sizeof buf)) > 0) {
            s.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
        }
        return s;
    }
};

}  // namespace quillon::testing
