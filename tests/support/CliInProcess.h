#pragma once
// quillon-cli's commands run in-process, with what they print kept.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace quillon::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool on `args` with its output kept in memory.
inline CliResult RunCliInProcess(const std::vector<std::string>& args) {
    char* outText = nullptr;
    char* errText = nullptr;
    size_t outSize = 0;
    size_t errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    CliResult r;
    r.status = cli::RunCli(args, out, err);
    std::fclose(out);
    std::fclose(err);
    r.out.assign(outText, outSize);
    r.err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return r;
}

}  // namespace quillon::testing
