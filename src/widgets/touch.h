#pragma once
// What makes the forms usable by finger on a panel without keyboard or mouse:
// controls at least a fingertip high, a long press, and lists that scroll by
// dragging. The mouse and keyboard keep working as before.
#include <QObject>
#include <QPoint>
#include <QTimer>

class QAbstractScrollArea;
class QComboBox;
class QWidget;

namespace widgets {

// A control a finger presses: at least TouchMinimum() high, growing downwards.
void KeepTouchable(QWidget* w);
// The entries of a drop-down list's list, as tall as a finger needs.
void KeepListTouchable(QComboBox* combo);
// A finger on the typing field of an editable drop-down list opens its list
// (a panel has no keyboard to type with); the mouse still places the cursor.
void OpenListOnTouch(QComboBox* combo);

// On the viewport of a list or grid: a press held still for a moment is a
// long press (`longPressed`, with the viewport point), and a press that moves
// drags the contents along. A touch reaches widgets as a mouse press, so one
// handler serves the finger and the mouse. Clicks that neither last nor move
// pass on untouched.
class TouchGestures : public QObject {
    Q_OBJECT
public:
    // How long a press must be held to count as a long press.
    static constexpr int kLongPressMs = 700;
    // How far (pixels) a finger may stray before its press becomes a drag.
    static constexpr int kDragStart = 12;

    explicit TouchGestures(QAbstractScrollArea* area);

signals:
    void longPressed(QPoint viewportPoint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Drag(QPoint now);

    QAbstractScrollArea* area_;
    const QObject* viewport_;  // the area's, as it was when the gestures were set up
    QTimer hold_;
    QPoint pressedAt_;
    int scrollAtPress_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
    bool longPressDone_ = false;
};

}  // namespace widgets
