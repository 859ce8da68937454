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

void KeepListTouchable(QComboBox* combo) {
    combo->view()->setStyleSheet(
        QStringLiteral("QAbstractItemView::item { min-height: %1px; }").arg(TouchMinimum()));
}

namespace {

// Opens its combo's list when a finger lifts from the typing field.
class ListOnTouch : public QObject {
public:
    explicit ListOnTouch(QComboBox* combo) : QObject(combo), combo_(combo) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->device() == nullptr || e->device()->type() != QInputDevice::DeviceType::TouchScreen) return false;
        combo_->showPopup();
        return true;
    }

private:
    QComboBox* combo_;
};

}  // namespace

void OpenListOnTouch(QComboBox* combo) {
    if (QLineEdit* field = combo->lineEdit()) field->installEventFilter(new ListOnTouch(combo));
}

TouchGestures::TouchGestures(QAbstractScrollArea* area)
    : QObject(area), area_(area), viewport_(area->viewport()) {
    hold_.setSingleShot(true);
    hold_.setInterval(kLongPressMs);
    connect(&hold_, &QTimer::timeout, this, [this] {
        if (!pressed_ || dragging_) return;
        longPressDone_ = true;
        emit longPressed(pressedAt_);
    });
    // A scroll area takes touches for gestures of its own, and then no mouse
    // press reaches the rows; without them a finger arrives as the mouse.
    area_->viewport()->setAttribute(Qt::WA_AcceptTouchEvents, false);
    area_->viewport()->installEventFilter(this);
}

bool TouchGestures::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: while the area is being destroyed its
    // viewport still sends events, and the area may no longer be asked.
    if (watched != viewport_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton) return false;
            pressed_ = true;
            dragging_ = longPressDone_ = false;
            pressedAt_ = e->position().toPoint();
            scrollAtPress_ = area_->verticalScrollBar()->value();
            hold_.start();
            return false;
        }
        case QEvent::MouseMove: {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (!pressed_ || !(e->buttons() & Qt::LeftButton)) return false;
            const QPoint now = e->position().toPoint();
            if (!dragging_ && (now - pressedAt_).manhattanLength() < kDragStart) return true;
            dragging_ = true;
            hold_.stop();
            Drag(now);
            return true;  // a drag moves the contents, it selects nothing
        }
        case QEvent::MouseButtonRelease:
            hold_.stop();
            pressed_ = false;
            // A drag or a long press is not also a click on where it ended.
            return dragging_ || longPressDone_;
        default:
            return false;
    }
}

// The contents follow the finger: a drag upwards shows the rows below.
void TouchGestures::Drag(QPoint now) {
    QScrollBar* bar = area_->verticalScrollBar();
    int step = 1;
    if (const auto* view = qobject_cast<QAbstractItemView*>(area_);
        view && view->verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        const QModelIndex top = view->indexAt(QPoint(0, 0));
        step = std::max(1, view->visualRect(top).height());
    }
    bar->setValue(scrollAtPress_ - (now.y() - pressedAt_.y()) / step);
}

}  // namespace widgets
