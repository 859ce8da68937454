// The ESC/POS form of a ticket: what a raw kitchen printer receives.
#include "sending/escpos.h"

#include <gtest/gtest.h>

#include <QSet>

#include "sending/print_test_helpers.h"

namespace {

using sending::EscPosBytes;
using sending::PrintOp;
using sending::ToCp850;
using sending::EscPosText;
using sending::TicketPaper;
using Kind = sending::PrintOp::Kind;

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out.append(static_cast<char>(v));
    return out;
}

TEST(EscPos, TicketIsResetCodePageSizesLinesAndCut) {
    TicketPaper t;
    t.title = QStringLiteral("ASISTENTE");
    t.ops = {{Kind::ScaleMillimetres, {}, 0},
             {Kind::FontName, QStringLiteral("Draft 6cpi"), 0},
             {Kind::FontSize, {}, 12},
             {Kind::PrintLine, QStringLiteral("Señor Pollo"), 0},
             {Kind::PrintLine, QStringLiteral("       "), 0},
             {Kind::FontSize, {}, 10},
             {Kind::CurrentX, {}, 0},
             {Kind::PrintLine, QStringLiteral("Fecha: 05/03/2024"), 0},
             {Kind::PrintLine, {}, 0},
             {Kind::EndDoc, {}, 0}};
    QByteArray expected = Bytes({0x1B, '@', 0x1B, 't', 2});  // reset, code page 850
    expected += Bytes({0x1B, '!', 0x10});                    // size 12: double height
    expected += "Se" + Bytes({0xA4}) + "or Pollo\n";
    expected += "       \n";
    expected += Bytes({0x1B, '!', 0x00});  // size 10: normal
    expected += "Fecha: 05/03/2024\n";
    expected += "\n";
    expected += Bytes({0x1D, 'V', 66, 0});  // cut
    EXPECT_EQ(EscPosBytes(t), expected);
}

TEST(EscPos, TicketWithoutOperationsIsOnlyTheReset) {
    EXPECT_EQ(EscPosBytes(TicketPaper{}), Bytes({0x1B, '@', 0x1B, 't', 2}));
}

TEST(EscPos, SpanishTextIsInCodePage850) {
    EXPECT_EQ(ToCp850(QStringLiteral("Ñandú")), Bytes({0xA5, 'a', 'n', 'd', 0xA3}));
    EXPECT_EQ(ToCp850(QStringLiteral("áéíóúñü")),
              Bytes({0xA0, 0x82, 0xA1, 0xA2, 0xA3, 0xA4, 0x81}));
    EXPECT_EQ(ToCp850(QStringLiteral("ÁÉÍÓÚÜ")), Bytes({0xB5, 0x90, 0xD6, 0xE0, 0xE9, 0x9A}));
    EXPECT_EQ(ToCp850(QStringLiteral("¿¡65°ºª")), Bytes({0xA8, 0xAD, '6', '5', 0xF8, 0xA7, 0xA6}));
    EXPECT_EQ(ToCp850(QStringLiteral("Mesa #: 12 -- (x2) ~")), QByteArray("Mesa #: 12 -- (x2) ~"));
}

TEST(EscPos, EveryLatin1CharacterHasItsOwnByte) {
    QSet<char> bytes;
    for (char16_t c = 0xA0; c <= 0xFF; ++c) {
        const QByteArray b = ToCp850(QString(QChar(c)));
        ASSERT_EQ(b.size(), 1);
        EXPECT_GE(static_cast<unsigned char>(b[0]), 0x80) << "U+" << std::hex << int(c);
        bytes.insert(b[0]);
    }
    EXPECT_EQ(bytes.size(), 96);
}

TEST(EscPos, CharactersWithoutAByteAndControlsBecomeQuestionMarks) {
    EXPECT_EQ(ToCp850(QStringLiteral("5€")), QByteArray("5?"));
    EXPECT_EQ(ToCp850(QString::fromUtf8("a\xF0\x9F\x8D\x95"
                                        "b")),
              QByteArray("a?b"));  // one ? for a pizza emoji
    EXPECT_EQ(ToCp850(QStringLiteral("x\x1B@y\tz")), QByteArray("x?@y?z"));  // no command slips in
    EXPECT_EQ(ToCp850(QStringLiteral("ƒ─")), Bytes({0x9F, 0xC4}));           // CP850 beyond Latin-1
}

TEST(EscPos, OnlyBigSizesAreDoubleHeight) {
    TicketPaper t;
    t.ops = {{Kind::FontSize, {}, 10}, {Kind::FontSize, {}, 12}, {Kind::FontSize, {}, 10}};
    EXPECT_EQ(EscPosBytes(t).mid(5), Bytes({0x1B, '!', 0x00, 0x1B, '!', 0x10, 0x1B, '!', 0x00}));
}

TEST(EscPos, ReadableTextShowsWhatTheRollPrints) {
    TicketPaper t;
    t.ops = {{Kind::FontSize, {}, 12}, {Kind::PrintLine, QString::fromUtf8("Mesa #: 7 Ñandú"), 0},
             {Kind::FontSize, {}, 10}, {Kind::PrintLine, "--> ARROZ", 0}, {Kind::EndDoc, {}, 0}};
    const QByteArray two = EscPosBytes(t) + EscPosBytes(t);
    const QString cut = QString::fromUtf8("\u2702") + " - - - - - - - - - - - - - - - - - - - - - - -\n";
    const QString one = QString::fromUtf8("» Mesa #: 7 Ñandú\n  --> ARROZ\n") + cut;
    EXPECT_EQ(EscPosText(two), one + one);
    // A capture cut off mid-line keeps the text it has.
    EXPECT_EQ(EscPosText(ToCp850("sin fin")), "sin fin\n");
}

}  // namespace
