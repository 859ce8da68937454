#include "data/column_widths.h"

#include <algorithm>
#include <limits>

namespace data {
namespace {

std::pair<QString, QString> Key(const QString& table, const QString& column) {
    return {table.toLower(), column.toLower()};
}

bool IsUtf8(const QString& charset) {
    return charset.startsWith(QLatin1String("utf8"), Qt::CaseInsensitive);
}

// Bytes that `c` takes in `charset`; single-byte sets (latin1 and the like)
// take one per character, and a column without a character set (binary)
// stores the UTF-8 the connection sends.
int BytesOf(char32_t c, const QString& charset) {
    if (charset.isEmpty() || IsUtf8(charset))
        return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (charset.compare(QLatin1String("utf32"), Qt::CaseInsensitive) == 0) return 4;
    if (charset.startsWith(QLatin1String("utf16"), Qt::CaseInsensitive)) return c < 0x10000 ? 2 : 4;
    if (charset.compare(QLatin1String("ucs2"), Qt::CaseInsensitive) == 0) return 2;
    return 1;
}

int WidestCharacter(const QString& charset) {
    if (charset.isEmpty() || charset.compare(QLatin1String("utf8mb4"), Qt::CaseInsensitive) == 0 ||
        charset.compare(QLatin1String("utf32"), Qt::CaseInsensitive) == 0 ||
        charset.startsWith(QLatin1String("utf16"), Qt::CaseInsensitive))
        return 4;
    if (IsUtf8(charset)) return 3;
    if (charset.compare(QLatin1String("ucs2"), Qt::CaseInsensitive) == 0) return 2;
    return 1;
}

// A length the server sends as a number (or as the text of one, C locale);
// anything else is no limit, never an error at start-up.
int ToLimit(const rt::Variant& v) {
    bool number = v.kind() == rt::Variant::Kind::Number;
    const double n = number ? v.ToDouble() : v.ToTextOrEmpty().toDouble(&number);
    if (!number) return 0;
    if (!(n > 0)) return 0;
    return n >= std::numeric_limits<int>::max() ? 0 : static_cast<int>(n);
}

}  // namespace

void ColumnWidths::Set(const QString& table, const QString& column, const ColumnWidth& width) {
    widths_[Key(table, column)] = width;
}

const ColumnWidth* ColumnWidths::Find(const QString& table, const QString& column) const {
    const auto it = widths_.find(Key(table, column));
    return it == widths_.end() ? nullptr : &it->second;
}

QString ColumnWidths::Fit(const QString& table, const QString& column, const QString& text) const {
    const ColumnWidth* w = Find(table, column);
    if (w == nullptr || (w->chars <= 0 && w->bytes <= 0)) return text;
    int chars = 0, bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                          text.at(i + 1).isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                : text.at(i).unicode();
        bytes += BytesOf(c, w->charset);
        if ((w->chars > 0 && chars + 1 > w->chars) || (w->bytes > 0 && bytes > w->bytes)) break;
        ++chars;
        i += pair ? 2 : 1;
    }
    return i == text.size() ? text : text.left(i);
}

int ColumnWidths::TypingLimit(
    std::initializer_list<std::pair<const char*, const char*>> columns) const {
    int limit = 0;
    for (const auto& [table, column] : columns) {
        const ColumnWidth* w = Find(QString::fromLatin1(table), QString::fromLatin1(column));
        if (w == nullptr) continue;
        int here = w->chars;
        if (w->bytes > 0) {
            const int byBytes = std::max(1, w->bytes / WidestCharacter(w->charset));
            here = here > 0 ? std::min(here, byBytes) : byBytes;
        }
        if (here > 0) limit = limit > 0 ? std::min(limit, here) : here;
    }
    return limit;
}

ColumnWidths LearnColumnWidths(Connection& connection) {
    return ColumnWidthsFrom(connection.Query(kSqlColumnWidths));
}

ColumnWidths ColumnWidthsFrom(ResultSet r) {
    ColumnWidths widths;
    for (; !r.IsEof(); r.MoveNext()) {
        const QString type = r.Field(2).ToTextOrEmpty().toLower();
        if (type == QLatin1String("enum") || type == QLatin1String("set")) continue;
        ColumnWidth w;
        w.charset = r.Field(5).ToTextOrEmpty();
        // CHAR and VARCHAR count characters; the TEXT, BLOB and BINARY types bytes.
        if (type == QLatin1String("char") || type == QLatin1String("varchar"))
            w.chars = ToLimit(r.Field(3));
        else
            w.bytes = ToLimit(r.Field(4));
        widths.Set(r.Field(0).ToTextOrEmpty(), r.Field(1).ToTextOrEmpty(), w);
    }
    return widths;
}

int TableNumberLimit(const ColumnWidths& w) {
    return w.TypingLimit({{"Factura_r", "N_Factura"},
                          {"Factura_r", "ced_cliente"},
                          {"D_Fact_r", "n_factura"},
                          {"comanda", "mesa"}});
}

int ChefNoteLimit(const ColumnWidths& w) {
    return w.TypingLimit({{"D_Fact_r", "observacion"}, {"comanda", "observacion"}});
}

int CookingPointLimit(const ColumnWidths& w) {
    return w.TypingLimit({{"D_Fact_r", "termino"}, {"comanda", "termino"}});
}

int WaiterNameLimit(const ColumnWidths& w) {
    return w.TypingLimit({{"comanda", "mesonero"}});
}

}  // namespace data
