#include "widgets/look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

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
    const Caption line{caption, {w->width() - 4, kAnyHeight}};
    const CaptionSize size = FitCaptions({line}, 1, std::min(now, MinimumTextPixels()), now, f);
    if (size.pixels == now && size.stretch == 100 && size.weight == f.weight()) return;
    w->setFont(size.Applied(f));
}

void SetBackColor(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    // Its text still reads when it is disabled.
    pal.setColor(QPalette::Disabled, QPalette::WindowText,
                 ShadeReaching(pal.color(QPalette::Disabled, QPalette::WindowText), color, kTextContrast));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

namespace {

// The colour a child of `under` stands on.
QColor InsideOf(const QWidget* under, const QWidget* w) {
    if (under == nullptr) return w->palette().color(QPalette::Window);
    QColor colour = under->autoFillBackground() || under->isWindow() ? under->palette().color(under->backgroundRole())
                                                                     : InsideOf(under->parentWidget(), w);
    if (const auto* box = qobject_cast<const QGroupBox*>(under); box != nullptr && !box->isFlat())
        colour = GroupBoxInside(colour);
    return colour;
}

}  // namespace

QColor GroupBoxInside(const QColor& under) {
    // The style lays a faint shade over the inside of a framed group box
    // (Fusion: grey 239 comes out 236): drawn once per colour and read back.
    static QHash<QRgb, QColor> inside;
    if (const auto known = inside.constFind(under.rgb()); known != inside.constEnd()) return *known;
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(under);
    QStyleOptionGroupBox box;
    box.rect = image.rect();
    box.state = QStyle::State_Enabled;
    box.subControls = QStyle::SC_GroupBoxFrame;
    box.palette.setColor(QPalette::Window, under);
    {
        QPainter painter(&image);
        QApplication::style()->drawComplexControl(QStyle::CC_GroupBox, &box, &painter);
    }
    const QColor colour = image.pixelColor(image.rect().center());
    inside.insert(under.rgb(), colour);
    return colour;
}

QColor BackgroundBehind(const QWidget* w) { return InsideOf(w->parentWidget(), w); }

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
