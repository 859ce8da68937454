#include "widgets/edge_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <type_traits>
#include <utility>

#include "widgets/contrast.h"
#include "widgets/look.h"

namespace widgets {
namespace {

// Fusion's outline: its Window colour made 140 % darker; a frame is drawn
// in that outline made 108 % lighter, a disabled control's in it made 115 %
// lighter.
constexpr int kFusionOutlineDarker = 140;
constexpr int kFusionFrameLighter = 108;
constexpr int kFusionDisabledLighter = 115;
// Fusion's shade over the inside of a group box darkens the window's grey
// by a little less than this.
constexpr int kGroupBoxShadeAtMost = 110;

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
Option WithReadableEdge(const Option& option, const QWidget* widget, int frameLighter) {
    Option copy(option);
    const QColor surroundings = widget ? BackgroundBehind(widget) : option.palette.color(QPalette::Window);
    const QColor window = OutlineWindowFor(surroundings, frameLighter);
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
bool DrawAs(const Base* option, const QWidget* widget, int frameLighter, const Draw& draw) {
    const bool exact = std::is_same_v<Kind, QStyleOption> ? option->type == QStyleOption::SO_Default
                                                           : qstyleoption_cast<const Kind*>(option) != nullptr;
    if (exact) {
        const Kind copy = WithReadableEdge(*static_cast<const Kind*>(option), widget, frameLighter);
        draw(&copy);
        return true;
    }
    if constexpr (sizeof...(Others) > 0)
        return DrawAs<Others...>(option, widget, frameLighter, draw);
    else
        return false;
}

}  // namespace

QColor OutlineWindowFor(const QColor& surroundings, int frameLighter) {
    const auto drawn = [frameLighter](const QColor& window) {
        return window.darker(kFusionOutlineDarker).lighter(frameLighter);
    };
    const QColor outline = ShadeReaching(drawn(surroundings), surroundings, kEdgeAim);
    QColor window = outline.darker(frameLighter).lighter(kFusionOutlineDarker);
    // The way back through Fusion's shading may round one step short.
    while (ContrastRatio(drawn(window), surroundings) < kEdgeAim && window.value() > 0)
        window = window.darker(102);
    return window;
}

QColor FocusHighlightFor(const QColor& highlight, const QColor& surroundings) {
    return ShadeReaching(highlight, surroundings, kEdgeAim);
}

EdgeStyle::EdgeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void EdgeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    const auto draw = [&](const QStyleOption* o) { QProxyStyle::drawPrimitive(element, o, painter, widget); };
    int frameLighter = element == PE_Frame ? kFusionFrameLighter : 100;
    if (option != nullptr && !(option->state & State_Enabled)) frameLighter = frameLighter * kFusionDisabledLighter / 100;
    if (option == nullptr || !IsOutlined(element) ||
        !DrawAs<QStyleOptionButton, QStyleOptionFrame, QStyleOption>(option, widget, frameLighter, draw))
        draw(option);
}

void EdgeStyle::polish(QPalette& palette) {
    QProxyStyle::polish(palette);
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> texts[] = {
        {QPalette::WindowText, QPalette::Window}, {QPalette::ButtonText, QPalette::Button},
        {QPalette::Text, QPalette::Base}};
    // On the shade a group box lays over the background, and so on the
    // background itself.
    for (const auto& [text, back] : texts)
        palette.setColor(QPalette::Disabled, text,
                         ShadeReaching(palette.color(QPalette::Disabled, text),
                                       palette.color(QPalette::Disabled, back).darker(kGroupBoxShadeAtMost), kTextContrast));
}

void EdgeStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                   const QWidget* widget) const {
    const auto draw = [&](const QStyleOptionComplex* o) {
        QProxyStyle::drawComplexControl(control, o, painter, widget);
    };
    if (option == nullptr || !IsOutlined(control) ||
        !DrawAs<QStyleOptionComboBox, QStyleOptionSpinBox>(
            option, widget, option != nullptr && !(option->state & State_Enabled) ? kFusionDisabledLighter : 100, draw))
        draw(option);
}

void UseEdgeStyle() { QApplication::setStyle(new EdgeStyle); }

}  // namespace widgets
