#pragma once
// Forces the regional formats the program relies on (day-first dates, 24-hour
// clock, decimal comma, thousands point, "Bs."). They are written into a
// locale store; the production store is the process-wide formatting of the
// runtime, so the desktop's own settings are never touched.
#include <QString>

namespace Regional {

// The values start-up puts here before calling Configurar_Regional.
inline QString Fecha_Corta;
inline QString Fecha_Larga;
inline QString Formato_Hora;
inline QString Simbolo_Moneda;
inline QString Separador_Decimal;
inline QString Separador_Miles;

// Locale items, with the numbers they have always had.
enum LocaleItem {
    LOCALE_STIMEFORMAT = 0x1003,
    LOCALE_SSHORTDATE = 0x1F,
    LOCALE_SLONGDATE = 0x20,
    LOCALE_SDECIMAL = 0x0E,
    LOCALE_STHOUSAND = 0x0F,
    LOCALE_SMONDECIMALSEP = 0x16,
    LOCALE_SMONTHOUSANDSEP = 0x17,
    LOCALE_SCURRENCY = 0x14,
};

// The locale the items are written for (Spanish, Argentina).
constexpr int kLocaleId = 11274;

class LocaleStore {
public:
    virtual ~LocaleStore() = default;
    // Sets one item; false when the store refuses it.
    virtual bool SetLocaleInfo(int locale, int item, const QString& value) = 0;
    // Reads one item back ("" when unknown).
    virtual QString GetLocaleInfo(int locale, int item) = 0;
};

// The store in force: the runtime's formats unless a test installed another.
LocaleStore& CurrentStore();
void InstallStore(LocaleStore* store);  // not owned; nullptr restores the runtime's

// Sets the eight items, then reads back the four separators. `mensaje` gets
// the message of the last item that could not be set. True only when every
// read-back matches and `mensaje` is empty.
bool Configurar_Regional(QString& mensaje);

}  // namespace Regional
