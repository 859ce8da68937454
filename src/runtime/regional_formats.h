#pragma once
// The process-wide regional formats every conversion between numbers, dates and
// text uses. Start-up forces them once; nothing here ever touches the desktop's
// own locale settings.
#include <QString>

namespace rt {

struct RegionalFormats {
    QString shortDate = "yyyy-MM-dd";       // date part of a date's text form
    QString longDate = "dddd, d MMMM yyyy";
    QString timeFormat = "HH:mm:ss";        // time part of a date's text form
    QString currencySymbol = "$";
    QString decimalSeparator = ".";
    QString thousandSeparator = ",";
    QString monetaryDecimalSeparator = ".";
    QString monetaryThousandSeparator = ",";
};

// The formats in force for this process (mutable: start-up writes them).
RegionalFormats& CurrentFormats();

// Puts back the neutral defaults above (tests use it to start from a known state).
void ResetFormats();

// The formats start-up forces: day-first dates, 24-hour clock, decimal comma,
// thousands point, "Bs.".
RegionalFormats StartUpFormats();

// Puts StartUpFormats() in force directly, for programs that run the rules
// without going through start-up (tests, benchmarks, fuzzers).
void UseStartUpFormats();

}  // namespace rt
