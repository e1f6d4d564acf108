// Runs the Qt window tests inside one application object, offscreen at 96 DPI.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_runtime.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Offscreen unless told otherwise (QT_QPA_PLATFORM=xcb shows the windows on a display).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quorbel::qt::PrepareApplication(app, quorbel::MainWindowLayout);
    return RUN_ALL_TESTS();
}
