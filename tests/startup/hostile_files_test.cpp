// The real program started on broken and hostile files, with the database
// unreachable: each comes up within 15 s (the start-up form, or a box naming
// the problem), stays under 400 MB and names the file in its log.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kComesUpWithinMs = 15000;
constexpr qint64 kPeakLimitKb = 400 * 1024;

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray Utf16LeWithMark(const QString& text) {
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text) bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

// The peak resident size of a running process, in KB (0 when it is gone).
qint64 PeakKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// A program folder (the program, Ruta_Datos.txt), a data folder copied from
// demo/ and a home folder, all in one place; the server is 127.0.0.1 on a
// port nothing listens on (9, set in ~/.my.cnf).
struct Installation {
    QTemporaryDir root{QDir::currentPath() + "/hostile-XXXXXX"};
    QString Path(const QString& name) const { return root.filePath(name); }

    void Make() {
        for (const char* folder : {"programa", "datos", "home"}) QDir(root.path()).mkpath(folder);
        const QString program = Path("programa/pedidos");
        if (::link(PEDIDOS_PROGRAM, program.toLocal8Bit().constData()) != 0) {
            ASSERT_TRUE(QFile::copy(PEDIDOS_PROGRAM, program));
        }
        for (const char* file : {"Modelo.txt", "Contorno.txt", "Termino.txt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(PEDIDOS_SOURCE_DIR "/demo/") + file, Path("datos/") + file));
        Write(Path("programa/Ruta_Datos.txt"), RutaDatos().toLatin1());
        Write(Path("home/.my.cnf"), "[pedidos]\nport=9\n");
    }
    QString RutaDatos() const {
        return "127.0.0.1\n\n\n1\npedidos\n" + Path("datos") + "\nCocina\n\n\n\n";
    }
};

struct StartUp {
    bool cameUp = false;
    qint64 ms = 0;
    qint64 peakKb = 0;
    QString log;
};

// Starts the program and waits for its first window or box, watching its
// memory; then ends it.
StartUp Start(const Installation& in) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", in.Path("home"));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "MARIADB_HOME", "MYSQL_HOME"}) env.remove(name);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    StartUp run;
    QElapsedTimer clock;
    clock.start();
    p.start(in.Path("programa/pedidos"), {});
    while (!run.cameUp && clock.elapsed() < kComesUpWithinMs && run.peakKb < kPeakLimitKb &&
           p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(50);
        run.log += QString::fromUtf8(p.readAll());
        run.peakKb = std::max(run.peakKb, PeakKb(p.processId()));
        run.cameUp = run.log.contains("box shown:") || run.log.contains("start-up form shown");
    }
    run.ms = clock.elapsed();
    p.kill();
    p.waitForFinished(5000);
    run.log += QString::fromUtf8(p.readAll());
    return run;
}

TEST(HostileFiles, StartUpComesUpAndNamesTheFile) {
    using Setup = std::function<void(Installation&)>;
    const struct {
        const char* name;
        Setup setup;
        QString named;  // the file the log must name, under the installation
        const char* says;
    } cases[] = {
        {"Modelo.txt a FIFO",
         [](Installation& in) {
             QFile::remove(in.Path("datos/Modelo.txt"));
             ASSERT_EQ(mkfifo(in.Path("datos/Modelo.txt").toLocal8Bit().constData(), 0600), 0);
         },
         "datos/Modelo.txt", "tubería con nombre"},
        {"Modelo.txt a link to /dev/zero",
         [](Installation& in) {
             QFile::remove(in.Path("datos/Modelo.txt"));
             ASSERT_TRUE(QFile::link("/dev/zero", in.Path("datos/Modelo.txt")));
         },
         "datos/Modelo.txt", "dispositivo"},
        {"Ruta_Datos.txt in UTF-16",
         [](Installation& in) { Write(in.Path("programa/Ruta_Datos.txt"), Utf16LeWithMark(in.RutaDatos())); },
         "programa/Ruta_Datos.txt", "Error en Conexion con la base de datos"},
        {"~/.my.cnf including itself three times",
         [](Installation& in) {
             const QByteArray self = "!include " + in.Path("home/.my.cnf").toUtf8() + "\n";
             Write(in.Path("home/.my.cnf"), "[pedidos]\nport=9\n" + self + self + self);
         },
         "home/.my.cnf", "ya se leyó"},
        {"~/.my.cnf including a FIFO",
         [](Installation& in) {
             ASSERT_EQ(mkfifo(in.Path("home/tuberia.cnf").toLocal8Bit().constData(), 0600), 0);
             Write(in.Path("home/.my.cnf"), "[pedidos]\nport=9\n!include " + in.Path("home/tuberia.cnf").toUtf8() + "\n");
         },
         "home/tuberia.cnf", "tubería con nombre"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation in;
        in.Make();
        c.setup(in);
        const StartUp run = Start(in);
        EXPECT_TRUE(run.cameUp) << "no window nor box after " << run.ms << " ms";
        EXPECT_LT(run.peakKb, kPeakLimitKb);
        EXPECT_TRUE(run.log.contains(in.Path(c.named))) << run.log.toStdString();
        EXPECT_TRUE(run.log.contains(QString::fromUtf8(c.says))) << run.log.toStdString();
    }
}

}  // namespace
