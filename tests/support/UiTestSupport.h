#pragma once
#include <QApplication>

namespace quillon::testing {

// The test binary's QApplication, made by its main.
inline QApplication& TestApp() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace quillon::testing
