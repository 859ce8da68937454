#include "widgets/ole_color.h"

#include <QApplication>
#include <QPalette>

#include "order/menu_rules.h"

namespace widgets {
namespace {

constexpr qint64 kSystemFlag = 0x80000000LL;

// The Windows system colours the forms name, on the current palette.
std::optional<QColor> SystemColor(int index) {
    const QPalette pal = QApplication::palette();
    switch (index) {
        case 5: return pal.color(QPalette::Base);          // window background
        case 8: return pal.color(QPalette::Text);          // window text
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 15: return pal.color(QPalette::Button);       // button face
        case 16: return pal.color(QPalette::Dark);         // button shadow
        case 18: return pal.color(QPalette::ButtonText);
        case 20: return pal.color(QPalette::Light);        // button highlight
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<QColor> TranslateOleColor(qint64 value) {
    // A system colour read from a signed 32-bit column (8000000F is -2147483633).
    if (value < 0 && value >= -kSystemFlag) value += 2 * kSystemFlag;
    if (value >= kSystemFlag && value <= kSystemFlag + 0xFF)
        return SystemColor(static_cast<int>(value - kSystemFlag));
    if (value < 0 || value > 0xFFFFFF) return std::nullopt;
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::optional<QColor> RowColor(const rt::Variant& color) {
    const std::optional<qint64> value = order::RowColorValue(color);
    return value ? TranslateOleColor(*value) : std::nullopt;
}

QColor ButtonFaceColor() { return *SystemColor(15); }

}  // namespace widgets
