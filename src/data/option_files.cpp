#include "data/option_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

namespace data {
namespace {

constexpr int kMaxIncludeDepth = 10;

bool IsReadGroup(const QString& group) {
    static const QStringList groups{QStringLiteral("client"), QStringLiteral("client-server"),
                                    QStringLiteral("client-mariadb"), QStringLiteral("pedidos")};
    return groups.contains(group);
}

// "ssl_ca" and "loose-ssl-ca" name the same key as "ssl-ca"; "skip-ssl" is
// "ssl=0".
QString CanonicalKey(QString key, bool& negated) {
    key.replace('_', '-');
    if (key.startsWith(QLatin1String("loose-"))) key = key.mid(6);
    negated = key.startsWith(QLatin1String("skip-"));
    if (negated) key = key.mid(5);
    return key;
}

// A value as the client library reads it: blanks around it dropped, one pair
// of quotes around it removed, \n \t \r \b \s \" \' \\ resolved; unquoted,
// what follows a '#' after a blank is a comment.
QString ValueOf(QString raw) {
    raw = raw.trimmed();
    if (!raw.isEmpty() && (raw[0] == '"' || raw[0] == '\'')) {
        const QChar quote = raw[0];
        qsizetype end = 1;
        while (end < raw.size() && raw[end] != quote) end += raw[end] == '\\' ? 2 : 1;
        raw = raw.mid(1, end - 1);
    } else {
        const qsizetype hash = raw.indexOf('#');
        if (hash >= 0) raw = raw.left(hash).trimmed();
    }
    QString value;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            value += raw[i];
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'r': value += '\r'; break;
            case 'b': value += '\b'; break;
            case 's': value += ' '; break;
            case '"': case '\'': case '\\': value += next; break;
            default: value += '\\'; value += next; break;
        }
    }
    return value;
}

QString Where(const QString& file, int line) { return QStringLiteral("%1:%2").arg(file).arg(line); }

void ReadOptionFile(const QString& path, bool mustExist, const QString& where, OptionFiles& into,
                    int depth);

void ReadFolder(const QString& folder, const QString& where, OptionFiles& into, int depth) {
    const QDir dir(folder);
    if (!dir.exists()) {
        into.problems.push_back({where, QStringLiteral("no se encuentra la carpeta %1.").arg(folder)});
        return;
    }
    const QStringList names =
        dir.entryList({QStringLiteral("*.cnf")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) ReadOptionFile(dir.filePath(name), true, where, into, depth);
}

void ReadOptionFile(const QString& path, bool mustExist, const QString& where, OptionFiles& into,
                    int depth) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (mustExist)
            into.problems.push_back({where, QStringLiteral("no se encuentra el archivo %1.").arg(path)});
        return;
    }
    if (depth > kMaxIncludeDepth) {
        into.problems.push_back(
            {where, QStringLiteral("%1: demasiados !include anidados (¿un archivo que se incluye a sí "
                                  "mismo?); no se lee.").arg(path)});
        return;
    }
    if (info.permissions() & QFileDevice::WriteOther) {
        into.problems.push_back(
            {path, QStringLiteral("cualquier usuario puede modificar este archivo; no se usa "
                                  "(quite el permiso de escritura a otros: chmod o-w).")});
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        into.problems.push_back(
            {path, QStringLiteral("no se puede leer (%1); sus opciones no se usan.").arg(file.errorString())});
        return;
    }
    const QString text = QString::fromUtf8(file.readAll());
    into.read.push_back(path);
    const QString base = info.absolutePath();
    ReadOptionText(text, path, into, [&](const OptionInclude& inc) {
        const QString target = QDir(base).absoluteFilePath(inc.path);
        if (inc.folder) ReadFolder(target, inc.where, into, depth + 1);
        else ReadOptionFile(target, true, inc.where, into, depth + 1);
    });
}

}  // namespace

const QStringList& KeptOptionKeys() {
    static const QStringList keys{
        QStringLiteral("user"),    QStringLiteral("password"),   QStringLiteral("port"),
        QStringLiteral("ssl"),     QStringLiteral("ssl-ca"),     QStringLiteral("ssl-capath"),
        QStringLiteral("ssl-cert"), QStringLiteral("ssl-key"),
        QStringLiteral("ssl-verify-server-cert"), QStringLiteral("tls-version")};
    return keys;
}

void ReadOptionText(const QString& text, const QString& file, OptionFiles& into,
                    const std::function<void(const OptionInclude&)>& include) {
    bool inGroup = false;   // a group has started: keys outside every group are wrong
    bool readValues = false;
    bool own = false;  // in [pedidos]
    const QStringList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        const QString where = Where(file, n + 1);
        if (line.isEmpty() || line[0] == '#' || line[0] == ';') continue;
        if (line[0] == '!') {
            const qsizetype blank = line.indexOf(' ');
            const QString directive = line.mid(1, blank < 0 ? -1 : blank - 1);
            const QString path = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
            if ((directive == QLatin1String("include") || directive == QLatin1String("includedir")) &&
                !path.isEmpty())
                include({path, directive == QLatin1String("includedir"), where});
            else
                into.problems.push_back(
                    {where, QStringLiteral("no se entiende «!%1» (se espera !include o !includedir).").arg(directive)});
            continue;
        }
        if (line[0] == '[') {
            const qsizetype close = line.indexOf(']');
            if (close < 0) {
                into.problems.push_back(
                    {where, QStringLiteral("falta el «]» del grupo; se ignora hasta el próximo grupo.")});
                inGroup = false;
                readValues = false;
                continue;
            }
            inGroup = true;
            const QString group = line.mid(1, close - 1).trimmed();
            readValues = IsReadGroup(group);
            own = group == QLatin1String("pedidos");
            continue;
        }
        if (!inGroup) {
            // Only the key is named: the line may hold a password.
            const qsizetype eq = line.indexOf('=');
            into.problems.push_back(
                {where, QStringLiteral("«%1» está fuera de todo grupo [...]; se ignora.")
                            .arg(line.left(eq < 0 ? -1 : eq).trimmed())});
            continue;
        }
        if (!readValues) continue;
        const qsizetype eq = line.indexOf('=');
        bool negated = false;
        const QString key = CanonicalKey(line.left(eq < 0 ? -1 : eq).trimmed(), negated);
        if (!KeptOptionKeys().contains(key)) continue;
        const auto before = into.settings.constFind(key);
        if (!own && before != into.settings.constEnd() && before->own) continue;
        OptionSetting setting;
        setting.where = where;
        setting.own = own;
        if (negated) {
            setting.value = QStringLiteral("0");
        } else if (eq < 0) {
            setting.hasValue = false;
        } else {
            setting.value = ValueOf(line.mid(eq + 1));
        }
        into.settings.insert(key, setting);
    }
}

QStringList DefaultOptionFiles(const QString& home, const QString& mariadbHome,
                               const QString& mysqlHome) {
    QStringList files{QStringLiteral("/etc/my.cnf"), QStringLiteral("/etc/mysql/my.cnf")};
    const QString serverHome = !mariadbHome.isEmpty() ? mariadbHome : mysqlHome;
    if (!serverHome.isEmpty()) {
        const QString f = serverHome + QStringLiteral("/my.cnf");
        if (!files.contains(f)) files.push_back(f);
    }
    if (!home.isEmpty()) files.push_back(home + QStringLiteral("/.my.cnf"));
    return files;
}

OptionFiles ReadOptionFiles(const QStringList& files) {
    OptionFiles into;
    for (const QString& f : files) ReadOptionFile(f, false, f, into, 0);
    return into;
}

OptionFiles ReadClientOptionFiles() {
    return ReadOptionFiles(DefaultOptionFiles(qEnvironmentVariable("HOME"),
                                              qEnvironmentVariable("MARIADB_HOME"),
                                              qEnvironmentVariable("MYSQL_HOME")));
}

}  // namespace data
