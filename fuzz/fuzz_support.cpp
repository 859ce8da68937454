#include "fuzz_support.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "runtime/regional_formats.h"
#include "runtime/runtime_error.h"
#include "runtime/text_file.h"

namespace fuzz {
namespace {

void Discard(QtMsgType, const QMessageLogContext&, const QString&) {}

// In memory when the system has /dev/shm: the file is rewritten for every
// input, and a disk busy with other work would set the pace.
const QString& ScratchPath() {
    static const QString path = [] {
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        const QDir dir = shm.isDir() && shm.isWritable() ? QDir(shm.filePath()) : QDir::temp();
        return dir.filePath(QStringLiteral("pedidos-fuzz-%1.txt").arg(::getpid()));
    }();
    return path;
}

void RemoveScratchFile() {
    QFile::remove(ScratchPath());
}

}  // namespace

std::optional<QStringList> FileLines(const QByteArray& bytes) {
    try {
        return rt::DecodeTextFile(bytes, QStringLiteral("f"));
    } catch (const rt::RuntimeError& e) {
        Check(e.number() == rt::kBadFileFormat && e.description().contains(QStringLiteral("f: ")),
              "bytes that are not text are refused as such, by name", e.description());
        return std::nullopt;
    }
}

QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString Utf8(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

std::pair<QString, QString> SplitAtFirstLine(const QString& text) {
    const qsizetype lf = text.indexOf(u'\n');
    if (lf < 0) return {text, QString()};
    return {text.left(lf), text.mid(lf + 1)};
}

void UseNeutralFormats() {
    rt::ResetFormats();
}

void UseProgramFormats() {
    rt::UseStartUpFormats();
}

QString WriteScratchFile(const QByteArray& bytes) {
    QFile file(ScratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write the scratch file %s: %s\n", qPrintable(ScratchPath()),
                     qPrintable(file.errorString()));
        std::abort();
    }
    return ScratchPath();
}

void Check(bool holds, const char* rule, const QString& seen) {
    if (holds) return;
    std::fprintf(stderr, "\n*** rule broken: %s\n*** seen: %s\n", rule, qPrintable(seen));
    std::abort();
}

}  // namespace fuzz

// Once per fuzzing process, before the first input. The readers log every odd
// line they skip; silenced, the fuzzer's own output stays readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler(fuzz::Discard);
    std::atexit(fuzz::RemoveScratchFile);
    return 0;
}
