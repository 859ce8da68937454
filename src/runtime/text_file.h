#pragma once
// Reading the text files that terminals share (configuration, lists, print
// groups). They were written in the Windows code page: the reader decodes
// Windows-1252, or UTF-8 when the whole file is valid UTF-8 (a UTF-8 byte-order
// mark is dropped), or UTF-16 when it starts with its byte-order mark (what a
// Windows editor saves as "Unicode"). A line ends at LF; a CR right before it
// is dropped too. Nothing else of a line is changed (blanks stay).
#include <QString>
#include <QStringList>

#include "runtime/bounded_file.h"

namespace rt {

class TextFileReader {
public:
    // Opens and decodes the whole file. Throws RuntimeError 53 (file not found:
    // also for an empty path), 76 (path not found: its folder does not exist)
    // or 70 (permission denied: a folder, or a file that may not be read), with
    // the path as detail; 75 for a named pipe, a device, a socket or a file of
    // more than `maxBytes`, and 321 for bytes that are not text (see
    // DecodeTextFile), each with the path and the problem.
    explicit TextFileReader(const QString& path, qint64 maxBytes = kSharedTextBound);

    bool AtEndOfStream() const { return next_ >= lines_.size(); }
    // The next line without its line break. Throws RuntimeError 62 past the end.
    QString ReadLine();

private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// Decodes the bytes of a shared text file as above (UTF-8 when valid, else
// Windows-1252) and splits them into lines. A final line break does not start
// an extra empty line; an empty input has no lines.
QStringList DecodeTextLines(const QByteArray& bytes);

// The lines of a text file's bytes: UTF-16 (little or big endian) after its
// byte-order mark, else as DecodeTextLines. Throws RuntimeError 321 naming
// `path` for a NUL (no text file holds one: a file saved in an encoding this
// reader does not know) or UTF-16 cut short or with half a surrogate pair.
QStringList DecodeTextFile(const QByteArray& bytes, const QString& path);

// Windows-1252 bytes as text (every byte is a character; the five bytes the
// code page leaves unassigned become the control character of the same number).
QString DecodeWindows1252(const QByteArray& bytes);

}  // namespace rt
