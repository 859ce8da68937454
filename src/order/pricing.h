#pragma once
// The rules that turn a product row into the numbers of an order line: the
// sale price by price level or the dollar rule, the tax class, the price
// without tax, the quantity, and the masked texts the grid keeps. Prices in
// the product table include tax. Plain functions: no widget, no connection.
#include <QString>
#include <optional>

#include "runtime/variant.h"

namespace order {

// The price columns of a product row, as read (null included).
struct ProductPrices {
    rt::Variant dolar;  // flag: true or null → the dollar rule
    rt::Variant precio_a, precio_b, precio_c;
    rt::Variant P_Dollar;
};

// The sale price including tax, chosen by the price level ("1", "2", "3" or
// "$") and the product's dollar flag; nothing when the line must be refused
// (price 0, a null price column, an unknown level for a non-dollar product).
std::optional<double> ChoosePrice(const ProductPrices& p, const QString& precioV, double dollar);

// The dollar rule: precio_a when P_Dollar is null, else P_Dollar × dollar
// rounded to two decimals through the mask "##,###,##0.00" and read back.
// Nothing when the value it takes is null or no number.
std::optional<double> DollarPrice(const ProductPrices& p, double dollar);

// The tax flags of a product and the three rates of the parameters.
struct TaxFlags {
    rt::Variant Impuesto1, Impuesto2, Impuesto3;
};
struct TaxRates {
    rt::Variant iva, ivaReducido, ivaLujo;
};

// The tax rate in percent: flags tested 1, 2, 3, each one equal to true
// replacing the rate before it (the last true flag wins); 0 when none is
// true (a null flag is neither). Nothing when the chosen rate is null or no
// number, which refuses the line.
std::optional<double> TaxRate(const TaxFlags& flags, const TaxRates& rates);

// The quantity of a line: the typed one when above 0, else 1.
double LineQuantity(double cantidadSel);

struct PriceWithoutTax {
    double unitPrice = 0;
    double subtotal = 0;
};
// Takes the tax out of a price that includes it: with rate 0 the unit price
// is the price; otherwise total = price × quantity / (1 + rate / 100),
// unit price = total / quantity, subtotal = quantity × unit price (from the
// unrounded unit price).
PriceWithoutTax TakeOutTax(double price, double quantity, double ratePercent);

// The numbers of a line, unrounded: the order keeps them rounded as the grid
// shows them (order::RoundedAsShown, when the line joins the order).
struct LineNumbers {
    double cantidad = 0;
    double costo = 0;
    double precio = 0;  // unit price without tax
    double subtotal = 0;
    double iva = 0;
};

// Everything pricing needs from the product, its cost row and the parameters.
struct PricingInput {
    ProductPrices prices;
    TaxFlags flags;
    TaxRates rates;
    QString precioV;
    double dollar = 0;
    bool hasCostRow = false;
    rt::Variant costo;  // the cost row's column; ignored without a row (cost 0)
    double cantidadSel = 0;
};

// The numbers of the line, or nothing when the line is refused (no
// sale price, a null cost in an existing cost row, or a null selected rate).
std::optional<LineNumbers> PriceLine(const PricingInput& in);

// The note to the chef as it is stored: upper case, and no longer than
// `maxLength` characters when that is above 0 (upper case can lengthen a
// note: "ß" becomes "SS").
QString ChefNote(const QString& typed, int maxLength = 0);

// The answer to the quantity prompt.
enum class QuantityCheck { Accepted, OutOfRange, NotANumber };
struct QuantityAnswer {
    QuantityCheck check = QuantityCheck::NotANumber;
    double value = 0;  // the number, when it is one
};
// A number under the regional formats greater than 0 and at most 10 is
// accepted (fractions too); another number is out of range; anything else,
// the empty answer included, is no number.
QuantityAnswer CheckQuantity(const QString& answer);

}  // namespace order
