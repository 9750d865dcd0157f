#pragma once
// One Send or one Get through the driver against the simulated card under a
// soak plan, and the checks every such command must pass whatever the line
// did to it.
#include <cstdint>
#include <string>
#include <vector>

#include "FaultLine.h"
#include "SoakPlan.h"
#include "model/CTmpDoc.h"
#include "sim/CardContent.h"

namespace quillon::soak {

// The longest a command may take, reboot waits and every retry included;
// a command still running then has hung.
inline constexpr uint32_t kCommandBoundMs = 20 * 60 * 1000;

// What the same document gives on a clean line: the card a Send leaves and
// the document a Get of that card makes, and how many bytes each moved.
struct Reference {
    bool ok = false;
    std::string problem;
    sim::CardContent card;
    model::CTmpDoc got;
    uint64_t sendBytes = 0;
    uint64_t getBytes = 0;
};

Reference MakeReference(const model::CTmpDoc& doc);

struct CommandOutcome {
    bool send = true;
    bool completed = false;
    bool hung = false;
    std::string message;  // the warning a failure showed
    uint64_t virtualMs = 0;
    bool triggerFired = false;
    size_t dataFaults = 0;
    std::vector<MultiHit> multiHits;
    // Success with wrong data that the fault record explains: a block hit
    // twice (the additive checksum's blind spot), or text-mode bytes spoilt
    // (text commands carry no checksum).
    bool blockBlindSpot = false;
    bool textBlindSpot = false;
    std::vector<std::string> violations;
    std::vector<Fault> faults;
    // For a closer look at one cycle: every message box and the log.
    std::vector<std::string> boxes;
    std::vector<std::string> log;
};

CommandOutcome RunSend(const model::CTmpDoc& doc, const Reference& ref, const Plan& plan,
                       uint32_t seed);
CommandOutcome RunGet(const Reference& ref, const Plan& plan, uint32_t seed);

// A warning text this program shows when a command fails.
bool IsFailureMessage(const std::string& text);

}  // namespace quillon::soak
