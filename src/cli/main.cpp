// quillon-cli: the program's procedures and file operations without a window.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    QCoreApplication app(argc, argv);
    return quillon::cli::RunCli(args, stdout, stderr);
}
