// The order screen under the offscreen platform against the private server:
// loading, clearing, the parameters, the layout and the grid keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "runtime/regional_formats.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "support/program_end.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "order_screen/screen_fixture.h"
#include "widgets/c_image_button.h"
#include "widgets/look.h"
#include "widgets/ole_color.h"

namespace {

using order_screen::Pedido_R;
using testsupport::RootQuery;

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

using PedidoRTest = testsupport::OrderScreenTest;

TEST_F(PedidoRTest, LoadingShowsTheWaiterAndTablePanelWithTheAreaDateAndLists) {
    Pedido_R* s = Load();
    EXPECT_EQ(s->windowTitle(), QString::fromUtf8("Vandrel System / Restaurant El Fogón"));
    EXPECT_EQ(s->Area_Actual, "01");
    EXPECT_EQ(s->Label1[2]->text(), "RESTAURANT");
    EXPECT_EQ(s->Label1[4]->text(), "08/12/2026");
    for (int i : {0, 1, 3}) EXPECT_EQ(s->Label1[i]->text(), "") << i;

    // The waiters in the server's name order, the tables 1 to 70, nothing chosen.
    QStringList waiters;
    for (const QString& row : RootQuery("select nom_vendedor from Vendedores order by nom_Vendedor"))
        waiters << row;
    EXPECT_EQ(Items(s->dbCombo2), waiters);
    EXPECT_EQ(s->dbCombo2->count(), 5);
    QStringList tables;
    for (int t = 1; t <= 70; ++t) tables << QString::number(t);
    EXPECT_EQ(Items(s->Combo1), tables);
    EXPECT_EQ(s->dbCombo2->currentText(), "");
    EXPECT_EQ(s->Combo1->currentText(), "");
    EXPECT_EQ(s->cod_V->text(), "");

    // The parameters of mantenimiento.
    EXPECT_DOUBLE_EQ(Module1::Iva.ToDouble(), 16);
    EXPECT_DOUBLE_EQ(Module1::Iva_Reducido.ToDouble(), 8);
    EXPECT_DOUBLE_EQ(Module1::Iva_Lujo.ToDouble(), 31);
    EXPECT_EQ(Module1::Precio_V, "1");
    EXPECT_DOUBLE_EQ(Module1::Dollar, 36.5);

    // First state: only the waiter panel answers.
    EXPECT_FALSE(s->Frame3->isHidden());
    EXPECT_EQ(s->Frame3->y(), 200);
    for (QWidget* w : {static_cast<QWidget*>(s->Frame1), static_cast<QWidget*>(s->Frame4),
                       static_cast<QWidget*>(s->Frame5), static_cast<QWidget*>(s->Grid1)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(s->Frame6->isHidden());
    EXPECT_TRUE(s->Frame7->isHidden());
    EXPECT_EQ(s->Grid1->Rows(), 2);
    EXPECT_EQ(s->Grid1->Cols(), 15);
    EXPECT_EQ(s->Num_Items(), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PedidoRTest, AnAreaWithoutRowIsPrincipalWithCodeZero) {
    Module1::Cod_Deposito = "99";
    Pedido_R* s = Load();
    EXPECT_EQ(s->Label1[2]->text(), "PRINCIPAL");
    EXPECT_EQ(s->Area_Actual, "0");
}

TEST_F(PedidoRTest, LimpiarDiscardsTheOrderRereadsTheParametersAndBlanksTheMenuButtons) {
    Pedido_R* s = Load();
    s->Habilita();
    s->Frame3->hide();
    AddLine(s, "P001");
    AddLine(s, "P002");
    s->Label1[0]->setText("María Fernández");
    s->cod_V->setText("001");
    for (QPushButton* b : s->bmenu) {
        b->setText("PARRILLA");
        widgets::SetFaceColor(b, Qt::red);
        b->setIcon(QIcon(folder.filePath("iconos/menu.ico")));
    }
    RootQuery("update mantenimiento set iva = 12, Precio_V = '2', Dollar = 40");

    QTest::mouseClick(s->Command2[1], Qt::LeftButton);
    RootQuery("update mantenimiento set iva = 16, Precio_V = '1', Dollar = 36.5");

    EXPECT_EQ(s->Grid1->Rows(), 2);
    EXPECT_EQ(s->Grid1->TextMatrix(1, 0), "");
    EXPECT_EQ(s->Num_Items(), 0);
    EXPECT_EQ(s->Label1[0]->text(), "");
    EXPECT_EQ(s->Label1[2]->text(), "RESTAURANT");
    EXPECT_EQ(s->cod_V->text(), "");
    EXPECT_FALSE(s->Frame3->isHidden());
    EXPECT_FALSE(s->Frame4->isEnabled());
    EXPECT_DOUBLE_EQ(Module1::Iva.ToDouble(), 12);
    EXPECT_EQ(Module1::Precio_V, "2");
    EXPECT_DOUBLE_EQ(Module1::Dollar, 40);
    const QColor face = widgets::ButtonFaceColor();
    for (QPushButton* b : s->bmenu) {
        EXPECT_EQ(b->text(), "") << b->objectName().toStdString();
        EXPECT_EQ(widgets::FaceColor(b), face) << b->objectName().toStdString();
        EXPECT_TRUE(b->icon().isNull()) << b->objectName().toStdString();
    }
}

TEST_F(PedidoRTest, AFailingParameterStepIsSkippedAndTheRestRuns) {
    // Without waiters and without a parameter row: the previous values stay,
    // the waiter list is empty and the tables are still there.
    Module1::Iva = 21.0;
    Module1::Precio_V = "3";
    RootQuery("create table saved_vendedores as select * from Vendedores");
    RootQuery("create table saved_mantenimiento as select * from mantenimiento");
    RootQuery("delete from Vendedores");
    RootQuery("delete from mantenimiento");
    Pedido_R* s = Load();
    RootQuery("insert into Vendedores select * from saved_vendedores");
    RootQuery("insert into mantenimiento select * from saved_mantenimiento");
    RootQuery("drop table saved_vendedores");
    RootQuery("drop table saved_mantenimiento");

    EXPECT_EQ(s->dbCombo2->count(), 0);
    EXPECT_EQ(s->Combo1->count(), 70);
    EXPECT_DOUBLE_EQ(Module1::Iva.ToDouble(), 21);
    EXPECT_EQ(Module1::Precio_V, "3");

    // A dropped connection is not a step to skip: the server cannot be
    // reached, the waiter is told (by the screen's guard) and the lists stay
    // as they were rather than emptied.
    s->dbCombo2->addItem("LEFT OVER");
    Module1::Conexion->Close();
    Module1::Cadena_Conexion =
        rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());
    EXPECT_THROW(s->Buscar_Parametros(), data::ConnectionLost);
    EXPECT_EQ(s->dbCombo2->findText("LEFT OVER"), s->dbCombo2->count() - 1);
    EXPECT_EQ(s->Combo1->count(), 70);
    EXPECT_DOUBLE_EQ(Module1::Iva.ToDouble(), 21);
}

TEST_F(PedidoRTest, ControlsSitAtTheirPlacesWithTheirCaptions) {
    Pedido_R* s = Load();
    EXPECT_EQ(s->Frame1->title(), QString::fromUtf8("Información"));
    EXPECT_EQ(s->Frame1->geometry(), QRect(16, 8, 1209, 113));
    EXPECT_EQ(s->lblLabels[0]->text(), "Mesero(a):");
    EXPECT_EQ(s->lblLabels[2]->text(), "MESA #:");
    EXPECT_EQ(s->lblLabels[3]->text(), "AREA:");
    EXPECT_EQ(s->lblLabels[6]->text(), "Fecha:");
    EXPECT_EQ(s->lblLabels[4]->text(), "CANTIDAD ITEM:");
    EXPECT_EQ(s->lblLabels[4]->geometry(), QRect(960, 40, 217, 37));
    EXPECT_EQ(s->lblLabels[0]->palette().color(QPalette::Window), QColor(192, 255, 255));
    EXPECT_EQ(s->Label1[3]->geometry(), QRect(960, 72, 217, 33));
    EXPECT_TRUE(s->Label1[1]->alignment() & Qt::AlignHCenter);

    EXPECT_EQ(s->Command2[0]->text(), "ENVIAR");
    EXPECT_EQ(s->Command2[1]->text(), "LIMPIAR");
    EXPECT_EQ(s->Command2[2]->text(), "SALIR ");
    EXPECT_EQ(s->Command2[2]->geometry(), QRect(432, 16, 200, 49));
    EXPECT_EQ(s->Frame3->title(), "PEDIDOS");
    EXPECT_EQ(s->Command5->text(), "CONTINUAR");
    EXPECT_EQ(s->Command5->geometry(), QRect(128, 200, 153, 65));
    EXPECT_TRUE(s->cod_V->isHidden());
    EXPECT_EQ(s->Grid1->geometry(), QRect(408, 136, 937, 417));
    EXPECT_EQ(s->Frame6->title(), "Contornos");
    EXPECT_EQ(s->Frame7->title(), "Termino");
    EXPECT_EQ(s->Grid2->parentWidget(), s->Frame6);

    // Menu buttons: page i / 15, row (i mod 15) / 3, column i mod 3.
    EXPECT_EQ(s->bmenu[0]->parentWidget(), s->NuevoMenu[0]);
    EXPECT_EQ(s->bmenu[0]->geometry(), QRect(8, 24, 117, 73));
    EXPECT_EQ(s->bmenu[17]->parentWidget(), s->NuevoMenu[1]);
    EXPECT_EQ(s->bmenu[17]->geometry(), QRect(248, 24, 117, 73));
    EXPECT_EQ(s->bmenu[44]->parentWidget(), s->NuevoMenu[2]);
    EXPECT_EQ(s->bmenu[44]->geometry(), QRect(248, 323, 117, 73));
    EXPECT_EQ(s->bmenu[44]->objectName(), "bmenu_44");
    EXPECT_FALSE(s->NuevoMenu[0]->isHidden());
    EXPECT_TRUE(s->NuevoMenu[1]->isHidden());
    EXPECT_TRUE(s->NuevoMenu[2]->isHidden());
    EXPECT_TRUE(s->regre3->isHidden());
    EXPECT_EQ(s->AVANZAR->parentWidget(), s->Frame2);
    EXPECT_EQ(s->AVANZAR->geometry(), QRect(264, 19, 94, 57));

    // Everything fits in the window.
    for (QWidget* w : s->findChildren<QWidget*>()) {
        if (w->parentWidget() != s) continue;
        EXPECT_TRUE(s->rect().contains(w->geometry())) << w->objectName().toStdString();
    }
}

TEST_F(PedidoRTest, TheEightButtonsGetTheirIcons) {
    Pedido_R* s = Load();
    const std::pair<QAbstractButton*, const char*> expected[] = {
        {s->regre3, "menu.ico"},         {s->RETROCEDER, "back.ico"},     {s->AVANZAR, "Gointo.ico"},
        {s->Command3, "close.ico"},      {s->Command2[0], "enviar.ico"},  {s->Command2[1], "limpiar1.ico"},
        {s->Command2[2], "limpiar.ico"}, {s->Command4, "close.ico"}};
    for (size_t i = 0; i < s->Botones_Imagen.size(); ++i) {
        const auto& painter = s->Botones_Imagen[i];
        ASSERT_NE(painter, nullptr);
        EXPECT_EQ(painter->Button(), expected[i].first) << i;
        ASSERT_EQ(painter->ImageCount(), 1) << i;
        const QImage icon(folder.filePath(QString("iconos/") + expected[i].second));
        EXPECT_EQ(painter->Image(0).toImage().convertToFormat(QImage::Format_ARGB32),
                  QIcon(folder.filePath(QString("iconos/") + expected[i].second))
                      .pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32))
            << expected[i].second;
    }
    // The captions stay the buttons' own.
    EXPECT_EQ(s->Command2[2]->text(), "SALIR ");
}

TEST_F(PedidoRTest, DeleteOnTheGridRemovesTheLineUnderTheCursor) {
    Pedido_R* s = Load();
    s->Habilita();
    s->Frame3->hide();
    s->show();
    for (const char* code : {"P001", "P002", "P003"}) AddLine(s, code);
    ASSERT_EQ(s->Grid1->Rows(), 4);

    s->Grid1->SetRow(2);
    s->Grid1->SetCol(1);
    QTest::keyClick(s->Grid1, Qt::Key_Delete);
    EXPECT_EQ(s->Fila_Sel, 2);
    EXPECT_EQ(s->Num_Items(), 2);
    EXPECT_EQ(s->Label1[3]->text(), "2");
    EXPECT_EQ(s->Grid1->TextMatrix(2, 0), "P003");

    // Other keys only move the selection.
    s->Grid1->SetRow(1);
    QTest::keyClick(s->Grid1, Qt::Key_A);
    EXPECT_EQ(s->Num_Items(), 2);
}

// A long press asks first and then removes by the Delete key's rules.
TEST_F(PedidoRTest, ALongPressOnALineOrSideDishAsksThenRemovesIt) {
    Pedido_R* s = Load();
    s->Habilita();
    s->Frame3->hide();
    const struct {
        int row;
        bool yes;
        int linesLeft;
        const char* firstLeft;
    } lines[] = {{3, false, 3, "P001"}, {3, true, 2, "P001"}, {1, true, 1, "P002"},
                 {2, true, 1, "P002"},  {0, true, 1, "P002"}, {1, true, 0, ""}};
    for (const char* code : {"P001", "P002", "P003"}) AddLine(s, code);
    for (const auto& c : lines) {
        SCOPED_TRACE(c.row);
        const size_t asked = dialogs.shown.size();
        const bool asks = c.row >= 1 && c.row <= s->Num_Items();
        const QString name = asks ? s->Grid1->TextMatrix(c.row, order_screen::kColNombre) : QString();
        if (asks) c.yes ? dialogs.AnswerYes() : dialogs.AnswerNo();
        s->Grid1_LongPress(c.row);
        ASSERT_EQ(dialogs.shown.size(), asked + (asks ? 1 : 0)) << "only a line is offered";
        if (asks) {
            EXPECT_EQ(dialogs.shown.back().text, QString::fromUtf8("¿ Desea Borrar ") + name + " ?");
        }
        EXPECT_EQ(s->Num_Items(), c.linesLeft);
        if (asks && c.yes) {
            EXPECT_EQ(s->Label1[3]->text(), QString::number(c.linesLeft));
        }
        EXPECT_EQ(s->Grid1->TextMatrix(1, 0), c.firstLeft);
    }

    // Side dishes: any one of them, renumbered after.
    order_screen::ResetSideDishGrid(*s->Grid2, s->Num_Contornos);
    for (const char* dish : {"Papas", "Arroz", "Yuca"})
        order_screen::AppendSideDish(*s->Grid2, s->Num_Contornos, dish);
    dialogs.AnswerYes();
    s->Grid2_LongPress(1);
    EXPECT_EQ(dialogs.shown.back().text, QString::fromUtf8("¿ Desea Borrar Papas ?"));
    ASSERT_EQ(s->Num_Contornos, 2);
    EXPECT_EQ(s->Grid2->TextMatrix(1, 0), "1");
    EXPECT_EQ(s->Grid2->TextMatrix(1, 1), "Arroz");
    s->Grid2_LongPress(3);  // the empty row after them
    EXPECT_EQ(s->Num_Contornos, 2);
    EXPECT_EQ(dialogs.AnswersLeft(), 0u);
}

// "Teclado" types the table on the keypad; Cancel leaves the table as it was.
TEST_F(PedidoRTest, TheTableKeypadFillsTheTableAndCancelKeepsIt) {
    Pedido_R* s = Load();
    s->Combo1->setEditText("5");
    const struct {
        const char* answer;
        const char* table;
    } cases[] = {{"12", "12"}, {"", "12"}, {"71", "71"}};
    for (const auto& c : cases) {
        dialogs.AnswerInput(c.answer);
        s->cmdTeclado_Click();
        EXPECT_EQ(s->Combo1->currentText(), c.table) << c.answer;
        EXPECT_EQ(dialogs.shown.back().text, "Mesa #:");
        EXPECT_EQ(dialogs.shown.back().keys, dialogs::Keys::Numbers);
    }
}

TEST_F(PedidoRTest, SalirClosesTheResultsAndTheConnection) {
    Pedido_R* s = Load();
    ASSERT_TRUE(Module1::Conexion->IsOpen());
    // The button bar answers only while an order is taken.
    QTest::mouseClick(s->Command2[2], Qt::LeftButton);
    EXPECT_TRUE(Module1::Conexion->IsOpen());
    s->Habilita();
    QTest::mouseClick(s->Command2[2], Qt::LeftButton);
    EXPECT_FALSE(Module1::Conexion->IsOpen());
    EXPECT_EQ(s->Rs_General->State(), data::ResultSet::kClosed);
    EXPECT_TRUE(s->isHidden());
}

TEST_F(PedidoRTest, AServerUnreachableAtLoadIsToldOnceAndTheScreenIsStillBuilt) {
    Module1::Conexion->Close();
    Module1::Cadena_Conexion =
        rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());
    Pedido_R* s = nullptr;
    EXPECT_NO_THROW(s = Load());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("Error en Base de datos...\rNo hay conexión con el servidor"))
        << dialogs.shown[0].text.toStdString();
    // What needs no server is there: the table list and the waiter panel.
    EXPECT_EQ(s->Combo1->count(), 70);
    EXPECT_TRUE(s->Frame3->isVisibleTo(s));

    // Once the server is back, LIMPIAR fills the waiter list.
    Module1::Cadena_Conexion = testsupport::TestConnectionString();
    s->Command2_Click(1);
    EXPECT_GT(s->dbCombo2->count(), 0);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

}  // namespace
