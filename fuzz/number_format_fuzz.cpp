// Numbers and dates to text and back. The first line of the input is a mask
// (numeric and date), the rest the text a user or a file gave; every input
// runs under the neutral formats and under the formats start-up forces.
#include <QDateTime>
#include <QTimeZone>
#include <cmath>
#include <cstring>

#include "fuzz_support.h"
#include "runtime/date_format.h"
#include "runtime/number_format.h"
#include "runtime/regional_formats.h"
#include "runtime/runtime_error.h"

namespace {

// The number of the RuntimeError `action` throws, 0 when it throws none.
template <typename F>
int ErrorOf(F&& action) {
    try {
        action();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

bool HasDigit(const QString& text) {
    for (QChar c : text)
        if (c >= u'0' && c <= u'9') return true;
    return false;
}

// Only '#', '0', ',' and '.', with a placeholder or the point at both ends
// (a ',' there is literal text): the mask adds no text around the number.
bool IsPureNumberMask(const QString& mask) {
    const auto inNumber = [](QChar c) { return c == u'#' || c == u'0' || c == u'.'; };
    if (mask.isEmpty() || !inNumber(mask.front()) || !inNumber(mask.back())) return false;
    for (QChar c : mask)
        if (!inNumber(c) && c != u',') return false;
    return true;
}

void CheckRoundHalfEven(double v) {
    const double r = rt::RoundHalfEven(v);
    if (!std::isfinite(v)) return;
    const QString seen = QString::number(v, 'g', 17) + " -> " + QString::number(r, 'g', 17);
    fuzz::Check(std::floor(r) == r, "RoundHalfEven gives a whole number", seen);
    fuzz::Check(std::fabs(r - v) <= 0.5, "RoundHalfEven moves at most one half", seen);
    if (std::fabs(r - v) == 0.5)
        fuzz::Check(std::fmod(r, 2.0) == 0.0, "RoundHalfEven takes halves to the even side", seen);
}

// A value the text stands for: formatting it must not fail, and the texts
// made of it read back as the same figures.
void CheckFormatting(double v, const QString& mask) {
    const QString general = rt::GeneralNumber(v);
    const QString formatted = rt::FormatNumber(v, mask);
    // Texts of 15 significant digits read back to a value with the same text,
    // up to where the rounding of the largest doubles overflows.
    if (std::fabs(v) >= 1e308) return;
    const std::optional<double> back = rt::ParseNumber(general);
    fuzz::Check(back && rt::GeneralNumber(*back) == general,
                "GeneralNumber reads back to the same text", general);
    if (IsPureNumberMask(mask) && HasDigit(formatted)) {
        const std::optional<double> again = rt::ParseNumber(formatted);
        fuzz::Check(again && rt::FormatNumber(*again, mask) == formatted,
                    "FormatNumber with a bare mask reads back to the same text",
                    mask + " : " + formatted);
    }
}

void CheckNumbers(const QString& mask, const QString& text) {
    const std::optional<double> value = rt::ParseNumber(text);
    fuzz::Check(rt::IsNumeric(text) == value.has_value(), "IsNumeric is ParseNumber succeeding",
                text);
    double cdbl = 0.0;
    const int error = ErrorOf([&] { cdbl = rt::CDbl(text); });
    if (value) {
        fuzz::Check(error == 0 && cdbl == *value, "CDbl of a number is its value", text);
        fuzz::Check(std::isfinite(*value), "ParseNumber gives finite values", text);
        CheckFormatting(*value, mask);
        CheckRoundHalfEven(*value);
    } else {
        fuzz::Check(error == rt::kTypeMismatch || error == rt::kOverflow,
                    "CDbl of no number raises 13 or 6", text);
    }
}

// Any double (infinities and NaN included) under any mask: only error 6.
void CheckAnyDouble(double v, const QString& mask) {
    const int error = ErrorOf([&] { rt::FormatNumber(v, mask); });
    fuzz::Check(error == 0 || (error == rt::kOverflow && !std::isfinite(v)),
                "FormatNumber fails only on infinite or NaN values", mask);
    CheckRoundHalfEven(v);
}

void CheckDates(const QString& mask, const QString& text, qint64 seconds) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
    rt::FormatDate(when, mask);
    const QString form = rt::CurrentFormats().shortDate;
    if (const std::optional<QDate> d = rt::ParseShortDate(text)) {
        fuzz::Check(d->isValid(), "ParseShortDate gives real dates", text);
        // A four-digit year is written and read whole.
        if (d->year() >= 1000) {
            const QString written =
                rt::FormatDate(QDateTime(*d, QTime(0, 0), QTimeZone::utc()), form);
            fuzz::Check(rt::ParseShortDate(written) == d, "a short date reads back", written);
        }
    }
    // The mask as the regional short date form.
    rt::CurrentFormats().shortDate = mask;
    rt::ParseShortDate(text);
    rt::CurrentFormats().shortDate = form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [mask, text] = fuzz::SplitAtFirstLine(fuzz::Utf8(data, size));
    double raw = 0.0;
    qint64 seconds = 0;
    if (size >= sizeof raw) {
        std::memcpy(&raw, data + size - sizeof raw, sizeof raw);
        std::memcpy(&seconds, data + size - sizeof seconds, sizeof seconds);
        // About ten thousand years either side of 1970: dates QDate can hold.
        seconds %= 320'000'000'000LL;
    }
    for (const auto use : {fuzz::UseNeutralFormats, fuzz::UseProgramFormats}) {
        use();
        CheckNumbers(mask, text);
        CheckNumbers(mask, mask);
        CheckAnyDouble(raw, mask);
        CheckDates(mask, text, seconds);
    }
    return 0;
}
