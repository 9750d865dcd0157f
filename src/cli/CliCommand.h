#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace quillon::cli {

// What a command's command line holds once it has been read and checked.
struct CliCall {
    std::vector<std::string> arguments;         // the positional ones, in order
    std::map<std::string, std::string> values;  // options given, by name without "--"
                                                // (a switch: an empty value)
    // A repeatable option's values, in the order given (not in `values`).
    std::map<std::string, std::vector<std::string>> repeated;
    std::FILE* out = stdout;
    std::FILE* err = stderr;

    // The option's value, or null when it was not given.
    const std::string* Value(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : &it->second;
    }
    // A repeatable option's values; empty when it was not given.
    std::vector<std::string> All(const std::string& name) const {
        const auto it = repeated.find(name);
        return it == repeated.end() ? std::vector<std::string>() : it->second;
    }
};

struct CliArgument {
    const char* name;  // as the usage shows it, e.g. "FILE.bcf"
    const char* description;
};

struct CliOption {
    const char* name;       // without "--"
    const char* valueName;  // e.g. "PATH"; null for a switch that takes no value
    const char* description;
    bool required = false;
    // May be given more than once ("--set A=1 --set B=2"); a value-taking
    // option otherwise may not.
    bool repeatable = false;
    // The value may be left out: "--log" alone, or "--log=FILE" (a value
    // then only after "=", so the next argument is never taken for it).
    bool optionalValue = false;
};

// One sub-command of quillon-cli: its command line and what runs it. The
// runner checks the command line against `arguments` and `options` before
// `run` is called, and answers --help from them.
struct CliCommand {
    const char* name;
    const char* summary;  // one line for --help
    std::vector<CliArgument> arguments;
    std::vector<CliOption> options;
    int (*run)(const CliCall& call);
    // The usage shows the options before the arguments, as the commands that
    // talk to a card are written ("get --device PATH OUT.bcf").
    bool optionsFirst = false;
    // The last argument may be given any number of times, at least once
    // ("delete-channel FILE.bcf N...").
    bool lastArgumentRepeats = false;
    // More help after the options, for commands whose values need a list.
    std::string (*details)() = nullptr;
    // The last argument may be left out ("diff A.bcf [B.bcf]"); the command
    // itself says when it needs it.
    bool lastArgumentOptional = false;
};

// Every command, in the order --help lists them.
const std::vector<CliCommand>& CliCommands();

// "import-csv IN.csv OUT.bcf [--base FILE.bcf]".
std::string Usage(const CliCommand& command);

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the transceiver procedure failed
inline constexpr int kExitRefused = 2;  // a file was refused or unreadable
// A wrong command line is refused input as much as a refused file: scripts
// tell "the card failed" (1) from "nothing was tried" (2).
inline constexpr int kExitUsage = 2;  // the command line was wrong

}  // namespace quillon::cli
