#include "widgets/menu_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace widgets {

void MenuButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
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

}  // namespace widgets
