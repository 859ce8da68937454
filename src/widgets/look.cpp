#include "widgets/look.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPalette>
#include <QWidget>
#include <limits>

#include "widgets/caption_fit.h"
#include "widgets/contrast.h"
#include "widgets/screen_scale.h"

namespace widgets {

QFont SansSerif(double points, bool bold, bool italic) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(ScaledPoints(points));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void FitCaption(QWidget* w, const QString& caption) {
    QFont f = w->font();
    const int now = QFontInfo(f).pixelSize();
    // A few pixels are left for the control's own frame and margins; only
    // the width counts, on one line.
    const Caption line{caption, {w->width() - 4, std::numeric_limits<int>::max() / 4}};
    const CaptionSize size = FitCaptions({line}, 1, std::min(now, MinimumTextPixels()), now, f);
    if (size.pixels == now && size.stretch == 100) return;
    f.setPixelSize(size.pixels);
    f.setStretch(size.stretch);
    w->setFont(f);
}

void SetBackColor(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QColor BackgroundBehind(const QWidget* w) {
    const QWidget* under = w->parentWidget();
    while (under && !under->autoFillBackground() && !under->isWindow()) under = under->parentWidget();
    if (under == nullptr) return w->palette().color(QPalette::Window);
    return under->palette().color(under->backgroundRole());
}

void SetTextColor(QWidget* w, const QColor& color) {
    const QColor back = w->autoFillBackground() ? w->palette().color(w->backgroundRole()) : BackgroundBehind(w);
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, ShadeReaching(color, back, kTextContrast));
    w->setPalette(pal);
}

void SetFaceColor(QAbstractButton* button, const QColor& color) {
    QPalette pal = button->palette();
    if (pal.color(QPalette::Button) == color) return;  // no repaint for nothing
    pal.setColor(QPalette::Button, color);
    // The caption in black or white, whichever reads on the face: a menu
    // colour the back office chose dark must not hide its caption.
    pal.setColor(QPalette::ButtonText, ReadableTextOn(color));
    button->setPalette(pal);
}

QColor FaceColor(const QAbstractButton* button) { return button->palette().color(QPalette::Button); }

}  // namespace widgets
