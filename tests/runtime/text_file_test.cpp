#include "runtime/text_file.h"

#include <gtest/gtest.h>

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
    const struct {
        QString path;
        int number;
        QString description;
    } cases[] = {
        {missing, rt::kFileNotFound, "No se ha encontrado el archivo: " + missing},
        {noFolder, rt::kPathNotFound, "No se ha encontrado la ruta de acceso: " + noFolder},
        {"", rt::kFileNotFound, "No se ha encontrado el archivo"},
        {dir.path(), rt::kPermissionDenied, "Permiso denegado: " + dir.path()},
    };
    for (const auto& c : cases) {
        QString description;
        EXPECT_EQ(ErrorNumberOf([&] { rt::TextFileReader reader(c.path); }, &description), c.number)
            << c.path.toStdString();
        EXPECT_EQ(description, c.description);
    }
}

}  // namespace
