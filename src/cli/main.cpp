// quillon-cli: the program's procedures and file operations without a window.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace quillon::cli {

std::vector<CliCommand>& CliCommands() {
    static std::vector<CliCommand> commands;
    return commands;
}

}  // namespace quillon::cli

namespace {

void PrintHelp() {
    using quillon::cli::CliCommands;
    std::vector<quillon::cli::CliCommand> cmds = CliCommands();
    std::sort(cmds.begin(), cmds.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    std::printf("Usage: quillon-cli COMMAND [ARGUMENTS]\n\n");
    std::printf("The Quillon Radio Programmer's procedures and document operations\n");
    std::printf("from the command line.\n\nCommands:\n");
    for (const auto& c : cmds) {
        std::printf("  %-44s %s\n", c.usage.c_str(), c.summary.c_str());
    }
    std::printf("\nOptions:\n");
    std::printf("  %-44s %s\n", "--help", "show this help and exit");
    std::printf("  %-44s %s\n", "--version", "show the program version and exit");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp();
        return quillon::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp();
        return quillon::cli::kExitOk;
    }
    if (args[0] == "--version") {
        std::printf("Quillon Radio Programmer - Version 2.7\n");
        return quillon::cli::kExitOk;
    }
    for (const auto& c : quillon::cli::CliCommands()) {
        if (c.name == args[0]) {
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
        }
    }
    std::fprintf(stderr, "quillon-cli: unknown command '%s' (try --help)\n", args[0].c_str());
    return quillon::cli::kExitUsage;
}
