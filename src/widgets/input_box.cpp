#include "widgets/input_box.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "widgets/look.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"
#include "widgets/touch_keys.h"

namespace widgets {
namespace {

constexpr double kTextPoints = 14;
constexpr int kDesignFieldHeight = 44;
constexpr int kDesignFieldWidth = 280;
constexpr int kDesignSpacing = 12;

// `box` moved to lie inside `room` as far as its size allows.
QRect KeptInside(QRect box, const QRect& room) {
    box.moveLeft(
        std::clamp(box.left(), room.left(), std::max(room.left(), room.right() - box.width() + 1)));
    box.moveTop(
        std::clamp(box.top(), room.top(), std::max(room.top(), room.bottom() - box.height() + 1)));
    return box;
}

}  // namespace

InputBox::InputBox(const QString& title, const QString& prompt, const QString& initial,
                   int maxLength, dialogs::Keys keys, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(initial, this)) {
    setWindowTitle(AsWindowTitle(title));
    setFont(SansSerif(kTextPoints));

    auto* label = new QLabel(prompt, this);
    MakePlain(label);  // the prompt may name a product as typed
    label->setWordWrap(true);
    if (maxLength > 0) field_->setMaxLength(maxLength);
    field_->setMinimumSize(Scaled(kDesignFieldWidth),
                           std::max(Scaled(kDesignFieldHeight), TouchMinimum()));
    auto* touchKeys = new TouchKeys(keys, field_, this);
    connect(touchKeys, &TouchKeys::accepted, this, &QDialog::accept);
    connect(touchKeys, &TouchKeys::cancelled, this, &QDialog::reject);
    connect(field_, &QLineEdit::returnPressed, this, &QDialog::accept);

    auto* asked = new QVBoxLayout;
    asked->addWidget(label);
    asked->addWidget(field_);
    // Numbers: the keypad to the right of the prompt and field; words: the
    // keyboard below them, the field as wide as the keyboard.
    auto* layout = new QBoxLayout(
        keys == dialogs::Keys::Numbers ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    layout->setSpacing(Scaled(kDesignSpacing));
    if (keys == dialogs::Keys::Numbers) asked->addStretch();
    layout->addLayout(asked);
    layout->addWidget(touchKeys);

    // The given text starts selected: the first key typed replaces it and
    // Borrar clears it.
    field_->selectAll();
    field_->setFocus();
}

QString InputBox::Text() const { return field_->text(); }

void InputBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Placed once its layout has given the box its size.
    if (!event->spontaneous()) PlaceOnScreen();
}

void InputBox::PlaceOnScreen() {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    // The whole box as its layout asks for it (Qt would give a window no
    // more than two thirds of the screen), as far as the screen has room;
    // the frame is what a window manager adds, as far as it is known yet.
    const QSize frame = frameGeometry().size() - size();
    resize(sizeHint().boundedTo(room.size() - frame));
    QRect box(QPoint(), size() + frame);
    box.moveCenter(parentWidget() ? parentWidget()->window()->frameGeometry().center()
                                  : room.center());
    move(KeptInside(box, room).topLeft());
}

}  // namespace widgets
