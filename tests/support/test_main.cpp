// Entry point of every test program: a QApplication (the screens need one; the
// platform is "offscreen" unless the caller chose another), then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "widgets/resources.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    widgets::LoadResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
