#pragma once
// A value as the database and the screens hand it around: null, boolean,
// number, text or date. Comparisons and conversions follow the program's
// rules: only a real boolean equals true, null equals nothing, text turns
// into a number under the regional formats.
#include <QDateTime>
#include <QString>
#include <variant>

namespace rt {

class Variant {
public:
    enum class Kind { Null, Boolean, Number, Text, Date };

    Variant() = default;  // null
    Variant(bool b) : v_(b) {}
    Variant(int n) : v_(static_cast<double>(n)) {}
    Variant(long long n) : v_(static_cast<double>(n)) {}
    Variant(double d) : v_(d) {}
    Variant(const QString& s) : v_(s) {}
    Variant(const char* s) : v_(QString::fromUtf8(s)) {}
    // A date, or a date with a time of day (`hasTime` false: a plain date).
    static Variant FromDate(const QDate& d);
    static Variant FromDateTime(const QDateTime& dt);

    Kind kind() const;
    bool IsNull() const { return kind() == Kind::Null; }

    // `= True` of the program: true only for a boolean true (a number 1 is not
    // true, null is neither true nor false).
    bool EqualsTrue() const;
    // A test "if value then": boolean true, or a number other than 0; null,
    // text and dates count as false unless text is a non-zero number.
    bool IsNonZero() const;

    // CDbl: number as is, boolean true -1 / false 0, text parsed under the
    // regional formats, a date as its serial number (days since 30/12/1899, the
    // time of day as the fraction). Throws RuntimeError 94 for null, 13 for
    // non-numeric text, 6 for a number too large for a double.
    double ToDouble() const;
    // CStr: text as is, numbers in the general number format, booleans
    // "True"/"False", dates in the regional short date (and " " + time when the
    // value carries a time). Throws RuntimeError 94 for null.
    QString ToText() const;
    // Like ToText, but null gives "" (how a null field lands in a text box).
    QString ToTextOrEmpty() const;

    // The stored value of one kind; any other kind throws RuntimeError 13.
    bool AsBool() const;            // requires kind Boolean
    double AsNumber() const;        // requires kind Number
    const QString& AsText() const;  // requires kind Text
    QDateTime AsDateTime() const;   // requires kind Date (a plain date: at 00:00)
    bool HasTime() const;           // a Date that carries a time of day

private:
    struct DateValue {
        QDateTime value;
        bool hasTime = false;
    };
    std::variant<std::monostate, bool, double, QString, DateValue> v_;
};

}  // namespace rt
