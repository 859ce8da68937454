#pragma once
// What the fuzz targets share: the input as bytes and text, the two regional
// formats the program runs under, one scratch file for the readers that only
// take a path, and the check that stops the run when a property of the code
// does not hold. fuzz_support.cpp also holds the targets' common
// LLVMFuzzerInitialize, which silences Qt's messages.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace fuzz {

QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// The bytes as UTF-8 text (invalid sequences become U+FFFD).
QString Utf8(const std::uint8_t* data, std::size_t size);

// The text before the first LF and the text after it; without an LF, the
// whole text and "".
std::pair<QString, QString> SplitAtFirstLine(const QString& text);

// The neutral defaults, and the formats start-up forces (day-first dates,
// decimal comma, thousands point).
void UseNeutralFormats();
void UseProgramFormats();

// Writes `bytes` to this process's scratch file (in /dev/shm when there is
// one), always the same path, and returns that path. The file is removed when
// the process ends.
QString WriteScratchFile(const QByteArray& bytes);

// The lines a text file of `bytes` reads as, or nullopt when the reader
// refuses them for not being text (a NUL, UTF-16 cut short).
std::optional<QStringList> FileLines(const QByteArray& bytes);

// Stops the run (abort, so libFuzzer keeps the input) when `holds` is false,
// naming the broken rule and what was seen.
void Check(bool holds, const char* rule, const QString& seen = QString());

}  // namespace fuzz
