// quillon-cli: the program's procedures and file operations without a window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/CmdPrint.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Only a command that draws text needs the GUI application; the others
    // must not depend on a window system being there.
    std::unique_ptr<QCoreApplication> app;
    if (quillon::cli::NeedsPainting(args)) {
        quillon::cli::PrepareHeadlessPainting();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return quillon::cli::RunCli(args, stdout, stderr);
}
