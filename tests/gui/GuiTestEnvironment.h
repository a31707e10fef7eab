#pragma once

// The one application object of the gui_tests program, for every gui test file: include
// this header (no test creates an application of its own). The first include registers a
// GoogleTest environment that creates a SkarvelApplication, offscreen, before the first
// test, so that errors reaching the event loop go through the program's own error handler.
// It is never destroyed: widgets of a failed test may outlive every scope.

#include "app/ErrorHandler.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace skarvel::test {

inline QApplication& guiApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    return *new SkarvelApplication(argc, argv);
}

class GuiTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { guiApplication(); }
};

inline ::testing::Environment* const guiTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);

} // namespace skarvel::test
