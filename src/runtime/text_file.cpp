#include "runtime/text_file.h"

#include <QDebug>
#include <QStringDecoder>
#include <optional>

#include "runtime/runtime_error.h"

namespace rt {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; its five unassigned
// bytes there (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no
// sequence cut short.
bool IsValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (n - i - 1 < more) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (int k = 2; k <= more; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf('\n', start);
        if (lf < 0) {
            lines.append(text.mid(start));  // the last line has no line break; a lone CR stays
            break;
        }
        qsizetype end = lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.append(text.mid(start, end - start));
        start = lf + 1;
    }
    return lines;
}

// UTF-16 after its byte-order mark (true: big endian), or nullopt without one.
std::optional<bool> Utf16BigEndian(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) return false;
    if (bytes.startsWith("\xFE\xFF")) return true;
    return std::nullopt;
}

// Strict UTF-16: whole code units, every surrogate in its pair. Nullopt when not.
std::optional<QString> DecodeUtf16(const QByteArray& bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto unit = [&](qsizetype i) {
        return bigEndian ? char16_t(p[i] << 8 | p[i + 1]) : char16_t(p[i + 1] << 8 | p[i]);
    };
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (QChar::isLowSurrogate(u)) return std::nullopt;  // no high half before it
        if (QChar::isHighSurrogate(u) && (i + 2 >= bytes.size() || !QChar::isLowSurrogate(unit(i + 2))))
            return std::nullopt;
        text[i / 2] = QChar(u);
        if (QChar::isHighSurrogate(u)) {
            i += 2;
            text[i / 2] = QChar(unit(i));
        }
    }
    return text;
}

[[noreturn]] void RaiseNotText(const QString& path, const QString& problem) {
    qWarning().noquote() << "file not read:" << path << "-" << problem;
    Raise(kBadFileFormat, path + QStringLiteral(": ") + problem + QStringLiteral("; no se lee."));
}

}  // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

QStringList DecodeTextLines(const QByteArray& bytes) {
    QString text;
    if (IsValidUtf8(bytes)) {
        // Only the one mark at the start is dropped; the decoder is told to keep
        // any further U+FEFF as text (QString::fromUtf8 would drop it too).
        const QByteArray bom("\xEF\xBB\xBF");
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        text = utf8(bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes);
    } else {
        text = DecodeWindows1252(bytes);
    }
    return SplitLines(text);
}

QStringList DecodeTextFile(const QByteArray& bytes, const QString& path) {
    if (const std::optional<bool> bigEndian = Utf16BigEndian(bytes)) {
        const std::optional<QString> text = DecodeUtf16(bytes.mid(2), *bigEndian);
        if (!text) RaiseNotText(path, QStringLiteral("está en UTF-16 pero cortado o mal formado"));
        if (text->contains(QChar(0))) RaiseNotText(path, QStringLiteral("contiene caracteres nulos"));
        // Worth a line: the next editor to save it may choose another encoding.
        qInfo().noquote() << "file read as UTF-16:" << path;
        return SplitLines(*text);
    }
    if (bytes.contains('\0'))
        RaiseNotText(path, QStringLiteral("contiene bytes nulos (¿guardado en otra codificación?)"));
    return DecodeTextLines(bytes);
}

TextFileReader::TextFileReader(const QString& path, qint64 maxBytes) {
    // A missing file is "file not found" when its folder exists, else "path
    // not found"; a folder, like a file without read permission, is
    // "permission denied". What is no file at all, or too large for what a
    // text file of the terminal holds, is refused by name without reading it.
    const BoundedFile file = ReadBoundedFile(path, maxBytes);
    switch (file.refusal) {
        case FileRefusal::kNone:
            break;
        case FileRefusal::kMissing:
            Raise(kFileNotFound, path);
        case FileRefusal::kNoFolder:
            Raise(kPathNotFound, path);
        case FileRefusal::kUnreadable:
        case FileRefusal::kFolder:
            Raise(kPermissionDenied, path);
        case FileRefusal::kNotRegular:
        case FileRefusal::kTooLarge:
            Raise(kFileAccess, path + QStringLiteral(": ") + file.problem + QStringLiteral("; no se lee."));
    }
    lines_ = DecodeTextFile(file.bytes, path);
}

QString TextFileReader::ReadLine() {
    if (AtEndOfStream()) Raise(kInputPastEnd);
    return lines_[next_++];
}

}  // namespace rt
