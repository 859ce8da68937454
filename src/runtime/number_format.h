#pragma once
// Numbers to text and back under the regional formats (decimal and thousands
// separators of CurrentFormats()).
#include <QString>
#include <optional>

namespace rt {

// Formats `value` with a numeric mask of '#', '0', ',' and '.' such as
// "###,###,##0.000", "##,###,##0.00" or "###":
//  - a ',' between digit placeholders turns on thousands grouping (every three
//    digits, with the regional thousands separator);
//  - the count of placeholders after '.' is the number of decimals ('0' always
//    shown, '#' only when not zero), written with the regional decimal separator;
//  - the '0's before '.' are the minimum number of integer digits, so "###" of 0
//    is "" and "##0.00" of 0 is "0,00";
//  - rounding is to the nearest, halves away from zero, on the value's decimal
//    form of 15 significant digits (2.675 → "2,68", 2.5 × 4.3 → "10,75");
//  - a negative value gets a leading "-" unless it rounds to zero;
//  - text before the first or after the last placeholder is copied around the
//    number ("$#" of -3 is "-$3"); a mask with '.' keeps the decimal separator
//    even when no decimal is shown ("#.##" of 1 is "1,"); an empty mask gives
//    GeneralNumber, a mask without placeholders is copied as it stands.
// An infinite or NaN value throws RuntimeError 6 (here and in GeneralNumber).
QString FormatNumber(double value, const QString& mask);

// `value` rounded to `decimals` places exactly as FormatNumber rounds it for
// a mask with that many decimals: the number such a text shows (2.675 with 2
// → 2.68, -0.001 with 2 → 0).
double RoundDecimals(double value, int decimals);

// CStr of a number: up to 15 significant digits, no thousands separators, only
// the decimals needed, the regional decimal separator ("1234,5", "2", "0,1").
// Magnitudes of 1E15 and above, or below 1E-4 (not zero), use "1E+15" /
// "1,5E-05" notation.
QString GeneralNumber(double value);

// The number a text stands for under the regional formats, or nothing:
// blanks around it allowed, an optional leading '+' or '-', the integer digits,
// at most one decimal separator followed by digits only, an optional exponent
// ("1,5E3"). At least one digit is needed; "" is not a number.
// Thousands separators in the integer part must group it properly: one to three
// digits first, then exactly three after each separator ("1.234,50" → 1234.5,
// "12.345.678" → 12345678, "1.234" → 1234). A text whose only separator is one
// thousands separator that does not group properly reads it as the decimal
// point ("0.5" → 0.5, "2.5" → 2.5, ".5" → 0.5, "1.5E2" → 150). Any other
// misplaced thousands separator makes it no number ("1.2.3", "12.34,5",
// "1,5.3"). A thousands separator equal to the decimal one is not recognised.
// A magnitude too large for a double is no number; one too small reads as 0.
std::optional<double> ParseNumber(const QString& text);

// IsNumeric of a text: ParseNumber succeeds.
bool IsNumeric(const QString& text);

// CDbl of a text: ParseNumber, or RuntimeError 13 when the text is no number
// (RuntimeError 6 when it is a number too large for a double).
double CDbl(const QString& text);

// Round to the nearest integer, halves to the even neighbour (2.5 → 2, 3.5 → 4,
// -2.5 → -2).
double RoundHalfEven(double value);

}  // namespace rt
