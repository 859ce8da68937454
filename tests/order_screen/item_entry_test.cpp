// Item entry on the real screen with the demo restaurant's products: the
// quantity prompt, the side-dish and cooking-point panels, the note to the
// chef, pricing and the refusals, each ending in the right line or none.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "widgets/combo_list.h"

namespace {

using order_screen::Pedido_R;
using namespace order_screen;

// Product lookup and pricing on our tables and on an installation's own
// (DOUBLE prices, BIT side-dish flags, a text counter).
class ItemEntryTest : public testsupport::OrderScreenOn {
protected:
    // The screen as CONTINUAR leaves it: waiter 001 picked, an order started.
    Pedido_R* Taking() {
        Pedido_R* s = Load();
        s->cod_V->setText("001");
        s->Habilita();
        s->Frame3->hide();
        return s;
    }
    // Chooses a product as its menu button does.
    void Choose(Pedido_R* s, const QString& code) {
        Module1::Producto_Sel = code;
        s->buscar_arti1();
    }
    QString Cell(Pedido_R* s, int row, int col) { return s->Grid1->TextMatrix(row, col); }
    // The messages shown, in order, without the note questions.
    QStringList Messages() const {
        QStringList texts;
        for (const auto& box : dialogs.shown)
            if (box.kind == "message") texts << box.text;
        return texts;
    }
};

INSTANTIATE_TEST_SUITE_P(Installations, ItemEntryTest,
                         testsupport::OursAndTheirs(), testsupport::InstallationParamName());

TEST_P(ItemEntryTest, AQuantityDishBecomesALineWithTaxTakenOut) {
    Pedido_R* s = Taking();
    dialogs.AnswerInput("3");
    dialogs.AnswerNo();
    Choose(s, "E001");  // TEQUEÑOS 219,00 with the general rate 16 %

    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColCodigo), "E001");
    EXPECT_EQ(Cell(s, 1, kColNombre), QString::fromUtf8("TEQUEÑOS (6 UND)"));
    EXPECT_EQ(Cell(s, 1, kColCant), "3,000");
    EXPECT_EQ(Cell(s, 1, kColPrecio), "188,79");  // 219 × 3 / 1,16 / 3
    EXPECT_EQ(Cell(s, 1, kColSubTotal), "566,38");
    EXPECT_EQ(Cell(s, 1, kColIva), "16,00");
    EXPECT_EQ(Cell(s, 1, kColCosto), "79,290");
    EXPECT_EQ(Cell(s, 1, kColContorno1), "");
    EXPECT_EQ(Cell(s, 1, kColTermino), "");
    EXPECT_EQ(Cell(s, 1, kColCodVendedor), "001");
    EXPECT_EQ(Cell(s, 1, kColDeposito), "01");
    EXPECT_EQ(Cell(s, 1, kColObservacion), "");
    EXPECT_EQ(Cell(s, 1, kColImprimir), "COCINA");
    EXPECT_EQ(s->Label1[3]->text(), "1");
    EXPECT_DOUBLE_EQ(s->Cantidad_Sel, 1);

    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "Cantidad del Plato o Bebidas...");
    EXPECT_EQ(dialogs.shown[0].title, "Pedidos_VandrelFW");
    EXPECT_EQ(dialogs.shown[0].keys, dialogs::Keys::Numbers) << "a quantity is typed on the keypad";
    EXPECT_EQ(dialogs.shown[1].text, QString::fromUtf8("¿ Desea Colocar una Observación al Chef. ?"));
    EXPECT_EQ(dialogs.shown[1].title, " Sistema Vandrel For Windows. ");
    EXPECT_EQ(dialogs.shown[1].icon, dialogs::Icon::Question);
}

TEST_P(ItemEntryTest, TheQuantityPromptRepeatsUntilAValidQuantity) {
    Pedido_R* s = Taking();
    for (const char* answer : {"11", "0", "abc", "", "-1", "10,5", "0,5"}) dialogs.AnswerInput(answer);
    dialogs.AnswerNo();
    Choose(s, "B002");

    const QString range = "La Cantidad es hasta 10 Platos o Bebidas";
    const QString number = "Solamente Numeros Enteros...";
    EXPECT_EQ(Messages(), QStringList({range, range, number, number, range, range}));
    for (const auto& box : dialogs.shown)
        if (box.kind == "message") {
            EXPECT_EQ(box.title, " Sistema VandrelFW ");
        }
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColCant), "0,500");
}

TEST_P(ItemEntryTest, ANoteToTheChefIsStoredInUpperCase) {
    Pedido_R* s = Taking();
    dialogs.AnswerInput("10");
    dialogs.AnswerYes();
    dialogs.AnswerInput(QString::fromUtf8("sin cebolla, jalapeño y D'Angelo \\ aparte"));
    Choose(s, "Z001");
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColObservacion), QString::fromUtf8("SIN CEBOLLA, JALAPEÑO Y D'ANGELO \\ APARTE"));
    EXPECT_EQ(Cell(s, 1, kColCant), "10,000");
    const auto& note = dialogs.shown.back();
    EXPECT_EQ(note.text, QString::fromUtf8("Escriba una Observación para el Chef.: "));
    EXPECT_EQ(note.keys, dialogs::Keys::Letters) << "a note is typed on the keyboard";
    EXPECT_EQ(note.title, "Pedidos");
}

TEST_P(ItemEntryTest, TypedTextStopsAtTheWidthOfTheColumnsItIsStoredIn) {
    // Ours: VARCHAR(20) table numbers, 100 for a cooking point, 60 for a
    // waiter, 500 for the note. Theirs: a 6-character table number, a
    // cooking point of 15 and a waiter of 20 in comanda, an 80-character note.
    const bool ours = GetParam() == testsupport::Installation::Ours;
    const int mesa = ours ? 20 : 6, termino = ours ? 100 : 15, mesonero = ours ? 60 : 20,
              nota = ours ? 500 : 80;
    Pedido_R* s = Taking();
    const struct {
        QComboBox* box;
        int limit;
    } boxes[] = {{s->Combo1, mesa}, {s->Combo3, termino}, {s->dbCombo2, mesonero}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.box->objectName().toStdString());
        b.box->setEditText(QString());
        QTest::keyClicks(b.box->lineEdit(), QString(b.limit + 1, 'x'));
        EXPECT_EQ(b.box->currentText(), QString(b.limit, 'x'));
        // A pick from the list is shown (and printed) whole; only storing cuts it.
        widgets::AddListItem(b.box, QString(b.limit + 5, 'p'));
        b.box->setCurrentIndex(b.box->count() - 1);
        EXPECT_EQ(b.box->currentText(), QString(b.limit + 5, 'p'));
    }

    dialogs.AnswerInput("1");
    dialogs.AnswerYes();
    dialogs.AnswerInput(QString(nota + 1, 'n'));
    Choose(s, "Z001");
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(dialogs.shown.back().maxLength, nota);
    EXPECT_EQ(Cell(s, 1, kColObservacion), QString(nota, 'N'));
}

TEST_P(ItemEntryTest, ExemptReducedLuxuryAndNoCostProducts) {
    Pedido_R* s = Taking();
    for (const char* code : {"B001", "B027", "B020", "B012"}) {
        dialogs.AnswerInput("1");
        dialogs.AnswerNo();
        Choose(s, code);
    }
    ASSERT_EQ(s->Num_Items(), 4);
    // Exempt, without print group.
    EXPECT_EQ(Cell(s, 1, kColPrecio), "36,50");
    EXPECT_EQ(Cell(s, 1, kColIva), "0,00");
    EXPECT_EQ(Cell(s, 1, kColImprimir), "");
    // Reduced rate 8 %, no cost row: cost 0.
    EXPECT_EQ(Cell(s, 2, kColPrecio), "92,94");
    EXPECT_EQ(Cell(s, 2, kColIva), "8,00");
    EXPECT_EQ(Cell(s, 2, kColCosto), "0,000");
    // General and luxury flags both set: the luxury rate, the last one, wins.
    EXPECT_EQ(Cell(s, 3, kColIva), "31,00");
    EXPECT_EQ(Cell(s, 3, kColPrecio), "835,88");
    EXPECT_EQ(Cell(s, 3, kColSubTotal), "835,88");
    EXPECT_EQ(Cell(s, 4, kColIva), "31,00");
    EXPECT_EQ(s->Label1[3]->text(), "4");
}

TEST_P(ItemEntryTest, APriceLevelChangedInTheDatabaseTakesEffectAfterLimpiar) {
    Pedido_R* s = Taking();
    testsupport::RootQuery("update mantenimiento set Precio_V = '2'");
    s->Limpiar();
    testsupport::RootQuery("update mantenimiento set Precio_V = '1'");
    s->cod_V->setText("002");
    s->Habilita();
    dialogs.AnswerInput("2");
    dialogs.AnswerNo();
    Choose(s, "E001");  // precio_b 240,90
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColPrecio), "207,67");
    EXPECT_EQ(Cell(s, 1, kColSubTotal), "415,34");
    EXPECT_EQ(Cell(s, 1, kColCodVendedor), "002");
}

TEST_P(ItemEntryTest, AProductWithoutPriceIsRefusedAndLeavesNothingBehind) {
    Pedido_R* s = Taking();
    dialogs.AnswerInput("4");
    dialogs.AnswerNo();
    Choose(s, "D005");
    EXPECT_EQ(Messages(), QStringList{"Error No hay Existencia o Producto sin Precio de Venta..."});
    EXPECT_EQ(s->Num_Items(), 0);
    EXPECT_EQ(s->Grid1->Rows(), 2);
    EXPECT_EQ(Cell(s, 1, kColCodigo), "");
    EXPECT_DOUBLE_EQ(s->Cantidad_Sel, 1);  // the next line does not inherit the 4
}

TEST_P(ItemEntryTest, ARefusedPanelDishLeavesNoSideDishesNorCookingPointForTheNext) {
    testsupport::RootQuery("update productos set precio_a = 0 where cod_producto = 'P002'");
    Pedido_R* s = Taking();
    Choose(s, "P002");
    testsupport::RootQuery("update productos set precio_a = 547.50 where cod_producto = 'P002'");
    s->Combo2->setCurrentIndex(0);
    s->Combo2_Click();
    s->Command3_Click();
    s->Combo3->setEditText("BIEN COCIDO");
    dialogs.AnswerNo();
    s->Command4_Click();
    EXPECT_EQ(Messages(), QStringList{"Error No hay Existencia o Producto sin Precio de Venta..."});
    EXPECT_EQ(s->Num_Items(), 0);
    EXPECT_EQ(s->Num_Contornos, 0);
    EXPECT_EQ(s->Grid2->TextMatrix(1, 0), "");
    EXPECT_EQ(s->Combo3->currentText(), "");

    // The next dish, without panels, starts clean.
    dialogs.AnswerInput("1");
    dialogs.AnswerNo();
    Choose(s, "B002");
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColContorno1), "");
    EXPECT_EQ(Cell(s, 1, kColTermino), "");
}

TEST_P(ItemEntryTest, WeighedUnknownAndEmptyProductsDoNothing) {
    Pedido_R* s = Taking();
    Choose(s, "F005");
    Choose(s, "NOEXISTE");
    Choose(s, "");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(s->Num_Items(), 0);
    EXPECT_TRUE(s->Frame6->isHidden());
    EXPECT_TRUE(s->Frame4->isEnabled());
}

TEST_P(ItemEntryTest, SideDishesThenCookingPointMakeOneLineOfQuantityOne) {
    Pedido_R* s = Taking();
    s->show();
    Choose(s, "P001");  // side dishes and a cooking point
    EXPECT_FALSE(s->Frame6->isHidden());
    EXPECT_EQ(s->Frame6->y(), 184);  // 2760 twips
    EXPECT_FALSE(s->Frame4->isEnabled());
    EXPECT_FALSE(s->Grid1->isEnabled());
    // The list of Contorno.txt: comments skipped, stops at the empty line.
    ASSERT_EQ(s->Combo2->count(), 9);
    EXPECT_EQ(s->Combo2->itemText(0), "Papas fritas");
    EXPECT_EQ(s->Combo2->itemText(5), QString::fromUtf8("Puré de papas"));
    EXPECT_EQ(s->Combo2->itemText(8), "Caraotas negras");
    EXPECT_EQ(s->Grid2->TextMatrix(0, 1), " Contorno");

    for (int pick : {0, 2, 0, 4}) {  // four picks, one of them twice
        s->Combo2->setCurrentIndex(pick);
        emit s->Combo2->activated(pick);
    }
    EXPECT_EQ(s->Num_Contornos, 4);
    EXPECT_EQ(s->Grid2->TextMatrix(3, 0), "3");
    EXPECT_EQ(s->Grid2->TextMatrix(3, 1), "Papas fritas");

    QTest::mouseClick(s->Command3, Qt::LeftButton);
    EXPECT_TRUE(s->Frame6->isHidden());
    EXPECT_FALSE(s->Frame7->isHidden());
    EXPECT_EQ(s->Frame7->y(), 232);  // 3480 twips, coming from the side dishes
    ASSERT_EQ(s->Combo3->count(), 4);
    EXPECT_EQ(s->Combo3->itemText(1), QString::fromUtf8("Término medio"));
    s->Combo3->setCurrentIndex(1);

    dialogs.AnswerNo();
    QTest::mouseClick(s->Command4, Qt::LeftButton);
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColCant), "1,000");
    EXPECT_EQ(Cell(s, 1, kColContorno1), "Papas fritas");
    EXPECT_EQ(Cell(s, 1, kColContorno2), "Tostones");
    EXPECT_EQ(Cell(s, 1, kColContorno3), "Papas fritas");
    EXPECT_EQ(Cell(s, 1, kColTermino), QString::fromUtf8("Término medio"));
    EXPECT_EQ(Cell(s, 1, kColPrecio), "503,45");  // 584 / 1,16
    EXPECT_EQ(s->Num_Contornos, 0);
    EXPECT_EQ(s->Combo3->currentText(), "");
    EXPECT_TRUE(s->Frame7->isHidden());
    EXPECT_TRUE(s->Frame4->isEnabled());
}

TEST_P(ItemEntryTest, ADollarDishOnlyWithACookingPointOpensItsPanelLower) {
    testsupport::RootQuery("update productos set contorno = 0 where cod_producto = 'P005'");
    Pedido_R* s = Taking();
    Choose(s, "P005");
    testsupport::RootQuery("update productos set contorno = 1 where cod_producto = 'P005'");
    EXPECT_TRUE(s->Frame6->isHidden());
    EXPECT_FALSE(s->Frame7->isHidden());
    EXPECT_EQ(s->Frame7->y(), 240);  // 3600 twips
    s->Combo3->setEditText("A LA PIEDRA");  // typed, not in the list
    dialogs.AnswerNo();
    s->Command4_Click();
    ASSERT_EQ(s->Num_Items(), 1);
    // 24,50 dollars × 36,50 = 894,25, general rate.
    EXPECT_EQ(Cell(s, 1, kColPrecio), "770,91");
    EXPECT_EQ(Cell(s, 1, kColTermino), "A LA PIEDRA");
}

TEST_P(ItemEntryTest, ADishWithSideDishesOnlyIsBuiltWhenTheirPanelCloses) {
    Pedido_R* s = Taking();
    Choose(s, "M003");
    s->Combo2->setCurrentIndex(1);
    s->Combo2_Click();
    dialogs.AnswerNo();
    s->Command3_Click();
    EXPECT_TRUE(s->Frame7->isHidden());
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(Cell(s, 1, kColContorno1), "Yuca frita");
    EXPECT_EQ(Cell(s, 1, kColContorno2), "");
    EXPECT_TRUE(s->Frame4->isEnabled());
}

TEST_P(ItemEntryTest, MissingListFilesLeaveEmptyListsAndTheDishCanStillBeTaken) {
    QFile::remove(folder.filePath("datos/Contorno.txt"));
    QFile::remove(folder.filePath("datos/Termino.txt"));
    Pedido_R* s = Taking();
    Choose(s, "P002");
    EXPECT_EQ(s->Combo2->count(), 0);
    s->Command3_Click();
    EXPECT_EQ(s->Combo3->count(), 0);
    dialogs.AnswerNo();
    s->Command4_Click();
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_TRUE(dialogs.shown.size() == 1u && dialogs.shown[0].kind == "yesno");
}

TEST_P(ItemEntryTest, SideDishesFromTheTableReplaceTheFileList) {
    Pedido_R* s = Taking();
    s->Buscar_C1();
    QStringList names;
    for (const QString& row : testsupport::RootQuery("select nombre from contornos where activa=1 order by nombre"))
        names << row;
    ASSERT_FALSE(names.isEmpty());
    ASSERT_EQ(s->Combo2->count(), names.size());
    for (int i = 0; i < names.size(); ++i) EXPECT_EQ(s->Combo2->itemText(i), names[i]);
    EXPECT_EQ(s->Num_Contornos, 0);
    EXPECT_EQ(s->Grid2->Rows(), 2);
}

}  // namespace
