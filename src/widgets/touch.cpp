#include "widgets/touch.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

#include "widgets/screen_scale.h"

namespace widgets {

void KeepTouchable(QWidget* w) {
    if (w->height() < TouchMinimum()) w->resize(w->width(), TouchMinimum());
}

namespace {

// Opens its combo's list when a finger (or, with `anyPress`, the mouse)
// lifts from the typing field.
class ListOnPress : public QObject {
public:
    ListOnPress(QComboBox* combo, bool anyPress) : QObject(combo), combo_(combo), anyPress_(anyPress) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* e = static_cast<QMouseEvent*>(event);
        const bool finger = e->device() != nullptr && e->device()->type() == QInputDevice::DeviceType::TouchScreen;
        if (!finger && !anyPress_) return false;
        combo_->showPopup();
        return true;
    }

private:
    QComboBox* combo_;
    const bool anyPress_;
};

}  // namespace

void MakeListTouchable(QComboBox* combo, bool anyPress) {
    QAbstractItemView* list = combo->view();
    list->setStyleSheet(QStringLiteral("QAbstractItemView::item { min-height: %1px; }").arg(TouchMinimum()));
    // Set up after the combo's own handling of its list, so that a drag is
    // taken here before the list would pick the entry under the finger.
    new TouchGestures(list, false);
    if (QLineEdit* field = combo->lineEdit()) field->installEventFilter(new ListOnPress(combo, anyPress));
}

TouchGestures::TouchGestures(QAbstractScrollArea* area, bool longPress)
    : QObject(area), area_(area), viewport_(area->viewport()), longPress_(longPress) {
    hold_.setSingleShot(true);
    hold_.setInterval(kLongPressMs);
    connect(&hold_, &QTimer::timeout, this, [this] {
        if (!pressed_ || dragging_) return;
        longPressDone_ = true;
        emit longPressed(pressedAt_);
    });
    // A scroll area takes touches for gestures of its own, and then no mouse
    // press reaches the rows; without them a finger arrives as the mouse.
    viewport_->setAttribute(Qt::WA_AcceptTouchEvents, false);
    viewport_->installEventFilter(this);
}

bool TouchGestures::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: while the area is being destroyed its
    // viewport still sends events, and the area may no longer be asked.
    if (watched != viewport_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* e = static_cast<QMouseEvent*>(event);
            // A disabled list (a panel open over it) takes no finger, as it takes no key.
            if (e->button() != Qt::LeftButton || !viewport_->isEnabled()) return false;
            pressed_ = true;
            dragging_ = longPressDone_ = false;
            pressedAt_ = e->position().toPoint();
            scrollAtPress_ = {area_->horizontalScrollBar()->value(), area_->verticalScrollBar()->value()};
            if (longPress_) hold_.start();
            return false;
        }
        case QEvent::MouseMove: {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (!pressed_ || !(e->buttons() & Qt::LeftButton)) return false;
            const QPoint now = e->position().toPoint();
            if (!dragging_ && (now - pressedAt_).manhattanLength() < kDragStart) return true;
            dragging_ = true;
            hold_.stop();
            Drag(now - pressedAt_);
            return true;  // a drag moves the contents, it selects nothing
        }
        case QEvent::MouseButtonRelease: {
            if (!pressed_) return false;
            hold_.stop();
            pressed_ = false;
            // A drag or a long press is not also a click on where it ended.
            return dragging_ || longPressDone_;
        }
        default:
            return false;
    }
}

// The contents follow the finger, both ways: a drag upwards shows the rows
// below, a drag to the left the columns on the right.
void TouchGestures::Drag(QPoint moved) {
    QSize step(1, 1);  // pixels per scroll bar unit
    if (const auto* view = qobject_cast<QAbstractItemView*>(area_)) {
        const QRect first = view->visualRect(view->indexAt(QPoint(0, 0)));
        if (view->horizontalScrollMode() == QAbstractItemView::ScrollPerItem)
            step.setWidth(std::max(1, first.width()));
        if (view->verticalScrollMode() == QAbstractItemView::ScrollPerItem)
            step.setHeight(std::max(1, first.height()));
    }
    area_->horizontalScrollBar()->setValue(scrollAtPress_.x() - moved.x() / step.width());
    area_->verticalScrollBar()->setValue(scrollAtPress_.y() - moved.y() / step.height());
}

}  // namespace widgets
