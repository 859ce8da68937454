#include "runtime/regional_formats.h"

namespace rt {

RegionalFormats& CurrentFormats() {
    static RegionalFormats formats;
    return formats;
}

void ResetFormats() {
    CurrentFormats() = RegionalFormats{};
}

RegionalFormats StartUpFormats() {
    RegionalFormats f;
    f.shortDate = QStringLiteral("dd/MM/yyyy");
    f.longDate = QStringLiteral("dddd, d' de 'MMMM' de 'yyyy");
    f.timeFormat = QStringLiteral("HH:mm:ss");
    f.currencySymbol = QStringLiteral("Bs.");
    f.decimalSeparator = QStringLiteral(",");
    f.thousandSeparator = QStringLiteral(".");
    f.monetaryDecimalSeparator = f.decimalSeparator;
    f.monetaryThousandSeparator = f.thousandSeparator;
    return f;
}

void UseStartUpFormats() {
    CurrentFormats() = StartUpFormats();
}

}  // namespace rt
