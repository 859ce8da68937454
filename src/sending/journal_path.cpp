#include "sending/journal_path.h"

#include <QStandardPaths>

#include "data/connection_string.h"

namespace sending {
namespace {

QString Slug(const QString& text) {
    QString slug = text.toLower();
    for (QChar& c : slug) {
        const bool kept = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' ||
                          c == u'-';
        if (!kept) c = u'_';
    }
    return slug;
}

}  // namespace

Installation InstallationOf(const QString& connectionString) {
    const data::ConnectionSettings s = data::SettingsFromConnectionString(connectionString);
    return {s.host, s.database};
}

QString JournalFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation); }

QString DefaultJournalPath(const QString& servidor, const QString& base) {
    return JournalFolder() + QStringLiteral("/envio_en_curso-") + Slug(servidor) + QLatin1Char('_') + Slug(base) +
           QStringLiteral(".json");
}

QString DefaultJournalPath(const Installation& instalacion) {
    return DefaultJournalPath(instalacion.servidor, instalacion.base);
}

QString DefaultTicketsPath(const Installation& instalacion) {
    return JournalFolder() + QStringLiteral("/comandas_en_impresora-") + Slug(instalacion.servidor) +
           QLatin1Char('_') + Slug(instalacion.base) + QStringLiteral(".json");
}

QString LegacyJournalPath() { return JournalFolder() + QStringLiteral("/envio_en_curso.json"); }

}  // namespace sending
