#include "runtime/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "runtime/regional_formats.h"
#include "runtime/runtime_error.h"

namespace rt {
namespace {

// A finite double as the runtime sees it when it turns numbers into text: its
// decimal form rounded to 15 significant digits. |value| = d1.d2...d15 × 10^exponent.
struct Decimal15 {
    bool negative = false;
    bool zero = true;
    std::string digits;  // exactly 15 digits, the first not '0' unless zero
    int exponent = 0;
};

Decimal15 ToDecimal15(double value) {
    if (!std::isfinite(value)) Raise(kOverflow);
    Decimal15 d;
    d.negative = std::signbit(value);
    d.zero = value == 0.0;
    char buf[40];
    // "d.dddddddddddddde±XX": to_chars rounds correctly and ignores the C locale.
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);
    const std::size_t e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.exponent = std::stoi(s.substr(e + 1));
    return d;
}

// Adds one to a string of decimal digits ("199" → "200", "99" → "100").
void Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// round(|value| × 10^decimals), halves away from zero, on the 15-digit form;
// "" for a result of zero, never leading zeros.
std::string ScaledDigits(const Decimal15& d, int decimals) {
    if (d.zero) return {};
    const long kept =
        static_cast<long>(d.exponent) + 1 + decimals;  // digits at or above 10^-decimals
    std::string n;
    if (kept >= 15) {
        n = d.digits + std::string(static_cast<std::size_t>(kept - 15), '0');
    } else if (kept >= 0) {
        n = d.digits.substr(0, static_cast<std::size_t>(kept));
        if (d.digits[static_cast<std::size_t>(kept)] >= '5') Increment(n);
    }
    const std::size_t first = n.find_first_not_of('0');
    return first == std::string::npos ? std::string() : n.substr(first);
}

QString Grouped(const std::string& digits, const QString& separator) {
    QString out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += QChar(digits[i]);
    }
    return out;
}

// The parts of a numeric mask. Characters before the first and after the last
// placeholder ('#', '0' or '.') are literal text around the number; inside the
// number part only placeholders and separators have a meaning.
struct NumberMask {
    QString prefix;
    QString suffix;
    int minIntegerDigits = 0;  // placeholders from the first '0' up to the point
    bool grouping = false;     // a ',' with integer placeholders on both sides
    bool hasPoint = false;
    int decimals = 0;          // placeholders after the point
    int requiredDecimals = 0;  // up to the last '0' after the point
};

bool IsPlaceholder(QChar c) {
    return c == '#' || c == '0';
}

// Nothing when the mask has no placeholder at all.
std::optional<NumberMask> ParseMask(const QString& mask) {
    NumberMask m;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (IsPlaceholder(mask[i]) || mask[i] == '.') {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return std::nullopt;
    m.prefix = mask.left(first);
    m.suffix = mask.mid(last + 1);
    const QString core = mask.mid(first, last - first + 1);
    const qsizetype point = core.indexOf('.');
    m.hasPoint = point >= 0;
    const QString integer = m.hasPoint ? core.left(point) : core;
    const QString fraction = m.hasPoint ? core.mid(point + 1) : QString();

    bool seenPlaceholder = false, seenZero = false, pendingComma = false;
    for (QChar c : integer) {
        if (IsPlaceholder(c)) {
            if (pendingComma) m.grouping = true;
            if (c == '0') seenZero = true;
            if (seenZero) ++m.minIntegerDigits;
            seenPlaceholder = true;
        } else if (c == ',' && seenPlaceholder) {
            pendingComma = true;
        }
    }
    for (QChar c : fraction) {
        if (!IsPlaceholder(c)) continue;
        ++m.decimals;
        if (c == '0') m.requiredDecimals = m.decimals;
    }
    return m;
}

enum class ParseStatus { Ok, NotNumber, Overflow };

bool IsAsciiDigit(QChar c) {
    return c >= '0' && c <= '9';
}

ParseStatus Parse(const QString& input, double& out) {
    const QString text = input.trimmed();
    const RegionalFormats& f = CurrentFormats();
    const QString& dec = f.decimalSeparator;
    // A thousands separator equal to the decimal one could never be told apart.
    const QString thousands = f.thousandSeparator == dec ? QString() : f.thousandSeparator;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::string integer, fraction, exponent;
    // Thousands separators seen in the integer part, and whether they group it
    // properly: one to three digits first, then exactly three after each one.
    int separators = 0;
    std::size_t digitsBeforeFirst = 0;
    std::size_t group = 0;  // digits since the last separator (or the start)
    bool wellGrouped = true;
    while (i < n) {
        if (IsAsciiDigit(text[i])) {
            integer += static_cast<char>(text[i++].unicode());
            ++group;
        } else if (!thousands.isEmpty() && QStringView(text).mid(i).startsWith(thousands)) {
            if (separators == 0) {
                digitsBeforeFirst = integer.size();
                // Zero padding counts as a group ("0.000.001"), as the masks
                // write it: "0.500" reads as 500, refused as a quantity.
                wellGrouped = group >= 1 && group <= 3;
            } else if (group != 3) {
                wellGrouped = false;
            }
            ++separators;
            group = 0;
            i += thousands.size();
        } else {
            break;
        }
    }
    if (separators > 0 && group != 3) wellGrouped = false;
    bool hasDecimal = false;
    if (!dec.isEmpty() && QStringView(text).mid(i).startsWith(dec)) {
        hasDecimal = true;
        i += dec.size();
        while (i < n && IsAsciiDigit(text[i])) fraction += static_cast<char>(text[i++].unicode());
    }
    if (separators > 0 && !wellGrouped) {
        // A thousands separator that groups nothing is only accepted alone, with
        // no decimal separator: then it was meant as the decimal point ("0.5",
        // "2.5" typed on the keypad) and is read as one, rather than dropped,
        // which would multiply the value.
        if (separators > 1 || hasDecimal) return ParseStatus::NotNumber;
        fraction = integer.substr(digitsBeforeFirst);
        integer.resize(digitsBeforeFirst);
    }
    if (integer.empty() && fraction.empty()) return ParseStatus::NotNumber;
    bool negativeExponent = false;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        while (i < n && IsAsciiDigit(text[i])) exponent += static_cast<char>(text[i++].unicode());
        if (exponent.empty()) return ParseStatus::NotNumber;
    }
    if (i != n) return ParseStatus::NotNumber;

    std::string ascii = (integer.empty() ? "0" : integer) + "." + fraction;
    if (!exponent.empty()) ascii += std::string("e") + (negativeExponent ? "-" : "") + exponent;
    double value = 0.0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value,
                                     std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large, or too small for a double: tell them apart by the power of
        // ten of the leading significant digit.
        const std::string all = integer + fraction;
        const std::size_t lead = all.find_first_not_of('0');
        long power = static_cast<long>(integer.size()) - 1 - static_cast<long>(lead);
        long e = 0;
        for (char c : exponent) e = std::min(e * 10 + (c - '0'), 1000000L);
        power += negativeExponent ? -e : e;
        if (power > 0) return ParseStatus::Overflow;
        value = 0.0;
    } else if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size()) {
        return ParseStatus::NotNumber;
    }
    out = negative ? -value : value;
    return ParseStatus::Ok;
}

}  // namespace

QString FormatNumber(double value, const QString& mask) {
    if (mask.isEmpty()) return GeneralNumber(value);
    const std::optional<NumberMask> parsed = ParseMask(mask);
    if (!parsed) return mask;  // no placeholder: only literal text
    const NumberMask& m = *parsed;

    const Decimal15 d = ToDecimal15(value);
    std::string scaled = ScaledDigits(d, m.decimals);
    const bool negative = d.negative && !scaled.empty();
    const auto decimals = static_cast<std::size_t>(m.decimals);
    if (scaled.size() < decimals) scaled.insert(0, decimals - scaled.size(), '0');
    std::string integer = scaled.substr(0, scaled.size() - decimals);
    std::string fraction = scaled.substr(scaled.size() - decimals);
    const auto minInt = static_cast<std::size_t>(m.minIntegerDigits);
    if (integer.size() < minInt) integer.insert(0, minInt - integer.size(), '0');
    while (fraction.size() > static_cast<std::size_t>(m.requiredDecimals) && fraction.back() == '0')
        fraction.pop_back();

    const RegionalFormats& f = CurrentFormats();
    QString out = negative ? QStringLiteral("-") : QString();
    out += m.prefix;
    out += m.grouping ? Grouped(integer, f.thousandSeparator) : QString::fromStdString(integer);
    if (m.hasPoint) out += f.decimalSeparator + QString::fromStdString(fraction);
    out += m.suffix;
    return out;
}

double RoundDecimals(double value, int decimals) {
    const Decimal15 d = ToDecimal15(value);
    const std::string scaled = ScaledDigits(d, decimals);
    if (scaled.empty()) return 0.0;
    const std::string text = (d.negative ? "-" : "") + scaled + "e-" + std::to_string(decimals);
    double out = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

QString GeneralNumber(double value) {
    const Decimal15 d = ToDecimal15(value);
    if (d.zero) return QStringLiteral("0");
    std::string digits = d.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    const QString& dec = CurrentFormats().decimalSeparator;
    QString out = d.negative ? QStringLiteral("-") : QString();
    if (d.exponent >= 15 || d.exponent < -4) {
        out += QChar(digits[0]);
        if (digits.size() > 1) out += dec + QString::fromStdString(digits.substr(1));
        out += QStringLiteral("E%1%2")
                   .arg(QChar(d.exponent < 0 ? '-' : '+'))
                   .arg(std::abs(d.exponent), 2, 10, QChar('0'));
    } else if (d.exponent >= 0) {
        const auto intLen = static_cast<std::size_t>(d.exponent) + 1;
        if (digits.size() < intLen) digits.append(intLen - digits.size(), '0');
        out += QString::fromStdString(digits.substr(0, intLen));
        if (digits.size() > intLen) out += dec + QString::fromStdString(digits.substr(intLen));
    } else {
        out += QStringLiteral("0") + dec + QString(-d.exponent - 1, QChar('0')) +
               QString::fromStdString(digits);
    }
    return out;
}

std::optional<double> ParseNumber(const QString& text) {
    double value = 0.0;
    if (Parse(text, value) != ParseStatus::Ok) return std::nullopt;
    return value;
}

bool IsNumeric(const QString& text) {
    return ParseNumber(text).has_value();
}

double CDbl(const QString& text) {
    double value = 0.0;
    switch (Parse(text, value)) {
        case ParseStatus::Ok:
            return value;
        case ParseStatus::Overflow:
            Raise(kOverflow);
        case ParseStatus::NotNumber:
            break;
    }
    Raise(kTypeMismatch);
}

double RoundHalfEven(double value) {
    // From 2^52 on every double is already a whole number.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0) return value;
    const double below = std::floor(value);
    const double rest = value - below;  // exact in this range
    if (rest < 0.5) return below;
    if (rest > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace rt
