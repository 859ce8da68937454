#include "order/list_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(ListEntries, CommentsAndTheFirstEmptyLine) {
    const QString longLine(5000, QChar('x'));
    const struct {
        const char* name;
        QStringList lines;
        QStringList entries;
    } cases[] = {
        {"no lines", {}, {}},
        {"in file order", {"Papas", "Arroz", "Ensalada"}, {"Papas", "Arroz", "Ensalada"}},
        {"first line empty", {"", "Papas", "Arroz"}, {}},
        {"stops at the empty line", {"Papas", "", "Arroz"}, {"Papas"}},
        {"comment skipped", {"/ lista de contornos", "Papas", "/Arroz"}, {"Papas"}},
        {"slash only at the start", {"Papas / Arroz", " /Yuca"}, {"Papas / Arroz", " /Yuca"}},
        {"blanks kept", {" Papas", "Arroz  ", "\tYuca"}, {" Papas", "Arroz  ", "\tYuca"}},
        {"a blank line is no empty line", {"Papas", " ", "Arroz"}, {"Papas", " ", "Arroz"}},
        {"very long line", {longLine, "Papas"}, {longLine, "Papas"}},
        {"comment then empty", {"/x", "", "Papas"}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(order::ListEntries(c.lines), c.entries) << c.name;
}

class ReadListFileTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes) {
        const QString path = dir.filePath("Contorno.txt");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(ReadListFileTest, DecodesAndSplitsTheFile) {
    const QByteArray longLine(10000, 'y');
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        {"CR LF", "Papas\r\nArroz\r\n", {"Papas", "Arroz"}},
        {"no final line break", "Papas\nArroz", {"Papas", "Arroz"}},
        {"Windows-1252",
         "Pur\xe9\r\nJalape\xf1o\r\n",
         {QStringLiteral("Puré"), QStringLiteral("Jalapeño")}},
        {"UTF-8",
         "Pur\xc3\xa9\nJalape\xc3\xb1o\n",
         {QStringLiteral("Puré"), QStringLiteral("Jalapeño")}},
        {"first line empty", "\r\nPapas\r\nArroz\r\n", {}},
        {"stops at an empty line", "Papas\r\n\r\nArroz\r\n", {"Papas"}},
        {"comment and blank-led line", "/ contornos\r\n  Yuca frita \r\n", {"  Yuca frita "}},
        {"very long line", longLine + "\r\nPapas", {QString::fromLatin1(longLine), "Papas"}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(order::ReadListFile(Write(c.bytes)), c.entries) << c.name;
}

TEST_F(ReadListFileTest, UnreadablePathsGiveNoEntries) {
    const QString paths[] = {dir.filePath("Termino.txt"), dir.filePath("no_hay/Termino.txt"),
                             dir.path(), ""};
    for (const QString& path : paths) {
        QStringList entries{"sentinel"};
        EXPECT_NO_THROW(entries = order::ReadListFile(path)) << path.toStdString();
        EXPECT_TRUE(entries.isEmpty()) << path.toStdString();
    }
}

}  // namespace
