#pragma once
// Connection strings of the form "KEY=value;KEY={value with ;};..." as the
// terminals have always written them, and the settings the client takes from them.
#include <QMap>
#include <QString>

namespace data {

// The key=value pairs of a connection string; keys in lower case, values
// exactly as written (blanks kept; braces around a value removed). A pair
// without '=' is ignored; a later key replaces an earlier one.
QMap<QString, QString> ParseConnectionString(const QString& text);

struct ConnectionSettings {
    QString host;
    QString database;
    QString user;
    QString password;
    unsigned int port = 3306;
};

// The settings of a connection string: SERVER, DATABASE, UID (or USER),
// PASSWORD (or PWD) and PORT; DRIVER, DNS/DSN and anything else are ignored.
// A PORT that is not a number from 1 to 65535 leaves 3306.
ConnectionSettings SettingsFromConnectionString(const QString& text);

}  // namespace data
