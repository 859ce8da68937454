#pragma once
// The terminal's style: Fusion, whose controls (push buttons, fields, drop-
// down lists, lists) get an outline that shows against what they stand on.
// Fusion outlines a control in its palette's Window colour darkened, which on
// the forms' light greys comes out at about 2:1; the style hands Fusion, for
// each control it draws, the colours that give an outline of at least 3:1.
// No style sheet: the palette of one drawing, nothing stored on the widget.
#include <QColor>
#include <QProxyStyle>

namespace widgets {

class EdgeStyle : public QProxyStyle {
public:
    EdgeStyle();
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    // Disabled text stays readable (4.5:1 on its background), only greyer.
    void polish(QPalette& palette) override;
    using QProxyStyle::polish;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
};

// The Window colour to hand Fusion so that the outline it darkens from it
// stands at least 3:1 on `surroundings` (a light colour: Fusion's outline is
// always darker than its Window). A frame (a grid's, a list's) is drawn in
// that outline lightened by `frameLighter` percent.
QColor OutlineWindowFor(const QColor& surroundings, int frameLighter = 100);

// The focus and default-button outline comes from Highlight, darkened: a
// Highlight that stands 3:1 on `surroundings` itself gives one that does.
QColor FocusHighlightFor(const QColor& highlight, const QColor& surroundings);

// Makes EdgeStyle the application's style (at start, before any window).
void UseEdgeStyle();

}  // namespace widgets
