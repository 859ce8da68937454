#include "runtime/variant.h"

#include <gtest/gtest.h>

#include "program_locale.h"
#include "runtime/date_format.h"

namespace {

using rt::Variant;
using VariantProgram = ProgramFormats;

TEST_F(VariantProgram, TruthOfFlags) {
    const struct {
        Variant value;
        bool equalsTrue;
        bool nonZero;
    } cases[] = {
        {Variant(true), true, true},    {Variant(false), false, false},
        {Variant(1), false, true},      {Variant(-1), false, true},
        {Variant(0), false, false},     {Variant(0.5), false, true},
        {Variant(), false, false},      {Variant("True"), false, false},
        {Variant("1"), false, true},    {Variant("0"), false, false},
        {Variant("0,5"), false, true},  {Variant(""), false, false},
        {Variant("abc"), false, false}, {Variant::FromDate(QDate(2026, 1, 1)), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.EqualsTrue(), c.equalsTrue) << c.value.ToTextOrEmpty().toStdString();
        EXPECT_EQ(c.value.IsNonZero(), c.nonZero) << c.value.ToTextOrEmpty().toStdString();
    }
}

TEST_F(VariantProgram, ToDouble) {
    EXPECT_EQ(Variant(true).ToDouble(), -1.0);
    EXPECT_EQ(Variant(false).ToDouble(), 0.0);
    EXPECT_EQ(Variant(12.5).ToDouble(), 12.5);
    EXPECT_EQ(Variant("1.234,50").ToDouble(), 1234.5);
    EXPECT_EQ(Variant::FromDate(QDate(1899, 12, 31)).ToDouble(), 1.0);
    EXPECT_EQ(Variant::FromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0))).ToDouble(),
              46364.5);
    EXPECT_EQ(Variant::FromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))).ToDouble(), -1.25);
    EXPECT_EQ(ErrorNumberOf([] { Variant().ToDouble(); }), rt::kInvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Variant("abc").ToDouble(); }), rt::kTypeMismatch);
}

TEST_F(VariantProgram, ToTextUsesTheRegionalForms) {
    EXPECT_EQ(Variant("abc").ToText(), "abc");
    EXPECT_EQ(Variant(1234.5).ToText(), "1234,5");
    EXPECT_EQ(Variant(7).ToText(), "7");
    EXPECT_EQ(Variant(true).ToText(), "True");
    EXPECT_EQ(Variant(false).ToText(), "False");
    EXPECT_EQ(Variant::FromDate(QDate(2026, 12, 8)).ToText(), "08/12/2026");
    EXPECT_EQ(Variant::FromDateTime(QDateTime(QDate(2026, 12, 8), QTime(0, 0))).ToText(),
              "08/12/2026 00:00:00");
    QString description;
    EXPECT_EQ(ErrorNumberOf([] { Variant().ToText(); }, &description), rt::kInvalidUseOfNull);
    EXPECT_EQ(description, "Uso no válido de Null");
    EXPECT_EQ(Variant::FromDateTime(QDateTime()).ToText(), "");
    EXPECT_EQ(Variant().ToTextOrEmpty(), "");
    EXPECT_EQ(Variant(2.5).ToTextOrEmpty(), "2,5");
}

TEST_F(VariantProgram, ServerClockTextSplitsIntoDateAndTime) {
    // "select now()": a 10-character date, a blank, the time of day
    const Variant now = Variant::FromDateTime(QDateTime(QDate(2026, 12, 8), QTime(21, 5, 9)));
    const QString text = now.ToText();
    EXPECT_EQ(text, "08/12/2026 21:05:09");
    EXPECT_EQ(rt::ParseShortDate(text.left(10)), QDate(2026, 12, 8));
    EXPECT_EQ(text.mid(11), "21:05:09");
}

TEST(Variant, AccessorsOfTheWrongKindAreTypeMismatches) {
    EXPECT_FALSE(Variant::FromDate(QDate(2026, 1, 2)).HasTime());
    EXPECT_EQ(Variant::FromDate(QDate(2026, 1, 2)).AsDateTime(),
              QDateTime(QDate(2026, 1, 2), QTime(0, 0)));
    EXPECT_EQ(ErrorNumberOf([] { Variant(1).AsBool(); }), rt::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant("1").AsNumber(); }), rt::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant().AsText(); }), rt::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant(true).AsDateTime(); }), rt::kTypeMismatch);
}

}  // namespace
