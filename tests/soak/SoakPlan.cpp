#include "SoakPlan.h"

#include <cstdio>

#include "sim/VirtualClock.h"

namespace quillon::soak {

const char* ScenarioName(Scenario s) {
    switch (s) {
        case Scenario::Criterion:
            return "1 in 10,000";
        case Scenario::Noise:
            return "noise";
        case Scenario::NakBursts:
            return "NAK bursts";
        case Scenario::Latency:
            return "latency";
        case Scenario::SilentCard:
            return "silent card";
        case Scenario::SlowReboot:
            return "slow reboot";
        case Scenario::Disconnect:
            return "disconnect";
        case Scenario::Hostile:
            return "hostile";
    }
    return "?";
}

namespace {

double Pick(std::mt19937& rng, std::initializer_list<double> values) {
    std::uniform_int_distribution<size_t> i(0, values.size() - 1);
    return *(values.begin() + i(rng));
}

// A spoilt byte is corrupted two times in three and lost otherwise.
FaultRates Spoil(double rate) {
    return FaultRates{rate * 2.0 / 3.0, rate / 3.0, 0.0};
}

}  // namespace

Plan DrawPlan(std::mt19937& rng) {
    // Weights: the criterion's rate gets the largest share of the cycles.
    static const int kWeights[kScenarioCount] = {30, 20, 10, 10, 8, 7, 8, 7};
    std::discrete_distribution<int> which(std::begin(kWeights), std::end(kWeights));
    std::uniform_real_distribution<double> share(0.02, 0.98);
    Plan p;
    p.scenario = static_cast<Scenario>(which(rng));
    switch (p.scenario) {
        case Scenario::Criterion:
            p.toCard = p.fromCard = Spoil(1e-4);
            break;
        case Scenario::Noise: {
            const double rate = Pick(rng, {1e-5, 5e-5, 1e-4, 2e-4});
            p.toCard = p.fromCard = Spoil(rate);
            // Some lines also pick up stray bytes.
            if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) {
                p.toCard.insert = p.fromCard.insert = rate / 4.0;
            }
            break;
        }
        case Scenario::NakBursts:
            p.nakFirst = std::uniform_int_distribution<int>(1, 3)(rng);
            p.toCard = p.fromCard = Spoil(1e-5);
            break;
        case Scenario::Latency:
            p.delivery.latencyNs =
                static_cast<uint64_t>(Pick(rng, {20, 80, 200, 400})) * sim::VirtualClock::kNsPerMs;
            p.delivery.burstNs = std::uniform_int_distribution<int>(0, 1)(rng) == 1
                                     ? 16 * sim::VirtualClock::kNsPerMs
                                     : 0;
            p.toCard = p.fromCard = Spoil(1e-5);
            break;
        case Scenario::SilentCard:
            p.triggerShare = share(rng);
            p.mayFail = true;
            break;
        case Scenario::SlowReboot:
            // The reboot wait gives up after 21 x 5.1 s.
            p.rebootSeconds = Pick(rng, {120.0, 200.0, 400.0});
            p.mayFail = true;
            break;
        case Scenario::Disconnect:
            p.triggerShare = share(rng);
            p.mayFail = true;
            break;
        case Scenario::Hostile: {
            const double rate = Pick(rng, {1e-2, 2e-2, 5e-2});
            p.toCard = p.fromCard = Spoil(rate);
            p.toCard.insert = p.fromCard.insert = rate / 4.0;
            p.mayFail = true;
            break;
        }
    }
    return p;
}

std::string Plan::Describe() const {
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "%s: corrupt %.1e/%.1e drop %.1e/%.1e insert %.1e/%.1e nak %d latency %llu ms "
                  "burst %llu ms reboot %.0f s trigger %.2f",
                  ScenarioName(scenario), toCard.corrupt, fromCard.corrupt, toCard.drop,
                  fromCard.drop, toCard.insert, fromCard.insert, nakFirst,
                  static_cast<unsigned long long>(delivery.latencyNs / sim::VirtualClock::kNsPerMs),
                  static_cast<unsigned long long>(delivery.burstNs / sim::VirtualClock::kNsPerMs),
                  rebootSeconds, triggerShare);
    return buf;
}

}  // namespace quillon::soak
