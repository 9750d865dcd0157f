#pragma once
// quillon-cli print: the printed channel table as a PDF file, page for page
// what the desktop program sends to a printer.
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace quillon::cli {

int RunPrint(const CliCall& call);  // FILE.bcf OUT.pdf [--paper letter|a4] [--landscape]

// Whether the command line runs a command that paints (print): such a
// command needs a QGuiApplication, the others a QCoreApplication will do.
bool NeedsPainting(const std::vector<std::string>& args);

// Before the application object exists: a painting command without a
// chosen window system draws offscreen, so it works with no display.
void PrepareHeadlessPainting();

}  // namespace quillon::cli
