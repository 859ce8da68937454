#pragma once
// What every in-process benchmark does first: the offscreen platform (unless
// the caller chose one), the terminal's compiled-in pictures, Qt's warnings
// routed to the log.
#include <QApplication>
#include <memory>

namespace bench {

std::unique_ptr<QApplication> StartQt(int& argc, char** argv);

}  // namespace bench
