#include <gtest/gtest.h>

#include <QMap>
#include <QSet>

#include "runtime/number_format.h"
#include "runtime/regional_formats.h"
#include "runtime/regional.h"

namespace {

// A store that refuses chosen items and can read back other values.
class FakeStore : public Regional::LocaleStore {
public:
    QSet<int> refuse;
    QMap<int, QString> readBack;  // overrides what was set
    QMap<int, QString> values;
    QList<int> order;
    bool throwOnGet = false;
    bool SetLocaleInfo(int locale, int item, const QString& value) override {
        EXPECT_EQ(locale, 11274);
        order << item;
        if (refuse.contains(item)) return false;
        values[item] = value;
        return true;
    }
    QString GetLocaleInfo(int, int item) override {
        if (throwOnGet) throw std::runtime_error("store broken");
        return readBack.contains(item) ? readBack[item] : values.value(item);
    }
};

class RegionalTest : public ::testing::Test {
protected:
    void SetUp() override {
        Regional::Fecha_Corta = "dd/MM/yyyy";
        Regional::Fecha_Larga = "dddd, d' de 'MMMM' de 'yyyy";
        Regional::Formato_Hora = "HH:mm:ss";
        Regional::Simbolo_Moneda = "Bs.";
        Regional::Separador_Decimal = ",";
        Regional::Separador_Miles = ".";
        Regional::InstallStore(&store);
    }
    void TearDown() override {
        Regional::InstallStore(nullptr);
        rt::ResetFormats();
    }
    FakeStore store;
    QString mensaje;
};

TEST_F(RegionalTest, EveryItemSetAndReadBackGivesTrueAndNoMessage) {
    EXPECT_TRUE(Regional::Configurar_Regional(mensaje));
    EXPECT_TRUE(mensaje.isEmpty());
    EXPECT_EQ(store.order, (QList<int>{0x1F, 0x20, 0x0E, 0x0F, 0x1003, 0x16, 0x17, 0x14}));
}

TEST_F(RegionalTest, OnlyTheCurrencySymbolFailingGivesFalseAndItsMessage) {
    store.refuse = {Regional::LOCALE_SCURRENCY};
    EXPECT_FALSE(Regional::Configurar_Regional(mensaje));
    EXPECT_EQ(mensaje, QString::fromUtf8("Error al setear símbolo de moneda."));
}

TEST_F(RegionalTest, TwoFailuresLeaveTheLaterMessageAndEveryItemIsStillTried) {
    store.refuse = {Regional::LOCALE_SSHORTDATE, Regional::LOCALE_STIMEFORMAT};
    EXPECT_FALSE(Regional::Configurar_Regional(mensaje));
    EXPECT_EQ(mensaje, "Error al setear formato de hora.");
    EXPECT_EQ(store.order.size(), 8);
}

TEST_F(RegionalTest, ASeparatorReadBackWrongGivesFalseWithoutMessage) {
    store.readBack[Regional::LOCALE_STHOUSAND] = ",";
    EXPECT_FALSE(Regional::Configurar_Regional(mensaje));
    EXPECT_TRUE(mensaje.isEmpty());
    store.readBack.clear();
    store.readBack[Regional::LOCALE_SMONDECIMALSEP] = ".";
    EXPECT_FALSE(Regional::Configurar_Regional(mensaje));
}

TEST_F(RegionalTest, AnErrorInsideStopsWithFalseAndKeepsTheMessage) {
    store.throwOnGet = true;
    mensaje = "antes";
    EXPECT_FALSE(Regional::Configurar_Regional(mensaje));
    EXPECT_EQ(mensaje, "antes");
}

TEST_F(RegionalTest, TheRealStoreIsTheProcesssFormatting) {
    Regional::InstallStore(nullptr);
    EXPECT_TRUE(Regional::Configurar_Regional(mensaje));
    const rt::RegionalFormats& f = rt::CurrentFormats();
    EXPECT_EQ(f.shortDate, "dd/MM/yyyy");
    EXPECT_EQ(f.decimalSeparator, ",");
    EXPECT_EQ(f.thousandSeparator, ".");
    EXPECT_EQ(f.currencySymbol, "Bs.");
    EXPECT_EQ(rt::FormatNumber(1234.5, "###,###,##0.00"), "1.234,50");
    EXPECT_EQ(rt::CDbl("1.234,50"), 1234.5);
}

}  // namespace
