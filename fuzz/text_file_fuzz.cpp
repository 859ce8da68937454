// The decoding every shared text file goes through: UTF-16 after its mark,
// else UTF-8 when the whole file is valid UTF-8, else Windows-1252, split into
// lines at LF; a NUL is no text.
#include "fuzz_support.h"
#include "runtime/text_file.h"

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool IsPlainAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\r') return false;
    return true;
}

void CheckWindows1252(const QByteArray& bytes) {
    const QString text = rt::DecodeWindows1252(bytes);
    fuzz::Check(text.size() == bytes.size(), "Windows-1252 gives one character per byte");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || b > 0x9F)
            fuzz::Check(text[i].unicode() == b, "Windows-1252 is Latin-1 outside 0x80-0x9F",
                        QString::number(b, 16));
    }
}

void CheckLines(const QByteArray& bytes) {
    const QStringList lines = rt::DecodeTextLines(bytes);
    for (const QString& line : lines)
        fuzz::Check(!line.contains(u'\n'), "no line holds a line break", line);
    // A line per LF, and one more for text after the last LF (a lone
    // byte-order mark is no text).
    const bool unterminated = !bytes.isEmpty() && bytes != kBom && !bytes.endsWith('\n');
    const qsizetype expected = bytes.count('\n') + (unterminated ? 1 : 0);
    fuzz::Check(lines.size() == expected, "one line per line break",
                QStringLiteral("%1 lines, %2 expected").arg(lines.size()).arg(expected));
    if (IsPlainAscii(bytes)) {
        const QString joined = lines.join(u'\n') + (bytes.endsWith('\n') ? "\n" : "");
        fuzz::Check(joined.toLatin1() == bytes, "plain ASCII lines are the bytes as written",
                    joined);
    }
}

bool HasUtf16Mark(const QByteArray& bytes) { return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"); }

// Without a UTF-16 mark a file reads as its decoded lines unless it holds a
// NUL; plain ASCII saved as UTF-16 (as a Windows editor would) reads the same,
// in either byte order.
void CheckFileLines(const QByteArray& bytes) {
    const std::optional<QStringList> read = fuzz::FileLines(bytes);
    if (HasUtf16Mark(bytes)) return;
    fuzz::Check(read.has_value() == !bytes.contains('\0'), "only a NUL makes a file without a mark no text");
    if (!read) return;
    fuzz::Check(*read == rt::DecodeTextLines(bytes), "a file without a UTF-16 mark reads as before");
    if (!IsPlainAscii(bytes)) return;
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (const char c : bytes) le.append(c).append('\0'), be.append('\0').append(c);
    fuzz::Check(fuzz::FileLines(le) == read && fuzz::FileLines(be) == read, "the same text in UTF-16 reads the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    CheckWindows1252(bytes);
    CheckLines(bytes);
    CheckFileLines(bytes);
    return 0;
}
