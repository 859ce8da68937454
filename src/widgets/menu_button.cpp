#include "widgets/menu_button.h"

#include <QKeySequence>
#include <QPainter>
#include <qdrawutil.h>

namespace widgets {

void MenuButton::paintEvent(QPaintEvent*) {
    // The face is a flat fill in the button's colour inside a raised (or,
    // pressed, sunken) frame. The style's own bevel costs several times more
    // per button, and a menu level repaints up to 45 of them at once.
    QPainter p(this);
    const QBrush face = palette().brush(QPalette::Button);
    qDrawWinButton(&p, rect(), palette(), isDown(), &face);

    QRect area = CaptionArea();
    if (isDown()) area.translate(1, 1);
    if (!icon().isNull()) {
        const QPixmap picture =
            icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const QRect inside = Inside().translated(isDown() ? QPoint(1, 1) : QPoint());
        const int top = text().isEmpty() ? inside.center().y() - picture.height() / 2 : inside.top();
        p.drawPixmap(inside.center().x() - picture.width() / 2, top, picture);
    }
    if (text().isEmpty()) return;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // A single word wider than the button breaks anywhere rather than being cut.
    const bool fits = p.fontMetrics().boundingRect(area, flags, text()).width() <= area.width();
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(area, fits ? flags : flags | Qt::TextWrapAnywhere, text());
}

// Inside the frame, less a pixel for the shift of a pressed face.
QRect MenuButton::Inside() const { return rect().adjusted(5, 5, -6, -6); }

QRect MenuButton::CaptionArea() const {
    QRect area = Inside();
    if (!icon().isNull()) area.setTop(area.top() + iconSize().height() + 2);
    return area;
}

void SetMenuCaption(QPushButton* button, const QString& caption) {
    button->setText(caption);
    // QAbstractButton::setText takes the letter after a '&' for a shortcut.
    button->setShortcut(QKeySequence());
}

}  // namespace widgets
