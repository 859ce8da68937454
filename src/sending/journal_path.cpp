#include "sending/journal_path.h"

#include <QCryptographicHash>
#include <QStandardPaths>

#include "data/connection_string.h"
#include "data/option_files.h"
#include "data/secure_link.h"

namespace sending {
namespace {

// Each byte of the UTF-8 outside [a-z0-9.-] as "%XX": '_' and '%' never
// stand for themselves, so the parts joined by '_' read back one way only.
// Upper-case letters are written as bytes too, so that two names that
// differ only in case stay apart on a disk that does not tell case apart.
QString Encoded(const QString& part) {
    QString out;
    for (const char c : part.toUtf8()) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (kept) out += QLatin1Char(c);
        else out += QLatin1Char('%') + QString::number(static_cast<unsigned char>(c), 16).rightJustified(2, u'0').toUpper();
    }
    return out;
}

// The installation as a file name's part. Host names do not tell case apart:
// the server in lower case. The database's case is kept as written: MariaDB
// tells "Restaurante" from "restaurante" unless the server runs with
// lower_case_table_names 1 or 2, which the terminal cannot ask before its
// first connection (and the journal is needed before it). Two spellings of
// one database then keep two journals, and a send in flight is found again
// as long as Ruta_Datos.txt spells the database as it did; no two databases
// ever share one.
QString Identity(const Installation& i) {
    const QString name = Encoded(i.servidor.toLower()) + QLatin1Char('_') + QString::number(i.puerto) +
                         QLatin1Char('_') + Encoded(i.base);
    // A file name holds 255 bytes: the prefix, ".json" and the suffixes of a
    // kept file (".ilegible.100", ".nuevo") leave 200 to the installation.
    // A longer one is named by its hash, which holds no '_' and so is never
    // taken for an encoded name.
    if (name.size() <= 200) return name;
    return QStringLiteral("sha256-") +
           QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex());
}

// The earlier programs' names: lower case, anything outside [a-z0-9._-] as '_'.
QString EarlierSlug(const QString& text) {
    QString slug = text.toLower();
    for (QChar& c : slug) {
        const bool kept = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' ||
                          c == u'-';
        if (!kept) c = u'_';
    }
    return slug;
}

QString EarlierIdentity(const Installation& i) {
    return EarlierSlug(i.servidor) + QLatin1Char('_') + EarlierSlug(i.base);
}

QString InFolder(const char* prefix, const QString& identity) {
    return JournalFolder() + QLatin1Char('/') + QLatin1String(prefix) + identity + QStringLiteral(".json");
}

}  // namespace

Installation InstallationOf(const QString& connectionString, const data::OptionFiles& files) {
    const data::ConnectionSettings s = data::SettingsFromConnectionString(connectionString);
    // The port the link is made on; which files TLS would read plays no part in it.
    const data::LinkSettings link = data::ChooseLink(s, files, [](const QString&, bool) { return true; });
    return {s.host, s.database, link.port};
}

Installation InstallationOf(const QString& connectionString) {
    return InstallationOf(connectionString, data::ReadClientOptionFiles());
}

QString JournalFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation); }

QString DefaultJournalPath(const Installation& instalacion) {
    return InFolder("envio_en_curso-", Identity(instalacion));
}

QString DefaultTicketsPath(const Installation& instalacion) {
    return InFolder("comandas_en_impresora-", Identity(instalacion));
}

QStringList EarlierJournalPaths(const Installation& instalacion) {
    return {InFolder("envio_en_curso-", EarlierIdentity(instalacion)),
            JournalFolder() + QStringLiteral("/envio_en_curso.json")};
}

QString EarlierTicketsPath(const Installation& instalacion) {
    return InFolder("comandas_en_impresora-", EarlierIdentity(instalacion));
}

}  // namespace sending
