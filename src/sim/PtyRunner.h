#pragma once
#include <csignal>
#include <cstdio>
#include <string>

#include "sim/CardContent.h"
#include "sim/SimOptions.h"

namespace quillon::sim {

// The state file: missing is not an error (existed is then false and out
// holds the factory content); unreadable, too big or not a card state is.
bool LoadStateFile(const std::string& path, CardContent& out, bool& existed, std::string& error);
// Writes a temporary file beside it and renames it over the old one, so an
// interrupted write never leaves half a file.
bool SaveStateFile(const std::string& path, const CardContent& content, std::string& error);

// Runs the card (and modem) on a fresh pseudo-terminal in real time until
// stop turns non-zero: the terminal's name goes to out as one line, trace
// lines to out, everything else to err. Returns the exit status.
int RunOnPty(const SimOptions& options, const volatile std::sig_atomic_t& stop, std::FILE* out,
             std::FILE* err);

}  // namespace quillon::sim
