// Entry point of the test programs of the logic library alone: Qt Core and
// GoogleTest, no screen. Linking them proves the logic needs no widget.
#include <QCoreApplication>

#include "support/test_printer.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return testsupport::RunAllTests(argc, argv);
}
