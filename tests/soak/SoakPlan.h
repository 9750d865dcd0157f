#pragma once
// What goes wrong in one soak cycle, drawn from the soak's random stream.
#include <cstdint>
#include <random>
#include <string>

#include "FaultLine.h"
#include "sim/SimLine.h"

namespace quillon::soak {

enum class Scenario {
    Criterion,   // one byte in 10,000 spoilt (corrupted or lost), both ways
    Noise,       // corruption and loss at one of several realistic rates
    NakBursts,   // the card refuses every good block a few times first
    Latency,     // a modem or network link: late bytes, delivered in bursts
    SilentCard,  // the card stops answering part-way through
    SlowReboot,  // the card takes longer to reboot than the programmer waits
    Disconnect,  // the line goes away part-way through
    Hostile,     // a line so bad nothing can get through
};
inline constexpr int kScenarioCount = 8;

const char* ScenarioName(Scenario s);

struct Plan {
    Scenario scenario = Scenario::Criterion;
    FaultRates toCard;
    FaultRates fromCard;
    int nakFirst = 0;
    sim::LineDelivery delivery;
    double rebootSeconds = 8.0;
    // For SilentCard and Disconnect: the event falls after this share (0..1)
    // of the bytes the same command moves on a clean line.
    double triggerShare = 0.0;
    // Whether the scenario lets the command fail. Those that do not must
    // complete except for the small share that the rates allow.
    bool mayFail = false;

    std::string Describe() const;
};

Plan DrawPlan(std::mt19937& rng);

}  // namespace quillon::soak
