#include "data/option_files.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QPair>
#include <QSet>
#include <QtGlobal>
#include <optional>
#include <sys/stat.h>

#include "runtime/bounded_file.h"

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
// what follows a '#' is a comment ("ab#cd" reads "ab", as my_print_defaults says).
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

// One reading of the option files: what was read already (by device and
// inode, so that no path can lead to a file twice) and how many.
class DiskReader {
public:
    explicit DiskReader(OptionFiles& into) : into_(into) {}

    void File(const QString& path, bool mustExist, const QString& where, int depth);

private:
    void Folder(const QString& folder, const QString& where, int depth);
    // False when the file was read before (named once) or too many were read.
    bool FirstTime(const rt::BoundedFile& file, const QString& path, const QString& where);

    OptionFiles& into_;
    QSet<QPair<quint64, quint64>> seen_;
    QSet<QPair<quint64, quint64>> named_;  // read again, and said so
    bool tooMany_ = false;
};

void DiskReader::Folder(const QString& folder, const QString& where, int depth) {
    const QDir dir(folder);
    if (!dir.exists()) {
        AddOptionProblem(into_, where, QStringLiteral("no se encuentra la carpeta %1.").arg(folder));
        return;
    }
    const QStringList names =
        dir.entryList({QStringLiteral("*.cnf")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) File(dir.filePath(name), true, where, depth);
}

bool DiskReader::FirstTime(const rt::BoundedFile& file, const QString& path, const QString& where) {
    const QPair<quint64, quint64> id(file.device, file.inode);
    if (seen_.contains(id)) {
        if (!named_.contains(id))
            AddOptionProblem(into_, where,
                             QStringLiteral("%1 ya se leyó (¿un archivo que se incluye a sí mismo, o "
                                            "incluido dos veces?); no se lee otra vez.").arg(path));
        named_.insert(id);
        return false;
    }
    if (seen_.size() >= kMaxOptionFiles) {
        if (!tooMany_)
            AddOptionProblem(into_, where,
                             QStringLiteral("más de %1 archivos de opciones; %2 y los que siguen no se leen.")
                                 .arg(kMaxOptionFiles).arg(path));
        tooMany_ = true;
        return false;
    }
    seen_.insert(id);
    return true;
}

void DiskReader::File(const QString& path, bool mustExist, const QString& where, int depth) {
    const rt::BoundedFile file = rt::ReadBoundedFile(path, rt::kSharedTextBound);
    if (file.refusal == rt::FileRefusal::kMissing || file.refusal == rt::FileRefusal::kNoFolder) {
        if (mustExist)
            AddOptionProblem(into_, where, QStringLiteral("no se encuentra el archivo %1.").arg(path));
        return;
    }
    if (file.refusal != rt::FileRefusal::kNone) {
        AddOptionProblem(into_, path, QStringLiteral("%1; sus opciones no se usan.").arg(file.problem));
        return;
    }
    if (!FirstTime(file, path, where)) return;
    if (depth > kMaxIncludeDepth) {
        AddOptionProblem(into_, where,
                         QStringLiteral("%1: demasiados !include anidados; no se lee.").arg(path));
        return;
    }
    if (file.mode & S_IWOTH) {
        AddOptionProblem(into_, path,
                         QStringLiteral("cualquier usuario puede modificar este archivo; no se usa "
                                        "(quite el permiso de escritura a otros: chmod o-w)."));
        return;
    }
    into_.read.push_back(path);
    const QString base = QFileInfo(path).absolutePath();
    ReadOptionText(QString::fromUtf8(file.bytes), path, into_, [&](const OptionInclude& inc) {
        const QString target = QDir(base).absoluteFilePath(inc.path);
        if (inc.folder) Folder(target, inc.where, depth + 1);
        else File(target, true, inc.where, depth + 1);
    });
}

// A kept value that is not text: the file was not saved as UTF-8 (a
// Latin-1 password would reach the server as other bytes than typed).
bool IsBadText(const QString& value) {
    return value.contains(QChar::ReplacementCharacter) || value.contains(QChar(0));
}

}  // namespace

void AddOptionProblem(OptionFiles& into, const QString& where, const QString& text) {
    if (into.problems.size() < kKeptOptionProblems) into.problems.push_back({where, text});
    else ++into.problemsLeftOut;
}

const QStringList& KeptOptionKeys() {
    static const QStringList keys{
        QStringLiteral("user"),    QStringLiteral("password"),   QStringLiteral("port"),
        QStringLiteral("ssl"),     QStringLiteral("ssl-ca"),     QStringLiteral("ssl-capath"),
        QStringLiteral("ssl-cert"), QStringLiteral("ssl-key"),
        QStringLiteral("ssl-verify-server-cert"), QStringLiteral("tls-version")};
    return keys;
}

namespace {

// Where a file's reading stands: which group, and whether it is read.
struct GroupState {
    bool inGroup = false;  // a group has started: keys outside every group are wrong
    bool readValues = false;
    bool own = false;  // in [pedidos]
};

void ReadDirective(const QString& line, const QString& where, OptionFiles& into,
                   const std::function<void(const OptionInclude&)>& include) {
    const qsizetype blank = line.indexOf(' ');
    const QString directive = line.mid(1, blank < 0 ? -1 : blank - 1);
    const QString path = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    if ((directive == QLatin1String("include") || directive == QLatin1String("includedir")) && !path.isEmpty())
        include({path, directive == QLatin1String("includedir"), where});
    else
        AddOptionProblem(into, where,
                         QStringLiteral("no se entiende «!%1» (se espera !include o !includedir).").arg(directive));
}

void ReadGroupLine(const QString& line, const QString& where, OptionFiles& into, GroupState& state) {
    const qsizetype close = line.indexOf(']');
    if (close < 0) {
        AddOptionProblem(into, where, QStringLiteral("falta el «]» del grupo; se ignora hasta el próximo grupo."));
        state = {};
        return;
    }
    const QString group = line.mid(1, close - 1).trimmed();
    state = {true, IsReadGroup(group), group == QLatin1String("pedidos")};
}

// "key", "key = value", "skip-key" in a group that is read: kept when it is
// one of the link's keys.
void ReadKeyLine(const QString& line, const QString& where, OptionFiles& into, bool own) {
    const qsizetype eq = line.indexOf('=');
    bool negated = false;
    const QString key = CanonicalKey(line.left(eq < 0 ? -1 : eq).trimmed(), negated);
    if (!KeptOptionKeys().contains(key)) return;
    const auto before = into.settings.constFind(key);
    if (!own && before != into.settings.constEnd() && before->own) return;
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
    if (IsBadText(setting.value)) {  // only the key is named: it may be a password
        AddOptionProblem(into, where,
                         QStringLiteral("el valor de «%1» no es texto UTF-8 (¿guardado en Latin-1?); no "
                                        "se usa.").arg(key));
        return;
    }
    into.settings.insert(key, setting);
}

}  // namespace

void ReadOptionText(const QString& text, const QString& file, OptionFiles& into,
                    const std::function<void(const OptionInclude&)>& include) {
    GroupState state;
    const QStringList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        const QString where = Where(file, n + 1);
        if (line.isEmpty() || line[0] == '#' || line[0] == ';') continue;
        if (line[0] == '!') {
            ReadDirective(line, where, into, include);
        } else if (line[0] == '[') {
            ReadGroupLine(line, where, into, state);
        } else if (!state.inGroup) {
            // Only the key is named: the line may hold a password.
            const qsizetype eq = line.indexOf('=');
            AddOptionProblem(into, where, QStringLiteral("«%1» está fuera de todo grupo [...]; se ignora.")
                                              .arg(line.left(eq < 0 ? -1 : eq).trimmed()));
        } else if (state.readValues) {
            ReadKeyLine(line, where, into, state.own);
        }
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
    DiskReader reader(into);
    for (const QString& f : files) reader.File(f, false, f, 0);
    return into;
}

OptionFiles ReadClientOptionFiles() {
    const QStringList files = DefaultOptionFiles(
        qEnvironmentVariable("HOME"), qEnvironmentVariable("MARIADB_HOME"), qEnvironmentVariable("MYSQL_HOME"));
    // Connections are made from more than one thread (the sender's, the
    // screen's): one reading, shared.
    static QMutex mutex;
    static QStringList readFor;
    static std::optional<OptionFiles> read;
    const QMutexLocker lock(&mutex);
    if (!read || readFor != files) {
        read = ReadOptionFiles(files);
        readFor = files;
    }
    return *read;
}

}  // namespace data
