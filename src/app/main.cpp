// The Quillon Radio Programmer's main window.
#include <QApplication>
#include <cstdio>

#include "platform/qt/QuitOnSignal.h"
#include "ui/GuiProgram.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon Radio Programmer"));
    QApplication::setOrganizationName(QStringLiteral("Quillon"));
    quillon::ui::GuiOptions options;
    std::string error;
    if (!quillon::ui::ParseGuiOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quillon: %s\n%s\n", error.c_str(), quillon::ui::kGuiUsage);
        return 64;
    }
    if (options.showHelp) {
        std::fputs(quillon::ui::GuiHelpText().c_str(), stdout);
        return 0;
    }
    quillon::ui::GuiProgram program(options);
    program.Start();
    quillon::qt::QuitOnTerminationSignals();
    const int rc = QApplication::exec();
    program.Finish();
    return rc;
}
