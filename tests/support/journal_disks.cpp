#include "support/journal_disks.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>
#include <thread>

namespace testsupport {

PowerCutDisk::PowerCutDisk(QString folder) : folder_(QDir(folder).absolutePath()) {
    for (const QFileInfo& f : QDir(folder_).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(f.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + f.filePath().toStdString());
        const QByteArray data = file.readAll();
        files_[nextFile_] = {data, data};
        names_[f.fileName()] = durableNames_[f.fileName()] = nextFile_++;
    }
}

std::optional<QString> PowerCutDisk::NameIn(const QString& path) const {
    const QFileInfo info(path);
    if (info.absolutePath() != folder_) return std::nullopt;
    return info.fileName();
}

bool PowerCutDisk::MakeFolder(const QString& folder, QString* error) { return real_.MakeFolder(folder, error); }

bool PowerCutDisk::WriteFile(const QString& path, const QByteArray& data, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.WriteFile(path, data, error)) return false;
    // Every write makes a file anew (whatever had the name is removed first).
    if (const std::optional<QString> name = NameIn(path)) {
        const int file = nextFile_++;
        files_[file].data = data;
        names_[*name] = file;
    }
    return true;
}

bool PowerCutDisk::SyncFile(const QString& path, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.SyncFile(path, error)) return false;
    if (const std::optional<QString> name = NameIn(path)) {
        File& f = files_.at(names_.at(*name));
        f.durable = f.data;
    }
    return true;
}

bool PowerCutDisk::Rename(const QString& from, const QString& to, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.Rename(from, to, error)) return false;
    Renamed(from, to);
    return true;
}

bool PowerCutDisk::RenameNoReplace(const QString& from, const QString& to, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.RenameNoReplace(from, to, error)) return false;
    Renamed(from, to);
    return true;
}

void PowerCutDisk::Renamed(const QString& from, const QString& to) {
    const std::optional<QString> a = NameIn(from), b = NameIn(to);
    if (!a || !b) throw std::logic_error("PowerCutDisk: a rename out of its folder");
    names_[*b] = names_.at(*a);
    names_.erase(*a);
}

bool PowerCutDisk::Remove(const QString& path, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.Remove(path, error)) return false;
    if (const std::optional<QString> name = NameIn(path)) names_.erase(*name);
    return true;
}

bool PowerCutDisk::SyncFolder(const QString& folder, QString* error) {
    const std::lock_guard lock(mutex_);
    if (!real_.SyncFolder(folder, error)) return false;
    if (QDir(folder).absolutePath() == folder_) durableNames_ = names_;
    return true;
}

void PowerCutDisk::PowerCut() {
    const std::lock_guard lock(mutex_);
    for (const auto& [name, file] : names_) QFile::remove(folder_ + '/' + name);
    QString error;
    for (const auto& [name, file] : durableNames_) {
        File& f = files_.at(file);
        f.data = f.durable;
        if (!real_.WriteFile(folder_ + '/' + name, f.durable, &error))
            throw std::runtime_error("PowerCutDisk: " + error.toStdString());
    }
    names_ = durableNames_;
}

void SlowDisk::Wait() {
    ++syncs_;
    std::this_thread::sleep_for(syncTime_.load());
}

bool SlowDisk::SyncFile(const QString& path, QString* error) {
    Wait();
    return PosixJournalDisk::SyncFile(path, error);
}
bool SlowDisk::SyncFolder(const QString& folder, QString* error) {
    Wait();
    return PosixJournalDisk::SyncFolder(folder, error);
}

namespace {

// "644 6e6f74..." of a file, "755" of a folder, "missing".
QString StateOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return QStringLiteral("missing");
    QFile f(path);
    const QByteArray bytes = S_ISREG(st.st_mode) && f.open(QIODevice::ReadOnly) ? f.readAll().toHex() : QByteArray();
    return QString::number(st.st_mode & 07777, 8) + QLatin1Char(' ') + QString::fromLatin1(bytes);
}

}  // namespace

LinkTarget::LinkTarget(const QString& path, bool folder) : path_(path), folder_(folder) {
    const QString file = folder ? path + QStringLiteral("/dentro.txt") : path;
    QFile f(file);
    if ((folder && !QDir().mkpath(path)) || !f.open(QIODevice::WriteOnly) || f.write("not the terminal's\n") < 0)
        throw std::runtime_error("cannot make " + file.toStdString());
    f.close();
    ::chmod(QFile::encodeName(path).constData(), folder ? 0755 : 0644);
    made_ = State();
}

QString LinkTarget::State() const {
    QString state = StateOf(path_);
    if (folder_)
        for (const QFileInfo& f : QDir(path_).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            state += QStringLiteral(", ") + f.fileName() + QLatin1Char(' ') + StateOf(f.filePath());
    return state;
}

QString LinkTarget::Changed() const {
    const QString now = State();
    return now == made_ ? QString() : QStringLiteral("was ") + made_ + QStringLiteral("; now ") + now;
}

}  // namespace testsupport
