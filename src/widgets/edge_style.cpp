#include "widgets/edge_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <type_traits>

#include "widgets/contrast.h"
#include "widgets/look.h"

namespace widgets {
namespace {

// Fusion's outline: its Window colour made 140 % darker.
constexpr int kFusionOutlineDarker = 140;

bool IsOutlined(QStyle::PrimitiveElement element) {
    switch (element) {
        case QStyle::PE_PanelButtonCommand:  // push buttons, and a list's drop-down button
        case QStyle::PE_FrameLineEdit:       // text fields, an editable list's field
        case QStyle::PE_Frame:               // the grids' and the lists' frames
            return true;
        default:
            return false;
    }
}

bool IsOutlined(QStyle::ComplexControl control) {
    return control == QStyle::CC_ComboBox || control == QStyle::CC_SpinBox;
}

// `option` with the colours that give its outline the contrast, against what
// `widget` stands on.
template <typename Option>
Option WithReadableEdge(const Option& option, const QWidget* widget) {
    Option copy(option);
    const QColor surroundings = widget ? BackgroundBehind(widget) : option.palette.color(QPalette::Window);
    const QColor window = OutlineWindowFor(surroundings);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        copy.palette.setColor(group, QPalette::Window, window);
        copy.palette.setColor(group, QPalette::Highlight,
                              FocusHighlightFor(option.palette.color(group, QPalette::Highlight), surroundings));
    }
    return copy;
}

// Draws a copy of `option` with the readable edge, when it is one of the
// `Kinds` (its own kind kept: Fusion reads a button's features, a frame's
// shape); false, and nothing drawn, when it is none of them.
template <typename Kind, typename... Others, typename Base, typename Draw>
bool DrawAs(const Base* option, const QWidget* widget, const Draw& draw) {
    const bool exact = std::is_same_v<Kind, QStyleOption> ? option->type == QStyleOption::SO_Default
                                                           : qstyleoption_cast<const Kind*>(option) != nullptr;
    if (exact) {
        const Kind copy = WithReadableEdge(*static_cast<const Kind*>(option), widget);
        draw(&copy);
        return true;
    }
    if constexpr (sizeof...(Others) > 0)
        return DrawAs<Others...>(option, widget, draw);
    else
        return false;
}

}  // namespace

QColor OutlineWindowFor(const QColor& surroundings) {
    const QColor outline =
        ShadeReaching(surroundings.darker(kFusionOutlineDarker), surroundings, kEdgeContrast);
    QColor window = outline.lighter(kFusionOutlineDarker);
    // The way back through Fusion's darkening may round one step short.
    while (ContrastRatio(window.darker(kFusionOutlineDarker), surroundings) < kEdgeContrast && window.value() > 0)
        window = window.darker(102);
    return window;
}

QColor FocusHighlightFor(const QColor& highlight, const QColor& surroundings) {
    return ShadeReaching(highlight, surroundings, kEdgeContrast);
}

EdgeStyle::EdgeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void EdgeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    const auto draw = [&](const QStyleOption* o) { QProxyStyle::drawPrimitive(element, o, painter, widget); };
    if (option == nullptr || !IsOutlined(element) ||
        !DrawAs<QStyleOptionButton, QStyleOptionFrame, QStyleOption>(option, widget, draw))
        draw(option);
}

void EdgeStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                   const QWidget* widget) const {
    const auto draw = [&](const QStyleOptionComplex* o) {
        QProxyStyle::drawComplexControl(control, o, painter, widget);
    };
    if (option == nullptr || !IsOutlined(control) ||
        !DrawAs<QStyleOptionComboBox, QStyleOptionSpinBox>(option, widget, draw))
        draw(option);
}

void UseEdgeStyle() { QApplication::setStyle(new EdgeStyle); }

}  // namespace widgets
