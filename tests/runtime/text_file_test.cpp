#include "runtime/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "program_locale.h"

namespace {

TEST(DecodeTextLines, LineBreaks) {
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"\n", {""}},
        {"\r\n", {""}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\rb\n", {"a\rb"}},  // a lone CR stays
        {"a\r", {"a\r"}},
        {"a\r\r\n", {"a\r"}},
        {" x \t\r\n  \n", {" x \t", "  "}},  // blanks are kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::DecodeTextLines(c.bytes), c.lines) << c.bytes.toStdString();
}

TEST(DecodeTextLines, ChoosesUtf8OnlyWhenTheWholeFileIsValid) {
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"Jalape\xC3\xB1o", QStringLiteral("Jalapeño")},
        {"Jalape\xF1o", QStringLiteral("Jalapeño")},  // Windows-1252
        {"\xEF\xBB\xBF"
         "abc",
         "abc"},  // byte-order mark dropped
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "x",
         QStringLiteral("\uFEFFx")},  // only the first mark is dropped
        {"\xEF\xBB\xBF"
         "a\xF1",
         QStringLiteral("ï»¿añ")},                               // not UTF-8: the mark is text
        {"\xC3\xB1 y \xF1", QStringLiteral("Ã± y ñ")},           // one bad byte spoils it all
        {"\xC0\xAF", QStringLiteral("À¯")},                      // overlong form
        {"\xED\xA0\x80", QStringLiteral("í\u00A0€")},            // surrogate
        {"\xE2\x82", QStringLiteral("â‚")},                      // cut short
        {"\xF4\x90\x80\x80", QStringLiteral("ô\u0090€€")},       // above U+10FFFF
        {"\xF0\x9F\x8D\x95", QString::fromUcs4(U"\U0001F355")},  // four bytes
        {"\xE2\x82\xAC 5", QStringLiteral("€ 5")},
    };
    for (const auto& c : cases) {
        const QStringList lines = rt::DecodeTextLines(c.bytes);
        ASSERT_EQ(lines.size(), 1) << c.bytes.toHex().toStdString();
        EXPECT_EQ(lines[0], c.text) << c.bytes.toHex().toStdString();
    }
}

TEST(DecodeTextFile, Utf16WithItsMarkIsDecoded) {
    const QString text = QStringLiteral("Jalapeño\r\nBAR 🍕\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (const QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    EXPECT_EQ(rt::DecodeTextFile(le, "f"), QStringList({"Jalapeño", "BAR 🍕"}));
    EXPECT_EQ(rt::DecodeTextFile(be, "f"), QStringList({"Jalapeño", "BAR 🍕"}));
    EXPECT_EQ(rt::DecodeTextFile("Jalape\xF1o", "f"), QStringList({"Jalapeño"}));  // no mark: as before
}

TEST(DecodeWindows1252, TheWholeCodePage) {
    QByteArray high;
    for (int b = 0x80; b <= 0x9F; ++b) high.append(static_cast<char>(b));
    EXPECT_EQ(rt::DecodeWindows1252(high),
              QStringLiteral("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"));
    for (int b = 0; b <= 0xFF; ++b) {
        if (b >= 0x80 && b <= 0x9F) continue;
        const QString s = rt::DecodeWindows1252(QByteArray(1, static_cast<char>(b)));
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s[0].unicode(), b) << b;  // the rest is Latin-1
    }
}

class TextFileReaderTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(TextFileReaderTest, ReadsLinesUntilTheEnd) {
    rt::TextFileReader reader(Write("Modelo.txt", "COCINA C\r\nBAR B\r\n\r\nPOSTRES\r\n"));
    QStringList read;
    while (!reader.AtEndOfStream()) read << reader.ReadLine();
    EXPECT_EQ(read, QStringList({"COCINA C", "BAR B", "", "POSTRES"}));
    QString description;
    EXPECT_EQ(ErrorNumberOf([&] { reader.ReadLine(); }, &description), rt::kInputPastEnd);
    EXPECT_EQ(description, "La entrada se ha pasado del final del archivo");
}

TEST_F(TextFileReaderTest, AnEmptyFileHasNoLine) {
    rt::TextFileReader reader(Write("vacio.txt", ""));
    EXPECT_TRUE(reader.AtEndOfStream());
    EXPECT_EQ(ErrorNumberOf([&] { reader.ReadLine(); }), rt::kInputPastEnd);
}

TEST_F(TextFileReaderTest, FilesThatCannotBeOpened) {
    const QString missing = dir.filePath("Contorno.txt");
    const QString noFolder = dir.filePath("no_hay/Termino.txt");
    const QString fifo = dir.filePath("fifo.txt"), zero = dir.filePath("cero.txt");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString large = Write("grande.txt", QByteArray(rt::kSharedTextBound + 1, 'x'));
    const QString nul = Write("nulo.txt", QByteArray("a\0b", 3));
    const QString badUtf16 = Write("u16.txt", QByteArray("\xFF\xFE\x00\xD8\x41\x00", 6));  // half a surrogate pair
    const QString access = "Error de acceso a la ruta o el archivo: ";
    const QString format = "Formato de archivo no válido: ";
    const struct {
        QString path;
        int number;
        QString description;
    } cases[] = {
        {missing, rt::kFileNotFound, "No se ha encontrado el archivo: " + missing},
        {noFolder, rt::kPathNotFound, "No se ha encontrado la ruta de acceso: " + noFolder},
        {"", rt::kFileNotFound, "No se ha encontrado el archivo"},
        {dir.path(), rt::kPermissionDenied, "Permiso denegado: " + dir.path()},
        // Refused for what they are, without waiting or reading them all.
        {fifo, rt::kFileAccess, access + fifo + ": es una tubería con nombre (FIFO), no un archivo; no se lee."},
        {zero, rt::kFileAccess, access + zero + ": es un dispositivo, no un archivo; no se lee."},
        {large, rt::kFileAccess, access + large + ": tiene más de 256 KB, más de lo que puede tener este archivo; no se lee."},
        {nul, rt::kBadFileFormat, format + nul + ": contiene bytes nulos (¿guardado en otra codificación?); no se lee."},
        {badUtf16, rt::kBadFileFormat, format + badUtf16 + ": está en UTF-16 pero cortado o mal formado; no se lee."},
    };
    for (const auto& c : cases) {
        QString description;
        EXPECT_EQ(ErrorNumberOf([&] { rt::TextFileReader reader(c.path); }, &description), c.number)
            << c.path.toStdString();
        EXPECT_EQ(description, c.description);
    }
}

}  // namespace
