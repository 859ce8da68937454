#include "runtime/program_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <QByteArrayList>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace rt {
namespace {

// Lines logged before the file is known, written to it first; a program
// that never gets a file keeps only the first of them.
constexpr int kEarlyLines = 200;

int SyslogPriority(QtMsgType type) {
    switch (type) {
        case QtDebugMsg: return LOG_DEBUG;
        case QtInfoMsg: return LOG_INFO;
        case QtWarningMsg: return LOG_WARNING;
        case QtCriticalMsg: return LOG_ERR;
        case QtFatalMsg: return LOG_CRIT;
    }
    return LOG_WARNING;
}

const char* KindOf(QtMsgType type) {
    switch (type) {
        case QtDebugMsg: return "debug";
        case QtInfoMsg: return "info";
        case QtWarningMsg: return "warning";
        case QtCriticalMsg: return "critical";
        case QtFatalMsg: return "fatal";
    }
    return "warning";
}

// The file side of the log. Every member is guarded by `mutex`: the
// journal's and the follower's threads log too.
struct LogFile {
    std::mutex mutex;
    QString path;
    QString oldPath;
    qint64 maxBytes = kLogFileBytes;
    int fd = -1;
    qint64 size = 0;
    QByteArrayList early;

    // Opens `path` for appending, never through a symlink, as a regular file
    // of this user's alone. -1 with errno set otherwise.
    bool Open() {
        const QByteArray name = QFile::encodeName(path);
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd < 0) return false;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            ::close(fd);
            fd = -1;
            errno = EPERM;
            return false;
        }
        if ((st.st_mode & 077) != 0) ::fchmod(fd, 0600);
        size = st.st_size;
        return true;
    }

    void Write(const QByteArray& line) {
        if (fd < 0) {
            if (early.size() < kEarlyLines) early.push_back(line);
            return;
        }
        if (size > 0 && size + line.size() > maxBytes) Rotate();
        if (fd < 0) return;
        // Short writes on a full disk lose the line; nothing else may block
        // or fail the program for the log's sake.
        const ssize_t n = ::write(fd, line.constData(), static_cast<size_t>(line.size()));
        if (n > 0) size += n;
    }

    // The full file becomes the old one (replacing an older one), and a new
    // one starts.
    void Rotate() {
        ::close(fd);
        fd = -1;
        ::rename(QFile::encodeName(path).constData(), QFile::encodeName(oldPath).constData());
        Open();
    }
};

LogFile& File() {
    static LogFile file;
    return file;
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const QByteArray shown = qFormatLogMessage(type, context, text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", shown.constData());
    std::fflush(stderr);
    const QByteArray utf8 = text.toUtf8();
    ::syslog(SyslogPriority(type), "%s", utf8.constData());
    LogFile& file = File();
    const std::lock_guard lock(file.mutex);
    file.Write(LogFileLine(type, text, QDateTime::currentDateTime()));
}

}  // namespace

QByteArray LogFileLine(QtMsgType type, const QString& text, const QDateTime& when) {
    QByteArray line = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
    line += ' ';
    line += KindOf(type);
    line += ": ";
    QByteArray body = text.toUtf8();
    body.replace('\r', "");
    body.replace('\n', "\n\t");
    line += body;
    line += '\n';
    return line;
}

void InstallProgramLog(const char* identifier) {
    ::openlog(identifier, LOG_PID | LOG_NDELAY, LOG_USER);
    qInstallMessageHandler(&Handle);
}

bool LogToFolder(const QString& folder, qint64 maxBytes) {
    LogFile& file = File();
    std::unique_lock lock(file.mutex);
    if (file.fd >= 0) ::close(file.fd);
    file.path = folder + QLatin1Char('/') + QLatin1String(kLogFileName);
    file.oldPath = folder + QLatin1Char('/') + QLatin1String(kOldLogFileName);
    file.maxBytes = maxBytes;
    if (!file.Open()) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        const QString path = file.path;
        lock.unlock();
        qWarning().noquote() << "log file: cannot open" << path << ":" << reason
                             << "(lines go to stderr and the system log only)";
        return false;
    }
    const QByteArrayList early = std::exchange(file.early, {});
    for (const QByteArray& line : early) file.Write(line);
    return true;
}

}  // namespace rt
