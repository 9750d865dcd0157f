#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/ModemSim.h"
#include "sim/TransceiverSim.h"

namespace quillon::sim {

// Everything quillon-sim can be told: the card's switches, the faults of
// the line between programmer and card, the modem, and the runner's own
// settings.
struct SimOptions {
    CardOptions card;
    std::optional<std::string> password;  // replaces the stored password at start
    double corruptRate = 0.0;             // per byte, both directions
    double dropRate = 0.0;
    double insertRate = 0.0;
    uint32_t seed = 12345;
    uint32_t burstMs = 0;     // the card's bytes reach the programmer only at multiples of this
    uint32_t staleBytes = 0;  // noise already waiting on the line when the programmer opens it
    bool modem = false;
    ModemSim::Options modemOptions;
    std::string linkPath;
    std::string statePath;
    bool trace = false;
    bool help = false;
};

// Reads the command line (without the program name). On failure error
// says what was wrong and out is unspecified.
bool ParseSimArgs(const std::vector<std::string>& args, SimOptions& out, std::string& error);
// The --help text: every option with its default.
std::string SimUsage();

}  // namespace quillon::sim
