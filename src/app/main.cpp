// The Quillon Radio Programmer's main window.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "platform/qt/QuitOnSignal.h"
#include "ui/GuiProgram.h"

namespace {

// The help is asked for before the application object exists, which needs a
// display: "quillon --help" answers on a machine without one too. Values of
// the options that take one, and everything after "--", are not options.
bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0) {
            return false;
        }
        if (std::strcmp(a, "--device") == 0 || std::strcmp(a, "--settings") == 0) {
            ++i;
        } else if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::fputs(quillon::ui::GuiHelpText().c_str(), stdout);
        return 0;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon Radio Programmer"));
    QApplication::setOrganizationName(QStringLiteral("Quillon"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("quillon"), QIcon(QStringLiteral(":/quillon/card.png"))));
    // Lets the desktop tie the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
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
