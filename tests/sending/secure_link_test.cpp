// The link to the server as a technician sets it up in ~/.my.cnf, against
// real servers: the tests' own server (TLS offered), a server of this program
// alone that requires TLS (its certificate swapped at run time for a wrong
// or an expired one), and one without TLS. A refused link sends nothing:
// the servers' general log is read back as root.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "order_screen/screen_fixture.h"
#include "runtime/configuration.h"
#include "startup/acceso.h"

namespace {

using testsupport::RequiredSetting;

QString Certs(const QString& name) { return RequiredSetting("PEDIDOS_TEST_TLS_DIR") + "/" + name; }

// A home folder of its own whose .my.cnf holds `text`; HOME points at it
// for as long as it lives.
class OptionHome {
public:
    explicit OptionHome(const QString& text) : oldHome_(qgetenv("HOME")) {
        QFile f(dir_.filePath(".my.cnf"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        qputenv("HOME", dir_.path().toLocal8Bit());
    }
    ~OptionHome() { qputenv("HOME", oldHome_); }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_;
};

// A server of this test program: root's statements over its socket.
struct Server {
    const char* hostVar;
    const char* socketVar;
    QString Host() const { return RequiredSetting(hostVar); }
    QStringList Root(const QString& db, const QString& sql) const {
        return testsupport::RootQueryOn(RequiredSetting(socketVar), db, sql);
    }
    // From now on, every statement the server runs is in mysql.general_log.
    void StartListening() const {
        Root("mysql", "SET GLOBAL log_output='TABLE'; SET GLOBAL general_log=1; TRUNCATE TABLE general_log");
    }
    // Statements and log-ins of anyone but root since StartListening.
    int OthersHeard() const {
        return Root("mysql", "SET GLOBAL general_log=0; SELECT count(*) FROM general_log WHERE user_host"
                             " NOT LIKE '%[root] @ localhost%' AND command_type IN ('Connect', 'Query')")
            .value(0)
            .toInt();
    }
};
const Server kTls{"PEDIDOS_TEST_TLS_HOST", "PEDIDOS_TEST_TLS_SOCKET"};
const Server kPlain{"PEDIDOS_TEST_PLAIN_HOST", "PEDIDOS_TEST_PLAIN_SOCKET"};
const QString kDb = QStringLiteral("pt_secure_link");

// The TLS server shows certificate `name` until this goes out of scope.
class ServerCertificate {
public:
    explicit ServerCertificate(const QString& name) { Show(Certs(name)); }
    ~ServerCertificate() { Show(Certs("server-cert.pem")); }

private:
    static void Show(const QString& file) {
        const QString target = RequiredSetting("PEDIDOS_TEST_TLS_DB_DIR") + "/tls/server-cert.pem";
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(file, target)) << file.toStdString();
        kTls.Root("mysql", "FLUSH SSL");
    }
};

QString SessionCipher(data::Connection& c) {
    return c.Query("SHOW SESSION STATUS LIKE 'Ssl_cipher'").Field(1).ToTextOrEmpty();
}

class SecureLinkTest : public testsupport::SendingScreenTest {
protected:
    static void SetUpTestSuite() {
        SendingScreenTest::SetUpTestSuite();
        for (const Server* s : {&kTls, &kPlain}) {
            testsupport::ResetDatabaseOn(RequiredSetting(s->socketVar), kDb, testsupport::Installation::Ours);
            // Another user for the terminals, as a technician may make one.
            s->Root(kDb, "CREATE USER IF NOT EXISTS 'caja'@'127.0.0.1' IDENTIFIED BY 'Caja-Segura-77';"
                         " GRANT SELECT, INSERT, UPDATE ON " + kDb + ".* TO 'caja'@'127.0.0.1'");
        }
    }
    static QString On(const Server& s) { return rt::BuildConnectionString(kDb, s.Host()); }
};

TEST_F(SecureLinkTest, TheLinkEachSetUpGets) {
    const QString verified = "[pedidos]\nssl-ca=" + Certs("ca.pem") + "\nssl-verify-server-cert=on\n";
    const struct {
        const char* name;
        QString options;
        const Server* server;
        bool encrypted;
        const char* user;
    } cases[] = {
        // An installation without option files: as before, encrypted when offered.
        {"no files, plain server", "", &kPlain, false, "admin@127.0.0.1"},
        {"no files, TLS server", "", &kTls, true, "admin@127.0.0.1"},
        {"the right CA", verified, &kTls, true, "admin@127.0.0.1"},
        {"another user", verified + "user=caja\npassword=Caja-Segura-77\n", &kTls, true, "caja@127.0.0.1"},
        {"a client certificate", verified + "ssl-cert=" + Certs("client-cert.pem") + "\nssl-key=" +
                                     Certs("client-key.pem") + "\n", &kTls, true, "admin@127.0.0.1"},
        {"TLS 1.2 only", verified + "tls-version=TLSv1.2\n", &kTls, true, "admin@127.0.0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OptionHome home(c.options);
        data::MariaDbConnection conn;
        ASSERT_NO_THROW(conn.Open(On(*c.server)));
        EXPECT_EQ(!SessionCipher(conn).isEmpty(), c.encrypted);
        EXPECT_EQ(conn.Query("select current_user()").Field(0).ToTextOrEmpty(), c.user);
    }
}

TEST_F(SecureLinkTest, ARefusedLinkNamesItsCauseAndSendsNothing) {
    const QString options = "[pedidos]\nssl-ca=%1\nssl-verify-server-cert=on\n";
    const struct {
        const char* name;
        const char* ca;
        const char* certificate;  // what the TLS server shows
        const Server* server;
        const char* cause;
    } cases[] = {
        {"a CA that did not sign it", "other-ca.pem", "server-cert.pem", &kTls, "no está firmado por la autoridad"},
        {"made out to another address", "ca.pem", "wronghost-cert.pem", &kTls, "no está hecho para"},
        {"expired", "ca.pem", "expired-cert.pem", &kTls, "está vencido"},
        {"a server without TLS", "ca.pem", "server-cert.pem", &kPlain, "no ofrece conexión cifrada"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OptionHome home(options.arg(Certs(c.ca)));
        ServerCertificate shown(c.certificate);
        c.server->StartListening();
        data::MariaDbConnection conn;
        try {
            conn.Open(On(*c.server));
            ADD_FAILURE() << "connected";
        } catch (const data::DbError& e) {
            EXPECT_EQ(e.number(), data::kSecureLinkRefused);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.cause))) << e.description().toStdString();
        }
        EXPECT_FALSE(conn.IsOpen());
        EXPECT_EQ(c.server->OthersHeard(), 0);
    }
}

// As the waiter meets it: start-up, then an order taken and sent.
TEST_F(SecureLinkTest, WithTheRightCaAnOrderIsSentEncryptedAndWithAWrongOneNothingIsStored) {
    const QString options = "[pedidos]\nssl-ca=%1\nssl-verify-server-cert=on\n";
    kTls.Root(kDb, "delete from Factura_r; delete from D_Fact_r; delete from comanda;");
    {
        OptionHome home(options.arg(Certs("ca.pem")));
        Module1::Cadena_Conexion = On(kTls);
        Module1::Conexion = std::make_unique<data::MariaDbConnection>();
        Module1::Conexion->Open(Module1::Cadena_Conexion);
        order_screen::Pedido_R* s = Continued("MARIA", "12", "001");
        AddLine(s, "B010");
        s->Command2_Click(0);
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_FALSE(SessionCipher(*Module1::Conexion).isEmpty());
        EXPECT_EQ(kTls.Root(kDb, "select count(*) from Factura_r where N_Factura = 12").value(0), "1");
        delete order_screen::Pedido_R::Instance();
    }
    kTls.Root(kDb, "delete from Factura_r");
    OptionHome home(options.arg(Certs("other-ca.pem")));
    kTls.StartListening();
    QTemporaryDir program;
    QDir(program.path()).mkpath("datos");
    QFile::copy(folder.filePath("datos/Modelo.txt"), program.filePath("datos/Modelo.txt"));
    QFile ruta(program.filePath("Ruta_Datos.txt"));
    ASSERT_TRUE(ruta.open(QIODevice::WriteOnly));
    ruta.write((kTls.Host() + "\r\n\r\n\r\n01\r\n" + kDb + "\r\n" + program.filePath("datos") +
                "\r\nCocina\r\n\r\n\r\n\r\n").toUtf8());
    ruta.close();
    auto* acceso = new startup::Acceso(program.path());
    acceso->setAttribute(Qt::WA_DeleteOnClose, false);
    acceso->Form_Load();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(QString::fromUtf8(
        "Error en Conexion con la base de datos...!\rEl certificado del servidor " + kTls.Host().toStdString() +
        " no está firmado por la autoridad")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_FALSE(Module1::Conexion->IsOpen());
    delete acceso;
    EXPECT_EQ(kTls.OthersHeard(), 0);
    EXPECT_EQ(kTls.Root(kDb, "select count(*) from Factura_r").value(0), "0");
}

}  // namespace
