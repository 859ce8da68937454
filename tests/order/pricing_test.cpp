#include "order/pricing.h"

#include <gtest/gtest.h>

#include "order/order.h"
#include "runtime/program_locale.h"

namespace {

using order::ProductPrices;
using order::QuantityCheck;
using rt::Variant;

const Variant kNull;

ProductPrices Prices(Variant dolar, Variant a, Variant b = kNull, Variant c = kNull,
                     Variant pDollar = kNull) {
    return {dolar, a, b, c, pDollar};
}

std::string Show(const std::optional<double>& v) {
    return v ? std::to_string(*v) : std::string("nothing");
}

using PricingRules = ProgramFormats;

TEST_F(PricingRules, PriceByLevelAndDollarFlag) {
    const struct {
        const char* name;
        ProductPrices prices;
        const char* precioV;
        std::optional<double> price;
    } cases[] = {
        {"level 1", Prices(false, 11.0, 12.0, 13.0), "1", 11.0},
        {"level 2", Prices(false, 11.0, 12.0, 13.0), "2", 12.0},
        {"level 3", Prices(false, 11.0, 12.0, 13.0), "3", 13.0},
        {"level $ of a non-dollar product", Prices(false, 11.0, 12.0, 13.0, 2.5), "$", 10.75},
        {"level $, no P_Dollar", Prices(false, 11.0, 12.0, 13.0), "$", 11.0},
        {"unknown level", Prices(false, 11.0, 12.0, 13.0, 2.5), "4", std::nullopt},
        {"empty level", Prices(false, 11.0, 12.0, 13.0, 2.5), "", std::nullopt},
        {"level with blanks", Prices(false, 11.0, 12.0, 13.0), " 1", std::nullopt},
        {"dollar product at level 1", Prices(true, 11.0, 12.0, 13.0, 2.5), "1", 10.75},
        {"dollar product at level 3", Prices(true, 11.0, 12.0, 13.0, 2.5), "3", 10.75},
        {"dollar product, unknown level", Prices(true, 11.0, 12.0, 13.0, 2.5), "x", 10.75},
        {"null flag is the dollar rule", Prices(kNull, 11.0, 12.0, 13.0, 2.5), "2", 10.75},
        {"null flag, no P_Dollar", Prices(kNull, 11.0, 12.0, 13.0), "3", 11.0},
        {"dollar product, no P_Dollar", Prices(true, 11.0, 12.0, 13.0), "2", 11.0},
        {"a number 1 is no true flag", Prices(1, 11.0, 12.0, 13.0, 2.5), "2", 12.0},
        {"price 0", Prices(false, 11.0, 0.0, 13.0), "2", std::nullopt},
        {"null price column", Prices(false, 11.0, kNull, 13.0), "2", std::nullopt},
        {"dollar rule from a null precio_a", Prices(true, kNull, 12.0), "2", std::nullopt},
        {"dollar rule giving 0", Prices(true, 11.0, 12.0, 13.0, 0.001), "1", std::nullopt},
        {"price as regional text", Prices(false, "1.234,5"), "1", 1234.5},
        {"price text that is no number", Prices(false, "abc"), "1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(order::ChoosePrice(c.prices, c.precioV, 4.3), c.price)
            << c.name << ": " << Show(order::ChoosePrice(c.prices, c.precioV, 4.3));
}

TEST_F(PricingRules, DollarRuleRoundsThroughTheMask) {
    const struct {
        Variant pDollar;
        double dollar;
        std::optional<double> price;
    } cases[] = {
        {2.5, 4.3, 10.75},
        {1234.567, 1.0, 1234.57},  // "1.234,57" read back with its thousands point
        {1234567.891, 1.0, 1234567.89},
        {2.675, 1.0, 2.68},  // halves away from zero on the shown digits
        {0.004, 1.0, 0.0},
        {-2.5, 4.3, -10.75},
        {"2,5", 4.3, 10.75},  // text read under the regional formats
        {"abc", 4.3, std::nullopt},
        {1e308, 1e10, std::nullopt},  // no finite product
    };
    for (const auto& c : cases) {
        const ProductPrices p = Prices(true, 99.0, kNull, kNull, c.pDollar);
        EXPECT_EQ(order::DollarPrice(p, c.dollar), c.price)
            << c.pDollar.ToTextOrEmpty().toStdString() << " x " << c.dollar << " gave "
            << Show(order::DollarPrice(p, c.dollar));
    }
    EXPECT_EQ(order::DollarPrice(Prices(true, 7.5), 4.3), 7.5);
    EXPECT_EQ(order::DollarPrice(Prices(true, kNull), 4.3), std::nullopt);
}

TEST_F(PricingRules, TaxClassLastTrueFlagWins) {
    const order::TaxRates rates{16.0, 8.0, 31.0};
    const struct {
        const char* name;
        order::TaxFlags flags;
        std::optional<double> rate;
    } cases[] = {
        {"general", {true, false, false}, 16.0},
        {"reduced", {false, true, false}, 8.0},
        {"luxury", {false, false, true}, 31.0},
        {"1 and 3", {true, false, true}, 31.0},
        {"1 and 2", {true, true, false}, 8.0},
        {"all three", {true, true, true}, 31.0},
        {"exempt", {false, false, false}, 0.0},
        {"null flags are neither", {kNull, kNull, kNull}, 0.0},
        {"null after true", {true, kNull, kNull}, 16.0},
        {"a number 1 is no true flag", {1, 1, 1}, 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(order::TaxRate(c.flags, rates), c.rate) << c.name;
}

TEST_F(PricingRules, OnlyTheSelectedRateMayNotBeNull) {
    const order::TaxRates someNull{kNull, 8.0, kNull};
    EXPECT_EQ(order::TaxRate({false, true, false}, someNull), 8.0);
    EXPECT_EQ(order::TaxRate({false, false, false}, someNull), 0.0);
    EXPECT_EQ(order::TaxRate({true, false, false}, someNull), std::nullopt);
    EXPECT_EQ(order::TaxRate({false, true, true}, someNull), std::nullopt);
    EXPECT_EQ(order::TaxRate({true, true, false}, someNull), 8.0);  // the null one was replaced
    EXPECT_EQ(order::TaxRate({true, false, false}, {"12,5", kNull, kNull}), 12.5);
    EXPECT_EQ(order::TaxRate({true, false, false}, {"x", kNull, kNull}), std::nullopt);
}

TEST(TakeOutTax, PriceIncludesTheTax) {
    const struct {
        double price, quantity, rate, unit, subtotal;
    } cases[] = {
        {116.0, 2, 16, 100.0, 200.0},
        {116.0, 1, 16, 100.0, 100.0},
        {10.0, 3, 0, 10.0, 30.0},
        {10.75, 0.5, 0, 10.75, 5.375},
        // the subtotal comes from the unrounded unit price: 30 / 1.16, not 3 × 8,62
        {10.0, 3, 16, 10.0 / 1.16, 30.0 / 1.16},
        {108.0, 4, 8, 100.0, 400.0},
    };
    for (const auto& c : cases) {
        const order::PriceWithoutTax r = order::TakeOutTax(c.price, c.quantity, c.rate);
        EXPECT_DOUBLE_EQ(r.unitPrice, c.unit) << c.price << " " << c.quantity << " " << c.rate;
        EXPECT_DOUBLE_EQ(r.subtotal, c.subtotal) << c.price << " " << c.quantity << " " << c.rate;
    }
}

TEST(LineQuantity, NothingTypedIsOne) {
    EXPECT_EQ(order::LineQuantity(0), 1.0);
    EXPECT_EQ(order::LineQuantity(-2), 1.0);
    EXPECT_EQ(order::LineQuantity(0.5), 0.5);
    EXPECT_EQ(order::LineQuantity(3), 3.0);
}

order::PricingInput Input(ProductPrices prices, const char* precioV, double cantidad) {
    order::PricingInput in;
    in.prices = prices;
    in.flags = {false, false, false};
    in.rates = {16.0, 8.0, 31.0};
    in.precioV = precioV;
    in.dollar = 4.3;
    in.cantidadSel = cantidad;
    return in;
}

TEST_F(PricingRules, LineNumbersAsTheGridKeepsThem) {
    order::PricingInput taxed = Input(Prices(false, 116.0), "1", 2);
    taxed.flags = {true, false, false};
    taxed.hasCostRow = true;
    taxed.costo = 41.5;
    order::PricingInput exempt = Input(Prices(false, 11.0, 10.0), "2", 0);
    order::PricingInput dollar = Input(Prices(true, 11.0, 12.0, 13.0, 2.5), "1", 3);
    order::PricingInput thousands = Input(Prices(false, 1234.5), "1", 1);
    thousands.hasCostRow = true;
    thousands.costo = "1.000,25";
    order::PricingInput costRowIgnored = Input(Prices(false, 5.0), "1", 1);
    costRowIgnored.costo = kNull;  // no cost row: its column is not looked at
    order::PricingInput luxury = Input(Prices(false, 131.0), "1", 1);
    luxury.flags = {true, kNull, true};
    // The numbers as the grid shows them.
    struct Shown {
        QString cantidad, costo, precio, subtotal, iva;
    };
    const struct {
        const char* name;
        order::PricingInput in;
        Shown line;
    } cases[] = {
        {"116 at 16 % for 2", taxed, {"2,000", "41,500", "100,00", "200,00", "16,00"}},
        {"exempt, quantity 0 taken as 1", exempt, {"1,000", "0,000", "10,00", "10,00", "0,00"}},
        {"dollar price for 3", dollar, {"3,000", "0,000", "10,75", "32,25", "0,00"}},
        {"thousands", thousands, {"1,000", "1.000,250", "1.234,50", "1.234,50", "0,00"}},
        {"no cost row", costRowIgnored, {"1,000", "0,000", "5,00", "5,00", "0,00"}},
        {"luxury rate", luxury, {"1,000", "0,000", "100,00", "100,00", "31,00"}},
    };
    for (const auto& c : cases) {
        const std::optional<order::LineNumbers> line = order::PriceLine(c.in);
        ASSERT_TRUE(line.has_value()) << c.name;
        EXPECT_EQ(order::QuantityText(line->cantidad), c.line.cantidad) << c.name;
        EXPECT_EQ(order::QuantityText(line->costo), c.line.costo) << c.name;
        EXPECT_EQ(order::MoneyText(line->precio), c.line.precio) << c.name;
        EXPECT_EQ(order::MoneyText(line->subtotal), c.line.subtotal) << c.name;
        EXPECT_EQ(order::RateText(line->iva), c.line.iva) << c.name;
    }
}

TEST_F(PricingRules, RefusedLines) {
    order::PricingInput nullCost = Input(Prices(false, 10.0), "1", 1);
    nullCost.hasCostRow = true;
    nullCost.costo = kNull;
    order::PricingInput nullRate = Input(Prices(false, 10.0), "1", 1);
    nullRate.flags = {false, true, false};
    nullRate.rates = {16.0, kNull, 31.0};
    order::PricingInput rateMinus100 = Input(Prices(false, 10.0), "1", 1);
    rateMinus100.flags = {true, false, false};
    rateMinus100.rates = {-100.0, kNull, kNull};
    const struct {
        const char* name;
        order::PricingInput in;
    } cases[] = {
        {"price 0", Input(Prices(false, 0.0), "1", 1)},
        {"null price column", Input(Prices(false, 10.0, kNull), "2", 1)},
        {"unknown level", Input(Prices(false, 10.0), "4", 1)},
        {"empty level", Input(Prices(false, 10.0), "", 1)},
        {"null cost in a cost row", nullCost},
        {"null selected rate", nullRate},
        {"rate of -100 %", rateMinus100},
    };
    for (const auto& c : cases) EXPECT_FALSE(order::PriceLine(c.in).has_value()) << c.name;

    order::PricingInput unselectedNull = nullRate;
    unselectedNull.flags = {true, false, false};
    EXPECT_TRUE(order::PriceLine(unselectedNull).has_value());
}

TEST(ChefNote, UpperCaseAccentsIncluded) {
    EXPECT_EQ(order::ChefNote("sin sal, poco picante"), "SIN SAL, POCO PICANTE");
    EXPECT_EQ(order::ChefNote(QStringLiteral("jalapeño, término medio")),
              QStringLiteral("JALAPEÑO, TÉRMINO MEDIO"));
    EXPECT_EQ(order::ChefNote("it's \\ 50%"), "IT'S \\ 50%");
    EXPECT_EQ(order::ChefNote(""), "");
    // Upper case may lengthen a note typed up to the limit.
    EXPECT_EQ(order::ChefNote(QStringLiteral("calle ß"), 7), "CALLE S");
    EXPECT_EQ(order::ChefNote(QStringLiteral("calle ß"), 0), "CALLE SS");
}

TEST_F(PricingRules, QuantityAnswers) {
    const struct {
        const char* answer;
        QuantityCheck check;
        double value;
    } cases[] = {
        {"", QuantityCheck::NotANumber, 0},        {"abc", QuantityCheck::NotANumber, 0},
        {"  ", QuantityCheck::NotANumber, 0},      {"3x", QuantityCheck::NotANumber, 0},
        {"0", QuantityCheck::OutOfRange, 0},       {"-1", QuantityCheck::OutOfRange, -1},
        {"10,5", QuantityCheck::OutOfRange, 10.5}, {"11", QuantityCheck::OutOfRange, 11},
        {"1e3", QuantityCheck::OutOfRange, 1000},  {"0,5", QuantityCheck::Accepted, 0.5},
        {"10", QuantityCheck::Accepted, 10},       {"  3  ", QuantityCheck::Accepted, 3},
        {"2,5", QuantityCheck::Accepted, 2.5},     {"2.5", QuantityCheck::Accepted, 2.5},
        {"0.5", QuantityCheck::Accepted, 0.5},     {"1.234", QuantityCheck::OutOfRange, 1234},
        {"1.2.3", QuantityCheck::NotANumber, 0},
        {"1", QuantityCheck::Accepted, 1},
    };
    for (const auto& c : cases) {
        const order::QuantityAnswer a = order::CheckQuantity(c.answer);
        EXPECT_EQ(a.check, c.check) << '"' << c.answer << '"';
        if (c.check != QuantityCheck::NotANumber) {
            EXPECT_DOUBLE_EQ(a.value, c.value) << '"' << c.answer << '"';
        }
    }
}

}  // namespace
