#pragma once
// Dates to text with the program's masks.
#include <QDateTime>
#include <QString>
#include <optional>

namespace rt {

// Formats a date and time with a mask whose tokens are case-insensitive:
// yyyy / yy (year), m / mm (month, or minutes right after an hour token or
// right before a seconds token), mmm / mmmm (Spanish month name, short/long),
// d / dd (day), ddd / dddd (Spanish weekday name, short/long), h / hh (hour,
// 0-23), n / nn (minutes), s / ss (seconds); text between single quotes is
// copied as it stands, so are text between double quotes, the character after
// a backslash and every other character. A single y is the day of the year.
// An invalid date gives "".
// "yyyy-mm-dd" → "2026-12-08", "yyyy,mm,dd" → "2026,12,08",
// "dd/MM/yyyy" → "08/12/2026", "HH:mm:ss" → "21:05:09".
QString FormatDate(const QDateTime& value, const QString& mask);

// Reads a date written in the regional short date form (CurrentFormats()
// .shortDate, e.g. "dd/MM/yyyy"); nothing when the text does not fit it or is
// no real date. Blanks around the text are allowed; each day or month part takes
// one or two digits, a year part up to four (one or two digits: 1930-2029);
// separators must be those of the form. A form with month or weekday names
// cannot be read back.
std::optional<QDate> ParseShortDate(const QString& text);

}  // namespace rt
