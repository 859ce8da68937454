// The waiter and table panel and the menu-button tree on the real screen
// with the demo restaurant's menu: levels, pages, "Sin Menu", missing
// children, captions with apostrophes and the statements the server got.
#include <gtest/gtest.h>

#include <QFontInfo>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "widgets/look.h"
#include "widgets/screen_scale.h"
#include "widgets/ole_color.h"

namespace {

using order_screen::Pedido_R;
using testsupport::RootQuery;

// The walk on our tables and on an installation's own (other types).
class MenuWalkTest : public testsupport::OrderScreenOn {
protected:
    void TearDown() override {
        for (const QString& row : added) RootQuery("delete from tbl_botones where " + row);
        testsupport::OrderScreenOn::TearDown();
    }
    // A button row of the demo area.
    void AddRow(int indice, const QString& titulo, const QString& menu, const QString& submenu, bool esmenu,
                bool essubmenu, const QString& product) {
        const QString code = product.isEmpty() ? "NULL" : "'" + product + "'";
        const auto quoted = [](QString v) { return v.replace("\\", "\\\\").replace("'", "''"); };
        RootQuery(QString("insert into tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, "
                          "Cod_producto) values ('01', %1, '%2', '%3', '%4', %5, %6, %7)")
                      .arg(indice)
                      .arg(quoted(titulo), quoted(menu), quoted(submenu))
                      .arg(esmenu ? 1 : 0)
                      .arg(essubmenu ? 1 : 0)
                      .arg(code));
        added << QString("departamento='01' and indice=%1 and titulo='%2' and menu='%3' and submenu='%4'")
                     .arg(indice)
                     .arg(quoted(titulo), quoted(menu), quoted(submenu));
    }
    // The screen after "CONTINUAR" with María Fernández at table 5.
    Pedido_R* Started() {
        Pedido_R* s = Load();
        PickWaiter(s, "María Fernández");
        s->Combo1->setEditText("5");
        s->Command5_Click();
        return s;
    }
    static void PickWaiter(Pedido_R* s, const char* name) {
        const int index = s->dbCombo2->findText(QString::fromUtf8(name));
        ASSERT_GE(index, 0);
        s->dbCombo2->setCurrentIndex(index);
        emit s->dbCombo2->activated(index);
    }
    static int VisiblePage(Pedido_R* s) {
        int visible = -1, count = 0;
        for (int k = 0; k < 3; ++k)
            if (!s->NuevoMenu[k]->isHidden()) visible = k, ++count;
        return count == 1 ? visible : -2;  // exactly one page is ever shown
    }
    static QString Caption(Pedido_R* s, int i) { return s->bmenu[i]->text(); }

    QStringList added;  // the rows this test added, as conditions
};

INSTANTIATE_TEST_SUITE_P(Installations, MenuWalkTest,
                         testsupport::OursAndTheirs(), testsupport::InstallationParamName());

TEST_P(MenuWalkTest, ContinuarNeedsAPickedWaiterAndATable) {
    Pedido_R* s = Load();
    s->show();
    // A typed name does not set the waiter code: not accepted.
    s->dbCombo2->setEditText(QString::fromUtf8("María Fernández"));
    s->Combo1->setEditText("5");
    s->Command5_Click();
    EXPECT_FALSE(s->Frame3->isHidden());
    EXPECT_EQ(s->Label1[0]->text(), "");
    EXPECT_FALSE(s->Frame4->isEnabled());
    EXPECT_EQ(s->focusWidget(), s->dbCombo2);

    // A picked waiter without a table: the table list gets the focus.
    PickWaiter(s, "D'Angelo Pérez");
    EXPECT_EQ(s->cod_V->text(), "003");
    s->Combo1->setEditText("");
    s->Command5_Click();
    EXPECT_FALSE(s->Frame3->isHidden());
    EXPECT_EQ(s->focusWidget(), s->Combo1);

    // A typed table that is not in the list is accepted as it stands.
    s->Combo1->setEditText("12B");
    s->Command5_Click();
    EXPECT_TRUE(s->Frame3->isHidden());
    EXPECT_EQ(s->Label1[0]->text(), QString::fromUtf8("D'Angelo Pérez"));
    EXPECT_EQ(s->Label1[1]->text(), "12B");
    EXPECT_EQ(s->Label1[2]->text(), "RESTAURANT");
    EXPECT_EQ(s->Label1[3]->text(), "0");
    EXPECT_TRUE(s->Frame4->isEnabled());
    EXPECT_TRUE(s->Grid1->isEnabled());
    EXPECT_EQ(Caption(s, 0), "ENTRADAS");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_P(MenuWalkTest, APickedNameWithoutRowIsRefusedAndATypedChangeKeepsTheCode) {
    Pedido_R* s = Load();
    PickWaiter(s, "Yusmary Carrasco");
    EXPECT_EQ(s->cod_V->text(), "004");
    // Typed over afterwards: the code stays, the label shows the typed text.
    s->dbCombo2->setEditText("YUSMARY");
    s->Combo1->setEditText("3");
    s->Command5_Click();
    EXPECT_EQ(s->Label1[0]->text(), "YUSMARY");
    EXPECT_EQ(s->cod_V->text(), "004");

    // A name in the list whose row has gone meanwhile.
    s->Limpiar();
    RootQuery("update Vendedores set nom_vendedor = 'JUBILADO' where cod_vendedor = '005'");
    PickWaiter(s, "Luis Enrique Marcano");
    RootQuery(QString::fromUtf8("update Vendedores set nom_vendedor = 'Luis Enrique Marcano' where cod_vendedor = '005'"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QString::fromUtf8("       Código No Existente, \r Por Favor Intente de Nuevo. "));
    EXPECT_EQ(s->dbCombo2->currentText(), "");
    EXPECT_EQ(s->cod_V->text(), "");
}

TEST_P(MenuWalkTest, TheMainMenuPutsEachRowOnItsButtonAndPage) {
    AddRow(17, "PAGINA DOS", "", "", true, false, "");
    AddRow(44, "ULTIMO", "", "", true, false, "");
    Pedido_R* s = Started();
    EXPECT_EQ(Caption(s, 0), "ENTRADAS");
    EXPECT_EQ(widgets::FaceColor(s->bmenu[0]), QColor(255, 255, 192));  // 12648447
    EXPECT_EQ(Caption(s, 7), "CAFE MARRON");
    EXPECT_EQ(widgets::FaceColor(s->bmenu[7]), widgets::ButtonFaceColor());
    EXPECT_EQ(Caption(s, 14), "");  // "Sin Menu" is never shown on the main menu
    EXPECT_EQ(Caption(s, 15), "MENU DEL DIA");
    EXPECT_EQ(s->bmenu[15]->parentWidget(), s->NuevoMenu[1]);
    EXPECT_EQ(Caption(s, 17), "PAGINA DOS");
    EXPECT_EQ(s->bmenu[17]->parentWidget(), s->NuevoMenu[1]);
    EXPECT_EQ(Caption(s, 44), "ULTIMO");
    EXPECT_EQ(s->bmenu[44]->parentWidget(), s->NuevoMenu[2]);
    // One size a page, as large as its longest caption allows, never below
    // the least that reads: page 3's one short caption is drawn larger than
    // page 1's long ones.
    for (int i = 0; i < 45; ++i) EXPECT_EQ(s->bmenu[i]->font(), s->bmenu[i / 15 * 15]->font()) << i;
    EXPECT_GE(QFontInfo(s->bmenu[0]->font()).pixelSize(), widgets::MinimumTextPixels());
    EXPECT_GT(s->bmenu[44]->font().pixelSize(), s->bmenu[0]->font().pixelSize());
    EXPECT_EQ(s->NuevoMenu[0]->title(), "(1) Menu Principal");
    EXPECT_EQ(s->NuevoMenu[2]->title(), "(3) Menu Principal");
    EXPECT_EQ(VisiblePage(s), 0);
    EXPECT_TRUE(s->regre3->isHidden());
}

TEST_P(MenuWalkTest, MenuSubmenuProductAndTheNextProductOfTheSameLevel) {
    Pedido_R* s = Started();
    QTest::mouseClick(s->bmenu[2], Qt::LeftButton);  // PARRILLA
    EXPECT_EQ(s->Menu_Actual, "PARRILLA");
    EXPECT_FALSE(s->regre3->isHidden());
    EXPECT_EQ(s->NuevoMenu[1]->title(), "(2)" + QString(16, ' ') + "PARRILLA");
    EXPECT_EQ(Caption(s, 0), "CORTES DE RES");
    EXPECT_EQ(Caption(s, 2), "PARRILLA MIXTA");
    EXPECT_EQ(Caption(s, 3), "");
    EXPECT_EQ(widgets::FaceColor(s->bmenu[3]), widgets::ButtonFaceColor());

    QTest::mouseClick(s->bmenu[1], Qt::LeftButton);  // POLLO Y CERDO
    EXPECT_EQ(s->Submenu_Actual, "POLLO Y CERDO");
    EXPECT_EQ(s->NuevoMenu[0]->title(), "(1)" + QString(16, ' ') + "PARRILLA");  // keeps the menu's title
    EXPECT_EQ(Caption(s, 0), "MEDIO POLLO");
    EXPECT_EQ(Caption(s, 3), "COSTILLAS BBQ");

    QTest::mouseClick(s->bmenu[0], Qt::LeftButton);  // MEDIO POLLO: side dishes
    EXPECT_EQ(Module1::Producto_Sel, "P006");
    EXPECT_FALSE(s->Frame6->isHidden());
    EXPECT_EQ(s->Menu_Actual, "");
    EXPECT_EQ(s->Submenu_Actual, "");
    dialogs.AnswerNo();
    s->Command3_Click();
    ASSERT_EQ(s->Num_Items(), 1);

    // The buttons still show the submenu; its next product is found by index,
    // caption and area alone.
    dialogs.AnswerInput("2");
    dialogs.AnswerNo();
    QTest::mouseClick(s->bmenu[3], Qt::LeftButton);  // COSTILLAS BBQ: side dishes
    dialogs.AnswerNo();
    s->Command3_Click();
    ASSERT_EQ(s->Num_Items(), 2);
    EXPECT_EQ(s->Grid1->TextMatrix(2, 0), "P009");
    EXPECT_EQ(dialogs.AnswersLeft(), 2u);  // no quantity asked for a side-dish dish

    // A blank button finds no row: nothing happens, nothing is shown.
    const size_t boxes = dialogs.shown.size();
    QTest::mouseClick(s->bmenu[10], Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.size(), boxes);
}

TEST_P(MenuWalkTest, SinMenuShowsBelowTheMainMenuAndAMenuWithoutChildrenSaysSo) {
    AddRow(9, "Sin Menu", "POSTRES", "", false, true, "D001");
    AddRow(16, "VACIO", "", "", true, false, "");
    Pedido_R* s = Started();
    s->bmenu_Click(6);  // POSTRES
    EXPECT_EQ(Caption(s, 9), "Sin Menu");

    s->regre3_Click();
    s->bmenu_Click(16);  // VACIO has no children
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "no esta asociado 2");
    EXPECT_EQ(dialogs.shown[0].title, "Pedidos_VandrelFW");
    EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Critical);
    EXPECT_EQ(Caption(s, 0), "ENTRADAS");  // the previous level stays
    EXPECT_EQ(s->Menu_Actual, "VACIO");
    EXPECT_EQ(s->NuevoMenu[0]->title(), "(1)" + QString(18, ' ') + "VACIO");
}

TEST_P(MenuWalkTest, PagingOnTheMainMenuWalksThePagesInStep) {
    Pedido_R* s = Started();
    s->AVANZAR_Click();
    EXPECT_EQ(VisiblePage(s), 1);
    s->AVANZAR_Click();
    EXPECT_EQ(VisiblePage(s), 2);
    s->AVANZAR_Click();
    EXPECT_EQ(VisiblePage(s), 2);
    EXPECT_EQ(s->Pagina_Menu, 2);
    s->RETROCEDER_Click();
    s->RETROCEDER_Click();
    EXPECT_EQ(VisiblePage(s), 0);
    s->RETROCEDER_Click();
    EXPECT_EQ(VisiblePage(s), 0);
    EXPECT_EQ(s->Pagina_Menu, 0);
}

TEST_P(MenuWalkTest, ALevelOpenedOnThePageThreeStaysThereUntilTheCounterCatchesUp) {
    AddRow(44, "LICORES", "", "", true, false, "");
    AddRow(0, "ANIS", "LICORES", "", false, true, "B012");
    Pedido_R* s = Started();
    s->AVANZAR_Click();
    s->AVANZAR_Click();
    QTest::mouseClick(s->AVANZAR, Qt::LeftButton);  // the real button does the same
    s->bmenu_Click(44);
    EXPECT_EQ(Caption(s, 0), "ANIS");
    EXPECT_EQ(VisiblePage(s), 2);
    EXPECT_EQ(s->Pagina_Menu, 0);
    s->RETROCEDER_Click();
    EXPECT_EQ(VisiblePage(s), 2);
    s->AVANZAR_Click();
    s->AVANZAR_Click();
    EXPECT_EQ(VisiblePage(s), 2);
    EXPECT_EQ(s->Pagina_Menu, 2);
    s->RETROCEDER_Click();
    EXPECT_EQ(VisiblePage(s), 1);
    s->RETROCEDER_Click();
    EXPECT_EQ(VisiblePage(s), 0);
}

TEST_P(MenuWalkTest, BackToTheMainMenuFromASubmenu) {
    Pedido_R* s = Started();
    s->bmenu_Click(4);  // PIZZAS
    s->bmenu_Click(5);  // EXTRAS DE PIZZA
    ASSERT_EQ(s->Submenu_Actual, "EXTRAS DE PIZZA");
    s->AVANZAR_Click();
    QTest::mouseClick(s->regre3, Qt::LeftButton);
    EXPECT_EQ(VisiblePage(s), 0);
    EXPECT_EQ(s->Menu_Actual, "");
    EXPECT_EQ(s->Submenu_Actual, "");
    EXPECT_EQ(Caption(s, 4), "PIZZAS");
    EXPECT_EQ(s->NuevoMenu[0]->title(), "(1) Menu Principal");
    // The next click is looked up at main-menu level.
    dialogs.AnswerInput("1");
    dialogs.AnswerNo();
    s->bmenu_Click(7);  // CAFE MARRON, a product on the main menu
    EXPECT_EQ(s->Num_Items(), 1);
}

TEST_P(MenuWalkTest, CaptionsWithApostrophesWorkEndToEnd) {
    AddRow(16, "D'ANGELO'S", "", "", true, false, "");
    AddRow(0, "CAFÉ D'ORO \\ DOBLE", "D'ANGELO'S", "", false, true, "B030");
    Pedido_R* s = Started();
    s->bmenu_Click(16);
    EXPECT_EQ(s->Menu_Actual, "D'ANGELO'S");
    EXPECT_EQ(Caption(s, 0), QString::fromUtf8("CAFÉ D'ORO \\ DOBLE"));
    dialogs.AnswerInput("1");
    dialogs.AnswerNo();
    s->bmenu_Click(0);
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(s->Grid1->TextMatrix(1, 0), "B030");
    EXPECT_EQ(dialogs.shown.size(), 2u);  // the quantity and the note question, no error
}

TEST_P(MenuWalkTest, AnAreaWithoutMenuShowsTablaVaciaAndKeepsPictures) {
    Pedido_R* s = Started();
    s->bmenu[3]->setIcon(QIcon(folder.filePath("iconos/menu.ico")));
    s->Area_Actual = "99";
    s->AVANZAR_Click();
    s->Menu_Principal();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Tabla vacia");
    EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.shown[0].title, "Pedidos_VandrelFW");
    for (QPushButton* b : s->bmenu) {
        EXPECT_EQ(b->text(), "");
        EXPECT_EQ(widgets::FaceColor(b), widgets::ButtonFaceColor());
    }
    EXPECT_FALSE(s->bmenu[3]->icon().isNull());
    EXPECT_EQ(VisiblePage(s), 0);
}

TEST_P(MenuWalkTest, TheServerReceivesTheStatementsAsWritten) {
    Pedido_R* s = Started();
    const QString thread = Module1::Conexion->Query("select connection_id()").Field(0).ToText();
    RootQuery("set global log_output = 'TABLE'");
    RootQuery("set global general_log = 1");
    s->bmenu_Click(4);  // PIZZAS
    s->bmenu_Click(5);  // EXTRAS DE PIZZA
    RootQuery("set global general_log = 0");
    RootQuery("set global log_output = 'FILE'");
    const QStringList received = RootQuery(
        "select argument from mysql.general_log where thread_id = " + thread +
        " and command_type = 'Query' order by event_time");
    RootQuery("truncate table mysql.general_log");
    // The general log keeps a statement without its closing semicolon.
    const auto logged = [](QStringList statements) {
        for (QString& text : statements)
            if (text.endsWith(';')) text.chop(1);
        return statements.join("\n").toStdString();
    };
    EXPECT_EQ(received.join("\n").toStdString(),
              logged({"SELECT * from Tbl_botones WHERE  indice = '4' And titulo = 'PIZZAS' and departamento "
                           "= '01' order by indice",
                           "SELECT * from Tbl_botones WHERE  menu = 'PIZZAS' AND essubmenu=true and "
                           "departamento='01' order by abs(indice) asc;",
                           "SELECT * from Tbl_botones WHERE  indice = '5' And menu = 'PIZZAS' And titulo = "
                           "'EXTRAS DE PIZZA' and departamento = '01' order by indice;",
                           "SELECT * from Tbl_botones WHERE  submenu = 'EXTRAS DE PIZZA' and menu ='PIZZAS' and "
                           "departamento='01' order by abs(indice) asc;"}));
}

}  // namespace
