#pragma once
// Reading the text files that terminals share (configuration, lists, print
// groups). They were written in the Windows code page: the reader decodes
// Windows-1252, or UTF-8 when the whole file is valid UTF-8 (a UTF-8 byte-order
// mark is dropped). A line ends at LF; a CR right before it is dropped too.
// Nothing else of a line is changed (blanks stay).
#include <QString>
#include <QStringList>

namespace rt {

class TextFileReader {
public:
    // Opens and decodes the whole file. Throws RuntimeError 53 (file not found)
    // or 76 (path not found) when it cannot be read, with the path as detail.
    explicit TextFileReader(const QString& path);

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

}  // namespace rt
