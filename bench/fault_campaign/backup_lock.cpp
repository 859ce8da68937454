#include "fault_campaign/backup_lock.h"

#include <QThread>

#include "support/bare_client.h"

namespace campaign {
namespace {

// The lock waits for statements already running; one held back by the
// proxy for long must not keep the backup from starting for a day (the
// server's default).
constexpr int kTakeLimitSeconds = 30;

}  // namespace

bool HoldBackupLock(const QString& socket, std::chrono::seconds hold, QString* error,
                    const std::function<void()>& taken, const std::function<void()>& released) {
    try {
        bench::BareClient backup;
        // The lock is the whole server's, whatever database the session is in.
        backup.ConnectRoot(socket, QStringLiteral("mysql"));
        backup.Run(QStringLiteral("SET SESSION lock_wait_timeout=%1").arg(kTakeLimitSeconds));
        backup.Run(QStringLiteral("FLUSH TABLES WITH READ LOCK"));
        taken();
        QThread::sleep(static_cast<unsigned long>(hold.count()));
        backup.Run(QStringLiteral("UNLOCK TABLES"));
        released();
        return true;
    } catch (const bench::BareError& e) {
        *error = QStringLiteral("backup lock on %1: %2 %3").arg(socket).arg(e.number).arg(QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace campaign
