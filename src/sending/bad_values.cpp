#include "sending/bad_values.h"

#include <QRegularExpression>

#include "data/db_error.h"

namespace sending {

QString ColumnInError(const QString& description) {
    // The last name quoted with ' or ` after "column" (a qualified name's
    // last part is the column).
    static const QRegularExpression column(
        QStringLiteral("(?:column|field)\\s+((?:[`'][^`']*[`']\\.?)+)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression part(QStringLiteral("[`']([^`']*)[`']"));
    const QRegularExpressionMatch m = column.match(description);
    if (!m.hasMatch()) return {};
    QString last;
    for (auto it = part.globalMatch(m.captured(1)); it.hasNext();) last = it.next().captured(1);
    return last;
}

QString BadValueText(int number, const QString& table, const QString& column, const QString& value) {
    constexpr int kShown = 40;
    const QString where = column.isEmpty() ? QStringLiteral("la tabla ") + table
                                           : QStringLiteral("la columna ") + column + QStringLiteral(" de ") + table;
    QString what;
    if (!value.isEmpty()) {
        const QString shown = value.size() > kShown ? value.left(kShown) + QStringLiteral("...") : value;
        what = QStringLiteral("«") + shown + QStringLiteral("»");
    }
    switch (number) {
        case data::kDataTooLong:
            return (what.isEmpty() ? QStringLiteral("Un texto") : QStringLiteral("El texto ") + what) +
                   QStringLiteral(" es más largo de lo que admite ") + where + QLatin1Char('.');
        case data::kIncorrectString:
            return (what.isEmpty() ? QStringLiteral("Un texto") : QStringLiteral("El texto ") + what) +
                   QStringLiteral(" tiene caracteres que ") + where + QStringLiteral(" no admite.");
        default:
            return (what.isEmpty() ? QStringLiteral("Un valor") : QStringLiteral("El valor ") + what) +
                   QStringLiteral(" no es válido para ") + where + QLatin1Char('.');
    }
}

}  // namespace sending
