// The fault soak: Send and Get cycles of random documents through the driver
// against the simulated card, each with faults drawn from a seed, every
// command checked for the invariants of SoakRun. Prints the figures and
// exits non-zero on any broken invariant.
//
//   quillon_soak [--cycles N] [--seed S] [--verbose] [--cycle K]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "RandomDocument.h"
#include "SoakPlan.h"
#include "SoakRun.h"

namespace {

using namespace quillon::soak;

struct Tally {
    int cycles = 0;
    int sendsCompleted = 0;
    int getsCompleted = 0;
    int cyclesCompleted = 0;
    int triggered = 0;
    std::map<std::string, int> failures;  // "Send: text" -> count
};

struct Totals {
    Tally byScenario[kScenarioCount];
    std::map<std::string, int> mixes;
    std::map<std::string, int> faultKinds;
    int commands = 0;
    int violations = 0;
    int blockBlindSpots = 0;
    int textBlindSpots = 0;
    int multiHitBlocks = 0;
    int multiHitCancelling = 0;
    uint64_t maxVirtualMs = 0;
    uint64_t dataFaults = 0;
};

std::string OneLine(std::string s) {
    for (char& c : s) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return s;
}

void Record(Totals& t, Tally& tally, const CommandOutcome& out, int cycle, const Plan& plan,
            bool verbose) {
    ++t.commands;
    t.maxVirtualMs = std::max(t.maxVirtualMs, out.virtualMs);
    t.dataFaults += out.dataFaults;
    for (const Fault& f : out.faults) {
        ++t.faultKinds[std::string(FaultKindName(f.kind)) +
                       (f.dir == 0 ? " to card" : " from card")];
    }
    t.multiHitBlocks += static_cast<int>(out.multiHits.size());
    for (const auto& m : out.multiHits) {
        t.multiHitCancelling += m.sumsCancel ? 1 : 0;
    }
    t.blockBlindSpots += out.blockBlindSpot ? 1 : 0;
    t.textBlindSpots += out.textBlindSpot ? 1 : 0;
    const char* what = out.send ? "Send" : "Get";
    if (out.completed) {
        ++(out.send ? tally.sendsCompleted : tally.getsCompleted);
    } else {
        ++tally.failures[std::string(what) + ": " +
                         (out.message.empty() ? "(no message)" : OneLine(out.message))];
    }
    tally.triggered += out.triggerFired ? 1 : 0;
    if (out.blockBlindSpot || out.textBlindSpot) {
        std::printf("cycle %d %s: success with wrong data explained by the faults (%s)\n", cycle,
                    what, out.blockBlindSpot ? "a block hit twice" : "text-mode bytes spoilt");
    }
    for (const std::string& v : out.violations) {
        ++t.violations;
        std::printf("VIOLATION cycle %d %s [%s]: %s\n", cycle, what, plan.Describe().c_str(),
                    v.c_str());
    }
    if (!out.completed && plan.scenario == Scenario::Criterion && !verbose) {
        // Each one counts against the criterion: named, so that it can be
        // rerun alone with --cycle.
        std::printf("cycle %d %s failed at 1 in 10,000 after %zu faults: %s\n", cycle, what,
                    out.dataFaults, OneLine(out.message).c_str());
    }
    if (verbose) {
        std::printf("cycle %d %s %s in %.1f s, %zu faults%s%s\n", cycle, what,
                    out.completed ? "completed" : "failed",
                    static_cast<double>(out.virtualMs) / 1000.0, out.dataFaults,
                    out.message.empty() ? "" : ": ", OneLine(out.message).c_str());
    }
}

int Usage() {
    std::fprintf(stderr, "usage: quillon_soak [--cycles N] [--seed S] [--verbose] [--cycle K]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = 20;
    uint32_t seed = 1;
    bool verbose = false;
    int only = 0;  // run this cycle alone and show its boxes and log
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cycles") == 0 && i + 1 < argc) {
            cycles = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--cycle") == 0 && i + 1 < argc) {
            only = std::atoi(argv[++i]);
            verbose = true;
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else {
            return Usage();
        }
    }
    if (cycles <= 0) {
        return Usage();
    }

    std::mt19937 rng(seed);
    Totals t;
    int referenceProblems = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        quillon::model::CTmpDoc doc;
        const ChannelMix mix = FillRandomDocument(rng, doc);
        ++t.mixes[ChannelMixName(mix)];
        const Plan plan = DrawPlan(rng);
        const uint32_t sendSeed = static_cast<uint32_t>(rng());
        const uint32_t getSeed = static_cast<uint32_t>(rng());
        if (only != 0 && cycle != only) {
            continue;  // the random stream has moved on as the full run's does
        }
        if (verbose) {
            std::printf("cycle %d: %s, %s\n", cycle, ChannelMixName(mix), plan.Describe().c_str());
        }
        const Reference ref = MakeReference(doc);
        if (!ref.ok) {
            ++referenceProblems;
            std::printf("VIOLATION cycle %d: %s\n", cycle, ref.problem.c_str());
            continue;
        }
        Tally& tally = t.byScenario[static_cast<int>(plan.scenario)];
        ++tally.cycles;
        const CommandOutcome sent = RunSend(doc, ref, plan, sendSeed);
        Record(t, tally, sent, cycle, plan, verbose);
        const CommandOutcome got = RunGet(ref, plan, getSeed);
        Record(t, tally, got, cycle, plan, verbose);
        if (only != 0) {
            for (const CommandOutcome* o : {&sent, &got}) {
                std::printf("--- %s boxes:\n", o->send ? "Send" : "Get");
                for (const auto& b : o->boxes) {
                    std::printf("%s\n", OneLine(b).c_str());
                }
                std::printf("--- faults:\n");
                for (const Fault& f : o->faults) {
                    std::printf("  %s %s byte %llu block %llu %s %02x -> %02x\n",
                                FaultKindName(f.kind), f.dir == 0 ? "to card" : "from card",
                                static_cast<unsigned long long>(f.position),
                                static_cast<unsigned long long>(f.block),
                                f.binary ? "binary" : "text", f.original, f.now);
                }
                std::printf("--- log:\n");
                for (const auto& l : o->log) {
                    std::printf("  %s\n", l.c_str());
                }
            }
        }
        tally.cyclesCompleted += sent.completed && got.completed ? 1 : 0;
    }

    std::printf("\nfault soak: %d cycles (a Send and a Get each), seed %u\n", cycles, seed);
    std::printf("documents:");
    for (const auto& [name, n] : t.mixes) {
        std::printf("  %s %d", name.c_str(), n);
    }
    std::printf("\n\n%-14s %6s %6s %6s %6s %9s\n", "scenario", "cycles", "sends", "gets", "both",
                "triggered");
    for (int s = 0; s < kScenarioCount; ++s) {
        const Tally& x = t.byScenario[s];
        std::printf("%-14s %6d %6d %6d %6d %9d\n", ScenarioName(static_cast<Scenario>(s)), x.cycles,
                    x.sendsCompleted, x.getsCompleted, x.cyclesCompleted, x.triggered);
    }
    std::printf("\nfailures by scenario and message:\n");
    for (int s = 0; s < kScenarioCount; ++s) {
        for (const auto& [text, n] : t.byScenario[s].failures) {
            std::printf("  %-14s %4d  %s\n", ScenarioName(static_cast<Scenario>(s)), n,
                        text.c_str());
        }
    }
    std::printf("\ninjected faults: %llu\n", static_cast<unsigned long long>(t.dataFaults));
    for (const auto& [kind, n] : t.faultKinds) {
        std::printf("  %-20s %d\n", kind.c_str(), n);
    }
    std::printf("blocks hit by two or more faults: %d (changes adding up to zero: %d)\n",
                t.multiHitBlocks, t.multiHitCancelling);
    std::printf(
        "successes with wrong data: block checksum blind spots %d, text replies spoilt into "
        "a right-looking answer %d\n",
        t.blockBlindSpots, t.textBlindSpots);
    std::printf("longest command: %.1f s of virtual time (bound %u s)\n",
                static_cast<double>(t.maxVirtualMs) / 1000.0, kCommandBoundMs / 1000);

    const Tally& crit = t.byScenario[static_cast<int>(Scenario::Criterion)];
    bool criterionMet = true;
    if (crit.cycles > 0) {
        const double share = 100.0 * crit.cyclesCompleted / crit.cycles;
        // At least 99.9 %: with fewer than 1000 cycles that allows none to fail.
        criterionMet = crit.cyclesCompleted * 1000 >= crit.cycles * 999;
        std::printf("1 in 10,000: %d of %d cycles completed (%.2f %%), %s the 99.9 %% criterion\n",
                    crit.cyclesCompleted, crit.cycles, share, criterionMet ? "meets" : "MISSES");
    }
    std::printf("invariant violations: %d\n", t.violations + referenceProblems);
    return t.violations + referenceProblems == 0 && criterionMet ? 0 : 1;
}
