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
// A drop-down list for a finger: its entries as tall as a finger needs, its
// list scrolls by dragging (and a drag picks nothing), and a finger on its
// typing field opens the list, as a panel has no keyboard to type with; with
// `anyPress` (a list that is only picked from) a mouse click there does too,
// as many panels report a finger as a mouse.
void MakeListTouchable(QComboBox* combo, bool anyPress);

// On the viewport of a list or grid: a press that moves drags the contents
// along, both ways, and, with `longPress`, a press held still for a moment is
// a long press (`longPressed`, with the viewport point). A touch reaches
// widgets as a mouse press, so one handler serves the finger and the mouse
// (a mouse drag scrolls too). Clicks that neither last nor move pass on
// untouched. A disabled list takes no gesture.
class TouchGestures : public QObject {
    Q_OBJECT
public:
    // How long a press must be held to count as a long press.
    static constexpr int kLongPressMs = 700;
    // How far (pixels) a finger may stray before its press becomes a drag.
    static constexpr int kDragStart = 12;

    explicit TouchGestures(QAbstractScrollArea* area, bool longPress = true);

signals:
    void longPressed(QPoint viewportPoint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Drag(QPoint moved);

    QAbstractScrollArea* area_;
    QWidget* viewport_;  // the area's, as it was when the gestures were set up
    const bool longPress_;
    QTimer hold_;
    QPoint pressedAt_;
    QPoint scrollAtPress_;  // the scroll bars' values
    bool pressed_ = false;
    bool dragging_ = false;
    bool longPressDone_ = false;
};

}  // namespace widgets
