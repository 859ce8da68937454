// The MariaDB client option files and the link chosen from them: which lines
// count, which values win, when the terminal refuses to connect, and the
// Spanish cause it names for a protected link the client library refused.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "data/option_files.h"
#include "data/secure_link.h"

namespace {

data::OptionFiles Parse(const QString& text) {
    data::OptionFiles into;
    data::ReadOptionText(text, "f.cnf", into, [](const data::OptionInclude&) {});
    return into;
}

QString Value(const data::OptionFiles& f, const char* key) {
    const auto it = f.settings.find(QLatin1String(key));
    return it == f.settings.end() ? QStringLiteral("<none>") : it->value;
}

TEST(OptionFiles, OnlyTheClientGroupsAndTheLinkKeysCount) {
    const struct {
        const char* text;
        const char* key;
        const char* expected;
    } cases[] = {
        {"[client]\nuser=ana\n", "user", "ana"},
        {"[client-server]\nport=3307\n", "port", "3307"},
        {"[client-mariadb]\nssl_ca=/a/ca.pem\n", "ssl-ca", "/a/ca.pem"},
        {"[pedidos]\nloose-ssl-ca=/b\n", "ssl-ca", "/b"},
        {"[mysqld]\nport=9999\n", "port", "<none>"},          // the server's group
        {"[mysql]\nuser=cli\n", "user", "<none>"},            // another program's group
        {"[client]\nreconnect=1\n", "reconnect", "<none>"},   // not a key the terminal takes
        {"[client]\nuser=a\n[pedidos]\nuser=b\n", "user", "b"},  // later wins
        {"[pedidos]\nuser=b\n[client]\nuser=a\n", "user", "b"},  // the terminal's own group wins
        {"[pedidos]\nuser=b\n[pedidos]\nuser=c\n", "user", "c"},
        {"[ pedidos ]\npassword = \"dos # tres\"  \n", "password", "dos # tres"},
        {"[client]\npassword=uno # comentario\n", "password", "uno"},
        {"[client]\npassword='a\\sb\\\\c'\n", "password", "a b\\c"},
        {"[client]\npassword=Secreta#99\n", "password", "Secreta"},  // as the mariadb command reads it
        {"[client]\npassword=\"Secreta#99\"\n", "password", "Secreta#99"},
        {"[client]\nskip-ssl\n", "ssl", "0"},
        {"# comentario\n; otro\n\n[client]\n  user =  eva  \n", "user", "eva"},
    };
    for (const auto& c : cases) {
        const data::OptionFiles f = Parse(QString::fromUtf8(c.text));
        EXPECT_EQ(Value(f, c.key), QString::fromUtf8(c.expected)) << c.text;
        EXPECT_TRUE(f.problems.isEmpty()) << c.text;
    }
}

TEST(OptionFiles, BrokenLinesAreNamedAndTheRestIsRead) {
    const data::OptionFiles f =
        Parse("user=fuera\n[client\npassword=Clave-Secreta-1\n[pedidos]\n!incluir a\nport=3308\n");
    QStringList where;
    for (const auto& p : f.problems) where << p.where;
    // Line 3 sits under the broken group header: outside every group.
    EXPECT_EQ(where, QStringList({"f.cnf:1", "f.cnf:2", "f.cnf:3", "f.cnf:5"}));
    EXPECT_EQ(Value(f, "password"), "<none>");
    EXPECT_EQ(Value(f, "port"), "3308");
    for (const auto& p : f.problems) EXPECT_FALSE(p.text.contains("Clave-Secreta-1")) << "a problem shows a password";
}

TEST(OptionFiles, FilesIncludesAndUnreadableFilesFromDisk) {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& text, QFile::Permissions perms = {}) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        if (perms) f.setPermissions(perms);
        return f.fileName();
    };
    QDir(dir.path()).mkdir("conf.d");
    write("conf.d/b.cnf", "[client]\nport=3311\n");
    write("conf.d/a.cnf", "[client]\nport=3310\nuser=de_a\n");
    write("conf.d/ignorado.txt", "[client]\nuser=no\n");
    const QString main = write("my.cnf", "[client]\nuser=base\n!includedir conf.d\n!include falta.cnf\n[pedidos]\nssl-ca=ca.pem\n");
    const QString open = write("abierto.cnf", "[client]\nuser=intruso\n",
                               QFile::ReadOwner | QFile::WriteOwner | QFile::WriteOther | QFile::ReadOther);
    const data::OptionFiles f = data::ReadOptionFiles({main, open, dir.filePath("no_existe.cnf")});
    EXPECT_EQ(Value(f, "user"), "de_a");   // the folder's files come after the line before them
    EXPECT_EQ(Value(f, "port"), "3311");   // ... in name order
    EXPECT_EQ(Value(f, "ssl-ca"), "ca.pem");
    QStringList where;
    for (const auto& p : f.problems) where << p.where;
    EXPECT_EQ(where, QStringList({main + ":4", open})) << "a missing default file is no problem";
    EXPECT_EQ(f.read.size(), 3);
}

// A file reached again, a pipe, too many files, a value not in UTF-8: each
// named, nothing waits, and the reading stays small.
TEST(OptionFiles, EachFileOnceNoPipeAndABoundedReading) {
    QTemporaryDir dir;
    const QString self = dir.filePath("my.cnf"), fifo = dir.filePath("tuberia.cnf");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QDir(dir.path()).mkdir("muchos");
    for (int i = 0; i < data::kMaxOptionFiles + 5; ++i) {
        QFile f(dir.filePath(QStringLiteral("muchos/%1.cnf").arg(i, 3, 10, QChar('0'))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[mysql]\nx\n");
    }
    QFile f(self);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(("[client]\npassword=Contrase\xF1" "a\n!include " + self + "\n!include " + self + "\n!include " +
             self + "\n!include " + fifo + "\n!includedir " + dir.filePath("muchos") + "\n").toUtf8());
    f.close();
    const data::OptionFiles read = data::ReadOptionFiles({self});
    QStringList problems;
    for (const auto& p : read.problems) problems << p.where + ": " + p.text;
    EXPECT_EQ(problems, QStringList({
        self + QString::fromUtf8(":2: el valor de «password» no es texto UTF-8 (¿guardado en Latin-1?); no se usa."),
        self + QString::fromUtf8(":3: ") + self +
            QString::fromUtf8(" ya se leyó (¿un archivo que se incluye a sí mismo, o incluido dos veces?); no se lee otra vez."),
        fifo + QString::fromUtf8(": es una tubería con nombre (FIFO), no un archivo; sus opciones no se usan."),
        self + QString::fromUtf8(":7: más de 64 archivos de opciones; ") + dir.filePath("muchos/063.cnf") +
            " y los que siguen no se leen.",
    }));
    EXPECT_EQ(read.read.size(), data::kMaxOptionFiles);
    EXPECT_EQ(Value(read, "password"), "<none>");

    // A box lists the first problems and counts the rest.
    data::OptionFiles many;
    for (int i = 0; i < data::kKeptOptionProblems + 3; ++i) data::AddOptionProblem(many, "f", "p");
    EXPECT_EQ(many.problems.size(), data::kKeptOptionProblems);
    data::LinkSettings link;
    link.problems = many.problems;
    link.problemsLeftOut = many.problemsLeftOut;
    EXPECT_TRUE(data::OptionProblemsText(link).endsWith(
        QStringLiteral("f: p\r... y %1 problemas más.").arg(data::kKeptOptionProblems + 3 - data::kShownOptionProblems)));
}

// What MariaDB's own reader prints for a file's groups: each kept key's last
// value, as ours names it ("loose-", '_' and "skip-" resolved); "" for a key
// without a value. `groups` are read together, as one list.
QMap<QString, QString> PrintDefaults(const QString& file, const QStringList& groups) {
    const QString tool = QStandardPaths::findExecutable("my_print_defaults");
    if (tool.isEmpty()) ADD_FAILURE() << "my_print_defaults is not on PATH (package mariadb-client)";
    QProcess p;
    p.start(tool, QStringList{"--defaults-file=" + file} + groups);
    EXPECT_TRUE(p.waitForFinished(10000) && p.exitCode() == 0) << file.toStdString();
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf('=');
        QString key = line.mid(2, eq < 0 ? -1 : eq - 2).replace('_', '-');
        if (key.startsWith("loose-")) key = key.mid(6);
        QString value = eq < 0 ? QString() : line.mid(eq + 1);
        if (key.startsWith("skip-")) key = key.mid(5), value = "0";
        if (data::KeptOptionKeys().contains(key)) values[key] = value;
    }
    return values;
}

// The corpus of tricky files the fuzz target starts from: for the kept keys,
// our values are MariaDB's (a [pedidos] value stays over the common groups').
TEST(OptionFiles, TheKeptValuesAreMariaDBsOwn) {
    QTemporaryDir dir;
    const QString corpus = QStringLiteral(PEDIDOS_SOURCE_DIR "/fuzz/corpus/option_files");
    QDir(dir.path()).mkdir("conf.d");
    QStringList mains;
    for (const QString& name : QDir(corpus).entryList(QDir::Files)) {
        QFile in(corpus + "/" + name);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QString target = name.startsWith("confd_") ? dir.filePath("conf.d/" + name.mid(6)) : dir.filePath(name);
        QFile out(target);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(in.readAll().replace("@DIR@", dir.path().toUtf8()));
        if (name.endsWith(".cnf") && !name.startsWith("confd_")) mains << target;
    }
    ASSERT_GE(mains.size(), 4);
    for (const QString& file : mains) {
        QMap<QString, QString> expected = PrintDefaults(file, {"client", "client-server", "client-mariadb"});
        expected.insert(PrintDefaults(file, {"pedidos"}));
        const data::OptionFiles ours = data::ReadOptionFiles({file});
        QMap<QString, QString> got;
        for (auto it = ours.settings.begin(); it != ours.settings.end(); ++it)
            got[it.key()] = it->hasValue ? it->value : QString();
        EXPECT_EQ(got, expected) << file.toStdString();
        EXPECT_TRUE(ours.problems.isEmpty()) << file.toStdString() << " " << ours.problems.value(0).text.toStdString();
    }
}

TEST(OptionFiles, TheDefaultFilesAreTheClientLibrarysInItsOrder) {
    EXPECT_EQ(data::DefaultOptionFiles("/home/m", "", "/srv/my"),
              QStringList({"/etc/my.cnf", "/etc/mysql/my.cnf", "/srv/my/my.cnf", "/home/m/.my.cnf"}));
    EXPECT_EQ(data::DefaultOptionFiles("/home/m", "/srv/maria", "/srv/my"),
              QStringList({"/etc/my.cnf", "/etc/mysql/my.cnf", "/srv/maria/my.cnf", "/home/m/.my.cnf"}));
    EXPECT_EQ(data::DefaultOptionFiles("", "", ""), QStringList({"/etc/my.cnf", "/etc/mysql/my.cnf"}));
}

data::LinkSettings Choose(const QString& text, const QStringList& unreadable = {}) {
    data::ConnectionSettings base;
    base.host = "10.0.0.5";
    base.user = "admin";
    base.password = "tormbel5831";
    return data::ChooseLink(base, Parse(text),
                            [&](const QString& path, bool folder) {
                                return !unreadable.contains(path) && folder == path.endsWith('/');
                            });
}

TEST(SecureLink, WhatTheOptionsChoose) {
    using data::TlsMode;
    const struct {
        const char* text;
        TlsMode tls;
        const char* user;
        unsigned port;
        bool refused;
        int problems;
    } cases[] = {
        {"", TlsMode::WhenOffered, "admin", 3306, false, 0},  // an installation without files
        {"[pedidos]\nuser=caja\npassword=x\nport=3307\n", TlsMode::WhenOffered, "caja", 3307, false, 0},
        {"[pedidos]\nssl-ca=/ca.pem\n", TlsMode::Verified, "admin", 3306, false, 0},
        {"[pedidos]\nssl-capath=/cas/\n", TlsMode::Verified, "admin", 3306, false, 0},
        {"[pedidos]\nssl-ca=/cas/\n", TlsMode::Verified, "admin", 3306, true, 0},  // a folder, not a file
        {"[pedidos]\nssl-verify-server-cert\n", TlsMode::Verified, "admin", 3306, false, 0},
        {"[pedidos]\nssl-verify-server-cert=ON\n", TlsMode::Verified, "admin", 3306, false, 0},
        {"[pedidos]\nssl-verify-server-cert=0\n", TlsMode::WhenOffered, "admin", 3306, false, 0},
        {"[pedidos]\nssl=0\n", TlsMode::Off, "admin", 3306, false, 0},
        {"[pedidos]\nssl-cert=/c.pem\nssl-key=/k.pem\n", TlsMode::WhenOffered, "admin", 3306, false, 0},
        // Bad values that only lose a setting: the built-in one stays, named.
        {"[pedidos]\nport=http\nuser=\n", TlsMode::WhenOffered, "admin", 3306, false, 2},
        {"[pedidos]\nport=70000\n", TlsMode::WhenOffered, "admin", 3306, false, 1},
        {"[pedidos]\nssl=quizas\n", TlsMode::WhenOffered, "admin", 3306, false, 1},
        // Settings that cannot both hold: verification wins, named.
        {"[pedidos]\nssl-ca=/ca.pem\nssl-verify-server-cert=off\n", TlsMode::Verified, "admin", 3306, false, 1},
        {"[pedidos]\nssl=0\nssl-ca=/ca.pem\n", TlsMode::Verified, "admin", 3306, false, 1},
        // Bad values where a protected link was asked for: nothing is sent.
        {"[pedidos]\nssl-verify-server-cert=siempre\n", TlsMode::WhenOffered, "admin", 3306, true, 0},
        {"[pedidos]\ntls-version=TLSv1.1\n", TlsMode::WhenOffered, "admin", 3306, true, 0},
        {"[pedidos]\nssl-ca=/no-se-lee.pem\n", TlsMode::Verified, "admin", 3306, true, 0},
        {"[pedidos]\nssl-ca\n", TlsMode::Verified, "admin", 3306, true, 0},
    };
    for (const auto& c : cases) {
        const data::LinkSettings link = Choose(QString::fromUtf8(c.text), {"/no-se-lee.pem"});
        EXPECT_EQ(link.tls, c.tls) << c.text;
        EXPECT_EQ(link.user, QString::fromUtf8(c.user)) << c.text;
        EXPECT_EQ(link.port, c.port) << c.text;
        EXPECT_EQ(!link.refusal.isEmpty(), c.refused) << c.text << link.refusal.toStdString();
        EXPECT_EQ(link.problems.size(), c.problems) << c.text;
    }
    EXPECT_EQ(Choose("[pedidos]\npassword=\n").password, "") << "an empty password is a password";
    EXPECT_EQ(Choose("[pedidos]\ntls-version = tlsv1.3, TLSv1.2\n").tlsVersions, "TLSv1.3,TLSv1.2");
    EXPECT_TRUE(Choose("[pedidos]\nssl-ca=/no-se-lee.pem\n", {"/no-se-lee.pem"})
                    .refusal.startsWith("f.cnf:2: no se puede leer el archivo /no-se-lee.pem (ssl-ca)"));
}

TEST(SecureLink, TheCauseOfARefusedLinkInSpanish) {
    const struct {
        const char* detail;
        const char* says;
    } cases[] = {
        {"TLS/SSL error: self-signed certificate in certificate chain", "no está firmado por la autoridad"},
        {"TLS/SSL error: unable to get local issuer certificate", "no está firmado por la autoridad"},
        {"TLS/SSL error: certificate has expired", "está vencido"},
        {"TLS/SSL error: certificate is not yet valid", "revise la fecha y la hora"},
        {"TLS/SSL error: Validation of SSL server certificate failed", "no está hecho para «db1»"},
        {"TLS/SSL error: SSL is required, but the server does not support it", "no ofrece conexión cifrada"},
        {"TLS/SSL error: unsupported protocol", "No se pudo establecer la conexión cifrada"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(data::IsSecureLinkFailure(2026, c.detail));
        EXPECT_TRUE(data::SecureLinkFailure(c.detail, "db1").contains(QString::fromUtf8(c.says)))
            << c.detail << " -> " << data::SecureLinkFailure(c.detail, "db1").toStdString();
    }
    // The link breaking while TLS is set up is a lost connection, not a refusal.
    for (const char* broken : {"TLS/SSL error: unexpected eof while reading", "TLS/SSL error: Connection timed out"})
        EXPECT_FALSE(data::IsSecureLinkFailure(2026, broken)) << broken;
    EXPECT_FALSE(data::IsSecureLinkFailure(1045, "Access denied for user 'admin'@'10.0.0.9'"));
    EXPECT_FALSE(data::IsSecureLinkFailure(2002, "Can't connect to server on 'db1' (115)"));
}

}  // namespace
