#include "order/pricing.h"

#include <cmath>

#include "runtime/number_format.h"

namespace order {
namespace {

constexpr const char* kDollarMask = "##,###,##0.00";

// The number a column holds: text read under the regional formats; nothing
// for null, text that is no number, or a value that is not finite.
std::optional<double> NumberOf(const rt::Variant& v) {
    std::optional<double> n;
    switch (v.kind()) {
        case rt::Variant::Kind::Null:
            return std::nullopt;
        case rt::Variant::Kind::Text:
            n = rt::ParseNumber(v.AsText());
            break;
        default:
            n = v.ToDouble();
            break;
    }
    if (n && !std::isfinite(*n)) return std::nullopt;
    return n;
}

}  // namespace

std::optional<double> DollarPrice(const ProductPrices& p, double dollar) {
    if (p.P_Dollar.IsNull()) return NumberOf(p.precio_a);
    const std::optional<double> pDollar = NumberOf(p.P_Dollar);
    if (!pDollar) return std::nullopt;
    const double value = *pDollar * dollar;
    if (!std::isfinite(value)) return std::nullopt;
    // Rounded to two decimals the way the screen shows it: masked, then read
    // back under the same formats (the thousands separators read back too).
    return rt::ParseNumber(rt::FormatNumber(value, kDollarMask));
}

std::optional<double> ChoosePrice(const ProductPrices& p, const QString& precioV, double dollar) {
    std::optional<double> price;
    if (p.dolar.EqualsTrue() || p.dolar.IsNull() || precioV == "$") {
        price = DollarPrice(p, dollar);
    } else if (precioV == "1") {
        price = NumberOf(p.precio_a);
    } else if (precioV == "2") {
        price = NumberOf(p.precio_b);
    } else if (precioV == "3") {
        price = NumberOf(p.precio_c);
    }
    if (!price || *price == 0.0) return std::nullopt;
    return price;
}

std::optional<double> TaxRate(const TaxFlags& flags, const TaxRates& rates) {
    const rt::Variant* chosen = nullptr;  // none: exempt
    if (flags.Impuesto1.EqualsTrue()) chosen = &rates.iva;
    if (flags.Impuesto2.EqualsTrue()) chosen = &rates.ivaReducido;
    if (flags.Impuesto3.EqualsTrue()) chosen = &rates.ivaLujo;
    if (chosen == nullptr) return 0.0;
    return NumberOf(*chosen);
}

double LineQuantity(double cantidadSel) {
    return cantidadSel > 0 ? cantidadSel : 1.0;
}

PriceWithoutTax TakeOutTax(double price, double quantity, double ratePercent) {
    PriceWithoutTax out;
    if (ratePercent == 0.0) {
        out.unitPrice = price;
    } else {
        const double divisor = 1.0 + ratePercent / 100.0;
        const double total = price * quantity / divisor;
        out.unitPrice = total / quantity;
    }
    out.subtotal = quantity * out.unitPrice;
    return out;
}

std::optional<LineNumbers> PriceLine(const PricingInput& in) {
    double cost = 0.0;
    if (in.hasCostRow) {
        const std::optional<double> c = NumberOf(in.costo);
        if (!c) return std::nullopt;
        cost = *c;
    }
    const std::optional<double> price = ChoosePrice(in.prices, in.precioV, in.dollar);
    if (!price) return std::nullopt;
    const double quantity = LineQuantity(in.cantidadSel);
    const std::optional<double> rate = TaxRate(in.flags, in.rates);
    if (!rate) return std::nullopt;
    const PriceWithoutTax net = TakeOutTax(*price, quantity, *rate);
    // A rate of -100 % (or a quantity too large) leaves nothing a grid cell
    // could show: refused rather than written as a broken line.
    if (!std::isfinite(net.unitPrice) || !std::isfinite(net.subtotal)) return std::nullopt;

    LineNumbers line;
    line.cantidad = quantity;
    line.costo = cost;
    line.precio = net.unitPrice;
    line.subtotal = net.subtotal;
    line.iva = *rate;
    return line;
}

QString ChefNote(const QString& typed, int maxLength) {
    const QString upper = typed.toUpper();
    return maxLength > 0 ? upper.left(maxLength) : upper;
}

QuantityAnswer CheckQuantity(const QString& answer) {
    QuantityAnswer out;
    const std::optional<double> n = rt::ParseNumber(answer);
    if (!n) return out;
    out.value = *n;
    out.check = (*n > 0 && *n <= 10) ? QuantityCheck::Accepted : QuantityCheck::OutOfRange;
    return out;
}

}  // namespace order
