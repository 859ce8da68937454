// The order screen's texts (4.5:1 on their background) and control edges
// (3:1 on what they stand on) in its states: the waiter's panel, the menu
// with the restaurant's colours, the side-dish and cooking-point panels,
// disabled controls included.
#include <QAbstractItemView>

#include "order_screen/screen_fixture.h"
#include "support/edge_probe.h"
#include "widgets/contrast.h"
#include "widgets/look.h"

namespace {

void ExpectReadable(order_screen::Pedido_R* screen, const char* state) {
    const QImage shot = screen->grab().toImage();
    int controls = 0;
    for (QWidget* w : screen->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(screen)) continue;
        const std::string name = state + (" " + w->objectName().toStdString());
        const QPalette& pal = w->palette();
        // Disabled controls are read too: the screen disables whole frames
        // while the waiter picks the table, and they must still read.
        const QPalette::ColorGroup group = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QColor back = w->autoFillBackground() ? pal.color(w->backgroundRole()) : widgets::BackgroundBehind(w);
        if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w)) {
            EXPECT_GE(widgets::ContrastRatio(pal.color(group, QPalette::WindowText), back), widgets::kTextContrast)
                << name;
        }
        // Parts of a list or grid (its viewport, a grid's fixed row) are not
        // controls of their own.
        const bool inList = qobject_cast<QComboBox*>(w->parentWidget()) ||
                            qobject_cast<QAbstractItemView*>(w->parentWidget()) ||
                            (w->parentWidget() && qobject_cast<QAbstractItemView*>(w->parentWidget()->parentWidget()));
        const bool list = qobject_cast<QAbstractItemView*>(w) != nullptr;
        if (!(qobject_cast<QPushButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) || list) ||
            inList)
            continue;
        ++controls;
        EXPECT_GE(list ? widgets::ContrastRatio(pal.color(group, QPalette::Text), pal.color(group, QPalette::Base))
                       : widgets::ContrastRatio(pal.color(group, QPalette::ButtonText), pal.color(group, QPalette::Button)),
                  widgets::kTextContrast)
            << name;
        // The edge against what the screen really shows around the control.
        const QRect at(w->mapTo(screen, QPoint()), w->size());
        EXPECT_GE(testsupport::WeakestEdgeOnSurroundings(shot, at), widgets::kEdgeContrast) << name;
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
