#pragma once
#include <string>
#include <vector>

namespace quillon::cli {

// One sub-command of quillon-cli. Each command file registers its commands
// with a static CliCommandRegistrar, so main needs no list of them.
struct CliCommand {
    std::string name;
    std::string usage;    // e.g. "dump FILE.bcf"
    std::string summary;  // one line for --help
    int (*run)(const std::vector<std::string>& args);
};

std::vector<CliCommand>& CliCommands();

struct CliCommandRegistrar {
    explicit CliCommandRegistrar(CliCommand cmd) { CliCommands().push_back(std::move(cmd)); }
};

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the transceiver procedure failed
inline constexpr int kExitRefused = 2;  // a file was refused or unreadable
inline constexpr int kExitUsage = 64;   // the command line was wrong

}  // namespace quillon::cli
