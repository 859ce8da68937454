// The program's log file: lines as written, the bound that renames it aside,
// and a planted link that it never writes through.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "runtime/program_log.h"

namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The handler is the process's: installed for one test, Qt's own after it.
struct InstalledLog {
    InstalledLog() { rt::InstallProgramLog("pedidos-test"); }
    ~InstalledLog() { qInstallMessageHandler(nullptr); }
};

TEST(ProgramLog, LineKeepsEachEntryAtTheStartOfALine) {
    const QDateTime when(QDate(2026, 12, 10), QTime(21, 5, 7, 42));
    EXPECT_EQ(rt::LogFileLine(QtWarningMsg, QStringLiteral("journal: no\r\nse lee"), when),
              QByteArray("2026-12-10 21:05:07.042 warning: journal: no\n\tse lee\n"));
    EXPECT_EQ(rt::LogFileLine(QtCriticalMsg, QStringLiteral("Año"), when),
              QByteArray("2026-12-10 21:05:07.042 critical: A\xC3\xB1o\n"));
}

TEST(ProgramLog, EarlyLinesFirstThenRenamedAsideAtTheBound) {
    QTemporaryDir dir;
    const InstalledLog log;
    qWarning("before the folder is known");
    ASSERT_TRUE(rt::LogToFolder(dir.path(), 200));
    const QString path = dir.filePath(rt::kLogFileName);
    EXPECT_TRUE(Contents(path).contains("warning: before the folder is known\n"));
    EXPECT_EQ(QFile(path).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    for (int i = 0; i < 8; ++i) qWarning("line %d of a busy night", i);
    const QByteArray now = Contents(path), old = Contents(dir.filePath(rt::kOldLogFileName));
    EXPECT_LE(now.size(), 200);
    EXPECT_TRUE(now.contains("line 7 of a busy night"));
    EXPECT_TRUE(old.contains("of a busy night") && !old.contains("line 7")) << old.constData();
    EXPECT_LE(old.size(), 200);
}

TEST(ProgramLog, APlantedLinkIsNeitherFollowedNorChanged) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("precious"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    ASSERT_TRUE(QFile::link(target, dir.filePath(rt::kLogFileName)));
    const InstalledLog log;
    EXPECT_FALSE(rt::LogToFolder(dir.path()));
    qWarning("not into the link");
    EXPECT_EQ(Contents(target), QByteArray("keep me"));
}

}  // namespace
