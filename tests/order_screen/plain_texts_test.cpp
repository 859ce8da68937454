// Names the back office typed (area, waiter, menu captions, products, side
// dishes) are shown as typed on the real order screen: never read as rich
// text, never losing a '&' to a shortcut mark.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "widgets/qt_dialogs.h"

namespace {

using order_screen::Pedido_R;
using testsupport::RootQuery;

const QString kArea = "<b>Negrita</b>";
const QString kWaiter = "a<br>b & c";
const QString kMenu = "Fish & Chips";
const QString kChild = "<img src=x>";
const QString kProduct = "<i>Pasta</i> & <b>Queso</b>";
const QString kSideDish = "Papas <u>&</u> yuca";
const QString kListEntry = "<h1>Grande</h1>";

// The text a place that reads '&' as a shortcut mark shows (Qt's rule:
// "&&" is one '&', a lone '&' marks the next letter and is not shown).
QString ShownWithMnemonics(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        else if (text[i] == '&') continue;
        shown += text[i];
    }
    return shown;
}

class PlainTextsTest : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        RootQuery("update deposito set nombre='<b>Negrita</b>' where codigo='01'");
        RootQuery("update Vendedores set nom_vendedor='a<br>b & c' where cod_vendedor='001'");
        RootQuery("update tbl_botones set menu='Fish & Chips' where departamento='01' and menu='ENTRADAS'");
        RootQuery("update tbl_botones set titulo='Fish & Chips' where departamento='01' and titulo='ENTRADAS'");
        RootQuery("update tbl_botones set titulo='<img src=x>' where departamento='01' and titulo='TEQUEÑOS'");
        RootQuery("update productos set nom_producto='<i>Pasta</i> & <b>Queso</b>' where cod_producto='E001'");
        RootQuery("update contornos set nombre='Papas <u>&</u> yuca' where nombre='Papas fritas'");
        // First in the list: lines after its first empty one are not offered.
        QFile list(folder.filePath("datos/Contorno.txt"));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        const QByteArray entries = list.readAll();
        list.close();
        ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
        list.write(kListEntry.toUtf8() + "\r\n" + entries);
    }
    void TearDown() override {
        OrderScreenTest::TearDown();
        testsupport::ResetDatabase();
    }
    // The screen after CONTINUAR with the waiter of the odd name at table 5.
    Pedido_R* Started() {
        Pedido_R* s = Load();
        const int index = s->dbCombo2->findText(kWaiter);
        EXPECT_GE(index, 0) << "the waiter's list entry is not the name as typed";
        s->dbCombo2->setCurrentIndex(index);
        emit s->dbCombo2->activated(index);
        s->Combo1->setEditText("5");
        s->Command5_Click();
        return s;
    }
};

TEST_F(PlainTextsTest, LabelsShowTheNamesAsPlainText) {
    Pedido_R* s = Started();
    const struct {
        const char* what;
        QLabel* label;
        QString raw;
    } cases[] = {{"area", s->Label1[2], kArea}, {"waiter", s->Label1[0], kWaiter}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.label->text(), c.raw);
        EXPECT_EQ(c.label->textFormat(), Qt::PlainText);
    }
    for (QLabel* label : s->findChildren<QLabel*>()) EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST_F(PlainTextsTest, MenuButtonsAndPageTitlesKeepTheirAmpersands) {
    Pedido_R* s = Started();
    QPushButton* first = s->bmenu[0];
    const struct {
        const char* what;
        std::function<void()> walk;
        QString raw;
    } cases[] = {
        {"a menu of the main level", [] {}, kMenu},
        {"the first product of that menu", [first] { QTest::mouseClick(first, Qt::LeftButton); }, kChild},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.walk();
        EXPECT_EQ(first->text(), c.raw);
        EXPECT_TRUE(first->shortcut().isEmpty()) << "a caption's '&' became a keyboard shortcut";
    }
    EXPECT_EQ(s->Menu_Actual, kMenu);
    for (QGroupBox* page : s->NuevoMenu)
        EXPECT_TRUE(ShownWithMnemonics(page->title()).endsWith(kMenu)) << page->title().toStdString();
}

TEST_F(PlainTextsTest, ListsAndGridCellsHoldTheNamesAsTyped) {
    Pedido_R* s = Started();
    const QString product = RootQuery("select nom_producto from productos where cod_producto='E001'").value(0);
    ASSERT_EQ(product, kProduct);
    order_screen::AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line("E001", product), s->Num_Contornos);
    s->Buscar_C();  // Contorno.txt
    const bool fromFile = s->Combo2->findText(kListEntry) >= 0;
    s->Buscar_C1();  // the contornos table
    const int dish = s->Combo2->findText(kSideDish);
    ASSERT_GE(dish, 0);
    s->Combo2->setCurrentIndex(dish);
    s->Combo2_Click();
    const struct {
        const char* what;
        bool found;
    } cases[] = {
        {"waiter list", s->dbCombo2->findText(kWaiter) >= 0},
        {"side dish file list", fromFile},
        {"product cell", s->Grid1->findItems(kProduct, Qt::MatchContains).size() == 1},
        {"side dish cell", s->Grid2->findItems(kSideDish, Qt::MatchContains).size() == 1},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.found) << c.what;
}

TEST_F(PlainTextsTest, TheBoxesShowANameAsPlainText) {
    Pedido_R* s = Started();
    order_screen::AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line("E001", kProduct), s->Num_Contornos);
    dialogs::QtDialogs real;
    dialogs::Install(&real);
    struct Seen {
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        QList<Qt::TextFormat> labels;
    };
    const auto look = [](Seen* seen) {
        QTimer::singleShot(50, [seen] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            if (auto* m = qobject_cast<QMessageBox*>(box)) {
                seen->text = m->text();
                seen->format = m->textFormat();
            }
            for (QLabel* l : box->findChildren<QLabel*>())
                if (!l->text().isEmpty()) seen->labels << l->textFormat();
            if (auto* d = qobject_cast<QDialog*>(box)) d->reject();
        });
    };
    const struct {
        const char* what;
        std::function<void()> show;
        QString contains;
        bool messageBox;
    } cases[] = {
        {"question before removing a line", [s] { s->Grid1_LongPress(1); }, kProduct, true},
        {"message", [] { dialogs::Current().Message(kArea, "Sistema", dialogs::Icon::Information); }, kArea, true},
        {"input prompt", [] { dialogs::Current().Input(kChild, "Sistema", "", 5, dialogs::Keys::Numbers); }, kChild, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Seen seen;
        look(&seen);
        c.show();
        if (c.messageBox) {
            EXPECT_TRUE(seen.text.contains(c.contains)) << seen.text.toStdString();
            EXPECT_EQ(seen.format, Qt::PlainText);
        }
        ASSERT_FALSE(seen.labels.isEmpty()) << "no box was seen";
        for (Qt::TextFormat f : seen.labels) EXPECT_EQ(f, Qt::PlainText);
    }
    dialogs::Install(&dialogs);
}

}  // namespace
