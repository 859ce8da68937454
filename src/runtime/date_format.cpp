#include "runtime/date_format.h"

#include <vector>

#include "runtime/regional_formats.h"

namespace rt {
namespace {

const char* const kMonthLong[] = {"enero",      "febrero", "marzo",     "abril",
                                  "mayo",       "junio",   "julio",     "agosto",
                                  "septiembre", "octubre", "noviembre", "diciembre"};
const char* const kMonthShort[] = {"ene", "feb", "mar", "abr", "may", "jun",
                                   "jul", "ago", "sep", "oct", "nov", "dic"};
// Monday first, as QDate::dayOfWeek counts (1 = Monday ... 7 = Sunday).
const char* const kWeekdayLong[] = {"lunes",   "martes", "miércoles", "jueves",
                                    "viernes", "sábado", "domingo"};
const char* const kWeekdayShort[] = {"lun", "mar", "mié", "jue", "vie", "sáb", "dom"};

struct Token {
    enum Kind { Literal, Year, Month, Day, Hour, Minute, Second } kind = Literal;
    int length = 0;  // run length of the letter for the date and time parts
    QString text;    // the literal text
};

Token::Kind KindOf(QChar c) {
    switch (c.toLower().unicode()) {
        case 'y':
            return Token::Year;
        case 'm':
            return Token::Month;
        case 'd':
            return Token::Day;
        case 'h':
            return Token::Hour;
        case 'n':
            return Token::Minute;
        case 's':
            return Token::Second;
        default:
            return Token::Literal;
    }
}

// Splits a mask into date/time parts and literal text. Text between single or
// double quotes, and the character after a backslash, are literal. An 'm' or
// "mm" is read as minutes when the date/time part before it is an hour or the
// one after it is seconds.
std::vector<Token> Tokenize(const QString& mask) {
    std::vector<Token> tokens;
    auto literal = [&tokens](const QString& text) {
        if (tokens.empty() || tokens.back().kind != Token::Literal) tokens.push_back({});
        tokens.back().text += text;
    };
    const qsizetype n = mask.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = mask[i];
        if (c == '\'' || c == '"') {
            const qsizetype close = mask.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            literal(mask.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            literal(mask.mid(i + 1, 1));
            i += 2;
        } else if (const Token::Kind kind = KindOf(c); kind != Token::Literal) {
            qsizetype j = i + 1;
            while (j < n && mask[j].toLower() == c.toLower()) ++j;
            tokens.push_back({kind, static_cast<int>(j - i), {}});
            i = j;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind != Token::Month || t.length > 2) continue;
        const Token* before = nullptr;
        const Token* after = nullptr;
        for (std::size_t j = i; j-- > 0;)
            if (tokens[j].kind != Token::Literal) {
                before = &tokens[j];
                break;
            }
        for (std::size_t j = i + 1; j < tokens.size(); ++j)
            if (tokens[j].kind != Token::Literal) {
                after = &tokens[j];
                break;
            }
        if ((before && before->kind == Token::Hour) || (after && after->kind == Token::Second))
            t.kind = Token::Minute;
    }
    return tokens;
}

QString Number(int value, int length) {
    return length >= 2 ? QStringLiteral("%1").arg(value, 2, 10, QChar('0'))
                       : QString::number(value);
}

}  // namespace

QString FormatDate(const QDateTime& value, const QString& mask) {
    if (!value.isValid()) return {};
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    for (const Token& t : Tokenize(mask)) {
        switch (t.kind) {
            case Token::Literal:
                out += t.text;
                break;
            case Token::Year:
                // y: day of the year; yy: two digits; longer: the whole year.
                if (t.length == 1)
                    out += QString::number(date.dayOfYear());
                else if (t.length == 2)
                    out += Number(date.year() % 100, 2);
                else
                    out += QString::number(date.year());
                break;
            case Token::Month:
                if (t.length <= 2)
                    out += Number(date.month(), t.length);
                else if (t.length == 3)
                    out += QString::fromUtf8(kMonthShort[date.month() - 1]);
                else
                    out += QString::fromUtf8(kMonthLong[date.month() - 1]);
                break;
            case Token::Day:
                if (t.length <= 2)
                    out += Number(date.day(), t.length);
                else if (t.length == 3)
                    out += QString::fromUtf8(kWeekdayShort[date.dayOfWeek() - 1]);
                else
                    out += QString::fromUtf8(kWeekdayLong[date.dayOfWeek() - 1]);
                break;
            case Token::Hour:
                out += Number(time.hour(), t.length);
                break;
            case Token::Minute:
                out += Number(time.minute(), t.length);
                break;
            case Token::Second:
                out += Number(time.second(), t.length);
                break;
        }
    }
    return out;
}

std::optional<QDate> ParseShortDate(const QString& input) {
    const QString text = input.trimmed();
    int year = -1, month = -1, day = -1;
    qsizetype pos = 0;
    for (const Token& t : Tokenize(CurrentFormats().shortDate)) {
        if (t.kind == Token::Literal) {
            if (!QStringView(text).mid(pos).startsWith(t.text)) return std::nullopt;
            pos += t.text.size();
            continue;
        }
        // Only numeric day, month and year parts can be read back.
        const bool numeric = (t.kind == Token::Day || t.kind == Token::Month)
                                 ? t.length <= 2
                                 : t.kind == Token::Year && t.length >= 2;
        if (!numeric) return std::nullopt;
        const int maxDigits = t.kind == Token::Year ? 4 : 2;
        int value = 0, digits = 0;
        while (digits < maxDigits && pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos].unicode() - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (t.kind == Token::Year) {
            // A year of one or two digits falls in 1930-2029.
            if (digits <= 2) value += value < 30 ? 2000 : 1900;
            year = value;
        } else if (t.kind == Token::Month) {
            month = value;
        } else {
            day = value;
        }
    }
    if (pos != text.size() || year < 0 || month < 0 || day < 0) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

}  // namespace rt
