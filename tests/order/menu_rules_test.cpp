// The menu tree's statements, page titles and row rules, and the order
// screen's own statements.
#include <gtest/gtest.h>

#include "order/menu_rules.h"
#include "order/screen_statements.h"

namespace {

using namespace order;

QString Same(const QString& text) { return text; }
QString Marked(const QString& text) { return "<" + text + ">"; }

TEST(MenuStatements, AreWrittenExactlyPieceByPiece) {
    EXPECT_EQ(MainMenuSql("01", Same),
              "select * from tbl_botones where esmenu = true and departamento='01' order by abs(indice) asc;");
    // Main-menu level: no menu names and no closing semicolon.
    EXPECT_EQ(ClickedRowSql("7", "CAFE MARRON", "", "", "01", Same),
              "SELECT * from Tbl_botones WHERE  indice = '7' And titulo = 'CAFE MARRON' and departamento = '01' "
              "order by indice");
    EXPECT_EQ(ClickedRowSql("0", "CORTES DE RES", "PARRILLA", "", "01", Same),
              "SELECT * from Tbl_botones WHERE  indice = '0' And menu = 'PARRILLA' And titulo = 'CORTES DE RES' "
              "and departamento = '01' order by indice;");
    EXPECT_EQ(ClickedRowSql("4", "T-BONE", "PARRILLA", "CORTES DE RES", "01", Same),
              "SELECT * from Tbl_botones WHERE  indice = '4' And submenu = 'CORTES DE RES' And menu = 'PARRILLA' "
              "And titulo = 'T-BONE' and departamento = '01' order by indice;");
    // A submenu reached after a product choice has no menu name.
    EXPECT_EQ(ClickedRowSql("1", "RONES", "", "RONES", "02", Same),
              "SELECT * from Tbl_botones WHERE  indice = '1' And titulo = 'RONES' and departamento = '02' "
              "order by indice");
    EXPECT_EQ(MenuChildrenSql("PIZZAS", "01", Same),
              "SELECT * from Tbl_botones WHERE  menu = 'PIZZAS' AND essubmenu=true and departamento='01' "
              "order by abs(indice) asc;");
    EXPECT_EQ(SubmenuChildrenSql("EXTRAS DE PIZZA", "PIZZAS", "01", Same),
              "SELECT * from Tbl_botones WHERE  submenu = 'EXTRAS DE PIZZA' and menu ='PIZZAS' and "
              "departamento='01' order by abs(indice) asc;");
    EXPECT_EQ(SubmenuChildrenSql("RONES", "", "02", Same),
              "SELECT * from Tbl_botones WHERE  submenu = 'RONES' and departamento='02' order by abs(indice) asc;");
}

TEST(MenuStatements, EveryTextValueGoesThroughTheEscape) {
    EXPECT_EQ(ClickedRowSql("4", "T", "M", "S", "01", Marked),
              "SELECT * from Tbl_botones WHERE  indice = '<4>' And submenu = '<S>' And menu = '<M>' "
              "And titulo = '<T>' and departamento = '<01>' order by indice;");
    EXPECT_EQ(MainMenuSql("01", Marked).count("<01>"), 1);
    EXPECT_EQ(MenuChildrenSql("M", "01", Marked).count('<'), 2);
    EXPECT_EQ(SubmenuChildrenSql("S", "M", "01", Marked).count('<'), 3);
}

TEST(ScreenStatements, AreWrittenExactlyWithEveryValueEscaped) {
    EXPECT_EQ(AreaSql("01", Marked), "select * from deposito where codigo='<01>';");
    EXPECT_EQ(WaiterSql("ANA", Marked), "select * from vendedores where nom_vendedor='<ANA>';");
    EXPECT_EQ(ProductSql("E001", Marked), "select * from productos where cod_producto = '<E001>';");
    EXPECT_EQ(CostSql("E001", Marked), "select * from costo where cod_producto='<E001>';");
}

TEST(PageTitle, BlanksHalveToEvenAndLongTitlesGetNone) {
    const struct {
        int length, blanks;
    } cases[] = {{7, 16}, {12, 14}, {13, 8}, {17, 6}, {31, 0}, {32, 0}, {60, 0}, {0, 20}, {14, 8}, {15, 8}};
    for (const auto& c : cases) EXPECT_EQ(PageTitleBlanks(c.length), c.blanks) << c.length;
    EXPECT_EQ(PageTitle("BEBIDAS"), ")" + QString(16, ' ') + "BEBIDAS");
    EXPECT_EQ(PageCaption(0, PageTitle("BEBIDAS")), "(1)" + QString(16, ' ') + "BEBIDAS");
    EXPECT_EQ(PageCaption(2, ") Menu Principal"), "(3) Menu Principal");
}

TEST(MenuRows, AProductCodeWinsThenMenuThenSubmenu) {
    const rt::Variant yes(true), no(false), null;
    EXPECT_EQ(KindOfRow("B029", yes, yes), RowKind::Product);
    EXPECT_EQ(KindOfRow(null, yes, yes), RowKind::Menu);
    EXPECT_EQ(KindOfRow("", no, yes), RowKind::Submenu);
    EXPECT_EQ(KindOfRow(null, null, null), RowKind::Neither);
    EXPECT_EQ(KindOfRow(null, rt::Variant(1.0), no), RowKind::Neither);  // only a real true counts
    EXPECT_TRUE(HiddenOnMainMenu("Sin Menu"));
    EXPECT_FALSE(HiddenOnMainMenu("SIN MENU"));
    EXPECT_FALSE(HiddenOnMainMenu("Sin Menu "));
}

TEST(MenuRows, OnlyIndexesOfTheThreePagesAreUsed) {
    EXPECT_EQ(ButtonIndex(0.0), 0);
    EXPECT_EQ(ButtonIndex(44.0), 44);
    EXPECT_EQ(ButtonIndex("17"), 17);
    EXPECT_FALSE(ButtonIndex(45.0));
    EXPECT_FALSE(ButtonIndex(-1.0));
    EXPECT_FALSE(ButtonIndex(2.5));
    EXPECT_FALSE(ButtonIndex("x"));
    EXPECT_FALSE(ButtonIndex(rt::Variant()));

    EXPECT_TRUE(HasValue("x.png"));
    EXPECT_FALSE(HasValue(rt::Variant()));
}

// The Color column's value, for the screen to translate: whole numbers of 32
// bits at most (a system colour read from a signed column included).
TEST(MenuRows, AColorColumnGivesAColourValueOnlyWhenItIsAWholeNumberOf32Bits) {
    const struct {
        const char* name;
        rt::Variant column;
        std::optional<qint64> value;
    } cases[] = {
        {"plain colour", 12648447.0, 12648447},
        {"as text", "255", 255},
        {"system colour, unsigned", 2147483663.0, 2147483663LL},
        {"system colour, signed column", -2147483633.0, -2147483633LL},
        {"largest", 4294967295.0, 4294967295LL},
        {"too large", 4294967296.0, std::nullopt},
        {"fraction", 2.5, std::nullopt},
        {"null", rt::Variant(), std::nullopt},
        {"empty", "", std::nullopt},
        {"a word", "rojo", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(RowColorValue(c.column), c.value) << c.name;
}

}  // namespace
