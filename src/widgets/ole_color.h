#pragma once
// Colours as the database and the forms store them: a Windows colour value,
// red in the low byte, then green, then blue; or a system colour, the high
// bit set and the index of the system colour in the low byte.
#include <QColor>
#include <QtGlobal>
#include <optional>

#include "runtime/variant.h"

namespace widgets {

// The system button-face colour (system-colour flag with index 15): the
// default face of every button.
constexpr qint64 kButtonFace = 0x8000000FLL;

// The plain colour of `value`; nothing when it cannot be translated (a
// negative value other than a system colour, an unknown system index, or a
// value above 0xFFFFFF without the system flag).
std::optional<QColor> TranslateOleColor(qint64 value);

// The face colour of a menu row's Color column; nothing when it is no colour.
std::optional<QColor> RowColor(const rt::Variant& color);

// The button-face colour of the current style.
QColor ButtonFaceColor();

}  // namespace widgets
