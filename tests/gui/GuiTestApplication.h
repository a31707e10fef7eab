#pragma once

#include <QApplication>

namespace skarvel::test {

// The one QApplication of the GUI tests, made on first use unless the program has one already.
// It is never destroyed: widgets of a failed test may outlive every scope.
inline QApplication& ensureApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    return *new QApplication(argc, argv);
}

} // namespace skarvel::test
