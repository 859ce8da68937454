#include "runtime/variant.h"

#include "runtime/date_format.h"
#include "runtime/number_format.h"
#include "runtime/regional_formats.h"
#include "runtime/runtime_error.h"

namespace rt {

Variant Variant::FromDate(const QDate& d) {
    Variant v;
    v.v_ = DateValue{QDateTime(d, QTime(0, 0)), false};
    return v;
}

Variant Variant::FromDateTime(const QDateTime& dt) {
    Variant v;
    v.v_ = DateValue{dt, true};
    return v;
}

Variant::Kind Variant::kind() const {
    switch (v_.index()) {
        case 1:
            return Kind::Boolean;
        case 2:
            return Kind::Number;
        case 3:
            return Kind::Text;
        case 4:
            return Kind::Date;
        default:
            return Kind::Null;
    }
}

bool Variant::EqualsTrue() const {
    const bool* b = std::get_if<bool>(&v_);
    return b != nullptr && *b;
}

bool Variant::IsNonZero() const {
    if (const bool* b = std::get_if<bool>(&v_)) return *b;
    if (const double* d = std::get_if<double>(&v_)) return *d != 0.0;
    if (const QString* s = std::get_if<QString>(&v_)) {
        const std::optional<double> n = ParseNumber(*s);
        return n.has_value() && *n != 0.0;
    }
    return false;
}

double Variant::ToDouble() const {
    switch (kind()) {
        case Kind::Null:
            Raise(kInvalidUseOfNull);
        case Kind::Boolean:
            return AsBool() ? -1.0 : 0.0;
        case Kind::Number:
            return AsNumber();
        case Kind::Text:
            return CDbl(AsText());
        case Kind::Date: {
            // The serial date: days since 30/12/1899, the time of day as the fraction.
            const DateValue& d = std::get<DateValue>(v_);
            const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(d.value.date()));
            const double fraction = d.value.time().msecsSinceStartOfDay() / 86400000.0;
            return days >= 0 ? days + fraction : days - fraction;
        }
    }
    Raise(kTypeMismatch);
}

QString Variant::ToText() const {
    switch (kind()) {
        case Kind::Null:
            Raise(kInvalidUseOfNull);
        case Kind::Boolean:
            return AsBool() ? QStringLiteral("True") : QStringLiteral("False");
        case Kind::Number:
            return GeneralNumber(AsNumber());
        case Kind::Text:
            return AsText();
        case Kind::Date: {
            const DateValue& d = std::get<DateValue>(v_);
            if (!d.value.isValid()) return {};  // no date to show, not even the blank
            const RegionalFormats& f = CurrentFormats();
            QString text = FormatDate(d.value, f.shortDate);
            if (d.hasTime) text += ' ' + FormatDate(d.value, f.timeFormat);
            return text;
        }
    }
    Raise(kTypeMismatch);
}

QString Variant::ToTextOrEmpty() const {
    return IsNull() ? QString() : ToText();
}

// Asking for the wrong kind is a type mismatch, as the conversions report it.
bool Variant::AsBool() const {
    if (const bool* b = std::get_if<bool>(&v_)) return *b;
    Raise(kTypeMismatch);
}

double Variant::AsNumber() const {
    if (const double* d = std::get_if<double>(&v_)) return *d;
    Raise(kTypeMismatch);
}

const QString& Variant::AsText() const {
    if (const QString* s = std::get_if<QString>(&v_)) return *s;
    Raise(kTypeMismatch);
}

QDateTime Variant::AsDateTime() const {
    if (const DateValue* d = std::get_if<DateValue>(&v_)) return d->value;
    Raise(kTypeMismatch);
}

bool Variant::HasTime() const {
    const DateValue* d = std::get_if<DateValue>(&v_);
    return d != nullptr && d->hasTime;
}

}  // namespace rt
