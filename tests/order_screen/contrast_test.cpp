// The order screen's texts (4.5:1 on their background) and control edges
// (3:1 on what they stand on) in its states: the waiter's panel, the menu
// with the restaurant's colours, the side-dish and cooking-point panels.
// Disabled controls are exempt.
#include "order_screen/screen_fixture.h"
#include "support/edge_probe.h"
#include "widgets/contrast.h"
#include "widgets/look.h"

namespace {

void ExpectReadable(order_screen::Pedido_R* screen, const char* state) {
    const QImage shot = screen->grab().toImage();
    int controls = 0;
    for (QWidget* w : screen->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(screen) || !w->isEnabled()) continue;
        const std::string name = state + (" " + w->objectName().toStdString());
        const QPalette& pal = w->palette();
        const QColor back = w->autoFillBackground() ? pal.color(w->backgroundRole()) : widgets::BackgroundBehind(w);
        if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w)) {
            EXPECT_GE(widgets::ContrastRatio(pal.color(QPalette::WindowText), back), widgets::kTextContrast) << name;
        }
        const bool inList = qobject_cast<QComboBox*>(w->parentWidget());
        if (!(qobject_cast<QPushButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w)) || inList)
            continue;
        ++controls;
        EXPECT_GE(widgets::ContrastRatio(pal.color(QPalette::ButtonText), pal.color(QPalette::Button)),
                  widgets::kTextContrast) << name;
        const QRect at(w->mapTo(screen, QPoint()), w->size());
        EXPECT_GE(testsupport::WeakestEdge(shot, at, widgets::BackgroundBehind(w)), widgets::kEdgeContrast) << name;
    }
    EXPECT_GT(controls, 3) << state;
}

using ScreenContrastTest = testsupport::OrderScreenTest;

TEST_F(ScreenContrastTest, EveryTextAndControlEdgeReadsInEachStateOfTheScreen) {
    order_screen::Pedido_R* s = Load();
    s->show();
    ExpectReadable(s, "waiter's panel");
    s = Continued("MARIA", "5", "001");
    s->Menu_Principal();
    ExpectReadable(s, "menu");
    for (QGroupBox* panel : {s->Frame6, s->Frame7}) {
        panel->show();
        ExpectReadable(s, panel->objectName().toLatin1().constData());
        panel->hide();
    }
}

}  // namespace
