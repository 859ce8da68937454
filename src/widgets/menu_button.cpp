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

    QRect area = rect().adjusted(5, 5, -5, -5);
    if (isDown()) area.translate(1, 1);
    if (!icon().isNull()) {
        const QPixmap picture =
            icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const int top = text().isEmpty() ? area.center().y() - picture.height() / 2 : area.top();
        p.drawPixmap(area.center().x() - picture.width() / 2, top, picture);
        if (!text().isEmpty()) area.setTop(top + picture.height() + 2);
    }
    if (text().isEmpty()) return;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // A single word wider than the button breaks anywhere rather than being cut.
    const bool fits = p.fontMetrics().boundingRect(area, flags, text()).width() <= area.width();
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(area, fits ? flags : flags | Qt::TextWrapAnywhere, text());
}

void SetMenuCaption(QPushButton* button, const QString& caption) {
    button->setText(caption);
    // QAbstractButton::setText takes the letter after a '&' for a shortcut.
    button->setShortcut(QKeySequence());
}

}  // namespace widgets
