// Entry point of every test program with screens: a QApplication (the
// screens need one; the platform is "offscreen" unless the caller chose
// another), the program's own seams, then GoogleTest.
#include <QApplication>
#include <QTemporaryDir>

#include "startup/program_seams.h"
#include "support/test_printer.h"
#include "widgets/edge_style.h"
#include "widgets/resources.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The terminal's own files (its send journal) in a folder of this test
    // program alone, never the user's.
    const QTemporaryDir ownData;
    if (!ownData.isValid()) return 2;
    qputenv("XDG_DATA_HOME", ownData.path().toLocal8Bit());
    QApplication app(argc, argv);
    widgets::LoadResources();
    widgets::UseEdgeStyle();
    startup::InstallProgramSeams();
    return testsupport::RunAllTests(argc, argv);
}
