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
        std::fprintf(stderr,
                     "quillon: %s\nUsage: quillon [--device PATH] [--settings FILE] [--log [FILE]] "
                     "[FILE.bcf]\n",
                     error.c_str());
        return 64;
    }
    quillon::ui::GuiProgram program(options);
    program.Start();
    quillon::qt::QuitOnTerminationSignals();
    const int rc = QApplication::exec();
    program.Finish();
    return rc;
}
