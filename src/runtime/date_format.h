#pragma once
// Dates to text with the program's masks.
#include <QDateTime>
#include <QString>

namespace rt {

// Formats a date and time with a mask whose tokens are case-insensitive:
// yyyy / yy (year), m / mm (month, or minutes right after an hour token or
// right before a seconds token), mmm / mmmm (Spanish month name, short/long),
// d / dd (day), ddd / dddd (Spanish weekday name, short/long), h / hh (hour,
// 0-23), n / nn (minutes), s / ss (seconds); text between single quotes is
// copied as it stands, every other character too.
// "yyyy-mm-dd" → "2026-12-08", "yyyy,mm,dd" → "2026,12,08",
// "dd/MM/yyyy" → "08/12/2026", "HH:mm:ss" → "21:05:09".
QString FormatDate(const QDateTime& value, const QString& mask);

// Reads a date written in the regional short date form (CurrentFormats()
// .shortDate, e.g. "dd/MM/yyyy"); nothing when the text does not fit it.
std::optional<QDate> ParseShortDate(const QString& text);

}  // namespace rt
