#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace quillon::cli {

// Runs quillon-cli on its arguments (without the program name): reads the
// command line with QCommandLineParser, answers --help and --version, and
// runs the command named first. Usage errors go to `err` with status 64.
// Needs a QCoreApplication.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace quillon::cli
