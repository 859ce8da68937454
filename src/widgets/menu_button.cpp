#include "widgets/menu_button.h"

#include <QKeySequence>
#include <QPainter>
#include <QTextOption>
#include <qdrawutil.h>

#include "widgets/contrast.h"
#include "widgets/look.h"

namespace widgets {
namespace {

// A group box's frame line against its inside: grey 192 comes out 177.
constexpr int kFrameLineShade = 110;

}  // namespace

void MenuButton::paintEvent(QPaintEvent*) {
    // The face is a flat fill in the button's colour inside a raised (or,
    // pressed, sunken) frame. The style's own bevel costs several times more
    // per button, and a menu level repaints up to 45 of them at once.
    QPainter p(this);
    const QPalette& pal = palette();
    const QBrush face = pal.brush(QPalette::Button);
    // The frame's outer line is where the button ends: darkened (or
    // lightened) as far as it must be to show against the page, whatever
    // face the back office chose. A white top-left line on the light grey
    // page hardly shows; the light line of the bevel moves inside.
    // The top row also touches the page's own frame line, a shade darker.
    const QColor page = BackgroundBehind(this);
    const auto outer = [page](const QColor& line) {
        return ShadeReaching(ShadeReaching(line, page.darker(kFrameLineShade), kEdgeAim), page, kEdgeAim);
    };
    QPalette frame = pal;
    frame.setColor(QPalette::Light, outer(pal.color(QPalette::Light)));
    frame.setColor(QPalette::Shadow, outer(pal.color(QPalette::Shadow)));
    // The inner line: raised, the light of the bevel (top left); sunken, the
    // face (bottom right). The fill is the face either way.
    frame.setColor(QPalette::Button, isDown() ? face.color() : pal.color(QPalette::Light));
    qDrawWinButton(&p, rect(), frame, isDown(), &face);

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
    p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(QRectF(area), text(), CaptionOption());
}

QTextOption MenuButton::CaptionOption() const {
    QTextOption option(Qt::AlignCenter);
    // A word wider than the button is broken where the line ends rather than
    // cut; the other words stay whole.
    const bool wordsFit = fontMetrics().boundingRect(CaptionArea(), Qt::AlignCenter | Qt::TextWordWrap, text()).width() <=
                          CaptionArea().width();
    option.setWrapMode(wordsFit ? QTextOption::WordWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Inside the two-pixel frame, a pixel from it, less a pixel for the shift of
// a pressed face.
QRect MenuButton::Inside() const { return rect().adjusted(3, 3, -4, -4); }

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
