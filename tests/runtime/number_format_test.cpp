#include "runtime/number_format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "program_locale.h"

namespace {

struct FormatCase {
    double value;
    const char* mask;
    const char* expected;
};

using FormatNumberProgram = ProgramFormats;

TEST_F(FormatNumberProgram, MasksOfTheGridAndTickets) {
    const FormatCase cases[] = {
        // grid columns: quantity, cost, prices, tax rate
        {1234.5, "###,###,##0.00", "1.234,50"},
        {2, "###,###,##0.000", "2,000"},
        {12.5, "###,###,##0.000", "12,500"},
        {0, "###,###,##0.000", "0,000"},
        {16, "##,###,##0.00", "16,00"},
        {0, "##,###,##0.00", "0,00"},
        {10, "###,###,##0.00", "10,00"},
        {1234567890123.0, "###,###,##0.00", "1.234.567.890.123,00"},  // more digits than the mask
        {-1234567.891, "###,###,##0.00", "-1.234.567,89"},
        // ticket quantity: digits only where the number has them
        {0, "###", ""},
        {0.4, "###", ""},
        {0.5, "###", "1"},
        {2, "###", "2"},
        {1234, "###", "1234"},  // no ',' in the mask: no grouping
        {10.5, "###", "11"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(FormatNumberProgram, RoundsHalvesAwayFromZeroOnFifteenDigits) {
    const FormatCase cases[] = {
        {2.675, "##0.00",
         "2,68"},  // the double is 2.67499999999999982236431605997495353221893310546875
        {1.005, "##0.00", "1,01"},
        {-2.675, "##0.00", "-2,68"},
        {2.5 * 4.3, "##,###,##0.00", "10,75"},
        {0.125, "0.00", "0,13"},  // an exact half: away from zero, not to even
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {9.995, "###,##0.00", "10,00"},
        {999.9995, "#,##0.000", "1.000,000"},  // the carry opens a new group
        {0.1 + 0.2, "0.00000000000000000", "0,30000000000000000"},
        {-0.004, "##0.00", "0,00"},  // rounds to zero: no sign
        {1e-20, "0.00", "0,00"},
        {1e20, "#,##0", "100.000.000.000.000.000.000"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(FormatNumberProgram, OptionalDecimalsMinimumDigitsAndLiterals) {
    const FormatCase cases[] = {
        {1.5, "0.0#", "1,5"}, {1.25, "0.0#", "1,25"},
        {1, "#.##", "1,"},    {5, "00000", "00005"},
        {0.5, ".00", ",50"},  {1.5, ".00", "1,50"},
        {3, "$#", "$3"},      {-3, "$#", "-$3"},
        {7, "# kg", "7 kg"},  {7, "sin cifras", "sin cifras"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(FormatNumberProgram, TaxTakenOutOfThePriceShowsInTheGrid) {
    // price 116,00 with tax 16 % and quantity 2, computed as item entry does
    const double price = 116.0, rate = 16.0, quantity = 2.0;
    const double divisor = 1 + rate / 100;
    const double unit = price * quantity / divisor / quantity;
    EXPECT_EQ(rt::FormatNumber(unit, "###,###,##0.00"), "100,00");
    EXPECT_EQ(rt::FormatNumber(quantity * unit, "###,###,##0.00"), "200,00");
    EXPECT_EQ(rt::FormatNumber(rate, "##,###,##0.00"), "16,00");
}

TEST_F(FormatNumberProgram, DollarPriceIsRoundedThroughItsText) {
    EXPECT_EQ(rt::CDbl(rt::FormatNumber(2.5 * 4.3, "##,###,##0.00")), 10.75);
    EXPECT_EQ(rt::CDbl(rt::FormatNumber(1.0 / 3.0 * 7, "##,###,##0.00")), 2.33);
}

TEST_F(FormatNumberProgram, EmptyMaskIsTheGeneralFormAndNonFiniteOverflows) {
    EXPECT_EQ(rt::FormatNumber(1234.5, ""), "1234,5");
    EXPECT_EQ(ErrorNumberOf([] { rt::FormatNumber(INFINITY, "0.00"); }), rt::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { rt::GeneralNumber(NAN); }), rt::kOverflow);
}

TEST_F(FormatNumberProgram, GeneralNumberForm) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1234.5, "1234,5"},
        {2, "2"},
        {-0.0, "0"},
        {0.1, "0,1"},
        {-0.5, "-0,5"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"},  // rounds up to 16 digits
        {1e15, "1E+15"},
        {-2.25e20, "-2,25E+20"},
        {1e100, "1E+100"},
        {0.0001, "0,0001"},
        {0.00001, "1E-05"},
        {1.5e-5, "1,5E-05"},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::GeneralNumber(c.value), c.expected) << c.value;
}

TEST_F(FormatNumberProgram, GridCellsIntoSqlNumbers) {
    // cell text → number under the regional formats → general form → '.' decimals
    const struct {
        const char* cell;
        const char* sql;
    } cases[] = {
        {"1.234,50", "1234.5"},
        {"2", "2"},
        {"2,000", "2"},
        {"0", "0"},
        {"0,00", "0"},
        {"12,5", "12.5"},
        {"100,00", "100"},
        {"16,00", "16"},
        {"1.234.567,89", "1234567.89"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::GeneralNumber(rt::CDbl(c.cell)).replace(",", "."), c.sql) << c.cell;
}

struct ParseCase {
    const char* text;
    double expected;
};

TEST_F(FormatNumberProgram, ParsesNumbersOfTheRegionalForm) {
    const ParseCase cases[] = {
        {"1.234,50", 1234.5}, {"1.2.3", 123},     {"12,5", 12.5}, {" 12,5 ", 12.5}, {"12.5", 125},
        {"-3", -3},           {"+3", 3},          {",5", 0.5},    {"5,", 5},        {"1,5E3", 1500},
        {"1,5e-3", 0.0015},   {"1.000.000", 1e6}, {"0", 0},       {"2,675", 2.675}, {"007", 7},
        {"1E-400", 0},
    };
    for (const ParseCase& c : cases) {
        const std::optional<double> v = rt::ParseNumber(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.expected) << c.text;
        EXPECT_TRUE(rt::IsNumeric(c.text)) << c.text;
        EXPECT_EQ(rt::CDbl(c.text), c.expected) << c.text;
    }
}

TEST_F(FormatNumberProgram, RejectsWhatIsNoNumber) {
    const char* cases[] = {"",   " ",   "abc", "1,2,3", "1,2.3", "1E",  "E5", "+",   "-",
                           "1-", "1 2", "--1", "0x10",  "1,5E",  "12a", ".",  "1e+", "1E400"};
    for (const char* text : cases) {
        EXPECT_FALSE(rt::ParseNumber(text).has_value()) << text;
        EXPECT_FALSE(rt::IsNumeric(text)) << text;
    }
    QString description;
    EXPECT_EQ(ErrorNumberOf([] { rt::CDbl("abc"); }, &description), rt::kTypeMismatch);
    EXPECT_EQ(description, "No coinciden los tipos");
    EXPECT_EQ(ErrorNumberOf([] { rt::CDbl(""); }), rt::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { rt::CDbl("1E400"); }), rt::kOverflow);
}

using NumbersNeutral = NeutralFormats;

TEST_F(NumbersNeutral, PointDecimalsAndCommaThousands) {
    EXPECT_EQ(rt::FormatNumber(1234.5, "###,###,##0.00"), "1,234.50");
    EXPECT_EQ(rt::GeneralNumber(1.5e-5), "1.5E-05");
    EXPECT_EQ(rt::ParseNumber("1,234.50"), 1234.5);
    EXPECT_EQ(rt::ParseNumber("12,5"), 125);
    EXPECT_FALSE(rt::ParseNumber("1.234,50").has_value());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        double expected;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {1.5, 2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {7, 7},
        {0.49999999999999994, 0},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::RoundHalfEven(c.value), c.expected) << c.value;
}

}  // namespace
