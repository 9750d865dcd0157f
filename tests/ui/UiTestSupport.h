#pragma once
#include <QApplication>

namespace quillon::testing {

// One QApplication for the whole test binary (offscreen platform).
inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "quillon_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace quillon::testing
