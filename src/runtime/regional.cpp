#include "runtime/regional.h"

#include <QDebug>

#include "runtime/regional_formats.h"

namespace Regional {
namespace {

// The runtime's process-wide formats as a locale store.
class RuntimeLocaleStore : public LocaleStore {
public:
    bool SetLocaleInfo(int locale, int item, const QString& value) override {
        if (locale != kLocaleId) return false;
        QString* field = Field(item);
        if (field == nullptr) return false;
        *field = value;
        return true;
    }
    QString GetLocaleInfo(int locale, int item) override {
        if (locale != kLocaleId) return {};
        const QString* field = Field(item);
        return field ? *field : QString();
    }

private:
    static QString* Field(int item) {
        rt::RegionalFormats& f = rt::CurrentFormats();
        switch (item) {
            case LOCALE_SSHORTDATE: return &f.shortDate;
            case LOCALE_SLONGDATE: return &f.longDate;
            case LOCALE_STIMEFORMAT: return &f.timeFormat;
            case LOCALE_SDECIMAL: return &f.decimalSeparator;
            case LOCALE_STHOUSAND: return &f.thousandSeparator;
            case LOCALE_SMONDECIMALSEP: return &f.monetaryDecimalSeparator;
            case LOCALE_SMONTHOUSANDSEP: return &f.monetaryThousandSeparator;
            case LOCALE_SCURRENCY: return &f.currencySymbol;
            default: return nullptr;
        }
    }
};

LocaleStore*& Installed() {
    static LocaleStore* store = nullptr;
    return store;
}

}  // namespace

LocaleStore& CurrentStore() {
    static RuntimeLocaleStore runtime;
    return Installed() ? *Installed() : runtime;
}

void InstallStore(LocaleStore* store) { Installed() = store; }

bool Configurar_Regional(QString& mensaje) {
    struct Item {
        int item;
        const QString& value;
        const char* message;
    };
    const Item items[] = {
        {LOCALE_SSHORTDATE, Fecha_Corta, "Error al setear fecha corta."},
        {LOCALE_SLONGDATE, Fecha_Larga, "Error al setear fecha larga."},
        {LOCALE_SDECIMAL, Separador_Decimal, "Error al setear separador de decimales."},
        {LOCALE_STHOUSAND, Separador_Miles, "Error al setear separador de miles."},
        {LOCALE_STIMEFORMAT, Formato_Hora, "Error al setear formato de hora."},
        {LOCALE_SMONDECIMALSEP, Separador_Decimal,
         "Error al setear separador de decimales de moneda."},
        {LOCALE_SMONTHOUSANDSEP, Separador_Miles, "Error al setear separador de miles de moneda."},
        {LOCALE_SCURRENCY, Simbolo_Moneda, "Error al setear símbolo de moneda."},
    };
    const Item checks[] = {
        {LOCALE_SDECIMAL, Separador_Decimal, nullptr},
        {LOCALE_SMONDECIMALSEP, Separador_Decimal, nullptr},
        {LOCALE_STHOUSAND, Separador_Miles, nullptr},
        {LOCALE_SMONTHOUSANDSEP, Separador_Miles, nullptr},
    };
    try {
        LocaleStore& store = CurrentStore();
        for (const Item& it : items)
            if (!store.SetLocaleInfo(kLocaleId, it.item, it.value))
                mensaje = QString::fromUtf8(it.message);
        for (const Item& check : checks) {
            // Only the first character of what is read back is compared.
            const QString read = store.GetLocaleInfo(kLocaleId, check.item).left(255);
            if (read.left(1) != check.value) return false;
        }
        return mensaje.isEmpty();
    } catch (const std::exception& e) {
        qWarning() << "regional settings:" << e.what();
        return false;
    }
}

}  // namespace Regional
