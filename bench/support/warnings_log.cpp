#include "support/warnings_log.h"

#include <QMutex>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

std::FILE* logFile = nullptr;
std::atomic<int> warnings{0};
QMutex logMutex;

void WriteMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg || type == QtCriticalMsg) ++warnings;
    QMutexLocker lock(&logMutex);
    std::fprintf(logFile ? logFile : stderr, "%s\n", qPrintable(text));
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

}  // namespace

void RouteWarningsToLog() {
    const QByteArray path = qgetenv("PEDIDOS_BENCH_LOG");
    if (!path.isEmpty()) logFile = std::fopen(path.constData(), "a");
    if (logFile) std::setvbuf(logFile, nullptr, _IOLBF, 0);
    qInstallMessageHandler(WriteMessage);
}

int WarningCount() { return warnings.load(); }

}  // namespace bench
