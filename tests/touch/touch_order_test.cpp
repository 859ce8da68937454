// The terminal on a touch panel, run under Xvfb at the panel size CTest gives
// it (4:3 1024x768, 5:4 1280x1024, 16:10 1280x800 and 16:9 1920x1080, and
// 1366x768 with a window manager, when PEDIDOS_TOUCH_WINDOW_MANAGER is set):
// the order screen fills the panel both ways, every text reads at arm's
// length, every menu caption of the demo restaurant shows whole, and a whole
// order is taken with touch events alone, the real boxes and keypads
// included.
// With PEDIDOS_TOUCH_SHOTS set to a folder, the panel is saved there at each
// step worth a picture.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <deque>
#include <map>
#include <functional>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "widgets/contrast.h"
#include "widgets/menu_button.h"
#include "widgets/screen_scale.h"
#include "widgets/touch.h"

namespace {

using order_screen::Pedido_R;
using testsupport::RootQuery;

QPointingDevice* Finger() {
    static QPointingDevice* device = QTest::createTouchDevice();
    return device;
}

void Tap(QWidget* w, QPoint at) {
    QTest::touchEvent(w, Finger()).press(0, at, w);
    QTest::touchEvent(w, Finger()).release(0, at, w);
    QCoreApplication::processEvents();
}
void Tap(QWidget* w) {
    ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
    Tap(w, w->rect().center());
}

// A finger moved by `by` across `w`, in ten steps.
void Drag(QWidget* w, QPoint from, QPoint by) {
    QTest::touchEvent(w, Finger()).press(0, from, w);
    for (int step = 1; step <= 10; ++step) QTest::touchEvent(w, Finger()).move(0, from + by * step / 10, w);
    QTest::touchEvent(w, Finger()).release(0, from + by, w);
    QCoreApplication::processEvents();
}

// A finger held still long enough to count as a long press.
void Hold(QWidget* w, QPoint at) {
    QTest::touchEvent(w, Finger()).press(0, at, w);
    QTest::qWait(widgets::TouchGestures::kLongPressMs + 300);
    QTest::touchEvent(w, Finger()).release(0, at, w);
    QCoreApplication::processEvents();
}

// Every widget under `root`, `root` included, and every cell of its grids,
// draws its text at least at the least size that reads.
void ExpectReadable(const QWidget* root) {
    const int least = widgets::MinimumTextPixels();
    QList<const QWidget*> all = {root};
    for (const QWidget* w : root->findChildren<QWidget*>()) all.append(w);
    for (const QWidget* w : all) {
        EXPECT_GE(QFontInfo(w->font()).pixelSize(), least) << w->objectName().toStdString() << " ("
                                                           << w->metaObject()->className() << ")";
        if (const auto* grid = qobject_cast<const QTableWidget*>(w))
            for (int row = 0; row < grid->rowCount(); ++row)
                for (int col = 0; col < grid->columnCount(); ++col)
                    if (const QTableWidgetItem* cell = grid->item(row, col); cell && !cell->text().isEmpty()) {
                        EXPECT_GE(QFontInfo(cell->font()).pixelSize(), least)
                            << w->objectName().toStdString() << " " << row << "," << col;
                    }
    }
}

QPushButton* KeyOf(QWidget* box, const QString& text) {
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

// Answers the modal boxes as they open, in turn: each box blocks the tap that
// opened it, so the answers run from a timer inside the box's own loop. A box
// nobody expected, or whose key cannot be found, fails the test and is
// closed, so a failure never hangs it.
class Boxes {
public:
    using Answer = std::function<void(QWidget*)>;
    Boxes() {
        poll_.setInterval(50);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start();
    }
    // Taps `keys`, by their texts, on the next box; `between` runs after all
    // but the last key (the one that closes the box).
    Boxes& Keys(const QStringList& keys, std::function<void(QWidget*)> between = {}) {
        answers_.push_back([keys, between](QWidget* box) {
            for (qsizetype i = 0; i < keys.size(); ++i) {
                if (i == keys.size() - 1 && between) between(box);
                QPushButton* key = KeyOf(box, keys[i]);
                if (key == nullptr) {
                    ADD_FAILURE() << "no key \"" << keys[i].toStdString() << "\" on the box";
                    box->close();
                    return;
                }
                Tap(key);
            }
        });
        return *this;
    }
    size_t Left() const { return answers_.size(); }

private:
    void Poll() {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || box == answered_ || !box->isVisible()) return;
        answered_ = box;
        ExpectReadable(box);
        if (answers_.empty()) {
            ADD_FAILURE() << "a box nobody expected: " << box->windowTitle().toStdString();
            box->close();
            return;
        }
        const Answer answer = answers_.front();
        answers_.pop_front();
        answer(box);
    }
    QTimer poll_;
    std::deque<Answer> answers_;
    QPointer<QWidget> answered_;
};

class TouchPanel : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        dialogs::Install(nullptr);  // the real boxes, keypads and all
        screen_ = QGuiApplication::primaryScreen();
        if (qEnvironmentVariableIsSet("PEDIDOS_TOUCH_WINDOW_MANAGER")) {
            // The window manager starts beside the test program.
            ASSERT_TRUE(QTest::qWaitFor([] { return widgets::HasWindowManager(); }, 10000))
                << "no window manager announced itself";
        } else {
            ASSERT_FALSE(widgets::HasWindowManager());
        }
        widgets::FitToScreen(screen_, widgets::HasWindowManager());
        testsupport::EmptyOrders(40);
    }
    void TearDown() override {
        OrderScreenTest::TearDown();
        widgets::SetLayoutScale(1);
    }

    Pedido_R* Shown() {
        Pedido_R* s = Load();
        s->ShowOnPanel();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(s));
        return s;
    }

    // `w` lies wholly on the panel.
    void ExpectOnPanel(const QWidget* w) const {
        const QRect where(w->mapToGlobal(QPoint(0, 0)), w->size());
        EXPECT_TRUE(screen_->geometry().contains(where))
            << w->objectName().toStdString() << " at " << where.x() << "," << where.y() << " "
            << where.width() << "x" << where.height();
    }
    // Every control a finger may press in `area` is tall enough for one.
    static void ExpectTouchable(const QWidget* area) {
        for (const QWidget* w : area->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(area) || !(qobject_cast<const QPushButton*>(w) || qobject_cast<const QComboBox*>(w)))
                continue;
            EXPECT_GE(w->height(), widgets::TouchMinimum()) << w->objectName().toStdString();
        }
    }
    void Picture(const char* name) const {
        const QString folder = qEnvironmentVariable("PEDIDOS_TOUCH_SHOTS");
        if (folder.isEmpty()) return;
        QTest::qWait(100);
        const QSize size = screen_->size();
        screen_->grabWindow(0).save(
            QDir(folder).filePath(QStringLiteral("%1x%2-%3.png").arg(size.width()).arg(size.height()).arg(name)));
    }

    // Opens the drop-down list of `combo`, drags it until `entry` shows (a
    // drag picks nothing) and taps it.
    static void PickByTouch(QComboBox* combo, const QString& entry) {
        const int index = combo->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        Tap(combo);
        QAbstractItemView* list = combo->view();
        ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); })) << "the list did not open";
        QWidget* rows = list->viewport();
        const auto entryRect = [list, index] { return list->visualRect(list->model()->index(index, 0)); };
        for (int drags = 0; !rows->rect().contains(entryRect()) && drags < 20; ++drags) {
            const QPoint middle = rows->rect().center();
            Drag(rows, middle + QPoint(0, rows->height() / 4), QPoint(0, -rows->height() / 2));
            ASSERT_TRUE(list->isVisible()) << "a drag closed the list";
        }
        ASSERT_TRUE(rows->rect().contains(entryRect())) << "dragging never brought " << entry.toStdString();
        EXPECT_GE(entryRect().height(), widgets::TouchMinimum());
        // The entry reads, and shows whole.
        EXPECT_GE(QFontInfo(list->font()).pixelSize(), widgets::MinimumTextPixels());
        EXPECT_GE(entryRect().width(), QFontMetrics(list->font()).horizontalAdvance(entry)) << entry.toStdString();
        Tap(rows, entryRect().center());
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }))
            << "the list stayed open";
        EXPECT_EQ(combo->currentText(), entry);
    }

    QScreen* screen_ = nullptr;
};

TEST_F(TouchPanel, TheOrderScreenFillsThePanelBothWaysAndEveryControlTakesAFingerAndReads) {
    Pedido_R* s = Shown();
    const QRect room = screen_->availableGeometry();
    if (widgets::HasWindowManager()) {
        EXPECT_TRUE(QTest::qWaitFor([s] { return s->windowState() & Qt::WindowMaximized; }));
        EXPECT_TRUE(room.contains(s->frameGeometry())) << "maximised, title bar and all";
        EXPECT_TRUE(QRect(QPoint(), s->size()).contains(s->Lienzo->geometry())) << "the whole drawing shows";
    } else {
        EXPECT_EQ(s->geometry(), room) << "the screen covers the panel";
        EXPECT_TRUE(s->windowState() & Qt::WindowFullScreen);
    }
    // The controls span the panel both ways, each where it is in the design
    // relative to the others: information bar on top, menu at the left, the
    // grid beside it, the buttons under the grid.
    QRect used;
    for (const QWidget* w : std::initializer_list<const QWidget*>{s->Frame1, s->Frame4, s->Grid1, s->Frame5})
        used |= QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    EXPECT_GE(used.width(), 0.9 * room.width()) << used.width() << " of " << room.width();
    EXPECT_GE(used.height(), 0.9 * room.height()) << used.height() << " of " << room.height();
    const auto global = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
    EXPECT_LT(global(s->Frame1).bottom(), global(s->Frame4).top());
    EXPECT_LT(global(s->Frame4).right(), global(s->Grid1).left());
    EXPECT_LT(global(s->Grid1).bottom(), global(s->Frame5).top());
    for (QWidget* w : std::initializer_list<QWidget*>{s->Frame1, s->Frame3, s->Frame4, s->Frame5, s->Grid1,
                                                      s->Command2[2], s->Label1[3]})
        ExpectOnPanel(w);
    ExpectReadable(s);
    ExpectTouchable(s);
    EXPECT_GE(s->Grid1->rowHeight(1), widgets::TouchMinimum());
    // Side-dish and cooking-point panels, where they open.
    s->OpenSideDishPanel();
    ExpectOnPanel(s->Frame6);
    ExpectTouchable(s->Frame6);
    s->OpenCookingPointPanel(3480);
    ExpectOnPanel(s->Frame7);
    ExpectTouchable(s->Frame7);
}

TEST_F(TouchPanel, EveryMenuCaptionOfTheDemoRestaurantShowsWholeAndReadsOnItsColour) {
    Pedido_R* s = Continued("María Fernández", "3", "001");
    s->ShowOnPanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    const int least = widgets::MinimumTextPixels();
    int captions = 0;
    // Every word inside the caption's room, on three lines at most.
    const auto whole = [](const QString& caption, const QRect& area, const QFont& font) {
        const QFontMetrics m(font);
        for (const QString& word : caption.split(' ', Qt::SkipEmptyParts))
            if (m.horizontalAdvance(word) > area.width()) return false;
        const QRect text = m.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
        return text.width() <= area.width() && text.height() <= area.height() &&
               qRound(double(text.height()) / m.lineSpacing()) <= widgets::MenuButton::kCaptionLines;
    };
    const auto expectWhole = [&](const QString& level) {
        for (int page = 0; page < 3; ++page) {
            bool onePixelMoreIsTooMuch = false, any = false;
            for (int i = page * 15; i < page * 15 + 15; ++i) {
                const QPushButton* b = s->bmenu[i];
                if (b->text().isEmpty()) continue;
                ++captions;
                any = true;
                SCOPED_TRACE((level + " / " + b->text()).toStdString());
                const QRect area = static_cast<const widgets::MenuButton*>(b)->CaptionArea();
                EXPECT_GE(QFontInfo(b->font()).pixelSize(), least);
                EXPECT_TRUE(whole(b->text(), area, b->font())) << "cut";
                EXPECT_GE(widgets::ContrastRatio(b->palette().color(QPalette::ButtonText),
                                                 b->palette().color(QPalette::Button)),
                          4.5);
                // As large as the buttons allow: a pixel more and some
                // caption of the page no longer shows whole, or three lines
                // no longer stand in the button.
                QFont bigger = b->font();
                bigger.setPixelSize(b->font().pixelSize() + 1);
                onePixelMoreIsTooMuch = onePixelMoreIsTooMuch || !whole(b->text(), area, bigger) ||
                                        3 * QFontMetrics(bigger).lineSpacing() > area.height();
            }
            EXPECT_TRUE(!any || onePixelMoreIsTooMuch) << level.toStdString() << " page " << page + 1;
        }
    };
    s->regre3_Click();
    expectWhole("main menu");
    // Every level of the demo restaurant: each menu from the main menu, each
    // submenu from its menu.
    std::map<QString, int> menus;
    for (const QString& row : RootQuery("select indice, titulo from tbl_botones where departamento = '01' and esmenu"
                                        " and titulo <> 'Sin Menu' and coalesce(cod_producto, '') = ''")) {
        const QStringList f = row.split('\t');
        menus[f[1]] = f[0].toInt();
        s->regre3_Click();
        s->bmenu_Click(f[0].toInt());
        expectWhole(f[1]);
    }
    int submenus = 0;
    for (const QString& row : RootQuery("select indice, titulo, menu from tbl_botones where departamento = '01'"
                                        " and essubmenu and coalesce(cod_producto, '') = ''")) {
        const QStringList f = row.split('\t');
        ASSERT_TRUE(menus.count(f[2])) << f[2].toStdString();
        s->regre3_Click();
        s->bmenu_Click(menus[f[2]]);
        s->bmenu_Click(f[0].toInt());
        expectWhole(f[2] + " / " + f[1]);
        ++submenus;
    }
    EXPECT_GE(menus.size(), 8u);
    EXPECT_GE(submenus, 4);
    EXPECT_EQ(QString::number(captions),
              RootQuery("select count(*) from tbl_botones where departamento = '01' and ((esmenu and titulo <> 'Sin Menu')"
                        " or (essubmenu and menu <> '') or submenu <> '')")
                  .value(0))
        << "every row of every level was drawn and looked at";
}

TEST_F(TouchPanel, AWholeOrderIsTakenWithTouchEventsAlone) {
    Pedido_R* s = Shown();
    Picture("pedido");
    Boxes boxes;

    // Waiter from the list, a table from far down its list, then another on
    // the keypad, CONTINUAR.
    PickByTouch(s->dbCombo2, QString::fromUtf8("María Fernández"));
    ASSERT_FALSE(s->cod_V->text().isEmpty());
    PickByTouch(s->Combo1, "45");
    boxes.Keys({"1", "2", "Aceptar"}, [this](QWidget* box) {
        ExpectOnPanel(box);
        ExpectTouchable(box);
    });
    Tap(s->cmdTeclado);
    EXPECT_EQ(s->Combo1->currentText(), "12");
    Tap(s->Command5);
    ASSERT_FALSE(s->Frame3->isVisible());

    // ENTRADAS > TEQUEÑOS, quantity 2 on the keypad, no note.
    boxes.Keys({"2", "Aceptar"}, [this](QWidget*) { Picture("cantidad"); });
    boxes.Keys({"No"}, [](QWidget* box) { ExpectTouchable(box); });
    Tap(s->bmenu[0]);
    Tap(s->bmenu[0]);
    ASSERT_EQ(boxes.Left(), 0u);
    ASSERT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(s->Grid1->TextMatrix(1, order_screen::kColCant), "2,000");
    Tap(s->regre3);

    // PARRILLA > CORTES DE RES > LOMITO: two side dishes, one removed by a
    // long press, a cooking point and a note typed on the keyboard.
    Tap(s->bmenu[2]);
    Tap(s->bmenu[0]);
    Tap(s->bmenu[0]);
    ASSERT_TRUE(s->Frame6->isVisible());
    // The order grid under the panel takes no long press (no box opens).
    Hold(s->Grid1->viewport(), s->Grid1->visualRect(s->Grid1->model()->index(1, 1)).center());
    EXPECT_EQ(s->Num_Items(), 1);
    PickByTouch(s->Combo2, "Papas fritas");
    PickByTouch(s->Combo2, "Ensalada mixta");
    ASSERT_EQ(s->Num_Contornos, 2);
    const QRect newest = s->Grid2->visualRect(s->Grid2->model()->index(2, 1));
    ASSERT_TRUE(s->Grid2->viewport()->rect().contains(newest)) << "the newest side dish is in view";
    boxes.Keys({QString::fromUtf8("Sí")});
    Hold(s->Grid2->viewport(), newest.center());
    ASSERT_EQ(s->Num_Contornos, 1);
    EXPECT_EQ(s->Grid2->TextMatrix(1, 1), "Papas fritas");
    Tap(s->Command3);
    ASSERT_TRUE(s->Frame7->isVisible());
    PickByTouch(s->Combo3, QString::fromUtf8("Término medio"));
    boxes.Keys({QString::fromUtf8("Sí")})
        .Keys({"S", "I", "N", "Espacio", "S", "A", "L", "Borrar", "L", ",", "Espacio", "A", QString::fromUtf8("Ñ"),
               "O", "Espacio", "2", "Aceptar"},
              [this](QWidget*) { Picture("observacion"); });
    Tap(s->Command4);
    ASSERT_EQ(boxes.Left(), 0u);
    ASSERT_EQ(s->Num_Items(), 2);
    EXPECT_EQ(s->Grid1->TextMatrix(2, order_screen::kColContorno1), "Papas fritas");
    EXPECT_EQ(s->Grid1->TextMatrix(2, order_screen::kColObservacion), QString::fromUtf8("SIN SAL, AÑO 2"));
    Tap(s->regre3);

    // BEBIDAS > a drink of quantity 1, then removed by a long press.
    Tap(s->bmenu[5]);
    boxes.Keys({"1", "Aceptar"}).Keys({"No"});
    Tap(s->bmenu[2]);
    ASSERT_EQ(s->Num_Items(), 3);
    Picture("lineas");
    const QString drink = s->Grid1->TextMatrix(3, order_screen::kColNombre);
    s->Grid1->scrollToBottom();
    boxes.Keys({QString::fromUtf8("Sí")}, [drink](QWidget* box) {
        EXPECT_TRUE(box->findChild<QLabel*>(QString(), Qt::FindChildrenRecursively) != nullptr);
        bool named = false;
        for (const QLabel* l : box->findChildren<QLabel*>()) named = named || l->text().contains(drink.trimmed());
        EXPECT_TRUE(named) << "the question names the line";
    });
    Hold(s->Grid1->viewport(), s->Grid1->visualRect(s->Grid1->model()->index(3, 1)).center());
    ASSERT_EQ(s->Num_Items(), 2);

    // ENVIAR: the two lines reach the database for table 12.
    Tap(s->Command2[0]);
    EXPECT_TRUE(s->Frame3->isVisible()) << "the screen is cleared for the next order";
    EXPECT_EQ(RootQuery("select n_factura, cod_producto, cast(cantidad as decimal(14,3)), contorno1, contorno2,"
                        " termino, observacion from D_Fact_r order by id"),
              (QStringList{"12\tE001\t2.000\t\t\t\t",
                           QString::fromUtf8("12\tP001\t1.000\tPapas fritas\t\tTérmino medio\tSIN SAL, AÑO 2")}));
}

TEST_F(TouchPanel, TheGridScrollsByDraggingBothWaysAndADragRemovesNothing) {
    Pedido_R* s = Continued("María Fernández", "3", "001");
    s->ShowOnPanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    for (int i = 0; i < 30; ++i) AddLine(s, QString("P%1").arg(i, 3, 10, QChar('0')));
    s->Grid1->SetTopRow(1);
    QWidget* rows = s->Grid1->viewport();
    const QPoint before(s->Grid1->horizontalScrollBar()->value(), s->Grid1->verticalScrollBar()->value());
    // Up and to the left: the rows below and the columns on the right show.
    Drag(rows, QPoint(rows->width() - 20, rows->height() - 10), QPoint(-rows->width() / 2, 20 - rows->height()));
    EXPECT_GT(s->Grid1->verticalScrollBar()->value(), before.y() + rows->height() / 2);
    EXPECT_GT(s->Grid1->horizontalScrollBar()->value(), before.x() + rows->width() / 4)
        << "the note column is reached by finger";
    EXPECT_EQ(s->Num_Items(), 30);
}

}  // namespace
