// Test entry for code that needs an application object: the offscreen platform unless the caller
// chose another one.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vantrel::InstallArialFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
